#include "grid/nx_column_drag.h"

#include <gtest/gtest.h>

#include "tests/common/pictures.h"
#include "grid/nx_style_display.h"
#include "grid_mouse_test_support.h"
#include "platform/forms/forms.h"
#include "platform/testing/app_activation_testing.h"
#include "platform/win/gdi/gdi.h"

namespace {

// Five columns of 100 in a report view with a header; column i starts at
// position i, spanning x 100i .. 100i + 100.
class ColumnDragTest : public GridMouseTest {
 protected:
  void Columns5(TGridOptions Options = TGridOptions{goHeader}) { Report(5, 3, Options); }
  TNxCustomColumn* AtPos(Integer P) { return G->Columns()->ByPosition(P); }
  TRect ScreenRect(TControl* C) {
    RECT R{};
    GetWindowRect(static_cast<TWinControl*>(C)->Handle(), &R);
    return R;
  }
  // Presses the header of the column at position From and pulls it to X,
  // Y in steps, without releasing.
  void StartDrag(Integer From, Integer X, Integer Y) {
    const Integer L = AtPos(From)->Left();
    Press(L + 50, 8);
    MoveTo(L + 60, 8);
    ASSERT_TRUE(G->State().Contains(sfDraggingColumn));
    MoveTo(X, Y);
  }
};

TEST_F(ColumnDragTest, DropColumnPosition) {
  Columns5();
  struct TCase {
    Integer From;
    Integer X;
    Integer Want;
  } Cases[] = {
      {1, 150, 1},  // itself
      {1, 230, 1},  // left half of the right neighbour
      {1, 280, 2},  // its right half
      {1, 320, 2},  // left half of position 3
      {1, 380, 3},  // its right half
      {3, 180, 2},  // leftwards: right half of position 1
      {3, 120, 1},  // its left half
      {1, 560, 1},  // beyond every column
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::to_string(C.From) + " at " + std::to_string(C.X));
    EXPECT_EQ(G->DropColumnPosition(AtPos(C.From), TPoint(C.X, 8)), C.Want);
  }
}

TEST_F(ColumnDragTest, AColumnPartlyUnderTheFixedOnesTakesNoDrop) {
  Report(5, 3, TGridOptions{goHeader});
  G->SetFixedCols(1);
  G->SetWidth(300);
  Pump();
  G->HorzScrollBar()->SetPosition(50);
  // Position 1 is shown from x 50, half under the fixed column.
  EXPECT_EQ(G->DropColumnPosition(AtPos(3), TPoint(140, 8)), 3);
  // With the indicator the fixed column ends at x 112: position 1 shown
  // from 107 lies under it, from 112 it does not.
  G->SetOptions(TGridOptions{goHeader, goIndicator});
  G->HorzScrollBar()->SetPosition(5);
  EXPECT_EQ(G->DropColumnPosition(AtPos(3), TPoint(150, 8)), 3);
  G->HorzScrollBar()->SetPosition(0);
  EXPECT_EQ(G->DropColumnPosition(AtPos(3), TPoint(150, 8)), 1);
}

