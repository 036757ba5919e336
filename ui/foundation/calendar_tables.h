// Calendar tables: conversions between the framework's date-time values and
// the dates of one Windows calendar (Gregorian and its localized variants,
// Japanese, Taiwan, Korean, Thai, Hijri, Hebrew), and the calendar's
// arithmetic. Tables are shared: the registry of the date utilities' unit
// owns them, one per calendar identifier, and callers never free them.
//
// Out-of-range input never reads outside a table: shifting operations and
// the joins of the Japanese family, Hijri and Hebrew answer EarliestDate,
// range tests answer false and lengths 0. The framework's conversion error
// (EConvertError) comes only from its encoders (the Gregorian tables' join,
// the splits of explicit Gregorian values, and any join of an invalid time
// of day) and from StrToInt in the text readers.
#pragma once

#include "platform/rtl/classes.h"
#include "platform/win/kernel/kernel_calendar.h"
#include "ui/foundation/fast_list.h"

// A date of a calendar. Era -1 is the table's default era; the year counts
// within the era; month and day are 1-based.
struct TcxCalendarDate {
  Integer Era = -1;
  Integer Year = 0;
  Integer Month = 0;
  Integer Day = 0;
};

struct TcxCalendarDateTime {
  Integer Era = -1;
  Integer Year = 0;
  Integer Month = 0;
  Integer Day = 0;
  Byte Hours = 0;
  Byte Minutes = 0;
  Byte Seconds = 0;
  Word Milliseconds = 0;

  TcxCalendarDateTime() = default;
  TcxCalendarDateTime(Integer AEra, Integer AYear, Integer AMonth, Integer ADay, Byte AHours = 0, Byte AMinutes = 0,
                      Byte ASeconds = 0, Word AMilliseconds = 0)
      : Era(AEra),
        Year(AYear),
        Month(AMonth),
        Day(ADay),
        Hours(AHours),
        Minutes(AMinutes),
        Seconds(ASeconds),
        Milliseconds(AMilliseconds) {}
  explicit TcxCalendarDateTime(const TcxCalendarDate& ADate)
      : Era(ADate.Era), Year(ADate.Year), Month(ADate.Month), Day(ADate.Day) {}
};

// One era: Gregorian year = era year + YearOffset.
class TcxEra : public TPersistent {
  RTL_CLASS(TcxEra, TPersistent)

 public:
  Integer Era = 0;
  Integer MaxEraYear = 0;
  Integer MinEraYear = 0;
  TDateTime StartDate = 0;
  Integer YearOffset = 0;

  TcxEra() = default;
  TcxEra(Integer AEra, TDateTime AStartDate, Integer AYearOffset, Integer AMinEraYear, Integer AMaxEraYear);
  // From another era: all five fields.
  void Assign(TPersistent* Source) override;
};

// The eras of a table in ascending start date; owns them.
class TcxEras : public TdxFastObjectList {
  RTL_CLASS(TcxEras, TdxFastObjectList)

 public:
  TcxEras() : TdxFastObjectList(true) {}
  TcxEra* Items(Integer Index) const { return static_cast<TcxEra*>(TdxFastObjectList::Items(Index)); }
  TcxEra* operator[](Integer Index) const { return Items(Index); }
};

// The base of every calendar table. The virtual operations stand in the
// order the library's tables have always had them. Date is a framework
// date-time value; an Era argument of -1 means the default era.
class TcxCustomCalendarTable : public TObject {
  RTL_CLASS(TcxCustomCalendarTable, TObject)
  TcxEras* FEras;

 protected:
  // The era's year offset added to Year: -1 the default era, an index of
  // the list that era, any other value nothing.
  Integer YearToGregorian(Integer AYear, Integer AEra) const;

