// The windows of a header drag: the box that carries the dragged header
// under the mouse, and the red arrows above and below the header strip
// that point at the edge where the column would land.
#pragma once

#include <memory>

#include "grid/nx_flyout_control.h"

class TDefaultStyleDisplay;
class TNxCustomColumn;

// (Sender, X, Y), X and Y in screen coordinates.
using TColumnDragEvent = TClosure<void(TObject* Sender, Integer X, Integer Y)>;

class TColumnDragBox : public TNxFlyoutControl {
  RTL_CLASS(TColumnDragBox, TNxFlyoutControl)
  TCustomControl* FGrid;
  TNxCustomColumn* FColumn = nullptr;
  std::unique_ptr<TDefaultStyleDisplay> FDisplay;

 protected:
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Paint() override;
  virtual void DoDrop(Integer X, Integer Y);
  virtual void DoMove(Integer X, Integer Y);

 public:
  // AOwner is the grid.
  explicit TColumnDragBox(TComponent* AOwner);
  ~TColumnDragBox() override;

  // Shows Column's header and takes the mouse: every move and the release
  // come to the box until the left button goes up.
  void StartColumnDrag(TNxCustomColumn* Column);

  TCustomControl* Grid() const { return FGrid; }
  TNxCustomColumn* Column() const { return FColumn; }
  TDefaultStyleDisplay* Display() const { return FDisplay.get(); }

  TColumnDragEvent OnDrop;
  TColumnDragEvent OnMove;
};

// A 9 x 9 red arrow; Direction 0 none, 1 up, 2 down.
class TDragArrow : public TNxFlyoutControl {
  RTL_CLASS(TDragArrow, TNxFlyoutControl)
  Byte FDirection = 0;

 protected:
  void CreateWnd() override;
  void Paint() override;

 public:
  explicit TDragArrow(TComponent* AOwner);
  void SetDirection(Byte Value);
  // Cuts the window to the arrow of its direction.
  virtual void ApplyShape();
  Byte Direction() const { return FDirection; }
};
