// A 32-bit top-down DIB section in a memory DC, for canvases on a DC that
// is not their own and for pixel probes.
#pragma once

#include <cstdint>

#include "platform/win/gdi.h"

class TTestDib {
 public:
  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  uint32_t* bits = nullptr;
  int width, height;

  TTestDib(int w, int h, uint32_t fill = 0x00FFFFFFu) : width(w), height(h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* p = nullptr;
    bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint32_t*>(p);
    dc = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc, bmp);
    Fill(fill);
  }
  ~TTestDib() {
    SelectObject(dc, old_);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  TTestDib(const TTestDib&) = delete;
  TTestDib& operator=(const TTestDib&) = delete;

  void Fill(uint32_t v) {
    for (int i = 0; i < width * height; ++i) bits[i] = v;
  }
  uint32_t& At(int x, int y) { return bits[y * width + x]; }
  // The pixel as a COLORREF (red in the low byte), alpha left out.
  COLORREF Color(int x, int y) {
    uint32_t p = At(x, y);
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
  }
  // Pixels inside [l, r) x [t, b) whose colour is not c.
  int CountNot(COLORREF c, int l, int t, int r, int b) {
    int n = 0;
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x)
        if (Color(x, y) != c) ++n;
    return n;
  }
  // Bounding box of the pixels whose colour is not `background`.
  RECT InkBox(COLORREF background) {
    RECT r(width, height, -1, -1);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (Color(x, y) != background) {
          if (x < r.Left) r.Left = x;
          if (y < r.Top) r.Top = y;
          if (x + 1 > r.Right) r.Right = x + 1;
          if (y + 1 > r.Bottom) r.Bottom = y + 1;
        }
    return r.Right < 0 ? RECT() : r;
  }

 private:
  HGDIOBJ old_ = nullptr;
};

// A 32-bit pixel (B, G, R, A in memory order) from a COLORREF and an alpha.
constexpr uint32_t PixelOf(COLORREF c, uint32_t alpha = 0) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF) | (alpha << 24);
}
