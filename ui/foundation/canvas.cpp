#include "ui/foundation/canvas.h"

#include <algorithm>

#include "platform/forms/bitmap.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "ui/foundation/geometry.h"
#include "ui/foundation/graphics_unit.h"

RTL_IMPLEMENT_CLASS(TcxRegion)
RTL_IMPLEMENT_CLASS(TcxCanvas)
RTL_IMPLEMENT_CLASS(TcxControlCanvas)
RTL_IMPLEMENT_CLASS(TScreenCanvas)
RTL_IMPLEMENT_CLASS(TcxScreenCanvas)
RTL_IMPLEMENT_CLASS(TcxPaintCanvas)

namespace {

constexpr int kCombineModes[] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};

// Where no clip region is selected, everything up to this is visible.
constexpr Integer kNoClipExtent = 30000;

// Division rounding toward minus infinity, so that tiles left of or above
// the origin start where they should.
Integer FloorDiv(Integer A, Integer B) {
  Integer q = A / B;
  if ((A % B != 0) && ((A < 0) != (B < 0))) --q;
  return q;
}

TPoint operator-(const TPoint& A, const TPoint& B) { return TPoint(A.X - B.X, A.Y - B.Y); }

}  // namespace

// ---- TcxRegion ------------------------------------------------------------------------

TcxRegion::TcxRegion() : FHandle(CreateRectRgn(0, 0, 0, 0)) {}

TcxRegion::TcxRegion(HRGN AHandle) : FHandle(AHandle) {}

TcxRegion::TcxRegion(const TRect& R) : FHandle(CreateRectRgnIndirect(&R)) {}

TcxRegion::TcxRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom)
    : FHandle(CreateRectRgn(ALeft, ATop, ARight, ABottom)) {}

TcxRegion::~TcxRegion() { DestroyHandle(); }

TcxRegion* TcxRegion::CreateFromWindow(HWND AWindow) {
  auto* region = new TcxRegion();
  if (GetWindowRgn(AWindow, region->FHandle) == ERROR) {
    RECT r{};
    GetWindowRect(AWindow, &r);
    SetRectRgn(region->FHandle, 0, 0, r.Right - r.Left, r.Bottom - r.Top);
  }
  return region;
}

TcxRegion* TcxRegion::CreateRoundRect(const TRect& R, Integer AEllipseWidth, Integer AEllipseHeight) {
  return CreateRoundRectCoords(R.Left, R.Top, R.Right, R.Bottom, AEllipseWidth, AEllipseHeight);
}

TcxRegion* TcxRegion::CreateRoundRectCoords(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom,
                                            Integer AEllipseWidth, Integer AEllipseHeight) {
  return new TcxRegion(CreateRoundRectRgn(ALeft + 1, ATop + 1, ARight, ABottom, AEllipseWidth, AEllipseHeight));
}

void TcxRegion::CombineWith(TcxRegion* AOther, TcxRegionCombineMode AMode, bool AFreeOther) {
  if (AMode == rcmReplace)
    CombineRgn(FHandle, AOther->FHandle, nullptr, RGN_COPY);
  else
    CombineRgn(FHandle, FHandle, AOther->FHandle, kCombineModes[AMode]);
  if (AFreeOther && AOther != this) delete AOther;
}

void TcxRegion::CombineWithRect(const TRect& R, TcxRegionCombineMode AMode) {
  TcxRegion other(R);
  CombineWith(&other, AMode, false);
}

void TcxRegion::OffsetXY(Integer DX, Integer DY) { OffsetRgn(FHandle, DX, DY); }

void TcxRegion::DestroyHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

bool TcxRegion::IsEmpty() const {
  RECT r{};
  return !FHandle || GetRgnBox(FHandle, &r) == NULLREGION;
}

bool cxRegionContainsPoint(HRGN ARegion, const TPoint& P) { return PtInRegion(ARegion, P.X, P.Y) != FALSE; }

bool cxRegionContainsPoint(HRGN ARegion, Integer X, Integer Y) { return PtInRegion(ARegion, X, Y) != FALSE; }

