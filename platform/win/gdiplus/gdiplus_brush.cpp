// Brushes: solid colours, linear gradients with blends and presets, and
// textures.
#include <algorithm>
#include <cmath>

#include "platform/win/gdiplus/gdiplus_internal.h"

namespace rtl::detail {

using rtl::backend::TGpBrushData;
using rtl::backend::TGpColorStop;
using rtl::backend::TGpPointF;

namespace {

rtl::backend::TGpWrap WrapOf(WrapMode w) {
  switch (w) {
    case WrapModeTileFlipX: return rtl::backend::gwTileFlipX;
    case WrapModeTileFlipY: return rtl::backend::gwTileFlipY;
    case WrapModeTileFlipXY: return rtl::backend::gwTileFlipXY;
    case WrapModeClamp: return rtl::backend::gwClamp;
    default: return rtl::backend::gwTile;
  }
}

ARGB Lerp(ARGB a, ARGB b, double t) {
  ARGB out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    out |= ARGB(std::lround(ca + (cb - ca) * t)) << shift;
  }
  return out;
}

struct TSolidFill final : GpSolidFill, TGpBrushImpl {
  ARGB Color = 0;
  GpBrushType Type() const override { return BrushTypeSolidColor; }
  GpBrush* Clone() const override { return new TSolidFill(*this); }
  void Describe(TGpBrushData& out) const override {
    out.Kind = TGpBrushData::bkSolid;
    out.Color = Color;
  }
};

struct TLineGradient final : GpLineGradient, TGpBrushImpl {
  ARGB Colors[2] = {0, 0};
  GpRectF Rect{};
  TGpMatrix Base;  // gradient space to brush space
  TGpPointF Start, End;
  WrapMode Wrap = WrapModeTile;
  TGpMatrix Transform;
  BOOL Gamma = FALSE;
  std::vector<REAL> Factors, Positions;  // a blend
  std::vector<ARGB> PresetColors;        // or a preset blend
  std::vector<REAL> PresetPositions;

  GpBrushType Type() const override { return BrushTypeLinearGradient; }
  GpBrush* Clone() const override { return new TLineGradient(*this); }
  void Describe(TGpBrushData& out) const override {
    out.Kind = TGpBrushData::bkLinear;
    out.Start = Start;
    out.End = End;
    out.Wrap = WrapOf(Wrap);
    out.Transform = Base.Then(Transform);
    out.Stops.clear();
    if (!PresetColors.empty()) {
      for (size_t i = 0; i < PresetColors.size(); ++i) out.Stops.push_back({PresetPositions[i], PresetColors[i]});
    } else if (!Factors.empty()) {
      // Linear between the blend's points, so a stop at each is exact.
      for (size_t i = 0; i < Factors.size(); ++i)
        out.Stops.push_back({Positions[i], Lerp(Colors[0], Colors[1], std::clamp<double>(Factors[i], 0, 1))});
    } else {
      out.Stops = {{0, Colors[0]}, {1, Colors[1]}};
    }
  }
};

struct TTexture final : GpTexture, TGpBrushImpl {
  std::shared_ptr<TGpBitmap> Image;  // premultiplied
  WrapMode Wrap = WrapModeTile;
  TGpMatrix Transform;

