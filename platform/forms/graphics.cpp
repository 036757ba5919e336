#include "platform/forms/graphics.h"

#include <cstring>

#include "platform/forms/bitmap.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/strutils.h"

RTL_IMPLEMENT_CLASS(EInvalidGraphic)
RTL_IMPLEMENT_CLASS(EInvalidGraphicOperation)
RTL_IMPLEMENT_CLASS(EOutOfResources)
RTL_IMPLEMENT_CLASS(TGraphicsObject)
RTL_IMPLEMENT_CLASS(TCanvas)

namespace rtl::detail {

[[noreturn]] void RaiseGDIError() {
  Cardinal code = GetLastError();
  AnsiString text = code ? SysErrorMessage(code) : AnsiString();
  throw EOutOfResources(text.empty() ? AnsiString("Out of system resources") : text);
}

}  // namespace rtl::detail

namespace {

template <class T>
T GDICheck(T value) {
  if (!value) rtl::detail::RaiseGDIError();
  return value;
}

// ---- Colour names ---------------------------------------------------------

constexpr TIdentMapEntry kColorIdents[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

constexpr TIdentMapEntry kCharsetIdents[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"},
    {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {MAC_CHARSET, "MAC_CHARSET"},
    {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
    {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"},
    {GB2312_CHARSET, "GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
    {GREEK_CHARSET, "GREEK_CHARSET"},
    {TURKISH_CHARSET, "TURKISH_CHARSET"},
    {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, "HEBREW_CHARSET"},
    {ARABIC_CHARSET, "ARABIC_CHARSET"},
    {BALTIC_CHARSET, "BALTIC_CHARSET"},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
    {THAI_CHARSET, "THAI_CHARSET"},
    {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"},
};

// Copies a face name into a LOGFONT, cut to fit and zero-padded so that
// two descriptions compare byte for byte.
void PutFaceName(LOGFONTA& lf, const AnsiString& name) {
  std::memset(lf.lfFaceName, 0, sizeof(lf.lfFaceName));
  std::memcpy(lf.lfFaceName, name.data(), std::min<size_t>(name.size(), LF_FACESIZE - 1));
}

LOGFONTA Normalized(const LOGFONTA& lf) {
  LOGFONTA r = lf;
  PutFaceName(r, AnsiString(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE)));
  return r;
}

bool SameLog(const LOGFONTA& a, const LOGFONTA& b) { return std::memcmp(&a, &b, sizeof(LOGFONTA)) == 0; }

constexpr int kPenStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};

constexpr int kPenModes[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,        R2_COPYPEN,     R2_NOTCOPYPEN,
                             R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                             R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};

constexpr UINT kTextFormatFlags[] = {
    DT_BOTTOM,        DT_CALCRECT,  DT_CENTER,   DT_EDITCONTROL,  DT_END_ELLIPSIS,   DT_PATH_ELLIPSIS,
    DT_EXPANDTABS,    DT_EXTERNALLEADING, DT_LEFT, DT_MODIFYSTRING, DT_NOCLIP,        DT_NOPREFIX,
    DT_RIGHT,         DT_RTLREADING, DT_SINGLELINE, DT_TOP,         DT_VCENTER,        DT_WORDBREAK,
    DT_HIDEPREFIX,    DT_NOFULLWIDTHCHARBREAK, DT_PREFIXONLY, DT_TABSTOP, DT_WORD_ELLIPSIS, 0};

}  // namespace

RTL_IMPLEMENT_PUBLISHED(TFont,
                        RTL_PROP(Charset).Idents(kCharsetIdents),
                        RTL_PROP(Color).Idents(kColorIdents),
                        RTL_PROP(Height),
                        RTL_PROP(Name),
                        RTL_PROP(Orientation).Default(0),
                        RTL_PROP(Pitch).Default(fpDefault),
                        RTL_PROP(Size).Stored(false),
                        RTL_PROP(Style).Default({}),
                        RTL_PROP(Quality).Default(fqDefault))
RTL_IMPLEMENT_PUBLISHED(TPen,
                        RTL_PROP(Color).Default(clBlack).Idents(kColorIdents),
                        RTL_PROP(Mode).Default(pmCopy),
                        RTL_PROP(Style).Default(psSolid),
                        RTL_PROP(Width).Default(1))
RTL_IMPLEMENT_PUBLISHED(TBrush,
                        RTL_PROP(Color).Default(clWhite).Idents(kColorIdents),
                        RTL_PROP(Style).Default(bsSolid))

// ---- Colours --------------------------------------------------------------

COLORREF ColorToRGB(TColor Color) {
  if (Color < 0) return GetSysColor(Color & 0xFF);
  return static_cast<COLORREF>(Color);
}

bool ColorToIdent(TColor Color, AnsiString& Ident) { return IntToIdent(Color, Ident, kColorIdents); }

bool IdentToColor(const AnsiString& Ident, TColor& Color) { return IdentToInt(Ident, Color, kColorIdents); }

std::span<const TIdentMapEntry> ColorIdentMap() { return kColorIdents; }

std::span<const TIdentMapEntry> CharsetIdentMap() { return kCharsetIdents; }

AnsiString ColorToString(TColor Color) {
  AnsiString s;
  if (ColorToIdent(Color, s)) return s;
  return "$" + IntToHex(Color, 8);
}

TColor StringToColor(const AnsiString& S) {
  TColor c;
  if (IdentToColor(S, c)) return c;
  return StrToInt(S);
}

// ---- TGraphicsObject ------------------------------------------------------

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

void TGraphicsObject::Lock() {
  if (FOwnerLock) FOwnerLock->lock();
}

void TGraphicsObject::Unlock() {
  if (FOwnerLock) FOwnerLock->unlock();
}

void TGraphicsObject::ChangedReleasing(HGDIOBJ Old, HGDIOBJ Now) {
  struct TRelease {
    TGraphicsObject* Self;
    HGDIOBJ Old, Now;
    ~TRelease() {
      if (Old && Old != Now) DeleteObject(Old);
      Self->Unlock();
    }
  } release{this, Old, Now};
  Changed();
}

// ---- Fonts ----------------------------------------------------------------

Integer ScreenLogPixels() {
  static const Integer value = [] {
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) DeleteDC(dc);
    return dpi > 0 ? dpi : 96;
  }();
  return value;
}

TFontData& DefFontData() {
  static TFontData data = [] {
    TFontData d;
    d.Height = -MulDiv(8, ScreenLogPixels(), 72);
    d.Name = "Tahoma";
    return d;
  }();
  return data;
}

TFont::TFont() : FPixelsPerInch(ScreenLogPixels()) { SetData(DefFontData()); }

TFont::~TFont() {
  if (FHandle) DeleteObject(FHandle);
}

void TFont::SetData(const TFontData& Data) {
  LOGFONTA lf{};
  lf.lfHeight = Data.Height;
  lf.lfEscapement = Data.Orientation;
  lf.lfOrientation = Data.Orientation;
  lf.lfWeight = Data.Style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = Data.Style.Contains(fsItalic);
  lf.lfUnderline = Data.Style.Contains(fsUnderline);
  lf.lfStrikeOut = Data.Style.Contains(fsStrikeOut);
  lf.lfCharSet = Data.Charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = static_cast<BYTE>(Data.Quality);
  lf.lfPitchAndFamily = Data.Pitch == fpFixed ? FIXED_PITCH : Data.Pitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
  PutFaceName(lf, Data.Name);
  FLog = lf;
}

void TFont::Modify(const LOGFONTA& Log) {
  if (SameLog(Log, FLog)) return;
  Lock();
  FLog = Log;
  HFONT old = FHandle;
  FHandle = nullptr;
  ChangedReleasing(old, nullptr);
}

void TFont::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TFont*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  LOGFONTA lf = src->FLog;
  // The same point size at this font's resolution.
  if (FPixelsPerInch != src->FPixelsPerInch) lf.lfHeight = -MulDiv(src->Size(), FPixelsPerInch, 72);
  if (src->FColor != FColor) {
    FColor = src->FColor;
    if (SameLog(lf, FLog)) {
      Changed();
      return;
    }
  }
  Modify(lf);
}

HFONT TFont::Handle() {
  if (!FHandle) {
    Lock();
    LOGFONTA lf = FLog;
    if (SameText(AnsiString(lf.lfFaceName), "Default")) PutFaceName(lf, DefFontData().Name);
    FHandle = CreateFontIndirectA(&lf);
    Unlock();
    GDICheck(FHandle);
  }
  return FHandle;
}

void TFont::SetHandle(HFONT Value) {
  if (Value == FHandle) return;
  LOGFONTA lf = FLog;
  if (Value && GetObjectA(Value, sizeof(lf), &lf) == 0) rtl::detail::RaiseGDIError();
  Lock();
  FLog = Normalized(lf);
  HFONT old = FHandle;
  FHandle = Value;
  ChangedReleasing(old, Value);
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

TFontName TFont::Name() const { return AnsiString(FLog.lfFaceName, strnlen(FLog.lfFaceName, LF_FACESIZE)); }

void TFont::SetName(const TFontName& Value) {
  if (Value.empty()) return;
  LOGFONTA lf = FLog;
  PutFaceName(lf, Value);
  Modify(lf);
}

void TFont::SetHeight(Integer Value) {
  LOGFONTA lf = FLog;
  lf.lfHeight = Value;
  Modify(lf);
}

Integer TFont::Size() const { return -MulDiv(FLog.lfHeight, 72, FPixelsPerInch); }

void TFont::SetSize(Integer Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

TFontStyles TFont::Style() const {
  TFontStyles s;
  if (FLog.lfWeight >= FW_BOLD) s.Include(fsBold);
  if (FLog.lfItalic) s.Include(fsItalic);
  if (FLog.lfUnderline) s.Include(fsUnderline);
  if (FLog.lfStrikeOut) s.Include(fsStrikeOut);
  return s;
}

void TFont::SetStyle(TFontStyles Value) {
  LOGFONTA lf = FLog;
  lf.lfWeight = Value.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = Value.Contains(fsItalic);
  lf.lfUnderline = Value.Contains(fsUnderline);
  lf.lfStrikeOut = Value.Contains(fsStrikeOut);
  Modify(lf);
}

void TFont::SetCharset(TFontCharset Value) {
  LOGFONTA lf = FLog;
  lf.lfCharSet = Value;
  Modify(lf);
}

TFontPitch TFont::Pitch() const {
  switch (FLog.lfPitchAndFamily & 3) {
    case FIXED_PITCH:
      return fpFixed;
    case VARIABLE_PITCH:
      return fpVariable;
    default:
      return fpDefault;
  }
}

void TFont::SetPitch(TFontPitch Value) {
  LOGFONTA lf = FLog;
  BYTE pitch = Value == fpFixed ? FIXED_PITCH : Value == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
  lf.lfPitchAndFamily = static_cast<BYTE>((lf.lfPitchAndFamily & ~3) | pitch);
  Modify(lf);
}

void TFont::SetOrientation(Integer Value) {
  LOGFONTA lf = FLog;
  lf.lfEscapement = Value;
  lf.lfOrientation = Value;
  Modify(lf);
}

TFontQuality TFont::Quality() const {
  return FLog.lfQuality <= fqClearTypeNatural ? static_cast<TFontQuality>(FLog.lfQuality) : fqDefault;
}

void TFont::SetQuality(TFontQuality Value) {
  LOGFONTA lf = FLog;
  lf.lfQuality = static_cast<BYTE>(Value);
  Modify(lf);
}

// ---- Pens -----------------------------------------------------------------

TPen::~TPen() {
  if (FHandle) DeleteObject(FHandle);
}

void TPen::Replace(TColor Color, Integer Width, TPenStyle Style, HPEN Handle) {
  Lock();
  FColor = Color;
  FWidth = Width;
  FStyle = Style;
  HPEN old = FHandle;
  FHandle = Handle;
  ChangedReleasing(old, Handle);
}

void TPen::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TPen*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  bool same = src->FColor == FColor && src->FWidth == FWidth && src->FStyle == FStyle;
  if (same && src->FMode == FMode) return;
  FMode = src->FMode;
  if (same)
    Changed();
  else
    Replace(src->FColor, src->FWidth, src->FStyle, nullptr);
}

HPEN TPen::Handle() {
  if (!FHandle) {
    LOGPEN lp{};
    lp.lopnStyle = kPenStyles[FStyle];
    lp.lopnWidth = POINT(FWidth, 0);
    lp.lopnColor = ColorToRGB(FColor);
    FHandle = GDICheck(CreatePenIndirect(&lp));
  }
  return FHandle;
}

void TPen::SetHandle(HPEN Value) {
  if (Value == FHandle) return;
  TColor color = FColor;
  Integer width = FWidth;
  TPenStyle style = FStyle;
  if (Value) {
    DWORD kind;
    if (GetObjectType(Value) == OBJ_EXTPEN) {
      EXTLOGPEN ep{};
      if (GetObjectA(Value, sizeof(ep), &ep) == 0) rtl::detail::RaiseGDIError();
      kind = ep.elpPenStyle & PS_STYLE_MASK;
      width = static_cast<Integer>(ep.elpWidth);
      color = static_cast<TColor>(ep.elpColor);
    } else {
      LOGPEN lp{};
      if (GetObjectA(Value, sizeof(lp), &lp) == 0) rtl::detail::RaiseGDIError();
      kind = lp.lopnStyle & PS_STYLE_MASK;
      width = lp.lopnWidth.X;
      color = static_cast<TColor>(lp.lopnColor);
    }
    style = kind <= PS_INSIDEFRAME ? static_cast<TPenStyle>(kind) : psSolid;
  }
  Replace(color, width, style, Value);
}

void TPen::SetColor(TColor Value) {
  if (Value != FColor) Replace(Value, FWidth, FStyle, nullptr);
}

void TPen::SetWidth(Integer Value) {
  if (Value >= 0 && Value != FWidth) Replace(FColor, Value, FStyle, nullptr);
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value != FStyle) Replace(FColor, FWidth, Value, nullptr);
}

void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  Changed();
}

// ---- Brushes --------------------------------------------------------------

TBrush::~TBrush() {
  if (FHandle) DeleteObject(FHandle);
}

void TBrush::Replace(TColor Color, TBrushStyle Style, TBitmap* Bitmap, HBRUSH Handle) {
  Lock();
  FColor = Color;
  FStyle = Style;
  FBitmap = Bitmap;
  HBRUSH old = FHandle;
  FHandle = Handle;
  ChangedReleasing(old, Handle);
}

void TBrush::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TBrush*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src->FColor != FColor || src->FStyle != FStyle || src->FBitmap != FBitmap)
    Replace(src->FColor, src->FStyle, src->FBitmap, nullptr);
}

