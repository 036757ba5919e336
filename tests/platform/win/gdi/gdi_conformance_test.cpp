// Cases where the documented behaviour of the platform is easy to get
// subtly wrong: pixel rules of lines and rectangles, hatch columns, blends
// from sources without alpha, and the results and errors of calls.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "tests/common/dib_canvas.h"
#include "tests/platform/win/gdi/format_dib.h"

namespace {

TEST(ConformanceTest, LineTiesRoundTheMinorCoordinateDown) {
  struct TCase {
    POINT from, to, probe;
    bool set;
  };
  const TCase cases[] = {
      {{100, 100}, {200, 150}, {101, 100}, true},
      {{100, 100}, {200, 150}, {101, 101}, false},
      {{200, 150}, {100, 100}, {101, 100}, true},  // the same pixels either way
      {{100, 100}, {150, 200}, {100, 101}, true},  // y-major
      {{100, 100}, {150, 200}, {101, 101}, false},
      {{100, 100}, {200, 150}, {199, 149}, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.from.X) + "," + std::to_string(c.from.Y) + " to " + std::to_string(c.to.X) + "," +
                 std::to_string(c.to.Y));
    TDibCanvas canvas(210, 210, 0x00FFFFFFu);
    MoveToEx(canvas.dc, c.from.X, c.from.Y, nullptr);
    LineTo(canvas.dc, c.to.X, c.to.Y);
    EXPECT_EQ(canvas.Rgb(c.probe.X, c.probe.Y) == 0, c.set) << "probe " << c.probe.X << "," << c.probe.Y;
  }
}

TEST(ConformanceTest, OnePixelRectangleDrawsItsPixelInEveryDepth) {
  for (int depth : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(std::to_string(depth) + " bits");
    TFormatDib dib(depth, 130, 50, 0);
    SelectObject(dib.dc, GetStockObject(WHITE_PEN));
    EXPECT_TRUE(Rectangle(dib.dc, 120, 40, 121, 41));
    EXPECT_EQ(GetPixel(dib.dc, 120, 40), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dib.dc, 121, 40), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dib.dc, 120, 41), RGB(0, 0, 0));
  }
}

TEST(ConformanceTest, VerticalHatchStrokesLieInTheFifthColumn) {
  for (int hatch : {HS_VERTICAL, HS_CROSS}) {
    SCOPED_TRACE(hatch);
    TDibCanvas c(16, 8, 0x00FFFFFFu);
    HBRUSH b = CreateHatchBrush(hatch, RGB(0, 0, 0));
    RECT r{0, 0, 16, 8};
    FillRect(c.dc, &r, b);
    DeleteObject(b);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(c.Rgb(x, 0) == 0, x % 8 == 4) << "column " << x;
    if (hatch == HS_CROSS) {
      EXPECT_EQ(c.CountNot(0, 0, 3, 16, 4, 0xFFFFFF), 0) << "the horizontal stroke, row 3";
    }
  }
}

TEST(ConformanceTest, BrushAndPenStylesOutsideTheTablesAsTheOriginal) {
  for (int hatch = 6; hatch <= 11; ++hatch) {
    HBRUSH b = CreateHatchBrush(hatch, RGB(10, 20, 30));
    ASSERT_NE(b, nullptr) << hatch;
    LOGBRUSH lb{};
    ASSERT_EQ(GetObject(b, sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbStyle, UINT(BS_SOLID)) << hatch;
    EXPECT_EQ(lb.lbColor, RGB(10, 20, 30));
    DeleteObject(b);
  }
  EXPECT_EQ(CreatePen(PS_NULL, 3, RGB(1, 2, 3)), GetStockObject(NULL_PEN));
  for (int style : {7, 9, 100}) {
    HPEN p = CreatePen(style, 1, RGB(0, 0, 0));
    ASSERT_NE(p, nullptr) << style;
    LOGPEN lp{};
    GetObject(p, sizeof lp, &lp);
    EXPECT_EQ(lp.lopnStyle, UINT(PS_SOLID)) << style;
    TDibCanvas c(8, 1, 0x00FFFFFFu);
    SelectObject(c.dc, p);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 8, 0);
    EXPECT_EQ(c.CountNot(0, 0, 0, 8, 1, 0xFFFFFF), 0) << "drawn solid, style " << style;
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    DeleteObject(p);
  }
}

