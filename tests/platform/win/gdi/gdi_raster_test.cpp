#include <gtest/gtest.h>

#include <cmath>

#include "tests/common/dib_canvas.h"

namespace {

// The defining truth table: bit (P*4 + S*2 + D) of the operation index.
uint32_t RopReference(uint8_t rop, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t r = 0;
  for (int bit = 0; bit < 32; ++bit) {
    int i = (((p >> bit) & 1) << 2) | (((s >> bit) & 1) << 1) | ((d >> bit) & 1);
    r |= uint32_t((rop >> i) & 1) << bit;
  }
  return r;
}

TEST(RasterTest, EveryTernaryOperationFollowsItsIndex) {
  TDibCanvas dst(4, 1), src(4, 1);
  const uint32_t d = 0xA5C33C0Fu, s = 0x5AF0CC33u;
  const COLORREF pat = RGB(0x96, 0x69, 0xE1);
  HBRUSH brush = CreateSolidBrush(pat);
  HGDIOBJ old = SelectObject(dst.dc, brush);
  for (int rop = 0; rop < 256; ++rop) {
    dst.Fill(d);
    src.Fill(s);
    DWORD code = DWORD(rop) << 16;
    ASSERT_TRUE(BitBlt(dst.dc, 1, 0, 2, 1, src.dc, 0, 0, code)) << rop;
    EXPECT_EQ(dst.At(1, 0), RopReference(uint8_t(rop), Px(pat), s, d)) << "rop " << rop;
    EXPECT_EQ(dst.At(0, 0), d) << "outside the rectangle, rop " << rop;
    EXPECT_EQ(dst.At(3, 0), d) << "right edge excluded, rop " << rop;
  }
  SelectObject(dst.dc, old);
  DeleteObject(brush);
}

TEST(RasterTest, NamedOperationsOnAllFourBytes) {
  struct TCase {
    DWORD rop;
    uint32_t expect;
  };
  const uint32_t s = 0x80FF0000u, d = 0x4000FF00u;
  const TCase cases[] = {
      {SRCCOPY, s},          {SRCPAINT, s | d},     {SRCAND, s & d},   {SRCINVERT, s ^ d},
      {SRCERASE, s & ~d},    {NOTSRCCOPY, ~s},      {NOTSRCERASE, ~(s | d)}, {DSTINVERT, ~d},
      {BLACKNESS, 0},        {WHITENESS, 0xFFFFFFFFu}, {0x00220326u, d & ~s},
  };
  TDibCanvas dst(1, 1), src(1, 1);
  for (const TCase& c : cases) {
    dst.Fill(d);
    src.Fill(s);
    BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, c.rop);
    EXPECT_EQ(dst.At(0, 0), c.expect) << std::hex << c.rop;
  }
}

TEST(RasterTest, GdiFillsWriteZeroAlphaAndBlitsCopyIt) {
  TDibCanvas c(8, 8, 0xFF102030u);
  RECT r{0, 0, 4, 8};
  HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
  FillRect(c.dc, &r, b);
  EXPECT_EQ(c.At(0, 0), Px(RGB(1, 2, 3)));
  EXPECT_EQ(c.At(4, 0), 0xFF102030u);
  TDibCanvas src(2, 2, 0x7F010203u);
  BitBlt(c.dc, 6, 6, 2, 2, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(c.At(7, 7), 0x7F010203u);
  EXPECT_EQ(SetPixel(c.dc, 5, 5, RGB(9, 8, 7)), RGB(9, 8, 7));
  EXPECT_EQ(c.At(5, 5), Px(RGB(9, 8, 7)));
  EXPECT_EQ(GetPixel(c.dc, 5, 5), RGB(9, 8, 7));
  DeleteObject(b);
}

TEST(RasterTest, MonochromeSourcesTakeTextAndBackgroundColours) {
  // Row 0: bits 1,0,1,0 (white, black, white, black).
  const uint8_t bits[] = {0xA0, 0x00};
  HBITMAP mono = CreateBitmap(4, 1, 1, 1, bits);
  HDC mdc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mdc, mono);
  TDibCanvas c(4, 1);
  SetTextColor(c.dc, RGB(255, 0, 0));
  SetBkColor(c.dc, RGB(0, 0, 255));
  BitBlt(c.dc, 0, 0, 4, 1, mdc, 0, 0, SRCCOPY);
  EXPECT_EQ(c.At(0, 0), Px(RGB(0, 0, 255))) << "1 bits take the background colour";
  EXPECT_EQ(c.At(1, 0), Px(RGB(255, 0, 0))) << "0 bits take the text colour";

  // Colour to monochrome: the source's background colour becomes 1.
  c.At(0, 0) = Px(RGB(10, 20, 30));
  c.At(1, 0) = Px(RGB(1, 1, 1));
  c.At(2, 0) = Px(RGB(10, 20, 30));
  c.At(3, 0) = Px(RGB(255, 255, 255));
  SetBkColor(c.dc, RGB(10, 20, 30));
  BitBlt(mdc, 0, 0, 4, 1, c.dc, 0, 0, SRCCOPY);
  uint8_t out[2] = {};
  GetBitmapBits(mono, 2, out);
  EXPECT_EQ(out[0] & 0xF0, 0xA0);
  SelectObject(mdc, old);
  DeleteDC(mdc);
  DeleteObject(mono);
}

