// What the common dialogs share: the thread's last error, the shown hook,
// a frame centred over the owner, children in the dialog font and the
// modal loop with the keys of a dialog.
#include <algorithm>
#include <cctype>
#include <mutex>

#include "platform/win/comdlg_internal.h"
#include "platform/win/controls.h"
#include "platform/win/ctl_common.h"
#include "platform/win/user_sysinfo.h"

namespace rtl::detail {
namespace {

thread_local DWORD tLastError = 0;

TCommonDialogShownHook& ShownHook() {
  static TCommonDialogShownHook hook;
  return hook;
}

AnsiString ClassOf(HWND h) {
  char cls[64] = {};
  GetClassNameA(h, cls, sizeof cls);
  return cls;
}

bool IsPushButton(HWND h) {
  if (!h || ClassOf(h) != "BUTTON") return false;
  DWORD type = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE)) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// The combo box a window belongs to (itself or its edit), if any.
HWND ComboOf(HWND h) {
  for (int i = 0; h && i < 2; ++i, h = GetParent(h))
    if (ClassOf(h) == "COMBOBOX") return h;
  return nullptr;
}

bool Usable(HWND h) { return IsWindowVisible(h) && IsWindowEnabled(h); }

std::vector<HWND> TabStops(HWND dialog) {
  std::vector<HWND> r;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if ((GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP) && Usable(c)) r.push_back(c);
  return r;
}

// The direct child of the dialog that holds h.
HWND ChildOf(HWND dialog, HWND h) {
  while (h && GetParent(h) != dialog) h = GetParent(h);
  return h;
}

void FocusControl(HWND h) {
  SetFocus(h);
  if (SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(h, EM_SETSEL, 0, -1);
}

void Click(HWND dialog, int id) {
  HWND b = GetDlgItem(dialog, id);
  if (b && !IsWindowEnabled(b)) return;
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(b));
}

// The underlined letter of a text, lower case; 0 when there is none.
char Mnemonic(const AnsiString& t) {
  for (size_t i = 0; i + 1 < t.size(); ++i) {
    if (t[i] != '&') continue;
    if (t[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(t[i + 1])));
  }
  return 0;
}

bool MnemonicKey(HWND dialog, char c) {
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (HWND k = GetWindow(dialog, GW_CHILD); k; k = GetWindow(k, GW_HWNDNEXT)) {
    if (!IsWindowVisible(k) || Mnemonic(CtlText(k)) != c) continue;
    AnsiString cls = ClassOf(k);
    if (cls == "STATIC") {
      // A label gives the focus to the control after it.
      for (HWND n = GetWindow(k, GW_HWNDNEXT); n; n = GetWindow(n, GW_HWNDNEXT))
        if ((GetWindowLongA(n, GWL_STYLE) & WS_TABSTOP) && Usable(n)) {
          FocusControl(n);
          return true;
        }
      return true;
    }
    if (!IsWindowEnabled(k)) return true;
    if (IsPushButton(k)) {
      Click(dialog, GetDlgCtrlID(k));
    } else {
      SetFocus(k);
      if (cls == "BUTTON") SendMessageA(k, BM_CLICK, 0, 0);
    }
    return true;
  }
  return false;
}

}  // namespace

void SetCommDlgError(DWORD code) { tLastError = code; }

void SetCommonDialogShownHook(TCommonDialogShownHook hook) { ShownHook() = std::move(hook); }

HFONT CreateCommonDialogFont() {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  return CreateFontIndirectA(&ncm.lfMessageFont);
}

void RegisterCommonDialogClass(LPCSTR name, WNDPROC proc) {
  RegisterStandardControlClasses();
  WNDCLASSA wc{};
  if (GetClassInfoA(nullptr, name, &wc)) return;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

bool CommonDialogMessage(HWND h, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
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
    case DM_GETDEFID:
      result = MAKELRESULT(IDOK, DC_HASDEFID);
      return true;
  }
  return false;
}

