// A batch of 500 rows whose converter exits at once (/bin/true placed as
// "ConvertZelvo.exe"), through the conversion driver (output names, the
// command line, the progress window, the end of each row), against a bare
// loop of the process runner starting the same program with the same
// command line from its OnTerminate. The two sides alternate over several
// rounds in one run; the median of the rounds' ratios is printed. The
// driver should add no more than a fifth.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/conversion_driver.h"
#include "app/globals.h"
#include "app/progress_form.h"
#include "platform/forms/forms.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/units.h"
#include "support/process_runner.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRows = 500;
constexpr int kRounds = 5;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class TBenchList : public IConversionFileList {
 public:
  AnsiString Folder;
  TForm* Main = nullptr;
  Integer RowCount() const override { return kRows; }
  AnsiString RowFileName(Integer row) const override { return "file " + std::to_string(row) + ".pdf"; }
  AnsiString RowFolder(Integer) const override { return Folder; }
  void SetRowState(Integer, TRowState) override {}
  void SetRowHint(Integer, const AnsiString&) override {}
  TCustomForm* Window() const override { return Main; }
  void SetWindowEnabled(bool enabled) override { Main->SetEnabled(enabled); }
};

struct TSetup {
  AnsiString Root;
  TBenchList List;
  TProgressForm* Progress = nullptr;
  TConversionDriver* Driver = nullptr;

  TSetup() {
    char tmpl[] = "/tmp/driver_bench.XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    Root = AnsiString(tmpl) + "/";
    fs::create_directories(Root + "in");
    fs::create_symlink("/bin/true", Root + "ConvertZelvo.exe");
    List.Folder = Root + "in";
    GlobalVars.PromptOpenOuput = false;
    GlobalVars.PlayASoundWhenFinished = false;
    List.Main = TCustomForm::Create<TForm>(nullptr);
    List.Main->Show();
    Progress = TCustomForm::Create<TProgressForm>(nullptr);
    Driver = new TConversionDriver(nullptr, List, Progress);
    Driver->SetProgramFolder(Root);
  }
  ~TSetup() {
    delete Driver;
    Progress->Free();
    List.Main->Free();
    std::error_code ec;
    fs::remove_all(Root, ec);
  }
};

double DriverSeconds(TSetup& s) {
  auto start = std::chrono::steady_clock::now();
  if (!s.Driver->Execute(ckWord)) std::abort();
  while (s.Driver->BatchRunning()) Application->HandleMessage();
  return Seconds(start);
}

double RunnerSeconds(TSetup& s) {
  TJvCreateProcess runner(nullptr);
  const AnsiString program = s.Driver->ConverterPath();
  const AnsiString input = s.List.Folder + "/file 0.pdf";
  runner.SetApplicationName(program);
  runner.SetCommandLine(ConverterCommandLine(program, "WORD", input, s.List.Folder + "/file 0.doc", "file 0"));
  runner.SetConsoleOptions({coOwnerData, coRedirect});
  runner.StartupInfo()->SetShowWindow(swHide);
  runner.StartupInfo()->SetDefaultWindowState(false);
  int ended = 0;
  runner.OnTerminate = [&](TObject*, Cardinal) {
    if (++ended < kRows) runner.Start();
  };
  auto start = std::chrono::steady_clock::now();
  runner.Start();
  while (ended < kRows) Application->HandleMessage();
  return Seconds(start);
}

void BM_DriverAgainstBareRunner(benchmark::State& state) {
  TSetup setup;
  std::vector<double> ratios;
  double driver = 0, runner = 0;
  for (auto _ : state) {
    for (int round = 0; round < kRounds; ++round) {
      double d, r;
      if (round % 2 == 0) {
        d = DriverSeconds(setup);
        r = RunnerSeconds(setup);
      } else {
        r = RunnerSeconds(setup);
        d = DriverSeconds(setup);
      }
      driver += d;
      runner += r;
      ratios.push_back(d / r);
      std::printf("round %d: driver %.3f s, bare runner %.3f s, ratio %.2f\n", round + 1, d, r, d / r);
    }
  }
  std::sort(ratios.begin(), ratios.end());
  const double median = ratios[ratios.size() / 2];
  state.counters["ratio"] = median;
  state.counters["driver_ms"] = driver / kRounds * 1000;
  state.counters["runner_ms"] = runner / kRounds * 1000;
  std::printf("driver / bare runner for %d rows, median of %d rounds: %.2f (at most 1.20 expected)\n", kRows, kRounds,
              median);
}
BENCHMARK(BM_DriverAgainstBareRunner)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  SetCommandLine(argc, argv);
  RegisterFormsUnit();
  InitializeUnits();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  FinalizeUnits();
  return 0;
}