// A source without an alpha channel blends as opaque: per-pixel blending
// copies it, and the destination's alpha becomes 255.
TEST(ConformanceTest, AlphaBlendFromSourcesWithoutAlphaTakesThemAsOpaque) {
  for (int depth : {1, 8, 16, 24}) {
    SCOPED_TRACE(std::to_string(depth) + " bits");
    TFormatDib src(depth, 2, 1, 0);
    PatBlt(src.dc, 0, 0, 2, 1, WHITENESS);
    TDibCanvas dst(2, 1, 0x00000000u);
    EXPECT_TRUE(AlphaBlend(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 2, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}));
    EXPECT_EQ(dst.At(0, 0), 0xFFFFFFFFu);
    dst.Fill(0);
    EXPECT_TRUE(AlphaBlend(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 2, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0}));
    EXPECT_EQ(dst.At(1, 0), 0xFFFFFFFFu);
  }
}

TEST(ConformanceTest, BlendsAndGradientsRefuseWithTheDocumentedErrors) {
  TDibCanvas a(8, 8), b(8, 8);
  struct TCase {
    const char* name;
    BOOL (*call)(HDC, HDC);
    DWORD error;
  };
  const TCase cases[] = {
      {"blend operation", [](HDC d, HDC s) { return AlphaBlend(d, 0, 0, 2, 2, s, 0, 0, 2, 2, {1, 0, 255, 0}); },
       ERROR_INVALID_PARAMETER},
      {"blend flags", [](HDC d, HDC s) { return AlphaBlend(d, 0, 0, 2, 2, s, 0, 0, 2, 2, {0, 1, 255, 0}); },
       ERROR_INVALID_PARAMETER},
      {"negative width", [](HDC d, HDC s) { return AlphaBlend(d, 0, 0, -2, 2, s, 0, 0, 2, 2, {0, 0, 255, 0}); },
       ERROR_INVALID_PARAMETER},
      {"source outside", [](HDC d, HDC s) { return AlphaBlend(d, 0, 0, 2, 2, s, 7, 0, 2, 2, {0, 0, 255, 0}); },
       ERROR_INVALID_PARAMETER},
      {"overlap in one bitmap", [](HDC d, HDC) { return AlphaBlend(d, 0, 0, 4, 4, d, 2, 2, 4, 4, {0, 0, 255, 0}); },
       ERROR_INVALID_PARAMETER},
      {"no such DC", [](HDC, HDC s) { return AlphaBlend(HDC(0x1234), 0, 0, 2, 2, s, 0, 0, 2, 2, {0, 0, 255, 0}); },
       ERROR_INVALID_HANDLE},
      {"gradient vertex out of range",
       [](HDC d, HDC) {
         TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {4, 4, 0, 0, 0, 0}};
         GRADIENT_RECT r{0, 2};
         return GradientFill(d, v, 2, &r, 1, GRADIENT_FILL_RECT_H);
       },
       ERROR_INVALID_PARAMETER},
      {"gradient mode",
       [](HDC d, HDC) {
         TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {4, 4, 0, 0, 0, 0}};
         GRADIENT_RECT r{0, 1};
         return GradientFill(d, v, 2, &r, 1, 7);
       },
       ERROR_INVALID_PARAMETER},
  };
  for (const TCase& c : cases) {
    SetLastError(0);
    EXPECT_FALSE(c.call(a.dc, b.dc)) << c.name;
    EXPECT_EQ(GetLastError(), c.error) << c.name;
  }
  EXPECT_TRUE(AlphaBlend(a.dc, 0, 0, 2, 2, a.dc, 4, 4, 2, 2, {0, 0, 255, 0})) << "apart in one bitmap";
}

