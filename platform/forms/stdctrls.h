// The standard controls: labels, edits and memos, buttons, check boxes and
// radio buttons, group boxes, combo boxes, list boxes (with check boxes),
// and scroll bars. Each windowed one wraps a standard window class: it asks
// for the class's styles in CreateParams, talks to the window with the
// class's messages, and hears back through the notifications its parent
// reflects to it (CN_COMMAND, CN_DRAWITEM, ...).
//
// What a control holds survives the loss of its window: text, check
// states, item strings with their objects, the selection and the top item
// are kept by the control while it has no window (before the first one, and
// between RecreateWnd's destroying and making it again).
#pragma once

#include <memory>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/rtl/stringlist.h"

class TCustomListBox;
class TCustomComboBox;

// ---- Types ---------------------------------------------------------------------------------

RTL_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
RTL_ENUM(TEllipsisPosition, epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis)
RTL_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)
RTL_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
RTL_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)
RTL_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)
RTL_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll)

// The scroll bars of a memo. ssHorizontal is also a shift state (an
// unrelated enumeration with other values), so the type lives in the
// StdCtrls scope, as the unit qualifies it: StdCtrls::ssHorizontal. The
// other names are free and are used unqualified too.
namespace StdCtrls {
RTL_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)
}  // namespace StdCtrls
using StdCtrls::TScrollStyle;
using StdCtrls::ssNone;
using StdCtrls::ssVertical;
using StdCtrls::ssBoth;

