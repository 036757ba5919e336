// Labels, buttons, check boxes, radio buttons, group boxes and scroll
// bars; the shared helpers of the standard controls and their registration.
#include "platform/forms/stdctrls.h"

#include <algorithm>

#include "platform/forms/forms.h"
#include "platform/forms/stdctrls_internal.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user_sysinfo.h"

RTL_IMPLEMENT_CLASS(TCustomLabel)
RTL_IMPLEMENT_PUBLISHED(TLabel,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(Alignment).Default(taLeftJustify),
                        RTL_PROP(AutoSize).Default(true),
                        RTL_PROP(Caption).Stored<&Self::IsCaptionStored>(),
                        RTL_COLOR_PROP(clWindow),
                        RTL_PROP(EllipsisPosition).Default(epNone),
                        RTL_PROP(FocusControl),
                        RTL_PROP(Layout).Default(tlTop),
                        RTL_PROP(ParentColor).Default(true),
                        RTL_PROP(ShowAccelChar).Default(true),
                        RTL_PROP(Transparent).Default(false),
                        RTL_PROP(WordWrap).Default(false),
                        RTL_MOUSE_EVENTS)
RTL_IMPLEMENT_CLASS(TButtonControl)
RTL_IMPLEMENT_PUBLISHED(TButton,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(Action),
                        RTL_PROP(Cancel).Default(false),
                        RTL_PROP(Caption).Stored<&Self::IsCaptionStored>(),
                        RTL_PROP(Default).Default(false),
                        RTL_PROP(ModalResult).Default(mrNone),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        RTL_PROP(WordWrap).Default(false),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)
RTL_IMPLEMENT_CLASS(TCustomCheckBox)
RTL_IMPLEMENT_PUBLISHED(TCheckBox,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(Action),
                        RTL_PROP(Alignment).Default(taRightJustify),
                        RTL_PROP(AllowGrayed).Default(false),
                        RTL_PROP(Caption).Stored<&Self::IsCaptionStored>(),
                        RTL_PROP(Checked).Default(false),
                        RTL_COLOR_PROP(clWindow),
                        RTL_PROP(ParentColor).Default(true),
                        RTL_PROP(State).Default(cbUnchecked),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        RTL_PROP(WordWrap).Default(false),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)
RTL_IMPLEMENT_PUBLISHED(TRadioButton,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(Action),
                        RTL_PROP(Alignment).Default(taRightJustify),
                        RTL_PROP(Caption).Stored<&Self::IsCaptionStored>(),
                        RTL_PROP(Checked).Default(false),
                        RTL_COLOR_PROP(clWindow),
                        RTL_PROP(ParentColor).Default(true),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(false),
                        RTL_PROP(WordWrap).Default(false),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)
RTL_IMPLEMENT_CLASS(TCustomGroupBox)
RTL_IMPLEMENT_PUBLISHED(TGroupBox,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(Caption).Stored<&Self::IsCaptionStored>(),
                        RTL_COLOR_PROP(clWindow),
                        RTL_PROP(Ctl3D).Stored<&Self::IsCtl3DStored>(),
                        RTL_PROP(ParentColor).Default(true),
                        RTL_PROP(ParentCtl3D).Default(true),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(false),
                        RTL_MOUSE_EVENTS,
                        RTL_EVENT(OnEnter),
                        RTL_EVENT(OnExit))
RTL_IMPLEMENT_PUBLISHED(TScrollBar,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(Kind).Default(sbHorizontal),
                        RTL_PROP(LargeChange).Default(1),
                        // The maximum first, so that a range read from a
                        // description never passes through max < min.
                        RTL_PROP(Max).Default(100),
                        RTL_PROP(Min).Default(0),
                        RTL_PROP(PageSize).Default(0),
                        RTL_PROP(Position).Default(0),
                        RTL_PROP(SmallChange).Default(1),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        RTL_EVENT(OnChange),
                        RTL_EVENT(OnScroll),
                        RTL_EVENT(OnContextPopup),
                        RTL_EVENT(OnDragDrop),
                        RTL_EVENT(OnDragOver),
                        RTL_EVENT(OnEndDrag),
                        RTL_EVENT(OnStartDrag),
                        RTL_WINCONTROL_EVENTS)

