#include "grid/nx_grid.h"

#include <algorithm>
#include <cassert>
#include <exception>
#include <set>

#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/user/user.h"


namespace {

// Debug builds check, after each row operation, that the visible range the
// grid keeps is the one its store gives.
class TVisibleRangeCheck {
#ifndef NDEBUG
  TNxGrid* FGrid;
  int FExceptions;

 public:
  explicit TVisibleRangeCheck(TNxGrid* Grid) : FGrid(Grid), FExceptions(std::uncaught_exceptions()) {}
  ~TVisibleRangeCheck() {
    if (std::uncaught_exceptions() == FExceptions) assert(FGrid->VisibleRangeIsKept());
  }
#else
 public:
  explicit TVisibleRangeCheck(TNxGrid*) {}
#endif
};

}  // namespace

TNxGrid::TNxGrid(TComponent* AOwner) : TNxCustomGrid(AOwner) {
  FCells = std::make_unique<TCells>(this);
  FCells->SetDefaultRowHeight(RowSize());
  FCells->OnCellChange = [this](TObject* S, Integer C, Integer R) { DoCellChange(S, C, R); };
  FCells->OnCompare = [this](TObject* S, TCell* A, TCell* B, Integer& Compare) { DoCompareCells(S, A, B, Compare); };
  // An empty grid has no visible range.
  FFirstVisibleRow = -1;
  FLastVisibleRow = -1;
}

TNxGrid::~TNxGrid() {
  Destroying();
  // Columns leave while the control is torn down; the store must not hear
  // of it any more.
  Columns()->OnDataNotify = nullptr;
  Columns()->OnColumnChange = nullptr;
  FCells.reset();
}

// ---- TCellsHost ---------------------------------------------------------------------

Integer TNxGrid::CellColumnCount() const { return Columns()->Count(); }

TCellColumnInfo TNxGrid::CellColumnInfo(Integer Index) const {
  TNxCustomColumn* C = Columns()->Items(Index);
  TCellColumnInfo Info;
  Info.Kind = C->CellKind();
  Info.FontStyle = C->Font()->Style();
  Info.FontColor = C->Font()->Color();
  Info.Color = C->Color();
  Info.Column = C;
  return Info;
}

TColor TNxGrid::CellDisplayColor(Integer ACol, Integer ARow) const {
  return const_cast<TNxGrid*>(this)->GetCellColor(ACol, ARow);
}

TColor TNxGrid::CellDisplayFontColor(Integer ACol, Integer) const { return Columns()->Items(ACol)->Font()->Color(); }

WideString TNxGrid::GetVirtualCellText(TObject* Column, Integer, Integer ARow) const {
  return static_cast<TNxCustomColumn*>(Column)->GetVirtualCellText(ARow);
}

void TNxGrid::SetVirtualCellText(TObject* Column, Integer, Integer ARow, const WideString& Value) {
  static_cast<TNxCustomColumn*>(Column)->SetVirtualCellText(ARow, Value);
}

// ---- Store callbacks -------------------------------------------------------------------

void TNxGrid::DoCellChange(TObject*, Integer ACol, Integer ARow) {
  if (UpdateCount() != 0) return;
  RefreshCell(ACol, ARow);
  if (OnChange) OnChange(this, ACol, ARow);
}

void TNxGrid::DoCompareCells(TObject*, TCell* Cell1, TCell* Cell2, Integer& Compare) {
  Compare = 0;
  if (OnCompare) OnCompare(this, Cell1, Cell2, Compare);
}

void TNxGrid::CheckRow(Integer Index) const {
  if (Index < 0 || Index >= FCells->RowCount())
    throw EListError(AnsiString("List index out of bounds (") + IntToStr(Index) + ")");
}

bool TNxGrid::VisibleRangeIsKept() {
  const Integer N = FCells->RowCount();
  Integer First = -1, Last = -1;
  for (Integer i = 0; i < N; ++i)
    if (GetRowVisible(i)) {
      if (First < 0) First = i;
      Last = i;
    }
  return First == FFirstVisibleRow && Last == FLastVisibleRow;
}

