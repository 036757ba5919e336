#include "ui/foundation/date_utils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/modules.h"
#include "platform/win/oleaut/oleauto.h"
#include "ui/foundation/calendar_internal.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/format_controller.h"
#include "ui/foundation/library_strs.h"

TcxTextToDateHook cxTextToDateHook = nullptr;

namespace {

TcxDateClock g_clock = nullptr;

using TGetLocaleInfoA = int (*)(LCID, LCTYPE, LPSTR, int);
using TGetDateFormatA = int (*)(LCID, DWORD, const SYSTEMTIME*, LPCSTR, LPSTR, int);
using TGetTimeFormatA = int (*)(LCID, DWORD, const SYSTEMTIME*, LPCSTR, LPSTR, int);

// A kernel32 function by name, looked up on every call.
FARPROC KernelProc(const char* AName) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel ? GetProcAddress(kernel, AName) : nullptr;
}

// An item of the thread locale; empty when the locale gives none.
AnsiString ThreadLocaleText(LCTYPE AType) {
  auto getLocaleInfo = reinterpret_cast<TGetLocaleInfoA>(KernelProc("GetLocaleInfoA"));
  char buffer[256];
  if (!getLocaleInfo || getLocaleInfo(GetThreadLocale(), AType, buffer, sizeof(buffer)) <= 0) return AnsiString();
  return buffer;
}

SYSTEMTIME ToSystemTime(TDateTime ADate) {
  Word y, mo, d, h, mi, s, ms;
  DecodeDateTime(ADate, y, mo, d, h, mi, s, ms);
  SYSTEMTIME t;
  t.wYear = y;
  t.wMonth = mo;
  t.wDay = d;
  t.wDayOfWeek = y ? static_cast<WORD>(DayOfWeek(ADate) - 1) : 0;
  t.wHour = h;
  t.wMinute = mi;
  t.wSecond = s;
  t.wMilliseconds = ms;
  return t;
}

TcxFormatController* Controller() { return cxGetFormatController(); }
bool UseFrameworkFormats() { return Controller() && Controller()->UseFrameworkFormats; }
bool LocaleIsGregorian() { return !Controller() || Controller()->LocaleCalendarIsGregorian; }

TDateTime Today() { return std::floor(cxNow()); }

// The variant conversion of text to a date; false when it is not one.
bool VariantTextToDate(const AnsiString& AText, TDateTime& ADate) {
  const WideString wide = AnsiToWide(AText);
  DATE date = 0;
  if (VarDateFromStr(wide.c_str(), LOCALE_USER_DEFAULT, 0, &date) != S_OK) return false;
  ADate = date;
  return true;
}

AnsiString VariantDateToText(TDateTime ADate) {
  BSTR text = nullptr;
  if (VarBstrFromDate(ADate, LOCALE_USER_DEFAULT, 0, &text) != S_OK) return AnsiString();
  const WideString wide(text, SysStringLen(text));
  SysFreeString(text);
  return WideToAnsi(wide);
}

const TResStringRec* const kDateWords[20] = {
    &cxSDateToday,  &cxSDateYesterday, &cxSDateTomorrow, &cxSDateSunday, &cxSDateMonday,
    &cxSDateTuesday, &cxSDateWednesday, &cxSDateThursday, &cxSDateFriday, &cxSDateSaturday,
    &cxSDateFirst,  &cxSDateSecond,    &cxSDateThird,    &cxSDateFourth, &cxSDateFifth,
    &cxSDateSixth,  &cxSDateSeventh,   &cxSDateBOM,      &cxSDateEOM,    &cxSDateNow};

// The words as the string table holds them now.
std::vector<AnsiString> LoadDateWords() {
  std::vector<AnsiString> words;
  words.reserve(20);
  for (const TResStringRec* word : kDateWords) words.push_back(LoadResString(word));
  return words;
}

bool InDateRange(TDateTime ADate) {
  if (!(ADate > -2147483648.0 && ADate < 2147483647.0)) return false;
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  return d != 0 && y <= 9999;
}

}  // namespace

void cxSetDateClock(TcxDateClock AClock) { g_clock = AClock; }
TDateTime cxNow() { return g_clock ? g_clock() : Now(); }

// ---- Arithmetic -----------------------------------------------------------------------

