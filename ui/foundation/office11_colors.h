// The colours of the 2003-style look and its small drawing kit: which
// colour scheme of the platform's visual style is active (blue, olive,
// silver or none), the 81 colour slots filled from a built-in palette for
// the three schemes or derived from the system colours otherwise, brushes
// and three small bitmaps made while anybody holds a reference, and the
// fills, frames, gradients, arrows, grip dots and size grip the painters of
// that look share. "GradientFill" is bound by name from "msimg32.dll"; a
// software fill stands in when it is missing. User-interface thread only.
#pragma once

#include "platform/forms/graphics.h"
#include "platform/rtl/types.h"

// Which way a gradient runs. A type of its own, so that it cannot be mixed
// up with the run of grip dots (whose flag means the other direction).
enum class TdxGradientDirection : bool {
  Vertical,    // colour 1 at the top, colour 2 at the bottom
  Horizontal,  // colour 1 at the left, colour 2 at the right
};

// Which way a run of grip dots goes.
enum class TdxGripDotsRun : bool {
  Horizontal,  // cells step to the right
  Vertical,    // cells step down
};

constexpr int dxOffice11ColorCount = 81;
constexpr int dxOffice11BrushCount = 16;

// The slots; 0..78 recomputed by dxOffice11ComputeColors, 79 and 80 fixed
// and set when the brushes are made.
extern COLORREF dxOffice11Colors[dxOffice11ColorCount];
// Where the two-tone gradient turns, in percent of the way doubled: 75
// classic, 41 blue, 125 olive, 40 silver.
extern int dxOffice11TwoTonePercent;
// 16 slots holding 13 distinct brushes (11 = 4, 13 = 6, 14 = 10); null
// while nobody holds a reference.
extern HBRUSH dxOffice11Brushes[dxOffice11BrushCount];

// 0 classic, 1 blue, 2 olive, 3 silver: as the last computation found it.
Byte dxOffice11Scheme();
// Visual styles are available and the scheme is not 0.
bool dxOffice11IsSchemeThemed();
// The scheme of the current visual style: the theme file must be
// "luna.msstyles" before major version 6; the colour name picks the scheme.
Byte dxOffice11DetectScheme();
// Detects the scheme and fills slots 0..78 and the two-tone percent.
void dxOffice11ComputeColors();

// The first reference computes the colours and makes brushes and bitmaps;
// the last frees them.
void dxOffice11ColorsAddRef();
void dxOffice11ColorsDropRef();
// Recomputes the colours; while referenced, remakes brushes and bitmaps.
void dxOffice11RefreshColors();
void dxOffice11MakeBrushes();
void dxOffice11FreeBrushes();
int dxOffice11ColorsReferenceCount();

// The three bitmaps of the set (null while not referenced): the recoloured
// sub-menu expand glyph and the two 11 x 11 expand buttons.
HBITMAP dxOffice11SubMenuExpandBitmap();
HBITMAP dxOffice11ExpandButtonBitmap(bool AExpanded);
// Maps the glyph's grey ramp onto slots 2 (lightest) .. 3 (darkest); the
// pixel at (0, 0) is the background and black pixels stay.
void dxOffice11RecolorExpandGlyph(HBITMAP ABitmap);

// The system button face is black / pure white; black with a button text
// that is not white.
bool dxIsBlackButtonFace();
bool dxIsWhiteButtonFace();
bool dxIsBlackFaceNonWhiteText();

// FillRect / FrameRect with a solid brush of the colour; nothing for clNone.
void dxFillRectSolid(HDC DC, const TRect& R, TColor AColor);
void dxFrameRectSolid(HDC DC, const TRect& R, TColor AColor);
// The frame of a hot element: brush slot 5, or the highlight-text colour
// on a black button face.
void dxOffice11FrameHotRect(HDC DC, const TRect& R);

// A filled triangle pointing right or down, ASize pixels deep, centred in R,
// in the text colour (slot 51), slot 52 when disabled, white when selected
// on a white button face.
void dxOffice11DrawArrow(HDC DC, const TRect& R, bool ADown, bool AEnabled, bool ASelected, int ASize);
// The same with the size derived from R (at least 3).
void dxOffice11DrawArrowInRect(HDC DC, const TRect& R, bool ADown, bool AEnabled, bool ASelected);
// A run of 2 x 2 dots with a light square one pixel right and down; null
// brushes mean brush slots 0 (dots) and 1 (light).
void dxOffice11DrawGripDots(HDC DC, const TRect& R, TdxGripDotsRun ARun, HBRUSH ADotBrush = nullptr,
                            HBRUSH ALightBrush = nullptr);
// Dots in a triangle of 3 + 2 + 1 in R's bottom-right corner; clDefault
// means the default brushes.
void dxOffice11PaintSizeGrip(HDC DC, const TRect& R, TColor ADotColor = clDefault, TColor ALightColor = clDefault);

