// The grid's mouse: presses, moves and releases by the area under the
// pointer, column and row sizing, row moving with the insertion mark,
// header clicks and sorting, the wheel, hints, and dragging headers with
// the drag box.
#include <algorithm>

#include "grid/nx_column_drag.h"
#include "grid/nx_custom_grid_control.h"
#include "grid/nx_displays.h"
#include "grid/nx_shared_common.h"
#include "grid/nx_style_display.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/app_activation.h"
#include "platform/forms/controls_messages.h"
#include "platform/forms/forms.h"
#include "platform/forms/graphics.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"

namespace {

constexpr TColor kMarkColor = 255;
const TPoint kNoPoint(-1, -1);

bool SamePoint(const TPoint& A, const TPoint& B) { return A.X == B.X && A.Y == B.Y; }

}  // namespace

// ---- Parts, cursors and column references ------------------------------------------------

TNxCustomGrid::TMouseParts::~TMouseParts() {
  delete DragBox;
  delete UpperArrow;
  delete LowerArrow;
  delete HintWindow;
}

// The drag box and the two arrows: hidden children of the grid, made with
// it; the arrows get their directions with the grid's window.
void TNxCustomGrid::CreateMouseParts() {
  FParts.DragBox = new TColumnDragBox(this);
  FParts.DragBox->SetVisible(false);
  FParts.DragBox->SetParent(this);
  FParts.DragBox->OnDrop = [this](TObject* S, Integer X, Integer Y) { ColumnDropped(S, X, Y); };
  FParts.DragBox->OnMove = [this](TObject* S, Integer X, Integer Y) { ColumnDragMoved(S, X, Y); };
  FParts.UpperArrow = new TDragArrow(this);
  FParts.UpperArrow->SetVisible(false);
  FParts.UpperArrow->SetParent(this);
  FParts.LowerArrow = new TDragArrow(this);
  FParts.LowerArrow->SetVisible(false);
  FParts.LowerArrow->SetParent(this);
}

void TNxCustomGrid::CreateWnd() {
  TNxCustomGridControl::CreateWnd();
  // The upper arrow points down at the header strip, the lower one up.
  FParts.UpperArrow->SetDirection(2);
  FParts.LowerArrow->SetDirection(1);
  HorzScrollBar()->SetLargeStep(10);
  HorzScrollBar()->SetSmallStep(5);
  VertScrollBar()->SetLargeStep(10);
}

bool TNxCustomGrid::IsLiveColumn(TNxCustomColumn* Column) const {
  if (!Column) return false;
  for (Integer i = 0; i < Columns()->Count(); ++i)
    if (Columns()->Items(i) == Column) return true;
  return false;
}

// A handler may delete a column while the mouse holds a reference to it.
void TNxCustomGrid::ForgetDeadColumns() {
  for (TNxCustomColumn** C : {&FSizedColumn, &FBorderColumn, &FDraggedColumn, &FHintColumn, &FFooterHintColumn,
                              &FPressedColumn, &FHotColumn})
    if (*C && !IsLiveColumn(*C)) *C = nullptr;
}

Integer TNxCustomGrid::DisplayedLeft(TNxCustomColumn* Column) {
  return Column->Position() < FixedCols() ? Column->Left() : Column->Left() - HorzScrollPos();
}

// Guides are inverted lines straight on the window: drawing one again
// takes it away, and nothing is repainted while a border is dragged.
void TNxCustomGrid::DrawVertGuide(Integer X) {
  if (!HandleAllocated()) return;
  HDC DC = GetDC(Handle());
  const int Old = SetROP2(DC, R2_NOT);
  MoveToEx(DC, X, 0, nullptr);
  LineTo(DC, X, ClientHeight());
  SetROP2(DC, Old);
  ReleaseDC(Handle(), DC);
}

void TNxCustomGrid::DrawHorzGuide(Integer Y) {
  if (!HandleAllocated()) return;
  HDC DC = GetDC(Handle());
  const int Old = SetROP2(DC, R2_NOT);
  MoveToEx(DC, 0, Y, nullptr);
  LineTo(DC, ClientWidth(), Y);
  SetROP2(DC, Old);
  ReleaseDC(Handle(), DC);
}

void TNxCustomGrid::HideHint() { ReleaseHintWindow(FParts.HintWindow); }

void TNxCustomGrid::PlayLeave(const TPoint& Cell) {
  if (IsNoCell(Cell) || !CellIsValid(Cell.X, Cell.Y)) return;
  if (auto* Play = dynamic_cast<TColumnPlay*>(Columns()->Items(Cell.X)->Play())) Play->MouseLeave();
}

bool TNxCustomGrid::HeaderHotTracking() { return ReadyPainter()->GetCapabilities() & scHotTracking; }

Integer TNxCustomGrid::CellContentWidth(Integer ACol, Integer ARow) {
  if (!HandleAllocated()) return 0;
  TNxCustomColumn* Column = Columns()->Items(ACol);
  // The column's font, colours and the coloring event, as when painting.
  const TCellState State = ComputeCellState(ACol, ARow);
  TColumnDisplay* Display = LoadDisplay(Column, ARow, GetCellRect(ACol, ARow));
  if (!Display) return 0;
  WideString Text;
  GetDrawText(ACol, ARow, Text);
  if (OnApplyCell) OnApplyCell(this, ACol, ARow, Text);
  Display->AsString = Text;
  Display->Level = GetRowLevel(ARow);
  Canvas()->SetFont(Column->Font());
  ApplyCellFormatting(ACol, ARow, State, Text);
  if (State.Contains(csBoldTextSelection)) Canvas()->Font()->SetStyle(Canvas()->Font()->Style() + fsBold);
  return Display->GetContentWidth();
}