  GpBrushType Type() const override { return BrushTypeTextureFill; }
  GpBrush* Clone() const override { return new TTexture(*this); }
  void Describe(TGpBrushData& out) const override {
    out.Kind = TGpBrushData::bkTexture;
    out.Texture = PixelsOf(*Image, nullptr);
    out.Wrap = WrapOf(Wrap);
    out.Transform = Transform;
  }
};

TLineGradient* Line(GpLineGradient* b) { return dynamic_cast<TLineGradient*>(b); }
TTexture* Texture(GpTexture* b) { return dynamic_cast<TTexture*>(b); }

// Start and end of a gradient at `degrees` that reaches every corner of
// the rectangle (the colours are at the two corners that lie furthest
// along the direction).
void AngleLine(double x, double y, double w, double h, double degrees, TGpPointF& start, TGpPointF& end) {
  double r = degrees * M_PI / 180, dx = std::cos(r), dy = std::sin(r);
  double cx = x + w / 2, cy = y + h / 2, reach = (std::fabs(dx) * w + std::fabs(dy) * h) / 2;
  start = {static_cast<float>(cx - dx * reach), static_cast<float>(cy - dy * reach)};
  end = {static_cast<float>(cx + dx * reach), static_cast<float>(cy + dy * reach)};
}

GpStatus NewLineFromRect(const GpRectF* rect, ARGB c1, ARGB c2, double degrees, bool scalable, GpWrapMode wrap,
                         GpLineGradient** out) {
  if (!rect || !out || wrap == WrapModeClamp) return InvalidParameter;
  if (rect->Width == 0 || rect->Height == 0) return OutOfMemory;
  auto* b = new TLineGradient;
  b->Colors[0] = c1;
  b->Colors[1] = c2;
  b->Rect = *rect;
  b->Wrap = wrap;
  if (scalable) {
    // In the unit square, stretched onto the rectangle: the angle follows
    // the rectangle's proportions.
    b->Base = Scaling(rect->Width, rect->Height).Then(Translation(rect->X, rect->Y));
    AngleLine(0, 0, 1, 1, degrees, b->Start, b->End);
  } else {
    AngleLine(rect->X, rect->Y, rect->Width, rect->Height, degrees, b->Start, b->End);
  }
  *out = b;
  return Ok;
}

bool ValidBlend(const REAL* positions, INT count) {
  if (!positions || count < 2) return false;
  if (positions[0] != 0 || positions[count - 1] != 1) return false;
  for (INT i = 1; i < count; ++i)
    if (positions[i] < positions[i - 1]) return false;
  return true;
}

GpStatus LineTransform(GpLineGradient* brush, const TGpMatrix& op, MatrixOrder order) {
  TLineGradient* b = Line(brush);
  if (!b || !ValidOrder(order)) return InvalidParameter;
  b->Transform = Compose(b->Transform, op, order);
  return Ok;
}

GpStatus TextureTransform(GpTexture* brush, const TGpMatrix& op, MatrixOrder order) {
  TTexture* b = Texture(brush);
  if (!b || !ValidOrder(order)) return InvalidParameter;
  b->Transform = Compose(b->Transform, op, order);
  return Ok;
}

}  // namespace

TGpBrushImpl* BrushImpl(const GpBrush* brush) { return dynamic_cast<TGpBrushImpl*>(const_cast<GpBrush*>(brush)); }

GpBrush* NewSolidFill(ARGB color) {
  auto* b = new TSolidFill;
  b->Color = color;
  return b;
}

}  // namespace rtl::detail

using namespace rtl::detail;

GpStatus GdipCloneBrush(GpBrush* brush, GpBrush** cloneBrush) {
  TGpBrushImpl* b = BrushImpl(brush);
  if (!b || !cloneBrush) return InvalidParameter;
  *cloneBrush = b->Clone();
  return Ok;
}

GpStatus GdipDeleteBrush(GpBrush* brush) {
  if (!brush) return InvalidParameter;
  delete brush;
  return Ok;
}

GpStatus GdipGetBrushType(GpBrush* brush, GpBrushType* type) {
  TGpBrushImpl* b = BrushImpl(brush);
  if (!b || !type) return InvalidParameter;
  *type = b->Type();
  return Ok;
}

// ---- Solid fills ------------------------------------------------------------------

GpStatus GdipCreateSolidFill(ARGB color, GpSolidFill** brush) {
  if (!brush) return InvalidParameter;
  *brush = static_cast<GpSolidFill*>(NewSolidFill(color));
  return Ok;
}

GpStatus GdipSetSolidFillColor(GpSolidFill* brush, ARGB color) {
  auto* b = dynamic_cast<TSolidFill*>(brush);
  if (!b) return InvalidParameter;
  b->Color = color;
  return Ok;
}

