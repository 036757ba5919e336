#include "platform/rtl/dateutils.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <string_view>
#include <utility>

#include "platform/rtl/mathutils.h"
#include "platform/rtl/sysutils.h"

const Word MonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                               {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

Word DaysInAMonth(Word year, Word month) { return month >= 1 && month <= 12 ? MonthDays[IsLeapYear(year)][month] : 0; }

namespace {

// Days of 1 Jan 0001 and 31 Dec 9999 as TDateTime day numbers.
constexpr Int64 kFirstDay = 1 - DateDelta;
constexpr Int64 kLastDay = 2958465;

// Civil dates and TDateTime day numbers (proleptic Gregorian).
Int64 DayFromCivil(Int64 y, Int64 m, Int64 d) {
  y -= m <= 2;
  const Int64 era = (y >= 0 ? y : y - 399) / 400;
  const Int64 yoe = y - era * 400;
  const Int64 doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const Int64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + UnixDateDelta;
}

void CivilFromDay(Int64 day, Int64& y, Word& m, Word& d) {
  const Int64 z = day - UnixDateDelta + 719468;
  const Int64 era = (z >= 0 ? z : z - 146096) / 146097;
  const Int64 doe = z - era * 146097;
  const Int64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const Int64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const Int64 mp = (5 * doy + 2) / 153;
  d = static_cast<Word>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<Word>(mp < 10 ? mp + 3 : mp - 9);
  y = yoe + era * 400 + (m <= 2);
}

// The day number and the milliseconds since midnight, rounded to the
// millisecond (a time that rounds up to midnight moves to the next day).
// False for a value that is not a number or is far out of range.
bool Split(TDateTime v, Int64& day, Int64& ms) {
  if (!(std::fabs(v) < 1e9)) return false;
  double whole;
  const double frac = std::modf(v, &whole);
  day = static_cast<Int64>(whole);
  ms = std::llround(std::fabs(frac) * MSecsPerDay);
  if (ms >= MSecsPerDay) {
    ms -= MSecsPerDay;
    ++day;
  }
  return true;
}

bool SplitInRange(TDateTime v, Int64& day, Int64& ms) { return Split(v, day, ms) && day >= kFirstDay && day <= kLastDay; }

// The inverse of Split: the time adds to the day in the direction away
// from zero.
TDateTime Compose(Int64 day, Int64 ms) {
  const double t = static_cast<double>(ms) / MSecsPerDay;
  return day >= 0 ? static_cast<double>(day) + t : static_cast<double>(day) - t;
}

[[noreturn]] void DateEncodeError() { throw EConvertError("Invalid argument to date encode"); }
[[noreturn]] void TimeEncodeError() { throw EConvertError("Invalid argument to time encode"); }

bool ValidDate(Word y, Word m, Word d) { return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInAMonth(y, m); }
bool ValidTime(Word h, Word n, Word s, Word ms) { return h < HoursPerDay && n < MinsPerHour && s < SecsPerMin && ms < MSecsPerSec; }
Int64 TimeMs(Word h, Word n, Word s, Word ms) { return ((Int64(h) * 60 + n) * 60 + s) * 1000 + ms; }

Int64 FloorDiv(Int64 a, Int64 b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

}  // namespace

TTimeStamp DateTimeToTimeStamp(TDateTime dateTime) {
  TTimeStamp ts;
  Int64 day, ms;
  if (SplitInRange(dateTime, day, ms)) {
    ts.Date = static_cast<Integer>(day + DateDelta);
    ts.Time = static_cast<Integer>(ms);
  }
  return ts;
}

TDateTime TimeStampToDateTime(const TTimeStamp& timeStamp) {
  return Compose(Int64(timeStamp.Date) - DateDelta, timeStamp.Time);
}

// ---- Encoding and decoding --------------------------------------------------------

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) {
  if (!ValidDate(year, month, day)) return false;
  date = static_cast<double>(DayFromCivil(year, month, day));
  return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime r;
  if (!TryEncodeDate(year, month, day, r)) DateEncodeError();
  return r;
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
  Int64 d, ms, y;
  if (!SplitInRange(date, d, ms)) {
    year = month = day = 0;
    return;
  }
  CivilFromDay(d, y, month, day);
  year = static_cast<Word>(y);
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) {
  if (!ValidTime(hour, min, sec, msec)) return false;
  time = static_cast<double>(TimeMs(hour, min, sec, msec)) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime r;
  if (!TryEncodeTime(hour, min, sec, msec, r)) TimeEncodeError();
  return r;
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
  Int64 day, ms;
  if (!Split(time, day, ms)) ms = 0;
  hour = static_cast<Word>(ms / 3600000);
  min = static_cast<Word>(ms / 60000 % 60);
  sec = static_cast<Word>(ms / 1000 % 60);
  msec = static_cast<Word>(ms % 1000);
}

bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec,
                       TDateTime& value) {
  if (!ValidDate(year, month, day) || !ValidTime(hour, min, sec, msec)) return false;
  value = Compose(DayFromCivil(year, month, day), TimeMs(hour, min, sec, msec));
  return true;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec) {
  if (!ValidDate(year, month, day)) DateEncodeError();
  if (!ValidTime(hour, min, sec, msec)) TimeEncodeError();
  return Compose(DayFromCivil(year, month, day), TimeMs(hour, min, sec, msec));
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec,
                    Word& msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, min, sec, msec);
}

