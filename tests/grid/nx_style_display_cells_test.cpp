// Footer and input-line cells, drawing options, bad input, and the picture
// of every style.
#include <gtest/gtest.h>

#include <functional>

#include "grid/nx_column_classes.h"
#include "grid/nx_shared_common.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/forms.h"
#include "platform/testing/user_testing.h"
#include "platform/testing/uxtheme_recording.h"
#include "tests/common/pictures.h"
#include "tests/grid/style_display_test_support.h"

namespace {

class PainterCells : public ::testing::Test {
 protected:
  TPaintGrid Grid;
  TGridControl Control{0x00336699};
  TSurface S{200, 30, 0xA0A0A0};
  TSurface Ref{200, 30, 0xA0A0A0};
  TNxTextColumn* First = Grid.AddColumn(60);
  TNxTextColumn* Column = Grid.AddColumn(200);
  TDefaultStyleDisplay P{&Control};

  void SetUp() override {
    P.Canvas = &S.Canvas;
    Column->Font()->SetName("Tahoma");
    Column->Font()->SetHeight(-11);
    Column->Footer()->SetColor(0x00F0E0D0);
  }
  // What a footer with text T looks like: the fill, the grid lines, T at
  // the left.
  void ReferenceFooter(const TRect& R, const WideString& T) {
    Ref.Canvas.SetFont(Column->Font());
    Ref.Canvas.Brush()->SetColor(Column->Footer()->Color());
    Ref.Canvas.FillRect(TRect(R.Left, R.Top, R.Right - 1, R.Bottom - 1));
    TDefaultStyleDisplay Q(&Control);
    Q.Canvas = &Ref.Canvas;
    Q.DrawGridLines(R, clBtnFace);
    Q.DrawCaption(&Ref.Canvas, TRect(R.Left + 2, R.Top, R.Right - 1, R.Bottom - 1), false, T);
  }
};

TEST_F(PainterCells, FooterTextFormats) {
  struct TCase {
    const char* Name;
    AnsiString Mask;
    TFormatMaskKind Kind;
    WideString Caption, Before, After, Shown;
  };
  const TCase Cases[] = {
      {"plain", "", mkText, u"12.5", u"", u"", u"12.5"},
      {"float", "0.00", mkFloat, u"3.14159", u"", u"", u"3.14"},
      {"float of no number", "0.00", mkFloat, u"n/a", u"", u"", u"0.00"},
      {"phone", "(000) 000-0000;0;_", mkText, u"5551234567", u"", u"", u"(555) 123-4567"},
      {"wrapped", "(000) 000-0000;0;_", mkText, u"5551234567", u"Tel ", u" (home)", u"Tel (555) 123-4567 (home)"},
      {"wrapped plain", "", mkText, u"7", u"Sum: ", u" files", u"Sum: 7 files"},
  };
  const TRect R(10, 4, 190, 24);
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TColumnFooter* F = Column->Footer();
    F->SetFormatMask(C.Mask);
    F->SetFormatMaskKind(C.Kind);
    F->SetCaption(C.Caption);
    F->SetTextBefore(C.Before);
    F->SetTextAfter(C.After);
    S.Dib.Fill(0xA0A0A0);
    Ref.Dib.Fill(0xA0A0A0);
    P.DrawFooter(Column, R, true);
    ReferenceFooter(R, C.Shown);
    EXPECT_TRUE(S.SamePixels(Ref));
  }
}

TEST_F(PainterCells, FooterRestoresTheClipAndCallsTheCallbackOnlyWhenSet) {
  HRGN Clip = CreateRectRgn(5, 2, 150, 28);
  SelectClipRgn(S.Canvas.Handle(), Clip);
  DeleteObject(Clip);
  Column->Footer()->SetCaption(u"A caption that runs far past the footer's right edge");
  EXPECT_NO_THROW(P.DrawFooter(Column, TRect(10, 4, 60, 24), true));
  EXPECT_EQ(S.Canvas.ClipRect(), TRect(5, 2, 150, 28));
  // The caption stayed inside the footer.
  EXPECT_EQ(S.Dib.CountNot(0xA0A0A0, 60, 0, 200, 30, 0xFFFFFF), 0);
  std::vector<std::pair<Integer, TRect>> Calls;
  P.CustomDrawFooter = [&](TObject* Sender, Integer Index, const TRect& Rect) {
    EXPECT_EQ(Sender, &P);
    Calls.emplace_back(Index, Rect);
  };
  P.DrawFooter(Column, TRect(10, 4, 60, 24), true);
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0].first, Column->Index());
  EXPECT_EQ(Calls[0].second, TRect(10, 4, 59, 23));
}

