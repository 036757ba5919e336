// Pixel probes of what the header painters draw.
#include <gtest/gtest.h>

#include <functional>

#include "grid/nx_column_classes.h"
#include "grid/nx_shared_draw.h"
#include "grid/nx_themes_support.h"
#include "platform/testing/uxtheme_recording.h"
#include "tests/grid/style_display_test_support.h"

namespace {

struct TPixelProbe {
  int X, Y;
  TColor Color;
};

constexpr TColor Bg = 0x00A0A0A0;

void ExpectProbes(TSurface& S, std::initializer_list<TPixelProbe> Probes, const char* What) {
  for (const TPixelProbe& P : Probes)
    EXPECT_EQ(S.At(P.X, P.Y), Rgb(P.Color)) << What << " at (" << P.X << ", " << P.Y << ")";
}

class PainterPixels : public ::testing::Test {
 protected:
  TPaintGrid Grid;
  TGridControl Control{0x00336699};
  TSurface S{120, 40, 0xA0A0A0};
  TNxTextColumn* First = Grid.AddColumn(60);
  TNxTextColumn* Middle = Grid.AddColumn(60);
  TNxTextColumn* Last = Grid.AddColumn(60);

  template <class P>
  std::unique_ptr<P> Painter(bool Themed = false) {
    auto Result = std::make_unique<P>(&Control);
    Result->Canvas = &S.Canvas;
    Result->Themed = Themed;
    return Result;
  }
};

TEST_F(PainterPixels, ClassicSortArrowPolylines) {
  auto P = Painter<TDefaultStyleDisplay>();
  const int X = 20, Y = 10;
  P->DrawSortArrow(X, Y, true);
  ExpectProbes(S,
               {{X + 7, Y + 6, clBtnShadow},
                {X + 1, Y + 6, clBtnShadow},
                {X, Y + 6, clBtnShadow},
                {X, Y + 5, clBtnShadow},
                {X + 1, Y + 4, clBtnShadow},
                {X + 3, Y + 1, clBtnShadow},
                {X + 3, Y, clBtnShadow},
                {X + 3, Y - 1, Bg},  // the last point stays out
                {X + 7, Y + 5, clBtnHighlight},
                {X + 6, Y + 4, clBtnHighlight},
                {X + 4, Y, clBtnHighlight},
                {X + 4, Y - 1, Bg},
                {X + 2, Y + 4, Bg}},
               "ascending");
  S.Dib.Fill(0xA0A0A0);
  P->DrawSortArrow(X, Y, false);
  ExpectProbes(S,
               {{X + 7, Y, clBtnShadow},
                {X, Y, clBtnShadow},
                {X, Y + 1, clBtnShadow},
                {X + 2, Y + 5, clBtnShadow},
                {X + 3, Y + 6, clBtnShadow},
                {X + 3, Y + 7, Bg},
                {X + 7, Y + 1, clBtnHighlight},
                {X + 5, Y + 4, clBtnHighlight},
                {X + 4, Y + 6, clBtnHighlight},
                {X + 4, Y + 7, Bg}},
               "descending");
}

TEST_F(PainterPixels, TriangleArrowsThemedAndOffice2010) {
  struct TCase {
    const char* Name;
    std::function<std::unique_ptr<TStyleDisplay>()> Make;
    TColor Outline, Inside;
  };
  const TCase Cases[] = {
      {"themed", [&] { return std::unique_ptr<TStyleDisplay>(Painter<TDefaultStyleDisplay>(true)); }, clGrayText,
       clGrayText},
      {"2010 themed", [&] { return std::unique_ptr<TStyleDisplay>(Painter<TOffice2010StyleDisplay>(true)); },
       clBlack, 0xB5ACA5},
      {"2010 classic", [&] { return std::unique_ptr<TStyleDisplay>(Painter<TOffice2010StyleDisplay>(false)); },
       clBlack, 0xB5ACA5},
  };
  const int X = 30, Y = 10;
  for (const TCase& C : Cases) {
    auto P = C.Make();
    S.Dib.Fill(0xA0A0A0);
    P->DrawSortArrow(X, Y, true);
    ExpectProbes(S,
                 {{X, Y + 4, C.Outline},
                  {X + 4, Y, C.Outline},
                  {X + 8, Y + 4, C.Outline},
                  {X + 4, Y + 2, C.Inside},
                  {X, Y, Bg},
                  {X + 8, Y, Bg},
                  {X + 4, Y + 5, Bg}},
                 C.Name);
    S.Dib.Fill(0xA0A0A0);
    P->DrawSortArrow(X, Y, false);
    ExpectProbes(S,
                 {{X, Y, C.Outline},
                  {X + 4, Y + 4, C.Outline},
                  {X + 8, Y, C.Outline},
                  {X + 4, Y + 2, C.Inside},
                  {X, Y + 4, Bg},
                  {X + 4, Y - 1, Bg}},
                 C.Name);
  }
}

TEST_F(PainterPixels, ClassicHeaderPerEdgeKind) {
  auto P = Painter<TDefaultStyleDisplay>();
  const TColor Face = 0x00E0D0C0;
  for (auto* C : {First, Middle, Last}) C->Header()->SetColor(Face);
  const TRect R(10, 5, 50, 25);
  struct TCase {
    TNxCustomColumn* Column;
    bool OnlyVisible;
    std::initializer_list<TPixelProbe> Probes;
  };
  // Left 10, Top 5, Right 50, Bottom 25.
  const TCase Cases[] = {
      {First, false,
       {{10, 5, clBtnHighlight}, {49, 5, clBtnHighlight}, {10, 6, clBtnHighlight}, {10, 23, clBtnHighlight},
        {10, 24, clBtnShadow}, {49, 24, clBtnShadow}, {49, 6, Face}, {49, 7, clBtnShadow}, {49, 22, clBtnShadow},
        {49, 23, Face}, {30, 15, Face}}},
      {Middle, false,
       {{10, 5, clBtnHighlight}, {10, 6, Face}, {10, 7, clBtnHighlight}, {10, 22, clBtnHighlight}, {10, 23, Face},
        {10, 24, clBtnShadow}, {49, 6, Face}, {49, 7, clBtnShadow}, {49, 23, Face}}},
      {Last, false,
       {{10, 6, Face}, {10, 7, clBtnHighlight}, {10, 23, Face}, {49, 5, clBtnShadow}, {49, 6, clBtnShadow},
        {49, 23, clBtnShadow}, {49, 24, clBtnShadow}}},
      {First, true,
       {{10, 5, clBtnHighlight}, {10, 23, clBtnHighlight}, {48, 5, clBtnHighlight}, {49, 5, clBtnShadow},
        {10, 24, clBtnShadow}, {49, 24, clBtnShadow}, {30, 15, Face}}},
  };
  for (const TCase& C : Cases) {
    Middle->SetVisible(!C.OnlyVisible);
    Last->SetVisible(!C.OnlyVisible);
    ASSERT_EQ(C.Column->GetEdgeKind(), C.OnlyVisible ? 0 : C.Column == First ? 1 : C.Column == Middle ? 2 : 3);
    S.Dib.Fill(0xA0A0A0);
    P->DrawHeaderBackground(C.Column, R);
    ExpectProbes(S, C.Probes, ("edge kind " + std::to_string(C.Column->GetEdgeKind())).c_str());
    // Nothing outside the rectangle.
    EXPECT_EQ(S.At(9, 5), Bg);
    EXPECT_EQ(S.At(50, 15), Bg);
    EXPECT_EQ(S.At(20, 25), Bg);
  }
}

TEST_F(PainterPixels, FooterCornerAndIndicatorCells) {
  auto P = Painter<TDefaultStyleDisplay>();
  // Footer corner of a 12-wide indicator at rows 10..30.
  P->DrawIndicatorCorner(TRect(0, 10, 12, 30), 1);
  ExpectProbes(S,
               {{0, 10, clBtnHighlight},
                {0, 28, clBtnHighlight},
                {0, 29, clBtnShadow},
                {1, 10, clBtnFace},
                {10, 10, clBtnFace},
                {1, 11, clBtnFace},
                {10, 11, clBtnFace},
                {2, 11, clBtnHighlight},
                {9, 11, clBtnHighlight},
                {2, 10, clBtnShadow},
                {9, 10, clBtnShadow},
                {11, 10, clBtnShadow},
                {11, 28, clBtnShadow},
                {11, 29, clBtnShadow},
                {1, 29, clBtnShadow},
                {5, 20, clBtnFace},
                {12, 20, Bg}},
               "footer corner");
  // Header corner: a button frame.
  S.Dib.Fill(0xA0A0A0);
  P->DrawIndicatorCorner(TRect(0, 0, 12, 18), 0);
  ExpectProbes(S, {{0, 0, clBtnHighlight}, {11, 17, clBtnShadow}, {5, 8, clBtnFace}}, "header corner");
  // An indicator cell: the first row without the notch, later rows with.
  for (Integer Index : {0, 1}) {
    S.Dib.Fill(0xA0A0A0);
    P->DrawIndicatorBackground(TRect(0, 18, 12, 36), Index, false, false);
    const TColor TopEnd = Index > 0 ? clBtnFace : clBtnHighlight;
    ExpectProbes(S,
                 {{0, 18, clBtnHighlight},
                  {0, 35, clBtnHighlight},
                  {0, 36, clBtnHighlight},  // the left line includes the row Bottom
                  {1, 18, TopEnd},
                  {10, 18, TopEnd},
                  {2, 18, clBtnHighlight},
                  {9, 18, clBtnHighlight},
                  {11, 18, clBtnShadow},
                  {11, 35, clBtnShadow},
                  {11, 36, Bg},
                  {1, 35, clBtnFace},
                  {10, 35, clBtnFace},
                  {2, 35, clBtnShadow},
                  {9, 35, clBtnShadow},
                  {5, 25, clBtnFace}},
                 Index ? "indicator cell, later row" : "indicator cell, first row");
  }
}

TEST_F(PainterPixels, IndicatorTriangleAndHighlight) {
  auto P = Painter<TDefaultStyleDisplay>();
  S.Dib.Fill(0xFFFFFF);
  P->DrawIndicatorGlyph(TRect(0, 0, 12, 18), true, false);
  ExpectProbes(S,
               {{3, 4, clWindowText},
                {8, 9, clWindowText},
                {3, 14, clWindowText},
                {5, 9, clWindowText},
                {3, 3, clWhite},
                {9, 9, clWhite},
                {3, 15, clWhite},
                {2, 9, clWhite}},
               "current row");
  // Highlighted: the cell inverted.
  S.Dib.Fill(0xFFFFFF);
  P->DrawIndicatorGlyph(TRect(0, 0, 12, 18), true, true);
  ExpectProbes(S, {{3, 4, clWhite}, {0, 0, clBlack}, {11, 17, clBlack}, {12, 17, clWhite}, {11, 18, clWhite}},
               "highlighted");
  // Not current: nothing but the inversion.
  S.Dib.Fill(0x102030);
  P->DrawIndicatorGlyph(TRect(0, 0, 12, 18), false, false);
  EXPECT_EQ(S.Dib.CountNot(0x102030, 0, 0, 120, 40, 0xFFFFFF), 0);
}

TEST_F(PainterPixels, OutlookShadowRowsBlendAt50_100_150) {
  auto P = Painter<TOutlookStyleDisplay>();
  const TColor Face = 0x00E8D8C8;
  Middle->Header()->SetColor(Face);
  const TRect R(10, 5, 60, 25);
  P->DrawHeaderBackground(Middle, R);
  auto Blend = [](TColor A, TColor B, int Alpha) {
    const COLORREF a = ColorToRGB(A), b = ColorToRGB(B);
    TColor Out = 0;
    for (int Shift : {0, 8, 16}) {
      const int Ca = (a >> Shift) & 0xFF, Cb = (b >> Shift) & 0xFF;
      Out |= static_cast<TColor>(((Ca * Alpha + Cb * (255 - Alpha)) >> 8) << Shift);
    }
    return Out;
  };
  ExpectProbes(S,
               {{20, 22, Blend(clBtnShadow, Face, 50)},
                {20, 23, Blend(clBtnShadow, Face, 100)},
                {20, 24, Blend(clBtnShadow, Face, 150)},
                {59, 22, Blend(clBtnShadow, Face, 50)},
                {20, 21, Face},
                {10, 6, Face},
                {10, 7, clBtnHighlight},
                {10, 20, clBtnHighlight},
                {10, 21, Face},
                {59, 7, clBtnShadow},
                {59, 20, clBtnShadow},
                {59, 21, Face},
                {20, 25, Bg}},
               "outlook middle header");
  S.Dib.Fill(0xA0A0A0);
  P->DrawIndicatorCorner(TRect(0, 0, 12, 20), 0);
  ExpectProbes(S,
               {{5, 5, clBtnFace},
                {5, 17, Blend(clBtnShadow, clBtnFace, 50)},
                {5, 18, Blend(clBtnShadow, clBtnFace, 100)},
                {5, 19, Blend(clBtnShadow, clBtnFace, 150)},
                {11, 5, clBtnShadow}},
               "outlook corner");
}

TEST_F(PainterPixels, VistaHeaderAndCell) {
  auto P = Painter<TVistaStyleDisplay>();
  const TRect R(10, 0, 60, 20);
  P->DrawHeaderBackground(Middle, R);
  ExpectProbes(S,
               {{10, 0, clWhite},
                {10, 19, clWhite},
                {59, 0, clBtnFace},
                {59, 19, clBtnFace},
                {11, 0, 0xF0F0F0},
                {58, 19, 0xF0F0F0},
                {60, 5, Bg}},
               "unsorted");
  S.Dib.Fill(0xA0A0A0);
  Middle->SetSorted(true);
  Middle->SetSortKind(skDescending);
  P->DrawHeaderBackground(Middle, R);
  ExpectProbes(S,
               {{11, 0, 0xF0DCAF},
                {58, 0, 0xF0DCAF},
                {11, 6, clWhite},
                {11, 19, clWhite},
                {10, 5, clWhite},
                {59, 5, clBtnFace},
                {35, 0, clWhite}},  // the sort mark
               "sorted");
  EXPECT_NE(S.At(11, 5), Rgb(0xF0DCAF));
  S.Dib.Fill(0xA0A0A0);
  P->DrawIndicatorBackground(TRect(0, 20, 12, 38), 1, false, false);
  ExpectProbes(S, {{0, 20, clWhite}, {0, 37, clWhite}, {11, 20, clBtnFace}, {5, 30, 0xF0F0F0}, {5, 38, Bg}},
               "cell");
}

TEST_F(PainterPixels, OfficeHeaders) {
  using namespace NxThemesSupport;
  struct TCase {
    const char* Name;
    std::unique_ptr<TStyleDisplay> P;
    TColor G1, G2;
  };
  TCase Cases[] = {
      {"2007", Painter<TOffice2007StyleDisplay>(), 0xFFFFFF, GetSchemeColor(11, 0)},
      {"2010", Painter<TOffice2010StyleDisplay>(), GetSchemeColor(6, 0), GetSchemeColor(7, 0)},
  };
  const TRect R(10, 0, 60, 20);
  const TColor Frame = GetSchemeColor(2, 0), Separator = GetSchemeColor(10, 0);
  for (TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    S.Dib.Fill(0xA0A0A0);
    C.P->DrawHeaderBackground(First, R);
    ExpectProbes(S,
                 {{20, 0, C.G1},
                  {59, 0, C.G1},
                  {59, 1, NxSharedDraw::MixColors(C.G1, C.G2, 1.0 / 20)},
                  {59, 2, Separator},
                  {59, 16, Separator},
                  {59, 17, NxSharedDraw::MixColors(C.G1, C.G2, 17.0 / 20)},
                  {10, 19, Frame},
                  {59, 19, Frame},
                  {60, 19, Bg}},
                 "first column");
    S.Dib.Fill(0xA0A0A0);
    C.P->DrawHeaderBackground(Last, R);
    ExpectProbes(S, {{59, 0, Frame}, {59, 18, Frame}, {20, 0, C.G1}}, "last column");
    // Pressed: the gradient upside down.
    Grid.Pressed = Middle;
    S.Dib.Fill(0xA0A0A0);
    C.P->DrawHeaderBackground(Middle, R);
    ExpectProbes(S, {{20, 0, C.G2}}, "pressed");
    Grid.Pressed = nullptr;
    // The corner and the indicator cells: the same gradient with the frame
    // at the right and the bottom.
    S.Dib.Fill(0xA0A0A0);
    C.P->DrawIndicatorBackground(TRect(0, 20, 12, 38), 2, false, false);
    ExpectProbes(S, {{3, 20, C.G1}, {11, 20, Frame}, {0, 37, Frame}, {11, 37, Frame}}, "cell");
    S.Dib.Fill(0xA0A0A0);
    C.P->DrawBand(TRect(0, 0, 100, 4));
    ExpectProbes(S, {{50, 2, GetSchemeColor(11, 0)}}, "band");
  }
}

TEST_F(PainterPixels, GridLinesFlatAndRaisedCells) {
  auto P = Painter<TFlatStyleDisplay>();
  P->DrawGridLines(TRect(10, 5, 30, 15), clRed);
  ExpectProbes(S,
               {{10, 14, clRed}, {28, 14, clRed}, {29, 5, clRed}, {29, 14, clRed}, {29, 15, clRed}, {29, 16, Bg},
                {30, 14, Bg}, {10, 13, Bg}},
               "grid lines");
  S.Dib.Fill(0xA0A0A0);
  Middle->Header()->SetColor(0x00CCDDEE);
  P->DrawHeaderBackground(Middle, TRect(10, 5, 30, 15));
  ExpectProbes(S, {{10, 5, 0xCCDDEE}, {28, 13, 0xCCDDEE}, {29, 5, clGrayText}, {29, 14, clGrayText},
                   {10, 14, clGrayText}, {9, 14, Bg}, {29, 15, Bg}},
               "flat cell");
  S.Dib.Fill(0xA0A0A0);
  P->DrawBand(TRect(0, 20, 40, 24));
  ExpectProbes(S, {{0, 20, clBtnFace}, {39, 23, clBtnFace}}, "flat band");

  auto Old = Painter<TOldStyleDisplay>();
  S.Dib.Fill(0xA0A0A0);
  Middle->Header()->SetColor(clRed);  // the raised cell ignores it
  Old->DrawHeaderBackground(Middle, TRect(10, 5, 30, 15));
  ExpectProbes(S, {{10, 5, clBtnHighlight}, {10, 13, clBtnHighlight}, {28, 5, clBtnHighlight},
                   {10, 14, clWindowFrame}, {29, 5, clWindowFrame}, {29, 14, clWindowFrame}, {20, 10, clBtnFace}},
               "raised cell");
}

// ---- Pressed and hot -------------------------------------------------------------------------

TEST_F(PainterPixels, ThemedDefaultHeaderStates) {
  TRecordingTheme Style({u"header"});
  auto P = Painter<TDefaultStyleDisplay>(true);
  P->ThemeHandle = NxThemesSupport::OpenThemeData(nullptr, u"header");
  ASSERT_NE(P->ThemeHandle, nullptr);
  EXPECT_EQ(P->GetCapabilities(), 1);
  struct TCase {
    bool Pressed, Hot;
    int State;
  };
  const TCase Cases[] = {{true, true, 3}, {true, false, 3}, {false, true, 2}, {false, false, 1}};
  const TRect R(10, 5, 60, 25);
  for (const TCase& C : Cases) {
    Grid.Pressed = C.Pressed ? Middle : nullptr;
    Grid.Hot = C.Hot ? Middle : nullptr;
    Style.Calls.clear();
    P->DrawHeader(Middle, R);
    auto Draws = Style.CallsOf("DrawThemeBackground");
    ASSERT_EQ(Draws.size(), 1u);
    EXPECT_EQ(Draws[0].Part, 1);
    EXPECT_EQ(Draws[0].State, C.State) << C.Pressed << C.Hot;
    EXPECT_EQ(Draws[0].Rect, R);
    EXPECT_EQ(S.At(30, 8), static_cast<TColor>(TRecordingTheme::PartColor(1, C.State)));
  }
  // The corner and the empty strip.
  Style.Calls.clear();
  P->DrawIndicatorCorner(TRect(0, 0, 12, 20), 0);
  P->DrawEmptyHeader(TRect(60, 0, 120, 20));
  auto Draws = Style.CallsOf("DrawThemeBackground");
  ASSERT_EQ(Draws.size(), 2u);
  EXPECT_EQ(Draws[0].Part, 1);
  EXPECT_EQ(Draws[0].State, 1);
  EXPECT_EQ(Draws[1].Part, 2);
  EXPECT_EQ(Draws[1].State, 1);
  NxThemesSupport::CloseThemeData(P->ThemeHandle);
}

TEST_F(PainterPixels, ClassicPressedHeaderIsInverted) {
  auto P = Painter<TDefaultStyleDisplay>();
  EXPECT_EQ(P->GetCapabilities(), 2);
  const TRect R(10, 5, 60, 25);
  S.Dib.Fill(0xFFFFFF);
  Middle->Header()->SetCaption(u"");
  Grid.Pressed = Middle;
  P->DrawHeader(Middle, R);
  // (Left, Top, Right - 1, Bottom): the face inverted, the right column not.
  EXPECT_EQ(S.At(30, 15), Rgb(static_cast<TColor>(~ColorToRGB(clBtnFace) & 0xFFFFFF)));
  EXPECT_EQ(S.At(59, 15), Rgb(clBtnShadow));
  EXPECT_EQ(S.At(9, 4), clWhite);
  // The only visible column: (Left - 1, Top - 1, Right, Bottom).
  First->SetVisible(false);
  Last->SetVisible(false);
  ASSERT_TRUE(Middle->IsOnlyVisible());
  S.Dib.Fill(0xFFFFFF);
  P->DrawHeader(Middle, R);
  EXPECT_EQ(S.At(9, 4), clBlack);
  EXPECT_EQ(S.At(59, 15), Rgb(static_cast<TColor>(~ColorToRGB(clBtnShadow) & 0xFFFFFF)));
  EXPECT_EQ(S.At(60, 15), clWhite);
  EXPECT_EQ(S.At(30, 25), clWhite);
}

TEST_F(PainterPixels, WithoutSortArrowAPressedSortedHeaderShowsItsCaptionOnly) {
  const TRect R(10, 5, 110, 25);
  Middle->Header()->SetCaption(u"Name");
  Middle->SetSorted(true);
  Grid.Pressed = Middle;
  TRecorder<TDefaultStyleDisplay> P(&Control);
  P.Canvas = &S.Canvas;
  P.ShowSortArrow = false;
  P.DrawHeader(Middle, R);
  EXPECT_TRUE(P.Arrows.empty());
  EXPECT_EQ(P.CaptionIn.size(), 1u);
  // Not inverted: the face keeps its colour.
  EXPECT_EQ(S.At(100, 15), Rgb(clBtnFace));
  // With the arrow shown, the same header has its arrow and is inverted.
  TRecorder<TDefaultStyleDisplay> Q(&Control);
  Q.Canvas = &S.Canvas;
  Q.DrawHeader(Middle, R);
  EXPECT_EQ(Q.Arrows.size(), 1u);
  EXPECT_NE(S.At(100, 15), Rgb(clBtnFace));
}

}  // namespace
