// The main window's Add Folder over a tree holding 10,000 PDF files,
// against the folder search alone over the same tree: the window adds a
// row per file (its size and times read, the duplicate test, messages
// handled during the search). The two sides alternate over several rounds
// in one run; the "ratio" counter is the median of the rounds' ratios of
// the window's time over the search's. The list must add no more than half
// again (ratio 1.5).
//
// Two trees, built once under the build folder next to this program and
// kept: "mixed", one file in twenty a PDF as in the folder search's own
// benchmark (200,000 files in 1,000 folders), and "pdfs", nothing but the
// 10,000 PDF files in 100 folders. The second is the worst case: the search
// alone reads no file's data, the list must read each file's size and
// times (one system call, more than the search spends on a whole entry;
// the window reads them on reader threads while the walk goes on), and
// every entry the search finds becomes a row.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/app_units.h"
#include "app/file_list_utils.h"
#include "app/listed_file_batches.h"
#include "app/main_form.h"
#include "grid/grid_units.h"
#include "grid/nx_grid.h"
#include "platform/forms/forms.h"
#include "platform/rtl/units.h"
#include "support/ansi_string_vectors.h"
#include "support/file_finder.h"
#include "support/support_units.h"

namespace {

constexpr int kPdfs = 10000;
constexpr int kRounds = 5;

struct TTreeShape {
  const char* Name;
  int Folders;
  int FilesPerPdf;  // every n-th file is a PDF
};
constexpr TTreeShape kMixed{"mixed", 1000, 20};
constexpr TTreeShape kPdfsOnly{"pdfs", 100, 1};

std::string ExeFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string s(buf, n > 0 ? static_cast<size_t>(n) : 0);
  return s.substr(0, s.rfind('/'));
}

// The tree, built on first use; a marker file tells that a complete one is
// there.
std::string Tree(const TTreeShape& Shape) {
  const std::string root = ExeFolder() + "/main_window_tree_" + Shape.Name + "/";
  const std::string marker = ExeFolder() + "/main_window_tree_" + Shape.Name + ".done";
  if (::access(marker.c_str(), F_OK) == 0) return root;
  std::system(("rm -rf '" + root + "'").c_str());
  if (::mkdir(root.c_str(), 0755) != 0) throw std::runtime_error("mkdir " + root);
  std::vector<std::string> folders;
  for (int f = 0; f < Shape.Folders; ++f) {
    folders.push_back(root + "folder" + std::to_string(f) + "/");
    if (::mkdir(folders.back().c_str(), 0755) != 0 && errno != EEXIST)
      throw std::runtime_error("mkdir " + folders.back());
  }
  const int files = kPdfs * Shape.FilesPerPdf;
  for (int i = 0; i < files; ++i) {
    const bool pdf = i % Shape.FilesPerPdf == 0;
    const std::string path =
        folders[static_cast<size_t>(i) % folders.size()] + "document" + std::to_string(i) + (pdf ? ".pdf" : ".txt");
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) throw std::runtime_error("create " + path);
    std::fputs("%PDF-1.4\n", file);
    std::fclose(file);
  }
  if (FILE* f = std::fopen(marker.c_str(), "w")) std::fclose(f);
  return root;
}

// The program's units, and a home of its own so that the window's settings
// land beside the tree.
void StartUnits() {
  static bool Started = false;
  if (Started) return;
  Started = true;
  const std::string home = ExeFolder() + "/main_window_home";
  ::mkdir(home.c_str(), 0755);
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
  RegisterFormsUnit();
  RegisterSupportUnits();
  RegisterGridUnits();
  RegisterApplicationUnits();
  InitializeUnits();
  // The bench has no branding file beside it; the window runs without.
  Application->OnException = [](TObject*, Exception*) {};
  Application->SetTitle("Bench");
}

int SearchAlone(const std::string& root) {
  TDIWildFileFinder finder(nullptr);
  finder.SetSearchFolder(root);
  finder.SetRecurse(true);
  finder.IncludeFilters()->SetCount(1);
  finder.IncludeFilters()->SetString(0, "*.pdf");
  int found = 0;
  while (finder.NextMatch()) ++found;
  return found;
}

