// Draws 10,000 short strings onto a 1920x1080 32-bit DIB section, with
// TextOut and with DrawText.
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

}  // namespace
