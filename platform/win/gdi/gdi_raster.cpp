#include "platform/win/gdi/gdi_raster.h"
#include "platform/win/gdi/gdi_int_range.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <utility>

namespace rtl::detail {

// ---- Surface locks ------------------------------------------------------

TSurfaceLock::TSurfaceLock(TGdiBitmap* bmp, int top, int bottom, TLockMode mode)
    : bmp_(bmp), top_(std::clamp(top, 0, bmp->Height)), bottom_(std::clamp(bottom, 0, bmp->Height)),
      direct_(bmp->Format.IsDirect32()), values_(mode == TLockMode::Values) {
  if (direct_ || bottom_ <= top_) return;
  buf_.resize(size_t(bottom_ - top_) * bmp_->Width);
  for (int y = top_; y < bottom_; ++y) {
    if (values_)
      DecodeValues(bmp_->Format, bmp_->Row(y), 0, bmp_->Width, Row(y));
    else
      DecodeRow(bmp_->Format, bmp_->Row(y), 0, bmp_->Width, Row(y));
  }
  orig_ = buf_;
}

TSurfaceLock::~TSurfaceLock() {
  if (direct_) return;
  const int w = bmp_->Width;
  for (int y = top_; y < bottom_; ++y) {
    const uint32_t* now = Row(y);
    const uint32_t* was = orig_.data() + ptrdiff_t(y - top_) * w;
    uint8_t* row = bmp_->Row(y);
    // Only the runs that changed go back.
    for (int x = 0; x < w;) {
      if (now[x] == was[x]) {
        ++x;
        continue;
      }
      int end = x + 1;
      while (end < w && now[end] != was[end]) ++end;
      if (values_)
        EncodeValues(bmp_->Format, now + x, end - x, row, x);
      else
        EncodeRow(bmp_->Format, now + x, end - x, row, x);
      x = end;
    }
  }
}

uint32_t TSurfaceLock::Realize(COLORREF c, const TGdiDC* dc) const {
  if ((c >> 16) == 0x10FF) {
    const TPixelFormat& f = bmp_->Format;
    if (f.Bits > 8) return 0;
    uint32_t index = (c & 0xFFFF) & ((1u << f.Bits) - 1);
    if (values_) return index;
    return index < f.Palette.size() ? f.Palette[index] : 0;
  }
  return FromPixel(ColorToPixel(PlainColor(c, dc)));
}

uint32_t TSurfaceLock::FromPixel(uint32_t pixel) const {
  if (direct_) return pixel;
  if (values_) return PixelToValue(bmp_->Format, pixel);
  return RealizePixel(bmp_->Format, pixel) & 0xFFFFFFu;
}

void FillPixels(uint32_t* d, uint32_t value, int n) {
  if (n <= 0) return;
  if ((value & 0xFF) * 0x01010101u == value) {
    std::memset(d, int(value & 0xFF), size_t(n) * 4);
    return;
  }
  // The library's wide fill is vectorised; wchar_t is 32 bits here.
  static_assert(sizeof(wchar_t) == 4);
  std::wmemset(reinterpret_cast<wchar_t*>(d), static_cast<wchar_t>(value), size_t(n));
}

COLORREF PlainColor(COLORREF c, const TGdiDC* dc) {
  switch (c >> 24) {
    case 0x01: {
      size_t index = c & 0xFFFF;
      if (dc)
        if (auto pal = GdiGetAs<TGdiPalette>(dc->S.Palette, OBJ_PAL)) {
          if (pal->Entries.empty()) return 0;
          const PALETTEENTRY& e = pal->Entries[index < pal->Entries.size() ? index : 0];
          return RGB(e.peRed, e.peGreen, e.peBlue);
        }
      uint32_t p = DefaultPalette(8)[index & 0xFF];
      return PixelToColor(p);
    }
    default:
      return c & 0xFFFFFFu;
  }
}

// ---- Brushes ------------------------------------------------------------

namespace {

// 8x8 hatch patterns, one byte per row, most significant bit leftmost.
constexpr uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

}  // namespace

void TBrushFill::RowAt(int x, int y, int n, uint32_t* out) const {
  if (Solid) {
    FillPixels(out, Color, n);
    return;
  }
  int py = (y - OrgY) % Height;
  if (py < 0) py += Height;
  const uint32_t* row = Pixels.data() + size_t(py) * Width;
  int px = (x - OrgX) % Width;
  if (px < 0) px += Width;
  for (int i = 0; i < n; ++i) {
    out[i] = row[px];
    if (++px == Width) px = 0;
  }
}

TBrushFill SolidFill(uint32_t pixel) {
  TBrushFill f;
  f.Null = false;
  f.Solid = true;
  f.Color = pixel;
  return f;
}

TBrushFill RealizeBrush(TGdiDC* dc, const TGdiBrush* brush, const TSurfaceLock& lock, bool honourBkMode) {
  TBrushFill f;
  if (!brush || brush->Style == BS_NULL) return f;
  f.Null = false;
  f.OrgX = dc->S.BrushOrg.X + dc->DeviceOrigin.X;
  f.OrgY = dc->S.BrushOrg.Y + dc->DeviceOrigin.Y;
  switch (brush->Style) {
    case BS_SOLID:
      f.Color = lock.Realize(brush->DCBrush ? dc->S.DCBrushColor : brush->Color, dc);
      return f;
    case BS_HATCHED: {
      f.Solid = false;
      f.Width = f.Height = 8;
      uint32_t fg = lock.Realize(brush->Color, dc), bg = lock.Realize(dc->S.BkColor, dc);
      bool transparent = honourBkMode && dc->S.BkMode == TRANSPARENT;
      f.Pixels.resize(64);
      if (transparent) f.Mask.resize(64);
      int h = std::clamp(brush->Hatch, 0, 5);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          bool on = (kHatch[h][y] >> (7 - x)) & 1;
          f.Pixels[size_t(y) * 8 + x] = on ? fg : bg;
          if (transparent) f.Mask[size_t(y) * 8 + x] = on;
        }
      return f;
    }
    default: {
      if (!brush->Pattern || brush->Pattern->Width <= 0 || brush->Pattern->Height <= 0) {
        f.Null = true;
        return f;
      }
      const TPatternImage& p = *brush->Pattern;
      f.Solid = false;
      f.Width = p.Width;
      f.Height = p.Height;
      f.Pixels.resize(p.Pixels.size());
      if (p.Mono) {
        uint32_t fg = lock.Realize(dc->S.TextColor, dc), bg = lock.Realize(dc->S.BkColor, dc);
        for (size_t i = 0; i < p.Pixels.size(); ++i) f.Pixels[i] = p.Pixels[i] ? bg : fg;
      } else if (p.PaletteIndexes) {
        std::vector<uint32_t> pal = GdiPalettePixels(dc);
        const std::vector<uint32_t>& from = pal.empty() ? DefaultPalette(8) : pal;
        for (size_t i = 0; i < p.Pixels.size(); ++i)
          f.Pixels[i] = lock.FromPixel(from[p.Pixels[i] < from.size() ? p.Pixels[i] : 0]);
      } else {
        for (size_t i = 0; i < p.Pixels.size(); ++i) f.Pixels[i] = lock.FromPixel(p.Pixels[i]);
      }
      return f;
    }
  }
}

