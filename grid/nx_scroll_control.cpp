#include "grid/nx_scroll_control.h"

#include <algorithm>
#include <cstdlib>

#include "grid/nx_flyout_control.h"
#include "platform/forms/controls_messages.h"
#include "platform/forms/timer.h"
#include "platform/rtl/resources.h"
#include "platform/win/user/user.h"

RTL_IMPLEMENT_CLASS(TNxCustomScrollBar)
RTL_IMPLEMENT_CLASS(TNxScrollBar)
RTL_IMPLEMENT_CLASS(TNxCustomScrollControl)
RTL_IMPLEMENT_PUBLISHED(TNxScrollControl, RTL_PROP(MouseWheelEnabled).Default(true))

namespace {

// Keeps sums of positions and deltas inside the integer range.
Integer Saturate(Int64 Value) {
  return static_cast<Integer>(std::clamp<Int64>(Value, INT32_MIN, INT32_MAX));
}

// Clears a flag however the scope is left.
struct TFlagGuard {
  bool& Flag;
  explicit TFlagGuard(bool& F) : Flag(F) { Flag = true; }
  ~TFlagGuard() { Flag = false; }
};

}  // namespace

// ---- TNxCustomScrollBar ----------------------------------------------------------------

TNxCustomScrollBar::TNxCustomScrollBar(TNxCustomScrollControl* AOwner, TCanvas*) : FOwner(AOwner) {}

void TNxCustomScrollBar::SetPosition(Integer Value) {
  FPrevPosition = FPosition;
  FPosition = std::clamp(Value, 0, FMax);
  Update();
  if (FUpdateCount > 0) return;
  if (FKind == sbHorizontal)
    FOwner->ScrollContent(this, FOwner->GetHorzScrollDelta(FPrevPosition, FPosition), 0);
  else
    FOwner->ScrollContent(this, 0, FOwner->GetVertScrollDelta(FPrevPosition, FPosition));
}

void TNxCustomScrollBar::SetMax(Integer Value) {
  if (Value == FMax) return;
  FMax = std::max(Value, 0);
  SetVisible(IsNeeded());
  Update();
  if (FPosition > FMax) SetPosition(FMax);
}

void TNxCustomScrollBar::SetPageSize(Integer Value) {
  if (Value == FPageSize) return;
  FPageSize = std::max(Value, 1);
  Update();
}

void TNxCustomScrollBar::SetAutoHide(bool Value) {
  FAutoHide = Value;
  SetVisible(FMax != 0 || !FAutoHide);
  Update();
}

void TNxCustomScrollBar::SetKind(TScrollBarKind Value) {
  FKind = Value;
  FBar = Value == sbHorizontal ? SB_HORZ : SB_VERT;
}

void TNxCustomScrollBar::SetParams(Integer Max, Integer PageSize, Integer LargeStep) {
  // A negative maximum or an empty page would give the window a range it
  // cannot show and positions the bar never allows.
  FMax = std::max(Max, 0);
  FPageSize = std::max(PageSize, 1);
  FLargeStep = LargeStep;
  Update();
}

void TNxCustomScrollBar::First() { SetPosition(0); }

void TNxCustomScrollBar::Last() { SetPosition(Saturate(Int64(FMax) - FPageSize + 1)); }

void TNxCustomScrollBar::MoveBy(Integer Delta) { SetPosition(Saturate(Int64(FPosition) + Delta)); }

void TNxCustomScrollBar::SendScroll(WPARAM Code) {
  const UINT Msg = FKind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL;
  if (FOwner->HandleAllocated())
    SendMessage(FOwner->Handle(), Msg, Code, 0);
  else
    FOwner->Perform(Msg, Code, 0);
}

void TNxCustomScrollBar::LineDown() {
  if (FMax >= 1) SendScroll(SB_LINEDOWN);
}

void TNxCustomScrollBar::LineUp() {
  if (FMax >= 1 && FPosition > 0) SendScroll(SB_LINEUP);
}

