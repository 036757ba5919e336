#include "ui/foundation/mouse_tracking.h"

#include <algorithm>
#include <vector>

#include "platform/forms/controls_messages.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/user/trace.h"
#include "platform/win/user/user.h"
#include "ui/foundation/message_windows.h"
#include "ui/foundation/window_helpers.h"

RTL_IMPLEMENT_CLASS(TMouseTrackingTimer)

namespace {

std::vector<TMouseTrackingTimer*>* GTimers = nullptr;

void StopAllTrackers();

std::vector<TMouseTrackingTimer*>& Timers() {
  if (!GTimers) GTimers = new std::vector<TMouseTrackingTimer*>;
  // Set with every use: the window unit may have been started again since.
  cx_controls_detail::SetMouseTrackingShutDownHook(&StopAllTrackers);
  return *GTimers;
}

// The window unit's shut-down: a caller that never saw its leave must not
// keep the unit from freeing its windows, so its watch just ends.
void StopAllTrackers() {
  std::vector<TMouseTrackingTimer*>* List = GTimers;
  GTimers = nullptr;
  if (!List) return;
  for (TMouseTrackingTimer* Timer : *List) {
#ifndef NDEBUG
    rtl::detail::Trace("input", "mouse tracking of caller %p still running at shut-down; stopped",
                       static_cast<void*>(Timer->Caller()));
#endif
    delete Timer;
  }
  delete List;
}

}  // namespace

TMouseTrackingTimer::TMouseTrackingTimer(IcxMouseTrackingCaller* ACaller, TWinControl* AControl, const TRect& ABounds)
    : TcxTimer(nullptr),
      FCaller(ACaller),
      FControl(AControl ? AControl->Link() : TControlLink()),
      FHasControl(AControl != nullptr),
      FBounds(ABounds) {
  SetInterval(10);
  // Any handler starts the window timer; the tick itself is FireTimer.
  SetOnTimer(TNotifyEvent([](TObject*) {}));
}

TWinControl* TMouseTrackingTimer::Control() const { return static_cast<TWinControl*>(FControl.Get()); }

bool TMouseTrackingTimer::IsMouseInside(TWinControl* AControl, const TPoint& P) {
  if (AControl && AControl->HandleAllocated()) {
    const HWND Handle = AControl->Handle();
    if (!cxIsSelfOrChildWindow(Handle, cxDeepestWindowAtPoint(P)) && GetCapture() != Handle) return false;
  }
  void* Area = nullptr;
  if (FCaller->QueryInterface(IID_IcxMouseTrackingArea, &Area) == S_OK && Area) {
    auto* Caller = static_cast<IcxMouseTrackingArea*>(Area);
    if (!AControl) return Caller->IsPointInCaller(P);
    return AControl->HandleAllocated() && Caller->IsPointInCaller(AControl->ScreenToClient(P));
  }
  return FBounds.Contains(P);
}

void TMouseTrackingTimer::FireTimer() {
  const TPoint P = cxGetCursorPosSafe();
  TWinControl* TrackedControl = Control();
  // A control destroyed while tracked counts as left.
  const bool ControlLost = FHasControl && !TrackedControl;
  const bool Unusable =
      TrackedControl && (!TrackedControl->HandleAllocated() || !cxIsWindowReallyEnabled(TrackedControl->Handle()));
  if (!ControlLost && !Unusable && IsMouseInside(TrackedControl, P)) return;

  // This timer may be gone after any of the calls below: only locals from
  // here on. The watch ends even when a handler raises.
  IcxMouseTrackingCaller* TrackedCaller = FCaller;
  TScopeExit Stop([TrackedCaller] { cxStopMouseTracking(TrackedCaller); });
  if (TrackedControl && TrackedControl->HandleAllocated()) {
    const HWND Handle = TrackedControl->Handle();
    if (!cxWindowClientRect(Handle).Contains(TrackedControl->ScreenToClient(P)) || !TrackedControl->Enabled())
      SendMessageA(Handle, CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(TrackedControl)));
  }
  // A control's handler that ended the watch itself wants no notification.
  if (cxFindMouseTrackingTimer(TrackedCaller) == this) TrackedCaller->NotifyMouseLeave();
}

void cxBeginMouseTracking(TWinControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller) {
  if (!ACaller || cx_controls_detail::Finalizing() || cxIsMouseTracking(ACaller)) return;
  TRect Bounds = ABounds;
  // A control that cannot have a window (yet) is watched all the same; its
  // first tick ends the watch.
  if (AControl && cxCanHaveWindowHandle(AControl))
    Bounds = cxMapRectBetweenWindows(AControl->Handle(), nullptr, ABounds);
  Timers().push_back(new TMouseTrackingTimer(ACaller, AControl, Bounds));
}

void cxStopMouseTracking(IcxMouseTrackingCaller* ACaller) {
  if (!GTimers) return;
  auto It = std::find_if(GTimers->begin(), GTimers->end(),
                         [ACaller](TMouseTrackingTimer* T) { return T->Caller() == ACaller; });
  if (It == GTimers->end()) return;
  TMouseTrackingTimer* Timer = *It;
  GTimers->erase(It);
  delete Timer;
}

bool cxIsMouseTracking(IcxMouseTrackingCaller* ACaller) { return cxFindMouseTrackingTimer(ACaller) != nullptr; }

TMouseTrackingTimer* cxFindMouseTrackingTimer(IcxMouseTrackingCaller* ACaller) {
  if (!GTimers) return nullptr;
  for (TMouseTrackingTimer* Timer : *GTimers)
    if (Timer->Caller() == ACaller) return Timer;
  return nullptr;
}
