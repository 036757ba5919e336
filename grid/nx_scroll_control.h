// The scrolling base of the grid and its popups: scroll-bar state objects
// that mirror the window's own scroll bars, content scrolling by the
// distance the derived control reports, and middle-button rolling.
#pragma once

#include <memory>

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"

class TNxCustomScrollControl;
class TNxScrollControl;
class TRollShadow;
class TTimer;

constexpr TCursor crRoll = 4003;
constexpr TCursor crRollUp = 4004;
constexpr TCursor crRollDown = 4005;

// The state of one scroll bar, in the owner's units (the grid: pixels
// horizontally, rows vertically). Positions run from 0 to the maximum,
// inclusive, as the window's scroll information counts them.
class TNxCustomScrollBar : public TPersistent {
  RTL_CLASS(TNxCustomScrollBar, TPersistent)

 protected:
  bool FAutoHide = true;
  Integer FBar = -1;  // SB_HORZ or SB_VERT once the kind is set
  Integer FLargeStep = 1;
  Integer FMax = 0;
  Integer FPrevPosition = 0;
  TNxCustomScrollControl* FOwner;
  Integer FPageSize = 0;
  Integer FPosition = 0;
  Integer FSmallStep = 1;
  TScrollBarKind FKind = sbHorizontal;
  Integer FUpdateCount = 0;
  bool FVisible = false;
  bool FUpdating = false;  // re-entry guard of Update

  // Sends the owner's window the scroll message of this bar.
  void SendScroll(WPARAM Code);

 public:
  // The canvas is not used.
  TNxCustomScrollBar(TNxCustomScrollControl* AOwner, TCanvas* ACanvas = nullptr);

  virtual void SetVisible(bool Value) { FVisible = Value; }
  // Brings the owner's window scroll bar up to date.
  virtual void Update() {}
  virtual void PageDown();
  virtual void PageUp();
  // Stores all three without clamping beyond the bar's invariants (maximum
  // not negative, page at least 1) or a visibility change, then updates.
  virtual void SetParams(Integer Max, Integer PageSize, Integer LargeStep);

  // Clamps to 0..maximum, updates, then (outside BeginUpdate) scrolls the
  // owner's content by the distance the owner reports.
  void SetPosition(Integer Value);
  void SetMax(Integer Value);
  void SetPageSize(Integer Value);
  void SetAutoHide(bool Value);
  void SetKind(TScrollBarKind Value);
  void SetLargeStep(Integer Value) { FLargeStep = Value; }
  void SetSmallStep(Integer Value) { FSmallStep = Value; }

  void First();
  // The last position that shows a full page: maximum - page size + 1.
  void Last();
  void MoveBy(Integer Delta);
  // Line and page steps go through the owner's scroll messages, so its
  // scroll events fire. Nothing is sent when nothing can scroll (or, for
  // LineUp, at the start).
  void LineDown();
  void LineUp();

  bool IsAtStart() const { return FPosition == 0; }
  bool IsAtEnd() const { return FMax < FPosition + FPageSize; }
  // False only when auto-hide is on and a page holds everything.
  bool IsNeeded() const { return !(FAutoHide && FPageSize >= FMax); }
  // While updates are held, position changes move the thumb but not the
  // content; EndUpdate neither scrolls nor repaints.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  // The window's tracking position of this bar (the position without a
  // window).
  Integer GetTrackPosition();

  bool AutoHide() const { return FAutoHide; }
  Integer Bar() const { return FBar; }
  Integer LargeStep() const { return FLargeStep; }
  Integer Max() const { return FMax; }
  Integer PageSize() const { return FPageSize; }
  Integer Position() const { return FPosition; }
  Integer PrevPosition() const { return FPrevPosition; }
  Integer SmallStep() const { return FSmallStep; }
  TScrollBarKind Kind() const { return FKind; }
  bool Visible() const { return FVisible; }
  Integer UpdateCount() const { return FUpdateCount; }
  TNxCustomScrollControl* Owner() const { return FOwner; }
};

