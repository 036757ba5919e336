#include "platform/win/gdi/gdi_stroke.h"

#include <numbers>
#include <algorithm>
#include <cmath>

namespace rtl::detail {

namespace {


template <class T>
T FloorDiv(T a, T b) {
  T q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Calls f(i, p) for the pixels p of the segment a-b (without b) that lie in
// the window, in drawing order, i being the pixel's place in that order;
// returns how many pixels the whole segment has. Only the part of the
// segment crossing the window is walked.
template <class F>
int64_t ForLinePixels(POINT a, POINT b, const RECT& window, F&& f) {
  if (a == b) return 0;
  int64_t dx = int64_t(b.X) - a.X, dy = int64_t(b.Y) - a.Y;
  bool xMajor = std::abs(dx) >= std::abs(dy);
  bool reversed = xMajor ? dx < 0 : dy < 0;
  POINT s = reversed ? b : a, e = reversed ? a : b;
  int64_t major0 = xMajor ? s.X : s.Y, minor0 = xMajor ? s.Y : s.X;
  int64_t dMajor = xMajor ? int64_t(e.X) - s.X : int64_t(e.Y) - s.Y;
  int64_t dMinor = xMajor ? int64_t(e.Y) - s.Y : int64_t(e.X) - s.X;
  int64_t majorLo = xMajor ? window.Left : window.Top, majorHi = xMajor ? window.Right : window.Bottom;
  int64_t minorLo = xMajor ? window.Top : window.Left, minorHi = xMajor ? window.Bottom : window.Right;
  // Pixel k (0..dMajor from s) sits at major0 + k; b is k = 0 when
  // reversed, k = dMajor otherwise, and is left out.
  int64_t kLo = std::max<int64_t>(reversed ? 1 : 0, majorLo - major0);
  int64_t kHi = std::min<int64_t>(reversed ? dMajor : dMajor - 1, majorHi - 1 - major0);
  // 2 k dMinor needs more than 64 bits only for segments longer than 2^30.
  const bool wide = dMajor >= (int64_t(1) << 30);
  auto visit = [&](int64_t k) {
    // The minor coordinate is the nearest one; an exact half rounds down.
    int64_t minor = minor0 + (wide ? static_cast<int64_t>(FloorDiv(__int128(2) * k * dMinor + dMajor - 1,
                                                                   __int128(2) * dMajor))
                                   : FloorDiv(2 * k * dMinor + dMajor - 1, 2 * dMajor));
    if (minor < minorLo || minor >= minorHi) return;
    int64_t major = major0 + k;
    POINT p = xMajor ? POINT(static_cast<int>(major), static_cast<int>(minor))
                     : POINT(static_cast<int>(minor), static_cast<int>(major));
    f(reversed ? dMajor - k : k, p);
  };
  if (reversed)
    for (int64_t k = kHi; k >= kLo; --k) visit(k);
  else
    for (int64_t k = kLo; k <= kHi; ++k) visit(k);
  return dMajor;
}

double Scale(TGdiDC* dc) {
  const TXform& m = dc->ToTarget();
  return std::sqrt(std::fabs(m.M11 * m.M22 - m.M12 * m.M21));
}

std::vector<int> CosmeticDashes(int kind) {
  switch (kind) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE: return {1, 1};
    default: return {};
  }
}

std::vector<int> GeometricDashes(int kind, int w) {
  switch (kind) {
    case PS_DASH: return {3 * w, w};
    case PS_DOT: return {w, w};
    case PS_DASHDOT: return {3 * w, w, w, w};
    case PS_DASHDOTDOT: return {3 * w, w, w, w, w, w};
    default: return {};
  }
}

double SignedArea(const std::vector<TPointF>& p) {
  double a = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    const TPointF& u = p[i];
    const TPointF& v = p[(i + 1) % p.size()];
    a += u.X * v.Y - v.X * u.Y;
  }
  return a / 2;
}

void AddPolygon(std::vector<std::vector<TPointF>>& polys, std::vector<TPointF> p) {
  if (p.size() < 3) return;
  if (SignedArea(p) < 0) std::reverse(p.begin(), p.end());
  polys.push_back(std::move(p));
}

void AddCircle(std::vector<std::vector<TPointF>>& polys, TPointF c, double r) {
  // As many corners as arcs get at most: a pen thousands of pixels wide
  // needs no more to look round.
  int n = static_cast<int>(std::clamp(r * 4, 8.0, 4096.0));
  std::vector<TPointF> p;
  for (int i = 0; i < n; ++i) {
    double a = 2 * std::numbers::pi * i / n;
    p.push_back(TPointF{c.X + r * std::cos(a), c.Y + r * std::sin(a)});
  }
  AddPolygon(polys, std::move(p));
}

// Stroke of one open or closed polyline without dashes.
void StrokePiece(const std::vector<TPointF>& pts, bool closed, const TStroke& pen,
                 std::vector<std::vector<TPointF>>& polys) {
  double h = pen.Width / 2.0;
  size_t n = pts.size();
  if (n == 0) return;
  if (n == 1) {
    if (pen.EndCap == PS_ENDCAP_ROUND) AddCircle(polys, pts[0], h);
    return;
  }
  size_t segs = closed ? n : n - 1;
  auto normal = [&](size_t i) {
    TPointF a = pts[i], b = pts[(i + 1) % n];
    double dx = b.X - a.X, dy = b.Y - a.Y, len = std::hypot(dx, dy);
    if (len == 0) return TPointF{0, 0};
    return TPointF{-dy / len * h, dx / len * h};
  };
  for (size_t i = 0; i < segs; ++i) {
    TPointF a = pts[i], b = pts[(i + 1) % n];
    double dx = b.X - a.X, dy = b.Y - a.Y, len = std::hypot(dx, dy);
    if (len == 0) continue;
    TPointF e{dx / len * h, dy / len * h};
    TPointF nn = normal(i);
    bool first = !closed && i == 0, last = !closed && i == segs - 1;
    if (pen.EndCap == PS_ENDCAP_SQUARE) {
      if (first) a = TPointF{a.X - e.X, a.Y - e.Y};
      if (last) b = TPointF{b.X + e.X, b.Y + e.Y};
    }
    AddPolygon(polys, {{a.X + nn.X, a.Y + nn.Y}, {b.X + nn.X, b.Y + nn.Y}, {b.X - nn.X, b.Y - nn.Y},
                       {a.X - nn.X, a.Y - nn.Y}});
  }
  // Joins at the inner vertices (all of them when closed), caps at the ends.
  for (size_t i = 0; i < n; ++i) {
    bool end = !closed && (i == 0 || i == n - 1);
    if (end) {
      if (pen.EndCap == PS_ENDCAP_ROUND) AddCircle(polys, pts[i], h);
      continue;
    }
    if (pen.Join == PS_JOIN_ROUND) {
      AddCircle(polys, pts[i], h);
    } else {
      TPointF n1 = normal((i + n - 1) % n), n2 = normal(i);
      TPointF v = pts[i];
      AddPolygon(polys, {v, {v.X + n1.X, v.Y + n1.Y}, {v.X + n2.X, v.Y + n2.Y}});
      AddPolygon(polys, {v, {v.X - n1.X, v.Y - n1.Y}, {v.X - n2.X, v.Y - n2.Y}});
      if (pen.Join == PS_JOIN_MITER && h > 0) {
        // The outer corner extends to where the two edges meet, unless
        // that is further than the limit allows (then the bevel stays).
        double c = (n1.X * n2.X + n1.Y * n2.Y) / (h * h);  // cosine of the turn
        TPointF d2{pts[(i + 1) % n].X - v.X, pts[(i + 1) % n].Y - v.Y};
        double side = (d2.X * n1.X + d2.Y * n1.Y) > 0 ? -1 : 1;
        if (1 + c > 1e-12 && std::sqrt(2 / (1 + c)) <= pen.MiterLimit) {
          TPointF m{v.X + side * (n1.X + n2.X) / (1 + c), v.Y + side * (n1.Y + n2.Y) / (1 + c)};
          AddPolygon(polys, {v, {v.X + side * n1.X, v.Y + side * n1.Y}, m, {v.X + side * n2.X, v.Y + side * n2.Y}});
        }
      }
    }
  }
}

}  // namespace

