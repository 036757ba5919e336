// The abstract data grid: the view's state, the layout of its areas in the
// report and slides views, row stacking, scroll bars, hit tests and
// repaints. Rows live in the concrete grid, reached through the virtual
// row operations.
#pragma once

#include <memory>
#include <vector>

#include "grid/nx_cell_state.h"
#include "grid/nx_column_collection.h"
#include "grid/nx_scroll_control.h"

class TTimer;
class TStyleDisplay;
class THintWindow;
class TColumnDragBox;
class TDragArrow;
class TColumnPlay;

RTL_ENUM(TGridOption, goCanHideColumn, goDisableColumnMoving, goDisableKeys, goEscClearEdit, goFooter, goGrid,
         goHeader, goIndicator, goInput, goLockFixedCols, goMultiSelect, goRowResizing, goRowMoving,
         goSecondClickEdit, goSelectFullRow, goUseDefaultValues, goInplaceEditEvents)
using TGridOptions = TSet<TGridOption, 32>;
RTL_ENUM(TAppearanceOption, ao3DGridLines, aoAlphaBlendedSelection, aoBoldTextSelection, aoDontFillCells,
         aoHideFocus, aoHideSelection, aoHighlightSlideCells, aoHintMarks, aoIndicateSelectedCell,
         aoIndicateSortedColumn)
using TAppearanceOptions = TSet<TAppearanceOption, 16>;
RTL_ENUM(TGridSlideOption, soFrame, soHideSelection)
using TGridSlideOptions = TSet<TGridSlideOption, 8>;
RTL_ENUM(TGridStyle, gsReport, gsSlides)
RTL_ENUM(TGridLinesStyle, lsNormal, lsActiveHorzOnly, lsActiveRows, lsFramed, lsHorizontalOnly, lsVerticalOnly)
RTL_ENUM(TSelectionMoveDirection, mdNone, mdUp, mdDown, mdLeft, mdRight)
RTL_ENUM(THeaderStyle, hsAuto, hsFlatBorders, hsOffice2007, hsOffice2010, hsOldStyle, hsOutlook, hsVista)
RTL_ENUM(TSortedStyle, soDefault, soDarker, soWhite)
RTL_ENUM(TInputEnterMode, imAllways, imEditing)
RTL_ENUM(THomeEndBehaviour, hebTopBottom, hebLeftRight)
RTL_ENUM(TDataChange, dcAddColumn, dcAddChildRow, dcAddRow, dcInsertColumn, dcInsertRow, dcDeleteColumn,
         dcDeleteRow, dcClearRows)
RTL_ENUM(TGridStateFlag, sfSizingColumn, sfHeaderPressed, sfDraggingColumn, sfEditing, sfInputEditing,
         sfMultiSelection, sfMovingRow)
using TGridStateFlags = TSet<TGridStateFlag, 16>;
// in-place editing: the key that moves the selection to another column.
RTL_ENUM(TMoveSelectionKey, mkUndefined, mkArrows, mkTab, mkEnter)

enum TGridArea { gaNone = 0, gaBody = 1, gaFooter = 2, gaHeader = 3, gaIndicator = 4, gaInputLine = 5 };

struct TGridLineWidths {
  Integer LeftLine = 0;
  Integer TopLine = 0;
  Integer RightLine = 0;
  Integer BottomLine = 0;
  Integer RowGap = 0;
};

constexpr Integer IndicatorWidth = 12;

using TCellNotifyEvent = TClosure<void(TObject* Sender, Integer ACol, Integer ARow)>;
using TDataChangeEvent = TClosure<void(TObject* Sender, TDataChange AChangeType, Integer AIndex)>;
using TCellHintEvent = TClosure<void(TObject* Sender, Integer ACol, Integer ARow, WideString& Value)>;
using TCellShowingEvent = TClosure<void(TObject* Sender, Integer ACol, Integer ARow, bool& Showing)>;
using TRowHeightEvent = TClosure<void(TObject* Sender, Integer Index, Integer Height)>;
using TMeasuringRowHeightEvent = TClosure<void(TObject* Sender, Integer Index, Integer& RowHeight)>;
using TSortColumnEvent = TClosure<void(TObject* Sender, Integer ACol, bool Ascending)>;
using TColumnNotifyEvent = TClosure<void(TObject* Sender, Integer ACol)>;
using TColumnMoveEvent = TClosure<void(TObject* Sender, Integer ACol, Integer FromPos, Integer ToPos)>;

// painting
class TColumnDisplay;
RTL_ENUM(TSlideStateFlag, stFocused, stSelected)
using TSlideState = TSet<TSlideStateFlag, 8>;
using TCellColoringEvent = TClosure<void(TObject* Sender, Integer ACol, Integer ARow, TColor& CellColor,
                                         TColor& GridColor, TCellState CellState)>;
using TDrawCellBackgroundEvent = TClosure<void(TObject* Sender, Integer ACol, Integer ARow, const TRect& CellRect,
                                               TCellState CellState, bool& DefaultDrawing)>;
using TCustomDrawCellEvent =
    TClosure<void(TObject* Sender, Integer ACol, Integer ARow, const TRect& CellRect, TCellState CellState)>;
