// The drawing surface every painter receives: a thin object around a
// framework canvas with stacks for the device context, for the font, brush
// and pen, and for clip regions; region arithmetic; the library's text
// flags; frames, borders and tiled fills. Three variants serve custom
// controls, screen measuring and foreign device contexts, and two shared
// instances are created on first use. User-interface thread only.
//
// Every push is matched by its pop, in reverse order, within one paint.
#pragma once

#include <initializer_list>
#include <span>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/graphics.h"

class TBitmap;
class TGraphic;

// ---- Regions ------------------------------------------------------------------------

enum TcxRegionCombineMode { rcmReplace, rcmUnion, rcmSubtract, rcmIntersect };

// Owns one GDI region and deletes it when destroyed.
class TcxRegion : public TObject {
  RTL_CLASS(TcxRegion, TObject)
  HRGN FHandle = nullptr;

 public:
  // Empty: the region of the all-zero rectangle.
  TcxRegion();
  // Takes ownership of the handle.
  explicit TcxRegion(HRGN AHandle);
  explicit TcxRegion(const TRect& R);
  TcxRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom);
  ~TcxRegion() override;

  static TcxRegion* CreateFromHandle(HRGN AHandle) { return new TcxRegion(AHandle); }
  static TcxRegion* CreateFromRect(const TRect& R) { return new TcxRegion(R); }
  static TcxRegion* CreateFromCoords(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom) {
    return new TcxRegion(ALeft, ATop, ARight, ABottom);
  }
  // The window's own region; without one, (0, 0, width, height) of its
  // window rectangle.
  static TcxRegion* CreateFromWindow(HWND AWindow);
  // Left and top one pixel in, right and bottom as given.
  static TcxRegion* CreateRoundRect(const TRect& R, Integer AEllipseWidth, Integer AEllipseHeight);
  static TcxRegion* CreateRoundRectCoords(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom,
                                          Integer AEllipseWidth, Integer AEllipseHeight);

  HRGN Handle() const { return FHandle; }
  // rcmReplace copies the other region; AFreeOther destroys it afterwards.
  void CombineWith(TcxRegion* AOther, TcxRegionCombineMode AMode, bool AFreeOther);
  void CombineWithRect(const TRect& R, TcxRegionCombineMode AMode);
  void OffsetBy(const TPoint& P) { OffsetXY(P.X, P.Y); }
  void OffsetXY(Integer DX, Integer DY);
  void DestroyHandle();
  bool IsEmpty() const;
};

bool cxRegionContainsPoint(HRGN ARegion, const TPoint& P);
bool cxRegionContainsPoint(HRGN ARegion, Integer X, Integer Y);

// ---- Text flags, borders, rotation -----------------------------------------------------

constexpr Integer ctfLeft = 0x0001;
constexpr Integer ctfRight = 0x0002;
constexpr Integer ctfCenterH = 0x0004;
constexpr Integer ctfTop = 0x0008;
constexpr Integer ctfBottom = 0x0010;
constexpr Integer ctfCenterV = 0x0020;
constexpr Integer ctfSingleLine = 0x0040;
constexpr Integer ctfNoClip = 0x0080;
constexpr Integer ctfExpandTabs = 0x0100;
constexpr Integer ctfShowPrefix = 0x0200;
constexpr Integer ctfWordBreak = 0x0400;
constexpr Integer ctfEndEllipsis = 0x0800;
constexpr Integer ctfCalcOnly = 0x1000;
constexpr Integer ctfPathEllipsis = 0x2000;
constexpr Integer ctfNoCharBreak = 0x4000;
constexpr Integer ctfNoFullWidthCharBreak = 0x8000;

// The DrawText flags of the library's text flags; DT_NOPREFIX unless
// ctfShowPrefix.
UINT cxTextFlagsToDrawTextFlags(Integer AFlags);

enum TcxBorder { bLeft, bTop, bRight, bBottom };
using TcxBorders = TSet<TcxBorder, 4>;
constexpr TcxBorders cxBordersAll{bLeft, bTop, bRight, bBottom};

enum TcxTextVertAlign { tvaTop, tvaBottom, tvaCenter };

enum TcxQuarterTurn { qtNone, qtLeft, qtRight, qtHalf };

// A fill: a pattern bitmap (or none) and a colour.
struct TcxCanvasBackground {
  TBitmap* Bitmap = nullptr;
  TColor Color = clNone;
};

// ---- The canvas ---------------------------------------------------------------------

class TcxCanvas : public TObject {
  RTL_CLASS(TcxCanvas, TObject)
  struct TcxDCState {
    HDC Handle;
    Integer SavedDC;
  };
  struct TcxCanvasState {
    TFont* Font;
    TBrush* Brush;
    TPen* Pen;
  };

