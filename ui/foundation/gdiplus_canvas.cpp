#include "ui/foundation/gdiplus_canvas.h"

#include <algorithm>

#include "platform/forms/bitmap.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/modules.h"
#include "platform/win/user/user.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/gdiplus_images.h"

namespace {

TdxGPPaintCanvas* gSharedPaintCanvas = nullptr;
TdxGPAlphaBlendAttributes* gSharedAttributes = nullptr;
bool gSharedObjectsFreed = false;

using TWindowFromDC = HWND (*)(HDC);
TWindowFromDC gWindowFromDC = nullptr;

// Deletes what the canvas made for one shape.
struct TShapeTools {
  GpPen* Pen = nullptr;
  GpBrush* Brush = nullptr;
  bool HasPen = false;
  bool HasBrush = false;
  ~TShapeTools() {
    if (Pen) dxGpApi.GdipDeletePen(Pen);
    if (Brush) dxGpApi.GdipDeleteBrush(Brush);
  }
};

TRect Shrunk(const TRect& R) {
  TRect r = R;
  TdxGPCanvas::ShrinkShapeRect(r);
  return r;
}

}  // namespace

// ---- Canvas ----------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TdxGPCanvas)
RTL_IMPLEMENT_CLASS(TdxGPGraphics)

TdxGPCanvas::TdxGPCanvas(GpGraphics* AHandle) : FHandle(AHandle) {}

TdxGPCanvas::~TdxGPCanvas() {
  // A canvas outliving the library has nothing left to delete.
  if (FHandle && dxGpApi.GdipDeleteGraphics) CloseGraphics();
}

void TdxGPCanvas::OpenOnDC(HDC DC) { dxGpCheck(dxGpApi.GdipCreateFromHDC(DC, &FHandle)); }

void TdxGPCanvas::CloseGraphics() {
  if (FHandle) {
    GpGraphics* handle = FHandle;
    FHandle = nullptr;
    dxGpCheck(dxGpApi.GdipDeleteGraphics(handle));
  }
}

void TdxGPCanvas::SetInterpolationMode(Byte AMode) {
  dxGpCheck(dxGpApi.GdipSetInterpolationMode(FHandle, static_cast<InterpolationMode>(AMode)));
}

void TdxGPCanvas::SetSmoothingMode(Byte AMode) {
  dxGpCheck(dxGpApi.GdipSetSmoothingMode(FHandle, static_cast<SmoothingMode>(AMode)));
}

void TdxGPCanvas::DrawImage(TdxGPImage* AImage, const TRect& ADest, TdxGpAlpha AAlpha) {
  DrawImagePart(AImage, ADest, AAlpha, AImage->GetClientRect());
}

void TdxGPCanvas::DrawImagePart(TdxGPImage* AImage, const TRect& ADest, TdxGpAlpha AAlpha, const TRect& ASource) {
  dxGpDrawImagePart(FHandle, ADest, ASource, AAlpha, AImage->GetHandle());
}

void TdxGPCanvas::DrawGraphic(TBitmap* ABitmap, const TRect& ADest, TdxGpAlpha AAlpha) {
  if (!ABitmap || ABitmap->Empty()) return;
  TdxGPImage image(ABitmap);
  DrawImage(&image, ADest, AAlpha);
}

void TdxGPCanvas::DrawArc(const TRect& R, TColor APenColor, float AStartAngle, float ASweepAngle, float APenWidth,
                          TPenStyle APenStyle, TdxGpAlpha APenAlpha) {
  TShapeTools t;
  if (!dxGpCreatePen(t.Pen, APenColor, APenStyle, APenWidth, APenAlpha)) return;
  TRect r = Shrunk(R);
  dxGpCheck(dxGpApi.GdipDrawArcI(FHandle, t.Pen, r.Left, r.Top, r.Width(), r.Height(), -AStartAngle, -ASweepAngle));
}

