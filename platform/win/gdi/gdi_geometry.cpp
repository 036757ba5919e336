#include "platform/win/gdi/gdi_geometry.h"

#include <algorithm>
#include <cmath>

#include "platform/win/gdi/gdi.h"
#include "platform/win/gdi/gdi_int_range.h"

namespace rtl::detail {

namespace {

using TSpan = TRegion::TSpan;

// Whole-pixel bounds [x0, x1) cut to the window's columns; empty when
// nothing is left. Taken as doubles, so that a shape beyond the range of
// int is cut before it is converted.
TSpan CutSpan(double x0, double x1, const RECT& window) {
  x0 = std::max(x0, double(window.Left));
  x1 = std::min(x1, double(window.Right));
  if (!(x0 < x1)) return {0, 0};
  return {static_cast<int>(x0), static_cast<int>(x1)};
}

// The rows [top, bottom) of a shape that lie in the window, as [y0, y1).
bool RowRange(double top, double bottom, const RECT& window, int& y0, int& y1) {
  top = std::max(top, double(window.Top));
  bottom = std::min(bottom, double(window.Bottom));
  if (!(top < bottom)) return false;
  y0 = static_cast<int>(top);
  y1 = static_cast<int>(bottom);
  return true;
}

// The interval of row y inside the ellipse fitting r, cut to the window,
// empty when none. Sizes are taken as doubles: a rectangle may span more
// than int can count.
TSpan EllipseSpan(const RECT& r, int y, const RECT& window) {
  double a = (double(r.Right) - r.Left) / 2.0, b = (double(r.Bottom) - r.Top) / 2.0;
  double cx = (double(r.Left) + r.Right) / 2.0, cy = (double(r.Top) + r.Bottom) / 2.0;
  if (a <= 0 || b <= 0) return {0, 0};
  double dy = (y + 0.5 - cy) / b;
  double t = 1 - dy * dy;
  if (t < 0) return {0, 0};
  // A hair of tolerance keeps exact touches of pixel centres inside.
  double half = a * std::sqrt(t) + 1e-9;
  return CutSpan(std::ceil(cx - half - 0.5), std::floor(cx + half - 0.5) + 1, window);
}

}  // namespace

bool TSpanRows::Empty() const {
  for (const auto& r : Rows)
    if (!r.empty()) return false;
  return true;
}

TSpanRows EllipseRows(const RECT& r, const RECT& window) {
  TSpanRows out;
  out.Top = r.Top;
  int y0, y1;
  if (r.Right <= r.Left || r.Bottom <= r.Top || !RowRange(r.Top, r.Bottom, window, y0, y1)) return out;
  out.Top = y0;
  out.Rows.resize(static_cast<size_t>(int64_t(y1) - y0));
  for (int y = y0; y < y1; ++y) {
    TSpan s = EllipseSpan(r, y, window);
    if (s.first < s.second) out.Rows[static_cast<size_t>(y - y0)].push_back(s);
  }
  return out;
}

TSpanRows RoundRectRows(const RECT& r, int cornerW, int cornerH, const RECT& window) {
  TSpanRows out;
  out.Top = r.Top;
  int64_t w = int64_t(r.Right) - r.Left, h = int64_t(r.Bottom) - r.Top;
  int y0, y1;
  if (w <= 0 || h <= 0 || !RowRange(r.Top, r.Bottom, window, y0, y1)) return out;
  int64_t cw = std::clamp<int64_t>(std::abs(int64_t(cornerW)), 0, w);
  int64_t ch = std::clamp<int64_t>(std::abs(int64_t(cornerH)), 0, h);
  out.Top = y0;
  out.Rows.resize(static_cast<size_t>(int64_t(y1) - y0));
  double a = cw / 2.0, b = ch / 2.0;
  for (int y = y0; y < y1; ++y) {
    double x0 = r.Left;
    if (a > 0 && b > 0) {
      double yc = y + 0.5, dy = 0;
      if (yc < r.Top + b)
        dy = r.Top + b - yc;
      else if (yc > r.Bottom - b)
        dy = yc - (r.Bottom - b);
      double t = 1 - (dy / b) * (dy / b);
      if (t < 0) continue;
      double edge = r.Left + a - a * std::sqrt(t) - 1e-9;
      x0 = std::max(x0, std::ceil(edge - 0.5));
    }
    // Symmetric: the right end is as far in from the right as x0 from the left.
    double x1 = double(r.Right) - (x0 - r.Left);
    TSpan s = CutSpan(x0, x1, window);
    if (s.first < s.second) out.Rows[static_cast<size_t>(y - y0)].push_back(s);
  }
  return out;
}

void ScanPolygon(const std::vector<std::vector<TPointF>>& polygons, int fillMode, TRowSink sink, void* context,
                 const RECT& windowIn, TPixelSample sample, bool mirrored) {
  const double at = sample == TPixelSample::Centre ? 0.5 : 0;
  // Mirrored, the polygon is scanned as its mirror image, pixel x standing
  // for pixel -1 - x, and the spans are turned back.
  RECT window = windowIn;
  if (mirrored) {
    window.Left = ClampInt(-int64_t(windowIn.Right));
    window.Right = ClampInt(-int64_t(windowIn.Left));
  }
  const double flip = mirrored ? -1 : 1, shift = mirrored ? -1 : 0;
  struct TEdge {
    double X0, Y0, X1, Y1;
    int Dir;
  };
  std::vector<TEdge> edges;
  double minY = 1e300, maxY = -1e300;
  for (const auto& poly : polygons) {
    size_t n = poly.size();
    if (n < 2) continue;
    for (size_t i = 0; i < n; ++i) {
      TPointF a = poly[i], b = poly[(i + 1) % n];
      if (a.Y == b.Y) continue;
      a.X = shift + flip * a.X;
      b.X = shift + flip * b.X;
      if (a.Y < b.Y)
        edges.push_back(TEdge{a.X, a.Y, b.X, b.Y, 1});
      else
        edges.push_back(TEdge{b.X, b.Y, a.X, a.Y, -1});
      minY = std::min({minY, a.Y, b.Y});
      maxY = std::max({maxY, a.Y, b.Y});
    }
  }
  if (edges.empty()) return;
  int y0, y1;
  if (!RowRange(std::ceil(minY - at), std::ceil(maxY - at), window, y0, y1)) return;
  std::vector<TSpan> merged;
  std::sort(edges.begin(), edges.end(), [](const TEdge& a, const TEdge& b) { return a.Y0 < b.Y0; });
  std::vector<const TEdge*> active;
  std::vector<std::pair<double, int>> xs;
  size_t next = 0;
  std::vector<TSpan> row;
  for (int y = y0; y < y1; ++y) {
    double yc = y + at;
    while (next < edges.size() && edges[next].Y0 <= yc) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(), [yc](const TEdge* e) { return e->Y1 <= yc; }),
                 active.end());
    xs.clear();
    for (const TEdge* e : active) {
      if (e->Y0 > yc) continue;
      // Divided last, so that exact half-pixel crossings stay exact.
      double x = e->X0 + (yc - e->Y0) * (e->X1 - e->X0) / (e->Y1 - e->Y0);
      xs.emplace_back(x, e->Dir);
    }
    std::sort(xs.begin(), xs.end());
    row.clear();
    int winding = 0;
    bool inside = false;
    double start = 0;
    for (const auto& [x, dir] : xs) {
      bool was = inside;
      if (fillMode == WINDING) {
        winding += dir;
        inside = winding != 0;
      } else {
        inside = !inside;
      }
      if (!was && inside) {
        start = x;
      } else if (was && !inside) {
        TSpan s = CutSpan(std::ceil(start - at), std::ceil(x - at), window);
        if (s.first < s.second) row.push_back(s);
      }
    }
    // Overlapping pieces of separate polygons merge into disjoint runs.
    std::sort(row.begin(), row.end());
    merged.clear();
    for (const TSpan& s : row) {
      if (!merged.empty() && s.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, s.second);
      else
        merged.push_back(s);
    }
    if (mirrored) {
      std::reverse(merged.begin(), merged.end());
      for (TSpan& s : merged) s = TSpan{-s.second, -s.first};
    }
    sink(context, y, merged.data(), merged.size());
  }
}

