#include "platform/forms/timer.h"

#include <gtest/gtest.h>

#include <memory>

#include "controls_test_support.h"
#include "platform/rtl/properties.h"
#include "platform/testing/user_testing.h"

namespace {

using rtl::testing::AdvanceClock;

class TimerTest : public controls_test::TFormsTest {
 protected:
  std::unique_ptr<TTimer> T = std::make_unique<TTimer>(nullptr);
  int Fired = 0;

  void Count() {
    T->SetOnTimer([this](TObject* Sender) {
      EXPECT_EQ(Sender, T.get());
      ++Fired;
    });
  }
  // Moves the clock by ms and lets the loop deliver what fell due.
  void Run(uint32_t ms) {
    AdvanceClock(ms);
    Pump();
  }
};

TEST_F(TimerTest, FiresAtItsIntervalWhileEnabled) {
  EXPECT_TRUE(T->Enabled());
  EXPECT_EQ(T->Interval(), 1000u);
  Count();
  Run(999);
  EXPECT_EQ(Fired, 0);
  Run(1);
  EXPECT_EQ(Fired, 1);
  Run(1000);
  EXPECT_EQ(Fired, 2);

  T->SetEnabled(false);
  Run(5000);
  EXPECT_EQ(Fired, 2);

  // Enabling again starts a whole new interval.
  T->SetEnabled(true);
  Run(999);
  EXPECT_EQ(Fired, 2);
  Run(1);
  EXPECT_EQ(Fired, 3);
}

TEST_F(TimerTest, NewIntervalRearmsTheTimer) {
  Count();
  Run(600);
  T->SetInterval(100);
  Run(100);
  EXPECT_EQ(Fired, 1);
  Run(100);
  EXPECT_EQ(Fired, 2);
  T->SetInterval(5000);
  Run(4999);
  EXPECT_EQ(Fired, 2);
  Run(1);
  EXPECT_EQ(Fired, 3);
}

TEST_F(TimerTest, NoTimerWithoutIntervalOrHandler) {
  Run(5000);  // no handler yet: nothing to call, nothing armed
  T->SetInterval(0);
  Count();
  Run(5000);
  EXPECT_EQ(Fired, 0);
  T->SetInterval(10);
  Run(10);
  EXPECT_EQ(Fired, 1);
  T->SetOnTimer(nullptr);
  Run(100);
  EXPECT_EQ(Fired, 1);
}

TEST_F(TimerTest, FreedTimerNeverFires) {
  Count();
  T.reset();
  Run(5000);
  EXPECT_EQ(Fired, 0);
}

TEST_F(TimerTest, PropertiesArePublished) {
  PPropInfo Interval = GetPropInfo(T.get(), "Interval");
  ASSERT_NE(Interval, nullptr);
  SetOrdProp(T.get(), Interval, 250);
  EXPECT_EQ(T->Interval(), 250u);
  EXPECT_NE(GetPropInfo(T.get(), "Enabled"), nullptr);
  EXPECT_NE(GetPropInfo(T.get(), "OnTimer"), nullptr);
}

}  // namespace
