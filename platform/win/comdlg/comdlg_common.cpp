// What the common dialogs share: the thread's last error, their frame and
// the shown hook of their modal loop.
#include "platform/win/comdlg/comdlg_internal.h"

namespace rtl::detail {
namespace {

thread_local DWORD tLastError = 0;

struct TCommonShownTag;
TCommonDialogShownHook& ShownHook() { return DialogHook<TCommonShownTag, TCommonDialogShownHook>(); }

}  // namespace

void SetCommDlgError(DWORD code) { tLastError = code; }

void SetCommonDialogShownHook(TCommonDialogShownHook hook) { ShownHook() = std::move(hook); }

HWND CreateCommonDialog(DLGPROC proc, const AnsiString& title, HWND owner, int clientW, int clientH, bool sizable) {
  TDialogFrame frame;
  frame.Sizable = sizable;
  frame.ControlParent = true;
  return CreateTemplateDialog(title, owner, clientW, clientH, frame, proc);
}

bool RunCommonDialog(HWND dialog, HWND owner, HWND focus, LPCSTR stateProp, const bool& done) {
  TModalRun run;
  run.Owner = owner;
  run.Focus = focus;
  run.StateProp = stateProp;
  run.Shown = [](HWND d) {
    if (ShownHook()) ShownHook()(d);
  };
  return RunModalDialog(dialog, run, done);
}

}  // namespace rtl::detail

DWORD CommDlgExtendedError() { return rtl::detail::tLastError; }