GpStatus GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color) {
  auto* b = dynamic_cast<TSolidFill*>(brush);
  if (!b || !color) return InvalidParameter;
  *color = b->Color;
  return Ok;
}

// ---- Linear gradients -------------------------------------------------------------

GpStatus GdipCreateLineBrush(const GpPointF* point1, const GpPointF* point2, ARGB color1, ARGB color2,
                             GpWrapMode wrapMode, GpLineGradient** lineGradient) {
  if (!point1 || !point2 || !lineGradient || wrapMode == WrapModeClamp) return InvalidParameter;
  if (point1->X == point2->X && point1->Y == point2->Y) return OutOfMemory;
  auto* b = new TLineGradient;
  b->Colors[0] = color1;
  b->Colors[1] = color2;
  b->Start = {point1->X, point1->Y};
  b->End = {point2->X, point2->Y};
  b->Rect = GpRectF{std::min(point1->X, point2->X), std::min(point1->Y, point2->Y), std::fabs(point2->X - point1->X),
                    std::fabs(point2->Y - point1->Y)};
  b->Wrap = wrapMode;
  *lineGradient = b;
  return Ok;
}

GpStatus GdipCreateLineBrushI(const GpPoint* point1, const GpPoint* point2, ARGB color1, ARGB color2,
                              GpWrapMode wrapMode, GpLineGradient** lineGradient) {
  if (!point1 || !point2) return InvalidParameter;
  GpPointF a{REAL(point1->X), REAL(point1->Y)}, b{REAL(point2->X), REAL(point2->Y)};
  return GdipCreateLineBrush(&a, &b, color1, color2, wrapMode, lineGradient);
}

GpStatus GdipCreateLineBrushFromRect(const GpRectF* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                     GpWrapMode wrapMode, GpLineGradient** lineGradient) {
  static const double kAngles[] = {0, 90, 45, 135};
  if (mode < LinearGradientModeHorizontal || mode > LinearGradientModeBackwardDiagonal) return InvalidParameter;
  return NewLineFromRect(rect, color1, color2, kAngles[mode], true, wrapMode, lineGradient);
}

GpStatus GdipCreateLineBrushFromRectI(const GpRect* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                      GpWrapMode wrapMode, GpLineGradient** lineGradient) {
  if (!rect) return InvalidParameter;
  GpRectF r{REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height)};
  return GdipCreateLineBrushFromRect(&r, color1, color2, mode, wrapMode, lineGradient);
}

GpStatus GdipCreateLineBrushFromRectWithAngle(const GpRectF* rect, ARGB color1, ARGB color2, REAL angle,
                                              BOOL isAngleScalable, GpWrapMode wrapMode,
                                              GpLineGradient** lineGradient) {
  return NewLineFromRect(rect, color1, color2, angle, isAngleScalable, wrapMode, lineGradient);
}

GpStatus GdipCreateLineBrushFromRectWithAngleI(const GpRect* rect, ARGB color1, ARGB color2, REAL angle,
                                               BOOL isAngleScalable, GpWrapMode wrapMode,
                                               GpLineGradient** lineGradient) {
  if (!rect) return InvalidParameter;
  GpRectF r{REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height)};
  return NewLineFromRect(&r, color1, color2, angle, isAngleScalable, wrapMode, lineGradient);
}

GpStatus GdipSetLineColors(GpLineGradient* brush, ARGB color1, ARGB color2) {
  TLineGradient* b = Line(brush);
  if (!b) return InvalidParameter;
  b->Colors[0] = color1;
  b->Colors[1] = color2;
  return Ok;
}

GpStatus GdipGetLineColors(GpLineGradient* brush, ARGB* colors) {
  TLineGradient* b = Line(brush);
  if (!b || !colors) return InvalidParameter;
  colors[0] = b->Colors[0];
  colors[1] = b->Colors[1];
  return Ok;
}

GpStatus GdipGetLineRect(GpLineGradient* brush, GpRectF* rect) {
  TLineGradient* b = Line(brush);
  if (!b || !rect) return InvalidParameter;
  *rect = b->Rect;
  return Ok;
}

