#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "tests/common/dib_canvas.h"

namespace {

using TPixels = std::set<std::pair<int, int>>;

TPixels Inked(TDibCanvas& c, uint32_t background = 0xFFFFFF) {
  TPixels out;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x)
      if (c.Rgb(x, y) != background) out.insert({x, y});
  return out;
}

class ShapesTest : public ::testing::Test {
 protected:
  TDibCanvas c{64, 64, 0x00FFFFFFu};
  void Line(int x0, int y0, int x1, int y1) {
    MoveToEx(c.dc, x0, y0, nullptr);
    LineTo(c.dc, x1, y1);
  }
  void UsePen(int style, int width, COLORREF color = RGB(0, 0, 0)) {
    HPEN p = CreatePen(style, width, color);
    DeleteObject(SelectObject(c.dc, p));
  }
  void TearDown() override { DeleteObject(SelectObject(c.dc, GetStockObject(BLACK_PEN))); }
};

TEST_F(ShapesTest, LinesLeaveOutTheEndPointAndMatchBothWays) {
  const std::pair<POINT, POINT> segs[] = {
      {{0, 0}, {10, 0}}, {{3, 3}, {3, 20}}, {{0, 0}, {20, 7}}, {{5, 30}, {11, 2}}, {{2, 2}, {9, 9}}, {{40, 10}, {1, 12}},
  };
  for (const auto& [a, b] : segs) {
    c.Fill(0x00FFFFFFu);
    Line(a.X, a.Y, b.X, b.Y);
    TPixels forward = Inked(c);
    EXPECT_TRUE(forward.count({a.X, a.Y})) << "start drawn";
    EXPECT_FALSE(forward.count({b.X, b.Y})) << "end point left out";
    int dx = std::abs(b.X - a.X), dy = std::abs(b.Y - a.Y);
    EXPECT_EQ(int(forward.size()), std::max(dx, dy)) << "one pixel per step of the major axis";
    c.Fill(0x00FFFFFFu);
    Line(b.X, b.Y, a.X, a.Y);
    TPixels backward = Inked(c);
    forward.insert({b.X, b.Y});
    backward.insert({a.X, a.Y});
    EXPECT_EQ(forward, backward) << a.X << "," << a.Y << " - " << b.X << "," << b.Y;
  }
  POINT cp;
  GetCurrentPositionEx(c.dc, &cp);
  EXPECT_EQ(cp, POINT(40, 10));
}

TEST_F(ShapesTest, PolylinesDrawEveryVertexOnce) {
  SetROP2(c.dc, R2_XORPEN);
  UsePen(PS_SOLID, 1, RGB(255, 255, 255));
  POINT pts[] = {{5, 5}, {20, 5}, {20, 20}, {5, 20}, {5, 5}};
  Polyline(c.dc, pts, 5);
  EXPECT_EQ(c.Rgb(20, 5), 0u) << "a corner is inverted once";
  EXPECT_EQ(c.Rgb(5, 5), 0u);
  EXPECT_EQ(Inked(c).size(), 60u);
  SetROP2(c.dc, R2_COPYPEN);
}

