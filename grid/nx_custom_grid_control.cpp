#include "grid/nx_custom_grid_control.h"

#include <algorithm>
#include <vector>

#include "grid/nx_style_display.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/controls_messages.h"
#include "platform/forms/timer.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel_compare.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_keys.h"
#include "platform/win/user/user_sysinfo.h"

RTL_IMPLEMENT_CLASS(TNxCustomGridControl)

TNxCustomGridControl::TNxCustomGridControl(TComponent* AOwner) : TNxScrollControl(AOwner) {
  SetTabStop(true);
  SetWidth(250);
  SetHeight(150);
  FColumns = new TNxColumns(this, this);
  FColumns->OnColumnChange = [this](TObject* S, TNxCustomColumn* C, Integer K, Integer V) {
    ColumnChangeHandler(S, C, K, V);
  };
  FColumns->OnDataNotify = [this](TObject* S, Integer K, Integer I, Integer E) { DataNotifyHandler(S, K, I, E); };
  FColumns->OnLayoutChange = [this](TObject* S, Integer K, Integer I, Integer E) {
    LayoutChangeHandler(S, K, I, E);
  };
  UpdateGridLineWidths();
  CreatePainters();
}

TNxCustomGridControl::~TNxCustomGridControl() {
  Destroying();
  // Columns leave the collection while it is freed; nothing may reach
  // back into a grid that is half gone.
  FColumns->OnColumnChange = nullptr;
  FColumns->OnDataNotify = nullptr;
  FColumns->OnLayoutChange = nullptr;
  delete FColumns;
  FColumns = nullptr;
  // An editor someone else owns (the form, say) was only lent to the grid:
  // it leaves before the grid frees its child controls.
  std::vector<TWinControl*> Lent = FHookedEditors;
  if (FInplaceEditor) Lent.push_back(FInplaceEditor);
  FInplaceEditor = nullptr;
  UnhookEditors();
  for (TWinControl* Editor : Lent)
    if (Editor->Owner() != this && Editor->Parent() == this) Editor->SetParent(nullptr);
  CloseHeaderTheme();
}

void TNxCustomGridControl::CloseHeaderTheme() {
  if (FHeaderTheme && NxThemesSupport::CloseThemeData) NxThemesSupport::CloseThemeData(FHeaderTheme);
  FHeaderTheme = nullptr;
  HeaderThemeChanged();
}

void TNxCustomGridControl::CreateParams(TCreateParams& Params) {
  TNxScrollControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  if (FBorderStyle == bsSingle)
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TNxCustomGridControl::CreateWnd() {
  TNxScrollControl::CreateWnd();
  if (!FHeaderTheme && IsThemed() && NxThemesSupport::OpenThemeData)
    FHeaderTheme = NxThemesSupport::OpenThemeData(Handle(), u"header");
  HeaderThemeChanged();
  FOldClientWidth = ClientWidth();
  FOldClientHeight = ClientHeight();
  UpdateVertScrollBar();
  UpdateHorzScrollBar();
}

void TNxCustomGridControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    WMGetDlgCode(Message);
    return;
  }
  if (Message.Msg == WM_THEMECHANGED) {
    CloseHeaderTheme();
    if (HandleAllocated() && IsThemed() && NxThemesSupport::OpenThemeData)
      FHeaderTheme = NxThemesSupport::OpenThemeData(Handle(), u"header");
    HeaderThemeChanged();
  }
  TNxScrollControl::Dispatch(Message);
}

// ---- Basic queries ------------------------------------------------------------------

void TNxCustomGridControl::InvalidateArea(const TRect& R) {
  if (!HandleAllocated() || R.IsEmpty()) return;
  RECT Rc = R;
  InvalidateRect(Handle(), &Rc, FALSE);
}

Integer TNxCustomGridControl::StackHeight(Integer Row) {
  if (FGridStyle == gsSlides) return FSlideSize;
  if (Row >= GetRowCount()) return FRowSize;
  return GetRowHeight(Row);
}

bool TNxCustomGridControl::StackVisible(Integer Row) { return Row >= GetRowCount() || GetRowVisible(Row); }

Integer TNxCustomGridControl::NextVisibleRow(Integer Row) {
  const Integer N = GetRowCount();
  for (Integer i = Row + 1; i < N; ++i)
    if (GetRowVisible(i)) return i;
  return -1;
}

Integer TNxCustomGridControl::PriorVisibleRow(Integer Row) {
  for (Integer i = std::min(Row, GetRowCount()) - 1; i >= 0; --i)
    if (GetRowVisible(i)) return i;
  return -1;
}

bool TNxCustomGridControl::RowStartsBelowBody(Integer Row) {
  const TRect Body = BodyRect();
  const Integer Bottom = Body.Bottom;
  Integer Y = Body.Top;
  for (Integer i = FTopRow; i < Row; ++i) {
    if (StackVisible(i)) Y += StackHeight(i) + FLines.RowGap;
    if (Y >= Bottom) return true;
  }
  return false;
}

Integer TNxCustomGridControl::TopRowPosition() {
  // Without hidden rows the position is the index itself.
  if (GetVisibleRowCount() == GetRowCount()) return std::min(FTopRow, GetRowCount());
  Integer Count = 0;
  for (Integer i = 0; i < std::min(FTopRow, GetRowCount()); ++i)
    if (GetRowVisible(i)) ++Count;
  return Count;
}

Integer TNxCustomGridControl::HorzScrollPos() {
  return FGridStyle == gsSlides ? 0 : HorzScrollBar()->Position();
}

void TNxCustomGridControl::ApplyEditValue(Integer, Integer, const WideString& Value) {
  SetCells(FEditCol, FEditRow, Value);
}

TColor TNxCustomGridControl::GetCellColor(Integer ACol, Integer) { return FColumns->Items(ACol)->Color(); }

void TNxCustomGridControl::GetCellHint(Integer ACol, Integer ARow, WideString& Hint) {
  if (OnCellHint) OnCellHint(this, ACol, ARow, Hint);
}

bool TNxCustomGridControl::IsCellHidden(Integer ACol, Integer ARow) {
  bool Showing = true;
  if (OnCellShowing) OnCellShowing(this, ACol, ARow, Showing);
  return !Showing;
}

Integer TNxCustomGridControl::GetHorzScrollRange() {
  const Integer L = FOptions.Contains(goIndicator) ? IndicatorWidth : 0;
  return std::max(FColumns->TotalWidth() + L - ClientWidth(), 0);
}

Integer TNxCustomGridControl::GetSelectedCount() {
  Integer Count = 0;
  const Integer N = GetRowCount();
  for (Integer i = 0; i < N; ++i)
    if (GetSelected(i)) ++Count;
  return Count;
}

Integer TNxCustomGridControl::GetViewRowCount() {
  return GetRowCount() > 0 && FColumns->Count() > 0 ? GetVisibleRowCount() : 0;
}

void TNxCustomGridControl::GetCellsAsText(WideChar Separator, WideString& Text) {
  Text = WideString(1, Separator);
  const Integer Rows = GetRowCount(), Cols = FColumns->Count();
  for (Integer r = 0; r < Rows; ++r)
    for (Integer c = 0; c < Cols; ++c) {
      const WideString Cell = GetCells(c, r);
      for (size_t i = 0; i < Cell.size(); ++i) {
        if (Cell[i] == u'\r' && i + 1 < Cell.size() && Cell[i + 1] == u'\n') {
          Text += u"%\r\n";
          ++i;
        } else {
          Text += Cell[i];
        }
      }
      if (c < Cols - 1)
        Text += Separator;
      else if (r < Rows - 1)
        Text += u"\r\n";
    }
}

// ---- Options -----------------------------------------------------------------------

