// Whole ranges, their ends, bad input and week numbers of the calendar
// tables.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "platform/rtl/sysutils.h"
#include "tests/ui/foundation/calendar_tables_fixture.h"
#include "ui/foundation/calendar_tables.h"

namespace {

// The calendar date that follows D.
TcxCalendarDateTime NextDay(const TcxCustomCalendarTable& T, TcxCalendarDateTime D) {
  if (D.Day < T.MonthLength(D.Year, D.Month)) {
    ++D.Day;
  } else if (D.Month < T.MonthCount(D.Year)) {
    ++D.Month;
    D.Day = 1;
  } else {
    ++D.Year;
    D.Month = D.Day = 1;
  }
  return D;
}

using RoundTrips = CalendarTest;

// Every day splits to the day after the previous one's date and joins back
// to itself.
void WalkEveryDay(const TcxCustomCalendarTable& T, TDateTime AFrom, TDateTime ATo) {
  TcxCalendarDateTime previous = T.SplitDateTime(AFrom - 1);
  Integer failures = 0;
  for (TDateTime day = AFrom; day <= ATo && failures < 5; day += 1) {
    const TcxCalendarDateTime d = T.SplitDateTime(day);
    if (!SameDate(d, NextDay(T, previous)) || T.JoinDateTime(d) != day) {
      ADD_FAILURE() << "day " << day << " splits to " << Show(d) << " after " << Show(previous) << " and joins to "
                    << T.JoinDateTime(d);
      ++failures;
    }
    previous = d;
  }
}

TEST_F(RoundTrips, EveryHijriDay) {
  const auto& hijri = Table(CAL_HIJRI);
  EXPECT_TRUE(SameDate(hijri.SplitDateTime(hijri.EarliestDate()), TcxCalendarDateTime(-1, 1, 1, 1)));
  WalkEveryDay(hijri, hijri.EarliestDate() + 1, std::floor(hijri.LatestDate()));
}

TEST_F(RoundTrips, EveryHebrewDayAndTheLengthOfEveryYear) {
  const auto& hebrew = Table(CAL_HEBREW);
  EXPECT_TRUE(SameDate(hebrew.SplitDateTime(hebrew.EarliestDate()), TcxCalendarDateTime(-1, 5343, 4, 7)));
  WalkEveryDay(hebrew, hebrew.EarliestDate() + 1, std::floor(hebrew.LatestDate()));
  for (Integer year = 5344; year <= 5999; ++year) {
    const TDateTime first = hebrew.JoinDateTime(year, 1, 1);
    const TDateTime last = hebrew.JoinDateTime(year, hebrew.MonthCount(year), 29);
    ASSERT_EQ(last - first + 1, hebrew.YearLength(year)) << year;
  }
}

TEST_F(RoundTrips, EveryJapaneseDayFrom1868To2100) {
  const auto& japanese = Table(CAL_JAPAN);
  Integer failures = 0;
  for (TDateTime day = EncodeDate(1868, 9, 8); day <= EncodeDate(2100, 12, 31) && failures < 5; day += 1) {
    const TcxCalendarDateTime d = japanese.SplitDateTime(day);
    Word y, m, dd;
    DecodeDate(day, y, m, dd);
    const bool eraOk = d.Era >= 0 && japanese.Eras()->Items(d.Era)->StartDate <= day &&
                       (d.Era == 3 || japanese.Eras()->Items(d.Era + 1)->StartDate > day);
    if (!eraOk || d.Year + japanese.Eras()->Items(d.Era)->YearOffset != y || d.Month != m || d.Day != dd ||
        japanese.JoinDateTime(d) != day) {
      ADD_FAILURE() << "day " << day << " splits to " << Show(d);
      ++failures;
    }
  }
}

TEST_F(RoundTrips, TheTimeOfDaysBefore1900) {
  struct TCase {
    CALID Calendar;
    Word Year, Month, Day;
  };
  for (TCase c : {TCase{CAL_JAPAN, 1870, 3, 4}, TCase{CAL_HIJRI, 1850, 6, 7}, TCase{CAL_HEBREW, 1700, 8, 9},
                  TCase{CAL_HIJRI, 1899, 12, 29}, TCase{CAL_HEBREW, 1899, 12, 29}}) {
    SCOPED_TRACE(std::to_string(c.Calendar) + " " + std::to_string(c.Year));
    const auto& table = Table(c.Calendar);
    const TDateTime value = EncodeDateTime(c.Year, c.Month, c.Day, 6, 30, 0, 0);
    const TcxCalendarDateTime d = table.SplitDateTime(value);
    EXPECT_EQ(d.Hours, 6);
    EXPECT_EQ(d.Minutes, 30);
    EXPECT_EQ(table.JoinDateTime(d), value);
    // The time does not move the day.
    const TcxCalendarDateTime midnight = table.SplitDateTime(EncodeDate(c.Year, c.Month, c.Day));
    const TcxCalendarDateTime evening = table.SplitDateTime(EncodeDateTime(c.Year, c.Month, c.Day, 18, 0, 0, 0));
    EXPECT_EQ(midnight.Day, d.Day);
    EXPECT_EQ(evening.Day, d.Day);
    // Shifting by days keeps the time, also across 30 December 1899.
    Word y, m, dd;
    DecodeDate(EncodeDate(c.Year, c.Month, c.Day) + 3, y, m, dd);
    EXPECT_EQ(table.ShiftDays(d, 3), EncodeDateTime(y, m, dd, 6, 30, 0, 0));
  }
  const auto& gregorian = Table(CAL_GREGORIAN);
  EXPECT_EQ(gregorian.ShiftDays(gregorian.SplitDateTime(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0)), 2),
            EncodeDateTime(1899, 12, 31, 6, 0, 0, 0));
  EXPECT_EQ(gregorian.WeekStart(EncodeDateTime(1899, 12, 31, 6, 0, 0, 0), 6), EncodeDateTime(1899, 12, 30, 6, 0, 0, 0));
}

