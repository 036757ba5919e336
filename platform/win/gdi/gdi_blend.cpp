// AlphaBlend, TransparentBlt and GradientFill.
#include <algorithm>
#include <cmath>

#include "platform/win/gdi/gdi_blit.h"
#include "platform/win/gdi/gdi_simd.h"
#include "platform/win/gdi/gdi_stroke.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"

using namespace rtl::detail;

namespace {

// Nearest source index for each of n destination cells.
std::vector<int> NearestMap(int n, int s0, int sn) {
  std::vector<int> m(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) m[size_t(i)] = s0 + static_cast<int>((int64_t(2 * i + 1) * sn) / (2 * int64_t(n)));
  return m;
}

struct TStretchPair {
  TGdiRef<TGdiDC> Dc;
  TGdiRef<TGdiBitmap> Bmp;
  RECT Dest{};   // target pixels, normalised
  RECT Src{};    // source pixels, normalised
  TBlitSource Source;
};

// Resolves both rectangles; false on bad arguments.
bool Prepare(HDC dest, int xd, int yd, int wd, int hd, HDC srcDC, int xs, int ys, int ws, int hs, TStretchPair& p) {
  p.Dc = GdiDC(dest);
  auto sdc = GdiDC(srcDC);
  if (!p.Dc || !sdc || wd < 0 || hd < 0 || ws < 0 || hs < 0) return false;
  if (!p.Source.FromDC(sdc)) return false;
  p.Dest = DestRectOf(p.Dc, xd, yd, wd, hd, true);
  p.Src = TargetRectOf(sdc, xs, ys, ws, hs);
  if (p.Src.Left < 0 || p.Src.Top < 0 || p.Src.Right > p.Source.Width || p.Src.Bottom > p.Source.Height) return false;
  p.Bmp = p.Dc->Target();
  if (p.Source.Bitmap && p.Source.Bitmap == p.Bmp) p.Source.Snapshot(p.Src);
  return true;
}

// A blend of equal rectangles between 32-bit pixels: whole rows at a time.
// False when the general path must do it.
bool BlendOneToOne(TStretchPair& p, bool perPixel, uint32_t sca) {
  if (!p.Bmp || !p.Bmp->Direct() || !p.Source.Format->IsDirect32() || p.Source.Mono) return false;
  int w = p.Dest.Right - p.Dest.Left, h = p.Dest.Bottom - p.Dest.Top;
  if (w != p.Src.Right - p.Src.Left || h != p.Src.Bottom - p.Src.Top) return false;
  if (w <= 0 || h <= 0) return true;
  const TRegion& clip = p.Dc->EffectiveClip();
  const RECT& box = clip.Box();
  GdiAccumulateBounds(p.Dc, RECT{std::max(p.Dest.Left, box.Left), std::max(p.Dest.Top, box.Top),
                                 std::min(p.Dest.Right, box.Right), std::min(p.Dest.Bottom, box.Bottom)});
  clip.ForEachIn(p.Dest, [&](const RECT& c) {
    for (int y = c.Top; y < c.Bottom; ++y) {
      int sy = p.Src.Top + (y - p.Dest.Top);
      if (sy < p.Source.RowFirst || sy >= p.Source.RowLast) continue;
      uint32_t* d = reinterpret_cast<uint32_t*>(p.Bmp->Row(y)) + c.Left;
      const uint32_t* s = reinterpret_cast<const uint32_t*>(p.Source.RowPtr(sy)) + p.Src.Left + (c.Left - p.Dest.Left);
      if (perPixel)
        BlendRowPerPixel(d, s, c.Right - c.Left, sca);
      else
        BlendRowConstant(d, s, c.Right - c.Left, sca);
    }
  });
  return true;
}

template <class F>
void ForEachStretched(TStretchPair& p, F&& pixel) {
  if (!p.Bmp) return;
  int dw = p.Dest.Right - p.Dest.Left, dh = p.Dest.Bottom - p.Dest.Top;
  int sw = p.Src.Right - p.Src.Left, sh = p.Src.Bottom - p.Src.Top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const TRegion& clip = p.Dc->EffectiveClip();
  RECT box = clip.Box();
  RECT area{std::max(p.Dest.Left, box.Left), std::max(p.Dest.Top, box.Top), std::min(p.Dest.Right, box.Right),
            std::min(p.Dest.Bottom, box.Bottom)};
  if (area.Left >= area.Right || area.Top >= area.Bottom) return;
  GdiAccumulateBounds(p.Dc, area);
  std::vector<int> mx = NearestMap(dw, p.Src.Left, sw), my = NearestMap(dh, p.Src.Top, sh);
  TSurfaceLock lock(p.Bmp, area.Top, area.Bottom);
  std::vector<uint32_t> row(static_cast<size_t>(p.Source.Width));
  int cachedRow = INT32_MIN;
  clip.ForEachIn(area, [&](const RECT& c) {
    for (int y = c.Top; y < c.Bottom; ++y) {
      int sy = my[size_t(y - p.Dest.Top)];
      if (sy != cachedRow) {
        p.Source.Fetch(sy, p.Src.Left, sw, row.data() + p.Src.Left);
        cachedRow = sy;
      }
      uint32_t* d = lock.Row(y);
      for (int x = c.Left; x < c.Right; ++x) pixel(d[x], row[size_t(mx[size_t(x - p.Dest.Left)])], lock);
    }
  });
}

}  // namespace

