// Bit blits: BitBlt, StretchBlt, MaskBlt, PlgBlt, the DIB-to-device
// functions, TransparentBlt and AlphaBlend, over one stretching engine that
// converts between monochrome and colour as the original platform does.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/win/gdi/gdi_blit.h"
#include "platform/win/gdi/gdi_int_range.h"
#include "platform/win/gdi/gdi_metafile.h"
#include "platform/win/gdi/gdi_simd.h"

namespace rtl::detail {

namespace {

int Span(int from, int to) { return ClampInt(int64_t(to) - from); }

}  // namespace

// ---- Sources ------------------------------------------------------------

bool TBlitSource::FromDC(TGdiDC* dc) {
  auto b = dc ? dc->Target() : nullptr;
  if (!b) return false;
  Format = &b->Format;
  Base = b->Row(0);
  RowBase = 0;
  Stride = b->TopDown ? b->Stride : -b->Stride;
  Width = b->Width;
  Height = b->Height;
  RowFirst = 0;
  RowLast = Height;
  Mono = b->Mono();
  HasBk = true;
  BkPixel = ColorToPixel(PlainColor(dc->S.BkColor, dc));
  Bitmap = b;
  Held = b;
  return true;
}

void TBlitSource::Snapshot(const RECT& r) {
  RECT c{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, Width), std::min(r.Bottom, Height)};
  Own.assign(size_t(Width) * std::max(0, c.Bottom - c.Top), 0);
  if (c.Left < c.Right)
    for (int y = c.Top; y < c.Bottom; ++y)
      DecodeRow(*Format, RowPtr(y), c.Left, c.Right - c.Left, Own.data() + size_t(y - c.Top) * Width + c.Left);
  OwnFormat = TPixelFormat::Direct32();
  Format = &OwnFormat;
  Base = reinterpret_cast<const uint8_t*>(Own.data());
  RowBase = c.Top;
  Stride = ptrdiff_t(Width) * 4;
  RowFirst = std::max(RowFirst, c.Top);
  RowLast = std::min(RowLast, c.Bottom);
  Bitmap = nullptr;
}

void TBlitSource::Fetch(int y, int x, int n, uint32_t* out) const { DecodeRow(*Format, RowPtr(y), x, n, out); }

// ---- The engine ---------------------------------------------------------

namespace {

// Where each destination column or row from cell From on takes its
// source: [first, last).
struct TSpanMap {
  int64_t From = 0;
  std::vector<int> First, Last;
  int FirstOf(int64_t cell) const { return First[size_t(cell - From)]; }
  int LastOf(int64_t cell) const { return Last[size_t(cell - From)]; }
};

// Maps n destination cells onto sn source cells starting at s0, keeping
// cells [from, to) only: a destination may be far wider than what can be
// seen of it. Cells that fall outside [lo, hi) get First = -1.
TSpanMap MapAxis(int64_t n, int64_t s0, int64_t sn, bool flip, int lo, int hi, int mode, int64_t from, int64_t to) {
  TSpanMap m;
  m.From = from;
  m.First.resize(size_t(to - from));
  m.Last.resize(size_t(to - from));
  bool shrink = sn > n;
  for (int64_t i = from; i < to; ++i) {
    int64_t k = flip ? n - 1 - i : i;
    int64_t a, b;
    if (sn == n) {
      a = k;
      b = k + 1;
    } else if (shrink && mode != COLORONCOLOR) {
      a = k * sn / n;
      b = std::max(a + 1, (k + 1) * sn / n);
    } else if (shrink) {
      // The pixels that fall on one cell are drawn in turn: the last stays.
      b = std::max(k * sn / n + 1, (k + 1) * sn / n);
      a = b - 1;
    } else {
      a = ((2 * k + 1) * sn) / (2 * n);
      b = a + 1;
    }
    a = std::max<int64_t>(a + s0, lo);
    b = std::min<int64_t>(b + s0, hi);
    if (a >= b) a = b = -1;
    m.First[size_t(i - from)] = static_cast<int>(a);
    m.Last[size_t(i - from)] = static_cast<int>(b);
  }
  return m;
}

// Converts source pixels to what the destination lock holds: monochrome
// bitmaps as sources take the text and background colours, colour sources
// going to a monochrome bitmap become white where they match the source's
// background colour and black elsewhere, and everything else takes the
// destination's value for its colour (on a 1-bit DIB, the nearer of its
// two colours).
void Convert(const TBlitSource& src, const TSurfaceLock& lock, uint32_t fg, uint32_t bg, uint32_t* px, int n) {
  const bool dstMono = lock.Mono() && !lock.Bitmap()->Dib;
  if (src.Mono && !dstMono) {
    for (int i = 0; i < n; ++i) px[i] = (px[i] & 0xFFFFFF) ? bg : fg;
  } else if (!src.Mono && dstMono && src.HasBk) {
    const uint32_t white = lock.FromPixel(0xFFFFFF), black = lock.FromPixel(0);
    for (int i = 0; i < n; ++i) px[i] = (px[i] & 0xFFFFFF) == src.BkPixel ? white : black;
  } else if (lock.Values()) {
    // Runs of one colour are common; remember the last answer.
    uint32_t lastIn = 0, lastOut = lock.FromPixel(0);
    for (int i = 0; i < n; ++i) {
      if (px[i] != lastIn) {
        lastIn = px[i];
        lastOut = lock.FromPixel(lastIn);
      }
      px[i] = lastOut;
    }
  }
}

}  // namespace

