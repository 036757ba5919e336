// What the header painters' tests share: a grid stand-in that can press,
// hover and select columns, a painter that records what it lays out, and a
// DIB surface with a canvas.
#pragma once

#include <memory>
#include <vector>

#include "grid/nx_style_display.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/controls.h"
#include "platform/forms/graphics.h"
#include "tests/common/dib_canvas.h"
#include "tests/grid/columns_test_support.h"

class TPaintGrid : public TFakeGrid {
 public:
  TNxCustomColumn* Pressed = nullptr;
  TNxCustomColumn* Hot = nullptr;
  Integer Selected = -1;
  TNxCustomColumn* GridPressedColumn() const override { return Pressed; }
  TNxCustomColumn* GridHotColumn() const override { return Hot; }
  Integer GridSelectedColumn() const override { return Selected; }
};

// The control a painter reads its colour from.
class TGridControl : public TCustomControl {
 public:
  explicit TGridControl(TColor Color = 0x00C0FFEE) : TCustomControl(nullptr) { SetColor(Color); }
};

// A painter that notes the caption rectangle before and after
// AdjustCaptionRect and every sort arrow it is asked to draw.
template <class Base>
class TRecorder : public Base {
 public:
  struct TArrow {
    Integer X, Y;
    bool Ascending;
  };
  std::vector<TRect> CaptionIn, CaptionOut;
  std::vector<TArrow> Arrows;

  explicit TRecorder(TCustomControl* Grid) : Base(Grid) {}
  void AdjustCaptionRect(TRect& Rect) override {
    CaptionIn.push_back(Rect);
    Base::AdjustCaptionRect(Rect);
    CaptionOut.push_back(Rect);
  }
  void DrawSortArrow(Integer X, Integer Y, bool Ascending) override {
    Arrows.push_back({X, Y, Ascending});
    Base::DrawSortArrow(X, Y, Ascending);
  }
};

struct TSurface {
  TDibCanvas Dib;
  TCanvas Canvas;
  explicit TSurface(int W = 240, int H = 40, uint32_t Fill = 0xFFFFFFu) : Dib(W, H, Fill) {
    Canvas.SetHandle(Dib.dc);
    Canvas.Font()->SetName("Tahoma");
    Canvas.Font()->SetHeight(-11);
  }
  ~TSurface() { Canvas.SetHandle(nullptr); }
  // The pixel as a colour value (red in the low byte).
  TColor At(int X, int Y) {
    const uint32_t P = Dib.At(X, Y);
    return static_cast<TColor>(((P & 0xFF) << 16) | (P & 0xFF00) | ((P >> 16) & 0xFF));
  }
  bool SamePixels(TSurface& Other) {
    for (int Y = 0; Y < Dib.height; ++Y)
      for (int X = 0; X < Dib.width; ++X)
        if ((Dib.At(X, Y) & 0xFFFFFF) != (Other.Dib.At(X, Y) & 0xFFFFFF)) return false;
    return true;
  }
};

// A 32-bit opaque glyph of one colour.
inline std::unique_ptr<TBitmap> SolidGlyph(int W, int H, TColor Color) {
  auto B = std::make_unique<TBitmap>();
  B->SetPixelFormat(pf32bit);
  B->SetSize(W, H);
  const COLORREF C = ColorToRGB(Color);
  const uint32_t Px32 = 0xFF000000u | ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF);
  for (int Y = 0; Y < H; ++Y) {
    auto* Row = static_cast<uint32_t*>(B->ScanLine(Y));
    for (int X = 0; X < W; ++X) Row[X] = Px32;
  }
  return B;
}

inline TColor Rgb(TColor C) { return static_cast<TColor>(ColorToRGB(C)); }