// ---- Shared helpers -----------------------------------------------------------------------

namespace rtl::detail {

void DrawControlText(HDC DC, const AnsiString& Text, TRect& Rect, UINT Flags, bool Enabled) {
  const int Len = static_cast<int>(Text.size());
  const int Mode = SetBkMode(DC, TRANSPARENT);
  if ((Flags & DT_CALCRECT) || Enabled) {
    DrawTextA(DC, Text.c_str(), Len, &Rect, Flags);
  } else {
    const COLORREF Old = GetTextColor(DC);
    OffsetRect(&Rect, 1, 1);
    SetTextColor(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(DC, Text.c_str(), Len, &Rect, Flags);
    OffsetRect(&Rect, -1, -1);
    SetTextColor(DC, GetSysColor(COLOR_BTNSHADOW));
    DrawTextA(DC, Text.c_str(), Len, &Rect, Flags);
    SetTextColor(DC, Old);
  }
  SetBkMode(DC, Mode);
}

Integer FontLineHeight(TFont* Font) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font->Handle());
  TEXTMETRICA Metrics{};
  GetTextMetricsA(DC, &Metrics);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return Metrics.tmHeight;
}

}  // namespace rtl::detail

void DefineStringsProperty(TStrings* Strings, TFiler* Filer) {
  bool HasData;
  if (auto* Ancestor = dynamic_cast<TStrings*>(Filer->Ancestor()))
    HasData = !Strings->Equals(Ancestor);
  else
    HasData = Strings->Count() > 0;
  Filer->DefineProperty(
      "Strings",
      TReaderProc([Strings](TReader* Reader) {
        Reader->ReadListBegin();
        Strings->BeginUpdate();
        {
          TScopeExit EndUpdating([&] { Strings->EndUpdate(); });
          Strings->Clear();
          while (!Reader->EndOfList()) Strings->Add(Reader->ReadString());
        }
        Reader->ReadListEnd();
      }),
      TWriterProc([Strings](TWriter* Writer) {
        Writer->WriteListBegin();
        for (Integer I = 0; I < Strings->Count(); ++I) Writer->WriteString(Strings->Get(I));
        Writer->WriteListEnd();
      }),
      HasData);
}

void RegisterStdCtrlsClasses() {
  RegisterClasses({TLabel::StaticClass(), TEdit::StaticClass(), TMemo::StaticClass(), TButton::StaticClass(),
                   TCheckBox::StaticClass(), TRadioButton::StaticClass(), TGroupBox::StaticClass(),
                   TComboBox::StaticClass(), TListBox::StaticClass(), TCheckListBox::StaticClass(),
                   TScrollBar::StaticClass()});
}

// ---- TCustomLabel -----------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + csOpaque + csReplicatable);
  SetAutoSize(true);
  SetBounds(0, 0, 65, 17);
}

AnsiString TCustomLabel::GetLabelText() { return Caption(); }

AnsiString TCustomLabel::FitWrappedText(const AnsiString& Text, TRect Rect, UINT Flags) {
  HDC DC = Canvas()->Handle();
  auto Fits = [&](const AnsiString& S) {
    TRect R = Rect;
    DrawTextA(DC, S.c_str(), static_cast<int>(S.size()), &R, Flags | DT_CALCRECT);
    return R.Height() <= Rect.Height();
  };
  if (Fits(Text)) return Text;
  AnsiString Base = Text;
  while (!Base.empty()) {
    // Whole characters only: step back over UTF-8 continuation bytes.
    size_t N = Base.size() - 1;
    while (N > 0 && (static_cast<unsigned char>(Base[N]) & 0xC0) == 0x80) --N;
    Base.resize(N);
    if (FEllipsisPosition == epWordEllipsis) {
      size_t Space = Base.find_last_of(" \t");
      Base.resize(Space == AnsiString::npos ? 0 : Space);
    }
    while (!Base.empty() && (Base.back() == ' ' || Base.back() == '\t')) Base.pop_back();
    if (Fits(Base + "...")) return Base + "...";
  }
  return "...";
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  AnsiString Text = GetLabelText();
  if ((Flags & DT_CALCRECT) && (Text.empty() || (FShowAccelChar && Text == "&"))) Text += " ";
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  Canvas()->SetFont(Font());
  if (FEllipsisPosition != epNone && !AutoSize() && !(Flags & DT_CALCRECT)) {
    if (FWordWrap && FEllipsisPosition != epPathEllipsis) {
      Flags &= ~static_cast<UINT>(DT_EXPANDTABS);
      Text = FitWrappedText(Text, Rect, Flags);
    } else {
      static constexpr UINT Ellipsis[] = {0, DT_PATH_ELLIPSIS, DT_END_ELLIPSIS, DT_WORD_ELLIPSIS};
      Flags = (Flags & ~static_cast<UINT>(DT_EXPANDTABS)) | Ellipsis[FEllipsisPosition];
    }
  }
  rtl::detail::DrawControlText(Canvas()->Handle(), Text, Rect, Flags, Enabled());
}

