#include "ui/foundation/gdiplus_binding.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "platform/forms/graphics.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/units.h"
#include "platform/win/kernel/safe_load_library.h"
#include "platform/win/modules.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user.h"

TdxGpApi dxGpApi;

CLSID dxGpBmpEncoder{};
CLSID dxGpPngEncoder{};
CLSID dxGpJpegEncoder{};
CLSID dxGpTiffEncoder{};
CLSID dxGpGifEncoder{};

namespace {

// The names the library binds and never calls, kept so that the whole
// exported surface is there.
const char* const kOtherNames[] = {
    "GdipAddPathArc",
    "GdipAddPathArcI",
    "GdipAddPathBezier",
    "GdipAddPathBezierI",
    "GdipAddPathBeziers",
    "GdipAddPathBeziersI",
    "GdipAddPathClosedCurve",
    "GdipAddPathClosedCurve2",
    "GdipAddPathClosedCurve2I",
    "GdipAddPathClosedCurveI",
    "GdipAddPathCurve",
    "GdipAddPathCurve2",
    "GdipAddPathCurve2I",
    "GdipAddPathCurve3",
    "GdipAddPathCurve3I",
    "GdipAddPathCurveI",
    "GdipAddPathEllipse",
    "GdipAddPathEllipseI",
    "GdipAddPathLine",
    "GdipAddPathLine2",
    "GdipAddPathLine2I",
    "GdipAddPathLineI",
    "GdipAddPathPath",
    "GdipAddPathPie",
    "GdipAddPathPieI",
    "GdipAddPathPolygon",
    "GdipAddPathPolygonI",
    "GdipAddPathRectangle",
    "GdipAddPathRectangleI",
    "GdipAddPathRectangles",
    "GdipAddPathRectanglesI",
    "GdipAddPathString",
    "GdipAddPathStringI",
    "GdipBeginContainer",
    "GdipBeginContainer2",
    "GdipBeginContainerI",
    "GdipBitmapGetPixel",
    "GdipBitmapLockBits",
    "GdipBitmapSetPixel",
    "GdipBitmapSetResolution",
    "GdipBitmapUnlockBits",
    "GdipClearPathMarkers",
    "GdipCloneBitmapArea",
    "GdipCloneBitmapAreaI",
    "GdipCloneBrush",
    "GdipCloneFont",
    "GdipCloneFontFamily",
    "GdipCloneImage",
    "GdipCloneImageAttributes",
    "GdipCloneMatrix",
    "GdipClonePath",
    "GdipClonePen",
    "GdipCloneRegion",
    "GdipCloneStringFormat",
    "GdipClosePathFigure",
    "GdipClosePathFigures",
    "GdipCombineRegionPath",
    "GdipCombineRegionRect",
    "GdipCombineRegionRectI",
    "GdipCombineRegionRegion",
    "GdipCreateBitmapFromFile",
    "GdipCreateBitmapFromFileICM",
    "GdipCreateBitmapFromGdiDib",
    "GdipCreateBitmapFromGraphics",
    "GdipCreateBitmapFromHICON",
    "GdipCreateBitmapFromStream",
    "GdipCreateBitmapFromStreamICM",
    "GdipCreateCachedBitmap",
    "GdipCreateFont",
    "GdipCreateFontFamilyFromName",
    "GdipCreateFontFromDC",
    "GdipCreateFontFromLogfontW",
    "GdipCreateFromHDC2",
    "GdipCreateHICONFromBitmap",
    "GdipCreateLineBrush",
    "GdipCreateLineBrushFromRect",
    "GdipCreateLineBrushFromRectWithAngle",
    "GdipCreateLineBrushFromRectWithAngleI",
    "GdipCreateLineBrushI",
    "GdipCreateMatrix",
    "GdipCreateMatrix2",
    "GdipCreateMatrix3",
    "GdipCreateMatrix3I",
    "GdipCreateMetafileFromEmf",
    "GdipCreatePath",
    "GdipCreatePath2",
    "GdipCreatePath2I",
    "GdipCreatePathGradient",
    "GdipCreatePen2",
    "GdipCreateRegion",
    "GdipCreateRegionHrgn",
    "GdipCreateRegionPath",
    "GdipCreateRegionRect",
    "GdipCreateRegionRectI",
    "GdipCreateTexture",
    "GdipCreateTexture2",
    "GdipCreateTextureIA",
    "GdipCreateTextureIAI",
    "GdipDeleteCachedBitmap",
    "GdipDeleteFontFamily",
    "GdipDeleteMatrix",
    "GdipDeletePath",
    "GdipDeletePrivateFontCollection",
    "GdipDeleteRegion",
    "GdipDrawArc",
    "GdipDrawBezier",
    "GdipDrawBezierI",
    "GdipDrawBeziers",
    "GdipDrawBeziersI",
    "GdipDrawCachedBitmap",
    "GdipDrawClosedCurve",
    "GdipDrawClosedCurve2",
    "GdipDrawClosedCurve2I",
    "GdipDrawClosedCurveI",
    "GdipDrawCurve",
    "GdipDrawCurve2",
    "GdipDrawCurve2I",
    "GdipDrawCurve3",
    "GdipDrawCurve3I",
    "GdipDrawCurveI",
    "GdipDrawEllipse",
    "GdipDrawImage",
    "GdipDrawImageI",
    "GdipDrawImagePointRect",
    "GdipDrawImagePointRectI",
    "GdipDrawImagePoints",
    "GdipDrawImagePointsI",
    "GdipDrawImagePointsRect",
    "GdipDrawImagePointsRectI",
    "GdipDrawImageRect",
    "GdipDrawImageRectRect",
    "GdipDrawLine",
    "GdipDrawLines",
    "GdipDrawLinesI",
    "GdipDrawPath",
    "GdipDrawPie",
    "GdipDrawPolygonI",
    "GdipDrawRectangle",
    "GdipDrawRectangleI",
    "GdipDrawRectangles",
    "GdipDrawRectanglesI",
    "GdipEndContainer",
    "GdipFillClosedCurve",
    "GdipFillClosedCurve2",
    "GdipFillClosedCurve2I",
    "GdipFillClosedCurveI",
    "GdipFillEllipse",
    "GdipFillPath",
    "GdipFillPie",
    "GdipFillPolygon2",
    "GdipFillPolygon2I",
    "GdipFillPolygonI",
    "GdipFillRectangle",
    "GdipFillRectangles",
    "GdipFillRectanglesI",
    "GdipFillRegion",
    "GdipFlattenPath",
    "GdipFlush",
    "GdipGetAllPropertyItems",
    "GdipGetBrushType",
    "GdipGetCellAscent",
    "GdipGetCellDescent",
    "GdipGetClip",
    "GdipGetClipBounds",
    "GdipGetClipBoundsI",
    "GdipGetCompositingMode",
    "GdipGetCompositingQuality",
    "GdipGetDC",
    "GdipGetDpiX",
    "GdipGetDpiY",
    "GdipGetEmHeight",
    "GdipGetEncoderParameterList",
    "GdipGetEncoderParameterListSize",
    "GdipGetFamily",
    "GdipGetFamilyName",
    "GdipGetFontCollectionFamilyCount",
    "GdipGetFontCollectionFamilyList",
    "GdipGetFontHeight",
    "GdipGetFontHeightGivenDPI",
    "GdipGetFontSize",
    "GdipGetFontStyle",
    "GdipGetFontUnit",
    "GdipGetGenericFontFamilyMonospace",
    "GdipGetGenericFontFamilySansSerif",
    "GdipGetGenericFontFamilySerif",
    "GdipGetImageBounds",
    "GdipGetImageDecoders",
    "GdipGetImageDecodersSize",
    "GdipGetImageFlags",
    "GdipGetImageHorizontalResolution",
    "GdipGetImagePalette",
    "GdipGetImagePaletteSize",
    "GdipGetImagePixelFormat",
    "GdipGetImageThumbnail",
    "GdipGetImageType",
    "GdipGetImageVerticalResolution",
    "GdipGetInterpolationMode",
    "GdipGetLineBlend",
    "GdipGetLineBlendCount",
    "GdipGetLineColors",
    "GdipGetLineGammaCorrection",
    "GdipGetLinePresetBlend",
    "GdipGetLinePresetBlendCount",
    "GdipGetLineRect",
    "GdipGetLineRectI",
    "GdipGetLineSpacing",
    "GdipGetLineTransform",
    "GdipGetLineWrapMode",
    "GdipGetLogFontA",
    "GdipGetLogFontW",
    "GdipGetMatrixElements",
    "GdipGetNearestColor",
    "GdipGetPageScale",
    "GdipGetPageUnit",
    "GdipGetPathData",
    "GdipGetPathFillMode",
    "GdipGetPathLastPoint",
    "GdipGetPathPoints",
    "GdipGetPathPointsI",
    "GdipGetPathTypes",
    "GdipGetPathWorldBounds",
    "GdipGetPathWorldBoundsI",
    "GdipGetPenBrushFill",
    "GdipGetPenColor",
    "GdipGetPenCompoundCount",
    "GdipGetPenDashArray",
    "GdipGetPenDashCap197819",
    "GdipGetPenDashCount",
    "GdipGetPenDashOffset",
    "GdipGetPenDashStyle",
    "GdipGetPenEndCap",
    "GdipGetPenFillType",
    "GdipGetPenLineJoin",
    "GdipGetPenMiterLimit",
    "GdipGetPenMode",
    "GdipGetPenStartCap",
    "GdipGetPenTransform",
    "GdipGetPenUnit",
    "GdipGetPenWidth",
    "GdipGetPixelOffsetMode",
    "GdipGetPointCount",
    "GdipGetPropertyCount",
    "GdipGetPropertyIdList",
    "GdipGetPropertyItem",
    "GdipGetPropertyItemSize",
    "GdipGetPropertySize",
    "GdipGetRegionBounds",
    "GdipGetRegionBoundsI",
    "GdipGetRegionHRgn",
    "GdipGetRegionScans",
    "GdipGetRegionScansCount",
    "GdipGetRegionScansI",
    "GdipGetRenderingOrigin",
    "GdipGetSmoothingMode",
    "GdipGetSolidFillColor",
    "GdipGetStringFormatAlign",
    "GdipGetStringFormatDigitSubstitution",
    "GdipGetStringFormatFlags",
    "GdipGetStringFormatHotkeyPrefix",
    "GdipGetStringFormatLineAlign",
    "GdipGetStringFormatMeasurableCharacterRangeCount",
    "GdipGetStringFormatTabStopCount",
    "GdipGetStringFormatTabStops",
    "GdipGetStringFormatTrimming",
    "GdipGetTextContrast",
    "GdipGetTextRenderingHint",
    "GdipGetTextureImage",
    "GdipGetTextureTransform",
    "GdipGetTextureWrapMode",
    "GdipGetVisibleClipBounds",
    "GdipGetVisibleClipBoundsI",
    "GdipGetWorldTransform",
    "GdipGraphicsClear",
    "GdipImageForceValidation",
    "GdipImageGetFrameCount",
    "GdipImageGetFrameDimensionsCount",
    "GdipImageGetFrameDimensionsList",
    "GdipImageRotateFlip",
    "GdipImageSelectActiveFrame",
    "GdipInvertMatrix",
    "GdipIsClipEmpty",
    "GdipIsEmptyRegion",
    "GdipIsEqualRegion",
    "GdipIsInfiniteRegion",
    "GdipIsMatrixEqual",
    "GdipIsMatrixIdentity",
    "GdipIsMatrixInvertible",
    "GdipIsOutlineVisiblePathPoint",
    "GdipIsOutlineVisiblePathPointI",
    "GdipIsStyleAvailable",
    "GdipIsVisibleClipEmpty",
    "GdipIsVisiblePathPoint",
    "GdipIsVisiblePathPointI",
    "GdipIsVisiblePoint",
    "GdipIsVisiblePointI",
    "GdipIsVisibleRect",
    "GdipIsVisibleRegionPoint",
    "GdipIsVisibleRegionPointI",
    "GdipIsVisibleRegionRect",
    "GdipIsVisibleRegionRectI",
    "GdipLoadImageFromFile",
    "GdipLoadImageFromFileICM",
    "GdipLoadImageFromStreamICM",
    "GdiplusNotificationHook",
    "GdiplusNotificationUnhook",
    "GdipMeasureCharacterRanges",
    "GdipMeasureString",
    "GdipMultiplyLineTransform",
    "GdipMultiplyMatrix",
    "GdipMultiplyPenTransform",
    "GdipMultiplyTextureTransform",
    "GdipMultiplyWorldTransform",
    "GdipNewInstalledFontCollection",
    "GdipNewPrivateFontCollection",
    "GdipPathIterRewind",
    "GdipPrivateAddFontFile",
    "GdipReleaseDC",
    "GdipRemovePropertyItem",
    "GdipResetClip",
    "GdipResetImageAttributes",
    "GdipResetLineTransform",
    "GdipResetPageTransform",
    "GdipResetPath",
    "GdipResetPenTransform",
    "GdipResetTextureTransform",
    "GdipResetWorldTransform",
    "GdipRestoreGraphics",
    "GdipReversePath",
    "GdipRotateLineTransform",
    "GdipRotateMatrix",
    "GdipRotatePenTransform",
    "GdipRotateTextureTransform",
    "GdipRotateWorldTransform",
    "GdipSaveGraphics",
    "GdipSaveImageToFile",
    "GdipScaleLineTransform",
    "GdipScaleMatrix",
    "GdipScalePenTransform",
    "GdipScaleTextureTransform",
    "GdipScaleWorldTransform",
    "GdipSetClipGraphics",
    "GdipSetClipHrgn",
    "GdipSetClipPath",
    "GdipSetClipRect",
    "GdipSetClipRectI",
    "GdipSetClipRegion",
    "GdipSetCompositingQuality",
    "GdipSetEmpty",
    "GdipSetImageAttributesCachedBackground",
    "GdipSetImageAttributesColorKeys",
    "GdipSetImageAttributesGamma",
    "GdipSetImageAttributesICMMode",
    "GdipSetImageAttributesNoOp",
    "GdipSetImageAttributesRemapTable",
    "GdipSetImageAttributesThreshold",
    "GdipSetImageAttributesToIdentity",
    "GdipSetImageAttributesWrapMode",
    "GdipSetImagePalette",
    "GdipSetInfinite",
    "GdipSetLineBlend",
    "GdipSetLineColors",
    "GdipSetLineGammaCorrection",
    "GdipSetLineLinearBlend",
    "GdipSetLinePresetBlend",
    "GdipSetLineSigmaBlend",
    "GdipSetLineTransform",
    "GdipSetLineWrapMode",
    "GdipSetMatrixElements",
    "GdipSetPageScale",
    "GdipSetPageUnit",
    "GdipSetPathFillMode",
    "GdipSetPathMarker",
    "GdipSetPenBrushFill",
    "GdipSetPenColor",
    "GdipSetPenDashArray",
    "GdipSetPenDashCap197819",
    "GdipSetPenDashOffset",
    "GdipSetPenEndCap",
    "GdipSetPenLineCap197819",
    "GdipSetPenLineJoin",
    "GdipSetPenMiterLimit",
    "GdipSetPenMode",
    "GdipSetPenStartCap",
    "GdipSetPenTransform",
    "GdipSetPenUnit",
    "GdipSetPenWidth",
    "GdipSetPixelOffsetMode",
    "GdipSetRenderingOrigin",
    "GdipSetSolidFillColor",
    "GdipSetStringFormatDigitSubstitution",
    "GdipSetStringFormatFlags",
    "GdipSetStringFormatHotkeyPrefix",
    "GdipSetStringFormatMeasurableCharacterRanges",
    "GdipSetStringFormatTabStops",
    "GdipSetStringFormatTrimming",
    "GdipSetTextContrast",
    "GdipSetTextureTransform",
    "GdipSetTextureWrapMode",
    "GdipSetWorldTransform",
    "GdipShearMatrix",
    "GdipStartPathFigure",
    "GdipStringFormatGetGenericDefault",
    "GdipStringFormatGetGenericTypographic",
    "GdipTransformMatrixPoints",
    "GdipTransformMatrixPointsI",
    "GdipTransformPath",
    "GdipTransformPoints",
    "GdipTransformPointsI",
    "GdipTransformRegion",
    "GdipTranslateClip",
    "GdipTranslateClipI",
    "GdipTranslateLineTransform",
    "GdipTranslateMatrix",
    "GdipTranslatePenTransform",
    "GdipTranslateRegion",
    "GdipTranslateRegionI",
    "GdipTranslateTextureTransform",
    "GdipTranslateWorldTransform",
    "GdipVectorTransformMatrixPoints",
    "GdipVectorTransformMatrixPointsI",
    "GdipWarpPath",
    "GdipWidenPath",
};
constexpr size_t kOtherCount = sizeof(kOtherNames) / sizeof(kOtherNames[0]);
const TResStringRec sdxInvalidGdipOperation{&HInstance, 60040};
const TResStringRec sdxApplicationError{&HInstance, 60041};

FARPROC gOtherEntryPoints[kOtherCount + 1] = {};  // the last is GdipEmfToWmfBits

std::vector<TdxGpEntryPoint> BuildTable() {
  std::vector<TdxGpEntryPoint> t;
#define DX_GP_TABLE_ROW(Name) t.push_back({#Name, &dxGpApi.Name});
  DX_GP_CALLED_ENTRY_POINTS(DX_GP_TABLE_ROW)
#undef DX_GP_TABLE_ROW
  for (size_t i = 0; i < kOtherCount; ++i) t.push_back({kOtherNames[i], &gOtherEntryPoints[i]});
  t.push_back({"GdipEmfToWmfBits", &gOtherEntryPoints[kOtherCount]});
  return t;
}

const char* gLibraryFileName = "gdiplus.dll";
HMODULE gLibrary = nullptr;
bool gAvailable = false;
ULONG_PTR gToken = 0;
GdiplusStartupOutput gStartupOutput{};

// Version 1, no debug callback, no background thread, external codecs
// allowed.
const GdiplusStartupInput kStartupInput{1, nullptr, TRUE, FALSE};

void ClearProcedures(std::span<const TdxGpEntryPoint> ATable) {
  for (const TdxGpEntryPoint& e : ATable) std::memset(e.Slot, 0, sizeof(FARPROC));
  dxGpApi.GdipCreateFontFromLogfont = nullptr;
}

const char kMissingLibraryText[] =
    "This application requires the Microsoft GDI+ library to be installed. Gdiplus.dll is included with "
    "Windows XP and Vista. GDI+ is available as a redistributable file for Windows NT 4.0 SP6, Windows 2000, "
    "Windows 98, and Windows Me.  To download the latest redistributable,  see "
    "https://calvexa.example/downloads/gdiplus";

[[noreturn]] void ReportMissingLibraryAndHalt() {
  AnsiString caption = LoadResString(&sdxApplicationError).substr(0, 127);
  MessageBoxA(nullptr, kMissingLibraryText, caption.c_str(), MB_TASKMODAL | MB_ICONERROR);
  FinalizeUnits();
  // Ends with a failure code: the program did not run.
  std::exit(1);
}

// Set by operator new for the constructor that follows it.
thread_local const void* tLastBlock = nullptr;
thread_local bool tLastBlockFromGdip = false;

struct TBlockHeader {
  void (*Free)(void*);
  void* Pad;  // keeps the object 16-byte aligned
};

}  // namespace

