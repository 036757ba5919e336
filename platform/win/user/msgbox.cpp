// The message box: a dialog of the dialog class, made without controls
// and filled with the standard controls (an icon, the text wrapped to the
// screen, the buttons of the type), run with the dialog manager's
// keyboard; EndDialog ends it too. A hook lets tests answer without a box.
#include <algorithm>
#include <vector>

#include "platform/rtl/text_codec.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/dialog_frame.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

struct TBoxAnswerTag;
struct TBoxShownTag;
TMessageBoxHook& AnswerHook() { return DialogHook<TBoxAnswerTag, TMessageBoxHook>(); }
TMessageBoxShownHook& ShownHook() { return DialogHook<TBoxShownTag, TMessageBoxShownHook>(); }

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

INT_PTR BoxProc(HWND h, UINT msg, WPARAM wParam, LPARAM) {
  LRESULT r = 0;
  if (msg != WM_ERASEBKGND && DialogFaceMessage(h, msg, wParam, r)) return static_cast<INT_PTR>(r);
  TBoxState* s = StateOf(h);
  switch (msg) {
    case WM_COMMAND:
      if (s && HIWORD(wParam) == BN_CLICKED) {
        int id = LOWORD(wParam);
        if (id == IDCANCEL && !GetDlgItem(h, IDCANCEL)) {
          // Esc in a box without Cancel: as its close box.
          if (s->EscapeResult) Finish(h, s->EscapeResult);
          return TRUE;
        }
        if (id == IDHELP) {
          // Help leaves the box open and asks the owner.
          if (s->Owner) SendMessageA(s->Owner, WM_HELP, 0, 0);
          return TRUE;
        }
        Finish(h, id);
      }
      return TRUE;
    case WM_CLOSE:
      if (s && s->EscapeResult) Finish(h, s->EscapeResult);
      return TRUE;
  }
  return FALSE;
}

int ShowBox(HWND owner, const AnsiString& text, const AnsiString& caption, UINT type) {
  if (owner && !IsWindow(owner)) owner = nullptr;
  HFONT font = CreateDialogFont();
  RECT work = DialogWorkArea(owner);

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
  TDialogFrame frame;
  // A box that cannot be cancelled has no close box either.
  frame.CloseBox = hasCancel || (type & MB_TYPEMASK) == MB_OK;
  frame.TopMost = type & (MB_TOPMOST | MB_SYSTEMMODAL);
  HWND box = CreateTemplateDialog(caption, owner, clientW, clientH, frame, BoxProc);
  if (!box) {
    DeleteObject(font);
    return 0;
  }
  TBoxState state;
  state.Owner = owner;
  state.EscapeResult = hasCancel ? IDCANCEL : ((type & MB_TYPEMASK) == MB_OK ? IDOK : 0);
  SetPropA(box, kBoxProp, &state);

  if (icon) {
    HWND i = AddDialogChild(box, "STATIC", "", SS_ICON, 20, RECT(kMargin, kMargin, kMargin + iconW, kMargin + iconH),
                            nullptr);
    SendMessageA(i, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  }
  AddDialogChild(box, "STATIC", text.c_str(), SS_LEFT | SS_NOPREFIX, 0xFFFF,
                 RECT(textX, textY, textX + tr.Width() + 1, textY + tr.Height()), font);
  size_t def = ((type & MB_DEFMASK) >> 8);
  if (def >= buttons.size()) def = 0;
  int bx = (clientW - rowW) / 2;
  for (size_t i = 0; i < buttons.size(); ++i) {
    DWORD bs = WS_TABSTOP | (i == def ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (i == 0 ? WS_GROUP : 0);
    state.Buttons.push_back(AddDialogChild(box, "BUTTON", buttons[i].Text, bs, buttons[i].Id,
                                           RECT(bx, buttonsY, bx + bw, buttonsY + kButtonH), font));
    bx += bw + kButtonGap;
  }

  MessageBeep(type & MB_ICONMASK);
  TModalRun run;
  run.Owner = owner;
  run.Focus = (type & MB_NOFOCUS) ? nullptr : state.Buttons[def];
  run.StateProp = kBoxProp;
  run.Shown = [](HWND b) {
    if (ShownHook()) ShownHook()(b);
  };
  run.Ended = [&state](INT_PTR result) {
    state.Result = static_cast<int>(result);
    state.Done = true;
  };
  RunModalDialog(box, run, state.Done);
  DeleteObject(font);
  return state.Done ? state.Result : (state.EscapeResult ? state.EscapeResult : IDOK);
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