void TNxCustomScrollBar::PageDown() {
  if (FMax >= 1) SendScroll(SB_PAGEDOWN);
}

void TNxCustomScrollBar::PageUp() {
  if (FMax >= 1) SendScroll(SB_PAGEUP);
}

void TNxCustomScrollBar::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
}

Integer TNxCustomScrollBar::GetTrackPosition() {
  if (!FOwner->HandleAllocated() || FBar < 0) return FPosition;
  SCROLLINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SIF_TRACKPOS;
  if (!GetScrollInfo(FOwner->Handle(), FBar, &Info)) return FPosition;
  return Info.nTrackPos;
}

// ---- TNxScrollBar --------------------------------------------------------------------

void TNxScrollBar::SetVisible(bool Value) {
  FVisible = Value;
  if (FOwner->HandleAllocated() && FBar >= 0) ShowScrollBar(FOwner->Handle(), FBar, Value);
}

namespace {

bool SameBarLook(const SCROLLBARINFO& A, const SCROLLBARINFO& B) {
  if (!EqualRect(&A.rcScrollBar, &B.rcScrollBar) || A.dxyLineButton != B.dxyLineButton ||
      A.xyThumbTop != B.xyThumbTop || A.xyThumbBottom != B.xyThumbBottom)
    return false;
  for (int i = 0; i < 6; ++i)
    if (A.rgstate[i] != B.rgstate[i]) return false;
  return true;
}

}  // namespace

