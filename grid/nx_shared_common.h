// Geometry, colour, text and bitmap routines the grid, its header painters
// and its editors share. The providers are stateless: static members only.
#pragma once

#include "grid/nx_classes.h"
#include "platform/forms/controls.h"

class TBitmap;
class TCanvas;

class TCalcProvider {
 public:
  TCalcProvider() = delete;
  // Rectangles that only touch intersect.
  static bool RectsIntersect(const TRect& R1, const TRect& R2);
  // The top left of a Width x Height box placed in Rect: Margin in from the
  // left or right (top or bottom) edge, or centred.
  static TPoint AlignInRect(Integer Width, Integer Height, Integer Margin, const TRect& Rect, TAlignment HorzAlign,
                            TVerticalAlignment VertAlign);
  static TRect ResizeRect(const TRect& Rect, Integer DLeft, Integer DTop, Integer DRight, Integer DBottom);
};

class TGraphicsProvider {
 public:
  TGraphicsProvider() = delete;
  // Each channel (A x Alpha + B x (255 - Alpha)) >> 8, system colours
  // resolved first; Alpha 255 darkens A by one level. Alpha outside
  // 0..255 raises EAssertionFailed.
  static TColor BlendColor(TColor A, TColor B, Integer Alpha);
  // Each channel Round(Ratio x B + (1 - Ratio) x A), halves to even.
  static TColor MixColors(TColor A, TColor B, double Ratio);
  static void SetClipRect(TCanvas* Canvas, const TRect& Rect);
  // clBtnFace inside, highlight at top and left, shadow (window frame when
  // Dark) at bottom and right.
  static void DrawButtonFrame(TCanvas* Canvas, const TRect& Rect, bool Dark);
  // A solid highlight frame, or the dotted focus rectangle (drawn by XOR,
  // so a second call takes it away).
  static void DrawFocusFrame(TCanvas* Canvas, const TRect& Rect, bool Solid);
  // One line, vertically centred, ellipsis at the end, "&" shown as is.
  static void DrawTextRect(TCanvas* Canvas, const TRect& Rect, TAlignment Alignment, const WideString& Text,
                           bool RightToLeft);
  static void DrawTextRectEx(TCanvas* Canvas, const TRect& Rect, TAlignment HorzAlign, TVerticalAlignment VertAlign,
                             bool WordWrap, const WideString& Text, TBiDiMode BiDiMode);
};

class TMaskProvider {
 public:
  TMaskProvider() = delete;
  // TGraphicsProvider::BlendColor.
  static TColor BlendColor(TColor A, TColor B, Integer Alpha);
};

class TDrawProvider {
 public:
  TDrawProvider() = delete;
  // A 32-bit bitmap composited with its straight alpha through
  // BlendChannel (opaque pixels come out exactly); other formats drawn as
  // they are.
  static void DrawBitmap(TCanvas* Canvas, Integer X, Integer Y, TBitmap* Bitmap);
};

namespace NxSharedCommon {

// True when P lies outside the square of Distance around Q.
bool IsPointFar(const TPoint& P, const TPoint& Q, Integer Distance);
// Round(Alpha x S / 255) + Round((1 - Alpha / 255) x D), within 0..255.
Byte BlendChannel(Integer S, Integer D, Integer Alpha);
void SetClipRect(TCanvas* Canvas, const TRect& Rect);
// TGraphicsProvider::DrawTextRect.
void DrawTextInRect(TCanvas* Canvas, const TRect& Rect, TAlignment Alignment, const WideString& Text,
                    bool RightToLeft);
// A 32-bit bitmap composited with its straight alpha through BlendColor
// (so an opaque pixel S comes out as S - 1); other formats drawn as they
// are.
void DrawAlphaBitmap(TCanvas* Canvas, Integer X, Integer Y, TBitmap* Bitmap);

}  // namespace NxSharedCommon
