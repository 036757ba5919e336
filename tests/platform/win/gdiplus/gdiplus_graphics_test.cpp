// Drawing through a graphics made on a device context: coverage, pixel
// offset, the DC's origin, transform and clip, GDI+'s own transforms and
// clips, brushes and pens.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/win/gdi/gdi_internal.h"
#include "tests/platform/win/gdiplus_test_support.h"

namespace {

class GraphicsTest : public GdiplusTest {};

constexpr ARGB kRed = 0xFFFF0000u;

TEST_F(GraphicsTest, AntiAliasingGivesPartialCoverageOnlyAtTheRim) {
  struct TCase {
    SmoothingMode Mode;
    bool Partial;
  };
  for (TCase c : {TCase{SmoothingModeAntiAlias, true}, TCase{SmoothingModeNone, false}}) {
    TGpCanvas canvas(40, 40);
    GdipSetSmoothingMode(canvas.G(), c.Mode);
    ASSERT_EQ(GdipFillEllipseI(canvas.G(), TSolid(kRed), 10, 10, 20, 20), Ok);
    EXPECT_EQ(canvas.At(20, 20), kRed) << "inside: full colour";
    EXPECT_EQ(canvas.At(5, 5), 0u) << "outside: untouched";
    EXPECT_EQ(canvas.At(11, 11), 0u) << "the corner of the box is outside the ellipse";
    EXPECT_EQ(canvas.Partial() > 0, c.Partial) << c.Mode;
    // Premultiplied: no channel above alpha.
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) ASSERT_LE((canvas.At(x, y) >> 16) & 0xFF, canvas.Alpha(x, y));
  }
}

TEST_F(GraphicsTest, PixelOffsetModeDecidesWhereEdgesFall) {
  // By default coordinates are pixel centres: an anti-aliased rectangle
  // from 2 to 7 half-covers pixels 2 and 7. With the half-pixel offset its
  // edges are pixel edges.
  TGpCanvas centred(12, 12), half(12, 12);
  for (TGpCanvas* c : {&centred, &half}) {
    GdipSetSmoothingMode(c->G(), SmoothingModeAntiAlias);
    if (c == &half) GdipSetPixelOffsetMode(c->G(), PixelOffsetModeHalf);
    GdipFillRectangleI(c->G(), TSolid(kRed), 2, 2, 5, 5);
  }
  EXPECT_NEAR(centred.Alpha(2, 4), 128, 2);
  EXPECT_EQ(centred.Alpha(4, 4), 255u);
  EXPECT_NEAR(centred.Alpha(7, 4), 128, 2);
  EXPECT_EQ(half.Alpha(2, 4), 255u);
  EXPECT_EQ(half.Alpha(6, 4), 255u);
  EXPECT_EQ(half.Alpha(7, 4), 0u);
  EXPECT_EQ(half.Partial(), 0);
}

TEST_F(GraphicsTest, AliasedShapesCoverExactPixels) {
  TGpCanvas c(12, 12);
  ASSERT_EQ(GdipFillRectangleI(c.G(), TSolid(kRed), 2, 3, 5, 4), Ok);
  EXPECT_EQ(c.Inked(0, 0, 12, 12), 20);
  EXPECT_EQ(c.Inked(2, 3, 7, 7), 20);
  // A one-pixel outline includes the right and bottom edge.
  TGpCanvas o(12, 12);
  ASSERT_EQ(GdipDrawRectangleI(o.G(), TPen(kRed), 2, 2, 4, 4), Ok);
  EXPECT_EQ(o.At(2, 2), kRed);
  EXPECT_EQ(o.At(6, 6), kRed);
  EXPECT_EQ(o.At(4, 4), 0u);
  EXPECT_EQ(o.Inked(0, 0, 12, 12), 16);
}

TEST_F(GraphicsTest, DeviceContextOriginAndTransformAreHonoured) {
  struct TCase {
    const char* Name;
    void (*Setup)(HDC);
    RECT Expect;  // where FillRectangleI(0, 0, 4, 4) lands
  };
  const TCase cases[] = {
      {"viewport origin", [](HDC dc) { SetViewportOrgEx(dc, 10, 5, nullptr); }, {10, 5, 14, 9}},
      {"window origin", [](HDC dc) { SetWindowOrgEx(dc, -3, -7, nullptr); }, {3, 7, 7, 11}},
      {"world transform",
       [](HDC dc) {
         SetGraphicsMode(dc, GM_ADVANCED);
         XFORM x{2, 0, 0, 2, 6, 1};
         SetWorldTransform(dc, &x);
       },
       {6, 1, 14, 9}},
  };
  for (const TCase& c : cases) {
    TGpCanvas canvas(20, 20);
    c.Setup(canvas.dc);
    ASSERT_EQ(GdipFillRectangleI(canvas.G(), TSolid(kRed), 0, 0, 4, 4), Ok);
    int w = c.Expect.Right - c.Expect.Left, h = c.Expect.Bottom - c.Expect.Top;
    EXPECT_EQ(canvas.Inked(c.Expect.Left, c.Expect.Top, c.Expect.Right, c.Expect.Bottom), w * h) << c.Name;
    EXPECT_EQ(canvas.Inked(0, 0, 20, 20), w * h) << c.Name;
  }
}

