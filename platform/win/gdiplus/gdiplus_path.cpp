// Paths: figures of lines and Bézier curves; arcs, ellipses and cardinal
// splines become Bézier curves as they are added.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win/gdiplus/gdiplus_internal.h"

namespace rtl::detail {

using namespace rtl::backend;

namespace {

void Push(TGpPathData& d, double x, double y, uint8_t type) {
  d.Points.push_back({static_cast<float>(x), static_cast<float>(y)});
  d.Types.push_back(type);
}

// The first point of what is being added: a new figure, or a line from
// the end of the open one.
void Begin(TGpPathData& d, bool& newFigure, double x, double y) {
  Push(d, x, y, newFigure || d.Points.empty() ? ptStart : ptLine);
  newFigure = false;
}

// The ellipse parameter of the point at `degrees` (a true angle from the
// centre, clockwise on a y-down surface).
double Parameter(double degrees, double a, double b) {
  double r = degrees * M_PI / 180.0;
  return std::atan2(a * std::sin(r), b * std::cos(r));
}

// Bézier segments of the ellipse arc from parameter t1 to t2, at most a
// quarter turn each, starting at the point already added.
void ArcSegments(TGpPathData& d, double cx, double cy, double a, double b, double t1, double t2) {
  int n = std::max(1, static_cast<int>(std::ceil(std::fabs(t2 - t1) / (M_PI / 2) - 1e-9)));
  double step = (t2 - t1) / n;
  double k = 4.0 / 3.0 * std::tan(step / 4);
  for (int i = 0; i < n; ++i) {
    double s = t1 + step * i, e = s + step;
    double x0 = cx + a * std::cos(s), y0 = cy + b * std::sin(s);
    double x3 = cx + a * std::cos(e), y3 = cy + b * std::sin(e);
    Push(d, x0 - k * a * std::sin(s), y0 + k * b * std::cos(s), ptBezier);
    Push(d, x3 + k * a * std::sin(e), y3 - k * b * std::cos(e), ptBezier);
    Push(d, x3, y3, ptBezier);
  }
}

void Arc(TGpPathData& d, bool& newFigure, double x, double y, double w, double h, double start, double sweep) {
  double a = w / 2, b = h / 2, cx = x + a, cy = y + b;
  sweep = std::clamp(sweep, -360.0, 360.0);
  double t1 = Parameter(start, a, b), t2;
  if (std::fabs(sweep) >= 360.0) {
    t2 = t1 + (sweep > 0 ? 2 * M_PI : -2 * M_PI);
  } else {
    t2 = Parameter(start + sweep, a, b);
    // Unwrap so that the arc runs the way and the distance of the sweep.
    if (sweep > 0)
      while (t2 < t1) t2 += 2 * M_PI;
    else
      while (t2 > t1) t2 -= 2 * M_PI;
    if (sweep == 0) t2 = t1;
  }
  Begin(d, newFigure, cx + a * std::cos(t1), cy + b * std::sin(t1));
  if (t2 != t1) ArcSegments(d, cx, cy, a, b, t1, t2);
}

void Subdivide(std::vector<TGpPointF>& out, const TGpPointF p[4], double tolerance) {
  double d1 = std::hypot(p[0].X - 2 * p[1].X + p[2].X, p[0].Y - 2 * p[1].Y + p[2].Y);
  double d2 = std::hypot(p[1].X - 2 * p[2].X + p[3].X, p[1].Y - 2 * p[2].Y + p[3].Y);
  int n = static_cast<int>(std::ceil(std::sqrt(0.75 * std::max(d1, d2) / std::max(tolerance, 1e-3))));
  n = std::clamp(n, 1, 1000);
  for (int i = 1; i <= n; ++i) {
    double t = double(i) / n, u = 1 - t;
    double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
    out.push_back({static_cast<float>(b0 * p[0].X + b1 * p[1].X + b2 * p[2].X + b3 * p[3].X),
                   static_cast<float>(b0 * p[0].Y + b1 * p[1].Y + b2 * p[2].Y + b3 * p[3].Y)});
  }
}

}  // namespace

std::vector<GpPointF> ToPointsF(const GpPoint* points, INT count) {
  std::vector<GpPointF> out;
  if (!points || count <= 0) return out;
  out.reserve(static_cast<size_t>(count));
  for (INT i = 0; i < count; ++i) out.push_back({REAL(points[i].X), REAL(points[i].Y)});
  return out;
}

void AddLines(TGpPathData& d, bool& newFigure, const GpPointF* points, INT count) {
  for (INT i = 0; i < count; ++i) {
    if (i == 0)
      Begin(d, newFigure, points[0].X, points[0].Y);
    else
      Push(d, points[i].X, points[i].Y, ptLine);
  }
}

void AddArc(TGpPathData& d, bool& newFigure, REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep) {
  Arc(d, newFigure, x, y, w, h, start, sweep);
}

void AddBeziers(TGpPathData& d, bool& newFigure, const GpPointF* points, INT count) {
  Begin(d, newFigure, points[0].X, points[0].Y);
  for (INT i = 1; i + 2 < count; i += 3)
    for (INT k = 0; k < 3; ++k) Push(d, points[i + k].X, points[i + k].Y, ptBezier);
}

void AddCurve(TGpPathData& d, bool& newFigure, const GpPointF* p, INT count, INT offset, INT segments, REAL tension,
              bool closed) {
  // A cardinal spline: each segment a Bézier curve whose control points
  // follow the neighbours of its ends.
  auto at = [&](INT i) -> const GpPointF& {
    if (closed) return p[((i % count) + count) % count];
    return p[std::clamp(i, 0, count - 1)];
  };
  const double t = tension / 3.0;
  Begin(d, newFigure, at(offset).X, at(offset).Y);
  for (INT i = offset; i < offset + segments; ++i) {
    const GpPointF &p0 = at(i - 1), &p1 = at(i), &p2 = at(i + 1), &p3 = at(i + 2);
    Push(d, p1.X + t * (p2.X - p0.X), p1.Y + t * (p2.Y - p0.Y), ptBezier);
    Push(d, p2.X - t * (p3.X - p1.X), p2.Y - t * (p3.Y - p1.Y), ptBezier);
    Push(d, p2.X, p2.Y, ptBezier);
  }
  if (closed) CloseFigure(d, newFigure);
}

void AddRectangle(TGpPathData& d, const GpRectF& r) {
  Push(d, r.X, r.Y, ptStart);
  Push(d, r.X + r.Width, r.Y, ptLine);
  Push(d, r.X + r.Width, r.Y + r.Height, ptLine);
  Push(d, r.X, r.Y + r.Height, ptLine | ptCloseSubpath);
}

void AddEllipse(TGpPathData& d, REAL x, REAL y, REAL w, REAL h) {
  double a = w / 2.0, b = h / 2.0;
  Push(d, x + w, y + b, ptStart);
  ArcSegments(d, x + a, y + b, a, b, 0, 2 * M_PI);
  d.Types.back() |= ptCloseSubpath;
}

void AddPie(TGpPathData& d, REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep) {
  Push(d, x + w / 2.0, y + h / 2.0, ptStart);
  bool open = false;
  Arc(d, open, x, y, w, h, start, sweep);
  d.Types.back() |= ptCloseSubpath;
}

void AddPolygon(TGpPathData& d, const GpPointF* points, INT count) {
  for (INT i = 0; i < count; ++i) Push(d, points[i].X, points[i].Y, i == 0 ? ptStart : ptLine);
  d.Types.back() |= ptCloseSubpath;
}

void CloseFigure(TGpPathData& d, bool& newFigure) {
  if (!d.Types.empty()) d.Types.back() |= ptCloseSubpath;
  newFigure = true;
}

void TransformPathData(TGpPathData& path, const TGpMatrix& m) {
  if (m.IsIdentity()) return;
  for (TGpPointF& p : path.Points) {
    double x, y;
    m.Map(p.X, p.Y, x, y);
    p = {static_cast<float>(x), static_cast<float>(y)};
  }
}

TGpPathData Flatten(const TGpPathData& path, double tolerance) {
  TGpPathData out;
  out.Winding = path.Winding;
  const size_t n = std::min(path.Points.size(), path.Types.size());
  for (size_t i = 0; i < n; ++i) {
    uint8_t type = path.Types[i] & ptTypeMask;
    if (type == ptBezier && i + 2 < n && !out.Points.empty()) {
      TGpPointF seg[4] = {out.Points.back(), path.Points[i], path.Points[i + 1], path.Points[i + 2]};
      std::vector<TGpPointF> pts;
      Subdivide(pts, seg, tolerance);
      for (const TGpPointF& p : pts) {
        out.Points.push_back(p);
        out.Types.push_back(ptLine);
      }
      out.Types.back() |= path.Types[i + 2] & (ptCloseSubpath | ptMarker);
      i += 2;
    } else {
      out.Points.push_back(path.Points[i]);
      out.Types.push_back(type == ptStart ? path.Types[i] : uint8_t((path.Types[i] & ~ptTypeMask) | ptLine));
    }
  }
  return out;
}

}  // namespace rtl::detail

