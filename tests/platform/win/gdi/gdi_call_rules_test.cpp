// What calls accept and answer: the arguments AlphaBlend and GradientFill
// refuse, and that calls which succeed leave the last error alone; which
// pens and pattern brushes can be made and what GetObject tells of them;
// the bounds every drawing call adds to while accumulation is on.
#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "tests/common/dib_canvas.h"

namespace {

constexpr DWORD kUntouched = 0x0BADF00D;

TEST(CallRulesTest, AlphaBlendRefusesWhatTheOriginalRefuses) {
  struct TCase {
    const char* Name;
    int XSrc, YSrc, WSrc, HSrc;
    BLENDFUNCTION Blend;
    bool Ok;
  };
  const BLENDFUNCTION plain{AC_SRC_OVER, 0, 128, 0}, perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const TCase cases[] = {
      {"the whole source", 0, 0, 8, 8, plain, true},
      {"per-pixel alpha", 2, 2, 4, 4, perPixel, true},
      {"source past the right edge", 4, 0, 5, 8, plain, false},
      {"source past the bottom", 0, 1, 8, 8, plain, false},
      {"source left of the bitmap", -1, 0, 4, 4, plain, false},
      {"source above the bitmap", 0, -2, 4, 4, plain, false},
      {"negative source width", 4, 0, -2, 4, plain, false},
      {"blend flags", 0, 0, 4, 4, BLENDFUNCTION{AC_SRC_OVER, 1, 128, 0}, false},
      {"unknown alpha format", 0, 0, 4, 4, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 2}, false},
      {"unknown operation", 0, 0, 4, 4, BLENDFUNCTION{1, 0, 128, 0}, false},
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE(k.Name);
    TDibCanvas src(8, 8, 0x80FFFFFF), dst(16, 16, 0);
    SetLastError(kUntouched);
    const BOOL ok = AlphaBlend(dst.dc, 0, 0, 8, 8, src.dc, k.XSrc, k.YSrc, k.WSrc, k.HSrc, k.Blend);
    EXPECT_EQ(ok != FALSE, k.Ok);
    EXPECT_EQ(GetLastError(), k.Ok ? kUntouched : ERROR_INVALID_PARAMETER);
    EXPECT_EQ(dst.Rgb(1, 1) != 0, k.Ok) << "drawn only when accepted";
  }
}

TEST(CallRulesTest, GradientFillRefusesWhatTheOriginalRefuses) {
  TRIVERTEX v[3] = {{0, 0, 0xFF00, 0, 0, 0}, {8, 8, 0, 0xFF00, 0, 0}, {0, 8, 0, 0, 0xFF00, 0}};
  struct TCase {
    const char* Name;
    ULONG Mode;
    ULONG A, B, C;  // the mesh's vertex indexes (C for triangles only)
    bool Ok;
  };
  const TCase cases[] = {
      {"horizontal rectangle", GRADIENT_FILL_RECT_H, 0, 1, 0, true},
      {"vertical rectangle", GRADIENT_FILL_RECT_V, 0, 1, 0, true},
      {"triangle", GRADIENT_FILL_TRIANGLE, 0, 1, 2, true},
      {"rectangle index past the vertices", GRADIENT_FILL_RECT_H, 0, 3, 0, false},
      {"triangle index past the vertices", GRADIENT_FILL_TRIANGLE, 0, 1, 3, false},
      {"unknown mode", 3, 0, 1, 2, false},
      {"unknown mode far out", 0x100, 0, 1, 2, false},
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE(k.Name);
    TDibCanvas dst(16, 16, 0);
    GRADIENT_RECT rect{k.A, k.B};
    GRADIENT_TRIANGLE tri{k.A, k.B, k.C};
    void* mesh = k.Mode == GRADIENT_FILL_TRIANGLE || k.Mode > GRADIENT_FILL_TRIANGLE ? static_cast<void*>(&tri)
                                                                                     : static_cast<void*>(&rect);
    SetLastError(kUntouched);
    const BOOL ok = GradientFill(dst.dc, v, 3, mesh, 1, k.Mode);
    EXPECT_EQ(ok != FALSE, k.Ok);
    EXPECT_EQ(GetLastError(), k.Ok ? kUntouched : ERROR_INVALID_PARAMETER);
    EXPECT_EQ(dst.Rgb(1, 5) != 0, k.Ok) << "drawn only when accepted";
  }
}