std::span<const TdxGpEntryPoint> dxGpEntryPointTable() {
  static const std::vector<TdxGpEntryPoint> table = BuildTable();
  return table;
}

bool dxGpIsAvailable() { return gAvailable; }

FARPROC dxGpBindEntryPoint(const char* AName) {
  if (!gAvailable) return nullptr;
  FARPROC p = GetProcAddress(gLibrary, AName);
  gAvailable = p != nullptr;
  return p;
}

namespace dx_gdiplus_detail {

void BindLibraryWith(std::span<const TdxGpEntryPoint> ATable) {
  if (gAvailable) return;
  gLibrary = SafeLoadLibrary(gLibraryFileName, SEM_NOOPENFILEERRORBOX);
  gAvailable = gLibrary != nullptr;
  if (gLibrary) {
    for (const TdxGpEntryPoint& e : ATable) {
      FARPROC p = dxGpBindEntryPoint(e.Name);
      std::memcpy(e.Slot, &p, sizeof p);
    }
    dxGpApi.GdipCreateFontFromLogfont = dxGpApi.GdipCreateFontFromLogfontA;
  }
  if (gAvailable) {
    gStartupOutput = {};
    if (dxGpApi.GdiplusStartup(&gToken, &kStartupInput, &gStartupOutput) != Ok ||
        !gStartupOutput.NotificationHook || gStartupOutput.NotificationHook(&gToken) != Ok) {
      gAvailable = false;
      gStartupOutput = {};
    }
  }
  if (!gAvailable && gLibrary) {
    // A failed binding lets its reference go now, so checks that keep
    // failing do not pile references up.
    if (gToken && dxGpApi.GdiplusShutdown) dxGpApi.GdiplusShutdown(gToken);
    gToken = 0;
    FreeLibrary(gLibrary);
    gLibrary = nullptr;
    ClearProcedures(ATable);
  }
}

void StartBindingUnit() {
  // A binding made ahead of the start-up stays: clearing the flag alone
  // would load the library again over the reference held and lose it.
  if (!gLibrary) gAvailable = false;
}

void StopBindingUnit() { dxGpReleaseLibrary(); }

ULONG_PTR StartupToken() { return gToken; }

void SetLibraryFileName(const char* AFileName) { gLibraryFileName = AFileName; }

}  // namespace dx_gdiplus_detail

