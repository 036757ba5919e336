#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/kernel/kernel_calendar.h"
#include "platform/win/kernel/kernel_codepages.h"
#include "platform/win/modules.h"

namespace {

class CalendarInfo : public ::testing::Test {
 protected:
  void SetUp() override { rtl::testing::ResetLocale(); }
  void TearDown() override { rtl::testing::ResetLocale(); }

  static std::string Text(CALID Calendar, CALTYPE Type, LCID Locale = LOCALE_USER_DEFAULT) {
    int n = GetCalendarInfoA(Locale, Calendar, Type, nullptr, 0, nullptr);
    if (n == 0) return "<missing>";
    std::string s(static_cast<size_t>(n), '\0');
    EXPECT_EQ(GetCalendarInfoA(Locale, Calendar, Type, s.data(), n, nullptr), n);
    s.pop_back();
    return s;
  }
  static DWORD Number(CALID Calendar, CALTYPE Type, LCID Locale = LOCALE_USER_DEFAULT) {
    DWORD v = 0xDEADBEEF;
    EXPECT_EQ(GetCalendarInfoA(Locale, Calendar, Type | CAL_RETURN_NUMBER, nullptr, 0, &v),
              static_cast<int>(sizeof(DWORD)));
    return v;
  }
  static int LocaleNumber(LCTYPE Type) {
    DWORD v = 0;
    EXPECT_EQ(GetLocaleInfoA(GetThreadLocale(), Type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPSTR>(&v), sizeof(v)),
              4);
    return static_cast<int>(v);
  }
};

TEST_F(CalendarInfo, TwoDigitYearWindowOfEachCalendar) {
  struct TCase {
    CALID Calendar;
    DWORD Max;
  };
  const TCase cases[] = {{1, 2029}, {2, 2029}, {3, 99},   {4, 99},    {5, 4362},  {6, 1451},
                         {7, 2572}, {8, 5810}, {9, 2029}, {10, 2029}, {11, 2029}, {12, 2029}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Calendar);
    EXPECT_EQ(Number(c.Calendar, CAL_ITWODIGITYEARMAX), c.Max);
    EXPECT_EQ(Text(c.Calendar, CAL_ITWODIGITYEARMAX), std::to_string(c.Max));
    EXPECT_EQ(Number(c.Calendar, CAL_ICALINTVALUE), c.Calendar);
  }
  EXPECT_EQ(Number(CAL_GREGORIAN, CAL_ITWODIGITYEARMAX, LOCALE_EN_US), 2029u);
}

TEST_F(CalendarInfo, FailuresSayWhy) {
  struct TCase {
    const char* Name;
    LCID Locale;
    CALID Calendar;
    CALTYPE Type;
    bool Buffer;
    int Size;
    bool Value;
    DWORD Error;
  };
  const TCase cases[] = {
      {"calendar 0", LOCALE_USER_DEFAULT, 0, CAL_SCALNAME, false, 0, false, ERROR_INVALID_PARAMETER},
      {"calendar 13", LOCALE_USER_DEFAULT, 13, CAL_SCALNAME, false, 0, false, ERROR_INVALID_PARAMETER},
      {"all calendars", LOCALE_USER_DEFAULT, ENUM_ALL_CALENDARS, CAL_SCALNAME, false, 0, false,
       ERROR_INVALID_PARAMETER},
      {"unknown locale", 0x0412, 1, CAL_SCALNAME, false, 0, false, ERROR_INVALID_PARAMETER},
      {"unknown item", LOCALE_USER_DEFAULT, 1, 0x0FFF, false, 0, false, ERROR_INVALID_FLAGS},
      {"text as number", LOCALE_USER_DEFAULT, 1, CAL_SCALNAME | CAL_RETURN_NUMBER, false, 0, true, ERROR_INVALID_FLAGS},
      {"number without value", LOCALE_USER_DEFAULT, 1, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER, false, 0, false,
       ERROR_INVALID_PARAMETER},
      {"number with buffer", LOCALE_USER_DEFAULT, 1, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER, true, 8, true,
       ERROR_INVALID_PARAMETER},
      {"short buffer", LOCALE_USER_DEFAULT, 1, CAL_SCALNAME, true, 4, false, ERROR_INSUFFICIENT_BUFFER},
      {"size without buffer", LOCALE_USER_DEFAULT, 1, CAL_SCALNAME, false, 8, false, ERROR_INVALID_PARAMETER},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    char buffer[16] = "unchanged";
    DWORD value = 7;
    SetLastError(0);
    EXPECT_EQ(
        GetCalendarInfoA(c.Locale, c.Calendar, c.Type, c.Buffer ? buffer : nullptr, c.Size, c.Value ? &value : nullptr),
        0);
    EXPECT_EQ(GetLastError(), c.Error);
    EXPECT_STREQ(buffer, "unchanged");
    EXPECT_EQ(value, 7u);
  }
}

std::vector<std::string> g_seen;
BOOL Collect(LPSTR Text) {
  g_seen.push_back(Text);
  return TRUE;
}
BOOL CollectOne(LPSTR Text) {
  g_seen.push_back(Text);
  return FALSE;
}

