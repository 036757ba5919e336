// The GDI+ canvas against a recording stand-in of the flat API: which
// objects it makes, which rectangles it draws, how tiling is cut, and how
// paint canvases nest and buffer.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "platform/forms/bitmap.h"
#include "platform/win/user/user_test_seams.h"
#include "tests/common/dib_canvas.h"
#include "ui/foundation/gdiplus_canvas.h"

namespace {

// ---- Argument orders that must not compile ---------------------------------------------

template <class... A>
concept DrawImagePartTakes = requires(A... a) { dxGpDrawImagePart(a...); };
template <class... A>
concept TileImagePartTakes = requires(A... a) { dxGpTileImagePart(a...); };
template <class... A>
concept FillRectGradientTakes = requires(A... a) { dxGpFillRectGradient(a...); };
template <class... A>
concept FillGradientOnDCTakes = requires(A... a) { dxGpFillGradientOnDC(a...); };
template <class... A>
concept DrawEllipseTakes = requires(TdxGPCanvas* c, A... a) { c->DrawEllipse(a...); };
template <class... A>
concept DrawArcTakes = requires(TdxGPCanvas* c, A... a) { c->DrawArc(a...); };
template <class... A>
concept DrawLineTakes = requires(TdxGPCanvas* c, A... a) { c->DrawLine(a...); };

static_assert(DrawImagePartTakes<GpGraphics*, TRect, TRect, TdxGpAlpha, GpImage*>);
static_assert(!DrawImagePartTakes<GpGraphics*, TRect, TRect, GpImage*, TdxGpAlpha>);
static_assert(!DrawImagePartTakes<GpGraphics*, TRect, TRect, GpImage*, int>);
static_assert(TileImagePartTakes<GpGraphics*, TRect, TRect, TdxGpAlpha, GpImage*>);
static_assert(!TileImagePartTakes<GpGraphics*, TRect, TRect, GpImage*, TdxGpAlpha>);
static_assert(FillRectGradientTakes<GpGraphics*, TRect, TdxGpARGB, LinearGradientMode, TdxGpARGB>);
static_assert(!FillRectGradientTakes<GpGraphics*, TRect, TdxGpARGB, TdxGpARGB, LinearGradientMode>);
static_assert(FillGradientOnDCTakes<HDC, TRect, TColor, TdxGpAlpha, TColor, TdxGpAlpha, LinearGradientMode>);
static_assert(!FillGradientOnDCTakes<HDC, TRect, TColor, TColor, TdxGpAlpha, TdxGpAlpha, LinearGradientMode>);
static_assert(DrawEllipseTakes<TRect, TColor, TColor, float, TPenStyle, TdxGpAlpha, TdxGpAlpha>);
// (R, pen colour, fill alpha, pen alpha, pen style, pen width, fill colour)
static_assert(!DrawEllipseTakes<TRect, TColor, TdxGpAlpha, TdxGpAlpha, TPenStyle, float, TColor>);
// (R, pen colour, pen alpha, pen style, pen width, start, sweep)
static_assert(!DrawArcTakes<TRect, TColor, TdxGpAlpha, TPenStyle, float, float, float>);
// (x1, y1, x2, y2, pen alpha, pen style, pen width, pen colour)
static_assert(!DrawLineTakes<int, int, int, int, TdxGpAlpha, TPenStyle, float, TColor>);
static_assert(!std::is_convertible_v<int, TdxGpAlpha> && !std::is_convertible_v<TdxGpAlpha, TColor>);

// ---- The recording stand-in --------------------------------------------------------------

struct TCall {
  std::string Name;
  GpRect Dest{};
  GpRect Source{};
  const void* Object = nullptr;
};
std::vector<TCall> gCalls;
bool gTextureFails = false;
GpRect gVisible{0, 0, 100, 100};

template <class T>
T* Fake(uintptr_t n) {
  return reinterpret_cast<T*>(n);
}
void GpLog(const char* name, GpRect dest = {}, GpRect source = {}, const void* object = nullptr) {
  gCalls.push_back({name, dest, source, object});
}
int Count(const std::string& name) {
  int n = 0;
  for (const TCall& c : gCalls) n += c.Name == name;
  return n;
}
std::vector<TCall> CallsOf(const std::string& name) {
  std::vector<TCall> r;
  for (const TCall& c : gCalls)
    if (c.Name == name) r.push_back(c);
  return r;
}

void InstallFakes() {
  dxGpApi.GdipCreatePen1 = [](ARGB, REAL, GpUnit, GpPen** pen) {
    GpLog("CreatePen1");
    *pen = Fake<GpPen>(0x100);
    return Ok;
  };
  dxGpApi.GdipSetPenDashStyle = [](GpPen*, GpDashStyle) { return GpLog("SetPenDashStyle"), Ok; };
  dxGpApi.GdipDeletePen = [](GpPen*) { return GpLog("DeletePen"), Ok; };
  dxGpApi.GdipCreateSolidFill = [](ARGB, GpSolidFill** brush) {
    GpLog("CreateSolidFill");
    *brush = Fake<GpSolidFill>(0x200);
    return Ok;
  };
  dxGpApi.GdipDeleteBrush = [](GpBrush*) { return GpLog("DeleteBrush"), Ok; };
  dxGpApi.GdipFillEllipseI = [](GpGraphics*, GpBrush*, INT x, INT y, INT w, INT h) {
    return GpLog("FillEllipseI", {x, y, w, h}), Ok;
  };
  dxGpApi.GdipDrawEllipseI = [](GpGraphics*, GpPen*, INT x, INT y, INT w, INT h) {
    return GpLog("DrawEllipseI", {x, y, w, h}), Ok;
  };
  dxGpApi.GdipFillPieI = [](GpGraphics*, GpBrush*, INT, INT, INT, INT, REAL, REAL) { return GpLog("FillPieI"), Ok; };
  dxGpApi.GdipDrawPieI = [](GpGraphics*, GpPen*, INT, INT, INT, INT, REAL, REAL) { return GpLog("DrawPieI"), Ok; };
  dxGpApi.GdipDrawArcI = [](GpGraphics*, GpPen*, INT x, INT y, INT w, INT h, REAL start, REAL sweep) {
    return GpLog("DrawArcI", {x, y, w, h}, {static_cast<INT>(start), static_cast<INT>(sweep), 0, 0}), Ok;
  };
  dxGpApi.GdipIsVisibleRectI = [](GpGraphics*, INT x, INT y, INT w, INT h, BOOL* visible) {
    *visible = x < gVisible.X + gVisible.Width && y < gVisible.Y + gVisible.Height && x + w > gVisible.X &&
               y + h > gVisible.Y;
    return Ok;
  };
  dxGpApi.GdipDrawImageRectRectI = [](GpGraphics*, GpImage* image, INT dx, INT dy, INT dw, INT dh, INT sx, INT sy,
                                      INT sw, INT sh, GpUnit, const GpImageAttributes* attributes, DrawImageAbort,
                                      void*) {
    return GpLog("DrawImageRectRectI", {dx, dy, dw, dh}, {sx, sy, sw, sh}, attributes), Ok;
  };
  dxGpApi.GdipCreateTexture2I = [](GpImage*, GpWrapMode, INT x, INT y, INT w, INT h, GpTexture** texture) {
    GpLog("CreateTexture2I", {}, {x, y, w, h});
    if (gTextureFails) return OutOfMemory;
    *texture = Fake<GpTexture>(0x300);
    return Ok;
  };
  dxGpApi.GdipCreateBitmapFromScan0 = [](INT w, INT h, INT, PixelFormat, BYTE*, GpBitmap** bitmap) {
    GpLog("CreateBitmapFromScan0", {0, 0, w, h});
    *bitmap = Fake<GpBitmap>(0x400);
    return Ok;
  };
  dxGpApi.GdipGetImageGraphicsContext = [](GpImage*, GpGraphics** graphics) {
    GpLog("GetImageGraphicsContext");
    *graphics = Fake<GpGraphics>(0x500);
    return Ok;
  };
  dxGpApi.GdipFillRectangleI = [](GpGraphics* g, GpBrush*, INT x, INT y, INT w, INT h) {
    return GpLog("FillRectangleI", {x, y, w, h}, {}, g), Ok;
  };
  dxGpApi.GdipDrawImageRectI = [](GpGraphics*, GpImage*, INT x, INT y, INT w, INT h) {
    return GpLog("DrawImageRectI", {x, y, w, h}), Ok;
  };
  dxGpApi.GdipDeleteGraphics = [](GpGraphics* g) { return GpLog("DeleteGraphics", {}, {}, g), Ok; };
  dxGpApi.GdipDisposeImage = [](GpImage*) { return GpLog("DisposeImage"), Ok; };
  dxGpApi.GdipCreateImageAttributes = [](GpImageAttributes** a) {
    GpLog("CreateImageAttributes");
    *a = Fake<GpImageAttributes>(0x600);
    return Ok;
  };
  dxGpApi.GdipSetImageAttributesColorMatrix = [](GpImageAttributes*, ColorAdjustType, BOOL, const ColorMatrix* m,
                                                 const ColorMatrix*, ColorMatrixFlags) {
    return GpLog("SetColorMatrix", {static_cast<INT>(m->m[3][3] * 1000 + 0.5f), 0, 0, 0}), Ok;
  };
  dxGpApi.GdipDisposeImageAttributes = [](GpImageAttributes*) { return GpLog("DisposeImageAttributes"), Ok; };
  // Each DC gets a Graphics whose value is the DC's.
  dxGpApi.GdipCreateFromHDC = [](HDC dc, GpGraphics** g) {
    GpLog("CreateFromHDC", {}, {}, dc);
    *g = reinterpret_cast<GpGraphics*>(dc);
    return Ok;
  };
}

// Text: the fakes of the string routine, the last draw failing on demand.
bool gDrawStringFails = false;
int gFormatFlags = -1, gAlign = -1, gLineAlign = -1, gHint = -1;
void InstallTextFakes() {
  dxGpApi.GdipCreateStringFormat = [](INT flags, LANGID, GpStringFormat** f) {
    gFormatFlags = flags;
    *f = Fake<GpStringFormat>(0x700);
    return GpLog("CreateStringFormat"), Ok;
  };
  dxGpApi.GdipSetStringFormatAlign = [](GpStringFormat*, StringAlignment a) { return gAlign = a, Ok; };
  dxGpApi.GdipSetStringFormatLineAlign = [](GpStringFormat*, StringAlignment a) { return gLineAlign = a, Ok; };
  dxGpApi.GdipSetTextRenderingHint = [](GpGraphics*, TextRenderingHint h) { return gHint = h, Ok; };
  dxGpApi.GdipCreateFontFromLogfontA = [](HDC, const LOGFONTA*, GpFont** f) {
    *f = Fake<GpFont>(0x800);
    return GpLog("CreateFont"), Ok;
  };
  dxGpApi.GdipDrawString = [](GpGraphics*, const WCHAR* text, INT length, const GpFont*, const GpRectF* r,
                              const GpStringFormat*, const GpBrush*) {
    GpLog("DrawString", {static_cast<INT>(r->X), static_cast<INT>(r->Y), static_cast<INT>(r->Width),
                       static_cast<INT>(r->Height)}, {length, text[0], 0, 0});
    return gDrawStringFails ? GenericError : Ok;
  };
  dxGpApi.GdipDeleteFont = [](GpFont*) { return GpLog("DeleteFont"), Ok; };
  dxGpApi.GdipDeleteStringFormat = [](GpStringFormat*) { return GpLog("DeleteStringFormat"), Ok; };
}

class GdiPlusCanvasFake : public ::testing::Test {
 protected:
  TdxGpApi FSaved{};
  void SetUp() override {
    ASSERT_TRUE(dxGpCheckAvailable(false));
    dx_gdiplus_detail::ResetSharedCanvasObjects();
    FSaved = dxGpApi;
    InstallFakes();
    gCalls.clear();
    gTextureFails = false;
    gVisible = {0, 0, 100, 100};
  }
  void TearDown() override {
    dx_gdiplus_detail::ResetSharedCanvasObjects();
    dxGpApi = FSaved;
    rtl::testing::SetDeviceCapsOverride({});
  }
  GpGraphics* FGraphics = Fake<GpGraphics>(0x900);
  GpImage* FImage = Fake<GpImage>(0xA00);
};

TEST_F(GdiPlusCanvasFake, EllipseWithoutBrushAndZeroPenMakesNothing) {
  TdxGPCanvas canvas(FGraphics);
  canvas.DrawEllipse(TRect(0, 0, 10, 10), clRed, clNone, 0);
  EXPECT_TRUE(gCalls.empty());
  canvas.DrawEllipse(TRect(0, 0, 10, 10), clNone, clNone, 3);
  EXPECT_TRUE(gCalls.empty());
  canvas.DrawLine(0, 0, 5, 5, clRed, -1);
  EXPECT_TRUE(gCalls.empty());
  canvas.DrawEllipse(TRect(2, 3, 12, 23), clRed, clBlue, 1);
  ASSERT_EQ(CallsOf("FillEllipseI").size(), 1u);
  GpRect r = CallsOf("FillEllipseI")[0].Dest;
  EXPECT_EQ(r.Width, 9) << "right and bottom one pixel in";
  EXPECT_EQ(r.Height, 19);
  EXPECT_EQ(Count("DrawEllipseI"), 1);
  EXPECT_EQ(Count("DeletePen"), 1);
  EXPECT_EQ(Count("DeleteBrush"), 1);
}

TEST_F(GdiPlusCanvasFake, PenStylesFromClearOnFillOnly) {
  TdxGPCanvas canvas(FGraphics);
  for (TPenStyle style : {psClear, psInsideFrame}) {
    gCalls.clear();
    canvas.DrawPie(TRect(0, 0, 20, 20), clRed, 0, 90, clBlue, 2, style);
    EXPECT_EQ(Count("FillPieI"), 1);
    EXPECT_EQ(Count("DrawPieI"), 0);
    EXPECT_EQ(Count("CreatePen1"), 0);
  }
  gCalls.clear();
  canvas.DrawArc(TRect(0, 0, 20, 20), clRed, 30, 60, 1, psDashDot);
  ASSERT_EQ(Count("DrawArcI"), 1);
  EXPECT_EQ(CallsOf("DrawArcI")[0].Source.X, -30) << "angles go to GDI+ negated";
  EXPECT_EQ(CallsOf("DrawArcI")[0].Source.Y, -60);
}

TEST_F(GdiPlusCanvasFake, StretchedSourceLosesItsLastPixel) {
  struct {
    TRect Source, Dest;
    INT ExpectedWidth, ExpectedHeight;
  } const cases[] = {
      {TRect(0, 0, 16, 16), TRect(0, 0, 32, 32), 15, 15},
      {TRect(0, 0, 1, 1), TRect(0, 0, 32, 32), 1, 1},
      {TRect(4, 4, 20, 20), TRect(0, 0, 16, 16), 16, 16},   // same size: kept
      {TRect(0, 0, 16, 8), TRect(0, 0, 32, 8), 15, 8},      // only the stretched direction
      {TRect(0, 0, 16, 16), TRect(0, 0, 8, 8), 16, 16},     // shrinking keeps the source
  };
  for (const auto& c : cases) {
    gCalls.clear();
    dxGpDrawImagePart(FGraphics, c.Dest, c.Source, dxGpOpaque, FImage);
    ASSERT_EQ(Count("DrawImageRectRectI"), 1);
    TCall call = CallsOf("DrawImageRectRectI")[0];
    EXPECT_EQ(call.Source.Width, c.ExpectedWidth);
    EXPECT_EQ(call.Source.Height, c.ExpectedHeight);
    EXPECT_EQ(call.Dest.Width, c.Dest.Width());
    EXPECT_EQ(call.Object, nullptr) << "no attributes at full opacity";
  }
}

TEST_F(GdiPlusCanvasFake, NothingOutsideTheVisibleAreaOrForEmptyRectangles) {
  dxGpDrawImagePart(FGraphics, TRect(200, 200, 210, 210), TRect(0, 0, 10, 10), dxGpOpaque, FImage);
  dxGpDrawImagePart(FGraphics, TRect(0, 0, 0, 10), TRect(0, 0, 10, 10), dxGpOpaque, FImage);
  dxGpDrawImagePart(FGraphics, TRect(0, 0, 10, 10), TRect(0, 0, 10, 0), dxGpOpaque, FImage);
  dxGpTileImagePart(FGraphics, TRect(200, 0, 250, 50), TRect(0, 0, 10, 10), dxGpOpaque, FImage);
  EXPECT_EQ(Count("DrawImageRectRectI"), 0);
  EXPECT_EQ(Count("CreateTexture2I"), 0);
}

TEST_F(GdiPlusCanvasFake, TilingWithAlphaDrawsCutTiles) {
  dxGpTileImagePart(FGraphics, TRect(0, 0, 25, 25), TRect(0, 0, 10, 10), TdxGpAlpha(128), FImage);
  auto draws = CallsOf("DrawImageRectRectI");
  ASSERT_EQ(draws.size(), 9u);
  EXPECT_EQ(Count("CreateTexture2I"), 0);
  for (const TCall& d : draws) {
    bool lastColumn = d.Dest.X == 20, lastRow = d.Dest.Y == 20;
    EXPECT_EQ(d.Dest.Width, lastColumn ? 5 : 10);
    EXPECT_EQ(d.Source.Width, lastColumn ? 5 : 10);
    EXPECT_EQ(d.Dest.Height, lastRow ? 5 : 10);
    EXPECT_EQ(d.Source.Height, lastRow ? 5 : 10);
    EXPECT_NE(d.Object, nullptr) << "alpha goes through the attributes";
  }
  // The matrix went to GDI+ once: the attributes keep their alpha.
  EXPECT_EQ(Count("SetColorMatrix"), 2);  // 255 at creation, then 128
  EXPECT_EQ(CallsOf("SetColorMatrix").back().Dest.X, 502);
}

TEST_F(GdiPlusCanvasFake, OpaqueTilingIsOneTextureFill) {
  dxGpTileImagePart(FGraphics, TRect(5, 5, 30, 30), TRect(2, 3, 12, 13), dxGpOpaque, FImage);
  EXPECT_EQ(Count("DrawImageRectRectI"), 0);
  ASSERT_EQ(Count("CreateTexture2I"), 1);
  EXPECT_EQ(CallsOf("CreateTexture2I")[0].Source.X, 2);
  EXPECT_EQ(CallsOf("CreateTexture2I")[0].Source.Width, 10);
  ASSERT_EQ(Count("FillRectangleI"), 1);
  EXPECT_EQ(CallsOf("FillRectangleI")[0].Dest.Width, 25);
  ASSERT_EQ(Count("DrawImageRectI"), 1);
  EXPECT_EQ(CallsOf("DrawImageRectI")[0].Dest.X, 5);
  EXPECT_EQ(Count("DeleteGraphics"), 1);
  EXPECT_EQ(Count("DisposeImage"), 1);
  EXPECT_EQ(Count("DeleteBrush"), 1);
}

TEST_F(GdiPlusCanvasFake, FailingTextureFallsBackToParts) {
  gTextureFails = true;
  dxGpTileImagePart(FGraphics, TRect(0, 0, 25, 25), TRect(0, 0, 10, 10), dxGpOpaque, FImage);
  EXPECT_EQ(Count("CreateTexture2I"), 1);
  EXPECT_EQ(Count("DrawImageRectRectI"), 9);
  EXPECT_EQ(Count("FillRectangleI"), 0);
}

TEST_F(GdiPlusCanvasFake, AlphaMatrixIsSentOnlyWhenTheAlphaChanges) {
  dxGpGetAlphaBlendAttributes(TdxGpAlpha(100));
  dxGpGetAlphaBlendAttributes(TdxGpAlpha(100));
  dxGpGetAlphaBlendAttributes(TdxGpAlpha(255));
  dxGpGetAlphaBlendAttributes(TdxGpAlpha(255));
  EXPECT_EQ(Count("CreateImageAttributes"), 1);
  auto sent = CallsOf("SetColorMatrix");
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].Dest.X, 1000);
  EXPECT_EQ(sent[1].Dest.X, 392);
  EXPECT_EQ(sent[2].Dest.X, 1000);
}