TStroke RealizePen(TGdiDC* dc) {
  TStroke s;
  auto pen = GdiPen(dc->S.Pen);
  if (!pen || pen->Kind() == PS_NULL) return s;
  s.Null = false;
  s.Color = PenColor(dc, pen);
  int kind = pen->Kind();
  bool ext = pen->Type == OBJ_EXTPEN;
  bool geometric = ext ? pen->Geometric() : pen->Width > 1;
  int w = pen->Width;
  if (geometric) w = static_cast<int>(std::lround(pen->Width * Scale(dc)));
  if (!ext && pen->Width <= 1) w = 1;
  s.Width = std::max(w, 1);
  s.InsideFrame = kind == PS_INSIDEFRAME;
  if (ext && geometric) {
    s.EndCap = pen->Style & PS_ENDCAP_MASK;
    s.Join = pen->Style & PS_JOIN_MASK;
  }
  s.MiterLimit = dc->S.MiterLimit;
  if (geometric) s.Brush = pen->Brush;
  s.Wide = geometric && s.Width > 1;
  if (kind == PS_USERSTYLE) {
    for (DWORD e : pen->UserStyle) s.Dashes.push_back(std::max<int>(1, static_cast<int>(e) * (s.Wide ? 1 : 1)));
  } else if (s.Wide) {
    // Pens made by CreatePen draw solid when wider than a pixel.
    if (ext) s.Dashes = GeometricDashes(kind, s.Width);
  } else {
    s.Dashes = CosmeticDashes(kind);
  }
  return s;
}

