// GDI+ started for a test, and a 32-bit DIB section in a memory DC to draw
// on and probe.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/win/gdiplus/gdiplus.h"
#include "tests/common/dib_canvas.h"

// In a namespace of their own: the host framework has classes of the same
// names, and one test program may link both.
namespace gptest {

class GdiplusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GdiplusStartupInput input;
    ASSERT_EQ(GdiplusStartup(&token_, &input, nullptr), Ok);
  }
  void TearDown() override { GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};

// Pixels are 0xAARRGGBB, premultiplied, top row first whatever the DIB's
// orientation.
class TGpCanvas {
 public:
  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  uint32_t* bits = nullptr;
  int width, height;
  bool bottomUp;

  TGpCanvas(int w, int h, uint32_t fill = 0, bool bottomUpDib = false) : width(w), height(h), bottomUp(bottomUpDib) {
    bmp = TestDib32(w, h, &bits, bottomUp);
    dc = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc, bmp);
    for (int i = 0; i < w * h; ++i) bits[i] = fill;
  }
  ~TGpCanvas() {
    if (graphics_) GdipDeleteGraphics(graphics_);
    SelectObject(dc, old_);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  TGpCanvas(const TGpCanvas&) = delete;
  TGpCanvas& operator=(const TGpCanvas&) = delete;

  uint32_t At(int x, int y) const { return bits[(bottomUp ? height - 1 - y : y) * width + x]; }
  uint32_t Alpha(int x, int y) const { return At(x, y) >> 24; }
  // A graphics on the DC, made on first use and deleted with the canvas.
  GpGraphics* G() {
    if (!graphics_) {
      EXPECT_EQ(GdipCreateFromHDC(dc, &graphics_), Ok);
    }
    return graphics_;
  }
  void Release() {
    if (graphics_) GdipDeleteGraphics(graphics_);
    graphics_ = nullptr;
  }
  // Pixels whose alpha is neither 0 nor 255.
  int Partial() const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += Alpha(x, y) != 0 && Alpha(x, y) != 255;
    return n;
  }
  // Pixels with any alpha inside [l, r) x [t, b).
  int Inked(int l, int t, int r, int b) const {
    int n = 0;
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) n += Alpha(x, y) != 0;
    return n;
  }

 private:
  HGDIOBJ old_ = nullptr;
  GpGraphics* graphics_ = nullptr;
};

// A brush or pen for one call.
struct TSolid {
  GpSolidFill* brush = nullptr;
  explicit TSolid(ARGB c) { GdipCreateSolidFill(c, &brush); }
  ~TSolid() { GdipDeleteBrush(brush); }
  operator GpBrush*() const { return brush; }
};

struct TPen {
  GpPen* pen = nullptr;
  explicit TPen(ARGB c, REAL width = 1) { GdipCreatePen1(c, width, UnitPixel, &pen); }
  ~TPen() { GdipDeletePen(pen); }
  operator GpPen*() const { return pen; }
};

}  // namespace gptest

using namespace gptest;
