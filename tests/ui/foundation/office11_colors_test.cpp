#include "ui/foundation/office11_colors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend/codecs.h"
#include "platform/rtl/mathutils.h"
#include "platform/win/kernel/kernel.h"
#include "platform/testing/uxtheme_recording.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_test_seams.h"
#include "tests/common/pictures.h"
#include "ui/foundation/themes.h"

namespace {

using dx_office11_detail::GradientFillProc;

constexpr COLORREF Hex(unsigned v) { return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF); }
int Red(COLORREF c) { return c & 0xFF; }
int Green(COLORREF c) { return (c >> 8) & 0xFF; }
int Blue(COLORREF c) { return (c >> 16) & 0xFF; }

// A 32-bit top-down surface with its own memory DC.
struct TSurface {
  int W, H;
  HDC DC = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  TSurface(int w, int h, COLORREF fill = RGB(255, 255, 255)) : W(w), H(h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    DC = CreateCompatibleDC(nullptr);
    Bitmap = CreateDIBSection(DC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Old = SelectObject(DC, Bitmap);
    Fill(TRect(0, 0, w, h), fill);
  }
  ~TSurface() {
    SelectObject(DC, Old);
    DeleteObject(Bitmap);
    DeleteDC(DC);
  }
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;
  void Fill(const TRect& R, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    FillRect(DC, &R, b);
    DeleteObject(b);
  }
  COLORREF At(int x, int y) const { return GetPixel(DC, x, y); }
  std::vector<COLORREF> Pixels(const TRect& R) const {
    std::vector<COLORREF> r;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) r.push_back(At(x, y));
    return r;
  }
  bool SavePng(const std::string& AName) const {
    std::vector<uint32_t> px(size_t(W) * size_t(H));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = W;
    info.bmiHeader.biHeight = -H;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (!GetDIBits(DC, Bitmap, 0, UINT(H), px.data(), &info, DIB_RGB_COLORS)) return false;
    for (uint32_t& p : px) p |= 0xFF000000u;
    rtl::backend::TEncodeOptions options;
    options.Alpha = false;
    std::string png;
    if (!rtl::backend::EncodeImage(rtl::backend::iffPng, px.data(), W, H, W * 4, options, png)) return false;
    std::ofstream(PictureDir() + AName, std::ios::binary) << png;
    return true;
  }
};

// The system colours the classic column is derived from, installed for
// every test and put back afterwards.
const INT kElements[] = {COLOR_BTNFACE,  COLOR_WINDOW,        COLOR_BTNSHADOW, COLOR_BTNTEXT,
                         COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT,  COLOR_BTNHIGHLIGHT};
constexpr int kElementCount = sizeof(kElements) / sizeof(kElements[0]);
const COLORREF kClassic[kElementCount] = {Hex(0xD4D0C8), Hex(0xFFFFFF), Hex(0x808080), Hex(0x000000),
                                          Hex(0x0A246A), Hex(0xFFFFFF), Hex(0x808080), Hex(0xFFFFFF)};

class Office11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < kElementCount; ++i) saved_[i] = GetSysColor(kElements[i]);
    ASSERT_TRUE(SetSysColors(kElementCount, kElements, kClassic));
    dx_themes_detail::StartUxThemeUnit();
    dx_themes_detail::StartThemeManager();
    dx_office11_detail::StartOffice11();
    ASSERT_NE(GradientFillProc, nullptr);
  }
  void TearDown() override {
    while (dxOffice11ColorsReferenceCount() > 0) dxOffice11ColorsDropRef();
    dx_office11_detail::StopOffice11();
    theme_.reset();
    dx_themes_detail::StopThemeManager();
    dx_themes_detail::StopUxThemeUnit();
    SetSysColors(kElementCount, kElements, saved_);
    rtl::testing::ResetSystemInfo();
  }
  TRecordingTheme& InstallTheme(const std::u16string& AFile, const std::u16string& AColour) {
    theme_.reset();
    theme_ = std::make_unique<TRecordingTheme>();
    theme_->FileName = AFile;
    theme_->ColorName = AColour;
    return *theme_;
  }
  void SetSysColor(int AElement, COLORREF AColor) { ASSERT_TRUE(SetSysColors(1, &AElement, &AColor)); }

  std::unique_ptr<TRecordingTheme> theme_;
  COLORREF saved_[kElementCount]{};
};

// ---- Scheme detection --------------------------------------------------------

TEST_F(Office11Test, SchemeDetectionByVersionThemeFileAndColourName) {
  const struct {
    DWORD Major, Minor;
    const char16_t* File;
    const char16_t* Colour;
    int Scheme;
  } cases[] = {
      {5, 1, u"luna.msstyles", u"NormalColor", 1},
      {5, 1, u"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", u"HomeStead", 2},
      {5, 1, u"luna.msstyles", u"Metallic", 3},
      {5, 1, u"luna.msstyles", u"Royale", 0},
      {5, 1, u"royale.msstyles", u"NORMALCOLOR", 0},
      {5, 1, u"C:\\Themes\\zune.msstyles", u"NormalColor", 0},
      {6, 0, u"aero.msstyles", u"NormalColor", 1},
      {6, 1, u"C:\\Windows\\Resources\\Themes\\Aero\\aero.msstyles", u"normalcolor", 1},
      {6, 1, u"aero.msstyles", u"Metallic", 3},
      {6, 1, u"aero.msstyles", u"Aero", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Major) + "." + std::to_string(c.Minor) + " scheme " + std::to_string(c.Scheme));
    rtl::testing::SetVersion({c.Major, c.Minor, 2600, "", 2});
    InstallTheme(c.File, c.Colour);
    ASSERT_TRUE(dxAreVisualStylesAvailable());
    EXPECT_EQ(dxOffice11DetectScheme(), c.Scheme);
    dxOffice11ComputeColors();
    EXPECT_EQ(dxOffice11Scheme(), c.Scheme);
    EXPECT_EQ(dxOffice11IsSchemeThemed(), c.Scheme != 0);
    if (c.Scheme == 0) {
      EXPECT_EQ(dxOffice11Colors[0], kClassic[0]);
    }
  }
}

TEST_F(Office11Test, WithoutAVisualStyleTheSchemeIsClassic) {
  rtl::testing::SetVersion({5, 1, 2600, "", 2});
  ASSERT_FALSE(dxAreVisualStylesAvailable());
  dxOffice11ComputeColors();
  EXPECT_EQ(dxOffice11Scheme(), 0);
  EXPECT_FALSE(dxOffice11IsSchemeThemed());
  EXPECT_EQ(dxOffice11TwoTonePercent, 75);
  EXPECT_EQ(dxOffice11Colors[0], kClassic[0]);
  EXPECT_EQ(dxOffice11Colors[41], kClassic[4]);
}

// ---- The colour table -----------------------------------------------------------

