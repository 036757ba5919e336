// Progress bars, track bars, up-downs, tab controls, page controls and
// tab sheets.
#include "platform/forms/comctrls.h"

#include <algorithm>

#include "platform/forms/forms.h"
#include "platform/forms/image_list.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/stdctrls_internal.h"
#include "platform/forms/forms_internal.h"
#include "platform/rtl/component_streaming.h"
#include "platform/win/comctl/commctrl_controls.h"
#include "platform/win/user/user_sysinfo.h"

RTL_IMPLEMENT_PUBLISHED(TProgressBar,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(Max).Default(100),
                        RTL_PROP(Min).Default(0),
                        RTL_PROP(Orientation).Default(pbHorizontal),
                        RTL_PROP(Position).Default(0),
                        RTL_PROP(Smooth).Default(false),
                        RTL_PROP(Step).Default(10),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(false),
                        RTL_MOUSE_EVENTS)
RTL_IMPLEMENT_PUBLISHED(TTrackBar,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(Frequency).Default(1),
                        RTL_PROP(LineSize).Default(1),
                        RTL_PROP(Max).Default(10),
                        RTL_PROP(Min).Default(0),
                        RTL_PROP(Orientation).Default(trHorizontal),
                        RTL_PROP(PageSize).Default(2),
                        RTL_PROP(Position).Default(0),
                        RTL_PROP(SelEnd).Default(0),
                        RTL_PROP(SelStart).Default(0),
                        RTL_PROP(SliderVisible).Default(true),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        RTL_PROP(ThumbLength).Default(20),
                        RTL_PROP(TickMarks).Default(tmBottomRight),
                        RTL_PROP(TickStyle).Default(tsAuto),
                        RTL_EVENT(OnChange),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)
RTL_IMPLEMENT_CLASS(TCustomUpDown)
RTL_IMPLEMENT_PUBLISHED(TUpDown,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(AlignButton).Default(udRight),
                        RTL_PROP(ArrowKeys).Default(true),
                        RTL_PROP(Associate),
                        RTL_PROP(Increment).Default(1),
                        RTL_PROP(Max).Default(100),
                        RTL_PROP(Min).Default(0),
                        RTL_PROP(Orientation).Default(udVertical),
                        RTL_PROP(Position).Default(0),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(false),
                        RTL_PROP(Thousands).Default(true),
                        RTL_PROP(Wrap).Default(false),
                        RTL_EVENT(OnChanging),
                        RTL_EVENT(OnChangingEx),
                        RTL_EVENT(OnClick),
                        RTL_EVENT(OnContextPopup),
                        RTL_EVENT(OnEnter),
                        RTL_EVENT(OnExit),
                        RTL_EVENT(OnMouseDown),
                        RTL_EVENT(OnMouseMove),
                        RTL_EVENT(OnMouseUp))
RTL_IMPLEMENT_CLASS(TTabStrings)
RTL_IMPLEMENT_CLASS(TCustomTabControl)
RTL_IMPLEMENT_PUBLISHED(TTabControl,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(Images),
                        RTL_PROP(MultiLine).Default(false),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabPosition).Default(tpTop),
                        RTL_PROP(TabStop).Default(true),
                        // The index after the tabs it chooses among.
                        RTL_PROP(Tabs),
                        RTL_PROP(TabIndex).Default(-1),
                        RTL_EVENT(OnChange),
                        RTL_EVENT(OnChanging),
                        RTL_EVENT(OnResize),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)
RTL_IMPLEMENT_PUBLISHED(TTabSheet,
                        // The page control places its pages.
                        RTL_PROP(Left).Stored(false),
                        RTL_PROP(Top).Stored(false),
                        RTL_PROP(Width).Stored(false),
                        RTL_PROP(Height).Stored(false),
                        RTL_PROP(Caption).Stored<&Self::IsCaptionStored>(),
                        RTL_PROP(Enabled).Default(true).Stored<&Self::IsEnabledStored>(),
                        RTL_PROP(Font).Stored<&Self::IsFontStored>(),
                        RTL_PROP(Highlighted).Default(false),
                        RTL_PROP(ImageIndex).Default(0),
                        RTL_PROP(ParentFont).Default(true),
                        RTL_PROP(ParentShowHint).Default(true),
                        RTL_PROP(PopupMenu),
                        RTL_PROP(ShowHint).Stored<&Self::IsShowHintStored>(),
                        RTL_PROP(TabVisible).Default(true),
                        RTL_EVENT(OnContextPopup),
                        RTL_EVENT(OnEnter),
                        RTL_EVENT(OnExit),
                        RTL_EVENT(OnHide),
                        RTL_EVENT(OnMouseDown),
                        RTL_EVENT(OnMouseMove),
                        RTL_EVENT(OnMouseUp),
                        RTL_EVENT(OnResize),
                        RTL_EVENT(OnShow))
