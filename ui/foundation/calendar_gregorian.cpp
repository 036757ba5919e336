// The Gregorian calendar tables and the Japanese family, which counts
// Gregorian dates in eras.
#include <algorithm>

#include "platform/rtl/dateutils.h"
#include "ui/foundation/calendar_internal.h"
#include "ui/foundation/calendar_tables.h"

RTL_IMPLEMENT_CLASS(TcxGregorianCalendarTable)
RTL_IMPLEMENT_CLASS(TcxGregorianUSEnglishCalendarTable)
RTL_IMPLEMENT_CLASS(TcxGregorianMiddleEastFrenchCalendarTable)
RTL_IMPLEMENT_CLASS(TcxGregorianArabicCalendarTable)
RTL_IMPLEMENT_CLASS(TcxGregorianTransliteratedEnglishCalendarTable)
RTL_IMPLEMENT_CLASS(TcxGregorianTransliteratedFrenchCalendarTable)
RTL_IMPLEMENT_CLASS(TcxJapaneseCalendarTable)
RTL_IMPLEMENT_CLASS(TcxTaiwanCalendarTable)
RTL_IMPLEMENT_CLASS(TcxKoreanCalendarTable)
RTL_IMPLEMENT_CLASS(TcxThaiCalendarTable)

using namespace cx_calendar_detail;

namespace {

// The library's null date: the default era has started on every date.
constexpr TDateTime kNullDate = -700000.0;

bool IsGregorianLeap(Integer AYear) { return AYear % 4 == 0 && (AYear % 100 != 0 || AYear % 400 == 0); }

// 0 Sunday ... 6 Saturday of 1 January of any year of the proleptic
// Gregorian calendar.
Integer WeekdayOfNewYear(Integer AYear) {
  const Int64 y = Int64(AYear) - 1;
  auto floorDiv = [](Int64 a, Int64 b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); };
  // 1 January 1 was a Monday.
  const Int64 days = 365 * y + floorDiv(y, 4) - floorDiv(y, 100) + floorDiv(y, 400);
  return static_cast<Integer>(((days + 1) % 7 + 7) % 7);
}

}  // namespace

// ---- Gregorian --------------------------------------------------------------

TcxGregorianCalendarTable::TcxGregorianCalendarTable() : FDefaultEra(new TcxEra(-1, kNullDate, 0, 1, 9999)) {}

TcxGregorianCalendarTable::~TcxGregorianCalendarTable() { delete FDefaultEra; }

TDateTime TcxGregorianCalendarTable::LatestDate() const { return MaxDateTime; }

TDateTime TcxGregorianCalendarTable::EarliestDate() const { return MinDateTime; }

TcxCalendarDateTime TcxGregorianCalendarTable::SplitDateTime(TDateTime ADate) const {
  Word y, m, d, h, n, s, ms;
  DecodeDateTime(ADate, y, m, d, h, n, s, ms);
  return TcxCalendarDateTime(-1, y, m, d, static_cast<Byte>(h), static_cast<Byte>(n), static_cast<Byte>(s), ms);
}

Integer TcxGregorianCalendarTable::MonthLength(Integer AEra, Integer AYear, Integer AMonth) const {
  switch (AMonth) {
    case 2: return LeapYearTest(AEra, AYear) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11: return 30;
    default: return AMonth >= 1 && AMonth <= 12 ? 31 : 0;
  }
}

Integer TcxGregorianCalendarTable::YearLength(Integer AEra, Integer AYear) const {
  return LeapYearTest(AEra, AYear) ? 366 : 365;
}

Integer TcxGregorianCalendarTable::WholeWeeksInYear(Integer AYear) const {
  const Integer year = YearToGregorian(AYear, -1);
  const Integer c = ((WeekdayOfNewYear(year) - FirstWeekdayIndex()) % 7 + 7) % 7;
  return c >= 6 || (c >= 5 && IsGregorianLeap(year)) ? 53 : 52;
}

Integer TcxGregorianCalendarTable::WeekNumberOfDate(const TcxCalendarDateTime& ADate, Byte AStartOfWeek,
                                                    Integer AFirstWeekRule) const {
  return cxWeekOfYear(AStartOfWeek, AFirstWeekRule, JoinDateTime(ADate));
}

