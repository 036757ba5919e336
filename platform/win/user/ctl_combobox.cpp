// The "COMBOBOX" class: simple (edit over a list), drop-down (edit and a
// list in a popup) and drop-down list (a selection field and the popup),
// owner-drawn or not. The popup list holds the capture while it is open,
// so a click anywhere else closes it.
#include <algorithm>
#include <cstring>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/ctl_common.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

constexpr int kEditId = 1001;
constexpr int kListId = 1000;
const char kComboProp[] = "#Combo";

struct TComboData : TCtlBase {
  HWND Edit = nullptr;
  HWND List = nullptr;
  bool Dropped = false;
  bool ButtonDown = false;
  bool Focused = false;
  int DropHeight = 100;  // the list's height when it drops down
  int DroppedWidth = 0;
  int FieldHeight = 0;
  bool ExtendedUI = false;
  int SelBeforeDrop = -1;
  bool Resizing = false;
  int SettingEdit = 0;  // the combo box itself puts a text into its edit
};

// Sets the edit's text on the combo box's behalf: only the user's edits
// are told as CBN_EDITUPDATE / CBN_EDITCHANGE.
LRESULT SetEditText(TComboData* d, const char* text) {
  ++d->SettingEdit;
  LRESULT r = SendMessageA(d->Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  --d->SettingEdit;
  return r;
}

UINT ComboType(HWND h) { return CtlStyle(h) & 3; }
bool HasEdit(HWND h) { return ComboType(h) != CBS_DROPDOWNLIST; }
bool DropsDown(HWND h) { return ComboType(h) != CBS_SIMPLE; }

int ComboFontHeight(HWND h) {
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, CtlFont(h));
  int lh = CtlLineHeight(dc);
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  return lh;
}

RECT ButtonRect(HWND h, TComboData* d) {
  RECT c;
  GetClientRect(h, &c);
  int cx = GetSystemMetrics(SM_CXVSCROLL);
  return RECT(c.Right - 2 - cx, 2, c.Right - 2, d->FieldHeight - 2);
}

RECT FieldRect(HWND h, TComboData* d) {
  RECT c;
  GetClientRect(h, &c);
  if (!DropsDown(h)) return RECT(0, 0, c.Right, d->FieldHeight);
  RECT b = ButtonRect(h, d);
  return RECT(2, 2, b.Left, d->FieldHeight - 2);
}

int Cur(TComboData* d) { return static_cast<int>(SendMessageA(d->List, LB_GETCURSEL, 0, 0)); }