HBRUSH TBrush::Handle() {
  if (!FHandle) {
    if (FBitmap) {
      FHandle = GDICheck(CreatePatternBrush(FBitmap->Handle()));
    } else {
      LOGBRUSH lb{};
      lb.lbColor = ColorToRGB(FColor);
      switch (FStyle) {
        case bsSolid:
          lb.lbStyle = BS_SOLID;
          break;
        case bsClear:
          lb.lbStyle = BS_HOLLOW;
          break;
        default:
          lb.lbStyle = BS_HATCHED;
          lb.lbHatch = static_cast<ULONG_PTR>(FStyle - bsHorizontal);
          break;
      }
      FHandle = GDICheck(CreateBrushIndirect(&lb));
    }
  }
  return FHandle;
}

void TBrush::SetHandle(HBRUSH Value) {
  if (Value == FHandle) return;
  TColor color = FColor;
  TBrushStyle style = FStyle;
  if (Value) {
    LOGBRUSH lb{};
    if (GetObjectA(Value, sizeof(lb), &lb) == 0) rtl::detail::RaiseGDIError();
    color = static_cast<TColor>(lb.lbColor);
    switch (lb.lbStyle) {
      case BS_HOLLOW:
        style = bsClear;
        break;
      case BS_HATCHED:
        style = lb.lbHatch <= HS_DIAGCROSS ? static_cast<TBrushStyle>(bsHorizontal + lb.lbHatch) : bsSolid;
        break;
      default:
        style = bsSolid;
        break;
    }
  }
  Replace(color, style, nullptr, Value);
}

