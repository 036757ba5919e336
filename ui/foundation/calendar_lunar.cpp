// The Hijri and Hebrew calendar tables.
#include <algorithm>
#include <iterator>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/strutils.h"
#include "platform/win/kernel/kernel_codepages.h"
#include "ui/foundation/calendar_hebrew_years.h"
#include "ui/foundation/calendar_internal.h"
#include "ui/foundation/calendar_tables.h"

RTL_IMPLEMENT_CLASS(TcxHijriCalendarTable)
RTL_IMPLEMENT_CLASS(TcxHebrewCalendarTable)

using namespace cx_calendar_detail;

namespace {

constexpr TDateTime kLunarNullDate = -700000.0;

// The first month 1..ACount whose calendar month name equals the text
// ignoring case; 0 for none.
Integer MonthOfName(const TcxCustomCalendarTable* ATable, Integer AYear, Integer ACount, const AnsiString& AText) {
  for (Integer month = 1; month <= ACount; ++month)
    if (AnsiCompareText(cxCalendarMonthName(AYear, month, ATable), AText) == 0) return month;
  return 0;
}

// ---- Hijri ----

// Days of the framework's day 1 January 1 before the first Hijri day, less
// one: day n of the Hijri count is 1 January 1 + n + 227013 - 1.
constexpr Integer kHijriEpoch = 227013;
// Days in 30 Hijri years.
constexpr Integer kHijriCycle = 10631;

bool IsHijriLeap(Integer AYear) {
  static constexpr Integer kLeapYears[] = {2, 5, 7, 10, 13, 15, 18, 21, 24, 26, 29};
  return std::find(std::begin(kLeapYears), std::end(kLeapYears), AYear % 30) != std::end(kLeapYears);
}

// Leap years among 1 .. ACount of a cycle.
Integer HijriLeapsBefore(Integer ACount) {
  Integer result = 0;
  for (Integer i = 1; i <= ACount; ++i) result += IsHijriLeap(i) ? 1 : 0;
  return result;
}

Integer FirstDayNumber() { return DayNumber(EncodeDate(1, 1, 1)); }

// ---- Hebrew ----

constexpr Integer kHebrewFirstYear = 5343;
constexpr Integer kHebrewLastYear = 5999;

// Month lengths by year type 1..6, months from Tishri.
constexpr Integer kHebrewMonthDays[6][13] = {
    {30, 29, 29, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},  {30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},
    {30, 30, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},  {30, 29, 29, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29},
    {30, 29, 30, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29}, {30, 30, 30, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29},
};

// The table row of a Hebrew year; null outside 5343..5999.
const int32_t* HebrewRow(Integer AYear) {
  if (AYear < kHebrewFirstYear || AYear > kHebrewLastYear) return nullptr;
  return HebrewYearTable[AYear - kHebrewFirstYear];
}

// The month and day of 1 January from its code.
void HebrewJanuaryFirst(Integer ACode, Integer& AMonth, Integer& ADay) {
  switch (ACode) {
    case 0: AMonth = 5, ADay = 1; break;
    case 30: AMonth = 3, ADay = 30; break;
    case 31: AMonth = 5, ADay = 2; break;
    case 32: AMonth = 5, ADay = 3; break;
    case 33: AMonth = 3, ADay = 29; break;
    default: AMonth = 4, ADay = ACode; break;
  }
}

// Days from (month 1, day 1) to (month 2, day 2) of one year whose month
// lengths are given; negative when the second lies earlier.
Integer HebrewDaysBetween(const Integer* ALengths, Integer AMonth1, Integer ADay1, Integer AMonth2, Integer ADay2) {
  if (AMonth1 == AMonth2) return ADay2 - ADay1;
  if (AMonth1 > AMonth2) return -HebrewDaysBetween(ALengths, AMonth2, ADay2, AMonth1, ADay1);
  Integer days = ALengths[AMonth1 - 1] - ADay1;
  for (Integer m = AMonth1 + 1; m < AMonth2; ++m) days += ALengths[m - 1];
  return days + ADay2;
}

// The value of a letter of code page 1255 (0xE0 alef ... 0xFA tav).
Integer HebrewLetterValue(Byte ACode) {
  static constexpr Integer kValues[27] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10,  20,  20,  30, 40,
                                          40, 50, 50, 60, 70, 80, 80, 90, 90, 100, 200, 300, 400};
  return ACode >= 0xE0 && ACode <= 0xFA ? kValues[ACode - 0xE0] : 0;
}

}  // namespace

// ---- Hijri --------------------------------------------------------------------

TcxHijriCalendarTable::TcxHijriCalendarTable() : FDefaultEra(new TcxEra(-1, kLunarNullDate, 0, 1, 9999)) {}

