// Scrolling containers: the two scroll bars of a scrolling control, ranges
// from the children, scroll messages, the wheel, and the scroll box.
#include <algorithm>

#include "platform/forms/forms.h"
#include "platform/forms/stdctrls_internal.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/user/user_sysinfo.h"

RTL_IMPLEMENT_PUBLISHED(TControlScrollBar,
                        RTL_PROP(ButtonSize).Default(0),
                        RTL_PROP(Increment).Default(8),
                        RTL_PROP(Margin).Default(0),
                        RTL_PROP(Position).Default(0),
                        RTL_PROP(Range).Default(0).Stored<&Self::IsRangeStored>(),
                        RTL_PROP(Size).Default(0),
                        RTL_PROP(Style).Default(ssRegular),
                        RTL_PROP(Tracking).Default(false),
                        RTL_PROP(Visible).Default(true))
RTL_IMPLEMENT_CLASS(TScrollingWinControl)
RTL_IMPLEMENT_PUBLISHED(TScrollBox,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(AutoScroll).Default(true),
                        RTL_PROP(AutoSize).Default(false),
                        RTL_PROP(BiDiMode).Stored<&Self::IsBiDiModeStored>(),
                        RTL_PROP(BorderStyle).Default(bsSingle),
                        RTL_COLOR_PROP(clBtnFace),
                        RTL_PROP(Ctl3D).Stored<&Self::IsCtl3DStored>(),
                        RTL_PROP(HorzScrollBar),
                        RTL_PROP(ParentBiDiMode).Default(true),
                        RTL_PROP(ParentColor).Default(true),
                        RTL_PROP(ParentCtl3D).Default(true),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(false),
                        RTL_PROP(VertScrollBar),
                        RTL_EVENT(OnCanResize),
                        RTL_EVENT(OnConstrainedResize),
                        RTL_EVENT(OnMouseWheel),
                        RTL_EVENT(OnMouseWheelDown),
                        RTL_EVENT(OnMouseWheelUp),
                        RTL_EVENT(OnResize),
                        RTL_MOUSE_EVENTS,
                        RTL_EVENT(OnEnter),
                        RTL_EVENT(OnExit))

// ---- TControlScrollBar ----------------------------------------------------------------

void TControlScrollBar::AssignTo(TPersistent* Dest) {
  auto* D = dynamic_cast<TControlScrollBar*>(Dest);
  if (!D) {
    TPersistent::AssignTo(Dest);
    return;
  }
  D->SetVisible(FVisible);
  // An automatic range is the other control's own to work out.
  if (!FControl->AutoScroll()) D->SetRange(FRange);
  D->SetPosition(FPosition);
  D->SetIncrement(FIncrement);
  D->SetMargin(FMargin);
  D->FTracking = FTracking;
  D->FSize = FSize;
  D->FButtonSize = FButtonSize;
  D->FStyle = FStyle;
}

int TControlScrollBar::Bar() const { return FKind == sbVertical ? SB_VERT : SB_HORZ; }

bool TControlScrollBar::IsRangeStored() const { return !FControl->AutoScroll(); }

bool TControlScrollBar::IsScrollBarVisible() {
  if (!FVisible || !FControl->HandleAllocated()) return false;
  const LONG Bit = FKind == sbVertical ? WS_VSCROLL : WS_HSCROLL;
  return (GetWindowLong(FControl->Handle(), GWL_STYLE) & Bit) != 0;
}

Integer TControlScrollBar::ScrollPos() { return IsScrollBarVisible() ? FPosition : 0; }

Integer TControlScrollBar::ControlSize(bool ControlSB, bool AssumeSB) {
  const bool Vertical = FKind == sbVertical;
  // The other bar takes its thickness off this one's length.
  Integer Adjustment = 0;
  if (!ControlSB && FControl->HandleAllocated()) {
    const LONG OtherBit = Vertical ? WS_HSCROLL : WS_VSCROLL;
    const bool OtherShown = (GetWindowLong(FControl->Handle(), GWL_STYLE) & OtherBit) != 0;
    const Integer Thickness = GetSystemMetrics(Vertical ? SM_CYHSCROLL : SM_CXVSCROLL);
    if (AssumeSB && !OtherShown)
      Adjustment = -Thickness;
    else if (!AssumeSB && OtherShown)
      Adjustment = Thickness;
  }
  return (Vertical ? FControl->ClientHeight() : FControl->ClientWidth()) + Adjustment;
}

