#include <gtest/gtest.h>

#include "grid/nx_column_drag.h"
#include "grid_mouse_test_support.h"
#include "platform/forms/app_activation.h"
#include "platform/forms/controls_messages.h"
#include "platform/forms/forms.h"
#include "platform/testing/app_activation_testing.h"
#include "platform/win/gdi/gdi.h"

namespace {

using rtl::testing::ibLeft;
using rtl::testing::ibRight;
using Rows = std::vector<Integer>;

// ---- Selection by clicks ---------------------------------------------------------------------

// Slides are 90 high: row r's slide spans y 90r .. 90r + 89.
Integer SlideY(Integer Row) { return Row * 90 + 40; }

TEST_F(GridMouseTest, ClickCtrlClickAndShiftClickSelect) {
  MainWindowGrid(5);
  Click(300, SlideY(1));
  EXPECT_EQ(G->SelectedRow(), 1);
  EXPECT_EQ(SelectedRows(), Rows({1}));
  Click(300, SlideY(3), {ssCtrl});
  EXPECT_EQ(SelectedRows(), Rows({1, 3}));
  EXPECT_EQ(G->SelectedCount(), 2);
  // Shift selects the range from the anchor that Ctrl moved.
  Click(300, SlideY(0), {ssShift});
  EXPECT_EQ(SelectedRows(), Rows({0, 1, 2, 3}));
  EXPECT_EQ(G->SelectedCount(), 4);
  // Ctrl toggles a selected row off again.
  Click(300, SlideY(1), {ssCtrl});
  EXPECT_EQ(SelectedRows(), Rows({0, 2, 3}));
  EXPECT_EQ(G->SelectedCount(), 3);
  // A plain click clears the multi-selection.
  Click(300, SlideY(4));
  EXPECT_EQ(SelectedRows(), Rows({4}));
  EXPECT_EQ(G->SelectedCount(), 1);
}

TEST_F(GridMouseTest, RightPressKeepsASelectedGroupAndSelectsAnUnselectedRowAlone) {
  MainWindowGrid(5);
  Click(300, SlideY(1));
  Click(300, SlideY(2), {ssCtrl});
  Click(300, SlideY(3), {ssCtrl});
  ASSERT_EQ(SelectedRows(), Rows({1, 2, 3}));
  Click(300, SlideY(2), {}, ibRight);
  EXPECT_EQ(SelectedRows(), Rows({1, 2, 3}));
  EXPECT_EQ(G->SelectedRow(), 2);
  Click(300, SlideY(4), {}, ibRight);
  EXPECT_EQ(SelectedRows(), Rows({4}));
  EXPECT_EQ(G->SelectedRow(), 4);
}

TEST_F(GridMouseTest, PressBelowTheLastRowChangesNoSelection) {
  Report(2, 3, TGridOptions{goHeader});
  Click(50, 18 + 16 + 8);
  ASSERT_EQ(G->SelectedRow(), 1);
  Click(50, 200);
  EXPECT_EQ(G->SelectedRow(), 1);
  EXPECT_EQ(SelectedRows(), Rows({}));
  Log.clear();
  // Nor does the release there click a cell.
  EXPECT_TRUE(Log.empty());
}

// ---- Double clicks ------------------------------------------------------------------------------

TEST_F(GridMouseTest, DoubleClickOnACellFiresBothEventsAndChangesNothingElse) {
  Report(2, 3, TGridOptions{goHeader, goSecondClickEdit});
  Click(150, 18 + 16 + 8);
  ASSERT_EQ(G->SelectedRow(), 1);
  ASSERT_EQ(G->SelectedColumn(), 1);
  Log.clear();
  rtl::testing::InjectClick(At(150, 18 + 16 + 8));
  Pump();
  EXPECT_EQ(Log, (std::vector<std::string>{"dblclick", "cell dblclick 1 1", "click 1 1"}));
  EXPECT_EQ(G->SelectedRow(), 1);
  EXPECT_EQ(G->SelectedColumn(), 1);
  EXPECT_EQ(G->PressPoint().X, -1);
}

TEST_F(GridMouseTest, DoubleClickOnAColumnBorderFitsTheColumn) {
  Report(2, 3, TGridOptions{goHeader});
  // The border of column 0 lies at x 100; the move over it remembers it.
  MoveTo(101, 8);
  EXPECT_EQ(G->BorderColumn(), G->Columns()->Items(0));
  EXPECT_EQ(G->Cursor(), 3000);
  DoubleClick(101, 8);
  EXPECT_NE(std::find(Log.begin(), Log.end(), "fit column 0"), Log.end());
  EXPECT_EQ(G->BorderColumn(), nullptr);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "header dblclick 0"), 0);
}