// The fixed colours of the three schemes as the table lists them; 0xFFFFFFFF
// marks a slot the table computes (checked by the formula rows below).
constexpr unsigned F = 0xFFFFFFFF;
const unsigned kBlue[79] = {
    0x9EBEF5, 0xC3DAF9, 0xDDECFE, 0x81A9E2, 0x75A6F1, 0xFFF8D3, 0xFE9552, 0x003591, 0xFFC176, 0xFFDD98,  // 0
    0x3B619C, 0x7BA4E0, F,        F,        F,        F,        F,        F,        0x274176, 0xFFFFFF,  // 10
    0x6A8CCB, 0xF1F9FF, 0x000000, 0xFFFFFF, 0x2A66C9, 0xC4DBF9, F,        F,        0xFFFFFF, 0x000000,  // 20
    0x000000, 0xF6F6F6, F,        F,        F,        F,        F,        F,        0x002D96, F,         // 30
    0xFFEEC2, 0x000080, 0xFFF4CC, 0xFFD091, 0xFFD38E, 0xFE914E, 0xCBE1FC, 0xFFC06F, 0xFE803E, 0xA9C7F0,  // 40
    F,        0x000000, 0x8D8D8D, F,        F,        F,        F,        F,        0xBEDAFB, 0xFBE694,  // 50
    0x002D96, 0xC4DAFA, 0xFDEEC9, 0x3768B9, F,        0x002D96, 0xD3E5FB, 0x88AEE4, 0xFFFFDC, 0xF7C05B,  // 60
    0xFBE694, 0xEE9515, 0xE87F08, 0xF7DA7C, 0x5987D6, 0x033893, 0xFFFFFF, F,        F,                   // 70
};
const unsigned kOlive[79] = {
    0xD9D9A7, 0xF2F0E4, 0xF4F7DE, 0xB7C691, 0xB0C28C, 0xFFF8D3, 0xFE9552, 0x60776B, 0xFFC176, 0xFFDD98,  // 0
    0x608058, 0xB5C48F, F,        F,        F,        F,        F,        F,        0x515E33, 0xFFFFFF,  // 10
    0x608058, 0xF4F7DE, 0x000000, 0xFFFFFF, 0x74865E, 0xE1DEAD, F,        F,        0xFFFFFF, 0x000000,  // 20
    0x000000, 0xF4F4EE, F,        F,        F,        F,        F,        F,        0x758D5E, F,         // 30
    0xFFEEC2, 0x3F5D38, 0xFFF4CC, 0xFFD091, 0xFFD38E, 0xFE914E, 0xD8E3B6, 0xFFC06F, 0xFE803E, 0xC5D49F,  // 40
    F,        0x000000, 0x8D8D8D, F,        F,        F,        F,        F,        0xAFBA91, 0xFBE694,  // 50
    0x608058, 0xF2F1E4, 0xFDEEC9, 0x738954, F,        0x758D5E, 0xF2F5DB, 0xBCC997, 0xFFFFDC, 0xF7C05B,  // 60
    0xFBE694, 0xEE9515, 0xE87F08, 0xF7DA7C, 0xAFC082, 0x637A44, 0xFFFFFF, F,        F,                   // 70
};
const unsigned kSilver[79] = {
    0xD7D7E5, 0xF3F3F7, 0xF3F4FA, 0x9997B5, 0xB3B2C8, 0xFFF8D3, 0xFE9552, 0x767492, 0xFFC176, 0xFFDD98,  // 0
    0x7C7C94, 0x9391B0, F,        F,        F,        F,        F,        F,        0x545475, 0xFFFFFF,  // 10
    0x6E6D8F, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x7A7999, 0xDBDAE4, F,        F,        0xFFFFFF, 0x000000,  // 20
    0x000000, 0xFDFAFF, F,        F,        F,        F,        F,        F,        0x7C7C94, F,         // 30
    0xFFEEC2, 0x4B4B6F, 0xFFF4CC, 0xFFD091, 0xFFD38E, 0xFE914E, 0xD6D3E7, 0xFFC06F, 0xFE803E, 0xC0C0D3,  // 40
    F,        0x000000, 0x8D8D8D, F,        F,        F,        F,        F,        0xE5E5EB, 0xFBE694,  // 50
    0x7C7C94, 0xF3F3F7, 0xFDEEC9, 0x706F91, F,        0x7C7C94, 0xF0F1F8, 0xA09EBA, 0xFFFFDC, 0xF7C05B,  // 60
    0xFBE694, 0xEE9515, 0xE87F08, 0xF7DA7C, 0xA8A7BF, 0x706F91, 0xFFFFFF, F,        F,                   // 70
};

// A formula row of the table: operands are slots (0..80) or, as Sys(x),
// system colours; Mix is dxMixTwoColors, SysMix dxMixSystemColors.
enum TKind { kSlot, kSys, kMix, kSysMix, kNearestSysMix, kNearestSys, kShaded };
constexpr int Sys(int AElement) { return 1000 + AElement; }
constexpr int kBlackOperand = 2000;
struct TFormula {
  int Slot;
  TKind Kind;
  int A = 0, B = 0, P = 0;
};

COLORREF Operand(int AOperand) {
  if (AOperand == kBlackOperand) return 0;
  if (AOperand >= 1000) return GetSysColor(AOperand - 1000);
  return dxOffice11Colors[AOperand];
}

COLORREF Evaluate(const TFormula& f) {
  switch (f.Kind) {
    case kSlot: return Operand(f.A);
    case kSys: return Operand(f.A);
    case kMix: return dxMixTwoColors(Operand(f.A), Operand(f.B), f.P);
    case kSysMix: return dxMixSystemColors(f.A, f.B, f.P);
    case kNearestSysMix: return dxNearestScreenColor(dxMixSystemColors(f.A, f.B, f.P));
    case kNearestSys: return dxNearestScreenColor(Operand(f.A));
    case kShaded: return dxOffice11ShadedFaceColor(f.A != 0);
  }
  return 0;
}

