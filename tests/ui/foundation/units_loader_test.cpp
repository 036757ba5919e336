#include "ui/foundation/units_loader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string g_log;
void InitA() { g_log += "+a"; }
void FinalA() { g_log += "-a"; }
void FinalB() { g_log += "-b"; }
void FinalC() { g_log += "-c"; }

class UnitsLoader : public ::testing::Test {
 protected:
  void SetUp() override { g_log.clear(); }
};

TEST_F(UnitsLoader, StartUpRunsAtOnceAndSetsTheFlag) {
  TdxUnitsLoader loader;
  loader.RunAllFinalizers();
  ASSERT_FALSE(TdxUnitsLoader::UnitsInitialized());
  loader.RegisterUnitProcs(&InitA, nullptr);
  EXPECT_EQ(g_log, "+a");
  EXPECT_TRUE(TdxUnitsLoader::UnitsInitialized());
  EXPECT_EQ(loader.FinalizerCount(), 0);
}

TEST_F(UnitsLoader, ShutDownOnlyLeavesTheFlagAndIsRemovedWithoutRunning) {
  TdxUnitsLoader loader;
  loader.RunAllFinalizers();
  loader.RegisterUnitProcs(nullptr, &FinalA);
  EXPECT_FALSE(TdxUnitsLoader::UnitsInitialized());
  loader.FinalizeUnitEarly(&FinalA);
  EXPECT_EQ(loader.FinalizerCount(), 0);
  loader.RunAllFinalizers();
  EXPECT_EQ(g_log, "");
}

TEST_F(UnitsLoader, FinalizeEarlyRunsARegisteredProcedureOnceAndIgnoresOthers) {
  TdxUnitsLoader loader;
  loader.RegisterUnitProcs(&InitA, &FinalA);
  loader.FinalizeUnitEarly(&FinalB);
  EXPECT_EQ(g_log, "+a");
  loader.FinalizeUnitEarly(&FinalA);
  loader.FinalizeUnitEarly(&FinalA);
  EXPECT_EQ(g_log, "+a-a");
  loader.RunAllFinalizers();
  EXPECT_EQ(g_log, "+a-a");
}

TEST_F(UnitsLoader, RunAllFinalizersRunsTheLastRegisteredFirstAndClearsTheFlag) {
  {
    TdxUnitsLoader loader;
    loader.RegisterUnitProcs(&InitA, &FinalA);
    loader.RegisterUnitProcs(nullptr, &FinalB);
    loader.RegisterUnitProcs(nullptr, &FinalC);
    loader.RunAllFinalizers();
    EXPECT_EQ(g_log, "+a-c-b-a");
    EXPECT_FALSE(TdxUnitsLoader::UnitsInitialized());
    EXPECT_EQ(loader.FinalizerCount(), 0);
    loader.RegisterUnitProcs(&InitA, &FinalB);
  }
  // Freeing the loader runs what is left.
  EXPECT_EQ(g_log, "+a-c-b-a+a-b");
}

}  // namespace
