// The system's own images: the OBM_ bitmaps and the IDI_ icons, drawn in
// the classic look with the current system colours.
#include <algorithm>
#include <cstring>

#include "platform/win/gdi/gdi_icons.h"

namespace rtl::detail {

namespace {

// A colour bitmap of the given size with the DC that draws on it.
struct TCanvas {
  HBITMAP Bitmap;
  HDC Dc;
  HGDIOBJ Old;
  TCanvas(int w, int h, COLORREF background) {
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    Bitmap = CreateCompatibleBitmap(screen, w, h);
    DeleteDC(screen);
    Dc = CreateCompatibleDC(nullptr);
    Old = SelectObject(Dc, Bitmap);
    RECT r{0, 0, w, h};
    HBRUSH b = CreateSolidBrush(background);
    FillRect(Dc, &r, b);
    DeleteObject(b);
  }
  HBITMAP Finish() {
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    return Bitmap;
  }
};

HBITMAP FrameBitmap(int w, int h, UINT type, UINT state) {
  TCanvas c(w, h, GetSysColor(COLOR_3DFACE));
  RECT r{0, 0, w, h};
  DrawFrameControl(c.Dc, &r, type, state);
  return c.Finish();
}

HBITMAP CheckBoxes() {
  const int cell = 13;
  TCanvas c(cell * 4, cell * 3, GetSysColor(COLOR_3DFACE));
  const UINT kinds[3] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
  const UINT states[4] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_CHECKED | DFCS_PUSHED};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) {
      RECT r{col * cell, row * cell, col * cell + cell, row * cell + cell};
      if (row == 1) r = RECT{r.Left, r.Top, r.Right - 1, r.Bottom - 1};
      DrawFrameControl(c.Dc, &r, DFC_BUTTON, kinds[row] | states[col]);
    }
  return c.Finish();
}

}  // namespace

HBITMAP GdiSystemBitmap(int id) {
  const int s = 16;
  switch (id) {
    case OBM_CHECKBOXES: return CheckBoxes();
    case OBM_UPARROW: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLUP);
    case OBM_DNARROW: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLDOWN);
    case OBM_LFARROW: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLLEFT);
    case OBM_RGARROW: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLRIGHT);
    case OBM_UPARROWD: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLUP | DFCS_PUSHED);
    case OBM_DNARROWD: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED);
    case OBM_LFARROWD: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_PUSHED);
    case OBM_RGARROWD: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_PUSHED);
    case OBM_UPARROWI: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE);
    case OBM_DNARROWI: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE);
    case OBM_LFARROWI: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_INACTIVE);
    case OBM_RGARROWI: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_INACTIVE);
    case OBM_COMBO: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    case OBM_REDUCE: return FrameBitmap(s, 14, DFC_CAPTION, DFCS_CAPTIONMIN);
    case OBM_ZOOM: return FrameBitmap(s, 14, DFC_CAPTION, DFCS_CAPTIONMAX);
    case OBM_RESTORE: return FrameBitmap(s, 14, DFC_CAPTION, DFCS_CAPTIONRESTORE);
    case OBM_REDUCED: return FrameBitmap(s, 14, DFC_CAPTION, DFCS_CAPTIONMIN | DFCS_PUSHED);
    case OBM_ZOOMD: return FrameBitmap(s, 14, DFC_CAPTION, DFCS_CAPTIONMAX | DFCS_PUSHED);
    case OBM_RESTORED: return FrameBitmap(s, 14, DFC_CAPTION, DFCS_CAPTIONRESTORE | DFCS_PUSHED);
    case OBM_CLOSE: return FrameBitmap(s, 14, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    case OBM_MNARROW: return FrameBitmap(s, s, DFC_MENU, DFCS_MENUARROW);
    case OBM_CHECK: return FrameBitmap(s, s, DFC_MENU, DFCS_MENUCHECK);
    case OBM_SIZE:
    case OBM_BTSIZE: return FrameBitmap(s, s, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    case OBM_BTNCORNERS: return FrameBitmap(8, 8, DFC_BUTTON, DFCS_BUTTONRADIO);
    default: return nullptr;
  }
}

