// The glyph pipeline probed on 32-bit surfaces over a chequered background:
// transparency by colour, by mask and by alpha, each effect, the hook;
// fitting; and the bitmap helpers around it.
#include "ui/foundation/image_effects.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/forms/image_list.h"
#include "platform/win/gdi/gdi.h"
#include "tests/common/dib_canvas.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/graphics_unit.h"
#include "ui/foundation/image_list.h"

namespace {

constexpr uint32_t Bgra(uint32_t b, uint32_t g, uint32_t r, uint32_t a) { return a << 24 | r << 16 | g << 8 | b; }
constexpr uint32_t kDark = Bgra(60, 60, 60, 0);
constexpr uint32_t kLight = Bgra(200, 200, 200, 0);
constexpr TColor kMagenta = 0xFF00FF;

Byte Channel(uint32_t v, int i) { return static_cast<Byte>(v >> (8 * i)); }

::testing::AssertionResult NearRgb(uint32_t actual, uint32_t expected, int tolerance) {
  for (int i = 0; i < 3; ++i)
    if (std::abs(Channel(actual, i) - Channel(expected, i)) > tolerance)
      return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not within " << std::dec
                                           << tolerance << " of 0x" << std::hex << expected;
  return ::testing::AssertionSuccess();
}

uint32_t PixelOf(TColor AColor) { return Px(static_cast<COLORREF>(ColorToRGB(AColor))); }

// A chequered 4-pixel background under every drawing; the AlphaBlend entry
// point bound as at start-up.
class ImageEffects : public ::testing::Test {
 protected:
  TDibCanvas Dest{48, 48};

  void SetUp() override {
    cx_graphics_detail::StartGraphics();
    for (int y = 0; y < Dest.height; ++y)
      for (int x = 0; x < Dest.width; ++x) Dest.At(x, y) = Background(x, y);
  }
  void TearDown() override { cx_graphics_detail::StopGraphics(); }

  static uint32_t Background(int x, int y) { return ((x / 4 + y / 4) % 2) ? kDark : kLight; }
  bool ShowsBackground(int x, int y) { return Dest.Rgb(x, y) == (Background(x, y) & 0xFFFFFF); }

  void Draw(TBitmap* AGlyph, TCustomImageList* AList, Integer AIndex, TcxGlyphEffect AEffect,
            const TRect& AImageRect = TRect(8, 8, 24, 24), bool AUseGlyphTransparency = true,
            TColor AMaskColor = clNone) {
    cxDrawImageWithEffect(Dest.dc, AImageRect, TRect(0, 0, 48, 48), AGlyph, AList, AIndex, AEffect, false, nullptr,
                          AMaskColor, AUseGlyphTransparency);
  }
};

// A 16 x 16 24-bit glyph: magenta with a blue square at (4, 4)-(12, 12)
// and one black pixel at (5, 5).
std::unique_ptr<TBitmap> MagentaGlyph() {
  auto glyph = std::make_unique<TBitmap>();
  glyph->SetPixelFormat(pf24bit);
  glyph->SetSize(16, 16);
  glyph->Canvas()->Brush()->SetColor(kMagenta);
  glyph->Canvas()->FillRect(TRect(0, 0, 16, 16));
  glyph->Canvas()->Brush()->SetColor(clBlue);
  glyph->Canvas()->FillRect(TRect(4, 4, 12, 12));
  glyph->Canvas()->Brush()->SetColor(clBlack);
  glyph->Canvas()->FillRect(TRect(5, 5, 6, 6));
  return glyph;
}

// A 16 x 16 32-bit glyph of premultiplied pixels: opaque red on the left
// half, half-transparent green on the right half, transparent top row.
std::unique_ptr<TcxBitmap32> AlphaGlyph() {
  auto glyph = std::make_unique<TcxBitmap32>(16, 16, true);
  TRGBColors p(256);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      uint32_t v = y == 15 ? 0 : x < 8 ? Bgra(0, 0, 255, 255) : Bgra(0, 100, 0, 128);  // y counts from the bottom
      std::memcpy(&p[size_t(y * 16 + x)], &v, 4);
    }
  glyph->SetPixels(p);
  return glyph;
}