using TSlideColoringEvent =
    TClosure<void(TObject* Sender, Integer Index, TColor& SlideColor, TColor& GridColor, TSlideState SlideState)>;
using TCustomDrawIndicatorEvent =
    TClosure<void(TObject* Sender, Integer Index, const TRect& IndicatorRect, bool Selected, bool Highlighted)>;
using TCustomDrawPartEvent = TClosure<void(TObject* Sender, Integer Index, const TRect& Rect)>;

class TNxCustomGridControl : public TNxScrollControl, public TNxColumnsGrid {
  RTL_CLASS(TNxCustomGridControl, TNxScrollControl)

  TAppearanceOptions FAppearanceOptions{aoHideSelection, aoHighlightSlideCells};
  bool FAutoScroll = false;
  WideString FCaption;
  Integer FFixedCols = 0;
  Integer FFooterSize = 18;
  TColor FGridLinesColor = clBtnFace;
  TGridLinesStyle FGridLinesStyle = lsNormal;
  TGridLineWidths FLines;
  TGridStyle FGridStyle = gsReport;
  Integer FHeaderSize = 18;
  THeaderStyle FHeaderStyle = hsAuto;
  Integer FInputSize = 16;
  TNotifyEvent FIndicatorChange;
  TGridOptions FOptions{goHeader};
  bool FReadOnly = false;
  Integer FRowSize = 16;
  TGridSlideOptions FSlidesOptions{soFrame, soHideSelection};
  Integer FSlideSize = 80;
  WideString FVersion = u"5.9.5";
  THomeEndBehaviour FHomeEndBehaviour = hebTopBottom;
  TInputEnterMode FInputEnterMode = imEditing;
  bool FTabLeaveControl = true;
  TNxColumns* FColumns = nullptr;
  Integer FLastPaintedRow = -1;
  HANDLE FHeaderTheme = nullptr;
  Integer FOldClientWidth = 0;
  Integer FOldClientHeight = 0;

  void ColumnChangeHandler(TObject* Sender, TNxCustomColumn* Column, Integer Kind, Integer Value);
  void DataNotifyHandler(TObject* Sender, Integer Kind, Integer Index, Integer Extra);
  void LayoutChangeHandler(TObject* Sender, Integer Kind, Integer Index, Integer Extra);
  void CloseHeaderTheme();

 protected:
  Integer FEditCol = -1;
  Integer FEditRow = -1;
  Integer FSelectionAnchor = -1;
  TWinControl* FInplaceEditor = nullptr;
  Integer FInputColumn = -1;
  bool FInputLineActive = false;
  Integer FSelectedColumn = 0;
  Integer FSelectedRow = -1;
  Integer FTopRow = 0;
  Integer FFirstVisibleRow = 0;
  Integer FLastVisibleRow = 0;
  TGridStateFlags FState;
  Integer FUpdateCount = 0;
  TNxCustomColumn* FSortedColumn = nullptr;

