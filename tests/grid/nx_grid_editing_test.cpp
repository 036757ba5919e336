#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form_test_support.h"
#include "grid/nx_column_classes.h"
#include "grid/nx_date_picker.h"
#include "grid/nx_edit.h"
#include "grid/nx_grid.h"
#include "grid/nx_style_display.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/text_codec.h"
#include "platform/testing/user_testing.h"
#include "platform/testing/uxtheme_recording.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_keys.h"

namespace {

std::string Utf8(const WideString& S) { return std::string(WideToAnsi(S).c_str()); }

// A report-view grid of three editable text columns and four rows, with a
// log of every editing event, and an edit after it to take the focus.
class GridEditingTest : public FormTest {
 protected:
  TNxGrid* G = nullptr;
  TEdit* Other = nullptr;
  std::vector<std::string> Log;

  void PlaceControls() override {
    // The editors as the program registers them at start-up (other tests
    // swap in stubs).
    RegisterColumnEditorClass("TNxEdit", TNxEdit::StaticClass());
    RegisterColumnEditorClass("TNxDatePicker", TNxDatePicker::StaticClass());
    G = Place<TNxGrid>(0, 0, 380, 200);
    G->SetBorderStyle(bsNone);
    G->SetOptions(TGridOptions{goHeader, goGrid, goSelectFullRow});
    for (int i = 0; i < 3; ++i) {
      auto* C = new TNxTextColumn(Form);
      C->SetWidth(100);
      C->SetOptions(C->Options() + coEditing);
      G->Columns()->Add(C);
    }
    G->AddRow(4);
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 3; ++c) G->SetCells(c, r, AnsiToWide(AnsiString("r") + char('0' + r) + char('a' + c)));
    Other = Place<TEdit>(0, 220, 80, 20);
    auto Cell = [](Integer C, Integer R) { return std::to_string(C) + "," + std::to_string(R); };
    G->OnBeforeEdit = [this, Cell](TObject*, Integer C, Integer R, bool&) { Log.push_back("before " + Cell(C, R)); };
    G->OnApplyEditText = [this, Cell](TObject*, Integer C, Integer R, WideString& V) {
      Log.push_back("apply " + Cell(C, R) + " " + Utf8(V));
    };
    G->OnEditEnter = [this](TObject*) { Log.push_back("enter"); };
    G->OnEdit = [this, Cell](TObject*, Integer C, Integer R, const WideString& V) {
      Log.push_back("edit " + Cell(C, R) + " " + Utf8(V));
    };
    G->OnEditAccept = [this, Cell](TObject*, Integer C, Integer R, const WideString& V, bool& Accept) {
      Log.push_back("accept " + Cell(C, R) + " " + Utf8(V));
      Accept = AcceptEdits;
    };
    G->OnEditText = [this, Cell](TObject*, Integer C, Integer R, WideString& V) {
      Log.push_back("text " + Cell(C, R) + " " + Utf8(V));
    };
    G->OnAfterEdit = [this, Cell](TObject*, Integer C, Integer R, const WideString& V) {
      Log.push_back("after " + Cell(C, R) + " " + Utf8(V));
    };
    G->OnEndEditing = [this, Cell](TObject*, Integer C, Integer R, WideString& V, bool& Accept) {
      Log.push_back("end " + Cell(C, R) + " " + Utf8(V));
      Accept = AcceptClose;
    };
    G->OnEditExit = [this](TObject*) { Log.push_back("exit"); };
  }
  bool AcceptEdits = true;
  bool AcceptClose = true;

  void Key(UINT Vk) {
    rtl::testing::InjectKeyPress(Vk);
    Pump();
  }
  void Type(const char* Text) {
    rtl::testing::InjectText(Text);
    Pump();
  }
  void FocusGrid() {
    G->SetFocus();
    Pump();
  }
  TNxEdit* Editor() { return dynamic_cast<TNxEdit*>(G->InplaceEditor()); }
};

TEST_F(GridEditingTest, EditCellPlacesTheEditorOnePixelInsideAndFocusesIt) {
  FocusGrid();
  G->EditCell(1, 2, WideString());
  Pump();
  TNxEdit* E = Editor();
  ASSERT_NE(E, nullptr);
  EXPECT_EQ(E->Parent(), G);
  EXPECT_TRUE(E->Focused());
  EXPECT_TRUE(E->Visible());
  EXPECT_EQ(E->Text(), "r2b");
  EXPECT_TRUE(G->State().Contains(sfEditing));
  EXPECT_EQ(G->EditCol(), 1);
  EXPECT_EQ(G->EditRow(), 2);
  const TRect Cell = G->GetCellRect(1, 2);
  // One pixel inside; the right edge also leaves the grid line.
  EXPECT_EQ(E->Left(), Cell.Left + 1);
  EXPECT_EQ(E->Top(), Cell.Top + 1);
  EXPECT_EQ(E->Left() + E->Width(), Cell.Right - 1 - G->GridLineWidths().RightLine);
  EXPECT_EQ(E->Top() + E->Height(), Cell.Bottom - 1);
  // Loading the cell's text reports no edit.
  EXPECT_EQ(Log, (std::vector<std::string>{"before 1,2", "apply 1,2 r2b", "enter"}));
}

