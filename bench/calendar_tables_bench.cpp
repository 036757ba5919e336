// Splitting and joining every day of 1900 to 2100 with the Gregorian,
// Hijri and Hebrew calendar tables, against, in the same run, the
// framework's DecodeDate and EncodeDate over the same days. The counters
// give each one's time per day in nanoseconds and their ratio (table /
// framework).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

#include "platform/rtl/dateutils.h"
#include "ui/foundation/calendar_tables.h"

namespace {

struct TRegistry {
  TRegistry() { cx_calendar_detail::StartCalendarTables(); }
};

void SplitAndJoin(benchmark::State& state, CALID ACalendar) {
  static TRegistry Registry;
  const TcxCustomCalendarTable* Table = cxCalendarTableFor(ACalendar);
  const TDateTime First = EncodeDate(1900, 1, 1), Last = EncodeDate(2100, 12, 31);
  const int64_t Days = static_cast<int64_t>(Last - First) + 1;
  double TableTime = 0, FrameworkTime = 0;
  int64_t Runs = 0;
  for (auto _ : state) {
    auto T0 = std::chrono::steady_clock::now();
    for (TDateTime Day = First; Day <= Last; Day += 1) {
      TcxCalendarDateTime D = Table->SplitDateTime(Day);
      benchmark::DoNotOptimize(Table->JoinDateTime(D));
    }
    auto T1 = std::chrono::steady_clock::now();
    for (TDateTime Day = First; Day <= Last; Day += 1) {
      Word Y, M, D;
      DecodeDate(Day, Y, M, D);
      benchmark::DoNotOptimize(EncodeDate(Y, M, D));
    }
    auto T2 = std::chrono::steady_clock::now();
    TableTime += std::chrono::duration<double, std::nano>(T1 - T0).count();
    FrameworkTime += std::chrono::duration<double, std::nano>(T2 - T1).count();
    ++Runs;
  }
  state.counters["table_ns_per_day"] = Runs ? TableTime / Runs / Days : 0;
  state.counters["framework_ns_per_day"] = Runs ? FrameworkTime / Runs / Days : 0;
  state.counters["ratio"] = FrameworkTime > 0 ? TableTime / FrameworkTime : 0;
}

void BM_GregorianSplitJoin(benchmark::State& state) { SplitAndJoin(state, CAL_GREGORIAN); }
void BM_HijriSplitJoin(benchmark::State& state) { SplitAndJoin(state, CAL_HIJRI); }
void BM_HebrewSplitJoin(benchmark::State& state) { SplitAndJoin(state, CAL_HEBREW); }
BENCHMARK(BM_GregorianSplitJoin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HijriSplitJoin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HebrewSplitJoin)->Unit(benchmark::kMillisecond);

}  // namespace
