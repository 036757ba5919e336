#include "ui/foundation/colors.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/forms/graphics.h"
#include "platform/rtl/mathutils.h"
#include "platform/win/user/user.h"

namespace {

TColor MakeColor(Byte R, Byte G, Byte B) { return TColor(R) | TColor(G) << 8 | TColor(B) << 16; }

// The model conversions round as the host framework's Round does.
Byte RoundHalfToEvenByte(double AValue) {
  return cxClampByte(static_cast<Integer>(Round(EnsureRange(AValue, -1.0, 256.0))));
}

// Values outside 0..1 become the nearer bound; NaN becomes 0.
double ClampUnit(double AValue) { return std::isnan(AValue) ? 0 : EnsureRange(AValue, 0.0, 1.0); }

// A hue in degrees brought into [0, 360).
double WrapDegrees(double AHue) {
  if (!std::isfinite(AHue)) return 0;
  double h = AHue - 360 * std::floor(AHue / 360);
  return h >= 360 ? 0 : h;
}

}  // namespace

TColor cxNearestScreenColor(TColor AColor) {
  HDC dc = GetDC(nullptr);
  COLORREF result = GetNearestColor(dc, static_cast<COLORREF>(AColor));
  ReleaseDC(nullptr, dc);
  return static_cast<TColor>(result);
}

bool cxIsColorSpecified(TColor AColor) { return AColor != clNone && AColor != clDefault; }

bool cxColorsMatch(TColor A, TColor B) { return A == B; }

void cxSwapColorValues(TColor& A, TColor& B) { std::swap(A, B); }

void cxColorToHSV(TColor AColor, TdxHSV& AHSV) { TdxColorSpaceConverter::ColorToHSV(AColor, AHSV); }

TColor cxHSVToColor(const TdxHSV& AHSV) { return TdxColorSpaceConverter::HSVToColor(AHSV); }

TColor cxLightenOrDarkenColor(TColor AColor, Integer APercent) {
  TdxHSV hsv;
  cxColorToHSV(AColor, hsv);
  if (APercent >= 0) {
    if (hsv.S != 0) hsv.S = hsv.S - hsv.S * APercent / 100;
    hsv.V = hsv.V + APercent * (1 - hsv.V) / 100;
  } else {
    double a = -double(APercent);
    if (hsv.S != 0) hsv.S = hsv.S + (1 - hsv.S) * a / 100;
    hsv.V = hsv.V - a * hsv.V / 100;
  }
  hsv.S = ClampUnit(hsv.S);
  hsv.V = ClampUnit(hsv.V);
  return cxHSVToColor(hsv);
}

TColor cxMixSystemColors(ShortInt AFaceWeight, ShortInt AHighlightWeight, ShortInt AWindowWeight) {
  COLORREF face = ColorToRGB(clBtnFace), highlight = ColorToRGB(clHighlight), window = ColorToRGB(clWindow);
  // A black or white face leaves no shade to mix; the highlight stands in.
  if ((face == 0 || face == 0xFFFFFF) && highlight != 0) return static_cast<TColor>(highlight);
  auto channel = [&](int shift) {
    auto c = [shift](COLORREF v) { return Integer((v >> shift) & 0xFF); };
    return cxClampByte(MulDiv(c(face), AFaceWeight, 100) + MulDiv(c(highlight), AHighlightWeight, 100) +
                       MulDiv(c(window), AWindowWeight, 100));
  };
  return MakeColor(channel(0), channel(8), channel(16));
}

TColor cxGetPressedMixColor() { return cxNearestScreenColor(cxMixSystemColors(14, 44, 40)); }

TColor cxGetHotMixColor() { return cxNearestScreenColor(cxMixSystemColors(-2, 30, 72)); }

// ---- TdxColorSpaceConverter -------------------------------------------------------------

void TdxColorSpaceConverter::ColorToHSL(TColor AColor, TdxHSL& AHSL) {
  COLORREF c = ColorToRGB(AColor);
  double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, b = GetBValue(c) / 255.0;
  double max = std::max({r, g, b}), min = std::min({r, g, b});
  AHSL = TdxHSL{0, 0, (max + min) / 2};
  if (max == min) return;
  double d = max - min;
  AHSL.S = AHSL.L < 0.5 ? d / (max + min) : d / (2 - max - min);
  double h;
  if (r == max)
    h = (g - b) / d;
  else if (g == max)
    h = (b - r) / d + 2;
  else
    h = (r - g) / d + 4;
  AHSL.H = h / 6;
  if (AHSL.H < 0) AHSL.H += 1;
}

void TdxColorSpaceConverter::ColorToHSV(TColor AColor, TdxHSV& AHSV) {
  COLORREF c = ColorToRGB(AColor);
  Integer R = GetRValue(c), G = GetGValue(c), B = GetBValue(c);
  Integer max = std::max({R, G, B}), min = std::min({R, G, B});
  AHSV.V = max / 255.0;
  AHSV.S = max == 0 ? 0 : 1 - double(min) / max;
  double range = max - min;
  if (max == min)
    AHSV.H = 0;
  else if (R == max)
    AHSV.H = 60 * (G - B) / range;
  else if (G == max)
    AHSV.H = 60 * (B - R) / range + 120;
  else
    AHSV.H = 60 * (R - G) / range + 240;
  if (AHSV.H < 0) AHSV.H += 360;
}

TColor TdxColorSpaceConverter::HSLToColor(const TdxHSL& AHSL) {
  double H = std::isfinite(AHSL.H) ? AHSL.H : 0, S = ClampUnit(AHSL.S), L = ClampUnit(AHSL.L);
  if (S == 0) {
    Byte grey = RoundHalfToEvenByte(L * 255);
    return MakeColor(grey, grey, grey);
  }
  double m2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
  double m1 = 2 * L - m2;
  auto channel = [m1, m2](double h) {
    double t = (h - std::floor(h)) * 6;
    double v;
    if (t < 1)
      v = m1 + (m2 - m1) * t;
    else if (t < 3)
      v = m2;
    else if (t < 4)
      v = m1 + (m2 - m1) * (4 - t);
    else
      v = m1;
    return RoundHalfToEvenByte(v * 255);
  };
  return MakeColor(channel(H + 1.0 / 3), channel(H), channel(H - 1.0 / 3));
}

TColor TdxColorSpaceConverter::HSVToColor(const TdxHSV& AHSV) {
  double H = WrapDegrees(AHSV.H), S = ClampUnit(AHSV.S);
  Byte v = RoundHalfToEvenByte(ClampUnit(AHSV.V) * 255);
  Byte p = RoundHalfToEvenByte((1 - S) * v);
  Integer i = static_cast<Integer>(std::trunc(H / 60)) % 6;
  double f = H / 60 - i;
  Byte q = RoundHalfToEvenByte((1 - f * S) * v);
  Byte t = RoundHalfToEvenByte((1 - (1 - f) * S) * v);
  switch (i) {
    case 0: return MakeColor(v, t, p);
    case 1: return MakeColor(q, v, p);
    case 2: return MakeColor(p, v, t);
    case 3: return MakeColor(p, q, v);
    case 4: return MakeColor(t, p, v);
    default: return MakeColor(v, p, q);
  }
}

// ---- TdxColorHelper ------------------------------------------------------------------------

TColor TdxColorHelper::ShiftLightness(TColor AColor, double ADelta) {
  TdxHSL hsl;
  TdxColorSpaceConverter::ColorToHSL(AColor, hsl);
  hsl.L = ClampUnit(hsl.L + ADelta);
  return TdxColorSpaceConverter::HSLToColor(hsl);
}
