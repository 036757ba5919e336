// Lines and shapes: MoveToEx, LineTo, polylines, Rectangle, RoundRect,
// Ellipse, the arcs, polygons and Bézier curves.
#include <numbers>
#include <algorithm>
#include <cmath>

#include "platform/win/gdi/gdi_metafile.h"
#include "platform/win/gdi/gdi_int_range.h"
#include "platform/win/gdi/gdi_stroke.h"

namespace rtl::detail {

namespace {


TPointF ToTargetF(TGdiDC* dc, double x, double y) {
  const TXform& m = dc->ToTarget();
  return TPointF{x * m.M11 + y * m.M21 + m.Dx, x * m.M12 + y * m.M22 + m.Dy};
}

bool AxisAligned(TGdiDC* dc) {
  const TXform& m = dc->ToTarget();
  return m.M12 == 0 && m.M21 == 0;
}

// A logical rectangle in target pixels, normalised.
RECT TargetRect(TGdiDC* dc, int l, int t, int r, int b) {
  POINT a = dc->LPtoTarget(POINT(l, t)), c = dc->LPtoTarget(POINT(r, b));
  return dc->FixMirroredRect(RECT{std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y)});
}

// Without a pen a shape is a pixel smaller: it loses its right column
// (its left one when the layout is mirrored) and its bottom row.

RECT NullPenArea(TGdiDC* dc, const RECT& r) {
  if (dc->Mirrored()) return RECT{ClampInt(int64_t(r.Left) + 1), r.Top, r.Right, ClampInt(int64_t(r.Bottom) - 1)};
  return RECT{r.Left, r.Top, ClampInt(int64_t(r.Right) - 1), ClampInt(int64_t(r.Bottom) - 1)};
}

RECT Inflate(RECT r, int d) {
  return RECT{ClampInt(int64_t(r.Left) - d), ClampInt(int64_t(r.Top) - d), ClampInt(int64_t(r.Right) + d),
              ClampInt(int64_t(r.Bottom) + d)};
}

// The rows of a rectangle inside the window.
TSpanRows RectRows(const RECT& r, const RECT& window) {
  TSpanRows rows;
  RECT c{std::max(r.Left, window.Left), std::max(r.Top, window.Top), std::min(r.Right, window.Right),
         std::min(r.Bottom, window.Bottom)};
  rows.Top = c.Top;
  if (c.Left >= c.Right || c.Top >= c.Bottom) return rows;
  rows.Rows.assign(static_cast<size_t>(int64_t(c.Bottom) - c.Top), {{c.Left, c.Right}});
  return rows;
}

// A continuous coordinate as a pixel index, held inside the range of int
// (far beyond any surface) so that a shape past it still converts.
int ShapePixelOf(double v) { return static_cast<int>(std::clamp(v, INT32_MIN / 2.0, INT32_MAX / 2.0)); }

// Draws a polyline given in target pixels (thin pens) and continuous
// target points (wide pens).
void DrawPolyline(TGdiDC* dc, const std::vector<POINT>& pts, bool closed, const TStroke& pen) {
  if (pen.Null || pts.size() < 2) return;
  if (pen.Wide) {
    std::vector<TPointF> f;
    for (const POINT& p : pts) f.push_back(TPointF{p.X + 0.5, p.Y + 0.5});
    TSpanRows on = StrokeWide(f, closed, pen, DrawWindow(dc));
    PaintShape(dc, nullptr, &on, nullptr, pen);
    return;
  }
  std::vector<POINT> on, off;
  int phase = 0;
  StrokeThin(pts, closed, pen, on, off, phase, DrawWindow(dc));
  TSpanRows onRows = PixelsToRows(on), offRows = PixelsToRows(off);
  PaintShape(dc, nullptr, &onRows, &offRows, pen);
}

std::vector<POINT> ToTargetPoints(TGdiDC* dc, const POINT* pts, int n) {
  std::vector<POINT> out(static_cast<size_t>(std::max(n, 0)));
  for (int i = 0; i < n; ++i) out[static_cast<size_t>(i)] = dc->LPtoTarget(pts[i]);
  return out;
}

std::vector<TPointF> ToFloat(const std::vector<POINT>& pts) {
  std::vector<TPointF> f;
  for (const POINT& p : pts) f.push_back(TPointF{double(p.X), double(p.Y)});
  return f;
}

// Continuous points to the pixels holding them; mirrored, x rounds up, so
// that each pixel is the mirror image of the one left to right.
std::vector<POINT> Rounded(const std::vector<TPointF>& pts, bool mirrored = false) {
  std::vector<POINT> out;
  for (const TPointF& p : pts) {
    POINT q(ShapePixelOf(mirrored ? std::ceil(p.X) : std::floor(p.X)), ShapePixelOf(std::floor(p.Y)));
    if (out.empty() || !(out.back() == q)) out.push_back(q);
  }
  return out;
}

// Fill rows and outline of a closed outline given as continuous points.
// Curves traced through their points are sampled as the ellipses they
// stand for, at pixel centres.
void DrawPolygonF(TGdiDC* dc, const std::vector<std::vector<TPointF>>& polys, bool fill, const TStroke& pen,
                  TPixelSample sample = TPixelSample::Corner) {
  // Mirrored, polygons fill as the mirror image of the same polygon drawn
  // left to right; a curve's vertex names the pixel left of the edge the
  // fill needs.
  const bool mirrorScan = fill && dc->Mirrored() && sample == TPixelSample::Corner;
  std::vector<std::vector<TPointF>> shifted;
  const auto* body = &polys;
  if (fill && dc->Mirrored() && !mirrorScan) {
    shifted = polys;
    for (auto& p : shifted)
      for (TPointF& q : p) q.X += 1;
    body = &shifted;
  }
  if (fill && pen.Null) {
    PaintPolygonFill(dc, *body, dc->S.PolyFillMode, sample, mirrorScan);
    return;
  }
  const RECT window = DrawWindow(dc);
  TSpanRows fillRows;
  if (fill) fillRows = PolygonRows(*body, dc->S.PolyFillMode, window, sample, mirrorScan);
  TSpanRows on, off;
  if (!pen.Null) {
    if (pen.Wide) {
      for (const auto& p : polys) {
        std::vector<TPointF> c;
        for (const TPointF& q : p) c.push_back(TPointF{q.X + 0.5, q.Y + 0.5});
        on = CombineRows(on, StrokeWide(c, true, pen, window), RGN_OR);
      }
    } else {
      std::vector<POINT> a, b;
      int phase = 0;
      for (const auto& p : polys) StrokeThin(Rounded(p, dc->Mirrored()), true, pen, a, b, phase, window);
      on = PixelsToRows(a);
      off = PixelsToRows(b);
    }
  }
  PaintShape(dc, fill ? &fillRows : nullptr, &on, &off, pen);
}

// Rows of an ellipse (or rounded rectangle when corner sizes are given).
TSpanRows ShapeRows(const RECT& r, bool round, int cw, int ch, const RECT& window) {
  return round ? RoundRectRows(r, cw, ch, window) : EllipseRows(r, window);
}

void DrawEllipseLike(TGdiDC* dc, int l, int t, int r, int b, bool round, int cw, int ch) {
  TStroke pen = RealizePen(dc);
  if (!AxisAligned(dc) || (!pen.Null && !pen.Dashes.empty())) {
    // Rotated or styled: an outline polygon.
    double cx = (double(l) + r) / 2.0, cy = (double(t) + b) / 2.0, rx = (double(r) - l) / 2.0,
           ry = (double(b) - t) / 2.0;
    std::vector<TPointF> logical = ArcPoints(cx, cy, rx, ry, 0, 2 * std::numbers::pi);
    if (round) {
      logical.clear();
      double ex = std::min(std::abs(cw) / 2.0, rx), ey = std::min(std::abs(ch) / 2.0, ry);
      auto corner = [&](double x, double y, double a0) {
        auto arc = ArcPoints(x, y, ex, ey, a0, std::numbers::pi / 2);
        logical.insert(logical.end(), arc.begin(), arc.end());
      };
      corner(r - ex, t + ey, 0);
      corner(l + ex, t + ey, std::numbers::pi / 2);
      corner(l + ex, b - ey, std::numbers::pi);
      corner(r - ex, b - ey, 3 * std::numbers::pi / 2);
    }
    std::vector<TPointF> pts;
    for (const TPointF& p : logical) pts.push_back(ToTargetF(dc, p.X, p.Y));
    DrawPolygonF(dc, {pts}, true, pen, TPixelSample::Centre);
    return;
  }
  RECT R = TargetRect(dc, l, t, r, b);
  double sx = std::fabs(dc->ToTarget().M11), sy = std::fabs(dc->ToTarget().M22);
  // Corners are cut to the shape's size anyway; held well inside int so
  // that growing them by the pen cannot overflow.
  auto corner = [](double v) { return static_cast<int>(std::lround(std::clamp(v, -1e9, 1e9))); };
  cw = corner(cw * sx);
  ch = corner(ch * sy);
  const RECT window = DrawWindow(dc);
  if (pen.Null) {
    TSpanRows fill = ShapeRows(NullPenArea(dc, R), round, cw, ch, window);
    PaintShape(dc, &fill, nullptr, nullptr, pen);
    return;
  }
  if (!pen.Wide) {
    TSpanRows fill = ShapeRows(R, round, cw, ch, window);
    TSpanRows on = OutlineRows(fill);
    PaintShape(dc, &fill, &on, nullptr, pen);
    return;
  }
  int w = pen.Width, half = w / 2;
  RECT outer = pen.InsideFrame ? R : Inflate(R, half);
  RECT inner = pen.InsideFrame ? Inflate(R, -w) : Inflate(R, -(w - half));
  // Corner sizes in 64 bits: a pen may be as wide as int allows.
  int64_t grow = pen.InsideFrame ? 0 : 2 * int64_t(half);
  int64_t shrink = pen.InsideFrame ? 2 * int64_t(w) : 2 * int64_t(w - half);
  auto notNegative = [](int64_t v) { return ClampInt(std::max<int64_t>(0, v)); };
  TSpanRows out = ShapeRows(outer, round, ClampInt(cw + grow), ClampInt(ch + grow), window);
  TSpanRows in = ShapeRows(inner, round, notNegative(cw - shrink + grow), notNegative(ch - shrink + grow), window);
  TSpanRows on = CombineRows(out, in, RGN_DIFF);
  PaintShape(dc, &in, &on, nullptr, pen);
}

enum TArcKind { akArc, akChord, akPie };

double Normalize(double a) {
  a = std::fmod(a, 2 * std::numbers::pi);
  return a < 0 ? a + 2 * std::numbers::pi : a;
}

// Draws an arc, chord or pie; for ArcTo, `from` is the current position
// and `endOut` receives the arc's end point (logical).
void DrawArc(TGdiDC* dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye, TArcKind kind, const POINT* from,
             POINT* endOut) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  double lcx = (double(l) + r) / 2.0, lcy = (double(t) + b) / 2.0, lrx = (double(r) - l) / 2.0,
         lry = (double(b) - t) / 2.0;
  auto radial = [&](double x, double y) { return std::atan2(-(y - lcy), x - lcx); };
  double a0 = radial(xs, ys), a1 = radial(xe, ye);
  bool ccw = dc->S.ArcDirection == AD_COUNTERCLOCKWISE;
  double sweep = ccw ? Normalize(a1 - a0) : -Normalize(a0 - a1);
  if (sweep == 0) sweep = ccw ? 2 * std::numbers::pi : -2 * std::numbers::pi;
  // Points where the radials meet the ellipse (logical).
  auto onEllipse = [&](double a) {
    double c = std::cos(a), s = std::sin(a);
    double k = (lrx > 0 && lry > 0) ? 1 / std::sqrt((c / lrx) * (c / lrx) + (s / lry) * (s / lry)) : 0;
    return TPointF{lcx + c * k, lcy - s * k};
  };
  TPointF pStart = onEllipse(a0), pEnd = onEllipse(a1);
  if (endOut) *endOut = POINT(static_cast<int>(std::lround(pEnd.X)), static_cast<int>(std::lround(pEnd.Y)));
  // Parametric angles of the radials, for sampling the arc.
  double t0 = std::atan2(-(pStart.Y - lcy) / (lry ? lry : 1), (pStart.X - lcx) / (lrx ? lrx : 1));
  double t1 = std::atan2(-(pEnd.Y - lcy) / (lry ? lry : 1), (pEnd.X - lcx) / (lrx ? lrx : 1));
  double psweep = ccw ? Normalize(t1 - t0) : -Normalize(t0 - t1);
  if (psweep == 0) psweep = sweep;
  std::vector<TPointF> logical = ArcPoints(lcx, lcy, lrx, lry, t0, psweep);
  if (kind == akPie) {
    logical.push_back(TPointF{lcx, lcy});
  }
  if (from) logical.insert(logical.begin(), TPointF{double(from->X), double(from->Y)});
  std::vector<TPointF> pts;
  for (const TPointF& p : logical) pts.push_back(ToTargetF(dc, p.X, p.Y));
  if (PathAdd(dc, pts, from == nullptr, kind != akArc)) return;
  TStroke pen = RealizePen(dc);
  bool closed = kind != akArc;
  const RECT window = DrawWindow(dc);
  if (!AxisAligned(dc) || pen.Wide || !pen.Dashes.empty()) {
    if (closed) {
      DrawPolygonF(dc, {pts}, true, pen, TPixelSample::Centre);
    } else if (pen.Wide) {
      std::vector<TPointF> c;
      for (const TPointF& q : pts) c.push_back(TPointF{q.X + 0.5, q.Y + 0.5});
      TSpanRows on = StrokeWide(c, false, pen, window);
      PaintShape(dc, nullptr, &on, nullptr, pen);
    } else {
      DrawPolyline(dc, Rounded(pts, dc->Mirrored()), false, pen);
    }
    return;
  }
  // Thin solid pen, axis aligned: the ellipse's own outline pixels.
  RECT R = TargetRect(dc, l, t, r, b);
  TSpanRows ell = EllipseRows(R, window);
  TSpanRows outline = OutlineRows(ell);
  double cx = (R.Left + R.Right) / 2.0, cy = (R.Top + R.Bottom) / 2.0;
  TPointF ts = ToTargetF(dc, xs, ys), te = ToTargetF(dc, xe, ye);
  double ta0 = std::atan2(-(ts.Y - cy), ts.X - cx), ta1 = std::atan2(-(te.Y - cy), te.X - cx);
  double tsweep = ccw ? Normalize(ta1 - ta0) : Normalize(ta0 - ta1);
  if (tsweep == 0) tsweep = 2 * std::numbers::pi;
  auto inSweep = [&](int x, int y) {
    double a = std::atan2(-(y + 0.5 - cy), x + 0.5 - cx);
    double d = ccw ? Normalize(a - ta0) : Normalize(ta0 - a);
    return d <= tsweep + 1e-9;
  };
  auto filter = [&](const TSpanRows& rows, auto keep) {
    std::vector<POINT> px;
    for (size_t i = 0; i < rows.Rows.size(); ++i) {
      int y = rows.Top + static_cast<int>(i);
      for (const auto& s : rows.Rows[i])
        for (int x = s.first; x < s.second; ++x)
          if (keep(x, y)) px.push_back(POINT(x, y));
    }
    return PixelsToRows(px);
  };
  TSpanRows on = filter(outline, inSweep);
  POINT ps = Rounded({ToTargetF(dc, pStart.X, pStart.Y)}, dc->Mirrored()).front();
  POINT pe = Rounded({ToTargetF(dc, pEnd.X, pEnd.Y)}, dc->Mirrored()).front();
  std::vector<POINT> extra;
  if (from) {
    POINT f = dc->LPtoTarget(*from);
    LinePixels(f, ps, extra, window);
  }
  TSpanRows fill;
  bool hasFill = false;
  if (kind == akPie) {
    POINT c(static_cast<int>(std::floor(cx)), static_cast<int>(std::floor(cy)));
    LinePixels(pe, c, extra, window);
    LinePixels(c, ps, extra, window);
    fill = filter(ell, inSweep);
    hasFill = true;
  } else if (kind == akChord) {
    LinePixels(pe, ps, extra, window);
    // The side of the chord that holds the middle of the arc.
    double nx = -(pe.Y - ps.Y), ny = pe.X - ps.X;
    double mid = ta0 + (ccw ? tsweep / 2 : -tsweep / 2);
    double mx = cx + (R.Right - R.Left) / 2.0 * std::cos(mid), my = cy - (R.Bottom - R.Top) / 2.0 * std::sin(mid);
    auto side = [&](double x, double y) { return (x - (ps.X + 0.5)) * nx + (y - (ps.Y + 0.5)) * ny; };
    double arcSide = side(mx, my);
    fill = filter(ell, [&](int x, int y) { return side(x + 0.5, y + 0.5) * arcSide >= 0; });
    hasFill = true;
  }
  if (!extra.empty()) on = CombineRows(on, PixelsToRows(extra), RGN_OR);
  PaintShape(dc, hasFill ? &fill : nullptr, &on, nullptr, pen);
}