  // Invalidates a client rectangle without erasing.
  void InvalidateArea(const TRect& R);
  // The height a row takes in the counting operations: SlideSize in the
  // slides view; beyond the last row, RowSize.
  Integer StackHeight(Integer Row);
  // Rows beyond the last one count as visible rows of RowSize.
  bool StackVisible(Integer Row);
  Integer NextVisibleRow(Integer Row);
  Integer PriorVisibleRow(Integer Row);
  // Whether Row starts below the body's bottom; stops walking there, so
  // rows far down cost no more than a page.
  bool RowStartsBelowBody(Integer Row);
  // The vertical position that TopRow stands for.
  Integer TopRowPosition();

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WMSize(TMessage& Message) override;
  void WMScroll(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

 public:
  explicit TNxCustomGridControl(TComponent* AOwner);
  ~TNxCustomGridControl() override;

  // ---- Virtual row operations and hooks --------------------------------
  virtual void RowsScrolled(Integer /*Count*/) {}
  virtual void ApplyEditValue(Integer ACol, Integer ARow, const WideString& Value);
  virtual bool CanEdit() { return true; }
  virtual bool CanSelectCell(Integer /*ACol*/, Integer /*ARow*/) { return true; }
  virtual TColor GetCellColor(Integer ACol, Integer ARow);
  virtual void GetCellHint(Integer ACol, Integer ARow, WideString& Hint);
  virtual WideString GetCells(Integer ACol, Integer ARow) = 0;
  virtual void GetDrawText(Integer ACol, Integer ARow, WideString& Text) = 0;
  virtual Integer GetFirstVisibleRow() = 0;
  virtual Integer GetHorzScrollRange();
  virtual Integer GetLastVisibleRow() = 0;
  virtual Integer GetRowCount() = 0;
  virtual Integer GetRowHeight(Integer /*Index*/) { return FRowSize; }
  virtual Integer GetRowTag(Integer /*Index*/) { return -1; }
  virtual Integer GetRowLevel(Integer /*Index*/) { return 0; }
  virtual bool GetRowVisible(Integer /*Index*/) { return true; }
  virtual bool GetSelected(Integer Index) = 0;
  virtual Integer GetSelectedCount();
  virtual Integer GetSelectedRow() { return FSelectedRow; }
  virtual void GetCellsAsText(WideChar Separator, WideString& Text);
  virtual Integer GetViewRowCount();
  virtual Integer GetVisibleRowCount() = 0;
  virtual bool HidePartialRows() { return false; }
  virtual void ColumnsChanged(Integer Kind, Integer Index);
  virtual void ColumnChanged(TNxCustomColumn* Column, Integer Value, Integer Kind);
  virtual void ColumnsLayoutChanged(Integer Kind);
  virtual bool IsCellHidden(Integer ACol, Integer ARow);
  virtual void SetCells(Integer ACol, Integer ARow, const WideString& Value) = 0;
  virtual void SetRowHeight(Integer Index, Integer Height);
  virtual void SetRowSize(Integer Value);
  virtual void SetRowVisible(Integer Index, bool Value);
  virtual void SetSelected(Integer Index, bool Value) = 0;
  virtual void SetSelectedRow(Integer Value);
  virtual void SortColumn(TNxCustomColumn* Column, bool Ascending);
  virtual void UpdateHorzScrollBar();
  virtual void UpdateVertScrollBar();
  virtual TRect GetCellRect(Integer ACol, Integer ARow);
  virtual Integer AddRow(Integer Count) = 0;
  virtual void ClearRows();
  virtual void DeselectAll();
  virtual void DeleteRow(Integer Index);
  virtual void EndEditing();
  virtual void InsertRow(Integer Index, Integer Count);
  virtual void MoveRow(Integer FromPos, Integer ToPos);
  virtual void RefreshCell(Integer ACol, Integer ARow);
  virtual void RefreshColumn(TNxCustomColumn* Column, Integer Area);
  virtual void SlideBoundsChanged(TNxCustomColumn* Column);
  virtual void RefreshColumnCells(Integer /*Index*/) {}
  virtual void SelectRange(Integer FromRow, Integer ToRow, bool Value) = 0;
  virtual void ExchangeRows(Integer Index1, Integer Index2) = 0;
  virtual void PositionEditor();

  // ---- Selection ------------------------------------------------------------
  // The single entry of every selection change; with AutoEdit the selected
  // cell's editor opens after it.
  virtual void SelectCell(Integer ACol, Integer ARow, TShiftState Shift, bool ClearSelection, bool AutoEdit);
  void SelectColumnInRow(Integer ACol);
  virtual void SelectFirstRow(TShiftState Shift);
  virtual void SelectLastRow(TShiftState Shift);
  void ClearMultiSelection();
  void SelectAllRows();
  virtual void MoveSelectionDown(TShiftState Shift, bool LeaveAtEnd, bool WrapAtEnd);
  virtual void MoveSelectionUp(TShiftState Shift);
  void StepSelection(bool Down, TShiftState Shift);
  void MoveSelectionBy(Integer N);
  void SelectPriorColumn(TMoveSelectionKey Key = mkUndefined);
  void SelectNextColumn(TMoveSelectionKey Key = mkUndefined);
  void SelectFirstColumn();
  void SelectLastColumn();
  void TabForward();
  void TabBackward();
  // The navigation keys of the key table; answers whether Key was used.
  bool HandleNavigationKey(Word Key, TShiftState Shift);

  // ---- Layout -------------------------------------------------------------
  void UpdateGridLineWidths();
  const TGridLineWidths& GridLineWidths() const { return FLines; }
  TRect BodyRect();
  TRect HeaderRect();
  TRect FooterRect();
  TRect IndicatorRect();
  TRect InputLineRect();
  TRect InputCellRect(Integer ACol);
  TRect RowRect(Integer Row);
  TRect SlideRect(Integer Row);
  TRect ScrollAreaRect();
  TRect CaptionRect();
  Integer RowTop(Integer Row);
  Integer SlideTop(Integer Row);
  Integer CellTop(Integer ACol, Integer ARow);
  Integer PageRowCount(bool CountAbove);
  Integer LastWholeRow();
  Integer RowBelowTop(Integer N);
  Integer CountVisibleRowsBetween(Integer A, Integer B);
  bool CellIsValid(Integer ACol, Integer ARow);
  bool RowIsValid(Integer Row);
  // The columns' total width plus the indicator's.
  Integer HorzScrollPos();

  Integer GetHorzScrollDelta(Integer OldPos, Integer NewPos) override;
  Integer GetVertScrollDelta(Integer OldPos, Integer NewPos) override;
  void ScrollIntoView(Integer Row);
  void ScrollColumnIntoView(TNxCustomColumn* Column);

  // ---- Hit tests ----------------------------------------------------------
  TGridArea AreaAtPoint(const TPoint& P);
  TPoint CellAtPoint(Integer X, Integer Y);
  TNxCustomColumn* ColumnAtX(Integer X);
  TNxCustomColumn* ColumnBorderAtX(Integer X);
  Integer RowAtY(Integer X, Integer Y);
  Integer RowBorderAtY(Integer X, Integer Y);
  Integer SlideAtY(Integer Y);
  Integer DropRowAtY(Integer Y);

  // ---- Repaints -----------------------------------------------------------
  void RefreshArea(TGridArea Area);
  void RefreshRow(Integer Row, bool BorderOnly = false);
  void RefreshRows(Integer A, Integer B);
  void RefreshRowIndicator(Integer Row);
  void RefreshRowBottomLine(Integer Row);
  void RefreshSlide(Integer Row, bool FrameOnly = false);
  void RefreshRowsFrom(Integer Row, Integer Count);
  void RefreshSelection();
  void RefreshSelectedSlides();
  void ScrollColumnsAfterResize(TNxCustomColumn* Column, Integer Delta, bool HeaderOnly);

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  bool IsUpdating() const { return FUpdateCount > 0; }

  // ---- TNxColumnsGrid -----------------------------------------------------
  TNxColumns* GridColumns() const override { return FColumns; }
  bool GridLoading() const override;
  bool GridDestroying() const override;
  bool GridDesigning() const override;
  Integer GridUsableWidth() const override;
  Integer GridBodyLeft() const override;
  bool GridShowIndicator() const override { return FOptions.Contains(goIndicator); }
  Integer GridHorzScrollPos() const override;
  // The header held down and the one under the pointer, as the painters
  // see them; a header carried by the drag box is drawn plain.
  TNxCustomColumn* GridPressedColumn() const override {
    return FState.Contains(sfDraggingColumn) ? nullptr : FPressedColumn;
  }
  TNxCustomColumn* GridHotColumn() const override { return FHotColumn; }
  Integer GridSelectedColumn() const override { return FSelectedColumn; }
  TFont* GridFont() const override;
  TCanvas* GridCanvas() const override { return Canvas(); }
  TRect GridFooterRect() const override;
  TRect GridHeaderRect() const override;
  TRect GridInputLineRect() const override;
  void GridRefreshColumn(TNxCustomColumn* Column, Integer Area) override { RefreshColumn(Column, Area); }
  void GridSetIndicatorChange(const TNotifyEvent& OnChange) override { FIndicatorChange = OnChange; }

  // ---- Properties ---------------------------------------------------------
  TNxColumns* Columns() const { return FColumns; }
  Integer RowCount() { return GetRowCount(); }
  Integer SelectedRow() { return GetSelectedRow(); }
  Integer SelectedCount() { return GetSelectedCount(); }
  Integer SelectedColumn() const { return FSelectedColumn; }
  WideString Cells(Integer ACol, Integer ARow) { return GetCells(ACol, ARow); }
  void SetCellsText(Integer ACol, Integer ARow, const WideString& V) { SetCells(ACol, ARow, V); }
  Integer TopRow() const { return FTopRow; }
  Integer FirstVisibleRow() const { return FFirstVisibleRow; }
  Integer LastVisibleRow() const { return FLastVisibleRow; }
  Integer EditCol() const { return FEditCol; }
  Integer EditRow() const { return FEditRow; }
  Integer SelectionAnchor() const { return FSelectionAnchor; }
  TGridStateFlags State() const { return FState; }
  Integer UpdateCount() const { return FUpdateCount; }
  TNxCustomColumn* SortedColumn() const { return FSortedColumn; }
  HANDLE HeaderTheme() const { return FHeaderTheme; }

  TAppearanceOptions AppearanceOptions() const { return FAppearanceOptions; }
  void SetAppearanceOptions(TAppearanceOptions Value);
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool Value) { FAutoScroll = Value; }
  const WideString& Caption() const { return FCaption; }
  void SetCaption(const WideString& Value);
  Integer FixedCols() const { return FFixedCols; }
  void SetFixedCols(Integer Value);
  Integer FooterSize() const { return FFooterSize; }
  void SetFooterSize(Integer Value);
  TColor GridLinesColor() const { return FGridLinesColor; }
  void SetGridLinesColor(TColor Value);
  TGridLinesStyle GridLinesStyle() const { return FGridLinesStyle; }
  void SetGridLinesStyle(TGridLinesStyle Value);
  TGridStyle GridStyle() const { return FGridStyle; }
  void SetGridStyle(TGridStyle Value);
  Integer HeaderSize() const { return FHeaderSize; }
  void SetHeaderSize(Integer Value);
  THeaderStyle HeaderStyle() const { return FHeaderStyle; }
  void SetHeaderStyle(THeaderStyle Value);
  Integer InputSize() const { return FInputSize; }
  void SetInputSize(Integer Value);
  bool InputLineActive() const { return FInputLineActive; }
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  Integer RowSize() const { return FRowSize; }
  TGridSlideOptions SlidesOptions() const { return FSlidesOptions; }
  void SetSlidesOptions(TGridSlideOptions Value);
  Integer SlideSize() const { return FSlideSize; }
  void SetSlideSize(Integer Value);
  const WideString& Version() const { return FVersion; }
  void SetVersion(const WideString&) { FVersion = u"5.9.5"; }
  THomeEndBehaviour HomeEndBehaviour() const { return FHomeEndBehaviour; }
  void SetHomeEndBehaviour(THomeEndBehaviour Value) { FHomeEndBehaviour = Value; }
  TInputEnterMode InputEnterMode() const { return FInputEnterMode; }
  void SetInputEnterMode(TInputEnterMode Value) { FInputEnterMode = Value; }
  bool TabLeaveControl() const { return FTabLeaveControl; }
  void SetTabLeaveControl(bool Value) { FTabLeaveControl = Value; }

