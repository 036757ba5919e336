#include "ui/foundation/geometry.h"

#include <cmath>
#include <numbers>

#include "platform/rtl/mathutils.h"

// ---- Integer rectangles ---------------------------------------------------------------

TRect cxRectScaleBy(const TRect& R, Integer Num, Integer Den) { return cxRectScaleXY(R, Num, Den, Num, Den); }

TRect cxRectScaleXY(const TRect& R, Integer NumX, Integer DenX, Integer NumY, Integer DenY) {
  return TRect(MulDiv(R.Left, NumX, DenX), MulDiv(R.Top, NumY, DenY), MulDiv(R.Right, NumX, DenX),
               MulDiv(R.Bottom, NumY, DenY));
}

TRect cxRectFitAspect(const TRect& R, Integer W, Integer H) {
  Integer width = cxRectGetWidth(R), height = cxRectGetHeight(R);
  if (width <= 0 || height <= 0 || W <= 0 || H <= 0) return R;
  TRect result = R;
  double aspect = double(W) / double(H);
  if (double(width) / double(height) >= aspect)
    result.Right = result.Left + static_cast<Integer>(std::trunc(height * aspect));
  else
    result.Bottom = result.Top + static_cast<Integer>(std::trunc(width / aspect));
  return result;
}

TRect cxRectFitAspectOfSize(const TRect& R, const TSize& S) { return cxRectFitAspect(R, S.cx, S.cy); }

// ---- Single precision ------------------------------------------------------------------

void cxOffsetPointsF(std::span<TcxFloatPoint> Points, const TcxFloatPoint& Offset) {
  for (TcxFloatPoint& p : Points) p = cxPointFAdd(p, Offset);
}

float cxPointFDistance(const TcxFloatPoint& A, const TcxFloatPoint& B) {
  double dx = double(B.X) - A.X, dy = double(B.Y) - A.Y;
  return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

float cxPointFAngle(const TcxFloatPoint& C, const TcxFloatPoint& P) {
  // A zero component would leave the quadrant undecided (and divide by
  // zero); a tiny positive one puts the point just inside the first.
  constexpr float kNearZero = 0.00001f;
  TcxFloatPoint v = cxPointFDelta(C, P);
  if (v.X == 0) v.X = kNearZero;
  if (v.Y == 0) v.Y = kNearZero;
  constexpr double pi = std::numbers::pi;
  double base = std::atan(std::fabs(double(v.Y)) / std::fabs(double(v.X)));
  double angle = base;
  if (v.X < 0 && v.Y > 0)
    angle = pi - base;
  else if (v.X < 0 && v.Y < 0)
    angle = pi + base;
  else if (v.X > 0 && v.Y < 0)
    angle = 2 * pi - base;
  return static_cast<float>(angle);
}

TcxFloatPoint cxPointFOnCircle(const TcxFloatPoint& C, TcxRadius Radius, TcxRadians Angle) {
  double a = Angle.Value, r = Radius.Value;
  return TcxFloatPoint{static_cast<float>(C.X + std::cos(a) * r), static_cast<float>(C.Y - std::sin(a) * r)};
}

TcxFloatPoint cxRotatePointF(const TcxFloatPoint& C, const TcxFloatPoint& P, TcxRadians Angle) {
  return cxPointFOnCircle(C, TcxRadius(cxPointFDistance(C, P)), TcxRadians(cxPointFAngle(C, P) + Angle.Value));
}

void cxRotatePointsF(const TcxFloatPoint& C, std::span<TcxFloatPoint> Points, TcxRadians Angle) {
  for (TcxFloatPoint& p : Points) p = cxRotatePointF(C, p, Angle);
}

bool cxRectCircleContainsPoint(const TRect& R, const TPoint& P) {
  double cx = (double(R.Left) + R.Right) / 2, cy = (double(R.Top) + R.Bottom) / 2;
  double radius = Min(cxRectGetWidth(R), cxRectGetHeight(R)) / 2.0;
  double dx = P.X - cx, dy = P.Y - cy;
  return std::sqrt(dx * dx + dy * dy) < radius;
}