COLORREF PenColor(TGdiDC* dc, TGdiPen* pen) { return pen->DCPen ? dc->S.DCPenColor : pen->Color; }

// ---- Binary raster operations -------------------------------------------

namespace {

inline uint32_t Rop2(int table, uint32_t p, uint32_t d) {
  uint32_t r = 0;
  if (table & 1) r |= ~p & ~d;
  if (table & 2) r |= ~p & d;
  if (table & 4) r |= p & ~d;
  if (table & 8) r |= p & d;
  return r;
}

}  // namespace

void Rop2Span(uint32_t* row, int y, int x0, int x1, const TBrushFill& fill, int rop2) {
  if (x0 >= x1 || fill.Null || rop2 == R2_NOP) return;
  // The operations work on every bit of the value, the fourth byte of a
  // 32-bit pixel included; the pen or brush itself has 0 there.
  if (fill.Solid) {
    uint32_t p = fill.Color;
    uint32_t* d = row + x0;
    int n = x1 - x0;
    switch (rop2) {
      case R2_COPYPEN: FillPixels(d, p, n); return;
      case R2_BLACK: FillPixels(d, 0u, n); return;
      case R2_WHITE: FillPixels(d, ~0u, n); return;
      case R2_NOTCOPYPEN: FillPixels(d, ~p, n); return;
      case R2_XORPEN:
        for (int i = 0; i < n; ++i) d[i] ^= p;
        return;
      case R2_NOT:
        for (int i = 0; i < n; ++i) d[i] = ~d[i];
        return;
      default: {
        int t = rop2 - 1;
        for (int i = 0; i < n; ++i) d[i] = Rop2(t, p, d[i]);
        return;
      }
    }
  }
  int t = rop2 - 1;
  for (int x = x0; x < x1; ++x) {
    if (!fill.Drawn(x, y)) continue;
    uint32_t p = fill.At(x, y);
    row[x] = rop2 == R2_COPYPEN ? p : Rop2(t, p, row[x]);
  }
}