  // ---- Events -------------------------------------------------------------
  TClosure<void(TObject* Sender, Integer ACol, Integer ARow, bool& Accept)> OnBeforeSelect;
  TCellNotifyEvent OnChange;
  TCellNotifyEvent OnDeselectCell;
  TCellNotifyEvent OnSelectCell;
  TDataChangeEvent OnDataChange;
  TCellHintEvent OnCellHint;
  TCellShowingEvent OnCellShowing;
  TRowHeightEvent OnChangeRowHeight;
  TMeasuringRowHeightEvent OnMeasuringRowHeight;
  TSortColumnEvent OnSortColumn;
  TColumnNotifyEvent OnAfterSort;
  TColumnMoveEvent OnColumnMove;
  TColumnNotifyEvent OnColumnResize;
  TColumnNotifyEvent OnSlideChange;

  // mouse
 protected:
  TPoint FPressCell{-1, -1};
  TNxCustomColumn* FPressedColumn = nullptr;
  TNxCustomColumn* FHotColumn = nullptr;

 public:
  // The cell under the last press, the header held down, the header under
  // the pointer.
  TPoint PressCell() const { return FPressCell; }
  TNxCustomColumn* PressedColumn() const { return FPressedColumn; }
  TNxCustomColumn* HotColumn() const { return FHotColumn; }

