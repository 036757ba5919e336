// The frame, font, colours and modal loop of the dialogs built from
// standard controls (message box, common dialogs, folder browser).
#include "platform/win/user/dialog_frame.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/threads.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/ctl_common.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

void FocusControl(HWND h) {
  SetFocus(h);
  if (SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(h, EM_SETSEL, 0, -1);
}

}  // namespace

HFONT CreateDialogFont() {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  return CreateFontIndirectA(&ncm.lfMessageFont);
}

void RegisterDialogClass(LPCSTR name, WNDPROC proc, UINT classStyle) {
  RegisterStandardControlClasses();
  WNDCLASSA wc{};
  if (GetClassInfoA(nullptr, name, &wc)) return;
  wc.style = classStyle;
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

bool DialogFaceMessage(HWND h, UINT msg, WPARAM wParam, LRESULT& result) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(h, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_3DFACE));
      result = 1;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_3DFACE));
      result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
      return true;
  }
  return false;
}

HWND DialogOwnerRoot(HWND owner) { return owner && IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : nullptr; }

RECT DialogWorkArea(HWND owner) {
  HWND top = DialogOwnerRoot(owner);
  // Without an owner: the primary monitor's, wherever the display puts it.
  RECT work{};
  if (!top) {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
  }
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromWindow(top, MONITOR_DEFAULTTONEAREST), &mi);
  return mi.rcWork;
}

namespace {

// The window rectangle of a dialog of the client size with the styles,
// centred over the owner's top-level window (over the work area when it
// is hidden, minimized or absent) and clamped to the work area.
RECT FramePlace(HWND top, int clientW, int clientH, DWORD style, DWORD ex) {
  RECT work = DialogWorkArea(top);
  RECT wr(0, 0, clientW, clientH);
  AdjustWindowRectEx(&wr, style, FALSE, ex);
  RECT around = work;
  if (top && IsWindowVisible(top) && !IsIconic(top)) GetWindowRect(top, &around);
  int x = around.Left + (around.Width() - wr.Width()) / 2;
  int y = around.Top + (around.Height() - wr.Height()) / 2;
  x = std::clamp(x, work.Left, std::max(work.Left, work.Right - wr.Width()));
  y = std::clamp(y, work.Top, std::max(work.Top, work.Bottom - wr.Height()));
  return RECT(x, y, x + wr.Width(), y + wr.Height());
}

}  // namespace

DWORD DialogFrameStyle(const TDialogFrame& frame) {
  return WS_POPUP | WS_CAPTION | (frame.CloseBox ? WS_SYSMENU : 0) | (frame.Sizable ? WS_THICKFRAME : 0);
}

DWORD DialogFrameExStyle(const TDialogFrame& frame) {
  return WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | (frame.TopMost ? WS_EX_TOPMOST : 0) |
         (frame.ControlParent ? WS_EX_CONTROLPARENT : 0);
}

HWND CreateDialogFrame(LPCSTR cls, const AnsiString& title, HWND owner, int clientW, int clientH, const TDialogFrame& frame) {
  HWND top = DialogOwnerRoot(owner);
  DWORD style = DialogFrameStyle(frame), ex = DialogFrameExStyle(frame);
  RECT r = FramePlace(top, clientW, clientH, style, ex);
  return CreateWindowExA(ex, cls, title.c_str(), style, r.Left, r.Top, r.Width(), r.Height(), top, nullptr, nullptr,
                         nullptr);
}

HWND CreateTemplateDialog(const AnsiString& title, HWND owner, int clientW, int clientH, const TDialogFrame& frame,
                          DLGPROC proc) {
  // A template with no controls, no position, size, menu or title, of the
  // dialog class: the controls are added in pixels, measured from text.
  DWORD style = DialogFrameStyle(frame) | DS_MODALFRAME, ex = DialogFrameExStyle(frame);
  BYTE tmpl[2 * sizeof(DWORD) + 8 * sizeof(WORD)] = {};
  std::memcpy(tmpl, &style, sizeof style);
  std::memcpy(tmpl + sizeof style, &ex, sizeof ex);
  HWND dlg = CreateDialogIndirectParamA(nullptr, reinterpret_cast<const DLGTEMPLATE*>(tmpl), DialogOwnerRoot(owner),
                                        proc, 0);
  if (!dlg) return nullptr;
  SetWindowTextA(dlg, title.c_str());
  PlaceDialogFrame(dlg, owner, clientW, clientH);
  return dlg;
}

void PlaceDialogFrame(HWND dialog, HWND owner, int clientW, int clientH) {
  RECT r = FramePlace(DialogOwnerRoot(owner), clientW, clientH, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)),
                      static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
  SetWindowPos(dialog, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND AddDialogChild(HWND dialog, LPCSTR cls, LPCSTR text, DWORD style, int id, RECT r, HFONT font, DWORD ex) {
  HWND h = CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, r.Left, r.Top, r.Width(), r.Height(), dialog,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  if (h && font) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return h;
}

namespace {

BOOL DisableThreadWindow(HWND window, LPARAM data) {
  auto* list = reinterpret_cast<std::vector<HWND>*>(data);
  if (IsWindowVisible(window) && IsWindowEnabled(window)) {
    list->push_back(window);
    EnableWindow(window, FALSE);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> DisableThreadWindows() {
  std::vector<HWND> list;
  EnumThreadWindows(GetCurrentThreadId(), &DisableThreadWindow, reinterpret_cast<LPARAM>(&list));
  return list;
}

void EnableThreadWindows(const std::vector<HWND>& windows) {
  for (HWND w : windows)
    if (IsWindow(w)) EnableWindow(w, TRUE);
}

bool RunModalDialog(HWND dialog, const TModalRun& run, const bool& done) {
  HWND top = DialogOwnerRoot(run.Owner);
  // The dialog is hidden still: it is not among them.
  const std::vector<HWND> disabled = DisableThreadWindows();
  ShowWindow(dialog, SW_SHOW);
  SetActiveWindow(dialog);
  if (run.Focus) FocusControl(run.Focus);
  if (run.Shown) run.Shown(dialog);

  bool quit = false;
  int quitCode = 0;
  MSG m;
  INT_PTR endResult = 0;
  while (!done && IsWindow(dialog) && !DialogEnded(dialog, &endResult)) {
    if (!GetMessageA(&m, nullptr, 0, 0)) {
      quit = true;
      quitCode = static_cast<int>(m.wParam);
      break;
    }
    if (IsDialogMessageA(dialog, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  // The windows are enabled again before the dialog goes, so that
  // activation can return to the owner.
  EnableThreadWindows(disabled);
  if (IsWindow(dialog) && run.Ended && DialogEnded(dialog, &endResult)) run.Ended(endResult);
  if (IsWindow(dialog)) {
    if (run.StateProp) RemovePropA(dialog, run.StateProp);
    DestroyWindow(dialog);
  }
  if (top && IsWindow(top)) SetActiveWindow(top);
  if (quit) PostQuitMessage(quitCode);
  return !quit;
}

}  // namespace rtl::detail
