// The classic 3D drawing helpers: DrawEdge, DrawFrameControl,
// DrawFocusRect, DrawState and GrayString, in the system colours.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi_icons.h"
#include "platform/win/gdi/gdi_raster.h"

namespace rtl::detail {

namespace {

void Fill(HDC hdc, int l, int t, int r, int b, COLORREF c) {
  if (l >= r || t >= b) return;
  auto dc = GdiDC(hdc);
  TGdiBrush brush;
  brush.Color = c;
  PatBltRegion(dc, LogicalRectToTarget(dc, RECT{l, t, r, b}), 0xF0, &brush);
}

void Pixel(HDC hdc, int x, int y, COLORREF c) { Fill(hdc, x, y, x + 1, y + 1, c); }

struct TEdgeColours {
  COLORREF TopLeft, BottomRight;
};

// One border ring: left and top in one colour, right and bottom (which
// take the two far corners) in the other.
void Ring(HDC hdc, RECT& r, UINT flags, TEdgeColours c) {
  if (flags & BF_LEFT) Fill(hdc, r.Left, r.Top, r.Left + 1, r.Bottom - ((flags & BF_BOTTOM) ? 1 : 0), c.TopLeft);
  if (flags & BF_TOP) Fill(hdc, r.Left, r.Top, r.Right - ((flags & BF_RIGHT) ? 1 : 0), r.Top + 1, c.TopLeft);
  if (flags & BF_RIGHT) Fill(hdc, r.Right - 1, r.Top, r.Right, r.Bottom, c.BottomRight);
  if (flags & BF_BOTTOM) Fill(hdc, r.Left, r.Bottom - 1, r.Right, r.Bottom, c.BottomRight);
  if (flags & BF_LEFT) ++r.Left;
  if (flags & BF_TOP) ++r.Top;
  if (flags & BF_RIGHT) --r.Right;
  if (flags & BF_BOTTOM) --r.Bottom;
}

COLORREF Sys(int i) { return GetSysColor(i); }

TEdgeColours OuterColours(UINT edge, UINT flags) {
  if (flags & BF_MONO) return {Sys(COLOR_WINDOWFRAME), Sys(COLOR_WINDOWFRAME)};
  if (flags & BF_FLAT) return {Sys(COLOR_3DSHADOW), Sys(COLOR_3DSHADOW)};
  bool soft = (flags & BF_SOFT) != 0;
  if (edge & BDR_RAISEDOUTER) return {soft ? Sys(COLOR_3DHIGHLIGHT) : Sys(COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW)};
  return {soft ? Sys(COLOR_3DDKSHADOW) : Sys(COLOR_3DSHADOW), Sys(COLOR_3DHIGHLIGHT)};
}

TEdgeColours InnerColours(UINT edge, UINT flags) {
  if (flags & BF_MONO) return {Sys(COLOR_WINDOW), Sys(COLOR_WINDOW)};
  if (flags & BF_FLAT) return {Sys(COLOR_3DFACE), Sys(COLOR_3DFACE)};
  bool soft = (flags & BF_SOFT) != 0;
  if (edge & BDR_RAISEDINNER) return {soft ? Sys(COLOR_3DLIGHT) : Sys(COLOR_3DHIGHLIGHT), Sys(COLOR_3DSHADOW)};
  return {soft ? Sys(COLOR_3DSHADOW) : Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT)};
}

void Diagonal(HDC hdc, RECT& r, UINT edge, UINT flags) {
  // A line across the rectangle towards the named corner, outer border
  // then inner border beside it; BF_MIDDLE fills the triangle behind it.
  int w = r.Right - r.Left, h = r.Bottom - r.Top, n = std::min(w, h);
  bool toRight = flags & BF_RIGHT, toTop = flags & BF_TOP;
  auto line = [&](int offset, COLORREF c) {
    for (int i = 0; i < n - offset; ++i) {
      int x = toRight ? r.Left + offset + i : r.Right - 1 - offset - i;
      int y = toTop ? r.Bottom - 1 - i : r.Top + i;
      Pixel(hdc, x, y, c);
    }
  };
  bool faceUp = (toRight && toTop) || (!toRight && !toTop);
  if (edge & BDR_OUTER) {
    TEdgeColours c = OuterColours(edge, flags);
    line(0, faceUp ? c.BottomRight : c.TopLeft);
  }
  if (edge & BDR_INNER) {
    TEdgeColours c = InnerColours(edge, flags);
    line(1, faceUp ? c.BottomRight : c.TopLeft);
  }
  if (flags & BF_MIDDLE) {
    COLORREF face = Sys((flags & BF_MONO) ? COLOR_WINDOW : COLOR_3DFACE);
    for (int i = 0; i < n; ++i) {
      int y = toTop ? r.Bottom - 1 - i : r.Top + i;
      int reach = toRight ? r.Left + i : r.Right - 1 - i;
      if (toRight)
        Fill(hdc, r.Left, y, reach - 1, y + 1, face);
      else
        Fill(hdc, reach + 2, y, r.Right, y + 1, face);
    }
  }
}

// The 7x7 check mark, three pixels tall in each column.
const int kCheckTop[7] = {2, 3, 4, 3, 2, 1, 0};

void CheckMark(HDC hdc, int x, int y, int scale, COLORREF c) {
  for (int i = 0; i < 7; ++i) Fill(hdc, x + i * scale, y + kCheckTop[i] * scale, x + (i + 1) * scale, y + (kCheckTop[i] + 3) * scale, c);
}

// A 12x12 radio button: o = outer ring, i = inner ring, w = inside.
const char* const kRadio[12] = {"....oooo....", "..ooiiiioo..", ".oiiwwwwiio.", ".oiwwwwwwio.",
                                "oiwwwwwwwwio", "oiwwwwwwwwio", "oiwwwwwwwwio", "oiwwwwwwwwio",
                                ".oiwwwwwwio.", ".oiiwwwwiio.", "..ooiiiioo..", "....oooo...."};
const char* const kDot[4] = {".xx.", "xxxx", "xxxx", ".xx."};

void Radio(HDC hdc, const RECT& r, UINT state) {
  int size = std::min(r.Right - r.Left, r.Bottom - r.Top);
  int scale = std::max(1, size / 12);
  int x0 = r.Left + (r.Right - r.Left - 12 * scale) / 2, y0 = r.Top + (r.Bottom - r.Top - 12 * scale) / 2;
  bool mask = state & DFCS_BUTTONRADIOMASK, image = state & DFCS_BUTTONRADIOIMAGE;
  if (mask) Fill(hdc, r.Left, r.Top, r.Right, r.Bottom, RGB(255, 255, 255));
  if (image) Fill(hdc, r.Left, r.Top, r.Right, r.Bottom, RGB(0, 0, 0));
  bool flat = state & DFCS_FLAT, mono = state & DFCS_MONO;
  COLORREF inside = Sys((state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_3DFACE : COLOR_WINDOW);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      char k = kRadio[y][x];
      if (k == '.') continue;
      bool topLeft = x + y < 11;
      COLORREF c;
      if (mask) {
        c = RGB(0, 0, 0);
      } else if (k == 'w') {
        c = inside;
      } else if (k == 'o') {
        c = mono ? Sys(COLOR_WINDOWFRAME) : flat ? Sys(COLOR_3DSHADOW) : topLeft ? Sys(COLOR_3DSHADOW) : Sys(COLOR_3DHIGHLIGHT);
      } else {
        c = (mono || flat) ? inside : topLeft ? Sys(COLOR_3DDKSHADOW) : Sys(COLOR_3DLIGHT);
      }
      Fill(hdc, x0 + x * scale, y0 + y * scale, x0 + (x + 1) * scale, y0 + (y + 1) * scale, c);
    }
  if ((state & DFCS_CHECKED) && !mask) {
    COLORREF dot = Sys((state & DFCS_INACTIVE) ? COLOR_3DSHADOW : COLOR_WINDOWTEXT);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        if (kDot[y][x] == 'x')
          Fill(hdc, x0 + (4 + x) * scale, y0 + (4 + y) * scale, x0 + (5 + x) * scale, y0 + (5 + y) * scale, dot);
  }
}

void CheckBox(HDC hdc, const RECT& r, UINT state) {
  int size = std::min(r.Right - r.Left, r.Bottom - r.Top);
  int x0 = r.Left + (r.Right - r.Left - size) / 2, y0 = r.Top + (r.Bottom - r.Top - size) / 2;
  RECT box{x0, y0, x0 + size, y0 + size};
  if (state & DFCS_MONO) {
    Ring(hdc, box, BF_RECT, {Sys(COLOR_WINDOWFRAME), Sys(COLOR_WINDOWFRAME)});
  } else if (state & DFCS_FLAT) {
    Ring(hdc, box, BF_RECT, {Sys(COLOR_3DSHADOW), Sys(COLOR_3DSHADOW)});
  } else {
    DrawEdge(hdc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  }
  bool grey = (state & (DFCS_PUSHED | DFCS_INACTIVE)) || ((state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED));
  Fill(hdc, box.Left, box.Top, box.Right, box.Bottom, Sys(grey ? COLOR_3DFACE : COLOR_WINDOW));
  if (state & DFCS_CHECKED) {
    int inner = box.Right - box.Left;
    int scale = std::max(1, inner / 9);
    int mx = box.Left + (inner - 7 * scale) / 2, my = box.Top + (box.Bottom - box.Top - 7 * scale) / 2;
    COLORREF c = Sys((state & DFCS_INACTIVE) || (state & DFCS_BUTTON3STATE) ? COLOR_3DSHADOW : COLOR_WINDOWTEXT);
    CheckMark(hdc, mx, my, scale, c);
  }
}

// A push-button face; returns the content rectangle.
RECT ButtonFace(HDC hdc, const RECT& r, UINT state) {
  RECT rr = r;
  UINT flags = BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST;
  if (state & DFCS_FLAT) flags |= BF_FLAT;
  if (state & DFCS_MONO) flags |= BF_MONO;
  if (state & DFCS_PUSHED) {
    if (state & (DFCS_FLAT | DFCS_MONO)) {
      DrawEdge(hdc, &rr, EDGE_SUNKEN, flags);
    } else {
      // A pressed classic button: a dark frame, then a shadow frame.
      Ring(hdc, rr, BF_RECT, {Sys(COLOR_WINDOWFRAME), Sys(COLOR_WINDOWFRAME)});
      Ring(hdc, rr, BF_RECT, {Sys(COLOR_3DSHADOW), Sys(COLOR_3DSHADOW)});
      Fill(hdc, rr.Left, rr.Top, rr.Right, rr.Bottom, Sys(COLOR_3DFACE));
    }
  } else if (state & DFCS_CHECKED) {
    DrawEdge(hdc, &rr, EDGE_SUNKEN, flags & ~UINT(BF_MIDDLE));
    // A checked button shows a dithered face.
    auto dc = GdiDC(hdc);
    TGdiBrush dither;
    dither.Style = BS_PATTERN;
    auto pattern = std::make_shared<TPatternImage>();
    pattern->Width = pattern->Height = 2;
    uint32_t hi = ColorToPixel(Sys(COLOR_3DHIGHLIGHT)), face = ColorToPixel(Sys(COLOR_3DFACE));
    pattern->Pixels = {hi, face, face, hi};
    dither.Pattern = pattern;
    if (rr.Left < rr.Right && rr.Top < rr.Bottom) PatBltRegion(dc, LogicalRectToTarget(dc, rr), 0xF0, &dither);
  } else {
    DrawEdge(hdc, &rr, EDGE_RAISED, flags);
  }
  return rr;
}

// Draws a glyph (a function of colour and offset), embossed when inactive.
template <class F>
void Glyph(UINT state, F&& draw) {
  int shift = (state & DFCS_PUSHED) ? 1 : 0;
  if (state & DFCS_INACTIVE) {
    draw(Sys(COLOR_3DHIGHLIGHT), shift + 1);
    draw(Sys(COLOR_3DSHADOW), shift);
  } else {
    draw(Sys(COLOR_BTNTEXT), shift);
  }
}

// A filled arrow pointing in a direction (0 up, 1 down, 2 left, 3 right),
// centred in r with a base of `base` pixels.
void Arrow(HDC hdc, const RECT& r, int dir, int base, COLORREF c, int shift) {
  int h = (base + 1) / 2;
  int cx = (r.Left + r.Right) / 2 + shift, cy = (r.Top + r.Bottom) / 2 + shift;
  for (int i = 0; i < h; ++i) {
    int half = i;  // the tip is one pixel wide
    if (dir <= 1) {
      int y = dir == 0 ? cy - h / 2 + i : cy + (h - 1) / 2 - i;
      Fill(hdc, cx - half, y, cx + half + 1, y + 1, c);
    } else {
      int x = dir == 2 ? cx - h / 2 + i : cx + (h - 1) / 2 - i;
      Fill(hdc, x, cy - half, x + 1, cy + half + 1, c);
    }
  }
}

void SizeGrip(HDC hdc, const RECT& r, UINT state) {
  if (!(state & DFCS_TRANSPARENT)) Fill(hdc, r.Left, r.Top, r.Right, r.Bottom, Sys(COLOR_3DFACE));
  int size = std::min(r.Right - r.Left, r.Bottom - r.Top);
  bool right = !(state & DFCS_SCROLLSIZEGRIPRIGHT);
  // Diagonals from the corner: one highlight, two shadows, one gap.
  for (int d = 1; d < size; ++d) {
    int k = (d - 1) % 4;
    if (k == 3) continue;
    COLORREF c = Sys(k == 0 ? COLOR_3DHIGHLIGHT : COLOR_3DSHADOW);
    for (int i = 0; i <= d && i < size; ++i) {
      int y = r.Bottom - 1 - i;
      int off = d - i;
      int x = right ? r.Right - 1 - off : r.Left + off;
      if (off < size) Pixel(hdc, x, y, c);
    }
  }
}

void CaptionGlyph(HDC hdc, const RECT& rc, UINT state) {
  int w = rc.Right - rc.Left, h = rc.Bottom - rc.Top;
  int s = std::max(4, std::min(w, h) * 9 / 14);
  int x0 = rc.Left + (w - s) / 2, y0 = rc.Top + (h - s) / 2;
  int t = std::max(1, s / 7);  // stroke
  Glyph(state, [&](COLORREF c, int o) {
    int x = x0 + o, y = y0 + o;
    switch (state & 0xFF) {
      case DFCS_CAPTIONCLOSE:
        for (int i = 0; i < s - 1; ++i) {
          Fill(hdc, x + i, y + i, x + i + t + 1, y + i + 1, c);
          Fill(hdc, x + s - 2 - i - t, y + i, x + s - 1 - i, y + i + 1, c);
        }
        break;
      case DFCS_CAPTIONMIN:
        Fill(hdc, x + 1, y + s - 2 - t, x + s * 2 / 3, y + s - 2, c);
        break;
      case DFCS_CAPTIONMAX:
        Fill(hdc, x, y, x + s, y + 2 * t, c);
        Fill(hdc, x, y, x + t, y + s, c);
        Fill(hdc, x + s - t, y, x + s, y + s, c);
        Fill(hdc, x, y + s - t, x + s, y + s, c);
        break;
      case DFCS_CAPTIONRESTORE: {
        int b = s * 2 / 3;
        for (int k = 0; k < 2; ++k) {
          int bx = k ? x : x + s - b, by = k ? y + s - b : y;
          Fill(hdc, bx, by, bx + b, by + 2 * t, c);
          Fill(hdc, bx, by, bx + t, by + b, c);
          Fill(hdc, bx + b - t, by, bx + b, by + b, c);
          Fill(hdc, bx, by + b - t, bx + b, by + b, c);
        }
        break;
      }
      case DFCS_CAPTIONHELP: {
        // A question mark from a 6x9 pattern.
        static const char* const kHelp[9] = {".XXXX.", "XX..XX", "....XX", "...XX.", "..XX..",
                                             "..XX..", "......", "..XX..", "..XX.."};
        int k = std::max(1, s / 9);
        int hx = x + (s - 6 * k) / 2, hy = y + (s - 9 * k) / 2;
        for (int row = 0; row < 9; ++row)
          for (int col = 0; col < 6; ++col)
            if (kHelp[row][col] == 'X') Fill(hdc, hx + col * k, hy + row * k, hx + (col + 1) * k, hy + (row + 1) * k, c);
        break;
      }
      default:
        break;
    }
  });
}

void MenuGlyph(HDC hdc, const RECT& r, UINT state) {
  // Menu glyphs are black on white, for use as masks.
  Fill(hdc, r.Left, r.Top, r.Right, r.Bottom, RGB(255, 255, 255));
  int w = r.Right - r.Left, h = r.Bottom - r.Top, s = std::min(w, h);
  COLORREF k = RGB(0, 0, 0);
  switch (state & 0xFF) {
    case DFCS_MENUARROW:
      Arrow(hdc, r, 3, std::max(3, (s / 2) | 1), k, 0);
      break;
    case DFCS_MENUARROWRIGHT:
      Arrow(hdc, r, 2, std::max(3, (s / 2) | 1), k, 0);
      break;
    case DFCS_MENUCHECK: {
      int scale = std::max(1, s / 12);
      CheckMark(hdc, r.Left + (w - 7 * scale) / 2, r.Top + (h - 7 * scale) / 2, scale, k);
      break;
    }
    case DFCS_MENUBULLET: {
      int d = std::max(2, s / 3);
      HRGN e = CreateEllipticRgn(r.Left + (w - d) / 2, r.Top + (h - d) / 2, r.Left + (w - d) / 2 + d + 1,
                                 r.Top + (h - d) / 2 + d + 1);
      HBRUSH b = CreateSolidBrush(k);
      FillRgn(hdc, e, b);
      DeleteObject(b);
      DeleteObject(e);
      break;
    }
    default:
      break;
  }
}

}  // namespace

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags) {
  if (!GdiDC(hdc) || !rect) return FALSE;
  RECT r = *rect;
  if (flags & BF_DIAGONAL) {
    Diagonal(hdc, r, edge, flags);
    if (flags & BF_ADJUST) *rect = r;
    return TRUE;
  }
  if (edge & BDR_OUTER) Ring(hdc, r, flags, OuterColours(edge, flags));
  if (edge & BDR_INNER) Ring(hdc, r, flags, InnerColours(edge, flags));
  if (flags & BF_MIDDLE) Fill(hdc, r.Left, r.Top, r.Right, r.Bottom, Sys((flags & BF_MONO) ? COLOR_WINDOW : COLOR_3DFACE));
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}