// ---- Press ----------------------------------------------------------------------------------

void TNxCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  ForgetDeadColumns();
  TControlLink Self(this);
  const TPoint P(X, Y);
  const bool Double = Shift.Contains(ssDouble);
  const bool Designing = ComponentState().Contains(csDesigning);

  // A right press in the body selects its row before the framework's
  // mouse-down event: a context menu opened from that event (with its own
  // loop) acts on the row under the pointer.
  if (Button == mbRight && !Double && Columns()->Count() > 0 && AreaAtPoint(P) == gaBody) {
    FPressPoint = P;
    FPressCell = CellAtPoint(X, Y);
    if (!Designing && Visible() && Enabled()) FocusWindow(this);
    if (!Self) return;
    const Integer Row = FPressCell.Y;
    BodyPress(Button, Shift, X, Y);
    if (!Self) return;
    TNxScrollControl::MouseDown(Button, Shift, X, Y);
    // The event may have freed the grid or removed the row.
    if (!Self || !RowIsValid(Row)) return;
    BodyPressScroll(Row);
    return;
  }

  TNxScrollControl::MouseDown(Button, Shift, X, Y);
  if (!Self) return;
  ForgetDeadColumns();
  FPressPoint = P;
  FPressCell = CellAtPoint(X, Y);

  if (Double) {
    if (FBorderColumn && (FBorderColumn->GetColumnFlags() & cfFitOnBorderClick)) {
      FitColumnWidth(FBorderColumn->Index(), 1, true);
      FBorderColumn = nullptr;
    } else {
      switch (AreaAtPoint(P)) {
        case gaHeader:
          if (TNxCustomColumn* C = ColumnAtX(X); C && OnHeaderDblClick) OnHeaderDblClick(this, C->Index());
          break;
        case gaIndicator:
          if (Options().Contains(goRowResizing))
            if (const Integer R = RowBorderAtY(X, Y); R >= 0) FitRowHeight(R);
          break;
        case gaBody:
          if (CellIsValid(FPressCell.X, FPressCell.Y) && OnCellDblClick)
            OnCellDblClick(this, FPressCell.X, FPressCell.Y);
          break;
        default: break;
      }
    }
    if (!Self) return;
    // A double click changes neither the focus nor the selection.
    FPressPoint = kNoPoint;
    return;
  }

  if (!Designing && Visible() && Enabled()) FocusWindow(this);
  if (!Self) return;
  if (Columns()->Count() == 0 || Button == mbMiddle) return;
  if (Button == mbLeft && Options().Contains(goHeader) && HeaderRect().Contains(P))
    FSizedColumn = ColumnBorderAtX(X);
  if (FSizedColumn) {
    StartColumnSizing();
    return;
  }
  switch (AreaAtPoint(P)) {
    case gaBody: BodyPress(Button, Shift, X, Y); break;
    case gaHeader:
      if (!Designing && Button == mbLeft) HeaderPress(X);
      break;
    case gaIndicator: IndicatorPress(X, Y); break;
    case gaNone:
      ApplyEditing();
      if (!Self) return;
      EndEditing();
      if (!Self) return;
      OutsideClick();
      break;
    default: break;
  }
}

void TNxCustomGrid::StartColumnSizing() {
  FState.Include(sfSizingColumn);
  FSizingDelta = 0;
  const Integer D = DisplayedLeft(FSizedColumn);
  FLeftGuide = FSizedColumn->Index() == 0 ? D : D - 1;
  FRightGuide = D + FSizedColumn->Width() - 1;
  DrawVertGuide(FLeftGuide);
  DrawVertGuide(FRightGuide);
}

void TNxCustomGrid::BodyPress(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TControlLink Self(this);
  if (FState.Contains(sfEditing) || FState.Contains(sfInputEditing)) {
    const bool Input = FState.Contains(sfInputEditing);
    ApplyEditing();
    if (!Self) return;
    if (Input) AcceptInputLine();
    if (!Self) return;
    EndEditing();
    if (!Self) return;
  }
  if (GridStyle() == gsReport) ShowInputLine(false);
  if (!Self) return;
  FPressHitSelected = SamePoint(FPressCell, TPoint(SelectedColumn(), SelectedRow()));
  const Integer Row = FPressCell.Y;
  bool ClearSelection = Button == mbLeft;
  if (Options().Contains(goMultiSelect) && Options().Contains(goSelectFullRow) && RowIsValid(Row)) {
    if (Button == mbLeft && GetSelected(Row) && Dragging()) {
      // The selected rows stay selected and are dragged together.
      ClearSelection = false;
      FReselectOnCancel = true;
    } else if (Button == mbRight && !GetSelected(Row)) {
      ClearSelection = true;
      FReselectOnCancel = true;
    }
  }
  // A press below the last row changes nothing more.
  if (!RowIsValid(Row)) return;
  FRowDragSource = Row;
  const Integer Col = FPressCell.X >= 0 ? FPressCell.X : SelectedColumn();
  if (Columns()->IsValidIndex(Col)) {
    TNxCustomColumn* Column = Columns()->Items(Col);
    auto* Play = dynamic_cast<TColumnPlay*>(Column->Play());
    const bool Plays = Column->Options().Contains(coEditing) || (Column->GetColumnFlags() & cfPlayWithoutEditing);
    if (Play && Plays && !ReadOnly()) {
      const TRect R = GetCellRect(Col, Row);
      if (PrepareColumnPlay(Col, Row, true, R)) {
        if (!Self) return;
        Play->MouseDown(X - R.Left, Y - R.Top);
      }
      if (!Self || !RowIsValid(Row)) return;
    }
  }
  SelectCell(Col, Row, Shift, ClearSelection, false);
  if (!Self) return;
  // The right button scrolls after the framework's event, the others here.
  if (Button != mbRight && RowIsValid(Row)) BodyPressScroll(Row);
}