TEST_F(GridMouseTest, DoubleClickOnAHeaderAwayFromBordersFiresHeaderDblClick) {
  Report(2, 3, TGridOptions{goHeader});
  G->Columns()->Items(1)->SetOptions(G->Columns()->Items(1)->Options() - coCanSort);
  MoveTo(150, 8);
  DoubleClick(150, 8);
  EXPECT_NE(std::find(Log.begin(), Log.end(), "header dblclick 1"), Log.end());
}

// ---- Headers: clicks and sorting -------------------------------------------------------------------

TEST_F(GridMouseTest, HeaderClickSortsAndAlternates) {
  Report(2, 3, TGridOptions{goHeader});
  TNxCustomColumn* A = G->Columns()->Items(0);
  TNxCustomColumn* B = G->Columns()->Items(1);
  Click(50, 8);
  EXPECT_TRUE(A->Sorted());
  EXPECT_EQ(A->SortKind(), skAscending);
  Click(50, 8);
  EXPECT_EQ(A->SortKind(), skDescending);
  Click(50, 8);
  EXPECT_EQ(A->SortKind(), skAscending);
  // Another header sorts its column and unsorts the first.
  Click(150, 8);
  EXPECT_TRUE(B->Sorted());
  EXPECT_FALSE(A->Sorted());
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "header click 0"), 3);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "header click 1"), 1);
  EXPECT_EQ(G->PressedColumn(), nullptr);
}

TEST_F(GridMouseTest, ReleaseOverAnotherColumnClicksThePressedHeaderButSortsNothing) {
  Report(2, 3, TGridOptions{goHeader});
  TNxCustomColumn* A = G->Columns()->Items(0);
  struct TCase {
    TGridOptions Options;
    bool ColumnDisabled;
  } Cases[] = {{TGridOptions{goHeader, goDisableColumnMoving}, false}, {TGridOptions{goHeader}, true}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.ColumnDisabled ? "column option" : "grid option");
    G->SetOptions(C.Options);
    A->SetOptions(C.ColumnDisabled ? A->Options() + coDisableMoving : A->Options() - coDisableMoving);
    Log.clear();
    Drag(50, 8, 150, 8);
    EXPECT_EQ(Log, (std::vector<std::string>{"header click 0"}));
    EXPECT_FALSE(A->Sorted());
    EXPECT_FALSE(G->Columns()->Items(1)->Sorted());
    EXPECT_FALSE(G->State().Contains(sfDraggingColumn));
    EXPECT_EQ(A->Position(), 0);
  }
}

TEST_F(GridMouseTest, HeaderWithoutCanClickNeitherClicksSortsNorDrags) {
  Report(2, 3, TGridOptions{goHeader});
  TNxCustomColumn* A = G->Columns()->Items(0);
  A->SetOptions(A->Options() - coCanClick);
  Click(50, 8);
  Drag(50, 8, 150, 8);
  EXPECT_TRUE(Log.empty());
  EXPECT_FALSE(A->Sorted());
  EXPECT_EQ(A->Position(), 0);
  EXPECT_FALSE(G->State().Contains(sfDraggingColumn));
  EXPECT_TRUE(G->DragBox() && !G->DragBox()->Visible());
}

TEST_F(GridMouseTest, FooterClickNamesTheColumn) {
  Report(2, 3, TGridOptions{goHeader, goFooter});
  Click(150, G->FooterRect().Top + 5);
  EXPECT_EQ(Log, (std::vector<std::string>{"footer click 1"}));
}

// ---- Sizing -------------------------------------------------------------------------------------------