bool BlitTarget(TGdiDC* dc, const TBlitParams& p, TBlitSource* src, TGdiBrush* brush) {
  auto bmp = dc->Target();
  if (!bmp) return true;
  // In 64 bits: a rectangle may reach past the range of int.
  int64_t dx = p.DX, dy = p.DY, dw = p.DW, dh = p.DH;
  int64_t sx = p.SX, sy = p.SY, sw = p.SW, sh = p.SH;
  // Negative sizes on both sides cancel: the two rectangles are taken in
  // order, (x, w) covering x + w through x - 1, and nothing is mirrored.
  if (dw < 0 && sw < 0) {
    dx += dw;
    dw = -dw;
    sx += sw;
    sw = -sw;
  }
  if (dh < 0 && sh < 0) {
    dy += dh;
    dh = -dh;
    sy += sh;
    sh = -sh;
  }
  // One negative size mirrors the rectangle about its first column or row,
  // which it keeps: (x, w) with w < 0 covers x + w + 1 through x.
  bool flipX = false, flipY = false;
  if (dw < 0) {
    dx += dw + 1;
    dw = -dw;
    flipX = !flipX;
  }
  if (dh < 0) {
    dy += dh + 1;
    dh = -dh;
    flipY = !flipY;
  }
  if (sw < 0) {
    sx += sw + 1;
    sw = -sw;
    flipX = !flipX;
  }
  if (sh < 0) {
    sy += sh + 1;
    sh = -sh;
    flipY = !flipY;
  }
  if (dw == 0 || dh == 0) return true;
  bool useS = RopUsesSource(p.Rop) || (p.Mask && RopUsesSource(p.BackRop));
  bool useP = RopUsesPattern(p.Rop) || (p.Mask && RopUsesPattern(p.BackRop));
  if (useS && (!src || sw == 0 || sh == 0)) return false;

  RECT dest{ClampInt(dx), ClampInt(dy), ClampInt(dx + dw), ClampInt(dy + dh)};
  const TRegion& clip = dc->EffectiveClip();
  RECT box = clip.Box();
  RECT area{std::max(dest.Left, box.Left), std::max(dest.Top, box.Top), std::min(dest.Right, box.Right),
            std::min(dest.Bottom, box.Bottom)};
  if (area.Left >= area.Right || area.Top >= area.Bottom) return true;
  GdiAccumulateBounds(dc, area);

  bool stretch = useS && (sw != dw || sh != dh || flipX || flipY);
  TSpanMap mx, my;
  if (useS) {
    // A source overlapping the destination is read before anything is drawn.
    if (src->Bitmap == bmp) src->Snapshot(RECT{ClampInt(sx), ClampInt(sy), ClampInt(sx + sw), ClampInt(sy + sh)});
    if (!stretch) {
      // Only the part with source pixels is drawn.
      area.Left = ClampInt(std::max<int64_t>(area.Left, dx + (0 - sx)));
      area.Top = ClampInt(std::max<int64_t>(area.Top, dy + (src->RowFirst - sy)));
      area.Right = ClampInt(std::min<int64_t>(area.Right, dx + (src->Width - sx)));
      area.Bottom = ClampInt(std::min<int64_t>(area.Bottom, dy + (src->RowLast - sy)));
      if (area.Left >= area.Right || area.Top >= area.Bottom) return true;
    } else {
      // Only the columns and rows that can be drawn are mapped.
      mx = MapAxis(dw, sx, sw, flipX, 0, src->Width, p.StretchMode, area.Left - dx, area.Right - dx);
      my = MapAxis(dh, sy, sh, flipY, src->RowFirst, src->RowLast, p.StretchMode, area.Top - dy, area.Bottom - dy);
    }
  }

  TSurfaceLock lock(bmp, area.Top, area.Bottom, TLockMode::Values);
  uint32_t fg = lock.Realize(dc->S.TextColor, dc), bg = lock.Realize(dc->S.BkColor, dc);
  TBrushFill fill;
  if (useP) {
    fill = RealizeBrush(dc, brush, lock, true);
    if (fill.Null) fill = SolidFill(0);
  }
  bool convert = useS && (src->Mono != (lock.Mono() && !bmp->Dib) || lock.Values());
  bool directSrc = useS && !stretch && !convert && src->Format->IsDirect32();
  TRop3Row fore = Rop3Row(p.Rop), back = Rop3Row(p.BackRop);

  // Halving 32-bit pixels in both directions, the common HALFTONE case:
  // the same means of four as the general loop, four pixels at a time.
  if (stretch && p.StretchMode == HALFTONE && p.Rop == 0xCC && !p.Mask && !flipX && !flipY && sw == 2 * dw &&
      sh == 2 * dh && !lock.Values() && !convert && src->Format->IsDirect32() && sx >= 0 && sx + sw <= src->Width &&
      sy >= src->RowFirst && sy + sh <= src->RowLast) {
    clip.ForEachIn(area, [&](const RECT& c) {
      for (int y = c.Top; y < c.Bottom; ++y) {
        int r = sy + 2 * (y - dy);
        const uint32_t* s0 = reinterpret_cast<const uint32_t*>(src->RowPtr(r)) + sx + 2 * (c.Left - dx);
        const uint32_t* s1 = reinterpret_cast<const uint32_t*>(src->RowPtr(r + 1)) + sx + 2 * (c.Left - dx);
        HalveRow(lock.Row(y) + c.Left, s0, s1, c.Right - c.Left);
      }
    });
    return true;
  }

  int maxW = area.Right - area.Left;
  std::vector<uint32_t> sbuf(useS ? size_t(maxW) : 0), pbuf(useP ? size_t(maxW) : 0), tmp, bk, rowBuf;
  std::vector<uint8_t> valid;
  std::vector<uint32_t> sums;
  if (stretch) {
    valid.resize(size_t(maxW));
    if (p.StretchMode == HALFTONE) sums.resize(4 * size_t(maxW));
    rowBuf.resize(size_t(src->Width));
  }

  clip.ForEachIn(area, [&](const RECT& c) {
    int n = c.Right - c.Left;
    for (int y = c.Top; y < c.Bottom; ++y) {
      uint32_t* d = lock.Row(y) + c.Left;
      const uint32_t* s = nullptr;
      bool partial = false;
      if (useS) {
        if (directSrc) {
          s = reinterpret_cast<const uint32_t*>(src->RowPtr(sy + (y - dy))) + (sx + (c.Left - dx));
        } else if (!stretch) {
          src->Fetch(sy + (y - dy), sx + (c.Left - dx), n, sbuf.data());
          if (convert) Convert(*src, lock, fg, bg, sbuf.data(), n);
          s = sbuf.data();
        } else {
          int64_t j = y - dy;
          int r0 = my.FirstOf(j), r1 = my.LastOf(j);
          if (r0 < 0) continue;
          int colLo = INT32_MAX, colHi = INT32_MIN;
          for (int i = 0; i < n; ++i) {
            int64_t k = c.Left - dx + i;
            if (mx.FirstOf(k) >= 0) {
              colLo = std::min(colLo, mx.FirstOf(k));
              colHi = std::max(colHi, mx.LastOf(k));
            }
          }
          if (colLo >= colHi) continue;
          const bool average = p.StretchMode == HALFTONE;
          if (average) std::fill(sums.begin(), sums.begin() + 4 * n, 0u);
          for (int r = r0; r < r1; ++r) {
            src->Fetch(r, colLo, colHi - colLo, rowBuf.data() + colLo);
            for (int i = 0; i < n; ++i) {
              int64_t k = c.Left - dx + i;
              int a = mx.FirstOf(k), b = mx.LastOf(k);
              valid[size_t(i)] = a >= 0;
              if (a < 0) continue;
              if (average) {
                // Whole sums, divided once: rounding each row would drift.
                uint32_t* acc = sums.data() + 4 * i;
                for (int q = a; q < b; ++q)
                  for (int ch = 0; ch < 4; ++ch) acc[ch] += (rowBuf[size_t(q)] >> (8 * ch)) & 0xFF;
                continue;
              }
              uint32_t v = rowBuf[size_t(a)];
              if (p.StretchMode != COLORONCOLOR)
                for (int q = a + 1; q < b; ++q)
                  v = p.StretchMode == WHITEONBLACK ? v | rowBuf[size_t(q)] : v & rowBuf[size_t(q)];
              if (r == r0 || p.StretchMode == COLORONCOLOR)
                sbuf[size_t(i)] = v;
              else
                sbuf[size_t(i)] = p.StretchMode == WHITEONBLACK ? sbuf[size_t(i)] | v : sbuf[size_t(i)] & v;
            }
            if (p.StretchMode == COLORONCOLOR) break;
          }
          if (average) {
            for (int i = 0; i < n; ++i) {
              int64_t k = c.Left - dx + i;
              if (!valid[size_t(i)]) continue;
              uint32_t count = uint32_t(mx.LastOf(k) - mx.FirstOf(k)) * uint32_t(r1 - r0);
              const uint32_t* acc = sums.data() + 4 * i;
              uint32_t out = 0;
              for (int ch = 0; ch < 4; ++ch) out |= ((acc[ch] + count / 2) / count) << (8 * ch);
              sbuf[size_t(i)] = out;
            }
          }
          if (convert) Convert(*src, lock, fg, bg, sbuf.data(), n);
          s = sbuf.data();
          partial = true;
        }
      }
      if (useP) fill.RowAt(c.Left, y, n, pbuf.data());
      if (partial || !fill.Mask.empty() || p.Mask) tmp.assign(d, d + n);
      if (p.Mask) {
        bk.assign(d, d + n);
        back(bk.data(), s, pbuf.data(), n);
      }
      fore(d, s, pbuf.data(), n);
      if (p.Mask) {
        int64_t my0 = p.MY + (y - dy);
        bool rowIn = my0 >= 0 && my0 < p.Mask->Height;
        const uint8_t* mrow = rowIn ? p.Mask->Row(my0) : nullptr;
        for (int i = 0; i < n; ++i) {
          int64_t mxp = p.MX + (c.Left - dx) + i;
          uint32_t bit = 0;
          if (mrow && mxp >= 0 && mxp < p.Mask->Width) bit = (mrow[mxp >> 3] >> (7 - (mxp & 7))) & 1;
          if (!bit) d[i] = bk[size_t(i)];
        }
      }
      if (partial)
        for (int i = 0; i < n; ++i)
          if (!valid[size_t(i)]) d[i] = tmp[size_t(i)];
      if (!fill.Mask.empty())
        for (int i = 0; i < n; ++i)
          if (!fill.Drawn(c.Left + i, y)) d[i] = tmp[size_t(i)];
    }
  });
  return true;
}

