#include "ui/foundation/calendar_tables.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/rtl/sysutils.h"
#include "tests/ui/foundation/calendar_tables_fixture.h"
#include "ui/foundation/calendar_hebrew_years.h"

namespace {

// ---- The Part's cases, per calendar ----------------------------------------

using JapaneseFamily = CalendarTest;

TEST_F(JapaneseFamily, ErasChangeOnTheirFirstDay) {
  const auto& japanese = Table(CAL_JAPAN);
  TcxCalendarDateTime heisei = japanese.SplitDateTime(EncodeDate(1989, 1, 8));
  EXPECT_EQ(heisei.Era, 3);
  EXPECT_EQ(heisei.Year, 1);
  TcxCalendarDateTime showa = japanese.SplitDateTime(EncodeDate(1989, 1, 7));
  EXPECT_EQ(showa.Era, 2);
  EXPECT_EQ(showa.Year, 64);
  EXPECT_EQ(japanese.JoinDateTime(TcxCalendarDateTime(3, 1, 1, 1)), EncodeDate(1989, 1, 1));
  // Era -1 counts in the default era; an index beyond the list counts
  // Gregorian years.
  EXPECT_EQ(japanese.JoinDateTime(TcxCalendarDateTime(-1, 1, 1, 8)), EncodeDate(1989, 1, 8));
  EXPECT_EQ(japanese.JoinDateTime(TcxCalendarDateTime(4, 1989, 1, 8)), EncodeDate(1989, 1, 8));
  EXPECT_EQ(japanese.JoinDateTime(TcxCalendarDateTime(-7, 1989, 1, 8)), EncodeDate(1989, 1, 8));
}

TEST_F(JapaneseFamily, OneEraCalendarsCountFromTheirOffsets) {
  struct TCase {
    CALID Id;
    Integer Year;
  };
  for (TCase c : {TCase{CAL_KOREA, 4333}, TCase{CAL_THAI, 2543}, TCase{CAL_TAIWAN, 89}}) {
    SCOPED_TRACE(c.Id);
    const auto& table = Table(c.Id);
    TcxCalendarDateTime d = table.SplitDateTime(EncodeDate(2000, 1, 1));
    EXPECT_EQ(d.Era, 0);
    EXPECT_EQ(d.Year, c.Year);
    EXPECT_EQ(table.JoinDateTime(d), EncodeDate(2000, 1, 1));
    EXPECT_EQ(table.DefaultEraOf(), table.Eras()->Items(0));
  }
  EXPECT_EQ(Table(CAL_TAIWAN).EarliestDate(), EncodeDate(1912, 1, 1));
  EXPECT_EQ(Table(CAL_KOREA).EarliestYear(), 2334);
  EXPECT_EQ(Table(CAL_THAI).LatestYear(), 10542);
}

TEST_F(JapaneseFamily, LeapRulesApplyToTheGregorianYearOfTheEraYear) {
  struct TCase {
    CALID Calendar;
    Integer Era, Year;
    bool Leap;
  };
  const TCase cases[] = {
      {CAL_JAPAN, 3, 12, true},      // 2000
      {CAL_JAPAN, -1, 12, true},     // the default era: 2000
      {CAL_JAPAN, 2, 12, false},     // 1937
      {CAL_JAPAN, 0, 33, false},     // 1900
      {CAL_JAPAN, 0, 29, true},      // 1896
      {CAL_THAI, -1, 2543, true},    // 2000
      {CAL_KOREA, -1, 4233, false},  // 1900
      {CAL_TAIWAN, 0, 89, true},     // 2000
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Calendar) + " " + std::to_string(c.Era) + " " + std::to_string(c.Year));
    const auto& table = Table(c.Calendar);
    EXPECT_EQ(table.LeapYearTest(c.Era, c.Year), c.Leap);
    EXPECT_EQ(table.MonthLength(c.Era, c.Year, 2), c.Leap ? 29 : 28);
    EXPECT_EQ(table.YearLength(c.Era, c.Year), c.Leap ? 366 : 365);
  }
}