TEST_F(GridEditingTest, TypingOpensTheEditorWithTheCharacterAndEnterApplies) {
  std::string Pressed;
  G->OnKeyPress = [&](TObject*, char& Key) { Pressed += Key; };
  FocusGrid();
  G->SelectCell(1, 1, TShiftState(), true, false);
  Log.clear();
  Type("x");
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(Editor()->Text(), "x");
  EXPECT_TRUE(Editor()->Focused());
  Type("y");
  EXPECT_EQ(Editor()->Text(), "xy");
  Key(VK_RETURN);
  EXPECT_EQ(G->InplaceEditor(), nullptr);
  EXPECT_FALSE(G->State().Contains(sfEditing));
  EXPECT_EQ(Utf8(G->Cells(1, 1)), "xy");
  EXPECT_TRUE(G->Focused());
  EXPECT_EQ(Log, (std::vector<std::string>{"before 1,1", "edit 1,1 x", "enter", "edit 1,1 xy", "accept 1,1 xy",
                                           "text 1,1 xy", "after 1,1 xy", "end 1,1 xy", "exit"}));
  // Each typed key reaches the grid's OnKeyPress once, the editor's too.
  EXPECT_EQ(Pressed, "xy\r");
}

TEST_F(GridEditingTest, TabAndEnterInTheEditorStoreThenMoveOn) {
  G->SetWantTabs(true);
  G->SetWantReturns(true);
  FocusGrid();
  G->SelectCell(0, 1, TShiftState(), true, false);
  Type("t");
  ASSERT_NE(Editor(), nullptr);
  EXPECT_TRUE(Editor()->WantTabs());
  Key(VK_TAB);  // stores, closes, and the grid walks to the next column
  EXPECT_EQ(Utf8(G->Cells(0, 1)), "t");
  EXPECT_EQ(G->InplaceEditor(), nullptr);
  EXPECT_EQ(G->SelectedColumn(), 1);
  EXPECT_EQ(G->SelectedRow(), 1);
  Type("e");
  Key(VK_RETURN);  // stores, closes, and the selection moves down
  EXPECT_EQ(Utf8(G->Cells(1, 1)), "e");
  EXPECT_EQ(G->InplaceEditor(), nullptr);
  EXPECT_EQ(G->SelectedRow(), 2);
  EXPECT_TRUE(G->Focused());
  // Arrows stay with an open editor: its caret moves, not the selection.
  Type("ab");
  Key(VK_LEFT);
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(Editor()->SelStart(), 1);
  Key(VK_UP);
  Key(VK_END);
  EXPECT_EQ(G->SelectedRow(), 2);
  EXPECT_EQ(G->SelectedColumn(), 1);
  EXPECT_NE(G->InplaceEditor(), nullptr);
}

TEST_F(GridEditingTest, EscapeClosesWithoutStoringOrClearsWithEscClearEdit) {
  FocusGrid();
  G->SelectCell(0, 0, TShiftState(), true, false);
  Type("q");
  Key(VK_ESCAPE);
  EXPECT_EQ(G->InplaceEditor(), nullptr);
  EXPECT_EQ(Utf8(G->Cells(0, 0)), "r0a");
  EXPECT_TRUE(G->Focused());

  G->SetOptions(G->Options() + goEscClearEdit);
  Type("q");
  ASSERT_NE(Editor(), nullptr);
  Key(VK_ESCAPE);
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(Editor()->Text(), "");
  EXPECT_TRUE(Editor()->Focused());
  EXPECT_EQ(Utf8(G->Cells(0, 0)), "r0a");
}

TEST_F(GridEditingTest, RefusedEndEditingKeepsTheEditorOpen) {
  FocusGrid();
  G->EditCell(0, 1, u"new");
  AcceptClose = false;
  G->EndEditing();
  EXPECT_NE(G->InplaceEditor(), nullptr);
  EXPECT_TRUE(G->State().Contains(sfEditing));
  EXPECT_EQ(Utf8(G->Cells(0, 1)), "r1a");  // closing stores nothing
  // Another cell stores the open edit but cannot open a second editor
  // over the one that refuses to close.
  G->EditCell(2, 3, WideString());
  EXPECT_EQ(Utf8(G->Cells(0, 1)), "new");
  EXPECT_EQ(G->EditCol(), 0);
  EXPECT_EQ(G->EditRow(), 1);
  AcceptClose = true;
  G->EndEditing();
  EXPECT_EQ(G->InplaceEditor(), nullptr);
}

TEST_F(GridEditingTest, RefusedEditAcceptStoresNothingButTheEditorCloses) {
  FocusGrid();
  G->EditCell(2, 0, u"typed");
  AcceptEdits = false;
  Log.clear();
  EXPECT_FALSE(G->ApplyEditing());
  G->EndEditing();
  EXPECT_EQ(G->InplaceEditor(), nullptr);
  EXPECT_EQ(Utf8(G->Cells(2, 0)), "r0c");
  EXPECT_EQ(Log, (std::vector<std::string>{"accept 2,0 typed", "end 2,0 typed", "exit"}));
}

