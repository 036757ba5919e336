// The drop-down window of a popup edit, and the month calendar of the date
// picker with its Today and None buttons.
#pragma once

#include <memory>

#include "grid/nx_classes.h"
#include "grid/nx_scroll_control.h"

class TStrings;
class TStringList;

// A flat push button painted on its parent.
class TNxMiniButton : public TGraphicControl {
  RTL_CLASS(TNxMiniButton, TGraphicControl)
  bool FPressed = false;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 public:
  explicit TNxMiniButton(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;
  bool Pressed() const { return FPressed; }
};

using TPopupSelectEvent = TClosure<void(TObject* Sender, const AnsiString& Value)>;

class TNxPopupControl : public TNxScrollControl {
  RTL_CLASS(TNxPopupControl, TNxScrollControl)
  TControl* FOwnerControl;
  bool FSuppressHide = true;
  bool FShown = false;
  bool FPressed = false;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseLeave() override;
  // Whether the pointer lies on the popup's window.
  bool CursorInside();
  virtual void DoHide();
  virtual void DoSelect(const AnsiString& Value);

 public:
  explicit TNxPopupControl(TComponent* AOwner);
  void WndProc(TMessage& Message) override;

  // Where a release selects, in client coordinates.
  virtual TRect GetClickRect() { return ClientRect(); }
  virtual void ClickAt(Integer /*X*/, Integer /*Y*/) {}
  virtual void UpdateSize() {}
  // Shows the popup at the screen point, kept inside the work area (and
  // above the owner when it would cover it).
  virtual void Popup(Integer X, Integer Y);
  virtual void Hide();

  TControl* OwnerControl() const { return FOwnerControl; }
  bool SuppressHide() const { return FSuppressHide; }
  void SetSuppressHide(bool Value) { FSuppressHide = Value; }
  bool Shown() const { return FShown; }
  void SetShown(bool Value) { FShown = Value; }
  bool PopupPressed() const { return FPressed; }

  TNotifyEvent OnHide;
  TPopupSelectEvent OnSelectValue;
};

class TNxDatePopup : public TNxPopupControl {
  RTL_CLASS(TNxDatePopup, TNxPopupControl)
  TDateTime FDate = 0;
  Word FDay = 1;
  std::unique_ptr<TStringList> FDayNames;
  bool FPressedInDays = false;
  Word FMonth = 1;
  std::unique_ptr<TStringList> FMonthNames;
  TNxMiniButton* FNoneButton = nullptr;
  TRect FLastSelectedRect;
  TDateTime FSelectedDate = 0;
  TStartDayOfWeek FStartDay = dwSunday;
  TNxMiniButton* FTodayButton = nullptr;
  Word FYear = 1;

  // The character height of the popup's font.
  Integer FontHeight();
  Integer GridTop() { return TitleRect().Bottom + CellSize().cy; }
  // The date in the cell; false outside the 7 x 6 grid.
  bool CellAt(Integer X, Integer Y, Integer& Column, Integer& Row);

 protected:
  void CreateWnd() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 public:
  explicit TNxDatePopup(TComponent* AOwner);
  ~TNxDatePopup() override;

  TRect GetClickRect() override;
  void ClickAt(Integer X, Integer Y) override;
  void UpdateSize() override;

  // CW = tmHeight + 4 wide, CH = tmHeight + 2 high.
  TSize CellSize();
  TRect TitleRect();
  TStartDayOfWeek FirstDayOfWeek();
  // 1..7 from the first column's weekday.
  Integer DayOfWeekIndex(TDateTime Date);
  WideString DayInitial(Integer Column);
  WideString MonthName(Integer Month);
  static void StepMonth(Word& Year, Word& Month, bool Backward);
  // Column 0..6, Row 0..5 of the shown month.
  TDateTime DateAt(Integer Column, Integer Row);
  // Highlights the day at the point (inside the grid only).
  void SelectAt(Integer X, Integer Y);
  void ButtonClick(TObject* Sender);
  void DrawTitle();
  void DrawDayNumber(const TRect& Rect, Integer Day);

  TDateTime Date() const { return FDate; }
  void SetDate(TDateTime Value);
  Word Day() const { return FDay; }
  void SetDay(Word Value) { FDay = Value; }
  TStrings* DayNames() const;
  void SetDayNames(TStrings* Value);
  Word Month() const { return FMonth; }
  void SetMonth(Word Value) { FMonth = Value; }
  TStrings* MonthNames() const;
  void SetMonthNames(TStrings* Value);
  TNxMiniButton* NoneButton() const { return FNoneButton; }
  TDateTime SelectedDate() const { return FSelectedDate; }
  void SetSelectedDate(TDateTime Value) { FSelectedDate = Value; }
  TStartDayOfWeek StartDay() const { return FStartDay; }
  void SetStartDay(TStartDayOfWeek Value) { FStartDay = Value; }
  TNxMiniButton* TodayButton() const { return FTodayButton; }
  Word Year() const { return FYear; }
  void SetYear(Word Value) { FYear = Value; }
};
