// The tree view ("SysTreeView32"): items with text, images and children,
// expanding and collapsing, selection by mouse and keys, hit tests,
// scrolling, label editing in an "EDIT" child, and the TVN_ notifications
// through WM_NOTIFY. Item handles are checked against the live items, so a
// stale one is refused, never used.
#include <algorithm>
#include <cstring>
#include <cwctype>
#include <functional>
#include <unordered_set>
#include <vector>

#include "platform/rtl/text_codec.h"
#include "platform/win/comctl/commctrl_controls.h"
#include "platform/win/user/ctl_common.h"

namespace rtl::detail {
namespace {

struct TNode {
  AnsiString Text;
  bool TextCallback = false;
  int Image = 0;
  int SelImage = 0;
  int Children = 0;  // the cChildren value given (I_CHILDRENCALLBACK asks)
  bool ChildrenGiven = false;
  LPARAM Param = 0;
  UINT State = 0;
  TNode* Parent = nullptr;
  std::vector<TNode*> Kids;
};

struct TTreeData : TCtlBase {
  TNode Root;
  std::unordered_set<TNode*> Live;
  TNode* Selected = nullptr;
  TNode* DropHilite = nullptr;
  HIMAGELIST Images = nullptr;
  HIMAGELIST StateImages = nullptr;
  int Indent = 19;
  int ItemHeight = 0;  // 0: from the font and the images
  int Top = 0;         // the first visible row shown
  COLORREF Back = CLR_NONE;
  COLORREF TextColor = CLR_NONE;
  bool Focused = false;
  bool VScroll = false;
  HWND Edit = nullptr;             // the label being edited
  TNode* EditItem = nullptr;
  TNode* EditPending = nullptr;    // a click on the selected label waits to edit it
  AnsiString Search;               // the characters typed in quick succession
  LONG SearchTime = 0;             // when the last of them came
  ~TTreeData() override {
    for (TNode* n : Live) delete n;
  }
};

HTREEITEM H(TNode* n) { return reinterpret_cast<HTREEITEM>(n); }

TNode* NodeOf(TTreeData* d, HTREEITEM h) {
  auto* n = reinterpret_cast<TNode*>(h);
  return d->Live.count(n) ? n : nullptr;
}

LRESULT Notify(HWND h, NMHDR& hdr, UINT code) { return CtlSendNotify(h, hdr, code); }

constexpr UINT_PTR kEditTimer = 1;
constexpr int kEditId = 1;

// The edit of a label that ended: destroyed once the messages that led
// there are done with it.
UINT EditDoneMessage() {
  static UINT m = RegisterWindowMessageA("#TreeEditDone");
  return m;
}

void FillItem(TNode* n, TVITEMA& it, UINT mask) {
  it.mask = mask;
  it.hItem = H(n);
  if (!n) return;
  it.state = n->State;
  it.stateMask = 0xFFFF;
  it.lParam = n->Param;
  it.iImage = n->Image;
  it.iSelectedImage = n->SelImage;
}

// What a callback item shows, asked of the parent.
void DispInfo(HWND h, TNode* n, UINT mask, AnsiString* text, int* image, int* children) {
  NMTVDISPINFOA di{};
  char buf[260] = {};
  di.item.mask = mask;
  di.item.hItem = H(n);
  di.item.state = n->State;
  di.item.lParam = n->Param;
  di.item.pszText = buf;
  di.item.cchTextMax = sizeof buf;
  di.item.iImage = n->Image;
  di.item.iSelectedImage = n->SelImage;
  Notify(h, di.hdr, TVN_GETDISPINFOA);
  if (text) *text = di.item.pszText ? AnsiString(di.item.pszText) : AnsiString();
  if (image) *image = (mask & TVIF_SELECTEDIMAGE) ? di.item.iSelectedImage : di.item.iImage;
  if (children) *children = di.item.cChildren;
}

AnsiString TextOf(HWND h, TNode* n) {
  if (!n->TextCallback) return n->Text;
  AnsiString s;
  DispInfo(h, n, TVIF_TEXT, &s, nullptr, nullptr);
  return s;
}

bool HasChildren(HWND h, TNode* n) {
  if (!n->Kids.empty()) return true;
  if (!n->ChildrenGiven) return false;
  if (n->Children == I_CHILDRENCALLBACK) {
    int c = 0;
    DispInfo(h, n, TVIF_CHILDREN, nullptr, nullptr, &c);
    return c != 0;
  }
  return n->Children != 0;
}

bool Expanded(TNode* n) { return (n->State & TVIS_EXPANDED) != 0; }

void Visible(TNode* n, std::vector<TNode*>& out) {
  for (TNode* k : n->Kids) {
    out.push_back(k);
    if (Expanded(k)) Visible(k, out);
  }
}

std::vector<TNode*> VisibleRows(TTreeData* d) {
  std::vector<TNode*> r;
  Visible(&d->Root, r);
  return r;
}

int Level(TNode* n) {
  int l = -1;
  for (TNode* p = n->Parent; p; p = p->Parent) ++l;
  return l;
}

int ItemHeight(HWND h, TTreeData* d) {
  if (d->ItemHeight) return d->ItemHeight;
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, CtlFont(h));
  int lh = CtlLineHeight(dc) + 3;
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  int cx = 0, cy = 0;
  if (d->Images) ImageList_GetIconSize(d->Images, &cx, &cy);
  return std::max(lh, cy + 1);
}

int VisibleCount(HWND h, TTreeData* d) {
  RECT c;
  GetClientRect(h, &c);
  return std::max(1, c.Height() / std::max(1, ItemHeight(h, d)));
}

int LevelOffset(HWND h, TNode* n) {
  DWORD s = CtlStyle(h);
  return Level(n) + ((s & TVS_LINESATROOT) && (s & (TVS_HASLINES | TVS_HASBUTTONS)) ? 1 : 0);
}

int ImageWidth(TTreeData* d) {
  int cx = 0, cy = 0;
  if (d->Images) ImageList_GetIconSize(d->Images, &cx, &cy);
  return cx ? cx + 3 : 0;
}

struct TRowGeom {
  RECT Row;
  RECT Button;  // empty without a button
  RECT StateIcon;  // empty without state images or check boxes
  RECT Icon;
  RECT Label;
};

// The width of the state image (a check box with TVS_CHECKBOXES and no
// list of state images); 0 when the tree shows none.
int StateWidth(HWND h, TTreeData* d) {
  int cx = 0, cy = 0;
  if (d->StateImages) ImageList_GetIconSize(d->StateImages, &cx, &cy);
  else if (CtlStyle(h) & TVS_CHECKBOXES) cx = 13;
  return cx ? cx + 3 : 0;
}

UINT StateIndex(TNode* n) { return (n->State & TVIS_STATEIMAGEMASK) >> 12; }

TRowGeom Geometry(HWND h, TTreeData* d, TNode* n, int row) {
  TRowGeom g{};
  RECT c;
  GetClientRect(h, &c);
  int ih = ItemHeight(h, d);
  int y = (row - d->Top) * ih;
  g.Row = RECT(0, y, c.Right, y + ih);
  int lo = LevelOffset(h, n);
  int x = lo * d->Indent + 3;
  if ((CtlStyle(h) & TVS_HASBUTTONS) && lo > 0 && HasChildren(h, n)) {
    int cx = (lo - 1) * d->Indent + d->Indent / 2 + 3, cy = y + ih / 2;
    g.Button = RECT(cx - 4, cy - 4, cx + 5, cy + 5);
  }
  int sw = StateWidth(h, d);
  g.StateIcon = RECT(x, y, x + sw, y + ih);
  x += sw;
  int iw = ImageWidth(d);
  g.Icon = RECT(x, y, x + iw, y + ih);
  x += iw;
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, CtlFont(h));
  AnsiString t = TextOf(h, n);
  SIZE s{};
  GetTextExtentPoint32A(dc, t.c_str(), static_cast<int>(t.size()), &s);
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  g.Label = RECT(x, y, x + s.cx + 4, y + ih);
  return g;
}