// Rows whose four columns agree.
const TFormula kShared[] = {
    {15, kMix, 7, 11, 50}, {16, kMix, 8, 11, 50}, {17, kMix, 9, 11, 50}, {26, kSlot, 2},
    {27, kSlot, 24},       {32, kSlot, 2},        {33, kSlot, 3},        {34, kSlot, 2},
    {35, kSlot, 3},        {36, kMix, 34, kBlackOperand, 92},            {37, kMix, 35, kBlackOperand, 92},
    {39, kSlot, 31},       {50, kSlot, 40},       {53, kSlot, 38},       {54, kSlot, 0},
    {55, kSlot, 15},       {56, kSlot, 28},       {57, kSlot, 38},
};
// The themed columns' formula rows.
const TFormula kThemedFormulas[] = {
    {12, kMix, 4, 2, 90}, {13, kMix, 5, 2, 90}, {14, kMix, 6, 2, 90},
    {64, kSlot, 11},      {77, kSlot, 74},      {78, kSlot, 75},
};
// The classic column, every slot.
const TFormula kClassicColumn[] = {
    {0, kSys, Sys(COLOR_BTNFACE)},
    {1, kMix, Sys(COLOR_BTNFACE), Sys(COLOR_WINDOW), 20},
    {2, kMix, Sys(COLOR_BTNFACE), Sys(COLOR_WINDOW), 22},
    {3, kMix, Sys(COLOR_BTNFACE), Sys(COLOR_WINDOW), 96},
    {4, kMix, Sys(COLOR_BTNSHADOW), Sys(COLOR_WINDOW), 74},
    {5, kNearestSysMix, -15, 29, 86},
    {6, kNearestSysMix, 42, 11, 47},
    {7, kSys, Sys(COLOR_BTNSHADOW)},
    {8, kNearestSysMix, -15, 29, 86},
    {9, kNearestSysMix, 42, 11, 47},
    {10, kMix, Sys(COLOR_BTNFACE), Sys(COLOR_WINDOW), 85},
    {11, kSys, Sys(COLOR_BTNFACE)},
    {12, kMix, 7, Sys(COLOR_WINDOW), 50},
    {13, kMix, 8, Sys(COLOR_WINDOW), 50},
    {14, kMix, 9, Sys(COLOR_WINDOW), 50},
    {18, kMix, Sys(COLOR_BTNSHADOW), Sys(COLOR_WINDOW), 76},
    {19, kSys, Sys(COLOR_WINDOW)},
    {20, kMix, Sys(COLOR_BTNSHADOW), Sys(COLOR_WINDOW), 70},
    {22, kSys, Sys(COLOR_BTNTEXT)},
    {23, kSys, Sys(COLOR_WINDOW)},
    {24, kSys, Sys(COLOR_BTNSHADOW)},
    {25, kSlot, 3},
    {28, kSys, Sys(COLOR_BTNHIGHLIGHT)},
    {29, kSys, Sys(COLOR_BTNTEXT)},
    {30, kSys, Sys(COLOR_BTNTEXT)},
    {31, kSys, Sys(COLOR_WINDOW)},
    {38, kSys, Sys(COLOR_BTNSHADOW)},
    {40, kNearestSysMix, -2, 30, 72},
    {41, kSys, Sys(COLOR_HIGHLIGHT)},
    {42, kSlot, 40},
    {43, kSlot, 40},
    {44, kSlot, 48},
    {45, kSlot, 48},
    {46, kSlot, 3},
    {47, kSysMix, 41, 11, 48},
    {48, kNearestSysMix, 14, 44, 40},
    {49, kSlot, 46},
    {51, kSys, Sys(COLOR_BTNTEXT)},
    {52, kSys, Sys(COLOR_GRAYTEXT)},
    {58, kSys, Sys(COLOR_BTNFACE)},
    {59, kSlot, 47},
    {60, kSlot, 38},
    {61, kSlot, 0},
    {62, kSys, Sys(COLOR_BTNFACE)},
    {63, kSys, Sys(COLOR_BTNSHADOW)},
    {64, kSys, Sys(COLOR_BTNSHADOW)},
    {65, kNearestSys, Sys(COLOR_BTNSHADOW)},
    {66, kShaded, 1},
    {67, kShaded, 0},
    {68, kSlot, 42},
    {69, kSlot, 43},
    {70, kSlot, 47},
    {71, kSlot, 70},
    {72, kSlot, 48},
    {73, kSlot, 72},
    {74, kSlot, 65},
    {75, kSlot, 65},
    {76, kSys, Sys(COLOR_HIGHLIGHTTEXT)},
    {77, kNearestSys, Sys(COLOR_BTNFACE)},
    {78, kSlot, 65},
};

TEST_F(Office11Test, ThemedColumnsHoldTheTablesColours) {
  rtl::testing::SetVersion({5, 1, 2600, "", 2});
  const struct {
    const char16_t* Colour;
    const unsigned* Column;
    int Percent;
  } schemes[] = {{u"NormalColor", kBlue, 41}, {u"HomeStead", kOlive, 125}, {u"Metallic", kSilver, 40}};
  for (const auto& s : schemes) {
    InstallTheme(u"luna.msstyles", s.Colour);
    dxOffice11ColorsAddRef();
    SCOPED_TRACE(int(dxOffice11Scheme()));
    for (int slot = 0; slot < 79; ++slot)
      if (s.Column[slot] != F) {
        EXPECT_EQ(dxOffice11Colors[slot], Hex(s.Column[slot])) << "slot " << slot;
      }
    for (const TFormula& f : kThemedFormulas) EXPECT_EQ(dxOffice11Colors[f.Slot], Evaluate(f)) << "slot " << f.Slot;
    for (const TFormula& f : kShared) EXPECT_EQ(dxOffice11Colors[f.Slot], Evaluate(f)) << "slot " << f.Slot;
    EXPECT_EQ(dxOffice11Colors[79], RGB(158, 174, 191));
    EXPECT_EQ(dxOffice11Colors[80], RGB(46, 70, 95));
    EXPECT_EQ(dxOffice11TwoTonePercent, s.Percent);
    dxOffice11ColorsDropRef();
  }
  // The silver scheme's light gradient colour, as the look shows it.
  EXPECT_EQ(dxOffice11GradientLightColor(), Hex(0xF3F4FA));
}

TEST_F(Office11Test, ClassicColumnFollowsTheSystemColours) {
  dxOffice11ColorsAddRef();
  ASSERT_FALSE(dxOffice11IsSchemeThemed());
  for (const TFormula& f : kClassicColumn) EXPECT_EQ(dxOffice11Colors[f.Slot], Evaluate(f)) << "slot " << f.Slot;
  for (const TFormula& f : kShared) EXPECT_EQ(dxOffice11Colors[f.Slot], Evaluate(f)) << "slot " << f.Slot;
  EXPECT_EQ(dxOffice11Colors[21], Hex(0xFFFFFF));
  // A few values worked out by hand from the installed system colours.
  EXPECT_EQ(dxOffice11Colors[1], Hex(0xF6F6F4));   // 20 % D4D0C8 + 80 % white
  EXPECT_EQ(dxOffice11Colors[66], Hex(0xE9E7E3));  // half-way to white
  EXPECT_EQ(dxOffice11Colors[79], RGB(158, 174, 191));
  // The named colours read their slots.
  const struct {
    TColor (*Read)();
    int Slot;
  } named[] = {{dxOffice11BarFaceColor, 0},         {dxOffice11LightBackgroundColor, 1},
               {dxOffice11GradientLightColor, 2},   {dxOffice11GradientDarkColor, 3},
               {dxOffice11DarkLineColor, 20},       {dxOffice11LightLineColor, 21},
               {dxOffice11ShadowColor, 7},          {dxOffice11HighlightColor, 28},
               {dxOffice11MenuBackgroundColor, 31}, {dxOffice11MenuInnerFrameColor, 39},
               {dxOffice11GutterLightColor, 32},    {dxOffice11GutterDarkColor, 33},
               {dxOffice11MenuFrameColor, 38},      {dxOffice11SelectionFrameColor, 41},
               {dxOffice11HotColor, 40},            {dxOffice11HotGradientColor, 42},
               {dxOffice11PressedColor, 48},        {dxOffice11CheckedColor, 47},
               {dxOffice11TextColor, 51},           {dxOffice11DisabledTextColor, 52},
               {dxOffice11FrameColor, 53},          {dxOffice11BorderColor, 57},
               {dxOffice11PanelFaceColor, 58},      {dxOffice11SelectedColor, 59},
               {dxOffice11PanelColor, 54},          {dxOffice11AreaColor, 61},
               {dxOffice11AreaLineColor, 63},       {dxOffice11AreaShadowColor, 64},
               {dxOffice11PanelShadowColor, 65},    {dxOffice11ExpandCornerColor1, 79},
               {dxOffice11ExpandCornerColor2, 80}};
  for (const auto& n : named) EXPECT_EQ(n.Read(), TColor(dxOffice11Colors[n.Slot])) << "slot " << n.Slot;
  // In the classic column the names give what the bar system expects.
  EXPECT_EQ(dxOffice11SelectionFrameColor(), TColor(kClassic[4]));
  EXPECT_EQ(dxOffice11HotColor(), TColor(dxNearestScreenColor(dxMixSystemColors(-2, 30, 72))));
  EXPECT_EQ(dxOffice11DisabledTextColor(), TColor(kClassic[6]));
}