namespace {
struct TDateParts {
  Word Year, Month, Day;
};
struct TTimeParts {
  Word Hour, Min, Sec, MSec;
};

TDateParts DateParts(TDateTime value) {
  TDateParts p;
  DecodeDate(value, p.Year, p.Month, p.Day);
  return p;
}

TTimeParts TimeParts(TDateTime value) {
  TTimeParts p;
  DecodeTime(value, p.Hour, p.Min, p.Sec, p.MSec);
  return p;
}
}  // namespace

Word YearOf(TDateTime value) { return DateParts(value).Year; }
Word MonthOf(TDateTime value) { return DateParts(value).Month; }
Word DayOf(TDateTime value) { return DateParts(value).Day; }
Word HourOf(TDateTime value) { return TimeParts(value).Hour; }
Word MinuteOf(TDateTime value) { return TimeParts(value).Min; }
Word SecondOf(TDateTime value) { return TimeParts(value).Sec; }
Word MilliSecondOf(TDateTime value) { return TimeParts(value).MSec; }

Word DayOfWeek(TDateTime value) {
  Int64 day, ms;
  if (!SplitInRange(value, day, ms)) return 0;
  // Day 1 of the time stamps, 1 Jan 0001, was a Monday.
  return static_cast<Word>((day + DateDelta) % 7 + 1);
}

Word DayOfTheWeek(TDateTime value) {
  Word d = DayOfWeek(value);
  return d == 0 ? 0 : static_cast<Word>((d + 5) % 7 + 1);
}

TDateTime IncMonth(TDateTime value, Integer numberOfMonths) {
  Int64 day, ms, y;
  Word m, d;
  if (!SplitInRange(value, day, ms)) DateEncodeError();
  CivilFromDay(day, y, m, d);
  const Int64 total = y * 12 + (m - 1) + numberOfMonths;
  const Int64 ny = FloorDiv(total, 12);
  const Word nm = static_cast<Word>(total - ny * 12 + 1);
  if (ny < 1 || ny > 9999) DateEncodeError();
  const Word nd = std::min(d, DaysInAMonth(static_cast<Word>(ny), nm));
  return Compose(DayFromCivil(ny, nm, nd), ms);
}

// ---- The clock ------------------------------------------------------------------------

TDateTime Now() {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  tm lt;
  localtime_r(&ts.tv_sec, &lt);
  const Int64 day = DayFromCivil(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday);
  const Word sec = static_cast<Word>(std::min(lt.tm_sec, 59));  // no leap seconds in TDateTime
  return Compose(day, TimeMs(static_cast<Word>(lt.tm_hour), static_cast<Word>(lt.tm_min), sec,
                             static_cast<Word>(ts.tv_nsec / 1000000)));
}

