#include "platform/win/kernel/kernel_datefmt.h"

#include <cstdlib>
#include <cstring>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/format_settings_reader.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/kernel/kernel_calendar.h"
#include "platform/win/kernel/kernel_codepages.h"

namespace {

int FailDate(DWORD error) {
  SetLastError(error);
  return 0;
}

bool Item(LCID locale, LCTYPE type, AnsiString& text) {
  char buffer[256];
  if (GetLocaleInfoA(locale, type, buffer, sizeof(buffer)) == 0) return false;
  text = buffer;
  return true;
}

AnsiString ItemOr(LCID locale, LCTYPE type, const char* fallback) {
  AnsiString text;
  return Item(locale, type, text) ? text : AnsiString(fallback);
}

AnsiString Number(unsigned value, int digits) {
  AnsiString s = std::to_string(value);
  if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<size_t>(digits) - s.size(), '0');
  return s;
}

size_t RunAt(const char* p, size_t i) {
  size_t run = 1;
  while (p[i + run] == p[i]) ++run;
  return run;
}

// Copies a quoted literal starting at the apostrophe at i; returns the
// position after it.
size_t CopyQuoted(const char* p, size_t i, AnsiString& out) {
  ++i;
  while (p[i]) {
    if (p[i] == '\'') {
      if (p[i + 1] == '\'') {
        out += '\'';
        i += 2;
        continue;
      }
      return i + 1;
    }
    out += p[i++];
  }
  return i;
}