void TNxScrollBar::Update() {
  if (FUpdating) return;
  TFlagGuard Guard(FUpdating);
  const Integer Track = GetTrackPosition();
  if (FOwner->HandleAllocated() && FBar >= 0) {
    HWND Wnd = FOwner->Handle();
    SCROLLINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    // With auto-hide off the bar stays, disabled, when nothing scrolls.
    if (!FAutoHide) Info.fMask |= SIF_DISABLENOSCROLL;
    Info.nMin = 0;
    Info.nMax = FMax;
    Info.nPage = static_cast<UINT>(std::max(FPageSize, 0));
    Info.nPos = FPosition;
    const bool Enabled = FOwner->Enabled();
    if (FMax > 0) EnableScrollBar(Wnd, FBar, Enabled ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    // Only a change of the bar's look is drawn at once: adding rows one at
    // a time moves no thumb for most of them.
    const LONG Object = FBar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL;
    SCROLLBARINFO Before{}, After{};
    Before.cbSize = After.cbSize = sizeof(SCROLLBARINFO);
    const bool HaveBefore = GetScrollBarInfo(Wnd, Object, &Before);
    SetScrollInfo(Wnd, FBar, &Info, FALSE);
    const bool Same = HaveBefore && GetScrollBarInfo(Wnd, Object, &After) && SameBarLook(Before, After);
    if (!Same) {
      SCROLLINFO Redraw{};
      Redraw.cbSize = sizeof(Redraw);
      SetScrollInfo(Wnd, FBar, &Redraw, TRUE);
    }
    // Setting a scrollable range enables the arrows again; a disabled
    // control keeps them disabled.
    if (FMax > 0 && !Enabled) EnableScrollBar(Wnd, FBar, ESB_DISABLE_BOTH);
  }
  if (Track != FPosition)
    if (auto* Control = dynamic_cast<TNxScrollControl*>(FOwner)) Control->FireScroll(FKind);
}

// ---- TNxCustomScrollControl ----------------------------------------------------------

TNxCustomScrollControl::TNxCustomScrollControl(TComponent* AOwner) : TCustomControl(AOwner) {}

Integer TNxCustomScrollControl::GetHorzScrollDelta(Integer, Integer) { return 0; }

Integer TNxCustomScrollControl::GetVertScrollDelta(Integer, Integer) { return 0; }

void TNxCustomScrollControl::ScrollContent(TNxCustomScrollBar* Bar, Integer DX, Integer DY) {
  BeforeScroll(Bar->Kind());
  if (HandleAllocated()) {
    // A move beyond the client area uncovers all of it, as a move by its
    // size does; huge distances would overflow the window system's
    // coordinates.
    const TRect Client = ClientRect();
    const Integer MaxX = std::max(Client.Width(), 1), MaxY = std::max(Client.Height(), 1);
    DY = std::clamp(DY, -MaxY, MaxY);
    if (DX != 0) {
      RECT Clip = FHorzScrollRect;
      ScrollWindowEx(Handle(), std::clamp(DX, -MaxX, MaxX), DY, nullptr, &Clip, nullptr, nullptr, SW_INVALIDATE);
    } else {
      RECT Clip = FVertScrollRect;
      ScrollWindowEx(Handle(), 0, DY, nullptr, &Clip, nullptr, nullptr, SW_INVALIDATE);
    }
  }
  AfterScroll(Bar->Kind());
}

void TNxCustomScrollControl::FocusNextControl() {
  if (!Parent()) return;
  if (TCustomForm* Form = GetParentForm(this))
    if (TWinControl* Next = Form->FindNextControl(this, true, true, false)) Next->SetFocus();
}

void TNxCustomScrollControl::FocusPreviousControl() {
  if (!Parent()) return;
  if (TCustomForm* Form = GetParentForm(this))
    if (TWinControl* Previous = Form->FindNextControl(this, false, true, false)) Previous->SetFocus();
}

void TNxCustomScrollControl::FocusWindow(TWinControl* Control) {
  if (Control && GetParentForm(Control)) ::SetFocus(Control->Handle());
}

// ---- TNxScrollControl --------------------------------------------------------------------

TNxScrollControl::TNxScrollControl(TComponent* AOwner) : TNxCustomScrollControl(AOwner) {
  FHorzScrollBar = std::make_unique<TNxScrollBar>(this);
  FHorzScrollBar->SetKind(sbHorizontal);
  FRollShadow = new TRollShadow(this);
  FRollShadow->SetVisible(false);
  FRollShadow->SetParent(this);
  FRollTimer = new TTimer(this);
  FRollTimer->SetEnabled(false);
  FRollTimer->SetInterval(1);
  FRollTimer->SetOnTimer(TNotifyEvent(this, &TNxScrollControl::RollTimerTick));
  FVertScrollBar = std::make_unique<TNxScrollBar>(this);
  FVertScrollBar->SetKind(sbVertical);
  if (Screen) {
    Screen->SetCursors(crRoll, LoadCursor(HInstance, "ROLL"));
    Screen->SetCursors(crRollUp, LoadCursor(HInstance, "ROLLUP"));
    Screen->SetCursors(crRollDown, LoadCursor(HInstance, "ROLLDOWN"));
  }
}

TNxScrollControl::~TNxScrollControl() {
  delete FRollShadow;
  FRollShadow = nullptr;
  delete FRollTimer;
  FRollTimer = nullptr;
  FHorzScrollBar.reset();
  FVertScrollBar.reset();
}

void TNxScrollControl::CreateParams(TCreateParams& Params) {
  TNxCustomScrollControl::CreateParams(Params);
  Params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
}

void TNxScrollControl::CreateWnd() {
  TNxCustomScrollControl::CreateWnd();
  FHorzScrollBar->Update();
  FVertScrollBar->Update();
}

void TNxScrollControl::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TNxScrollControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS;
    return;
  }
  TNxCustomScrollControl::Dispatch(Message);
}

