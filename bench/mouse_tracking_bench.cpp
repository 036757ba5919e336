// The cost of mouse-leave tracking: 50 tracked controls (nested, so that
// the mouse over the innermost one is over all of them and no watch ends)
// ticking for 10,000 virtual ticks of 10 ms, against 50 library timers
// with an empty handler over the same ticks. The counters give both times
// and their ratio. Nesting makes this the worst case of the per-tick
// window walk: each tick finds the window under the mouse 50 levels down,
// and every level maps the point again from the screen.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/testing/user_testing.h"
#include "platform/win/win32.h"
#include "ui/foundation/core_classes.h"
#include "ui/foundation/cx_components.h"
#include "ui/foundation/mouse_tracking.h"

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kControls = 50;
constexpr int kTicks = 10000;

class TCaller : public TcxIUnknownObject, public IcxMouseTrackingCaller {
 public:
  long Leaves = 0;
  void NotifyMouseLeave() override { ++Leaves; }
  HRESULT QueryInterface(REFIID riid, void** ppv) override { return TcxIUnknownObject::QueryInterface(riid, ppv); }
  ULONG AddRef() override { return TcxIUnknownObject::AddRef(); }
  ULONG Release() override { return TcxIUnknownObject::Release(); }
};

struct TTicks : TObject {
  long Count = 0;
  void Tick(TObject*) { ++Count; }
};

double RunTicks() {
  auto start = TClock::now();
  for (int t = 0; t < kTicks; ++t) {
    rtl::testing::AdvanceClock(10);
    rtl::testing::RunUntilIdle();
  }
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

void BM_TrackedControlsAgainstEmptyTimers(benchmark::State& state) {
  rtl::testing::UseHeadlessBackend();
  rtl::testing::UseVirtualClock(true);
  std::unique_ptr<TMouse> mouse;
  std::unique_ptr<TScreen> screen;
  std::unique_ptr<TApplication> application;
  if (!Mouse) mouse = std::make_unique<TMouse>(), Mouse = mouse.get();
  if (!Screen) screen = std::make_unique<TScreen>(nullptr), Screen = screen.get();
  if (!Application) application = std::make_unique<TApplication>(nullptr), Application = application.get();

  TForm* form = TCustomForm::Create<TForm>(nullptr);
  form->SetBounds(50, 50, 400, 400);
  std::vector<TWinControl*> controls;
  TWinControl* parent = form;
  for (int i = 0; i < kControls; ++i) {
    auto* control = new TWinControl(form);
    control->SetParent(parent);
    control->SetBounds(2, 2, 300 - 4 * i, 300 - 4 * i);
    controls.push_back(control);
    parent = control;
  }
  form->Show();
  rtl::testing::InjectMouseMove(controls.back()->ClientToScreen(TPoint(5, 5)));
  rtl::testing::RunUntilIdle();

  double tracked = 0, empty = 0;
  long leaves = 0;
  TTicks ticks;
  std::vector<TCaller> callers(kControls);
  for (auto _ : state) {
    for (int i = 0; i < kControls; ++i) cxBeginMouseTracking(controls[i], controls[i]->ClientRect(), &callers[i]);
    tracked += RunTicks();
    for (TCaller& c : callers) {
      leaves += c.Leaves;
      cxStopMouseTracking(&c);
    }
    std::vector<std::unique_ptr<TcxTimer>> timers;
    for (int i = 0; i < kControls; ++i) timers.emplace_back(cxMakeTimer(10, true, TNotifyEvent(&ticks, &TTicks::Tick)));
    empty += RunTicks();
  }
  form->Free();
  rtl::testing::RunUntilIdle();
  if (application) Application = nullptr;
  if (screen) Screen = nullptr;
  if (mouse) Mouse = nullptr;
  rtl::testing::UseVirtualClock(false);

  const double n = static_cast<double>(state.iterations());
  state.counters["tracked_ms"] = tracked / n;
  state.counters["empty_timers_ms"] = empty / n;
  state.counters["ratio"] = empty > 0 ? tracked / empty : 0;
  state.counters["empty_ticks"] = static_cast<double>(ticks.Count) / n;
  // Should stay 0: every watch lasts the whole run.
  state.counters["leaves"] = static_cast<double>(leaves);
}
BENCHMARK(BM_TrackedControlsAgainstEmptyTimers)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
