#include <gtest/gtest.h>


#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/kernel/kernel_compare.h"

namespace {
TEST(CompareStringTest, AnswersInTheRuntimeTextOrder) {
  struct TCase {
    const char16_t* A;
    const char16_t* B;
    DWORD Flags;
    int Expected;
  };
  const TCase cases[] = {
      {u"abc", u"abd", 0, CSTR_LESS_THAN},
      {u"abd", u"abc", 0, CSTR_GREATER_THAN},
      {u"abc", u"abc", 0, CSTR_EQUAL},
      {u"abc", u"ABC", 0, CSTR_LESS_THAN},  // lower case first on a tie
      {u"abc", u"ABC", NORM_IGNORECASE, CSTR_EQUAL},
      {u"a", u"B", 0, CSTR_LESS_THAN},      // letters before case
      {u"Straße", u"STRASSE", NORM_IGNORECASE, CSTR_GREATER_THAN},
      {u"", u"a", 0, CSTR_LESS_THAN},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, c.Flags, c.A, -1, c.B, -1), c.Expected)
        << WideToAnsi(c.A) << " / " << WideToAnsi(c.B);
    int sign = WideCompareStr(c.A, c.B);
    if (c.Flags == 0) EXPECT_EQ(c.Expected, sign < 0 ? 1 : sign > 0 ? 3 : 2);
  }
  // Counted lengths take only that many characters.
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"abcX", 3, u"abcY", 3), CSTR_EQUAL);
}

TEST(CompareStringTest, BadArgumentsFailWithTheirError) {
  SetLastError(0);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0x10000000, u"a", -1, u"b", -1), 0);
  EXPECT_EQ(GetLastError(), 1004u);
  SetLastError(0);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, nullptr, -1, u"b", -1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  SetLastError(0);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"a", -2, u"b", -1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
