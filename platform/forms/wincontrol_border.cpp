// The border width and bevels of a window control: an inset and edges
// inside the frame the window's styles give it.
#include "platform/forms/controls.h"
#include "platform/win/gdi/gdi.h"

namespace {

// What the bevel takes on each edge it is drawn on.
Integer BevelSize(TBevelKind Kind, TBevelCut Inner, TBevelCut Outer, Integer Width) {
  if (Kind == bkNone) return 0;
  Integer Size = 0;
  if (Inner != bvNone) Size += Width;
  if (Outer != bvNone) Size += Width;
  return Size;
}

UINT EdgeFlags(TBevelEdges Edges) {
  UINT Flags = 0;
  if (Edges.Contains(beLeft)) Flags |= BF_LEFT;
  if (Edges.Contains(beTop)) Flags |= BF_TOP;
  if (Edges.Contains(beRight)) Flags |= BF_RIGHT;
  if (Edges.Contains(beBottom)) Flags |= BF_BOTTOM;
  return Flags;
}

}  // namespace

void TWinControl::BorderChanged() {
  if (!HandleAllocated()) return;
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

void TWinControl::SetBorderWidth(Integer Value) {
  if (Value < 0) Value = 0;
  if (FBorderWidth == Value) return;
  FBorderWidth = Value;
  BorderChanged();
}

void TWinControl::SetBevelEdges(TBevelEdges Value) {
  if (FBevelEdges == Value) return;
  FBevelEdges = Value;
  BorderChanged();
}

void TWinControl::SetBevelInner(TBevelCut Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  BorderChanged();
}

void TWinControl::SetBevelOuter(TBevelCut Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  BorderChanged();
}

void TWinControl::SetBevelKind(TBevelKind Value) {
  if (FBevelKind == Value) return;
  FBevelKind = Value;
  BorderChanged();
}

void TWinControl::SetBevelWidth(Integer Value) {
  if (Value < 1) Value = 1;
  if (FBevelWidth == Value) return;
  FBevelWidth = Value;
  BorderChanged();
}

void TWinControl::WMNCCalcSize(TMessage& Message) {
  DefaultHandler(Message);
  RECT& R = *reinterpret_cast<RECT*>(Message.LParam);  // rgrc[0] either way
  InflateRect(&R, -FBorderWidth, -FBorderWidth);
  const Integer Edge = BevelSize(FBevelKind, FBevelInner, FBevelOuter, FBevelWidth);
  if (FBevelEdges.Contains(beLeft)) R.Left += Edge;
  if (FBevelEdges.Contains(beTop)) R.Top += Edge;
  if (FBevelEdges.Contains(beRight)) R.Right -= Edge;
  if (FBevelEdges.Contains(beBottom)) R.Bottom -= Edge;
  // A window smaller than its frame keeps an empty client area, not a
  // turned-over one.
  if (R.Right < R.Left) R.Right = R.Left;
  if (R.Bottom < R.Top) R.Bottom = R.Top;
}

void TWinControl::WMNCPaint(TMessage& Message) {
  DefaultHandler(Message);
  if (FBevelKind == bkNone || !HandleAllocated()) return;
  const Integer Size = BevelSize(FBevelKind, FBevelInner, FBevelOuter, FBevelWidth);
  if (Size == 0) return;
  HWND H = Handle();
  RECT W{};
  GetWindowRect(H, &W);
  OffsetRect(&W, -W.Left, -W.Top);
  // The bevel lies inside the default frame and the border width: where
  // the client area would be without it.
  const DWORD ExStyle = static_cast<DWORD>(GetWindowLong(H, GWL_EXSTYLE));
  const DWORD Style = static_cast<DWORD>(GetWindowLong(H, GWL_STYLE));
  Integer Frame = 0;
  if (ExStyle & WS_EX_CLIENTEDGE) Frame += 2;
  if (Style & WS_BORDER) Frame += 1;
  InflateRect(&W, -(Frame + FBorderWidth), -(Frame + FBorderWidth));
  UINT Edge = 0;
  if (FBevelInner == bvLowered) Edge |= BDR_SUNKENINNER;
  if (FBevelInner == bvRaised) Edge |= BDR_RAISEDINNER;
  if (FBevelOuter == bvLowered) Edge |= BDR_SUNKENOUTER;
  if (FBevelOuter == bvRaised) Edge |= BDR_RAISEDOUTER;
  UINT Flags = EdgeFlags(FBevelEdges);
  if (FBevelKind == bkSoft) Flags |= BF_SOFT;
  if (FBevelKind == bkFlat) Flags |= BF_FLAT;
  HDC DC = GetWindowDC(H);
  if (!DC) return;
  DrawEdge(DC, &W, Edge, Flags);
  ReleaseDC(H, DC);
}