TEST(CallRulesTest, ExtCreatePenTakesTheDocumentedStyles) {
  struct TCase {
    const char* Name;
    DWORD Style, Width;
    UINT BrushStyle;
    bool Made;
  };
  const TCase cases[] = {
      {"cosmetic solid", PS_COSMETIC | PS_SOLID, 1, BS_SOLID, true},
      {"cosmetic null", PS_COSMETIC | PS_NULL, 1, BS_SOLID, true},
      {"cosmetic null with a null brush", PS_COSMETIC | PS_NULL, 1, BS_NULL, true},
      {"cosmetic null two wide", PS_COSMETIC | PS_NULL, 2, BS_SOLID, false},
      {"cosmetic inside frame", PS_COSMETIC | PS_INSIDEFRAME, 1, BS_SOLID, false},
      {"geometric inside frame", PS_GEOMETRIC | PS_INSIDEFRAME, 5, BS_SOLID, true},
      {"cosmetic alternate", PS_COSMETIC | PS_ALTERNATE, 1, BS_SOLID, true},
      {"geometric alternate", PS_GEOMETRIC | PS_ALTERNATE, 1, BS_SOLID, false},
      {"cosmetic two wide", PS_COSMETIC | PS_SOLID, 2, BS_SOLID, false},
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE(k.Name);
    LOGBRUSH lb{k.BrushStyle, RGB(1, 2, 3), 0};
    HPEN pen = ExtCreatePen(k.Style, k.Width, &lb, 0, nullptr);
    EXPECT_EQ(pen != nullptr, k.Made);
    if (pen) DeleteObject(pen);
  }
}

// An extended pen's record ends after its style entries; a plain pen
// answers a LOGPEN even to a caller with room for more.
TEST(CallRulesTest, GetObjectOfPensAnswersTheRecordsSize) {
  const int head = int(offsetof(EXTLOGPEN, elpStyleEntry));
  LOGBRUSH lb{BS_SOLID, RGB(1, 2, 3), 0};
  const DWORD dashes[3] = {4, 2, 1};
  struct TCase {
    const char* Name;
    std::function<HPEN()> Make;
    int Size;
  };
  const TCase cases[] = {
      {"CreatePen", [] { return CreatePen(PS_DASH, 1, RGB(1, 2, 3)); }, int(sizeof(LOGPEN))},
      {"cosmetic extended pen", [&] { return ExtCreatePen(PS_COSMETIC | PS_DOT, 1, &lb, 0, nullptr); }, head},
      {"geometric extended pen", [&] { return ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 6, &lb, 0, nullptr); }, head},
      {"user style", [&] { return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 3, &lb, 3, dashes); }, head + 12},
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE(k.Name);
    HPEN pen = k.Make();
    ASSERT_NE(pen, nullptr);
    EXPECT_EQ(GetObject(pen, 0, nullptr), k.Size) << "the size asked for";
    struct {
      EXTLOGPEN e;
      DWORD more[8];
    } buffer{};
    EXPECT_EQ(GetObject(pen, sizeof buffer, &buffer), k.Size) << "the size written";
    if (k.Size != int(sizeof(LOGPEN))) {
      EXPECT_EQ(buffer.e.elpColor, RGB(1, 2, 3));
      EXPECT_EQ(GetObject(pen, k.Size - 1, &buffer), 0) << "too small";
    }
    DeleteObject(pen);
  }
}

