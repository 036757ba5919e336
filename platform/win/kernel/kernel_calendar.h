// Calendar queries of the locale provider (GetCalendarInfoA,
// EnumCalendarInfoA) and the test locales whose calendar is not Gregorian.
//
// Every valid locale knows every calendar 1..12 with the same data: its
// name, its two-digit year window, its eras (name, abbreviation, first
// Gregorian year) and its month names. The names are the calendars' own,
// in UTF-8.
#pragma once

#include "platform/win/kernel/kernel_locale.h"

using CALID = DWORD;
using CALTYPE = DWORD;

// Calendar identifiers.
constexpr CALID CAL_GREGORIAN = 1;
constexpr CALID CAL_GREGORIAN_US = 2;
constexpr CALID CAL_JAPAN = 3;
constexpr CALID CAL_TAIWAN = 4;
constexpr CALID CAL_KOREA = 5;
constexpr CALID CAL_HIJRI = 6;
constexpr CALID CAL_THAI = 7;
constexpr CALID CAL_HEBREW = 8;
constexpr CALID CAL_GREGORIAN_ME_FRENCH = 9;
constexpr CALID CAL_GREGORIAN_ARABIC = 10;
constexpr CALID CAL_GREGORIAN_XLIT_ENGLISH = 11;
constexpr CALID CAL_GREGORIAN_XLIT_FRENCH = 12;
// EnumCalendarInfoA: the calendars of the locale.
constexpr CALID ENUM_ALL_CALENDARS = 0xFFFFFFFF;

// Flags combined with an item (the values of the LOCALE_ flags).
constexpr CALTYPE CAL_NOUSEROVERRIDE = LOCALE_NOUSEROVERRIDE;
constexpr CALTYPE CAL_USE_CP_ACP = LOCALE_USE_CP_ACP;
constexpr CALTYPE CAL_RETURN_NUMBER = LOCALE_RETURN_NUMBER;

// Items.
constexpr CALTYPE CAL_ICALINTVALUE = 0x0001;
constexpr CALTYPE CAL_SCALNAME = 0x0002;
// The first Gregorian year of the era, as text.
constexpr CALTYPE CAL_IYEAROFFSETRANGE = 0x0003;
constexpr CALTYPE CAL_SERASTRING = 0x0004;
constexpr CALTYPE CAL_SMONTHNAME1 = 0x0015;
constexpr CALTYPE CAL_SMONTHNAME13 = 0x0021;
constexpr CALTYPE CAL_SABBREVMONTHNAME1 = 0x0022;
constexpr CALTYPE CAL_SABBREVMONTHNAME13 = 0x002E;
constexpr CALTYPE CAL_ITWODIGITYEARMAX = 0x0030;
constexpr CALTYPE CAL_SABBREVERASTRING = 0x0039;

// Writes the item of the calendar with its terminating zero and returns the
// characters written; with cchData 0 returns the size needed. The era items
// answer the latest era. With CAL_RETURN_NUMBER a numeric item
// (CAL_ICALINTVALUE, CAL_ITWODIGITYEARMAX) goes to *lpValue, lpCalData must
// be null and cchData 0, and the result is the size of a DWORD. Fails (0)
// with ERROR_INVALID_PARAMETER for an unknown locale or calendar, a bad
// buffer or a missing lpValue, ERROR_INVALID_FLAGS for an unknown item or a
// text item asked for as a number, ERROR_INSUFFICIENT_BUFFER when the text
// does not fit.
int GetCalendarInfoA(LCID Locale, CALID Calendar, CALTYPE CalType, LPSTR lpCalData, int cchData, DWORD* lpValue);

// Called once per value; FALSE stops the enumeration.
using CALINFO_ENUMPROCA = BOOL (*)(LPSTR lpCalendarInfoString);

// Hands each value of the item to the procedure: every era, oldest first,
// for CAL_SERASTRING, CAL_SABBREVERASTRING and CAL_IYEAROFFSETRANGE; the
// one value for the other items. ENUM_ALL_CALENDARS walks the locale's
// calendar (LOCALE_ICALENDARTYPE) and then the Gregorian one when it
// differs. Fails (FALSE) like GetCalendarInfoA; CAL_RETURN_NUMBER is not
// accepted (ERROR_INVALID_FLAGS).
BOOL EnumCalendarInfoA(CALINFO_ENUMPROCA lpCalInfoEnumProc, LCID Locale, CALID Calendar, CALTYPE CalType);

namespace rtl::testing {

// Makes a test locale the user's (and every thread's) locale: en-US items,
// with the calendar as LOCALE_ICALENDARTYPE and LOCALE_IOPTIONALCALENDAR
// and the calendar's month names as the locale's. Calendars 3..8 have the
// identifiers of the locales that use them (ja-JP, zh-TW, ko-KR, ar-SA,
// th-TH, he-IL); the others are en-US. ResetLocale goes back.
void InstallCalendarLocale(CALID Calendar);

}  // namespace rtl::testing
