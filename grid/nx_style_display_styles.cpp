// The header styles other than the default one.
#include "grid/nx_columns.h"
#include "grid/nx_shared_common.h"
#include "grid/nx_shared_draw.h"
#include "grid/nx_style_display.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/graphics.h"

RTL_IMPLEMENT_CLASS(TFlatStyleDisplay)
RTL_IMPLEMENT_CLASS(TOldStyleDisplay)
RTL_IMPLEMENT_CLASS(TOutlookStyleDisplay)
RTL_IMPLEMENT_CLASS(TVistaStyleDisplay)
RTL_IMPLEMENT_CLASS(TOffice2007StyleDisplay)
RTL_IMPLEMENT_CLASS(TOffice2010StyleDisplay)

namespace {

constexpr TColor VistaFace = 0xF0F0F0, VistaSortedTop = 0xF0DCAF, White = 0xFFFFFF;
constexpr TColor Office2010ArrowFill = 0xB5ACA5;
// Scheme colour roles.
constexpr Integer scFrame = 2, scGradientTop2010 = 6, scGradientBottom2010 = 7, scSeparator = 10, scOfficeFill = 11;

TColor Scheme(Integer Role) { return GetSchemeColor(Role, DefaultColorScheme); }

bool IsEmptyBox(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

void PenLine(TCanvas* Canvas, Integer X1, Integer Y1, Integer X2, Integer Y2, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

// The right column down to the bottom row, then the bottom row leftward
// past the left edge.
void RightAndBottom(TCanvas* Canvas, const TRect& Rect, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->MoveTo(Rect.Right - 1, Rect.Top);
  Canvas->LineTo(Rect.Right - 1, Rect.Bottom - 1);
  Canvas->LineTo(Rect.Left - 1, Rect.Bottom - 1);
}

void OfficeCorner(TCanvas* Canvas, const TRect& Rect, TColor G1, TColor G2) {
  if (IsEmptyBox(Rect)) return;
  NxSharedDraw::DrawGradient(Canvas, Rect, G1, G2);
  RightAndBottom(Canvas, Rect, Scheme(scFrame));
}

void OfficeHeader(TCanvas* Canvas, TNxCustomColumn* Column, const TRect& Rect, TColor G1, TColor G2) {
  if (IsEmptyBox(Rect)) return;
  if (Column->IsPressed())
    NxSharedDraw::DrawGradient(Canvas, Rect, G2, G1);
  else
    NxSharedDraw::DrawGradient(Canvas, Rect, G1, G2);
  const Integer Edge = Column->GetEdgeKind();
  if (Edge == 1 || Edge == 2)
    PenLine(Canvas, Rect.Right - 1, Rect.Top + 2, Rect.Right - 1, Rect.Bottom - 3, Scheme(scSeparator));
  else
    PenLine(Canvas, Rect.Right - 1, Rect.Top, Rect.Right - 1, Rect.Bottom - 1, Scheme(scFrame));
  PenLine(Canvas, Rect.Left, Rect.Bottom - 1, Rect.Right, Rect.Bottom - 1, Scheme(scFrame));
}

void FillWith(TCanvas* Canvas, const TRect& Rect, TColor Color) {
  if (IsEmptyBox(Rect)) return;
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(Rect);
}

}  // namespace

// ---- TFlatStyleDisplay -----------------------------------------------------------------------

void TFlatStyleDisplay::DrawFlatCell(const TRect& Rect, TColor Color) {
  if (IsEmptyBox(Rect)) return;
  Fill(Rect, Color);
  RightAndBottom(Canvas, Rect, clGrayText);
}

void TFlatStyleDisplay::DrawBand(const TRect& Rect) { Fill(Rect, clBtnFace); }

void TFlatStyleDisplay::DrawIndicatorCorner(const TRect& Rect, Integer) { DrawFlatCell(Rect, clBtnFace); }

void TFlatStyleDisplay::DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) {
  DrawHeaderFace(Column, Rect);
}

void TFlatStyleDisplay::DrawIndicatorBackground(const TRect& Rect, Integer, bool, bool) {
  DrawFlatCell(Rect, clBtnFace);
}

void TFlatStyleDisplay::DrawHeaderFace(TNxCustomColumn* Column, const TRect& Rect) {
  DrawFlatCell(Rect, Column->Header()->Color());
}

// ---- TOldStyleDisplay ------------------------------------------------------------------------

Byte TOldStyleDisplay::GetCapabilities() const { return scInvertPressed; }

void TOldStyleDisplay::DrawIndicatorCorner(const TRect& Rect, Integer) { DrawRaisedCell(Rect); }

void TOldStyleDisplay::DrawHeaderBackground(TNxCustomColumn*, const TRect& Rect) { DrawRaisedCell(Rect); }

void TOldStyleDisplay::DrawIndicatorBackground(const TRect& Rect, Integer, bool, bool) { DrawRaisedCell(Rect); }

void TOldStyleDisplay::DrawRaisedCell(const TRect& Rect) {
  if (IsEmptyBox(Rect)) return;
  Fill(TCalcProvider::ResizeRect(Rect, 1, 1, -1, -1), clBtnFace);
  TRect R = Rect;
  Frame3D(Canvas, R, clBtnHighlight, clWindowFrame, 1);
}

// ---- TOutlookStyleDisplay --------------------------------------------------------------------

Byte TOutlookStyleDisplay::GetCapabilities() const { return scInvertPressed; }

void TOutlookStyleDisplay::AdjustCaptionRect(TRect& Rect) { Rect.Bottom -= 3; }

void TOutlookStyleDisplay::DrawShadowRows(const TRect& Rect, TColor Base) {
  static constexpr Integer Alphas[3] = {50, 100, 150};
  for (Integer I = 0; I < 3; ++I) {
    const Integer Y = Rect.Bottom - 3 + I;
    Line(Rect.Left, Y, Rect.Right, Y, NxSharedDraw::BlendColor(clBtnShadow, Base, Alphas[I]));
  }
}

void TOutlookStyleDisplay::DrawBand(const TRect& Rect) {
  if (IsEmptyBox(Rect)) return;
  TGraphicsProvider::DrawButtonFrame(Canvas, Rect, false);
}

void TOutlookStyleDisplay::DrawIndicatorCorner(const TRect& Rect, Integer) {
  if (IsEmptyBox(Rect)) return;
  Fill(TRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom - 3), clBtnFace);
  Line(Rect.Right - 1, Rect.Top, Rect.Right - 1, Rect.Bottom - 1, clBtnShadow);
  DrawShadowRows(Rect, clBtnFace);
}