TEST_F(GraphicsTest, DeviceContextClipLimitsDrawing) {
  TGpCanvas c(20, 20);
  IntersectClipRect(c.dc, 5, 5, 10, 10);
  GdipSetSmoothingMode(c.G(), SmoothingModeAntiAlias);
  ASSERT_EQ(GdipFillRectangleI(c.G(), TSolid(kRed), 0, 0, 20, 20), Ok);
  EXPECT_EQ(c.Inked(0, 0, 20, 20), 25);
  EXPECT_EQ(c.At(5, 5), kRed);
  BOOL visible = TRUE;
  GdipIsVisibleRectI(c.G(), 12, 12, 4, 4, &visible);
  EXPECT_FALSE(visible) << "outside the DC's clip";
  GdipIsVisibleRectI(c.G(), 8, 8, 4, 4, &visible);
  EXPECT_TRUE(visible);
  GdipIsVisibleRectI(c.G(), 20, 0, 4, 4, &visible);
  EXPECT_FALSE(visible) << "beyond the bitmap";
}

TEST_F(GraphicsTest, ClipsOfGraphicsCombineAndReset) {
  TGpCanvas c(20, 20);
  GdipSetClipRectI(c.G(), 0, 0, 10, 20, CombineModeReplace);
  GdipSetClipRectI(c.G(), 5, 0, 10, 20, CombineModeIntersect);
  GdipFillRectangleI(c.G(), TSolid(kRed), 0, 0, 20, 1);
  EXPECT_EQ(c.Inked(0, 0, 20, 1), 5) << "columns 5 to 9";
  EXPECT_EQ(c.At(5, 0), kRed);
  // A clip set before a transform stays where it was put.
  GdipTranslateWorldTransform(c.G(), 100, 0, MatrixOrderPrepend);
  GdipResetWorldTransform(c.G());
  GdipSetClipRectI(c.G(), 0, 0, 2, 20, CombineModeExclude);
  GdipFillRectangleI(c.G(), TSolid(kRed), 0, 1, 20, 1);
  EXPECT_EQ(c.Inked(0, 1, 20, 2), 5);
  GdipResetClip(c.G());
  GdipFillRectangleI(c.G(), TSolid(kRed), 0, 2, 20, 1);
  EXPECT_EQ(c.Inked(0, 2, 20, 3), 20);

  // A path clip cuts the corners off a square.
  TGpCanvas e(20, 20);
  GpPath* path = nullptr;
  GdipCreatePath(FillModeAlternate, &path);
  GdipAddPathEllipseI(path, 0, 0, 20, 20);
  GdipSetClipPath(e.G(), path, CombineModeReplace);
  GdipDeletePath(path);
  GdipFillRectangleI(e.G(), TSolid(kRed), 0, 0, 20, 20);
  EXPECT_EQ(e.At(10, 10), kRed);
  EXPECT_EQ(e.At(0, 0), 0u);
  EXPECT_EQ(e.At(19, 19), 0u);
}

TEST_F(GraphicsTest, WorldTransformsMoveScaleAndRotate) {
  TGpCanvas c(20, 20);
  GdipTranslateWorldTransform(c.G(), 10, 10, MatrixOrderPrepend);
  GdipRotateWorldTransform(c.G(), 90, MatrixOrderPrepend);
  // (0..4, 0..2) turned a quarter clockwise about (10, 10): x 8..9, y 10..13.
  GdipFillRectangleI(c.G(), TSolid(kRed), 0, 0, 4, 2);
  EXPECT_EQ(c.Inked(0, 0, 20, 20), 8);
  EXPECT_EQ(c.Inked(8, 10, 10, 14), 8);
  GpMatrix* m = nullptr;
  GdipCreateMatrix(&m);
  GdipGetWorldTransform(c.G(), m);
  REAL e[6];
  GdipGetMatrixElements(m, e);
  EXPECT_FLOAT_EQ(e[0], 0);
  EXPECT_FLOAT_EQ(e[1], 1);
  EXPECT_FLOAT_EQ(e[4], 10);
  GdipDeleteMatrix(m);

  TGpCanvas s(20, 20);
  GdipScaleWorldTransform(s.G(), 3, 2, MatrixOrderPrepend);
  GdipFillRectangleI(s.G(), TSolid(kRed), 1, 1, 2, 2);
  EXPECT_EQ(s.Inked(3, 2, 9, 6), 24);
  EXPECT_EQ(s.Inked(0, 0, 20, 20), 24);
}

