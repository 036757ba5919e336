#include "ui/foundation/format_controller.h"

#include <algorithm>
#include <cstring>

#include "platform/forms/forms.h"
#include "platform/rtl/format_settings_reader.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/syslocale.h"
#include "platform/win/kernel/kernel_locale.h"
#include "platform/win/user/user.h"
#include "ui/foundation/calendar_tables.h"
#include "ui/foundation/date_utils.h"

RTL_IMPLEMENT_CLASS(TcxDateTimeFormatItem)
RTL_IMPLEMENT_CLASS(TcxDateTimeFormatInfo)
RTL_IMPLEMENT_CLASS(TcxFormatController)

namespace {

TcxFormatController* g_controller = nullptr;
bool g_finalized = false;

}  // namespace

// ---- TcxDateTimeFormatInfo -------------------------------------------------------

TcxDateTimeFormatInfo::~TcxDateTimeFormatInfo() { Clear(); }

void TcxDateTimeFormatInfo::Clear() {
  FItems.clear();
  std::fill(std::begin(FDefined), std::end(FDefined), false);
}

void TcxDateTimeFormatInfo::AddItem(TcxFormatItemKind AKind, const AnsiString& AText) {
  FItems.push_back(std::make_unique<TcxDateTimeFormatItem>(AKind, AText));
}

void TcxDateTimeFormatInfo::DeleteItem(Integer AIndex) {
  FItems.erase(FItems.begin() + AIndex);
}

// ---- Parsing pictures ---------------------------------------------------------------

namespace {

struct TPictureParse {
  TcxDateTimeFormatInfo* Info;
  bool TwelveHour = false;

  void Add(TcxFormatItemKind AKind, const AnsiString& AText) {
    if (AKind != fikLiteral && AKind != fikDateSeparator && AKind != fikTimeSeparator && Info->Defined(AKind)) return;
    Info->AddItem(AKind, AText);
    Info->SetDefined(AKind, true);
  }

  void AddLiteral(const AnsiString& AText) {
    const Integer n = Info->ItemCount();
    if (n == 0 || Info->Items(n - 1)->Kind != fikLiteral) Add(fikLiteral, "");
    Info->Items(Info->ItemCount() - 1)->Text += AText;
  }

  static bool StartsWith(const AnsiString& S, size_t I, const char* AWord) {
    const size_t n = std::strlen(AWord);
    return I + n <= S.size() && SameText(S.substr(I, n), AWord);
  }

