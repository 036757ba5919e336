// Text formatting on the paths the file list and the log take: Format with
// the usual patterns, IntToStr, FormatFloat and FormatDateTime.
#include <benchmark/benchmark.h>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"

namespace {

void BM_FormatStringAndInteger(benchmark::State& state) {
  const AnsiString name = "report-2024.pdf";
  Integer n = 0;
  for (auto _ : state) benchmark::DoNotOptimize(Format("%s %d", {name, ++n}));
}
BENCHMARK(BM_FormatStringAndInteger);

void BM_FormatFileSize(benchmark::State& state) {
  double kb = 1234.5678;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Format("%4.2f KB", {kb}));
    kb += 0.25;
  }
}
BENCHMARK(BM_FormatFileSize);

void BM_FormatIndexed(benchmark::State& state) {
  const AnsiString a = "C:", b = "docs", c = "file", d = ".pdf", e = "(2)";
  for (auto _ : state) benchmark::DoNotOptimize(Format("%2:s%0:s%1:s%0:s%3:s %4:s", {a, b, c, d, e}));
}
BENCHMARK(BM_FormatIndexed);

void BM_IntToStr(benchmark::State& state) {
  Int64 n = 1234567;
  for (auto _ : state) benchmark::DoNotOptimize(IntToStr(n++));
}
BENCHMARK(BM_IntToStr);

void BM_FormatFloatPicture(benchmark::State& state) {
  double v = 1234567.891;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatFloat("#,##0.00", v));
    v += 1.25;
  }
}
BENCHMARK(BM_FormatFloatPicture);

void BM_FormatDateTime(benchmark::State& state) {
  TDateTime t = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatDateTime("yyyy-mm-dd hh:nn:ss", t));
    t += 1.0 / 86400;
  }
}
BENCHMARK(BM_FormatDateTime);

void BM_DateTimeToStr(benchmark::State& state) {
  TDateTime t = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(DateTimeToStr(t));
    t += 1.0 / 86400;
  }
}
BENCHMARK(BM_DateTimeToStr);

}  // namespace