void TNxCustomGridControl::UpdateGridLineWidths() {
  FLines = TGridLineWidths();
  if (FOptions.Contains(goGrid)) {
    const bool ThreeD = FAppearanceOptions.Contains(ao3DGridLines);
    if (FGridLinesStyle != lsHorizontalOnly && FGridLinesStyle != lsActiveHorzOnly) {
      FLines.RightLine = 1;
      if (ThreeD) FLines.LeftLine = 1;
    }
    if (FGridLinesStyle != lsVerticalOnly) {
      FLines.BottomLine = 1;
      if (ThreeD) FLines.TopLine = 1;
    }
  }
  FLines.RowGap = FLines.TopLine + FLines.BottomLine;
}

void TNxCustomGridControl::SetOptions(TGridOptions Value) {
  if (Value == FOptions) return;
  const bool IndicatorChanged = Value.Contains(goIndicator) != FOptions.Contains(goIndicator);
  FOptions = Value;
  if (IndicatorChanged && FIndicatorChange) FIndicatorChange(this);
  UpdateGridLineWidths();
  if (HandleAllocated()) {
    Invalidate();
    PositionEditor();
    UpdateHorzScrollBar();
  }
}

void TNxCustomGridControl::SetAppearanceOptions(TAppearanceOptions Value) {
  FAppearanceOptions = Value;
  UpdateGridLineWidths();
  if (HandleAllocated()) Invalidate();
  DrawBorder();
}

void TNxCustomGridControl::SetGridLinesStyle(TGridLinesStyle Value) {
  FGridLinesStyle = Value;
  UpdateGridLineWidths();
  if (HandleAllocated()) Invalidate();
}

void TNxCustomGridControl::SetCaption(const WideString& Value) {
  FCaption = Value;
  if (!HandleAllocated()) return;
  TRect R = BodyRect();
  R.Right = ClientWidth();
  InvalidateArea(R);
}

void TNxCustomGridControl::SetFixedCols(Integer Value) {
  FFixedCols = std::max(Value, 0);
  FColumns->SetFixedCols(FFixedCols);
  if (HandleAllocated()) Invalidate();
}

void TNxCustomGridControl::SetFooterSize(Integer Value) {
  FFooterSize = Value;
  if (HandleAllocated()) Invalidate();
}

void TNxCustomGridControl::SetHeaderSize(Integer Value) {
  FHeaderSize = Value;
  if (HandleAllocated()) {
    Invalidate();
    UpdateVertScrollBar();
  }
}

void TNxCustomGridControl::SetInputSize(Integer Value) {
  FInputSize = Value;
  if (HandleAllocated()) Invalidate();
}

void TNxCustomGridControl::SetGridStyle(TGridStyle Value) {
  if (Value == FGridStyle) return;
  // Slides have neither cell editors nor an input line.
  if (Value == gsSlides) {
    EndEditing();
    ShowInputLine(false);
  }
  FGridStyle = Value;
  FColumns->Recalculate();
  if (HandleAllocated()) {
    Invalidate();
    PositionEditor();
    UpdateHorzScrollBar();
    UpdateVertScrollBar();
  }
}

void TNxCustomGridControl::SetSlideSize(Integer Value) {
  FSlideSize = Value;
  if (HandleAllocated()) {
    Invalidate();
    UpdateVertScrollBar();
  }
}

void TNxCustomGridControl::SetRowSize(Integer Value) {
  if (Value <= 0) return;
  FRowSize = Value;
  RefreshArea(gaBody);
  RefreshArea(gaInputLine);
  RefreshArea(gaIndicator);
  PositionEditor();
}

// ---- Areas --------------------------------------------------------------------------

TRect TNxCustomGridControl::HeaderRect() {
  const Integer L = FOptions.Contains(goIndicator) ? IndicatorWidth : 0;
  return TRect(L, 0, L + FColumns->TotalWidth() - HorzScrollPos(), FHeaderSize);
}

TRect TNxCustomGridControl::InputLineRect() {
  const Integer L = FOptions.Contains(goIndicator) ? IndicatorWidth : 0;
  const Integer T = FOptions.Contains(goHeader) ? FHeaderSize : 0;
  return TRect(L, T, L + FColumns->TotalWidth() - HorzScrollPos(), T + FInputSize + 6 + FLines.BottomLine);
}

TRect TNxCustomGridControl::InputCellRect(Integer ACol) {
  TNxCustomColumn* C = FColumns->Items(ACol);
  const Integer Top = InputLineRect().Top;
  const Integer Left = C->Left() - HorzScrollPos();
  return TRect(Left, Top, Left + C->Width(), Top + FInputSize);
}

TRect TNxCustomGridControl::BodyRect() {
  const Integer L = FOptions.Contains(goIndicator) ? IndicatorWidth : 0;
  const Integer CW = ClientWidth(), CH = ClientHeight();
  if (FGridStyle == gsSlides) return TRect(L, FOptions.Contains(goHeader) ? FHeaderSize : 0, CW, CH);
  Integer Top = FOptions.Contains(goHeader) ? FHeaderSize : 0;
  if (FOptions.Contains(goInput)) Top += FInputSize + 6 + FLines.BottomLine;
  const Integer Right = std::min(L + FColumns->TotalWidth() - HorzScrollPos(), CW);
  const Integer Bottom = FOptions.Contains(goFooter) ? CH - FFooterSize - 4 - FLines.BottomLine : CH;
  return TRect(L, Top, Right, Bottom);
}

TRect TNxCustomGridControl::FooterRect() {
  if (FGridStyle == gsSlides) return TRect();
  const Integer L = FOptions.Contains(goIndicator) ? IndicatorWidth : 0;
  const Integer CH = ClientHeight();
  return TRect(L, CH - FFooterSize - 4 - FLines.BottomLine, L + FColumns->TotalWidth() - HorzScrollPos(), CH);
}

TRect TNxCustomGridControl::IndicatorRect() { return TRect(0, 0, IndicatorWidth, ClientHeight()); }

TRect TNxCustomGridControl::ScrollAreaRect() {
  const Integer L = FOptions.Contains(goIndicator) ? IndicatorWidth : 0;
  return TRect(FColumns->FixedWidth() + L, 0, ClientWidth(), ClientHeight());
}

TRect TNxCustomGridControl::CaptionRect() {
  const TRect B = BodyRect();
  const Integer X = HorzScrollPos();
  Integer H = 0;
  if (HandleAllocated()) {
    Canvas()->SetFont(Font());
    H = Canvas()->TextHeight("Wg");
  }
  return TRect(B.Left - X, B.Top + 4, ClientWidth() - X, B.Top + 4 + H);
}

// ---- Row stacking --------------------------------------------------------------------

Integer TNxCustomGridControl::RowTop(Integer Row) {
  Integer Y = BodyRect().Top + FLines.TopLine;
  for (Integer i = FTopRow; i < Row; ++i)
    if (StackVisible(i)) Y += StackHeight(i) + FLines.RowGap;
  return Y;
}

Integer TNxCustomGridControl::SlideTop(Integer Row) {
  Integer Y = BodyRect().Top;
  for (Integer i = FTopRow; i < Row; ++i)
    if (StackVisible(i)) Y += FSlideSize + FLines.RowGap;
  return Y;
}

TRect TNxCustomGridControl::RowRect(Integer Row) {
  const Integer T = RowTop(Row);
  return TRect(0, T, BodyRect().Right, T + StackHeight(Row) + FLines.BottomLine);
}

TRect TNxCustomGridControl::SlideRect(Integer Row) {
  const Integer T = SlideTop(Row) + FLines.TopLine;
  return TRect(0, T, ClientWidth(), T + FSlideSize);
}

Integer TNxCustomGridControl::CellTop(Integer ACol, Integer ARow) {
  if (FGridStyle == gsSlides) return SlideTop(ARow) + FColumns->Items(ACol)->SlideBounds()->Top();
  return RowTop(ARow);
}