TDateTime Date() { return std::trunc(Now()); }
TDateTime Time() { return Frac(Now()); }

Int64 DateTimeToUnix(TDateTime value, bool inputIsUTC) {
  Int64 day, ms;
  if (!Split(value, day, ms)) throw EInvalidOp("Invalid floating point operation");
  const Int64 secs = (day - UnixDateDelta) * SecsPerDay + (ms + 500) / 1000;
  if (inputIsUTC) return secs;
  // The wall-clock fields, resolved through the time zone.
  time_t wall = static_cast<time_t>(secs);
  tm fields;
  if (!gmtime_r(&wall, &fields)) return secs;
  fields.tm_isdst = -1;
  const time_t t = mktime(&fields);
  return t == static_cast<time_t>(-1) ? secs : static_cast<Int64>(t);
}

TDateTime UnixToDateTime(Int64 value, bool returnUTC) {
  if (!returnUTC) {
    time_t t = static_cast<time_t>(value);
    tm lt;
    if (localtime_r(&t, &lt)) value = static_cast<Int64>(timegm(&lt));
  }
  const Int64 day = FloorDiv(value, SecsPerDay);
  return Compose(day + UnixDateDelta, (value - day * SecsPerDay) * 1000);
}

// ---- Formatting ---------------------------------------------------------------------------

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool MatchesNoCase(std::string_view s, size_t at, std::string_view word) {
  if (s.size() - at < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k)
    if (Upper(s[at + k]) != Upper(word[k])) return false;
  return true;
}

// Length of an am/pm specifier at s[at], 0 when there is none.
size_t AmPmLength(std::string_view s, size_t at) {
  if (MatchesNoCase(s, at, "am/pm")) return 5;
  if (MatchesNoCase(s, at, "ampm")) return 4;
  if (MatchesNoCase(s, at, "a/p")) return 3;
  return 0;
}

// Whether the hour at `from` shows on a 12-hour clock: an am/pm specifier
// follows before the next hour.
bool TwelveHour(std::string_view f, size_t from) {
  char quote = 0;
  for (size_t k = from; k < f.size(); ++k) {
    char c = f[k];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == 'h' || c == 'H') {
      return false;
    } else if (c == 'a' || c == 'A') {
      return AmPmLength(f, k) > 0;
    }
  }
  return false;
}

class TDateFormatter {
  const TFormatSettings& fs_;
  AnsiString& out_;
  size_t limit_;
  Word year_, month_, day_, dow_, hour_, min_, sec_, msec_;

