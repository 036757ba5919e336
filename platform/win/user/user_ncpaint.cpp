// The classic frame the default window procedure draws: borders, the
// caption with its icon, text and buttons, the client edge, and the window
// scroll bars.
#include <algorithm>

#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_nonclient.h"
#include "platform/win/user/user_paint.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

void FillColor(HDC dc, const RECT& r, int index) {
  if (!r.IsEmpty()) FillRect(dc, &r, GetSysColorBrush(index));
}

void FillRing(HDC dc, const RECT& outer, const RECT& inner, int index) {
  FillColor(dc, RECT(outer.Left, outer.Top, outer.Right, inner.Top), index);
  FillColor(dc, RECT(outer.Left, inner.Bottom, outer.Right, outer.Bottom), index);
  FillColor(dc, RECT(outer.Left, inner.Top, inner.Left, inner.Bottom), index);
  FillColor(dc, RECT(inner.Right, inner.Top, outer.Right, inner.Bottom), index);
}

void DrawCaptionBackground(HDC dc, const RECT& r, bool active) {
  COLORREF a = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  COLORREF b = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
  BOOL gradient = FALSE;
  SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
  if (!gradient || a == b) {
    FillColor(dc, r, active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    return;
  }
  TRIVERTEX v[2]{};
  v[0].x = r.Left;
  v[0].y = r.Top;
  v[0].Red = static_cast<USHORT>(GetRValue(a) << 8);
  v[0].Green = static_cast<USHORT>(GetGValue(a) << 8);
  v[0].Blue = static_cast<USHORT>(GetBValue(a) << 8);
  v[1].x = r.Right;
  v[1].y = r.Bottom;
  v[1].Red = static_cast<USHORT>(GetRValue(b) << 8);
  v[1].Green = static_cast<USHORT>(GetGValue(b) << 8);
  v[1].Blue = static_cast<USHORT>(GetBValue(b) << 8);
  GRADIENT_RECT gr{0, 1};
  GradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_H);
}

HICON CaptionIcon(TWnd* w) {
  if (w->IconSmall) return w->IconSmall;
  if (w->IconBig) return w->IconBig;
  if (w->Class->IconSm) return w->Class->IconSm;
  if (w->Class->Icon) return w->Class->Icon;
  return LoadIconA(nullptr, IDI_APPLICATION);
}

UINT ButtonState(TWnd* w, int hit) {
  UINT s = w->PressedButton == hit ? DFCS_PUSHED : 0;
  switch (hit) {
    case HTCLOSE:
      if (w->Class->Style & CS_NOCLOSE) s |= DFCS_INACTIVE;
      break;
    case HTMAXBUTTON:
      if (!(w->Style & WS_MAXIMIZEBOX)) s |= DFCS_INACTIVE;
      break;
    case HTMINBUTTON:
      if (!(w->Style & WS_MINIMIZEBOX)) s |= DFCS_INACTIVE;
      break;
  }
  return s;
}

void DrawCaption(TWnd* w, HDC dc, const TFrameLayout& f) {
  bool active = w->Has(wfNcActive);
  bool tool = (w->ExStyle & WS_EX_TOOLWINDOW) != 0;
  DrawCaptionBackground(dc, f.Caption, active);
  FillColor(dc, RECT(f.Caption.Left, f.Caption.Bottom, f.Caption.Right, f.Caption.Bottom + 1), COLOR_3DFACE);
  int left = f.Caption.Left + 2;
  if (!f.SysIcon.IsEmpty()) {
    if (HICON icon = CaptionIcon(w))
      DrawIconEx(dc, f.SysIcon.Left, f.SysIcon.Top, icon, f.SysIcon.Width(), f.SysIcon.Height(), 0, nullptr, DI_NORMAL);
    left = f.SysIcon.Right + 2;
  }
  int right = f.Caption.Right - 2;
  for (const RECT* b : {&f.CloseButton, &f.MaxButton, &f.MinButton, &f.HelpButton})
    if (!b->IsEmpty()) right = std::min(right, b->Left - 2);
  if (!w->Text.empty() && right > left) {
    NONCLIENTMETRICSA nc{};
    nc.cbSize = sizeof(nc);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(nc), &nc, 0);
    HFONT font = CreateFontIndirectA(tool ? &nc.lfSmCaptionFont : &nc.lfCaptionFont);
    HGDIOBJ oldFont = SelectObject(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    RECT tr(left, f.Caption.Top, right, f.Caption.Bottom);
    DrawTextA(dc, w->Text.c_str(), static_cast<int>(w->Text.size()), &tr,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
  }
  if (!f.CloseButton.IsEmpty()) {
    RECT r = f.CloseButton;
    DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | ButtonState(w, HTCLOSE));
  }
  if (!f.MaxButton.IsEmpty()) {
    RECT r = f.MaxButton;
    UINT kind = (w->Style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX;
    DrawFrameControl(dc, &r, DFC_CAPTION, kind | ButtonState(w, HTMAXBUTTON));
  }
  if (!f.MinButton.IsEmpty()) {
    RECT r = f.MinButton;
    UINT kind = (w->Style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN;
    DrawFrameControl(dc, &r, DFC_CAPTION, kind | ButtonState(w, HTMINBUTTON));
  }
  if (!f.HelpButton.IsEmpty()) {
    RECT r = f.HelpButton;
    DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONHELP | ButtonState(w, HTHELP));
  }
}

}  // namespace

void DrawFrame(TWnd* w, HDC dc) {
  TFrameLayout f = FrameLayout(w);
  DWORD style = w->Style, ex = w->ExStyle;
  RECT r = f.Window;
  if ((style & (WS_THICKFRAME | WS_DLGFRAME)) || (ex & WS_EX_DLGMODALFRAME)) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    if (style & WS_THICKFRAME) {
      // The sizing part of the border, then the fixed part.
      int sizing = GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
      RECT in(r.Left + sizing, r.Top + sizing, r.Right - sizing, r.Bottom - sizing);
      FillRing(dc, r, in, w->Has(wfNcActive) ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
      r = in;
    }
    FillRing(dc, r, f.Border, COLOR_3DFACE);
  } else if ((ex & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE) {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  } else if (style & WS_BORDER) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
  }
  if (!f.Caption.IsEmpty()) DrawCaption(w, dc, f);
  if (ex & WS_EX_CLIENTEDGE) {
    RECT inner = f.Client;
    for (const RECT* s : {&f.VScroll, &f.HScroll}) {
      if (s->IsEmpty()) continue;
      inner = RECT(std::min(inner.Left, s->Left), std::min(inner.Top, s->Top), std::max(inner.Right, s->Right),
                   std::max(inner.Bottom, s->Bottom));
    }
    InflateRect(&inner, GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
    DrawEdge(dc, &inner, EDGE_SUNKEN, BF_RECT);
  }
  DrawScrollBars(w, dc, f);
}

void DefNcPaint(TWnd* w, HRGN update) {
  if (!IsReallyVisible(w)) return;
  // The region handed in stays the sender's: the DC gets a copy.
  HRGN clip = nullptr;
  if (update && update != reinterpret_cast<HRGN>(1)) {
    clip = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(clip, update, nullptr, RGN_COPY);
  }
  HDC dc = GetDCImpl(w, clip, DCX_WINDOW | DCX_CACHE | kDcxUseStyle | (clip ? DCX_INTERSECTRGN : 0));
  if (!dc) return;
  DrawFrame(w, dc);
  ReleaseDC(w->Handle, dc);
}

}  // namespace rtl::detail
