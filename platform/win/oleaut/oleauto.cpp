#include "platform/win/oleaut/oleauto.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel_datefmt.h"

// ---- Text to date -----------------------------------------------------------------

namespace {

AnsiString LocaleItem(LCID lcid, LCTYPE type) {
  char buffer[128];
  return GetLocaleInfoA(lcid, type, buffer, sizeof(buffer)) > 0 ? AnsiString(buffer) : AnsiString();
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct TReading {
  std::vector<int> Numbers;     // the date numbers in order
  std::vector<int> Digits;      // how many digits each had
  int Month = 0;                // from a month name; 0 none
  int MonthPosition = -1;       // how many numbers came before the name
  bool HasTime = false;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
  int Designator = 0;           // 0 none, 1 AM, 2 PM
};

// 0 month-day-year, 1 day-month-year, 2 year-month-day, by the first of
// the letters M, d, y in the short date picture.
int DateOrder(LCID lcid) {
  const AnsiString picture = LocaleItem(lcid, LOCALE_SSHORTDATE);
  for (char c : picture) {
    if (c == 'M') return 0;
    if (c == 'd') return 1;
    if (c == 'y') return 2;
  }
  return 0;
}

bool MatchWord(const AnsiString& word, const AnsiString& name) {
  if (name.empty()) return false;
  if (AnsiSameText(word, name)) return true;
  // Abbreviations written with or without their closing dot.
  return name.back() == '.' && AnsiSameText(word, name.substr(0, name.size() - 1));
}

bool ReadTime(const AnsiString& s, size_t& i, const AnsiString& timeSep, TReading& r) {
  int fields[3] = {0, 0, 0};
  int count = 0;
  while (count < 3) {
    if (!IsDigit(s[i])) return false;
    int v = 0, digits = 0;
    while (i < s.size() && IsDigit(s[i])) {
      if (++digits > 2) return false;
      v = v * 10 + (s[i++] - '0');
    }
    fields[count++] = v;
    if (s.compare(i, timeSep.size(), timeSep) == 0 && !timeSep.empty() && i + timeSep.size() < s.size() &&
        IsDigit(s[i + timeSep.size()])) {
      i += timeSep.size();
    } else if (s[i] == ':' && i + 1 < s.size() && IsDigit(s[i + 1])) {
      ++i;
    } else {
      break;
    }
  }
  if (count == 3 && i < s.size() && s[i] == '.' && i + 1 < s.size() && IsDigit(s[i + 1])) {
    ++i;
    int scale = 100;
    while (i < s.size() && IsDigit(s[i])) {
      r.Millisecond += (s[i++] - '0') * scale;
      scale /= 10;
    }
  }
  r.HasTime = true;
  r.Hour = fields[0];
  r.Minute = fields[1];
  r.Second = fields[2];
  return true;
}

bool Tokenize(const AnsiString& s, LCID lcid, TReading& r) {
  const AnsiString dateSep = LocaleItem(lcid, LOCALE_SDATE);
  const AnsiString timeSep = LocaleItem(lcid, LOCALE_STIME);
  const AnsiString am = LocaleItem(lcid, LOCALE_S1159);
  const AnsiString pm = LocaleItem(lcid, LOCALE_S2359);
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == ' ' || c == '\t' || c == '/' || c == '-' || c == '.' || c == ',') {
      ++i;
      continue;
    }
    if (!dateSep.empty() && s.compare(i, dateSep.size(), dateSep) == 0) {
      i += dateSep.size();
      continue;
    }
    if (IsDigit(c)) {
      // A time starts with a number followed by a time separator.
      size_t j = i;
      while (j < s.size() && IsDigit(s[j])) ++j;
      const bool timeFollows = j < s.size() && j + 1 < s.size() && IsDigit(s[j + 1]) &&
                               (s[j] == ':' || (!timeSep.empty() && s.compare(j, timeSep.size(), timeSep) == 0));
      if (timeFollows) {
        if (r.HasTime || !ReadTime(s, i, timeSep, r)) return false;
        continue;
      }
      if (j - i > 5) return false;
      r.Numbers.push_back(std::atoi(s.substr(i, j - i).c_str()));
      r.Digits.push_back(static_cast<int>(j - i));
      i = j;
      continue;
    }
    // A word: everything up to a blank, a digit or a separator.
    size_t j = i;
    while (j < s.size() && !IsDigit(s[j]) && s[j] != ' ' && s[j] != '\t' && s[j] != ',' && s[j] != '/' &&
           s[j] != '-' && s[j] != '.' && s.compare(j, dateSep.size(), dateSep) != 0)
      ++j;
    if (j < s.size() && s[j] == '.') ++j;  // an abbreviation's dot
    const AnsiString word = s.substr(i, j - i);
    i = j;
    if (MatchWord(word, am) || SameText(word, "AM") || SameText(word, "A")) {
      if (r.Designator) return false;
      r.Designator = 1;
      continue;
    }
    if (MatchWord(word, pm) || SameText(word, "PM") || SameText(word, "P")) {
      if (r.Designator) return false;
      r.Designator = 2;
      continue;
    }
    int month = 0;
    for (int m = 0; m < 12 && !month; ++m)
      if (MatchWord(word, LocaleItem(lcid, LOCALE_SMONTHNAME1 + m)) ||
          MatchWord(word, LocaleItem(lcid, LOCALE_SABBREVMONTHNAME1 + m)))
        month = m + 1;
    if (!month || r.Month) return false;
    r.Month = month;
    r.MonthPosition = static_cast<int>(r.Numbers.size());
  }
  return true;
}

