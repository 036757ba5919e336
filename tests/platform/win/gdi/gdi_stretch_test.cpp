// Shrinking blits: which source pixels each stretch mode combines into a
// destination pixel. BLACKONWHITE ANDs them, WHITEONBLACK ORs them,
// COLORONCOLOR keeps the last and deletes the rest, HALFTONE averages them.
// Mirrored stretches, and what StretchDIBits answers.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "tests/common/dib_canvas.h"
#include "tests/platform/win/gdi/format_dib.h"
#include "tests/platform/win/gdi/zoomed_picture.h"

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

// A 32-bit source whose values are distinct in every bit, shrunk by whole
// blocks: each mode combines the stored values of a block, alpha byte
// included, in StretchBlt and StretchDIBits alike.
TEST(StretchShrinkTest, BlocksCombineTheirValuesByMode) {
  const uint32_t a = 0xCAFED00D, b = 0xFEEDFACE, c = 0xDEADBEEF, d = 0x0BADF00D;
  struct TCase {
    const char* Name;
    int Mode, SW, SH, DW, DH;
    std::vector<uint32_t> Source;  // top row first
    std::vector<uint32_t> Expected;
  };
  const TCase cases[] = {
      {"BLACKONWHITE 2x2", BLACKONWHITE, 2, 2, 1, 1, {a, b, c, d}, {a & b & c & d}},
      {"WHITEONBLACK 2x2", WHITEONBLACK, 2, 2, 1, 1, {a, b, c, d}, {a | b | c | d}},
      {"COLORONCOLOR 2x2 keeps the last", COLORONCOLOR, 2, 2, 1, 1, {a, b, c, d}, {d}},
      {"COLORONCOLOR 3x1", COLORONCOLOR, 3, 1, 1, 1, {a, b, c}, {c}},
      {"COLORONCOLOR 1x3", COLORONCOLOR, 1, 3, 1, 1, {b, a, d}, {d}},
      {"BLACKONWHITE 4x1 to 2x1", BLACKONWHITE, 4, 1, 2, 1, {a, b, c, d}, {a & b, c & d}},
      {"WHITEONBLACK 1x4 to 1x2", WHITEONBLACK, 1, 4, 1, 2, {a, b, c, d}, {a | b, c | d}},
      {"COLORONCOLOR 4x2 to 2x1", COLORONCOLOR, 4, 2, 2, 1, {a, b, c, d, d, c, b, a}, {c, a}},
  };
  for (const TCase& k : cases) {
    for (bool dibits : {false, true}) {
      SCOPED_TRACE(std::string(k.Name) + (dibits ? ", StretchDIBits" : ", StretchBlt"));
      TDibCanvas src(k.SW, k.SH, 0), dst(k.DW, k.DH, 0x12345678);
      for (int i = 0; i < k.SW * k.SH; ++i) src.bits[i] = k.Source[size_t(i)];
      SetStretchBltMode(dst.dc, k.Mode);
      if (dibits) {
        BITMAPINFO bi{};
        bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), k.SW, -k.SH, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, k.DW, k.DH, 0, 0, k.SW, k.SH, src.bits, &bi, DIB_RGB_COLORS, SRCCOPY),
                  k.SH);
      } else {
        EXPECT_TRUE(StretchBlt(dst.dc, 0, 0, k.DW, k.DH, src.dc, 0, 0, k.SW, k.SH, SRCCOPY));
      }
      for (int i = 0; i < k.DW * k.DH; ++i)
        EXPECT_EQ(dst.bits[i], k.Expected[size_t(i)]) << "pixel " << i << std::hex << ": " << dst.bits[i];
    }
  }
}