TEST_F(GridEditingTest, NoEditorWhereEditingIsNotAllowed) {
  struct TCase {
    const char* Name;
    void (*Set)(TNxGrid*);
  } Cases[] = {
      {"read-only grid", [](TNxGrid* G) { G->SetReadOnly(true); }},
      {"column without coEditing",
       [](TNxGrid* G) { G->Columns()->Items(0)->SetOptions(G->Columns()->Items(0)->Options() - coEditing); }},
      {"disabled column", [](TNxGrid* G) { G->Columns()->Items(0)->SetEnabled(false); }},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    C.Set(G);
    G->EditCell(0, 0, WideString());
    EXPECT_EQ(G->InplaceEditor(), nullptr);
    G->EditCell(0, 9, WideString());  // no such row
    EXPECT_EQ(G->InplaceEditor(), nullptr);
    G->SetReadOnly(false);
    G->Columns()->Items(0)->SetOptions(G->Columns()->Items(0)->Options() + coEditing);
    G->Columns()->Items(0)->SetEnabled(true);
  }
  bool Refuse = true;
  G->OnBeforeEdit = [&](TObject*, Integer, Integer, bool& Accept) { Accept = !Refuse; };
  G->EditCell(0, 0, WideString());
  EXPECT_EQ(G->InplaceEditor(), nullptr);
}

TEST_F(GridEditingTest, AutoEditColumnsOpenTheEditorOnSelection) {
  G->Columns()->Items(1)->SetAutoEdit(true);
  FocusGrid();
  G->SelectCell(0, 1, TShiftState(), true, false);
  EXPECT_EQ(G->InplaceEditor(), nullptr);
  G->SetOptions(G->Options() - goSelectFullRow + goIndicator);
  G->SelectCell(1, 1, TShiftState(), true, true);
  EXPECT_NE(G->InplaceEditor(), nullptr);
  EXPECT_EQ(G->EditCol(), 1);
  // Another cell first closes the editor (nothing typed is stored).
  G->SelectCell(0, 2, TShiftState(), true, false);
  EXPECT_EQ(G->InplaceEditor(), nullptr);
}

TEST_F(GridEditingTest, FocusLeavingTheGridAppliesTheEditor) {
  FocusGrid();
  G->SelectCell(0, 3, TShiftState(), true, false);
  Type("z");
  ASSERT_NE(Editor(), nullptr);
  Other->SetFocus();
  Pump();
  EXPECT_EQ(G->InplaceEditor(), nullptr);
  EXPECT_EQ(Utf8(G->Cells(0, 3)), "z");
}

TEST_F(GridEditingTest, ColumnMovesByKeyGoThroughOnSelectionMove) {
  std::vector<std::string> Moves;
  G->OnSelectionMove = [&](TObject*, Integer& ACol, Integer ARow, TMoveSelectionKey K) {
    Moves.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + " " + std::to_string(static_cast<int>(K)));
    if (K == mkEnter) ACol = 2;  // redirected
  };
  G->SetOptions(G->Options() - goSelectFullRow);
  G->SetWantReturns(true);
  G->SetSelectionMoveDirection(mdRight);
  G->Columns()->Items(0)->SetOptions(G->Columns()->Items(0)->Options() - coEditing);
  FocusGrid();
  G->SelectCell(0, 1, TShiftState(), true, false);
  Key(VK_RIGHT);
  EXPECT_EQ(G->SelectedColumn(), 1);
  G->SelectCell(0, 1, TShiftState(), true, false);
  Key(VK_RETURN);
  EXPECT_EQ(G->SelectedColumn(), 2);
  G->HandleNavigationKey(VK_TAB, TShiftState{ssShift});
  EXPECT_EQ(Moves, (std::vector<std::string>{"1,1 1", "1,1 3", "1,1 2"}));
  EXPECT_EQ(G->SelectedColumn(), 1);
}

TEST_F(GridEditingTest, DialogCodeClaimsTabOnlyWithWantTabsAndSomethingToWalk) {
  auto Code = [&] { return SendMessage(G->Handle(), WM_GETDLGCODE, 0, 0); };
  EXPECT_EQ(Code() & (DLGC_WANTARROWS | DLGC_WANTCHARS), DLGC_WANTARROWS | DLGC_WANTCHARS);
  EXPECT_EQ(Code() & DLGC_WANTTAB, 0);
  G->SetWantTabs(true);
  EXPECT_EQ(Code() & DLGC_WANTTAB, DLGC_WANTTAB);
  G->ClearRows();
  EXPECT_EQ(Code() & DLGC_WANTTAB, 0);
  G->ShowInputLine(true);
  EXPECT_EQ(Code() & DLGC_WANTTAB, DLGC_WANTTAB);
  for (int i = 0; i < 3; ++i) G->Columns()->Items(i)->SetVisible(false);
  EXPECT_EQ(Code() & DLGC_WANTTAB, 0);
}

