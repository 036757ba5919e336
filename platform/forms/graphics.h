// Colours, fonts, pens, brushes and the canvas that draws with them on a
// device context.
#pragma once

#include <atomic>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>

#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"

class TGraphic;
class TBitmap;

RTL_EXCEPTION(EInvalidGraphic, Exception)
RTL_EXCEPTION(EInvalidGraphicOperation, Exception)
RTL_EXCEPTION(EOutOfResources, EOutOfMemory)

// ---- Colours ------------------------------------------------------------
// Red in the low byte. A system colour carries 0xFF in the top byte and the
// GetSysColor index in the low byte; ColorToRGB resolves it.

constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);

constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clHotLight = clSystemColor | COLOR_HOTLIGHT;
constexpr TColor clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION;
constexpr TColor clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION;
constexpr TColor clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT;
constexpr TColor clMenuBar = clSystemColor | COLOR_MENUBAR;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// A system colour becomes its current RGB value; anything else (clNone and
// clDefault included) comes back as it is.
COLORREF ColorToRGB(TColor Color);

// The colour names of form descriptions ("clBtnFace", ...). ColorToString
// falls back to "$00BBGGRR"; StringToColor also takes a number ("$FF",
// "255") and raises EConvertError for anything else.
bool ColorToIdent(TColor Color, AnsiString& Ident);
bool IdentToColor(const AnsiString& Ident, TColor& Color);
AnsiString ColorToString(TColor Color);
TColor StringToColor(const AnsiString& S);
// The names above, for published colour properties.
std::span<const TIdentMapEntry> ColorIdentMap();
// The character set names ("DEFAULT_CHARSET", ...), for Font.Charset.
std::span<const TIdentMapEntry> CharsetIdentMap();

// ---- Graphics objects ---------------------------------------------------

// A font, pen or brush: a description, the GDI object made from it on
// demand, and OnChange when the description changes. The GDI object of the
// old description is deleted after OnChange, so that a canvas listening
// there can take it out of its device context first.
class TGraphicsObject : public TPersistent {
  RTL_CLASS(TGraphicsObject, TPersistent)
  std::recursive_mutex* FOwnerLock = nullptr;

 protected:
  virtual void Changed();
  void Lock();
  void Unlock();
  // Called under Lock() once a new handle is in place: tells of the change,
  // then deletes the replaced handle and unlocks, also when a handler raises.
  void ChangedReleasing(HGDIOBJ Old, HGDIOBJ Now);

 public:
  TNotifyEvent OnChange;
  // The canvas's lock, held while the object is read or changed.
  void SetOwnerCriticalSection(std::recursive_mutex* Value) { FOwnerLock = Value; }
  virtual bool HandleAllocated() const = 0;
};

RTL_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle, 4>;
RTL_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
RTL_ENUM(TFontQuality, fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural)
using TFontCharset = Byte;
using TFontName = AnsiString;

// A font description, as the default font is given.
struct TFontData {
  HFONT Handle = nullptr;
  Integer Height = 0;
  Integer Orientation = 0;
  TFontPitch Pitch = fpDefault;
  TFontStyles Style;
  TFontCharset Charset = DEFAULT_CHARSET;
  TFontName Name;
  TFontQuality Quality = fqDefault;
};

// The screen's logical pixels per inch, read once from the display.
Integer ScreenLogPixels();
// What a new TFont starts as: "Tahoma", 8 points at the screen's
// resolution (-11 at 96 dpi), no style, DEFAULT_CHARSET. Changing it
// affects fonts created afterwards.
TFontData& DefFontData();

// A font. It keeps the whole LOGFONT, so a handle assigned from a modified
// LOGFONT (escapement, precision, quality) survives Assign. Height is in
// pixels (negative: character height, positive: cell height); Size is in
// points at PixelsPerInch: Size = -MulDiv(Height, 72, PixelsPerInch).
class TFont : public TGraphicsObject {
  RTL_CLASS(TFont, TGraphicsObject)
  LOGFONTA FLog{};
  TColor FColor = clWindowText;
  Integer FPixelsPerInch;
  HFONT FHandle = nullptr;

  void Modify(const LOGFONTA& Log);
  void SetData(const TFontData& Data);

 public:
  TFont();
  ~TFont() override;

  void Assign(TPersistent* Source) override;
  bool HandleAllocated() const override { return FHandle != nullptr; }