TEST(ConformanceTest, ResultsOfQueriesAsDocumented) {
  HRGN r = CreateRectRgn(0, 0, 10, 10);
  HRGN other = CreateRectRgn(20, 0, 30, 5);
  CombineRgn(r, r, other, RGN_OR);
  DWORD need = GetRegionData(r, 0, nullptr);
  std::vector<uint8_t> buf(need + 64);
  EXPECT_EQ(GetRegionData(r, DWORD(buf.size()), reinterpret_cast<RGNDATA*>(buf.data())), need)
      << "the bytes written, not the buffer's size";
  DeleteObject(r);
  DeleteObject(other);

  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 4, 4, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  DIBSECTION ds{};
  ASSERT_EQ(GetObject(dib, sizeof ds, &ds), int(sizeof ds));
  EXPECT_EQ(ds.dsBmih.biCompression, DWORD(BI_BITFIELDS));
  EXPECT_EQ(ds.dsBitfields[0], 0x7C00u);
  EXPECT_EQ(ds.dsBitfields[1], 0x03E0u);
  EXPECT_EQ(ds.dsBitfields[2], 0x001Fu);
  DeleteObject(dib);

  TDibCanvas c(4, 4);
  HRGN clip = CreateRectRgn(0, 0, 1, 1);
  EXPECT_EQ(GetClipRgn(c.dc, clip), 0) << "no clip";
  DeleteObject(clip);
}

// A palette of four colours, selected into the DC.
HPALETTE FourColours() {
  struct {
    WORD version, count;
    PALETTEENTRY e[4];
  } lp{0x300, 4, {{10, 20, 30, 0}, {200, 0, 0, 0}, {0, 200, 0, 0}, {0, 0, 200, 0}}};
  return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&lp));
}

TEST(ConformanceTest, PaletteColoursComeFromTheSelectedPalette) {
  TDibCanvas c(4, 1, 0);
  HPALETTE pal = FourColours();
  HPALETTE old = SelectPalette(c.dc, pal, FALSE);
  SetPixel(c.dc, 0, 0, PALETTEINDEX(1));
  EXPECT_EQ(c.Rgb(0, 0), 0xC80000u) << "index 1 of the selected palette";
  HBRUSH b = CreateSolidBrush(PALETTEINDEX(2));
  RECT r{1, 0, 2, 1};
  FillRect(c.dc, &r, b);
  DeleteObject(b);
  EXPECT_EQ(c.Rgb(1, 0), 0x00C800u);

  PALETTEENTRY changed{1, 2, 3, 0};
  EXPECT_EQ(SetPaletteEntries(pal, 3, 1, &changed), 1u);
  EXPECT_EQ(SetPaletteEntries(pal, 3, 5, &changed), 1u) << "only what fits";
  EXPECT_EQ(SetPaletteEntries(pal, 4, 1, &changed), 0u);
  PALETTEENTRY back{};
  GetPaletteEntries(pal, 3, 1, &back);
  EXPECT_EQ(back.peRed, 1);
  EXPECT_EQ(back.peBlue, 3);

  // A DIB whose table holds palette indexes takes the selected palette's colours.
  struct {
    BITMAPINFOHEADER h;
    WORD idx[2];
  } bi{{sizeof(BITMAPINFOHEADER), 2, 1, 1, 1, BI_RGB, 0, 0, 0, 2, 0}, {3, 0}};
  const uint8_t bits[4] = {0x40, 0, 0, 0};  // pixel 0: index 0 -> palette 3, pixel 1: index 1 -> palette 0
  EXPECT_EQ(StretchDIBits(c.dc, 2, 0, 2, 1, 0, 0, 2, 1, bits, reinterpret_cast<BITMAPINFO*>(&bi), DIB_PAL_COLORS,
                          SRCCOPY),
            1);
  EXPECT_EQ(c.Rgb(2, 0), 0x010203u);
  EXPECT_EQ(c.Rgb(3, 0), 0x0A141Eu);
  SelectPalette(c.dc, old, FALSE);
  EXPECT_TRUE(DeleteObject(pal)) << "deselected";
}

TEST(ConformanceTest, DibIndexIsTheStoredValueOnTableFormatsAndBlackElsewhere) {
  for (int depth : {4, 8, 32}) {
    SCOPED_TRACE(std::to_string(depth) + " bits");
    TFormatDib dib(depth, 2, 1, 0);
    PatBlt(dib.dc, 0, 0, 2, 1, WHITENESS);
    HBRUSH b = CreateSolidBrush(DIBINDEX(3));
    RECT r{0, 0, 1, 1};
    FillRect(dib.dc, &r, b);
    DeleteObject(b);
    COLORREF want = depth == 32 ? RGB(0, 0, 0) : [&] {
      BYTE v = BYTE(3 * 255 / ((1 << depth) - 1));
      return RGB(v, v, v);
    }();
    EXPECT_EQ(GetPixel(dib.dc, 0, 0), want);
  }
}

