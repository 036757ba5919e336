// TStringList: sorting, sorted insertion, lookup in a sorted list, and
// loading a large text.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/streams.h"

namespace {

std::vector<std::string> RandomStrings(size_t n, unsigned seed = 42) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> len(4, 24), ch('A', 'z');
  std::vector<std::string> r(n);
  for (auto& s : r) {
    s.resize(static_cast<size_t>(len(rng)));
    for (auto& c : s) c = static_cast<char>(ch(rng));
  }
  return r;
}

void BM_Sort(benchmark::State& state) {
  auto strings = RandomStrings(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    TStringList list;
    for (const auto& s : strings) list.Add(s);
    state.ResumeTiming();
    list.Sort();
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Sort)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortedAdd(benchmark::State& state) {
  auto strings = RandomStrings(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    for (const auto& s : strings) list.Add(s);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SortedAdd)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortedIndexOf(benchmark::State& state) {
  auto strings = RandomStrings(static_cast<size_t>(state.range(0)));
  TStringList list;
  for (const auto& s : strings) list.Add(s);
  list.SetSorted(true);
  auto probes = RandomStrings(1000, 7);
  for (size_t i = 0; i < probes.size(); i += 2) probes[i] = strings[i * 31 % strings.size()];
  for (auto _ : state)
    for (const auto& p : probes) benchmark::DoNotOptimize(list.IndexOf(p));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(probes.size()));
}
BENCHMARK(BM_SortedIndexOf)->Arg(100000);

void BM_LoadFromStream(benchmark::State& state) {
  auto strings = RandomStrings(static_cast<size_t>(state.range(0)));
  std::string text;
  for (size_t i = 0; i < strings.size(); ++i) text += strings[i] + (i % 3 == 0 ? "\r\n" : "\n");
  TStringStream stream(text);
  for (auto _ : state) {
    stream.SetPosition(0);
    TStringList list;
    list.LoadFromStream(&stream);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LoadFromStream)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
