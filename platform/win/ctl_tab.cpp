// The tab control ("SysTabControl32"): one row of tabs over a raised pane,
// chosen by the mouse or the arrow keys, telling the parent before and
// after the selection changes.
#include <algorithm>
#include <cstring>

#include "platform/win/commctrl_controls.h"
#include "platform/win/ctl_common.h"

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

// The tabs' rectangles (unselected size), one row from the left.
std::vector<RECT> Layout(HWND h, TTabData* d) {
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, CtlFont(h));
  int th = TabHeight(d, dc);
  std::vector<RECT> r;
  int x = 2;
  for (const TTab& t : d->Tabs) {
    int w = d->FixedW;
    if (!w) {
      SIZE s{};
      GetTextExtentPoint32A(dc, t.Text.c_str(), static_cast<int>(t.Text.size()), &s);
      w = s.cx + 2 * d->PadX;
      if (d->Images && t.Image >= 0) w += ImageSize(d) + 3;
      w = std::max(w, d->MinW >= 0 ? d->MinW : 42);
    }
    r.push_back(RECT(x, 2, x + w, 2 + th));
    x += w;
  }
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  return r;
}

int PaneTop(HWND h, TTabData* d) {
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, CtlFont(h));
  int th = TabHeight(d, dc);
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  return th + 2;
}

void AdjustRect(HWND h, TTabData* d, bool larger, RECT* r) {
  int top = PaneTop(h, d);
  if (larger) {
    r->Left -= 4;
    r->Right += 4;
    r->Bottom += 4;
    r->Top -= top + 4;
  } else {
    r->Left += 4;
    r->Right -= 4;
    r->Bottom -= 4;
    r->Top += top + 4;
  }
}

int HitTest(HWND h, TTabData* d, POINT p, UINT* flags) {
  std::vector<RECT> rects = Layout(h, d);
  for (int i = 0; i < Count(d); ++i) {
    RECT r = rects[static_cast<size_t>(i)];
    if (i == d->Cur) {
      InflateRect(&r, 2, 0);
      r.Top -= 2;
    }
    if (PtInRect(&r, p)) {
      if (flags) *flags = TCHT_ONITEMLABEL;
      return i;
    }
  }
  if (flags) *flags = TCHT_NOWHERE;
  return -1;
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

void Paint(HWND h, TTabData* d, HDC dc) {
  HGDIOBJ oldFont = SelectObject(dc, CtlFont(h));
  RECT c;
  GetClientRect(h, &c);
  FillRect(dc, &c, GetSysColorBrush(COLOR_3DFACE));
  int paneTop = PaneTop(h, d);
  RECT pane(0, paneTop, c.Right, c.Bottom);
  DrawEdge(dc, &pane, EDGE_RAISED, BF_RECT | BF_SOFT);
  std::vector<RECT> rects = Layout(h, d);
  bool enabled = IsWindowEnabled(h);
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < Count(d); ++i) {
      bool selected = i == d->Cur;
      if ((pass == 1) != selected) continue;  // the selected tab last, over its neighbours
      RECT r = rects[static_cast<size_t>(i)];
      r.Bottom = paneTop;
      if (selected) {
        InflateRect(&r, 2, 0);
        r.Top -= 2;
      }
      DrawTab(dc, r, selected);
      RECT content = r;
      content.Bottom -= 1;
      if (!selected) content.Top += 1;
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
  if (msg == WM_NCCREATE) SetCtlData(h, new TTabData);
  TTabData* d = CtlData<TTabData>(h);
  if (!d) return DefWindowProcA(h, msg, wParam, lParam);
  LRESULT fontResult;
  if (CtlFontMessage(h, msg, wParam, lParam, fontResult)) return fontResult;
  int idx = static_cast<int>(wParam);
  switch (msg) {
    case WM_NCDESTROY:
      FreeCtlData(h);
      return DefWindowProcA(h, msg, wParam, lParam);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      CtlPaint(h, msg, wParam, [&](HDC dc) { Paint(h, d, dc); });
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      d->Focused = msg == WM_SETFOCUS;
      Invalidate(h);
      return 0;
    case WM_ENABLE:
    case WM_SIZE:
      Invalidate(h);
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
      Invalidate(h);
      return idx;
    }
    case TCM_DELETEITEM:
      if (!Valid(d, idx)) return FALSE;
      d->Tabs.erase(d->Tabs.begin() + idx);
      if (d->Cur == idx) d->Cur = -1;
      else if (d->Cur > idx) --d->Cur;
      Invalidate(h);
      return TRUE;
    case TCM_DELETEALLITEMS:
      d->Tabs.clear();
      d->Cur = d->FocusItem = -1;
      Invalidate(h);
      return TRUE;
    case TCM_GETITEMA:
      return GetItem(d, idx, reinterpret_cast<TCITEMA*>(lParam));
    case TCM_SETITEMA:
      if (!Valid(d, idx) || !lParam) return FALSE;
      SetItem(d->Tabs[static_cast<size_t>(idx)], reinterpret_cast<const TCITEMA*>(lParam));
      Invalidate(h);
      return TRUE;
    case TCM_GETCURSEL:
      return d->Cur;
    case TCM_SETCURSEL: {
      // -1 leaves no tab chosen (a page control without an active page).
      if (!Valid(d, idx) && idx != -1) return -1;
      int old = d->Cur;
      d->Cur = d->FocusItem = idx;
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
      Invalidate(h);
      return reinterpret_cast<LRESULT>(old);
    }
    case TCM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(d->Images);
    case TCM_GETROWCOUNT:
      return 1;
    case TCM_SETITEMSIZE: {
      std::vector<RECT> rects = Layout(h, d);
      LRESULT old = rects.empty() ? 0 : MAKELRESULT(rects[0].Width(), rects[0].Height());
      d->FixedW = (CtlStyle(h) & TCS_FIXEDWIDTH) ? LOWORD(lParam) : 0;
      d->FixedH = HIWORD(lParam);
      Invalidate(h);
      return old;
    }
    case TCM_SETPADDING:
      d->PadX = LOWORD(lParam);
      d->PadY = HIWORD(lParam);
      Invalidate(h);
      return 0;
    case TCM_SETMINTABWIDTH: {
      int old = d->MinW;
      d->MinW = static_cast<int>(lParam);
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
