// The cost of a transparent control's background: cxDrawParentBackground
// (with the parent's children printed) for a 100 x 80 child of a form that
// paints a gradient and holds 20 other children, against painting the same
// gradient straight into the same rectangle. Both run in the same loop; the
// counters give both times and their ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "platform/forms/bitmap.h"
#include "platform/forms/forms.h"
#include "platform/testing/user_testing.h"
#include "platform/win/win32.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/parent_background.h"

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kRepeats = 200;

COLORREF GradientAt(int y) { return RGB(30, (y * 2) & 0xFF, 255 - ((y * 2) & 0xFF)); }

// Clipped to what the DC shows, as a paint handler does.
void PaintGradient(HDC DC, const TRect& AClient) {
  RECT clip{};
  GetClipBox(DC, &clip);
  const int top = std::max(AClient.Top, clip.Top), bottom = std::min(AClient.Bottom, clip.Bottom);
  for (int y = top; y < bottom; ++y) {
    HBRUSH brush = CreateSolidBrush(GradientAt(y));
    RECT line(AClient.Left, y, AClient.Right, y + 1);
    FillRect(DC, &line, brush);
    DeleteObject(brush);
  }
}

class TBox : public TCustomControl {
 public:
  explicit TBox(TComponent* AOwner) : TCustomControl(AOwner) {}

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clTeal);
    Canvas()->FillRect(ClientRect());
  }
};

void BM_ParentBackgroundAgainstDirectGradient(benchmark::State& state) {
  rtl::testing::UseHeadlessBackend();
  if (!Screen) Screen = new TScreen(nullptr);
  if (!Application) Application = new TApplication(nullptr);
  std::unique_ptr<TForm> form(TCustomForm::Create<TForm>(nullptr));
  form->SetBounds(50, 50, 600, 400);
  form->OnPaint = [&](TObject*) { PaintGradient(form->Canvas()->Handle(), form->ClientRect()); };
  for (int i = 0; i < 20; ++i) {
    auto* box = new TBox(form.get());
    box->SetBounds(10 + (i % 5) * 110, 10 + (i / 5) * 90, 60, 50);
    box->SetParent(form.get());
  }
  auto* child = new TBox(form.get());
  child->SetBounds(150, 120, 100, 80);
  child->SetParent(form.get());
  form->Show();
  rtl::testing::RunUntilIdle();

  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(100, 80);
  TcxCanvas canvas(bitmap.Canvas());
  const TRect R(0, 0, 100, 80);
  // The child's rectangle in the form's client coordinates.
  const TRect under(150, 120, 250, 200);
  double parent = 0, direct = 0;
  for (auto _ : state) {
    auto start = TClock::now();
    for (int i = 0; i < kRepeats; ++i) cxDrawParentBackground(child, &canvas, R, true);
    parent += std::chrono::duration<double, std::micro>(TClock::now() - start).count();
    HDC DC = bitmap.Canvas()->Handle();
    start = TClock::now();
    for (int i = 0; i < kRepeats; ++i) {
      int saved = SaveDC(DC);
      SetWindowOrgEx(DC, under.Left, under.Top, nullptr);
      IntersectClipRect(DC, under.Left, under.Top, under.Right, under.Bottom);
      PaintGradient(DC, form->ClientRect());
      RestoreDC(DC, saved);
    }
    direct += std::chrono::duration<double, std::micro>(TClock::now() - start).count();
  }
  const double n = static_cast<double>(state.iterations()) * kRepeats;
  state.counters["parent_background_us"] = parent / n;
  state.counters["direct_gradient_us"] = direct / n;
  state.counters["ratio"] = parent / direct;
  std::printf("cxDrawParentBackground %.1f us, direct gradient %.1f us, ratio %.2f\n", parent / n, direct / n,
              parent / direct);
}
BENCHMARK(BM_ParentBackgroundAgainstDirectGradient)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
