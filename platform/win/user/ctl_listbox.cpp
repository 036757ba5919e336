// The "LISTBOX" class (and the list of a combo box): single, multiple and
// extended selection, sorting, owner-drawn items of fixed or variable
// height, scrolling, type-ahead.
#include <algorithm>
#include <cstring>
#include <cwctype>

#include "platform/rtl/text_codec.h"
#include "platform/win/user/ctl_common.h"

namespace rtl::detail {
namespace {

struct TItem {
  AnsiString Text;
  ULONG_PTR Data = 0;
  bool Selected = false;
  int Height = 0;  // owner-drawn items of variable height
};

struct TListData : TCtlBase {
  std::vector<TItem> Items;
  int Cur = -1;     // the selected item of a single-selection list
  int Caret = -1;   // the item with the focus rectangle
  int Anchor = -1;  // where a range selection starts
  int Top = 0;
  int ItemHeight = 0;  // 0 until known
  int HorzExtent = 0;
  bool Tracking = false;
  bool Focused = false;
  // The scroll bars asked for at creation (the style bits come and go as
  // the bars are needed).
  bool VScroll = false;
  bool HScroll = false;
  bool Fitting = false;  // resizing itself to whole items
  // The selection mode, fixed at creation: later style changes keep it.
  DWORD SelMode = 0;
};

DWORD Style(HWND h) { return CtlStyle(h); }
bool OwnerDraw(HWND h) { return (Style(h) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
bool HasStrings(HWND h) { return !OwnerDraw(h) || (Style(h) & LBS_HASSTRINGS); }
bool Variable(HWND h) { return (Style(h) & LBS_OWNERDRAWVARIABLE) != 0; }
DWORD SelMode(HWND h) {
  TListData* d = CtlData<TListData>(h);
  return d ? d->SelMode : 0;
}
bool Multi(HWND h) { return (SelMode(h) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
bool Extended(HWND h) { return (SelMode(h) & LBS_EXTENDEDSEL) != 0; }
// The popup list of a drop-down combo box.
bool DropList(HWND h) { return (Style(h) & (LBS_COMBOBOX | WS_POPUP)) == (LBS_COMBOBOX | WS_POPUP); }
int Count(TListData* d) { return static_cast<int>(d->Items.size()); }
bool Valid(TListData* d, int i) { return i >= 0 && i < Count(d); }

UINT CtlType(HWND h) { return (Style(h) & LBS_COMBOBOX) ? ODT_COMBOBOX : ODT_LISTBOX; }

// The window that owner-draw questions go to: a combo box's parent for its
// list, else the list's parent.
HWND OwnerOf(HWND h) {
  HWND t = CtlNotifyTarget(h);
  if ((Style(h) & LBS_COMBOBOX) && t) {
    HWND p = CtlNotifyTarget(t);
    if (p) return p;
  }
  return t;
}
UINT OwnerId(HWND h) {
  if (Style(h) & LBS_COMBOBOX) return static_cast<UINT>(GetDlgCtrlID(CtlNotifyTarget(h)));
  return static_cast<UINT>(GetDlgCtrlID(h));
}
HWND OwnerItemWindow(HWND h) { return (Style(h) & LBS_COMBOBOX) ? CtlNotifyTarget(h) : h; }

void Notify(HWND h, int code) {
  if ((Style(h) & LBS_NOTIFY) || code == LBN_SETFOCUS || code == LBN_KILLFOCUS) CtlNotify(h, code);
}

int FontHeight(HWND h) {
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, CtlFont(h));
  int lh = CtlLineHeight(dc);
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  return lh;
}

int Measure(HWND h, TListData* d, int index) {
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = CtlType(h);
  mis.CtlID = OwnerId(h);
  mis.itemID = static_cast<UINT>(std::max(index, 0));
  mis.itemHeight = static_cast<UINT>(FontHeight(h));
  if (Valid(d, index)) mis.itemData = d->Items[static_cast<size_t>(index)].Data;
  if (HWND o = OwnerOf(h)) SendMessageA(o, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
  return std::max(1, static_cast<int>(mis.itemHeight));
}

int ItemHeight(HWND h, TListData* d, int i) {
  if (Variable(h) && Valid(d, i)) return d->Items[static_cast<size_t>(i)].Height;
  if (!d->ItemHeight) d->ItemHeight = (Style(h) & LBS_OWNERDRAWFIXED) ? Measure(h, d, 0) : FontHeight(h);
  return d->ItemHeight;
}

RECT ItemRect(HWND h, TListData* d, int i) {
  RECT c;
  GetClientRect(h, &c);
  int y = 0;
  if (i >= d->Top)
    for (int k = d->Top; k < i; ++k) y += ItemHeight(h, d, k);
  else
    for (int k = i; k < d->Top; ++k) y -= ItemHeight(h, d, k);
  int w = std::max(c.Width(), d->HorzExtent);
  return RECT(0, y, w, y + ItemHeight(h, d, i));
}

// How many items fit from first down (at least one).
int VisibleFrom(HWND h, TListData* d, int first) {
  RECT c;
  GetClientRect(h, &c);
  int y = 0, n = 0;
  for (int i = first; i < Count(d); ++i) {
    y += ItemHeight(h, d, i);
    if (y > c.Height() && n > 0) break;
    ++n;
  }
  return std::max(1, n);
}

int MaxTop(HWND h, TListData* d) {
  RECT c;
  GetClientRect(h, &c);
  int y = 0;
  for (int i = Count(d) - 1; i >= 0; --i) {
    y += ItemHeight(h, d, i);
    if (y > c.Height()) return std::min(Count(d) - 1, i + 1);
  }
  return 0;
}

void UpdateScroll(HWND h, TListData* d) {
  if (!d->VScroll) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((Style(h) & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
  si.nMin = 0;
  si.nMax = std::max(0, Count(d) - 1);
  si.nPage = static_cast<UINT>(VisibleFrom(h, d, d->Top));
  if (Count(d) == 0) si.nPage = 1;
  si.nPos = d->Top;
  SetScrollInfo(h, SB_VERT, &si, TRUE);
}

void SetTop(HWND h, TListData* d, int top) {
  top = std::clamp(top, 0, MaxTop(h, d));
  if (top == d->Top) return;
  d->Top = top;
  UpdateScroll(h, d);
  InvalidateRect(h, nullptr, TRUE);
}

void EnsureVisible(HWND h, TListData* d, int i) {
  if (!Valid(d, i)) return;
  if (i < d->Top) {
    SetTop(h, d, i);
    return;
  }
  int top = d->Top;
  while (top < i && i >= top + VisibleFrom(h, d, top)) ++top;
  SetTop(h, d, top);
}

bool IsSelected(HWND h, TListData* d, int i) {
  if (!Valid(d, i)) return false;
  return Multi(h) ? d->Items[static_cast<size_t>(i)].Selected : i == d->Cur;
}

void InvalidateItem(HWND h, TListData* d, int i) {
  if (!Valid(d, i)) return;
  RECT r = ItemRect(h, d, i);
  InvalidateRect(h, &r, TRUE);
}

void SetCaret(HWND h, TListData* d, int i) {
  if (i == d->Caret) return;
  InvalidateItem(h, d, d->Caret);
  d->Caret = i;
  InvalidateItem(h, d, i);
}

// Selection changes; answer whether anything changed.
bool SelectOne(HWND h, TListData* d, int i) {
  if (Multi(h)) {
    bool changed = false;
    for (int k = 0; k < Count(d); ++k) {
      bool want = k == i;
      if (d->Items[static_cast<size_t>(k)].Selected != want) {
        d->Items[static_cast<size_t>(k)].Selected = want;
        InvalidateItem(h, d, k);
        changed = true;
      }
    }
    return changed;
  }
  if (d->Cur == i) return false;
  InvalidateItem(h, d, d->Cur);
  d->Cur = Valid(d, i) ? i : -1;
  InvalidateItem(h, d, d->Cur);
  return true;
}

bool SetSel(HWND h, TListData* d, int i, bool select) {
  if (!Valid(d, i)) return false;
  TItem& it = d->Items[static_cast<size_t>(i)];
  if (it.Selected == select) return false;
  it.Selected = select;
  InvalidateItem(h, d, i);
  return true;
}

bool SelectRange(HWND h, TListData* d, int a, int b, bool only) {
  if (a > b) std::swap(a, b);
  bool changed = false;
  for (int k = 0; k < Count(d); ++k) {
    bool in = k >= a && k <= b;
    if (in || only) changed |= SetSel(h, d, k, in);
  }
  return changed;
}

int Compare(HWND h, const TItem& a, int ia, const TItem& b) {
  if (HasStrings(h)) {
    WideString x = AnsiToWide(a.Text), y = AnsiToWide(b.Text);
    for (auto& c : x) c = static_cast<char16_t>(std::towlower(c));
    for (auto& c : y) c = static_cast<char16_t>(std::towlower(c));
    return x < y ? -1 : (x == y ? 0 : 1);
  }
  COMPAREITEMSTRUCT cis{};
  cis.CtlType = CtlType(h);
  cis.CtlID = OwnerId(h);
  cis.hwndItem = OwnerItemWindow(h);
  cis.itemID1 = static_cast<UINT>(ia);
  cis.itemData1 = a.Data;
  cis.itemID2 = static_cast<UINT>(-1);
  cis.itemData2 = b.Data;
  HWND o = OwnerOf(h);
  return o ? static_cast<int>(SendMessageA(o, WM_COMPAREITEM, cis.CtlID, reinterpret_cast<LPARAM>(&cis))) : 0;
}

LRESULT Insert(HWND h, TListData* d, int index, LPARAM lParam, bool sorted) {
  TItem it;
  if (HasStrings(h))
    it.Text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
  else
    it.Data = static_cast<ULONG_PTR>(lParam);
  if (sorted) {
    index = Count(d);
    for (int k = 0; k < Count(d); ++k)
      if (Compare(h, d->Items[static_cast<size_t>(k)], k, it) > 0) {
        index = k;
        break;
      }
  } else if (index < 0 || index > Count(d)) {
    if (index != -1) return LB_ERR;
    index = Count(d);
  }
  d->Items.insert(d->Items.begin() + index, std::move(it));
  if (Variable(h)) d->Items[static_cast<size_t>(index)].Height = Measure(h, d, index);
  if (d->Cur >= index) ++d->Cur;
  if (d->Caret >= index) ++d->Caret;
  if (d->Anchor >= index) ++d->Anchor;
  UpdateScroll(h, d);
  InvalidateRect(h, nullptr, TRUE);
  return index;
}

void SendDelete(HWND h, TListData* d, int i) {
  const TItem& it = d->Items[static_cast<size_t>(i)];
  if (!OwnerDraw(h) && !it.Data) return;
  DELETEITEMSTRUCT dis{};
  dis.CtlType = CtlType(h);
  dis.CtlID = OwnerId(h);
  dis.itemID = static_cast<UINT>(i);
  dis.hwndItem = OwnerItemWindow(h);
  dis.itemData = it.Data;
  if (HWND o = OwnerOf(h)) SendMessageA(o, WM_DELETEITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

LRESULT Delete(HWND h, TListData* d, int i) {
  if (!Valid(d, i)) return LB_ERR;
  SendDelete(h, d, i);
  d->Items.erase(d->Items.begin() + i);
  auto shift = [&](int& v) {
    if (v == i) v = -1;
    else if (v > i) --v;
  };
  shift(d->Cur);
  shift(d->Anchor);
  if (d->Caret > i || (d->Caret == i && d->Caret >= Count(d))) --d->Caret;
  d->Top = std::clamp(d->Top, 0, MaxTop(h, d));
  UpdateScroll(h, d);
  InvalidateRect(h, nullptr, TRUE);
  return Count(d);
}

void Reset(HWND h, TListData* d) {
  for (int i = 0; i < Count(d); ++i) SendDelete(h, d, i);
  d->Items.clear();
  d->Cur = d->Caret = d->Anchor = -1;
  d->Top = 0;
  UpdateScroll(h, d);
  InvalidateRect(h, nullptr, TRUE);
}

LRESULT Find(HWND h, TListData* d, int start, LPCSTR text, bool exact) {
  if (!text) return LB_ERR;
  int n = Count(d);
  if (n == 0) return LB_ERR;
  if (start < -1 || start >= n) start = -1;
  WideString want = AnsiToWide(text);
  for (auto& c : want) c = static_cast<char16_t>(std::towlower(c));
  for (int k = 1; k <= n; ++k) {
    int i = (start + k) % n;
    const TItem& it = d->Items[static_cast<size_t>(i)];
    if (!HasStrings(h)) {
      if (it.Data == reinterpret_cast<ULONG_PTR>(text)) return i;
      continue;
    }
    WideString s = AnsiToWide(it.Text);
    for (auto& c : s) c = static_cast<char16_t>(std::towlower(c));
    if (exact ? s == want : s.compare(0, want.size(), want) == 0) return i;
  }
  return LB_ERR;
}

void DrawItem(HWND h, TListData* d, HDC dc, int i, UINT action) {
  RECT r = ItemRect(h, d, i);
  bool selected = IsSelected(h, d, i);
  bool focus = d->Focused && i == d->Caret;
  bool enabled = IsWindowEnabled(h);
  if (OwnerDraw(h)) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = CtlType(h);
    dis.CtlID = OwnerId(h);
    dis.itemID = static_cast<UINT>(i);
    dis.itemAction = action;
    dis.itemState = (selected ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
    dis.hwndItem = OwnerItemWindow(h);
    dis.hDC = dc;
    dis.rcItem = r;
    dis.itemData = d->Items[static_cast<size_t>(i)].Data;
    if (HWND o = OwnerOf(h)) SendMessageA(o, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    return;
  }
  COLORREF text = GetTextColor(dc);
  if (selected && !enabled) {
    FillSolid(dc, r, GetSysColor(COLOR_3DFACE));
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else if (selected) {
    FillSolid(dc, r, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else if (!enabled) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  RECT tr = r;
  tr.Left += 2;
  const AnsiString& s = d->Items[static_cast<size_t>(i)].Text;
  UINT f = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | ((Style(h) & LBS_USETABSTOPS) ? DT_EXPANDTABS : 0);
  int mode = SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, s.c_str(), static_cast<int>(s.size()), &tr, f);
  SetBkMode(dc, mode);
  SetTextColor(dc, text);
  if (focus) DrawFocusRect(dc, &r);
}

void Paint(HWND h, TListData* d, HDC dc) {
  HGDIOBJ oldFont = SelectObject(dc, CtlFont(h));
  HBRUSH bg = CtlColor(h, dc, WM_CTLCOLORLISTBOX);
  RECT c;
  GetClientRect(h, &c);
  FillRect(dc, &c, bg);
  int y = 0;
  for (int i = d->Top; i < Count(d) && y < c.Height(); ++i) {
    DrawItem(h, d, dc, i, ODA_DRAWENTIRE);
    y += ItemHeight(h, d, i);
  }
  if (Count(d) == 0 && d->Focused && !OwnerDraw(h)) {
    RECT r(0, 0, c.Width(), ItemHeight(h, d, 0));
    DrawFocusRect(dc, &r);
  }
  SelectObject(dc, oldFont);
}

int ItemAt(HWND h, TListData* d, POINT p, bool* outside) {
  RECT c;
  GetClientRect(h, &c);
  bool out = !PtInRect(&c, p);
  int y = 0, hit = -1;
  if (p.Y < 0) {
    hit = d->Top > 0 ? d->Top - 1 : 0;
  } else {
    for (int i = d->Top; i < Count(d); ++i) {
      int ih = ItemHeight(h, d, i);
      if (p.Y < y + ih) {
        hit = i;
        break;
      }
      y += ih;
    }
    if (hit < 0) {
      hit = Count(d) - 1;
      out = true;
    }
  }
  if (outside) *outside = out;
  return hit;
}

// The user chose item i (mouse or keys) with the given modifiers.
void UserSelect(HWND h, TListData* d, int i, bool shift, bool ctrl, bool toggle) {
  if (!Valid(d, i) || (Style(h) & LBS_NOSEL)) {
    SetCaret(h, d, i);
    return;
  }
  bool changed = false;
  if (!Multi(h)) {
    changed = SelectOne(h, d, i);
  } else if (!Extended(h)) {
    if (toggle) changed = SetSel(h, d, i, !d->Items[static_cast<size_t>(i)].Selected);
  } else if (shift && Valid(d, d->Anchor)) {
    changed = SelectRange(h, d, d->Anchor, i, !ctrl);
  } else if (ctrl) {
    if (toggle) changed = SetSel(h, d, i, !d->Items[static_cast<size_t>(i)].Selected);
    d->Anchor = i;
  } else {
    changed = SelectOne(h, d, i);
    d->Anchor = i;
  }
  if (!Multi(h)) d->Anchor = i;
  SetCaret(h, d, i);
  EnsureVisible(h, d, i);
  if (changed) Notify(h, LBN_SELCHANGE);
}

void KeyDown(HWND h, TListData* d, WPARAM vk) {
  if (Style(h) & LBS_WANTKEYBOARDINPUT) {
    int r = static_cast<int>(SendMessageA(OwnerOf(h), WM_VKEYTOITEM, MAKEWPARAM(vk, std::max(d->Caret, 0)),
                                          reinterpret_cast<LPARAM>(h)));
    if (r == -2) return;
    if (r >= 0) {
      UserSelect(h, d, std::min(r, Count(d) - 1), false, false, false);
      return;
    }
  }
  if (Count(d) == 0) return;
  bool shift = GetKeyState(VK_SHIFT) & 0x8000;
  bool ctrl = GetKeyState(VK_CONTROL) & 0x8000;
  int cur = d->Caret < 0 ? 0 : d->Caret;
  int page = std::max(1, VisibleFrom(h, d, d->Top) - 1);
  int to;
  switch (vk) {
    case VK_UP: to = cur - 1; break;
    case VK_DOWN: to = d->Caret < 0 ? 0 : cur + 1; break;
    case VK_PRIOR: to = cur - page; break;
    case VK_NEXT: to = cur + page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = Count(d) - 1; break;
    case VK_SPACE:
      if (Multi(h)) UserSelect(h, d, cur, shift, Extended(h) ? true : ctrl, true);
      return;
    default: return;
  }
  to = std::clamp(to, 0, Count(d) - 1);
  if ((Style(h) & LBS_MULTIPLESEL) || (Extended(h) && ctrl && !shift)) {
    // These only move the focus rectangle.
    SetCaret(h, d, to);
    EnsureVisible(h, d, to);
    return;
  }
  UserSelect(h, d, to, shift, false, false);
}

void CharKey(HWND h, TListData* d, WPARAM ch) {
  if ((Style(h) & LBS_WANTKEYBOARDINPUT) && !HasStrings(h)) {
    int r = static_cast<int>(SendMessageA(OwnerOf(h), WM_CHARTOITEM, MAKEWPARAM(ch, std::max(d->Caret, 0)),
                                          reinterpret_cast<LPARAM>(h)));
    if (r >= 0) UserSelect(h, d, std::min(r, Count(d) - 1), false, false, false);
    return;
  }
  if (!HasStrings(h) || ch < 0x20) return;
  char s[2] = {static_cast<char>(ch), 0};
  LRESULT i = Find(h, d, d->Caret, s, false);
  if (i != LB_ERR) UserSelect(h, d, static_cast<int>(i), false, false, false);
}

LRESULT GetText(TListData* d, HWND h, int i, LPARAM buf) {
  if (!Valid(d, i) || !buf) return LB_ERR;
  const TItem& it = d->Items[static_cast<size_t>(i)];
  if (!HasStrings(h)) {
    std::memcpy(reinterpret_cast<void*>(buf), &it.Data, sizeof it.Data);
    return sizeof it.Data;
  }
  std::memcpy(reinterpret_cast<char*>(buf), it.Text.c_str(), it.Text.size() + 1);
  return static_cast<LRESULT>(it.Text.size());
}

// Unless told otherwise a list shows whole items only: its height drops to
// the last item that fits.
void FitHeight(HWND h, TListData* d) {
  DWORD style = Style(h);
  if ((style & (LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWVARIABLE)) || d->Fitting) return;
  RECT c, w;
  GetClientRect(h, &c);
  GetWindowRect(h, &w);
  int ih = ItemHeight(h, d, 0);
  int extra = c.Height() % std::max(1, ih);
  if (extra == 0 || c.Height() < ih) return;
  d->Fitting = true;
  SetWindowPos(h, nullptr, 0, 0, w.Width(), w.Height() - extra, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  d->Fitting = false;
}

}  // namespace

UINT ComboListMessage() {
  static UINT m = RegisterWindowMessageA("#ComboListDone");
  return m;
}

LRESULT ListBoxWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* data = new TListData;
    if (auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam))
      data->SelMode = static_cast<DWORD>(cs->style) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL);
    SetCtlData(h, data);
  }
  TListData* d = CtlData<TListData>(h);
  if (!d) return DefWindowProcA(h, msg, wParam, lParam);
  int idx = static_cast<int>(wParam);
  if (LRESULT painted; CtlPaintMessage(h, msg, wParam, [&](HDC dc) { Paint(h, d, dc); }, painted)) return painted;
  switch (msg) {
    case WM_NCDESTROY:
      Reset(h, d);
      FreeCtlData(h);
      return DefWindowProcA(h, msg, wParam, lParam);
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      d->VScroll = cs && (cs->style & WS_VSCROLL);
      d->HScroll = cs && (cs->style & WS_HSCROLL);
      FitHeight(h, d);
      UpdateScroll(h, d);
      return 0;
    }
    case WM_SETFONT:
      d->Font = reinterpret_cast<HFONT>(wParam);
      if (!OwnerDraw(h)) d->ItemHeight = 0;
      UpdateScroll(h, d);
      if (LOWORD(lParam)) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(d->Font);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SIZE:
      FitHeight(h, d);
      d->Top = std::clamp(d->Top, 0, MaxTop(h, d));
      UpdateScroll(h, d);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_ENABLE:
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
      d->Focused = true;
      if (d->Caret < 0 && Count(d) > 0) d->Caret = Multi(h) ? 0 : std::max(d->Cur, 0);
      InvalidateRect(h, nullptr, TRUE);
      Notify(h, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      d->Focused = false;
      InvalidateRect(h, nullptr, TRUE);
      Notify(h, LBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      bool outside = false;
      int i = ItemAt(h, d, p, &outside);
      if (DropList(h)) {
        // The list of a combo box ends on a click: inside chooses, outside cancels.
        SendMessageA(CtlNotifyTarget(h), ComboListMessage(), outside ? 0 : 1, i);
        return 0;
      }
      if (GetFocus() != h) SetFocus(h);
      if (!IsWindow(h)) return 0;
      if (msg == WM_LBUTTONDBLCLK) {
        Notify(h, LBN_DBLCLK);
        return 0;
      }
      if (outside && !Valid(d, i)) return 0;
      UserSelect(h, d, i, (wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0, true);
      d->Tracking = true;
      SetCapture(h);
      return 0;
    }
    case WM_MOUSEMOVE: {
      POINT p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      if (DropList(h)) {
        bool outside = false;
        int i = ItemAt(h, d, p, &outside);
        if (!outside && i != d->Cur) {
          SelectOne(h, d, i);
          SetCaret(h, d, i);
        }
        return 0;
      }
      if (!d->Tracking || GetCapture() != h) return 0;
      int i = ItemAt(h, d, p, nullptr);
      if (!Valid(d, i) || i == d->Caret) return 0;
      if (!Multi(h))
        UserSelect(h, d, i, false, false, false);
      else if (Extended(h))
        UserSelect(h, d, i, true, (wParam & MK_CONTROL) != 0, false);
      return 0;
    }
    case WM_LBUTTONUP:
      if (d->Tracking) {
        d->Tracking = false;
        if (GetCapture() == h) ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      d->Tracking = false;
      return 0;
    case WM_MOUSEWHEEL:
      SetTop(h, d, d->Top - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3);
      return 0;
    case WM_VSCROLL: {
      int page = std::max(1, VisibleFrom(h, d, d->Top) - 1);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: SetTop(h, d, d->Top - 1); break;
        case SB_LINEDOWN: SetTop(h, d, d->Top + 1); break;
        case SB_PAGEUP: SetTop(h, d, d->Top - page); break;
        case SB_PAGEDOWN: SetTop(h, d, d->Top + page); break;
        case SB_TOP: SetTop(h, d, 0); break;
        case SB_BOTTOM: SetTop(h, d, Count(d)); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTop(h, d, HIWORD(wParam)); break;
      }
      return 0;
    }
    case WM_KEYDOWN:
      KeyDown(h, d, wParam);
      return 0;
    case WM_CHAR:
      CharKey(h, d, wParam);
      return 0;
    case LB_ADDSTRING:
      return Insert(h, d, -1, lParam, (Style(h) & LBS_SORT) != 0);
    case LB_INSERTSTRING:
      return Insert(h, d, idx, lParam, false);
    case LB_DELETESTRING:
      return Delete(h, d, idx);
    case LB_RESETCONTENT:
      Reset(h, d);
      return 0;
    case LB_GETCOUNT:
      return Count(d);
    case LB_GETTEXT:
      return GetText(d, h, idx, lParam);
    case LB_GETTEXTLEN:
      if (!Valid(d, idx)) return LB_ERR;
      return HasStrings(h) ? static_cast<LRESULT>(d->Items[static_cast<size_t>(idx)].Text.size())
                           : static_cast<LRESULT>(sizeof(ULONG_PTR));
    case LB_GETCURSEL:
      // A multiple-selection list answers its caret item.
      if (Multi(h)) return Count(d) == 0 ? LB_ERR : std::max(d->Caret, 0);
      return d->Cur;
    case LB_SETCURSEL:
      if (Multi(h)) return LB_ERR;
      SelectOne(h, d, Valid(d, idx) ? idx : -1);
      if (Valid(d, idx)) {
        // The anchor stays where the user's last range started.
        SetCaret(h, d, idx);
        EnsureVisible(h, d, idx);
        return idx;
      }
      return LB_ERR;
    case LB_GETSEL:
      if (!Valid(d, idx)) return LB_ERR;
      return IsSelected(h, d, idx) ? 1 : 0;
    case LB_SETSEL: {
      if (!Multi(h)) return LB_ERR;
      int i = static_cast<int>(lParam);
      if (i == -1) {
        for (int k = 0; k < Count(d); ++k) SetSel(h, d, k, wParam != 0);
        return 0;
      }
      if (!Valid(d, i)) return LB_ERR;
      SetSel(h, d, i, wParam != 0);
      if (wParam) {
        SetCaret(h, d, i);
        d->Anchor = i;
      }
      return 0;
    }
    case LB_GETSELCOUNT: {
      if (!Multi(h)) return LB_ERR;
      return std::count_if(d->Items.begin(), d->Items.end(), [](const TItem& it) { return it.Selected; });
    }
    case LB_GETSELITEMS: {
      if (!Multi(h)) return LB_ERR;
      auto* out = reinterpret_cast<INT*>(lParam);
      int n = 0;
      for (int k = 0; k < Count(d) && n < idx; ++k)
        if (d->Items[static_cast<size_t>(k)].Selected) out[n++] = k;
      return n;
    }
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX: {
      if (!Multi(h)) return LB_ERR;
      int a, b;
      bool select;
      if (msg == LB_SELITEMRANGE) {
        a = LOWORD(lParam);
        b = HIWORD(lParam);
        if (a > b) std::swap(a, b);  // either end may come first
        select = wParam != 0;
      } else {
        a = idx;
        b = static_cast<int>(lParam);
        select = a <= b;
        if (!select) std::swap(a, b);
      }
      for (int k = std::max(0, a); k <= std::min(b, Count(d) - 1); ++k) SetSel(h, d, k, select);
      return 0;
    }
    case LB_GETTOPINDEX:
      return d->Top;
    case LB_SETTOPINDEX:
      if (!Valid(d, idx) && !(idx == 0 && Count(d) == 0)) return LB_ERR;
      SetTop(h, d, idx);
      return 0;
    case LB_GETITEMHEIGHT:
      return ItemHeight(h, d, Variable(h) ? idx : 0);
    case LB_SETITEMHEIGHT: {
      int ht = LOWORD(lParam);
      if (ht <= 0 || ht > 255) return LB_ERR;
      if (Variable(h)) {
        if (!Valid(d, idx)) return LB_ERR;
        d->Items[static_cast<size_t>(idx)].Height = ht;
      } else {
        d->ItemHeight = ht;
      }
      UpdateScroll(h, d);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    }
    case LB_GETITEMRECT:
      if (!Valid(d, idx) && !(idx == 0 && Count(d) == 0)) return LB_ERR;
      if (lParam) *reinterpret_cast<RECT*>(lParam) = ItemRect(h, d, idx);
      return 1;
    case LB_ITEMFROMPOINT: {
      bool outside = false;
      int i = ItemAt(h, d, POINT(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), &outside);
      return MAKELRESULT(std::max(i, 0), outside ? 1 : 0);
    }
    case LB_SETHORIZONTALEXTENT:
      d->HorzExtent = idx;
      if (d->HScroll) {
        RECT c;
        GetClientRect(h, &c);
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE;
        si.nMax = std::max(0, idx - 1);
        si.nPage = static_cast<UINT>(c.Width());
        SetScrollInfo(h, SB_HORZ, &si, TRUE);
      }
      return 0;
    case LB_GETHORIZONTALEXTENT:
      return d->HorzExtent;
    case LB_GETITEMDATA:
      if (!Valid(d, idx)) return LB_ERR;
      return static_cast<LRESULT>(d->Items[static_cast<size_t>(idx)].Data);
    case LB_SETITEMDATA:
      if (!Valid(d, idx)) return LB_ERR;
      d->Items[static_cast<size_t>(idx)].Data = static_cast<ULONG_PTR>(lParam);
      return 1;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
      return Find(h, d, idx, reinterpret_cast<LPCSTR>(lParam), msg == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING: {
      if (Multi(h)) return LB_ERR;
      LRESULT i = Find(h, d, idx, reinterpret_cast<LPCSTR>(lParam), false);
      if (i != LB_ERR) SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
      return i;
    }
    case LB_SETCARETINDEX:
      if (!Valid(d, idx)) return LB_ERR;
      SetCaret(h, d, idx);
      if (!lParam) EnsureVisible(h, d, idx);
      return 0;
    case LB_GETCARETINDEX:
      return d->Caret < 0 ? 0 : d->Caret;
    case LB_SETANCHORINDEX:
      if (!Valid(d, idx)) return LB_ERR;
      d->Anchor = idx;
      return 0;
    case LB_GETANCHORINDEX:
      return d->Anchor;
    case LB_SETCOLUMNWIDTH:
    case LB_SETTABSTOPS:
      return TRUE;
    case LB_INITSTORAGE:
      d->Items.reserve(d->Items.size() + static_cast<size_t>(wParam));
      return static_cast<LRESULT>(d->Items.capacity());
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace rtl::detail