void cxShiftMonth(Integer& AYear, Integer& AMonth, Integer ACount) {
  AYear += ACount / 12;
  AMonth += ACount % 12;
  if (AMonth < 1) {
    AMonth += 12;
    --AYear;
  } else if (AMonth > 12) {
    AMonth -= 12;
    ++AYear;
  }
}

void cxStepMonthBack(Integer& AYear, Integer& AMonth) { cxShiftMonth(AYear, AMonth, -1); }
void cxStepMonthForward(Integer& AYear, Integer& AMonth) { cxShiftMonth(AYear, AMonth, 1); }

bool cxYearIsLeap(Integer AYear) { return AYear % 4 == 0 && (AYear % 100 != 0 || AYear % 400 == 0); }

Integer cxDaysInMonth(Integer AYear, Integer AMonth) {
  static const Integer kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (AMonth < 1 || AMonth > 12) return 0;
  return kDays[AMonth - 1] + (AMonth == 2 && cxYearIsLeap(AYear) ? 1 : 0);
}

Integer cxClampDay(Integer AYear, Integer AMonth, Integer ADay) {
  if (ADay <= 0) return 1;
  const Integer length = cxDaysInMonth(AYear, AMonth);
  return ADay > length ? length : ADay;
}

TDateTime cxTimeOfDay(TDateTime ADate) {
  if (ADate == cxNullDate) return 0;
  return static_cast<TDateTime>(DateTimeToTimeStamp(ADate).Time) / MSecsPerDay;
}

TDateTime cxDateOnly(TDateTime ADate) { return ADate == cxNullDate ? ADate : std::trunc(ADate); }

Integer cxDatePart(Integer APart, TDateTime ADate) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  return APart == 0 ? y : APart == 1 ? m : d;
}

Integer cxWeekdayIndex(TDateTime ADate) { return DayOfWeek(ADate) - 1; }
Byte cxLocaleFirstDayOfWeek() { return cx_calendar_detail::LocaleFirstDayOfWeek(); }
Byte cxGetFirstDayOfWeek() { return cxLocaleFirstDayOfWeek(); }
Integer cxLocaleFirstWeekRule() { return cx_calendar_detail::LocaleFirstWeekRule(); }

Integer cxDayIndexInWeek(TDateTime ADate) {
  return ((cxWeekdayIndex(ADate) - cxGetFirstDayOfWeek()) % 7 + 7) % 7;
}

Integer cxAddDaysToWeekDay(Integer ADay, Integer ACount) {
  Integer day = ADay + ACount % 7;
  if (day > 6) day -= 7;
  return day;
}

TDateTime cxWeekStartOf(TDateTime ADate) { return cxDateOnly(ADate) - cxDayIndexInWeek(ADate); }

// ---- Text to date -----------------------------------------------------------------------

bool cxTextToDateByWords(const AnsiString& AText, TDateTime& ADate) {
  const std::vector<AnsiString> words = LoadDateWords();
  const AnsiString text = Trim(AText);
  std::vector<int> order(words.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    if (words[a].size() != words[b].size()) return words[a].size() > words[b].size();
    return AnsiCompareText(words[a], words[b]) > 0;
  });
  int match = -1;
  for (int index : order) {
    const AnsiString& word = words[index];
    if (!word.empty() && word.size() <= text.size() && AnsiSameText(text.substr(0, word.size()), word)) {
      match = index;
      break;
    }
  }
  if (match >= 0) {
    const TDateTime today = Today();
    TDateTime date = today;
    Word y, m, d;
    DecodeDate(today, y, m, d);
    if (match == 1) date = today - 1;
    else if (match == 2) date = today + 1;
    else if (match >= 3 && match <= 9) {
      const Integer b = (match - 2) - DayOfWeek(today);
      date = today + b + (b < 0 ? 7 : 0);
    } else if (match >= 10 && match <= 16) {
      date = today - (cxDayIndexInWeek(today) - (match - 10));
    } else if (match == 17) {
      date = EncodeDate(y, m, 1);
    } else if (match == 18) {
      date = EncodeDate(y, m, MonthDays[IsLeapYear(y)][m]);
    } else if (match == 19) {
      date = cxNow();
    }
    const AnsiString rest = Trim(text.substr(words[match].size()));
    if (rest.empty()) {
      ADate = date;
      return true;
    }
    if (rest[0] == '+' || rest[0] == '-') {
      Integer count = 0;
      if (!TryStrToInt(Trim(rest.substr(1)), count)) return false;
      ADate = date + (rest[0] == '-' ? -static_cast<TDateTime>(count) : static_cast<TDateTime>(count));
      return true;
    }
  }
  return cxTextToDateHook ? cxTextToDateHook(AText, ADate) : false;
}