TEST_F(Office11Test, ColourArithmeticClampsEveryChannel) {
  EXPECT_EQ(dxMixTwoColors(RGB(255, 0, 0), RGB(0, 255, 0), 150), RGB(255, 0, 0));
  EXPECT_EQ(dxMixTwoColors(RGB(0, 255, 0), RGB(255, 0, 0), -50), RGB(255, 0, 0));
  EXPECT_EQ(dxMixTwoColors(RGB(200, 100, 0), RGB(0, 100, 200), 25), RGB(50, 100, 150));
  EXPECT_EQ(dxMixTwoColors(clBtnFace, clWindow, 100), kClassic[0]);
  EXPECT_EQ(dxScaleColor(RGB(100, 200, 50), 50), RGB(50, 100, 25));
  EXPECT_EQ(dxScaleColor(RGB(100, 200, 50), 200), RGB(200, 255, 100));
  EXPECT_EQ(dxScaleColor(clBtnShadow, 50), RGB(64, 64, 64));
  // -15 % of D4D0C8 + 29 % of 0A246A + 86 % of white, clamped at 255.
  EXPECT_EQ(dxMixSystemColors(-15, 29, 86), RGB(190, 198, 220));
  EXPECT_EQ(dxMixSystemColors(-100, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(dxOffice11ShadedFaceColor(false), Hex(0xD5D1C9));
}

TEST_F(Office11Test, BlackOrWhiteButtonFaceUsesTheHighlight) {
  SetSysColor(COLOR_BTNFACE, RGB(0, 0, 0));
  SetSysColor(COLOR_HIGHLIGHT, RGB(0, 128, 0));
  SetSysColor(COLOR_HIGHLIGHTTEXT, RGB(255, 255, 0));
  SetSysColor(COLOR_BTNTEXT, RGB(255, 255, 255));
  EXPECT_TRUE(dxIsBlackButtonFace());
  EXPECT_FALSE(dxIsBlackFaceNonWhiteText());
  EXPECT_EQ(dxMixSystemColors(-15, 29, 86), RGB(0, 128, 0));
  dxOffice11ColorsAddRef();
  TSurface s(10, 10, RGB(9, 9, 9));
  dxOffice11FrameHotRect(s.DC, TRect(1, 1, 9, 9));
  EXPECT_EQ(s.At(1, 1), RGB(255, 255, 0));
  EXPECT_EQ(s.At(8, 5), RGB(255, 255, 0));
  EXPECT_EQ(s.At(2, 2), RGB(9, 9, 9));
  SetSysColor(COLOR_BTNTEXT, RGB(0, 255, 255));
  EXPECT_TRUE(dxIsBlackFaceNonWhiteText());

  SetSysColor(COLOR_BTNFACE, RGB(255, 255, 255));
  EXPECT_TRUE(dxIsWhiteButtonFace());
  EXPECT_EQ(dxMixSystemColors(42, 11, 47), RGB(0, 128, 0));
  dxOffice11RefreshColors();
  dxOffice11FrameHotRect(s.DC, TRect(1, 1, 9, 9));
  EXPECT_EQ(s.At(1, 1), dxOffice11Colors[41]);
}

// ---- Brushes and bitmaps ------------------------------------------------------

DWORD LiveGdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

COLORREF BrushColor(HBRUSH ABrush) {
  LOGBRUSH lb{};
  GetObjectA(ABrush, sizeof lb, &lb);
  return lb.lbColor;
}

TEST_F(Office11Test, BrushesAndBitmapsLiveWhileReferenced) {
  const DWORD before = LiveGdiObjects();
  dxOffice11ColorsAddRef();
  EXPECT_EQ(LiveGdiObjects(), before + 13 + 3);
  dxOffice11ColorsAddRef();
  EXPECT_EQ(LiveGdiObjects(), before + 16);
  const int colourOf[dxOffice11BrushCount] = {18, 19, 20, 21, 31, 41, 40, 46, 47, 48, 38, 31, 49, 40, 38, 55};
  for (int i = 0; i < dxOffice11BrushCount; ++i) {
    ASSERT_NE(dxOffice11Brushes[i], nullptr) << i;
    EXPECT_EQ(BrushColor(dxOffice11Brushes[i]), dxOffice11Colors[colourOf[i]]) << i;
  }
  EXPECT_EQ(dxOffice11Brushes[11], dxOffice11Brushes[4]);
  EXPECT_EQ(dxOffice11Brushes[13], dxOffice11Brushes[6]);
  EXPECT_EQ(dxOffice11Brushes[14], dxOffice11Brushes[10]);

  // A new window colour reaches brush 1 on refresh, without leaking.
  SetSysColor(COLOR_WINDOW, RGB(250, 250, 240));
  dxOffice11RefreshColors();
  EXPECT_EQ(LiveGdiObjects(), before + 16);
  EXPECT_EQ(BrushColor(dxOffice11Brushes[1]), RGB(250, 250, 240));

  dxOffice11ColorsDropRef();
  EXPECT_EQ(LiveGdiObjects(), before + 16);
  dxOffice11ColorsDropRef();
  EXPECT_EQ(LiveGdiObjects(), before);
  EXPECT_EQ(dxOffice11Brushes[0], nullptr);
  EXPECT_EQ(dxOffice11SubMenuExpandBitmap(), nullptr);
  // Not referenced: a refresh recomputes the colours only.
  SetSysColor(COLOR_BTNFACE, RGB(200, 200, 200));
  dxOffice11RefreshColors();
  EXPECT_EQ(LiveGdiObjects(), before);
  EXPECT_EQ(dxOffice11Colors[0], RGB(200, 200, 200));
  // A drop without a reference changes nothing.
  dxOffice11ColorsDropRef();
  EXPECT_EQ(dxOffice11ColorsReferenceCount(), 0);
}

BITMAP BitmapInfo(HBITMAP ABitmap) {
  BITMAP bm{};
  GetObjectA(ABitmap, sizeof bm, &bm);
  return bm;
}

TEST_F(Office11Test, TheThreeBitmapsLoadAndTheGlyphIsRecoloured) {
  dxOffice11ColorsAddRef();
  ASSERT_NE(dxOffice11SubMenuExpandBitmap(), nullptr);
  ASSERT_NE(dxOffice11ExpandButtonBitmap(true), nullptr);
  ASSERT_NE(dxOffice11ExpandButtonBitmap(false), nullptr);
  EXPECT_EQ(BitmapInfo(dxOffice11ExpandButtonBitmap(true)).bmWidth, 11);
  EXPECT_EQ(BitmapInfo(dxOffice11ExpandButtonBitmap(false)).bmHeight, 11);
  EXPECT_EQ(BitmapInfo(dxOffice11SubMenuExpandBitmap()).bmWidth, 7);
  EXPECT_EQ(BitmapInfo(dxOffice11SubMenuExpandBitmap()).bmHeight, 8);

  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dxOffice11SubMenuExpandBitmap());
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 255));  // background kept
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 0));      // outline kept
  EXPECT_EQ(GetPixel(dc, 1, 1), dxOffice11Colors[2]);  // lightest grey
  EXPECT_EQ(GetPixel(dc, 3, 3), dxOffice11Colors[3]);  // darkest grey
  EXPECT_EQ(GetPixel(dc, 2, 2), dxMixTwoColors(dxOffice11Colors[2], dxOffice11Colors[3], 50));
  // Expanded shows the minus, collapsed the plus.
  SelectObject(dc, dxOffice11ExpandButtonBitmap(true));
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(0, 0, 0));
  EXPECT_NE(GetPixel(dc, 5, 3), RGB(0, 0, 0));
  SelectObject(dc, dxOffice11ExpandButtonBitmap(false));
  EXPECT_EQ(GetPixel(dc, 5, 3), RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
}