TRect TNxCustomGridControl::GetCellRect(Integer ACol, Integer ARow) {
  TNxCustomColumn* C = FColumns->Items(ACol);
  if (FGridStyle == gsSlides) {
    TNxSlideBounds* S = C->SlideBounds();
    const Integer Top = SlideTop(ARow) + S->Top();
    return TRect(S->Left(), Top, S->Left() + S->Width(), Top + S->Height());
  }
  Integer Left = C->Left();
  if (C->Position() >= FFixedCols) Left -= HorzScrollPos();
  const Integer Top = RowTop(ARow);
  const Integer H = ARow < GetRowCount() ? GetRowHeight(ARow) : FRowSize;
  return TRect(Left, Top, Left + C->Width(), Top + H);
}

Integer TNxCustomGridControl::PageRowCount(bool CountAbove) {
  const TRect B = BodyRect();
  const Integer Height = B.Height();
  const Integer N = GetRowCount();
  Integer Used = 0, Count = 0;
  for (Integer i = FTopRow; i < N; ++i) {
    if (!GetRowVisible(i)) continue;
    const Integer H = StackHeight(i) + FLines.RowGap;
    if (Used + H > Height) return Count;
    Used += H;
    ++Count;
  }
  if (CountAbove)
    for (Integer i = std::min(FTopRow, N) - 1; i >= 0; --i) {
      if (!GetRowVisible(i)) continue;
      const Integer H = StackHeight(i) + FLines.RowGap;
      if (Used + H > Height) break;
      Used += H;
      ++Count;
    }
  return Count;
}

Integer TNxCustomGridControl::LastWholeRow() {
  const TRect B = BodyRect();
  Integer Y = B.Top, Last = FTopRow;
  const Integer N = GetRowCount();
  for (Integer i = FTopRow; i < N; ++i) {
    if (!GetRowVisible(i)) continue;
    Y += StackHeight(i) + FLines.RowGap;
    if (Y > B.Bottom) break;
    Last = i;
  }
  return Last;
}

Integer TNxCustomGridControl::RowBelowTop(Integer N) {
  const Integer Count = GetRowCount();
  Integer Row = FTopRow;
  for (Integer k = 1; k < N; ++k) {
    const Integer Next = NextVisibleRow(Row);
    if (Next < 0) break;
    Row = Next;
  }
  return std::min(Row, std::max(Count - 1, 0));
}

Integer TNxCustomGridControl::CountVisibleRowsBetween(Integer A, Integer B) {
  if (A > B) std::swap(A, B);
  A = std::max(A, 0);
  B = std::min(B, GetRowCount());
  Integer Count = 0;
  for (Integer i = A; i < B; ++i)
    if (GetRowVisible(i)) ++Count;
  return Count;
}

bool TNxCustomGridControl::RowIsValid(Integer Row) { return Row >= 0 && Row < GetRowCount(); }

bool TNxCustomGridControl::CellIsValid(Integer ACol, Integer ARow) {
  return RowIsValid(ARow) && FColumns->IsValidIndex(ACol);
}

// ---- Scroll bars --------------------------------------------------------------------

void TNxCustomGridControl::UpdateVertScrollBar() {
  TNxScrollBar* Bar = VertScrollBar();
  const Integer Rows = GetRowCount();
  const Integer Count = Rows == 1 ? 0 : GetVisibleRowCount();
  // Whole rows that fit from TopRow, rows past the end counting as
  // RowSize-high rows.
  const TRect B = BodyRect();
  Integer Page = 0, Used = 0;
  for (Integer i = FTopRow;; ++i) {
    if (i < Rows && !GetRowVisible(i)) continue;
    const Integer H = StackHeight(i) + FLines.RowGap;
    if (H <= 0 || Used + H > B.Height()) break;
    Used += H;
    ++Page;
  }
  Bar->BeginUpdate();
  if (Page < Count)
    Bar->SetParams(Count, Page + 1, Page + 1);
  else
    Bar->SetParams(0, std::max(Page, 1), Bar->LargeStep());
  if (Count <= Page + 1 || Bar->Position() > Bar->Max()) Bar->SetPosition(TopRowPosition());
  Bar->EndUpdate();
  Bar->SetVisible(Bar->IsNeeded());
}

void TNxCustomGridControl::UpdateHorzScrollBar() {
  TNxScrollBar* Bar = HorzScrollBar();
  if (FGridStyle == gsSlides) {
    Bar->SetVisible(false);
    return;
  }
  const Integer L = FOptions.Contains(goIndicator) ? IndicatorWidth : 0;
  const Integer Total = FColumns->TotalWidth() + L;
  const Integer CW = ClientWidth();
  const bool Visible = ClientHeight() > GetSystemMetrics(SM_CXHSCROLL) && Total > CW + 1;
  if (Visible) {
    const Integer Prev = Bar->PageSize();
    Bar->BeginUpdate();
    Bar->SetParams(Total, CW + 1, Prev - 10);
    Bar->SetPosition(Bar->Position());
    Bar->EndUpdate();
  } else {
    Bar->BeginUpdate();
    Bar->SetParams(0, 1, Bar->LargeStep());
    Bar->SetPosition(0);
    Bar->EndUpdate();
  }
  Bar->SetVisible(Visible);
}

Integer TNxCustomGridControl::GetHorzScrollDelta(Integer OldPos, Integer NewPos) { return OldPos - NewPos; }

Integer TNxCustomGridControl::GetVertScrollDelta(Integer OldPos, Integer NewPos) {
  // Slides without hidden rows all take the same height: no need to walk
  // them one by one.
  const Integer Rows = GetRowCount();
  if (FGridStyle == gsSlides && GetVisibleRowCount() == Rows && FTopRow < Rows) {
    const Integer Target = std::clamp(FTopRow + (NewPos - OldPos), 0, std::max(Rows - 1, 0));
    const Integer Moved = Target - FTopRow;
    FTopRow = Target;
    return -Moved * (FSlideSize + FLines.RowGap);
  }
  Integer Delta = 0;
  if (NewPos > OldPos) {
    for (Integer k = OldPos; k < NewPos; ++k) {
      const Integer Next = NextVisibleRow(FTopRow);
      if (Next < 0) break;
      Delta -= StackHeight(FTopRow) + FLines.RowGap;
      FTopRow = Next;
    }
  } else {
    for (Integer k = NewPos; k < OldPos; ++k) {
      const Integer Prior = PriorVisibleRow(FTopRow);
      if (Prior < 0) break;
      FTopRow = Prior;
      Delta += StackHeight(FTopRow) + FLines.RowGap;
    }
  }
  return Delta;
}

void TNxCustomGridControl::ScrollIntoView(Integer Row) {
  if (!RowIsValid(Row)) return;
  TNxScrollBar* Bar = VertScrollBar();
  if (LastWholeRow() >= Row) {
    if (Row < FTopRow) Bar->SetPosition(Bar->Position() - CountVisibleRowsBetween(Row, FTopRow));
    return;
  }
  const TRect B = BodyRect();
  Integer Bottom = (FGridStyle == gsSlides ? SlideTop(Row) + FSlideSize : RowTop(Row) + StackHeight(Row));
  // Each step down takes the row at the top out of the view.
  Integer Count = 0, Top = FTopRow;
  while (Bottom > B.Bottom && Top >= 0 && Top < Row) {
    Bottom -= StackHeight(Top) + FLines.RowGap;
    ++Count;
    Top = NextVisibleRow(Top);
  }
  if (Count == 0) return;
  Bar->MoveBy(Count);
  RowsScrolled(Count);
}