void TdxGPCanvas::DrawEllipse(const TRect& R, TColor APenColor, TColor ABrushColor, float APenWidth,
                              TPenStyle APenStyle, TdxGpAlpha APenAlpha, TdxGpAlpha ABrushAlpha) {
  TShapeTools t;
  bool brush = dxGpCreateSolidBrush(t.Brush, ABrushColor, ABrushAlpha);
  bool pen = dxGpCreatePen(t.Pen, APenColor, APenStyle, APenWidth, APenAlpha);
  TRect r = Shrunk(R);
  if (brush) dxGpCheck(dxGpApi.GdipFillEllipseI(FHandle, t.Brush, r.Left, r.Top, r.Width(), r.Height()));
  if (pen) dxGpCheck(dxGpApi.GdipDrawEllipseI(FHandle, t.Pen, r.Left, r.Top, r.Width(), r.Height()));
}

void TdxGPCanvas::DrawPie(const TRect& R, TColor APenColor, float AStartAngle, float ASweepAngle, TColor ABrushColor,
                          float APenWidth, TPenStyle APenStyle, TdxGpAlpha APenAlpha, TdxGpAlpha ABrushAlpha) {
  TShapeTools t;
  bool brush = dxGpCreateSolidBrush(t.Brush, ABrushColor, ABrushAlpha);
  bool pen = dxGpCreatePen(t.Pen, APenColor, APenStyle, APenWidth, APenAlpha);
  TRect r = Shrunk(R);
  if (brush)
    dxGpCheck(dxGpApi.GdipFillPieI(FHandle, t.Brush, r.Left, r.Top, r.Width(), r.Height(), -AStartAngle,
                                   -ASweepAngle));
  if (pen)
    dxGpCheck(dxGpApi.GdipDrawPieI(FHandle, t.Pen, r.Left, r.Top, r.Width(), r.Height(), -AStartAngle, -ASweepAngle));
}

void TdxGPCanvas::DrawLine(Integer X1, Integer Y1, Integer X2, Integer Y2, TColor APenColor, float APenWidth,
                           TPenStyle APenStyle, TdxGpAlpha APenAlpha) {
  TShapeTools t;
  if (dxGpCreatePen(t.Pen, APenColor, APenStyle, APenWidth, APenAlpha))
    dxGpCheck(dxGpApi.GdipDrawLineI(FHandle, t.Pen, X1, Y1, X2, Y2));
}

void TdxGPCanvas::DrawPolygon(std::span<const GpPointF> APoints, TColor APenColor, TColor ABrushColor,
                              float APenWidth, TPenStyle APenStyle, TdxGpAlpha APenAlpha, TdxGpAlpha ABrushAlpha) {
  TShapeTools t;
  bool brush = dxGpCreateSolidBrush(t.Brush, ABrushColor, ABrushAlpha);
  bool pen = dxGpCreatePen(t.Pen, APenColor, APenStyle, APenWidth, APenAlpha);
  INT count = static_cast<INT>(APoints.size());
  if (brush) dxGpCheck(dxGpApi.GdipFillPolygon(FHandle, t.Brush, APoints.data(), count, FillModeWinding));
  if (pen) dxGpCheck(dxGpApi.GdipDrawPolygon(FHandle, t.Pen, APoints.data(), count));
}

void TdxGPCanvas::ShrinkShapeRect(TRect& R) {
  --R.Right;
  --R.Bottom;
}

// ---- Pens and brushes ---------------------------------------------------------------

bool dxGpCreatePen(GpPen*& APen, TColor AColor, TPenStyle AStyle, float AWidth, TdxGpAlpha AAlpha) {
  APen = nullptr;
  if (AColor == clNone || !(AWidth > 0.0f) || AStyle >= psClear) return false;
  dxGpCheck(dxGpApi.GdipCreatePen1(dxGpARGBValue(dxGpColorToARGB(AColor, AAlpha)), AWidth, UnitPixel, &APen));
  dxGpCheck(dxGpApi.GdipSetPenDashStyle(APen, static_cast<DashStyle>(AStyle)));
  return true;
}

bool dxGpCreateSolidBrush(GpBrush*& ABrush, TColor AColor, TdxGpAlpha AAlpha) {
  ABrush = nullptr;
  if (AColor == clNone) return false;
  GpSolidFill* fill = nullptr;
  dxGpCheck(dxGpApi.GdipCreateSolidFill(dxGpARGBValue(dxGpColorToARGB(AColor, AAlpha)), &fill));
  ABrush = fill;
  return true;
}

