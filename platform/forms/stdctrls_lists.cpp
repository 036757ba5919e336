// The item lists of list and combo boxes, combo boxes over "COMBOBOX",
// list boxes over "LISTBOX" and the check list box.
#include <algorithm>

#include "platform/forms/stdctrls.h"
#include "platform/forms/stdctrls_internal.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"
#include "platform/win/user/standard_classes.h"

RTL_IMPLEMENT_CLASS(TListControlItems)
RTL_IMPLEMENT_CLASS(TCustomComboBox)
RTL_IMPLEMENT_PUBLISHED(TComboBox,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(CharCase).Default(ecNormal),
                        RTL_COLOR_PROP(clWindow),
                        RTL_PROP(Ctl3D).Stored<&Self::IsCtl3DStored>(),
                        RTL_PROP(DropDownCount).Default(8),
                        RTL_PROP(ItemHeight).Default(16),
                        RTL_PROP(MaxLength).Default(0),
                        RTL_PROP(ParentColor).Default(false),
                        RTL_PROP(ParentCtl3D).Default(true),
                        RTL_PROP(Sorted).Default(false),
                        RTL_PROP(Style).Default(csDropDown),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        // The items before what refers to them.
                        RTL_PROP(Items),
                        RTL_PROP(ItemIndex).Default(-1),
                        RTL_PROP(Text),
                        RTL_EVENT(OnChange),
                        RTL_EVENT(OnCloseUp),
                        RTL_EVENT(OnDrawItem),
                        RTL_EVENT(OnDropDown),
                        RTL_EVENT(OnMeasureItem),
                        RTL_EVENT(OnSelect),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)
RTL_IMPLEMENT_CLASS(TCustomListBox)
RTL_IMPLEMENT_PUBLISHED(TListBox,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(BorderStyle).Default(bsSingle),
                        RTL_COLOR_PROP(clWindow),
                        RTL_PROP(Columns).Default(0),
                        RTL_PROP(Ctl3D).Stored<&Self::IsCtl3DStored>(),
                        RTL_PROP(ExtendedSelect).Default(true),
                        RTL_PROP(IntegralHeight).Default(false),
                        RTL_PROP(ItemHeight).Default(16),
                        RTL_PROP(MultiSelect).Default(false),
                        RTL_PROP(ParentColor).Default(false),
                        RTL_PROP(ParentCtl3D).Default(true),
                        RTL_PROP(Sorted).Default(false),
                        RTL_PROP(Style).Default(lbStandard),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        RTL_PROP(Items),
                        RTL_PROP(ItemIndex).Default(-1),
                        RTL_EVENT(OnDrawItem),
                        RTL_EVENT(OnMeasureItem),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)
RTL_IMPLEMENT_PUBLISHED(TCheckListBox,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(AllowGrayed).Default(false),
                        RTL_PROP(BorderStyle).Default(bsSingle),
                        RTL_COLOR_PROP(clWindow),
                        RTL_PROP(Columns).Default(0),
                        RTL_PROP(Ctl3D).Stored<&Self::IsCtl3DStored>(),
                        RTL_PROP(IntegralHeight).Default(false),
                        RTL_PROP(ItemHeight).Default(16),
                        RTL_PROP(ParentColor).Default(false),
                        RTL_PROP(ParentCtl3D).Default(true),
                        RTL_PROP(Sorted).Default(false),
                        RTL_PROP(Style).Default(lbStandard),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        RTL_PROP(Items),
                        RTL_PROP(ItemIndex).Default(-1),
                        RTL_EVENT(OnClickCheck),
                        RTL_EVENT(OnDrawItem),
                        RTL_EVENT(OnMeasureItem),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)

