// A DIB canvas that speaks in colours (COLORREF, red in the low byte), for
// canvases on a DC that is not their own and for pixel probes.
#pragma once

#include <cstdint>

#include "tests/common/dib_canvas.h"

class TTestDib : public TDibCanvas {
 public:
  explicit TTestDib(int w, int h, uint32_t fill = 0x00FFFFFFu) : TDibCanvas(w, h, fill) {}

  // The pixel as a COLORREF, alpha left out.
  COLORREF Color(int x, int y) {
    uint32_t p = At(x, y);
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
  }
  // Pixels inside [l, r) x [t, b) whose colour is not c.
  int CountNot(COLORREF c, int l, int t, int r, int b) { return TDibCanvas::CountNot(Px(c), l, t, r, b, 0xFFFFFFu); }
  // Bounding box of the pixels whose colour is not `background`.
  RECT InkBox(COLORREF background) { return TDibCanvas::InkBox(Px(background)); }
};

// A 32-bit pixel (B, G, R, A in memory order) from a COLORREF and an alpha.
constexpr uint32_t PixelOf(COLORREF c, uint32_t alpha = 0) { return Px(c) | (alpha << 24); }
