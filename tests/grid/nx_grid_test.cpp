#include "grid/nx_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/nx_column_classes.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/testing/user_testing.h"
#include "platform/win/user/user_keys.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_sysinfo.h"

namespace {

std::string Str(const TRect& R) {
  return std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) + "," +
         std::to_string(R.Bottom);
}

// A grid on a shown form, sized so that its client is exactly W x H (the
// grid has no border), with a log of its data, selection and change events.
class GridTest : public ::testing::Test {
 protected:
  TForm* Form = nullptr;
  TNxGrid* G = nullptr;
  std::vector<std::string> Log;

  void Make(Integer W = 400, Integer H = 300) {
    Form = TCustomForm::Create<TForm>(nullptr);
    Form->SetBounds(50, 50, W + 100, H + 100);
    G = new TNxGrid(Form);
    G->SetBorderStyle(bsNone);
    G->SetBounds(0, 0, W, H);
    G->SetParent(Form);
    Form->Show();
    Pump();
    G->OnDataChange = [this](TObject*, TDataChange K, Integer I) {
      Log.push_back("data " + std::to_string(static_cast<int>(K)) + " " + std::to_string(I));
    };
    G->OnDeselectCell = [this](TObject*, Integer C, Integer R) {
      Log.push_back("deselect " + std::to_string(C) + " " + std::to_string(R));
    };
    G->OnChange = [this](TObject*, Integer C, Integer R) {
      Log.push_back("change " + std::to_string(C) + " " + std::to_string(R));
    };
  }
  void TearDown() override {
    if (Form) Form->Free();
    Pump();
  }
  static void Pump() { Application->ProcessMessages(); }
  TNxTextColumn* AddColumn(Integer Width = 80) {
    auto* C = new TNxTextColumn(Form);
    C->SetWidth(Width);
    G->Columns()->Add(C);
    return C;
  }
  // The main window's list: slides of 90, six columns, multi-selection,
  // row moving, full-row selection, read-only, no header.
  void MainWindowGrid(Integer W = 700, Integer H = 500) {
    Make(W, H);
    G->SetGridStyle(gsSlides);
    G->SetSlideSize(90);
    G->SetOptions(TGridOptions{goMultiSelect, goRowMoving, goSelectFullRow});
    G->SetReadOnly(true);
    for (int i = 0; i < 6; ++i) AddColumn(100);
    Log.clear();
  }
};

// ---- Grid-line widths -------------------------------------------------------------------------

TEST_F(GridTest, GridLineWidthsFollowOptionsAndStyle) {
  struct TCase {
    bool Grid;
    TGridLinesStyle Style;
    bool ThreeD;
    TGridLineWidths Want;  // Left, Top, Right, Bottom, RowGap
  } Cases[] = {
      {false, lsNormal, true, {0, 0, 0, 0, 0}},
      {true, lsNormal, false, {0, 0, 1, 1, 1}},
      {true, lsNormal, true, {1, 1, 1, 1, 2}},
      {true, lsVerticalOnly, true, {1, 0, 1, 0, 0}},
      {true, lsHorizontalOnly, false, {0, 0, 0, 1, 1}},
      {true, lsActiveHorzOnly, true, {0, 1, 0, 1, 2}},
      {true, lsFramed, false, {0, 0, 1, 1, 1}},
  };
  Make();
  for (const auto& C : Cases) {
    G->SetOptions(C.Grid ? TGridOptions{goHeader, goGrid} : TGridOptions{goHeader});
    G->SetGridLinesStyle(C.Style);
    G->SetAppearanceOptions(C.ThreeD ? TAppearanceOptions{ao3DGridLines} : TAppearanceOptions{});
    const TGridLineWidths& L = G->GridLineWidths();
    SCOPED_TRACE(std::to_string(C.Grid) + " style " + std::to_string(static_cast<int>(C.Style)));
    EXPECT_EQ(L.LeftLine, C.Want.LeftLine);
    EXPECT_EQ(L.TopLine, C.Want.TopLine);
    EXPECT_EQ(L.RightLine, C.Want.RightLine);
    EXPECT_EQ(L.BottomLine, C.Want.BottomLine);
    EXPECT_EQ(L.RowGap, C.Want.RowGap);
  }
}

