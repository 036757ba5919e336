#include "grid/nx_scroll_control.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "grid/nx_classes.h"
#include "grid/nx_flyout_control.h"
#include "platform/forms/forms.h"
#include "platform/forms/graphics.h"
#include "platform/forms/timer.h"
#include "platform/rtl/resources.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "platform/testing/user_testing.h"
#include "tests/grid/form_test_support.h"

namespace {

using rtl::testing::AdvanceClock;

// A scroll control whose content moves one pixel per unit, that paints a
// plain background and logs its scroll events, content moves and scroll
// messages.
class TTestScroller : public TNxScrollControl {
 public:
  explicit TTestScroller(TComponent* AOwner) : TNxScrollControl(AOwner) {
    OnVerticalScroll = [this](TObject* Sender, Integer Position) {
      EXPECT_EQ(Sender, this);
      Events.push_back("V" + std::to_string(Position));
    };
    OnHorizontalScroll = [this](TObject*, Integer Position) { Events.push_back("H" + std::to_string(Position)); };
  }
  std::vector<std::string> Events;
  std::vector<std::string> Moves;
  std::vector<WPARAM> ScrollCodes;

  Integer GetHorzScrollDelta(Integer OldPos, Integer NewPos) override { return OldPos - NewPos; }
  Integer GetVertScrollDelta(Integer OldPos, Integer NewPos) override { return OldPos - NewPos; }
  void ScrollContent(TNxCustomScrollBar* Bar, Integer DX, Integer DY) override {
    Moves.push_back(std::to_string(DX) + "," + std::to_string(DY));
    TNxScrollControl::ScrollContent(Bar, DX, DY);
  }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_VSCROLL || Message.Msg == WM_HSCROLL) ScrollCodes.push_back(LOWORD(Message.WParam));
    TNxScrollControl::WndProc(Message);
  }

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clWindow);
    Canvas()->FillRect(ClientRect());
  }
};

class NxScroll : public FormTest {
 protected:
  TTestScroller* S = nullptr;

