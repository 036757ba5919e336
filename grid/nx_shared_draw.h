// The plain drawing routines of the grid's editors and header painters.
#pragma once

#include "grid/nx_classes.h"
#include "platform/forms/controls.h"

class TBitmap;
class TCanvas;

namespace NxSharedDraw {

// As TGraphicsProvider::BlendColor and MixColors.
TColor BlendColor(TColor A, TColor B, Integer Alpha);
TColor MixColors(TColor A, TColor B, double Ratio);
void SetClipRect(TCanvas* Canvas, const TRect& Rect);
// One line, vertically centred, ellipsis at the end; "&" marks a mnemonic
// unless NoPrefix.
void DrawTextInRect(TCanvas* Canvas, const TRect& Rect, TAlignment Alignment, const WideString& Text, bool NoPrefix);
// As NxSharedCommon::DrawAlphaBitmap.
void DrawAlphaBitmap(TCanvas* Canvas, Integer X, Integer Y, TBitmap* Bitmap);
// Text rotated to read upward, bottom-aligned in Rect; with MultiLine,
// each line of a text with carriage returns one text height further right.
void DrawVerticalText(TCanvas* Canvas, const TRect& Rect, const WideString& Text, bool MultiLine);
// One horizontal line per row from ColorFrom toward ColorTo: the first row
// is ColorFrom, the last one step short of ColorTo; the right edge stays
// out.
void DrawGradient(TCanvas* Canvas, const TRect& Rect, TColor ColorFrom, TColor ColorTo);

}  // namespace NxSharedDraw