TEST_F(GridTest, DefaultsAndFixedVersion) {
  Make();
  EXPECT_EQ(G->Version(), u"5.9.5");
  G->SetVersion(u"1.0");
  EXPECT_EQ(G->Version(), u"5.9.5");
  EXPECT_EQ(G->SelectedRow(), -1);
  EXPECT_EQ(G->EditCol(), -1);
  EXPECT_EQ(G->SelectionAnchor(), -1);
  EXPECT_EQ(G->RowSize(), 16);
  EXPECT_EQ(G->SlideSize(), 80);
  EXPECT_TRUE(G->Options() == TGridOptions{goHeader});
  // An empty grid has no visible range.
  EXPECT_EQ(G->FirstVisibleRow(), -1);
  EXPECT_EQ(G->LastVisibleRow(), -1);
}

// ---- Areas ----------------------------------------------------------------------------------------

TEST_F(GridTest, ReportAreasWithEveryPart) {
  Make(400, 300);
  AddColumn(100);
  AddColumn(150);
  G->SetOptions(TGridOptions{goHeader, goInput, goFooter, goIndicator, goGrid});
  EXPECT_EQ(Str(G->HeaderRect()), "12,0,262,18");
  EXPECT_EQ(Str(G->InputLineRect()), "12,18,262,41");
  EXPECT_EQ(Str(G->BodyRect()), "12,41,262,277");
  EXPECT_EQ(Str(G->FooterRect()), "12,277,262,300");
  EXPECT_EQ(Str(G->IndicatorRect()), "0,0,12,300");
  EXPECT_EQ(Str(G->InputCellRect(1)), "112,18,262,34");
  // Columns offset by the indicator; the second column's cell in row 0.
  EXPECT_EQ(Str(G->GetCellRect(1, 0)), "112,41,262,57");
  EXPECT_EQ(G->AreaAtPoint(TPoint(50, 5)), gaHeader);
  EXPECT_EQ(G->AreaAtPoint(TPoint(50, 30)), gaInputLine);
  EXPECT_EQ(G->AreaAtPoint(TPoint(50, 100)), gaBody);
  EXPECT_EQ(G->AreaAtPoint(TPoint(50, 290)), gaFooter);
  EXPECT_EQ(G->AreaAtPoint(TPoint(5, 100)), gaIndicator);
  EXPECT_EQ(G->AreaAtPoint(TPoint(350, 100)), gaNone);
}

TEST_F(GridTest, ReportAreasScrolledRight) {
  Make(400, 300);
  AddColumn(300);
  AddColumn(250);
  G->SetOptions(TGridOptions{goHeader, goInput, goFooter, goIndicator, goGrid});
  ASSERT_TRUE(G->HorzScrollBar()->Visible());
  G->HorzScrollBar()->SetPosition(40);
  EXPECT_EQ(Str(G->HeaderRect()), "12,0,522,18");
  // The bar takes 17 pixels of the client height.
  ASSERT_EQ(G->ClientHeight(), 300 - GetSystemMetrics(SM_CYHSCROLL));
  EXPECT_EQ(Str(G->BodyRect()), "12,41,400," + std::to_string(G->ClientHeight() - 23));
  EXPECT_EQ(Str(G->GetCellRect(0, 0)), "-28,41,272,57");
  EXPECT_EQ(G->ColumnAtX(271)->Index(), 0);
  EXPECT_EQ(G->ColumnAtX(275)->Index(), 1);
}

TEST_F(GridTest, MainWindowSlidesLayout) {
  MainWindowGrid();
  for (int i = 0; i < 200; ++i) {
    G->AddRow(1);
    for (int c = 0; c < 5; ++c) G->Cell(c, G->LastAddedRow())->SetAsString(u"x");
  }
  EXPECT_EQ(G->RowCount(), 200);
  // Widen the control so that its client beside the vertical bar is 700.
  G->SetWidth(G->Width() + 700 - G->ClientWidth());
  ASSERT_EQ(G->ClientWidth(), 700);
  EXPECT_EQ(Str(G->BodyRect()), "0,0,700,500");
  EXPECT_EQ(Str(G->SlideRect(0)), "0,0,700,90");
  EXPECT_EQ(Str(G->SlideRect(1)), "0,90,700,180");
  EXPECT_EQ(Str(G->SlideRect(2)), "0,180,700,270");
  EXPECT_EQ(G->VertScrollBar()->Max(), 200);
  EXPECT_EQ(G->VertScrollBar()->PageSize(), 6);
  EXPECT_FALSE(G->HorzScrollBar()->Visible());
  EXPECT_EQ(G->SelectedRow(), -1);
}