namespace {

const TListControlItems::TMessages kListBoxMessages{
    LB_ADDSTRING,   LB_INSERTSTRING, LB_DELETESTRING,    LB_RESETCONTENT, LB_GETCOUNT,     LB_GETTEXT,
    LB_GETTEXTLEN,  LB_GETITEMDATA,  LB_SETITEMDATA,     LB_FINDSTRINGEXACT, LB_GETCURSEL, LB_SETCURSEL,
    LB_GETTOPINDEX, LB_SETTOPINDEX,  LB_GETSEL,          LB_SETSEL,       LB_GETCARETINDEX, LB_SETCARETINDEX};

const TListControlItems::TMessages kComboBoxMessages{
    CB_ADDSTRING,   CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,    CB_GETCOUNT,  CB_GETLBTEXT,
    CB_GETLBTEXTLEN, CB_GETITEMDATA, CB_SETITEMDATA,  CB_FINDSTRINGEXACT, CB_GETCURSEL, CB_SETCURSEL,
    CB_GETTOPINDEX, CB_SETTOPINDEX,  0,               0,                  0,            0};

// The owner-draw protocol that list and combo boxes share: the canvas gets
// the item's DC, the control's font and brush (the highlight colours for a
// selected item), the item is drawn, then the focus rectangle.
template <class F>
void OwnerDrawItem(TControlCanvas* Canvas, TWinControl* Control, TMessage& Message, F Draw) {
  auto* Item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  const TOwnerDrawState State = TOwnerDrawState::FromBits(Item->itemState & 0x1FFF);
  const Integer Index = static_cast<Integer>(Item->itemID);
  Canvas->SetHandle(Item->hDC);
  {
    TScopeExit ReleaseCanvas([&] { Canvas->SetHandle(nullptr); });
    Canvas->SetFont(Control->Font());
    Canvas->SetBrush(Control->Brush());
    if (Index >= 0 && State.Contains(odSelected)) {
      Canvas->Brush()->SetColor(clHighlight);
      Canvas->Font()->SetColor(clHighlightText);
    }
    if (Index >= 0)
      Draw(Index, TRect(Item->rcItem), State);
    else
      Canvas->FillRect(Item->rcItem);
    if (State.Contains(odFocused)) DrawFocusRect(Item->hDC, &Item->rcItem);
  }
  Message.Result = 1;
}

// An owner-drawn item's height: the fixed one, unless the style is
// variable and Measure changes it; never less than a pixel.
template <class F>
void OwnerMeasureItem(TMessage& Message, Integer FixedHeight, bool Variable, F Measure) {
  auto* Item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  Integer H = FixedHeight;
  if (Variable) Measure(static_cast<Integer>(Item->itemID), H);
  Item->itemHeight = static_cast<UINT>(std::max(1, H));
  Message.Result = 1;
}

}  // namespace

// ---- TListControlItems ------------------------------------------------------------------

LRESULT TListControlItems::Send(UINT Msg, WPARAM W, LPARAM L) const {
  return SendMessage(FControl->Handle(), Msg, W, L);
}

bool TListControlItems::Multi() const {
  if (!FMsgs.GetSel) return false;
  if (!Live()) return FMultiSelect;
  return (GetWindowLong(FControl->Handle(), GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

void TListControlItems::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
}

AnsiString TListControlItems::Get(Integer Index) const {
  if (!Live()) {
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)].S;
  }
  const LRESULT Len = Send(FMsgs.GetTextLen, static_cast<WPARAM>(Index), 0);
  if (Len < 0) Error("List index out of bounds (%d)", Index);
  AnsiString S(static_cast<size_t>(Len) + 1, '\0');
  const LRESULT Got = Send(FMsgs.GetText, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.data()));
  S.resize(static_cast<size_t>(std::max<LRESULT>(0, Got)));
  return S;
}

Integer TListControlItems::GetCount() const {
  return Live() ? static_cast<Integer>(Send(FMsgs.Count, 0, 0)) : static_cast<Integer>(FItems.size());
}

TObject* TListControlItems::GetObject(Integer Index) const {
  CheckIndex(Index);
  if (!Live()) return FItems[static_cast<size_t>(Index)].Obj;
  return reinterpret_cast<TObject*>(Send(FMsgs.GetData, static_cast<WPARAM>(Index), 0));
}

