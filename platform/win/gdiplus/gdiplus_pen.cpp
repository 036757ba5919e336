// Pens: a brush with a width, caps, joins, dashes and alignment.
#include <algorithm>
#include <cmath>

#include "platform/win/gdiplus/gdiplus_internal.h"

namespace rtl::detail {

namespace {

// The dash patterns of the predefined styles, in units of the width.
const std::vector<REAL>& PatternOf(GpDashStyle style) {
  static const std::vector<REAL> kNone, kDash = {3, 1}, kDot = {1, 1}, kDashDot = {3, 1, 1, 1},
                                       kDashDotDot = {3, 1, 1, 1, 1, 1};
  switch (style) {
    case DashStyleDash: return kDash;
    case DashStyleDot: return kDot;
    case DashStyleDashDot: return kDashDot;
    case DashStyleDashDotDot: return kDashDotDot;
    default: return kNone;
  }
}

rtl::backend::TGpLineCap CapOf(GpLineCap c) {
  switch (c) {
    case LineCapSquare:
    case LineCapSquareAnchor: return rtl::backend::lcSquare;
    case LineCapRound:
    case LineCapRoundAnchor: return rtl::backend::lcRound;
    case LineCapTriangle: return rtl::backend::lcTriangle;
    default: return rtl::backend::lcFlat;
  }
}

}  // namespace

void DescribePen(const GpPen* pen, const GpGraphics* g, rtl::backend::TGpPenData& out) {
  if (TGpBrushImpl* b = BrushImpl(pen->Brush.get())) b->Describe(out.Brush);
  double width = pen->Width;
  if (g && pen->Unit != UnitWorld && pen->Unit != UnitPixel && pen->Unit != UnitDisplay) {
    // A width in a physical unit, as world units on this page.
    double page = UnitToPixels(g->PageUnit, g->DpiX) * g->PageScale;
    if (page > 0) width = width * UnitToPixels(pen->Unit, g->DpiX) / page;
  }
  out.Width = static_cast<float>(width);
  out.StartCap = CapOf(pen->StartCap);
  out.EndCap = CapOf(pen->EndCap);
  out.DashCap = pen->DashCap == DashCapRound ? rtl::backend::lcRound : rtl::backend::lcFlat;
  out.Join = static_cast<rtl::backend::TGpLineJoin>(std::clamp<int>(pen->Join, 0, 3));
  out.MiterLimit = pen->MiterLimit;
  out.Inset = pen->Alignment == PenAlignmentInset;
  const std::vector<REAL>& dashes = pen->Style == DashStyleCustom ? pen->Dashes : PatternOf(pen->Style);
  out.Dashes.assign(dashes.begin(), dashes.end());
  out.DashOffset = pen->DashOffset;
  out.Transform = pen->Transform;
}

}  // namespace rtl::detail

using namespace rtl::detail;

namespace {

bool ValidUnit(GpUnit u) { return u >= UnitWorld && u <= UnitMillimeter; }
bool ValidCap(GpLineCap c) {
  return (c >= LineCapFlat && c <= LineCapTriangle) || (c >= LineCapNoAnchor && c <= LineCapArrowAnchor);
}
bool ValidDashCap(GpDashCap c) { return c == DashCapFlat || c == DashCapRound || c == DashCapTriangle; }

GpStatus PenTransform(GpPen* pen, const TGpMatrix& op, MatrixOrder order) {
  if (!pen || !ValidOrder(order)) return InvalidParameter;
  pen->Transform = Compose(pen->Transform, op, order);
  return Ok;
}

}  // namespace

GpStatus GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen) {
  if (!pen || !ValidUnit(unit) || width < 0) return InvalidParameter;
  auto* p = new GpPen;
  p->Brush.reset(NewSolidFill(color));
  p->Width = width;
  p->Unit = unit;
  *pen = p;
  return Ok;
}

GpStatus GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen) {
  TGpBrushImpl* b = BrushImpl(brush);
  if (!b || !pen || !ValidUnit(unit) || width < 0) return InvalidParameter;
  auto* p = new GpPen;
  p->Brush.reset(b->Clone());
  p->Width = width;
  p->Unit = unit;
  *pen = p;
  return Ok;
}

GpStatus GdipClonePen(GpPen* pen, GpPen** clonepen) {
  if (!pen || !clonepen) return InvalidParameter;
  auto* p = new GpPen;
  p->Brush.reset(BrushImpl(pen->Brush.get())->Clone());
  p->Width = pen->Width;
  p->Unit = pen->Unit;
  p->StartCap = pen->StartCap;
  p->EndCap = pen->EndCap;
  p->DashCap = pen->DashCap;
  p->Join = pen->Join;
  p->MiterLimit = pen->MiterLimit;
  p->Alignment = pen->Alignment;
  p->Style = pen->Style;
  p->Dashes = pen->Dashes;
  p->DashOffset = pen->DashOffset;
  p->Transform = pen->Transform;
  *clonepen = p;
  return Ok;
}

