// Drawing with GDI+: a thin canvas over a Graphics handle with the shapes
// and image operations painters need, a paint canvas that opens GDI+ on a
// device context (through an off-screen 32-bit buffer where GDI+ cannot
// draw on the DC itself) and can nest, and free routines that fill, tile
// and draw images and text with a constant alpha. GDI+ must be available
// (dxGpCheckAvailable); every call goes through dxGpApi and dxGpCheck.
#pragma once

#include <span>
#include <vector>

#include "platform/forms/controls.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/gdiplus_binding.h"

class TBitmap;
class TGraphic;
class TdxGPImage;

// ---- Canvas -------------------------------------------------------------------------

// Owns its Graphics handle: closing or destroying the canvas deletes it.
// Colours are TColor values with an alpha; clNone leaves the fill or the
// outline out. Pen styles psSolid .. psDashDotDot map onto the GDI+ dash
// styles; psClear and psInsideFrame draw no outline. Angles are degrees,
// counter-clockwise from the x axis.
class TdxGPCanvas : public TdxGpBase {
  RTL_CLASS(TdxGPCanvas, TdxGpBase)

 protected:
  GpGraphics* FHandle;

 public:
  explicit TdxGPCanvas(GpGraphics* AHandle = nullptr);
  ~TdxGPCanvas() override;

  GpGraphics* Handle() const { return FHandle; }
  void OpenOnDC(HDC DC);
  void CloseGraphics();
  void SetInterpolationMode(Byte AMode);
  void SetSmoothingMode(Byte AMode);

  void DrawImage(TdxGPImage* AImage, const TRect& ADest, TdxGpAlpha AAlpha = dxGpOpaque);
  void DrawImagePart(TdxGPImage* AImage, const TRect& ADest, TdxGpAlpha AAlpha, const TRect& ASource);
  // Nothing for an empty bitmap.
  void DrawGraphic(TBitmap* ABitmap, const TRect& ADest, TdxGpAlpha AAlpha = dxGpOpaque);

  void DrawArc(const TRect& R, TColor APenColor, float AStartAngle, float ASweepAngle, float APenWidth = 1,
               TPenStyle APenStyle = psSolid, TdxGpAlpha APenAlpha = dxGpOpaque);
  void DrawEllipse(const TRect& R, TColor APenColor, TColor ABrushColor, float APenWidth = 1,
                   TPenStyle APenStyle = psSolid, TdxGpAlpha APenAlpha = dxGpOpaque,
                   TdxGpAlpha ABrushAlpha = dxGpOpaque);
  void DrawPie(const TRect& R, TColor APenColor, float AStartAngle, float ASweepAngle, TColor ABrushColor,
               float APenWidth = 1, TPenStyle APenStyle = psSolid, TdxGpAlpha APenAlpha = dxGpOpaque,
               TdxGpAlpha ABrushAlpha = dxGpOpaque);
  void DrawLine(Integer X1, Integer Y1, Integer X2, Integer Y2, TColor APenColor, float APenWidth = 1,
                TPenStyle APenStyle = psSolid, TdxGpAlpha APenAlpha = dxGpOpaque);
  void DrawPolygon(std::span<const GpPointF> APoints, TColor APenColor, TColor ABrushColor, float APenWidth = 1,
                   TPenStyle APenStyle = psSolid, TdxGpAlpha APenAlpha = dxGpOpaque,
                   TdxGpAlpha ABrushAlpha = dxGpOpaque);

  // Right and bottom one pixel in: a GDI+ outline covers its right and
  // bottom edge.
  static void ShrinkShapeRect(TRect& R);
};

class TdxGPGraphics : public TdxGPCanvas {
  RTL_CLASS(TdxGPGraphics, TdxGPCanvas)

 public:
  using TdxGPCanvas::TdxGPCanvas;
};

// ---- Paint canvases ------------------------------------------------------------------

// Paints on a device context or on a given Graphics. Each begin pairs with
// one EndPaint. This class keeps no state stack: one painting per object.
class TdxGPCustomPaintCanvas : public TdxGPGraphics {
  RTL_CLASS(TdxGPCustomPaintCanvas, TdxGPGraphics)

 protected:
  TBitmap* FBuffer = nullptr;  // owned; null when painting directly
  TRect FPaintRect;
  HDC FDrawDC = nullptr;  // null when painting on a given Graphics

  virtual void PushState() {}
  virtual void PopState() {}
  void CreateBuffer(HDC DC, const TRect& R);
  void FlushBuffer();
  void CopyBufferToDC();

 public:
  TdxGPCustomPaintCanvas() = default;
  ~TdxGPCustomPaintCanvas() override;

  void BeginPaint(HDC DC, const TRect& R);
  // The caller keeps owning AGraphics.
  void BeginPaintOnGraphics(GpGraphics* AGraphics);
  void EndPaint();

  TBitmap* Buffer() const { return FBuffer; }
  HDC DrawDC() const { return FDrawDC; }
  const TRect& PaintRect() const { return FPaintRect; }
};

