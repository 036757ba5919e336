// Where the header painters put a header's glyph, caption and sort arrow,
// and what they measure.
#include <gtest/gtest.h>

#include <optional>

#include "grid/nx_column_classes.h"
#include "grid/nx_shared_draw.h"
#include "tests/grid/style_display_test_support.h"

namespace {

constexpr TColor GlyphColor = 0x2080F0;
constexpr int GW = 16, GH = 12;

struct TLayout {
  std::optional<Integer> CaptionX;
  std::optional<TPoint> Glyph;
  std::optional<TPoint> Arrow;
};

class HeaderLayout : public ::testing::Test {
 protected:
  TPaintGrid Grid;
  TGridControl Control;
  TSurface Surface{260, 30};
  TNxTextColumn* Column = Grid.AddColumn(200);

  void SetUp() override {
    Grid.AddColumn(80);  // the first column is not the only one
    Column->Header()->SetCaption(u"Caption");
  }

  // The glyph's top left, found by its colour (one level darker through
  // the alpha compositing).
  std::optional<TPoint> FindGlyph() {
    const TColor Drawn = NxSharedDraw::BlendColor(GlyphColor, clWhite, 255);
    for (int Y = 0; Y < Surface.Dib.height; ++Y)
      for (int X = 0; X < Surface.Dib.width; ++X)
        if (Surface.At(X, Y) == Drawn) return TPoint(X, Y);
    return std::nullopt;
  }