BOOL DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state) {
  if (!GdiDC(hdc) || !rect) return FALSE;
  RECT r = *rect;
  switch (type) {
    case DFC_BUTTON:
      if (state & DFCS_BUTTONPUSH) {
        RECT inner = ButtonFace(hdc, r, state);
        if (state & DFCS_ADJUSTRECT) *rect = inner;
      } else if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
        Radio(hdc, r, state);
      } else {
        CheckBox(hdc, r, state);
      }
      return TRUE;
    case DFC_SCROLL: {
      UINT kind = state & 0xFF;
      if (kind == DFCS_SCROLLSIZEGRIP || (state & DFCS_SCROLLSIZEGRIPRIGHT)) {
        SizeGrip(hdc, r, state);
        return TRUE;
      }
      RECT inner;
      if ((state & DFCS_PUSHED) && !(state & (DFCS_FLAT | DFCS_MONO))) {
        // A pressed scroll arrow is flat with a shadow border.
        inner = r;
        Ring(hdc, inner, BF_RECT, {Sys(COLOR_3DSHADOW), Sys(COLOR_3DSHADOW)});
        Fill(hdc, inner.Left, inner.Top, inner.Right, inner.Bottom, Sys(COLOR_3DFACE));
      } else {
        inner = ButtonFace(hdc, r, state & ~UINT(DFCS_CHECKED));
      }
      int dir = kind == DFCS_SCROLLUP ? 0 : kind == DFCS_SCROLLLEFT ? 2 : kind == DFCS_SCROLLRIGHT ? 3 : 1;
      int s = std::min(r.Right - r.Left, r.Bottom - r.Top);
      int base = std::max(3, ((s * 7 / 16) | 1));
      Glyph(state, [&](COLORREF c, int o) { Arrow(hdc, inner, dir, base, c, o); });
      return TRUE;
    }
    case DFC_CAPTION: {
      RECT inner = ButtonFace(hdc, r, state);
      CaptionGlyph(hdc, inner, state);
      return TRUE;
    }
    case DFC_MENU:
    case DFC_POPUPMENU:
      MenuGlyph(hdc, r, state);
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
  auto dc = GdiDC(hdc);
  if (!dc || !rect || rect->Left >= rect->Right || rect->Top >= rect->Bottom) return FALSE;
  // Every other pixel of the frame is inverted, so a second call restores.
  TGdiBrush dots;
  dots.Style = BS_PATTERN;
  auto pattern = std::make_shared<TPatternImage>();
  pattern->Width = pattern->Height = 2;
  pattern->Pixels = {0, 0xFFFFFF, 0xFFFFFF, 0};
  dots.Pattern = pattern;
  const RECT& r = *rect;
  TRegion frame = TRegion::Combine(LogicalRectToTarget(dc, r),
                                   LogicalRectToTarget(dc, RECT{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}),
                                   RGN_DIFF);
  PatBltRegion(dc, frame, 0x5A, &dots);
  return TRUE;
}

