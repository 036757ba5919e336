// An edit with a small button at its right edge, and the drop-down edit
// whose button opens a popup below it, editable or list-style.
#pragma once

#include "grid/nx_classes.h"
#include "grid/nx_edit.h"

class TNxCustomButtonEdit;
class TNxPopupControl;

// The button at the right edge of a button edit.
class TNxSmallButton : public TCustomControl {
  RTL_CLASS(TNxSmallButton, TCustomControl)
  TNxCustomButtonEdit* FEdit = nullptr;
  bool FDown = false;
  bool FHover = false;

 protected:
  HTHEME FTheme = nullptr;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void WMEraseBkgnd(TMessage& Message) override { Message.Result = 1; }
  void CreateWnd() override;
  void DestroyWnd() override;
  // The visual-style class the button draws with.
  virtual const char16_t* ThemeClass() const { return u"button"; }
  // 1 normal, 2 hot, 3 pressed, 4 disabled edit.
  Integer ThemeState();
  bool EditEnabled() const;

 public:
  explicit TNxSmallButton(TComponent* AOwner);
  ~TNxSmallButton() override;
  void Dispatch(TMessage& Message) override;
  // The width the edit gives the button.
  virtual Integer ButtonWidth() const { return 21; }

  TNxCustomButtonEdit* Edit() const { return FEdit; }
  void SetEdit(TNxCustomButtonEdit* Value) { FEdit = Value; }
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  bool Hover() const { return FHover; }
  void SetHover(bool Value);
  HTHEME Theme() const { return FTheme; }

  TNotifyEvent OnRelease;
  TNotifyEvent OnPress;
};

class TNxExecuteButton : public TNxSmallButton {
  RTL_CLASS(TNxExecuteButton, TNxSmallButton)

 protected:
  void Paint() override;
  const char16_t* ThemeClass() const override { return u"button"; }

 public:
  explicit TNxExecuteButton(TComponent* AOwner);
  Integer ButtonWidth() const override { return 21; }
};

class TDropDownButton : public TNxSmallButton {
  RTL_CLASS(TDropDownButton, TNxSmallButton)

 protected:
  void Paint() override;
  const char16_t* ThemeClass() const override { return u"combobox"; }

 public:
  explicit TDropDownButton(TComponent* AOwner);
  Integer ButtonWidth() const override { return 16; }
};

RTL_ENUM(TNxEditOption, epDisablePaste, epDisableTyping)
using TNxEditOptions = TSet<TNxEditOption, 2>;
RTL_ENUM(TDropDownStyle, dsDropDown, dsDropDownList)

class TNxCustomButtonEdit : public TNxEdit {
  RTL_CLASS(TNxCustomButtonEdit, TNxEdit)
  TNxEditOptions FOptions;
  bool FShowButton = true;

 protected:
  TNxSmallButton* FButton = nullptr;
  TNxPopupControl* FPopup = nullptr;

  void CreateWnd() override;
  void Resize() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void WMWindowPosChanged(TMessage& Message) override;
  // Fire OnButtonClick and OnButtonDown.
  virtual void ButtonClick();
  virtual void ButtonDown();
  void ButtonPressed(TObject* /*Sender*/) { ButtonDown(); }
  void ButtonReleased(TObject* /*Sender*/) { ButtonClick(); }
  // Makes the button from ButtonClass and then the popup (CreatePopup):
  // the constructor of the class that is made runs it, once the class's
  // overrides are in place.
  void Init();

 public:
  explicit TNxCustomButtonEdit(TComponent* AOwner);
  ~TNxCustomButtonEdit() override;
  void Dispatch(TMessage& Message) override;

  virtual void CreatePopup() {}
  virtual TClass ButtonClass();
  virtual TClass PopupClass();
  virtual void SetEditText(const AnsiString& Value) { SetText(Value); }
  // Before every showing of the popup, with the screen point below the edit.
  virtual void BeforePopup(const TPoint& /*ScreenPoint*/) {}
  // A value chosen in the popup.
  virtual void ApplyPopupValue(TObject* Sender, const AnsiString& Value);
  virtual void UpdateButton();
  // The popup calls it when it hides.
  void ReleaseButton(TObject* Sender);
  void AdjustMargins(Integer& Left, Integer& Right) override;
  void PrepareEdit() override;

  TNxSmallButton* Button() const { return FButton; }
  TNxPopupControl* Popup() const { return FPopup; }
  TNxEditOptions Options() const { return FOptions; }
  void SetOptions(TNxEditOptions Value) { FOptions = Value; }
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool Value);

  TNotifyEvent OnButtonClick;
  TNotifyEvent OnButtonDown;
};

class TNxButtonEdit : public TNxCustomButtonEdit {
  RTL_CLASS(TNxButtonEdit, TNxCustomButtonEdit)

 public:
  explicit TNxButtonEdit(TComponent* AOwner) : TNxCustomButtonEdit(AOwner) { Init(); }
};

class TNxPopupEdit : public TNxCustomButtonEdit {
  RTL_CLASS(TNxPopupEdit, TNxCustomButtonEdit)
  TDrawingOptions FDrawingOptions = doNormal;
  bool FDroppedDown = false;
  TDropDownStyle FStyle = dsDropDown;
  bool FHideFocus = false;

 protected:
  void ButtonDown() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void VisibleChanging() override;
  virtual void CloseUp();
  virtual void DoPaint();
  virtual void Select();
  // The screen point below the edit's left end where the popup opens.
  TPoint PopupPoint();

 public:
  explicit TNxPopupEdit(TComponent* AOwner) : TNxPopupEdit(AOwner, 0) { Init(); }
  // For derived classes, which run Init themselves.
  TNxPopupEdit(TComponent* AOwner, int /*Deferred*/);
  void Dispatch(TMessage& Message) override;

  void CreatePopup() override;
  TClass ButtonClass() override;
  void ApplyPopupValue(TObject* Sender, const AnsiString& Value) override;
  bool IsTextDrawnByEdit() override { return FStyle != dsDropDownList; }
  void InfoMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void PaintText() override;
  virtual void SetStyle(TDropDownStyle Value);
  void SetDroppedDown(bool Value);
  TColor FocusColor();

  TDrawingOptions DrawingOptions() const { return FDrawingOptions; }
  void SetDrawingOptions(TDrawingOptions Value);
  bool DroppedDown() const { return FDroppedDown; }
  TDropDownStyle Style() const { return FStyle; }
  bool HideFocus() const { return FHideFocus; }
  void SetHideFocus(bool Value);

  TNotifyEvent OnCloseUp;
  TNotifyEvent OnSelect;
  TNotifyEvent OnPaint;
};
