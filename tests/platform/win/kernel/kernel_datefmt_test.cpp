#include "platform/win/kernel/kernel_datefmt.h"

#include <gtest/gtest.h>

#include "platform/rtl/format_settings_reader.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/kernel/kernel_codepages.h"

namespace {

class DateFormatTest : public ::testing::Test {
 protected:
  void SetUp() override { rtl::testing::ResetLocale(); }
  void TearDown() override {
    rtl::testing::ResetLocale();
    FormatSettings = TFormatSettings();
  }
  static SYSTEMTIME Moment(WORD y, WORD mo, WORD d, WORD h = 0, WORD mi = 0, WORD s = 0) {
    SYSTEMTIME t;
    t.wYear = y;
    t.wMonth = mo;
    t.wDay = d;
    t.wHour = h;
    t.wMinute = mi;
    t.wSecond = s;
    return t;
  }
  static std::string Date(const SYSTEMTIME& t, const char* picture, DWORD flags = 0) {
    char buffer[128];
    return GetDateFormatA(LOCALE_USER_DEFAULT, flags, &t, picture, buffer, sizeof(buffer)) > 0 ? buffer : "<fail>";
  }
  static std::string Time(const SYSTEMTIME& t, const char* picture, DWORD flags = 0) {
    char buffer[128];
    return GetTimeFormatA(LOCALE_USER_DEFAULT, flags, &t, picture, buffer, sizeof(buffer)) > 0 ? buffer : "<fail>";
  }
};

TEST_F(DateFormatTest, DatePicturesOfTheLocaleLanguage) {
  // Sunday 5 March 2006.
  const SYSTEMTIME t = Moment(2006, 3, 5);
  const struct {
    const char* Picture;
    const char* Text;
  } cases[] = {
      {"d", "5"},
      {"dd", "05"},
      {"ddd", "Sun"},
      {"dddd", "Sunday"},
      {"M", "3"},
      {"MM", "03"},
      {"MMM", "Mar"},
      {"MMMM", "March"},
      {"y", "6"},
      {"yy", "06"},
      {"yyyy", "2006"},
      {"yyyyy", "2006"},
      {"gg yyyy", "A.D. 2006"},
      {"d/M/yyyy", "5/3/2006"},
      {"'day' d 'o''clock'", "day 5 o'clock"},
      {"dddd, MMMM dd, yyyy", "Sunday, March 05, 2006"},
      {"hh:mm", "hh:mm"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Picture);
    EXPECT_EQ(Date(t, c.Picture), c.Text);
  }
  EXPECT_EQ(Date(Moment(905, 1, 9), "yyyy y"), "0905 5");
}

TEST_F(DateFormatTest, DateFlagsPickTheLocalePictures) {
  const SYSTEMTIME t = Moment(2006, 3, 5);
  EXPECT_EQ(Date(t, nullptr), "3/5/2006");
  EXPECT_EQ(Date(t, nullptr, DATE_SHORTDATE), "3/5/2006");
  EXPECT_EQ(Date(t, nullptr, DATE_LONGDATE), "Sunday, March 5, 2006");
  EXPECT_EQ(Date(t, nullptr, DATE_YEARMONTH), "March 2006");
}

TEST_F(DateFormatTest, DateFailuresSetTheLastError) {
  char buffer[4];
  const SYSTEMTIME t = Moment(2006, 3, 5);
  const SYSTEMTIME feb31 = Moment(2001, 2, 31);
  EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &feb31, "d", buffer, sizeof(buffer)), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &t, "d", buffer, sizeof(buffer)), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
  EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE | DATE_SHORTDATE, &t, nullptr, buffer, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
  EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &t, "yyyy", buffer, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &t, "yyyy", nullptr, 0), 5);
  EXPECT_EQ(GetDateFormatA(0x7777, 0, &t, "d", buffer, sizeof(buffer)), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(DateFormatTest, TimePicturesAndFlags) {
  const SYSTEMTIME morning = Moment(2006, 3, 5, 0, 7, 9);
  const SYSTEMTIME evening = Moment(2006, 3, 5, 21, 45, 30);
  const struct {
    const SYSTEMTIME* Time;
    const char* Picture;
    DWORD Flags;
    const char* Text;
  } cases[] = {
      {&morning, nullptr, 0, "12:07:09 AM"},
      {&evening, nullptr, 0, "9:45:30 PM"},
      {&evening, "HH:mm:ss", 0, "21:45:30"},
      {&morning, "H:m:s", 0, "0:7:9"},
      {&evening, "hh 't' t", 0, "09 t P"},
      {&evening, nullptr, TIME_NOSECONDS, "9:45 PM"},
      {&evening, nullptr, TIME_NOMINUTESORSECONDS, "9 PM"},
      {&evening, nullptr, TIME_NOTIMEMARKER, "9:45:30"},
      {&evening, nullptr, TIME_FORCE24HOURFORMAT, "21:45:30"},
      {&evening, "tt h:mm", TIME_NOTIMEMARKER, "9:45"},
      {&evening, "dd MM", 0, "dd MM"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Picture ? c.Picture : "(locale)");
    EXPECT_EQ(Time(*c.Time, c.Picture, c.Flags), c.Text);
  }
  const SYSTEMTIME bad = Moment(2006, 3, 5, 24, 0, 0);
  char buffer[32];
  EXPECT_EQ(GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &bad, nullptr, buffer, sizeof(buffer)), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(DateFormatTest, TestLocalesChangeWhatTheyName) {
  const SYSTEMTIME t = Moment(2006, 3, 5, 21, 45, 30);
  rtl::testing::InstallDateTestLocale(rtl::testing::TDateTestLocale::kDayFirstDots);
  EXPECT_EQ(Date(t, nullptr), "05.03.2006");
  EXPECT_EQ(Time(t, nullptr), "21:45:30");
  rtl::testing::InstallDateTestLocale(rtl::testing::TDateTestLocale::k24Hour);
  EXPECT_EQ(Date(t, nullptr), "05/03/2006");
  EXPECT_EQ(Time(Moment(2006, 3, 5, 9, 5, 0), nullptr), "09:05:00");
  rtl::testing::InstallDateTestLocale(rtl::testing::TDateTestLocale::kMondayWeekRule3);
  char item[8];
  ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, item, sizeof(item)), 0);
  EXPECT_STREQ(item, "0");
  ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTWEEKOFYEAR, item, sizeof(item)), 0);
  EXPECT_STREQ(item, "2");
  rtl::testing::InstallDateTestLocale(rtl::testing::TDateTestLocale::kApostropheMonths);
  EXPECT_EQ(Date(t, "MMMM MMM"), "ma'r m'r");
  EXPECT_EQ(Date(t, nullptr, DATE_LONGDATE), "5 o' ma'r 2006");
}

