// The GDI+ painter over QPainter, and the region geometry.
#include "platform/backend/gdiplus_painter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/backend/gdiplus_painter_internal.h"

namespace rtl::backend {

TGpMatrix TGpMatrix::Then(const TGpMatrix& b) const {
  TGpMatrix r;
  r.M11 = M11 * b.M11 + M12 * b.M21;
  r.M12 = M11 * b.M12 + M12 * b.M22;
  r.M21 = M21 * b.M11 + M22 * b.M21;
  r.M22 = M21 * b.M12 + M22 * b.M22;
  r.Dx = Dx * b.M11 + Dy * b.M21 + b.Dx;
  r.Dy = Dx * b.M12 + Dy * b.M22 + b.Dy;
  return r;
}

bool TGpMatrix::Invert(TGpMatrix& out) const {
  double det = M11 * M22 - M12 * M21;
  if (det == 0 || !std::isfinite(det)) return false;
  out.M11 = M22 / det;
  out.M12 = -M12 / det;
  out.M21 = -M21 / det;
  out.M22 = M11 / det;
  out.Dx = (M21 * Dy - M22 * Dx) / det;
  out.Dy = (M12 * Dx - M11 * Dy) / det;
  return true;
}

namespace detail {

// Pictures are 96 dots per inch, so that a point is 4/3 of a pixel.
constexpr int kDotsPerMeter = 3780;

TImageView View(const TGpPixels& p) {
  QImage::Format f = QImage::Format_ARGB32_Premultiplied;
  switch (p.Layout) {
    case plPremultiplied: f = QImage::Format_ARGB32_Premultiplied; break;
    case plStraight: f = QImage::Format_ARGB32; break;
    case plOpaque32: f = QImage::Format_RGB32; break;
    case plBgr24: f = QImage::Format_BGR888; break;
  }
  TImageView v;
  uint8_t* base = p.Bits;
  int stride = p.Stride;
  if (stride < 0) {
    base = p.Bits + ptrdiff_t(p.Height - 1) * stride;
    stride = -stride;
    v.Flipped = true;
  }
  v.Image = QImage(base, p.Width, p.Height, stride, f);
  v.Image.setDotsPerMeterX(kDotsPerMeter);
  v.Image.setDotsPerMeterY(kDotsPerMeter);
  return v;
}

QImage SourceImage(const TGpPixels& p) {
  TImageView v = View(p);
  QImage img;
  if (p.Layout == plOpaque32) {
    // The fourth byte of opaque 32-bit pixels means nothing; Qt expects 0xFF.
    img = QImage(p.Width, p.Height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < p.Height; ++y) {
      const auto* s = reinterpret_cast<const uint32_t*>(v.Image.constScanLine(y));
      auto* d = reinterpret_cast<uint32_t*>(img.scanLine(y));
      for (int x = 0; x < p.Width; ++x) d[x] = s[x] | 0xFF000000u;
    }
  } else {
    img = v.Image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (img.constBits() == v.Image.constBits()) img = img.copy();
  }
  if (v.Flipped) img = img.mirrored(false, true);
  img.setDotsPerMeterX(kDotsPerMeter);
  img.setDotsPerMeterY(kDotsPerMeter);
  return img;
}

QPainterPath ToQPath(const TGpPathData& d) {
  QPainterPath q;
  q.setFillRule(d.Winding ? Qt::WindingFill : Qt::OddEvenFill);
  const size_t n = std::min(d.Points.size(), d.Types.size());
  bool open = false;
  for (size_t i = 0; i < n; ++i) {
    const TGpPointF& p = d.Points[i];
    uint8_t type = d.Types[i] & ptTypeMask;
    size_t last = i;
    if (type == ptStart || !open) {
      q.moveTo(p.X, p.Y);
      open = true;
    } else if (type == ptBezier && i + 2 < n) {
      const TGpPointF &c2 = d.Points[i + 1], &e = d.Points[i + 2];
      q.cubicTo(p.X, p.Y, c2.X, c2.Y, e.X, e.Y);
      last = i + 2;
      i += 2;
    } else {
      q.lineTo(p.X, p.Y);
    }
    if (d.Types[last] & ptCloseSubpath) {
      q.closeSubpath();
      open = false;
    }
  }
  return q;
}

void AppendPath(const QPainterPath& from, TGpPathData& to) {
  size_t figureStart = to.Points.size();
  auto closeFigure = [&] {
    size_t n = to.Points.size();
    if (n - figureStart >= 3) {
      const TGpPointF &a = to.Points[figureStart], &b = to.Points[n - 1];
      if (a.X == b.X && a.Y == b.Y) to.Types[n - 1] |= ptCloseSubpath;
    }
  };
  for (int i = 0; i < from.elementCount(); ++i) {
    QPainterPath::Element e = from.elementAt(i);
    TGpPointF p{static_cast<float>(e.x), static_cast<float>(e.y)};
    switch (e.type) {
      case QPainterPath::MoveToElement:
        closeFigure();
        figureStart = to.Points.size();
        to.Points.push_back(p);
        to.Types.push_back(ptStart);
        break;
      case QPainterPath::LineToElement:
        to.Points.push_back(p);
        to.Types.push_back(ptLine);
        break;
      case QPainterPath::CurveToElement:
      case QPainterPath::CurveToDataElement:
        to.Points.push_back(p);
        to.Types.push_back(ptBezier);
        break;
    }
  }
  closeFigure();
}

namespace {

QGradient::Spread Spread(TGpWrap w) {
  switch (w) {
    case gwTile: return QGradient::RepeatSpread;
    case gwClamp: return QGradient::PadSpread;
    default: return QGradient::ReflectSpread;
  }
}

// A tile flipped as the wrap mode asks, so that plain tiling repeats it.
QImage WrappedTile(const QImage& tile, TGpWrap wrap) {
  bool fx = wrap == gwTileFlipX || wrap == gwTileFlipXY, fy = wrap == gwTileFlipY || wrap == gwTileFlipXY;
  if (!fx && !fy) return tile;
  QImage out(tile.width() * (fx ? 2 : 1), tile.height() * (fy ? 2 : 1), QImage::Format_ARGB32_Premultiplied);
  QPainter p(&out);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(0, 0, tile);
  if (fx) p.drawImage(tile.width(), 0, tile.mirrored(true, false));
  if (fy) p.drawImage(0, tile.height(), tile.mirrored(false, true));
  if (fx && fy) p.drawImage(tile.width(), tile.height(), tile.mirrored(true, true));
  return out;
}

Qt::PenCapStyle Cap(TGpLineCap c) {
  switch (c) {
    case lcSquare: return Qt::SquareCap;
    case lcRound: return Qt::RoundCap;
    default: return Qt::FlatCap;
  }
}

double ScaleOf(const TGpMatrix& m) { return std::sqrt(std::fabs(m.M11 * m.M22 - m.M12 * m.M21)); }

}  // namespace

QBrush ToQBrush(const TGpBrushData& b) {
  switch (b.Kind) {
    case TGpBrushData::bkSolid: return QBrush(QColor::fromRgba(b.Color));
    case TGpBrushData::bkLinear: {
      QLinearGradient g(b.Start.X, b.Start.Y, b.End.X, b.End.Y);
      QGradientStops stops;
      for (const TGpColorStop& s : b.Stops) stops.append({std::clamp<double>(s.Position, 0, 1), QColor::fromRgba(s.Color)});
      g.setStops(stops);
      g.setSpread(Spread(b.Wrap));
      QBrush q(g);
      q.setTransform(ToQ(b.Transform));
      return q;
    }
    case TGpBrushData::bkTexture: {
      QBrush q(WrappedTile(SourceImage(b.Texture), b.Wrap));
      q.setTransform(ToQ(b.Transform));
      return q;
    }
  }
  return QBrush();
}

QPen ToQPen(const TGpPenData& pen, const TGpMatrix& world) {
  double width = pen.Width * ScaleOf(pen.Transform);
  // Lines thinner than a pixel on the target are drawn one pixel wide.
  if (width * ScaleOf(world) < 1.0) width = 0;
  QPen q(ToQBrush(pen.Brush), width);
  bool dashed = !pen.Dashes.empty();
  q.setCapStyle(Cap(dashed ? pen.DashCap : pen.StartCap));
  switch (pen.Join) {
    case ljMiter: q.setJoinStyle(Qt::SvgMiterJoin); break;
    case ljBevel: q.setJoinStyle(Qt::BevelJoin); break;
    case ljRound: q.setJoinStyle(Qt::RoundJoin); break;
    case ljMiterClipped: q.setJoinStyle(Qt::MiterJoin); break;
  }
  q.setMiterLimit(pen.MiterLimit);
  if (dashed) {
    QList<qreal> pattern;
    for (float d : pen.Dashes) pattern.append(std::max(d, 0.001f));
    if (pattern.size() % 2) pattern += pattern;
    q.setDashPattern(pattern);
    q.setDashOffset(pen.DashOffset);
  }
  return q;
}

// ---- Regions --------------------------------------------------------------------

namespace {

const QRectF kInfiniteRect(-kInfiniteExtent, -kInfiniteExtent, 2 * kInfiniteExtent, 2 * kInfiniteExtent);

QRegion Combine(const QRegion& a, const QRegion& b, int op) {
  switch (op) {
    case 1: return a & b;
    case 2: return a | b;
    case 3: return a ^ b;
    case 4: return a - b;
    case 5: return b - a;
    default: return b;
  }
}

QPainterPath Combine(const QPainterPath& a, const QPainterPath& b, int op) {
  switch (op) {
    case 1: return a.intersected(b);
    case 2: return a.united(b);
    case 3: return a.subtracted(b).united(b.subtracted(a));
    case 4: return a.subtracted(b);
    case 5: return b.subtracted(a);
    default: return b;
  }
}

// The pixels whose centres a path's fill covers.
QRegion Rasterize(const QPainterPath& path) {
  QRect box = path.boundingRect().toAlignedRect().intersected(kInfiniteRect.toAlignedRect());
  if (box.isEmpty()) return QRegion();
  if (int64_t(box.width()) * box.height() > (int64_t(1) << 26)) return QRegion(PixelRect(path.boundingRect()));
  QImage mask(box.size(), QImage::Format_Alpha8);
  mask.fill(0);
  {
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.translate(-box.left(), -box.top());
    p.fillPath(path, QColor(0, 0, 0, 255));
  }
  QList<QRect> rects;
  for (int y = 0; y < box.height(); ++y) {
    const uchar* row = mask.constScanLine(y);
    for (int x = 0; x < box.width();) {
      if (!row[x]) {
        ++x;
        continue;
      }
      int start = x;
      while (x < box.width() && row[x]) ++x;
      rects.append(QRect(box.left() + start, box.top() + y, x - start, 1));
    }
  }
  QRegion r;
  r.setRects(rects.constData(), static_cast<int>(rects.size()));
  return r;
}

bool AxisAligned(const QTransform& t) { return t.m12() == 0 && t.m21() == 0; }

}  // namespace

QRect PixelRect(const QRectF& r) {
  QRectF n = r.normalized();
  int l = static_cast<int>(std::ceil(n.left() - 0.5)), t = static_cast<int>(std::ceil(n.top() - 0.5));
  int rr = static_cast<int>(std::ceil(n.right() - 0.5)), b = static_cast<int>(std::ceil(n.bottom() - 0.5));
  return rr > l && b > t ? QRect(l, t, rr - l, b - t) : QRect();
}

bool RegionIsRectangular(const TGpRegionNode& r) {
  switch (r.Kind) {
    case TGpRegionNode::rnPath: return false;
    case TGpRegionNode::rnCombine:
      return (!r.Left || RegionIsRectangular(*r.Left)) && (!r.Right || RegionIsRectangular(*r.Right));
    default: return true;
  }
}

QRegion ToQRegion(const TGpRegionNode& r, const QTransform& t) {
  switch (r.Kind) {
    case TGpRegionNode::rnEmpty: return QRegion();
    case TGpRegionNode::rnInfinite: return QRegion(kInfiniteRect.toAlignedRect());
    case TGpRegionNode::rnRect: {
      QRectF rect(r.Rect.X, r.Rect.Y, r.Rect.Width, r.Rect.Height);
      if (AxisAligned(t)) return QRegion(PixelRect(t.mapRect(rect)));
      QPainterPath p;
      p.addRect(rect);
      return Rasterize(t.map(p));
    }
    case TGpRegionNode::rnPath: return Rasterize(t.map(ToQPath(r.Path)));
    case TGpRegionNode::rnCombine: {
      QRegion a = r.Left ? ToQRegion(*r.Left, t) : QRegion();
      QRegion b = r.Right ? ToQRegion(*r.Right, t) : QRegion();
      return Combine(a, b, r.Combine);
    }
  }
  return QRegion();
}

QPainterPath ToQRegionPath(const TGpRegionNode& r, const QTransform& t) {
  QPainterPath p;
  switch (r.Kind) {
    case TGpRegionNode::rnEmpty: return p;
    case TGpRegionNode::rnInfinite: p.addRect(kInfiniteRect); return p;
    case TGpRegionNode::rnRect: p.addRect(QRectF(r.Rect.X, r.Rect.Y, r.Rect.Width, r.Rect.Height)); return t.map(p);
    case TGpRegionNode::rnPath: return t.map(ToQPath(r.Path));
    case TGpRegionNode::rnCombine: {
      QPainterPath a = r.Left ? ToQRegionPath(*r.Left, t) : QPainterPath();
      QPainterPath b = r.Right ? ToQRegionPath(*r.Right, t) : QPainterPath();
      return Combine(a, b, r.Combine);
    }
  }
  return p;
}

void PaintText(QPainter& painter, const std::u16string& text, const TGpFontData& font, const TGpRectF& layout,
               const TGpTextFormat& format);

}  // namespace detail

using namespace detail;

std::vector<TRect> GpRegionRects(const TGpRegionNode& region, const TGpMatrix& transform) {
  QRegion r = ToQRegion(region, ToQ(transform));
  std::vector<TRect> out;
  out.reserve(static_cast<size_t>(r.rectCount()));
  for (const QRect& q : r) out.push_back(TRect(q.left(), q.top(), q.left() + q.width(), q.top() + q.height()));
  return out;
}

TGpPathData GpWidenPath(const TGpPathData& path, const TGpPenData& pen, const TGpMatrix& transform) {
  QPen q = ToQPen(pen, TGpMatrix());
  QPainterPathStroker stroker(q);
  if (q.widthF() <= 0) stroker.setWidth(1);
  QPainterPath wide = ToQ(transform).map(stroker.createStroke(ToQPath(path)));
  TGpPathData out;
  out.Winding = true;
  for (const QPolygonF& poly : wide.toSubpathPolygons()) {
    for (int i = 0; i < poly.size(); ++i) {
      out.Points.push_back({static_cast<float>(poly[i].x()), static_cast<float>(poly[i].y())});
      out.Types.push_back(i == 0 ? ptStart : ptLine);
    }
    if (!poly.isEmpty()) out.Types.back() |= ptCloseSubpath;
  }
  return out;
}

TGpPathData GpRegionPath(const TGpRegionNode& region) {
  QPainterPath q = ToQRegionPath(region, QTransform());
  TGpPathData out;
  out.Winding = q.fillRule() == Qt::WindingFill;
  AppendPath(q, out);
  return out;
}

bool GpPathContains(const TGpPathData& path, float x, float y) { return ToQPath(path).contains(QPointF(x, y)); }

// ---- The painter ------------------------------------------------------------------

struct TGpPainter::TImpl {
  TImageView Target;
  QPainter Painter;

