// 1,000 children of /bin/true one after another: through the process runner
// (redirected output, each next child started from OnTerminate, as the
// conversion driver does) and through a plain posix_spawn and waitpid loop.
// The two sides alternate over several rounds in one run, so that both see
// the same machine; the median of the rounds' ratios is printed.
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/win/user/user.h"
#include "support/process_runner.h"

extern char** environ;

namespace {

constexpr int kChildren = 1000;
constexpr int kRounds = 5;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double RunnerSeconds() {
  TJvCreateProcess runner(nullptr);
  runner.SetCommandLine("/bin/true");
  runner.SetConsoleOptions({coOwnerData, coRedirect});
  int ended = 0;
  runner.OnTerminate = [&](TObject*, Cardinal) {
    if (++ended < kChildren) runner.Start();
  };
  auto start = std::chrono::steady_clock::now();
  runner.Start();
  MSG msg;
  while (ended < kChildren && GetMessage(&msg, nullptr, 0, 0)) DispatchMessage(&msg);
  return Seconds(start);
}

double SpawnSeconds() {
  char program[] = "/bin/true";
  char* argv[] = {program, nullptr};
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kChildren; ++i) {
    pid_t pid;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) std::abort();
    int status;
    waitpid(pid, &status, 0);
  }
  return Seconds(start);
}

void BM_RunnerAgainstPosixSpawn(benchmark::State& state) {
  std::vector<double> ratios;
  double runner = 0, spawn = 0;
  for (auto _ : state) {
    for (int round = 0; round < kRounds; ++round) {
      // Which side goes first alternates too.
      double r, s;
      if (round % 2 == 0) {
        r = RunnerSeconds();
        s = SpawnSeconds();
      } else {
        s = SpawnSeconds();
        r = RunnerSeconds();
      }
      runner += r;
      spawn += s;
      ratios.push_back(r / s);
      std::printf("round %d: runner %.3f s, posix_spawn %.3f s, ratio %.2f\n", round + 1, r, s, r / s);
    }
  }
  std::sort(ratios.begin(), ratios.end());
  const double median = ratios[ratios.size() / 2];
  state.counters["ratio"] = median;
  state.counters["runner_ms"] = runner / kRounds * 1000;
  state.counters["spawn_ms"] = spawn / kRounds * 1000;
  std::printf("runner / posix_spawn for %d children, median of %d rounds: %.2f\n", kChildren, kRounds, median);
}
BENCHMARK(BM_RunnerAgainstPosixSpawn)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
