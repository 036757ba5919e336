#include "ui/foundation/office11_colors.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "platform/rtl/mathutils.h"
#include "platform/rtl/resources.h"
#include "platform/win/kernel/kernel_module.h"
#include "platform/win/modules.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_sysinfo.h"
#include "ui/foundation/themes.h"

COLORREF dxOffice11Colors[dxOffice11ColorCount] = {};
int dxOffice11TwoTonePercent = 75;
HBRUSH dxOffice11Brushes[dxOffice11BrushCount] = {};

namespace dx_office11_detail {
TGradientFillProc GradientFillProc = nullptr;
}  // namespace dx_office11_detail

namespace {

using dx_office11_detail::GradientFillProc;

Byte gScheme = 0;
bool gThemed = false;
int gReferences = 0;
HMODULE gMsimg32 = nullptr;
HBITMAP gSubMenuExpand = nullptr;
HBITMAP gExpandMinus = nullptr;
HBITMAP gExpandPlus = nullptr;

int ChR(COLORREF c) { return c & 0xFF; }
int ChG(COLORREF c) { return (c >> 8) & 0xFF; }
int ChB(COLORREF c) { return (c >> 16) & 0xFF; }
int cxClampInt(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }
COLORREF Rgb(int r, int g, int b) { return RGB(cxClampInt(r), cxClampInt(g), cxClampInt(b)); }

// Colours of the table, written red first as in a palette.
constexpr COLORREF Hex(unsigned v) { return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF); }

// A channel between c1 and c2 at step i of n: the last step is c2. A
// single step is c1 (MulDiv answers -1 for a zero divisor).
int GradientChannel(int c1, int c2, int i, int n) {
  if (n <= 1) return c1;
  return cxClampInt(c1 + MulDiv(i, c2 - c1, n - 1));
}

COLORREF GradientColor(COLORREF c1, COLORREF c2, int i, int n) {
  return RGB(GradientChannel(ChR(c1), ChR(c2), i, n), GradientChannel(ChG(c1), ChG(c2), i, n),
             GradientChannel(ChB(c1), ChB(c2), i, n));
}

COLORREF Sys(TColor c) { return ColorToRGB(c); }

void FillWith(HDC DC, const RECT& r, COLORREF c) {
  HBRUSH brush = CreateSolidBrush(c);
  FillRect(DC, &r, brush);
  DeleteObject(brush);
}

}  // namespace

// ---- Colour arithmetic ----------------------------------------------------------

TColor dxNearestScreenColor(TColor AColor) {
  HDC dc = GetDC(nullptr);
  COLORREF result = GetNearestColor(dc, AColor);
  ReleaseDC(nullptr, dc);
  return result;
}

TColor dxMixTwoColors(TColor AColor1, TColor AColor2, int APercent) {
  const COLORREF a = Sys(AColor1), b = Sys(AColor2);
  auto mix = [&](int x, int y) { return cxClampInt(MulDiv(x, APercent, 100) + MulDiv(y, 100 - APercent, 100)); };
  return dxNearestScreenColor(RGB(mix(ChR(a), ChR(b)), mix(ChG(a), ChG(b)), mix(ChB(a), ChB(b))));
}

TColor dxMixSystemColors(int AFacePercent, int AHighlightPercent, int AWindowPercent) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_HIGHLIGHT),
                 window = GetSysColor(COLOR_WINDOW);
  if (face == RGB(0, 0, 0) || face == RGB(255, 255, 255)) return highlight;
  auto mix = [&](int f, int h, int w) {
    return cxClampInt(MulDiv(f, AFacePercent, 100) + MulDiv(h, AHighlightPercent, 100) +
                      MulDiv(w, AWindowPercent, 100));
  };
  return RGB(mix(ChR(face), ChR(highlight), ChR(window)), mix(ChG(face), ChG(highlight), ChG(window)),
             mix(ChB(face), ChB(highlight), ChB(window)));
}

TColor dxOffice11ShadedFaceColor(bool AHalf) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  auto shade = [&](int v) { return AHalf ? v * 127 / 255 + 128 : v + 4 - (4 * v / 255); };
  return dxNearestScreenColor(Rgb(shade(ChR(face)), shade(ChG(face)), shade(ChB(face))));
}