void Bezier(const TPointF& p0, const TPointF& p1, const TPointF& p2, const TPointF& p3, std::vector<TPointF>& out) {
  double len = std::hypot(p1.X - p0.X, p1.Y - p0.Y) + std::hypot(p2.X - p1.X, p2.Y - p1.Y) +
               std::hypot(p3.X - p2.X, p3.Y - p2.Y);
  int n = std::clamp(static_cast<int>(len / 2), 4, 1024);
  for (int i = 1; i <= n; ++i) {
    double t = double(i) / n, u = 1 - t;
    out.push_back(TPointF{u * u * u * p0.X + 3 * u * u * t * p1.X + 3 * u * t * t * p2.X + t * t * t * p3.X,
                          u * u * u * p0.Y + 3 * u * u * t * p1.Y + 3 * u * t * t * p2.Y + t * t * t * p3.Y});
  }
}

}  // namespace

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->S.CurPos;
  dc->S.CurPos = POINT(x, y);
  PathAdd(dc, {ToTargetF(dc, x, y)}, true, false);
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  if (EmfRecording(hdc)) return EmfRecordLineTo(hdc, x, y);
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  POINT from = dc->S.CurPos;
  dc->S.CurPos = POINT(x, y);
  if (PathAdd(dc, {ToTargetF(dc, x, y)}, false, false)) return TRUE;
  DrawPolyline(dc, {dc->LPtoTarget(from), dc->LPtoTarget(POINT(x, y))}, false, RealizePen(dc));
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
  if (count >= 2 && EmfRecording(hdc)) return EmfRecordPoly(hdc, EMR_POLYLINE, points, DWORD(count));
  auto dc = GdiDC(hdc);
  if (!dc || !points || count < 2) return FALSE;
  std::vector<POINT> pts = ToTargetPoints(dc, points, count);
  if (PathAdd(dc, ToFloat(pts), true, false)) return TRUE;
  DrawPolyline(dc, pts, false, RealizePen(dc));
  return TRUE;
}