TEST_F(JapaneseFamily, ShiftingAYearCrossesIntoTheNextEra) {
  const auto& japanese = Table(CAL_JAPAN);
  TDateTime shifted = japanese.ShiftYears(TcxCalendarDateTime(2, 63, 6, 1), 1);
  EXPECT_EQ(shifted, EncodeDate(1989, 6, 1));
  TcxCalendarDateTime d = japanese.SplitDateTime(shifted);
  EXPECT_EQ(d.Era, 3);
  EXPECT_EQ(d.Year, 1);
}

using Hijri = CalendarTest;

TEST_F(Hijri, LeapYearsAreExactlyTheCycleSet) {
  const std::set<Integer> leap = {2, 5, 7, 10, 13, 15, 18, 21, 24, 26, 29};
  const auto& hijri = Table(CAL_HIJRI);
  for (Integer year = 1; year <= 90; ++year) {
    SCOPED_TRACE(year);
    const bool expected = leap.count(year % 30) > 0;
    EXPECT_EQ(hijri.LeapYearTest(year), expected);
    EXPECT_EQ(hijri.YearLength(year), expected ? 355 : 354);
    EXPECT_EQ(hijri.LeapDayTest(year, 12, 30), expected);
  }
  EXPECT_EQ(hijri.MonthLength(1430, 12), 29);
  EXPECT_EQ(hijri.MonthLength(1431, 12), 30);
  EXPECT_FALSE(hijri.LeapMonthTest(1431, 11));
}

TEST_F(Hijri, SupportedDatesRunFromTheEpochToTheFrameworksLastDay) {
  const auto& hijri = Table(CAL_HIJRI);
  // 1 Muharram 1 of the tabular calendar.
  EXPECT_EQ(hijri.EarliestDate(), EncodeDate(622, 7, 18));
  EXPECT_TRUE(SameDate(hijri.SplitDateTime(hijri.EarliestDate()), TcxCalendarDateTime(-1, 1, 1, 1)));
  EXPECT_TRUE(SameDate(hijri.SplitDateTime(hijri.LatestDate()), TcxCalendarDateTime(-1, 9666, 4, 3, 23, 59, 59, 999)));
  // The days after it would lie beyond the framework's dates.
  EXPECT_TRUE(hijri.DayInRange(9666, 4, 3));
  EXPECT_FALSE(hijri.DayInRange(9666, 4, 4));
  EXPECT_EQ(hijri.JoinDateTime(9666, 12, 1), hijri.EarliestDate());
}

using Hebrew = CalendarTest;

TEST_F(Hebrew, TheFirstRowsOfTheYearTable) {
  struct TCase {
    Word Gregorian;
    Integer Year, Month, Day, Type;
    bool Leap;
  };
  const TCase cases[] = {
      {1583, 5343, 4, 7, 3, false},  {1584, 5344, 4, 17, 3, false}, {1585, 5345, 5, 1, 1, true},
      {1586, 5346, 4, 11, 2, false}, {1587, 5347, 4, 21, 3, true},
  };
  const auto& hebrew = Table(CAL_HEBREW);
  auto* table = dynamic_cast<const TcxHebrewCalendarTable*>(&hebrew);
  ASSERT_NE(table, nullptr);
  const int32_t rows[5][2] = {{7, 3}, {17, 3}, {0, 4}, {11, 2}, {21, 6}};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(cx_calendar_detail::HebrewYearTable[i][0], rows[i][0]);
    EXPECT_EQ(cx_calendar_detail::HebrewYearTable[i][1], rows[i][1]);
    const TCase& c = cases[i];
    EXPECT_TRUE(
        SameDate(hebrew.SplitDateTime(EncodeDate(c.Gregorian, 1, 1)), TcxCalendarDateTime(-1, c.Year, c.Month, c.Day)));
    EXPECT_EQ(table->HebrewYearType(c.Year), c.Type);
    EXPECT_EQ(hebrew.LeapYearTest(c.Year), c.Leap);
  }
  EXPECT_EQ(hebrew.YearLength(5344), 355);
  EXPECT_EQ(hebrew.MonthCount(5344), 12);
}

