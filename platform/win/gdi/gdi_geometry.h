// Scan conversion of the filled shapes (ellipses, rounded rectangles,
// polygons) into rows of pixel intervals, shared by regions and drawing.
#pragma once

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

// The pixels whose centres lie inside the ellipse that fits the rectangle
// (right and bottom exclusive).
TSpanRows EllipseRows(const RECT& r);
// A rectangle whose corners are quarters of a cornerW x cornerH ellipse.
TSpanRows RoundRectRows(const RECT& r, int cornerW, int cornerH);
// Polygons filled by ALTERNATE or WINDING, sampled at pixel centres.
TSpanRows PolygonRows(const std::vector<std::vector<TPointF>>& polygons, int fillMode);
// The same rows handed one at a time, top to bottom, to row(context, y,
// spans, count), without keeping them; rows may be empty.
using TRowSink = void (*)(void* context, int y, const TRegion::TSpan* spans, size_t count);
void ScanPolygon(const std::vector<std::vector<TPointF>>& polygons, int fillMode, TRowSink row, void* context);
// The pixels of `fill` that have a 4-neighbour outside it.
TSpanRows OutlineRows(const TSpanRows& fill);
// a minus b, a or b, a and b.
TSpanRows CombineRows(const TSpanRows& a, const TSpanRows& b, int mode);

}  // namespace rtl::detail
