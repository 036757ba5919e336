// Drawing on a graphics: outlines, fills, images and cached bitmaps.
#include <algorithm>
#include <cmath>

#include "platform/win/gdiplus/gdiplus_internal.h"

using namespace rtl::detail;
using rtl::backend::TGpPaintState;
using rtl::backend::TGpPainter;

namespace {

GpStatus Stroke(GpGraphics* g, GpPen* pen, const TGpPathData& path) {
  if (!g || !pen) return InvalidParameter;
  rtl::backend::TGpPenData data;
  DescribePen(pen, g, data);
  return Paint(g, [&](TGpPainter& p, const TGpPaintState& s) { p.StrokePath(s, path, data); });
}

GpStatus Fill(GpGraphics* g, const GpBrush* brush, const TGpPathData& path) {
  TGpBrushImpl* b = BrushImpl(brush);
  if (!g || !b) return InvalidParameter;
  rtl::backend::TGpBrushData data;
  b->Describe(data);
  return Paint(g, [&](TGpPainter& p, const TGpPaintState& s) { p.FillPath(s, path, data); });
}

TGpPathData Lines(const GpPointF* points, INT count, bool close) {
  TGpPathData d;
  bool fresh = true;
  AddLines(d, fresh, points, count);
  if (close) CloseFigure(d, fresh);
  return d;
}

TGpPathData Rects(const GpRectF* rects, INT count) {
  TGpPathData d;
  for (INT i = 0; i < count; ++i)
    if (rects[i].Width > 0 && rects[i].Height > 0) AddRectangle(d, rects[i]);
  return d;
}

TGpPathData Curve(const GpPointF* points, INT count, INT offset, INT segments, REAL tension, bool closed) {
  TGpPathData d;
  bool fresh = true;
  AddCurve(d, fresh, points, count, offset, segments, tension, closed);
  return d;
}

// ---- Images -------------------------------------------------------------------

bool Adjusts(const GpImageAttributes* a) {
  if (!a) return false;
  for (const TGpColorAdjust& c : a->Adjust)
    if (c.Set || c.NoOp || c.HasMatrix || c.HasGamma || c.HasThreshold || c.HasKeys || !c.Remap.empty()) return true;
  return false;
}

// Draws the source rectangle (pixels) of the image into the parallelogram
// (upper-left, upper-right, lower-left, world units).
GpStatus DrawImageCore(GpGraphics* g, GpImage* image, const GpPointF dest[3], GpRectF src,
                       const GpImageAttributes* attributes) {
  TGpBitmap* b = BitmapImpl(image);
  if (!g || !b) return InvalidParameter;
  if (b->Locked) return WrongState;
  if (src.Width == 0 || src.Height == 0) return Ok;
  // Only the part of the source inside the image, on its share of the
  // destination.
  GpRectF clipped = src;
  float x1 = std::clamp(std::min(src.X, src.X + src.Width), 0.0f, float(b->Width));
  float x2 = std::clamp(std::max(src.X, src.X + src.Width), 0.0f, float(b->Width));
  float y1 = std::clamp(std::min(src.Y, src.Y + src.Height), 0.0f, float(b->Height));
  float y2 = std::clamp(std::max(src.Y, src.Y + src.Height), 0.0f, float(b->Height));
  if (x2 <= x1 || y2 <= y1) return Ok;
  clipped = GpRectF{src.Width > 0 ? x1 : x2, src.Height > 0 ? y1 : y2, src.Width > 0 ? x2 - x1 : x1 - x2,
                    src.Height > 0 ? y2 - y1 : y1 - y2};
  auto at = [&](float sx, float sy) {
    double u = (sx - src.X) / src.Width, v = (sy - src.Y) / src.Height;
    return rtl::backend::TGpPointF{static_cast<float>(dest[0].X + u * (dest[1].X - dest[0].X) + v * (dest[2].X - dest[0].X)),
                                   static_cast<float>(dest[0].Y + u * (dest[1].Y - dest[0].Y) + v * (dest[2].Y - dest[0].Y))};
  };
  const rtl::backend::TGpPointF points[3] = {at(clipped.X, clipped.Y), at(clipped.X + clipped.Width, clipped.Y),
                                             at(clipped.X, clipped.Y + clipped.Height)};
  rtl::backend::TGpRectF from{clipped.X, clipped.Y, clipped.Width, clipped.Height};
  // Adjusted colours, a format the painter cannot read, or the image the
  // graphics draws on: drawn from a premultiplied copy of the part used.
  std::unique_ptr<TGpBitmap> copy;
  std::vector<BYTE> scratch;
  const bool adjust = Adjusts(attributes);
  if (adjust || !PainterCanAddress(b->Format) || g->Image == b) {
    INT ix = INT(std::floor(std::min(from.X, from.X + from.Width)));
    INT iy = INT(std::floor(std::min(from.Y, from.Y + from.Height)));
    INT ix2 = INT(std::ceil(std::max(from.X, from.X + from.Width)));
    INT iy2 = INT(std::ceil(std::max(from.Y, from.Y + from.Height)));
    copy = PremultipliedCopy(*b, ix, iy, ix2 - ix, iy2 - iy, adjust ? attributes : nullptr);
    from.X -= REAL(ix);
    from.Y -= REAL(iy);
  }
  rtl::backend::TGpPixels pixels = PixelsOf(copy ? *copy : *b, &scratch);
  return Paint(g, [&](TGpPainter& p, const TGpPaintState& s) { p.DrawImage(s, pixels, from, points); });
}

// A source rectangle in `unit`, in the image's pixels.
GpRectF SourcePixels(const TGpBitmap* b, REAL x, REAL y, REAL w, REAL h, GpUnit unit) {
  REAL sx = UnitToPixels(unit, b->DpiX), sy = UnitToPixels(unit, b->DpiY);
  return GpRectF{x * sx, y * sy, w * sx, h * sy};
}

bool ValidSourceUnit(GpUnit unit) { return unit >= UnitWorld && unit <= UnitMillimeter; }

// The image's own size in world units: its physical size at the image's
// resolution, on this graphics' page.
void NaturalSize(GpGraphics* g, const TGpBitmap* b, REAL& w, REAL& h) {
  double pageX = UnitToPixels(g->PageUnit, g->DpiX) * g->PageScale;
  double pageY = UnitToPixels(g->PageUnit, g->DpiY) * g->PageScale;
  w = static_cast<REAL>(b->Width * (g->DpiX / b->DpiX) / pageX);
  h = static_cast<REAL>(b->Height * (g->DpiY / b->DpiY) / pageY);
}

}  // namespace

