#include "platform/rtl/assertions.h"

#include <gtest/gtest.h>

TEST(Assert, PassesQuietlyAndFailsWithTheUnitAndLine) {
  EXPECT_NO_THROW(Assert(true));
  int Line = __LINE__ + 2;
  try {
    Assert(1 > 2);
    FAIL() << "no exception";
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Message(), "Assertion failure (assertions_test.cpp, line " + std::to_string(Line) + ")");
  }
  try {
    Assert(false, "Alpha too large");
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message().rfind("Alpha too large (assertions_test.cpp, line ", 0), 0u) << E.Message();
  }
}
