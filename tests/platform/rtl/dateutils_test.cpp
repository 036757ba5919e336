#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/sysutils.h"

namespace {

struct YMD {
  Word y, m, d;
};

YMD DateOf(TDateTime v) {
  YMD r;
  DecodeDate(v, r.y, r.m, r.d);
  return r;
}

::testing::AssertionResult IsDate(TDateTime v, Word y, Word m, Word d) {
  YMD r = DateOf(v);
  if (r.y == y && r.m == m && r.d == d) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << v << " is " << r.y << "-" << r.m << "-" << r.d;
}

// ---- Encoding and decoding ----------------------------------------------------------

TEST(EncodeDate, DayNumbersFromThe1899Epoch) {
  const struct {
    Word y, m, d;
    double serial;
  } cases[] = {
      {1899, 12, 30, 0},      {1899, 12, 31, 1},      {1900, 1, 1, 2},        {1900, 2, 28, 60},
      {1900, 3, 1, 61},       {2000, 2, 29, 36585},   {1970, 1, 1, 25569},    {2024, 2, 29, 45351},
      {1899, 12, 29, -1},     {1, 1, 1, -693593},     {100, 1, 1, -657434},   {9999, 12, 31, 2958465},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_TRUE(IsDate(c.serial, c.y, c.m, c.d));
  }
}

TEST(EncodeDate, RoundTripsEveryDayAcrossCenturyAndLeapYears) {
  for (Word y : {1896, 1899, 1900, 1904, 1999, 2000, 2001, 2100}) {
    TDateTime prev = EncodeDate(y, 1, 1) - 1;
    for (Word m = 1; m <= 12; ++m)
      for (Word d = 1; d <= DaysInAMonth(y, m); ++d) {
        TDateTime v = EncodeDate(y, m, d);
        ASSERT_EQ(v, prev + 1) << y << "-" << m << "-" << d;
        ASSERT_TRUE(IsDate(v, y, m, d));
        prev = v;
      }
  }
}

TEST(EncodeDate, InvalidArgumentsRaise) {
  const YMD bad[] = {{1900, 2, 29}, {2023, 2, 29}, {0, 1, 1},   {10000, 1, 1},
                     {2000, 13, 1}, {2000, 0, 1},  {2000, 1, 0}, {2000, 4, 31}};
  for (const YMD& b : bad) {
    TDateTime v = 123;
    EXPECT_FALSE(TryEncodeDate(b.y, b.m, b.d, v));
    EXPECT_EQ(v, 123);
    EXPECT_THROW(EncodeDate(b.y, b.m, b.d), EConvertError);
  }
  try {
    EncodeDate(2023, 2, 29);
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Invalid argument to date encode");
  }
  const struct {
    Word h, n, s, ms;
  } badTimes[] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}};
  for (const auto& t : badTimes) EXPECT_THROW(EncodeTime(t.h, t.n, t.s, t.ms), EConvertError);
  try {
    EncodeTime(24, 0, 0, 0);
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Invalid argument to time encode");
  }
  EXPECT_THROW(EncodeDateTime(2023, 2, 29, 0, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeDateTime(2023, 2, 28, 0, 0, 0, 1000), EConvertError);
}

TEST(EncodeTime, FractionOfTheDay) {
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / 86400000.0);
  Word h, n, s, ms;
  DecodeTime(EncodeTime(13, 45, 30, 250), h, n, s, ms);
  EXPECT_EQ(h, 13);
  EXPECT_EQ(n, 45);
  EXPECT_EQ(s, 30);
  EXPECT_EQ(ms, 250);
}

struct Moment {
  Word y, m, d, h, n, s, ms;
};

Moment Decoded(TDateTime v) {
  Moment r;
  DecodeDateTime(v, r.y, r.m, r.d, r.h, r.n, r.s, r.ms);
  return r;
}

#define EXPECT_MOMENT(v, Y, M, D, H, N, S, MS)                                                          \
  do {                                                                                               \
    Moment got = Decoded(v);                                                                        \
    EXPECT_TRUE(got.y == Y && got.m == M && got.d == D && got.h == H && got.n == N && got.s == S &&  \
                got.ms == MS)                                                                        \
        << (v) << " -> " << got.y << "-" << got.m << "-" << got.d << " " << got.h << ":" << got.n << ":" \
        << got.s << "." << got.ms;                                                                   \
  } while (0)