// ---- Stacking ------------------------------------------------------------------------------------

TEST_F(GridTest, StackingSkipsHiddenAndCollapsedRows) {
  Make(400, 300);  // header 18, body 282 high
  AddColumn(100);
  G->AddRow(10);
  G->SetRowVisible(2, false);
  G->AddChildRow(4);  // row 5 is 4's child
  G->SetExpanded(4, false);
  EXPECT_EQ(G->RowTop(0), 18);
  EXPECT_EQ(G->RowTop(3), 18 + 2 * 16);
  EXPECT_EQ(G->RowTop(6), 18 + 4 * 16);  // rows 2 and 5 take no space
  EXPECT_EQ(G->SlideTop(3), 18 + 2 * 80);
  // 282 / 16: 17 whole rows fit, 9 of the 11 rows are visible.
  EXPECT_EQ(G->PageRowCount(false), 9);
  EXPECT_EQ(G->LastWholeRow(), 10);
  EXPECT_EQ(G->RowBelowTop(3), 3);
  EXPECT_EQ(G->CountVisibleRowsBetween(0, 6), 4);
  G->VertScrollBar()->SetPosition(0);
}

TEST_F(GridTest, PageRowCountCountsAboveTopWhenAsked) {
  Make(400, 18 + 5 * 16);  // five rows fit
  AddColumn(100);
  G->AddRow(8);
  EXPECT_EQ(G->PageRowCount(false), 5);
  G->VertScrollBar()->SetPosition(G->VertScrollBar()->Max());
  const Integer Top = G->TopRow();
  ASSERT_GT(Top, 0);
  const Integer Left = 8 - Top;
  EXPECT_EQ(G->PageRowCount(false), Left);
  EXPECT_EQ(G->PageRowCount(true), 5);
}

// ---- Scroll bars ----------------------------------------------------------------------------------

TEST_F(GridTest, OneRowNeverShowsTheVerticalBar) {
  for (Integer H : {20, 40, 300}) {
    Make(400, H);
    AddColumn(100);
    G->SetRowSize(30);
    G->AddRow(1);
    EXPECT_FALSE(G->VertScrollBar()->Visible()) << H;
    Form->Free();
    Form = nullptr;
    Pump();
  }
}

TEST_F(GridTest, ScrollIntoViewBelowAndAbove) {
  Make(400, 18 + 10 * 16);
  AddColumn(100);
  G->AddRow(50);
  G->ScrollIntoView(20);
  EXPECT_EQ(G->LastWholeRow(), 20);
  EXPECT_EQ(G->TopRow(), 11);
  EXPECT_EQ(G->VertScrollBar()->Position(), 11);
  G->ScrollIntoView(3);
  EXPECT_EQ(G->TopRow(), 3);
  EXPECT_EQ(G->VertScrollBar()->Position(), 3);
  G->ScrollIntoView(99);  // not a row: nothing
  EXPECT_EQ(G->TopRow(), 3);
}

TEST_F(GridTest, HorizontalBarStepsAndSlidesHideIt) {
  Make(400, 300);
  AddColumn(300);
  AddColumn(300);
  EXPECT_TRUE(G->HorzScrollBar()->Visible());
  EXPECT_EQ(G->HorzScrollBar()->Max(), 600);
  EXPECT_EQ(G->HorzScrollBar()->PageSize(), 401);
  EXPECT_EQ(G->HorzScrollBar()->SmallStep(), 5);
  G->SetGridStyle(gsSlides);
  EXPECT_FALSE(G->HorzScrollBar()->Visible());
}

// ---- Hit tests ---------------------------------------------------------------------------------------

TEST_F(GridTest, ColumnBorderAtX) {
  Make();
  auto* A = AddColumn(100);
  auto* B = AddColumn(100);
  const Integer E = 100;
  EXPECT_EQ(G->ColumnBorderAtX(E - 3), A);
  EXPECT_EQ(G->ColumnBorderAtX(E + 2), A);
  EXPECT_EQ(G->ColumnBorderAtX(E - 4), nullptr);
  EXPECT_EQ(G->ColumnBorderAtX(E + 3), nullptr);
  A->SetOptions(A->Options() + coFixedSize);
  EXPECT_EQ(G->ColumnBorderAtX(E), nullptr);
  EXPECT_EQ(G->ColumnBorderAtX(200), B);
}