// The colour the software gradient draws at APosition.
TColor dxGradientColorAtPos(const TRect& R, int APosition, TColor AColor1, TdxGradientDirection ADirection,
                            TColor AColor2);
// Colour 1 to colour 2 across R; a solid fill when the two resolve alike.
void dxPaintGradient(HDC DC, const TRect& R, TColor AColor1, TdxGradientDirection ADirection, TColor AColor2);
// Colour 1 to colour 2 turning in the middle at the scheme's percent.
void dxPaintTwoToneGradient(HDC DC, const TRect& R, TColor AColor1, TdxGradientDirection ADirection,
                            TColor AColor2);

// APercent of colour 1 and the rest of colour 2, each channel clamped to
// 0..255, then the nearest screen colour.
TColor dxMixTwoColors(TColor AColor1, TColor AColor2, int APercent);
// Button face, highlight and window weighted by signed percentages; the
// highlight when the face is black or pure white.
TColor dxMixSystemColors(int AFacePercent, int AHighlightPercent, int AWindowPercent);
TColor dxNearestScreenColor(TColor AColor);
// The button face lightened half-way to white (AHalf) or slightly.
TColor dxOffice11ShadedFaceColor(bool AHalf);
// Each channel times APercent / 100, truncated and clamped.
TColor dxScaleColor(TColor AColor, int APercent);

// ---- The colours by role ------------------------------------------------------

inline TColor dxOffice11BarFaceColor() { return dxOffice11Colors[0]; }
inline TColor dxOffice11LightBackgroundColor() { return dxOffice11Colors[1]; }
inline TColor dxOffice11GradientLightColor() { return dxOffice11Colors[2]; }
inline TColor dxOffice11GradientDarkColor() { return dxOffice11Colors[3]; }
inline TColor dxOffice11DarkLineColor() { return dxOffice11Colors[20]; }
inline TColor dxOffice11LightLineColor() { return dxOffice11Colors[21]; }
inline TColor dxOffice11ShadowColor() { return dxOffice11Colors[7]; }
inline TColor dxOffice11HighlightColor() { return dxOffice11Colors[28]; }
inline TColor dxOffice11MenuBackgroundColor() { return dxOffice11Colors[31]; }
inline TColor dxOffice11MenuInnerFrameColor() { return dxOffice11Colors[39]; }
inline TColor dxOffice11GutterLightColor() { return dxOffice11Colors[32]; }
inline TColor dxOffice11GutterDarkColor() { return dxOffice11Colors[33]; }
inline TColor dxOffice11MenuFrameColor() { return dxOffice11Colors[38]; }
inline TColor dxOffice11SelectionFrameColor() { return dxOffice11Colors[41]; }
inline TColor dxOffice11HotColor() { return dxOffice11Colors[40]; }
inline TColor dxOffice11HotGradientColor() { return dxOffice11Colors[42]; }
inline TColor dxOffice11PressedColor() { return dxOffice11Colors[48]; }
inline TColor dxOffice11CheckedColor() { return dxOffice11Colors[47]; }
inline TColor dxOffice11TextColor() { return dxOffice11Colors[51]; }
inline TColor dxOffice11DisabledTextColor() { return dxOffice11Colors[52]; }
inline TColor dxOffice11FrameColor() { return dxOffice11Colors[53]; }
inline TColor dxOffice11BorderColor() { return dxOffice11Colors[57]; }
inline TColor dxOffice11PanelFaceColor() { return dxOffice11Colors[58]; }
inline TColor dxOffice11SelectedColor() { return dxOffice11Colors[59]; }
inline TColor dxOffice11PanelColor() { return dxOffice11Colors[54]; }
inline TColor dxOffice11AreaColor() { return dxOffice11Colors[61]; }
inline TColor dxOffice11AreaLineColor() { return dxOffice11Colors[63]; }
inline TColor dxOffice11AreaShadowColor() { return dxOffice11Colors[64]; }
inline TColor dxOffice11PanelShadowColor() { return dxOffice11Colors[65]; }
inline TColor dxOffice11ExpandCornerColor1() { return dxOffice11Colors[79]; }
inline TColor dxOffice11ExpandCornerColor2() { return dxOffice11Colors[80]; }

namespace dx_office11_detail {
// The unit's start-up binds "GradientFill"; its shut-down frees the
// brushes, the bitmaps and the library.
void StartOffice11();
void StopOffice11();
// The bound entry; tests set it to null to take the software fill.
using TGradientFillProc = BOOL (*)(HDC, PTRIVERTEX, ULONG, void*, ULONG, ULONG);
extern TGradientFillProc GradientFillProc;
}  // namespace dx_office11_detail