  TCanvas* FCanvas;
  std::vector<TcxDCState> FSavedDCs;
  std::vector<TcxRegion*> FSavedRegions;
  std::vector<TcxCanvasState> FSavedStates;

  void OutputText(const AnsiString& AText, TRect R, Integer AFlags, bool ADrawTextRoute, UINT ADrawTextFlags,
                  UINT AExtTextOutOptions);

 protected:
  void SetCanvas(TCanvas* ACanvas) { FCanvas = ACanvas; }

 public:
  explicit TcxCanvas(TCanvas* ACanvas);
  // Frees what is still on the stacks (never restores the DC).
  ~TcxCanvas() override;

  TCanvas* Canvas() const { return FCanvas; }

  // ---- Plain access to the wrapped canvas
  TBrush* GetBrush() const { return FCanvas->Brush(); }
  TFont* GetFont() const { return FCanvas->Font(); }
  TPen* GetPen() const { return FCanvas->Pen(); }
  void SetBrush(TBrush* Value) { FCanvas->SetBrush(Value); }
  void SetFont(TFont* Value) { FCanvas->SetFont(Value); }
  TCopyMode GetCopyMode() const { return FCanvas->CopyMode(); }
  void SetCopyMode(TCopyMode Value) { FCanvas->SetCopyMode(Value); }
  // The DC with the canvas's font, brush and pen current.
  HDC GetHandle() { return FCanvas->Handle(); }
  void Lock() { FCanvas->Lock(); }
  void Unlock() { FCanvas->Unlock(); }

  void SetPixel(Integer X, Integer Y, TColor AColor) { FCanvas->SetPixels(X, Y, AColor); }
  void MoveTo(Integer X, Integer Y) { FCanvas->MoveTo(X, Y); }
  void LineTo(Integer X, Integer Y) { FCanvas->LineTo(X, Y); }
  void Polygon(std::span<const TPoint> APoints) { FCanvas->Polygon(APoints); }
  void Polygon(std::initializer_list<TPoint> APoints) { FCanvas->Polygon(APoints); }
  void Polyline(std::span<const TPoint> APoints) { FCanvas->Polyline(APoints); }
  void Polyline(std::initializer_list<TPoint> APoints) { FCanvas->Polyline(APoints); }
  void DrawRectangle(const TRect& R) { FCanvas->Rectangle(R); }
  void Draw(Integer X, Integer Y, TGraphic* AGraphic) { DrawGraphic(X, Y, AGraphic); }
  void DrawGraphic(Integer X, Integer Y, TGraphic* AGraphic);
  void StretchDrawGraphic(const TRect& R, TGraphic* AGraphic);
  // CopyRect with the current copy mode.
  void CopyFromCanvas(const TRect& ADestRect, TCanvas* ASource, const TRect& ASourceRect);

  // ---- Clipping
  bool IsRectVisible(const TRect& R);
  // Logical coordinates, like the rectangles drawn.
  void ClipOutRect(const TRect& R);
  void ClipToRect(const TRect& R);
  // A new region holding the DC's clip, (0, 0, 30000, 30000) without one;
  // with AConsiderOrigin in logical coordinates. The caller owns it.
  TcxRegion* CaptureClipRegion(bool AConsiderOrigin = true);
  // Combines the current clip with ARegion by AMode and selects the
  // result; rcmReplace selects ARegion itself.
  void ApplyClipRegion(TcxRegion* ARegion, TcxRegionCombineMode AMode, bool AFreeRegion = true,
                       bool AConsiderOrigin = true);

  // ---- Origins
  // The offset from logical to device coordinates.
  virtual TPoint ReadDCOrigin();
  virtual TPoint ReadWindowOrigin();
  virtual void WriteWindowOrigin(const TPoint& P);
  TPoint ReadViewportOrigin();
  void WriteViewportOrigin(const TPoint& P);

  // ---- Stacks
  void PushDC();
  void PopDC();
  void PushState();
  void PopState();
  void PushClipRegion();
  void PopClipRegion();

  // ---- Fills, frames, borders
  void SetBrushColor(TColor AColor);
  void FillRectColor(const TRect& R, TColor AColor);
  // Tiles aligned to the logical origin; without a bitmap, the brush.
  void FillRectTiled(const TRect& R, TBitmap* ABitmap, bool AExclude = false);
  void FillRectBackground(const TRect& R, const TcxCanvasBackground& ABackground, bool AExclude = false);
  void FillRectWithFrame(const TRect& R, const TcxCanvasBackground& ABackground, bool AExclude, Integer AFrameWidth,
                         TColor AFrameColor, TcxBorders ASides);
  void InvertRectArea(const TRect& R);
  void DrawFrameSides(const TRect& R, TColor AColor, Integer AWidth = 1, TcxBorders ASides = cxBordersAll,
                      bool AExclude = false);
  void DrawTwoColorBorders(const TRect& R, TColor AFirstColor, TColor ASecondColor, TcxBorders ABorders,
                           Integer AWidth = 1);
  void Draw3DBorders(const TRect& R, bool ASunken, bool AOuter, TcxBorders ABorders = cxBordersAll);
  void DrawFocusFrame(const TRect& R);
  void DrawFocusFrames(const TRect& R, Integer ACount);