TEST_F(GridEditingTest, ExtendSelectionRange) {
  struct TCase {
    Integer From, To;
    TGridOptions Options;
    std::vector<Integer> Want;
  } Cases[] = {
      {0, 1, TGridOptions{goMultiSelect, goSelectFullRow}, {0, 1}},
      {1, 3, TGridOptions{goMultiSelect, goSelectFullRow}, {1, 3}},
      {3, 1, TGridOptions{goMultiSelect, goSelectFullRow}, {1}},
      {2, 2, TGridOptions{goMultiSelect, goSelectFullRow}, {}},
      {0, 3, TGridOptions{goSelectFullRow}, {}},
      {-1, 3, TGridOptions{goMultiSelect, goSelectFullRow}, {0, 1, 3}},  // row 2 is hidden
  };
  G->SetRowVisible(2, false);
  for (const auto& C : Cases) {
    G->SetOptions(C.Options);
    G->DeselectAll();
    G->ExtendSelectionRange(C.From, C.To);
    std::vector<Integer> Got;
    for (Integer i = 0; i < G->RowCount(); ++i)
      if (G->GetSelected(i)) Got.push_back(i);
    EXPECT_EQ(Got, C.Want) << C.From << " " << C.To;
    EXPECT_EQ(G->State().Contains(sfMultiSelection),
              !C.Want.empty() || (C.From != C.To && C.Options.Contains(goMultiSelect)));
    G->ClearMultiSelection();
  }
}

TEST_F(GridEditingTest, ShiftEndSelectsFromTheAnchorToTheEnd) {
  G->SetOptions(TGridOptions{goHeader, goMultiSelect, goSelectFullRow});
  FocusGrid();
  G->SetSelectedRow(1);
  rtl::testing::InjectKey(VK_SHIFT, true);
  Key(VK_END);
  rtl::testing::InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_EQ(G->SelectedRow(), 3);
  EXPECT_EQ(G->SelectedCount(), 3);
  EXPECT_EQ(G->SelectionAnchor(), 1);
  Key(VK_HOME);  // a plain Home leaves the first row alone selected
  EXPECT_EQ(G->SelectedRow(), 0);
  EXPECT_EQ(G->SelectedCount(), 1);
}

TEST_F(GridEditingTest, AnEditorFreedWhileOpenIsForgotten) {
  auto* Own = new TNxEdit(Form);
  G->Columns()->Items(1)->SetInplaceEdit(Own);
  G->SetOptions(G->Options() + goInplaceEditEvents);  // not hooked
  FocusGrid();
  G->EditCell(1, 0, WideString());
  ASSERT_EQ(G->InplaceEditor(), Own);
  delete Own;
  EXPECT_EQ(G->InplaceEditor(), nullptr);
  EXPECT_FALSE(G->State().Contains(sfEditing));
  G->EndEditing();
  G->EditCell(0, 0, WideString());
  EXPECT_NE(G->InplaceEditor(), nullptr);
}

TEST_F(GridEditingTest, EditorHooksGoWithTheGrid) {
  auto* Own = new TNxEdit(Form);
  G->Columns()->Items(0)->SetInplaceEdit(Own);
  FocusGrid();
  G->EditCell(0, 0, WideString());
  EXPECT_EQ(G->InplaceEditor(), Own);
  EXPECT_TRUE(static_cast<bool>(Own->OnKeyDown));
  G->EndEditing();
  delete G;
  G = nullptr;
  // The form's editor outlives the grid it was lent to.
  EXPECT_EQ(Own->Parent(), nullptr);
  EXPECT_FALSE(static_cast<bool>(Own->OnKeyDown));
  EXPECT_FALSE(static_cast<bool>(Own->OnChange));
}

// ---- The input line --------------------------------------------------------------------------------

class GridInputLineTest : public GridEditingTest {
 protected:
  void PlaceControls() override {
    GridEditingTest::PlaceControls();
    G->SetOptions(G->Options() + goInput);
    G->Columns()->Items(0)->SetOptions(G->Columns()->Items(0)->Options() + coCanInput);
    G->Columns()->Items(1)->SetOptions(G->Columns()->Items(1)->Options() + coCanInput);
    G->OnInputAccept = [this](TObject*, bool&) { Log.push_back("input accept"); };
    G->OnInputAdded = [this](TObject*) { Log.push_back("input added"); };
    G->OnInputSelectCell = [this](TObject*, Integer C) { Log.push_back("input select " + std::to_string(C)); };
  }
};

TEST_F(GridInputLineTest, AcceptInputLineAddsARowFromInputOrDefaultValues) {
  G->Columns()->Items(0)->SetInputValue(u"typed");
  G->Columns()->Items(1)->SetDefaultValue(u"dflt");
  G->Columns()->Items(2)->SetInputValue(u"third");
  G->Columns()->Items(2)->SetDefaultValue(u"unused");
  Log.clear();
  G->AcceptInputLine();
  ASSERT_EQ(G->RowCount(), 5);
  EXPECT_EQ(Utf8(G->Cells(0, 4)), "typed");
  EXPECT_EQ(Utf8(G->Cells(1, 4)), "dflt");
  EXPECT_EQ(Utf8(G->Cells(2, 4)), "third");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(G->Columns()->Items(i)->InputValue().empty());
  EXPECT_EQ(Log, (std::vector<std::string>{"input accept", "input added"}));
  G->OnInputAccept = [](TObject*, bool& Accept) { Accept = false; };
  G->AcceptInputLine();
  EXPECT_EQ(G->RowCount(), 5);
}