int Deliver(const AnsiString& text, LPSTR buffer, int size) {
  const int needed = static_cast<int>(text.size()) + 1;
  if (size == 0) return needed;
  if (size < needed) return FailDate(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(buffer, text.c_str(), static_cast<size_t>(needed));
  return needed;
}

AnsiString EraName(LCID locale) {
  char buffer[64];
  CALID calendar = CAL_GREGORIAN;
  DWORD type = 0;
  if (GetLocaleInfoA(locale, LOCALE_ICALENDARTYPE | LOCALE_RETURN_NUMBER, reinterpret_cast<LPSTR>(&type),
                     sizeof(type)) > 0 &&
      type >= CAL_GREGORIAN && type <= CAL_GREGORIAN_XLIT_FRENCH)
    calendar = type;
  // The era of a non-Gregorian calendar names its own years; the dates here
  // are Gregorian, so they carry the Gregorian era.
  if (calendar >= CAL_JAPAN && calendar <= CAL_HEBREW) calendar = CAL_GREGORIAN;
  if (GetCalendarInfoA(locale, calendar, CAL_SERASTRING, buffer, sizeof(buffer), nullptr) == 0) return "A.D.";
  return buffer;
}

AnsiString FormatDate(LCID locale, const SYSTEMTIME& t, const char* p) {
  AnsiString out;
  size_t i = 0;
  const unsigned dayOfWeek = static_cast<unsigned>(DayOfWeek(EncodeDate(t.wYear, t.wMonth, t.wDay)));  // 1 = Sunday
  // LOCALE_SDAYNAME1 is Monday.
  const LCTYPE dayIndex = (dayOfWeek + 5) % 7;
  while (p[i]) {
    const char c = p[i];
    if (c == '\'') {
      i = CopyQuoted(p, i, out);
      continue;
    }
    const size_t run = RunAt(p, i);
    switch (c) {
      case 'd':
        if (run == 1) out += Number(t.wDay, 1);
        else if (run == 2) out += Number(t.wDay, 2);
        else if (run == 3) out += ItemOr(locale, LOCALE_SABBREVDAYNAME1 + dayIndex, "");
        else out += ItemOr(locale, LOCALE_SDAYNAME1 + dayIndex, "");
        break;
      case 'M':
        if (run == 1) out += Number(t.wMonth, 1);
        else if (run == 2) out += Number(t.wMonth, 2);
        else if (run == 3) out += ItemOr(locale, LOCALE_SABBREVMONTHNAME1 + t.wMonth - 1u, "");
        else out += ItemOr(locale, LOCALE_SMONTHNAME1 + t.wMonth - 1u, "");
        break;
      case 'y':
        if (run == 1) out += Number(t.wYear % 100u, 1);
        else if (run == 2) out += Number(t.wYear % 100u, 2);
        else out += Number(t.wYear, 4);
        break;
      case 'g': out += EraName(locale); break;
      default: out.append(run, c); break;
    }
    i += run;
  }
  return out;
}

bool IsTimeLetter(char c) { return c == 'h' || c == 'H' || c == 'm' || c == 's' || c == 't'; }

// The picture without the fields the flags leave out: a field goes with the
// literal text between it and the field before it (for the designator, the
// blanks before it; for a leading designator, the blanks after it).
AnsiString StripFields(const char* p, DWORD flags) {
  const bool noMinutes = flags & TIME_NOMINUTESORSECONDS;
  const bool noSeconds = noMinutes || (flags & TIME_NOSECONDS);
  const bool noMarker = flags & TIME_NOTIMEMARKER;
  AnsiString out;
  size_t pendingStart = 0;  // where the literal text after the last field begins in `out`
  bool anyField = false;
  bool dropBlanksAfter = false;
  size_t i = 0;
  while (p[i]) {
    const char c = p[i];
    if (c == '\'') {
      i = CopyQuoted(p, i, out);
      continue;
    }
    if (!IsTimeLetter(c)) {
      if (!(dropBlanksAfter && c == ' ')) out += c;
      ++i;
      continue;
    }
    dropBlanksAfter = false;
    const size_t run = RunAt(p, i);
    const bool drop = (c == 'm' && noMinutes) || (c == 's' && noSeconds) || (c == 't' && noMarker);
    if (drop) {
      if (anyField) {
        out.resize(pendingStart);
      } else {
        dropBlanksAfter = true;
      }
    } else {
      out.append(run, c);
      anyField = true;
      pendingStart = out.size();
    }
    i += run;
  }
  while (noMarker && !out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

AnsiString FormatTime(LCID locale, const SYSTEMTIME& t, const AnsiString& picture, bool force24) {
  const AnsiString designator = ItemOr(locale, t.wHour < 12 ? LOCALE_S1159 : LOCALE_S2359, "");
  const char* p = picture.c_str();
  AnsiString out;
  size_t i = 0;
  while (p[i]) {
    const char c = p[i];
    if (c == '\'') {
      i = CopyQuoted(p, i, out);
      continue;
    }
    const size_t run = RunAt(p, i);
    const int digits = run >= 2 ? 2 : 1;
    switch (c) {
      case 'h':
        if (force24) out += Number(t.wHour, digits);
        else out += Number(t.wHour % 12u == 0 ? 12u : t.wHour % 12u, digits);
        break;
      case 'H': out += Number(t.wHour, digits); break;
      case 'm': out += Number(t.wMinute, digits); break;
      case 's': out += Number(t.wSecond, digits); break;
      case 't':
        if (!force24) out += run == 1 ? designator.substr(0, designator.empty() ? 0 : 1) : designator;
        break;
      default: out.append(run, c); break;
    }
    i += run;
  }
  return out;
}

SYSTEMTIME LocalNow() {
  Word y, mo, d, h, mi, s, ms;
  DecodeDateTime(Now(), y, mo, d, h, mi, s, ms);
  SYSTEMTIME t;
  t.wYear = y;
  t.wMonth = mo;
  t.wDay = d;
  t.wHour = h;
  t.wMinute = mi;
  t.wSecond = s;
  t.wMilliseconds = ms;
  return t;
}

}  // namespace

int GetDateFormatA(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat, LPSTR lpDateStr,
                   int cchDate) {
  if (cchDate < 0 || (cchDate > 0 && !lpDateStr)) return FailDate(ERROR_INVALID_PARAMETER);
  if (!IsValidLocale(Locale, 0)) return FailDate(ERROR_INVALID_PARAMETER);
  const DWORD pictureFlags = dwFlags & (DATE_SHORTDATE | DATE_LONGDATE | DATE_YEARMONTH);
  if (dwFlags & ~(pictureFlags | DATE_USE_ALT_CALENDAR | LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP))
    return FailDate(ERROR_INVALID_FLAGS);
  if (lpFormat && pictureFlags) return FailDate(ERROR_INVALID_FLAGS);
  if (pictureFlags & (pictureFlags - 1)) return FailDate(ERROR_INVALID_FLAGS);
  const SYSTEMTIME t = lpDate ? *lpDate : LocalNow();
  TDateTime check;
  if (!TryEncodeDate(t.wYear, t.wMonth, t.wDay, check)) return FailDate(ERROR_INVALID_PARAMETER);
  AnsiString picture;
  if (lpFormat) {
    picture = lpFormat;
  } else {
    const LCTYPE item = pictureFlags == DATE_LONGDATE     ? LOCALE_SLONGDATE
                        : pictureFlags == DATE_YEARMONTH ? LOCALE_SYEARMONTH
                                                         : LOCALE_SSHORTDATE;
    if (!Item(Locale, item, picture)) return FailDate(ERROR_INVALID_PARAMETER);
  }
  return Deliver(FormatDate(Locale, t, picture.c_str()), lpDateStr, cchDate);
}

int GetTimeFormatA(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCSTR lpFormat, LPSTR lpTimeStr,
                   int cchTime) {
  if (cchTime < 0 || (cchTime > 0 && !lpTimeStr)) return FailDate(ERROR_INVALID_PARAMETER);
  if (!IsValidLocale(Locale, 0)) return FailDate(ERROR_INVALID_PARAMETER);
  if (dwFlags & ~(TIME_NOMINUTESORSECONDS | TIME_NOSECONDS | TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT |
                  LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP))
    return FailDate(ERROR_INVALID_FLAGS);
  const SYSTEMTIME t = lpTime ? *lpTime : LocalNow();
  if (t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59 || t.wMilliseconds > 999)
    return FailDate(ERROR_INVALID_PARAMETER);
  AnsiString picture;
  if (lpFormat) picture = lpFormat;
  else if (!Item(Locale, LOCALE_STIMEFORMAT, picture)) return FailDate(ERROR_INVALID_PARAMETER);
  // A 24-hour clock has no designator to show.
  DWORD strip = dwFlags & (TIME_NOMINUTESORSECONDS | TIME_NOSECONDS | TIME_NOTIMEMARKER);
  if (dwFlags & TIME_FORCE24HOURFORMAT) strip |= TIME_NOTIMEMARKER;
  if (strip) picture = StripFields(picture.c_str(), strip);
  return Deliver(FormatTime(Locale, t, picture, dwFlags & TIME_FORCE24HOURFORMAT), lpTimeStr, cchTime);
}

namespace rtl::testing {

void InstallDateTestLocale(TDateTestLocale ALocale) {
  std::vector<std::pair<LCTYPE, AnsiString>> items = rtl::detail::EnUsLocaleItems();
  auto set = [&](LCTYPE type, const AnsiString& value) {
    for (auto& item : items)
      if (item.first == type) {
        item.second = value;
        return;
      }
    items.emplace_back(type, value);
  };
  LCID id = LOCALE_EN_US;
  switch (ALocale) {
    case TDateTestLocale::kDayFirstDots:
      id = 0x0407;
      set(LOCALE_SDATE, ".");
      set(LOCALE_SSHORTDATE, "dd.MM.yyyy");
      set(LOCALE_SLONGDATE, "dddd, d. MMMM yyyy");
      set(LOCALE_IDATE, "1");
      set(LOCALE_ILDATE, "1");
      set(LOCALE_STIMEFORMAT, "HH:mm:ss");
      set(LOCALE_SSHORTTIME, "HH:mm");
      set(LOCALE_ITIME, "1");
      set(LOCALE_S1159, "");
      set(LOCALE_S2359, "");
      set(LOCALE_IFIRSTDAYOFWEEK, "0");
      set(LOCALE_IFIRSTWEEKOFYEAR, "2");
      set(LOCALE_SDECIMAL, ",");
      set(LOCALE_STHOUSAND, ".");
      set(LOCALE_SLIST, ";");
      set(LOCALE_SCURRENCY, "€");
      set(LOCALE_ICURRENCY, "3");
      set(LOCALE_INEGCURR, "8");
      break;
    case TDateTestLocale::k24Hour:
      id = 0x0809;
      set(LOCALE_SSHORTDATE, "dd/MM/yyyy");
      set(LOCALE_SLONGDATE, "dd MMMM yyyy");
      set(LOCALE_IDATE, "1");
      set(LOCALE_STIMEFORMAT, "HH:mm:ss");
      set(LOCALE_SSHORTTIME, "HH:mm");
      set(LOCALE_ITIME, "1");
      set(LOCALE_S1159, "");
      set(LOCALE_S2359, "");
      set(LOCALE_SCURRENCY, "£");
      break;
    case TDateTestLocale::kMondayWeekRule3:
      id = 0x0413;
      set(LOCALE_IFIRSTDAYOFWEEK, "0");
      set(LOCALE_IFIRSTWEEKOFYEAR, "2");
      break;
    case TDateTestLocale::kApostropheMonths:
      id = 0x0491;
      set(LOCALE_SMONTHNAME1 + 2, "ma'r");
      set(LOCALE_SABBREVMONTHNAME1 + 2, "m'r");
      set(LOCALE_SLONGDATE, "d 'o''' MMMM yyyy");
      break;
  }
  InstallLocaleTable(id, items);
}

}  // namespace rtl::testing

// ---- The framework's settings from the user's locale ----------------------------

namespace {

bool ReadFormatSettings(TFormatSettings& S) {
  const LCID locale = LOCALE_USER_DEFAULT;
  if (!IsValidLocale(locale, 0)) return false;
  auto text = [&](LCTYPE type, const AnsiString& fallback) {
    AnsiString value;
    return Item(locale, type, value) ? value : fallback;
  };
  auto character = [&](LCTYPE type, char fallback) {
    const AnsiString value = text(type, AnsiString(1, fallback));
    return value.empty() ? fallback : value[0];
  };
  auto number = [&](LCTYPE type, Byte fallback) {
    const AnsiString value = text(type, "");
    return !value.empty() && value[0] >= '0' && value[0] <= '9' ? static_cast<Byte>(std::atoi(value.c_str()))
                                                                : fallback;
  };
  S.CurrencyString = text(LOCALE_SCURRENCY, S.CurrencyString);
  S.CurrencyFormat = number(LOCALE_ICURRENCY, S.CurrencyFormat);
  S.NegCurrFormat = number(LOCALE_INEGCURR, S.NegCurrFormat);
  S.CurrencyDecimals = number(LOCALE_ICURRDIGITS, S.CurrencyDecimals);
  S.ThousandSeparator = character(LOCALE_STHOUSAND, S.ThousandSeparator);
  S.DecimalSeparator = character(LOCALE_SDECIMAL, S.DecimalSeparator);
  S.DateSeparator = character(LOCALE_SDATE, S.DateSeparator);
  S.TimeSeparator = character(LOCALE_STIME, S.TimeSeparator);
  S.ListSeparator = character(LOCALE_SLIST, S.ListSeparator);
  S.ShortDateFormat = text(LOCALE_SSHORTDATE, S.ShortDateFormat);
  S.LongDateFormat = text(LOCALE_SLONGDATE, S.LongDateFormat);
  S.TimeAMString = text(LOCALE_S1159, S.TimeAMString);
  S.TimePMString = text(LOCALE_S2359, S.TimePMString);
  const bool twelveHour = text(LOCALE_ITIME, "0") != "1";
  const AnsiString hour = text(LOCALE_ITLZERO, "0") == "1" ? "hh" : "h";
  const bool markFirst = text(LOCALE_ITIMEMARKPOSN, "0") == "1";
  const AnsiString prefix = twelveHour && markFirst ? "AMPM " : "";
  const AnsiString postfix = twelveHour && !markFirst ? " AMPM" : "";
  S.ShortTimeFormat = prefix + hour + ":mm" + postfix;
  S.LongTimeFormat = prefix + hour + ":mm:ss" + postfix;
  for (int m = 0; m < 12; ++m) {
    S.ShortMonthNames[m] = text(LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(m), S.ShortMonthNames[m]);
    S.LongMonthNames[m] = text(LOCALE_SMONTHNAME1 + static_cast<LCTYPE>(m), S.LongMonthNames[m]);
  }
  for (int d = 0; d < 7; ++d) {
    // The framework's day 0 is Sunday, the locale's first name Monday.
    const LCTYPE index = static_cast<LCTYPE>((d + 6) % 7);
    S.ShortDayNames[d] = text(LOCALE_SABBREVDAYNAME1 + index, S.ShortDayNames[d]);
    S.LongDayNames[d] = text(LOCALE_SDAYNAME1 + index, S.LongDayNames[d]);
  }
  return true;
}

// The reader is installed as this part is loaded, so GetFormatSettings
// works wherever the locale provider is linked.
const bool g_readerInstalled = (SetFormatSettingsReader(&ReadFormatSettings), true);

}  // namespace
