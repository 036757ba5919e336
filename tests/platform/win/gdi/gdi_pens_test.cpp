// Styled and patterned pens: a cosmetic style runs on around the corners
// of a connected figure, and a geometric pen made with a pattern brush
// paints its stroke with that pattern, lined up with the brush origin.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/common/dib_canvas.h"
#include "tests/platform/win/gdi/format_dib.h"

namespace {

const int kPenDepths[] = {1, 4, 8, 16, 24, 32};

// The outline pixels of the rectangle [l, r) x [t, b) in drawing order,
// from the top-left corner clockwise, each once.
std::vector<POINT> Perimeter(int l, int t, int r, int b) {
  std::vector<POINT> out;
  for (int x = l; x < r - 1; ++x) out.push_back(POINT(x, t));
  for (int y = t; y < b - 1; ++y) out.push_back(POINT(r - 1, y));
  for (int x = r - 1; x > l; --x) out.push_back(POINT(x, b - 1));
  for (int y = b - 1; y > t; --y) out.push_back(POINT(l, y));
  return out;
}

struct TFigure {
  const char* name;
  void (*draw)(HDC dc, int l, int t, int r, int b);
};

const TFigure kFigures[] = {
    {"Rectangle", [](HDC dc, int l, int t, int r, int b) { Rectangle(dc, l, t, r, b); }},
    {"closed Polyline",
     [](HDC dc, int l, int t, int r, int b) {
       POINT p[] = {{l, t}, {r - 1, t}, {r - 1, b - 1}, {l, b - 1}, {l, t}};
       Polyline(dc, p, 5);
     }},
    {"Polygon",
     [](HDC dc, int l, int t, int r, int b) {
       POINT p[] = {{l, t}, {r - 1, t}, {r - 1, b - 1}, {l, b - 1}};
       Polygon(dc, p, 4);
     }},
};

// Edges of 12 and 7 pixels, which no style period divides: a pattern that
// restarted at each corner would show.
TEST(PenTest, CosmeticStylesRunOnAroundCorners) {
  struct TStyle {
    int style;
    const char* pattern;  // one period, '#' = dash, '.' = gap
  } styles[] = {
      {PS_DOT, "###..."},
      {PS_DASH, "##################......"},
      {PS_DASHDOT, "#########......###......"},
      {PS_DASHDOTDOT, "#########...###...###..."},
      {PS_ALTERNATE, "#."},
  };
  const int l = 2, t = 3, r = 15, b = 11;
  const std::vector<POINT> walk = Perimeter(l, t, r, b);
  for (int depth : kPenDepths)
    for (const auto& s : styles)
      for (const auto& f : kFigures) {
        TFormatDib dib(depth, 20, 14, 0xFF);
        LOGBRUSH lb{BS_SOLID, RGB(0, 0, 0), 0};
        HPEN pen = s.style == PS_ALTERNATE ? ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr)
                                           : CreatePen(s.style, 1, RGB(0, 0, 0));
        HGDIOBJ oldPen = SelectObject(dib.dc, pen);
        HGDIOBJ oldBrush = SelectObject(dib.dc, GetStockObject(NULL_BRUSH));
        SetBkMode(dib.dc, TRANSPARENT);
        f.draw(dib.dc, l, t, r, b);
        SelectObject(dib.dc, oldBrush);
        DeleteObject(SelectObject(dib.dc, oldPen));
        std::string p = s.pattern, got, want;
        for (size_t i = 0; i < walk.size(); ++i) {
          want += p[i % p.size()];
          got += dib.Value(walk[i].X, walk[i].Y) == 0 ? '#' : '.';
        }
        EXPECT_EQ(got, want) << f.name << ", style " << s.style << ", " << depth << " bits";
      }
}

