// The dialog manager: the keyboard of a window built from controls (Tab
// and the arrows, Enter and Esc, underlined letters), the default push
// button that follows the focus, the defaults of a dialog procedure, and
// the dialog item helpers.
#include <cctype>
#include <cstdint>
#include <strings.h>
#include <vector>

#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_menu.h"

namespace rtl::detail {
namespace {

// Ids kept in window properties, tagged so that id 0 is not "none".
const char kDefIdProp[] = "#DialogDefId";      // set by DM_SETDEFID
const char kSavedDefProp[] = "#DialogSavedDef";  // the default while a focused push button looks it

HANDLE PackId(int id) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x10000u | (id & 0xFFFF))); }

bool PropId(HWND h, const char* prop, int& id) {
  HANDLE v = GetPropA(h, prop);
  if (!v) return false;
  id = static_cast<int>(reinterpret_cast<uintptr_t>(v) & 0xFFFF);
  return true;
}

DWORD StyleOf(HWND h) { return static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE)); }

UINT DlgCode(HWND h, MSG* msg = nullptr) {
  return h ? static_cast<UINT>(SendMessageA(h, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(msg))) : 0;
}

constexpr UINT kPushCodes = DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON;

// Visible and enabled by its own style, so that a dialog can be prepared
// before it shows.
bool Usable(HWND h) { return (StyleOf(h) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE; }

bool HasClass(HWND h, const char* name) {
  char cls[32];
  return GetClassNameA(h, cls, sizeof cls) > 0 && strcasecmp(cls, name) == 0;
}

// A child whose children the dialog manager treats as the dialog's own.
bool IsContainer(HWND h) {
  return (static_cast<DWORD>(GetWindowLongA(h, GWL_EXSTYLE)) & WS_EX_CONTROLPARENT) && GetWindow(h, GW_CHILD);
}

void CollectItems(HWND parent, std::vector<HWND>& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (IsContainer(c)) {
      if (Usable(c)) CollectItems(c, out);
      continue;
    }
    out.push_back(c);
  }
}

// The dialog's controls in tab order.
std::vector<HWND> Items(HWND dlg) {
  std::vector<HWND> r;
  CollectItems(dlg, r);
  return r;
}

// Where a window stands among the items: itself or the item that holds it
// (the edit of a combo box); -1 when it is none of them.
int IndexOf(const std::vector<HWND>& items, HWND dlg, HWND h) {
  for (; h && h != dlg; h = GetAncestor(h, GA_PARENT))
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] == h) return static_cast<int>(i);
  return -1;
}

bool Within(HWND dlg, HWND h) { return h && (h == dlg || IsChild(dlg, h)); }

HWND FocusIn(HWND dlg) {
  HWND f = GetFocus();
  return f && IsChild(dlg, f) ? f : nullptr;
}

// The control with the id: a child first, else one inside a container.
HWND FindItem(HWND dlg, int id) {
  if (HWND h = GetDlgItem(dlg, id)) return h;
  for (HWND h : Items(dlg))
    if (GetDlgCtrlID(h) == id) return h;
  return nullptr;
}

// The default id of a window that does not answer DM_GETDEFID: the one
// set aside while a push button has the focus, else the BS_DEFPUSHBUTTON
// control; `fallback` when there is none.
int PlainDefaultId(HWND dlg, int fallback) {
  int id;
  if (PropId(dlg, kSavedDefProp, id)) return id;
  for (HWND h : Items(dlg))
    if (DlgCode(h) & DLGC_DEFPUSHBUTTON) return GetDlgCtrlID(h);
  return fallback;
}

int DialogDefaultId(HWND dlg) {
  LRESULT r = SendMessageA(dlg, DM_GETDEFID, 0, 0);
  if (HIWORD(r) == DC_HASDEFID) return LOWORD(r);
  return PlainDefaultId(dlg, IDOK);
}

// Told only when its look is to change; a split button or command link
// turns the push button type into its own kind.
void SetButtonLook(HWND h, UINT type) {
  bool isDefault = (DlgCode(h) & DLGC_DEFPUSHBUTTON) != 0;
  if (isDefault != (type == BS_DEFPUSHBUTTON)) SendMessageA(h, BM_SETSTYLE, type, TRUE);
}

