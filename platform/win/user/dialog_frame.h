// What the modal dialogs built from standard controls share: the message
// font, their window class, the frame centred over the owner on its
// monitor's work area, children in the dialog font, the colours of the
// dialog face, and the modal loop with the dialog manager's keyboard.
#pragma once

#include <functional>
#include <vector>

#include "platform/win/user/user.h"

namespace rtl::detail {

// A test hook of a dialog, one per process. The tag keeps apart hooks of
// one type (every "shown" hook is a void(HWND)).
template <class Tag, class Hook>
Hook& DialogHook() {
  static Hook hook;
  return hook;
}

// The message font of the system; the caller deletes it.
HFONT CreateDialogFont();

// Registers a dialog class (once per name): arrow cursor, no background
// brush (DialogFaceMessage erases).
void RegisterDialogClass(LPCSTR name, WNDPROC proc, UINT classStyle);

// What every dialog procedure answers the same way: the background and
// the colours of static and button children, all of the 3D face. True
// when msg was one of them, with its answer in result.
bool DialogFaceMessage(HWND h, UINT msg, WPARAM wParam, LRESULT& result);

// The top-level window a dialog of `owner` belongs to; null for none or a
// destroyed owner.
HWND DialogOwnerRoot(HWND owner);

// The work area of the monitor of the owner's top-level window, or of the
// primary monitor.
RECT DialogWorkArea(HWND owner);

struct TDialogFrame {
  bool Sizable = false;        // a sizing border
  bool CloseBox = true;        // a system menu with the close box
  bool TopMost = false;
  bool ControlParent = false;  // WS_EX_CONTROLPARENT
};

// The styles of such a frame.
DWORD DialogFrameStyle(const TDialogFrame& frame);
DWORD DialogFrameExStyle(const TDialogFrame& frame);

// A hidden top-level dialog window of the client size, owned by the
// owner's top-level window and centred over it (over the work area when
// it is hidden, minimized or absent), clamped to the work area. Without
// WS_CLIPCHILDREN: group boxes draw only their frame and rely on the
// dialog's background under them.
HWND CreateDialogFrame(LPCSTR cls, const AnsiString& title, HWND owner, int clientW, int clientH, const TDialogFrame& frame);

// The same frame as a hidden dialog of the dialog class ("#32770", made
// from a template without controls) whose procedure is `proc`.
HWND CreateTemplateDialog(const AnsiString& title, HWND owner, int clientW, int clientH, const TDialogFrame& frame,
                          DLGPROC proc);

// Sizes a dialog made otherwise (from a template) to the client size and
// places it as CreateDialogFrame would.
void PlaceDialogFrame(HWND dialog, HWND owner, int clientW, int clientH);

// True when EndDialog ended the dialog (made from a template), with what
// it gave.
bool DialogEnded(HWND dialog, INT_PTR* result);

// A visible child in the dialog's font (none given: the system font).
HWND AddDialogChild(HWND dialog, LPCSTR cls, LPCSTR text, DWORD style, int id, RECT r, HFONT font, DWORD ex = 0);

struct TModalRun {
  HWND Owner = nullptr;
  HWND Focus = nullptr;                // the control that starts with the focus
  std::function<void(HWND)> Shown;     // once the dialog is up, before the loop
  LPCSTR StateProp = nullptr;          // removed before the dialog goes
  std::function<void(INT_PTR)> Ended;  // EndDialog ended it, with this result
};

// Disables every visible and enabled top-level window of the calling
// thread (a modal loop runs) and answers them; enabling them again gives
// back exactly those, the ones still there.
std::vector<HWND> DisableThreadWindows();
void EnableThreadWindows(const std::vector<HWND>& windows);

// Shows the dialog and runs its loop until `done` is set, EndDialog ends
// it or the window is gone, with every other top-level window of the
// thread disabled (so that nothing behind the dialog takes input, its
// owner or not) and the dialog manager's keyboard (Tab, Enter for the default button, Esc for Cancel,
// underlined letters); then gives those windows back their input, destroys the
// dialog (its state property first, so that the procedure ignores the
// teardown) and activates the owner. A WM_QUIT ends the loop and is
// posted again; answers false then.
bool RunModalDialog(HWND dialog, const TModalRun& run, const bool& done);

}  // namespace rtl::detail