TEST_F(GridMouseTest, BorderDraggedLeftStopsAtMinWidth) {
  Report(2, 3, TGridOptions{goHeader});
  TNxCustomColumn* A = G->Columns()->Items(0);
  A->SetMinWidth(30);
  Integer Resized = -1;
  G->OnColumnResize = [&](TObject*, Integer Col) { Resized = Col; };
  Press(100, 8);
  ASSERT_EQ(G->SizedColumn(), A);
  EXPECT_TRUE(G->State().Contains(sfSizingColumn));
  MoveTo(60, 8);
  // The right guide follows the pointer, one pixel left of it.
  EXPECT_EQ(G->RightGuide(), 59);
  MoveTo(5, 8);
  EXPECT_EQ(G->SizingDelta(), 30 - 100);
  EXPECT_EQ(G->RightGuide(), 29);
  Release(5, 8);
  EXPECT_EQ(A->Width(), 30);
  EXPECT_EQ(Resized, 0);
  EXPECT_EQ(G->SizedColumn(), nullptr);
  EXPECT_FALSE(G->State().Contains(sfSizingColumn));
  // A border drag is not a header click.
  EXPECT_TRUE(Log.empty());
}

TEST_F(GridMouseTest, SizingGuidesAreDrawnInvertedAndRemoved) {
  Report(2, 3, TGridOptions{goHeader});
  G->SetDoubleBuffered(true);
  G->Repaint();
  Pump();
  // Just inside the header: its strip ends at the last column's edge.
  Press(199, 8);
  MoveTo(250, 100);
  Pump();
  // White inverted is black: the right guide at x 249, the left at 99.
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 249, 300), 0x000000u);
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 99, 300), 0x000000u);
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 199, 300), 0xFFFFFFu);
  Release(250, 100);
  Pump();
  EXPECT_EQ(G->Columns()->Items(1)->Width(), 150);
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 249, 300), 0xFFFFFFu);
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 99, 300), 0xFFFFFFu);
}

TEST_F(GridMouseTest, FixedSizeColumnShowsNoSizingCursorAndCannotBeSized) {
  Report(2, 3, TGridOptions{goHeader});
  TNxCustomColumn* A = G->Columns()->Items(0);
  A->SetOptions(A->Options() + coFixedSize);
  MoveTo(100, 8);
  EXPECT_NE(G->Cursor(), 3000);
  Drag(100, 8, 150, 8);
  EXPECT_EQ(A->Width(), 100);
}

TEST_F(GridMouseTest, RowSizedDownStopsAtEightPixels) {
  Report(2, 3, TGridOptions{goHeader, goIndicator, goRowResizing});
  // Row 0 spans 18 .. 34 (16 high): its border is at y 34.
  MoveTo(5, 34);
  EXPECT_EQ(G->Cursor(), 3003);
  MoveTo(5, 26);
  EXPECT_EQ(G->Cursor(), 3006);
  Press(5, 34);
  EXPECT_EQ(G->SizedRow(), 0);
  MoveTo(5, 20);
  EXPECT_EQ(G->RowGuide().Y, 18 + 8);
  Release(5, 20);
  EXPECT_EQ(G->GetRowHeight(0), 8);
  EXPECT_EQ(G->SizedRow(), -1);
  // An indicator press away from borders selects the row.
  Click(5, 18 + 8 + 10);
  EXPECT_EQ(G->SelectedRow(), 1);
}

// ---- Row moving -----------------------------------------------------------------------------------------

TEST_F(GridMouseTest, RowReleasedInTheLowerHalfOfRowFiveMovesThere) {
  MainWindowGrid(8);
  Click(300, SlideY(2));
  Log.clear();
  Drag(300, SlideY(2), 300, 5 * 90 + 70);
  EXPECT_EQ(Log, (std::vector<std::string>{"row move 2 5", "after row move 2 5"}));
  EXPECT_EQ(G->SelectedRow(), 5);
  EXPECT_EQ(G->Cells(1, 5), u"rCc1");
  EXPECT_FALSE(G->State().Contains(sfMovingRow));
  EXPECT_EQ(G->RowDragSource(), -1);
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(GridMouseTest, RowDroppedNextToItselfReportsEqualPositions) {
  MainWindowGrid(6);
  // From the lower half of the row above to the upper half of the row below.
  for (Integer Y : {1 * 90 + 70, 2 * 90 + 20, 2 * 90 + 70, 3 * 90 + 20}) {
    SCOPED_TRACE(Y);
    Log.clear();
    Drag(300, SlideY(2), 300, Y);
    EXPECT_EQ(Log, (std::vector<std::string>{"row move 2 2", "after row move 2 2"}));
    EXPECT_EQ(G->Cells(1, 2), u"rCc1");
  }
}

TEST_F(GridMouseTest, RefusedMoveLeavesTheRows) {
  MainWindowGrid(4);
  G->OnRowMove = [](TObject*, Integer, Integer, bool& Accept) { Accept = false; };
  Drag(300, SlideY(0), 300, 2 * 90 + 70);
  EXPECT_EQ(G->Cells(1, 0), u"rAc1");
  EXPECT_TRUE(Log.empty());
}

TEST_F(GridMouseTest, TheInsertionMarkIsDrawnAndErasedEverywhere) {
  Report(2, 4, TGridOptions{goHeader, goRowMoving, goSelectFullRow});
  G->Repaint();
  Pump();
  // Rows 16 high from y 18; row 1 pressed and carried below the last row.
  Press(50, 18 + 16 + 8);
  MoveTo(50, 18 + 16 + 20);
  ASSERT_TRUE(G->State().Contains(sfMovingRow));
  EXPECT_EQ(Screen->Cursor(), crDrag);
  MoveTo(50, 18 + 3 * 16 + 12);
  EXPECT_EQ(G->RowDropTarget(), 4);
  // The mark below the last row: arrows at both ends and the line between.
  const Integer Y = G->RowRect(4).Top - 1;
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 1, Y), 0x0000FFu);
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 100, Y), 0x0000FFu);
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 198, Y), 0x0000FFu);
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 100, Y + 1), 0xFFFFFFu);
  // Released outside every band: nothing moves and no red stays.
  MoveTo(50, 300);
  EXPECT_EQ(G->RowDropTarget(), -1);
  Release(50, 300);
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(G->Cells(0, 1), u"rBc0");
  EXPECT_EQ(RedPixels(), 0);
}