// ---- Text flags ---------------------------------------------------------------------

UINT cxTextFlagsToDrawTextFlags(Integer AFlags) {
  UINT result = DT_NOPREFIX;
  if (AFlags & ctfRight) result |= DT_RIGHT;
  if (AFlags & ctfCenterH) result |= DT_CENTER;
  if (AFlags & ctfBottom) result |= DT_BOTTOM;
  if (AFlags & ctfCenterV) result |= DT_VCENTER;
  if (AFlags & ctfSingleLine) result |= DT_SINGLELINE;
  if (AFlags & ctfNoClip) result |= DT_NOCLIP;
  if (AFlags & ctfExpandTabs) result |= DT_EXPANDTABS;
  if (AFlags & ctfShowPrefix) result &= ~UINT(DT_NOPREFIX);
  if (AFlags & ctfWordBreak) {
    result |= DT_WORDBREAK;
    if (!(AFlags & ctfNoCharBreak))
      result |= DT_EDITCONTROL;
    else if (AFlags & ctfNoFullWidthCharBreak)
      result |= DT_NOFULLWIDTHCHARBREAK;
  }
  if (AFlags & ctfEndEllipsis) result |= DT_END_ELLIPSIS;
  if (AFlags & ctfCalcOnly) result |= DT_CALCRECT;
  if (AFlags & ctfPathEllipsis) result |= DT_PATH_ELLIPSIS;
  return result;
}

TBrushStyle cxBrushStyleOfLogBrush(const LOGBRUSH& ALogBrush) {
  if (ALogBrush.lbStyle == BS_HOLLOW) return bsClear;
  if (ALogBrush.lbStyle == BS_HATCHED && ALogBrush.lbHatch <= HS_DIAGCROSS)
    return static_cast<TBrushStyle>(bsHorizontal + static_cast<int>(ALogBrush.lbHatch - HS_HORIZONTAL));
  return bsSolid;
}

TPenMode cxPenModeOfROP2(Integer ARop2) {
  static constexpr int kRop2OfMode[] = {R2_BLACK,      R2_WHITE,    R2_NOP,         R2_NOT,      R2_COPYPEN,
                                        R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN,
                                        R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN,  R2_NOTMASKPEN,
                                        R2_XORPEN,     R2_NOTXORPEN};
  for (int mode = pmBlack; mode <= pmNotXor; ++mode)
    if (kRop2OfMode[mode] == ARop2) return static_cast<TPenMode>(mode);
  return pmCopy;
}

// ---- TcxCanvas ----------------------------------------------------------------------

TcxCanvas::TcxCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}

TcxCanvas::~TcxCanvas() {
  for (TcxRegion* region : FSavedRegions) delete region;
  for (const TcxCanvasState& state : FSavedStates) {
    delete state.Font;
    delete state.Brush;
    delete state.Pen;
  }
}

void TcxCanvas::DrawGraphic(Integer X, Integer Y, TGraphic* AGraphic) { FCanvas->Draw(X, Y, AGraphic); }

void TcxCanvas::StretchDrawGraphic(const TRect& R, TGraphic* AGraphic) { FCanvas->StretchDraw(R, AGraphic); }

void TcxCanvas::CopyFromCanvas(const TRect& ADestRect, TCanvas* ASource, const TRect& ASourceRect) {
  FCanvas->CopyRect(ADestRect, ASource, ASourceRect);
}

bool TcxCanvas::IsRectVisible(const TRect& R) { return RectVisible(FCanvas->Handle(), &R) != FALSE; }

void TcxCanvas::ClipOutRect(const TRect& R) { ExcludeClipRect(FCanvas->Handle(), R.Left, R.Top, R.Right, R.Bottom); }

void TcxCanvas::ClipToRect(const TRect& R) { IntersectClipRect(FCanvas->Handle(), R.Left, R.Top, R.Right, R.Bottom); }