void TNxGrid::UpdateVisibleRange() {
  const Integer N = FCells->RowCount();
  FFirstVisibleRow = -1;
  FLastVisibleRow = -1;
  for (Integer i = 0; i < N; ++i)
    if (GetRowVisible(i)) {
      FFirstVisibleRow = i;
      break;
    }
  if (FFirstVisibleRow < 0) return;
  for (Integer i = N - 1; i >= FFirstVisibleRow; --i)
    if (GetRowVisible(i)) {
      FLastVisibleRow = i;
      break;
    }
}

// ---- Cells ---------------------------------------------------------------------------------

TCell* TNxGrid::Cell(Integer ACol, Integer ARow) { return FCells->GetCell(ACol, ARow); }

WideString TNxGrid::GetCells(Integer ACol, Integer ARow) {
  if (ARow < 0 || ARow >= RowCount() || ACol < 0 || ACol >= Columns()->Count())
    throw Exception(AnsiString("Cell out of bounds (") + IntToStr(ACol) + ", " + IntToStr(ARow) + ")");
  return FCells->GetCell(ACol, ARow)->AsString();
}

void TNxGrid::SetCells(Integer ACol, Integer ARow, const WideString& Value) {
  if (ARow < 0 || ARow >= RowCount() || ACol < 0 || ACol >= Columns()->Count())
    throw Exception(AnsiString("Cell out of bounds (") + IntToStr(ACol) + ", " + IntToStr(ARow) + ")");
  FCells->GetCell(ACol, ARow)->SetAsString(Value);
}

Integer TNxGrid::GetRowLevel(Integer Index) { return FCells->GetRow(Index)->Level; }
Integer TNxGrid::GetRowTag(Integer Index) { return FCells->GetRow(Index)->Tag; }

bool TNxGrid::GetSelected(Integer Index) {
  if (Index < 0 || Index >= RowCount()) return false;
  return FCells->GetRow(Index)->Selected;
}

void TNxGrid::GetDrawText(Integer ACol, Integer ARow, WideString& Text) {
  TCellInfo Info;
  GetCellInfo(ACol, ARow, Info);
  Text = Info.AsString;
  Columns()->Items(ACol)->GetDrawText(Info, Text);
}

void TNxGrid::GetCellInfo(Integer ACol, Integer ARow, TCellInfo& Info) {
  TCell* C = FCells->GetCell(ACol, ARow);
  switch (Columns()->Items(ACol)->CellKind()) {
    case 0: Info.AsInteger = ARow; break;
    case 1: Info.AsBoolean = C->AsBoolean(); break;
    case 3: Info.AsDateTime = C->AsDateTime(); break;
    case 4: Info.AsFloat = C->AsFloat(); break;
    case 5: Info.ObjectReference = C->ObjectReference(); break;
    case 6:
    case 8:
    case 11: Info.AsString = C->AsString(); break;
    case 7: Info.AsInteger = C->AsInteger(); break;
    default: break;
  }
}

// ---- Rows: height, visibility, selection, expansion ------------------------------------------

Integer TNxGrid::GetRowHeight(Integer Index) {
  Integer H = RowSize();
  if (Index >= 0 && Index < RowCount()) H = FCells->GetRow(Index)->Height;
  if (OnMeasuringRowHeight) OnMeasuringRowHeight(this, Index, H);
  return H;
}

void TNxGrid::SetRowHeight(Integer Index, Integer Height) {
  CheckRow(Index);
  const Integer Old = GetRowHeight(Index);
  if (Height == Old) return;
  FCells->GetRow(Index)->Height = Height;
  TNxCustomGridControl::SetRowHeight(Index, Height);
  // Slides keep their size whatever the row's height.
  if (GetRowVisible(Index) && UpdateCount() == 0 && HandleAllocated() && GridStyle() == gsReport) {
    RefreshRow(Index);
    ScrollBody(RowTop(Index) + Height, Height - Old);
    UpdateVertScrollBar();
  }
}