void TListControlItems::PutObject(Integer Index, TObject* AObject) {
  CheckIndex(Index);
  if (Live())
    Send(FMsgs.SetData, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
  else
    FItems[static_cast<size_t>(Index)].Obj = AObject;
}

Integer TListControlItems::SortedIndex(const AnsiString& S) const {
  Integer I = 0;
  while (I < static_cast<Integer>(FItems.size()) && AnsiCompareText(FItems[static_cast<size_t>(I)].S, S) <= 0) ++I;
  return I;
}

Integer TListControlItems::Add(const AnsiString& S) { return AddObject(S, nullptr); }

Integer TListControlItems::AddObject(const AnsiString& S, TObject* AObject) {
  Integer Index;
  if (Live()) {
    // The window appends, or finds the place in a sorted list.
    Index = static_cast<Integer>(Send(FMsgs.Add, 0, reinterpret_cast<LPARAM>(S.c_str())));
    if (Index < 0) throw EOutOfResources("Unable to insert a line");
    if (AObject) Send(FMsgs.SetData, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
    FStates.resize(static_cast<size_t>(GetCount() - 1));
  } else {
    Index = FSorted ? SortedIndex(S) : static_cast<Integer>(FItems.size());
    FItems.insert(FItems.begin() + Index, TItem{S, AObject, false});
    if (FItemIndex >= Index) ++FItemIndex;
    FStates.resize(FItems.size() - 1);
  }
  FStates.insert(FStates.begin() + Index, 0);
  return Index;
}

void TListControlItems::Insert(Integer Index, const AnsiString& S) { InsertObject(Index, S, nullptr); }

void TListControlItems::InsertObject(Integer Index, const AnsiString& S, TObject* AObject) {
  const Integer Count = GetCount();
  if (Index < 0 || Index > Count) Error("List index out of bounds (%d)", Index);
  if (Live()) {
    if (Send(FMsgs.Insert, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str())) < 0)
      throw EOutOfResources("Unable to insert a line");
    if (AObject) Send(FMsgs.SetData, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
  } else {
    FItems.insert(FItems.begin() + Index, TItem{S, AObject, false});
    if (FItemIndex >= Index) ++FItemIndex;
  }
  FStates.resize(static_cast<size_t>(Count));
  FStates.insert(FStates.begin() + Index, 0);
}

void TListControlItems::Delete(Integer Index) {
  CheckIndex(Index);
  const Integer Count = GetCount();
  if (Live()) {
    Send(FMsgs.Delete, static_cast<WPARAM>(Index), 0);
  } else {
    FItems.erase(FItems.begin() + Index);
    if (FItemIndex == Index)
      FItemIndex = -1;
    else if (FItemIndex > Index)
      --FItemIndex;
  }
  FStates.resize(static_cast<size_t>(Count));
  FStates.erase(FStates.begin() + Index);
}

void TListControlItems::Clear() {
  if (Live()) {
    Send(FMsgs.Reset, 0, 0);
  } else {
    FItems.clear();
    FItemIndex = -1;
    FTopIndex = 0;
  }
  FStates.clear();
}

Integer TListControlItems::IndexOf(const AnsiString& S) const {
  if (Live()) {
    const LRESULT I = Send(FMsgs.FindExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str()));
    return I < 0 ? -1 : static_cast<Integer>(I);
  }
  for (size_t I = 0; I < FItems.size(); ++I)
    if (AnsiSameText(FItems[I].S, S)) return static_cast<Integer>(I);
  return -1;
}

void TListControlItems::Exchange(Integer Index1, Integer Index2) {
  if (Index1 == Index2) return;
  CheckIndex(Index1);
  CheckIndex(Index2);
  const AnsiString S1 = Get(Index1), S2 = Get(Index2);
  TObject* O1 = GetObject(Index1);
  TObject* O2 = GetObject(Index2);
  const Integer State1 = ItemState(Index1), State2 = ItemState(Index2);
  BeginUpdate();
  TScopeExit EndUpdating([&] { EndUpdate(); });
  Delete(Index1);
  InsertObject(Index1, S2, O2);
  Delete(Index2);
  InsertObject(Index2, S1, O1);
  SetItemState(Index1, State2);
  SetItemState(Index2, State1);
}

void TListControlItems::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  const AnsiString S = Get(CurIndex);
  TObject* O = GetObject(CurIndex);
  const Integer State = ItemState(CurIndex);
  BeginUpdate();
  TScopeExit EndUpdating([&] { EndUpdate(); });
  Delete(CurIndex);
  InsertObject(NewIndex, S, O);
  SetItemState(NewIndex, State);
}

void TListControlItems::SetUpdateState(bool Updating) {
  if (!Live()) return;
  Send(WM_SETREDRAW, Updating ? 0 : 1, 0);
  if (!Updating) FControl->Refresh();
}

void TListControlItems::DefineProperties(TFiler* Filer) { DefineStringsProperty(this, Filer); }

Integer TListControlItems::ItemState(Integer Index) const {
  return Index >= 0 && Index < static_cast<Integer>(FStates.size()) ? FStates[static_cast<size_t>(Index)] : 0;
}

void TListControlItems::SetItemState(Integer Index, Integer Value) {
  CheckIndex(Index);
  // Items added through the window's own messages have no state yet.
  if (static_cast<Integer>(FStates.size()) <= Index) FStates.resize(static_cast<size_t>(GetCount()));
  FStates[static_cast<size_t>(Index)] = Value;
}

