#include "platform/win/kernel/kernel_locale.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/backend/locale_data.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/kernel/kernel_codepages.h"

namespace {

using TItems = std::map<LCTYPE, AnsiString>;

struct TLocale {
  LCID Id;
  TItems Items;
};

void PutList(TItems& items, LCTYPE first, std::initializer_list<const char*> values) {
  LCTYPE t = first;
  for (const char* v : values) items[t++] = v;
}

// The original platform's en-US values.
TItems EnUsItems() {
  TItems i;
  i[LOCALE_ILANGUAGE] = "0409";
  i[LOCALE_SLANGUAGE] = "English (United States)";
  i[LOCALE_SABBREVLANGNAME] = "ENU";
  i[LOCALE_SNATIVELANGNAME] = "English";
  i[LOCALE_ICOUNTRY] = "1";
  i[LOCALE_SCOUNTRY] = "United States";
  i[LOCALE_SABBREVCTRYNAME] = "USA";
  i[LOCALE_SNATIVECTRYNAME] = "United States";
  i[LOCALE_SLIST] = ",";
  i[LOCALE_IMEASURE] = "1";
  i[LOCALE_SDECIMAL] = ".";
  i[LOCALE_STHOUSAND] = ",";
  i[LOCALE_SGROUPING] = "3;0";
  i[LOCALE_IDIGITS] = "2";
  i[LOCALE_ILZERO] = "1";
  i[LOCALE_INEGNUMBER] = "1";
  i[LOCALE_SCURRENCY] = "$";
  i[LOCALE_SINTLSYMBOL] = "USD";
  i[LOCALE_SMONDECIMALSEP] = ".";
  i[LOCALE_SMONTHOUSANDSEP] = ",";
  i[LOCALE_SMONGROUPING] = "3;0";
  i[LOCALE_ICURRDIGITS] = "2";
  i[LOCALE_ICURRENCY] = "0";
  i[LOCALE_INEGCURR] = "0";
  i[LOCALE_SDATE] = "/";
  i[LOCALE_STIME] = ":";
  i[LOCALE_SSHORTDATE] = "M/d/yyyy";
  i[LOCALE_SLONGDATE] = "dddd, MMMM d, yyyy";
  i[LOCALE_STIMEFORMAT] = "h:mm:ss tt";
  i[LOCALE_SSHORTTIME] = "h:mm tt";
  i[LOCALE_SYEARMONTH] = "MMMM yyyy";
  i[LOCALE_IDATE] = "0";
  i[LOCALE_ILDATE] = "0";
  i[LOCALE_ITIME] = "0";
  i[LOCALE_ITIMEMARKPOSN] = "0";
  i[LOCALE_ICENTURY] = "1";
  i[LOCALE_ITLZERO] = "0";
  i[LOCALE_IDAYLZERO] = "0";
  i[LOCALE_IMONLZERO] = "0";
  i[LOCALE_S1159] = "AM";
  i[LOCALE_S2359] = "PM";
  i[LOCALE_ICALENDARTYPE] = "1";
  i[LOCALE_IOPTIONALCALENDAR] = "1";
  i[LOCALE_IFIRSTDAYOFWEEK] = "6";
  i[LOCALE_IFIRSTWEEKOFYEAR] = "0";
  PutList(i, LOCALE_SDAYNAME1, {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"});
  PutList(i, LOCALE_SABBREVDAYNAME1, {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"});
  PutList(i, LOCALE_SSHORTESTDAYNAME1, {"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"});
  PutList(i, LOCALE_SMONTHNAME1,
          {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
           "November", "December"});
  PutList(i, LOCALE_SABBREVMONTHNAME1,
          {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"});
  i[LOCALE_SMONTHNAME13] = "";
  i[LOCALE_SABBREVMONTHNAME13] = "";
  i[LOCALE_SPOSITIVESIGN] = "";
  i[LOCALE_SNEGATIVESIGN] = "-";
  i[LOCALE_SISO639LANGNAME] = "en";
  i[LOCALE_SISO3166CTRYNAME] = "US";
  i[LOCALE_SNAME] = "en-US";
  i[LOCALE_SENGLANGUAGE] = "English";
  i[LOCALE_SENGCOUNTRY] = "United States";
  return i;
}

std::shared_ptr<const TLocale> EnUs() {
  static const auto l = std::make_shared<const TLocale>(TLocale{LOCALE_EN_US, EnUsItems()});
  return l;
}

// ---- Locale database patterns to pictures ------------------------------------------------

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The database's pattern as a picture of the original platform: h is the
// 12-hour clock only beside an AM/PM marker, the marker is "tt",
// milliseconds and time zones are dropped.
AnsiString PictureFromPattern(const AnsiString& p) {
  bool twelveHour = false;
  for (size_t i = 0; i + 1 < p.size(); ++i)
    if ((p[i] == 'a' || p[i] == 'A') && (p[i + 1] == 'p' || p[i + 1] == 'P')) twelveHour = true;
  AnsiString out;
  size_t i = 0;
  while (i < p.size()) {
    char c = p[i];
    if (c == '\'') {
      size_t j = i + 1;
      while (j < p.size()) {
        if (p[j] == '\'' && j + 1 < p.size() && p[j + 1] == '\'') {
          j += 2;
          continue;
        }
        if (p[j] == '\'') break;
        ++j;
      }
      out.append(p, i, j + 1 - i);
      i = j + 1;
      continue;
    }
    if (!IsLetter(c)) {
      out += c;
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < p.size() && p[i + run] == c) ++run;
    switch (c) {
      case 'd':
      case 'M': out.append(std::min<size_t>(run, 4), c); break;
      case 'y': out += run == 2 ? "yy" : "yyyy"; break;
      case 'h': out.append(std::min<size_t>(run, 2), twelveHour ? 'h' : 'H'); break;
      case 'H':
      case 'm':
      case 's': out.append(std::min<size_t>(run, 2), c); break;
      case 'a':
      case 'A':
        out += "tt";
        if (i + run < p.size() && (p[i + run] == 'p' || p[i + run] == 'P')) ++run;
        break;
      default:  // zones, milliseconds and anything unknown
        while (!out.empty() && (out.back() == ' ' || out.back() == '.' || out.back() == ',')) out.pop_back();
        break;
    }
    i += run;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  size_t start = out.find_first_not_of(' ');
  return start == AnsiString::npos ? AnsiString() : out.substr(start);
}

// The first separator between two fields of a picture, outside quotes.
AnsiString SeparatorOf(const AnsiString& picture, const char* fallback) {
  bool quoted = false;
  bool seenField = false;
  for (size_t i = 0; i < picture.size(); ++i) {
    char c = picture[i];
    if (c == '\'') {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    if (IsLetter(c)) {
      seenField = true;
      continue;
    }
    if (seenField && c != ' ') {
      size_t j = i;
      while (j < picture.size() && !IsLetter(picture[j]) && picture[j] != ' ' && picture[j] != '\'') ++j;
      return picture.substr(i, j - i);
    }
  }
  return fallback;
}

size_t FirstOf(const AnsiString& picture, char c) {
  size_t p = picture.find(c);
  return p == AnsiString::npos ? picture.size() : p;
}

TItems ItemsFromFacts(const rtl::backend::TLocaleFacts& f) {
  TItems i;
  AnsiString shortDate = PictureFromPattern(f.ShortDatePattern);
  AnsiString longDate = PictureFromPattern(f.LongDatePattern);
  AnsiString longTime = PictureFromPattern(f.LongTimePattern);
  AnsiString shortTime = PictureFromPattern(f.ShortTimePattern);
  i[LOCALE_SNAME] = f.Name;
  i[LOCALE_SISO639LANGNAME] = f.IsoLanguage;
  i[LOCALE_SISO3166CTRYNAME] = f.IsoCountry;
  i[LOCALE_SENGLANGUAGE] = f.EnglishLanguage;
  i[LOCALE_SENGCOUNTRY] = f.EnglishCountry;
  i[LOCALE_SNATIVELANGNAME] = f.NativeLanguage;
  i[LOCALE_SNATIVECTRYNAME] = f.NativeCountry;
  i[LOCALE_SLANGUAGE] = f.NativeLanguage + (f.NativeCountry.empty() ? "" : " (" + f.NativeCountry + ")");
  i[LOCALE_SCOUNTRY] = f.NativeCountry;
  for (int d = 0; d < 7; ++d) {
    i[LOCALE_SDAYNAME1 + d] = f.LongDayNames[d];
    i[LOCALE_SABBREVDAYNAME1 + d] = f.ShortDayNames[d];
    i[LOCALE_SSHORTESTDAYNAME1 + d] = f.NarrowDayNames[d];
  }
  for (int m = 0; m < 12; ++m) {
    i[LOCALE_SMONTHNAME1 + m] = f.LongMonthNames[m];
    i[LOCALE_SABBREVMONTHNAME1 + m] = f.ShortMonthNames[m];
  }
  i[LOCALE_SMONTHNAME13] = "";
  i[LOCALE_SABBREVMONTHNAME13] = "";
  i[LOCALE_SSHORTDATE] = shortDate;
  i[LOCALE_SLONGDATE] = longDate;
  i[LOCALE_STIMEFORMAT] = longTime;
  i[LOCALE_SSHORTTIME] = shortTime;
  i[LOCALE_SYEARMONTH] = "MMMM yyyy";
  i[LOCALE_SDATE] = SeparatorOf(shortDate, "/");
  i[LOCALE_STIME] = SeparatorOf(longTime, ":");
  size_t m = FirstOf(shortDate, 'M'), d = FirstOf(shortDate, 'd'), y = FirstOf(shortDate, 'y');
  i[LOCALE_IDATE] = y < m && y < d ? "2" : d < m ? "1" : "0";
  m = FirstOf(longDate, 'M'), d = FirstOf(longDate, 'd'), y = FirstOf(longDate, 'y');
  i[LOCALE_ILDATE] = y < m && y < d ? "2" : d < m ? "1" : "0";
  i[LOCALE_ICENTURY] = shortDate.find("yyyy") != AnsiString::npos ? "1" : "0";
  i[LOCALE_IDAYLZERO] = shortDate.find("dd") != AnsiString::npos ? "1" : "0";
  i[LOCALE_IMONLZERO] = shortDate.find("MM") != AnsiString::npos ? "1" : "0";
  bool twelveHour = longTime.find("tt") != AnsiString::npos;
  i[LOCALE_ITIME] = twelveHour ? "0" : "1";
  i[LOCALE_ITLZERO] = longTime.find(twelveHour ? "hh" : "HH") != AnsiString::npos ? "1" : "0";
  i[LOCALE_ITIMEMARKPOSN] = twelveHour && longTime.find("tt") < FirstOf(longTime, 'h') ? "1" : "0";
  i[LOCALE_S1159] = f.AmText;
  i[LOCALE_S2359] = f.PmText;
  i[LOCALE_SDECIMAL] = f.DecimalPoint;
  i[LOCALE_STHOUSAND] = f.GroupSeparator;
  i[LOCALE_SLIST] = f.DecimalPoint == "," ? ";" : ",";
  i[LOCALE_SCURRENCY] = f.CurrencySymbol;
  i[LOCALE_SNEGATIVESIGN] = f.NegativeSign;
  i[LOCALE_SPOSITIVESIGN] = f.PositiveSign == "+" ? "" : f.PositiveSign;
  i[LOCALE_ICALENDARTYPE] = "1";
  i[LOCALE_IOPTIONALCALENDAR] = "1";
  i[LOCALE_IFIRSTDAYOFWEEK] = std::to_string((f.FirstDayOfWeek + 6) % 7);
  // The database has no first-week rule; weeks that start on Monday go with
  // the rule of the first four-day week, the others with the week of
  // 1 January.
  i[LOCALE_IFIRSTWEEKOFYEAR] = f.FirstDayOfWeek == 1 ? "2" : "0";
  return i;
}

// ---- The user's locale -----------------------------------------------------------------

AnsiString EnvironmentLocaleName() {
  for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) {
      AnsiString s = v;
      size_t cut = s.find_first_of(".@");
      if (cut != AnsiString::npos) s.resize(cut);
      return s;
    }
  }
  return AnsiString();
}

std::shared_ptr<const TLocale> LoadUserLocale() {
  AnsiString name = EnvironmentLocaleName();
  if (name.empty() || name == "C" || name == "POSIX" || name == "en_US" || name == "en-US") return EnUs();
  rtl::backend::TLocaleFacts facts;
  if (!rtl::backend::LookupLocale(name, facts) || facts.Name == "en-US") return EnUs();
  return std::make_shared<const TLocale>(TLocale{LOCALE_CUSTOM_DEFAULT, ItemsFromFacts(facts)});
}

std::mutex g_lock;
std::shared_ptr<const TLocale> g_user;
// 0: the thread follows the user's locale.
thread_local LCID t_threadLocale = 0;

std::shared_ptr<const TLocale> User() {
  std::lock_guard<std::mutex> g(g_lock);
  if (!g_user) g_user = LoadUserLocale();
  return g_user;
}

std::shared_ptr<const TLocale> Resolve(LCID lcid) {
  std::shared_ptr<const TLocale> user = User();
  if (lcid == LOCALE_USER_DEFAULT || lcid == LOCALE_SYSTEM_DEFAULT || lcid == user->Id) return user;
  if (lcid == LOCALE_EN_US) return EnUs();
  return nullptr;
}

int FailLocale(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

LCID GetUserDefaultLCID() { return User()->Id; }
LCID GetSystemDefaultLCID() { return User()->Id; }
LANGID GetUserDefaultLangID() { return LANGIDFROMLCID(User()->Id); }

LCID GetThreadLocale() {
  if (t_threadLocale && Resolve(t_threadLocale)) return t_threadLocale;
  return User()->Id;
}

BOOL SetThreadLocale(LCID Locale) {
  std::shared_ptr<const TLocale> l = Resolve(Locale);
  if (!l) return FailLocale(ERROR_INVALID_PARAMETER);
  t_threadLocale = l->Id;
  return TRUE;
}

BOOL IsValidLocale(LCID Locale, DWORD) { return Resolve(Locale) ? TRUE : FALSE; }

int GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData) {
  if (cchData < 0 || (cchData > 0 && !lpLCData)) return FailLocale(ERROR_INVALID_PARAMETER);
  std::shared_ptr<const TLocale> l = Resolve(Locale);
  if (!l) return FailLocale(ERROR_INVALID_PARAMETER);
  bool number = LCType & LOCALE_RETURN_NUMBER;
  LCTYPE item = LCType & ~(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP | LOCALE_RETURN_NUMBER);
  auto it = l->Items.find(item);
  if (it == l->Items.end()) return FailLocale(ERROR_INVALID_FLAGS);
  const AnsiString& text = it->second;
  if (number) {
    char* end = nullptr;
    unsigned long v = text.empty() ? 0 : std::strtoul(text.c_str(), &end, item == LOCALE_ILANGUAGE ? 16 : 10);
    if (text.empty() || *end) return FailLocale(ERROR_INVALID_FLAGS);
    constexpr int size = static_cast<int>(sizeof(DWORD));
    if (cchData == 0) return size;
    if (cchData < size) return FailLocale(ERROR_INSUFFICIENT_BUFFER);
    DWORD d = static_cast<DWORD>(v);
    std::memcpy(lpLCData, &d, sizeof(d));
    return size;
  }
  int size = static_cast<int>(text.size()) + 1;
  if (cchData == 0) return size;
  if (cchData < size) return FailLocale(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(lpLCData, text.c_str(), static_cast<size_t>(size));
  return size;
}

namespace rtl::detail {

std::vector<std::pair<LCTYPE, AnsiString>> EnUsLocaleItems() {
  const TItems& items = EnUs()->Items;
  return {items.begin(), items.end()};
}

}  // namespace rtl::detail

namespace rtl::testing {

void InstallLocaleTable(LCID lcid, const std::vector<std::pair<LCTYPE, AnsiString>>& items) {
  TItems table(items.begin(), items.end());
  std::lock_guard<std::mutex> g(g_lock);
  g_user = std::make_shared<const TLocale>(TLocale{lcid, std::move(table)});
  t_threadLocale = 0;
}

void ResetLocale() {
  std::lock_guard<std::mutex> g(g_lock);
  g_user.reset();
  t_threadLocale = 0;
}

}  // namespace rtl::testing
