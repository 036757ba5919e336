// The border width and bevels of window controls: the client area they
// leave and the edges they draw.
#include "platform/forms/controls.h"
#include "platform/forms/stdctrls.h"
#include "stdctrls_test_support.h"

using namespace stdctrls_test;

namespace {

class WinControlBorder : public TStdCtrlsTest {
 protected:
  void SetUp() override {
    TStdCtrlsTest::SetUp();
    ShowForm();
  }
};

TEST_F(WinControlBorder, BorderWidthAndBevelsInsetTheClientArea) {
  auto* E = Add<TEdit>(Rect(10, 10, 210, 40));
  E->SetAutoSize(false);
  E->SetBounds(10, 10, 200, 30);
  Pump();
  EXPECT_EQ(E->BevelKind(), bkNone);
  EXPECT_EQ(E->BevelInner(), bvRaised);
  EXPECT_EQ(E->BevelOuter(), bvLowered);
  EXPECT_EQ(E->BevelEdges(), TBevelEdges({beLeft, beTop, beRight, beBottom}));
  // The client edge takes 2 on every side.
  const struct {
    Integer BorderWidth;
    TBevelKind Kind;
    TBevelEdges Edges;
    TRect Client;  // in window coordinates
  } Cases[] = {
      {0, bkNone, {beLeft, beTop, beRight, beBottom}, Rect(2, 2, 198, 28)},
      {3, bkNone, {beLeft, beTop, beRight, beBottom}, Rect(5, 5, 195, 25)},
      {3, bkTile, {beLeft, beTop, beRight, beBottom}, Rect(7, 7, 193, 23)},
      {0, bkFlat, {beLeft}, Rect(4, 2, 198, 28)},
      // A cut that is not there takes nothing.
      {1, bkSoft, {beTop, beBottom}, Rect(3, 4, 197, 26)},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.BorderWidth);
    E->SetBorderWidth(C.BorderWidth);
    E->SetBevelKind(C.Kind);
    E->SetBevelEdges(C.Edges);
    E->SetBevelInner(C.Kind == bkSoft ? bvNone : bvRaised);
    Pump();
    RECT W{}, Cl{};
    GetWindowRect(E->Handle(), &W);
    GetClientRect(E->Handle(), &Cl);
    POINT O{0, 0};
    ClientToScreen(E->Handle(), &O);
    const TRect Client(O.X - W.Left, O.Y - W.Top, O.X - W.Left + Cl.Right, O.Y - W.Top + Cl.Bottom);
    EXPECT_EQ(Client, C.Client);
  }
}

TEST_F(WinControlBorder, BevelIsDrawnInsideTheFrame) {
  auto* E = Add<TEdit>(Rect(10, 10, 210, 40));
  E->SetAutoSize(false);
  E->SetBounds(10, 10, 200, 30);
  E->SetBorderWidth(1);
  E->SetBevelKind(bkTile);
  Pump();
  E->Repaint();
  Pump();
  // The lowered outer cut's shadow on the left, inside edge and border.
  EXPECT_EQ(rtl::testing::WindowPixel(E->Handle(), 3, 15, true), GetSysColor(COLOR_BTNSHADOW));
  // A lowered cut is lit from the bottom right.
  EXPECT_EQ(rtl::testing::WindowPixel(E->Handle(), 200 - 4, 15, true), GetSysColor(COLOR_BTNHIGHLIGHT));
}

}  // namespace
