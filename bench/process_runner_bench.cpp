// 1,000 children of /bin/true one after another: through the process runner
// (redirected output, each next child started from OnTerminate, as the
// conversion driver does) and through a plain posix_spawn and waitpid loop.
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <benchmark/benchmark.h>

#include "platform/win/user/user.h"
#include "support/process_runner.h"

extern char** environ;

namespace {

constexpr int kChildren = 1000;
double gRunnerSeconds = 0;
double gSpawnSeconds = 0;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_Runner(benchmark::State& state) {
  TJvCreateProcess runner(nullptr);
  runner.SetCommandLine("/bin/true");
  runner.SetConsoleOptions({coOwnerData, coRedirect});
  int ended = 0;
  runner.OnTerminate = [&](TObject*, Cardinal) {
    if (++ended % kChildren != 0) runner.Start();
  };
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    const int target = ended + kChildren;
    runner.Start();
    MSG msg;
    while (ended < target && GetMessage(&msg, nullptr, 0, 0)) DispatchMessage(&msg);
    gRunnerSeconds = Seconds(start);
  }
}
BENCHMARK(BM_Runner)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PosixSpawn(benchmark::State& state) {
  char program[] = "/bin/true";
  char* argv[] = {program, nullptr};
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kChildren; ++i) {
      pid_t pid;
      if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) std::abort();
      int status;
      waitpid(pid, &status, 0);
    }
    gSpawnSeconds = Seconds(start);
  }
}
BENCHMARK(BM_PosixSpawn)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (gRunnerSeconds > 0 && gSpawnSeconds > 0)
    std::printf("runner / posix_spawn for %d children: %.2f (%.3f s / %.3f s)\n", kChildren,
                gRunnerSeconds / gSpawnSeconds, gRunnerSeconds, gSpawnSeconds);
  return 0;
}
