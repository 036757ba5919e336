// What the common dialogs share: their last error, the shown hook, the
// font and frame of a dialog, making its children, and the modal loop.
#pragma once

#include "platform/win/commdlg.h"

namespace rtl::detail {

void SetCommDlgError(DWORD code);

// The message font of the system; the caller deletes it.
HFONT CreateCommonDialogFont();

// Registers a dialog class (once per name): 3D-face background, arrow
// cursor, double clicks.
void RegisterCommonDialogClass(LPCSTR name, WNDPROC proc);

// What every dialog procedure answers the same way (background, colours
// of static children); true when msg was one of them. The rest goes to
// DefDlgProcA.
bool CommonDialogMessage(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

// A top-level dialog window of the client size, centred over the owner's
// top-level window (or the work area), clamped to the work area.
HWND CreateCommonDialog(LPCSTR cls, const AnsiString& title, HWND owner, int clientW, int clientH, bool sizable);

// A child with the dialog's font.
HWND AddDialogChild(HWND dialog, LPCSTR cls, LPCSTR text, DWORD style, int id, RECT r, HFONT font, DWORD ex = 0);

// Shows the dialog and runs its loop until `done` is set or the window is
// gone, with the owner's top-level window disabled and the dialog
// manager's keyboard (Tab, Enter for the default button, Esc for Cancel,
// underlined letters); then destroys the dialog and gives activation
// back. A WM_QUIT ends the loop and is posted again; answers false then.
bool RunCommonDialog(HWND dialog, HWND owner, HWND focus, const bool& done);

}  // namespace rtl::detail
