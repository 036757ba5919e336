// The folder search over a tree of 100,000 files (one in ten a PDF, five
// levels deep), against `find DIR -iname '*.pdf'` on the same tree in the
// same run. The "ratio" counter is the folder search's time over find's.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "support/ansi_string_vectors.h"
#include "support/file_finder.h"

namespace {

constexpr int kFiles = 100000;
constexpr int kDepth = 5;
constexpr int kFanOut = 5;  // 5 + 25 + ... + 3125 folders

// The tree, built on first use and removed when the program ends.
class TTree {
  std::string FRoot;
  std::vector<std::string> FFolders;
  int FPdfs = 0;

  void AddFolders(const std::string& parent, int depth) {
    if (depth > kDepth) return;
    for (int i = 0; i < kFanOut; ++i) {
      std::string folder = parent + "d" + std::to_string(depth) + "_" + std::to_string(i) + "/";
      if (::mkdir(folder.c_str(), 0755) != 0) throw std::runtime_error("mkdir " + folder);
      FFolders.push_back(folder);
      AddFolders(folder, depth + 1);
    }
  }

 public:
  TTree() {
    char tmpl[] = "/tmp/file_finder_bench_XXXXXX";
    if (!::mkdtemp(tmpl)) throw std::runtime_error("mkdtemp");
    FRoot = std::string(tmpl) + "/";
    FFolders.push_back(FRoot);
    AddFolders(FRoot, 1);
    for (int i = 0; i < kFiles; ++i) {
      const bool pdf = i % 10 == 0;
      FPdfs += pdf;
      std::string path = FFolders[static_cast<size_t>(i) % FFolders.size()] + "file" + std::to_string(i) +
                         (pdf ? (i % 20 == 0 ? ".PDF" : ".pdf") : ".txt");
      if (FILE* f = std::fopen(path.c_str(), "w"))
        std::fclose(f);
      else
        throw std::runtime_error("create " + path);
    }
  }
  ~TTree() { std::system(("rm -rf '" + FRoot + "'").c_str()); }
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
  for (auto _ : state) {
    int byFinder = 0, byFind = 0;
    finderTime += Seconds([&] { return FolderSearch(tree.Root()); }, byFinder);
    findTime += Seconds([&] { return FindCommand(tree.Root()); }, byFind);
    if (byFinder != tree.Pdfs() || byFind != tree.Pdfs()) {
      state.SkipWithError("the two searches disagree about the PDFs");
      break;
    }
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["pdfs"] = tree.Pdfs();
  state.counters["finder_ms"] = n ? finderTime / n * 1000 : 0;
  state.counters["find_ms"] = n ? findTime / n * 1000 : 0;
  state.counters["ratio"] = findTime > 0 ? finderTime / findTime : 0;
}
BENCHMARK(BM_FolderSearchAgainstFind)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