TEST_F(GdiPlusCanvasFake, NestedPaintsRestoreTheOuterPainting) {
  TDibCanvas outer(40, 40), inner(20, 20);
  TdxGPPaintCanvas* canvas = dxGpSharedPaintCanvas();
  rtl::testing::SetDeviceCapsOverride({16, 0, 0});
  canvas->BeginPaint(outer.dc, TRect(5, 5, 25, 25));
  TBitmap* outerBuffer = canvas->Buffer();
  GpGraphics* outerGraphics = canvas->Handle();
  ASSERT_NE(outerBuffer, nullptr);
  EXPECT_EQ(outerBuffer->Width(), 21);
  EXPECT_EQ(outerBuffer->Height(), 21);
  rtl::testing::SetDeviceCapsOverride({});
  canvas->BeginPaint(inner.dc, TRect(0, 0, 10, 10));
  EXPECT_EQ(canvas->Buffer(), nullptr);
  EXPECT_EQ(canvas->DrawDC(), inner.dc);
  EXPECT_EQ(canvas->Handle(), reinterpret_cast<GpGraphics*>(inner.dc));
  canvas->EndPaint();
  EXPECT_EQ(canvas->DrawDC(), outer.dc);
  EXPECT_EQ(canvas->Buffer(), outerBuffer);
  EXPECT_EQ(canvas->Handle(), outerGraphics);
  EXPECT_EQ(canvas->PaintRect(), TRect(5, 5, 25, 25));
  canvas->EndPaint();
  EXPECT_EQ(canvas->SavedStateCount(), 0);
  EXPECT_EQ(canvas->Handle(), nullptr);
}

