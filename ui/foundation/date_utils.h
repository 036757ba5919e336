// The date utilities of the date controls: small month and week
// arithmetic, reading typed text as a date (with words such as "today",
// "eom" or a weekday name, optionally followed by a signed day offset, and
// dates in the locale's calendar), formatting dates with the locale's or
// the framework's pictures, and weekday captions for calendar headers.
// Nothing here raises to the user: text that is not a date gives
// cxNullDate.
#pragma once

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel_datefmt.h"
#include "ui/foundation/calendar_tables.h"

class TcxDateTimeFormatInfo;

// No date.
constexpr TDateTime cxNullDate = -700000.0;

// "Today" and "now" of the date words. Null (the default) is the
// framework's clock; tests install a fixed one.
using TcxDateClock = TDateTime (*)();
void cxSetDateClock(TcxDateClock AClock);
TDateTime cxNow();

// An extra reader asked when the date words do not match; null unless
// assigned.
using TcxTextToDateHook = bool (*)(const AnsiString& AText, TDateTime& ADate);
extern TcxTextToDateHook cxTextToDateHook;

// ---- Arithmetic (Gregorian) ---------------------------------------------------------

// Year += Count div 12, Month += Count mod 12, then borrowed or carried into
// 1..12.
void cxShiftMonth(Integer& AYear, Integer& AMonth, Integer ACount);
void cxStepMonthBack(Integer& AYear, Integer& AMonth);
void cxStepMonthForward(Integer& AYear, Integer& AMonth);
bool cxYearIsLeap(Integer AYear);
// 0 for a month outside 1..12.
Integer cxDaysInMonth(Integer AYear, Integer AMonth);
// 1 below 1, the month's length above it.
Integer cxClampDay(Integer AYear, Integer AMonth, Integer ADay);
// 0 for the null date.
TDateTime cxTimeOfDay(TDateTime ADate);
// The null date stays null.
TDateTime cxDateOnly(TDateTime ADate);
// Part 0 the year, 1 the month, any other the day.
Integer cxDatePart(Integer APart, TDateTime ADate);
// 0 Sunday ... 6 Saturday.
Integer cxWeekdayIndex(TDateTime ADate);
// The locale's first day of the week (0 Sunday), read on every call.
Byte cxGetFirstDayOfWeek();
Byte cxLocaleFirstDayOfWeek();
// LOCALE_IFIRSTWEEKOFYEAR + 1.
Integer cxLocaleFirstWeekRule();
// 0..6 from the first day of the week.
Integer cxDayIndexInWeek(TDateTime ADate);
// Day + N, wrapped into 0..6 (N >= 0).
Integer cxAddDaysToWeekDay(Integer ADay, Integer ACount);
TDateTime cxWeekStartOf(TDateTime ADate);

// ---- Text to date -------------------------------------------------------------------

// The typed text as a date; cxNullDate for anything that is not one.
TDateTime cxTextToDate(const AnsiString& AText, bool AUseFrameworkFormats);
// A date word at the start of the text ("today", "eom", "Monday", ...),
// then nothing or a signed number of days.
bool cxTextToDateByWords(const AnsiString& AText, TDateTime& ADate);
// Blanks out the picture literals the text carries and puts its parts in
// the order of the target picture (see the source for the steps).
void cxPrepareDateTextForParse(AnsiString& AText, bool ABlankSeparators, const TcxDateTimeFormatInfo* ADateInfo,
                               const TcxDateTimeFormatInfo* ATimeInfo);
// With a picture, the text read by that picture; without, cxTextToDate.
// True when the date is not null.
bool cxParseDateText(const AnsiString& AText, TDateTime& ADate, const AnsiString& APicture = AnsiString());
// 0 month first, 1 day first, 2 year first.
Integer cxDateOrderOfPicture(const AnsiString& APicture);
Integer cxDateOrderOfFormatInfo(const TcxDateTimeFormatInfo* AInfo);
// Every occurrence of the part (ignoring case) becomes blanks of its
// length.
void cxBlankOutText(AnsiString& AText, const AnsiString& APart);
// Dates of the thread locale's calendar when it is not Gregorian.
TDateTime cxCalendarTextToDate(const AnsiString& AText);
bool cxCalendarParseText(const AnsiString& AText, const TFormatSettings& ASettings,
                         const TcxCustomCalendarTable* ATable, TcxCalendarDateTime& ADate);

// ---- Date to text -------------------------------------------------------------------

// Empty for the null date.
void cxDateToDisplayText(bool AFourDigitYear, bool AUseFrameworkFormats, AnsiString& AText, TDateTime ADate);
bool cxFormatDateForLocale(AnsiString& AText, DWORD AFlags, const AnsiString& APicture, TDateTime ADate);
// The library's own picture formatter: fields joined by the separator
// when one is given, else by the picture's literals.
void cxFormatDatePicture(const AnsiString& APicture, const AnsiString& ASeparator, AnsiString& AText,
                         TDateTime ADate);
// "(" Expression ")|(" the date words ")" and an optional signed offset of
// one to four digits; "now" only with AWithNow.
void cxDateWordsMaskExpression(AnsiString& AExpression, bool AWithNow);
// One character for a calendar column header; Day 0 is Sunday.
AnsiString cxGetWeekDayCaption(Integer ADay, Byte ACharSet);
// The thread locale's separators, pictures and AM/PM strings, and the
// framework's list separator.
void cxLoadLocaleFormatSettings(TFormatSettings& ASettings);

namespace cx_date_utils_detail {
// The unit's start-up (the calendar registry) and shut-down.
void StartDateUtils();
void StopDateUtils();
}  // namespace cx_date_utils_detail
