// Drawing on DIB sections of every depth: a call changes only the pixels
// it draws, and raster operations work on the values the format stores
// (palette indexes, packed 16-bit words), as the device does.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/common/dib_canvas.h"
#include "tests/platform/win/gdi/format_dib.h"

namespace {

const int kDepths[] = {1, 4, 8, 16, 24, 32};

struct TDrawCase {
  const char* name;
  void (*draw)(HDC dc);
};

// Each draws into pixels (0,0) and (1,0) only.
const TDrawCase kDrawCases[] = {
    {"PatBlt PATCOPY",
     [](HDC dc) {
       HGDIOBJ old = SelectObject(dc, CreateSolidBrush(RGB(10, 200, 30)));
       PatBlt(dc, 0, 0, 2, 1, PATCOPY);
       DeleteObject(SelectObject(dc, old));
     }},
    {"PatBlt DSTINVERT", [](HDC dc) { PatBlt(dc, 0, 0, 2, 1, DSTINVERT); }},
    {"FillRect",
     [](HDC dc) {
       RECT r{0, 0, 2, 1};
       HBRUSH b = CreateSolidBrush(RGB(250, 10, 10));
       FillRect(dc, &r, b);
       DeleteObject(b);
     }},
    {"hatched FillRect",
     [](HDC dc) {
       RECT r{0, 0, 2, 1};
       HBRUSH b = CreateHatchBrush(HS_DIAGCROSS, RGB(250, 10, 10));
       FillRect(dc, &r, b);
       DeleteObject(b);
     }},
    {"LineTo",
     [](HDC dc) {
       MoveToEx(dc, 0, 0, nullptr);
       LineTo(dc, 2, 0);
     }},
    {"SetPixel",
     [](HDC dc) {
       SetPixel(dc, 0, 0, RGB(1, 2, 3));
       SetPixel(dc, 1, 0, RGB(255, 255, 255));
     }},
    {"BitBlt from 32 bits",
     [](HDC dc) {
       TDibCanvas src(2, 1, 0x00FF8040u);
       BitBlt(dc, 0, 0, 2, 1, src.dc, 0, 0, SRCCOPY);
     }},
    {"StretchBlt HALFTONE",
     [](HDC dc) {
       TDibCanvas src(4, 2, 0x00102030u);
       SetStretchBltMode(dc, HALFTONE);
       StretchBlt(dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 2, SRCCOPY);
     }},
    {"AlphaBlend",
     [](HDC dc) {
       TDibCanvas src(2, 1, 0x00FFFFFFu);
       AlphaBlend(dc, 0, 0, 2, 1, src.dc, 0, 0, 2, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 0});
     }},
    {"GradientFill",
     [](HDC dc) {
       TRIVERTEX v[2] = {{0, 0, 0xFF00, 0, 0, 0}, {2, 1, 0, 0xFF00, 0, 0}};
       GRADIENT_RECT r{0, 1};
       GradientFill(dc, v, 2, &r, 1, GRADIENT_FILL_RECT_H);
     }},
};

// The fault this guards against: converting whole rows to 32 bits and back
// re-quantises every pixel of the row (16-bit pixels lose their top bit,
// indexes move to the nearest colour).
TEST(FormatTest, DrawingChangesOnlyThePixelsItDraws) {
  for (int depth : kDepths)
    for (const TDrawCase& c : kDrawCases) {
      SCOPED_TRACE(std::to_string(depth) + " bits, " + c.name);
      TFormatDib dib(depth, 8, 2, 0xCC);
      c.draw(dib.dc);
      for (int y = 0; y < 2; ++y)
        for (int x = y == 0 ? 2 : 0; x < 8; ++x)
          EXPECT_EQ(dib.Value(x, y), dib.FilledValue(0xCC, x)) << "pixel " << x << "," << y;
    }
}