  // ---- Text
  TSize GetTextSize(const AnsiString& AText);
  Integer GetTextWidth(const AnsiString& AText) { return GetTextSize(AText).cx; }
  Integer GetTextHeight(const AnsiString& AText) { return GetTextSize(AText).cy; }
  void SetFontAngle(Integer ADegrees);
  void DrawTextInRect(const AnsiString& AText, const TRect& R, Integer AFlags, bool AEnabled = true);
  void DrawTextAligned(const AnsiString& AText, const TRect& R, TAlignment AHorzAlignment,
                       TcxTextVertAlign AVertAlignment, bool AMultiLine, bool AShowEndEllipsis);
  // Where the text would appear inside R.
  void MeasureTextRect(const AnsiString& AText, TRect& R, Integer AFlags);
  // Kind 0 top (nothing), 1 bottom, 2 centre: moves R's top.
  void AlignTextBlockVertically(TRect& R, const AnsiString& AText, Integer AKind, bool AWordBreak,
                                bool AShowPrefix, bool AEnabled, bool ANoCharBreak, bool AEndEllipsis);

  // Gives ACanvas a font, brush and pen equal to those selected into ADC.
  static void CopyDCObjects(TCanvas* ACanvas, HDC ADC);
};

// The brush style of a LOGBRUSH and the pen mode of a ROP2 code, as
// CopyDCObjects maps them.
TBrushStyle cxBrushStyleOfLogBrush(const LOGBRUSH& ALogBrush);
TPenMode cxPenModeOfROP2(Integer ARop2);

// ---- Variants -----------------------------------------------------------------------

// The canvas of a custom control: a logical origin set while it paints.
class TcxControlCanvas : public TcxCanvas {
  RTL_CLASS(TcxControlCanvas, TcxCanvas)
  TPoint FBrushOrigin;
  TPoint FOrigin;

 public:
  using TcxCanvas::TcxCanvas;

  TPoint ReadDCOrigin() override;
  TPoint ReadWindowOrigin() override;
  void WriteWindowOrigin(const TPoint& P) override;
  // The DC's window origin becomes the logical origin and the brush origin.
  void PrepareOrigin();
  void RestoreOrigin();
  TPoint Origin() const { return FOrigin; }
};

// A framework canvas over a DC of the desktop, taken on use and released.
class TScreenCanvas : public TCanvas {
  RTL_CLASS(TScreenCanvas, TCanvas)
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;

 protected:
  void CreateHandle() override;

 public:
  TScreenCanvas() = default;
  ~TScreenCanvas() override;
  void ReleaseHandle();
};

// A canvas over the screen, for measuring.
class TcxScreenCanvas : public TcxCanvas {
  RTL_CLASS(TcxScreenCanvas, TcxCanvas)

 public:
  TcxScreenCanvas();
  ~TcxScreenCanvas() override;
  void ReleaseScreenDC();
};

// A canvas pointed at a foreign DC or canvas for the duration of a paint.
class TcxPaintCanvas : public TcxCanvas {
  RTL_CLASS(TcxPaintCanvas, TcxCanvas)
  struct TcxPaintCanvasState {
    TCanvas* PrevCanvas;
    Integer SavedDC;
    TCanvas* OwnCanvas;
    HDC DC;
  };
  Integer FLevel = 0;
  std::vector<TcxPaintCanvasState> FStates;

  void BeginLevel(TCanvas* ACanvas, Integer ASavedDC, TCanvas* AOwnCanvas, HDC ADC);

 public:
  TcxPaintCanvas() : TcxCanvas(nullptr) {}
  // Frees the canvases of unfinished paints without restoring their DCs.
  ~TcxPaintCanvas() override;
  void StartPaintDC(HDC ADC);
  void StartPaintCanvas(TCanvas* ACanvas);
  void FinishPaint();
  Integer Level() const { return FLevel; }
};

// Created on first use; null once the drawing unit's shut-down has begun.
TcxScreenCanvas* cxSharedScreenCanvas();
TcxPaintCanvas* cxSharedPaintCanvas();

namespace cx_graphics_detail {
// Frees the shared canvases (the drawing unit's shut-down).
void FreeSharedCanvases();
}  // namespace cx_graphics_detail