// Gives the default look to one push button and takes it from the others.
void ShowDefault(HWND dlg, HWND button) {
  for (HWND h : Items(dlg))
    if (DlgCode(h) & kPushCodes) SetButtonLook(h, h == button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

// The focus went from `from` to `to`: a focused push button looks like the
// default; once the focus leaves the push buttons, the dialog's default
// looks it again.
void TrackDefault(HWND dlg, HWND from, HWND to) {
  bool toPush = to && (DlgCode(to) & kPushCodes);
  bool fromPush = from && from != to && (DlgCode(from) & kPushCodes);
  if (!toPush && !fromPush) return;
  if (toPush) {
    if (!GetPropA(dlg, kSavedDefProp)) SetPropA(dlg, kSavedDefProp, PackId(DialogDefaultId(dlg)));
    ShowDefault(dlg, to);
    return;
  }
  int id = DialogDefaultId(dlg);
  RemovePropA(dlg, kSavedDefProp);
  ShowDefault(dlg, FindItem(dlg, id));
}

// Focus moved by the dialog manager: the default follows, and an edit
// shows all of its text selected.
void MoveFocus(HWND dlg, HWND to) {
  if (!to) return;
  HWND from = GetFocus();
  if (from != to) {
    TrackDefault(dlg, from, to);
    SetFocus(to);
  }
  if (GetFocus() == to && (DlgCode(to) & DLGC_HASSETSEL)) SendMessageA(to, EM_SETSEL, 0, -1);
}

// The letter after the single '&' of a text, lower case; 0 when none
// ("&&" is an ampersand).
int MnemonicOf(const char* t) {
  for (; t[0] && t[1]; ++t) {
    if (t[0] != '&') continue;
    if (t[1] == '&') {
      ++t;
      continue;
    }
    return std::tolower(static_cast<unsigned char>(t[1]));
  }
  return 0;
}

bool HasMnemonic(HWND h, UINT code, int ch) {
  if (!(code & (DLGC_STATIC | DLGC_BUTTON))) return false;
  if ((code & DLGC_STATIC) && HasClass(h, "STATIC") && (StyleOf(h) & SS_NOPREFIX)) return false;
  char text[256];
  if (GetWindowTextA(h, text, sizeof text) <= 0) return false;
  return MnemonicOf(text) == ch;
}

// Clicks a button the way the mouse does, and lets the default follow the
// focus the click took.
void ClickButton(HWND dlg, HWND h) {
  HWND from = GetFocus();
  SendMessageA(h, BM_CLICK, 0, 0);
  if (IsWindow(dlg) && GetFocus() != from && Within(dlg, GetFocus())) TrackDefault(dlg, from, GetFocus());
}

// An underlined letter: a label gives the focus to the control after it,
// a button is clicked. When several controls share the letter, each press
// only moves the focus to the next of them.
bool Mnemonic(HWND dlg, int ch) {
  if (!ch) return false;
  ch = std::tolower(ch);
  std::vector<HWND> items = Items(dlg);
  int n = static_cast<int>(items.size());
  int at = IndexOf(items, dlg, FocusIn(dlg));
  std::vector<HWND> found;
  for (int k = 1; k <= n; ++k) {
    HWND h = items[static_cast<size_t>(((at < 0 ? -1 : at) + k + n) % n)];
    if (Usable(h) && HasMnemonic(h, DlgCode(h), ch)) found.push_back(h);
  }
  if (found.empty()) return false;
  HWND h = found.front();
  UINT code = DlgCode(h);
  if (code & DLGC_STATIC) {
    HWND next = GetNextDlgTabItem(dlg, h, FALSE);
    if (next && next != h) MoveFocus(dlg, next);
  } else if (found.size() > 1) {
    MoveFocus(dlg, h);
  } else {
    ClickButton(dlg, h);
  }
  return true;
}

void Enter(HWND dlg, HWND from, UINT code) {
  HWND button;
  int id;
  if (code & kPushCodes) {
    button = from;
    id = GetDlgCtrlID(from);
  } else {
    id = DialogDefaultId(dlg);
    button = FindItem(dlg, id);
  }
  // A disabled default button cannot be pressed with Enter either.
  if (button && !IsWindowEnabled(button)) return;
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Arrow(HWND dlg, bool previous) {
  HWND from = FocusIn(dlg);
  HWND to = from;
  // Labels and group boxes in a group are passed over.
  for (int guard = 0; guard < 4096; ++guard) {
    HWND next = GetNextDlgGroupItem(dlg, to, previous);
    if (!next || next == to || next == from) return;
    to = next;
    if (!(DlgCode(to) & DLGC_STATIC)) break;
  }
  if (DlgCode(to) & DLGC_STATIC) return;
  MoveFocus(dlg, to);
  // An automatic radio button reached with the arrows is chosen (taking
  // the focus may have chosen it already).
  if (IsWindow(to) && GetFocus() == to && (DlgCode(to) & DLGC_RADIOBUTTON) &&
      (StyleOf(to) & BS_TYPEMASK) == BS_AUTORADIOBUTTON && SendMessageA(to, BM_GETCHECK, 0, 0) != BST_CHECKED)
    SendMessageA(to, BM_CLICK, 0, 0);
}

bool KeyDown(HWND dlg, const MSG& msg, UINT code) {
  switch (msg.wParam) {
    case VK_TAB: {
      if (code & DLGC_WANTTAB) return false;
      bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
      MoveFocus(dlg, GetNextDlgTabItem(dlg, FocusIn(dlg), back));
      return true;
    }
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (code & DLGC_WANTARROWS) return false;
      Arrow(dlg, msg.wParam == VK_LEFT || msg.wParam == VK_UP);
      return true;
    case VK_RETURN:
    case VK_EXECUTE:
      Enter(dlg, msg.hwnd, code);
      return true;
    case VK_ESCAPE:
    case VK_CANCEL:
      if (HWND cancel = FindItem(dlg, IDCANCEL); !cancel || IsWindowEnabled(cancel))
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return true;
  }
  return false;
}

bool IsMouseDown(UINT m) {
  return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_LBUTTONDBLCLK;
}

void NextDlgCtl(HWND dlg, WPARAM wParam, LPARAM lParam) {
  if (LOWORD(lParam)) {
    HWND to = reinterpret_cast<HWND>(wParam);
    if (to && IsChild(dlg, to)) MoveFocus(dlg, to);
    return;
  }
  MoveFocus(dlg, GetNextDlgTabItem(dlg, FocusIn(dlg), wParam != 0));
}

LRESULT GetDefId(HWND dlg) {
  int id;
  if (PropId(dlg, kDefIdProp, id)) return MAKELRESULT(id, DC_HASDEFID);
  id = PlainDefaultId(dlg, -1);
  if (id < 0) {
    if (!FindItem(dlg, IDOK)) return 0;
    id = IDOK;
  }
  return MAKELRESULT(id, DC_HASDEFID);
}

void SetDefId(HWND dlg, int id) {
  LRESULT old = GetDefId(dlg);
  SetPropA(dlg, kDefIdProp, PackId(id));
  RemovePropA(dlg, kSavedDefProp);
  if (HIWORD(old) == DC_HASDEFID && LOWORD(old) != id)
    if (HWND h = FindItem(dlg, LOWORD(old)); h && (DlgCode(h) & kPushCodes)) SetButtonLook(h, BS_PUSHBUTTON);
  if (HWND h = FindItem(dlg, id); h && (DlgCode(h) & kPushCodes)) SetButtonLook(h, BS_DEFPUSHBUTTON);
}

}  // namespace
}  // namespace rtl::detail

using namespace rtl::detail;

BOOL IsDialogMessageA(HWND dialog, MSG* msg) {
  if (!msg) return FALSE;
  // The message filter hook sees every message first and may take it.
  if (HasHooks(WH_MSGFILTER) && CallHooks(WH_MSGFILTER, MSGF_DIALOGBOX, 0, reinterpret_cast<LPARAM>(msg))) return TRUE;
  if (!dialog || !IsWindow(dialog) || !Within(dialog, msg->hwnd)) return FALSE;
  UINT m = msg->message;
  if (m == WM_KEYDOWN || m == WM_CHAR || m == WM_SYSCHAR) {
    UINT code = DlgCode(msg->hwnd, msg);
    bool handled = false;
    if (m == WM_SYSCHAR)
      handled = Mnemonic(dialog, static_cast<int>(msg->wParam & 0xFF));
    else if (!(code & DLGC_WANTMESSAGE))
      handled = m == WM_KEYDOWN ? KeyDown(dialog, *msg, code)
                                : !(code & DLGC_WANTCHARS) && Mnemonic(dialog, static_cast<int>(msg->wParam & 0xFF));
    if (handled) return TRUE;
  }
  HWND before = GetFocus();
  TranslateMessage(msg);
  DispatchMessageA(msg);
  // A click that moved the focus moves the default look with it.
  if (IsMouseDown(m) && IsWindow(dialog) && GetFocus() != before && Within(dialog, GetFocus()))
    TrackDefault(dialog, before, GetFocus());
  return TRUE;
}

BOOL IsDialogMessageW(HWND dialog, MSG* msg) { return IsDialogMessageA(dialog, msg); }

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  if (!IsWindow(dialog)) return nullptr;
  if (control == dialog) control = nullptr;
  if (control && !IsChild(dialog, control)) return nullptr;
  std::vector<HWND> items = Items(dialog);
  int n = static_cast<int>(items.size());
  int at = control ? IndexOf(items, dialog, control) : -1;
  for (int k = 1; k <= n; ++k) {
    int i;
    if (at < 0)
      i = previous ? n - k : k - 1;
    else
      i = previous ? (at - k + n) % n : (at + k) % n;
    HWND h = items[static_cast<size_t>(i)];
    if ((StyleOf(h) & WS_TABSTOP) && Usable(h)) return h;
  }
  return control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (!IsWindow(dialog)) return nullptr;
  if (control == dialog) control = nullptr;
  if (control && !IsChild(dialog, control)) return nullptr;
  std::vector<HWND> items = Items(dialog);
  int n = static_cast<int>(items.size());
  if (n == 0) return control;
  int at = control ? IndexOf(items, dialog, control) : -1;
  if (at < 0) {
    // No starting control: the first (or last) usable one.
    for (int k = 0; k < n; ++k) {
      HWND h = items[static_cast<size_t>(previous ? n - 1 - k : k)];
      if (Usable(h)) return h;
    }
    return control;
  }
  int start = at;
  while (start > 0 && !(StyleOf(items[static_cast<size_t>(start)]) & WS_GROUP)) --start;
  int end = at + 1;
  while (end < n && !(StyleOf(items[static_cast<size_t>(end)]) & WS_GROUP)) ++end;
  int len = end - start;
  for (int k = 1; k < len; ++k) {
    int off = ((at - start) + (previous ? len - k : k)) % len;
    HWND h = items[static_cast<size_t>(start + off)];
    if (Usable(h)) return h;
  }
  return control;
}