RTL_IMPLEMENT_PUBLISHED(TPageControl,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(ActivePage),
                        RTL_PROP(HotTrack).Default(false),
                        RTL_PROP(Images),
                        RTL_PROP(MultiLine).Default(false),
                        RTL_PROP(Style).Default(tsTabs),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabPosition).Default(tpTop),
                        RTL_PROP(TabStop).Default(true),
                        RTL_EVENT(OnChange),
                        RTL_EVENT(OnChanging),
                        RTL_EVENT(OnResize),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)

void RegisterComCtrlsClasses() {
  RegisterClasses({TProgressBar::StaticClass(), TTrackBar::StaticClass(), TUpDown::StaticClass(),
                   TTabControl::StaticClass(), TTabSheet::StaticClass(), TPageControl::StaticClass(),
                   TTreeView::StaticClass()});
}

// ---- TProgressBar -------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 150, GetSystemMetrics(SM_CYVSCROLL));
}

void TProgressBar::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  InitCommonControls();  // common control classes exist only once a program registers them
  CreateSubClass(Params, PROGRESS_CLASS);
  if (FSmooth) Params.Style |= PBS_SMOOTH;
  if (FOrientation == pbVertical) Params.Style |= PBS_VERTICAL;
}

void TProgressBar::CreateWnd() {
  inherited::CreateWnd();
  HWND H = Handle();
  SendMessage(H, PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
  SendMessage(H, PBM_SETSTEP, static_cast<WPARAM>(FStep), 0);
  SendMessage(H, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::DestroyWnd() {
  FPosition = Position();
  inherited::DestroyWnd();
}

void TProgressBar::SetParams(Integer AMin, Integer AMax) {
  if (AMax < AMin) throw EInvalidOperation("%s property out of range", {ClassName()});
  if (AMin == FMin && AMax == FMax) return;
  const Integer Pos = std::clamp(Position(), AMin, AMax);
  FMin = AMin;
  FMax = AMax;
  FPosition = Pos;
  if (!HandleAllocated()) return;
  SendMessage(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(AMin), AMax);
  SendMessage(Handle(), PBM_SETPOS, static_cast<WPARAM>(Pos), 0);
}

Integer TProgressBar::Position() {
  return HandleAllocated() ? static_cast<Integer>(SendMessage(Handle(), PBM_GETPOS, 0, 0)) : FPosition;
}

void TProgressBar::SetPosition(Integer Value) {
  FPosition = std::clamp(Value, FMin, FMax);
  if (HandleAllocated()) SendMessage(Handle(), PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::SetStep(Integer Value) {
  FStep = Value;
  if (HandleAllocated()) SendMessage(Handle(), PBM_SETSTEP, static_cast<WPARAM>(Value), 0);
}

void TProgressBar::SetSmooth(bool Value) {
  if (FSmooth == Value) return;
  FSmooth = Value;
  RecreateWnd();
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TProgressBar::StepIt() {
  if (HandleAllocated()) {
    SendMessage(Handle(), PBM_STEPIT, 0, 0);
    return;
  }
  FPosition += FStep;
  if (FPosition > FMax) FPosition = FMin + (FPosition - FMax);
  FPosition = std::clamp(FPosition, FMin, FMax);
}

void TProgressBar::StepBy(Integer Delta) {
  if (HandleAllocated())
    SendMessage(Handle(), PBM_DELTAPOS, static_cast<WPARAM>(Delta), 0);
  else
    FPosition = std::clamp(FPosition + Delta, FMin, FMax);
}

// ---- TTrackBar ----------------------------------------------------------------------------

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 150, 45);
  SetTabStop(true);
}

void TTrackBar::CreateParams(TCreateParams& Params) {
  static constexpr DWORD TickStyles[] = {TBS_NOTICKS, TBS_AUTOTICKS, 0};
  static constexpr DWORD TickMarks[] = {TBS_BOTTOM, TBS_TOP, TBS_BOTH};
  inherited::CreateParams(Params);
  InitCommonControls();  // common control classes exist only once a program registers them
  CreateSubClass(Params, TRACKBAR_CLASS);
  Params.Style |= (FOrientation == trVertical ? TBS_VERT : TBS_HORZ) | TickStyles[FTickStyle] | TickMarks[FTickMarks] |
                  TBS_FIXEDLENGTH | TBS_ENABLESELRANGE;
  if (!FSliderVisible) Params.Style |= TBS_NOTHUMB;
}

void TTrackBar::CreateWnd() {
  inherited::CreateWnd();
  HWND H = Handle();
  SendMessage(H, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(FThumbLength), 0);
  SendMessage(H, TBM_SETLINESIZE, 0, FLineSize);
  SendMessage(H, TBM_SETPAGESIZE, 0, FPageSize);
  SendMessage(H, TBM_SETRANGEMIN, FALSE, FMin);
  SendMessage(H, TBM_SETRANGEMAX, FALSE, FMax);
  SendMessage(H, TBM_SETSEL, FALSE, MAKELPARAM(FSelStart, FSelEnd));
  SendMessage(H, TBM_SETPOS, TRUE, FPosition);
  SendMessage(H, TBM_SETTICFREQ, static_cast<WPARAM>(FFrequency), 1);
}

void TTrackBar::Changed() {
  TControlLink Self(this);
  inherited::Changed();
  if (Self && OnChange) OnChange(this);
}

void TTrackBar::Scrolled(TMessage& Message) {
  const Integer Pos = static_cast<Integer>(SendMessage(Handle(), TBM_GETPOS, 0, 0));
  Message.Result = 0;
  if (Pos == FPosition) return;
  FPosition = Pos;
  Changed();
}

void TTrackBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      Scrolled(Message);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

void TTrackBar::SetMin(Integer Value) {
  if (FMin == Value) return;
  FMin = Value;
  if (HandleAllocated()) SendMessage(Handle(), TBM_SETRANGEMIN, TRUE, Value);
  if (FMax < FMin) SetMax(FMin);
  if (FPosition < FMin) SetPosition(FMin);
}

void TTrackBar::SetMax(Integer Value) {
  if (FMax == Value) return;
  FMax = Value;
  if (HandleAllocated()) SendMessage(Handle(), TBM_SETRANGEMAX, TRUE, Value);
  if (FMin > FMax) SetMin(FMax);
  if (FPosition > FMax) SetPosition(FMax);
}

void TTrackBar::SetPosition(Integer Value) {
  Value = std::clamp(Value, FMin, FMax);
  if (FPosition == Value) return;
  FPosition = Value;
  if (HandleAllocated()) SendMessage(Handle(), TBM_SETPOS, TRUE, Value);
  Changed();
}

void TTrackBar::SetFrequency(Integer Value) {
  if (FFrequency == Value) return;
  FFrequency = Value;
  if (HandleAllocated()) SendMessage(Handle(), TBM_SETTICFREQ, static_cast<WPARAM>(Value), 1);
}

void TTrackBar::SetLineSize(Integer Value) {
  if (FLineSize == Value) return;
  FLineSize = Value;
  if (HandleAllocated()) SendMessage(Handle(), TBM_SETLINESIZE, 0, Value);
}

void TTrackBar::SetPageSize(Integer Value) {
  if (FPageSize == Value) return;
  FPageSize = Value;
  if (HandleAllocated()) SendMessage(Handle(), TBM_SETPAGESIZE, 0, Value);
}

void TTrackBar::SetSelStart(Integer Value) {
  if (FSelStart == Value) return;
  FSelStart = Value;
  if (HandleAllocated()) SendMessage(Handle(), TBM_SETSELSTART, TRUE, Value);
}

void TTrackBar::SetSelEnd(Integer Value) {
  if (FSelEnd == Value) return;
  FSelEnd = Value;
  if (HandleAllocated()) SendMessage(Handle(), TBM_SETSELEND, TRUE, Value);
}

void TTrackBar::SetThumbLength(Integer Value) {
  if (FThumbLength == Value) return;
  FThumbLength = Value;
  if (HandleAllocated()) SendMessage(Handle(), TBM_SETTHUMBLENGTH, static_cast<WPARAM>(Value), 0);
}

void TTrackBar::SetSliderVisible(bool Value) {
  if (FSliderVisible == Value) return;
  FSliderVisible = Value;
  RecreateWnd();
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark Value) {
  if (FTickMarks == Value) return;
  FTickMarks = Value;
  RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle Value) {
  if (FTickStyle == Value) return;
  FTickStyle = Value;
  RecreateWnd();
}

// ---- TCustomUpDown -----------------------------------------------------------------------

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  const Integer H = GetSystemMetrics(SM_CYVSCROLL);
  SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), H + H / 2);
  SetControlStyle(ControlStyle() - csDoubleClicks);
}

void TCustomUpDown::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  InitCommonControls();  // common control classes exist only once a program registers them
  CreateSubClass(Params, UPDOWN_CLASS);
  Params.Style |= UDS_SETBUDDYINT | (FAlignButton == udLeft ? UDS_ALIGNLEFT : UDS_ALIGNRIGHT);
  if (FArrowKeys) Params.Style |= UDS_ARROWKEYS;
  if (!FThousands) Params.Style |= UDS_NOTHOUSANDS;
  if (FWrap) Params.Style |= UDS_WRAP;
  if (FOrientation == udHorizontal) Params.Style |= UDS_HORZ;
}

