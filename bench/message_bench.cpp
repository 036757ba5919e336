// Message throughput: posted messages retrieved and dispatched, and sent
// messages, with two hooks installed, as the UI library installs them.
#include <benchmark/benchmark.h>

#include <thread>

#include "platform/testing/user_testing.h"
#include "platform/win/win32.h"

namespace {

LRESULT Counter(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) return static_cast<LRESULT>(w) + 1;
  return DefWindowProcA(h, m, w, l);
}

LRESULT PassOn(int code, WPARAM w, LPARAM l) { return CallNextHookEx(nullptr, code, w, l); }

struct TSetup {
  HWND Window = nullptr;
  HHOOK Hooks[2] = {};
  TSetup(int first, int second) {
    rtl::testing::UseHeadlessBackend();
    WNDCLASSA wc{};
    wc.lpfnWndProc = Counter;
    wc.lpszClassName = "BenchCounter";
    RegisterClassA(&wc);
    Window = CreateWindowExA(0, "BenchCounter", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    Hooks[0] = SetWindowsHookExA(first, PassOn, nullptr, 0);
    Hooks[1] = SetWindowsHookExA(second, PassOn, nullptr, 0);
  }
  ~TSetup() {
    UnhookWindowsHookEx(Hooks[0]);
    UnhookWindowsHookEx(Hooks[1]);
    DestroyWindow(Window);
  }
};

void BM_PostedMessages(benchmark::State& state) {
  TSetup s(WH_GETMESSAGE, WH_CALLWNDPROC);
  const int batch = static_cast<int>(state.range(0));
  MSG m;
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) PostMessageA(s.Window, WM_USER, static_cast<WPARAM>(i), 0);
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
  state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_PostedMessages)->Arg(1)->Arg(100)->Arg(5000);

void BM_SentMessages(benchmark::State& state) {
  TSetup s(WH_CALLWNDPROC, WH_CALLWNDPROCRET);
  WPARAM w = 0;
  for (auto _ : state) benchmark::DoNotOptimize(w = static_cast<WPARAM>(SendMessageA(s.Window, WM_USER, w, 0)));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SentMessages);

void BM_SentAcrossThreads(benchmark::State& state) {
  TSetup s(WH_CALLWNDPROC, WH_CALLWNDPROCRET);
  HWND target = s.Window;
  std::thread sender;
  for (auto _ : state) {
    state.PauseTiming();
    std::atomic<bool> done{false};
    sender = std::thread([&] {
      for (int i = 0; i < 1000; ++i) SendMessageA(target, WM_USER, 0, 0);
      done = true;
      PostMessageA(target, WM_NULL, 0, 0);
    });
    state.ResumeTiming();
    MSG m;
    while (!done && GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    state.PauseTiming();
    sender.join();
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_SentAcrossThreads)->UseRealTime();

}  // namespace
