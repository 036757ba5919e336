// The locale provider: locale identifiers, the user's and the thread's
// locale, and locale items (GetLocaleInfoA).
//
// The user default locale follows the environment (LC_ALL, then LC_TIME,
// then LANG): en-US when none is set, or for "C" and "POSIX". en-US data is
// the layer's own and matches the original platform's values; any other
// locale takes its names, date and time formats and first day of the week
// from the system's locale database and is identified as
// LOCALE_CUSTOM_DEFAULT. A language the database does not know gives en-US.
#pragma once

#include <utility>
#include <vector>

#include "platform/win/kernel/windef.h"

using LCID = DWORD;
using LCTYPE = DWORD;
using LANGID = WORD;

constexpr LCID LOCALE_NEUTRAL = 0x0000;
constexpr LCID LOCALE_INVARIANT = 0x007F;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCID LOCALE_CUSTOM_DEFAULT = 0x0C00;
// en-US.
constexpr LCID LOCALE_EN_US = 0x0409;

constexpr LANGID LANGIDFROMLCID(LCID lcid) { return static_cast<LANGID>(lcid & 0xFFFF); }
constexpr WORD PRIMARYLANGID(LANGID lang) { return static_cast<WORD>(lang & 0x3FF); }
constexpr WORD SUBLANGID(LANGID lang) { return static_cast<WORD>(lang >> 10); }

// Flags combined with an item.
constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;
constexpr LCTYPE LOCALE_USE_CP_ACP = 0x40000000;
constexpr LCTYPE LOCALE_RETURN_NUMBER = 0x20000000;

// Items.
constexpr LCTYPE LOCALE_ILANGUAGE = 0x0001;
constexpr LCTYPE LOCALE_SLANGUAGE = 0x0002;
constexpr LCTYPE LOCALE_SABBREVLANGNAME = 0x0003;
constexpr LCTYPE LOCALE_SNATIVELANGNAME = 0x0004;
constexpr LCTYPE LOCALE_ICOUNTRY = 0x0005;
constexpr LCTYPE LOCALE_SCOUNTRY = 0x0006;
constexpr LCTYPE LOCALE_SABBREVCTRYNAME = 0x0007;
constexpr LCTYPE LOCALE_SNATIVECTRYNAME = 0x0008;
constexpr LCTYPE LOCALE_SLIST = 0x000C;
constexpr LCTYPE LOCALE_IMEASURE = 0x000D;
constexpr LCTYPE LOCALE_SDECIMAL = 0x000E;
constexpr LCTYPE LOCALE_STHOUSAND = 0x000F;
constexpr LCTYPE LOCALE_SGROUPING = 0x0010;
constexpr LCTYPE LOCALE_IDIGITS = 0x0011;
constexpr LCTYPE LOCALE_ILZERO = 0x0012;
constexpr LCTYPE LOCALE_SCURRENCY = 0x0014;
constexpr LCTYPE LOCALE_SINTLSYMBOL = 0x0015;
constexpr LCTYPE LOCALE_SMONDECIMALSEP = 0x0016;
constexpr LCTYPE LOCALE_SMONTHOUSANDSEP = 0x0017;
constexpr LCTYPE LOCALE_SMONGROUPING = 0x0018;
constexpr LCTYPE LOCALE_ICURRDIGITS = 0x0019;
constexpr LCTYPE LOCALE_ICURRENCY = 0x001B;
constexpr LCTYPE LOCALE_INEGCURR = 0x001C;
constexpr LCTYPE LOCALE_SDATE = 0x001D;
constexpr LCTYPE LOCALE_STIME = 0x001E;
constexpr LCTYPE LOCALE_SSHORTDATE = 0x001F;
constexpr LCTYPE LOCALE_SLONGDATE = 0x0020;
constexpr LCTYPE LOCALE_IDATE = 0x0021;
constexpr LCTYPE LOCALE_ILDATE = 0x0022;
constexpr LCTYPE LOCALE_ITIME = 0x0023;
constexpr LCTYPE LOCALE_ICENTURY = 0x0024;
constexpr LCTYPE LOCALE_ITLZERO = 0x0025;
constexpr LCTYPE LOCALE_IDAYLZERO = 0x0026;
constexpr LCTYPE LOCALE_IMONLZERO = 0x0027;
constexpr LCTYPE LOCALE_S1159 = 0x0028;
constexpr LCTYPE LOCALE_S2359 = 0x0029;
// Day names: 1 is Monday, 7 Sunday.
constexpr LCTYPE LOCALE_SDAYNAME1 = 0x002A;
constexpr LCTYPE LOCALE_SDAYNAME7 = 0x0030;
constexpr LCTYPE LOCALE_SABBREVDAYNAME1 = 0x0031;
constexpr LCTYPE LOCALE_SABBREVDAYNAME7 = 0x0037;
constexpr LCTYPE LOCALE_SMONTHNAME1 = 0x0038;
constexpr LCTYPE LOCALE_SMONTHNAME12 = 0x0043;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME1 = 0x0044;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME12 = 0x004F;
constexpr LCTYPE LOCALE_SPOSITIVESIGN = 0x0050;
constexpr LCTYPE LOCALE_SNEGATIVESIGN = 0x0051;
constexpr LCTYPE LOCALE_SISO639LANGNAME = 0x0059;
constexpr LCTYPE LOCALE_SISO3166CTRYNAME = 0x005A;
constexpr LCTYPE LOCALE_SNAME = 0x005C;
constexpr LCTYPE LOCALE_SSHORTESTDAYNAME1 = 0x0060;
constexpr LCTYPE LOCALE_SSHORTESTDAYNAME7 = 0x0066;
constexpr LCTYPE LOCALE_SSHORTTIME = 0x0079;
constexpr LCTYPE LOCALE_SENGLANGUAGE = 0x1001;
constexpr LCTYPE LOCALE_SENGCOUNTRY = 0x1002;
constexpr LCTYPE LOCALE_STIMEFORMAT = 0x1003;
constexpr LCTYPE LOCALE_ITIMEMARKPOSN = 0x1005;
constexpr LCTYPE LOCALE_SYEARMONTH = 0x1006;
constexpr LCTYPE LOCALE_ICALENDARTYPE = 0x1009;
constexpr LCTYPE LOCALE_IOPTIONALCALENDAR = 0x100B;
constexpr LCTYPE LOCALE_IFIRSTDAYOFWEEK = 0x100C;
constexpr LCTYPE LOCALE_IFIRSTWEEKOFYEAR = 0x100D;
constexpr LCTYPE LOCALE_SMONTHNAME13 = 0x100E;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME13 = 0x100F;
constexpr LCTYPE LOCALE_INEGNUMBER = 0x1010;

