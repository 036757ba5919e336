// A picture to look at: one glyph through the eleven filters, a tiled fill
// that starts left of and above the origin, the border styles and rotated
// and disabled text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/backend/codecs.h"
#include "platform/win/gdi/gdi.h"
#include "tests/common/pictures.h"
#include "ui/foundation/bitmaps.h"

namespace {

constexpr int kGlyph = 32;
constexpr int kCell = 44;

// A ring in three colours on a transparent background, soft at its edge.
void PaintGlyph(TcxAlphaBitmap& G) {
  TRGBColors p(kGlyph * kGlyph);
  for (int y = 0; y < kGlyph; ++y)
    for (int x = 0; x < kGlyph; ++x) {
      const double d = std::hypot(x - 15.5, y - 15.5);
      const double a = std::clamp(14.5 - d, 0.0, 1.0) * std::clamp(d - 4.0, 0.0, 1.0);
      const Byte alpha = static_cast<Byte>(a * 255);
      const Byte r = x < 16 ? 230 : 40, g = y < 16 ? 180 : 60, b = (x + y) % 8 < 4 ? 220 : 30;
      p[static_cast<size_t>(y * kGlyph + x)] = alpha ? RGBQUAD{b, g, r, alpha} : RGBQUAD{0, 0, 0, 0};
    }
  G.SetPixels(p);
}

// Straight alpha over the picture's pixels at (X, Y).
void Compose(TcxBitmap32& Picture, TcxAlphaBitmap& G, int X, int Y) {
  TRGBColors dst, src;
  Picture.GetPixels(dst);
  G.GetPixels(src);
  const int w = Picture.Width(), h = Picture.Height();
  for (int y = 0; y < G.Height(); ++y)
    for (int x = 0; x < G.Width(); ++x) {
      const RGBQUAD s = src[static_cast<size_t>(y * G.Width() + x)];
      const int py = h - 1 - (Y + G.Height() - 1 - y);  // both bottom-up
      RGBQUAD& d = dst[static_cast<size_t>(py * w + X + x)];
      const int a = s.rgbReserved;
      d.rgbBlue = static_cast<Byte>((s.rgbBlue * a + d.rgbBlue * (255 - a)) / 255);
      d.rgbGreen = static_cast<Byte>((s.rgbGreen * a + d.rgbGreen * (255 - a)) / 255);
      d.rgbRed = static_cast<Byte>((s.rgbRed * a + d.rgbRed * (255 - a)) / 255);
    }
  Picture.SetPixels(dst);
}

TEST(CanvasPicture, FiltersTilesBordersAndText) {
  const int width = 12 * kCell + 10, height = 250;
  TcxBitmap32 picture(width, height);
  TcxCanvas* canvas = picture.GetCxCanvas();
  canvas->FillRectColor(TRect(0, 0, width, height), 0xF0F0F0);
  canvas->GetFont()->SetName("Liberation Sans");
  canvas->GetFont()->SetHeight(-10);
  canvas->GetBrush()->SetStyle(bsClear);

  // Row 1: the glyph, then each filter.
  const struct {
    const char* Name;
    int Filter;  // -1: none
  } filters[] = {{"glyph", -1},           {"Fade", bfFade},         {"Disable", bfDisable},
                 {"GrayAvg", bfGrayAverage}, {"Opaque", bfOpaque}, {"Mask", bfMask},
                 {"Luma", bfGrayLuma},    {"LumaAlt", bfGrayLumaAlt}, {"FixAlpha", bfFixAlpha},
                 {"Hatch", bfHatch},      {"FillBk", bfFillBkColor}, {"ClrAlpha", bfClearAlpha}};
  int x = 6;
  for (const auto& f : filters) {
    TcxAlphaBitmap glyph(kGlyph, kGlyph);
    PaintGlyph(glyph);
    if (f.Filter == bfHatch)
      glyph.DrawHatch(clRed, clBlue, 4, 96, 96);
    else if (f.Filter == bfFillBkColor) {
      glyph.SetTransparentBkColor(0xC0209020u);
      glyph.ApplyFilter(bfFillBkColor);
    } else if (f.Filter >= 0)
      glyph.ApplyFilter(static_cast<TcxBitmapFilter>(f.Filter));
    Compose(picture, glyph, x + 4, 8);
    canvas->DrawTextInRect(f.Name, TRect(x, 42, x + kCell, 56), ctfCenterH | ctfSingleLine, true);
    x += kCell;
  }

  // Row 2: a tiled fill over negative logical coordinates (the strip left
  // of and above the origin is painted too).
  TcxBitmap32 tile(16, 16);
  for (int ty = 0; ty < 16; ++ty)
    for (int tx = 0; tx < 16; ++tx)
      tile.Canvas()->SetPixels(tx, ty, (tx < 8) != (ty < 8) ? 0x5080C0 : ((tx + ty) % 4 ? 0xE0E0FF : 0x303090));
  canvas->WriteWindowOrigin(TPoint(-16, -70));
  canvas->FillRectTiled(TRect(-10, -5, 200, 60), &tile);
  canvas->WriteWindowOrigin(TPoint(0, 0));
  canvas->DrawTextInRect("tiled from (-10, -5)", TRect(6, 132, 240, 146), ctfSingleLine, true);

  // Row 2, right: the border styles.
  int bx = 250;
  for (bool sunken : {true, false})
    for (bool outer : {true, false}) {
      canvas->FillRectColor(TRect(bx, 70, bx + 40, 110), clBtnFace);
      canvas->Draw3DBorders(TRect(bx, 70, bx + 40, 110), sunken, true, cxBordersAll);
      canvas->Draw3DBorders(TRect(bx + 1, 71, bx + 39, 109), sunken, false, cxBordersAll);
      if (!outer) canvas->DrawFocusFrames(TRect(bx + 6, 76, bx + 34, 104), 2);
      bx += 48;
    }
  canvas->DrawTwoColorBorders(TRect(bx, 70, bx + 40, 110), clRed, clNavy, cxBordersAll, 4);
  bx += 48;
  canvas->DrawFrameSides(TRect(bx, 70, bx + 40, 110), clGreen, 6, TcxBorders{bLeft, bBottom});
  canvas->GetBrush()->SetStyle(bsClear);  // the fills above left a solid brush
  canvas->DrawTextInRect("3D borders, two colours, frame sides", TRect(250, 114, width, 128), ctfSingleLine, true);

  // Row 3: rotated and disabled text.
  canvas->GetFont()->SetHeight(-16);
  canvas->GetFont()->SetColor(clNavy);
  canvas->DrawTextInRect("Enabled text", TRect(250, 150, 420, 172), ctfSingleLine | ctfRight, true);
  canvas->DrawTextInRect("Disabled text", TRect(250, 176, 420, 198), ctfSingleLine | ctfRight, false);
  canvas->DrawTextInRect("Word-wrapped text centred at the bottom", TRect(250, 200, 420, 244),
                         ctfWordBreak | ctfCenterH | ctfBottom, true);
  canvas->SetFontAngle(90);
  canvas->Canvas()->TextOut(30, 242, "Upward");
  canvas->SetFontAngle(270);
  canvas->Canvas()->TextOut(70, 160, "Downward");
  canvas->SetFontAngle(45);
  canvas->Canvas()->TextOut(100, 240, "At 45 degrees");

  // The picture, opaque, as a PNG.
  TRGBColors bottomUp;
  picture.GetPixels(bottomUp);
  std::vector<uint32_t> topDown(bottomUp.size());
  for (int y = 0; y < height; ++y)
    std::memcpy(&topDown[static_cast<size_t>(y * width)], &bottomUp[static_cast<size_t>((height - 1 - y) * width)],
                static_cast<size_t>(width) * 4);
  for (uint32_t& p : topDown) p |= 0xFF000000u;
  rtl::backend::TEncodeOptions options;
  options.Alpha = false;
  std::string png;
  ASSERT_TRUE(rtl::backend::EncodeImage(rtl::backend::iffPng, topDown.data(), width, height, width * 4, options, png));
  std::ofstream(PictureDir() + "ui_foundation_canvas.png", std::ios::binary) << png;

  // The tiled strip left of the origin is painted.
  EXPECT_NE(topDown[static_cast<size_t>(66 * width + 7)] & 0xFFFFFF, 0xF0F0F0u);
}

}  // namespace