TcxRegion* TcxCanvas::CaptureClipRegion(bool AConsiderOrigin) {
  auto* region = new TcxRegion();
  if (GetClipRgn(FCanvas->Handle(), region->Handle()) != 1)
    SetRectRgn(region->Handle(), 0, 0, kNoClipExtent, kNoClipExtent);
  if (AConsiderOrigin) {
    TPoint origin = ReadDCOrigin();
    region->OffsetXY(-origin.X, -origin.Y);
  }
  return region;
}

void TcxCanvas::ApplyClipRegion(TcxRegion* ARegion, TcxRegionCombineMode AMode, bool AFreeRegion,
                                bool AConsiderOrigin) {
  if (AMode != rcmReplace) {
    TcxRegion* clip = CaptureClipRegion(AConsiderOrigin);
    clip->CombineWith(ARegion, AMode, AFreeRegion);
    ApplyClipRegion(clip, rcmReplace, true, AConsiderOrigin);
    return;
  }
  TPoint origin;
  if (AConsiderOrigin) {
    origin = ReadDCOrigin();
    ARegion->OffsetBy(origin);
  }
  SelectClipRgn(FCanvas->Handle(), ARegion->Handle());
  if (AFreeRegion)
    delete ARegion;
  else if (AConsiderOrigin)
    ARegion->OffsetXY(-origin.X, -origin.Y);
}

TPoint TcxCanvas::ReadDCOrigin() { return ReadViewportOrigin() - ReadWindowOrigin(); }

TPoint TcxCanvas::ReadWindowOrigin() {
  POINT p{};
  GetWindowOrgEx(FCanvas->Handle(), &p);
  return p;
}

void TcxCanvas::WriteWindowOrigin(const TPoint& P) { SetWindowOrgEx(FCanvas->Handle(), P.X, P.Y, nullptr); }

TPoint TcxCanvas::ReadViewportOrigin() {
  POINT p{};
  GetViewportOrgEx(FCanvas->Handle(), &p);
  return p;
}

void TcxCanvas::WriteViewportOrigin(const TPoint& P) { SetViewportOrgEx(FCanvas->Handle(), P.X, P.Y, nullptr); }

void TcxCanvas::PushDC() {
  FCanvas->Lock();
  HDC dc = FCanvas->Handle();
  FSavedDCs.push_back({dc, SaveDC(dc)});
}

void TcxCanvas::PopDC() {
  if (FSavedDCs.empty()) return;
  TcxDCState state = FSavedDCs.back();
  FSavedDCs.pop_back();
  if (GetObjectType(state.Handle) == 0) {
    // The DC went meanwhile (a bitmap lets go of its DC when its handle is
    // taken): the canvas keeps or makes a live one instead of the dead one.
    FCanvas->Unlock();
    return;
  }
  FCanvas->SetHandle(state.Handle);
  RestoreDC(state.Handle, state.SavedDC);
  // RestoreDC put back the objects selected at the push; the canvas selects
  // its own (possibly re-created) ones again on next use.
  FCanvas->Refresh();
  FCanvas->Unlock();
}

void TcxCanvas::PushState() {
  PushDC();
  TcxCanvasState state{new TFont(), new TBrush(), new TPen()};
  state.Font->Assign(FCanvas->Font());
  state.Brush->Assign(FCanvas->Brush());
  state.Pen->Assign(FCanvas->Pen());
  FSavedStates.push_back(state);
}

void TcxCanvas::PopState() {
  if (FSavedStates.empty()) return;
  TcxCanvasState state = FSavedStates.back();
  FSavedStates.pop_back();
  FCanvas->SetFont(state.Font);
  FCanvas->SetBrush(state.Brush);
  FCanvas->SetPen(state.Pen);
  delete state.Font;
  delete state.Brush;
  delete state.Pen;
  PopDC();
}

void TcxCanvas::PushClipRegion() { FSavedRegions.push_back(CaptureClipRegion(true)); }

void TcxCanvas::PopClipRegion() {
  if (FSavedRegions.empty()) return;
  TcxRegion* region = FSavedRegions.back();
  FSavedRegions.pop_back();
  ApplyClipRegion(region, rcmReplace, true, true);
}