void LinePixels(POINT a, POINT b, std::vector<POINT>& out, const RECT& window) {
  ForLinePixels(a, b, window, [&](int64_t, POINT p) { out.push_back(p); });
}

TSpanRows PixelsToRows(std::vector<POINT>& px) {
  TSpanRows rows;
  if (px.empty()) return rows;
  std::sort(px.begin(), px.end(), [](const POINT& a, const POINT& b) { return a.Y != b.Y ? a.Y < b.Y : a.X < b.X; });
  rows.Top = px.front().Y;
  rows.Rows.resize(static_cast<size_t>(px.back().Y - rows.Top + 1));
  for (const POINT& p : px) {
    auto& row = rows.Rows[static_cast<size_t>(p.Y - rows.Top)];
    if (!row.empty() && row.back().second >= p.X)
      row.back().second = std::max(row.back().second, p.X + 1);
    else
      row.emplace_back(p.X, p.X + 1);
  }
  return rows;
}

void StrokeThin(const std::vector<POINT>& pts, bool closed, const TStroke& pen, std::vector<POINT>& on,
                std::vector<POINT>& off, int& phase, const RECT& window) {
  size_t n = pts.size();
  if (n < 2) return;
  size_t segs = closed ? n : n - 1;
  int64_t total = 0;
  for (int d : pen.Dashes) total += d;
  for (size_t i = 0; i < segs; ++i) {
    int64_t count = ForLinePixels(pts[i], pts[(i + 1) % n], window, [&](int64_t k, POINT p) {
      bool dash = true;
      if (total > 0) {
        int64_t pos = (phase + k) % total;
        for (size_t d = 0; d < pen.Dashes.size(); ++d) {
          if (pos < pen.Dashes[d]) {
            dash = (d % 2) == 0;
            break;
          }
          pos -= pen.Dashes[d];
        }
      }
      (dash ? on : off).push_back(p);
    });
    // Only the place in the pattern matters, so the phase stays small
    // however long the lines.
    phase = total > 0 ? static_cast<int>((phase + count) % total) : 0;
  }
}

namespace {

// The part [in, out] of the segment a-b (as distances from a) inside r;
// false when it misses r.
bool SegmentInside(TPointF a, TPointF b, double len, double l, double t, double r, double btm, double& in,
                   double& out) {
  in = 0;
  out = len;
  double d[2] = {(b.X - a.X) / len, (b.Y - a.Y) / len}, p0[2] = {a.X, a.Y}, lo[2] = {l, t}, hi[2] = {r, btm};
  for (int axis = 0; axis < 2; ++axis) {
    if (d[axis] == 0) {
      if (p0[axis] < lo[axis] || p0[axis] > hi[axis]) return false;
      continue;
    }
    double t0 = (lo[axis] - p0[axis]) / d[axis], t1 = (hi[axis] - p0[axis]) / d[axis];
    if (t0 > t1) std::swap(t0, t1);
    in = std::max(in, t0);
    out = std::min(out, t1);
  }
  return in < out;
}

}  // namespace