using namespace rtl::detail;
using rtl::backend::ptCloseSubpath;
using rtl::backend::ptLine;
using rtl::backend::ptMarker;
using rtl::backend::ptStart;
using rtl::backend::ptTypeMask;

namespace {

GpRectF BoundsOf(const TGpPathData& d) {
  if (d.Points.empty()) return GpRectF{0, 0, 0, 0};
  float l = d.Points[0].X, t = d.Points[0].Y, r = l, b = t;
  for (const auto& p : d.Points) {
    l = std::min(l, p.X);
    t = std::min(t, p.Y);
    r = std::max(r, p.X);
    b = std::max(b, p.Y);
  }
  return GpRectF{l, t, r - l, b - t};
}

}  // namespace

GpStatus GdipCreatePath(GpFillMode brushMode, GpPath** path) {
  if (!path) return InvalidParameter;
  *path = new GpPath;
  (*path)->Data.Winding = brushMode == FillModeWinding;
  return Ok;
}

GpStatus GdipCreatePath2(const GpPointF* points, const BYTE* types, INT count, GpFillMode fillMode, GpPath** path) {
  if (!path || count < 0 || (count > 0 && (!points || !types))) return InvalidParameter;
  auto* p = new GpPath;
  p->Data.Winding = fillMode == FillModeWinding;
  for (INT i = 0; i < count; ++i) {
    p->Data.Points.push_back({points[i].X, points[i].Y});
    p->Data.Types.push_back(types[i]);
  }
  p->NewFigure = count == 0 || (types[count - 1] & ptCloseSubpath);
  *path = p;
  return Ok;
}