TEST_F(GridInputLineTest, TypingInTheInputLineEditsWithoutACell) {
  FocusGrid();
  G->SetSelectedRow(0);
  Key(VK_UP);  // from the first row up into the input line
  EXPECT_TRUE(G->InputLineActive());
  EXPECT_FALSE(G->GetSelected(0));
  Log.clear();
  Type("k");
  ASSERT_NE(Editor(), nullptr);
  EXPECT_TRUE(G->State().Contains(sfInputEditing));
  EXPECT_EQ(G->InputColumn(), 0);
  EXPECT_EQ(Editor()->Text(), "k");
  const TRect Cell = G->InputCellRect(0);
  EXPECT_EQ(Editor()->Left(), Cell.Left + 1);
  EXPECT_EQ(Log, (std::vector<std::string>{"edit -1,-1 k", "input select 0"}));
  // Enter stores the input value and adds the row; the editor stays for
  // the next one, empty.
  Key(VK_RETURN);
  ASSERT_EQ(G->RowCount(), 5);
  EXPECT_EQ(Utf8(G->Cells(0, 4)), "k");
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(Editor()->Text(), "");
  // Down leaves the input line and steps down from the selected row.
  G->EndEditing();
  FocusGrid();
  Key(VK_DOWN);
  EXPECT_FALSE(G->InputLineActive());
  EXPECT_EQ(G->SelectedRow(), 1);
}

TEST_F(GridInputLineTest, SelectingARowLeavesTheInputLine) {
  struct TCase {
    const char* Name;
    void (*Select)(TNxGrid*);
    Integer Row;
  } Cases[] = {
      {"SelectedRow", [](TNxGrid* G) { G->SetSelectedRow(2); }, 2},
      {"first row", [](TNxGrid* G) { G->SelectFirstRow(TShiftState()); }, 0},
      {"last row", [](TNxGrid* G) { G->SelectLastRow(TShiftState()); }, 3},
  };
  for (const auto& C : Cases) {
    G->ShowInputLine(true);
    G->EditInputCell(G->Columns()->Items(0), u"half");
    ASSERT_NE(G->InplaceEditor(), nullptr) << C.Name;
    C.Select(G);
    EXPECT_FALSE(G->InputLineActive()) << C.Name;
    EXPECT_EQ(G->InplaceEditor(), nullptr) << C.Name;
    EXPECT_EQ(G->SelectedRow(), C.Row) << C.Name;
    EXPECT_TRUE(G->GetSelected(C.Row)) << C.Name;
  }
}

TEST_F(GridInputLineTest, SwitchingToSlidesClosesTheEditorAndTheInputLine) {
  G->ShowInputLine(true);
  G->EditInputCell(G->Columns()->Items(0), u"half");
  ASSERT_NE(G->InplaceEditor(), nullptr);
  // The same style again changes nothing.
  G->SetGridStyle(gsReport);
  EXPECT_TRUE(G->InputLineActive());
  EXPECT_NE(G->InplaceEditor(), nullptr);
  G->SetGridStyle(gsSlides);
  EXPECT_FALSE(G->InputLineActive());
  EXPECT_EQ(G->InplaceEditor(), nullptr);
  EXPECT_FALSE(G->State().Contains(sfInputEditing));
  // A cell editor closes the same way.
  G->SetGridStyle(gsReport);
  G->EditCell(1, 2, WideString());
  ASSERT_NE(G->InplaceEditor(), nullptr);
  G->SetGridStyle(gsSlides);
  EXPECT_EQ(G->InplaceEditor(), nullptr);
  EXPECT_FALSE(G->State().Contains(sfEditing));
}

TEST_F(GridInputLineTest, FocusOnAnEmptyGridActivatesTheInputLine) {
  Other->SetFocus();
  Pump();
  G->ClearRows();
  ASSERT_FALSE(G->InputLineActive());
  FocusGrid();
  EXPECT_TRUE(G->InputLineActive());
  // With rows the focus leaves the selection where it is.
  Other->SetFocus();
  Pump();
  G->ShowInputLine(false);
  G->AddRow(1);
  FocusGrid();
  EXPECT_FALSE(G->InputLineActive());
}

TEST_F(GridInputLineTest, InputCellOpensWithItsInputValue) {
  FocusGrid();
  G->Columns()->Items(1)->SetInputValue(u"kept");
  Log.clear();
  G->EditInputCell(G->Columns()->Items(1), WideString());
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(Editor()->Text(), "kept");
  EXPECT_EQ(G->EditCol(), 1);
  EXPECT_EQ(G->EditRow(), -1);
  EXPECT_TRUE(G->Columns()->Items(1)->InputEditing());
  Editor()->SetText("changed");
  EXPECT_TRUE(G->ApplyEditing());
  G->EndEditing();
  EXPECT_EQ(Utf8(G->Columns()->Items(1)->InputValue()), "changed");
  EXPECT_FALSE(G->Columns()->Items(1)->InputEditing());
  EXPECT_EQ(G->InputColumn(), -1);
  // A column without coCanInput gets no editor.
  G->Columns()->Items(2)->SetOptions(G->Columns()->Items(2)->Options() - coCanInput);
  G->EditInputCell(G->Columns()->Items(2), WideString());
  EXPECT_EQ(G->InplaceEditor(), nullptr);
}