void TCustomUpDown::CreateWnd() {
  inherited::CreateWnd();
  HWND H = Handle();
  SendMessage(H, UDM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
  UDACCEL Accel{0, static_cast<UINT>(FIncrement)};
  SendMessage(H, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&Accel));
  SendMessage(H, UDM_SETPOS32, 0, FPosition);
  UpdateBuddy();
}

void TCustomUpDown::DestroyWnd() {
  FPosition = Position();
  inherited::DestroyWnd();
}

void TCustomUpDown::UpdateBuddy() {
  if (!HandleAllocated()) return;
  HWND Buddy = FAssociate ? FAssociate->Handle() : nullptr;
  SendMessage(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Buddy), 0);
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FAssociate) {
    FAssociate = nullptr;
    if (HandleAllocated() && !ComponentState().Contains(csDestroying))
      SendMessage(Handle(), UDM_SETBUDDY, 0, 0);
  }
}

void TCustomUpDown::SetAssociate(TWinControl* Value) {
  if (Value == FAssociate) return;
  if (Value && (Value == this || dynamic_cast<TCustomUpDown*>(Value) || Value->ContainsControl(this)))
    throw EInvalidOperation("%s cannot be used as an associate", {Value->Name()});
  if (FAssociate) FAssociate->RemoveFreeNotification(this);
  FAssociate = Value;
  if (Value) Value->FreeNotification(this);
  UpdateBuddy();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton Value) {
  if (FAlignButton == Value) return;
  FAlignButton = Value;
  RecreateWnd();
}