bool TNxGrid::GetRowVisible(Integer Index) {
  TRow* R = FCells->GetRow(Index);
  return R->Visible && R->Shown;
}

void TNxGrid::SetRowVisible(Integer Index, bool Value) {
  const TVisibleRangeCheck RangeCheck(this);
  CheckRow(Index);
  if (Value == GetRowVisible(Index)) return;
  FCells->SetRowVisible(Index, Value);
  // A row that is still not Shown did not change its visible state.
  if (Value == GetRowVisible(Index)) {
    if (UpdateCount() == 0)
      ScrollAfterRowChange(Index, GridStyle() == gsSlides ? SlideSize() : GetRowHeight(Index), Value);
  }
  UpdateVisibleRange();
}

void TNxGrid::SetSelected(Integer Index, bool Value) {
  if (Index < 0 || Index >= RowCount()) return;
  TRow* R = FCells->GetRow(Index);
  if (R->Selected == Value) return;
  R->Selected = Value;
  // EndUpdate repaints the whole body.
  if (UpdateCount() > 0) return;
  if (GridStyle() == gsSlides)
    RefreshSlide(Index, SlidesOptions().Contains(soHideSelection));
  else
    RefreshRow(Index);
}

void TNxGrid::SelectRange(Integer FromRow, Integer ToRow, bool Value) {
  if (!RowIsValid(FromRow) || !RowIsValid(ToRow)) return;
  for (Integer i = FromRow; i <= ToRow; ++i) FCells->GetRow(i)->Selected = Value;
  RefreshRows(FromRow, ToRow);
}

void TNxGrid::DeselectAll() {
  // Straight through the store: the base asks for each row by index.
  const Integer N = RowCount();
  for (Integer i = 0; i < N; ++i) {
    TRow* R = FCells->GetRow(i);
    if (!R->Selected) continue;
    if (UpdateCount() > 0)
      R->Selected = false;
    else
      SetSelected(i, false);
  }
}

void TNxGrid::SetRowSize(Integer Value) {
  TNxCustomGridControl::SetRowSize(Value);
  FCells->SetDefaultRowHeight(RowSize());
}

bool TNxGrid::Expanded(Integer Index) {
  CheckRow(Index);
  return FCells->GetRow(Index)->Expanded;
}

void TNxGrid::SetExpanded(Integer Index, bool Value) {
  const TVisibleRangeCheck RangeCheck(this);
  CheckRow(Index);
  TRow* R = FCells->GetRow(Index);
  if (R->Expanded == Value) return;
  R->Expanded = Value;
  RefreshRow(Index);
  if (R->ChildCount > 0) {
    if (Value)
      ShowDescendants(Index);
    else
      HideDescendants(Index);
  }
  UpdateVisibleRange();
  if (OnExpand) OnExpand(this, Index);
}

void TNxGrid::ShowDescendants(Integer Index) {
  const Integer Level = FCells->GetRow(Index)->Level;
  const Integer N = RowCount();
  Integer i = Index + 1;
  while (i < N && FCells->GetRow(i)->Level > Level) {
    TRow* R = FCells->GetRow(i);
    if (!R->Shown) {
      FCells->SetRowShown(i, true);
      if (R->Visible) ScrollAfterRowChange(i, StackHeight(i), true);
    }
    if (!R->Expanded)
      i += FCells->DescendantCount(i) + 1;
    else
      ++i;
  }
}

void TNxGrid::HideDescendants(Integer Index) {
  const Integer Level = FCells->GetRow(Index)->Level;
  const Integer N = RowCount();
  for (Integer i = Index + 1; i < N && FCells->GetRow(i)->Level > Level; ++i) {
    TRow* R = FCells->GetRow(i);
    if (!R->Shown) continue;
    const bool WasVisible = R->Visible;
    FCells->SetRowShown(i, false);
    if (WasVisible) ScrollAfterRowChange(i, GridStyle() == gsSlides ? SlideSize() : R->Height, false);
  }
}

