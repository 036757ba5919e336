#include "grid/nx_shared_common.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "grid/nx_shared_internal.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/assertions.h"
#include "platform/win/gdi/gdi.h"

// ---- Shared implementation ------------------------------------------------------

namespace nx_detail {

TColor BlendColors(TColor A, TColor B, Integer Alpha) {
  const uint32_t CA = ColorToRGB(A), CB = ColorToRGB(B);
  const uint32_t Al = static_cast<uint32_t>(Alpha), Be = 255u - Al;
  // Red and blue in one product: 255 x 255 fits in the 16 bits between
  // them, so neither spills into the other.
  const uint32_t RB = (((CA & 0xFF00FFu) * Al + (CB & 0xFF00FFu) * Be) >> 8) & 0xFF00FFu;
  const uint32_t G = (((CA & 0xFF00u) * Al + (CB & 0xFF00u) * Be) >> 8) & 0xFF00u;
  return static_cast<TColor>(RB | G);
}

TColor MixColors(TColor A, TColor B, double Ratio) {
  const uint32_t CA = ColorToRGB(A), CB = ColorToRGB(B);
  uint32_t Result = 0;
  for (int Shift = 0; Shift <= 16; Shift += 8) {
    const double CAc = (CA >> Shift) & 0xFF, CBc = (CB >> Shift) & 0xFF;
    // nearbyint rounds halves to even, as the runtime's Round does.
    const long V = std::lrint(std::nearbyint(Ratio * CBc + (1 - Ratio) * CAc));
    Result |= static_cast<uint32_t>(std::clamp<long>(V, 0, 255)) << Shift;
  }
  return static_cast<TColor>(Result);
}

void SetClipRect(TCanvas* Canvas, const TRect& Rect) {
  HRGN Region = CreateRectRgn(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  SelectClipRgn(Canvas->Handle(), Region);
  DeleteObject(Region);
}

void DrawTextFlags(TCanvas* Canvas, const TRect& Rect, const WideString& Text, Cardinal Flags) {
  Canvas->Brush()->SetStyle(bsClear);
  RECT R = Rect;
  DrawTextW(Canvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
  Canvas->Brush()->SetStyle(bsSolid);
}

void DrawAlphaBitmap(TCanvas* Canvas, Integer X, Integer Y, TBitmap* Bitmap) {
  if (Bitmap->PixelFormat() != pf32bit) {
    Canvas->Draw(X, Y, Bitmap);
    return;
  }
  const Integer W = Bitmap->Width(), H = Bitmap->Height();
  if (W <= 0 || H <= 0) return;
  auto Output = std::make_unique<TBitmap>();
  Output->SetPixelFormat(pf32bit);
  Output->SetSize(W, H);
  auto Background = std::make_unique<TBitmap>();
  Background->SetPixelFormat(pf32bit);
  Background->SetSize(W, H);
  BitBlt(Background->Canvas()->Handle(), 0, 0, W, H, Canvas->Handle(), X, Y, SRCCOPY);
  for (Integer Row = 0; Row < H; ++Row) {
    const auto* S = static_cast<const uint8_t*>(Bitmap->ScanLine(Row));
    const auto* D = static_cast<const uint8_t*>(Background->ScanLine(Row));
    auto* O = static_cast<uint8_t*>(Output->ScanLine(Row));
    for (Integer Col = 0; Col < W; ++Col, S += 4, D += 4, O += 4) {
      const TColor Src = S[2] | (S[1] << 8) | (S[0] << 16);
      const TColor Dst = D[2] | (D[1] << 8) | (D[0] << 16);
      const TColor C = BlendColors(Src, Dst, S[3]);
      O[0] = static_cast<uint8_t>(C >> 16);
      O[1] = static_cast<uint8_t>(C >> 8);
      O[2] = static_cast<uint8_t>(C);
      // The fourth byte is the source's, as the output is its copy.
      O[3] = S[3];
    }
  }
  Canvas->Draw(X, Y, Output.get());
}

}  // namespace nx_detail

// ---- TCalcProvider ---------------------------------------------------------------

bool TCalcProvider::RectsIntersect(const TRect& R1, const TRect& R2) {
  return !(R1.Right < R2.Left || R1.Left > R2.Right || R1.Bottom < R2.Top || R1.Top > R2.Bottom);
}

TPoint TCalcProvider::AlignInRect(Integer Width, Integer Height, Integer Margin, const TRect& Rect,
                                  TAlignment HorzAlign, TVerticalAlignment VertAlign) {
  TPoint P;
  switch (HorzAlign) {
    case taLeftJustify:
      P.X = Rect.Left + Margin;
      break;
    case taRightJustify:
      P.X = Rect.Right - (Margin + Width);
      break;
    case taCenter:
      P.X = Rect.Left + (Rect.Right - Rect.Left) / 2 - Width / 2;
      break;
  }
  switch (VertAlign) {
    case taAlignTop:
      P.Y = Rect.Top + Margin;
      break;
    case taAlignBottom:
      P.Y = Rect.Bottom - (Margin + Height);
      break;
    case taVerticalCenter:
      P.Y = Rect.Top + (Rect.Bottom - Rect.Top) / 2 - Height / 2;
      break;
  }
  return P;
}

TRect TCalcProvider::ResizeRect(const TRect& Rect, Integer DLeft, Integer DTop, Integer DRight, Integer DBottom) {
  return TRect(Rect.Left + DLeft, Rect.Top + DTop, Rect.Right + DRight, Rect.Bottom + DBottom);
}

// ---- TGraphicsProvider -------------------------------------------------------------

TColor TGraphicsProvider::BlendColor(TColor A, TColor B, Integer Alpha) {
  Assert(Alpha >= 0 && Alpha < 256);
  return nx_detail::BlendColors(A, B, Alpha);
}

TColor TGraphicsProvider::MixColors(TColor A, TColor B, double Ratio) { return nx_detail::MixColors(A, B, Ratio); }

void TGraphicsProvider::SetClipRect(TCanvas* Canvas, const TRect& Rect) { nx_detail::SetClipRect(Canvas, Rect); }

void TGraphicsProvider::DrawButtonFrame(TCanvas* Canvas, const TRect& Rect, bool Dark) {
  Canvas->Brush()->SetColor(clBtnFace);
  Canvas->FillRect(TRect(Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1));
  TRect R = Rect;
  Frame3D(Canvas, R, clBtnHighlight, Dark ? clWindowFrame : clBtnShadow, 1);
}

void TGraphicsProvider::DrawFocusFrame(TCanvas* Canvas, const TRect& Rect, bool Solid) {
  if (Solid) {
    Canvas->Brush()->SetColor(clHighlight);
    Canvas->FrameRect(Rect);
    return;
  }
  HDC DC = Canvas->Handle();
  COLORREF OldBk = SetBkColor(DC, RGB(0, 0, 0));
  COLORREF OldText = SetTextColor(DC, RGB(255, 255, 255));
  RECT R = Rect;
  ::DrawFocusRect(DC, &R);
  SetBkColor(DC, OldBk);
  SetTextColor(DC, OldText);
}

void TGraphicsProvider::DrawTextRect(TCanvas* Canvas, const TRect& Rect, TAlignment Alignment, const WideString& Text,
                                     bool RightToLeft) {
  NxSharedCommon::DrawTextInRect(Canvas, Rect, Alignment, Text, RightToLeft);
}

void TGraphicsProvider::DrawTextRectEx(TCanvas* Canvas, const TRect& Rect, TAlignment HorzAlign,
                                       TVerticalAlignment VertAlign, bool WordWrap, const WideString& Text,
                                       TBiDiMode BiDiMode) {
  UINT Flags = DT_NOPREFIX;
  if (HorzAlign == taRightJustify)
    Flags |= DT_RIGHT;
  else if (HorzAlign == taCenter)
    Flags |= DT_CENTER;
  RECT Target = Rect;
  if (WordWrap) {
    Flags |= DT_WORDBREAK;
    RECT Measured = Target;
    WideString Copy = Text;
    DrawTextExW(Canvas->Handle(), Copy.data(), static_cast<int>(Copy.size()), &Measured, Flags | DT_CALCRECT,
                nullptr);
    if (VertAlign == taAlignBottom)
      Target.Top = Target.Bottom - (Measured.Bottom - Measured.Top);
    else if (VertAlign == taVerticalCenter)
      Target.Top += static_cast<Integer>(std::nearbyint((Target.Bottom - Measured.Bottom) / 2.0));
  } else {
    Flags |= DT_SINGLELINE;
    if (VertAlign == taAlignBottom)
      Flags |= DT_BOTTOM;
    else if (VertAlign == taVerticalCenter)
      Flags |= DT_VCENTER;
  }
  if (BiDiMode == bdRightToLeft) Flags |= DT_RTLREADING;
  nx_detail::DrawTextFlags(Canvas, Target, Text, Flags);
}

// ---- TMaskProvider and TDrawProvider ---------------------------------------------------

TColor TMaskProvider::BlendColor(TColor A, TColor B, Integer Alpha) {
  Assert(Alpha >= 0 && Alpha < 256);
  return nx_detail::BlendColors(A, B, Alpha);
}

void TDrawProvider::DrawBitmap(TCanvas* Canvas, Integer X, Integer Y, TBitmap* Bitmap) {
  if (Bitmap->PixelFormat() != pf32bit) {
    Canvas->Draw(X, Y, Bitmap);
    return;
  }
  const Integer W = Bitmap->Width(), H = Bitmap->Height();
  if (W <= 0 || H <= 0) return;
  auto Background = std::make_unique<TBitmap>();
  Background->SetPixelFormat(pf24bit);
  Background->SetSize(W, H);
  BitBlt(Background->Canvas()->Handle(), 0, 0, W, H, Canvas->Handle(), X, Y, SRCCOPY);
  for (Integer Row = 0; Row < H; ++Row) {
    const auto* S = static_cast<const uint8_t*>(Bitmap->ScanLine(Row));
    auto* D = static_cast<uint8_t*>(Background->ScanLine(Row));
    for (Integer Col = 0; Col < W; ++Col, S += 4, D += 3)
      for (int Ch = 0; Ch < 3; ++Ch) D[Ch] = NxSharedCommon::BlendChannel(S[Ch], D[Ch], S[3]);
  }
  Canvas->Draw(X, Y, Background.get());
}

// ---- Plain routines ---------------------------------------------------------------

namespace NxSharedCommon {

bool IsPointFar(const TPoint& P, const TPoint& Q, Integer Distance) {
  return P.X < Q.X - Distance || P.X > Q.X + Distance || P.Y < Q.Y - Distance || P.Y > Q.Y + Distance;
}

Byte BlendChannel(Integer S, Integer D, Integer Alpha) {
  const double V = std::nearbyint(Alpha * S / 255.0) + std::nearbyint((1 - Alpha / 255.0) * D);
  return static_cast<Byte>(std::clamp(V, 0.0, 255.0));
}

void SetClipRect(TCanvas* Canvas, const TRect& Rect) { nx_detail::SetClipRect(Canvas, Rect); }

void DrawTextInRect(TCanvas* Canvas, const TRect& Rect, TAlignment Alignment, const WideString& Text,
                    bool RightToLeft) {
  UINT Flags = DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXTERNALLEADING | DT_SINGLELINE | DT_VCENTER;
  if (Alignment == taRightJustify)
    Flags |= DT_RIGHT;
  else if (Alignment == taCenter)
    Flags |= DT_CENTER;
  if (RightToLeft) Flags |= DT_RTLREADING;
  nx_detail::DrawTextFlags(Canvas, Rect, Text, Flags);
}

void DrawAlphaBitmap(TCanvas* Canvas, Integer X, Integer Y, TBitmap* Bitmap) {
  nx_detail::DrawAlphaBitmap(Canvas, X, Y, Bitmap);
}

}  // namespace NxSharedCommon