  bool Parse(const AnsiString& APicture, int ADepth) {
    if (ADepth == 2) return true;
    char lastLetter = ' ';
    bool hourSeen = false;
    bool amPmSeen = false;
    bool ok = true;
    size_t i = 0;
    const AnsiString& p = APicture;
    while (ok && i < p.size()) {
      const char c = p[i];
      char l = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
      if (l >= 'A' && l <= 'Z') {
        if (l == 'M' && lastLetter == 'H') l = 'N';
        lastLetter = l;
      }
      size_t run = 1;
      if (std::strchr("CDEHMNSTYZ", l) && l != '\0')
        while (i + run < p.size() && p[i + run] == c) ++run;
      switch (l) {
        case '\'':
        case '"': {
          const size_t close = p.find(c, i + 1);
          const size_t end = close == AnsiString::npos ? p.size() : close;
          if (end > i + 1) AddLiteral(p.substr(i + 1, end - i - 1));
          i = close == AnsiString::npos ? p.size() : close + 1;
          continue;
        }
        case '/': Add(fikDateSeparator, ""); break;
        case ':': Add(fikTimeSeparator, ""); break;
        case 'A':
          if (StartsWith(p, i, "AM/PM")) {
            Add(fikAmPm, p.substr(i, 5));
            run = 5;
            amPmSeen = true;
          } else if (StartsWith(p, i, "A/P")) {
            Add(fikAmPm, p.substr(i, 3));
            run = 3;
            amPmSeen = true;
          } else if (StartsWith(p, i, "AMPM")) {
            Add(fikAmPm, "AMPM");
            run = 4;
            amPmSeen = true;
          } else if (StartsWith(p, i, "AAAA")) {
            Add(fikDay, "DDDD");
            run = 4;
          } else if (StartsWith(p, i, "AAA")) {
            Add(fikDay, "DDD");
            run = 3;
          } else {
            AddLiteral(AnsiString(1, c));
          }
          break;
        case 'C':
          ok = Parse(FormatSettings.ShortDateFormat, ADepth + 1);
          if (ok) {
            AddLiteral(" ");
            ok = Parse(cxTimePicture(), ADepth + 1);
          }
          break;
        case 'D':
          if (run <= 4) Add(fikDay, cxRepeatChar('D', static_cast<Integer>(run)));
          else if (run == 5) ok = Parse(FormatSettings.ShortDateFormat, ADepth + 1);
          else ok = Parse(FormatSettings.LongDateFormat, ADepth + 1);
          break;
        case 'E':
        case 'Y': Add(fikYear, run > 2 ? "YYYY" : "YY"); break;
        case 'G': ok = false; break;
        case 'H':
          Add(fikHour, cxRepeatChar('H', static_cast<Integer>(std::min<size_t>(run, 2))));
          hourSeen = true;
          break;
        case 'M': Add(fikMonth, cxRepeatChar('M', static_cast<Integer>(std::min<size_t>(run, 4)))); break;
        case 'N': Add(fikMinute, cxRepeatChar('N', static_cast<Integer>(std::min<size_t>(run, 2)))); break;
        case 'S': Add(fikSecond, cxRepeatChar('S', static_cast<Integer>(std::min<size_t>(run, 2)))); break;
        case 'Z': Add(fikMillisecond, cxRepeatChar('Z', static_cast<Integer>(std::min<size_t>(run, 3)))); break;
        case 'T':
          ok = Parse(run == 1 ? FormatSettings.ShortTimeFormat : cxTimePicture(), ADepth + 1);
          break;
        default: AddLiteral(AnsiString(run, c)); break;
      }
      i += run;
    }
    if (hourSeen) TwelveHour = amPmSeen;
    return ok;
  }
};

}  // namespace

void cxParseFormatPicture(const AnsiString& APicture, TcxDateTimeFormatInfo* AInfo) {
  if (!AInfo) return;
  AInfo->Clear();
  TPictureParse parse{AInfo};
  if (!parse.Parse(APicture.empty() ? AnsiString("C") : APicture, 0)) {
    AInfo->Clear();
    return;
  }
  for (Integer i = 0; i < AInfo->ItemCount(); ++i)
    if (AInfo->Items(i)->Kind == fikHour) {
      AInfo->Items(i)->Text.insert(0, parse.TwelveHour ? "12" : "24");
      return;
    }
  // A designator without an hour is dropped.
  for (Integer i = 0; i < AInfo->ItemCount(); ++i)
    if (AInfo->Items(i)->Kind == fikAmPm) {
      AInfo->DeleteItem(i);
      AInfo->SetDefined(fikAmPm, false);
      return;
    }
}

AnsiString cxLocaleTimePicture(const AnsiString& APicture) {
  AnsiString out;
  size_t i = 0;
  while (i < APicture.size()) {
    const char c = APicture[i];
    if (c != 't' && c != 'T') {
      out += c;
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < APicture.size() && APicture[i + run] == c) ++run;
    out += run == 1 ? "A/P" : "AMPM";
    i += run;
  }
  return out;
}

AnsiString cxTimePicture() {
  TcxFormatController* controller = cxGetFormatController();
  if (controller && controller->UseFrameworkFormats) return FormatSettings.LongTimeFormat;
  char buffer[100];
  const AnsiString picture =
      GetLocaleInfoA(GetThreadLocale(), LOCALE_STIMEFORMAT, buffer, sizeof(buffer)) > 0 ? buffer : "";
  return cxLocaleTimePicture(picture);
}

AnsiString cxRepeatChar(char AChar, Integer ACount) {
  return ACount > 0 ? AnsiString(static_cast<size_t>(ACount), AChar) : AnsiString();
}

