#include "ui/foundation/colors.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/forms/graphics.h"
#include "platform/win/user/user.h"

namespace {

constexpr TColor RGBColor(Integer R, Integer G, Integer B) { return R | G << 8 | B << 16; }

TEST(Colors, SpecifiedMatchingAndClamping) {
  const struct {
    TColor Color;
    bool Specified;
  } specified[] = {{clNone, false}, {clDefault, false}, {0, true}, {clBtnFace, true}, {clHighlight, true},
                   {clWhite, true}, {0x1FFFFFFE, true}};
  for (const auto& c : specified) EXPECT_EQ(cxIsColorSpecified(c.Color), c.Specified) << std::hex << c.Color;

  EXPECT_TRUE(cxColorsMatch(clBtnFace, clBtnFace));
  EXPECT_FALSE(cxColorsMatch(clBtnFace, TColor(ColorToRGB(clBtnFace))));
  TColor a = clRed, b = clBlue;
  cxSwapColorValues(a, b);
  EXPECT_EQ(a, clBlue);
  EXPECT_EQ(b, clRed);
  EXPECT_EQ(cxColorRGBBits(clBtnFace), COLOR_BTNFACE);
  EXPECT_EQ(cxClampByte(-1), 0);
  EXPECT_EQ(cxClampByte(255), 255);
  EXPECT_EQ(cxClampByte(256), 255);
  EXPECT_EQ(cxClampByte(77), 77);
}

TEST(Colors, ConversionsToAndFromTheColourModels) {
  const struct {
    const char* Name;
    TColor Color;
    TdxHSL HSL;
    TdxHSV HSV;
  } cases[] = {
      {"red", clRed, {0, 1, 0.5}, {0, 1, 1}},
      {"green", clLime, {1.0 / 3, 1, 0.5}, {120, 1, 1}},
      {"blue", clBlue, {2.0 / 3, 1, 0.5}, {240, 1, 1}},
      {"magenta", clFuchsia, {5.0 / 6, 1, 0.5}, {300, 1, 1}},
      {"black", clBlack, {0, 0, 0}, {0, 0, 0}},
      {"white", clWhite, {0, 0, 1}, {0, 0, 1}},
      {"grey", clGray, {0, 0, 128 / 255.0}, {0, 0, 128 / 255.0}},
      {"dark grey", RGBColor(60, 60, 60), {0, 0, 60 / 255.0}, {0, 0, 60 / 255.0}},
      {"navy", clNavy, {2.0 / 3, 1, 64 / 255.0}, {240, 1, 128 / 255.0}},
      {"pale", RGBColor(255, 128, 128), {0, 1, 383 / 510.0}, {0, 127 / 255.0, 1}},
  };
  for (const auto& c : cases) {
    TdxHSL hsl;
    TdxColorSpaceConverter::ColorToHSL(c.Color, hsl);
    EXPECT_NEAR(hsl.H, c.HSL.H, 1e-12) << c.Name;
    EXPECT_NEAR(hsl.S, c.HSL.S, 1e-12) << c.Name;
    EXPECT_NEAR(hsl.L, c.HSL.L, 1e-12) << c.Name;
    TdxHSV hsv;
    cxColorToHSV(c.Color, hsv);
    EXPECT_NEAR(hsv.H, c.HSV.H, 1e-12) << c.Name;
    EXPECT_NEAR(hsv.S, c.HSV.S, 1e-12) << c.Name;
    EXPECT_NEAR(hsv.V, c.HSV.V, 1e-12) << c.Name;
    EXPECT_EQ(TdxColorSpaceConverter::HSLToColor(hsl), c.Color) << c.Name;
    EXPECT_EQ(cxHSVToColor(hsv), c.Color) << c.Name;
  }

  // System colours are resolved first.
  TdxHSV face, resolved;
  TdxColorSpaceConverter::ColorToHSV(clBtnFace, face);
  TdxColorSpaceConverter::ColorToHSV(TColor(ColorToRGB(clBtnFace)), resolved);
  EXPECT_EQ(face.V, resolved.V);
  EXPECT_EQ(face.H, resolved.H);

  // Halves round to even: 127.5 -> 128 and 126.5 -> 126.
  EXPECT_EQ(TdxColorSpaceConverter::HSLToColor({0, 0, 0.5}), RGBColor(128, 128, 128));
  EXPECT_EQ(TdxColorSpaceConverter::HSVToColor({0, 0.5, 253 / 255.0}), RGBColor(253, 126, 126));
  EXPECT_EQ(TdxColorSpaceConverter::HSLToColor({0, 1, 0.75}), RGBColor(255, 128, 128));
}

TEST(Colors, ModelValuesOutOfRangeStillGiveChannelsInRange) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* Name;
    TdxHSV HSV;
    TColor Color;
  } hsv[] = {
      {"hue of a full turn", {360, 1, 1}, clRed},
      {"two turns", {720, 1, 1}, clRed},
      {"just below a turn", {359.99, 1, 1}, clRed},
      {"negative hue", {-120, 1, 1}, clBlue},
      {"negative saturation", {0, -0.5, 1}, clWhite},
      {"saturation above 1", {120, 3, 1}, clLime},
      {"value above 1", {0, 0, 2}, clWhite},
      {"negative value", {0, 1, -1}, clBlack},
      {"not a number", {nan, nan, 1}, clWhite},
  };
  for (const auto& c : hsv) EXPECT_EQ(TdxColorSpaceConverter::HSVToColor(c.HSV), c.Color) << c.Name;

  const struct {
    const char* Name;
    TdxHSL HSL;
    TColor Color;
  } hsl[] = {
      {"hue of a full turn", {1, 1, 0.5}, clRed},
      {"negative hue", {-1.0 / 3, 1, 0.5}, clBlue},
      {"negative saturation", {0, -1, 0.5}, RGBColor(128, 128, 128)},
      {"saturation above 1", {0, 5, 0.25}, clMaroon},
      {"lightness above 1", {0, 1, 2}, clWhite},
      {"negative lightness", {0, 0, -1}, clBlack},
  };
  for (const auto& c : hsl) EXPECT_EQ(TdxColorSpaceConverter::HSLToColor(c.HSL), c.Color) << c.Name;
}