// A geometric dash that reaches a corner goes on round it: with dashes of
// 6 on and 2 off along a 10-pixel top edge, the third dash covers the top
// right corner and the first 4 pixels down, then the gap follows.
TEST(PenTest, GeometricDashesRunOnAroundCorners) {
  for (int depth : kPenDepths) {
    TFormatDib dib(depth, 16, 16, 0xFF);
    LOGBRUSH lb{BS_SOLID, RGB(0, 0, 0), 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_MITER, 2, &lb, 0, nullptr);
    HGDIOBJ oldPen = SelectObject(dib.dc, pen);
    HGDIOBJ oldBrush = SelectObject(dib.dc, GetStockObject(NULL_BRUSH));
    Rectangle(dib.dc, 0, 0, 11, 11);
    SelectObject(dib.dc, oldBrush);
    DeleteObject(SelectObject(dib.dc, oldPen));
    auto inked = [&](int x, int y) { return dib.Value(x, y) == 0; };
    std::string got, want = "####..#####";  // rows 0 to 10; the gap is 4.5 to 6.5
    for (int y = 0; y < 11; ++y) got += inked(10, y) ? '#' : '.';
    EXPECT_EQ(got.substr(1, 8), want.substr(1, 8)) << depth << " bits, the right edge from the top";
    EXPECT_TRUE(inked(9, 0) && inked(3, 0)) << depth << " bits";
    EXPECT_FALSE(inked(7, 0)) << depth << " bits: the first gap";
  }
}

// An 8x8 pattern of distinct colours in a 32-bit DIB section.
HBITMAP PatternBitmap() {
  uint32_t* bits = nullptr;
  HBITMAP b = TestDib32(8, 8, &bits);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) bits[y * 8 + x] = (uint32_t(x * 32) << 16) | (uint32_t(y * 32) << 8) | 0x80u;
  return b;
}

struct TStrokeCase {
  const char* name;
  void (*draw)(HDC dc);
};

const TStrokeCase kStrokes[] = {
    {"LineTo",
     [](HDC dc) {
       MoveToEx(dc, 3, 9, nullptr);
       LineTo(dc, 37, 12);
     }},
    {"Rectangle", [](HDC dc) { Rectangle(dc, 6, 4, 30, 20); }},
    {"Polyline",
     [](HDC dc) {
       POINT p[] = {{4, 4}, {20, 18}, {36, 6}};
       Polyline(dc, p, 3);
     }},
};