TEST_F(PainterCells, DrawingOptions) {
  Column->Header()->SetCaption(u"Header");
  Column->Footer()->SetCaption(u"Footer");
  Column->SetSorted(true);
  const TRect R(10, 4, 190, 24);
  struct TCase {
    TDrawingOptions Options;
    bool Background, Content;
  };
  const TCase Cases[] = {{doNormal, true, true},
                         {doBackgroundOnly, true, false},
                         {doCustom, true, true},
                         {doCustomOnly, false, false}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(::testing::Message() << "options " << C.Options);
    Column->Header()->SetDrawingOptions(C.Options);
    Column->Footer()->SetDrawingOptions(C.Options);
    TRecorder<TDefaultStyleDisplay> H(&Control);
    H.Canvas = &S.Canvas;
    int HeaderCalls = 0, FooterCalls = 0;
    H.CustomDrawHeader = [&](TObject*, Integer, const TRect& Rect) {
      EXPECT_EQ(Rect, R);
      ++HeaderCalls;
    };
    H.CustomDrawFooter = [&](TObject*, Integer, const TRect&) { ++FooterCalls; };
    S.Dib.Fill(0xA0A0A0);
    H.DrawHeader(Column, R);
    EXPECT_EQ(HeaderCalls, 1);
    EXPECT_EQ(S.At(100, 5) == Rgb(clBtnFace), C.Background);
    EXPECT_EQ(H.CaptionIn.size(), C.Content ? 1u : 0u);
    EXPECT_EQ(H.Arrows.size(), C.Content ? 1u : 0u);

    S.Dib.Fill(0xA0A0A0);
    H.DrawFooter(Column, R, true);
    EXPECT_EQ(FooterCalls, 1);
    EXPECT_EQ(S.At(100, 5) == 0xF0E0D0, C.Background);
    // The grid lines, whatever the options.
    EXPECT_EQ(S.At(189, 10), Rgb(clBtnFace));
    EXPECT_EQ(S.At(100, 23), Rgb(clBtnFace));
    // Content: any text pixel inside the footer.
    const int Ink = S.Dib.CountNot(Px(0xF0E0D0), 11, 5, 180, 22, 0xFFFFFF);
    if (C.Content)
      EXPECT_GT(Ink, 0);
    else if (C.Background)
      EXPECT_EQ(Ink, 0);
  }
}