// A bar that drives the owner window's own scroll bar.
class TNxScrollBar : public TNxCustomScrollBar {
  RTL_CLASS(TNxScrollBar, TNxCustomScrollBar)

 public:
  using TNxCustomScrollBar::TNxCustomScrollBar;
  // Shows or hides the window's scroll bar.
  void SetVisible(bool Value) override;
  // Range, page and position to the window (kept visible and disabled when
  // auto-hide is off and nothing scrolls); the owner's scroll event fires
  // when the window's tracking position differed from the new position.
  void Update() override;
};

// Moves the content of its window when a bar's position changes; the
// derived control says by how many pixels and keeps the two rectangles
// that move.
class TNxCustomScrollControl : public TCustomControl {
  RTL_CLASS(TNxCustomScrollControl, TCustomControl)

 protected:
  TRect FHorzScrollRect;
  bool FFlag = false;
  TRect FVertScrollRect;

 public:
  explicit TNxCustomScrollControl(TComponent* AOwner);

  // Pixels the content moves, positive toward the right or the bottom.
  virtual Integer GetHorzScrollDelta(Integer OldPos, Integer NewPos);
  virtual Integer GetVertScrollDelta(Integer OldPos, Integer NewPos);
  virtual void AfterScroll(TScrollBarKind /*Kind*/) {}
  virtual void BeforeScroll(TScrollBarKind /*Kind*/) {}
  // Scrolls the window's pixels within HorzScrollRect (when DX is not 0)
  // or VertScrollRect; the strip uncovered is invalidated, not erased.
  virtual void ScrollContent(TNxCustomScrollBar* Bar, Integer DX, Integer DY);

  // Move the focus to the next or previous control in the form's tab
  // order (what Tab and Shift+Tab do).
  void FocusNextControl();
  void FocusPreviousControl();
  // Gives Control's window the focus directly, when it sits on a form.
  void FocusWindow(TWinControl* Control);

  const TRect& HorzScrollRect() const { return FHorzScrollRect; }
  void SetHorzScrollRect(const TRect& Value) { FHorzScrollRect = Value; }
  const TRect& VertScrollRect() const { return FVertScrollRect; }
  void SetVertScrollRect(const TRect& Value) { FVertScrollRect = Value; }
};

// The window's two scroll bars, their messages and events, the mouse
// wheel switch and middle-button rolling.
class TNxScrollControl : public TNxCustomScrollControl {
  RTL_CLASS(TNxScrollControl, TNxCustomScrollControl)

 public:
  using TScrollEvent = TClosure<void(TObject* Sender, Integer Position)>;
  enum TRollDirection { rdUp, rdDown };
  using TRollDirections = TSet<TRollDirection, 2>;

 private:
  std::unique_ptr<TNxScrollBar> FHorzScrollBar;
  bool FMouseWheelEnabled = true;
  TRollDirections FRollDirection;
  TPoint FRollOrigin;
  TRollShadow* FRollShadow = nullptr;
  TTimer* FRollTimer = nullptr;
  std::unique_ptr<TNxScrollBar> FVertScrollBar;
  bool FRolling = false;

  void RollTimerTick(TObject* Sender);
  void StopRolling();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WMEraseBkgnd(TMessage& Message) override;
  void WMScroll(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  virtual void HorizontalScroll(Integer Position);
  virtual void VerticalScroll(Integer Position);

 public:
  explicit TNxScrollControl(TComponent* AOwner);
  ~TNxScrollControl() override;

  TNxScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
  TNxScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
  TRollShadow* RollShadow() const { return FRollShadow; }
  TTimer* RollTimer() const { return FRollTimer; }
  bool Rolling() const { return FRolling; }
  TRollDirections RollDirection() const { return FRollDirection; }

  bool MouseWheelEnabled() const { return FMouseWheelEnabled; }
  void SetMouseWheelEnabled(bool Value) { FMouseWheelEnabled = Value; }
  // Fired with the control and the bar's position.
  TScrollEvent OnHorizontalScroll;
  TScrollEvent OnVerticalScroll;

  // Fires the event of the bar's kind with its position.
  void FireScroll(TScrollBarKind Kind);
};