// A glyph with the given pixels (a row), recoloured with slots 2 and 3 set.
std::vector<COLORREF> Recolored(const std::vector<COLORREF>& APixels, COLORREF A, COLORREF B) {
  TSurface s(int(APixels.size()), 1);
  for (size_t i = 0; i < APixels.size(); ++i) SetPixel(s.DC, int(i), 0, APixels[i]);
  dxOffice11Colors[2] = A;
  dxOffice11Colors[3] = B;
  SelectObject(s.DC, s.Old);
  dxOffice11RecolorExpandGlyph(s.Bitmap);
  SelectObject(s.DC, s.Bitmap);
  return s.Pixels(TRect(0, 0, int(APixels.size()), 1));
}

TEST_F(Office11Test, RecolouringMapsTheRedRangeAndSurvivesEqualExtremes) {
  const COLORREF bg = RGB(255, 0, 255), a = RGB(240, 250, 255), b = RGB(10, 60, 130);
  const struct {
    const char* Name;
    std::vector<COLORREF> In;
    COLORREF A, B;
    std::vector<COLORREF> Out;
  } cases[] = {
      {"a ramp", {bg, RGB(64, 64, 64), RGB(128, 128, 128), RGB(192, 192, 192), 0}, a, b,
       {bg, b, COLORREF(dxMixTwoColors(a, b, 50)), a, 0}},
      // One shared red value: every mapped pixel is colour B, no channel
      // runs below 0 into its neighbour.
      {"equal extremes", {bg, RGB(128, 0, 255), RGB(128, 128, 128), 0}, a, RGB(0, 0, 0) + 1,
       {bg, RGB(1, 0, 0), RGB(1, 0, 0), 0}},
      {"equal extremes, high reds", {bg, RGB(200, 200, 200), RGB(200, 10, 10)}, RGB(255, 255, 255), b,
       {bg, b, b}},
      // Equal slots: B becomes black, or white when A is black.
      {"equal slots", {bg, RGB(10, 10, 10), RGB(250, 250, 250)}, a, a, {bg, 0, a}},
      {"equal black slots", {bg, RGB(10, 10, 10), RGB(250, 250, 250)}, 0, 0, {bg, RGB(255, 255, 255), 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Recolored(c.In, c.A, c.B), c.Out);
  }
}

// ---- Drawing ------------------------------------------------------------------------

// Which pixels of R carry the colour; a text picture, one line per row.
std::string Mask(const TSurface& s, const TRect& R, COLORREF AColor) {
  std::string m;
  for (int y = R.Top; y < R.Bottom; ++y) {
    for (int x = R.Left; x < R.Right; ++x) m += s.At(x, y) == AColor ? '#' : '.';
    m += '\n';
  }
  return m;
}

// A triangle's expected pixels: apex rows for a down arrow.
std::string DownTriangle(int w, int h, int x, int y, int size) {
  std::string m;
  for (int row = 0; row < h; ++row) {
    for (int col = 0; col < w; ++col) {
      const int k = row - y;
      m += (k >= 0 && k < size && col >= x + k && col <= x + 2 * size - 2 - k) ? '#' : '.';
    }
    m += '\n';
  }
  return m;
}

std::string RightTriangle(int w, int h, int x, int y, int size) {
  std::string m;
  for (int row = 0; row < h; ++row) {
    for (int col = 0; col < w; ++col) {
      const int k = col - x;
      m += (k >= 0 && k < size && row >= y + k && row <= y + 2 * size - 2 - k) ? '#' : '.';
    }
    m += '\n';
  }
  return m;
}

TEST_F(Office11Test, ArrowInRectTakesItsSizeFromTheRectangle) {
  dxOffice11ColorsAddRef();
  const COLORREF text = dxOffice11Colors[51];
  const struct {
    int W, H;
    bool Down;
    std::string Expected;
  } cases[] = {
      // f = 8: size 3 (the minimum); x = (16 - 5) / 2, y = (16 - 3) / 2.
      {16, 16, true, DownTriangle(16, 16, 5, 6, 3)},
      // f = 16: size 7; x = (24 - 13) / 2, y = (16 - 7) / 2.
      {24, 16, true, DownTriangle(24, 16, 5, 4, 7)},
      // f = 9 (odd): size 5.
      {17, 16, true, DownTriangle(17, 16, 4, 5, 5)},
      // A right arrow: f = height - 6 = 10, size 4; x = (16 - 4) / 2, y = (16 - 7) / 2.
      {16, 16, false, RightTriangle(16, 16, 6, 4, 4)},
      // A small rectangle still gets size 3.
      {8, 8, false, RightTriangle(8, 8, 2, 1, 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.W) + "x" + std::to_string(c.H));
    TSurface s(c.W, c.H);
    dxOffice11DrawArrowInRect(s.DC, TRect(0, 0, c.W, c.H), c.Down, true, false);
    EXPECT_EQ(Mask(s, TRect(0, 0, c.W, c.H), text), c.Expected);
  }
}

TEST_F(Office11Test, ArrowColourFollowsItsState) {
  const struct {
    bool Enabled, Selected, WhiteFace;
    int Slot;  // -1: white
  } cases[] = {
      {true, false, false, 51}, {true, true, false, 51}, {false, true, false, 52},
      {true, true, true, -1},   {true, false, true, 51}, {false, true, true, 52},
  };
  for (const auto& c : cases) {
    SetSysColor(COLOR_BTNFACE, c.WhiteFace ? RGB(255, 255, 255) : kClassic[0]);
    SetSysColor(COLOR_BTNTEXT, RGB(1, 2, 3));
    dxOffice11ComputeColors();
    TSurface s(16, 16, RGB(100, 0, 0));
    dxOffice11DrawArrow(s.DC, TRect(0, 0, 16, 16), true, c.Enabled, c.Selected, 4);
    const COLORREF expected = c.Slot < 0 ? RGB(255, 255, 255) : dxOffice11Colors[c.Slot];
    EXPECT_EQ(s.At(7, 8), expected) << c.Enabled << c.Selected << c.WhiteFace;
  }
}

TEST_F(Office11Test, SizeGripIsATriangleOfDots) {
  const COLORREF dot = RGB(200, 0, 0), light = RGB(0, 0, 200), bg = RGB(255, 255, 255);
  TSurface s(20, 20, bg);
  dxOffice11PaintSizeGrip(s.DC, TRect(0, 0, 20, 20), dot, light);
  std::vector<std::string> expected(20, std::string(20, '.'));
  const struct {
    int Y, FirstX, Count;
  } rows[] = {{17, 8, 3}, {13, 12, 2}, {9, 16, 1}};
  for (const auto& r : rows)
    for (int i = 0; i < r.Count; ++i) {
      const int x = r.FirstX + 4 * i;
      expected[size_t(r.Y + 1)][size_t(x + 1)] = 'L';
      expected[size_t(r.Y + 1)][size_t(x + 2)] = 'L';
      expected[size_t(r.Y + 2)][size_t(x + 1)] = 'L';
      expected[size_t(r.Y + 2)][size_t(x + 2)] = 'L';
      expected[size_t(r.Y)][size_t(x)] = 'D';
      expected[size_t(r.Y)][size_t(x + 1)] = 'D';
      expected[size_t(r.Y + 1)][size_t(x)] = 'D';
      expected[size_t(r.Y + 1)][size_t(x + 1)] = 'D';
    }
  std::string want, got;
  for (int y = 0; y < 20; ++y) {
    want += expected[size_t(y)] + "\n";
    for (int x = 0; x < 20; ++x) {
      const COLORREF c = s.At(x, y);
      got += c == dot ? 'D' : c == light ? 'L' : c == bg ? '.' : '?';
    }
    got += "\n";
  }
  EXPECT_EQ(got, want);

  // clDefault takes brush slots 0 and 1 and makes no brush of its own.
  dxOffice11ColorsAddRef();
  TSurface d(20, 20, RGB(1, 1, 1));
  const DWORD before = LiveGdiObjects();
  dxOffice11PaintSizeGrip(d.DC, TRect(0, 0, 20, 20));
  EXPECT_EQ(LiveGdiObjects(), before);
  EXPECT_EQ(d.At(8, 17), dxOffice11Colors[18]);
  EXPECT_EQ(d.At(10, 19), dxOffice11Colors[19]);
}

TEST_F(Office11Test, GripDotsRunEitherWay) {
  const COLORREF dot = RGB(200, 0, 0), light = RGB(0, 0, 200);
  HBRUSH dotBrush = CreateSolidBrush(dot), lightBrush = CreateSolidBrush(light);
  const struct {
    TRect R;
    TdxGripDotsRun Run;
    std::vector<int> Starts;  // where each cell begins along the run
  } cases[] = {
      {TRect(0, 0, 4, 14), TdxGripDotsRun::Vertical, {1, 5, 9}},     // 14 mod 4 = 2: moved by 1
      {TRect(0, 0, 4, 13), TdxGripDotsRun::Vertical, {1, 5, 9}},     // 13 mod 4 = 1
      {TRect(0, 0, 4, 12), TdxGripDotsRun::Vertical, {0, 4, 8}},     // no remainder
      {TRect(0, 0, 11, 4), TdxGripDotsRun::Horizontal, {1, 5}},      // 11 mod 4 = 3: moved by 1
      {TRect(0, 0, 16, 4), TdxGripDotsRun::Horizontal, {0, 4, 8, 12}},
      {TRect(0, 0, 3, 4), TdxGripDotsRun::Horizontal, {1}},          // the first cell is always drawn
  };
  for (const auto& c : cases) {
    const bool vertical = c.Run == TdxGripDotsRun::Vertical;
    SCOPED_TRACE(std::to_string(c.R.Width()) + "x" + std::to_string(c.R.Height()));
    TSurface s(20, 20);
    dxOffice11DrawGripDots(s.DC, c.R, c.Run, dotBrush, lightBrush);
    std::vector<int> dots;
    for (int i = 0; i < 20; ++i) {
      const int x = vertical ? 0 : i, y = vertical ? i : 0;
      const COLORREF before = vertical ? (i > 0 ? s.At(0, i - 1) : 0) : (i > 0 ? s.At(i - 1, 0) : 0);
      if (s.At(x, y) == dot && before != dot) dots.push_back(i);
    }
    EXPECT_EQ(dots, c.Starts);
    const int first = c.Starts[0];
    EXPECT_EQ(vertical ? s.At(2, first + 2) : s.At(first + 2, 2), light);
    EXPECT_EQ(vertical ? s.At(1, first + 1) : s.At(first + 1, 1), dot);
  }
  DeleteObject(dotBrush);
  DeleteObject(lightBrush);
}

// ---- Gradients -------------------------------------------------------------------

BOOL CountingGradientFill(HDC, PTRIVERTEX, ULONG, void*, ULONG, ULONG);
int gGradientFillCalls = 0;
BOOL CountingGradientFill(HDC, PTRIVERTEX, ULONG, void*, ULONG, ULONG) {
  ++gGradientFillCalls;
  return TRUE;
}

// The gradient drawn once through GradientFill and once in software.
struct TBothWays {
  std::vector<COLORREF> Bound, Software;
};

TBothWays PaintBothWays(const TRect& R, COLORREF c1, TdxGradientDirection d, COLORREF c2) {
  TBothWays r;
  const auto bound = GradientFillProc;
  TSurface a(R.Right + 2, R.Bottom + 2, RGB(1, 2, 3)), b(R.Right + 2, R.Bottom + 2, RGB(1, 2, 3));
  dxPaintGradient(a.DC, R, c1, d, c2);
  GradientFillProc = nullptr;
  dxPaintGradient(b.DC, R, c1, d, c2);
  GradientFillProc = bound;
  const TRect all(0, 0, R.Right + 2, R.Bottom + 2);
  r.Bound = a.Pixels(all);
  r.Software = b.Pixels(all);
  return r;
}

TEST_F(Office11Test, SoftwareGradientDrawsWhatColourAtPosAnswers) {
  const COLORREF c1 = RGB(0, 10, 200), c2 = RGB(255, 255, 0);
  GradientFillProc = nullptr;
  const struct {
    TRect R;
    TdxGradientDirection D;
  } cases[] = {
      {TRect(3, 2, 4, 9), TdxGradientDirection::Horizontal},  {TRect(3, 2, 9, 3), TdxGradientDirection::Vertical},
      {TRect(0, 0, 2, 4), TdxGradientDirection::Horizontal},  {TRect(1, 1, 101, 5), TdxGradientDirection::Horizontal},
      {TRect(0, 0, 3, 600), TdxGradientDirection::Vertical},  {TRect(5, 0, 262, 2), TdxGradientDirection::Horizontal},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.R.Width()) + "x" + std::to_string(c.R.Height()));
    TSurface s(c.R.Right + 1, c.R.Bottom + 1, RGB(9, 9, 9));
    dxPaintGradient(s.DC, c.R, c1, c.D, c2);
    const bool h = c.D == TdxGradientDirection::Horizontal;
    // Up to 256 pixels each is a step of its own and the answer is exact;
    // longer runs share steps, and where a strip's edge was rounded the
    // answer may name the neighbouring step.
    const bool exact = (h ? c.R.Width() : c.R.Height()) <= 256;
    for (int i = h ? c.R.Left : c.R.Top; i < (h ? c.R.Right : c.R.Bottom); ++i) {
      const COLORREF got = h ? s.At(i, c.R.Top) : s.At(c.R.Left, i);
      const COLORREF want = dxGradientColorAtPos(c.R, i, c1, c.D, c2);
      if (exact)
        ASSERT_EQ(got, want) << "at " << i;
      else
        ASSERT_LE(std::max({std::abs(Red(got) - Red(want)), std::abs(Green(got) - Green(want)),
                            std::abs(Blue(got) - Blue(want))}),
                  1)
            << "at " << i;
    }
    EXPECT_EQ(h ? s.At(c.R.Left, c.R.Top) : s.At(c.R.Left, c.R.Top), c1);
    EXPECT_EQ(s.At(c.R.Right, c.R.Bottom), RGB(9, 9, 9));
    // The last strip reaches colour 2, except for a single strip.
    const COLORREF last = h ? s.At(c.R.Right - 1, c.R.Top) : s.At(c.R.Left, c.R.Bottom - 1);
    EXPECT_EQ(last, (h ? c.R.Width() : c.R.Height()) == 1 ? c1 : c2);
  }
}