  explicit TImpl(const TGpPixels& target) : Target(View(target)) { Painter.begin(&Target.Image); }
  ~TImpl() { Painter.end(); }

  // Applies clip and modes; leaves the transform at target pixels.
  void Apply(const TGpPaintState& s) {
    Painter.setTransform(Target.Flip());
    Painter.setClipping(false);
    if (s.Clip && s.Clip->Kind != TGpRegionNode::rnInfinite) {
      if (RegionIsRectangular(*s.Clip))
        Painter.setClipRegion(ToQRegion(*s.Clip, QTransform()));
      else
        Painter.setClipPath(ToQRegionPath(*s.Clip, QTransform()));
    }
    Painter.setRenderHint(QPainter::Antialiasing, s.Antialias);
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, s.Interpolation != giNearest);
    Painter.setRenderHint(QPainter::TextAntialiasing, s.TextAntialias);
    Painter.setCompositionMode(s.SourceCopy ? QPainter::CompositionMode_Source
                                            : QPainter::CompositionMode_SourceOver);
  }

  // World to target pixels, shifted for anti-aliased shapes that sit on
  // pixel centres. Aliased shapes cover the pixels whose centres they
  // contain either way.
  QTransform ShapeTransform(const TGpPaintState& s) const {
    QTransform t = ToQ(s.World);
    if (s.CenterPixels && s.Antialias) t = t * QTransform::fromTranslate(0.5, 0.5);
    return t;
  }
};