BOOL PolylineTo(HDC hdc, const POINT* points, int count) {
  auto dc = GdiDC(hdc);
  if (!dc || !points || count < 1) return FALSE;
  std::vector<POINT> pts{dc->LPtoTarget(dc->S.CurPos)};
  std::vector<POINT> rest = ToTargetPoints(dc, points, count);
  pts.insert(pts.end(), rest.begin(), rest.end());
  dc->S.CurPos = points[count - 1];
  if (PathAdd(dc, ToFloat(rest), false, false)) return TRUE;
  DrawPolyline(dc, pts, false, RealizePen(dc));
  return TRUE;
}

BOOL PolyPolyline(HDC hdc, const POINT* points, const DWORD* counts, DWORD polylines) {
  if (EmfRecording(hdc)) return EmfRecordPolyPoly(hdc, EMR_POLYPOLYLINE, points, counts, polylines);
  auto dc = GdiDC(hdc);
  if (!dc || !points || !counts) return FALSE;
  const POINT* p = points;
  for (DWORD i = 0; i < polylines; ++i) {
    if (counts[i] < 2) return FALSE;
    Polyline(hdc, p, static_cast<int>(counts[i]));
    p += counts[i];
  }
  return TRUE;
}

BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons) {
  if (counts && polygons > 0 && EmfRecording(hdc)) {
    if (std::any_of(counts, counts + polygons, [](INT c) { return c < 2; })) return FALSE;
    const std::vector<DWORD> sizes(counts, counts + polygons);
    return EmfRecordPolyPoly(hdc, EMR_POLYPOLYGON, points, sizes.data(), DWORD(polygons));
  }
  auto dc = GdiDC(hdc);
  if (!dc || !points || !counts || polygons <= 0) return FALSE;
  std::vector<std::vector<TPointF>> polys;
  const POINT* p = points;
  for (int i = 0; i < polygons; ++i) {
    if (counts[i] < 2) return FALSE;
    polys.push_back(ToFloat(ToTargetPoints(dc, p, counts[i])));
    p += counts[i];
  }
  if (dc->PathOpen) {
    for (const auto& poly : polys) PathAdd(dc, poly, true, true);
    return TRUE;
  }
  DrawPolygonF(dc, polys, true, RealizePen(dc));
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
  if (count >= 2 && EmfRecording(hdc)) return EmfRecordPoly(hdc, EMR_POLYGON, points, DWORD(count));
  INT c = count;
  return PolyPolygon(hdc, points, &c, 1);
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  if (EmfRecording(hdc)) return EmfRecordShape(hdc, EMR_RECTANGLE, RECT{left, top, right, bottom}, SIZE{});
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  std::vector<TPointF> corners{ToTargetF(dc, left, top), ToTargetF(dc, right, top), ToTargetF(dc, right, bottom),
                               ToTargetF(dc, left, bottom)};
  if (PathAdd(dc, corners, true, true)) return TRUE;
  TStroke pen = RealizePen(dc);
  if (!AxisAligned(dc)) {
    DrawPolygonF(dc, {corners}, true, pen);
    return TRUE;
  }
  RECT R = TargetRect(dc, left, top, right, bottom);
  if (R.Left == R.Right || R.Top == R.Bottom) return TRUE;
  const RECT window = DrawWindow(dc);
  if (pen.Null) {
    TSpanRows fill = RectRows(NullPenArea(dc, R), window);
    PaintShape(dc, &fill, nullptr, nullptr, pen);
    return TRUE;
  }
  TSpanRows fill = RectRows(Inflate(R, -1), window);
  TSpanRows on, off;
  if (pen.Wide) {
    double inset = pen.InsideFrame ? pen.Width / 2.0 : 0.5;
    std::vector<TPointF> path{{R.Left + inset, R.Top + inset},
                              {R.Right - inset, R.Top + inset},
                              {R.Right - inset, R.Bottom - inset},
                              {R.Left + inset, R.Bottom - inset}};
    if (pen.InsideFrame) {
      on = CombineRows(RectRows(R, window), RectRows(Inflate(R, -pen.Width), window), RGN_DIFF);
    } else {
      on = StrokeWide(path, true, pen, window);
    }
  } else {
    std::vector<POINT> a, b;
    int phase = 0;
    StrokeThin({POINT(R.Left, R.Top), POINT(R.Right - 1, R.Top), POINT(R.Right - 1, R.Bottom - 1),
                POINT(R.Left, R.Bottom - 1)},
               true, pen, a, b, phase, window);
    // A 1x1 rectangle has no edge of any length but still draws its pixel.
    const bool onePixel = int64_t(R.Right) - R.Left == 1 && int64_t(R.Bottom) - R.Top == 1;
    if (onePixel && a.empty() && b.empty()) a.push_back(POINT(R.Left, R.Top));
    on = PixelsToRows(a);
    off = PixelsToRows(b);
  }
  PaintShape(dc, &fill, &on, &off, pen);
  return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  if (EmfRecording(hdc)) return EmfRecordShape(hdc, EMR_ELLIPSE, RECT{left, top, right, bottom}, SIZE{});
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (dc->PathOpen) {
    std::vector<TPointF> pts;
    for (const TPointF& p : ArcPoints((double(left) + right) / 2.0, (double(top) + bottom) / 2.0,
                                      (double(right) - left) / 2.0, (double(bottom) - top) / 2.0, 0, 2 * std::numbers::pi))
      pts.push_back(ToTargetF(dc, p.X, p.Y));
    PathAdd(dc, pts, true, true);
    return TRUE;
  }
  DrawEllipseLike(dc, left, top, right, bottom, false, 0, 0);
  return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
  if (EmfRecording(hdc))
    return EmfRecordShape(hdc, EMR_ROUNDRECT, RECT{left, top, right, bottom}, SIZE(width, height));
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (dc->PathOpen) {
    std::vector<TPointF> pts{ToTargetF(dc, left, top), ToTargetF(dc, right, top), ToTargetF(dc, right, bottom),
                             ToTargetF(dc, left, bottom)};
    PathAdd(dc, pts, true, true);
    return TRUE;
  }
  DrawEllipseLike(dc, left, top, right, bottom, true, width, height);
  return TRUE;
}

BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  DrawArc(dc, left, top, right, bottom, xs, ys, xe, ye, akArc, nullptr, nullptr);
  return TRUE;
}

BOOL ArcTo(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  POINT from = dc->S.CurPos, end;
  DrawArc(dc, left, top, right, bottom, xs, ys, xe, ye, akArc, &from, &end);
  dc->S.CurPos = end;
  return TRUE;
}

BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  DrawArc(dc, left, top, right, bottom, xs, ys, xe, ye, akPie, nullptr, nullptr);
  return TRUE;
}

BOOL Chord(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  DrawArc(dc, left, top, right, bottom, xs, ys, xe, ye, akChord, nullptr, nullptr);
  return TRUE;
}

BOOL AngleArc(HDC hdc, int x, int y, DWORD radius, float startAngle, float sweepAngle) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  double a0 = startAngle * std::numbers::pi / 180, sw = sweepAngle * std::numbers::pi / 180, r = radius;
  std::vector<TPointF> logical{TPointF{double(dc->S.CurPos.X), double(dc->S.CurPos.Y)}};
  for (const TPointF& p : ArcPoints(x, y, r, r, a0, sw)) logical.push_back(p);
  std::vector<TPointF> pts;
  for (const TPointF& p : logical) pts.push_back(ToTargetF(dc, p.X, p.Y));
  dc->S.CurPos = POINT(static_cast<int>(std::lround(logical.back().X)), static_cast<int>(std::lround(logical.back().Y)));
  if (PathAdd(dc, std::vector<TPointF>(pts.begin() + 1, pts.end()), false, false)) return TRUE;
  TStroke pen = RealizePen(dc);
  if (pen.Wide) {
    std::vector<TPointF> c;
    for (const TPointF& q : pts) c.push_back(TPointF{q.X + 0.5, q.Y + 0.5});
    TSpanRows on = StrokeWide(c, false, pen, DrawWindow(dc));
    PaintShape(dc, nullptr, &on, nullptr, pen);
  } else {
    DrawPolyline(dc, Rounded(pts, dc->Mirrored()), false, pen);
  }
  return TRUE;
}

