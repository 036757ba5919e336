// The grid as form descriptions and designers see it: its published
// properties and events, what a new grid looks like, the focus, border,
// font and design-time messages, and its columns as children in the
// description.
#include "grid/nx_grid.h"

#include <algorithm>

#include "grid/nx_style_display.h"
#include "platform/forms/controls_messages.h"
#include "platform/rtl/resources.h"
#include "platform/win/user/user.h"

RTL_IMPLEMENT_PUBLISHED(TNxCustomGrid,
                        // The ordinary control properties.
                        RTL_PROP(Align).Default(alNone),
                        RTL_PROP(Anchors).Default({akLeft, akTop}),
                        RTL_PROP(BiDiMode).Stored<&Self::IsBiDiModeStored>(),
                        RTL_PROP(Color).Default(clWindow).Stored<&Self::IsColorStored>().Idents(ColorIdentMap()),
                        RTL_PROP(Constraints),
                        RTL_PROP(Ctl3D).Stored<&Self::IsCtl3DStored>(),
                        RTL_PROP(DragCursor).Default(crDrag).Idents(CursorIdentMap()),
                        RTL_PROP(DragKind).Default(dkDrag),
                        RTL_PROP(DragMode).Default(dmManual),
                        RTL_PROP(Enabled).Default(true).Stored<&Self::IsEnabledStored>(),
                        RTL_PROP(Font).Stored<&Self::IsFontStored>(),
                        RTL_PROP(ParentBiDiMode).Default(true),
                        RTL_PROP(ParentColor).Default(false),
                        RTL_PROP(ParentFont).Default(true),
                        RTL_PROP(PopupMenu),
                        RTL_PROP(ShowHint).Stored<&Self::IsShowHintStored>(),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        RTL_PROP(Visible).Default(true).Stored<&Self::IsVisibleStored>(),
                        RTL_PROP(MouseWheelEnabled).Default(true),
                        // The grid's own.
                        RTL_PROP(AppearanceOptions).Default(TAppearanceOptions{aoHideSelection, aoHighlightSlideCells}),
                        RTL_PROP(AutoScroll).Default(false),
                        RTL_PROP(BorderStyle).Default(bsSingle),
                        RTL_PROP(Caption),
                        RTL_PROP(EnableVisualStyles).Default(true),
                        RTL_PROP(FixedCols).Default(0),
                        RTL_PROP(FooterSize).Default(18),
                        RTL_PROP(GridStyle).Default(gsReport),
                        RTL_PROP(GridLinesColor).Default(clBtnFace).Idents(ColorIdentMap()),
                        RTL_PROP(GridLinesStyle).Default(lsNormal),
                        RTL_PROP(HeaderSize).Default(18),
                        RTL_PROP(HeaderStyle).Default(hsAuto),
                        RTL_PROP(HideScrollBar).Default(true),
                        RTL_PROP(HighlightedTextColor).Default(clHighlightText).Idents(ColorIdentMap()),
                        RTL_PROP(HomeEndBehaviour).Default(hebTopBottom),
                        RTL_PROP(InactiveSelectionColor).Default(clBtnFace).Idents(ColorIdentMap()),
                        RTL_PROP(IndicatorDrawingOptions).Default(doNormal),
                        RTL_PROP(InputEnterMode).Default(imEditing),
                        RTL_PROP(InputSize).Default(16),
                        RTL_PROP(Options).Default(TGridOptions{goHeader}),
                        RTL_PROP(ReadOnly).Default(false),
                        RTL_PROP(RowSize).Default(16),
                        RTL_PROP(SelectionColor).Default(clHighlight).Idents(ColorIdentMap()),
                        RTL_PROP(SelectionMoveDirection).Default(mdDown),
                        RTL_PROP(SlidesOptions).Default(TGridSlideOptions{soFrame, soHideSelection}),
                        RTL_PROP(SlideSelectionColor).Default(clWindow).Idents(ColorIdentMap()),
                        RTL_PROP(SlideSize).Default(80),
                        RTL_PROP(SortedStyle).Default(soDefault),
                        RTL_PROP(TabLeaveControl).Default(true),
                        RTL_PROP(Version).Stored(false),
                        RTL_PROP(WantReturns).Default(false),
                        RTL_PROP(WantTabs).Default(false),
                        // The ordinary control events.
                        RTL_EVENT(OnClick),
                        RTL_EVENT(OnContextPopup),
                        RTL_EVENT(OnDblClick),
                        RTL_EVENT(OnDragDrop),
                        RTL_EVENT(OnDragOver),
                        RTL_EVENT(OnEndDrag),
                        RTL_EVENT(OnEnter),
                        RTL_EVENT(OnExit),
                        RTL_EVENT(OnKeyDown),
                        RTL_EVENT(OnKeyPress),
                        RTL_EVENT(OnKeyUp),
                        RTL_EVENT(OnMouseDown),
                        RTL_EVENT(OnMouseMove),
                        RTL_EVENT(OnMouseUp),
                        RTL_EVENT(OnMouseWheelDown),
                        RTL_EVENT(OnMouseWheelUp),
                        RTL_EVENT(OnResize),
                        RTL_EVENT(OnStartDrag),
                        RTL_EVENT(OnHorizontalScroll),
                        RTL_EVENT(OnVerticalScroll),
                        // The grid's own.
                        RTL_EVENT(OnAfterEdit),
                        RTL_EVENT(OnAfterRowMove),
                        RTL_EVENT(OnAfterSort),
                        RTL_EVENT(OnApplyCell),
                        RTL_EVENT(OnApplyEditText),
                        RTL_EVENT(OnBeforeEdit),
                        RTL_EVENT(OnBeforeSelect),
                        RTL_EVENT(OnCellClick),
                        RTL_EVENT(OnCellColoring),
                        RTL_EVENT(OnCellDblClick),
                        RTL_EVENT(OnCellHint),
                        RTL_EVENT(OnCellShowing),
                        RTL_EVENT(OnChange),
                        RTL_EVENT(OnChangeRowHeight),
                        RTL_EVENT(OnColumnFooterValue),
                        RTL_EVENT(OnColumnMove),
                        RTL_EVENT(OnColumnResize),
                        RTL_EVENT(OnCustomDrawCell),
                        RTL_EVENT(OnCustomDrawFooter),
                        RTL_EVENT(OnCustomDrawHeader),
                        RTL_EVENT(OnCustomDrawIndicator),
                        RTL_EVENT(OnDataChange),
                        RTL_EVENT(OnDeselectCell),
                        RTL_EVENT(OnDrawCellBackground),
                        RTL_EVENT(OnEdit),
                        RTL_EVENT(OnEditAccept),
                        RTL_EVENT(OnEditEnter),
                        RTL_EVENT(OnEditExit),
                        RTL_EVENT(OnEditText),
                        RTL_EVENT(OnEndEditing),
                        RTL_EVENT(OnFooterCalculate),
                        RTL_EVENT(OnFooterClick),
                        RTL_EVENT(OnHeaderClick),
                        RTL_EVENT(OnHeaderDblClick),
                        RTL_EVENT(OnInputAccept),
                        RTL_EVENT(OnInputAdded),
                        RTL_EVENT(OnInputSelectCell),
                        RTL_EVENT(OnLoadProgress),
                        RTL_EVENT(OnMeasuringRowHeight),
                        RTL_EVENT(OnMouseEnter),
                        RTL_EVENT(OnMouseLeave),
                        RTL_EVENT(OnPostDraw),
                        RTL_EVENT(OnRowMove),
                        RTL_EVENT(OnSelectCell),
                        RTL_EVENT(OnSelectionMove),
                        RTL_EVENT(OnSlideChange),
                        RTL_EVENT(OnSlideColoring),
                        RTL_EVENT(OnSortColumn))

