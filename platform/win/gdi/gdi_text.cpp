// Text output and measurement: TextOut, ExtTextOut, TabbedTextOut and the
// extent functions, with alignment, escapement, character extra and
// justification.
#include <numbers>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/backend/font_backend.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi_metafile.h"
#include "platform/win/gdi/gdi_int_range.h"
#include "platform/win/gdi/gdi_raster.h"
#include "platform/win/gdi/gdi_text.h"

namespace rtl::detail {

namespace {

// Rows of a glyph too large to be made whole are made at most this many
// pixels at a time.
constexpr int kGlyphBandPixels = 1 << 20;

// A target coordinate as a whole pixel; far past any surface it is held
// where no glyph box around it can reach one.
int64_t TextPixelOf(double v) {
  constexpr double kFar = 1e15;
  if (!(v > -kFar)) return int64_t(-kFar);  // NaN too
  return v < kFar ? static_cast<int64_t>(std::floor(v + 0.5)) : int64_t(kFar);
}

// Per-character logical advances of a string as output lays it out:
// explicit dx values, or the font's advances with character extra and the
// justification's break extra.
std::vector<int> LayoutAdvances(TGdiDC* dc, TRealFont& f, const std::vector<TTextChar>& chars, const INT* dx,
                                bool pdy) {
  std::vector<int> adv;
  if (dx) {
    adv.resize(chars.size());
    size_t unit = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
      int64_t sum = 0;
      for (int k = 0; k < chars[i].Units; ++k, ++unit) sum += pdy ? dx[2 * unit] : dx[unit];
      adv[i] = ClampInt(sum);
    }
    return adv;
  }
  CharAdvances(dc, f, chars, adv);
  if (dc->S.BreakExtra && dc->S.BreakCount > 0) {
    int each = dc->S.BreakExtra / dc->S.BreakCount, rest = dc->S.BreakExtra % dc->S.BreakCount;
    int seen = 0;
    for (size_t i = 0; i < chars.size(); ++i)
      if (chars[i].Code == f.Tm.tmBreakChar) {
        adv[i] += each + (seen < rest ? 1 : 0);
        ++seen;
      }
  }
  return adv;
}

struct TFrame {
  double Ox, Oy;  // reference point, logical
  double Cos, Sin;
  // A point of the text's frame (x along the baseline, y down) in logical units.
  TPointF At(double x, double y) const { return TPointF{Ox + x * Cos + y * Sin, Oy - x * Sin + y * Cos}; }
};

TPointF ToTarget(TGdiDC* dc, TPointF p) {
  const TXform& m = dc->ToTarget();
  return TPointF{p.X * m.M11 + p.Y * m.M21 + m.Dx, p.X * m.M12 + p.Y * m.M22 + m.Dy};
}

// A rectangle of the text frame, in target pixels; turned, only its rows
// inside DrawWindow are made (it is for drawing: a huge font's box may be
// millions of rows tall).
TRegion FrameRect(TGdiDC* dc, const TFrame& fr, double l, double t, double r, double b) {
  std::vector<TPointF> poly{ToTarget(dc, fr.At(l, t)), ToTarget(dc, fr.At(r, t)), ToTarget(dc, fr.At(r, b)),
                            ToTarget(dc, fr.At(l, b))};
  bool axis = std::fabs(poly[0].Y - poly[1].Y) < 1e-9 && std::fabs(poly[0].X - poly[3].X) < 1e-9;
  if (axis) {
    int x0 = RoundInt(poly[0].X), x1 = RoundInt(poly[2].X), y0 = RoundInt(poly[0].Y), y1 = RoundInt(poly[2].Y);
    return TRegion(RECT{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)});
  }
  return PolygonRows({poly}, ALTERNATE, DrawWindow(dc), TPixelSample::Centre).ToRegion();
}

void FillSolid(TGdiDC* dc, const TRegion& area, COLORREF color) {
  TGdiBrush b;
  b.Color = color;
  PatBltRegion(dc, area, 0xF0, &b);
}