TEST_F(GridTest, RowAndDropRowHitTests) {
  Make(400, 300);
  AddColumn(100);
  G->SetOptions(TGridOptions{goHeader, goIndicator});
  G->AddRow(3);
  // Rows at 18, 34, 50; the third ends at 66.
  EXPECT_EQ(G->RowAtY(50, 20), 0);
  EXPECT_EQ(G->RowAtY(50, 40), 1);
  EXPECT_EQ(G->RowAtY(50, 100), -1);  // below the last row
  EXPECT_EQ(G->RowAtY(50, 10), -1);   // header
  EXPECT_EQ(G->RowBorderAtY(5, 33), 0);
  EXPECT_EQ(G->RowBorderAtY(13, 33), -1);
  EXPECT_EQ(G->DropRowAtY(20), 0);
  EXPECT_EQ(G->DropRowAtY(30), 1);
  EXPECT_EQ(G->DropRowAtY(60), 3);  // lower half of the last row: to the end
  EXPECT_EQ(G->DropRowAtY(70), -1);
  EXPECT_EQ(G->DropRowAtY(5), -1);
}

TEST_F(GridTest, SlidesCellAtPointOutsideEveryColumn) {
  MainWindowGrid();
  G->AddRow(3);
  auto* C = G->Columns()->Items(0);
  C->SlideBounds()->SetLeft(10);
  C->SlideBounds()->SetTop(10);
  EXPECT_EQ(G->CellAtPoint(12, 90 + 12), TPoint(0, 1));
  EXPECT_EQ(G->CellAtPoint(600, 90 + 60), TPoint(-1, 1));
  EXPECT_EQ(G->AreaAtPoint(TPoint(5, 5)), gaBody);
}

// ---- Row operations ----------------------------------------------------------------------------------

TEST_F(GridTest, AddRowZeroDoesNothing) {
  Make();
  AddColumn();
  G->AddRow(2);
  Log.clear();
  EXPECT_EQ(G->AddRow(0), 1);
  EXPECT_TRUE(Log.empty());
}

TEST_F(GridTest, AddRowWritesDefaultValuesAndReportsOnce) {
  Make();
  AddColumn()->SetDefaultValue(u"a");
  AddColumn();
  AddColumn()->SetDefaultValue(u"c");
  G->SetOptions(G->Options() + goUseDefaultValues);
  Log.clear();
  EXPECT_EQ(G->AddRow(3), 2);
  int DataEvents = 0;
  for (auto& L : Log) DataEvents += L.rfind("data", 0) == 0;
  EXPECT_EQ(DataEvents, 1);
  EXPECT_EQ(Log.back(), "data 2 2");
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(G->Cells(0, r), u"a");
    EXPECT_EQ(G->Cells(1, r), u"");
    EXPECT_EQ(G->Cells(2, r), u"c");
  }
  EXPECT_EQ(G->FirstVisibleRow(), 0);
  EXPECT_EQ(G->LastVisibleRow(), 2);
}

TEST_F(GridTest, OutOfBoundsAccessRaisesAndChangesNothing) {
  Make();
  for (int i = 0; i < 5; ++i) AddColumn();
  G->AddRow(1);
  try {
    G->Cells(5, 0);
    FAIL();
  } catch (const Exception& E) {
    EXPECT_STREQ(E.Message().c_str(), "Cell out of bounds (5, 0)");
  }
  EXPECT_THROW(G->SetCellsText(0, 1, u"x"), Exception);
  EXPECT_THROW(G->DeleteRow(1), EListError);
  EXPECT_THROW(G->MoveRow(0, 3), EListError);
  EXPECT_THROW(G->ExchangeRows(-1, 0), EListError);
  EXPECT_THROW(G->SetRowHeight(4, 20), EListError);
  EXPECT_THROW(G->Expanded(7), EListError);
  EXPECT_THROW(G->Cell(0, 9), EListError);
  EXPECT_EQ(G->RowCount(), 1);
  G->SetSelected(5, true);
  G->SetSelectedRow(5);
  EXPECT_EQ(G->SelectedRow(), -1);
  EXPECT_EQ(G->SelectedCount(), 0);
}