TEST_F(Office11Test, AnExtentOfOneDrawsColourOneBothWays) {
  // Before the mend the software step was MulDiv(0, d, 0) = -1: red 0
  // wrapped to 255 and blue was one off.
  const COLORREF c1 = RGB(0, 10, 200), c2 = RGB(255, 255, 0);
  for (auto d : {TdxGradientDirection::Horizontal, TdxGradientDirection::Vertical}) {
    const TRect r = d == TdxGradientDirection::Horizontal ? TRect(2, 1, 3, 6) : TRect(1, 2, 6, 3);
    const TBothWays both = PaintBothWays(r, c1, d, c2);
    EXPECT_EQ(both.Bound, both.Software);
    EXPECT_EQ(dxGradientColorAtPos(r, d == TdxGradientDirection::Horizontal ? 2 : 2, c1, d, c2), c1);
  }
  TSurface s(4, 4);
  GradientFillProc = nullptr;
  dxPaintGradient(s.DC, TRect(1, 1, 2, 2), c1, TdxGradientDirection::Horizontal, c2);
  EXPECT_EQ(s.At(1, 1), c1);
}

TEST_F(Office11Test, GradientFillAndTheSoftwareFillAgree) {
  const struct {
    TRect R;
    COLORREF C1, C2;
    TdxGradientDirection D;
  } cases[] = {
      {TRect(0, 0, 256, 3), RGB(0, 0, 0), RGB(255, 255, 255), TdxGradientDirection::Horizontal},
      {TRect(2, 1, 602, 4), RGB(250, 20, 90), RGB(10, 200, 90), TdxGradientDirection::Horizontal},
      {TRect(0, 0, 3, 1080), Hex(0xDDECFE), Hex(0x81A9E2), TdxGradientDirection::Vertical},
      {TRect(0, 0, 4, 300), RGB(0, 255, 0), RGB(255, 0, 255), TdxGradientDirection::Vertical},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.R.Width()) + "x" + std::to_string(c.R.Height()));
    const TBothWays both = PaintBothWays(c.R, c.C1, c.D, c.C2);
    ASSERT_EQ(both.Bound.size(), both.Software.size());
    int worst = 0;
    for (size_t i = 0; i < both.Bound.size(); ++i) {
      const COLORREF a = both.Bound[i], b = both.Software[i];
      worst = std::max({worst, std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)), std::abs(Blue(a) - Blue(b))});
    }
    // The two differ only in rounding: the software fill reaches colour 2 in
    // its last strip, GradientFill just beyond the rectangle.
    EXPECT_LE(worst, 2);
    // Outside the rectangle neither draws; inside both start at colour 1.
    EXPECT_EQ(both.Bound.front(), both.Software.front());
    EXPECT_EQ(both.Bound.back(), RGB(1, 2, 3));
    EXPECT_EQ(both.Software.back(), RGB(1, 2, 3));
  }
}