TEST(RasterTest, PatternBrushesAlignToTheBrushOrigin) {
  // An 8x8 monochrome pattern with only pixel (0,0) set to 0 (text colour).
  uint16_t rows[8];
  for (auto& r : rows) r = 0xFFFF;
  rows[0] = 0xFF7F;
  HBITMAP pat = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH brush = CreatePatternBrush(pat);
  TDibCanvas c(16, 16);
  SetTextColor(c.dc, RGB(255, 0, 0));
  SetBkColor(c.dc, RGB(255, 255, 255));
  struct TCase {
    POINT org;
    POINT hit;
  } cases[] = {{{0, 0}, {8, 8}}, {{3, 2}, {11, 10}}, {{-1, 0}, {15, 8}}};
  for (const TCase& k : cases) {
    c.Fill(0);
    SetBrushOrgEx(c.dc, k.org.X, k.org.Y, nullptr);
    RECT r{0, 0, 16, 16};
    FillRect(c.dc, &r, brush);
    EXPECT_EQ(c.Rgb(k.hit.X, k.hit.Y), 0x00FF0000u) << k.org.X << "," << k.org.Y;
    EXPECT_EQ(c.Rgb(k.hit.X - 8, k.hit.Y - 8), 0x00FF0000u);
    EXPECT_EQ(c.Rgb(k.hit.X - 1, k.hit.Y), 0x00FFFFFFu);
    EXPECT_EQ(c.CountNot(Px(RGB(255, 255, 255)), 0, 0, 16, 16), 4);
  }
  // The pattern stays fixed to the device while the window origin moves.
  c.Fill(0);
  SetBrushOrgEx(c.dc, 0, 0, nullptr);
  SetWindowOrgEx(c.dc, 3, 0, nullptr);
  RECT r{3, 0, 19, 16};
  FillRect(c.dc, &r, brush);
  EXPECT_EQ(c.Rgb(8, 8), 0x00FF0000u);
  DeleteObject(brush);
  DeleteObject(pat);
}

TEST(RasterTest, HatchBrushesHonourTheBackgroundMode) {
  HBRUSH h = CreateHatchBrush(HS_CROSS, RGB(0, 0, 0));
  TDibCanvas c(8, 8, 0x00123456u);
  SetBkColor(c.dc, RGB(255, 255, 255));
  SetBkMode(c.dc, OPAQUE);
  RECT r{0, 0, 8, 8};
  FillRect(c.dc, &r, h);
  EXPECT_EQ(c.CountNot(0x00123456u, 0, 0, 8, 8), 64);
  int lines = 64 - c.CountNot(0, 0, 0, 8, 8);
  EXPECT_EQ(lines, 15) << "one row and one column of hatch";
  c.Fill(0x00123456u);
  SetBkMode(c.dc, TRANSPARENT);
  FillRect(c.dc, &r, h);
  EXPECT_EQ(c.CountNot(0x00123456u, 0, 0, 8, 8), 15) << "gaps untouched";
  DeleteObject(h);
}

TEST(RasterTest, SystemColourIndexPlusOneWorksAsABrush) {
  TDibCanvas c(2, 2);
  RECT r{0, 0, 2, 2};
  FillRect(c.dc, &r, reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1)));
  EXPECT_EQ(c.Rgb(1, 1), Px(GetSysColor(COLOR_BTNFACE)));
  FillRect(c.dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
  EXPECT_EQ(c.Rgb(1, 1), Px(GetSysColor(COLOR_HIGHLIGHT)));
}