  TCellNotifyEvent OnCellClick;
  TCellNotifyEvent OnCellDblClick;
  TColumnNotifyEvent OnHeaderClick;
  TColumnNotifyEvent OnHeaderDblClick;
  TColumnNotifyEvent OnFooterClick;
  TClosure<void(TObject* Sender, Integer FromPos, Integer ToPos, bool& Accept)> OnRowMove;
  TClosure<void(TObject* Sender, Integer FromPos, Integer ToPos)> OnAfterRowMove;

  // ---- in-place editing, the input line, focus and the dialog code -------
 protected:
  bool FSuppressEditEvent = false;
  bool FWantReturns = false;
  bool FWantTabs = false;
  TSelectionMoveDirection FSelectionMoveDirection = mdDown;
  // Set while the grid hands a typed character on to its editor: the grid
  // saw that key already.
  bool FPassingKey = false;
  // Editors whose events this grid hooked; their hooks go with the grid.
  std::vector<TWinControl*> FHookedEditors;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DoEnter() override;
  void DoExit() override;
  void WMGetDlgCode(TMessage& Message);
  // The editor key handling: Tab, Enter and Escape, then the grid's own
  // key-down handling.
  void EditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  // The editor bound to a column: its InplaceEdit, else its own editor.
  TWinControl* ColumnEditor(TNxCustomColumn* Column);
  // Whether (ACol, ARow) may get a cell editor now.
  bool CanEditCell(Integer ACol, Integer ARow);
  // The steps EditCell and EditCellWithKey share before the editor is
  // bound: false when no editor opens on (ACol, ARow).
  bool BeginCellEdit(Integer ACol, Integer ARow);
  // The same for an input-line edit in Column: the input line on, the
  // column selected and its editor bound.
  bool BeginInputEdit(TNxCustomColumn* Column);
  // Binds the column's editor for (ACol, ARow): steps shared by EditCell,
  // EditCellWithKey and the input line.
  void BindEditor(TNxCustomColumn* Column, TColor EditorColor);
  void SendKeyToEditor(char Key);
  void UnhookEditors();

 public:
  // Empty; runs when an editor has its text, before it is placed.
  virtual void EditorShowing() {}
  virtual void HookEditorEvents();
  virtual void SetInplaceEditor(TWinControl* Editor);
  virtual void EditCell(Integer ACol, Integer ARow, const WideString& Text);
  void EditCellWithKey(Integer ACol, Integer ARow, char Key);
  virtual void EditInputCell(TNxCustomColumn* Column, const WideString& Text);
  void EditInputCellWithKey(Integer ACol, char Key);
  // Stores the open editor's text; true when a value was stored.
  virtual bool ApplyEditing();
  virtual void AcceptInputLine();
  virtual void ShowInputLine(bool Value);
  // Selects every visible row from From to To (only To when From > To),
  // with multi-selection and full-row selection.
  void ExtendSelectionRange(Integer From, Integer To);
  // The editor's text, as wide text; empty without an editor.
  WideString EditorText();
  void SetEditorText(const WideString& Value);

  TWinControl* InplaceEditor() const { return FInplaceEditor; }
  Integer InputColumn() const { return FInputColumn; }
  bool SuppressEditEvent() const { return FSuppressEditEvent; }