GpStatus GdipCreatePath2I(const GpPoint* points, const BYTE* types, INT count, GpFillMode fillMode, GpPath** path) {
  if (count > 0 && !points) return InvalidParameter;
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipCreatePath2(f.data(), types, count, fillMode, path);
}

GpStatus GdipClonePath(GpPath* path, GpPath** clonePath) {
  if (!path || !clonePath) return InvalidParameter;
  *clonePath = new GpPath(*path);
  return Ok;
}

GpStatus GdipDeletePath(GpPath* path) {
  if (!path) return InvalidParameter;
  delete path;
  return Ok;
}

GpStatus GdipResetPath(GpPath* path) {
  if (!path) return InvalidParameter;
  path->Data.Points.clear();
  path->Data.Types.clear();
  path->Data.Winding = false;
  path->NewFigure = true;
  return Ok;
}

GpStatus GdipGetPointCount(GpPath* path, INT* count) {
  if (!path || !count) return InvalidParameter;
  *count = static_cast<INT>(path->Data.Points.size());
  return Ok;
}

GpStatus GdipGetPathTypes(GpPath* path, BYTE* types, INT count) {
  if (!path || !types || count <= 0) return InvalidParameter;
  INT n = std::min<INT>(count, static_cast<INT>(path->Data.Types.size()));
  std::memcpy(types, path->Data.Types.data(), static_cast<size_t>(n));
  return Ok;
}

