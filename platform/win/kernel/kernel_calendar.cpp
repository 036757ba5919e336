#include "platform/win/kernel/kernel_calendar.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/kernel/kernel_codepages.h"

namespace {

struct TEra {
  const char* Name;
  const char* Abbreviation;
  // CAL_IYEAROFFSETRANGE: the first Gregorian year of a Japanese or Taiwan
  // era, the year offset of the Korean and Thai eras, 0 otherwise.
  const char* OffsetRange;
};

struct TCalendarData {
  const char* Name;
  DWORD TwoDigitYearMax;
  const TEra* Eras;
  int EraCount;
  // Thirteen names each; a calendar of twelve months has an empty
  // thirteenth.
  const char* const* MonthNames;
  const char* const* ShortMonthNames;
  LCID LocaleId;
};

const TEra kAnnoDomini[] = {{"A.D.", "AD", "0"}};
const TEra kJapaneseEras[] = {
    {"明治", "明", "1868"}, {"大正", "大", "1912"}, {"昭和", "昭", "1926"}, {"平成", "平", "1989"}};
const TEra kTaiwanEras[] = {{"中華民國", "民國", "1912"}};
const TEra kKoreanEras[] = {{"단기", "단기", "-2333"}};
const TEra kHijriEras[] = {{"بعد الهجرة", "هـ", "0"}};
const TEra kThaiEras[] = {{"พุทธศักราช", "พ.ศ.", "-543"}};
const TEra kHebrewEras[] = {{"לבריאת העולם", "לב״ע", "0"}};

const char* const kEnglishMonths[13] = {"January", "February",  "March",   "April",    "May",      "June", "July",
                                        "August",  "September", "October", "November", "December", ""};
const char* const kEnglishShortMonths[13] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul",
                                             "Aug", "Sep", "Oct", "Nov", "Dec", ""};
const char* const kFrenchMonths[13] = {"janvier", "février",   "mars",    "avril",    "mai",      "juin", "juillet",
                                       "août",    "septembre", "octobre", "novembre", "décembre", ""};
const char* const kFrenchShortMonths[13] = {"janv.", "févr.", "mars", "avr.", "mai",  "juin", "juil.",
                                            "août",  "sept.", "oct.", "nov.", "déc.", ""};
const char* const kArabicMonths[13] = {"يناير", "فبراير", "مارس",   "أبريل",  "مايو",   "يونيو", "يوليو",
                                       "أغسطس", "سبتمبر", "أكتوبر", "نوفمبر", "ديسمبر", ""};
const char* const kJapaneseMonths[13] = {"1月", "2月", "3月",  "4月",  "5月",  "6月", "7月",
                                         "8月", "9月", "10月", "11月", "12月", ""};
const char* const kNumberMonths[13] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", ""};
const char* const kTaiwanMonths[13] = {"一月", "二月", "三月", "四月",   "五月",   "六月", "七月",
                                       "八月", "九月", "十月", "十一月", "十二月", ""};
const char* const kKoreanMonths[13] = {"1월", "2월", "3월",  "4월",  "5월",  "6월", "7월",
                                       "8월", "9월", "10월", "11월", "12월", ""};
const char* const kHijriMonths[13] = {"محرم", "صفر",   "ربيع الأول", "ربيع الثاني", "جمادى الأولى", "جمادى الآخرة",
                                      "رجب",  "شعبان", "رمضان",      "شوال",        "ذو القعدة",    "ذو الحجة",
                                      ""};
const char* const kThaiMonths[13] = {"มกราคม", "กุมภาพันธ์", "มีนาคม", "เมษายน",   "พฤษภาคม", "มิถุนายน", "กรกฎาคม",
                                     "สิงหาคม", "กันยายน",  "ตุลาคม", "พฤศจิกายน", "ธันวาคม",  ""};
const char* const kThaiShortMonths[13] = {"ม.ค.", "ก.พ.", "มี.ค.", "เม.ย.", "พ.ค.", "มิ.ย.", "ก.ค.",
                                          "ส.ค.", "ก.ย.", "ต.ค.", "พ.ย.",  "ธ.ค.", ""};