  // painting
 private:
  std::unique_ptr<TStyleDisplay> FPainters[7];
  TStyleDisplay* FPainter = nullptr;
  bool FEnableVisualStyles = true;
  TBorderStyle FBorderStyle = bsSingle;
  TColor FHighlightedTextColor = clHighlightText;
  TColor FInactiveSelectionColor = clBtnFace;
  TColor FSelectionColor = clHighlight;
  TColor FSlideSelectionColor = clWindow;
  TColor FSlideCaptionColor = clGrayText;
  TSortedStyle FSortedStyle = soDefault;
  TDrawingOptions FIndicatorDrawingOptions = doNormal;
  // What the running paint may change (a double-buffered paint has only
  // this as its clip); the client outside painting.
  TRect FPaintBox;
  bool FPainting = false;
  void CreatePainters();
  // Fills Rect, as the column's display element would, in Color.
  void FillCell(const TRect& Rect, TColor Color);
  // Clips to Rect within the paint's box.
  void ClipTo(const TRect& Rect);
  void ResetClip();
  // The clip box of the canvas now (the whole client when it has none).
  TRect CanvasClipBox();

 protected:
  // The current painter with its canvas and whether it draws themed set.
  TStyleDisplay* ReadyPainter();
  // The column's display element loaded with what every cell gets.
  TColumnDisplay* LoadDisplay(TNxCustomColumn* Column, Integer ARow, const TRect& Rect);
  void Paint() override;
  // The focus frame's left end stays at the body's left edge while the
  // row under it scrolls sideways: the row is painted again.
  void AfterScroll(TScrollBarKind Kind) override;
  virtual void DrawReportView();
  virtual void DrawReportRows();
  virtual void DrawColumnParts();
  virtual void DrawSlidesView();
  virtual void DrawSlidesHeader();
  virtual void DrawSlides();
  virtual void DrawCell(Integer ACol, Integer ARow, const TRect& CellRect);
  virtual void DrawIndicatorCell(Integer Index, bool Current, bool Highlighted);
  virtual bool PrepareCellDisplay(Integer ACol, Integer ARow, TCellState State);
  virtual void PrepareTreeInfo(Integer /*ACol*/, Integer /*ARow*/, TColumnDisplay* /*Display*/) {}
  virtual void DoCustomDrawHeader(Integer Index, const TRect& HeaderRect);
  virtual void DoCustomDrawFooter(Integer Index, const TRect& FooterRect);

 public:
  virtual TColor GetCellBackColor(Integer ACol, Integer ARow);
  virtual TColor GetCellTextColor(Integer ACol, Integer ARow);
  bool IsCellHighlighted(Integer ACol, Integer ARow);
  TCellState ComputeCellState(Integer ACol, Integer ARow);
  void DrawEmptyCell(Integer ACol, Integer ARow, const TRect& Rect);
  void DrawCellGridLines(Integer ACol, Integer ARow, TColor GridColor, const TRect& Rect);
  void DrawFocusFrame();
  void DrawSlideCaption(Integer ACol, Integer ARow);
  void SetCellClip(const TRect& Rect);
  void DrawBorder();
  void SelectHeaderPainter();
  // The grid or its editor has the focus.
  bool GridFocused();
  Integer LastPaintedRow() const { return FLastPaintedRow; }
  TStyleDisplay* HeaderPainter() const { return FPainter; }