GpStatus GdipGetLineRectI(GpLineGradient* brush, GpRect* rect) {
  TLineGradient* b = Line(brush);
  if (!b || !rect) return InvalidParameter;
  *rect = GpRect{INT(std::lround(b->Rect.X)), INT(std::lround(b->Rect.Y)), INT(std::lround(b->Rect.Width)),
                 INT(std::lround(b->Rect.Height))};
  return Ok;
}

GpStatus GdipSetLineGammaCorrection(GpLineGradient* brush, BOOL useGammaCorrection) {
  TLineGradient* b = Line(brush);
  if (!b) return InvalidParameter;
  b->Gamma = useGammaCorrection;
  return Ok;
}

GpStatus GdipGetLineGammaCorrection(GpLineGradient* brush, BOOL* useGammaCorrection) {
  TLineGradient* b = Line(brush);
  if (!b || !useGammaCorrection) return InvalidParameter;
  *useGammaCorrection = b->Gamma;
  return Ok;
}

GpStatus GdipGetLineBlendCount(GpLineGradient* brush, INT* count) {
  TLineGradient* b = Line(brush);
  if (!b || !count) return InvalidParameter;
  *count = b->Factors.empty() ? 1 : static_cast<INT>(b->Factors.size());
  return Ok;
}

GpStatus GdipGetLineBlend(GpLineGradient* brush, REAL* blend, REAL* positions, INT count) {
  TLineGradient* b = Line(brush);
  if (!b || !blend || !positions || count <= 0) return InvalidParameter;
  if (b->Factors.empty()) {
    blend[0] = 1;
    positions[0] = 0;
    return Ok;
  }
  if (count < static_cast<INT>(b->Factors.size())) return InsufficientBuffer;
  std::copy(b->Factors.begin(), b->Factors.end(), blend);
  std::copy(b->Positions.begin(), b->Positions.end(), positions);
  return Ok;
}

GpStatus GdipSetLineBlend(GpLineGradient* brush, const REAL* blend, const REAL* positions, INT count) {
  TLineGradient* b = Line(brush);
  if (!b || !blend || !ValidBlend(positions, count)) return InvalidParameter;
  b->Factors.assign(blend, blend + count);
  b->Positions.assign(positions, positions + count);
  b->PresetColors.clear();
  b->PresetPositions.clear();
  return Ok;
}

GpStatus GdipGetLinePresetBlendCount(GpLineGradient* brush, INT* count) {
  TLineGradient* b = Line(brush);
  if (!b || !count) return InvalidParameter;
  *count = static_cast<INT>(b->PresetColors.size());
  return Ok;
}

GpStatus GdipGetLinePresetBlend(GpLineGradient* brush, ARGB* blend, REAL* positions, INT count) {
  TLineGradient* b = Line(brush);
  if (!b || !blend || !positions || b->PresetColors.empty()) return InvalidParameter;
  if (count < static_cast<INT>(b->PresetColors.size())) return InsufficientBuffer;
  std::copy(b->PresetColors.begin(), b->PresetColors.end(), blend);
  std::copy(b->PresetPositions.begin(), b->PresetPositions.end(), positions);
  return Ok;
}

GpStatus GdipSetLinePresetBlend(GpLineGradient* brush, const ARGB* blend, const REAL* positions, INT count) {
  TLineGradient* b = Line(brush);
  if (!b || !blend || !ValidBlend(positions, count)) return InvalidParameter;
  b->PresetColors.assign(blend, blend + count);
  b->PresetPositions.assign(positions, positions + count);
  b->Factors.clear();
  b->Positions.clear();
  return Ok;
}