// ---- Fills, frames, borders ----------------------------------------------------------------

void TcxCanvas::SetBrushColor(TColor AColor) {
  TBrush* brush = FCanvas->Brush();
  if (brush->Color() != AColor || brush->Style() == bsClear) brush->SetColor(AColor);
}

void TcxCanvas::FillRectColor(const TRect& R, TColor AColor) {
  if (AColor == clNone) return;
  if (AColor != clDefault) SetBrushColor(AColor);
  FCanvas->FillRect(R);
}

void TcxCanvas::FillRectTiled(const TRect& R, TBitmap* ABitmap, bool AExclude) {
  if (cxRectHasNoArea(R)) return;
  if (!ABitmap || ABitmap->Empty()) {
    FCanvas->FillRect(R);
  } else {
    const Integer w = ABitmap->Width();
    const Integer h = ABitmap->Height();
    const Integer firstCol = FloorDiv(R.Left, w);
    const Integer lastCol = FloorDiv(R.Right - 1, w);
    const Integer firstRow = FloorDiv(R.Top, h);
    const Integer lastRow = FloorDiv(R.Bottom - 1, h);
    TCanvas* source = ABitmap->Canvas();
    for (Integer row = firstRow; row <= lastRow; ++row)
      for (Integer col = firstCol; col <= lastCol; ++col) {
        const Integer x = col * w;
        const Integer y = row * h;
        TRect part;
        if (!cxRectsIntersection(part, TRect(x, y, x + w, y + h), R)) continue;
        FCanvas->CopyRect(part, source, TRect(part.Left - x, part.Top - y, part.Right - x, part.Bottom - y));
      }
  }
  if (AExclude) ApplyClipRegion(new TcxRegion(R), rcmSubtract, true, true);
}

void TcxCanvas::FillRectBackground(const TRect& R, const TcxCanvasBackground& ABackground, bool AExclude) {
  SetBrushColor(ABackground.Color);
  FillRectTiled(R, ABackground.Bitmap, AExclude);
}

void TcxCanvas::FillRectWithFrame(const TRect& R, const TcxCanvasBackground& ABackground, bool AExclude,
                                  Integer AFrameWidth, TColor AFrameColor, TcxBorders ASides) {
  TRect inner = R;
  if (!ASides.Empty()) {
    DrawFrameSides(R, AFrameColor, AFrameWidth, ASides, AExclude);
    if (ASides.Contains(bLeft)) inner.Left += AFrameWidth;
    if (ASides.Contains(bTop)) inner.Top += AFrameWidth;
    if (ASides.Contains(bRight)) inner.Right -= AFrameWidth;
    if (ASides.Contains(bBottom)) inner.Bottom -= AFrameWidth;
  }
  FillRectBackground(inner, ABackground, AExclude);
}

void TcxCanvas::InvertRectArea(const TRect& R) {
  FCanvas->SetCopyMode(cmDstInvert);
  FCanvas->CopyRect(R, FCanvas, R);
  FCanvas->SetCopyMode(cmSrcCopy);
}

void TcxCanvas::DrawFrameSides(const TRect& R, TColor AColor, Integer AWidth, TcxBorders ASides, bool AExclude) {
  if (cxRectHasNoArea(R) || AColor == clNone) return;
  if (AColor != clDefault) SetBrushColor(AColor);
  if (ASides.Contains(bLeft))
    FillRectTiled(TRect(R.Left, R.Top, std::min(R.Left + AWidth, R.Right), R.Bottom), nullptr, AExclude);
  if (ASides.Contains(bRight))
    FillRectTiled(TRect(std::max(R.Right - AWidth, R.Left), R.Top, R.Right, R.Bottom), nullptr, AExclude);
  if (ASides.Contains(bTop))
    FillRectTiled(TRect(R.Left, R.Top, R.Right, std::min(R.Top + AWidth, R.Bottom)), nullptr, AExclude);
  if (ASides.Contains(bBottom))
    FillRectTiled(TRect(R.Left, std::max(R.Bottom - AWidth, R.Top), R.Right, R.Bottom), nullptr, AExclude);
}

