// A picture to look at: one glyph (with alpha, and a colour-keyed one) in
// each effect, an image fitted in each mode, a glyph blended at four
// constant alphas, and a Lanczos3 downscale next to a plain one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/backend/codecs.h"
#include "platform/win/gdi/gdi.h"
#include "tests/common/pictures.h"
#include "ui/foundation/alpha_blend.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/geometry.h"
#include "ui/foundation/graphics_unit.h"
#include "ui/foundation/image_effects.h"

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 300;

// A ring in three colours on a transparent background, soft at its edge,
// premultiplied.
void PaintRing(TcxBitmap32& G) {
  const int n = G.Width();
  const double c = (n - 1) / 2.0, outer = n / 2.0 - 1, inner = n / 5.0;
  TRGBColors p(static_cast<size_t>(n * n));
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const double d = std::hypot(x - c, y - c);
      const double a = std::clamp(outer - d, 0.0, 1.0) * std::clamp(d - inner, 0.0, 1.0);
      const Byte alpha = static_cast<Byte>(a * 255);
      const Byte r = x < n / 2 ? 230 : 40, g = y < n / 2 ? 180 : 60, b = (x + y) % 8 < 4 ? 220 : 30;
      p[static_cast<size_t>(y * n + x)] = RGBQUAD{static_cast<Byte>(b * alpha / 255),
                                                  static_cast<Byte>(g * alpha / 255),
                                                  static_cast<Byte>(r * alpha / 255), alpha};
    }
  G.SetPixels(p);
}

// A 24-bit glyph: an arrow in dark blue and orange on magenta.
void PaintKeyed(TBitmap& G) {
  G.SetPixelFormat(pf24bit);
  G.SetSize(24, 24);
  TCanvas* c = G.Canvas();
  c->Brush()->SetColor(static_cast<TColor>(0xFF00FF));
  c->FillRect(TRect(0, 0, 24, 24));
  c->Brush()->SetColor(static_cast<TColor>(0x803000));
  c->Pen()->SetColor(static_cast<TColor>(0x803000));
  c->Polygon({TPoint(2, 9), TPoint(12, 9), TPoint(12, 3), TPoint(21, 12), TPoint(12, 20), TPoint(12, 15),
              TPoint(2, 15)});
  c->Brush()->SetColor(static_cast<TColor>(0x00A0FF));
  c->FillRect(TRect(4, 11, 11, 13));
}