TEST_F(Hebrew, ALeapYearHasThirteenMonthsAndTheSeventhIsTheLeapMonth) {
  const auto& hebrew = Table(CAL_HEBREW);
  EXPECT_EQ(hebrew.MonthCount(5345), 13);
  EXPECT_EQ(hebrew.YearLength(5345), 383);
  for (Integer month = 1; month <= 13; ++month) {
    SCOPED_TRACE(month);
    EXPECT_EQ(hebrew.LeapMonthTest(5345, month), month == 7);
    EXPECT_EQ(hebrew.LeapDayTest(5345, month, 1), month == 7);
    EXPECT_FALSE(hebrew.LeapMonthTest(5344, month));
  }
  EXPECT_FALSE(hebrew.LeapDayTest(5345, 7, 30));  // Adar II has 29 days
  EXPECT_EQ(hebrew.MonthLength(5344, 13), 0);
}

TEST_F(Hebrew, KnownDatesOfOurTime) {
  struct TCase {
    Word Y, M, D;
    Integer Year, Month, Day;
  };
  const TCase cases[] = {
      {2000, 1, 1, 5760, 4, 23},   // 23 Tevet
      {2023, 9, 16, 5784, 1, 1},   // new year
      {2023, 4, 6, 5783, 7, 15},   // 15 Nisan of a common year
      {2024, 4, 23, 5784, 8, 15},  // 15 Nisan of a leap year
      {2024, 3, 11, 5784, 7, 1},   // 1 Adar II
  };
  const auto& hebrew = Table(CAL_HEBREW);
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Y) + "-" + std::to_string(c.M) + "-" + std::to_string(c.D));
    EXPECT_TRUE(
        SameDate(hebrew.SplitDateTime(EncodeDate(c.Y, c.M, c.D)), TcxCalendarDateTime(-1, c.Year, c.Month, c.Day)));
    EXPECT_EQ(hebrew.JoinDateTime(c.Year, c.Month, c.Day), EncodeDate(c.Y, c.M, c.D));
  }
  // The last supported day is the last of 5999.
  TcxCalendarDateTime last = hebrew.SplitDateTime(hebrew.LatestDate());
  EXPECT_EQ(last.Year, 5999);
  EXPECT_EQ(last.Month, hebrew.MonthCount(5999));
  EXPECT_EQ(last.Day, 29);
  EXPECT_EQ(hebrew.JoinDateTime(6000, 1, 1), hebrew.EarliestDate());
}

