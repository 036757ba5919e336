#include "grid/nx_shared_draw.h"

#include "grid/nx_shared_internal.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/assertions.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"

namespace NxSharedDraw {

TColor BlendColor(TColor A, TColor B, Integer Alpha) {
  Assert(Alpha >= 0 && Alpha < 256);
  return nx_detail::BlendColors(A, B, Alpha);
}

TColor MixColors(TColor A, TColor B, double Ratio) { return nx_detail::MixColors(A, B, Ratio); }

void SetClipRect(TCanvas* Canvas, const TRect& Rect) { nx_detail::SetClipRect(Canvas, Rect); }

void DrawTextInRect(TCanvas* Canvas, const TRect& Rect, TAlignment Alignment, const WideString& Text, bool NoPrefix) {
  UINT Flags = DT_END_ELLIPSIS | DT_EXTERNALLEADING | DT_SINGLELINE | DT_VCENTER;
  if (Alignment == taRightJustify)
    Flags |= DT_RIGHT;
  else if (Alignment == taCenter)
    Flags |= DT_CENTER;
  if (NoPrefix) Flags |= DT_NOPREFIX;
  nx_detail::DrawTextFlags(Canvas, Rect, Text, Flags);
}

void DrawAlphaBitmap(TCanvas* Canvas, Integer X, Integer Y, TBitmap* Bitmap) {
  nx_detail::DrawAlphaBitmap(Canvas, X, Y, Bitmap);
}

void DrawVerticalText(TCanvas* Canvas, const TRect& Rect, const WideString& Text, bool MultiLine) {
  // The line step is the canvas font's own height, taken before the
  // rotated font goes in behind the canvas's back.
  const Integer LineStep = Canvas->TextHeight(WideToAnsi(Text));
  HDC DC = Canvas->Handle();
  LOGFONTW Font{};
  GetObjectW(Canvas->Font()->Handle(), sizeof(Font), &Font);
  Font.lfEscapement = 900;
  Font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  HFONT Rotated = CreateFontIndirectW(&Font);
  HGDIOBJ Old = SelectObject(DC, Rotated);
  const UINT Flags = DT_NOPREFIX | DT_EXTERNALLEADING | DT_SINGLELINE | DT_BOTTOM;
  RECT R = Rect;
  if (MultiLine && Text.find(u'\r') != WideString::npos) {
    TStringList Lines;
    Lines.SetText(WideToAnsi(Text));
    for (Integer I = 0; I < Lines.Count(); ++I) {
      const WideString Line = AnsiToWide(Lines[I]);
      DrawTextW(DC, Line.c_str(), static_cast<int>(Line.size()), &R, Flags);
      R.Left += LineStep;
    }
  } else {
    DrawTextW(DC, Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
  }
  SelectObject(DC, Old);
  DeleteObject(Rotated);
}

void DrawGradient(TCanvas* Canvas, const TRect& Rect, TColor ColorFrom, TColor ColorTo) {
  const Integer H = Rect.Bottom - Rect.Top;
  if (H <= 0) return;
  for (Integer Y = Rect.Top; Y < Rect.Bottom; ++Y) {
    Canvas->Pen()->SetColor(nx_detail::MixColors(ColorFrom, ColorTo, static_cast<double>(Y - Rect.Top) / H));
    Canvas->MoveTo(Rect.Left, Y);
    Canvas->LineTo(Rect.Right, Y);
  }
}

}  // namespace NxSharedDraw
