// One picture of triangle gradients, styled and patterned pens and a
// right-to-left copy of the same drawing, for a person to look at.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tests/common/dib_canvas.h"
#include "tests/common/picture_png.h"

namespace {

void Paint(HDC dc) {
  TRIVERTEX v[4] = {{10, 10, 0xFF00, 0, 0, 0}, {150, 10, 0, 0xFF00, 0, 0}, {10, 110, 0, 0, 0xFF00, 0},
                    {150, 110, 0xFF00, 0xFF00, 0xFF00, 0}};
  GRADIENT_TRIANGLE t[2] = {{0, 1, 2}, {1, 3, 2}};
  GradientFill(dc, v, 4, t, 2, GRADIENT_FILL_TRIANGLE);

  HPEN dot = CreatePen(PS_DASHDOT, 1, RGB(0, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, dot);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, 165, 10, 232, 60);
  SelectObject(dc, oldPen);
  DeleteObject(dot);

  uint32_t* bits = nullptr;
  HBITMAP pattern = TestDib32(8, 8, &bits);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) bits[y * 8 + x] = ((x / 4 + y / 4) % 2) ? 0x00E08020u : 0x00203080u;
  LOGBRUSH lb{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(pattern)};
  HPEN wide = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, 14, &lb, 0, nullptr);
  DeleteObject(pattern);
  oldPen = SelectObject(dc, wide);
  POINT zig[] = {{175, 80}, {200, 110}, {225, 75}};
  Polyline(dc, zig, 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(wide);
}

TEST(GdiPictureTest, GradientsPensAndMirroredLayout) {
  const int w = 240, h = 250;
  TDibCanvas c(w, h, 0x00FFFFFFu);
  Paint(c.dc);
  // The same calls mirrored into the lower half.
  SetLayout(c.dc, LAYOUT_RTL);
  SetViewportOrgEx(c.dc, 0, 125, nullptr);
  Paint(c.dc);
  // Mostly the mirror image: pixels on shared edges and half-pixel ties
  // may fall to the other side.
  int differ = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < w; ++x) differ += c.At(x, y + 125) != c.At(w - 1 - x, y);
  EXPECT_LT(differ, w * 120 / 50);

  WriteOpaquePng("gdi_gradients_pens_layout.png", c.bits, w, h);
}

}  // namespace