  void Number(unsigned v, int width) {
    char buf[8];
    int n = 0;
    do {
      buf[n++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v && n < 8);
    for (int k = n; k < width; ++k) out_ += '0';
    while (n) out_ += buf[--n];
  }
  void Name(const AnsiString* names, int count, int index) {
    if (index >= 1 && index <= count) out_ += names[index - 1];
  }
  void Nested(const AnsiString& f, int level) {
    if (level < 2) Append(f, level + 1);
  }

 public:
  // Nested formats can repeat each other: a few hundred "c" in the short
  // date format made megabytes of text. The result may exceed its format by
  // at most kMaxDateExpansion bytes; more is refused.
  static constexpr size_t kMaxDateExpansion = 65536;

  TDateFormatter(const TFormatSettings& fs, AnsiString& out, TDateTime value, size_t formatLength)
      : fs_(fs), out_(out), limit_(formatLength + kMaxDateExpansion) {
    DecodeDateTime(value, year_, month_, day_, hour_, min_, sec_, msec_);
    dow_ = DayOfWeek(value);
  }

  void Append(std::string_view f, int level) {
    char lastToken = ' ';
    size_t i = 0;
    while (i < f.size()) {
      const char c = f[i];
      size_t run = 1;
      while (i + run < f.size() && f[i + run] == c) ++run;
      char token = Upper(c);
      if (IsAsciiLetter(c)) {
        if (token == 'M' && lastToken == 'H') token = 'N';
        lastToken = token;
      }
      switch (token) {
        case 'Y':
          if (run <= 2)
            Number(year_ % 100, 2);
          else
            Number(year_, 4);
          break;
        case 'M':
          if (run <= 2)
            Number(month_, static_cast<int>(run));
          else
            Name(run == 3 ? fs_.ShortMonthNames : fs_.LongMonthNames, 12, month_);
          break;
        case 'N': Number(min_, run == 1 ? 1 : 2); break;
        case 'S': Number(sec_, run == 1 ? 1 : 2); break;
        case 'Z': Number(msec_, run <= 2 ? 1 : 3); break;
        case 'H': {
          unsigned h = hour_;
          if (TwelveHour(f, i + run)) h = h % 12 == 0 ? 12 : h % 12;
          Number(h, run == 1 ? 1 : 2);
          break;
        }
        case 'D':
          switch (run) {
            case 1:
            case 2: Number(day_, static_cast<int>(run)); break;
            case 3: Name(fs_.ShortDayNames, 7, dow_); break;
            case 4: Name(fs_.LongDayNames, 7, dow_); break;
            case 5: Nested(fs_.ShortDateFormat, level); break;
            default: Nested(fs_.LongDateFormat, level); break;
          }
          break;
        case 'T': Nested(run == 1 ? fs_.ShortTimeFormat : fs_.LongTimeFormat, level); break;
        case 'C':
          for (size_t k = 0; k < run; ++k) {
            Nested(fs_.ShortDateFormat, level);
            if (hour_ || min_ || sec_ || msec_) {
              out_ += ' ';
              Nested(fs_.LongTimeFormat, level);
            }
          }
          break;
        case 'A': {
          size_t len = AmPmLength(f, i);
          if (len == 0) {
            out_ += c;
            run = 1;
            break;
          }
          const bool am = hour_ < 12;
          if (len == 5)
            out_.append(f.substr(am ? i : i + 3, 2));
          else if (len == 3)
            out_ += f[am ? i : i + 2];
          else
            out_ += am ? fs_.TimeAMString : fs_.TimePMString;
          run = len;
          break;
        }
        case '/':
          out_ += fs_.DateSeparator;
          run = 1;
          break;
        case ':':
          out_ += fs_.TimeSeparator;
          run = 1;
          break;
        case '\'':
        case '"': {
          size_t close = f.find(c, i + 1);
          if (close == std::string_view::npos) close = f.size();
          out_.append(f.substr(i + 1, close - i - 1));
          run = close + 1 - i;
          break;
        }
        default:
          out_ += c;
          run = 1;
          break;
      }
      i = std::min(f.size(), i + run);
      if (out_.size() > limit_) throw EConvertError("Formatted date and time text too long");
    }
  }
};

}  // namespace

void DateTimeToString(AnsiString& result, const AnsiString& format, TDateTime value, const TFormatSettings& fs) {
  AnsiString text;
  TDateFormatter(fs, text, value, format.size())
      .Append(format.empty() ? std::string_view("C") : std::string_view(format), 0);
  result = std::move(text);
}

void DateTimeToString(AnsiString& result, const AnsiString& format, TDateTime value) {
  DateTimeToString(result, format, value, FormatSettings);
}

AnsiString FormatDateTime(const AnsiString& format, TDateTime value, const TFormatSettings& fs) {
  AnsiString r;
  DateTimeToString(r, format, value, fs);
  return r;
}

AnsiString FormatDateTime(const AnsiString& format, TDateTime value) { return FormatDateTime(format, value, FormatSettings); }
AnsiString DateToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime(fs.ShortDateFormat, value, fs); }
AnsiString DateToStr(TDateTime value) { return DateToStr(value, FormatSettings); }
AnsiString TimeToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime(fs.LongTimeFormat, value, fs); }
AnsiString TimeToStr(TDateTime value) { return TimeToStr(value, FormatSettings); }
AnsiString DateTimeToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime("c", value, fs); }
AnsiString DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings); }

// ---- Parsing --------------------------------------------------------------------------------

namespace {

class TDateScanner {
  std::string_view s_;
  size_t pos_ = 0;
  const TFormatSettings& fs_;

