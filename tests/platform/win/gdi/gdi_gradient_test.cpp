// Triangle gradients: which pixels a triangle covers (centres inside, or
// on a top or left edge), the colours at them, interpolated from 16-bit
// vertex channels, and the calls refused.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "tests/common/dib_canvas.h"
#include "tests/platform/win/gdi/format_dib.h"

namespace {

const int kGradientDepths[] = {1, 4, 8, 16, 24, 32};

TRIVERTEX Vertex(int x, int y, COLOR16 r, COLOR16 g, COLOR16 b) { return TRIVERTEX{x, y, r, g, b, 0}; }

// Two triangles sharing the diagonal of a square cover it exactly once:
// the lower-left one takes the pixels whose centres lie on the diagonal
// (its right edge is the other's left edge).
TEST(GradientTriangleTest, SharedEdgesBelongToOneTriangle) {
  struct TCase {
    GRADIENT_TRIANGLE tri;
    int expected;  // pixels covered
  } cases[] = {{{0, 1, 2}, 28}, {{1, 3, 2}, 36}, {{2, 1, 0}, 28}};
  TRIVERTEX v[4] = {Vertex(0, 0, 0xFF00, 0, 0), Vertex(8, 0, 0xFF00, 0, 0), Vertex(0, 8, 0xFF00, 0, 0),
                    Vertex(8, 8, 0xFF00, 0, 0)};
  for (const auto& c : cases) {
    TDibCanvas d(10, 10, 0);
    GRADIENT_TRIANGLE t = c.tri;
    ASSERT_TRUE(GradientFill(d.dc, v, 4, &t, 1, GRADIENT_FILL_TRIANGLE));
    EXPECT_EQ(100 - d.CountNot(0xFF0000u, 0, 0, 10, 10, 0xFFFFFFu), c.expected);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        // Centre (x + .5, y + .5) against the diagonal x + y = 8.
        bool lower = x + y + 1 < 8;
        bool covered = d.Rgb(x, y) == 0xFF0000u;
        EXPECT_EQ(covered, c.expected == 28 ? lower : !lower) << x << "," << y;
      }
  }
  TDibCanvas both(10, 10, 0);
  GRADIENT_TRIANGLE two[2] = {{0, 1, 2}, {1, 3, 2}};
  SetROP2(both.dc, R2_XORPEN);  // gradients ignore the mix mode
  ASSERT_TRUE(GradientFill(both.dc, v, 4, two, 2, GRADIENT_FILL_TRIANGLE));
  EXPECT_EQ(both.CountNot(0xFF0000u, 0, 0, 8, 8, 0xFFFFFFu), 0);
  EXPECT_EQ(both.CountNot(0, 8, 0, 10, 10), 0) << "nothing right of the square";
  EXPECT_EQ(both.CountNot(0, 0, 8, 10, 10), 0) << "nothing below the square";
}

// A rectangle split along its diagonal paints what the rectangle gradient
// paints, in every depth: colours are taken at each pixel's coordinate.
TEST(GradientTriangleTest, TwoTrianglesPaintTheRectangleGradient) {
  for (int depth : kGradientDepths)
    for (ULONG mode : {ULONG(GRADIENT_FILL_RECT_H), ULONG(GRADIENT_FILL_RECT_V)}) {
      const bool h = mode == GRADIENT_FILL_RECT_H;
      const COLOR16 a[3] = {0x1200, 0xF000, 0x3400}, b[3] = {0xEE00, 0x0800, 0xA000};
      TRIVERTEX v[4] = {Vertex(2, 1, a[0], a[1], a[2]), Vertex(30, 1, h ? b[0] : a[0], h ? b[1] : a[1], h ? b[2] : a[2]),
                        Vertex(2, 21, h ? a[0] : b[0], h ? a[1] : b[1], h ? a[2] : b[2]),
                        Vertex(30, 21, b[0], b[1], b[2])};
      TFormatDib tris(depth, 32, 24, 0), rect(depth, 32, 24, 0);
      GRADIENT_TRIANGLE t[2] = {{0, 1, 2}, {1, 3, 2}};
      ASSERT_TRUE(GradientFill(tris.dc, v, 4, t, 2, GRADIENT_FILL_TRIANGLE));
      TRIVERTEX rv[2] = {v[0], v[3]};
      GRADIENT_RECT r{0, 1};
      ASSERT_TRUE(GradientFill(rect.dc, rv, 2, &r, 1, mode));
      int differ = 0;
      for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x) differ += tris.Value(x, y) != rect.Value(x, y);
      EXPECT_EQ(differ, 0) << depth << " bits, " << (h ? "horizontal" : "vertical");
    }
}