TEST_F(GridMouseTest, MarkBelowTheLastRowIsErasedAtTheRelease) {
  Report(2, 4, TGridOptions{goHeader, goRowMoving, goSelectFullRow});
  G->Repaint();
  Pump();
  Drag(50, 18 + 8, 50, 18 + 3 * 16 + 12);
  EXPECT_EQ(Log, (std::vector<std::string>{"row move 0 3", "after row move 0 3"}));
  EXPECT_EQ(G->SelectedRow(), 3);
  EXPECT_EQ(RedPixels(), 0);
}

TEST_F(GridMouseTest, TheMarkOfTheFileListSurvivesDoubleBuffering) {
  MainWindowGrid(5);
  G->Repaint();
  Pump();
  Press(300, SlideY(1));
  MoveTo(300, SlideY(1) + 20);
  // The lower half of row 3: the mark at the top of row 4's slide.
  MoveTo(300, 3 * 90 + 70);
  ASSERT_EQ(G->RowDropTarget(), 4);
  const Integer Y = G->SlideRect(4).Top - 1;
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 1, Y), 0x0000FFu);
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 300, Y), 0x0000FFu);
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), G->ClientWidth() - 2, Y), 0x0000FFu);
  // Below the last slide: no band, the mark goes.
  MoveTo(300, 600);
  EXPECT_EQ(RedPixels(), 0);
  Release(300, 600);
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(RedPixels(), 0);
}

TEST_F(GridMouseTest, TheMarkLeavesWithThePointerAndComesBackWithIt) {
  MainWindowGrid(5);
  G->Repaint();
  Pump();
  Press(300, SlideY(1));
  MoveTo(300, SlideY(1) + 20);
  MoveTo(300, 3 * 90 + 70);
  ASSERT_GT(RedPixels(), 0);
  G->Perform(CM_MOUSELEAVE, 0, 0);
  Pump();
  EXPECT_EQ(RedPixels(), 0);
  MoveTo(300, 3 * 90 + 71);
  EXPECT_GT(RedPixels(), 0);
  Release(300, 3 * 90 + 71);
  EXPECT_EQ(Log, (std::vector<std::string>{"row move 1 3", "after row move 1 3"}));
}

TEST_F(GridMouseTest, NoRowMoveWithoutRowMoving) {
  Report(2, 4, TGridOptions{goHeader, goSelectFullRow});
  Drag(50, 18 + 8, 50, 18 + 3 * 16 + 12);
  EXPECT_FALSE(G->State().Contains(sfMovingRow));
  EXPECT_EQ(G->Cells(0, 0), u"rAc0");
}

// ---- Body release and editing -----------------------------------------------------------------------------

