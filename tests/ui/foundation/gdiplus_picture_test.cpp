// Real pixels through the GDI+ canvas: sprite parts stretched and tiled
// without seams or bleeding, paints through the buffer, and a picture of
// the shapes to look at.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/backend/codecs.h"
#include "platform/forms/bitmap.h"
#include "platform/win/user/user_test_seams.h"
#include "tests/common/dib_canvas.h"
#include "tests/common/pictures.h"
#include "ui/foundation/gdiplus_canvas.h"
#include "ui/foundation/gdiplus_images.h"

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

// Three 3 x 3 parts side by side: red, green, blue.
struct TSprite {
  std::vector<uint32_t> Pixels = std::vector<uint32_t>(9 * 3);
  GpBitmap* Bitmap = nullptr;
  TSprite() {
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 9; ++x) Pixels[static_cast<size_t>(y * 9 + x)] = x < 3 ? kRed : x < 6 ? kGreen : kBlue;
    GdipCreateBitmapFromScan0(9, 3, 36, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(Pixels.data()), &Bitmap);
  }
  ~TSprite() { GdipDisposeImage(Bitmap); }
};

class GdiPlusPixels : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dxGpCheckAvailable(false)); }
  void TearDown() override { rtl::testing::SetDeviceCapsOverride({}); }
};

TEST_F(GdiPlusPixels, StretchedPartTakesNothingFromItsNeighbours) {
  TSprite sprite;
  for (Byte mode : {Byte{InterpolationModeDefault}, Byte{InterpolationModeHighQualityBicubic},
                    Byte{InterpolationModeBilinear}}) {
    TDibCanvas dc(40, 40, 0xFF000000u);
    TdxGPCanvas canvas;
    canvas.OpenOnDC(dc.dc);
    canvas.SetInterpolationMode(mode);
    dxGpDrawImagePart(canvas.Handle(), TRect(5, 5, 35, 35), TRect(3, 0, 6, 3), dxGpOpaque, sprite.Bitmap);
    canvas.CloseGraphics();
    for (int i = 5; i < 35; ++i)
      for (auto [x, y] : {std::pair{i, 5}, std::pair{i, 34}, std::pair{5, i}, std::pair{34, i}}) {
        uint32_t p = dc.At(x, y);
        EXPECT_EQ(p & 0xFFFFFF, 0x00FF00u) << "mode " << int(mode) << " at " << x << "," << y << std::hex << " " << p;
      }
    EXPECT_EQ(dc.CountNot(0xFF00FF00u, 5, 5, 35, 35, 0xFFFFFF), 0);
    EXPECT_EQ(dc.CountNot(0xFF000000u, 0, 0, 40, 5, 0xFFFFFF), 0) << "nothing outside the destination";
  }
}

TEST_F(GdiPlusPixels, TiledFillHasNoSeam) {
  TSprite sprite;
  for (Byte alpha : {Byte{255}, Byte{128}}) {
    TDibCanvas dc(40, 40, 0xFF000000u);
    TdxGPCanvas canvas;
    canvas.OpenOnDC(dc.dc);
    dxGpTileImagePart(canvas.Handle(), TRect(1, 2, 33, 31), TRect(3, 0, 6, 3), TdxGpAlpha(alpha), sprite.Bitmap);
    canvas.CloseGraphics();
    for (int x = 1; x < 33; ++x)
      for (int y = 2; y < 31; ++y) {
        uint32_t p = dc.At(x, y) & 0xFFFFFF;
        int g = (p >> 8) & 0xFF;
        EXPECT_EQ(p & 0xFF00FF, 0u) << x << "," << y;
        EXPECT_NEAR(g, alpha, 1) << "column " << x << " row " << y;
      }
    EXPECT_EQ(dc.CountNot(0xFF000000u, 33, 0, 40, 40, 0xFFFFFF), 0);
  }
}

TEST_F(GdiPlusPixels, LowColourDCPaintsThroughTheBuffer) {
  for (int bits : {16, 32}) {
    TDibCanvas dc(20, 20, 0xFF000000u);
    rtl::testing::SetDeviceCapsOverride({bits == 16 ? 16 : 0, 0, 0});
    TdxGPPaintCanvas* canvas = dxGpSharedPaintCanvas();
    ASSERT_NE(canvas, nullptr);
    canvas->BeginPaint(dc.dc, TRect(4, 4, 14, 14));
    EXPECT_EQ(canvas->Buffer() != nullptr, bits == 16);
    dxGpFillRectSolid(canvas->Handle(), TRect(6, 6, 10, 10), dxGpColorToARGB(clRed));
    if (bits == 16) EXPECT_EQ(dc.Rgb(7, 7), 0u) << "not on the DC before the end";
    canvas->EndPaint();
    EXPECT_EQ(dc.Rgb(7, 7), 0xFF0000u) << bits;
    EXPECT_EQ(dc.Rgb(5, 5), 0u);
    EXPECT_EQ(dc.Rgb(10, 10), 0u);
  }
}

