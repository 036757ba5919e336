// GDI+ drawing on a device context and the picture codecs.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/backend/codecs.h"
#include "platform/win/gdiplus/gdiplus.h"

namespace {

struct TStarted {
  ULONG_PTR Token = 0;
  TStarted() {
    GdiplusStartupInput input;
    GdiplusStartup(&Token, &input, nullptr);
  }
  ~TStarted() { GdiplusShutdown(Token); }
};

// A 256 x 256 DIB section in a memory DC with a graphics on it.
struct TTarget {
  TStarted Started;
  HBITMAP Bitmap;
  HDC Dc;
  HGDIOBJ Old;
  GpGraphics* Graphics = nullptr;
  TTarget() {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 256, -256, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    Bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    Dc = CreateCompatibleDC(nullptr);
    Old = SelectObject(Dc, Bitmap);
    GdipCreateFromHDC(Dc, &Graphics);
  }
  ~TTarget() {
    GdipDeleteGraphics(Graphics);
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bitmap);
  }
};

std::vector<uint32_t> Picture(int w, int h) {
  std::vector<uint32_t> px(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[size_t(y) * w + x] = 0xFF000000u | uint32_t(x * 255 / w) << 16 | uint32_t(y * 255 / h);
  return px;
}

void BM_FillEllipseAntiAliased(benchmark::State& state) {
  TTarget t;
  GdipSetSmoothingMode(t.Graphics, SmoothingModeAntiAlias);
  GpSolidFill* brush = nullptr;
  GdipCreateSolidFill(0x80FF0000u, &brush);
  for (auto _ : state) GdipFillEllipseI(t.Graphics, brush, 8, 8, 240, 240);
  GdipDeleteBrush(brush);
}
BENCHMARK(BM_FillEllipseAntiAliased);

void BM_DrawImageScaledWithAlpha(benchmark::State& state) {
  TTarget t;
  std::vector<uint32_t> px = Picture(128, 128);
  GpBitmap* image = nullptr;
  GdipCreateBitmapFromScan0(128, 128, 512, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(px.data()), &image);
  GpImageAttributes* attributes = nullptr;
  GdipCreateImageAttributes(&attributes);
  ColorMatrix m{};
  for (int i = 0; i < 5; ++i) m.m[i][i] = 1;
  m.m[3][3] = 0.5f;
  if (state.range(0))
    GdipSetImageAttributesColorMatrix(attributes, ColorAdjustTypeBitmap, TRUE, &m, nullptr, ColorMatrixFlagsDefault);
  for (auto _ : state)
    GdipDrawImageRectRectI(t.Graphics, image, 0, 0, 256, 256, 0, 0, 128, 128, UnitPixel, attributes, nullptr,
                           nullptr);
  GdipDisposeImageAttributes(attributes);
  GdipDisposeImage(image);
}
BENCHMARK(BM_DrawImageScaledWithAlpha)->Arg(0)->Arg(1);

void BM_DrawString(benchmark::State& state) {
  TTarget t;
  LOGFONTA lf{};
  lf.lfHeight = -13;
  std::string face = "Tahoma";
  face.copy(lf.lfFaceName, face.size());
  GpFont* font = nullptr;
  GdipCreateFontFromLogfontA(nullptr, &lf, &font);
  GpSolidFill* brush = nullptr;
  GdipCreateSolidFill(0xFF000000u, &brush);
  const GpRectF layout{4, 4, 248, 40};
  for (auto _ : state) GdipDrawString(t.Graphics, u"Convert 12 files to PDF", -1, font, &layout, nullptr, brush);
  GdipDeleteBrush(brush);
  GdipDeleteFont(font);
}
BENCHMARK(BM_DrawString);

void BM_Codec(benchmark::State& state) {
  auto format = static_cast<rtl::backend::TImageFileFormat>(state.range(0));
  std::vector<uint32_t> px = Picture(256, 256);
  std::string file;
  rtl::backend::EncodeImage(format, px.data(), 256, 256, 1024, {}, file);
  rtl::backend::TDecodedImage image;
  for (auto _ : state) benchmark::DoNotOptimize(rtl::backend::DecodeImage(file.data(), file.size(), image));
}
BENCHMARK(BM_Codec)
    ->Arg(rtl::backend::iffBmp)
    ->Arg(rtl::backend::iffPng)
    ->Arg(rtl::backend::iffJpeg)
    ->Arg(rtl::backend::iffTiff)
    ->Arg(rtl::backend::iffGif);

}  // namespace
