// Draws 10,000 short strings onto a 1920x1080 32-bit DIB section, with
// TextOut and with DrawText; and text of fonts far taller than the surface,
// of which only the part in sight is made.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/win/gdi/gdi.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080, kStrings = 10000;

struct TCanvas {
  HDC dc;
  HBITMAP bmp;
  HGDIOBJ oldBmp, oldFont;
  HFONT font;
  std::vector<std::string> texts;
  TCanvas() {
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc = CreateCompatibleDC(nullptr);
    oldBmp = SelectObject(dc, bmp);
    LOGFONTA lf{};
    lf.lfHeight = -11;
    std::strcpy(lf.lfFaceName, "Tahoma");
    font = CreateFontIndirectA(&lf);
    oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < kStrings; ++i) {
      char buf[32];
      std::snprintf(buf, sizeof(buf), "File %04d.pdf", i);
      texts.emplace_back(buf);
    }
  }
  ~TCanvas() {
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBmp);
    DeleteDC(dc);
    DeleteObject(font);
    DeleteObject(bmp);
  }
};

void BM_TextOut10000(benchmark::State& state) {
  TCanvas c;
  for (auto _ : state) {
    for (int i = 0; i < kStrings; ++i)
      TextOutA(c.dc, (i % 16) * 118, (i / 16) % 70 * 15, c.texts[size_t(i)].c_str(),
               static_cast<int>(c.texts[size_t(i)].size()));
    benchmark::ClobberMemory();
  }
  state.counters["strings_per_second"] =
      benchmark::Counter(double(state.iterations()) * kStrings, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TextOut10000)->Unit(benchmark::kMillisecond);

void BM_DrawText10000(benchmark::State& state) {
  TCanvas c;
  for (auto _ : state) {
    for (int i = 0; i < kStrings; ++i) {
      RECT r{(i % 16) * 118, (i / 16) % 70 * 15, (i % 16) * 118 + 100, (i / 16) % 70 * 15 + 15};
      DrawTextA(c.dc, c.texts[size_t(i)].c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
    benchmark::ClobberMemory();
  }
  state.counters["strings_per_second"] =
      benchmark::Counter(double(state.iterations()) * kStrings, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawText10000)->Unit(benchmark::kMillisecond);

// "HW" in a font of em state.range(0) pixels turned by state.range(1)
// tenths of a degree, placed so that the glyphs' middles fill the surface.
void BM_HugeTextOut(benchmark::State& state) {
  TCanvas c;
  const int em = static_cast<int>(state.range(0));
  LOGFONTA lf{};
  lf.lfHeight = -em;
  lf.lfEscapement = static_cast<int>(state.range(1));
  std::strcpy(lf.lfFaceName, "Tahoma");
  HFONT huge = CreateFontIndirectA(&lf);
  SelectObject(c.dc, huge);
  SetTextAlign(c.dc, TA_BASELINE);
  const int x = kWidth / 2 - em / 2, y = kHeight / 2 + em / 3;
  for (auto _ : state) {
    TextOutA(c.dc, x, y, "HW", 2);
    benchmark::ClobberMemory();
  }
  SelectObject(c.dc, c.font);
  DeleteObject(huge);
}
BENCHMARK(BM_HugeTextOut)
    ->Args({65522, 0})
    ->Args({65522, 300})
    ->Args({4'000'000, 300})
    ->Args({10'000'000, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
