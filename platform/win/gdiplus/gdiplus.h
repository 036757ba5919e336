// The GDI+ flat API: status codes, enumerations, records, GUIDs and the
// functions the layer implements ("gdiplus.dll" in the module table also
// lists the other entry points, which answer NotImplemented). Drawing is
// anti-aliased on 32-bit pixels; a graphics made on a device context draws
// in its memory, through its origin, transform and clip.
#pragma once

#include "platform/win/gdi/gdi.h"
#include "platform/win/kernel/objidl.h"

// ---- Basic types ------------------------------------------------------------

using REAL = float;
using UINT16 = uint16_t;
using UINT32 = uint32_t;
using LANGID = WORD;
using ARGB = DWORD;
using PixelFormat = INT;
using GraphicsState = UINT;
using GraphicsContainer = UINT;
using PROPID = ULONG;

enum Status {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20,
  ProfileNotFound = 21,
};
using GpStatus = Status;

struct GpPointF {
  REAL X, Y;
};
struct GpPoint {
  INT X, Y;
};
struct GpSizeF {
  REAL Width, Height;
};
struct GpRectF {
  REAL X, Y, Width, Height;
};
struct GpRect {
  INT X, Y, Width, Height;
};

// ---- Enumerations -------------------------------------------------------------

enum Unit { UnitWorld, UnitDisplay, UnitPixel, UnitPoint, UnitInch, UnitDocument, UnitMillimeter };
using GpUnit = Unit;
enum FillMode { FillModeAlternate, FillModeWinding };
using GpFillMode = FillMode;
enum QualityMode { QualityModeInvalid = -1, QualityModeDefault = 0, QualityModeLow = 1, QualityModeHigh = 2 };
enum SmoothingMode {
  SmoothingModeInvalid = -1,
  SmoothingModeDefault = 0,
  SmoothingModeHighSpeed = 1,
  SmoothingModeHighQuality = 2,
  SmoothingModeNone = 3,
  SmoothingModeAntiAlias = 4,
  SmoothingModeAntiAlias8x4 = 4,
  SmoothingModeAntiAlias8x8 = 5,
};
enum InterpolationMode {
  InterpolationModeInvalid = -1,
  InterpolationModeDefault = 0,
  InterpolationModeLowQuality = 1,
  InterpolationModeHighQuality = 2,
  InterpolationModeBilinear = 3,
  InterpolationModeBicubic = 4,
  InterpolationModeNearestNeighbor = 5,
  InterpolationModeHighQualityBilinear = 6,
  InterpolationModeHighQualityBicubic = 7,
};
enum CompositingMode { CompositingModeSourceOver, CompositingModeSourceCopy };
enum CompositingQuality {
  CompositingQualityInvalid = -1,
  CompositingQualityDefault = 0,
  CompositingQualityHighSpeed = 1,
  CompositingQualityHighQuality = 2,
  CompositingQualityGammaCorrected = 3,
  CompositingQualityAssumeLinear = 4,
};
enum PixelOffsetMode {
  PixelOffsetModeInvalid = -1,
  PixelOffsetModeDefault = 0,
  PixelOffsetModeHighSpeed = 1,
  PixelOffsetModeHighQuality = 2,
  PixelOffsetModeNone = 3,
  PixelOffsetModeHalf = 4,
};
enum TextRenderingHint {
  TextRenderingHintSystemDefault = 0,
  TextRenderingHintSingleBitPerPixelGridFit = 1,
  TextRenderingHintSingleBitPerPixel = 2,
  TextRenderingHintAntiAliasGridFit = 3,
  TextRenderingHintAntiAlias = 4,
  TextRenderingHintClearTypeGridFit = 5,
};
enum MatrixOrder { MatrixOrderPrepend = 0, MatrixOrderAppend = 1 };
enum CombineMode {
  CombineModeReplace,
  CombineModeIntersect,
  CombineModeUnion,
  CombineModeXor,
  CombineModeExclude,
  CombineModeComplement,
};
enum FlushIntention { FlushIntentionFlush = 0, FlushIntentionSync = 1 };
enum CoordinateSpace { CoordinateSpaceWorld, CoordinateSpacePage, CoordinateSpaceDevice };
enum BrushType {
  BrushTypeSolidColor = 0,
  BrushTypeHatchFill = 1,
  BrushTypeTextureFill = 2,
  BrushTypePathGradient = 3,
  BrushTypeLinearGradient = 4,
};
using GpBrushType = BrushType;
enum WrapMode { WrapModeTile, WrapModeTileFlipX, WrapModeTileFlipY, WrapModeTileFlipXY, WrapModeClamp };
using GpWrapMode = WrapMode;
enum WarpMode { WarpModePerspective = 0, WarpModeBilinear = 1 };

