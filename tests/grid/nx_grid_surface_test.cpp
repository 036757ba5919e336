// The grid's published surface: defaults, names in form descriptions, the
// main window's grid read, written and read again, the setters' repaints,
// cursors, fonts and the design-time hit test.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "grid/nx_style_display.h"
#include "platform/forms/controls_messages.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"
#include "platform/win/user/user.h"
#include "tests/grid/description_test_support.h"
#include "tests/grid/form_test_support.h"
#include "tests/grid/main_grid_support.h"

namespace surface_test {

// The main window's list as its form describes it: the grid, its six
// columns and the three handlers.
const char* const kFileListForm =
    "object FileListForm: TFileListForm\n"
    "  Left = 339\n"
    "  Top = 149\n"
    "  Width = 901\n"
    "  Height = 551\n"
    "  Caption = 'Files'\n"
    "  Font.Height = -11\n"
    "  Font.Name = 'Tahoma'\n"
    "  OldCreateOrder = False\n"
    "  PixelsPerInch = 96\n"
    "  TextHeight = 13\n"
    "  object FileGrid: TNxGrid\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Width = 885\n"
    "    Height = 513\n"
    "    Align = alClient\n"
    "    AppearanceOptions = [aoAlphaBlendedSelection]\n"
    "    BorderStyle = bsNone\n"
    "    GridLinesColor = 15850188\n"
    "    GridStyle = gsSlides\n"
    "    InactiveSelectionColor = 15850188\n"
    "    Options = [goMultiSelect, goRowMoving, goSelectFullRow]\n"
    "    ReadOnly = True\n"
    "    SelectionColor = 10114859\n"
    "    ShowHint = True\n"
    "    SlideSelectionColor = clWhite\n"
    "    SlideSize = 90\n"
    "    TabOrder = 0\n"
    "    OnAfterRowMove = FileGridAfterRowMove\n"
    "    OnDblClick = FileGridDblClick\n"
    "    OnMouseDown = FileGridMouseDown\n"
    "    object NxImageColumnImage: TNxImageColumn\n"
    "      Position = 0\n"
    "      SlideBounds.Top = 6\n"
    "      SlideBounds.Height = 80\n"
    "      SlideBounds.Width = 120\n"
    "      SortType = stNumeric\n"
    "    end\n"
    "    object NxTextColumnFileName: TNxTextColumn\n"
    "      Font.Height = -11\n"
    "      Font.Name = 'Tahoma'\n"
    "      Font.Style = [fsBold]\n"
    "      ParentFont = False\n"
    "      Position = 1\n"
    "      SlideBounds.Left = 136\n"
    "      SlideBounds.Width = 464\n"
    "      SortType = stAlphabetic\n"
    "      Width = 400\n"
    "      TextBefore = 'File to Convert:   '\n"
    "    end\n"
    "    object NxTextColumnPath: TNxTextColumn\n"
    "      Position = 2\n"
    "      SlideBounds.Left = 136\n"
    "      SlideBounds.Top = 33\n"
    "      SlideBounds.Width = 464\n"
    "      SortType = stAlphabetic\n"
    "      Width = 400\n"
    "      TextBefore = 'Containing Folder:   '\n"
    "    end\n"
    "    object NxTextColumnSize: TNxTextColumn\n"
    "      Position = 3\n"
    "      SlideBounds.Left = 136\n"
    "      SlideBounds.Top = 49\n"
    "      SlideBounds.Width = 464\n"
    "      SortType = stAlphabetic\n"
    "      Width = 280\n"
    "      TextBefore = 'Size (KB):   '\n"
    "    end\n"
    "    object NxTextColumnDate2: TNxDateColumn\n"
    "      Position = 4\n"
    "      SlideBounds.Left = 384\n"
    "      SlideBounds.Top = 65\n"
    "      SlideBounds.Width = 216\n"
    "      SortType = stDate\n"
    "      Width = 280\n"
    "      NoneCaption = 'None'\n"
    "      TodayCaption = 'Today'\n"
    "      TextBefore = 'Date Modified:   '\n"
    "    end\n"
    "    object NxTextColumnDate: TNxDateColumn\n"
    "      Position = 5\n"
    "      SlideBounds.Left = 136\n"
    "      SlideBounds.Top = 65\n"
    "      SlideBounds.Width = 216\n"
    "      SortType = stDate\n"
    "      Width = 280\n"
    "      NoneCaption = 'None'\n"
    "      TodayCaption = 'Today'\n"
    "      TextBefore = 'Date Created:   '\n"
    "    end\n"
    "  end\n"
    "end\n";

class TFileListForm : public TForm {
  RTL_CLASS(TFileListForm, TForm)