TSpanRows StrokeWide(const std::vector<TPointF>& pts, bool closed, const TStroke& pen, const RECT& window) {
  std::vector<std::vector<TPointF>> polys;
  int64_t total = 0;
  for (int d : pen.Dashes) total += d;
  if (total == 0) {
    StrokePiece(pts, closed, pen, polys);
  } else {
    // Cut the polyline into dashes along its length. Only the stretches
    // near the window are cut: the pattern is stepped over the rest by
    // arithmetic, so a line millions of pixels long costs what its
    // visible part does. Near is as far as a cap or join reaches (mitres
    // beyond 16 half widths are taken as reaching no further).
    double reach = pen.Width / 2.0 * std::clamp(pen.MiterLimit, 1.5, 16.0) + 2;
    double nearL = window.Left - reach, nearT = window.Top - reach;
    double nearR = window.Right + reach, nearB = window.Bottom + reach;
    std::vector<TPointF> path = pts;
    if (closed && !pts.empty()) path.push_back(pts.front());
    size_t k = 0;
    double left = pen.Dashes[0];
    std::vector<TPointF> piece;
    bool drawing = true;
    auto next = [&] {
      drawing = !drawing;
      k = (k + 1) % pen.Dashes.size();
      left = pen.Dashes[k];
    };
    // Moves the pattern on by d without drawing. With an odd number of
    // entries the pattern repeats on and off after two rounds.
    double cycle = double(total) * (pen.Dashes.size() % 2 ? 2 : 1);
    auto skip = [&](double d) {
      if (d < left) {
        left -= d;
        return;
      }
      d = std::fmod(d - left, cycle);
      next();
      while (d >= left) {
        d -= left;
        next();
      }
      left -= d;
    };
    auto flush = [&] {
      if (drawing && piece.size() > 1) StrokePiece(piece, false, pen, polys);
    };
    if (!path.empty()) piece.push_back(path[0]);
    for (size_t i = 0; i + 1 < path.size(); ++i) {
      TPointF a = path[i], b = path[i + 1];
      double len = std::hypot(b.X - a.X, b.Y - a.Y), t = 0;
      auto at = [&](double d) { return TPointF{a.X + (b.X - a.X) * d / len, a.Y + (b.Y - a.Y) * d / len}; };
      double in = 0, out = len;
      if (len > 0 && !SegmentInside(a, b, len, nearL, nearT, nearR, nearB, in, out)) {
        flush();
        skip(len);
        piece.assign(1, b);
        continue;
      }
      if (in > 0) {
        // The piece so far ends out of sight; the segment comes in at `in`.
        flush();
        skip(in);
        t = in;
        piece.assign(1, at(in));
      }
      while (out - t > left) {
        t += left;
        TPointF p = at(t);
        if (drawing) {
          piece.push_back(p);
          StrokePiece(piece, false, pen, polys);
        }
        piece.assign(1, p);
        next();
      }
      left -= out - t;
      if (out < len) {
        // The segment goes out of sight at `out`.
        if (drawing) piece.push_back(at(out));
        flush();
        skip(len - out);
        piece.assign(1, b);
        continue;
      }
      if (drawing) piece.push_back(b);
    }
    flush();
  }
  return PolygonRows(polys, WINDING, window, TPixelSample::Centre);
}

void PaintShape(TGdiDC* dc, const TSpanRows* fill, const TSpanRows* on, const TSpanRows* off, const TStroke& pen) {
  auto bmp = dc->Target();
  if (!bmp) return;
  const TRegion& clip = dc->EffectiveClip();
  int top = INT32_MAX, bottom = INT32_MIN;
  for (const TSpanRows* r : {fill, on, off}) {
    int t, b;
    if (r && RowsBounds(*r, clip, t, b)) {
      top = std::min(top, t);
      bottom = std::max(bottom, b);
    }
  }
  if (top >= bottom) return;
  if (dc->BoundsOn) {
    int left = INT32_MAX, right = INT32_MIN;
    for (const TSpanRows* r : {fill, on, off})
      if (r)
        for (const auto& row : r->Rows)
          if (!row.empty()) {
            left = std::min(left, row.front().first);
            right = std::max(right, row.back().second);
          }
    const RECT& box = clip.Box();
    GdiAccumulateBounds(dc, RECT{std::max(left, box.Left), top, std::min(right, box.Right), bottom});
  }
  TSurfaceLock lock(bmp, top, bottom, TLockMode::Values);
  int rop2 = dc->S.Rop2;
  if (fill) {
    TBrushFill brush = RealizeBrush(dc, GdiBrush(dc->S.Brush).get(), lock, true);
    if (!brush.Null) {
      // The outline is taken out of the body only where there is one.
      bool hasOn = on && !pen.Null && !on->Rows.empty(), hasOff = off && !pen.Null && !off->Rows.empty();
      if (!hasOn && !hasOff) {
        PaintRows(lock, clip, *fill, brush, rop2);
      } else {
        TSpanRows body = hasOn ? CombineRows(*fill, *on, RGN_DIFF) : *fill;
        if (hasOff) body = CombineRows(body, *off, RGN_DIFF);
        PaintRows(lock, clip, body, brush, rop2);
      }
    }
  }
  if (on && !pen.Null) {
    // A pattern pen's brush lines up with the DC's brush origin, as fills do.
    TBrushFill ink = pen.Brush ? RealizeBrush(dc, pen.Brush.get(), lock, true) : SolidFill(lock.Realize(pen.Color, dc));
    if (!ink.Null) PaintRows(lock, clip, *on, ink, rop2);
  }
  if (off && !pen.Null && dc->S.BkMode == OPAQUE)
    PaintRows(lock, clip, *off, SolidFill(lock.Realize(dc->S.BkColor, dc)), rop2);
}

