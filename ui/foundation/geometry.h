// Rectangle, point and size arithmetic for painters, layouts and hit tests,
// and the single-precision point functions of circular layouts.
//
// Rectangles are half-open: a point lies inside when Left <= X < Right and
// Top <= Y < Bottom. Every function returns a new value and leaves its
// arguments alone. Centres halve toward minus infinity (cxFloorHalf).
#pragma once

#include <span>

#include "platform/rtl/types.h"

// ---- Halving --------------------------------------------------------------------

// A / 2 rounded toward minus infinity: 5 -> 2, -3 -> -2.
constexpr Integer cxFloorHalf(Int64 A) { return static_cast<Integer>((A - (A & 1)) / 2); }

// ---- Integer rectangles ---------------------------------------------------------------

constexpr Integer cxRectGetWidth(const TRect& R) { return R.Right - R.Left; }
constexpr Integer cxRectGetHeight(const TRect& R) { return R.Bottom - R.Top; }
constexpr TSize cxRectGetSize(const TRect& R) { return TSize(cxRectGetWidth(R), cxRectGetHeight(R)); }
constexpr TSize cxRectGetExtent(const TRect& R) { return cxRectGetSize(R); }

constexpr TRect cxMakeRect(Integer L, Integer T, Integer R, Integer B) { return TRect(L, T, R, B); }
constexpr TRect cxRectFromPoints(const TPoint& TopLeft, const TPoint& BottomRight) {
  return TRect(TopLeft.X, TopLeft.Y, BottomRight.X, BottomRight.Y);
}
constexpr TRect cxRectFromBounds(Integer L, Integer T, Integer W, Integer H) { return TRect(L, T, L + W, T + H); }
constexpr TRect cxRectFromOriginSize(const TPoint& P, Integer W, Integer H) { return TRect(P.X, P.Y, P.X + W, P.Y + H); }
constexpr TRect cxRectFromSize(const TSize& S) { return TRect(0, 0, S.cx, S.cy); }

constexpr bool cxRectsEqual(const TRect& A, const TRect& B) {
  return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
}
constexpr bool cxRectMatches(const TRect& A, const TRect& B) { return cxRectsEqual(A, B); }
constexpr bool cxRectIsAllZero(const TRect& R) { return R.Left == 0 && R.Top == 0 && R.Right == 0 && R.Bottom == 0; }
constexpr bool cxRectHasNoArea(const TRect& R) { return R.Left >= R.Right || R.Top >= R.Bottom; }

constexpr bool cxRectContainsXY(const TRect& R, Integer X, Integer Y) {
  return R.Left <= X && X < R.Right && R.Top <= Y && Y < R.Bottom;
}
constexpr bool cxRectContainsPoint(const TRect& R, const TPoint& P) { return cxRectContainsXY(R, P.X, P.Y); }
// Inner lies inside Bounds; shared edges count as inside.
constexpr bool cxRectEncloses(const TRect& Bounds, const TRect& Inner) {
  return Inner.Left >= Bounds.Left && Inner.Top >= Bounds.Top && Inner.Right <= Bounds.Right &&
         Inner.Bottom <= Bounds.Bottom;
}

// R = the common part of A and B; true when it has an area, else R is the
// all-zero rectangle (rectangles that only touch do not intersect).
constexpr bool cxRectsIntersection(TRect& R, const TRect& A, const TRect& B) {
  R = TRect(A.Left > B.Left ? A.Left : B.Left, A.Top > B.Top ? A.Top : B.Top, A.Right < B.Right ? A.Right : B.Right,
            A.Bottom < B.Bottom ? A.Bottom : B.Bottom);
  if (R.Left < R.Right && R.Top < R.Bottom) return true;
  R = TRect();
  return false;
}
constexpr bool cxRectsOverlap(const TRect& A, const TRect& B) {
  TRect R;
  return cxRectsIntersection(R, A, B);
}
// A when B has no area; else the bounds of both. A's own emptiness is not
// tested: an all-zero A pulls the union to the origin.
constexpr TRect cxRectsUnion(const TRect& A, const TRect& B) {
  if (B.Right - B.Left <= 0 || B.Bottom - B.Top <= 0) return A;
  return TRect(A.Left < B.Left ? A.Left : B.Left, A.Top < B.Top ? A.Top : B.Top, A.Right > B.Right ? A.Right : B.Right,
               A.Bottom > B.Bottom ? A.Bottom : B.Bottom);
}

