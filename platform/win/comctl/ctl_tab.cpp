// The tab control ("SysTabControl32"): tabs over (or under) a raised pane,
// chosen by the mouse or the arrow keys, telling the parent before and
// after the selection changes. One row too narrow for its tabs scrolls by
// whole tabs with a pair of arrows; a multi-line control wraps them into
// rows and keeps the selected tab's row next to the pane.
#include <algorithm>
#include <cstring>

#include "platform/win/comctl/commctrl_controls.h"
#include "platform/win/user/ctl_common.h"

namespace rtl::detail {
namespace {

struct TTab {
  AnsiString Text;
  int Image = -1;
  LPARAM Param = 0;
  DWORD State = 0;
};

struct TTabData : TCtlBase {
  std::vector<TTab> Tabs;
  int Cur = -1;
  int FocusItem = -1;
  HIMAGELIST Images = nullptr;
  int PadX = 6, PadY = 3;
  int FixedW = 0, FixedH = 0;
  int MinW = -1;
  bool Focused = false;
  int First = 0;           // the first tab shown when one row overflows
  HWND Arrows = nullptr;   // the up-down that scrolls that row
};

int Count(TTabData* d) { return static_cast<int>(d->Tabs.size()); }
bool Valid(TTabData* d, int i) { return i >= 0 && i < Count(d); }

int ImageSize(TTabData* d, int* h = nullptr) {
  int cx = 0, cy = 0;
  if (d->Images) ImageList_GetIconSize(d->Images, &cx, &cy);
  if (h) *h = cy;
  return cx;
}

int TabHeight(TTabData* d, HDC dc) {
  if (d->FixedH) return d->FixedH;
  int ih = 0;
  ImageSize(d, &ih);
  return std::max(CtlLineHeight(dc), ih) + 2 * d->PadY + 1;
}

// Where everything lies: the tabs' rectangles (unselected size) as drawn,
// the pane's edge they stand on and, when one row is too narrow for them,
// the arrows that scroll it by whole tabs.
struct TGeom {
  std::vector<RECT> Rects;
  int Rows = 1;
  int TabH = 0;
  int PaneTop = 0, PaneBottom = 0;  // the pane's outer edges
  bool Arrows = false;
  RECT ArrowRect{};
  int MaxFirst = 0;
  int First = 0;
};

bool Bottom(HWND h) { return (CtlStyle(h) & TCS_BOTTOM) != 0; }
bool MultiLine(HWND h) { return (CtlStyle(h) & TCS_MULTILINE) != 0; }

TGeom Geometry(HWND h, TTabData* d) {
  TGeom g;
  RECT c;
  GetClientRect(h, &c);
  const int cw = c.Width(), ch = c.Height();
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, CtlFont(h));
  const int th = TabHeight(d, dc);
  g.TabH = th;
  std::vector<int> widths;
  for (const TTab& t : d->Tabs) {
    int w = d->FixedW;
    if (!w) {
      SIZE s{};
      GetTextExtentPoint32A(dc, t.Text.c_str(), static_cast<int>(t.Text.size()), &s);
      w = s.cx + 2 * d->PadX;
      if (d->Images && t.Image >= 0) w += ImageSize(d) + 3;
      w = std::max(w, d->MinW >= 0 ? d->MinW : 42);
    }
    widths.push_back(w);
  }
  SelectObject(dc, old);
  ReleaseDC(h, dc);