// ---- Transparency ----------------------------------------------------------------------------

TEST_F(ImageEffects, MagentaPixelsOfAGlyphLeaveTheBackgroundVisible) {
  auto glyph = MagentaGlyph();
  Draw(glyph.get(), nullptr, -1, geNone);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) {
      const bool square = x >= 12 && x < 20 && y >= 12 && y < 20;
      if (square) {
        EXPECT_EQ(Dest.Rgb(x, y), (x == 13 && y == 13) ? 0u : 0x0000FFu) << x << "," << y;
      } else {
        EXPECT_TRUE(ShowsBackground(x, y)) << x << "," << y;
      }
    }
  // Without glyph transparency the magenta is drawn too; a mask colour
  // makes it transparent again.
  Draw(glyph.get(), nullptr, -1, geNone, TRect(8, 8, 24, 24), false);
  EXPECT_EQ(Dest.Rgb(8, 8), 0xFF00FFu);
  SetUp();
  Draw(glyph.get(), nullptr, -1, geNone, TRect(8, 8, 24, 24), false, kMagenta);
  EXPECT_TRUE(ShowsBackground(8, 8));
  EXPECT_EQ(Dest.Rgb(13, 13), 0u);
}

TEST_F(ImageEffects, ThirtyTwoBitGlyphWithoutAlphaIsDrawnOpaque) {
  TcxBitmap32 glyph(16, 16);
  glyph.Canvas()->Brush()->SetColor(clGreen);
  glyph.Canvas()->FillRect(TRect(0, 0, 16, 16));
  glyph.Canvas()->Brush()->SetColor(clBlack);
  glyph.Canvas()->FillRect(TRect(0, 0, 8, 16));
  ASSERT_FALSE(glyph.HasAlpha());
  Draw(&glyph, nullptr, -1, geNone, TRect(8, 8, 24, 24), false);
  for (int y = 8; y < 24; ++y)
    for (int x = 8; x < 24; ++x) EXPECT_EQ(Dest.Rgb(x, y), x < 16 ? 0u : 0x008000u) << x << "," << y;
  EXPECT_TRUE(ShowsBackground(7, 7));
  EXPECT_TRUE(ShowsBackground(24, 24));
}

TEST_F(ImageEffects, GlyphWithAlphaIsBlendedPremultiplied) {
  auto glyph = AlphaGlyph();
  Draw(glyph.get(), nullptr, -1, geNone);
  EXPECT_TRUE(ShowsBackground(10, 8));  // the transparent top row
  EXPECT_EQ(Dest.Rgb(10, 12), 0xFF0000u);
  // Green 100 over 200 grey at alpha 128: 100 + 200 x 127 / 255.
  EXPECT_TRUE(NearRgb(Dest.At(20, 12), Bgra(100, 200, 100, 0), 1)) << std::hex << Dest.At(20, 12);
}

TEST_F(ImageEffects, ImageListImagesKeepTheirMaskOrAlpha) {
  TImageList native(16, 16);
  auto glyph = MagentaGlyph();
  ASSERT_EQ(native.AddMasked(glyph.get(), kMagenta), 0);
  Draw(nullptr, &native, 0, geNone);
  EXPECT_TRUE(ShowsBackground(8, 8));
  EXPECT_EQ(Dest.Rgb(12, 12), 0x0000FFu);
  EXPECT_EQ(Dest.Rgb(13, 13), 0u);

  SetUp();
  TcxImageList library(nullptr);
  auto alpha = AlphaGlyph();
  ASSERT_EQ(library.AddImage(alpha.get(), nullptr), 0);
  Draw(nullptr, &library, 0, geNone);
  EXPECT_TRUE(ShowsBackground(10, 8));
  EXPECT_EQ(Dest.Rgb(10, 12), 0xFF0000u);

  // An index the list does not have draws nothing.
  SetUp();
  Draw(nullptr, &library, 1, geNone);
  Draw(nullptr, nullptr, 0, geNone);
  EXPECT_EQ(Dest.InkBox(0).Right, 48);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) ASSERT_TRUE(ShowsBackground(x, y)) << x << "," << y;
}