GpStatus GdipDeletePen(GpPen* pen) {
  if (!pen) return InvalidParameter;
  delete pen;
  return Ok;
}

GpStatus GdipSetPenWidth(GpPen* pen, REAL width) {
  if (!pen || width < 0) return InvalidParameter;
  pen->Width = width;
  return Ok;
}

GpStatus GdipGetPenWidth(GpPen* pen, REAL* width) {
  if (!pen || !width) return InvalidParameter;
  *width = pen->Width;
  return Ok;
}

GpStatus GdipSetPenUnit(GpPen* pen, GpUnit unit) {
  if (!pen || !ValidUnit(unit)) return InvalidParameter;
  pen->Unit = unit;
  return Ok;
}

GpStatus GdipGetPenUnit(GpPen* pen, GpUnit* unit) {
  if (!pen || !unit) return InvalidParameter;
  *unit = pen->Unit;
  return Ok;
}

GpStatus GdipSetPenLineCap197819(GpPen* pen, GpLineCap startCap, GpLineCap endCap, GpDashCap dashCap) {
  if (!pen || !ValidCap(startCap) || !ValidCap(endCap) || !ValidDashCap(dashCap)) return InvalidParameter;
  pen->StartCap = startCap;
  pen->EndCap = endCap;
  pen->DashCap = dashCap;
  return Ok;
}

GpStatus GdipSetPenStartCap(GpPen* pen, GpLineCap startCap) {
  if (!pen || !ValidCap(startCap)) return InvalidParameter;
  pen->StartCap = startCap;
  return Ok;
}

GpStatus GdipSetPenEndCap(GpPen* pen, GpLineCap endCap) {
  if (!pen || !ValidCap(endCap)) return InvalidParameter;
  pen->EndCap = endCap;
  return Ok;
}

GpStatus GdipSetPenDashCap197819(GpPen* pen, GpDashCap dashCap) {
  if (!pen || !ValidDashCap(dashCap)) return InvalidParameter;
  pen->DashCap = dashCap;
  return Ok;
}

GpStatus GdipGetPenStartCap(GpPen* pen, GpLineCap* startCap) {
  if (!pen || !startCap) return InvalidParameter;
  *startCap = pen->StartCap;
  return Ok;
}

GpStatus GdipGetPenEndCap(GpPen* pen, GpLineCap* endCap) {
  if (!pen || !endCap) return InvalidParameter;
  *endCap = pen->EndCap;
  return Ok;
}

GpStatus GdipGetPenDashCap197819(GpPen* pen, GpDashCap* dashCap) {
  if (!pen || !dashCap) return InvalidParameter;
  *dashCap = pen->DashCap;
  return Ok;
}

GpStatus GdipSetPenLineJoin(GpPen* pen, GpLineJoin lineJoin) {
  if (!pen || lineJoin < LineJoinMiter || lineJoin > LineJoinMiterClipped) return InvalidParameter;
  pen->Join = lineJoin;
  return Ok;
}

GpStatus GdipGetPenLineJoin(GpPen* pen, GpLineJoin* lineJoin) {
  if (!pen || !lineJoin) return InvalidParameter;
  *lineJoin = pen->Join;
  return Ok;
}

GpStatus GdipSetPenMiterLimit(GpPen* pen, REAL miterLimit) {
  if (!pen) return InvalidParameter;
  pen->MiterLimit = std::max(1.0f, miterLimit);
  return Ok;
}

GpStatus GdipGetPenMiterLimit(GpPen* pen, REAL* miterLimit) {
  if (!pen || !miterLimit) return InvalidParameter;
  *miterLimit = pen->MiterLimit;
  return Ok;
}

GpStatus GdipSetPenMode(GpPen* pen, GpPenAlignment penMode) {
  if (!pen || (penMode != PenAlignmentCenter && penMode != PenAlignmentInset)) return InvalidParameter;
  pen->Alignment = penMode;
  return Ok;
}

GpStatus GdipGetPenMode(GpPen* pen, GpPenAlignment* penMode) {
  if (!pen || !penMode) return InvalidParameter;
  *penMode = pen->Alignment;
  return Ok;
}

GpStatus GdipSetPenTransform(GpPen* pen, GpMatrix* matrix) {
  if (!pen || !matrix) return InvalidParameter;
  TGpMatrix inv;
  if (!matrix->M.Invert(inv)) return InvalidParameter;
  pen->Transform = matrix->M;
  return Ok;
}