// Blends a mask whose top-left pixel lands on target pixel (left, top),
// which the caller has seen to lie near the clip box.
// Flipped, the glyph is drawn as its mirror image.
void Composite(TSurfaceLock& lock, const TRegion& clip, const rtl::backend::TGlyph& g, int left, int top,
               uint32_t color, bool flip = false) {
  if (g.Width == 0) return;
  RECT box{left, top, left + g.Width, top + g.Height};
  bool mono = lock.Mono();
  uint32_t cr = (color >> 16) & 0xFF, cg = (color >> 8) & 0xFF, cb = color & 0xFF;
  clip.ForEachIn(box, [&](const RECT& c) {
    for (int y = c.Top; y < c.Bottom; ++y) {
      uint32_t* d = lock.Row(y);
      const uint8_t* cov = g.Coverage.data() + size_t(y - box.Top) * g.Width;
      for (int x = c.Left; x < c.Right; ++x) {
        uint32_t a = cov[flip ? box.Right - 1 - x : x - box.Left];
        if (!a) continue;
        if (a == 255 || mono) {
          if (a >= 128) d[x] = color;
          continue;
        }
        uint32_t v = d[x], ia = 255 - a;
        uint32_t r = (((v >> 16) & 0xFF) * ia + cr * a + 127) / 255;
        uint32_t gg = (((v >> 8) & 0xFF) * ia + cg * a + 127) / 255;
        uint32_t b = ((v & 0xFF) * ia + cb * a + 127) / 255;
        d[x] = (r << 16) | (gg << 8) | b;
      }
    }
  });
}

}  // namespace