// The weights of the three vertices add up to one exactly: a triangle of
// one colour keeps it to the last bit, and each vertex's pixel has its
// vertex's colour.
TEST(GradientTriangleTest, ColoursInterpolateExactly) {
  struct TCase {
    COLOR16 value;
    uint32_t expected;
  } flat[] = {{0x8000, 0x80}, {0xFF00, 0xFF}, {0xFFFF, 0xFF}, {0x0100, 0x01}, {0x00FF, 0x00}};
  for (const auto& c : flat) {
    TDibCanvas d(40, 40, 0);
    TRIVERTEX v[3] = {Vertex(1, 2, c.value, c.value, c.value), Vertex(37, 9, c.value, c.value, c.value),
                      Vertex(11, 35, c.value, c.value, c.value)};
    GRADIENT_TRIANGLE t{0, 1, 2};
    ASSERT_TRUE(GradientFill(d.dc, v, 3, &t, 1, GRADIENT_FILL_TRIANGLE));
    int wrong = 0, covered = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        if (d.At(x, y) == 0 && c.expected != 0) continue;
        ++covered;
        wrong += d.Rgb(x, y) != c.expected * 0x010101u;
      }
    EXPECT_EQ(wrong, 0) << std::hex << c.value;
    if (c.expected) {
      EXPECT_GT(covered, 400);
    }
  }
  TDibCanvas d(20, 20, 0);
  TRIVERTEX v[3] = {Vertex(0, 0, 0xFF00, 0, 0), Vertex(19, 0, 0, 0xFF00, 0), Vertex(0, 19, 0, 0, 0xFF00)};
  GRADIENT_TRIANGLE t{0, 1, 2};
  ASSERT_TRUE(GradientFill(d.dc, v, 3, &t, 1, GRADIENT_FILL_TRIANGLE));
  EXPECT_EQ(d.Rgb(0, 0), 0xFF0000u);
  // Halfway along the top edge: half red, half green, truncated.
  EXPECT_EQ(d.Rgb(19 / 2, 0), (uint32_t(0xFF00 * 10 / 19 >> 8) << 16) | (uint32_t(0xFF00 * 9 / 19 >> 8) << 8));
}

// Bad calls are refused before anything is drawn, with the error set.
TEST(GradientTriangleTest, BadMeshesAreRefusedWholeWithTheError) {
  TRIVERTEX v[3] = {Vertex(0, 0, 0xFF00, 0, 0), Vertex(8, 0, 0xFF00, 0, 0), Vertex(0, 8, 0xFF00, 0, 0)};
  struct TCase {
    const char* name;
    GRADIENT_TRIANGLE second;
    HDC badDc;
    DWORD error;
  } cases[] = {
      {"third vertex out of range", {0, 1, 3}, nullptr, ERROR_INVALID_PARAMETER},
      {"first vertex out of range", {7, 1, 2}, nullptr, ERROR_INVALID_PARAMETER},
      {"no such DC", {0, 1, 2}, HDC(0x4321), ERROR_INVALID_HANDLE},
  };
  for (const auto& c : cases) {
    TDibCanvas d(10, 10, 0);
    GRADIENT_TRIANGLE mesh[2] = {{0, 1, 2}, c.second};
    SetLastError(0);
    EXPECT_FALSE(GradientFill(c.badDc ? c.badDc : d.dc, v, 3, mesh, 2, GRADIENT_FILL_TRIANGLE)) << c.name;
    EXPECT_EQ(GetLastError(), c.error) << c.name;
    EXPECT_EQ(d.CountNot(0, 0, 0, 10, 10), 0) << c.name << ": nothing drawn";
  }
  TDibCanvas d(10, 10, 0);
  GRADIENT_TRIANGLE t{0, 1, 2};
  SetLastError(0);
  EXPECT_FALSE(GradientFill(d.dc, v, 0, &t, 1, GRADIENT_FILL_TRIANGLE)) << "no vertices";
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(GradientFill(d.dc, v, 3, nullptr, 1, GRADIENT_FILL_TRIANGLE)) << "no mesh";
  EXPECT_TRUE(GradientFill(d.dc, v, 3, &t, 0, GRADIENT_FILL_TRIANGLE)) << "an empty mesh draws nothing";
  GRADIENT_TRIANGLE line{0, 0, 1};
  EXPECT_TRUE(GradientFill(d.dc, v, 3, &line, 1, GRADIENT_FILL_TRIANGLE)) << "a degenerate triangle";
  EXPECT_EQ(d.CountNot(0, 0, 0, 10, 10), 0);
}

}  // namespace