std::vector<GpRectF> rtl::detail::ToRectsF(const GpRect* rects, INT count) {
  std::vector<GpRectF> out;
  for (INT i = 0; i < count; ++i)
    out.push_back({REAL(rects[i].X), REAL(rects[i].Y), REAL(rects[i].Width), REAL(rects[i].Height)});
  return out;
}

// ---- Outlines -----------------------------------------------------------------------

GpStatus GdipGraphicsClear(GpGraphics* graphics, ARGB color) {
  if (!graphics) return InvalidParameter;
  return Paint(graphics, [&](TGpPainter& p, const TGpPaintState& s) { p.Clear(s, color); });
}

GpStatus GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2) {
  const GpPointF p[2] = {{x1, y1}, {x2, y2}};
  return Stroke(graphics, pen, Lines(p, 2, false));
}

GpStatus GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2) {
  return GdipDrawLine(graphics, pen, REAL(x1), REAL(y1), REAL(x2), REAL(y2));
}

GpStatus GdipDrawLines(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count) {
  if (!points || count < 2) return InvalidParameter;
  return Stroke(graphics, pen, Lines(points, count, false));
}

GpStatus GdipDrawLinesI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipDrawLines(graphics, pen, f.data(), count);
}

GpStatus GdipDrawArc(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                     REAL sweepAngle) {
  if (width <= 0 || height <= 0) return graphics && pen ? Ok : InvalidParameter;
  TGpPathData d;
  bool fresh = true;
  AddArc(d, fresh, x, y, width, height, startAngle, sweepAngle);
  return Stroke(graphics, pen, d);
}

