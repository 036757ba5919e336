#include <gtest/gtest.h>

#include <vector>

#include "platform/win/gdi/gdi.h"

namespace {

std::vector<RECT> RectsOf(HRGN rgn) {
  DWORD n = GetRegionData(rgn, 0, nullptr);
  std::vector<char> buf(n);
  auto* data = reinterpret_cast<RGNDATA*>(buf.data());
  EXPECT_EQ(GetRegionData(rgn, n, data), n);
  const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
  return std::vector<RECT>(r, r + data->rdh.nCount);
}

struct TCombineCase {
  const char* name;
  RECT a, b;
  int mode;
  int result;
  std::vector<RECT> rects;
};

class CombineRgnTest : public ::testing::TestWithParam<TCombineCase> {};

TEST_P(CombineRgnTest, GivesBandedRectanglesAndComplexity) {
  const TCombineCase& c = GetParam();
  HRGN a = CreateRectRgnIndirect(&c.a);
  HRGN b = CreateRectRgnIndirect(&c.b);
  HRGN d = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(d, a, b, c.mode), c.result);
  EXPECT_EQ(RectsOf(d), c.rects);
  DeleteObject(a);
  DeleteObject(b);
  DeleteObject(d);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CombineRgnTest,
    ::testing::Values(
        TCombineCase{"AndOverlap", {0, 0, 10, 10}, {5, 5, 15, 15}, RGN_AND, SIMPLEREGION, {{5, 5, 10, 10}}},
        TCombineCase{"AndDisjoint", {0, 0, 10, 10}, {10, 0, 20, 10}, RGN_AND, NULLREGION, {}},
        TCombineCase{"OrTouchingMerges", {0, 0, 10, 10}, {10, 0, 20, 10}, RGN_OR, SIMPLEREGION, {{0, 0, 20, 10}}},
        TCombineCase{"OrStacked", {0, 0, 10, 5}, {0, 5, 10, 10}, RGN_OR, SIMPLEREGION, {{0, 0, 10, 10}}},
        TCombineCase{"OrOverlap",
                     {0, 0, 10, 10},
                     {5, 5, 15, 15},
                     RGN_OR,
                     COMPLEXREGION,
                     {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}},
        TCombineCase{"DiffHole",
                     {0, 0, 10, 10},
                     {3, 3, 7, 7},
                     RGN_DIFF,
                     COMPLEXREGION,
                     {{0, 0, 10, 3}, {0, 3, 3, 7}, {7, 3, 10, 7}, {0, 7, 10, 10}}},
        TCombineCase{"DiffAll", {2, 2, 4, 4}, {0, 0, 10, 10}, RGN_DIFF, NULLREGION, {}},
        TCombineCase{"XorOverlap",
                     {0, 0, 10, 10},
                     {5, 0, 15, 10},
                     RGN_XOR,
                     COMPLEXREGION,
                     {{0, 0, 5, 10}, {10, 0, 15, 10}}},
        TCombineCase{"CopyIgnoresSecond", {1, 2, 3, 4}, {0, 0, 0, 0}, RGN_COPY, SIMPLEREGION, {{1, 2, 3, 4}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegionTest, ErrorsAndEmptyRegions) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN d = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_AND), ERROR);
  EXPECT_EQ(CombineRgn(d, a, a, 99), ERROR);
  RECT box{1, 1, 1, 1};
  EXPECT_EQ(GetRgnBox(d, &box), NULLREGION);
  EXPECT_EQ(box, RECT(0, 0, 0, 0));
  // An inverted rectangle is normalised.
  HRGN inv = CreateRectRgn(10, 10, 0, 0);
  EXPECT_TRUE(EqualRgn(inv, a));
  DeleteObject(a);
  DeleteObject(d);
  DeleteObject(inv);
  EXPECT_EQ(CombineRgn(d, a, a, RGN_OR), ERROR) << "deleted handles fail";
}