Integer TListControlItems::ItemIndex() const {
  if (!Live()) {
    if (FLoadedIndex != -2) return FLoadedIndex;
    return FItemIndex >= 0 && FItemIndex < GetCount() ? FItemIndex : -1;
  }
  const LRESULT I = Send(Multi() ? FMsgs.GetCaret : FMsgs.GetCurSel, 0, 0);
  return I < 0 ? -1 : static_cast<Integer>(I);
}

void TListControlItems::SetItemIndex(Integer Value) {
  if (Live()) {
    if (Multi())
      Send(FMsgs.SetCaret, static_cast<WPARAM>(Value), 0);
    else
      Send(FMsgs.SetCurSel, static_cast<WPARAM>(Value), 0);
  } else if (FControl->ComponentState().Contains(csLoading)) {
    FLoadedIndex = Value;  // chosen in Loaded, once the items are read
  } else {
    FItemIndex = Value >= 0 && Value < GetCount() ? Value : -1;
  }
}

void TListControlItems::Loaded() {
  if (FLoadedIndex == -2) return;
  const Integer Index = FLoadedIndex;
  FLoadedIndex = -2;
  SetItemIndex(Index >= 0 && Index < GetCount() ? Index : -1);
}

Integer TListControlItems::TopIndex() const {
  if (!Live()) return FTopIndex;
  const LRESULT I = Send(FMsgs.GetTopIndex, 0, 0);
  return I < 0 ? 0 : static_cast<Integer>(I);
}

void TListControlItems::SetTopIndex(Integer Value) {
  if (Live())
    Send(FMsgs.SetTopIndex, static_cast<WPARAM>(Value), 0);
  else
    FTopIndex = std::max(0, Value);
}

bool TListControlItems::GetSelected(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError("List index out of bounds (%d)", {Index});
  if (!Live()) return Multi() ? FItems[static_cast<size_t>(Index)].Selected : FItemIndex == Index;
  if (!FMsgs.GetSel) return ItemIndex() == Index;
  return Send(FMsgs.GetSel, static_cast<WPARAM>(Index), 0) > 0;
}

void TListControlItems::SetSelected(Integer Index, bool Value) {
  if (Index < 0 || Index >= GetCount()) throw EListError("List index out of bounds (%d)", {Index});
  if (Multi()) {
    if (Live())
      Send(FMsgs.SetSel, Value ? TRUE : FALSE, Index);
    else
      FItems[static_cast<size_t>(Index)].Selected = Value;
  } else if (Value) {
    SetItemIndex(Index);
  } else if (ItemIndex() == Index) {
    SetItemIndex(-1);
  }
}

void TListControlItems::Save() {
  const bool MultiSel = Multi();
  const Integer Count = GetCount();
  std::vector<TItem> Items(static_cast<size_t>(Count));
  for (Integer I = 0; I < Count; ++I) {
    TItem& It = Items[static_cast<size_t>(I)];
    It.S = Get(I);
    It.Obj = GetObject(I);
    It.Selected = MultiSel && Send(FMsgs.GetSel, static_cast<WPARAM>(I), 0) > 0;
  }
  FItemIndex = ItemIndex();
  FTopIndex = TopIndex();
  FItems = std::move(Items);
  FStates.resize(FItems.size());
}

void TListControlItems::Restore() {
  std::vector<TItem> Items = std::move(FItems);
  FItems.clear();
  if (Items.empty()) return;
  const bool MultiSel = Multi();
  std::vector<Integer> States = FStates;
  States.resize(Items.size());
  // A sorted window puts each item where it belongs: follow where every
  // item ends up, to give it back its state and selection.
  std::vector<Integer> Where;
  Where.reserve(Items.size());
  Send(WM_SETREDRAW, 0, 0);
  for (const TItem& It : Items) {
    const Integer Index = static_cast<Integer>(Send(FMsgs.Add, 0, reinterpret_cast<LPARAM>(It.S.c_str())));
    for (Integer& W : Where)
      if (W >= Index) ++W;
    Where.push_back(Index);
    if (It.Obj) Send(FMsgs.SetData, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(It.Obj));
  }
  FStates.assign(Items.size(), 0);
  for (size_t I = 0; I < Items.size(); ++I) {
    const Integer W = Where[I];
    if (W < 0) continue;
    FStates[static_cast<size_t>(W)] = States[I];
    if (MultiSel && Items[I].Selected) Send(FMsgs.SetSel, TRUE, W);
  }
  if (FItemIndex >= 0 && FItemIndex < static_cast<Integer>(Where.size()))
    SetItemIndex(Where[static_cast<size_t>(FItemIndex)]);
  Send(FMsgs.SetTopIndex, static_cast<WPARAM>(FTopIndex), 0);
  Send(WM_SETREDRAW, 1, 0);
}

