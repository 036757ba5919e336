// A component that fires OnTimer every Interval milliseconds while it is
// enabled, through a window-system timer on a hidden utility window.
#pragma once

#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/win/kernel/windef.h"

struct TMessage;

class TTimer : public TComponent {
  RTL_CLASS(TTimer, TComponent)
  Cardinal FInterval = 1000;
  HWND FWindowHandle = nullptr;
  TNotifyEvent FOnTimer;
  bool FEnabled = true;

  // Kills the running timer and starts a new one when the timer is
  // enabled, has a positive interval and a handler.
  void UpdateTimer();
  void WndProc(TMessage& Msg);

 protected:
  virtual void Timer();

 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal Value);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(const TNotifyEvent& Value);
};