// ---- Paint canvases ---------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TdxGPCustomPaintCanvas)
RTL_IMPLEMENT_CLASS(TdxGPPaintCanvas)

TdxGPCustomPaintCanvas::~TdxGPCustomPaintCanvas() {
  // A painting on a given Graphics never owned the handle.
  if (!FDrawDC) FHandle = nullptr;
  delete FBuffer;
}

void TdxGPCustomPaintCanvas::BeginPaint(HDC DC, const TRect& R) {
  PushState();
  FPaintRect = R;
  FDrawDC = DC;
  FHandle = nullptr;
  FBuffer = nullptr;
  if (dxGpDCNeedsBuffer(DC)) {
    CreateBuffer(DC, R);
    OpenOnDC(FBuffer->Canvas()->Handle());
  } else
    OpenOnDC(DC);
}

void TdxGPCustomPaintCanvas::BeginPaintOnGraphics(GpGraphics* AGraphics) {
  PushState();
  FPaintRect = TRect(0, 0, 0, 0);
  FDrawDC = nullptr;
  FBuffer = nullptr;
  FHandle = AGraphics;
}

void TdxGPCustomPaintCanvas::EndPaint() {
  if (FDrawDC)
    CloseGraphics();
  else
    FHandle = nullptr;  // the caller's Graphics stays the caller's
  if (FBuffer) FlushBuffer();
  PopState();
}

void TdxGPCustomPaintCanvas::CreateBuffer(HDC DC, const TRect& R) {
  FBuffer = new TBitmap();
  FBuffer->SetPixelFormat(pf32bit);
  FBuffer->SetSize(R.Width() + 1, R.Height() + 1);
  FBuffer->Canvas()->Lock();
  HDC bufferDC = FBuffer->Canvas()->Handle();
  BitBlt(bufferDC, 0, 0, FBuffer->Width(), FBuffer->Height(), DC, R.Left, R.Top, SRCCOPY);
  SetWindowOrgEx(bufferDC, R.Left, R.Top, nullptr);
}

void TdxGPCustomPaintCanvas::FlushBuffer() {
  CopyBufferToDC();
  FBuffer->Canvas()->Unlock();
  delete FBuffer;
  FBuffer = nullptr;
}

void TdxGPCustomPaintCanvas::CopyBufferToDC() {
  int saved = SaveDC(FDrawDC);
  TCanvas target;
  target.Lock();
  target.SetHandle(FDrawDC);
  SetWindowOrgEx(FBuffer->Canvas()->Handle(), 0, 0, nullptr);
  target.Draw(FPaintRect.Left, FPaintRect.Top, FBuffer);
  target.SetHandle(nullptr);
  target.Unlock();
  RestoreDC(FDrawDC, saved);
}

void TdxGPPaintCanvas::PushState() {
  if (static_cast<Integer>(FSavedStates.size()) < FSavedStateCount + 1)
    FSavedStates.resize(std::max<size_t>(FSavedStateCount + 1, FSavedStates.size() + 4));
  FSavedStates[FSavedStateCount] = TState{FHandle, FBuffer, FPaintRect, FDrawDC};
  ++FSavedStateCount;
}

void TdxGPPaintCanvas::PopState() {
  --FSavedStateCount;
  const TState& s = FSavedStates[FSavedStateCount];
  FHandle = s.Handle;
  FBuffer = s.Buffer;
  FPaintRect = s.PaintRect;
  FDrawDC = s.DrawDC;
}

TdxGPPaintCanvas* dxGpSharedPaintCanvas() {
  if (!gSharedPaintCanvas && !gSharedObjectsFreed) gSharedPaintCanvas = new TdxGPPaintCanvas();
  return gSharedPaintCanvas;
}

TdxGPCustomPaintCanvas* dxGpBeginPaint(HDC DC, const TRect& R) {
  auto* canvas = new TdxGPCustomPaintCanvas();
  auto guard = TScopeExit(seOnUnwind, [&] { delete canvas; });
  canvas->BeginPaint(DC, R);
  return canvas;
}

TdxGPCustomPaintCanvas* dxGpCanvasOnGraphics(GpGraphics* AGraphics) {
  auto* canvas = new TdxGPCustomPaintCanvas();
  canvas->BeginPaintOnGraphics(AGraphics);
  return canvas;
}

