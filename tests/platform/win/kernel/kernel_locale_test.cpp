#include "platform/win/kernel/kernel_locale.h"

#include <gtest/gtest.h>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/modules.h"

namespace {

struct LocaleFirstDay : ::testing::Test {
  void TearDown() override { rtl::testing::SetLocaleFirstDayOfWeek(-1); }
};

TEST_F(LocaleFirstDay, DefaultIsSundayAndTheHookChangesIt) {
  char Buffer[2] = {};
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, Buffer, 2), 2);
  EXPECT_STREQ(Buffer, "6");
  rtl::testing::SetLocaleFirstDayOfWeek(0);
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, Buffer, 2), 2);
  EXPECT_STREQ(Buffer, "0");
  rtl::testing::SetLocaleFirstDayOfWeek(9);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, Buffer, 2);
  EXPECT_STREQ(Buffer, "6");
}

TEST_F(LocaleFirstDay, BufferSizesAndUnknownItems) {
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, nullptr, 0), 2);
  char One[1] = {'x'};
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, One, 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(One[0], 'x');
  char Buffer[8] = {};
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, 0x12345, Buffer, 8), 0);
  EXPECT_EQ(GetLastError(), 1004u);
}

TEST_F(LocaleFirstDay, BoundByNameFromKernel32) {
  using TGetLocaleInfoA = int (*)(LCID, LCTYPE, LPSTR, int);
  auto Fn = reinterpret_cast<TGetLocaleInfoA>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLocaleInfoA"));
  ASSERT_NE(Fn, nullptr);
  char Buffer[2] = {};
  EXPECT_EQ(Fn(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, Buffer, 2), 2);
}

}  // namespace
