// Region objects and the clipping of device contexts.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi_geometry.h"
#include "platform/win/gdi/gdi_objects.h"

using namespace rtl::detail;

namespace {

HRGN NewRegion(TRegion rgn) {
  auto r = std::make_unique<TGdiRegion>();
  r->Rgn = std::move(rgn);
  return static_cast<HRGN>(GdiAdd(std::move(r)));
}

RECT Normalized(int l, int t, int r, int b) { return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)}; }

// GDI keeps coordinates to 27 bits. A shaped region reaching past that is
// refused (no region, as when there is no room for one) rather than
// clamped, which would give a different shape, or built, which could take
// gigabytes of rows. Within the range the region is built whole: it is
// what the caller asked for, and a failed allocation also gives no region.
constexpr int kGdiCoordLimit = 1 << 27;

bool InGdiRange(int v) { return v > -kGdiCoordLimit && v < kGdiCoordLimit; }

template <class Build>
HRGN ShapedRegion(Build build) {
  try {
    return NewRegion(build());
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// A logical rectangle in device coordinates (without the device origin).
RECT LogicalRectToDevice(TGdiDC* dc, const RECT& r) {
  TXform m = dc->LogicalToDevice();
  auto map = [&](double x, double y) {
    return TPointF{x * m.M11 + y * m.M21 + m.Dx, x * m.M12 + y * m.M22 + m.Dy};
  };
  TPointF a = map(r.Left, r.Top), b = map(r.Right, r.Bottom);
  auto rnd = [](double v) { return static_cast<int>(std::floor(v + 0.5)); };
  return Normalized(rnd(a.X), rnd(a.Y), rnd(b.X), rnd(b.Y));
}

// The area a DC without a clip draws on, in device coordinates.
TRegion DeviceArea(TGdiDC* dc) {
  if (dc->Visible) return TRegion(dc->Visible->Box());
  SIZE sz = dc->DeviceSize();
  return TRegion(RECT{-dc->DeviceOrigin.X, -dc->DeviceOrigin.Y, sz.cx - dc->DeviceOrigin.X,
                      sz.cy - dc->DeviceOrigin.Y});
}

int ClipComplexity(TGdiDC* dc) {
  dc->Invalidate();
  return dc->EffectiveClip().Complexity();
}

int CombineClip(TGdiDC* dc, const TRegion& rgn, int mode) {
  if (mode == RGN_COPY) {
    dc->S.Clip = rgn;
  } else {
    TRegion current = dc->S.Clip ? *dc->S.Clip : DeviceArea(dc);
    dc->S.Clip = TRegion::Combine(current, rgn, mode);
  }
  return ClipComplexity(dc);
}

}  // namespace

// ---- Region objects -----------------------------------------------------

HRGN CreateRectRgn(int left, int top, int right, int bottom) { return NewRegion(TRegion(Normalized(left, top, right, bottom))); }

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) return nullptr;
  return CreateRectRgn(rect->Left, rect->Top, rect->Right, rect->Bottom);
}

// The shaped regions leave out the right column and bottom row of their
// bounding rectangle, as the original platform does.
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  if (!InGdiRange(left) || !InGdiRange(top) || !InGdiRange(right) || !InGdiRange(bottom)) return nullptr;
  RECT r = Normalized(left, top, right, bottom);
  r.Right -= 1;
  r.Bottom -= 1;
  return ShapedRegion([&] { return RoundRectRows(r, width, height).ToRegion(); });
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  if (!InGdiRange(left) || !InGdiRange(top) || !InGdiRange(right) || !InGdiRange(bottom)) return nullptr;
  RECT r = Normalized(left, top, right, bottom);
  r.Right -= 1;
  r.Bottom -= 1;
  return ShapedRegion([&] { return EllipseRows(r).ToRegion(); });
}

HRGN CreateEllipticRgnIndirect(const RECT* rect) {
  if (!rect) return nullptr;
  return CreateEllipticRgn(rect->Left, rect->Top, rect->Right, rect->Bottom);
}

HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode) {
  if (!points || !counts || polygons <= 0 || (fillMode != ALTERNATE && fillMode != WINDING)) return nullptr;
  std::vector<std::vector<TPointF>> polys;
  const POINT* p = points;
  for (int i = 0; i < polygons; ++i) {
    if (counts[i] < 0) return nullptr;
    std::vector<TPointF> poly;
    for (int k = 0; k < counts[i]; ++k, ++p) {
      if (!InGdiRange(p->X) || !InGdiRange(p->Y)) return nullptr;
      poly.push_back(TPointF{double(p->X), double(p->Y)});
    }
    polys.push_back(std::move(poly));
  }
  return ShapedRegion([&] { return PolygonRows(polys, fillMode).ToRegion(); });
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  INT c = count;
  return CreatePolyPolygonRgn(points, &c, 1, fillMode);
}

HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data) {
  if (!data || data->rdh.dwSize < sizeof(RGNDATAHEADER) || data->rdh.iType != RDH_RECTANGLES) return nullptr;
  if (count && count < data->rdh.dwSize + data->rdh.nCount * sizeof(RECT)) return nullptr;
  const auto* rects = reinterpret_cast<const RECT*>(reinterpret_cast<const char*>(data) + data->rdh.dwSize);
  // Copied: the caller's buffer need not be aligned for RECT.
  std::vector<RECT> all(data->rdh.nCount);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) {
    RECT& r = all[i];
    std::memcpy(&r, rects + i, sizeof(RECT));
    if (xform) {
      auto mx = [&](double x, double y) { return x * xform->eM11 + y * xform->eM21 + xform->eDx; };
      auto my = [&](double x, double y) { return x * xform->eM12 + y * xform->eM22 + xform->eDy; };
      auto rnd = [](double v) { return static_cast<int>(std::floor(v + 0.5)); };
      r = Normalized(rnd(mx(r.Left, r.Top)), rnd(my(r.Left, r.Top)), rnd(mx(r.Right, r.Bottom)),
                     rnd(my(r.Right, r.Bottom)));
    }
  }
  return NewRegion(TRegion::FromRects(all.data(), all.size()));
}

DWORD GetRegionData(HRGN region, DWORD count, LPRGNDATA data) {
  auto r = GdiRegion(region);
  if (!r) return 0;
  const auto& rects = r->Rgn.Rects();
  DWORD need = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  if (!data) return need;
  if (count < need) return 0;
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  data->rdh.rcBound = r->Rgn.Box();
  if (!rects.empty()) std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
  return need;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  auto d = GdiRegion(dest);
  auto a = GdiRegion(src1);
  if (!d || !a || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    d->Rgn = a->Rgn;
  } else {
    auto b = GdiRegion(src2);
    if (!b) return ERROR;
    d->Rgn = TRegion::Combine(a->Rgn, b->Rgn, mode);
  }
  return d->Rgn.Complexity();
}

int OffsetRgn(HRGN region, int x, int y) {
  auto r = GdiRegion(region);
  if (!r) return ERROR;
  r->Rgn.Offset(x, y);
  return r->Rgn.Complexity();
}

BOOL PtInRegion(HRGN region, int x, int y) {
  auto r = GdiRegion(region);
  return r && r->Rgn.Contains(x, y);
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
  auto r = GdiRegion(region);
  return r && rect && r->Rgn.Intersects(*rect);
}

int GetRgnBox(HRGN region, LPRECT rect) {
  auto r = GdiRegion(region);
  if (!r || !rect) return ERROR;
  *rect = r->Rgn.Box();
  return r->Rgn.Complexity();
}

BOOL EqualRgn(HRGN a, HRGN b) {
  auto x = GdiRegion(a);
  auto y = GdiRegion(b);
  if (!x || !y) return ERROR;
  return x->Rgn == y->Rgn;
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
  auto r = GdiRegion(region);
  if (!r) return FALSE;
  r->Rgn.SetRect(Normalized(left, top, right, bottom));
  return TRUE;
}

// ---- Clipping -----------------------------------------------------------

int ExtSelectClipRgn(HDC hdc, HRGN region, int mode) {
  auto dc = GdiDC(hdc);
  if (!dc || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  auto r = GdiRegion(region);
  if (!r) {
    if (mode != RGN_COPY) return ERROR;
    dc->S.Clip.reset();
    return ClipComplexity(dc);
  }
  return CombineClip(dc, r->Rgn, mode);
}

int SelectClipRgn(HDC hdc, HRGN region) { return ExtSelectClipRgn(hdc, region, RGN_COPY); }

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = GdiDC(hdc);
  if (!dc) return ERROR;
  return CombineClip(dc, TRegion(LogicalRectToDevice(dc, RECT{left, top, right, bottom})), RGN_DIFF);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = GdiDC(hdc);
  if (!dc) return ERROR;
  return CombineClip(dc, TRegion(LogicalRectToDevice(dc, RECT{left, top, right, bottom})), RGN_AND);
}

int OffsetClipRgn(HDC hdc, int x, int y) {
  auto dc = GdiDC(hdc);
  if (!dc) return ERROR;
  if (dc->S.Clip) {
    TXform m = dc->LogicalToDevice();
    dc->S.Clip->Offset(static_cast<int>(std::lround(x * m.M11)), static_cast<int>(std::lround(y * m.M22)));
  }
  return ClipComplexity(dc);
}