  void SkipBlanks() {
    while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
  }
  bool Number(unsigned& value, int& digits) {
    SkipBlanks();
    value = 0;
    digits = 0;
    while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
      if (value < 100000) value = value * 10 + static_cast<unsigned>(s_[pos_] - '0');
      ++digits;
      ++pos_;
    }
    return digits > 0 && value <= 65535;
  }
  bool Char(char c) {
    const size_t start = pos_;
    SkipBlanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    if (c == ' ' && pos_ > start) return true;  // a blank separator was skipped
    pos_ = start;
    return false;
  }
  bool Keyword(const AnsiString& w) {
    SkipBlanks();
    if (w.empty() || !MatchesNoCase(s_, pos_, w)) return false;
    pos_ += w.size();
    return true;
  }
  // Milliseconds from the digits of a fraction of a second.
  bool Fraction(unsigned& msec) {
    SkipBlanks();
    msec = 0;
    int digits = 0;
    for (; pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9'; ++pos_, ++digits)
      if (digits < 3) msec = msec * 10 + static_cast<unsigned>(s_[pos_] - '0');
    for (int k = digits; k < 3; ++k) msec *= 10;
    return digits > 0;
  }
  // -1 when absent, 0 for AM, 12 for PM.
  int AmPm() {
    if (Keyword(fs_.TimeAMString) || Keyword("AM")) return 0;
    if (Keyword(fs_.TimePMString) || Keyword("PM")) return 12;
    return -1;
  }

 public:
  TDateScanner(const AnsiString& s, const TFormatSettings& fs) : s_(s), fs_(fs) {}

  void Rewind() { pos_ = 0; }
  bool AtEnd() {
    SkipBlanks();
    return pos_ == s_.size();
  }

  bool ScanDate(TDateTime& date) {
    enum { kMDY, kDMY, kYMD } order = kMDY;
    for (char c : fs_.ShortDateFormat) {
      char u = Upper(c);
      if (u == 'Y' || u == 'E') order = kYMD;
      else if (u == 'M') order = kMDY;
      else if (u == 'D') order = kDMY;
      else continue;
      break;
    }
    unsigned n1, n2, n3, y, m, d;
    int l1, l2, l3, yearDigits;
    if (!Number(n1, l1) || !Char(fs_.DateSeparator) || !Number(n2, l2)) return false;
    if (Char(fs_.DateSeparator)) {
      if (!Number(n3, l3)) return false;
      switch (order) {
        case kMDY: m = n1, d = n2, y = n3, yearDigits = l3; break;
        case kDMY: d = n1, m = n2, y = n3, yearDigits = l3; break;
        default: y = n1, m = n2, d = n3, yearDigits = l1; break;
      }
    } else {
      y = YearOf(Now());
      yearDigits = 4;
      if (order == kDMY)
        d = n1, m = n2;
      else
        m = n1, d = n2;
    }
    if (yearDigits <= 2 && y <= 99) {
      const int window = fs_.TwoDigitYearCenturyWindow;
      const int century = static_cast<int>(YearOf(Now())) - window;
      y += static_cast<unsigned>(century / 100 * 100);
      if (window > 0 && static_cast<int>(y) < century) y += 100;
    }
    if (y > 65535 || m > 65535 || d > 65535) return false;
    return TryEncodeDate(static_cast<Word>(y), static_cast<Word>(m), static_cast<Word>(d), date);
  }

  bool ScanTime(TDateTime& time) {
    int base = AmPm();
    unsigned h, n = 0, sec = 0, ms = 0;
    int digits;
    if (!Number(h, digits)) return false;
    if (Char(fs_.TimeSeparator)) {
      if (!Number(n, digits)) return false;
      if (Char(fs_.TimeSeparator)) {
        if (!Number(sec, digits)) return false;
        if (Char(fs_.DecimalSeparator) && !Fraction(ms)) return false;
      }
    }
    if (base < 0) base = AmPm();
    if (base >= 0) {
      if (h == 0 || h > 12) return false;
      if (h == 12) h = 0;
      h += static_cast<unsigned>(base);
    }
    if (h > 23 || n > 59 || sec > 59) return false;
    return TryEncodeTime(static_cast<Word>(h), static_cast<Word>(n), static_cast<Word>(sec),
                         static_cast<Word>(ms), time);
  }
};

}  // namespace