// ---- The ends of every calendar ---------------------------------------------------

class RangeEnds : public CalendarTest, public ::testing::WithParamInterface<CALID> {};

TEST_P(RangeEnds, ShiftingOutwardGivesTheLimitsAndInwardStaysInRange) {
  const auto& t = Table(GetParam());
  const TDateTime earliest = t.EarliestDate(), latest = t.LatestDate(), lastDay = std::floor(latest);
  const TcxCalendarDateTime first = t.SplitDateTime(earliest), last = t.SplitDateTime(lastDay);
  ASSERT_TRUE(t.DayInRange(first.Era, first.Year, first.Month, first.Day)) << Show(first);
  ASSERT_TRUE(t.DayInRange(last.Era, last.Year, last.Month, last.Day)) << Show(last);
  EXPECT_EQ(t.JoinDateTime(first), earliest);
  EXPECT_EQ(t.JoinDateTime(last), lastDay);

  EXPECT_EQ(t.ShiftDays(first, -1), earliest);
  EXPECT_EQ(t.ShiftWeeks(first, -1), earliest);
  EXPECT_EQ(t.ShiftMonths(first, -1), earliest);
  EXPECT_EQ(t.ShiftYears(first, -1), earliest);
  EXPECT_EQ(t.ShiftDays(last, 1), latest);
  EXPECT_EQ(t.ShiftWeeks(last, 1), latest);
  EXPECT_EQ(t.ShiftMonths(last, 1), earliest);
  EXPECT_EQ(t.ShiftYears(last, 1), earliest);

  EXPECT_EQ(t.ShiftDays(first, 1), earliest + 1);
  EXPECT_EQ(t.ShiftDays(last, -1), lastDay - 1);
  for (TDateTime inward : {t.ShiftMonths(first, 1), t.ShiftYears(first, 1)}) {
    EXPECT_GT(inward, earliest);
    EXPECT_TRUE(t.DateInRange(inward));
  }
  EXPECT_EQ(t.ShiftMonths(t.ShiftMonths(first, 1), -1), earliest);
  EXPECT_EQ(t.ShiftYears(t.ShiftYears(first, 1), -1), earliest);
  for (TDateTime inward : {t.ShiftMonths(last, -1), t.ShiftYears(last, -1)}) {
    EXPECT_LT(inward, lastDay);
    EXPECT_GT(inward, earliest);
    EXPECT_TRUE(t.DateInRange(inward));
  }
  EXPECT_FALSE(t.DateInRange(earliest - 1));
  EXPECT_FALSE(t.DateInRange(earliest - 400));
}