void TOutlookStyleDisplay::DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) {
  DrawHeaderFace(Column, Rect);
}

void TOutlookStyleDisplay::DrawHeaderFace(TNxCustomColumn* Column, const TRect& Rect) {
  if (IsEmptyBox(Rect)) return;
  const TColor Face = Column->Header()->Color();
  const Integer L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom;
  Fill(TRect(L, T, R, B - 3), Face);
  const Integer Edge = Column->GetEdgeKind();
  if (Edge == 0 || Edge == 1)
    Line(L, T, L, B - 3, clBtnHighlight);
  else
    Line(L, T + 2, L, B - 4, clBtnHighlight);
  if (Edge == 0 || Edge == 3)
    Line(R - 1, T, R - 1, B - 1, clBtnShadow);
  else
    Line(R - 1, T + 2, R - 1, B - 4, clBtnShadow);
  DrawShadowRows(Rect, Face);
}

// ---- TVistaStyleDisplay ----------------------------------------------------------------------

Byte TVistaStyleDisplay::GetCapabilities() const { return scOwnSortMark; }

void TVistaStyleDisplay::AdjustCaptionRect(TRect& Rect) { Rect.Left += 2; }

void TVistaStyleDisplay::DrawBand(const TRect& Rect) { Fill(Rect, GridColor()); }

void TVistaStyleDisplay::DrawIndicatorCorner(const TRect& Rect, Integer) { Fill(Rect, GridColor()); }

void TVistaStyleDisplay::DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) {
  DrawHeaderFace(Column, Rect);
}

void TVistaStyleDisplay::DrawIndicatorBackground(const TRect& Rect, Integer, bool, bool) {
  if (IsEmptyBox(Rect)) return;
  Line(Rect.Left, Rect.Top, Rect.Left, Rect.Bottom, White);
  Line(Rect.Right - 1, Rect.Top, Rect.Right - 1, Rect.Bottom, clBtnFace);
  Fill(TRect(Rect.Left + 1, Rect.Top, Rect.Right - 1, Rect.Bottom), VistaFace);
}