  const int n = Count(d);
  std::vector<int> rowOf(static_cast<size_t>(n), 0);
  std::vector<int> xs(static_cast<size_t>(n), 0);
  if (MultiLine(h)) {
    // Wrap into rows; with more than one, every row but a ragged one is
    // stretched to the full width.
    std::vector<std::vector<int>> rows(1);
    int x = 2;
    for (int i = 0; i < n; ++i) {
      int w = widths[static_cast<size_t>(i)];
      if (!rows.back().empty() && x + w > cw - 2) {
        rows.emplace_back();
        x = 2;
      }
      rows.back().push_back(i);
      x += w;
    }
    g.Rows = static_cast<int>(rows.size());
    bool stretch = g.Rows > 1 && !(CtlStyle(h) & TCS_RAGGEDRIGHT);
    for (int r = 0; r < g.Rows; ++r) {
      const std::vector<int>& row = rows[static_cast<size_t>(r)];
      int used = 0;
      for (int i : row) used += widths[static_cast<size_t>(i)];
      int spare = stretch ? std::max(0, cw - 4 - used) : 0;
      int k = static_cast<int>(row.size());
      x = 2;
      for (int j = 0; j < k; ++j) {
        int i = row[static_cast<size_t>(j)];
        int extra = k ? spare / k + (j < spare % k ? 1 : 0) : 0;
        widths[static_cast<size_t>(i)] += extra;
        xs[static_cast<size_t>(i)] = x;
        rowOf[static_cast<size_t>(i)] = r;
        x += widths[static_cast<size_t>(i)];
      }
    }
  } else {
    int x = 2;
    for (int i = 0; i < n; ++i) {
      xs[static_cast<size_t>(i)] = x;
      x += widths[static_cast<size_t>(i)];
    }
    if (n && x > cw - 2) {
      // Too wide: arrows at the row's right end, the row starts at First.
      int ah = std::max(th - 4, 8);
      int aw = 2 * ah;
      g.Arrows = true;
      int limit = cw - aw;
      int last = x;
      g.MaxFirst = n - 1;
      for (int i = 0; i < n; ++i)
        if (last - xs[static_cast<size_t>(i)] + 2 <= limit) {
          g.MaxFirst = i;
          break;
        }
      g.First = std::clamp(d->First, 0, g.MaxFirst);
      int shift = xs[static_cast<size_t>(g.First)] - 2;
      for (int& v : xs) v -= shift;
      int top = Bottom(h) ? ch - 2 - th + 2 : 2 + th - 2 - ah;
      g.ArrowRect = RECT(cw - aw, top, cw, top + ah);
    }
  }
  // The row of the selected tab lies next to the pane; the others follow
  // it in turn, away from the pane.
  const int selRow = Valid(d, d->Cur) ? rowOf[static_cast<size_t>(d->Cur)] : 0;
  if (Bottom(h)) {
    g.PaneTop = 0;
    g.PaneBottom = ch - 2 - g.Rows * th;
  } else {
    g.PaneTop = 2 + g.Rows * th;
    g.PaneBottom = ch;
  }
  for (int i = 0; i < n; ++i) {
    int slot = (rowOf[static_cast<size_t>(i)] - selRow + g.Rows) % g.Rows;  // 0: next to the pane
    int y = Bottom(h) ? g.PaneBottom + slot * th : g.PaneTop - (slot + 1) * th;
    int x = xs[static_cast<size_t>(i)];
    g.Rects.push_back(RECT(x, y, x + widths[static_cast<size_t>(i)], y + th));
  }
  return g;
}

std::vector<RECT> Layout(HWND h, TTabData* d) { return Geometry(h, d).Rects; }

// The selected tab stands out: wider, and reaching into the row away from the pane.
RECT SelectedRect(HWND h, RECT r) {
  InflateRect(&r, 2, 0);
  if (Bottom(h))
    r.Bottom += 2;
  else
    r.Top -= 2;
  return r;
}

void AdjustRect(HWND h, TTabData* d, bool larger, RECT* r) {
  TGeom g = Geometry(h, d);
  RECT c;
  GetClientRect(h, &c);
  const int above = Bottom(h) ? 0 : g.PaneTop;
  const int below = Bottom(h) ? c.Height() - g.PaneBottom : 0;
  const int s = larger ? -1 : 1;
  r->Left += s * 4;
  r->Right -= s * 4;
  r->Top += s * (above + 4);
  r->Bottom -= s * (below + 4);
}

int HitTest(HWND h, TTabData* d, POINT p, UINT* flags) {
  TGeom g = Geometry(h, d);
  if (flags) *flags = TCHT_NOWHERE;
  if (g.Arrows && p.X >= g.ArrowRect.Left) return -1;  // under the arrows
  // The selected tab lies over its neighbours: it is asked first.
  if (Valid(d, d->Cur)) {
    RECT r = SelectedRect(h, g.Rects[static_cast<size_t>(d->Cur)]);
    if (PtInRect(&r, p)) {
      if (flags) *flags = TCHT_ONITEMLABEL;
      return d->Cur;
    }
  }
  for (int i = 0; i < Count(d); ++i) {
    if (PtInRect(&g.Rects[static_cast<size_t>(i)], p)) {
      if (flags) *flags = TCHT_ONITEMLABEL;
      return i;
    }
  }
  return -1;
}

// Shows, places and sets the arrows after anything that moves the tabs.
void Relayout(HWND h, TTabData* d) {
  TGeom g = Geometry(h, d);
  d->First = g.First;
  if (g.Arrows && !d->Arrows) {
    d->Arrows = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | UDS_HORZ, 0, 0, 0, 0, h, nullptr, nullptr, nullptr);
  }
  if (d->Arrows) {
    if (g.Arrows) {
      SendMessageA(d->Arrows, UDM_SETRANGE32, 0, g.MaxFirst);
      SendMessageA(d->Arrows, UDM_SETPOS32, 0, g.First);
      SetWindowPos(d->Arrows, HWND_TOP, g.ArrowRect.Left, g.ArrowRect.Top, g.ArrowRect.Width(),
                   g.ArrowRect.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
      ShowWindow(d->Arrows, SW_HIDE);
    }
  }
}

// Scrolls the row so that the selected tab shows whole, if it can.
void EnsureVisible(HWND h, TTabData* d) {
  TGeom g = Geometry(h, d);
  if (!g.Arrows || !Valid(d, d->Cur)) return Relayout(h, d);
  if (d->Cur < g.First) {
    d->First = d->Cur;
  } else {
    int shift = 0;
    int right = g.Rects[static_cast<size_t>(d->Cur)].Right;
    int f = g.First;
    while (f < d->Cur && f < g.MaxFirst && right - shift > g.ArrowRect.Left) {
      shift += g.Rects[static_cast<size_t>(f)].Width();
      ++f;
    }
    d->First = f;
  }
  Relayout(h, d);
}

void Invalidate(HWND h) { InvalidateRect(h, nullptr, TRUE); }

// The user picks tab i: the parent may refuse before, and hears after.
void UserSelect(HWND h, TTabData* d, int i) {
  if (!Valid(d, i) || i == d->Cur) return;
  NMHDR hdr{};
  if (CtlSendNotify(h, hdr, TCN_SELCHANGING)) return;
  if (!IsWindow(h)) return;
  d->Cur = i;
  d->FocusItem = i;
  EnsureVisible(h, d);
  Invalidate(h);
  NMHDR after{};
  CtlSendNotify(h, after, TCN_SELCHANGE);
}

void DrawTab(HDC dc, RECT r, bool selected) {
  HBRUSH light = GetSysColorBrush(COLOR_3DHILIGHT), shadow = GetSysColorBrush(COLOR_3DSHADOW),
         dark = GetSysColorBrush(COLOR_3DDKSHADOW);
  RECT fill(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom + (selected ? 1 : 0));
  FillRect(dc, &fill, GetSysColorBrush(COLOR_3DFACE));
  RECT left(r.Left, r.Top + 2, r.Left + 1, r.Bottom);
  FillRect(dc, &left, light);
  RECT corner(r.Left + 1, r.Top + 1, r.Left + 2, r.Top + 2);
  FillRect(dc, &corner, light);
  RECT top(r.Left + 2, r.Top, r.Right - 2, r.Top + 1);
  FillRect(dc, &top, light);
  RECT rc(r.Right - 2, r.Top + 1, r.Right - 1, r.Top + 2);
  FillRect(dc, &rc, dark);
  RECT right(r.Right - 1, r.Top + 2, r.Right, r.Bottom);
  FillRect(dc, &right, dark);
  RECT inner(r.Right - 2, r.Top + 2, r.Right - 1, r.Bottom);
  FillRect(dc, &inner, shadow);
}

// A tab below the pane: the same tab upside down, its open side up. The
// selected one covers the pane's two lower edge lines so that it joins it.
void DrawTabBelow(HDC dc, RECT r, bool selected) {
  HBRUSH light = GetSysColorBrush(COLOR_3DHILIGHT), shadow = GetSysColorBrush(COLOR_3DSHADOW),
         dark = GetSysColorBrush(COLOR_3DDKSHADOW);
  const int top = r.Top - (selected ? 2 : 0);
  RECT fill(r.Left + 1, top, r.Right - 1, r.Bottom - 1);
  FillRect(dc, &fill, GetSysColorBrush(COLOR_3DFACE));
  RECT left(r.Left, top, r.Left + 1, r.Bottom - 2);
  FillRect(dc, &left, light);
  RECT lc(r.Left + 1, r.Bottom - 2, r.Left + 2, r.Bottom - 1);
  FillRect(dc, &lc, dark);
  RECT bottom(r.Left + 2, r.Bottom - 1, r.Right - 2, r.Bottom);
  FillRect(dc, &bottom, dark);
  RECT innerBottom(r.Left + 2, r.Bottom - 2, r.Right - 2, r.Bottom - 1);
  FillRect(dc, &innerBottom, shadow);
  RECT rc(r.Right - 2, r.Bottom - 2, r.Right - 1, r.Bottom - 1);
  FillRect(dc, &rc, dark);
  RECT right(r.Right - 1, top, r.Right, r.Bottom - 2);
  FillRect(dc, &right, dark);
  RECT inner(r.Right - 2, top, r.Right - 1, r.Bottom - 2);
  FillRect(dc, &inner, shadow);
}

void Paint(HWND h, TTabData* d, HDC dc) {
  HGDIOBJ oldFont = SelectObject(dc, CtlFont(h));
  RECT c;
  GetClientRect(h, &c);
  FillRect(dc, &c, GetSysColorBrush(COLOR_3DFACE));
  TGeom g = Geometry(h, d);
  const bool below = Bottom(h);
  RECT pane(0, g.PaneTop, c.Right, g.PaneBottom);
  DrawEdge(dc, &pane, EDGE_RAISED, BF_RECT | BF_SOFT);
  // The arrows draw themselves; tabs running under them are cut there.
  if (g.Arrows) {
    ExcludeClipRect(dc, g.ArrowRect.Left, below ? g.PaneBottom - 2 : 0, c.Right, below ? c.Bottom : g.PaneTop);
  }
  bool enabled = IsWindowEnabled(h);
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < Count(d); ++i) {
      bool selected = i == d->Cur;
      if ((pass == 1) != selected) continue;  // the selected tab last, over its neighbours
      RECT r = g.Rects[static_cast<size_t>(i)];
      if (r.Right <= 0 || r.Left >= c.Right) continue;
      if (selected) r = SelectedRect(h, r);
      if (below)
        DrawTabBelow(dc, r, selected);
      else
        DrawTab(dc, r, selected);
      RECT content = r;
      if (below) {
        content.Bottom -= 1;
        if (!selected) content.Bottom -= 1;
      } else {
        content.Bottom -= 1;
        if (!selected) content.Top += 1;
      }
      const TTab& t = d->Tabs[static_cast<size_t>(i)];
      if (d->Images && t.Image >= 0) {
        int ih = 0;
        int iw = ImageSize(d, &ih);
        ImageList_Draw(d->Images, t.Image, dc, content.Left + d->PadX, content.Top + (content.Height() - ih) / 2,
                       ILD_TRANSPARENT);
        content.Left += iw + 3;
      }
      // A highlighted tab (TCM_HIGHLIGHTITEM) stands out in the selection colours.
      bool highlighted = (t.State & TCIS_HIGHLIGHTED) != 0;
      if (highlighted) {
        RECT back = content;
        InflateRect(&back, -2, -1);
        back.Top += 1;
        FillSolid(dc, back, GetSysColor(COLOR_HIGHLIGHT));
      }
      SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
      DrawCtlText(dc, t.Text, content, DT_SINGLELINE | DT_CENTER | DT_VCENTER, enabled);
      if (selected && d->Focused) {
        RECT f = r;
        InflateRect(&f, -3, -3);
        if (below)
          f.Top -= 1;
        else
          f.Bottom += 1;
        DrawFocusRect(dc, &f);
      }
    }
  }
  SelectObject(dc, oldFont);
}