namespace {

// Renders a DrawState item into a white-backed bitmap and returns the mask
// of its drawn pixels (1 where drawn).
std::vector<uint8_t> StateMask(HDC hdc, UINT type, DRAWSTATEPROC proc, LPARAM data, WPARAM wdata, int cx, int cy,
                               bool ansi, UINT flags) {
  void* bits = nullptr;
  HBITMAP bmp = GdiCreateDib32(cx, cy, &bits);
  HDC mem = CreateCompatibleDC(hdc);
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  RECT all{0, 0, cx, cy};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SelectObject(mem, GetCurrentObject(hdc, OBJ_FONT));
  SetTextColor(mem, RGB(0, 0, 0));
  SetBkMode(mem, TRANSPARENT);
  switch (type) {
    case DST_TEXT:
    case DST_PREFIXTEXT: {
      UINT fmt = DT_SINGLELINE | DT_NOCLIP | (type == DST_TEXT ? DT_NOPREFIX : 0) |
                 ((flags & DSS_HIDEPREFIX) ? DT_HIDEPREFIX : 0) | ((flags & DSS_PREFIXONLY) ? DT_PREFIXONLY : 0);
      if (ansi)
        DrawTextA(mem, reinterpret_cast<LPCSTR>(data), wdata ? static_cast<int>(wdata) : -1, &all, fmt);
      else
        DrawTextW(mem, reinterpret_cast<LPCWSTR>(data), wdata ? static_cast<int>(wdata) : -1, &all, fmt);
      break;
    }
    case DST_ICON:
      DrawIconEx(mem, 0, 0, reinterpret_cast<HICON>(data), cx, cy, 0, nullptr, DI_NORMAL);
      break;
    case DST_BITMAP: {
      HDC src = CreateCompatibleDC(hdc);
      HGDIOBJ o = SelectObject(src, reinterpret_cast<HBITMAP>(data));
      BitBlt(mem, 0, 0, cx, cy, src, 0, 0, SRCCOPY);
      SelectObject(src, o);
      DeleteDC(src);
      break;
    }
    default:
      if (proc) proc(mem, data, wdata, cx, cy);
      break;
  }
  std::vector<uint8_t> mask(size_t(cx) * cy);
  const auto* px = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < mask.size(); ++i) mask[i] = (px[i] & 0xFFFFFF) != 0xFFFFFF;
  SelectObject(mem, oldBmp);
  DeleteDC(mem);
  DeleteObject(bmp);
  return mask;
}