// The state of an owner-drawn item: one value per ODS_ bit, in bit order,
// so that an itemState converts as it is.
enum TOwnerDrawStateItem {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odReserved1,
  odReserved2,
  odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem, 16>;

using TDrawItemEvent =
    TClosure<void(TWinControl* Control, Integer Index, const TRect& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TClosure<void(TWinControl* Control, Integer Index, Integer& Height)>;
using TScrollEvent = TClosure<void(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos)>;

// Declares "Strings" (the list of strings) of a string list for streaming,
// written only when it holds strings (or differs from the ancestor's).
void DefineStringsProperty(TStrings* Strings, TFiler* Filer);

// ---- Labels ------------------------------------------------------------------------------

// Text painted on its parent. With AutoSize the label takes the size of its
// text (keeping its right edge when right-aligned); FocusControl is the
// control its accelerator ("&x") focuses.
class TCustomLabel : public TGraphicControl {
  RTL_CLASS(TCustomLabel, TGraphicControl)
  TWinControl* FFocusControl = nullptr;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  TEllipsisPosition FEllipsisPosition = epNone;
  bool FWordWrap = false;
  bool FShowAccelChar = true;

  // The text shortened with "..." so that its wrapped lines fit the
  // height (word wrap with an end or word ellipsis).
  AnsiString FitWrappedText(const AnsiString& Text, TRect Rect, UINT Flags);

 protected:
  virtual AnsiString GetLabelText();
  // DrawText of the label's text into Rect with Flags (DT_CALCRECT
  // measures into Rect); a disabled label is embossed.
  virtual void DoDrawText(TRect& Rect, UINT Flags);
  // With AutoSize, takes the size of the text.
  virtual void AdjustBounds();
  void AdjustSize() override;
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 public:
  explicit TCustomLabel(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
  void SetEllipsisPosition(TEllipsisPosition Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  // Whether the parent shows through (the label paints no background).
  bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
  void SetTransparent(bool Value);
};

class TLabel : public TCustomLabel {
  RTL_CLASS(TLabel, TCustomLabel)

 public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---- Edits -------------------------------------------------------------------------------

// A single-line edit ("EDIT"). OnChange follows every change of the text
// (typing, pasting, Text); OnKeyPress sees each character first and may
// discard it by setting it to 0.
class TCustomEdit : public TWinControl {
  RTL_CLASS(TCustomEdit, TWinControl)
  Integer FMaxLength = 0;
  TBorderStyle FBorderStyle = bsSingle;
  char FPasswordChar = 0;
  bool FReadOnly = false;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  bool FCreating = false;
  bool FModified = false;
  TEditCharCase FCharCase = ecNormal;

  void UpdateHeight();

 protected:
  virtual void Change();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void AdjustSize() override;
  void CMEnter(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  virtual void CNCommand(TMessage& Message);

 public:
  explicit TCustomEdit(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

  void Clear();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();
  bool CanUndo();
  void ClearUndo();
  void SelectAll();

  Integer MaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  TEditCharCase CharCase() const { return FCharCase; }
  // Converts the text there is to the new case.
  void SetCharCase(TEditCharCase Value);
  bool Modified();
  void SetModified(bool Value);
  // The selection, in bytes of the text; the window is made if needed.
  Integer SelStart();
  void SetSelStart(Integer Value);
  Integer SelLength();
  void SetSelLength(Integer Value);
  AnsiString SelText();
  // Replaces the selection (as typing would: OnChange follows).
  void SetSelText(const AnsiString& Value);

  TNotifyEvent OnChange;
};

class TEdit : public TCustomEdit {
  RTL_CLASS(TEdit, TCustomEdit)

 public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

class TCustomMemo;

// The lines of a memo: its text split at line breaks.
class TMemoStrings : public TStrings {
  RTL_CLASS(TMemoStrings, TStrings)
  friend class TCustomMemo;
  TCustomMemo* FMemo = nullptr;

  std::vector<AnsiString> Lines() const;
  void SetLines(const std::vector<AnsiString>& Lines);

 protected:
  AnsiString GetTextStr() const override;
  void SetTextStr(const AnsiString& Value) override;
  void SetUpdateState(bool Updating) override;
  void DefineProperties(TFiler* Filer) override;

 public:
  AnsiString Get(Integer Index) const override;
  Integer GetCount() const override;
  void Put(Integer Index, const AnsiString& S) override;
  void Clear() override;
  void Delete(Integer Index) override;
  void Insert(Integer Index, const AnsiString& S) override;
};

// A multi-line edit. Its lines end with CR LF in the window. Wrapped
// lines wrap at the window's width: no horizontal scrolling then (a
// horizontal scroll bar turns the wrapping off, as the window class has
// it).
class TCustomMemo : public TCustomEdit {
  RTL_CLASS(TCustomMemo, TCustomEdit)
  std::unique_ptr<TMemoStrings> FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FWantReturns = true;
  bool FWantTabs = false;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyPress(char& Key) override;

 public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;
  void Dispatch(TMessage& Message) override;

  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  // The caret (the end of the selection) as a column (X) of a line (Y),
  // both from 0; a wrapped line counts as the lines it shows as. Setting
  // it keeps to the lines and columns there are and selects nothing.
  TPoint CaretPos();
  void SetCaretPos(const TPoint& Value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
};

class TMemo : public TCustomMemo {
  RTL_CLASS(TMemo, TCustomMemo)

 public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// ---- Buttons, check boxes, radio buttons --------------------------------------------------

// What buttons, check boxes and radio buttons share: a "BUTTON" window and
// a check state (none for a push button).
class TButtonControl : public TWinControl {
  RTL_CLASS(TButtonControl, TWinControl)
  bool FClicksDisabled = false;
  bool FWordWrap = false;

 protected:
  void CreateParams(TCreateParams& Params) override;
  virtual void CNCommand(TMessage& Message) { DefaultHandler(Message); }
  // Clicks that setting Checked would fire are left out while this is set.
  bool ClicksDisabled() const { return FClicksDisabled; }
  void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }

 public:
  explicit TButtonControl(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

  virtual bool GetChecked() const { return false; }
  virtual void SetChecked(bool) {}
  bool Checked() const { return GetChecked(); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
};

// A push button. A click sets its form's ModalResult to the button's (a
// modal form closes with it); Enter clicks the focused button, or the
// Default one while the focus is on a control that is not a button; Esc
// clicks the Cancel one.
class TButton : public TButtonControl {
  RTL_CLASS(TButton, TButtonControl)
  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;
  TModalResult FModalResult = mrNone;

 protected:
  // Shows whether the button is the one Enter clicks (the default push
  // button style).
  virtual void SetButtonStyle(bool ADefault);
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CNCommand(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;

 public:
  explicit TButton(TComponent* AOwner);
  void Click() override;

  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // Whether Enter clicks the button now (it is focused, or it is the
  // default one and no other button is).
  bool Active() const { return FActive; }
};

// A check box: unchecked, checked, or grayed (only when AllowGrayed). A
// click steps through the states; every change of State (Checked) fires
// OnClick.
class TCustomCheckBox : public TButtonControl {
  RTL_CLASS(TCustomCheckBox, TButtonControl)
  TAlignment FAlignment = taRightJustify;
  bool FAllowGrayed = false;
  TCheckBoxState FState = cbUnchecked;

 protected:
  virtual void Toggle();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CNCommand(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;

 public:
  explicit TCustomCheckBox(TComponent* AOwner);

  bool GetChecked() const override { return FState == cbChecked; }
  void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  // Which side the text takes (the box is on the other).
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
};

class TCheckBox : public TCustomCheckBox {
  RTL_CLASS(TCheckBox, TCustomCheckBox)

 public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// A radio button: checking one unchecks the other radio buttons of its
// parent. The checked one is the tab stop of its group; moving the focus
// onto an unchecked one with the keyboard checks it.
class TRadioButton : public TButtonControl {
  RTL_CLASS(TRadioButton, TButtonControl)
  TAlignment FAlignment = taRightJustify;
  bool FChecked = false;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CNCommand(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;

 public:
  explicit TRadioButton(TComponent* AOwner);

  bool GetChecked() const override { return FChecked; }
  void SetChecked(bool Value) override;
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
};

// ---- Group box ------------------------------------------------------------------------------

// A captioned frame around other controls; its accelerator focuses the
// first of them.
class TCustomGroupBox : public TCustomControl {
  RTL_CLASS(TCustomGroupBox, TCustomControl)

 protected:
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void CMDialogChar(TMessage& Message) override;

 public:
  explicit TCustomGroupBox(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox {
  RTL_CLASS(TGroupBox, TCustomGroupBox)

 public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// ---- Item lists -------------------------------------------------------------------------------

// The items of a list box or combo box. While the control has a window the
// strings and objects are the window's (read and written with its
// messages); without one the list keeps them, with the selection, and hands
// them to the next window.
class TListControlItems : public TStrings {
  RTL_CLASS(TListControlItems, TStrings)
  friend class TCustomListBox;
  friend class TCustomComboBox;

 public:
  // The messages of the window class (LB_* or CB_*).
  struct TMessages {
    UINT Add, Insert, Delete, Reset, Count, GetText, GetTextLen, GetData, SetData, FindExact, GetCurSel, SetCurSel,
        GetTopIndex, SetTopIndex;
    // A list box's selection of several items (0 for a combo box).
    UINT GetSel, SetSel, GetCaret, SetCaret;
  };

 private:
  struct TItem {
    AnsiString S;
    TObject* Obj = nullptr;
    bool Selected = false;
  };
  TWinControl* FControl;
  const TMessages& FMsgs;
  std::vector<TItem> FItems;       // without a window
  std::vector<Integer> FStates;    // per item, kept by the list (check states)
  Integer FItemIndex = -1;         // without a window
  Integer FLoadedIndex = -2;       // read from a description (-2: none)
  Integer FTopIndex = 0;           // without a window
  bool FSorted = false;
  bool FMultiSelect = false;       // the list box's setting

  bool Live() const { return FControl->HandleAllocated(); }
  // Whether the selection is of several items (the window's style while
  // there is one).
  bool Multi() const;
  LRESULT Send(UINT Msg, WPARAM W, LPARAM L) const;
  Integer SortedIndex(const AnsiString& S) const;
  // Hands the kept items to the new window / takes them back from the
  // window that goes.
  void Restore();
  void Save();
  // Sorts the kept items (a window sorts its own when it is made again).
  void SetSorted(bool Value);
  // An index read before the items (from a description) is checked once
  // they are all there.
  void Loaded();
  Integer ItemIndex() const;
  void SetItemIndex(Integer Value);
  Integer TopIndex() const;
  void SetTopIndex(Integer Value);
  bool GetSelected(Integer Index) const;
  void SetSelected(Integer Index, bool Value);
  void CheckIndex(Integer Index) const;
  Integer ItemState(Integer Index) const;
  void SetItemState(Integer Index, Integer Value);

 protected:
  void SetUpdateState(bool Updating) override;
  void DefineProperties(TFiler* Filer) override;

 public:
  TListControlItems(TWinControl* Control, const TMessages& Msgs) : FControl(Control), FMsgs(Msgs) {}

  AnsiString Get(Integer Index) const override;
  Integer GetCount() const override;
  TObject* GetObject(Integer Index) const override;
  void PutObject(Integer Index, TObject* AObject) override;
  Integer Add(const AnsiString& S) override;
  Integer AddObject(const AnsiString& S, TObject* AObject) override;
  void Insert(Integer Index, const AnsiString& S) override;
  void InsertObject(Integer Index, const AnsiString& S, TObject* AObject) override;
  void Delete(Integer Index) override;
  void Clear() override;
  // Exact match, ignoring case; -1 when absent.
  Integer IndexOf(const AnsiString& S) const override;
  void Exchange(Integer Index1, Integer Index2) override;
  void Move(Integer CurIndex, Integer NewIndex) override;
};

// ---- Combo boxes ------------------------------------------------------------------------------

// A combo box ("COMBOBOX"): an edit or a selection field with a list that
// drops down (DropDownCount items high), or a list always shown
// (csSimple). A choice in the list fires OnClick, then OnSelect (OnChange
// when there is no OnSelect); typing into the edit fires OnChange.
class TCustomComboBox : public TWinControl {
  RTL_CLASS(TCustomComboBox, TWinControl)
  std::unique_ptr<TListControlItems> FItems;
  std::unique_ptr<TControlCanvas> FCanvas;
  TComboBoxStyle FStyle = csDropDown;
  Integer FDropDownCount = 8;
  Integer FItemHeight = 16;
  Integer FMaxLength = 0;
  TEditCharCase FCharCase = ecNormal;
  HWND FEditHandle = nullptr;

  void AdjustDropDown();
  // The keys typed into the edit of an edit style go through the combo
  // box's key events (OnKeyDown, OnKeyPress, OnKeyUp) first.
  static LRESULT EditSubclass(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id, DWORD_PTR Ref);
  bool IsListStyle() const { return FStyle != csDropDown && FStyle != csSimple; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  virtual void CNCommand(TMessage& Message);
  virtual void CNDrawItem(TMessage& Message);
  virtual void CNMeasureItem(TMessage& Message);
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void DrawItem(Integer Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(Integer Index, Integer& Height);

 public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;
  void Dispatch(TMessage& Message) override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  // The chosen item; -1 for none (which empties the text).
  Integer ItemIndex() const { return FItems->ItemIndex(); }
  void SetItemIndex(Integer Value);
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  Integer DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(Integer Value) { FDropDownCount = Value; }
  Integer ItemHeight();
  void SetItemHeight(Integer Value);
  bool Sorted() const { return FItems->FSorted; }
  void SetSorted(bool Value);
  Integer MaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  bool DroppedDown();
  void SetDroppedDown(bool Value);
  TCanvas* Canvas() const { return FCanvas.get(); }
  // The edit of an edit style's window; null for the list styles.
  HWND EditHandle() const { return FEditHandle; }
  void Clear();

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
};

class TComboBox : public TCustomComboBox {
  RTL_CLASS(TComboBox, TCustomComboBox)

 public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

// ---- List boxes -----------------------------------------------------------------------------

// A list box ("LISTBOX"): single selection, or MultiSelect (Shift and Ctrl
// with ExtendedSelect, each click toggling without it). A change of the
// selection by the user fires OnClick.
class TCustomListBox : public TWinControl {
  RTL_CLASS(TCustomListBox, TWinControl)
  std::unique_ptr<TListControlItems> FItems;
  std::unique_ptr<TControlCanvas> FCanvas;
  TListBoxStyle FStyle = lbStandard;
  TBorderStyle FBorderStyle = bsSingle;
  Integer FItemHeight = 16;
  Integer FColumns = 0;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  bool FIntegralHeight = false;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  virtual void CNCommand(TMessage& Message);
  virtual void CNDrawItem(TMessage& Message);
  virtual void CNMeasureItem(TMessage& Message);
  virtual void DrawItem(Integer Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(Integer Index, Integer& Height);
  // A per-item value the list keeps in step with its items (a check
  // list's states).
  Integer ItemState(Integer Index) const { return FItems->ItemState(Index); }
  void SetItemState(Integer Index, Integer Value) { FItems->SetItemState(Index, Value); }

 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;
  void Dispatch(TMessage& Message) override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  Integer Count() const { return FItems->Count(); }
  // The selected item (the focused one of a multi-selection); -1 for none.
  Integer ItemIndex() const { return FItems->ItemIndex(); }
  void SetItemIndex(Integer Value);
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  bool Selected(Integer Index) const;
  void SetSelected(Integer Index, bool Value);
  // The number of selected items (-1 for a single-selection list).
  Integer SelCount() const;
  void ClearSelection();
  void SelectAll();
  Integer TopIndex() const { return FItems->TopIndex(); }
  void SetTopIndex(Integer Value) { FItems->SetTopIndex(Value); }
  // The item at Pos (client coordinates): -1 there is none when Existing,
  // else the count when Pos is below the last item.
  Integer ItemAtPos(const TPoint& Pos, bool Existing);
  TRect ItemRect(Integer Index);
  void Clear();

  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  bool Sorted() const { return FItems->FSorted; }
  void SetSorted(bool Value);
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value);
  // The height of an owner-drawn item (lbOwnerDrawFixed); the window's
  // for a standard list.
  Integer ItemHeight();
  void SetItemHeight(Integer Value);
  Integer Columns() const { return FColumns; }
  void SetColumns(Integer Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TCanvas* Canvas() const { return FCanvas.get(); }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
};

class TListBox : public TCustomListBox {
  RTL_CLASS(TListBox, TCustomListBox)

 public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// A list box with a check box before each item: a click on the box or
// Space toggles it (unchecked, checked, grayed when AllowGrayed) and fires
// OnClickCheck. Disabled items (ItemEnabled false) do not toggle.
class TCheckListBox : public TCustomListBox {
  RTL_CLASS(TCheckListBox, TCustomListBox)
  bool FAllowGrayed = false;

  Integer CheckWidth() const;
  void ToggleClickCheck(Integer Index);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CNDrawItem(TMessage& Message) override;
  void DrawItem(Integer Index, const TRect& Rect, TOwnerDrawState State) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void KeyPress(char& Key) override;
  virtual void ClickCheck();

 public:
  explicit TCheckListBox(TComponent* AOwner);

  bool Checked(Integer Index) const { return State(Index) == cbChecked; }
  void SetChecked(Integer Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State(Integer Index) const;
  void SetState(Integer Index, TCheckBoxState Value);
  bool ItemEnabled(Integer Index) const;
  void SetItemEnabled(Integer Index, bool Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }

  TNotifyEvent OnClickCheck;
};

// ---- Scroll bar -------------------------------------------------------------------------------

// A scroll bar control ("SCROLLBAR"). The user's scrolling moves Position
// by SmallChange or LargeChange (or to the thumb), telling OnScroll first
// and OnChange when the position changed.
class TScrollBar : public TWinControl {
  RTL_CLASS(TScrollBar, TWinControl)
  TScrollBarKind FKind = sbHorizontal;
  Integer FPosition = 0;
  Integer FMin = 0;
  Integer FMax = 100;
  Integer FPageSize = 0;
  Integer FSmallChange = 1;
  Integer FLargeChange = 1;

  void UpdateScrollInfo();
  void DoScroll(TMessage& Message);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, Integer& ScrollPos);

 public:
  explicit TScrollBar(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

  // Raises EInvalidOperation "Scrollbar property out of range" when AMax
  // is below AMin; the position is kept within the range.
  void SetParams(Integer APosition, Integer AMin, Integer AMax);
  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  Integer Position() const { return FPosition; }
  void SetPosition(Integer Value) { SetParams(Value, FMin, FMax); }
  Integer Min() const { return FMin; }
  void SetMin(Integer Value) { SetParams(FPosition, Value, FMax); }
  Integer Max() const { return FMax; }
  void SetMax(Integer Value) { SetParams(FPosition, FMin, Value); }
  Integer PageSize() const { return FPageSize; }
  void SetPageSize(Integer Value);
  Integer SmallChange() const { return FSmallChange; }
  void SetSmallChange(Integer Value) { FSmallChange = Value; }
  Integer LargeChange() const { return FLargeChange; }
  void SetLargeChange(Integer Value) { FLargeChange = Value; }

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;
};

// Registers the standard controls' classes for reading form descriptions.
void RegisterStdCtrlsClasses();