void TVistaStyleDisplay::DrawHeaderFace(TNxCustomColumn* Column, const TRect& Rect) {
  if (IsEmptyBox(Rect)) return;
  const TRect Inner(Rect.Left + 1, Rect.Top, Rect.Right - 1, Rect.Bottom);
  Line(Rect.Left, Rect.Top, Rect.Left, Rect.Bottom, White);
  Line(Rect.Right - 1, Rect.Top, Rect.Right - 1, Rect.Bottom, clBtnFace);
  if (!Column->Sorted()) {
    Fill(Inner, VistaFace);
    return;
  }
  NxSharedDraw::DrawGradient(Canvas, TRect(Inner.Left, Inner.Top, Inner.Right, Inner.Top + 6), VistaSortedTop, White);
  Fill(TRect(Inner.Left, Inner.Top + 6, Inner.Right, Inner.Bottom), White);
  DrawSortMark(Rect.Left + (Rect.Right - Rect.Left) / 2 - 3, 0, Column->SortKind() == skAscending);
}

void TVistaStyleDisplay::DrawSortMark(Integer X, Integer Y, bool Ascending) {
  Canvas->Pen()->SetColor(White);
  Canvas->Brush()->SetColor(White);
  if (Ascending)
    Canvas->Polygon({TPoint(X + 3, Y), TPoint(X + 6, Y + 3), TPoint(X, Y + 3)});
  else
    Canvas->Polygon({TPoint(X, Y), TPoint(X + 3, Y + 3), TPoint(X + 6, Y)});
}

// ---- TOffice2007StyleDisplay and TOffice2010StyleDisplay -------------------------------------

void TOffice2007StyleDisplay::AdjustCaptionRect(TRect& Rect) { Rect.Left += 2; }

void TOffice2007StyleDisplay::DrawBand(const TRect& Rect) { FillWith(Canvas, Rect, Scheme(scOfficeFill)); }

void TOffice2007StyleDisplay::DrawIndicatorCorner(const TRect& Rect, Integer) {
  OfficeCorner(Canvas, Rect, White, Scheme(scOfficeFill));
}

void TOffice2007StyleDisplay::DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) {
  DrawHeaderFace(Column, Rect);
}

void TOffice2007StyleDisplay::DrawIndicatorBackground(const TRect& Rect, Integer, bool, bool) {
  DrawIndicatorCorner(Rect, 0);
}

void TOffice2007StyleDisplay::DrawHeaderFace(TNxCustomColumn* Column, const TRect& Rect) {
  OfficeHeader(Canvas, Column, Rect, White, Scheme(scOfficeFill));
}

void TOffice2010StyleDisplay::AdjustCaptionRect(TRect& Rect) { Rect.Left += 2; }

void TOffice2010StyleDisplay::DrawSortArrow(Integer X, Integer Y, bool Ascending) {
  Canvas->Pen()->SetColor(clBlack);
  Canvas->Brush()->SetColor(Office2010ArrowFill);
  if (Ascending)
    Canvas->Polygon({TPoint(X, Y + 4), TPoint(X + 4, Y), TPoint(X + 8, Y + 4)});
  else
    Canvas->Polygon({TPoint(X, Y), TPoint(X + 4, Y + 4), TPoint(X + 8, Y)});
}

void TOffice2010StyleDisplay::DrawBand(const TRect& Rect) { FillWith(Canvas, Rect, Scheme(scOfficeFill)); }

void TOffice2010StyleDisplay::DrawIndicatorCorner(const TRect& Rect, Integer) {
  OfficeCorner(Canvas, Rect, Scheme(scGradientTop2010), Scheme(scGradientBottom2010));
}

void TOffice2010StyleDisplay::DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) {
  DrawHeaderFace(Column, Rect);
}

void TOffice2010StyleDisplay::DrawIndicatorBackground(const TRect& Rect, Integer, bool, bool) {
  DrawIndicatorCorner(Rect, 0);
}

void TOffice2010StyleDisplay::DrawHeaderFace(TNxCustomColumn* Column, const TRect& Rect) {
  OfficeHeader(Canvas, Column, Rect, Scheme(scGradientTop2010), Scheme(scGradientBottom2010));
}
