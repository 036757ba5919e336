// The grid's cell formatting, fit-hint text, column-wide cell appearance
// and the play-element operations over the cell store.
#include "grid/nx_displays.h"
#include "grid/nx_grid.h"

void TNxGrid::ApplyCellFormatting(Integer ACol, Integer ARow, TCellState State, const WideString&) {
  if (!CellIsValid(ACol, ARow)) return;
  TCell* C = FCells->GetCell(ACol, ARow);
  TFont* F = Canvas()->Font();
  TFontStyles Style = C->FontStyle();
  TColor TextColor = F->Color();
  if (!State.Contains(csSelected)) TextColor = C->FontColor();
  if (State.Contains(csBoldTextSelection)) Style.Include(fsBold);
  if (OnCellFormating) OnCellFormating(this, ACol, ARow, TextColor, Style, State);
  F->SetColor(TextColor);
  F->SetStyle(Style);
}

void TNxGrid::GetFitHintText(Integer ACol, Integer ARow, WideString& Text) {
  TCellInfo Info;
  GetCellInfo(ACol, ARow, Info);
  Text = Info.AsString;
  Columns()->Items(ACol)->GetFitHintText(Info, Text);
}

void TNxGrid::RefreshColumnCells(Integer Index) {
  if (!Columns()->IsValidIndex(Index)) return;
  TNxCustomColumn* Column = Columns()->Items(Index);
  const Integer N = RowCount();
  for (Integer r = 0; r < N; ++r) {
    TCell* C = FCells->GetCell(Index, r);
    C->SetColor(Column->Color());
    C->SetFontStyle(Column->Font()->Style());
    C->SetFontColor(Column->Font()->Color());
  }
}

void TNxGrid::FillColumnPlay(TColumnPlay* Play) {
  if (!Play || !CellIsValid(Play->ColumnIndex, Play->Row)) return;
  TCell* C = FCells->GetCell(Play->ColumnIndex, Play->Row);
  switch (Columns()->Items(Play->ColumnIndex)->CellKind()) {
    case ckBoolean: Play->AsBoolean = C->GetAsBoolean(); break;
    case ckInteger: Play->AsInteger = C->GetAsInteger(); break;
    case ckString: GetDrawText(Play->ColumnIndex, Play->Row, Play->AsString); break;
    default: break;
  }
}

void TNxGrid::ApplyColumnPlay(TColumnPlay* Play) {
  if (!Play || !CellIsValid(Play->ColumnIndex, Play->Row)) return;
  const Integer ACol = Play->ColumnIndex, ARow = Play->Row;
  bool Accept = true;
  if (OnEditAccept) OnEditAccept(this, ACol, ARow, Play->AsString, Accept);
  if (!Accept) return;
  TCell* C = FCells->GetCell(ACol, ARow);
  switch (Columns()->Items(ACol)->CellKind()) {
    case ckBoolean: C->SetAsBoolean(Play->AsBoolean); break;
    case ckInteger: C->SetAsInteger(Play->AsInteger); break;
    default: break;
  }
  if (OnAfterEdit) OnAfterEdit(this, ACol, ARow, FCells->GetCell(ACol, ARow)->GetAsString());
}

void TNxGrid::ToggleExpanded(TColumnPlay* Play) {
  if (Play && RowIsValid(Play->Row)) SetExpanded(Play->Row, !Expanded(Play->Row));
}