bool TControlScrollBar::NeedsScrollBarVisible() { return FRange > ControlSize(false, false); }

void TControlScrollBar::DoSetRange(Integer Value) {
  FRange = std::max(Value, 0);
  FControl->UpdateScrollBars();
}

void TControlScrollBar::SetRange(Integer Value) {
  FControl->FAutoScroll = false;
  DoSetRange(Value);
}

void TControlScrollBar::SetIncrement(TScrollBarInc Value) {
  if (Value < 1 || Value > 32767) throw ERangeError("Scroll bar increment out of range");
  FIncrement = Value;
}

void TControlScrollBar::SetMargin(Integer Value) {
  FMargin = Value;
  if (FVisible) FControl->CalcAutoRange();
}

void TControlScrollBar::SetVisible(bool Value) {
  FVisible = Value;
  FControl->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(Integer Value) {
  // A description sets the position before the children and the ranges
  // are there.
  if (FControl->ComponentState().Contains(csReading)) {
    FPosition = Value;
    return;
  }
  Value = std::clamp(Value, 0, FCalcRange);
  if (Value != FPosition) {
    const Integer OldPos = FPosition;
    FPosition = Value;
    if (FKind == sbHorizontal)
      FControl->ScrollBy(OldPos - Value, 0);
    else
      FControl->ScrollBy(0, OldPos - Value);
  }
  if (FControl->HandleAllocated() && GetScrollPos(FControl->Handle(), Bar()) != FPosition)
    SetScrollPos(FControl->Handle(), Bar(), FPosition, TRUE);
}

void TControlScrollBar::Update(bool ControlSB, bool AssumeSB) {
  FCalcRange = 0;
  const Integer Size = ControlSize(ControlSB, AssumeSB);
  if (FVisible) FCalcRange = std::max(FRange - Size, 0);
  SCROLLINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SIF_ALL;
  Info.nMin = 0;
  Info.nMax = FCalcRange > 0 ? FRange : 0;
  Info.nPage = static_cast<UINT>(std::max(Size, 0) + 1);
  Info.nPos = FPosition;
  Info.nTrackPos = FPosition;
  SetScrollInfo(FControl->Handle(), Bar(), &Info, TRUE);
  SetPosition(FPosition);
  FPageIncrement = std::max(ControlSize(true, false) * 9 / 10, 1);
}

void TControlScrollBar::ScrollMessage(TMessage& Message) {
  // The thumb's 16-bit position in the message is only good for small
  // ranges; the bar's own record has the whole value.
  auto ThumbPos = [&](bool Track) {
    SCROLLINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = Track ? SIF_TRACKPOS : SIF_POS;
    if (FCalcRange > 32767 && GetScrollInfo(FControl->Handle(), Bar(), &Info)) return Track ? Info.nTrackPos : Info.nPos;
    return static_cast<Integer>(HIWORD(Message.WParam));
  };
  switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: SetPosition(FPosition - FIncrement); break;
    case SB_LINEDOWN: SetPosition(FPosition + FIncrement); break;
    case SB_PAGEUP: SetPosition(FPosition - FPageIncrement); break;
    case SB_PAGEDOWN: SetPosition(FPosition + FPageIncrement); break;
    case SB_THUMBPOSITION: SetPosition(ThumbPos(false)); break;
    case SB_THUMBTRACK:
      if (FTracking) SetPosition(ThumbPos(true));
      break;
    case SB_TOP: SetPosition(0); break;
    case SB_BOTTOM: SetPosition(FCalcRange); break;
    default: break;
  }
  Message.Result = 0;
}

// ---- TScrollingWinControl ----------------------------------------------------------------

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner),
      FHorzScrollBar(new TControlScrollBar(this, sbHorizontal)),
      FVertScrollBar(new TControlScrollBar(this, sbVertical)) {}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool Value) {
  if (FAutoScroll == Value) return;
  FAutoScroll = Value;
  if (Value) {
    CalcAutoRange();
  } else {
    FHorzScrollBar->DoSetRange(0);
    FVertScrollBar->DoSetRange(0);
  }
}

void TScrollingWinControl::CreateWnd() {
  inherited::CreateWnd();
  UpdateScrollBars();
}