void TNxScrollControl::WMScroll(TMessage& Message) {
  TNxCustomScrollControl::WMScroll(Message);
  // The window's own bars only; a scroll bar control reports its own.
  if (Message.LParam != 0) return;
  TNxScrollBar* Bar = Message.Msg == WM_HSCROLL ? FHorzScrollBar.get() : FVertScrollBar.get();
  const Int64 Position = Bar->Position();
  Int64 NewPosition = 0;
  bool HasNew = true;
  switch (LOWORD(Message.WParam)) {
    case SB_LINEUP:
      NewPosition = Position - Bar->SmallStep();
      break;
    case SB_LINEDOWN:
      NewPosition = Position + Bar->SmallStep();
      break;
    case SB_PAGEUP:
      NewPosition = Position - Bar->LargeStep();
      break;
    case SB_PAGEDOWN:
      NewPosition = Position + Bar->LargeStep();
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      NewPosition = Bar->GetTrackPosition();
      break;
    case SB_TOP:
      NewPosition = 0;
      break;
    case SB_BOTTOM:
      NewPosition = Bar->Max();
      break;
    default:
      HasNew = false;
  }
  if (HasNew) {
    const Int64 LastFull = Int64(Bar->Max()) - Bar->PageSize();
    if (NewPosition < 1) NewPosition = 0;
    if (NewPosition > LastFull) NewPosition = LastFull + 1;
    Bar->SetPosition(Saturate(std::max<Int64>(NewPosition, 0)));
  }
  FireScroll(Bar->Kind());
}

void TNxScrollControl::CMEnabledChanged(TMessage& Message) {
  TNxCustomScrollControl::CMEnabledChanged(Message);
  Invalidate();
  FHorzScrollBar->Update();
  FVertScrollBar->Update();
}

bool TNxScrollControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  // The grid scrolls by its own wheel handling; here the wheel is only
  // taken, so the parents do not scroll.
  if (FMouseWheelEnabled) return true;
  return TNxCustomScrollControl::DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TNxScrollControl::HorizontalScroll(Integer Position) {
  if (OnHorizontalScroll) OnHorizontalScroll(this, Position);
}

void TNxScrollControl::VerticalScroll(Integer Position) {
  if (OnVerticalScroll) OnVerticalScroll(this, Position);
}

void TNxScrollControl::FireScroll(TScrollBarKind Kind) {
  if (Kind == sbHorizontal)
    HorizontalScroll(FHorzScrollBar->Position());
  else
    VerticalScroll(FVertScrollBar->Position());
}

void TNxScrollControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TNxCustomScrollControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbMiddle) return;
  FRolling = true;
  FRollShadow->SetCursor(crRoll);
  FRollOrigin = TPoint(X, Y);
  FRollShadow->ShowAt(ClientToScreen(FRollOrigin));
  FRollTimer->SetInterval(1);
  FRollTimer->SetEnabled(true);
  SetCapture(Handle());
}

void TNxScrollControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TNxCustomScrollControl::MouseMove(Shift, X, Y);
  if (!FRolling) return;
  FRollDirection = TRollDirections();
  const Integer DY = Y - FRollOrigin.Y;
  if (DY < -5) {
    Screen->SetCursor(crRollUp);
    FRollDirection += rdUp;
  } else if (DY > 5) {
    Screen->SetCursor(crRollDown);
    FRollDirection += rdDown;
  } else {
    Screen->SetCursor(crRoll);
  }
  FRollShadow->SetCursor(Screen->Cursor());
}

void TNxScrollControl::RollTimerTick(TObject*) {
  POINT P{0, 0};
  GetCursorPos(&P);
  const Integer DY = ScreenToClient(P).Y - FRollOrigin.Y;
  FRollTimer->SetInterval(static_cast<Cardinal>(std::max(1, 100 - std::abs(DY))));
  if (FRollDirection.Contains(rdUp))
    FVertScrollBar->LineUp();
  else if (FRollDirection.Contains(rdDown))
    FVertScrollBar->LineDown();
}

void TNxScrollControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TNxCustomScrollControl::MouseUp(Button, Shift, X, Y);
  StopRolling();
}

void TNxScrollControl::StopRolling() {
  FRollTimer->SetEnabled(false);
  FRolling = false;
  FRollDirection = TRollDirections();
  FRollShadow->Hide();
  Screen->SetCursor(crDefault);
  ReleaseCapture();
}
