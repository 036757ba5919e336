// The screen: size, work area, monitors, cursors, fonts; the mouse.
#include <gtest/gtest.h>

#include "controls_test_support.h"
#include "platform/rtl/strutils.h"
#include "platform/win/user/user_sysinfo.h"

using namespace controls_test;

namespace {

class ScreenTest : public TFormsTest {
 protected:
  void TearDown() override {
    rtl::testing::SetScreens({});
    TFormsTest::TearDown();
  }
};

TEST_F(ScreenTest, SizeWorkAreaAndMonitorsComeFromTheSystem) {
  rtl::testing::SetScreens({{Rect(0, 0, 1280, 1024), Rect(0, 0, 1280, 984), true, "left"},
                            {Rect(1280, 0, 3200, 1080), Rect(1280, 30, 3200, 1080), false, "right"}});
  EXPECT_EQ(Screen->Width(), 1280);
  EXPECT_EQ(Screen->Height(), 1024);
  EXPECT_EQ(Screen->WorkAreaRect(), Rect(0, 0, 1280, 984));
  EXPECT_EQ(Screen->DesktopRect(), Rect(0, 0, 3200, 1080));
  ASSERT_EQ(Screen->MonitorCount(), 2);
  TMonitor* Right = Screen->MonitorFromPoint(TPoint(2000, 500));
  ASSERT_NE(Right, nullptr);
  EXPECT_FALSE(Right->Primary());
  EXPECT_EQ(Right->WorkareaRect(), Rect(1280, 30, 3200, 1080));
  EXPECT_EQ(Screen->MonitorFromPoint(TPoint(-50, 10), mdNull), nullptr);
  EXPECT_EQ(Screen->MonitorFromPoint(TPoint(-50, 10), mdNearest), Screen->PrimaryMonitor());
  EXPECT_EQ(Screen->PixelsPerInch(), 96);
}

TEST_F(ScreenTest, CursorsHaveStockAndCustomIdsAndTheScreenCursorWins) {
  HCURSOR Hand = LoadCursor(nullptr, IDC_HAND);
  EXPECT_EQ(Screen->Cursors(crHandPoint), Hand);
  EXPECT_EQ(Screen->Cursors(crNone), nullptr);
  EXPECT_EQ(Screen->Cursors(1234), Screen->Cursors(crDefault)) << "an unknown id shows the default";
  HCURSOR Custom = LoadCursor(nullptr, IDC_CROSS);
  Screen->SetCursors(1234, Custom);
  EXPECT_EQ(Screen->Cursors(1234), Custom);
  Screen->SetCursors(1234, nullptr);
  EXPECT_EQ(Screen->Cursors(1234), Screen->Cursors(crDefault));
  Screen->SetCursors(crHandPoint, Custom);
  EXPECT_EQ(Screen->Cursors(crHandPoint), Custom);
  Screen->SetCursors(crHandPoint, nullptr);
  EXPECT_EQ(Screen->Cursors(crHandPoint), Hand) << "a stock id gets its stock cursor back";

  // A control's cursor shows over it, unless the screen's overrides it.
  TForm* F = MakeForm();
  auto* Shape = new TTestShape(F);
  Shape->SetParent(F);
  Shape->SetCursor(crHandPoint);
  F->Show();
  Pump();
  MoveTo(Shape, 5, 5);
  EXPECT_EQ(GetCursor(), Hand);
  Screen->SetCursor(crHourGlass);
  MoveTo(Shape, 6, 6);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
  Screen->SetCursor(crDefault);
  MoveTo(Shape, 7, 7);
  EXPECT_EQ(GetCursor(), Hand);
}

TEST_F(ScreenTest, FontsAreTheInstalledFamiliesSorted) {
  TStrings* Fonts = Screen->Fonts();
  ASSERT_GT(Fonts->Count(), 0);
  for (Integer I = 1; I < Fonts->Count(); ++I) EXPECT_LE(AnsiCompareText(Fonts->Strings(I - 1), Fonts->Strings(I)), 0);
  EXPECT_GE(Fonts->IndexOf("DejaVu Sans"), 0);
}

TEST_F(ScreenTest, TheMouseKnowsItsPositionCaptureAndWheel) {
  Mouse->SetCursorPos(TPoint(321, 123));
  EXPECT_EQ(Mouse->CursorPos(), TPoint(321, 123));
  EXPECT_EQ(Mouse->DragThreshold(), 5);
  EXPECT_EQ(Mouse->WheelScrollLines(), 3);
  TForm* F = MakeForm();
  Mouse->SetCapture(F->Handle());
  EXPECT_EQ(Mouse->Capture(), F->Handle());
  Mouse->SetCapture(nullptr);
  EXPECT_EQ(Mouse->Capture(), nullptr);
}

}  // namespace