int FullYear(int year, int digits) {
  if (digits > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

// Year, month and day of the reading; false when they do not fit.
bool DateOf(const TReading& r, LCID lcid, int& year, int& month, int& day) {
  const int order = DateOrder(lcid);
  const size_t n = r.Numbers.size();
  auto isYear = [&](size_t k) { return r.Digits[k] > 2 || r.Numbers[k] > 31; };
  Word thisYear, m0, d0;
  DecodeDate(Now(), thisYear, m0, d0);
  if (r.Month) {
    month = r.Month;
    if (n == 1) {
      if (isYear(0)) {
        year = r.Numbers[0];
        day = 1;
      } else {
        day = r.Numbers[0];
        year = thisYear;
      }
      return true;
    }
    if (n != 2) return false;
    // Day and year: a number that can only be a year is one; else the
    // locale's order decides (year first only in year-month-day).
    size_t dayAt = order == 2 ? 1 : 0;
    if (isYear(0) && !isYear(1)) dayAt = 1;
    else if (isYear(1) && !isYear(0)) dayAt = 0;
    day = r.Numbers[dayAt];
    year = FullYear(r.Numbers[1 - dayAt], r.Digits[1 - dayAt]);
    return true;
  }
  if (n == 2) {
    year = thisYear;
    if (order == 1) {
      day = r.Numbers[0];
      month = r.Numbers[1];
    } else {
      month = r.Numbers[0];
      day = r.Numbers[1];
    }
    return true;
  }
  if (n != 3) return false;
  int o = order;
  if (isYear(0)) o = 2;
  else if (isYear(2) && o == 2) o = 0;
  switch (o) {
    case 0:
      month = r.Numbers[0];
      day = r.Numbers[1];
      year = FullYear(r.Numbers[2], r.Digits[2]);
      break;
    case 1:
      day = r.Numbers[0];
      month = r.Numbers[1];
      year = FullYear(r.Numbers[2], r.Digits[2]);
      break;
    default:
      year = FullYear(r.Numbers[0], r.Digits[0]);
      month = r.Numbers[1];
      day = r.Numbers[2];
      break;
  }
  return true;
}

}  // namespace

HRESULT VarDateFromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, DATE* pdateOut) {
  if (!strIn || !pdateOut || !IsValidLocale(lcid, 0)) return E_INVALIDARG;
  WideString wide;
  for (const OLECHAR* p = strIn; *p; ++p) wide += *p;
  const AnsiString text = Trim(WideToAnsi(wide));
  TReading r;
  if (text.empty() || !Tokenize(text, lcid, r)) return DISP_E_TYPEMISMATCH;
  if (r.Designator && !r.HasTime) {
    // "5 PM": a lone number with a designator is an hour.
    if (r.Numbers.size() != 1 || r.Month) return DISP_E_TYPEMISMATCH;
    r.HasTime = true;
    r.Hour = r.Numbers[0];
    r.Numbers.clear();
    r.Digits.clear();
  }
  if (r.Designator) {
    if (r.Hour < 1 || r.Hour > 12) return DISP_E_TYPEMISMATCH;
    r.Hour = r.Hour % 12 + (r.Designator == 2 ? 12 : 0);
  }
  if (r.HasTime && (r.Hour > 23 || r.Minute > 59 || r.Second > 59)) return DISP_E_TYPEMISMATCH;
  TDateTime date = 0;
  const bool hasDate = !r.Numbers.empty() || r.Month;
  if (hasDate) {
    int year = 0, month = 0, day = 0;
    if (!DateOf(r, lcid, year, month, day)) return DISP_E_TYPEMISMATCH;
    if (year < 100 || year > 9999) return month >= 1 && month <= 12 && day >= 1 ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
    if (month < 1 || month > 12 || day < 1 || day > DaysInAMonth(static_cast<Word>(year), static_cast<Word>(month)))
      return DISP_E_TYPEMISMATCH;
    date = EncodeDate(static_cast<Word>(year), static_cast<Word>(month), static_cast<Word>(day));
  } else if (!r.HasTime) {
    return DISP_E_TYPEMISMATCH;
  }
  TDateTime time = 0;
  if (r.HasTime)
    time = EncodeTime(static_cast<Word>(r.Hour), static_cast<Word>(r.Minute), static_cast<Word>(r.Second),
                      static_cast<Word>(std::min(r.Millisecond, 999)));
  if (dwFlags & VAR_TIMEVALUEONLY) date = 0;
  if (dwFlags & VAR_DATEVALUEONLY) time = 0;
  // Before 30 December 1899 the time counts away from zero.
  *pdateOut = date < 0 ? date - time : date + time;
  return S_OK;
}

