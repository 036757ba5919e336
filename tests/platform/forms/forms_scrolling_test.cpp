// Scrolling containers: ranges from the children, the window's scroll
// bars, scroll messages moving the children, the wheel, focus bringing a
// control into view, and the scroll box in descriptions.
#include <gtest/gtest.h>

#include "platform/win/user/user_sysinfo.h"
#include "stdctrls_test_support.h"

using namespace stdctrls_test;

namespace {

class Scrolling : public TStdCtrlsTest {
 protected:
  TScrollBox* Box = nullptr;

  // A shown form with a 200x100 (client) scroll box at (10, 10).
  void MakeBox() {
    ShowForm(400, 300);
    Box = new TScrollBox(Form);
    Box->SetParent(Form);
    Box->SetBounds(10, 10, 204, 104);
    Pump();
  }
  LONG Style() { return GetWindowLong(Box->Handle(), GWL_STYLE); }
  void Scroll(UINT Msg, WORD Code, WORD Pos = 0) {
    SendMessage(Box->Handle(), Msg, MAKEWPARAM(Code, Pos), 0);
    Pump();
  }
};

TEST_F(Scrolling, AScrollBoxHasAClientEdgeUnlessItsBorderIsNone) {
  MakeBox();
  EXPECT_TRUE(Box->AutoScroll());
  EXPECT_TRUE(GetWindowLong(Box->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(Box->ClientWidth(), 200);
  Box->SetBorderStyle(bsNone);
  EXPECT_FALSE(GetWindowLong(Box->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(Box->ClientWidth(), 204);
}

// The ranges follow the children anchored or aligned to the top left;
// strips aligned to the far sides add their size; a bar shows only when
// its range is larger than the client.
TEST_F(Scrolling, AutoScrollRangesComeFromTheChildren) {
  struct Case {
    const char* Name;
    TRect Bounds;
    TAlign Align;
    TAnchors Anchors;
    bool Visible;
    Integer HorzRange, VertRange;
  };
  const Case Cases[] = {
      {"below", TRect(10, 300, 60, 340), alNone, {akLeft, akTop}, true, 60, 340},
      {"right of", TRect(250, 5, 300, 25), alNone, {akLeft, akTop}, true, 300, 25},
      {"hidden", TRect(250, 300, 300, 340), alNone, {akLeft, akTop}, false, 0, 0},
      {"anchored right and bottom", TRect(250, 300, 300, 340), alNone, {akRight, akBottom}, true, 0, 0},
      {"aligned to the top", TRect(0, 0, 10, 150), alTop, {akLeft, akTop, akRight}, true, 0, 150},
      {"aligned to the bottom", TRect(0, 0, 10, 30), alBottom, {akLeft, akBottom, akRight}, true, 0, 30},
  };
  MakeBox();
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* Child = new TTestPanel(Form);
    Child->SetVisible(C.Visible);
    Child->SetBoundsRect(C.Bounds);
    Child->SetAnchors(C.Anchors);
    Child->SetAlign(C.Align);
    Child->SetParent(Box);
    Pump();
    EXPECT_EQ(Box->HorzScrollBar()->Range(), C.HorzRange);
    EXPECT_EQ(Box->VertScrollBar()->Range(), C.VertRange);
    EXPECT_EQ(Box->HorzScrollBar()->IsScrollBarVisible(), C.HorzRange > Box->ClientWidth());
    EXPECT_EQ(Box->VertScrollBar()->IsScrollBarVisible(), C.VertRange > Box->ClientHeight());
    EXPECT_EQ((Style() & WS_VSCROLL) != 0, Box->VertScrollBar()->IsScrollBarVisible());
    delete Child;
    Pump();
    EXPECT_EQ(Box->VertScrollBar()->Range(), 0) << "the range shrinks when the child goes";
    EXPECT_FALSE(Style() & (WS_HSCROLL | WS_VSCROLL));
  }
}

TEST_F(Scrolling, OneBarTakesRoomFromTheOther) {
  MakeBox();
  auto* Child = new TTestPanel(Form);
  Child->SetParent(Box);
  // Fits across, but not once the vertical bar takes its width.
  Child->SetBounds(0, 0, 195, 300);
  Pump();
  const Integer BarWidth = GetSystemMetrics(SM_CXVSCROLL);
  ASSERT_GT(195, 200 - BarWidth);
  EXPECT_TRUE(Box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_TRUE(Box->HorzScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(Box->ClientWidth(), 200 - BarWidth);
}

// A bar's kind says which of the window's bars it drives, and copying
// another bar's settings keeps it.
TEST_F(Scrolling, EachBarDrivesTheWindowsBarOfItsKind) {
  MakeBox();
  EXPECT_EQ(Box->HorzScrollBar()->Kind(), sbHorizontal);
  EXPECT_EQ(Box->VertScrollBar()->Kind(), sbVertical);
  Box->SetAutoScroll(false);
  Box->VertScrollBar()->SetRange(500);
  Pump();
  EXPECT_EQ(Style() & (WS_HSCROLL | WS_VSCROLL), WS_VSCROLL);
  Box->HorzScrollBar()->Assign(Box->VertScrollBar());
  Box->VertScrollBar()->SetRange(0);
  Pump();
  EXPECT_EQ(Box->HorzScrollBar()->Kind(), sbHorizontal);
  EXPECT_EQ(Box->HorzScrollBar()->Range(), 500);
  EXPECT_EQ(Style() & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL);
}

// Each scroll code moves the position and the children by as much; the
// window's bar shows the same position.
TEST_F(Scrolling, ScrollMessagesMoveTheChildren) {
  MakeBox();
  auto* Top = new TTestPanel(Form);
  Top->SetParent(Box);
  Top->SetBounds(5, 0, 50, 20);
  auto* Far = new TTestShape(Form);
  Far->SetParent(Box);
  Far->SetBounds(5, 480, 40, 20);
  Pump();
  ASSERT_EQ(Box->VertScrollBar()->Range(), 500);
  const Integer Last = 500 - Box->ClientHeight();
  const Integer Page = Box->ClientHeight() * 9 / 10;
  struct Step {
    WORD Code;
    WORD Pos;
    Integer Expected;
  };
  const Step Steps[] = {
      {SB_LINEDOWN, 0, 8},       {SB_LINEDOWN, 0, 16},         {SB_LINEUP, 0, 8},
      {SB_PAGEDOWN, 0, 8 + Page}, {SB_PAGEUP, 0, 8},            {SB_LINEUP, 0, 0},
      {SB_BOTTOM, 0, Last},      {SB_LINEDOWN, 0, Last},       {SB_TOP, 0, 0},
      {SB_THUMBPOSITION, 123, 123}, {SB_THUMBTRACK, 50, 123},  {SB_THUMBPOSITION, 9999, Last},
  };
  for (const Step& S : Steps) {
    SCOPED_TRACE(testing::Message() << "code " << S.Code << " pos " << S.Pos);
    Scroll(WM_VSCROLL, S.Code, S.Pos);
    EXPECT_EQ(Box->VertScrollBar()->Position(), S.Expected);
    EXPECT_EQ(Box->VertScrollBar()->ScrollPos(), S.Expected);
    EXPECT_EQ(GetScrollPos(Box->Handle(), SB_VERT), S.Expected);
    EXPECT_EQ(Top->Top(), -S.Expected);
    EXPECT_EQ(Far->Top(), 480 - S.Expected);
    RECT R;
    GetWindowRect(Top->Handle(), &R);
    EXPECT_EQ(R.Top, Box->ClientToScreen(TPoint(0, 0)).Y - S.Expected) << "the window moved too";
  }
  EXPECT_EQ(Box->VertScrollBar()->Range(), 500) << "scrolling keeps the range";
  // A tracking bar follows the thumb while it moves.
  Box->VertScrollBar()->SetTracking(true);
  Scroll(WM_VSCROLL, SB_THUMBTRACK, 40);
  EXPECT_EQ(Box->VertScrollBar()->Position(), 40);
}

// A child far below (outside the client) comes into view when scrolled
// to, and its pixels show there.
TEST_F(Scrolling, ChildrenOutsideTheClientComeIntoViewWhenScrolledTo) {
  MakeBox();
  auto* Far = new TTestPanel(Form);
  Far->SetParent(Box);
  Far->SetColor(clRed);
  Far->SetBounds(20, 400, 60, 60);
  Pump();
  EXPECT_NE(rtl::testing::WindowPixel(Box->Handle(), 40, 70), RGB(255, 0, 0));
  Box->VertScrollBar()->SetPosition(1000);
  Pump();
  EXPECT_EQ(Box->VertScrollBar()->Position(), 460 - Box->ClientHeight()) << "at most to the end";
  EXPECT_EQ(Far->Top(), Box->ClientHeight() - 60);
  EXPECT_EQ(rtl::testing::WindowPixel(Box->Handle(), 40, Box->ClientHeight() - 30), RGB(255, 0, 0));
}

TEST_F(Scrolling, FocusBringsAControlIntoView) {
  MakeBox();
  auto* First = new TTestEdit(Form);
  First->SetParent(Box);
  First->SetBounds(5, 5, 80, 20);
  auto* Below = new TTestEdit(Form);
  Below->SetParent(Box);
  Below->SetBounds(5, 300, 80, 20);
  Pump();
  Below->SetFocus();
  Pump();
  EXPECT_EQ(Box->VertScrollBar()->Position(), 320 - Box->ClientHeight());
  EXPECT_EQ(Below->Top() + Below->Height(), Box->ClientHeight());
  First->SetFocus();
  Pump();
  EXPECT_EQ(Box->VertScrollBar()->Position(), 5);
  EXPECT_EQ(First->Top(), 0) << "its top edge comes to the top";
  // The margin keeps some room around it.
  Box->VertScrollBar()->SetMargin(10);
  Below->SetFocus();
  Pump();
  EXPECT_EQ(Below->Top() + Below->Height(), Box->ClientHeight() - 10);
}

TEST_F(Scrolling, TheWheelScrollsABoxWithAVerticalRangeOnly) {
  MakeBox();
  // The wheel goes to the focused control, then up its parents.
  auto* Child = new TTestEdit(Form);
  Child->SetParent(Box);
  Child->SetBounds(5, 5, 50, 20);
  Pump();
  Child->SetFocus();
  Integer FormWheels = 0;
  Form->OnMouseWheel = [&](TObject*, TShiftState, Integer, TPoint, bool& Handled) {
    ++FormWheels;
    Handled = true;
  };
  rtl::testing::InjectWheel(At(Box, 150, 50), -WHEEL_DELTA);
  Pump();
  EXPECT_EQ(FormWheels, 1) << "nothing to scroll: the parent has the wheel";
  auto* Far = new TTestPanel(Form);
  Far->SetParent(Box);
  Far->SetBounds(5, 400, 50, 20);
  Pump();
  rtl::testing::InjectWheel(At(Box, 150, 50), -WHEEL_DELTA);
  Pump();
  const Integer Step = Mouse->WheelScrollLines() * Box->VertScrollBar()->Increment();
  EXPECT_EQ(Box->VertScrollBar()->Position(), Step);
  rtl::testing::InjectWheel(At(Box, 150, 50), WHEEL_DELTA);
  Pump();
  EXPECT_EQ(Box->VertScrollBar()->Position(), 0);
  EXPECT_EQ(FormWheels, 1);
}

TEST_F(Scrolling, RangesWaitWhileAutoRangeIsDisabledAndASetRangeEndsAutoScroll) {
  MakeBox();
  Box->DisableAutoRange();
  auto* Child = new TTestPanel(Form);
  Child->SetParent(Box);
  Child->SetBounds(5, 250, 50, 50);
  Pump();
  EXPECT_EQ(Box->VertScrollBar()->Range(), 0);
  Box->EnableAutoRange();
  EXPECT_EQ(Box->VertScrollBar()->Range(), 300);
  Box->VertScrollBar()->SetRange(1000);
  EXPECT_FALSE(Box->AutoScroll());
  Child->SetTop(10);
  Pump();
  EXPECT_EQ(Box->VertScrollBar()->Range(), 1000) << "a range set by hand stays";
  Box->SetAutoScroll(true);
  EXPECT_EQ(Box->VertScrollBar()->Range(), 60);
  Box->VertScrollBar()->SetVisible(false);
  EXPECT_FALSE(Style() & WS_VSCROLL);
  Child->SetTop(400);
  Pump();
  EXPECT_FALSE(Box->VertScrollBar()->IsScrollBarVisible()) << "a hidden bar never shows";
}

TEST_F(Scrolling, AScrollBoxIsReadAndWrittenWithItsBars) {
  TDescribedForm* F = ReadForm(
      "object Host: TDescribedForm\n"
      "  Left = 0\n"
      "  Top = 0\n"
      "  ClientHeight = 200\n"
      "  ClientWidth = 300\n"
      "  object Box: TScrollBox\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 150\n"
      "    Height = 100\n"
      "    AutoScroll = False\n"
      "    BorderStyle = bsNone\n"
      "    HorzScrollBar.Visible = False\n"
      "    VertScrollBar.Increment = 20\n"
      "    VertScrollBar.Range = 400\n"
      "    VertScrollBar.Tracking = True\n"
      "    TabOrder = 0\n"
      "  end\n"
      "end\n");
  Forms.push_back(F->Link());
  auto* Box = dynamic_cast<TScrollBox*>(F->FindComponent("Box"));
  ASSERT_TRUE(Box);
  EXPECT_FALSE(Box->AutoScroll());
  EXPECT_EQ(Box->BorderStyle(), bsNone);
  EXPECT_FALSE(Box->HorzScrollBar()->Visible());
  EXPECT_EQ(Box->VertScrollBar()->Increment(), 20);
  EXPECT_EQ(Box->VertScrollBar()->Range(), 400);
  EXPECT_TRUE(Box->VertScrollBar()->Tracking());
  const AnsiString Text = WriteToText(F);
  for (const char* Line : {"    AutoScroll = False\n", "    HorzScrollBar.Visible = False\n",
                           "    VertScrollBar.Increment = 20\n", "    VertScrollBar.Range = 400\n"})
    EXPECT_NE(Text.find(Line), AnsiString::npos) << Line << "\n" << Text;
  EXPECT_EQ(Text.find("HorzScrollBar.Range"), AnsiString::npos) << "defaults are left out";
  Box->SetAutoScroll(true);
  EXPECT_EQ(WriteToText(F).find("VertScrollBar.Range"), AnsiString::npos) << "automatic ranges are not stored";
}

}  // namespace
