// FillRect and BitBlt SRCCOPY over a 1920x1080 32-bit DIB section, each
// against memset/memcpy of the same bytes; the ratio is a counter.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "platform/win/gdi/gdi.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr size_t kBytes = size_t(kWidth) * kHeight * 4;

struct TDib {
  HDC dc;
  HBITMAP bmp;
  HGDIOBJ old;
  void* bits = nullptr;
  TDib() {
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bmp);
  }
  ~TDib() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
};

// Best of several timed runs, in seconds per call.
template <class F>
double Best(F&& f) {
  double best = 1e9;
  for (int i = 0; i < 15; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
  }
  return best;
}

void BM_FillRect(benchmark::State& state) {
  TDib dib;
  std::vector<uint8_t> plain(kBytes);
  HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
  RECT r{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    FillRect(dib.dc, &r, brush);
    benchmark::DoNotOptimize(dib.bits);
    benchmark::ClobberMemory();
  }
  double gdi = Best([&] {
    FillRect(dib.dc, &r, brush);
    benchmark::ClobberMemory();
  });
  double base = Best([&] {
    std::memset(plain.data(), 0x5A, kBytes);
    benchmark::ClobberMemory();
  });
  state.counters["ratio_to_memset"] = gdi / base;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
  DeleteObject(brush);
}
BENCHMARK(BM_FillRect)->Unit(benchmark::kMicrosecond);

void BM_BitBltSrcCopy(benchmark::State& state) {
  TDib src, dst;
  std::memset(src.bits, 0x7F, kBytes);
  std::vector<uint8_t> a(kBytes, 1), b(kBytes, 2);
  for (auto _ : state) {
    BitBlt(dst.dc, 0, 0, kWidth, kHeight, src.dc, 0, 0, SRCCOPY);
    benchmark::DoNotOptimize(dst.bits);
    benchmark::ClobberMemory();
  }
  double gdi = Best([&] {
    BitBlt(dst.dc, 0, 0, kWidth, kHeight, src.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  });
  double base = Best([&] {
    std::memcpy(b.data(), a.data(), kBytes);
    benchmark::ClobberMemory();
  });
  state.counters["ratio_to_memcpy"] = gdi / base;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_BitBltSrcCopy)->Unit(benchmark::kMicrosecond);

void BM_Memset(benchmark::State& state) {
  std::vector<uint8_t> plain(kBytes);
  for (auto _ : state) {
    std::memset(plain.data(), 0x5A, kBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_Memset)->Unit(benchmark::kMicrosecond);

void BM_Memcpy(benchmark::State& state) {
  std::vector<uint8_t> a(kBytes, 1), b(kBytes, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), kBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);

// A ternary operation without a fast path, for scale.
void BM_PatBltDPSnaa(benchmark::State& state) {
  TDib dib;
  HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
  SelectObject(dib.dc, brush);
  for (auto _ : state) {
    PatBlt(dib.dc, 0, 0, kWidth, kHeight, 0x000A0329u);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
  SelectObject(dib.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
}
BENCHMARK(BM_PatBltDPSnaa)->Unit(benchmark::kMicrosecond);

}  // namespace
