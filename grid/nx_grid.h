// The grid applications place on a form: the control over a cell store,
// with the row operations that keep the view's state in step.
#pragma once

#include <memory>

#include "grid/nx_cells.h"
#include "grid/nx_custom_grid_control.h"

using TNxRowExpandEvent = TClosure<void(TObject* Sender, Integer ARow)>;
class TColumnPlay;
using TCellFormatingEvent = TClosure<void(TObject* Sender, Integer ACol, Integer ARow, TColor& TextColor,
                                          TFontStyles& FontStyle, TCellState CellState)>;
using TCalculateRowEvent = TClosure<void(TObject* Sender, Integer ACol, Integer ARow, bool& Accept)>;

class TNxGrid : public TNxCustomGrid, public TCellsHost {
  RTL_CLASS(TNxGrid, TNxCustomGrid)

  std::unique_ptr<TCells> FCells;
  Integer FLastAddedRow = 0;
  Integer FStartRowCount = 0;

  void DoCellChange(TObject* Sender, Integer ACol, Integer ARow);
  void DoCompareCells(TObject* Sender, TCell* Cell1, TCell* Cell2, Integer& Compare);
  // Raises the store's list-index error for a row outside the grid.
  void CheckRow(Integer Index) const;
  void DeleteDescendants(Integer Index);
  void ScrollBody(Integer FromY, Integer DY);
  void LineScroll(bool Down);
  void ShowDescendants(Integer Index);
  void HideDescendants(Integer Index);

 protected:
  // First and last rows that are Visible and Shown (-1 when none), from
  // the store; run after every structural change.
  void UpdateVisibleRange();

 public:
  explicit TNxGrid(TComponent* AOwner);
  ~TNxGrid() override;

  // ---- TCellsHost ---------------------------------------------------------
  Integer CellColumnCount() const override;
  TCellColumnInfo CellColumnInfo(Integer Index) const override;
  TColor CellDisplayColor(Integer ACol, Integer ARow) const override;
  TColor CellDisplayFontColor(Integer ACol, Integer ARow) const override;
  WideString GetVirtualCellText(TObject* Column, Integer ACol, Integer ARow) const override;
  void SetVirtualCellText(TObject* Column, Integer ACol, Integer ARow, const WideString& Value) override;

  // ---- Row and cell access ------------------------------------------------
  TCells* Store() const { return FCells.get(); }
  virtual TCell* Cell(Integer ACol, Integer ARow);
  WideString GetCells(Integer ACol, Integer ARow) override;
  void SetCells(Integer ACol, Integer ARow, const WideString& Value) override;
  Integer GetRowCount() override { return FCells->RowCount(); }
  Integer GetRowLevel(Integer Index) override;
  Integer GetRowTag(Integer Index) override;
  bool GetSelected(Integer Index) override;
  Integer GetVisibleRowCount() override { return FCells->VisibleRowCount(); }
  Integer GetFirstVisibleRow() override { return FFirstVisibleRow; }
  Integer GetLastVisibleRow() override { return FLastVisibleRow; }
  void GetDrawText(Integer ACol, Integer ARow, WideString& Text) override;
  bool Expanded(Integer Index);
  void SetExpanded(Integer Index, bool Value);
  Integer GetRowHeight(Integer Index) override;
  void SetRowHeight(Integer Index, Integer Height) override;
  bool GetRowVisible(Integer Index) override;
  void SetRowVisible(Integer Index, bool Value) override;
  void SetSelected(Integer Index, bool Value) override;
  void SelectRange(Integer FromRow, Integer ToRow, bool Value) override;
  void DeselectAll() override;
  void SetRowSize(Integer Value) override;

  // ---- Row operations -----------------------------------------------------
  Integer AddRow(Integer Count = 1) override;
  virtual void AddRowsQuietly(Integer Count);
  void InsertRow(Integer Pos, Integer Count = 1) override;
  virtual void AddChildRow(Integer Index, bool AsLast = true);
  void DeleteRow(Integer Index) override;
  void ClearRows() override;
  void MoveRow(Integer FromPos, Integer ToPos) override;
  void ExchangeRows(Integer Index1, Integer Index2) override;
  void ScrollAfterRowChange(Integer Row, Integer Height, bool Shown);
  void SortColumn(TNxCustomColumn* Column, bool Ascending) override;

  // ---- Hooks ----------------------------------------------------------------
  TColor GetCellColor(Integer ACol, Integer ARow) override;
  void GetCellHint(Integer ACol, Integer ARow, WideString& Hint) override;
  bool IsCellHidden(Integer ACol, Integer ARow) override;
  void GetCellInfo(Integer ACol, Integer ARow, TCellInfo& Info);
  void ColumnsChanged(Integer Kind, Integer Index) override;
  // The footer value of every column with a formula; VisibleOnly skips
  // hidden rows.
  void CalculateFooter(bool VisibleOnly = false);

  Integer LastAddedRow() const { return FLastAddedRow; }
  Integer StartRowCount() const { return FStartRowCount; }
  void SetStartRowCount(Integer Value);

  TCellCompareEvent OnCompare;
  TNxRowExpandEvent OnExpand;
  TCalculateRowEvent OnCalculateRow;

  // ---- formatting, fit hints, column cells and play elements --------------
  void ApplyCellFormatting(Integer ACol, Integer ARow, TCellState State, const WideString& Text) override;
  void GetFitHintText(Integer ACol, Integer ARow, WideString& Text) override;
  // Every cell of the column takes the column's colour and font.
  void RefreshColumnCells(Integer Index) override;
  void FillColumnPlay(TColumnPlay* Play) override;
  void ApplyColumnPlay(TColumnPlay* Play) override;
  void ToggleExpanded(TColumnPlay* Play) override;
  // Whether FirstVisibleRow and LastVisibleRow are those the store gives.
  bool VisibleRangeIsKept();

  // painting
 protected:
  bool PrepareCellDisplay(Integer ACol, Integer ARow, TCellState State) override;

 public:
  TCellFormatingEvent OnCellFormating;
};
