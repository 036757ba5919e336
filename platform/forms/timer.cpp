#include "platform/forms/timer.h"

#include "platform/forms/controls.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/properties.h"
#include "platform/win/user/user.h"

RTL_IMPLEMENT_PUBLISHED(TTimer,
                        RTL_PROP(Enabled).Default(true),
                        RTL_PROP(Interval).Default(1000),
                        RTL_PROP(OnTimer))

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd(TWndMethod(this, &TTimer::WndProc));
}

TTimer::~TTimer() {
  FEnabled = false;
  UpdateTimer();
  DeallocateHWnd(FWindowHandle);
}

void TTimer::UpdateTimer() {
  KillTimer(FWindowHandle, kTimerId);
  if (FInterval != 0 && FEnabled && FOnTimer)
    if (!SetTimer(FWindowHandle, kTimerId, FInterval, nullptr)) throw EOutOfResources("Not enough timers available");
}

void TTimer::WndProc(TMessage& Msg) {
  if (Msg.Msg == WM_TIMER) {
    Timer();
    return;
  }
  Msg.Result = DefWindowProc(FWindowHandle, Msg.Msg, Msg.WParam, Msg.LParam);
}

void TTimer::Timer() {
  if (FOnTimer) FOnTimer(this);
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& Value) {
  FOnTimer = Value;
  UpdateTimer();
}