void TCustomLabel::Paint() {
  static constexpr UINT Alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  TCanvas* C = Canvas();
  if (!Transparent()) {
    C->Brush()->SetColor(Color());
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(ClientRect());
  }
  C->Brush()->SetStyle(bsClear);
  TRect R = ClientRect();
  const UINT Flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | Alignments[FAlignment];
  if (FLayout != tlTop) {
    TRect Calc = R;
    DoDrawText(Calc, Flags | DT_CALCRECT);
    const Integer DY = FLayout == tlBottom ? Height() - Calc.Bottom : (Height() - Calc.Bottom) / 2;
    OffsetRect(&R, 0, DY);
  }
  DoDrawText(R, Flags);
}

void TCustomLabel::AdjustBounds() {
  if (ComponentState().Contains(csReading) || !AutoSize()) return;
  TRect R = ClientRect();
  HDC DC = GetDC(nullptr);
  Canvas()->SetHandle(DC);
  {
    TScopeExit ReleaseCanvas([&] {
      Canvas()->SetHandle(nullptr);
      ReleaseDC(nullptr, DC);
    });
    DoDrawText(R, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
  }
  Integer X = Left();
  if (FAlignment == taRightJustify) X += Width() - R.Right;
  SetBounds(X, Top(), R.Right, R.Bottom);
}

void TCustomLabel::AdjustSize() { AdjustBounds(); }

void TCustomLabel::Loaded() {
  inherited::Loaded();
  AdjustBounds();
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      Invalidate();
      AdjustBounds();
      return;
    case CM_FONTCHANGED:
      inherited::Dispatch(Message);
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      if (FFocusControl && Enabled() && FShowAccelChar &&
          IsAccel(static_cast<Word>(Message.WParam), GetLabelText()) && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
      }
      return;
    default:
      inherited::Dispatch(Message);
  }
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl == Value) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetEllipsisPosition(TEllipsisPosition Value) {
  if (FEllipsisPosition == Value) return;
  FEllipsisPosition = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (Transparent() == Value) return;
  SetControlStyle(Value ? ControlStyle() - csOpaque : ControlStyle() + csOpaque);
  Invalidate();
}

// ---- TButtonControl ----------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csSetCaption, csDoubleClicks});
}

void TButtonControl::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  if (FWordWrap) Params.Style |= BS_MULTILINE;
}

void TButtonControl::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    CNCommand(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TButtonControl::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  RecreateWnd();
}

// ---- TButton -----------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
  inherited::CreateWnd();
  FActive = FDefault;
}

void TButton::Click() {
  if (TCustomForm* Form = GetParentForm(this)) Form->SetModalResult(FModalResult);
  inherited::Click();
}

void TButton::CNCommand(TMessage& Message) {
  if (HIWORD(Message.WParam) == BN_CLICKED) Click();
}