LRESULT DefDlgProcA(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case DM_GETDEFID:
      return GetDefId(dialog);
    case DM_SETDEFID:
      SetDefId(dialog, static_cast<int>(wParam));
      return TRUE;
    case WM_NEXTDLGCTL:
      NextDlgCtl(dialog, wParam, lParam);
      return 0;
  }
  return DefWindowProcA(dialog, msg, wParam, lParam);
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND h = GetDlgItem(dialog, id);
  return h ? SendMessageA(h, msg, wParam, lParam) : 0;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int maxCount) {
  HWND h = GetDlgItem(dialog, id);
  if (!h) {
    if (text && maxCount > 0) text[0] = 0;
    return 0;
  }
  int n = GetWindowTextA(h, text, maxCount);
  return n > 0 ? static_cast<UINT>(n) : 0;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  HWND h = GetDlgItem(dialog, id);
  return h ? SetWindowTextA(h, text) : FALSE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND h = GetDlgItem(dialog, id);
  return h ? static_cast<UINT>(SendMessageA(h, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND h = GetDlgItem(dialog, id);
  if (!h) return FALSE;
  SendMessageA(h, BM_SETCHECK, check, 0);
  return TRUE;
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  if (!IsWindow(dialog) || firstId > lastId) return FALSE;
  for (int id = firstId; id <= lastId; ++id)
    if (HWND h = GetDlgItem(dialog, id)) SendMessageA(h, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
  return TRUE;
}