void TBrush::SetColor(TColor Value) {
  if (Value == FColor && FStyle != bsClear) return;
  Replace(Value, FStyle == bsClear ? bsSolid : FStyle, FBitmap, nullptr);
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value != FStyle) Replace(FColor, Value, FBitmap, nullptr);
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (Value != FBitmap) Replace(FColor, FStyle, Value, nullptr);
}

// ---- TCanvas --------------------------------------------------------------

UINT TextFormatToFlags(TTextFormat Format) {
  UINT flags = 0;
  for (int i = 0; i <= tfComposited; ++i)
    if (Format.Contains(static_cast<TTextFormats>(i))) flags |= kTextFormatFlags[i];
  return flags;
}

TCanvas::TCanvas() : FFont(new TFont), FPen(new TPen), FBrush(new TBrush) {
  FFont->OnChange = TNotifyEvent(this, &TCanvas::FontChanged);
  FFont->SetOwnerCriticalSection(&FLock);
  FPen->OnChange = TNotifyEvent(this, &TCanvas::PenChanged);
  FPen->SetOwnerCriticalSection(&FLock);
  FBrush->OnChange = TNotifyEvent(this, &TCanvas::BrushChanged);
  FBrush->SetOwnerCriticalSection(&FLock);
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::CreateHandle() {}

HGDIOBJ TCanvas::Select(HGDIOBJ Object, HGDIOBJ& Old) {
  HGDIOBJ prev = SelectObject(FHandle, Object);
  if (!Old) Old = prev;
  return prev;
}

void TCanvas::Deselect(TCanvasStates Which, HGDIOBJ& Old) {
  if (!FState.Contains(Which)) return;
  FState.Exclude(Which);
  if (FHandle && Old) SelectObject(FHandle, Old);
}

void TCanvas::FontChanged(TObject*) { Deselect(csFontValid, FOldFont); }
void TCanvas::PenChanged(TObject*) { Deselect(csPenValid, FOldPen); }
void TCanvas::BrushChanged(TObject*) { Deselect(csBrushValid, FOldBrush); }

void TCanvas::CreateFont() {
  Select(FFont->Handle(), FOldFont);
  SetTextColor(FHandle, ColorToRGB(FFont->Color()));
}

void TCanvas::CreatePen() {
  Select(FPen->Handle(), FOldPen);
  SetROP2(FHandle, kPenModes[FPen->Mode()]);
}

void TCanvas::CreateBrush() {
  HBRUSH brush = FBrush->Handle();
  UnrealizeObject(brush);
  Select(brush, FOldBrush);
  COLORREF color = ColorToRGB(FBrush->Color());
  if (FBrush->Style() == bsSolid) {
    SetBkColor(FHandle, color);
    SetBkMode(FHandle, OPAQUE);
  } else {
    // Hatches show their gaps; the background colour is only a fallback.
    SetBkColor(FHandle, ~color & 0xFFFFFFu);
    SetBkMode(FHandle, TRANSPARENT);
  }
}

void TCanvas::DeselectHandles() {
  Deselect(csPenValid, FOldPen);
  Deselect(csBrushValid, FOldBrush);
  Deselect(csFontValid, FOldFont);
  FOldFont = FOldPen = FOldBrush = nullptr;
}

void TCanvas::RequiredState(TCanvasState ReqState) {
  TCanvasState needed = ReqState - FState;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (needed.Contains(csFontValid)) CreateFont();
  if (needed.Contains(csPenValid)) CreatePen();
  if (needed.Contains(csBrushValid)) CreateBrush();
  FState += needed;
}

HDC TCanvas::Handle() {
  Changing();
  RequiredState(csAllValid);
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (Value == FHandle) return;
  if (FHandle) {
    DeselectHandles();
    POINT p;
    if (GetCurrentPositionEx(FHandle, &p)) FPenPos = p;
    FHandle = nullptr;
    FState.Exclude(csHandleValid);
  }
  if (Value) {
    FState.Include(csHandleValid);
    FHandle = Value;
    MoveToEx(Value, FPenPos.X, FPenPos.Y, nullptr);
  }
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Lock() {
  FLock.lock();
  ++FLockCount;
}

void TCanvas::Unlock() {
  --FLockCount;
  FLock.unlock();
}

bool TCanvas::TryLock() {
  if (!FLock.try_lock()) return false;
  ++FLockCount;
  return true;
}

TCanvasOrientation TCanvas::CanvasOrientation() {
  RequiredState({csHandleValid});
  return (GetLayout(FHandle) & LAYOUT_RTL) ? coRightToLeft : coLeftToRight;
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  TRect r;
  GetClipBox(FHandle, &r);
  return r;
}

TPoint TCanvas::PenPos() {
  RequiredState({csHandleValid});
  POINT p;
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

void TCanvas::SetPenPos(const TPoint& Value) { MoveTo(Value.X, Value.Y); }

TColor TCanvas::Pixels(Integer X, Integer Y) {
  RequiredState({csHandleValid});
  return static_cast<TColor>(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(Integer X, Integer Y, TColor Value) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixel(FHandle, X, Y, ColorToRGB(Value));
  Changed();
}

void TCanvas::MoveTo(Integer X, Integer Y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(Integer X, Integer Y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(FHandle, X, Y);
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polyline(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polygon(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Chord(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::Chord(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(FHandle, &Rect, FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FrameRect(FHandle, &Rect, FBrush->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::DrawFocusRect(FHandle, &Rect);
  Changed();
}

void TCanvas::TextOut(Integer X, Integer Y, const AnsiString& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  if (CanvasOrientation() == coRightToLeft) X += TextWidth(Text) + 1;
  ExtTextOutA(FHandle, X, Y, static_cast<UINT>(FTextFlags), nullptr, Text.data(), static_cast<UINT>(Text.size()),
              nullptr);
  MoveTo(X + TextWidth(Text), Y);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, Integer X, Integer Y, const AnsiString& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED | static_cast<UINT>(FTextFlags);
  if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
  if ((FTextFlags & ETO_RTLREADING) && CanvasOrientation() == coRightToLeft) X += TextWidth(Text) + 1;
  ExtTextOutA(FHandle, X, Y, options, &Rect, Text.data(), static_cast<UINT>(Text.size()), nullptr);
  Changed();
}

void TCanvas::TextRect(TRect& Rect, AnsiString& Text, TTextFormat TextFormat) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT flags = TextFormatToFlags(TextFormat);
  if (TextFormat.Contains(tfModifyString)) {
    // DrawText may write up to four more characters (the ellipsis).
    std::string buffer = Text;
    buffer.resize(Text.size() + 5, '\0');
    DrawTextExA(FHandle, buffer.data(), static_cast<int>(Text.size()), &Rect, flags, nullptr);
    Text = buffer.c_str();
  } else {
    DrawTextA(FHandle, Text.data(), static_cast<int>(Text.size()), &Rect, flags);
  }
  Changed();
}

TSize TCanvas::TextExtent(const AnsiString& Text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE size{};
  GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), &size);
  return size;
}

void TCanvas::Draw(Integer X, Integer Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
  SetTextColor(FHandle, ColorToRGB(FFont->Color()));
  Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic) return;
  Changing();
  RequiredState(csAllValid);
  Graphic->Draw(this, Rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  Canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.Left, Source.Top,
             Source.Width(), Source.Height(), static_cast<DWORD>(FCopyMode));
  Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  if (!Bitmap || Bitmap->Empty()) return;
  int w = Dest.Width(), h = Dest.Height();
  if (w <= 0 || h <= 0) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  TCanvas* src = Bitmap->Canvas();
  src->RequiredState({csHandleValid});
  // The source at the destination's size, then a mask of the pixels of
  // Color: mask bits 1 take the brush, 0 the source.
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP image = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HDC imageDC = CreateCompatibleDC(FHandle);
  HDC maskDC = CreateCompatibleDC(FHandle);
  if (image && mask && imageDC && maskDC) {
    HGDIOBJ oldImage = SelectObject(imageDC, image);
    HGDIOBJ oldMask = SelectObject(maskDC, mask);
    SetStretchBltMode(imageDC, COLORONCOLOR);
    StretchBlt(imageDC, 0, 0, w, h, src->FHandle, Source.Left, Source.Top, Source.Width(), Source.Height(), SRCCOPY);
    SetBkColor(imageDC, ColorToRGB(Color) & 0xFFFFFFu);
    BitBlt(maskDC, 0, 0, w, h, imageDC, 0, 0, SRCCOPY);
    MaskBlt(FHandle, Dest.Left, Dest.Top, w, h, imageDC, 0, 0, mask, 0, 0, MAKEROP4(PATCOPY, SRCCOPY));
    SelectObject(maskDC, oldMask);
    SelectObject(imageDC, oldImage);
  }
  if (maskDC) DeleteDC(maskDC);
  if (imageDC) DeleteDC(imageDC);
  if (mask) DeleteObject(mask);
  if (image) DeleteObject(image);
  Changed();
}