TEST_F(ColumnDragTest, DraggedHeaderMovesTheColumnAndNoClickFollows) {
  Columns5();
  TNxCustomColumn* B = AtPos(1);
  Integer Moved = -1;
  G->OnColumnMove = [&](TObject*, Integer Col, Integer, Integer To) { Moved = Col * 10 + To; };
  // Held down, the header looks pressed; carried by the box, plain.
  Press(150, 8);
  EXPECT_TRUE(B->IsPressed());
  MoveTo(160, 8);
  ASSERT_TRUE(G->State().Contains(sfDraggingColumn));
  EXPECT_FALSE(B->IsPressed());
  MoveTo(290, 8);
  // The box follows the pointer, centred on it, its bottom 4 pixels below.
  TColumnDragBox* Box = G->DragBox();
  EXPECT_TRUE(Box->Visible());
  const POINT S = At(290, 8);
  EXPECT_EQ(ScreenRect(Box), TRect(S.X - 50, S.Y - 18 + 4, S.X + 50, S.Y + 4));
  // The arrows point at the right edge of position 2 from above and below.
  const POINT E = At(300, 0);
  EXPECT_TRUE(G->UpperArrow()->Visible() && G->LowerArrow()->Visible());
  EXPECT_EQ(ScreenRect(G->UpperArrow()), TRect(E.X - 4, E.Y - 12, E.X + 5, E.Y - 3));
  EXPECT_EQ(ScreenRect(G->LowerArrow()), TRect(E.X - 4, E.Y + 17, E.X + 5, E.Y + 26));
  Release(290, 8);
  EXPECT_EQ(B->Position(), 2);
  EXPECT_EQ(Moved, 12);
  Log.clear();
  EXPECT_FALSE(Box->Visible());
  EXPECT_FALSE(G->UpperArrow()->Visible() || G->LowerArrow()->Visible());
  EXPECT_FALSE(G->State().Contains(sfDraggingColumn));
  EXPECT_EQ(G->PressedColumn(), nullptr);
  EXPECT_EQ(G->DraggedColumn(), nullptr);
  // No header click and no sort, now or at the next release.
  Click(50, 30);
  EXPECT_TRUE(std::none_of(Log.begin(), Log.end(), [](const std::string& L) { return L.rfind("header", 0) == 0; }));
  for (Integer i = 0; i < 5; ++i) EXPECT_FALSE(G->Columns()->Items(i)->Sorted());
}

TEST_F(ColumnDragTest, DroppedBelowTheHeaderHidesTheColumnOnlyWhenAllowed) {
  for (bool CanHide : {false, true}) {
    SCOPED_TRACE(CanHide);
    G->SetOptions(CanHide ? TGridOptions{goHeader, goCanHideColumn} : TGridOptions{goHeader});
    if (G->Columns()->Count() == 0) Columns5(G->Options());
    TNxCustomColumn* B = AtPos(1);
    StartDrag(1, 150, 200);
    // Outside the header strip the column cannot land: no arrows, the
    // no-drop cursor (also where it would be hidden).
    EXPECT_EQ(Screen->Cursor(), 3001);
    EXPECT_FALSE(G->UpperArrow()->Visible());
    Release(150, 200);
    EXPECT_EQ(B->Visible(), !CanHide);
    EXPECT_EQ(B->Position(), 1);
    EXPECT_EQ(Screen->Cursor(), crDefault);
  }
}

TEST_F(ColumnDragTest, LockedFixedColumnsRefuseTheDrop) {
  Columns5(TGridOptions{goHeader, goLockFixedCols});
  G->SetFixedCols(1);
  // Into the fixed positions.
  StartDrag(2, 30, 8);
  EXPECT_EQ(Screen->Cursor(), 3001);
  Release(30, 8);
  EXPECT_EQ(AtPos(0)->Index(), 0);
  EXPECT_EQ(G->Columns()->Items(2)->Position(), 2);
  // A fixed column dragged out.
  StartDrag(0, 330, 8);
  EXPECT_EQ(Screen->Cursor(), 3001);
  Release(330, 8);
  EXPECT_EQ(G->Columns()->Items(0)->Position(), 0);
  // Between unfixed columns the drag works.
  StartDrag(1, 380, 8);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  Release(380, 8);
  EXPECT_EQ(G->Columns()->Items(1)->Position(), 3);
}

TEST_F(ColumnDragTest, OverAHiddenTargetTheArrowsKeepTheirPlace) {
  Columns5();
  AtPos(2)->SetVisible(false);
  Pump();
  // Visible: positions 0, 1, 3, 4 at x 0, 100, 200, 300. Position 4 over
  // the left half of position 3 marks its left edge.
  StartDrag(4, 220, 8);
  const TRect Before = ScreenRect(G->UpperArrow());
  ASSERT_TRUE(G->UpperArrow()->Visible());
  // Over the right half of position 1 the target is position 2: hidden.
  MoveTo(180, 8);
  EXPECT_EQ(G->DropColumnPosition(AtPos(4), TPoint(180, 8)), 2);
  EXPECT_TRUE(G->UpperArrow()->Visible());
  EXPECT_EQ(ScreenRect(G->UpperArrow()), Before);
  Release(180, 8);
}

