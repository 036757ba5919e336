// Rectangle and region fills: FillRect, FrameRect, InvertRect, FillRgn,
// FrameRgn, InvertRgn, PaintRgn.
#include <cmath>

#include "platform/win/gdi/gdi_blit.h"
#include "platform/win/gdi/gdi_metafile.h"

namespace rtl::detail {

// A logical region in target pixels.
TRegion RegionToTarget(TGdiDC* dc, const TRegion& rgn) {
  if (dc->Simple()) {
    TRegion r = rgn;
    POINT o = dc->Offset();
    r.Offset(o.X, o.Y);
    return r;
  }
  TRegion out;
  for (const RECT& r : rgn.Rects()) out = TRegion::Combine(out, LogicalRectToTarget(dc, r), RGN_OR);
  return out;
}

// The ROP3 that applies a binary raster operation with the pattern.
uint8_t Rop2ToRop3(int rop2) {
  int t = rop2 - 1;
  uint8_t r = 0;
  for (int i = 0; i < 8; ++i) {
    int pat = (i >> 2) & 1, dst = i & 1;
    if ((t >> (pat * 2 + dst)) & 1) r = static_cast<uint8_t>(r | (1 << i));
  }
  return r;
}

}  // namespace rtl::detail

using namespace rtl::detail;

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  if (rect && EmfRecording(hdc)) return EmfRecordPatBlt(hdc, *rect, brush, PATCOPY);
  auto dc = GdiDC(hdc);
  auto b = GdiResolveBrush(brush);
  if (!dc || !rect || !b) return 0;
  if (rect->Left >= rect->Right || rect->Top >= rect->Bottom) return 1;
  if (dc->Simple()) {
    POINT o = dc->Offset();
    PatBltRect(dc, RECT{rect->Left + o.X, rect->Top + o.Y, rect->Right + o.X, rect->Bottom + o.Y}, 0xF0, b);
  } else {
    PatBltRegion(dc, LogicalRectToTarget(dc, *rect), 0xF0, b);
  }
  return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  if (rect && EmfRecording(hdc)) return EmfRecordFrameRect(hdc, *rect, brush);
  auto dc = GdiDC(hdc);
  auto b = GdiResolveBrush(brush);
  if (!dc || !rect || !b) return 0;
  const RECT& r = *rect;
  if (r.Left >= r.Right || r.Top >= r.Bottom) return 1;
  TRegion outer = LogicalRectToTarget(dc, r);
  TRegion inner = LogicalRectToTarget(dc, RECT{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1});
  PatBltRegion(dc, TRegion::Combine(outer, inner, RGN_DIFF), 0xF0, b);
  return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rect) {
  if (rect && EmfRecording(hdc)) return EmfRecordPatBlt(hdc, *rect, nullptr, DSTINVERT);
  auto dc = GdiDC(hdc);
  if (!dc || !rect) return FALSE;
  if (rect->Left >= rect->Right || rect->Top >= rect->Bottom) return TRUE;
  PatBltRegion(dc, LogicalRectToTarget(dc, *rect), 0x55, nullptr);
  return TRUE;
}

BOOL FillRgn(HDC hdc, HRGN region, HBRUSH brush) {
  auto dc = GdiDC(hdc);
  auto r = GdiRegion(region);
  auto b = GdiResolveBrush(brush);
  if (!dc || !r || !b) return FALSE;
  PatBltRegion(dc, RegionToTarget(dc, r->Rgn), 0xF0, b);
  return TRUE;
}

BOOL PaintRgn(HDC hdc, HRGN region) {
  auto dc = GdiDC(hdc);
  auto r = GdiRegion(region);
  if (!dc || !r) return FALSE;
  PatBltRegion(dc, RegionToTarget(dc, r->Rgn), Rop2ToRop3(dc->S.Rop2), GdiBrush(dc->S.Brush).get());
  return TRUE;
}

BOOL InvertRgn(HDC hdc, HRGN region) {
  auto dc = GdiDC(hdc);
  auto r = GdiRegion(region);
  if (!dc || !r) return FALSE;
  PatBltRegion(dc, RegionToTarget(dc, r->Rgn), 0x55, nullptr);
  return TRUE;
}

BOOL FrameRgn(HDC hdc, HRGN region, HBRUSH brush, int width, int height) {
  auto dc = GdiDC(hdc);
  auto r = GdiRegion(region);
  auto b = GdiResolveBrush(brush);
  if (!dc || !r || !b || width <= 0 || height <= 0) return FALSE;
  // The frame is what an erosion by width x height takes away.
  TRegion inner = r->Rgn;
  auto erode = [&inner](int dx, int dy) {
    TRegion a = inner, b = inner;
    a.Offset(dx, dy);
    b.Offset(-dx, -dy);
    inner = TRegion::Combine(TRegion::Combine(inner, a, RGN_AND), b, RGN_AND);
  };
  for (int i = 0; i < width && !inner.IsEmpty(); ++i) erode(1, 0);
  for (int i = 0; i < height && !inner.IsEmpty(); ++i) erode(0, 1);
  PatBltRegion(dc, RegionToTarget(dc, TRegion::Combine(r->Rgn, inner, RGN_DIFF)), 0xF0, b);
  return TRUE;
}