void dxGpEndPaint(TdxGPCustomPaintCanvas*& ACanvas) {
  TdxGPCustomPaintCanvas* canvas = ACanvas;
  ACanvas = nullptr;
  auto guard = TScopeExit([&] { delete canvas; });
  canvas->EndPaint();
}

HWND dxGpWindowFromDC(HDC DC) { return gWindowFromDC ? gWindowFromDC(DC) : nullptr; }

bool dxGpDCNeedsBuffer(HDC DC) {
  if (GetDeviceCaps(DC, BITSPIXEL) <= 16 || GetDeviceCaps(DC, TECHNOLOGY) == DT_RASPRINTER ||
      GetDeviceCaps(DC, NUMCOLORS) > 1)
    return true;
  if (!OSWinVistaOrLater) {
    HWND wnd = dxGpWindowFromDC(DC);
    return wnd && (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
  }
  return false;
}

// ---- Free routines -----------------------------------------------------------------------

namespace {

bool IsVisible(GpGraphics* AGraphics, const TRect& R) {
  BOOL visible = FALSE;
  dxGpCheck(dxGpApi.GdipIsVisibleRectI(AGraphics, R.Left, R.Top, R.Width(), R.Height(), &visible));
  return visible != FALSE;
}

bool TileByTexture(GpGraphics* AGraphics, const TRect& ADest, const TRect& ASource, GpImage* AImage) {
  GpTexture* brush = nullptr;
  // A texture that cannot be made is not an error: tiling by parts follows.
  if (dxGpApi.GdipCreateTexture2I(AImage, WrapModeTile, ASource.Left, ASource.Top, ASource.Width(),
                                  ASource.Height(), &brush) != Ok ||
      !brush)
    return false;
  GpBitmap* bitmap = nullptr;
  GpGraphics* graphics = nullptr;
  auto guard = TScopeExit([&] {
    if (graphics) dxGpApi.GdipDeleteGraphics(graphics);
    if (bitmap) dxGpApi.GdipDisposeImage(bitmap);
    dxGpApi.GdipDeleteBrush(brush);
  });
  bitmap = dxGpCreateBitmapForRect(ADest);
  dxGpCheck(dxGpApi.GdipGetImageGraphicsContext(bitmap, &graphics));
  dxGpCheck(dxGpApi.GdipFillRectangleI(graphics, brush, 0, 0, ADest.Width(), ADest.Height()));
  dxGpCheck(dxGpApi.GdipDrawImageRectI(AGraphics, bitmap, ADest.Left, ADest.Top, ADest.Width(), ADest.Height()));
  return true;
}

void TileByParts(GpGraphics* AGraphics, const TRect& ADest, const TRect& ASource, TdxGpAlpha AAlpha,
                 GpImage* AImage) {
  Integer sw = ASource.Width(), sh = ASource.Height();
  Integer columns = (ADest.Width() + sw - 1) / sw;
  Integer rows = (ADest.Height() + sh - 1) / sh;
  for (Integer r = 0; r < rows; ++r)
    for (Integer c = 0; c < columns; ++c) {
      TRect dest(ADest.Left + c * sw, ADest.Top + r * sh, ADest.Left + (c + 1) * sw, ADest.Top + (r + 1) * sh);
      TRect source = ASource;
      if (dest.Right > ADest.Right) {
        source.Right -= dest.Right - ADest.Right;
        dest.Right = ADest.Right;
      }
      if (dest.Bottom > ADest.Bottom) {
        source.Bottom -= dest.Bottom - ADest.Bottom;
        dest.Bottom = ADest.Bottom;
      }
      dxGpDrawImagePart(AGraphics, dest, source, AAlpha, AImage);
    }
}

}  // namespace

void dxGpDrawImagePart(GpGraphics* AGraphics, const TRect& ADest, const TRect& ASource, TdxGpAlpha AAlpha,
                       GpImage* AImage) {
  Integer sw = ASource.Width(), sh = ASource.Height();
  if (sw < 1 || sh < 1 || ADest.Width() < 1 || ADest.Height() < 1) return;
  if (ADest.Width() > sw && sw > 1) --sw;
  if (ADest.Height() > sh && sh > 1) --sh;
  if (!IsVisible(AGraphics, ADest)) return;
  GpImageAttributes* attributes = nullptr;
  if (AAlpha != dxGpOpaque) {
    TdxGPAlphaBlendAttributes* shared = dxGpGetAlphaBlendAttributes(AAlpha);
    if (!shared) return;  // the unit has shut down
    attributes = shared->Handle();
  }
  dxGpCheck(dxGpApi.GdipDrawImageRectRectI(AGraphics, AImage, ADest.Left, ADest.Top, ADest.Width(), ADest.Height(),
                                           ASource.Left, ASource.Top, sw, sh, UnitPixel, attributes, nullptr,
                                           nullptr));
}

void dxGpTileImagePart(GpGraphics* AGraphics, const TRect& ADest, const TRect& ASource, TdxGpAlpha AAlpha,
                       GpImage* AImage) {
  if (ASource.Width() < 1 || ASource.Height() < 1 || ADest.Width() < 1 || ADest.Height() < 1) return;
  if (!IsVisible(AGraphics, ADest)) return;
  if (AAlpha == dxGpOpaque && (ASource.Width() < ADest.Width() || ASource.Height() < ADest.Height()) &&
      TileByTexture(AGraphics, ADest, ASource, AImage))
    return;
  TileByParts(AGraphics, ADest, ASource, AAlpha, AImage);
}

void dxGpFillRectSolid(GpGraphics* AGraphics, const TRect& R, TdxGpARGB AColor) {
  GpSolidFill* brush = nullptr;
  dxGpCheck(dxGpApi.GdipCreateSolidFill(dxGpARGBValue(AColor), &brush));
  auto guard = TScopeExit([&] { dxGpApi.GdipDeleteBrush(brush); });
  dxGpCheck(dxGpApi.GdipFillRectangleI(AGraphics, brush, R.Left, R.Top, R.Width(), R.Height()));
}

void dxGpFillRectGradient(GpGraphics* AGraphics, const TRect& R, TdxGpARGB AColor1, LinearGradientMode AMode,
                          TdxGpARGB AColor2) {
  GpRect area{R.Left - 1, R.Top - 1, R.Width() + 2, R.Height() + 2};
  GpLineGradient* brush = nullptr;
  dxGpCheck(dxGpApi.GdipCreateLineBrushFromRectI(&area, dxGpARGBValue(AColor1), dxGpARGBValue(AColor2), AMode,
                                                 WrapModeTile, &brush));
  auto guard = TScopeExit([&] { dxGpApi.GdipDeleteBrush(brush); });
  dxGpCheck(dxGpApi.GdipFillRectangleI(AGraphics, brush, R.Left, R.Top, R.Width(), R.Height()));
}

void dxGpFillRectOnDC(HDC DC, const TRect& R, TColor AColor, TdxGpAlpha AAlpha) {
  TdxGPPaintCanvas* canvas = dxGpSharedPaintCanvas();
  canvas->BeginPaint(DC, R);
  auto guard = TScopeExit([&] { canvas->EndPaint(); });
  dxGpFillRectSolid(canvas->Handle(), R, dxGpColorToARGB(AColor, AAlpha));
}

void dxGpFillGradientOnDC(HDC DC, const TRect& R, TColor AColor1, TdxGpAlpha AAlpha1, TColor AColor2,
                          TdxGpAlpha AAlpha2, LinearGradientMode AMode) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  TdxGPPaintCanvas* canvas = dxGpSharedPaintCanvas();
  canvas->BeginPaint(DC, R);
  auto guard = TScopeExit([&] { canvas->EndPaint(); });
  dxGpFillRectGradient(canvas->Handle(), R, dxGpColorToARGB(AColor1, AAlpha1), AMode,
                       dxGpColorToARGB(AColor2, AAlpha2));
}