constexpr TRect cxRectGrow(const TRect& R, Integer DX, Integer DY) {
  return TRect(R.Left - DX, R.Top - DY, R.Right + DX, R.Bottom + DY);
}
constexpr TRect cxRectGrowSides(const TRect& R, Integer ALeft, Integer ATop, Integer ARight, Integer ABottom) {
  return TRect(R.Left - ALeft, R.Top - ATop, R.Right + ARight, R.Bottom + ABottom);
}
// M is read as four thicknesses (left, top, right, bottom).
constexpr TRect cxRectGrowByMargins(const TRect& R, const TRect& M) {
  return cxRectGrowSides(R, M.Left, M.Top, M.Right, M.Bottom);
}
constexpr TRect cxRectShrinkByMargins(const TRect& R, const TRect& M) {
  return TRect(R.Left + M.Left, R.Top + M.Top, R.Right - M.Right, R.Bottom - M.Bottom);
}
constexpr Integer cxMarginsHorzSum(const TRect& M) { return M.Left + M.Right; }
constexpr Integer cxMarginsVertSum(const TRect& M) { return M.Top + M.Bottom; }

// Moved by (DX, DY), or by (-DX, -DY) when Add is false.
constexpr TRect cxRectShift(const TRect& R, Integer DX, Integer DY, bool Add = true) {
  if (!Add) {
    DX = -DX;
    DY = -DY;
  }
  return TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
}
constexpr TRect cxRectShiftByPoint(const TRect& R, const TPoint& P, bool Add = true) {
  return cxRectShift(R, P.X, P.Y, Add);
}
constexpr TRect cxRectShiftHorz(const TRect& R, Integer DX) { return cxRectShift(R, DX, 0); }
constexpr TRect cxRectShiftVert(const TRect& R, Integer DY) { return cxRectShift(R, 0, DY); }

// Moved so that the top-left corner is P; the size is kept.
constexpr TRect cxRectMoveTo(const TRect& R, const TPoint& P) {
  return TRect(P.X, P.Y, P.X + cxRectGetWidth(R), P.Y + cxRectGetHeight(R));
}
constexpr TRect cxRectMoveToOrigin(const TRect& R) { return cxRectMoveTo(R, TPoint(0, 0)); }
constexpr TRect cxRectMoveLeftTo(const TRect& R, Integer X) { return TRect(X, R.Top, X + cxRectGetWidth(R), R.Bottom); }
constexpr TRect cxRectMoveTopTo(const TRect& R, Integer Y) { return TRect(R.Left, Y, R.Right, Y + cxRectGetHeight(R)); }
constexpr TRect cxRectMoveBottomTo(const TRect& R, Integer Y) {
  return TRect(R.Left, Y - cxRectGetHeight(R), R.Right, Y);
}

constexpr TRect cxRectSetLeftAndWidth(const TRect& R, Integer X, Integer W) { return TRect(X, R.Top, X + W, R.Bottom); }
constexpr TRect cxRectPlaceHorz(const TRect& R, Integer X, Integer W) { return cxRectSetLeftAndWidth(R, X, W); }
constexpr TRect cxRectSetRightAndWidth(const TRect& R, Integer X, Integer W) {
  return TRect(X - W, R.Top, X, R.Bottom);
}
constexpr TRect cxRectSetTopAndHeight(const TRect& R, Integer Y, Integer H) { return TRect(R.Left, Y, R.Right, Y + H); }
constexpr TRect cxRectSetBottomAndHeight(const TRect& R, Integer Y, Integer H) {
  return TRect(R.Left, Y - H, R.Right, Y);
}

constexpr TRect cxRectResizeWidth(const TRect& R, Integer W) { return TRect(R.Left, R.Top, R.Left + W, R.Bottom); }
constexpr TRect cxRectResizeHeight(const TRect& R, Integer H) { return TRect(R.Left, R.Top, R.Right, R.Top + H); }
constexpr TRect cxRectResize(const TRect& R, Integer W, Integer H) {
  return TRect(R.Left, R.Top, R.Left + W, R.Top + H);
}
constexpr TRect cxRectSwapAxes(const TRect& R) { return TRect(R.Top, R.Left, R.Bottom, R.Right); }

// Every coordinate through MulDiv (halves away from zero; -1 for a zero
// denominator, as MulDiv answers).
TRect cxRectScaleBy(const TRect& R, Integer Num, Integer Den);
// Left and Right by NumX / DenX, Top and Bottom by NumY / DenY.
TRect cxRectScaleXY(const TRect& R, Integer NumX, Integer DenX, Integer NumY, Integer DenY);

constexpr TPoint cxRectCenterPoint(const TRect& R) {
  return TPoint(cxFloorHalf(Int64(R.Left) + R.Right), cxFloorHalf(Int64(R.Top) + R.Bottom));
}
constexpr TRect cxRectCenterHorz(const TRect& R, Integer W) {
  Integer L = cxFloorHalf(Int64(R.Left) + R.Right - W);
  return TRect(L, R.Top, L + W, R.Bottom);
}
constexpr TRect cxRectCenterVert(const TRect& R, Integer H) {
  Integer T = cxFloorHalf(Int64(R.Top) + R.Bottom - H);
  return TRect(R.Left, T, R.Right, T + H);
}
// A W x H box centred in R.
constexpr TRect cxRectCenterBox(const TRect& R, Integer W, Integer H) { return cxRectCenterVert(cxRectCenterHorz(R, W), H); }
constexpr TRect cxRectCenterSize(const TRect& R, const TSize& S) { return cxRectCenterBox(R, S.cx, S.cy); }

