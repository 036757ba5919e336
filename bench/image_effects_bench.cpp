// Blending, resampling and glyph drawing against the least the same work
// could cost: cxAlphaBlendBitmapOntoDC of 256 x 256 and 1920 x 1080 against
// a plain premultiplied source-over loop over the same pixels;
// cxResampleLanczos3 512 -> 256 and 256 -> 512 against a plain bilinear
// loop; cxDrawImageWithEffect of a 16 x 16 glyph 10,000 times with geNone
// and geDisabled against ImageList_Draw of the same glyph. Each reports
// "ratio", the library's time over the baseline's.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/forms/image_list.h"
#include "platform/win/comctl/commctrl.h"
#include "platform/win/gdi/gdi.h"
#include "ui/foundation/alpha_blend.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/graphics_unit.h"
#include "ui/foundation/image_effects.h"

namespace {

using TClock = std::chrono::steady_clock;

double Since(TClock::time_point Start) { return std::chrono::duration<double>(TClock::now() - Start).count(); }

// Premultiplied pixels of every opacity.
TRGBColors Picture(Integer W, Integer H) {
  TRGBColors p(static_cast<size_t>(W) * static_cast<size_t>(H));
  for (size_t i = 0; i < p.size(); ++i) {
    const Byte a = static_cast<Byte>((i * 7) % 256);
    p[i] = RGBQUAD{static_cast<Byte>(a * (i % 5) / 4), static_cast<Byte>(a / 2), static_cast<Byte>(a * ((i / 7) % 3) / 2),
                   a};
  }
  return p;
}

// The drawing unit binds AlphaBlend at start-up.
struct TGraphicsScope {
  TGraphicsScope() { cx_graphics_detail::StartGraphics(); }
  ~TGraphicsScope() { cx_graphics_detail::StopGraphics(); }
};

// Source-over of premultiplied pixels with a constant alpha, rounded.
void PlainSourceOver(const RGBQUAD* S, RGBQUAD* D, size_t N, uint32_t Sca) {
  for (size_t i = 0; i < N; ++i) {
    const uint32_t sa = (S[i].rgbReserved * Sca + 127) / 255;
    const uint32_t k = 255 - sa;
    auto mix = [&](Byte s, Byte d) { return static_cast<Byte>((s * Sca + d * k + 127) / 255); };
    D[i].rgbBlue = mix(S[i].rgbBlue, D[i].rgbBlue);
    D[i].rgbGreen = mix(S[i].rgbGreen, D[i].rgbGreen);
    D[i].rgbRed = mix(S[i].rgbRed, D[i].rgbRed);
    D[i].rgbReserved = static_cast<Byte>(sa + (D[i].rgbReserved * k + 127) / 255);
  }
}

void BM_AlphaBlendBitmapOntoDC(benchmark::State& state) {
  TGraphicsScope graphics;
  const Integer w = static_cast<Integer>(state.range(0)), h = static_cast<Integer>(state.range(1));
  TcxBitmap32 source(w, h), dest(w, h);
  const TRGBColors pixels = Picture(w, h);
  source.SetPixels(pixels);
  TRGBColors plainDest(pixels.size(), RGBQUAD{90, 120, 150, 255});
  HDC destDC = dest.Canvas()->Handle();
  double library = 0, plain = 0;
  for (auto _ : state) {
    auto start = TClock::now();
    cxAlphaBlendBitmapOntoDC(destDC, &source, TRect(0, 0, w, h), 200);
    library += Since(start);
    start = TClock::now();
    PlainSourceOver(pixels.data(), plainDest.data(), pixels.size(), 200);
    benchmark::DoNotOptimize(plainDest.data());
    plain += Since(start);
  }
  state.counters["ratio"] = plain > 0 ? library / plain : 0;
  state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_AlphaBlendBitmapOntoDC)->Args({256, 256})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

// Bilinear resize of whole pixel arrays, with (size - 1) scales as the
// resampler takes them.
void PlainBilinear(const TRGBColors& S, Integer SW, Integer SH, TRGBColors& D, Integer DW, Integer DH) {
  D.resize(static_cast<size_t>(DW) * static_cast<size_t>(DH));
  const double kx = DW > 1 ? double(SW - 1) / (DW - 1) : 0, ky = DH > 1 ? double(SH - 1) / (DH - 1) : 0;
  for (Integer y = 0; y < DH; ++y) {
    const double fy = y * ky;
    const Integer y0 = static_cast<Integer>(fy), y1 = std::min(y0 + 1, SH - 1);
    const Integer wy = static_cast<Integer>((fy - y0) * 256);
    for (Integer x = 0; x < DW; ++x) {
      const double fx = x * kx;
      const Integer x0 = static_cast<Integer>(fx), x1 = std::min(x0 + 1, SW - 1);
      const Integer wx = static_cast<Integer>((fx - x0) * 256);
      const RGBQUAD& a = S[size_t(y0 * SW + x0)];
      const RGBQUAD& b = S[size_t(y0 * SW + x1)];
      const RGBQUAD& c = S[size_t(y1 * SW + x0)];
      const RGBQUAD& d = S[size_t(y1 * SW + x1)];
      auto mix = [&](Byte pa, Byte pb, Byte pc, Byte pd) {
        const Integer top = pa * (256 - wx) + pb * wx, bottom = pc * (256 - wx) + pd * wx;
        return static_cast<Byte>((top * (256 - wy) + bottom * wy) >> 16);
      };
      D[size_t(y * DW + x)] = RGBQUAD{mix(a.rgbBlue, b.rgbBlue, c.rgbBlue, d.rgbBlue),
                                      mix(a.rgbGreen, b.rgbGreen, c.rgbGreen, d.rgbGreen),
                                      mix(a.rgbRed, b.rgbRed, c.rgbRed, d.rgbRed),
                                      mix(a.rgbReserved, b.rgbReserved, c.rgbReserved, d.rgbReserved)};
    }
  }
}

void BM_ResampleLanczos3(benchmark::State& state) {
  const Integer sw = static_cast<Integer>(state.range(0)), dw = static_cast<Integer>(state.range(1));
  TcxBitmap32 source(sw, sw), dest(dw, dw);
  const TRGBColors pixels = Picture(sw, sw);
  source.SetPixels(pixels);
  TRGBColors plain;
  double library = 0, baseline = 0;
  for (auto _ : state) {
    auto start = TClock::now();
    cxResampleLanczos3(&source, &dest);
    library += Since(start);
    start = TClock::now();
    PlainBilinear(pixels, sw, sw, plain, dw, dw);
    benchmark::DoNotOptimize(plain.data());
    baseline += Since(start);
  }
  state.counters["ratio"] = baseline > 0 ? library / baseline : 0;
}
BENCHMARK(BM_ResampleLanczos3)->Args({512, 256})->Args({256, 512})->Unit(benchmark::kMillisecond);

void BM_DrawImageWithEffect(benchmark::State& state) {
  TGraphicsScope graphics;
  const auto effect = static_cast<TcxGlyphEffect>(state.range(0));
  TcxBitmap32 glyph(16, 16);
  glyph.SetPixels(Picture(16, 16));
  TImageList list(16, 16);
  list.Add(&glyph, nullptr);
  TcxBitmap32 dest(64, 64);
  HDC dc = dest.Canvas()->Handle();
  constexpr int kCount = 10000;
  double library = 0, baseline = 0;
  for (auto _ : state) {
    auto start = TClock::now();
    for (int i = 0; i < kCount; ++i)
      cxDrawImageWithEffect(dc, TRect(8, 8, 24, 24), TRect(8, 8, 24, 24), nullptr, &list, 0, effect, false, nullptr,
                            clNone, true);
    library += Since(start);
    start = TClock::now();
    for (int i = 0; i < kCount; ++i) ImageList_Draw(list.Handle(), 0, dc, 8, 8, ILD_NORMAL);
    baseline += Since(start);
  }
  state.counters["ratio"] = baseline > 0 ? library / baseline : 0;
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_DrawImageWithEffect)->Arg(geNone)->Arg(geDisabled)->Unit(benchmark::kMillisecond);

}  // namespace
