// The non-client area that the default window procedure manages: frame
// and caption geometry, hit testing, drawing, and the actions of non-client
// clicks and system commands.
#pragma once

#include "platform/win/user/user_internal.h"

namespace rtl::detail {

// The parts of a window's frame, in window coordinates.
struct TFrameLayout {
  RECT Window{};        // (0, 0, width, height)
  RECT Border{};        // inside the outer frame (sizing or fixed border)
  RECT Caption{};       // empty without a caption
  RECT SysIcon{};
  RECT CloseButton{};
  RECT MaxButton{};
  RECT MinButton{};
  RECT HelpButton{};
  RECT Client{};        // inside edges and scroll bars
  RECT VScroll{};       // empty when not shown
  RECT HScroll{};
  RECT SizeBox{};       // the corner between the two scroll bars
  int FrameX = 0;       // thickness of the outer frame
  int FrameY = 0;
  bool Sizable = false;
};

TFrameLayout FrameLayout(const TWnd* w);
// The thickness of the outer frame (sizing or fixed border) for styles.
int FrameThickness(DWORD style, DWORD exStyle);
// The hit code for a point in window coordinates.
int FrameHitTest(const TWnd* w, POINT p);

// Default handling of the non-client mouse messages and system commands.
LRESULT DefNcLButtonDown(TWnd* w, WPARAM hit, LPARAM lParam);
LRESULT DefNcLButtonDblClk(TWnd* w, WPARAM hit, LPARAM lParam);
LRESULT DefSysCommand(TWnd* w, WPARAM cmd, LPARAM lParam);
// Draws the default frame (caption, buttons, borders, scroll bars).
void DefNcPaint(TWnd* w, HRGN update);
// The window scroll bars (and their size box) in the frame.
void DrawScrollBars(TWnd* w, HDC dc, const TFrameLayout& f);
// Tracks a press on a window scroll bar until the button goes up.
void ScrollBarTrackLoop(TWnd* w, int bar, LPARAM screenPoint);
// The system move and size loop (SC_MOVE / SC_SIZE with a hit code in the
// low bits, the press's screen point in lParam).
void MoveSizeLoop(TWnd* w, WPARAM cmd, LPARAM lParam);
// Tracks a press on a caption button; a release over it sends the command.
void TrackCaptionButton(TWnd* w, int hit);
// Context help mode (SC_CONTEXTHELP): the next click sends WM_HELP to the
// window under it.
void ContextHelpLoop(TWnd* w);
// Sends WM_HELP (HELPINFO_WINDOW) about `item` to `w`.
void SendHelp(TWnd* w, HWND item, POINT at);
// Where the system menu opens (screen coordinates).
POINT SystemMenuPoint(const TWnd* w);
// Whether the window draws a caption that shows activation.
bool HasCaption(const TWnd* w);

}  // namespace rtl::detail
