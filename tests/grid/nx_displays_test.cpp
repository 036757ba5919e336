#include "grid/nx_displays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "grid/nx_column_classes.h"
#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/forms/graphics.h"
#include "platform/forms/image_list.h"
#include "platform/rtl/dateutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "platform/testing/user_testing.h"
#include "tests/common/dib_canvas.h"
#include "tests/common/pictures.h"

namespace {

struct TProbe {
  TDibCanvas Dib;
  TCanvas Canvas;
  explicit TProbe(int W = 200, int H = 60, uint32_t Fill = 0xFFFFFFu) : Dib(W, H, Fill) {
    Canvas.SetHandle(Dib.dc);
    Canvas.Font()->SetName("Tahoma");
    Canvas.Font()->SetHeight(-11);
  }
  ~TProbe() { Canvas.SetHandle(nullptr); }
  TColor At(int X, int Y) {
    const uint32_t P = Dib.At(X, Y);
    return static_cast<TColor>(((P & 0xFF) << 16) | (P & 0xFF00) | ((P >> 16) & 0xFF));
  }
};

TColumnDisplay* DisplayOf(TNxCustomColumn& Column, TCanvas* Canvas, const TRect& Cell) {
  auto* D = dynamic_cast<TColumnDisplay*>(Column.Display());
  D->Canvas = Canvas;
  D->CellRect = Cell;
  return D;
}

// ---- Text format ------------------------------------------------------------------------------

TEST(TextFormatTest, FlagsFollowTheColumnsLayoutProperties) {
  struct TCase {
    TAlignment Align;
    TVerticalAlignment VAlign;
    TWrapKind Wrap;
    bool MultiLine;
    TBiDiMode BiDi;
    bool AllowEllipsis;
    UINT Flags;
  };
  const TCase cases[] = {
      {taLeftJustify, taAlignTop, wkNone, false, bdLeftToRight, true, 0x0820},
      {taRightJustify, taAlignTop, wkNone, false, bdLeftToRight, true, 0x0822},
      {taCenter, taAlignTop, wkNone, false, bdLeftToRight, true, 0x0821},
      {taLeftJustify, taAlignBottom, wkNone, false, bdLeftToRight, true, 0x0828},
      {taLeftJustify, taVerticalCenter, wkNone, false, bdLeftToRight, true, 0x0824},
      {taLeftJustify, taVerticalCenter, wkEllipsis, false, bdLeftToRight, true, 0x8824},
      {taLeftJustify, taVerticalCenter, wkEllipsis, false, bdLeftToRight, false, 0x0824},
      {taLeftJustify, taVerticalCenter, wkPathEllipsis, false, bdLeftToRight, true, 0x4824},
      {taLeftJustify, taVerticalCenter, wkPathEllipsis, false, bdLeftToRight, false, 0x0824},
      {taLeftJustify, taAlignTop, wkWordWrap, false, bdLeftToRight, true, 0x2810},
      {taCenter, taVerticalCenter, wkWordWrap, false, bdLeftToRight, true, 0x2815},
      {taLeftJustify, taAlignTop, wkNone, true, bdLeftToRight, true, 0x0800},
      {taRightJustify, taAlignBottom, wkEllipsis, true, bdLeftToRight, true, 0x880A},
      {taLeftJustify, taAlignTop, wkNone, false, bdRightToLeft, true, 0x20820},
      {taRightJustify, taVerticalCenter, wkEllipsis, false, bdRightToLeftReadingOnly, true, 0x28826},
  };
  TProbe P;
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "align " << c.Align << " valign " << c.VAlign << " wrap " << c.Wrap
                                      << " multi " << c.MultiLine << " bidi " << c.BiDi);
    TNxTextColumn col(nullptr);
    col.SetAlignment(c.Align);
    col.SetVerticalAlignment(c.VAlign);
    col.SetWrapKind(c.Wrap);
    col.SetMultiLine(c.MultiLine);
    col.SetBiDiMode(c.BiDi);
    TColumnDisplay* D = DisplayOf(col, &P.Canvas, TRect(0, 0, 200, 60));
    TRect R(0, 0, 200, 60);
    UINT Flags = 0;
    D->GetTextFormat(u"text", R, c.AllowEllipsis, Flags);
    EXPECT_EQ(Flags, c.Flags);
  }
}