void dxGpDrawString(TdxGPCustomPaintCanvas* ACanvas, const AnsiString& AText, const TRect& R,
                    TdxGpAlpha AColorAlpha, TextRenderingHint ARenderingHint, bool AWordWrap,
                    TcxTextVertAlign AVertAlignment, TAlignment AHorzAlignment, TColor AColor, TFont* AFont) {
  if (R.Width() <= 0 || R.Height() <= 0 || AText.empty()) return;
  GpStringFormat* format = nullptr;
  GpSolidFill* brush = nullptr;
  GpFont* font = nullptr;
  auto guard = TScopeExit([&] {
    if (font) dxGpApi.GdipDeleteFont(font);
    if (brush) dxGpApi.GdipDeleteBrush(brush);
    if (format) dxGpApi.GdipDeleteStringFormat(format);
  });
  dxGpCheck(dxGpApi.GdipCreateStringFormat(AWordWrap ? 0 : StringFormatFlagsNoWrap, 0, &format));
  dxGpCheck(dxGpApi.GdipCreateSolidFill(dxGpARGBValue(dxGpColorToARGB(AColor, AColorAlpha)), &brush));
  font = dxGpCreateFontFromTFont(AFont);
  static const StringAlignment kHorz[] = {StringAlignmentNear, StringAlignmentFar, StringAlignmentCenter};
  static const StringAlignment kVert[] = {StringAlignmentNear, StringAlignmentFar, StringAlignmentCenter};
  dxGpCheck(dxGpApi.GdipSetStringFormatAlign(format, kHorz[AHorzAlignment]));
  dxGpCheck(dxGpApi.GdipSetStringFormatLineAlign(format, kVert[AVertAlignment]));
  dxGpCheck(dxGpApi.GdipSetTextRenderingHint(ACanvas->Handle(), ARenderingHint));
  WideString text = AnsiToWide(AText);
  GpRectF layout = dxGpRectToRectF(R);
  dxGpCheck(dxGpApi.GdipDrawString(ACanvas->Handle(), text.c_str(), -1, font, &layout, format, brush));
}