TEST_F(GridTest, DeletingTheSelectedLastRowSelectsTheNewLast) {
  Make();
  AddColumn();
  G->AddRow(3);
  G->SetSelectedRow(2);
  Log.clear();
  G->DeleteRow(2);
  EXPECT_EQ(Log, (std::vector<std::string>{"deselect 0 2", "data 6 2"}));
  EXPECT_EQ(G->SelectedRow(), 1);
  EXPECT_EQ(G->LastVisibleRow(), 1);
}

TEST_F(GridTest, DeletingTheOnlyRowEmptiesTheRange) {
  Make();
  AddColumn();
  G->AddRow(1);
  G->SetSelectedRow(0);
  G->DeleteRow(0);
  EXPECT_EQ(G->SelectedRow(), -1);
  EXPECT_EQ(G->FirstVisibleRow(), -1);
  EXPECT_EQ(G->LastVisibleRow(), -1);
  EXPECT_EQ(G->LastAddedRow(), -1);
}

TEST_F(GridTest, DeletingARowAboveKeepsTheSelectedIndex) {
  Make();
  AddColumn();
  G->AddRow(5);
  G->SetSelectedRow(2);
  G->DeleteRow(0);
  EXPECT_EQ(G->SelectedRow(), 2);
}

TEST_F(GridTest, InsertRowMovesTheSelection) {
  Make();
  AddColumn();
  G->AddRow(5);
  G->SetSelectedRow(3);
  Log.clear();
  G->InsertRow(0, 2);
  EXPECT_EQ(G->SelectedRow(), 5);
  EXPECT_EQ(Log.back(), "data 4 0");
  EXPECT_EQ(G->LastVisibleRow(), 6);
  G->SetSelectedRow(-1);
  G->InsertRow(0, 2);
  EXPECT_EQ(G->SelectedRow(), -1);
}

TEST_F(GridTest, InsertRowOnAnEmptyGridGivesTheRange) {
  Make();
  AddColumn();
  G->InsertRow(0, 3);
  EXPECT_EQ(G->FirstVisibleRow(), 0);
  EXPECT_EQ(G->LastVisibleRow(), 2);
  EXPECT_EQ(G->LastAddedRow(), 0);
}

TEST_F(GridTest, MoveRowToItselfOnlyInvalidates) {
  Make();
  AddColumn();
  G->AddRow(4);
  G->Cell(0, 2)->SetAsString(u"two");
  Pump();
  Log.clear();
  G->MoveRow(2, 2);
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(G->Cells(0, 2), u"two");
  RECT U;
  EXPECT_TRUE(GetUpdateRect(G->Handle(), &U, FALSE));
  G->MoveRow(2, 0);
  EXPECT_EQ(G->Cells(0, 0), u"two");
}

TEST_F(GridTest, CollapsingTheSubtreeHoldingTheLastVisibleRow) {
  Make();
  AddColumn();
  G->AddRow(2);
  G->AddChildRow(1);
  G->AddChildRow(1);
  ASSERT_EQ(G->LastVisibleRow(), 3);
  G->SetExpanded(1, false);
  EXPECT_EQ(G->LastVisibleRow(), 1);
  G->SetExpanded(1, true);
  EXPECT_EQ(G->LastVisibleRow(), 3);
}

TEST_F(GridTest, ShowingACollapsedRowChangesNothing) {
  Make();
  AddColumn();
  G->AddRow(1);
  G->AddChildRow(0);
  G->SetExpanded(0, false);
  G->SetRowVisible(1, true);  // Visible already, only not Shown
  EXPECT_FALSE(G->GetRowVisible(1));
  EXPECT_EQ(G->LastVisibleRow(), 0);
}

TEST_F(GridTest, ClearRowsResetsTheView) {
  Make(400, 18 + 5 * 16);
  AddColumn();
  G->AddRow(30);
  G->SetSelectedRow(20);
  G->ScrollIntoView(20);
  Log.clear();
  G->ClearRows();
  EXPECT_EQ(Log, (std::vector<std::string>{"data 7 -1"}));
  EXPECT_EQ(G->TopRow(), 0);
  EXPECT_EQ(G->SelectedRow(), -1);
  EXPECT_EQ(G->FirstVisibleRow(), -1);
  EXPECT_EQ(G->LastVisibleRow(), -1);
  EXPECT_EQ(G->VertScrollBar()->Position(), 0);
  EXPECT_FALSE(G->VertScrollBar()->Visible());
}

