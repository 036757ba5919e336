#include "grid/nx_flyout_control.h"

#include "platform/forms/graphics.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"

RTL_IMPLEMENT_CLASS(TNxFlyoutControl)
RTL_IMPLEMENT_CLASS(TRollShadow)

// ---- TNxFlyoutControl ---------------------------------------------------------------

TNxFlyoutControl::TNxFlyoutControl(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() + csNoDesignVisible);
  BringToFront();
}

void TNxFlyoutControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = (Params.Style & ~(WS_CHILD | 0x00030000u)) | WS_POPUP;
  Params.ExStyle |= WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TNxFlyoutControl::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

// ---- TRollShadow ----------------------------------------------------------------------

TRollShadow::TRollShadow(TComponent* AOwner) : TNxFlyoutControl(AOwner) {}

void TRollShadow::CreateWnd() {
  TNxFlyoutControl::CreateWnd();
  // A new window starts without a region.
  ApplyShape();
}

void TRollShadow::ApplyShape() {
  if (!HandleAllocated()) return;
  const POINT Up[5] = {{-1, 7}, {7, -1}, {8, 0}, {14, 7}, {0, 6}};
  const POINT Down[5] = {{-1, 15}, {14, 15}, {6, 22}, {6, 22}, {-1, 14}};
  HRGN UpRegion = CreatePolygonRgn(Up, 5, WINDING);
  HRGN DownRegion = CreatePolygonRgn(Down, 5, WINDING);
  HRGN Dot = CreateEllipticRgn(5, 9, 10, 14);
  HRGN Shape = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(Shape, UpRegion, DownRegion, RGN_OR);
  CombineRgn(Shape, Shape, Dot, RGN_OR);
  DeleteObject(UpRegion);
  DeleteObject(DownRegion);
  DeleteObject(Dot);
  // The window owns the region from here on.
  SetWindowRgn(Handle(), Shape, TRUE);
}

void TRollShadow::ShowAt(const TPoint& ScreenPoint) {
  HandleNeeded();
  ApplyShape();
  FAnchor = ScreenPoint;
  SetBounds(ScreenPoint.X - 7, ScreenPoint.Y - 11, 32, 32);
  Show();
}

void TRollShadow::Paint() {
  Canvas()->Brush()->SetColor(clGrayText);
  Canvas()->FillRect(ClientRect());
}
