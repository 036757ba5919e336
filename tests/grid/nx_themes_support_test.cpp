#include "grid/nx_themes_support.h"

#include <gtest/gtest.h>

#include "platform/testing/uxtheme_recording.h"
#include "tests/common/dib_canvas.h"

namespace {

// Puts the binding back as start-up made it, whatever a test did to it.
class NxThemes : public ::testing::Test {
 protected:
  void TearDown() override {
    NxThemesSupport::ThemeLibrary = nullptr;
    LoadThemeLibrary();
  }
};

}  // namespace

TEST_F(NxThemes, StartUpBindsTheSevenFunctionsByName) {
  EXPECT_NE(NxThemesSupport::ThemeLibrary, nullptr);
  EXPECT_NE(NxThemesSupport::OpenThemeData, nullptr);
  EXPECT_NE(NxThemesSupport::CloseThemeData, nullptr);
  EXPECT_NE(NxThemesSupport::DrawThemeBackground, nullptr);
  EXPECT_NE(NxThemesSupport::DrawThemeEdge, nullptr);
  EXPECT_NE(NxThemesSupport::GetThemeSysSize, nullptr);
  EXPECT_NE(NxThemesSupport::IsThemeActive, nullptr);
  EXPECT_NE(NxThemesSupport::IsAppThemed, nullptr);
}

TEST_F(NxThemes, IsThemedFollowsTheStyleAtEveryQuestion) {
  EXPECT_FALSE(IsThemed());
  {
    TRecordingTheme Style;
    EXPECT_TRUE(IsThemed());
  }
  EXPECT_FALSE(IsThemed());
}

TEST_F(NxThemes, AMissingBindingOrLibraryAnswersNotThemedWithoutRaising) {
  TRecordingTheme Style;
  NxThemesSupport::IsAppThemed = nullptr;
  EXPECT_NO_THROW(EXPECT_FALSE(IsThemed()));
  // A bound function that fails is no theme either.
  NxThemesSupport::IsAppThemed = []() -> BOOL { throw std::runtime_error("gone"); };
  EXPECT_NO_THROW(EXPECT_FALSE(IsThemed()));

  // Without the library nothing is bound and nothing is called.
  NxThemesSupport::ThemeLibrary = nullptr;
  NxThemesSupport::OpenThemeData = nullptr;
  NxThemesSupport::CloseThemeData = nullptr;
  NxThemesSupport::DrawThemeBackground = nullptr;
  NxThemesSupport::IsThemeActive = nullptr;
  NxThemesSupport::IsAppThemed = nullptr;
  EXPECT_FALSE(IsThemed());
  TDibCanvas Dib(20, 20);
  EXPECT_NO_THROW(ThemeDrawBackground(nullptr, Dib.dc, TRect(0, 0, 20, 20), u"button", 1, 1));
  EXPECT_TRUE(Style.Calls.empty());
}

TEST_F(NxThemes, ThemeDrawBackgroundOpensDrawsClippedAndClosesOncePerCall) {
  TRecordingTheme Style({u"button"});
  TDibCanvas Dib(40, 30, 0xFFFFFFFFu);
  const TRect R(5, 6, 25, 20);
  ThemeDrawBackground(nullptr, Dib.dc, R, u"button", 1, 2);
  ThemeDrawBackground(nullptr, Dib.dc, R, u"button", 1, 2);
  ASSERT_EQ(Style.CallsOf("DrawThemeBackground").size(), 2u);
  EXPECT_EQ(Style.CallsOf("OpenThemeData").size(), 2u);
  EXPECT_EQ(Style.CallsOf("CloseThemeData").size(), 2u);
  std::vector<AnsiString> Order;
  for (auto& C : Style.Calls) Order.push_back(C.Function);
  EXPECT_EQ(Order, (std::vector<AnsiString>{"OpenThemeData", "DrawThemeBackground", "CloseThemeData",
                                            "OpenThemeData", "DrawThemeBackground", "CloseThemeData"}));
  auto Draw = Style.CallsOf("DrawThemeBackground")[0];
  EXPECT_EQ(Draw.Part, 1);
  EXPECT_EQ(Draw.State, 2);
  EXPECT_EQ(Draw.Rect, R);
  EXPECT_EQ(Dib.Rgb(10, 10), Px(TRecordingTheme::PartColor(1, 2)));
  EXPECT_EQ(Dib.Rgb(2, 2), 0xFFFFFFu);
  // A class the style does not draw opens nothing and draws nothing.
  Style.Calls.clear();
  ThemeDrawBackground(nullptr, Dib.dc, R, u"no such class", 1, 1);
  EXPECT_TRUE(Style.CallsOf("DrawThemeBackground").empty());
  EXPECT_TRUE(Style.CallsOf("CloseThemeData").empty());
}

TEST(NxSchemes, TheTableAsStartUpFillsIt) {
  struct TCase {
    Integer Index, Scheme;
    TColor Color;
  };
  const TCase Cases[] = {
      {11, 0, 0xFFD2AF}, {11, 2, 0xFFD2AF}, {5, 2, 0},        {5, 1, 0x3C8CFB},  {2, 0, 0xCF9365},
      {6, 2, 0xFFFFFF},  {7, 2, 0xFFD2AF},  {10, 2, 0xFFC69A}, {23, 6, 0x977778}, {1, 4, 0xCE9266},
      {3, 6, 0x858585},  {0, 3, 0},         {19, 1, 0xA2E7FF},
  };
  for (const TCase& C : Cases) EXPECT_EQ(GetSchemeColor(C.Index, C.Scheme), C.Color) << C.Index << "/" << C.Scheme;
  EXPECT_EQ(DefaultColorScheme, 2);
  // Role 13 repeats role 2 in every scheme the system can use; scheme 1
  // keeps its own lighter colour there.
  for (Integer Scheme = 2; Scheme <= 6; ++Scheme)
    EXPECT_EQ(GetSchemeColor(13, Scheme), GetSchemeColor(2, Scheme)) << Scheme;
  EXPECT_EQ(GetSchemeColor(13, 1), 0xB6ADA7);
  EXPECT_EQ(GetSchemeColor(2, 1), 0x5C534C);
}

TEST(NxSchemes, AnythingOutsideTheTableAnswersBlack) {
  struct TCase {
    Integer Index, Scheme;
  };
  for (const TCase& C : {TCase{24, 2}, TCase{-1, 2}, TCase{3, 7}, TCase{3, -1}, TCase{127, 6}, TCase{1000000, 1},
                         TCase{INT32_MIN, INT32_MIN}})
    EXPECT_EQ(GetSchemeColor(C.Index, C.Scheme), 0) << C.Index << "/" << C.Scheme;
  // Taken modulo 128 first.
  EXPECT_EQ(GetSchemeColor(128 + 11, 128 + 2), 0xFFD2AF);
}
