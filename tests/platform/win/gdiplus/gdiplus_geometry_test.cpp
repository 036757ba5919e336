// Matrices, paths and regions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/win/modules.h"
#include "tests/platform/win/gdiplus_test_support.h"

namespace {

class GeometryTest : public GdiplusTest {};

TEST_F(GeometryTest, MatricesComposeInEitherOrder) {
  GpMatrix* m = nullptr;
  GdipCreateMatrix(&m);
  GdipTranslateMatrix(m, 10, 0, MatrixOrderAppend);
  GdipScaleMatrix(m, 2, 2, MatrixOrderAppend);  // translate, then scale
  GpPointF p{1, 1};
  GdipTransformMatrixPoints(m, &p, 1);
  EXPECT_FLOAT_EQ(p.X, 22);
  EXPECT_FLOAT_EQ(p.Y, 2);
  GdipSetMatrixElements(m, 1, 0, 0, 1, 0, 0);
  GdipTranslateMatrix(m, 10, 0, MatrixOrderPrepend);
  GdipScaleMatrix(m, 2, 2, MatrixOrderPrepend);  // scale, then translate
  p = {1, 1};
  GdipTransformMatrixPoints(m, &p, 1);
  EXPECT_FLOAT_EQ(p.X, 12);
  GdipVectorTransformMatrixPoints(m, &p, 1);
  EXPECT_FLOAT_EQ(p.X, 24) << "no translation for vectors";
  ASSERT_EQ(GdipInvertMatrix(m), Ok);
  p = {12, 2};
  GdipTransformMatrixPoints(m, &p, 1);
  EXPECT_FLOAT_EQ(p.X, 1);
  GdipSetMatrixElements(m, 1, 2, 2, 4, 0, 0);
  BOOL invertible = TRUE;
  GdipIsMatrixInvertible(m, &invertible);
  EXPECT_FALSE(invertible);
  EXPECT_EQ(GdipInvertMatrix(m), InvalidParameter);
  EXPECT_EQ(GdipTranslateMatrix(m, 1, 1, MatrixOrder(7)), InvalidParameter);
  GdipDeleteMatrix(m);
}

TEST_F(GeometryTest, PathsRecordFiguresAndTypes) {
  GpPath* path = nullptr;
  GdipCreatePath(FillModeAlternate, &path);
  GdipAddPathLine(path, 0, 0, 10, 0);
  GdipAddPathLine(path, 10, 0, 10, 10);  // continues the figure
  GdipClosePathFigure(path);
  GdipAddPathRectangle(path, 20, 20, 5, 5);
  INT n = 0;
  GdipGetPointCount(path, &n);
  ASSERT_EQ(n, 8);
  std::vector<BYTE> types(8);
  GdipGetPathTypes(path, types.data(), n);
  const BYTE expect[8] = {PathPointTypeStart, PathPointTypeLine, PathPointTypeLine, PathPointTypeLine | 0x80,
                          PathPointTypeStart, PathPointTypeLine, PathPointTypeLine, PathPointTypeLine | 0x80};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(types[i], expect[i]) << i;
  GpRectF bounds{};
  GdipGetPathWorldBounds(path, &bounds, nullptr, nullptr);
  EXPECT_FLOAT_EQ(bounds.Width, 25);
  EXPECT_FLOAT_EQ(bounds.Height, 25);

  ASSERT_EQ(GdipReversePath(path), Ok);
  GpPointF first{};
  std::vector<GpPointF> pts(8);
  GdipGetPathPoints(path, pts.data(), 8);
  first = pts[0];
  EXPECT_FLOAT_EQ(first.X, 20) << "the last point of the last figure comes first";
  EXPECT_FLOAT_EQ(first.Y, 25);
  GdipGetPathTypes(path, types.data(), n);
  EXPECT_EQ(types[0], PathPointTypeStart);
  EXPECT_EQ(types[3] & 0x80, 0x80);
  GdipDeletePath(path);
}

TEST_F(GeometryTest, ArcsEllipsesAndCurvesBecomeBeziers) {
  GpPath* path = nullptr;
  GdipCreatePath(FillModeAlternate, &path);
  ASSERT_EQ(GdipAddPathArc(path, 0, 0, 20, 10, 0, 90), Ok);
  INT n = 0;
  GdipGetPointCount(path, &n);
  EXPECT_EQ(n, 4) << "a quarter turn is one Bezier curve";
  std::vector<GpPointF> pts(static_cast<size_t>(n));
  GdipGetPathPoints(path, pts.data(), n);
  EXPECT_NEAR(pts[0].X, 20, 1e-4);
  EXPECT_NEAR(pts[0].Y, 5, 1e-4);
  EXPECT_NEAR(pts[3].X, 10, 1e-4);
  EXPECT_NEAR(pts[3].Y, 10, 1e-4);
  GdipResetPath(path);
  // A true angle: 45 degrees on a flat ellipse meets the ray y = x.
  GdipAddPathArc(path, -20, -10, 40, 20, 0, 45);
  GdipGetPointCount(path, &n);
  pts.resize(static_cast<size_t>(n));
  GdipGetPathPoints(path, pts.data(), n);
  EXPECT_NEAR(pts.back().X, pts.back().Y, 1e-3);
  GdipResetPath(path);
  const GpPointF curve[3] = {{0, 0}, {10, 10}, {20, 0}};
  ASSERT_EQ(GdipAddPathCurve(path, curve, 3), Ok);
  GdipGetPointCount(path, &n);
  EXPECT_EQ(n, 7) << "two segments through all three points";
  pts.resize(7);
  GdipGetPathPoints(path, pts.data(), 7);
  EXPECT_FLOAT_EQ(pts[3].X, 10);
  EXPECT_FLOAT_EQ(pts[3].Y, 10);
  ASSERT_EQ(GdipFlattenPath(path, nullptr, 0.1f), Ok);
  GdipGetPointCount(path, &n);
  EXPECT_GT(n, 7);
  EXPECT_EQ(GdipAddPathBeziers(path, curve, 3), InvalidParameter);
  GdipDeletePath(path);
}

TEST_F(GeometryTest, PathHitTestsFollowFillModeAndPen) {
  GpPath* path = nullptr;
  GdipCreatePath(FillModeAlternate, &path);
  GdipAddPathRectangle(path, 0, 0, 10, 10);
  GdipAddPathRectangle(path, 2, 2, 6, 6);
  BOOL inside = FALSE;
  GdipIsVisiblePathPoint(path, 5, 5, nullptr, &inside);
  EXPECT_FALSE(inside) << "the hole of the alternate rule";
  GdipSetPathFillMode(path, FillModeWinding);
  GdipIsVisiblePathPoint(path, 5, 5, nullptr, &inside);
  EXPECT_TRUE(inside);
  GpPen* pen = nullptr;
  GdipCreatePen1(0xFF000000u, 2, UnitWorld, &pen);
  GdipIsOutlineVisiblePathPoint(path, 10.5f, 5, pen, nullptr, &inside);
  EXPECT_TRUE(inside);
  GdipIsOutlineVisiblePathPoint(path, 5, 5, pen, nullptr, &inside);
  EXPECT_FALSE(inside);
  GdipDeletePen(pen);
  GdipDeletePath(path);
}

TEST_F(GeometryTest, RegionsCombineAndAnswerInPixels) {
  GpRect a{0, 0, 10, 10}, b{5, 5, 10, 10};
  GpRegion* r = nullptr;
  GdipCreateRegionRectI(&a, &r);
  GdipCombineRegionRectI(r, &b, CombineModeXor);
  TGpCanvas c(1, 1);
  BOOL v = FALSE;
  GdipIsVisibleRegionPointI(r, 2, 2, c.G(), &v);
  EXPECT_TRUE(v);
  GdipIsVisibleRegionPointI(r, 7, 7, c.G(), &v);
  EXPECT_FALSE(v) << "in both: out of the exclusive or";
  GdipIsVisibleRegionPointI(r, 12, 12, c.G(), &v);
  EXPECT_TRUE(v);
  GpRectF bounds{};
  GdipGetRegionBounds(r, c.G(), &bounds);
  EXPECT_FLOAT_EQ(bounds.Width, 15);
  GpMatrix* identity = nullptr;
  GdipCreateMatrix(&identity);
  UINT scans = 0;
  GdipGetRegionScansCount(r, &scans, identity);
  EXPECT_EQ(scans, 4u) << "two bands of one and two of two rectangles";

  // Through a GDI region and back.
  HRGN h = nullptr;
  ASSERT_EQ(GdipGetRegionHRgn(r, nullptr, &h), Ok);
  EXPECT_TRUE(PtInRegion(h, 2, 2));
  EXPECT_FALSE(PtInRegion(h, 7, 7));
  GpRegion* back = nullptr;
  ASSERT_EQ(GdipCreateRegionHrgn(h, &back), Ok);
  BOOL equal = FALSE;
  GdipIsEqualRegion(r, back, c.G(), &equal);
  EXPECT_TRUE(equal);
  DeleteObject(h);

  // Infinite and empty.
  GdipSetInfinite(back);
  BOOL infinite = FALSE;
  GdipIsInfiniteRegion(back, c.G(), &infinite);
  EXPECT_TRUE(infinite);
  HRGN none = reinterpret_cast<HRGN>(1);
  GdipGetRegionHRgn(back, nullptr, &none);
  EXPECT_EQ(none, nullptr);
  GdipCombineRegionRegion(back, back, CombineModeExclude);
  BOOL empty = FALSE;
  GdipIsEmptyRegion(back, c.G(), &empty);
  EXPECT_TRUE(empty);
  GdipDeleteMatrix(identity);
  GdipDeleteRegion(back);
  GdipDeleteRegion(r);
}

TEST_F(GeometryTest, RegionsFromPathsClipAndFill) {
  GpPath* path = nullptr;
  GdipCreatePath(FillModeAlternate, &path);
  GdipAddPathEllipseI(path, 0, 0, 20, 20);
  GpRegion* r = nullptr;
  GdipCreateRegionPath(path, &r);
  GdipTranslateRegionI(r, 10, 0);
  TGpCanvas c(40, 20);
  ASSERT_EQ(GdipFillRegion(c.G(), TSolid(0xFF0000FFu), r), Ok);
  EXPECT_EQ(c.At(20, 10), 0xFF0000FFu);
  EXPECT_EQ(c.At(5, 10), 0u);
  EXPECT_EQ(c.At(10, 0), 0u) << "a corner of the ellipse's box";
  GpRegion* clip = nullptr;
  GdipCreateRegion(&clip);
  ASSERT_EQ(GdipGetClip(c.G(), clip), Ok);
  BOOL infinite = FALSE;
  GdipIsInfiniteRegion(clip, c.G(), &infinite);
  EXPECT_TRUE(infinite);
  GdipSetClipRegion(c.G(), r, CombineModeReplace);
  GdipTranslateWorldTransform(c.G(), 5, 0, MatrixOrderPrepend);
  GdipGetClip(c.G(), clip);
  BOOL visible = FALSE;
  GdipIsVisibleRegionPointI(clip, 15, 10, c.G(), &visible);
  EXPECT_TRUE(visible) << "the clip in the new world units: shifted back by 5";
  GdipIsVisibleRegionPointI(clip, 26, 10, c.G(), &visible);
  EXPECT_FALSE(visible);
  GdipDeleteRegion(clip);
  GdipDeleteRegion(r);
  GdipDeletePath(path);
}

// Every name the GDI+ binding calls is found by name in "gdiplus.dll", and
// start-up through the bound entry works; names the layer does not
// implement answer NotImplemented.
TEST_F(GeometryTest, TheBindingFindsEveryNameItCalls) {
  const char* called[] = {
      "GdipAlloc", "GdipFree", "GdiplusStartup", "GdiplusShutdown", "GdipCreateFromHDC",
      "GdipGetImageGraphicsContext", "GdipDeleteGraphics", "GdipSetInterpolationMode", "GdipSetSmoothingMode",
      "GdipSetCompositingMode", "GdipSetTextRenderingHint", "GdipIsVisibleRectI", "GdipCreateSolidFill",
      "GdipCreateLineBrushFromRectI", "GdipCreateTexture2I", "GdipDeleteBrush", "GdipCreatePen1",
      "GdipSetPenDashStyle", "GdipDeletePen", "GdipFillRectangleI", "GdipDrawArcI", "GdipFillEllipseI",
      "GdipDrawEllipseI", "GdipFillPieI", "GdipDrawPieI", "GdipDrawLineI", "GdipFillPolygon", "GdipDrawPolygon",
      "GdipCreateBitmapFromScan0", "GdipCreateBitmapFromHBITMAP", "GdipCreateHBITMAPFromBitmap",
      "GdipLoadImageFromStream", "GdipSaveImageToStream", "GdipGetImageRawFormat", "GdipGetImageDimension",
      "GdipGetImageWidth", "GdipGetImageHeight", "GdipDrawImageRectI", "GdipDrawImageRectRectI",
      "GdipDisposeImage", "GdipCreateImageAttributes", "GdipSetImageAttributesColorMatrix",
      "GdipDisposeImageAttributes", "GdipCreateFontFromLogfontA", "GdipDeleteFont", "GdipCreateStringFormat",
      "GdipSetStringFormatAlign", "GdipSetStringFormatLineAlign", "GdipDeleteStringFormat", "GdipDrawString",
      "GdipGetImageEncodersSize", "GdipGetImageEncoders", "GdipEmfToWmfBits", "GdipCreatePathGradient",
      "GdipCreateMetafileFromEmf", "GdipPathIterRewind",
  };
  HMODULE lib = LoadLibraryA("gdiplus.dll");
  ASSERT_NE(lib, nullptr);
  for (const char* name : called) EXPECT_NE(GetProcAddress(lib, name), nullptr) << name;
  auto startup = reinterpret_cast<GpStatus (*)(ULONG_PTR*, const GdiplusStartupInput*, GdiplusStartupOutput*)>(
      GetProcAddress(lib, "GdiplusStartup"));
  ULONG_PTR token = 0, hook = 0;
  GdiplusStartupInput input;
  input.SuppressBackgroundThread = TRUE;
  GdiplusStartupOutput output{};
  EXPECT_EQ(startup(&token, &input, nullptr), InvalidParameter) << "the output is needed without the thread";
  ASSERT_EQ(startup(&token, &input, &output), Ok);
  EXPECT_EQ(output.NotificationHook(&hook), Ok);
  output.NotificationUnhook(hook);
  auto warp = reinterpret_cast<decltype(&GdipWarpPath)>(GetProcAddress(lib, "GdipWarpPath"));
  ASSERT_NE(warp, nullptr);
  GpPointF corners[4] = {};
  EXPECT_EQ(warp(nullptr, nullptr, corners, 4, 0, 0, 1, 1, WarpModePerspective, 0.25f), NotImplemented);
  GdiplusStartupInput old;
  old.GdiplusVersion = 9;
  EXPECT_EQ(startup(&token, &old, nullptr), UnsupportedGdiplusVersion);
  FreeLibrary(lib);
}

// The names bound but not implemented are each a function of their own
// type: called through it they answer NotImplemented and leave outputs alone.
TEST_F(GeometryTest, PlaceholdersHaveTheirOwnSignatures) {
  HMODULE lib = LoadLibraryA("gdiplus.dll");
  ASSERT_NE(lib, nullptr);
  auto bind = [&](const char* name, auto* fn) {
    FARPROC p = GetProcAddress(lib, name);
    EXPECT_EQ(p, reinterpret_cast<FARPROC>(fn)) << name;
    return p ? reinterpret_cast<decltype(fn)>(p) : nullptr;
  };
  const GpPointF points[3] = {{0, 0}, {10, 0}, {5, 8}};
  auto* const untouched = reinterpret_cast<GpPathGradient*>(uintptr_t(0x1234));
  GpPathGradient* gradient = untouched;
  if (auto f = bind("GdipCreatePathGradient", &GdipCreatePathGradient)) {
    EXPECT_EQ(f(points, 3, WrapModeClamp, &gradient), NotImplemented);
  }
  EXPECT_EQ(gradient, untouched);
  GpMetafile* metafile = nullptr;
  if (auto f = bind("GdipCreateMetafileFromEmf", &GdipCreateMetafileFromEmf)) {
    EXPECT_EQ(f(nullptr, FALSE, &metafile), NotImplemented);
  }
  EXPECT_EQ(metafile, nullptr);
  BYTE bits[16] = {};
  if (auto f = bind("GdipEmfToWmfBits", &GdipEmfToWmfBits)) {
    EXPECT_EQ(f(nullptr, sizeof bits, bits, 8, 0), 0u) << "no bytes converted";
  }
  if (auto f = bind("GdipPathIterRewind", &GdipPathIterRewind)) {
    EXPECT_EQ(f(nullptr), NotImplemented);
  }
  if (auto f = bind("GdipWarpPath", &GdipWarpPath)) {
    EXPECT_EQ(f(nullptr, nullptr, points, 3, 0, 0, 1, 1, WarpModeBilinear, 0.25f), NotImplemented);
  }
  FreeLibrary(lib);
}

TEST_F(GeometryTest, EveryExportIsItsOwnFunctionAndUnlistedNamesAreNotFound) {
  size_t count = 0;
  const rtl::detail::TModuleInfo* modules = rtl::detail::ModuleTable(&count);
  const rtl::detail::TModuleInfo* gdiplus = nullptr;
  for (size_t i = 0; i < count; ++i)
    if (std::string(modules[i].FileName) == "gdiplus.dll") gdiplus = &modules[i];
  ASSERT_NE(gdiplus, nullptr);
  std::map<FARPROC, std::string> seen;
  for (size_t k = 0; k < gdiplus->ExportCount; ++k) {
    const rtl::detail::TModuleExport& e = gdiplus->Exports[k];
    auto [it, fresh] = seen.emplace(e.Address, e.Name);
    EXPECT_TRUE(fresh) << e.Name << " shares its entry point with " << it->second;
  }
  HMODULE lib = LoadLibraryA("gdiplus.dll");
  ASSERT_NE(lib, nullptr);
  // Names of the flat API that nothing here binds.
  for (const char* name : {"GdipCreateHatchBrush", "GdipCreateHalftonePalette", "GdipBitmapApplyEffect",
                           "GdipRecordMetafile", "GdipCreatePathIter", "GdipNotImplemented"}) {
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(lib, name), nullptr) << name;
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND)) << name;
  }
  FreeLibrary(lib);
}

}  // namespace