TEST_F(ShapesTest, PenStylesFollowTheirPatterns) {
  struct TCase {
    int style;
    const char* pattern;  // one period, '#' = dash, '.' = gap
  } cases[] = {
      {PS_SOLID, "#"},
      {PS_DOT, "###..."},
      {PS_DASH, "##################......"},
      {PS_DASHDOT, "#########......###......"},
      {PS_DASHDOTDOT, "#########...###...###..."},
  };
  for (const TCase& k : cases) {
    c.Fill(0x00FFFFFFu);
    UsePen(k.style, 1);
    SetBkMode(c.dc, TRANSPARENT);
    Line(0, 10, 60, 10);
    std::string p = k.pattern;
    for (int x = 0; x < 60; ++x) {
      bool dash = p[size_t(x) % p.size()] == '#';
      EXPECT_EQ(c.Rgb(x, 10) == 0, dash) << "style " << k.style << " x " << x;
    }
    // Opaque gaps take the background colour.
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, RGB(255, 0, 0));
    Line(0, 12, 60, 12);
    for (int x = 0; x < 60; ++x) {
      bool dash = p[size_t(x) % p.size()] == '#';
      EXPECT_EQ(c.Rgb(x, 12), dash ? 0u : 0xFF0000u) << "style " << k.style << " x " << x;
    }
  }
  LOGBRUSH lb{BS_SOLID, RGB(0, 0, 0), 0};
  DeleteObject(SelectObject(c.dc, ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr)));
  c.Fill(0x00FFFFFFu);
  SetBkMode(c.dc, TRANSPARENT);
  Line(0, 0, 10, 0);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(c.Rgb(x, 0) == 0, x % 2 == 0) << x;
  UsePen(PS_NULL, 1);
  c.Fill(0x00FFFFFFu);
  Line(0, 0, 10, 0);
  EXPECT_TRUE(Inked(c).empty());
}

TEST_F(ShapesTest, WidePensAreCentredOnTheLine) {
  UsePen(PS_SOLID, 5);
  Line(10, 20, 40, 20);
  for (int y = 16; y <= 24; ++y) EXPECT_EQ(c.Rgb(25, y) == 0, y >= 18 && y <= 22) << y;
  // Round caps reach past both ends.
  EXPECT_EQ(c.Rgb(8, 20), 0u);
  EXPECT_EQ(c.Rgb(42, 20), 0u);
  EXPECT_EQ(c.Rgb(8, 18), 0xFFFFFFu) << "the cap is round";
}

TEST_F(ShapesTest, RectanglesExcludeRightAndBottomEdges) {
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ oldBrush = SelectObject(c.dc, red);
  Rectangle(c.dc, 10, 10, 20, 16);
  EXPECT_EQ(c.InkBox(0xFFFFFF), RECT(10, 10, 20, 16));
  EXPECT_EQ(c.Rgb(10, 10), 0u);
  EXPECT_EQ(c.Rgb(19, 15), 0u);
  EXPECT_EQ(c.Rgb(11, 11), 0xFF0000u);
  EXPECT_EQ(c.Rgb(18, 14), 0xFF0000u);
  // With the null pen the fill is a pixel smaller.
  c.Fill(0x00FFFFFFu);
  UsePen(PS_NULL, 1);
  Rectangle(c.dc, 10, 10, 20, 16);
  EXPECT_EQ(c.InkBox(0xFFFFFF), RECT(10, 10, 19, 15));
  // An inside-frame pen stays inside the rectangle.
  c.Fill(0x00FFFFFFu);
  UsePen(PS_INSIDEFRAME, 4);
  Rectangle(c.dc, 10, 10, 30, 30);
  EXPECT_EQ(c.InkBox(0xFFFFFF), RECT(10, 10, 30, 30));
  EXPECT_EQ(c.Rgb(13, 20), 0u);
  EXPECT_EQ(c.Rgb(14, 20), 0xFF0000u);
  // A normal wide pen straddles the outline.
  c.Fill(0x00FFFFFFu);
  UsePen(PS_SOLID, 3);
  Rectangle(c.dc, 10, 10, 30, 30);
  RECT ink = c.InkBox(0xFFFFFF);
  EXPECT_EQ(ink.Left, 9);
  EXPECT_EQ(ink.Right, 31);
  SelectObject(c.dc, oldBrush);
  DeleteObject(red);
}