void TNxCustomGrid::BodyPressScroll(Integer Row) {
  if (GridStyle() == gsReport) {
    const Integer Col = Columns()->IsValidIndex(FPressCell.X) ? FPressCell.X : SelectedColumn();
    if (!Columns()->IsValidIndex(Col)) return;
    if (GetCellRect(Col, Row).Bottom > BodyRect().Bottom) ScrollIntoView(Row);
  } else if (SlideRect(Row).Bottom > BodyRect().Bottom) {
    VertScrollBar()->LineDown();
  }
}

void TNxCustomGrid::HeaderPress(Integer X) {
  FDraggedColumn = ColumnAtX(X);
  if (FDraggedColumn && FDraggedColumn->Options().Contains(coCanClick)) {
    FState.Include(sfHeaderPressed);
    FPressedColumn = FDraggedColumn;
    RefreshColumn(FPressedColumn, gaHeader);
  } else {
    // Without coCanClick a header can be neither clicked nor dragged.
    FDraggedColumn = nullptr;
  }
}

void TNxCustomGrid::IndicatorPress(Integer X, Integer Y) {
  if (Options().Contains(goRowResizing))
    if (const Integer R = RowBorderAtY(X, Y); R >= 0) {
      FSizedRow = R;
      FRowGuide = TPoint(X, Y);
      DrawHorzGuide(Y);
      return;
    }
  SetSelectedRow(RowAtY(X, Y));
}

// ---- Move ------------------------------------------------------------------------------------

void TNxCustomGrid::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TControlLink Self(this);
  TNxScrollControl::MouseMove(Shift, X, Y);
  if (!Self) return;
  ForgetDeadColumns();
  const TPoint Prev = FMouseCell;
  FMouseCell = kNoPoint;
  if (Columns()->Count() == 0 || Rolling()) return;

  if (FSizedColumn) {
    FState.Include(sfSizingColumn);
    DrawVertGuide(FRightGuide);
    const Integer H = FSizedColumn->Position() >= FixedCols() ? HorzScrollPos() : 0;
    const Integer L = FSizedColumn->Left(), W = FSizedColumn->Width();
    FSizingDelta = std::max(H + X - L - W, FSizedColumn->MinWidth() - W);
    FRightGuide = L + W + FSizingDelta - 1 - H;
    DrawVertGuide(FRightGuide);
    return;
  }
  if (RowIsValid(FSizedRow) && Options().Contains(goRowResizing)) {
    DrawHorzGuide(FRowGuide.Y);
    FRowGuide = TPoint(X, std::max(Y, RowTop(FSizedRow) + 8));
    DrawHorzGuide(FRowGuide.Y);
    return;
  }

  // What the pointer left goes first (its hint, its hot header), then the
  // area under it has its move: a hint shown there is not hidden by the
  // clean-up of another area.
  const TGridArea A = AreaAtPoint(TPoint(X, Y));
  if (A != gaHeader) {
    if (FHintKind == 2) HideHint();
    FHintColumn = nullptr;
    FBorderColumn = nullptr;
    if (TNxCustomColumn* Old = FHotColumn) {
      FHotColumn = nullptr;
      RefreshColumn(Old, gaHeader);
    }
  }
  if (A != gaFooter) {
    if (FHintKind == 1) HideHint();
    FFooterHintColumn = nullptr;
  }
  if (A != gaBody) {
    if (FHintKind == 3 || FHintKind == 4) HideHint();
    PlayLeave(FHoverCell);
    if (!Self) return;
  }
  switch (A) {
    case gaHeader: HeaderMove(Shift, X, Y); break;
    case gaFooter: FooterMove(X); break;
    case gaBody: BodyMove(Shift, X, Y, Prev); break;
    case gaIndicator: IndicatorMove(X, Y); break;
    default:
      HideHint();
      SetCursor(crDefault);
      break;
  }
}

void TNxCustomGrid::HeaderMove(TShiftState Shift, Integer X, Integer Y) {
  if (ComponentState().Contains(csDesigning)) return;
  FBorderColumn = ColumnBorderAtX(X);
  SetCursor(FBorderColumn ? crHorzSplit : crDefault);
  if (FDraggedColumn && Shift.Contains(ssLeft) && !FDraggedColumn->Options().Contains(coDisableMoving) &&
      !Options().Contains(goDisableColumnMoving)) {
    if (NxSharedCommon::IsPointFar(TPoint(X, Y), FPressPoint, 3)) StartColumnDrag(FDraggedColumn);
    return;
  }
  TNxCustomColumn* Old = FHotColumn;
  FHotColumn = ColumnAtX(X);
  if (FHotColumn && !FHotColumn->Header()->Hint().empty()) {
    if (FHotColumn != FHintColumn) {
      FHintKind = 2;
      FHintColumn = FHotColumn;
      ShowHintAt(DisplayedLeft(FHotColumn), HeaderSize() + 2, FHotColumn->Header()->Hint());
    }
  } else {
    HideHint();
    FHintColumn = nullptr;
  }
  if (HeaderHotTracking() && FHotColumn != Old) {
    if (FHotColumn) RefreshColumn(FHotColumn, gaHeader);
    if (Old) RefreshColumn(Old, gaHeader);
  }
}