  // The GDI font, created on first use; the font owns it.
  HFONT Handle();
  // Takes ownership of Value and reads the description from it.
  void SetHandle(HFONT Value);

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontName Name() const;
  // Names longer than LF_FACESIZE - 1 bytes are cut; "" is ignored.
  void SetName(const TFontName& Value);
  Integer Height() const { return FLog.lfHeight; }
  void SetHeight(Integer Value);
  Integer Size() const;
  void SetSize(Integer Value);
  TFontStyles Style() const;
  void SetStyle(TFontStyles Value);
  TFontCharset Charset() const { return FLog.lfCharSet; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const;
  void SetPitch(TFontPitch Value);
  // Tenths of a degree, counter-clockwise (escapement and orientation).
  Integer Orientation() const { return FLog.lfEscapement; }
  void SetOrientation(Integer Value);
  TFontQuality Quality() const;
  void SetQuality(TFontQuality Value);
  // Changing it keeps Height (and so changes Size); no OnChange.
  Integer PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer Value) { FPixelsPerInch = Value; }
};

RTL_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
// The sixteen binary raster operations, in the order of their R2_ codes'
// truth tables as the framework lists them (pmBlack = R2_BLACK, pmWhite =
// R2_WHITE, pmNop = R2_NOP, pmNot = R2_NOT, pmCopy = R2_COPYPEN, ...).
RTL_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
         pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)

// A pen: black, solid, one pixel wide, pmCopy. Mode is no part of the GDI
// pen: the canvas sets it as the DC's ROP2.
class TPen : public TGraphicsObject {
  RTL_CLASS(TPen, TGraphicsObject)
  TColor FColor = clBlack;
  Integer FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
  HPEN FHandle = nullptr;

  void Replace(TColor Color, Integer Width, TPenStyle Style, HPEN Handle);

 public:
  TPen() = default;
  ~TPen() override;

  void Assign(TPersistent* Source) override;
  bool HandleAllocated() const override { return FHandle != nullptr; }

  HPEN Handle();
  // Takes ownership of Value and reads colour, width and style from it.
  void SetHandle(HPEN Value);

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);
};

RTL_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross)

// A brush: white and solid. Setting Color makes a clear brush solid.
// With Bitmap assigned (not owned) the brush paints the bitmap's pattern.
class TBrush : public TGraphicsObject {
  RTL_CLASS(TBrush, TGraphicsObject)
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
  HBRUSH FHandle = nullptr;

  void Replace(TColor Color, TBrushStyle Style, TBitmap* Bitmap, HBRUSH Handle);

 public:
  TBrush() = default;
  ~TBrush() override;

  void Assign(TPersistent* Source) override;
  bool HandleAllocated() const override { return FHandle != nullptr; }

  HBRUSH Handle();
  // Takes ownership of Value and reads colour and style from it.
  void SetHandle(HBRUSH Value);

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);
};

// ---- The canvas ---------------------------------------------------------

enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStates, 4>;
constexpr TCanvasState csAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};

enum TCanvasOrientation { coLeftToRight, coRightToLeft };

using TCopyMode = LongInt;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// TextRect's options, one per DrawText flag (tfComposited draws as plain
// text here).
enum TTextFormats {
  tfBottom,
  tfCalcRect,
  tfCenter,
  tfEditControl,
  tfEndEllipsis,
  tfPathEllipsis,
  tfExpandTabs,
  tfExternalLeading,
  tfLeft,
  tfModifyString,
  tfNoClip,
  tfNoPrefix,
  tfRight,
  tfRtlReading,
  tfSingleLine,
  tfTop,
  tfVerticalCenter,
  tfWordBreak,
  tfHidePrefix,
  tfNoFullWidthCharBreak,
  tfPrefixOnly,
  tfTabStop,
  tfWordEllipsis,
  tfComposited
};
using TTextFormat = TSet<TTextFormats, 24>;
// The DrawText flags of a text format.
UINT TextFormatToFlags(TTextFormat Format);