// ---- Logical to target --------------------------------------------------

RECT TargetRectOf(TGdiDC* dc, int x, int y, int w, int h) {
  if (dc->Simple()) {
    POINT o = dc->Offset();
    return RECT{ClampInt(int64_t(x) + o.X), ClampInt(int64_t(y) + o.Y), ClampInt(int64_t(x) + w + o.X),
                ClampInt(int64_t(y) + h + o.Y)};
  }
  const TXform& m = dc->ToTarget();
  double ax = x * m.M11 + y * m.M21 + m.Dx, ay = x * m.M12 + y * m.M22 + m.Dy;
  double x1 = double(x) + w, y1 = double(y) + h;
  double bx = x1 * m.M11 + y1 * m.M21 + m.Dx, by = x1 * m.M12 + y1 * m.M22 + m.Dy;
  return RECT{RoundInt(ax), RoundInt(ay), RoundInt(bx), RoundInt(by)};
}

RECT DestRectOf(TGdiDC* dc, int x, int y, int w, int h, bool keepOrientation) {
  RECT t = TargetRectOf(dc, x, y, w, h);
  if (!dc->Mirrored() || !(keepOrientation || (dc->S.Layout & LAYOUT_BITMAPORIENTATIONPRESERVED))) return t;
  // The same pixels, drawn the other way round (see BlitTarget's reading
  // of a negative width).
  if (t.Right < t.Left) return RECT{t.Right + 1, t.Top, t.Left + 1, t.Bottom};
  return RECT{t.Right - 1, t.Top, t.Left - 1, t.Bottom};
}

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  if (EmfRecording(hdc)) return EmfRecordPatBlt(hdc, RECT{x, y, x + w, y + h}, nullptr, rop);
  auto dc = GdiDC(hdc);
  uint8_t r = RopIndex(rop);
  if (!dc || RopUsesSource(r)) return FALSE;
  RECT t = TargetRectOf(dc, x, y, w, h);
  RECT n = dc->FixMirroredRect(
      RECT{std::min(t.Left, t.Right), std::min(t.Top, t.Bottom), std::max(t.Left, t.Right), std::max(t.Top, t.Bottom)});
  PatBltRect(dc, n, r, GdiBrush(dc->S.Brush).get());
  return TRUE;
}

