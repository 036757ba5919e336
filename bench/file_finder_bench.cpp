// The folder search over a tree of 100,000 files (one in twenty a PDF, in
// 3,906 folders five levels deep), against `find DIR -iname '*.pdf'` on the
// same tree. The two sides alternate over several rounds in one run; the
// "ratio" counter is the median of the rounds' ratios of the folder
// search's time over find's. The tree is built once under the build
// folder, next to this program, and kept for later runs.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "support/ansi_string_vectors.h"
#include "support/file_finder.h"

namespace {

constexpr int kFiles = 100000;
constexpr int kRounds = 7;
constexpr int kDepth = 5;
constexpr int kFanOut = 5;  // 5 + 25 + ... + 3125 folders

// The tree, built on first use next to this program; a marker file tells
// that a complete one is there.
class TTree {
  std::string FRoot;
  std::vector<std::string> FFolders;
  int FPdfs = 0;

  void AddFolders(const std::string& parent, int depth) {
    if (depth > kDepth) return;
    for (int i = 0; i < kFanOut; ++i) {
      std::string folder = parent + "d" + std::to_string(depth) + "_" + std::to_string(i) + "/";
      if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) throw std::runtime_error("mkdir " + folder);
      FFolders.push_back(folder);
      AddFolders(folder, depth + 1);
    }
  }

  static std::string ExeFolder() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string s(buf, n > 0 ? static_cast<size_t>(n) : 0);
    return s.substr(0, s.rfind('/'));
  }

 public:
  TTree() : FRoot(ExeFolder() + "/file_finder_tree/") {
    const std::string marker = ExeFolder() + "/file_finder_tree.done";
    const bool built = ::access(marker.c_str(), F_OK) == 0;
    if (!built) {
      std::system(("rm -rf '" + FRoot + "'").c_str());
      if (::mkdir(FRoot.c_str(), 0755) != 0) throw std::runtime_error("mkdir " + FRoot);
    }
    FFolders.push_back(FRoot);
    if (!built) {
      AddFolders(FRoot, 1);
    } else {
      // Only the names are needed again.
      FFolders.clear();
      FFolders.push_back(FRoot);
      struct TWalk {
        static void Add(std::vector<std::string>& folders, const std::string& parent, int depth) {
          if (depth > kDepth) return;
          for (int i = 0; i < kFanOut; ++i) {
            std::string folder = parent + "d" + std::to_string(depth) + "_" + std::to_string(i) + "/";
            folders.push_back(folder);
            Add(folders, folder, depth + 1);
          }
        }
      };
      TWalk::Add(FFolders, FRoot, 1);
    }
    for (int i = 0; i < kFiles; ++i) {
      const bool pdf = i % 20 == 0;
      FPdfs += pdf;
      if (built) continue;
      std::string path = FFolders[static_cast<size_t>(i) % FFolders.size()] + "file" + std::to_string(i) +
                         (pdf ? (i % 40 == 0 ? ".PDF" : ".pdf") : ".txt");
      if (FILE* f = std::fopen(path.c_str(), "w"))
        std::fclose(f);
      else
        throw std::runtime_error("create " + path);
    }
    if (!built)
      if (FILE* f = std::fopen(marker.c_str(), "w")) std::fclose(f);
  }
  const std::string& Root() const { return FRoot; }
  int Pdfs() const { return FPdfs; }
};

const TTree& Tree() {
  static TTree tree;
  return tree;
}

int FolderSearch(const std::string& root) {
  TDIWildFileFinder finder(nullptr);
  finder.SetSearchFolder(root);
  finder.SetRecurse(true);
  finder.IncludeFilters()->SetCount(1);
  finder.IncludeFilters()->SetString(0, "*.pdf");
  int found = 0;
  while (finder.NextMatch()) ++found;
  return found;
}

int FindCommand(const std::string& root) {
  FILE* p = ::popen(("find '" + root + "' -iname '*.pdf'").c_str(), "r");
  if (!p) throw std::runtime_error("popen");
  int lines = 0;
  char buf[4096];
  while (std::fgets(buf, sizeof buf, p))
    if (std::strchr(buf, '\n')) ++lines;
  ::pclose(p);
  return lines;
}

template <class F>
double Seconds(F f, int& result) {
  auto start = std::chrono::steady_clock::now();
  result = f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_FolderSearchAgainstFind(benchmark::State& state) {
  const TTree& tree = Tree();
  double finderTime = 0, findTime = 0;
  std::vector<double> ratios;
  for (auto _ : state) {
    // One search of each first, so that both start from a warm cache.
    int warm = 0;
    Seconds([&] { return FolderSearch(tree.Root()); }, warm);
    Seconds([&] { return FindCommand(tree.Root()); }, warm);
    for (int round = 0; round < kRounds; ++round) {
      int byFinder = 0, byFind = 0;
      double a, b;
      if (round % 2 == 0) {
        a = Seconds([&] { return FolderSearch(tree.Root()); }, byFinder);
        b = Seconds([&] { return FindCommand(tree.Root()); }, byFind);
      } else {
        b = Seconds([&] { return FindCommand(tree.Root()); }, byFind);
        a = Seconds([&] { return FolderSearch(tree.Root()); }, byFinder);
      }
      if (byFinder != tree.Pdfs() || byFind != tree.Pdfs()) {
        state.SkipWithError("the two searches disagree about the PDFs");
        return;
      }
      finderTime += a;
      findTime += b;
      ratios.push_back(a / b);
      std::printf("round %d: folder search %.1f ms, find %.1f ms, ratio %.2f\n", round + 1, a * 1000, b * 1000, a / b);
    }
  }
  std::sort(ratios.begin(), ratios.end());
  const double median = ratios[ratios.size() / 2];
  state.counters["pdfs"] = tree.Pdfs();
  state.counters["finder_ms"] = finderTime / kRounds * 1000;
  state.counters["find_ms"] = findTime / kRounds * 1000;
  state.counters["ratio"] = median;
  std::printf("folder search / find, median of %d rounds: %.2f\n", kRounds, median);
}
BENCHMARK(BM_FolderSearchAgainstFind)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