RTL_IMPLEMENT_PUBLISHED(TNxGrid,
                        RTL_PROP(StartRowCount).Default(0),
                        RTL_EVENT(OnCalculateRow),
                        RTL_EVENT(OnCellFormating),
                        RTL_EVENT(OnCompare),
                        RTL_EVENT(OnExpand))

// ---- Setters of the control's surface ---------------------------------------------------------

void TNxCustomGridControl::SetHideScrollBar(bool Value) {
  FHideScrollBar = Value;
  VertScrollBar()->SetAutoHide(Value);
}

// ---- Creation -------------------------------------------------------------------------------

void TNxCustomGrid::InitSurface() {
  SetParentColor(false);
  SetColor(clWindow);
  SetControlStyle(ControlStyle() + csDoubleClicks + csReplicatable);
  if (Screen) {
    Screen->SetCursors(crHorzSplit, LoadCursor(HInstance, "HORZSPLIT"));
    Screen->SetCursors(crColumnNoDrag, LoadCursor(HInstance, "COLUMNNODRAG"));
    Screen->SetCursors(crVertSplit, LoadCursor(HInstance, "VERTSPLIT"));
    Screen->SetCursors(crIndicatorSelect, LoadCursor(HInstance, "INDICATORSELECT"));
  }
}

void TNxCustomGrid::GetChildren(const TGetChildProc& Proc, TComponent*) {
  for (Integer i = 0; i < Columns()->Count(); ++i) Proc(Columns()->Items(i));
}

// ---- Messages ---------------------------------------------------------------------------------

void TNxCustomGrid::WMNCPaint(TMessage& Message) {
  TNxCustomGridControl::WMNCPaint(Message);
  DrawBorder();
}

void TNxCustomGrid::WMSetFocus(TMessage& Message) {
  TNxCustomGridControl::WMSetFocus(Message);
  if (RowCount() > 0) {
    RefreshSelection();
    RefreshSlidesOfSelection();
  } else if (Options().Contains(goInput)) {
    // An empty grid takes input in its input line, drawn focused now.
    ShowInputLine(true);
    RefreshArea(gaInputLine);
  }
}

void TNxCustomGrid::WMKillFocus(TMessage& Message) {
  TControlLink Self(this);
  TNxCustomGridControl::WMKillFocus(Message);
  if (!Self) return;
  DropMouseOperations();
  RefreshSelection();
  RefreshSlidesOfSelection();
}

// Selected slides change colour with the focus, the current one its frame:
// all of each is painted again (a frame-only refresh after RefreshSelection
// would take back the inside it asked for).
void TNxCustomGrid::RefreshSlidesOfSelection() {
  if (GridStyle() != gsSlides || !HandleAllocated()) return;
  const Integer Last = std::min(TopRow() + PageRowCount(false) + 1, RowCount() - 1);
  for (Integer i = TopRow(); i <= Last; ++i)
    if (GetSelected(i) || i == SelectedRow()) RefreshSlide(i);
}

// Columns that take the grid's font take it again.
void TNxCustomGrid::PassFontToColumns() {
  for (Integer i = 0; i < Columns()->Count(); ++i) {
    TNxCustomColumn* Column = Columns()->Items(i);
    if (Column->ParentFont()) Column->SetParentFont(true);
  }
}

void TNxCustomGrid::CMFontChanged(TMessage& Message) {
  TNxCustomGridControl::CMFontChanged(Message);
  PassFontToColumns();
}

void TNxCustomGrid::CMParentFontChanged(TMessage& Message) {
  TNxCustomGridControl::CMParentFontChanged(Message);
  if (ParentFont()) PassFontToColumns();
}