enum LinearGradientMode {
  LinearGradientModeHorizontal,
  LinearGradientModeVertical,
  LinearGradientModeForwardDiagonal,
  LinearGradientModeBackwardDiagonal,
};
enum HatchStyle {
  HatchStyleHorizontal = 0,
  HatchStyleVertical = 1,
  HatchStyleForwardDiagonal = 2,
  HatchStyleBackwardDiagonal = 3,
  HatchStyleCross = 4,
  HatchStyleDiagonalCross = 5,
  HatchStyleMin = 0,
  HatchStyleMax = 52,
};
enum PenAlignment { PenAlignmentCenter = 0, PenAlignmentInset = 1 };
using GpPenAlignment = PenAlignment;
enum PenType {
  PenTypeSolidColor = 0,
  PenTypeHatchFill = 1,
  PenTypeTextureFill = 2,
  PenTypePathGradient = 3,
  PenTypeLinearGradient = 4,
  PenTypeUnknown = -1,
};
using GpPenType = PenType;
enum DashStyle { DashStyleSolid, DashStyleDash, DashStyleDot, DashStyleDashDot, DashStyleDashDotDot, DashStyleCustom };
using GpDashStyle = DashStyle;
enum DashCap { DashCapFlat = 0, DashCapRound = 2, DashCapTriangle = 3 };
using GpDashCap = DashCap;
enum LineCap {
  LineCapFlat = 0,
  LineCapSquare = 1,
  LineCapRound = 2,
  LineCapTriangle = 3,
  LineCapNoAnchor = 0x10,
  LineCapSquareAnchor = 0x11,
  LineCapRoundAnchor = 0x12,
  LineCapDiamondAnchor = 0x13,
  LineCapArrowAnchor = 0x14,
  LineCapCustom = 0xff,
  LineCapAnchorMask = 0xf0,
};
using GpLineCap = LineCap;
enum LineJoin { LineJoinMiter = 0, LineJoinBevel = 1, LineJoinRound = 2, LineJoinMiterClipped = 3 };
using GpLineJoin = LineJoin;
enum PathPointType {
  PathPointTypeStart = 0,
  PathPointTypeLine = 1,
  PathPointTypeBezier = 3,
  PathPointTypePathTypeMask = 0x07,
  PathPointTypeDashMode = 0x10,
  PathPointTypePathMarker = 0x20,
  PathPointTypeCloseSubpath = 0x80,
  PathPointTypeBezier3 = 3,
};
enum ImageType { ImageTypeUnknown, ImageTypeBitmap, ImageTypeMetafile };
enum ImageFlags {
  ImageFlagsNone = 0,
  ImageFlagsScalable = 0x0001,
  ImageFlagsHasAlpha = 0x0002,
  ImageFlagsHasTranslucent = 0x0004,
  ImageFlagsPartiallyScalable = 0x0008,
  ImageFlagsColorSpaceRGB = 0x0010,
  ImageFlagsColorSpaceCMYK = 0x0020,
  ImageFlagsColorSpaceGRAY = 0x0040,
  ImageFlagsColorSpaceYCBCR = 0x0080,
  ImageFlagsColorSpaceYCCK = 0x0100,
  ImageFlagsHasRealDPI = 0x1000,
  ImageFlagsHasRealPixelSize = 0x2000,
  ImageFlagsReadOnly = 0x00010000,
  ImageFlagsCaching = 0x00020000,
};
enum ImageLockMode { ImageLockModeRead = 1, ImageLockModeWrite = 2, ImageLockModeUserInputBuf = 4 };
enum RotateFlipType {
  RotateNoneFlipNone = 0,
  Rotate90FlipNone = 1,
  Rotate180FlipNone = 2,
  Rotate270FlipNone = 3,
  RotateNoneFlipX = 4,
  Rotate90FlipX = 5,
  Rotate180FlipX = 6,
  Rotate270FlipX = 7,
  RotateNoneFlipY = Rotate180FlipX,
  Rotate90FlipY = Rotate270FlipX,
  Rotate180FlipY = RotateNoneFlipX,
  Rotate270FlipY = Rotate90FlipX,
  RotateNoneFlipXY = Rotate180FlipNone,
  Rotate90FlipXY = Rotate270FlipNone,
  Rotate180FlipXY = RotateNoneFlipNone,
  Rotate270FlipXY = Rotate90FlipNone,
};
enum ColorAdjustType {
  ColorAdjustTypeDefault,
  ColorAdjustTypeBitmap,
  ColorAdjustTypeBrush,
  ColorAdjustTypePen,
  ColorAdjustTypeText,
  ColorAdjustTypeCount,
  ColorAdjustTypeAny,
};
enum ColorMatrixFlags { ColorMatrixFlagsDefault = 0, ColorMatrixFlagsSkipGrays = 1, ColorMatrixFlagsAltGray = 2 };
enum ColorChannelFlags {
  ColorChannelFlagsC = 0,
  ColorChannelFlagsM,
  ColorChannelFlagsY,
  ColorChannelFlagsK,
  ColorChannelFlagsLast,
};
enum FontStyle {
  FontStyleRegular = 0,
  FontStyleBold = 1,
  FontStyleItalic = 2,
  FontStyleBoldItalic = 3,
  FontStyleUnderline = 4,
  FontStyleStrikeout = 8,
};
enum StringAlignment { StringAlignmentNear = 0, StringAlignmentCenter = 1, StringAlignmentFar = 2 };
enum StringFormatFlags {
  StringFormatFlagsDirectionRightToLeft = 0x00000001,
  StringFormatFlagsDirectionVertical = 0x00000002,
  StringFormatFlagsNoFitBlackBox = 0x00000004,
  StringFormatFlagsDisplayFormatControl = 0x00000020,
  StringFormatFlagsNoFontFallback = 0x00000400,
  StringFormatFlagsMeasureTrailingSpaces = 0x00000800,
  StringFormatFlagsNoWrap = 0x00001000,
  StringFormatFlagsLineLimit = 0x00002000,
  StringFormatFlagsNoClip = 0x00004000,
};
enum StringTrimming {
  StringTrimmingNone = 0,
  StringTrimmingCharacter = 1,
  StringTrimmingWord = 2,
  StringTrimmingEllipsisCharacter = 3,
  StringTrimmingEllipsisWord = 4,
  StringTrimmingEllipsisPath = 5,
};
enum StringDigitSubstitute {
  StringDigitSubstituteUser = 0,
  StringDigitSubstituteNone = 1,
  StringDigitSubstituteNational = 2,
  StringDigitSubstituteTraditional = 3,
};
enum HotkeyPrefix { HotkeyPrefixNone = 0, HotkeyPrefixShow = 1, HotkeyPrefixHide = 2 };
enum ImageCodecFlags {
  ImageCodecFlagsEncoder = 0x00000001,
  ImageCodecFlagsDecoder = 0x00000002,
  ImageCodecFlagsSupportBitmap = 0x00000004,
  ImageCodecFlagsSupportVector = 0x00000008,
  ImageCodecFlagsSeekableEncode = 0x00000010,
  ImageCodecFlagsBlockingDecode = 0x00000020,
  ImageCodecFlagsBuiltin = 0x00010000,
  ImageCodecFlagsSystem = 0x00020000,
  ImageCodecFlagsUser = 0x00040000,
};
enum EncoderParameterValueType {
  EncoderParameterValueTypeByte = 1,
  EncoderParameterValueTypeASCII = 2,
  EncoderParameterValueTypeShort = 3,
  EncoderParameterValueTypeLong = 4,
  EncoderParameterValueTypeRational = 5,
  EncoderParameterValueTypeLongRange = 6,
  EncoderParameterValueTypeUndefined = 7,
  EncoderParameterValueTypeRationalRange = 8,
  EncoderParameterValueTypePointer = 9,
};
enum DebugEventLevel { DebugEventLevelFatal, DebugEventLevelWarning };
enum GenericFontFamily { GenericFontFamilySerif, GenericFontFamilySansSerif, GenericFontFamilyMonospace };

// ---- Pixel formats ------------------------------------------------------------

#define PixelFormatIndexed 0x00010000
#define PixelFormatGDI 0x00020000
#define PixelFormatAlpha 0x00040000
#define PixelFormatPAlpha 0x00080000
#define PixelFormatExtended 0x00100000
#define PixelFormatCanonical 0x00200000
#define PixelFormatUndefined 0
#define PixelFormatDontCare 0
#define PixelFormat1bppIndexed (1 | (1 << 8) | PixelFormatIndexed | PixelFormatGDI)
#define PixelFormat4bppIndexed (2 | (4 << 8) | PixelFormatIndexed | PixelFormatGDI)
#define PixelFormat8bppIndexed (3 | (8 << 8) | PixelFormatIndexed | PixelFormatGDI)
#define PixelFormat16bppGrayScale (4 | (16 << 8) | PixelFormatExtended)
#define PixelFormat16bppRGB555 (5 | (16 << 8) | PixelFormatGDI)
#define PixelFormat16bppRGB565 (6 | (16 << 8) | PixelFormatGDI)
#define PixelFormat16bppARGB1555 (7 | (16 << 8) | PixelFormatAlpha | PixelFormatGDI)
#define PixelFormat24bppRGB (8 | (24 << 8) | PixelFormatGDI)
#define PixelFormat32bppRGB (9 | (32 << 8) | PixelFormatGDI)
#define PixelFormat32bppARGB (10 | (32 << 8) | PixelFormatAlpha | PixelFormatGDI | PixelFormatCanonical)
#define PixelFormat32bppPARGB (11 | (32 << 8) | PixelFormatAlpha | PixelFormatPAlpha | PixelFormatGDI)
#define PixelFormat48bppRGB (12 | (48 << 8) | PixelFormatExtended)
#define PixelFormat64bppARGB (13 | (64 << 8) | PixelFormatAlpha | PixelFormatCanonical | PixelFormatExtended)
#define PixelFormat64bppPARGB (14 | (64 << 8) | PixelFormatAlpha | PixelFormatPAlpha | PixelFormatExtended)
#define PixelFormat32bppCMYK (15 | (32 << 8))
#define PixelFormatMax 16

inline UINT GetPixelFormatSize(PixelFormat format) { return (format >> 8) & 0xff; }
inline BOOL IsIndexedPixelFormat(PixelFormat format) { return (format & PixelFormatIndexed) != 0; }
inline BOOL IsAlphaPixelFormat(PixelFormat format) { return (format & PixelFormatAlpha) != 0; }
inline BOOL IsCanonicalPixelFormat(PixelFormat format) { return (format & PixelFormatCanonical) != 0; }

// Palette flags
#define PaletteFlagsHasAlpha 0x0001
#define PaletteFlagsGrayScale 0x0002
#define PaletteFlagsHalftone 0x0004

// ---- Records --------------------------------------------------------------------

struct ColorMatrix {
  REAL m[5][5];
};

struct ColorPalette {
  UINT Flags;
  UINT Count;
  ARGB Entries[1];
};

struct ColorMap {
  ARGB oldColor;
  ARGB newColor;
};

struct BitmapData {
  UINT Width;
  UINT Height;
  INT Stride;
  ::PixelFormat PixelFormat;
  void* Scan0;
  UINT_PTR Reserved;
};

struct ImageCodecInfo {
  CLSID Clsid;
  GUID FormatID;
  const WCHAR* CodecName;
  const WCHAR* DllName;
  const WCHAR* FormatDescription;
  const WCHAR* FilenameExtension;
  const WCHAR* MimeType;
  DWORD Flags;
  DWORD Version;
  DWORD SigCount;
  DWORD SigSize;
  const BYTE* SigPattern;
  const BYTE* SigMask;
};

struct EncoderParameter {
  GUID Guid;
  ULONG NumberOfValues;
  ULONG Type;
  void* Value;
};

struct EncoderParameters {
  UINT Count;
  EncoderParameter Parameter[1];
};

struct PropertyItem {
  PROPID id;
  ULONG length;
  WORD type;
  void* value;
};

struct CharacterRange {
  INT First;
  INT Length;
};

struct PathData {
  INT Count;
  GpPointF* Points;
  BYTE* Types;
};

// ---- Start-up ---------------------------------------------------------------------

using DebugEventProc = void (*)(DebugEventLevel level, CHAR* message);
using NotificationHookProc = GpStatus (*)(ULONG_PTR* token);
using NotificationUnhookProc = void (*)(ULONG_PTR token);