TEST_F(ShapesTest, EllipsesAndRoundRectsAreSymmetric) {
  SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
  Ellipse(c.dc, 10, 10, 31, 25);
  EXPECT_EQ(c.InkBox(0xFFFFFF), RECT(10, 10, 31, 25));
  TPixels px = Inked(c);
  for (const auto& [x, y] : px) {
    EXPECT_TRUE(px.count({10 + 30 - x, y})) << "mirror in x of " << x << "," << y;
    EXPECT_TRUE(px.count({x, 10 + 24 - y})) << "mirror in y of " << x << "," << y;
  }
  EXPECT_FALSE(px.count({10, 10})) << "corner outside";
  EXPECT_TRUE(px.count({20, 10}));
  c.Fill(0x00FFFFFFu);
  RoundRect(c.dc, 10, 10, 40, 30, 10, 10);
  EXPECT_EQ(c.InkBox(0xFFFFFF), RECT(10, 10, 40, 30));
  EXPECT_EQ(c.Rgb(10, 10), 0xFFFFFFu);
  EXPECT_EQ(c.Rgb(25, 10), 0u);
  EXPECT_EQ(c.Rgb(10, 20), 0u);
  // The outline takes the pen and the inside the brush.
  c.Fill(0x00FFFFFFu);
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  SelectObject(c.dc, green);
  Ellipse(c.dc, 0, 0, 20, 20);
  EXPECT_EQ(c.Rgb(10, 0), 0u);
  EXPECT_EQ(c.Rgb(10, 10), 0x00FF00u);
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(green);
}