HWND CreateCommonDialog(LPCSTR cls, const AnsiString& title, HWND owner, int clientW, int clientH, bool sizable) {
  HWND top = owner && IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : nullptr;
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(top ? MonitorFromWindow(top, MONITOR_DEFAULTTONEAREST) : MonitorFromPoint(POINT(0, 0), MONITOR_DEFAULTTOPRIMARY),
                  &mi);
  RECT work = mi.rcWork;
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | (sizable ? WS_THICKFRAME : 0);
  DWORD ex = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
  RECT wr(0, 0, clientW, clientH);
  AdjustWindowRectEx(&wr, style, FALSE, ex);
  RECT around = work;
  if (top && IsWindowVisible(top) && !IsIconic(top)) GetWindowRect(top, &around);
  int x = around.Left + (around.Width() - wr.Width()) / 2;
  int y = around.Top + (around.Height() - wr.Height()) / 2;
  x = std::clamp(x, work.Left, std::max(work.Left, work.Right - wr.Width()));
  y = std::clamp(y, work.Top, std::max(work.Top, work.Bottom - wr.Height()));
  return CreateWindowExA(ex, cls, title.c_str(), style, x, y, wr.Width(), wr.Height(), top, nullptr, nullptr, nullptr);
}

HWND AddDialogChild(HWND dialog, LPCSTR cls, LPCSTR text, DWORD style, int id, RECT r, HFONT font, DWORD ex) {
  HWND h = CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, r.Left, r.Top, r.Width(), r.Height(), dialog,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  if (h) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return h;
}

bool CommonDialogKey(HWND dialog, const MSG& m) {
  if (m.hwnd != dialog && !IsChild(dialog, m.hwnd)) return false;
  HWND focus = GetFocus();
  if (HWND combo = ComboOf(focus); combo && SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) return false;
  if (m.message == WM_SYSCHAR) return MnemonicKey(dialog, static_cast<char>(m.wParam));
  if (m.message == WM_CHAR) return m.wParam == '\r' || m.wParam == 0x1B || m.wParam == '\t';
  if (m.message != WM_KEYDOWN) return false;
  LRESULT code = focus ? SendMessageA(focus, WM_GETDLGCODE, m.wParam, reinterpret_cast<LPARAM>(&m)) : 0;
  if (code & DLGC_WANTALLKEYS) return false;
  switch (m.wParam) {
    case VK_TAB: {
      if (code & DLGC_WANTTAB) return false;
      std::vector<HWND> stops = TabStops(dialog);
      if (stops.empty()) return true;
      bool back = GetKeyState(VK_SHIFT) & 0x8000;
      auto it = std::find(stops.begin(), stops.end(), ChildOf(dialog, focus));
      int n = static_cast<int>(stops.size());
      int at = it == stops.end() ? (back ? 0 : n - 1) : static_cast<int>(it - stops.begin());
      FocusControl(stops[static_cast<size_t>((at + (back ? n - 1 : 1)) % n)]);
      return true;
    }
    case VK_RETURN:
      if (IsPushButton(focus))
        Click(dialog, GetDlgCtrlID(focus));
      else
        Click(dialog, LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)));
      return true;
    case VK_ESCAPE:
      Click(dialog, IDCANCEL);
      return true;
  }
  return false;
}

bool RunCommonDialog(HWND dialog, HWND owner, HWND focus, const bool& done) {
  HWND top = owner && IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : nullptr;
  bool ownerWasEnabled = top && IsWindowEnabled(top);
  if (ownerWasEnabled) EnableWindow(top, FALSE);
  ShowWindow(dialog, SW_SHOW);
  SetActiveWindow(dialog);
  if (focus) FocusControl(focus);
  if (ShownHook()) ShownHook()(dialog);

  bool quit = false;
  int quitCode = 0;
  MSG m;
  while (!done && IsWindow(dialog)) {
    if (!GetMessageA(&m, nullptr, 0, 0)) {
      quit = true;
      quitCode = static_cast<int>(m.wParam);
      break;
    }
    if (CommonDialogKey(dialog, m)) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  // The owner is enabled again before the dialog goes, so that activation
  // can return to it.
  if (ownerWasEnabled && IsWindow(top)) EnableWindow(top, TRUE);
  if (IsWindow(dialog)) DestroyWindow(dialog);
  if (top && IsWindow(top)) SetActiveWindow(top);
  if (quit) PostQuitMessage(quitCode);
  return !quit;
}

}  // namespace rtl::detail

DWORD CommDlgExtendedError() { return rtl::detail::tLastError; }