// Pattern brushes and binary operations on 32 bits carry the fourth byte.
TEST(ConformanceTest, ThirtyTwoBitPatternsKeepTheirFourthByte) {
  TDibCanvas pattern(2, 2, 0x80102030u);
  HBRUSH b = CreatePatternBrush(pattern.bmp);
  TDibCanvas c(4, 2, 0);
  HGDIOBJ old = SelectObject(c.dc, b);
  PatBlt(c.dc, 0, 0, 4, 2, PATCOPY);
  EXPECT_EQ(c.At(3, 1), 0x80102030u);
  SelectObject(c.dc, old);
  DeleteObject(b);
  c.Fill(0xCCCCCCCCu);
  SetROP2(c.dc, R2_NOT);
  MoveToEx(c.dc, 0, 0, nullptr);
  LineTo(c.dc, 4, 0);
  EXPECT_EQ(c.At(1, 0), 0x33333333u);
  SetROP2(c.dc, R2_COPYPEN);
  MoveToEx(c.dc, 0, 1, nullptr);
  LineTo(c.dc, 4, 1);
  EXPECT_EQ(c.At(1, 1), 0x00000000u) << "a solid pen writes 0 in the fourth byte";
}

// A 1 x 4 32-bit DIB whose rows, top to bottom, are 1, 2, 3, 4.
struct TColumnDib {
  BITMAPINFO bi{};
  uint32_t px[4];
  explicit TColumnDib(bool topDown) {
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 1, topDown ? -4 : 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    for (int row = 0; row < 4; ++row) px[topDown ? row : 3 - row] = uint32_t(row + 1);
  }
};

TEST(ConformanceTest, StretchDIBitsCountsSourceRowsFromTheBottom) {
  for (bool topDown : {false, true}) {
    SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
    TColumnDib dib(topDown);
    TDibCanvas c(1, 2, 0);
    EXPECT_NE(StretchDIBits(c.dc, 0, 0, 1, 2, 0, 0, 1, 2, dib.px, &dib.bi, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(c.At(0, 0), 3u) << "the bottom two rows";
    EXPECT_EQ(c.At(0, 1), 4u);
    c.Fill(0);
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 1, 2, 0, 2, 1, -2, dib.px, &dib.bi, DIB_RGB_COLORS, SRCCOPY), 0)
        << "negative source height";
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 1, 2, 1, 0, -1, 2, dib.px, &dib.bi, DIB_RGB_COLORS, SRCCOPY), 0)
        << "negative source width";
    EXPECT_EQ(c.At(0, 0), 0u) << "nothing drawn";
  }
}

TEST(ConformanceTest, RunLengthEncodedSourcesDecode) {
  struct TCase {
    const char* name;
    DWORD compression;
    WORD bits;
    std::vector<uint8_t> data;
  };
  // A 4 x 2 picture, bottom row first: bottom 1 1 1 2, top 3 0 2 1.
  const TCase cases[] = {
      {"RLE8", BI_RLE8, 8, {3, 1, 1, 2, 0, 0, 0, 4, 3, 0, 2, 1, 0, 1}},
      {"RLE4", BI_RLE4, 4, {3, 0x11, 1, 0x22, 0, 0, 0, 4, 0x30, 0x21, 0, 1}},
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE(k.name);
    struct {
      BITMAPINFOHEADER h;
      RGBQUAD colors[4];
    } bi{{sizeof(BITMAPINFOHEADER), 4, 2, 1, k.bits, k.compression, DWORD(k.data.size()), 0, 0, 4, 0},
         {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}}};
    TDibCanvas c(4, 2, 0x00777777u);
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 4, 2, 0, 0, 4, 2, k.data.data(), reinterpret_cast<BITMAPINFO*>(&bi),
                            DIB_RGB_COLORS, SRCCOPY),
              2);
    const uint32_t red = 0xFF0000u, green = 0x00FF00u, blue = 0x0000FFu;
    const uint32_t top[4] = {blue, 0, green, red}, bottom[4] = {red, red, red, green};
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(c.Rgb(x, 0), top[x]) << "top " << x;
      EXPECT_EQ(c.Rgb(x, 1), bottom[x]) << "bottom " << x;
    }
    // Data that ends early or runs past the picture draws what it holds.
    std::vector<uint8_t> cut(k.data.begin(), k.data.begin() + 3);
    bi.h.biSizeImage = 3;
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 4, 2, 0, 0, 4, 2, cut.data(), reinterpret_cast<BITMAPINFO*>(&bi),
                            DIB_RGB_COLORS, SRCCOPY),
              2);
    const uint8_t wide[] = {255, 1, 0, 2, 200, 200, 0, 1};
    bi.h.biSizeImage = sizeof wide;
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 4, 2, 0, 0, 4, 2, wide, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS,
                            SRCCOPY),
              2);
    bi.h.biSizeImage = 0;
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 4, 2, 0, 0, 4, 2, k.data.data(), reinterpret_cast<BITMAPINFO*>(&bi),
                            DIB_RGB_COLORS, SRCCOPY),
              0)
        << "without the size of its data";
  }
}

