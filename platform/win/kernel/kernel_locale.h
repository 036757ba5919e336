// Locale queries: the items of the user's locale the program reads.
#pragma once

#include "platform/win/kernel/windef.h"

using LCID = DWORD;
using LCTYPE = DWORD;

#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_IFIRSTDAYOFWEEK 0x0000100C

// The item as text into lpLCData (cchData characters with the terminating
// null); answers the characters written with the null, or, with cchData 0,
// the characters needed. 0 with ERROR_INVALID_FLAGS for an item the layer
// does not know and ERROR_INSUFFICIENT_BUFFER when the buffer is short.
// LOCALE_IFIRSTDAYOFWEEK: "0" Monday ... "6" Sunday.
int GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData);

namespace rtl::testing {

// The first day of the week the user's locale names: 0 Monday ... 6
// Sunday; -1 goes back to the default (Sunday).
void SetLocaleFirstDayOfWeek(int day);

}  // namespace rtl::testing
