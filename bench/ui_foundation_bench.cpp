// The UI foundation's containers against the standard library: the fast
// pointer list against std::vector<void*> (append, insert at the front,
// delete from the front), and a handler set's InvokeAll against a plain
// loop over std::function, and a mouse event through the hook controller
// with ten handlers against one bare hook procedure. Each pair runs in one benchmark, which reports
// both times and their ratio as counters.
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <vector>

#include "platform/rtl/threads.h"
#include "platform/testing/user_testing.h"
#include "platform/win/user/user.h"
#include "ui/foundation/cx_classes.h"
#include "ui/foundation/fast_list.h"
#include "ui/foundation/hook_controller.h"

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

int GHookCalls = 0;
HHOOK GBareHook = nullptr;
LRESULT BareMouseHook(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code >= 0) ++GHookCalls;
  return CallNextHookEx(GBareHook, Code, WParam, LParam);
}
void CountingHandler(int Code, WPARAM, LPARAM, LRESULT&) {
  if (Code >= 0) ++GHookCalls;
}
template <int N>
void Handler(int Code, WPARAM W, LPARAM L, LRESULT& R) {
  CountingHandler(Code, W, L, R);
}
constexpr TdxHookHandlerProc kHandlers10[kHandlers] = {&Handler<0>, &Handler<1>, &Handler<2>, &Handler<3>,
                                                       &Handler<4>, &Handler<5>, &Handler<6>, &Handler<7>,
                                                       &Handler<8>, &Handler<9>};

// Mouse moves injected and retrieved: the part the hooks add is the
// difference between the two runs.
double MouseEvents(int Count) {
  auto start = TClock::now();
  MSG m;
  for (int i = 0; i < Count; ++i) {
    rtl::testing::InjectMouseMove(POINT{10 + (i & 7), 10});
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
  return std::chrono::duration<double, std::nano>(TClock::now() - start).count();
}

void BM_HookControllerAgainstBareHook(benchmark::State& state) {
  constexpr int kEvents = 20000;
  dx_core_detail::StartHooks();
  HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                             nullptr);
  double controller = 0, bare = 0;
  for (auto _ : state) {
    for (TdxHookHandlerProc h : kHandlers10) dxAddHookHandler(hkMouse, h);
    controller += MouseEvents(kEvents);
    for (TdxHookHandlerProc h : kHandlers10) dxRemoveHookHandler(h);
    GBareHook = SetWindowsHookExA(WH_MOUSE, &BareMouseHook, nullptr, GetCurrentThreadId());
    bare += MouseEvents(kEvents);
    UnhookWindowsHookEx(GBareHook);
  }
  DestroyWindow(wnd);
  dx_core_detail::StopHooks();
  benchmark::DoNotOptimize(GHookCalls);
  auto events = static_cast<double>(state.iterations()) * kEvents;
  state.counters["ten_handlers_ns"] = controller / events;
  state.counters["bare_hook_ns"] = bare / events;
  state.counters["ratio"] = bare > 0 ? controller / bare : 0;
}
BENCHMARK(BM_HookControllerAgainstBareHook)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