GpStatus GdipGetPathPoints(GpPath* path, GpPointF* points, INT count) {
  if (!path || !points || count <= 0) return InvalidParameter;
  INT n = std::min<INT>(count, static_cast<INT>(path->Data.Points.size()));
  for (INT i = 0; i < n; ++i) points[i] = {path->Data.Points[i].X, path->Data.Points[i].Y};
  return Ok;
}

GpStatus GdipGetPathPointsI(GpPath* path, GpPoint* points, INT count) {
  if (!path || !points || count <= 0) return InvalidParameter;
  INT n = std::min<INT>(count, static_cast<INT>(path->Data.Points.size()));
  for (INT i = 0; i < n; ++i)
    points[i] = {INT(std::lround(path->Data.Points[i].X)), INT(std::lround(path->Data.Points[i].Y))};
  return Ok;
}

GpStatus GdipGetPathFillMode(GpPath* path, GpFillMode* fillmode) {
  if (!path || !fillmode) return InvalidParameter;
  *fillmode = path->Data.Winding ? FillModeWinding : FillModeAlternate;
  return Ok;
}

GpStatus GdipSetPathFillMode(GpPath* path, GpFillMode fillmode) {
  if (!path) return InvalidParameter;
  path->Data.Winding = fillmode == FillModeWinding;
  return Ok;
}

GpStatus GdipGetPathData(GpPath* path, PathData* pathData) {
  if (!path || !pathData || !pathData->Points || !pathData->Types) return InvalidParameter;
  INT n = static_cast<INT>(path->Data.Points.size());
  if (pathData->Count < n) return OutOfMemory;
  for (INT i = 0; i < n; ++i) {
    pathData->Points[i] = {path->Data.Points[i].X, path->Data.Points[i].Y};
    pathData->Types[i] = path->Data.Types[i];
  }
  pathData->Count = n;
  return Ok;
}

GpStatus GdipStartPathFigure(GpPath* path) {
  if (!path) return InvalidParameter;
  path->NewFigure = true;
  return Ok;
}

GpStatus GdipClosePathFigure(GpPath* path) {
  if (!path) return InvalidParameter;
  CloseFigure(path->Data, path->NewFigure);
  return Ok;
}

GpStatus GdipClosePathFigures(GpPath* path) {
  if (!path) return InvalidParameter;
  auto& t = path->Data.Types;
  for (size_t i = 0; i < t.size(); ++i)
    if (i + 1 == t.size() || (t[i + 1] & ptTypeMask) == ptStart) t[i] |= ptCloseSubpath;
  path->NewFigure = true;
  return Ok;
}

GpStatus GdipSetPathMarker(GpPath* path) {
  if (!path) return InvalidParameter;
  if (!path->Data.Types.empty()) path->Data.Types.back() |= ptMarker;
  return Ok;
}

GpStatus GdipClearPathMarkers(GpPath* path) {
  if (!path) return InvalidParameter;
  for (BYTE& t : path->Data.Types) t &= static_cast<BYTE>(~ptMarker);
  return Ok;
}

GpStatus GdipReversePath(GpPath* path) {
  if (!path) return InvalidParameter;
  TGpPathData& d = path->Data;
  const size_t n = d.Points.size();
  TGpPathData out;
  out.Winding = d.Winding;
  // Figures in reverse order, each with its points reversed; a segment
  // keeps its type, now ending at what was its start.
  size_t end = n;
  while (end > 0) {
    size_t start = end - 1;
    while (start > 0 && (d.Types[start] & ptTypeMask) != ptStart) --start;
    bool closed = d.Types[end - 1] & ptCloseSubpath;
    for (size_t k = end; k-- > start;) {
      out.Points.push_back(d.Points[k]);
      out.Types.push_back(k + 1 == end ? uint8_t(ptStart) : static_cast<uint8_t>(d.Types[k + 1] & ptTypeMask));
    }
    if (closed) out.Types.back() |= ptCloseSubpath;
    end = start;
  }
  path->Data = std::move(out);
  return Ok;
}

GpStatus GdipGetPathLastPoint(GpPath* path, GpPointF* lastPoint) {
  if (!path || !lastPoint || path->Data.Points.empty()) return InvalidParameter;
  *lastPoint = {path->Data.Points.back().X, path->Data.Points.back().Y};
  return Ok;
}