// ---- Row operations ----------------------------------------------------------------------------

Integer TNxGrid::AddRow(Integer Count) {
  const TVisibleRangeCheck RangeCheck(this);
  if (Count < 1) return FLastAddedRow;
  const Integer Old = RowCount();
  FCells->AddRows(Count);
  if (Options().Contains(goUseDefaultValues))
    for (Integer r = Old; r < RowCount(); ++r)
      for (Integer c = 0; c < Columns()->Count(); ++c) {
        const WideString& V = Columns()->Items(c)->DefaultValue();
        if (!V.empty()) SetCells(c, r, V);
      }
  // Rows added below the view need no repaint; asking where they lie
  // would walk every row above them.
  if (UpdateCount() == 0 && HandleAllocated() && !RowStartsBelowBody(std::max(Old - 1, 0))) {
    if (GridLinesStyle() == lsFramed && Options().Contains(goGrid) && RowCount() > 1 && Old > 0)
      RefreshRowBottomLine(Old - 1);
    RefreshRowBottomLine(RowCount() - 1);
    RefreshRowsFrom(Old, Count);
  }
  FLastAddedRow = RowCount() - 1;
  // New rows are top-level rows, visible and shown.
  FLastVisibleRow = FLastAddedRow;
  if (FFirstVisibleRow < 0) FFirstVisibleRow = Old;
  if (UpdateCount() == 0) UpdateVertScrollBar();
  if (OnDataChange) OnDataChange(this, dcAddRow, FLastAddedRow);
  return FLastAddedRow;
}

void TNxGrid::AddRowsQuietly(Integer Count) {
  const TVisibleRangeCheck RangeCheck(this);
  if (Count < 1) return;
  const Integer Old = RowCount();
  FCells->AddRows(Count);
  FLastAddedRow = RowCount() - 1;
  FLastVisibleRow = FLastAddedRow;
  if (FFirstVisibleRow < 0) FFirstVisibleRow = Old;
  if (HandleAllocated()) Invalidate();
  PositionEditor();
}

void TNxGrid::InsertRow(Integer Pos, Integer Count) {
  const TVisibleRangeCheck RangeCheck(this);
  if (Count < 1) return;
  if (Pos < 0 || Pos > RowCount()) throw EListError(AnsiString("List index out of bounds (") + IntToStr(Pos) + ")");
  TNxCustomGridControl::InsertRow(Pos, Count);
  FCells->InsertRows(Pos, Count);
  for (Integer k = 0; k < Count; ++k) {
    // The rows in view keep their place: above them every index grew.
    if (Pos + k < FTopRow) ++FTopRow;
    ScrollAfterRowChange(Pos + k, GridStyle() == gsSlides ? SlideSize() : RowSize(), true);
  }
  UpdateVisibleRange();
  FLastAddedRow = Pos;
  if (FSelectedRow >= Pos) SetSelectedRow(FSelectedRow + Count);
  if (OnDataChange) OnDataChange(this, dcInsertRow, Pos);
}

void TNxGrid::AddChildRow(Integer Index, bool AsLast) {
  const TVisibleRangeCheck RangeCheck(this);
  CheckRow(Index);
  const Integer P = AsLast ? Index + FCells->DescendantCount(Index) + 1 : Index + 1;
  const bool FirstChild = FCells->GetRow(Index)->ChildCount == 0;
  FCells->AddChildRow(Index, P);
  if (Options().Contains(goUseDefaultValues))
    for (Integer c = 0; c < Columns()->Count(); ++c) {
      const WideString& V = Columns()->Items(c)->DefaultValue();
      if (!V.empty()) SetCells(c, P, V);
    }
  if (P <= FTopRow) ++FTopRow;
  if (GetRowVisible(P)) ScrollAfterRowChange(P, StackHeight(P), true);
  if (UpdateCount() == 0 && GetRowVisible(Index) && FirstChild) RefreshRow(Index);
  FLastAddedRow = P;
  UpdateVisibleRange();
  if (UpdateCount() == 0) UpdateVertScrollBar();
  if (OnDataChange) OnDataChange(this, dcAddChildRow, FLastAddedRow);
}