TDateTime cxTextToDate(const AnsiString& AText, bool AUseFrameworkFormats) {
  try {
    AnsiString text = Trim(AText);
    if (text.empty()) return cxNullDate;
    if (!LocaleIsGregorian()) return cxCalendarTextToDate(text);
    TDateTime result = cxNullDate;
    if (!cxTextToDateByWords(text, result)) {
      cxPrepareDateTextForParse(text, !AUseFrameworkFormats, nullptr, nullptr);
      if (AUseFrameworkFormats) result = StrToDateTime(text);
      else if (!VariantTextToDate(text, result)) return cxNullDate;
    }
    return InDateRange(result) ? result : cxNullDate;
  } catch (...) {
    return cxNullDate;
  }
}

void cxBlankOutText(AnsiString& AText, const AnsiString& APart) {
  if (APart.empty()) return;
  const AnsiString upperText = AnsiUpperCase(AText);
  const AnsiString upperPart = AnsiUpperCase(APart);
  // Case mapping may change byte lengths; blank nothing then.
  if (upperText.size() != AText.size() || upperPart.size() != APart.size()) return;
  size_t at = upperText.find(upperPart);
  while (at != AnsiString::npos) {
    AText.replace(at, APart.size(), APart.size(), ' ');
    at = upperText.find(upperPart, at + APart.size());
  }
}

Integer cxDateOrderOfPicture(const AnsiString& APicture) {
  for (char c : APicture) {
    switch (c) {
      case 'd':
      case 'D': return 1;
      case 'e':
      case 'E':
      case 'y':
      case 'Y': return 2;
      case 'm':
      case 'M': return 0;
      default: break;
    }
  }
  return 0;
}

Integer cxDateOrderOfFormatInfo(const TcxDateTimeFormatInfo* AInfo) {
  if (!AInfo) return 0;
  for (Integer i = 0; i < AInfo->ItemCount(); ++i) {
    switch (AInfo->Items(i)->Kind) {
      case fikYear: return 2;
      case fikDay: return 1;
      case fikMonth: return 0;
      default: break;
    }
  }
  return 0;
}