void TNxCustomGridControl::ScrollColumnIntoView(TNxCustomColumn* Column) {
  if (!Column || Column->Position() < FFixedCols) return;
  const Integer D = Column->Left() - HorzScrollPos();
  const Integer AreaLeft = ScrollAreaRect().Left;
  if (D < AreaLeft)
    HorzScrollBar()->MoveBy(D - AreaLeft);
  else if (D + Column->Width() > ClientWidth())
    HorzScrollBar()->MoveBy(D + Column->Width() - ClientWidth());
  PositionEditor();
}

// ---- Hit tests -------------------------------------------------------------------------

TGridArea TNxCustomGridControl::AreaAtPoint(const TPoint& P) {
  if (FGridStyle == gsSlides) {
    if (FOptions.Contains(goHeader) && HeaderRect().Contains(P)) return gaHeader;
    return gaBody;
  }
  if (FOptions.Contains(goHeader) && HeaderRect().Contains(P)) return gaHeader;
  if (FOptions.Contains(goInput) && InputLineRect().Contains(P)) return gaInputLine;
  if (BodyRect().Contains(P)) return gaBody;
  if (FOptions.Contains(goFooter) && FooterRect().Contains(P)) return gaFooter;
  if (FOptions.Contains(goIndicator) && IndicatorRect().Contains(P)) return gaIndicator;
  return gaNone;
}

TNxCustomColumn* TNxCustomGridControl::ColumnAtX(Integer X) {
  for (Integer p = 0; p < FColumns->Count(); ++p) {
    TNxCustomColumn* C = FColumns->ByPosition(p);
    if (!C->Visible()) continue;
    const Integer Left = p < FFixedCols ? C->Left() : C->Left() - HorzScrollPos();
    if (Left <= X && X <= Left + C->Width()) return C;
  }
  return nullptr;
}

TNxCustomColumn* TNxCustomGridControl::ColumnBorderAtX(Integer X) {
  const Integer Fixed = FColumns->FixedWidth() + (FOptions.Contains(goIndicator) ? IndicatorWidth : 0);
  for (Integer p = 0; p < FColumns->Count(); ++p) {
    TNxCustomColumn* C = FColumns->ByPosition(p);
    if (!C->Visible() || C->Options().Contains(coFixedSize)) continue;
    const bool IsFixed = p < FFixedCols;
    if (!IsFixed && X < Fixed) continue;
    const Integer E = (IsFixed ? C->Left() : C->Left() - HorzScrollPos()) + C->Width();
    if (E - 3 <= X && X <= E + 2) return C;
  }
  return nullptr;
}

Integer TNxCustomGridControl::RowAtY(Integer X, Integer Y) {
  TRect B = BodyRect();
  B.Left = 0;
  if (!B.Contains(TPoint(X, Y))) return -1;
  // Only real rows: the bands below the last row only fill the picture.
  const Integer N = GetRowCount();
  for (Integer i = FTopRow; i < N; ++i) {
    if (!GetRowVisible(i)) continue;
    if (RowTop(i) + StackHeight(i) >= Y) return i;
  }
  return -1;
}

Integer TNxCustomGridControl::RowBorderAtY(Integer X, Integer Y) {
  const TRect B = BodyRect();
  if (Y < B.Top || X > IndicatorWidth) return -1;
  Integer Line = B.Top;
  const Integer N = GetRowCount();
  for (Integer i = FTopRow; i < N; ++i) {
    if (!GetRowVisible(i)) continue;
    Line += StackHeight(i) + FLines.RowGap;
    if (Line - 3 < Y && Y < Line + 1) return i;
    if (Line - 3 >= Y) break;
  }
  return -1;
}

Integer TNxCustomGridControl::SlideAtY(Integer Y) {
  const TRect B = BodyRect();
  if (Y < B.Top) return FTopRow;
  Integer Top = B.Top;
  const Integer N = GetRowCount();
  for (Integer i = FTopRow; i < N; ++i) {
    if (!GetRowVisible(i)) continue;
    if (Top + FLines.TopLine + FSlideSize >= Y) return i;
    Top += FSlideSize + FLines.RowGap;
  }
  return N;
}

TPoint TNxCustomGridControl::CellAtPoint(Integer X, Integer Y) {
  if (FGridStyle == gsSlides) {
    const Integer Row = SlideAtY(Y);
    const Integer Top = SlideTop(Row);
    for (Integer i = 0; i < FColumns->Count(); ++i) {
      TNxCustomColumn* C = FColumns->Items(i);
      if (!C->Visible()) continue;
      TNxSlideBounds* S = C->SlideBounds();
      const Integer Px = X, Py = Y - Top;
      if (Px >= S->Left() && Px < S->Left() + S->Width() && Py >= S->Top() && Py < S->Top() + S->Height())
        return TPoint(i, Row);
    }
    return TPoint(-1, Row);
  }
  TNxCustomColumn* C = ColumnAtX(X);
  return TPoint(C ? C->Index() : -1, RowAtY(X, Y));
}

Integer TNxCustomGridControl::DropRowAtY(Integer Y) {
  const TRect B = BodyRect();
  if (Y < B.Top) return -1;
  Integer Top = B.Top;
  const Integer N = GetRowCount();
  for (Integer i = FTopRow; i < N; ++i) {
    if (!GetRowVisible(i)) continue;
    const Integer H = StackHeight(i);
    if (Y > Top && Y <= Top + H + FLines.RowGap) return Y <= Top + H / 2 ? i : i + 1;
    Top += H + FLines.RowGap;
  }
  return -1;
}

// ---- Repaints -----------------------------------------------------------------------------

void TNxCustomGridControl::RefreshArea(TGridArea Area) {
  switch (Area) {
    case gaBody: InvalidateArea(BodyRect()); break;
    case gaFooter:
      if (FOptions.Contains(goFooter)) InvalidateArea(FooterRect());
      break;
    case gaHeader:
      if (FOptions.Contains(goHeader)) InvalidateArea(HeaderRect());
      break;
    case gaIndicator:
      if (FOptions.Contains(goIndicator)) InvalidateArea(IndicatorRect());
      break;
    case gaInputLine:
      if (FOptions.Contains(goInput)) InvalidateArea(InputLineRect());
      break;
    default: InvalidateArea(ClientRect()); break;
  }
}

void TNxCustomGridControl::RefreshCell(Integer ACol, Integer ARow) {
  if (!CellIsValid(ACol, ARow) || !HandleAllocated() || ARow < FTopRow || RowStartsBelowBody(ARow)) return;
  TRect R = GetCellRect(ACol, ARow);
  R.Right += FLines.BottomLine;
  R.Bottom += FLines.BottomLine;
  InvalidateArea(R);
}

void TNxCustomGridControl::RefreshColumn(TNxCustomColumn* Column, Integer Area) {
  if (IsUpdating() || !Column || !HandleAllocated()) return;
  TRect R;
  switch (Area) {
    case gaBody: R = BodyRect(); break;
    case gaFooter: R = FooterRect(); break;
    case gaHeader: R = HeaderRect(); break;
    case gaIndicator: R = IndicatorRect(); break;
    case gaInputLine: R = InputLineRect(); break;
    default: R = ClientRect(); break;
  }
  const Integer Left = Column->Position() < FFixedCols ? Column->Left() : Column->Left() - HorzScrollPos();
  R.Left = Left;
  R.Right = Left + Column->Width();
  InvalidateArea(R);
}

void TNxCustomGridControl::RefreshRow(Integer Row, bool BorderOnly) {
  if (!RowIsValid(Row) || Row < FTopRow || Row > FLastPaintedRow || !HandleAllocated()) return;
  const Integer T = RowTop(Row);
  const TRect R(0, T, BodyRect().Right, T + StackHeight(Row));
  InvalidateArea(R);
  if (BorderOnly) {
    RECT Inner = R;
    InflateRect(&Inner, -1, -1);
    ValidateRect(Handle(), &Inner);
  }
}