  template <class Painter>
  TLayout Lay(const TRect& R, TRecorder<Painter>& P) {
    Surface.Dib.Fill(0xFFFFFF);
    P.Canvas = &Surface.Canvas;
    P.DrawHeaderContent(Column, R);
    TLayout L;
    if (!P.CaptionIn.empty()) L.CaptionX = P.CaptionIn.back().Left;
    if (!P.Arrows.empty()) L.Arrow = TPoint(P.Arrows.back().X, P.Arrows.back().Y);
    L.Glyph = FindGlyph();
    return L;
  }
};

TEST_F(HeaderLayout, GlyphCaptionAndArrowTable) {
  const std::unique_ptr<TBitmap> Glyph = SolidGlyph(GW, GH, GlyphColor);
  const Integer E = TextWidthWide(&Surface.Canvas, u"Caption") + 2;
  const Integer EV = TextHeightWide(&Surface.Canvas, u"Caption") + 2;
  ASSERT_GT(E, 20);
  const TRect R(10, 0, 210, 20);
  // Arrow Y: the middle less 4.
  const Integer AY = 6;
  struct TCase {
    const char* Name;
    TAlignment Align;
    bool WithGlyph, Sorted;
    TDisplayMode Mode;
    bool HideArrow;
    THeaderOrientation Orientation;
    TRect Rect;
    std::optional<Integer> CaptionX;
    std::optional<TPoint> Glyph;
    std::optional<TPoint> Arrow;
  };
  const auto None = std::nullopt;
  const TCase Cases[] = {
      {"left", taLeftJustify, false, false, dmTextOnly, true, hoHorizontal, R, 12, None, None},
      {"left sorted", taLeftJustify, false, true, dmTextOnly, true, hoHorizontal, R, 12, None,
       TPoint(12 + E + 19, AY)},
      {"right", taRightJustify, false, false, dmTextOnly, true, hoHorizontal, R, 210 - E - 2, None, None},
      {"right sorted: 31 further left", taRightJustify, false, true, dmTextOnly, true, hoHorizontal, R,
       210 - E - 2 - 31, None, TPoint(196, AY)},
      {"centre", taCenter, false, false, dmTextOnly, true, hoHorizontal, R, 10 + (200 - E) / 2, None, None},
      {"centre, wider than the header", taCenter, false, false, dmTextOnly, true, hoHorizontal,
       TRect(10, 0, 10 + E, 20), 12, None, None},
      {"centre, one narrower than the caption", taCenter, false, false, dmTextOnly, true, hoHorizontal,
       TRect(10, 0, 11 + E, 20), 10, None, None},
      {"left glyph", taLeftJustify, true, false, dmTextAndImage, true, hoHorizontal, R, 13 + GW + 2, TPoint(13, 4),
       None},
      {"right glyph", taRightJustify, true, false, dmTextAndImage, true, hoHorizontal, R, 210 - GW - E - 2 + GW + 2,
       TPoint(210 - GW - E - 2, 4), None},
      {"right glyph sorted: 31 further left", taRightJustify, true, true, dmTextAndImage, true, hoHorizontal, R,
       210 - GW - E - 2 - 31 + GW + 2, TPoint(210 - GW - E - 2 - 31, 4), TPoint(198, AY)},
      {"centre glyph", taCenter, true, false, dmTextAndImage, true, hoHorizontal, R,
       10 + 100 - (GW + E) / 2 + GW + 2, TPoint(10 + 100 - (GW + E) / 2, 4), None},
      {"text only hides the glyph", taLeftJustify, true, false, dmTextOnly, true, hoHorizontal, R, 12, None, None},
      {"image only: no caption, arrow 19 after the glyph", taLeftJustify, true, true, dmImageOnly, true,
       hoHorizontal, R, None, TPoint(13, 4), TPoint(13 + GW + 2 + 19, AY)},
      {"image only without glyph", taLeftJustify, false, true, dmImageOnly, true, hoHorizontal, R, None, None,
       TPoint(12 + 19, AY)},
      {"image only, descending", taLeftJustify, false, true, dmImageOnly, true, hoHorizontal, R, None, None,
       TPoint(12 + 19, AY)},
      // The arrow's right end reaching the edge.
      {"arrow at the edge, hidden", taLeftJustify, false, true, dmTextOnly, true, hoHorizontal,
       TRect(10, 0, 12 + E + 19 + 8, 20), 12, None, None},
      {"arrow one short of the edge", taLeftJustify, false, true, dmTextOnly, true, hoHorizontal,
       TRect(10, 0, 12 + E + 19 + 9, 20), 12, None, TPoint(12 + E + 19, AY)},
      {"arrow past the edge, HideArrow off", taLeftJustify, false, true, dmTextOnly, false, hoHorizontal,
       TRect(10, 0, 12 + E, 20), 12, None, TPoint(12 + E + 19, AY)},
      {"vertical left sorted", taLeftJustify, false, true, dmTextOnly, true, hoVertical, R, 12, None,
       TPoint(12 + EV + 19, AY)},
      {"vertical right", taRightJustify, false, false, dmTextOnly, true, hoVertical, R, 210 - EV - 2, None, None},
      {"vertical right glyph sorted", taRightJustify, true, true, dmTextAndImage, false, hoVertical, R,
       210 - GW - EV - 2 - 31 + GW + 2, TPoint(210 - GW - EV - 2 - 31, 4), TPoint(198, AY)},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TColumnHeader* H = Column->Header();
    H->SetAlignment(C.Align);
    H->SetDisplayMode(C.Mode);
    H->SetHideArrow(C.HideArrow);
    H->SetOrientation(C.Orientation);
    TBitmap Empty;
    H->SetGlyph(C.WithGlyph ? Glyph.get() : &Empty);
    Column->SetSorted(C.Sorted);
    Column->SetSortKind(std::string_view(C.Name).ends_with("descending") ? skDescending : skAscending);
    TRecorder<TDefaultStyleDisplay> P(&Control);
    const TLayout L = Lay(C.Rect, P);
    EXPECT_EQ(L.CaptionX, C.CaptionX);
    EXPECT_EQ(L.Glyph, C.Glyph);
    EXPECT_EQ(L.Arrow, C.Arrow);
  }
}

TEST_F(HeaderLayout, TheArrowsDirectionFollowsTheSortKind) {
  Column->SetSorted(true);
  for (TSortKind K : {skAscending, skDescending}) {
    Column->SetSortKind(K);
    TRecorder<TDefaultStyleDisplay> P(&Control);
    P.Canvas = &Surface.Canvas;
    P.DrawHeaderContent(Column, TRect(0, 0, 200, 20));
    ASSERT_EQ(P.Arrows.size(), 1u);
    EXPECT_EQ(P.Arrows[0].Ascending, K == skAscending);
  }
}

// The styles that move the caption do not move the arrow.
TEST_F(HeaderLayout, AdjustCaptionRectMovesTheCaptionOnly) {
  Column->SetSorted(true);
  const TRect R(10, 2, 210, 22);
  TRecorder<TDefaultStyleDisplay> Base(&Control);
  Lay(R, Base);
  ASSERT_EQ(Base.CaptionOut.size(), 1u);
  ASSERT_EQ(Base.Arrows.size(), 1u);
  EXPECT_EQ(Base.CaptionOut[0], TRect(12, 2, 210, 22));

  TRecorder<TOutlookStyleDisplay> Outlook(&Control);
  Lay(R, Outlook);
  EXPECT_EQ(Outlook.CaptionOut.at(0), TRect(12, 2, 210, 19));
  EXPECT_EQ(Outlook.Arrows.at(0).X, Base.Arrows[0].X);
  EXPECT_EQ(Outlook.Arrows.at(0).Y, Base.Arrows[0].Y);

  TRecorder<TOffice2007StyleDisplay> O2007(&Control);
  Lay(R, O2007);
  EXPECT_EQ(O2007.CaptionOut.at(0), TRect(14, 2, 210, 22));
  EXPECT_EQ(O2007.Arrows.at(0).X, Base.Arrows[0].X);

  TRecorder<TOffice2010StyleDisplay> O2010(&Control);
  Lay(R, O2010);
  EXPECT_EQ(O2010.CaptionOut.at(0), TRect(14, 2, 210, 22));
  EXPECT_EQ(O2010.Arrows.at(0).X, Base.Arrows[0].X);

  TRecorder<TVistaStyleDisplay> Vista(&Control);
  Lay(R, Vista);
  EXPECT_EQ(Vista.CaptionOut.at(0), TRect(14, 2, 210, 22));
}

// Vista marks the sort itself, at the top of the header's middle, and no
// arrow follows the caption.
TEST_F(HeaderLayout, VistaMarksTheSortAtTheTopCentreWhateverTheAlignment) {
  Column->SetSorted(true);
  const TRect R(20, 0, 120, 20);
  for (TAlignment A : {taLeftJustify, taRightJustify, taCenter}) {
    for (TSortKind K : {skAscending, skDescending}) {
      SCOPED_TRACE(::testing::Message() << "alignment " << A << " kind " << K);
      Column->Header()->SetAlignment(A);
      Column->SetSortKind(K);
      Column->Header()->SetCaption(u"");
      Surface.Dib.Fill(0x000000);
      TRecorder<TVistaStyleDisplay> P(&Control);
      P.Canvas = &Surface.Canvas;
      P.DrawHeader(Column, R);
      EXPECT_TRUE(P.Arrows.empty());
      // X = 20 + 50 - 3 = 67: ascending points up from (70, 0), descending
      // down to (70, 3).
      const int Tip = K == skAscending ? 0 : 3, Base = K == skAscending ? 3 : 0;
      EXPECT_EQ(Surface.At(70, Tip), clWhite);
      EXPECT_EQ(Surface.At(67, Base), clWhite);
      EXPECT_EQ(Surface.At(73, Base), clWhite);
      EXPECT_NE(Surface.At(67, Tip), clWhite);
    }
  }
}

TEST_F(HeaderLayout, MeasureHeaderWidthByDisplayModeAndOrientation) {
  const std::unique_ptr<TBitmap> Glyph = SolidGlyph(GW, GH, GlyphColor);
  TBitmap Empty;
  TDefaultStyleDisplay P(&Control);
  P.Canvas = &Surface.Canvas;
  const Integer W = Surface.Canvas.TextWidth("Caption"), H = Surface.Canvas.TextHeight("Caption");
  struct TCase {
    TDisplayMode Mode;
    THeaderOrientation Orientation;
    bool WithGlyph;
    Integer Expected;
  };
  const TCase Cases[] = {
      {dmImageOnly, hoHorizontal, true, GW},        {dmImageOnly, hoHorizontal, false, 0},
      {dmTextAndImage, hoHorizontal, true, GW + W + 2}, {dmTextAndImage, hoHorizontal, false, W + 2},
      {dmTextOnly, hoHorizontal, true, W},          {dmTextOnly, hoVertical, true, H},
      {dmTextAndImage, hoVertical, true, GW + H + 2}, {dmImageOnly, hoVertical, true, GW},
  };
  for (const TCase& C : Cases) {
    Column->Header()->SetDisplayMode(C.Mode);
    Column->Header()->SetOrientation(C.Orientation);
    Column->Header()->SetGlyph(C.WithGlyph ? Glyph.get() : &Empty);
    EXPECT_EQ(P.MeasureHeaderWidth(Column), C.Expected) << C.Mode << " " << C.Orientation << " " << C.WithGlyph;
  }
  // No caption, no width.
  Column->Header()->SetCaption(u"");
  Column->Header()->SetDisplayMode(dmTextOnly);
  Column->Header()->SetOrientation(hoHorizontal);
  EXPECT_EQ(P.MeasureHeaderWidth(Column), 0);
}

// A footer's right-aligned glyph moves for the sort arrow's room; its
// caption alone does not.
TEST_F(HeaderLayout, FooterRightAlignedGlyphMovesWhenSortedCaptionDoesNot) {
  const std::unique_ptr<TBitmap> Glyph = SolidGlyph(GW, GH, GlyphColor);
  TColumnFooter* F = Column->Footer();
  F->SetAlignment(taRightJustify);
  F->SetCaption(u"Total");
  F->SetColor(clWhite);
  TDefaultStyleDisplay P(&Control);
  P.Canvas = &Surface.Canvas;
  const TRect R(10, 0, 210, 20);
  auto InkLeft = [&] {
    for (int X = 0; X < Surface.Dib.width; ++X)
      for (int Y = 0; Y < Surface.Dib.height; ++Y)
        if (Surface.At(X, Y) != clWhite) return X;
    return -1;
  };
  // Caption only.
  Column->SetSorted(false);
  Surface.Dib.Fill(0xFFFFFF);
  P.DrawFooterContent(Column, R);
  const int Unsorted = InkLeft();
  Column->SetSorted(true);
  Surface.Dib.Fill(0xFFFFFF);
  P.DrawFooterContent(Column, R);
  EXPECT_EQ(InkLeft(), Unsorted);
  EXPECT_GT(Unsorted, 150);
  // With a glyph: X = Right - glyph - text - padding - 2, 31 less sorted.
  F->SetGlyph(Glyph.get());
  F->SetDisplayMode(dmTextAndImage);
  Column->SetPadding(3);
  const Integer TW = TextWidthWide(&Surface.Canvas, u"Total");
  for (bool Sorted : {false, true}) {
    Column->SetSorted(Sorted);
    Surface.Dib.Fill(0xFFFFFF);
    P.DrawFooterContent(Column, R);
    EXPECT_EQ(FindGlyph(), TPoint(210 - GW - TW - 3 - 2 - (Sorted ? 31 : 0), 4)) << Sorted;
  }
}

}  // namespace

