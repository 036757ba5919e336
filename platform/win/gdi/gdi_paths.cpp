// Paths (recorded in target coordinates while a bracket is open) and the
// flood fill.
#include <algorithm>
#include <cmath>

#include "platform/win/gdi/gdi_stroke.h"

namespace rtl::detail {

bool PathAdd(TGdiDC* dc, const std::vector<TPointF>& pts, bool newFigure, bool close) {
  if (!dc->PathOpen) return false;
  if (newFigure || dc->Path.empty() || dc->Path.back().Closed) {
    // A figure continued after a close starts at the current position.
    if (!newFigure) {
      TPathFigure f;
      POINT cp = dc->LPtoTarget(dc->S.CurPos);
      if (!dc->Path.empty() && dc->Path.back().Closed && !dc->Path.back().Points.empty())
        f.Points.push_back(dc->Path.back().Points.front());
      else
        f.Points.emplace_back(cp.X, cp.Y);
      dc->Path.push_back(std::move(f));
    } else {
      dc->Path.emplace_back();
    }
  }
  for (const TPointF& p : pts) dc->Path.back().Points.emplace_back(p.X, p.Y);
  if (close) dc->Path.back().Closed = true;
  return true;
}

namespace {

std::vector<std::vector<TPointF>> Figures(TGdiDC* dc) {
  std::vector<std::vector<TPointF>> out;
  for (const TPathFigure& f : dc->Path) {
    std::vector<TPointF> p;
    for (const auto& [x, y] : f.Points) p.push_back(TPointF{x, y});
    if (p.size() >= 2) out.push_back(std::move(p));
  }
  return out;
}

// A continuous coordinate as a pixel index, held inside the range of int
// (far beyond any surface) so that a path past it still converts.
int PixelOf(double v) { return static_cast<int>(std::clamp(std::floor(v), INT32_MIN / 2.0, INT32_MAX / 2.0)); }

// GDI keeps coordinates to 27 bits. A region of a path reaching past that
// is refused (no region, as for a region there is no room for) instead of
// being built: its rows alone could take gigabytes.
bool PathInGdiRange(TGdiDC* dc) {
  constexpr double kLimit = 1 << 27;
  for (const TPathFigure& f : dc->Path)
    for (const auto& [x, y] : f.Points)
      if (!(std::fabs(x) < kLimit && std::fabs(y) < kLimit)) return false;
  return true;
}

void Discard(TGdiDC* dc) {
  dc->Path.clear();
  dc->HasPath = false;
}

TSpanRows FillRowsOf(TGdiDC* dc, const RECT& window) {
  return PolygonRows(Figures(dc), dc->S.PolyFillMode, window, TPixelSample::Corner, dc->Mirrored());
}

TSpanRows StrokeRowsOf(TGdiDC* dc, const TStroke& pen, TSpanRows* gaps) {
  const RECT window = DrawWindow(dc);
  TSpanRows on;
  std::vector<POINT> a, b;
  int phase = 0;
  for (const TPathFigure& f : dc->Path) {
    if (f.Points.size() < 2) continue;
    if (pen.Wide) {
      std::vector<TPointF> c;
      for (const auto& [x, y] : f.Points) c.push_back(TPointF{x + 0.5, y + 0.5});
      on = CombineRows(on, StrokeWide(c, f.Closed, pen, window), RGN_OR);
    } else {
      std::vector<POINT> pts;
      for (const auto& [x, y] : f.Points) {
        POINT q(PixelOf(x), PixelOf(y));
        if (pts.empty() || !(pts.back() == q)) pts.push_back(q);
      }
      StrokeThin(pts, f.Closed, pen, a, b, phase, window);
    }
  }
  if (!pen.Wide) {
    on = PixelsToRows(a);
    if (gaps) *gaps = PixelsToRows(b);
  }
  return on;
}

// The path's region (target rows inside the window) in device coordinates.
TRegion PathRegion(TGdiDC* dc, const RECT& window) {
  TRegion r = FillRowsOf(dc, window).ToRegion();
  r.Offset(-dc->DeviceOrigin.X, -dc->DeviceOrigin.Y);
  return r;
}

}  // namespace

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL BeginPath(HDC hdc) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  dc->Path.clear();
  dc->PathOpen = true;
  dc->HasPath = false;
  return TRUE;
}

BOOL EndPath(HDC hdc) {
  auto dc = GdiDC(hdc);
  if (!dc || !dc->PathOpen) return FALSE;
  dc->PathOpen = false;
  dc->HasPath = true;
  return TRUE;
}

BOOL AbortPath(HDC hdc) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  dc->PathOpen = false;
  Discard(dc);
  return TRUE;
}