void TNxCustomGridControl::RefreshRows(Integer A, Integer B) {
  if (A > B) std::swap(A, B);
  // Only the part in view is repainted: rows above the top or below the
  // body are not walked to.
  if (B < FTopRow || !HandleAllocated()) return;
  const TRect Body = BodyRect();
  Integer Top, Bottom;
  if (A < FTopRow)
    Top = Body.Top;
  else if (RowStartsBelowBody(A))
    return;
  else
    Top = FGridStyle == gsSlides ? SlideTop(A) : RowTop(A);
  if (RowStartsBelowBody(B))
    Bottom = Body.Bottom;
  else if (FGridStyle == gsSlides)
    Bottom = SlideTop(B) + FSlideSize;
  else
    Bottom = RowTop(B) + StackHeight(B);
  InvalidateArea(TRect(0, Top, Body.Right, Bottom));
}

void TNxCustomGridControl::RefreshRowIndicator(Integer Row) {
  if (!RowIsValid(Row)) return;
  const Integer T = RowTop(Row);
  InvalidateArea(TRect(0, T - FLines.TopLine, IndicatorWidth, T + StackHeight(Row) + FLines.BottomLine));
}

void TNxCustomGridControl::RefreshRowBottomLine(Integer Row) {
  Integer Bottom;
  if (FGridStyle == gsSlides)
    Bottom = SlideTop(Row) + FLines.TopLine + FSlideSize;
  else
    Bottom = RowTop(Row) + StackHeight(Row);
  InvalidateArea(TRect(0, Bottom, ClientWidth(), Bottom + FLines.BottomLine));
}

void TNxCustomGridControl::RefreshSlide(Integer Row, bool FrameOnly) {
  // Slides out of view have nothing to repaint; asking where they lie
  // would walk every row above them.
  if (!HandleAllocated() || Row < FTopRow || RowStartsBelowBody(Row)) return;
  const TRect R = SlideRect(Row);
  InvalidateArea(R);
  if (FrameOnly) {
    RECT Inner = R;
    InflateRect(&Inner, -3, -4);
    ValidateRect(Handle(), &Inner);
  }
}

void TNxCustomGridControl::RefreshRowsFrom(Integer Row, Integer Count) {
  const TRect B = BodyRect();
  const Integer Top = FGridStyle == gsSlides ? SlideTop(Row) : RowTop(Row);
  Integer Bottom = Top;
  const Integer N = GetRowCount();
  for (Integer i = Row, k = 0; i < N && k < Count && Bottom < B.Bottom; ++i) {
    if (!GetRowVisible(i)) continue;
    Bottom += StackHeight(i) + FLines.BottomLine;
    ++k;
  }
  InvalidateArea(TRect(0, Top, B.Right, std::min(Bottom, B.Bottom)));
}

void TNxCustomGridControl::RefreshSelection() {
  if (FInputLineActive) {
    RefreshArea(gaInputLine);
    return;
  }
  if (FColumns->Count() == 0 || GetRowCount() == 0) return;
  if (!FOptions.Contains(goSelectFullRow)) {
    RefreshCell(FSelectedColumn, FSelectedRow);
    return;
  }
  const Integer Last = std::min(FTopRow + PageRowCount(false), GetRowCount() - 1);
  for (Integer i = FTopRow; i <= Last; ++i)
    if (GetSelected(i) || i == FSelectedRow) {
      if (FGridStyle == gsSlides)
        RefreshSlide(i);
      else
        InvalidateArea(RowRect(i));
    }
}

void TNxCustomGridControl::RefreshSelectedSlides() {
  const Integer Last = std::min(FTopRow + PageRowCount(false), GetRowCount() - 1);
  for (Integer i = FTopRow; i <= Last; ++i)
    if (GetSelected(i)) RefreshSlide(i, true);
}

void TNxCustomGridControl::ScrollColumnsAfterResize(TNxCustomColumn* Column, Integer Delta, bool HeaderOnly) {
  if (IsUpdating() || !HandleAllocated() || !Column) return;
  RefreshColumn(Column, 0);
  const Integer Right = Column->Left() - HorzScrollPos() + Column->Width();
  RECT R = TRect(Right, 0, ClientWidth(), HeaderOnly ? FHeaderSize : ClientHeight());
  ScrollWindowEx(Handle(), Delta, 0, &R, &R, nullptr, nullptr, SW_INVALIDATE);
}

void TNxCustomGridControl::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount > 0) return;
  RefreshArea(gaBody);
  RefreshArea(gaHeader);
  RefreshArea(gaFooter);
  RefreshArea(gaIndicator);
  UpdateVertScrollBar();
}

// ---- Row-level defaults -----------------------------------------------------------------

void TNxCustomGridControl::SetRowHeight(Integer Index, Integer Height) {
  if (OnChangeRowHeight) OnChangeRowHeight(this, Index, Height);
}

void TNxCustomGridControl::SetRowVisible(Integer Index, bool Value) {
  if (Value) {
    if (FFirstVisibleRow < 0 || Index < FFirstVisibleRow) FFirstVisibleRow = Index;
    if (Index > FLastVisibleRow) FLastVisibleRow = Index;
    return;
  }
  if (Index == FFirstVisibleRow) {
    const Integer Next = NextVisibleRow(Index - 1);
    FFirstVisibleRow = Next;
  }
  if (Index == FLastVisibleRow) FLastVisibleRow = PriorVisibleRow(Index + 1);
}

void TNxCustomGridControl::SetSelectedRow(Integer Value) {
  if (GetRowCount() == 0 || Value < -1 || Value >= GetRowCount()) return;
  ShowInputLine(false);
  SelectCell(FSelectedColumn, Value, TShiftState(), true, false);
}

void TNxCustomGridControl::SortColumn(TNxCustomColumn* Column, bool) {
  if (!Column || !Column->Options().Contains(coCanSort)) return;
  EndEditing();
  FSortedColumn = Column;
  if (OnSortColumn) OnSortColumn(this, Column->Index(), Column->SortKind() == skAscending);
}

void TNxCustomGridControl::ClearRows() {
  FTopRow = 0;
  FSelectedColumn = 0;
  FSelectedRow = -1;
  EndEditing();
}

void TNxCustomGridControl::DeselectAll() {
  const Integer N = GetRowCount();
  for (Integer i = 0; i < N; ++i)
    if (GetSelected(i)) SetSelected(i, false);
}

void TNxCustomGridControl::DeleteRow(Integer) { EndEditing(); }

void TNxCustomGridControl::InsertRow(Integer Index, Integer) {
  EndEditing();
  if (Index < FFirstVisibleRow) FFirstVisibleRow = Index;
  if (VertScrollBar()->Position() == 0) FTopRow = std::max(FFirstVisibleRow, 0);
}

void TNxCustomGridControl::MoveRow(Integer, Integer) {
  if (HandleAllocated()) Invalidate();
  EndEditing();
}

void TNxCustomGridControl::SlideBoundsChanged(TNxCustomColumn*) {
  if (HandleAllocated()) Invalidate();
}

// ---- Column notifications ---------------------------------------------------------------

void TNxCustomGridControl::ColumnsChanged(Integer Kind, Integer) {
  if (Kind == 1 || Kind == 2) EndEditing();
  UpdateHorzScrollBar();
}