namespace {

BOOL DrawBezier(TGdiDC* dc, const POINT* points, DWORD count, bool fromCurrent) {
  std::vector<TPointF> logical;
  DWORD i = 0;
  if (fromCurrent) {
    logical.push_back(TPointF{double(dc->S.CurPos.X), double(dc->S.CurPos.Y)});
  } else {
    logical.push_back(TPointF{double(points[0].X), double(points[0].Y)});
    i = 1;
  }
  for (; i + 3 <= count; i += 3) {
    TPointF p0 = logical.back();
    TPointF c1{double(points[i].X), double(points[i].Y)}, c2{double(points[i + 1].X), double(points[i + 1].Y)};
    TPointF p3{double(points[i + 2].X), double(points[i + 2].Y)};
    Bezier(p0, c1, c2, p3, logical);
  }
  if (fromCurrent && count >= 3) dc->S.CurPos = points[count - 1];
  std::vector<TPointF> pts;
  for (const TPointF& p : logical) pts.push_back(ToTargetF(dc, p.X, p.Y));
  if (PathAdd(dc, fromCurrent ? std::vector<TPointF>(pts.begin() + 1, pts.end()) : pts, !fromCurrent, false))
    return TRUE;
  TStroke pen = RealizePen(dc);
  if (pen.Wide) {
    std::vector<TPointF> c;
    for (const TPointF& q : pts) c.push_back(TPointF{q.X + 0.5, q.Y + 0.5});
    TSpanRows on = StrokeWide(c, false, pen, DrawWindow(dc));
    PaintShape(dc, nullptr, &on, nullptr, pen);
  } else {
    std::vector<POINT> r = Rounded(pts, dc->Mirrored());
    DrawPolyline(dc, r, false, pen);
  }
  return TRUE;
}

}  // namespace

BOOL PolyBezier(HDC hdc, const POINT* points, DWORD count) {
  if (EmfRecording(hdc)) return EmfRecordPoly(hdc, EMR_POLYBEZIER, points, count);
  auto dc = GdiDC(hdc);
  if (!dc || !points || count < 4 || (count - 1) % 3 != 0) return FALSE;
  return DrawBezier(dc, points, count, false);
}

BOOL PolyBezierTo(HDC hdc, const POINT* points, DWORD count) {
  auto dc = GdiDC(hdc);
  if (!dc || !points || count < 3 || count % 3 != 0) return FALSE;
  return DrawBezier(dc, points, count, true);
}