GpStatus GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2) {
  if (!path) return InvalidParameter;
  const GpPointF p[2] = {{x1, y1}, {x2, y2}};
  AddLines(path->Data, path->NewFigure, p, 2);
  return Ok;
}

GpStatus GdipAddPathLineI(GpPath* path, INT x1, INT y1, INT x2, INT y2) {
  return GdipAddPathLine(path, REAL(x1), REAL(y1), REAL(x2), REAL(y2));
}

GpStatus GdipAddPathLine2(GpPath* path, const GpPointF* points, INT count) {
  if (!path || !points || count < 1) return InvalidParameter;
  AddLines(path->Data, path->NewFigure, points, count);
  return Ok;
}

GpStatus GdipAddPathLine2I(GpPath* path, const GpPoint* points, INT count) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipAddPathLine2(path, f.data(), count);
}

GpStatus GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle) {
  if (!path || width <= 0 || height <= 0) return InvalidParameter;
  AddArc(path->Data, path->NewFigure, x, y, width, height, startAngle, sweepAngle);
  return Ok;
}

GpStatus GdipAddPathArcI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle) {
  return GdipAddPathArc(path, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

GpStatus GdipAddPathBezier(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4) {
  const GpPointF p[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
  return GdipAddPathBeziers(path, p, 4);
}

GpStatus GdipAddPathBezierI(GpPath* path, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4, INT y4) {
  return GdipAddPathBezier(path, REAL(x1), REAL(y1), REAL(x2), REAL(y2), REAL(x3), REAL(y3), REAL(x4), REAL(y4));
}

GpStatus GdipAddPathBeziers(GpPath* path, const GpPointF* points, INT count) {
  if (!path || !points || count < 4 || (count - 1) % 3 != 0) return InvalidParameter;
  AddBeziers(path->Data, path->NewFigure, points, count);
  return Ok;
}

GpStatus GdipAddPathBeziersI(GpPath* path, const GpPoint* points, INT count) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipAddPathBeziers(path, f.data(), count);
}

GpStatus GdipAddPathCurve(GpPath* path, const GpPointF* points, INT count) {
  return GdipAddPathCurve2(path, points, count, 0.5f);
}

GpStatus GdipAddPathCurveI(GpPath* path, const GpPoint* points, INT count) {
  return GdipAddPathCurve2I(path, points, count, 0.5f);
}

GpStatus GdipAddPathCurve2(GpPath* path, const GpPointF* points, INT count, REAL tension) {
  return GdipAddPathCurve3(path, points, count, 0, count - 1, tension);
}

GpStatus GdipAddPathCurve2I(GpPath* path, const GpPoint* points, INT count, REAL tension) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipAddPathCurve2(path, f.data(), count, tension);
}

GpStatus GdipAddPathCurve3(GpPath* path, const GpPointF* points, INT count, INT offset, INT numberOfSegments,
                           REAL tension) {
  if (!path || !points || count < 2 || offset < 0 || numberOfSegments < 1 || offset + numberOfSegments >= count)
    return InvalidParameter;
  AddCurve(path->Data, path->NewFigure, points, count, offset, numberOfSegments, tension, false);
  return Ok;
}

GpStatus GdipAddPathCurve3I(GpPath* path, const GpPoint* points, INT count, INT offset, INT numberOfSegments,
                            REAL tension) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipAddPathCurve3(path, f.data(), count, offset, numberOfSegments, tension);
}

GpStatus GdipAddPathClosedCurve(GpPath* path, const GpPointF* points, INT count) {
  return GdipAddPathClosedCurve2(path, points, count, 0.5f);
}

GpStatus GdipAddPathClosedCurveI(GpPath* path, const GpPoint* points, INT count) {
  return GdipAddPathClosedCurve2I(path, points, count, 0.5f);
}

GpStatus GdipAddPathClosedCurve2(GpPath* path, const GpPointF* points, INT count, REAL tension) {
  if (!path || !points || count < 3) return InvalidParameter;
  path->NewFigure = true;
  AddCurve(path->Data, path->NewFigure, points, count, 0, count, tension, true);
  return Ok;
}

