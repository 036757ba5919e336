// Right-to-left layouts: logical x counts from the right edge of the DC's
// surface, so everything drawn is the mirror image of the same calls in a
// left-to-right DC, clipping included; bitmaps are mirrored with it unless
// the layout preserves their orientation.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/common/dib_canvas.h"
#include "tests/platform/win/gdi/format_dib.h"

namespace {

const int kLayoutDepths[] = {1, 4, 8, 16, 24, 32};
const int kLayoutW = 40, kLayoutH = 16;

struct TDrawCase {
  const char* name;
  void (*draw)(HDC dc);
};

HBRUSH gBlack() { return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)); }

const TDrawCase kDraws[] = {
    {"FillRect",
     [](HDC dc) {
       RECT r{2, 3, 9, 7};
       FillRect(dc, &r, gBlack());
     }},
    {"PatBlt",
     [](HDC dc) {
       SelectObject(dc, gBlack());
       PatBlt(dc, 5, 1, 11, 4, PATCOPY);
     }},
    {"Rectangle", [](HDC dc) { Rectangle(dc, 3, 2, 17, 12); }},
    {"null-pen Rectangle",
     [](HDC dc) {
       SelectObject(dc, GetStockObject(NULL_PEN));
       SelectObject(dc, gBlack());
       Rectangle(dc, 3, 2, 17, 12);
     }},
    {"Ellipse", [](HDC dc) { Ellipse(dc, 1, 1, 20, 14); }},
    {"LineTo",
     [](HDC dc) {
       MoveToEx(dc, 2, 3, nullptr);
       LineTo(dc, 30, 11);
     }},
    // No pixel centre lies on an edge of this triangle and no edge has a
    // half-pixel tie: the rules for both favour one side, which a mirror
    // swaps.
    {"Polygon",
     [](HDC dc) {
       POINT p[] = {{2, 1}, {24, 5}, {10, 13}};
       Polygon(dc, p, 3);
     }},
    {"null-pen Polygon",
     [](HDC dc) {
       SelectObject(dc, GetStockObject(NULL_PEN));
       SelectObject(dc, gBlack());
       POINT p[] = {{2, 1}, {24, 5}, {10, 13}};
       Polygon(dc, p, 3);
     }},
    {"dashed Ellipse",
     [](HDC dc) {
       SelectObject(dc, gBlack());
       HPEN pen = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
       HGDIOBJ old = SelectObject(dc, pen);
       Ellipse(dc, 1, 1, 20, 14);
       SelectObject(dc, old);
       DeleteObject(pen);
     }},
    {"SetPixel", [](HDC dc) { SetPixel(dc, 0, 0, RGB(0, 0, 0)); }},
    {"gradient",
     [](HDC dc) {
       TRIVERTEX v[2] = {{4, 2, 0xFF00, 0, 0, 0}, {28, 9, 0, 0, 0xFF00, 0}};
       GRADIENT_RECT r{0, 1};
       GradientFill(dc, v, 2, &r, 1, GRADIENT_FILL_RECT_H);
     }},
    {"triangle gradient",
     [](HDC dc) {
       TRIVERTEX v[3] = {{3, 1, 0xFF00, 0, 0, 0}, {30, 3, 0, 0xFF00, 0, 0}, {8, 15, 0, 0, 0xFF00, 0}};
       GRADIENT_TRIANGLE t{0, 1, 2};
       GradientFill(dc, v, 3, &t, 1, GRADIENT_FILL_TRIANGLE);
     }},
    {"clipped FillRect",
     [](HDC dc) {
       IntersectClipRect(dc, 0, 0, 7, kLayoutH);
       RECT r{3, 3, 20, 9};
       FillRect(dc, &r, gBlack());
     }},
    {"excluded FillRect",
     [](HDC dc) {
       ExcludeClipRect(dc, 6, 0, 10, kLayoutH);
       RECT r{3, 3, 20, 9};
       FillRect(dc, &r, gBlack());
     }},
    {"device clip region",
     [](HDC dc) {
       HRGN rgn = CreateRectRgn(0, 2, 12, 10);
       SelectClipRgn(dc, rgn);
       DeleteObject(rgn);
       RECT r{3, 0, 30, kLayoutH};
       FillRect(dc, &r, gBlack());
     }},
    {"BitBlt of a pattern",
     [](HDC dc) {
       TDibCanvas src(6, 3, 0x00FFFFFFu);
       for (int x = 0; x < 6; x += 2) src.At(x, 1) = 0;
       src.At(1, 0) = 0;
       BitBlt(dc, 4, 4, 6, 3, src.dc, 0, 0, SRCCOPY);
     }},
};

TEST(LayoutTest, RightToLeftDrawsTheMirrorImageInEveryDepth) {
  for (int depth : kLayoutDepths)
    for (const auto& c : kDraws) {
      TFormatDib ltr(depth, kLayoutW, kLayoutH, 0xFF), rtl(depth, kLayoutW, kLayoutH, 0xFF);
      EXPECT_EQ(SetLayout(rtl.dc, LAYOUT_RTL), 0u);
      int saved = SaveDC(ltr.dc), savedR = SaveDC(rtl.dc);
      c.draw(ltr.dc);
      c.draw(rtl.dc);
      RestoreDC(ltr.dc, saved);
      RestoreDC(rtl.dc, savedR);
      int drawn = 0, wrong = 0;
      for (int y = 0; y < kLayoutH; ++y)
        for (int x = 0; x < kLayoutW; ++x) {
          drawn += ltr.Value(x, y) != ltr.FilledValue(0xFF, x);
          wrong += rtl.Value(kLayoutW - 1 - x, y) != ltr.Value(x, y);
        }
      EXPECT_GT(drawn, 0) << c.name;
      EXPECT_EQ(wrong, 0) << c.name << ", " << depth << " bits";
    }
}

