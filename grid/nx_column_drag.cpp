#include "grid/nx_column_drag.h"

#include "grid/nx_columns.h"
#include "grid/nx_style_display.h"
#include "platform/forms/controls_messages.h"
#include "platform/forms/graphics.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"

RTL_IMPLEMENT_CLASS(TColumnDragBox)
RTL_IMPLEMENT_CLASS(TDragArrow)

// ---- TColumnDragBox -------------------------------------------------------------------

TColumnDragBox::TColumnDragBox(TComponent* AOwner)
    : TNxFlyoutControl(AOwner), FGrid(dynamic_cast<TCustomControl*>(AOwner)) {
  FDisplay = std::make_unique<TDefaultStyleDisplay>(FGrid ? FGrid : this);
}

TColumnDragBox::~TColumnDragBox() = default;

void TColumnDragBox::StartColumnDrag(TNxCustomColumn* Column) {
  // Plain headers: no sort arrow, the classic look.
  FDisplay->ShowSortArrow = false;
  FDisplay->Themed = false;
  FDisplay->ThemeHandle = nullptr;
  if (FGrid) SetFont(FGrid->Font());
  FColumn = Column;
  Show();
  Invalidate();
  // A press without coordinates makes the framework capture the mouse for
  // the box.
  if (HandleAllocated()) SendMessage(Handle(), WM_LBUTTONDOWN, 0, 0);
}

void TColumnDragBox::DoDrop(Integer X, Integer Y) {
  if (OnDrop) OnDrop(this, X, Y);
}

void TColumnDragBox::DoMove(Integer X, Integer Y) {
  if (OnMove) OnMove(this, X, Y);
}

void TColumnDragBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TNxFlyoutControl::MouseMove(Shift, X, Y);
  if (!Visible()) return;
  const TPoint P = ClientToScreen(TPoint(X, Y));
  TControlLink Self(this);
  DoMove(P.X, P.Y);
  if (!Self) return;
  SetBounds(P.X - ClientWidth() / 2, P.Y - ClientHeight() + 4, Width(), Height());
}

void TColumnDragBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TNxFlyoutControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !Visible()) return;
  const TPoint P = ClientToScreen(TPoint(X, Y));
  Hide();
  DoDrop(P.X, P.Y);
}

void TColumnDragBox::Paint() {
  TNxFlyoutControl::Paint();
  const TRect R = ClientRect();
  if (FColumn) {
    FDisplay->Canvas = Canvas();
    FDisplay->DrawHeader(FColumn, R);
  }
  TCanvas* C = Canvas();
  C->Pen()->SetColor(clBlack);
  C->Pen()->SetMode(pmCopy);
  C->MoveTo(0, R.Bottom - 1);
  C->LineTo(R.Right - 1, R.Bottom - 1);
  C->LineTo(R.Right - 1, -1);
}

// ---- TDragArrow ------------------------------------------------------------------------

TDragArrow::TDragArrow(TComponent* AOwner) : TNxFlyoutControl(AOwner) {
  SetHeight(9);
  SetWidth(9);
}

void TDragArrow::CreateWnd() {
  TNxFlyoutControl::CreateWnd();
  // A new window starts without a region.
  ApplyShape();
}

void TDragArrow::SetDirection(Byte Value) {
  FDirection = Value;
  ApplyShape();
}

void TDragArrow::ApplyShape() {
  if (!HandleAllocated()) return;
  static const POINT Up[8] = {{-1, 5}, {4, -1}, {9, 5}, {6, 5}, {6, 9}, {3, 9}, {3, 4}, {0, 5}};
  static const POINT Down[8] = {{5, 0}, {3, 0}, {3, 4}, {0, 4}, {4, 9}, {9, 4}, {6, 4}, {6, 0}};
  HRGN Shape = nullptr;
  if (FDirection == 1)
    Shape = CreatePolygonRgn(Up, 8, WINDING);
  else if (FDirection == 2)
    Shape = CreatePolygonRgn(Down, 8, WINDING);
  // The window owns the region from here on.
  SetWindowRgn(Handle(), Shape, TRUE);
}

void TDragArrow::Paint() {
  Canvas()->Brush()->SetColor(static_cast<TColor>(255));
  Canvas()->FillRect(ClientRect());
}