// Months from Tishri, as a leap year names them.
const char* const kHebrewMonths[13] = {"תשרי", "חשון", "כסלו", "טבת",  "שבט", "אדר א", "אדר ב",
                                       "ניסן", "אייר", "סיון", "תמוז", "אב",  "אלול"};

const TCalendarData kCalendars[12] = {
    {"Gregorian Calendar", 2029, kAnnoDomini, 1, kEnglishMonths, kEnglishShortMonths, LOCALE_EN_US},
    {"Gregorian Calendar (U.S. English)", 2029, kAnnoDomini, 1, kEnglishMonths, kEnglishShortMonths, LOCALE_EN_US},
    {"和暦", 99, kJapaneseEras, 4, kJapaneseMonths, kNumberMonths, 0x0411},
    {"中華民國曆", 99, kTaiwanEras, 1, kTaiwanMonths, kJapaneseMonths, 0x0404},
    {"단기", 4362, kKoreanEras, 1, kKoreanMonths, kNumberMonths, 0x0412},
    {"التقويم الهجري", 1451, kHijriEras, 1, kHijriMonths, kHijriMonths, 0x0401},
    {"พุทธศักราช", 2572, kThaiEras, 1, kThaiMonths, kThaiShortMonths, 0x041E},
    {"לוח עברי", 5810, kHebrewEras, 1, kHebrewMonths, kHebrewMonths, 0x040D},
    {"Gregorian Calendar (Middle East French)", 2029, kAnnoDomini, 1, kFrenchMonths, kFrenchShortMonths, LOCALE_EN_US},
    {"Gregorian Calendar (Arabic)", 2029, kAnnoDomini, 1, kArabicMonths, kArabicMonths, LOCALE_EN_US},
    {"Gregorian Calendar (Transliterated English)", 2029, kAnnoDomini, 1, kEnglishMonths, kEnglishShortMonths,
     LOCALE_EN_US},
    {"Gregorian Calendar (Transliterated French)", 2029, kAnnoDomini, 1, kFrenchMonths, kFrenchShortMonths,
     LOCALE_EN_US},
};

const TCalendarData* CalendarOf(CALID id) { return id >= 1 && id <= 12 ? &kCalendars[id - 1] : nullptr; }

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

constexpr CALTYPE kFlags = CAL_NOUSEROVERRIDE | CAL_USE_CP_ACP | CAL_RETURN_NUMBER;

bool IsNumberItem(CALTYPE item) { return item == CAL_ICALINTVALUE || item == CAL_ITWODIGITYEARMAX; }

// The values of an item: one, or one per era; false for an unknown item.
bool ValuesOf(CALID id, const TCalendarData& c, CALTYPE item, std::vector<AnsiString>& values) {
  values.clear();
  if (item == CAL_ICALINTVALUE)
    values.push_back(std::to_string(id));
  else if (item == CAL_SCALNAME)
    values.push_back(c.Name);
  else if (item == CAL_ITWODIGITYEARMAX)
    values.push_back(std::to_string(c.TwoDigitYearMax));
  else if (item == CAL_SERASTRING || item == CAL_SABBREVERASTRING || item == CAL_IYEAROFFSETRANGE)
    for (int e = 0; e < c.EraCount; ++e)
      values.push_back(item == CAL_SERASTRING         ? c.Eras[e].Name
                       : item == CAL_SABBREVERASTRING ? c.Eras[e].Abbreviation
                                                      : c.Eras[e].OffsetRange);
  else if (item >= CAL_SMONTHNAME1 && item <= CAL_SMONTHNAME13)
    values.push_back(c.MonthNames[item - CAL_SMONTHNAME1]);
  else if (item >= CAL_SABBREVMONTHNAME1 && item <= CAL_SABBREVMONTHNAME13)
    values.push_back(c.ShortMonthNames[item - CAL_SABBREVMONTHNAME1]);
  else
    return false;
  return true;
}

