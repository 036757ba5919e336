// Bitmap buttons and speed buttons driven by injected mouse and keys; their
// glyphs on screen and their properties in form descriptions.
#include "platform/forms/buttons.h"

#include "platform/forms/graphic.h"
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