GpStatus GdipSetLineSigmaBlend(GpLineGradient* brush, REAL focus, REAL scale) {
  TLineGradient* b = Line(brush);
  if (!b || focus < 0 || focus > 1 || scale < 0 || scale > 1) return InvalidParameter;
  // A bell: the colour rises from the start colour to `scale` of the way
  // at the focus along a smooth (error function) curve, and falls again.
  auto bell = [](double x) { return (std::erf(3 * (2 * x - 1)) / std::erf(3.0) + 1) / 2; };
  constexpr int kSteps = 32;
  std::vector<REAL> f, p;
  for (int i = 0; i <= kSteps; ++i) {
    double t = double(i) / kSteps, v;
    if (t <= focus)
      v = focus > 0 ? bell(t / focus) : 1;
    else
      v = focus < 1 ? bell((1 - t) / (1 - focus)) : 1;
    f.push_back(REAL(v * scale));
    p.push_back(REAL(t));
  }
  return GdipSetLineBlend(brush, f.data(), p.data(), static_cast<INT>(f.size()));
}

GpStatus GdipSetLineLinearBlend(GpLineGradient* brush, REAL focus, REAL scale) {
  if (focus < 0 || focus > 1 || scale < 0 || scale > 1) return InvalidParameter;
  std::vector<REAL> f, p;
  if (focus > 0) {
    f.push_back(0);
    p.push_back(0);
  }
  f.push_back(scale);
  p.push_back(focus);
  if (focus < 1) {
    f.push_back(0);
    p.push_back(1);
  }
  return GdipSetLineBlend(brush, f.data(), p.data(), static_cast<INT>(f.size()));
}

GpStatus GdipSetLineWrapMode(GpLineGradient* brush, GpWrapMode wrapmode) {
  TLineGradient* b = Line(brush);
  if (!b || wrapmode < WrapModeTile || wrapmode >= WrapModeClamp) return InvalidParameter;
  b->Wrap = wrapmode;
  return Ok;
}

GpStatus GdipGetLineWrapMode(GpLineGradient* brush, GpWrapMode* wrapmode) {
  TLineGradient* b = Line(brush);
  if (!b || !wrapmode) return InvalidParameter;
  *wrapmode = b->Wrap;
  return Ok;
}

GpStatus GdipGetLineTransform(GpLineGradient* brush, GpMatrix* matrix) {
  TLineGradient* b = Line(brush);
  if (!b || !matrix) return InvalidParameter;
  matrix->M = b->Transform;
  return Ok;
}

GpStatus GdipSetLineTransform(GpLineGradient* brush, const GpMatrix* matrix) {
  TLineGradient* b = Line(brush);
  if (!b || !matrix) return InvalidParameter;
  b->Transform = matrix->M;
  return Ok;
}

GpStatus GdipResetLineTransform(GpLineGradient* brush) {
  TLineGradient* b = Line(brush);
  if (!b) return InvalidParameter;
  b->Transform = TGpMatrix();
  return Ok;
}

GpStatus GdipMultiplyLineTransform(GpLineGradient* brush, const GpMatrix* matrix, MatrixOrder order) {
  if (!matrix) return InvalidParameter;
  return LineTransform(brush, matrix->M, order);
}

GpStatus GdipTranslateLineTransform(GpLineGradient* brush, REAL dx, REAL dy, MatrixOrder order) {
  return LineTransform(brush, Translation(dx, dy), order);
}

GpStatus GdipScaleLineTransform(GpLineGradient* brush, REAL sx, REAL sy, MatrixOrder order) {
  return LineTransform(brush, Scaling(sx, sy), order);
}

GpStatus GdipRotateLineTransform(GpLineGradient* brush, REAL angle, MatrixOrder order) {
  return LineTransform(brush, Rotation(angle), order);
}

// ---- Textures ------------------------------------------------------------------------

GpStatus GdipCreateTextureIA(GpImage* image, const GpImageAttributes* imageAttributes, REAL x, REAL y, REAL width,
                             REAL height, GpTexture** texture) {
  TGpBitmap* src = BitmapImpl(image);
  if (!src || !texture) return InvalidParameter;
  INT ix = INT(std::lround(x)), iy = INT(std::lround(y)), iw = INT(std::lround(width)), ih = INT(std::lround(height));
  if (iw <= 0 || ih <= 0 || ix < 0 || iy < 0 || ix + iw > src->Width || iy + ih > src->Height) return OutOfMemory;
  auto* t = new TTexture;
  t->Image = PremultipliedCopy(*src, ix, iy, iw, ih, imageAttributes);
  t->Wrap = imageAttributes ? imageAttributes->Wrap : WrapModeTile;
  *texture = t;
  return Ok;
}