HICON GdiSystemIcon(int id, int cx, int cy) {
  if (id < 32512 || id > 32518) return nullptr;
  const int n = 32;
  // Colour image on black and AND mask (white = transparent) drawn alike.
  TCanvas color(n, n, RGB(0, 0, 0));
  HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HDC maskDc = CreateCompatibleDC(nullptr);
  HBITMAP mask = CreateBitmap(n, n, 1, 1, nullptr);
  HGDIOBJ oldMask = SelectObject(maskDc, mask);
  RECT all{0, 0, n, n};
  FillRect(maskDc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  auto shape = [&](COLORREF fill, bool ellipse, const RECT& r) {
    HBRUSH b = CreateSolidBrush(fill);
    HGDIOBJ ob = SelectObject(color.Dc, b);
    HGDIOBJ om = SelectObject(maskDc, GetStockObject(BLACK_BRUSH));
    HGDIOBJ op = SelectObject(maskDc, GetStockObject(BLACK_PEN));
    if (ellipse) {
      Ellipse(color.Dc, r.Left, r.Top, r.Right, r.Bottom);
      Ellipse(maskDc, r.Left, r.Top, r.Right, r.Bottom);
    } else {
      Rectangle(color.Dc, r.Left, r.Top, r.Right, r.Bottom);
      Rectangle(maskDc, r.Left, r.Top, r.Right, r.Bottom);
    }
    SelectObject(color.Dc, ob);
    SelectObject(maskDc, om);
    SelectObject(maskDc, op);
    DeleteObject(b);
  };
  auto text = [&](const char* s, COLORREF c) {
    HFONT f = CreateFontA(-22, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, "Arial");
    HGDIOBJ of = SelectObject(color.Dc, f);
    SetBkMode(color.Dc, TRANSPARENT);
    SetTextColor(color.Dc, c);
    RECT r{0, 0, n, n};
    DrawTextA(color.Dc, s, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(color.Dc, of);
    DeleteObject(f);
  };
  switch (id) {
    case 32512:  // IDI_APPLICATION: a window
    case 32517:  // IDI_WINLOGO
      shape(RGB(255, 255, 255), false, RECT{2, 4, 30, 28});
      shape(RGB(10, 36, 106), false, RECT{2, 4, 30, 10});
      break;
    case 32513:  // IDI_HAND
      shape(RGB(204, 0, 0), true, RECT{1, 1, 31, 31});
      text("X", RGB(255, 255, 255));
      break;
    case 32514:  // IDI_QUESTION
      shape(RGB(0, 70, 180), true, RECT{1, 1, 31, 31});
      text("?", RGB(255, 255, 255));
      break;
    case 32515: {  // IDI_EXCLAMATION: a yellow triangle
      POINT tri[3] = {{16, 1}, {31, 29}, {1, 29}};
      HBRUSH b = CreateSolidBrush(RGB(255, 204, 0));
      HGDIOBJ ob = SelectObject(color.Dc, b);
      Polygon(color.Dc, tri, 3);
      SelectObject(color.Dc, ob);
      SelectObject(maskDc, GetStockObject(BLACK_BRUSH));
      Polygon(maskDc, tri, 3);
      DeleteObject(b);
      text("!", RGB(0, 0, 0));
      break;
    }
    case 32516:  // IDI_ASTERISK
      shape(RGB(0, 70, 180), true, RECT{1, 1, 31, 31});
      text("i", RGB(255, 255, 255));
      break;
    case 32518:  // IDI_SHIELD
      shape(RGB(0, 90, 200), false, RECT{6, 2, 26, 30});
      break;
    default:
      break;
  }
  SelectObject(maskDc, oldMask);
  DeleteDC(maskDc);
  DeleteDC(screen);
  HBITMAP image = color.Finish();
  ICONINFO ii{TRUE, 0, 0, mask, image};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(mask);
  DeleteObject(image);
  if (icon && ((cx && cx != n) || (cy && cy != n))) {
    HICON sized = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, LR_COPYDELETEORG));
    return sized;
  }
  return icon;
}

}  // namespace rtl::detail
