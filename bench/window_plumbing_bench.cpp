// The window plumbing's costs. Subclassing: 1,000,000 messages sent to a
// framework control through three chained window procedures and to the
// same control unhooked, in the same run; the counters give both times
// and the overhead per message. Timers: 100 library timers against 100
// bare window timers over the same virtual second.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/testing/user_testing.h"
#include "platform/win/user/user_test_seams.h"
#include "platform/win/win32.h"
#include "ui/foundation/cx_components.h"
#include "ui/foundation/message_windows.h"

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kMessages = 1000000;
constexpr UINT WM_PROBE = WM_USER + 5;

class TCountingControl : public TWinControl {
 public:
  explicit TCountingControl(TComponent* AOwner) : TWinControl(AOwner) {}
  int Count = 0;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_PROBE) {
      Message.Result = ++Count;
      return;
    }
    TWinControl::WndProc(Message);
  }
};

struct THook {
  TcxWindowProcLinkedObject* Node = nullptr;
  void WndProc(TMessage& Message) { Node->CallPreviousWndProc(Message); }
};

double SendAll(TCountingControl& AControl) {
  auto start = TClock::now();
  for (int i = 0; i < kMessages; ++i) benchmark::DoNotOptimize(AControl.Perform(WM_PROBE, 0, 0));
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

void BM_ChainedWindowProcedures(benchmark::State& state) {
  rtl::testing::UseHeadlessBackend();
  TCountingControl control(nullptr);
  TcxWindowProcController controller;
  double hooked = 0, plain = 0;
  for (auto _ : state) {
    plain += SendAll(control);
    THook hooks[3];
    for (THook& h : hooks) h.Node = controller.AddControlWndProc(&control, TWndMethod(&h, &THook::WndProc));
    hooked += SendAll(control);
    for (THook& h : hooks) controller.RemoveWndProc(h.Node);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["hooked_ms"] = hooked / n;
  state.counters["plain_ms"] = plain / n;
  state.counters["overhead_ns_per_message"] = (hooked - plain) / n * 1e6 / kMessages;
}
BENCHMARK(BM_ChainedWindowProcedures)->Unit(benchmark::kMillisecond)->Iterations(3);

constexpr int kTimers = 100;

struct TTicks : TObject {
  long Count = 0;
  void Tick(TObject*) { ++Count; }
};

LRESULT BareTimerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_TIMER) {
    ++*reinterpret_cast<long*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

// One virtual second in 10 ms steps.
double RunVirtualSecond() {
  auto start = TClock::now();
  for (int t = 0; t < 1000; t += 10) {
    rtl::testing::AdvanceClock(10);
    rtl::testing::RunUntilIdle();
  }
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

void BM_LibraryTimersAgainstWindowTimers(benchmark::State& state) {
  rtl::testing::UseHeadlessBackend();
  rtl::testing::UseVirtualClock(true);
  WNDCLASSA wc{};
  wc.lpfnWndProc = BareTimerProc;
  wc.lpszClassName = "BenchBareTimers";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, "BenchBareTimers", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  long bareTicks = 0;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bareTicks));
  double library = 0, bare = 0;
  TTicks ticks;
  for (auto _ : state) {
    {
      std::vector<std::unique_ptr<TcxTimer>> timers;
      for (int i = 0; i < kTimers; ++i)
        timers.emplace_back(cxMakeTimer(10 + i % 10, true, TNotifyEvent(&ticks, &TTicks::Tick)));
      library += RunVirtualSecond();
    }
    for (int i = 0; i < kTimers; ++i) SetTimer(window, static_cast<UINT_PTR>(i + 1), 10 + i % 10, nullptr);
    bare += RunVirtualSecond();
    for (int i = 0; i < kTimers; ++i) KillTimer(window, static_cast<UINT_PTR>(i + 1));
  }
  DestroyWindow(window);
  rtl::testing::UseVirtualClock(false);
  const double n = static_cast<double>(state.iterations());
  state.counters["library_ms"] = library / n;
  state.counters["bare_ms"] = bare / n;
  state.counters["library_ticks"] = static_cast<double>(ticks.Count) / n;
  state.counters["bare_ticks"] = static_cast<double>(bareTicks) / n;
}
BENCHMARK(BM_LibraryTimersAgainstWindowTimers)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