// ---- A date column -----------------------------------------------------------------------------------

TEST_F(GridEditingTest, ADateColumnOpensADatePicker) {
  auto* D = new TNxDateColumn(Form);
  D->SetWidth(80);
  D->SetOptions(D->Options() + coEditing);
  G->Columns()->Add(D);
  G->Cell(3, 1)->SetAsDateTime(45000);
  FocusGrid();
  G->EditCell(3, 1, WideString());
  auto* Picker = dynamic_cast<TNxDatePicker*>(G->InplaceEditor());
  ASSERT_NE(Picker, nullptr);
  EXPECT_TRUE(Picker->Focused());
  EXPECT_EQ(Picker->GetAsString(), G->Cells(3, 1));
  G->EndEditing();
  // Typing starts it only with the characters of a date.
  G->SelectCell(3, 1, TShiftState(), true, false);
  Type("x");
  EXPECT_EQ(G->InplaceEditor(), nullptr);
  Type("1");
  ASSERT_NE(dynamic_cast<TNxDatePicker*>(G->InplaceEditor()), nullptr);
  EXPECT_EQ(G->InplaceEditor()->Text(), "1");
}

// ---- Header painters and the header theme -------------------------------------------------------

TEST(GridHeaderPainters, SevenOwnedPaintersTheStyleChoosesOne) {
  TNxGrid G(nullptr);
  const char* Names[] = {"TDefaultStyleDisplay",    "TFlatStyleDisplay", "TOffice2007StyleDisplay",
                         "TOffice2010StyleDisplay", "TOldStyleDisplay",  "TOutlookStyleDisplay",
                         "TVistaStyleDisplay"};
  for (int i = 0; i < 7; ++i) {
    TStyleDisplay* D = G.StyleDisplay(static_cast<THeaderStyle>(i));
    ASSERT_NE(D, nullptr);
    EXPECT_EQ(D->ClassName(), Names[i]);
    EXPECT_EQ(D->Grid(), &G);
    EXPECT_EQ(D->Canvas, G.Canvas());
  }
  EXPECT_EQ(G.HeaderPainter(), G.StyleDisplay(hsAuto));
  G.SetHeaderStyle(hsVista);
  EXPECT_EQ(G.HeaderPainter(), G.StyleDisplay(hsVista));
}

class GridHeaderThemeTest : public FormTest {
 protected:
  TRecordingTheme Style;
};

TEST_F(GridHeaderThemeTest, ThemeOpensWithTheWindowReopensOnChangeAndCloses) {
  auto* G = Place<TNxGrid>(0, 0, 200, 100);
  G->HandleNeeded();
  ASSERT_EQ(Style.CallsOf("OpenThemeData").size(), 1u);
  EXPECT_EQ(Style.CallsOf("OpenThemeData")[0].ClassList, u"header");
  const HANDLE First = G->HeaderTheme();
  ASSERT_NE(First, nullptr);
  // Only the default painter draws with it.
  EXPECT_EQ(G->StyleDisplay(hsAuto)->ThemeHandle, First);
  EXPECT_EQ(G->StyleDisplay(hsVista)->ThemeHandle, nullptr);
  SendMessage(G->Handle(), WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(Style.CallsOf("CloseThemeData").size(), 1u);
  EXPECT_EQ(Style.CallsOf("OpenThemeData").size(), 2u);
  EXPECT_EQ(G->StyleDisplay(hsAuto)->ThemeHandle, G->HeaderTheme());
  delete G;
  EXPECT_EQ(Style.CallsOf("CloseThemeData").size(), 2u);
}

// ---- Fitting rows and columns ----------------------------------------------------------------------

TEST_F(GridEditingTest, FitColumnWidthTakesTheWidestOfHeaderAndCells) {
  TNxCustomColumn* C = G->Columns()->Items(0);
  C->Header()->SetCaption(u"A much longer header caption");
  G->SetCells(0, 2, u"wide wide wide wide wide wide wide wide wide wide");
  C->SetPadding(2);
  G->Canvas()->SetFont(G->Font());
  const Integer Header = G->HeaderPainter()->MeasureHeaderWidth(C);
  G->Canvas()->SetFont(C->Font());
  const Integer Cell = G->Canvas()->TextWidth("wide wide wide wide wide wide wide wide wide wide");
  struct TCase {
    Integer Mode;
    Integer Widest;
  } Cases[] = {{2, Header}, {1, Cell}, {0, std::max(Header, Cell)}};
  for (const auto& K : Cases) {
    G->FitColumnWidth(0, K.Mode, false);
    EXPECT_EQ(C->Width(), 2 * 2 + K.Widest + 5) << K.Mode;
  }
  // An empty column with an empty header still gets the smallest width.
  C->Header()->SetCaption(WideString());
  for (int r = 0; r < G->RowCount(); ++r) G->SetCells(0, r, WideString());
  G->FitColumnWidth(0, 0, false);
  EXPECT_EQ(C->Width(), 2 * 2 + 8 + 5);
}

TEST_F(GridEditingTest, FitRowHeightTakesTheTallestWrappedCell) {
  auto* C = G->Columns()->Items(1);
  C->SetWrapKind(wkWordWrap);
  G->SetCells(1, 2, u"one two three four five six seven eight nine ten eleven twelve");
  std::vector<std::string> Heights;
  G->OnChangeRowHeight = [&](TObject*, Integer Index, Integer H) {
    Heights.push_back(std::to_string(Index) + ":" + std::to_string(H));
  };
  G->FitRowHeight(2);
  EXPECT_GT(G->GetRowHeight(2), 2 * G->Canvas()->TextHeight("Wg") - 1);
  G->FitRowHeight(0);  // short texts: RowSize stays
  EXPECT_EQ(G->GetRowHeight(0), G->RowSize());
  EXPECT_EQ(Heights.size(), 1u);
}

// ---- The grid's hooks over its cells ---------------------------------------------------------------

TEST_F(GridEditingTest, CellFormattingFromTheCellUnlessSelected) {
  G->Cell(0, 1)->SetFontColor(clRed);
  G->Cell(0, 1)->SetFontStyle(TFontStyles{fsItalic});
  std::vector<std::string> Seen;
  G->OnCellFormating = [&](TObject*, Integer ACol, Integer ARow, TColor& TextColor, TFontStyles& FontStyle,
                           TCellState State) {
    Seen.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + (State.Contains(csSelected) ? " sel" : ""));
    if (State.Contains(csEmpty)) FontStyle.Include(fsUnderline);
  };
  WideString Text = u"x";
  G->Canvas()->Font()->SetColor(clBlue);
  G->ApplyCellFormatting(0, 1, TCellState(), Text);
  EXPECT_EQ(G->Canvas()->Font()->Color(), clRed);
  EXPECT_TRUE(G->Canvas()->Font()->Style().Contains(fsItalic));
  G->Canvas()->Font()->SetColor(clBlue);
  G->ApplyCellFormatting(0, 1, TCellState{csSelected, csBoldTextSelection}, Text);
  EXPECT_EQ(G->Canvas()->Font()->Color(), clBlue);
  EXPECT_TRUE(G->Canvas()->Font()->Style().Contains(fsBold));
  EXPECT_EQ(Seen, (std::vector<std::string>{"0,1", "0,1 sel"}));
}