AnsiString cxMaskExpressionLiteral(const AnsiString& AText) {
  AnsiString out;
  size_t i = 0;
  while (i < AText.size()) {
    if (AText[i] == '\'') {
      out += "\\'";
      ++i;
      continue;
    }
    const size_t end = std::min(AText.find('\'', i), AText.size());
    out += '\'' + AText.substr(i, end - i) + '\'';
    i = end;
  }
  return out;
}

// ---- TcxFormatController --------------------------------------------------------------

TcxFormatController::TcxFormatController()
    : DatePictureInfo(std::make_unique<TcxDateTimeFormatInfo>()),
      DateTimePictureInfo(std::make_unique<TcxDateTimeFormatInfo>()),
      TimePictureInfo(std::make_unique<TcxDateTimeFormatInfo>()) {
  RebuildFormats();
  if (TdxResourceStringsRepository* repository = dxResourceStringsRepositoryInstance())
    repository->AttachListener(this);
}

TcxFormatController::~TcxFormatController() {
  if (TdxResourceStringsRepository* repository = dxResourceStringsRepositoryInstance())
    repository->DetachListener(this);
  if (g_controller == this) g_controller = nullptr;
}

void TcxFormatController::ProcessMessage(TMessage& Message) {
  if (Message.Msg == WM_SETTINGCHANGE && Message.WParam == 0 && Message.LParam != 0 &&
      std::strcmp(reinterpret_cast<const char*>(Message.LParam), "intl") == 0) {
    // A null lParam is no section name at all: such a change is not "intl".
    if (!Application || Application->UpdateFormatSettings()) {
      SetThreadLocale(LOCALE_USER_DEFAULT);
      GetFormatSettings();
      RebuildFormats();
      NotifyPicturesChanged();
    } else {
      LoadLocaleSettings();
    }
    Message.Result = 0;
    return;
  }
  if (Message.Msg == WM_TIMECHANGE) {
    NotifySystemTimeChanged();
    Message.Result = 0;
    return;
  }
  TcxMessageWindow::ProcessMessage(Message);
}

void TcxFormatController::AttachListener(IcxFormatListener* AListener) {
  if (AListener && std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end())
    FListeners.push_back(AListener);
}

void TcxFormatController::DetachListener(IcxFormatListener* AListener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), AListener);
  if (it != FListeners.end()) FListeners.erase(it);
}

void TcxFormatController::NotifyPicturesChanged() {
  // A listener may detach itself or others while being told.
  const std::vector<IcxFormatListener*> listeners = FListeners;
  for (IcxFormatListener* listener : listeners)
    if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end()) listener->PicturesChanged();
}

void TcxFormatController::NotifySystemTimeChanged() {
  const std::vector<IcxFormatListener*> listeners = FListeners;
  for (IcxFormatListener* listener : listeners) {
    if (std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) continue;
    void* timeListener = nullptr;
    if (listener->QueryInterface(IID_IcxSystemTimeListener, &timeListener) == S_OK && timeListener)
      static_cast<IcxSystemTimeListener*>(timeListener)->SystemTimeChanged();
  }
}

void TcxFormatController::ResourceStringsChanged() {
  RebuildFormats();
  NotifyPicturesChanged();
}

AnsiString TcxFormatController::PictureOfType(Integer AType) {
  switch (AType) {
    case 0: return FormatSettings.ShortDateFormat;
    case 1: return cxTimePicture();
    default: return FormatSettings.ShortDateFormat + " " + cxTimePicture();
  }
}

void TcxFormatController::LoadLocaleSettings() {
  cxLoadLocaleFormatSettings(ThreadLocaleSettings);
  LocaleCalendarIsGregorian = cxCalendarIsGregorian(nullptr);
}

void TcxFormatController::RebuildFormats() {
  // First, so that cxTimePicture below finds this controller instead of
  // making a second one.
  if (!g_controller && !g_finalized) g_controller = this;
  CurrencyPicture = BuildCurrencyPicture();
  DateEditPicture = BuildDateEditPicture(false);
  LoadLocaleSettings();
  RebuildMasks(true);
}

