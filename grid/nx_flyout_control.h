// Borderless pop-up tool windows for floating markers, and the marker that
// shows where middle-button rolling started.
#pragma once

#include "platform/forms/controls.h"

// A pop-up tool window even while it has a parent control: it lies in
// screen coordinates, is not clipped by the parent and never takes the
// focus. It does not erase its background.
class TNxFlyoutControl : public TCustomControl {
  RTL_CLASS(TNxFlyoutControl, TCustomControl)

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WMEraseBkgnd(TMessage& Message) override;

 public:
  explicit TNxFlyoutControl(TComponent* AOwner);
};

// Two arrowheads and a dot in the grey-text colour, 32 by 32, the dot on
// the anchor point.
class TRollShadow : public TNxFlyoutControl {
  RTL_CLASS(TRollShadow, TNxFlyoutControl)
  TPoint FAnchor;

 protected:
  void CreateWnd() override;
  void Paint() override;

 public:
  explicit TRollShadow(TComponent* AOwner);
  // Gives the window its shape: the arrowheads and the dot, united.
  virtual void ApplyShape();
  // Shows the marker with its dot on ScreenPoint.
  void ShowAt(const TPoint& ScreenPoint);
  TPoint Anchor() const { return FAnchor; }
};