TColor dxScaleColor(TColor AColor, int APercent) {
  const COLORREF c = Sys(AColor);
  auto scale = [&](int v) { return cxClampInt(int(int64_t(v) * APercent / 100)); };
  return RGB(scale(ChR(c)), scale(ChG(c)), scale(ChB(c)));
}

bool dxIsBlackButtonFace() { return GetSysColor(COLOR_BTNFACE) == RGB(0, 0, 0); }
bool dxIsWhiteButtonFace() { return GetSysColor(COLOR_BTNFACE) == RGB(255, 255, 255); }
bool dxIsBlackFaceNonWhiteText() {
  return dxIsBlackButtonFace() && GetSysColor(COLOR_BTNTEXT) != RGB(255, 255, 255);
}

// ---- Scheme and colours ---------------------------------------------------------

Byte dxOffice11Scheme() { return gScheme; }
bool dxOffice11IsSchemeThemed() { return gThemed; }

Byte dxOffice11DetectScheme() {
  if (!dxAreVisualStylesAvailable()) return 0;
  std::vector<WCHAR> file(1024), colour(1024), size(1024);
  if (dxGetCurrentThemeName(file.data(), 1024, colour.data(), 1024, size.data(), 1024) != S_OK) return 0;
  auto upper = [](const WCHAR* s) {
    std::u16string r;
    for (; *s; ++s) r += (*s >= u'a' && *s <= u'z') ? char16_t(*s - u'a' + u'A') : char16_t(*s);
    return r;
  };
  std::u16string path = upper(file.data());
  const size_t slash = path.find_last_of(u"\\/:");
  if (slash != std::u16string::npos) path.erase(0, slash + 1);
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) info = OSVERSIONINFOA{};
  if (info.dwMajorVersion < 6 && path != u"LUNA.MSSTYLES") return 0;
  const std::u16string name = upper(colour.data());
  if (name == u"NORMALCOLOR") return 1;
  if (name == u"HOMESTEAD") return 2;
  if (name == u"METALLIC") return 3;
  return 0;
}

