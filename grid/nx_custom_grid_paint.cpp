// How the grid paints itself: the order of painting, the rows and cells of
// the report view, the slides view, cell colours, grid lines, the focus
// frame, the parts of every column drawn by the header painter, the
// caption over an empty grid and the non-client border.
#include <algorithm>

#include "grid/nx_custom_grid_control.h"
#include "grid/nx_grid.h"
#include "grid/nx_displays.h"
#include "grid/nx_shared_common.h"
#include "grid/nx_style_display.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"

namespace {

// Mixes with black at weight 10 of 256: each channel 245 x c / 256.
TColor Darken(TColor Color) { return TGraphicsProvider::BlendColor(Color, clBlack, 245); }

bool Meets(const TRect& A, const TRect& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

}  // namespace

// ---- Painters ----------------------------------------------------------------------------

void TNxCustomGridControl::CreatePainters() {
  FPainters[hsAuto] = std::make_unique<TDefaultStyleDisplay>(this);
  FPainters[hsFlatBorders] = std::make_unique<TFlatStyleDisplay>(this);
  FPainters[hsOffice2007] = std::make_unique<TOffice2007StyleDisplay>(this);
  FPainters[hsOffice2010] = std::make_unique<TOffice2010StyleDisplay>(this);
  FPainters[hsOldStyle] = std::make_unique<TOldStyleDisplay>(this);
  FPainters[hsOutlook] = std::make_unique<TOutlookStyleDisplay>(this);
  FPainters[hsVista] = std::make_unique<TVistaStyleDisplay>(this);
  for (auto& P : FPainters) {
    P->Canvas = Canvas();
    P->CustomDrawHeader = [this](TObject*, Integer Index, const TRect& R) { DoCustomDrawHeader(Index, R); };
    P->CustomDrawFooter = [this](TObject*, Integer Index, const TRect& R) { DoCustomDrawFooter(Index, R); };
  }
  FPainter = FPainters[hsAuto].get();
}

TStyleDisplay* TNxCustomGridControl::ReadyPainter() {
  FPainter->Themed = FEnableVisualStyles && IsThemed();
  FPainter->Canvas = Canvas();
  return FPainter;
}

void TNxCustomGridControl::SelectHeaderPainter() {
  FPainter = FPainters[FHeaderStyle].get();
  FPainter->Canvas = Canvas();
  if (!HandleAllocated()) return;
  Invalidate();
  DrawBorder();
}

void TNxCustomGridControl::DoCustomDrawHeader(Integer Index, const TRect& HeaderRect) {
  if (OnCustomDrawHeader) OnCustomDrawHeader(this, Index, HeaderRect);
}

void TNxCustomGridControl::DoCustomDrawFooter(Integer Index, const TRect& FooterRect) {
  if (OnCustomDrawFooter) OnCustomDrawFooter(this, Index, FooterRect);
}

// ---- Colours and state ------------------------------------------------------------------

bool TNxCustomGridControl::GridFocused() {
  if (!HandleAllocated()) return false;
  const HWND F = GetFocus();
  if (!F) return false;
  if (F == Handle()) return true;
  return FInplaceEditor && FInplaceEditor->HandleAllocated() && FInplaceEditor->Handle() == F;
}

bool TNxCustomGridControl::IsCellHighlighted(Integer ACol, Integer ARow) {
  if (FGridStyle == gsSlides && !FAppearanceOptions.Contains(aoHighlightSlideCells)) return false;
  if (FInputLineActive) return false;
  if (!FColumns->IsValidIndex(ACol) || FColumns->Items(ACol)->Options().Contains(coDontHighlight)) return false;
  if (FAppearanceOptions.Contains(aoHideSelection) && !GridFocused()) return false;
  const bool Current = ACol == FSelectedColumn && ARow == FSelectedRow;
  const bool Edited = FState.Contains(sfEditing) && ACol == FEditCol && ARow == FEditRow;
  if (FOptions.Contains(goSelectFullRow)) {
    if (!RowIsValid(ARow) || !GetSelected(ARow)) return false;
    if (Current && FAppearanceOptions.Contains(aoIndicateSelectedCell)) return false;
    return !Edited;
  }
  return Current && !Edited;
}

TColor TNxCustomGridControl::GetCellBackColor(Integer ACol, Integer ARow) {
  TColor Result = GetCellColor(ACol, ARow);
  if (FAppearanceOptions.Contains(aoIndicateSortedColumn) && FColumns->Items(ACol)->Sorted()) Result = Darken(Result);
  if (IsCellHighlighted(ACol, ARow)) {
    if (!GridFocused())
      Result = FInactiveSelectionColor;
    else if (FAppearanceOptions.Contains(aoAlphaBlendedSelection))
      Result = TGraphicsProvider::MixColors(Result, clHighlight, 0.25);
    else
      Result = FSelectionColor;
  }
  return Result;
}

TColor TNxCustomGridControl::GetCellTextColor(Integer ACol, Integer ARow) {
  if (IsCellHighlighted(ACol, ARow) && GridFocused()) return FHighlightedTextColor;
  return FColumns->Items(ACol)->Font()->Color();
}

TCellState TNxCustomGridControl::ComputeCellState(Integer ACol, Integer ARow) {
  TNxCustomColumn* Column = FColumns->Items(ACol);
  Canvas()->SetFont(Column->Font());
  TColor CellColor = GetCellBackColor(ACol, ARow);
  TColor GridColor = FGridLinesColor;
  TCellState State;
  if (IsCellHighlighted(ACol, ARow)) {
    State.Include(csSelected);
    if (FAppearanceOptions.Contains(aoBoldTextSelection)) State.Include(csBoldTextSelection);
  }
  if (GridFocused() && !FAppearanceOptions.Contains(aoHideFocus)) State.Include(csFocused);
  if (OnCellColoring) OnCellColoring(this, ACol, ARow, CellColor, GridColor, State);
  return State;
}

bool TNxCustomGridControl::PrepareCellDisplay(Integer ACol, Integer ARow, TCellState State) {
  TFont* F = Canvas()->Font();
  F->Assign(FColumns->Items(ACol)->Font());
  F->SetColor(Enabled() ? GetCellTextColor(ACol, ARow) : clGrayText);
  if (State.Contains(csBoldTextSelection)) F->SetStyle(F->Style() + fsBold);
  return false;
}

// ---- Clipping and filling ---------------------------------------------------------------

void TNxCustomGridControl::SetCellClip(const TRect& Rect) {
  TRect R(Rect.Left - FLines.LeftLine, Rect.Top - FLines.TopLine, Rect.Right + FLines.RightLine,
          Rect.Bottom + FLines.BottomLine);
  R.Bottom = std::min(R.Bottom, BodyRect().Bottom);
  ClipTo(R);
}

void TNxCustomGridControl::ClipTo(const TRect& Rect) {
  TRect R = Rect;
  if (FPainting) {
    R.Left = std::max(R.Left, FPaintBox.Left);
    R.Top = std::max(R.Top, FPaintBox.Top);
    R.Right = std::max(R.Left, std::min(R.Right, FPaintBox.Right));
    R.Bottom = std::max(R.Top, std::min(R.Bottom, FPaintBox.Bottom));
  }
  NxSharedCommon::SetClipRect(Canvas(), R);
}

void TNxCustomGridControl::ResetClip() { ClipTo(ClientRect()); }

TRect TNxCustomGridControl::CanvasClipBox() {
  RECT R{};
  if (GetClipBox(Canvas()->Handle(), &R) == ERROR) return ClientRect();
  return R;
}

void TNxCustomGridControl::FillCell(const TRect& Rect, TColor Color) {
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->Brush()->SetColor(Color);
  Canvas()->FillRect(Rect);
}

TColumnDisplay* TNxCustomGridControl::LoadDisplay(TNxCustomColumn* Column, Integer ARow, const TRect& Rect) {
  auto* D = dynamic_cast<TColumnDisplay*>(Column->Display());
  if (!D) return nullptr;
  D->Handle = Handle();
  D->Canvas = Canvas();
  D->CellRect = Rect;
  D->RowTag = GetRowTag(ARow);
  D->HighlightedTextColor = FHighlightedTextColor;
  D->Row = ARow;
  return D;
}

// ---- Paint --------------------------------------------------------------------------------

void TNxCustomGridControl::Paint() {
  TNxScrollControl::Paint();
  TCanvas* C = Canvas();
  FPaintBox = CanvasClipBox();
  FPainting = true;
  TScopeExit EndPainting([this] { FPainting = false; });
  const Integer CW = ClientWidth(), CH = ClientHeight();
  const bool Styles = IsThemed();
  const TRect B = BodyRect();
  if (FGridStyle == gsReport) {
    SetHorzScrollRect(TRect(B.Left + FColumns->FixedWidth(), 0, CW, CH));
    SetVertScrollRect(TRect(0, B.Top, CW, B.Bottom));
    DrawReportView();
    if (FColumns->TotalWidth() - HorzScrollPos() < CW) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(Color());
      const Integer Right = BodyRect().Right;
      if (Styles && FHeaderStyle == hsAuto) {
        ReadyPainter()->DrawEmptyHeader(TRect(Right, 0, CW, HeaderRect().Bottom));
        C->Brush()->SetColor(Color());
        C->FillRect(TRect(Right, InputLineRect().Top, CW, CH));
      } else {
        C->FillRect(TRect(Right, 0, CW, CH));
      }
    }
  } else {
    if (FOptions.Contains(goHeader) && Styles && FHeaderStyle == hsAuto) {
      const Integer L = FOptions.Contains(goIndicator) ? IndicatorWidth : 0;
      ReadyPainter()->DrawEmptyHeader(TRect(L + FColumns->TotalWidth(), 0, CW, FHeaderSize));
    }
    SetHorzScrollRect(ClientRect());
    SetVertScrollRect(TRect(0, B.Top, CW, CH));
    DrawSlidesView();
  }
  if (GetVisibleRowCount() == 0) {
    RECT R = CaptionRect();
    C->SetFont(Font());
    if (!Enabled()) C->Font()->SetColor(clGrayText);
    C->Brush()->SetStyle(bsClear);
    const int OldMode = SetBkMode(C->Handle(), TRANSPARENT);
    DrawTextW(C->Handle(), FCaption.c_str(), static_cast<int>(FCaption.size()), &R,
              DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetBkMode(C->Handle(), OldMode);
    C->Brush()->SetStyle(bsSolid);
  }
  if (OnPostDraw) OnPostDraw(this);
}

void TNxCustomGridControl::AfterScroll(TScrollBarKind Kind) {
  TNxScrollControl::AfterScroll(Kind);
  if (Kind != sbHorizontal || FGridStyle != gsReport || !FOptions.Contains(goSelectFullRow)) return;
  if (!RowIsValid(FSelectedRow) || FSelectedRow < FTopRow || RowStartsBelowBody(FSelectedRow)) return;
  InvalidateArea(RowRect(FSelectedRow));
}

void TNxCustomGridControl::DrawReportView() {
  DrawReportRows();
  DrawColumnParts();
}

void TNxCustomGridControl::DrawSlidesView() {
  DrawSlidesHeader();
  DrawSlides();
}

// ---- The report view ---------------------------------------------------------------------

void TNxCustomGridControl::DrawReportRows() {
  const TRect B = BodyRect();
  const Integer CW = ClientWidth();
  const Integer N = GetRowCount();
  const Integer AreaLeft = ScrollAreaRect().Left;
  const Integer Pos = HorzScrollPos();
  const bool Indicator = FOptions.Contains(goIndicator);
  const bool Partial = HidePartialRows();
  Integer Y = B.Top + FLines.TopLine;
  Integer Row = FTopRow;
  for (; Y < B.Bottom; ++Row) {
    const bool Real = Row < N;
    if (Real && !GetRowVisible(Row)) continue;
    const Integer H = GetRowHeight(Row);
    const bool Empty = !Real || (Partial && Y + H > B.Bottom);
    for (Integer p = 0; p < FColumns->Count(); ++p) {
      TNxCustomColumn* Column = FColumns->ByPosition(p);
      if (!Column->Visible()) continue;
      const bool Fixed = p < FFixedCols;
      const Integer Left = Fixed ? Column->Left() : Column->Left() - Pos;
      const Integer Right = Left + Column->Width();
      if (Left > CW || Right < 0 || (!Fixed && Right < AreaLeft)) continue;
      const TRect R(Left, Y, Right, Y + H);
      if (Empty)
        DrawEmptyCell(Column->Index(), Row, R);
      else
        DrawCell(Column->Index(), Row, R);
    }
    if (Indicator) {
      if (Real)
        DrawIndicatorCell(Row, Row == FSelectedRow && !FInputLineActive,
                          !FInputLineActive && (GetSelected(Row) || Row == FSelectedRow));
      else
        DrawIndicatorCell(Row, false, false);
    }
    if (!Real && H + FLines.RowGap <= 0) break;
    Y += H + FLines.RowGap;
  }
  FLastPaintedRow = Row;
  if (FOptions.Contains(goSelectFullRow)) DrawFocusFrame();
}

void TNxCustomGridControl::DrawCell(Integer ACol, Integer ARow, const TRect& CellRect) {
  TNxCustomColumn* Column = FColumns->Items(ACol);
  if (!Column->Visible() || !Meets(CellRect, CanvasClipBox())) return;
  TCanvas* C = Canvas();
  // 1. Colours, state and the coloring event.
  C->SetFont(Column->Font());
  TColor CellColor = GetCellBackColor(ACol, ARow);
  const bool Highlighted = IsCellHighlighted(ACol, ARow);
  TCellState State;
  if (Highlighted) {
    State.Include(csSelected);
    if (FAppearanceOptions.Contains(aoBoldTextSelection)) State.Include(csBoldTextSelection);
  }
  if (GridFocused() && !FAppearanceOptions.Contains(aoHideFocus)) State.Include(csFocused);
  TColor GridColor = FGridLinesColor;
  if (OnCellColoring) OnCellColoring(this, ACol, ARow, CellColor, GridColor, State);
  // 2. Sorted styles.
  if (Column->Sorted() && !Highlighted) {
    if (FSortedStyle == soDarker)
      CellColor = Darken(CellColor);
    else if (FSortedStyle == soWhite)
      CellColor = static_cast<TColor>(0xFFFFFF);
  }
  // 3. Clip; 4. grid lines.
  TRect R = CellRect;
  TRect ClipR = R;
  if (Column->Position() >= FFixedCols) ClipR.Left = std::max(ClipR.Left, ScrollAreaRect().Left);
  SetCellClip(ClipR);
  if (FOptions.Contains(goGrid) && FGridStyle == gsReport) DrawCellGridLines(ACol, ARow, GridColor, R);
  R.Left += FLines.LeftLine;
  R.Right -= FLines.RightLine;
  // 5. The background event.
  bool DefaultDrawing =
      !FAppearanceOptions.Contains(aoDontFillCells) && Column->DrawingOptions() != doCustomOnly;
  if (OnDrawCellBackground) OnDrawCellBackground(this, ACol, ARow, R, State, DefaultDrawing);
  // 6. The display element.
  TColumnDisplay* D = LoadDisplay(Column, ARow, R);
  if (D) PrepareTreeInfo(ACol, ARow, D);
  // 7. Painting never covers an open editor.
  if (FState.Contains(sfEditing) && ACol == FEditCol && ARow == FEditRow) {
    TRect E = R;
    Column->AdjustEditorRect(GetRowLevel(ARow), E);
    E = TRect(E.Left + 1, E.Top + 1, E.Right - 2, E.Bottom - 1);
    ExcludeClipRect(C->Handle(), E.Left, E.Top, E.Right, E.Bottom);
  }
  // 8. Fill; 9. current-cell flag and padding.
  if (DefaultDrawing) FillCell(R, CellColor);
  if (D) {
    D->SelectedCell = ACol == FSelectedColumn && ARow == FSelectedRow;
    D->CellRect = TRect(R.Left + Column->Padding(), R.Top, R.Right - Column->Padding(), R.Bottom);
  }
  // 10. The value; 11. the hint mark.
  const TDrawingOptions Drawing = Column->DrawingOptions();
  if (D && (Drawing == doNormal || Drawing == doCustom) && !IsCellHidden(ACol, ARow) &&
      PrepareCellDisplay(ACol, ARow, State))
    D->Paint();
  if (D && FAppearanceOptions.Contains(aoHintMarks)) {
    WideString Hint;
    GetCellHint(ACol, ARow, Hint);
    if (!Hint.empty()) D->DrawHintMark();
  }
  // 12. Custom drawing; 13. the focus of a single cell.
  if (Drawing != doNormal && OnCustomDrawCell) OnCustomDrawCell(this, ACol, ARow, R, State);
  if (!FOptions.Contains(goSelectFullRow) && ACol == FSelectedColumn && ARow == FSelectedRow) DrawFocusFrame();
  // 14.
  ResetClip();
}

void TNxCustomGridControl::DrawEmptyCell(Integer ACol, Integer ARow, const TRect& Rect) {
  TNxCustomColumn* Column = FColumns->Items(ACol);
  TColor CellColor = Color();
  if (FAppearanceOptions.Contains(aoIndicateSortedColumn) && Column->Sorted()) CellColor = Darken(CellColor);
  TColor GridColor = FGridLinesStyle == lsActiveRows || FGridLinesStyle == lsActiveHorzOnly ? CellColor
                                                                                            : FGridLinesColor;
  const TCellState State{csEmpty};
  TRect ClipR = Rect;
  if (Column->Position() >= FFixedCols) ClipR.Left = std::max(ClipR.Left, ScrollAreaRect().Left);
  SetCellClip(ClipR);
  if (OnCellColoring) OnCellColoring(this, ACol, ARow, CellColor, GridColor, State);
  if (FOptions.Contains(goGrid)) DrawCellGridLines(ACol, ARow, GridColor, Rect);
  const TRect R(Rect.Left + FLines.LeftLine, Rect.Top, Rect.Right - FLines.RightLine, Rect.Bottom);
  bool DefaultDrawing = true;
  if (OnDrawCellBackground) OnDrawCellBackground(this, ACol, ARow, R, State, DefaultDrawing);
  if (DefaultDrawing) FillCell(R, CellColor);
  ResetClip();
}

void TNxCustomGridControl::DrawCellGridLines(Integer ACol, Integer ARow, TColor GridColor, const TRect& Rect) {
  TCanvas* C = Canvas();
  TPen* Pen = C->Pen();
  Pen->SetMode(pmCopy);
  Pen->SetStyle(psSolid);
  Pen->SetWidth(1);
  const Integer L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom;
  const bool Framed = FGridLinesStyle == lsFramed;
  const bool RealRow = RowIsValid(ARow);
  auto Line = [&](Integer X1, Integer Y1, Integer X2, Integer Y2, TColor Color) {
    Pen->SetColor(Color);
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
  };
  if (FLines.BottomLine > 0)
    Line(L, B, R + 1, B, Framed && RealRow && ARow == GetRowCount() - 1 ? clBlack : GridColor);
  if (FLines.TopLine > 0) Line(L, T - 1, R + 1, T - 1, clBtnHighlight);
  if (FLines.LeftLine > 0) Line(L, T - 1, L, B + 1, clBtnHighlight);
  if (FLines.RightLine > 0) {
    TNxCustomColumn* Column = FColumns->Items(ACol);
    const bool LastOfMany = Column->IsLastVisible() && !Column->IsOnlyVisible();
    Line(R - 1, T - 1, R - 1, B + 1, Framed && LastOfMany && RealRow ? clBlack : GridColor);
  }
}

void TNxCustomGridControl::DrawFocusFrame() {
  if (!FColumns->IsValidIndex(FSelectedColumn) || !RowIsValid(FSelectedRow) || FSelectedRow < FTopRow) return;
  if (FInputLineActive || GetRowCount() == 0 || !GridFocused() || FAppearanceOptions.Contains(aoHideFocus)) return;
  const TRect B = BodyRect();
  TRect R;
  TRect Clip = B;
  if (FOptions.Contains(goSelectFullRow)) {
    if (FGridStyle == gsSlides) {
      R = SlideRect(FSelectedRow);
    } else {
      const Integer Left = B.Left - HorzScrollPos();
      const Integer Top = RowTop(FSelectedRow);
      R = TRect(Left - FLines.LeftLine, Top, Left + FColumns->TotalWidth() - FLines.RightLine,
                Top + GetRowHeight(FSelectedRow));
    }
    R.Left = std::max(R.Left, B.Left);
  } else {
    R = GetCellRect(FSelectedColumn, FSelectedRow);
    R.Left += FLines.LeftLine;
    R.Right -= FLines.RightLine;
    if (FColumns->Items(FSelectedColumn)->Position() >= FFixedCols)
      Clip.Left = std::max(Clip.Left, ScrollAreaRect().Left);
  }
  if (!Meets(R, B)) return;
  ClipTo(Clip);
  TGraphicsProvider::DrawFocusFrame(Canvas(), R, FAppearanceOptions.Contains(aoAlphaBlendedSelection));
  ResetClip();
}

void TNxCustomGridControl::DrawIndicatorCell(Integer Index, bool Current, bool Highlighted) {
  const Integer Top = RowTop(Index);
  const Integer H = Index < GetRowCount() ? GetRowHeight(Index) : FRowSize;
  const TRect R(0, Top - FLines.TopLine, IndicatorWidth, Top + H + FLines.BottomLine);
  TStyleDisplay* P = ReadyPainter();
  switch (FIndicatorDrawingOptions) {
    case doNormal:
      P->DrawIndicatorBackground(R, Index, Current, Highlighted);
      P->DrawIndicatorGlyph(R, Current, Highlighted);
      break;
    case doBackgroundOnly: P->DrawIndicatorBackground(R, Index, Current, Highlighted); break;
    case doCustom:
      P->DrawIndicatorGlyph(R, Current, Highlighted);
      if (OnCustomDrawIndicator) OnCustomDrawIndicator(this, Index, R, Current, Highlighted);
      break;
    case doCustomOnly:
      if (OnCustomDrawIndicator) OnCustomDrawIndicator(this, Index, R, Current, Highlighted);
      break;
  }
}

void TNxCustomGridControl::DrawColumnParts() {
  TCanvas* C = Canvas();
  const Integer CW = ClientWidth();
  const Integer Pos = HorzScrollPos();
  const TRect Area = ScrollAreaRect();
  const bool Grid = FOptions.Contains(goGrid);
  const bool Focused = GridFocused();
  for (Integer p = 0; p < FColumns->Count(); ++p) {
    TNxCustomColumn* Column = FColumns->ByPosition(p);
    const bool Fixed = p < FFixedCols;
    const Integer Left = Fixed ? Column->Left() : Column->Left() - Pos;
    if (Left > CW) break;
    if (!Column->Visible() || Column->Left() < 0 || (!Fixed && Left + Column->Width() < Area.Left)) continue;
    if (!Fixed) ClipTo(Area);
    TStyleDisplay* P = ReadyPainter();
    C->SetFont(Font());
    TRect R;
    if (FOptions.Contains(goHeader)) {
      Column->GetPartRect(1, R);
      P->DrawHeader(Column, R);
    }
    if (FOptions.Contains(goInput)) {
      Column->GetPartRect(4, R);
      P->DrawInputCell(Column, R, Grid, FInputLineActive, Focused);
    }
    if (FOptions.Contains(goFooter)) {
      Column->GetPartRect(0, R);
      P->DrawFooter(Column, R, Grid);
    }
    ResetClip();
  }
  TStyleDisplay* P = ReadyPainter();
  const Integer ColumnsLeft = (FOptions.Contains(goIndicator) ? IndicatorWidth : 0) - Pos;
  if (FOptions.Contains(goInput)) {
    const TRect I = InputLineRect();
    P->DrawBand(TRect(ColumnsLeft, I.Bottom - 6, I.Right, I.Bottom));
  }
  if (FOptions.Contains(goFooter)) {
    const TRect F = FooterRect();
    P->DrawBand(TRect(ColumnsLeft, F.Top, F.Right, F.Top + 4));
  }
  if (FOptions.Contains(goIndicator)) {
    if (FOptions.Contains(goInput)) {
      const TRect I = InputLineRect();
      P->DrawIndicatorCorner(TRect(0, I.Top, IndicatorWidth, I.Bottom), 0);
    }
    if (FOptions.Contains(goFooter)) {
      const TRect F = FooterRect();
      P->DrawIndicatorCorner(TRect(0, F.Top, IndicatorWidth, F.Bottom), 1);
    }
    if (FOptions.Contains(goHeader)) P->DrawIndicatorCorner(TRect(0, 0, IndicatorWidth, FHeaderSize), 0);
  }
}

// ---- The slides view ------------------------------------------------------------------------

void TNxCustomGridControl::DrawSlidesHeader() {
  if (!FOptions.Contains(goHeader)) return;
  TCanvas* C = Canvas();
  const Integer CW = ClientWidth();
  Integer X = BodyRect().Left - HorzScrollPos();
  TStyleDisplay* P = ReadyPainter();
  C->SetFont(Font());
  for (Integer p = 0; p < FColumns->Count() && X <= CW; ++p) {
    TNxCustomColumn* Column = FColumns->ByPosition(p);
    if (!Column->Visible()) continue;
    X += Column->Width();
    if (X >= 0) {
      TRect R;
      Column->GetPartRect(1, R);
      P->DrawHeader(Column, R);
    }
  }
  if (X < CW) FillCell(TRect(X, 0, CW, FHeaderSize), Color());
  if (FOptions.Contains(goIndicator)) P->DrawIndicatorCorner(TRect(0, 0, IndicatorWidth, FHeaderSize), 0);
}

void TNxCustomGridControl::DrawSlides() {
  TCanvas* C = Canvas();
  const TRect B = BodyRect();
  const Integer CW = ClientWidth(), CH = ClientHeight();
  const Integer N = GetRowCount();
  const bool Focused = GridFocused();
  Integer Y = B.Top;
  for (Integer Row = FTopRow; Row < N && Y < CH; ++Row) {
    if (!GetRowVisible(Row)) continue;
    Y += FLines.TopLine;
    const TRect S(0, Y, CW, Y + FSlideSize + FLines.BottomLine);
    if (FAppearanceOptions.Contains(ao3DGridLines)) FillCell(TRect(0, Y - 1, CW, Y), Color());
    SetCellClip(S);
    TColor SlideColor = Color();
    if (GetSelected(Row) && !FSlidesOptions.Contains(soHideSelection))
      SlideColor = Focused ? FSlideSelectionColor : clBtnFace;
    TSlideState State;
    if (Row == FSelectedRow) {
      State.Include(stSelected);
      if (FSlidesOptions.Contains(soFrame)) State.Include(stFocused);
    }
    TColor GridColor = FGridLinesColor;
    if (OnSlideColoring) OnSlideColoring(this, Row, SlideColor, GridColor, State);
    FillCell(S, SlideColor);
    if (HidePartialRows() && S.Bottom > B.Bottom) {
      ResetClip();
      Y = S.Top - FLines.TopLine;
      break;
    }
    for (Integer i = 0; i < FColumns->Count(); ++i) {
      TNxCustomColumn* Column = FColumns->Items(i);
      if (!Column->Visible()) continue;
      TNxSlideBounds* SB = Column->SlideBounds();
      const TRect R(SB->Left(), Y + SB->Top(), SB->Left() + SB->Width(), Y + SB->Top() + SB->Height());
      DrawCell(i, Row, R);
      DrawSlideCaption(i, Row);
    }
    if (State.Contains(stFocused)) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(Focused ? FSelectionColor : FInactiveSelectionColor);
      C->FrameRect(TRect(S.Left + 1, S.Top + 1, S.Right - 1, S.Bottom - 2));
      C->FrameRect(TRect(S.Left + 2, S.Top + 2, S.Right - 2, S.Bottom - 3));
    }
    Y += FLines.BottomLine + FSlideSize;
    if (FOptions.Contains(goGrid)) FillCell(TRect(0, Y - 1, CW, Y), GridColor);
    ResetClip();
  }
  if (Y < CH) FillCell(TRect(0, Y, CW, CH), Color());
}

