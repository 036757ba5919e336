// Shapes far bigger than the surface they are drawn on: drawn directly and
// played back from a metafile they finish with the memory of what is seen
// (the address checks catch a shape built whole), and the part in sight is
// the part of the whole shape.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/common/dib_canvas.h"
#include "tests/common/picture_png.h"

namespace {

constexpr int kW = 32, kH = 24;
constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlack = 0x000000;
constexpr int kBillion = 1'000'000'000;

// Copies the canvases into a grid of `columns`, grey between them.
void WriteGrid(const std::string& name, const std::vector<const TDibCanvas*>& canvases, int columns) {
  if (canvases.empty()) return;
  const int w = canvases[0]->width, h = canvases[0]->height, n = static_cast<int>(canvases.size());
  const int rows = (n + columns - 1) / columns, stride = columns * (w + 1), height = rows * (h + 1);
  std::vector<uint32_t> grid(size_t(stride) * height, 0x808080u);
  for (int i = 0; i < n; ++i)
    for (int y = 0; y < h; ++y)
      std::memcpy(&grid[size_t((i / columns) * (h + 1) + y) * stride + (i % columns) * (w + 1)],
                  canvases[size_t(i)]->bits + y * w, size_t(w) * 4);
  WriteOpaquePng(name, grid.data(), stride, height);
}

struct TProbe {
  int X, Y;
  uint32_t Rgb;
};

// A field of a record the small call makes, given a huge value.
struct TPatch {
  DWORD Record;
  size_t Offset;
  int32_t Value;
};

struct THugeShape {
  const char* Name;
  HPEN (*Pen)();
  std::function<void(HDC)> Draw;
  std::vector<TProbe> Probes;
  // For playback: a call of the same kind with small coordinates, and the
  // fields of its records that then take the huge ones.
  std::function<void(HDC)> Small = nullptr;
  std::vector<TPatch> Patches = {};
};

HPEN ThinPen() { return CreatePen(PS_SOLID, 1, RGB(0, 0, 0)); }
HPEN NoPen() { return CreatePen(PS_NULL, 1, RGB(0, 0, 0)); }
HPEN WidePen() { return CreatePen(PS_SOLID, 5, RGB(0, 0, 0)); }
HPEN VastPen() { return CreatePen(PS_SOLID, 100'000'000, RGB(0, 0, 0)); }
HPEN DottedPen() { return CreatePen(PS_DOT, 1, RGB(0, 0, 0)); }
HPEN DashedPen() { return CreatePen(PS_DASH, 1, RGB(0, 0, 0)); }
HPEN WideDashedPen() {
  LOGBRUSH lb{BS_SOLID, RGB(0, 0, 0), 0};
  return ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 4, &lb, 0, nullptr);
}

// Stretches a bitmap of two pixels, red and black, over (x, y, w, h).
void StretchTwoPixels(HDC dc, int x, int y, int w, int h) {
  uint32_t* bits = nullptr;
  HBITMAP two = TestDib32(2, 1, &bits);
  bits[0] = 0xFF0000;
  bits[1] = 0x000000;
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, two);
  StretchBlt(dc, x, y, w, h, src, 0, 0, 2, 1, SRCCOPY);
  SelectObject(src, old);
  DeleteDC(src);
  DeleteObject(two);
}

// Draws turned by about 53 degrees about (16, 12).
template <class F>
void Turned(HDC dc, F draw) {
  SetGraphicsMode(dc, GM_ADVANCED);
  XFORM turn{0.6f, 0.8f, -0.8f, 0.6f, 16, 12};
  SetWorldTransform(dc, &turn);
  draw();
  ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
  SetGraphicsMode(dc, GM_COMPATIBLE);
}

std::vector<TPatch> RectPatch(DWORD record, int l, int t, int r, int b) {
  return {{record, 8, l}, {record, 12, t}, {record, 16, r}, {record, 20, b}};
}

// 70 million pixels tall, centred far above the surface: only its bottom
// edge, at row 12, is in sight.
constexpr int kTallL = 16 - 50'000'000, kTallT = 12 - 70'000'000, kTallR = 16 + 50'000'000, kTallB = 12;