void PaintRows(TSurfaceLock& lock, const TRegion& clip, const TSpanRows& rows, const TBrushFill& fill, int rop2) {
  if (fill.Null || rop2 == R2_NOP) return;
  const RECT& box = clip.Box();
  // A clip of one rectangle (the usual case) only trims the spans.
  const bool plain = clip.Rects().size() == 1;
  for (size_t i = 0; i < rows.Rows.size(); ++i) {
    int y = rows.Top + static_cast<int>(i);
    if (y < box.Top || y >= box.Bottom) continue;
    uint32_t* row = lock.Row(y);
    for (const auto& s : rows.Rows[i]) {
      if (plain)
        Rop2Span(row, y, std::max(s.first, box.Left), std::min(s.second, box.Right), fill, rop2);
      else
        clip.ForEachSpan(y, s.first, s.second, [&](int a, int b) { Rop2Span(row, y, a, b, fill, rop2); });
    }
  }
}

bool RowsBounds(const TSpanRows& rows, const TRegion& clip, int& top, int& bottom) {
  const RECT& box = clip.Box();
  top = INT32_MAX;
  bottom = INT32_MIN;
  for (size_t i = 0; i < rows.Rows.size(); ++i) {
    if (rows.Rows[i].empty()) continue;
    int y = rows.Top + static_cast<int>(i);
    top = std::min(top, y);
    bottom = std::max(bottom, y + 1);
  }
  top = std::max(top, box.Top);
  bottom = std::min(bottom, box.Bottom);
  return top < bottom;
}

// ---- Ternary raster operations ------------------------------------------

namespace {

// Bit i of the operation index is the result for pattern = bit 2 of i,
// source = bit 1 and destination = bit 0.
template <int R, class T>
inline T Eval(T P, T S, T D) {
  T r = 0;
  if constexpr ((R & 0x01) != 0) r |= ~P & ~S & ~D;
  if constexpr ((R & 0x02) != 0) r |= ~P & ~S & D;
  if constexpr ((R & 0x04) != 0) r |= ~P & S & ~D;
  if constexpr ((R & 0x08) != 0) r |= ~P & S & D;
  if constexpr ((R & 0x10) != 0) r |= P & ~S & ~D;
  if constexpr ((R & 0x20) != 0) r |= P & ~S & D;
  if constexpr ((R & 0x40) != 0) r |= P & S & ~D;
  if constexpr ((R & 0x80) != 0) r |= P & S & D;
  return r;
}

// Two pixels at a time as one 64-bit word: the operation is bitwise.
template <int R>
void RopRow(uint32_t* d, const uint32_t* s, const uint32_t* p, int n) {
  constexpr bool useS = RopUsesSource(R), useP = RopUsesPattern(R);
  int i = 0;
  for (; i + 2 <= n; i += 2) {
    uint64_t S = 0, P = 0, D;
    if constexpr (useS) std::memcpy(&S, s + i, 8);
    if constexpr (useP) std::memcpy(&P, p + i, 8);
    std::memcpy(&D, d + i, 8);
    D = Eval<R, uint64_t>(P, S, D);
    std::memcpy(d + i, &D, 8);
  }
  for (; i < n; ++i) {
    uint32_t S = 0, P = 0;
    if constexpr (useS) S = s[i];
    if constexpr (useP) P = p[i];
    d[i] = Eval<R, uint32_t>(P, S, d[i]);
  }
}

void CopyRow(uint32_t* d, const uint32_t* s, const uint32_t*, int n) { std::memcpy(d, s, size_t(n) * 4); }
void PatCopyRow(uint32_t* d, const uint32_t*, const uint32_t* p, int n) { std::memcpy(d, p, size_t(n) * 4); }

template <size_t... I>
constexpr std::array<TRop3Row, 256> MakeRopTable(std::index_sequence<I...>) {
  return {&RopRow<static_cast<int>(I)>...};
}

const std::array<TRop3Row, 256> kRopTable = [] {
  auto t = MakeRopTable(std::make_index_sequence<256>());
  t[0xCC] = &CopyRow;
  t[0xF0] = &PatCopyRow;
  return t;
}();

}  // namespace