void TListControlItems::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (!Value || Live()) return;
  std::vector<size_t> Order(FItems.size());
  for (size_t I = 0; I < Order.size(); ++I) Order[I] = I;
  std::stable_sort(Order.begin(), Order.end(),
                   [this](size_t A, size_t B) { return AnsiCompareText(FItems[A].S, FItems[B].S) < 0; });
  std::vector<TItem> Items;
  std::vector<Integer> States;
  Integer Index = -1;
  FStates.resize(FItems.size());
  for (size_t I = 0; I < Order.size(); ++I) {
    Items.push_back(FItems[Order[I]]);
    States.push_back(FStates[Order[I]]);
    if (static_cast<Integer>(Order[I]) == FItemIndex) Index = static_cast<Integer>(I);
  }
  FItems = std::move(Items);
  FStates = std::move(States);
  FItemIndex = Index;
}

// ---- TCustomComboBox --------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner),
      FItems(std::make_unique<TListControlItems>(this, kComboBoxMessages)),
      FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
  SetControlStyle({csSetCaption, csDoubleClicks, csFixedHeight});
  SetBounds(0, 0, 145, 25);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  static constexpr DWORD Styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                     CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
  static constexpr DWORD CharCases[] = {0, CBS_UPPERCASE, CBS_LOWERCASE};
  inherited::CreateParams(Params);
  CreateSubClass(Params, "COMBOBOX");
  // No WS_VSCROLL: the list that drops down has its own scroll bar.
  Params.Style |= CBS_HASSTRINGS | CBS_AUTOHSCROLL | Styles[FStyle] | CharCases[FCharCase];
  if (Sorted()) Params.Style |= CBS_SORT;
}