BOOL TextOutCore(TGdiDC* dc, int x, int y, UINT options, const RECT* rect, const char16_t* text, int count,
                 const INT* dx) {
  TRealFont f;
  if (!RealizeFont(dc, f)) return FALSE;
  if (count < 0 || (count > 0 && !text)) return FALSE;
  if ((options & ETO_OPAQUE) && rect) {
    RECT r{std::min(rect->Left, rect->Right), std::min(rect->Top, rect->Bottom), std::max(rect->Left, rect->Right),
           std::max(rect->Top, rect->Bottom)};
    FillSolid(dc, LogicalRectToTarget(dc, r), dc->S.BkColor);
  }
  std::vector<TTextChar> chars = SplitText(text, count);
  std::vector<int> adv = LayoutAdvances(dc, f, chars, dx, (options & ETO_PDY) != 0);
  int64_t width = 0;
  for (int a : adv) width += a;

  UINT align = dc->S.TextAlign;
  POINT ref = (align & TA_UPDATECP) ? dc->S.CurPos : POINT(x, y);
  double esc = f.Font->Log.lfEscapement * std::numbers::pi / 1800;
  TFrame fr{double(ref.X), double(ref.Y), std::cos(esc), std::sin(esc)};
  double start = 0;
  switch (align & TA_CENTER) {
    case TA_RIGHT: start = double(-width); break;
    case TA_CENTER: start = double(-width / 2); break;
    default: break;
  }
  double base = 0;  // baseline, frame y
  switch (align & TA_BASELINE) {
    case TA_BOTTOM: base = -f.Tm.tmDescent; break;
    case TA_BASELINE: base = 0; break;
    default: base = f.Tm.tmAscent; break;
  }
  if (align & TA_UPDATECP) {
    double move = (align & TA_CENTER) == TA_RIGHT ? double(-width) : (align & TA_CENTER) == TA_CENTER ? 0 : double(width);
    TPointF cp = fr.At(move, 0);
    dc->S.CurPos = POINT(ClampWhole(std::round(cp.X)), ClampWhole(std::round(cp.Y)));
  }

  if (dc->Type == OBJ_ENHMETADC) {
    // Recorded as laid out: one advance per UTF-16 unit.
    std::vector<int> units;
    units.reserve(size_t(count));
    for (size_t i = 0; i < chars.size(); ++i)
      for (int k = 0; k < chars[i].Units; ++k) units.push_back(k == 0 ? adv[i] : 0);
    EmfRecordText(dc, ref, options, rect, text, count, units, ClampInt(width), f.Tm.tmAscent, f.Tm.tmDescent);
    return TRUE;
  }
  auto bmp = dc->Target();
  if (!bmp) return TRUE;
  if (dc->S.BkMode == OPAQUE && !(options & ETO_OPAQUE) && !chars.empty())
    FillSolid(dc, FrameRect(dc, fr, start, base - f.Tm.tmAscent, start + double(width), base + f.Tm.tmDescent),
              dc->S.BkColor);
  if (chars.empty()) return TRUE;

  TRegion clip = dc->EffectiveClip();
  if ((options & ETO_CLIPPED) && rect) clip.Intersect(LogicalRectToTarget(dc, *rect));
  if (clip.IsEmpty()) return TRUE;

  // Where each glyph lands on the target. Only glyphs whose box meets the
  // clip box are kept, their boxes cut to it.
  const RECT cb = clip.Box();
  struct TPlaced {
    char32_t Code;
    const rtl::backend::TGlyph* Glyph;  // null: made a part at a time
    int64_t X, Y;                        // pen position, target pixels
    RECT Box;                            // inside the clip box
  };
  // Mirrored, the text is the mirror image of the same text left to right,
  // its glyphs too, as bitmaps are; with the bitmaps' orientation preserved
  // it takes its mirrored place but reads as left to right. Turned text is
  // placed point by point.
  const TXform& m = dc->ToTarget();
  const bool level = dc->Mirrored() && fr.Sin == 0 && m.M12 == 0 && m.M21 == 0;
  const bool readable = level && (dc->S.Layout & LAYOUT_BITMAPORIENTATIONPRESERVED);
  const bool flip = level && !readable;
  // Readable, pens run right from where the mirrored text begins.
  const int64_t runLeft = TextPixelOf(ToTarget(dc, fr.At(start + double(width), base)).X) + 1;
  const int64_t runStart = TextPixelOf(ToTarget(dc, fr.At(start, base)).X);
  std::vector<TPlaced> placed;
  placed.reserve(chars.size());
  RECT inked{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  double pen = start, penY = 0;
  size_t unit = 0;
  for (size_t i = 0; i < chars.size(); ++i) {
    TPointF p = ToTarget(dc, fr.At(pen, base + penY));
    int64_t px = TextPixelOf(p.X), py = TextPixelOf(p.Y);
    const rtl::backend::TGlyph* g = f.Face->Glyph(chars[i].Code, f.Angle);
    rtl::backend::TGlyphBox b = g ? rtl::backend::TGlyphBox{g->Left, g->Top, g->Left + g->Width, g->Top + g->Height}
                                  : f.Face->GlyphBounds(chars[i].Code, f.Angle);
    if (readable) px = runLeft + (runStart - px);
    // Flipped about the pen's pixel, the box [L, R) becomes [1 - R, 1 - L);
    // as a pen position for the unflipped box that is 1 - L - R further.
    if (flip) px += 1 - int64_t(b.Left) - b.Right;
    if (!b.IsEmpty()) {
      RECT box{ClampInt(std::max<int64_t>(px + b.Left, cb.Left)), ClampInt(std::max<int64_t>(py + b.Top, cb.Top)),
               ClampInt(std::min<int64_t>(px + b.Right, cb.Right)),
               ClampInt(std::min<int64_t>(py + b.Bottom, cb.Bottom))};
      if (box.Left < box.Right && box.Top < box.Bottom) {
        placed.push_back(TPlaced{chars[i].Code, g, px, py, box});
        inked = RECT{std::min(inked.Left, box.Left), std::min(inked.Top, box.Top), std::max(inked.Right, box.Right),
                     std::max(inked.Bottom, box.Bottom)};
      }
    }
    pen += adv[i];
    if (dx && (options & ETO_PDY)) {
      for (int k = 0; k < chars[i].Units; ++k) penY += dx[2 * (unit + size_t(k)) + 1];
    }
    unit += size_t(chars[i].Units);
  }
  if (!placed.empty()) {
    if (dc->BoundsOn) GdiAccumulateBounds(dc, inked);
    TSurfaceLock lock(bmp, inked.Top, inked.Bottom);
    uint32_t color = lock.Realize(dc->S.TextColor, dc);
    for (const TPlaced& p : placed) {
      if (p.Glyph) {
        Composite(lock, clip, *p.Glyph, static_cast<int>(p.X + p.Glyph->Left), static_cast<int>(p.Y + p.Glyph->Top),
                  color, flip);
        continue;
      }
      // A glyph too large to be made whole is made only inside the clip
      // box, a band of rows at a time. The box lies within the glyph's
      // bounds, so its corners relative to the pen are ints.
      const int rows = std::max(1, kGlyphBandPixels / (p.Box.Right - p.Box.Left));
      for (int y = p.Box.Top; y < p.Box.Bottom; y += std::min(rows, p.Box.Bottom - y)) {
        int yEnd = y + std::min(rows, p.Box.Bottom - y);
        rtl::backend::TGlyphBox window{static_cast<int>(p.Box.Left - p.X), static_cast<int>(y - p.Y),
                                       static_cast<int>(p.Box.Right - p.X), static_cast<int>(yEnd - p.Y)};
        rtl::backend::TGlyph part = f.Face->GlyphPart(p.Code, f.Angle, window);
        Composite(lock, clip, part, static_cast<int>(p.X + part.Left), static_cast<int>(p.Y + part.Top), color);
      }
    }
  }
  // Underline and strike-out are bars along the baseline.
  const auto& fm = f.Face->Metrics();
  double thick = std::max(1.0, fm.LineThickness / f.Scale);
  std::vector<TRegion> bars;
  if (f.Font->Log.lfUnderline) {
    double uy = base + fm.UnderlinePos / f.Scale;
    bars.push_back(FrameRect(dc, fr, start, uy, start + double(width), uy + thick));
  }
  if (f.Font->Log.lfStrikeOut) {
    double sy = base - fm.StrikeOutPos / f.Scale;
    bars.push_back(FrameRect(dc, fr, start, sy, start + double(width), sy + thick));
  }
  for (TRegion& r : bars) {
    r.Intersect(clip);
    FillSolid(dc, r, dc->S.TextColor);
  }
  return TRUE;
}

}  // namespace rtl::detail