TEST_F(PainterCells, InputCell) {
  const TRect R(10, 4, 190, 24);
  Column->SetColor(0x00D0FFD0);
  Column->SetInputCaption(u"Type here");
  auto Reference = [&](TColor Brush, TColor Text, bool Lines, TAlignment Align, const WideString& T) {
    Ref.Dib.Fill(0xA0A0A0);
    Ref.Canvas.SetFont(Column->Font());
    Ref.Canvas.Font()->SetColor(Text);
    Ref.Canvas.Brush()->SetColor(Brush);
    Ref.Canvas.FillRect(Lines ? TRect(10, 4, 189, 23) : R);
    if (Lines) {
      TDefaultStyleDisplay Q(&Control);
      Q.Canvas = &Ref.Canvas;
      Q.DrawGridLines(R, clHighlight);
    }
    TGraphicsProvider::DrawTextRect(&Ref.Canvas, TRect(12, 4, 189, 23), Align, T, false);
  };
  struct TCase {
    const char* Name;
    bool GridLines, Active, Focused, Selected;
    WideString Value;
    TColor Brush, Text;
    bool Lines;
    TAlignment Align;
    WideString Shown;
  };
  Column->SetAlignment(taRightJustify);
  const TCase Cases[] = {
      {"inactive: grey on the column colour, no lines", true, false, true, false, u"", 0x00D0FFD0, clGrayText, false,
       taCenter, u"Type here"},
      {"active and focused", true, true, true, false, u"", clHighlight, clHighlightText, true, taCenter,
       u"Type here"},
      {"active, not focused", false, true, false, false, u"", clBtnFace, clWindowText, false, taCenter,
       u"Type here"},
      {"selected column", true, true, true, true, u"", 0x00D0FFD0, clGrayText, true, taCenter, u"Type here"},
      {"a value, in the column's alignment", true, true, true, false, u"42", clHighlight, clHighlightText, true,
       taRightJustify, u"42"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Column->SetInputValue(C.Value);
    Grid.Selected = C.Selected ? Column->Index() : -1;
    Column->Font()->SetColor(clWindowText);
    S.Dib.Fill(0xA0A0A0);
    P.DrawInputCell(Column, R, C.GridLines, C.Active, C.Focused);
    Reference(C.Brush, C.Text, C.Lines, C.Align, C.Shown);
    EXPECT_TRUE(S.SamePixels(Ref));
  }
  // While edited: a one-pixel frame in the brush instead of a fill.
  Column->SetInputValue(u"");
  Column->SetInputEditing(true);
  S.Dib.Fill(0xA0A0A0);
  P.DrawInputCell(Column, R, true, true, true);
  EXPECT_EQ(S.At(10, 4), 0xD0FFD0);
  EXPECT_EQ(S.At(188, 22), 0xD0FFD0);
  EXPECT_EQ(S.At(11, 5), 0xA0A0A0);
  Column->SetInputEditing(false);
}

TEST_F(PainterCells, BadInputDrawsNothingWrongAndNeverFails) {
  TBitmap Empty;
  Column->Header()->SetGlyph(&Empty);
  Column->Header()->SetDisplayMode(dmTextAndImage);
  Column->Footer()->SetGlyph(&Empty);
  Column->Footer()->SetDisplayMode(dmTextAndImage);
  Column->SetSorted(true);
  std::vector<std::unique_ptr<TStyleDisplay>> Painters;
  Painters.push_back(std::make_unique<TDefaultStyleDisplay>(&Control));
  Painters.push_back(std::make_unique<TFlatStyleDisplay>(&Control));
  Painters.push_back(std::make_unique<TOldStyleDisplay>(&Control));
  Painters.push_back(std::make_unique<TOutlookStyleDisplay>(&Control));
  Painters.push_back(std::make_unique<TVistaStyleDisplay>(&Control));
  Painters.push_back(std::make_unique<TOffice2007StyleDisplay>(&Control));
  Painters.push_back(std::make_unique<TOffice2010StyleDisplay>(&Control));
  const TRect Bad[] = {TRect(50, 5, 50, 25), TRect(50, 5, 40, 25), TRect(50, 5, 90, 5), TRect(50, 25, 90, 5)};
  for (auto& Painter : Painters) {
    SCOPED_TRACE(Painter->ClassName());
    Painter->Canvas = &S.Canvas;
    for (bool Themed : {false, true}) {
      // Themed without a handle: the themed calls draw nothing.
      Painter->Themed = Themed;
      for (const TRect& R : Bad) {
        S.Dib.Fill(0xA0A0A0);
        EXPECT_NO_THROW({
          Painter->DrawHeader(Column, R);
          Painter->DrawFooter(Column, R, true);
          Painter->DrawInputCell(Column, R, true, true, true);
          Painter->DrawIndicatorBackground(R, 1, true, true);
          Painter->DrawIndicatorGlyph(R, true, true);
          Painter->DrawIndicatorCorner(R, 0);
          Painter->DrawIndicatorCorner(R, 1);
          Painter->DrawBand(R);
          Painter->DrawEmptyHeader(R);
        });
        EXPECT_EQ(S.Dib.CountNot(0xA0A0A0, 0, 0, 200, 30, 0xFFFFFF), 0)
            << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom;
      }
      // A caption wider than the header, or none at all: drawn inside.
      for (const char16_t* Caption : {u"A caption far wider than its narrow header", u""}) {
        Column->Header()->SetCaption(Caption);
        S.Dib.Fill(0xA0A0A0);
        EXPECT_NO_THROW(Painter->DrawHeader(Column, TRect(20, 0, 60, 20)));
        if (!Themed) EXPECT_EQ(S.Dib.CountNot(0xA0A0A0, 61, 0, 200, 30, 0xFFFFFF), 0);
      }
    }
  }
  // Themed with no handle: the default painter's themed parts draw nothing.
  TRecordingTheme Style({u"header"});
  TDefaultStyleDisplay Unready(&Control);
  Unready.Canvas = &S.Canvas;
  Unready.Themed = true;
  Column->Header()->SetCaption(u"");
  Column->SetSorted(false);
  S.Dib.Fill(0xA0A0A0);
  Unready.DrawHeaderBackground(Column, TRect(10, 0, 60, 20));
  Unready.DrawIndicatorCorner(TRect(0, 0, 12, 20), 0);
  Unready.DrawEmptyHeader(TRect(60, 0, 200, 20));
  EXPECT_EQ(S.Dib.CountNot(0xA0A0A0, 0, 0, 200, 30, 0xFFFFFF), 0);
  EXPECT_TRUE(Style.CallsOf("DrawThemeBackground").empty());
}

TEST(PainterClasses, CreatedThroughTheClassReferenceWithTheGrid) {
  TGridControl Control;
  for (TClass C : {TDefaultStyleDisplay::StaticClass(), TFlatStyleDisplay::StaticClass(),
                   TOffice2007StyleDisplay::StaticClass(), TOffice2010StyleDisplay::StaticClass(),
                   TOldStyleDisplay::StaticClass(), TOutlookStyleDisplay::StaticClass(),
                   TVistaStyleDisplay::StaticClass()}) {
    EXPECT_EQ(C->Parent, TStyleDisplay::StaticClass()) << C->Name;
    std::unique_ptr<TObject> O(CreateInstance(C, &Control));
    auto* P = dynamic_cast<TStyleDisplay*>(O.get());
    ASSERT_NE(P, nullptr) << C->Name;
    EXPECT_EQ(P->Grid(), &Control);
    EXPECT_TRUE(P->ShowSortArrow);
    EXPECT_FALSE(P->Themed);
  }
  // The capability bits of each style.
  TDefaultStyleDisplay D(&Control);
  EXPECT_EQ(D.GetCapabilities(), 2);
  D.Themed = true;
  EXPECT_EQ(D.GetCapabilities(), 1);
  EXPECT_EQ(TFlatStyleDisplay(&Control).GetCapabilities(), 0);
  EXPECT_EQ(TOldStyleDisplay(&Control).GetCapabilities(), 2);
  EXPECT_EQ(TOutlookStyleDisplay(&Control).GetCapabilities(), 2);
  EXPECT_EQ(TVistaStyleDisplay(&Control).GetCapabilities(), 4);
  EXPECT_EQ(TOffice2007StyleDisplay(&Control).GetCapabilities(), 0);
  EXPECT_EQ(TOffice2010StyleDisplay(&Control).GetCapabilities(), 0);
}

}  // namespace