std::vector<THugeShape> HugeShapes() {
  auto tri = [](HDC dc, POINT a, POINT b, POINT c) {
    POINT pts[] = {a, b, c};
    Polygon(dc, pts, 3);
  };
  auto line = [](HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
  };
  return {
      {"ellipse 70 million tall, its bottom in sight",
       ThinPen,
       [](HDC dc) { Ellipse(dc, kTallL, kTallT, kTallR, kTallB); },
       {{16, 4, kRed}, {16, 10, kRed}, {16, 11, kBlack}, {0, 11, kBlack}, {31, 11, kBlack}, {16, 12, kWhite},
        {16, 20, kWhite}},
       [](HDC dc) { Ellipse(dc, 2, 2, 10, 10); },
       RectPatch(EMR_ELLIPSE, kTallL, kTallT, kTallR, kTallB)},
      {"the same ellipse without a pen",
       NoPen,
       [](HDC dc) { Ellipse(dc, kTallL, kTallT, kTallR, kTallB); },
       {{16, 4, kRed}, {16, 10, kRed}, {16, 11, kWhite}, {16, 20, kWhite}},
       [](HDC dc) { Ellipse(dc, 2, 2, 10, 10); },
       RectPatch(EMR_ELLIPSE, kTallL, kTallT, kTallR, kTallB)},
      {"ellipse two billion across, over the whole surface",
       ThinPen,
       [](HDC dc) { Ellipse(dc, -kBillion, -kBillion, kBillion, kBillion); },
       {{0, 0, kRed}, {31, 23, kRed}, {16, 12, kRed}},
       [](HDC dc) { Ellipse(dc, 2, 2, 10, 10); },
       RectPatch(EMR_ELLIPSE, -kBillion, -kBillion, kBillion, kBillion)},
      {"ellipse two billion across with a dashed pen",
       DashedPen,
       [](HDC dc) { Ellipse(dc, -kBillion, -kBillion, kBillion, kBillion); },
       {{0, 0, kRed}, {31, 23, kRed}, {16, 12, kRed}},
       [](HDC dc) { Ellipse(dc, 2, 2, 10, 10); },
       RectPatch(EMR_ELLIPSE, -kBillion, -kBillion, kBillion, kBillion)},
      {"ellipse 70 million tall with a wide pen",
       WidePen,
       [](HDC dc) { Ellipse(dc, kTallL, kTallT, kTallR, kTallB); },
       {{16, 4, kRed}, {16, 8, kRed}, {16, 10, kBlack}, {16, 13, kBlack}, {16, 20, kWhite}},
       [](HDC dc) { Ellipse(dc, 2, 2, 10, 10); },
       RectPatch(EMR_ELLIPSE, kTallL, kTallT, kTallR, kTallB)},
      // Its inner edge is 50 million rows below the surface.
      {"ellipse drawn with a pen a hundred million wide",
       VastPen,
       [](HDC dc) { Ellipse(dc, -kBillion, 12, kBillion, 2 * kBillion); },
       {{0, 0, kBlack}, {31, 23, kBlack}, {16, 12, kBlack}}},
      {"round rectangle with its top edge in sight",
       ThinPen,
       [](HDC dc) { RoundRect(dc, -kBillion, 5, kBillion, kBillion, 40, 40); },
       {{16, 4, kWhite}, {16, 5, kBlack}, {16, 6, kRed}, {0, 20, kRed}, {31, 23, kRed}},
       [](HDC dc) { RoundRect(dc, 2, 2, 10, 10, 3, 3); },
       [] {
         auto p = RectPatch(EMR_ROUNDRECT, -kBillion, 5, kBillion, kBillion);
         p.push_back({EMR_ROUNDRECT, 24, 40});
         p.push_back({EMR_ROUNDRECT, 28, 40});
         return p;
       }()},
      {"round rectangle a billion tall with corners as big",
       ThinPen,
       [](HDC dc) { RoundRect(dc, -kBillion, -kBillion, kBillion, kBillion, kBillion, kBillion); },
       {{0, 0, kRed}, {31, 23, kRed}},
       [](HDC dc) { RoundRect(dc, 2, 2, 10, 10, 3, 3); },
       [] {
         auto p = RectPatch(EMR_ROUNDRECT, -kBillion, -kBillion, kBillion, kBillion);
         p.push_back({EMR_ROUNDRECT, 24, kBillion});
         p.push_back({EMR_ROUNDRECT, 28, kBillion});
         return p;
       }()},
      {"rectangle with a wide pen, its bottom edge in sight",
       WidePen,
       [](HDC dc) { Rectangle(dc, -kBillion, -kBillion, kBillion, 12); },
       {{16, 4, kRed}, {16, 8, kRed}, {16, 9, kBlack}, {16, 13, kBlack}, {16, 15, kWhite}},
       [](HDC dc) { Rectangle(dc, 2, 2, 10, 10); },
       RectPatch(EMR_RECTANGLE, -kBillion, -kBillion, kBillion, 12)},
      {"pie of a quarter, its centre in sight",
       ThinPen,
       [](HDC dc) {
         Pie(dc, 16 - kBillion, 12 - kBillion, 16 + kBillion, 12 + kBillion, 16 + kBillion, 12, 16, 12 - kBillion);
       },
       {{24, 4, kRed}, {8, 4, kWhite}, {24, 20, kWhite}, {8, 20, kWhite}, {16, 4, kBlack}, {24, 12, kBlack}}},
      {"chord across the middle",
       ThinPen,
       [](HDC dc) {
         Chord(dc, 16 - kBillion, 12 - kBillion, 16 + kBillion, 12 + kBillion, 16 + kBillion, 12, 16 - kBillion, 12);
       },
       {{16, 4, kRed}, {0, 0, kRed}, {16, 12, kBlack}, {16, 20, kWhite}}},
      {"triangle two billion across",
       ThinPen,
       [tri](HDC dc) { tri(dc, {16, 12 - kBillion}, {16 - kBillion, 12 + kBillion}, {16 + kBillion, 12 + kBillion}); },
       {{0, 0, kRed}, {31, 23, kRed}, {16, 12, kRed}},
       [tri](HDC dc) { tri(dc, {2, 2}, {10, 2}, {6, 10}); },
       {{EMR_POLYGON, 28, 16}, {EMR_POLYGON, 32, 12 - kBillion}, {EMR_POLYGON, 36, 16 - kBillion},
        {EMR_POLYGON, 40, 12 + kBillion}, {EMR_POLYGON, 44, 16 + kBillion}, {EMR_POLYGON, 48, 12 + kBillion}}},
      // Dots of 3 from x = -1e9: pixel x is on where (x + 1e9) % 6 < 3,
      // that is where (x + 4) % 6 < 3.
      {"dotted line two billion long",
       DottedPen,
       [line](HDC dc) { line(dc, -kBillion, 10, kBillion, 10); },
       {{0, 10, kWhite}, {1, 10, kWhite}, {2, 10, kBlack}, {4, 10, kBlack}, {5, 10, kWhite}, {8, 10, kBlack},
        {2, 9, kWhite}},
       [line](HDC dc) { line(dc, 2, 2, 10, 2); },
       {{EMR_MOVETOEX, 8, -kBillion}, {EMR_MOVETOEX, 12, 10}, {EMR_LINETO, 8, kBillion}, {EMR_LINETO, 12, 10}}},
      {"dotted line four billion long, drawn right to left",
       DottedPen,
       [line](HDC dc) { line(dc, 2 * kBillion, 10, -2 * kBillion, 10); },
       // From x = 2e9 leftwards: pixel x is on where (2e9 - x) % 6 < 3,
       // that is where (2 - x) mod 6 < 3.
       {{0, 10, kBlack}, {1, 10, kBlack}, {2, 10, kBlack}, {3, 10, kWhite}, {5, 10, kWhite}, {6, 10, kBlack}}},
      // Slope one half through (16, 12): a row down every two columns, as
      // on a short line from (0, 0) to (4, 2).
      {"slanted line four billion long",
       ThinPen,
       [line](HDC dc) { line(dc, 16 - 2 * kBillion, 12 - kBillion, 16 + 2 * kBillion, 12 + kBillion); },
       {{14, 11, kBlack}, {15, 11, kBlack}, {16, 12, kBlack}, {17, 12, kBlack}, {18, 13, kBlack}, {18, 12, kWhite},
        {16, 11, kWhite}}},
      // Dashes of 12 and gaps of 4 from x = -1e9, a multiple of 16; four
      // rows about y = 10.5.
      {"wide dashed line two billion long",
       WideDashedPen,
       [line](HDC dc) { line(dc, -kBillion, 10, kBillion, 10); },
       {{5, 10, kBlack}, {5, 8, kBlack}, {5, 11, kBlack}, {13, 10, kWhite}, {20, 10, kBlack}, {30, 10, kWhite},
        {5, 13, kWhite}}},
      {"ellipse two billion across, turned",
       ThinPen,
       [](HDC dc) { Turned(dc, [dc] { Ellipse(dc, -kBillion, -kBillion, kBillion, kBillion); }); },
       {{0, 0, kRed}, {31, 23, kRed}, {16, 12, kRed}}},
      {"rectangle two billion across filled, turned",
       NoPen,
       [](HDC dc) {
         Turned(dc, [dc] {
           RECT r{-kBillion, -kBillion, kBillion, kBillion};
           HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
           FillRect(dc, &r, red);
           DeleteObject(red);
         });
       },
       {{0, 0, kRed}, {31, 23, kRed}, {16, 12, kRed}}},
      {"path of the tall ellipse, filled",
       NoPen,
       [](HDC dc) {
         BeginPath(dc);
         Ellipse(dc, kTallL, kTallT, kTallR, kTallB);
         EndPath(dc);
         FillPath(dc);
       },
       {{16, 4, kRed}, {16, 20, kWhite}}},
      // Two source columns over a billion: the left half red up to x = 16.
      {"bitmap stretched a billion wide",
       NoPen,
       [](HDC dc) { StretchTwoPixels(dc, 16 - kBillion / 2, 0, kBillion, kH); },
       {{0, 0, kRed}, {15, 12, kRed}, {16, 12, kBlack}, {31, 23, kBlack}},
       [](HDC dc) { StretchTwoPixels(dc, 2, 2, 8, 8); },
       {{EMR_STRETCHBLT, 24, 16 - kBillion / 2}, {EMR_STRETCHBLT, 28, 0}, {EMR_STRETCHBLT, 32, kBillion},
        {EMR_STRETCHBLT, 36, kH}}},
      {"gradient rectangle two billion wide",
       NoPen,
       [](HDC dc) {
         TRIVERTEX v[2] = {{-kBillion, 0, 0, 0, 0, 0}, {kBillion, kH, 0xFF00, 0xFF00, 0xFF00, 0}};
         GRADIENT_RECT r{0, 1};
         GradientFill(dc, v, 2, &r, 1, GRADIENT_FILL_RECT_H);
       },
       {{0, 0, 0x7F7F7F}, {31, 23, 0x7F7F7F}}},
      {"gradient triangle two billion across, of one colour",
       NoPen,
       [](HDC dc) {
         TRIVERTEX v[3] = {{16, 12 - kBillion, 0xFF00, 0, 0, 0},
                           {16 - kBillion, 12 + kBillion, 0xFF00, 0, 0, 0},
                           {16 + kBillion, 12 + kBillion, 0xFF00, 0, 0, 0}};
         GRADIENT_TRIANGLE t{0, 1, 2};
         GradientFill(dc, v, 3, &t, 1, GRADIENT_FILL_TRIANGLE);
       },
       {{0, 0, kRed}, {31, 23, kRed}, {16, 12, kRed}}},
  };
}