TEST_F(ImageEffects, BackgroundBrushReplacesTheDestinationsPixels) {
  auto glyph = MagentaGlyph();
  HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
  cxDrawImageWithEffect(Dest.dc, TRect(8, 8, 24, 24), TRect(4, 4, 28, 28), glyph.get(), nullptr, -1, geNone, false,
                        brush, clNone, true);
  DeleteObject(brush);
  EXPECT_EQ(Dest.Rgb(4, 4), 0x00FF00u);
  EXPECT_EQ(Dest.Rgb(8, 8), 0x00FF00u);
  EXPECT_EQ(Dest.Rgb(12, 12), 0x0000FFu);
  EXPECT_TRUE(ShowsBackground(3, 3));
  EXPECT_TRUE(ShowsBackground(28, 28));
}

// ---- Effects --------------------------------------------------------------------------------

TEST_F(ImageEffects, ShadowCoversEighteenByEighteenOnePixelUpAndLeft) {
  TBitmap glyph;
  glyph.SetPixelFormat(pf24bit);
  glyph.SetSize(16, 16);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(TRect(0, 0, 16, 16));
  Draw(&glyph, nullptr, -1, geShadow, TRect(10, 10, 26, 26), false);
  int changedLeft = 48, changedTop = 48, changedRight = 0, changedBottom = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x)
      if (!ShowsBackground(x, y)) {
        changedLeft = std::min(changedLeft, x);
        changedTop = std::min(changedTop, y);
        changedRight = std::max(changedRight, x + 1);
        changedBottom = std::max(changedBottom, y + 1);
      }
  EXPECT_EQ(TRect(changedLeft, changedTop, changedRight, changedBottom), TRect(9, 9, 27, 27));
  const uint32_t shadow = PixelOf(clBtnShadow);
  EXPECT_EQ(Dest.Rgb(9, 9), 0xFF0000u);
  EXPECT_EQ(Dest.Rgb(24, 24), 0xFF0000u);
  EXPECT_EQ(Dest.Rgb(26, 26), shadow);
  EXPECT_EQ(Dest.Rgb(25, 11), shadow);
  EXPECT_EQ(Dest.Rgb(11, 26), shadow);
  // The shadow starts two pixels down and right of the image's corner.
  EXPECT_TRUE(ShowsBackground(26, 9));
  EXPECT_TRUE(ShowsBackground(26, 10));
  EXPECT_TRUE(ShowsBackground(9, 26));
}

TEST_F(ImageEffects, DisabledGlyphWithAlphaIsGreyLumaAtAlpha151) {
  auto glyph = AlphaGlyph();
  Draw(glyph.get(), nullptr, -1, geDisabled);
  // Opaque red: grey 255 x 0.0729 = 19, blended at 151 over the background.
  auto expected = [](Byte grey, uint32_t background) {
    RGBQUAD pixel{Channel(background, 0), Channel(background, 1), Channel(background, 2), 0};
    cxBlendPixel(RGBQUAD{grey, grey, grey, 255}, pixel, 151);
    uint32_t v;
    std::memcpy(&v, &pixel, 4);
    return v;
  };
  EXPECT_TRUE(NearRgb(Dest.At(10, 12), expected(19, Background(10, 12)), 1));
  EXPECT_TRUE(NearRgb(Dest.At(13, 12), expected(19, Background(13, 12)), 1));
  EXPECT_TRUE(ShowsBackground(10, 8));
}