// The oracle: the stroke's pixels are exactly the pixels a pattern-brush
// fill of the whole DIB gives at the same places; the stroke's shape is
// that of a solid pen of the same geometry.
TEST(PenTest, PatternPensPaintTheirStrokeWithThePatternAtTheBrushOrigin) {
  const POINT origins[] = {{0, 0}, {3, 5}};
  for (int depth : kPenDepths)
    for (const auto& k : kStrokes)
      for (POINT org : origins)
        for (UINT style : {UINT(BS_PATTERN), UINT(BS_DIBPATTERNPT)}) {
          const int w = 40, h = 24;
          HBITMAP pattern = PatternBitmap();
          // A packed DIB of the same pattern.
          std::vector<uint8_t> packed(sizeof(BITMAPINFOHEADER) + 64 * 4);
          BITMAPINFOHEADER bih{sizeof(BITMAPINFOHEADER), 8, -8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
          std::memcpy(packed.data(), &bih, sizeof bih);
          {
            BITMAP bm{};
            GetObject(pattern, sizeof bm, &bm);
            std::memcpy(packed.data() + sizeof bih, bm.bmBits, 64 * 4);
          }
          LOGBRUSH lb{style, DIB_RGB_COLORS,
                      style == BS_PATTERN ? reinterpret_cast<ULONG_PTR>(pattern)
                                          : reinterpret_cast<ULONG_PTR>(packed.data())};
          const DWORD penStyle = PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER;
          HPEN pen = ExtCreatePen(penStyle, 6, &lb, 0, nullptr);
          ASSERT_NE(pen, nullptr);
          // The pen keeps its own copy of the pattern.
          DeleteObject(pattern);
          std::fill(packed.begin(), packed.end(), 0);

          TFormatDib stroked(depth, w, h, 0xFF), shape(depth, w, h, 0xFF), filled(depth, w, h, 0xFF);
          SetBrushOrgEx(stroked.dc, org.X, org.Y, nullptr);
          HGDIOBJ oldPen = SelectObject(stroked.dc, pen);
          HGDIOBJ oldBrush = SelectObject(stroked.dc, GetStockObject(NULL_BRUSH));
          k.draw(stroked.dc);
          SelectObject(stroked.dc, oldBrush);
          SelectObject(stroked.dc, oldPen);
          DeleteObject(pen);

          LOGBRUSH black{BS_SOLID, RGB(0, 0, 0), 0};
          HPEN solid = ExtCreatePen(penStyle, 6, &black, 0, nullptr);
          oldPen = SelectObject(shape.dc, solid);
          oldBrush = SelectObject(shape.dc, GetStockObject(NULL_BRUSH));
          k.draw(shape.dc);
          SelectObject(shape.dc, oldBrush);
          DeleteObject(SelectObject(shape.dc, oldPen));

          HBITMAP again = PatternBitmap();
          HBRUSH brush = CreatePatternBrush(again);
          SetBrushOrgEx(filled.dc, org.X, org.Y, nullptr);
          RECT all{0, 0, w, h};
          FillRect(filled.dc, &all, brush);
          DeleteObject(brush);
          DeleteObject(again);

          int inked = 0;
          std::set<uint32_t> seen;
          bool same = true;
          for (int y = 0; y < h && same; ++y)
            for (int x = 0; x < w && same; ++x) {
              bool in = shape.Value(x, y) != shape.FilledValue(0xFF, x);
              uint32_t want = in ? filled.Value(x, y) : stroked.FilledValue(0xFF, x);
              if (in) {
                ++inked;
                seen.insert(want);
              }
              if (stroked.Value(x, y) != want) {
                ADD_FAILURE() << k.name << ", brush style " << style << ", origin " << org.X << "," << org.Y << ", "
                              << depth << " bits: pixel " << x << "," << y;
                same = false;
              }
            }
          EXPECT_GT(inked, 60) << k.name;
          if (depth >= 8) {
            EXPECT_GT(seen.size(), 4u) << k.name << ": the stroke shows the pattern";
          }
        }
}

// Hatched geometric pens take the hatch as brushes do, over the
// background colour when the background mode is opaque.
TEST(PenTest, HatchedGeometricPensPaintTheHatch) {
  TDibCanvas stroked(32, 32, 0x00FFFFFFu), filled(32, 32, 0x00FFFFFFu);
  LOGBRUSH lb{BS_HATCHED, RGB(200, 0, 0), HS_CROSS};
  HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 9, &lb, 0, nullptr);
  ASSERT_NE(pen, nullptr);
  SetBkColor(stroked.dc, RGB(0, 0, 250));
  SetBkColor(filled.dc, RGB(0, 0, 250));
  HGDIOBJ old = SelectObject(stroked.dc, pen);
  MoveToEx(stroked.dc, 0, 16, nullptr);
  LineTo(stroked.dc, 32, 16);
  DeleteObject(SelectObject(stroked.dc, old));
  HBRUSH brush = CreateHatchBrush(HS_CROSS, RGB(200, 0, 0));
  RECT all{0, 0, 32, 32};
  FillRect(filled.dc, &all, brush);
  DeleteObject(brush);
  for (int y = 12; y < 21; ++y)
    for (int x = 0; x < 32; ++x) EXPECT_EQ(stroked.Rgb(x, y), filled.Rgb(x, y)) << x << "," << y;
  EXPECT_EQ(stroked.Rgb(5, 5), 0xFFFFFFu) << "outside the stroke";
}

}  // namespace