TEST(RasterTest, FrameAndInvertRect) {
  TDibCanvas c(10, 10, 0);
  RECT r{2, 2, 8, 8};
  HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
  FrameRect(c.dc, &r, b);
  EXPECT_EQ(c.Rgb(2, 2), 0xFFFFFFu);
  EXPECT_EQ(c.Rgb(7, 7), 0xFFFFFFu);
  EXPECT_EQ(c.Rgb(8, 7), 0u) << "right edge excluded";
  EXPECT_EQ(c.Rgb(3, 3), 0u) << "inside untouched";
  EXPECT_EQ(c.CountNot(0, 0, 0, 10, 10), 20);
  InvertRect(c.dc, &r);
  EXPECT_EQ(c.Rgb(2, 2), 0u);
  EXPECT_EQ(c.Rgb(3, 3), 0xFFFFFFu);
  DeleteObject(b);
}

TEST(RasterTest, StretchModesAndMirroring) {
  TDibCanvas src(4, 1), dst(8, 2);
  src.At(0, 0) = 0x00000000;
  src.At(1, 0) = 0x00FFFFFF;
  src.At(2, 0) = 0x00FF0000;
  src.At(3, 0) = 0x000000FF;
  StretchBlt(dst.dc, 0, 0, 8, 2, src.dc, 0, 0, 4, 1, SRCCOPY);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.At(x, 1), src.At(x / 2, 0)) << x;
  // Mirrored by a negative width.
  StretchBlt(dst.dc, 3, 0, -4, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), src.At(3, 0));
  EXPECT_EQ(dst.At(3, 0), src.At(0, 0));
  // Shrinking: BLACKONWHITE keeps black (AND), WHITEONBLACK keeps white (OR).
  TDibCanvas one(1, 1);
  SetStretchBltMode(one.dc, BLACKONWHITE);
  StretchBlt(one.dc, 0, 0, 1, 1, src.dc, 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), 0u);
  SetStretchBltMode(one.dc, WHITEONBLACK);
  StretchBlt(one.dc, 0, 0, 1, 1, src.dc, 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), 0x00FFFFFFu);
  SetStretchBltMode(one.dc, HALFTONE);
  EXPECT_EQ(GetStretchBltMode(one.dc), HALFTONE);
  StretchBlt(one.dc, 0, 0, 1, 1, src.dc, 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), 0x00808080u) << "average of black and white";
}

TEST(RasterTest, OverlappingBlitWithinOneBitmap) {
  TDibCanvas c(6, 1);
  for (int x = 0; x < 6; ++x) c.At(x, 0) = uint32_t(x);
  BitBlt(c.dc, 1, 0, 5, 1, c.dc, 0, 0, SRCCOPY);
  for (int x = 1; x < 6; ++x) EXPECT_EQ(c.At(x, 0), uint32_t(x - 1));
}

TEST(RasterTest, AlphaBlendValues) {
  struct TCase {
    uint32_t src, dst;
    BYTE constant, format;
  } cases[] = {
      {0x80402010u, 0xFF808080u, 255, AC_SRC_ALPHA},
      {0xFF112233u, 0x00FFFFFFu, 255, AC_SRC_ALPHA},
      {0x00000000u, 0xFF445566u, 255, AC_SRC_ALPHA},
      {0x80402010u, 0xFF808080u, 128, AC_SRC_ALPHA},
      {0xFF0000FFu, 0xFFFF0000u, 64, 0},
  };
  TDibCanvas s(1, 1), d(1, 1);
  for (const TCase& k : cases) {
    s.Fill(k.src);
    d.Fill(k.dst);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, k.constant, k.format};
    ASSERT_TRUE(AlphaBlend(d.dc, 0, 0, 1, 1, s.dc, 0, 0, 1, 1, bf));
    for (int ch = 0; ch < 4; ++ch) {
      double sc = (k.src >> (8 * ch)) & 0xFF, dc = (k.dst >> (8 * ch)) & 0xFF;
      double ca = k.constant / 255.0, expect;
      if (k.format) {
        double sa = ((k.src >> 24) & 0xFF) * ca / 255.0;
        expect = sc * ca + dc * (1 - sa);
      } else {
        expect = sc * ca + dc * (1 - ca);
      }
      double got = (d.At(0, 0) >> (8 * ch)) & 0xFF;
      EXPECT_NEAR(got, expect, 1.0) << std::hex << k.src << " channel " << ch;
    }
  }
  // The source rectangle must lie inside the source.
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, 0};
  EXPECT_FALSE(AlphaBlend(d.dc, 0, 0, 1, 1, s.dc, 0, 0, 2, 1, bf));
}

