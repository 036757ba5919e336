// The date and time format controller: one hidden window per process that
// parses the current date and time pictures into typed items, derives
// masked-edit masks, regular-expression masks and display pictures for the
// date editors from them, builds the currency picture, keeps a copy of the
// thread locale's format settings, and tells its listeners when the user's
// regional settings or the system time change. Also the read accessors of
// the framework's current format settings.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "ui/foundation/message_windows.h"
#include "ui/foundation/resource_strings.h"

enum TcxFormatItemKind : Byte {
  fikLiteral,
  fikYear,
  fikMonth,
  fikDay,
  fikHour,
  fikMinute,
  fikSecond,
  fikMillisecond,
  fikAmPm,
  fikDateSeparator,
  fikTimeSeparator
};
constexpr int cxFormatItemKindCount = 11;

class TcxDateTimeFormatItem : public TObject {
  RTL_CLASS(TcxDateTimeFormatItem, TObject)

 public:
  TcxDateTimeFormatItem(TcxFormatItemKind AKind, const AnsiString& AText) : Text(AText), Kind(AKind) {}
  AnsiString Text;
  TcxFormatItemKind Kind;
};

// The items of a picture in order; owns them.
class TcxDateTimeFormatInfo : public TObject {
  RTL_CLASS(TcxDateTimeFormatInfo, TObject)
  std::vector<std::unique_ptr<TcxDateTimeFormatItem>> FItems;
  bool FDefined[cxFormatItemKindCount] = {};

 public:
  TcxDateTimeFormatInfo() = default;
  ~TcxDateTimeFormatInfo() override;

  // Frees the items and clears every defined flag.
  void Clear();
  // Appends an item; the defined flags stay.
  void AddItem(TcxFormatItemKind AKind, const AnsiString& AText);
  void DeleteItem(Integer AIndex);
  Integer ItemCount() const { return static_cast<Integer>(FItems.size()); }
  TcxDateTimeFormatItem* Items(Integer AIndex) const { return FItems.at(static_cast<size_t>(AIndex)).get(); }
  bool Defined(TcxFormatItemKind AKind) const { return FDefined[AKind]; }
  void SetDefined(TcxFormatItemKind AKind, bool AValue) { FDefined[AKind] = AValue; }
};

// Rebuilds AInfo from the picture ("C" when empty). A picture with the era
// letter G outside quotes, or whose sub-picture cannot be parsed, leaves
// AInfo empty. Letters without a meaning become literal text.
void cxParseFormatPicture(const AnsiString& APicture, TcxDateTimeFormatInfo* AInfo);
// The time picture in force: the framework's LongTimeFormat with the
// controller's UseFrameworkFormats on, else the thread locale's
// LOCALE_STIMEFORMAT through cxLocaleTimePicture.
AnsiString cxTimePicture();
// Each run of t (or of T) becomes "A/P" when one letter long, else "AMPM".
AnsiString cxLocaleTimePicture(const AnsiString& APicture);
// Count copies of the character; empty when Count <= 0.
AnsiString cxRepeatChar(char AChar, Integer ACount);

// Told after the controller rebuilt its pictures.
class IcxFormatListener : public IUnknown {
 public:
  virtual void PicturesChanged() = 0;

 protected:
  ~IcxFormatListener() = default;
};

inline constexpr IID IID_IcxSystemTimeListener = {
    0x5E33A2A7, 0x0C77, 0x415F, {0xA3, 0x59, 0x11, 0x21, 0x03, 0xE5, 0x49, 0x37}};

// A format listener that answers this interface is told when the system
// time changes.
class IcxSystemTimeListener : public IUnknown {
 public:
  virtual void SystemTimeChanged() = 0;

 protected:
  ~IcxSystemTimeListener() = default;
};

class TcxFormatController : public TcxMessageWindow, public IdxResourceStringsListener {
  RTL_CLASS(TcxFormatController, TcxMessageWindow)
  // No references are held.
  std::vector<IcxFormatListener*> FListeners;

 protected:
  void ProcessMessage(TMessage& Message) override;