TEST_F(GridMouseTest, SecondClickEditsOnlyAnAlreadySelectedCell) {
  Report(2, 3, TGridOptions{goHeader, goSecondClickEdit});
  Click(50, 18 + 8);
  EXPECT_EQ(Log, (std::vector<std::string>{"click 0 0"}));
  Log.clear();
  rtl::testing::AdvanceClock(1000);
  Click(50, 18 + 8);
  EXPECT_EQ(Log, (std::vector<std::string>{"click 0 0", "edit 0 0"}));
  // Without the option the first click edits.
  G->SetOptions(TGridOptions{goHeader});
  Log.clear();
  rtl::testing::AdvanceClock(1000);
  Click(150, 18 + 16 + 8);
  EXPECT_EQ(Log, (std::vector<std::string>{"click 1 1", "edit 1 1"}));
}

TEST_F(GridMouseTest, ReleaseBelowTheLastRowAfterAMultiSelectionDeselectsAll) {
  Report(2, 4, TGridOptions{goHeader, goMultiSelect, goSelectFullRow});
  Click(50, 18 + 8);
  Click(50, 18 + 16 * 2 + 8, {ssCtrl});
  ASSERT_EQ(SelectedRows(), Rows({0, 2}));
  rtl::testing::AdvanceClock(1000);
  Click(50, 300);
  EXPECT_EQ(SelectedRows(), Rows({}));
}

// ---- Hints -------------------------------------------------------------------------------------------------

TEST_F(GridMouseTest, FitHintShowsWithApplicationHintsOffOtherHintsDoNot) {
  Report(2, 3, TGridOptions{goHeader, goFooter});
  TNxCustomColumn* A = G->Columns()->Items(0);
  A->SetOptions(A->Options() + coShowTextFitHint);
  G->SetCellsText(0, 1, u"a text far too long for a column of a hundred pixels");
  A->Header()->SetHint(u"header hint");
  A->Footer()->SetHint(u"footer hint");
  G->OnCellHint = [](TObject*, Integer C, Integer, WideString& V) {
    if (C == 1) V = u"cell hint";
  };
  const bool Saved = Application->ShowHint();
  Application->SetShowHint(false);
  MoveTo(50, 18 + 16 + 8);
  EXPECT_EQ(G->HintKind(), 3);
  ASSERT_NE(G->GridHintWindow(), nullptr);
  EXPECT_TRUE(G->GridHintWindow()->HandleAllocated() && IsWindowVisible(G->GridHintWindow()->Handle()));
  // The hint covers the cell from its top-left corner.
  RECT R;
  GetWindowRect(G->GridHintWindow()->Handle(), &R);
  EXPECT_EQ(R.Left, At(0, 0).X);
  EXPECT_EQ(R.Top, At(0, 18 + 16).Y);
  // Header, footer and cell hints stay away without application hints.
  MoveTo(50, 8);
  EXPECT_FALSE(G->GridHintWindow()->HandleAllocated());
  MoveTo(50, G->FooterRect().Top + 5);
  EXPECT_FALSE(G->GridHintWindow()->HandleAllocated());
  MoveTo(150, 18 + 8);
  EXPECT_FALSE(G->GridHintWindow()->HandleAllocated());
  // With them, the header hint shows below the header.
  Application->SetShowHint(true);
  MoveTo(50, 8);
  EXPECT_EQ(G->HintKind(), 2);
  EXPECT_EQ(G->HintColumn(), A);
  ASSERT_TRUE(G->GridHintWindow()->HandleAllocated());
  GetWindowRect(G->GridHintWindow()->Handle(), &R);
  EXPECT_EQ(R.Top, At(0, 18 + 2).Y);
  MoveTo(150, 18 + 8);
  EXPECT_EQ(G->HintKind(), 4);
  Application->SetShowHint(Saved);
}

TEST_F(GridMouseTest, NoHintWhileTheFormIsInactive) {
  Report(2, 3, TGridOptions{goHeader});
  TNxCustomColumn* A = G->Columns()->Items(0);
  A->SetOptions(A->Options() + coShowTextFitHint);
  G->SetCellsText(0, 1, u"a text far too long for a column of a hundred pixels");
  TForm* Other = TCustomForm::Create<TForm>(nullptr);
  Other->SetBounds(900, 100, 200, 200);
  Other->Show();
  Pump();
  ASSERT_EQ(Screen->ActiveForm(), Other);
  MoveTo(50, 18 + 16 + 8);
  EXPECT_TRUE(!G->GridHintWindow() || !G->GridHintWindow()->HandleAllocated());
  Other->Free();
  Pump();
}

