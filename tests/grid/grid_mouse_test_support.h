// A grid on a shown form driven by injected mouse input, with a log of the
// mouse's events and of the editing and fitting it calls.
#pragma once

#include <string>
#include <vector>

#include "form_test_support.h"
#include "grid/nx_column_classes.h"
#include "grid/nx_grid.h"
#include "platform/testing/user_testing.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_keys.h"

// Paints white, so that what the mouse draws outside painting shows until
// a repaint takes it away; records the editing and fitting calls.
class TMouseTestGrid : public TNxGrid {
 public:
  using TNxGrid::TNxGrid;
  std::vector<std::string>* Log = nullptr;
  // The editing calls the mouse makes, apart from the event log.
  std::vector<std::string> Hooks;

  void SetEditingState(bool On) {
    if (On)
      FState.Include(sfEditing);
    else
      FState.Exclude(sfEditing);
  }

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(ClientRect());
  }
  void EditCell(Integer ACol, Integer ARow, const WideString&) override {
    Note("edit " + std::to_string(ACol) + " " + std::to_string(ARow));
  }
  void FitColumnWidth(Integer ACol, Integer Mode, bool OnlyVisibleRows) override {
    // The border's double click fits to the cells of the visible rows.
    if (Mode == 1 && OnlyVisibleRows) Note("fit column " + std::to_string(ACol));
  }
  void FitRowHeight(Integer Row) override { Note("fit row " + std::to_string(Row)); }
  bool ApplyEditing() override {
    Hooks.push_back("apply");
    return false;
  }
  void ShowInputLine(bool Value) override { Hooks.push_back(Value ? "input line on" : "input line off"); }
  void EditInputCell(TNxCustomColumn* Column, const WideString&) override {
    Hooks.push_back("edit input " + std::to_string(Column->Index()));
  }
  void OutsideClick() override { Hooks.push_back("outside"); }
  void Note(const std::string& S) {
    if (Log) Log->push_back(S);
  }
};

class GridMouseTest : public FormTest {
 protected:
  TMouseTestGrid* G = nullptr;
  std::vector<std::string> Log;

  void PlaceControls() override {
    Form->SetBounds(100, 100, 700, 800);
    // Eight slides of 90 fit whole.
    G = Place<TMouseTestGrid>(0, 0, 600, 720);
    G->SetBorderStyle(bsNone);
    G->Log = &Log;
    G->OnCellClick = [this](TObject*, Integer C, Integer R) { Note("click", C, R); };
    G->OnCellDblClick = [this](TObject*, Integer C, Integer R) { Note("cell dblclick", C, R); };
    G->OnHeaderClick = [this](TObject*, Integer C) { Note("header click", C); };
    G->OnHeaderDblClick = [this](TObject*, Integer C) { Note("header dblclick", C); };
    G->OnFooterClick = [this](TObject*, Integer C) { Note("footer click", C); };
    G->OnRowMove = [this](TObject*, Integer F, Integer T, bool&) { Note("row move", F, T); };
    G->OnAfterRowMove = [this](TObject*, Integer F, Integer T) { Note("after row move", F, T); };
    G->OnDblClick = [this](TObject*) { Log.push_back("dblclick"); };
  }

  void Note(const char* What, Integer A, Integer B = -100) {
    std::string S = std::string(What) + " " + std::to_string(A);
    if (B != -100) S += " " + std::to_string(B);
    Log.push_back(S);
  }

