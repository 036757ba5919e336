// The UI foundation's containers against the standard library: the fast
// pointer list against std::vector<void*> (append, insert at the front,
// delete from the front), and a handler set's InvokeAll against a plain
// loop over std::function. Each pair runs in one benchmark, which reports
// both times and their ratio as counters.
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <vector>

#include "ui/foundation/cx_classes.h"
#include "ui/foundation/fast_list.h"

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kAppended = 1000000;
constexpr int kInserted = 10000;

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

double RunFastList() {
  auto start = TClock::now();
  TdxFastList list;
  for (intptr_t i = 0; i < kAppended; ++i) list.Add(P(i));
  for (intptr_t i = 0; i < kInserted; ++i) list.Insert(0, P(i));
  for (int i = 0; i < kInserted; ++i) list.Delete(0);
  benchmark::DoNotOptimize(list.Count());
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

double RunVector() {
  auto start = TClock::now();
  std::vector<void*> list;
  for (intptr_t i = 0; i < kAppended; ++i) list.push_back(P(i));
  for (intptr_t i = 0; i < kInserted; ++i) list.insert(list.begin(), P(i));
  for (int i = 0; i < kInserted; ++i) list.erase(list.begin());
  benchmark::DoNotOptimize(list.size());
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

void BM_FastListAgainstVector(benchmark::State& state) {
  double fast = 0, vec = 0;
  for (auto _ : state) {
    fast += RunFastList();
    vec += RunVector();
  }
  auto n = static_cast<double>(state.iterations());
  state.counters["fast_list_ms"] = fast / n;
  state.counters["vector_ms"] = vec / n;
  state.counters["ratio"] = vec > 0 ? fast / vec : 0;
}
BENCHMARK(BM_FastListAgainstVector)->Unit(benchmark::kMillisecond)->Iterations(5);

constexpr int kHandlers = 10;
constexpr int kCalls = 100000;

struct TTarget {
  int Count = 0;
  void Handle(TObject*, void*) { ++Count; }
};

void BM_InvokeAllAgainstFunctionLoop(benchmark::State& state) {
  TTarget targets[kHandlers];
  TcxEventHandlerCollection handlers;
  std::vector<std::function<void(TObject*, void*)>> functions;
  for (TTarget& t : targets) {
    handlers.AddHandler(TcxEventHandler(&t, &TTarget::Handle));
    functions.emplace_back([&t](TObject* s, void* a) { t.Handle(s, a); });
  }
  double invoke = 0, loop = 0;
  for (auto _ : state) {
    auto start = TClock::now();
    for (int i = 0; i < kCalls; ++i) handlers.InvokeAll(nullptr, nullptr);
    auto mid = TClock::now();
    for (int i = 0; i < kCalls; ++i)
      for (auto& f : functions) f(nullptr, nullptr);
    auto end = TClock::now();
    invoke += std::chrono::duration<double, std::nano>(mid - start).count();
    loop += std::chrono::duration<double, std::nano>(end - mid).count();
  }
  benchmark::DoNotOptimize(targets[0].Count);
  auto calls = static_cast<double>(state.iterations()) * kCalls;
  state.counters["invoke_all_ns"] = invoke / calls;
  state.counters["function_loop_ns"] = loop / calls;
  state.counters["ratio"] = loop > 0 ? invoke / loop : 0;
}
BENCHMARK(BM_InvokeAllAgainstFunctionLoop)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