void TCustomComboBox::CreateWnd() {
  inherited::CreateWnd();
  SendMessage(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  FEditHandle = nullptr;
  for (HWND Child = GetWindow(Handle(), GW_CHILD); Child; Child = GetWindow(Child, GW_HWNDNEXT)) {
    char Class[16] = {};
    GetClassNameA(Child, Class, sizeof Class);
    if (AnsiSameText(Class, "EDIT")) {
      FEditHandle = Child;
      SetWindowSubclass(Child, &TCustomComboBox::EditSubclass, 1, reinterpret_cast<DWORD_PTR>(this));
      break;
    }
  }
  FItems->Restore();
}

void TCustomComboBox::DestroyWnd() {
  FItems->Save();
  if (FEditHandle) RemoveWindowSubclass(FEditHandle, &TCustomComboBox::EditSubclass, 1);
  FEditHandle = nullptr;
  inherited::DestroyWnd();
}

LRESULT TCustomComboBox::EditSubclass(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR, DWORD_PTR Ref) {
  auto* Combo = reinterpret_cast<TCustomComboBox*>(Ref);
  TMessage Message{Msg, WParam, LParam, 0};
  switch (Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (Combo->DoKeyDown(Message)) return 0;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (Combo->DoKeyUp(Message)) return 0;
      break;
    case WM_CHAR:
      if (Combo->DoKeyPress(Message)) return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(Wnd, &TCustomComboBox::EditSubclass, 1);
      if (Combo->FEditHandle == Wnd) Combo->FEditHandle = nullptr;
      break;
  }
  // A handler may have changed the key.
  return DefSubclassProc(Wnd, Msg, Message.WParam, LParam);
}

void TCustomComboBox::Loaded() {
  inherited::Loaded();
  FItems->Loaded();
}

void TCustomComboBox::AdjustDropDown() {
  const Integer Count = std::max(1, std::min(FItems->Count(), std::max(1, FDropDownCount)));
  // The window keeps the height of its field; a taller size asked for is
  // the height of its list.
  SetWindowPos(Handle(), nullptr, 0, 0, Width(), ItemHeight() * Count + Height() + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TCustomComboBox::CNCommand(TMessage& Message) {
  TControlLink Self(this);
  switch (HIWORD(Message.WParam)) {
    case CBN_DBLCLK:
      DblClick();
      break;
    case CBN_EDITCHANGE:
      // The window tells only the user's edits: showing the chosen item or
      // a text set in code is no change.
      Change();
      break;
    case CBN_DROPDOWN:
      DropDown();
      if (Self) AdjustDropDown();
      break;
    case CBN_SELCHANGE:
      Click();
      if (Self) Select();
      break;
    case CBN_CLOSEUP:
      CloseUp();
      break;
  }
}

void TCustomComboBox::CNDrawItem(TMessage& Message) {
  OwnerDrawItem(FCanvas.get(), this, Message,
                [this](Integer Index, const TRect& Rect, TOwnerDrawState State) { DrawItem(Index, Rect, State); });
}

void TCustomComboBox::CNMeasureItem(TMessage& Message) {
  OwnerMeasureItem(Message, FItemHeight, FStyle == csOwnerDrawVariable,
                   [this](Integer Index, Integer& Height) { MeasureItem(Index, Height); });
}

void TCustomComboBox::DrawItem(Integer Index, const TRect& Rect, TOwnerDrawState State) {
  TControlLink Self(this);
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas->FillRect(Rect);
  if (Index < FItems->Count()) FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Get(Index));
}

void TCustomComboBox::MeasureItem(Integer Index, Integer& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::Change() {
  Changed();
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      CNCommand(Message);
      return;
    case CN_DRAWITEM:
      CNDrawItem(Message);
      return;
    case CN_MEASUREITEM:
      CNMeasureItem(Message);
      return;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_SETTEXT:
      // Without a window the text of a list style is its chosen item.
      if (!HandleAllocated() && IsListStyle()) {
        if (Message.Msg == WM_SETTEXT) {
          const char* P = reinterpret_cast<const char*>(Message.LParam);
          const Integer I = FItems->IndexOf(P ? P : "");
          FItems->SetItemIndex(I);
          Message.Result = I >= 0 ? TRUE : CB_ERR;
          return;
        }
        const Integer I = FItems->ItemIndex();
        const AnsiString S = I >= 0 ? FItems->Get(I) : AnsiString();
        if (Message.Msg == WM_GETTEXTLENGTH) {
          Message.Result = static_cast<LRESULT>(S.size());
          return;
        }
        char* Buffer = reinterpret_cast<char*>(Message.LParam);
        const size_t Size = static_cast<size_t>(Message.WParam);
        if (!Buffer || Size == 0) {
          Message.Result = 0;
          return;
        }
        const size_t N = std::min(S.size(), Size - 1);
        std::copy(S.begin(), S.begin() + static_cast<std::ptrdiff_t>(N), Buffer);
        Buffer[N] = 0;
        Message.Result = static_cast<LRESULT>(N);
        return;
      }
      break;
  }
  inherited::Dispatch(Message);
}

void TCustomComboBox::SetItemIndex(Integer Value) {
  FItems->SetItemIndex(Value);
  // Without a window an edit's text follows the choice as the window's
  // would.
  if (!HandleAllocated() && !IsListStyle() && !ComponentState().Contains(csLoading)) {
    const Integer I = FItems->ItemIndex();
    SetText(I >= 0 ? FItems->Get(I) : AnsiString());
  }
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  RecreateWnd();
}

Integer TCustomComboBox::ItemHeight() {
  if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable || !HandleAllocated()) return FItemHeight;
  return static_cast<Integer>(SendMessage(Handle(), CB_GETITEMHEIGHT, 0, 0));
}

void TCustomComboBox::SetItemHeight(Integer Value) {
  if (Value <= 0 || Value == FItemHeight) return;
  FItemHeight = Value;
  if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) RecreateWnd();
}

void TCustomComboBox::SetSorted(bool Value) {
  if (Sorted() == Value) return;
  FItems->SetSorted(Value);
  RecreateWnd();
}

