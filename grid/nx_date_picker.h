// The date field of the grid's date columns: a popup edit whose popup is
// the month calendar.
#pragma once

#include <functional>
#include <memory>

#include "grid/nx_button_edit.h"

class TStringList;
class TStrings;

class TNxDatePicker : public TNxPopupEdit {
  RTL_CLASS(TNxDatePicker, TNxPopupEdit)
  std::unique_ptr<TStringList> FDayNames;
  AnsiString FEmptyText;
  std::unique_ptr<TStringList> FMonthNames;
  WideString FNoneCaption = u"None";
  bool FShowNoneButton = true;
  TStartDayOfWeek FStartDay = dwSunday;
  WideString FTodayCaption = u"Today";

  // The calendar shows the edit's date.
  void CalendarFollows();

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void WMKillFocus(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;

 public:
  explicit TNxDatePicker(TComponent* AOwner);
  ~TNxDatePicker() override;

  TClass PopupClass() override;
  // Today for an empty text or "0"; 0 for text that is no date.
  TDateTime GetAsDateTime() override;
  void SetAsDateTime(TDateTime Value) override;
  void BeforePopup(const TPoint& ScreenPoint) override;

  TDateTime Date() { return GetAsDateTime(); }
  void SetDate(TDateTime Value) { SetAsDateTime(Value); }
  TStrings* DayNames() const;
  void SetDayNames(TStrings* Value);
  const AnsiString& EmptyText() const { return FEmptyText; }
  void SetEmptyText(const AnsiString& Value);
  TStrings* MonthNames() const;
  void SetMonthNames(TStrings* Value);
  const WideString& NoneCaption() const { return FNoneCaption; }
  void SetNoneCaption(const WideString& Value) { FNoneCaption = Value; }
  bool ShowNoneButton() const { return FShowNoneButton; }
  void SetShowNoneButton(bool Value) { FShowNoneButton = Value; }
  TStartDayOfWeek StartDay() const { return FStartDay; }
  void SetStartDay(TStartDayOfWeek Value) { FStartDay = Value; }
  const WideString& TodayCaption() const { return FTodayCaption; }
  void SetTodayCaption(const WideString& Value) { FTodayCaption = Value; }
  bool IsNoneCaptionStored() const { return FNoneCaption != u"None"; }
  bool IsTodayCaptionStored() const { return FTodayCaption != u"Today"; }
};

// Puts the editors into the columns' table of editor classes, under the
// names the columns ask for; the grid library's start-up calls it.
void RegisterNxEditorClasses();