TEST(DecodeDateTime, NegativeDatesKeepThePositiveTime) {
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 6, 0, 0, 0), 0.25);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1800, 1, 1, 18, 0, 0, 0), EncodeDate(1800, 1, 1) - 0.75);
  EXPECT_MOMENT(-1.25, 1899, 12, 29, 6, 0, 0, 0);
  EXPECT_MOMENT(-0.25, 1899, 12, 30, 6, 0, 0, 0);
  EXPECT_MOMENT(-2.5, 1899, 12, 28, 12, 0, 0, 0);
  EXPECT_MOMENT(EncodeDate(1800, 1, 1) - 0.75, 1800, 1, 1, 18, 0, 0, 0);
}

TEST(DecodeDateTime, RoundsToTheMillisecondAcrossMidnight) {
  EXPECT_MOMENT(2.0 - 1e-10, 1900, 1, 1, 0, 0, 0, 0);
  EXPECT_MOMENT(1.9999999, 1899, 12, 31, 23, 59, 59, 991);
  // Just before midnight of a negative day rounds up to the next day.
  EXPECT_MOMENT(-1.9999999999, 1899, 12, 30, 0, 0, 0, 0);
  EXPECT_MOMENT(EncodeDateTime(2024, 2, 29, 23, 59, 59, 999), 2024, 2, 29, 23, 59, 59, 999);
  EXPECT_MOMENT(MinDateTime, 100, 1, 1, 0, 0, 0, 0);
  EXPECT_MOMENT(MaxDateTime, 9999, 12, 31, 23, 59, 59, 999);
}

TEST(DecodeDateTime, OutOfRangeGivesZeros) {
  for (double v : {std::nan(""), HUGE_VAL, -693594.0, 2958466.0, 1e300}) {
    YMD r = DateOf(v);
    EXPECT_TRUE(r.y == 0 && r.m == 0 && r.d == 0) << v;
    EXPECT_EQ(DayOfWeek(v), 0) << v;
  }
}

TEST(Calendar, LeapYearsMonthsAndWeekdays) {
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_EQ(MonthDays[true][2], 29);
  EXPECT_EQ(MonthDays[false][2], 28);
  EXPECT_EQ(MonthDays[false][12], 31);
  EXPECT_EQ(DaysInAMonth(2023, 4), 30);
  EXPECT_EQ(DaysInAMonth(2023, 13), 0);
  EXPECT_EQ(DayOfWeek(0), 7);                       // 30 Dec 1899, a Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);  // a Monday
  EXPECT_EQ(DayOfTheWeek(EncodeDate(2024, 1, 1)), 1);
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 3) + 0.9), 1);
  EXPECT_EQ(DayOfTheWeek(EncodeDate(2024, 3, 3)), 7);
  EXPECT_EQ(DayOfWeek(-1.25), 6);
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);
  TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
  EXPECT_EQ(YearOf(v), 2024);
  EXPECT_EQ(MonthOf(v), 3);
  EXPECT_EQ(DayOf(v), 5);
  EXPECT_EQ(HourOf(v), 14);
  EXPECT_EQ(MinuteOf(v), 7);
  EXPECT_EQ(SecondOf(v), 9);
  EXPECT_EQ(MilliSecondOf(v), 45);
  TTimeStamp ts = DateTimeToTimeStamp(v);
  EXPECT_EQ(ts.Date, 45356 + DateDelta);
  EXPECT_EQ(ts.Time, (14 * 3600 + 7 * 60 + 9) * 1000 + 45);
  EXPECT_DOUBLE_EQ(TimeStampToDateTime(ts), v);
  EXPECT_DOUBLE_EQ(TimeStampToDateTime(DateTimeToTimeStamp(-1.25)), -1.25);
}

