// Mouse-leave tracking for controls that highlight parts of themselves: a
// 10 ms timer per tracked caller watches the cursor and, on the first tick
// that finds it outside (or the control disabled), sends the control
// CM_MOUSELEAVE and tells the caller, then ends the tracking.
#pragma once

#include "platform/forms/controls.h"
#include "platform/win/kernel/objidl.h"
#include "ui/foundation/cx_components.h"

inline constexpr IID IID_IcxMouseTrackingCaller = {
    0x84A4BCBE, 0xE001, 0x4D60, {0xB7, 0xA6, 0x75, 0xE2, 0xB0, 0xDC, 0xD3, 0xE9}};

// What is tracked; callers are told apart by this interface's address.
class IcxMouseTrackingCaller : public IUnknown {
 public:
  virtual void NotifyMouseLeave() = 0;
};

inline constexpr IID IID_IcxMouseTrackingArea = {
    0x3A5D973B, 0xF016, 0x4F22, {0x80, 0xB6, 0x1D, 0x35, 0x66, 0x8D, 0x77, 0x43}};

// A caller that decides itself whether a point is inside (answered through
// QueryInterface).
class IcxMouseTrackingArea : public IcxMouseTrackingCaller {
 public:
  // P in the tracked control's client coordinates, or on the screen when
  // no control is tracked.
  virtual bool IsPointInCaller(const TPoint& P) = 0;
};

// The watch of one caller; runs from its creation.
class TMouseTrackingTimer : public TcxTimer {
  RTL_CLASS(TMouseTrackingTimer, TcxTimer)
  IcxMouseTrackingCaller* FCaller;
  TControlLink FControl;
  bool FHasControl;
  TRect FBounds;

  bool IsMouseInside(TWinControl* AControl, const TPoint& P);

 public:
  // ABounds in screen coordinates.
  TMouseTrackingTimer(IcxMouseTrackingCaller* ACaller, TWinControl* AControl, const TRect& ABounds);

  // The tick: reports the leave and ends the tracking when the mouse is
  // outside or the control cannot take it any more.
  void FireTimer() override;

  IcxMouseTrackingCaller* Caller() const { return FCaller; }
  // Null when none was given or it was destroyed since.
  TWinControl* Control() const;
  const TRect& Bounds() const { return FBounds; }
};

// Starts watching for the caller (nothing when it is watched already or
// the window unit is shutting down). With a control ABounds are in its
// client coordinates, else on the screen.
void cxBeginMouseTracking(TWinControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller);
// Ends the caller's watch without telling it.
void cxStopMouseTracking(IcxMouseTrackingCaller* ACaller);
inline void cxEndMouseTracking(IcxMouseTrackingCaller* ACaller) { cxStopMouseTracking(ACaller); }
bool cxIsMouseTracking(IcxMouseTrackingCaller* ACaller);
TMouseTrackingTimer* cxFindMouseTrackingTimer(IcxMouseTrackingCaller* ACaller);