void TcxFormatController::RebuildMasks(bool AWithDateWords) {
  cxParseFormatPicture(PictureOfType(0), DatePictureInfo.get());
  cxParseFormatPicture(PictureOfType(1), TimePictureInfo.get());
  cxParseFormatPicture(PictureOfType(2), DateTimePictureInfo.get());
  MaskEditDateMask = BuildMaskEditMask(DatePictureInfo.get(), 0);
  RegExDateMask = BuildRegExMask(DatePictureInfo.get(), 0);
  if (AWithDateWords) cxDateWordsMaskExpression(RegExDateMask, false);
  RegExDateTimeMask = BuildRegExMask(DatePictureInfo.get(), 0) + " ' '(" + BuildRegExMask(TimePictureInfo.get(), 1) + ")?";
  if (AWithDateWords) cxDateWordsMaskExpression(RegExDateTimeMask, true);
  MaskEditDateTimeMask = BuildMaskEditMask(DateTimePictureInfo.get(), 2);
  MaskEditDatePicture = BuildMaskEditPicture(DatePictureInfo.get());
  MaskEditDateTimePicture = BuildMaskEditPicture(DateTimePictureInfo.get());
}

AnsiString TcxFormatController::BuildMaskEditMask(const TcxDateTimeFormatInfo* AInfo, Integer AType) {
  if (!AInfo || AInfo->ItemCount() == 0) return AnsiString();
  AnsiString mask = AType == 1 ? "" : "!";
  for (Integer i = 0; i < AInfo->ItemCount(); ++i) {
    const TcxDateTimeFormatItem* item = AInfo->Items(i);
    switch (item->Kind) {
      case fikLiteral:
        for (char c : item->Text) {
          mask += '\\';
          mask += c;
        }
        break;
      case fikYear: mask += item->Text.size() == 2 ? "99" : "9999"; break;
      case fikMonth:
      case fikDay: mask += item->Text.size() > 2 ? "lll" : "99"; break;
      case fikHour:
      case fikMinute:
      case fikSecond: mask += AType == 1 ? "00" : "99"; break;
      case fikMillisecond: break;
      case fikAmPm:
        if (SameText(item->Text, "A/P")) mask += "c";
        else if (SameText(item->Text, "AM/PM")) mask += "cc";
        else
          mask += cxRepeatChar('c', static_cast<Integer>(
                                        std::max(FormatSettings.TimeAMString.size(), FormatSettings.TimePMString.size())));
        break;
      case fikDateSeparator: mask += "/"; break;
      case fikTimeSeparator: mask += ":"; break;
    }
  }
  return mask + (AType == 1 ? ";1;0" : ";1; ");
}

namespace {

AnsiString SeparatorExpression(char ASeparator) {
  if (ASeparator == '\0') return AnsiString();
  if (ASeparator == ' ') return "' '";
  return AnsiString("\\") + ASeparator;
}

}  // namespace