BOOL StretchBlt(HDC dest, int xDest, int yDest, int wDest, int hDest, HDC srcDC, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop) {
  if (EmfRecording(dest)) return EmfRecordBlt(dest, xDest, yDest, wDest, hDest, srcDC, xSrc, ySrc, wSrc, hSrc, rop);
  auto dc = GdiDC(dest);
  if (!dc) return FALSE;
  uint8_t r = RopIndex(rop);
  TBlitSource src;
  TGdiRef<TGdiDC> sdc;
  if (RopUsesSource(r)) {
    sdc = GdiDC(srcDC);
    if (!sdc) return FALSE;
    if (!src.FromDC(sdc)) return TRUE;
  }
  RECT t = DestRectOf(dc, xDest, yDest, wDest, hDest);
  TBlitParams p;
  p.DX = t.Left;
  p.DY = t.Top;
  p.DW = Span(t.Left, t.Right);
  p.DH = Span(t.Top, t.Bottom);
  if (sdc) {
    RECT s = TargetRectOf(sdc, xSrc, ySrc, wSrc, hSrc);
    p.SX = s.Left;
    p.SY = s.Top;
    p.SW = Span(s.Left, s.Right);
    p.SH = Span(s.Top, s.Bottom);
  }
  p.Rop = p.BackRop = r;
  p.StretchMode = dc->S.StretchMode;
  return BlitTarget(dc, p, sdc ? &src : nullptr, GdiBrush(dc->S.Brush).get());
}

