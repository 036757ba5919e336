// Which pixels a polygon fills: pixel (x, y) is in when the point (x, y)
// itself is inside, a point on a left or top edge counting as inside and
// one on a right or bottom edge as outside, as for rectangles. Polygon,
// PolyPolygon, polygon regions and their fills all follow it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/dib_canvas.h"
#include "tests/platform/win/gdi/zoomed_picture.h"

namespace {

struct TRowSpans {
  int Y;
  std::vector<std::pair<int, int>> Spans;  // [from, to)
};

struct TFillCase {
  const char* Name;
  std::vector<std::vector<POINT>> Polygons;
  int Mode;
  std::vector<TRowSpans> Rows;  // rows not listed are empty
};

// Every point is moved one pixel right and down, so that the first column
// and row show too.
const int kOff = 1, kSize = 12;

const TFillCase kFillCases[] = {
    {"right triangle", {{{0, 0}, {4, 0}, {0, 4}}}, ALTERNATE, {{0, {{0, 4}}}, {1, {{0, 3}}}, {2, {{0, 2}}}, {3, {{0, 1}}}}},
    {"5 x 3 triangle", {{{0, 0}, {5, 0}, {0, 3}}}, WINDING, {{0, {{0, 5}}}, {1, {{0, 4}}}, {2, {{0, 2}}}}},
    {"diamond",
     {{{4, 0}, {8, 4}, {4, 8}, {0, 4}}},
     ALTERNATE,
     {{1, {{3, 5}}}, {2, {{2, 6}}}, {3, {{1, 7}}}, {4, {{0, 8}}}, {5, {{1, 7}}}, {6, {{2, 6}}}, {7, {{3, 5}}}}},
    {"arrow pointing right",
     {{{0, 0}, {3, 3}, {0, 6}}},
     WINDING,
     {{1, {{0, 1}}}, {2, {{0, 2}}}, {3, {{0, 3}}}, {4, {{0, 2}}}, {5, {{0, 1}}}}},
    {"uneven slopes",
     {{{0, 0}, {7, 2}, {0, 5}}},
     ALTERNATE,
     {{1, {{0, 4}}}, {2, {{0, 7}}}, {3, {{0, 5}}}, {4, {{0, 3}}}}},
    {"axis-parallel L",
     {{{0, 0}, {6, 0}, {6, 2}, {2, 2}, {2, 5}, {0, 5}}},
     WINDING,
     {{0, {{0, 6}}}, {1, {{0, 6}}}, {2, {{0, 2}}}, {3, {{0, 2}}}, {4, {{0, 2}}}}},
    {"square with a triangle hole, alternate",
     {{{0, 0}, {8, 0}, {8, 8}, {0, 8}}, {{2, 2}, {6, 2}, {2, 6}}},
     ALTERNATE,
     {{0, {{0, 8}}},
      {1, {{0, 8}}},
      {2, {{0, 2}, {6, 8}}},
      {3, {{0, 2}, {5, 8}}},
      {4, {{0, 2}, {4, 8}}},
      {5, {{0, 2}, {3, 8}}},
      {6, {{0, 8}}},
      {7, {{0, 8}}}}},
    {"square and triangle turning alike, winding",
     {{{0, 0}, {8, 0}, {8, 8}, {0, 8}}, {{2, 2}, {6, 2}, {2, 6}}},
     WINDING,
     {{0, {{0, 8}}}, {1, {{0, 8}}}, {2, {{0, 8}}}, {3, {{0, 8}}}, {4, {{0, 8}}}, {5, {{0, 8}}}, {6, {{0, 8}}},
      {7, {{0, 8}}}}},
    {"triangle turning against the square, winding",
     {{{0, 0}, {8, 0}, {8, 8}, {0, 8}}, {{2, 2}, {2, 6}, {6, 2}}},
     WINDING,
     {{0, {{0, 8}}},
      {1, {{0, 8}}},
      {2, {{0, 2}, {6, 8}}},
      {3, {{0, 2}, {5, 8}}},
      {4, {{0, 2}, {4, 8}}},
      {5, {{0, 2}, {3, 8}}},
      {6, {{0, 8}}},
      {7, {{0, 8}}}}},
};

bool Expected(const TFillCase& c, int x, int y) {
  for (const TRowSpans& r : c.Rows)
    if (r.Y + kOff == y)
      for (const auto& [a, b] : r.Spans)
        if (x >= a + kOff && x < b + kOff) return true;
  return false;
}

struct TFlat {
  std::vector<POINT> Points;
  std::vector<INT> Counts;
};

TFlat Flatten(const TFillCase& c) {
  TFlat f;
  for (const auto& poly : c.Polygons) {
    for (POINT p : poly) f.Points.push_back(POINT(p.X + kOff, p.Y + kOff));
    f.Counts.push_back(INT(poly.size()));
  }
  return f;
}

// The ways of filling a polygon that must all give the rows of the table.
enum TFillWay { fwPolyPolygon, fwRegionFill, fwRegionPaint, fwRegionProbe };

void FillBy(TFillWay way, const TFillCase& c, TDibCanvas& canvas) {
  const TFlat f = Flatten(c);
  HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  if (way == fwPolyPolygon) {
    SetPolyFillMode(canvas.dc, c.Mode);
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    SelectObject(canvas.dc, white);
    if (f.Counts.size() == 1)
      Polygon(canvas.dc, f.Points.data(), f.Counts[0]);
    else
      PolyPolygon(canvas.dc, f.Points.data(), f.Counts.data(), int(f.Counts.size()));
    return;
  }
  HRGN rgn = f.Counts.size() == 1 ? CreatePolygonRgn(f.Points.data(), f.Counts[0], c.Mode)
                                  : CreatePolyPolygonRgn(f.Points.data(), f.Counts.data(), int(f.Counts.size()), c.Mode);
  ASSERT_NE(rgn, nullptr);
  if (way == fwRegionFill) {
    FillRgn(canvas.dc, rgn, white);
  } else if (way == fwRegionPaint) {
    SelectObject(canvas.dc, white);
    PaintRgn(canvas.dc, rgn);
  } else {
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x)
        if (PtInRegion(rgn, x, y)) canvas.At(x, y) = 0xFFFFFF;
  }
  DeleteObject(rgn);
}