TEST(RasterTest, GradientFillValues) {
  TDibCanvas c(4, 4);
  TRIVERTEX v[2] = {{0, 0, 0x0000, 0x0000, 0xFF00, 0xFF00}, {4, 4, 0xFF00, 0x0000, 0x0000, 0x0000}};
  GRADIENT_RECT gr{0, 1};
  ASSERT_TRUE(GradientFill(c.dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_H));
  for (int x = 0; x < 4; ++x) {
    uint32_t red = 0xFF * x / 4, blue = 0xFF * (4 - x) / 4;
    EXPECT_EQ(c.At(x, 2), (blue << 24) | (red << 16) | blue) << x;
  }
  ASSERT_TRUE(GradientFill(c.dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_V));
  EXPECT_EQ(c.At(3, 0), 0xFF0000FFu);
  EXPECT_EQ(c.At(0, 2), c.At(3, 2));
  // A triangle covers about half of its box and takes its vertices' colours.
  c.Fill(0);
  TRIVERTEX t[3] = {{0, 0, 0xFF00, 0, 0, 0}, {4, 0, 0xFF00, 0, 0, 0}, {0, 4, 0xFF00, 0, 0, 0}};
  GRADIENT_TRIANGLE tri{0, 1, 2};
  ASSERT_TRUE(GradientFill(c.dc, t, 3, &tri, 1, GRADIENT_FILL_TRIANGLE));
  EXPECT_EQ(c.At(0, 0), 0x00FF0000u);
  EXPECT_EQ(c.At(3, 3), 0u);
}

TEST(RasterTest, TransparentBltAndMaskBlt) {
  TDibCanvas s(2, 1), d(2, 1, 0x00111111u);
  s.At(0, 0) = Px(RGB(255, 0, 255));
  s.At(1, 0) = 0x80123456u;
  TransparentBlt(d.dc, 0, 0, 2, 1, s.dc, 0, 0, 2, 1, RGB(255, 0, 255));
  EXPECT_EQ(d.At(0, 0), 0x00111111u);
  EXPECT_EQ(d.At(1, 0), 0x80123456u);
  // MaskBlt: 1 in the mask takes the foreground operation.
  const uint8_t mbits[] = {0x40, 0x00};
  HBITMAP mask = CreateBitmap(2, 1, 1, 1, mbits);
  d.Fill(0x00111111u);
  ASSERT_TRUE(MaskBlt(d.dc, 0, 0, 2, 1, s.dc, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029u)));
  EXPECT_EQ(d.At(0, 0), 0x00111111u) << "0 bit: destination kept";
  EXPECT_EQ(d.At(1, 0), 0x80123456u) << "1 bit: source copied";
  DeleteObject(mask);
}

TEST(RasterTest, BinaryRasterOperationsOnLines) {
  const uint32_t d = 0x00F0CC0Fu;
  const COLORREF pen = RGB(0x3C, 0xAA, 0x55);
  const uint32_t p = Px(pen);
  const uint32_t expect[17] = {0,          0,          ~(p | d),   ~p & d,       ~p,         p & ~d,
                               ~d,         p ^ d,      ~(p & d),   p & d,        ~(p ^ d),   d,
                               ~p | d,     p,          p | ~d,     p | d,        0xFFFFFFFFu};
  TDibCanvas c(4, 1);
  HPEN hp = CreatePen(PS_SOLID, 1, pen);
  SelectObject(c.dc, hp);
  for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
    c.Fill(d);
    EXPECT_NE(SetROP2(c.dc, mode), 0);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 3, 0);
    // All 32 bits take part: the fourth byte of the result is the
    // operation's, not 0.
    uint32_t want = mode == R2_NOP ? d : expect[mode];
    EXPECT_EQ(c.At(1, 0), want) << "mode " << mode;
    EXPECT_EQ(c.At(3, 0), d) << "end point not drawn, mode " << mode;
  }
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  DeleteObject(hp);
}

}  // namespace
