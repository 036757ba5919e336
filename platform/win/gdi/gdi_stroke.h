// Pens realised for drawing: thin (cosmetic) lines with the original
// platform's pixel rules and styles, and wide (geometric) strokes with caps
// and joins; and the painting of a shape's fill and outline.
#pragma once

#include <vector>

#include "platform/win/gdi/gdi_raster.h"

namespace rtl::detail {

struct TStroke {
  bool Null = true;
  bool Wide = false;
  int Width = 1;  // device pixels
  bool InsideFrame = false;
  std::vector<int> Dashes;  // on, off, on, ... in pixels; empty = solid
  COLORREF Color = 0;
  DWORD EndCap = PS_ENDCAP_ROUND, Join = PS_JOIN_ROUND;
  double MiterLimit = 10;  // longest mitre over the width
  std::shared_ptr<const TGdiBrush> Brush;  // paints the stroke instead of Color
};

// The DC's pen as drawn on its target.
TStroke RealizePen(TGdiDC* dc);

// The pixels of the segment a-b in drawing order, without b; the same set
// whichever way the segment is drawn (apart from the end point). Only
// those inside the window are given.
void LinePixels(POINT a, POINT b, std::vector<POINT>& out, const RECT& window = kAllRows);
// Rows of a list of pixels.
TSpanRows PixelsToRows(std::vector<POINT>& pixels);

// A thin polyline: pixels of the dashes in `on`, of the gaps in `off`,
// those inside the window only. `phase` carries the style position from
// one call to the next.
void StrokeThin(const std::vector<POINT>& pts, bool closed, const TStroke& pen, std::vector<POINT>& on,
                std::vector<POINT>& off, int& phase, const RECT& window = kAllRows);
// A wide polyline through continuous points (pixel centres at +0.5), its
// rows inside the window.
TSpanRows StrokeWide(const std::vector<TPointF>& pts, bool closed, const TStroke& pen,
                     const RECT& window = kAllRows);

// Paints a shape: the brush over `fill` (minus the outline), then the pen
// over `on` and the background colour over `off` when the mode is opaque.
void PaintShape(TGdiDC* dc, const TSpanRows* fill, const TSpanRows* on, const TSpanRows* off, const TStroke& pen);

// Paints the brush over filled polygons (target coordinates) row by row as
// they are scanned, for a shape without an outline.
void PaintPolygonFill(TGdiDC* dc, const std::vector<std::vector<TPointF>>& polygons, int fillMode,
                      TPixelSample sample = TPixelSample::Corner, bool mirrored = false);

// Path recording (target coordinates): adds points to the open figure,
// starting a new figure first when asked; true when a path is open.
bool PathAdd(TGdiDC* dc, const std::vector<TPointF>& pts, bool newFigure, bool close);

// Points along an ellipse arc (continuous target coordinates).
std::vector<TPointF> ArcPoints(double cx, double cy, double rx, double ry, double a0, double sweep);

}  // namespace rtl::detail
