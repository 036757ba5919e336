// What the calendar tables' sources share: day and time arithmetic that
// holds for days before 30 December 1899 (where the time of day is
// subtracted from the day), the thread locale's week settings, and the
// week numbers of the Hijri and Hebrew tables.
#pragma once

#include "ui/foundation/calendar_tables.h"

namespace cx_calendar_detail {

// The day of the value (the integral part); 0 for a value that is not a
// number, and values beyond the 32-bit range stop at its ends.
Integer DayNumber(TDateTime ADate);
// The day with the time of day.
TDateTime ComposeDateTime(Int64 ADay, TDateTime ATime);
// The value moved by whole days, keeping its time of day.
TDateTime AddDays(TDateTime ADate, Int64 ACount);
// The time of the calendar date-time (the framework's conversion error for
// an invalid one).
TDateTime TimeOfDate(const TcxCalendarDateTime& ADate);
// The hours ... milliseconds of the value into the calendar date-time.
void SetTimeOfDate(TcxCalendarDateTime& ADate, TDateTime AValue);
// Values a Word cannot hold become 0, which the framework's encoders
// reject.
Word ToWord(Integer AValue);

// LOCALE_IFIRSTWEEKOFYEAR of the thread locale ("0" when missing) + 1.
Integer LocaleFirstWeekRule();
// LOCALE_IFIRSTDAYOFWEEK of the thread locale ("0" when missing), 0 Monday
// ... 6 Sunday, as 0 Sunday ... 6 Saturday.
Byte LocaleFirstDayOfWeek();

// The week numbers of the Hijri and Hebrew tables.
Integer TableWeekNumber(const TcxCustomCalendarTable& ATable, const TcxCalendarDateTime& ADate, Integer AFirstWeekRule);

}  // namespace cx_calendar_detail
