// Region operations against a plain grid of pixels: random rectangles
// and regions combined every way, through each shortcut (a rectangle
// operand, rectangles that make one, region data built in one pass) and
// the general sweep. The result must hold the same pixels and be in the
// one banded form, so that it equals the region built row by row.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/win/gdi/gdi.h"
#include "platform/win/gdi/gdi_region.h"

namespace {

using rtl::detail::TRegion;

constexpr int kRegionSize = 24;

struct TGrid {
  bool px[kRegionSize][kRegionSize] = {};
};

TGrid GridOf(const TRegion& r) {
  TGrid g;
  for (const RECT& rc : r.Rects())
    for (int y = std::max(0, int(rc.Top)); y < std::min(kRegionSize, int(rc.Bottom)); ++y)
      for (int x = std::max(0, int(rc.Left)); x < std::min(kRegionSize, int(rc.Right)); ++x) g.px[y][x] = true;
  return g;
}

// The canonical region of a grid, built row by row.
TRegion RegionOf(const TGrid& g) {
  std::vector<std::vector<TRegion::TSpan>> rows(kRegionSize);
  for (int y = 0; y < kRegionSize; ++y)
    for (int x = 0; x < kRegionSize;) {
      if (!g.px[y][x]) {
        ++x;
        continue;
      }
      int s = x;
      while (x < kRegionSize && g.px[y][x]) ++x;
      rows[size_t(y)].emplace_back(s, x);
    }
  return TRegion::FromRows(0, rows);
}

RECT RandomRect(std::mt19937& rng) {
  int l = int(rng() % kRegionSize), t = int(rng() % kRegionSize);
  int r = l + int(rng() % (kRegionSize - l + 1)), b = t + int(rng() % (kRegionSize - t + 1));
  return RECT{l, t, r, b};
}

// A region of up to five random rectangles, built through the general
// union so that the operand itself does not depend on the shortcuts.
TRegion RandomRegion(std::mt19937& rng, TGrid& grid) {
  grid = TGrid();
  int n = 1 + int(rng() % 5);
  for (int i = 0; i < n; ++i) {
    RECT r = RandomRect(rng);
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) grid.px[y][x] = true;
  }
  return RegionOf(grid);
}

bool Apply(bool a, bool b, int mode) {
  switch (mode) {
    case RGN_AND: return a && b;
    case RGN_OR: return a || b;
    case RGN_XOR: return a != b;
    default: return a && !b;
  }
}

void ExpectSame(const TRegion& got, const TGrid& want, const std::string& what) {
  TRegion canonical = RegionOf(want);
  EXPECT_TRUE(got == canonical) << what << ": " << got.Rects().size() << " rects, want "
                                << canonical.Rects().size();
  RECT box = got.Box(), wantBox = canonical.Box();
  if (!canonical.IsEmpty()) {
    EXPECT_TRUE(box.Left == wantBox.Left && box.Top == wantBox.Top && box.Right == wantBox.Right &&
                box.Bottom == wantBox.Bottom)
        << what << ": bounding box";
  }
}

TEST(RegionOpsTest, CombinationsMatchThePixelGrid) {
  std::mt19937 rng(3);
  for (int round = 0; round < 400; ++round) {
    TGrid ga, gb;
    TRegion a = RandomRegion(rng, ga);
    // Half the time the second operand is a single rectangle.
    TRegion b;
    if (round % 2) {
      RECT r = RandomRect(rng);
      b = TRegion(r);
      gb = GridOf(b);
    } else {
      b = RandomRegion(rng, gb);
    }
    for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
      TGrid want;
      for (int y = 0; y < kRegionSize; ++y)
        for (int x = 0; x < kRegionSize; ++x) want.px[y][x] = Apply(ga.px[y][x], gb.px[y][x], mode);
      std::string what = "round " + std::to_string(round) + " mode " + std::to_string(mode);
      ExpectSame(TRegion::Combine(a, b, mode), want, what);
      ExpectSame(TRegion::Combine(b, a, mode == RGN_DIFF ? RGN_AND : mode),
                 [&] {
                   TGrid w;
                   for (int y = 0; y < kRegionSize; ++y)
                     for (int x = 0; x < kRegionSize; ++x)
                       w.px[y][x] = Apply(gb.px[y][x], ga.px[y][x], mode == RGN_DIFF ? RGN_AND : mode);
                   return w;
                 }(),
                 what + " swapped");
    }
    if (b.IsRect()) {
      const RECT r = b.Rects()[0];
      TRegion cut = a, kept = a;
      cut.Subtract(r);
      kept.Intersect(r);
      TGrid wantCut, wantKept;
      for (int y = 0; y < kRegionSize; ++y)
        for (int x = 0; x < kRegionSize; ++x) {
          wantCut.px[y][x] = ga.px[y][x] && !gb.px[y][x];
          wantKept.px[y][x] = ga.px[y][x] && gb.px[y][x];
        }
      ExpectSame(cut, wantCut, "subtract, round " + std::to_string(round));
      ExpectSame(kept, wantKept, "intersect, round " + std::to_string(round));
    }
    if (HasFailure()) return;
  }
}

TEST(RegionOpsTest, RectanglesInAnyOrderMakeTheirUnion) {
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    std::vector<RECT> rects;
    TGrid want;
    int n = int(rng() % 7);
    for (int i = 0; i < n; ++i) {
      RECT r = RandomRect(rng);
      if (rng() % 5 == 0) std::swap(r.Left, r.Right);  // inverted: ignored
      rects.push_back(r);
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) want.px[y][x] = true;
    }
    ExpectSame(TRegion::FromRects(rects.data(), rects.size()), want, "round " + std::to_string(round));
    // A region's own rectangles come back as the same region.
    TRegion canonical = RegionOf(want);
    EXPECT_TRUE(TRegion::FromRects(canonical.Rects().data(), canonical.Rects().size()) == canonical);
    if (HasFailure()) return;
  }
}

// Two touching bands with the same intervals are not in the banded form:
// given as data, they merge.
TEST(RegionOpsTest, RegionDataWithRepeatedBandsMerges) {
  const RECT rects[] = {{0, 0, 4, 2}, {0, 2, 4, 5}};
  TRegion r = TRegion::FromRects(rects, 2);
  ASSERT_EQ(r.Rects().size(), 1u);
  EXPECT_EQ(r.Rects()[0].Bottom, 5);
}

}  // namespace