LRESULT GetItem(TTabData* d, int i, TCITEMA* it) {
  if (!Valid(d, i) || !it) return FALSE;
  const TTab& t = d->Tabs[static_cast<size_t>(i)];
  if ((it->mask & TCIF_TEXT) && it->pszText && it->cchTextMax > 0) {
    size_t n = std::min(t.Text.size(), static_cast<size_t>(it->cchTextMax) - 1);
    std::memcpy(it->pszText, t.Text.data(), n);
    it->pszText[n] = 0;
  }
  if (it->mask & TCIF_IMAGE) it->iImage = t.Image;
  if (it->mask & TCIF_PARAM) it->lParam = t.Param;
  if (it->mask & TCIF_STATE) it->dwState = t.State & it->dwStateMask;
  return TRUE;
}

void SetItem(TTab& t, const TCITEMA* it) {
  if ((it->mask & TCIF_TEXT) && it->pszText) t.Text = it->pszText;
  if (it->mask & TCIF_IMAGE) t.Image = it->iImage;
  if (it->mask & TCIF_PARAM) t.Param = it->lParam;
  if (it->mask & TCIF_STATE) t.State = (t.State & ~it->dwStateMask) | (it->dwState & it->dwStateMask);
}

}  // namespace

LRESULT TabWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  TTabData* d = CtlBegin<TTabData>(h, msg, wParam, lParam, result);
  if (!d) return result;
  if (CtlFontMessage(h, msg, wParam, lParam, result)) {
    if (msg == WM_SETFONT) Relayout(h, d);
    return result;
  }
  int idx = static_cast<int>(wParam);
  if (LRESULT painted; CtlPaintMessage(h, msg, wParam, [&](HDC dc) { Paint(h, d, dc); }, painted)) return painted;
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      d->Focused = msg == WM_SETFOCUS;
      Invalidate(h);
      return 0;
    case WM_ENABLE:
      Invalidate(h);
      return 0;
    case WM_SIZE:
    case WM_STYLECHANGED:
      EnsureVisible(h, d);
      Invalidate(h);
      return 0;
    case WM_HSCROLL:
      // The arrows: their position is the first tab shown.
      if (d->Arrows && reinterpret_cast<HWND>(lParam) == d->Arrows && LOWORD(wParam) == SB_THUMBPOSITION) {
        d->First = static_cast<short>(HIWORD(wParam));
        Relayout(h, d);
        Invalidate(h);
      }
      return 0;
    case WM_LBUTTONDOWN: {
      int i = HitTest(h, d, POINT(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), nullptr);
      if (i < 0) return 0;
      if ((CtlStyle(h) & TCS_FOCUSONBUTTONDOWN) && !(CtlStyle(h) & TCS_FOCUSNEVER)) SetFocus(h);
      UserSelect(h, d, i);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_LEFT || wParam == VK_RIGHT) {
        int to = std::clamp(d->Cur + (wParam == VK_LEFT ? -1 : 1), 0, Count(d) - 1);
        UserSelect(h, d, to);
        return 0;
      }
      break;
    case TCM_GETITEMCOUNT:
      return Count(d);
    case TCM_INSERTITEMA: {
      auto* it = reinterpret_cast<const TCITEMA*>(lParam);
      if (!it || idx < 0) return -1;
      idx = std::min(idx, Count(d));
      TTab t;
      SetItem(t, it);
      d->Tabs.insert(d->Tabs.begin() + idx, t);
      if (d->Cur >= idx) ++d->Cur;
      if (d->Cur < 0) d->Cur = 0;  // the first tab is selected
      Relayout(h, d);
      Invalidate(h);
      return idx;
    }
    case TCM_DELETEITEM:
      if (!Valid(d, idx)) return FALSE;
      d->Tabs.erase(d->Tabs.begin() + idx);
      if (d->Cur == idx) d->Cur = -1;
      else if (d->Cur > idx) --d->Cur;
      Relayout(h, d);
      Invalidate(h);
      return TRUE;
    case TCM_DELETEALLITEMS:
      d->Tabs.clear();
      d->Cur = d->FocusItem = -1;
      d->First = 0;
      Relayout(h, d);
      Invalidate(h);
      return TRUE;
    case TCM_GETITEMA:
      return GetItem(d, idx, reinterpret_cast<TCITEMA*>(lParam));
    case TCM_SETITEMA:
      if (!Valid(d, idx) || !lParam) return FALSE;
      SetItem(d->Tabs[static_cast<size_t>(idx)], reinterpret_cast<const TCITEMA*>(lParam));
      Relayout(h, d);
      Invalidate(h);
      return TRUE;
    case TCM_GETCURSEL:
      return d->Cur;
    case TCM_SETCURSEL: {
      // -1 leaves no tab chosen (a page control without an active page).
      if (!Valid(d, idx) && idx != -1) return -1;
      int old = d->Cur;
      d->Cur = d->FocusItem = idx;
      EnsureVisible(h, d);
      Invalidate(h);
      return old;
    }
    case TCM_GETCURFOCUS:
      return d->FocusItem >= 0 ? d->FocusItem : d->Cur;
    case TCM_SETCURFOCUS:
      UserSelect(h, d, idx);
      return 0;
    case TCM_GETITEMRECT: {
      if (!Valid(d, idx) || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = Layout(h, d)[static_cast<size_t>(idx)];
      return TRUE;
    }
    case TCM_HITTEST: {
      auto* hti = reinterpret_cast<TCHITTESTINFO*>(lParam);
      if (!hti) return -1;
      return HitTest(h, d, hti->pt, &hti->flags);
    }
    case TCM_ADJUSTRECT:
      if (lParam) AdjustRect(h, d, wParam != 0, reinterpret_cast<RECT*>(lParam));
      return 0;
    case TCM_SETIMAGELIST: {
      HIMAGELIST old = d->Images;
      d->Images = reinterpret_cast<HIMAGELIST>(lParam);
      Relayout(h, d);
      Invalidate(h);
      return reinterpret_cast<LRESULT>(old);
    }
    case TCM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(d->Images);
    case TCM_GETROWCOUNT:
      return Geometry(h, d).Rows;
    case TCM_SETITEMSIZE: {
      std::vector<RECT> rects = Layout(h, d);
      LRESULT old = rects.empty() ? 0 : MAKELRESULT(rects[0].Width(), rects[0].Height());
      d->FixedW = (CtlStyle(h) & TCS_FIXEDWIDTH) ? LOWORD(lParam) : 0;
      d->FixedH = HIWORD(lParam);
      Relayout(h, d);
      Invalidate(h);
      return old;
    }
    case TCM_SETPADDING:
      d->PadX = LOWORD(lParam);
      d->PadY = HIWORD(lParam);
      Relayout(h, d);
      Invalidate(h);
      return 0;
    case TCM_SETMINTABWIDTH: {
      int old = d->MinW;
      d->MinW = static_cast<int>(lParam);
      Relayout(h, d);
      Invalidate(h);
      return old;
    }
    case TCM_HIGHLIGHTITEM:
      if (!Valid(d, idx)) return FALSE;
      if (LOWORD(lParam))
        d->Tabs[static_cast<size_t>(idx)].State |= TCIS_HIGHLIGHTED;
      else
        d->Tabs[static_cast<size_t>(idx)].State &= ~static_cast<DWORD>(TCIS_HIGHLIGHTED);
      Invalidate(h);
      return TRUE;
    case TCM_DESELECTALL:
      return 0;
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace rtl::detail