TGpPainter::TGpPainter(const TGpPixels& target) : impl_(std::make_unique<TImpl>(target)) {}

TGpPainter::~TGpPainter() = default;

void TGpPainter::FillPath(const TGpPaintState& state, const TGpPathData& path, const TGpBrushData& brush) {
  impl_->Apply(state);
  // Filled in target pixels so that the brush maps exactly (a texture at
  // its own scale copies its pixels) while the outline keeps its offset.
  QPainterPath q = impl_->ShapeTransform(state).map(ToQPath(path));
  QBrush b = ToQBrush(brush);
  // A solid brush stays untransformed, which keeps Qt on its fast path.
  if (brush.Kind != TGpBrushData::bkSolid) b.setTransform(b.transform() * ToQ(state.World));
  if (brush.Kind == TGpBrushData::bkTexture && brush.Wrap == gwClamp) {
    QPainterPath tile;
    tile.addRect(0, 0, brush.Texture.Width, brush.Texture.Height);
    q = q.intersected(b.transform().map(tile));
  }
  impl_->Painter.fillPath(q, b);
}

void TGpPainter::StrokePath(const TGpPaintState& state, const TGpPathData& path, const TGpPenData& pen) {
  impl_->Apply(state);
  QPainter& p = impl_->Painter;
  p.setTransform(impl_->ShapeTransform(state) * impl_->Target.Flip());
  QPainterPath q = ToQPath(path);
  QPen qp = ToQPen(pen, state.World);
  if (pen.Inset && qp.widthF() > 0) {
    // Inside closed figures only: twice the width, cut by the figure.
    p.setClipPath(q, Qt::IntersectClip);
    qp.setWidthF(qp.widthF() * 2);
  }
  p.strokePath(q, qp);
}