void TNxCustomGrid::FooterMove(Integer X) {
  TNxCustomColumn* C = ColumnAtX(X);
  if (C && !C->Footer()->Hint().empty()) {
    if (C == FFooterHintColumn) return;
    FHintKind = 1;
    FFooterHintColumn = C;
    // Just below the control.
    ShowHintAt(DisplayedLeft(C), ClientHeight() + 2, C->Footer()->Hint());
  } else {
    HideHint();
    FFooterHintColumn = nullptr;
  }
}

void TNxCustomGrid::BodyMove(TShiftState Shift, Integer X, Integer Y, const TPoint& PrevCell) {
  TControlLink Self(this);
  FMouseCell = CellAtPoint(X, Y);
  if (!SamePoint(FMouseCell, FHoverCell)) {
    PlayLeave(FHoverCell);
    FHoverCell = FMouseCell;
  }
  const bool InGrid = CellIsValid(FMouseCell.X, FMouseCell.Y);
  if (InGrid && !ReadOnly())
    if (auto* Play = dynamic_cast<TColumnPlay*>(Columns()->Items(FMouseCell.X)->Play())) {
      const TRect R = GetCellRect(FMouseCell.X, FMouseCell.Y);
      if (PrepareColumnPlay(FMouseCell.X, FMouseCell.Y, false, R)) Play->MouseMove(X - R.Left, Y - R.Top);
      if (!Self) return;
    }

  // A row pressed and pulled far enough starts moving.
  if (RowIsValid(FRowDragSource) && Options().Contains(goRowMoving) && Shift.Contains(ssLeft) &&
      !SamePoint(FPressPoint, kNoPoint) && NxSharedCommon::IsPointFar(TPoint(X, Y), FPressPoint, 5)) {
    FState.Include(sfMovingRow);
    Screen->SetCursor(crDrag);
  }
  if (FState.Contains(sfMovingRow)) {
    FPrevDropTarget = FRowDropTarget;
    FRowDropTarget = DropRowAtY(Y);
    if (FRowDropTarget != FPrevDropTarget) {
      EraseRowDropMark();
      if (FRowDropTarget == TopRow())
        VertScrollBar()->LineUp();
      else if (FRowDropTarget == RowBelowTop(PageRowCount(false)) + 1)
        VertScrollBar()->LineDown();
      DrawRowDropMark(FRowDropTarget);
    }
  }

  if (!InGrid) {
    SetCursor(crDefault);
    FHintKind = 0;
    HideHint();
    return;
  }
  TNxCustomColumn* Column = Columns()->Items(FMouseCell.X);
  const bool Same = SamePoint(FMouseCell, PrevCell);
  if (SamePoint(FMouseCell, TPoint(EditCol(), EditRow()))) {
    HideHint();
  } else {
    SetCursor(Column->Cursor());
    if (Same) return;
    if (Column->Options().Contains(coShowTextFitHint) && !CellTextFits(FMouseCell.X, FMouseCell.Y)) {
      ShowFitHint(FMouseCell.X, FMouseCell.Y);
      return;
    }
  }
  if (Same) return;
  if (FHintKind != 3) {
    WideString Hint;
    GetCellHint(FMouseCell.X, FMouseCell.Y, Hint);
    if (!Self) return;
    if (!Hint.empty()) {
      ShowCellHint(FMouseCell.X, FMouseCell.Y, Hint);
      return;
    }
  }
  // A fit hint that showed is only hidden: the next cell's own hint shows
  // once the pointer enters a cell while none shows.
  FHintKind = 0;
  HideHint();
}

void TNxCustomGrid::IndicatorMove(Integer X, Integer Y) {
  if (Options().Contains(goRowResizing) && RowBorderAtY(X, Y) >= 0)
    SetCursor(crVertSplit);
  else if (RowAtY(X, Y) >= 0)
    SetCursor(crIndicatorSelect);
  else
    SetCursor(crDefault);
}

// ---- Release ----------------------------------------------------------------------------------

void TNxCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TControlLink Self(this);
  TNxScrollControl::MouseUp(Button, Shift, X, Y);
  if (!Self) return;
  ForgetDeadColumns();
  TNxCustomColumn* C = FDraggedColumn;
  FDraggedColumn = nullptr;
  FPressPoint = kNoPoint;

  if (FState.Contains(sfMovingRow)) {
    const Integer Source = FRowDragSource;
    Integer T = DropRowAtY(Y);
    if (T >= 0 && RowIsValid(Source)) {
      // The insertion index counted without the moved row.
      if (Source < T) --T;
      bool Accept = true;
      if (OnRowMove) OnRowMove(this, Source, T, Accept);
      if (!Self) return;
      // The handler may have removed rows meanwhile.
      if (Accept && RowIsValid(Source) && RowIsValid(T)) {
        MoveRow(Source, T);
        if (!Self) return;
        if (OnAfterRowMove) OnAfterRowMove(this, Source, T);
        if (!Self) return;
        SetSelectedRow(T);
        if (!Self) return;
      }
    }
    EraseRowDropMark();
    FState.Exclude(sfMovingRow);
    FRowDropTarget = -1;
  }
  // A pressed row ends with its release, moved or not.
  FRowDragSource = -1;
  FState.Exclude(sfHeaderPressed);

  if (FSizedColumn && FState.Contains(sfSizingColumn)) {
    TNxCustomColumn* Sized = FSizedColumn;
    FSizedColumn = nullptr;
    FBorderColumn = nullptr;
    FState.Exclude(sfSizingColumn);
    // The guides go before the new width scrolls the columns to the right.
    DrawVertGuide(FLeftGuide);
    DrawVertGuide(FRightGuide);
    Sized->SetWidth(Sized->Width() + FSizingDelta);
    return;
  }
  FSizedColumn = nullptr;
  FState.Exclude(sfSizingColumn);
  if (RowIsValid(FSizedRow)) {
    const Integer Row = FSizedRow;
    FSizedRow = -1;
    DrawHorzGuide(FRowGuide.Y);
    SetRowHeight(Row, FRowGuide.Y - RowTop(Row));
    if (!Self) return;
  }
  FSizedRow = -1;
  if (TNxCustomColumn* Pressed = FPressedColumn) {
    FPressedColumn = nullptr;
    if (OnHeaderClick) OnHeaderClick(this, Pressed->Index());
    if (!Self) return;
    if (IsLiveColumn(Pressed)) RefreshColumn(Pressed, gaHeader);
  }
  if (Button != mbLeft) {
    EndEditing();
    return;
  }
  const bool Designing = ComponentState().Contains(csDesigning);
  switch (AreaAtPoint(TPoint(X, Y))) {
    case gaFooter:
      if (TNxCustomColumn* F = ColumnAtX(X); F && OnFooterClick) OnFooterClick(this, F->Index());
      break;
    case gaHeader:
      // Only a column pressed and released on sorts.
      if (C && IsLiveColumn(C) && ColumnAtX(X) == C) SortClick(C);
      break;
    case gaInputLine:
      if (!Designing)
        if (TNxCustomColumn* I = ColumnAtX(X)) EditInputCell(I, WideString());
      break;
    case gaBody:
      if (!Designing) BodyRelease(Button, Shift, X, Y);
      break;
    default:
      if (FState.Contains(sfMultiSelection)) DeselectAll();
      break;
  }
}

void TNxCustomGrid::SortClick(TNxCustomColumn* Column) {
  if (ComponentState().Contains(csDesigning) || !Column->Options().Contains(coCanSort)) return;
  if (Column->Sorted())
    Column->SetSortKind(Column->SortKind() == skDescending ? skAscending : skDescending);
  else
    Column->SetSorted(true);
}

void TNxCustomGrid::BodyRelease(TMouseButton, TShiftState, Integer X, Integer Y) {
  TControlLink Self(this);
  const TPoint R = CellAtPoint(X, Y);
  bool Same = false;
  if (R.X >= 0 && RowIsValid(R.Y)) {
    Same = SamePoint(R, FPressCell);
    if (Same && OnCellClick) OnCellClick(this, R.X, R.Y);
    if (!Self) return;
  }
  if (!Columns()->IsValidIndex(R.X)) return;
  if (FState.Contains(sfMultiSelection)) {
    // Released below the last row after a multi-selection.
    if (R.Y == -1) DeselectAll();
    return;
  }
  if (!Same || !CellIsValid(R.X, R.Y)) return;
  TNxCustomColumn* Column = Columns()->Items(R.X);
  const TRect CellR = GetCellRect(R.X, R.Y);
  auto* Play = dynamic_cast<TColumnPlay*>(Column->Play());
  const bool Plays = Column->Options().Contains(coEditing) || (Column->GetColumnFlags() & cfPlayWithoutEditing);
  if (Play && Plays && !ReadOnly() && PrepareColumnPlay(R.X, R.Y, true, CellR)) {
    if (!Self) return;
    Play->MouseUp(X - CellR.Left, Y - CellR.Top);
  }
  if (!Self || !CellIsValid(R.X, R.Y)) return;
  TRect EditorRect = CellR;
  Column->AdjustEditorRect(GetRowLevel(R.Y), EditorRect);
  // With goSecondClickEdit only a click on the cell already selected edits.
  if (EditorRect.Contains(TPoint(X, Y)) && (!Options().Contains(goSecondClickEdit) || FPressHitSelected) &&
      CanSelectCell(R.X, R.Y))
    EditCell(R.X, R.Y, WideString());
}

// ---- Wheel, cancelled drag, play elements ------------------------------------------------------

bool TNxCustomGrid::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (!MouseWheelEnabled()) return TNxScrollControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  // The scroll control only takes the wheel; each notch comes to the
  // wheel hooks below.
  TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  return true;
}

bool TNxCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  const bool Handled = TNxScrollControl::DoMouseWheelDown(Shift, MousePos) || MouseWheelEnabled();
  if (Handled) WheelStep(true, Shift);
  return Handled;
}

bool TNxCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  const bool Handled = TNxScrollControl::DoMouseWheelUp(Shift, MousePos) || MouseWheelEnabled();
  if (Handled) WheelStep(false, Shift);
  return Handled;
}