struct GdiplusStartupInput {
  UINT32 GdiplusVersion = 1;
  DebugEventProc DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};

struct GdiplusStartupOutput {
  NotificationHookProc NotificationHook;
  NotificationUnhookProc NotificationUnhook;
};

// ---- GUIDs ------------------------------------------------------------------------

// Raw formats of images.
inline constexpr GUID ImageFormatUndefined = {0xb96b3ca9, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatMemoryBMP = {0xb96b3caa, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatBMP = {0xb96b3cab, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatEMF = {0xb96b3cac, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatWMF = {0xb96b3cad, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatJPEG = {0xb96b3cae, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatPNG = {0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatGIF = {0xb96b3cb0, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatTIFF = {0xb96b3cb1, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatEXIF = {0xb96b3cb2, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatIcon = {0xb96b3cb5, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// Class ids of the encoders (and decoders) of each format.
inline constexpr CLSID CLSID_BmpCodec = {0x557cf400, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr CLSID CLSID_JpegCodec = {0x557cf401, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr CLSID CLSID_GifCodec = {0x557cf402, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr CLSID CLSID_TiffCodec = {0x557cf405, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr CLSID CLSID_PngCodec = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr CLSID CLSID_IconCodec = {0x557cf407, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// Encoder parameters. Quality (a LONG 0..100) is honoured by the JPEG
// encoder; ColorDepth (24 or 32) by the BMP, PNG and TIFF encoders.
inline constexpr GUID EncoderCompression = {0xe09d739d, 0xccd4, 0x44ee, {0x8e, 0xba, 0x3f, 0xbf, 0x8b, 0xe4, 0xfc, 0x58}};
inline constexpr GUID EncoderColorDepth = {0x66087055, 0xad66, 0x4c7c, {0x9a, 0x18, 0x38, 0xa2, 0x31, 0x0b, 0x83, 0x37}};
inline constexpr GUID EncoderQuality = {0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};
inline constexpr GUID EncoderSaveFlag = {0x292266fc, 0xac40, 0x47bf, {0x8c, 0xfc, 0xa8, 0x5b, 0x89, 0xa6, 0x55, 0xde}};

// Frame dimensions of multi-frame images.
inline constexpr GUID FrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
inline constexpr GUID FrameDimensionResolution = {0x84236f7b, 0x3bd3, 0x428f, {0x8d, 0xab, 0x4e, 0xa1, 0x43, 0x9c, 0xa3, 0x15}};
inline constexpr GUID FrameDimensionPage = {0x7462dc86, 0x6180, 0x4c7e, {0x8e, 0x3f, 0xee, 0x73, 0x33, 0xa7, 0xa4, 0x83}};

// ---- Objects ------------------------------------------------------------------------

// Brushes and images form families: a solid fill is passed where a brush
// is asked for, a bitmap where an image is.
struct GpBrush {
  virtual ~GpBrush() = default;

 protected:
  GpBrush() = default;
};
struct GpSolidFill : GpBrush {};
struct GpLineGradient : GpBrush {};
struct GpTexture : GpBrush {};
struct GpHatch : GpBrush {};
struct GpPathGradient : GpBrush {};

struct GpImage {
  virtual ~GpImage() = default;

 protected:
  GpImage() = default;
};
struct GpBitmap : GpImage {};
struct GpMetafile : GpImage {};

struct GpGraphics;
struct GpPen;
struct GpPath;
struct GpRegion;
struct GpMatrix;
struct GpImageAttributes;
struct GpCachedBitmap;
struct GpFont;
struct GpFontFamily;
struct GpFontCollection;
struct GpPathIterator;
RTL_DECLARE_HANDLE(HENHMETAFILE);
struct GpStringFormat;

// ---- Start-up and memory --------------------------------------------------------------

// Version 1 to 3. With SuppressBackgroundThread the output (hook and
// unhook procedures) is required.
GpStatus GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(ULONG_PTR token);
GpStatus GdiplusNotificationHook(ULONG_PTR* token);
void GdiplusNotificationUnhook(ULONG_PTR token);
void* GdipAlloc(size_t size);
void GdipFree(void* ptr);

// ---- Graphics ---------------------------------------------------------------------------

GpStatus GdipCreateFromHDC(HDC hdc, GpGraphics** graphics);
GpStatus GdipCreateFromHDC2(HDC hdc, HANDLE device, GpGraphics** graphics);
GpStatus GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
GpStatus GdipDeleteGraphics(GpGraphics* graphics);
GpStatus GdipFlush(GpGraphics* graphics, FlushIntention intention);
// The device context of a graphics made on one; for an image, a memory DC
// over a copy of its pixels, written back by GdipReleaseDC.
GpStatus GdipGetDC(GpGraphics* graphics, HDC* hdc);
GpStatus GdipReleaseDC(GpGraphics* graphics, HDC hdc);

GpStatus GdipSetCompositingMode(GpGraphics* graphics, CompositingMode mode);
GpStatus GdipGetCompositingMode(GpGraphics* graphics, CompositingMode* mode);
GpStatus GdipSetCompositingQuality(GpGraphics* graphics, CompositingQuality quality);
GpStatus GdipGetCompositingQuality(GpGraphics* graphics, CompositingQuality* quality);
GpStatus GdipSetRenderingOrigin(GpGraphics* graphics, INT x, INT y);
GpStatus GdipGetRenderingOrigin(GpGraphics* graphics, INT* x, INT* y);
GpStatus GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode);
GpStatus GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode);
GpStatus GdipSetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode mode);
GpStatus GdipGetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode* mode);
GpStatus GdipSetTextRenderingHint(GpGraphics* graphics, TextRenderingHint mode);
GpStatus GdipGetTextRenderingHint(GpGraphics* graphics, TextRenderingHint* mode);
GpStatus GdipSetTextContrast(GpGraphics* graphics, UINT contrast);
GpStatus GdipGetTextContrast(GpGraphics* graphics, UINT* contrast);
GpStatus GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode);
GpStatus GdipGetInterpolationMode(GpGraphics* graphics, InterpolationMode* mode);

GpStatus GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
GpStatus GdipResetWorldTransform(GpGraphics* graphics);
GpStatus GdipMultiplyWorldTransform(GpGraphics* graphics, const GpMatrix* matrix, MatrixOrder order);
GpStatus GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order);
GpStatus GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order);
GpStatus GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order);
GpStatus GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
GpStatus GdipResetPageTransform(GpGraphics* graphics);
GpStatus GdipGetPageUnit(GpGraphics* graphics, GpUnit* unit);
GpStatus GdipGetPageScale(GpGraphics* graphics, REAL* scale);
GpStatus GdipSetPageUnit(GpGraphics* graphics, GpUnit unit);
GpStatus GdipSetPageScale(GpGraphics* graphics, REAL scale);
GpStatus GdipGetDpiX(GpGraphics* graphics, REAL* dpi);
GpStatus GdipGetDpiY(GpGraphics* graphics, REAL* dpi);
GpStatus GdipTransformPoints(GpGraphics* graphics, CoordinateSpace destSpace, CoordinateSpace srcSpace,
                             GpPointF* points, INT count);
GpStatus GdipTransformPointsI(GpGraphics* graphics, CoordinateSpace destSpace, CoordinateSpace srcSpace,
                              GpPoint* points, INT count);
GpStatus GdipGetNearestColor(GpGraphics* graphics, ARGB* argb);

GpStatus GdipSetClipGraphics(GpGraphics* graphics, GpGraphics* srcgraphics, CombineMode combineMode);
GpStatus GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, CombineMode combineMode);
GpStatus GdipSetClipRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height, CombineMode combineMode);
GpStatus GdipSetClipPath(GpGraphics* graphics, GpPath* path, CombineMode combineMode);
GpStatus GdipSetClipRegion(GpGraphics* graphics, GpRegion* region, CombineMode combineMode);
GpStatus GdipSetClipHrgn(GpGraphics* graphics, HRGN hRgn, CombineMode combineMode);
GpStatus GdipResetClip(GpGraphics* graphics);
GpStatus GdipTranslateClip(GpGraphics* graphics, REAL dx, REAL dy);
GpStatus GdipTranslateClipI(GpGraphics* graphics, INT dx, INT dy);
GpStatus GdipGetClip(GpGraphics* graphics, GpRegion* region);
GpStatus GdipGetClipBounds(GpGraphics* graphics, GpRectF* rect);
GpStatus GdipGetClipBoundsI(GpGraphics* graphics, GpRect* rect);
GpStatus GdipIsClipEmpty(GpGraphics* graphics, BOOL* result);
GpStatus GdipGetVisibleClipBounds(GpGraphics* graphics, GpRectF* rect);
GpStatus GdipGetVisibleClipBoundsI(GpGraphics* graphics, GpRect* rect);
GpStatus GdipIsVisibleClipEmpty(GpGraphics* graphics, BOOL* result);
GpStatus GdipIsVisiblePoint(GpGraphics* graphics, REAL x, REAL y, BOOL* result);
GpStatus GdipIsVisiblePointI(GpGraphics* graphics, INT x, INT y, BOOL* result);
GpStatus GdipIsVisibleRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, BOOL* result);
GpStatus GdipIsVisibleRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height, BOOL* result);

GpStatus GdipSaveGraphics(GpGraphics* graphics, GraphicsState* state);
GpStatus GdipRestoreGraphics(GpGraphics* graphics, GraphicsState state);
GpStatus GdipBeginContainer(GpGraphics* graphics, const GpRectF* dstrect, const GpRectF* srcrect, GpUnit unit,
                            GraphicsContainer* state);
GpStatus GdipBeginContainerI(GpGraphics* graphics, const GpRect* dstrect, const GpRect* srcrect, GpUnit unit,
                             GraphicsContainer* state);
GpStatus GdipBeginContainer2(GpGraphics* graphics, GraphicsContainer* state);
GpStatus GdipEndContainer(GpGraphics* graphics, GraphicsContainer state);

// ---- Drawing ----------------------------------------------------------------------------

GpStatus GdipGraphicsClear(GpGraphics* graphics, ARGB color);
GpStatus GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
GpStatus GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2);
GpStatus GdipDrawLines(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count);
GpStatus GdipDrawLinesI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count);
GpStatus GdipDrawArc(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                     REAL sweepAngle);
GpStatus GdipDrawArcI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL startAngle,
                      REAL sweepAngle);
GpStatus GdipDrawBezier(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3,
                        REAL x4, REAL y4);
GpStatus GdipDrawBezierI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4,
                         INT y4);
