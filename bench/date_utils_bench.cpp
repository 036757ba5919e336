// Reading typed dates and rebuilding the format pictures. cxTextToDate of
// 10,000 mixed texts (date words with offsets, locale dates, failures)
// runs against the framework's TryStrToDate on the same texts; a full
// RebuildFormats of the format controller against one GetDateFormatA call.
// Each prints its ratio (library / framework or single call).
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel_datefmt.h"
#include "ui/foundation/date_utils.h"
#include "ui/foundation/format_controller.h"

namespace {

struct TUnit {
  TUnit() { cx_date_utils_detail::StartDateUtils(); }
};

std::vector<AnsiString> MixedTexts() {
  const char* words[] = {"today", "today + 3", "EOM - 1", "Monday", "second", "yesterday", "bom+10"};
  std::vector<AnsiString> texts;
  texts.reserve(10000);
  for (int i = 0; i < 10000; ++i) {
    switch (i % 3) {
      case 0: texts.push_back(words[i % 7]); break;
      case 1:
        texts.push_back(std::to_string(i % 12 + 1) + "/" + std::to_string(i % 28 + 1) + "/" +
                        std::to_string(1950 + i % 100));
        break;
      default: texts.push_back(i % 2 ? "2/31/2001" : "not a date " + std::to_string(i)); break;
    }
  }
  return texts;
}

void BM_TextToDate(benchmark::State& state) {
  static TUnit Unit;
  static const std::vector<AnsiString> Texts = MixedTexts();
  cxGetFormatController();
  double Library = 0, Framework = 0;
  for (auto _ : state) {
    auto T0 = std::chrono::steady_clock::now();
    for (const AnsiString& Text : Texts) benchmark::DoNotOptimize(cxTextToDate(Text, false));
    auto T1 = std::chrono::steady_clock::now();
    for (const AnsiString& Text : Texts) {
      TDateTime Date;
      benchmark::DoNotOptimize(TryStrToDate(Text, Date));
    }
    auto T2 = std::chrono::steady_clock::now();
    Library += std::chrono::duration<double, std::micro>(T1 - T0).count();
    Framework += std::chrono::duration<double, std::micro>(T2 - T1).count();
  }
  state.counters["cxTextToDate_us"] = Library / static_cast<double>(state.iterations());
  state.counters["TryStrToDate_us"] = Framework / static_cast<double>(state.iterations());
  state.counters["ratio"] = Framework > 0 ? Library / Framework : 0;
}
BENCHMARK(BM_TextToDate)->Unit(benchmark::kMillisecond);

void BM_RebuildFormats(benchmark::State& state) {
  static TUnit Unit;
  TcxFormatController* Controller = cxGetFormatController();
  SYSTEMTIME Time;
  Time.wYear = 2024;
  Time.wMonth = 5;
  Time.wDay = 15;
  char Buffer[100];
  double Rebuild = 0, Single = 0;
  for (auto _ : state) {
    auto T0 = std::chrono::steady_clock::now();
    Controller->RebuildFormats();
    auto T1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &Time, "dddd, MMMM d, yyyy", Buffer, 100));
    auto T2 = std::chrono::steady_clock::now();
    Rebuild += std::chrono::duration<double, std::nano>(T1 - T0).count();
    Single += std::chrono::duration<double, std::nano>(T2 - T1).count();
  }
  state.counters["RebuildFormats_ns"] = Rebuild / static_cast<double>(state.iterations());
  state.counters["GetDateFormatA_ns"] = Single / static_cast<double>(state.iterations());
  state.counters["ratio"] = Single > 0 ? Rebuild / Single : 0;
}
BENCHMARK(BM_RebuildFormats);

}  // namespace
