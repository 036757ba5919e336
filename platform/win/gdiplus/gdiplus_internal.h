// The objects behind the GDI+ handles, and what the GDI+ files share.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend/gdiplus_painter.h"
#include "platform/win/gdiplus/gdiplus.h"

using rtl::backend::TGpMatrix;
using rtl::backend::TGpPathData;
using rtl::backend::TGpRegionNode;

// ---- Plain objects ---------------------------------------------------------

struct GpMatrix {
  TGpMatrix M;
};

struct GpPath {
  TGpPathData Data;
  bool NewFigure = true;  // the next point starts a figure
};

struct GpRegion {
  std::shared_ptr<const TGpRegionNode> Root;  // never null
};

struct GpPen {
  std::unique_ptr<GpBrush> Brush;
  REAL Width = 1;
  GpUnit Unit = UnitWorld;
  GpLineCap StartCap = LineCapFlat, EndCap = LineCapFlat;
  GpDashCap DashCap = DashCapFlat;
  GpLineJoin Join = LineJoinMiter;
  REAL MiterLimit = 10;
  GpPenAlignment Alignment = PenAlignmentCenter;
  GpDashStyle Style = DashStyleSolid;
  std::vector<REAL> Dashes;  // DashStyleCustom
  REAL DashOffset = 0;
  TGpMatrix Transform;
};

struct GpFontFamily {
  std::u16string Name;  // as asked for
};

struct GpFontCollection {
  bool Private = false;
  std::vector<std::u16string> Families;  // of a private collection
};

struct GpFont {
  std::u16string Family;
  REAL Size = 12;
  INT Style = FontStyleRegular;
  GpUnit Unit = UnitPoint;
};

struct GpStringFormat {
  INT Flags = 0;
  LANGID Language = 0;
  StringAlignment Align = StringAlignmentNear;
  StringAlignment LineAlign = StringAlignmentNear;
  StringTrimming Trimming = StringTrimmingCharacter;
  INT HotkeyPrefix = HotkeyPrefixNone;
  REAL FirstTabOffset = 0;
  std::vector<REAL> TabStops;
  LANGID DigitLanguage = 0;
  StringDigitSubstitute DigitSubstitute = StringDigitSubstituteUser;
  std::vector<CharacterRange> Ranges;
  bool Typographic = false;
};

// Colour adjustments of one ColorAdjustType.
struct TGpColorAdjust {
  bool Set = false;  // this category has its own settings
  bool NoOp = false;
  bool HasMatrix = false;
  ColorMatrix Matrix{};
  ColorMatrix Gray{};
  ColorMatrixFlags MatrixFlags = ColorMatrixFlagsDefault;
  bool HasThreshold = false;
  REAL Threshold = 0;
  bool HasGamma = false;
  REAL Gamma = 1;
  bool HasKeys = false;
  ARGB KeyLow = 0, KeyHigh = 0;
  std::vector<ColorMap> Remap;
};

struct GpImageAttributes {
  TGpColorAdjust Adjust[ColorAdjustTypeCount];
  WrapMode Wrap = WrapModeClamp;
  ARGB WrapColor = 0;
};

namespace rtl::detail {

// ---- Matrices ---------------------------------------------------------------

// `op` applied before (prepend) or after (append) `m`.
TGpMatrix Compose(const TGpMatrix& m, const TGpMatrix& op, MatrixOrder order);
TGpMatrix Translation(double dx, double dy);
TGpMatrix Scaling(double sx, double sy);
TGpMatrix Rotation(double degrees);
// The transform of the matrix argument of a call; false for an invalid order.
bool ValidOrder(MatrixOrder order);

// ---- Brushes ----------------------------------------------------------------

// What every brush is besides its public family.
struct TGpBrushImpl {
  virtual ~TGpBrushImpl() = default;
  virtual GpBrushType Type() const = 0;
  virtual GpBrush* Clone() const = 0;
  // The painter's description. Texture pixels stay owned by the brush.
  virtual void Describe(rtl::backend::TGpBrushData& out) const = 0;
};
TGpBrushImpl* BrushImpl(const GpBrush* brush);
GpBrush* NewSolidFill(ARGB color);

// ---- Images -----------------------------------------------------------------

// A bitmap: pixels in one of the supported formats, owned or the caller's.
struct TGpBitmap final : GpBitmap {
  INT Width = 0, Height = 0;
  PixelFormat Format = PixelFormat32bppARGB;
  INT Stride = 0;              // bytes from a row to the next (negative: upwards)
  BYTE* Scan0 = nullptr;       // the top row
  std::vector<BYTE> Owned;     // empty when the pixels are the caller's
  GUID RawFormat = ImageFormatMemoryBMP;
  REAL DpiX = 96, DpiY = 96;
  UINT Flags = ImageFlagsNone;
  std::vector<ARGB> Palette;   // indexed formats
  UINT PaletteFlags = 0;
  // The encoded file of a multi-frame image, to select other frames.
  std::shared_ptr<const std::string> Source;
  UINT FrameCount = 1;
  UINT Frame = 0;
  // Lock state.
  bool Locked = false;
  std::vector<BYTE> LockBuffer;
  GpRect LockRect{};
  UINT LockFlags = 0;
  PixelFormat LockFormat = 0;
  bool LockInPlace = false;