BOOL BitBlt(HDC dest, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop) {
  return StretchBlt(dest, x, y, cx, cy, src, x1, y1, cx, cy, rop);
}

BOOL MaskBlt(HDC dest, int xDest, int yDest, int width, int height, HDC srcDC, int xSrc, int ySrc, HBITMAP mask,
             int xMask, int yMask, DWORD rop) {
  if (!mask) return BitBlt(dest, xDest, yDest, width, height, srcDC, xSrc, ySrc, rop);
  auto dc = GdiDC(dest);
  auto m = GdiBitmap(mask);
  if (!dc || !m || m->Format.Bits != 1) return FALSE;
  TBlitParams p;
  p.Rop = RopIndex(rop);
  p.BackRop = static_cast<uint8_t>(rop >> 24);
  TBlitSource src;
  TGdiRef<TGdiDC> sdc;
  if (RopUsesSource(p.Rop) || RopUsesSource(p.BackRop)) {
    sdc = GdiDC(srcDC);
    if (!sdc) return FALSE;
    if (!src.FromDC(sdc)) return TRUE;
  }
  RECT t = DestRectOf(dc, xDest, yDest, width, height);
  p.DX = t.Left;
  p.DY = t.Top;
  p.DW = Span(t.Left, t.Right);
  p.DH = Span(t.Top, t.Bottom);
  if (sdc) {
    RECT s = TargetRectOf(sdc, xSrc, ySrc, width, height);
    p.SX = s.Left;
    p.SY = s.Top;
    // A mirrored destination reads the source forwards all the same.
    p.SW = std::abs(p.DW);
    p.SH = std::abs(p.DH);
  }
  p.Mask = m;
  p.MX = xMask;
  p.MY = yMask;
  p.StretchMode = COLORONCOLOR;
  return BlitTarget(dc, p, sdc ? &src : nullptr, GdiBrush(dc->S.Brush).get());
}

