#include "ui/foundation/date_utils.h"

#include <gtest/gtest.h>

#include "platform/win/kernel/kernel_calendar.h"
#include "tests/ui/foundation/date_utils_fixture.h"

namespace {

using rtl::testing::TDateTestLocale;

// ---- Typed text --------------------------------------------------------------------

using TextToDate = DateUtilsTest;

TEST_F(TextToDate, WordsWithOffsetsAgainstAFixedToday) {
  const TDateTime today = Today();  // a Wednesday
  const struct {
    const char* Text;
    TDateTime Date;
  } cases[] = {
      {"today", today},
      {"today +3", today + 3},
      {"TODAY + 3", today + 3},
      {"today+ 3", today + 3},
      {"  Today -  10 ", today - 10},
      {"yesterday", today - 1},
      {"tomorrow+1", today + 2},
      {"eom - 1", EncodeDate(2024, 5, 30)},
      {"eom", EncodeDate(2024, 5, 31)},
      {"bom", EncodeDate(2024, 5, 1)},
      {"Wednesday", today},
      {"thursday", today + 1},
      {"Tuesday", today + 6},
      // Both six letters: "Sunday" sorts before "second", and each is
      // matched on its own.
      {"Sunday", EncodeDate(2024, 5, 19)},
      {"second", EncodeDate(2024, 5, 13)},
      {"first", EncodeDate(2024, 5, 12)},
      {"seventh", EncodeDate(2024, 5, 18)},
      {"now", FixedNow()},
      {"now + 1", FixedNow() + 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(cxTextToDate(c.Text, false), c.Date);
    TDateTime date = 0;
    EXPECT_TRUE(cxTextToDateByWords(c.Text, date));
    EXPECT_EQ(date, c.Date);
  }
}

TEST_F(TextToDate, WordsAreMatchedAtTheStartOnly) {
  TDateTime date = 0;
  EXPECT_FALSE(cxTextToDateByWords("next sunday", date));
  EXPECT_FALSE(cxTextToDateByWords("today x", date));
  EXPECT_FALSE(cxTextToDateByWords("today +", date));
  EXPECT_FALSE(cxTextToDateByWords("today + x", date));
  // Another word after today goes on to the format conversion, which has no
  // date in it either.
  EXPECT_EQ(cxTextToDate("today x", false), cxNullDate);
}

TEST_F(TextToDate, TheExtraHookIsAskedWhenNoWordMatches) {
  cxTextToDateHook = [](const AnsiString& AText, TDateTime& ADate) {
    ADate = 42;
    return AText == "answer";
  };
  TDateTime date = 0;
  EXPECT_TRUE(cxTextToDateByWords("answer", date));
  EXPECT_EQ(date, 42);
  EXPECT_EQ(cxTextToDate("answer", false), 42);
  cxTextToDateHook = nullptr;
}

TEST_F(TextToDate, LocaleDatesAndTimes) {
  EXPECT_EQ(cxTextToDate("5/16/2024", false), EncodeDate(2024, 5, 16));
  EXPECT_EQ(cxTextToDate("5/16/2024 6:00 PM", false), EncodeDate(2024, 5, 16) + 0.75);
  EXPECT_EQ(cxTextToDate("May 16, 2024", false), EncodeDate(2024, 5, 16));
  EXPECT_EQ(cxTextToDate("5/16/2024", true), EncodeDate(2024, 5, 16));
  UseLocale(TDateTestLocale::kDayFirstDots);
  EXPECT_EQ(cxTextToDate("16.05.2024", false), EncodeDate(2024, 5, 16));
  EXPECT_EQ(cxTextToDate("16.05.2024", true), EncodeDate(2024, 5, 16));
  EXPECT_EQ(cxTextToDate("31.02.2001", false), cxNullDate);
}

TEST_F(TextToDate, BadInputGivesTheNullDate) {
  const std::string longText(10000, '7');
  const std::string longWords = "today " + std::string(9994, '+');
  for (const std::string& text : {std::string(""), std::string("   "), std::string("31/02/2001"),
                                  std::string("2/31/2001"), longText, longWords, std::string("\xff\xfe\x80"),
                                  std::string("today\xc3"), std::string("today +"), std::string("today + 99999999"),
                                  std::string("today - 3000000"), std::string("today + 99999999999"),
                                  std::string("0/1/2000"), std::string("\t\n")}) {
    SCOPED_TRACE(text.substr(0, 40));
    EXPECT_EQ(cxTextToDate(text, false), cxNullDate);
    EXPECT_EQ(cxTextToDate(text, true), cxNullDate);
  }
}

TEST_F(TextToDate, APictureReadsItsOwnOrder) {
  TDateTime date = 0;
  EXPECT_TRUE(cxParseDateText("2024-05-16", date, "yyyy-MM-dd"));
  EXPECT_EQ(date, EncodeDate(2024, 5, 16));
  EXPECT_TRUE(cxParseDateText("16|05|2024", date, "dd'|'MM'|'yyyy"));
  EXPECT_EQ(date, EncodeDate(2024, 5, 16));
  EXPECT_FALSE(cxParseDateText("31/02/2001", date, "dd/MM/yyyy"));
  EXPECT_EQ(date, cxNullDate);
  EXPECT_TRUE(cxParseDateText("today", date));
  EXPECT_EQ(date, Today());
}

TEST_F(TextToDate, PreparingBlanksTheSeparatorsAndShrinksBlanks) {
  AnsiString text = "  5/16/2024    6:00  ";
  cxPrepareDateTextForParse(text, true, nullptr, nullptr);
  EXPECT_EQ(text, "5 16 2024 6:00");
  // Reordered for the framework's conversion, the parts are joined by the
  // framework's date separator (a separator item has no text to join with).
  TcxDateTimeFormatInfo yearFirst;
  cxParseFormatPicture("yyyy-MM-dd", &yearFirst);
  text = "2024-05-16";
  cxPrepareDateTextForParse(text, false, &yearFirst, nullptr);
  EXPECT_EQ(text, "05/16/2024");
  EXPECT_EQ(StrToDate(text), EncodeDate(2024, 5, 16));
  EXPECT_EQ(cxDateOrderOfPicture("dd.MM.yyyy"), 1);
  EXPECT_EQ(cxDateOrderOfPicture("yyyy/M/d"), 2);
  EXPECT_EQ(cxDateOrderOfPicture("gg e/M/d"), 2);
  EXPECT_EQ(cxDateOrderOfPicture("M/d/yyyy"), 0);
  EXPECT_EQ(cxDateOrderOfPicture("---"), 0);
  AnsiString blanked = "Day 5 of DAY";
  cxBlankOutText(blanked, "day");
  EXPECT_EQ(blanked, "    5 of    ");
}

// A non-Gregorian thread calendar: the registry owns the table, so a
// holder of it stays valid across conversions (run under the sanitizer).
TEST_F(TextToDate, CalendarTextLeavesTheSharedTableAlive) {
  rtl::testing::InstallCalendarLocale(CAL_HIJRI);
  cxGetFormatController()->RebuildFormats();
  ASSERT_FALSE(cxGetFormatController()->LocaleCalendarIsGregorian);
  const TcxCustomCalendarTable* table = cxCurrentCalendarTable();
  ASSERT_NE(table, nullptr);
  const TDateTime first = cxCalendarTextToDate("9/1/1445");
  const TDateTime second = cxCalendarTextToDate("9/2/1445");
  EXPECT_NE(first, cxNullDate);
  EXPECT_EQ(second, first + 1);
  EXPECT_EQ(table->CalendarKind(), CAL_HIJRI);
  EXPECT_EQ(table->SplitDateTime(first).Month, 9);
  EXPECT_EQ(cxCurrentCalendarTable(), table);
  EXPECT_EQ(cxTextToDate("9/1/1445", false), first);
  EXPECT_EQ(cxTextToDate("9/31/1445", false), cxNullDate);
  EXPECT_EQ(cxTextToDate("today", false), cxNullDate);
}

// ---- Arithmetic ----------------------------------------------------------------------

using DateArithmetic = DateUtilsTest;

TEST_F(DateArithmetic, MonthsAndDays) {
  const struct {
    Integer Year, Month, Count, ToYear, ToMonth;
  } shifts[] = {{2000, 1, -13, 1998, 12}, {2000, 12, 1, 2001, 1}, {2000, 5, 0, 2000, 5},
                {2000, 11, 14, 2002, 1},  {2000, 1, -1, 1999, 12}, {2000, 6, -24, 1998, 6}};
  for (const auto& s : shifts) {
    Integer y = s.Year, m = s.Month;
    cxShiftMonth(y, m, s.Count);
    EXPECT_EQ(y, s.ToYear) << s.Year << "/" << s.Month << " by " << s.Count;
    EXPECT_EQ(m, s.ToMonth) << s.Year << "/" << s.Month << " by " << s.Count;
  }
  Integer y = 2000, m = 1;
  cxStepMonthBack(y, m);
  EXPECT_EQ(y * 100 + m, 199912);
  cxStepMonthForward(y, m);
  EXPECT_EQ(y * 100 + m, 200001);
  EXPECT_EQ(cxClampDay(2001, 2, 31), 28);
  EXPECT_EQ(cxClampDay(2000, 2, 31), 29);
  EXPECT_EQ(cxClampDay(2000, 2, 0), 1);
  EXPECT_EQ(cxClampDay(2000, 4, 30), 30);
  EXPECT_TRUE(cxYearIsLeap(2000));
  EXPECT_FALSE(cxYearIsLeap(1900));
  EXPECT_TRUE(cxYearIsLeap(-4));
  EXPECT_EQ(cxDaysInMonth(2000, 13), 0);
}

TEST_F(DateArithmetic, PartsAndWeeks) {
  const TDateTime d = EncodeDate(2024, 5, 15) + 0.25;
  EXPECT_EQ(cxDatePart(0, d), 2024);
  EXPECT_EQ(cxDatePart(1, d), 5);
  EXPECT_EQ(cxDatePart(7, d), 15);
  EXPECT_EQ(cxDateOnly(d), EncodeDate(2024, 5, 15));
  EXPECT_EQ(cxDateOnly(cxNullDate), cxNullDate);
  EXPECT_EQ(cxTimeOfDay(d), 0.25);
  EXPECT_EQ(cxTimeOfDay(-1.25), 0.25);
  EXPECT_EQ(cxTimeOfDay(cxNullDate), 0);
  EXPECT_EQ(cxWeekdayIndex(d), 3);
  EXPECT_EQ(cxGetFirstDayOfWeek(), 0);
  EXPECT_EQ(cxDayIndexInWeek(d), 3);
  EXPECT_EQ(cxWeekStartOf(d), EncodeDate(2024, 5, 12));
  EXPECT_EQ(cxAddDaysToWeekDay(5, 3), 1);
  EXPECT_EQ(cxAddDaysToWeekDay(2, 14), 2);
  UseLocale(TDateTestLocale::kMondayWeekRule3);
  EXPECT_EQ(cxGetFirstDayOfWeek(), 1);
  EXPECT_EQ(cxLocaleFirstWeekRule(), 3);
  EXPECT_EQ(cxDayIndexInWeek(d), 2);
  EXPECT_EQ(cxWeekStartOf(d), EncodeDate(2024, 5, 13));
  EXPECT_EQ(cxWeekOfYear(0, 3, EncodeDate(2008, 12, 31)), 1);
  EXPECT_EQ(cxWeekOfYear(0, 0, EncodeDate(2008, 12, 31)), 1);
  EXPECT_EQ(cxWeekOfYear(0, 3, EncodeDate(2010, 1, 3)), 53);
  // The ordinal words count from the locale's first day.
  EXPECT_EQ(cxTextToDate("first", false), EncodeDate(2024, 5, 13));
}

// ---- Text of dates --------------------------------------------------------------------

using DateText = DateUtilsTest;

TEST_F(DateText, DisplayTextWithFourDigitYears) {
  auto items = rtl::detail::EnUsLocaleItems();
  for (auto& item : items)
    if (item.first == LOCALE_SSHORTDATE) item.second = "M/d/yy";
  rtl::testing::InstallLocaleTable(LOCALE_EN_US, items);
  cxGetFormatController()->RebuildFormats();
  AnsiString text;
  const TDateTime d = EncodeDate(2024, 5, 6);
  cxDateToDisplayText(false, false, text, d);
  EXPECT_EQ(text, "5/6/24");
  cxDateToDisplayText(true, false, text, d);
  EXPECT_EQ(text, "5/6/2024");
  cxDateToDisplayText(true, false, text, d + 0.75);
  EXPECT_EQ(text, "5/6/2024 6:00:00 PM");
  cxDateToDisplayText(true, false, text, cxNullDate);
  EXPECT_EQ(text, "");
  FormatSettings.ShortDateFormat = "d.M.yyy";
  cxDateToDisplayText(true, true, text, d);
  EXPECT_EQ(text, "6.5.2024");
  FormatSettings.ShortDateFormat = "d.M.yy";
  cxDateToDisplayText(true, true, text, d);
  EXPECT_EQ(text, "6.5.2024");
  cxDateToDisplayText(false, true, text, d);
  EXPECT_EQ(text, "6.5.24");
}

TEST_F(DateText, OwnPictureFormatter) {
  const TDateTime d = EncodeDate(2024, 5, 6);  // a Monday
  const struct {
    const char* Picture;
    const char* Separator;
    const char* Text;
  } cases[] = {
      {"dd/MM/yyyy", "", "06/05/2024"},
      {"d-m-yy", "", "6-05-24"},
      {"dddd, d MMMM yyyy", "", "Monday, 6 May 2024"},
      {"ddd d", "", "Mon 6"},
      {"dd/MM/yyyy", ".", "06.05.2024"},
      {"'on' d 'of' mmmm", "", "6 of May"},
      {"gg e/M/d", "", "05/6"},
      {"yyyyy", "", "24"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Picture);
    AnsiString text;
    cxFormatDatePicture(c.Picture, c.Separator, text, d);
    EXPECT_EQ(text, c.Text);
  }
}

TEST_F(DateText, LocaleFormatting) {
  AnsiString text;
  EXPECT_TRUE(cxFormatDateForLocale(text, 0, "", EncodeDate(2024, 5, 6)));
  EXPECT_EQ(text, "5/6/2024");
  EXPECT_TRUE(cxFormatDateForLocale(text, DATE_LONGDATE, "", EncodeDate(2024, 5, 6)));
  EXPECT_EQ(text, "Monday, May 6, 2024");
  EXPECT_FALSE(cxFormatDateForLocale(text, DATE_LONGDATE, "d", EncodeDate(2024, 5, 6)));
  EXPECT_EQ(text, "");
  cxGetFormatController()->UseFrameworkFormats = true;
  EXPECT_TRUE(cxFormatDateForLocale(text, 0, "", EncodeDate(2024, 5, 6)));
  EXPECT_EQ(text, "Monday, May 6, 2024");
}

TEST_F(DateText, WeekdayCaptionsAreOneCharacter) {
  const char* expected[7] = {"S", "M", "T", "W", "T", "F", "S"};
  for (Integer day = 0; day < 7; ++day) EXPECT_EQ(cxGetWeekDayCaption(day, 0), expected[day]) << day;
  cxGetFormatController()->UseFrameworkFormats = true;
  FormatSettings.ShortDayNames[0] = "Xun";
  EXPECT_EQ(cxGetWeekDayCaption(0, 0), "X");
  cxGetFormatController()->UseFrameworkFormats = false;
  auto items = rtl::detail::EnUsLocaleItems();
  for (auto& item : items)
    if (item.first == LOCALE_SSHORTESTDAYNAME1 + 6 || item.first == LOCALE_SABBREVDAYNAME1 + 6) item.second = "Ñd";
    else if (item.first == LOCALE_SSHORTESTDAYNAME1 || item.first == LOCALE_SABBREVDAYNAME1)
      item.second = "\xd9\x86\xd8\xab";
  rtl::testing::InstallLocaleTable(LOCALE_EN_US, items);
  // A whole character, never a part of one; mirrored text takes its last.
  EXPECT_EQ(cxGetWeekDayCaption(0, 0), "Ñ");
  EXPECT_EQ(cxGetWeekDayCaption(1, 0), "\xd9\x86");
  EXPECT_EQ(cxGetWeekDayCaption(1, 178), "\xd8\xab");
}

TEST_F(DateText, DateWordsExpression) {
  AnsiString expression = "\\d";
  cxDateWordsMaskExpression(expression, false);
  EXPECT_EQ(expression,
            "(\\d)|('today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|'Thursday'|'Friday'|"
            "'Saturday'|'first'|'second'|'third'|'fourth'|'fifth'|'sixth'|'seventh'|'bom'|'eom')"
            "((\\+|-)\\d(\\d(\\d\\d?)?)?)?");
  expression = "";
  cxDateWordsMaskExpression(expression, true);
  EXPECT_NE(expression.find("|'eom'|'now')"), AnsiString::npos);
  EXPECT_EQ(cxMaskExpressionLiteral("ma'r"), "'ma'\\''r'");
  EXPECT_EQ(cxMaskExpressionLiteral("'x''"), "\\''x'\\'\\'");
}

TEST_F(DateText, LocaleSettingsCopy) {
  UseLocale(TDateTestLocale::kDayFirstDots);
  FormatSettings.ListSeparator = '|';
  TFormatSettings s;
  cxLoadLocaleFormatSettings(s);
  EXPECT_EQ(s.DateSeparator, '.');
  EXPECT_EQ(s.ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(s.LongDateFormat, "dddd, d. MMMM yyyy");
  EXPECT_EQ(s.TimeSeparator, ':');
  EXPECT_EQ(s.LongTimeFormat, "HH:mm:ss");
  EXPECT_EQ(s.TimeAMString, "");
  EXPECT_EQ(s.ListSeparator, '|');
  EXPECT_EQ(s.LongMonthNames[0], "");
}

}  // namespace
