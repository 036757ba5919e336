// The date conversions of OLE automation: text to date (VarDateFromStr),
// date to text (VarBstrFromDate), over the locale provider; the BSTR
// strings are those of oleacc.h.
//
// VarDateFromStr reads free-form text: numbers separated by the locale's
// date separator, "/", "-", ".", "," or blanks, in the order of the
// locale's short date picture (month-day-year, day-month-year or
// year-month-day), with month names (long or short, any letter case) in
// place of a month number, and an optional time h[:m[:s]] with the
// locale's time separator or ":", followed or preceded by the locale's
// AM/PM designator (or "AM"/"PM", "A"/"P"). Two date numbers without a
// month name are the month and day of the locale's order in the current
// year; a number of three or more digits, or above 31, is the year
// wherever it stands. Years of one or two digits mean 1930 to 2029. A time
// alone is on 30 December 1899. Day names and the text after a recognised
// date are not accepted.
#pragma once

#include "platform/rtl/types.h"
#include "platform/win/kernel/kernel_locale.h"
#include "platform/win/kernel/objidl.h"
#include "platform/win/oleacc/oleacc.h"

using LPCOLESTR = const OLECHAR*;
using DATE = double;

constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000A);

// Flags of the conversions.
constexpr ULONG VAR_TIMEVALUEONLY = 0x00000001;
constexpr ULONG VAR_DATEVALUEONLY = 0x00000002;

// S_OK with the date; DISP_E_TYPEMISMATCH for text that is not a date or
// names a day the calendar lacks; DISP_E_OVERFLOW for a year outside 100 to
// 9999; E_INVALIDARG for a null argument or an unknown locale.
// VAR_TIMEVALUEONLY keeps only the time, VAR_DATEVALUEONLY only the date.
HRESULT VarDateFromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, DATE* pdateOut);

// The date as the locale's short date, then a blank and the locale's time
// (LOCALE_STIMEFORMAT) when it has a time of day; a date of day 0 gives
// only the time; day 0 at midnight gives the time "12:00:00 AM" of the
// locale's picture. VAR_DATEVALUEONLY and VAR_TIMEVALUEONLY keep one part.
// DISP_E_OVERFLOW outside 1 January 100 to 31 December 9999; E_INVALIDARG
// for a null output or an unknown locale. The caller frees the string.
HRESULT VarBstrFromDate(DATE dateIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut);