  BYTE* Row(INT y) const { return Scan0 + ptrdiff_t(y) * Stride; }
};

TGpBitmap* BitmapImpl(const GpImage* image);
bool SupportedFormat(PixelFormat format);
// Allocates zeroed pixels of the size and format (false when too large).
bool AllocatePixels(TGpBitmap& b, INT width, INT height, PixelFormat format);
// Straight ARGB of a pixel, and back.
ARGB ReadPixel(const TGpBitmap& b, INT x, INT y);
void WritePixel(TGpBitmap& b, INT x, INT y, ARGB color);
// Copies a rectangle of rows of one format into rows of another.
void ConvertRows(const BYTE* src, INT srcStride, PixelFormat srcFormat, const std::vector<ARGB>& srcPalette,
                 BYTE* dst, INT dstStride, PixelFormat dstFormat, const std::vector<ARGB>& dstPalette, INT width,
                 INT height);
// The bitmap's pixels as the painter reads or writes them; formats the
// painter cannot address directly are converted into `scratch`.
rtl::backend::TGpPixels PixelsOf(const TGpBitmap& b, std::vector<BYTE>* scratch);
bool PainterCanAddress(PixelFormat format);
// A new bitmap from decoded pixels (straight 0xAARRGGBB).
TGpBitmap* NewBitmapFromPixels(INT width, INT height, const uint32_t* pixels, PixelFormat format);

// Applies image attributes of the category (falling back to the default
// one) to straight ARGB pixels.
void AdjustColors(const GpImageAttributes* attributes, ColorAdjustType type, uint32_t* pixels, size_t count);
// A premultiplied copy of part of a bitmap, with attributes applied.
std::unique_ptr<TGpBitmap> PremultipliedCopy(const TGpBitmap& b, INT x, INT y, INT width, INT height,
                                             const GpImageAttributes* attributes);

// ---- Graphics ----------------------------------------------------------------

TGpMatrix PageTransform(const GpGraphics* g);
// World to target pixels.
TGpMatrix WorldToTarget(const GpGraphics* g);
// The clip in target pixels, GDI+'s and the device's together (null: none).
std::shared_ptr<const TGpRegionNode> TargetClip(GpGraphics* g);
// Paints through the graphics' painter: `paint` runs with the painter and
// the state of the graphics.
GpStatus Paint(GpGraphics* g,
               const std::function<void(rtl::backend::TGpPainter&, const rtl::backend::TGpPaintState&)>& paint);
// Finds the pixels, transform and clip of the graphics' DC.
void AcquireDcTarget(GpGraphics* g);
// Target pixels that are visible (device bounds and every clip).
const std::vector<TRect>& VisibleRects(GpGraphics* g);
REAL UnitToPixels(GpUnit unit, REAL dpi);

// ---- Regions and paths ---------------------------------------------------------

std::shared_ptr<const TGpRegionNode> RegionNode(TGpRegionNode::TKind kind);
std::shared_ptr<const TGpRegionNode> RectNode(const GpRectF& rect);
std::shared_ptr<const TGpRegionNode> PathNode(const TGpPathData& path);
std::shared_ptr<const TGpRegionNode> CombineNodes(std::shared_ptr<const TGpRegionNode> a,
                                                  std::shared_ptr<const TGpRegionNode> b, CombineMode mode);
// The rectangles of a GDI region; null for an invalid handle.
std::shared_ptr<const TGpRegionNode> RegionFromHrgn(HRGN rgn);
std::shared_ptr<const TGpRegionNode> TransformNode(const std::shared_ptr<const TGpRegionNode>& node,
                                                   const TGpMatrix& m);
void TransformPathData(TGpPathData& path, const TGpMatrix& m);
// Path building blocks shared by paths and the drawing calls.
void AddLines(TGpPathData& d, bool& newFigure, const GpPointF* points, INT count);
void AddArc(TGpPathData& d, bool& newFigure, REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep);
void AddBeziers(TGpPathData& d, bool& newFigure, const GpPointF* points, INT count);
void AddCurve(TGpPathData& d, bool& newFigure, const GpPointF* points, INT count, INT offset, INT segments,
              REAL tension, bool closed);
void AddRectangle(TGpPathData& d, const GpRectF& r);
void AddEllipse(TGpPathData& d, REAL x, REAL y, REAL w, REAL h);
void AddPie(TGpPathData& d, REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep);
void AddPolygon(TGpPathData& d, const GpPointF* points, INT count);
void CloseFigure(TGpPathData& d, bool& newFigure);
// Curves replaced by lines no further than `tolerance` from them.
TGpPathData Flatten(const TGpPathData& path, double tolerance);
std::vector<GpPointF> ToPointsF(const GpPoint* points, INT count);
std::vector<GpRectF> ToRectsF(const GpRect* rects, INT count);

// ---- Pens and text ---------------------------------------------------------------

void DescribePen(const GpPen* pen, const GpGraphics* g, rtl::backend::TGpPenData& out);
rtl::backend::TGpFontData DescribeFont(const GpFont* font, const GpGraphics* g);
rtl::backend::TGpTextFormat DescribeFormat(const GpStringFormat* format);

}  // namespace rtl::detail