// A painting on the caller's Graphics leaves it to the caller.
TEST_F(GdiPlusCanvasFake, CanvasOnGraphicsDoesNotDeleteIt) {
  TdxGPCustomPaintCanvas* canvas = dxGpCanvasOnGraphics(FGraphics);
  EXPECT_EQ(canvas->Handle(), FGraphics);
  dxGpEndPaint(canvas);
  EXPECT_EQ(canvas, nullptr);
  EXPECT_EQ(Count("DeleteGraphics"), 0);
}

TEST_F(GdiPlusCanvasFake, DrawStringMapsAlignmentsAndAlwaysCleansUp) {
  InstallTextFakes();
  TFont font;
  TdxGPCustomPaintCanvas* canvas = dxGpCanvasOnGraphics(FGraphics);
  dxGpDrawString(canvas, "", TRect(0, 0, 50, 20), dxGpOpaque, TextRenderingHintAntiAlias, true, tvaTop,
                 taLeftJustify, clBlack, &font);
  dxGpDrawString(canvas, "Hi", TRect(0, 0, 0, 20), dxGpOpaque, TextRenderingHintAntiAlias, true, tvaTop,
                 taLeftJustify, clBlack, &font);
  EXPECT_TRUE(gCalls.empty());
  dxGpDrawString(canvas, "Hi", TRect(2, 3, 52, 23), dxGpOpaque, TextRenderingHintAntiAlias, false, tvaBottom,
                 taRightJustify, clBlack, &font);
  EXPECT_EQ(gFormatFlags, StringFormatFlagsNoWrap);
  EXPECT_EQ(gAlign, StringAlignmentFar);
  EXPECT_EQ(gLineAlign, StringAlignmentFar);
  EXPECT_EQ(gHint, TextRenderingHintAntiAlias);
  ASSERT_EQ(Count("DrawString"), 1);
  TCall draw = CallsOf("DrawString")[0];
  EXPECT_EQ(draw.Dest.X, 2);
  EXPECT_EQ(draw.Dest.Width, 50);
  EXPECT_EQ(draw.Source.X, -1);
  EXPECT_EQ(draw.Source.Y, 'H');
  dxGpDrawString(canvas, "Hi", TRect(0, 0, 50, 20), dxGpOpaque, TextRenderingHintSystemDefault, true, tvaCenter,
                 taCenter, clBlack, &font);
  EXPECT_EQ(gFormatFlags, 0);
  EXPECT_EQ(gAlign, StringAlignmentCenter);
  EXPECT_EQ(gLineAlign, StringAlignmentCenter);
  gCalls.clear();
  gDrawStringFails = true;
  EXPECT_THROW(dxGpDrawString(canvas, "Hi", TRect(0, 0, 50, 20), dxGpOpaque, TextRenderingHintSystemDefault, true,
                              tvaTop, taLeftJustify, clBlack, &font),
               EdxGdipException);
  gDrawStringFails = false;
  EXPECT_EQ(Count("DeleteFont"), 1);
  EXPECT_EQ(Count("DeleteBrush"), 1);
  EXPECT_EQ(Count("DeleteStringFormat"), 1);
  dxGpEndPaint(canvas);
}

TEST_F(GdiPlusCanvasFake, DeviceCapsChooseTheBuffer) {
  TDibCanvas dc(8, 8);
  struct {
    rtl::testing::TDeviceCapsOverride Caps;
    bool Buffer;
  } const cases[] = {
      {{0, 0, 0}, false}, {{16, 0, 0}, true}, {{8, 0, 0}, true}, {{24, 0, 0}, false},
      {{0, 256, 0}, true}, {{0, 0, DT_RASPRINTER}, true},
  };
  for (const auto& c : cases) {
    rtl::testing::SetDeviceCapsOverride(c.Caps);
    EXPECT_EQ(dxGpDCNeedsBuffer(dc.dc), c.Buffer) << c.Caps.BitsPixel << " " << c.Caps.NumColors;
  }
}

}  // namespace