TEST_F(ImageEffects, DisabledGlyphWithoutAlphaIsGreyedWithAHighlightSilhouette) {
  auto glyph = MagentaGlyph();
  Draw(glyph.get(), nullptr, -1, geDisabled);
  auto disabled = [](Byte grey) {
    RGBQUAD pixel{grey, grey, grey, 255};
    const uint32_t shadow = PixelOf(clBtnShadow) | 0xC0000000u;
    RGBQUAD colour;
    std::memcpy(&colour, &shadow, 4);
    cxBlendPixel(colour, pixel, 238);
    uint32_t v;
    std::memcpy(&v, &pixel, 4);
    return v;
  };
  // Blue: 255 x 0.114 = 29; black stays 0 before the shadow blend.
  EXPECT_TRUE(NearRgb(Dest.At(12, 12), disabled(29), 0));
  EXPECT_TRUE(NearRgb(Dest.At(13, 13), disabled(0), 0));
  // The highlight one pixel right and below the square, where the glyph is
  // transparent.
  const uint32_t highlight = PixelOf(clBtnHighlight);
  EXPECT_EQ(Dest.Rgb(20, 20), highlight);
  EXPECT_EQ(Dest.Rgb(20, 13), highlight);
  EXPECT_EQ(Dest.Rgb(13, 20), highlight);
  EXPECT_TRUE(ShowsBackground(20, 12));
  EXPECT_TRUE(ShowsBackground(12, 20));
  EXPECT_TRUE(ShowsBackground(21, 21));
}

TEST_F(ImageEffects, OtherEffectsAndTheirAlphas) {
  struct TCase {
    TcxGlyphEffect Effect;
    uint32_t Red;  // what opaque red (255, 0, 0) becomes before blending
    Byte Alpha;
  };
  const TCase cases[] = {
      {geNone, Bgra(0, 0, 255, 255), 255},
      {geFaint, Bgra(76, 76, 76, 255), 64},    // luma 0.299
      {geGray, Bgra(85, 85, 85, 255), 255},    // average
      {geLight, Bgra(76, 76, 255, 255), 255},  // c + MulDiv(255 - c, 3, 10)
  };
  for (const TCase& c : cases) {
    SetUp();
    auto glyph = AlphaGlyph();
    Draw(glyph.get(), nullptr, -1, c.Effect);
    const uint32_t background = Background(8, 12);
    RGBQUAD pixel{Channel(background, 0), Channel(background, 1), Channel(background, 2), 0};
    RGBQUAD colour;
    std::memcpy(&colour, &c.Red, 4);
    cxBlendPixel(colour, pixel, c.Alpha);
    uint32_t expected;
    std::memcpy(&expected, &pixel, 4);
    EXPECT_TRUE(NearRgb(Dest.At(8, 12), expected, 1)) << c.Effect;
  }
}

TEST_F(ImageEffects, HookReplacesPreparationAndEffect) {
  auto glyph = MagentaGlyph();
  TRect seen;
  cxGlyphDrawHook = [&](TcxCanvas* ACanvas, TCustomImageList*, Integer AIndex, TcxGlyphEffect AEffect,
                        const TRect& R, TBitmap* AGlyph) {
    seen = R;
    EXPECT_EQ(AIndex, 3);
    EXPECT_EQ(AEffect, geFaint);
    EXPECT_EQ(AGlyph, glyph.get());
    ACanvas->FillRectColor(R, clYellow);
    return true;
  };
  cxDrawImageWithEffect(Dest.dc, TRect(8, 8, 24, 24), TRect(4, 4, 40, 40), glyph.get(), nullptr, 3, geFaint, false,
                        nullptr, clNone, true);
  cxGlyphDrawHook = nullptr;
  EXPECT_EQ(seen, TRect(4, 4, 20, 20));
  EXPECT_EQ(Dest.Rgb(8, 8), 0xFFFF00u);
  EXPECT_EQ(Dest.Rgb(23, 23), 0xFFFF00u);
  EXPECT_TRUE(ShowsBackground(24, 24));
}