GpStatus GdipDrawArcI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL startAngle,
                      REAL sweepAngle) {
  return GdipDrawArc(graphics, pen, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

GpStatus GdipDrawBezier(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3,
                        REAL x4, REAL y4) {
  const GpPointF p[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
  return GdipDrawBeziers(graphics, pen, p, 4);
}

GpStatus GdipDrawBezierI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4,
                         INT y4) {
  return GdipDrawBezier(graphics, pen, REAL(x1), REAL(y1), REAL(x2), REAL(y2), REAL(x3), REAL(y3), REAL(x4), REAL(y4));
}

GpStatus GdipDrawBeziers(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count) {
  if (!points || count < 4 || (count - 1) % 3 != 0) return InvalidParameter;
  TGpPathData d;
  bool fresh = true;
  AddBeziers(d, fresh, points, count);
  return Stroke(graphics, pen, d);
}

GpStatus GdipDrawBeziersI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipDrawBeziers(graphics, pen, f.data(), count);
}

GpStatus GdipDrawRectangle(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height) {
  const GpRectF r{x, y, width, height};
  return GdipDrawRectangles(graphics, pen, &r, 1);
}

GpStatus GdipDrawRectangleI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height) {
  return GdipDrawRectangle(graphics, pen, REAL(x), REAL(y), REAL(width), REAL(height));
}

GpStatus GdipDrawRectangles(GpGraphics* graphics, GpPen* pen, const GpRectF* rects, INT count) {
  if (!rects || count < 1) return InvalidParameter;
  return Stroke(graphics, pen, Rects(rects, count));
}

GpStatus GdipDrawRectanglesI(GpGraphics* graphics, GpPen* pen, const GpRect* rects, INT count) {
  if (!rects || count < 1) return InvalidParameter;
  std::vector<GpRectF> f = ToRectsF(rects, count);
  return GdipDrawRectangles(graphics, pen, f.data(), count);
}

GpStatus GdipDrawEllipse(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height) {
  TGpPathData d;
  AddEllipse(d, x, y, width, height);
  return Stroke(graphics, pen, d);
}

GpStatus GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height) {
  return GdipDrawEllipse(graphics, pen, REAL(x), REAL(y), REAL(width), REAL(height));
}

GpStatus GdipDrawPie(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                     REAL sweepAngle) {
  if (width <= 0 || height <= 0) return graphics && pen ? Ok : InvalidParameter;
  TGpPathData d;
  AddPie(d, x, y, width, height, startAngle, sweepAngle);
  return Stroke(graphics, pen, d);
}

GpStatus GdipDrawPieI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL startAngle,
                      REAL sweepAngle) {
  return GdipDrawPie(graphics, pen, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

GpStatus GdipDrawPolygon(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count) {
  if (!points || count < 2) return InvalidParameter;
  return Stroke(graphics, pen, Lines(points, count, true));
}

GpStatus GdipDrawPolygonI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipDrawPolygon(graphics, pen, f.data(), count);
}

GpStatus GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path) {
  if (!path) return InvalidParameter;
  return Stroke(graphics, pen, path->Data);
}

GpStatus GdipDrawCurve(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count) {
  return GdipDrawCurve2(graphics, pen, points, count, 0.5f);
}

GpStatus GdipDrawCurveI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count) {
  return GdipDrawCurve2I(graphics, pen, points, count, 0.5f);
}

GpStatus GdipDrawCurve2(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count, REAL tension) {
  return GdipDrawCurve3(graphics, pen, points, count, 0, count - 1, tension);
}