 public:
  TcxFormatController();
  ~TcxFormatController() override;

  HRESULT QueryInterface(REFIID riid, void** ppvObject) override { return TcxMessageWindow::QueryInterface(riid, ppvObject); }
  ULONG AddRef() override { return static_cast<ULONG>(-1); }
  ULONG Release() override { return static_cast<ULONG>(-1); }

  AnsiString CurrencyPicture;
  AnsiString DateEditPicture;
  AnsiString MaskEditDateMask;
  // The thread locale's own separators, date and time pictures and AM/PM
  // strings, and the framework's list separator.
  TFormatSettings ThreadLocaleSettings;
  bool LocaleCalendarIsGregorian = true;
  AnsiString MaskEditDatePicture;
  AnsiString MaskEditDateTimePicture;
  AnsiString RegExDateMask;
  AnsiString RegExDateTimeMask;
  AnsiString MaskEditDateTimeMask;
  bool UseFrameworkFormats = false;
  std::unique_ptr<TcxDateTimeFormatInfo> DatePictureInfo;
  std::unique_ptr<TcxDateTimeFormatInfo> DateTimePictureInfo;
  std::unique_ptr<TcxDateTimeFormatInfo> TimePictureInfo;

  // A listener already listed is not added again.
  virtual void AttachListener(IcxFormatListener* AListener);
  // Removes the first occurrence; nothing when absent.
  virtual void DetachListener(IcxFormatListener* AListener);
  Integer ListenerCount() const { return static_cast<Integer>(FListeners.size()); }
  IcxFormatListener* Listeners(Integer AIndex) const { return FListeners.at(static_cast<size_t>(AIndex)); }

  void RebuildFormats();
  void RebuildMasks(bool AWithDateWords);
  // ThreadLocaleSettings and LocaleCalendarIsGregorian afresh.
  void LoadLocaleSettings();
  void NotifyPicturesChanged();
  void NotifySystemTimeChanged();
  // 0 the framework's short date picture, 1 cxTimePicture, 2 both with a
  // blank between.
  AnsiString PictureOfType(Integer AType);

  // Type 0 date, 1 time, 2 date and time.
  AnsiString BuildMaskEditMask(const TcxDateTimeFormatInfo* AInfo, Integer AType);
  AnsiString BuildRegExMask(const TcxDateTimeFormatInfo* AInfo, Integer AType);
  AnsiString BuildMaskEditPicture(const TcxDateTimeFormatInfo* AInfo);
  AnsiString BuildCurrencyPicture();
  AnsiString BuildDateEditPicture(bool ACutLongMonthRuns);

  // The resource strings changed: the date words of the masks with them.
  void ResourceStringsChanged() override;
};

// The process-wide controller, made on the first call; null once the unit
// has shut down.
TcxFormatController* cxGetFormatController();

// Text written in the masked edit's expression syntax: each apostrophe as
// \' and every run of other characters in apostrophes.
AnsiString cxMaskExpressionLiteral(const AnsiString& AText);

// The framework's current settings, read at the call. Names take 1-based
// indexes (days from Sunday).
Byte cxGetCurrencyDecimals();
Byte cxGetCurrencyFormat();
AnsiString cxGetCurrencyString();
char cxGetDateSeparator();
char cxGetDecimalSeparator();
char cxGetListSeparator();
AnsiString cxGetLongDateFormat();
AnsiString cxGetLongDayName(Integer ADay);
AnsiString cxGetLongMonthName(Integer AMonth);
AnsiString cxGetLongTimeFormat();
Byte cxGetNegCurrFormat();
AnsiString cxGetShortDateFormat();
AnsiString cxGetShortDayName(Integer ADay);
AnsiString cxGetShortMonthName(Integer AMonth);
AnsiString cxGetShortTimeFormat();
AnsiString cxGetTimeAMString();
AnsiString cxGetTimePMString();
char cxGetTimeSeparator();

namespace cx_formats_detail {
// The unit: the start-up lets the controller be made again, the shut-down
// frees it.
void StartFormats();
void StopFormats();
}  // namespace cx_formats_detail