void TCustomUpDown::SetOrientation(TUDOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TCustomUpDown::SetMin(Integer Value) {
  if (FMin == Value) return;
  FMin = Value;
  if (HandleAllocated()) SendMessage(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
}

void TCustomUpDown::SetMax(Integer Value) {
  if (FMax == Value) return;
  FMax = Value;
  if (HandleAllocated()) SendMessage(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
}

void TCustomUpDown::SetIncrement(Integer Value) {
  if (FIncrement == Value) return;
  FIncrement = Value;
  if (!HandleAllocated()) return;
  UDACCEL Accel{0, static_cast<UINT>(Value)};
  SendMessage(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&Accel));
}

Integer TCustomUpDown::Position() {
  if (HandleAllocated()) {
    BOOL Error = FALSE;
    const auto Pos = static_cast<Integer>(SendMessage(Handle(), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&Error)));
    if (!Error) FPosition = Pos;
  }
  return FPosition;
}

void TCustomUpDown::SetPosition(Integer Value) {
  FPosition = Value;
  if (HandleAllocated()) SendMessage(Handle(), UDM_SETPOS32, 0, Value);
}

void TCustomUpDown::SetArrowKeys(bool Value) {
  if (FArrowKeys == Value) return;
  FArrowKeys = Value;
  RecreateWnd();
}

void TCustomUpDown::SetThousands(bool Value) {
  if (FThousands == Value) return;
  FThousands = Value;
  RecreateWnd();
}

void TCustomUpDown::SetWrap(bool Value) {
  if (FWrap == Value) return;
  FWrap = Value;
  RecreateWnd();
}

bool TCustomUpDown::CanChange() {
  bool Result = true;
  if (OnChanging) OnChanging(this, Result);
  return Result;
}

bool TCustomUpDown::DoCanChange(SmallInt NewVal, TUpDownDirection Direction) {
  bool Result = CanChange();
  if (OnChangingEx) OnChangingEx(this, Result, NewVal, Direction);
  return Result;
}

void TCustomUpDown::Click(TUDBtnType Button) {
  if (OnClick) OnClick(this, Button);
}

void TCustomUpDown::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY: {
      auto* Header = reinterpret_cast<NMUPDOWN*>(Message.LParam);
      if (Header->hdr.code == UDN_DELTAPOS) {
        const TUpDownDirection Direction = Header->iDelta < 0 ? updDown : Header->iDelta > 0 ? updUp : updNone;
        Message.Result = DoCanChange(static_cast<SmallInt>(Header->iPos + Header->iDelta), Direction) ? 0 : 1;
      }
      return;
    }
    case CN_HSCROLL:
    case CN_VSCROLL:
      if (LOWORD(Message.WParam) == SB_THUMBPOSITION) {
        const Integer Pos = static_cast<SmallInt>(HIWORD(Message.WParam));
        const Integer Old = FPosition;
        FPosition = Pos;
        // A step at the end of the range stays there, and still was one.
        if (Pos > Old || (Pos == Old && Pos == FMax))
          Click(btNext);
        else
          Click(btPrev);
      }
      return;
    default:
      inherited::Dispatch(Message);
  }
}