TSpanRows PolygonRows(const std::vector<std::vector<TPointF>>& polygons, int fillMode, const RECT& window,
                      TPixelSample sample, bool mirrored) {
  TSpanRows out;
  ScanPolygon(
      polygons, fillMode,
      [](void* ctx, int y, const TSpan* spans, size_t n) {
        auto& rows = *static_cast<TSpanRows*>(ctx);
        if (rows.Rows.empty()) rows.Top = y;
        rows.Rows.resize(static_cast<size_t>(y - rows.Top + 1));
        rows.Rows.back().assign(spans, spans + n);
      },
      &out, window, sample, mirrored);
  return out;
}

TSpanRows OutlineRows(const TSpanRows& fill) {
  TSpanRows out;
  out.Top = fill.Top;
  out.Rows.resize(fill.Rows.size());
  static const std::vector<TSpan> none;
  std::vector<TSpan> shrunk, interior, tmp;
  for (size_t i = 0; i < fill.Rows.size(); ++i) {
    const auto& row = fill.Rows[i];
    const auto& up = i > 0 ? fill.Rows[i - 1] : none;
    const auto& down = i + 1 < fill.Rows.size() ? fill.Rows[i + 1] : none;
    shrunk.clear();
    for (const TSpan& s : row)
      if (s.second - s.first > 2) shrunk.emplace_back(s.first + 1, s.second - 1);
    TRegion::CombineSpans(shrunk, up, RGN_AND, tmp);
    TRegion::CombineSpans(tmp, down, RGN_AND, interior);
    TRegion::CombineSpans(row, interior, RGN_DIFF, out.Rows[i]);
  }
  return out;
}

TSpanRows CombineRows(const TSpanRows& a, const TSpanRows& b, int mode) {
  TSpanRows out;
  if (a.Rows.empty() && b.Rows.empty()) return out;
  // The Top of rows without any is not looked at: it may be anywhere.
  auto end = [](const TSpanRows& r) { return r.Top + static_cast<int>(r.Rows.size()); };
  int top = a.Rows.empty() ? b.Top : b.Rows.empty() ? a.Top : std::min(a.Top, b.Top);
  int bottom = a.Rows.empty() ? end(b) : b.Rows.empty() ? end(a) : std::max(end(a), end(b));
  out.Top = top;
  out.Rows.resize(static_cast<size_t>(bottom - top));
  static const std::vector<TSpan> none;
  for (int y = top; y < bottom; ++y) {
    const auto* ra = a.Row(y);
    const auto* rb = b.Row(y);
    TRegion::CombineSpans(ra ? *ra : none, rb ? *rb : none, mode, out.Rows[static_cast<size_t>(y - top)]);
  }
  return out;
}

}  // namespace rtl::detail
