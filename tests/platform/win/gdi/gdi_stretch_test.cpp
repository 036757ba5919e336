// Shrinking blits: which source pixels each stretch mode combines into a
// destination pixel. BLACKONWHITE ANDs them, WHITEONBLACK ORs them,
// COLORONCOLOR keeps one and deletes the rest, HALFTONE averages them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/common/dib_canvas.h"
#include "tests/platform/win/gdi/format_dib.h"

namespace {

const int kDepths[] = {1, 4, 8, 16, 24, 32};

// What a DIB of this depth stores for a colour.
uint32_t StoredFor(int depth, COLORREF c) {
  TFormatDib probe(depth, 1, 1, 0);
  SetPixel(probe.dc, 0, 0, c);
  return probe.Value(0, 0);
}

struct TShrinkCase {
  const char* name;
  int mode;
  COLORREF row0[4], row1[4];
  COLORREF expected;
};

const COLORREF W = RGB(255, 255, 255), B = RGB(0, 0, 0);

// A 4x2 source shrunk to one pixel, in black and white, which every depth
// holds exactly.
const TShrinkCase kShrinkCases[] = {
    {"BLACKONWHITE keeps one black pixel", BLACKONWHITE, {W, W, W, W}, {W, W, B, W}, B},
    {"BLACKONWHITE of all white", BLACKONWHITE, {W, W, W, W}, {W, W, W, W}, W},
    {"WHITEONBLACK keeps one white pixel", WHITEONBLACK, {B, B, B, B}, {B, W, B, B}, W},
    {"WHITEONBLACK of all black", WHITEONBLACK, {B, B, B, B}, {B, B, B, B}, B},
    {"HALFTONE averages half and half", HALFTONE, {W, B, W, B}, {B, W, B, W}, RGB(128, 128, 128)},
    {"HALFTONE of all white", HALFTONE, {W, W, W, W}, {W, W, W, W}, W},
};

TEST(StretchShrinkTest, EachModeCombinesTheWholeBlockInEveryDepth) {
  for (int depth : kDepths) {
    for (const auto& c : kShrinkCases) {
      // A grey mean on two colours is a matter of colour matching.
      if (depth == 1 && c.expected == RGB(128, 128, 128)) continue;
      TFormatDib src(depth, 4, 2, 0), dst(depth, 1, 1, 0);
      for (int x = 0; x < 4; ++x) {
        SetPixel(src.dc, x, 0, c.row0[x]);
        SetPixel(src.dc, x, 1, c.row1[x]);
      }
      SetStretchBltMode(dst.dc, c.mode);
      EXPECT_TRUE(StretchBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 4, 2, SRCCOPY));
      EXPECT_EQ(dst.Value(0, 0), StoredFor(depth, c.expected)) << c.name << ", " << depth << " bits";
    }
  }
}

// The same combinations through StretchDIBits from a 32-bit DIB in memory.
TEST(StretchShrinkTest, StretchDIBitsCombinesAsStretchBlt) {
  for (int depth : kDepths) {
    for (const auto& c : kShrinkCases) {
      if (depth == 1 && c.expected == RGB(128, 128, 128)) continue;
      std::vector<uint32_t> px(8);  // bottom-up: row1 first
      for (int x = 0; x < 4; ++x) {
        px[size_t(x)] = GetRValue(c.row1[x]) * 0x010101u;
        px[size_t(4 + x)] = GetRValue(c.row0[x]) * 0x010101u;
      }
      BITMAPINFO bi{};
      bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 4, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
      TFormatDib dst(depth, 1, 1, 0);
      SetStretchBltMode(dst.dc, c.mode);
      EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 1, 1, 0, 0, 4, 2, px.data(), &bi, DIB_RGB_COLORS, SRCCOPY), 2);
      EXPECT_EQ(dst.Value(0, 0), StoredFor(depth, c.expected)) << c.name << ", " << depth << " bits";
    }
  }
}

// HALFTONE gives the rounded mean of each block, per channel, with no
// rounding between rows; the 2x2 case runs on its own fast path.
TEST(StretchShrinkTest, HalftoneIsTheExactMeanOfEachBlock) {
  struct TCase {
    int sw, sh, dw, dh;
  };
  const TCase cases[] = {{1, 3, 1, 1}, {3, 1, 1, 1}, {2, 2, 1, 1}, {16, 4, 8, 2}, {12, 6, 4, 2}, {5, 5, 1, 1}};
  for (const auto& c : cases) {
    TDibCanvas src(c.sw, c.sh), dst(c.dw, c.dh);
    // Small values where rounding per row or per pair shows: 1 0 0 ... and
    // a spread in the other channels.
    for (int y = 0; y < c.sh; ++y)
      for (int x = 0; x < c.sw; ++x) {
        uint32_t k = uint32_t(y * c.sw + x);
        uint32_t b = (x == 0 && y == 0) ? 1 : 0;
        uint32_t g = (k * 37) % 256, r = (k * 91 + 13) % 256;
        src.At(x, y) = (r << 16) | (g << 8) | b;
      }
    SetStretchBltMode(dst.dc, HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, c.dw, c.dh, src.dc, 0, 0, c.sw, c.sh, SRCCOPY));
    const int fx = c.sw / c.dw, fy = c.sh / c.dh;
    for (int y = 0; y < c.dh; ++y)
      for (int x = 0; x < c.dw; ++x) {
        uint32_t expected = 0;
        for (int ch = 0; ch < 32; ch += 8) {
          uint32_t sum = 0;
          for (int v = 0; v < fy; ++v)
            for (int u = 0; u < fx; ++u) sum += (src.At(x * fx + u, y * fy + v) >> ch) & 0xFF;
          uint32_t n = uint32_t(fx * fy);
          expected |= ((sum + n / 2) / n) << ch;
        }
        EXPECT_EQ(dst.At(x, y), expected) << c.sw << "x" << c.sh << " to " << c.dw << "x" << c.dh << " at " << x
                                          << "," << y;
      }
  }
}

// COLORONCOLOR deletes the pixels it drops: the result is one of the
// block's own pixels, never a mix.
TEST(StretchShrinkTest, ColorOnColorKeepsOneSourcePixelUnmixed) {
  for (int depth : {8, 16, 24, 32}) {
    TFormatDib src(depth, 3, 3, 0), dst(depth, 1, 1, 0);
    const COLORREF colours[3] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255)};
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) SetPixel(src.dc, x, y, colours[(x + y) % 3]);
    SetStretchBltMode(dst.dc, COLORONCOLOR);
    StretchBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 3, 3, SRCCOPY);
    uint32_t v = dst.Value(0, 0);
    EXPECT_TRUE(v == StoredFor(depth, W) || v == StoredFor(depth, B)) << depth << " bits: " << v;
  }
}

}  // namespace
