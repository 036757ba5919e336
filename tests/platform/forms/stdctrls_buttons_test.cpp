// Buttons, check boxes, radio buttons, labels, group boxes and scroll bars
// driven by injected mouse and keys.
#include "stdctrls_test_support.h"

using namespace stdctrls_test;
using rtl::testing::InjectKey;

namespace {

class StdButton : public TStdCtrlsTest {
 protected:
  Log Events;

  void Logged(TControl* C) {
    C->OnClick = [this, C](TObject*) { Events.push_back(C->Name() + " click"); };
  }
  static void AltPress(UINT Vk) {
    InjectKey(VK_MENU, true);
    Press(Vk);
    InjectKey(VK_MENU, false);
    Pump();
  }
};

TEST_F(StdButton, AClickOrSpaceOrTheAcceleratorClicksAButton) {
  ShowForm();
  auto* B = Add<TButton>(Rect(10, 10, 85, 35));
  B->SetName("B");
  B->SetCaption("&Change");
  Logged(B);
  Pump();
  ClickAt(B, 10, 10);
  EXPECT_TRUE(B->Focused()) << "a click focuses the button";
  Press(VK_SPACE);
  AltPress('C');
  EXPECT_EQ(Events, (Log{"B click", "B click", "B click"}));
  // A press that leaves the button before it ends is no click.
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, true, At(B, 10, 10));
  rtl::testing::InjectMouseMove(At(B, 200, 100));
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, false, At(B, 200, 100));
  Pump();
  EXPECT_EQ(Events.size(), 3u);
  B->SetEnabled(false);
  ClickAt(B, 10, 10);
  AltPress('C');
  EXPECT_EQ(Events.size(), 3u) << "a disabled button does not click";
}

// The completion dialog: "&Open output folder" (Default, mrOk), "&Cancel"
// (mrCancel), and a check box.
class StdModal : public StdButton {
 protected:
  TForm* Dialog = nullptr;
  TButton* OK = nullptr;
  TButton* Cancel = nullptr;
  TCheckBox* Check = nullptr;
  TEdit* Edit = nullptr;

  void SetUp() override {
    StdButton::SetUp();
    ShowForm();
    Dialog = MakeForm(300, 140);
    Edit = Add<TEdit>(Rect(10, 10, 150, 31), Dialog);
    Check = Add<TCheckBox>(Rect(10, 40, 200, 57), Dialog);
    Check->SetCaption("Don't ask me again");
    OK = Add<TButton>(Rect(10, 70, 140, 95), Dialog);
    OK->SetName("OK");
    OK->SetCaption("&Open output folder");
    OK->SetDefault(true);
    OK->SetModalResult(mrOk);
    Cancel = Add<TButton>(Rect(150, 70, 225, 95), Dialog);
    Cancel->SetName("Cancel");
    Cancel->SetCaption("&Cancel");
    Cancel->SetCancel(true);
    Cancel->SetModalResult(mrCancel);
    Logged(OK);
    Logged(Cancel);
  }

  // Shows the dialog modally; Input runs once it shows.
  TModalResult Run(std::function<void()> Input) {
    Dialog->OnShow = [Input](TObject*) { Input(); };
    GuardLoop(Dialog, mrAbort);
    TModalResult R = Dialog->ShowModal();
    Application->OnIdle = nullptr;
    return R;
  }
};

TEST_F(StdModal, EnterClicksTheDefaultButtonAndEndsTheDialogWithItsResult) {
  EXPECT_EQ(Run([] { rtl::testing::InjectKeyPress(VK_RETURN); }), mrOk);
  EXPECT_EQ(Events, (Log{"OK click"}));
  EXPECT_TRUE(OK->Active());
}

TEST_F(StdModal, EscClicksTheCancelButton) {
  EXPECT_EQ(Run([] { rtl::testing::InjectKeyPress(VK_ESCAPE); }), mrCancel);
  EXPECT_EQ(Events, (Log{"Cancel click"}));
}

