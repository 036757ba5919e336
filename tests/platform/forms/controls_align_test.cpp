// Bounds, alignment, anchors, constraints and auto-size, without windows.
#include <gtest/gtest.h>

#include "controls_test_support.h"

using namespace controls_test;

namespace {

// A container without a window: its client area is its bounds.
struct TAlignFixture : ::testing::Test {
  TWinControl Parent{nullptr};

  TControl* Child(TAlign Align, TRect Bounds) {
    auto* C = new TTestShape(nullptr);
    C->SetBoundsRect(Bounds);
    C->SetAlign(Align);
    C->SetParent(&Parent);
    return C;
  }
  void SetUp() override { Parent.SetBounds(0, 0, 200, 100); }
};

TEST_F(TAlignFixture, EdgesTakeStripsInOrderTopBottomLeftRightClient) {
  // Inserted in an order that differs from the alignment order.
  TControl* Client = Child(alClient, Bounds(0, 0, 5, 5));
  TControl* Right = Child(alRight, Bounds(0, 0, 40, 5));
  TControl* Left = Child(alLeft, Bounds(0, 0, 30, 5));
  TControl* Bottom = Child(alBottom, Bounds(0, 0, 5, 20));
  TControl* Top = Child(alTop, Bounds(0, 0, 5, 10));

  struct Case {
    TPoint Size;
    TControl* Control;
    TRect Expected;
  };
  const Case Cases[] = {
      {{200, 100}, Top, Rect(0, 0, 200, 10)},      {{200, 100}, Bottom, Rect(0, 80, 200, 100)},
      {{200, 100}, Left, Rect(0, 10, 30, 80)},     {{200, 100}, Right, Rect(160, 10, 200, 80)},
      {{200, 100}, Client, Rect(30, 10, 160, 80)}, {{300, 150}, Top, Rect(0, 0, 300, 10)},
      {{300, 150}, Bottom, Rect(0, 130, 300, 150)}, {{300, 150}, Left, Rect(0, 10, 30, 130)},
      {{300, 150}, Right, Rect(260, 10, 300, 130)}, {{300, 150}, Client, Rect(30, 10, 260, 130)},
  };
  for (const Case& c : Cases) {
    Parent.SetBounds(0, 0, c.Size.X, c.Size.Y);
    EXPECT_EQ(c.Control->BoundsRect(), c.Expected) << c.Size.X << "x" << c.Size.Y << " " << c.Control->Align();
  }
}

TEST_F(TAlignFixture, ControlsOfOneEdgeStackByPositionAndHiddenOnesLeaveNoGap) {
  TControl* A = Child(alTop, Bounds(0, 50, 10, 10));
  TControl* B = Child(alTop, Bounds(0, 0, 10, 20));
  EXPECT_EQ(B->BoundsRect(), Rect(0, 0, 200, 20));
  EXPECT_EQ(A->BoundsRect(), Rect(0, 20, 200, 30));
  // Moving A above B puts it first.
  A->SetTop(-1);
  EXPECT_EQ(A->BoundsRect(), Rect(0, 0, 200, 10));
  EXPECT_EQ(B->BoundsRect(), Rect(0, 10, 200, 30));
  A->Hide();
  EXPECT_EQ(B->BoundsRect(), Rect(0, 0, 200, 20));
}

TEST_F(TAlignFixture, SwitchingBetweenHorizontalAndVerticalEdgesSwapsTheSize) {
  TControl* C = Child(alTop, Bounds(0, 0, 10, 25));
  C->SetAlign(alLeft);
  EXPECT_EQ(C->BoundsRect(), Rect(0, 0, 25, 100));
}

TEST_F(TAlignFixture, AnchorsKeepDistancesSizeOrCentreWhenTheParentGrows) {
  struct Case {
    TAnchors Anchors;
    TRect After;
  };
  const Case Cases[] = {
      {{akLeft, akTop}, Bounds(20, 10, 40, 30)},
      {{akRight, akTop}, Bounds(120, 10, 40, 30)},
      {{akLeft, akRight, akTop}, Bounds(20, 10, 140, 30)},
      {{akLeft, akTop, akBottom}, Bounds(20, 10, 40, 80)},
      {{akTop}, Bounds(40, 10, 40, 30)},  // the centre scales with the width: 40 * 300 / 200 = 60
  };
  for (const Case& c : Cases) {
    Parent.SetBounds(0, 0, 200, 100);
    TControl* C = Child(alNone, Bounds(20, 10, 40, 30));
    C->SetAnchors(c.Anchors);
    Parent.SetBounds(0, 0, 300, 150);
    EXPECT_EQ(C->BoundsRect(), c.After);
    delete C;
  }
}

TEST_F(TAlignFixture, ConstraintsLimitTheSizeAndTheAlignedStripGivesTheRestBack) {
  TControl* Left = Child(alLeft, Bounds(0, 0, 30, 5));
  TControl* Client = Child(alClient, Bounds(0, 0, 5, 5));
  Client->Constraints()->SetMaxWidth(100);
  EXPECT_EQ(Client->BoundsRect(), Rect(30, 0, 130, 100));
  Left->Constraints()->SetMinWidth(50);
  EXPECT_EQ(Left->Width(), 50);
  EXPECT_EQ(Client->Left(), 50);
  // Raising the minimum above the maximum raises the maximum with it.
  Client->Constraints()->SetMinWidth(120);
  EXPECT_EQ(Client->Constraints()->MaxWidth(), 120);
  EXPECT_EQ(Client->Width(), 120);
}

TEST_F(TAlignFixture, CanResizeAndResizeEventsSeeTheNewSize) {
  TControl* C = Child(alNone, Bounds(0, 0, 10, 10));
  std::vector<TPoint> Seen;
  C->OnCanResize = [&](TObject*, Integer& W, Integer& H, bool& Resize) {
    if (W > 50) W = 50;
    Resize = H != 13;
  };
  C->OnResize = [&](TObject* S) { Seen.push_back(TPoint(static_cast<TControl*>(S)->Width(), 0)); };
  C->SetBounds(0, 0, 80, 20);
  EXPECT_EQ(C->BoundsRect(), Rect(0, 0, 50, 20));
  C->SetBounds(0, 0, 30, 13);  // refused
  EXPECT_EQ(C->BoundsRect(), Rect(0, 0, 50, 20));
  ASSERT_EQ(Seen.size(), 1u);
  EXPECT_EQ(Seen[0].X, 50);
}

TEST_F(TAlignFixture, AutoSizeFitsTheVisibleChildren) {
  TWinControl Inner(nullptr);
  Inner.SetParent(&Parent);
  Inner.SetBounds(5, 5, 10, 10);
  auto* A = new TTestShape(nullptr);
  A->SetBounds(10, 10, 30, 20);
  A->SetParent(&Inner);
  auto* B = new TTestShape(nullptr);
  B->SetBounds(0, 50, 10, 10);
  B->SetParent(&Inner);
  B->Hide();
  Inner.SetAutoSize(true);
  EXPECT_EQ(Inner.BoundsRect(), Bounds(5, 5, 40, 30));
  B->Show();
  EXPECT_EQ(Inner.BoundsRect(), Bounds(5, 5, 40, 60));
  Inner.SetParent(nullptr);
}

TEST_F(TAlignFixture, DisabledAlignmentWaitsUntilEnabled) {
  TControl* C = Child(alTop, Bounds(0, 0, 10, 10));
  Parent.DisableAlign();
  Parent.SetBounds(0, 0, 300, 100);
  EXPECT_EQ(C->Width(), 200);
  Parent.EnableAlign();
  EXPECT_EQ(C->Width(), 300);
}

}  // namespace