// ---- TTabStrings ---------------------------------------------------------------------------

AnsiString TTabStrings::Get(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
  return FTabControl->FItems[static_cast<size_t>(Index)].Caption;
}

Integer TTabStrings::GetCount() const { return static_cast<Integer>(FTabControl->FItems.size()); }

TObject* TTabStrings::GetObject(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
  return FTabControl->FItems[static_cast<size_t>(Index)].Object;
}

void TTabStrings::PutObject(Integer Index, TObject* AObject) {
  if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
  FTabControl->FItems[static_cast<size_t>(Index)].Object = AObject;
}

void TTabStrings::Put(Integer Index, const AnsiString& S) {
  if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
  FTabControl->FItems[static_cast<size_t>(Index)].Caption = S;
  FTabControl->SendTab(TCM_SETITEMA, Index);
  FTabControl->TabsChanged();
}

void TTabStrings::Insert(Integer Index, const AnsiString& S) { InsertObject(Index, S, nullptr); }

void TTabStrings::InsertObject(Integer Index, const AnsiString& S, TObject* AObject) {
  if (Index < 0 || Index > GetCount()) Error("List index out of bounds (%d)", Index);
  TCustomTabControl* T = FTabControl;
  T->FItems.insert(T->FItems.begin() + Index, TCustomTabControl::TTab{S, AObject});
  // As the window does: the tabs after move up, and a first tab is chosen.
  if (T->FTabIndex >= Index) ++T->FTabIndex;
  if (T->FTabIndex < 0) T->FTabIndex = 0;
  T->SendTab(TCM_INSERTITEMA, Index);
  T->TabsChanged();
}

void TTabStrings::Delete(Integer Index) {
  if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
  TCustomTabControl* T = FTabControl;
  T->FItems.erase(T->FItems.begin() + Index);
  if (T->FTabIndex == Index)
    T->FTabIndex = -1;
  else if (T->FTabIndex > Index)
    --T->FTabIndex;
  if (T->HandleAllocated()) SendMessage(T->Handle(), TCM_DELETEITEM, static_cast<WPARAM>(Index), 0);
  T->TabsChanged();
}

void TTabStrings::Clear() {
  FTabControl->FItems.clear();
  FTabControl->FTabIndex = -1;
  if (FTabControl->HandleAllocated()) SendMessage(FTabControl->Handle(), TCM_DELETEALLITEMS, 0, 0);
  FTabControl->TabsChanged();
}

void TTabStrings::DefineProperties(TFiler* Filer) { DefineStringsProperty(this, Filer); }

// ---- TCustomTabControl ---------------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* AOwner)
    : TWinControl(AOwner), FTabs(std::make_unique<TTabStrings>()), FImageChangeLink(std::make_unique<TChangeLink>()) {
  FTabs->FTabControl = this;
  FImageChangeLink->OnChange = TNotifyEvent(this, &TCustomTabControl::ImageListChange);
  SetControlStyle({csDoubleClicks, csOpaque});
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
}

TCustomTabControl::~TCustomTabControl() {
  if (FImages) FImageChangeLink->Unlink();
}