TEST_F(StdModal, EnterClicksTheFocusedButtonRatherThanTheDefaultOne) {
  EXPECT_EQ(Run([this] {
              Cancel->SetFocus();
              rtl::testing::InjectKeyPress(VK_RETURN);
            }),
            mrCancel);
  EXPECT_EQ(Events, (Log{"Cancel click"}));
  EXPECT_FALSE(OK->Active());
  EXPECT_EQ(GetWindowLong(OK->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON)
      << "the default button gives up its frame while another button has the focus";
}

TEST_F(StdModal, AMouseClickOnAButtonEndsTheDialog) {
  EXPECT_EQ(Run([this] { rtl::testing::InjectClick(At(OK, 20, 10)); }), mrOk);
}

TEST_F(StdModal, TheCheckBoxOnTheDialogIsReadAfterwards) {
  Check->SetName("Check");
  Logged(Check);
  EXPECT_EQ(Run([this] {
              rtl::testing::InjectClick(At(Check, 5, 8));
              rtl::testing::InjectKeyPress(VK_ESCAPE);
            }),
            mrCancel);
  EXPECT_TRUE(Check->Checked());
  EXPECT_EQ(Events, (Log{"Check click", "Cancel click"}));
}

// ---- Check boxes ----------------------------------------------------------------------------

TEST_F(StdButton, ACheckBoxTogglesOnClicksAndKeysAndTellsOnClick) {
  ShowForm();
  auto* C = Add<TCheckBox>(Rect(10, 10, 200, 27));
  C->SetName("C");
  C->SetCaption("Play a &sound");
  Logged(C);
  Pump();
  ClickAt(C, 5, 8);
  EXPECT_TRUE(C->Checked());
  EXPECT_EQ(C->State(), cbChecked);
  EXPECT_EQ(SendMessage(C->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  Press(VK_SPACE);
  EXPECT_FALSE(C->Checked());
  AltPress('S');
  EXPECT_TRUE(C->Checked());
  EXPECT_EQ(Events, (Log{"C click", "C click", "C click"}));
  // Setting the state in code tells OnClick too (handlers enable what the
  // box controls), once per change.
  C->SetChecked(false);
  C->SetChecked(false);
  EXPECT_EQ(Events.size(), 4u);
}

TEST_F(StdButton, AGrayedCheckBoxStepsThroughThreeStates) {
  ShowForm();
  auto* C = Add<TCheckBox>(Rect(10, 10, 200, 27));
  C->SetAllowGrayed(true);
  Pump();
  std::vector<TCheckBoxState> Seen;
  for (int I = 0; I < 4; ++I) {
    ClickAt(C, 5, 8);
    Seen.push_back(C->State());
  }
  EXPECT_EQ(Seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked, cbGrayed}));
  EXPECT_EQ(SendMessage(C->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_FALSE(C->Checked());
}

TEST_F(StdButton, CheckStatesAndCaptionsSurviveANewWindow) {
  ShowForm();
  auto* C = Add<TCheckBox>(Rect(10, 10, 200, 27));
  C->SetCaption("Keep me");
  auto* R = Add<TRadioButton>(Rect(10, 30, 200, 47));
  R->SetChecked(true);
  C->SetChecked(true);
  Pump();
  C->SetAlignment(taLeftJustify);  // a new window
  R->RecreateWnd();
  Pump();
  EXPECT_TRUE(GetWindowLong(C->Handle(), GWL_STYLE) & BS_LEFTTEXT);
  EXPECT_EQ(SendMessage(C->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessage(R->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(C->Caption(), "Keep me");
}

// ---- Radio buttons --------------------------------------------------------------------------

// The options dialog's first page: two radio pairs in two group boxes.
class StdRadio : public StdButton {
 protected:
  TGroupBox* Output = nullptr;
  TGroupBox* Overwrite = nullptr;
  TRadioButton *Original = nullptr, *Select = nullptr, *Replace = nullptr, *Append = nullptr;

  void SetUp() override {
    StdButton::SetUp();
    ShowForm();
    Output = Add<TGroupBox>(Rect(10, 10, 300, 90));
    Output->SetCaption("O&utput Directory");
    Original = Add<TRadioButton>(Rect(10, 20, 200, 37), Output);
    Original->SetName("Original");
    Original->SetCaption("Original directory");
    Select = Add<TRadioButton>(Rect(10, 45, 200, 62), Output);
    Select->SetName("Select");
    Select->SetCaption("Select directory");
    Overwrite = Add<TGroupBox>(Rect(10, 100, 300, 180));
    Overwrite->SetCaption("&Overwrite Options");
    Replace = Add<TRadioButton>(Rect(10, 20, 200, 37), Overwrite);
    Replace->SetName("Replace");
    Replace->SetCaption("Overwrite the file");
    Append = Add<TRadioButton>(Rect(10, 45, 200, 62), Overwrite);
    Append->SetName("Append");
    Append->SetCaption("Append number to filename");
    for (TControl* R : {Original, Select, Replace, Append}) Logged(R);
    Original->SetChecked(true);
    Replace->SetChecked(true);
    Events.clear();
    Pump();
  }
};

TEST_F(StdRadio, CheckingOneUnchecksTheOthersOfItsParentOnly) {
  ClickAt(Select, 5, 8);
  EXPECT_TRUE(Select->Checked());
  EXPECT_FALSE(Original->Checked());
  EXPECT_TRUE(Replace->Checked()) << "another group keeps its choice";
  EXPECT_EQ(SendMessage(Original->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // The checked one is its group's tab stop.
  EXPECT_TRUE(Select->TabStop());
  EXPECT_FALSE(Original->TabStop());
  ClickAt(Select, 5, 8);
  EXPECT_EQ(Events, (Log{"Select click"})) << "a checked radio button clicked again changes nothing";
  Append->SetChecked(true);
  EXPECT_FALSE(Replace->Checked());
  EXPECT_EQ(Events.back(), "Append click");
}

TEST_F(StdRadio, ArrowsMoveTheFocusAndTheChoiceWithinAGroup) {
  Original->SetFocus();
  Pump();
  Press(VK_DOWN);
  EXPECT_TRUE(Select->Focused());
  EXPECT_TRUE(Select->Checked());
  EXPECT_FALSE(Original->Checked());
  EXPECT_TRUE(Replace->Checked());
  // Tab goes on to the next group's checked button.
  Press(VK_TAB);
  EXPECT_TRUE(Replace->Focused());
  EXPECT_TRUE(Replace->Checked());
}

TEST_F(StdRadio, AGroupBoxAcceleratorFocusesItsTabStop) {
  Append->SetFocus();
  Pump();
  EXPECT_TRUE(Append->Checked()) << "the focus chose it";
  AltPress('U');
  EXPECT_TRUE(Original->Focused());
  AltPress('O');
  EXPECT_TRUE(Append->Focused());
}

// ---- Labels -------------------------------------------------------------------------------

TEST_F(StdButton, AnAutoSizedLabelFollowsItsTextKeepingItsAlignedEdge) {
  ShowForm();
  auto* L = Add<TLabel>(Rect(100, 10, 200, 27));
  L->SetCaption("Converting...");
  const Integer Short = L->Width();
  EXPECT_GT(Short, 20);
  L->SetCaption("Converting document.pdf, please wait...");
  EXPECT_GT(L->Width(), Short * 2);
  EXPECT_EQ(L->Left(), 100);
  L->SetAlignment(taRightJustify);
  const Integer Right = L->Left() + L->Width();
  L->SetCaption("Done");
  EXPECT_EQ(L->Left() + L->Width(), Right) << "a right-aligned label keeps its right edge";
  L->SetAutoSize(false);
  L->SetCaption("Converting document.pdf, please wait...");
  EXPECT_EQ(L->Left() + L->Width(), Right);
}

TEST_F(StdButton, AWordWrappedLabelGrowsDownward) {
  ShowForm();
  auto* L = Add<TLabel>(Rect(10, 10, 110, 27));
  L->SetWordWrap(true);
  L->SetCaption("Conversion is complete. Do you want to open the output folder?");
  // The width shrinks to the longest line.
  EXPECT_LE(L->Width(), 100);
  Form->Canvas()->SetFont(L->Font());
  EXPECT_GE(L->Height(), 3 * Form->Canvas()->TextHeight("0"));
}

TEST_F(StdButton, ALabelsAcceleratorFocusesItsFocusControl) {
  ShowForm();
  auto* L = Add<TLabel>(Rect(10, 10, 100, 27));
  L->SetCaption("&from page:");
  auto* Other = Add<TEdit>(Rect(110, 40, 200, 61));
  auto* E = Add<TEdit>(Rect(110, 10, 200, 31));
  L->SetFocusControl(E);
  Pump();
  Other->SetFocus();
  Pump();
  AltPress('F');
  EXPECT_TRUE(E->Focused());
  delete E;
  EXPECT_EQ(L->FocusControl(), nullptr) << "a freed focus control is forgotten";
  Other->SetFocus();
  Pump();
  AltPress('F');
  EXPECT_TRUE(Other->Focused());
}

TEST_F(StdButton, ALabelPaintsItsTextAndItsBackgroundUnlessTransparent) {
  ShowForm();
  Form->SetColor(clWhite);
  auto* L = Add<TLabel>(Rect(10, 10, 110, 30));
  L->SetAutoSize(false);
  L->SetBounds(10, 10, 100, 20);
  L->SetParentColor(false);
  L->SetColor(clYellow);
  L->SetCaption("W");
  L->SetLayout(tlCenter);
  L->SetAlignment(taCenter);
  Pump();
  HWND H = Form->Handle();
  EXPECT_EQ(rtl::testing::WindowPixel(H, 12, 12), RGB(255, 255, 0));
  // The text sits in the middle: ink near the centre, none at the edges.
  bool Ink = false;
  for (int X = 50; X < 70; ++X)
    for (int Y = 14; Y < 26; ++Y)
      if (rtl::testing::WindowPixel(H, X, Y) != RGB(255, 255, 0)) Ink = true;
  EXPECT_TRUE(Ink);
  L->SetTransparent(true);
  Pump();
  EXPECT_EQ(rtl::testing::WindowPixel(H, 12, 12), RGB(255, 255, 255));
}

// ---- Scroll bar --------------------------------------------------------------------------------

TEST_F(StdButton, AScrollBarMovesByItsStepsAndTellsOnScrollThenOnChange) {
  ShowForm();
  auto* S = Add<TScrollBar>(Rect(10, 10, 210, 27));
  S->SetName("S");
  S->SetLargeChange(10);
  S->SetSmallChange(2);
  Log E;
  S->OnScroll = [&](TObject*, TScrollCode Code, Integer& Pos) {
    E.push_back("scroll " + std::to_string(Code) + " " + std::to_string(Pos));
  };
  S->OnChange = [&](TObject*) { E.push_back("change " + std::to_string(S->Position())); };
  Pump();
  ClickAt(S, 200 - 5, 8);  // the right arrow
  ClickAt(S, 150, 8);      // the page right of the thumb
  EXPECT_EQ(S->Position(), 12);
  EXPECT_EQ(E, (Log{"scroll 1 2", "change 2", "scroll 8 2", "scroll 3 12", "change 12", "scroll 8 12"}));
  S->SetPosition(500);
  EXPECT_EQ(S->Position(), 100) << "kept within the range";
  EXPECT_THROW(S->SetParams(0, 10, 5), EInvalidOperation);
  EXPECT_EQ(S->Min(), 0);
}

}  // namespace