GpStatus GdipDrawBeziers(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count);
GpStatus GdipDrawBeziersI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count);
GpStatus GdipDrawRectangle(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipDrawRectangleI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
GpStatus GdipDrawRectangles(GpGraphics* graphics, GpPen* pen, const GpRectF* rects, INT count);
GpStatus GdipDrawRectanglesI(GpGraphics* graphics, GpPen* pen, const GpRect* rects, INT count);
GpStatus GdipDrawEllipse(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
GpStatus GdipDrawPie(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                     REAL sweepAngle);
GpStatus GdipDrawPieI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL startAngle,
                      REAL sweepAngle);
GpStatus GdipDrawPolygon(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count);
GpStatus GdipDrawPolygonI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count);
GpStatus GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path);
GpStatus GdipDrawCurve(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count);
GpStatus GdipDrawCurveI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count);
GpStatus GdipDrawCurve2(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count, REAL tension);
GpStatus GdipDrawCurve2I(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count, REAL tension);
GpStatus GdipDrawCurve3(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count, INT offset,
                        INT numberOfSegments, REAL tension);
GpStatus GdipDrawCurve3I(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count, INT offset,
                         INT numberOfSegments, REAL tension);
GpStatus GdipDrawClosedCurve(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count);
GpStatus GdipDrawClosedCurveI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count);
GpStatus GdipDrawClosedCurve2(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count, REAL tension);
GpStatus GdipDrawClosedCurve2I(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count, REAL tension);

GpStatus GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
GpStatus GdipFillRectangles(GpGraphics* graphics, GpBrush* brush, const GpRectF* rects, INT count);
GpStatus GdipFillRectanglesI(GpGraphics* graphics, GpBrush* brush, const GpRect* rects, INT count);
GpStatus GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count,
                         GpFillMode fillMode);
GpStatus GdipFillPolygonI(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count,
                          GpFillMode fillMode);
GpStatus GdipFillPolygon2(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count);
GpStatus GdipFillPolygon2I(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count);
GpStatus GdipFillEllipse(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
GpStatus GdipFillPie(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                     REAL sweepAngle);
GpStatus GdipFillPieI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height, REAL startAngle,
                      REAL sweepAngle);
GpStatus GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path);
GpStatus GdipFillClosedCurve(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count);
GpStatus GdipFillClosedCurveI(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count);
GpStatus GdipFillClosedCurve2(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count, REAL tension,
                              GpFillMode fillMode);
GpStatus GdipFillClosedCurve2I(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count, REAL tension,
                               GpFillMode fillMode);
GpStatus GdipFillRegion(GpGraphics* graphics, GpBrush* brush, GpRegion* region);

GpStatus GdipDrawImage(GpGraphics* graphics, GpImage* image, REAL x, REAL y);
GpStatus GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y);
GpStatus GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
GpStatus GdipDrawImagePoints(GpGraphics* graphics, GpImage* image, const GpPointF* dstpoints, INT count);
GpStatus GdipDrawImagePointsI(GpGraphics* graphics, GpImage* image, const GpPoint* dstpoints, INT count);
GpStatus GdipDrawImagePointRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL srcx, REAL srcy,
                                REAL srcwidth, REAL srcheight, GpUnit srcUnit);
GpStatus GdipDrawImagePointRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT srcx, INT srcy,
                                 INT srcwidth, INT srcheight, GpUnit srcUnit);
using DrawImageAbort = BOOL (*)(void* data);
GpStatus GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstx, REAL dsty, REAL dstwidth,
                               REAL dstheight, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight, GpUnit srcUnit,
                               const GpImageAttributes* imageAttributes, DrawImageAbort callback, void* callbackData);
GpStatus GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstx, INT dsty, INT dstwidth,
                                INT dstheight, INT srcx, INT srcy, INT srcwidth, INT srcheight, GpUnit srcUnit,
                                const GpImageAttributes* imageAttributes, DrawImageAbort callback,
                                void* callbackData);
GpStatus GdipDrawImagePointsRect(GpGraphics* graphics, GpImage* image, const GpPointF* points, INT count, REAL srcx,
                                 REAL srcy, REAL srcwidth, REAL srcheight, GpUnit srcUnit,
                                 const GpImageAttributes* imageAttributes, DrawImageAbort callback,
                                 void* callbackData);
GpStatus GdipDrawImagePointsRectI(GpGraphics* graphics, GpImage* image, const GpPoint* points, INT count, INT srcx,
                                  INT srcy, INT srcwidth, INT srcheight, GpUnit srcUnit,
                                  const GpImageAttributes* imageAttributes, DrawImageAbort callback,
                                  void* callbackData);
GpStatus GdipCreateCachedBitmap(GpBitmap* bitmap, GpGraphics* graphics, GpCachedBitmap** cachedBitmap);
GpStatus GdipDeleteCachedBitmap(GpCachedBitmap* cachedBitmap);
GpStatus GdipDrawCachedBitmap(GpGraphics* graphics, GpCachedBitmap* cachedBitmap, INT x, INT y);

// ---- Matrices -----------------------------------------------------------------------------

GpStatus GdipCreateMatrix(GpMatrix** matrix);
GpStatus GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix);
GpStatus GdipCreateMatrix3(const GpRectF* rect, const GpPointF* dstplg, GpMatrix** matrix);
GpStatus GdipCreateMatrix3I(const GpRect* rect, const GpPoint* dstplg, GpMatrix** matrix);
GpStatus GdipCloneMatrix(GpMatrix* matrix, GpMatrix** cloneMatrix);
GpStatus GdipDeleteMatrix(GpMatrix* matrix);
GpStatus GdipSetMatrixElements(GpMatrix* matrix, REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
GpStatus GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* matrix2, MatrixOrder order);
GpStatus GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY, MatrixOrder order);
GpStatus GdipScaleMatrix(GpMatrix* matrix, REAL scaleX, REAL scaleY, MatrixOrder order);
GpStatus GdipRotateMatrix(GpMatrix* matrix, REAL angle, MatrixOrder order);
GpStatus GdipShearMatrix(GpMatrix* matrix, REAL shearX, REAL shearY, MatrixOrder order);
GpStatus GdipInvertMatrix(GpMatrix* matrix);
GpStatus GdipTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count);
GpStatus GdipTransformMatrixPointsI(GpMatrix* matrix, GpPoint* pts, INT count);
GpStatus GdipVectorTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count);
GpStatus GdipVectorTransformMatrixPointsI(GpMatrix* matrix, GpPoint* pts, INT count);
GpStatus GdipGetMatrixElements(const GpMatrix* matrix, REAL* matrixOut);
GpStatus GdipIsMatrixInvertible(const GpMatrix* matrix, BOOL* result);
GpStatus GdipIsMatrixIdentity(const GpMatrix* matrix, BOOL* result);
GpStatus GdipIsMatrixEqual(const GpMatrix* matrix, const GpMatrix* matrix2, BOOL* result);