TEST_F(GraphicsTest, WindowDeviceContextsDrawAtTheirOriginInsideTheirVisiblePart) {
  // A window DC over a surface: its device (0, 0) at (10, 5), its visible
  // part the device's left 8 columns.
  TGpCanvas surface(30, 30);
  HDC dc = rtl::detail::GdiCreateWindowDC(nullptr, surface.bmp);
  HRGN visible = CreateRectRgn(0, 0, 8, 20);
  rtl::detail::GdiSetDCDeviceArea(dc, POINT(10, 5), visible);
  DeleteObject(visible);
  GpGraphics* g = nullptr;
  ASSERT_EQ(GdipCreateFromHDC(dc, &g), Ok);
  GdipFillRectangleI(g, TSolid(kRed), 2, 2, 10, 3);
  GdipDeleteGraphics(g);
  rtl::detail::GdiDeleteWindowDC(dc);
  EXPECT_EQ(surface.At(12, 7), kRed);
  EXPECT_EQ(surface.At(17, 9), kRed);
  EXPECT_EQ(surface.At(18, 7), 0u) << "beyond the visible part";
  EXPECT_EQ(surface.Inked(0, 0, 30, 30), 18);
}

TEST_F(GraphicsTest, DeviceDependentBitmapsAreDrawnThroughACopy) {
  HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HBITMAP ddb = CreateCompatibleBitmap(screen, 16, 16);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, ddb);
  PatBlt(dc, 0, 0, 16, 16, WHITENESS);
  GpGraphics* g = nullptr;
  ASSERT_EQ(GdipCreateFromHDC(dc, &g), Ok);
  SetViewportOrgEx(dc, 100, 100, nullptr);  // after creation: not GDI+'s concern
  GdipFillRectangleI(g, TSolid(kRed), 4, 4, 4, 4);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 255, 255));
  // Another bitmap selected: drawing follows it.
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  SelectObject(dc, dib);
  GdipFillRectangleI(g, TSolid(kRed), 0, 0, 2, 2);
  EXPECT_EQ(static_cast<uint32_t*>(bits)[17], kRed);
  GdipDeleteGraphics(g);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(dib);
  DeleteObject(ddb);
  DeleteDC(screen);
}

TEST_F(GraphicsTest, BottomUpBitmapsAreDrawnTheRightWayUp) {
  TGpCanvas c(10, 10, 0, true);
  GdipFillRectangleI(c.G(), TSolid(kRed), 0, 0, 3, 2);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(2, 1), kRed);
  EXPECT_EQ(c.At(0, 9), 0u);
  EXPECT_EQ(c.bits[9 * 10], kRed) << "the top row is last in memory";
}

TEST_F(GraphicsTest, FillModesOfASelfCrossingStar) {
  const GpPointF star[5] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
  for (GpFillMode mode : {FillModeAlternate, FillModeWinding}) {
    TGpCanvas c(20, 20);
    ASSERT_EQ(GdipFillPolygon(c.G(), TSolid(kRed), star, 5, mode), Ok);
    EXPECT_EQ(c.At(10, 10) != 0, mode == FillModeWinding) << "the centre";
    EXPECT_EQ(c.At(10, 4), kRed) << "a point of the star";
  }
}