TEST_F(CalendarInfo, EnumerationListsEveryEraOldestFirst) {
  g_seen.clear();
  ASSERT_TRUE(EnumCalendarInfoA(&Collect, LOCALE_USER_DEFAULT, CAL_JAPAN, CAL_SERASTRING));
  EXPECT_EQ(g_seen, (std::vector<std::string>{"明治", "大正", "昭和", "平成"}));
  g_seen.clear();
  ASSERT_TRUE(EnumCalendarInfoA(&Collect, LOCALE_USER_DEFAULT, CAL_JAPAN, CAL_IYEAROFFSETRANGE));
  EXPECT_EQ(g_seen, (std::vector<std::string>{"1868", "1912", "1926", "1989"}));
  // The single-value query answers the latest era.
  EXPECT_EQ(Text(CAL_JAPAN, CAL_SERASTRING), "平成");
  EXPECT_EQ(Text(CAL_THAI, CAL_SABBREVERASTRING), "พ.ศ.");
  // FALSE from the procedure stops the walk.
  g_seen.clear();
  ASSERT_TRUE(EnumCalendarInfoA(&CollectOne, LOCALE_USER_DEFAULT, CAL_JAPAN, CAL_SERASTRING));
  EXPECT_EQ(g_seen.size(), 1u);
  // All calendars of a Hebrew locale: its own, then the Gregorian one.
  rtl::testing::InstallCalendarLocale(CAL_HEBREW);
  g_seen.clear();
  ASSERT_TRUE(EnumCalendarInfoA(&Collect, LOCALE_USER_DEFAULT, ENUM_ALL_CALENDARS, CAL_ICALINTVALUE));
  EXPECT_EQ(g_seen, (std::vector<std::string>{"8", "1"}));
  SetLastError(0);
  EXPECT_FALSE(EnumCalendarInfoA(&Collect, LOCALE_USER_DEFAULT, CAL_JAPAN, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
  EXPECT_FALSE(EnumCalendarInfoA(nullptr, LOCALE_USER_DEFAULT, CAL_JAPAN, CAL_SERASTRING));
}

TEST_F(CalendarInfo, TestLocalesOfEveryCalendar) {
  struct TCase {
    CALID Calendar;
    LCID Locale;
    const char* FirstMonth;
    const char* ThirteenthMonth;
    const char* Era;
  };
  const TCase cases[] = {
      {3, 0x0411, "1月", "", "平成"},        {4, 0x0404, "一月", "", "中華民國"},
      {5, 0x0412, "1월", "", "단기"},        {6, 0x0401, "محرم", "", "بعد الهجرة"},
      {7, 0x041E, "มกราคม", "", "พุทธศักราช"}, {8, 0x040D, "תשרי", "אלול", "לבריאת העולם"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Calendar);
    rtl::testing::InstallCalendarLocale(c.Calendar);
    EXPECT_EQ(GetThreadLocale(), c.Locale);
    EXPECT_EQ(LocaleNumber(LOCALE_ICALENDARTYPE), static_cast<int>(c.Calendar));
    EXPECT_EQ(LocaleNumber(LOCALE_IOPTIONALCALENDAR), static_cast<int>(c.Calendar));
    char name[64];
    ASSERT_GT(GetLocaleInfoA(GetThreadLocale(), LOCALE_SMONTHNAME1, name, sizeof(name)), 0);
    EXPECT_STREQ(name, c.FirstMonth);
    ASSERT_GT(GetLocaleInfoA(GetThreadLocale(), LOCALE_SMONTHNAME13, name, sizeof(name)), 0);
    EXPECT_STREQ(name, c.ThirteenthMonth);
    EXPECT_EQ(Text(c.Calendar, CAL_SMONTHNAME1, c.Locale), c.FirstMonth);
    EXPECT_EQ(Text(c.Calendar, CAL_SERASTRING, c.Locale), c.Era);
    // The rest is en-US.
    EXPECT_EQ(LocaleNumber(LOCALE_IFIRSTDAYOFWEEK), 6);
    EXPECT_EQ(LocaleNumber(LOCALE_IFIRSTWEEKOFYEAR), 0);
  }
  rtl::testing::ResetLocale();
  EXPECT_EQ(LocaleNumber(LOCALE_ICALENDARTYPE), 1);
  EXPECT_EQ(LocaleNumber(LOCALE_IOPTIONALCALENDAR), 1);
}

TEST_F(CalendarInfo, KernelExportsTheCalendarFunctionsByName) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  using TGetCalendarInfoA = int (*)(LCID, CALID, CALTYPE, LPSTR, int, DWORD*);
  auto get = reinterpret_cast<TGetCalendarInfoA>(GetProcAddress(kernel, "GetCalendarInfoA"));
  ASSERT_NE(get, nullptr);
  DWORD v = 0;
  EXPECT_EQ(get(GetThreadLocale(), CAL_GREGORIAN, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER, nullptr, 0, &v), 4);
  EXPECT_EQ(v, 2029u);
  EXPECT_NE(GetProcAddress(kernel, "EnumCalendarInfoA"), nullptr);
}

}  // namespace