void dxGpBindLibrary() { dx_gdiplus_detail::BindLibraryWith(dxGpEntryPointTable()); }

bool dxGpCheckAvailable(bool AShowMessage) {
  if (!gAvailable) dxGpBindLibrary();
  if (!gAvailable && AShowMessage) ReportMissingLibraryAndHalt();
  return gAvailable;
}

void dxGpReleaseLibrary() {
  if (gAvailable) {
    if (gStartupOutput.NotificationUnhook) gStartupOutput.NotificationUnhook(gToken);
    dxGpApi.GdiplusShutdown(gToken);
    gToken = 0;
    gStartupOutput = {};
  }
  if (gLibrary) {
    FreeLibrary(gLibrary);
    gLibrary = nullptr;
  }
  gAvailable = false;
  ClearProcedures(dxGpEntryPointTable());
}

// ---- Status ---------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(EdxGdipException)

EdxGdipException::EdxGdipException(GpStatus AErrorCode)
    : EdxException(Format(LoadResString(&sdxInvalidGdipOperation), {static_cast<Integer>(AErrorCode)})),
      FErrorCode(AErrorCode) {}

void dxGpCheck(GpStatus AStatus) {
  if (AStatus != Ok) throw EdxGdipException(AStatus);
}

// ---- Conversions ----------------------------------------------------------------