CALID LocaleCalendar(LCID Locale) {
  DWORD id = 0;
  if (GetLocaleInfoA(Locale, LOCALE_ICALENDARTYPE | LOCALE_RETURN_NUMBER, reinterpret_cast<LPSTR>(&id), sizeof(id)) ==
          0 ||
      !CalendarOf(id))
    return CAL_GREGORIAN;
  return id;
}

}  // namespace

int GetCalendarInfoA(LCID Locale, CALID Calendar, CALTYPE CalType, LPSTR lpCalData, int cchData, DWORD* lpValue) {
  const TCalendarData* c = CalendarOf(Calendar);
  if (!c || !IsValidLocale(Locale, 0)) return Fail(ERROR_INVALID_PARAMETER);
  const bool number = CalType & CAL_RETURN_NUMBER;
  const CALTYPE item = CalType & ~kFlags;
  std::vector<AnsiString> values;
  if (!ValuesOf(Calendar, *c, item, values)) return Fail(ERROR_INVALID_FLAGS);
  // The latest era stands for the calendar's eras.
  const AnsiString& text = values.back();
  if (number) {
    if (!IsNumberItem(item)) return Fail(ERROR_INVALID_FLAGS);
    if (!lpValue || lpCalData || cchData != 0) return Fail(ERROR_INVALID_PARAMETER);
    *lpValue = static_cast<DWORD>(std::stoul(text));
    return static_cast<int>(sizeof(DWORD));
  }
  if (cchData < 0 || (cchData > 0 && !lpCalData)) return Fail(ERROR_INVALID_PARAMETER);
  const int size = static_cast<int>(text.size()) + 1;
  if (cchData == 0) return size;
  if (cchData < size) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(lpCalData, text.c_str(), static_cast<size_t>(size));
  return size;
}

BOOL EnumCalendarInfoA(CALINFO_ENUMPROCA lpCalInfoEnumProc, LCID Locale, CALID Calendar, CALTYPE CalType) {
  if (!lpCalInfoEnumProc || !IsValidLocale(Locale, 0)) return Fail(ERROR_INVALID_PARAMETER);
  if (CalType & CAL_RETURN_NUMBER) return Fail(ERROR_INVALID_FLAGS);
  std::vector<CALID> calendars;
  if (Calendar == ENUM_ALL_CALENDARS) {
    calendars.push_back(LocaleCalendar(Locale));
    if (calendars.front() != CAL_GREGORIAN) calendars.push_back(CAL_GREGORIAN);
  } else if (CalendarOf(Calendar)) {
    calendars.push_back(Calendar);
  } else {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const CALTYPE item = CalType & ~kFlags;
  std::vector<AnsiString> values;
  for (CALID id : calendars) {
    if (!ValuesOf(id, *CalendarOf(id), item, values)) return Fail(ERROR_INVALID_FLAGS);
    for (AnsiString& v : values)
      if (!lpCalInfoEnumProc(v.data())) return TRUE;
  }
  return TRUE;
}

namespace rtl::testing {

void InstallCalendarLocale(CALID Calendar) {
  const TCalendarData* c = CalendarOf(Calendar);
  if (!c) c = CalendarOf(CAL_GREGORIAN), Calendar = CAL_GREGORIAN;
  std::vector<std::pair<LCTYPE, AnsiString>> items = rtl::detail::EnUsLocaleItems();
  for (auto& [type, value] : items) {
    if (type == LOCALE_ICALENDARTYPE || type == LOCALE_IOPTIONALCALENDAR)
      value = std::to_string(Calendar);
    else if (type >= LOCALE_SMONTHNAME1 && type <= LOCALE_SMONTHNAME12)
      value = c->MonthNames[type - LOCALE_SMONTHNAME1];
    else if (type >= LOCALE_SABBREVMONTHNAME1 && type <= LOCALE_SABBREVMONTHNAME12)
      value = c->ShortMonthNames[type - LOCALE_SABBREVMONTHNAME1];
    else if (type == LOCALE_SMONTHNAME13)
      value = c->MonthNames[12];
    else if (type == LOCALE_SABBREVMONTHNAME13)
      value = c->ShortMonthNames[12];
  }
  InstallLocaleTable(c->LocaleId, items);
}

}  // namespace rtl::testing
