// The main window's file list built in code: adding 100,000 rows as the
// window adds files (one row, then five cell writes) against pushing the
// same values into plain vectors, and End on the full list (select the
// last row and scroll it into view).
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <vector>

#include "bench/grid_bench_support.h"
#include "grid/grid_units.h"
#include "grid/nx_column_classes.h"
#include "grid/nx_grid.h"
#include "platform/forms/forms.h"
#include "platform/rtl/units.h"
#include "platform/win/user/user_keys.h"

namespace {

constexpr Integer kRows = 100000;

struct TListWindow {
  TForm* Form;
  TNxGrid* Grid;
  TListWindow() {
    StartGridUnits();
    Form = TCustomForm::Create<TForm>(nullptr);
    Form->SetBounds(0, 0, 800, 600);
    Grid = new TNxGrid(Form);
    Grid->SetBounds(0, 0, 700, 500);
    Grid->SetParent(Form);
    Grid->SetGridStyle(gsSlides);
    Grid->SetSlideSize(90);
    Grid->SetOptions(TGridOptions{goMultiSelect, goRowMoving, goSelectFullRow});
    Grid->SetReadOnly(true);
    for (int i = 0; i < 6; ++i) {
      TNxCustomColumn* C = i == 4 || i == 5 ? static_cast<TNxCustomColumn*>(new TNxDateColumn(Form))
                                            : static_cast<TNxCustomColumn*>(new TNxTextColumn(Form));
      Grid->Columns()->Add(C);
    }
    Form->Show();
    Application->ProcessMessages();
  }
  ~TListWindow() {
    Form->Free();
    Application->ProcessMessages();
  }
  void Fill() {
    for (Integer i = 0; i < kRows; ++i) {
      const Integer R = Grid->AddRow(1);
      Grid->Cell(1, R)->SetAsString(u"file.pdf");
      Grid->Cell(2, R)->SetAsString(u"/home/user/documents");
      Grid->Cell(3, R)->SetAsInteger(i);
      Grid->Cell(4, R)->SetAsDateTime(40000 + i);
      Grid->Cell(5, R)->SetAsDateTime(40000 + i);
    }
  }
};

void BM_AddRowsToTheFileList(benchmark::State& State) {
  for (auto _ : State) {
    TListWindow W;
    const auto T0 = std::chrono::steady_clock::now();
    const std::clock_t C0 = std::clock();
    W.Fill();
    const std::clock_t C1 = std::clock();
    const auto T1 = std::chrono::steady_clock::now();
    std::vector<WideString> Names, Folders;
    std::vector<Integer> Sizes;
    std::vector<double> Modified, Created;
    for (Integer i = 0; i < kRows; ++i) {
      Names.push_back(u"file.pdf");
      Folders.push_back(u"/home/user/documents");
      Sizes.push_back(i);
      Modified.push_back(40000 + i);
      Created.push_back(40000 + i);
    }
    const auto T2 = std::chrono::steady_clock::now();
    const double Grid = std::chrono::duration<double>(T1 - T0).count();
    const double Vectors = std::chrono::duration<double>(T2 - T1).count();
    // The processor time as well: on a busy machine the wall time says
    // more about the neighbours than about the grid.
    const double GridCpu = static_cast<double>(C1 - C0) / CLOCKS_PER_SEC;
    std::printf("grid %.3f s (processor %.3f s), vectors %.3f s, ratio %.1f\n", Grid, GridCpu, Vectors,
                Grid / Vectors);
    benchmark::DoNotOptimize(Names.data());
  }
}
BENCHMARK(BM_AddRowsToTheFileList)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_EndOnTheFullList(benchmark::State& State) {
  TListWindow W;
  W.Fill();
  for (auto _ : State) {
    W.Grid->SelectFirstRow(TShiftState());
    const auto T0 = std::chrono::steady_clock::now();
    W.Grid->HandleNavigationKey(VK_END, TShiftState());
    const auto T1 = std::chrono::steady_clock::now();
    State.SetIterationTime(std::chrono::duration<double>(T1 - T0).count());
  }
}
BENCHMARK(BM_EndOnTheFullList)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