void TButton::CMDialogKey(TMessage& Message) {
  const bool Key = (Message.WParam == VK_RETURN && FActive) || (Message.WParam == VK_ESCAPE && FCancel);
  if (Key && KeyDataToShiftState(Message.LParam).Empty() && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  inherited::CMDialogKey(Message);
}

void TButton::CMDialogChar(TMessage& Message) {
  if (IsAccel(static_cast<Word>(Message.WParam), Caption()) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  inherited::CMDialogChar(Message);
}

// The focused button is the one Enter clicks; while the focus is on
// anything else the default button is.
void TButton::CMFocusChanged(TMessage& Message) {
  auto* Sender = reinterpret_cast<TWinControl*>(Message.LParam);
  if (dynamic_cast<TButton*>(Sender))
    FActive = Sender == this;
  else
    FActive = FDefault;
  SetButtonStyle(FActive);
  inherited::CMFocusChanged(Message);
}

void TButton::SetButtonStyle(bool ADefault) {
  if (!HandleAllocated()) return;
  const LONG Style = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if ((GetWindowLong(Handle(), GWL_STYLE) & BS_TYPEMASK) != Style)
    SendMessage(Handle(), BM_SETSTYLE, static_cast<WPARAM>(Style), 1);
}

void TButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  if (!HandleAllocated()) return;
  if (TCustomForm* Form = GetParentForm(this))
    Form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Form->ActiveControl()));
}

// ---- TCustomCheckBox ---------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= BS_3STATE | (FAlignment == taLeftJustify ? BS_LEFTTEXT : 0);
}

void TCustomCheckBox::CreateWnd() {
  inherited::CreateWnd();
  SendMessage(Handle(), BM_SETCHECK, static_cast<WPARAM>(FState), 0);
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked:
      SetState(FAllowGrayed ? cbGrayed : cbChecked);
      break;
    case cbChecked:
      SetState(cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbChecked);
      break;
  }
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  if (HandleAllocated()) SendMessage(Handle(), BM_SETCHECK, static_cast<WPARAM>(FState), 0);
  if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  RecreateWnd();
}

void TCustomCheckBox::CNCommand(TMessage& Message) {
  if (HIWORD(Message.WParam) == BN_CLICKED) Toggle();
}

void TCustomCheckBox::CMDialogChar(TMessage& Message) {
  if (IsAccel(static_cast<Word>(Message.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    Message.Result = 1;
    return;
  }
  inherited::CMDialogChar(Message);
}

// ---- TRadioButton ------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= BS_RADIOBUTTON | (FAlignment == taLeftJustify ? BS_LEFTTEXT : 0);
}

void TRadioButton::CreateWnd() {
  inherited::CreateWnd();
  SendMessage(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  SetTabStop(Value);
  if (HandleAllocated()) SendMessage(Handle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!Value) return;
  if (TWinControl* P = Parent()) {
    for (Integer I = 0; I < P->ControlCount(); ++I) {
      auto* Sibling = dynamic_cast<TRadioButton*>(P->Controls(I));
      if (Sibling && Sibling != this) Sibling->SetChecked(false);
    }
  }
  Changed();
  if (!ClicksDisabled()) Click();
}

void TRadioButton::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  RecreateWnd();
}

void TRadioButton::CNCommand(TMessage& Message) {
  switch (HIWORD(Message.WParam)) {
    case BN_CLICKED:
      SetChecked(true);
      break;
    case BN_DOUBLECLICKED:
      DblClick();
      break;
  }
}

void TRadioButton::CMDialogChar(TMessage& Message) {
  if (IsAccel(static_cast<Word>(Message.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) SetChecked(true);
    Message.Result = 1;
    return;
  }
  inherited::CMDialogChar(Message);
}

// The arrow keys move the focus among the radio buttons of a group; the
// one that gets it is chosen. A click chooses on its own, when it ends.
void TRadioButton::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
  if (!FChecked && GetKeyState(VK_LBUTTON) >= 0 && GetCapture() != Handle()) SetChecked(true);
}

// ---- TCustomGroupBox ---------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csReplicatable,
                   csParentBackground});
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  inherited::AdjustClientRect(Rect);
  Rect.Top += rtl::detail::FontLineHeight(Font());
  InflateRect(&Rect, -1, -1);
  if (Ctl3D()) InflateRect(&Rect, -1, -1);
}