GpStatus GdipAddPathClosedCurve2I(GpPath* path, const GpPoint* points, INT count, REAL tension) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipAddPathClosedCurve2(path, f.data(), count, tension);
}

GpStatus GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width, REAL height) {
  if (!path) return InvalidParameter;
  AddRectangle(path->Data, GpRectF{x, y, width, height});
  path->NewFigure = true;
  return Ok;
}

GpStatus GdipAddPathRectangleI(GpPath* path, INT x, INT y, INT width, INT height) {
  return GdipAddPathRectangle(path, REAL(x), REAL(y), REAL(width), REAL(height));
}

GpStatus GdipAddPathRectangles(GpPath* path, const GpRectF* rects, INT count) {
  if (!path || !rects || count < 1) return InvalidParameter;
  for (INT i = 0; i < count; ++i) AddRectangle(path->Data, rects[i]);
  path->NewFigure = true;
  return Ok;
}

GpStatus GdipAddPathRectanglesI(GpPath* path, const GpRect* rects, INT count) {
  if (!rects || count < 1) return InvalidParameter;
  std::vector<GpRectF> f = ToRectsF(rects, count);
  return GdipAddPathRectangles(path, f.data(), count);
}

GpStatus GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width, REAL height) {
  if (!path) return InvalidParameter;
  AddEllipse(path->Data, x, y, width, height);
  path->NewFigure = true;
  return Ok;
}

GpStatus GdipAddPathEllipseI(GpPath* path, INT x, INT y, INT width, INT height) {
  return GdipAddPathEllipse(path, REAL(x), REAL(y), REAL(width), REAL(height));
}

GpStatus GdipAddPathPie(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle) {
  if (!path || width <= 0 || height <= 0) return InvalidParameter;
  AddPie(path->Data, x, y, width, height, startAngle, sweepAngle);
  path->NewFigure = true;
  return Ok;
}