TEST(ImageEffectsPicture, EffectsFittingAlphasAndResampling) {
  cx_graphics_detail::StartGraphics();
  TcxBitmap32 picture(kWidth, kHeight, true);
  TcxCanvas* canvas = picture.GetCxCanvas();
  for (int y = 0; y < kHeight; y += 8)
    for (int x = 0; x < kWidth; x += 8)
      canvas->FillRectColor(TRect(x, y, x + 8, y + 8),
                            ((x + y) / 8) % 2 ? static_cast<TColor>(0xE8E8E8) : static_cast<TColor>(0xC8C8C8));

  TcxBitmap32 ring(32, 32);
  PaintRing(ring);
  TBitmap keyed;
  PaintKeyed(keyed);

  // Row 1 and 2: the six effects, with alpha and colour-keyed.
  const TcxGlyphEffect effects[] = {geNone, geDisabled, geFaint, geGray, geLight, geShadow};
  for (int i = 0; i < 6; ++i) {
    const TRect r(10 + i * 50, 10, 42 + i * 50, 42);
    cxDrawImageWithEffect(picture.Canvas()->Handle(), r, cxRectGrow(r, 4, 4), &ring, nullptr, -1, effects[i], false,
                          nullptr, clNone, true);
    const TRect k(14 + i * 50, 54, 38 + i * 50, 78);
    cxDrawImageWithEffect(picture.Canvas()->Handle(), k, cxRectGrow(k, 4, 4), &keyed, nullptr, -1, effects[i], false,
                          nullptr, clNone, true);
  }

  // Row 3: a 48 x 24 image fitted into 40 x 40 cells in each mode.
  // A 48 x 24 image: red to blue from left to right, a dark frame and a
  // yellow centre mark, opaque.
  TcxBitmap32 wide(48, 24);
  {
    TRGBColors w(48 * 24);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 48; ++x) {
        const Byte t = static_cast<Byte>(x * 255 / 47);
        RGBQUAD q{t, 40, static_cast<Byte>(255 - t), 255};
        if (x == 0 || y == 0 || x == 47 || y == 23) q = RGBQUAD{30, 30, 30, 255};
        if (std::abs(x - 23.5) < 4 && std::abs(y - 11.5) < 4) q = RGBQUAD{0, 230, 255, 255};
        w[static_cast<size_t>(y * 48 + x)] = q;
      }
    wide.SetPixels(w);
  }
  const TcxFitMode modes[] = {fmOriginal, fmStretch, fmProportional, fmShrinkOnly, fmCover};
  for (int i = 0; i < 5; ++i) {
    const TRect cell(10 + i * 60, 100, 50 + i * 60, 140);
    canvas->PushClipRegion();
    canvas->ClipToRect(cell);
    cxDrawImageFitted(canvas, cell, &wide, nullptr, -1, modes[i], geNone);
    canvas->PopClipRegion();
    canvas->DrawFrameSides(cxRectGrow(cell, 1, 1), static_cast<TColor>(0x0000C0));
  }

  // Row 4: the ring at constant alphas 255, 192, 128 and 64.
  const Byte alphas[] = {255, 192, 128, 64};
  for (int i = 0; i < 4; ++i)
    cxAlphaBlendBitmapOntoDC(picture.Canvas()->Handle(), &ring, TRect(10 + i * 50, 160, 42 + i * 50, 192),
                             alphas[i]);

  // Row 5: fine rings, 128 x 128, brought down to 64 x 64 by Lanczos3 (left)
  // and by a plain stretch (right), and up again to 96 x 96 smoothly.
  TcxBitmap32 fine(128, 128);
  {
    TRGBColors p(128 * 128);
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x) {
        const double d = std::hypot(x - 63.5, y - 63.5);
        const Byte v = static_cast<Byte>(127.5 + 127.5 * std::cos(d * d / 40.0));
        p[static_cast<size_t>(y * 128 + x)] = RGBQUAD{v, v, v, 255};
      }
    fine.SetPixels(p);
  }
  TcxBitmap32 smooth(64, 64), plain(64, 64);
  cxResampleLanczos3(&fine, &smooth);
  cxStretchBitmapPlain(&plain, &fine);
  cxBlitBitmapToDC(picture.Canvas()->Handle(), &smooth, TRect(10, 210, 74, 274));
  cxBlitBitmapToDC(picture.Canvas()->Handle(), &plain, TRect(84, 210, 148, 274));
  cxAlphaBlendBitmapOntoDC(picture.Canvas()->Handle(), &ring, TRect(170, 200, 266, 296), 255, true);
  cxAlphaBlendBitmapOntoDC(picture.Canvas()->Handle(), &ring, TRect(280, 200, 376, 296), 255, false);

  TRGBColors bottomUp;
  picture.GetPixels(bottomUp);
  std::vector<uint32_t> topDown(bottomUp.size());
  for (int y = 0; y < kHeight; ++y)
    std::memcpy(&topDown[static_cast<size_t>(y * kWidth)], &bottomUp[static_cast<size_t>((kHeight - 1 - y) * kWidth)],
                static_cast<size_t>(kWidth) * 4);
  for (uint32_t& p : topDown) p |= 0xFF000000u;
  rtl::backend::TEncodeOptions options;
  options.Alpha = false;
  std::string png;
  ASSERT_TRUE(rtl::backend::EncodeImage(rtl::backend::iffPng, topDown.data(), kWidth, kHeight, kWidth * 4, options,
                                        png));
  std::ofstream(PictureDir() + "ui_foundation_image_effects.png", std::ios::binary) << png;
  cx_graphics_detail::StopGraphics();

  // Stretch fills its cell; proportional keeps the image's shape, centred.
  auto at = [&](int x, int y) { return topDown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFFu; };
  EXPECT_EQ(at(70 + 1, 100 + 1), 0x1E1E1Eu);
  EXPECT_EQ(at(130 + 20, 110), 0x1E1E1Eu);
  EXPECT_NE(at(130 + 20, 109), 0x1E1E1Eu);
  EXPECT_EQ(at(130 + 20, 129), 0x1E1E1Eu);
  EXPECT_NE(at(130 + 20, 130), 0x1E1E1Eu);
}

}  // namespace