TcxHijriCalendarTable::~TcxHijriCalendarTable() { delete FDefaultEra; }

TDateTime TcxHijriCalendarTable::LatestDate() const { return MaxDateTime; }

TDateTime TcxHijriCalendarTable::EarliestDate() const { return static_cast<TDateTime>(FirstDayNumber() + kHijriEpoch); }

TcxCalendarDateTime TcxHijriCalendarTable::SplitDateTime(TDateTime ADate) const {
  ClampToRange(ADate);
  TcxCalendarDateTime result;
  SetTimeOfDate(result, ADate);
  Integer n = DayNumber(ADate) - FirstDayNumber() + 1 - kHijriEpoch;
  Integer year = static_cast<Integer>((Int64(n) * 30) / kHijriCycle) + 1;
  const Integer c = year - 1;
  n -= c * 354 + (c / 30) * 11 + HijriLeapsBefore(c % 30);
  // The estimate of the year may be one too high.
  while (n <= 0) n += YearLength(--year);
  Integer month = 1;
  while (n > MonthLength(year, month)) {
    n -= MonthLength(year, month);
    if (++month > 12) month = 1, ++year;
  }
  result.Year = year;
  result.Month = month;
  result.Day = n;
  return result;
}

Integer TcxHijriCalendarTable::MonthLength(Integer AEra, Integer AYear, Integer AMonth) const {
  if (AMonth < 1 || AMonth > 12) return 0;
  if (LeapMonthTest(AEra, AYear, AMonth)) return 30;
  return AMonth % 2 == 0 ? 29 : 30;
}

Integer TcxHijriCalendarTable::YearLength(Integer AEra, Integer AYear) const {
  return LeapYearTest(AEra, AYear) ? 355 : 354;
}

Integer TcxHijriCalendarTable::WeekNumberOfDate(const TcxCalendarDateTime& ADate, Byte, Integer AFirstWeekRule) const {
  return TableWeekNumber(*this, ADate, AFirstWeekRule);
}