 public:
  virtual void AdjustYearEra(Integer& AYear, Integer& AEra) const;
  // Year becomes the year of the era that holds the Gregorian date (Year
  // through Era, Month, Day), Era that era's index; without such an era
  // Era is -1 and Year is counted in the default era.
  virtual void AdjustYearEra(Integer& AYear, Integer& AEra, Integer AMonth, Integer ADay) const;
  virtual Integer CalendarAlgorithm() const = 0;
  virtual CALID CalendarKind() const = 0;
  virtual TcxEra* DefaultEraOf() const = 0;
  virtual TDateTime LatestDate() const = 0;
  virtual TDateTime EarliestDate() const = 0;
  virtual void ClampToRange(TDateTime& ADate) const;
  virtual Integer LatestYear() const = 0;
  virtual Integer EarliestYear() const = 0;
  // Creates the eras list and adds the table to the registry.
  TcxCustomCalendarTable();
  virtual TDateTime ShiftDays(const TcxCalendarDateTime& ADate, Integer ACount) const;
  virtual TDateTime ShiftMonths(TDateTime ADate, Integer ACount) const;
  virtual TDateTime ShiftMonths(const TcxCalendarDateTime& ADate, Integer ACount) const;
  virtual TDateTime ShiftYears(TDateTime ADate, Integer ACount) const;
  virtual TDateTime ShiftYears(const TcxCalendarDateTime& ADate, Integer ACount) const;
  virtual TDateTime ShiftWeeks(TDateTime ADate, Integer ACount) const;
  virtual TDateTime ShiftWeeks(const TcxCalendarDateTime& ADate, Integer ACount) const;
  virtual TcxCalendarDateTime SplitDateTime(TDateTime ADate) const = 0;
  // Of a Gregorian date (the framework's conversion error for an invalid
  // one).
  virtual TcxCalendarDateTime SplitDateTime(Integer AYear, Integer AMonth, Integer ADay) const;
  virtual TcxCalendarDateTime SplitDateTime(Integer AYear, Integer AMonth, Integer ADay, Integer AHours,
                                            Integer AMinutes, Integer ASeconds, Integer AMilliseconds) const;
  virtual Integer DayNumberInYear(TDateTime ADate) const;
  virtual Integer DayNumberInYear(const TcxCalendarDateTime& ADate) const;
  virtual Integer MonthLength(Integer AYear, Integer AMonth) const;
  virtual Integer MonthLength(Integer AEra, Integer AYear, Integer AMonth) const = 0;
  virtual Integer YearLength(Integer AYear) const;
  virtual Integer YearLength(Integer AEra, Integer AYear) const = 0;
  virtual Integer EraIndexOf(Integer AYear) const;
  // The last era that has started on the Gregorian date; -1 for none.
  virtual Integer EraIndexOf(Integer AYear, Integer AMonth, Integer ADay) const;
  virtual TDateTime WeekStart(TDateTime ADate) const;
  // StartDay 0 is Sunday; the time of day stays.
  virtual TDateTime WeekStart(TDateTime ADate, Byte AStartDay) const;
  virtual TcxCalendarDateTime WeekStart(const TcxCalendarDateTime& ADate) const;
  virtual TcxCalendarDateTime WeekStart(const TcxCalendarDateTime& ADate, Byte AStartDay) const;
  virtual TDateTime MonthStart(TDateTime ADate) const;
  virtual TcxCalendarDateTime MonthStart(const TcxCalendarDateTime& ADate) const;
  virtual TDateTime YearStart(TDateTime ADate) const;
  virtual TcxCalendarDateTime YearStart(const TcxCalendarDateTime& ADate) const;
  // 0 Sunday ... 6 Saturday.
  virtual Byte FirstWeekdayIndex() const = 0;
  virtual Integer WholeWeeksInYear(Integer AYear) const = 0;
  virtual TDateTime MonthEnd(TDateTime ADate) const;
  virtual TcxCalendarDateTime MonthEnd(const TcxCalendarDateTime& ADate) const;
  virtual TDateTime YearEnd(TDateTime ADate) const;
  virtual TcxCalendarDateTime YearEnd(const TcxCalendarDateTime& ADate) const;
  virtual Integer MonthCount(Integer AYear) const;
  virtual Integer MonthCount(Integer AEra, Integer AYear) const = 0;
  virtual Integer YearOfDate(TDateTime ADate) const;
  virtual Integer YearOfDate(const TcxCalendarDate& ADate) const;
  virtual Integer YearOfDate(const TcxCalendarDateTime& ADate) const;
  // 0 Sunday ... 6 Saturday.
  virtual Byte WeekdayOfDate(TDateTime ADate) const;
  virtual Byte WeekdayOfDate(const TcxCalendarDateTime& ADate) const;
  // Rule 0 the locale's, 1 the week of the first day, 2 the first full
  // week, 3 the first week of four days. StartOfWeek is not used: weeks
  // start on the locale's first day (Gregorian family) or the table's.
  virtual Integer WeekNumberOfDate(TDateTime ADate, Byte AStartOfWeek, Integer AFirstWeekRule) const;
  virtual Integer WeekNumberOfDate(const TcxCalendarDateTime& ADate, Byte AStartOfWeek,
                                   Integer AFirstWeekRule) const = 0;
  virtual bool LeapDayTest(Integer AYear, Integer AMonth, Integer ADay) const;
  virtual bool LeapDayTest(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const = 0;
  virtual bool LeapMonthTest(Integer AYear, Integer AMonth) const;
  virtual bool LeapMonthTest(Integer AEra, Integer AYear, Integer AMonth) const = 0;
  virtual bool LeapYearTest(Integer AYear) const;
  virtual bool LeapYearTest(Integer AEra, Integer AYear) const = 0;
  virtual bool YearInRange(Integer AYear) const;
  virtual bool YearInRange(Integer AEra, Integer AYear) const;
  virtual bool MonthInRange(Integer AYear, Integer AMonth) const;
  virtual bool MonthInRange(Integer AEra, Integer AYear, Integer AMonth) const;
  virtual bool DayInRange(Integer AYear, Integer AMonth, Integer ADay) const;
  virtual bool DayInRange(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const;
  // False outside EarliestDate .. LatestDate.
  virtual bool DateInRange(TDateTime ADate) const;
  virtual TDateTime JoinDateTime(const TcxCalendarDate& ADate) const;
  virtual TDateTime JoinDateTime(Integer AYear, Integer AMonth, Integer ADay) const;
  virtual TDateTime JoinDateTime(Integer AYear, Integer AMonth, Integer ADay, Integer AHours, Integer AMinutes,
                                 Integer ASeconds, Integer AMilliseconds) const;
  virtual TDateTime JoinDateTime(const TcxCalendarDateTime& ADate) const = 0;
  // StrToInt of the text.
  virtual Integer DayFromText(const AnsiString& AText) const;
  // The first month whose current long or short name equals the text
  // ignoring case; else StrToInt of the text.
  virtual Integer MonthFromText(Integer AYear, const AnsiString& AText) const;
  // StrToInt of the text; one or two characters fall into the calendar's
  // two-digit year window (GetCalendarInfoA, CAL_ITWODIGITYEARMAX).
  virtual Integer YearFromText(const AnsiString& AText) const;

  // Removes the table from the registry and frees its eras.
  ~TcxCustomCalendarTable() override;

  TcxEras* Eras() const { return FEras; }
};

using TcxCustomCalendarTableClass = TClass;

// Gregorian dates: 1 January 100 to 31 December 9999 23:59:59.999. Eras
// are ignored: the default era has offset 0.
class TcxGregorianCalendarTable : public TcxCustomCalendarTable {
  RTL_CLASS(TcxGregorianCalendarTable, TcxCustomCalendarTable)
  TcxEra* FDefaultEra;

 public:
  using TcxCustomCalendarTable::JoinDateTime;
  using TcxCustomCalendarTable::LeapDayTest;
  using TcxCustomCalendarTable::LeapMonthTest;
  using TcxCustomCalendarTable::LeapYearTest;
  using TcxCustomCalendarTable::MonthCount;
  using TcxCustomCalendarTable::MonthLength;
  using TcxCustomCalendarTable::SplitDateTime;
  using TcxCustomCalendarTable::WeekNumberOfDate;
  using TcxCustomCalendarTable::YearLength;

  TcxGregorianCalendarTable();
  ~TcxGregorianCalendarTable() override;

  Integer CalendarAlgorithm() const override { return 1; }
  CALID CalendarKind() const override { return CAL_GREGORIAN; }
  TcxEra* DefaultEraOf() const override { return FDefaultEra; }
  TDateTime LatestDate() const override;
  TDateTime EarliestDate() const override;
  Integer LatestYear() const override { return 9999; }
  Integer EarliestYear() const override { return 100; }
  // The framework's DecodeDateTime; the era is -1.
  TcxCalendarDateTime SplitDateTime(TDateTime ADate) const override;
  // February 29 in leap years, else 28; April, June, September and November
  // 30; the other months 31; 0 for a month outside 1..12.
  Integer MonthLength(Integer AEra, Integer AYear, Integer AMonth) const override;
  Integer YearLength(Integer AEra, Integer AYear) const override;
  Byte FirstWeekdayIndex() const override { return 0; }
  Integer WholeWeeksInYear(Integer AYear) const override;
  Integer MonthCount(Integer, Integer) const override { return 12; }
  // The library's week of the year (cxWeekOfYear) of the joined date.
  Integer WeekNumberOfDate(const TcxCalendarDateTime& ADate, Byte AStartOfWeek, Integer AFirstWeekRule) const override;
  bool LeapDayTest(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const override;
  bool LeapMonthTest(Integer AEra, Integer AYear, Integer AMonth) const override;
  bool LeapYearTest(Integer AEra, Integer AYear) const override;
  // The framework's EncodeDateTime (its conversion error for an invalid
  // date or time).
  TDateTime JoinDateTime(const TcxCalendarDateTime& ADate) const override;
};

class TcxGregorianUSEnglishCalendarTable : public TcxGregorianCalendarTable {
  RTL_CLASS(TcxGregorianUSEnglishCalendarTable, TcxGregorianCalendarTable)

 public:
  CALID CalendarKind() const override { return CAL_GREGORIAN_US; }
};

class TcxGregorianMiddleEastFrenchCalendarTable : public TcxGregorianCalendarTable {
  RTL_CLASS(TcxGregorianMiddleEastFrenchCalendarTable, TcxGregorianCalendarTable)

 public:
  CALID CalendarKind() const override { return CAL_GREGORIAN_ME_FRENCH; }
  Byte FirstWeekdayIndex() const override { return 1; }
};

class TcxGregorianArabicCalendarTable : public TcxGregorianCalendarTable {
  RTL_CLASS(TcxGregorianArabicCalendarTable, TcxGregorianCalendarTable)

 public:
  CALID CalendarKind() const override { return CAL_GREGORIAN_ARABIC; }
  Byte FirstWeekdayIndex() const override { return 6; }
};

class TcxGregorianTransliteratedEnglishCalendarTable : public TcxGregorianCalendarTable {
  RTL_CLASS(TcxGregorianTransliteratedEnglishCalendarTable, TcxGregorianCalendarTable)

 public:
  CALID CalendarKind() const override { return CAL_GREGORIAN_XLIT_ENGLISH; }
  Byte FirstWeekdayIndex() const override { return 1; }
};

class TcxGregorianTransliteratedFrenchCalendarTable : public TcxGregorianCalendarTable {
  RTL_CLASS(TcxGregorianTransliteratedFrenchCalendarTable, TcxGregorianCalendarTable)

 public:
  CALID CalendarKind() const override { return CAL_GREGORIAN_XLIT_FRENCH; }
  Byte FirstWeekdayIndex() const override { return 1; }
};

// Gregorian dates counted in eras: (1, 8 September 1868, 1867, 1, 45),
// (2, 30 July 1912, 1911, 1, 15), (3, 25 December 1926, 1925, 1, 64),
// (4, 8 January 1989, 1988, 1, 8011). In this family the default era is
// the last, the dates run from the first era's start to 31 December 9999
// and the years are the default era's; a date whose Gregorian day lies
// outside the dates is not in range.
class TcxJapaneseCalendarTable : public TcxGregorianCalendarTable {
  RTL_CLASS(TcxJapaneseCalendarTable, TcxGregorianCalendarTable)

 protected:
  struct TNoEras {};
  // For the tables of one era of their own.
  explicit TcxJapaneseCalendarTable(TNoEras) {}
  void AddEra(Integer AEra, TDateTime AStartDate, Integer AYearOffset, Integer AMinEraYear, Integer AMaxEraYear);

 public:
  using TcxGregorianCalendarTable::DayInRange;
  using TcxGregorianCalendarTable::JoinDateTime;
  using TcxGregorianCalendarTable::SplitDateTime;

  TcxJapaneseCalendarTable();

  CALID CalendarKind() const override { return CAL_JAPAN; }
  TcxEra* DefaultEraOf() const override;
  TDateTime EarliestDate() const override;
  Integer LatestYear() const override;
  Integer EarliestYear() const override;
  // Era: the era of the Gregorian date; Year counted in it.
  TcxCalendarDateTime SplitDateTime(TDateTime ADate) const override;
  bool DayInRange(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const override;
  // EarliestDate for a date not in range.
  TDateTime JoinDateTime(const TcxCalendarDateTime& ADate) const override;
};

// One era (1, 1 January 1912, offset 1911, years 1 to 8088).
class TcxTaiwanCalendarTable : public TcxJapaneseCalendarTable {
  RTL_CLASS(TcxTaiwanCalendarTable, TcxJapaneseCalendarTable)

 public:
  TcxTaiwanCalendarTable();
  CALID CalendarKind() const override { return CAL_TAIWAN; }
};

// One era (0, 1 January 1, offset -2333, years 2334 to 12332).
class TcxKoreanCalendarTable : public TcxJapaneseCalendarTable {
  RTL_CLASS(TcxKoreanCalendarTable, TcxJapaneseCalendarTable)

 public:
  TcxKoreanCalendarTable();
  CALID CalendarKind() const override { return CAL_KOREA; }
};

// One era (0, 1 January 1, offset -543, years 544 to 10542).
class TcxThaiCalendarTable : public TcxJapaneseCalendarTable {
  RTL_CLASS(TcxThaiCalendarTable, TcxJapaneseCalendarTable)

 public:
  TcxThaiCalendarTable();
  CALID CalendarKind() const override { return CAL_THAI; }
};

// The tabular Hijri calendar: years of 354 days, 355 in the years 2, 5, 7,
// 10, 13, 15, 18, 21, 24, 26 and 29 of each 30. Dates from 1 Muharram 1
// to the framework's last day (9666/4/3).
class TcxHijriCalendarTable : public TcxCustomCalendarTable {
  RTL_CLASS(TcxHijriCalendarTable, TcxCustomCalendarTable)
  TcxEra* FDefaultEra;

 public:
  using TcxCustomCalendarTable::DayInRange;
  using TcxCustomCalendarTable::JoinDateTime;
  using TcxCustomCalendarTable::LeapDayTest;
  using TcxCustomCalendarTable::LeapMonthTest;
  using TcxCustomCalendarTable::LeapYearTest;
  using TcxCustomCalendarTable::MonthCount;
  using TcxCustomCalendarTable::MonthFromText;
  using TcxCustomCalendarTable::MonthLength;
  using TcxCustomCalendarTable::SplitDateTime;
  using TcxCustomCalendarTable::WeekNumberOfDate;
  using TcxCustomCalendarTable::YearLength;

  TcxHijriCalendarTable();
  ~TcxHijriCalendarTable() override;

  Integer CalendarAlgorithm() const override { return 2; }
  CALID CalendarKind() const override { return CAL_HIJRI; }
  TcxEra* DefaultEraOf() const override { return FDefaultEra; }
  TDateTime LatestDate() const override;
  TDateTime EarliestDate() const override;
  Integer LatestYear() const override { return 9666; }
  Integer EarliestYear() const override { return 1; }
  // Dates outside the supported ones are taken at the nearer limit.
  TcxCalendarDateTime SplitDateTime(TDateTime ADate) const override;
  // 30 for the leap month (12 of a leap year), else 29 for the even months
  // and 30 for the odd ones; 0 for a month outside 1..12.
  Integer MonthLength(Integer AEra, Integer AYear, Integer AMonth) const override;
  Integer YearLength(Integer AEra, Integer AYear) const override;
  Byte FirstWeekdayIndex() const override { return 6; }
  Integer WholeWeeksInYear(Integer) const override { return 50; }
  Integer MonthCount(Integer, Integer) const override { return 12; }
  Integer WeekNumberOfDate(const TcxCalendarDateTime& ADate, Byte AStartOfWeek, Integer AFirstWeekRule) const override;
  bool LeapDayTest(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const override;
  bool LeapMonthTest(Integer AEra, Integer AYear, Integer AMonth) const override;
  bool LeapYearTest(Integer AEra, Integer AYear) const override;
  // Not after the framework's last day.
  bool DayInRange(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const override;
  // EarliestDate for a date not in range.
  TDateTime JoinDateTime(const TcxCalendarDateTime& ADate) const override;
  // The first month whose calendar month name (cxCalendarMonthName) equals
  // the text ignoring case; else the base reading.
  Integer MonthFromText(Integer AYear, const AnsiString& AText) const override;
};

// The Hebrew calendar of the years 5343 to 5999, from a table of the
// Gregorian years 1583 to 2239. Months count from Tishri; in a leap year
// month 6 is Adar I and month 7 (the leap month) Adar II. Dates from
// 1 January 1583 to 29 September 2239 23:59:59.999.
class TcxHebrewCalendarTable : public TcxCustomCalendarTable {
  RTL_CLASS(TcxHebrewCalendarTable, TcxCustomCalendarTable)
  TcxEra* FDefaultEra;

 public:
  using TcxCustomCalendarTable::JoinDateTime;
  using TcxCustomCalendarTable::LeapDayTest;
  using TcxCustomCalendarTable::LeapMonthTest;
  using TcxCustomCalendarTable::LeapYearTest;
  using TcxCustomCalendarTable::MonthCount;
  using TcxCustomCalendarTable::MonthFromText;
  using TcxCustomCalendarTable::MonthLength;
  using TcxCustomCalendarTable::SplitDateTime;
  using TcxCustomCalendarTable::WeekNumberOfDate;
  using TcxCustomCalendarTable::YearLength;

  TcxHebrewCalendarTable();
  ~TcxHebrewCalendarTable() override;

  Integer CalendarAlgorithm() const override { return 3; }
  CALID CalendarKind() const override { return CAL_HEBREW; }
  TcxEra* DefaultEraOf() const override { return FDefaultEra; }
  TDateTime LatestDate() const override;
  TDateTime EarliestDate() const override;
  Integer LatestYear() const override { return 5999; }
  Integer EarliestYear() const override { return 5343; }
  // Dates outside the supported ones are taken at the nearer limit.
  TcxCalendarDateTime SplitDateTime(TDateTime ADate) const override;
  // 0 for a month not in range.
  Integer MonthLength(Integer AEra, Integer AYear, Integer AMonth) const override;
  // 353, 354 or 355 days, 30 more in a leap year; 0 outside 5343..5999.
  Integer YearLength(Integer AEra, Integer AYear) const override;
  Byte FirstWeekdayIndex() const override { return 0; }
  Integer WholeWeeksInYear(Integer AYear) const override;
  // 13 in leap years, else 12.
  Integer MonthCount(Integer AEra, Integer AYear) const override;
  Integer WeekNumberOfDate(const TcxCalendarDateTime& ADate, Byte AStartOfWeek, Integer AFirstWeekRule) const override;
  bool LeapDayTest(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const override;
  bool LeapMonthTest(Integer AEra, Integer AYear, Integer AMonth) const override;
  bool LeapYearTest(Integer AEra, Integer AYear) const override;
  // EarliestDate for a date not in range.
  TDateTime JoinDateTime(const TcxCalendarDateTime& ADate) const override;
  // The letters' value, or the base reading when it is 0.
  Integer DayFromText(const AnsiString& AText) const override;
  // The letters' value when it is a month of the year; else the first
  // month whose calendar month name equals the text ignoring case; else
  // the base reading.
  Integer MonthFromText(Integer AYear, const AnsiString& AText) const override;
  // The letters' value + 5000, or the base reading when it is 0.
  Integer YearFromText(const AnsiString& AText) const override;

  // 1 deficient, 2 regular, 3 complete; 0 outside 5343..5999.
  Integer HebrewYearType(Integer AYear) const;
  // The numeric value of the Hebrew letters of the text (alef 1 ... tav 400,
  // final forms as their letters); other characters count 0.
  static Integer HebrewLettersValue(const AnsiString& AText);
};

// ---- The registry ---------------------------------------------------------

// 2 US English, 3 Japanese, 4 Taiwan, 5 Korean, 6 Hijri, 7 Thai, 8 Hebrew,
// 9 Middle East French, 10 Arabic, 11 transliterated English,
// 12 transliterated French; any other identifier the Gregorian class.
TcxCustomCalendarTableClass cxCalendarTableClassFor(CALID ACalendarID);
// The registered table of the calendar; null when there is none.
TcxCustomCalendarTable* cxFindCalendarTable(CALID ACalendarID);
// The registered table of the calendar, created when missing; an
// identifier without a calendar of its own shares the Gregorian table.
// Null while the date utilities' unit is not started.
TcxCustomCalendarTable* cxCalendarTableFor(CALID ACalendarID);
// The thread locale's LOCALE_ICALENDARTYPE; 1 when the locale has none.
CALID cxThreadCalendarType();
TcxCustomCalendarTable* cxCurrentCalendarTable();
// Whether the calendar of the table (of the thread locale when ATable is
// null) is 1, 2, 9, 10, 11 or 12.
bool cxCalendarIsGregorian(const TcxCustomCalendarTable* ATable = nullptr);

// ---- Helpers the date utilities share with the tables ----------------------

// GetCalendarInfoA of kernel32.dll, looked up by name on every call; 0 when
// it is missing.
int cxCallGetCalendarInfo(LCID ALocale, CALID ACalendar, CALTYPE ACalType, LPSTR ACalData, int ACount, DWORD* AValue);
// The week of the year of the date. Rule 0 the locale's
// (LOCALE_IFIRSTWEEKOFYEAR + 1), 1 the week of 1 January, 2 the first full
// week, 3 the first week of four days; weeks start on the locale's first
// day (LOCALE_IFIRSTDAYOFWEEK). StartOfWeek is not used.
Integer cxWeekOfYear(Byte AStartOfWeek, Integer AFirstWeekRule, TDateTime ADate);
// The long name of the calendar's month (the table of the thread locale
// when ATable is null); empty for a month not in range.
AnsiString cxCalendarMonthName(Integer AYear, Integer AMonth, const TcxCustomCalendarTable* ATable);
// The locale's "MMMM" of the date (GetDateFormatA, by name); without it the
// framework's long name of the table's month of the date, empty for a
// thirteenth month.
AnsiString cxCalendarMonthNameOfDate(const TcxCustomCalendarTable* ATable, TDateTime ADate);

namespace cx_calendar_detail {
// The date utilities' unit: the start-up creates the registry, the
// shut-down frees it with every table still in it.
void StartCalendarTables();
void StopCalendarTables();
}  // namespace cx_calendar_detail