void TcxCanvas::DrawTwoColorBorders(const TRect& R, TColor AFirstColor, TColor ASecondColor, TcxBorders ABorders,
                                    Integer AWidth) {
  if (ABorders.Contains(bLeft)) FillRectColor(TRect(R.Left, R.Top, R.Left + AWidth, R.Bottom), AFirstColor);
  if (ABorders.Contains(bTop)) FillRectColor(TRect(R.Left, R.Top, R.Right, R.Top + AWidth), AFirstColor);
  if (ABorders.Contains(bRight)) FillRectColor(TRect(R.Right - AWidth, R.Top, R.Right, R.Bottom), ASecondColor);
  if (ABorders.Contains(bBottom)) FillRectColor(TRect(R.Left, R.Bottom - AWidth, R.Right, R.Bottom), ASecondColor);
}

void TcxCanvas::Draw3DBorders(const TRect& R, bool ASunken, bool AOuter, TcxBorders ABorders) {
  TColor first, second;
  if (ASunken) {
    first = AOuter ? clBtnShadow : cl3DDkShadow;
    second = AOuter ? clBtnHighlight : cl3DLight;
  } else {
    first = AOuter ? cl3DLight : clBtnHighlight;
    second = AOuter ? cl3DDkShadow : clBtnShadow;
  }
  DrawTwoColorBorders(R, first, second, ABorders, 1);
}

void TcxCanvas::DrawFocusFrame(const TRect& R) {
  FCanvas->Brush()->SetColor(clWhite);
  FCanvas->Font()->SetColor(clBlack);
  ::DrawFocusRect(FCanvas->Handle(), &R);
}

void TcxCanvas::DrawFocusFrames(const TRect& R, Integer ACount) {
  TRect frame = R;
  for (Integer i = 0; i < ACount; ++i) {
    DrawFocusFrame(frame);
    frame = TRect(frame.Left + 1, frame.Top + 1, frame.Right - 1, frame.Bottom - 1);
  }
}

// ---- Text ---------------------------------------------------------------------------

TSize TcxCanvas::GetTextSize(const AnsiString& AText) {
  SIZE size{};
  if (!GetTextExtentPoint32A(FCanvas->Handle(), AText.c_str(), static_cast<int>(AText.size()), &size))
    return TSize(0, 0);
  return TSize(size.cx, size.cy);
}

void TcxCanvas::SetFontAngle(Integer ADegrees) {
  LOGFONTA log{};
  if (!GetObjectA(FCanvas->Font()->Handle(), sizeof(log), &log)) return;
  log.lfEscapement = ADegrees * 10;
  if (ADegrees != 0) log.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  FCanvas->Font()->SetHandle(CreateFontIndirectA(&log));
}

void TcxCanvas::OutputText(const AnsiString& AText, TRect R, Integer, bool ADrawTextRoute, UINT ADrawTextFlags,
                           UINT AExtTextOutOptions) {
  HDC dc = FCanvas->Handle();
  const int length = static_cast<int>(AText.size());
  if (ADrawTextRoute) {
    int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, AText.c_str(), length, &R, ADrawTextFlags);
    SetBkMode(dc, oldMode);
  } else {
    ExtTextOutA(dc, R.Left, R.Top, AExtTextOutOptions, &R, AText.c_str(), static_cast<UINT>(length), nullptr);
  }
}