bool TcxHijriCalendarTable::LeapDayTest(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const {
  return LeapMonthTest(AEra, AYear, AMonth) && ADay == 30;
}

bool TcxHijriCalendarTable::LeapMonthTest(Integer AEra, Integer AYear, Integer AMonth) const {
  return LeapYearTest(AEra, AYear) && AMonth == 12;
}

bool TcxHijriCalendarTable::LeapYearTest(Integer, Integer AYear) const { return IsHijriLeap(AYear); }

bool TcxHijriCalendarTable::DayInRange(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const {
  // The framework's last day is 3 Rabi' al-Thani 9666.
  return TcxCustomCalendarTable::DayInRange(AEra, AYear, AMonth, ADay) &&
         (AYear < LatestYear() || AMonth < 4 || (AMonth == 4 && ADay <= 3));
}

TDateTime TcxHijriCalendarTable::JoinDateTime(const TcxCalendarDateTime& ADate) const {
  if (!DayInRange(ADate.Era, ADate.Year, ADate.Month, ADate.Day)) return EarliestDate();
  const Integer y = ADate.Year - 1;
  const Integer days = y * 354 + kHijriEpoch + (y / 30) * 11 + HijriLeapsBefore(y % 30) + DayNumberInYear(ADate);
  return ComposeDateTime(Int64(FirstDayNumber()) + days - 1, TimeOfDate(ADate));
}

Integer TcxHijriCalendarTable::MonthFromText(Integer AYear, const AnsiString& AText) const {
  if (Integer month = MonthOfName(this, AYear, 12, AText)) return month;
  return TcxCustomCalendarTable::MonthFromText(AYear, AText);
}

// ---- Hebrew -------------------------------------------------------------------

TcxHebrewCalendarTable::TcxHebrewCalendarTable() : FDefaultEra(new TcxEra(-1, kLunarNullDate, 0, 1, 9999)) {}

TcxHebrewCalendarTable::~TcxHebrewCalendarTable() { delete FDefaultEra; }

TDateTime TcxHebrewCalendarTable::LatestDate() const { return EncodeDateTime(2239, 9, 29, 23, 59, 59, 999); }

TDateTime TcxHebrewCalendarTable::EarliestDate() const { return EncodeDate(1583, 1, 1); }

Integer TcxHebrewCalendarTable::HebrewYearType(Integer AYear) const {
  const int32_t* row = HebrewRow(AYear);
  if (!row) return 0;
  return row[1] > 3 ? row[1] - 3 : row[1];
}

bool TcxHebrewCalendarTable::LeapYearTest(Integer, Integer AYear) const {
  const int32_t* row = HebrewRow(AYear);
  return row && row[1] > 3;
}

Integer TcxHebrewCalendarTable::MonthCount(Integer AEra, Integer AYear) const {
  return LeapYearTest(AEra, AYear) ? 13 : 12;
}

Integer TcxHebrewCalendarTable::YearLength(Integer AEra, Integer AYear) const {
  const Integer type = HebrewYearType(AYear);
  if (type == 0) return 0;
  return 352 + type + (LeapYearTest(AEra, AYear) ? 30 : 0);
}

Integer TcxHebrewCalendarTable::WholeWeeksInYear(Integer AYear) const { return YearLength(AYear) / 7; }

Integer TcxHebrewCalendarTable::MonthLength(Integer AEra, Integer AYear, Integer AMonth) const {
  if (!MonthInRange(AEra, AYear, AMonth)) return 0;
  return kHebrewMonthDays[HebrewRow(AYear)[1] - 1][AMonth - 1];
}

Integer TcxHebrewCalendarTable::WeekNumberOfDate(const TcxCalendarDateTime& ADate, Byte, Integer AFirstWeekRule) const {
  return TableWeekNumber(*this, ADate, AFirstWeekRule);
}

bool TcxHebrewCalendarTable::LeapMonthTest(Integer AEra, Integer AYear, Integer AMonth) const {
  return MonthInRange(AEra, AYear, AMonth) && LeapYearTest(AEra, AYear) && AMonth == 7;
}

bool TcxHebrewCalendarTable::LeapDayTest(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const {
  return DayInRange(AEra, AYear, AMonth, ADay) && LeapMonthTest(AEra, AYear, AMonth);
}

TDateTime TcxHebrewCalendarTable::JoinDateTime(const TcxCalendarDateTime& ADate) const {
  if (!DayInRange(ADate.Era, ADate.Year, ADate.Month, ADate.Day)) return EarliestDate();
  // 1 January of Gregorian year Year - 3760 lies in the Hebrew year.
  const Integer gregorian = ADate.Year - 3760;
  const int32_t* row = HebrewRow(ADate.Year);
  Integer month, day;
  HebrewJanuaryFirst(row[0], month, day);
  const Int64 january = DayNumber(EncodeDate(ToWord(gregorian), 1, 1));
  const Integer days = HebrewDaysBetween(kHebrewMonthDays[row[1] - 1], month, day, ADate.Month, ADate.Day);
  return ComposeDateTime(january + days, TimeOfDate(ADate));
}

TcxCalendarDateTime TcxHebrewCalendarTable::SplitDateTime(TDateTime ADate) const {
  ClampToRange(ADate);
  TcxCalendarDateTime result;
  SetTimeOfDate(result, ADate);
  Integer year = YearOf(ADate) + 3760;
  Integer month = 1;
  // The day's number in the month, from 1 Tishri of the year on.
  Integer n = DayNumber(ADate) - DayNumber(JoinDateTime(year, 1, 1)) + 1;
  while (n > MonthLength(year, month) && YearInRange(year)) {
    n -= MonthLength(year, month);
    if (++month > MonthCount(year)) month = 1, ++year;
  }
  result.Year = year;
  result.Month = month;
  result.Day = n;
  return result;
}

Integer TcxHebrewCalendarTable::HebrewLettersValue(const AnsiString& AText) {
  const int wide = MultiByteToWideChar(CP_ACP, 0, AText.data(), static_cast<int>(AText.size()), nullptr, 0);
  if (wide <= 0) return 0;
  WideString text(static_cast<size_t>(wide), u'\0');
  MultiByteToWideChar(CP_ACP, 0, AText.data(), static_cast<int>(AText.size()), text.data(), wide);
  Integer result = 0;
  // Code page 1255 holds the letters U+05D0 .. U+05EA at 0xE0 .. 0xFA.
  for (char16_t c : text)
    if (c >= 0x05D0 && c <= 0x05EA) result += HebrewLetterValue(static_cast<Byte>(c - 0x05D0 + 0xE0));
  return result;
}

Integer TcxHebrewCalendarTable::DayFromText(const AnsiString& AText) const {
  if (Integer value = HebrewLettersValue(AText)) return value;
  return TcxCustomCalendarTable::DayFromText(AText);
}

Integer TcxHebrewCalendarTable::MonthFromText(Integer AYear, const AnsiString& AText) const {
  const Integer value = HebrewLettersValue(AText);
  if (value != 0 && MonthInRange(AYear, value)) return value;
  if (Integer month = MonthOfName(this, AYear, 13, AText)) return month;
  return TcxCustomCalendarTable::MonthFromText(AYear, AText);
}

Integer TcxHebrewCalendarTable::YearFromText(const AnsiString& AText) const {
  if (Integer value = HebrewLettersValue(AText)) return value + 5000;
  return TcxCustomCalendarTable::YearFromText(AText);
}