  bool EnableVisualStyles() const { return FEnableVisualStyles; }
  void SetEnableVisualStyles(bool Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TColor HighlightedTextColor() const { return FHighlightedTextColor; }
  void SetHighlightedTextColor(TColor Value);
  TColor InactiveSelectionColor() const { return FInactiveSelectionColor; }
  void SetInactiveSelectionColor(TColor Value);
  TColor SelectionColor() const { return FSelectionColor; }
  void SetSelectionColor(TColor Value) { FSelectionColor = Value; }
  TColor SlideSelectionColor() const { return FSlideSelectionColor; }
  void SetSlideSelectionColor(TColor Value);
  TSortedStyle SortedStyle() const { return FSortedStyle; }
  void SetSortedStyle(TSortedStyle Value);
  TDrawingOptions IndicatorDrawingOptions() const { return FIndicatorDrawingOptions; }
  void SetIndicatorDrawingOptions(TDrawingOptions Value);

  TCellColoringEvent OnCellColoring;
  TDrawCellBackgroundEvent OnDrawCellBackground;
  TCustomDrawCellEvent OnCustomDrawCell;
  TSlideColoringEvent OnSlideColoring;
  TCustomDrawIndicatorEvent OnCustomDrawIndicator;
  TCustomDrawPartEvent OnCustomDrawHeader;
  TCustomDrawPartEvent OnCustomDrawFooter;
  TNotifyEvent OnPostDraw;

  // published surface
 private:
  bool FHideScrollBar = true;

 public:
  bool HideScrollBar() const { return FHideScrollBar; }
  void SetHideScrollBar(bool Value);

  // ---- in-place editing (continued) -----------------------------------------
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  TSelectionMoveDirection SelectionMoveDirection() const { return FSelectionMoveDirection; }
  void SetSelectionMoveDirection(TSelectionMoveDirection Value) { FSelectionMoveDirection = Value; }
  TColumnNotifyEvent OnInputSelectCell;
  TClosure<void(TObject* Sender, Integer& ACol, Integer ARow, TMoveSelectionKey Key)> OnSelectionMove;
  TClosure<void(TObject* Sender, Integer ACol, Integer ARow, bool& Accept)> OnBeforeEdit;
  TCellHintEvent OnApplyEditText;
  TNotifyEvent OnEditEnter;
  TClosure<void(TObject* Sender, Integer ACol, Integer ARow, const WideString& Value)> OnEdit;
  TClosure<void(TObject* Sender, Integer ACol, Integer ARow, const WideString& Value, bool& Accept)> OnEditAccept;
  TCellHintEvent OnEditText;
  TClosure<void(TObject* Sender, Integer ACol, Integer ARow, const WideString& Value)> OnAfterEdit;
  TClosure<void(TObject* Sender, Integer ACol, Integer ARow, WideString& Value, bool& Accept)> OnEndEditing;
  TNotifyEvent OnEditExit;
  TClosure<void(TObject* Sender, bool& Accept)> OnInputAccept;
  TNotifyEvent OnInputAdded;
  // Events of the row operations and the measuring.
  TCellHintEvent OnApplyCell;
  TClosure<void(TObject* Sender, Integer ACol, double& Value)> OnColumnFooterValue;
  TClosure<void(TObject* Sender, Integer ACol, double& Value)> OnFooterCalculate;
  TCellNotifyEvent OnLoadProgress;

  // ---- the header theme and measuring ---------------------------------------
 private:
  // Hands the header theme handle (or none) to the default painter.
  void HeaderThemeChanged();
  // What the column's display element needs for the cell's display text.
  TSize MeasureCell(Integer ACol, Integer ARow, Integer Width);

 public:
  // The owned painter of a header style; HeaderStyle picks the current one.
  TStyleDisplay* StyleDisplay(THeaderStyle Style) const { return FPainters[Style].get(); }
  // The row's height becomes what its tallest cell needs, at least RowSize.
  virtual void FitRowHeight(Integer Row);
  // Mode 0 header and cells, 1 cells only, 2 the header only.
  virtual void FitColumnWidth(Integer ACol, Integer Mode, bool OnlyVisibleRows);
  // A column's play element: loading the cell's value into it, storing its
  // value back, and its row's expand toggle; nothing without a store.
  virtual void FillColumnPlay(TColumnPlay* /*Play*/) {}
  virtual void ApplyColumnPlay(TColumnPlay* /*Play*/) {}
  virtual void ToggleExpanded(TColumnPlay* /*Play*/) {}
  // The text of the fit hint; the display text here.
  virtual void GetFitHintText(Integer ACol, Integer ARow, WideString& Text) { GetDrawText(ACol, ARow, Text); }
  // The formatting hook of a cell's text before it is drawn or measured.
  virtual void ApplyCellFormatting(Integer /*ACol*/, Integer /*ARow*/, TCellState /*State*/,
                                   const WideString& /*Text*/) {}
};

// The grid that adds the keyboard to the control.
class TNxCustomGrid : public TNxCustomGridControl {
  RTL_CLASS(TNxCustomGrid, TNxCustomGridControl)

  WideString FSearchText;
  TTimer* FSearchTimer = nullptr;
  void SearchTimerTick(TObject* Sender);

 protected:
  void CreateWnd() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;

 public:
  explicit TNxCustomGrid(TComponent* AOwner);

  // Selects the first visible row whose text in ACol starts with Text,
  // case ignored: from the top with FromStart, else after the selected
  // row, wrapping round. Answers whether a row was found.
  bool IncrementalSearch(Integer ACol, const WideString& Text, bool FromStart);
  const WideString& SearchText() const { return FSearchText; }
  TTimer* SearchTimer() const { return FSearchTimer; }

  // mouse
 private:
  // The drag box, the arrows and the hint window, freed before the grid's
  // window goes, in that order.
  struct TMouseParts {
    TColumnDragBox* DragBox = nullptr;
    TDragArrow* UpperArrow = nullptr;
    TDragArrow* LowerArrow = nullptr;
    THintWindow* HintWindow = nullptr;
    ~TMouseParts();
  };
  TMouseParts FParts;
  TPoint FPressPoint{-1, -1};
  bool FPressHitSelected = false;
  bool FReselectOnCancel = false;
  TNxCustomColumn* FSizedColumn = nullptr;
  Integer FSizingDelta = 0;
  Integer FLeftGuide = 0;
  Integer FRightGuide = 0;
  TNxCustomColumn* FBorderColumn = nullptr;
  Integer FSizedRow = -1;
  TPoint FRowGuide;
  TNxCustomColumn* FDraggedColumn = nullptr;
  Integer FRowDragSource = -1;
  Integer FRowDropTarget = -1;
  Integer FPrevDropTarget = -1;
  // The target whose insertion mark is on the window (-1: none).
  Integer FDrawnDropMark = -1;
  TPoint FMouseCell{-1, -1};
  TPoint FHoverCell{-1, -1};
  Byte FHintKind = 0;
  TNxCustomColumn* FHintColumn = nullptr;
  TNxCustomColumn* FFooterHintColumn = nullptr;