TEST_F(Hebrew, LettersCountByTheirValues) {
  struct TCase {
    const char* Text;
    Integer Value;
  };
  const TCase cases[] = {
      {"א", 1},   {"י", 10},  {"כ", 20},   {"ך", 20},      {"ם", 40},  {"ף", 80}, {"ץ", 90},       {"ק", 100},
      {"ת", 400}, {"טו", 15}, {"ט״ו", 15}, {"תשס״ח", 768}, {"abc", 0}, {"", 0},   {"\xFF\xFE", 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(TcxHebrewCalendarTable::HebrewLettersValue(c.Text), c.Value);
  }
  const auto& hebrew = Table(CAL_HEBREW);
  EXPECT_EQ(hebrew.YearFromText("תשס״ח"), 5768);
  EXPECT_EQ(hebrew.DayFromText("ט״ו"), 15);
  EXPECT_EQ(hebrew.DayFromText("12"), 12);
  EXPECT_EQ(hebrew.MonthFromText(5784, "יג"), 13);
  // 13 is no month of the common year 5783; the text is then no number.
  EXPECT_THROW(hebrew.MonthFromText(5783, "יג"), EConvertError);
}

using Gregorian = CalendarTest;

TEST_F(Gregorian, LeapDays) {
  const auto& gregorian = Table(CAL_GREGORIAN);
  EXPECT_TRUE(gregorian.LeapDayTest(2000, 2, 29));
  EXPECT_FALSE(gregorian.LeapDayTest(2000, 2, 28));
  EXPECT_FALSE(gregorian.LeapDayTest(1900, 2, 29));
  EXPECT_EQ(gregorian.MonthLength(1900, 2), 28);
  EXPECT_EQ(gregorian.YearLength(2000), 366);
}

TEST_F(Gregorian, VariantsDifferInTheirIdentifierAndFirstWeekday) {
  struct TCase {
    CALID Id;
    const char* ClassName;
    Byte FirstWeekday;
    bool Gregorian;
  };
  const TCase cases[] = {
      {0, "TcxGregorianCalendarTable", 0, true},
      {1, "TcxGregorianCalendarTable", 0, true},
      {2, "TcxGregorianUSEnglishCalendarTable", 0, true},
      {3, "TcxJapaneseCalendarTable", 0, false},
      {4, "TcxTaiwanCalendarTable", 0, false},
      {5, "TcxKoreanCalendarTable", 0, false},
      {6, "TcxHijriCalendarTable", 6, false},
      {7, "TcxThaiCalendarTable", 0, false},
      {8, "TcxHebrewCalendarTable", 0, false},
      {9, "TcxGregorianMiddleEastFrenchCalendarTable", 1, true},
      {10, "TcxGregorianArabicCalendarTable", 6, true},
      {11, "TcxGregorianTransliteratedEnglishCalendarTable", 1, true},
      {12, "TcxGregorianTransliteratedFrenchCalendarTable", 1, true},
      {13, "TcxGregorianCalendarTable", 0, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    EXPECT_STREQ(cxCalendarTableClassFor(c.Id)->Name, c.ClassName);
    const TcxCustomCalendarTable* table = cxCalendarTableFor(c.Id);
    ASSERT_NE(table, nullptr);
    EXPECT_STREQ(table->ClassName().c_str(), c.ClassName);
    EXPECT_EQ(table->FirstWeekdayIndex(), c.FirstWeekday);
    EXPECT_EQ(cxCalendarIsGregorian(table), c.Gregorian);
  }
}

// ---- Arithmetic ---------------------------------------------------------------

struct TShiftCase {
  const char* Name;
  CALID Calendar;
  TcxCalendarDateTime From;
  enum { Months, Years } Kind;
  Integer Count;
  TcxCalendarDateTime To;
};

class Shifting : public CalendarTest, public ::testing::WithParamInterface<TShiftCase> {};

TEST_P(Shifting, KeepsTheDayWhereTheMonthHasIt) {
  const TShiftCase& c = GetParam();
  const auto& table = Table(c.Calendar);
  TDateTime shifted =
      c.Kind == TShiftCase::Months ? table.ShiftMonths(c.From, c.Count) : table.ShiftYears(c.From, c.Count);
  TcxCalendarDateTime got = table.SplitDateTime(shifted);
  EXPECT_TRUE(SameDate(got, c.To)) << Show(got);
}

INSTANTIATE_TEST_SUITE_P(
    CalendarTables, Shifting,
    ::testing::Values(
        TShiftCase{
            "EndOfJanuaryToFebruary", CAL_GREGORIAN, {-1, 2001, 1, 31}, TShiftCase::Months, 1, {-1, 2001, 2, 28}},
        TShiftCase{
            "EndOfJanuaryToLeapFebruary", CAL_GREGORIAN, {-1, 2000, 1, 31}, TShiftCase::Months, 1, {-1, 2000, 2, 29}},
        TShiftCase{"BackFromMarch", CAL_GREGORIAN, {-1, 2001, 3, 31}, TShiftCase::Months, -1, {-1, 2001, 2, 28}},
        TShiftCase{"BackOverAYear", CAL_GREGORIAN, {-1, 2001, 1, 15}, TShiftCase::Months, -13, {-1, 1999, 12, 15}},
        TShiftCase{"TheTimeStays",
                   CAL_GREGORIAN,
                   {-1, 2001, 1, 31, 14, 30, 5, 7},
                   TShiftCase::Months,
                   1,
                   {-1, 2001, 2, 28, 14, 30, 5, 7}},
        TShiftCase{"LeapDayToCommonYear", CAL_GREGORIAN, {-1, 2000, 2, 29}, TShiftCase::Years, 1, {-1, 2001, 2, 28}},
        TShiftCase{"LeapDayToLeapYear", CAL_GREGORIAN, {-1, 2000, 2, 29}, TShiftCase::Years, 4, {-1, 2004, 2, 29}},
        TShiftCase{"HijriLeapDay", CAL_HIJRI, {-1, 1431, 12, 30}, TShiftCase::Years, 1, {-1, 1432, 12, 29}},
        TShiftCase{"HijriOverTheYear", CAL_HIJRI, {-1, 1430, 11, 30}, TShiftCase::Months, 3, {-1, 1431, 2, 29}},
        TShiftCase{"HebrewElulOfALeapYear", CAL_HEBREW, {-1, 5784, 13, 29}, TShiftCase::Months, 1, {-1, 5785, 1, 29}},
        TShiftCase{"HebrewAdarIToAdarII", CAL_HEBREW, {-1, 5784, 6, 30}, TShiftCase::Months, 1, {-1, 5784, 7, 29}},
        TShiftCase{
            "HebrewBackIntoALeapYear", CAL_HEBREW, {-1, 5785, 1, 10}, TShiftCase::Months, -2, {-1, 5784, 12, 10}},
        TShiftCase{"HebrewThirteenthMonthToACommonYear",
                   CAL_HEBREW,
                   {-1, 5784, 13, 10},
                   TShiftCase::Years,
                   1,
                   {-1, 5785, 12, 10}}),
    [](const ::testing::TestParamInfo<TShiftCase>& info) { return std::string(info.param.Name); });

TEST_F(Gregorian, YearTextsFallIntoTheCalendarsWindow) {
  struct TCase {
    CALID Calendar;
    const char* Text;
    Integer Year;
  };
  // The window ends in 2029 for the Gregorian calendars, in 99 for the
  // Japanese one and in 1451 for the Hijri one.
  const TCase cases[] = {
      {CAL_GREGORIAN, "05", 2005}, {CAL_GREGORIAN, "45", 1945}, {CAL_GREGORIAN, "29", 2029},
      {CAL_GREGORIAN, "30", 1930}, {CAL_GREGORIAN, "123", 123}, {CAL_GREGORIAN, "2045", 2045},
      {CAL_JAPAN, "05", 5},        {CAL_HIJRI, "45", 1445},     {CAL_HIJRI, "60", 1360},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(Table(c.Calendar).YearFromText(c.Text), c.Year);
  }
  EXPECT_THROW(Table(CAL_GREGORIAN).YearFromText("ab"), EConvertError);
  EXPECT_THROW(Table(CAL_HEBREW).YearFromText("ab"), EConvertError);
  EXPECT_THROW(Table(CAL_GREGORIAN).DayFromText("x"), EConvertError);
}

TEST_F(Gregorian, MonthTextsByNameOrNumber) {
  const auto& gregorian = Table(CAL_GREGORIAN);
  EXPECT_EQ(gregorian.MonthFromText(2000, "MARCH"), 3);
  EXPECT_EQ(gregorian.MonthFromText(2000, "sep"), 9);
  EXPECT_EQ(gregorian.MonthFromText(2000, "11"), 11);
  EXPECT_THROW(gregorian.MonthFromText(2000, "Marchy"), EConvertError);
  EXPECT_EQ(cxCalendarMonthName(2000, 2, &gregorian), "February");
  EXPECT_EQ(cxCalendarMonthName(2000, 13, &gregorian), "");
  // The name is the locale's "MMMM" of the joined date: Hijri 1 Jumada
  // al-Ula 1430 is 26 April 2009 of the Gregorian locale.
  const auto& hijri = Table(CAL_HIJRI);
  EXPECT_EQ(cxCalendarMonthName(1430, 5, &hijri), "April");
  EXPECT_EQ(hijri.MonthFromText(1430, "april"), 5);
  // Elul 5784 (a leap year's thirteenth month) begins in September 2024;
  // 5785 has no thirteenth month.
  EXPECT_EQ(cxCalendarMonthName(5784, 13, &Table(CAL_HEBREW)), "September");
  EXPECT_EQ(cxCalendarMonthName(5785, 13, &Table(CAL_HEBREW)), "");
}

// ---- The registry -------------------------------------------------------------

using Registry = CalendarTest;

TEST_F(Registry, TheCurrentTableFollowsTheThreadLocale) {
  EXPECT_EQ(cxThreadCalendarType(), CAL_GREGORIAN);
  const TcxCustomCalendarTable* gregorian = cxCurrentCalendarTable();
  EXPECT_EQ(gregorian->CalendarKind(), CAL_GREGORIAN);
  EXPECT_TRUE(cxCalendarIsGregorian());
  rtl::testing::InstallCalendarLocale(CAL_HIJRI);
  EXPECT_EQ(cxThreadCalendarType(), CAL_HIJRI);
  const TcxCustomCalendarTable* hijri = cxCurrentCalendarTable();
  ASSERT_NE(hijri, nullptr);
  EXPECT_EQ(hijri->CalendarKind(), CAL_HIJRI);
  EXPECT_EQ(cxCurrentCalendarTable(), hijri);
  EXPECT_FALSE(cxCalendarIsGregorian());
  EXPECT_EQ(cxFindCalendarTable(CAL_GREGORIAN), gregorian);
}

TEST_F(Registry, IdentifiersWithoutACalendarShareTheGregorianTable) {
  const TcxCustomCalendarTable* gregorian = cxCalendarTableFor(CAL_GREGORIAN);
  for (CALID id : {0u, 13u, 99u, 0xFFFFFFFFu}) EXPECT_EQ(cxCalendarTableFor(id), gregorian) << id;
  EXPECT_EQ(cxFindCalendarTable(99), nullptr);
  // A locale without a calendar type reads as Gregorian.
  rtl::testing::InstallLocaleTable(0x0409, {});
  EXPECT_EQ(cxThreadCalendarType(), CAL_GREGORIAN);
  EXPECT_EQ(cxCurrentCalendarTable(), gregorian);
}

TEST_F(Registry, ATableLeavesTheRegistryWhenFreed) {
  TcxCustomCalendarTable* hebrew = cxCalendarTableFor(CAL_HEBREW);
  delete hebrew;
  EXPECT_EQ(cxFindCalendarTable(CAL_HEBREW), nullptr);
  TcxCustomCalendarTable* again = cxCalendarTableFor(CAL_HEBREW);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->CalendarKind(), CAL_HEBREW);
}

TEST(RegistryLifetime, NoTablesOutsideTheUnitsLifetime) {
  EXPECT_EQ(cxCalendarTableFor(CAL_HIJRI), nullptr);
  cx_calendar_detail::StartCalendarTables();
  for (CALID id = 1; id <= 12; ++id) ASSERT_NE(cxCalendarTableFor(id), nullptr);
  // The shut-down frees every table (the leak checker of the sanitizer
  // build sees any left behind).
  cx_calendar_detail::StopCalendarTables();
  EXPECT_EQ(cxFindCalendarTable(CAL_GREGORIAN), nullptr);
  EXPECT_EQ(cxCurrentCalendarTable(), nullptr);
  EXPECT_TRUE(cxCalendarIsGregorian());
}

TEST(CalendarEras, AssignCopiesEveryField) {
  TcxEra source(4, 32516.0, 1988, 1, 8011), copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.Era, 4);
  EXPECT_EQ(copy.StartDate, 32516.0);
  EXPECT_EQ(copy.YearOffset, 1988);
  EXPECT_EQ(copy.MinEraYear, 1);
  EXPECT_EQ(copy.MaxEraYear, 8011);
  TPersistent other;
  EXPECT_THROW(copy.Assign(&other), EConvertError);
}

}  // namespace