TEST_F(GdiPlusPixels, GraphicsAndImagesDrawOnADC) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(4, 4);
  for (int y = 0; y < 4; ++y) {
    auto* row = static_cast<uint32_t*>(bitmap.ScanLine(y));
    for (int x = 0; x < 4; ++x) row[x] = 0xFF0000FFu;
  }
  TDibCanvas dc(20, 20, 0xFF000000u);
  TdxGPCanvas canvas;
  canvas.OpenOnDC(dc.dc);
  canvas.DrawGraphic(&bitmap, TRect(2, 2, 6, 6));
  TBitmap empty;
  canvas.DrawGraphic(&empty, TRect(10, 10, 14, 14));
  canvas.CloseGraphics();
  EXPECT_EQ(dc.Rgb(3, 3), 0x0000FFu);
  EXPECT_EQ(dc.CountNot(0xFF000000u, 8, 8, 20, 20, 0xFFFFFF), 0);
  // An image draws itself through the shared paint canvas, at an alpha.
  TdxGPImage image(TSize(3, 3), TdxGpARGB{0xFFFF0000});
  image.DrawOnDC(dc.dc, TRect(10, 10, 13, 13), TdxGpAlpha(128));
  EXPECT_NEAR(static_cast<int>(dc.Rgb(11, 11) >> 16), 128, 1);
  EXPECT_EQ(dc.Rgb(9, 9), 0u);
}

// The picture: shapes with pen styles and alphas, a gradient pair and a
// nine-part frame stretched from a sprite.
TEST_F(GdiPlusPixels, Picture) {
  const int W = 360, H = 200;
  TDibCanvas dc(W, H, 0xFFFFFFFFu);
  TdxGPCustomPaintCanvas* canvas = dxGpBeginPaint(dc.dc, TRect(0, 0, W, H));
  canvas->SetSmoothingMode(SmoothingModeAntiAlias);
  TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
  for (int i = 0; i < 5; ++i) {
    TRect r(10 + i * 70, 10, 70 + i * 70, 70);
    canvas->DrawEllipse(r, clNavy, i % 2 ? clYellow : TColor(0xF0CAA6), 2, styles[i], dxGpOpaque,
                        TdxGpAlpha(static_cast<Byte>(80 + i * 40)));
    canvas->DrawPie(TRect(r.Left + 10, 80, r.Left + 60, 130), clMaroon, 30 * i, 90 + 30 * i, clLime, 1, styles[i],
                    dxGpOpaque, TdxGpAlpha(160));
    canvas->DrawArc(TRect(r.Left + 5, 82, r.Left + 65, 128), clPurple, -45, 200, 3, styles[i], TdxGpAlpha(200));
  }
  const GpPointF star[] = {{20, 190}, {45, 140}, {70, 190}, {10, 158}, {80, 158}};
  canvas->DrawPolygon(star, clBlack, clRed, 1, psSolid, dxGpOpaque, TdxGpAlpha(128));
  const GpPointF tri[] = {{90, 190}, {120, 140}, {150, 190}};
  canvas->DrawPolygon(tri, clGreen, clNone, 2, psDash);
  canvas->DrawLine(160, 140, 200, 190, clBlue, 2, psDot);
  dxGpEndPaint(canvas);
  dxGpFillGradientOnDC(dc.dc, TRect(210, 140, 280, 165), clBlue, dxGpOpaque, clWhite, TdxGpAlpha(0),
                       LinearGradientModeHorizontal);
  dxGpFillGradientOnDC(dc.dc, TRect(210, 168, 280, 193), clRed, TdxGpAlpha(64), clRed, dxGpOpaque,
                       LinearGradientModeVertical);
  // A 9 x 9 frame sprite: 3-pixel corners, edges and centre in distinct shades.
  std::vector<uint32_t> frame(81);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) {
      int part = (y / 3) * 3 + x / 3;
      frame[static_cast<size_t>(y * 9 + x)] = part == 4 ? 0xFFE8F0FFu : part % 2 ? 0xFF5080C0u : 0xFF203060u;
    }
  GpBitmap* sprite = nullptr;
  GdipCreateBitmapFromScan0(9, 9, 36, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(frame.data()), &sprite);
  TdxGPCanvas frameCanvas;
  frameCanvas.OpenOnDC(dc.dc);
  const TRect target(290, 140, 350, 193);
  const int cols[] = {target.Left, target.Left + 3, target.Right - 3, target.Right};
  const int rows[] = {target.Top, target.Top + 3, target.Bottom - 3, target.Bottom};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      dxGpDrawImagePart(frameCanvas.Handle(), TRect(cols[c], rows[r], cols[c + 1], rows[r + 1]),
                        TRect(c * 3, r * 3, c * 3 + 3, r * 3 + 3), dxGpOpaque, sprite);
  frameCanvas.CloseGraphics();
  GdipDisposeImage(sprite);
  // The frame's edges hold only edge colours, its centre only the centre's.
  EXPECT_EQ(dc.At(320, 141) & 0xFFFFFF, 0x5080C0u);
  EXPECT_EQ(dc.At(320, 165) & 0xFFFFFF, 0xE8F0FFu);
  EXPECT_EQ(dc.At(291, 141) & 0xFFFFFF, 0x203060u);

  std::vector<uint32_t> pixels(dc.bits, dc.bits + W * H);
  for (uint32_t& p : pixels) p |= 0xFF000000u;
  rtl::backend::TEncodeOptions options;
  options.Alpha = false;
  std::string png;
  ASSERT_TRUE(rtl::backend::EncodeImage(rtl::backend::iffPng, pixels.data(), W, H, W * 4, options, png));
  std::ofstream(PictureDir() + "ui_foundation_gdiplus.png", std::ios::binary) << png;
}

}  // namespace