void TcxCanvas::DrawTextInRect(const AnsiString& AText, const TRect& R, Integer AFlags, bool AEnabled) {
  if (AText.empty()) return;
  TRect r = R;
  const bool drawTextRoute =
      !(AFlags & ctfSingleLine) || (AFlags & (ctfShowPrefix | ctfEndEllipsis | ctfPathEllipsis)) != 0;
  const TSize textSize = GetTextSize(AText);
  if (cxRectGetWidth(r) >= textSize.cx && cxRectGetHeight(r) >= textSize.cy) AFlags |= ctfNoClip;
  UINT drawTextFlags = 0;
  UINT options = 0;
  const Integer d = AEnabled ? 0 : 1;
  if (drawTextRoute) {
    if (!(AFlags & ctfSingleLine) && (AFlags & (ctfBottom | ctfCenterV)))
      AlignTextBlockVertically(r, AText, (AFlags & ctfBottom) ? 1 : 2, (AFlags & ctfWordBreak) != 0,
                               (AFlags & ctfShowPrefix) != 0, AEnabled, (AFlags & ctfNoCharBreak) != 0,
                               (AFlags & ctfEndEllipsis) != 0);
    drawTextFlags = cxTextFlagsToDrawTextFlags(AFlags);
  } else {
    if (cxRectGetWidth(r) > textSize.cx) {
      if ((AFlags & 7) == ctfRight)
        r.Left = r.Right - textSize.cx - d;
      else if ((AFlags & 7) == ctfCenterH)
        r.Left = (r.Left + r.Right - textSize.cx) / 2;
    }
    if (cxRectGetHeight(r) > textSize.cy) {
      if (AFlags & ctfBottom)
        r.Top = r.Bottom - textSize.cy - d;
      else if (AFlags & ctfCenterV)
        r.Top = (r.Top + r.Bottom - textSize.cy) / 2;
    }
    options = (AFlags & ctfNoClip) ? 0 : ETO_CLIPPED;
  }
  TBrush* brush = FCanvas->Brush();
  TFont* font = FCanvas->Font();
  const TBrushStyle savedStyle = brush->Style();
  const TColor savedColor = font->Color();
  if (!AEnabled) {
    brush->SetStyle(bsClear);
    font->SetColor(clBtnHighlight);
    OutputText(AText, TRect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1), AFlags, drawTextRoute, drawTextFlags,
               options);
    font->SetColor(clBtnShadow);
  }
  OutputText(AText, r, AFlags, drawTextRoute, drawTextFlags, options);
  if (brush->Style() != savedStyle) brush->SetStyle(savedStyle);
  font->SetColor(savedColor);
}

void TcxCanvas::DrawTextAligned(const AnsiString& AText, const TRect& R, TAlignment AHorzAlignment,
                                TcxTextVertAlign AVertAlignment, bool AMultiLine, bool AShowEndEllipsis) {
  if (AText.empty()) return;
  static constexpr Integer kHorz[] = {ctfLeft, ctfRight, ctfCenterH};
  static constexpr Integer kVert[] = {ctfTop, ctfBottom, ctfCenterV};
  Integer flags = kHorz[AHorzAlignment] | kVert[AVertAlignment];
  flags |= AMultiLine ? ctfWordBreak : ctfSingleLine;
  if (AShowEndEllipsis) flags |= ctfEndEllipsis;
  DrawTextInRect(AText, R, flags, true);
}

void TcxCanvas::MeasureTextRect(const AnsiString& AText, TRect& R, Integer AFlags) {
  const Integer w = cxRectGetWidth(R);
  const Integer h = cxRectGetHeight(R);
  const UINT flags = cxTextFlagsToDrawTextFlags(AFlags);
  if (w <= 0 && !AText.empty()) R.Right = R.Left + 1;
  HDC dc = FCanvas->Handle();
  int oldMode = SetBkMode(dc, TRANSPARENT);
  int result = DrawTextA(dc, AText.c_str(), static_cast<int>(AText.size()), &R, (flags & ~UINT(DT_VCENTER)) | DT_CALCRECT);
  SetBkMode(dc, oldMode);
  if (result == 0) R = TRect(R.Left, R.Top, R.Left, R.Top);
  const Integer tw = cxRectGetWidth(R);
  const Integer th = cxRectGetHeight(R);
  Integer dx = 0, dy = 0;
  if (flags & DT_CENTER)
    dx = (w - tw) / 2;
  else if (flags & DT_RIGHT)
    dx = w - tw;
  if (flags & DT_VCENTER)
    dy = (h - th) / 2;
  else if (flags & DT_BOTTOM)
    dy = h - th;
  R = TRect(R.Left + dx, R.Top + dy, R.Right + dx, R.Bottom + dy);
}