bool TNxCustomGrid::WheelStep(bool Down, TShiftState Shift) {
  if (FState.Contains(sfEditing)) return false;
  TNxScrollBar* V = VertScrollBar();
  TNxScrollBar* H = HorzScrollBar();
  const bool Page = Shift.Contains(ssCtrl);
  auto Step = [Page, Down](TNxScrollBar* Bar) {
    if (Down)
      Page ? Bar->PageDown() : Bar->LineDown();
    else
      Page ? Bar->PageUp() : Bar->LineUp();
  };
  if (Down) {
    if (V->Max() > 0 && V->Position() < V->Max())
      Step(V);
    else if (GridStyle() == gsReport && H->Max() > 0 && !V->Visible())
      Step(H);
  } else {
    if (V->Max() > 0)
      Step(V);
    else if (GridStyle() == gsReport && H->Max() > 0)
      Step(H);
  }
  return true;
}

void TNxCustomGrid::DragCanceled() {
  TNxScrollControl::DragCanceled();
  if (!FReselectOnCancel) return;
  // The rows kept for the drag collapse to the selected one.
  SelectCell(SelectedColumn(), SelectedRow(), TShiftState(), true, false);
  FReselectOnCancel = false;
}

bool TNxCustomGrid::PrepareColumnPlay(Integer ACol, Integer ARow, bool FireEvent, const TRect& CellRect) {
  bool Accept = true;
  if (FireEvent && OnBeforeEdit) OnBeforeEdit(this, ACol, ARow, Accept);
  if (!Accept) return false;
  if (!Columns()->IsValidIndex(ACol)) return false;
  TNxCustomColumn* Column = Columns()->Items(ACol);
  if (auto* Play = dynamic_cast<TColumnPlay*>(Column->Play())) {
    Play->ColumnIndex = ACol;
    Play->Row = ARow;
    if (HandleAllocated()) {
      Canvas()->SetFont(Column->Font());
      Play->Canvas = Canvas();
    }
    FillColumnPlay(Play);
    Play->CellRect = CellRect;
    Play->OnChange = [this, Play](TObject*) { ApplyColumnPlay(Play); };
    Play->OnClick = [this, Play](TObject*) { ToggleExpanded(Play); };
  }
  return true;
}

// ---- Messages ----------------------------------------------------------------------------------

void TNxCustomGrid::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_APPACTIVATECHANGED: CMAppActivateChanged(Message); return;
    case CM_DESIGNHITTEST: {
      // The designer leaves the header strip, a sizing and a pressed header
      // to the grid, so that columns can be sized and moved there.
      const TPoint P(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
      const bool OverHeader = Options().Contains(goHeader) && HeaderRect().Contains(P);
      Message.Result = OverHeader || State().Contains(sfSizingColumn) || State().Contains(sfHeaderPressed) ? 1 : 0;
      return;
    }
    case CM_MOUSELEAVE: {
      TControlLink Self(this);
      TNxCustomGridControl::Dispatch(Message);
      if (!Self) return;
      // A carried row shows its mark again when the pointer comes back.
      EraseRowDropMark();
      FRowDropTarget = -1;
      HideHint();
      if (TNxCustomColumn* Old = FHotColumn; Old && IsLiveColumn(Old)) {
        FHotColumn = nullptr;
        RefreshColumn(Old, gaHeader);
      }
      FHotColumn = nullptr;
      return;
    }
    default: TNxCustomGridControl::Dispatch(Message); return;
  }
}

// Whatever the mouse was doing ends with the focus; guides still on the
// window are taken away.
void TNxCustomGrid::DropMouseOperations() {
  HideHint();
  EraseRowDropMark();
  if (FSizedColumn && FState.Contains(sfSizingColumn)) {
    DrawVertGuide(FLeftGuide);
    DrawVertGuide(FRightGuide);
  }
  if (RowIsValid(FSizedRow)) DrawHorzGuide(FRowGuide.Y);
  if (FState.Contains(sfMovingRow) && Screen) Screen->SetCursor(crDefault);
  FState.Exclude(sfSizingColumn);
  FState.Exclude(sfHeaderPressed);
  FState.Exclude(sfDraggingColumn);
  FState.Exclude(sfMovingRow);
  if (Options().Contains(goHeader) && FHotColumn) RefreshColumn(FHotColumn, gaHeader);
  FRowDragSource = -1;
  FRowDropTarget = -1;
  FSizedRow = -1;
  FSizedColumn = nullptr;
  FHotColumn = nullptr;
  FDraggedColumn = nullptr;
  FPressedColumn = nullptr;
}

void TNxCustomGrid::CMAppActivateChanged(TMessage& Message) {
  DefaultHandler(Message);
  if (Message.WParam == 0) {
    // Every mouse operation in progress is dropped.
    FDraggedColumn = nullptr;
    FPressedColumn = nullptr;
    FPressPoint = kNoPoint;
    FPressCell = kNoPoint;
    FState.Exclude(sfDraggingColumn);
    FState.Exclude(sfHeaderPressed);
    HideColumnDropArrows();
    if (FParts.DragBox) {
      if (FParts.DragBox->HandleAllocated() && GetCapture() == FParts.DragBox->Handle()) ReleaseCapture();
      FParts.DragBox->Hide();
    }
    if (Screen) Screen->SetCursor(crDefault);
  }
  RefreshSelection();
}

// ---- Hints ----------------------------------------------------------------------------------

void TNxCustomGrid::RecreateHintWindow() {
  THintWindow*& W = FParts.HintWindow;
  if (W && W->ClassType() == HintWindowClass) return;
  delete W;
  W = dynamic_cast<THintWindow*>(CreateInstance(HintWindowClass, this));
  if (!W) W = new THintWindow(this);
  if (Application) W->SetColor(Application->HintColor());
}