TEST(FormatTest, SixteenBitPixelsBesideAPatBltKeepTheirBytes) {
  TFormatDib dib(16, 8, 2, 0xCC);
  PatBlt(dib.dc, 0, 0, 2, 1, PATCOPY);
  for (int x = 2; x < 8; ++x) {
    EXPECT_EQ(dib.bits[2 * x], 0xCC) << x;
    EXPECT_EQ(dib.bits[2 * x + 1], 0xCC) << x;
  }
  EXPECT_EQ(dib.Value(0, 0), 0x7FFFu) << "white in 5-5-5, its top bit clear";
}

// Inverting works on the stored value: ~index for a table format, the
// whole word for 16 bits, all four bytes for 32 bits.
TEST(FormatTest, RasterOperationsWorkOnStoredValues) {
  struct TOp {
    const char* name;
    void (*draw)(HDC dc);
  };
  const TOp ops[] = {
      {"DSTINVERT", [](HDC dc) { PatBlt(dc, 0, 0, 2, 1, DSTINVERT); }},
      {"R2_NOT line",
       [](HDC dc) {
         SetROP2(dc, R2_NOT);
         MoveToEx(dc, 0, 0, nullptr);
         LineTo(dc, 2, 0);
       }},
      {"R2_NOT rectangle fill",
       [](HDC dc) {
         SetROP2(dc, R2_NOT);
         SelectObject(dc, GetStockObject(NULL_PEN));
         Rectangle(dc, 0, 0, 3, 2);
       }},
      {"InvertRect",
       [](HDC dc) {
         RECT r{0, 0, 2, 1};
         InvertRect(dc, &r);
       }},
  };
  for (int depth : kDepths)
    for (const TOp& op : ops) {
      SCOPED_TRACE(std::to_string(depth) + " bits, " + op.name);
      TFormatDib dib(depth, 8, 2, 0xCC);
      op.draw(dib.dc);
      uint32_t mask = depth == 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
      EXPECT_EQ(dib.Value(0, 0), ~dib.FilledValue(0xCC, 0) & mask);
      EXPECT_EQ(dib.Value(1, 0), ~dib.FilledValue(0xCC, 1) & mask);
      EXPECT_EQ(dib.Value(2, 0), dib.FilledValue(0xCC, 2));
    }
}

TEST(FormatTest, XorTwiceRestoresEveryFormat) {
  for (int depth : kDepths) {
    SCOPED_TRACE(std::to_string(depth) + " bits");
    TFormatDib dib(depth, 8, 2, 0x5A);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x80, 0x40, 0x20));
    HGDIOBJ old = SelectObject(dib.dc, pen);
    SetROP2(dib.dc, R2_XORPEN);
    for (int i = 0; i < 2; ++i) {
      MoveToEx(dib.dc, 0, 1, nullptr);
      LineTo(dib.dc, 8, 1);
    }
    for (int x = 0; x < 8; ++x) EXPECT_EQ(dib.Value(x, 1), dib.FilledValue(0x5A, x)) << x;
    DeleteObject(SelectObject(dib.dc, old));
  }
}

TEST(FormatTest, ColoursLandOnTheNearestPaletteIndex) {
  for (int depth : {1, 4, 8}) {
    SCOPED_TRACE(std::to_string(depth) + " bits");
    TFormatDib dib(depth, 8, 1, 0x00);
    const uint32_t last = (1u << depth) - 1;
    SetPixel(dib.dc, 0, 0, RGB(255, 255, 255));
    SetPixel(dib.dc, 1, 0, RGB(0, 0, 1));
    RECT r{2, 0, 4, 1};
    FillRect(dib.dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(dib.Value(0, 0), last);
    EXPECT_EQ(dib.Value(1, 0), 0u);
    EXPECT_EQ(dib.Value(2, 0), last);
    EXPECT_EQ(dib.Value(3, 0), last);
    EXPECT_EQ(GetPixel(dib.dc, 3, 0), RGB(255, 255, 255));
  }
}

}  // namespace