// ---- Fitting ----------------------------------------------------------------------------------

TEST(ImageFitting, FitModesOfAWideImageInASquare) {
  const TRect r(0, 0, 50, 50);
  struct TCase {
    TcxFitMode Mode;
    TRect Expected;
  };
  const TCase cases[] = {
      {fmProportional, TRect(0, 12, 50, 37)},
      {fmCover, TRect(-25, 0, 75, 50)},
      {fmShrinkOnly, TRect(0, 12, 50, 37)},
      {fmOriginal, TRect(-25, 0, 75, 50)},
      {fmStretch, TRect(0, 0, 50, 50)},
  };
  for (const TCase& c : cases) EXPECT_EQ(cxFitImageRect(r, TSize(100, 50), c.Mode), c.Expected) << c.Mode;
  // A small image is not enlarged by shrink-only; original scales by the
  // percentage; without centring the result sits at the top-left.
  EXPECT_EQ(cxFitImageRect(r, TSize(10, 20), fmShrinkOnly), TRect(20, 15, 30, 35));
  EXPECT_EQ(cxFitImageRect(r, TSize(10, 20), fmOriginal, 250, false), TRect(0, 0, 25, 50));
  EXPECT_EQ(cxFitImageRect(TRect(5, 5, 105, 55), TSize(10, 20), fmProportional, 100, false), TRect(5, 5, 30, 55));
  // No size, no fitting.
  EXPECT_EQ(cxFitImageRect(r, TSize(0, 20), fmStretch), r);
  EXPECT_EQ(cxFitImageRect(r, TSize(10, -1), fmCover), r);
}

TEST_F(ImageEffects, DrawImageFittedAndCentred) {
  auto glyph = MagentaGlyph();
  TcxBitmap32 target(48, 48);
  BitBlt(target.Canvas()->Handle(), 0, 0, 48, 48, Dest.dc, 0, 0, SRCCOPY);
  cxDrawImageFitted(target.GetCxCanvas(), TRect(0, 0, 48, 32), glyph.get(), nullptr, -1, fmProportional, geNone);
  BitBlt(Dest.dc, 0, 0, 48, 48, target.Canvas()->Handle(), 0, 0, SRCCOPY);
  // 16 x 16 in 48 x 32: 32 x 32 at (8, 0); the square doubles.
  EXPECT_EQ(Dest.Rgb(16, 8), 0x0000FFu);
  EXPECT_EQ(Dest.Rgb(31, 23), 0x0000FFu);
  EXPECT_TRUE(ShowsBackground(15, 7));
  EXPECT_TRUE(ShowsBackground(32, 24));

  SetUp();
  BitBlt(target.Canvas()->Handle(), 0, 0, 48, 48, Dest.dc, 0, 0, SRCCOPY);
  cxDrawImageCentered(target.GetCxCanvas(), TRect(0, 0, 48, 48), glyph.get(), nullptr, -1, false);
  BitBlt(Dest.dc, 0, 0, 48, 48, target.Canvas()->Handle(), 0, 0, SRCCOPY);
  EXPECT_NE(Dest.Rgb(20, 20), 0x0000FFu);  // disabled
  EXPECT_FALSE(ShowsBackground(20, 20));
  EXPECT_TRUE(ShowsBackground(16, 16));
  EXPECT_EQ(Dest.Rgb(28, 28), PixelOf(clBtnHighlight));
}

// ---- Bitmap helpers ----------------------------------------------------------------------------