INSTANTIATE_TEST_SUITE_P(CalendarTables, RangeEnds, ::testing::Range<CALID>(1, 13));

class BadInput : public CalendarTest, public ::testing::WithParamInterface<CALID> {};

TEST_P(BadInput, MonthsThatDoNotExistAreOutOfRange) {
  const auto& t = Table(GetParam());
  const TcxCalendarDateTime mid = t.SplitDateTime(EncodeDate(2000, 6, 15));
  for (Integer month : {0, 14, -1, INT_MAX, INT_MIN}) {
    SCOPED_TRACE(month);
    EXPECT_FALSE(t.MonthInRange(mid.Era, mid.Year, month));
    EXPECT_FALSE(t.DayInRange(mid.Era, mid.Year, month, 1));
    EXPECT_EQ(t.MonthLength(mid.Era, mid.Year, month), 0);
    EXPECT_FALSE(t.LeapMonthTest(mid.Era, mid.Year, month));
    EXPECT_FALSE(t.LeapDayTest(mid.Era, mid.Year, month, 1));
    const TcxCalendarDateTime bad(mid.Era, mid.Year, month, 1);
    EXPECT_EQ(t.ShiftMonths(bad, 1), t.EarliestDate());
    EXPECT_EQ(t.ShiftYears(bad, 1), t.EarliestDate());
    // The Gregorian tables hand the date to the framework's encoder.
    if (cxCalendarIsGregorian(&t)) {
      EXPECT_THROW(t.JoinDateTime(bad), EConvertError);
    } else {
      EXPECT_EQ(t.JoinDateTime(bad), t.EarliestDate());
    }
  }
  // The sum of the month lengths ends at the calendar's last month.
  TcxCalendarDateTime huge = mid;
  huge.Month = INT_MAX;
  huge.Day = 1;
  EXPECT_EQ(t.DayNumberInYear(huge), t.YearLength(mid.Era, mid.Year) + 1);
}