TdxGpARGB dxGpColorToARGB(TColor AColor, TdxGpAlpha AAlpha) {
  if (AColor == clNone) return TdxGpARGB{0};
  COLORREF c = ColorToRGB(AColor);
  ARGB r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  return TdxGpARGB{(ARGB{AAlpha.Value} << 24) | (r << 16) | (g << 8) | b};
}

GpBitmap* dxGpCreateBitmapOfSize(Integer AWidth, Integer AHeight) {
  GpBitmap* bitmap = nullptr;
  dxGpCheck(dxGpApi.GdipCreateBitmapFromScan0(AWidth, AHeight, 0, PixelFormat32bppPARGB, nullptr, &bitmap));
  return bitmap;
}

GpBitmap* dxGpCreateBitmapOfSize(const TSize& ASize) { return dxGpCreateBitmapOfSize(ASize.cx, ASize.cy); }

GpBitmap* dxGpCreateBitmapForRect(const TRect& R) { return dxGpCreateBitmapOfSize(R.Width(), R.Height()); }

GpFont* dxGpCreateFontFromTFont(TFont* AFont) {
  LOGFONTA lf{};
  GetObjectA(AFont->Handle(), sizeof lf, &lf);
  HDC dc = GetDC(nullptr);
  GpFont* font = nullptr;
  GpStatus status = dxGpApi.GdipCreateFontFromLogfontA(dc, &lf, &font);
  ReleaseDC(nullptr, dc);
  dxGpCheck(status);
  return font;
}