// ---- The picture -----------------------------------------------------------------------------

namespace {

constexpr int BlockHeight = 100, HeaderWidth = 90, SheetHalf = 340;

// One block per style, themed and classic: the header strip (corner,
// unsorted, sorted ascending, pressed, empty strip), three indicator cells
// (plain, current, highlighted) and the footer row.
class THeaderSheet : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  TPaintGrid* Grid = nullptr;
  HTHEME Theme = nullptr;

 protected:
  void Paint() override {
    // Themed on the left, classic on the right. The indicator column
    // starts at x 0, so each half is painted on a bitmap of its own.
    for (bool Themed : {true, false}) {
      TBitmap Half;
      Half.SetPixelFormat(pf32bit);
      Half.SetSize(SheetHalf, 7 * BlockHeight);
      PaintHalf(Half.Canvas(), Themed);
      Canvas()->Draw(Themed ? 0 : SheetHalf, 0, &Half);
    }
  }

  void PaintHalf(TCanvas* C, bool Themed) {
    C->Brush()->SetColor(clWhite);
    C->FillRect(TRect(0, 0, SheetHalf, 7 * BlockHeight));
    C->Font()->SetName("Tahoma");
    C->Font()->SetHeight(-11);
    const TClass Classes[] = {TDefaultStyleDisplay::StaticClass(),    TFlatStyleDisplay::StaticClass(),
                              TOffice2007StyleDisplay::StaticClass(), TOffice2010StyleDisplay::StaticClass(),
                              TOldStyleDisplay::StaticClass(),        TOutlookStyleDisplay::StaticClass(),
                              TVistaStyleDisplay::StaticClass()};
    int Y = 0;
    for (TClass Class : Classes) {
      std::unique_ptr<TObject> O(CreateInstance(Class, this));
      auto* P = static_cast<TStyleDisplay*>(O.get());
      P->Canvas = C;
      P->Themed = Themed;
      P->ThemeHandle = Theme;
      P->DrawIndicatorCorner(TRect(0, Y, 12, Y + 20), 0);
      for (int I = 0; I < 3; ++I) {
        C->Font()->SetColor(clWindowText);
        P->DrawHeader(Grid->FColumns->Items(I), TRect(12 + I * HeaderWidth, Y, 12 + (I + 1) * HeaderWidth, Y + 20));
      }
      P->DrawEmptyHeader(TRect(12 + 3 * HeaderWidth, Y, SheetHalf, Y + 20));
      for (int I = 0; I < 3; ++I) {
        const TRect R(0, Y + 20 + I * 18, 12, Y + 38 + I * 18);
        P->DrawIndicatorBackground(R, I, I == 1, I == 2);
        P->DrawIndicatorGlyph(R, I == 1, I == 2);
      }
      P->DrawBand(TRect(0, Y + 74, SheetHalf, Y + 76));
      P->DrawIndicatorCorner(TRect(0, Y + 76, 12, Y + 96), 1);
      for (int I = 0; I < 3; ++I)
        P->DrawFooter(Grid->FColumns->Items(I), TRect(12 + I * HeaderWidth, Y + 76, 12 + (I + 1) * HeaderWidth, Y + 96),
                      true);
      C->Font()->SetColor(clWindowText);
      C->Brush()->SetColor(clWhite);
      C->TextOut(20, Y + 40, Class->ClassName() + (Themed ? " (themed)" : " (classic)"));
      Y += BlockHeight;
    }
  }
};

}  // namespace

