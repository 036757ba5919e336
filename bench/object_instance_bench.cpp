// Object instances: the cost of a call through one, and of making and
// freeing one.
#include <benchmark/benchmark.h>

#include "platform/win/user/user_object_instance.h"
#include "platform/win/win32.h"

namespace {

void BM_CallThroughInstance(benchmark::State& state) {
  WNDPROC inst = MakeObjectInstance([](TMessage& m) { m.Result = static_cast<LRESULT>(m.WParam) + 1; });
  WPARAM w = 0;
  for (auto _ : state) {
    w = static_cast<WPARAM>(CallWindowProcA(inst, nullptr, WM_USER, w, 0));
    benchmark::DoNotOptimize(w);
  }
  FreeObjectInstance(inst);
}
BENCHMARK(BM_CallThroughInstance);

void BM_MakeAndFreeInstance(benchmark::State& state) {
  for (auto _ : state) {
    WNDPROC inst = MakeObjectInstance([](TMessage& m) { m.Result = 1; });
    benchmark::DoNotOptimize(inst);
    FreeObjectInstance(inst);
  }
}
BENCHMARK(BM_MakeAndFreeInstance);

}  // namespace