// ---- Date to text -----------------------------------------------------------------

HRESULT VarBstrFromDate(DATE dateIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut) {
  if (!pbstrOut || !IsValidLocale(lcid, 0)) return E_INVALIDARG;
  *pbstrOut = nullptr;
  if (!(dateIn >= MinDateTime && dateIn < 2958466.0)) return DISP_E_OVERFLOW;
  Word y, mo, d, h, mi, s, ms;
  DecodeDateTime(dateIn, y, mo, d, h, mi, s, ms);
  SYSTEMTIME t;
  t.wYear = y;
  t.wMonth = mo;
  t.wDay = d;
  t.wHour = h;
  t.wMinute = mi;
  t.wSecond = s;
  const double day = std::trunc(dateIn);
  const bool hasTime = h || mi || s;
  bool showDate = !(dwFlags & VAR_TIMEVALUEONLY) && day != 0;
  bool showTime = !(dwFlags & VAR_DATEVALUEONLY) && (hasTime || day == 0 || (dwFlags & VAR_TIMEVALUEONLY));
  if (!showDate && !showTime) showDate = true;
  AnsiString text;
  char buffer[256];
  if (showDate) {
    if (GetDateFormatA(lcid, DATE_SHORTDATE, &t, nullptr, buffer, sizeof(buffer)) == 0) return E_INVALIDARG;
    text = buffer;
  }
  if (showTime) {
    if (GetTimeFormatA(lcid, 0, &t, nullptr, buffer, sizeof(buffer)) == 0) return E_INVALIDARG;
    if (!text.empty()) text += ' ';
    text += buffer;
  }
  const WideString wide = AnsiToWide(text);
  *pbstrOut = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return *pbstrOut ? S_OK : E_OUTOFMEMORY;
}