TEST_F(GridTest, DeletingTheLastColumnResetsTheRows) {
  Make();
  auto* C = AddColumn();
  G->AddRow(3);
  G->SetSelectedRow(1);
  Log.clear();
  delete C;
  EXPECT_EQ(Log, (std::vector<std::string>{"data 5 0"}));
  EXPECT_EQ(G->SelectedRow(), -1);
  EXPECT_EQ(G->LastVisibleRow(), -1);
}

TEST_F(GridTest, StartRowCountShrinksFromTheTop) {
  Make();
  AddColumn();
  G->SetStartRowCount(5);
  EXPECT_EQ(G->RowCount(), 5);
  for (int i = 0; i < 5; ++i) G->Cell(0, i)->SetAsString(AnsiToWide(std::to_string(i).c_str()));
  G->SetStartRowCount(2);
  ASSERT_EQ(G->RowCount(), 2);
  EXPECT_EQ(G->Cells(0, 0), u"3");
}

TEST_F(GridTest, RowSizeZeroChangesNothing) {
  Make();
  AddColumn();
  G->SetRowSize(0);
  G->SetRowSize(-3);
  EXPECT_EQ(G->RowSize(), 16);
  G->SetRowSize(20);
  G->AddRow(1);
  EXPECT_EQ(G->GetRowHeight(0), 20);
  G->SetRowSize(30);
  EXPECT_EQ(G->GetRowHeight(0), 20);  // rows keep their height
  G->AddRow(1);
  EXPECT_EQ(G->GetRowHeight(1), 30);
}

TEST_F(GridTest, FooterFormulas) {
  struct TCase {
    TFormulaKind Kind;
    bool RejectFirst;
    const char16_t* Want;
  } Cases[] = {
      {fkSum, false, u"10"},     {fkSum, true, u"9"},      {fkAverage, false, u"2.5"},
      {fkAverage, true, u"3"},   {fkCount, false, u"4"},   {fkCount, true, u"3"},
      {fkMaximum, false, u"4"},  {fkMinimum, true, u"2"},  {fkDistinct, false, u"4"},
  };
  Make();
  auto* C = AddColumn();
  G->AddRow(4);
  for (int i = 0; i < 4; ++i) G->Cell(0, i)->SetAsString(AnsiToWide(std::to_string(i + 1).c_str()));
  for (const auto& K : Cases) {
    C->Footer()->SetFormulaKind(K.Kind);
    G->OnCalculateRow = [&](TObject*, Integer, Integer Row, bool& Accept) {
      if (K.RejectFirst && Row == 0) Accept = false;
    };
    G->CalculateFooter();
    EXPECT_EQ(C->Footer()->Caption(), K.Want) << static_cast<int>(K.Kind) << " " << K.RejectFirst;
  }
  C->Footer()->SetFormulaKind(fkCount);
  G->OnCalculateRow = [](TObject*, Integer, Integer, bool& Accept) { Accept = false; };
  G->CalculateFooter();
  EXPECT_EQ(C->Footer()->Caption(), u"0");
}

TEST_F(GridTest, CellsAsText) {
  Make();
  WideString T;
  G->GetCellsAsText(u';', T);
  EXPECT_EQ(T, u";");
  AddColumn();
  AddColumn();
  G->GetCellsAsText(u';', T);
  EXPECT_EQ(T, u";");
  G->AddRow(2);
  G->Cell(0, 0)->SetAsString(u"a\r\nb");
  G->Cell(1, 0)->SetAsString(u"c");
  G->Cell(0, 1)->SetAsString(u"d");
  G->GetCellsAsText(u';', T);
  EXPECT_EQ(T, u";a%\r\nb;c\r\nd;");
}

// ---- Selection ------------------------------------------------------------------------------------