AnsiString TcxFormatController::BuildRegExMask(const TcxDateTimeFormatInfo* AInfo, Integer AType) {
  if (!AInfo || AInfo->ItemCount() == 0) return AnsiString();
  const bool date = AType == 0 || AType == 2;
  const bool time = AType == 1 || AType == 2;
  AnsiString mask;
  for (Integer i = 0; i < AInfo->ItemCount(); ++i) {
    const TcxDateTimeFormatItem* item = AInfo->Items(i);
    const TcxFormatItemKind kind = item->Kind;
    const bool dateKind = kind == fikLiteral || kind == fikYear || kind == fikMonth || kind == fikDay ||
                          kind == fikDateSeparator;
    const bool timeKind = kind == fikLiteral || kind == fikHour || kind == fikMinute || kind == fikSecond ||
                          kind == fikMillisecond || kind == fikAmPm || kind == fikTimeSeparator;
    if (date && dateKind) {
      switch (kind) {
        case fikLiteral: mask += cxMaskExpressionLiteral(item->Text); break;
        case fikYear: mask += item->Text.size() == 2 ? "\\d\\d" : "\\d\\d\\d\\d"; break;
        case fikMonth: {
          mask += "((0?[1-9]|1[012])|(";
          const AnsiString* names =
              item->Text.size() == 4 ? FormatSettings.LongMonthNames : FormatSettings.ShortMonthNames;
          for (int m = 0; m < 12; ++m) {
            if (m > 0) mask += '|';
            // Names are escaped like the date words: a name with an
            // apostrophe would otherwise end its quoted run early.
            mask += names[m].empty() ? AnsiString("''") : cxMaskExpressionLiteral(names[m]);
          }
          mask += "))";
          break;
        }
        case fikDay: mask += "([012]?[1-9]|[123]0|31)"; break;
        case fikDateSeparator: mask += SeparatorExpression(FormatSettings.DateSeparator); break;
        default: break;
      }
    } else if (time && timeKind) {
      switch (kind) {
        case fikLiteral: mask += cxMaskExpressionLiteral(item->Text); break;
        case fikHour:
          mask += item->Text.compare(0, 2, "12") == 0 ? "(0?[1-9]|1[012])" : "([01]?\\d|2[0-3])";
          break;
        case fikMinute:
        case fikSecond: mask += "[0-5]?\\d"; break;
        case fikAmPm: {
          if (SameText(item->Text, "A/P")) {
            mask += "(A|P)?";
          } else if (SameText(item->Text, "AM/PM")) {
            mask += "(AM|PM)?";
          } else {
            const AnsiString& am = FormatSettings.TimeAMString;
            const AnsiString& pm = FormatSettings.TimePMString;
            if (!am.empty() && !pm.empty())
              mask += "(" + cxMaskExpressionLiteral(am) + "|" + cxMaskExpressionLiteral(pm) + ")?";
            else if (!am.empty() || !pm.empty())
              mask += "(" + cxMaskExpressionLiteral(am.empty() ? pm : am) + ")?";
          }
          break;
        }
        case fikTimeSeparator: mask += SeparatorExpression(FormatSettings.TimeSeparator); break;
        default: break;
      }
    }
  }
  return mask;
}

AnsiString TcxFormatController::BuildMaskEditPicture(const TcxDateTimeFormatInfo* AInfo) {
  AnsiString picture;
  if (!AInfo) return picture;
  for (Integer i = 0; i < AInfo->ItemCount(); ++i) {
    const TcxDateTimeFormatItem* item = AInfo->Items(i);
    switch (item->Kind) {
      case fikLiteral: picture += "'" + item->Text + "'"; break;
      case fikYear: picture += LowerCase(item->Text); break;
      case fikMonth: picture += item->Text.size() > 2 ? "mmm" : "mm"; break;
      case fikDay: picture += item->Text.size() > 2 ? "ddd" : "dd"; break;
      case fikHour: picture += "hh"; break;
      case fikMinute: picture += "nn"; break;
      case fikSecond: picture += "ss"; break;
      case fikMillisecond: break;
      case fikAmPm: picture += LowerCase(item->Text); break;
      case fikDateSeparator: picture += "/"; break;
      case fikTimeSeparator: picture += ":"; break;
    }
  }
  return picture;
}