void TNxCustomGridControl::ColumnChanged(TNxCustomColumn* Column, Integer Value, Integer Kind) {
  if (!HandleAllocated()) return;
  const bool Editing = FState.Contains(sfEditing) || FState.Contains(sfInputEditing);
  if (Editing && (Kind == 2 || Kind == 5 || Kind == 8 || Kind == 10)) PositionEditor();
  switch (Kind) {
    case ckInputValue: RefreshColumn(Column, gaInputLine); break;
    case ckMoved:
      if (OnColumnMove) OnColumnMove(this, Column->Index(), Value, Column->Position());
      Invalidate();
      break;
    case 3: RefreshColumnCells(Column->Index()); break;
    case ckSlideLayout:
      SlideBoundsChanged(Column);
      if (OnSlideChange) OnSlideChange(this, Column->Index());
      break;
    case ckSortedOn:
    case ckSortSettings:
      if (Column->Sorted()) {
        RefreshColumn(Column, gaHeader);
        SortColumn(Column, Column->SortKind() == skAscending);
      }
      break;
    case ckAppearance: RefreshColumn(Column, 0); break;
    case ckVisibility:
      UpdateHorzScrollBar();
      Invalidate();
      break;
    case ckSortedOff:
      RefreshColumn(Column, gaHeader);
      if (FAppearanceOptions.Contains(aoIndicateSortedColumn)) RefreshColumn(Column, gaBody);
      if (!Column->Sorted() && FSortedColumn == Column) FSortedColumn = nullptr;
      break;
    case ckWidth:
      if (!IsUpdating()) ScrollColumnsAfterResize(Column, Value, FGridStyle == gsSlides);
      if (OnColumnResize) OnColumnResize(this, Column->Index());
      UpdateHorzScrollBar();
      break;
    default: break;
  }
}

void TNxCustomGridControl::ColumnsLayoutChanged(Integer Kind) {
  if (Kind != 2) PositionEditor();
  if (HandleAllocated()) Invalidate();
}

void TNxCustomGridControl::ColumnChangeHandler(TObject*, TNxCustomColumn* Column, Integer Kind, Integer Value) {
  ColumnChanged(Column, Value, Kind);
}

void TNxCustomGridControl::DataNotifyHandler(TObject*, Integer Kind, Integer Index, Integer) {
  ColumnsChanged(Kind, Index);
  if (Index == -1 && Kind != 0) return;
  // An added column is reported with its new index.
  const Integer At = Kind == 0 ? FColumns->Count() - 1 : Index;
  if (At < 0) return;
  const TDataChange Change = Kind == 1 ? dcDeleteColumn : Kind == 3 ? dcInsertColumn : dcAddColumn;
  if (OnDataChange) OnDataChange(this, Change, At);
}

void TNxCustomGridControl::LayoutChangeHandler(TObject*, Integer Kind, Integer, Integer) {
  ColumnsLayoutChanged(Kind);
}

// ---- TNxColumnsGrid -----------------------------------------------------------------------

bool TNxCustomGridControl::GridLoading() const {
  return ComponentState().Contains(csReading) || ComponentState().Contains(csLoading);
}
bool TNxCustomGridControl::GridDestroying() const { return ComponentState().Contains(csDestroying); }
bool TNxCustomGridControl::GridDesigning() const { return ComponentState().Contains(csDesigning); }

Integer TNxCustomGridControl::GridUsableWidth() const {
  auto* Self = const_cast<TNxCustomGridControl*>(this);
  Integer W = Self->ClientWidth();
  if (FGridStyle == gsReport && FOptions.Contains(goIndicator)) W -= IndicatorWidth;
  return W;
}

Integer TNxCustomGridControl::GridBodyLeft() const { return FOptions.Contains(goIndicator) ? IndicatorWidth : 0; }

Integer TNxCustomGridControl::GridHorzScrollPos() const {
  return FGridStyle == gsSlides ? 0 : HorzScrollBar()->Position();
}

TFont* TNxCustomGridControl::GridFont() const { return Font(); }

TRect TNxCustomGridControl::GridFooterRect() const { return const_cast<TNxCustomGridControl*>(this)->FooterRect(); }
TRect TNxCustomGridControl::GridHeaderRect() const { return const_cast<TNxCustomGridControl*>(this)->HeaderRect(); }
TRect TNxCustomGridControl::GridInputLineRect() const {
  return const_cast<TNxCustomGridControl*>(this)->InputLineRect();
}

// ---- Sizing and scroll messages -------------------------------------------------------

void TNxCustomGridControl::WMSize(TMessage& Message) {
  const Integer CW = ClientWidth(), CH = ClientHeight();
  if (CH != FOldClientHeight) {
    if (FGridStyle == gsReport && FOptions.Contains(goFooter)) {
      const TRect F = FooterRect();
      InvalidateArea(TRect(0, F.Top - FLines.BottomLine - 1, CW, CH));
    } else if (FGridStyle == gsSlides) {
      InvalidateArea(TRect(0, std::min(FOldClientHeight, CH) - 1, CW, CH));
    }
    if (CH > FOldClientHeight) {
      // Bring rows above the top back while the space under the last row
      // holds a whole one.
      while (FTopRow > 0) {
        const Integer Prior = PriorVisibleRow(FTopRow);
        if (Prior < 0) break;
        const Integer N = GetRowCount();
        Integer Bottom = BodyRect().Top;
        for (Integer i = FTopRow; i < N; ++i)
          if (GetRowVisible(i)) Bottom += StackHeight(i) + FLines.RowGap;
        if (BodyRect().Bottom - Bottom < StackHeight(Prior) + FLines.RowGap) break;
        FTopRow = Prior;
        Invalidate();
      }
    }
    FOldClientHeight = CH;
    UpdateVertScrollBar();
  }
  if (CW != FOldClientWidth) {
    if (HorzScrollPos() == 0) {
      const Integer From = std::min(FOldClientWidth, CW) - (FGridStyle == gsSlides ? 3 : 0);
      InvalidateArea(TRect(std::max(From, 0), 0, CW, CH));
    } else {
      Invalidate();
    }
    FColumns->ApplySlideAnchors(FOldClientWidth, CW);
    FColumns->AutoSizeColumns(nullptr, false);
    FColumns->Recalculate();
    FOldClientWidth = CW;
    UpdateHorzScrollBar();
    if (!FCaption.empty() && GetVisibleRowCount() == 0) InvalidateArea(CaptionRect());
  }
  EndEditing();
  TNxScrollControl::WMSize(Message);
}

void TNxCustomGridControl::WMScroll(TMessage& Message) {
  if (Message.Msg == WM_VSCROLL) {
    if (FState.Contains(sfEditing)) EndEditing();
    UpdateVertScrollBar();
  } else if (Message.Msg == WM_HSCROLL) {
    EndEditing();
  }
  TNxScrollControl::WMScroll(Message);
}

// ---- TNxCustomGrid -------------------------------------------------------------------------

// ---- Selection ------------------------------------------------------------------------------

void TNxCustomGridControl::ClearMultiSelection() {
  BeginUpdate();
  DeselectAll();
  FState.Exclude(sfMultiSelection);
  FSelectedRow = -1;
  FSelectedColumn = 0;
  EndUpdate();
}

void TNxCustomGridControl::SelectAllRows() {
  if (!FOptions.Contains(goMultiSelect) || !FOptions.Contains(goSelectFullRow)) return;
  BeginUpdate();
  const Integer N = GetRowCount();
  for (Integer i = 0; i < N; ++i) SetSelected(i, true);
  FState.Include(sfMultiSelection);
  EndUpdate();
}