TRop3Row Rop3Row(uint8_t rop) { return kRopTable[rop]; }

void PatBltRect(TGdiDC* dc, const RECT& r, uint8_t rop, TGdiBrush* brush) {
  if (r.Left >= r.Right || r.Top >= r.Bottom) return;
  PatBltRegion(dc, TRegion(r), rop, brush);
}

void PatBltRegion(TGdiDC* dc, const TRegion& areaIn, uint8_t rop, TGdiBrush* brush) {
  auto bmp = dc->Target();
  if (!bmp) return;
  TRegion area = TRegion::Combine(areaIn, dc->EffectiveClip(), RGN_AND);
  if (area.IsEmpty()) return;
  GdiAccumulateBounds(dc, area.Box());
  TSurfaceLock lock(bmp, area.Box().Top, area.Box().Bottom, TLockMode::Values);
  TBrushFill fill;
  bool useP = RopUsesPattern(rop);
  if (useP) {
    fill = RealizeBrush(dc, brush, lock, true);
    // A null brush draws nothing where the pattern matters.
    if (fill.Null) return;
  }
  TRop3Row fn = Rop3Row(rop);
  std::vector<uint32_t> pat, saved;
  for (const RECT& c : area.Rects()) {
    int n = c.Right - c.Left;
    if (useP && fill.Solid) {
      if (rop == 0xF0) {
        for (int y = c.Top; y < c.Bottom; ++y) FillPixels(lock.Row(y) + c.Left, fill.Color, n);
        continue;
      }
      pat.assign(size_t(n), fill.Color);
    } else if (useP) {
      pat.resize(size_t(n));
    }
    for (int y = c.Top; y < c.Bottom; ++y) {
      uint32_t* d = lock.Row(y) + c.Left;
      if (useP && !fill.Solid) fill.RowAt(c.Left, y, n, pat.data());
      if (!fill.Mask.empty()) saved.assign(d, d + n);
      fn(d, nullptr, pat.data(), n);
      if (!fill.Mask.empty())
        for (int i = 0; i < n; ++i)
          if (!fill.Drawn(c.Left + i, y)) d[i] = saved[size_t(i)];
    }
  }
}

RECT DrawWindow(TGdiDC* dc) {
  const RECT& box = dc->EffectiveClip().Box();
  return RECT{box.Left - 1, box.Top - 1, box.Right + 1, box.Bottom + 1};
}

TRegion LogicalRectToTarget(TGdiDC* dc, const RECT& r) {
  // Corners held inside the range of int, however far out or scaled up.
  if (dc->Simple()) {
    POINT o = dc->Offset();
    return TRegion(RECT{ClampInt(int64_t(r.Left) + o.X), ClampInt(int64_t(r.Top) + o.Y), ClampInt(int64_t(r.Right) + o.X),
                        ClampInt(int64_t(r.Bottom) + o.Y)});
  }
  const TXform& m = dc->ToTarget();
  auto map = [&](double x, double y) { return TPointF{x * m.M11 + y * m.M21 + m.Dx, x * m.M12 + y * m.M22 + m.Dy}; };
  if (m.M12 == 0 && m.M21 == 0) {
    TPointF a = map(r.Left, r.Top), b = map(r.Right, r.Bottom);
    int l = RoundInt(a.X), t = RoundInt(a.Y), rr = RoundInt(b.X), bb = RoundInt(b.Y);
    return TRegion(dc->FixMirroredRect(RECT{std::min(l, rr), std::min(t, bb), std::max(l, rr), std::max(t, bb)}));
  }
  std::vector<std::vector<TPointF>> poly{
      {map(r.Left, r.Top), map(r.Right, r.Top), map(r.Right, r.Bottom), map(r.Left, r.Bottom)}};
  return PolygonRows(poly, ALTERNATE, DrawWindow(dc), TPixelSample::Centre).ToRegion();
}

}  // namespace rtl::detail