bool TryStrToDate(const AnsiString& s, TDateTime& value, const TFormatSettings& fs) {
  TDateScanner sc(s, fs);
  TDateTime d;
  if (!sc.ScanDate(d) || !sc.AtEnd()) return false;
  value = d;
  return true;
}

bool TryStrToTime(const AnsiString& s, TDateTime& value, const TFormatSettings& fs) {
  TDateScanner sc(s, fs);
  TDateTime t;
  if (!sc.ScanTime(t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

bool TryStrToDateTime(const AnsiString& s, TDateTime& value, const TFormatSettings& fs) {
  TDateScanner sc(s, fs);
  TDateTime d, t;
  if (sc.ScanDate(d)) {
    if (sc.AtEnd()) {
      value = d;
      return true;
    }
    if (!sc.ScanTime(t) || !sc.AtEnd()) return false;
    value = d >= 0 ? d + t : d - t;
    return true;
  }
  sc.Rewind();
  if (!sc.ScanTime(t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

namespace {

using TTryParse = bool (*)(const AnsiString&, TDateTime&, const TFormatSettings&);

TDateTime ParseOrRaise(TTryParse parse, const AnsiString& s, const TFormatSettings& fs, const char* what) {
  TDateTime v;
  if (!parse(s, v, fs)) throw EConvertError("'" + s + "' is not a valid " + what);
  return v;
}

TDateTime ParseOrDefault(TTryParse parse, const AnsiString& s, TDateTime def, const TFormatSettings& fs) {
  TDateTime v;
  return parse(s, v, fs) ? v : def;
}

}  // namespace

bool TryStrToDate(const AnsiString& s, TDateTime& value) { return TryStrToDate(s, value, FormatSettings); }
bool TryStrToTime(const AnsiString& s, TDateTime& value) { return TryStrToTime(s, value, FormatSettings); }
bool TryStrToDateTime(const AnsiString& s, TDateTime& value) { return TryStrToDateTime(s, value, FormatSettings); }

TDateTime StrToDate(const AnsiString& s, const TFormatSettings& fs) { return ParseOrRaise(TryStrToDate, s, fs, "date"); }
TDateTime StrToDate(const AnsiString& s) { return StrToDate(s, FormatSettings); }
TDateTime StrToTime(const AnsiString& s, const TFormatSettings& fs) { return ParseOrRaise(TryStrToTime, s, fs, "time"); }
TDateTime StrToTime(const AnsiString& s) { return StrToTime(s, FormatSettings); }
TDateTime StrToDateTime(const AnsiString& s, const TFormatSettings& fs) {
  return ParseOrRaise(TryStrToDateTime, s, fs, "date and time");
}
TDateTime StrToDateTime(const AnsiString& s) { return StrToDateTime(s, FormatSettings); }

TDateTime StrToDateDef(const AnsiString& s, TDateTime defaultValue, const TFormatSettings& fs) {
  return ParseOrDefault(TryStrToDate, s, defaultValue, fs);
}
TDateTime StrToDateDef(const AnsiString& s, TDateTime defaultValue) { return StrToDateDef(s, defaultValue, FormatSettings); }
TDateTime StrToTimeDef(const AnsiString& s, TDateTime defaultValue, const TFormatSettings& fs) {
  return ParseOrDefault(TryStrToTime, s, defaultValue, fs);
}
TDateTime StrToTimeDef(const AnsiString& s, TDateTime defaultValue) { return StrToTimeDef(s, defaultValue, FormatSettings); }
TDateTime StrToDateTimeDef(const AnsiString& s, TDateTime defaultValue, const TFormatSettings& fs) {
  return ParseOrDefault(TryStrToDateTime, s, defaultValue, fs);
}
TDateTime StrToDateTimeDef(const AnsiString& s, TDateTime defaultValue) {
  return StrToDateTimeDef(s, defaultValue, FormatSettings);
}