void TNxGrid::DeleteDescendants(Integer Index) {
  const Integer N = FCells->DescendantCount(Index);
  for (Integer i = Index + N; i > Index; --i) FCells->DeleteRow(i);
  FCells->GetRow(Index)->ChildCount = 0;
  if (HandleAllocated()) Invalidate();
}

void TNxGrid::DeleteRow(Integer Index) {
  const TVisibleRangeCheck RangeCheck(this);
  CheckRow(Index);
  TNxCustomGridControl::DeleteRow(Index);
  if (FCells->GetRow(Index)->ChildCount > 0) DeleteDescendants(Index);
  if (TRow* Parent = FCells->GetRow(Index)->ParentRow) --Parent->ChildCount;
  const Integer H = GridStyle() == gsSlides ? SlideSize() : GetRowHeight(Index);
  const bool V = GetRowVisible(Index);
  FCells->DeleteRow(Index);
  // A row above the view moves only the thumb (the rows in view keep their
  // place, one index lower); an invisible row moves nothing.
  if (Index < FTopRow) {
    UpdateVisibleRange();
    if (V) ScrollAfterRowChange(Index, H, false);
    --FTopRow;
  } else {
    UpdateVisibleRange();
    if (V) ScrollAfterRowChange(Index, H, false);
  }
  if (FSelectedRow >= 0 && FSelectedRow >= FLastVisibleRow && FSelectedRow != FLastVisibleRow) {
    if (OnDeselectCell) OnDeselectCell(this, FSelectedColumn, FSelectedRow);
    FSelectedRow = FLastVisibleRow;
  }
  RefreshSelection();
  UpdateVertScrollBar();
  if (OnDataChange) OnDataChange(this, dcDeleteRow, Index);
  if (FLastAddedRow > RowCount() - 1) FLastAddedRow = RowCount() - 1;
}

void TNxGrid::ClearRows() {
  const TVisibleRangeCheck RangeCheck(this);
  TNxCustomGridControl::ClearRows();
  FCells->ClearRows();
  FTopRow = 0;
  FFirstVisibleRow = -1;
  FLastVisibleRow = -1;
  RefreshArea(gaBody);
  RefreshArea(gaFooter);
  RefreshArea(gaIndicator);
  UpdateHorzScrollBar();
  UpdateVertScrollBar();
  if (OnDataChange) OnDataChange(this, dcClearRows, -1);
}

void TNxGrid::MoveRow(Integer FromPos, Integer ToPos) {
  const TVisibleRangeCheck RangeCheck(this);
  CheckRow(FromPos);
  CheckRow(ToPos);
  TNxCustomGridControl::MoveRow(FromPos, ToPos);
  if (FromPos == ToPos) return;
  const bool F = GetRowVisible(FromPos), T = GetRowVisible(ToPos);
  FCells->MoveRow(FromPos, ToPos);
  UpdateVisibleRange();
  if (F && !T) ScrollAfterRowChange(ToPos, GetRowHeight(ToPos), true);
}

void TNxGrid::ExchangeRows(Integer Index1, Integer Index2) {
  const TVisibleRangeCheck RangeCheck(this);
  CheckRow(Index1);
  CheckRow(Index2);
  // A visible row changing places with a hidden one moves the range.
  const bool Moves = GetRowVisible(Index1) != GetRowVisible(Index2);
  FCells->ExchangeRows(Index1, Index2);
  if (Moves) UpdateVisibleRange();
  if (UpdateCount() == 0) {
    RefreshRow(Index1);
    RefreshRow(Index2);
  }
}