BOOL PlgBlt(HDC dest, const POINT* points, HDC srcDC, int xSrc, int ySrc, int width, int height, HBITMAP mask,
            int xMask, int yMask) {
  // Parallelograms that are axis-aligned rectangles; others are drawn in
  // their bounding rectangle.
  if (!points) return FALSE;
  int x0 = points[0].X, y0 = points[0].Y;
  int x1 = points[1].X, y2 = points[2].Y;
  if (mask) return MaskBlt(dest, x0, y0, x1 - x0, y2 - y0, srcDC, xSrc, ySrc, mask, xMask, yMask, SRCCOPY);
  return StretchBlt(dest, x0, y0, x1 - x0, y2 - y0, srcDC, xSrc, ySrc, width, height, SRCCOPY);
}

// ---- DIBs to the device -------------------------------------------------

namespace {

// A source over DIB memory holding rows [startScan, startScan + lines) of
// the image, in top-down source coordinates.
bool DibSource(const void* bits, const BITMAPINFO* info, UINT usage, UINT startScan, UINT lines, TBlitSource& src,
               const TGdiDC* dc) {
  std::vector<uint32_t> pal;
  if (usage == DIB_PAL_COLORS) pal = GdiPalettePixels(dc);
  if (!bits || !TPixelFormat::FromInfo(info, usage, src.OwnFormat, &pal)) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  TDibExtent dib;
  if (!DibExtentOf(src.OwnFormat, h.biWidth, h.biHeight, dib)) return false;
  const int height = dib.Height;
  src.Format = &src.OwnFormat;
  src.Width = dib.Width;
  src.Height = height;
  ptrdiff_t stride = static_cast<ptrdiff_t>(dib.Stride);
  const auto* b = static_cast<const uint8_t*>(bits);
  int first = static_cast<int>(std::min<UINT>(startScan, UINT(height)));
  int count = static_cast<int>(std::min<UINT>(lines, UINT(height - first)));
  if (h.biHeight < 0) {
    src.Base = b;
    src.RowBase = first;
    src.Stride = stride;
    src.RowFirst = first;
    src.RowLast = first + count;
  } else {
    // Bottom-up: memory row i is image row height - 1 - (first + i).
    src.Base = b;
    src.RowBase = height - 1 - first;
    src.Stride = -stride;
    src.RowFirst = height - first - count;
    src.RowLast = height - first;
  }
  src.Mono = false;
  src.HasBk = false;
  return true;
}

// A run-length encoded DIB expanded to plain rows, with a header that
// says so; unused for other DIBs.
struct TExpandedRle {
  bool Used = false;
  std::vector<uint8_t> Header;  // BITMAPINFOHEADER and colour table
  std::vector<uint8_t> Pixels;
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(Header.data()); }
  // False for RLE data that cannot be read (no size, a top-down header).
  bool From(const BITMAPINFO* info, const void* bits, UINT usage) {
    BITMAPINFOHEADER h;
    std::memcpy(&h, info, sizeof h);
    if (h.biCompression != BI_RLE8 && h.biCompression != BI_RLE4) return true;
    int depth = h.biCompression == BI_RLE8 ? 8 : 4;
    if (h.biBitCount != depth || !bits || h.biSizeImage == 0 || h.biHeight <= 0 || h.biSize < sizeof h) return false;
    if (!DecodeRle(depth, h.biWidth, h.biHeight, static_cast<const uint8_t*>(bits), h.biSizeImage, Pixels))
      return false;
    size_t colors = size_t(h.biClrUsed && h.biClrUsed < (1u << depth) ? h.biClrUsed : 1u << depth) *
                    (usage == DIB_PAL_COLORS ? 2 : 4);
    Header.assign(sizeof(BITMAPINFOHEADER) + colors, 0);
    const uint8_t* table = reinterpret_cast<const uint8_t*>(info) + h.biSize;
    std::memcpy(Header.data() + sizeof(BITMAPINFOHEADER), table, colors);
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biCompression = BI_RGB;
    h.biSizeImage = 0;
    std::memcpy(Header.data(), &h, sizeof h);
    Used = true;
    return true;
  }
};

}  // namespace

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  if (EmfRecording(hdc))
    return EmfRecordDIBits(hdc, xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight, bits, info,
                           usage, rop);
  auto dc = GdiDC(hdc);
  if (!dc || !info) return 0;
  // Negative source extents draw nothing.
  if (srcWidth < 0 || srcHeight < 0) return 0;
  const int64_t rows = info->bmiHeader.biHeight < 0 ? -int64_t(info->bmiHeader.biHeight) : info->bmiHeader.biHeight;
  if (rows > INT32_MAX) return 0;
  const int height = static_cast<int>(rows);
  TExpandedRle rle;
  if (!rle.From(info, bits, usage)) return 0;
  if (rle.Used) {
    info = rle.Info();
    bits = rle.Pixels.data();
  }
  TBlitSource src;
  uint8_t r = RopIndex(rop);
  if (RopUsesSource(r) && !DibSource(bits, info, usage, 0, UINT(height), src, dc)) return 0;
  RECT t = DestRectOf(dc, xDest, yDest, destWidth, destHeight);
  TBlitParams p;
  p.DX = t.Left;
  p.DY = t.Top;
  p.DW = Span(t.Left, t.Right);
  p.DH = Span(t.Top, t.Bottom);
  p.SX = xSrc;
  // Source rows count from the bottom of the image, whichever way its
  // rows are stored.
  p.SY = ClampInt(int64_t(height) - ySrc - srcHeight);
  p.SW = srcWidth;
  p.SH = srcHeight;
  p.Rop = p.BackRop = r;
  p.StretchMode = dc->S.StretchMode;
  if (!BlitTarget(dc, p, RopUsesSource(r) ? &src : nullptr, GdiBrush(dc->S.Brush).get())) return 0;
  // The scan lines of the source rectangle, whatever part of them exists.
  return srcHeight;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  if (startScan == 0 && info && lines == UINT(std::abs(info->bmiHeader.biHeight)) && EmfRecording(hdc)) {
    // The record counts source rows from the bottom of the image, as
    // StretchDIBits does; a top-down image's ySrc counts from its top.
    const int64_t srcY = info->bmiHeader.biHeight < 0 ? int64_t(lines) - ySrc - int64_t(height) : ySrc;
    // The call answers the scan lines it was given, not the rectangle's.
    return EmfRecordDIBits(hdc, xDest, yDest, int(width), int(height), xSrc, ClampInt(srcY), int(width), int(height),
                           bits, info, usage, SRCCOPY)
               ? int(lines)
               : 0;
  }
  auto dc = GdiDC(hdc);
  if (!dc || !info) return 0;
  TExpandedRle rle;
  if (!rle.From(info, bits, usage)) return 0;
  if (rle.Used) {
    info = rle.Info();
    bits = rle.Pixels.data();
  }
  TBlitSource src;
  if (!DibSource(bits, info, usage, startScan, lines, src, dc)) return 0;
  int h = src.Height;
  RECT t = DestRectOf(dc, xDest, yDest, static_cast<int>(width), static_cast<int>(height));
  TBlitParams p;
  p.DX = t.Left;
  p.DY = t.Top;
  p.DW = Span(t.Left, t.Right);
  p.DH = Span(t.Top, t.Bottom);
  p.SX = xSrc;
  p.SY = info->bmiHeader.biHeight > 0 ? ClampInt(int64_t(h) - ySrc - int64_t(height)) : ySrc;
  p.SW = std::abs(p.DW);
  p.SH = std::abs(p.DH);
  p.Rop = p.BackRop = 0xCC;
  p.StretchMode = COLORONCOLOR;
  if (!BlitTarget(dc, p, &src, nullptr)) return 0;
  return src.RowLast - src.RowFirst;
}