TEST(IncMonth, ClipsTheDayAndKeepsTheTime) {
  const struct {
    YMD from;
    Integer months;
    YMD to;
  } cases[] = {
      {{2024, 1, 31}, 1, {2024, 2, 29}},  {{2023, 1, 31}, 1, {2023, 2, 28}},   {{2024, 3, 31}, -1, {2024, 2, 29}},
      {{2024, 12, 15}, 1, {2025, 1, 15}}, {{2024, 1, 15}, -13, {2022, 12, 15}}, {{2024, 5, 31}, 0, {2024, 5, 31}},
      {{2020, 2, 29}, 12, {2021, 2, 28}}, {{1, 1, 1}, 119987, {9999, 12, 1}},
  };
  for (const auto& c : cases) {
    TDateTime v = IncMonth(EncodeDate(c.from.y, c.from.m, c.from.d), c.months);
    EXPECT_TRUE(IsDate(v, c.to.y, c.to.m, c.to.d)) << c.from.y << "-" << c.from.m << "-" << c.from.d << " + " << c.months;
  }
  EXPECT_MOMENT(IncMonth(EncodeDateTime(2024, 1, 31, 12, 30, 0, 0)), 2024, 2, 29, 12, 30, 0, 0);
  EXPECT_MOMENT(IncMonth(-1.25), 1900, 1, 29, 6, 0, 0, 0);
  EXPECT_MOMENT(IncMonth(EncodeDateTime(1900, 1, 29, 6, 0, 0, 0), -1), 1899, 12, 29, 6, 0, 0, 0);
  EXPECT_DOUBLE_EQ(IncMonth(EncodeDateTime(1900, 1, 29, 6, 0, 0, 0), -1), -1.25);
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1)), EConvertError);
  EXPECT_THROW(IncMonth(EncodeDate(1, 1, 1), -1), EConvertError);
}

// ---- Unix time and the time zone ------------------------------------------------------

// Runs a test in a fixed time zone and restores the process's one after.
class TimeZoneTest : public ::testing::Test {
  std::optional<std::string> saved_;