void TNxCustomGrid::ShowHintAt(Integer X, Integer Y, const WideString& Text) {
  if (!IsParentFormActive(this) || !Application || !Application->ShowHint()) return;
  RecreateHintWindow();
  TRect R = CalcHintRectWide(FParts.HintWindow, ClientWidth(), Text, nullptr);
  const TPoint S = ClientToScreen(TPoint(X, Y));
  OffsetRect(&R, S.X, S.Y);
  ShowHintWide(FParts.HintWindow, R, Text);
}

void TNxCustomGrid::ShowFitHint(Integer ACol, Integer ARow) {
  // Fit hints show whether or not the application shows hints.
  if (!IsParentFormActive(this)) return;
  RecreateHintWindow();
  FHintKind = 3;
  WideString Text;
  GetFitHintText(ACol, ARow, Text);
  if (OnApplyCell) OnApplyCell(this, ACol, ARow, Text);
  if (Text.empty()) {
    HideHint();
    return;
  }
  TRect R = CalcHintRectWide(FParts.HintWindow, ClientWidth(), Text, nullptr);
  const TPoint S = ClientToScreen(GetCellRect(ACol, ARow).TopLeft());
  OffsetRect(&R, S.X, S.Y);
  ShowHintWide(FParts.HintWindow, R, Text);
}

void TNxCustomGrid::ShowCellHint(Integer ACol, Integer ARow, const WideString& Text) {
  if (!IsParentFormActive(this) || !Application || !Application->ShowHint()) return;
  RecreateHintWindow();
  FHintKind = 4;
  TNxCustomColumn* Column = Columns()->Items(ACol);
  const TRect Cell = GetCellRect(ACol, ARow);
  const Integer W = GridStyle() == gsSlides ? Column->SlideBounds()->Width() : Column->Width();
  const Integer X = std::min(Cell.Left + W, ClientWidth());
  TRect R = CalcHintRectWide(FParts.HintWindow, 250, Text, nullptr);
  const TPoint S = ClientToScreen(TPoint(X, Cell.Top - 20));
  OffsetRect(&R, S.X, S.Y);
  ShowHintWide(FParts.HintWindow, R, Text);
}

bool TNxCustomGrid::CellTextFits(Integer ACol, Integer ARow) {
  TNxCustomColumn* Column = Columns()->Items(ACol);
  const Integer Available = GridStyle() == gsSlides ? Column->SlideBounds()->Width() : Column->Width();
  return Available >= CellContentWidth(ACol, ARow) + 5;
}

// ---- Row insertion mark -------------------------------------------------------------------------

void TNxCustomGrid::DrawRowDropMark(Integer Target) {
  if (Target < 0 || !HandleAllocated()) return;
  const TRect R = GridStyle() == gsSlides ? SlideRect(Target) : RowRect(Target);
  const Integer Y = Target == TopRow() ? R.Top : R.Top - 1;
  const Integer Rt = R.Right - 1;
  const POINT Left[8] = {{0, Y - 2}, {2, Y - 2}, {2, Y - 5}, {7, Y}, {2, Y + 5}, {2, Y + 2}, {0, Y + 2}, {0, Y - 2}};
  const POINT Right[8] = {{Rt, Y - 2},     {Rt - 2, Y - 2}, {Rt - 2, Y - 5}, {Rt - 7, Y},
                          {Rt - 2, Y + 5}, {Rt - 2, Y + 2}, {Rt, Y + 2},     {Rt, Y - 2}};
  // Straight onto the window, outside painting: no repaint while the row
  // is carried.
  HDC DC = GetDC(Handle());
  HPEN Pen = CreatePen(PS_SOLID, 1, kMarkColor);
  HBRUSH Brush = CreateSolidBrush(kMarkColor);
  HGDIOBJ OldPen = SelectObject(DC, Pen);
  HGDIOBJ OldBrush = SelectObject(DC, Brush);
  Polygon(DC, Left, 8);
  Polygon(DC, Right, 8);
  MoveToEx(DC, 8, Y, nullptr);
  LineTo(DC, Rt - 7, Y);
  SelectObject(DC, OldPen);
  SelectObject(DC, OldBrush);
  DeleteObject(Pen);
  DeleteObject(Brush);
  ReleaseDC(Handle(), DC);
  FDrawnDropMark = Target;
}

// Every mark that was drawn is taken away, the one below the last row
// too.
void TNxCustomGrid::EraseRowDropMark() {
  const Integer Target = FDrawnDropMark;
  FDrawnDropMark = -1;
  if (Target < 0 || !HandleAllocated()) return;
  const TRect R = GridStyle() == gsSlides ? SlideRect(Target) : RowRect(Target);
  const Integer Y = Target == TopRow() ? R.Top : R.Top - 1;
  const Integer E = R.Right;
  // The arrows' rectangles reach one pixel further in than their tips'
  // columns, so no pixel of a tip stays behind.
  InvalidateArea(TRect(0, Y - 5, 8, Y + 6));
  InvalidateArea(TRect(E - 8, Y - 5, E + 1, Y + 6));
  InvalidateArea(TRect(7, Y, E, Y + 1));
}

// ---- Column dragging ------------------------------------------------------------------------------