TEST_F(GraphicsTest, LinearGradientsRunAcrossTheirRectangle) {
  TGpCanvas c(32, 4);
  GpRect r{0, 0, 32, 4};
  GpLineGradient* b = nullptr;
  ASSERT_EQ(GdipCreateLineBrushFromRectI(&r, 0xFF000000u, 0xFFFFFFFFu, LinearGradientModeHorizontal, WrapModeTile, &b),
            Ok);
  GdipFillRectangleI(c.G(), b, 0, 0, 32, 4);
  int previous = -1;
  for (int x = 0; x < 32; ++x) {
    int v = int(c.At(x, 2) & 0xFF);
    EXPECT_GE(v, previous) << x;
    previous = v;
  }
  EXPECT_LT(c.At(0, 2) & 0xFF, 12u);
  EXPECT_GT(c.At(31, 2) & 0xFF, 243u);
  EXPECT_NEAR(int(c.At(16, 2) & 0xFF), 128, 12);
  // A preset blend: three colours.
  const ARGB colours[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
  const REAL positions[3] = {0, 0.5f, 1};
  ASSERT_EQ(GdipSetLinePresetBlend(b, colours, positions, 3), Ok);
  const REAL bad[3] = {0.1f, 0.5f, 1};
  EXPECT_EQ(GdipSetLinePresetBlend(b, colours, bad, 3), InvalidParameter) << "must start at 0";
  GdipFillRectangleI(c.G(), b, 0, 0, 32, 4);
  EXPECT_GT((c.At(16, 2) >> 8) & 0xFF, 200u) << "green in the middle";
  GdipDeleteBrush(b);
}

TEST_F(GraphicsTest, TextureBrushesTileTheirImageExactly) {
  uint32_t tile[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
  GpBitmap* image = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(2, 2, 8, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(tile), &image), Ok);
  GpTexture* t = nullptr;
  ASSERT_EQ(GdipCreateTexture(image, WrapModeTile, &t), Ok);
  // Anti-aliasing softens only the edges of the shape, never the texture.
  for (SmoothingMode mode : {SmoothingModeNone, SmoothingModeAntiAlias}) {
    TGpCanvas c(8, 8);
    GdipSetSmoothingMode(c.G(), mode);
    GdipFillRectangleI(c.G(), t, 0, 0, 8, 8);
    int edge = mode == SmoothingModeNone ? 0 : 1;
    for (int y = edge; y < 8 - edge; ++y)
      for (int x = edge; x < 8 - edge; ++x) ASSERT_EQ(c.At(x, y), tile[(y % 2) * 2 + x % 2]) << x << "," << y;
  }
  GdipDeleteBrush(t);
  GdipDisposeImage(image);
}

TEST_F(GraphicsTest, PensDrawWidthDashesAndInset) {
  TGpCanvas wide(20, 20);
  GdipDrawLineI(wide.G(), TPen(kRed, 3), 0, 10, 20, 10);
  EXPECT_EQ(wide.Inked(5, 0, 6, 20), 3) << "three pixels across";

  TGpCanvas dashed(40, 3);
  TPen pen(kRed, 1);
  ASSERT_EQ(GdipSetPenDashStyle(pen, DashStyleDash), Ok);
  GdipDrawLineI(dashed.G(), pen, 0, 1, 40, 1);
  int ink = dashed.Inked(0, 0, 40, 3);
  EXPECT_GT(ink, 20);
  EXPECT_LT(ink, 40) << "gaps between the dashes";
  INT count = 0;
  GdipGetPenDashCount(pen, &count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(GdipSetPenDashStyle(pen, DashStyle(9)), InvalidParameter);

  // Inset: the whole width inside the rectangle.
  TGpCanvas inset(20, 20);
  TPen thick(kRed, 4);
  GdipSetPenMode(thick, PenAlignmentInset);
  GdipDrawRectangleI(inset.G(), thick, 4, 4, 10, 10);
  EXPECT_EQ(inset.Inked(0, 0, 4, 20), 0);
  EXPECT_EQ(inset.At(5, 8), kRed);
  EXPECT_EQ(inset.At(9, 9), 0u);
}

TEST_F(GraphicsTest, ArcsAndPiesFollowTheirAngles) {
  // A pie from 0 to 90 degrees is the lower-right quarter on screen.
  TGpCanvas c(20, 20);
  ASSERT_EQ(GdipFillPieI(c.G(), TSolid(kRed), 0, 0, 20, 20, 0, 90), Ok);
  EXPECT_EQ(c.At(14, 14), kRed);
  EXPECT_EQ(c.At(5, 14), 0u);
  EXPECT_EQ(c.At(14, 5), 0u);
  TGpCanvas a(20, 20);
  ASSERT_EQ(GdipDrawArcI(a.G(), TPen(kRed), 0, 0, 19, 19, 180, 90), Ok);
  EXPECT_GT(a.Inked(0, 0, 10, 10), 0) << "upper left";
  EXPECT_EQ(a.Inked(11, 0, 20, 20), 0);
}

TEST_F(GraphicsTest, ClearSetsEveryVisiblePixel) {
  TGpCanvas c(10, 10, 0xFF123456u);
  GdipSetClipRectI(c.G(), 0, 0, 5, 10, CombineModeReplace);
  ASSERT_EQ(GdipGraphicsClear(c.G(), 0x80000000u), Ok);
  EXPECT_EQ(c.At(0, 0), 0x80000000u);
  EXPECT_EQ(c.At(6, 0), 0xFF123456u);
}

TEST_F(GraphicsTest, SourceCopyReplacesInsteadOfBlending) {
  TGpCanvas c(4, 1, 0xFF0000FFu);
  GdipFillRectangleI(c.G(), TSolid(0x80FF0000u), 0, 0, 2, 1);
  GdipSetCompositingMode(c.G(), CompositingModeSourceCopy);
  GdipFillRectangleI(c.G(), TSolid(0x80FF0000u), 2, 0, 2, 1);
  EXPECT_EQ(c.Alpha(0, 0), 255u) << "over an opaque pixel";
  EXPECT_EQ(c.At(3, 0), 0x80800000u) << "replaced, premultiplied";
}

TEST_F(GraphicsTest, SavedStatesRestoreTransformClipAndModes) {
  TGpCanvas c(10, 10);
  GraphicsState s = 0;
  GdipSaveGraphics(c.G(), &s);
  GdipTranslateWorldTransform(c.G(), 5, 5, MatrixOrderPrepend);
  GdipSetClipRectI(c.G(), 0, 0, 1, 1, CombineModeReplace);
  GdipSetSmoothingMode(c.G(), SmoothingModeAntiAlias);
  ASSERT_EQ(GdipRestoreGraphics(c.G(), s), Ok);
  SmoothingMode mode;
  GdipGetSmoothingMode(c.G(), &mode);
  EXPECT_EQ(mode, SmoothingModeNone);
  GdipFillRectangleI(c.G(), TSolid(kRed), 0, 0, 2, 2);
  EXPECT_EQ(c.Inked(0, 0, 10, 10), 4);
  EXPECT_EQ(c.At(0, 0), kRed);
}

TEST_F(GraphicsTest, PageUnitsScaleWorldCoordinates) {
  TGpCanvas c(100, 10);
  ASSERT_EQ(GdipSetPageUnit(c.G(), UnitInch), Ok);
  EXPECT_EQ(GdipSetPageUnit(c.G(), UnitWorld), InvalidParameter);
  REAL dpi = 0;
  GdipGetDpiX(c.G(), &dpi);
  GdipFillRectangle(c.G(), TSolid(kRed), 0, 0, 0.5f, 0.05f);
  EXPECT_EQ(c.Inked(0, 0, 100, 10), int(dpi / 2) * int(std::lround(dpi * 0.05f)));
}

TEST_F(GraphicsTest, GraphicsOnAnImageDrawsIntoItsPixels) {
  uint32_t pixels[16] = {};
  GpBitmap* b = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(4, 4, 16, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels), &b), Ok);
  GpGraphics* g = nullptr;
  ASSERT_EQ(GdipGetImageGraphicsContext(b, &g), Ok);
  GdipFillRectangleI(g, TSolid(0x80FF0000u), 1, 1, 2, 2);
  GdipDeleteGraphics(g);
  EXPECT_EQ(pixels[5], 0x80800000u) << "the caller's buffer, premultiplied";
  EXPECT_EQ(pixels[0], 0u);
  GdipDisposeImage(b);

  GpBitmap* indexed = nullptr;
  GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat8bppIndexed, nullptr, &indexed);
  EXPECT_EQ(GdipGetImageGraphicsContext(indexed, &g), OutOfMemory);
  GdipDisposeImage(indexed);
}

TEST_F(GraphicsTest, InvalidArgumentsAreRefused) {
  TGpCanvas c(4, 4);
  EXPECT_EQ(GdipCreateFromHDC(nullptr, nullptr), InvalidParameter);
  GpGraphics* g = nullptr;
  EXPECT_EQ(GdipCreateFromHDC(reinterpret_cast<HDC>(0x1234), &g), OutOfMemory);
  EXPECT_EQ(GdipFillRectangleI(c.G(), nullptr, 0, 0, 1, 1), InvalidParameter);
  EXPECT_EQ(GdipSetSmoothingMode(c.G(), SmoothingModeInvalid), InvalidParameter);
  EXPECT_EQ(GdipFillPolygonI(c.G(), TSolid(kRed), nullptr, 3, FillModeWinding), InvalidParameter);
  EXPECT_EQ(GdipDrawBeziers(c.G(), TPen(kRed), nullptr, 5), InvalidParameter);
}

}  // namespace