BOOL CloseFigure(HDC hdc) {
  auto dc = GdiDC(hdc);
  if (!dc || !dc->PathOpen) return FALSE;
  if (!dc->Path.empty()) dc->Path.back().Closed = true;
  return TRUE;
}

BOOL FillPath(HDC hdc) {
  auto dc = GdiDC(hdc);
  if (!dc || !dc->HasPath) return FALSE;
  TSpanRows fill = FillRowsOf(dc, DrawWindow(dc));
  PaintShape(dc, &fill, nullptr, nullptr, TStroke());
  Discard(dc);
  return TRUE;
}

BOOL StrokePath(HDC hdc) {
  auto dc = GdiDC(hdc);
  if (!dc || !dc->HasPath) return FALSE;
  TStroke pen = RealizePen(dc);
  TSpanRows gaps;
  TSpanRows on = StrokeRowsOf(dc, pen, &gaps);
  PaintShape(dc, nullptr, &on, &gaps, pen);
  Discard(dc);
  return TRUE;
}

BOOL StrokeAndFillPath(HDC hdc) {
  auto dc = GdiDC(hdc);
  if (!dc || !dc->HasPath) return FALSE;
  TStroke pen = RealizePen(dc);
  TSpanRows fill = FillRowsOf(dc, DrawWindow(dc)), gaps;
  TSpanRows on = StrokeRowsOf(dc, pen, &gaps);
  PaintShape(dc, &fill, &on, &gaps, pen);
  Discard(dc);
  return TRUE;
}

HRGN PathToRegion(HDC hdc) {
  auto dc = GdiDC(hdc);
  if (!dc || !dc->HasPath) return nullptr;
  if (!PathInGdiRange(dc)) {
    Discard(dc);
    return nullptr;
  }
  TRegion r = PathRegion(dc, kAllRows);
  Discard(dc);
  auto obj = std::make_unique<TGdiRegion>();
  obj->Rgn = std::move(r);
  return static_cast<HRGN>(GdiAdd(std::move(obj)));
}

BOOL SelectClipPath(HDC hdc, int mode) {
  auto dc = GdiDC(hdc);
  if (!dc || !dc->HasPath || mode < RGN_AND || mode > RGN_COPY) return FALSE;
  // Only the surface is ever drawn through the clip, so the path's region
  // is kept to it (and a pixel around): a path far bigger than the surface
  // would otherwise cost rows for its whole height.
  SIZE size = dc->DeviceSize();
  TRegion r = PathRegion(dc, RECT{-1, -1, size.cx + 1, size.cy + 1});
  Discard(dc);
  auto obj = std::make_unique<TGdiRegion>();
  obj->Rgn = std::move(r);
  HRGN h = static_cast<HRGN>(GdiAdd(std::move(obj)));
  int result = ExtSelectClipRgn(hdc, h, mode);
  DeleteObject(h);
  return result != ERROR;
}

BOOL ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  auto bmp = dc->Target();
  if (!bmp) return FALSE;
  POINT start = dc->LPtoTarget(POINT(x, y));
  const TRegion& clip = dc->EffectiveClip();
  if (!clip.Contains(start.X, start.Y)) return FALSE;
  std::vector<uint32_t> img(size_t(bmp->Width) * bmp->Height);
  for (int r = 0; r < bmp->Height; ++r) DecodeRow(bmp->Format, bmp->Row(r), 0, bmp->Width, &img[size_t(r) * bmp->Width]);
  uint32_t key = RealizePixel(bmp->Format, ColorToPixel(PlainColor(color))) & 0xFFFFFF;
  auto fillable = [&](int px, int py) {
    uint32_t v = img[size_t(py) * bmp->Width + px] & 0xFFFFFF;
    return type == FLOODFILLSURFACE ? v == key : v != key;
  };
  if (!fillable(start.X, start.Y)) return FALSE;
  std::vector<uint8_t> seen(img.size(), 0);
  std::vector<POINT> stack{start}, pixels;
  while (!stack.empty()) {
    POINT p = stack.back();
    stack.pop_back();
    size_t idx = size_t(p.Y) * bmp->Width + p.X;
    if (seen[idx] || !fillable(p.X, p.Y) || !clip.Contains(p.X, p.Y)) continue;
    seen[idx] = 1;
    pixels.push_back(p);
    if (p.X > 0) stack.push_back(POINT(p.X - 1, p.Y));
    if (p.X + 1 < bmp->Width) stack.push_back(POINT(p.X + 1, p.Y));
    if (p.Y > 0) stack.push_back(POINT(p.X, p.Y - 1));
    if (p.Y + 1 < bmp->Height) stack.push_back(POINT(p.X, p.Y + 1));
  }
  TSpanRows rows = PixelsToRows(pixels);
  PaintShape(dc, &rows, nullptr, nullptr, TStroke());
  return TRUE;
}