void cxPrepareDateTextForParse(AnsiString& AText, bool ABlankSeparators, const TcxDateTimeFormatInfo* ADateInfo,
                               const TcxDateTimeFormatInfo* ATimeInfo) {
  TcxFormatController* controller = Controller();
  const TFormatSettings& locale = controller ? controller->ThreadLocaleSettings : FormatSettings;
  const TFormatSettings& tokensFrom = ABlankSeparators ? locale : FormatSettings;
  const AnsiString tokens[4] = {AnsiUpperCase(Trim(AnsiString(1, tokensFrom.DateSeparator))),
                                AnsiUpperCase(Trim(AnsiString(1, tokensFrom.TimeSeparator))),
                                AnsiUpperCase(Trim(tokensFrom.TimeAMString)),
                                AnsiUpperCase(Trim(tokensFrom.TimePMString))};
  const TcxDateTimeFormatInfo* dateInfo = ADateInfo ? ADateInfo : controller ? controller->DatePictureInfo.get() : nullptr;
  const TcxDateTimeFormatInfo* timeInfo = ATimeInfo ? ATimeInfo : controller ? controller->TimePictureInfo.get() : nullptr;
  for (const TcxDateTimeFormatInfo* info : {dateInfo, timeInfo}) {
    if (!info) continue;
    for (Integer i = 0; i < info->ItemCount(); ++i) {
      const TcxDateTimeFormatItem* item = info->Items(i);
      if (item->Kind != fikLiteral) continue;
      const AnsiString literal = AnsiUpperCase(Trim(item->Text));
      if (literal.empty() || std::find(std::begin(tokens), std::end(tokens), literal) != std::end(tokens)) continue;
      cxBlankOutText(AText, Trim(item->Text));
    }
  }
  if (ADateInfo) {
    const Integer target = ABlankSeparators || !controller ? cxDateOrderOfPicture(locale.ShortDateFormat)
                                                           : cxDateOrderOfFormatInfo(controller->DatePictureInfo.get());
    bool hasYear = false, hasMonth = false, hasDay = false;
    for (Integer i = 0; i < ADateInfo->ItemCount(); ++i) {
      hasYear |= ADateInfo->Items(i)->Kind == fikYear;
      hasMonth |= ADateInfo->Items(i)->Kind == fikMonth;
      hasDay |= ADateInfo->Items(i)->Kind == fikDay;
    }
    if (cxDateOrderOfFormatInfo(ADateInfo) != target || !hasYear || !hasMonth || !hasDay) {
      AnsiString separator(1, locale.DateSeparator);
      // A separator item has no text of its own: it stands for the
      // framework's date separator.
      if (!ABlankSeparators && controller && controller->DatePictureInfo->Defined(fikDateSeparator))
        separator = AnsiString(1, FormatSettings.DateSeparator);
      AnsiString year, month, day;
      size_t pos = 0;
      bool walking = true;
      for (Integer i = 0; walking && i < ADateInfo->ItemCount() && pos < AText.size(); ++i) {
        const TcxDateTimeFormatItem* item = ADateInfo->Items(i);
        switch (item->Kind) {
          case fikLiteral: pos += item->Text.size(); break;
          case fikYear:
          case fikDay: {
            size_t end = pos;
            while (end < AText.size() && AText[end] >= '0' && AText[end] <= '9') ++end;
            (item->Kind == fikYear ? year : day) = AText.substr(pos, end - pos);
            pos = end;
            break;
          }
          case fikMonth: {
            size_t end = pos;
            while (end < AText.size() && AText[end] != ' ' && AText.compare(end, separator.size(), separator) != 0 &&
                   AText[end] != locale.DateSeparator)
              ++end;
            month = AText.substr(pos, end - pos);
            pos = end;
            break;
          }
          case fikDateSeparator: ++pos; break;
          default: walking = false; break;
        }
      }
      if (day.empty()) day = "1";
      if (month.empty()) month = "1";
      const AnsiString rest = pos < AText.size() ? AText.substr(pos) : AnsiString();
      switch (target) {
        case 1: AText = day + separator + month + separator + year + " " + rest; break;
        case 2: AText = year + separator + month + separator + day + " " + rest; break;
        default: AText = month + separator + day + separator + year + " " + rest; break;
      }
    }
  }
  AText = Trim(AText);
  AnsiString shrunk;
  for (char c : AText) {
    const bool blank = static_cast<unsigned char>(c) <= ' ';
    if (blank && !shrunk.empty() && static_cast<unsigned char>(shrunk.back()) <= ' ') continue;
    shrunk += blank ? ' ' : c;
  }
  AText = shrunk;
  if (ABlankSeparators && locale.DateSeparator != '\0')
    std::replace(AText.begin(), AText.end(), locale.DateSeparator, ' ');
}

bool cxParseDateText(const AnsiString& AText, TDateTime& ADate, const AnsiString& APicture) {
  if (APicture.empty()) {
    ADate = cxTextToDate(AText, UseFrameworkFormats());
    return ADate != cxNullDate;
  }
  TcxDateTimeFormatInfo info;
  cxParseFormatPicture(APicture, &info);
  AnsiString text = AText;
  cxPrepareDateTextForParse(text, true, &info, &info);
  // The conversion's failure is an answer here, not an error for the user.
  if (!VariantTextToDate(text, ADate)) ADate = cxNullDate;
  return ADate != cxNullDate;
}

namespace {

std::vector<std::pair<AnsiString, Integer>>* g_enumEras = nullptr;

BOOL CollectEraName(LPSTR AText) {
  g_enumEras->emplace_back(AText, 0);
  return TRUE;
}

size_t g_enumOffsetIndex = 0;

BOOL CollectEraOffset(LPSTR AText) {
  if (g_enumOffsetIndex >= g_enumEras->size()) return FALSE;
  (*g_enumEras)[g_enumOffsetIndex++].second = std::atoi(AText);
  return TRUE;
}

// The calendar's era names with their year offsets, oldest first.
std::vector<std::pair<AnsiString, Integer>> CalendarEras(CALID ACalendar) {
  std::vector<std::pair<AnsiString, Integer>> eras;
  g_enumEras = &eras;
  g_enumOffsetIndex = 0;
  EnumCalendarInfoA(&CollectEraName, GetThreadLocale(), ACalendar, CAL_SERASTRING);
  EnumCalendarInfoA(&CollectEraOffset, GetThreadLocale(), ACalendar, CAL_IYEAROFFSETRANGE);
  g_enumEras = nullptr;
  for (auto& era : eras)
    if (era.second > 0) era.second -= 1;  // a first Gregorian year to an offset
  return eras;
}

}  // namespace

