#include "platform/rtl/units.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/sysutils.h"

namespace {

// A registry of three units A, B, C that log their start-ups and shut-downs.
class UnitsTest : public ::testing::Test {
 protected:
  TUnitRegistry units;
  std::vector<std::string> log;

  void Add(const std::string& name, bool failInit = false, bool failFini = false) {
    units.Register(
        name,
        [this, name, failInit] {
          if (failInit) throw Exception("start-up of " + name + " failed");
          log.push_back("init " + name);
        },
        [this, name, failFini] {
          log.push_back("fini " + name);
          if (failFini) throw Exception("shut-down of " + name + " failed");
        });
  }
};

TEST_F(UnitsTest, StartUpInOrderShutDownInReverse) {
  Add("A");
  Add("B");
  units.Register("NoProcs", nullptr, nullptr);
  Add("C");
  units.Initialize();
  units.Initialize();  // each start-up runs once
  EXPECT_TRUE(units.IsStarted("b"));
  units.Finalize();
  units.Finalize();  // and each shut-down
  EXPECT_EQ(log, (std::vector<std::string>{"init A", "init B", "init C", "fini C", "fini B", "fini A"}));
  EXPECT_FALSE(units.IsStarted("B"));
}

TEST_F(UnitsTest, FailingStartUpStopsTheRestAndStartedUnitsStillShutDown) {
  Add("A");
  Add("B");
  Add("Bad", true);
  Add("C");
  EXPECT_THROW(units.Initialize(), Exception);
  EXPECT_FALSE(units.IsStarted("Bad"));
  EXPECT_FALSE(units.IsStarted("C"));
  units.Finalize();
  EXPECT_EQ(log, (std::vector<std::string>{"init A", "init B", "fini B", "fini A"}));
}

TEST_F(UnitsTest, FailingShutDownDoesNotSkipTheOthers) {
  Add("A");
  Add("B", false, true);
  Add("C");
  units.Initialize();
  EXPECT_THROW(units.Finalize(), Exception);
  EXPECT_EQ(log, (std::vector<std::string>{"init A", "init B", "init C", "fini C", "fini B", "fini A"}));
}

TEST_F(UnitsTest, LateRegistrationsAndDuplicates) {
  Add("A");
  units.Initialize();
  Add("a");  // same unit: ignored
  Add("B");
  units.Initialize();  // starts only B
  units.Finalize();
  EXPECT_EQ(log, (std::vector<std::string>{"init A", "init B", "fini B", "fini A"}));
}

TEST_F(UnitsTest, StartUpMayRegisterAFurtherUnit) {
  units.Register("A", [this] { Add("Late"); log.push_back("init A"); }, nullptr);
  units.Initialize();
  EXPECT_EQ(log, (std::vector<std::string>{"init A", "init Late"}));
}

}  // namespace