void TNxCustomGridControl::SelectCell(Integer ACol, Integer ARow, TShiftState Shift, bool ClearSelection,
                                      bool AutoEdit) {
  // A row outside the grid is refused before anything fires.
  if (ARow < -1 || ARow >= GetRowCount()) return;
  bool Accept = CanSelectCell(ACol, ARow);
  if (OnBeforeSelect) OnBeforeSelect(this, ACol, ARow, Accept);
  if (!Accept) return;
  const bool ShiftKey = Shift.Contains(ssShift), Ctrl = Shift.Contains(ssCtrl);
  if (FState.Contains(sfMultiSelection) && !ShiftKey && !Ctrl && ClearSelection) ClearMultiSelection();
  if (!FColumns->IsValidIndex(ACol) || !FColumns->Items(ACol)->Enabled()) return;
  const Integer OldCol = FSelectedColumn, OldRow = FSelectedRow;
  FSelectedColumn = ACol;
  FSelectedRow = ARow;
  const bool Changed = OldCol != ACol || OldRow != ARow;
  if (Changed) {
    if (CellIsValid(OldCol, OldRow) && OnDeselectCell) OnDeselectCell(this, OldCol, OldRow);
    if (FState.Contains(sfEditing)) EndEditing();
  }
  if (AutoScroll() && RowIsValid(ARow)) ScrollIntoView(ARow);
  if (FInputLineActive) {
    if (OldCol != ACol) {
      if (OnInputSelectCell) OnInputSelectCell(this, ACol);
      RefreshArea(gaInputLine);
    }
    return;
  }
  if (GetRowCount() == 0) return;
  auto RepaintRow = [this](Integer Row) {
    if (!RowIsValid(Row)) return;
    if (FGridStyle == gsSlides)
      RefreshSlide(Row);
    else
      InvalidateArea(RowRect(Row));
  };
  if (FOptions.Contains(goSelectFullRow) && FOptions.Contains(goMultiSelect) && (Ctrl || ShiftKey)) {
    FState.Include(sfMultiSelection);
    if (Ctrl && !ShiftKey) {
      FSelectionAnchor = ARow;
      if (RowIsValid(ARow)) SetSelected(ARow, !GetSelected(ARow));
      if (OldRow != ARow) RepaintRow(OldRow);
    } else {
      if (FSelectionAnchor < 0) FSelectionAnchor = ARow;
      const Integer Lo = std::min(FSelectionAnchor, ARow), Hi = std::max(FSelectionAnchor, ARow);
      if (!Ctrl) {
        const Integer N = GetRowCount();
        for (Integer i = 0; i < N; ++i)
          if ((i < Lo || i > Hi) && GetSelected(i)) SetSelected(i, false);
      }
      if (Lo >= 0) SelectRange(Lo, Hi, true);
      if (OldRow != ARow) {
        RepaintRow(OldRow);
        RepaintRow(ARow);
      }
    }
    if (OnSelectCell) OnSelectCell(this, ACol, ARow);
    return;
  }
  if (FOptions.Contains(goSelectFullRow)) {
    if (OldRow != ARow && !FState.Contains(sfMultiSelection) && RowIsValid(OldRow)) SetSelected(OldRow, false);
    if (OldRow == ARow && OldCol != ACol && FAppearanceOptions.Contains(aoIndicateSelectedCell)) {
      RefreshCell(ACol, ARow);
      RefreshCell(OldCol, OldRow);
    }
    if (RowIsValid(ARow)) SetSelected(ARow, true);
    FSelectionAnchor = ARow;
    if (!IsUpdating()) {
      RepaintRow(ARow);
      RepaintRow(OldRow);
    }
  } else if (Changed) {
    if (OldRow != ARow) {
      if (FGridStyle == gsSlides) {
        RepaintRow(OldRow);
        RepaintRow(ARow);
      } else {
        RefreshRowIndicator(OldRow);
        RefreshRowIndicator(ARow);
      }
    }
    RefreshCell(ACol, ARow);
    RefreshCell(OldCol, OldRow);
  }
  if (OnSelectCell) OnSelectCell(this, ACol, ARow);
  if (AutoEdit) EditCell(ACol, ARow, WideString());
}

void TNxCustomGridControl::SelectColumnInRow(Integer ACol) {
  if (FColumns->IsValidIndex(ACol)) SelectCell(ACol, FSelectedRow, TShiftState(), true, false);
}

void TNxCustomGridControl::SelectFirstRow(TShiftState Shift) {
  // An empty grid has no first row: nothing is selected.
  if (FFirstVisibleRow < 0) return;
  ShowInputLine(false);
  SelectCell(FSelectedColumn, FFirstVisibleRow, Shift, true, false);
  VertScrollBar()->First();
}

void TNxCustomGridControl::SelectLastRow(TShiftState Shift) {
  if (FLastVisibleRow < 0) return;
  ShowInputLine(false);
  SelectCell(FSelectedColumn, FLastVisibleRow, Shift, true, false);
  VertScrollBar()->Last();
}

void TNxCustomGridControl::StepSelection(bool Down, TShiftState Shift) {
  const Integer N = GetRowCount();
  auto AutoEdit = [this] {
    return FColumns->IsValidIndex(FSelectedColumn) && FColumns->Items(FSelectedColumn)->AutoEdit();
  };
  if (Down) {
    for (Integer i = FSelectedRow + 1; i < N; ++i)
      if (GetRowVisible(i) && CanSelectCell(FSelectedColumn, i)) {
        SelectCell(FSelectedColumn, i, Shift, true, AutoEdit());
        ScrollIntoView(i);
        return;
      }
    return;
  }
  if (FSelectedRow == FFirstVisibleRow && FOptions.Contains(goInput)) {
    ShowInputLine(true);
    return;
  }
  for (Integer i = std::min(FSelectedRow, N) - 1; i >= 0; --i)
    if (GetRowVisible(i) && CanSelectCell(FSelectedColumn, i)) {
      SelectCell(FSelectedColumn, i, Shift, true, AutoEdit());
      if (i < FTopRow) VertScrollBar()->MoveBy(-1);
      return;
    }
}

void TNxCustomGridControl::MoveSelectionDown(TShiftState Shift, bool LeaveAtEnd, bool WrapAtEnd) {
  if (GetRowCount() == 0) return;
  if (FInputLineActive) {
    ShowInputLine(false);
    StepSelection(true, Shift);
    return;
  }
  if (FSelectedRow < 0) return;
  if (FSelectedRow >= FLastVisibleRow) {
    if (LeaveAtEnd) FocusNextControl();
    if (WrapAtEnd) SelectFirstRow(TShiftState());
    return;
  }
  StepSelection(true, Shift);
}

void TNxCustomGridControl::MoveSelectionUp(TShiftState Shift) {
  if (FSelectedRow < 0) return;
  if (FSelectedRow == FFirstVisibleRow && FOptions.Contains(goInput) && FGridStyle == gsReport) {
    ShowInputLine(true);
    return;
  }
  if (FInputLineActive || GetRowCount() == 0) return;
  StepSelection(false, Shift);
}

void TNxCustomGridControl::MoveSelectionBy(Integer N) {
  Integer Row = FSelectedRow;
  if (Row < 0 || FFirstVisibleRow < 0) return;
  for (; N > 0 && Row < FLastVisibleRow; --N) {
    const Integer Next = NextVisibleRow(Row);
    if (Next < 0) break;
    Row = Next;
  }
  for (; N < 0 && Row > FFirstVisibleRow; ++N) {
    const Integer Prior = PriorVisibleRow(Row);
    if (Prior < 0) break;
    Row = Prior;
  }
  SetSelectedRow(Row);
}

void TNxCustomGridControl::SelectPriorColumn(TMoveSelectionKey Key) {
  if (!FColumns->IsValidIndex(FSelectedColumn)) return;
  TNxCustomColumn* C = FColumns->PriorVisibleColumn(FColumns->Items(FSelectedColumn));
  Integer ACol = C->Index();
  if (OnSelectionMove) OnSelectionMove(this, ACol, FSelectedRow, Key);
  if (!FColumns->IsValidIndex(ACol)) return;
  C = FColumns->Items(ACol);
  SelectCell(ACol, FSelectedRow, TShiftState(), true, C->AutoEdit());
  if (FGridStyle == gsReport) ScrollColumnIntoView(C);
}