 public:
  explicit TFileListForm(TComponent* AOwner) : TForm(AOwner) {}
  TNxGrid* FileGrid = nullptr;
  // The description the next form reads instead of the one above.
  inline static AnsiString Override;
  std::vector<std::string> Steps;

  void FileGridAfterRowMove(TObject*, Integer FromPos, Integer ToPos) {
    Steps.push_back("moved " + std::to_string(FromPos) + " " + std::to_string(ToPos));
  }
  void FileGridDblClick(TObject*) { Steps.push_back("double click"); }
  void FileGridMouseDown(TObject*, TMouseButton, TShiftState, Integer, Integer) { Steps.push_back("down"); }

 protected:
  void ReadDescription() override {
    TStringStream Input(Override.empty() ? AnsiString(kFileListForm) : Override);
    ReadComponentText(&Input, this);
  }
};

}  // namespace surface_test

using namespace surface_test;
RTL_IMPLEMENT_PUBLISHED(TFileListForm,
                        RTL_FIELD(FileGrid),
                        RTL_HANDLER(FileGridAfterRowMove),
                        RTL_HANDLER(FileGridDblClick),
                        RTL_HANDLER(FileGridMouseDown))

namespace {

class GridSurfaceTest : public FormTest {
 protected:
  TNxGrid* G = nullptr;
  void PlaceControls() override {
    if (!GetClass("TFileListForm")) RegisterClass(TFileListForm::StaticClass());
    G = Place<TNxGrid>(0, 0, 300, 200);
  }
  // The part of the grid's window that waits to be painted.
  bool NeedsPaint() {
    RECT R;
    return GetUpdateRect(G->Handle(), &R, FALSE) != 0;
  }
};

TEST_F(GridSurfaceTest, ANewGridHasTheDefaultsOfItsFormDescription) {
  // Each published property read back from a new grid is its streaming
  // default, so a new grid writes none of them.
  struct TCase {
    const char* Name;
    const char* Value;
  } Cases[] = {
      {"AppearanceOptions", "[aoHideSelection,aoHighlightSlideCells]"},
      {"AutoScroll", "False"},
      {"BorderStyle", "bsSingle"},
      {"EnableVisualStyles", "True"},
      {"FixedCols", "0"},
      {"FooterSize", "18"},
      {"GridStyle", "gsReport"},
      {"GridLinesColor", "clBtnFace"},
      {"GridLinesStyle", "lsNormal"},
      {"HeaderSize", "18"},
      {"HeaderStyle", "hsAuto"},
      {"HideScrollBar", "True"},
      {"HighlightedTextColor", "clHighlightText"},
      {"HomeEndBehaviour", "hebTopBottom"},
      {"InactiveSelectionColor", "clBtnFace"},
      {"IndicatorDrawingOptions", "doNormal"},
      {"InputEnterMode", "imEditing"},
      {"InputSize", "16"},
      {"Options", "[goHeader]"},
      {"ReadOnly", "False"},
      {"RowSize", "16"},
      {"SelectionColor", "clHighlight"},
      {"SelectionMoveDirection", "mdDown"},
      {"SlidesOptions", "[soFrame,soHideSelection]"},
      {"SlideSelectionColor", "clWindow"},
      {"SlideSize", "80"},
      {"SortedStyle", "soDefault"},
      {"TabLeaveControl", "True"},
      {"WantReturns", "False"},
      {"WantTabs", "False"},
      {"Color", "clWindow"},
      {"ParentColor", "False"},
      {"TabStop", "True"},
      {"MouseWheelEnabled", "True"},
      {"StartRowCount", "0"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    PPropInfo P = GetPropInfo(G, C.Name);
    ASSERT_NE(P, nullptr);
    const std::string Want = C.Value;
    if (Want == "True" || Want == "False") {
      EXPECT_EQ(GetOrdProp(G, P), Want == "True" ? 1 : 0);
    } else if (P->PropType->Kind == tkSet) {
      EXPECT_EQ(GetSetProp(G, P, true), Want);
    } else if (P->PropType->Kind == tkEnumeration) {
      EXPECT_EQ(GetEnumProp(G, P), Want);
    } else {
      const Int64 V = GetOrdProp(G, P);
      AnsiString Ident;
      if (!P->Idents.empty() && IntToIdent(static_cast<Integer>(V), Ident, P->Idents))
        EXPECT_EQ(Ident, Want);
      else
        EXPECT_EQ(std::to_string(V), Want);
    }
    if (P->HasDefault) EXPECT_EQ(GetOrdProp(G, P), P->Default) << "the streaming default";
  }
  EXPECT_EQ(G->Width(), 300);  // placed; a new grid is 250 x 150
  TNxGrid Fresh(nullptr);
  EXPECT_EQ(Fresh.Width(), 250);
  EXPECT_EQ(Fresh.Height(), 150);
  EXPECT_EQ(Fresh.Version(), u"5.9.5");
  EXPECT_TRUE(Fresh.Caption().empty());
  EXPECT_TRUE(Fresh.ControlStyle().Contains(csDoubleClicks));
  EXPECT_TRUE(Fresh.ControlStyle().Contains(csReplicatable));
}

TEST_F(GridSurfaceTest, EnumerationsAreWrittenByNameInTheirOrder) {
  G->SetName("Grid");
  G->SetOptions(TGridOptions{goCanHideColumn, goDisableColumnMoving, goDisableKeys, goEscClearEdit, goFooter, goGrid,
                             goHeader, goIndicator, goInput, goLockFixedCols, goMultiSelect, goRowResizing,
                             goRowMoving, goSecondClickEdit, goSelectFullRow, goUseDefaultValues,
                             goInplaceEditEvents});
  G->SetAppearanceOptions(TAppearanceOptions{ao3DGridLines, aoAlphaBlendedSelection, aoBoldTextSelection,
                                             aoDontFillCells, aoHideFocus, aoHideSelection, aoHighlightSlideCells,
                                             aoHintMarks, aoIndicateSelectedCell, aoIndicateSortedColumn});
  G->SetSlidesOptions(TGridSlideOptions{});
  G->SetGridLinesStyle(lsVerticalOnly);
  G->SetHeaderStyle(hsVista);
  G->SetSortedStyle(soWhite);
  G->SetSelectionMoveDirection(mdRight);
  G->SetInputEnterMode(imAllways);
  G->SetHomeEndBehaviour(hebLeftRight);
  G->SetIndicatorDrawingOptions(doCustomOnly);
  const AnsiString Text = WriteDescriptionText(G);
  for (const char* Line :
       {"Options = [goCanHideColumn, goDisableColumnMoving, goDisableKeys, goEscClearEdit, goFooter, goGrid, "
        "goHeader, goIndicator, goInput, goLockFixedCols, goMultiSelect, goRowResizing, goRowMoving, "
        "goSecondClickEdit, goSelectFullRow, goUseDefaultValues, goInplaceEditEvents]",
        "AppearanceOptions = [ao3DGridLines, aoAlphaBlendedSelection, aoBoldTextSelection, aoDontFillCells, "
        "aoHideFocus, aoHideSelection, aoHighlightSlideCells, aoHintMarks, aoIndicateSelectedCell, "
        "aoIndicateSortedColumn]",
        "SlidesOptions = []", "GridLinesStyle = lsVerticalOnly", "HeaderStyle = hsVista", "SortedStyle = soWhite",
        "SelectionMoveDirection = mdRight", "InputEnterMode = imAllways", "HomeEndBehaviour = hebLeftRight",
        "IndicatorDrawingOptions = doCustomOnly"})
    EXPECT_NE(Text.find(Line), AnsiString::npos) << Line << "\n" << Text;
  EXPECT_EQ(Text.find("Version"), AnsiString::npos);
  // The enumerations count as the form descriptions have them.
  const std::vector<std::pair<PTypeInfo, std::vector<const char*>>> Orders = {
      {TypeInfo<TGridLinesStyle>(),
       {"lsNormal", "lsActiveHorzOnly", "lsActiveRows", "lsFramed", "lsHorizontalOnly", "lsVerticalOnly"}},
      {TypeInfo<THeaderStyle>(),
       {"hsAuto", "hsFlatBorders", "hsOffice2007", "hsOffice2010", "hsOldStyle", "hsOutlook", "hsVista"}},
      {TypeInfo<TSelectionMoveDirection>(), {"mdNone", "mdUp", "mdDown", "mdLeft", "mdRight"}},
      {TypeInfo<TCellStateFlag>(), {"csBoldTextSelection", "csEmpty", "csFocused", "csSelected"}},
      {TypeInfo<TSlideStateFlag>(), {"stFocused", "stSelected"}},
      {TypeInfo<TDataChange>(),
       {"dcAddColumn", "dcAddChildRow", "dcAddRow", "dcInsertColumn", "dcInsertRow", "dcDeleteColumn", "dcDeleteRow",
        "dcClearRows"}},
      {TypeInfo<TMoveSelectionKey>(), {"mkUndefined", "mkArrows", "mkTab", "mkEnter"}},
  };
  for (const auto& [Type, Names] : Orders)
    for (size_t i = 0; i < Names.size(); ++i) EXPECT_EQ(GetEnumName(Type, static_cast<Integer>(i)), Names[i]);
}

TEST_F(GridSurfaceTest, VersionIsNeverStoredAndStaysFixed) {
  PPropInfo P = GetPropInfo(G, "Version");
  ASSERT_NE(P, nullptr);
  SetStrProp(G, P, "1.0");
  EXPECT_EQ(GetStrProp(G, P), "5.9.5");
  EXPECT_FALSE(IsStoredProp(G, P));
}

TEST_F(GridSurfaceTest, EveryEventIsPublished) {
  for (const char* Name :
       {"OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit",
        "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnMouseWheelDown",
        "OnMouseWheelUp", "OnResize", "OnStartDrag", "OnHorizontalScroll", "OnVerticalScroll", "OnAfterEdit",
        "OnAfterRowMove", "OnAfterSort", "OnApplyCell", "OnApplyEditText", "OnBeforeEdit", "OnBeforeSelect",
        "OnCalculateRow", "OnCellClick", "OnCellColoring", "OnCellDblClick", "OnCellHint", "OnCellShowing", "OnChange",
        "OnChangeRowHeight", "OnColumnFooterValue", "OnColumnMove", "OnColumnResize", "OnCustomDrawCell",
        "OnCustomDrawFooter", "OnCustomDrawHeader", "OnCustomDrawIndicator", "OnDataChange", "OnDeselectCell",
        "OnDrawCellBackground", "OnEdit", "OnEditAccept", "OnEditEnter", "OnEditExit", "OnEditText", "OnEndEditing",
        "OnFooterCalculate", "OnFooterClick", "OnHeaderClick", "OnHeaderDblClick", "OnInputAccept", "OnInputAdded",
        "OnInputSelectCell", "OnLoadProgress", "OnMeasuringRowHeight", "OnMouseEnter", "OnMouseLeave", "OnPostDraw",
        "OnRowMove", "OnSelectCell", "OnSelectionMove", "OnSlideChange", "OnSlideColoring", "OnSortColumn",
        "OnCellFormating", "OnCompare", "OnExpand"}) {
    PPropInfo P = GetPropInfo(G, Name);
    ASSERT_NE(P, nullptr) << Name;
    EXPECT_EQ(P->PropType->Kind, tkMethod) << Name;
  }
}

TEST_F(GridSurfaceTest, TheMainWindowsGridIsReadWrittenAndReadAgain) {
  auto* F = TCustomForm::Create<TFileListForm>(nullptr);
  ASSERT_NE(F->FileGrid, nullptr);
  TNxGrid* Grid = F->FileGrid;
  // What the description sets, and what it leaves at the defaults.
  EXPECT_TRUE(Grid->Options() == (TGridOptions{goMultiSelect, goRowMoving, goSelectFullRow}));
  EXPECT_TRUE(Grid->SlidesOptions() == (TGridSlideOptions{soFrame, soHideSelection}));
  EXPECT_TRUE(Grid->AppearanceOptions() == TAppearanceOptions{aoAlphaBlendedSelection});
  EXPECT_EQ(Grid->GridStyle(), gsSlides);
  EXPECT_EQ(Grid->SlideSize(), 90);
  EXPECT_EQ(Grid->SelectionColor(), static_cast<TColor>(10114859));
  EXPECT_EQ(Grid->InactiveSelectionColor(), static_cast<TColor>(15850188));
  EXPECT_EQ(Grid->GridLinesColor(), static_cast<TColor>(15850188));
  EXPECT_EQ(Grid->SlideSelectionColor(), clWhite);
  EXPECT_EQ(Grid->BorderStyle(), bsNone);
  EXPECT_TRUE(Grid->ReadOnly());
  EXPECT_TRUE(Grid->ShowHint());
  EXPECT_EQ(Grid->Align(), alClient);
  ASSERT_TRUE(Grid->OnAfterRowMove);
  Grid->OnAfterRowMove(Grid, 0, 2);
  ASSERT_TRUE(Grid->OnDblClick);
  ASSERT_TRUE(Grid->OnMouseDown);
  EXPECT_EQ(F->Steps, (std::vector<std::string>{"moved 0 2"}));
  // The columns: in index order, owned by the form, each once.
  auto CheckColumns = [](TFileListForm* Form) {
    TNxGrid* G = Form->FileGrid;
    const char* Names[] = {"NxImageColumnImage", "NxTextColumnFileName", "NxTextColumnPath",
                           "NxTextColumnSize",   "NxTextColumnDate2",    "NxTextColumnDate"};
    ASSERT_EQ(G->Columns()->Count(), 6);
    std::set<TNxCustomColumn*> Seen;
    for (Integer i = 0; i < 6; ++i) {
      TNxCustomColumn* C = G->Columns()->Items(i);
      EXPECT_EQ(C->Name(), Names[i]);
      EXPECT_EQ(C->Owner(), Form);
      EXPECT_EQ(C->Position(), i);
      Seen.insert(C);
    }
    EXPECT_EQ(Seen.size(), 6u);
    Integer Owned = 0;
    for (Integer i = 0; i < Form->ComponentCount(); ++i)
      if (dynamic_cast<TNxCustomColumn*>(Form->Components(i))) ++Owned;
    EXPECT_EQ(Owned, 6);
  };
  CheckColumns(F);
  TNxCustomColumn* Name = Grid->Columns()->Items(1);
  EXPECT_TRUE(Name->Font()->Style().Contains(fsBold));
  EXPECT_EQ(Name->SlideBounds()->Left(), 136);
  EXPECT_EQ(Name->SlideBounds()->Top(), 8);
  EXPECT_EQ(Grid->Columns()->Items(0)->SlideBounds()->Left(), 8);
  // Written, the description reads back to the same form, which writes the
  // same text again.
  const AnsiString First = WriteDescriptionText(F);
  EXPECT_EQ(First.find("Version"), AnsiString::npos);
  EXPECT_EQ(First.find("SlidesOptions"), AnsiString::npos);
  EXPECT_NE(First.find("OnAfterRowMove = FileGridAfterRowMove"), AnsiString::npos) << First;
  EXPECT_NE(First.find("Options = [goMultiSelect, goRowMoving, goSelectFullRow]"), AnsiString::npos);
  F->Free();
  TFileListForm::Override = First;
  auto* Second = TCustomForm::Create<TFileListForm>(nullptr);
  TFileListForm::Override.clear();
  ASSERT_NE(Second->FileGrid, nullptr);
  CheckColumns(Second);
  EXPECT_EQ(WriteDescriptionText(Second), First);
  ASSERT_TRUE(Second->FileGrid->OnDblClick);
  Second->FileGrid->OnDblClick(Second->FileGrid);
  EXPECT_EQ(Second->Steps, (std::vector<std::string>{"double click"}));
  Second->Free();
}

TEST_F(GridSurfaceTest, ADescriptionThatOmitsTheOptionsGivesTheDefaults) {
  TFileListForm::Override =
      "object FileListForm: TFileListForm\n"
      "  object FileGrid: TNxGrid\n"
      "    Left = 4\n"
      "    Version = '1.0'\n"
      "  end\n"
      "end\n";
  auto* F = TCustomForm::Create<TFileListForm>(nullptr);
  TFileListForm::Override.clear();
  ASSERT_NE(F->FileGrid, nullptr);
  EXPECT_TRUE(F->FileGrid->Options() == TGridOptions{goHeader});
  EXPECT_TRUE(F->FileGrid->SlidesOptions() == (TGridSlideOptions{soFrame, soHideSelection}));
  EXPECT_TRUE(F->FileGrid->AppearanceOptions() == (TAppearanceOptions{aoHideSelection, aoHighlightSlideCells}));
  EXPECT_EQ(F->FileGrid->Version(), u"5.9.5") << "a stored version is read and ignored";
  EXPECT_EQ(F->FileGrid->Columns()->Count(), 0);
  F->Free();
}

TEST_F(GridSurfaceTest, SettersRepaintAsTheirTableSays) {
  Pump();
  ASSERT_FALSE(NeedsPaint());
  G->SetSelectionColor(clRed);
  EXPECT_FALSE(NeedsPaint()) << "stored only";
  EXPECT_EQ(G->SelectionColor(), clRed);
  G->SetGridStyle(gsReport);
  EXPECT_FALSE(NeedsPaint()) << "the same style does nothing";
  for (auto Set : std::vector<std::function<void()>>{
           [&] { G->SetGridLinesColor(clRed); }, [&] { G->SetSlidesOptions(TGridSlideOptions{}); },
           [&] { G->SetSlideSelectionColor(clRed); }, [&] { G->SetSortedStyle(soWhite); },
           [&] { G->SetInactiveSelectionColor(clRed); }, [&] { G->SetGridStyle(gsSlides); },
           [&] { G->SetHeaderStyle(hsOffice2010); }, [&] { G->SetEnableVisualStyles(false); }}) {
    Pump();
    ASSERT_FALSE(NeedsPaint());
    Set();
    EXPECT_TRUE(NeedsPaint());
  }
  G->SetHideScrollBar(false);
  EXPECT_FALSE(G->VertScrollBar()->AutoHide()) << "handed to the vertical bar";
  G->SetHeaderStyle(hsOutlook);
  EXPECT_EQ(G->HeaderPainter()->ClassName(), "TOutlookStyleDisplay");
}

TEST_F(GridSurfaceTest, BorderStyleRecreatesTheWindowWithItsEdge) {
  const HWND Before = G->Handle();
  EXPECT_TRUE(GetWindowLong(Before, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  G->SetBorderStyle(bsNone);
  Pump();
  EXPECT_FALSE(GetWindowLong(G->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(G->ClientWidth(), 300);
}

TEST_F(GridSurfaceTest, CursorsAreLoadedIntoTheScreensList) {
  for (TCursor C : {crHorzSplit, crColumnNoDrag, crVertSplit, crIndicatorSelect}) {
    SCOPED_TRACE(C);
    EXPECT_NE(Screen->Cursors(C), nullptr);
    EXPECT_NE(Screen->Cursors(C), Screen->Cursors(crDefault));
  }
  std::set<HCURSOR> Distinct;
  for (TCursor C : {crHorzSplit, crColumnNoDrag, crVertSplit, crIndicatorSelect}) Distinct.insert(Screen->Cursors(C));
  EXPECT_EQ(Distinct.size(), 4u);
}

TEST_F(GridSurfaceTest, ColumnsWithParentFontFollowTheGridsFont) {
  auto* Parented = new TNxTextColumn(Form);
  auto* Own = new TNxTextColumn(Form);
  G->Columns()->Add(Parented);
  G->Columns()->Add(Own);
  Own->Font()->SetName("Courier New");
  ASSERT_FALSE(Own->ParentFont());
  G->Font()->SetHeight(-20);
  EXPECT_EQ(Parented->Font()->Height(), -20);
  EXPECT_NE(Own->Font()->Height(), -20);
  // A font change of the form reaches the grid and, through it, the
  // parented column.
  Form->Font()->SetHeight(-9);
  EXPECT_EQ(G->Font()->Height(), -20) << "the grid's own font was set";
  G->SetParentFont(true);
  Form->Font()->SetHeight(-13);
  EXPECT_EQ(G->Font()->Height(), -13);
  EXPECT_EQ(Parented->Font()->Height(), -13);
  EXPECT_EQ(Own->Font()->Name(), "Courier New");
}

TEST_F(GridSurfaceTest, TheDesignerLeavesTheHeaderStripToTheGrid) {
  G->Columns()->Add(new TNxTextColumn(Form));
  EXPECT_EQ(G->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(10, 5)), 1);
  EXPECT_EQ(G->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(10, 50)), 0);
  G->SetOptions(TGridOptions{});
  EXPECT_EQ(G->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(10, 5)), 0);
}

}  // namespace