TEST_F(DateFormatTest, FormatSettingsAreReadFromTheUserLocale) {
  rtl::testing::InstallDateTestLocale(rtl::testing::TDateTestLocale::kDayFirstDots);
  GetFormatSettings();
  EXPECT_EQ(FormatSettings.ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(FormatSettings.DateSeparator, '.');
  EXPECT_EQ(FormatSettings.DecimalSeparator, ',');
  EXPECT_EQ(FormatSettings.ListSeparator, ';');
  EXPECT_EQ(FormatSettings.CurrencyFormat, 3);
  EXPECT_EQ(FormatSettings.NegCurrFormat, 8);
  EXPECT_EQ(FormatSettings.LongTimeFormat, "h:mm:ss");
  EXPECT_EQ(FormatSettings.TimeAMString, "");
  rtl::testing::ResetLocale();
  GetFormatSettings();
  EXPECT_EQ(FormatSettings.ShortDateFormat, "M/d/yyyy");
  EXPECT_EQ(FormatSettings.LongTimeFormat, "h:mm:ss AMPM");
  EXPECT_EQ(FormatSettings.ShortTimeFormat, "h:mm AMPM");
  EXPECT_EQ(FormatSettings.ShortDayNames[0], "Sun");
  EXPECT_EQ(FormatSettings.LongDayNames[1], "Monday");
  EXPECT_EQ(FormatSettings.LongMonthNames[11], "December");
}

}  // namespace