// ---- Paths ----------------------------------------------------------------------------------

GpStatus GdipCreatePath(GpFillMode brushMode, GpPath** path);
GpStatus GdipCreatePath2(const GpPointF* points, const BYTE* types, INT count, GpFillMode fillMode, GpPath** path);
GpStatus GdipCreatePath2I(const GpPoint* points, const BYTE* types, INT count, GpFillMode fillMode, GpPath** path);
GpStatus GdipClonePath(GpPath* path, GpPath** clonePath);
GpStatus GdipDeletePath(GpPath* path);
GpStatus GdipResetPath(GpPath* path);
GpStatus GdipGetPointCount(GpPath* path, INT* count);
GpStatus GdipGetPathTypes(GpPath* path, BYTE* types, INT count);
GpStatus GdipGetPathPoints(GpPath* path, GpPointF* points, INT count);
GpStatus GdipGetPathPointsI(GpPath* path, GpPoint* points, INT count);
GpStatus GdipGetPathFillMode(GpPath* path, GpFillMode* fillmode);
GpStatus GdipSetPathFillMode(GpPath* path, GpFillMode fillmode);
// pathData->Count must be the point count; Points and Types are filled.
GpStatus GdipGetPathData(GpPath* path, PathData* pathData);
GpStatus GdipStartPathFigure(GpPath* path);
GpStatus GdipClosePathFigure(GpPath* path);
GpStatus GdipClosePathFigures(GpPath* path);
GpStatus GdipSetPathMarker(GpPath* path);
GpStatus GdipClearPathMarkers(GpPath* path);
GpStatus GdipReversePath(GpPath* path);
GpStatus GdipGetPathLastPoint(GpPath* path, GpPointF* lastPoint);
GpStatus GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2);
GpStatus GdipAddPathLineI(GpPath* path, INT x1, INT y1, INT x2, INT y2);
GpStatus GdipAddPathLine2(GpPath* path, const GpPointF* points, INT count);
GpStatus GdipAddPathLine2I(GpPath* path, const GpPoint* points, INT count);
GpStatus GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
GpStatus GdipAddPathArcI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
GpStatus GdipAddPathBezier(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
GpStatus GdipAddPathBezierI(GpPath* path, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4, INT y4);
GpStatus GdipAddPathBeziers(GpPath* path, const GpPointF* points, INT count);
GpStatus GdipAddPathBeziersI(GpPath* path, const GpPoint* points, INT count);
GpStatus GdipAddPathCurve(GpPath* path, const GpPointF* points, INT count);
GpStatus GdipAddPathCurveI(GpPath* path, const GpPoint* points, INT count);
GpStatus GdipAddPathCurve2(GpPath* path, const GpPointF* points, INT count, REAL tension);
GpStatus GdipAddPathCurve2I(GpPath* path, const GpPoint* points, INT count, REAL tension);
GpStatus GdipAddPathCurve3(GpPath* path, const GpPointF* points, INT count, INT offset, INT numberOfSegments,
                           REAL tension);
GpStatus GdipAddPathCurve3I(GpPath* path, const GpPoint* points, INT count, INT offset, INT numberOfSegments,
                            REAL tension);
GpStatus GdipAddPathClosedCurve(GpPath* path, const GpPointF* points, INT count);
GpStatus GdipAddPathClosedCurveI(GpPath* path, const GpPoint* points, INT count);
GpStatus GdipAddPathClosedCurve2(GpPath* path, const GpPointF* points, INT count, REAL tension);
GpStatus GdipAddPathClosedCurve2I(GpPath* path, const GpPoint* points, INT count, REAL tension);
GpStatus GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipAddPathRectangleI(GpPath* path, INT x, INT y, INT width, INT height);
GpStatus GdipAddPathRectangles(GpPath* path, const GpRectF* rects, INT count);
GpStatus GdipAddPathRectanglesI(GpPath* path, const GpRect* rects, INT count);
GpStatus GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipAddPathEllipseI(GpPath* path, INT x, INT y, INT width, INT height);
GpStatus GdipAddPathPie(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
GpStatus GdipAddPathPieI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
GpStatus GdipAddPathPolygon(GpPath* path, const GpPointF* points, INT count);
GpStatus GdipAddPathPolygonI(GpPath* path, const GpPoint* points, INT count);
GpStatus GdipAddPathPath(GpPath* path, const GpPath* addingPath, BOOL connect);
GpStatus GdipAddPathString(GpPath* path, const WCHAR* string, INT length, const GpFontFamily* family, INT style,
                           REAL emSize, const GpRectF* layoutRect, const GpStringFormat* format);
GpStatus GdipAddPathStringI(GpPath* path, const WCHAR* string, INT length, const GpFontFamily* family, INT style,
                            REAL emSize, const GpRect* layoutRect, const GpStringFormat* format);
GpStatus GdipFlattenPath(GpPath* path, GpMatrix* matrix, REAL flatness);
GpStatus GdipWidenPath(GpPath* nativePath, GpPen* pen, GpMatrix* matrix, REAL flatness);
GpStatus GdipTransformPath(GpPath* path, GpMatrix* matrix);
GpStatus GdipGetPathWorldBounds(GpPath* path, GpRectF* bounds, const GpMatrix* matrix, const GpPen* pen);
GpStatus GdipGetPathWorldBoundsI(GpPath* path, GpRect* bounds, const GpMatrix* matrix, const GpPen* pen);
GpStatus GdipIsVisiblePathPoint(GpPath* path, REAL x, REAL y, GpGraphics* graphics, BOOL* result);
GpStatus GdipIsVisiblePathPointI(GpPath* path, INT x, INT y, GpGraphics* graphics, BOOL* result);
GpStatus GdipIsOutlineVisiblePathPoint(GpPath* path, REAL x, REAL y, GpPen* pen, GpGraphics* graphics,
                                       BOOL* result);
GpStatus GdipIsOutlineVisiblePathPointI(GpPath* path, INT x, INT y, GpPen* pen, GpGraphics* graphics,
                                        BOOL* result);

// ---- Regions ----------------------------------------------------------------------------------

GpStatus GdipCreateRegion(GpRegion** region);
GpStatus GdipCreateRegionRect(const GpRectF* rect, GpRegion** region);
GpStatus GdipCreateRegionRectI(const GpRect* rect, GpRegion** region);
GpStatus GdipCreateRegionPath(GpPath* path, GpRegion** region);
GpStatus GdipCreateRegionHrgn(HRGN hRgn, GpRegion** region);
GpStatus GdipCloneRegion(GpRegion* region, GpRegion** cloneRegion);
GpStatus GdipDeleteRegion(GpRegion* region);
GpStatus GdipSetInfinite(GpRegion* region);
GpStatus GdipSetEmpty(GpRegion* region);
GpStatus GdipCombineRegionRect(GpRegion* region, const GpRectF* rect, CombineMode combineMode);
GpStatus GdipCombineRegionRectI(GpRegion* region, const GpRect* rect, CombineMode combineMode);
GpStatus GdipCombineRegionPath(GpRegion* region, GpPath* path, CombineMode combineMode);
GpStatus GdipCombineRegionRegion(GpRegion* region, GpRegion* region2, CombineMode combineMode);
GpStatus GdipTranslateRegion(GpRegion* region, REAL dx, REAL dy);
GpStatus GdipTranslateRegionI(GpRegion* region, INT dx, INT dy);
GpStatus GdipTransformRegion(GpRegion* region, GpMatrix* matrix);
GpStatus GdipGetRegionBounds(GpRegion* region, GpGraphics* graphics, GpRectF* rect);
GpStatus GdipGetRegionBoundsI(GpRegion* region, GpGraphics* graphics, GpRect* rect);
GpStatus GdipGetRegionHRgn(GpRegion* region, GpGraphics* graphics, HRGN* hRgn);
GpStatus GdipIsEmptyRegion(GpRegion* region, GpGraphics* graphics, BOOL* result);
GpStatus GdipIsInfiniteRegion(GpRegion* region, GpGraphics* graphics, BOOL* result);
GpStatus GdipIsEqualRegion(GpRegion* region, GpRegion* region2, GpGraphics* graphics, BOOL* result);
GpStatus GdipIsVisibleRegionPoint(GpRegion* region, REAL x, REAL y, GpGraphics* graphics, BOOL* result);
GpStatus GdipIsVisibleRegionPointI(GpRegion* region, INT x, INT y, GpGraphics* graphics, BOOL* result);
GpStatus GdipIsVisibleRegionRect(GpRegion* region, REAL x, REAL y, REAL width, REAL height, GpGraphics* graphics,
                                 BOOL* result);
GpStatus GdipIsVisibleRegionRectI(GpRegion* region, INT x, INT y, INT width, INT height, GpGraphics* graphics,
                                  BOOL* result);
GpStatus GdipGetRegionScansCount(GpRegion* region, UINT* count, GpMatrix* matrix);
GpStatus GdipGetRegionScans(GpRegion* region, GpRectF* rects, INT* count, GpMatrix* matrix);
GpStatus GdipGetRegionScansI(GpRegion* region, GpRect* rects, INT* count, GpMatrix* matrix);

// ---- Brushes ------------------------------------------------------------------------------------

GpStatus GdipCloneBrush(GpBrush* brush, GpBrush** cloneBrush);
GpStatus GdipDeleteBrush(GpBrush* brush);
GpStatus GdipGetBrushType(GpBrush* brush, GpBrushType* type);

GpStatus GdipCreateSolidFill(ARGB color, GpSolidFill** brush);
GpStatus GdipSetSolidFillColor(GpSolidFill* brush, ARGB color);
GpStatus GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color);

GpStatus GdipCreateLineBrush(const GpPointF* point1, const GpPointF* point2, ARGB color1, ARGB color2,
                             GpWrapMode wrapMode, GpLineGradient** lineGradient);
GpStatus GdipCreateLineBrushI(const GpPoint* point1, const GpPoint* point2, ARGB color1, ARGB color2,
                              GpWrapMode wrapMode, GpLineGradient** lineGradient);
GpStatus GdipCreateLineBrushFromRect(const GpRectF* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                     GpWrapMode wrapMode, GpLineGradient** lineGradient);
GpStatus GdipCreateLineBrushFromRectI(const GpRect* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                      GpWrapMode wrapMode, GpLineGradient** lineGradient);
GpStatus GdipCreateLineBrushFromRectWithAngle(const GpRectF* rect, ARGB color1, ARGB color2, REAL angle,
                                              BOOL isAngleScalable, GpWrapMode wrapMode,
                                              GpLineGradient** lineGradient);
GpStatus GdipCreateLineBrushFromRectWithAngleI(const GpRect* rect, ARGB color1, ARGB color2, REAL angle,
                                               BOOL isAngleScalable, GpWrapMode wrapMode,
                                               GpLineGradient** lineGradient);
GpStatus GdipSetLineColors(GpLineGradient* brush, ARGB color1, ARGB color2);
GpStatus GdipGetLineColors(GpLineGradient* brush, ARGB* colors);
GpStatus GdipGetLineRect(GpLineGradient* brush, GpRectF* rect);
GpStatus GdipGetLineRectI(GpLineGradient* brush, GpRect* rect);
GpStatus GdipSetLineGammaCorrection(GpLineGradient* brush, BOOL useGammaCorrection);
GpStatus GdipGetLineGammaCorrection(GpLineGradient* brush, BOOL* useGammaCorrection);
GpStatus GdipGetLineBlendCount(GpLineGradient* brush, INT* count);
GpStatus GdipGetLineBlend(GpLineGradient* brush, REAL* blend, REAL* positions, INT count);
GpStatus GdipSetLineBlend(GpLineGradient* brush, const REAL* blend, const REAL* positions, INT count);
GpStatus GdipGetLinePresetBlendCount(GpLineGradient* brush, INT* count);
GpStatus GdipGetLinePresetBlend(GpLineGradient* brush, ARGB* blend, REAL* positions, INT count);
GpStatus GdipSetLinePresetBlend(GpLineGradient* brush, const ARGB* blend, const REAL* positions, INT count);
GpStatus GdipSetLineSigmaBlend(GpLineGradient* brush, REAL focus, REAL scale);
GpStatus GdipSetLineLinearBlend(GpLineGradient* brush, REAL focus, REAL scale);
GpStatus GdipSetLineWrapMode(GpLineGradient* brush, GpWrapMode wrapmode);
GpStatus GdipGetLineWrapMode(GpLineGradient* brush, GpWrapMode* wrapmode);
GpStatus GdipGetLineTransform(GpLineGradient* brush, GpMatrix* matrix);
GpStatus GdipSetLineTransform(GpLineGradient* brush, const GpMatrix* matrix);
GpStatus GdipResetLineTransform(GpLineGradient* brush);
GpStatus GdipMultiplyLineTransform(GpLineGradient* brush, const GpMatrix* matrix, MatrixOrder order);
GpStatus GdipTranslateLineTransform(GpLineGradient* brush, REAL dx, REAL dy, MatrixOrder order);
GpStatus GdipScaleLineTransform(GpLineGradient* brush, REAL sx, REAL sy, MatrixOrder order);
GpStatus GdipRotateLineTransform(GpLineGradient* brush, REAL angle, MatrixOrder order);

GpStatus GdipCreateTexture(GpImage* image, GpWrapMode wrapmode, GpTexture** texture);
GpStatus GdipCreateTexture2(GpImage* image, GpWrapMode wrapmode, REAL x, REAL y, REAL width, REAL height,
                            GpTexture** texture);
GpStatus GdipCreateTexture2I(GpImage* image, GpWrapMode wrapmode, INT x, INT y, INT width, INT height,
                             GpTexture** texture);
GpStatus GdipCreateTextureIA(GpImage* image, const GpImageAttributes* imageAttributes, REAL x, REAL y, REAL width,
                             REAL height, GpTexture** texture);
GpStatus GdipCreateTextureIAI(GpImage* image, const GpImageAttributes* imageAttributes, INT x, INT y, INT width,
                              INT height, GpTexture** texture);
GpStatus GdipGetTextureTransform(GpTexture* brush, GpMatrix* matrix);
GpStatus GdipSetTextureTransform(GpTexture* brush, const GpMatrix* matrix);
GpStatus GdipResetTextureTransform(GpTexture* brush);
GpStatus GdipMultiplyTextureTransform(GpTexture* brush, const GpMatrix* matrix, MatrixOrder order);
GpStatus GdipTranslateTextureTransform(GpTexture* brush, REAL dx, REAL dy, MatrixOrder order);
GpStatus GdipScaleTextureTransform(GpTexture* brush, REAL sx, REAL sy, MatrixOrder order);
GpStatus GdipRotateTextureTransform(GpTexture* brush, REAL angle, MatrixOrder order);
GpStatus GdipSetTextureWrapMode(GpTexture* brush, GpWrapMode wrapmode);
GpStatus GdipGetTextureWrapMode(GpTexture* brush, GpWrapMode* wrapmode);
GpStatus GdipGetTextureImage(GpTexture* brush, GpImage** image);

// ---- Pens ---------------------------------------------------------------------------------------

GpStatus GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen);
GpStatus GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen);
GpStatus GdipClonePen(GpPen* pen, GpPen** clonepen);
GpStatus GdipDeletePen(GpPen* pen);
GpStatus GdipSetPenWidth(GpPen* pen, REAL width);
GpStatus GdipGetPenWidth(GpPen* pen, REAL* width);
GpStatus GdipSetPenUnit(GpPen* pen, GpUnit unit);
GpStatus GdipGetPenUnit(GpPen* pen, GpUnit* unit);
GpStatus GdipSetPenLineCap197819(GpPen* pen, GpLineCap startCap, GpLineCap endCap, GpDashCap dashCap);
GpStatus GdipSetPenStartCap(GpPen* pen, GpLineCap startCap);
GpStatus GdipSetPenEndCap(GpPen* pen, GpLineCap endCap);
GpStatus GdipSetPenDashCap197819(GpPen* pen, GpDashCap dashCap);
GpStatus GdipGetPenStartCap(GpPen* pen, GpLineCap* startCap);
GpStatus GdipGetPenEndCap(GpPen* pen, GpLineCap* endCap);
GpStatus GdipGetPenDashCap197819(GpPen* pen, GpDashCap* dashCap);
GpStatus GdipSetPenLineJoin(GpPen* pen, GpLineJoin lineJoin);
GpStatus GdipGetPenLineJoin(GpPen* pen, GpLineJoin* lineJoin);
GpStatus GdipSetPenMiterLimit(GpPen* pen, REAL miterLimit);
GpStatus GdipGetPenMiterLimit(GpPen* pen, REAL* miterLimit);
GpStatus GdipSetPenMode(GpPen* pen, GpPenAlignment penMode);
GpStatus GdipGetPenMode(GpPen* pen, GpPenAlignment* penMode);
GpStatus GdipSetPenTransform(GpPen* pen, GpMatrix* matrix);
GpStatus GdipGetPenTransform(GpPen* pen, GpMatrix* matrix);
GpStatus GdipResetPenTransform(GpPen* pen);
GpStatus GdipMultiplyPenTransform(GpPen* pen, const GpMatrix* matrix, MatrixOrder order);
GpStatus GdipTranslatePenTransform(GpPen* pen, REAL dx, REAL dy, MatrixOrder order);
GpStatus GdipScalePenTransform(GpPen* pen, REAL sx, REAL sy, MatrixOrder order);
GpStatus GdipRotatePenTransform(GpPen* pen, REAL angle, MatrixOrder order);
GpStatus GdipSetPenColor(GpPen* pen, ARGB argb);
GpStatus GdipGetPenColor(GpPen* pen, ARGB* argb);
GpStatus GdipSetPenBrushFill(GpPen* pen, GpBrush* brush);
GpStatus GdipGetPenBrushFill(GpPen* pen, GpBrush** brush);
GpStatus GdipGetPenFillType(GpPen* pen, GpPenType* type);
GpStatus GdipGetPenDashStyle(GpPen* pen, GpDashStyle* dashstyle);
GpStatus GdipSetPenDashStyle(GpPen* pen, GpDashStyle dashstyle);
GpStatus GdipGetPenDashOffset(GpPen* pen, REAL* offset);
GpStatus GdipSetPenDashOffset(GpPen* pen, REAL offset);
GpStatus GdipGetPenDashCount(GpPen* pen, INT* count);
GpStatus GdipSetPenDashArray(GpPen* pen, const REAL* dash, INT count);
GpStatus GdipGetPenDashArray(GpPen* pen, REAL* dash, INT count);
GpStatus GdipGetPenCompoundCount(GpPen* pen, INT* count);