// A packed 2 x 2 DIB of 8 bits whose table holds two palette indexes.
struct TPalettePattern {
  BITMAPINFOHEADER h{sizeof(BITMAPINFOHEADER), 2, -2, 1, 8, BI_RGB, 0, 0, 0, 2, 0};
  WORD table[2] = {1, 2};
  uint8_t bits[2][4] = {{0, 1, 0, 0}, {1, 0, 0, 0}};
  uint8_t room[4] = {};  // read as colours, the table is twice as long
};

HPALETTE TwoColours(COLORREF one, COLORREF two) {
  struct {
    WORD version, count;
    PALETTEENTRY e[3];
  } lp{0x300, 3, {{0, 0, 0, 0}, {GetRValue(one), GetGValue(one), GetBValue(one), 0}, {GetRValue(two), GetGValue(two), GetBValue(two), 0}}};
  return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&lp));
}

TEST(CallRulesTest, DibPatternBrushesTakeTwoUsagesAndPaletteColoursWhenDrawn) {
  TPalettePattern dib;
  for (UINT usage : {2u, 3u, 0x100u}) {
    SetLastError(0);
    EXPECT_EQ(CreateDIBPatternBrushPt(&dib, usage), nullptr) << "usage " << usage;
  }
  HBRUSH brush = CreateDIBPatternBrushPt(&dib, DIB_PAL_COLORS);
  ASSERT_NE(brush, nullptr);
  struct TCase {
    COLORREF One, Two;
  };
  // The same brush in turn under three palettes: its colours follow the
  // one selected when it is drawn.
  const TCase cases[] = {{RGB(200, 0, 0), RGB(0, 200, 0)}, {RGB(0, 0, 200), RGB(200, 200, 0)}, {RGB(1, 2, 3), RGB(4, 5, 6)}};
  TDibCanvas c(4, 4, 0);
  for (const TCase& k : cases) {
    HPALETTE pal = TwoColours(k.One, k.Two);
    HPALETTE old = SelectPalette(c.dc, pal, FALSE);
    RECT r{0, 0, 4, 4};
    FillRect(c.dc, &r, brush);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        EXPECT_EQ(c.Rgb(x, y), Px((x + y) % 2 ? k.Two : k.One)) << x << "," << y;
    SelectPalette(c.dc, old, FALSE);
    DeleteObject(pal);
  }
  DeleteObject(brush);
  HBRUSH rgb = CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
  EXPECT_NE(rgb, nullptr);
  DeleteObject(rgb);
}