TEST_P(BadInput, CountsBeyondAnyRangeGiveTheLimits) {
  const auto& t = Table(GetParam());
  const TcxCalendarDateTime mid = t.SplitDateTime(EncodeDate(2000, 6, 15));
  EXPECT_EQ(t.ShiftMonths(mid, INT_MAX), t.EarliestDate());
  EXPECT_EQ(t.ShiftMonths(mid, INT_MIN), t.EarliestDate());
  EXPECT_EQ(t.ShiftYears(mid, INT_MAX), t.EarliestDate());
  EXPECT_EQ(t.ShiftYears(mid, INT_MIN), t.EarliestDate());
  EXPECT_EQ(t.ShiftDays(mid, INT_MAX), t.LatestDate());
  EXPECT_EQ(t.ShiftDays(mid, INT_MIN), t.EarliestDate());
  EXPECT_EQ(t.ShiftWeeks(mid, INT_MAX), t.LatestDate());
  EXPECT_EQ(t.ShiftWeeks(mid, INT_MIN), t.EarliestDate());
  // Values that are no date are out of range; the Hijri and Hebrew tables
  // split them as the nearer limit.
  for (TDateTime value : {1e12, -1e12, std::nan("")}) {
    SCOPED_TRACE(value);
    EXPECT_FALSE(t.DateInRange(value));
    if (t.CalendarKind() == CAL_HIJRI || t.CalendarKind() == CAL_HEBREW) {
      EXPECT_TRUE(SameDate(t.SplitDateTime(value), t.SplitDateTime(value > 0 ? t.LatestDate() : t.EarliestDate())));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(CalendarTables, BadInput, ::testing::Range<CALID>(1, 9));

using OutOfRange = CalendarTest;

TEST_F(OutOfRange, DatesBeyondTheTablesSplitAsTheirLimits) {
  const auto& hijri = Table(CAL_HIJRI);
  const auto& hebrew = Table(CAL_HEBREW);
  EXPECT_TRUE(SameDate(hijri.SplitDateTime(EncodeDate(100, 1, 1)), TcxCalendarDateTime(-1, 1, 1, 1)));
  EXPECT_TRUE(SameDate(hijri.SplitDateTime(std::nan("")), TcxCalendarDateTime(-1, 1, 1, 1)));
  EXPECT_TRUE(SameDate(hebrew.SplitDateTime(EncodeDate(1500, 1, 1)), TcxCalendarDateTime(-1, 5343, 4, 7)));
  EXPECT_EQ(hebrew.SplitDateTime(EncodeDate(2500, 1, 1)).Year, 5999);
  // The Gregorian tables give the framework's zeros; the Japanese one a
  // year no era holds.
  EXPECT_FALSE(Table(CAL_GREGORIAN).DateInRange(1e12));
  EXPECT_FALSE(Table(CAL_JAPAN).DateInRange(EncodeDate(1800, 1, 1)));
  // An era shift that leaves every era behind is out of range, not a date
  // of the default era.
  const auto& japanese = Table(CAL_JAPAN);
  EXPECT_EQ(japanese.ShiftMonths(TcxCalendarDateTime(0, 1, 9, 8), -1), japanese.EarliestDate());
  EXPECT_FALSE(japanese.DayInRange(0, 1, 8, 8));
  // Years a Word cannot hold are not taken modulo 65536.
  EXPECT_THROW(Table(CAL_GREGORIAN).JoinDateTime(TcxCalendarDateTime(-1, 65536 + 2000, 1, 1)), EConvertError);
  EXPECT_THROW(Table(CAL_GREGORIAN).SplitDateTime(2000, 14, 1), EConvertError);
}

// ---- Week numbers ---------------------------------------------------------------

struct TWeekCase {
  const char* FirstDay;  // LOCALE_IFIRSTDAYOFWEEK: "0" Monday, "6" Sunday
  Integer Rule;
  Integer Week;
};

class WeekNumbers : public CalendarTest, public ::testing::WithParamInterface<TWeekCase> {};

TEST_P(WeekNumbers, OfTheLastDayOf2008) {
  const TWeekCase& c = GetParam();
  rtl::testing::InstallLocaleTable(0x0409, {{LOCALE_IFIRSTDAYOFWEEK, c.FirstDay}, {LOCALE_IFIRSTWEEKOFYEAR, "0"}});
  const TDateTime date = EncodeDate(2008, 12, 31);
  EXPECT_EQ(cxWeekOfYear(0, c.Rule, date), c.Week);
  // The start-of-week argument is not used.
  EXPECT_EQ(cxWeekOfYear(3, c.Rule, date), c.Week);
  EXPECT_EQ(Table(CAL_GREGORIAN).WeekNumberOfDate(date, 5, c.Rule), c.Week);
}

INSTANTIATE_TEST_SUITE_P(CalendarTables, WeekNumbers,
                         ::testing::Values(TWeekCase{"0", 1, 1}, TWeekCase{"0", 2, 52}, TWeekCase{"0", 3, 1},
                                           TWeekCase{"6", 1, 1}, TWeekCase{"6", 2, 52}, TWeekCase{"6", 3, 53}));

using Weeks = CalendarTest;

TEST_F(Weeks, NumbersFollowTheLocale) {
  rtl::testing::InstallLocaleTable(0x0409, {{LOCALE_IFIRSTDAYOFWEEK, "0"}, {LOCALE_IFIRSTWEEKOFYEAR, "2"}});
  EXPECT_EQ(cxWeekOfYear(0, 0, EncodeDate(2008, 12, 31)), 1);
  // Days before week 1 count in the last week of the year before.
  EXPECT_EQ(cxWeekOfYear(0, 3, EncodeDate(2010, 1, 1)), 53);
  EXPECT_EQ(cxWeekOfYear(0, 3, EncodeDate(2010, 1, 4)), 1);
  // No locale items: Monday, the week of 1 January.
  rtl::testing::InstallLocaleTable(0x0409, {});
  EXPECT_EQ(cxWeekOfYear(0, 0, EncodeDate(2008, 12, 28)), 52);
  EXPECT_EQ(cxWeekOfYear(0, 0, EncodeDate(2008, 12, 29)), 1);
}

TEST_F(Weeks, HebrewWeeksAroundTheNewYear) {
  // 1 Tishri 5784 was Saturday 16 September 2023; 5783 began on Monday
  // 26 September 2022. Hebrew weeks start on Sunday.
  struct TCase {
    Integer Rule;
    TcxCalendarDateTime Date;
    Integer Week;
  };
  const TCase cases[] = {
      {1, {-1, 5784, 1, 1}, 1},  {1, {-1, 5783, 12, 29}, 1},  {1, {-1, 5784, 1, 2}, 2},
      {2, {-1, 5784, 1, 1}, 50}, {2, {-1, 5783, 12, 29}, 50}, {2, {-1, 5784, 1, 2}, 1},
      {3, {-1, 5784, 1, 1}, 51}, {3, {-1, 5783, 12, 29}, 51}, {3, {-1, 5784, 1, 2}, 1},
  };
  const auto& hebrew = Table(CAL_HEBREW);
  ASSERT_EQ(hebrew.WeekdayOfDate(TcxCalendarDateTime(-1, 5784, 1, 1)), 6);
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Rule) + " " + Show(c.Date));
    EXPECT_EQ(hebrew.WeekNumberOfDate(c.Date, 0, c.Rule), c.Week);
  }
  // Rule 0 is the locale's: "1" is the first full week.
  rtl::testing::InstallLocaleTable(0x0409, {{LOCALE_IFIRSTWEEKOFYEAR, "1"}});
  EXPECT_EQ(hebrew.WeekNumberOfDate(TcxCalendarDateTime(-1, 5784, 1, 1), 0, 0), 50);
}

