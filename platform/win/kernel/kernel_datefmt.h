// Date and time formatting of the locale provider (GetDateFormatA,
// GetTimeFormatA) and the test locales of the date utilities.
//
// Pictures use the locale picture language: d dd (day), ddd dddd (short
// and long day name), M MM (month), MMM MMMM (short and long month name),
// y (year in the century without a leading zero), yy (two digits), yyyy
// and longer runs (the whole year), g gg (the era of the calendar),
// h hh (12-hour clock), H HH (24-hour clock), m mm, s ss, t (the first
// character of the AM/PM designator), tt (the whole designator). Text in
// apostrophes is copied, two apostrophes inside it give one; any other
// character is copied as it is. Letters of the other kind of picture
// (time letters in a date picture and the reverse) are copied too.
// Dates are Gregorian.
#pragma once

#include "platform/rtl/fileutils.h"
#include "platform/win/kernel/kernel_locale.h"

// GetDateFormatA flags.
constexpr DWORD DATE_SHORTDATE = 0x00000001;
constexpr DWORD DATE_LONGDATE = 0x00000002;
constexpr DWORD DATE_USE_ALT_CALENDAR = 0x00000004;
constexpr DWORD DATE_YEARMONTH = 0x00000008;
// GetTimeFormatA flags.
constexpr DWORD TIME_NOMINUTESORSECONDS = 0x00000001;
constexpr DWORD TIME_NOSECONDS = 0x00000002;
constexpr DWORD TIME_NOTIMEMARKER = 0x00000004;
constexpr DWORD TIME_FORCE24HOURFORMAT = 0x00000008;

// Formats the date (the current local date when lpDate is null) with the
// picture, or without one with the locale's short date picture
// (DATE_SHORTDATE or no flag), long date picture (DATE_LONGDATE) or
// year-month picture (DATE_YEARMONTH); LOCALE_NOUSEROVERRIDE may be added.
// Writes the text with its terminating zero and returns the characters
// written; with cchDate 0 returns the size needed. Fails (0) with
// ERROR_INVALID_PARAMETER for an unknown locale, an invalid date or a bad
// buffer, ERROR_INVALID_FLAGS for a picture with a picture flag or two
// picture flags, ERROR_INSUFFICIENT_BUFFER when the text does not fit. The
// time fields of the date are not looked at.
int GetDateFormatA(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat, LPSTR lpDateStr,
                   int cchDate);

// Formats the time (the current local time when lpTime is null) with the
// picture, or the locale's LOCALE_STIMEFORMAT. TIME_NOMINUTESORSECONDS and
// TIME_NOSECONDS leave out the minutes and seconds with the separator
// before them, TIME_NOTIMEMARKER the designator with the blank before it,
// TIME_FORCE24HOURFORMAT shows hours on the 24-hour clock without the
// designator. Results and failures as GetDateFormatA; an invalid time is
// ERROR_INVALID_PARAMETER.
int GetTimeFormatA(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCSTR lpFormat, LPSTR lpTimeStr,
                   int cchTime);

namespace rtl::testing {

// Test locales of the date utilities, each the en-US items with changes:
// kDayFirstDots (0x0407): "dd.MM.yyyy" with "." separators, the 24-hour
//   "HH:mm:ss" without AM/PM strings, Monday first, "," decimals, ";"
//   lists, the euro sign after the amount.
// k24Hour (0x0809): "dd/MM/yyyy", "HH:mm:ss", empty AM/PM strings.
// kMondayWeekRule3 (0x0413): en-US pictures, Monday first
//   (LOCALE_IFIRSTDAYOFWEEK 0) and the first four-day week
//   (LOCALE_IFIRSTWEEKOFYEAR 2, the library's rule 3).
// kApostropheMonths (0x0491): en-US with the third month named "ma'r"
//   (short "m'r") and a long date picture with a quoted apostrophe.
// ResetLocale goes back.
enum class TDateTestLocale { kDayFirstDots, k24Hour, kMondayWeekRule3, kApostropheMonths };
void InstallDateTestLocale(TDateTestLocale ALocale);

}  // namespace rtl::testing