GpStatus GdipGetPenTransform(GpPen* pen, GpMatrix* matrix) {
  if (!pen || !matrix) return InvalidParameter;
  matrix->M = pen->Transform;
  return Ok;
}

GpStatus GdipResetPenTransform(GpPen* pen) {
  if (!pen) return InvalidParameter;
  pen->Transform = TGpMatrix();
  return Ok;
}

GpStatus GdipMultiplyPenTransform(GpPen* pen, const GpMatrix* matrix, MatrixOrder order) {
  if (!matrix) return InvalidParameter;
  return PenTransform(pen, matrix->M, order);
}

GpStatus GdipTranslatePenTransform(GpPen* pen, REAL dx, REAL dy, MatrixOrder order) {
  return PenTransform(pen, Translation(dx, dy), order);
}

GpStatus GdipScalePenTransform(GpPen* pen, REAL sx, REAL sy, MatrixOrder order) {
  return PenTransform(pen, Scaling(sx, sy), order);
}

GpStatus GdipRotatePenTransform(GpPen* pen, REAL angle, MatrixOrder order) {
  return PenTransform(pen, Rotation(angle), order);
}

GpStatus GdipSetPenColor(GpPen* pen, ARGB argb) {
  if (!pen) return InvalidParameter;
  pen->Brush.reset(NewSolidFill(argb));
  return Ok;
}

GpStatus GdipGetPenColor(GpPen* pen, ARGB* argb) {
  if (!pen || !argb) return InvalidParameter;
  auto* solid = dynamic_cast<GpSolidFill*>(pen->Brush.get());
  if (!solid) return InvalidParameter;
  return GdipGetSolidFillColor(solid, argb);
}

GpStatus GdipSetPenBrushFill(GpPen* pen, GpBrush* brush) {
  TGpBrushImpl* b = BrushImpl(brush);
  if (!pen || !b) return InvalidParameter;
  pen->Brush.reset(b->Clone());
  return Ok;
}

GpStatus GdipGetPenBrushFill(GpPen* pen, GpBrush** brush) {
  if (!pen || !brush) return InvalidParameter;
  *brush = BrushImpl(pen->Brush.get())->Clone();
  return Ok;
}

GpStatus GdipGetPenFillType(GpPen* pen, GpPenType* type) {
  if (!pen || !type) return InvalidParameter;
  *type = static_cast<GpPenType>(BrushImpl(pen->Brush.get())->Type());
  return Ok;
}

GpStatus GdipGetPenDashStyle(GpPen* pen, GpDashStyle* dashstyle) {
  if (!pen || !dashstyle) return InvalidParameter;
  *dashstyle = pen->Style;
  return Ok;
}

GpStatus GdipSetPenDashStyle(GpPen* pen, GpDashStyle dashstyle) {
  if (!pen || dashstyle < DashStyleSolid || dashstyle > DashStyleCustom) return InvalidParameter;
  pen->Style = dashstyle;
  return Ok;
}

GpStatus GdipGetPenDashOffset(GpPen* pen, REAL* offset) {
  if (!pen || !offset) return InvalidParameter;
  *offset = pen->DashOffset;
  return Ok;
}

GpStatus GdipSetPenDashOffset(GpPen* pen, REAL offset) {
  if (!pen) return InvalidParameter;
  pen->DashOffset = offset;
  return Ok;
}

GpStatus GdipGetPenDashCount(GpPen* pen, INT* count) {
  if (!pen || !count) return InvalidParameter;
  const std::vector<REAL>& d = pen->Style == DashStyleCustom ? pen->Dashes : PatternOf(pen->Style);
  *count = static_cast<INT>(d.size());
  return Ok;
}

GpStatus GdipSetPenDashArray(GpPen* pen, const REAL* dash, INT count) {
  if (!pen || !dash || count <= 0) return InvalidParameter;
  for (INT i = 0; i < count; ++i)
    if (!(dash[i] > 0)) return InvalidParameter;
  pen->Dashes.assign(dash, dash + count);
  pen->Style = DashStyleCustom;
  return Ok;
}

GpStatus GdipGetPenDashArray(GpPen* pen, REAL* dash, INT count) {
  if (!pen || !dash) return InvalidParameter;
  const std::vector<REAL>& d = pen->Style == DashStyleCustom ? pen->Dashes : PatternOf(pen->Style);
  if (count < static_cast<INT>(d.size())) return InvalidParameter;
  std::copy(d.begin(), d.end(), dash);
  return Ok;
}

GpStatus GdipGetPenCompoundCount(GpPen* pen, INT* count) {
  if (!pen || !count) return InvalidParameter;
  *count = 0;
  return Ok;
}
