// The anti-aliased painter behind the GDI+ layer: fills and strokes of
// paths, images and text, drawn in place on 32-bit pixels in memory
// (nothing is copied), and the geometry services regions and text need.
// Descriptions are plain data; no Qt type appears here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/types.h"

namespace rtl::backend {

// x' = x*M11 + y*M21 + Dx, y' = x*M12 + y*M22 + Dy.
struct TGpMatrix {
  double M11 = 1, M12 = 0, M21 = 0, M22 = 1, Dx = 0, Dy = 0;
  bool IsIdentity() const { return M11 == 1 && M12 == 0 && M21 == 0 && M22 == 1 && Dx == 0 && Dy == 0; }
  // This transform, then `then`.
  TGpMatrix Then(const TGpMatrix& then) const;
  bool Invert(TGpMatrix& out) const;
  void Map(double x, double y, double& ox, double& oy) const {
    ox = x * M11 + y * M21 + Dx;
    oy = x * M12 + y * M22 + Dy;
  }
};

struct TGpPointF {
  float X = 0, Y = 0;
};

struct TGpRectF {
  float X = 0, Y = 0, Width = 0, Height = 0;
};

// How 32-bit pixels hold alpha; 24-bit pixels are B,G,R bytes.
enum TGpPixelLayout { plPremultiplied, plStraight, plOpaque32, plBgr24 };

// Pixels in memory. Bits points at the top row; a negative Stride means
// that rows go upwards in memory (a bottom-up bitmap).
struct TGpPixels {
  uint8_t* Bits = nullptr;
  int Width = 0;
  int Height = 0;
  int Stride = 0;
  TGpPixelLayout Layout = plPremultiplied;
};

// Point types of a path, as GDI+ numbers them.
enum : uint8_t {
  ptStart = 0,
  ptLine = 1,
  ptBezier = 3,
  ptTypeMask = 0x07,
  ptDashMode = 0x10,
  ptMarker = 0x20,
  ptCloseSubpath = 0x80,
};

struct TGpPathData {
  std::vector<TGpPointF> Points;
  std::vector<uint8_t> Types;
  bool Winding = false;
};

// A region as the tree of operations that built it. Subtrees are shared
// between copies and never changed.
struct TGpRegionNode {
  enum TKind { rnEmpty, rnInfinite, rnRect, rnPath, rnCombine };
  TKind Kind = rnInfinite;
  TGpRectF Rect;       // rnRect
  TGpPathData Path;    // rnPath
  int Combine = 0;     // rnCombine: 1 intersect, 2 union, 3 xor, 4 exclude, 5 complement
  std::shared_ptr<const TGpRegionNode> Left, Right;
};

// The rectangle that stands for an infinite region.
constexpr float kInfiniteExtent = 4194304.0f;

// Gradient and texture wrap modes.
enum TGpWrap { gwTile, gwTileFlipX, gwTileFlipY, gwTileFlipXY, gwClamp };

struct TGpColorStop {
  float Position;  // 0..1
  uint32_t Color;  // ARGB, straight
};

struct TGpBrushData {
  enum TKind { bkSolid, bkLinear, bkTexture };
  TKind Kind = bkSolid;
  uint32_t Color = 0;  // bkSolid, ARGB straight
  // bkLinear: the colours run from Start to End in brush space.
  TGpPointF Start, End;
  std::vector<TGpColorStop> Stops;
  TGpWrap Wrap = gwTile;
  TGpMatrix Transform;  // brush space to world space
  // bkTexture: the tile, in brush space at (0, 0).
  TGpPixels Texture;
};

enum TGpLineCap { lcFlat = 0, lcSquare = 1, lcRound = 2, lcTriangle = 3 };
enum TGpLineJoin { ljMiter = 0, ljBevel = 1, ljRound = 2, ljMiterClipped = 3 };

struct TGpPenData {
  TGpBrushData Brush;
  float Width = 1;  // world units (after the pen's own transform)
  TGpLineCap StartCap = lcFlat, EndCap = lcFlat, DashCap = lcFlat;
  TGpLineJoin Join = ljMiter;
  float MiterLimit = 10;
  bool Inset = false;           // drawn inside closed figures
  std::vector<float> Dashes;    // in units of the width; empty: solid
  float DashOffset = 0;
  TGpMatrix Transform;          // the pen's own transform
};

enum TGpInterpolation { giNearest, giBilinear, giSmooth };

struct TGpPaintState {
  TGpMatrix World;  // world to target pixels
  // The clip in target pixels; null for none.
  const TGpRegionNode* Clip = nullptr;
  bool Antialias = false;
  // Shapes sit on pixel centres (GDI+'s default pixel offset): an
  // anti-aliased shape's coordinates are shifted by half a pixel.
  bool CenterPixels = true;
  bool SourceCopy = false;
  TGpInterpolation Interpolation = giBilinear;
  bool TextAntialias = true;
};

// ---- Text -----------------------------------------------------------------

struct TGpFontData {
  std::u16string Family;  // as asked for; mapped to an installed family
  float EmSize = 12;      // in world units
  bool Bold = false, Italic = false, Underline = false, Strikeout = false;
};

struct TGpFontMetrics {
  std::u16string Family;  // the installed family
  float Ascent = 0, Descent = 0, LineSpacing = 0;  // for EmSize 1
};

enum TGpStringAlign { saNear, saCenter, saFar };

struct TGpTextFormat {
  int Flags = 0;  // StringFormatFlags
  TGpStringAlign Align = saNear, LineAlign = saNear;
  int Trimming = 1;        // StringTrimming
  int HotkeyPrefix = 0;    // 0 none, 1 show, 2 hide
  float FirstTabOffset = 0;
  std::vector<float> TabStops;
  bool Typographic = false;  // no padding around the text
};

struct TGpTextLayout {
  TGpRectF Bounds;          // of the laid-out lines, in world units
  int CodepointsFitted = 0;
  int LinesFilled = 0;
};

TGpFontMetrics GpFontMetrics(const std::u16string& family, bool bold, bool italic);
bool GpFontFamilyExists(const std::u16string& family);
std::vector<std::u16string> GpInstalledFamilies();
// Lays out the text in `layout` (a zero width or height: unlimited) and
// reports the extent; with `ranges`, also the box of each character range
// (first, length) as rectangles, one list per range.
void GpMeasureText(const std::u16string& text, const TGpFontData& font, const TGpRectF& layout,
                   const TGpTextFormat& format, TGpTextLayout& out,
                   const std::vector<std::pair<int, int>>* ranges = nullptr,
                   std::vector<std::vector<TGpRectF>>* rangeBoxes = nullptr);
// The outlines of the text laid out the same way, appended to `path`.
void GpTextToPath(const std::u16string& text, const TGpFontData& font, const TGpRectF& layout,
                  const TGpTextFormat& format, TGpPathData& path);

// ---- Regions ------------------------------------------------------------------

// The region as pixel rectangles (a pixel is in when its centre is),
// in bands from top to bottom, after `transform`.
std::vector<TRect> GpRegionRects(const TGpRegionNode& region, const TGpMatrix& transform);
// The region's outline as a path (an infinite region as a rectangle of
// kInfiniteExtent each way).
TGpPathData GpRegionPath(const TGpRegionNode& region);
// The outline of a path widened by a pen (for outline hit tests and
// GdipWidenPath), flattened to lines.
TGpPathData GpWidenPath(const TGpPathData& path, const TGpPenData& pen, const TGpMatrix& transform);
// Whether (x, y) lies inside the path's fill.
bool GpPathContains(const TGpPathData& path, float x, float y);

// ---- Painting -------------------------------------------------------------------

class TGpPainter {
 public:
  explicit TGpPainter(const TGpPixels& target);
  ~TGpPainter();
  TGpPainter(const TGpPainter&) = delete;
  TGpPainter& operator=(const TGpPainter&) = delete;

  void FillPath(const TGpPaintState& state, const TGpPathData& path, const TGpBrushData& brush);
  void StrokePath(const TGpPaintState& state, const TGpPathData& path, const TGpPenData& pen);
  // Draws the source rectangle of `image` into the parallelogram whose
  // upper-left, upper-right and lower-left corners are `dest` (world).
  void DrawImage(const TGpPaintState& state, const TGpPixels& image, const TGpRectF& source,
                 const TGpPointF dest[3]);
  void DrawText(const TGpPaintState& state, const std::u16string& text, const TGpFontData& font,
                const TGpRectF& layout, const TGpTextFormat& format, const TGpBrushData& brush);
  // Sets every pixel inside the clip to the colour.
  void Clear(const TGpPaintState& state, uint32_t argb);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace rtl::backend