// Negative extents on both sides cancel out: both rectangles are taken in
// order, covering x + w up to x, and nothing is mirrored. One negative
// extent mirrors the image about the rectangle's first column or row.
TEST(StretchMirrorTest, NegativeExtentsPlacePixels) {
  struct TCase {
    const char* Name;
    int DX, DW, SX, SW;
    const char* Expected;  // the eight destination pixels, '.' untouched
  };
  const TCase cases[] = {
      {"both negative", 6, -4, 4, -4, "..1234.."},
      {"both negative, stretched", 8, -8, 4, -4, "11223344"},
      {"both negative, shrunk", 3, -2, 4, -4, ".24....."},
      {"both negative, one source pixel", 5, -1, 3, -1, "....3..."},
      {"destination negative", 5, -4, 0, 4, "..4321.."},
      {"source negative", 2, 4, 3, -4, "..4321.."},
      {"both positive", 2, 4, 0, 4, "..1234.."},
  };
  TDibCanvas sheet(2 * 9 * int(std::size(cases)), 9, 0x404040);
  for (size_t n = 0; n < std::size(cases); ++n) {
    const TCase& k = cases[n];
    // The same case along x and along y, the source a row or a column.
    for (bool vertical : {false, true}) {
      SCOPED_TRACE(std::string(k.Name) + (vertical ? ", rows" : ", columns"));
      TDibCanvas src(vertical ? 1 : 4, vertical ? 4 : 1, 0), dst(vertical ? 1 : 8, vertical ? 8 : 1, 0);
      for (int i = 0; i < 4; ++i) src.bits[i] = uint32_t(0x30 + i + 1) * 0x010101u;
      SetStretchBltMode(dst.dc, COLORONCOLOR);
      if (vertical)
        EXPECT_TRUE(StretchBlt(dst.dc, 0, k.DX, 1, k.DW, src.dc, 0, k.SX, 1, k.SW, SRCCOPY));
      else
        EXPECT_TRUE(StretchBlt(dst.dc, k.DX, 0, k.DW, 1, src.dc, k.SX, 0, k.SW, 1, SRCCOPY));
      std::string got;
      for (int i = 0; i < 8; ++i) {
        const uint32_t v = dst.bits[i] & 0xFF;
        got += v ? char('0' + (v - 0x30)) : '.';
        // Source pixels 1 to 4 shown red, green, blue and yellow.
        const uint32_t colours[5] = {0xFFFFFF, 0xE00000, 0x00B000, 0x0000E0, 0xE0E000};
        const uint32_t shown = colours[v >= 0x31 && v <= 0x34 ? v - 0x30 : 0];
        if (vertical)
          sheet.At(int(n) * 18 + 9, i) = shown;
        else
          sheet.At(int(n) * 18 + i, 0) = shown;
      }
      EXPECT_EQ(got, k.Expected);
    }
  }
  WriteZoomedPng("gdi-stretch-mirrored.png", sheet.bits, sheet.width, sheet.height);
}

// StretchDIBits answers the number of scan lines of the source rectangle,
// for images stored either way up and for parts of them.
TEST(StretchDIBitsTest, AnswersTheSourceRectanglesScanLines) {
  struct TCase {
    bool TopDown;
    int YSrc, SrcHeight, DestHeight;
  };
  const TCase cases[] = {
      {false, 0, 4, 4}, {true, 0, 4, 4}, {false, 1, 2, 2}, {true, 1, 2, 2},
      {false, 3, 1, 3}, {true, 0, 3, 6}, {false, 0, 2, 1},
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE(std::string(k.TopDown ? "top-down" : "bottom-up") + ", rows " + std::to_string(k.YSrc) + "+" +
                 std::to_string(k.SrcHeight));
    uint32_t px[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, k.TopDown ? -4 : 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    TDibCanvas c(2, 8, 0);
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 2, k.DestHeight, 0, k.YSrc, 2, k.SrcHeight, px, &bi, DIB_RGB_COLORS, SRCCOPY),
              k.SrcHeight);
    EXPECT_NE(c.At(0, 0), 0u) << "drawn";
  }
}

// Shrunk and mirrored pictures at a zoom, for a person to look at: a
// checkered source in each mode.
TEST(StretchShrinkTest, PictureOfTheModes) {
  TDibCanvas src(16, 16, 0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      src.At(x, y) = ((x / 2 + y / 3) % 2) ? 0xFFFFFFu : (x * 16u) << 8 | (y * 16u) << 16 | 0x40u;
  const int modes[] = {BLACKONWHITE, WHITEONBLACK, COLORONCOLOR, HALFTONE};
  TDibCanvas sheet(16 + 4 * 12, 16, 0x404040);
  BitBlt(sheet.dc, 0, 0, 16, 16, src.dc, 0, 0, SRCCOPY);
  for (int i = 0; i < 4; ++i) {
    SetStretchBltMode(sheet.dc, modes[i]);
    StretchBlt(sheet.dc, 17 + 12 * i, 0, 5, 7, src.dc, 0, 0, 16, 16, SRCCOPY);
    StretchBlt(sheet.dc, 17 + 12 * i + 10, 8, -5, 7, src.dc, 0, 0, 16, 16, SRCCOPY);
  }
  EXPECT_NE(sheet.At(17, 0), 0x404040u);
  WriteZoomedPng("gdi-stretch-modes.png", sheet.bits, sheet.width, sheet.height);
}

}  // namespace