void TNxCustomGridControl::DrawSlideCaption(Integer ACol, Integer ARow) {
  TNxCustomColumn* Column = FColumns->Items(ACol);
  const AnsiString& Text = Column->SlideCaption();
  if (Text.empty()) return;
  TCanvas* C = Canvas();
  C->Font()->SetStyle(TFontStyles());
  C->Font()->SetColor(FSlideCaptionColor);
  TNxSlideBounds* SB = Column->SlideBounds();
  const Integer Top = CellTop(ACol, ARow);
  const Integer W = C->TextWidth(Text), H = C->TextHeight(Text);
  RECT R;
  if (Column->SlideCaptionLocation() == clLeft)
    R = TRect(SB->Left() - 2 - W, Top, SB->Left() - 2, Top + SB->Height());
  else
    R = TRect(SB->Left() + 2, Top - H - 2, SB->Left() + 2 + W, Top - 2);
  const int OldMode = SetBkMode(C->Handle(), TRANSPARENT);
  DrawTextA(C->Handle(), Text.c_str(), static_cast<int>(Text.size()), &R, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  SetBkMode(C->Handle(), OldMode);
}

// ---- The border -------------------------------------------------------------------------

void TNxCustomGridControl::DrawBorder() {
  if (!HandleAllocated()) return;
  if ((FHeaderStyle == hsOffice2007 || FHeaderStyle == hsOffice2010) && FBorderStyle == bsSingle) {
    HDC DC = GetWindowDC(Handle());
    RECT W;
    GetWindowRect(Handle(), &W);
    const RECT R(0, 0, W.Width(), W.Height());
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(GetSchemeColor(2, DefaultColorScheme)));
    FrameRect(DC, &R, Brush);
    DeleteObject(Brush);
    ReleaseDC(Handle(), DC);
    return;
  }
  if (IsThemed() && FEnableVisualStyles && FBorderStyle == bsSingle) {
    if (BorderWidth() != 0) SetBorderWidth(0);
    HDC DC = GetWindowDC(Handle());
    RECT W;
    GetWindowRect(Handle(), &W);
    const RECT R(0, 0, W.Width(), W.Height());
    const Integer Inset = BorderWidth() + 1;
    ExcludeClipRect(DC, R.Left + Inset, R.Top + Inset, R.Right - Inset, R.Bottom - Inset);
    ThemeDrawBackground(Handle(), DC, R, u"listview", 1, 0);
    ReleaseDC(Handle(), DC);
    return;
  }
  if (BorderWidth() != 0) SetBorderWidth(0);
}