TEST(RegionTest, PointsRectsOffsetsAndEquality) {
  HRGN r = CreateRectRgn(0, 0, 10, 10);
  HRGN hole = CreateRectRgn(3, 3, 7, 7);
  CombineRgn(r, r, hole, RGN_DIFF);
  EXPECT_TRUE(PtInRegion(r, 0, 0));
  EXPECT_TRUE(PtInRegion(r, 9, 9));
  EXPECT_FALSE(PtInRegion(r, 10, 9)) << "right edge excluded";
  EXPECT_FALSE(PtInRegion(r, 5, 5)) << "inside the hole";
  RECT inHole{4, 4, 6, 6}, crossing{2, 4, 6, 6};
  EXPECT_FALSE(RectInRegion(r, &inHole));
  EXPECT_TRUE(RectInRegion(r, &crossing));
  EXPECT_EQ(OffsetRgn(r, 100, 50), COMPLEXREGION);
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
  EXPECT_EQ(box, RECT(100, 50, 110, 60));
  // Built in another order, the same set compares equal.
  HRGN a = CreateRectRgn(100, 50, 110, 53);
  HRGN parts[] = {CreateRectRgn(100, 53, 103, 57), CreateRectRgn(107, 53, 110, 57), CreateRectRgn(100, 57, 110, 60)};
  for (HRGN p : parts) {
    CombineRgn(a, a, p, RGN_OR);
    DeleteObject(p);
  }
  EXPECT_TRUE(EqualRgn(a, r));
  EXPECT_TRUE(SetRectRgn(a, 0, 0, 5, 5));
  EXPECT_FALSE(EqualRgn(a, r));
  for (HRGN h : {r, hole, a}) DeleteObject(h);
}

TEST(RegionTest, RegionDataRoundTripsThroughExtCreateRegion) {
  HRGN r = CreateRectRgn(0, 0, 20, 20);
  HRGN cut = CreateEllipticRgn(5, 5, 15, 15);
  CombineRgn(r, r, cut, RGN_XOR);
  DWORD n = GetRegionData(r, 0, nullptr);
  std::vector<char> buf(n);
  EXPECT_EQ(GetRegionData(r, n - 1, reinterpret_cast<RGNDATA*>(buf.data())), 0u) << "buffer too small";
  ASSERT_EQ(GetRegionData(r, n, reinterpret_cast<RGNDATA*>(buf.data())), n);
  HRGN copy = ExtCreateRegion(nullptr, n, reinterpret_cast<RGNDATA*>(buf.data()));
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(EqualRgn(copy, r));
  XFORM shift{1, 0, 0, 1, 7, -3};
  HRGN moved = ExtCreateRegion(&shift, n, reinterpret_cast<RGNDATA*>(buf.data()));
  OffsetRgn(r, 7, -3);
  EXPECT_TRUE(EqualRgn(moved, r));
  for (HRGN h : {r, cut, copy, moved}) DeleteObject(h);
}

TEST(RegionTest, ShapedRegionsLeaveOutRightColumnAndBottomRow) {
  struct TCase {
    HRGN rgn;
    RECT box;
  } cases[] = {
      {CreateRoundRectRgn(0, 0, 11, 11, 4, 4), {0, 0, 10, 10}},
      {CreateEllipticRgn(0, 0, 11, 11), {0, 0, 10, 10}},
  };
  for (auto& c : cases) {
    RECT box;
    EXPECT_EQ(GetRgnBox(c.rgn, &box), COMPLEXREGION);
    EXPECT_EQ(box, c.box);
    EXPECT_TRUE(PtInRegion(c.rgn, 5, 0));
    EXPECT_TRUE(PtInRegion(c.rgn, 5, 9));
    EXPECT_FALSE(PtInRegion(c.rgn, 0, 0)) << "corners are cut";
    EXPECT_FALSE(PtInRegion(c.rgn, 9, 9));
    DeleteObject(c.rgn);
  }
  // Round corners of 4x4 cut exactly the corner pixels.
  HRGN small = CreateRoundRectRgn(0, 0, 11, 11, 4, 4);
  EXPECT_FALSE(PtInRegion(small, 0, 0));
  EXPECT_TRUE(PtInRegion(small, 1, 0));
  EXPECT_TRUE(PtInRegion(small, 0, 1));
  EXPECT_FALSE(PtInRegion(small, 9, 9));
  EXPECT_TRUE(PtInRegion(small, 8, 9));
  DeleteObject(small);
}

TEST(RegionTest, PolygonRegionsFollowTheFillMode) {
  // A five-pointed star: the centre is outside under ALTERNATE only.
  POINT star[] = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
  HRGN alt = CreatePolygonRgn(star, 5, ALTERNATE);
  HRGN wind = CreatePolygonRgn(star, 5, WINDING);
  EXPECT_FALSE(PtInRegion(alt, 50, 50));
  EXPECT_TRUE(PtInRegion(wind, 50, 50));
  EXPECT_TRUE(PtInRegion(alt, 50, 10));
  // A square polygon covers its left/top edges, not its right/bottom ones.
  POINT sq[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  HRGN s = CreatePolygonRgn(sq, 4, ALTERNATE);
  HRGN ref = CreateRectRgn(0, 0, 10, 10);
  EXPECT_TRUE(EqualRgn(s, ref));
  for (HRGN h : {alt, wind, s, ref}) DeleteObject(h);
}

}  // namespace