// The shared paint canvas: paintings nest, each end restores the outer
// painting's Graphics, buffer, rectangle and DC.
class TdxGPPaintCanvas : public TdxGPCustomPaintCanvas {
  RTL_CLASS(TdxGPPaintCanvas, TdxGPCustomPaintCanvas)

 public:
  struct TState {
    GpGraphics* Handle;
    TBitmap* Buffer;
    TRect PaintRect;
    HDC DrawDC;
  };

 private:
  Integer FSavedStateCount = 0;
  std::vector<TState> FSavedStates;  // only grows

 protected:
  void PushState() override;
  void PopState() override;

 public:
  TdxGPPaintCanvas() = default;
  Integer SavedStateCount() const { return FSavedStateCount; }
};

// Created on first use; null once the images unit has shut down.
TdxGPPaintCanvas* dxGpSharedPaintCanvas();
// New paint canvases for one painting; dxGpEndPaint ends it, frees the
// canvas and clears the variable.
TdxGPCustomPaintCanvas* dxGpBeginPaint(HDC DC, const TRect& R);
TdxGPCustomPaintCanvas* dxGpCanvasOnGraphics(GpGraphics* AGraphics);
void dxGpEndPaint(TdxGPCustomPaintCanvas*& ACanvas);

// True for 16 bits per pixel or fewer, a raster printer or a palette
// device; before Vista also for the DC of a layered window.
bool dxGpDCNeedsBuffer(HDC DC);
// WindowFromDC of "user32.dll", bound by name at the images unit's
// start-up; null when it is not bound.
HWND dxGpWindowFromDC(HDC DC);

// ---- Free routines -------------------------------------------------------------------

// Stretches the source part of the image over the destination. A source
// smaller than the destination loses its last column (row), so that the
// smoothing filter never reaches a neighbouring sprite part.
void dxGpDrawImagePart(GpGraphics* AGraphics, const TRect& ADest, const TRect& ASource, TdxGpAlpha AAlpha,
                       GpImage* AImage);
// Repeats the source part over the destination: one texture fill when
// opaque, else one draw per tile, the last column and row cut.
void dxGpTileImagePart(GpGraphics* AGraphics, const TRect& ADest, const TRect& ASource, TdxGpAlpha AAlpha,
                       GpImage* AImage);
void dxGpFillRectSolid(GpGraphics* AGraphics, const TRect& R, TdxGpARGB AColor);
// The brush spans R grown by one pixel on every side.
void dxGpFillRectGradient(GpGraphics* AGraphics, const TRect& R, TdxGpARGB AColor1, LinearGradientMode AMode,
                          TdxGpARGB AColor2);
void dxGpFillRectOnDC(HDC DC, const TRect& R, TColor AColor, TdxGpAlpha AAlpha);
// Nothing for an empty rectangle.
void dxGpFillGradientOnDC(HDC DC, const TRect& R, TColor AColor1, TdxGpAlpha AAlpha1, TColor AColor2,
                          TdxGpAlpha AAlpha2, LinearGradientMode AMode);
void dxGpDrawString(TdxGPCustomPaintCanvas* ACanvas, const AnsiString& AText, const TRect& R,
                    TdxGpAlpha AColorAlpha, TextRenderingHint ARenderingHint, bool AWordWrap,
                    TcxTextVertAlign AVertAlignment, TAlignment AHorzAlignment, TColor AColor, TFont* AFont);

// False (and no pen) for clNone, a width not above 0 or a style from
// psClear on.
bool dxGpCreatePen(GpPen*& APen, TColor AColor, TPenStyle AStyle, float AWidth, TdxGpAlpha AAlpha);
// False (and no brush) for clNone.
bool dxGpCreateSolidBrush(GpBrush*& ABrush, TColor AColor, TdxGpAlpha AAlpha);

// ---- Alpha-blend attributes ------------------------------------------------------------

// Image attributes whose colour matrix scales alpha; the matrix is sent to
// GDI+ only when the alpha changes.
class TdxGPAlphaBlendAttributes : public TdxGpBase {
  RTL_CLASS(TdxGPAlphaBlendAttributes, TdxGpBase)
  Byte FAlpha = 0;
  ColorMatrix FColorMatrix{};
  GpImageAttributes* FHandle = nullptr;

 public:
  TdxGPAlphaBlendAttributes();
  ~TdxGPAlphaBlendAttributes() override;
  void SetAlpha(TdxGpAlpha AAlpha);
  TdxGpAlpha Alpha() const { return TdxGpAlpha(FAlpha); }
  GpImageAttributes* Handle() const { return FHandle; }
};

// The shared attributes set to the alpha.
TdxGPAlphaBlendAttributes* dxGpGetAlphaBlendAttributes(TdxGpAlpha AAlpha);

namespace dx_gdiplus_detail {
// Frees the shared paint canvas and attributes; no new ones are made after.
void FreeSharedCanvasObjects();
// Frees them and lets them be made again (tests that swap dxGpApi).
void ResetSharedCanvasObjects();
// Lets them be made again after FreeSharedCanvasObjects (the images unit's
// next start-up).
void AllowSharedCanvasObjects();
void BindWindowFromDC();
}  // namespace dx_gdiplus_detail