GpStatus GdipDrawCurve2I(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count, REAL tension) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipDrawCurve2(graphics, pen, f.data(), count, tension);
}

GpStatus GdipDrawCurve3(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count, INT offset,
                        INT numberOfSegments, REAL tension) {
  if (!points || count < 2 || offset < 0 || numberOfSegments < 1 || offset + numberOfSegments >= count)
    return InvalidParameter;
  return Stroke(graphics, pen, Curve(points, count, offset, numberOfSegments, tension, false));
}

GpStatus GdipDrawCurve3I(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count, INT offset,
                         INT numberOfSegments, REAL tension) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipDrawCurve3(graphics, pen, f.data(), count, offset, numberOfSegments, tension);
}

GpStatus GdipDrawClosedCurve(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count) {
  return GdipDrawClosedCurve2(graphics, pen, points, count, 0.5f);
}

GpStatus GdipDrawClosedCurveI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count) {
  return GdipDrawClosedCurve2I(graphics, pen, points, count, 0.5f);
}

GpStatus GdipDrawClosedCurve2(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count, REAL tension) {
  if (!points || count < 3) return InvalidParameter;
  return Stroke(graphics, pen, Curve(points, count, 0, count, tension, true));
}

GpStatus GdipDrawClosedCurve2I(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count, REAL tension) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipDrawClosedCurve2(graphics, pen, f.data(), count, tension);
}

// ---- Fills -------------------------------------------------------------------------------

GpStatus GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height) {
  const GpRectF r{x, y, width, height};
  return GdipFillRectangles(graphics, brush, &r, 1);
}

GpStatus GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height) {
  return GdipFillRectangle(graphics, brush, REAL(x), REAL(y), REAL(width), REAL(height));
}

GpStatus GdipFillRectangles(GpGraphics* graphics, GpBrush* brush, const GpRectF* rects, INT count) {
  if (!rects || count < 1) return InvalidParameter;
  TGpPathData d = Rects(rects, count);
  d.Winding = true;
  return Fill(graphics, brush, d);
}

GpStatus GdipFillRectanglesI(GpGraphics* graphics, GpBrush* brush, const GpRect* rects, INT count) {
  if (!rects || count < 1) return InvalidParameter;
  std::vector<GpRectF> f = ToRectsF(rects, count);
  return GdipFillRectangles(graphics, brush, f.data(), count);
}

GpStatus GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count,
                         GpFillMode fillMode) {
  if (!points || count < 3 || (fillMode != FillModeAlternate && fillMode != FillModeWinding)) return InvalidParameter;
  TGpPathData d = Lines(points, count, true);
  d.Winding = fillMode == FillModeWinding;
  return Fill(graphics, brush, d);
}

GpStatus GdipFillPolygonI(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count,
                          GpFillMode fillMode) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipFillPolygon(graphics, brush, f.data(), count, fillMode);
}

GpStatus GdipFillPolygon2(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count) {
  return GdipFillPolygon(graphics, brush, points, count, FillModeAlternate);
}

GpStatus GdipFillPolygon2I(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count) {
  return GdipFillPolygonI(graphics, brush, points, count, FillModeAlternate);
}

GpStatus GdipFillEllipse(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height) {
  TGpPathData d;
  AddEllipse(d, x, y, width, height);
  return Fill(graphics, brush, d);
}

GpStatus GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height) {
  return GdipFillEllipse(graphics, brush, REAL(x), REAL(y), REAL(width), REAL(height));
}

GpStatus GdipFillPie(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                     REAL sweepAngle) {
  if (width <= 0 || height <= 0) return graphics && brush ? Ok : InvalidParameter;
  TGpPathData d;
  AddPie(d, x, y, width, height, startAngle, sweepAngle);
  return Fill(graphics, brush, d);
}

