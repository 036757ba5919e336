// What the standard controls share: their state behind the window's extra
// bytes, class registration, notifying the parent, asking it for colours,
// fonts, classic text drawing and the clipboard's text.
#pragma once

#include "platform/win/user/standard_classes.h"
#include "platform/win/gdi/gdi.h"

namespace rtl::detail {

// Every control keeps its state in a window property, so that it works in
// classes copied from ours (GetClassInfo, then a new name) and in the
// predefined classes whose extra bytes are not ours to size.
extern const char kCtlDataProp[];

// The part of the state every control has.
struct TCtlBase {
  HFONT Font = nullptr;  // from WM_SETFONT; null: the default font
  virtual ~TCtlBase() = default;
};

template <class T>
T* CtlData(HWND h) {
  return dynamic_cast<T*>(static_cast<TCtlBase*>(GetPropA(h, kCtlDataProp)));
}
void SetCtlData(HWND h, TCtlBase* data);
// Frees the state (WM_NCDESTROY).
void FreeCtlData(HWND h);

// The opening of a control's procedure: makes its state on WM_NCCREATE and
// frees it on WM_NCDESTROY. Returns the state when the procedure is to go
// on with msg; null when msg has been answered, the answer in result (the
// default procedure's, also for a window that has no state).
template <class T>
T* CtlBegin(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_NCCREATE) SetCtlData(h, new T);
  T* d = CtlData<T>(h);
  if (d && msg != WM_NCDESTROY) return d;
  if (d) FreeCtlData(h);
  result = DefWindowProcA(h, msg, wParam, lParam);
  return nullptr;
}

void RegisterCtlClass(LPCSTR name, WNDPROC proc, UINT style, LPCSTR cursor, HBRUSH background = nullptr);

DWORD CtlStyle(HWND h);
// Where notifications go: the parent of a child, else the owner.
HWND CtlNotifyTarget(HWND h);
// Sends WM_COMMAND (id, code) to the target.
void CtlNotify(HWND h, int code);
// Asks the target for the colours of msg (WM_CTLCOLOR*); the default
// procedure's answer when there is no target or it answers no brush.
HBRUSH CtlColor(HWND h, HDC dc, UINT msg);

HFONT CtlDefaultFont();
HFONT CtlFont(HWND h);
// Handles WM_SETFONT / WM_GETFONT for any control: true when msg was one.
bool CtlFontMessage(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
// Height of a line of text in the font.
int CtlLineHeight(HDC dc);

// Answers WM_PAINT (between BeginPaint and EndPaint) or WM_PRINTCLIENT (on
// the DC it brings) by calling paint(dc). A WM_PAINT that brings a DC in
// wParam paints into that DC and leaves the update region alone: the
// sender (a double-buffering or clipping parent) owns the paint cycle.
template <class F>
void CtlPaint(HWND h, UINT msg, WPARAM wParam, F&& paint) {
  if (msg == WM_PRINTCLIENT || wParam) {
    paint(reinterpret_cast<HDC>(wParam));
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  if (dc) paint(dc);
  EndPaint(h, &ps);
}

// The erasing and painting of a class that paints itself whole: the
// background is left to the paint (no flicker), WM_PAINT and
// WM_PRINTCLIENT go to CtlPaint. True when msg was one of them.
template <class F>
bool CtlPaintMessage(HWND h, UINT msg, WPARAM wParam, F&& paint, LRESULT& result) {
  if (msg == WM_ERASEBKGND) {
    result = 1;
    return true;
  }
  if (msg != WM_PAINT && msg != WM_PRINTCLIENT) return false;
  CtlPaint(h, msg, wParam, paint);
  result = 0;
  return true;
}

AnsiString CtlText(HWND h);
bool CtlHasFocus(HWND h);
void FillSolid(HDC dc, const RECT& r, COLORREF color);
// Text in the classic look: disabled text is embossed (highlight below
// right, shadow on top).
void DrawCtlText(HDC dc, const AnsiString& text, RECT r, UINT format, bool enabled);

// The clipboard's text (CF_TEXT); false when it holds none.
bool ClipboardGetText(HWND owner, AnsiString& text);
bool ClipboardSetText(HWND owner, const AnsiString& text);

// The byte length of the UTF-8 sequence that starts with lead.
int Utf8Length(unsigned char lead);
// The start of the character before / after a byte position.
size_t PrevCharPos(const AnsiString& s, size_t pos);
size_t NextCharPos(const AnsiString& s, size_t pos);

// What the list of a combo box sends its combo box when a click ends
// it: wParam 1 chose item lParam, 0 cancelled.
UINT ComboListMessage();

// Class procedures of the family, registered under their names.
LRESULT ButtonWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT StaticWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT EditWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ListBoxWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ComboBoxWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ScrollBarWndProc(HWND, UINT, WPARAM, LPARAM);

}  // namespace rtl::detail