int GetClipRgn(HDC hdc, HRGN region) {
  auto dc = GdiDC(hdc);
  auto r = GdiRegion(region);
  if (!dc || !r) return -1;
  if (!dc->S.Clip) return 0;
  r->Rgn = *dc->S.Clip;
  return 1;
}

int GetMetaRgn(HDC hdc, HRGN region) {
  auto dc = GdiDC(hdc);
  auto r = GdiRegion(region);
  if (!dc || !r) return 0;
  if (!dc->S.Meta) return 0;
  r->Rgn = *dc->S.Meta;
  return 1;
}

int SetMetaRgn(HDC hdc) {
  auto dc = GdiDC(hdc);
  if (!dc) return ERROR;
  if (dc->S.Clip) {
    dc->S.Meta = dc->S.Meta ? TRegion::Combine(*dc->S.Meta, *dc->S.Clip, RGN_AND) : *dc->S.Clip;
    dc->S.Clip.reset();
  }
  return ClipComplexity(dc);
}

int GetRandomRgn(HDC hdc, HRGN region, INT which) {
  auto dc = GdiDC(hdc);
  auto r = GdiRegion(region);
  if (!dc || !r) return -1;
  switch (which) {
    case 1:
      return GetClipRgn(hdc, region);
    case 2:
      return GetMetaRgn(hdc, region);
    case 3:
      if (!dc->S.Clip && !dc->S.Meta) return 0;
      if (dc->S.Clip && dc->S.Meta)
        r->Rgn = TRegion::Combine(*dc->S.Clip, *dc->S.Meta, RGN_AND);
      else
        r->Rgn = dc->S.Clip ? *dc->S.Clip : *dc->S.Meta;
      return 1;
    case SYSRGN: {
      // The visible area, in the coordinates of the surface.
      TRegion v = dc->Visible ? *dc->Visible : DeviceArea(dc);
      v.Offset(dc->DeviceOrigin.X, dc->DeviceOrigin.Y);
      r->Rgn = std::move(v);
      return 1;
    }
    default:
      return -1;
  }
}

int GetClipBox(HDC hdc, LPRECT rect) {
  auto dc = GdiDC(hdc);
  if (!dc || !rect) return ERROR;
  const TRegion& clip = dc->EffectiveClip();
  RECT box = clip.Box();
  if (clip.IsEmpty()) {
    *rect = RECT{};
    return NULLREGION;
  }
  // Undo the shift mirrored rectangles take on the way in.
  if (dc->Mirrored()) {
    --box.Left;
    --box.Right;
  }
  TXform inv;
  if (!dc->ToTarget().Invert(inv)) return ERROR;
  auto mx = [&](double x, double y) { return x * inv.M11 + y * inv.M21 + inv.Dx; };
  auto my = [&](double x, double y) { return x * inv.M12 + y * inv.M22 + inv.Dy; };
  double xs[4] = {mx(box.Left, box.Top), mx(box.Right, box.Top), mx(box.Left, box.Bottom), mx(box.Right, box.Bottom)};
  double ys[4] = {my(box.Left, box.Top), my(box.Right, box.Top), my(box.Left, box.Bottom), my(box.Right, box.Bottom)};
  *rect = RECT{static_cast<int>(std::floor(*std::min_element(xs, xs + 4) + 1e-9)),
               static_cast<int>(std::floor(*std::min_element(ys, ys + 4) + 1e-9)),
               static_cast<int>(std::ceil(*std::max_element(xs, xs + 4) - 1e-9)),
               static_cast<int>(std::ceil(*std::max_element(ys, ys + 4) - 1e-9))};
  return clip.Complexity();
}

BOOL RectVisible(HDC hdc, const RECT* rect) {
  auto dc = GdiDC(hdc);
  if (!dc || !rect) return FALSE;
  RECT d = LogicalRectToDevice(dc, *rect);
  if (dc->Mirrored()) {
    const int w = dc->MirrorWidth();
    d = RECT{w - d.Right, d.Top, w - d.Left, d.Bottom};
  }
  d.Left += dc->DeviceOrigin.X;
  d.Right += dc->DeviceOrigin.X;
  d.Top += dc->DeviceOrigin.Y;
  d.Bottom += dc->DeviceOrigin.Y;
  return dc->EffectiveClip().Intersects(d);
}

BOOL PtVisible(HDC hdc, int x, int y) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  POINT p = dc->LPtoTarget(POINT(x, y));
  return dc->EffectiveClip().Contains(p.X, p.Y);
}
