// Binding by name: what each library the layer stands in for exports
// (kExports below), over the loader's list of modules (kernel_module). A
// library or a name missing here is missing for the program.
#include "platform/win/modules.h"

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/resources.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/kernel/kernel_locale.h"
#include "platform/win/gdiplus/gdiplus.h"
#include "platform/win/kernel/kernel_compare.h"
#include "platform/win/shell/ole_guid.h"
#include "platform/win/shell/shlobj.h"
#include "platform/win/comctl/commctrl.h"
#include "platform/win/dwm/dwmapi.h"
#include "platform/win/kernel/kernel_calendar.h"
#include "platform/win/kernel/kernel_codepages.h"
#include "platform/win/kernel/kernel_datefmt.h"
#include "platform/win/kernel/kernel_locale.h"
#include "platform/win/kernel/kernel_system.h"
#include "platform/win/oleacc/oleacc.h"
#include "platform/win/user/user.h"
#include "platform/win/uxtheme/uxtheme.h"

namespace rtl::detail {
namespace {

#define EXPORT(fn) {#fn, reinterpret_cast<FARPROC>(&fn)}

// ---- kernel32.dll -----------------------------------------------------------

// QueueUserWorkItem is absent: no thread pool runs work here.
const TModuleExport kKernel32[] = {
    EXPORT(FreeLibrary),     EXPORT(GetErrorMode),    EXPORT(GetModuleHandleA), EXPORT(GetModuleHandleW),
    EXPORT(GetProcAddress),  EXPORT(LoadLibraryA),    EXPORT(LoadLibraryExA),   EXPORT(LoadLibraryExW),
    EXPORT(LoadLibraryW),    EXPORT(SetErrorMode),
    EXPORT(GetACP), EXPORT(GetOEMCP), EXPORT(IsDBCSLeadByte), EXPORT(IsDBCSLeadByteEx), EXPORT(IsValidCodePage),
    EXPORT(MultiByteToWideChar), EXPORT(WideCharToMultiByte),
    EXPORT(GetNativeSystemInfo), EXPORT(GetSystemInfo), EXPORT(IsWow64Process),
    EXPORT(QueryPerformanceCounter), EXPORT(QueryPerformanceFrequency),
    EXPORT(GetLocaleInfoA), EXPORT(GetSystemDefaultLCID), EXPORT(GetThreadLocale), EXPORT(GetUserDefaultLangID),
    EXPORT(GetUserDefaultLCID), EXPORT(IsValidLocale), EXPORT(SetThreadLocale),
    EXPORT(EnumCalendarInfoA), EXPORT(GetCalendarInfoA), EXPORT(GetDateFormatA), EXPORT(GetTimeFormatA),
    EXPORT(CompareStringW),
};

// ---- ole32.dll --------------------------------------------------------------

const TModuleExport kOle32[] = {
    EXPORT(CLSIDFromString), EXPORT(CoCreateGuid), EXPORT(CoTaskMemAlloc), EXPORT(CoTaskMemFree),
    EXPORT(StringFromCLSID),
};

// ---- user32.dll -------------------------------------------------------------
// The gesture and DPI functions (GetGestureInfo, SetGestureConfig,
// LogicalToPhysicalPoint, ...) are absent on purpose: touch never fires here.

const TModuleExport kUser32[] = {
    EXPORT(AnimateWindow),
    EXPORT(CharNextA),
    EXPORT(CharPrevA),
    EXPORT(SetLayeredWindowAttributes),
    EXPORT(UpdateLayeredWindow),
    EXPORT(WindowFromDC),
};

// ---- UxTheme.dll ------------------------------------------------------------

const TModuleExport kUxTheme[] = {
    EXPORT(BeginBufferedPaint), EXPORT(BeginPanningFeedback), EXPORT(BufferedPaintClear), EXPORT(BufferedPaintInit),
    EXPORT(BufferedPaintSetAlpha), EXPORT(BufferedPaintStopAllAnimations), EXPORT(BufferedPaintUnInit),
    EXPORT(CloseThemeData), EXPORT(DrawThemeBackground), EXPORT(DrawThemeEdge), EXPORT(DrawThemeIcon),
    EXPORT(DrawThemeParentBackground), EXPORT(DrawThemeText), EXPORT(DrawThemeTextEx),
    EXPORT(EnableThemeDialogTexture), EXPORT(EndBufferedPaint), EXPORT(EndPanningFeedback),
    EXPORT(GetBufferedPaintBits), EXPORT(GetBufferedPaintDC), EXPORT(GetBufferedPaintTargetDC),
    EXPORT(GetBufferedPaintTargetRect), EXPORT(GetCurrentThemeName), EXPORT(GetThemeAppProperties),
    EXPORT(GetThemeBackgroundContentRect), EXPORT(GetThemeBackgroundExtent), EXPORT(GetThemeBackgroundRegion),
    EXPORT(GetThemeBool), EXPORT(GetThemeColor), EXPORT(GetThemeDocumentationProperty), EXPORT(GetThemeEnumValue),
    EXPORT(GetThemeFilename), EXPORT(GetThemeFont), EXPORT(GetThemeInt), EXPORT(GetThemeIntList),
    EXPORT(GetThemeMargins), EXPORT(GetThemeMetric), EXPORT(GetThemePartSize), EXPORT(GetThemePosition),
    EXPORT(GetThemePropertyOrigin), EXPORT(GetThemeRect), EXPORT(GetThemeString), EXPORT(GetThemeSysBool),
    EXPORT(GetThemeSysColor), EXPORT(GetThemeSysColorBrush), EXPORT(GetThemeSysFont), EXPORT(GetThemeSysInt),
    EXPORT(GetThemeSysSize), EXPORT(GetThemeSysString), EXPORT(GetThemeTextExtent), EXPORT(GetThemeTextMetrics),
    EXPORT(GetWindowTheme), EXPORT(HitTestThemeBackground), EXPORT(IsAppThemed), EXPORT(IsThemeActive),
    EXPORT(IsThemeBackgroundPartiallyTransparent), EXPORT(IsThemeDialogTextureEnabled), EXPORT(IsThemePartDefined),
    EXPORT(OpenThemeData), EXPORT(SetThemeAppProperties), EXPORT(SetWindowTheme), EXPORT(UpdatePanningFeedback),
};

// ---- dwmapi.dll -------------------------------------------------------------

const TModuleExport kDwmapi[] = {
    EXPORT(DwmDefWindowProc), EXPORT(DwmEnableBlurBehindWindow), EXPORT(DwmEnableComposition),
    EXPORT(DwmEnableMMCSS), EXPORT(DwmExtendFrameIntoClientArea), EXPORT(DwmGetColorizationColor),
    EXPORT(DwmGetWindowAttribute), EXPORT(DwmInvalidateIconicBitmaps), EXPORT(DwmIsCompositionEnabled),
    EXPORT(DwmSetIconicLivePreviewBitmap), EXPORT(DwmSetIconicThumbnail), EXPORT(DwmSetWindowAttribute),
};

// ---- comctl32.dll -----------------------------------------------------------

const TModuleExport kComctl32[] = {
    EXPORT(ImageList_Add), EXPORT(ImageList_AddMasked), EXPORT(ImageList_Create), EXPORT(ImageList_Destroy),
    EXPORT(ImageList_Draw), EXPORT(ImageList_DrawEx), EXPORT(ImageList_DrawIndirect), EXPORT(ImageList_Duplicate),
    EXPORT(ImageList_GetBkColor), EXPORT(ImageList_GetIcon), EXPORT(ImageList_GetIconSize),
    EXPORT(ImageList_GetImageCount), EXPORT(ImageList_GetImageInfo), EXPORT(ImageList_Read),
    EXPORT(ImageList_Remove), EXPORT(ImageList_Replace), EXPORT(ImageList_ReplaceIcon), EXPORT(ImageList_SetBkColor),
    EXPORT(ImageList_SetIconSize), EXPORT(ImageList_SetImageCount), EXPORT(ImageList_SetOverlayImage),
    EXPORT(ImageList_Write), EXPORT(InitCommonControls), EXPORT(InitCommonControlsEx),
    EXPORT(ImageList_BeginDrag), EXPORT(ImageList_DragEnter), EXPORT(ImageList_DragMove),
    EXPORT(ImageList_DragLeave), EXPORT(ImageList_DragShowNolock), EXPORT(ImageList_EndDrag),
    EXPORT(ImageList_SetDragCursorImage), EXPORT(ImageList_GetDragImage),
};

// ---- oleacc.dll -------------------------------------------------------------

const TModuleExport kOleacc[] = {
    EXPORT(AccessibleObjectFromWindow),
    EXPORT(CreateStdAccessibleObject),
    EXPORT(LresultFromObject),
    EXPORT(ObjectFromLresult),
};

// ---- msimg32.dll ------------------------------------------------------------

const TModuleExport kMsimg32[] = {
    EXPORT(AlphaBlend),
    EXPORT(GradientFill),
    EXPORT(TransparentBlt),
};

// ---- gdiplus.dll ----------------------------------------------------------

const TModuleExport kGdiplus[] = {
    EXPORT(GdipAddPathArc), EXPORT(GdipAddPathArcI), EXPORT(GdipAddPathBezier), EXPORT(GdipAddPathBezierI),
    EXPORT(GdipAddPathBeziers), EXPORT(GdipAddPathBeziersI), EXPORT(GdipAddPathClosedCurve),
    EXPORT(GdipAddPathClosedCurve2), EXPORT(GdipAddPathClosedCurve2I), EXPORT(GdipAddPathClosedCurveI),
    EXPORT(GdipAddPathCurve), EXPORT(GdipAddPathCurve2), EXPORT(GdipAddPathCurve2I), EXPORT(GdipAddPathCurve3),
    EXPORT(GdipAddPathCurve3I), EXPORT(GdipAddPathCurveI), EXPORT(GdipAddPathEllipse), EXPORT(GdipAddPathEllipseI),
    EXPORT(GdipAddPathLine), EXPORT(GdipAddPathLine2), EXPORT(GdipAddPathLine2I), EXPORT(GdipAddPathLineI),
    EXPORT(GdipAddPathPath), EXPORT(GdipAddPathPie), EXPORT(GdipAddPathPieI), EXPORT(GdipAddPathPolygon),
    EXPORT(GdipAddPathPolygonI), EXPORT(GdipAddPathRectangle), EXPORT(GdipAddPathRectangleI),
    EXPORT(GdipAddPathRectangles), EXPORT(GdipAddPathRectanglesI), EXPORT(GdipAddPathString),
    EXPORT(GdipAddPathStringI), EXPORT(GdipAlloc), EXPORT(GdipBeginContainer), EXPORT(GdipBeginContainer2),
    EXPORT(GdipBeginContainerI), EXPORT(GdipBitmapGetPixel), EXPORT(GdipBitmapLockBits), EXPORT(GdipBitmapSetPixel),
    EXPORT(GdipBitmapSetResolution), EXPORT(GdipBitmapUnlockBits), EXPORT(GdipClearPathMarkers),
    EXPORT(GdipCloneBitmapArea), EXPORT(GdipCloneBitmapAreaI), EXPORT(GdipCloneBrush), EXPORT(GdipCloneFont),
    EXPORT(GdipCloneFontFamily), EXPORT(GdipCloneImage), EXPORT(GdipCloneImageAttributes), EXPORT(GdipCloneMatrix),
    EXPORT(GdipClonePath), EXPORT(GdipClonePen), EXPORT(GdipCloneRegion), EXPORT(GdipCloneStringFormat),
    EXPORT(GdipClosePathFigure), EXPORT(GdipClosePathFigures), EXPORT(GdipCombineRegionPath),
    EXPORT(GdipCombineRegionRect), EXPORT(GdipCombineRegionRectI), EXPORT(GdipCombineRegionRegion),
    EXPORT(GdipCreateBitmapFromFile), EXPORT(GdipCreateBitmapFromFileICM), EXPORT(GdipCreateBitmapFromGdiDib),
    EXPORT(GdipCreateBitmapFromGraphics), EXPORT(GdipCreateBitmapFromHBITMAP), EXPORT(GdipCreateBitmapFromHICON),
    EXPORT(GdipCreateBitmapFromScan0), EXPORT(GdipCreateBitmapFromStream), EXPORT(GdipCreateBitmapFromStreamICM),
    EXPORT(GdipCreateCachedBitmap), EXPORT(GdipCreateFont), EXPORT(GdipCreateFontFamilyFromName),
    EXPORT(GdipCreateFontFromDC), EXPORT(GdipCreateFontFromLogfontA), EXPORT(GdipCreateFontFromLogfontW),
    EXPORT(GdipCreateFromHDC), EXPORT(GdipCreateFromHDC2), EXPORT(GdipCreateHBITMAPFromBitmap),
    EXPORT(GdipCreateHICONFromBitmap), EXPORT(GdipCreateImageAttributes), EXPORT(GdipCreateLineBrush),
    EXPORT(GdipCreateLineBrushFromRect), EXPORT(GdipCreateLineBrushFromRectI),
    EXPORT(GdipCreateLineBrushFromRectWithAngle), EXPORT(GdipCreateLineBrushFromRectWithAngleI),
    EXPORT(GdipCreateLineBrushI), EXPORT(GdipCreateMatrix), EXPORT(GdipCreateMatrix2), EXPORT(GdipCreateMatrix3),
    EXPORT(GdipCreateMatrix3I), EXPORT(GdipCreateMetafileFromEmf), EXPORT(GdipCreatePath), EXPORT(GdipCreatePath2),
    EXPORT(GdipCreatePath2I), EXPORT(GdipCreatePathGradient), EXPORT(GdipCreatePen1), EXPORT(GdipCreatePen2),
    EXPORT(GdipCreateRegion), EXPORT(GdipCreateRegionHrgn), EXPORT(GdipCreateRegionPath), EXPORT(GdipCreateRegionRect),
    EXPORT(GdipCreateRegionRectI), EXPORT(GdipCreateSolidFill), EXPORT(GdipCreateStringFormat),
    EXPORT(GdipCreateTexture), EXPORT(GdipCreateTexture2), EXPORT(GdipCreateTexture2I), EXPORT(GdipCreateTextureIA),
    EXPORT(GdipCreateTextureIAI), EXPORT(GdipDeleteBrush), EXPORT(GdipDeleteCachedBitmap), EXPORT(GdipDeleteFont),
    EXPORT(GdipDeleteFontFamily), EXPORT(GdipDeleteGraphics), EXPORT(GdipDeleteMatrix), EXPORT(GdipDeletePath),
    EXPORT(GdipDeletePen), EXPORT(GdipDeletePrivateFontCollection), EXPORT(GdipDeleteRegion),
    EXPORT(GdipDeleteStringFormat), EXPORT(GdipDisposeImage), EXPORT(GdipDisposeImageAttributes), EXPORT(GdipDrawArc),
    EXPORT(GdipDrawArcI), EXPORT(GdipDrawBezier), EXPORT(GdipDrawBezierI), EXPORT(GdipDrawBeziers),
    EXPORT(GdipDrawBeziersI), EXPORT(GdipDrawCachedBitmap), EXPORT(GdipDrawClosedCurve), EXPORT(GdipDrawClosedCurve2),
    EXPORT(GdipDrawClosedCurve2I), EXPORT(GdipDrawClosedCurveI), EXPORT(GdipDrawCurve), EXPORT(GdipDrawCurve2),
    EXPORT(GdipDrawCurve2I), EXPORT(GdipDrawCurve3), EXPORT(GdipDrawCurve3I), EXPORT(GdipDrawCurveI),
    EXPORT(GdipDrawEllipse), EXPORT(GdipDrawEllipseI), EXPORT(GdipDrawImage), EXPORT(GdipDrawImageI),
    EXPORT(GdipDrawImagePointRect), EXPORT(GdipDrawImagePointRectI), EXPORT(GdipDrawImagePoints),
    EXPORT(GdipDrawImagePointsI), EXPORT(GdipDrawImagePointsRect), EXPORT(GdipDrawImagePointsRectI),
    EXPORT(GdipDrawImageRect), EXPORT(GdipDrawImageRectI), EXPORT(GdipDrawImageRectRect),
    EXPORT(GdipDrawImageRectRectI), EXPORT(GdipDrawLine), EXPORT(GdipDrawLineI), EXPORT(GdipDrawLines),
    EXPORT(GdipDrawLinesI), EXPORT(GdipDrawPath), EXPORT(GdipDrawPie), EXPORT(GdipDrawPieI), EXPORT(GdipDrawPolygon),
    EXPORT(GdipDrawPolygonI), EXPORT(GdipDrawRectangle), EXPORT(GdipDrawRectangleI), EXPORT(GdipDrawRectangles),
    EXPORT(GdipDrawRectanglesI), EXPORT(GdipDrawString), EXPORT(GdipEmfToWmfBits), EXPORT(GdipEndContainer),
    EXPORT(GdipFillClosedCurve), EXPORT(GdipFillClosedCurve2), EXPORT(GdipFillClosedCurve2I),
    EXPORT(GdipFillClosedCurveI), EXPORT(GdipFillEllipse), EXPORT(GdipFillEllipseI), EXPORT(GdipFillPath),
    EXPORT(GdipFillPie), EXPORT(GdipFillPieI), EXPORT(GdipFillPolygon), EXPORT(GdipFillPolygon2),
    EXPORT(GdipFillPolygon2I), EXPORT(GdipFillPolygonI), EXPORT(GdipFillRectangle), EXPORT(GdipFillRectangleI),
    EXPORT(GdipFillRectangles), EXPORT(GdipFillRectanglesI), EXPORT(GdipFillRegion), EXPORT(GdipFlattenPath),
    EXPORT(GdipFlush), EXPORT(GdipFree), EXPORT(GdipGetAllPropertyItems), EXPORT(GdipGetBrushType),
    EXPORT(GdipGetCellAscent), EXPORT(GdipGetCellDescent), EXPORT(GdipGetClip), EXPORT(GdipGetClipBounds),
    EXPORT(GdipGetClipBoundsI), EXPORT(GdipGetCompositingMode), EXPORT(GdipGetCompositingQuality), EXPORT(GdipGetDC),
    EXPORT(GdipGetDpiX), EXPORT(GdipGetDpiY), EXPORT(GdipGetEmHeight), EXPORT(GdipGetEncoderParameterList),
    EXPORT(GdipGetEncoderParameterListSize), EXPORT(GdipGetFamily), EXPORT(GdipGetFamilyName),
    EXPORT(GdipGetFontCollectionFamilyCount), EXPORT(GdipGetFontCollectionFamilyList), EXPORT(GdipGetFontHeight),
    EXPORT(GdipGetFontHeightGivenDPI), EXPORT(GdipGetFontSize), EXPORT(GdipGetFontStyle), EXPORT(GdipGetFontUnit),
    EXPORT(GdipGetGenericFontFamilyMonospace), EXPORT(GdipGetGenericFontFamilySansSerif),
    EXPORT(GdipGetGenericFontFamilySerif), EXPORT(GdipGetImageBounds), EXPORT(GdipGetImageDecoders),
    EXPORT(GdipGetImageDecodersSize), EXPORT(GdipGetImageDimension), EXPORT(GdipGetImageEncoders),
    EXPORT(GdipGetImageEncodersSize), EXPORT(GdipGetImageFlags), EXPORT(GdipGetImageGraphicsContext),
    EXPORT(GdipGetImageHeight), EXPORT(GdipGetImageHorizontalResolution), EXPORT(GdipGetImagePalette),
    EXPORT(GdipGetImagePaletteSize), EXPORT(GdipGetImagePixelFormat), EXPORT(GdipGetImageRawFormat),
    EXPORT(GdipGetImageThumbnail), EXPORT(GdipGetImageType), EXPORT(GdipGetImageVerticalResolution),
    EXPORT(GdipGetImageWidth), EXPORT(GdipGetInterpolationMode), EXPORT(GdipGetLineBlend),
    EXPORT(GdipGetLineBlendCount), EXPORT(GdipGetLineColors), EXPORT(GdipGetLineGammaCorrection),
    EXPORT(GdipGetLinePresetBlend), EXPORT(GdipGetLinePresetBlendCount), EXPORT(GdipGetLineRect),
    EXPORT(GdipGetLineRectI), EXPORT(GdipGetLineSpacing), EXPORT(GdipGetLineTransform), EXPORT(GdipGetLineWrapMode),
    EXPORT(GdipGetLogFontA), EXPORT(GdipGetLogFontW), EXPORT(GdipGetMatrixElements), EXPORT(GdipGetNearestColor),
    EXPORT(GdipGetPageScale), EXPORT(GdipGetPageUnit), EXPORT(GdipGetPathData), EXPORT(GdipGetPathFillMode),
    EXPORT(GdipGetPathLastPoint), EXPORT(GdipGetPathPoints), EXPORT(GdipGetPathPointsI), EXPORT(GdipGetPathTypes),
    EXPORT(GdipGetPathWorldBounds), EXPORT(GdipGetPathWorldBoundsI), EXPORT(GdipGetPenBrushFill),
    EXPORT(GdipGetPenColor), EXPORT(GdipGetPenCompoundCount), EXPORT(GdipGetPenDashArray),
    EXPORT(GdipGetPenDashCap197819), EXPORT(GdipGetPenDashCount), EXPORT(GdipGetPenDashOffset),
    EXPORT(GdipGetPenDashStyle), EXPORT(GdipGetPenEndCap), EXPORT(GdipGetPenFillType), EXPORT(GdipGetPenLineJoin),
    EXPORT(GdipGetPenMiterLimit), EXPORT(GdipGetPenMode), EXPORT(GdipGetPenStartCap), EXPORT(GdipGetPenTransform),
    EXPORT(GdipGetPenUnit), EXPORT(GdipGetPenWidth), EXPORT(GdipGetPixelOffsetMode), EXPORT(GdipGetPointCount),
    EXPORT(GdipGetPropertyCount), EXPORT(GdipGetPropertyIdList), EXPORT(GdipGetPropertyItem),
    EXPORT(GdipGetPropertyItemSize), EXPORT(GdipGetPropertySize), EXPORT(GdipGetRegionBounds),
    EXPORT(GdipGetRegionBoundsI), EXPORT(GdipGetRegionHRgn), EXPORT(GdipGetRegionScans),
    EXPORT(GdipGetRegionScansCount), EXPORT(GdipGetRegionScansI), EXPORT(GdipGetRenderingOrigin),
    EXPORT(GdipGetSmoothingMode), EXPORT(GdipGetSolidFillColor), EXPORT(GdipGetStringFormatAlign),
    EXPORT(GdipGetStringFormatDigitSubstitution), EXPORT(GdipGetStringFormatFlags),
    EXPORT(GdipGetStringFormatHotkeyPrefix), EXPORT(GdipGetStringFormatLineAlign),
    EXPORT(GdipGetStringFormatMeasurableCharacterRangeCount), EXPORT(GdipGetStringFormatTabStopCount),
    EXPORT(GdipGetStringFormatTabStops), EXPORT(GdipGetStringFormatTrimming), EXPORT(GdipGetTextContrast),
    EXPORT(GdipGetTextRenderingHint), EXPORT(GdipGetTextureImage), EXPORT(GdipGetTextureTransform),
    EXPORT(GdipGetTextureWrapMode), EXPORT(GdipGetVisibleClipBounds), EXPORT(GdipGetVisibleClipBoundsI),
    EXPORT(GdipGetWorldTransform), EXPORT(GdipGraphicsClear), EXPORT(GdipImageForceValidation),
    EXPORT(GdipImageGetFrameCount), EXPORT(GdipImageGetFrameDimensionsCount), EXPORT(GdipImageGetFrameDimensionsList),
    EXPORT(GdipImageRotateFlip), EXPORT(GdipImageSelectActiveFrame), EXPORT(GdipInvertMatrix), EXPORT(GdipIsClipEmpty),
    EXPORT(GdipIsEmptyRegion), EXPORT(GdipIsEqualRegion), EXPORT(GdipIsInfiniteRegion), EXPORT(GdipIsMatrixEqual),
    EXPORT(GdipIsMatrixIdentity), EXPORT(GdipIsMatrixInvertible), EXPORT(GdipIsOutlineVisiblePathPoint),
    EXPORT(GdipIsOutlineVisiblePathPointI), EXPORT(GdipIsStyleAvailable), EXPORT(GdipIsVisibleClipEmpty),
    EXPORT(GdipIsVisiblePathPoint), EXPORT(GdipIsVisiblePathPointI), EXPORT(GdipIsVisiblePoint),
    EXPORT(GdipIsVisiblePointI), EXPORT(GdipIsVisibleRect), EXPORT(GdipIsVisibleRectI),
    EXPORT(GdipIsVisibleRegionPoint), EXPORT(GdipIsVisibleRegionPointI), EXPORT(GdipIsVisibleRegionRect),
    EXPORT(GdipIsVisibleRegionRectI), EXPORT(GdipLoadImageFromFile), EXPORT(GdipLoadImageFromFileICM),
    EXPORT(GdipLoadImageFromStream), EXPORT(GdipLoadImageFromStreamICM), EXPORT(GdiplusNotificationHook),
    EXPORT(GdiplusNotificationUnhook), EXPORT(GdiplusShutdown), EXPORT(GdiplusStartup),
    EXPORT(GdipMeasureCharacterRanges), EXPORT(GdipMeasureString), EXPORT(GdipMultiplyLineTransform),
    EXPORT(GdipMultiplyMatrix), EXPORT(GdipMultiplyPenTransform), EXPORT(GdipMultiplyTextureTransform),
    EXPORT(GdipMultiplyWorldTransform), EXPORT(GdipNewInstalledFontCollection), EXPORT(GdipNewPrivateFontCollection),
    EXPORT(GdipPathIterRewind), EXPORT(GdipPrivateAddFontFile), EXPORT(GdipReleaseDC), EXPORT(GdipRemovePropertyItem),
    EXPORT(GdipResetClip), EXPORT(GdipResetImageAttributes), EXPORT(GdipResetLineTransform),
    EXPORT(GdipResetPageTransform), EXPORT(GdipResetPath), EXPORT(GdipResetPenTransform),
    EXPORT(GdipResetTextureTransform), EXPORT(GdipResetWorldTransform), EXPORT(GdipRestoreGraphics),
    EXPORT(GdipReversePath), EXPORT(GdipRotateLineTransform), EXPORT(GdipRotateMatrix), EXPORT(GdipRotatePenTransform),
    EXPORT(GdipRotateTextureTransform), EXPORT(GdipRotateWorldTransform), EXPORT(GdipSaveGraphics),
    EXPORT(GdipSaveImageToFile), EXPORT(GdipSaveImageToStream), EXPORT(GdipScaleLineTransform), EXPORT(GdipScaleMatrix),
    EXPORT(GdipScalePenTransform), EXPORT(GdipScaleTextureTransform), EXPORT(GdipScaleWorldTransform),
    EXPORT(GdipSetClipGraphics), EXPORT(GdipSetClipHrgn), EXPORT(GdipSetClipPath), EXPORT(GdipSetClipRect),
    EXPORT(GdipSetClipRectI), EXPORT(GdipSetClipRegion), EXPORT(GdipSetCompositingMode),
    EXPORT(GdipSetCompositingQuality), EXPORT(GdipSetEmpty), EXPORT(GdipSetImageAttributesCachedBackground),
    EXPORT(GdipSetImageAttributesColorKeys), EXPORT(GdipSetImageAttributesColorMatrix),
    EXPORT(GdipSetImageAttributesGamma), EXPORT(GdipSetImageAttributesICMMode), EXPORT(GdipSetImageAttributesNoOp),
    EXPORT(GdipSetImageAttributesRemapTable), EXPORT(GdipSetImageAttributesThreshold),
    EXPORT(GdipSetImageAttributesToIdentity), EXPORT(GdipSetImageAttributesWrapMode), EXPORT(GdipSetImagePalette),
    EXPORT(GdipSetInfinite), EXPORT(GdipSetInterpolationMode), EXPORT(GdipSetLineBlend), EXPORT(GdipSetLineColors),
    EXPORT(GdipSetLineGammaCorrection), EXPORT(GdipSetLineLinearBlend), EXPORT(GdipSetLinePresetBlend),
    EXPORT(GdipSetLineSigmaBlend), EXPORT(GdipSetLineTransform), EXPORT(GdipSetLineWrapMode),
    EXPORT(GdipSetMatrixElements), EXPORT(GdipSetPageScale), EXPORT(GdipSetPageUnit), EXPORT(GdipSetPathFillMode),
    EXPORT(GdipSetPathMarker), EXPORT(GdipSetPenBrushFill), EXPORT(GdipSetPenColor), EXPORT(GdipSetPenDashArray),
    EXPORT(GdipSetPenDashCap197819), EXPORT(GdipSetPenDashOffset), EXPORT(GdipSetPenDashStyle),
    EXPORT(GdipSetPenEndCap), EXPORT(GdipSetPenLineCap197819), EXPORT(GdipSetPenLineJoin), EXPORT(GdipSetPenMiterLimit),
    EXPORT(GdipSetPenMode), EXPORT(GdipSetPenStartCap), EXPORT(GdipSetPenTransform), EXPORT(GdipSetPenUnit),
    EXPORT(GdipSetPenWidth), EXPORT(GdipSetPixelOffsetMode), EXPORT(GdipSetRenderingOrigin),
    EXPORT(GdipSetSmoothingMode), EXPORT(GdipSetSolidFillColor), EXPORT(GdipSetStringFormatAlign),
    EXPORT(GdipSetStringFormatDigitSubstitution), EXPORT(GdipSetStringFormatFlags),
    EXPORT(GdipSetStringFormatHotkeyPrefix), EXPORT(GdipSetStringFormatLineAlign),
    EXPORT(GdipSetStringFormatMeasurableCharacterRanges), EXPORT(GdipSetStringFormatTabStops),
    EXPORT(GdipSetStringFormatTrimming), EXPORT(GdipSetTextContrast), EXPORT(GdipSetTextRenderingHint),
    EXPORT(GdipSetTextureTransform), EXPORT(GdipSetTextureWrapMode), EXPORT(GdipSetWorldTransform),
    EXPORT(GdipShearMatrix), EXPORT(GdipStartPathFigure), EXPORT(GdipStringFormatGetGenericDefault),
    EXPORT(GdipStringFormatGetGenericTypographic), EXPORT(GdipTransformMatrixPoints),
    EXPORT(GdipTransformMatrixPointsI), EXPORT(GdipTransformPath), EXPORT(GdipTransformPoints),
    EXPORT(GdipTransformPointsI), EXPORT(GdipTransformRegion), EXPORT(GdipTranslateClip), EXPORT(GdipTranslateClipI),
    EXPORT(GdipTranslateLineTransform), EXPORT(GdipTranslateMatrix), EXPORT(GdipTranslatePenTransform),
    EXPORT(GdipTranslateRegion), EXPORT(GdipTranslateRegionI), EXPORT(GdipTranslateTextureTransform),
    EXPORT(GdipTranslateWorldTransform), EXPORT(GdipVectorTransformMatrixPoints),
    EXPORT(GdipVectorTransformMatrixPointsI), EXPORT(GdipWarpPath), EXPORT(GdipWidenPath),
};

#undef EXPORT

template <size_t N>
constexpr TModuleInfo Module(const char* name, const TModuleExport (&exports)[N]) {
  return TModuleInfo{name, exports, N, false};
}

// What each module exports; a module of the loader's list missing here
// exports nothing.
const TModuleInfo kExports[] = {
    Module("kernel32.dll", kKernel32),  Module("user32.dll", kUser32),     Module("gdiplus.dll", kGdiplus),
    Module("msimg32.dll", kMsimg32),    Module("uxtheme.dll", kUxTheme),   Module("dwmapi.dll", kDwmapi),
    Module("comctl32.dll", kComctl32),  Module("oleacc.dll", kOleacc),
    Module("ole32.dll", kOle32),
};

// The loader's list with the exports beside each module, built once.
struct TTable {
  std::vector<TModuleInfo> Modules;
  std::vector<std::unordered_map<std::string_view, FARPROC>> Index;
};

const TTable& Table() {
  static const TTable t = [] {
    TTable r;
    size_t n = ModuleCount();
    r.Modules.resize(n);
    r.Index.resize(n);
    for (size_t i = 0; i < n; ++i) {
      TModuleInfo& m = r.Modules[i];
      m.FileName = ModuleFileName(static_cast<int>(i));
      m.Resident = ModuleResident(static_cast<int>(i));
      for (const TModuleInfo& e : kExports)
        if (std::strcmp(e.FileName, m.FileName) == 0) {
          m.Exports = e.Exports;
          m.ExportCount = e.ExportCount;
        }
      for (size_t k = 0; k < m.ExportCount; ++k) r.Index[i].emplace(m.Exports[k].Name, m.Exports[k].Address);
    }
    return r;
  }();
  return t;
}

}  // namespace

const TModuleInfo* ModuleTable(size_t* count) {
  const TTable& t = Table();
  if (count) *count = t.Modules.size();
  return t.Modules.data();
}

}  // namespace rtl::detail

using namespace rtl::detail;

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  if (hModule == HInstance || hModule == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  int i = ModuleIndexOf(hModule);
  if (i < 0 || !ModuleLoaded(i)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if (!lpProcName || IS_INTRESOURCE(lpProcName)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  const auto& index = Table().Index[static_cast<size_t>(i)];
  auto it = index.find(std::string_view(lpProcName));
  if (it == index.end()) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return it->second;
}