using namespace rtl::detail;

namespace {

// Byte length of each wide unit of UTF-8 text, for the per-byte arrays of
// the A functions.
std::vector<int> UnitBytes(const WideString& w) {
  std::vector<int> out;
  for (size_t i = 0; i < w.size(); ++i) {
    char16_t c = w[i];
    bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF;
    int bytes = static_cast<int>(WideToAnsi(w.substr(i, pair ? 2 : 1)).size());
    if (pair) {
      out.push_back(bytes);
      out.push_back(0);
      ++i;
    } else {
      out.push_back(bytes);
    }
  }
  return out;
}

struct TExtent {
  int Width = 0;
  int Height = 0;
  std::vector<int> Partial;  // per UTF-16 unit, cumulative
};

bool Measure(HDC hdc, const char16_t* s, int n, TExtent& e) {
  auto dc = GdiDC(hdc);
  TRealFont f;
  if (!dc || n < 0 || (n && !s) || !RealizeFont(dc, f)) return false;
  std::vector<TTextChar> chars = SplitText(s, n);
  std::vector<int> adv = LayoutAdvances(dc, f, chars, nullptr, false);
  e.Partial.clear();
  int64_t x = 0;
  for (size_t i = 0; i < chars.size(); ++i) {
    x += adv[i];
    for (int k = 0; k < chars[i].Units; ++k) e.Partial.push_back(ClampInt(x));
  }
  e.Width = ClampInt(x);
  e.Height = f.Tm.tmHeight;
  return true;
}

// Next tab stop after x (relative to the tab origin). Wide, as a huge
// font's line or a far tab stop may pass the range of int.
int64_t NextTab(int64_t x, int tabCount, const INT* stops, int64_t defaultTab) {
  auto stop = [&](int i) { return std::abs(int64_t(stops[i])); };
  if (tabCount <= 0 || !stops) return (x / defaultTab + 1) * defaultTab;
  if (tabCount == 1) {
    int64_t d = stop(0);
    if (d <= 0) d = defaultTab;
    return (x / d + 1) * d;
  }
  for (int i = 0; i < tabCount; ++i)
    if (stop(i) > x) return stop(i);
  int64_t last = stop(tabCount - 1), step = std::max<int64_t>(1, last - stop(tabCount - 2));
  return last + ((x - last) / step + 1) * step;
}

LONG Tabbed(HDC hdc, int x, int y, const char16_t* s, int n, int tabCount, const INT* stops, int origin, bool draw) {
  auto dc = GdiDC(hdc);
  TRealFont f;
  if (!dc || n < 0 || (n && !s) || !RealizeFont(dc, f)) return 0;
  UINT align = dc->S.TextAlign;
  POINT start = (draw && (align & TA_UPDATECP)) ? dc->S.CurPos : POINT(x, y);
  int64_t defaultTab = 8 * std::max<int64_t>(1, f.Tm.tmAveCharWidth);
  // Lay out the segments between tabs.
  struct TSeg {
    int From, Count, X;
  };
  std::vector<TSeg> segs;
  int64_t pos = int64_t(start.X) - origin;
  int segStart = 0;
  for (int i = 0; i <= n; ++i) {
    if (i == n || s[i] == u'\t') {
      TExtent e;
      Measure(hdc, s + segStart, i - segStart, e);
      segs.push_back(TSeg{segStart, i - segStart, ClampInt(pos + origin)});
      pos = ClampInt(pos + e.Width);
      if (i < n) pos = std::min<int64_t>(NextTab(pos, tabCount, stops, defaultTab), INT32_MAX);
      segStart = i + 1;
    }
  }
  int width = ClampInt(pos + origin - start.X);
  if (draw) {
    UINT saved = dc->S.TextAlign;
    int savedMode = dc->S.BkMode;
    if (savedMode == OPAQUE) {
      RECT r{start.X, start.Y, ClampInt(int64_t(start.X) + width), ClampInt(int64_t(start.Y) + f.Tm.tmHeight)};
      TGdiBrush b;
      b.Color = dc->S.BkColor;
      PatBltRegion(dc, LogicalRectToTarget(dc, r), 0xF0, &b);
      dc->S.BkMode = TRANSPARENT;
    }
    dc->S.TextAlign = saved & ~TA_UPDATECP;
    for (const TSeg& g : segs) TextOutCore(dc, g.X, start.Y, 0, nullptr, s + g.From, g.Count, nullptr);
    dc->S.TextAlign = saved;
    dc->S.BkMode = savedMode;
    if (saved & TA_UPDATECP) dc->S.CurPos.X = ClampInt(int64_t(start.X) + width);
  }
  // The width keeps its low 16 bits only, as the packed result has no more.
  return MAKELONG(std::max(width, 0) & 0xFFFF, std::clamp<int>(f.Tm.tmHeight, 0, 0xFFFF));
}

}  // namespace

