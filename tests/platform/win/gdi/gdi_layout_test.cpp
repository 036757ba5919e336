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

struct TLayoutDrawCase {
  const char* name;
  void (*draw)(HDC dc);
};

HBRUSH gBlack() { return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)); }

const TLayoutDrawCase kDraws[] = {
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

// A mirrored DC maps through its own extents: it reads as anisotropic,
// keeps its layout through SetMapMode, and the world transform goes when
// the graphics mode returns to compatible.
TEST(LayoutTest, MappingStateOfAMirroredDC) {
  TDibCanvas c(kLayoutW, kLayoutH, 0x00FFFFFFu);
  EXPECT_EQ(GetMapMode(c.dc), MM_TEXT);
  SetLayout(c.dc, LAYOUT_RTL);
  EXPECT_EQ(GetMapMode(c.dc), MM_ANISOTROPIC);
  struct TCase {
    int Mode, Reads;
  } cases[] = {{MM_TEXT, MM_ANISOTROPIC}, {MM_LOMETRIC, MM_LOMETRIC}, {MM_ISOTROPIC, MM_ISOTROPIC},
               {MM_ANISOTROPIC, MM_ANISOTROPIC}, {MM_TEXT, MM_ANISOTROPIC}};
  for (const TCase& k : cases) {
    SetMapMode(c.dc, k.Mode);
    EXPECT_EQ(GetMapMode(c.dc), k.Reads) << k.Mode;
    EXPECT_EQ(GetLayout(c.dc), DWORD(LAYOUT_RTL)) << "the layout stays, mode " << k.Mode;
  }
  // Still one logical unit per pixel, mirrored.
  SetPixel(c.dc, 2, 1, RGB(0, 0, 0));
  EXPECT_EQ(c.Rgb(kLayoutW - 3, 1), 0u);

  SetGraphicsMode(c.dc, GM_ADVANCED);
  XFORM twice{2, 0, 0, 2, 0, 0};
  EXPECT_TRUE(SetWorldTransform(c.dc, &twice));
  EXPECT_EQ(SetGraphicsMode(c.dc, GM_COMPATIBLE), GM_ADVANCED);
  XFORM now{};
  EXPECT_TRUE(GetWorldTransform(c.dc, &now));
  EXPECT_EQ(now.eM11, 1.0f);
  EXPECT_EQ(now.eM22, 1.0f);
  SetGraphicsMode(c.dc, GM_ADVANCED);
  GetWorldTransform(c.dc, &now);
  EXPECT_EQ(now.eM11, 1.0f) << "gone, not hidden";
}

// Clipping in a mirrored DC works in its logical, mirrored space: the
// regions and boxes read back are the ones put in, and move as logical
// coordinates do, while the pixels they let through are mirrored.
TEST(LayoutTest, ClippingWorksInTheMirroredSpace) {
  struct TStep {
    const char* Name;
    void (*Apply)(HDC dc);
    RECT Box;  // GetClipBox and the selected region's box afterwards
  };
  const TStep steps[] = {
      {"select a region",
       [](HDC dc) {
         HRGN r = CreateRectRgn(0, 2, 10, 8);
         SelectClipRgn(dc, r);
         DeleteObject(r);
       },
       {0, 2, 10, 8}},
      {"offset", [](HDC dc) { OffsetClipRgn(dc, 5, 1); }, {5, 3, 15, 9}},
      {"intersect", [](HDC dc) { IntersectClipRect(dc, 8, 0, 30, 6); }, {8, 3, 15, 6}},
      {"exclude the left part", [](HDC dc) { ExcludeClipRect(dc, 0, 0, 10, kLayoutH); }, {10, 3, 15, 6}},
  };
  TDibCanvas c(kLayoutW, kLayoutH, 0);
  SetLayout(c.dc, LAYOUT_RTL);
  for (const TStep& k : steps) {
    SCOPED_TRACE(k.Name);
    k.Apply(c.dc);
    RECT box{};
    EXPECT_NE(GetClipBox(c.dc, &box), ERROR);
    EXPECT_EQ(box, k.Box);
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(c.dc, got), 1);
    RECT rgnBox{};
    GetRgnBox(got, &rgnBox);
    EXPECT_EQ(rgnBox, k.Box) << "GetClipRgn";
    EXPECT_EQ(GetRandomRgn(c.dc, got, 1), 1);
    GetRgnBox(got, &rgnBox);
    EXPECT_EQ(rgnBox, k.Box) << "GetRandomRgn";
    // Selected again, the region read back clips as before.
    SelectClipRgn(c.dc, got);
    DeleteObject(got);
    c.Fill(0);
    RECT all{0, 0, kLayoutW, kLayoutH};
    FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const RECT ink = c.InkBox(0);
    EXPECT_EQ(ink, RECT(kLayoutW - k.Box.Right, k.Box.Top, kLayoutW - k.Box.Left, k.Box.Bottom)) << "the pixels let through";
  }
}

// Text in a mirrored DC is the mirror image of the same text left to
// right, glyphs included, unless the layout preserves bitmaps'
// orientation: then it reads left to right in its mirrored place.
TEST(LayoutTest, TextMirrorsWithBitmapOrientation) {
  const int w = 60, h = 20;
  TDibCanvas ltr(w, h, 0);
  auto draw = [](HDC dc, UINT align) {
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, align);
    TextOutW(dc, align == TA_RIGHT ? 40 : 4, 2, u"Fg7", 3);
  };
  for (UINT align : {UINT(TA_LEFT), UINT(TA_RIGHT)})
    for (DWORD layout : {DWORD(LAYOUT_RTL), DWORD(LAYOUT_RTL | LAYOUT_BITMAPORIENTATIONPRESERVED)}) {
      SCOPED_TRACE("align " + std::to_string(align) + ", layout " + std::to_string(layout));
      ltr.Fill(0);
      draw(ltr.dc, align);
      TDibCanvas rtl(w, h, 0);
      SetLayout(rtl.dc, layout);
      draw(rtl.dc, align);
      const RECT box = ltr.InkBox(0);
      ASSERT_LT(box.Left, box.Right);
      EXPECT_EQ(rtl.InkBox(0), RECT(w - box.Right, box.Top, w - box.Left, box.Bottom)) << "the mirrored place";
      const bool readable = layout & LAYOUT_BITMAPORIENTATIONPRESERVED;
      int wrong = 0;
      for (int y = 0; y < h; ++y)
        for (int x = box.Left; x < box.Right; ++x) {
          const int at = readable ? x - box.Left + (w - box.Right) : w - 1 - x;
          wrong += rtl.At(at, y) != ltr.At(x, y);
        }
      EXPECT_EQ(wrong, 0) << (readable ? "read as left to right" : "the mirror image");
    }
}

}  // namespace
