// The 2003-style gradient drawn in software against GradientFill on the
// same rectangles: 1920 x 32 left to right and 32 x 1080 top to bottom, on
// a 32-bit surface. Each reports "ratio", the software fill's time over
// GradientFill's.
#include <chrono>

#include <benchmark/benchmark.h>

#include "platform/win/gdi/gdi.h"
#include "ui/foundation/office11_colors.h"

namespace {

using TClock = std::chrono::steady_clock;

double Since(TClock::time_point Start) { return std::chrono::duration<double>(TClock::now() - Start).count(); }

void BM_Office11Gradient(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const auto direction = state.range(2) ? TdxGradientDirection::Horizontal : TdxGradientDirection::Vertical;
  dx_office11_detail::StartOffice11();
  const auto bound = dx_office11_detail::GradientFillProc;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const TRect r(0, 0, w, h);
  const TColor c1 = RGB(0xDD, 0xEC, 0xFE), c2 = RGB(0x81, 0xA9, 0xE2);
  double software = 0, gradientFill = 0;
  for (auto _ : state) {
    dx_office11_detail::GradientFillProc = nullptr;
    auto start = TClock::now();
    dxPaintGradient(dc, r, c1, direction, c2);
    software += Since(start);
    dx_office11_detail::GradientFillProc = bound;
    start = TClock::now();
    dxPaintGradient(dc, r, c1, direction, c2);
    gradientFill += Since(start);
  }
  state.counters["ratio"] = gradientFill > 0 ? software / gradientFill : 0;
  state.SetItemsProcessed(state.iterations() * w * h);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  dx_office11_detail::StopOffice11();
}
BENCHMARK(BM_Office11Gradient)->Args({1920, 32, 1})->Args({32, 1080, 0})->Unit(benchmark::kMicrosecond);

}  // namespace