TEST(ConformanceTest, GetDIBitsTakesTheCallersWidthAndCountsScansFromTheBottom) {
  TDibCanvas c(4, 4, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) c.At(x, y) = uint32_t(y * 16 + x);
  struct TCase {
    int width;
    bool topDown;
    UINT start, lines;
    std::vector<uint32_t> want;  // the buffer, row by row
  };
  const TCase cases[] = {
      {4, false, 0, 2, {48, 49, 50, 51, 32, 33, 34, 35}},
      {4, true, 0, 2, {32, 33, 34, 35, 48, 49, 50, 51}},
      {4, true, 2, 2, {0, 1, 2, 3, 16, 17, 18, 19}},
      {2, true, 0, 4, {0, 1, 16, 17, 32, 33, 48, 49}},
      {5, true, 3, 1, {0, 1, 2, 3, 0}},
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE("width " + std::to_string(k.width) + (k.topDown ? " top-down" : " bottom-up") + " from " +
                 std::to_string(k.start));
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), k.width, k.topDown ? -4 : 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> out(k.want.size() + 4, 0xDEADBEEFu);
    EXPECT_EQ(GetDIBits(c.dc, c.bmp, k.start, k.lines, out.data(), &bi, DIB_RGB_COLORS), int(k.lines));
    for (size_t i = 0; i < k.want.size(); ++i) EXPECT_EQ(out[i], k.want[i]) << "at " << i;
    EXPECT_EQ(out[k.want.size()], 0xDEADBEEFu) << "nothing written past the rows";
  }
}

TEST(ConformanceTest, MitredJoinsReachTheCornerWithinTheLimit) {
  struct TCase {
    DWORD join;
    float limit;
    bool corner;
  };
  const TCase cases[] = {
      {PS_JOIN_MITER, 10, true},
      {PS_JOIN_MITER, 1.5f, true},   // a right angle needs sqrt(2)
      {PS_JOIN_MITER, 1.2f, false},  // beyond the limit: bevelled
      {PS_JOIN_BEVEL, 10, false},
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE(std::to_string(k.join) + " limit " + std::to_string(k.limit));
    TDibCanvas c(100, 100, 0x00FFFFFFu);
    LOGBRUSH lb{BS_SOLID, RGB(0, 0, 0), 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | k.join, 10, &lb, 0, nullptr);
    HGDIOBJ old = SelectObject(c.dc, pen);
    float was = 0;
    EXPECT_TRUE(SetMiterLimit(c.dc, k.limit, &was));
    EXPECT_FLOAT_EQ(was, 10);
    const POINT pts[] = {{20, 50}, {60, 50}, {60, 90}};
    Polyline(c.dc, pts, 3);
    EXPECT_EQ(c.Rgb(64, 46) == 0, k.corner) << "the outer corner";
    EXPECT_EQ(c.Rgb(62, 48), 0u) << "inside the bevel either way";
    SelectObject(c.dc, old);
    DeleteObject(pen);
  }
  TDibCanvas c(4, 4);
  float limit = 0;
  EXPECT_TRUE(GetMiterLimit(c.dc, &limit));
  EXPECT_FLOAT_EQ(limit, 10);
  EXPECT_FALSE(SetMiterLimit(c.dc, 0.5f, nullptr)) << "a mitre is never shorter than the width";
}