TEST_F(GridEditingTest, RefreshColumnCellsGivesEveryCellTheColumnsLook) {
  TNxCustomColumn* C = G->Columns()->Items(2);
  G->Cell(2, 0)->SetColor(clYellow);
  C->SetColor(clAqua);
  C->Font()->SetColor(clMaroon);
  C->Font()->SetStyle(TFontStyles{fsBold});
  G->RefreshColumnCells(2);
  for (int r = 0; r < G->RowCount(); ++r) {
    EXPECT_EQ(G->Cell(2, r)->Color(), clAqua);
    EXPECT_EQ(G->Cell(2, r)->FontColor(), clMaroon);
    EXPECT_TRUE(G->Cell(2, r)->FontStyle().Contains(fsBold));
  }
  G->RefreshColumnCells(7);  // no such column: nothing
}

TEST_F(GridEditingTest, FitHintTextIsTheColumnsText) {
  auto* C = dynamic_cast<TNxTextColumn*>(G->Columns()->Items(0));
  C->SetTextBefore(u"<");
  C->SetTextAfter(u">");
  WideString Text;
  G->GetFitHintText(0, 3, Text);
  EXPECT_EQ(Utf8(Text), "<r3a>");
}

// ---- The main window's list -------------------------------------------------------------------------

class MainWindowGridTest : public FormTest {
 protected:
  TNxGrid* G = nullptr;
  void PlaceControls() override {
    Form->SetBounds(100, 100, 760, 560);
    G = Place<TNxGrid>(0, 0, 700, 500);
    // The main window's list has no border.
    G->SetBorderStyle(bsNone);
    G->SetGridStyle(gsSlides);
    G->SetSlideSize(90);
    G->SetOptions(TGridOptions{goMultiSelect, goRowMoving, goSelectFullRow});
    G->SetReadOnly(true);
    const char16_t* Captions[] = {u"",         u"Name:   ",          u"Folder:   ",
                                  u"Size:   ", u"Date Modified:   ", u"Date Created:   "};
    for (int i = 0; i < 6; ++i) {
      TNxCustomColumn* C = i >= 4 ? static_cast<TNxCustomColumn*>(new TNxDateColumn(Form))
                                  : static_cast<TNxCustomColumn*>(new TNxTextColumn(Form));
      C->Header()->SetCaption(Captions[i]);
      G->Columns()->Add(C);
    }
  }
};