void UpdateScroll(HWND h, TTreeData* d) {
  int rows = static_cast<int>(VisibleRows(d).size());
  int page = VisibleCount(h, d);
  d->Top = std::clamp(d->Top, 0, std::max(0, rows - page));
  if (!d->VScroll) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMax = std::max(0, rows - 1);
  si.nPage = static_cast<UINT>(page);
  si.nPos = d->Top;
  SetScrollInfo(h, SB_VERT, &si, TRUE);
}

void Changed(HWND h, TTreeData* d) {
  UpdateScroll(h, d);
  InvalidateRect(h, nullptr, TRUE);
}

int RowOf(TTreeData* d, TNode* n) {
  std::vector<TNode*> rows = VisibleRows(d);
  auto it = std::find(rows.begin(), rows.end(), n);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

bool Expand(HWND h, TTreeData* d, TNode* n, UINT action);
void EndEdit(HWND h, TTreeData* d, bool cancel, bool focusLost = false);

// Opens the item's ancestors and scrolls it into view.
void EnsureVisible(HWND h, TTreeData* d, TNode* n) {
  for (TNode* p = n->Parent; p && p != &d->Root; p = p->Parent)
    if (!Expanded(p)) Expand(h, d, p, TVE_EXPAND);
  int row = RowOf(d, n);
  if (row < 0) return;
  int page = VisibleCount(h, d);
  if (row < d->Top) d->Top = row;
  else if (row >= d->Top + page) d->Top = row - page + 1;
  Changed(h, d);
}

bool Expand(HWND h, TTreeData* d, TNode* n, UINT action) {
  if (!n || n == &d->Root) return false;
  UINT kind = action & 3;
  bool open = Expanded(n);
  bool want = kind == TVE_TOGGLE ? !open : kind == TVE_EXPAND;
  if (kind == 0 || want == open) {
    if ((action & TVE_COLLAPSERESET) && !want) {
      for (TNode* k : std::vector<TNode*>(n->Kids)) SendMessageA(h, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(H(k)));
    }
    return false;
  }
  if (want && !HasChildren(h, n)) return false;
  if (d->Edit) {
    // The rows move under the edit: the edit ends first.
    EndEdit(h, d, false, false);
    if (!IsWindow(h) || !d->Live.count(n)) return false;
  }
  NMTREEVIEWA nm{};
  nm.action = want ? TVE_EXPAND : TVE_COLLAPSE;
  FillItem(n, nm.itemNew, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
  if (Notify(h, nm.hdr, TVN_ITEMEXPANDINGA)) return false;
  if (!IsWindow(h) || !d->Live.count(n)) return false;
  if (want)
    n->State |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  else
    n->State &= ~static_cast<UINT>(TVIS_EXPANDED);
  if (!want && d->Selected) {
    // A selection hidden by the collapse moves up to the collapsed item.
    for (TNode* p = d->Selected->Parent; p; p = p->Parent)
      if (p == n) {
        d->Selected->State &= ~static_cast<UINT>(TVIS_SELECTED);
        d->Selected = n;
        n->State |= TVIS_SELECTED;
        break;
      }
  }
  if ((action & TVE_COLLAPSERESET) && !want)
    for (TNode* k : std::vector<TNode*>(n->Kids)) SendMessageA(h, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(H(k)));
  Changed(h, d);
  NMTREEVIEWA done{};
  done.action = nm.action;
  FillItem(n, done.itemNew, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
  Notify(h, done.hdr, TVN_ITEMEXPANDEDA);
  return true;
}

bool Select(HWND h, TTreeData* d, TNode* n, UINT cause) {
  if (n == d->Selected) return true;
  if (d->Edit && n != d->EditItem) {
    // The edit belongs to the row being left: it ends first.
    EndEdit(h, d, false, false);
    if (!IsWindow(h) || (n && !d->Live.count(n))) return false;
  }
  NMTREEVIEWA nm{};
  nm.action = cause;
  FillItem(d->Selected, nm.itemOld, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
  FillItem(n, nm.itemNew, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
  if (Notify(h, nm.hdr, TVN_SELCHANGINGA)) return false;
  if (!IsWindow(h) || (n && !d->Live.count(n))) return false;
  TNode* old = d->Live.count(d->Selected) ? d->Selected : nullptr;
  if (old) old->State &= ~static_cast<UINT>(TVIS_SELECTED);
  d->Selected = n;
  if (n) {
    n->State |= TVIS_SELECTED;
    EnsureVisible(h, d, n);
  }
  InvalidateRect(h, nullptr, TRUE);
  NMTREEVIEWA done{};
  done.action = cause;
  FillItem(old, done.itemOld, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
  FillItem(n, done.itemNew, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
  Notify(h, done.hdr, TVN_SELCHANGEDA);
  return true;
}

WideString Lower(const AnsiString& s) {
  WideString w = AnsiToWide(s);
  for (auto& c : w) c = static_cast<char16_t>(std::towlower(c));
  return w;
}

int CompareText(const AnsiString& a, const AnsiString& b) {
  WideString x = Lower(a), y = Lower(b);
  return x < y ? -1 : (x == y ? 0 : 1);
}

void SetItem(TNode* n, const TVITEMA& it) {
  if (it.mask & TVIF_TEXT) {
    n->TextCallback = it.pszText == LPSTR_TEXTCALLBACKA;
    n->Text = (it.pszText && !n->TextCallback) ? it.pszText : "";
  }
  if (it.mask & TVIF_IMAGE) n->Image = it.iImage;
  if (it.mask & TVIF_SELECTEDIMAGE) n->SelImage = it.iSelectedImage;
  if (it.mask & TVIF_PARAM) n->Param = it.lParam;
  if (it.mask & TVIF_CHILDREN) {
    n->Children = it.cChildren;
    n->ChildrenGiven = true;
  }
  if (it.mask & TVIF_STATE) {
    UINT m = it.stateMask & ~static_cast<UINT>(TVIS_SELECTED);
    n->State = (n->State & ~m) | (it.state & m);
  }
}

HTREEITEM Insert(HWND h, TTreeData* d, const TVINSERTSTRUCTA* is) {
  if (!is) return nullptr;
  TNode* parent = (!is->hParent || is->hParent == TVI_ROOT) ? &d->Root : NodeOf(d, is->hParent);
  if (!parent) return nullptr;
  auto* n = new TNode;
  n->Parent = parent;
  if (CtlStyle(h) & TVS_CHECKBOXES) n->State = 1u << 12;  // unchecked
  SetItem(n, is->item);
  auto& kids = parent->Kids;
  size_t at = kids.size();
  if (is->hInsertAfter == TVI_FIRST) {
    at = 0;
  } else if (is->hInsertAfter == TVI_SORT) {
    AnsiString t = TextOf(h, n);
    at = 0;
    while (at < kids.size() && CompareText(TextOf(h, kids[at]), t) <= 0) ++at;
  } else if (is->hInsertAfter != TVI_LAST && is->hInsertAfter) {
    auto it = std::find(kids.begin(), kids.end(), reinterpret_cast<TNode*>(is->hInsertAfter));
    if (it != kids.end()) at = static_cast<size_t>(it - kids.begin()) + 1;
  }
  kids.insert(kids.begin() + static_cast<std::ptrdiff_t>(at), n);
  d->Live.insert(n);
  Changed(h, d);
  return H(n);
}

void Delete(HWND h, TTreeData* d, TNode* n) {
  for (TNode* k : std::vector<TNode*>(n->Kids)) Delete(h, d, k);
  if (n == &d->Root) return;
  if (n == d->EditItem) EndEdit(h, d, true, false);
  if (!IsWindow(h) || !d->Live.count(n)) return;
  if (n == d->EditPending) d->EditPending = nullptr;
  NMTREEVIEWA nm{};
  FillItem(n, nm.itemOld, TVIF_HANDLE | TVIF_PARAM);
  Notify(h, nm.hdr, TVN_DELETEITEMA);
  if (!IsWindow(h)) return;
  auto& sib = n->Parent->Kids;
  sib.erase(std::remove(sib.begin(), sib.end(), n), sib.end());
  if (d->Selected == n) d->Selected = nullptr;
  if (d->DropHilite == n) d->DropHilite = nullptr;
  d->Live.erase(n);
  delete n;
}

TNode* NextItem(TTreeData* d, TNode* n, UINT flag) {
  std::vector<TNode*> rows;
  auto rowIndex = [&](TNode* x) {
    if (rows.empty()) rows = VisibleRows(d);
    auto it = std::find(rows.begin(), rows.end(), x);
    return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
  };
  switch (flag) {
    case TVGN_ROOT: return d->Root.Kids.empty() ? nullptr : d->Root.Kids.front();
    case TVGN_CARET: return d->Selected;
    case TVGN_DROPHILITE: return d->DropHilite;
    case TVGN_FIRSTVISIBLE: {
      rows = VisibleRows(d);
      return d->Top < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(d->Top)] : nullptr;
    }
    case TVGN_LASTVISIBLE: {
      rows = VisibleRows(d);
      return rows.empty() ? nullptr : rows.back();
    }
  }
  if (!n) return nullptr;
  switch (flag) {
    case TVGN_CHILD: return n->Kids.empty() ? nullptr : n->Kids.front();
    case TVGN_PARENT: return n->Parent == &d->Root ? nullptr : n->Parent;
    case TVGN_NEXT:
    case TVGN_PREVIOUS: {
      auto& sib = n->Parent->Kids;
      auto it = std::find(sib.begin(), sib.end(), n);
      if (flag == TVGN_NEXT) return (it + 1) < sib.end() ? *(it + 1) : nullptr;
      return it > sib.begin() ? *(it - 1) : nullptr;
    }
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
      int i = rowIndex(n);
      if (i < 0) return nullptr;
      i += flag == TVGN_NEXTVISIBLE ? 1 : -1;
      return i >= 0 && i < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(i)] : nullptr;
    }
  }
  return nullptr;
}

TNode* HitTest(HWND h, TTreeData* d, POINT p, UINT* flags) {
  RECT c;
  GetClientRect(h, &c);
  UINT f = 0;
  if (p.Y < 0) f |= TVHT_ABOVE;
  if (p.Y >= c.Bottom) f |= TVHT_BELOW;
  if (p.X < 0) f |= TVHT_TOLEFT;
  if (p.X >= c.Right) f |= TVHT_TORIGHT;
  if (f) {
    if (flags) *flags = f;
    return nullptr;
  }
  std::vector<TNode*> rows = VisibleRows(d);
  int row = d->Top + p.Y / std::max(1, ItemHeight(h, d));
  if (row >= static_cast<int>(rows.size())) {
    if (flags) *flags = TVHT_NOWHERE;
    return nullptr;
  }
  TNode* n = rows[static_cast<size_t>(row)];
  TRowGeom g = Geometry(h, d, n, row);
  if (!IsRectEmpty(&g.Button) && p.X >= g.Button.Left - 2 && p.X < g.Button.Right + 2) f = TVHT_ONITEMBUTTON;
  else if (p.X < g.StateIcon.Left) f = TVHT_ONITEMINDENT;
  else if (p.X < g.StateIcon.Right) f = TVHT_ONITEMSTATEICON;
  else if (p.X < g.Icon.Right) f = TVHT_ONITEMICON;
  else if (p.X < g.Label.Right) f = TVHT_ONITEMLABEL;
  else f = TVHT_ONITEMRIGHT;
  if (flags) *flags = f;
  return n;
}

void DrawDots(HDC dc, int x0, int y0, int x1, int y1, COLORREF color) {
  for (int x = x0, y = y0; x <= x1 && y <= y1; x += (x1 > x0 ? 2 : 0), y += (y1 > y0 ? 2 : 0)) {
    SetPixel(dc, x, y, color);
    if (x1 == x0 && y1 == y0) break;
  }
}

void Paint(HWND h, TTreeData* d, HDC dc) {
  HGDIOBJ oldFont = SelectObject(dc, CtlFont(h));
  RECT c;
  GetClientRect(h, &c);
  bool enabled = IsWindowEnabled(h);
  COLORREF back = d->Back != CLR_NONE ? d->Back : GetSysColor(enabled ? COLOR_WINDOW : COLOR_3DFACE);
  FillSolid(dc, c, back);
  DWORD style = CtlStyle(h);
  std::vector<TNode*> rows = VisibleRows(d);
  int ih = ItemHeight(h, d);
  COLORREF lineColor = GetSysColor(COLOR_3DSHADOW);
  for (int row = d->Top; row < static_cast<int>(rows.size()); ++row) {
    TNode* n = rows[static_cast<size_t>(row)];
    TRowGeom g = Geometry(h, d, n, row);
    if (g.Row.Top >= c.Bottom) break;
    int lo = LevelOffset(h, n);
    int mid = g.Row.Top + ih / 2;
    if ((style & TVS_HASLINES) && lo > 0) {
      // The line to this item, and the lines of its ancestors that go on below.
      int x = (lo - 1) * d->Indent + d->Indent / 2 + 3;
      auto& sib = n->Parent->Kids;
      bool last = sib.back() == n;
      bool first = n->Parent == &d->Root && sib.front() == n;
      DrawDots(dc, x, first ? mid : g.Row.Top, x, last ? mid : g.Row.Bottom - 1, lineColor);
      DrawDots(dc, x + 2, mid, x + d->Indent / 2 + 1, mid, lineColor);
      int depth = lo - 1;
      for (TNode* p = n->Parent; p && p != &d->Root; p = p->Parent) {
        --depth;
        auto& ps = p->Parent->Kids;
        if (ps.back() != p && depth >= 0) {
          int px = depth * d->Indent + d->Indent / 2 + 3;
          DrawDots(dc, px, g.Row.Top, px, g.Row.Bottom - 1, lineColor);
        }
      }
    }
    if (!IsRectEmpty(&g.Button)) {
      RECT b = g.Button;
      FillSolid(dc, b, back);
      FrameRect(dc, &b, GetSysColorBrush(COLOR_3DSHADOW));
      int cx = (b.Left + b.Right) / 2, cy = (b.Top + b.Bottom) / 2;
      RECT minus(cx - 2, cy, cx + 3, cy + 1);
      FillRect(dc, &minus, GetSysColorBrush(COLOR_WINDOWTEXT));
      if (!Expanded(n)) {
        RECT plus(cx, cy - 2, cx + 1, cy + 3);
        FillRect(dc, &plus, GetSysColorBrush(COLOR_WINDOWTEXT));
      }
    }
    bool selected = n == d->Selected || n == d->DropHilite;
    if (UINT si = StateIndex(n); si && !IsRectEmpty(&g.StateIcon)) {
      if (d->StateImages) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(d->StateImages, &cx, &cy);
        ImageList_Draw(d->StateImages, static_cast<int>(si), dc, g.StateIcon.Left, g.StateIcon.Top + (ih - cy) / 2,
                       ILD_TRANSPARENT);
      } else {
        RECT box(g.StateIcon.Left, g.StateIcon.Top + (ih - 13) / 2, g.StateIcon.Left + 13, g.StateIcon.Top + (ih - 13) / 2 + 13);
        DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (si == 2 ? DFCS_CHECKED : 0) | DFCS_FLAT);
      }
    }
    if (d->Images) {
      int image = selected ? n->SelImage : n->Image;
      if (image == I_IMAGECALLBACK) DispInfo(h, n, selected ? TVIF_SELECTEDIMAGE : TVIF_IMAGE, nullptr, &image, nullptr);
      int cx = 0, cy = 0;
      ImageList_GetIconSize(d->Images, &cx, &cy);
      if (image >= 0) ImageList_Draw(d->Images, image, dc, g.Icon.Left, g.Icon.Top + (ih - cy) / 2, ILD_TRANSPARENT);
    }
    RECT label = g.Label;
    COLORREF text = d->TextColor != CLR_NONE ? d->TextColor : GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    bool showSel = selected && (d->Focused || (style & TVS_SHOWSELALWAYS) || n == d->DropHilite);
    if (showSel) {
      bool active = d->Focused || n == d->DropHilite;
      FillSolid(dc, label, GetSysColor(active ? COLOR_HIGHLIGHT : COLOR_3DFACE));
      if (active) text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    AnsiString t = TextOf(h, n);
    RECT tr = label;
    tr.Left += 2;
    DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (n == d->Selected && d->Focused) DrawFocusRect(dc, &label);
  }
  SelectObject(dc, oldFont);
}

// A check box item goes between unchecked (state image 1) and checked (2).
void ToggleCheck(HWND h, TNode* n) {
  if (!(CtlStyle(h) & TVS_CHECKBOXES) || !n) return;
  UINT next = StateIndex(n) == 2 ? 1 : 2;
  n->State = (n->State & ~static_cast<UINT>(TVIS_STATEIMAGEMASK)) | (next << 12);
  InvalidateRect(h, nullptr, TRUE);
}

// ---- Label editing ----

// The edit of a label keeps Enter and Esc for itself: Enter accepts, Esc
// cancels.
LRESULT LabelEditSubclass(HWND e, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
  HWND tree = reinterpret_cast<HWND>(ref);
  TTreeData* d = CtlData<TTreeData>(tree);
  bool editing = d && d->Edit == e;
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DefSubclassProc(e, msg, wParam, lParam);
    case WM_KEYDOWN:
      if (editing && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        EndEdit(tree, d, wParam == VK_ESCAPE);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == '\r' || wParam == 0x1B) return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(e, LabelEditSubclass, 1);
      break;
  }
  return DefSubclassProc(e, msg, wParam, lParam);
}

// Where the edit of a row's label goes: over the label, with room to type.
RECT EditRect(HWND h, TTreeData* d, TNode* n) {
  RECT c;
  GetClientRect(h, &c);
  TRowGeom g = Geometry(h, d, n, std::max(RowOf(d, n), 0));
  RECT r = g.Label;
  r.Right = std::min(static_cast<int>(c.Right), std::max(r.Right + 24, r.Left + 60));
  if (r.Right <= r.Left) r.Right = r.Left + 60;
  return r;
}

// Starts editing n's label: the edit exists (hidden) while the parent is
// asked, so that it may adjust it; a parent that answers TRUE cancels.
HWND BeginEdit(HWND h, TTreeData* d, TNode* n) {
  if (d->Edit) EndEdit(h, d, false);
  if (!IsWindow(h) || !n || !d->Live.count(n)) return nullptr;
  KillTimer(h, kEditTimer);
  d->EditPending = nullptr;
  if (n != d->Selected && !Select(h, d, n, TVC_UNKNOWN)) return nullptr;
  if (!IsWindow(h) || !d->Live.count(n)) return nullptr;
  EnsureVisible(h, d, n);
  AnsiString text = TextOf(h, n);
  RECT r = EditRect(h, d, n);
  HWND e = CreateWindowExA(0, "EDIT", text.c_str(), WS_CHILD | WS_BORDER | ES_AUTOHSCROLL | ES_LEFT, r.Left, r.Top,
                           r.Width(), r.Height(), h, reinterpret_cast<HMENU>(static_cast<intptr_t>(kEditId)), nullptr,
                           nullptr);
  if (!e) return nullptr;
  SendMessageA(e, WM_SETFONT, reinterpret_cast<WPARAM>(CtlFont(h)), FALSE);
  SetWindowSubclass(e, LabelEditSubclass, 1, reinterpret_cast<DWORD_PTR>(h));
  d->Edit = e;
  d->EditItem = n;
  NMTVDISPINFOA di{};
  di.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_TEXT;
  di.item.hItem = H(n);
  di.item.state = n->State;
  di.item.lParam = n->Param;
  di.item.pszText = text.data();
  di.item.cchTextMax = static_cast<int>(text.size()) + 1;
  bool refused = Notify(h, di.hdr, TVN_BEGINLABELEDITA) != 0;
  if (!IsWindow(h)) return nullptr;
  if (refused || d->Edit != e || !d->Live.count(n)) {
    if (d->Edit == e) {
      d->Edit = nullptr;
      d->EditItem = nullptr;
    }
    if (IsWindow(e)) DestroyWindow(e);
    return nullptr;
  }
  SendMessageA(e, EM_SETSEL, 0, -1);
  ShowWindow(e, SW_SHOW);
  SetFocus(e);
  return IsWindow(e) && d->Edit == e ? e : nullptr;
}

// Ends the edit: the parent hears TVN_ENDLABELEDIT (pszText null when
// cancelled) and answering TRUE takes the text as the item's label. An
// edit that lost the focus leaves it where it went.
void EndEdit(HWND h, TTreeData* d, bool cancel, bool focusLost) {
  HWND e = d->Edit;
  TNode* n = d->EditItem;
  if (!e) return;
  // Taken first: the focus moving below ends nothing twice.
  d->Edit = nullptr;
  d->EditItem = nullptr;
  AnsiString text = CtlText(e);
  if (!focusLost && GetFocus() == e) SetFocus(h);
  if (!IsWindow(h)) return;
  ShowWindow(e, SW_HIDE);
  // Destroyed later: this may run inside the edit's own messages.
  PostMessageA(h, EditDoneMessage(), reinterpret_cast<WPARAM>(e), 0);
  if (!n || !d->Live.count(n)) return;
  NMTVDISPINFOA di{};
  di.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | (cancel ? 0 : TVIF_TEXT);
  di.item.hItem = H(n);
  di.item.state = n->State;
  di.item.lParam = n->Param;
  di.item.pszText = cancel ? nullptr : text.data();
  di.item.cchTextMax = cancel ? 0 : static_cast<int>(text.size()) + 1;
  LRESULT accepted = Notify(h, di.hdr, TVN_ENDLABELEDITA);
  if (!IsWindow(h) || cancel || !accepted || !d->Live.count(n)) return;
  n->TextCallback = false;
  n->Text = text;
  Changed(h, d);
}

void KeyDown(HWND h, TTreeData* d, WPARAM vk) {
  NMTVKEYDOWN kd{};
  kd.wVKey = static_cast<WORD>(vk);
  Notify(h, kd.hdr, TVN_KEYDOWN);
  if (!IsWindow(h)) return;
  std::vector<TNode*> rows = VisibleRows(d);
  if (rows.empty()) return;
  TNode* n = d->Selected;
  int row = n ? RowOf(d, n) : -1;
  int page = VisibleCount(h, d);
  // Moving by keys starts the next search afresh.
  switch (vk) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END: case VK_LEFT: case VK_RIGHT:
      d->Search.clear();
      break;
  }
  auto go = [&](int r) { Select(h, d, rows[static_cast<size_t>(std::clamp(r, 0, static_cast<int>(rows.size()) - 1))], TVC_BYKEYBOARD); };
  switch (vk) {
    case VK_UP: go(row < 0 ? 0 : row - 1); break;
    case VK_DOWN: go(row + 1); break;
    case VK_PRIOR: go(row - page + 1); break;
    case VK_NEXT: go(row + page - 1); break;
    case VK_HOME: go(0); break;
    case VK_END: go(static_cast<int>(rows.size()) - 1); break;
    case VK_LEFT:
      if (!n) break;
      if (Expanded(n)) Expand(h, d, n, TVE_COLLAPSE);
      else if (n->Parent != &d->Root) Select(h, d, n->Parent, TVC_BYKEYBOARD);
      break;
    case VK_RIGHT:
      if (!n) break;
      if (!Expanded(n)) Expand(h, d, n, TVE_EXPAND);
      else if (!n->Kids.empty()) Select(h, d, n->Kids.front(), TVC_BYKEYBOARD);
      break;
    case VK_ADD:
      if (n) Expand(h, d, n, TVE_EXPAND);
      break;
    case VK_SUBTRACT:
      if (n) Expand(h, d, n, TVE_COLLAPSE);
      break;
    case VK_MULTIPLY:
      if (n) {
        std::function<void(TNode*)> all = [&](TNode* x) {
          Expand(h, d, x, TVE_EXPAND);
          for (TNode* k : std::vector<TNode*>(x->Kids))
            if (d->Live.count(k)) all(k);
        };
        all(n);
      }
      break;
    case VK_SPACE:
      ToggleCheck(h, n);
      break;
    case VK_RETURN: {
      NMHDR hdr{};
      Notify(h, hdr, NM_RETURN);
      break;
    }
  }
}

// Characters typed within this time of each other make one search text.
UINT SearchTimeout() { return GetDoubleClickTime() * 2; }

// Whether the text ends inside a multi-byte character.
bool EndsMidCharacter(const AnsiString& s) {
  size_t lead = s.size();
  while (lead > 0 && (static_cast<unsigned char>(s[lead - 1]) & 0xC0) == 0x80) --lead;
  if (lead == 0) return false;
  const auto c = static_cast<unsigned char>(s[lead - 1]);
  const size_t want = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  return s.size() - (lead - 1) < want;
}

// Type-ahead over the visible items: the text typed so far is looked for
// from the selection on, so that "tm" stays on "tmp" found by "t"; one
// character, or the same one typed again and again, goes on to the next
// item that starts with it.
void IncrementalSearch(HWND h, TTreeData* d, char ch) {
  const LONG now = GetMessageTime();
  if (d->Search.empty() || static_cast<DWORD>(now - d->SearchTime) > SearchTimeout()) d->Search.clear();
  d->Search.push_back(ch);
  d->SearchTime = now;
  if (EndsMidCharacter(d->Search)) return;
  const WideString typed = Lower(d->Search);
  const bool repeated = std::all_of(typed.begin(), typed.end(), [&](char16_t c) { return c == typed[0]; });
  const WideString want = repeated ? typed.substr(0, 1) : typed;
  std::vector<TNode*> rows = VisibleRows(d);
  if (rows.empty()) return;
  const int selected = d->Selected ? RowOf(d, d->Selected) : -1;
  const size_t first = static_cast<size_t>(repeated ? selected + 1 : std::max(selected, 0));
  for (size_t k = 0; k < rows.size(); ++k) {
    TNode* n = rows[(first + k) % rows.size()];
    if (Lower(TextOf(h, n)).compare(0, want.size(), want) == 0) {
      Select(h, d, n, TVC_BYKEYBOARD);
      return;
    }
  }
}

LRESULT GetItem(HWND h, TTreeData* d, TVITEMA* it) {
  if (!it) return FALSE;
  TNode* n = NodeOf(d, it->hItem);
  if (!n) return FALSE;
  if (it->mask & TVIF_TEXT) {
    if (it->pszText && it->cchTextMax > 0) {
      AnsiString t = TextOf(h, n);
      size_t k = std::min(t.size(), static_cast<size_t>(it->cchTextMax) - 1);
      std::memcpy(it->pszText, t.data(), k);
      it->pszText[k] = 0;
    }
  }
  if (it->mask & TVIF_IMAGE) it->iImage = n->Image;
  if (it->mask & TVIF_SELECTEDIMAGE) it->iSelectedImage = n->SelImage;
  if (it->mask & TVIF_PARAM) it->lParam = n->Param;
  if (it->mask & TVIF_STATE) it->state = n->State & it->stateMask;
  if (it->mask & TVIF_CHILDREN) it->cChildren = n->ChildrenGiven ? n->Children : (n->Kids.empty() ? 0 : 1);
  return TRUE;
}

void SortChildren(HWND h, TNode* n, const std::function<int(TNode*, TNode*)>& cmp, bool recurse) {
  std::stable_sort(n->Kids.begin(), n->Kids.end(), [&](TNode* a, TNode* b) { return cmp(a, b) < 0; });
  if (recurse)
    for (TNode* k : n->Kids) SortChildren(h, k, cmp, true);
}

}  // namespace