void TCustomTabControl::CreateParams(TCreateParams& Params) {
  static constexpr DWORD Positions[] = {0, TCS_BOTTOM, TCS_VERTICAL, TCS_VERTICAL | TCS_RIGHT};
  static constexpr DWORD Styles[] = {TCS_TABS, TCS_BUTTONS, TCS_BUTTONS | TCS_FLATBUTTONS};
  inherited::CreateParams(Params);
  InitCommonControls();  // common control classes exist only once a program registers them
  CreateSubClass(Params, WC_TABCONTROL);
  Params.Style |= WS_CLIPCHILDREN | Positions[FTabPosition] | Styles[FStyle];
  if (FMultiLine) Params.Style |= TCS_MULTILINE;
  if (FHotTrack) Params.Style |= TCS_HOTTRACK;
  Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTabControl::CreateWnd() {
  inherited::CreateWnd();
  if (FImages) SendMessage(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
  for (Integer I = 0; I < static_cast<Integer>(FItems.size()); ++I) SendTab(TCM_INSERTITEMA, I);
  // The window chose its first tab; a control without a tab index has none.
  SendMessage(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(FTabIndex), 0);
  Realign();
}

void TCustomTabControl::SendTab(UINT Msg, Integer Index) {
  if (!HandleAllocated()) return;
  TCITEMA Item{};
  Item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
  AnsiString Caption = FItems[static_cast<size_t>(Index)].Caption;
  Item.pszText = Caption.data();
  Item.iImage = GetImageIndex(Index);
  Item.dwStateMask = TCIS_HIGHLIGHTED;
  Item.dwState = GetTabHighlighted(Index) ? TCIS_HIGHLIGHTED : 0;
  SendMessage(Handle(), Msg, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item));
  if (Msg == TCM_INSERTITEMA && FTabIndex >= 0)
    SendMessage(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(FTabIndex), 0);
}

// A new row of tabs moves the display area.
void TCustomTabControl::TabsChanged() {
  if (!HandleAllocated()) return;
  Realign();
  Invalidate();
}

TRect TCustomTabControl::DisplayRect() {
  TRect R = ClientRect();
  if (HandleAllocated()) {
    SendMessage(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&R));
  } else {
    // Without a window: a row of tabs above a frame.
    R.Top += rtl::detail::FontLineHeight(Font()) + 8;
    InflateRect(&R, -4, -4);
  }
  return R;
}

void TCustomTabControl::AdjustClientRect(TRect& Rect) {
  Rect = DisplayRect();
  inherited::AdjustClientRect(Rect);
}

void TCustomTabControl::SetTabIndex(Integer Value) {
  if (Value < -1 || Value >= static_cast<Integer>(FItems.size())) {
    // A description may give the index before the tabs.
    if (ComponentState().Contains(csLoading)) FLoadedTabIndex = Value;
    return;
  }
  FLoadedTabIndex = -2;
  FTabIndex = Value;
  if (HandleAllocated()) SendMessage(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomTabControl::Loaded() {
  inherited::Loaded();
  if (FLoadedTabIndex == -2) return;
  const Integer Index = FLoadedTabIndex;
  FLoadedTabIndex = -2;
  SetTabIndex(Index);
}

Integer TCustomTabControl::GetImageIndex(Integer TabIndex) { return TabIndex; }

bool TCustomTabControl::GetTabHighlighted(Integer) { return false; }

void TCustomTabControl::UpdateTabImages() {
  for (Integer I = 0; I < static_cast<Integer>(FItems.size()); ++I) SendTab(TCM_SETITEMA, I);
}

void TCustomTabControl::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImageChangeLink->Unlink();
  FImages = Value;
  if (Value) {
    Value->RegisterChanges(FImageChangeLink.get());
    Value->FreeNotification(this);
  }
  if (!HandleAllocated()) return;
  SendMessage(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Value ? Value->Handle() : nullptr));
  // Images change the tabs' sizes and so the display area.
  TabsChanged();
}

void TCustomTabControl::ImageListChange(TObject*) {
  if (!HandleAllocated()) return;
  SendMessage(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
  TabsChanged();
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) SetImages(nullptr);
}

bool TCustomTabControl::CanChange() {
  bool Result = true;
  if (OnChanging) OnChanging(this, Result);
  return Result;
}

void TCustomTabControl::Change() {
  if (OnChange) OnChange(this);
}