void TNxCustomGrid::StartColumnDrag(TNxCustomColumn* Column) {
  FState.Include(sfDraggingColumn);
  // The header the box now carries loses its pressed look.
  RefreshColumn(Column, gaHeader);
  TColumnDragBox* Box = FParts.DragBox;
  const TPoint S = ClientToScreen(TPoint(DisplayedLeft(Column), 0));
  Box->SetBounds(S.X, S.Y, Column->Width(), HeaderSize());
  Box->SetFont(Font());
  Box->StartColumnDrag(Column);
}

TRect TNxCustomGrid::HeaderDropRect() {
  return TRect(0, 0, std::min(HeaderRect().Right, ClientWidth()), BodyRect().Top);
}

void TNxCustomGrid::ColumnDragMoved(TObject*, Integer X, Integer Y) {
  ForgetDeadColumns();
  if (!FDraggedColumn) {
    // The column went away under the drag: the drag ends here.
    HideColumnDropArrows();
    if (FParts.DragBox->HandleAllocated() && GetCapture() == FParts.DragBox->Handle()) ReleaseCapture();
    FParts.DragBox->Hide();
    FState.Exclude(sfDraggingColumn);
    Screen->SetCursor(crDefault);
    return;
  }
  const TPoint P = ScreenToClient(TPoint(X, Y));
  if (HeaderDropRect().Contains(P)) {
    const Integer T = DropColumnPosition(FDraggedColumn, P);
    const Integer S = FDraggedColumn->Position();
    if (!Options().Contains(goLockFixedCols) || (T >= FixedCols() && S >= FixedCols())) {
      // Over a hidden target the arrows keep their place.
      if (TNxCustomColumn* Target = Columns()->ByPosition(T); Target && Target->Visible()) ShowColumnDropMark(S, T);
      Screen->SetCursor(crDefault);
      return;
    }
  }
  HideColumnDropArrows();
  Screen->SetCursor(crColumnNoDrag);
}

void TNxCustomGrid::ColumnDropped(TObject*, Integer X, Integer Y) {
  TControlLink Self(this);
  Screen->SetCursor(crDefault);
  ForgetDeadColumns();
  TNxCustomColumn* Column = FDraggedColumn;
  const TPoint P = ScreenToClient(TPoint(X, Y));
  if (Column) {
    if (HeaderDropRect().Contains(P)) {
      const Integer T = DropColumnPosition(Column, P);
      const Integer S = Column->Position();
      if (!Options().Contains(goLockFixedCols) || (T >= FixedCols() && S >= FixedCols())) Columns()->Move(S, T);
    } else if (Options().Contains(goCanHideColumn)) {
      // Dropped away from the header strip: the column disappears.
      Column->SetVisible(false);
    }
    if (!Self) return;
    if (IsLiveColumn(Column)) RefreshColumn(Column, gaHeader);
  }
  FDraggedColumn = nullptr;
  FPressPoint = kNoPoint;
  // No header click follows a drag.
  FPressedColumn = nullptr;
  HideColumnDropArrows();
  FState.Exclude(sfDraggingColumn);
}

Integer TNxCustomGrid::DropColumnPosition(TNxCustomColumn* Column, const TPoint& P) {
  const Integer S = Column->Position();
  Integer Result = S;
  TNxCustomColumn* Prev = nullptr;
  for (Integer p = 0; p < Columns()->Count(); ++p) {
    TNxCustomColumn* C = Columns()->ByPosition(p);
    if (!C->Visible() && C != Column) continue;
    const Integer L = DisplayedLeft(C), R = L + C->Width();
    if (L <= P.X && P.X <= R) {
      if (C != Column) {
        const Integer Q = C->Position();
        if (P.X > R - C->Width() / 2)
          Result = S >= Q ? Q + 1 : Q;
        else
          Result = Q >= S ? (Prev ? Prev->Position() : Q) : Q;
      }
      // A column partly under the fixed ones (which start after the
      // indicator) takes no drop.
      if (Result >= FixedCols() && L < Columns()->FixedWidth() + GridBodyLeft()) Result = S;
      return Result;
    }
    Prev = C;
  }
  return Result;
}

void TNxCustomGrid::ShowColumnDropMark(Integer FromPos, Integer ToPos) {
  if (ComponentState().Contains(csDesigning)) return;
  if (FromPos == ToPos) {
    HideColumnDropArrows();
    return;
  }
  TNxCustomColumn* C = Columns()->ByPosition(ToPos);
  if (!C) return;
  const Integer X = FromPos < ToPos ? C->Left() + C->Width() : C->Left();
  TPoint S = ClientToScreen(TPoint(X, 0));
  if (ToPos >= FixedCols()) S.X -= HorzScrollPos();
  ShowColumnDropArrows(S, false);
}

void TNxCustomGrid::ShowColumnDropArrows(const TPoint& ScreenPoint, bool Hide) {
  if (Hide) {
    HideColumnDropArrows();
    return;
  }
  FParts.UpperArrow->SetBounds(ScreenPoint.X - 4, ScreenPoint.Y - 12, 9, 9);
  FParts.LowerArrow->SetBounds(ScreenPoint.X - 4, ScreenPoint.Y + HeaderSize() - 1, 9, 9);
  FParts.UpperArrow->Show();
  FParts.LowerArrow->Show();
}

void TNxCustomGrid::HideColumnDropArrows() {
  if (FParts.UpperArrow) FParts.UpperArrow->Hide();
  if (FParts.LowerArrow) FParts.LowerArrow->Hide();
}
