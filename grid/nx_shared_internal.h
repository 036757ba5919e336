// What the two drawing units share, behind their own entry points (each
// checks its arguments in its own name).
#pragma once

#include "platform/rtl/types.h"

class TBitmap;
class TCanvas;

namespace nx_detail {

// BlendColor without the alpha check.
TColor BlendColors(TColor A, TColor B, Integer Alpha);
TColor MixColors(TColor A, TColor B, double Ratio);
void SetClipRect(TCanvas* Canvas, const TRect& Rect);
// DrawText of a wide text with the brush clear for the drawing.
void DrawTextFlags(TCanvas* Canvas, const TRect& Rect, const WideString& Text, Cardinal Flags);
void DrawAlphaBitmap(TCanvas* Canvas, Integer X, Integer Y, TBitmap* Bitmap);

}  // namespace nx_detail