void TCustomComboBox::SetMaxLength(Integer Value) {
  if (FMaxLength == Value) return;
  FMaxLength = std::max(0, Value);
  if (HandleAllocated()) SendMessage(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  RecreateWnd();
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessage(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value) { SendMessage(Handle(), CB_SHOWDROPDOWN, Value ? TRUE : FALSE, 0); }

void TCustomComboBox::Clear() {
  FItems->Clear();
  if (!IsListStyle()) SetText("");
}

// ---- TCustomListBox ---------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner),
      FItems(std::make_unique<TListControlItems>(this, kListBoxMessages)),
      FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
  SetControlStyle({csSetCaption, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& Params) {
  static constexpr DWORD Styles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE};
  inherited::CreateParams(Params);
  CreateSubClass(Params, "LISTBOX");
  Params.Style |= WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY | Styles[FStyle];
  if (Sorted()) Params.Style |= LBS_SORT;
  if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (!FIntegralHeight) Params.Style |= LBS_NOINTEGRALHEIGHT;
  if (FColumns) Params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TCustomListBox::CreateWnd() {
  inherited::CreateWnd();
  if (FColumns > 0) SendMessage(Handle(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>((Width() + FColumns - 3) / FColumns), 0);
  FItems->Restore();
}

void TCustomListBox::DestroyWnd() {
  FItems->Save();
  inherited::DestroyWnd();
}

void TCustomListBox::Loaded() {
  inherited::Loaded();
  FItems->Loaded();
}

void TCustomListBox::CNCommand(TMessage& Message) {
  switch (HIWORD(Message.WParam)) {
    case LBN_SELCHANGE: {
      TControlLink Self(this);
      Changed();
      if (Self) Click();
      break;
    }
    case LBN_DBLCLK:
      DblClick();
      break;
  }
}

void TCustomListBox::CNDrawItem(TMessage& Message) {
  OwnerDrawItem(FCanvas.get(), this, Message,
                [this](Integer Index, const TRect& Rect, TOwnerDrawState State) { DrawItem(Index, Rect, State); });
}

void TCustomListBox::CNMeasureItem(TMessage& Message) {
  OwnerMeasureItem(Message, FItemHeight, FStyle == lbOwnerDrawVariable,
                   [this](Integer Index, Integer& Height) { MeasureItem(Index, Height); });
}

void TCustomListBox::DrawItem(Integer Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas->FillRect(Rect);
  if (Index < FItems->Count()) FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Get(Index));
}

void TCustomListBox::MeasureItem(Integer Index, Integer& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      CNCommand(Message);
      return;
    case CN_DRAWITEM:
      CNDrawItem(Message);
      return;
    case CN_MEASUREITEM:
      CNMeasureItem(Message);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

void TCustomListBox::SetItemIndex(Integer Value) {
  if (ItemIndex() != Value) FItems->SetItemIndex(Value);
}

bool TCustomListBox::Selected(Integer Index) const { return FItems->GetSelected(Index); }

void TCustomListBox::SetSelected(Integer Index, bool Value) { FItems->SetSelected(Index, Value); }

Integer TCustomListBox::SelCount() const {
  if (!FMultiSelect) return -1;
  Integer N = 0;
  for (Integer I = 0; I < Count(); ++I)
    if (FItems->GetSelected(I)) ++N;
  return N;
}

void TCustomListBox::ClearSelection() {
  if (!FMultiSelect) {
    SetItemIndex(-1);
    return;
  }
  for (Integer I = 0; I < Count(); ++I) FItems->SetSelected(I, false);
}

void TCustomListBox::SelectAll() {
  if (!FMultiSelect) return;
  for (Integer I = 0; I < Count(); ++I) FItems->SetSelected(I, true);
}

TRect TCustomListBox::ItemRect(Integer Index) {
  const Integer N = Count();
  RECT R{};
  if (Index == 0 || (Index > 0 && Index < N)) {
    SendMessage(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
  } else if (Index == N) {
    SendMessage(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(&R));
    OffsetRect(&R, 0, R.Height());
  }
  return R;
}

Integer TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) {
  const Integer N = Count();
  if (ClientRect().Contains(Pos)) {
    for (Integer I = std::max(0, TopIndex()); I < N; ++I) {
      const TRect R = ItemRect(I);
      if (R.Contains(Pos)) return I;
      if (R.Top >= ClientHeight() && FColumns == 0) break;
    }
  }
  return Existing ? -1 : N;
}

void TCustomListBox::Clear() { FItems->Clear(); }

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  FItems->FMultiSelect = Value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
  if (FExtendedSelect == Value) return;
  FExtendedSelect = Value;
  RecreateWnd();
}

void TCustomListBox::SetSorted(bool Value) {
  if (Sorted() == Value) return;
  FItems->SetSorted(Value);
  RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
  if (FIntegralHeight == Value) return;
  FIntegralHeight = Value;
  RecreateWnd();
}

Integer TCustomListBox::ItemHeight() {
  if (FStyle == lbStandard && HandleAllocated())
    return static_cast<Integer>(SendMessage(Handle(), LB_GETITEMHEIGHT, 0, 0));
  return FItemHeight;
}

void TCustomListBox::SetItemHeight(Integer Value) {
  if (Value <= 0 || Value == FItemHeight) return;
  FItemHeight = Value;
  if (FStyle != lbStandard) RecreateWnd();
}

void TCustomListBox::SetColumns(Integer Value) {
  if (FColumns == Value) return;
  FColumns = std::max(0, Value);
  RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

// ---- TCheckListBox ------------------------------------------------------------------------

namespace {

// An item's state: the check state in the low bits, disabled above them.
constexpr Integer kCheckMask = 3;
constexpr Integer kDisabledFlag = 4;
constexpr Integer kCheckSize = 13;

// Has the item's row painted again, once there is a window to paint.
void RepaintItem(TCustomListBox* List, Integer Index) {
  if (!List->HandleAllocated()) return;
  RECT R = List->ItemRect(Index);
  InvalidateRect(List->Handle(), &R, FALSE);
}

}  // namespace

TCheckListBox::TCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}

void TCheckListBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (!(Params.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))) Params.Style |= LBS_OWNERDRAWFIXED;
}

Integer TCheckListBox::CheckWidth() const { return kCheckSize + 2; }

TCheckBoxState TCheckListBox::State(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (%d)", {Index});
  return static_cast<TCheckBoxState>(ItemState(Index) & kCheckMask);
}

void TCheckListBox::SetState(Integer Index, TCheckBoxState Value) {
  if (State(Index) == Value) return;
  SetItemState(Index, (ItemState(Index) & ~kCheckMask) | Value);
  RepaintItem(this, Index);
}

bool TCheckListBox::ItemEnabled(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (%d)", {Index});
  return !(ItemState(Index) & kDisabledFlag);
}

void TCheckListBox::SetItemEnabled(Integer Index, bool Value) {
  if (ItemEnabled(Index) == Value) return;
  SetItemState(Index, Value ? ItemState(Index) & ~kDisabledFlag : ItemState(Index) | kDisabledFlag);
  RepaintItem(this, Index);
}

// The box is drawn on the list's own colour, left of the item, which is
// then drawn (selected or not) in the rest.
void TCheckListBox::CNDrawItem(TMessage& Message) {
  auto* Item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  const Integer Index = static_cast<Integer>(Item->itemID);
  if (Index >= 0 && Index < Count()) {
    RECT Box(Item->rcItem.Left, Item->rcItem.Top, Item->rcItem.Left + CheckWidth(), Item->rcItem.Bottom);
    HBRUSH Back = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(Item->hDC, &Box, Back);
    DeleteObject(Back);
    RECT Check(Box.Left + 1, Box.Top + (Box.Height() - kCheckSize) / 2, Box.Left + 1 + kCheckSize,
               Box.Top + (Box.Height() - kCheckSize) / 2 + kCheckSize);
    UINT Flags = DFCS_BUTTONCHECK;
    switch (State(Index)) {
      case cbChecked: Flags |= DFCS_CHECKED; break;
      case cbGrayed: Flags = DFCS_BUTTON3STATE | DFCS_CHECKED; break;
      case cbUnchecked: break;
    }
    if (!ItemEnabled(Index) || !Enabled()) Flags |= DFCS_INACTIVE;
    DrawFrameControl(Item->hDC, &Check, DFC_BUTTON, Flags);
    Item->rcItem.Left += CheckWidth();
  }
  inherited::CNDrawItem(Message);
}

void TCheckListBox::DrawItem(Integer Index, const TRect& Rect, TOwnerDrawState State) {
  if (!ItemEnabled(Index)) Canvas()->Font()->SetColor(clGrayText);
  inherited::DrawItem(Index, Rect, State);
}

void TCheckListBox::ToggleClickCheck(Integer Index) {
  if (Index < 0 || Index >= Count() || !ItemEnabled(Index)) return;
  switch (State(Index)) {
    case cbUnchecked:
      SetState(Index, FAllowGrayed ? cbGrayed : cbChecked);
      break;
    case cbChecked:
      SetState(Index, cbUnchecked);
      break;
    case cbGrayed:
      SetState(Index, cbChecked);
      break;
  }
  ClickCheck();
}

void TCheckListBox::ClickCheck() {
  if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TControlLink Self(this);
  inherited::MouseDown(Button, Shift, X, Y);
  if (!Self || Button != mbLeft) return;
  const Integer Index = ItemAtPos(TPoint(X, Y), true);
  if (Index != -1 && ItemEnabled(Index) && X - ItemRect(Index).Left < CheckWidth()) ToggleClickCheck(Index);
}

void TCheckListBox::KeyPress(char& Key) {
  if (Key == ' ') ToggleClickCheck(ItemIndex());
  inherited::KeyPress(Key);
}
