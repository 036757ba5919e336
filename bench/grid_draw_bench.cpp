// The grid's alpha compositing against the GDI alpha blend: a 120 x 80
// 32-bit bitmap drawn with DrawAlphaBitmap and, in the same run, with
// AlphaBlend of the same bitmap onto the same surface. The counters give
// each one's time per draw in microseconds and their ratio (grid / GDI);
// DrawAlphaBitmap is meant to stay under 500 us.
#include <chrono>
#include <cstdint>

#include <benchmark/benchmark.h>

#include "grid/nx_shared_common.h"
#include "grid/nx_shared_draw.h"
#include "platform/forms/bitmap.h"
#include "platform/win/gdi/gdi.h"

namespace {

constexpr int kW = 120, kH = 80;

void MakeSource(TBitmap& Source) {
  Source.SetPixelFormat(pf32bit);
  Source.SetSize(kW, kH);
  for (int y = 0; y < kH; ++y) {
    auto* row = static_cast<uint32_t*>(Source.ScanLine(y));
    for (int x = 0; x < kW; ++x) row[x] = (static_cast<uint32_t>(x * 255 / (kW - 1)) << 24) | 0x0040A0E0u;
  }
}

void BM_GridAlphaAgainstGdi(benchmark::State& state) {
  TBitmap target(400, 200);
  target.SetPixelFormat(pf32bit);
  TCanvas* canvas = target.Canvas();
  TBitmap source;
  MakeSource(source);
  HDC sourceDC = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(sourceDC, source.Handle());
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  double grid = 0, gdi = 0;
  int64_t draws = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    NxSharedCommon::DrawAlphaBitmap(canvas, 10, 10, &source);
    auto t1 = std::chrono::steady_clock::now();
    AlphaBlend(canvas->Handle(), 200, 10, kW, kH, sourceDC, 0, 0, kW, kH, blend);
    auto t2 = std::chrono::steady_clock::now();
    grid += std::chrono::duration<double, std::micro>(t1 - t0).count();
    gdi += std::chrono::duration<double, std::micro>(t2 - t1).count();
    ++draws;
  }
  SelectObject(sourceDC, old);
  DeleteDC(sourceDC);
  state.counters["DrawAlphaBitmap_us"] = draws ? grid / draws : 0;
  state.counters["AlphaBlend_us"] = draws ? gdi / draws : 0;
  state.counters["ratio"] = gdi > 0 ? grid / gdi : 0;
}
BENCHMARK(BM_GridAlphaAgainstGdi);

// The per-channel compositing of the drawing provider, for comparison.
void BM_DrawProviderBitmap(benchmark::State& state) {
  TBitmap target(400, 200);
  target.SetPixelFormat(pf32bit);
  TBitmap source;
  MakeSource(source);
  for (auto _ : state) TDrawProvider::DrawBitmap(target.Canvas(), 10, 10, &source);
}
BENCHMARK(BM_DrawProviderBitmap);

void BM_Gradient(benchmark::State& state) {
  TBitmap target(200, 24);
  target.SetPixelFormat(pf32bit);
  for (auto _ : state) NxSharedDraw::DrawGradient(target.Canvas(), TRect(0, 0, 200, 24), 0xFFFFFF, 0xFFD2AF);
}
BENCHMARK(BM_Gradient);

}  // namespace