  TNxTextColumn* AddColumn(Integer Width = 100) {
    auto* C = new TNxTextColumn(Form);
    C->SetWidth(Width);
    G->Columns()->Add(C);
    return C;
  }
  void AddRows(Integer N) {
    for (Integer r = 0; r < N; ++r) {
      G->AddRow();
      for (Integer c = 0; c < G->Columns()->Count(); ++c)
        G->SetCellsText(c, r, u"r" + std::u16string(1, char16_t(u'A' + r)) + u"c" + std::u16string(1, char16_t(u'0' + c)));
    }
  }
  // A report view of Cols columns of 100 and Rows rows of 16, no header.
  void Report(Integer Cols, Integer Rows, TGridOptions Options) {
    G->SetOptions(Options);
    for (Integer c = 0; c < Cols; ++c) AddColumn();
    AddRows(Rows);
    Pump();
    Log.clear();
  }
  // The main window's list: slides of 90, six columns, multi-selection,
  // row moving, full-row selection, read-only, no header, double-buffered.
  void MainWindowGrid(Integer Rows) {
    G->SetGridStyle(gsSlides);
    G->SetSlideSize(90);
    G->SetOptions(TGridOptions{goMultiSelect, goRowMoving, goSelectFullRow});
    G->SetReadOnly(true);
    G->SetDoubleBuffered(true);
    for (Integer c = 0; c < 6; ++c) AddColumn(280);
    const Integer Bounds[6][4] = {{8, 6, 120, 80},     {136, 8, 464, 16},   {136, 33, 464, 16},
                                  {136, 49, 464, 16},  {384, 65, 216, 16},  {136, 65, 216, 16}};
    for (Integer c = 0; c < 6; ++c) {
      TNxSlideBounds* S = G->Columns()->Items(c)->SlideBounds();
      S->SetLeft(Bounds[c][0]);
      S->SetTop(Bounds[c][1]);
      S->SetWidth(Bounds[c][2]);
      S->SetHeight(Bounds[c][3]);
    }
    AddRows(Rows);
    Pump();
    Log.clear();
  }

  POINT At(Integer X, Integer Y) { return rtl::testing::ClientPoint(G->Handle(), X, Y); }
  void Keys(TShiftState Shift, bool Down) {
    if (Shift.Contains(ssShift)) rtl::testing::InjectKey(VK_SHIFT, Down);
    if (Shift.Contains(ssCtrl)) rtl::testing::InjectKey(VK_CONTROL, Down);
  }
  void Click(Integer X, Integer Y, TShiftState Shift = {}, rtl::testing::TInjectButton B = rtl::testing::ibLeft) {
    // Far enough in time from the last click not to make a double click.
    rtl::testing::AdvanceClock(1000);
    Keys(Shift, true);
    rtl::testing::InjectClick(At(X, Y), B);
    Keys(Shift, false);
    Pump();
  }
  void Press(Integer X, Integer Y, rtl::testing::TInjectButton B = rtl::testing::ibLeft) {
    rtl::testing::AdvanceClock(1000);
    rtl::testing::InjectMouseMove(At(X, Y));
    rtl::testing::InjectMouseButton(B, true, At(X, Y));
    Pump();
  }
  void MoveTo(Integer X, Integer Y) {
    rtl::testing::InjectMouseMove(At(X, Y));
    Pump();
  }
  void Release(Integer X, Integer Y, rtl::testing::TInjectButton B = rtl::testing::ibLeft) {
    rtl::testing::InjectMouseButton(B, false, At(X, Y));
    Pump();
  }
  // Press, pull in steps, release.
  void Drag(Integer X0, Integer Y0, Integer X1, Integer Y1) {
    Press(X0, Y0);
    for (Integer k = 1; k <= 4; ++k) MoveTo(X0 + (X1 - X0) * k / 4, Y0 + (Y1 - Y0) * k / 4);
    Release(X1, Y1);
  }
  std::vector<Integer> SelectedRows() {
    std::vector<Integer> R;
    for (Integer i = 0; i < G->RowCount(); ++i)
      if (G->GetSelected(i)) R.push_back(i);
    return R;
  }
  // Two clicks that make a double click.
  void DoubleClick(Integer X, Integer Y) {
    rtl::testing::AdvanceClock(1000);
    rtl::testing::InjectClick(At(X, Y));
    rtl::testing::InjectClick(At(X, Y));
    Pump();
  }
  // Red (255) pixels of the grid's client area.
  Integer RedPixels() {
    Integer N = 0;
    HBITMAP B = rtl::testing::CaptureWindow(G->Handle());
    DIBSECTION D{};
    GetObject(B, sizeof D, &D);
    const auto* Bits = static_cast<const uint32_t*>(D.dsBm.bmBits);
    for (Integer i = 0; i < D.dsBm.bmWidth * D.dsBm.bmHeight; ++i)
      if ((Bits[i] & 0xFFFFFF) == 0xFF0000) ++N;
    DeleteObject(B);
    return N;
  }
};