TEST(LayoutTest, LogicalXCountsFromTheRightEdge) {
  TDibCanvas c(kLayoutW, kLayoutH, 0x00FFFFFFu);
  EXPECT_EQ(GetLayout(c.dc), 0u);
  EXPECT_EQ(SetLayout(c.dc, LAYOUT_RTL), 0u);
  EXPECT_EQ(GetLayout(c.dc), DWORD(LAYOUT_RTL));
  SetPixel(c.dc, 0, 0, RGB(0, 0, 0));
  EXPECT_EQ(c.Rgb(kLayoutW - 1, 0), 0u);
  EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(0, 0, 0));
  RECT r{0, 2, 3, 3};
  FillRect(c.dc, &r, gBlack());
  EXPECT_EQ(c.CountNot(0, kLayoutW - 3, 2, kLayoutW, 3), 0);
  EXPECT_EQ(c.Rgb(kLayoutW - 4, 2), 0xFFFFFFu);
  // The clip box is logical.
  IntersectClipRect(c.dc, 1, 0, 6, kLayoutH);
  RECT box{};
  GetClipBox(c.dc, &box);
  EXPECT_EQ(box.Left, 1);
  EXPECT_EQ(box.Right, 6);
  EXPECT_TRUE(PtVisible(c.dc, 5, 0));
  EXPECT_FALSE(PtVisible(c.dc, 6, 0));
  RECT in{2, 0, 4, 1}, out{7, 0, 9, 1};
  EXPECT_TRUE(RectVisible(c.dc, &in));
  EXPECT_FALSE(RectVisible(c.dc, &out));
  // Back to left to right.
  EXPECT_EQ(SetLayout(c.dc, 0), DWORD(LAYOUT_RTL));
  SelectClipRgn(c.dc, nullptr);
  SetPixel(c.dc, 0, 5, RGB(0, 0, 0));
  EXPECT_EQ(c.Rgb(0, 5), 0u);
  EXPECT_EQ(SetLayout(HDC(0x4444), LAYOUT_RTL), DWORD(GDI_ERROR));
  EXPECT_EQ(GetLayout(HDC(0x4444)), DWORD(GDI_ERROR));
}

// Blits to a mirrored DC land on the mirrored place; the picture is
// mirrored with them unless LAYOUT_BITMAPORIENTATIONPRESERVED is set.
TEST(LayoutTest, BitmapOrientationPreservedKeepsBlitsUnmirrored) {
  struct TBlit {
    const char* name;
    void (*blit)(HDC dst, HDC src, const BITMAPINFO* bi, const void* bits);
  } blits[] = {
      {"BitBlt", [](HDC d, HDC s, const BITMAPINFO*, const void*) { BitBlt(d, 2, 1, 5, 2, s, 0, 0, SRCCOPY); }},
      {"StretchBlt",
       [](HDC d, HDC s, const BITMAPINFO*, const void*) { StretchBlt(d, 2, 1, 10, 2, s, 0, 0, 5, 2, SRCCOPY); }},
      {"StretchDIBits",
       [](HDC d, HDC, const BITMAPINFO* bi, const void* bits) {
         StretchDIBits(d, 2, 1, 5, 2, 0, 0, 5, 2, bits, bi, DIB_RGB_COLORS, SRCCOPY);
       }},
      {"AlphaBlend",
       [](HDC d, HDC s, const BITMAPINFO*, const void*) {
         AlphaBlend(d, 2, 1, 5, 2, s, 0, 0, 5, 2, BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0});
       }},
  };
  TDibCanvas src(5, 2, 0);
  for (int x = 0; x < 5; ++x) src.At(x, 0) = src.At(x, 1) = uint32_t(x + 1) * 0x101010u;
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 5, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  for (const auto& b : blits)
    for (DWORD layout : {DWORD(0), DWORD(LAYOUT_RTL), DWORD(LAYOUT_RTL | LAYOUT_BITMAPORIENTATIONPRESERVED)}) {
      TDibCanvas d(kLayoutW, 4, 0x00FFFFFFu);
      SetLayout(d.dc, layout);
      EXPECT_EQ(GetLayout(d.dc), layout);
      b.blit(d.dc, src.dc, &bi, src.bits);
      const bool stretched = std::string(b.name) == "StretchBlt";
      const int w = stretched ? 10 : 5;
      const bool mirrored = layout & LAYOUT_RTL, flipped = layout == LAYOUT_RTL && std::string(b.name) != "AlphaBlend";
      // Where logical column 2 + i lands, and which source column it shows.
      std::string got, want;
      for (int i = 0; i < w; ++i) {
        int x = mirrored ? kLayoutW - 1 - (2 + i) : 2 + i;
        int srcCol = (stretched ? i / 2 : i);
        int shown = flipped ? srcCol : (mirrored ? (w - 1 - i) / (stretched ? 2 : 1) : srcCol);
        want += char('0' + ((shown + 1) & 0xF));
        got += char('0' + ((d.Rgb(x, 1) & 0xFF) / 0x10 & 0xF));
      }
      EXPECT_EQ(got, want) << b.name << ", layout " << layout;
      EXPECT_EQ(d.CountNot(0xFFFFFFu, 0, 0, kLayoutW, 1, 0xFFFFFFu), 0) << b.name << ": row 0 untouched";
    }
}

}  // namespace