namespace {

// The fixed colours of the three schemes, slot by slot; 0 marks a slot that
// is computed the same way in every scheme.
struct TThemedRow {
  int Slot;
  unsigned Blue, Olive, Silver;
};
constexpr TThemedRow kThemed[] = {
    {0, 0x9EBEF5, 0xD9D9A7, 0xD7D7E5},  {1, 0xC3DAF9, 0xF2F0E4, 0xF3F3F7},  {2, 0xDDECFE, 0xF4F7DE, 0xF3F4FA},
    {3, 0x81A9E2, 0xB7C691, 0x9997B5},  {4, 0x75A6F1, 0xB0C28C, 0xB3B2C8},  {5, 0xFFF8D3, 0xFFF8D3, 0xFFF8D3},
    {6, 0xFE9552, 0xFE9552, 0xFE9552},  {7, 0x003591, 0x60776B, 0x767492},  {8, 0xFFC176, 0xFFC176, 0xFFC176},
    {9, 0xFFDD98, 0xFFDD98, 0xFFDD98},  {10, 0x3B619C, 0x608058, 0x7C7C94}, {11, 0x7BA4E0, 0xB5C48F, 0x9391B0},
    {18, 0x274176, 0x515E33, 0x545475}, {19, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}, {20, 0x6A8CCB, 0x608058, 0x6E6D8F},
    {21, 0xF1F9FF, 0xF4F7DE, 0xFFFFFF}, {22, 0x000000, 0x000000, 0x000000}, {23, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
    {24, 0x2A66C9, 0x74865E, 0x7A7999}, {25, 0xC4DBF9, 0xE1DEAD, 0xDBDAE4}, {28, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
    {29, 0x000000, 0x000000, 0x000000}, {30, 0x000000, 0x000000, 0x000000}, {31, 0xF6F6F6, 0xF4F4EE, 0xFDFAFF},
    {38, 0x002D96, 0x758D5E, 0x7C7C94}, {40, 0xFFEEC2, 0xFFEEC2, 0xFFEEC2}, {41, 0x000080, 0x3F5D38, 0x4B4B6F},
    {42, 0xFFF4CC, 0xFFF4CC, 0xFFF4CC}, {43, 0xFFD091, 0xFFD091, 0xFFD091}, {44, 0xFFD38E, 0xFFD38E, 0xFFD38E},
    {45, 0xFE914E, 0xFE914E, 0xFE914E}, {46, 0xCBE1FC, 0xD8E3B6, 0xD6D3E7}, {47, 0xFFC06F, 0xFFC06F, 0xFFC06F},
    {48, 0xFE803E, 0xFE803E, 0xFE803E}, {49, 0xA9C7F0, 0xC5D49F, 0xC0C0D3}, {51, 0x000000, 0x000000, 0x000000},
    {52, 0x8D8D8D, 0x8D8D8D, 0x8D8D8D}, {58, 0xBEDAFB, 0xAFBA91, 0xE5E5EB}, {59, 0xFBE694, 0xFBE694, 0xFBE694},
    {60, 0x002D96, 0x608058, 0x7C7C94}, {61, 0xC4DAFA, 0xF2F1E4, 0xF3F3F7}, {62, 0xFDEEC9, 0xFDEEC9, 0xFDEEC9},
    {63, 0x3768B9, 0x738954, 0x706F91}, {65, 0x002D96, 0x758D5E, 0x7C7C94}, {66, 0xD3E5FB, 0xF2F5DB, 0xF0F1F8},
    {67, 0x88AEE4, 0xBCC997, 0xA09EBA}, {68, 0xFFFFDC, 0xFFFFDC, 0xFFFFDC}, {69, 0xF7C05B, 0xF7C05B, 0xF7C05B},
    {70, 0xFBE694, 0xFBE694, 0xFBE694}, {71, 0xEE9515, 0xEE9515, 0xEE9515}, {72, 0xE87F08, 0xE87F08, 0xE87F08},
    {73, 0xF7DA7C, 0xF7DA7C, 0xF7DA7C}, {74, 0x5987D6, 0xAFC082, 0xA8A7BF}, {75, 0x033893, 0x637A44, 0x706F91},
    {76, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
};

void ComputeThemed(COLORREF* c, Byte scheme) {
  for (const TThemedRow& row : kThemed)
    c[row.Slot] = Hex(scheme == 1 ? row.Blue : scheme == 2 ? row.Olive : row.Silver);
  c[12] = dxMixTwoColors(c[4], c[2], 90);
  c[13] = dxMixTwoColors(c[5], c[2], 90);
  c[14] = dxMixTwoColors(c[6], c[2], 90);
  c[26] = c[2];
  c[27] = c[24];
  c[64] = c[11];
  c[77] = c[74];
  c[78] = c[75];
}

void ComputeClassic(COLORREF* c) {
  const COLORREF face = Sys(clBtnFace), window = Sys(clWindow), shadow = Sys(clBtnShadow),
                 text = Sys(clBtnText);
  auto mix = [](COLORREF a, COLORREF b, int p) { return dxMixTwoColors(a, b, p); };
  auto nearestMix = [](int f, int h, int w) { return dxNearestScreenColor(dxMixSystemColors(f, h, w)); };
  c[0] = face;
  c[1] = mix(face, window, 20);
  c[2] = mix(face, window, 22);
  c[3] = mix(face, window, 96);
  c[4] = mix(shadow, window, 74);
  c[5] = nearestMix(-15, 29, 86);
  c[6] = nearestMix(42, 11, 47);
  c[7] = shadow;
  c[8] = nearestMix(-15, 29, 86);
  c[9] = nearestMix(42, 11, 47);
  c[10] = mix(face, window, 85);
  c[11] = face;
  c[12] = mix(c[7], window, 50);
  c[13] = mix(c[8], window, 50);
  c[14] = mix(c[9], window, 50);
  c[18] = mix(shadow, window, 76);
  c[19] = window;
  c[20] = mix(shadow, window, 70);
  c[21] = Sys(clWhite);
  c[22] = text;
  c[23] = window;
  c[24] = shadow;
  c[25] = c[3];
  c[26] = c[2];
  c[27] = c[24];
  c[28] = Sys(clBtnHighlight);
  c[29] = text;
  c[30] = text;
  c[31] = window;
  c[38] = shadow;
  c[40] = nearestMix(-2, 30, 72);
  c[41] = Sys(clHighlight);
  c[42] = c[40];
  c[43] = c[40];
  c[46] = c[3];
  c[47] = dxMixSystemColors(41, 11, 48);
  c[48] = nearestMix(14, 44, 40);
  c[44] = c[48];
  c[45] = c[48];
  c[49] = c[46];
  c[51] = text;
  c[52] = Sys(clGrayText);
  c[58] = face;
  c[59] = c[47];
  c[60] = c[38];
  c[61] = c[0];
  c[62] = face;
  c[63] = shadow;
  c[64] = shadow;
  c[65] = dxNearestScreenColor(shadow);
  c[66] = dxOffice11ShadedFaceColor(true);
  c[67] = dxOffice11ShadedFaceColor(false);
  c[68] = c[42];
  c[69] = c[43];
  c[70] = c[47];
  c[71] = c[70];
  c[72] = c[48];
  c[73] = c[72];
  c[74] = c[65];
  c[75] = c[65];
  c[76] = Sys(clHighlightText);
  c[77] = dxNearestScreenColor(face);
  c[78] = c[65];
}

// What every scheme computes alike, in slot order after the columns.
void ComputeShared(COLORREF* c) {
  c[15] = dxMixTwoColors(c[7], c[11], 50);
  c[16] = dxMixTwoColors(c[8], c[11], 50);
  c[17] = dxMixTwoColors(c[9], c[11], 50);
  c[32] = c[2];
  c[33] = c[3];
  c[34] = c[2];
  c[35] = c[3];
  c[36] = dxMixTwoColors(c[34], clBlack, 92);
  c[37] = dxMixTwoColors(c[35], clBlack, 92);
  c[39] = c[31];
  c[50] = c[40];
  c[53] = c[38];
  c[54] = c[0];
  c[55] = c[15];
  c[56] = c[28];
  c[57] = c[38];
}

}  // namespace

void dxOffice11ComputeColors() {
  gScheme = dxOffice11DetectScheme();
  gThemed = gScheme != 0 && dxAreVisualStylesAvailable();
  COLORREF c[dxOffice11ColorCount];
  std::copy(std::begin(dxOffice11Colors), std::end(dxOffice11Colors), c);
  if (gThemed)
    ComputeThemed(c, gScheme);
  else
    ComputeClassic(c);
  // Classic slot 12 reads slot 7, 15 reads 7 and 11: every row refers only
  // to slots already final, so the shared rows follow the column.
  ComputeShared(c);
  std::copy(c, c + 79, dxOffice11Colors);
  static constexpr int kPercents[] = {75, 41, 125, 40};
  dxOffice11TwoTonePercent = kPercents[gScheme <= 3 ? gScheme : 0];
}

// ---- Brushes and bitmaps ------------------------------------------------------

namespace {

// Colour slot of each brush slot; -1 shares the brush of the slot named in
// kShared.
constexpr int kBrushColor[dxOffice11BrushCount] = {18, 19, 20, 21, 31, 41, 40, 46, 47, 48, 38, -1, 49, -1, -1, 55};
constexpr int kShared[dxOffice11BrushCount] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 6, 10, 0};

HINSTANCE LibraryModule() { return HInstance; }

}  // namespace

void dxOffice11RecolorExpandGlyph(HBITMAP ABitmap) {
  if (!ABitmap) return;
  BITMAP bm{};
  if (!GetObjectA(ABitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight == 0) return;
  const int w = bm.bmWidth, h = std::abs(bm.bmHeight);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> px(size_t(w) * size_t(h));
  HDC dc = GetDC(nullptr);
  if (!GetDIBits(dc, ABitmap, 0, UINT(h), px.data(), &info, DIB_RGB_COLORS)) {
    ReleaseDC(nullptr, dc);
    return;
  }
  // Pixels are blue, green, red in memory.
  auto red = [](uint32_t p) { return int((p >> 16) & 0xFF); };
  auto rgb = [](uint32_t p) { return p & 0xFFFFFF; };
  const uint32_t background = rgb(px[0]);
  COLORREF a = dxOffice11Colors[2], b = dxOffice11Colors[3];
  if (a == b) b = a == RGB(0, 0, 0) ? RGB(255, 255, 255) : RGB(0, 0, 0);
  auto mapped = [&](uint32_t p) { return rgb(p) != background && rgb(p) != 0; };
  int smallest = 255, largest = 1;
  for (uint32_t p : px)
    if (mapped(p)) {
      smallest = std::min(smallest, red(p));
      largest = std::max(largest, red(p));
    }
  // One shared red value (or none) maps everything to colour B.
  const int range = largest - smallest;
  for (uint32_t& p : px)
    if (mapped(p)) {
      const int percent = range > 0 ? MulDiv(red(p) - smallest, 100, range) : 0;
      const COLORREF c = dxMixTwoColors(a, b, std::clamp(percent, 0, 100));
      p = (p & 0xFF000000u) | (uint32_t(ChR(c)) << 16) | (uint32_t(ChG(c)) << 8) | uint32_t(ChB(c));
    }
  SetDIBits(dc, ABitmap, 0, UINT(h), px.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
}

void dxOffice11MakeBrushes() {
  for (int i = 0; i < dxOffice11BrushCount; ++i)
    if (kBrushColor[i] >= 0) dxOffice11Brushes[i] = CreateSolidBrush(dxOffice11Colors[kBrushColor[i]]);
  for (int i = 0; i < dxOffice11BrushCount; ++i)
    if (kBrushColor[i] < 0) dxOffice11Brushes[i] = dxOffice11Brushes[kShared[i]];
  gSubMenuExpand = LoadBitmapA(LibraryModule(), "DXSUBMENUEXPAND");
  dxOffice11RecolorExpandGlyph(gSubMenuExpand);
  gExpandMinus = LoadBitmapA(LibraryModule(), "DXEXPANDBUTTON_MINUS");
  gExpandPlus = LoadBitmapA(LibraryModule(), "DXEXPANDBUTTON_PLUS");
  dxOffice11Colors[79] = RGB(158, 174, 191);
  dxOffice11Colors[80] = RGB(46, 70, 95);
}

void dxOffice11FreeBrushes() {
  for (HBITMAP* b : {&gSubMenuExpand, &gExpandMinus, &gExpandPlus})
    if (*b) {
      DeleteObject(*b);
      *b = nullptr;
    }
  for (int i = 0; i < dxOffice11BrushCount; ++i)
    if (kBrushColor[i] >= 0 && dxOffice11Brushes[i]) DeleteObject(dxOffice11Brushes[i]);
  std::fill(std::begin(dxOffice11Brushes), std::end(dxOffice11Brushes), nullptr);
}

void dxOffice11ColorsAddRef() {
  if (gReferences == 0) {
    dxOffice11ComputeColors();
    dxOffice11MakeBrushes();
  }
  ++gReferences;
}

void dxOffice11ColorsDropRef() {
  if (gReferences <= 0) return;
  if (--gReferences == 0) dxOffice11FreeBrushes();
}

void dxOffice11RefreshColors() {
  dxOffice11ComputeColors();
  if (gReferences != 0) {
    dxOffice11FreeBrushes();
    dxOffice11MakeBrushes();
  }
}

int dxOffice11ColorsReferenceCount() { return gReferences; }

HBITMAP dxOffice11SubMenuExpandBitmap() { return gSubMenuExpand; }
HBITMAP dxOffice11ExpandButtonBitmap(bool AExpanded) { return AExpanded ? gExpandMinus : gExpandPlus; }

// ---- Fills, frames, arrows, dots ---------------------------------------------------

void dxFillRectSolid(HDC DC, const TRect& R, TColor AColor) {
  if (AColor == clNone) return;
  FillWith(DC, R, ColorToRGB(AColor));
}

void dxFrameRectSolid(HDC DC, const TRect& R, TColor AColor) {
  if (AColor == clNone) return;
  HBRUSH brush = CreateSolidBrush(ColorToRGB(AColor));
  FrameRect(DC, &R, brush);
  DeleteObject(brush);
}

void dxOffice11FrameHotRect(HDC DC, const TRect& R) {
  if (dxIsBlackButtonFace())
    dxFrameRectSolid(DC, R, clHighlightText);
  else
    FrameRect(DC, &R, dxOffice11Brushes[5]);
}

void dxOffice11DrawArrow(HDC DC, const TRect& R, bool ADown, bool AEnabled, bool ASelected, int ASize) {
  const int s = ASize;
  if (s <= 0) return;
  COLORREF colour;
  if (!AEnabled)
    colour = dxOffice11Colors[52];
  else if (ASelected && dxIsWhiteButtonFace())
    colour = RGB(255, 255, 255);
  else
    colour = dxOffice11Colors[51];
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HBRUSH brush = CreateSolidBrush(colour);
  const HGDIOBJ oldPen = SelectObject(DC, pen), oldBrush = SelectObject(DC, brush);
  POINT p[3];
  if (ADown) {
    const int x = (R.Left + R.Right - (2 * s - 1)) / 2, y = (R.Top + R.Bottom - s) / 2;
    p[0] = POINT(x, y);
    p[1] = POINT(x + 2 * s - 2, y);
    p[2] = POINT(x + s - 1, y + s - 1);
  } else {
    const int x = (R.Left + R.Right - s) / 2, y = (R.Top + R.Bottom - (2 * s - 1)) / 2;
    p[0] = POINT(x, y);
    p[1] = POINT(x + s - 1, y + s - 1);
    p[2] = POINT(x, y + 2 * s - 2);
  }
  Polygon(DC, p, 3);
  SelectObject(DC, oldBrush);
  SelectObject(DC, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

void dxOffice11DrawArrowInRect(HDC DC, const TRect& R, bool ADown, bool AEnabled, bool ASelected) {
  const int f = ADown ? (R.Right - R.Left) - 8 : (R.Bottom - R.Top) - 6;
  int s = (f - 1) / 2 + ((f % 2 != 0) ? 1 : 0);
  s = std::max(s, 3);
  dxOffice11DrawArrow(DC, R, ADown, AEnabled, ASelected, s);
}

void dxOffice11DrawGripDots(HDC DC, const TRect& R, TdxGripDotsRun ARun, HBRUSH ADotBrush, HBRUSH ALightBrush) {
  if (!ADotBrush) ADotBrush = dxOffice11Brushes[0];
  if (!ALightBrush) ALightBrush = dxOffice11Brushes[1];
  const bool vertical = ARun == TdxGripDotsRun::Vertical;
  const int extent = vertical ? R.Bottom - R.Top : R.Right - R.Left;
  int r = extent % 4;
  if (r == 2 || r == 3) r /= 2;
  RECT cell{R.Left, R.Top, R.Left + 4, R.Top + 4};
  if (vertical)
    OffsetRect(&cell, 0, r);
  else
    OffsetRect(&cell, r, 0);
  do {
    const RECT light{cell.Left + 1, cell.Top + 1, cell.Left + 3, cell.Top + 3};
    const RECT dot{cell.Left, cell.Top, cell.Left + 2, cell.Top + 2};
    FillRect(DC, &light, ALightBrush);
    FillRect(DC, &dot, ADotBrush);
    if (vertical)
      OffsetRect(&cell, 0, 4);
    else
      OffsetRect(&cell, 4, 0);
  } while (vertical ? cell.Bottom <= R.Bottom : cell.Right <= R.Right);
}

void dxOffice11PaintSizeGrip(HDC DC, const TRect& R, TColor ADotColor, TColor ALightColor) {
  HBRUSH dot = ADotColor == clDefault ? nullptr : CreateSolidBrush(ColorToRGB(ADotColor));
  HBRUSH light = ALightColor == clDefault ? nullptr : CreateSolidBrush(ColorToRGB(ALightColor));
  TRect strip(R.Right - 12, R.Bottom - 3, R.Right, R.Bottom);
  for (int row = 0; row < 3; ++row) {
    dxOffice11DrawGripDots(DC, strip, TdxGripDotsRun::Horizontal, dot, light);
    strip.Left += 4;
    OffsetRect(&strip, 0, -4);
  }
  if (dot) DeleteObject(dot);
  if (light) DeleteObject(light);
}

// ---- Gradients -------------------------------------------------------------------

TColor dxGradientColorAtPos(const TRect& R, int APosition, TColor AColor1, TdxGradientDirection ADirection,
                            TColor AColor2) {
  const bool horizontal = ADirection == TdxGradientDirection::Horizontal;
  const int start = horizontal ? R.Left : R.Top;
  const int extent = horizontal ? R.Right - R.Left : R.Bottom - R.Top;
  const COLORREF c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  if (extent <= 0) return c1;
  const int n = std::min(extent, 256);
  const int step = std::max(MulDiv(APosition - start + 1, n, extent) - 1, 0);
  return GradientColor(c1, c2, std::min(step, n - 1), n);
}

void dxPaintGradient(HDC DC, const TRect& R, TColor AColor1, TdxGradientDirection ADirection, TColor AColor2) {
  const COLORREF c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  if (c1 == c2) {
    FillWith(DC, R, c1);
    return;
  }
  const bool horizontal = ADirection == TdxGradientDirection::Horizontal;
  if (GradientFillProc) {
    TRIVERTEX v[2]{};
    v[0].x = R.Left;
    v[0].y = R.Top;
    v[0].Red = COLOR16(ChR(c1) << 8);
    v[0].Green = COLOR16(ChG(c1) << 8);
    v[0].Blue = COLOR16(ChB(c1) << 8);
    v[1].x = R.Right;
    v[1].y = R.Bottom;
    v[1].Red = COLOR16(ChR(c2) << 8);
    v[1].Green = COLOR16(ChG(c2) << 8);
    v[1].Blue = COLOR16(ChB(c2) << 8);
    GRADIENT_RECT mesh{0, 1};
    GradientFillProc(DC, v, 2, &mesh, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
    return;
  }
  const int start = horizontal ? R.Left : R.Top;
  const int extent = horizontal ? R.Right - R.Left : R.Bottom - R.Top;
  if (extent <= 0) return;
  const int n = std::min(extent, 256);
  int from = start;
  for (int i = 0; i < n; ++i) {
    const int to = start + MulDiv(i + 1, extent, n);
    if (to > from) {
      const RECT strip = horizontal ? RECT{from, R.Top, to, R.Bottom} : RECT{R.Left, from, R.Right, to};
      FillWith(DC, strip, GradientColor(c1, c2, i, n));
      from = to;
    }
    if (to >= start + extent) break;
  }
}

void dxPaintTwoToneGradient(HDC DC, const TRect& R, TColor AColor1, TdxGradientDirection ADirection,
                            TColor AColor2) {
  const COLORREF c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  if (c1 == c2) {
    FillWith(DC, R, c1);
    return;
  }
  const bool horizontal = ADirection == TdxGradientDirection::Horizontal;
  const int e = horizontal ? R.Right - R.Left : R.Bottom - R.Top;
  if (e <= 0) return;
  const int h = e / 2;
  const int p = dxOffice11TwoTonePercent;
  const int a[3] = {ChR(c1), ChG(c1), ChB(c1)}, b[3] = {ChR(c2), ChG(c2), ChB(c2)};
  int m[3], s[3], t[3];
  for (int k = 0; k < 3; ++k) {
    m[k] = a[k] - MulDiv(a[k] - b[k], p, 200);
    // A one-pixel band has no first half (h = 0): it is the middle colour.
    s[k] = h > 0 ? a[k] - MulDiv(a[k] - m[k], e, h) : m[k];
    t[k] = h > 0 ? b[k] + MulDiv(m[k] - b[k], e, h) : m[k];
  }
  for (int i = 0; i < e; ++i) {
    int ch[3];
    for (int k = 0; k < 3; ++k) {
      if (i == h)
        ch[k] = m[k];
      else if (i < h)
        ch[k] = a[k] + MulDiv(i, s[k] - a[k], e - 1);
      else
        ch[k] = t[k] + MulDiv(i, b[k] - t[k], e - 1);
      ch[k] = cxClampInt(ch[k]);
    }
    const int at = (horizontal ? R.Left : R.Top) + i;
    const RECT strip = horizontal ? RECT{at, R.Top, at + 1, R.Bottom} : RECT{R.Left, at, R.Right, at + 1};
    FillWith(DC, strip, RGB(ch[0], ch[1], ch[2]));
  }
}

// ---- Unit ------------------------------------------------------------------------------

namespace dx_office11_detail {

void StartOffice11() {
  if (!gMsimg32) gMsimg32 = LoadLibraryA("msimg32.dll");
  GradientFillProc =
      gMsimg32 ? reinterpret_cast<TGradientFillProc>(GetProcAddress(gMsimg32, "GradientFill")) : nullptr;
}

void StopOffice11() {
  dxOffice11FreeBrushes();
  gReferences = 0;
  GradientFillProc = nullptr;
  if (gMsimg32) {
    FreeLibrary(gMsimg32);
    gMsimg32 = nullptr;
  }
}

}  // namespace dx_office11_detail
