// Scan conversion of the filled shapes (ellipses, rounded rectangles,
// polygons) into rows of pixel intervals, shared by regions and drawing.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/gdi/gdi_region.h"

namespace rtl::detail {

struct TPointF {
  double X = 0, Y = 0;
};

// Rows of pixel intervals: Rows[i] holds the sorted, disjoint intervals
// of row Top + i.
struct TSpanRows {
  int Top = 0;
  std::vector<std::vector<TRegion::TSpan>> Rows;

  bool Empty() const;
  TRegion ToRegion() const { return TRegion::FromRows(Top, Rows); }
  const std::vector<TRegion::TSpan>* Row(int y) const {
    int i = y - Top;
    return i >= 0 && i < static_cast<int>(Rows.size()) ? &Rows[static_cast<size_t>(i)] : nullptr;
  }
};

// The builders below take a window: the part of target space worth having
// rows for. Only its rows are built and their spans are cut to its
// columns, so that the work and memory follow what can be seen, not the
// shape, which may be millions of pixels tall; inside the window the rows
// are those of the whole shape. kAllRows is no window at all.
inline constexpr RECT kAllRows{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};

// The pixels whose centres lie inside the ellipse that fits the rectangle
// (right and bottom exclusive).
TSpanRows EllipseRows(const RECT& r, const RECT& window = kAllRows);
// A rectangle whose corners are quarters of a cornerW x cornerH ellipse.
TSpanRows RoundRectRows(const RECT& r, int cornerW, int cornerH, const RECT& window = kAllRows);
// Where pixel (x, y) is tested against a polygon: at (x, y) itself, as
// polygons, polygon regions and paths fill (left and top edges in, right
// and bottom ones out, as rectangles), or at (x + 0.5, y + 0.5), for
// outlines built around pixel centres (wide strokes, gradient triangles).
enum class TPixelSample { Corner, Centre };

// Polygons filled by ALTERNATE or WINDING. Mirrored, the rows are the
// mirror image of those of the polygon's mirror image (x to -1 - x), as a
// right-to-left layout draws.
TSpanRows PolygonRows(const std::vector<std::vector<TPointF>>& polygons, int fillMode,
                      const RECT& window = kAllRows, TPixelSample sample = TPixelSample::Corner,
                      bool mirrored = false);
// The same rows handed one at a time, top to bottom, to row(context, y,
// spans, count), without keeping them; rows may be empty.
using TRowSink = void (*)(void* context, int y, const TRegion::TSpan* spans, size_t count);
void ScanPolygon(const std::vector<std::vector<TPointF>>& polygons, int fillMode, TRowSink row, void* context,
                 const RECT& window = kAllRows, TPixelSample sample = TPixelSample::Corner, bool mirrored = false);
// The pixels of `fill` that have a 4-neighbour outside it.
TSpanRows OutlineRows(const TSpanRows& fill);
// a minus b, a or b, a and b.
TSpanRows CombineRows(const TSpanRows& a, const TSpanRows& b, int mode);

}  // namespace rtl::detail
