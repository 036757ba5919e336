// The "header" theme handle the default header painter draws with, and
// fitting rows and columns to what their cells need.
#include <algorithm>

#include "grid/nx_custom_grid_control.h"
#include "grid/nx_displays.h"
#include "grid/nx_style_display.h"

// ---- Header theme ------------------------------------------------------------------------------

void TNxCustomGridControl::HeaderThemeChanged() {
  if (FPainters[hsAuto]) FPainters[hsAuto]->ThemeHandle = static_cast<HTHEME>(FHeaderTheme);
}

// ---- Measuring ------------------------------------------------------------------------------

TSize TNxCustomGridControl::MeasureCell(Integer ACol, Integer ARow, Integer Width) {
  TNxCustomColumn* Column = FColumns->Items(ACol);
  auto* Display = dynamic_cast<TColumnDisplay*>(Column->Display());
  if (!Display || !HandleAllocated()) return TSize();
  Canvas()->SetFont(Column->Font());
  WideString Text;
  GetDrawText(ACol, ARow, Text);
  if (OnApplyCell) OnApplyCell(this, ACol, ARow, Text);
  TCellState State;
  if (ARow == FSelectedRow || GetSelected(ARow)) State.Include(csSelected);
  ApplyCellFormatting(ACol, ARow, State, Text);
  Display->Canvas = Canvas();
  Display->Handle = Handle();
  Display->CellRect = TRect(0, 0, Width, FRowSize);
  Display->AsString = Text;
  TSize Size;
  Display->MeasureContent(Size);
  return Size;
}

void TNxCustomGridControl::FitRowHeight(Integer Row) {
  if (!RowIsValid(Row)) return;
  Integer Height = FRowSize;
  for (Integer i = 0; i < FColumns->Count(); ++i) {
    TNxCustomColumn* Column = FColumns->Items(i);
    if (!Column->Visible()) continue;
    const Integer Width = Column->Width() - FLines.LeftLine - FLines.RightLine;
    Height = std::max(Height, static_cast<Integer>(MeasureCell(i, Row, Width).cy));
  }
  SetRowHeight(Row, Height);
}

void TNxCustomGridControl::FitColumnWidth(Integer ACol, Integer Mode, bool OnlyVisibleRows) {
  if (!FColumns->IsValidIndex(ACol) || !HandleAllocated()) return;
  TNxCustomColumn* Column = FColumns->Items(ACol);
  Integer Widest = 8;
  if (Mode == 0 || Mode == 2) {
    Canvas()->SetFont(Font());
    TStyleDisplay* Painter = ReadyPainter();
    Widest = std::max(Widest, Painter->MeasureHeaderWidth(Column));
  }
  if (Mode == 0 || Mode == 1) {
    const Integer N = GetRowCount();
    for (Integer r = 0; r < N; ++r) {
      if (OnlyVisibleRows && !GetRowVisible(r)) continue;
      Widest = std::max(Widest, static_cast<Integer>(MeasureCell(ACol, r, Column->Width()).cx));
    }
  }
  Column->SetWidth(Column->Padding() * 2 + Widest + 5);
}