bool cxCalendarParseText(const AnsiString& AText, const TFormatSettings& ASettings,
                         const TcxCustomCalendarTable* ATable, TcxCalendarDateTime& ADate) {
  if (!ATable) return false;
  Integer eraOffset = 0;
  AnsiString text = Trim(AText);
  const AnsiString& format = ASettings.ShortDateFormat;
  if (!format.empty() && (format[0] == 'g' || format[0] == 'G')) {
    size_t end = 0;
    while (end < text.size() && !(text[end] >= '0' && text[end] <= '9')) ++end;
    const AnsiString era = Trim(text.substr(0, end));
    text = text.substr(end);
    if (!era.empty())
      for (const auto& e : CalendarEras(ATable->CalendarKind()))
        if (e.first.find(era) != AnsiString::npos) {
          eraOffset = e.second;
          break;
        }
  }
  if (format.find('e') != AnsiString::npos) {
    const auto eras = CalendarEras(ATable->CalendarKind());
    if (!eras.empty()) eraOffset = eras.front().second;
  }
  const char separator = ASettings.DateSeparator;
  size_t pos = 0;
  auto upTo = [&](char AStop) {
    const size_t end = std::min(text.find(AStop, pos), text.size());
    AnsiString part = Trim(text.substr(pos, end - pos));
    pos = end < text.size() ? end + 1 : end;
    return part;
  };
  AnsiString parts[3];
  parts[0] = upTo(separator);
  parts[1] = upTo(separator);
  parts[2] = upTo(' ');
  const Integer order = cxDateOrderOfPicture(format);
  const int monthAt = order == 2 ? 1 : order == 1 ? 1 : 0;
  if (separator == ' ') {
    size_t next = pos;
    while (next < text.size() && text[next] == ' ') ++next;
    if (next < text.size() && !(text[next] >= '0' && text[next] <= '9')) {
      // A month name of two words.
      parts[monthAt] += " " + parts[monthAt + 1];
      for (int i = monthAt + 1; i < 2; ++i) parts[i] = parts[i + 1];
      parts[2] = upTo(' ');
    }
  }
  const int yearAt = order == 2 ? 0 : 2;
  const int dayAt = order == 1 ? 0 : order == 2 ? 2 : 1;
  ADate = TcxCalendarDateTime();
  ADate.Year = ATable->YearFromText(parts[yearAt]);
  ADate.Month = ATable->MonthFromText(ADate.Year, parts[monthAt]);
  ADate.Day = ATable->DayFromText(parts[dayAt]);
  ADate.Era = ATable->EraIndexOf(eraOffset + 1);
  const AnsiString rest = Trim(pos < text.size() ? text.substr(pos) : AnsiString());
  if (!rest.empty()) cx_calendar_detail::SetTimeOfDate(ADate, StrToTime(rest));
  return true;
}

TDateTime cxCalendarTextToDate(const AnsiString& AText) {
  try {
    const CALID calendar = cxThreadCalendarType();
    if (calendar < CAL_JAPAN || calendar > CAL_HEBREW) {
      TDateTime date = cxNullDate;
      cxParseDateText(AText, date);
      return date;
    }
    // The registry owns the table: other holders of it stay valid.
    const TcxCustomCalendarTable* table = cxCurrentCalendarTable();
    TcxFormatController* controller = Controller();
    TcxCalendarDateTime date;
    if (!table || !cxCalendarParseText(AText, controller ? controller->ThreadLocaleSettings : FormatSettings, table,
                                       date))
      return cxNullDate;
    // A day the calendar lacks is no date (the join would answer its
    // earliest day).
    if (!table->DayInRange(date.Era, date.Year, date.Month, date.Day)) return cxNullDate;
    return table->JoinDateTime(date);
  } catch (...) {
    return cxNullDate;
  }
}