TEST_F(Office11Test, ColoursThatResolveAlikeGiveASolidFill) {
  const auto bound = GradientFillProc;
  GradientFillProc = &CountingGradientFill;
  gGradientFillCalls = 0;
  TSurface s(10, 10, RGB(1, 1, 1));
  dxPaintGradient(s.DC, TRect(0, 0, 10, 10), clBtnFace, TdxGradientDirection::Vertical, TColor(kClassic[0]));
  EXPECT_EQ(gGradientFillCalls, 0);
  EXPECT_EQ(s.At(0, 0), kClassic[0]);
  EXPECT_EQ(s.At(9, 9), kClassic[0]);
  dxPaintGradient(s.DC, TRect(0, 0, 10, 10), clBtnShadow, TdxGradientDirection::Vertical, clGrayText);
  EXPECT_EQ(gGradientFillCalls, 0);
  // Differing only after resolution is a gradient.
  dxPaintGradient(s.DC, TRect(0, 0, 10, 10), clBtnFace, TdxGradientDirection::Vertical, clWindow);
  EXPECT_EQ(gGradientFillCalls, 1);
  GradientFillProc = bound;
}

TEST_F(Office11Test, TwoToneGradientTurnsAtTheSchemesPercent) {
  const COLORREF c1 = RGB(200, 100, 0), c2 = RGB(0, 200, 100);
  for (int percent : {75, 41, 125, 40}) {
    SCOPED_TRACE(percent);
    dxOffice11TwoTonePercent = percent;
    for (int e : {100, 37}) {
      TSurface s(3, e);
      dxPaintTwoToneGradient(s.DC, TRect(0, 0, 3, e), c1, TdxGradientDirection::Vertical, c2);
      auto mid = [&](int a, int b) { return a - MulDiv(a - b, percent, 200); };
      EXPECT_EQ(s.At(1, e / 2), RGB(mid(200, 0), mid(100, 200), mid(0, 100)));
      EXPECT_EQ(s.At(1, 0), c1);
      EXPECT_EQ(s.At(1, e - 1), c2);
    }
  }
  // The same band left to right.
  dxOffice11TwoTonePercent = 40;
  TSurface s(50, 2);
  dxPaintTwoToneGradient(s.DC, TRect(0, 0, 50, 2), c1, TdxGradientDirection::Horizontal, c2);
  EXPECT_EQ(s.At(25, 1), RGB(160, 120, 20));
  // One pixel is the middle colour; equal colours are a solid fill.
  TSurface one(1, 1);
  dxPaintTwoToneGradient(one.DC, TRect(0, 0, 1, 1), c1, TdxGradientDirection::Horizontal, c2);
  EXPECT_EQ(one.At(0, 0), RGB(160, 120, 20));
  dxPaintTwoToneGradient(s.DC, TRect(0, 0, 50, 2), clBtnFace, TdxGradientDirection::Horizontal, clBtnFace);
  EXPECT_EQ(s.At(30, 1), kClassic[0]);
}