TEST(ImageBitmaps, RegionFromBitmapColorHoldsTheOtherPixels) {
  TcxBitmap32 bitmap(6, 3);
  bitmap.Canvas()->Brush()->SetColor(kMagenta);
  bitmap.Canvas()->FillRect(TRect(0, 0, 6, 3));
  EXPECT_EQ(cxRegionFromBitmapColor(&bitmap, kMagenta), nullptr);

  bitmap.Canvas()->Brush()->SetColor(clBlack);
  bitmap.Canvas()->FillRect(TRect(1, 0, 3, 1));
  bitmap.Canvas()->FillRect(TRect(4, 0, 5, 1));
  bitmap.Canvas()->FillRect(TRect(0, 2, 6, 3));
  HRGN region = cxRegionFromBitmapColor(&bitmap, kMagenta);
  ASSERT_NE(region, nullptr);
  const char* rows[] = {".XX.X.", "......", "XXXXXX"};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(PtInRegion(region, x, y) != FALSE, rows[y][x] == 'X') << x << "," << y;
  DeleteObject(region);
}

TEST(ImageBitmaps, ColorizeKeepsTransparentPixelsAndMapsMidGreyToTheColour) {
  TcxBitmap32 bitmap(4, 1);
  TRGBColors p = {RGBQUAD{0x33, 0x22, 0x11, 0}, RGBQUAD{128, 128, 128, 255}, RGBQUAD{64, 64, 64, 128},
                  RGBQUAD{0, 0, 0, 255}};
  bitmap.SetPixels(p);
  cxColorizeBitmap32(&bitmap, static_cast<TColor>(0x30A0F0));  // red F0, green A0, blue 30
  TRGBColors got;
  bitmap.GetPixels(got);
  auto value = [](const RGBQUAD& q) {
    uint32_t v;
    std::memcpy(&v, &q, 4);
    return v;
  };
  EXPECT_EQ(value(got[0]), Bgra(0x33, 0x22, 0x11, 0));
  EXPECT_EQ(value(got[1]), Bgra(0x30, 0xA0, 0xF0, 255));
  // Grey 64 at alpha 128 is 127 un-premultiplied: the colour, premultiplied.
  EXPECT_EQ(value(got[2]), Bgra(0x30 * 128 / 255, 0xA0 * 128 / 255, 0xF0 * 128 / 255, 128));
  EXPECT_EQ(value(got[3]), Bgra(0, 0, 0, 255));
}

TEST(ImageBitmaps, GlyphToAlphaBitmapMakesTheTransparentColourTransparent) {
  auto glyph = MagentaGlyph();
  glyph->SetTransparentColor(kMagenta);
  TcxBitmap32 target;
  cxGlyphToAlphaBitmap(glyph.get(), &target);
  ASSERT_EQ(target.Width(), 16);
  TRGBColors p;
  target.GetPixels(p);  // bottom row first
  auto at = [&](int x, int y) {
    uint32_t v;
    std::memcpy(&v, &p[size_t((15 - y) * 16 + x)], 4);
    return v;
  };
  EXPECT_EQ(at(0, 0), 0u);
  EXPECT_EQ(at(4, 4), Bgra(255, 0, 0, 255));
  EXPECT_EQ(at(5, 5), Bgra(0, 0, 0, 255));
}

TEST(ImageBitmaps, HatchBlendsTwoColoursInSquaresOfTheStep) {
  TDibCanvas dc(10, 10, Bgra(0, 0, 0, 0));
  cxHatchDCRect(dc.dc, TRect(2, 2, 10, 10), clRed, clBlue, 2, 255, 255);
  EXPECT_EQ(dc.At(0, 0), 0u);
  EXPECT_EQ(dc.At(1, 9), 0u);
  // The hatch counts rows from the bottom: the bottom-left square takes the
  // first colour.
  EXPECT_EQ(dc.Rgb(2, 9), 0xFF0000u);
  EXPECT_EQ(dc.Rgb(4, 9), 0x0000FFu);
  EXPECT_EQ(dc.Rgb(2, 7), 0x0000FFu);
  EXPECT_EQ(dc.Rgb(5, 6), 0xFF0000u);
}