namespace {

// One line, vertically centred and cut with an ellipsis; several lines
// only when multi-line; "&" shown as it is.
TEST(DrawCaption, SingleLineUnlessMultiLine) {
  TGridControl Control;
  TDefaultStyleDisplay P(&Control);
  auto InkOf = [&](bool MultiLine, const WideString& Text, const TRect& R) {
    TSurface S(200, 60);
    S.Canvas.Font()->SetColor(clBlack);
    P.DrawCaption(&S.Canvas, R, MultiLine, Text);
    // The brush is solid again afterwards.
    EXPECT_EQ(S.Canvas.Brush()->Style(), bsSolid);
    return S.Dib.InkBox(0xFFFFFF);
  };
  const TRect R(10, 0, 190, 60);
  const RECT One = InkOf(false, u"Top\r\nBottom", R), Two = InkOf(true, u"Top\r\nBottom", R);
  const int Line = TSurface().Canvas.TextHeight("Mg");
  EXPECT_LT(One.Bottom - One.Top, Line + 1);
  EXPECT_GT(Two.Bottom - Two.Top, Line);
  // Single line: centred vertically.
  EXPECT_GT(One.Top, 15);
  // The ampersand is drawn, not taken as a mnemonic: "&&" is wider than "&".
  const RECT Amp1 = InkOf(false, u"a&b", R), Amp2 = InkOf(false, u"a&&b", R);
  EXPECT_GT(Amp2.Right - Amp2.Left, Amp1.Right - Amp1.Left);
  // Too long: cut at the right edge.
  const RECT Cut = InkOf(false, u"A caption much too long for its rectangle", TRect(10, 0, 60, 60));
  EXPECT_LE(Cut.Right, 60);
}

}  // namespace