void PaintMask(HDC hdc, const std::vector<uint8_t>& mask, int x, int y, int cx, int cy, COLORREF c, bool dither) {
  for (int j = 0; j < cy; ++j)
    for (int i = 0; i < cx; ++i)
      if (mask[size_t(j) * cx + i] && (!dither || ((i + j) & 1) == 0)) Pixel(hdc, x + i, y + j, c);
}

BOOL DrawStateImpl(HDC hdc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wdata, int x, int y, int cx, int cy,
                   UINT flags, bool ansi) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  UINT type = flags & 0x000F;
  if (cx == 0 || cy == 0) {
    SIZE sz{};
    if (type == DST_TEXT || type == DST_PREFIXTEXT) {
      RECT r{0, 0, 0, 0};
      UINT fmt = DT_SINGLELINE | DT_CALCRECT | (type == DST_TEXT ? DT_NOPREFIX : 0);
      if (ansi)
        DrawTextA(hdc, reinterpret_cast<LPCSTR>(data), wdata ? static_cast<int>(wdata) : -1, &r, fmt);
      else
        DrawTextW(hdc, reinterpret_cast<LPCWSTR>(data), wdata ? static_cast<int>(wdata) : -1, &r, fmt);
      sz = SIZE(r.Right, r.Bottom);
    } else if (type == DST_ICON) {
      if (auto o = GdiIcon(reinterpret_cast<HICON>(data))) sz = SIZE(o->Width, o->Height);
    } else if (type == DST_BITMAP) {
      BITMAP bm{};
      if (GetObject(reinterpret_cast<HBITMAP>(data), sizeof(bm), &bm)) sz = SIZE(bm.bmWidth, bm.bmHeight);
    }
    if (cx == 0) cx = sz.cx;
    if (cy == 0) cy = sz.cy;
  }
  if (cx <= 0 || cy <= 0) return FALSE;
  UINT stateBits = flags & (DSS_DISABLED | DSS_UNION | DSS_MONO);
  if (stateBits == 0) {
    // Normal state: draw straight onto the DC.
    switch (type) {
      case DST_TEXT:
      case DST_PREFIXTEXT: {
        RECT r{x, y, x + cx, y + cy};
        UINT fmt = DT_SINGLELINE | DT_NOCLIP | (type == DST_TEXT ? DT_NOPREFIX : 0) |
                   ((flags & DSS_HIDEPREFIX) ? DT_HIDEPREFIX : 0) | ((flags & DSS_PREFIXONLY) ? DT_PREFIXONLY : 0) |
                   ((flags & DSS_RIGHT) ? DT_RIGHT : 0);
        if (ansi)
          DrawTextA(hdc, reinterpret_cast<LPCSTR>(data), wdata ? static_cast<int>(wdata) : -1, &r, fmt);
        else
          DrawTextW(hdc, reinterpret_cast<LPCWSTR>(data), wdata ? static_cast<int>(wdata) : -1, &r, fmt);
        return TRUE;
      }
      case DST_ICON:
        return DrawIconEx(hdc, x, y, reinterpret_cast<HICON>(data), cx, cy, 0, nullptr, DI_NORMAL);
      case DST_BITMAP: {
        HDC src = CreateCompatibleDC(hdc);
        HGDIOBJ o = SelectObject(src, reinterpret_cast<HBITMAP>(data));
        BitBlt(hdc, x, y, cx, cy, src, 0, 0, SRCCOPY);
        SelectObject(src, o);
        DeleteDC(src);
        return TRUE;
      }
      default: {
        if (!proc) return FALSE;
        int saved = SaveDC(hdc);
        OffsetViewportOrgEx(hdc, x, y, nullptr);
        BOOL ok = proc(hdc, data, wdata, cx, cy);
        RestoreDC(hdc, saved);
        return ok;
      }
    }
  }
  std::vector<uint8_t> mask = StateMask(hdc, type, proc, data, wdata, cx, cy, ansi, flags);
  if (flags & DSS_DISABLED) {
    PaintMask(hdc, mask, x + 1, y + 1, cx, cy, Sys(COLOR_3DHIGHLIGHT), false);
    PaintMask(hdc, mask, x, y, cx, cy, Sys(COLOR_3DSHADOW), false);
  } else if (flags & DSS_MONO) {
    auto b = GdiResolveBrush(brush);
    PaintMask(hdc, mask, x, y, cx, cy, b ? b->Color : dc->S.TextColor, false);
  } else {
    auto b = GdiResolveBrush(brush);
    PaintMask(hdc, mask, x, y, cx, cy, b ? b->Color : Sys(COLOR_HIGHLIGHT), true);
  }
  return TRUE;
}

}  // namespace