  void PlaceControls() override { S = Place<TTestScroller>(10, 10, 300, 200); }
  // Max 100, page 10, line 1, page step 10, position 0, logs empty.
  void Hundred() {
    S->VertScrollBar()->SetLargeStep(10);
    S->VertScrollBar()->SetPageSize(10);
    S->VertScrollBar()->SetMax(100);
    S->VertScrollBar()->SetPosition(0);
    Pump();
    Clear();
  }
  void Clear() {
    S->Events.clear();
    S->Moves.clear();
    S->ScrollCodes.clear();
  }
  void Send(UINT Code) { SendMessage(S->Handle(), WM_VSCROLL, Code, 0); }
  bool BarShows(LONG Object) {
    SCROLLBARINFO Info{};
    Info.cbSize = sizeof(Info);
    GetScrollBarInfo(S->Handle(), Object, &Info);
    return !(Info.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  }
  bool BarEnabled(LONG Object) {
    SCROLLBARINFO Info{};
    Info.cbSize = sizeof(Info);
    GetScrollBarInfo(S->Handle(), Object, &Info);
    return !(Info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
  }
};

}  // namespace

TEST_F(NxScroll, MessagesClampToTheLastFullPageAndTheSetterToTheMaximum) {
  Hundred();
  struct TStep {
    UINT Code;
    Integer Expected;
  };
  const TStep Steps[] = {{SB_LINEUP, 0},    {SB_BOTTOM, 91},   {SB_LINEDOWN, 91}, {SB_PAGEUP, 81}, {SB_LINEUP, 80},
                         {SB_TOP, 0},       {SB_PAGEDOWN, 10}, {SB_LINEDOWN, 11}, {SB_ENDSCROLL, 11}};
  for (const TStep& Step : Steps) {
    Send(Step.Code);
    EXPECT_EQ(S->VertScrollBar()->Position(), Step.Expected) << "code " << Step.Code;
    EXPECT_EQ(GetScrollPos(S->Handle(), SB_VERT), Step.Expected);
  }
  S->VertScrollBar()->Last();
  EXPECT_EQ(S->VertScrollBar()->Position(), 91);
  EXPECT_TRUE(S->VertScrollBar()->IsAtEnd());
  S->VertScrollBar()->SetPosition(200);
  EXPECT_EQ(S->VertScrollBar()->Position(), 100);
  S->VertScrollBar()->First();
  EXPECT_EQ(S->VertScrollBar()->Position(), 0);
  EXPECT_TRUE(S->VertScrollBar()->IsAtStart());
  S->VertScrollBar()->MoveBy(7);
  EXPECT_EQ(S->VertScrollBar()->Position(), 7);
  EXPECT_EQ(S->VertScrollBar()->PrevPosition(), 0);
}

TEST_F(NxScroll, BadValuesClampAndNeverOverflow) {
  TNxScrollBar* Bar = S->VertScrollBar();
  Bar->SetMax(-5);
  EXPECT_EQ(Bar->Max(), 0);
  Bar->SetPageSize(-3);
  EXPECT_EQ(Bar->PageSize(), 1);
  Bar->SetMax(INT_MAX);
  Bar->SetPageSize(INT_MAX);
  Bar->SetPosition(-5);
  EXPECT_EQ(Bar->Position(), 0);
  Bar->MoveBy(INT_MAX);
  Bar->MoveBy(INT_MAX);
  EXPECT_EQ(Bar->Position(), INT_MAX);
  Bar->MoveBy(INT_MIN);
  Bar->MoveBy(INT_MIN);
  EXPECT_EQ(Bar->Position(), 0);
  Bar->SetPageSize(1);
  Bar->Last();
  EXPECT_EQ(Bar->Position(), INT_MAX);
  Send(SB_PAGEDOWN);
  EXPECT_EQ(Bar->Position(), INT_MAX);
  Bar->SetParams(-10, 0, 4);
  EXPECT_EQ(Bar->Max(), 0);
  EXPECT_EQ(Bar->PageSize(), 1);
  EXPECT_EQ(Bar->LargeStep(), 4);
  Bar->SetPosition(50);
  EXPECT_EQ(Bar->Position(), 0);
}

TEST_F(NxScroll, AutoHideHidesAnUnneededBarAndOffKeepsItVisibleAndDisabled) {
  TNxScrollBar* Bar = S->VertScrollBar();
  Bar->SetPageSize(1);
  Bar->SetMax(20);
  Pump();
  EXPECT_TRUE(Bar->Visible());
  EXPECT_TRUE(BarShows(OBJID_VSCROLL));
  Bar->SetMax(-5);
  Pump();
  EXPECT_EQ(Bar->Max(), 0);
  EXPECT_FALSE(Bar->Visible());
  EXPECT_FALSE(BarShows(OBJID_VSCROLL));
  Bar->SetAutoHide(false);
  Pump();
  EXPECT_TRUE(Bar->Visible());
  EXPECT_TRUE(BarShows(OBJID_VSCROLL));
  EXPECT_FALSE(BarEnabled(OBJID_VSCROLL));
  // Something to scroll enables it again; disabling the control disables
  // its arrows.
  Bar->SetMax(30);
  Pump();
  EXPECT_TRUE(BarEnabled(OBJID_VSCROLL));
  S->SetEnabled(false);
  Pump();
  EXPECT_FALSE(BarEnabled(OBJID_VSCROLL));
  S->SetEnabled(true);
  Pump();
  EXPECT_TRUE(BarEnabled(OBJID_VSCROLL));
}

TEST_F(NxScroll, LineAndPageStepsSendNothingWhenNothingCanMove) {
  TNxScrollBar* Bar = S->VertScrollBar();
  Bar->LineDown();
  Bar->PageDown();
  Bar->PageUp();
  EXPECT_TRUE(S->ScrollCodes.empty()) << "maximum 0";
  Hundred();
  Bar->LineUp();
  EXPECT_TRUE(S->ScrollCodes.empty()) << "position 0";
  Bar->LineDown();
  Bar->PageDown();
  Bar->LineUp();
  Bar->PageUp();
  EXPECT_EQ(S->ScrollCodes, (std::vector<WPARAM>{SB_LINEDOWN, SB_PAGEDOWN, SB_LINEUP, SB_PAGEUP}));
  EXPECT_EQ(Bar->Position(), 0);
  // Through the messages, so the events fire.
  EXPECT_FALSE(S->Events.empty());
  S->HorzScrollBar()->SetPageSize(50);
  S->HorzScrollBar()->SetMax(200);
  Clear();
  S->HorzScrollBar()->LineDown();
  EXPECT_EQ(S->ScrollCodes, (std::vector<WPARAM>{SB_LINEDOWN}));
  EXPECT_EQ(S->Moves, (std::vector<std::string>{"-1,0"}));
  EXPECT_EQ(S->Events.back(), "H1");
}

TEST_F(NxScroll, HeldUpdatesMoveTheThumbButNotTheContent) {
  Hundred();
  TNxScrollBar* Bar = S->VertScrollBar();
  ValidateRect(S->Handle(), nullptr);
  Bar->BeginUpdate();
  Bar->SetPosition(30);
  EXPECT_EQ(GetScrollPos(S->Handle(), SB_VERT), 30);
  EXPECT_TRUE(S->Moves.empty());
  RECT Dirty{};
  EXPECT_FALSE(GetUpdateRect(S->Handle(), &Dirty, FALSE)) << "nothing scrolled, nothing to repaint";
  Bar->EndUpdate();
  EXPECT_FALSE(GetUpdateRect(S->Handle(), &Dirty, FALSE)) << "EndUpdate neither scrolls nor repaints";
  Bar->SetPosition(35);
  EXPECT_EQ(S->Moves, (std::vector<std::string>{"0,-5"}));
}

TEST_F(NxScroll, ContentMovesWithinTheRectangleOfTheDirection) {
  Hundred();
  // As the grid keeps them: the cells right of the fixed columns, the rows
  // below the header, each to the client's far edge (bits scrolled in from
  // outside the rectangle are painted too).
  const TRect Client = S->ClientRect();
  S->SetHorzScrollRect(TRect(40, 0, Client.Right, 20));
  S->SetVertScrollRect(TRect(0, 30, Client.Right, Client.Bottom));
  struct TCase {
    Integer DX, DY;
    TRect Within;
  };
  for (const TCase& C : {TCase{-12, 0, S->HorzScrollRect()}, TCase{0, -9, S->VertScrollRect()}}) {
    Pump();
    ValidateRect(S->Handle(), nullptr);
    S->ScrollContent(S->VertScrollBar(), C.DX, C.DY);
    RECT Dirty{};
    ASSERT_TRUE(GetUpdateRect(S->Handle(), &Dirty, FALSE)) << C.DX << "," << C.DY;
    EXPECT_GE(Dirty.Left, C.Within.Left);
    EXPECT_GE(Dirty.Top, C.Within.Top);
    EXPECT_LE(Dirty.Right, C.Within.Right);
    EXPECT_LE(Dirty.Bottom, C.Within.Bottom);
    // Only the uncovered strip is to be repainted.
    EXPECT_EQ(C.DX ? Dirty.Right - Dirty.Left : Dirty.Bottom - Dirty.Top, C.DX ? 12 : 9);
  }
  // A move far beyond the window uncovers the whole rectangle.
  Pump();
  ValidateRect(S->Handle(), nullptr);
  S->ScrollContent(S->VertScrollBar(), 0, INT_MIN + 1);
  RECT Dirty{};
  ASSERT_TRUE(GetUpdateRect(S->Handle(), &Dirty, FALSE));
  EXPECT_EQ(Dirty, S->VertScrollRect());
}

TEST_F(NxScroll, AnArrowClickFiresTheEventTwiceForItsLineAndAThumbDragOncePerStep) {
  Hundred();
  RECT W{};
  GetWindowRect(S->Handle(), &W);
  SCROLLBARINFO Info{};
  Info.cbSize = sizeof(Info);
  GetScrollBarInfo(S->Handle(), OBJID_VSCROLL, &Info);
  // The down arrow: the last square of the bar.
  const int Thick = Info.rcScrollBar.Right - Info.rcScrollBar.Left;
  const POINT Arrow{(Info.rcScrollBar.Left + Info.rcScrollBar.Right) / 2, Info.rcScrollBar.Bottom - Thick / 2};
  // The tracking loop runs until the release, so both wait in the queue.
  rtl::testing::InjectMouseMove(Arrow);
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, true, Arrow);
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, false, Arrow);
  Pump();
  ASSERT_GE(S->ScrollCodes.size(), 1u);
  EXPECT_EQ(S->ScrollCodes[0], static_cast<WPARAM>(SB_LINEDOWN));
  EXPECT_EQ(S->VertScrollBar()->Position(), 1);
  // Two for the line, one more for the end of the scroll: all at 1.
  ASSERT_GE(S->Events.size(), 2u);
  EXPECT_EQ(S->Events[0], "V1");
  EXPECT_EQ(S->Events[1], "V1");
  EXPECT_EQ(S->Events.size(), S->ScrollCodes.size() + 1);
  for (auto& E : S->Events) EXPECT_EQ(E, "V1");

  // Dragging the thumb: one event per tracking step.
  Clear();
  GetScrollBarInfo(S->Handle(), OBJID_VSCROLL, &Info);
  const POINT Thumb{Arrow.X, Info.rcScrollBar.Top + Info.xyThumbTop + 2};
  const POINT Dragged{Thumb.X, Thumb.Y + 40};
  rtl::testing::InjectMouseMove(Thumb);
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, true, Thumb);
  rtl::testing::InjectMouseMove(POINT{Thumb.X, Thumb.Y + 20});
  rtl::testing::InjectMouseMove(Dragged);
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, false, Dragged);
  Pump();
  ASSERT_FALSE(S->ScrollCodes.empty());
  EXPECT_EQ(S->ScrollCodes[0], static_cast<WPARAM>(SB_THUMBTRACK));
  EXPECT_EQ(S->Events.size(), S->ScrollCodes.size());
  EXPECT_GT(S->VertScrollBar()->Position(), 1);
  EXPECT_EQ(S->Events.back(), "V" + std::to_string(S->VertScrollBar()->Position()));
  (void)W;
}