bool TcxGregorianCalendarTable::LeapDayTest(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const {
  return LeapMonthTest(AEra, AYear, AMonth) && ADay == 29;
}

bool TcxGregorianCalendarTable::LeapMonthTest(Integer AEra, Integer AYear, Integer AMonth) const {
  return LeapYearTest(AEra, AYear) && AMonth == 2;
}

bool TcxGregorianCalendarTable::LeapYearTest(Integer AEra, Integer AYear) const {
  return IsGregorianLeap(YearToGregorian(AYear, AEra));
}

TDateTime TcxGregorianCalendarTable::JoinDateTime(const TcxCalendarDateTime& ADate) const {
  return EncodeDateTime(ToWord(ADate.Year), ToWord(ADate.Month), ToWord(ADate.Day), ADate.Hours, ADate.Minutes,
                        ADate.Seconds, ADate.Milliseconds);
}

// ---- Japanese family ----------------------------------------------------------

TcxJapaneseCalendarTable::TcxJapaneseCalendarTable() {
  AddEra(1, EncodeDate(1868, 9, 8), 1867, 1, 45);
  AddEra(2, EncodeDate(1912, 7, 30), 1911, 1, 15);
  AddEra(3, EncodeDate(1926, 12, 25), 1925, 1, 64);
  AddEra(4, EncodeDate(1989, 1, 8), 1988, 1, 8011);
}

void TcxJapaneseCalendarTable::AddEra(Integer AEra, TDateTime AStartDate, Integer AYearOffset, Integer AMinEraYear,
                                      Integer AMaxEraYear) {
  Eras()->Add(new TcxEra(AEra, AStartDate, AYearOffset, AMinEraYear, AMaxEraYear));
}

TcxEra* TcxJapaneseCalendarTable::DefaultEraOf() const { return Eras()->Items(Eras()->Count() - 1); }

TDateTime TcxJapaneseCalendarTable::EarliestDate() const { return Eras()->Items(0)->StartDate; }

Integer TcxJapaneseCalendarTable::LatestYear() const { return DefaultEraOf()->MaxEraYear; }

Integer TcxJapaneseCalendarTable::EarliestYear() const { return DefaultEraOf()->MinEraYear; }

TcxCalendarDateTime TcxJapaneseCalendarTable::SplitDateTime(TDateTime ADate) const {
  TcxCalendarDateTime result = TcxGregorianCalendarTable::SplitDateTime(ADate);
  result.Era = EraIndexOf(result.Year, result.Month, result.Day);
  const TcxEra* era = result.Era >= 0 ? Eras()->Items(result.Era) : DefaultEraOf();
  result.Year -= era->YearOffset;
  return result;
}

bool TcxJapaneseCalendarTable::DayInRange(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const {
  if (!TcxGregorianCalendarTable::DayInRange(AEra, AYear, AMonth, ADay)) return false;
  // An era year may name a Gregorian day before the first era (a date
  // counted in the default era that an era shift left without one).
  TDateTime date;
  return TryEncodeDate(ToWord(YearToGregorian(AYear, AEra)), ToWord(AMonth), ToWord(ADay), date) &&
         date >= DayNumber(EarliestDate()) && date <= DayNumber(LatestDate());
}

TDateTime TcxJapaneseCalendarTable::JoinDateTime(const TcxCalendarDateTime& ADate) const {
  if (!DayInRange(ADate.Era, ADate.Year, ADate.Month, ADate.Day)) return EarliestDate();
  const TDateTime date =
      EncodeDate(ToWord(YearToGregorian(ADate.Year, ADate.Era)), ToWord(ADate.Month), ToWord(ADate.Day));
  return ComposeDateTime(DayNumber(date), TimeOfDate(ADate));
}

TcxTaiwanCalendarTable::TcxTaiwanCalendarTable() : TcxJapaneseCalendarTable(TNoEras{}) {
  AddEra(1, EncodeDate(1912, 1, 1), 1911, 1, 8088);
}

TcxKoreanCalendarTable::TcxKoreanCalendarTable() : TcxJapaneseCalendarTable(TNoEras{}) {
  AddEra(0, EncodeDate(1, 1, 1), -2333, 2334, 12332);
}

TcxThaiCalendarTable::TcxThaiCalendarTable() : TcxJapaneseCalendarTable(TNoEras{}) {
  AddEra(0, EncodeDate(1, 1, 1), -543, 544, 10542);
}