TEST_F(GridMouseTest, AShortTextNeedsNoFitHint) {
  Report(2, 3, TGridOptions{goHeader});
  TNxCustomColumn* A = G->Columns()->Items(0);
  A->SetOptions(A->Options() + coShowTextFitHint);
  EXPECT_TRUE(G->CellTextFits(0, 1));
  G->SetCellsText(0, 1, u"a text far too long for a column of a hundred pixels");
  EXPECT_FALSE(G->CellTextFits(0, 1));
  MoveTo(50, 18 + 8);
  EXPECT_EQ(G->HintKind(), 0);
}

// ---- Wheel -------------------------------------------------------------------------------------------------

TEST_F(GridMouseTest, WheelScrollsRowsButNotWhileEditing) {
  Report(2, 60, TGridOptions{goHeader});
  rtl::testing::InjectWheel(At(50, 100), -120);
  Pump();
  EXPECT_EQ(G->VertScrollBar()->Position(), 1);
  EXPECT_EQ(G->TopRow(), 1);
  rtl::testing::InjectWheel(At(50, 100), 120);
  Pump();
  EXPECT_EQ(G->VertScrollBar()->Position(), 0);
  G->SetEditingState(true);
  rtl::testing::InjectWheel(At(50, 100), -120);
  Pump();
  EXPECT_EQ(G->VertScrollBar()->Position(), 0);
  G->SetEditingState(false);
  // With the wheel switched off only the wheel events run.
  G->SetMouseWheelEnabled(false);
  rtl::testing::InjectWheel(At(50, 100), -120);
  Pump();
  EXPECT_EQ(G->VertScrollBar()->Position(), 0);
}

TEST_F(GridMouseTest, WheelNeverScrollsTheSlidesViewHorizontally) {
  MainWindowGrid(2);
  G->HorzScrollBar()->SetMax(500);
  rtl::testing::InjectWheel(At(50, 100), -120);
  Pump();
  rtl::testing::InjectWheel(At(50, 100), 120);
  Pump();
  EXPECT_EQ(G->HorzScrollBar()->Position(), 0);
}

TEST_F(GridMouseTest, WheelScrollsAReportHorizontallyWhenNothingScrollsDown) {
  Report(8, 2, TGridOptions{goHeader});
  ASSERT_GT(G->HorzScrollBar()->Max(), 0);
  rtl::testing::InjectWheel(At(50, 100), -120);
  Pump();
  EXPECT_EQ(G->HorzScrollBar()->Position(), G->HorzScrollBar()->SmallStep());
}

// ---- Cursors, hooks and hint places ---------------------------------------------------------------

TEST_F(GridMouseTest, CursorsPerArea) {
  Report(2, 2, TGridOptions{goHeader, goIndicator});
  G->Columns()->Items(1)->SetCursor(crHandPoint);
  const struct TCase {
    Integer X, Y;
    TCursor Want;
  } Cases[] = {
      {162, 18 + 8, crHandPoint},   // a cell of column 1
      {50, 18 + 8, crDefault},      // a cell of column 0
      {112, 8, 3000},               // the border of column 0 in the header
      {60, 8, crDefault},           // a header away from borders
      {5, 18 + 8, 3006},            // a row in the indicator
      {5, 200, crDefault},          // the indicator below the last row
      {400, 200, crDefault},        // no area
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::to_string(C.X) + "," + std::to_string(C.Y));
    MoveTo(C.X, C.Y);
    EXPECT_EQ(G->Cursor(), C.Want);
  }
  // The cell under the pointer, kept for the next move.
  MoveTo(162, 18 + 16 + 8);
  EXPECT_EQ(G->MouseCell(), TPoint(1, 1));
  EXPECT_EQ(G->HoverCell(), TPoint(1, 1));
}

TEST_F(GridMouseTest, PressesCloseTheEditorAndReachTheInputLine) {
  Report(2, 2, TGridOptions{goHeader, goInput});
  // The input line lies under the header; the body starts below it.
  const Integer BodyTop = G->BodyRect().Top;
  G->SetEditingState(true);
  Click(50, BodyTop + 8);
  G->SetEditingState(false);
  EXPECT_EQ(G->Hooks, (std::vector<std::string>{"apply", "input line off"}));
  G->Hooks.clear();
  Click(150, 18 + 5);
  EXPECT_EQ(G->Hooks, (std::vector<std::string>{"edit input 1"}));
  G->Hooks.clear();
  // Outside every area.
  Click(400, 300);
  EXPECT_EQ(G->Hooks, (std::vector<std::string>{"apply", "outside"}));
}