// ---- Images -------------------------------------------------------------------------------------

// Decoding happens at once: a corrupt or truncated file answers
// OutOfMemory or UnknownImageFormat and no image is made.
GpStatus GdipLoadImageFromStream(IStream* stream, GpImage** image);
GpStatus GdipLoadImageFromFile(const WCHAR* filename, GpImage** image);
GpStatus GdipLoadImageFromStreamICM(IStream* stream, GpImage** image);
GpStatus GdipLoadImageFromFileICM(const WCHAR* filename, GpImage** image);
GpStatus GdipCloneImage(GpImage* image, GpImage** cloneImage);
GpStatus GdipDisposeImage(GpImage* image);
GpStatus GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                             const EncoderParameters* encoderParams);
GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const CLSID* clsidEncoder,
                               const EncoderParameters* encoderParams);
GpStatus GdipGetImageBounds(GpImage* image, GpRectF* srcRect, GpUnit* srcUnit);
GpStatus GdipGetImageDimension(GpImage* image, REAL* width, REAL* height);
GpStatus GdipGetImageType(GpImage* image, ImageType* type);
GpStatus GdipGetImageWidth(GpImage* image, UINT* width);
GpStatus GdipGetImageHeight(GpImage* image, UINT* height);
GpStatus GdipGetImageHorizontalResolution(GpImage* image, REAL* resolution);
GpStatus GdipGetImageVerticalResolution(GpImage* image, REAL* resolution);
GpStatus GdipGetImageFlags(GpImage* image, UINT* flags);
GpStatus GdipGetImageRawFormat(GpImage* image, GUID* format);
GpStatus GdipGetImagePixelFormat(GpImage* image, PixelFormat* format);
using GetThumbnailImageAbort = BOOL (*)(void* data);
GpStatus GdipGetImageThumbnail(GpImage* image, UINT thumbWidth, UINT thumbHeight, GpImage** thumbImage,
                               GetThumbnailImageAbort callback, void* callbackData);
