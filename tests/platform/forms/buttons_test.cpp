// Bitmap buttons and speed buttons driven by injected mouse and keys; their
// glyphs on screen and their properties in form descriptions.
#include "platform/forms/buttons.h"

#include "platform/forms/bitmap.h"
#include "stdctrls_test_support.h"

using namespace stdctrls_test;

namespace {

class Buttons : public TStdCtrlsTest {
 protected:
  void SetUp() override {
    TStdCtrlsTest::SetUp();
    RegisterButtonsClasses();
  }
  // A 16 x 16 glyph: a red square on a fuchsia (transparent) ground.
  static std::unique_ptr<TBitmap> RedGlyph() {
    auto B = std::make_unique<TBitmap>(16, 16);
    B->Canvas()->Brush()->SetColor(clFuchsia);
    B->Canvas()->FillRect(Rect(0, 0, 16, 16));
    B->Canvas()->Brush()->SetColor(clRed);
    B->Canvas()->FillRect(Rect(3, 3, 13, 13));
    return B;
  }
  static Integer Count(HWND H, const TRect& R, COLORREF C) {
    Integer N = 0;
    for (Integer Y = R.Top; Y < R.Bottom; ++Y)
      for (Integer X = R.Left; X < R.Right; ++X)
        if (rtl::testing::WindowPixel(H, X, Y) == C) ++N;
    return N;
  }
};

TEST_F(Buttons, AKindGivesTheCaptionResultAndRole) {
  struct Case {
    TBitBtnKind Kind;
    const char* Caption;
    TModalResult Result;
    bool Default, Cancel;
  };
  const Case Cases[] = {
      {bkOK, "OK", mrOk, true, false},
      {bkCancel, "Cancel", mrCancel, false, true},
      {bkYes, "&Yes", mrYes, true, false},
      {bkNo, "&No", mrNo, false, true},
      {bkRetry, "&Retry", mrRetry, false, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Caption);
    TBitBtn B(nullptr);
    B.SetKind(C.Kind);
    EXPECT_EQ(B.Caption(), C.Caption);
    EXPECT_EQ(B.ModalResult(), C.Result);
    EXPECT_EQ(B.Default(), C.Default);
    EXPECT_EQ(B.Cancel(), C.Cancel);
  }
}

TEST_F(Buttons, ABitmapButtonClicksAndEndsAModalDialog) {
  ShowForm();
  TForm* Dialog = MakeForm(240, 120);
  auto* OK = Add<TBitBtn>(Rect(10, 10, 90, 35), Dialog);
  OK->SetKind(bkOK);
  Integer Clicks = 0;
  OK->OnClick = [&](TObject*) { ++Clicks; };
  Dialog->OnShow = [&](TObject*) { rtl::testing::InjectKeyPress(VK_RETURN); };
  GuardLoop(Dialog, mrAbort);
  EXPECT_EQ(Dialog->ShowModal(), mrOk);
  Application->OnIdle = nullptr;
  EXPECT_EQ(Clicks, 1);
}

TEST_F(Buttons, QuickClicksAreEachAClickAndACloseButtonClosesItsForm) {
  ShowForm();
  auto* B = Add<TBitBtn>(Rect(10, 10, 90, 35));
  B->SetCaption("Again");
  Integer Clicks = 0;
  B->OnClick = [&](TObject*) { ++Clicks; };
  Pump();
  rtl::testing::InjectClick(At(B, 20, 10));
  rtl::testing::InjectClick(At(B, 20, 10));
  Pump();
  EXPECT_EQ(Clicks, 2);
  auto* Close = Add<TBitBtn>(Rect(100, 10, 180, 35));
  Close->SetKind(bkClose);
  EXPECT_EQ(Close->Caption(), "&Close");
  bool Closed = false;
  Form->OnClose = [&](TObject*, TCloseAction&) { Closed = true; };
  ClickAt(Close, 20, 10);
  EXPECT_TRUE(Closed) << "a Close button closes its form";
}

TEST_F(Buttons, ABitmapButtonDrawsItsGlyphBesideItsCaption) {
  ShowForm();
  auto* B = Add<TBitBtn>(Rect(10, 10, 110, 40));
  B->SetCaption("Help");
  auto Glyph = RedGlyph();
  B->SetGlyph(Glyph.get());
  Pump();
  HWND H = B->Handle();
  const Integer Red = Count(H, Rect(0, 0, 100, 30), RGB(255, 0, 0));
  EXPECT_EQ(Red, 100) << "the red square, and no fuchsia";
  EXPECT_EQ(Count(H, Rect(0, 0, 100, 30), RGB(255, 0, 255)), 0);
  // Centred with its caption: glyph, spacing, text (or the other way).
  EXPECT_EQ(Count(H, Rect(0, 0, 50, 30), RGB(255, 0, 0)), 100);
  B->SetLayout(blGlyphRight);
  Pump();
  EXPECT_EQ(Count(H, Rect(50, 0, 100, 30), RGB(255, 0, 0)), 100);
  B->SetEnabled(false);
  Pump();
  EXPECT_EQ(Count(H, Rect(0, 0, 100, 30), RGB(255, 0, 0)), 0) << "a disabled glyph is embossed";
  EXPECT_GT(Count(H, Rect(60, 0, 100, 30), GetSysColor(COLOR_BTNSHADOW)), 20);
}

TEST_F(Buttons, AKindsOwnCaptionAndResultAreNotWritten) {
  TDescribedForm* F = ReadForm(
      "object F: TDescribedForm\n"
      "  object BOk: TBitBtn\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 75\n"
      "    Height = 25\n"
      "    Kind = bkOK\n"
      "    TabOrder = 0\n"
      "  end\n"
      "  object BHelp: TBitBtn\n"
      "    Left = 90\n"
      "    Top = 8\n"
      "    Width = 24\n"
      "    Height = 23\n"
      "    Caption = '?'\n"
      "    Spacing = 2\n"
      "    TabOrder = 1\n"
      "  end\n"
      "  object Bold: TSpeedButton\n"
      "    Left = 120\n"
      "    Top = 8\n"
      "    Width = 23\n"
      "    Height = 22\n"
      "    AllowAllUp = True\n"
      "    Caption = 'B'\n"
      "    GroupIndex = 2\n"
      "    Down = True\n"
      "    Flat = True\n"
      "  end\n"
      "end\n");
  Forms.push_back(F->Link());
  auto* OK = dynamic_cast<TBitBtn*>(F->FindComponent("BOk"));
  ASSERT_NE(OK, nullptr);
  EXPECT_EQ(OK->Caption(), "OK");
  EXPECT_TRUE(OK->Default());
  auto* Bold = dynamic_cast<TSpeedButton*>(F->FindComponent("Bold"));
  ASSERT_NE(Bold, nullptr);
  EXPECT_TRUE(Bold->Down());
  const AnsiString Text = WriteToText(F);
  const size_t OKAt = Text.find("object BOk"), HelpAt = Text.find("object BHelp");
  const AnsiString OKPart = Text.substr(OKAt, HelpAt - OKAt);
  EXPECT_NE(OKPart.find("Kind = bkOK"), AnsiString::npos) << Text;
  EXPECT_EQ(OKPart.find("Caption"), AnsiString::npos) << Text;
  EXPECT_EQ(OKPart.find("ModalResult"), AnsiString::npos) << Text;
  EXPECT_EQ(OKPart.find("Default"), AnsiString::npos) << Text;
  TDescribedForm* Copy = ReadForm(Text);
  Forms.push_back(Copy->Link());
  EXPECT_EQ(WriteToText(Copy), Text);
}

TEST_F(Buttons, EachKindShowsAGlyphOfItsOwnThatGreysWhenDisabled) {
  ShowForm();
  const COLORREF Green = RGB(0, 128, 0), Red = RGB(192, 0, 0), Navy = RGB(0, 0, 128), Brown = RGB(128, 64, 0);
  const struct {
    TBitBtnKind Kind;
    COLORREF Ink;
    Integer AtLeast;  // pixels of the ink in the glyph
  } Cases[] = {
      {bkOK, Green, 20},   {bkYes, Green, 20},   {bkAll, Green, 20},  {bkRetry, Green, 30},
      {bkCancel, Red, 20}, {bkNo, Red, 20},      {bkAbort, Red, 60},  {bkHelp, Navy, 20},
      {bkIgnore, Navy, 20}, {bkClose, Brown, 40},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Kind);
    auto* B = Add<TBitBtn>(Rect(10, 10, 110, 40));
    B->SetKind(C.Kind);
    EXPECT_FALSE(B->Glyph()->Empty());
    EXPECT_EQ(B->Glyph()->Width(), 16);
    Pump();
    const HWND H = B->Handle();
    const TRect All = Rect(0, 0, 100, 30);
    EXPECT_GE(Count(H, All, C.Ink), C.AtLeast);
    EXPECT_EQ(Count(H, All, RGB(255, 0, 255)), 0) << "the ground is transparent";
    B->SetEnabled(false);
    Pump();
    EXPECT_EQ(Count(H, All, C.Ink), 0);
    delete B;
  }
  // The pictures differ from kind to kind where their meanings do.
  TBitBtn OK(nullptr), Cancel(nullptr), Retry(nullptr);
  OK.SetKind(bkOK);
  Cancel.SetKind(bkCancel);
  Retry.SetKind(bkRetry);
  Integer Differ = 0;
  for (Integer Y = 0; Y < 16; ++Y)
    for (Integer X = 0; X < 16; ++X)
      Differ += OK.Glyph()->Canvas()->Pixels(X, Y) != Retry.Glyph()->Canvas()->Pixels(X, Y);
  EXPECT_GT(Differ, 20);
}