TEST_F(Office11Test, SolidFillsAndFramesSkipNone) {
  TSurface s(6, 6, RGB(1, 1, 1));
  dxFillRectSolid(s.DC, TRect(0, 0, 6, 6), clNone);
  dxFrameRectSolid(s.DC, TRect(0, 0, 6, 6), clNone);
  EXPECT_EQ(s.At(0, 0), RGB(1, 1, 1));
  dxFillRectSolid(s.DC, TRect(1, 1, 5, 5), clBtnShadow);
  dxFrameRectSolid(s.DC, TRect(0, 0, 6, 6), RGB(9, 8, 7));
  EXPECT_EQ(s.At(2, 2), kClassic[2]);
  EXPECT_EQ(s.At(0, 3), RGB(9, 8, 7));
  EXPECT_EQ(s.At(1, 1), kClassic[2]);
}

// ---- The picture ---------------------------------------------------------------------

TEST_F(Office11Test, PictureOfTheSchemesAndTheDrawingKit) {
  rtl::testing::SetVersion({5, 1, 2600, "", 2});
  const int cell = 12, grid = 9 * cell;
  const int w = 4 * (grid + 8) + 8, h = grid + 16 + 228;
  TSurface s(w, h, RGB(255, 255, 255));
  const char16_t* colours[] = {nullptr, u"NormalColor", u"HomeStead", u"Metallic"};
  for (int scheme = 0; scheme < 4; ++scheme) {
    if (colours[scheme])
      InstallTheme(u"luna.msstyles", colours[scheme]);
    else
      theme_.reset();
    dxOffice11ColorsAddRef();
    ASSERT_EQ(dxOffice11Scheme(), scheme);
    const int left = 8 + scheme * (grid + 8), top = 8;
    for (int slot = 0; slot < dxOffice11ColorCount; ++slot) {
      const TRect r(left + (slot % 9) * cell, top + (slot / 9) * cell, left + (slot % 9 + 1) * cell,
                    top + (slot / 9 + 1) * cell);
      dxFillRectSolid(s.DC, r, dxOffice11Colors[slot]);
    }
    // Below each grid: the bar gradient both ways, the two-tone band, the
    // arrows in every state, grip dots and the size grip.
    const int y = top + grid + 8;
    dxPaintGradient(s.DC, TRect(left, y, left + grid, y + 24), dxOffice11GradientLightColor(),
                    TdxGradientDirection::Vertical, dxOffice11GradientDarkColor());
    const auto bound = GradientFillProc;
    GradientFillProc = nullptr;
    dxPaintGradient(s.DC, TRect(left, y + 28, left + grid, y + 52), dxOffice11GradientLightColor(),
                    TdxGradientDirection::Vertical, dxOffice11GradientDarkColor());
    GradientFillProc = bound;
    dxPaintGradient(s.DC, TRect(left, y + 56, left + grid, y + 80), dxOffice11HotColor(),
                    TdxGradientDirection::Horizontal, dxOffice11PressedColor());
    dxPaintTwoToneGradient(s.DC, TRect(left, y + 84, left + grid, y + 124), dxOffice11Colors[2],
                           TdxGradientDirection::Vertical, dxOffice11Colors[3]);
    int x = left;
    for (bool down : {true, false})
      for (int state = 0; state < 3; ++state) {
        const TRect r(x, y + 130, x + 16, y + 146);
        dxFillRectSolid(s.DC, r, state == 2 ? dxOffice11HotColor() : dxOffice11BarFaceColor());
        dxOffice11DrawArrowInRect(s.DC, r, down, state != 1, state == 2);
        if (state == 2) dxOffice11FrameHotRect(s.DC, r);
        x += 18;
      }
    dxFillRectSolid(s.DC, TRect(left, y + 150, left + grid, y + 190), dxOffice11BarFaceColor());
    dxOffice11DrawGripDots(s.DC, TRect(left + 2, y + 152, left + 6, y + 188), TdxGripDotsRun::Vertical);
    dxOffice11DrawGripDots(s.DC, TRect(left + 12, y + 152, left + 60, y + 156), TdxGripDotsRun::Horizontal);
    dxOffice11PaintSizeGrip(s.DC, TRect(left + grid - 30, y + 160, left + grid, y + 190));
    // The three bitmaps, twice their size.
    HDC mem = CreateCompatibleDC(s.DC);
    HGDIOBJ old = SelectObject(mem, dxOffice11SubMenuExpandBitmap());
    StretchBlt(s.DC, left, y + 200, 14, 16, mem, 0, 0, 7, 8, SRCCOPY);
    SelectObject(mem, dxOffice11ExpandButtonBitmap(true));
    StretchBlt(s.DC, left + 20, y + 200, 22, 22, mem, 0, 0, 11, 11, SRCCOPY);
    SelectObject(mem, dxOffice11ExpandButtonBitmap(false));
    StretchBlt(s.DC, left + 46, y + 200, 22, 22, mem, 0, 0, 11, 11, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    dxOffice11ColorsDropRef();
  }
  ASSERT_TRUE(s.SavePng("ui_foundation_office11.png"));
  // The silver grid's slot 2.
  EXPECT_EQ(s.At(8 + 3 * (grid + 8) + 2 * cell + 5, 8 + 5), Hex(0xF3F4FA));
}

}  // namespace