TEST(TextFormatTest, WrappedTextIsPlacedVerticallyByHand) {
  TProbe P;
  TNxTextColumn col(nullptr);
  col.SetWrapKind(wkWordWrap);
  TColumnDisplay* D = DisplayOf(col, &P.Canvas, TRect(0, 0, 60, 60));
  const WideString Text = u"two words";
  TRect M(0, 0, 60, 60);
  DrawTextExW(P.Canvas.Handle(), const_cast<WideChar*>(Text.c_str()), -1, &M,
              DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT, nullptr);
  UINT Flags;
  TRect R(0, 0, 60, 60);
  col.SetVerticalAlignment(taAlignBottom);
  D->GetTextFormat(Text, R, true, Flags);
  EXPECT_EQ(R.Top, 60 - M.Height());
  R = TRect(0, 0, 60, 61);
  col.SetVerticalAlignment(taVerticalCenter);
  D->GetTextFormat(Text, R, true, Flags);
  EXPECT_EQ(R.Top, static_cast<Integer>(std::nearbyint((61 - M.Bottom) / 2.0)));
  R = TRect(0, 0, 60, 60);
  col.SetVerticalAlignment(taAlignTop);
  D->GetTextFormat(Text, R, true, Flags);
  EXPECT_EQ(R.Top, 0);
}

TEST(TextMeasureTest, MeasuringNeverAddsAnEllipsis) {
  TProbe P;
  TNxTextColumn col(nullptr);
  col.SetWrapKind(wkEllipsis);
  TColumnDisplay* D = DisplayOf(col, &P.Canvas, TRect(0, 0, 30, 20));
  D->AsString = u"A rather long file name.pdf";
  const Integer Full = P.Canvas.TextWidth("A rather long file name.pdf");
  EXPECT_EQ(D->GetContentWidth(), Full);
  TSize S;
  D->MeasureContent(S);
  EXPECT_EQ(S.cx, Full);
  EXPECT_GT(S.cy, 8);
}

// ---- Painting -------------------------------------------------------------------------------

TEST(DisplayPaintTest, HintMarkIsARedTriangleInTheTopRightCorner) {
  TProbe P(60, 30);
  TNxTextColumn col(nullptr);
  const TRect Cell(10, 5, 50, 25);
  TColumnDisplay* D = DisplayOf(col, &P.Canvas, Cell);
  D->DrawHintMark();
  EXPECT_EQ(P.At(Cell.Right - 5, Cell.Top), clRed);
  EXPECT_EQ(P.At(Cell.Right - 1, Cell.Top), clRed);
  EXPECT_EQ(P.At(Cell.Right - 1, Cell.Top + 4), clRed);
  EXPECT_EQ(P.At(Cell.Right - 2, Cell.Top + 1), clRed) << "filled";
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < Cell.Right - 5; ++x) ASSERT_EQ(P.At(x, y), clWhite) << x << "," << y;
  EXPECT_EQ(P.At(Cell.Right - 5, Cell.Top + 4), clWhite) << "a triangle, not a square";
}

TEST(DisplayPaintTest, TextStaysInsideTheContentInset) {
  TProbe P(120, 20);
  TNxTextColumn col(nullptr);
  col.SetWrapKind(wkNone);
  const TRect Cell(20, 0, 80, 20);
  TColumnDisplay* D = DisplayOf(col, &P.Canvas, Cell);
  D->AsString = u"WWWWWWWWWWWWWWWWWWWW";
  D->Paint();
  const RECT Ink = P.Dib.InkBox(0xFFFFFFu);
  EXPECT_GE(Ink.Left, Cell.Left + 2);
  EXPECT_LE(Ink.Right, Cell.Right - 2);
  EXPECT_GT(Ink.Right - Ink.Left, 40) << "something was drawn";
  col.SetAlignment(taRightJustify);
  P.Dib.Fill(0xFFFFFFu);
  D->AsString = u"x";
  D->Paint();
  EXPECT_LE(P.Dib.InkBox(0xFFFFFFu).Right, Cell.Right - 2);
  EXPECT_GT(P.Dib.InkBox(0xFFFFFFu).Right, Cell.Right - 6);
}