TEST_F(MainWindowGridTest, TwoHundredFilesAsTheWindowAddsThem) {
  ASSERT_EQ(G->ClientWidth(), 700);
  ASSERT_EQ(G->ClientHeight(), 500);
  std::vector<std::string> Changes;
  G->OnDataChange = [&](TObject*, TDataChange K, Integer I) {
    Changes.push_back(std::to_string(static_cast<int>(K)) + " " + std::to_string(I));
  };
  for (int i = 0; i < 200; ++i) {
    const Integer R = G->AddRow(1);
    G->Cell(1, R)->SetAsString(u"file" + AnsiToWide(AnsiString(std::to_string(i).c_str())) + u".pdf");
    G->Cell(2, R)->SetAsString(u"/home/user/documents");
    G->Cell(3, R)->SetAsInteger(1000 + i);
    G->Cell(4, R)->SetAsDateTime(45000 + i);
    G->Cell(5, R)->SetAsDateTime(44000 + i);
  }
  Pump();
  EXPECT_EQ(G->RowCount(), 200);
  EXPECT_EQ(Changes.size(), 200u);
  EXPECT_EQ(Changes.back(), "2 199");
  // 500 pixels hold five whole slides of 90.
  EXPECT_EQ(G->VertScrollBar()->Max(), 200);
  EXPECT_EQ(G->VertScrollBar()->PageSize(), 6);
  EXPECT_TRUE(G->VertScrollBar()->Visible());
  EXPECT_FALSE(G->HorzScrollBar()->Visible());
  for (int r = 0; r < 3; ++r) {
    const TRect S = G->SlideRect(r);
    EXPECT_EQ(S.Top, 90 * r) << r;
    EXPECT_EQ(S.Bottom - S.Top, 90) << r;
    EXPECT_EQ(S.Left, 0);
    EXPECT_EQ(S.Right, G->ClientWidth());
  }
  EXPECT_EQ(G->SelectedRow(), -1);
  EXPECT_EQ(G->SelectedCount(), 0);
  G->SetSelectedRow(7);
  EXPECT_EQ(G->SelectedRow(), 7);
  EXPECT_EQ(G->SelectedCount(), 1);
  EXPECT_EQ(Utf8(G->Cell(1, 7)->GetAsString()), "file7.pdf");
  // Read-only: typing never opens an editor.
  G->SetFocus();
  Pump();
  rtl::testing::InjectText("f");
  Pump();
  EXPECT_EQ(G->InplaceEditor(), nullptr);
}

// ---- The kept visible range and the footer events ------------------------------------------------

TEST_F(GridEditingTest, EveryRowOperationKeepsTheVisibleRange) {
  struct TStep {
    const char* Name;
    void (*Run)(TNxGrid*);
  } Steps[] = {
      {"hide the first row", [](TNxGrid* G) { G->SetRowVisible(0, false); }},
      {"exchange a hidden and a shown row", [](TNxGrid* G) { G->ExchangeRows(0, 3); }},
      {"add rows", [](TNxGrid* G) { G->AddRow(2); }},
      {"insert at the top", [](TNxGrid* G) { G->InsertRow(0, 2); }},
      {"child rows",
       [](TNxGrid* G) {
         G->AddChildRow(7);
         G->AddChildRow(7);
       }},
      {"collapse", [](TNxGrid* G) { G->SetExpanded(7, false); }},
      {"move the last shown row up", [](TNxGrid* G) { G->MoveRow(G->LastVisibleRow(), 1); }},
      {"expand", [](TNxGrid* G) { G->SetExpanded(7, true); }},
      {"delete a parent with its children", [](TNxGrid* G) { G->DeleteRow(7); }},
      {"quiet rows", [](TNxGrid* G) { G->AddRowsQuietly(3); }},
      {"hide every row",
       [](TNxGrid* G) {
         for (Integer i = 0; i < G->RowCount(); ++i) G->SetRowVisible(i, false);
       }},
      {"show one", [](TNxGrid* G) { G->SetRowVisible(2, true); }},
      {"clear", [](TNxGrid* G) { G->ClearRows(); }},
      {"add after clearing", [](TNxGrid* G) { G->AddRow(1); }},
  };
  for (const auto& Step : Steps) {
    Step.Run(G);
    EXPECT_TRUE(G->VisibleRangeIsKept()) << Step.Name << ": " << G->FirstVisibleRow() << ".." << G->LastVisibleRow();
  }
}

TEST_F(GridEditingTest, FooterEventsSetCustomValuesAndSeeEveryValue) {
  G->Columns()->Items(0)->Footer()->SetFormulaKind(fkCustom);
  G->Columns()->Items(1)->Footer()->SetFormulaKind(fkCount);
  std::vector<std::string> Seen;
  G->OnColumnFooterValue = [&](TObject*, Integer ACol, double& V) {
    Seen.push_back("custom " + std::to_string(ACol));
    V = 42;
  };
  G->OnFooterCalculate = [&](TObject*, Integer ACol, double& V) {
    Seen.push_back("calculated " + std::to_string(ACol) + " " + std::to_string(static_cast<int>(V)));
    if (ACol == 1) V += 1;
  };
  G->CalculateFooter();
  EXPECT_EQ(Seen, (std::vector<std::string>{"custom 0", "calculated 0 42", "calculated 1 4"}));
  EXPECT_EQ(Utf8(G->Columns()->Items(0)->Footer()->Caption()), "42");
  EXPECT_EQ(Utf8(G->Columns()->Items(1)->Footer()->Caption()), "5");
}

}  // namespace
