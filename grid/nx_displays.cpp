#include "grid/nx_displays.h"

#include "grid/nx_column_classes.h"
#include "grid/nx_shared_common.h"
#include "platform/forms/graphics.h"
#include "platform/forms/image_list.h"
#include "platform/rtl/mathutils.h"
#include "platform/win/gdi/gdi.h"

RTL_IMPLEMENT_CLASS(TVirtualColElement)
RTL_IMPLEMENT_CLASS(TColumnDisplay)
RTL_IMPLEMENT_CLASS(TColumnPlay)
RTL_IMPLEMENT_CLASS(TTextColumnDisplay)
RTL_IMPLEMENT_CLASS(TImageColumnDisplay)
RTL_IMPLEMENT_CLASS(TDateColumnDisplay)

namespace {

int DrawWide(TCanvas* Canvas, const WideString& Text, TRect& Rect, UINT Flags) {
  WideString Copy = Text;  // the function may write into the text it is given
  return DrawTextExW(Canvas->Handle(), Copy.data(), static_cast<int>(Copy.size()), &Rect, Flags, nullptr);
}

}  // namespace

// ---- TColumnDisplay ----------------------------------------------------------------------

void TColumnDisplay::GetContentRect(TRect& Rect) { Rect = TCalcProvider::ResizeRect(Rect, 2, 0, -2, 0); }

void TColumnDisplay::GetTextFormat(const WideString& Text, TRect& Rect, bool AllowEllipsis, UINT& Flags) {
  TNxCustomColumn* C = Column();
  Flags = DT_NOPREFIX;
  if (C->BiDiMode() != bdLeftToRight) Flags |= DT_RTLREADING;
  if (C->Alignment() == taRightJustify) Flags |= DT_RIGHT;
  if (C->Alignment() == taCenter) Flags |= DT_CENTER;
  if (C->VerticalAlignment() == taAlignBottom) Flags |= DT_BOTTOM;
  if (C->VerticalAlignment() == taVerticalCenter) Flags |= DT_VCENTER;
  switch (C->WrapKind()) {
    case wkEllipsis:
      if (AllowEllipsis) Flags |= DT_END_ELLIPSIS;
      break;
    case wkPathEllipsis:
      if (AllowEllipsis) Flags |= DT_PATH_ELLIPSIS;
      break;
    case wkWordWrap: Flags |= DT_WORDBREAK | DT_EDITCONTROL; break;
    default: break;
  }
  if (C->WrapKind() != wkWordWrap && !(C->GetTextOptions() & toMultiLine)) {
    Flags |= DT_SINGLELINE;
    return;
  }
  // The vertical flags act on single lines only: place the text by hand.
  if (C->VerticalAlignment() == taAlignTop || !Canvas) return;
  TRect Measured = Rect;
  DrawWide(Canvas, Text, Measured, Flags | DT_CALCRECT);
  if (C->VerticalAlignment() == taAlignBottom)
    Rect.Top = Rect.Bottom - Measured.Height();
  else
    Rect.Top += static_cast<Integer>(Round((Rect.Bottom - Measured.Bottom) / 2.0));
}

void TColumnDisplay::DrawText(const WideString& Text, const TRect& Rect) {
  if (!Canvas) return;
  Canvas->Brush()->SetStyle(bsClear);
  TRect R = Rect;
  UINT Flags = 0;
  GetTextFormat(Text, R, true, Flags);
  DrawWide(Canvas, Text, R, Flags);
  Canvas->Brush()->SetStyle(bsSolid);
}

void TColumnDisplay::DrawHintMark() {
  if (!Canvas) return;
  Canvas->Pen()->SetColor(clRed);
  Canvas->Brush()->SetColor(clRed);
  const TRect& R = CellRect;
  Canvas->Polygon({TPoint(R.Right - 5, R.Top), TPoint(R.Right - 1, R.Top), TPoint(R.Right - 1, R.Top + 4)});
}

Integer TColumnDisplay::GetContentWidth() {
  TSize Size;
  MeasureContent(Size);
  return Size.cx;
}

void TColumnDisplay::MeasureContent(TSize& Size) {
  Size = TSize();
  if (!Canvas) return;
  TRect R = CellRect;
  GetContentRect(R);
  UINT Flags = 0;
  GetTextFormat(AsString, R, false, Flags);
  DrawWide(Canvas, AsString, R, Flags | DT_CALCRECT | DT_NOCLIP);
  Size = TSize(R.Width(), R.Height());
}

// ---- TColumnPlay -----------------------------------------------------------------------------

void TColumnPlay::Paint() {
  auto* Display = dynamic_cast<TColumnDisplay*>(Column()->Display());
  if (!Display) return;
  AsBoolean = Display->AsBoolean;
  Display->Paint();
}

void TColumnPlay::DoChange() {
  if (OnChange) OnChange(this);
}

void TColumnPlay::DoClick() {
  if (OnClick) OnClick(this);
}

// ---- The column classes' displays -----------------------------------------------------------------

void TTextColumnDisplay::Paint() {
  TCellInfo Info;
  Info.AsString = AsString;
  WideString Text;
  Column()->GetDrawText(Info, Text);
  TRect R = CellRect;
  GetContentRect(R);
  DrawText(Text, R);
}

void TDateColumnDisplay::Paint() {
  TCellInfo Info;
  Info.AsString = AsString;
  Info.AsDateTime = AsDateTime;
  WideString Text;
  Column()->GetDrawText(Info, Text);
  TRect R = CellRect;
  GetContentRect(R);
  DrawText(Text, R);
}

Integer TImageColumnDisplay::GetContentWidth() {
  auto* C = dynamic_cast<TNxImageColumn*>(Column());
  return C && C->Images() ? C->Images()->Width() : 0;
}

void TImageColumnDisplay::Paint() {
  auto* C = dynamic_cast<TNxImageColumn*>(Column());
  TCustomImageList* Images = C ? C->Images() : nullptr;
  if (!Images || !Canvas || AsInteger < 0 || AsInteger >= Images->Count()) return;
  TPoint P = TCalcProvider::AlignInRect(Images->Width(), Images->Height(), 2, CellRect, C->Alignment(),
                                        C->VerticalAlignment());
  Images->Draw(Canvas, P.X, P.Y, AsInteger, true);
}
