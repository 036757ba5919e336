#include "ui/foundation/geometry.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <ostream>
#include <type_traits>

void PrintTo(const TRect& R, std::ostream* os) {
  *os << "(" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << ")";
}
void PrintTo(const TPoint& P, std::ostream* os) { *os << "(" << P.X << ", " << P.Y << ")"; }
void PrintTo(const TSize& S, std::ostream* os) { *os << "(" << S.cx << " x " << S.cy << ")"; }

namespace {

constexpr TRect R(10, 20, 50, 80);  // 40 x 60
constexpr TRect M(1, 2, 3, 4);      // margins

TEST(Geometry, RectangleFunctions) {
  TRect touching, overlapping, unchanged(7, 7, 7, 7);
  bool touchingIntersects = cxRectsIntersection(touching, TRect(0, 0, 10, 10), TRect(10, 0, 20, 10));
  bool overlappingIntersects = cxRectsIntersection(overlapping, TRect(0, 0, 10, 10), TRect(5, 5, 20, 20));
  const struct {
    const char* Name;
    TRect Got, Want;
  } rects[] = {
      {"cxMakeRect", cxMakeRect(1, 2, 3, 4), TRect(1, 2, 3, 4)},
      {"cxRectFromPoints", cxRectFromPoints(TPoint(1, 2), TPoint(3, 4)), TRect(1, 2, 3, 4)},
      {"cxRectFromBounds", cxRectFromBounds(1, 2, 10, 20), TRect(1, 2, 11, 22)},
      {"cxRectFromOriginSize", cxRectFromOriginSize(TPoint(1, 2), 10, 20), TRect(1, 2, 11, 22)},
      {"cxRectFromSize", cxRectFromSize(TSize(10, 20)), TRect(0, 0, 10, 20)},
      {"cxRectsIntersection touching", touching, TRect(0, 0, 0, 0)},
      {"cxRectsIntersection overlapping", overlapping, TRect(5, 5, 10, 10)},
      {"cxRectsUnion all-zero A", cxRectsUnion(TRect(0, 0, 0, 0), TRect(10, 10, 20, 20)), TRect(0, 0, 20, 20)},
      {"cxRectsUnion B without width", cxRectsUnion(TRect(5, 5, 8, 8), TRect(10, 10, 10, 20)), TRect(5, 5, 8, 8)},
      {"cxRectsUnion B upside down", cxRectsUnion(TRect(5, 5, 8, 8), TRect(10, 20, 20, 10)), TRect(5, 5, 8, 8)},
      {"cxRectsUnion", cxRectsUnion(TRect(5, 5, 8, 8), TRect(10, 10, 20, 20)), TRect(5, 5, 20, 20)},
      {"cxRectGrow", cxRectGrow(R, 2, 3), TRect(8, 17, 52, 83)},
      {"cxRectGrowSides", cxRectGrowSides(R, 1, 2, 3, 4), TRect(9, 18, 53, 84)},
      {"cxRectGrowByMargins", cxRectGrowByMargins(R, M), TRect(9, 18, 53, 84)},
      {"cxRectShrinkByMargins", cxRectShrinkByMargins(R, M), TRect(11, 22, 47, 76)},
      {"cxRectShift", cxRectShift(R, 5, -5), TRect(15, 15, 55, 75)},
      {"cxRectShift subtracting", cxRectShift(R, 5, -5, false), TRect(5, 25, 45, 85)},
      {"cxRectShiftByPoint", cxRectShiftByPoint(R, TPoint(5, -5)), TRect(15, 15, 55, 75)},
      {"cxRectShiftByPoint subtracting", cxRectShiftByPoint(R, TPoint(5, -5), false), TRect(5, 25, 45, 85)},
      {"cxRectShiftHorz", cxRectShiftHorz(R, 3), TRect(13, 20, 53, 80)},
      {"cxRectShiftVert", cxRectShiftVert(R, -3), TRect(10, 17, 50, 77)},
      {"cxRectMoveTo", cxRectMoveTo(R, TPoint(1, 2)), TRect(1, 2, 41, 62)},
      {"cxRectMoveToOrigin", cxRectMoveToOrigin(R), TRect(0, 0, 40, 60)},
      {"cxRectMoveLeftTo", cxRectMoveLeftTo(R, 0), TRect(0, 20, 40, 80)},
      {"cxRectMoveTopTo", cxRectMoveTopTo(R, 0), TRect(10, 0, 50, 60)},
      {"cxRectMoveBottomTo", cxRectMoveBottomTo(R, 100), TRect(10, 40, 50, 100)},
      {"cxRectSetLeftAndWidth", cxRectSetLeftAndWidth(R, 5, 10), TRect(5, 20, 15, 80)},
      {"cxRectPlaceHorz", cxRectPlaceHorz(R, 5, 10), TRect(5, 20, 15, 80)},
      {"cxRectSetRightAndWidth", cxRectSetRightAndWidth(R, 30, 10), TRect(20, 20, 30, 80)},
      {"cxRectSetTopAndHeight", cxRectSetTopAndHeight(R, 5, 10), TRect(10, 5, 50, 15)},
      {"cxRectSetBottomAndHeight", cxRectSetBottomAndHeight(R, 30, 10), TRect(10, 20, 50, 30)},
      {"cxRectResize", cxRectResize(R, 5, 6), TRect(10, 20, 15, 26)},
      {"cxRectResizeWidth", cxRectResizeWidth(R, 5), TRect(10, 20, 15, 80)},
      {"cxRectResizeHeight", cxRectResizeHeight(R, 6), TRect(10, 20, 50, 26)},
      {"cxRectSwapAxes", cxRectSwapAxes(R), TRect(20, 10, 80, 50)},
      {"cxRectScaleBy", cxRectScaleBy(R, 3, 2), TRect(15, 30, 75, 120)},
      // Halves go away from zero: 0.5, 1.5, 2.5, -1.5.
      {"cxRectScaleBy halves", cxRectScaleBy(TRect(1, 3, 5, -3), 1, 2), TRect(1, 2, 3, -2)},
      {"cxRectScaleXY", cxRectScaleXY(R, 1, 2, 3, 1), TRect(5, 60, 25, 240)},
      {"cxRectCenterBox", cxRectCenterBox(R, 10, 20), TRect(25, 40, 35, 60)},
      {"cxRectCenterBox odd", cxRectCenterBox(TRect(0, 0, 3, 3), 2, 2), TRect(0, 0, 2, 2)},
      {"cxRectCenterBox negative", cxRectCenterBox(TRect(-3, -3, 0, 0), 0, 0), TRect(-2, -2, -2, -2)},
      {"cxRectCenterSize", cxRectCenterSize(R, TSize(10, 20)), TRect(25, 40, 35, 60)},
      {"cxRectCenterHorz", cxRectCenterHorz(R, 10), TRect(25, 20, 35, 80)},
      {"cxRectCenterVert", cxRectCenterVert(R, 20), TRect(10, 40, 50, 60)},
      // The bottom gives way for a wider aspect, the right for a taller one.
      {"cxRectFitAspect square", cxRectFitAspect(R, 1, 1), TRect(10, 20, 50, 60)},
      {"cxRectFitAspect tall", cxRectFitAspect(R, 1, 2), TRect(10, 20, 40, 80)},
      {"cxRectFitAspect truncates", cxRectFitAspect(TRect(0, 0, 10, 10), 3, 2), TRect(0, 0, 10, 6)},
      {"cxRectFitAspect no aspect", cxRectFitAspect(R, 0, 2), R},
      {"cxRectFitAspect no area", cxRectFitAspect(TRect(5, 5, 5, 9), 1, 1), TRect(5, 5, 5, 9)},
      {"cxRectFitAspectOfSize", cxRectFitAspectOfSize(R, TSize(1, 2)), TRect(10, 20, 40, 80)},
      {"arguments untouched", unchanged, TRect(7, 7, 7, 7)},
  };
  for (const auto& c : rects) EXPECT_EQ(c.Got, c.Want) << c.Name;

  const struct {
    const char* Name;
    bool Got, Want;
  } tests[] = {
      {"cxRectsIntersection touching", touchingIntersects, false},
      {"cxRectsIntersection overlapping", overlappingIntersects, true},
      {"cxRectsOverlap touching", cxRectsOverlap(TRect(0, 0, 10, 10), TRect(0, 10, 10, 20)), false},
      {"cxRectsOverlap", cxRectsOverlap(TRect(0, 0, 10, 10), TRect(9, 9, 10, 10)), true},
      {"cxRectsEqual", cxRectsEqual(R, TRect(10, 20, 50, 80)), true},
      {"cxRectMatches", cxRectMatches(R, cxRectShift(R, 0, 1)), false},
      {"cxRectIsAllZero", cxRectIsAllZero(TRect()), true},
      {"cxRectIsAllZero one side", cxRectIsAllZero(TRect(0, 0, 0, 1)), false},
      {"cxRectHasNoArea no width", cxRectHasNoArea(TRect(0, 0, 0, 5)), true},
      {"cxRectHasNoArea no height", cxRectHasNoArea(TRect(0, 0, 5, 0)), true},
      {"cxRectHasNoArea inverted", cxRectHasNoArea(TRect(5, 0, 0, 5)), true},
      {"cxRectHasNoArea", cxRectHasNoArea(R), false},
      {"cxRectContainsXY top-left", cxRectContainsXY(R, 10, 20), true},
      {"cxRectContainsXY last pixel", cxRectContainsXY(R, 49, 79), true},
      {"cxRectContainsXY right edge", cxRectContainsXY(R, 50, 20), false},
      {"cxRectContainsXY bottom edge", cxRectContainsXY(R, 10, 80), false},
      {"cxRectContainsPoint left of it", cxRectContainsPoint(R, TPoint(9, 20)), false},
      {"cxRectContainsPoint", cxRectContainsPoint(R, TPoint(30, 30)), true},
      {"cxRectEncloses equal", cxRectEncloses(R, R), true},
      {"cxRectEncloses inner", cxRectEncloses(R, TRect(11, 21, 49, 79)), true},
      {"cxRectEncloses wider", cxRectEncloses(R, cxRectGrow(R, 1, 0)), false},
      {"cxRectEncloses lower", cxRectEncloses(R, cxRectShiftVert(R, 1)), false},
  };
  for (const auto& c : tests) EXPECT_EQ(c.Got, c.Want) << c.Name;

  const struct {
    const char* Name;
    Integer Got, Want;
  } numbers[] = {
      {"half(5)", cxFloorHalf(5), 2},
      {"half(4)", cxFloorHalf(4), 2},
      {"half(-1)", cxFloorHalf(-1), -1},
      {"half(-3)", cxFloorHalf(-3), -2},
      {"half(-4)", cxFloorHalf(-4), -2},
      {"cxRectGetWidth", cxRectGetWidth(R), 40},
      {"cxRectGetHeight", cxRectGetHeight(R), 60},
      {"cxRectGetWidth negative", cxRectGetWidth(TRect(5, 0, 0, 0)), -5},
      {"cxMarginsHorzSum", cxMarginsHorzSum(M), 4},
      {"cxMarginsVertSum", cxMarginsVertSum(M), 6},
  };
  for (const auto& c : numbers) EXPECT_EQ(c.Got, c.Want) << c.Name;

  const struct {
    const char* Name;
    TPoint Got, Want;
  } points[] = {
      {"cxRectCenterPoint", cxRectCenterPoint(TRect(0, 0, 3, 3)), TPoint(1, 1)},
      {"cxRectCenterPoint negative", cxRectCenterPoint(TRect(-3, -3, 0, 0)), TPoint(-2, -2)},
      // The sum of far-apart coordinates does not overflow.
      {"cxRectCenterPoint wide", cxRectCenterPoint(TRect(2000000000, 0, 2000000002, 2)), TPoint(2000000001, 1)},
      {"cxMakePoint", cxMakePoint(3, -4), TPoint(3, -4)},
      {"cxPointFromSize", cxPointFromSize(TSize(3, 4)), TPoint(3, 4)},
      {"cxPointNegate", cxPointNegate(TPoint(3, -4)), TPoint(-3, 4)},
      {"cxPointShift", cxPointShift(TPoint(1, 1), 2, 3), TPoint(3, 4)},
      {"cxPointShift subtracting", cxPointShift(TPoint(1, 1), 2, 3, false), TPoint(-1, -2)},
      {"cxPointShiftByPoint", cxPointShiftByPoint(TPoint(1, 1), TPoint(2, 3)), TPoint(3, 4)},
      {"cxPointShiftByPoint subtracting", cxPointShiftByPoint(TPoint(1, 1), TPoint(2, 3), false), TPoint(-1, -2)},
  };
  for (const auto& c : points) EXPECT_EQ(c.Got, c.Want) << c.Name;

  EXPECT_EQ(cxRectGetSize(R), TSize(40, 60));
  EXPECT_EQ(cxRectGetExtent(R), TSize(40, 60));
  EXPECT_EQ(cxBuildSize(3, 4), TSize(3, 4));
  EXPECT_TRUE(cxSizesEqual(TSize(3, 4), TSize(3, 4)));
  EXPECT_FALSE(cxSizesEqual(TSize(3, 4), TSize(4, 3)));
  EXPECT_TRUE(cxPointsEqual(TPoint(3, 4), TPoint(3, 4)));
  EXPECT_FALSE(cxPointsEqual(TPoint(3, 4), TPoint(4, 3)));
}

// ---- Single precision ------------------------------------------------------------------

constexpr float kPi = std::numbers::pi_v<float>;

TEST(GeometryFloat, AngleOfAPointSeenFromTheCentre) {
  const TcxFloatPoint C = cxMakePointF(10, 10);
  const struct {
    const char* Name;
    TcxFloatPoint P;
    float Angle;
  } cases[] = {
      {"above", {10, 0}, kPi / 2},
      {"below", {10, 20}, 3 * kPi / 2},
      {"the centre itself", {10, 10}, kPi / 4},
      {"left", {0, 10}, kPi},
      {"right", {20, 10}, 0},
      {"up right", {20, 0}, kPi / 4},
      {"up left", {0, 0}, 3 * kPi / 4},
      {"down left", {0, 20}, 5 * kPi / 4},
      {"down right", {20, 20}, 7 * kPi / 4},
  };
  for (const auto& c : cases) {
    float a = cxPointFAngle(C, c.P);
    EXPECT_NEAR(a, c.Angle, 1e-5) << c.Name;
    EXPECT_GT(a, 0) << c.Name;
    EXPECT_LT(a, 2 * kPi) << c.Name;
  }
  EXPECT_NEAR(cxPointFAngle(C, cxMakePointF(10, 20)), 4.712f, 1e-3);
}

TEST(GeometryFloat, PointsOnACircleAndTurnedAboutItsCentre) {
  const TcxFloatPoint C = cxMakePointF(10, 10);
  TcxFloatPoint east = cxPointFOnCircle(C, TcxRadius(5), TcxRadians(0));
  EXPECT_NEAR(east.X, 15, 1e-5);
  EXPECT_NEAR(east.Y, 10, 1e-5);
  // Counter-clockwise with Y up: a quarter turn from east is up on screen.
  TcxFloatPoint north = cxRotatePointF(C, east, TcxRadians(kPi / 2));
  EXPECT_NEAR(north.X, 10, 1e-4);
  EXPECT_NEAR(north.Y, 5, 1e-4);

  std::array<TcxFloatPoint, 4> points = {{{13, 14}, {-2.5f, 7}, {10, 10.5f}, {99, 99}}};
  std::array<TcxFloatPoint, 4> before = points;
  cxRotatePointsF(C, std::span(points).first(3), TcxRadians(0.7f));
  for (size_t i = 0; i < 3; ++i) {
    float was = cxPointFDistance(C, before[i]), now = cxPointFDistance(C, points[i]);
    EXPECT_NEAR(now, was, was * 1e-5f) << i;
    EXPECT_NEAR(cxPointFAngle(C, points[i]), std::fmod(cxPointFAngle(C, before[i]) + 0.7f, 2 * kPi), 1e-4) << i;
  }
  EXPECT_EQ(points[3], before[3]);  // beyond the span

  cxOffsetPointsF(points, cxMakePointF(1, -1));
  EXPECT_EQ(points[3], cxMakePointF(100, 98));
  EXPECT_EQ(cxPointFDistance(cxMakePointF(0, 0), cxMakePointF(3, 4)), 5.0f);
  EXPECT_EQ(cxPointFDelta(C, cxMakePointF(12, 7)), cxMakePointF(2, 3));
  EXPECT_EQ(cxPointFAdd(C, cxMakePointF(1, 2)), cxMakePointF(11, 12));
  EXPECT_EQ(cxPointToPointF(TPoint(-3, 7)), cxMakePointF(-3, 7));
  EXPECT_EQ(cxMakeSizeF(1.5f, 2), (TcxFloatSize{1.5f, 2}));

  // The argument order (centre, angle, radius) does not compile, nor do
  // bare numbers for the radius or the angle.
  static_assert(std::is_invocable_v<decltype(cxPointFOnCircle), TcxFloatPoint, TcxRadius, TcxRadians>);
  static_assert(!std::is_invocable_v<decltype(cxPointFOnCircle), TcxFloatPoint, TcxRadians, TcxRadius>);
  static_assert(!std::is_invocable_v<decltype(cxPointFOnCircle), TcxFloatPoint, float, float>);
  static_assert(!std::is_invocable_v<decltype(cxRotatePointsF), TcxFloatPoint, std::span<TcxFloatPoint>, int, float>);
}

TEST(GeometryFloat, CircleOfARectangleIsStrictOnItsRim) {
  const struct {
    TRect Bounds;
    TPoint P;
    bool Inside;
  } cases[] = {
      {TRect(0, 0, 10, 10), TPoint(5, 5), true},   {TRect(0, 0, 10, 10), TPoint(5, 1), true},
      {TRect(0, 0, 10, 10), TPoint(5, 0), false},  {TRect(0, 0, 10, 10), TPoint(10, 5), false},
      {TRect(0, 0, 10, 10), TPoint(0, 0), false},  {TRect(0, 0, 20, 10), TPoint(14, 5), true},
      {TRect(0, 0, 20, 10), TPoint(15, 5), false}, {TRect(0, 0, 11, 11), TPoint(1, 5), true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(cxRectCircleContainsPoint(c.Bounds, c.P), c.Inside) << c.P.X << "," << c.P.Y;
}

}  // namespace