// The locale of the user (from the environment) and of the calling thread
// (the user's until SetThreadLocale).
LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();
LANGID GetUserDefaultLangID();
LCID GetThreadLocale();
// LOCALE_USER_DEFAULT and LOCALE_SYSTEM_DEFAULT mean the user's locale.
// FALSE with ERROR_INVALID_PARAMETER for a locale the provider lacks.
BOOL SetThreadLocale(LCID Locale);
// Whether the provider has the locale (the flags are not checked).
BOOL IsValidLocale(LCID Locale, DWORD dwFlags);

// Writes the item with its terminating zero and returns the characters
// written; with cchData 0 returns the size needed. With
// LOCALE_RETURN_NUMBER a numeric item is written as a DWORD (4 bytes, the
// result 4). Fails (0) with ERROR_INVALID_PARAMETER for an unknown locale
// or bad buffer, ERROR_INVALID_FLAGS for an item the locale lacks (or a
// text item asked for as a number), ERROR_INSUFFICIENT_BUFFER when it does
// not fit.
int GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData);
inline int GetLocaleInfo(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData) {
  return GetLocaleInfoA(Locale, LCType, lpLCData, cchData);
}

namespace rtl::detail {
// The items of the layer's en-US locale, for test locales built on it.
std::vector<std::pair<LCTYPE, AnsiString>> EnUsLocaleItems();
}  // namespace rtl::detail

namespace rtl::testing {

// Makes a table of items the user's (and every thread's) locale under the
// identifier `lcid`; items the table lacks are missing.
void InstallLocaleTable(LCID lcid, const std::vector<std::pair<LCTYPE, AnsiString>>& items);
// Back to the locale of the environment, read again now.
void ResetLocale();

}  // namespace rtl::testing
