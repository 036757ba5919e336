// A 32-bit top-down DIB section selected into a memory DC, for pixel probes
// in the tests of everything that draws.
#pragma once

#include <cstdint>

#include "platform/win/gdi/gdi.h"

// A 32-bit DIB section, top-down unless asked otherwise; its pixels go to
// *bits.
inline HBITMAP TestDib32(int w, int h, uint32_t** bits, bool bottomUp = false) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = bottomUp ? h : -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* p = nullptr;
  HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  *bits = static_cast<uint32_t*>(p);
  return b;
}

class TDibCanvas {
 public:
  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  uint32_t* bits = nullptr;
  int width, height;

  TDibCanvas(int w, int h, uint32_t fill = 0xFF000000u) : width(w), height(h) {
    bmp = TestDib32(w, h, &bits);
    dc = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc, bmp);
    Fill(fill);
  }
  ~TDibCanvas() {
    SelectObject(dc, old_);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  TDibCanvas(const TDibCanvas&) = delete;
  TDibCanvas& operator=(const TDibCanvas&) = delete;

  void Fill(uint32_t v) {
    for (int i = 0; i < width * height; ++i) bits[i] = v;
  }
  uint32_t& At(int x, int y) { return bits[y * width + x]; }
  uint32_t Rgb(int x, int y) { return At(x, y) & 0xFFFFFFu; }
  // Number of pixels whose value differs from v inside [l, r) x [t, b).
  int CountNot(uint32_t v, int l, int t, int r, int b, uint32_t mask = 0xFFFFFFFFu) {
    int n = 0;
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x)
        if ((At(x, y) & mask) != (v & mask)) ++n;
    return n;
  }
  // Bounding box of pixels different from `background` (RGB compared).
  RECT InkBox(uint32_t background) {
    RECT r{width, height, -1, -1};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if ((At(x, y) & 0xFFFFFFu) != (background & 0xFFFFFFu)) {
          if (x < r.Left) r.Left = x;
          if (y < r.Top) r.Top = y;
          if (x + 1 > r.Right) r.Right = x + 1;
          if (y + 1 > r.Bottom) r.Bottom = y + 1;
        }
    if (r.Right < 0) return RECT{};
    return r;
  }

 private:
  HGDIOBJ old_ = nullptr;
};

// Pixel value of a COLORREF as GDI drawing writes it (alpha 0).
constexpr uint32_t Px(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