  void CreateMouseParts();
  // Every mouse operation in progress ends (the focus went).
  void DropMouseOperations();
  // Column references of the mouse state that no longer name a column of
  // the grid (deleted meanwhile) are dropped.
  void ForgetDeadColumns();
  bool IsLiveColumn(TNxCustomColumn* Column) const;
  Integer DisplayedLeft(TNxCustomColumn* Column);
  void DrawVertGuide(Integer X);
  void DrawHorzGuide(Integer Y);
  void HideHint();
  void PlayLeave(const TPoint& Cell);
  void BodyPress(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void BodyPressSelect(TMouseButton Button, TShiftState Shift, Integer Row);
  void BodyPressScroll(Integer Row);
  void HeaderPress(Integer X);
  void IndicatorPress(Integer X, Integer Y);
  void StartColumnSizing();
  void HeaderMove(TShiftState Shift, Integer X, Integer Y);
  void FooterMove(Integer X);
  void BodyMove(TShiftState Shift, Integer X, Integer Y, const TPoint& PrevCell);
  void IndicatorMove(Integer X, Integer Y);
  void BodyRelease(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void SortClick(TNxCustomColumn* Column);
  void StartColumnDrag(TNxCustomColumn* Column);
  bool WheelStep(bool Down, TShiftState Shift);

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void DragCanceled() override;
  void Dispatch(TMessage& Message) override;
  // The application lost or regained the activation.
  virtual void CMAppActivateChanged(TMessage& Message);
  // Whether the current header painter tracks the hot header.
  bool HeaderHotTracking();
  // What the hint marks use to tell whether a cell's text fits: the width
  // its display element needs for the text, prepared as for painting.
  Integer CellContentWidth(Integer ACol, Integer ARow);

 public:
  virtual bool PrepareColumnPlay(Integer ACol, Integer ARow, bool FireEvent, const TRect& CellRect);
  // A press outside every area.
  virtual void OutsideClick() {}
  virtual void RecreateHintWindow();
  void ShowHintAt(Integer X, Integer Y, const WideString& Text);
  void ShowFitHint(Integer ACol, Integer ARow);
  void ShowCellHint(Integer ACol, Integer ARow, const WideString& Text);
  bool CellTextFits(Integer ACol, Integer ARow);
  void DrawRowDropMark(Integer Target);
  void EraseRowDropMark();

  // Column dragging: the drag box's move and drop, the place a drop lands
  // and the arrows that show it.
  void ColumnDragMoved(TObject* Sender, Integer X, Integer Y);
  void ColumnDropped(TObject* Sender, Integer X, Integer Y);
  Integer DropColumnPosition(TNxCustomColumn* Column, const TPoint& P);
  TRect HeaderDropRect();
  void ShowColumnDropMark(Integer FromPos, Integer ToPos);
  void ShowColumnDropArrows(const TPoint& ScreenPoint, bool Hide);
  void HideColumnDropArrows();

  TColumnDragBox* DragBox() const { return FParts.DragBox; }
  TDragArrow* UpperArrow() const { return FParts.UpperArrow; }
  TDragArrow* LowerArrow() const { return FParts.LowerArrow; }
  THintWindow* GridHintWindow() const { return FParts.HintWindow; }
  TPoint PressPoint() const { return FPressPoint; }
  bool PressHitSelected() const { return FPressHitSelected; }
  bool ReselectOnCancel() const { return FReselectOnCancel; }
  TNxCustomColumn* SizedColumn() const { return FSizedColumn; }
  Integer SizingDelta() const { return FSizingDelta; }
  Integer LeftGuide() const { return FLeftGuide; }
  Integer RightGuide() const { return FRightGuide; }
  TNxCustomColumn* BorderColumn() const { return FBorderColumn; }
  Integer SizedRow() const { return FSizedRow; }
  TPoint RowGuide() const { return FRowGuide; }
  TNxCustomColumn* DraggedColumn() const { return FDraggedColumn; }
  Integer RowDragSource() const { return FRowDragSource; }
  Integer RowDropTarget() const { return FRowDropTarget; }
  TPoint MouseCell() const { return FMouseCell; }
  TPoint HoverCell() const { return FHoverCell; }
  Byte HintKind() const { return FHintKind; }
  TNxCustomColumn* HintColumn() const { return FHintColumn; }
  TNxCustomColumn* FooterHintColumn() const { return FFooterHintColumn; }

  // published surface
 private:
  // Cursors, colour and styles of a new grid.
  void InitSurface();
  void RefreshSlidesOfSelection();
  void PassFontToColumns();

 protected:
  void WMNCPaint(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMParentFontChanged(TMessage& Message) override;

 public:
  // The columns are the grid's children in the form description.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
};

// The cursors a grid loads into the screen's list at its creation.
constexpr TCursor crHorzSplit = 3000;
constexpr TCursor crColumnNoDrag = 3001;
constexpr TCursor crVertSplit = 3003;
constexpr TCursor crIndicatorSelect = 3006;
