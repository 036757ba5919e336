#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/rtl/mathutils.h"

namespace {

TEST(MulDiv, RoundsHalvesAwayFromZeroAndFlagsFailures) {
  const struct {
    Integer a, b, c, expected;
  } cases[] = {
      {1, 1, 2, 1},            {-1, 1, 2, -1},         {1, -1, 2, -1},          {-1, -1, 2, 1},
      {3, 1, 2, 2},            {-3, 1, 2, -2},         {5, 1, -2, -3},          {-5, 1, -2, 3},
      {-7, 2, 4, -4},          {1, 1, 3, 0},           {2, 1, 3, 1},            {-2, 1, 3, -1},
      {0, 5, -3, 0},           {10, 10, 3, 33},        {20, 10, 3, 67},
      // The product does not fit 32 bits, the result does.
      {65536, 65536, 65536, 65536},
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
      {INT_MIN, 1, 1, INT_MIN},
      {INT_MIN, INT_MIN, INT_MIN, INT_MIN},
      // Overflow and a zero divisor give -1.
      {100000, 100000, 1, -1}, {INT_MIN, -1, 1, -1},   {5, 7, 0, -1},           {0, 0, 0, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Round, HalvesToEven) {
  const struct {
    double x;
    Int64 expected;
  } cases[] = {
      {0.5, 0},   {1.5, 2},   {2.5, 2},   {3.5, 4},    {-0.5, 0},  {-1.5, -2}, {-2.5, -2},
      {3.7, 4},   {-3.7, -4}, {0.49999999999999994, 0}, {4503599627370497.0, 4503599627370497LL},
      {1e18, 1000000000000000000LL},      {-9223372036854775808.0, INT64_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(Round(c.x), c.expected) << c.x;
  const double bad[] = {std::nan(""), INFINITY, -INFINITY, 9223372036854775808.0, 1e19};
  for (double x : bad) {
    EXPECT_THROW(Round(x), EInvalidOp) << x;
    EXPECT_THROW(Trunc(x), EInvalidOp) << x;
  }
  try {
    Round(std::nan(""));
  } catch (const EInvalidOp& e) {
    EXPECT_EQ(e.Message(), "Invalid floating point operation");
  }
}

TEST(Round, TruncFracIntCeilFloor) {
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_EQ(Trunc(2.7), 2);
  EXPECT_DOUBLE_EQ(Int(-2.7), -2);
  EXPECT_DOUBLE_EQ(Frac(-2.75), -0.75);
  EXPECT_DOUBLE_EQ(Frac(2.75), 0.75);
  EXPECT_EQ(Ceil(-2.5), -2);
  EXPECT_EQ(Floor(-2.5), -3);
  EXPECT_EQ(Ceil(2.0000001), 3);
  EXPECT_EQ(Floor(2.9999999), 2);
  EXPECT_EQ(Ceil(-2147483648.5), INT_MIN);
  EXPECT_THROW(Floor(-2147483648.5), EInvalidOp);
  EXPECT_THROW(Ceil(3e9), EInvalidOp);
}

TEST(Round, RoundToAndSimpleRoundTo) {
  const struct {
    double value;
    Integer digit;
    double roundTo, simple;
  } cases[] = {
      {2.5, 0, 2, 3},        {0.125, -2, 0.12, 0.13},  {0.375, -2, 0.38, 0.38}, {-0.125, -2, -0.12, -0.13},
      {1234567, 3, 1235000, 1235000}, {2500, 3, 2000, 3000}, {1.2345, -3, 1.234, 1.235},
      {1e300, -2, 1e300, 1e300},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(RoundTo(c.value, c.digit), c.roundTo) << c.value << " " << c.digit;
    EXPECT_DOUBLE_EQ(SimpleRoundTo(c.value, c.digit), c.simple) << c.value << " " << c.digit;
  }
  EXPECT_DOUBLE_EQ(SimpleRoundTo(3.14159), 3.14);
}

TEST(Ranges, MaxMinEnsureInRangeSign) {
  EXPECT_EQ(Max(3, -4), 3);
  EXPECT_EQ(Min(Int64(1) << 40, Int64(5)), 5);
  EXPECT_EQ(Max(4000000000u, 1u), 4000000000u);
  EXPECT_DOUBLE_EQ(Min(2.5, -1.0), -1.0);
  EXPECT_EQ(EnsureRange(5, 1, 10), 5);
  EXPECT_EQ(EnsureRange(-5, 1, 10), 1);
  EXPECT_EQ(EnsureRange(50, 1, 10), 10);
  EXPECT_EQ(EnsureRange(5, 10, 1), 1);  // an empty range gives its upper end
  EXPECT_DOUBLE_EQ(EnsureRange(1.5, 0.0, 1.0), 1.0);
  EXPECT_TRUE(InRange(10, 1, 10));
  EXPECT_FALSE(InRange(11, 1, 10));
  EXPECT_FALSE(InRange(std::nan(""), 0.0, 1.0));
  EXPECT_EQ(Sign(-7), -1);
  EXPECT_EQ(Sign(Int64(0)), 0);
  EXPECT_EQ(Sign(0.25), 1);
  EXPECT_EQ(Sign(std::nan("")), 0);
  EXPECT_EQ(IfThen(true, 1, 2), 1);
  EXPECT_EQ(IfThen(false, 1), 0);
  EXPECT_DOUBLE_EQ(IfThen(false, 1.5, 2.5), 2.5);
  EXPECT_EQ(Sqr(-3), 9);
  EXPECT_DOUBLE_EQ(Sqr(1.5), 2.25);
}

TEST(Comparison, SameValueAndIsZero) {
  EXPECT_TRUE(SameValue(0.1 + 0.2, 0.3));
  EXPECT_TRUE(SameValue(1e20, 1e20 * (1 + 1e-14)));
  EXPECT_FALSE(SameValue(1, 1.001));
  EXPECT_TRUE(SameValue(1, 1.001, 0.01));
  EXPECT_TRUE(IsZero(1e-13));
  EXPECT_FALSE(IsZero(1e-11));
  EXPECT_TRUE(IsZero(0.05, 0.1));
  EXPECT_TRUE(IsNan(std::nan("")));
  EXPECT_TRUE(IsInfinite(-INFINITY));
  EXPECT_FALSE(IsInfinite(1e308));
}

TEST(Powers, PowerAndIntPower) {
  EXPECT_DOUBLE_EQ(Power(2, 10), 1024);
  EXPECT_DOUBLE_EQ(Power(-2, 3), -8);
  EXPECT_DOUBLE_EQ(Power(0, 0), 1);
  EXPECT_DOUBLE_EQ(Power(27, 1.0 / 3), 3);
  EXPECT_TRUE(std::isnan(Power(-8, 1.0 / 3)));
  EXPECT_DOUBLE_EQ(IntPower(2, -2), 0.25);
  EXPECT_DOUBLE_EQ(IntPower(-3, 3), -27);
  EXPECT_DOUBLE_EQ(IntPower(10, 22), 1e22);
  EXPECT_DOUBLE_EQ(IntPower(5, 0), 1);
  EXPECT_DOUBLE_EQ(IntPower(2, INT_MIN), 0);
}

TEST(DivMod, TruncatesTowardZero) {
  const struct {
    Integer dividend, divisor, quotient, remainder;
  } cases[] = {{7, 2, 3, 1}, {-7, 2, -3, -1}, {7, -2, -3, 1}, {-7, -2, 3, -1}, {0, 5, 0, 0}};
  for (const auto& c : cases) {
    Integer q, r;
    DivMod(c.dividend, c.divisor, q, r);
    EXPECT_EQ(q, c.quotient) << c.dividend << "/" << c.divisor;
    EXPECT_EQ(r, c.remainder) << c.dividend << "/" << c.divisor;
  }
  Integer q, r;
  EXPECT_THROW(DivMod(1, 0, q, r), EDivByZero);
  EXPECT_THROW(DivMod(INT_MIN, -1, q, r), EIntOverflow);
  Int64 q64, r64;
  DivMod(Int64(1) << 40, Int64(3), q64, r64);
  EXPECT_EQ(q64 * 3 + r64, Int64(1) << 40);
  EXPECT_THROW(DivMod(INT64_MIN, Int64(-1), q64, r64), EIntOverflow);
}

class RandomTest : public ::testing::Test {
  Integer saved_ = RandSeed;

 protected:
  void TearDown() override { RandSeed = saved_; }
};

TEST_F(RandomTest, TheHostGeneratorFromAKnownSeed) {
  RandSeed = 0;
  std::vector<Integer> got;
  for (int k = 0; k < 6; ++k) got.push_back(Random(100));
  EXPECT_EQ(got, (std::vector<Integer>{0, 3, 86, 20, 27, 67}));
  RandSeed = 0;
  EXPECT_EQ(Random(100), 0);
  EXPECT_EQ(RandSeed.load(), 1);
}

TEST_F(RandomTest, ValuesStayInRange) {
  RandSeed = 12345;
  for (int k = 0; k < 2000; ++k) {
    Integer v = Random(7);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 7);
    Extended x = Random();
    ASSERT_GE(x, 0.0);
    ASSERT_LT(x, 1.0);
    Integer rr = RandomRange(5, -3);
    ASSERT_GE(rr, -3);
    ASSERT_LT(rr, 5);
  }
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
  Integer big = Random(INT_MAX);
  EXPECT_GE(big, 0);
  Integer wide = RandomRange(INT_MIN, INT_MAX);
  EXPECT_GE(wide, INT_MIN);
  EXPECT_LT(wide, INT_MAX);
}

TEST_F(RandomTest, TheSameSeedRepeatsTheSequence) {
  Randomize();
  const Integer seed = RandSeed;
  std::vector<Integer> first, second;
  for (int k = 0; k < 10; ++k) first.push_back(Random(1000));
  RandSeed = seed;
  for (int k = 0; k < 10; ++k) second.push_back(Random(1000));
  EXPECT_EQ(first, second);
}

}  // namespace