// R cut to the aspect W : H at its right or bottom edge (never at the left
// or top, and not centred); R itself when either size is not positive.
TRect cxRectFitAspect(const TRect& R, Integer W, Integer H);
TRect cxRectFitAspectOfSize(const TRect& R, const TSize& S);

// ---- Points and sizes -----------------------------------------------------------------

constexpr TPoint cxMakePoint(Integer X, Integer Y) { return TPoint(X, Y); }
constexpr TPoint cxPointFromSize(const TSize& S) { return TPoint(S.cx, S.cy); }
constexpr TPoint cxPointNegate(const TPoint& P) { return TPoint(-P.X, -P.Y); }
constexpr bool cxPointsEqual(const TPoint& A, const TPoint& B) { return A.X == B.X && A.Y == B.Y; }
// Moved by (DX, DY), or by (-DX, -DY) when Add is false.
constexpr TPoint cxPointShift(const TPoint& P, Integer DX, Integer DY, bool Add = true) {
  return Add ? TPoint(P.X + DX, P.Y + DY) : TPoint(P.X - DX, P.Y - DY);
}
constexpr TPoint cxPointShiftByPoint(const TPoint& P, const TPoint& Q, bool Add = true) {
  return cxPointShift(P, Q.X, Q.Y, Add);
}
constexpr TSize cxBuildSize(Integer CX, Integer CY) { return TSize(CX, CY); }
constexpr bool cxSizesEqual(const TSize& A, const TSize& B) { return A.cx == B.cx && A.cy == B.cy; }

// ---- Single precision ------------------------------------------------------------------
// Angles are radians, counter-clockwise from the positive X axis with the Y
// axis pointing up (screen Y is turned over for them). Radius and angle
// have types of their own, so that swapping them does not compile.

struct TcxFloatPoint {
  float X = 0, Y = 0;
  constexpr bool operator==(const TcxFloatPoint&) const = default;
};

struct TcxFloatSize {
  float cx = 0, cy = 0;
  constexpr bool operator==(const TcxFloatSize&) const = default;
};

struct TcxRadius {
  float Value;
  constexpr explicit TcxRadius(float AValue) : Value(AValue) {}
};

struct TcxRadians {
  float Value;
  constexpr explicit TcxRadians(float AValue) : Value(AValue) {}
};

constexpr TcxFloatPoint cxMakePointF(float X, float Y) { return TcxFloatPoint{X, Y}; }
constexpr TcxFloatSize cxMakeSizeF(float CX, float CY) { return TcxFloatSize{CX, CY}; }
constexpr TcxFloatPoint cxPointToPointF(const TPoint& P) {
  return TcxFloatPoint{static_cast<float>(P.X), static_cast<float>(P.Y)};
}
constexpr TcxFloatPoint cxPointFAdd(const TcxFloatPoint& A, const TcxFloatPoint& B) {
  return TcxFloatPoint{A.X + B.X, A.Y + B.Y};
}
// Adds Offset to every point, in place.
void cxOffsetPointsF(std::span<TcxFloatPoint> Points, const TcxFloatPoint& Offset);
// P relative to C with the Y axis pointing up: (P.X - C.X, C.Y - P.Y).
constexpr TcxFloatPoint cxPointFDelta(const TcxFloatPoint& C, const TcxFloatPoint& P) {
  return TcxFloatPoint{P.X - C.X, C.Y - P.Y};
}
// The square root of dx^2 + dy^2, rounded to single.
float cxPointFDistance(const TcxFloatPoint& A, const TcxFloatPoint& B);
// The angle of P seen from C, in (0, 2pi); a delta component of exactly 0
// counts as 0.00001, so the centre itself gives pi/4.
float cxPointFAngle(const TcxFloatPoint& C, const TcxFloatPoint& P);
// (C.X + cos(Angle) * Radius, C.Y - sin(Angle) * Radius).
TcxFloatPoint cxPointFOnCircle(const TcxFloatPoint& C, TcxRadius Radius, TcxRadians Angle);
// P turned about C by Angle.
TcxFloatPoint cxRotatePointF(const TcxFloatPoint& C, const TcxFloatPoint& P, TcxRadians Angle);
// Every point turned about C by Angle, in place.
void cxRotatePointsF(const TcxFloatPoint& C, std::span<TcxFloatPoint> Points, TcxRadians Angle);
// P lies strictly inside the circle of diameter min(width, height) about
// the rectangle's centre.
bool cxRectCircleContainsPoint(const TRect& R, const TPoint& P);