 protected:
  void SetUp() override {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
  }
  void TearDown() override {
    if (saved_)
      setenv("TZ", saved_->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  static void Use(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
  }
};

TEST_F(TimeZoneTest, UnixSecondsInUtc) {
  EXPECT_EQ(DateTimeToUnix(UnixDateDelta), 0);
  EXPECT_DOUBLE_EQ(UnixToDateTime(86400), UnixDateDelta + 1);
  EXPECT_EQ(DateTimeToUnix(EncodeDateTime(2024, 7, 1, 10, 0, 0, 0)), 1719828000);
  EXPECT_MOMENT(UnixToDateTime(1719828000), 2024, 7, 1, 10, 0, 0, 0);
  EXPECT_MOMENT(UnixToDateTime(-1), 1969, 12, 31, 23, 59, 59, 0);
  // Before 1899 the serial is not linear; the conversion still is.
  const Int64 at1899 = -Int64(UnixDateDelta) * 86400;
  EXPECT_DOUBLE_EQ(UnixToDateTime(at1899 - 64800), -1.25);
  EXPECT_EQ(DateTimeToUnix(-1.25), at1899 - 64800);
  EXPECT_EQ(DateTimeToUnix(-0.25), at1899 + 21600);
  EXPECT_EQ(DateTimeToUnix(UnixDateDelta + 0.4 / 86400), 0);
  EXPECT_EQ(DateTimeToUnix(UnixDateDelta + 0.6 / 86400), 1);
  EXPECT_THROW(DateTimeToUnix(std::nan("")), EInvalidOp);
}

TEST_F(TimeZoneTest, LocalTimeGoesThroughTheZone) {
  Use("CET-1CEST,M3.5.0,M10.5.0/3");
  const TDateTime summer = EncodeDateTime(2024, 7, 1, 12, 0, 0, 0);
  const TDateTime winter = EncodeDateTime(2024, 1, 15, 12, 0, 0, 0);
  EXPECT_EQ(DateTimeToUnix(summer, false), DateTimeToUnix(summer) - 2 * 3600);
  EXPECT_EQ(DateTimeToUnix(winter, false), DateTimeToUnix(winter) - 3600);
  EXPECT_MOMENT(UnixToDateTime(1719828000, false), 2024, 7, 1, 12, 0, 0, 0);
  EXPECT_DOUBLE_EQ(UnixToDateTime(DateTimeToUnix(winter, false), false), winter);
}

TEST_F(TimeZoneTest, NowIsTheLocalWallClock) {
  Use("UTC0");
  const double utcNow = UnixToDateTime(std::time(nullptr));
  EXPECT_NEAR(Now(), utcNow, 5.0 / SecsPerDay);
  Use("XXX-10");
  EXPECT_NEAR(Now(), utcNow + 10.0 / 24, 5.0 / SecsPerDay);
  EXPECT_EQ(Date(), std::trunc(Date()));
  EXPECT_GE(Time(), 0.0);
  EXPECT_LT(Time(), 1.0);
}

// ---- Text ---------------------------------------------------------------------------------

// Tests that change the global settings put them back.
class FormatSettingsTest : public ::testing::Test {
  TFormatSettings saved_ = FormatSettings;

 protected:
  void TearDown() override { FormatSettings = saved_; }
};

const TDateTime kSample = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);  // a Tuesday

TEST_F(FormatSettingsTest, FormatDateTimePatterns) {
  const struct {
    const char* format;
    TDateTime value;
    const char* expected;
  } cases[] = {
      {"yyyy-mm-dd hh:nn:ss.zzz", kSample, "2024-03-05 14:07:09.045"},
      {"d/m/yy", kSample, "5/3/24"},
      {"dd.mm.yyyy", kSample, "05.03.2024"},
      {"ddd dddd", kSample, "Tue Tuesday"},
      {"mmm mmmm", kSample, "Mar March"},
      {"MMMM d, YYYY", kSample, "March 5, 2024"},
      {"m", kSample, "3"},
      {"mm/dd", kSample, "03/05"},
      {"h:mm", kSample, "14:07"},
      {"hh mm", kSample, "14 07"},
      {"h:m:s", kSample, "14:7:9"},
      {"d m", kSample, "5 3"},
      {"hh:nn:ss", kSample, "14:07:09"},
      {"h:mm am/pm", kSample, "2:07 pm"},
      {"h:mm AM/PM", kSample, "2:07 PM"},
      {"h:mm Am/Pm", kSample, "2:07 Pm"},
      {"h:mm a/p", kSample, "2:07 p"},
      {"h:mm ampm", kSample, "2:07 PM"},
      {"h 'am/pm' h", kSample, "14 am/pm 14"},
      {"z zzz", kSample, "45 045"},
      {"c", kSample, "3/5/2024 2:07:09 PM"},
      {"", kSample, "3/5/2024 2:07:09 PM"},
      {"c", EncodeDate(2024, 3, 5), "3/5/2024"},
      {"c", EncodeDate(2024, 3, 5) + 1.0 / MSecsPerDay, "3/5/2024 12:00:00 AM"},
      {"ddddd", kSample, "3/5/2024"},
      {"dddddd", kSample, "Tuesday, March 5, 2024"},
      {"t", kSample, "2:07 PM"},
      {"tt", kSample, "2:07:09 PM"},
      {"\"Today is\" dddd", kSample, "Today is Tuesday"},
      {"'it''s' yyyy", kSample, "its 2024"},
      {"'unterminated", kSample, "unterminated"},
      {"yy yyyy", EncodeDate(5, 6, 7), "05 0005"},
      {"h:nn am/pm", EncodeTime(0, 30, 0, 0), "12:30 am"},
      {"h:nn am/pm", EncodeTime(12, 0, 0, 0), "12:00 pm"},
      {"h:nn am/pm", EncodeTime(23, 59, 0, 0), "11:59 pm"},
      {"hh:nn a/p", EncodeTime(9, 5, 0, 0), "09:05 a"},
      {"yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
      {"dddd", EncodeDate(2024, 3, 3), "Sunday"},
      {"x #1 e g", kSample, "x #1 e g"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, c.value), c.expected) << c.format;
}

TEST_F(FormatSettingsTest, FormatFollowsTheSettings) {
  TFormatSettings fs;
  fs.DateSeparator = '-';
  fs.TimeSeparator = '.';
  fs.ShortDateFormat = "dd/mm/yyyy";
  fs.LongTimeFormat = "hh:nn:ss";
  fs.TimeAMString = "vorm.";
  fs.TimePMString = "nachm.";
  fs.LongMonthNames[2] = "M\xC3\xA4rz";
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn", kSample, fs), "2024-03-05 14.07");
  EXPECT_EQ(FormatDateTime("h ampm", kSample, fs), "2 nachm.");
  EXPECT_EQ(FormatDateTime("mmmm", kSample, fs), "M\xC3\xA4rz");
  EXPECT_EQ(DateTimeToStr(kSample, fs), "05-03-2024 14.07.09");
  EXPECT_EQ(DateToStr(kSample, fs), "05-03-2024");
  EXPECT_EQ(TimeToStr(kSample, fs), "14.07.09");
  // The global settings are the default.
  FormatSettings = fs;
  EXPECT_EQ(DateToStr(kSample), "05-03-2024");
  AnsiString out = "old";
  DateTimeToString(out, "yy", kSample);
  EXPECT_EQ(out, "24");
}

TEST_F(FormatSettingsTest, NestedFormatsCannotRecurseForever) {
  FormatSettings.ShortDateFormat = "c";
  FormatSettings.LongTimeFormat = "tt";
  // Two levels deep, every nested "c" and "tt" is empty; what is left are
  // the separators "c" puts between date and time at each level.
  EXPECT_EQ(FormatDateTime("c", kSample), "   ");
  FormatSettings.ShortDateFormat = "[ddddd]";
  EXPECT_EQ(FormatDateTime("ddddd", kSample), "[[]]");
}

// Each "c" of a nested format repeats that format again: 300 of them made
// megabytes of text from a few hundred bytes. Text beyond its format's
// own length plus 64 KiB is refused, and the result is left as it was;
// a long format of literal text is still written out whole.
TEST_F(FormatSettingsTest, NestedFormatsCannotMultiplyBeyondBounds) {
  FormatSettings.ShortDateFormat = AnsiString(300, 'c');
  EXPECT_THROW(FormatDateTime("c", kSample), EConvertError);
  AnsiString out = "old";
  EXPECT_THROW(DateTimeToString(out, "ddddd", kSample), EConvertError);
  EXPECT_EQ(out, "old");
  FormatSettings.ShortDateFormat = AnsiString(30, 'c');
  FormatSettings.LongTimeFormat = "hh:nn:ss";
  // Two levels down each "c" leaves only its blank; one level down each
  // adds those 30 blanks, its own and the time.
  EXPECT_EQ(FormatDateTime("c", kSample).size(), 30u * (30 + 1 + 8) + 1 + 8);
  const AnsiString literal = "'" + AnsiString(200000, 'x') + "'";
  EXPECT_EQ(FormatDateTime(literal, kSample), AnsiString(200000, 'x'));
}

TEST_F(FormatSettingsTest, StrToDateInTheSettingsOrder) {
  const Word thisYear = YearOf(Date());
  const struct {
    const char* text;
    const char* shortDateFormat;
    char separator;
    bool ok;
    YMD date;
  } cases[] = {
      {"3/5/2024", "M/d/yyyy", '/', true, {2024, 3, 5}},
      {" 3 / 5 / 2024 ", "M/d/yyyy", '/', true, {2024, 3, 5}},
      {"12/31/1899", "M/d/yyyy", '/', true, {1899, 12, 31}},
      {"03/05/0024", "M/d/yyyy", '/', true, {24, 3, 5}},
      {"3/5", "M/d/yyyy", '/', true, {thisYear, 3, 5}},
      {"05.03.2024", "dd.MM.yyyy", '.', true, {2024, 3, 5}},
      {"5.3", "dd.MM.yyyy", '.', true, {thisYear, 3, 5}},
      {"2024-03-05", "yyyy-MM-dd", '-', true, {2024, 3, 5}},
      {"3-5", "yyyy-MM-dd", '-', true, {thisYear, 3, 5}},
      {"2/29/2023", "M/d/yyyy", '/', false, {}},
      {"13/1/2024", "M/d/yyyy", '/', false, {}},
      {"3-5-2024", "M/d/yyyy", '/', false, {}},
      {"3/5/2024 10:00", "M/d/yyyy", '/', false, {}},
      {"3/5/2024x", "M/d/yyyy", '/', false, {}},
      {"3/5/2024/", "M/d/yyyy", '/', false, {}},
      {"3/", "M/d/yyyy", '/', false, {}},
      {"3", "M/d/yyyy", '/', false, {}},
      {"", "M/d/yyyy", '/', false, {}},
      {"3/5/99999", "M/d/yyyy", '/', false, {}},
  };
  for (const auto& c : cases) {
    TFormatSettings fs;
    fs.ShortDateFormat = c.shortDateFormat;
    fs.DateSeparator = c.separator;
    TDateTime v = -7;
    EXPECT_EQ(TryStrToDate(c.text, v, fs), c.ok) << c.text;
    if (c.ok) {
      EXPECT_TRUE(IsDate(v, c.date.y, c.date.m, c.date.d)) << c.text;
    } else {
      EXPECT_EQ(StrToDateDef(c.text, 42, fs), 42) << c.text;
    }
  }
  try {
    StrToDate("x");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x' is not a valid date");
  }
}

TEST_F(FormatSettingsTest, TwoDigitYearsFollowTheCenturyWindow) {
  const int thisYear = YearOf(Date());
  // Window 50: a two-digit year lands in [this year - 50, this year + 49].
  const int first = thisYear - 50;
  auto parsed = [](int yy) { return YearOf(StrToDate("1/1/" + std::string(yy < 10 ? "0" : "") + std::to_string(yy))); };
  EXPECT_EQ(parsed(first % 100), first);
  EXPECT_EQ(parsed((first + 99) % 100), first + 99);
  EXPECT_EQ(parsed((thisYear + 10) % 100), thisYear + 10);
  EXPECT_EQ(parsed((thisYear - 10) % 100), thisYear - 10);
  // A one-digit year is a two-digit year too; three digits are taken as they are.
  EXPECT_EQ(YearOf(StrToDate("1/1/5")), parsed(5));
  EXPECT_EQ(YearOf(StrToDate("1/1/099")), 99);
  // Window 0: always this century.
  FormatSettings.TwoDigitYearCenturyWindow = 0;
  EXPECT_EQ(parsed(thisYear % 100), thisYear);
  EXPECT_EQ(parsed(99), thisYear / 100 * 100 + 99);
  EXPECT_EQ(parsed(0), thisYear / 100 * 100);
}

TEST_F(FormatSettingsTest, StrToTimeClockForms) {
  const struct {
    const char* text;
    bool ok;
    Word h, n, s, ms;
  } cases[] = {
      {"14:07", true, 14, 7, 0, 0},        {"14:07:09", true, 14, 7, 9, 0},    {"14:07:09.045", true, 14, 7, 9, 45},
      {"14:07:09.5", true, 14, 7, 9, 500}, {"2:07 PM", true, 14, 7, 0, 0},     {"2:07pm", true, 14, 7, 0, 0},
      {"12:00 AM", true, 0, 0, 0, 0},      {"12:30 pm", true, 12, 30, 0, 0},   {"AM 9:15", true, 9, 15, 0, 0},
      {" 10 ", true, 10, 0, 0, 0},         {"23:59:59.9999", true, 23, 59, 59, 999},
      {"0:30 AM", false, 0, 0, 0, 0},                  {"13:00 PM", false, 0, 0, 0, 0},                {"24:00", false, 0, 0, 0, 0},
      {"9:60", false, 0, 0, 0, 0},                     {"9:00:60", false, 0, 0, 0, 0},                 {"", false, 0, 0, 0, 0},
      {"9:", false, 0, 0, 0, 0},                       {"9:00 XM", false, 0, 0, 0, 0},                 {"9:00:00.", false, 0, 0, 0, 0},
      {"9.30", false, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    TDateTime v = -1;
    EXPECT_EQ(TryStrToTime(c.text, v), c.ok) << c.text;
    if (c.ok) EXPECT_MOMENT(v, 1899, 12, 30, c.h, c.n, c.s, c.ms);
  }
  EXPECT_THROW(StrToTime("25:00"), EConvertError);
  EXPECT_EQ(StrToTimeDef("x", 0.5), 0.5);
  TFormatSettings fs;
  fs.TimeSeparator = '.';
  fs.TimePMString = "nachm.";
  EXPECT_MOMENT(StrToTime("2.30 nachm.", fs), 1899, 12, 30, 14, 30, 0, 0);
}

TEST_F(FormatSettingsTest, StrToDateTimeDateThenOptionalTime) {
  EXPECT_MOMENT(StrToDateTime("3/5/2024 14:07:09"), 2024, 3, 5, 14, 7, 9, 0);
  EXPECT_MOMENT(StrToDateTime("3/5/2024 2:07 PM"), 2024, 3, 5, 14, 7, 0, 0);
  EXPECT_MOMENT(StrToDateTime("3/5/2024"), 2024, 3, 5, 0, 0, 0, 0);
  EXPECT_DOUBLE_EQ(StrToDateTime("14:07"), EncodeTime(14, 7, 0, 0));
  EXPECT_DOUBLE_EQ(StrToDateTime("12/29/1899 6:00"), -1.25);
  TDateTime v;
  EXPECT_FALSE(TryStrToDateTime("3/5/2024 25:00", v));
  EXPECT_FALSE(TryStrToDateTime("3/5/2024 x", v));
  EXPECT_FALSE(TryStrToDateTime("", v));
  EXPECT_EQ(StrToDateTimeDef("nonsense", 9), 9);
  try {
    StrToDateTime("soon");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'soon' is not a valid date and time");
  }
  // What DateTimeToStr writes reads back, to the second.
  for (TDateTime x : {kSample, EncodeDate(2000, 2, 29), EncodeDateTime(1850, 7, 4, 23, 0, 1, 0), 0.75}) {
    TDateTime back = StrToDateTime(DateTimeToStr(x));
    EXPECT_NEAR(back, x, 1.0 / SecsPerDay) << DateTimeToStr(x);
  }
  // A date-only parse of a text with a time falls back to the default.
  EXPECT_EQ(StrToDateDef(DateTimeToStr(kSample), 1), 1);
}

}  // namespace