AnsiString TcxFormatController::BuildCurrencyPicture() {
  const AnsiString n = ",0." + cxRepeatChar('0', FormatSettings.CurrencyDecimals);
  AnsiString s;
  for (char c : FormatSettings.CurrencyString) {
    if (c == ',' || c == '.') s += AnsiString("'") + c + "'";
    else s += c;
  }
  AnsiString positive;
  switch (FormatSettings.CurrencyFormat) {
    case 0: positive = s + n; break;
    case 1: positive = n + s; break;
    case 2: positive = s + " " + n; break;
    case 3: positive = n + " " + s; break;
    default: break;
  }
  AnsiString negative;
  switch (FormatSettings.NegCurrFormat) {
    case 0: negative = "(" + s + n + ")"; break;
    case 1: negative = "-" + s + n; break;
    case 2: negative = s + "-" + n; break;
    case 3: negative = s + n + "-"; break;
    case 4: negative = "(" + n + s + ")"; break;
    case 5: negative = "-" + n + s; break;
    case 6: negative = n + "-" + s; break;
    case 7: negative = n + s + "-"; break;
    case 8: negative = "-" + n + " " + s; break;
    case 9: negative = "-" + s + " " + n; break;
    case 10: negative = n + " " + s + "-"; break;
    case 11: negative = s + " " + n + "-"; break;
    case 12: negative = s + " " + "-" + n; break;
    case 13: negative = n + "-" + " " + s; break;
    case 14: negative = "(" + s + " " + n + ")"; break;
    case 15: negative = "(" + n + " " + s + ")"; break;
    default: break;
  }
  return positive + ";" + negative;
}

AnsiString TcxFormatController::BuildDateEditPicture(bool ACutLongMonthRuns) {
  const AnsiString& f = FormatSettings.ShortDateFormat;
  AnsiString out;
  for (size_t i = 0; i < f.size(); ++i) {
    const char c = f[i];
    const bool lone = (c == 'd' || c == 'M') && (i == 0 || f[i - 1] != c) && (i + 1 >= f.size() || f[i + 1] != c);
    out += c;
    if (lone) out += c;
  }
  if (ACutLongMonthRuns) {
    const size_t start = out.find('M');
    if (start != AnsiString::npos) {
      size_t run = 0;
      while (start + run < out.size() && out[start + run] == 'M') ++run;
      if (run > 3) out.erase(start + 3, run - 3);
    }
  }
  return out;
}

// ---- The instance and the accessors ----------------------------------------------------

TcxFormatController* cxGetFormatController() {
  // The constructor registers the new controller itself (RebuildFormats).
  if (!g_controller && !g_finalized) new TcxFormatController();
  return g_controller;
}

Byte cxGetCurrencyDecimals() { return FormatSettings.CurrencyDecimals; }
Byte cxGetCurrencyFormat() { return FormatSettings.CurrencyFormat; }
AnsiString cxGetCurrencyString() { return FormatSettings.CurrencyString; }
char cxGetDateSeparator() { return FormatSettings.DateSeparator; }
char cxGetDecimalSeparator() { return FormatSettings.DecimalSeparator; }
char cxGetListSeparator() { return FormatSettings.ListSeparator; }
AnsiString cxGetLongDateFormat() { return FormatSettings.LongDateFormat; }
AnsiString cxGetLongDayName(Integer ADay) { return FormatSettings.LongDayNames[(ADay - 1 + 7) % 7]; }
AnsiString cxGetLongMonthName(Integer AMonth) { return FormatSettings.LongMonthNames[(AMonth - 1 + 12) % 12]; }
AnsiString cxGetLongTimeFormat() { return FormatSettings.LongTimeFormat; }
Byte cxGetNegCurrFormat() { return FormatSettings.NegCurrFormat; }
AnsiString cxGetShortDateFormat() { return FormatSettings.ShortDateFormat; }
AnsiString cxGetShortDayName(Integer ADay) { return FormatSettings.ShortDayNames[(ADay - 1 + 7) % 7]; }
AnsiString cxGetShortMonthName(Integer AMonth) { return FormatSettings.ShortMonthNames[(AMonth - 1 + 12) % 12]; }
AnsiString cxGetShortTimeFormat() { return FormatSettings.ShortTimeFormat; }
AnsiString cxGetTimeAMString() { return FormatSettings.TimeAMString; }
AnsiString cxGetTimePMString() { return FormatSettings.TimePMString; }
char cxGetTimeSeparator() { return FormatSettings.TimeSeparator; }

namespace cx_formats_detail {

void StartFormats() { g_finalized = false; }

void StopFormats() {
  g_finalized = true;
  TcxFormatController* controller = g_controller;
  g_controller = nullptr;
  delete controller;
}

}  // namespace cx_formats_detail