TEST_F(GridMouseTest, HintPlaces) {
  Report(2, 3, TGridOptions{goHeader, goFooter});
  // Small enough that no hint needs to keep on the desktop.
  G->SetHeight(300);
  Pump();
  TNxCustomColumn* B = G->Columns()->Items(1);
  B->Footer()->SetHint(u"footer hint");
  G->OnCellHint = [](TObject*, Integer C, Integer, WideString& V) {
    if (C == 0) V = u"cell hint";
  };
  auto HintTopLeft = [&] {
    RECT R{};
    GetWindowRect(G->GridHintWindow()->Handle(), &R);
    return TPoint(R.Left, R.Top);
  };
  // The footer hint just below the control, at the column's left.
  MoveTo(150, G->FooterRect().Top + 5);
  ASSERT_EQ(G->HintKind(), 1);
  EXPECT_EQ(G->FooterHintColumn(), B);
  EXPECT_EQ(HintTopLeft(), TPoint(At(100, 0).X, At(0, G->ClientHeight() + 2).Y));
  // The cell hint right of the cell, 20 pixels above its top.
  MoveTo(50, 18 + 16 + 8);
  ASSERT_EQ(G->HintKind(), 4);
  EXPECT_EQ(HintTopLeft(), TPoint(At(100, 0).X, At(0, 18 + 16 - 20).Y));
  // Leaving the body hides it.
  MoveTo(400, 300);
  EXPECT_FALSE(G->GridHintWindow()->HandleAllocated());
}

TEST_F(GridMouseTest, CtrlWheelPages) {
  Report(2, 300, TGridOptions{goHeader});
  Keys({ssCtrl}, true);
  rtl::testing::InjectWheel(At(50, 100), -120);
  Keys({ssCtrl}, false);
  Pump();
  EXPECT_EQ(G->VertScrollBar()->Position(), G->VertScrollBar()->LargeStep());
}

TEST_F(GridMouseTest, FocusLossWhileSizingTakesTheGuidesAway) {
  Report(2, 3, TGridOptions{goHeader});
  auto* Other = Place<TMouseTestGrid>(610, 0, 50, 50);
  G->Repaint();
  Pump();
  Press(199, 8);
  MoveTo(250, 100);
  ASSERT_EQ(rtl::testing::WindowPixel(G->Handle(), 249, 300), 0x000000u);
  Other->SetFocus();
  Pump();
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 249, 300), 0xFFFFFFu);
  EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 99, 300), 0xFFFFFFu);
  EXPECT_EQ(G->SizedColumn(), nullptr);
  Release(250, 100);
  EXPECT_EQ(G->Columns()->Items(1)->Width(), 100);
}

TEST_F(GridMouseTest, HotHeaderFollowsThePointerAndAPressTakesTheFocus) {
  Report(2, 2, TGridOptions{goHeader});
  auto* Other = Place<TMouseTestGrid>(610, 0, 50, 50);
  Other->SetFocus();
  Pump();
  MoveTo(50, 8);
  EXPECT_EQ(G->HotColumn(), G->Columns()->Items(0));
  MoveTo(150, 8);
  EXPECT_EQ(G->HotColumn(), G->Columns()->Items(1));
  MoveTo(150, 100);
  EXPECT_EQ(G->HotColumn(), nullptr);
  EXPECT_NE(GetFocus(), G->Handle());
  Click(150, 18 + 5);
  EXPECT_EQ(GetFocus(), G->Handle());
}

// ---- Focus loss and deactivation ----------------------------------------------------------------------------

TEST_F(GridMouseTest, FocusLossDropsTheMouseOperations) {
  Report(2, 4, TGridOptions{goHeader, goRowMoving, goSelectFullRow});
  auto* Other = Place<TMouseTestGrid>(610, 0, 50, 50);
  Press(50, 18 + 8);
  MoveTo(50, 18 + 16 * 2 + 12);
  ASSERT_TRUE(G->State().Contains(sfMovingRow));
  Other->SetFocus();
  Pump();
  EXPECT_FALSE(G->State().Contains(sfMovingRow));
  EXPECT_EQ(G->RowDragSource(), -1);
  Release(50, 18 + 16 * 2 + 12);
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(G->Cells(0, 0), u"rAc0");
}