TEST(ConformanceTest, BoundsAccumulateWhileEnabled) {
  TDibCanvas c(100, 100, 0);
  RECT r{};
  EXPECT_EQ(GetBoundsRect(c.dc, &r, 0), UINT(DCB_RESET | DCB_DISABLE)) << "off and empty at first";
  RECT fill{10, 10, 20, 20};
  FillRect(c.dc, &fill, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(GetBoundsRect(c.dc, &r, 0), UINT(DCB_RESET | DCB_DISABLE)) << "nothing kept while off";

  EXPECT_EQ(SetBoundsRect(c.dc, nullptr, DCB_ENABLE), UINT(DCB_RESET | DCB_DISABLE));
  FillRect(c.dc, &fill, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetPixel(c.dc, 50, 5, RGB(1, 1, 1));
  MoveToEx(c.dc, 30, 60, nullptr);
  LineTo(c.dc, 40, 60);
  EXPECT_EQ(GetBoundsRect(c.dc, &r, 0), UINT(DCB_SET | DCB_ENABLE));
  EXPECT_EQ(r, RECT(10, 5, 51, 61)) << "the union of what was drawn";

  // Logical coordinates both ways.
  SetWindowOrgEx(c.dc, -5, -5, nullptr);
  EXPECT_EQ(GetBoundsRect(c.dc, &r, DCB_RESET), UINT(DCB_SET | DCB_ENABLE));
  EXPECT_EQ(r, RECT(5, 0, 46, 56));
  EXPECT_EQ(GetBoundsRect(c.dc, &r, 0), UINT(DCB_RESET | DCB_ENABLE)) << "reset";
  RECT extra{0, 0, 2, 2};
  SetBoundsRect(c.dc, &extra, DCB_ACCUMULATE | DCB_DISABLE);
  GetBoundsRect(c.dc, &r, 0);
  EXPECT_EQ(r, extra);
  RECT more{10, 10, 11, 11};
  FillRect(c.dc, &more, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  GetBoundsRect(c.dc, &r, 0);
  EXPECT_EQ(r, extra) << "disabled again";
}

// A polygon filled without an outline paints the pixels of the region of
// the same polygon, in both fill modes, under a clip of several pieces.
TEST(ConformanceTest, OutlineFreePolygonsFillTheirRegionsPixels) {
  std::vector<POINT> star;
  for (int i = 0; i < 10; ++i) {
    double a = i * 3.14159265358979 / 5, r = (i & 1) ? 12 : 30;
    star.push_back(POINT(int(40 + r * std::cos(a)), int(35 + r * std::sin(a))));
  }
  // A self-crossing pentagram, where the two modes differ.
  std::vector<POINT> cross;
  for (int i = 0; i < 5; ++i) {
    double a = i * 4 * 3.14159265358979 / 5;
    cross.push_back(POINT(int(40 + 30 * std::cos(a)), int(35 + 30 * std::sin(a))));
  }
  for (const auto* pts : {&star, &cross})
    for (int mode : {ALTERNATE, WINDING}) {
      SCOPED_TRACE(std::to_string(pts->size()) + " points, mode " + std::to_string(mode));
      TDibCanvas a(80, 70, 0), b(80, 70, 0);
      for (TDibCanvas* c : {&a, &b}) {
        HRGN clip = CreateRectRgn(0, 0, 35, 70);
        HRGN other = CreateRectRgn(45, 10, 80, 60);
        CombineRgn(clip, clip, other, RGN_OR);
        SelectClipRgn(c->dc, clip);
        DeleteObject(clip);
        DeleteObject(other);
        SetPolyFillMode(c->dc, mode);
      }
      SelectObject(a.dc, GetStockObject(NULL_PEN));
      SelectObject(a.dc, GetStockObject(WHITE_BRUSH));
      Polygon(a.dc, pts->data(), int(pts->size()));
      HRGN shape = CreatePolygonRgn(pts->data(), int(pts->size()), mode);
      FillRgn(b.dc, shape, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      DeleteObject(shape);
      EXPECT_GT(a.CountNot(0, 0, 0, 80, 70), 100);
      for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 80; ++x) ASSERT_EQ(a.At(x, y), b.At(x, y)) << x << "," << y;
    }
}

}  // namespace
