#include "grid/nx_style_display.h"

#include "grid/nx_columns.h"
#include "grid/nx_shared_common.h"
#include "grid/nx_shared_draw.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/controls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/mask_text.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"

RTL_IMPLEMENT_CLASS(TStyleDisplay)
RTL_IMPLEMENT_CLASS(TDefaultStyleDisplay)

namespace {

constexpr Integer HP_HEADERITEM = 1, HP_HEADERITEMLEFT = 2;
constexpr Integer HIS_NORMAL = 1, HIS_HOT = 2, HIS_PRESSED = 3;
// How much further left a right-aligned header moves to leave room for
// the sort arrow.
constexpr Integer SortArrowRoom = 31;

bool IsEmptyRect(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

TBitmap* GlyphOf(TColumnPart* Part) {
  TBitmap* G = Part->Glyph();
  return G && !G->Empty() ? G : nullptr;
}

void DrawGlyph(TCanvas* Canvas, TBitmap* Glyph, Integer X, Integer Y) {
  Glyph->SetTransparent(true);
  NxSharedDraw::DrawAlphaBitmap(Canvas, X, Y, Glyph);
}

}  // namespace

// ---- TStyleDisplay ---------------------------------------------------------------------------

TStyleDisplay::TStyleDisplay(TCustomControl* Grid) : FGrid(Grid) {}

TColor TStyleDisplay::GridColor() const { return FGrid ? FGrid->Color() : clWindow; }

void TStyleDisplay::Fill(const TRect& Rect, TColor Color) {
  if (IsEmptyRect(Rect)) return;
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(Rect);
}

void TStyleDisplay::Line(Integer X1, Integer Y1, Integer X2, Integer Y2, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

void TStyleDisplay::Pixel(Integer X, Integer Y, TColor Color) { Canvas->SetPixels(X, Y, Color); }

void TStyleDisplay::Invert(const TRect& Rect) {
  Canvas->SetCopyMode(cmDstInvert);
  Canvas->CopyRect(Rect, Canvas, Rect);
  Canvas->SetCopyMode(cmSrcCopy);
}

void TStyleDisplay::DrawThemePart(Integer Part, Integer State, const TRect& Rect) {
  if (!ThemeHandle || !NxThemesSupport::DrawThemeBackground || IsEmptyRect(Rect)) return;
  RECT R = Rect;
  NxThemesSupport::DrawThemeBackground(ThemeHandle, Canvas->Handle(), Part, State, &R, nullptr);
}

Byte TStyleDisplay::GetCapabilities() const { return 0; }

void TStyleDisplay::AdjustCaptionRect(TRect&) {}

void TStyleDisplay::DrawSortArrow(Integer X, Integer Y, bool Ascending) {
  if (Themed) {
    Canvas->Pen()->SetColor(clGrayText);
    Canvas->Brush()->SetColor(clGrayText);
    if (Ascending)
      Canvas->Polygon({TPoint(X, Y + 4), TPoint(X + 4, Y), TPoint(X + 8, Y + 4)});
    else
      Canvas->Polygon({TPoint(X, Y), TPoint(X + 4, Y + 4), TPoint(X + 8, Y)});
    return;
  }
  Canvas->Pen()->SetColor(clBtnShadow);
  if (Ascending) {
    Canvas->Polyline({TPoint(X + 7, Y + 6), TPoint(X, Y + 6), TPoint(X, Y + 5), TPoint(X + 1, Y + 5),
                      TPoint(X + 1, Y + 3), TPoint(X + 2, Y + 3), TPoint(X + 2, Y + 1), TPoint(X + 3, Y + 1),
                      TPoint(X + 3, Y - 1)});
    Canvas->Pen()->SetColor(clBtnHighlight);
    Canvas->Polyline({TPoint(X + 7, Y + 5), TPoint(X + 6, Y + 5), TPoint(X + 6, Y + 3), TPoint(X + 5, Y + 3),
                      TPoint(X + 5, Y + 1), TPoint(X + 4, Y + 1), TPoint(X + 4, Y - 1)});
  } else {
    Canvas->Polyline({TPoint(X + 7, Y), TPoint(X, Y), TPoint(X, Y + 1), TPoint(X + 1, Y + 1), TPoint(X + 1, Y + 3),
                      TPoint(X + 2, Y + 3), TPoint(X + 2, Y + 5), TPoint(X + 3, Y + 5), TPoint(X + 3, Y + 7)});
    Canvas->Pen()->SetColor(clBtnHighlight);
    Canvas->Polyline({TPoint(X + 7, Y + 1), TPoint(X + 6, Y + 1), TPoint(X + 6, Y + 3), TPoint(X + 5, Y + 3),
                      TPoint(X + 5, Y + 5), TPoint(X + 4, Y + 5), TPoint(X + 4, Y + 7)});
  }
}

void TStyleDisplay::DrawHeaderContent(TNxCustomColumn* Column, const TRect& Rect) {
  TColumnHeader* H = Column->Header();
  const Integer W = Rect.Right - Rect.Left;
  const WideString& Caption = H->Caption();
  Integer E = 0;
  if (H->DisplayMode() != dmImageOnly) {
    if (H->Orientation() == hoHorizontal)
      E = (H->MultiLine() ? MeasureTextWidth(Canvas, Caption) : TextWidthWide(Canvas, Caption)) + 2;
    else
      E = TextHeightWide(Canvas, Caption) + 2;
  }
  const Integer Sorted = Column->Sorted() ? SortArrowRoom : 0;
  TBitmap* Glyph = GlyphOf(H);
  Integer X = Rect.Left + 2;
  if (!Glyph || H->DisplayMode() == dmTextOnly) {
    switch (H->Alignment()) {
      case taLeftJustify:
        X = Rect.Left + 2;
        break;
      case taRightJustify:
        X = Rect.Right - E - 2 - Sorted;
        break;
      case taCenter:
        X = E < W ? Rect.Left + (W - E) / 2 : Rect.Left + 2;
        break;
    }
  } else {
    const Integer GW = Glyph->Width();
    const Integer GY = Rect.Top + (Rect.Bottom - Rect.Top) / 2 - Glyph->Height() / 2;
    Integer GX = Rect.Left + 3;
    switch (H->Alignment()) {
      case taLeftJustify:
        GX = Rect.Left + 3;
        break;
      case taRightJustify:
        GX = Rect.Right - GW - E - 2 - Sorted;
        break;
      case taCenter:
        GX = Rect.Left + W / 2 - (GW + E) / 2;
        break;
    }
    DrawGlyph(Canvas, Glyph, GX, GY);
    X = GX + GW + 2;
  }
  if (H->DisplayMode() != dmImageOnly) {
    TRect CaptionRect(X, Rect.Top, Rect.Right, Rect.Bottom);
    AdjustCaptionRect(CaptionRect);
    if (H->Orientation() == hoHorizontal)
      DrawCaption(Canvas, CaptionRect, H->MultiLine(), Caption);
    else
      NxSharedDraw::DrawVerticalText(Canvas, CaptionRect, Caption, H->MultiLine());
  }
  if (!ShowSortArrow) return;
  if (Column->Sorted()) {
    const Integer AX = X + E + 19;
    const Integer AY = Rect.Top + (Rect.Bottom - Rect.Top) / 2 - 4;
    if ((AX + 8 < Rect.Right || !H->HideArrow()) && !(GetCapabilities() & scOwnSortMark))
      DrawSortArrow(AX, AY, Column->SortKind() == skAscending);
  }
  if (Column->IsPressed() && (GetCapabilities() & scInvertPressed)) {
    if (Column->IsOnlyVisible())
      Invert(TRect(Rect.Left - 1, Rect.Top - 1, Rect.Right, Rect.Bottom));
    else
      Invert(TRect(Rect.Left, Rect.Top, Rect.Right - 1, Rect.Bottom));
  }
}

void TStyleDisplay::DrawFooterContent(TNxCustomColumn* Column, const TRect& Rect) {
  TColumnFooter* F = Column->Footer();
  const Integer W = Rect.Right - Rect.Left;
  WideString T = F->Caption();
  if (!F->FormatMask().empty()) {
    if (F->FormatMaskKind() == mkText)
      T = FormatMaskText(AnsiToWide(F->FormatMask()), T);
    else
      T = AnsiToWide(FormatFloat(F->FormatMask(), StrToFloatDef(WideToAnsi(T), 0)));
  }
  T = F->TextBefore() + T + F->TextAfter();
  const Integer TW = F->DisplayMode() == dmImageOnly ? 0 : TextWidthWide(Canvas, T);
  TBitmap* Glyph = GlyphOf(F);
  Integer X = Rect.Left + 2;
  if (!Glyph || F->DisplayMode() == dmTextOnly) {
    switch (F->Alignment()) {
      case taLeftJustify:
        X = Rect.Left + 2;
        break;
      case taRightJustify:
        X = Rect.Right - TW - Column->Padding();
        break;
      case taCenter:
        X = Rect.Left + W / 2 - TW / 2;
        break;
    }
  } else {
    const Integer GW = Glyph->Width();
    const Integer GY = Rect.Top + (Rect.Bottom - Rect.Top) / 2 - Glyph->Height() / 2;
    Integer GX = Rect.Left + 3;
    switch (F->Alignment()) {
      case taLeftJustify:
        GX = Rect.Left + 3;
        break;
      case taRightJustify:
        GX = Rect.Right - GW - TW - Column->Padding() - 2 - (Column->Sorted() ? SortArrowRoom : 0);
        break;
      case taCenter:
        GX = Rect.Left + W / 2 - (TW + GW) / 2;
        break;
    }
    DrawGlyph(Canvas, Glyph, GX, GY);
    X = GX + GW + 2;
  }
  if (F->DisplayMode() == dmImageOnly) return;
  if (X < Rect.Left) X = Rect.Left;
  DrawCaption(Canvas, TRect(X, Rect.Top, Rect.Right, Rect.Bottom), false, T);
}

void TStyleDisplay::DrawBand(const TRect& Rect) { DrawIndicatorCorner(Rect, 0); }

void TStyleDisplay::DrawIndicatorCorner(const TRect& Rect, Integer) { Fill(Rect, GridColor()); }

void TStyleDisplay::DrawFooter(TNxCustomColumn* Column, const TRect& Rect, bool GridLines) {
  if (IsEmptyRect(Rect)) return;
  TColumnFooter* F = Column->Footer();
  const TDrawingOptions O = F->DrawingOptions();
  const TRect C = GridLines ? TCalcProvider::ResizeRect(Rect, 0, 0, -1, -1) : Rect;
  if (O != doCustomOnly) {
    Canvas->SetFont(Column->Font());
    Fill(C, F->Color());
  }
  if (GridLines) DrawGridLines(Rect, clBtnFace);
  // The caller's clip comes back as the box it was.
  const TRect OldClip = Canvas->ClipRect();
  NxSharedDraw::SetClipRect(Canvas, Rect);
  if (O == doNormal || O == doCustom) DrawFooterContent(Column, C);
  if (CustomDrawFooter) CustomDrawFooter(this, Column->Index(), C);
  NxSharedDraw::SetClipRect(Canvas, OldClip);
}

void TStyleDisplay::DrawHeader(TNxCustomColumn* Column, const TRect& Rect) {
  if (IsEmptyRect(Rect)) return;
  const TDrawingOptions O = Column->Header()->DrawingOptions();
  if (O != doCustomOnly) DrawHeaderBackground(Column, Rect);
  if (O == doNormal || O == doCustom) DrawHeaderContent(Column, Rect);
  if (CustomDrawHeader) CustomDrawHeader(this, Column->Index(), Rect);
}

void TStyleDisplay::DrawHeaderBackground(TNxCustomColumn*, const TRect&) {}

void TStyleDisplay::DrawIndicatorBackground(const TRect& Rect, Integer Index, bool, bool) {
  if (IsEmptyRect(Rect)) return;
  Fill(TRect(1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom), clBtnFace);
  Line(0, Rect.Top, 0, Rect.Bottom + 1, clBtnHighlight);
  if (Index > 0) {
    Pixel(1, Rect.Top, clBtnFace);
    Pixel(Rect.Right - 2, Rect.Top, clBtnFace);
    Line(2, Rect.Top, Rect.Right - 2, Rect.Top, clBtnHighlight);
  } else {
    Line(1, Rect.Top, Rect.Right - 1, Rect.Top, clBtnHighlight);
  }
  Pixel(1, Rect.Bottom - 1, clBtnFace);
  Pixel(Rect.Right - 2, Rect.Bottom - 1, clBtnFace);
  Line(Rect.Right - 1, Rect.Top, Rect.Right - 1, Rect.Bottom, clBtnShadow);
  Line(2, Rect.Bottom - 1, Rect.Right - 2, Rect.Bottom - 1, clBtnShadow);
}

void TStyleDisplay::DrawIndicatorGlyph(const TRect& Rect, bool Current, bool Highlighted) {
  if (IsEmptyRect(Rect)) return;
  if (Current) {
    const TPoint P = TCalcProvider::AlignInRect(6, 11, 0, Rect, taCenter, taVerticalCenter);
    Canvas->Pen()->SetColor(clWindowText);
    Canvas->Brush()->SetColor(clWindowText);
    Canvas->Polygon({TPoint(P.X, P.Y), TPoint(P.X + 5, P.Y + 5), TPoint(P.X, P.Y + 10)});
  }
  if (Highlighted) Invert(Rect);
}

void TStyleDisplay::DrawInputCell(TNxCustomColumn* Column, const TRect& Rect, bool GridLines, bool Active,
                                  bool Focused) {
  if (IsEmptyRect(Rect)) return;
  const bool L = GridLines && Active;
  const TRect TextRect = TCalcProvider::ResizeRect(Rect, 2, 0, -1, -1);
  Canvas->SetFont(Column->Font());
  Canvas->Font()->SetStyle({});
  TColor Brush, Text;
  if (!Active || Column->InputEditing()) {
    Text = clGrayText;
    Brush = Column->Color();
  } else {
    // Unfocused, the text keeps the column font's colour.
    Text = Focused ? clHighlightText : Canvas->Font()->Color();
    Brush = Focused ? clHighlight : clBtnFace;
    if (Column->IsSelected()) {
      Brush = Column->Color();
      Text = clGrayText;
    }
  }
  Canvas->Font()->SetColor(Text);
  Canvas->Brush()->SetColor(Brush);
  const TRect Cell = L ? TCalcProvider::ResizeRect(Rect, 0, 0, -1, -1) : Rect;
  if (Column->InputEditing())
    Canvas->FrameRect(Cell);
  else
    Canvas->FillRect(Cell);
  if (L) DrawGridLines(Rect, clHighlight);
  if (!Column->InputValue().empty()) {
    WideString Display;
    Column->GetInputDisplayText(Display);
    TGraphicsProvider::DrawTextRect(Canvas, TextRect, Column->Alignment(), Display, false);
  } else {
    TGraphicsProvider::DrawTextRect(Canvas, TextRect, taCenter, Column->InputCaption(), false);
  }
}

void TStyleDisplay::DrawEmptyHeader(const TRect& Rect) { Fill(Rect, GridColor()); }

Integer TStyleDisplay::MeasureHeaderWidth(TNxCustomColumn* Column) {
  TColumnHeader* H = Column->Header();
  const AnsiString Caption = WideToAnsi(H->Caption());
  const Integer S = H->Orientation() == hoVertical ? Canvas->TextHeight(Caption) : Canvas->TextWidth(Caption);
  TBitmap* Glyph = GlyphOf(H);
  const Integer GW = Glyph ? Glyph->Width() : 0;
  switch (H->DisplayMode()) {
    case dmImageOnly:
      return GW;
    case dmTextAndImage:
      return GW + S + 2;
    default:
      return S;
  }
}

void TStyleDisplay::DrawCaption(TCanvas* ACanvas, const TRect& Rect, bool MultiLine, const WideString& Text) {
  UINT Flags = DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXTERNALLEADING | DT_VCENTER;
  if (!MultiLine) Flags |= DT_SINGLELINE;
  ACanvas->Brush()->SetStyle(bsClear);
  RECT R = Rect;
  DrawTextW(ACanvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
  ACanvas->Brush()->SetStyle(bsSolid);
}

void TStyleDisplay::DrawGridLines(const TRect& Rect, TColor Color) {
  Line(Rect.Left, Rect.Bottom - 1, Rect.Right - 1, Rect.Bottom - 1, Color);
  Line(Rect.Right - 1, Rect.Top, Rect.Right - 1, Rect.Bottom + 1, Color);
}

// ---- TDefaultStyleDisplay --------------------------------------------------------------------

Byte TDefaultStyleDisplay::GetCapabilities() const { return Themed ? scHotTracking : scInvertPressed; }

void TDefaultStyleDisplay::DrawIndicatorCorner(const TRect& Rect, Integer Kind) {
  if (IsEmptyRect(Rect)) return;
  if (Kind == 1) {
    DrawFooterCorner(Rect);
  } else if (Kind == 0) {
    if (Themed)
      DrawThemePart(HP_HEADERITEM, HIS_NORMAL, Rect);
    else
      TGraphicsProvider::DrawButtonFrame(Canvas, Rect, false);
  }
}

void TDefaultStyleDisplay::DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) {
  if (Themed)
    DrawThemedHeader(Column, Rect);
  else
    DrawClassicHeader(Column, Rect);
}

void TDefaultStyleDisplay::DrawEmptyHeader(const TRect& Rect) {
  if (Themed)
    DrawThemePart(HP_HEADERITEMLEFT, HIS_NORMAL, Rect);
  else
    TStyleDisplay::DrawEmptyHeader(Rect);
}

void TDefaultStyleDisplay::DrawClassicHeader(TNxCustomColumn* Column, const TRect& Rect) {
  if (IsEmptyRect(Rect)) return;
  const TColor Face = Column->Header()->Color();
  Fill(TCalcProvider::ResizeRect(Rect, 1, 1, -1, -1), Face);
  const Integer Edge = Column->GetEdgeKind();
  if (Edge == 0) {
    TRect R = Rect;
    Frame3D(Canvas, R, clBtnHighlight, clBtnShadow, 1);
    return;
  }
  const Integer L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom;
  Line(L, T, R, T, clBtnHighlight);
  if (Edge == 1) {
    Line(L, T + 1, L, B - 1, clBtnHighlight);
  } else {
    Line(L, T + 2, L, B - 2, clBtnHighlight);
    Pixel(L, T + 1, Face);
    Pixel(L, B - 2, Face);
  }
  Line(L, B - 1, R, B - 1, clBtnShadow);
  if (Edge == 3) {
    Line(R - 1, T, R - 1, B - 1, clBtnShadow);
  } else {
    Line(R - 1, T + 2, R - 1, B - 2, clBtnShadow);
    Pixel(R - 1, T + 1, Face);
    Pixel(R - 1, B - 2, Face);
  }
}

void TDefaultStyleDisplay::DrawThemedHeader(TNxCustomColumn* Column, const TRect& Rect) {
  const Integer State = Column->IsPressed() ? HIS_PRESSED : Column->IsHot() ? HIS_HOT : HIS_NORMAL;
  DrawThemePart(HP_HEADERITEM, State, Rect);
}

void TDefaultStyleDisplay::DrawFooterCorner(const TRect& Rect) {
  if (IsEmptyRect(Rect)) return;
  const Integer T = Rect.Top, R = Rect.Right, B = Rect.Bottom;
  Fill(TRect(1, T + 1, R - 1, B), clBtnFace);
  Line(0, T, 0, B, clBtnHighlight);
  Pixel(1, T + 1, clBtnFace);
  Pixel(R - 2, T + 1, clBtnFace);
  Line(2, T + 1, R - 2, T + 1, clBtnHighlight);
  Pixel(1, T, clBtnFace);
  Pixel(R - 2, T, clBtnFace);
  Canvas->Pen()->SetColor(clBtnShadow);
  Canvas->MoveTo(R - 1, T);
  Canvas->LineTo(R - 1, B - 1);
  Canvas->LineTo(Rect.Left - 1, B - 1);
  Line(2, T, R - 2, T, clBtnShadow);
}