void TCustomTabControl::CNNotify(TMessage& Message) {
  auto* Header = reinterpret_cast<NMHDR*>(Message.LParam);
  switch (Header->code) {
    case TCN_SELCHANGING:
      Message.Result = CanChange() ? 0 : 1;
      break;
    case TCN_SELCHANGE:
      FTabIndex = static_cast<Integer>(SendMessage(Handle(), TCM_GETCURSEL, 0, 0));
      Change();
      break;
  }
}

void TCustomTabControl::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    CNNotify(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
  if (FTabPosition == Value) return;
  FTabPosition = Value;
  RecreateWnd();
}

void TCustomTabControl::SetStyle(TTabStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool Value) {
  if (FMultiLine == Value) return;
  FMultiLine = Value;
  RecreateWnd();
}

void TCustomTabControl::SetHotTrack(bool Value) {
  if (FHotTrack == Value) return;
  FHotTrack = Value;
  RecreateWnd();
}

// ---- TTabSheet -----------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  SetAlign(alClient);
  SetControlStyle(ControlStyle() + csAcceptsControls + csNoDesignVisible);
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::ReadState(TReader* Reader) {
  inherited::ReadState(Reader);
  if (auto* P = dynamic_cast<TPageControl*>(Reader->Parent())) SetPageControl(P);
}

void TTabSheet::SetPageControl(TPageControl* APageControl) {
  if (FPageControl == APageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  SetParent(APageControl);
  if (APageControl) APageControl->InsertPage(this);
}

Integer TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  auto& P = FPageControl->FPages;
  return static_cast<Integer>(std::find(P.begin(), P.end(), this) - P.begin());
}

void TTabSheet::SetPageIndex(Integer Value) {
  if (!FPageControl) return;
  auto& P = FPageControl->FPages;
  Value = std::clamp(Value, 0, static_cast<Integer>(P.size()) - 1);
  const Integer Old = PageIndex();
  if (Old == Value) return;
  const Integer OldTab = TabIndex();
  P.erase(P.begin() + Old);
  P.insert(P.begin() + Value, this);
  if (OldTab >= 0) FPageControl->MoveTab(OldTab, TabIndex());
}

Integer TTabSheet::TabIndex() const {
  if (!FTabShowing) return -1;
  Integer Result = 0;
  for (TTabSheet* P : FPageControl->FPages) {
    if (P == this) break;
    if (P->FTabShowing) ++Result;
  }
  return Result;
}

void TTabSheet::SetTabShowing(bool Value) {
  if (FTabShowing == Value) return;
  if (Value) {
    FTabShowing = true;
    FPageControl->InsertTab(this);
  } else {
    const Integer Index = TabIndex();
    FTabShowing = false;
    FPageControl->DeleteTab(this, Index);
  }
}

void TTabSheet::UpdateTabShowing() { SetTabShowing(FPageControl && FTabVisible); }

void TTabSheet::SetHighlighted(bool Value) {
  if (FHighlighted == Value) return;
  FHighlighted = Value;
  if (FTabShowing) FPageControl->UpdateTab(this);
}

void TTabSheet::SetImageIndex(Integer Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  if (FTabShowing) FPageControl->UpdateTab(this);
}

void TTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  UpdateTabShowing();
}

void TTabSheet::CMShowingChanged(TMessage& Message) {
  inherited::CMShowingChanged(Message);
  if (Showing())
    DoShow();
  else
    DoHide();
}

void TTabSheet::DoShow() {
  if (OnShow) OnShow(this);
}

void TTabSheet::DoHide() {
  if (OnHide) OnHide(this);
}

void TTabSheet::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_TEXTCHANGED) {
    if (FTabShowing) FPageControl->UpdateTab(this);
    return;
  }
  inherited::Dispatch(Message);
}

// ---- TPageControl --------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {
  SetControlStyle({csDoubleClicks, csOpaque});
}