AnsiString ItemText(TComboData* d, int i) {
  LRESULT n = SendMessageA(d->List, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
  if (n == LB_ERR) return "";
  AnsiString s(static_cast<size_t>(n) + 1, '\0');
  n = SendMessageA(d->List, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(std::max<LRESULT>(n, 0)));
  return s;
}

// The edit or the selection field shows the current item.
void ShowCurrent(HWND h, TComboData* d) {
  int i = Cur(d);
  if (d->Edit) {
    AnsiString s = i >= 0 ? ItemText(d, i) : AnsiString();
    SetEditText(d, s.c_str());
    if (GetFocus() == d->Edit) SendMessageA(d->Edit, EM_SETSEL, 0, -1);
  }
  InvalidateRect(h, nullptr, FALSE);
}

void Layout(HWND h, TComboData* d) {
  RECT c;
  GetClientRect(h, &c);
  if (d->Edit) {
    RECT f = FieldRect(h, d);
    if (DropsDown(h)) InflateRect(&f, -1, -1);
    MoveWindow(d->Edit, f.Left, f.Top, f.Width(), f.Height(), TRUE);
  }
  if (!DropsDown(h) && d->List)
    MoveWindow(d->List, 0, d->FieldHeight, c.Width(), std::max(0, c.Height() - d->FieldHeight), TRUE);
}

void CloseUp(HWND h, TComboData* d, bool ok) {
  if (!d->Dropped) return;
  d->Dropped = false;
  d->ButtonDown = false;
  int sel = Cur(d);
  if (!ok) SendMessageA(d->List, LB_SETCURSEL, static_cast<WPARAM>(d->SelBeforeDrop), 0);
  CtlNotify(h, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (GetCapture() == d->List) ReleaseCapture();
  ShowWindow(d->List, SW_HIDE);
  InvalidateRect(h, nullptr, FALSE);
  CtlNotify(h, CBN_CLOSEUP);
  if (ok && sel != d->SelBeforeDrop) {
    ShowCurrent(h, d);
    CtlNotify(h, CBN_SELCHANGE);
  }
}

void DropDown(HWND h, TComboData* d) {
  if (d->Dropped || !DropsDown(h)) return;
  CtlNotify(h, CBN_DROPDOWN);
  if (!IsWindow(h)) return;
  d->Dropped = true;
  d->SelBeforeDrop = Cur(d);
  RECT wr;
  GetWindowRect(h, &wr);
  int count = static_cast<int>(SendMessageA(d->List, LB_GETCOUNT, 0, 0));
  int itemH = static_cast<int>(SendMessageA(d->List, LB_GETITEMHEIGHT, 0, 0));
  int height = std::min(d->DropHeight, std::max(1, count) * itemH + 2);
  height = std::max(height, itemH + 2);
  int width = std::max(wr.Width(), d->DroppedWidth);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromWindow(h, MONITOR_DEFAULTTONEAREST), &mi);
  int y = wr.Bottom;
  if (y + height > mi.rcWork.Bottom && wr.Top - height >= mi.rcWork.Top) y = wr.Top - height;
  SetWindowPos(d->List, HWND_TOP, wr.Left, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (d->SelBeforeDrop >= 0) SendMessageA(d->List, LB_SETTOPINDEX, static_cast<WPARAM>(d->SelBeforeDrop), 0);
  SetCapture(d->List);
  InvalidateRect(h, nullptr, FALSE);
}

// A user's choice of item i while the list is closed.
void Choose(HWND h, TComboData* d, int i) {
  int count = static_cast<int>(SendMessageA(d->List, LB_GETCOUNT, 0, 0));
  if (count == 0) return;
  i = std::clamp(i, 0, count - 1);
  if (i == Cur(d)) return;
  SendMessageA(d->List, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
  // The choice is final at once; the field shows it after the parent heard.
  CtlNotify(h, CBN_SELENDOK);
  if (!IsWindow(h)) return;
  CtlNotify(h, CBN_SELCHANGE);
  if (IsWindow(h)) ShowCurrent(h, d);
}

bool Key(HWND h, TComboData* d, UINT msg, WPARAM vk) {
  bool alt = msg == WM_SYSKEYDOWN;
  if ((vk == VK_F4 && !alt) || (alt && (vk == VK_DOWN || vk == VK_UP))) {
    if (!DropsDown(h)) return true;
    if (d->Dropped)
      CloseUp(h, d, true);
    else
      DropDown(h, d);
    return true;
  }
  if (alt) return false;
  if (d->Dropped) {
    if (vk == VK_RETURN) {
      CloseUp(h, d, true);
      return true;
    }
    if (vk == VK_ESCAPE) {
      CloseUp(h, d, false);
      return true;
    }
    if (vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT || vk == VK_HOME || vk == VK_END) {
      int count = static_cast<int>(SendMessageA(d->List, LB_GETCOUNT, 0, 0));
      int cur = Cur(d);
      int to = vk == VK_UP ? cur - 1 : vk == VK_DOWN ? cur + 1 : vk == VK_PRIOR ? cur - 8 : vk == VK_NEXT ? cur + 8
             : vk == VK_HOME ? 0 : count - 1;
      if (count > 0) SendMessageA(d->List, LB_SETCURSEL, static_cast<WPARAM>(std::clamp(to, 0, count - 1)), 0);
      return true;
    }
    return false;
  }
  if (d->ExtendedUI && vk == VK_DOWN && DropsDown(h)) {
    DropDown(h, d);
    return true;
  }
  if (HasEdit(h) && (vk == VK_HOME || vk == VK_END)) return false;
  int cur = Cur(d);
  switch (vk) {
    case VK_UP: Choose(h, d, cur - 1); return true;
    case VK_DOWN: Choose(h, d, cur + 1); return true;
    case VK_PRIOR: Choose(h, d, cur - 8); return true;
    case VK_NEXT: Choose(h, d, cur + 8); return true;
    case VK_HOME: Choose(h, d, 0); return true;
    case VK_END: Choose(h, d, static_cast<int>(SendMessageA(d->List, LB_GETCOUNT, 0, 0)) - 1); return true;
  }
  return false;
}

// With its list down a combo box keeps Enter and Esc, which close the
// list, from the dialog manager.
LRESULT ComboDlgCode(TComboData* d, LPARAM lParam, LRESULT code) {
  const auto* m = reinterpret_cast<const MSG*>(lParam);
  if (d && d->Dropped && m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) &&
      (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
    code |= DLGC_WANTMESSAGE;
  return code;
}

// The edit of a combo box hands the list keys to its combo box.
LRESULT EditSubclass(HWND e, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
  HWND combo = reinterpret_cast<HWND>(ref);
  TComboData* d = CtlData<TComboData>(combo);
  if (d && (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && Key(combo, d, msg, wParam)) return 0;
  if (d && msg == WM_CHAR && d->Dropped && (wParam == '\r' || wParam == 0x1B)) return 0;
  if (msg == WM_GETDLGCODE) return ComboDlgCode(d, lParam, DefSubclassProc(e, msg, wParam, lParam));
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(e, EditSubclass, 1);
  return DefSubclassProc(e, msg, wParam, lParam);
}

void PaintField(HWND h, TComboData* d, HDC dc) {
  RECT f = FieldRect(h, d);
  int i = Cur(d);
  bool focused = d->Focused && !d->Dropped;
  DWORD style = CtlStyle(h);
  if (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
    dis.itemID = static_cast<UINT>(i);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_COMBOBOXEDIT | (focused ? ODS_SELECTED | ODS_FOCUS : 0) | (IsWindowEnabled(h) ? 0 : ODS_DISABLED);
    dis.hwndItem = h;
    dis.hDC = dc;
    dis.rcItem = f;
    InflateRect(&dis.rcItem, -1, -1);
    if (i >= 0) dis.itemData = static_cast<ULONG_PTR>(SendMessageA(d->List, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
    if (HWND o = CtlNotifyTarget(h)) SendMessageA(o, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    return;
  }
  RECT sel = f;
  InflateRect(&sel, -1, -1);
  COLORREF old = GetTextColor(dc);
  if (focused) {
    FillSolid(dc, sel, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else if (!IsWindowEnabled(h)) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  if (i >= 0) {
    AnsiString s = ItemText(d, i);
    RECT tr = sel;
    tr.Left += 2;
    int mode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, s.c_str(), static_cast<int>(s.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetBkMode(dc, mode);
  }
  SetTextColor(dc, old);
  if (focused) DrawFocusRect(dc, &sel);
}

void Paint(HWND h, TComboData* d, HDC dc) {
  HGDIOBJ oldFont = SelectObject(dc, CtlFont(h));
  RECT c;
  GetClientRect(h, &c);
  bool enabled = IsWindowEnabled(h);
  HBRUSH bg = CtlColor(h, dc, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
  if (DropsDown(h)) {
    RECT field(0, 0, c.Right, d->FieldHeight);
    FillRect(dc, &field, bg);
    DrawEdge(dc, &field, EDGE_SUNKEN, BF_RECT);
    RECT b = ButtonRect(h, d);
    DrawFrameControl(dc, &b, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | (d->ButtonDown ? DFCS_PUSHED | DFCS_FLAT : 0) | (enabled ? 0 : DFCS_INACTIVE));
    if (!HasEdit(h)) PaintField(h, d, dc);
  } else {
    FillRect(dc, &c, GetSysColorBrush(COLOR_3DFACE));
  }
  SelectObject(dc, oldFont);
}

// A drop-down is as high as its field (the one size its
// WM_WINDOWPOSCHANGING lets through) and as wide as width; then its parts
// are laid out again.
void FitToField(HWND h, TComboData* d, int width) {
  if (DropsDown(h)) {
    d->Resizing = true;
    SetWindowPos(h, nullptr, 0, 0, width, d->FieldHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    d->Resizing = false;
  }
  Layout(h, d);
}

// The same, keeping the width it has.
void FitToField(HWND h, TComboData* d) {
  RECT c;
  GetClientRect(h, &c);
  FitToField(h, d, c.Width());
}

void Create(HWND h, TComboData* d, CREATESTRUCTA* cs) {
  DWORD style = CtlStyle(h);
  d->FieldHeight = ComboFontHeight(h) + 8;
  // The list always scrolls vertically; a horizontal bar only when asked.
  DWORD listStyle = WS_VSCROLL | LBS_NOTIFY | LBS_COMBOBOX | LBS_NOINTEGRALHEIGHT;
  if (static_cast<DWORD>(cs->style) & WS_HSCROLL) listStyle |= WS_HSCROLL;
  if (style & CBS_SORT) listStyle |= LBS_SORT;
  if (style & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
  if (style & CBS_OWNERDRAWVARIABLE) listStyle |= LBS_OWNERDRAWVARIABLE;
  if (style & CBS_HASSTRINGS) listStyle |= LBS_HASSTRINGS;
  if (style & CBS_DISABLENOSCROLL) listStyle |= LBS_DISABLENOSCROLL;
  if (DropsDown(h)) {
    d->DropHeight = std::max(cs->cy - d->FieldHeight, 0);
    d->List = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ComboLBox", "", WS_POPUP | WS_BORDER | listStyle, 0,
                              0, 10, 10, h, nullptr, nullptr, nullptr);
  } else {
    d->List = CreateWindowExA(WS_EX_CLIENTEDGE, "ComboLBox", "", WS_CHILD | WS_VISIBLE | listStyle, 0, 0, 10, 10, h,
                              reinterpret_cast<HMENU>(static_cast<intptr_t>(kListId)), nullptr, nullptr);
  }
  if (d->List) SetPropA(d->List, kComboProp, h);
  if (HasEdit(h)) {
    DWORD es = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    if (style & CBS_UPPERCASE) es |= ES_UPPERCASE;
    if (style & CBS_LOWERCASE) es |= ES_LOWERCASE;
    d->Edit = CreateWindowExA(DropsDown(h) ? 0 : WS_EX_CLIENTEDGE, "EDIT", cs->lpszName ? cs->lpszName : "", es, 0, 0,
                              10, 10, h, reinterpret_cast<HMENU>(static_cast<intptr_t>(kEditId)), nullptr, nullptr);
    if (d->Edit) SetWindowSubclass(d->Edit, EditSubclass, 1, reinterpret_cast<DWORD_PTR>(h));
  }
  FitToField(h, d, cs->cx);
}

// The list messages a combo box passes on, and their list counterparts.
UINT ListMessage(UINT msg) {
  switch (msg) {
    case CB_ADDSTRING: return LB_ADDSTRING;
    case CB_INSERTSTRING: return LB_INSERTSTRING;
    case CB_DELETESTRING: return LB_DELETESTRING;
    case CB_GETCOUNT: return LB_GETCOUNT;
    case CB_GETCURSEL: return LB_GETCURSEL;
    case CB_GETLBTEXT: return LB_GETTEXT;
    case CB_GETLBTEXTLEN: return LB_GETTEXTLEN;
    case CB_FINDSTRING: return LB_FINDSTRING;
    case CB_FINDSTRINGEXACT: return LB_FINDSTRINGEXACT;
    case CB_GETITEMDATA: return LB_GETITEMDATA;
    case CB_SETITEMDATA: return LB_SETITEMDATA;
    case CB_GETTOPINDEX: return LB_GETTOPINDEX;
    case CB_SETTOPINDEX: return LB_SETTOPINDEX;
    case CB_GETHORIZONTALEXTENT: return LB_GETHORIZONTALEXTENT;
    case CB_SETHORIZONTALEXTENT: return LB_SETHORIZONTALEXTENT;
    case CB_INITSTORAGE: return LB_INITSTORAGE;
  }
  return 0;
}

}  // namespace

LRESULT ComboBoxWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    // Scroll bars asked for belong to the list: the combo box's own frame
    // has none, or they would sit beside the drop-down button.
    DWORD style = CtlStyle(h);
    if (style & (WS_VSCROLL | WS_HSCROLL)) SetWindowLongA(h, GWL_STYLE, static_cast<LONG>(style & ~(WS_VSCROLL | WS_HSCROLL)));
  }
  LRESULT result;
  TComboData* d = CtlBegin<TComboData>(h, msg, wParam, lParam, result);
  if (!d) return result;
  if (msg == ComboListMessage()) {
    if (wParam) SendMessageA(d->List, LB_SETCURSEL, static_cast<WPARAM>(lParam), 0);
    CloseUp(h, d, wParam != 0);
    return 0;
  }
  if (UINT lm = ListMessage(msg)) {
    if (!d->List) return CB_ERR;
    LRESULT r = SendMessageA(d->List, lm, wParam, lParam);
    if (msg == CB_DELETESTRING || msg == CB_SETITEMDATA) InvalidateRect(h, nullptr, FALSE);
    return r;
  }
  if (LRESULT painted; CtlPaintMessage(h, msg, wParam, [&](HDC dc) { Paint(h, d, dc); }, painted)) return painted;
  switch (msg) {
    case WM_CREATE:
      Create(h, d, reinterpret_cast<CREATESTRUCTA*>(lParam));
      return (d->List && (d->Edit || !HasEdit(h))) ? 0 : -1;
    case WM_DESTROY:
      if (d->List && DropsDown(h)) DestroyWindow(d->List);
      d->List = nullptr;
      return 0;
    case WM_WINDOWPOSCHANGING: {
      // A drop-down keeps the height of its field; a taller size asked
      // for is the height of its list.
      auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      if (DropsDown(h) && !d->Resizing && wp && !(wp->flags & SWP_NOSIZE) && wp->cy != d->FieldHeight) {
        if (wp->cy > d->FieldHeight) d->DropHeight = wp->cy - d->FieldHeight;
        wp->cy = d->FieldHeight;
      }
      return DefWindowProcA(h, msg, wParam, lParam);
    }
    case WM_SIZE:
      Layout(h, d);
      return 0;
    case WM_SETFONT:
      d->Font = reinterpret_cast<HFONT>(wParam);
      if (d->Edit) SendMessageA(d->Edit, WM_SETFONT, wParam, lParam);
      if (d->List) SendMessageA(d->List, WM_SETFONT, wParam, lParam);
      d->FieldHeight = ComboFontHeight(h) + 8;
      FitToField(h, d);
      if (LOWORD(lParam)) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(d->Font);
    case WM_GETDLGCODE:
      return ComboDlgCode(d, lParam, DLGC_WANTARROWS | DLGC_WANTCHARS);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
      if (HWND o = CtlNotifyTarget(h)) return SendMessageA(o, msg, wParam, lParam);
      break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
      if (HWND o = CtlNotifyTarget(h)) return SendMessageA(o, msg, static_cast<WPARAM>(GetDlgCtrlID(h)), lParam);
      return 0;
    case WM_ENABLE:
      if (d->Edit) EnableWindow(d->Edit, static_cast<BOOL>(wParam));
      if (d->List) EnableWindow(d->List, static_cast<BOOL>(wParam));
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
      if (d->Edit) {
        SetFocus(d->Edit);
        return 0;
      }
      d->Focused = true;
      InvalidateRect(h, nullptr, FALSE);
      CtlNotify(h, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      if (d->Edit) return 0;
      CloseUp(h, d, false);
      d->Focused = false;
      InvalidateRect(h, nullptr, FALSE);
      CtlNotify(h, CBN_KILLFOCUS);
      return 0;
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lParam);
      int code = HIWORD(wParam);
      if (from && from == d->Edit) {
        switch (code) {
          case EN_SETFOCUS:
            d->Focused = true;
            SendMessageA(d->Edit, EM_SETSEL, 0, -1);
            CtlNotify(h, CBN_SETFOCUS);
            break;
          case EN_KILLFOCUS:
            CloseUp(h, d, false);
            d->Focused = false;
            CtlNotify(h, CBN_KILLFOCUS);
            break;
          case EN_CHANGE:
            if (!d->SettingEdit) CtlNotify(h, CBN_EDITCHANGE);
            break;
          case EN_UPDATE:
            if (!d->SettingEdit) CtlNotify(h, CBN_EDITUPDATE);
            break;
        }
      } else if (from && from == d->List && !DropsDown(h)) {
        if (code == LBN_SELCHANGE) {
          ShowCurrent(h, d);
          CtlNotify(h, CBN_SELCHANGE);
        } else if (code == LBN_DBLCLK) {
          CtlNotify(h, CBN_DBLCLK);
        }
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!DropsDown(h)) return 0;
      POINT p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      RECT b = ButtonRect(h, d);
      if (HasEdit(h) && !PtInRect(&b, p)) return 0;
      SetFocus(d->Edit ? d->Edit : h);
      d->ButtonDown = true;
      DropDown(h, d);
      return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (Key(h, d, msg, wParam)) return 0;
      break;
    case WM_CHAR:
      if (!HasEdit(h) && wParam >= 0x20) {
        char s[2] = {static_cast<char>(wParam), 0};
        LRESULT i = SendMessageA(d->List, LB_FINDSTRING, static_cast<WPARAM>(Cur(d)), reinterpret_cast<LPARAM>(s));
        if (i != LB_ERR) {
          if (d->Dropped)
            SendMessageA(d->List, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
          else
            Choose(h, d, static_cast<int>(i));
        }
        return 0;
      }
      break;
    case WM_MOUSEWHEEL:
      if (!d->Dropped && GetFocus() && (GetFocus() == h || GetFocus() == d->Edit)) {
        Choose(h, d, Cur(d) - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
        return 0;
      }
      break;
    case WM_SETTEXT:
      if (d->Edit) return SetEditText(d, reinterpret_cast<const char*>(lParam));
      {
        LRESULT i = SendMessageA(d->List, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam);
        if (i == LB_ERR) return CB_ERR;
        SendMessageA(d->List, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        InvalidateRect(h, nullptr, FALSE);
        return TRUE;
      }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
      if (d->Edit) return SendMessageA(d->Edit, msg, wParam, lParam);
      int i = Cur(d);
      AnsiString s = i >= 0 ? ItemText(d, i) : AnsiString();
      if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(s.size());
      if (!wParam || !lParam) return 0;
      size_t n = std::min(s.size(), static_cast<size_t>(wParam) - 1);
      std::memcpy(reinterpret_cast<char*>(lParam), s.data(), n);
      reinterpret_cast<char*>(lParam)[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case CB_SETCURSEL: {
      LRESULT r = SendMessageA(d->List, LB_SETCURSEL, wParam, 0);
      ShowCurrent(h, d);
      return r;
    }
    case CB_SELECTSTRING: {
      LRESULT i = SendMessageA(d->List, LB_FINDSTRING, wParam, lParam);
      if (i == LB_ERR) return CB_ERR;
      SendMessageA(d->List, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
      ShowCurrent(h, d);
      return i;
    }
    case CB_RESETCONTENT:
      SendMessageA(d->List, LB_RESETCONTENT, 0, 0);
      if (d->Edit) SetEditText(d, "");
      InvalidateRect(h, nullptr, FALSE);
      return CB_OKAY;
    case CB_SHOWDROPDOWN:
      if (wParam)
        DropDown(h, d);
      else
        CloseUp(h, d, false);
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return d->Dropped;
    case CB_GETCOMBOBOXINFO: {
      auto* info = reinterpret_cast<COMBOBOXINFO*>(lParam);
      if (!info) return FALSE;
      info->rcItem = FieldRect(h, d);
      if (d->Edit) {
        GetWindowRect(d->Edit, &info->rcItem);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&info->rcItem), 2);
      }
      info->rcButton = DropsDown(h) ? ButtonRect(h, d) : RECT();
      info->stateButton = !DropsDown(h) ? STATE_SYSTEM_INVISIBLE : d->ButtonDown ? STATE_SYSTEM_PRESSED : 0;
      info->hwndCombo = h;
      info->hwndItem = d->Edit ? d->Edit : h;
      info->hwndList = d->List;
      return TRUE;
    }
    case CB_GETDROPPEDCONTROLRECT: {
      if (!lParam) return CB_ERR;
      RECT wr;
      GetWindowRect(h, &wr);
      wr.Right = std::max(wr.Right, wr.Left + d->DroppedWidth);
      wr.Bottom = wr.Top + d->FieldHeight + d->DropHeight;
      *reinterpret_cast<RECT*>(lParam) = wr;
      return TRUE;
    }
    case CB_SETDROPPEDWIDTH:
      d->DroppedWidth = static_cast<int>(wParam);
      return d->DroppedWidth;
    case CB_GETDROPPEDWIDTH: {
      RECT wr;
      GetWindowRect(h, &wr);
      return std::max(wr.Width(), d->DroppedWidth);
    }
    case CB_LIMITTEXT:
      if (!d->Edit) return CB_ERR;
      SendMessageA(d->Edit, EM_LIMITTEXT, wParam, 0);
      return TRUE;
    case CB_GETEDITSEL:
      if (!d->Edit) return CB_ERR;
      return SendMessageA(d->Edit, EM_GETSEL, wParam, lParam);
    case CB_SETEDITSEL:
      if (!d->Edit) return CB_ERR;
      SendMessageA(d->Edit, EM_SETSEL, static_cast<WPARAM>(static_cast<SHORT>(LOWORD(lParam))),
                   static_cast<SHORT>(HIWORD(lParam)));
      return TRUE;
    case CB_SETEXTENDEDUI:
      d->ExtendedUI = wParam != 0;
      return CB_OKAY;
    case CB_GETEXTENDEDUI:
      return d->ExtendedUI;
    case CB_SETITEMHEIGHT: {
      if (static_cast<int>(wParam) == -1) {
        int ht = static_cast<int>(lParam);
        if (ht <= 0) return CB_ERR;
        d->FieldHeight = ht + 6;
        FitToField(h, d);
        return CB_OKAY;
      }
      return SendMessageA(d->List, LB_SETITEMHEIGHT, wParam, lParam);
    }
    case CB_GETITEMHEIGHT:
      if (static_cast<int>(wParam) == -1) return d->FieldHeight - 6;
      return SendMessageA(d->List, LB_GETITEMHEIGHT, wParam, 0);
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL GetComboBoxInfo(HWND combo, PCOMBOBOXINFO info) {
  if (!info || info->cbSize != sizeof(COMBOBOXINFO)) {
    SetLastError(87);
    return FALSE;
  }
  if (!IsWindow(combo)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendMessageA(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(info)) ? TRUE : FALSE;
}
