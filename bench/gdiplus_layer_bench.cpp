// The GDI+ layer's cost: a nine-part sprite frame drawn through
// dxGpDrawImagePart against nine direct GdipDrawImageRectRectI calls
// ("overhead" is the wrapper's time over the direct time), tiling a full
// HD area at full opacity (one texture fill) and at alpha 128 (one draw
// per tile), and loading and realising a 256 x 256 PNG sprite sheet
// through TdxPNGImage against the platform codec decoding the same bytes.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/backend/codecs.h"
#include "platform/rtl/streams.h"
#include "ui/foundation/gdiplus_canvas.h"
#include "ui/foundation/gdiplus_images.h"

namespace {

using TClock = std::chrono::steady_clock;

struct TTarget {
  HDC DC = CreateCompatibleDC(nullptr);
  HBITMAP Bitmap;
  HGDIOBJ Old;
  GpGraphics* Graphics = nullptr;
  TTarget(int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    Bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    Old = SelectObject(DC, Bitmap);
    dxGpCheckAvailable(false);
    GdipCreateFromHDC(DC, &Graphics);
  }
  ~TTarget() {
    GdipDeleteGraphics(Graphics);
    SelectObject(DC, Old);
    DeleteObject(Bitmap);
    DeleteDC(DC);
  }
};

struct TSheet {
  std::vector<uint32_t> Pixels;
  GpBitmap* Bitmap = nullptr;
  explicit TSheet(int size) : Pixels(static_cast<size_t>(size * size)) {
    for (size_t i = 0; i < Pixels.size(); ++i) Pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    GdipCreateBitmapFromScan0(size, size, size * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(Pixels.data()),
                              &Bitmap);
  }
  ~TSheet() { GdipDisposeImage(Bitmap); }
};

const int kEdges[] = {0, 4, 60, 64};     // a 64 x 64 frame with 4-pixel borders
const int kSource[] = {0, 4, 12, 16};    // from a 16 x 16 sprite part

void FrameByWrapper(GpGraphics* g, GpImage* image) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      dxGpDrawImagePart(g, TRect(kEdges[c], kEdges[r], kEdges[c + 1], kEdges[r + 1]),
                        TRect(kSource[c], kSource[r], kSource[c + 1], kSource[r + 1]), dxGpOpaque, image);
}

void FrameDirect(GpGraphics* g, GpImage* image) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      GdipDrawImageRectRectI(g, image, kEdges[c], kEdges[r], kEdges[c + 1] - kEdges[c], kEdges[r + 1] - kEdges[r],
                             kSource[c], kSource[r], kSource[c + 1] - kSource[c], kSource[r + 1] - kSource[r],
                             UnitPixel, nullptr, nullptr, nullptr);
}

void BM_SpriteFrame10000(benchmark::State& state) {
  TTarget target(64, 64);
  TSheet sheet(16);
  double wrapper = 0, direct = 0;
  for (auto _ : state) {
    auto t0 = TClock::now();
    for (int i = 0; i < 10000; ++i) FrameByWrapper(target.Graphics, sheet.Bitmap);
    auto t1 = TClock::now();
    for (int i = 0; i < 10000; ++i) FrameDirect(target.Graphics, sheet.Bitmap);
    auto t2 = TClock::now();
    wrapper += std::chrono::duration<double>(t1 - t0).count();
    direct += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["overhead"] = direct > 0 ? wrapper / direct : 0;
}
BENCHMARK(BM_SpriteFrame10000)->Unit(benchmark::kMillisecond);

void BM_TileHD(benchmark::State& state) {
  TTarget target(1920, 1080);
  TSheet sheet(64);
  TdxGpAlpha alpha(static_cast<Byte>(state.range(0)));
  double opaque = 0, measured = 0;
  for (auto _ : state) {
    auto t0 = TClock::now();
    dxGpTileImagePart(target.Graphics, TRect(0, 0, 1920, 1080), TRect(8, 8, 40, 40), alpha, sheet.Bitmap);
    auto t1 = TClock::now();
    dxGpTileImagePart(target.Graphics, TRect(0, 0, 1920, 1080), TRect(8, 8, 40, 40), dxGpOpaque, sheet.Bitmap);
    auto t2 = TClock::now();
    measured += std::chrono::duration<double>(t1 - t0).count();
    opaque += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["vs_opaque"] = opaque > 0 ? measured / opaque : 0;
}
BENCHMARK(BM_TileHD)->Arg(255)->Arg(128)->Unit(benchmark::kMillisecond);

void BM_PngSheetLoad(benchmark::State& state) {
  dxGpCheckAvailable(false);
  std::vector<uint32_t> pixels(256 * 256);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = (i % 7 ? 0xFF000000u : 0x80000000u) | static_cast<uint32_t>((i / 256) << 8 | (i % 256));
  std::string png;
  rtl::backend::EncodeImage(rtl::backend::iffPng, pixels.data(), 256, 256, 1024, {}, png);
  double layer = 0, codec = 0;
  for (auto _ : state) {
    auto t0 = TClock::now();
    {
      TMemoryStream s;
      s.WriteBuffer(png.data(), static_cast<Integer>(png.size()));
      s.SetPosition(0);
      TdxPNGImage image;
      image.LoadFromStream(&s);
      benchmark::DoNotOptimize(image.GetHandle());
    }
    auto t1 = TClock::now();
    rtl::backend::TDecodedImage decoded;
    rtl::backend::DecodeImage(png.data(), png.size(), decoded);
    benchmark::DoNotOptimize(decoded.Pixels.data());
    auto t2 = TClock::now();
    layer += std::chrono::duration<double>(t1 - t0).count();
    codec += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["vs_codec"] = codec > 0 ? layer / codec : 0;
}
BENCHMARK(BM_PngSheetLoad)->Unit(benchmark::kMillisecond);

}  // namespace
