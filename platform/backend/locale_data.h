// The system's locale database (CLDR data through Qt), for the locale
// provider of the Win32 layer: names, date and time patterns, separators
// and the first day of the week of a locale. No Qt type appears here.
#pragma once

#include "platform/rtl/types.h"

namespace rtl::backend {

struct TLocaleFacts {
  AnsiString Name;  // BCP 47 form: "de-DE"
  AnsiString IsoLanguage, IsoCountry;
  AnsiString EnglishLanguage, EnglishCountry, NativeLanguage, NativeCountry;
  // Monday first, as the host's locale items count them.
  AnsiString LongDayNames[7], ShortDayNames[7], NarrowDayNames[7];
  AnsiString LongMonthNames[12], ShortMonthNames[12];
  // Patterns in the database's own syntax (d, M, y, h/H, m, s, AP, t,
  // quoted literals).
  AnsiString ShortDatePattern, LongDatePattern, ShortTimePattern, LongTimePattern;
  AnsiString AmText, PmText;
  AnsiString DecimalPoint, GroupSeparator, NegativeSign, PositiveSign, CurrencySymbol;
  int FirstDayOfWeek = 7;  // 1 Monday ... 7 Sunday
};

// The facts of a locale named as in the environment ("de_DE", "fr");
// false when the database does not know the language.
bool LookupLocale(const AnsiString& name, TLocaleFacts& facts);

}  // namespace rtl::backend