TEST(ImageBitmaps, DesignSelectionMarkPixels) {
  for (bool selected : {true, false}) {
    TcxBitmap32 bitmap(40, 40);
    TcxCanvas* canvas = bitmap.GetCxCanvas();
    canvas->FillRectColor(TRect(0, 0, 40, 40), clWhite);
    const TRect r(5, 5, 25, 25);
    cxDrawDesignSelectionMark(canvas, r, selected);
    // Anything drawn later stays off the mark and its shadow.
    canvas->FillRectColor(TRect(0, 0, 40, 40), clBlack);
    TRGBColors pixels;
    bitmap.GetPixels(pixels);  // bottom row first; GetPixel would answer for the clip
    auto rgb = [&](int x, int y) {
      const RGBQUAD& q = pixels[size_t((39 - y) * 40 + x)];
      return static_cast<uint32_t>(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    };
    const COLORREF c = selected ? 0x9090FF : 0xA0FFA0;
    auto scaled = [&](int percent) {
      return RGB(GetRValue(c) * percent / 100, GetGValue(c) * percent / 100, GetBValue(c) * percent / 100);
    };
    EXPECT_EQ(rgb(12, 12), c) << selected;            // fill
    EXPECT_EQ(rgb(14, 12), scaled(75)) << selected;   // a diagonal: x - y = 20 - 3i
    EXPECT_EQ(rgb(23, 6), scaled(75)) << selected;
    EXPECT_EQ(rgb(6, 22), scaled(75)) << selected;  // the last line to reach R
    EXPECT_EQ(rgb(6, 23), c) << selected;
    EXPECT_EQ(rgb(5, 12), scaled(50)) << selected;    // frame
    EXPECT_EQ(rgb(24, 12), scaled(50)) << selected;
    EXPECT_EQ(rgb(12, 24), scaled(50)) << selected;
    const COLORREF shadow = ColorToRGB(clBtnShadow);
    EXPECT_EQ(rgb(25, 12), shadow) << selected;
    EXPECT_EQ(rgb(12, 25), shadow) << selected;
    EXPECT_EQ(rgb(25, 25), shadow) << selected;
    EXPECT_EQ(rgb(25, 5), 0u) << selected;  // the shadow starts one row down
    EXPECT_EQ(rgb(26, 12), 0u) << selected;
    EXPECT_EQ(rgb(4, 12), 0u) << selected;
  }
  // An empty rectangle draws nothing.
  TcxBitmap32 bitmap(10, 10, true);
  cxDrawDesignSelectionMark(bitmap.GetCxCanvas(), TRect(3, 3, 3, 8), true);
  EXPECT_FALSE(bitmap.HasAlpha());
  EXPECT_EQ(GetPixel(bitmap.Canvas()->Handle(), 4, 4), 0u);
}

TEST(ImageBitmaps, AssignImageListMovesTheLinkAndTheFreeNotification) {
  TImageList a(16, 16), b(16, 16);
  TComponent owner(nullptr);
  TChangeLink link;
  int changes = 0;
  link.OnChange = [&](TObject*) { ++changes; };
  TCustomImageList* field = nullptr;
  cxAssignImageList(&a, field, &link, &owner);
  EXPECT_EQ(field, &a);
  EXPECT_EQ(link.Sender(), &a);
  EXPECT_EQ(changes, 1);
  cxAssignImageList(&a, field, &link, &owner);
  EXPECT_EQ(changes, 1);
  cxAssignImageList(&b, field, &link, &owner);
  EXPECT_EQ(link.Sender(), &b);
  EXPECT_EQ(changes, 2);
  auto glyph = MagentaGlyph();
  a.AddMasked(glyph.get(), kMagenta);
  EXPECT_EQ(changes, 2);
  b.AddMasked(glyph.get(), kMagenta);
  EXPECT_EQ(changes, 3);
  cxAssignImageList(nullptr, field, &link, &owner);
  EXPECT_EQ(field, nullptr);
  EXPECT_EQ(link.Sender(), nullptr);
}

}  // namespace