// Draws on a device context with its own font, pen and brush. The DC is
// given (SetHandle) or made by a subclass on demand (CreateHandle). The
// canvas selects its objects into the DC only when an operation needs
// them (RequiredState); a changed font, pen or brush is taken out of the
// DC at once and selected again on the next use. Detaching from a DC
// (SetHandle(0), or Refresh) selects the DC's own font, pen and brush back.
//
// Drawing operations fire OnChanging before and OnChange after.
class TCanvas : public TPersistent {
  RTL_CLASS(TCanvas, TPersistent)
  // Pictures draw on the DC as it is, without the change events.
  friend class TBitmap;
  friend class TBitmapCanvas;
  friend class TIcon;
  HDC FHandle = nullptr;
  TCanvasState FState;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TPoint FPenPos;
  TCopyMode FCopyMode = cmSrcCopy;
  Integer FTextFlags = 0;
  std::recursive_mutex FLock;
  std::atomic<Integer> FLockCount{0};
  // What the DC had selected before the canvas put its own objects in.
  HGDIOBJ FOldFont = nullptr;
  HGDIOBJ FOldPen = nullptr;
  HGDIOBJ FOldBrush = nullptr;

  void FontChanged(TObject* Sender);
  void PenChanged(TObject* Sender);
  void BrushChanged(TObject* Sender);
  void CreateFont();
  void CreatePen();
  void CreateBrush();
  void DeselectHandles();
  HGDIOBJ Select(HGDIOBJ Object, HGDIOBJ& Old);
  void Deselect(TCanvasStates Which, HGDIOBJ& Old);

 protected:
  virtual void Changed();
  virtual void Changing();
  // Makes a DC for a canvas that has none (a bitmap's, a control's); the
  // default makes none.
  virtual void CreateHandle();

 public:
  TCanvas();
  ~TCanvas() override;

  // Selects what the operation needs into the DC, creating the DC first
  // when needed. Raises EInvalidOperation "Canvas does not allow drawing"
  // when there is no DC.
  void RequiredState(TCanvasState ReqState);

  // The DC with the canvas's font, pen and brush selected.
  HDC Handle();
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Takes the canvas's objects out of the DC; they go back in on next use.
  void Refresh();

  void Lock();
  void Unlock();
  bool TryLock();
  Integer LockCount() const { return FLockCount; }

  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  // The raster operation of Draw, StretchDraw and CopyRect.
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  // ETO_ options added to TextOut and TextRect.
  Integer TextFlags() const { return FTextFlags; }
  void SetTextFlags(Integer Value) { FTextFlags = Value; }
  TCanvasOrientation CanvasOrientation();
  // The bounds of the DC's clip, in logical coordinates.
  TRect ClipRect();

  TPoint PenPos();
  void SetPenPos(const TPoint& Value);
  TColor Pixels(Integer X, Integer Y);
  void SetPixels(Integer X, Integer Y, TColor Value);

  void MoveTo(Integer X, Integer Y);
  // Draws to (X, Y), which is left out, and moves there.
  void LineTo(Integer X, Integer Y);
  void Polyline(std::span<const TPoint> Points);
  void Polyline(std::initializer_list<TPoint> Points) { Polyline(std::span<const TPoint>(Points.begin(), Points.size())); }
  void Polygon(std::span<const TPoint> Points);
  void Polygon(std::initializer_list<TPoint> Points) { Polygon(std::span<const TPoint>(Points.begin(), Points.size())); }
  void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3);
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  void Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  void Chord(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  // Fills with the brush; the right and bottom edges stay out.
  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);
  void DrawFocusRect(const TRect& Rect);

  // Writes Text with its top left at (X, Y) and moves the pen to its end.
  void TextOut(Integer X, Integer Y, const AnsiString& Text);
  // Writes Text at (X, Y) clipped to Rect, which is filled with the brush
  // first unless the brush is clear.
  void TextRect(const TRect& Rect, Integer X, Integer Y, const AnsiString& Text);
  // DrawText into Rect. tfCalcRect measures into Rect instead of drawing;
  // tfModifyString puts the shortened text back into Text.
  void TextRect(TRect& Rect, AnsiString& Text, TTextFormat TextFormat = {});
  TSize TextExtent(const AnsiString& Text);
  Integer TextWidth(const AnsiString& Text) { return TextExtent(Text).cx; }
  Integer TextHeight(const AnsiString& Text) { return TextExtent(Text).cy; }

  // Draws Graphic at its own size, mono bitmaps in the font (0 bits) and
  // brush (1 bits) colours.
  void Draw(Integer X, Integer Y, TGraphic* Graphic);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  // Copies Source of Canvas into Dest of this canvas with CopyMode,
  // stretching when the sizes differ.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Copies Source of Bitmap into Dest with the pixels of colour Color
  // replaced by the brush.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;
};
