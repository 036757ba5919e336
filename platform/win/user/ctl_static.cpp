// The "STATIC" class: text, icons, bitmaps, rectangles, frames and etched
// lines, in the classic look.
#include "platform/win/user/ctl_common.h"

namespace rtl::detail {
namespace {

struct TStaticData : TCtlBase {
  HANDLE Image = nullptr;  // the icon of SS_ICON, the bitmap of SS_BITMAP
};

UINT StaticType(DWORD style) { return style & SS_TYPEMASK; }

SIZE ImageSize(HANDLE image, bool icon) {
  if (!image) return SIZE(0, 0);
  if (icon) {
    ICONINFO ii{};
    SIZE s(32, 32);
    if (GetIconInfo(static_cast<HICON>(image), &ii)) {
      BITMAP bm{};
      HBITMAP b = ii.hbmColor ? ii.hbmColor : ii.hbmMask;
      if (b && GetObjectA(b, sizeof bm, &bm)) s = SIZE(bm.bmWidth, ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2);
      if (ii.hbmColor) DeleteObject(ii.hbmColor);
      if (ii.hbmMask) DeleteObject(ii.hbmMask);
    }
    return s;
  }
  BITMAP bm{};
  if (!GetObjectA(image, sizeof bm, &bm)) return SIZE(0, 0);
  return SIZE(bm.bmWidth, bm.bmHeight);
}

// An icon or bitmap control takes the size of its image unless told to
// keep its own.
void FitToImage(HWND h, TStaticData* d) {
  DWORD style = CtlStyle(h);
  if (style & (SS_CENTERIMAGE | SS_REALSIZECONTROL)) return;
  SIZE s = ImageSize(d->Image, StaticType(style) == SS_ICON);
  if (s.cx > 0 && s.cy > 0) SetWindowPos(h, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT TextFormat(DWORD style) {
  UINT f = DT_EXPANDTABS;
  switch (StaticType(style)) {
    case SS_CENTER: f |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: f |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE: f = DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: break;
    default: f |= DT_LEFT | DT_WORDBREAK; break;
  }
  if (style & SS_NOPREFIX) f |= DT_NOPREFIX;
  if (style & SS_EDITCONTROL) f |= DT_EDITCONTROL;
  switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS: f |= DT_END_ELLIPSIS; break;
    case SS_PATHELLIPSIS: f |= DT_PATH_ELLIPSIS; break;
    case SS_WORDELLIPSIS: f |= DT_WORD_ELLIPSIS; break;
  }
  if ((style & SS_CENTERIMAGE) && StaticType(style) <= SS_RIGHT)
    f = (f & ~static_cast<UINT>(DT_WORDBREAK)) | DT_SINGLELINE | DT_VCENTER;
  return f;
}

void PaintImage(HWND h, HDC dc, TStaticData* d, const RECT& client, bool icon) {
  HBRUSH bg = CtlColor(h, dc, WM_CTLCOLORSTATIC);
  FillRect(dc, &client, bg);
  if (!d->Image) return;
  SIZE s = ImageSize(d->Image, icon);
  int x = client.Left, y = client.Top;
  if (CtlStyle(h) & SS_CENTERIMAGE) {
    x += (client.Width() - s.cx) / 2;
    y += (client.Height() - s.cy) / 2;
  }
  if (icon) {
    DrawIconEx(dc, x, y, static_cast<HICON>(d->Image), s.cx, s.cy, 0, nullptr, DI_NORMAL);
    return;
  }
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, d->Image);
  BitBlt(dc, x, y, s.cx, s.cy, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void Paint(HWND h, HDC dc, TStaticData* d) {
  RECT client;
  GetClientRect(h, &client);
  DWORD style = CtlStyle(h);
  UINT type = StaticType(style);
  HGDIOBJ oldFont = SelectObject(dc, CtlFont(h));
  switch (type) {
    case SS_ICON:
      PaintImage(h, dc, d, client, true);
      break;
    case SS_BITMAP:
      PaintImage(h, dc, d, client, false);
      break;
    case SS_BLACKRECT: FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME)); break;
    case SS_GRAYRECT: FillRect(dc, &client, GetSysColorBrush(COLOR_3DSHADOW)); break;
    case SS_WHITERECT: FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW)); break;
    case SS_BLACKFRAME: FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME)); break;
    case SS_GRAYFRAME: FrameRect(dc, &client, GetSysColorBrush(COLOR_3DSHADOW)); break;
    case SS_WHITEFRAME: FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOW)); break;
    case SS_ETCHEDHORZ: {
      RECT r = client;
      DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
      break;
    }
    case SS_ETCHEDVERT: {
      RECT r = client;
      DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT);
      break;
    }
    case SS_ETCHEDFRAME: {
      RECT r = client;
      DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
      break;
    }
    case SS_OWNERDRAW: {
      CtlColor(h, dc, WM_CTLCOLORSTATIC);
      DRAWITEMSTRUCT dis{};
      dis.CtlType = ODT_STATIC;
      dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = IsWindowEnabled(h) ? 0 : ODS_DISABLED;
      dis.hwndItem = h;
      dis.hDC = dc;
      dis.rcItem = client;
      if (HWND target = CtlNotifyTarget(h))
        SendMessageA(target, WM_DRAWITEM, static_cast<WPARAM>(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
      break;
    }
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP: {
      HBRUSH bg = CtlColor(h, dc, WM_CTLCOLORSTATIC);
      FillRect(dc, &client, bg);
      RECT r = client;
      if (style & SS_SUNKEN) InflateRect(&r, -1, -1);
      DrawCtlText(dc, CtlText(h), r, TextFormat(style), IsWindowEnabled(h));
      break;
    }
  }
  if (style & SS_SUNKEN) {
    RECT r = client;
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  }
  SelectObject(dc, oldFont);
}

}  // namespace