void TGpPainter::DrawImage(const TGpPaintState& state, const TGpPixels& image, const TGpRectF& src,
                           const TGpPointF dest[3]) {
  if (src.Width == 0 || src.Height == 0) return;
  impl_->Apply(state);
  const double m11 = (dest[1].X - dest[0].X) / src.Width, m12 = (dest[1].Y - dest[0].Y) / src.Width;
  const double m21 = (dest[2].X - dest[0].X) / src.Height, m22 = (dest[2].Y - dest[0].Y) / src.Height;
  QTransform toDest(m11, m12, m21, m22, dest[0].X - src.X * m11 - src.Y * m21, dest[0].Y - src.X * m12 - src.Y * m22);
  QPainter& p = impl_->Painter;
  p.setTransform(toDest * ToQ(state.World) * impl_->Target.Flip());
  QRectF r(src.X, src.Y, src.Width, src.Height);
  TImageView view = View(image);
  if (image.Layout == plOpaque32 || view.Flipped)
    p.drawImage(r, SourceImage(image), r);
  else
    p.drawImage(r, view.Image, r);
}

void TGpPainter::DrawText(const TGpPaintState& state, const std::u16string& text, const TGpFontData& font,
                          const TGpRectF& layout, const TGpTextFormat& format, const TGpBrushData& brush) {
  impl_->Apply(state);
  QPainter& p = impl_->Painter;
  p.setTransform(ToQ(state.World) * impl_->Target.Flip());
  p.setPen(QPen(ToQBrush(brush), 0));
  PaintText(p, text, font, layout, format);
}

void TGpPainter::Clear(const TGpPaintState& state, uint32_t argb) {
  impl_->Apply(state);
  QPainter& p = impl_->Painter;
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(QRect(0, 0, impl_->Target.Image.width(), impl_->Target.Image.height()), QColor::fromRgba(argb));
}

}  // namespace rtl::backend
