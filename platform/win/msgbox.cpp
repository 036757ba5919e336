// The message box: a modal window built from the standard controls (an
// icon, the text wrapped to the screen, the buttons of the type), run with
// the dialog manager's keyboard, and a hook that lets tests answer without
// a box.
#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/rtl/text_codec.h"
#include "platform/win/ctl_common.h"
#include "platform/win/user_sysinfo.h"

namespace rtl::detail {
namespace {

TMessageBoxHook& AnswerHook() {
  static TMessageBoxHook hook;
  return hook;
}
TMessageBoxShownHook& ShownHook() {
  static TMessageBoxShownHook hook;
  return hook;
}

const char kBoxClass[] = "#MessageBox";
const char kBoxProp[] = "#MessageBoxState";
constexpr int kMargin = 11;
constexpr int kButtonW = 75;
constexpr int kButtonH = 23;
constexpr int kButtonGap = 6;

struct TBoxButton {
  int Id;
  const char* Text;
};

struct TBoxState {
  int Result = 0;
  bool Done = false;
  int EscapeResult = 0;  // 0: Esc and the close box do nothing
  HWND Owner = nullptr;
  std::vector<HWND> Buttons;
};

std::vector<TBoxButton> ButtonsOf(UINT type) {
  std::vector<TBoxButton> r;
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: r = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}}; break;
    case MB_ABORTRETRYIGNORE: r = {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}}; break;
    case MB_YESNOCANCEL: r = {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}}; break;
    case MB_YESNO: r = {{IDYES, "&Yes"}, {IDNO, "&No"}}; break;
    case MB_RETRYCANCEL: r = {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}}; break;
    case MB_CANCELTRYCONTINUE: r = {{IDCANCEL, "Cancel"}, {IDTRYAGAIN, "&Try Again"}, {IDCONTINUE, "&Continue"}}; break;
    default: r = {{IDOK, "OK"}}; break;
  }
  if (type & MB_HELP) r.push_back({IDHELP, "Help"});
  return r;
}

LPCSTR IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
  }
  return nullptr;
}

TBoxState* StateOf(HWND box) { return static_cast<TBoxState*>(GetPropA(box, kBoxProp)); }

void Finish(HWND box, int result) {
  if (TBoxState* s = StateOf(box)) {
    s->Result = result;
    s->Done = true;
  }
}

LRESULT BoxProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  TBoxState* s = StateOf(h);
  switch (msg) {
    case WM_COMMAND:
      if (s && HIWORD(wParam) == BN_CLICKED) {
        int id = LOWORD(wParam);
        if (id == IDCANCEL && !GetDlgItem(h, IDCANCEL)) {
          // Esc in a box without Cancel: as its close box.
          if (s->EscapeResult) Finish(h, s->EscapeResult);
          return 0;
        }
        if (id == IDHELP) {
          // Help leaves the box open and asks the owner.
          if (s->Owner) SendMessageA(s->Owner, WM_HELP, 0, 0);
          return 0;
        }
        Finish(h, id);
      }
      return 0;
    case WM_CLOSE:
      if (s && s->EscapeResult) Finish(h, s->EscapeResult);
      return 0;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(h, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_3DFACE));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_3DFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

void RegisterBoxClass() {
  RegisterStandardControlClasses();
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSA wc{};
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = BoxProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kBoxClass;
    RegisterClassA(&wc);
  });
}