void TcxCanvas::AlignTextBlockVertically(TRect& R, const AnsiString& AText, Integer AKind, bool AWordBreak,
                                         bool AShowPrefix, bool AEnabled, bool ANoCharBreak, bool AEndEllipsis) {
  if (AKind == 0) return;
  const Integer d = AEnabled ? 0 : 1;
  Integer blockHeight;
  if (AEndEllipsis && AWordBreak) {
    const Integer lineHeight = GetTextHeight("Zq");
    // A font that measures nothing has no lines to place.
    blockHeight = lineHeight > 0 ? std::max(lineHeight, lineHeight * ((cxRectGetHeight(R) - d) / lineHeight)) : 0;
  } else {
    TRect block(0, 0, cxRectGetWidth(R) - d, 0);
    Integer flags = ctfLeft | ctfTop;
    if (AWordBreak) flags |= ctfWordBreak;
    if (AShowPrefix) flags |= ctfShowPrefix;
    if (ANoCharBreak) flags |= ctfNoCharBreak;
    MeasureTextRect(AText, block, flags);
    blockHeight = cxRectGetHeight(block);
  }
  if (AKind == 1)
    R.Top = R.Bottom - (blockHeight + d);
  else
    R.Top = (R.Top + R.Bottom - blockHeight) / 2;
}

void TcxCanvas::CopyDCObjects(TCanvas* ACanvas, HDC ADC) {
  LOGFONTA logFont{};
  if (GetObjectA(GetCurrentObject(ADC, OBJ_FONT), sizeof(logFont), &logFont)) {
    ACanvas->Font()->SetHandle(CreateFontIndirectA(&logFont));
    ACanvas->Font()->SetColor(static_cast<TColor>(GetTextColor(ADC)));
  }
  LOGBRUSH logBrush{};
  if (GetObjectA(GetCurrentObject(ADC, OBJ_BRUSH), sizeof(logBrush), &logBrush)) {
    TBrush* brush = ACanvas->Brush();
    brush->SetHandle(CreateBrushIndirect(&logBrush));
    if (brush->Color() != static_cast<TColor>(logBrush.lbColor)) brush->SetColor(static_cast<TColor>(logBrush.lbColor));
    TBrushStyle style = cxBrushStyleOfLogBrush(logBrush);
    if (brush->Style() != style) brush->SetStyle(style);
  }
  LOGPEN logPen{};
  if (GetObjectA(GetCurrentObject(ADC, OBJ_PEN), sizeof(logPen), &logPen)) {
    TPen* pen = ACanvas->Pen();
    pen->SetHandle(CreatePenIndirect(&logPen));
    if (pen->Color() != static_cast<TColor>(logPen.lopnColor)) pen->SetColor(static_cast<TColor>(logPen.lopnColor));
    if (pen->Width() != logPen.lopnWidth.X) pen->SetWidth(logPen.lopnWidth.X);
    pen->SetMode(cxPenModeOfROP2(GetROP2(ADC)));
  }
}

// ---- TcxControlCanvas ---------------------------------------------------------------

TPoint TcxControlCanvas::ReadDCOrigin() {
  POINT window{};
  GetWindowOrgEx(Canvas()->Handle(), &window);
  return ReadViewportOrigin() - window;
}

TPoint TcxControlCanvas::ReadWindowOrigin() {
  POINT window{};
  GetWindowOrgEx(Canvas()->Handle(), &window);
  return window - FOrigin;
}

void TcxControlCanvas::WriteWindowOrigin(const TPoint& P) {
  SetWindowOrgEx(Canvas()->Handle(), P.X + FOrigin.X, P.Y + FOrigin.Y, nullptr);
}

void TcxControlCanvas::PrepareOrigin() {
  HDC dc = Canvas()->Handle();
  POINT window{};
  GetWindowOrgEx(dc, &window);
  FOrigin = window;
  POINT old{};
  SetBrushOrgEx(dc, FOrigin.X, FOrigin.Y, &old);
  FBrushOrigin = old;
}