TEST_F(Buttons, AGlyphOfTheButtonsOwnOutlastsItsKind) {
  TBitBtn B(nullptr);
  auto Glyph = RedGlyph();
  B.SetGlyph(Glyph.get());
  B.SetKind(bkOK);
  EXPECT_EQ(B.Glyph()->Canvas()->Pixels(8, 8), clRed);
  EXPECT_TRUE(B.IsGlyphStored());
  // A kind's glyph follows the kind and is not written...
  TBitBtn K(nullptr);
  K.SetKind(bkOK);
  const TColor Check = K.Glyph()->Canvas()->Pixels(6, 10);
  K.SetKind(bkCancel);
  EXPECT_NE(K.Glyph()->Canvas()->Pixels(6, 10), Check);
  EXPECT_FALSE(K.IsGlyphStored());
  // ...until the button becomes a custom one that keeps the picture.
  K.SetKind(bkCustom);
  EXPECT_FALSE(K.Glyph()->Empty());
  EXPECT_TRUE(K.IsGlyphStored());
}

TEST_F(Buttons, ACaptionReadBeforeItsKindStays) {
  TDescribedForm* F = ReadForm(
      "object F: TDescribedForm\n"
      "  object BGo: TBitBtn\n"
      "    Caption = 'Convert'\n"
      "    Kind = bkOK\n"
      "  end\n"
      "end\n");
  Forms.push_back(F->Link());
  auto* Go = dynamic_cast<TBitBtn*>(F->FindComponent("BGo"));
  ASSERT_NE(Go, nullptr);
  EXPECT_EQ(Go->Caption(), "Convert");
  EXPECT_EQ(Go->ModalResult(), mrOk);
  const AnsiString Text = WriteToText(F);
  EXPECT_NE(Text.find("Caption = 'Convert'"), AnsiString::npos) << Text;
  EXPECT_EQ(Text.find("Glyph"), AnsiString::npos) << "the kind's glyph is the kind's: " << Text;
}