TEST_F(Weeks, StartOnTheTablesFirstWeekday) {
  // Hijri weeks start on Saturday, Hebrew ones on Sunday.
  const TDateTime wednesday = EncodeDate(2023, 9, 20);
  EXPECT_EQ(Table(CAL_HIJRI).WeekStart(wednesday), EncodeDate(2023, 9, 16));
  EXPECT_EQ(Table(CAL_HEBREW).WeekStart(wednesday), EncodeDate(2023, 9, 17));
  EXPECT_EQ(Table(CAL_GREGORIAN_ME_FRENCH).WeekStart(wednesday), EncodeDate(2023, 9, 18));
  EXPECT_EQ(Table(CAL_GREGORIAN).WeekStart(wednesday, 3), wednesday);
  EXPECT_EQ(Table(CAL_GREGORIAN).WeekStart(wednesday, 4), EncodeDate(2023, 9, 14));
  EXPECT_EQ(Table(CAL_GREGORIAN).WholeWeeksInYear(2000), 53);  // a leap year from Saturday
  EXPECT_EQ(Table(CAL_GREGORIAN).WholeWeeksInYear(2001), 52);
  EXPECT_EQ(Table(CAL_HEBREW).YearLength(5784), 383);
  EXPECT_EQ(Table(CAL_HEBREW).WholeWeeksInYear(5784), 54);
}

}  // namespace