void TScrollingWinControl::DisableAutoRange() { ++FAutoRangeCount; }

void TScrollingWinControl::EnableAutoRange() {
  if (FAutoRangeCount <= 0) return;
  if (--FAutoRangeCount == 0 && FAutoScroll && !ComponentState().Contains(csDestroying)) CalcAutoRange();
}

// The content reaches as far as the children anchored to the top left (or
// aligned there) go, plus the strips of those aligned to the far side.
void TScrollingWinControl::CalcAutoRange() {
  if (FAutoRangeCount > 0 || !FAutoScroll || ComponentState().Contains(csDestroying)) return;
  if (FHorzScrollBar->FVisible) {
    Integer NewRange = 0, AlignMargin = 0;
    for (Integer I = 0; I < ControlCount(); ++I) {
      TControl* C = Controls(I);
      if (!C->Visible()) continue;
      if (C->Align() == alLeft || (C->Align() == alNone && (C->Anchors() * TAnchors{akLeft, akRight}) == TAnchors{akLeft}))
        NewRange = std::max(NewRange, FHorzScrollBar->FPosition + C->Left() + C->Width());
      else if (C->Align() == alRight)
        AlignMargin += C->Width();
    }
    FHorzScrollBar->DoSetRange(NewRange + AlignMargin + FHorzScrollBar->FMargin);
  }
  if (FVertScrollBar->FVisible) {
    Integer NewRange = 0, AlignMargin = 0;
    for (Integer I = 0; I < ControlCount(); ++I) {
      TControl* C = Controls(I);
      if (!C->Visible()) continue;
      if (C->Align() == alTop || (C->Align() == alNone && (C->Anchors() * TAnchors{akTop, akBottom}) == TAnchors{akTop}))
        NewRange = std::max(NewRange, FVertScrollBar->FPosition + C->Top() + C->Height());
      else if (C->Align() == alBottom)
        AlignMargin += C->Height();
    }
    FVertScrollBar->DoSetRange(NewRange + AlignMargin + FVertScrollBar->FMargin);
  }
}

// The bar that is needed decides first, assuming the other shows; the
// other then sees the first as it is.
void TScrollingWinControl::UpdateScrollBars() {
  if (FUpdatingScrollBars || !HandleAllocated() || ComponentState().Contains(csDestroying)) return;
  FUpdatingScrollBars = true;
  TScopeExit EndUpdating([&] { FUpdatingScrollBars = false; });
  if (FVertScrollBar->NeedsScrollBarVisible()) {
    FHorzScrollBar->Update(false, true);
    FVertScrollBar->Update(true, false);
  } else if (FHorzScrollBar->NeedsScrollBarVisible()) {
    FVertScrollBar->Update(false, true);
    FHorzScrollBar->Update(true, false);
  } else {
    FVertScrollBar->Update(false, false);
    FHorzScrollBar->Update(true, false);
  }
}

// Aligned children fill the whole content, which starts where the
// scrolling has moved it.
void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  CalcAutoRange();
  Rect = TRect(-FHorzScrollBar->FPosition, -FVertScrollBar->FPosition,
               -FHorzScrollBar->FPosition + std::max(FHorzScrollBar->FRange, ClientWidth()),
               -FVertScrollBar->FPosition + std::max(FVertScrollBar->FRange, ClientHeight()));
  inherited::AlignControls(AControl, Rect);
}

void TScrollingWinControl::WMSize(TMessage& Message) {
  // The ranges are worked out once the children have their new places.
  ++FAutoRangeCount;
  {
    TScopeExit EndAutoRange([&] { --FAutoRangeCount; });
    inherited::WMSize(Message);
  }
  // A size change from showing or hiding a bar comes while the bars are
  // being updated: that update goes on with the new size.
  const bool WasUpdating = FUpdatingScrollBars;
  FUpdatingScrollBars = true;
  {
    TScopeExit RestoreUpdating([&] { FUpdatingScrollBars = WasUpdating; });
    CalcAutoRange();
  }
  if (FHorzScrollBar->FVisible || FVertScrollBar->FVisible) UpdateScrollBars();
}

