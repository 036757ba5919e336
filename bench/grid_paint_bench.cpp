// Repaints of the grid against the plain drawing of what they show: a
// 1000 x 700 report view with six columns and 40 visible rows, and the main
// window's slides view with eight visible slides, each against FillRect and
// DrawText (and the picture) of the same visible cells on the same window
// in the same run; and one wheel step on a 100,000-row slides grid (scroll
// and the repaint of the strip uncovered) against a full repaint.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/grid_bench_support.h"
#include "grid/grid_units.h"
#include "grid/nx_column_classes.h"
#include "grid/nx_grid.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/forms.h"
#include "platform/forms/image_list.h"
#include "platform/rtl/units.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point A, std::chrono::steady_clock::time_point B) {
  return std::chrono::duration<double>(B - A).count();
}

struct TGridWindow {
  TForm* Form;
  TNxGrid* Grid;
  TCustomImageList Images{120, 80};

  TGridWindow(Integer W, Integer H) {
    StartGridUnits();
    Form = TCustomForm::Create<TForm>(nullptr);
    Form->SetBounds(0, 0, W + 40, H + 60);
    Grid = new TNxGrid(Form);
    Grid->SetBorderStyle(bsNone);
    Grid->SetBounds(0, 0, W, H);
    Grid->SetParent(Form);
    TBitmap Pics;
    Pics.SetSize(240, 80);
    Pics.Canvas()->Brush()->SetColor(0xC08040);
    Pics.Canvas()->FillRect(TRect(0, 0, 240, 80));
    Images.AddMasked(&Pics, clFuchsia);
  }
  ~TGridWindow() {
    Form->Free();
    Application->ProcessMessages();
  }
  void Show() {
    Form->Show();
    Application->ProcessMessages();
  }
  double Repaint() {
    const auto T0 = std::chrono::steady_clock::now();
    Grid->Invalidate();
    Grid->Update();
    return Seconds(T0, std::chrono::steady_clock::now());
  }
};

// Plain drawing on the grid's window: a fill and a text per cell.
struct TPlainCell {
  TRect Rect;
  std::u16string Text;
  bool Picture = false;
};