// ---- Alpha-blend attributes -------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TdxGPAlphaBlendAttributes)

TdxGPAlphaBlendAttributes::TdxGPAlphaBlendAttributes() {
  dxGpCheck(dxGpApi.GdipCreateImageAttributes(&FHandle));
  for (int i = 0; i < 5; ++i) FColorMatrix.m[i][i] = 1.0f;
  FAlpha = 0;  // differs from 255, so the first SetAlpha sends the matrix
  SetAlpha(dxGpOpaque);
}

TdxGPAlphaBlendAttributes::~TdxGPAlphaBlendAttributes() {
  if (FHandle && dxGpApi.GdipDisposeImageAttributes) dxGpApi.GdipDisposeImageAttributes(FHandle);
}

void TdxGPAlphaBlendAttributes::SetAlpha(TdxGpAlpha AAlpha) {
  if (AAlpha.Value == FAlpha) return;
  FAlpha = AAlpha.Value;
  FColorMatrix.m[3][3] = FAlpha / 255.0f;
  dxGpCheck(dxGpApi.GdipSetImageAttributesColorMatrix(FHandle, ColorAdjustTypeBitmap, TRUE, &FColorMatrix, nullptr,
                                                      ColorMatrixFlagsDefault));
}

TdxGPAlphaBlendAttributes* dxGpGetAlphaBlendAttributes(TdxGpAlpha AAlpha) {
  if (!gSharedAttributes) {
    if (gSharedObjectsFreed) return nullptr;
    gSharedAttributes = new TdxGPAlphaBlendAttributes();
  }
  gSharedAttributes->SetAlpha(AAlpha);
  return gSharedAttributes;
}

namespace dx_gdiplus_detail {

void FreeSharedCanvasObjects() {
  gSharedObjectsFreed = true;
  dxFreeThenNil(gSharedAttributes);
  dxFreeThenNil(gSharedPaintCanvas);
}

void ResetSharedCanvasObjects() {
  dxFreeThenNil(gSharedAttributes);
  dxFreeThenNil(gSharedPaintCanvas);
  gSharedObjectsFreed = false;
}

void AllowSharedCanvasObjects() { gSharedObjectsFreed = false; }

void BindWindowFromDC() {
  gWindowFromDC = reinterpret_cast<TWindowFromDC>(GetProcAddress(GetModuleHandleA("user32.dll"), "WindowFromDC"));
}

}  // namespace dx_gdiplus_detail