TEST(PolygonRuleTest, FillsTestThePixelsOwnPointInEveryWay) {
  const char* ways[] = {"Polygon", "region filled", "region painted", "PtInRegion"};
  // All the cases side by side, one row of them per way, for a person to look at.
  const int cols = int(std::size(kFillCases));
  TDibCanvas sheet(cols * (kSize + 1), 4 * (kSize + 1), 0x404040);
  for (int way = fwPolyPolygon; way <= fwRegionProbe; ++way)
    for (int i = 0; i < cols; ++i) {
      const TFillCase& c = kFillCases[i];
      SCOPED_TRACE(std::string(c.Name) + ", " + ways[way]);
      TDibCanvas canvas(kSize, kSize, 0);
      FillBy(TFillWay(way), c, canvas);
      std::string wrong;
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
          const bool set = canvas.Rgb(x, y) == 0xFFFFFF;
          if (set != Expected(c, x, y)) wrong += " (" + std::to_string(x - kOff) + "," + std::to_string(y - kOff) + ")";
          sheet.At(i * (kSize + 1) + x, way * (kSize + 1) + y) = canvas.At(x, y);
        }
      EXPECT_EQ(wrong, "") << "pixels that differ, relative to the polygon's origin";
    }
  WriteZoomedPng("gdi-polygon-fill-rule.png", sheet.bits, sheet.width, sheet.height);
}

// A polygon outlined and filled in one colour is solid: the fill reaches
// the thin outline everywhere, along slanting right edges too.
TEST(PolygonRuleTest, OutlinedTrianglesOfOneColourHaveNoHoles) {
  struct TTriangle {
    POINT A, B, C;
  };
  std::vector<TTriangle> cases;
  for (int w = 3; w <= 9; ++w)
    for (int h = 2; h <= 6; ++h) {
      cases.push_back({{0, 0}, {w - 1, 0}, {0, h - 1}});          // slanting right edge
      cases.push_back({{0, 0}, {w - 1, h - 1}, {0, h - 1}});      // slanting top edge
      cases.push_back({{w - 1, 0}, {w - 1, h - 1}, {0, h - 1}});  // slanting left edge
      cases.push_back({{0, 0}, {w - 1, 0}, {(w - 1) / 2, h - 1}});
    }
  TDibCanvas sheet(28 * 12, 5 * 12, 0x404040);
  int shown = 0;
  for (const TTriangle& t : cases) {
    const POINT p[3] = {POINT(t.A.X + 1, t.A.Y + 1), POINT(t.B.X + 1, t.B.Y + 1), POINT(t.C.X + 1, t.C.Y + 1)};
    SCOPED_TRACE(std::to_string(t.A.X) + "," + std::to_string(t.A.Y) + " " + std::to_string(t.B.X) + "," +
                 std::to_string(t.B.Y) + " " + std::to_string(t.C.X) + "," + std::to_string(t.C.Y));
    TDibCanvas outlined(12, 12, 0), filled(12, 12, 0);
    SelectObject(outlined.dc, GetStockObject(WHITE_PEN));
    SelectObject(outlined.dc, GetStockObject(WHITE_BRUSH));
    Polygon(outlined.dc, p, 3);
    SelectObject(filled.dc, GetStockObject(NULL_PEN));
    SelectObject(filled.dc, GetStockObject(WHITE_BRUSH));
    Polygon(filled.dc, p, 3);
    for (int y = 0; y < 12; ++y) {
      int first = -1, last = -1;
      for (int x = 0; x < 12; ++x) {
        if (outlined.Rgb(x, y)) {
          if (first < 0) first = x;
          last = x;
        }
        if (filled.Rgb(x, y)) {
          EXPECT_TRUE(outlined.Rgb(x, y)) << "fill outside the outline at " << x << "," << y;
        }
      }
      for (int x = first; first >= 0 && x <= last; ++x) {
        EXPECT_EQ(outlined.Rgb(x, y), 0xFFFFFFu) << "hole at " << x - 1 << "," << y - 1;
      }
    }
    if (shown < 28 * 5) {
      for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) sheet.At((shown % 28) * 12 + x, (shown / 28) * 12 + y) = outlined.At(x, y);
      ++shown;
    }
  }
  WriteZoomedPng("gdi-polygon-outlined.png", sheet.bits, sheet.width, sheet.height);
}

}  // namespace
