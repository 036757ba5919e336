// Colour helpers of the drawing unit: the nearest screen colour, small
// comparisons, conversions between colours and the HSL and HSV models,
// lighter and darker shades, and the system-colour mixes of flat buttons.
//
// Colours are 32-bit values with red in the low byte; a system colour
// (0xFF in the top byte) is resolved to red-green-blue before its channels
// are used. clNone and clDefault are not colours to draw with.
#pragma once

#include "platform/rtl/types.h"

// HSL: hue a fraction of a full turn (0 <= H < 1); saturation and
// lightness in 0..1.
struct TdxHSL {
  double H = 0, S = 0, L = 0;
};

// HSV: hue in degrees (0 <= H < 360); saturation and value in 0..1.
struct TdxHSV {
  double H = 0, S = 0, V = 0;
};

// GetNearestColor of the colour on the screen's device context.
TColor cxNearestScreenColor(TColor AColor);
// False for clNone and clDefault only.
bool cxIsColorSpecified(TColor AColor);
// The two values are equal (system colours are not resolved).
bool cxColorsMatch(TColor A, TColor B);
void cxSwapColorValues(TColor& A, TColor& B);
// The colour's low three bytes.
constexpr TColor cxColorRGBBits(TColor AColor) { return AColor & 0xFFFFFF; }
// 0 below 0, 255 above 255.
constexpr Byte cxClampByte(Integer AValue) {
  return static_cast<Byte>(AValue < 0 ? 0 : AValue > 255 ? 255 : AValue);
}

void cxColorToHSV(TColor AColor, TdxHSV& AHSV);
TColor cxHSVToColor(const TdxHSV& AHSV);

// Lighter by APercent (moving V toward 1 and a non-zero S toward 0), or
// darker for a negative percent (V toward 0, a non-zero S toward 1). Greys
// stay grey; 100 gives white and -100 black.
TColor cxLightenOrDarkenColor(TColor AColor, Integer APercent);

// Each channel of button face, highlight and window weighted by a signed
// percentage and clamped to a byte; the highlight itself when the button
// face is pure black or white (and the highlight is not black).
TColor cxMixSystemColors(ShortInt AFaceWeight, ShortInt AHighlightWeight, ShortInt AWindowWeight);
// The face of a pressed flat button.
TColor cxGetPressedMixColor();
// The face of a hot (hovered) flat button.
TColor cxGetHotMixColor();

// Conversions between colours and the two colour models. Out-of-range
// model values (a hue of a full turn or more, negative hues, saturations,
// lightnesses or values outside 0..1) are brought into range first, so
// the channels always lie in 0..255.
class TdxColorSpaceConverter {
 public:
  TdxColorSpaceConverter() = delete;

  static void ColorToHSL(TColor AColor, TdxHSL& AHSL);
  static void ColorToHSV(TColor AColor, TdxHSV& AHSV);
  static TColor HSLToColor(const TdxHSL& AHSL);
  static TColor HSVToColor(const TdxHSV& AHSV);
};

class TdxColorHelper {
 public:
  TdxColorHelper() = delete;

  // The colour with its HSL lightness moved by ADelta and kept in 0..1.
  static TColor ShiftLightness(TColor AColor, double ADelta);
};