GpStatus GdipAddPathPieI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle) {
  return GdipAddPathPie(path, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

GpStatus GdipAddPathPolygon(GpPath* path, const GpPointF* points, INT count) {
  if (!path || !points || count < 3) return InvalidParameter;
  AddPolygon(path->Data, points, count);
  path->NewFigure = true;
  return Ok;
}

GpStatus GdipAddPathPolygonI(GpPath* path, const GpPoint* points, INT count) {
  std::vector<GpPointF> f = ToPointsF(points, count);
  return GdipAddPathPolygon(path, f.data(), count);
}

GpStatus GdipAddPathPath(GpPath* path, const GpPath* addingPath, BOOL connect) {
  if (!path || !addingPath || path == addingPath) return InvalidParameter;
  const TGpPathData& a = addingPath->Data;
  for (size_t i = 0; i < a.Points.size(); ++i) {
    uint8_t type = a.Types[i];
    if (i == 0 && connect && !path->NewFigure && !path->Data.Points.empty() && (type & ptTypeMask) == ptStart)
      type = static_cast<uint8_t>((type & ~ptTypeMask) | ptLine);
    path->Data.Points.push_back(a.Points[i]);
    path->Data.Types.push_back(type);
  }
  if (!a.Points.empty()) path->NewFigure = addingPath->NewFigure;
  return Ok;
}

GpStatus GdipAddPathString(GpPath* path, const WCHAR* string, INT length, const GpFontFamily* family, INT style,
                           REAL emSize, const GpRectF* layoutRect, const GpStringFormat* format) {
  if (!path || !string || !family || !layoutRect || emSize <= 0) return InvalidParameter;
  std::u16string text = length < 0 ? std::u16string(string) : std::u16string(string, static_cast<size_t>(length));
  GpFont font;
  font.Family = family->Name;
  font.Size = emSize;
  font.Style = style;
  font.Unit = UnitWorld;
  rtl::backend::TGpRectF layout{layoutRect->X, layoutRect->Y, layoutRect->Width, layoutRect->Height};
  rtl::backend::GpTextToPath(text, DescribeFont(&font, nullptr), layout, DescribeFormat(format), path->Data);
  path->NewFigure = true;
  return Ok;
}

GpStatus GdipAddPathStringI(GpPath* path, const WCHAR* string, INT length, const GpFontFamily* family, INT style,
                            REAL emSize, const GpRect* layoutRect, const GpStringFormat* format) {
  if (!layoutRect) return InvalidParameter;
  GpRectF r{REAL(layoutRect->X), REAL(layoutRect->Y), REAL(layoutRect->Width), REAL(layoutRect->Height)};
  return GdipAddPathString(path, string, length, family, style, emSize, &r, format);
}

GpStatus GdipFlattenPath(GpPath* path, GpMatrix* matrix, REAL flatness) {
  if (!path) return InvalidParameter;
  if (matrix) TransformPathData(path->Data, matrix->M);
  path->Data = Flatten(path->Data, flatness > 0 ? flatness : 0.25);
  return Ok;
}

GpStatus GdipWidenPath(GpPath* nativePath, GpPen* pen, GpMatrix* matrix, REAL) {
  if (!nativePath || !pen) return InvalidParameter;
  rtl::backend::TGpPenData p;
  DescribePen(pen, nullptr, p);
  nativePath->Data = rtl::backend::GpWidenPath(nativePath->Data, p, matrix ? matrix->M : TGpMatrix());
  nativePath->NewFigure = true;
  return Ok;
}

GpStatus GdipTransformPath(GpPath* path, GpMatrix* matrix) {
  if (!path) return InvalidParameter;
  if (matrix) TransformPathData(path->Data, matrix->M);
  return Ok;
}

GpStatus GdipGetPathWorldBounds(GpPath* path, GpRectF* bounds, const GpMatrix* matrix, const GpPen* pen) {
  if (!path || !bounds) return InvalidParameter;
  TGpPathData d = path->Data;
  if (matrix) TransformPathData(d, matrix->M);
  GpRectF r = BoundsOf(Flatten(d, 0.25));
  if (pen && !d.Points.empty()) {
    // Half the pen on each side, as the pen is scaled by the matrix.
    double scale = matrix ? std::sqrt(std::fabs(matrix->M.M11 * matrix->M.M22 - matrix->M.M12 * matrix->M.M21)) : 1;
    REAL half = static_cast<REAL>(pen->Width * scale / 2);
    r = GpRectF{r.X - half, r.Y - half, r.Width + 2 * half, r.Height + 2 * half};
  }
  *bounds = r;
  return Ok;
}

GpStatus GdipGetPathWorldBoundsI(GpPath* path, GpRect* bounds, const GpMatrix* matrix, const GpPen* pen) {
  if (!bounds) return InvalidParameter;
  GpRectF r;
  GpStatus s = GdipGetPathWorldBounds(path, &r, matrix, pen);
  if (s != Ok) return s;
  INT l = INT(std::floor(r.X)), t = INT(std::floor(r.Y));
  *bounds = GpRect{l, t, INT(std::ceil(r.X + r.Width)) - l, INT(std::ceil(r.Y + r.Height)) - t};
  return Ok;
}

GpStatus GdipIsVisiblePathPoint(GpPath* path, REAL x, REAL y, GpGraphics*, BOOL* result) {
  if (!path || !result) return InvalidParameter;
  *result = rtl::backend::GpPathContains(path->Data, x, y);
  return Ok;
}

GpStatus GdipIsVisiblePathPointI(GpPath* path, INT x, INT y, GpGraphics* graphics, BOOL* result) {
  return GdipIsVisiblePathPoint(path, REAL(x), REAL(y), graphics, result);
}

GpStatus GdipIsOutlineVisiblePathPoint(GpPath* path, REAL x, REAL y, GpPen* pen, GpGraphics*, BOOL* result) {
  if (!path || !pen || !result) return InvalidParameter;
  rtl::backend::TGpPenData p;
  DescribePen(pen, nullptr, p);
  *result = rtl::backend::GpPathContains(rtl::backend::GpWidenPath(path->Data, p, TGpMatrix()), x, y);
  return Ok;
}

GpStatus GdipIsOutlineVisiblePathPointI(GpPath* path, INT x, INT y, GpPen* pen, GpGraphics* graphics, BOOL* result) {
  return GdipIsOutlineVisiblePathPoint(path, REAL(x), REAL(y), pen, graphics, result);
}