// ---- Date to text -------------------------------------------------------------------

void cxDateToDisplayText(bool AFourDigitYear, bool AUseFrameworkFormats, AnsiString& AText, TDateTime ADate) {
  AText.clear();
  if (ADate == cxNullDate) return;
  const bool hasTime = cxTimeOfDay(ADate) != 0;
  AnsiString picture;
  if (AUseFrameworkFormats) {
    picture = FormatSettings.ShortDateFormat;
    if (hasTime) picture += " " + FormatSettings.LongTimeFormat;
  } else {
    TcxFormatController* controller = Controller();
    picture = controller ? controller->ThreadLocaleSettings.ShortDateFormat : FormatSettings.ShortDateFormat;
  }
  if (AFourDigitYear && picture.find("yyy") == AnsiString::npos) {
    const size_t at = picture.find("yy");
    if (at != AnsiString::npos) picture.insert(at + 2, "yy");
  }
  if (AUseFrameworkFormats) {
    DateTimeToString(AText, picture, ADate);
    return;
  }
  auto getDateFormat = reinterpret_cast<TGetDateFormatA>(KernelProc("GetDateFormatA"));
  const SYSTEMTIME time = ToSystemTime(ADate);
  char buffer[100];
  if (getDateFormat && getDateFormat(GetThreadLocale(), 0, &time, picture.c_str(), buffer, sizeof(buffer)) > 0) {
    AText = buffer;
    if (hasTime) {
      auto getTimeFormat = reinterpret_cast<TGetTimeFormatA>(KernelProc("GetTimeFormatA"));
      if (getTimeFormat && getTimeFormat(GetThreadLocale(), 0, &time, nullptr, buffer, sizeof(buffer)) > 0)
        AText += " " + AnsiString(buffer);
    }
    return;
  }
  AText = VariantDateToText(ADate);
}

bool cxFormatDateForLocale(AnsiString& AText, DWORD AFlags, const AnsiString& APicture, TDateTime ADate) {
  if (LocaleIsGregorian() && UseFrameworkFormats()) {
    cxFormatDatePicture(APicture.empty() ? FormatSettings.LongDateFormat : APicture, AnsiString(), AText, ADate);
    return true;
  }
  AText.clear();
  auto getDateFormat = reinterpret_cast<TGetDateFormatA>(KernelProc("GetDateFormatA"));
  const SYSTEMTIME time = ToSystemTime(ADate);
  char buffer[256];
  if (!getDateFormat ||
      getDateFormat(GetThreadLocale(), AFlags, &time, APicture.empty() ? nullptr : APicture.c_str(), buffer,
                    sizeof(buffer)) <= 0)
    return false;
  AText = buffer;
  return true;
}

void cxFormatDatePicture(const AnsiString& APicture, const AnsiString& ASeparator, AnsiString& AText,
                         TDateTime ADate) {
  AText.clear();
  Word year, month, day;
  DecodeDate(ADate, year, month, day);
  auto isField = [](char c) { return c == 'd' || c == 'D' || c == 'm' || c == 'M' || c == 'y' || c == 'Y'; };
  size_t i = 0;
  while (i < APicture.size() && !isField(APicture[i])) ++i;
  AnsiString pending;
  auto append = [&](const AnsiString& AField) {
    if (!AText.empty()) AText += ASeparator.empty() ? pending : ASeparator;
    AText += AField;
    pending.clear();
  };
  auto two = [](unsigned v) { return AnsiString(v < 10 ? "0" : "") + std::to_string(v); };
  while (i < APicture.size()) {
    const char c = APicture[i];
    if (c == '"' || c == '\'') {
      const size_t close = APicture.find(c, i + 1);
      if (close != AnsiString::npos) {
        pending += APicture.substr(i + 1, close - i - 1);
        i = close + 1;
        continue;
      }
      pending += c;
      ++i;
      continue;
    }
    if (c == 'e' || c == 'E') {
      ++i;
      while (i < APicture.size() && !isField(APicture[i])) ++i;
      continue;
    }
    if (!isField(c)) {
      pending += c;
      ++i;
      continue;
    }
    const char lower = static_cast<char>(c | 0x20);
    size_t run = 1;
    while (i + run < APicture.size() && (APicture[i + run] | 0x20) == lower) ++run;
    i += run;
    if (lower == 'd') {
      if (run == 3) append(FormatSettings.ShortDayNames[DayOfWeek(ADate) - 1]);
      else if (run == 4) append(FormatSettings.LongDayNames[DayOfWeek(ADate) - 1]);
      else if (run == 2) append(two(day));
      else append(std::to_string(day));
    } else if (lower == 'm') {
      if (run == 4) append(month >= 1 ? FormatSettings.LongMonthNames[month - 1] : AnsiString());
      else append(two(month));
    } else {
      if (run == 4) {
        AnsiString y = std::to_string(year);
        if (y.size() < 4) y.insert(0, 4 - y.size(), '0');
        append(y.substr(y.size() - 4));
      } else {
        append(two(year % 100u));
      }
    }
  }
}