int ShowBox(HWND owner, const AnsiString& text, const AnsiString& caption, UINT type) {
  RegisterBoxClass();
  if (owner && !IsWindow(owner)) owner = nullptr;
  HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  HFONT font = CreateFontIndirectA(&ncm.lfMessageFont);

  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(top ? MonitorFromWindow(top, MONITOR_DEFAULTTONEAREST) : MonitorFromPoint(POINT(0, 0), MONITOR_DEFAULTTOPRIMARY), &mi);
  RECT work = mi.rcWork;

  // The text wraps at three fifths of the screen's width.
  HDC dc = GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, font);
  RECT tr(0, 0, std::max(200, work.Width() * 3 / 5), 0);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  std::vector<TBoxButton> buttons = ButtonsOf(type);
  int bw = kButtonW;
  for (auto& b : buttons) {
    RECT r(0, 0, 0, 0);
    DrawTextA(dc, b.Text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    bw = std::max(bw, r.Width() + 16);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(nullptr, dc);

  HICON icon = IconOf(type) ? LoadIconA(nullptr, IconOf(type)) : nullptr;
  int iconW = icon ? GetSystemMetrics(SM_CXICON) : 0;
  int iconH = icon ? GetSystemMetrics(SM_CYICON) : 0;
  int textX = kMargin + (icon ? iconW + kMargin : 0);
  int textY = kMargin + std::max(0, (iconH - tr.Height()) / 2);
  int contentBottom = std::max(textY + tr.Height(), kMargin + iconH);
  int rowW = static_cast<int>(buttons.size()) * bw + (static_cast<int>(buttons.size()) - 1) * kButtonGap;
  int clientW = std::max(textX + tr.Width() + kMargin, rowW + 2 * kMargin);
  int buttonsY = contentBottom + 14;
  int clientH = buttonsY + kButtonH + kMargin;

  bool hasCancel = std::any_of(buttons.begin(), buttons.end(), [](const TBoxButton& b) { return b.Id == IDCANCEL; });
  bool cancellable = hasCancel || (type & MB_TYPEMASK) == MB_OK;
  // A box that cannot be cancelled has no close box either.
  DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN | (cancellable ? WS_SYSMENU : 0);
  DWORD ex = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | ((type & (MB_TOPMOST | MB_SYSTEMMODAL)) ? WS_EX_TOPMOST : 0);
  RECT wr(0, 0, clientW, clientH);
  AdjustWindowRectEx(&wr, style, FALSE, ex);
  RECT around = work;
  if (top && IsWindowVisible(top) && !IsIconic(top)) GetWindowRect(top, &around);
  int x = around.Left + (around.Width() - wr.Width()) / 2;
  int y = around.Top + (around.Height() - wr.Height()) / 2;
  x = std::clamp(x, work.Left, std::max(work.Left, work.Right - wr.Width()));
  y = std::clamp(y, work.Top, std::max(work.Top, work.Bottom - wr.Height()));

  HWND box = CreateWindowExA(ex, kBoxClass, caption.c_str(), style, x, y, wr.Width(), wr.Height(), top, nullptr,
                             nullptr, nullptr);
  if (!box) {
    DeleteObject(font);
    return 0;
  }
  TBoxState state;
  state.Owner = owner;
  state.EscapeResult = hasCancel ? IDCANCEL : ((type & MB_TYPEMASK) == MB_OK ? IDOK : 0);
  SetPropA(box, kBoxProp, &state);

  if (icon) {
    HWND i = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, kMargin, kMargin, iconW, iconH, box,
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(20)), nullptr, nullptr);
    SendMessageA(i, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  }
  HWND label = CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, textX, textY,
                               tr.Width() + 1, tr.Height(), box, reinterpret_cast<HMENU>(static_cast<intptr_t>(0xFFFF)),
                               nullptr, nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  size_t def = ((type & MB_DEFMASK) >> 8);
  if (def >= buttons.size()) def = 0;
  int bx = (clientW - rowW) / 2;
  for (size_t i = 0; i < buttons.size(); ++i) {
    DWORD bs = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == def ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (i == 0 ? WS_GROUP : 0);
    HWND b = CreateWindowExA(0, "BUTTON", buttons[i].Text, bs, bx, buttonsY, bw, kButtonH, box,
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(buttons[i].Id)), nullptr, nullptr);
    SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    state.Buttons.push_back(b);
    bx += bw + kButtonGap;
  }

  bool ownerWasEnabled = top && IsWindowEnabled(top);
  if (ownerWasEnabled) EnableWindow(top, FALSE);
  MessageBeep(type & MB_ICONMASK);
  ShowWindow(box, SW_SHOW);
  SetActiveWindow(box);
  if (!(type & MB_NOFOCUS)) SetFocus(state.Buttons[def]);
  if (ShownHook()) ShownHook()(box);

  bool quit = false;
  int quitCode = 0;
  MSG m;
  while (!state.Done && IsWindow(box)) {
    if (!GetMessageA(&m, nullptr, 0, 0)) {
      quit = true;
      quitCode = static_cast<int>(m.wParam);
      break;
    }
    if (IsDialogMessageA(box, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  int result = state.Done ? state.Result : (state.EscapeResult ? state.EscapeResult : IDOK);
  if (ownerWasEnabled) EnableWindow(top, TRUE);
  if (IsWindow(box)) {
    RemovePropA(box, kBoxProp);
    DestroyWindow(box);
  }
  if (top && IsWindow(top)) SetActiveWindow(top);
  DeleteObject(font);
  if (quit) PostQuitMessage(quitCode);
  return result;
}

}  // namespace

void SetMessageBoxHook(TMessageBoxHook hook) { AnswerHook() = std::move(hook); }
void SetMessageBoxShownHook(TMessageBoxShownHook hook) { ShownHook() = std::move(hook); }

}  // namespace rtl::detail

using namespace rtl::detail;

int MessageBoxExA(HWND owner, LPCSTR text, LPCSTR caption, UINT type, WORD) {
  AnsiString t = text ? text : "";
  AnsiString c = caption ? caption : "Error";
  if (AnswerHook()) return AnswerHook()(owner, t, c, type);
  return ShowBox(owner, t, c, type);
}

int MessageBoxExW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, WORD languageId) {
  AnsiString t = text ? WideToAnsi(text) : AnsiString();
  AnsiString c = caption ? WideToAnsi(caption) : AnsiString("Error");
  return MessageBoxExA(owner, t.c_str(), c.c_str(), type, languageId);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return MessageBoxExA(owner, text, caption, type, 0);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  return MessageBoxExW(owner, text, caption, type, 0);
}