std::vector<AnsiString> FoundPaths(const std::string& root) {
  TDIWildFileFinder finder(nullptr);
  finder.SetSearchFolder(root);
  finder.SetRecurse(true);
  finder.IncludeFilters()->SetCount(1);
  finder.IncludeFilters()->SetString(0, "*.pdf");
  std::vector<AnsiString> paths;
  while (finder.NextMatch()) paths.push_back(finder.FoundPath());
  return paths;
}

template <class F>
double Seconds(F f) {
  auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void AddFolderAgainstTheSearchAlone(benchmark::State& state, const TTreeShape& Shape) {
  StartUnits();
  const std::string root = Tree(Shape);
  TFormMain* Form = TCustomForm::Create<TFormMain>(nullptr);
  Form->Show();
  Application->ProcessMessages();
  std::vector<double> ratios;
  double windowTime = 0, searchTime = 0;
  for (auto _ : state) {
    // Once each first, so that both start from a warm cache.
    SearchAlone(root);
    Form->AddFolder(root);
    for (int round = 0; round < kRounds; ++round) {
      Form->acRemoveAllExecute(nullptr);
      int found = 0;
      double a, b;
      if (round % 2 == 0) {
        a = Seconds([&] { Form->AddFolder(root); });
        b = Seconds([&] { found = SearchAlone(root); });
      } else {
        b = Seconds([&] { found = SearchAlone(root); });
        a = Seconds([&] { Form->AddFolder(root); });
      }
      if (found != kPdfs || Form->FileGrid->RowCount() != found) {
        state.SkipWithError("the window and the search disagree about the PDFs");
        break;
      }
      windowTime += a;
      searchTime += b;
      ratios.push_back(a / b);
      std::printf("round %d: add folder %.1f ms, search alone %.1f ms, ratio %.2f\n", round + 1, a * 1000,
                  b * 1000, a / b);
    }
  }
  Form->Free();
  Application->ProcessMessages();
  if (ratios.empty()) return;
  std::sort(ratios.begin(), ratios.end());
  const double median = ratios[ratios.size() / 2];
  state.counters["pdfs"] = kPdfs;
  state.counters["add_folder_ms"] = windowTime / kRounds * 1000;
  state.counters["search_ms"] = searchTime / kRounds * 1000;
  state.counters["ratio"] = median;
  std::printf("%s tree: add folder / search alone, median of %d rounds: %.2f (at most 1.5)\n", Shape.Name, kRounds,
              median);
  // Where the time goes, outside the measured rounds: the size and times
  // read alone, file after file on one thread, which the window spreads
  // over its reader threads; what is left beyond the search is the
  // window's own thread making rows (and the hand-over, and painting).
  const std::vector<AnsiString> paths = FoundPaths(root);
  double reads = 0;
  for (int round = 0; round < kRounds; ++round)
    reads += Seconds([&] {
      TListedFileReader reader;
      TListedFile file;
      for (const AnsiString& path : paths) reader.Read(path, file);
    });
  reads /= kRounds;
  const double search = searchTime / kRounds, window = windowTime / kRounds;
  const double perFile = 1e6 / static_cast<double>(paths.size());
  std::printf("%s tree, per PDF: search %.2f us, the window beyond it %.2f us; "
              "reads on one thread %.2f us, spread over %u reader threads\n",
              Shape.Name, search * perFile, (window - search) * perFile, reads * perFile,
              TListedFileBatches::DefaultReaders());
  state.counters["reads_ms"] = reads * 1000;
}

void BM_AddFolderMixedTree(benchmark::State& state) { AddFolderAgainstTheSearchAlone(state, kMixed); }
void BM_AddFolderPdfsOnlyTree(benchmark::State& state) { AddFolderAgainstTheSearchAlone(state, kPdfsOnly); }
BENCHMARK(BM_AddFolderMixedTree)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AddFolderPdfsOnlyTree)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