LRESULT TreeViewWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  TTreeData* d = CtlBegin<TTreeData>(h, msg, wParam, lParam, result);
  if (!d) return result;
  if (CtlFontMessage(h, msg, wParam, lParam, result)) {
    if (msg == WM_SETFONT) Changed(h, d);
    return result;
  }
  if (LRESULT painted; CtlPaintMessage(h, msg, wParam, [&](HDC dc) { Paint(h, d, dc); }, painted)) return painted;
  switch (msg) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      d->VScroll = cs && (cs->style & WS_VSCROLL) && !(cs->style & TVS_NOSCROLL);
      UpdateScroll(h, d);
      return 0;
    }
    case WM_DESTROY:
      // The edit goes with the window; its items go untold of edits.
      KillTimer(h, kEditTimer);
      d->Edit = nullptr;
      d->EditItem = d->EditPending = nullptr;
      Delete(h, d, &d->Root);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SIZE:
    case WM_ENABLE:
      Changed(h, d);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      d->Focused = msg == WM_SETFOCUS;
      InvalidateRect(h, nullptr, TRUE);
      NMHDR hdr{};
      Notify(h, hdr, d->Focused ? NM_SETFOCUS : NM_KILLFOCUS);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      bool hadFocus = GetFocus() == h;
      TNode* selectedBefore = d->Selected;
      KillTimer(h, kEditTimer);
      d->EditPending = nullptr;
      d->Search.clear();
      if (!hadFocus) SetFocus(h);
      if (!IsWindow(h)) return 0;
      UINT flags = 0;
      TNode* n = HitTest(h, d, POINT(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), &flags);
      // A click on the label of the item already chosen edits it, once the
      // time for a double click has passed without one.
      if (msg == WM_LBUTTONDOWN && n && n == selectedBefore && hadFocus && (flags & TVHT_ONITEMLABEL) &&
          (CtlStyle(h) & TVS_EDITLABELS)) {
        d->EditPending = n;
        SetTimer(h, kEditTimer, GetDoubleClickTime(), nullptr);
      }
      if (n && (flags & TVHT_ONITEMBUTTON)) {
        Expand(h, d, n, TVE_TOGGLE);
        return 0;
      }
      if (n && (flags & TVHT_ONITEMSTATEICON) && msg == WM_LBUTTONDOWN) ToggleCheck(h, n);
      if (n && (flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT)) && ((flags & TVHT_ONITEM) || (CtlStyle(h) & TVS_FULLROWSELECT)))
        Select(h, d, n, TVC_BYMOUSE);
      if (!IsWindow(h)) return 0;
      NMHDR hdr{};
      if (msg == WM_LBUTTONDBLCLK) {
        if (!Notify(h, hdr, NM_DBLCLK) && n && (flags & TVHT_ONITEM) && IsWindow(h)) Expand(h, d, n, TVE_TOGGLE);
      } else {
        Notify(h, hdr, NM_CLICK);
      }
      return 0;
    }
    case WM_RBUTTONDOWN: {
      NMHDR hdr{};
      Notify(h, hdr, NM_RCLICK);
      return 0;
    }
    case WM_KEYDOWN:
      KeyDown(h, d, wParam);
      return 0;
    case WM_CHAR:
      if (wParam >= 0x20) IncrementalSearch(h, d, static_cast<char>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam != kEditTimer) break;
      KillTimer(h, kEditTimer);
      if (TNode* n = d->EditPending; n && d->Live.count(n) && n == d->Selected && GetFocus() == h) {
        d->EditPending = nullptr;
        BeginEdit(h, d, n);
      }
      d->EditPending = nullptr;
      return 0;
    case WM_COMMAND:
      if (d->Edit && reinterpret_cast<HWND>(lParam) == d->Edit && HIWORD(wParam) == EN_KILLFOCUS)
        EndEdit(h, d, false, true);
      return 0;
    case WM_VSCROLL: {
      if (d->Edit) EndEdit(h, d, false);
      if (!IsWindow(h)) return 0;
      int page = VisibleCount(h, d);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: --d->Top; break;
        case SB_LINEDOWN: ++d->Top; break;
        case SB_PAGEUP: d->Top -= page; break;
        case SB_PAGEDOWN: d->Top += page; break;
        case SB_TOP: d->Top = 0; break;
        case SB_BOTTOM: d->Top = static_cast<int>(VisibleRows(d).size()); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: d->Top = HIWORD(wParam); break;
      }
      Changed(h, d);
      return 0;
    }
    case WM_MOUSEWHEEL:
      if (d->Edit) EndEdit(h, d, false);
      if (!IsWindow(h)) return 0;
      d->Top -= GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3;
      Changed(h, d);
      return 0;
    case TVM_INSERTITEMA:
      return reinterpret_cast<LRESULT>(Insert(h, d, reinterpret_cast<const TVINSERTSTRUCTA*>(lParam)));
    case TVM_DELETEITEM: {
      auto item = reinterpret_cast<HTREEITEM>(lParam);
      TNode* n = (!item || item == TVI_ROOT) ? &d->Root : NodeOf(d, item);
      if (!n) return FALSE;
      Delete(h, d, n);
      if (IsWindow(h)) Changed(h, d);
      return TRUE;
    }
    case TVM_EXPAND:
      return Expand(h, d, NodeOf(d, reinterpret_cast<HTREEITEM>(lParam)), static_cast<UINT>(wParam));
    case TVM_GETITEMRECT: {
      if (!lParam) return FALSE;
      HTREEITEM item;
      std::memcpy(&item, reinterpret_cast<const void*>(lParam), sizeof item);
      TNode* n = NodeOf(d, item);
      int row = n ? RowOf(d, n) : -1;
      if (row < 0) return FALSE;
      TRowGeom g = Geometry(h, d, n, row);
      *reinterpret_cast<RECT*>(lParam) = wParam ? g.Label : g.Row;
      return TRUE;
    }
    case TVM_GETCOUNT:
      return static_cast<LRESULT>(d->Live.size());
    case TVM_GETINDENT:
      return d->Indent;
    case TVM_SETINDENT:
      d->Indent = std::max(static_cast<int>(wParam), 4);
      Changed(h, d);
      return 0;
    case TVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(wParam == TVSIL_STATE ? d->StateImages : d->Images);
    case TVM_SETIMAGELIST: {
      HIMAGELIST& slot = wParam == TVSIL_STATE ? d->StateImages : d->Images;
      HIMAGELIST old = slot;
      slot = reinterpret_cast<HIMAGELIST>(lParam);
      Changed(h, d);
      return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETNEXTITEM:
      return reinterpret_cast<LRESULT>(H(NextItem(d, NodeOf(d, reinterpret_cast<HTREEITEM>(lParam)), static_cast<UINT>(wParam))));
    case TVM_SELECTITEM: {
      auto item = reinterpret_cast<HTREEITEM>(lParam);
      TNode* n = NodeOf(d, item);
      if (item && !n) return FALSE;
      switch (wParam & 0xFF) {
        case TVGN_CARET: return Select(h, d, n, TVC_UNKNOWN);
        case TVGN_DROPHILITE:
          d->DropHilite = n;
          InvalidateRect(h, nullptr, TRUE);
          return TRUE;
        case TVGN_FIRSTVISIBLE: {
          if (!n) return FALSE;
          EnsureVisible(h, d, n);
          d->Top = RowOf(d, n);
          Changed(h, d);
          return TRUE;
        }
      }
      return FALSE;
    }
    case TVM_GETITEMA:
      return GetItem(h, d, reinterpret_cast<TVITEMA*>(lParam));
    case TVM_SETITEMA: {
      auto* it = reinterpret_cast<const TVITEMA*>(lParam);
      TNode* n = it ? NodeOf(d, it->hItem) : nullptr;
      if (!n) return FALSE;
      SetItem(n, *it);
      Changed(h, d);
      return TRUE;
    }
    case TVM_GETITEMSTATE: {
      TNode* n = NodeOf(d, reinterpret_cast<HTREEITEM>(wParam));
      return n ? static_cast<LRESULT>(n->State & static_cast<UINT>(lParam)) : 0;
    }
    case TVM_GETVISIBLECOUNT:
      return VisibleCount(h, d);
    case TVM_HITTEST: {
      auto* hti = reinterpret_cast<TVHITTESTINFO*>(lParam);
      if (!hti) return 0;
      hti->hItem = H(HitTest(h, d, hti->pt, &hti->flags));
      return reinterpret_cast<LRESULT>(hti->hItem);
    }
    case TVM_ENSUREVISIBLE: {
      TNode* n = NodeOf(d, reinterpret_cast<HTREEITEM>(lParam));
      if (!n) return FALSE;
      EnsureVisible(h, d, n);
      return TRUE;
    }
    case TVM_SORTCHILDREN: {
      auto item = reinterpret_cast<HTREEITEM>(lParam);
      TNode* n = (!item || item == TVI_ROOT) ? &d->Root : NodeOf(d, item);
      if (!n) return FALSE;
      SortChildren(h, n, [&](TNode* a, TNode* b) { return CompareText(TextOf(h, a), TextOf(h, b)); }, wParam != 0);
      Changed(h, d);
      return TRUE;
    }
    case TVM_SORTCHILDRENCB: {
      auto* sc = reinterpret_cast<const TVSORTCB*>(lParam);
      if (!sc || !sc->lpfnCompare) return FALSE;
      TNode* n = (!sc->hParent || sc->hParent == TVI_ROOT) ? &d->Root : NodeOf(d, sc->hParent);
      if (!n) return FALSE;
      SortChildren(h, n, [&](TNode* a, TNode* b) { return sc->lpfnCompare(a->Param, b->Param, sc->lParam); }, false);
      Changed(h, d);
      return TRUE;
    }
    case TVM_SETITEMHEIGHT: {
      int old = ItemHeight(h, d);
      int v = static_cast<int>(static_cast<SHORT>(wParam));
      d->ItemHeight = v < 1 ? 0 : v;
      Changed(h, d);
      return old;
    }
    case TVM_GETITEMHEIGHT:
      return ItemHeight(h, d);
    case TVM_SETBKCOLOR: {
      COLORREF old = d->Back;
      d->Back = static_cast<COLORREF>(lParam);
      InvalidateRect(h, nullptr, TRUE);
      return static_cast<LRESULT>(old == CLR_NONE ? static_cast<COLORREF>(-1) : old);
    }
    case TVM_GETBKCOLOR:
      return static_cast<LRESULT>(d->Back == CLR_NONE ? static_cast<COLORREF>(-1) : d->Back);
    case TVM_SETTEXTCOLOR: {
      COLORREF old = d->TextColor;
      d->TextColor = static_cast<COLORREF>(lParam);
      InvalidateRect(h, nullptr, TRUE);
      return static_cast<LRESULT>(old == CLR_NONE ? static_cast<COLORREF>(-1) : old);
    }
    case TVM_GETTEXTCOLOR:
      return static_cast<LRESULT>(d->TextColor == CLR_NONE ? static_cast<COLORREF>(-1) : d->TextColor);
    case TVM_EDITLABELA:
      return reinterpret_cast<LRESULT>(BeginEdit(h, d, NodeOf(d, reinterpret_cast<HTREEITEM>(lParam))));
    case TVM_GETISEARCHSTRINGA: {
      if (d->Search.empty() || static_cast<DWORD>(GetMessageTime() - d->SearchTime) > SearchTimeout()) return 0;
      if (lParam) std::memcpy(reinterpret_cast<char*>(lParam), d->Search.c_str(), d->Search.size() + 1);
      return static_cast<LRESULT>(d->Search.size());
    }
    case TVM_GETEDITCONTROL:
      return reinterpret_cast<LRESULT>(d->Edit);
    case TVM_ENDEDITLABELNOW:
      if (!d->Edit) return FALSE;
      EndEdit(h, d, wParam != 0);
      return TRUE;
  }
  if (msg == EditDoneMessage()) {
    auto e = reinterpret_cast<HWND>(wParam);
    if (e && e != d->Edit && IsWindow(e) && GetParent(e) == h) DestroyWindow(e);
    return 0;
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace rtl::detail
