// Panels, bevels, images and shapes: layout inside their edges, what they
// paint, and their properties in form descriptions.
#include "platform/forms/extctrls.h"

#include "platform/forms/bitmap.h"
#include "platform/forms/icon.h"
#include "platform/forms/picture.h"
#include "stdctrls_test_support.h"

using namespace stdctrls_test;

namespace {

class ExtCtrls : public TStdCtrlsTest {
 protected:
  void SetUp() override {
    TStdCtrlsTest::SetUp();
    RegisterExtCtrlsClasses();
    ShowForm();
    Form->SetColor(clWhite);
  }
  COLORREF At(TWinControl* W, Integer X, Integer Y) { return rtl::testing::WindowPixel(W->Handle(), X, Y); }
  static COLORREF Sys(int Index) { return GetSysColor(Index); }
};

TEST_F(ExtCtrls, APanelLaysItsChildrenOutInsideItsEdges) {
  auto* P = Add<TPanel>(Rect(10, 10, 210, 110));
  P->SetBevelInner(bvLowered);
  P->SetBorderWidth(3);
  auto* Child = Add<TPanel>(Rect(0, 0, 10, 10), P);
  Child->SetAlign(alClient);
  // Outer bevel 1, border 3, inner bevel 1.
  EXPECT_EQ(Child->BoundsRect(), Rect(5, 5, 195, 95));
  P->SetBevelOuter(bvNone);
  EXPECT_EQ(Child->BoundsRect(), Rect(4, 4, 196, 96));
}

TEST_F(ExtCtrls, APanelPaintsItsBevelsAndItsCaption) {
  auto* P = Add<TPanel>(Rect(10, 10, 210, 50));
  P->SetCaption("Converting");
  Pump();
  EXPECT_EQ(At(P, 0, 0), Sys(COLOR_BTNHIGHLIGHT)) << "raised: light top left";
  EXPECT_EQ(At(P, 199, 39), Sys(COLOR_BTNSHADOW)) << "dark bottom right";
  EXPECT_EQ(At(P, 5, 20), Sys(COLOR_BTNFACE));
  // The caption sits in the middle.
  Integer Ink = 0;
  for (Integer X = 60; X < 140; ++X)
    for (Integer Y = 10; Y < 30; ++Y)
      if (At(P, X, Y) != Sys(COLOR_BTNFACE)) ++Ink;
  EXPECT_GT(Ink, 20);
  P->SetBevelOuter(bvLowered);
  Pump();
  EXPECT_EQ(At(P, 0, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(P, 199, 39), Sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(ExtCtrls, BevelsDrawTheirShapes) {
  struct Case {
    TBevelShape Shape;
    TBevelStyle Style;
    POINT Dark, Light;
  };
  const Case Cases[] = {
      {bsTopLine, bsLowered, POINT(20, 0), POINT(20, 1)},
      {bsBottomLine, bsLowered, POINT(20, 18), POINT(20, 19)},
      {bsLeftLine, bsRaised, POINT(1, 10), POINT(0, 10)},
      {bsBox, bsLowered, POINT(0, 5), POINT(39, 5)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Shape);
    auto* B = Add<TBevel>(Rect(20, 20, 60, 40));
    B->SetShape(C.Shape);
    B->SetStyle(C.Style);
    Pump();
    EXPECT_EQ(At(Form, 20 + C.Dark.X, 20 + C.Dark.Y), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(Form, 20 + C.Light.X, 20 + C.Light.Y), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(Form, 40, 30), RGB(255, 255, 255)) << "the middle stays the parent's";
    delete B;
    Pump();
  }
}

// A bitmap of one colour with a differently coloured top-left pixel.
std::unique_ptr<TBitmap> SolidBitmap(Integer W, Integer H, TColor Color) {
  auto B = std::make_unique<TBitmap>(W, H);
  B->Canvas()->Brush()->SetColor(Color);
  B->Canvas()->FillRect(Rect(0, 0, W, H));
  return B;
}

TEST_F(ExtCtrls, AnImageShowsItsPictureAtItsSizeCentredOrStretched) {
  auto* I = Add<TImage>(Rect(10, 10, 110, 110));
  auto B = SolidBitmap(20, 10, clRed);
  I->Picture()->SetGraphic(B.get());
  Pump();
  EXPECT_EQ(At(Form, 10 + 5, 10 + 5), RGB(255, 0, 0));
  EXPECT_EQ(At(Form, 10 + 50, 10 + 50), RGB(255, 255, 255));
  I->SetCenter(true);
  Pump();
  EXPECT_EQ(At(Form, 10 + 5, 10 + 5), RGB(255, 255, 255));
  EXPECT_EQ(At(Form, 10 + 50, 10 + 50), RGB(255, 0, 0));
  I->SetStretch(true);
  Pump();
  EXPECT_EQ(At(Form, 10 + 2, 10 + 95), RGB(255, 0, 0));
  I->SetProportional(true);
  Pump();
  EXPECT_EQ(At(Form, 10 + 50, 10 + 20), RGB(255, 255, 255)) << "kept wide: empty above";
  EXPECT_EQ(At(Form, 10 + 50, 10 + 50), RGB(255, 0, 0));
  I->SetAutoSize(true);
  I->SetStretch(false);
  I->Picture()->SetGraphic(B.get());
  EXPECT_EQ(I->Width(), 20);
  EXPECT_EQ(I->Height(), 10);
}

TEST_F(ExtCtrls, ATransparentImageLetsTheParentThroughItsTransparentColour) {
  auto* I = Add<TImage>(Rect(10, 10, 30, 30));
  auto B = SolidBitmap(20, 20, clLime);
  B->Canvas()->Brush()->SetColor(clBlue);
  B->Canvas()->FillRect(Rect(5, 5, 15, 15));
  // The bottom-left pixel names the transparent colour.
  I->Picture()->SetGraphic(B.get());
  I->SetTransparent(true);
  Pump();
  EXPECT_EQ(At(Form, 10 + 1, 10 + 1), RGB(255, 255, 255));
  EXPECT_EQ(At(Form, 10 + 10, 10 + 10), RGB(0, 0, 255));
  EXPECT_FALSE(I->ControlStyle().Contains(csOpaque));
}

TEST_F(ExtCtrls, AnImageCanvasDrawsOnItsBitmapOnly) {
  auto* I = Add<TImage>(Rect(10, 10, 50, 50));
  I->Canvas()->Brush()->SetColor(clNavy);
  I->Canvas()->FillRect(Rect(0, 0, 40, 40));
  ASSERT_NE(dynamic_cast<TBitmap*>(I->Picture()->Graphic()), nullptr);
  EXPECT_EQ(I->Picture()->Width(), 40);
  Pump();
  EXPECT_EQ(At(Form, 30, 30), RGB(0, 0, 0x80));
  TIcon Icon;
  Icon.SetHandle(CopyIcon(LoadIcon(nullptr, IDI_INFORMATION)));
  I->Picture()->SetIcon(&Icon);
  EXPECT_THROW(I->Canvas(), EInvalidOperation);
}

TEST_F(ExtCtrls, ShapesFillWithTheirBrushAndOutlineWithTheirPen) {
  auto* S = Add<TShape>(Rect(10, 10, 70, 50));
  S->SetShape(stCircle);
  S->Brush()->SetColor(clYellow);
  S->Pen()->SetColor(clRed);
  Pump();
  EXPECT_EQ(At(Form, 40, 30), RGB(255, 255, 0));
  EXPECT_EQ(At(Form, 12, 30), RGB(255, 255, 255)) << "a circle in the middle of a wide shape";
  EXPECT_EQ(At(Form, 40, 10), RGB(255, 0, 0));
}

TEST_F(ExtCtrls, ThesePropertiesRoundTripThroughADescription) {
  TDescribedForm* F = ReadForm(
      "object F: TDescribedForm\n"
      "  Left = 0\n"
      "  Top = 0\n"
      "  ClientHeight = 200\n"
      "  ClientWidth = 300\n"
      "  Color = clBtnFace\n"
      "  PixelsPerInch = 96\n"
      "  TextHeight = 12\n"
      "  object Bevel1: TBevel\n"
      "    Left = 0\n"
      "    Top = 10\n"
      "    Width = 337\n"
      "    Height = 5\n"
      "    Shape = bsTopLine\n"
      "  end\n"
      "  object Shape1: TShape\n"
      "    Left = 8\n"
      "    Top = 20\n"
      "    Width = 20\n"
      "    Height = 20\n"
      "    Brush.Color = clYellow\n"
      "    Shape = stCircle\n"
      "  end\n"
      "  object ImageIcon: TImage\n"
      "    Left = 8\n"
      "    Top = 50\n"
      "    Width = 33\n"
      "    Height = 33\n"
      "    Center = True\n"
      "  end\n"
      "  object Panel1: TPanel\n"
      "    Left = 0\n"
      "    Top = 100\n"
      "    Width = 300\n"
      "    Height = 36\n"
      "    Align = alBottom\n"
      "    BevelOuter = bvNone\n"
      "    Caption = 'Bottom'\n"
      "    TabOrder = 0\n"
      "  end\n"
      "end\n");
  Forms.push_back(F->Link());
  auto* Image = dynamic_cast<TImage*>(F->FindComponent("ImageIcon"));
  ASSERT_NE(Image, nullptr);
  EXPECT_TRUE(Image->Center());
  auto B = SolidBitmap(4, 4, clGreen);
  Image->Picture()->SetGraphic(B.get());
  auto* Panel = dynamic_cast<TPanel*>(F->FindComponent("Panel1"));
  ASSERT_NE(Panel, nullptr);
  EXPECT_EQ(Panel->BevelOuter(), bvNone);
  EXPECT_EQ(Panel->Top(), 164) << "aligned to the bottom of the client area";
  const AnsiString Text = WriteToText(F);
  for (const char* Line : {"    Shape = bsTopLine\n", "    Brush.Color = clYellow\n", "    Shape = stCircle\n",
                           "    Picture.Data = {\n", "    BevelOuter = bvNone\n", "    Caption = 'Bottom'\n"})
    EXPECT_NE(Text.find(Line), AnsiString::npos) << Line << "\n" << Text;
  EXPECT_EQ(Text.find("Color = clBtnFace\n", Text.find("object Panel1")), AnsiString::npos) << "the default colour";
  TDescribedForm* Copy = ReadForm(Text);
  Forms.push_back(Copy->Link());
  EXPECT_EQ(WriteToText(Copy), Text);
  auto* CopyImage = dynamic_cast<TImage*>(Copy->FindComponent("ImageIcon"));
  ASSERT_NE(CopyImage, nullptr);
  EXPECT_EQ(CopyImage->Picture()->Width(), 4);
}

}  // namespace