TEST_F(NxScroll, WantsArrowsErasesNothingAndTakesTheWheelWhenEnabled) {
  EXPECT_EQ(SendMessage(S->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
  EXPECT_EQ(SendMessage(S->Handle(), WM_ERASEBKGND, 0, 0), 1);
  int Wheels = 0;
  S->OnMouseWheel = [&](TObject*, TShiftState, Integer, TPoint, bool&) { ++Wheels; };
  EXPECT_TRUE(S->MouseWheelEnabled());
  const POINT Over = rtl::testing::ClientPoint(S->Handle(), 50, 50);
  S->SetFocus();
  rtl::testing::InjectMouseMove(Over);
  rtl::testing::InjectWheel(Over, -120);
  Pump();
  EXPECT_EQ(Wheels, 0);
  S->SetMouseWheelEnabled(false);
  rtl::testing::InjectWheel(Over, -120);
  Pump();
  EXPECT_EQ(Wheels, 1);
  // Published with its default.
  EXPECT_TRUE(IsPublishedProp(S, "MouseWheelEnabled"));
}

TEST_F(NxScroll, TheRollCursorsAreLoadedFromTheProgramsResources) {
  for (TCursor C : {crRoll, crRollUp, crRollDown}) {
    EXPECT_NE(Screen->Cursors(C), nullptr);
    EXPECT_NE(Screen->Cursors(C), Screen->Cursors(crDefault));
  }
  for (const char* Name :
       {"ROLL", "ROLLUP", "ROLLDOWN", "HORZSPLIT", "COLUMNNODRAG", "VERTSPLIT", "INDICATORSELECT", "REVERSEDARROW"}) {
    HCURSOR Cursor = LoadCursor(HInstance, Name);
    EXPECT_NE(Cursor, nullptr) << Name;
  }
}

TEST_F(NxScroll, FocusMovesAlongTheFormsTabOrder) {
  auto* Before = new TTestScroller(Form);
  Before->SetParent(Form);
  Before->SetTabStop(true);
  Before->SetTabOrder(0);
  S->SetTabStop(true);
  S->SetTabOrder(1);
  auto* After = new TTestScroller(Form);
  After->SetParent(Form);
  After->SetTabStop(true);
  After->SetTabOrder(2);
  Pump();
  S->SetFocus();
  S->FocusNextControl();
  Pump();
  EXPECT_TRUE(After->Focused());
  S->SetFocus();
  S->FocusPreviousControl();
  Pump();
  EXPECT_TRUE(Before->Focused());
  S->FocusWindow(S);
  EXPECT_EQ(GetFocus(), S->Handle());
}

// ---- Rolling -----------------------------------------------------------------------------

TEST_F(NxScroll, RollingScrollsFasterTheFartherThePointerAndStopsOnRelease) {
  S->VertScrollBar()->SetPageSize(10);
  S->VertScrollBar()->SetMax(100000);
  Pump();
  Clear();
  const POINT Origin = rtl::testing::ClientPoint(S->Handle(), 100, 80);
  rtl::testing::InjectMouseMove(Origin);
  rtl::testing::InjectMouseButton(rtl::testing::ibMiddle, true, Origin);
  Pump();
  ASSERT_TRUE(S->Rolling());
  EXPECT_TRUE(S->RollTimer()->Enabled());
  EXPECT_EQ(GetCapture(), S->Handle());
  EXPECT_EQ(S->RollShadow()->Cursor(), crRoll);
  EXPECT_TRUE(S->RollShadow()->Visible());
  EXPECT_EQ(S->RollShadow()->BoundsRect(), Bounds(Origin.X - 7, Origin.Y - 11, 32, 32));

  auto Lines = [&](uint32_t Ms) {
    const Integer Start = S->VertScrollBar()->Position();
    for (uint32_t I = 0; I < Ms; ++I) {
      AdvanceClock(1);
      Pump();
    }
    return S->VertScrollBar()->Position() - Start;
  };
  // Within five pixels: the roll cursor, and the view stands still.
  rtl::testing::InjectMouseMove(POINT{Origin.X, Origin.Y + 5});
  Pump();
  EXPECT_EQ(Screen->Cursor(), crRoll);
  EXPECT_EQ(Lines(300), 0);
  // Forty pixels down: a line every 60 ms.
  rtl::testing::InjectMouseMove(POINT{Origin.X, Origin.Y + 40});
  Pump();
  EXPECT_EQ(Screen->Cursor(), crRollDown);
  EXPECT_EQ(S->RollShadow()->Cursor(), crRollDown);
  // The tick due at the old speed sets the new one.
  Lines(100);
  EXPECT_EQ(S->RollTimer()->Interval(), 60u);
  EXPECT_EQ(Lines(600), 10);
  // A hundred pixels or more: every millisecond.
  rtl::testing::InjectMouseMove(POINT{Origin.X, Origin.Y + 130});
  Pump();
  Lines(100);
  EXPECT_EQ(S->RollTimer()->Interval(), 1u);
  // The window system runs no timer faster than its minimum.
  EXPECT_EQ(Lines(100), 100 / USER_TIMER_MINIMUM);
  // Upward scrolls back.
  rtl::testing::InjectMouseMove(POINT{Origin.X, Origin.Y - 40});
  Pump();
  EXPECT_EQ(Screen->Cursor(), crRollUp);
  Lines(100);
  EXPECT_EQ(Lines(600), -10);

  rtl::testing::InjectMouseButton(rtl::testing::ibMiddle, false, POINT{Origin.X, Origin.Y - 40});
  Pump();
  EXPECT_FALSE(S->Rolling());
  EXPECT_FALSE(S->RollTimer()->Enabled());
  EXPECT_FALSE(S->RollShadow()->Visible());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_EQ(Lines(300), 0);
}

TEST_F(NxScroll, TheRollMarkerIsShapedAroundItsDot) {
  S->RollShadow()->ShowAt(TPoint(500, 400));
  Pump();
  HWND Marker = S->RollShadow()->Handle();
  RECT W{};
  GetWindowRect(Marker, &W);
  EXPECT_EQ(W, (RECT{493, 389, 525, 421}));
  EXPECT_TRUE(GetWindowLong(Marker, GWL_STYLE) & WS_POPUP);
  EXPECT_TRUE(GetWindowLong(Marker, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  HRGN Region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(Marker, Region), ERROR);
  struct TCase {
    int X, Y;
    bool Inside;
  };
  for (const TCase& C : {TCase{7, 3, true}, TCase{6, 17, true}, TCase{7, 11, true}, TCase{0, 0, false},
                         TCase{12, 11, false}, TCase{20, 20, false}})
    EXPECT_EQ(PtInRegion(Region, C.X, C.Y) != 0, C.Inside) << C.X << "," << C.Y;
  DeleteObject(Region);
  // Grey text inside the shape.
  EXPECT_EQ(rtl::testing::WindowPixel(Marker, 7, 11), ColorToRGB(clGrayText));
  EXPECT_EQ(rtl::testing::WindowPixel(Marker, 7, 3), ColorToRGB(clGrayText));
}

TEST_F(NxScroll, TheParentFormIsActiveOnlyWhileItIsTheActiveForm) {
  EXPECT_TRUE(IsParentFormActive(S));
  TForm* Other = TCustomForm::Create<TForm>(nullptr);
  Other->SetBounds(600, 100, 200, 100);
  Other->Show();
  Pump();
  EXPECT_FALSE(IsParentFormActive(S));
  EXPECT_TRUE(IsParentFormActive(Other));
  Other->Free();
  Pump();
  // A control on no form has no active parent form.
  TTestScroller Loose(nullptr);
  EXPECT_FALSE(IsParentFormActive(&Loose));
}