GpRectF dxGpRectToRectF(const TRect& R) {
  return GpRectF{static_cast<REAL>(R.Left), static_cast<REAL>(R.Top), static_cast<REAL>(R.Width()),
                 static_cast<REAL>(R.Height())};
}

GpRect dxGpMakeRect(Integer X, Integer Y, Integer AWidth, Integer AHeight) { return GpRect{X, Y, AWidth, AHeight}; }

// ---- Encoders ---------------------------------------------------------------------

namespace {

bool SameTextW(const WCHAR* A, const WideString& B) {
  if (!A) return false;
  size_t i = 0;
  for (; A[i] && i < B.size(); ++i) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    if (lower(A[i]) != lower(B[i])) return false;
  }
  return A[i] == 0 && i == B.size();
}

}  // namespace

GpStatus dxGpFindEncoderByMimeType(const WideString& AMimeType, CLSID& AClassID) {
  GpStatus result = GenericError;
  if (!dxGpCheckAvailable(false)) return result;
  UINT count = 0, size = 0;
  if (dxGpApi.GdipGetImageEncodersSize(&count, &size) != Ok || size == 0) return result;
  std::vector<std::byte> buffer(size);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  if (dxGpApi.GdipGetImageEncoders(count, size, codecs) != Ok) return result;
  for (UINT i = 0; i < count; ++i)
    if (SameTextW(codecs[i].MimeType, AMimeType)) {
      AClassID = codecs[i].Clsid;
      return Ok;
    }
  return result;
}