void TNxGrid::SetStartRowCount(Integer Value) {
  if (Value == FStartRowCount || Value < 0) return;
  if (Value > FStartRowCount) {
    AddRow(Value - FStartRowCount);
  } else {
    const Integer Times = FStartRowCount < RowCount() ? FStartRowCount - Value : RowCount() - Value;
    for (Integer k = 0; k < Times; ++k) DeleteRow(0);
  }
  FStartRowCount = Value;
  if (HandleAllocated()) Invalidate();
}

// ---- Keeping the picture after a row change -----------------------------------------------

void TNxGrid::ScrollBody(Integer FromY, Integer DY) {
  if (!HandleAllocated() || DY == 0) return;
  TRect B = BodyRect();
  B.Left = 0;
  B.Top = std::max(B.Top, FromY);
  if (B.IsEmpty()) return;
  RECT R = B;
  ScrollWindowEx(Handle(), 0, DY, &R, &R, nullptr, nullptr, SW_INVALIDATE);
  // Indicator cells are drawn by their row's index, which the moved rows
  // no longer have.
  RefreshArea(gaIndicator);
}

void TNxGrid::LineScroll(bool Down) {
  if (Down)
    VertScrollBar()->MoveBy(1);
  else
    VertScrollBar()->MoveBy(-1);
}

void TNxGrid::ScrollAfterRowChange(Integer Row, Integer Height, bool Shown) {
  const Integer G = GridLineWidths().RowGap;
  // A row's band starts at its top line; the whole band moves.
  auto BandTop = [this](Integer R) {
    return GridStyle() == gsSlides ? SlideTop(R) : RowTop(R) - GridLineWidths().TopLine;
  };
  TNxScrollBar* Bar = VertScrollBar();
  if (GetVisibleRowCount() == 0) {
    const Integer Top = BandTop(Row);
    FTopRow = 0;
    ScrollBody(Top, -Height - G);
  } else if (Row == FTopRow) {
    if (!Shown) {
      if (!Bar->IsAtEnd()) {
        const Integer Next = Row < RowCount() ? (GetRowVisible(Row) ? Row : NextVisibleRow(Row)) : -1;
        if (Next >= 0) FTopRow = Next;
      }
      ScrollBody(BandTop(Row), -Height - G);
      if (Bar->IsAtEnd() && Bar->Position() > 0) LineScroll(false);
    } else {
      ScrollBody(BandTop(Row), Height + G);
    }
  } else if (Row > FTopRow) {
    if (UpdateCount() > 0) return;
    const Integer Top = BandTop(Row);
    ScrollBody(Top, Shown ? Height + G : -Height - G);
    if (Bar->IsAtEnd() && Bar->Position() > 0 && !Shown) LineScroll(false);
  } else {
    if (Bar->Position() == 0) {
      if (Shown) FTopRow = Row;
      ScrollBody(BodyRect().Top, Shown ? Height + G : -Height + G);
    } else {
      // The rows in view stay where they are; only the thumb moves.
      Bar->BeginUpdate();
      if (Shown || Bar->IsAtEnd())
        Bar->SetPosition(Bar->Position() + 1);
      else
        Bar->SetPosition(Bar->Position() - 1);
      Bar->EndUpdate();
    }
  }
  UpdateVertScrollBar();
}

// ---- Sorting ------------------------------------------------------------------------------------

void TNxGrid::SortColumn(TNxCustomColumn* Column, bool Ascending) {
  const TVisibleRangeCheck RangeCheck(this);
  TNxCustomGridControl::SortColumn(Column, Ascending);
  if (!Column || !Column->Options().Contains(coCanSort)) return;
  TRow* Selected = RowIsValid(FSelectedRow) ? FCells->GetRow(FSelectedRow) : nullptr;
  FCells->Sort(Column->Index(), Column->SortType(), Column->Options().Contains(coFullResort),
               Column->SortKind() == skDescending);
  if (Selected) SetSelectedRow(FCells->IndexOfRow(Selected));
  if (FSelectedRow >= 0) ScrollIntoView(FSelectedRow);
  // TopRow follows the scroll position: that many visible rows above it.
  Integer Pos = VertScrollBar()->Position();
  FTopRow = 0;
  for (Integer i = 0; i < RowCount(); ++i) {
    if (!GetRowVisible(i)) continue;
    FTopRow = i;
    if (Pos-- == 0) break;
  }
  UpdateVisibleRange();
  RefreshArea(gaBody);
  RefreshArea(gaIndicator);
  if (OnAfterSort) OnAfterSort(this, Column->Index());
}