void TCustomGroupBox::Paint() {
  TCanvas* C = Canvas();
  C->SetFont(Font());
  const Integer H = C->TextHeight("0");
  TRect R(0, H / 2 - 1, Width(), Height());
  C->Brush()->SetStyle(bsSolid);
  if (Ctl3D()) {
    ++R.Left;
    ++R.Top;
    C->Brush()->SetColor(clBtnHighlight);
    C->FrameRect(R);
    OffsetRect(&R, -1, -1);
    C->Brush()->SetColor(clBtnShadow);
  } else {
    C->Brush()->SetColor(clWindowFrame);
  }
  C->FrameRect(R);
  const AnsiString Text = Caption();
  if (Text.empty()) return;
  TRect T(8, 0, 0, H);
  HDC DC = C->Handle();
  DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &T, DT_SINGLELINE | DT_CALCRECT);
  // The caption breaks the frame: its background is the box's colour.
  C->Brush()->SetColor(Color());
  TRect Back(T.Left - 1, T.Top, T.Right + 1, T.Bottom);
  C->FillRect(Back);
  rtl::detail::DrawControlText(C->Handle(), Text, T, DT_SINGLELINE, Enabled());
}

void TCustomGroupBox::CMDialogChar(TMessage& Message) {
  if (IsAccel(static_cast<Word>(Message.WParam), Caption()) && CanFocus()) {
    SelectFirst();
    Message.Result = 1;
    return;
  }
  inherited::CMDialogChar(Message);
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      Invalidate();
      return;
    case CM_FONTCHANGED:
      inherited::Dispatch(Message);
      Realign();
      Invalidate();
      return;
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(Message);
      Invalidate();
      return;
    default:
      inherited::Dispatch(Message);
  }
}

// ---- TScrollBar ---------------------------------------------------------------------------

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csFramed, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
}

void TScrollBar::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "SCROLLBAR");
  Params.Style |= FKind == sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TScrollBar::CreateWnd() {
  inherited::CreateWnd();
  UpdateScrollInfo();
}

void TScrollBar::UpdateScrollInfo() {
  if (!HandleAllocated()) return;
  SCROLLINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
  Info.nMin = FMin;
  Info.nMax = FMax;
  Info.nPage = static_cast<UINT>(FPageSize);
  Info.nPos = FPosition;
  SetScrollInfo(Handle(), SB_CTL, &Info, TRUE);
}

void TScrollBar::SetParams(Integer APosition, Integer AMin, Integer AMax) {
  if (AMax < AMin || AMax < FPageSize) throw EInvalidOperation("Scrollbar property out of range");
  APosition = std::clamp(APosition, AMin, AMax);
  const bool Moved = APosition != FPosition;
  if (!Moved && AMin == FMin && AMax == FMax) return;
  FMin = AMin;
  FMax = AMax;
  FPosition = APosition;
  UpdateScrollInfo();
  if (Moved) Change();
}

void TScrollBar::SetPageSize(Integer Value) {
  if (FPageSize == Value) return;
  if (Value < 0 || Value > FMax - FMin + 1) throw EInvalidOperation("Scrollbar property out of range");
  FPageSize = Value;
  UpdateScrollInfo();
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TScrollBar::Change() {
  Changed();
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, Integer& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::DoScroll(TMessage& Message) {
  const auto Code = static_cast<TScrollCode>(std::min<Integer>(LOWORD(Message.WParam), scEndScroll));
  Integer NewPos = FPosition;
  switch (Code) {
    case scLineUp: NewPos -= FSmallChange; break;
    case scLineDown: NewPos += FSmallChange; break;
    case scPageUp: NewPos -= FLargeChange; break;
    case scPageDown: NewPos += FLargeChange; break;
    case scPosition:
    case scTrack: {
      SCROLLINFO Info{};
      Info.cbSize = sizeof(Info);
      Info.fMask = SIF_TRACKPOS;
      GetScrollInfo(Handle(), SB_CTL, &Info);
      NewPos = Info.nTrackPos;
      break;
    }
    case scTop: NewPos = FMin; break;
    case scBottom: NewPos = FMax; break;
    case scEndScroll: break;
  }
  NewPos = std::clamp(NewPos, FMin, FMax);
  TControlLink Self(this);
  Scroll(Code, NewPos);
  if (Self) SetPosition(NewPos);
}

void TScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      DoScroll(Message);
      return;
    default:
      inherited::Dispatch(Message);
  }
}