class GridSelectionTest : public GridTest {
 protected:
  void Rows(Integer N, TGridOptions Extra = TGridOptions()) {
    Make(400, 18 + 10 * 16);
    AddColumn();
    G->SetOptions(G->Options() + Extra);
    G->AddRow(N);
    Log.clear();
  }
  std::vector<Integer> Selected() {
    std::vector<Integer> R;
    for (Integer i = 0; i < G->RowCount(); ++i)
      if (G->GetSelected(i)) R.push_back(i);
    return R;
  }
  void Key(UINT Vk, TShiftState Shift = TShiftState()) {
    if (Shift.Contains(ssShift)) rtl::testing::InjectKey(VK_SHIFT, true);
    if (Shift.Contains(ssCtrl)) rtl::testing::InjectKey(VK_CONTROL, true);
    rtl::testing::InjectKeyPress(Vk);
    if (Shift.Contains(ssCtrl)) rtl::testing::InjectKey(VK_CONTROL, false);
    if (Shift.Contains(ssShift)) rtl::testing::InjectKey(VK_SHIFT, false);
    Pump();
  }
  void Focus() {
    G->SetFocus();
    Pump();
  }
};

TEST_F(GridSelectionTest, ShiftCtrlAndPlainSelection) {
  Rows(10, TGridOptions{goMultiSelect, goSelectFullRow});
  G->SelectCell(0, 2, TShiftState(), true, false);
  G->SelectCell(0, 5, TShiftState{ssShift}, true, false);
  EXPECT_EQ(Selected(), (std::vector<Integer>{2, 3, 4, 5}));
  EXPECT_EQ(G->SelectionAnchor(), 2);
  G->SelectCell(0, 4, TShiftState{ssShift}, true, false);
  EXPECT_EQ(Selected(), (std::vector<Integer>{2, 3, 4}));
  G->SelectCell(0, 8, TShiftState{ssCtrl}, true, false);
  EXPECT_EQ(Selected(), (std::vector<Integer>{2, 3, 4, 8}));
  EXPECT_EQ(G->SelectionAnchor(), 8);
  G->SelectCell(0, 3, TShiftState{ssCtrl}, true, false);
  EXPECT_EQ(Selected(), (std::vector<Integer>{2, 4, 8}));
  EXPECT_EQ(G->SelectedCount(), 3);
  // A plain selection first clears every row the keys selected.
  G->SelectCell(0, 6, TShiftState(), true, false);
  EXPECT_EQ(Selected(), (std::vector<Integer>{6}));
  EXPECT_EQ(G->SelectedRow(), 6);
}

TEST_F(GridSelectionTest, SelectedRowProperty) {
  Rows(5, TGridOptions{goSelectFullRow});
  G->SetSelectedRow(3);
  EXPECT_EQ(Selected(), (std::vector<Integer>{3}));
  G->SetSelectedRow(5);  // beyond the rows: ignored
  EXPECT_EQ(G->SelectedRow(), 3);
  G->SetSelectedRow(-1);
  EXPECT_EQ(G->SelectedRow(), -1);
  EXPECT_TRUE(Selected().empty());
  G->SelectCell(0, 7, TShiftState(), true, false);  // refused before any event
  EXPECT_EQ(G->SelectedRow(), -1);
  EXPECT_EQ(Log, (std::vector<std::string>{"deselect 0 3"}));
}

TEST_F(GridSelectionTest, CtrlASelectsAllOnlyWithMultiAndFullRow) {
  for (bool Full : {false, true}) {
    Rows(4, Full ? TGridOptions{goMultiSelect, goSelectFullRow} : TGridOptions{goMultiSelect});
    Focus();
    Key('A', TShiftState{ssCtrl});
    EXPECT_EQ(G->SelectedCount(), Full ? 4 : 0) << Full;
    Form->Free();
    Form = nullptr;
    Pump();
  }
}

TEST_F(GridSelectionTest, NavigationKeys) {
  Rows(40, TGridOptions{goSelectFullRow});
  Focus();
  G->SetSelectedRow(0);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(G->SelectedRow(), 2);
  Key(VK_UP);
  EXPECT_EQ(G->SelectedRow(), 1);
  Key(VK_END);
  EXPECT_EQ(G->SelectedRow(), 39);
  EXPECT_EQ(G->LastWholeRow(), 39);
  Key(VK_NEXT);  // on the last page: the last visible row
  EXPECT_EQ(G->SelectedRow(), 39);
  Key(VK_HOME);
  EXPECT_EQ(G->SelectedRow(), 0);
  EXPECT_EQ(G->TopRow(), 0);
  Key(VK_PRIOR);  // at the top: the first visible row
  EXPECT_EQ(G->SelectedRow(), 0);
  Key(VK_NEXT);
  EXPECT_EQ(G->SelectedRow(), 9);
  G->SetOptions(G->Options() + goDisableKeys);
  Key(VK_DOWN);
  EXPECT_EQ(G->SelectedRow(), 9);
}