void dxGpEnsureEncoder(const WideString& AMimeType, CLSID& AClassID) {
  uint64_t head = 0;
  std::memcpy(&head, &AClassID, sizeof head);
  if (head == 0) dxGpCheck(dxGpFindEncoderByMimeType(AMimeType, AClassID));
}

void dxGpPrepareEncoders() {
  dxGpEnsureEncoder(u"image/bmp", dxGpBmpEncoder);
  dxGpEnsureEncoder(u"image/png", dxGpPngEncoder);
  dxGpEnsureEncoder(u"image/jpeg", dxGpJpegEncoder);
  dxGpEnsureEncoder(u"image/tiff", dxGpTiffEncoder);
  dxGpEnsureEncoder(u"image/gif", dxGpGifEncoder);
}

// ---- Wrapper objects ---------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TdxGpBase)

void* TdxGpBase::operator new(size_t ASize) {
  bool fromGdip = gAvailable && dxGpApi.GdipAlloc && dxGpApi.GdipFree;
  size_t total = ASize + sizeof(TBlockHeader);
  void* block = fromGdip ? dxGpApi.GdipAlloc(total) : std::malloc(total);
  if (!block) throw std::bad_alloc();
  auto* header = static_cast<TBlockHeader*>(block);
  header->Free = fromGdip ? dxGpApi.GdipFree : &std::free;
  header->Pad = nullptr;
  void* object = header + 1;
  tLastBlock = object;
  tLastBlockFromGdip = fromGdip;
  return object;
}

void TdxGpBase::operator delete(void* APointer) noexcept {
  if (!APointer) return;
  auto* header = static_cast<TBlockHeader*>(APointer) - 1;
  header->Free(header);
}

bool TdxGpBase::AllocatedByGdiPlus() const { return FAllocatedByGdiPlus; }

TdxGpBase::TdxGpBase() : FAllocatedByGdiPlus(tLastBlock == this && tLastBlockFromGdip) { tLastBlock = nullptr; }