// ---- Speed buttons -------------------------------------------------------------------------

class SpeedButtons : public Buttons {
 protected:
  TSpeedButton* B[3] = {};
  Log Events;

  void SetUp() override {
    Buttons::SetUp();
    ShowForm();
    for (int I = 0; I < 3; ++I) {
      B[I] = Add<TSpeedButton>(Rect(10 + I * 30, 10, 33 + I * 30, 32));
      B[I]->SetName("B" + std::to_string(I));
      B[I]->SetGroupIndex(1);
      B[I]->OnClick = [this, I](TObject*) { Events.push_back("click " + std::to_string(I)); };
    }
    Pump();
  }
  std::vector<bool> Downs() const { return {B[0]->Down(), B[1]->Down(), B[2]->Down()}; }
};

TEST_F(SpeedButtons, PressingOneOfAGroupReleasesTheOthers) {
  ClickAt(B[0], 5, 5);
  EXPECT_EQ(Downs(), (std::vector<bool>{true, false, false}));
  ClickAt(B[2], 5, 5);
  EXPECT_EQ(Downs(), (std::vector<bool>{false, false, true}));
  ClickAt(B[2], 5, 5);
  EXPECT_EQ(Downs(), (std::vector<bool>{false, false, true})) << "one of the group stays down";
  EXPECT_EQ(B[2]->State(), bsExclusive);
  EXPECT_EQ(Events, (Log{"click 0", "click 2", "click 2"}));
  B[0]->SetAllowAllUp(true);
  ClickAt(B[2], 5, 5);
  EXPECT_EQ(Downs(), (std::vector<bool>{false, false, false})) << "all may be up now";
  B[1]->SetDown(true);
  EXPECT_EQ(Downs(), (std::vector<bool>{false, true, false}));
}

TEST_F(SpeedButtons, APressThatLeavesTheButtonIsNoClick) {
  auto* Plain = Add<TSpeedButton>(Rect(200, 10, 223, 32));
  Integer Clicks = 0;
  Plain->OnClick = [&](TObject*) { ++Clicks; };
  Pump();
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, true, At(Plain, 5, 5));
  Pump();
  EXPECT_EQ(Plain->State(), bsDown);
  rtl::testing::InjectMouseMove(At(Plain, 60, 60));
  Pump();
  EXPECT_EQ(Plain->State(), bsUp);
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, false, At(Plain, 60, 60));
  Pump();
  EXPECT_EQ(Clicks, 0);
  EXPECT_FALSE(Plain->Down()) << "without a group a speed button never stays down";
  ClickAt(Plain, 5, 5);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Plain->State(), bsUp);
}

TEST_F(SpeedButtons, AFlatButtonShowsItsEdgeOnlyUnderTheMouse) {
  Form->SetColor(clWhite);
  auto* Flat = Add<TSpeedButton>(Rect(200, 10, 223, 32));
  Flat->SetFlat(true);
  Pump();
  EXPECT_EQ(rtl::testing::WindowPixel(Form->Handle(), 200, 20), RGB(255, 255, 255));
  MoveTo(Flat, 5, 5);
  EXPECT_EQ(rtl::testing::WindowPixel(Form->Handle(), 200, 20), GetSysColor(COLOR_BTNHIGHLIGHT));
  MoveTo(Form, 300, 200);
  EXPECT_EQ(rtl::testing::WindowPixel(Form->Handle(), 200, 20), RGB(255, 255, 255));
}

}  // namespace