// ---- Pixels -------------------------------------------------------------

COLORREF GetPixel(HDC hdc, int x, int y) {
  auto dc = GdiDC(hdc);
  if (!dc) return CLR_INVALID;
  auto b = dc->Target();
  POINT p = dc->LPtoTarget(POINT(x, y));
  if (!b || !dc->EffectiveClip().Contains(p.X, p.Y)) return CLR_INVALID;
  uint32_t px;
  DecodeRow(b->Format, b->Row(p.Y), p.X, 1, &px);
  return PixelToColor(px);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  if (EmfRecording(hdc)) return EmfRecordPixel(hdc, x, y, color) ? color : CLR_INVALID;
  auto dc = GdiDC(hdc);
  if (!dc) return CLR_INVALID;
  auto b = dc->Target();
  POINT p = dc->LPtoTarget(POINT(x, y));
  if (!b || !dc->EffectiveClip().Contains(p.X, p.Y)) return CLR_INVALID;
  GdiAccumulateBounds(dc, RECT{p.X, p.Y, p.X + 1, p.Y + 1});
  TSurfaceLock lock(b, p.Y, p.Y + 1);
  uint32_t px = lock.Realize(color, dc);
  lock.Row(p.Y)[p.X] = px;
  return PixelToColor(px);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) { return SetPixel(hdc, x, y, color) != CLR_INVALID; }