LRESULT StaticWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  TStaticData* d = CtlBegin<TStaticData>(h, msg, wParam, lParam, result);
  if (!d) return result;
  if (CtlFontMessage(h, msg, wParam, lParam, result)) return result;
  DWORD style = CtlStyle(h);
  UINT type = StaticType(style);
  switch (msg) {
    case WM_NCHITTEST:
      return (style & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      CtlPaint(h, msg, wParam, [&](HDC dc) { Paint(h, dc, d); });
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcA(h, msg, wParam, lParam);
      InvalidateRect(h, nullptr, TRUE);
      return r;
    }
    case WM_ENABLE:
      InvalidateRect(h, nullptr, TRUE);
      if (style & SS_NOTIFY) CtlNotify(h, wParam ? STN_ENABLE : STN_DISABLE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
      if (style & SS_NOTIFY) CtlNotify(h, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK:
      if (style & SS_NOTIFY) CtlNotify(h, STN_DBLCLK);
      return 0;
    case STM_GETICON:
      return type == SS_ICON ? reinterpret_cast<LRESULT>(d->Image) : 0;
    case STM_SETICON: {
      if (type != SS_ICON) return 0;
      HANDLE old = d->Image;
      d->Image = reinterpret_cast<HANDLE>(wParam);
      FitToImage(h, d);
      InvalidateRect(h, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETIMAGE:
      if ((wParam == IMAGE_ICON && type == SS_ICON) || (wParam == IMAGE_BITMAP && type == SS_BITMAP))
        return reinterpret_cast<LRESULT>(d->Image);
      return 0;
    case STM_SETIMAGE: {
      if (!((wParam == IMAGE_ICON && type == SS_ICON) || (wParam == IMAGE_BITMAP && type == SS_BITMAP))) return 0;
      HANDLE old = d->Image;
      d->Image = reinterpret_cast<HANDLE>(lParam);
      FitToImage(h, d);
      InvalidateRect(h, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace rtl::detail