void TNxCustomGridControl::SelectNextColumn(TMoveSelectionKey Key) {
  if (!FColumns->IsValidIndex(FSelectedColumn)) return;
  TNxCustomColumn* C = FColumns->NextVisibleColumn(FColumns->Items(FSelectedColumn));
  Integer ACol = C->Index();
  if (OnSelectionMove) OnSelectionMove(this, ACol, FSelectedRow, Key);
  if (!FColumns->IsValidIndex(ACol)) return;
  C = FColumns->Items(ACol);
  SelectCell(ACol, FSelectedRow, TShiftState(), true, C->AutoEdit());
  if (FGridStyle == gsReport) ScrollColumnIntoView(C);
}

void TNxCustomGridControl::SelectFirstColumn() {
  if (TNxCustomColumn* C = FColumns->FirstVisibleColumn()) {
    SelectColumnInRow(C->Index());
    if (FGridStyle == gsReport) ScrollColumnIntoView(C);
  }
}

void TNxCustomGridControl::SelectLastColumn() {
  if (TNxCustomColumn* C = FColumns->LastVisibleColumn()) {
    SelectColumnInRow(C->Index());
    if (FGridStyle == gsReport) ScrollColumnIntoView(C);
  }
}

void TNxCustomGridControl::TabForward() {
  TNxCustomColumn* Last = FColumns->LastVisibleColumn();
  if (!Last) return;
  if (FColumns->IsValidIndex(FSelectedColumn) && FColumns->Items(FSelectedColumn) != Last) {
    SelectNextColumn(mkTab);
    return;
  }
  if (FInputLineActive) {
    if (FTabLeaveControl) FocusNextControl();
    return;
  }
  MoveSelectionDown(TShiftState(), FTabLeaveControl, true);
  Integer ACol = FColumns->FirstVisibleColumn()->Index();
  if (OnSelectionMove) OnSelectionMove(this, ACol, FSelectedRow, mkTab);
  SelectColumnInRow(ACol);
}

void TNxCustomGridControl::TabBackward() {
  TNxCustomColumn* First = FColumns->FirstVisibleColumn();
  if (!First) return;
  if (FColumns->IsValidIndex(FSelectedColumn) && FColumns->Items(FSelectedColumn) != First) {
    SelectPriorColumn(mkTab);
    return;
  }
  if (FInputLineActive || FSelectedRow <= FFirstVisibleRow) {
    if (FTabLeaveControl) FocusPreviousControl();
    return;
  }
  MoveSelectionUp(TShiftState());
  Integer ACol = FColumns->LastVisibleColumn()->Index();
  if (OnSelectionMove) OnSelectionMove(this, ACol, FSelectedRow, mkTab);
  SelectColumnInRow(ACol);
}

bool TNxCustomGridControl::HandleNavigationKey(Word Key, TShiftState Shift) {
  if (FOptions.Contains(goDisableKeys)) return false;
  // An open editor keeps the keys that move its caret.
  if ((FState.Contains(sfEditing) || FState.Contains(sfInputEditing)) &&
      (Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN))
    return false;
  // Without a row nothing can be selected by a key.
  const bool Empty = FFirstVisibleRow < 0;
  switch (Key) {
    case VK_PRIOR:
      if (Empty) return true;
      if (VertScrollBar()->Position() == 0)
        SelectFirstRow(TShiftState());
      else if (FSelectedRow < FTopRow)
        SetSelectedRow(FTopRow);
      else {
        MoveSelectionBy(-PageRowCount(false));
        ScrollIntoView(FSelectedRow);
      }
      return true;
    case VK_NEXT: {
      if (Empty) return true;
      const Integer P = PageRowCount(false);
      TNxScrollBar* Bar = VertScrollBar();
      if (Bar->Position() + Bar->PageSize() > Bar->Max())
        SelectLastRow(TShiftState());
      else if (FSelectedRow < FTopRow + P - 1)
        SetSelectedRow(RowBelowTop(P));
      else if (FSelectedRow + P > GetRowCount())
        SelectLastRow(TShiftState());
      else {
        MoveSelectionBy(P);
        ScrollIntoView(FSelectedRow);
      }
      return true;
    }
    case VK_END:
      ExtendSelectionRange(FSelectedRow, GetRowCount() - 1);
      if (FHomeEndBehaviour == hebTopBottom) {
        if (FColumns->IsValidIndex(FSelectedColumn)) SelectLastRow(Shift);
      } else {
        SelectLastColumn();
      }
      return true;
    case VK_HOME:
      ExtendSelectionRange(0, FSelectedRow);
      if (FHomeEndBehaviour == hebTopBottom) {
        if (FColumns->IsValidIndex(FSelectedColumn)) SelectFirstRow(Shift);
      } else {
        SelectFirstColumn();
      }
      return true;
    case VK_LEFT:
    case VK_RIGHT:
      if (FInputLineActive || !FOptions.Contains(goSelectFullRow) ||
          FAppearanceOptions.Contains(aoIndicateSelectedCell)) {
        if (Key == VK_LEFT)
          SelectPriorColumn(mkArrows);
        else
          SelectNextColumn(mkArrows);
      } else {
        HorzScrollBar()->MoveBy(Key == VK_LEFT ? -HorzScrollBar()->SmallStep() : HorzScrollBar()->SmallStep());
      }
      return true;
    case VK_TAB:
      if (Shift.Contains(ssShift))
        TabBackward();
      else
        TabForward();
      return true;
    case VK_UP: MoveSelectionUp(Shift); return true;
    case VK_DOWN: MoveSelectionDown(Shift, false, false); return true;
    case 'A':
      if (Shift.Contains(ssCtrl)) {
        SelectAllRows();
        return true;
      }
      return false;
    default: return false;
  }
}

void TNxCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
  TNxCustomGridControl::KeyDown(Key, Shift);
  if (Key != 0) HandleNavigationKey(Key, Shift);
}

// ---- Incremental search ----------------------------------------------------------------------

TNxCustomGrid::TNxCustomGrid(TComponent* AOwner) : TNxCustomGridControl(AOwner) {
  FSearchTimer = new TTimer(this);
  FSearchTimer->SetEnabled(false);
  FSearchTimer->SetInterval(700);
  FSearchTimer->SetOnTimer([this](TObject* Sender) { SearchTimerTick(Sender); });
  CreateMouseParts();
  InitSurface();
}

void TNxCustomGrid::SearchTimerTick(TObject*) {
  FSearchText.clear();
  FSearchTimer->SetEnabled(false);
}

bool TNxCustomGrid::IncrementalSearch(Integer ACol, const WideString& Text, bool FromStart) {
  const Integer N = GetRowCount();
  if (N == 0 || !Columns()->IsValidIndex(ACol)) return false;
  auto Matches = [&](Integer Row) {
    if (!GetRowVisible(Row)) return false;
    const WideString Cell = GetCells(ACol, Row);
    if (Cell.size() < Text.size()) return false;
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, Cell.c_str(), static_cast<int>(Text.size()),
                          Text.c_str(), static_cast<int>(Text.size())) == CSTR_EQUAL;
  };
  Integer Found = -1;
  if (FromStart) {
    for (Integer i = 0; i < N && Found < 0; ++i)
      if (Matches(i)) Found = i;
  } else {
    for (Integer i = std::max(FSelectedRow + 1, 0); i < N && Found < 0; ++i)
      if (Matches(i)) Found = i;
    for (Integer i = 0; i <= std::min(FSelectedRow, N - 1) && Found < 0; ++i)
      if (Matches(i)) Found = i;
  }
  if (Found < 0) return false;
  SetSelectedRow(Found);
  if (!IsUpdating()) ScrollIntoView(Found);
  return true;
}