TEST(DisplayPaintTest, WordWrappedTextIsCentredInATallCell) {
  TProbe P(80, 100);
  TNxTextColumn col(nullptr);
  col.SetWrapKind(wkWordWrap);
  col.SetVerticalAlignment(taVerticalCenter);
  col.SetAlignment(taCenter);
  const TRect Cell(0, 0, 60, 100);
  TColumnDisplay* D = DisplayOf(col, &P.Canvas, Cell);
  D->AsString = u"Wrapped words";
  D->Paint();
  const RECT Ink = P.Dib.InkBox(0xFFFFFFu);
  const Integer LineHeight = P.Canvas.TextHeight("Wg");
  EXPECT_GT(Ink.Bottom - Ink.Top, LineHeight) << "two lines";
  EXPECT_LT(std::abs((Ink.Top + Ink.Bottom) - 100), 8) << "centred vertically";
  // Without wrapping it is one line, centred by the system flag.
  col.SetWrapKind(wkNone);
  P.Dib.Fill(0xFFFFFFu);
  D->Paint();
  const RECT One = P.Dib.InkBox(0xFFFFFFu);
  EXPECT_LE(One.Bottom - One.Top, LineHeight);
  EXPECT_LT(std::abs((One.Top + One.Bottom) - 100), 8);
}

// An image list that records what it is asked to draw.
class TRecordingImageList : public TCustomImageList {
 public:
  struct TCall {
    Integer Index, X, Y;
  };
  std::vector<TCall> Calls;
  TRecordingImageList() : TCustomImageList(16, 12) {}

 protected:
  void DoDraw(Integer Index, TCanvas*, Integer X, Integer Y, UINT, bool) override { Calls.push_back({Index, X, Y}); }
};

TEST(DisplayPaintTest, ImageColumnDrawsOnlyIndexesOfTheList) {
  TProbe P(60, 40);
  TRecordingImageList List;
  TBitmap Strip;
  Strip.SetSize(48, 12);
  List.AddMasked(&Strip, clFuchsia);
  ASSERT_EQ(List.Count(), 3);
  TNxImageColumn col(nullptr);
  col.SetImages(&List);
  col.SetAlignment(taCenter);
  TColumnDisplay* D = DisplayOf(col, &P.Canvas, TRect(0, 0, 40, 30));
  for (Integer Index : {-1, 3, 7}) {
    D->AsInteger = Index;
    D->Paint();
  }
  EXPECT_TRUE(List.Calls.empty());
  D->AsInteger = 2;
  D->Paint();
  ASSERT_EQ(List.Calls.size(), 1u);
  EXPECT_EQ(List.Calls[0].Index, 2);
  EXPECT_EQ(List.Calls[0].X, (40 - 16) / 2);
  EXPECT_EQ(List.Calls[0].Y, (30 - 12) / 2);
  col.SetAlignment(taLeftJustify);
  col.SetVerticalAlignment(taAlignTop);
  D->Paint();
  EXPECT_EQ(List.Calls[1].X, 2) << "margin 2";
  EXPECT_EQ(List.Calls[1].Y, 2);
  EXPECT_EQ(D->GetContentWidth(), 16);
  col.SetImages(nullptr);
  EXPECT_EQ(D->GetContentWidth(), 0);
  D->Paint();
  EXPECT_EQ(List.Calls.size(), 2u);
}

// A column that names a play element, which no column of the program does.
class TCountingDisplay : public TTextColumnDisplay {
  RTL_CLASS(TCountingDisplay, TTextColumnDisplay)

 public:
  using TTextColumnDisplay::TTextColumnDisplay;
  Integer Paints = 0;
  void Paint() override { ++Paints; }
};
RTL_IMPLEMENT_CLASS(TCountingDisplay)

class TPlayingColumn : public TNxTextColumn {
 public:
  explicit TPlayingColumn(TComponent* AOwner) : TNxTextColumn(AOwner) { CreateElements(); }
  TClass GetDisplayClass() const override { return TCountingDisplay::StaticClass(); }
  TClass GetPlayClass() const override { return TColumnPlay::StaticClass(); }
};