// ---- Graphics --------------------------------------------------------------------

struct GpGraphics {
  HDC Dc = nullptr;                   // made from a device context
  HBITMAP DcBitmap = nullptr;         // the bitmap the DC had selected then
  rtl::detail::TGpBitmap* Image = nullptr;  // made from an image
  // Where drawing lands. A DC without addressable pixels (a device-dependent
  // bitmap, the screen) is painted through a copy, per call.
  rtl::backend::TGpPixels Target;
  bool Direct = true;
  std::vector<BYTE> Scratch;          // an image in a format the painter cannot address
  TGpMatrix DeviceToTarget;           // the DC's logical coordinates to target pixels
  std::shared_ptr<const TGpRegionNode> DeviceClip;  // target pixels; null: the whole target
  INT TargetWidth = 0, TargetHeight = 0;
  HDC ImageDc = nullptr;              // GdipGetDC on an image
  HBITMAP ImageDcBitmap = nullptr;
  HGDIOBJ ImageDcOld = nullptr;

  TGpMatrix World;
  GpUnit PageUnit = UnitDisplay;
  REAL PageScale = 1;
  REAL DpiX = 96, DpiY = 96;
  std::shared_ptr<const TGpRegionNode> Clip;  // device space; null: infinite
  SmoothingMode Smoothing = SmoothingModeNone;
  InterpolationMode Interpolation = InterpolationModeBilinear;
  CompositingMode Compositing = CompositingModeSourceOver;
  CompositingQuality CompositingQ = CompositingQualityDefault;
  PixelOffsetMode PixelOffset = PixelOffsetModeDefault;
  TextRenderingHint TextHint = TextRenderingHintSystemDefault;
  UINT TextContrast = 4;
  INT OriginX = 0, OriginY = 0;

  struct TSaved {
    UINT Id;
    bool Container;
    TGpMatrix World;
    GpUnit PageUnit;
    REAL PageScale;
    std::shared_ptr<const TGpRegionNode> Clip;
    SmoothingMode Smoothing;
    InterpolationMode Interpolation;
    CompositingMode Compositing;
    CompositingQuality CompositingQ;
    PixelOffsetMode PixelOffset;
    TextRenderingHint TextHint;
    UINT TextContrast;
  };
  std::vector<TSaved> Saved;
  UINT NextState = 1;

  // Caches, dropped when the clip or the transform changes.
  std::shared_ptr<const TGpRegionNode> TargetClipCache;
  bool TargetClipValid = false;
  std::vector<TRect> VisibleRects;
  bool VisibleValid = false;
  std::unique_ptr<rtl::backend::TGpPainter> Painter;

  void Invalidate() {
    TargetClipValid = false;
    VisibleValid = false;
  }
};

struct GpCachedBitmap {
  std::unique_ptr<rtl::detail::TGpBitmap> Bitmap;
};