TEST_F(ShapesTest, PolygonsFillByModeAndOutlineAllEdges) {
  SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
  UsePen(PS_NULL, 1);
  POINT star[] = {{32, 2}, {50, 58}, {3, 22}, {61, 22}, {14, 58}};
  SetPolyFillMode(c.dc, ALTERNATE);
  Polygon(c.dc, star, 5);
  EXPECT_EQ(c.Rgb(32, 32), 0xFFFFFFu);
  EXPECT_EQ(c.Rgb(32, 10), 0u);
  SetPolyFillMode(c.dc, WINDING);
  Polygon(c.dc, star, 5);
  EXPECT_EQ(c.Rgb(32, 32), 0u);
  c.Fill(0x00FFFFFFu);
  UsePen(PS_SOLID, 1);
  SelectObject(c.dc, GetStockObject(NULL_BRUSH));
  POINT sq[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  Polygon(c.dc, sq, 4);
  EXPECT_EQ(c.InkBox(0xFFFFFF), RECT(0, 0, 11, 11)) << "the outline includes the far edges";
  EXPECT_EQ(Inked(c).size(), 40u);
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
}

TEST_F(ShapesTest, ArcsPiesAndChordsFollowTheirAngles) {
  // Counter-clockwise from the right (3 o'clock) to the top (12 o'clock).
  Arc(c.dc, 0, 0, 40, 40, 40, 20, 20, 0);
  RECT ink = c.InkBox(0xFFFFFF);
  EXPECT_GE(ink.Left, 19);
  EXPECT_LE(ink.Bottom, 21);
  EXPECT_GT(ink.Right - ink.Left, 15);
  c.Fill(0x00FFFFFFu);
  SetArcDirection(c.dc, AD_CLOCKWISE);
  Arc(c.dc, 0, 0, 40, 40, 40, 20, 20, 0);
  EXPECT_GT(Inked(c).size(), 80u) << "three quarters the other way";
  SetArcDirection(c.dc, AD_COUNTERCLOCKWISE);
  c.Fill(0x00FFFFFFu);
  SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
  Pie(c.dc, 0, 0, 40, 40, 40, 20, 20, 0);
  EXPECT_EQ(c.Rgb(28, 12), 0u) << "inside the quarter";
  EXPECT_EQ(c.Rgb(12, 28), 0xFFFFFFu) << "the opposite quarter";
  c.Fill(0x00FFFFFFu);
  HGDIOBJ pen = SelectObject(c.dc, GetStockObject(NULL_PEN));
  Pie(c.dc, 0, 0, 40, 40, 40, 20, 20, 0);
  EXPECT_EQ(c.Rgb(39, 18), 0u) << "without a pen the brush reaches the edge";
  SelectObject(c.dc, pen);
  c.Fill(0x00FFFFFFu);
  Chord(c.dc, 0, 0, 40, 40, 40, 20, 20, 0);
  EXPECT_EQ(c.Rgb(32, 6), 0u) << "between arc and chord";
  EXPECT_EQ(c.Rgb(22, 18), 0xFFFFFFu) << "the centre side of the chord";
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  // ArcTo draws from the current position and moves it to the arc's end.
  c.Fill(0x00FFFFFFu);
  MoveToEx(c.dc, 60, 20, nullptr);
  ArcTo(c.dc, 0, 0, 40, 40, 40, 20, 20, 0);
  EXPECT_EQ(c.Rgb(50, 20), 0u);
  POINT cp;
  GetCurrentPositionEx(c.dc, &cp);
  EXPECT_EQ(cp, POINT(20, 0));
}

TEST_F(ShapesTest, RegionsFillFrameInvertAndPaint) {
  HRGN r = CreateRectRgn(10, 10, 30, 20);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  FillRgn(c.dc, r, blue);
  EXPECT_EQ(c.InkBox(0xFFFFFF), RECT(10, 10, 30, 20));
  InvertRgn(c.dc, r);
  EXPECT_EQ(c.Rgb(15, 15), 0xFFFF00u);
  c.Fill(0x00FFFFFFu);
  FrameRgn(c.dc, r, blue, 2, 1);
  EXPECT_EQ(c.Rgb(11, 15), 0x0000FFu);
  EXPECT_EQ(c.Rgb(12, 15), 0xFFFFFFu);
  EXPECT_EQ(c.Rgb(20, 10), 0x0000FFu);
  EXPECT_EQ(c.Rgb(20, 11), 0xFFFFFFu);
  c.Fill(0x00FFFFFFu);
  SelectObject(c.dc, blue);
  SetROP2(c.dc, R2_NOTCOPYPEN);
  PaintRgn(c.dc, r);
  EXPECT_EQ(c.Rgb(15, 15), 0xFFFF00u) << "PaintRgn uses the drawing mode";
  SetROP2(c.dc, R2_COPYPEN);
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  // Flood fill stops at the border colour.
  c.Fill(0x00FFFFFFu);
  Rectangle(c.dc, 5, 5, 15, 15);
  SelectObject(c.dc, blue);
  EXPECT_TRUE(ExtFloodFill(c.dc, 8, 8, RGB(0, 0, 0), FLOODFILLBORDER));
  EXPECT_EQ(c.Rgb(13, 13), 0x0000FFu);
  EXPECT_EQ(c.Rgb(16, 16), 0xFFFFFFu);
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(r);
  DeleteObject(blue);
}

TEST_F(ShapesTest, PathsFillStrokeAndBecomeRegions) {
  EXPECT_TRUE(BeginPath(c.dc));
  MoveToEx(c.dc, 10, 10, nullptr);
  LineTo(c.dc, 30, 10);
  LineTo(c.dc, 30, 30);
  LineTo(c.dc, 10, 30);
  CloseFigure(c.dc);
  EXPECT_TRUE(EndPath(c.dc));
  EXPECT_TRUE(Inked(c).empty()) << "nothing drawn while recording";
  HRGN r = PathToRegion(c.dc);
  HRGN ref = CreateRectRgn(10, 10, 30, 30);
  EXPECT_TRUE(EqualRgn(r, ref));
  EXPECT_FALSE(FillPath(c.dc)) << "the path was used up";
  BeginPath(c.dc);
  Rectangle(c.dc, 10, 10, 30, 30);
  EndPath(c.dc);
  SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
  EXPECT_TRUE(FillPath(c.dc));
  EXPECT_EQ(c.InkBox(0xFFFFFF), RECT(10, 10, 30, 30));
  c.Fill(0x00FFFFFFu);
  BeginPath(c.dc);
  MoveToEx(c.dc, 0, 5, nullptr);
  LineTo(c.dc, 20, 5);
  EndPath(c.dc);
  EXPECT_TRUE(StrokePath(c.dc));
  EXPECT_EQ(c.InkBox(0xFFFFFF), RECT(0, 5, 20, 6));
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(r);
  DeleteObject(ref);
}

}  // namespace
