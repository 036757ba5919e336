// Hints: the hint window and the application's hint timing (show after
// HintPause, again after HintShortPause while hints are up, hide after
// HintHidePause).
#include "platform/forms/forms.h"
#include "platform/win/user/user_sysinfo.h"

RTL_IMPLEMENT_CLASS(THintWindow)

TClass HintWindowClass = THintWindow::StaticClass();

// ---- THintWindow ----------------------------------------------------------------------

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  if (Screen) Canvas()->SetFont(Screen->HintFont());
  Canvas()->Brush()->SetStyle(bsClear);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = Application ? Application->Handle() : nullptr;
}

void THintWindow::WMNCHitTest(TMessage& Message) { Message.Result = HTTRANSPARENT; }

void THintWindow::Paint() {
  RECT R = ClientRect();
  R.Left += 2;
  R.Top += 2;
  Canvas()->Font()->SetColor(Screen ? Screen->HintFont()->Color() : clInfoText);
  AnsiString Text = Caption();
  DrawText(Canvas()->Handle(), Text.c_str(), -1, &R, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

TRect THintWindow::CalcHintRect(Integer MaxWidth, const AnsiString& AHint, void*) {
  RECT Result{0, 0, MaxWidth, 0};
  // Measuring needs a DC with the hint font, window or not.
  HDC DC = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Canvas()->Font()->Handle());
  DrawText(DC, AHint.c_str(), -1, &Result, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(DC, Old);
  DeleteDC(DC);
  Result.Right += 6;
  Result.Bottom += 2;
  return Result;
}

void THintWindow::ActivateHint(TRect Rect, const AnsiString& AHint) {
  SetCaption(AHint);
  Rect.Bottom += 4;
  SetBoundsRect(Rect);
  TRect Desktop = Screen ? Screen->DesktopRect() : TRect(0, 0, 0, 0);
  Integer Left = Rect.Left, Top = Rect.Top;
  if (Top + Height() > Desktop.Bottom) Top = Desktop.Bottom - Height();
  if (Left + Width() > Desktop.Right) Left = Desktop.Right - Width();
  if (Left < Desktop.Left) Left = Desktop.Left;
  if (Top < Desktop.Top) Top = Desktop.Top;
  SetWindowPos(Handle(), HWND_TOPMOST, Left, Top, Width(), Height(), SWP_NOACTIVATE);
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  Invalidate();
}

void THintWindow::ActivateHintData(const TRect& Rect, const AnsiString& AHint, void*) { ActivateHint(Rect, AHint); }

bool THintWindow::IsHintMsg(const MSG& Msg) {
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return false;
  const UINT M = Msg.message;
  return (M >= WM_KEYFIRST && M <= WM_KEYLAST) || (M > WM_MOUSEMOVE && M <= WM_MOUSELAST) || M == WM_NCMOUSEMOVE ||
         M == WM_ACTIVATE || M == WM_ACTIVATEAPP;
}

// ---- The application's hints -------------------------------------------------------------

namespace {

// The nearest control, from Control up, that shows hints.
TControl* GetHintControl(TControl* Control) {
  while (Control && !Control->ShowHint()) Control = Control->Parent();
  if (Control && Control->ComponentState().Contains(csDesigning)) Control = nullptr;
  return Control;
}

}  // namespace

void TApplication::HintTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  if (!Application) return;
  Application->StopHintTimer();
  if (Application->FHintTimerShows) {
    POINT P;
    GetCursorPos(&P);
    Application->ActivateHint(P);
  } else {
    Application->HideHint();
  }
}

void TApplication::StartHintTimer(Integer Value, bool Show) {
  StopHintTimer();
  FHintTimer = SetTimer(nullptr, 0, static_cast<UINT>(Value), &TApplication::HintTimerProc);
  FHintTimerShows = Show;
  if (!FHintTimer) CancelHint();
}

void TApplication::StopHintTimer() {
  if (!FHintTimer) return;
  KillTimer(nullptr, FHintTimer);
  FHintTimer = 0;
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
  TPoint P = Control->ClientToScreen(SmallPointToPoint(Message.LParam));
  TControl* NewHintControl = GetHintControl(FindDragTarget(P, true));
  if (!NewHintControl || !FShowHint) {
    CancelHint();
    return;
  }
  if (NewHintControl == FHintControl && FHintCursorRect.Contains(P)) return;
  const bool WasHintActive = FHintActive;
  Integer Pause = WasHintActive ? FHintShortPause : FHintPause;
  NewHintControl->Perform(CM_HINTSHOWPAUSE, WasHintActive ? 1 : 0, reinterpret_cast<LPARAM>(&Pause));
  CancelHint();
  FHintActive = WasHintActive;
  FHintControl = NewHintControl;
  StartHintTimer(Pause, true);
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
  FHintActive = false;
  THintInfo HintInfo;
  if (FShowHint && FHintControl && Active() && FHintControl == FindDragTarget(CursorPos, false)) {
    HintInfo.HintControl = FHintControl;
    HintInfo.HintPos = CursorPos;
    HintInfo.HintPos.Y += GetSystemMetrics(SM_CYCURSOR);
    HintInfo.HintMaxWidth = Screen->Width();
    HintInfo.HintColor = FHintColor;
    // The rectangle the cursor may move in without a new hint: the
    // control's, in its client coordinates.
    TPoint ClientOrigin = FHintControl->ClientOrigin();
    TPoint ParentOrigin = FHintControl->Parent() ? FHintControl->Parent()->ClientOrigin() : TPoint(0, 0);
    HintInfo.CursorRect = FHintControl->BoundsRect();
    OffsetRect(&HintInfo.CursorRect, ParentOrigin.X - ClientOrigin.X, ParentOrigin.Y - ClientOrigin.Y);
    HintInfo.CursorPos = FHintControl->ScreenToClient(CursorPos);
    HintInfo.HintStr = GetShortHint([&] {
      for (TControl* C = FHintControl; C; C = C->Parent())
        if (!C->Hint().empty()) return C->Hint();
      return AnsiString();
    }());
    HintInfo.HideTimeout = FHintHidePause;
    HintInfo.HintWindowClass = HintWindowClass;
    TControlLink Link(FHintControl);
    bool CanShow = FHintControl->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&HintInfo)) == 0;
    if (CanShow && OnShowHint) OnShowHint(HintInfo.HintStr, CanShow, HintInfo);
    FHintActive = CanShow && Link && FHintControl;
    if (FHintActive && !HintInfo.HintStr.empty()) {
      TClass Cls = HintInfo.HintWindowClass ? HintInfo.HintWindowClass : HintWindowClass;
      if (FHintWindow && FHintWindow->ClassType() != Cls) {
        delete FHintWindow;
        FHintWindow = nullptr;
      }
      if (!FHintWindow) {
        FHintWindow = dynamic_cast<THintWindow*>(CreateInstance(Cls, this));
        if (!FHintWindow) FHintWindow = new THintWindow(this);
      }
      FHintWindow->SetColor(HintInfo.HintColor);
      TRect R = FHintWindow->CalcHintRect(HintInfo.HintMaxWidth, HintInfo.HintStr, HintInfo.HintData);
      OffsetRect(&R, HintInfo.HintPos.X, HintInfo.HintPos.Y);
      FHintCursorRect = TRect(FHintControl->ClientToScreen(HintInfo.CursorRect.TopLeft()),
                              FHintControl->ClientToScreen(HintInfo.CursorRect.BottomRight()));
      FHintWindow->ActivateHintData(R, HintInfo.HintStr, HintInfo.HintData);
      if (HintInfo.ReshowTimeout > 0)
        StartHintTimer(HintInfo.ReshowTimeout, true);
      else
        StartHintTimer(HintInfo.HideTimeout, false);
      return;
    }
  }
  if (HintInfo.ReshowTimeout > 0)
    StartHintTimer(HintInfo.ReshowTimeout, true);
  else
    CancelHint();
}

void TApplication::HideHint() {
  if (FHintWindow && FHintWindow->HandleAllocated() && IsWindowVisible(FHintWindow->Handle()))
    ShowWindow(FHintWindow->Handle(), SW_HIDE);
}

void TApplication::CancelHint() {
  if (!FHintControl) return;
  HideHint();
  FHintControl = nullptr;
  FHintActive = false;
  StopHintTimer();
}

bool TApplication::IsHintMsg(MSG& Msg) {
  if (FHintWindow && FHintWindow->IsHintMsg(Msg)) CancelHint();
  return false;
}

void TApplication::SetShowHint(bool Value) {
  if (FShowHint == Value) return;
  FShowHint = Value;
  if (!Value) {
    CancelHint();
    delete FHintWindow;
    FHintWindow = nullptr;
  }
}

void TApplication::SetHintColor(TColor Value) {
  FHintColor = Value;
  if (FHintWindow) FHintWindow->SetColor(Value);
}

void TApplication::SetHint(const AnsiString& Value) {
  if (FHint == Value) return;
  FHint = Value;
  if (OnHint) OnHint(this);
}