// The pages go with the control (they are its children) and must not
// call back into it while it is being destroyed.
TPageControl::~TPageControl() {
  for (TTabSheet* P : FPages) P->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(Integer Index) const {
  if (Index < 0 || Index >= PageCount()) throw EListError("List index out of bounds (%d)", {Index});
  return FPages[static_cast<size_t>(Index)];
}

void TPageControl::GetChildren(const TGetChildProc& Proc, TComponent*) {
  for (TTabSheet* P : FPages) Proc(P);
}

void TPageControl::InsertPage(TTabSheet* Page) {
  FPages.push_back(Page);
  Page->FPageControl = this;
  Page->UpdateTabShowing();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  TTabSheet* Next = nullptr;
  if (Page == FActivePage) {
    Next = FindNextPage(Page, true, !ComponentState().Contains(csDesigning));
    if (Next == Page) Next = nullptr;
  }
  Page->SetTabShowing(false);
  Page->FPageControl = nullptr;
  FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
  // Only the loss of the active page changes the page shown.
  if (Page == FActivePage) {
    FActivePage = nullptr;
    SetActivePage(Next);
  }
}

void TPageControl::InsertTab(TTabSheet* Page) {
  Tabs()->InsertObject(Page->TabIndex(), Page->Caption(), Page);
  UpdateActivePage();
}

void TPageControl::DeleteTab(TTabSheet* Page, Integer Index) {
  const bool UpdateIndex = Page == FActivePage;
  Tabs()->Delete(Index);
  if (UpdateIndex) {
    if (Index >= Tabs()->Count()) Index = Tabs()->Count() - 1;
    SetTabIndex(Index);
  }
  UpdateActivePage();
}

void TPageControl::MoveTab(Integer CurIndex, Integer NewIndex) {
  if (CurIndex != NewIndex) Tabs()->Move(CurIndex, NewIndex);
}

void TPageControl::UpdateTab(TTabSheet* Page) { Tabs()->Put(Page->TabIndex(), Page->Caption()); }

bool TPageControl::GetTabHighlighted(Integer TabIndex) {
  if (TabIndex < 0 || TabIndex >= Tabs()->Count()) return false;
  auto* Page = static_cast<TTabSheet*>(Tabs()->Objects(TabIndex));
  return Page && Page->Highlighted();
}

Integer TPageControl::GetImageIndex(Integer TabIndex) {
  if (TabIndex < 0 || TabIndex >= Tabs()->Count()) return -1;
  auto* Page = static_cast<TTabSheet*>(Tabs()->Objects(TabIndex));
  return Page ? Page->ImageIndex() : TabIndex;
}

void TPageControl::UpdateActivePage() {
  if (TabIndex() >= 0)
    SetActivePage(static_cast<TTabSheet*>(Tabs()->Objects(TabIndex())));
  else
    SetActivePage(nullptr);
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
  if (FActivePage == Page) return;
  TCustomForm* Form = GetParentForm(this);
  // The focus leaves a page that hides; a form that refuses keeps it.
  if (Form && FActivePage && FActivePage->ContainsControl(Form->ActiveControl())) {
    Form->SetActiveControl(FActivePage);
    if (Form->ActiveControl() != FActivePage) {
      SetTabIndex(FActivePage->TabIndex());
      return;
    }
  }
  if (Page) {
    Page->BringToFront();
    Page->SetVisible(true);
    if (Form && FActivePage && Form->ActiveControl() == FActivePage) {
      if (Page->CanFocus())
        Form->SetActiveControl(Page);
      else
        Form->SetActiveControl(this);
    }
  }
  if (FActivePage) FActivePage->SetVisible(false);
  FActivePage = Page;
  if (Form && FActivePage && Form->ActiveControl() == FActivePage) FActivePage->SelectFirst();
}

void TPageControl::SetActivePage(TTabSheet* Page) {
  if (Page && Page->FPageControl != this) return;
  ChangeActivePage(Page);
  if (!Page)
    SetTabIndex(-1);
  else if (Page == FActivePage)
    SetTabIndex(Page->TabIndex());
}

Integer TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(Integer Value) {
  SetActivePage(Value >= 0 && Value < PageCount() ? Pages(Value) : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
  return rtl::detail::FindCyclic(FPages, CurPage, GoForward,
                                 [&](TTabSheet* P) { return !CheckTabVisible || P->TabVisible(); });
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TTabSheet* Page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
  if (Page && Page != FActivePage && CanChange()) {
    SetActivePage(Page);
    Change();
  }
}

void TPageControl::Change() {
  UpdateActivePage();
  inherited::Change();
}

void TPageControl::ShowControl(TControl* AControl) {
  if (auto* Page = dynamic_cast<TTabSheet*>(AControl))
    if (Page->FPageControl == this) SetActivePage(Page);
  inherited::ShowControl(AControl);
}

void TPageControl::CMDialogKey(TMessage& Message) {
  const bool Inside = Focused() || (HandleAllocated() && IsChild(Handle(), GetFocus()));
  if (Inside && Message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
    SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
    Message.Result = 1;
    return;
  }
  inherited::CMDialogKey(Message);
}