BOOL AlphaBlend(HDC dest, int xDest, int yDest, int wDest, int hDest, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                BLENDFUNCTION blend) {
  if (!GdiDC(dest) || !GdiDC(src)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  TStretchPair p;
  if (blend.BlendOp != AC_SRC_OVER || blend.BlendFlags != 0 || (blend.AlphaFormat & ~AC_SRC_ALPHA) != 0 ||
      !Prepare(dest, xDest, yDest, wDest, hDest, src, xSrc, ySrc, wSrc, hSrc, p)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Within one bitmap the two rectangles may not overlap.
  if (p.Bmp && GdiDC(src)->Target().get() == p.Bmp.get()) {
    RECT d{std::min(p.Dest.Left, p.Dest.Right), std::min(p.Dest.Top, p.Dest.Bottom),
           std::max(p.Dest.Left, p.Dest.Right), std::max(p.Dest.Top, p.Dest.Bottom)};
    if (d.Left < p.Src.Right && p.Src.Left < d.Right && d.Top < p.Src.Bottom && p.Src.Top < d.Bottom) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  }
  bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  // A source without an alpha channel is opaque.
  const uint32_t opaque = p.Source.Format->Bits == 32 ? 0 : 0xFF000000u;
  uint32_t sca = blend.SourceConstantAlpha;
  if (BlendOneToOne(p, perPixel, sca)) return TRUE;
  uint32_t fg = 0, bg = 0;
  bool mono = p.Source.Mono;
  if (mono) {
    fg = ColorToPixel(PlainColor(p.Dc->S.TextColor, p.Dc));
    bg = ColorToPixel(PlainColor(p.Dc->S.BkColor, p.Dc));
  }
  ForEachStretched(p, [&](uint32_t& d, uint32_t s, const TSurfaceLock&) {
    if (mono) s = (s & 0xFFFFFF) ? bg : fg;
    s |= opaque;
    if (perPixel)
      BlendRowPerPixel(&d, &s, 1, sca);
    else
      BlendRowConstant(&d, &s, 1, sca);
  });
  return TRUE;
}

BOOL TransparentBlt(HDC dest, int xDest, int yDest, int wDest, int hDest, HDC src, int xSrc, int ySrc, int wSrc,
                    int hSrc, UINT transparent) {
  TStretchPair p;
  if (!Prepare(dest, xDest, yDest, wDest, hDest, src, xSrc, ySrc, wSrc, hSrc, p)) return FALSE;
  uint32_t key = ColorToPixel(PlainColor(transparent, p.Dc));
  bool mono = p.Source.Mono;
  uint32_t fg = 0, bg = 0;
  bool dstMono = p.Bmp && p.Bmp->Format.Bits == 1;
  if (mono && !dstMono) {
    fg = ColorToPixel(PlainColor(p.Dc->S.TextColor, p.Dc));
    bg = ColorToPixel(PlainColor(p.Dc->S.BkColor, p.Dc));
  }
  ForEachStretched(p, [&](uint32_t& d, uint32_t s, const TSurfaceLock&) {
    if ((s & 0xFFFFFF) == key) return;
    if (mono && !dstMono) s = (s & 0xFFFFFF) ? bg : fg;
    d = s;
  });
  return TRUE;
}

// ---- Gradients ----------------------------------------------------------

namespace {

uint32_t VertexPixel(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return ((a >> 8) << 24) | ((r >> 8) << 16) | ((g >> 8) << 8) | (b >> 8);
}

}  // namespace

BOOL GradientFill(HDC hdc, PTRIVERTEX vertices, ULONG vertexCount, void* mesh, ULONG meshCount, ULONG mode) {
  auto dc = GdiDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!vertices || !mesh || mode > GRADIENT_FILL_TRIANGLE || vertexCount == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Every index is checked before anything is drawn.
  for (ULONG k = 0; k < meshCount; ++k) {
    bool bad;
    if (mode == GRADIENT_FILL_TRIANGLE) {
      const auto& t = static_cast<const GRADIENT_TRIANGLE*>(mesh)[k];
      bad = t.Vertex1 >= vertexCount || t.Vertex2 >= vertexCount || t.Vertex3 >= vertexCount;
    } else {
      const auto& r = static_cast<const GRADIENT_RECT*>(mesh)[k];
      bad = r.UpperLeft >= vertexCount || r.LowerRight >= vertexCount;
    }
    if (bad) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  }
  auto bmp = dc->Target();
  if (!bmp) return TRUE;
  const TRegion& clip = dc->EffectiveClip();
  std::vector<POINT> pts(vertexCount);
  for (ULONG i = 0; i < vertexCount; ++i) pts[i] = dc->LPtoTarget(POINT(vertices[i].x, vertices[i].y));

  if (mode == GRADIENT_FILL_TRIANGLE) {
    const auto* tris = static_cast<const GRADIENT_TRIANGLE*>(mesh);
    for (ULONG k = 0; k < meshCount; ++k) {
      ULONG ids[3] = {tris[k].Vertex1, tris[k].Vertex2, tris[k].Vertex3};
      if (ids[0] >= vertexCount || ids[1] >= vertexCount || ids[2] >= vertexCount) return FALSE;
      TPointF v[3];
      // Mirrored, a vertex names the pixel left of the edge (as for polygons).
      const double shift = dc->Mirrored() ? 1 : 0;
      for (int i = 0; i < 3; ++i) v[i] = TPointF{pts[ids[i]].X + shift, double(pts[ids[i]].Y)};
      const POINT p0 = pts[ids[0]], p1 = pts[ids[1]], p2 = pts[ids[2]];
      // Covered pixels: centres inside, or on a top or left edge, so that
      // triangles sharing an edge neither overlap nor leave a gap.
      TSpanRows rows = PolygonRows({{v[0], v[1], v[2]}}, ALTERNATE, DrawWindow(dc), TPixelSample::Centre);
      int top, bottom;
      if (!RowsBounds(rows, clip, top, bottom)) continue;
      if (dc->BoundsOn) {
        int left = INT32_MAX, right = INT32_MIN;
        for (const auto& row : rows.Rows)
          if (!row.empty()) {
            left = std::min(left, row.front().first);
            right = std::max(right, row.back().second);
          }
        const RECT& box = clip.Box();
        GdiAccumulateBounds(dc, RECT{std::max(left, box.Left), top, std::min(right, box.Right), bottom});
      }
      const TRIVERTEX* tv[3] = {&vertices[ids[0]], &vertices[ids[1]], &vertices[ids[2]]};
      // The weights in 64 bits while the vertices are near the surface; in
      // 128 beyond, as vertices may lie anywhere in the range of int and the
      // products of their differences, times a channel, need some 80 bits.
      auto paint = [&]<class TWide>(TWide) {
        auto diff = [](int a, int b) { return TWide(a) - b; };
        const TWide det = diff(p1.Y, p2.Y) * diff(p0.X, p2.X) + diff(p2.X, p1.X) * diff(p0.Y, p2.Y);
        if (det == 0) return;
        // Each channel at the pixel's own coordinate, as rectangle gradients
        // take it, in whole numbers: the weights' numerators add up to det
        // exactly, so a flat triangle keeps its colour.
        auto mix = [&](TWide n0, TWide n1, COLOR16 TRIVERTEX::*ch) {
          TWide n2 = det - n0 - n1;
          TWide num = n0 * (tv[0]->*ch) + n1 * (tv[1]->*ch) + n2 * (tv[2]->*ch);
          TWide q = num / det;
          if ((num % det != 0) && ((num < 0) != (det < 0))) --q;
          return static_cast<uint32_t>(std::clamp<TWide>(q, 0, 65535));
        };
        TSurfaceLock lock(bmp, top, bottom);
        for (int y = top; y < bottom; ++y) {
          const auto* spans = rows.Row(y);
          if (!spans) continue;
          uint32_t* d = lock.Row(y);
          for (const auto& s : *spans)
            clip.ForEachSpan(y, s.first, s.second, [&](int a, int b) {
              for (int x = a; x < b; ++x) {
                TWide n0 = diff(p1.Y, p2.Y) * diff(x, p2.X) + diff(p2.X, p1.X) * diff(y, p2.Y);
                TWide n1 = diff(p2.Y, p0.Y) * diff(x, p2.X) + diff(p0.X, p2.X) * diff(y, p2.Y);
                d[x] = VertexPixel(mix(n0, n1, &TRIVERTEX::Red), mix(n0, n1, &TRIVERTEX::Green),
                                   mix(n0, n1, &TRIVERTEX::Blue), mix(n0, n1, &TRIVERTEX::Alpha));
              }
            });
        }
      };
      constexpr int kNear = 1 << 20;
      auto near = [](POINT p) { return p.X > -kNear && p.X < kNear && p.Y > -kNear && p.Y < kNear; };
      if (near(p0) && near(p1) && near(p2) && near(POINT(bmp->Width, bmp->Height)))
        paint(int64_t());
      else
        paint(__int128());
    }
    return TRUE;
  }

  const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
  bool vertical = mode == GRADIENT_FILL_RECT_V;
  for (ULONG k = 0; k < meshCount; ++k) {
    if (rects[k].UpperLeft >= vertexCount || rects[k].LowerRight >= vertexCount) return FALSE;
    const TRIVERTEX* a = &vertices[rects[k].UpperLeft];
    const TRIVERTEX* b = &vertices[rects[k].LowerRight];
    POINT pa = pts[rects[k].UpperLeft], pb = pts[rects[k].LowerRight];
    // The gradient runs from the vertex with the smaller coordinate; in a
    // mirrored layout, from the one on the right, so that the whole is the
    // mirror image of the same call left to right.
    const bool fromRight = !vertical && dc->Mirrored();
    if (vertical ? pa.Y > pb.Y : (fromRight ? pa.X < pb.X : pa.X > pb.X)) {
      std::swap(a, b);
      std::swap(pa, pb);
    }
    RECT r = dc->FixMirroredRect(RECT{std::min(pa.X, pb.X), std::min(pa.Y, pb.Y), std::max(pa.X, pb.X), std::max(pa.Y, pb.Y)});
    if (r.Left >= r.Right || r.Top >= r.Bottom) continue;
    RECT box = clip.Box();
    RECT area{std::max(r.Left, box.Left), std::max(r.Top, box.Top), std::min(r.Right, box.Right),
              std::min(r.Bottom, box.Bottom)};
    if (area.Left >= area.Right || area.Top >= area.Bottom) continue;
    GdiAccumulateBounds(dc, area);
    int64_t span = vertical ? int64_t(r.Bottom) - r.Top : int64_t(r.Right) - r.Left;
    auto at = [&](int64_t i) {
      auto mix = [&](COLOR16 c0, COLOR16 c1) {
        return static_cast<uint32_t>((int64_t(c0) * (span - i) + int64_t(c1) * i) / span);
      };
      return VertexPixel(mix(a->Red, b->Red), mix(a->Green, b->Green), mix(a->Blue, b->Blue), mix(a->Alpha, b->Alpha));
    };
    // Only the stretch of the ramp that can be seen is made: the
    // rectangle may be far bigger than the surface.
    const int64_t origin = vertical ? r.Top : r.Left;
    const int64_t from = (vertical ? area.Top : area.Left) - origin;
    const int64_t to = (vertical ? area.Bottom : area.Right) - origin;
    std::vector<uint32_t> line(static_cast<size_t>(to - from));
    for (int64_t i = from; i < to; ++i) line[size_t(i - from)] = at(fromRight ? span - 1 - i : i);
    auto ramp = [&](int64_t at) { return line.begin() + (at - origin - from); };
    TSurfaceLock lock(bmp, area.Top, area.Bottom);
    clip.ForEachIn(area, [&](const RECT& c) {
      for (int y = c.Top; y < c.Bottom; ++y) {
        uint32_t* d = lock.Row(y);
        if (vertical)
          FillPixels(d + c.Left, *ramp(y), c.Right - c.Left);
        else
          std::copy(ramp(c.Left), ramp(c.Right), d + c.Left);
      }
    });
  }
  return TRUE;
}
