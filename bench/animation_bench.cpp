// The animation controller and the fader against the bare work they do:
// one controller tick over 20 running transitions against a plain loop
// computing the same 20 positions, and one fader step of a 64 x 32 element
// against a plain blend loop over the same pixels. Each pair runs in one
// benchmark, which reports both times per operation in microseconds and
// their ratio as counters.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_sysinfo.h"
#include "ui/foundation/animation.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/cx_components.h"
#include "ui/foundation/fading.h"
#include "ui/foundation/gdiplus_binding.h"

namespace {

using TClock = std::chrono::steady_clock;

double Micros(TClock::time_point AStart, TClock::time_point AEnd) {
  return std::chrono::duration<double, std::micro>(AEnd - AStart).count();
}

// ---- Controller tick ----------------------------------------------------------------

constexpr int kTransitions = 20;
constexpr int kTicksPerBlock = 1000;
// Long and fine enough that nearly every tick moves every position (on
// the real clock).
constexpr Integer kTime = 1000000;
constexpr Integer kLength = 2000000000;

void BM_ControllerTickAgainstPlainLoop(benchmark::State& state) {
  cx_classes_detail::StartClasses();
  dx_animation_detail::StartAnimation();
  TdxAnimationController* controller = dxAnimationControllerInstance();
  Int64 seen = 0;
  for (int i = 0; i < kTransitions; ++i) {
    auto* t = new TdxAnimationTransition(kTime, kLength - i, ateLinear);
    t->OnStep = [&seen](TdxAnimationTransition*, Integer& P, bool&) { seen += P; };
    t->Unlock();
  }
  const Int64 start = dxPreciseTickCount();
  const Int64 total = dxMillisecondsToTicks(kTime);
  double tick = 0, plain = 0;
  Int64 computed = 0;
  for (auto _ : state) {
    const auto t0 = TClock::now();
    for (int k = 0; k < kTicksPerBlock; ++k) controller->TimerHandler(nullptr);
    const auto t1 = TClock::now();
    for (int k = 0; k < kTicksPerBlock; ++k) {
      const Int64 elapsed = dxPreciseTickCount() - start;
      for (int i = 0; i < kTransitions; ++i) computed += static_cast<Int64>(kLength - i) * elapsed / total;
      benchmark::DoNotOptimize(computed);
    }
    const auto t2 = TClock::now();
    tick += Micros(t0, t1);
    plain += Micros(t1, t2);
  }
  benchmark::DoNotOptimize(seen);
  dx_animation_detail::StopAnimation();
  const double ticks = static_cast<double>(state.iterations()) * kTicksPerBlock;
  state.counters["tick_us"] = tick / ticks;
  state.counters["plain_loop_us"] = plain / ticks;
  state.counters["ratio"] = plain > 0 ? tick / plain : 0;
}
BENCHMARK(BM_ControllerTickAgainstPlainLoop)->Unit(benchmark::kMillisecond)->Iterations(20);

// ---- Fader step ----------------------------------------------------------------------

constexpr int kW = 64, kH = 32;
constexpr int kStepsPerBlock = 100;

TcxBitmap32* Face(COLORREF AColor) {
  auto* b = new TcxBitmap32(kW, kH, true);
  HBRUSH brush = CreateSolidBrush(AColor);
  RECT r{2, 2, kW - 2, kH - 2};
  FillRect(b->Canvas()->Handle(), &r, brush);
  DeleteObject(brush);
  return b;
}

// A frame per tick, 32 frames, nothing repainted.
class TBenchButton : public TdxFadingObjectHelper, public IdxFadingOptionsProvider {
  TdxFadingOptions FOptions;

 public:
  TBenchButton() {
    FOptions.SetFadeInFrameCount(32);
    FOptions.SetFadeInFrameDelay(10);
  }
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    return TdxFadingObjectHelper::QueryInterface(riid, ppvObject);
  }
  ULONG AddRef() override { return static_cast<ULONG>(-1); }
  ULONG Release() override { return static_cast<ULONG>(-1); }
  bool FadingWanted() override { return true; }
  void ProvideFadeBitmaps(TcxBitmap32*& ANormal, TcxBitmap32*& AHot) override {
    ANormal = Face(RGB(200, 200, 200));
    AHot = Face(RGB(255, 190, 90));
  }
  TdxFadingOptions* GetFadingOptions() override { return &FOptions; }
};

void BM_FaderStepAgainstPlainBlend(benchmark::State& state) {
  cx_classes_detail::StartClasses();
  if (!dxGpCheckAvailable(false)) {
    state.SkipWithError("no GDI+");
    return;
  }
  SystemParametersInfo(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(TRUE), 0);
  dx_fading_detail::StartFading();
  TdxFader* fader = dxGetFader();
  TBenchButton button;
  fader->StartFadeIn(&button);
  TdxFadingElement* element = nullptr;
  if (!fader->LookupElement(&button, element)) {
    state.SkipWithError("the fade did not start");
    dx_fading_detail::StopFading();
    return;
  }
  const TRGBColors from = element->StartPixels(), to = element->EndPixels();
  TRGBColors out(from.size());
  double step = 0, plain = 0;
  for (auto _ : state) {
    for (int k = 0; k < kStepsPerBlock; ++k) {
      // Turning round restarts from the frame on screen, untimed.
      if (element->Stage() >= element->FrameCount()) fader->StartFadeIn(&button);
      const int stage = element->Stage() + 1;
      const auto t0 = TClock::now();
      element->Step();
      const auto t1 = TClock::now();
      const int a = stage * 255 / element->FrameCount();
      const auto* s = reinterpret_cast<const Byte*>(from.data());
      const auto* e = reinterpret_cast<const Byte*>(to.data());
      auto* o = reinterpret_cast<Byte*>(out.data());
      for (size_t i = 0; i < from.size() * 4; ++i) o[i] = static_cast<Byte>((s[i] * (255 - a) + e[i] * a + 127) / 255);
      benchmark::DoNotOptimize(out.data());
      const auto t2 = TClock::now();
      step += Micros(t0, t1);
      plain += Micros(t1, t2);
    }
  }
  dx_fading_detail::StopFading();
  const double steps = static_cast<double>(state.iterations()) * kStepsPerBlock;
  state.counters["fader_step_us"] = step / steps;
  state.counters["plain_blend_us"] = plain / steps;
  state.counters["ratio"] = plain > 0 ? step / plain : 0;
}
BENCHMARK(BM_FaderStepAgainstPlainBlend)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