BOOL DrawStateA(HDC hdc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wdata, int x, int y, int cx, int cy,
                UINT flags) {
  return DrawStateImpl(hdc, brush, proc, data, wdata, x, y, cx, cy, flags, true);
}

BOOL DrawStateW(HDC hdc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wdata, int x, int y, int cx, int cy,
                UINT flags) {
  return DrawStateImpl(hdc, brush, proc, data, wdata, x, y, cx, cy, flags, false);
}

namespace {

BOOL GrayStringImpl(HDC hdc, GRAYSTRINGPROC proc, LPARAM data, int count, int x, int y, bool ansi) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  // The display has a solid grey, so the text is simply drawn in it.
  COLORREF old = SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  BOOL ok;
  if (proc) {
    int saved = SaveDC(hdc);
    OffsetViewportOrgEx(hdc, x, y, nullptr);
    ok = proc(hdc, data, count);
    RestoreDC(hdc, saved);
  } else if (ansi) {
    auto s = reinterpret_cast<LPCSTR>(data);
    ok = TextOutA(hdc, x, y, s, count ? count : static_cast<int>(std::strlen(s)));
  } else {
    auto s = reinterpret_cast<LPCWSTR>(data);
    ok = TextOutW(hdc, x, y, s, count ? count : static_cast<int>(std::char_traits<char16_t>::length(s)));
  }
  SetTextColor(hdc, old);
  return ok;
}

}  // namespace

BOOL GrayStringA(HDC hdc, HBRUSH, GRAYSTRINGPROC proc, LPARAM data, int count, int x, int y, int, int) {
  return GrayStringImpl(hdc, proc, data, count, x, y, true);
}

BOOL GrayStringW(HDC hdc, HBRUSH, GRAYSTRINGPROC proc, LPARAM data, int count, int x, int y, int, int) {
  return GrayStringImpl(hdc, proc, data, count, x, y, false);
}