void TcxControlCanvas::RestoreOrigin() {
  SetBrushOrgEx(Canvas()->Handle(), FBrushOrigin.X, FBrushOrigin.Y, nullptr);
  FBrushOrigin = TPoint(0, 0);
  FOrigin = TPoint(0, 0);
}

// ---- Screen canvases ------------------------------------------------------------------

TScreenCanvas::~TScreenCanvas() { ReleaseHandle(); }

void TScreenCanvas::CreateHandle() {
  FWindowHandle = GetDesktopWindow();
  FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  SetHandle(FDeviceContext);
}

void TScreenCanvas::ReleaseHandle() {
  if (!FDeviceContext) return;
  SetHandle(nullptr);
  ReleaseDC(FWindowHandle, FDeviceContext);
  FDeviceContext = nullptr;
  FWindowHandle = nullptr;
}

TcxScreenCanvas::TcxScreenCanvas() : TcxCanvas(new TScreenCanvas()) {}

TcxScreenCanvas::~TcxScreenCanvas() { delete Canvas(); }

void TcxScreenCanvas::ReleaseScreenDC() { static_cast<TScreenCanvas*>(Canvas())->ReleaseHandle(); }

// ---- TcxPaintCanvas -------------------------------------------------------------------

TcxPaintCanvas::~TcxPaintCanvas() {
  // Unfinished paints: the canvases made here go; DCs and canvases of
  // others are not touched, they may be gone already.
  for (Integer level = 0; level < FLevel; ++level) delete FStates[static_cast<size_t>(level)].OwnCanvas;
}

void TcxPaintCanvas::BeginLevel(TCanvas* ACanvas, Integer ASavedDC, TCanvas* AOwnCanvas, HDC ADC) {
  if (FStates.size() <= static_cast<size_t>(FLevel)) FStates.reserve(FStates.size() + 4);
  FStates.resize(static_cast<size_t>(FLevel) + 1);
  FStates[static_cast<size_t>(FLevel)] = {Canvas(), ASavedDC, AOwnCanvas, ADC};
  SetCanvas(ACanvas);
  PushState();
  ++FLevel;
}

void TcxPaintCanvas::StartPaintDC(HDC ADC) {
  const Integer saved = SaveDC(ADC);
  auto* canvas = new TCanvas();
  canvas->SetHandle(ADC);
  CopyDCObjects(canvas, ADC);
  BeginLevel(canvas, saved, canvas, ADC);
}

void TcxPaintCanvas::StartPaintCanvas(TCanvas* ACanvas) { BeginLevel(ACanvas, 0, nullptr, nullptr); }

void TcxPaintCanvas::FinishPaint() {
  if (FLevel == 0) return;
  --FLevel;
  PopState();
  const TcxPaintCanvasState state = FStates[static_cast<size_t>(FLevel)];
  if (state.OwnCanvas) {
    delete state.OwnCanvas;
    RestoreDC(state.DC, state.SavedDC);
  }
  SetCanvas(state.PrevCanvas);
}

// ---- Shared canvases ------------------------------------------------------------------

namespace {
TcxScreenCanvas* SharedScreenCanvas = nullptr;
TcxPaintCanvas* SharedPaintCanvas = nullptr;
}  // namespace

TcxScreenCanvas* cxSharedScreenCanvas() {
  if (cxGraphicsShuttingDown()) return nullptr;
  if (!SharedScreenCanvas) SharedScreenCanvas = new TcxScreenCanvas();
  return SharedScreenCanvas;
}

TcxPaintCanvas* cxSharedPaintCanvas() {
  if (cxGraphicsShuttingDown()) return nullptr;
  if (!SharedPaintCanvas) SharedPaintCanvas = new TcxPaintCanvas();
  return SharedPaintCanvas;
}

void cx_graphics_detail::FreeSharedCanvases() {
  FreeAndNil(SharedScreenCanvas);
  FreeAndNil(SharedPaintCanvas);
}