UINT SetTextAlign(HDC hdc, UINT align) {
  auto dc = GdiDC(hdc);
  if (!dc) return GDI_ERROR;
  UINT old = dc->S.TextAlign;
  dc->S.TextAlign = align & TA_MASK;
  return old;
}

UINT GetTextAlign(HDC hdc) {
  auto dc = GdiDC(hdc);
  return dc ? dc->S.TextAlign : GDI_ERROR;
}

int SetTextCharacterExtra(HDC hdc, int extra) {
  auto dc = GdiDC(hdc);
  if (!dc) return static_cast<int>(0x80000000u);
  int old = dc->S.CharExtra;
  dc->S.CharExtra = extra;
  return old;
}

int GetTextCharacterExtra(HDC hdc) {
  auto dc = GdiDC(hdc);
  return dc ? dc->S.CharExtra : static_cast<int>(0x80000000u);
}

BOOL SetTextJustification(HDC hdc, int breakExtra, int breakCount) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  dc->S.BreakExtra = breakCount > 0 ? breakExtra : 0;
  dc->S.BreakCount = breakCount > 0 ? breakCount : 0;
  return TRUE;
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  return TextOutCore(dc, x, y, options, rect, text, static_cast<int>(count), dx);
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count) {
  return ExtTextOutW(hdc, x, y, 0, nullptr, text, static_cast<UINT>(std::max(count, 0)), nullptr);
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count, const INT* dx) {
  WideString w = AnsiText(text, static_cast<int>(count));
  std::vector<INT> wdx;
  if (dx) {
    // Per-byte advances become per-unit advances.
    std::vector<int> bytes = UnitBytes(w);
    bool pdy = (options & ETO_PDY) != 0;
    size_t b = 0;
    for (int n : bytes) {
      int sx = 0, sy = 0;
      for (int k = 0; k < n; ++k, ++b) {
        sx += pdy ? dx[2 * b] : dx[b];
        if (pdy) sy += dx[2 * b + 1];
      }
      wdx.push_back(sx);
      if (pdy) wdx.push_back(sy);
    }
  }
  return ExtTextOutW(hdc, x, y, options, rect, w.c_str(), static_cast<UINT>(w.size()), dx ? wdx.data() : nullptr);
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int count) {
  return ExtTextOutA(hdc, x, y, 0, nullptr, text, static_cast<UINT>(std::max(count, 0)), nullptr);
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size) {
  TExtent e;
  if (!size || !Measure(hdc, text, count, e)) return FALSE;
  *size = SIZE(e.Width, e.Height);
  return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, LPSIZE size) {
  if (count < 0) return FALSE;
  WideString w = AnsiText(text, count);
  return GetTextExtentPoint32W(hdc, w.c_str(), static_cast<int>(w.size()), size);
}

BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR text, int count, int maxExtent, INT* fit, INT* dx, LPSIZE size) {
  TExtent e;
  if (!size || !Measure(hdc, text, count, e)) return FALSE;
  *size = SIZE(e.Width, e.Height);
  if (fit) {
    int n = 0;
    while (n < count && e.Partial[size_t(n)] <= maxExtent) ++n;
    // A surrogate pair fits whole or not at all.
    if (n > 0 && n < count && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
    *fit = n;
  }
  if (dx) std::copy(e.Partial.begin(), e.Partial.end(), dx);
  return TRUE;
}

BOOL GetTextExtentExPointA(HDC hdc, LPCSTR text, int count, int maxExtent, INT* fit, INT* dx, LPSIZE size) {
  if (count < 0) return FALSE;
  WideString w = AnsiText(text, count);
  TExtent e;
  if (!size || !Measure(hdc, w.c_str(), static_cast<int>(w.size()), e)) return FALSE;
  *size = SIZE(e.Width, e.Height);
  std::vector<int> bytes = UnitBytes(w);
  int byteFit = 0, b = 0;
  bool fitting = true;
  for (size_t u = 0; u < bytes.size(); ++u) {
    if (bytes[u] == 0) continue;
    size_t last = (u + 1 < bytes.size() && bytes[u + 1] == 0) ? u + 1 : u;
    int ext = e.Partial[last];
    for (int k = 0; k < bytes[u]; ++k, ++b)
      if (dx) dx[b] = ext;
    if (fitting && ext <= maxExtent)
      byteFit += bytes[u];
    else
      fitting = false;
  }
  if (fit) *fit = byteFit;
  return TRUE;
}

LONG TabbedTextOutW(HDC hdc, int x, int y, LPCWSTR text, int count, int tabCount, const INT* tabStops, int tabOrigin) {
  return Tabbed(hdc, x, y, text, count, tabCount, tabStops, tabOrigin, true);
}

LONG TabbedTextOutA(HDC hdc, int x, int y, LPCSTR text, int count, int tabCount, const INT* tabStops, int tabOrigin) {
  WideString w = AnsiText(text, count);
  return Tabbed(hdc, x, y, w.c_str(), static_cast<int>(w.size()), tabCount, tabStops, tabOrigin, true);
}

DWORD GetTabbedTextExtentW(HDC hdc, LPCWSTR text, int count, int tabCount, const INT* tabStops) {
  return static_cast<DWORD>(Tabbed(hdc, 0, 0, text, count, tabCount, tabStops, 0, false));
}

DWORD GetTabbedTextExtentA(HDC hdc, LPCSTR text, int count, int tabCount, const INT* tabStops) {
  WideString w = AnsiText(text, count);
  return static_cast<DWORD>(Tabbed(hdc, 0, 0, w.c_str(), static_cast<int>(w.size()), tabCount, tabStops, 0, false));
}