void PaintPolygonFill(TGdiDC* dc, const std::vector<std::vector<TPointF>>& polygons, int fillMode,
                      TPixelSample sample, bool mirrored) {
  auto bmp = dc->Target();
  if (!bmp) return;
  double minY = 1e300, maxY = -1e300;
  for (const auto& poly : polygons)
    for (const TPointF& p : poly) {
      minY = std::min(minY, p.Y);
      maxY = std::max(maxY, p.Y);
    }
  const TRegion& clip = dc->EffectiveClip();
  const RECT& box = clip.Box();
  // Cut to the clip box as doubles: the polygon may reach past int.
  const double at = sample == TPixelSample::Centre ? 0.5 : 0;
  const double topF = std::max(double(box.Top), std::ceil(minY - at));
  const double bottomF = std::min(double(box.Bottom), std::ceil(maxY - at));
  if (!(topF < bottomF)) return;
  const int top = static_cast<int>(topF), bottom = static_cast<int>(bottomF);
  TSurfaceLock lock(bmp, top, bottom, TLockMode::Values);
  TBrushFill brush = RealizeBrush(dc, GdiBrush(dc->S.Brush).get(), lock, true);
  if (brush.Null) return;
  struct TContext {
    TSurfaceLock& Lock;
    const TRegion& Clip;
    const TBrushFill& Brush;
    int Rop2, Top, Bottom;
    bool Plain;
    int Left = INT32_MAX, Right = INT32_MIN;
  } ctx{lock, clip, brush, dc->S.Rop2, top, bottom, clip.Rects().size() == 1};
  ScanPolygon(
      polygons, fillMode,
      [](void* p, int y, const TRegion::TSpan* spans, size_t n) {
        auto& c = *static_cast<TContext*>(p);
        if (y < c.Top || y >= c.Bottom || n == 0) return;
        uint32_t* row = c.Lock.Row(y);
        const RECT& box = c.Clip.Box();
        for (size_t i = 0; i < n; ++i) {
          int a = std::max(spans[i].first, box.Left), b = std::min(spans[i].second, box.Right);
          if (a >= b) continue;
          c.Left = std::min(c.Left, a);
          c.Right = std::max(c.Right, b);
          if (c.Plain)
            Rop2Span(row, y, a, b, c.Brush, c.Rop2);
          else
            c.Clip.ForEachSpan(y, a, b, [&](int x0, int x1) { Rop2Span(row, y, x0, x1, c.Brush, c.Rop2); });
        }
      },
      &ctx, DrawWindow(dc), sample, mirrored);
  GdiAccumulateBounds(dc, RECT{ctx.Left, top, ctx.Right, bottom});
}

std::vector<TPointF> ArcPoints(double cx, double cy, double rx, double ry, double a0, double sweep) {
  int n = std::max(4, static_cast<int>(std::fabs(sweep) * std::max(rx, ry) / 2) + 1);
  n = std::min(n, 4096);
  std::vector<TPointF> p;
  p.reserve(static_cast<size_t>(n) + 1);
  for (int i = 0; i <= n; ++i) {
    double a = a0 + sweep * i / n;
    p.push_back(TPointF{cx + rx * std::cos(a), cy - ry * std::sin(a)});
  }
  return p;
}

}  // namespace rtl::detail
