// The canvas's cost over plain GDI: filling through a canvas against
// FillRect on the DC (the "overhead" counter is the canvas time over the
// GDI time), a brush whose colour changes on every fill (a new GDI brush
// each time), drawing a 32-bit glyph by alpha format, and BMP round trips.
#include <chrono>
#include <cstdint>

#include <benchmark/benchmark.h>

#include "platform/forms/bitmap.h"
#include "platform/rtl/streams.h"

namespace {

constexpr int kSize = 256;
constexpr int kCell = 16;

double SecondsOf(void (*body)(TCanvas&, HDC, HBRUSH), int rounds) {
  TBitmap target(kSize, kSize);
  target.SetPixelFormat(pf32bit);
  TCanvas* canvas = target.Canvas();
  HDC dc = canvas->Handle();
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) body(*canvas, dc, brush);
  double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  DeleteObject(brush);
  return s;
}

void CanvasFills(TCanvas& canvas, HDC, HBRUSH) {
  for (int y = 0; y < kSize; y += kCell)
    for (int x = 0; x < kSize; x += kCell) canvas.FillRect(Bounds(x, y, kCell, kCell));
}

void GdiFills(TCanvas&, HDC dc, HBRUSH brush) {
  for (int y = 0; y < kSize; y += kCell)
    for (int x = 0; x < kSize; x += kCell) {
      RECT r = Bounds(x, y, kCell, kCell);
      FillRect(dc, &r, brush);
    }
}

void BM_CanvasFillRect(benchmark::State& state) {
  double canvas = 0, gdi = 0;
  for (auto _ : state) {
    canvas += SecondsOf(CanvasFills, 1);
    gdi += SecondsOf(GdiFills, 1);
  }
  state.counters["overhead"] = gdi > 0 ? canvas / gdi : 0;
  state.SetItemsProcessed(state.iterations() * (kSize / kCell) * (kSize / kCell));
}
BENCHMARK(BM_CanvasFillRect)->Unit(benchmark::kMicrosecond);

void BM_CanvasBrushColourChurn(benchmark::State& state) {
  TBitmap target(kSize, kSize);
  target.SetPixelFormat(pf32bit);
  TCanvas* canvas = target.Canvas();
  int n = 0;
  for (auto _ : state) {
    canvas->Brush()->SetColor(static_cast<TColor>(n++ & 0xFFFFFF));
    canvas->FillRect(Bounds(0, 0, kCell, kCell));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CanvasBrushColourChurn);

void BM_DrawGlyph(benchmark::State& state) {
  TBitmap glyph;
  glyph.SetPixelFormat(pf32bit);
  glyph.SetSize(32, 32);
  for (int y = 0; y < 32; ++y) {
    auto* row = static_cast<uint32_t*>(glyph.ScanLine(y));
    for (int x = 0; x < 32; ++x) row[x] = (uint32_t(x * 8) << 24) | 0x00406080u;
  }
  glyph.SetAlphaFormat(static_cast<TAlphaFormat>(state.range(0)));
  TBitmap target(kSize, kSize);
  target.SetPixelFormat(pf32bit);
  TCanvas* canvas = target.Canvas();
  for (auto _ : state) canvas->Draw(10, 10, &glyph);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawGlyph)->Arg(afIgnored)->Arg(afDefined)->Arg(afPremultiplied);

void BM_BitmapSaveLoad(benchmark::State& state) {
  TBitmap bmp(kSize, kSize);
  bmp.SetPixelFormat(static_cast<TPixelFormat>(state.range(0)));
  for (auto _ : state) {
    TMemoryStream s;
    bmp.SaveToStream(&s);
    s.SetPosition(0);
    TBitmap back;
    back.LoadFromStream(&s);
    benchmark::DoNotOptimize(back.Handle());
  }
  state.SetBytesProcessed(state.iterations() * int64_t(kSize) * kSize * 4);
}
BENCHMARK(BM_BitmapSaveLoad)->Arg(pf8bit)->Arg(pf24bit)->Arg(pf32bit);

}  // namespace