void cxDateWordsMaskExpression(AnsiString& AExpression, bool AWithNow) {
  const std::vector<AnsiString> words = LoadDateWords();
  AnsiString expression = "(" + AExpression + ")|(" + cxMaskExpressionLiteral(words[0]);
  for (size_t i = 1; i < (AWithNow ? 20u : 19u); ++i) expression += "|" + cxMaskExpressionLiteral(words[i]);
  expression += ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
  AExpression = expression;
}

AnsiString cxGetWeekDayCaption(Integer ADay, Byte ACharSet) {
  const Integer day = ((ADay % 7) + 7) % 7;
  AnsiString caption;
  if (LocaleIsGregorian() && UseFrameworkFormats()) {
    caption = FormatSettings.ShortDayNames[day];
  } else {
    // The locale lists Monday first: Sunday is its seventh name.
    const LCTYPE index = static_cast<LCTYPE>((day + 6) % 7);
    caption = ThreadLocaleText((OSWinVistaOrLater ? LOCALE_SSHORTESTDAYNAME1 : LOCALE_SABBREVDAYNAME1) + index);
  }
  if (caption.empty()) return caption;
  // One whole character, never a part of one.
  auto charLength = [](unsigned char lead) {
    return lead < 0x80 ? 1u : lead >= 0xF0 ? 4u : lead >= 0xE0 ? 3u : lead >= 0xC0 ? 2u : 1u;
  };
  const bool mirrored = static_cast<unsigned char>(caption[0]) >= 0x80 &&
                        (ACharSet == 134 || ACharSet == 136 || ACharSet == 178);
  if (mirrored) {
    size_t start = caption.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(caption[start]) & 0xC0) == 0x80) --start;
    return caption.substr(start);
  }
  return caption.substr(0, std::min<size_t>(charLength(static_cast<unsigned char>(caption[0])), caption.size()));
}

void cxLoadLocaleFormatSettings(TFormatSettings& ASettings) {
  const char listSeparator = FormatSettings.ListSeparator;
  ASettings = TFormatSettings();
  ASettings.CurrencyString.clear();
  ASettings.ShortTimeFormat.clear();
  for (auto& name : ASettings.ShortMonthNames) name.clear();
  for (auto& name : ASettings.LongMonthNames) name.clear();
  for (auto& name : ASettings.ShortDayNames) name.clear();
  for (auto& name : ASettings.LongDayNames) name.clear();
  const AnsiString dateSeparator = ThreadLocaleText(LOCALE_SDATE);
  const AnsiString timeSeparator = ThreadLocaleText(LOCALE_STIME);
  ASettings.DateSeparator = dateSeparator.empty() ? '\0' : dateSeparator[0];
  ASettings.ShortDateFormat = ThreadLocaleText(LOCALE_SSHORTDATE);
  ASettings.LongDateFormat = ThreadLocaleText(LOCALE_SLONGDATE);
  ASettings.TimeSeparator = timeSeparator.empty() ? '\0' : timeSeparator[0];
  ASettings.LongTimeFormat = ThreadLocaleText(LOCALE_STIMEFORMAT);
  ASettings.TimeAMString = ThreadLocaleText(LOCALE_S1159);
  ASettings.TimePMString = ThreadLocaleText(LOCALE_S2359);
  ASettings.ListSeparator = listSeparator;
}

namespace cx_date_utils_detail {

void StartDateUtils() { cx_calendar_detail::StartCalendarTables(); }
void StopDateUtils() { cx_calendar_detail::StopCalendarTables(); }

}  // namespace cx_date_utils_detail