// Every drawing call adds what it touches to the bounds: they hold every
// pixel it changed and stay near the shape.
TEST(CallRulesTest, BoundsGrowWithEveryDrawingCall) {
  HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  struct TCase {
    const char* Name;
    std::function<void(HDC, HDC)> Draw;  // destination, a 32-bit source
    RECT Near;                           // the call's own rectangle
  };
  const POINT tri[3] = {{10, 10}, {30, 12}, {15, 28}};
  const TCase cases[] = {
      {"Rectangle", [](HDC dc, HDC) { Rectangle(dc, 10, 12, 30, 25); }, {10, 12, 30, 25}},
      {"Ellipse", [](HDC dc, HDC) { Ellipse(dc, 10, 12, 30, 25); }, {10, 12, 30, 25}},
      {"RoundRect", [](HDC dc, HDC) { RoundRect(dc, 10, 12, 30, 25, 6, 6); }, {10, 12, 30, 25}},
      {"Pie", [](HDC dc, HDC) { Pie(dc, 10, 12, 30, 25, 30, 12, 10, 12); }, {10, 12, 30, 25}},
      {"Chord", [](HDC dc, HDC) { Chord(dc, 10, 12, 30, 25, 30, 12, 10, 25); }, {10, 12, 30, 25}},
      {"Arc", [](HDC dc, HDC) { Arc(dc, 10, 12, 30, 25, 30, 12, 10, 12); }, {10, 12, 30, 25}},
      {"Polygon", [&](HDC dc, HDC) { Polygon(dc, tri, 3); }, {10, 10, 31, 29}},
      {"Polyline", [&](HDC dc, HDC) { Polyline(dc, tri, 3); }, {10, 10, 31, 29}},
      {"LineTo",
       [](HDC dc, HDC) {
         MoveToEx(dc, 12, 14, nullptr);
         LineTo(dc, 28, 20);
       },
       {12, 14, 29, 21}},
      {"wide LineTo",
       [](HDC dc, HDC) {
         HPEN pen = CreatePen(PS_SOLID, 5, RGB(255, 255, 255));
         HGDIOBJ old = SelectObject(dc, pen);
         MoveToEx(dc, 12, 14, nullptr);
         LineTo(dc, 28, 20);
         SelectObject(dc, old);
         DeleteObject(pen);
       },
       {9, 11, 31, 23}},
      {"PolyBezier",
       [](HDC dc, HDC) {
         const POINT p[4] = {{10, 10}, {20, 30}, {25, 0}, {30, 20}};
         PolyBezier(dc, p, 4);
       },
       {10, 10, 31, 30}},
      {"FillRect", [=](HDC dc, HDC) { RECT r{11, 13, 19, 17}; FillRect(dc, &r, white); }, {11, 13, 19, 17}},
      {"FrameRect", [=](HDC dc, HDC) { RECT r{11, 13, 19, 17}; FrameRect(dc, &r, white); }, {11, 13, 19, 17}},
      {"InvertRect", [](HDC dc, HDC) { RECT r{11, 13, 19, 17}; InvertRect(dc, &r); }, {11, 13, 19, 17}},
      {"PatBlt", [](HDC dc, HDC) { PatBlt(dc, 11, 13, 8, 4, WHITENESS); }, {11, 13, 19, 17}},
      {"BitBlt", [](HDC dc, HDC src) { BitBlt(dc, 11, 13, 8, 4, src, 0, 0, SRCCOPY); }, {11, 13, 19, 17}},
      {"StretchBlt", [](HDC dc, HDC src) { StretchBlt(dc, 11, 13, 16, 8, src, 0, 0, 8, 4, SRCCOPY); }, {11, 13, 27, 21}},
      {"MaskBlt",
       [](HDC dc, HDC src) {
         HBITMAP mask = CreateBitmap(8, 4, 1, 1, nullptr);
         MaskBlt(dc, 11, 13, 8, 4, src, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, SRCCOPY));
         DeleteObject(mask);
       },
       {11, 13, 19, 17}},
      {"StretchDIBits",
       [](HDC dc, HDC) {
         uint32_t px[4] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
         BITMAPINFO bi{};
         bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
         StretchDIBits(dc, 11, 13, 8, 4, 0, 0, 2, 2, px, &bi, DIB_RGB_COLORS, SRCCOPY);
       },
       {11, 13, 19, 17}},
      {"SetDIBitsToDevice",
       [](HDC dc, HDC) {
         uint32_t px[4] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
         BITMAPINFO bi{};
         bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
         SetDIBitsToDevice(dc, 11, 13, 2, 2, 0, 0, 0, 2, px, &bi, DIB_RGB_COLORS);
       },
       {11, 13, 13, 15}},
      {"AlphaBlend",
       [](HDC dc, HDC src) { AlphaBlend(dc, 11, 13, 8, 4, src, 0, 0, 8, 4, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 0}); },
       {11, 13, 19, 17}},
      {"TransparentBlt", [](HDC dc, HDC src) { TransparentBlt(dc, 11, 13, 8, 4, src, 0, 0, 8, 4, RGB(1, 2, 3)); },
       {11, 13, 19, 17}},
      {"GradientFill",
       [](HDC dc, HDC) {
         TRIVERTEX v[2] = {{11, 13, 0xFF00, 0xFF00, 0xFF00, 0}, {19, 17, 0xFF00, 0, 0xFF00, 0}};
         GRADIENT_RECT r{0, 1};
         GradientFill(dc, v, 2, &r, 1, GRADIENT_FILL_RECT_H);
       },
       {11, 13, 19, 17}},
      {"FillRgn",
       [=](HDC dc, HDC) {
         HRGN r = CreateEllipticRgn(11, 13, 25, 21);
         FillRgn(dc, r, white);
         DeleteObject(r);
       },
       {11, 13, 25, 21}},
      {"PaintRgn",
       [=](HDC dc, HDC) {
         HRGN r = CreateRectRgn(11, 13, 25, 21);
         SelectObject(dc, white);
         PaintRgn(dc, r);
         DeleteObject(r);
       },
       {11, 13, 25, 21}},
      {"FrameRgn",
       [=](HDC dc, HDC) {
         HRGN r = CreateRectRgn(11, 13, 25, 21);
         FrameRgn(dc, r, white, 2, 2);
         DeleteObject(r);
       },
       {11, 13, 25, 21}},
      {"InvertRgn",
       [](HDC dc, HDC) {
         HRGN r = CreateRectRgn(11, 13, 25, 21);
         InvertRgn(dc, r);
         DeleteObject(r);
       },
       {11, 13, 25, 21}},
      {"SetPixel", [](HDC dc, HDC) { SetPixel(dc, 17, 19, RGB(255, 255, 255)); }, {17, 19, 18, 20}},
      {"FillPath",
       [&](HDC dc, HDC) {
         BeginPath(dc);
         Polygon(dc, tri, 3);
         EndPath(dc);
         FillPath(dc);
       },
       {10, 10, 31, 29}},
      {"StrokePath",
       [&](HDC dc, HDC) {
         BeginPath(dc);
         Polyline(dc, tri, 3);
         EndPath(dc);
         StrokePath(dc);
       },
       {10, 10, 31, 29}},
      {"ExtTextOut opaque",
       [](HDC dc, HDC) {
         RECT r{11, 13, 30, 30};
         SetBkColor(dc, RGB(255, 255, 255));
         ExtTextOutW(dc, 11, 13, ETO_OPAQUE, &r, u"", 0, nullptr);
       },
       {11, 13, 30, 30}},
      {"TextOut",
       [](HDC dc, HDC) {
         SetTextColor(dc, RGB(255, 255, 255));
         SetBkMode(dc, TRANSPARENT);
         TextOutW(dc, 11, 13, u"Hg", 2);
       },
       {11, 13, 60, 60}},
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE(k.Name);
    TDibCanvas c(64, 64, 0), src(8, 4, 0x00FFFFFF);
    SelectObject(c.dc, GetStockObject(WHITE_PEN));
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    SetBoundsRect(c.dc, nullptr, DCB_ENABLE | DCB_RESET);
    k.Draw(c.dc, src.dc);
    RECT b{};
    EXPECT_EQ(GetBoundsRect(c.dc, &b, 0), UINT(DCB_SET | DCB_ENABLE));
    const RECT ink = c.InkBox(0);
    ASSERT_LT(ink.Left, ink.Right) << "drew nothing";
    EXPECT_TRUE(b.Left <= ink.Left && b.Top <= ink.Top && b.Right >= ink.Right && b.Bottom >= ink.Bottom)
        << "bounds " << b.Left << "," << b.Top << "," << b.Right << "," << b.Bottom << " hold the ink " << ink.Left
        << "," << ink.Top << "," << ink.Right << "," << ink.Bottom;
    EXPECT_TRUE(b.Left >= k.Near.Left - 3 && b.Top >= k.Near.Top - 3 && b.Right <= k.Near.Right + 3 &&
                b.Bottom <= k.Near.Bottom + 3)
        << "bounds " << b.Left << "," << b.Top << "," << b.Right << "," << b.Bottom << " near the call's rectangle";
  }
}

}  // namespace