TEST_F(GridMouseTest, DeactivationDropsAHeldHeader) {
  Report(2, 3, TGridOptions{goHeader});
  Press(50, 8);
  ASSERT_EQ(G->PressedColumn(), G->Columns()->Items(0));
  rtl::testing::SetApplicationActive(false);
  Pump();
  EXPECT_EQ(G->PressedColumn(), nullptr);
  EXPECT_EQ(G->DraggedColumn(), nullptr);
  EXPECT_EQ(G->PressPoint().X, -1);
  EXPECT_EQ(G->PressCell().X, -1);
  rtl::testing::SetApplicationActive(true);
  Pump();
  Release(50, 8);
  EXPECT_TRUE(Log.empty());
  EXPECT_FALSE(G->Columns()->Items(0)->Sorted());
}

// ---- The main road ---------------------------------------------------------------------------------------

TEST_F(GridMouseTest, MainRoadOnTheFileList) {
  MainWindowGrid(12);
  Click(300, SlideY(0));
  Click(300, SlideY(2), {ssShift});
  EXPECT_EQ(G->SelectedCount(), 3);
  Click(300, SlideY(4), {ssCtrl});
  EXPECT_EQ(G->SelectedCount(), 4);
  rtl::testing::AdvanceClock(1000);
  Click(300, SlideY(0));
  ASSERT_EQ(G->SelectedCount(), 1);
  Log.clear();
  // Row 0 dragged below row 2.
  Drag(300, SlideY(0), 300, 2 * 90 + 70);
  EXPECT_EQ(Log, (std::vector<std::string>{"row move 0 2", "after row move 0 2"}));
  EXPECT_EQ(G->SelectedRow(), 2);
  EXPECT_EQ(G->Cells(1, 2), u"rAc1");
}

TEST_F(GridMouseTest, ContextMenuWithItsOwnLoopSeesThePressedRow) {
  MainWindowGrid(12);
  Click(300, SlideY(1));
  Integer Seen = -2;
  G->OnMouseDown = [&](TObject*, TMouseButton Button, TShiftState, Integer, Integer) {
    if (Button != mbRight) return;
    Seen = G->SelectedRow();
    // A menu's own loop runs here.
    Application->ProcessMessages();
  };
  Click(300, SlideY(3), {}, ibRight);
  EXPECT_EQ(Seen, 3);
  EXPECT_EQ(SelectedRows(), Rows({3}));
}

TEST_F(GridMouseTest, AHandlerThatDeletesRowsDuringTheRightPressCausesNoError) {
  MainWindowGrid(5);
  G->OnMouseDown = [&](TObject*, TMouseButton Button, TShiftState, Integer, Integer) {
    if (Button != mbRight) return;
    // The menu's Remove All.
    G->ClearRows();
  };
  EXPECT_NO_THROW(Click(300, SlideY(4), {}, ibRight));
  EXPECT_EQ(G->RowCount(), 0);
  EXPECT_EQ(G->SelectedRow(), -1);
  EXPECT_NO_THROW(MoveTo(300, SlideY(2)));
}

TEST_F(GridMouseTest, AHandlerThatFreesTheGridDuringThePressIsSurvived) {
  MainWindowGrid(3);
  // Freeing the grid frees this handler too, so it touches nothing after.
  G->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) {
    TNxGrid* Doomed = G;
    G = nullptr;
    delete Doomed;
  };
  EXPECT_NO_THROW(Click(300, SlideY(1)));
  EXPECT_EQ(G, nullptr);
}

TEST_F(GridMouseTest, CancelledFrameworkDragReselectsTheSelectedRowAlone) {
  MainWindowGrid(5);
  Click(300, SlideY(1));
  Click(300, SlideY(3), {ssCtrl});
  ASSERT_EQ(SelectedRows(), Rows({1, 3}));
  // A drag of the framework starts from the mouse-down event.
  G->OnMouseDown = [&](TObject*, TMouseButton Button, TShiftState, Integer, Integer) {
    if (Button == mbLeft) G->BeginDrag(true);
  };
  rtl::testing::AdvanceClock(1000);
  Press(300, SlideY(1));
  EXPECT_EQ(SelectedRows(), Rows({1, 3}));
  EXPECT_TRUE(G->ReselectOnCancel());
  rtl::testing::InjectKeyPress(VK_ESCAPE);
  Pump();
  Release(300, SlideY(1));
  EXPECT_FALSE(G->ReselectOnCancel());
  EXPECT_EQ(SelectedRows(), Rows({1}));
}

}  // namespace