// Draws with the case's pen and a red brush.
template <class F>
void WithPenAndBrush(HDC dc, const THugeShape& s, F draw) {
  HPEN pen = s.Pen();
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
  draw(dc);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

void ExpectProbes(TDibCanvas& c, const THugeShape& s, const char* how) {
  for (const TProbe& p : s.Probes)
    EXPECT_EQ(c.Rgb(p.X, p.Y), p.Rgb) << s.Name << " " << how << " at " << p.X << "," << p.Y;
}

uint32_t Get32(const std::vector<BYTE>& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

// The case's small call recorded (after a white fill that sets the frame
// to the surface), with its records given the huge values.
HENHMETAFILE RecordHuge(const THugeShape& s) {
  HDC rec = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  RECT all{0, 0, kW, kH};
  FillRect(rec, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  WithPenAndBrush(rec, s, s.Small);
  HENHMETAFILE small = CloseEnhMetaFile(rec);
  std::vector<BYTE> bits(GetEnhMetaFileBits(small, 0, nullptr));
  GetEnhMetaFileBits(small, static_cast<UINT>(bits.size()), bits.data());
  DeleteEnhMetaFile(small);
  for (const TPatch& p : s.Patches) {
    size_t at = 0;
    while (at + 8 <= bits.size() && Get32(bits, at) != p.Record) at += Get32(bits, at + 4);
    EXPECT_LT(at + p.Offset + 4, bits.size()) << s.Name << ": record " << p.Record;
    if (at + p.Offset + 4 > bits.size()) return nullptr;
    std::memcpy(bits.data() + at + p.Offset, &p.Value, 4);
  }
  return SetEnhMetaFileBits(static_cast<UINT>(bits.size()), bits.data());
}

TEST(GdiHugeShapesTest, OnlyThePartInSightIsBuiltAndItIsRight) {
  std::vector<THugeShape> shapes = HugeShapes();
  std::vector<std::unique_ptr<TDibCanvas>> drawn;
  for (const THugeShape& s : shapes) {
    drawn.push_back(std::make_unique<TDibCanvas>(kW, kH, kWhite));
    TDibCanvas& c = *drawn.back();
    WithPenAndBrush(c.dc, s, s.Draw);
    ExpectProbes(c, s, "drawn");
  }
  std::vector<const TDibCanvas*> all;
  for (const auto& c : drawn) all.push_back(c.get());
  WriteGrid("gdi_huge_shapes.png", all, 4);
}

TEST(GdiHugeShapesTest, PlayedBackFromAMetafileTheyDrawAsDrawnDirectly) {
  int played = 0;
  for (const THugeShape& s : HugeShapes()) {
    if (!s.Small) continue;
    HENHMETAFILE mf = RecordHuge(s);
    ASSERT_NE(mf, nullptr) << s.Name;
    TDibCanvas direct(kW, kH, kWhite), back(kW, kH, 0);
    WithPenAndBrush(direct.dc, s, s.Draw);
    RECT to{0, 0, kW, kH};
    EXPECT_TRUE(PlayEnhMetaFile(back.dc, mf, &to)) << s.Name;
    DeleteEnhMetaFile(mf);
    ExpectProbes(back, s, "played back");
    EXPECT_EQ(back.CountNot(0, 0, 0, kW, kH, 0xFFFFFF), direct.CountNot(0, 0, 0, kW, kH, 0xFFFFFF)) << s.Name;
    int differ = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) differ += direct.Rgb(x, y) != back.Rgb(x, y);
    EXPECT_EQ(differ, 0) << s.Name;
    ++played;
  }
  EXPECT_GT(played, 0);
}

TEST(GdiHugeShapesTest, ShapedRegionsPastTheCoordinateRangeAreRefused) {
  constexpr int kPast = 1 << 27;
  POINT far[] = {{0, 0}, {kPast, 0}, {0, 10}};
  EXPECT_EQ(CreateEllipticRgn(-kPast, 0, 10, 10), nullptr);
  EXPECT_EQ(CreateRoundRectRgn(0, 0, 10, kPast, 4, 4), nullptr);
  EXPECT_EQ(CreatePolygonRgn(far, 3, ALTERNATE), nullptr);
  // Just inside the range they are built.
  HRGN inside = CreateEllipticRgn(-1000, -1000, 1000, 1000);
  ASSERT_NE(inside, nullptr);
  EXPECT_TRUE(PtInRegion(inside, 0, 0));
  EXPECT_FALSE(PtInRegion(inside, 990, 990));
  DeleteObject(inside);

  TDibCanvas c(kW, kH, kWhite);
  BeginPath(c.dc);
  Ellipse(c.dc, -kPast, 0, 10, 10);
  EndPath(c.dc);
  EXPECT_EQ(PathToRegion(c.dc), nullptr);
}

TEST(GdiHugeShapesTest, AClipPathOfAHugeShapeClipsToItsPartInSight) {
  TDibCanvas c(kW, kH, kWhite);
  BeginPath(c.dc);
  Ellipse(c.dc, kTallL, kTallT, kTallR, kTallB);
  EndPath(c.dc);
  ASSERT_TRUE(SelectClipPath(c.dc, RGN_COPY));
  RECT all{0, 0, kW, kH};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(c.dc, &all, red);
  DeleteObject(red);
  EXPECT_EQ(c.Rgb(16, 4), kRed);
  EXPECT_EQ(c.Rgb(0, 8), kRed);
  EXPECT_EQ(c.Rgb(16, 16), kWhite);
  EXPECT_EQ(c.CountNot(kWhite, 0, 14, kW, kH, 0xFFFFFF), 0) << "nothing below the ellipse";
}

// ---- The part in sight is the part of the whole shape ------------------

struct TPenCase {
  const char* Name;
  HPEN (*Make)();
};

HPEN InsideFramePen() { return CreatePen(PS_INSIDEFRAME, 7, RGB(0, 0, 160)); }
HPEN WideDashedRoundPen() {
  LOGBRUSH lb{BS_SOLID, RGB(0, 120, 0), 0};
  return ExtCreatePen(PS_GEOMETRIC | PS_DASHDOT | PS_ENDCAP_ROUND | PS_JOIN_ROUND, 5, &lb, 0, nullptr);
}
HPEN WideMitrePen() {
  LOGBRUSH lb{BS_SOLID, RGB(120, 0, 120), 0};
  return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_MITER, 6, &lb, 0, nullptr);
}

// Shapes spilling over every edge of a 40 x 30 surface (and one inside it).
const std::function<void(HDC, int)> kModerateShapes[] = {
    [](HDC dc, int o) { Ellipse(dc, o - 30, o - 20, o + 61, o + 47); },
    [](HDC dc, int o) { Ellipse(dc, o + 5, o + 4, o + 35, o + 26); },
    [](HDC dc, int o) { Ellipse(dc, o - 60, o + 8, o + 30, o + 90); },
    [](HDC dc, int o) { RoundRect(dc, o - 25, o - 15, o + 55, o + 44, 50, 36); },
    [](HDC dc, int o) { Rectangle(dc, o - 12, o - 9, o + 52, o + 38); },
    [](HDC dc, int o) { Pie(dc, o - 10, o - 8, o + 45, o + 36, o + 60, o + 2, o - 5, o + 40); },
    [](HDC dc, int o) { Chord(dc, o - 10, o - 8, o + 45, o + 36, o + 70, o + 40, o - 20, o - 10); },
    [](HDC dc, int o) { Arc(dc, o - 10, o + 5, o + 30, o + 45, o + 40, o + 5, o - 20, o + 25); },
    [](HDC dc, int o) {
      POINT pts[] = {{o - 40, o + 5}, {o + 20, o - 30}, {o + 75, o + 12}, {o + 30, o + 60}, {o + 5, o + 14}};
      Polygon(dc, pts, 5);
    },
    [](HDC dc, int o) {
      POINT pts[] = {{o - 40, o + 35}, {o + 12, o - 25}, {o + 25, o + 28}, {o + 80, o + 3}};
      Polyline(dc, pts, 4);
    },
};

const TPenCase kPens[] = {{"no pen", NoPen},
                          {"thin", ThinPen},
                          {"dotted", DottedPen},
                          {"wide", WidePen},
                          {"inside frame", InsideFramePen},
                          {"wide dash-dot, round", WideDashedRoundPen},
                          {"wide mitred", WideMitrePen}};

bool LineOnly(size_t shape) { return shape == 7 || shape == 9; }

// Counts the pixels of `part` that differ from `whole` (moved by dx, dy)
// inside the clip, and those drawn outside it.
int Differences(TDibCanvas& part, TDibCanvas& whole, const RECT& clip, int dx, int dy, int* inked) {
  int differ = 0;
  *inked = 0;
  for (int y = 0; y < part.height; ++y)
    for (int x = 0; x < part.width; ++x) {
      bool in = x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom;
      uint32_t want = in ? whole.Rgb(x + dx, y + dy) : kWhite;
      differ += part.Rgb(x, y) != want;
      *inked += part.Rgb(x, y) != kWhite;
    }
  return differ;
}

TEST(GdiHugeShapesTest, ShapesPartlyOutsideTheClipShowWhatTheWholeShapeShowsThere) {
  // On one surface with the same coordinates: the shape whole, and the
  // shape clipped to a 40 x 30 view it spills out of (and to a smaller
  // rectangle inside that view), so that only the clip box's rows are built.
  constexpr int kOff = 60, kSize = 2 * kOff + 40;
  const RECT clips[] = {{kOff, kOff, kOff + 40, kOff + 30}, {kOff + 7, kOff + 5, kOff + 31, kOff + 23}};
  std::vector<std::unique_ptr<TDibCanvas>> pictures;
  for (const RECT& clip : clips)
    for (const TPenCase& pen : kPens)
      for (size_t i = 0; i < std::size(kModerateShapes); ++i) {
        THugeShape s{"", pen.Make, nullptr, {}};
        TDibCanvas whole(kSize, kSize, kWhite);
        WithPenAndBrush(whole.dc, s, [&](HDC dc) { kModerateShapes[i](dc, kOff); });
        auto part = std::make_unique<TDibCanvas>(kSize, kSize, kWhite);
        IntersectClipRect(part->dc, clip.Left, clip.Top, clip.Right, clip.Bottom);
        WithPenAndBrush(part->dc, s, [&](HDC dc) { kModerateShapes[i](dc, kOff); });
        int inked;
        EXPECT_EQ(Differences(*part, whole, clip, 0, 0, &inked), 0)
            << "shape " << i << ", " << pen.Name << ", clip " << clip.Left << "," << clip.Top;
        if (!LineOnly(i) || pen.Make != NoPen) {
          EXPECT_GT(inked, 0) << "shape " << i << ", " << pen.Name;
        }
        // The view alone, for the picture.
        auto view = std::make_unique<TDibCanvas>(40, 30, kWhite);
        BitBlt(view->dc, 0, 0, 40, 30, part->dc, kOff, kOff, SRCCOPY);
        pictures.push_back(std::move(view));
      }
  std::vector<const TDibCanvas*> grid;
  for (const auto& p : pictures) grid.push_back(p.get());
  WriteGrid("gdi_huge_shapes_clipped.png", grid, static_cast<int>(std::size(kModerateShapes)));
}

TEST(GdiHugeShapesTest, ShapesPartlyOffASmallSurfaceShowWhatABigOneShowsThere) {
  // A 40 x 30 surface against a big one holding the shape whole, moved.
  // Shapes and pens whose pixels come from whole numbers only, so that the
  // move itself changes nothing.
  const size_t shapes[] = {0, 1, 2, 3, 4, 8, 9};
  const TPenCase pens[] = {{"no pen", NoPen}, {"thin", ThinPen}, {"inside frame", InsideFramePen}};
  constexpr int kOff = 60;
  for (const TPenCase& pen : pens)
    for (size_t i : shapes) {
      THugeShape s{"", pen.Make, nullptr, {}};
      TDibCanvas big(40 + 2 * kOff, 30 + 2 * kOff, kWhite), small(40, 30, kWhite);
      WithPenAndBrush(big.dc, s, [&](HDC dc) { kModerateShapes[i](dc, kOff); });
      WithPenAndBrush(small.dc, s, [&](HDC dc) { kModerateShapes[i](dc, 0); });
      int inked;
      EXPECT_EQ(Differences(small, big, RECT{0, 0, 40, 30}, kOff, kOff, &inked), 0)
          << "shape " << i << ", " << pen.Name;
      if (!LineOnly(i) || pen.Make != NoPen) {
        EXPECT_GT(inked, 0) << "shape " << i << ", " << pen.Name;
      }
    }
}

}  // namespace