TEST_F(GridSelectionTest, KeysOnAnEmptyGridSelectNothing) {
  Rows(0, TGridOptions{goSelectFullRow, goMultiSelect});
  Focus();
  auto Press = [&] {
    for (UINT Vk : {VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_DOWN, VK_UP}) {
      Key(Vk);
      EXPECT_EQ(G->SelectedRow(), -1) << Vk;
    }
  };
  Press();
  G->AddRow(3);
  G->ClearRows();
  Press();
  G->AddRow(1);
  G->DeleteRow(0);
  Press();
}

TEST_F(GridSelectionTest, IncrementalSearchOnTheVirtualClock) {
  rtl::testing::UseVirtualClock(true);
  Rows(0, TGridOptions{goSelectFullRow});
  G->Columns()->Items(0)->SetOptions(G->Columns()->Items(0)->Options() + coSearchColumn);
  for (const char16_t* T : {u"apple", u"Abacus", u"banana", u"xyz"}) {
    G->AddRow(1);
    G->Cell(0, G->LastAddedRow())->SetAsString(T);
  }
  Focus();
  G->SetSelectedRow(2);
  rtl::testing::InjectText("a");
  Pump();
  EXPECT_EQ(G->SelectedRow(), 0);  // wrapped to the top
  rtl::testing::InjectText("b");
  Pump();
  EXPECT_EQ(G->SelectedRow(), 1);  // "Abacus": case ignored
  EXPECT_EQ(G->SearchText(), u"ab");
  rtl::testing::AdvanceClock(700);
  Pump();
  EXPECT_EQ(G->SearchText(), u"");
  rtl::testing::InjectText("b");
  Pump();
  EXPECT_EQ(G->SelectedRow(), 2);
  EXPECT_FALSE(G->IncrementalSearch(0, u"q", true));
  EXPECT_EQ(G->SelectedRow(), 2);
  Form->Free();
  Form = nullptr;
  Pump();
  rtl::testing::UseVirtualClock(false);
}

TEST_F(GridSelectionTest, TabWalksColumnsThenRowsAndLeavesAtTheEnd) {
  Rows(2);
  AddColumn();
  AddColumn()->SetEnabled(false);
  AddColumn();
  auto* Next = new TEdit(Form);
  Next->SetParent(Form);
  Next->SetBounds(0, 300, 50, 20);
  Focus();
  G->SetSelectedRow(1);
  G->SelectColumnInRow(1);
  G->HandleNavigationKey(VK_TAB, TShiftState());
  EXPECT_EQ(G->SelectedColumn(), 3);  // the disabled column 2 is passed over
  G->HandleNavigationKey(VK_TAB, TShiftState{ssShift});
  EXPECT_EQ(G->SelectedColumn(), 1);
  G->HandleNavigationKey(VK_TAB, TShiftState());
  // The last column of the last row: the focus moves on, the first row's
  // first column is selected.
  G->HandleNavigationKey(VK_TAB, TShiftState());
  Pump();
  EXPECT_TRUE(Next->Focused());
  EXPECT_EQ(G->SelectedRow(), 0);
  EXPECT_EQ(G->SelectedColumn(), 0);
}

TEST_F(GridSelectionTest, HomeAndEndWalkColumnsWithLeftRightBehaviour) {
  Rows(5);
  AddColumn();
  AddColumn();
  Focus();
  G->SetHomeEndBehaviour(hebLeftRight);
  G->SetSelectedRow(2);
  Key(VK_END);
  EXPECT_EQ(G->SelectedColumn(), 2);
  EXPECT_EQ(G->SelectedRow(), 2);
  Key(VK_LEFT);
  EXPECT_EQ(G->SelectedColumn(), 1);
  Key(VK_HOME);
  EXPECT_EQ(G->SelectedColumn(), 0);
  EXPECT_EQ(G->SelectedRow(), 2);
  Key(VK_RIGHT);
  EXPECT_EQ(G->SelectedColumn(), 1);
}

}  // namespace