GpStatus GdipGetEncoderParameterListSize(GpImage* image, const CLSID* clsidEncoder, UINT* size);
GpStatus GdipGetEncoderParameterList(GpImage* image, const CLSID* clsidEncoder, UINT size,
                                     EncoderParameters* buffer);
GpStatus GdipImageGetFrameDimensionsCount(GpImage* image, UINT* count);
GpStatus GdipImageGetFrameDimensionsList(GpImage* image, GUID* dimensionIDs, UINT count);
GpStatus GdipImageGetFrameCount(GpImage* image, const GUID* dimensionID, UINT* count);
GpStatus GdipImageSelectActiveFrame(GpImage* image, const GUID* dimensionID, UINT frameIndex);
GpStatus GdipImageRotateFlip(GpImage* image, RotateFlipType rfType);
GpStatus GdipGetImagePalette(GpImage* image, ColorPalette* palette, INT size);
GpStatus GdipSetImagePalette(GpImage* image, const ColorPalette* palette);
GpStatus GdipGetImagePaletteSize(GpImage* image, INT* size);
GpStatus GdipGetPropertyCount(GpImage* image, UINT* numOfProperty);
GpStatus GdipGetPropertyIdList(GpImage* image, UINT numOfProperty, PROPID* list);
GpStatus GdipGetPropertyItemSize(GpImage* image, PROPID propId, UINT* size);
GpStatus GdipGetPropertyItem(GpImage* image, PROPID propId, UINT propSize, PropertyItem* buffer);
GpStatus GdipGetPropertySize(GpImage* image, UINT* totalBufferSize, UINT* numProperties);
GpStatus GdipGetAllPropertyItems(GpImage* image, UINT totalBufferSize, UINT numProperties, PropertyItem* allItems);
GpStatus GdipRemovePropertyItem(GpImage* image, PROPID propId);
GpStatus GdipImageForceValidation(GpImage* image);

GpStatus GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromStreamICM(IStream* stream, GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromFileICM(const WCHAR* filename, GpBitmap** bitmap);
// With scan0, the bitmap draws and is drawn in the caller's buffer, which
// must outlive it; stride may be negative (rows going up). Without, stride
// is ignored and the bitmap owns zeroed pixels.
GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                   GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromGraphics(INT width, INT height, GpGraphics* target, GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromGdiDib(const BITMAPINFO* gdiBitmapInfo, void* gdiBitmapData, GpBitmap** bitmap);
// 32-bit bitmaps become PixelFormat32bppRGB (their fourth byte is not
// alpha to GDI); others PixelFormat24bppRGB or an indexed format.
GpStatus GdipCreateBitmapFromHBITMAP(HBITMAP hbm, HPALETTE hpal, GpBitmap** bitmap);
// A top-down 32-bit DIB section; pixels with alpha are blended onto
// `background` (ARGB), as on the original platform.
GpStatus GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbmReturn, ARGB background);
GpStatus GdipCreateBitmapFromHICON(HICON hicon, GpBitmap** bitmap);
GpStatus GdipCreateHICONFromBitmap(GpBitmap* bitmap, HICON* hbmReturn);
GpStatus GdipCloneBitmapArea(REAL x, REAL y, REAL width, REAL height, PixelFormat format, GpBitmap* srcBitmap,
                             GpBitmap** dstBitmap);
GpStatus GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format, GpBitmap* srcBitmap,
                              GpBitmap** dstBitmap);
GpStatus GdipBitmapLockBits(GpBitmap* bitmap, const GpRect* rect, UINT flags, PixelFormat format,
                            BitmapData* lockedBitmapData);
GpStatus GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedBitmapData);
GpStatus GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color);
GpStatus GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color);
GpStatus GdipBitmapSetResolution(GpBitmap* bitmap, REAL xdpi, REAL ydpi);

GpStatus GdipGetImageDecodersSize(UINT* numDecoders, UINT* size);
GpStatus GdipGetImageDecoders(UINT numDecoders, UINT size, ImageCodecInfo* decoders);
GpStatus GdipGetImageEncodersSize(UINT* numEncoders, UINT* size);
GpStatus GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders);

// ---- Image attributes ---------------------------------------------------------------------------

GpStatus GdipCreateImageAttributes(GpImageAttributes** imageattr);
GpStatus GdipCloneImageAttributes(const GpImageAttributes* imageattr, GpImageAttributes** cloneImageattr);
GpStatus GdipDisposeImageAttributes(GpImageAttributes* imageattr);
GpStatus GdipSetImageAttributesToIdentity(GpImageAttributes* imageattr, ColorAdjustType type);
GpStatus GdipResetImageAttributes(GpImageAttributes* imageattr, ColorAdjustType type);
GpStatus GdipSetImageAttributesColorMatrix(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                           const ColorMatrix* colorMatrix, const ColorMatrix* grayMatrix,
                                           ColorMatrixFlags flags);