// ---- Hooks ----------------------------------------------------------------------------------------

TColor TNxGrid::GetCellColor(Integer ACol, Integer ARow) {
  TNxCustomColumn* C = Columns()->Items(ACol);
  if (C->ParentCellColor()) return C->Color();
  return FCells->GetCell(ACol, ARow)->Color();
}

void TNxGrid::GetCellHint(Integer ACol, Integer ARow, WideString& Hint) {
  Hint = FCells->GetCell(ACol, ARow)->Hint();
  TNxCustomGridControl::GetCellHint(ACol, ARow, Hint);
}

bool TNxGrid::IsCellHidden(Integer ACol, Integer ARow) {
  if (FCells->GetCell(ACol, ARow)->Hidden()) return true;
  return TNxCustomGridControl::IsCellHidden(ACol, ARow);
}

void TNxGrid::ColumnsChanged(Integer Kind, Integer Index) {
  const TVisibleRangeCheck RangeCheck(this);
  TNxCustomGridControl::ColumnsChanged(Kind, Index);
  FCells->ColumnsChanged(Kind, Index, -1);
  // Without columns there are no rows to show: the row state goes as
  // ClearRows leaves it.
  if (Kind == 1 && Columns()->Count() == 0) {
    FTopRow = 0;
    FSelectedColumn = 0;
    FSelectedRow = -1;
    FFirstVisibleRow = -1;
    FLastVisibleRow = -1;
    UpdateHorzScrollBar();
    UpdateVertScrollBar();
  }
}

void TNxGrid::CalculateFooter(bool VisibleOnly) {
  for (Integer c = 0; c < Columns()->Count(); ++c) {
    TNxCustomColumn* Col = Columns()->Items(c);
    TColumnFooter* F = Col->Footer();
    const TFormulaKind Kind = F->FormulaKind();
    if (Kind == fkNone) continue;
    // Every row is asked; N counts the accepted ones.
    std::vector<Integer> Rows;
    for (Integer r = 0; r < RowCount(); ++r) {
      if (VisibleOnly && !GetRowVisible(r)) continue;
      bool Accept = true;
      if (OnCalculateRow) OnCalculateRow(this, c, r, Accept);
      if (Accept) Rows.push_back(r);
    }
    const Integer N = static_cast<Integer>(Rows.size());
    double V = 0;
    if (N == 0 && Kind != fkCustom) {
      F->SetCaption(u"0");
      F->SetFormulaValue(0);
      continue;
    }
    switch (Kind) {
      case fkSum:
      case fkAverage:
        for (Integer r : Rows) V += FCells->GetCell(c, r)->AsFloat();
        if (Kind == fkAverage) V /= N;
        break;
      case fkCount: V = N; break;
      case fkMaximum:
      case fkMinimum:
        V = FCells->GetCell(c, Rows[0])->AsFloat();
        for (Integer r : Rows) {
          const double X = FCells->GetCell(c, r)->AsFloat();
          V = Kind == fkMaximum ? std::max(V, X) : std::min(V, X);
        }
        break;
      case fkDistinct: {
        std::set<AnsiString> Seen;
        for (Integer r : Rows) Seen.insert(AnsiLowerCase(WideToAnsi(FCells->GetCell(c, r)->AsString())));
        V = static_cast<double>(Seen.size());
        break;
      }
      case fkCustom:
        if (OnColumnFooterValue) OnColumnFooterValue(this, c, V);
        break;
      default: break;
    }
    if (OnFooterCalculate) OnFooterCalculate(this, c, V);
    F->SetCaption(AnsiToWide(FloatToStr(V)));
    F->SetFormulaValue(V);
  }
}