TEST(Colors, LighterDarkerAndShiftedLightness) {
  const TColor colors[] = {clRed, RGBColor(0x12, 0x34, 0x56), clBlack, clWhite, clGray, clBtnFace, clNavy};
  for (TColor c : colors) {
    EXPECT_EQ(cxLightenOrDarkenColor(c, 100), clWhite) << std::hex << c;
    EXPECT_EQ(cxLightenOrDarkenColor(c, -100), clBlack) << std::hex << c;
    TdxHSV hsv;
    cxColorToHSV(c, hsv);
    EXPECT_EQ(cxLightenOrDarkenColor(c, 0), cxHSVToColor(hsv)) << std::hex << c;
  }
  EXPECT_EQ(cxLightenOrDarkenColor(RGBColor(0x12, 0x34, 0x56), 0), RGBColor(0x12, 0x34, 0x56));
  // Halfway: V moves half the way to 1 and S loses half; greys stay grey.
  EXPECT_EQ(cxLightenOrDarkenColor(clNavy, 50), RGBColor(96, 96, 192));
  EXPECT_EQ(cxLightenOrDarkenColor(clGray, 50), RGBColor(192, 192, 192));
  EXPECT_EQ(cxLightenOrDarkenColor(RGBColor(128, 64, 64), -50), RGBColor(64, 16, 16));
  EXPECT_EQ(cxLightenOrDarkenColor(clGray, -50), RGBColor(64, 64, 64));
  // Beyond 100 percent the model values are clamped.
  EXPECT_EQ(cxLightenOrDarkenColor(clNavy, 250), clWhite);
  EXPECT_EQ(cxLightenOrDarkenColor(clNavy, -250), clBlack);

  EXPECT_EQ(TdxColorHelper::ShiftLightness(clWhite, 0.3), clWhite);
  EXPECT_EQ(TdxColorHelper::ShiftLightness(clBlack, -0.3), clBlack);
  EXPECT_EQ(TdxColorHelper::ShiftLightness(clRed, 0.25), RGBColor(255, 128, 128));
  EXPECT_EQ(TdxColorHelper::ShiftLightness(clRed, -0.25), RGBColor(128, 0, 0));
  EXPECT_EQ(TdxColorHelper::ShiftLightness(clRed, 5), clWhite);
}

// Sets the three system colours the flat-button mixes read, and puts the
// old ones back.
class SystemColorMix : public ::testing::Test {
  static constexpr INT kElements[3] = {COLOR_BTNFACE, COLOR_HIGHLIGHT, COLOR_WINDOW};
  COLORREF FSaved[3];

 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) FSaved[i] = GetSysColor(kElements[i]);
  }
  void TearDown() override { SetSysColors(3, kElements, FSaved); }
  static void Use(COLORREF AFace, COLORREF AHighlight, COLORREF AWindow) {
    const COLORREF values[3] = {AFace, AHighlight, AWindow};
    ASSERT_TRUE(SetSysColors(3, kElements, values));
  }
};

TEST_F(SystemColorMix, WeightsChannelsOrTakesTheHighlight) {
  const struct {
    const char* Name;
    COLORREF Face, Highlight, Window;
    ShortInt WF, WH, WW;
    TColor Mixed;
  } cases[] = {
      {"pressed", RGBColor(192, 192, 192), RGBColor(10, 36, 106), clWhite, 14, 44, 40, RGBColor(133, 145, 176)},
      {"hot", RGBColor(192, 192, 192), RGBColor(10, 36, 106), clWhite, -2, 30, 72, RGBColor(183, 191, 212)},
      {"black face", clBlack, RGBColor(10, 36, 106), clWhite, 14, 44, 40, RGBColor(10, 36, 106)},
      {"white face", clWhite, RGBColor(10, 36, 106), clBlack, -2, 30, 72, RGBColor(10, 36, 106)},
      {"black face and highlight", clBlack, clBlack, clWhite, 14, 44, 40, RGBColor(102, 102, 102)},
      {"negative sum clamps at 0", RGBColor(200, 200, 200), clBlack, clBlack, -2, 30, 72, clBlack},
      {"sum above 255 clamps", clWhite, clBlack, clWhite, 100, 0, 100, clWhite},
  };
  for (const auto& c : cases) {
    Use(c.Face, c.Highlight, c.Window);
    EXPECT_EQ(cxMixSystemColors(c.WF, c.WH, c.WW), c.Mixed) << c.Name;
  }

  Use(RGBColor(192, 192, 192), RGBColor(10, 36, 106), clWhite);
  EXPECT_EQ(cxGetPressedMixColor(), RGBColor(133, 145, 176));
  EXPECT_EQ(cxGetHotMixColor(), RGBColor(183, 191, 212));
  EXPECT_EQ(cxNearestScreenColor(RGBColor(1, 2, 3)), RGBColor(1, 2, 3));
}

}  // namespace
