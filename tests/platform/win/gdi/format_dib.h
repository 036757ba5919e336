// A DIB section of any depth in a memory DC, for tests that look at the
// values each format stores.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/win/gdi/gdi.h"

// A DIB section of any depth filled with one byte, selected into a memory
// DC. Table formats get a grey ramp, so that every index is a colour.
class TFormatDib {
 public:
  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  uint8_t* bits = nullptr;
  int bpp, width, height, stride;

  TFormatDib(int depth, int w, int h, uint8_t fill) : bpp(depth), width(w), height(h) {
    struct {
      BITMAPINFOHEADER h;
      RGBQUAD colors[256];
    } bi{};
    bi.h = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, WORD(depth), BI_RGB, 0, 0, 0, 0, 0};
    int n = depth <= 8 ? 1 << depth : 0;
    for (int i = 0; i < n; ++i) {
      BYTE v = BYTE(i * 255 / (n - 1));
      bi.colors[i] = RGBQUAD{v, v, v, 0};
    }
    void* p = nullptr;
    bmp = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint8_t*>(p);
    stride = ((w * depth + 31) / 32) * 4;
    std::memset(bits, fill, size_t(stride) * h);
    dc = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc, bmp);
  }
  ~TFormatDib() {
    SelectObject(dc, old_);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  TFormatDib(const TFormatDib&) = delete;
  TFormatDib& operator=(const TFormatDib&) = delete;

  // The value stored for pixel (x, y): an index, or the packed bits.
  uint32_t Value(int x, int y) const {
    const uint8_t* row = bits + size_t(y) * stride;
    switch (bpp) {
      case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
      case 4: return (x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4;
      case 8: return row[x];
      case 16: return row[2 * x] | (uint32_t(row[2 * x + 1]) << 8);
      case 24: return row[3 * x] | (uint32_t(row[3 * x + 1]) << 8) | (uint32_t(row[3 * x + 2]) << 16);
      default: {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        return v;
      }
    }
  }
  // What a byte repeated over the row stores for pixel x.
  uint32_t FilledValue(uint8_t fill, int x = 0) const {
    switch (bpp) {
      case 1: return (fill >> (7 - (x & 7))) & 1;
      case 4: return (x & 1) ? fill & 15 : fill >> 4;
      case 8: return fill;
      case 16: return fill * 0x0101u;
      case 24: return fill * 0x010101u;
      default: return fill * 0x01010101u;
    }
  }

 private:
  HGDIOBJ old_ = nullptr;
};
