// The grid's cell store against plain vectors of the same values: filling
// the file list's six columns (a state picture index, three texts, two
// dates) for 100,000 rows, and sorting them by a text and by a date column.
// Each benchmark times both sides in the same run and reports the ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "grid/nx_cells.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/text_codec.h"

namespace {

constexpr Integer kRows = 100000;

class TBenchHost : public TCellsHost {
 public:
  std::vector<TCellColumnInfo> Columns;
  Integer CellColumnCount() const override { return static_cast<Integer>(Columns.size()); }
  TCellColumnInfo CellColumnInfo(Integer Index) const override { return Columns[static_cast<size_t>(Index)]; }
  TColor CellDisplayColor(Integer, Integer) const override { return clWindow; }
  TColor CellDisplayFontColor(Integer, Integer) const override { return clWindowText; }
  WideString GetVirtualCellText(TObject*, Integer, Integer) const override { return {}; }
  void SetVirtualCellText(TObject*, Integer, Integer, const WideString&) override {}
};

struct TRowValues {
  Integer State;
  WideString Name, Folder, Size;
  TDateTime Modified, Created;
};

std::vector<TRowValues> MakeValues() {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> n(0, 999999);
  std::vector<TRowValues> r(kRows);
  for (Integer i = 0; i < kRows; ++i) {
    r[i].State = i % 3;
    r[i].Name = AnsiToWide("file" + std::to_string(n(rng)) + ".pdf");
    r[i].Folder = AnsiToWide("/home/user/documents/" + std::to_string(n(rng) % 100));
    r[i].Size = AnsiToWide(std::to_string(n(rng)));
    r[i].Modified = 40000 + n(rng) / 1000.0;
    r[i].Created = 40000 + n(rng) / 1000.0;
  }
  return r;
}

void AddFileListColumns(TBenchHost& Host, TCells& Store) {
  for (TCellKind Kind : {ckInteger, ckString, ckString, ckString, ckDateTime, ckDateTime}) {
    TCellColumnInfo Info;
    Info.Kind = Kind;
    Host.Columns.push_back(Info);
    Store.AddColumn();
  }
}

void FillStore(TCells& Store, const std::vector<TRowValues>& Values) {
  Store.AddRows(kRows);
  for (Integer i = 0; i < kRows; ++i) {
    const TRowValues& v = Values[i];
    Store.GetCell(0, i)->SetAsInteger(v.State);
    Store.GetCell(1, i)->SetAsString(v.Name);
    Store.GetCell(2, i)->SetAsString(v.Folder);
    Store.GetCell(3, i)->SetAsString(v.Size);
    Store.GetCell(4, i)->SetAsDateTime(v.Modified);
    Store.GetCell(5, i)->SetAsDateTime(v.Created);
  }
}

template <class F>
double Seconds(F&& f) {
  auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void Report(benchmark::State& state, double store, double plain) {
  state.counters["store_s"] = store;
  state.counters["vectors_s"] = plain;
  state.counters["ratio"] = plain > 0 ? store / plain : 0;
}

void BM_FillFileList(benchmark::State& state) {
  const std::vector<TRowValues> values = MakeValues();
  double store = 0, plain = 0;
  // Each side is built and freed on its own, so that both reuse the memory
  // the previous round gave back rather than one of them faulting in fresh
  // pages.
  for (auto _ : state) {
    {
      std::vector<Integer> states;
      std::vector<WideString> names, folders, sizes;
      std::vector<TDateTime> modified, created;
      plain = Seconds([&] {
        for (auto* v : {&names, &folders, &sizes}) v->reserve(kRows);
        states.reserve(kRows);
        modified.reserve(kRows);
        created.reserve(kRows);
        for (const TRowValues& v : values) {
          states.push_back(v.State);
          names.push_back(v.Name);
          folders.push_back(v.Folder);
          sizes.push_back(v.Size);
          modified.push_back(v.Modified);
          created.push_back(v.Created);
        }
      });
      benchmark::DoNotOptimize(names.data());
    }
    {
      TBenchHost host;
      TCells cells(&host);
      AddFileListColumns(host, cells);
      store = Seconds([&] { FillStore(cells, values); });
    }
  }
  Report(state, store, plain);
}
BENCHMARK(BM_FillFileList)->Unit(benchmark::kMillisecond)->Iterations(3);

void SortBench(benchmark::State& state, Integer Column, TSortType Type) {
  const std::vector<TRowValues> values = MakeValues();
  double store = 0, plain = 0;
  for (auto _ : state) {
    TBenchHost host;
    TCells cells(&host);
    AddFileListColumns(host, cells);
    FillStore(cells, values);
    RandSeed = 1;
    store = Seconds([&] { cells.Sort(Column, Type, true, false); });
    if (Type == stDate) {
      std::vector<TDateTime> keys;
      for (const TRowValues& v : values) keys.push_back(v.Modified);
      plain = Seconds([&] { std::sort(keys.begin(), keys.end()); });
    } else {
      std::vector<WideString> keys;
      for (const TRowValues& v : values) keys.push_back(v.Name);
      plain = Seconds([&] { std::sort(keys.begin(), keys.end()); });
    }
  }
  Report(state, store, plain);
}

void BM_SortByText(benchmark::State& state) { SortBench(state, 1, stAlphabetic); }
void BM_SortByDate(benchmark::State& state) { SortBench(state, 4, stDate); }
BENCHMARK(BM_SortByText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortByDate)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