TEST(DisplayPlayTest, PlayElementPaintsThroughTheDisplayElement) {
  TPlayingColumn col(nullptr);
  auto* play = dynamic_cast<TColumnPlay*>(col.Play());
  auto* display = dynamic_cast<TCountingDisplay*>(col.Display());
  ASSERT_NE(play, nullptr);
  ASSERT_NE(display, nullptr);
  display->AsBoolean = true;
  play->Paint();
  EXPECT_TRUE(play->AsBoolean) << "the display's value is copied in";
  EXPECT_EQ(display->Paints, 1);
  TNxTextColumn plain(nullptr);
  EXPECT_EQ(plain.Play(), nullptr);
}

// ---- The picture --------------------------------------------------------------------------------

class TCellStrip : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  TNxTextColumn Text{nullptr};
  TNxDateColumn Date{nullptr};
  TNxImageColumn Image{nullptr};
  TCustomImageList Images{16, 16};

  void Prepare() {
    TBitmap Pics;
    Pics.SetSize(32, 16);
    Pics.Canvas()->Brush()->SetColor(clFuchsia);
    Pics.Canvas()->FillRect(TRect(0, 0, 32, 16));
    Pics.Canvas()->Brush()->SetColor(0x2080F0);
    Pics.Canvas()->Ellipse(1, 1, 15, 15);
    Pics.Canvas()->Brush()->SetColor(0x30A030);
    Pics.Canvas()->Rectangle(18, 2, 30, 14);
    Images.AddMasked(&Pics, clFuchsia);
    Image.SetImages(&Images);
    Image.SetAlignment(taCenter);
    Text.SetTextBefore(u"File to Convert:   ");
    Date.SetFormatMask("yyyy-mm-dd hh:nn");
    Date.SetTextBefore(u"Date Modified:   ");
  }

 protected:
  void Paint() override {
    TCanvas* C = Canvas();
    C->Brush()->SetColor(clWhite);
    C->FillRect(ClientRect());
    C->Font()->SetName("Tahoma");
    C->Font()->SetHeight(-11);
    C->Pen()->SetColor(clSilver);
    auto Cell = [&](TNxCustomColumn& Col, const TRect& R) {
      C->Brush()->SetStyle(bsClear);
      C->Rectangle(R.Left, R.Top, R.Right + 1, R.Bottom + 1);
      C->Brush()->SetStyle(bsSolid);
      auto* D = dynamic_cast<TColumnDisplay*>(Col.Display());
      D->Canvas = C;
      D->CellRect = R;
      return D;
    };
    TColumnDisplay* D = Cell(Image, TRect(4, 4, 44, 40));
    D->AsInteger = 0;
    D->Paint();
    D = Cell(Image, TRect(44, 4, 84, 40));
    D->AsInteger = 1;
    D->Paint();
    D = Cell(Text, TRect(84, 4, 284, 22));
    D->AsString = u"report.pdf";
    D->Paint();
    D = Cell(Date, TRect(84, 22, 284, 40));
    D->AsDateTime = EncodeDateTime(2026, 12, 11, 2, 30, 0, 0);
    D->Paint();
    D = Cell(Text, TRect(284, 4, 364, 40));
    D->AsString = u"a long text cut with an ellipsis";
    D->Paint();
    D->DrawHintMark();
  }
};

TEST(DisplayPictureTest, CellsSideBySide) {
  rtl::testing::UseVirtualClock(true);
  TForm* F = TCustomForm::Create<TForm>(nullptr);
  F->SetBounds(100, 100, 400, 100);
  auto* Strip = new TCellStrip(F);
  Strip->Prepare();
  Strip->SetBounds(0, 0, 372, 46);
  Strip->SetParent(F);
  F->Show();
  Application->ProcessMessages();
  Strip->Repaint();
  EXPECT_TRUE(rtl::testing::SaveWindowPng(Strip->Handle(), PictureDir() + "grid-cells.png"));
  EXPECT_EQ(rtl::testing::WindowPixel(Strip->Handle(), 363, 4), ColorToRGB(clRed)) << "the hint mark";
  EXPECT_EQ(rtl::testing::WindowPixel(Strip->Handle(), 24, 22), 0x2080F0u) << "the first image, centred";
  F->Free();
  Application->ProcessMessages();
  rtl::testing::UseVirtualClock(false);
}

}  // namespace
