#include "platform/rtl/scope_exit.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

struct TExitCase {
  const char* Name;
  TScopeExitWhen When;
  bool Raise;
  bool Release;
  bool Runs;
};

TEST(ScopeExit, RunsAsAskedOnEachWayOut) {
  const TExitCase cases[] = {
      {"always, normal exit", seAlways, false, false, true},
      {"always, exception", seAlways, true, false, true},
      {"on unwind, normal exit", seOnUnwind, false, false, false},
      {"on unwind, exception", seOnUnwind, true, false, true},
      {"always, released", seAlways, true, true, false},
      {"on unwind, released", seOnUnwind, true, true, false},
  };
  for (const TExitCase& c : cases) {
    SCOPED_TRACE(c.Name);
    int runs = 0;
    bool caught = false;
    try {
      TScopeExit guard(c.When, [&] { ++runs; });
      if (c.Release) guard.Release();
      if (c.Raise) throw std::runtime_error("body");
    } catch (const std::runtime_error&) {
      caught = true;
    }
    EXPECT_EQ(caught, c.Raise);
    EXPECT_EQ(runs, c.Runs ? 1 : 0);
  }
}

TEST(ScopeExit, GuardsRunInReverseOrderOfDeclaration) {
  std::string order;
  try {
    TScopeExit first([&] { order += "1"; });
    TScopeExit second(seOnUnwind, [&] { order += "2"; });
    throw std::runtime_error("body");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(order, "21");
}

TEST(ScopeExit, ACleanupThatRaisesOnTheNormalWayOutRaisesFromTheScope) {
  bool inner = false;
  EXPECT_THROW(
      {
        TScopeExit outer([&] { inner = true; });
        TScopeExit failing([] { throw std::logic_error("cleanup"); });
      },
      std::logic_error);
  EXPECT_TRUE(inner);  // the guards declared before it still ran
}

TEST(ScopeExit, WhileUnwindingTheFirstExceptionWinsOverTheCleanups) {
  bool outerRan = false;
  try {
    TScopeExit outer([&] { outerRan = true; });
    TScopeExit failing([] { throw std::logic_error("cleanup"); });
    throw std::runtime_error("body");
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "body");
  }
  EXPECT_TRUE(outerRan);
}

// A guard made while another exception is in flight (in a destructor that
// runs during unwinding) sees its own scope end normally.
struct TDestroyedDuringUnwinding {
  int* UnwindRuns;
  int* AlwaysRuns;
  ~TDestroyedDuringUnwinding() {
    TScopeExit onUnwind(seOnUnwind, [this] { ++*UnwindRuns; });
    TScopeExit always([this] { ++*AlwaysRuns; });
  }
};

TEST(ScopeExit, AGuardMadeDuringUnwindingJudgesOnlyItsOwnScope) {
  int unwindRuns = 0, alwaysRuns = 0;
  try {
    TDestroyedDuringUnwinding d{&unwindRuns, &alwaysRuns};
    throw std::runtime_error("body");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(unwindRuns, 0);
  EXPECT_EQ(alwaysRuns, 1);
}

}  // namespace