GpStatus GdipFillPieI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height, REAL startAngle,
                      REAL sweepAngle) {
  return GdipFillPie(graphics, brush, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

GpStatus GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path) {
  if (!path) return InvalidParameter;
  return Fill(graphics, brush, path->Data);
}

GpStatus GdipFillClosedCurve(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count) {
  return GdipFillClosedCurve2(graphics, brush, points, count, 0.5f, FillModeAlternate);
}

GpStatus GdipFillClosedCurveI(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count) {
  return GdipFillClosedCurve2I(graphics, brush, points, count, 0.5f, FillModeAlternate);
}

GpStatus GdipFillClosedCurve2(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count, REAL tension,
                              GpFillMode fillMode) {
  if (!points || count < 3) return InvalidParameter;
  TGpPathData d = Curve(points, count, 0, count, tension, true);
  d.Winding = fillMode == FillModeWinding;
  return Fill(graphics, brush, d);
}

GpStatus GdipFillClosedCurve2I(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count, REAL tension,
                               GpFillMode fillMode) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipFillClosedCurve2(graphics, brush, f.data(), count, tension, fillMode);
}

GpStatus GdipFillRegion(GpGraphics* graphics, GpBrush* brush, GpRegion* region) {
  if (!region) return InvalidParameter;
  return Fill(graphics, brush, rtl::backend::GpRegionPath(*region->Root));
}

// ---- Images -------------------------------------------------------------------------------

GpStatus GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstx, REAL dsty, REAL dstwidth,
                               REAL dstheight, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight, GpUnit srcUnit,
                               const GpImageAttributes* imageAttributes, DrawImageAbort, void*) {
  TGpBitmap* b = BitmapImpl(image);
  if (!graphics || !b || !ValidSourceUnit(srcUnit)) return InvalidParameter;
  const GpPointF dest[3] = {{dstx, dsty}, {dstx + dstwidth, dsty}, {dstx, dsty + dstheight}};
  return DrawImageCore(graphics, image, dest, SourcePixels(b, srcx, srcy, srcwidth, srcheight, srcUnit),
                       imageAttributes);
}

GpStatus GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstx, INT dsty, INT dstwidth,
                                INT dstheight, INT srcx, INT srcy, INT srcwidth, INT srcheight, GpUnit srcUnit,
                                const GpImageAttributes* imageAttributes, DrawImageAbort callback,
                                void* callbackData) {
  return GdipDrawImageRectRect(graphics, image, REAL(dstx), REAL(dsty), REAL(dstwidth), REAL(dstheight), REAL(srcx),
                               REAL(srcy), REAL(srcwidth), REAL(srcheight), srcUnit, imageAttributes, callback,
                               callbackData);
}

GpStatus GdipDrawImagePointsRect(GpGraphics* graphics, GpImage* image, const GpPointF* points, INT count, REAL srcx,
                                 REAL srcy, REAL srcwidth, REAL srcheight, GpUnit srcUnit,
                                 const GpImageAttributes* imageAttributes, DrawImageAbort, void*) {
  TGpBitmap* b = BitmapImpl(image);
  if (!graphics || !b || !points || count != 3 || !ValidSourceUnit(srcUnit)) return InvalidParameter;
  return DrawImageCore(graphics, image, points, SourcePixels(b, srcx, srcy, srcwidth, srcheight, srcUnit),
                       imageAttributes);
}

GpStatus GdipDrawImagePointsRectI(GpGraphics* graphics, GpImage* image, const GpPoint* points, INT count, INT srcx,
                                  INT srcy, INT srcwidth, INT srcheight, GpUnit srcUnit,
                                  const GpImageAttributes* imageAttributes, DrawImageAbort callback,
                                  void* callbackData) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipDrawImagePointsRect(graphics, image, f.data(), count, REAL(srcx), REAL(srcy), REAL(srcwidth),
                                 REAL(srcheight), srcUnit, imageAttributes, callback, callbackData);
}

GpStatus GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b) return InvalidParameter;
  return GdipDrawImageRectRect(graphics, image, x, y, width, height, 0, 0, REAL(b->Width), REAL(b->Height),
                               UnitPixel, nullptr, nullptr, nullptr);
}

GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height) {
  return GdipDrawImageRect(graphics, image, REAL(x), REAL(y), REAL(width), REAL(height));
}

GpStatus GdipDrawImage(GpGraphics* graphics, GpImage* image, REAL x, REAL y) {
  TGpBitmap* b = BitmapImpl(image);
  if (!graphics || !b) return InvalidParameter;
  REAL w, h;
  NaturalSize(graphics, b, w, h);
  return GdipDrawImageRect(graphics, image, x, y, w, h);
}

GpStatus GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y) {
  return GdipDrawImage(graphics, image, REAL(x), REAL(y));
}

GpStatus GdipDrawImagePoints(GpGraphics* graphics, GpImage* image, const GpPointF* dstpoints, INT count) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b) return InvalidParameter;
  return GdipDrawImagePointsRect(graphics, image, dstpoints, count, 0, 0, REAL(b->Width), REAL(b->Height), UnitPixel,
                                 nullptr, nullptr, nullptr);
}

GpStatus GdipDrawImagePointsI(GpGraphics* graphics, GpImage* image, const GpPoint* dstpoints, INT count) {
  std::vector<GpPointF> f = ToPointsF(dstpoints, count);
  return GdipDrawImagePoints(graphics, image, f.data(), count);
}

GpStatus GdipDrawImagePointRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL srcx, REAL srcy,
                                REAL srcwidth, REAL srcheight, GpUnit srcUnit) {
  TGpBitmap* b = BitmapImpl(image);
  if (!graphics || !b || !ValidSourceUnit(srcUnit)) return InvalidParameter;
  // The part at its own size, as the whole image would be drawn.
  REAL w, h;
  NaturalSize(graphics, b, w, h);
  GpRectF src = SourcePixels(b, srcx, srcy, srcwidth, srcheight, srcUnit);
  REAL dw = src.Width * w / REAL(b->Width), dh = src.Height * h / REAL(b->Height);
  return GdipDrawImageRectRect(graphics, image, x, y, dw, dh, src.X, src.Y, src.Width, src.Height, UnitPixel, nullptr,
                               nullptr, nullptr);
}

GpStatus GdipDrawImagePointRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT srcx, INT srcy,
                                 INT srcwidth, INT srcheight, GpUnit srcUnit) {
  return GdipDrawImagePointRect(graphics, image, REAL(x), REAL(y), REAL(srcx), REAL(srcy), REAL(srcwidth),
                                REAL(srcheight), srcUnit);
}

GpStatus GdipCreateCachedBitmap(GpBitmap* bitmap, GpGraphics* graphics, GpCachedBitmap** cachedBitmap) {
  TGpBitmap* b = BitmapImpl(bitmap);
  if (!b || !graphics || !cachedBitmap) return InvalidParameter;
  auto* c = new GpCachedBitmap;
  c->Bitmap = PremultipliedCopy(*b, 0, 0, b->Width, b->Height, nullptr);
  *cachedBitmap = c;
  return Ok;
}

GpStatus GdipDeleteCachedBitmap(GpCachedBitmap* cachedBitmap) {
  if (!cachedBitmap) return InvalidParameter;
  delete cachedBitmap;
  return Ok;
}

GpStatus GdipDrawCachedBitmap(GpGraphics* graphics, GpCachedBitmap* cachedBitmap, INT x, INT y) {
  if (!graphics || !cachedBitmap) return InvalidParameter;
  // At its pixel size, whatever the page: a cached bitmap is device-ready.
  TGpBitmap* b = cachedBitmap->Bitmap.get();
  const GpPointF dest[3] = {{REAL(x), REAL(y)}, {REAL(x + b->Width), REAL(y)}, {REAL(x), REAL(y + b->Height)}};
  return DrawImageCore(graphics, b, dest, GpRectF{0, 0, REAL(b->Width), REAL(b->Height)}, nullptr);
}