double DrawPlain(TGridWindow& W, const std::vector<TPlainCell>& Cells) {
  const auto T0 = std::chrono::steady_clock::now();
  HDC DC = GetDC(W.Grid->Handle());
  TCanvas Canvas;
  Canvas.SetHandle(DC);
  Canvas.Font()->SetName("Tahoma");
  Canvas.Font()->SetHeight(-11);
  HBRUSH Brush = CreateSolidBrush(RGB(255, 255, 255));
  SetBkMode(DC, TRANSPARENT);
  for (const auto& C : Cells) {
    RECT R = C.Rect;
    FillRect(DC, &R, Brush);
    if (C.Picture)
      W.Images.Draw(&Canvas, C.Rect.Left, C.Rect.Top, 0, true);
    else
      DrawTextW(Canvas.Handle(), C.Text.c_str(), static_cast<int>(C.Text.size()), &R,
                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  DeleteObject(Brush);
  Canvas.SetHandle(nullptr);
  ReleaseDC(W.Grid->Handle(), DC);
  return Seconds(T0, std::chrono::steady_clock::now());
}

void Report(benchmark::State& State, double Grid, double Plain, const char* What) {
  std::printf("%s: grid %.3f ms, plain %.3f ms, ratio %.1f\n", What, Grid * 1e3, Plain * 1e3, Grid / Plain);
  State.SetIterationTime(Grid);
}

void BM_ReportViewRepaint(benchmark::State& State) {
  TGridWindow W(1000, 700);
  TNxGrid* G = W.Grid;
  G->SetOptions(TGridOptions{goHeader, goGrid, goSelectFullRow});
  for (int i = 0; i < 6; ++i) {
    auto* C = new TNxTextColumn(W.Form);
    C->SetWidth(166);
    C->Font()->SetName("Tahoma");
    C->Font()->SetHeight(-11);
    G->Columns()->Add(C);
  }
  for (int r = 0; r < 200; ++r) {
    G->AddRow(1);
    for (int c = 0; c < 6; ++c) G->Cell(c, r)->SetAsString(u"cell text " + std::u16string(1, u'A' + c));
  }
  W.Show();
  G->SelectCell(0, 3, TShiftState(), true, false);
  // 40 rows of 16 and their lines fit under the header.
  std::vector<TPlainCell> Cells;
  for (int r = 0; r < 40; ++r)
    for (int c = 0; c < 6; ++c) Cells.push_back({G->GetCellRect(c, r), u"cell text " + std::u16string(1, u'A' + c)});
  for (auto _ : State) Report(State, W.Repaint(), DrawPlain(W, Cells), "report view, 40 rows x 6 columns");
}
BENCHMARK(BM_ReportViewRepaint)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void FileList(TGridWindow& W, Integer Rows) {
  TNxGrid* G = W.Grid;
  G->SetGridStyle(gsSlides);
  G->SetSlideSize(90);
  G->SetAppearanceOptions(TAppearanceOptions{aoAlphaBlendedSelection});
  G->SetOptions(TGridOptions{goMultiSelect, goRowMoving, goSelectFullRow});
  G->SetDoubleBuffered(true);
  auto* Image = new TNxImageColumn(W.Form);
  Image->SetImages(&W.Images);
  Image->SlideBounds()->SetTop(6);
  Image->SlideBounds()->SetWidth(120);
  Image->SlideBounds()->SetHeight(80);
  G->Columns()->Add(Image);
  const Integer Tops[] = {8, 33, 49, 65, 65};
  const Integer Lefts[] = {136, 136, 136, 384, 136};
  for (int i = 0; i < 5; ++i) {
    TNxCustomColumn* C = i < 3 ? static_cast<TNxCustomColumn*>(new TNxTextColumn(W.Form))
                               : static_cast<TNxCustomColumn*>(new TNxDateColumn(W.Form));
    C->SlideBounds()->SetLeft(Lefts[i]);
    C->SlideBounds()->SetTop(Tops[i]);
    C->SlideBounds()->SetWidth(i < 3 ? 464 : 216);
    C->Font()->SetName("Tahoma");
    C->Font()->SetHeight(-11);
    G->Columns()->Add(C);
  }
  G->BeginUpdate();
  for (Integer r = 0; r < Rows; ++r) {
    const Integer R = G->AddRow(1);
    G->Cell(1, R)->SetAsString(u"file.pdf");
    G->Cell(2, R)->SetAsString(u"/home/user/documents/");
    G->Cell(3, R)->SetAsString(u"12.50 KB");
    G->Cell(4, R)->SetAsDateTime(40000 + r);
    G->Cell(5, R)->SetAsDateTime(40000 + r);
  }
  G->EndUpdate();
  W.Show();
  G->SelectCell(0, 1, TShiftState(), true, false);
  G->SetFocus();
  Application->ProcessMessages();
}

void BM_SlidesViewRepaint(benchmark::State& State) {
  TGridWindow W(1000, 720);
  FileList(W, 20);
  std::vector<TPlainCell> Cells;
  for (Integer r = 0; r < 8; ++r) {
    Cells.push_back({W.Grid->SlideRect(r), u""});
    Cells.push_back({W.Grid->GetCellRect(0, r), u"", true});
    for (Integer c = 1; c < 6; ++c) Cells.push_back({W.Grid->GetCellRect(c, r), u"File to Convert:   file.pdf"});
  }
  for (auto _ : State) Report(State, W.Repaint(), DrawPlain(W, Cells), "slides view, 8 slides");
}
BENCHMARK(BM_SlidesViewRepaint)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_WheelStepOnTheFullList(benchmark::State& State) {
  TGridWindow W(700, 500);
  FileList(W, 100000);
  TNxScrollBar* Bar = W.Grid->VertScrollBar();
  Bar->SetPosition(50000);
  Application->ProcessMessages();
  bool Down = true;
  for (auto _ : State) {
    const auto T0 = std::chrono::steady_clock::now();
    // A wheel step scrolls the list by one slide.
    if (Down)
      Bar->LineDown();
    else
      Bar->LineUp();
    W.Grid->Update();
    const double Step = Seconds(T0, std::chrono::steady_clock::now());
    const double Full = W.Repaint();
    std::printf("wheel step: %.3f ms, full repaint %.3f ms, ratio %.2f (top row %d)\n", Step * 1e3, Full * 1e3,
                Step / Full, W.Grid->TopRow());
    State.SetIterationTime(Step);
    Down = !Down;
  }
}
BENCHMARK(BM_WheelStepOnTheFullList)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