void TScrollingWinControl::WMScroll(TMessage& Message) {
  // Messages from scroll bar controls go to those controls.
  if (Message.LParam != 0) {
    inherited::WMScroll(Message);
    return;
  }
  TControlScrollBar* Bar = Message.Msg == WM_HSCROLL ? FHorzScrollBar.get() : FVertScrollBar.get();
  if (Bar->FVisible)
    Bar->ScrollMessage(Message);
  else
    inherited::WMScroll(Message);
}

bool TScrollingWinControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (inherited::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!FVertScrollBar->IsScrollBarVisible() || FVertScrollBar->FCalcRange <= 0) return false;
  const Integer Lines = Mouse ? Mouse->WheelScrollLines() : 3;
  const Integer Step = Lines > 0 ? Lines * FVertScrollBar->FIncrement : FVertScrollBar->FPageIncrement;
  FVertScrollBar->SetPosition(FVertScrollBar->FPosition - MulDiv(WheelDelta, Step, WHEEL_DELTA));
  return true;
}

void TScrollingWinControl::ScrollBy(Integer DeltaX, Integer DeltaY) {
  if (!DeltaX && !DeltaY) return;
  const bool IsVisible = HandleAllocated() && IsWindowVisible(Handle());
  // Children are moved one by one below; the ranges and the alignment
  // wait for all of them.
  ++FAutoRangeCount;
  DisableAlign();
  TControlLink Self(this);
  auto Done = [&] {
    if (!Self) return;
    --FAutoRangeCount;
    EnableAlign();
  };
  {
    TScopeExit DoneOnExit([&] { Done(); });
    std::vector<TControl*> Children;
    std::vector<TPoint> Before;
    for (Integer I = 0; I < ControlCount(); ++I) {
      Children.push_back(Controls(I));
      Before.push_back(TPoint(Controls(I)->Left(), Controls(I)->Top()));
    }
    if (IsVisible)
      ScrollWindowEx(Handle(), DeltaX, DeltaY, nullptr, nullptr, nullptr, nullptr,
                     SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    for (size_t I = 0; I < Children.size(); ++I) {
      TControl* C = Children[I];
      // The window scrolled the child windows it could see; the others
      // (and the graphic children) move here.
      if (C->Left() != Before[I].X + DeltaX || C->Top() != Before[I].Y + DeltaY)
        C->SetBounds(Before[I].X + DeltaX, Before[I].Y + DeltaY, C->Width(), C->Height());
    }
  }
  if (Self) Realign();
}

void TScrollingWinControl::ScrollInView(TControl* AControl) {
  if (!AControl || !HandleAllocated() || !ContainsControl(AControl)) return;
  TRect R = AControl->ClientRect();
  R.Left -= FHorzScrollBar->FMargin;
  R.Right += FHorzScrollBar->FMargin;
  R.Top -= FVertScrollBar->FMargin;
  R.Bottom += FVertScrollBar->FMargin;
  const TPoint TopLeft = ScreenToClient(AControl->ClientToScreen(TPoint(R.Left, R.Top)));
  const TPoint BottomRight = ScreenToClient(AControl->ClientToScreen(TPoint(R.Right, R.Bottom)));
  R = TRect(TopLeft.X, TopLeft.Y, BottomRight.X, BottomRight.Y);
  const Integer CW = ClientWidth(), CH = ClientHeight();
  if (R.Left < 0) {
    FHorzScrollBar->SetPosition(FHorzScrollBar->FPosition + R.Left);
  } else if (R.Right > CW) {
    if (R.Right - R.Left > CW) R.Right = R.Left + CW;
    FHorzScrollBar->SetPosition(FHorzScrollBar->FPosition + R.Right - CW);
  }
  if (R.Top < 0) {
    FVertScrollBar->SetPosition(FVertScrollBar->FPosition + R.Top);
  } else if (R.Bottom > CH) {
    if (R.Bottom - R.Top > CH) R.Bottom = R.Top + CH;
    FVertScrollBar->SetPosition(FVertScrollBar->FPosition + R.Bottom - CH);
  }
}

void TScrollingWinControl::AutoScrollInView(TControl* AControl) {
  if (AControl && !AControl->ComponentState().Contains(csLoading) && !ComponentState().Contains(csLoading) &&
      !ComponentState().Contains(csDestroying))
    ScrollInView(AControl);
}

// ---- TScrollBox ------------------------------------------------------------------------------

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 185, 41);
  SetAutoScroll(true);
}

void TScrollBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TScrollBox::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}