TEST(PainterPicture, EveryStyleThemedAndClassic) {
  rtl::testing::UseVirtualClock(true);
  TRecordingTheme Style({u"header"});
  TPaintGrid Grid;
  const char16_t* Captions[] = {u"Name", u"Size", u"Modified"};
  for (int I = 0; I < 3; ++I) {
    auto* Col = Grid.AddColumn(HeaderWidth);
    Col->Header()->SetCaption(Captions[I]);
    Col->Footer()->SetCaption(I == 1 ? u"1234.5" : u"");
    Col->Footer()->SetColor(clWindow);
    Col->Footer()->SetAlignment(I == 1 ? taRightJustify : taLeftJustify);
    Col->Font()->SetName("Tahoma");
    Col->Font()->SetHeight(-11);
  }
  Grid.FColumns->Items(1)->SetSorted(true);
  Grid.FColumns->Items(1)->Footer()->SetFormatMask("#,##0.00");
  Grid.FColumns->Items(1)->Footer()->SetFormatMaskKind(mkFloat);
  Grid.FColumns->Items(1)->Footer()->SetTextBefore(u"Sum ");
  Grid.FColumns->Items(0)->Footer()->SetCaption(u"Footer");
  Grid.Pressed = Grid.FColumns->Items(2);
  TForm* F = TCustomForm::Create<TForm>(nullptr);
  F->SetBounds(20, 20, 2 * SheetHalf + 20, 7 * BlockHeight + 60);
  auto* Sheet = new THeaderSheet(F);
  Sheet->Grid = &Grid;
  Sheet->Theme = NxThemesSupport::OpenThemeData(nullptr, u"header");
  Sheet->SetColor(clBtnFace);
  Sheet->SetBounds(0, 0, 2 * SheetHalf, 7 * BlockHeight);
  Sheet->SetParent(F);
  F->Show();
  Application->ProcessMessages();
  Sheet->Repaint();
  EXPECT_TRUE(rtl::testing::SaveWindowPng(Sheet->Handle(), PictureDir() + "grid-headers.png"));
  // The themed default header in the recording theme's colours: normal,
  // and pressed for the third.
  EXPECT_EQ(rtl::testing::WindowPixel(Sheet->Handle(), 20, 2), TRecordingTheme::PartColor(1, 1));
  EXPECT_EQ(rtl::testing::WindowPixel(Sheet->Handle(), 12 + 2 * HeaderWidth + 5, 2), TRecordingTheme::PartColor(1, 3));
  // The classic default header's face.
  EXPECT_EQ(rtl::testing::WindowPixel(Sheet->Handle(), SheetHalf + 60, 3), ColorToRGB(clBtnFace));
  NxThemesSupport::CloseThemeData(Sheet->Theme);
  F->Free();
  Application->ProcessMessages();
  rtl::testing::UseVirtualClock(false);
}
