// The header painters: a strip of ten column headers (captions, one
// sorted) drawn by each style and, in the same run, ten plain FillRect +
// DrawText cells of the same sizes and captions. The counters give each
// one's time per strip in microseconds and their ratio (style / plain);
// every style is meant to stay under 500 us per strip.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "grid/nx_column_classes.h"
#include "grid/nx_style_display.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/controls.h"
#include "platform/forms/graphics.h"
#include "platform/win/gdi/gdi.h"

namespace {

constexpr int kColumns = 10, kWidth = 90, kHeight = 20;

class TBenchControl : public TCustomControl {
 public:
  TBenchControl() : TCustomControl(nullptr) {}
};

template <class Painter>
void BM_HeaderStrip(benchmark::State& state) {
  std::vector<std::unique_ptr<TNxTextColumn>> Columns;
  for (int I = 0; I < kColumns; ++I) {
    Columns.push_back(std::make_unique<TNxTextColumn>(nullptr));
    Columns.back()->SetWidth(kWidth);
    Columns.back()->Header()->SetCaption(u"Column " + std::u16string(1, static_cast<char16_t>(u'0' + I)));
  }
  Columns[3]->SetSorted(true);
  TBitmap Target(kColumns * kWidth, kHeight);
  Target.SetPixelFormat(pf32bit);
  TCanvas* Canvas = Target.Canvas();
  Canvas->Font()->SetName("Tahoma");
  Canvas->Font()->SetHeight(-11);
  TBenchControl Control;
  Painter P(&Control);
  P.Canvas = Canvas;
  double Styled = 0, Plain = 0;
  int64_t Strips = 0;
  for (auto _ : state) {
    auto T0 = std::chrono::steady_clock::now();
    for (int I = 0; I < kColumns; ++I)
      P.DrawHeader(Columns[I].get(), TRect(I * kWidth, 0, (I + 1) * kWidth, kHeight));
    auto T1 = std::chrono::steady_clock::now();
    for (int I = 0; I < kColumns; ++I) {
      const TRect R(I * kWidth, 0, (I + 1) * kWidth, kHeight);
      Canvas->Brush()->SetColor(clBtnFace);
      Canvas->FillRect(R);
      RECT Text = TRect(R.Left + 2, R.Top, R.Right, R.Bottom);
      const WideString& Caption = Columns[I].get()->Header()->Caption();
      DrawTextW(Canvas->Handle(), Caption.c_str(), static_cast<int>(Caption.size()), &Text,
                DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXTERNALLEADING | DT_VCENTER | DT_SINGLELINE);
    }
    auto T2 = std::chrono::steady_clock::now();
    Styled += std::chrono::duration<double, std::micro>(T1 - T0).count();
    Plain += std::chrono::duration<double, std::micro>(T2 - T1).count();
    ++Strips;
  }
  state.counters["strip_us"] = Strips ? Styled / Strips : 0;
  state.counters["plain_us"] = Strips ? Plain / Strips : 0;
  state.counters["ratio"] = Plain > 0 ? Styled / Plain : 0;
}
BENCHMARK(BM_HeaderStrip<TDefaultStyleDisplay>)->Name("HeaderStrip/Default");
BENCHMARK(BM_HeaderStrip<TFlatStyleDisplay>)->Name("HeaderStrip/Flat");
BENCHMARK(BM_HeaderStrip<TOffice2007StyleDisplay>)->Name("HeaderStrip/Office2007");
BENCHMARK(BM_HeaderStrip<TOffice2010StyleDisplay>)->Name("HeaderStrip/Office2010");
BENCHMARK(BM_HeaderStrip<TOldStyleDisplay>)->Name("HeaderStrip/Old");
BENCHMARK(BM_HeaderStrip<TOutlookStyleDisplay>)->Name("HeaderStrip/Outlook");
BENCHMARK(BM_HeaderStrip<TVistaStyleDisplay>)->Name("HeaderStrip/Vista");

}  // namespace