GpStatus GdipCreateTextureIAI(GpImage* image, const GpImageAttributes* imageAttributes, INT x, INT y, INT width,
                              INT height, GpTexture** texture) {
  return GdipCreateTextureIA(image, imageAttributes, REAL(x), REAL(y), REAL(width), REAL(height), texture);
}

GpStatus GdipCreateTexture2(GpImage* image, GpWrapMode wrapmode, REAL x, REAL y, REAL width, REAL height,
                            GpTexture** texture) {
  if (wrapmode < WrapModeTile || wrapmode > WrapModeClamp) return InvalidParameter;
  GpStatus s = GdipCreateTextureIA(image, nullptr, x, y, width, height, texture);
  if (s == Ok) Texture(*texture)->Wrap = wrapmode;
  return s;
}

GpStatus GdipCreateTexture2I(GpImage* image, GpWrapMode wrapmode, INT x, INT y, INT width, INT height,
                             GpTexture** texture) {
  return GdipCreateTexture2(image, wrapmode, REAL(x), REAL(y), REAL(width), REAL(height), texture);
}

GpStatus GdipCreateTexture(GpImage* image, GpWrapMode wrapmode, GpTexture** texture) {
  TGpBitmap* src = BitmapImpl(image);
  if (!src) return InvalidParameter;
  return GdipCreateTexture2(image, wrapmode, 0, 0, REAL(src->Width), REAL(src->Height), texture);
}

GpStatus GdipGetTextureTransform(GpTexture* brush, GpMatrix* matrix) {
  TTexture* b = Texture(brush);
  if (!b || !matrix) return InvalidParameter;
  matrix->M = b->Transform;
  return Ok;
}

GpStatus GdipSetTextureTransform(GpTexture* brush, const GpMatrix* matrix) {
  TTexture* b = Texture(brush);
  if (!b || !matrix) return InvalidParameter;
  b->Transform = matrix->M;
  return Ok;
}

GpStatus GdipResetTextureTransform(GpTexture* brush) {
  TTexture* b = Texture(brush);
  if (!b) return InvalidParameter;
  b->Transform = TGpMatrix();
  return Ok;
}

GpStatus GdipMultiplyTextureTransform(GpTexture* brush, const GpMatrix* matrix, MatrixOrder order) {
  if (!matrix) return InvalidParameter;
  return TextureTransform(brush, matrix->M, order);
}

GpStatus GdipTranslateTextureTransform(GpTexture* brush, REAL dx, REAL dy, MatrixOrder order) {
  return TextureTransform(brush, Translation(dx, dy), order);
}

GpStatus GdipScaleTextureTransform(GpTexture* brush, REAL sx, REAL sy, MatrixOrder order) {
  return TextureTransform(brush, Scaling(sx, sy), order);
}

GpStatus GdipRotateTextureTransform(GpTexture* brush, REAL angle, MatrixOrder order) {
  return TextureTransform(brush, Rotation(angle), order);
}

GpStatus GdipSetTextureWrapMode(GpTexture* brush, GpWrapMode wrapmode) {
  TTexture* b = Texture(brush);
  if (!b || wrapmode < WrapModeTile || wrapmode > WrapModeClamp) return InvalidParameter;
  b->Wrap = wrapmode;
  return Ok;
}

GpStatus GdipGetTextureWrapMode(GpTexture* brush, GpWrapMode* wrapmode) {
  TTexture* b = Texture(brush);
  if (!b || !wrapmode) return InvalidParameter;
  *wrapmode = b->Wrap;
  return Ok;
}

GpStatus GdipGetTextureImage(GpTexture* brush, GpImage** image) {
  TTexture* b = Texture(brush);
  if (!b || !image) return InvalidParameter;
  return GdipCloneImage(b->Image.get(), image);
}
