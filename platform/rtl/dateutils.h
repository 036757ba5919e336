// Dates and times: TDateTime is a double counting days since 30 Dec 1899;
// its fraction is the time of day. Before that day the value is negative
// and the time still adds to the day (-1.25 is 29 Dec 1899, 06:00), so the
// time is the absolute value of the fraction. Years run 1 to 9999 on the
// proleptic Gregorian calendar.
//
// The packed file dates (FileDateToDateTime, DateTimeToFileDate) live with
// the file functions in fileutils.h.
#pragma once

#include "platform/rtl/types.h"

struct TFormatSettings;

constexpr Integer HoursPerDay = 24;
constexpr Integer MinsPerHour = 60;
constexpr Integer SecsPerMin = 60;
constexpr Integer MSecsPerSec = 1000;
constexpr Integer MinsPerDay = HoursPerDay * MinsPerHour;
constexpr Integer SecsPerDay = MinsPerDay * SecsPerMin;
constexpr Integer MSecsPerDay = SecsPerDay * MSecsPerSec;
// Days from 1 Jan 0001 to 31 Dec 1899 (TTimeStamp's day 1 is 1 Jan 0001).
constexpr Integer DateDelta = 693594;
// Days from 30 Dec 1899 to 1 Jan 1970.
constexpr Integer UnixDateDelta = 25569;

// 1 Jan 0100 00:00 and 31 Dec 9999 23:59:59.999.
constexpr TDateTime MinDateTime = -657434.0;
constexpr TDateTime MaxDateTime = 2958465.0 + 86399999.0 / 86400000.0;

// Days in each month, [IsLeapYear(y)][month] with months 1..12 (entry 0
// is unused so the months index it directly).
extern const Word MonthDays[2][13];

bool IsLeapYear(Word year);
// 0 for a month outside 1..12.
Word DaysInAMonth(Word year, Word month);

// A moment as days since 1 Jan 0001 (that day is 1) and milliseconds
// since midnight.
struct TTimeStamp {
  Integer Time = 0;
  Integer Date = 0;
};
TTimeStamp DateTimeToTimeStamp(TDateTime dateTime);
TDateTime TimeStampToDateTime(const TTimeStamp& timeStamp);

// ---- Encoding and decoding ------------------------------------------------------
// Encoders raise EConvertError "Invalid argument to date encode" / "Invalid
// argument to time encode"; the Try forms return false instead. Decoders
// round to the nearest millisecond and give zeros for a value outside
// years 1..9999 or not a number.

TDateTime EncodeDate(Word year, Word month, Word day);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
// Hours 0..23, minutes and seconds 0..59, milliseconds 0..999.
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec);
bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec,
                       TDateTime& value);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec,
                    Word& msec);

Word YearOf(TDateTime value);
Word MonthOf(TDateTime value);
Word DayOf(TDateTime value);
Word HourOf(TDateTime value);
Word MinuteOf(TDateTime value);
Word SecondOf(TDateTime value);
Word MilliSecondOf(TDateTime value);

// 1 = Sunday .. 7 = Saturday.
Word DayOfWeek(TDateTime value);
// 1 = Monday .. 7 = Sunday.
Word DayOfTheWeek(TDateTime value);

// Moves by whole months, clipping the day to the new month's length and
// keeping the time. Raises EConvertError beyond years 1..9999.
TDateTime IncMonth(TDateTime value, Integer numberOfMonths = 1);

// ---- The clock --------------------------------------------------------------------
// Local time of the process's time zone (TZ), to the millisecond.

TDateTime Now();
TDateTime Date();
TDateTime Time();

// Seconds since 1 Jan 1970 00:00 UTC. With inputIsUTC false, the value is
// local time and is converted through the time zone.
Int64 DateTimeToUnix(TDateTime value, bool inputIsUTC = true);
// With returnUTC false, the result is local time.
TDateTime UnixToDateTime(Int64 value, bool returnUTC = true);

// ---- Text ---------------------------------------------------------------------------
// Format letters, case-insensitive: c (short date, then long time unless
// midnight), d dd ddd dddd (day, short/long day name) ddddd (short date)
// dddddd (long date), m mm mmm mmmm (month, short/long name; minutes after
// h or hh), yy yyyy, h hh, n nn, s ss, z zzz, t (short time) tt (long
// time), am/pm a/p (12-hour clock, in the case written) ampm (the
// settings' AM/PM strings), / (date separator), : (time separator),
// 'text' and "text". Other characters are copied. An empty format is "c".

AnsiString FormatDateTime(const AnsiString& format, TDateTime value);
AnsiString FormatDateTime(const AnsiString& format, TDateTime value, const TFormatSettings& fs);
void DateTimeToString(AnsiString& result, const AnsiString& format, TDateTime value);
void DateTimeToString(AnsiString& result, const AnsiString& format, TDateTime value, const TFormatSettings& fs);
AnsiString DateToStr(TDateTime value);
AnsiString DateToStr(TDateTime value, const TFormatSettings& fs);
AnsiString TimeToStr(TDateTime value);
AnsiString TimeToStr(TDateTime value, const TFormatSettings& fs);
AnsiString DateTimeToStr(TDateTime value);
AnsiString DateTimeToStr(TDateTime value, const TFormatSettings& fs);

// Parsing. A date is two or three numbers separated by DateSeparator, in
// the order of ShortDateFormat (the year missing means this year; a year
// of one or two digits falls in the TwoDigitYearCenturyWindow). A time is
// h[:n[:s[.fraction]]] with an optional AM/PM before or after it. Blanks
// are allowed between the parts. The raising forms throw EConvertError
// "'%s' is not a valid date" / "... time" / "... date and time".

TDateTime StrToDate(const AnsiString& s);
TDateTime StrToDate(const AnsiString& s, const TFormatSettings& fs);
TDateTime StrToDateDef(const AnsiString& s, TDateTime defaultValue);
TDateTime StrToDateDef(const AnsiString& s, TDateTime defaultValue, const TFormatSettings& fs);
bool TryStrToDate(const AnsiString& s, TDateTime& value);
bool TryStrToDate(const AnsiString& s, TDateTime& value, const TFormatSettings& fs);

TDateTime StrToTime(const AnsiString& s);
TDateTime StrToTime(const AnsiString& s, const TFormatSettings& fs);
TDateTime StrToTimeDef(const AnsiString& s, TDateTime defaultValue);
TDateTime StrToTimeDef(const AnsiString& s, TDateTime defaultValue, const TFormatSettings& fs);
bool TryStrToTime(const AnsiString& s, TDateTime& value);
bool TryStrToTime(const AnsiString& s, TDateTime& value, const TFormatSettings& fs);

// A date with an optional time after it, or a time alone.
TDateTime StrToDateTime(const AnsiString& s);
TDateTime StrToDateTime(const AnsiString& s, const TFormatSettings& fs);
TDateTime StrToDateTimeDef(const AnsiString& s, TDateTime defaultValue);
TDateTime StrToDateTimeDef(const AnsiString& s, TDateTime defaultValue, const TFormatSettings& fs);
bool TryStrToDateTime(const AnsiString& s, TDateTime& value);
bool TryStrToDateTime(const AnsiString& s, TDateTime& value, const TFormatSettings& fs);