// ---- Painting setters --------------------------------------------------------------------

void TNxCustomGridControl::SetHeaderStyle(THeaderStyle Value) {
  if (Value == FHeaderStyle) return;
  FHeaderStyle = Value;
  SelectHeaderPainter();
}

void TNxCustomGridControl::SetEnableVisualStyles(bool Value) {
  FEnableVisualStyles = Value;
  if (!HandleAllocated()) return;
  Invalidate();
  DrawBorder();
}

void TNxCustomGridControl::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TNxCustomGridControl::SetHighlightedTextColor(TColor Value) {
  FHighlightedTextColor = Value;
  if (HandleAllocated()) RefreshSelection();
}

void TNxCustomGridControl::SetInactiveSelectionColor(TColor Value) {
  FInactiveSelectionColor = Value;
  if (HandleAllocated()) Invalidate();
}

void TNxCustomGridControl::SetSlideSelectionColor(TColor Value) {
  FSlideSelectionColor = Value;
  if (HandleAllocated()) Invalidate();
}

void TNxCustomGridControl::SetSortedStyle(TSortedStyle Value) {
  FSortedStyle = Value;
  if (HandleAllocated()) Invalidate();
}

void TNxCustomGridControl::SetIndicatorDrawingOptions(TDrawingOptions Value) {
  FIndicatorDrawingOptions = Value;
  RefreshArea(gaIndicator);
}

void TNxCustomGridControl::SetGridLinesColor(TColor Value) {
  FGridLinesColor = Value;
  if (HandleAllocated()) Invalidate();
}

void TNxCustomGridControl::SetSlidesOptions(TGridSlideOptions Value) {
  FSlidesOptions = Value;
  if (HandleAllocated()) Invalidate();
}

// ---- The concrete grid's cells --------------------------------------------------------------

bool TNxGrid::PrepareCellDisplay(Integer ACol, Integer ARow, TCellState State) {
  TNxCustomGridControl::PrepareCellDisplay(ACol, ARow, State);
  TVirtualColElement* D = Columns()->Items(ACol)->Display();
  if (!D) return false;
  TCellInfo Info;
  GetCellInfo(ACol, ARow, Info);
  D->AsBoolean = Info.AsBoolean;
  D->AsDateTime = Info.AsDateTime;
  D->AsFloat = Info.AsFloat;
  D->AsInteger = Info.AsInteger;
  D->AsString = Info.AsString;
  D->ObjectReference = Info.ObjectReference;
  ApplyCellFormatting(ACol, ARow, State, Info.AsString);
  return true;
}