TEST_F(ColumnDragTest, DeactivationDuringADragHidesTheBoxAndBothArrows) {
  Columns5();
  StartDrag(1, 290, 8);
  ASSERT_TRUE(G->DragBox()->Visible() && G->UpperArrow()->Visible() && G->LowerArrow()->Visible());
  rtl::testing::SetApplicationActive(false);
  Pump();
  EXPECT_FALSE(G->DragBox()->Visible());
  EXPECT_FALSE(G->UpperArrow()->Visible());
  EXPECT_FALSE(G->LowerArrow()->Visible());
  EXPECT_EQ(G->DraggedColumn(), nullptr);
  EXPECT_EQ(G->PressedColumn(), nullptr);
  EXPECT_FALSE(G->State().Contains(sfDraggingColumn));
  EXPECT_EQ(Screen->Cursor(), crDefault);
  rtl::testing::SetApplicationActive(true);
  Pump();
  Release(290, 8);
  EXPECT_EQ(AtPos(1)->Index(), 1);
  EXPECT_TRUE(Log.empty());
}

TEST_F(ColumnDragTest, TheBoxShowsTheHeaderWithABlackBottomAndRightLine) {
  Columns5();
  AtPos(1)->Header()->SetCaption(u"Folder");
  StartDrag(1, 290, 8);
  TColumnDragBox* Box = G->DragBox();
  Box->Repaint();
  Pump();
  const Integer W = Box->ClientWidth(), H = Box->ClientHeight();
  EXPECT_EQ(rtl::testing::WindowPixel(Box->Handle(), W - 1, H - 1), 0u);
  EXPECT_EQ(rtl::testing::WindowPixel(Box->Handle(), 0, H - 1), 0u);
  EXPECT_EQ(rtl::testing::WindowPixel(Box->Handle(), W - 1, 0), 0u);
  EXPECT_NE(rtl::testing::WindowPixel(Box->Handle(), W / 2, H / 2), 0u);
  EXPECT_FALSE(Box->Display()->ShowSortArrow);
  EXPECT_TRUE(rtl::testing::SaveWindowPng(Box->Handle(), PictureDir() + "grid-column-drag-box.png"));
  EXPECT_TRUE(rtl::testing::SaveWindowPng(G->UpperArrow()->Handle(), PictureDir() + "grid-drop-arrow-down.png"));
  EXPECT_TRUE(rtl::testing::SaveWindowPng(G->LowerArrow()->Handle(), PictureDir() + "grid-drop-arrow-up.png"));
  Release(290, 8);
}

TEST(DragArrow, ShapesPointUpAndDown) {
  struct TCase {
    Byte Direction;
    TPoint Inside[3];
    TPoint Outside[3];
  } Cases[] = {
      {1, {{4, 1}, {4, 7}, {2, 3}}, {{0, 1}, {1, 8}, {8, 8}}},
      {2, {{4, 1}, {4, 7}, {2, 5}}, {{0, 1}, {1, 8}, {8, 1}}},
  };
  TForm* Form = TCustomForm::Create<TForm>(nullptr);
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Direction);
    auto* A = new TDragArrow(Form);
    A->SetParent(Form);
    A->HandleNeeded();
    EXPECT_EQ(A->Width(), 9);
    EXPECT_EQ(A->Height(), 9);
    A->SetDirection(C.Direction);
    EXPECT_EQ(A->Direction(), C.Direction);
    HRGN R = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(A->Handle(), R), ERROR);
    for (const TPoint& P : C.Inside) EXPECT_TRUE(PtInRegion(R, P.X, P.Y)) << P.X << "," << P.Y;
    for (const TPoint& P : C.Outside) EXPECT_FALSE(PtInRegion(R, P.X, P.Y)) << P.X << "," << P.Y;
    DeleteObject(R);
  }
  Form->Free();
}

}  // namespace
