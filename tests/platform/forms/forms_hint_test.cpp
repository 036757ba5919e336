// Hints on the virtual clock: shown after HintPause, hidden after
// HintHidePause, shown again after HintShortPause while hints are up, and
// the application's hooks around them.
#include <gtest/gtest.h>

#include "controls_test_support.h"

using namespace controls_test;
using rtl::testing::AdvanceClock;

namespace {

class Hints : public TFormsTest {
 protected:
  TForm* Form = nullptr;
  TTestShape* A = nullptr;
  TTestShape* B = nullptr;

  void SetUp() override {
    TFormsTest::SetUp();
    Form = MakeForm();
    A = new TTestShape(Form);
    A->SetParent(Form);
    A->SetBounds(10, 10, 60, 40);
    A->SetHint("Open|Opens a file");
    A->SetShowHint(true);
    B = new TTestShape(Form);
    B->SetParent(Form);
    B->SetBounds(100, 10, 60, 40);
    B->SetHint("Save");
    B->SetShowHint(true);
    Form->Show();
    Pump();
  }

  bool HintShown() {
    THintWindow* W = Application->HintWindow();
    return W && W->HandleAllocated() && IsWindowVisible(W->Handle());
  }
  void Wait(uint32_t Ms) {
    AdvanceClock(Ms);
    Pump();
  }
};

TEST_F(Hints, AHintAppearsAfterThePauseAndHidesAfterTheHidePause) {
  MoveTo(A, 20, 20);
  Wait(499);
  EXPECT_FALSE(HintShown());
  Wait(1);
  ASSERT_TRUE(HintShown());
  THintWindow* W = Application->HintWindow();
  EXPECT_EQ(W->Caption(), "Open");
  Pump();
  EXPECT_EQ(rtl::testing::WindowPixel(W->Handle(), 1, 1), ColorToRGB(Application->HintColor()));
  RECT Client;
  ::GetClientRect(W->Handle(), &Client);
  Integer Ink = 0;
  for (Integer X = 0; X < Client.Right; ++X)
    for (Integer Y = 0; Y < Client.Bottom; ++Y)
      if (rtl::testing::WindowPixel(W->Handle(), X, Y) != ColorToRGB(Application->HintColor())) ++Ink;
  EXPECT_GT(Ink, 0) << "the text is drawn";
  // Below the cursor, on screen.
  RECT R;
  GetWindowRect(W->Handle(), &R);
  POINT Cursor = At(A, 20, 20);
  EXPECT_EQ(R.Left, Cursor.X);
  EXPECT_GT(R.Top, Cursor.Y);
  Wait(2499);
  EXPECT_TRUE(HintShown());
  Wait(1);
  EXPECT_FALSE(HintShown());
  // Moving within the same control does not bring it back.
  MoveTo(A, 25, 25);
  Wait(600);
  EXPECT_FALSE(HintShown());
}

TEST_F(Hints, WhileAHintIsUpTheNextControlsHintComesAfterTheShortPause) {
  MoveTo(A, 20, 20);
  Wait(500);
  ASSERT_TRUE(HintShown());
  MoveTo(B, 20, 20);
  EXPECT_FALSE(HintShown()) << "the old hint goes at once";
  Wait(49);
  EXPECT_FALSE(HintShown());
  Wait(1);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(Application->HintWindow()->Caption(), "Save");
}

TEST_F(Hints, ClicksCancelTheHintAndTheApplicationCanChangeOrRefuseIt) {
  MoveTo(A, 20, 20);
  Wait(500);
  ASSERT_TRUE(HintShown());
  ClickAt(A, 20, 20);
  EXPECT_FALSE(HintShown());

  Application->OnShowHint = [](AnsiString& HintStr, bool& CanShow, THintInfo& Info) {
    CanShow = HintStr != "Save";
    HintStr = "[" + HintStr + "]";
    Info.HideTimeout = 100;
  };
  MoveTo(Form, 300, 200);
  MoveTo(A, 30, 20);
  Wait(500);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(Application->HintWindow()->Caption(), "[Open]");
  Wait(100);
  EXPECT_FALSE(HintShown());
  MoveTo(B, 20, 20);
  Wait(600);
  EXPECT_FALSE(HintShown());
}

TEST_F(Hints, TheLongHintOfTheControlUnderTheMouseIsTheApplicationsHintAtIdle) {
  Log Seen;
  Application->OnHint = [&](TObject*) { Seen.push_back(Application->Hint()); };
  MoveTo(A, 20, 20);
  Application->OnIdle = [](TObject*, bool& Done) { Done = false; };
  Application->HandleMessage();
  EXPECT_EQ(Application->Hint(), "Opens a file");
  EXPECT_EQ(Seen.back(), "Opens a file");
  Application->OnHint = nullptr;
}

}  // namespace
