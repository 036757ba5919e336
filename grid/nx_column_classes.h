// The column classes: text (with fixed text around the value, masking and
// several lines), image-list index, a text column with a drop-down editor,
// and dates.
#pragma once

#include "grid/nx_columns.h"

class TCustomImageList;

// Registers the column classes for reading form descriptions; the grid's
// start-up calls it.
void RegisterColumnClasses();

class TNxTextColumn : public TNxCustomColumn {
  RTL_CLASS(TNxTextColumn, TNxCustomColumn)
  Integer FMaxLength = 0;
  bool FMultiLine = false;
  WideString FTextAfter, FTextBefore;
  char FPasswordChar = 0;

 public:
  explicit TNxTextColumn(TComponent* AOwner);

  TClass GetEditorClass() const override;
  TClass GetDisplayClass() const override;
  Byte GetColumnFlags() const override;
  Integer GetTextWidth(const WideString& Text) const override;
  Byte GetTextOptions() const override;
  void GetDrawText(const TCellInfo& Info, WideString& Text) override;
  bool IsValidEditKey(WideChar Key) const override;
  void PrepareEditor() override;
  void Assign(TPersistent* Source) override;

  Integer MaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer Value);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  const WideString& TextAfter() const { return FTextAfter; }
  void SetTextAfter(const WideString& Value);
  const WideString& TextBefore() const { return FTextBefore; }
  void SetTextBefore(const WideString& Value);
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
};

class TNxImageColumn : public TNxCustomColumn {
  RTL_CLASS(TNxImageColumn, TNxCustomColumn)
  TCustomImageList* FImages = nullptr;
  bool FTransparent = true;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 public:
  explicit TNxImageColumn(TComponent* AOwner);
  ~TNxImageColumn() override;

  TClass GetDisplayClass() const override;
  Byte GetColumnFlags() const override;
  void Assign(TPersistent* Source) override;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { FTransparent = Value; }
  bool IsDefaultValueStored() const { return DefaultValue() != u"0"; }
};

class TNxPopupColumn : public TNxTextColumn {
  RTL_CLASS(TNxPopupColumn, TNxTextColumn)

 protected:
  // Wired to the editor's close-up and select notifications.
  virtual void DoCloseUp(TObject* Sender);
  virtual void DoSelect(TObject* Sender);
  void WireEditor();

 public:
  explicit TNxPopupColumn(TComponent* AOwner);

  TNotifyEvent OnCloseUp;
  TNotifyEvent OnSelect;
};

class TNxDateColumn : public TNxPopupColumn {
  RTL_CLASS(TNxDateColumn, TNxPopupColumn)
  bool FHideWhenEmpty = false;
  WideString FEmptyCaption;
  AnsiString FFormatMask;
  char FDateSeparator = '/';
  TStartDayOfWeek FStartDay = dwSunday;
  bool FShowNoneButton = true;
  WideString FTodayCaption = u"Today";
  WideString FNoneCaption = u"None";

 public:
  explicit TNxDateColumn(TComponent* AOwner);

  TClass GetEditorClass() const override;
  TClass GetDisplayClass() const override;
  void GetDrawText(const TCellInfo& Info, WideString& Text) override;
  bool IsValidEditKey(WideChar Key) const override;
  void PrepareEditor() override;

  bool HideWhenEmpty() const { return FHideWhenEmpty; }
  void SetHideWhenEmpty(bool Value);
  const WideString& EmptyCaption() const { return FEmptyCaption; }
  void SetEmptyCaption(const WideString& Value) { FEmptyCaption = Value; }
  const AnsiString& FormatMask() const { return FFormatMask; }
  void SetFormatMask(const AnsiString& Value);
  char DateSeparator() const { return FDateSeparator; }
  void SetDateSeparator(char Value);
  TStartDayOfWeek StartDay() const { return FStartDay; }
  void SetStartDay(TStartDayOfWeek Value) { FStartDay = Value; }
  bool ShowNoneButton() const { return FShowNoneButton; }
  void SetShowNoneButton(bool Value) { FShowNoneButton = Value; }
  const WideString& TodayCaption() const { return FTodayCaption; }
  void SetTodayCaption(const WideString& Value) { FTodayCaption = Value; }
  const WideString& NoneCaption() const { return FNoneCaption; }
  void SetNoneCaption(const WideString& Value) { FNoneCaption = Value; }
  bool IsTodayCaptionStored() const { return FTodayCaption != u"Today"; }
  bool IsNoneCaptionStored() const { return FNoneCaption != u"None"; }
  bool IsDefaultValueStored() const;
};