GpStatus GdipSetImageAttributesThreshold(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                         REAL threshold);
GpStatus GdipSetImageAttributesGamma(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                     REAL gamma);
GpStatus GdipSetImageAttributesNoOp(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag);
GpStatus GdipSetImageAttributesColorKeys(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                         ARGB colorLow, ARGB colorHigh);
GpStatus GdipSetImageAttributesRemapTable(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                          UINT mapSize, const ColorMap* map);
GpStatus GdipSetImageAttributesWrapMode(GpImageAttributes* imageAttr, WrapMode wrap, ARGB argb, BOOL clamp);
GpStatus GdipSetImageAttributesICMMode(GpImageAttributes* imageAttr, BOOL on);
GpStatus GdipSetImageAttributesCachedBackground(GpImageAttributes* imageattr, BOOL enableFlag);

// ---- Fonts and text ---------------------------------------------------------------------------------

// Family names are those the forms ask for (Tahoma, Segoe UI, ...) or
// installed ones; each maps to an installed family.
GpStatus GdipCreateFontFamilyFromName(const WCHAR* name, GpFontCollection* fontCollection,
                                      GpFontFamily** fontFamily);
GpStatus GdipDeleteFontFamily(GpFontFamily* fontFamily);
GpStatus GdipCloneFontFamily(GpFontFamily* fontFamily, GpFontFamily** clonedFontFamily);
GpStatus GdipGetGenericFontFamilySansSerif(GpFontFamily** nativeFamily);
GpStatus GdipGetGenericFontFamilySerif(GpFontFamily** nativeFamily);
GpStatus GdipGetGenericFontFamilyMonospace(GpFontFamily** nativeFamily);
GpStatus GdipGetFamilyName(const GpFontFamily* family, WCHAR name[LF_FACESIZE], LANGID language);
GpStatus GdipIsStyleAvailable(const GpFontFamily* family, INT style, BOOL* isStyleAvailable);
GpStatus GdipGetEmHeight(const GpFontFamily* family, INT style, UINT16* EmHeight);
GpStatus GdipGetCellAscent(const GpFontFamily* family, INT style, UINT16* CellAscent);
GpStatus GdipGetCellDescent(const GpFontFamily* family, INT style, UINT16* CellDescent);
GpStatus GdipGetLineSpacing(const GpFontFamily* family, INT style, UINT16* LineSpacing);
GpStatus GdipNewInstalledFontCollection(GpFontCollection** fontCollection);
GpStatus GdipNewPrivateFontCollection(GpFontCollection** fontCollection);
GpStatus GdipDeletePrivateFontCollection(GpFontCollection** fontCollection);
GpStatus GdipGetFontCollectionFamilyCount(GpFontCollection* fontCollection, INT* numFound);
GpStatus GdipGetFontCollectionFamilyList(GpFontCollection* fontCollection, INT numSought, GpFontFamily* gpfamilies[],
                                         INT* numFound);
GpStatus GdipPrivateAddFontFile(GpFontCollection* fontCollection, const WCHAR* filename);

GpStatus GdipCreateFontFromDC(HDC hdc, GpFont** font);
GpStatus GdipCreateFontFromLogfontA(HDC hdc, const LOGFONTA* logfont, GpFont** font);
GpStatus GdipCreateFontFromLogfontW(HDC hdc, const LOGFONTW* logfont, GpFont** font);
GpStatus GdipCreateFont(const GpFontFamily* fontFamily, REAL emSize, INT style, INT unit, GpFont** font);
GpStatus GdipCloneFont(GpFont* font, GpFont** cloneFont);
GpStatus GdipDeleteFont(GpFont* font);
GpStatus GdipGetFamily(GpFont* font, GpFontFamily** family);
GpStatus GdipGetFontStyle(GpFont* font, INT* style);
GpStatus GdipGetFontSize(GpFont* font, REAL* size);
GpStatus GdipGetFontUnit(GpFont* font, GpUnit* unit);
GpStatus GdipGetFontHeight(const GpFont* font, const GpGraphics* graphics, REAL* height);
GpStatus GdipGetFontHeightGivenDPI(const GpFont* font, REAL dpi, REAL* height);
GpStatus GdipGetLogFontA(GpFont* font, GpGraphics* graphics, LOGFONTA* logfontA);
GpStatus GdipGetLogFontW(GpFont* font, GpGraphics* graphics, LOGFONTW* logfontW);

GpStatus GdipCreateStringFormat(INT formatAttributes, LANGID language, GpStringFormat** format);
GpStatus GdipStringFormatGetGenericDefault(GpStringFormat** format);
GpStatus GdipStringFormatGetGenericTypographic(GpStringFormat** format);
GpStatus GdipDeleteStringFormat(GpStringFormat* format);
GpStatus GdipCloneStringFormat(const GpStringFormat* format, GpStringFormat** newFormat);
GpStatus GdipSetStringFormatFlags(GpStringFormat* format, INT flags);
GpStatus GdipGetStringFormatFlags(const GpStringFormat* format, INT* flags);
GpStatus GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align);
GpStatus GdipGetStringFormatAlign(const GpStringFormat* format, StringAlignment* align);
GpStatus GdipSetStringFormatLineAlign(GpStringFormat* format, StringAlignment align);
GpStatus GdipGetStringFormatLineAlign(const GpStringFormat* format, StringAlignment* align);
GpStatus GdipSetStringFormatTrimming(GpStringFormat* format, StringTrimming trimming);
GpStatus GdipGetStringFormatTrimming(const GpStringFormat* format, StringTrimming* trimming);
GpStatus GdipSetStringFormatHotkeyPrefix(GpStringFormat* format, INT hotkeyPrefix);
GpStatus GdipGetStringFormatHotkeyPrefix(const GpStringFormat* format, INT* hotkeyPrefix);
GpStatus GdipSetStringFormatTabStops(GpStringFormat* format, REAL firstTabOffset, INT count, const REAL* tabStops);
GpStatus GdipGetStringFormatTabStops(const GpStringFormat* format, INT count, REAL* firstTabOffset, REAL* tabStops);
GpStatus GdipGetStringFormatTabStopCount(const GpStringFormat* format, INT* count);
GpStatus GdipSetStringFormatDigitSubstitution(GpStringFormat* format, LANGID language,
                                              StringDigitSubstitute substitute);
GpStatus GdipGetStringFormatDigitSubstitution(const GpStringFormat* format, LANGID* language,
                                              StringDigitSubstitute* substitute);
GpStatus GdipGetStringFormatMeasurableCharacterRangeCount(const GpStringFormat* format, INT* count);
GpStatus GdipSetStringFormatMeasurableCharacterRanges(GpStringFormat* format, INT rangeCount,
                                                      const CharacterRange* ranges);

// length -1: up to the terminating zero.
GpStatus GdipDrawString(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                        const GpRectF* layoutRect, const GpStringFormat* stringFormat, const GpBrush* brush);
GpStatus GdipMeasureString(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                           const GpRectF* layoutRect, const GpStringFormat* stringFormat, GpRectF* boundingBox,
                           INT* codepointsFitted, INT* linesFilled);
GpStatus GdipMeasureCharacterRanges(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                                    const GpRectF& layoutRect, const GpStringFormat* stringFormat, INT regionCount,
                                    GpRegion** regions);

// ---- Bound by name, not implemented ----------------------------------------------------
// Each answers NotImplemented (GdipEmfToWmfBits: 0 bytes) and touches no
// argument; outputs stay as the caller left them.
GpStatus GdipCreatePathGradient(const GpPointF* points, INT count, GpWrapMode wrapMode,
                                GpPathGradient** polyGradient);
GpStatus GdipCreateMetafileFromEmf(HENHMETAFILE hEmf, BOOL deleteEmf, GpMetafile** metafile);
UINT GdipEmfToWmfBits(HENHMETAFILE hemf, UINT cbData16, BYTE* pData16, INT iMapMode, INT eFlags);
GpStatus GdipPathIterRewind(GpPathIterator* iterator);
GpStatus GdipWarpPath(GpPath* path, GpMatrix* matrix, const GpPointF* points, INT count, REAL srcx, REAL srcy,
                      REAL srcwidth, REAL srcheight, WarpMode warpMode, REAL flatness);
