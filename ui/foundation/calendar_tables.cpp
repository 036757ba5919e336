// The base calendar table, the registry of tables, and the helpers the
// tables share with the date utilities.
#include "ui/foundation/calendar_tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/modules.h"
#include "ui/foundation/calendar_internal.h"
#include "ui/foundation/format_controller.h"

RTL_IMPLEMENT_CLASS(TcxEra)
RTL_IMPLEMENT_CLASS(TcxEras)
RTL_IMPLEMENT_CLASS(TcxCustomCalendarTable)

using namespace cx_calendar_detail;

namespace {

// The registry: owns its tables. Null before the unit's start-up and after
// its shut-down.
TdxFastObjectList* g_tables = nullptr;

Integer Saturate(Int64 AValue) {
  return static_cast<Integer>(
      std::clamp<Int64>(AValue, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

// The value as a day and milliseconds, rounded to the millisecond as the
// framework's decoders round.
void SplitValue(TDateTime AValue, Int64& ADay, Int64& AMs) {
  if (!(std::fabs(AValue) < 1e9)) {
    ADay = std::isnan(AValue) ? 0
           : AValue < 0       ? std::numeric_limits<Integer>::min()
                              : std::numeric_limits<Integer>::max();
    AMs = 0;
    return;
  }
  double whole;
  const double frac = std::modf(AValue, &whole);
  ADay = static_cast<Int64>(whole);
  AMs = std::llround(std::fabs(frac) * MSecsPerDay);
  if (AMs >= MSecsPerDay) {
    AMs -= MSecsPerDay;
    ++ADay;
  }
}

using TGetLocaleInfoA = int (*)(LCID, LCTYPE, LPSTR, int);
using TGetCalendarInfoA = int (*)(LCID, CALID, CALTYPE, LPSTR, int, DWORD*);
using TGetDateFormatA = int (*)(LCID, DWORD, const SYSTEMTIME*, LPCSTR, LPSTR, int);

// A kernel32 function by name, looked up on every call.
FARPROC KernelProc(const char* AName) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel ? GetProcAddress(kernel, AName) : nullptr;
}

// A locale item of the thread locale through GetLocaleInfoA; the default
// when the function or the item is missing.
AnsiString ThreadLocaleItem(LCTYPE AType, const AnsiString& ADefault) {
  auto getLocaleInfo = reinterpret_cast<TGetLocaleInfoA>(KernelProc("GetLocaleInfoA"));
  if (!getLocaleInfo) return ADefault;
  const LCID locale = GetThreadLocale();
  int size = getLocaleInfo(locale, AType, nullptr, 0);
  if (size <= 0) return ADefault;
  AnsiString text(static_cast<size_t>(size), '\0');
  if (getLocaleInfo(locale, AType, text.data(), size) <= 0) return ADefault;
  text.resize(std::strlen(text.c_str()));
  return text;
}

bool IsGregorianKind(CALID AKind) {
  return AKind == CAL_GREGORIAN || AKind == CAL_GREGORIAN_US ||
         (AKind >= CAL_GREGORIAN_ME_FRENCH && AKind <= CAL_GREGORIAN_XLIT_FRENCH);
}

// (Year, Month, Day) against a value's Gregorian date, for dates the
// framework cannot encode: -1 before it, 0 on it, 1 after it.
int CompareWithDate(Integer AYear, Integer AMonth, Integer ADay, TDateTime ADate) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  if (AYear != y) return AYear < y ? -1 : 1;
  if (AMonth != m) return AMonth < m ? -1 : 1;
  if (ADay != d) return ADay < d ? -1 : 1;
  return 0;
}

// 0 Sunday ... 6 Saturday; day 0 (30 December 1899) is a Saturday.
Integer WeekdayOfDay(Int64 ADay) { return static_cast<Integer>(((ADay + 6) % 7 + 7) % 7); }

// The week of the year by the library's rule: the start of week 1 of a
// year, false when 1 January of the year cannot be encoded.
bool WeekOneStart(Integer AYear, Integer ARule, Int64& AStart) {
  TDateTime first;
  if (!TryEncodeDate(ToWord(AYear), 1, 1, first)) return false;
  const Integer day = ARule == 2 ? 7 : ARule == 3 ? 4 : 1;
  const Int64 date = DayNumber(first) + day - 1;
  // The start of the week that holds it (cxWeekStartOf).
  AStart = date - ((WeekdayOfDay(date) - LocaleFirstDayOfWeek() + 7) % 7);
  return true;
}

}  // namespace

// ---- Shared helpers --------------------------------------------------------

namespace cx_calendar_detail {

Integer DayNumber(TDateTime ADate) {
  Int64 day, ms;
  SplitValue(ADate, day, ms);
  return Saturate(day);
}

TDateTime ComposeDateTime(Int64 ADay, TDateTime ATime) {
  return ADay >= 0 ? static_cast<double>(ADay) + ATime : static_cast<double>(ADay) - ATime;
}

TDateTime AddDays(TDateTime ADate, Int64 ACount) {
  Int64 day, ms;
  SplitValue(ADate, day, ms);
  return ComposeDateTime(day + ACount, static_cast<double>(ms) / MSecsPerDay);
}

TDateTime TimeOfDate(const TcxCalendarDateTime& ADate) {
  return EncodeTime(ADate.Hours, ADate.Minutes, ADate.Seconds, ADate.Milliseconds);
}

void SetTimeOfDate(TcxCalendarDateTime& ADate, TDateTime AValue) {
  Word h, m, s, ms;
  DecodeTime(AValue, h, m, s, ms);
  ADate.Hours = static_cast<Byte>(h);
  ADate.Minutes = static_cast<Byte>(m);
  ADate.Seconds = static_cast<Byte>(s);
  ADate.Milliseconds = ms;
}

Word ToWord(Integer AValue) { return AValue >= 0 && AValue <= 0xFFFF ? static_cast<Word>(AValue) : 0; }

Integer LocaleFirstWeekRule() {
  const AnsiString rule = ThreadLocaleItem(LOCALE_IFIRSTWEEKOFYEAR, "0");
  return (!rule.empty() && rule[0] >= '0' && rule[0] <= '9' ? rule[0] - '0' : 0) + 1;
}

Byte LocaleFirstDayOfWeek() {
  const AnsiString day = ThreadLocaleItem(LOCALE_IFIRSTDAYOFWEEK, "0");
  const Integer v = !day.empty() && day[0] >= '0' && day[0] <= '6' ? day[0] - '0' : 0;
  return static_cast<Byte>((v + 1) % 7);
}

Integer TableWeekNumber(const TcxCustomCalendarTable& ATable, const TcxCalendarDateTime& ADate,
                        Integer AFirstWeekRule) {
  const Integer rule = AFirstWeekRule == 0 ? LocaleFirstWeekRule() : AFirstWeekRule;
  // The first day of week 1 of the year.
  auto weekOne = [&](Integer AYear) {
    const TcxCalendarDateTime week = ATable.WeekStart(TcxCalendarDateTime(ADate.Era, AYear, 1, 1));
    Int64 start = DayNumber(ATable.JoinDateTime(week));
    if (rule == 2 && ATable.YearOfDate(week) < AYear) start += 7;
    if (rule == 3 && ATable.SplitDateTime(static_cast<TDateTime>(start + 3)).Year < AYear) start += 7;
    return start;
  };
  const Int64 day = DayNumber(ATable.JoinDateTime(ADate));
  Int64 start = weekOne(ADate.Year);
  // Days before the first week of their year belong to the last week of
  // the year before.
  if (day < start && ATable.YearInRange(ADate.Era, ADate.Year - 1)) start = weekOne(ADate.Year - 1);
  const Integer number = Saturate((day - start) / 7 + 1);
  if (ADate.Month == ATable.MonthCount(ADate.Era, ADate.Year)) {
    const Int64 weekStart = DayNumber(ATable.JoinDateTime(ATable.WeekStart(ADate)));
    if (rule == 1 && ATable.SplitDateTime(static_cast<TDateTime>(weekStart + 6)).Month == 1) return 1;
    if (rule == 3 && ATable.SplitDateTime(static_cast<TDateTime>(weekStart + 3)).Month == 1) return 1;
  }
  return number;
}

}  // namespace cx_calendar_detail

// ---- Eras ---------------------------------------------------------------

TcxEra::TcxEra(Integer AEra, TDateTime AStartDate, Integer AYearOffset, Integer AMinEraYear, Integer AMaxEraYear)
    : Era(AEra), MaxEraYear(AMaxEraYear), MinEraYear(AMinEraYear), StartDate(AStartDate), YearOffset(AYearOffset) {}

void TcxEra::Assign(TPersistent* Source) {
  if (auto* era = dynamic_cast<TcxEra*>(Source)) {
    Era = era->Era;
    MaxEraYear = era->MaxEraYear;
    MinEraYear = era->MinEraYear;
    StartDate = era->StartDate;
    YearOffset = era->YearOffset;
    return;
  }
  TPersistent::Assign(Source);
}

// ---- The base table ----------------------------------------------------------

TcxCustomCalendarTable::TcxCustomCalendarTable() : FEras(new TcxEras()) {
  if (g_tables) g_tables->Add(this);
}

TcxCustomCalendarTable::~TcxCustomCalendarTable() {
  if (g_tables) g_tables->Remove(this);
  FEras->Clear();
  delete FEras;
}

Integer TcxCustomCalendarTable::YearToGregorian(Integer AYear, Integer AEra) const {
  if (AEra == -1) return Saturate(Int64(AYear) + DefaultEraOf()->YearOffset);
  if (AEra >= 0 && AEra < FEras->Count()) return Saturate(Int64(AYear) + FEras->Items(AEra)->YearOffset);
  return AYear;
}

void TcxCustomCalendarTable::AdjustYearEra(Integer& AYear, Integer& AEra) const { AdjustYearEra(AYear, AEra, 1, 1); }

void TcxCustomCalendarTable::AdjustYearEra(Integer& AYear, Integer& AEra, Integer AMonth, Integer ADay) const {
  const Integer gregorian = YearToGregorian(AYear, AEra);
  AEra = EraIndexOf(gregorian, AMonth, ADay);
  // Without an era the year counts in the default era, so that the date
  // stays the same day (and out of range when it lies before every era).
  const TcxEra* era = AEra >= 0 ? FEras->Items(AEra) : DefaultEraOf();
  AYear = Saturate(Int64(gregorian) - era->YearOffset);
}

void TcxCustomCalendarTable::ClampToRange(TDateTime& ADate) const {
  // A value that is no number counts as below the range.
  if (!(ADate >= EarliestDate()))
    ADate = EarliestDate();
  else if (ADate > LatestDate())
    ADate = LatestDate();
}

TDateTime TcxCustomCalendarTable::ShiftDays(const TcxCalendarDateTime& ADate, Integer ACount) const {
  TDateTime result = AddDays(JoinDateTime(ADate), ACount);
  ClampToRange(result);
  return result;
}

TDateTime TcxCustomCalendarTable::ShiftMonths(TDateTime ADate, Integer ACount) const {
  return ShiftMonths(SplitDateTime(ADate), ACount);
}

TDateTime TcxCustomCalendarTable::ShiftMonths(const TcxCalendarDateTime& ADate, Integer ACount) const {
  if (!DayInRange(ADate.Era, ADate.Year, ADate.Month, ADate.Day)) return EarliestDate();
  // No calendar spans this many months: the result cannot be in range, and
  // the walk below stays short.
  constexpr Integer kWidestSpan = 13 * 11000;
  if (ACount > kWidestSpan || ACount < -kWidestSpan) return EarliestDate();
  TcxCalendarDateTime date = ADate;
  Integer month = date.Month + ACount;
  const bool forward = month > MonthCount(date.Era, date.Year);
  while (month > MonthCount(date.Era, date.Year) || month <= 0) {
    if (forward) {
      month -= MonthCount(date.Era, date.Year);
      ++date.Year;
    } else {
      month += MonthCount(date.Era, date.Year - 1);
      --date.Year;
    }
  }
  date.Month = month;
  date.Day = std::min(date.Day, MonthLength(date.Era, date.Year, date.Month));
  AdjustYearEra(date.Year, date.Era, date.Month, date.Day);
  if (!DayInRange(date.Era, date.Year, date.Month, date.Day)) return EarliestDate();
  TDateTime result = JoinDateTime(date);
  ClampToRange(result);
  return result;
}

TDateTime TcxCustomCalendarTable::ShiftYears(TDateTime ADate, Integer ACount) const {
  return ShiftYears(SplitDateTime(ADate), ACount);
}

TDateTime TcxCustomCalendarTable::ShiftYears(const TcxCalendarDateTime& ADate, Integer ACount) const {
  if (!DayInRange(ADate.Era, ADate.Year, ADate.Month, ADate.Day)) return EarliestDate();
  const Int64 year = Int64(ADate.Year) + ACount;
  if (year != Saturate(year)) return EarliestDate();
  TcxCalendarDateTime date = ADate;
  date.Year = static_cast<Integer>(year);
  AdjustYearEra(date.Year, date.Era, 1, 1);
  if (!YearInRange(date.Era, date.Year)) return EarliestDate();
  date.Month = std::min(date.Month, MonthCount(date.Era, date.Year));
  date.Day = std::min(date.Day, MonthLength(date.Era, date.Year, date.Month));
  AdjustYearEra(date.Year, date.Era, date.Month, date.Day);
  TDateTime result = JoinDateTime(date);
  ClampToRange(result);
  return result;
}

TDateTime TcxCustomCalendarTable::ShiftWeeks(TDateTime ADate, Integer ACount) const {
  return ShiftWeeks(SplitDateTime(ADate), ACount);
}

TDateTime TcxCustomCalendarTable::ShiftWeeks(const TcxCalendarDateTime& ADate, Integer ACount) const {
  TDateTime result = AddDays(JoinDateTime(ADate), Int64(ACount) * 7);
  ClampToRange(result);
  return result;
}

TcxCalendarDateTime TcxCustomCalendarTable::SplitDateTime(Integer AYear, Integer AMonth, Integer ADay) const {
  return SplitDateTime(AYear, AMonth, ADay, 0, 0, 0, 0);
}

TcxCalendarDateTime TcxCustomCalendarTable::SplitDateTime(Integer AYear, Integer AMonth, Integer ADay, Integer AHours,
                                                          Integer AMinutes, Integer ASeconds,
                                                          Integer AMilliseconds) const {
  return SplitDateTime(EncodeDateTime(ToWord(AYear), ToWord(AMonth), ToWord(ADay), ToWord(AHours), ToWord(AMinutes),
                                      ToWord(ASeconds), ToWord(AMilliseconds)));
}

Integer TcxCustomCalendarTable::DayNumberInYear(TDateTime ADate) const { return DayNumberInYear(SplitDateTime(ADate)); }

Integer TcxCustomCalendarTable::DayNumberInYear(const TcxCalendarDateTime& ADate) const {
  Integer result = ADate.Day;
  // No calendar has more than 13 months; the lengths beyond are 0.
  for (Integer month = 1; month < ADate.Month && month <= 13; ++month) result += MonthLength(ADate.Year, month);
  return result;
}

Integer TcxCustomCalendarTable::MonthLength(Integer AYear, Integer AMonth) const {
  return MonthLength(-1, AYear, AMonth);
}

Integer TcxCustomCalendarTable::YearLength(Integer AYear) const { return YearLength(-1, AYear); }

Integer TcxCustomCalendarTable::EraIndexOf(Integer AYear) const { return EraIndexOf(AYear, 1, 1); }

Integer TcxCustomCalendarTable::EraIndexOf(Integer AYear, Integer AMonth, Integer ADay) const {
  TDateTime date;
  const bool encoded = TryEncodeDate(ToWord(AYear), ToWord(AMonth), ToWord(ADay), date);
  Integer result = -1;
  for (Integer i = 0; i < FEras->Count(); ++i) {
    const TDateTime start = FEras->Items(i)->StartDate;
    if (encoded ? start <= date : CompareWithDate(AYear, AMonth, ADay, start) >= 0) result = i;
  }
  return result;
}

TDateTime TcxCustomCalendarTable::WeekStart(TDateTime ADate) const {
  return JoinDateTime(WeekStart(SplitDateTime(ADate)));
}

TDateTime TcxCustomCalendarTable::WeekStart(TDateTime ADate, Byte AStartDay) const {
  const Integer weekday = WeekdayOfDate(ADate);
  return AddDays(ADate, Integer(AStartDay) - weekday - (weekday < AStartDay ? 7 : 0));
}

TcxCalendarDateTime TcxCustomCalendarTable::WeekStart(const TcxCalendarDateTime& ADate) const {
  const Integer first = FirstWeekdayIndex();
  const Integer weekday = WeekdayOfDate(ADate);
  return SplitDateTime(ShiftDays(ADate, first - weekday - (weekday < first ? 7 : 0)));
}

TcxCalendarDateTime TcxCustomCalendarTable::WeekStart(const TcxCalendarDateTime& ADate, Byte AStartDay) const {
  return SplitDateTime(WeekStart(JoinDateTime(ADate), AStartDay));
}

TDateTime TcxCustomCalendarTable::MonthStart(TDateTime ADate) const {
  return JoinDateTime(MonthStart(SplitDateTime(ADate)));
}

TcxCalendarDateTime TcxCustomCalendarTable::MonthStart(const TcxCalendarDateTime& ADate) const {
  TcxCalendarDateTime result = ADate;
  result.Day = 1;
  return result;
}

TDateTime TcxCustomCalendarTable::YearStart(TDateTime ADate) const {
  return JoinDateTime(YearStart(SplitDateTime(ADate)));
}

TcxCalendarDateTime TcxCustomCalendarTable::YearStart(const TcxCalendarDateTime& ADate) const {
  TcxCalendarDateTime result = ADate;
  result.Month = 1;
  result.Day = 1;
  return result;
}

TDateTime TcxCustomCalendarTable::MonthEnd(TDateTime ADate) const {
  return JoinDateTime(MonthEnd(SplitDateTime(ADate)));
}

TcxCalendarDateTime TcxCustomCalendarTable::MonthEnd(const TcxCalendarDateTime& ADate) const {
  TcxCalendarDateTime result = ADate;
  result.Day = MonthLength(ADate.Era, ADate.Year, ADate.Month);
  return result;
}

TDateTime TcxCustomCalendarTable::YearEnd(TDateTime ADate) const { return JoinDateTime(YearEnd(SplitDateTime(ADate))); }

TcxCalendarDateTime TcxCustomCalendarTable::YearEnd(const TcxCalendarDateTime& ADate) const {
  TcxCalendarDateTime result = ADate;
  result.Month = MonthCount(ADate.Era, ADate.Year);
  result.Day = MonthLength(ADate.Era, ADate.Year, result.Month);
  return result;
}

Integer TcxCustomCalendarTable::MonthCount(Integer AYear) const { return MonthCount(-1, AYear); }

Integer TcxCustomCalendarTable::YearOfDate(TDateTime ADate) const { return SplitDateTime(ADate).Year; }

Integer TcxCustomCalendarTable::YearOfDate(const TcxCalendarDate& ADate) const { return ADate.Year; }

Integer TcxCustomCalendarTable::YearOfDate(const TcxCalendarDateTime& ADate) const { return ADate.Year; }

Byte TcxCustomCalendarTable::WeekdayOfDate(TDateTime ADate) const {
  return static_cast<Byte>(WeekdayOfDay(DayNumber(ADate)));
}

Byte TcxCustomCalendarTable::WeekdayOfDate(const TcxCalendarDateTime& ADate) const {
  return WeekdayOfDate(JoinDateTime(ADate));
}

Integer TcxCustomCalendarTable::WeekNumberOfDate(TDateTime ADate, Byte AStartOfWeek, Integer AFirstWeekRule) const {
  return WeekNumberOfDate(SplitDateTime(ADate), AStartOfWeek, AFirstWeekRule);
}

bool TcxCustomCalendarTable::LeapDayTest(Integer AYear, Integer AMonth, Integer ADay) const {
  return LeapDayTest(-1, AYear, AMonth, ADay);
}

bool TcxCustomCalendarTable::LeapMonthTest(Integer AYear, Integer AMonth) const {
  return LeapMonthTest(-1, AYear, AMonth);
}

bool TcxCustomCalendarTable::LeapYearTest(Integer AYear) const { return LeapYearTest(-1, AYear); }

bool TcxCustomCalendarTable::YearInRange(Integer AYear) const { return YearInRange(-1, AYear); }

bool TcxCustomCalendarTable::YearInRange(Integer, Integer AYear) const {
  return AYear >= EarliestYear() && AYear <= LatestYear();
}

bool TcxCustomCalendarTable::MonthInRange(Integer AYear, Integer AMonth) const {
  return MonthInRange(-1, AYear, AMonth);
}

bool TcxCustomCalendarTable::MonthInRange(Integer AEra, Integer AYear, Integer AMonth) const {
  return YearInRange(AEra, AYear) && AMonth >= 1 && AMonth <= MonthCount(AEra, AYear);
}

bool TcxCustomCalendarTable::DayInRange(Integer AYear, Integer AMonth, Integer ADay) const {
  return DayInRange(-1, AYear, AMonth, ADay);
}

bool TcxCustomCalendarTable::DayInRange(Integer AEra, Integer AYear, Integer AMonth, Integer ADay) const {
  return MonthInRange(AEra, AYear, AMonth) && ADay >= 1 && ADay <= MonthLength(AEra, AYear, AMonth);
}

bool TcxCustomCalendarTable::DateInRange(TDateTime ADate) const {
  // The Hijri and Hebrew splits take a date beyond the range at its limit.
  if (!(ADate >= EarliestDate() && ADate <= LatestDate())) return false;
  const TcxCalendarDateTime date = SplitDateTime(ADate);
  return DayInRange(date.Year, date.Month, date.Day);
}

TDateTime TcxCustomCalendarTable::JoinDateTime(const TcxCalendarDate& ADate) const {
  return JoinDateTime(TcxCalendarDateTime(ADate));
}

TDateTime TcxCustomCalendarTable::JoinDateTime(Integer AYear, Integer AMonth, Integer ADay) const {
  return JoinDateTime(AYear, AMonth, ADay, 0, 0, 0, 0);
}

TDateTime TcxCustomCalendarTable::JoinDateTime(Integer AYear, Integer AMonth, Integer ADay, Integer AHours,
                                               Integer AMinutes, Integer ASeconds, Integer AMilliseconds) const {
  // Parts a byte cannot hold would wrap to valid ones; 255 is never valid.
  auto part = [](Integer v) { return static_cast<Byte>(v >= 0 && v <= 255 ? v : 255); };
  return JoinDateTime(
      TcxCalendarDateTime(-1, AYear, AMonth, ADay, part(AHours), part(AMinutes), part(ASeconds),
                          static_cast<Word>(AMilliseconds >= 0 && AMilliseconds <= 0xFFFF ? AMilliseconds : 0xFFFF)));
}

Integer TcxCustomCalendarTable::DayFromText(const AnsiString& AText) const { return StrToInt(AText); }

Integer TcxCustomCalendarTable::MonthFromText(Integer, const AnsiString& AText) const {
  for (Integer i = 0; i < 12; ++i)
    if (AnsiCompareText(FormatSettings.LongMonthNames[i], AText) == 0 ||
        AnsiCompareText(FormatSettings.ShortMonthNames[i], AText) == 0)
      return i + 1;
  return StrToInt(AText);
}

Integer TcxCustomCalendarTable::YearFromText(const AnsiString& AText) const {
  const Integer value = StrToInt(AText);
  if (AText.size() > 2) return value;
  DWORD windowMax = 0;
  if (cxCallGetCalendarInfo(GetThreadLocale(), CalendarKind(), CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER, nullptr, 0,
                            &windowMax) == 0)
    windowMax = 0;
  const Integer max = static_cast<Integer>(windowMax);
  return value + (max / 100) * 100 - ((max % 100) < value ? 100 : 0);
}

// ---- The registry ---------------------------------------------------------

TcxCustomCalendarTableClass cxCalendarTableClassFor(CALID ACalendarID) {
  switch (ACalendarID) {
    case CAL_GREGORIAN_US: return TcxGregorianUSEnglishCalendarTable::StaticClass();
    case CAL_JAPAN: return TcxJapaneseCalendarTable::StaticClass();
    case CAL_TAIWAN: return TcxTaiwanCalendarTable::StaticClass();
    case CAL_KOREA: return TcxKoreanCalendarTable::StaticClass();
    case CAL_HIJRI: return TcxHijriCalendarTable::StaticClass();
    case CAL_THAI: return TcxThaiCalendarTable::StaticClass();
    case CAL_HEBREW: return TcxHebrewCalendarTable::StaticClass();
    case CAL_GREGORIAN_ME_FRENCH: return TcxGregorianMiddleEastFrenchCalendarTable::StaticClass();
    case CAL_GREGORIAN_ARABIC: return TcxGregorianArabicCalendarTable::StaticClass();
    case CAL_GREGORIAN_XLIT_ENGLISH: return TcxGregorianTransliteratedEnglishCalendarTable::StaticClass();
    case CAL_GREGORIAN_XLIT_FRENCH: return TcxGregorianTransliteratedFrenchCalendarTable::StaticClass();
    default: return TcxGregorianCalendarTable::StaticClass();
  }
}

TcxCustomCalendarTable* cxFindCalendarTable(CALID ACalendarID) {
  if (!g_tables) return nullptr;
  for (Integer i = 0; i < g_tables->Count(); ++i) {
    auto* table = static_cast<TcxCustomCalendarTable*>(g_tables->Items(i));
    if (table->CalendarKind() == ACalendarID) return table;
  }
  return nullptr;
}

TcxCustomCalendarTable* cxCalendarTableFor(CALID ACalendarID) {
  if (!g_tables) return nullptr;
  // An identifier without a calendar of its own gets the Gregorian class,
  // whose table answers 1; looking for the identifier itself would make a
  // new table on every call.
  if (ACalendarID < CAL_GREGORIAN || ACalendarID > CAL_GREGORIAN_XLIT_FRENCH) ACalendarID = CAL_GREGORIAN;
  if (TcxCustomCalendarTable* table = cxFindCalendarTable(ACalendarID)) return table;
  // The new table adds itself to the registry.
  return static_cast<TcxCustomCalendarTable*>(CreateInstance(cxCalendarTableClassFor(ACalendarID)));
}

CALID cxThreadCalendarType() {
  auto getLocaleInfo = reinterpret_cast<TGetLocaleInfoA>(KernelProc("GetLocaleInfoA"));
  DWORD type = 0;
  if (!getLocaleInfo || getLocaleInfo(GetThreadLocale(), LOCALE_ICALENDARTYPE | LOCALE_RETURN_NUMBER,
                                      reinterpret_cast<LPSTR>(&type), sizeof(type)) == 0)
    return CAL_GREGORIAN;
  return type;
}

TcxCustomCalendarTable* cxCurrentCalendarTable() { return cxCalendarTableFor(cxThreadCalendarType()); }

bool cxCalendarIsGregorian(const TcxCustomCalendarTable* ATable) {
  if (!ATable) ATable = cxCurrentCalendarTable();
  return IsGregorianKind(ATable ? ATable->CalendarKind() : cxThreadCalendarType());
}

// ---- Helpers the date utilities share with the tables ----------------------

int cxCallGetCalendarInfo(LCID ALocale, CALID ACalendar, CALTYPE ACalType, LPSTR ACalData, int ACount, DWORD* AValue) {
  auto getCalendarInfo = reinterpret_cast<TGetCalendarInfoA>(KernelProc("GetCalendarInfoA"));
  return getCalendarInfo ? getCalendarInfo(ALocale, ACalendar, ACalType, ACalData, ACount, AValue) : 0;
}

Integer cxWeekOfYear(Byte, Integer AFirstWeekRule, TDateTime ADate) {
  const Integer rule = AFirstWeekRule == 0 ? LocaleFirstWeekRule() : AFirstWeekRule;
  Word year, month, day;
  DecodeDate(ADate, year, month, day);
  if (year == 0) return 0;
  const Int64 date = DayNumber(ADate);
  Int64 start;
  if (month == 12 && WeekOneStart(year + 1, rule, start) && date >= start) return 1;
  if (!WeekOneStart(year, rule, start)) return 0;
  if (month == 1 && date < start && !WeekOneStart(year - 1, rule, start)) return 0;
  return Saturate((date - start) / 7 + 1);
}

AnsiString cxCalendarMonthNameOfDate(const TcxCustomCalendarTable* ATable, TDateTime ADate) {
  if (!ATable) ATable = cxCurrentCalendarTable();
  if (auto getDateFormat = reinterpret_cast<TGetDateFormatA>(KernelProc("GetDateFormatA"))) {
    SYSTEMTIME time{};
    Word y, m, d;
    DecodeDate(ADate, y, m, d);
    time.wYear = y;
    time.wMonth = m;
    time.wDay = d;
    time.wDayOfWeek = static_cast<WORD>(DayOfWeek(ADate) - 1);
    char buffer[100];
    if (y != 0 && getDateFormat(GetThreadLocale(), 0, &time, "MMMM", buffer, sizeof(buffer)) > 0) return buffer;
  }
  const Integer month = ATable ? ATable->SplitDateTime(ADate).Month : MonthOf(ADate);
  return month >= 1 && month <= 12 ? FormatSettings.LongMonthNames[month - 1] : AnsiString();
}

AnsiString cxCalendarMonthName(Integer AYear, Integer AMonth, const TcxCustomCalendarTable* ATable) {
  if (!ATable) ATable = cxCurrentCalendarTable();
  if (ATable && cxCalendarIsGregorian(ATable) && AMonth >= 1 && AMonth <= 12) {
    const TcxFormatController* controller = cxGetFormatController();
    if (controller && controller->UseFrameworkFormats) return FormatSettings.LongMonthNames[AMonth - 1];
  }
  if (!ATable || !ATable->MonthInRange(AYear, AMonth)) return AnsiString();
  return cxCalendarMonthNameOfDate(ATable, ATable->JoinDateTime(AYear, AMonth, 1));
}

// ---- The unit -----------------------------------------------------------------

namespace cx_calendar_detail {

void StartCalendarTables() {
  if (!g_tables) g_tables = new TdxFastObjectList(true);
}

void StopCalendarTables() {
  // The tables must not remove themselves from the list being freed.
  TdxFastObjectList* tables = g_tables;
  g_tables = nullptr;
  delete tables;
}

}  // namespace cx_calendar_detail
