#include "platform/forms/graphics.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/forms/bitmap.h"
#include "platform/rtl/mathutils.h"
#include "tests/platform/forms/forms_test_support.h"

namespace {

// ---- Colours ----------------------------------------------------------------

TEST(ColorsTest, SystemColoursResolveAndOthersPassThrough) {
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clWindowText), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(ColorToRGB(clHighlight), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(static_cast<uint32_t>(clBtnFace), 0xFF00000Fu);
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
  EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);
  EXPECT_EQ(ColorToRGB(clDefault), 0x20000000u);
}

TEST(ColorsTest, NamesBothWays) {
  EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
  EXPECT_EQ(ColorToString(clSilver), "clSilver");  // not its alias clLtGray
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(StringToColor("clwindowtext"), clWindowText);
  EXPECT_EQ(StringToColor("$00FF"), 0xFF);
  EXPECT_EQ(StringToColor("255"), 255);
  EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
}

// ---- Fonts ------------------------------------------------------------------

struct TSizeCase {
  Integer PixelsPerInch, Size, Height;
};

TEST(FontTest, SizeAndHeightAtTheFontsResolution) {
  const TSizeCase cases[] = {{96, 8, -11},  {96, 10, -13},  {96, 12, -16}, {96, 9, -12},
                             {120, 8, -13}, {120, 10, -17}, {120, 12, -20}, {120, 9, -15}};
  for (const TSizeCase& c : cases) {
    SCOPED_TRACE(c.PixelsPerInch * 100 + c.Size);
    TFont f;
    f.SetPixelsPerInch(c.PixelsPerInch);
    f.SetSize(c.Size);
    EXPECT_EQ(f.Height(), c.Height);
    EXPECT_EQ(f.Size(), c.Size);
  }
  TFont f;
  f.SetPixelsPerInch(96);
  f.SetHeight(16);  // a cell height gives a negative size
  EXPECT_EQ(f.Size(), -12);
  f.SetPixelsPerInch(120);  // keeps the height
  EXPECT_EQ(f.Height(), 16);
}

TEST(FontTest, AssignKeepsThePointSizeAcrossResolutions) {
  TFont a, b;
  a.SetPixelsPerInch(96);
  a.SetSize(10);
  a.SetName("Courier New");
  a.SetStyle({fsBold, fsUnderline});
  a.SetColor(clBlue);
  b.SetPixelsPerInch(120);
  b.Assign(&a);
  EXPECT_EQ(b.Size(), 10);
  EXPECT_EQ(b.Height(), -17);
  EXPECT_EQ(b.Name(), "Courier New");
  EXPECT_EQ(b.Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(b.Color(), clBlue);
}

TEST(FontTest, StartsFromTheDefaultDescription) {
  TFont f;
  EXPECT_EQ(f.Name(), "Tahoma");
  EXPECT_EQ(f.Height(), -MulDiv(8, ScreenLogPixels(), 72));
  EXPECT_EQ(f.Color(), clWindowText);
  EXPECT_TRUE(f.Style().Empty());
  EXPECT_EQ(f.Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(f.Pitch(), fpDefault);
  LOGFONTA lf{};
  ASSERT_NE(GetObjectA(f.Handle(), sizeof(lf), &lf), 0);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_EQ(lf.lfHeight, f.Height());
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
}

TEST(FontTest, ChangesFireOnceAndReplaceTheHandle) {
  TFont f;
  int changes = 0;
  f.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &f);
    ++changes;
  };
  HFONT first = f.Handle();
  f.SetName("Tahoma");  // unchanged
  f.SetSize(f.Size());
  f.SetColor(f.Color());
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(f.Handle(), first);
  f.SetStyle({fsItalic});
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(GetObjectType(first), 0u) << "the old font is deleted";
  LOGFONTA lf{};
  GetObjectA(f.Handle(), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfItalic, 1);
  f.SetColor(clRed);  // no part of the GDI font, still a change
  EXPECT_EQ(changes, 2);
}

TEST(FontTest, HandleFromAModifiedLogFontSurvivesAssign) {
  TFont f;
  LOGFONTA lf{};
  GetObjectA(f.Handle(), sizeof(lf), &lf);
  lf.lfEscapement = 2700;
  lf.lfOrientation = 2700;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lf.lfWeight = FW_BOLD;
  HFONT rotated = CreateFontIndirectA(&lf);
  f.SetHandle(rotated);
  EXPECT_EQ(f.Handle(), rotated);
  EXPECT_EQ(f.Orientation(), 2700);
  EXPECT_EQ(f.Quality(), fqAntialiased);
  EXPECT_TRUE(f.Style().Contains(fsBold));

  TFont g;
  g.Assign(&f);
  LOGFONTA got{};
  GetObjectA(g.Handle(), sizeof(got), &got);
  EXPECT_EQ(got.lfEscapement, 2700);
  EXPECT_EQ(got.lfOutPrecision, OUT_TT_ONLY_PRECIS);
  EXPECT_EQ(got.lfQuality, ANTIALIASED_QUALITY);
}

// ---- Pens and brushes -------------------------------------------------------

TEST(BrushTest, AColourMakesAClearBrushSolid) {
  struct {
    TBrushStyle From;
    TColor Color;
    TBrushStyle To;
  } cases[] = {{bsClear, clWhite, bsSolid}, {bsClear, clRed, bsSolid}, {bsCross, clRed, bsCross}, {bsSolid, clRed, bsSolid}};
  for (auto& c : cases) {
    TBrush b;
    b.SetStyle(c.From);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.SetColor(c.Color);
    EXPECT_EQ(b.Style(), c.To);
    EXPECT_EQ(b.Color(), c.Color);
    EXPECT_EQ(changes, c.From == c.To && c.Color == clWhite ? 0 : 1);
  }
}

TEST(BrushTest, HandleFollowsStyle) {
  TBrush b;
  b.SetColor(clBlue);
  b.SetStyle(bsDiagCross);
  LOGBRUSH lb{};
  ASSERT_NE(GetObjectA(b.Handle(), sizeof(lb), &lb), 0);
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
  EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_DIAGCROSS));
  EXPECT_EQ(lb.lbColor, 0xFF0000u);
  b.SetStyle(bsClear);
  GetObjectA(b.Handle(), sizeof(lb), &lb);
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HOLLOW));
}

TEST(PenTest, HandleFollowsDescriptionAndSetHandleReadsItBack) {
  TPen p;
  p.SetColor(clGreen);
  p.SetWidth(3);
  p.SetStyle(psDash);
  LOGPEN lp{};
  ASSERT_NE(GetObjectA(p.Handle(), sizeof(lp), &lp), 0);
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
  EXPECT_EQ(lp.lopnWidth.X, 3);
  EXPECT_EQ(lp.lopnColor, 0x008000u);
  TPen q;
  q.SetHandle(CreatePen(PS_DOT, 2, RGB(1, 2, 3)));
  EXPECT_EQ(q.Style(), psDot);
  EXPECT_EQ(q.Width(), 2);
  EXPECT_EQ(q.Color(), static_cast<TColor>(RGB(1, 2, 3)));
}

// A change handler that raises must not leave the owner's lock held nor
// leak the replaced handle.
TEST(GraphicsObjectTest, ARaisingChangeHandlerReleasesTheLockAndTheOldHandle) {
  struct TCase {
    const char* Name;
    std::function<void(TFont&)> Change;
  };
  const TCase cases[] = {
      {"font SetHandle", [](TFont& f) { f.SetHandle(CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial")); }},
      {"font SetSize", [](TFont& f) { f.SetSize(f.Size() + 4); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::recursive_mutex ownerLock;
    TFont font;
    font.SetOwnerCriticalSection(&ownerLock);
    HFONT old = font.Handle();
    font.OnChange = [](TObject*) { throw Exception("refused"); };
    EXPECT_THROW(c.Change(font), Exception);
    EXPECT_EQ(GetObjectType(old), 0u) << "the replaced handle is deleted";
    bool took = false;
    std::thread([&] {
      took = ownerLock.try_lock();
      if (took) ownerLock.unlock();
    }).join();
    EXPECT_TRUE(took) << "the owner's lock is free again";
    font.OnChange = nullptr;
  }
}

// ---- The canvas -------------------------------------------------------------

class CanvasTest : public ::testing::Test {
 protected:
  TTestDib dib{40, 30};
  TCanvas canvas;
  void SetUp() override { canvas.SetHandle(dib.dc); }
  void TearDown() override { canvas.SetHandle(nullptr); }
};

struct TModeCase {
  TPenMode Mode;
  int Rop2;
  std::function<uint32_t(uint32_t pen, uint32_t dst)> Result;
};

TEST_F(CanvasTest, PenModesAreTheSixteenBinaryRasterOperations) {
  const TModeCase cases[] = {
      {pmBlack, R2_BLACK, [](uint32_t, uint32_t) { return 0u; }},
      {pmWhite, R2_WHITE, [](uint32_t, uint32_t) { return ~0u; }},
      {pmNop, R2_NOP, [](uint32_t, uint32_t d) { return d; }},
      {pmNot, R2_NOT, [](uint32_t, uint32_t d) { return ~d; }},
      {pmCopy, R2_COPYPEN, [](uint32_t p, uint32_t) { return p; }},
      {pmNotCopy, R2_NOTCOPYPEN, [](uint32_t p, uint32_t) { return ~p; }},
      {pmMergePenNot, R2_MERGEPENNOT, [](uint32_t p, uint32_t d) { return p | ~d; }},
      {pmMaskPenNot, R2_MASKPENNOT, [](uint32_t p, uint32_t d) { return p & ~d; }},
      {pmMergeNotPen, R2_MERGENOTPEN, [](uint32_t p, uint32_t d) { return ~p | d; }},
      {pmMaskNotPen, R2_MASKNOTPEN, [](uint32_t p, uint32_t d) { return ~p & d; }},
      {pmMerge, R2_MERGEPEN, [](uint32_t p, uint32_t d) { return p | d; }},
      {pmNotMerge, R2_NOTMERGEPEN, [](uint32_t p, uint32_t d) { return ~(p | d); }},
      {pmMask, R2_MASKPEN, [](uint32_t p, uint32_t d) { return p & d; }},
      {pmNotMask, R2_NOTMASKPEN, [](uint32_t p, uint32_t d) { return ~(p & d); }},
      {pmXor, R2_XORPEN, [](uint32_t p, uint32_t d) { return p ^ d; }},
      {pmNotXor, R2_NOTXORPEN, [](uint32_t p, uint32_t d) { return ~(p ^ d); }},
  };
  const COLORREF pen = 0x0F33CC, dst = 0x3C5AA5;
  canvas.Pen()->SetColor(static_cast<TColor>(pen));
  for (const TModeCase& c : cases) {
    SCOPED_TRACE(c.Mode);
    dib.Fill(PixelOf(dst));
    canvas.Pen()->SetMode(c.Mode);
    canvas.MoveTo(2, 5);
    canvas.LineTo(30, 5);
    EXPECT_EQ(GetROP2(dib.dc), c.Rop2);
    EXPECT_EQ(dib.Color(10, 5), c.Result(pen, dst) & 0xFFFFFFu);
    EXPECT_EQ(dib.Color(10, 6), dst);
  }
}

TEST_F(CanvasTest, ChangedPenAndBrushReachTheNextOperation) {
  canvas.Pen()->SetColor(clRed);
  canvas.MoveTo(0, 1);
  canvas.LineTo(20, 1);
  HPEN oldPen = static_cast<HPEN>(GetCurrentObject(dib.dc, OBJ_PEN));
  canvas.Pen()->SetColor(clBlue);
  EXPECT_NE(GetCurrentObject(dib.dc, OBJ_PEN), oldPen) << "a changed pen leaves the DC at once";
  canvas.MoveTo(0, 2);
  canvas.LineTo(20, 2);
  EXPECT_EQ(dib.Color(5, 1), static_cast<COLORREF>(clRed));
  EXPECT_EQ(dib.Color(5, 2), static_cast<COLORREF>(clBlue));
  EXPECT_EQ(dib.Color(20, 2), 0xFFFFFFu) << "LineTo leaves out its end point";
  EXPECT_EQ(canvas.PenPos(), TPoint(20, 2));

  canvas.Brush()->SetColor(clLime);
  canvas.FillRect(Rect(2, 10, 6, 14));
  canvas.Brush()->SetColor(clYellow);
  canvas.FillRect(Rect(10, 10, 14, 14));
  EXPECT_EQ(dib.CountNot(clLime, 2, 10, 6, 14), 0);
  EXPECT_EQ(dib.Color(6, 10), 0xFFFFFFu) << "the right edge stays out";
  EXPECT_EQ(dib.Color(2, 14), 0xFFFFFFu) << "the bottom edge stays out";
  EXPECT_EQ(dib.CountNot(clYellow, 10, 10, 14, 14), 0);
}

TEST_F(CanvasTest, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  canvas.Pen()->SetColor(clBlack);
  canvas.Brush()->SetColor(clRed);
  canvas.Rectangle(2, 2, 12, 10);
  EXPECT_EQ(dib.Color(2, 2), static_cast<COLORREF>(clBlack));
  EXPECT_EQ(dib.Color(11, 9), static_cast<COLORREF>(clBlack));
  EXPECT_EQ(dib.Color(6, 5), static_cast<COLORREF>(clRed));
  EXPECT_EQ(dib.Color(12, 5), 0xFFFFFFu);
  canvas.Brush()->SetStyle(bsClear);
  canvas.Rectangle(20, 2, 30, 10);
  EXPECT_EQ(dib.Color(25, 5), 0xFFFFFFu) << "a clear brush leaves the inside";
  EXPECT_EQ(dib.Color(20, 5), static_cast<COLORREF>(clBlack));
}

struct TShapeCase {
  const char* Name;
  std::function<void(TCanvas&)> Draw;
  TPoint Probe;
  COLORREF Expected;
};

TEST_F(CanvasTest, ShapesTakeThePenForLinesAndTheBrushForInsides) {
  const COLORREF pen = clRed, brush = clBlue, none = clWhite;
  const TShapeCase cases[] = {
      {"polyline", [](TCanvas& c) { c.Polyline({{2, 2}, {20, 2}, {20, 20}}); }, {20, 10}, pen},
      {"polyline inside", [](TCanvas& c) { c.Polyline({{2, 2}, {20, 2}, {20, 20}}); }, {10, 10}, none},
      {"polygon edge", [](TCanvas& c) { c.Polygon({{2, 2}, {20, 2}, {20, 20}, {2, 20}}); }, {2, 10}, pen},
      {"polygon inside", [](TCanvas& c) { c.Polygon({{2, 2}, {20, 2}, {20, 20}, {2, 20}}); }, {10, 10}, brush},
      {"ellipse inside", [](TCanvas& c) { c.Ellipse(2, 2, 22, 22); }, {12, 12}, brush},
      {"ellipse corner", [](TCanvas& c) { c.Ellipse(2, 2, 22, 22); }, {2, 2}, none},
      {"round rect inside", [](TCanvas& c) { c.RoundRect(2, 2, 22, 22, 6, 6); }, {12, 12}, brush},
      {"pie inside", [](TCanvas& c) { c.Pie(2, 2, 22, 22, 22, 12, 12, 2); }, {15, 9}, brush},
      {"pie outside its angle", [](TCanvas& c) { c.Pie(2, 2, 22, 22, 22, 12, 12, 2); }, {8, 16}, none},
      {"chord inside", [](TCanvas& c) { c.Chord(2, 2, 22, 22, 22, 12, 2, 12); }, {12, 7}, brush},
      {"arc has no inside", [](TCanvas& c) { c.Arc(2, 2, 22, 22, 22, 12, 2, 12); }, {12, 7}, none},
      {"frame uses the brush", [](TCanvas& c) { c.FrameRect(Rect(2, 2, 12, 12)); }, {2, 6}, brush},
      {"frame leaves the inside", [](TCanvas& c) { c.FrameRect(Rect(2, 2, 12, 12)); }, {6, 6}, none},
  };
  canvas.Pen()->SetColor(static_cast<TColor>(pen));
  canvas.Brush()->SetColor(static_cast<TColor>(brush));
  for (const TShapeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    dib.Fill(PixelOf(none));
    canvas.Refresh();  // each operation selects what it needs by itself
    c.Draw(canvas);
    EXPECT_EQ(dib.Color(c.Probe.X, c.Probe.Y), c.Expected);
  }
}

TEST_F(CanvasTest, FocusRectanglesInvertDottedAndUndoThemselves) {
  canvas.DrawFocusRect(Rect(2, 2, 12, 12));
  EXPECT_GT(dib.CountNot(clWhite, 2, 2, 12, 3), 2) << "dots along the top edge";
  EXPECT_LT(dib.CountNot(clWhite, 2, 2, 12, 3), 10) << "dotted, not solid";
  EXPECT_EQ(dib.Color(6, 6), 0xFFFFFFu);
  canvas.DrawFocusRect(Rect(2, 2, 12, 12));
  EXPECT_EQ(dib.CountNot(clWhite, 0, 0, 40, 30), 0);
}

TEST_F(CanvasTest, TextBackgroundFollowsTheBrushStyle) {
  canvas.Font()->SetColor(clBlack);
  canvas.Brush()->SetColor(clYellow);
  canvas.TextOut(2, 2, "i");
  TSize cell = canvas.TextExtent("i");
  EXPECT_EQ(dib.Color(2, 2), static_cast<COLORREF>(clYellow)) << "a solid brush paints the text cell";
  EXPECT_EQ(dib.Color(2 + cell.cx, 2), 0xFFFFFFu);
  canvas.Brush()->SetStyle(bsClear);
  canvas.TextOut(20, 2, "i");
  EXPECT_EQ(dib.Color(20, 2), 0xFFFFFFu) << "a clear brush leaves it";
}

TEST_F(CanvasTest, PixelsReadAndWriteResolvedColours) {
  canvas.SetPixels(3, 4, clBtnFace);
  EXPECT_EQ(dib.Color(3, 4), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.Pixels(3, 4), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(canvas.Pixels(0, 0), clWhite);
}

TEST_F(CanvasTest, DrawingFiresChangingThenChanged) {
  std::vector<std::string> log;
  canvas.OnChanging = [&](TObject*) { log.push_back("changing"); };
  canvas.OnChange = [&](TObject*) { log.push_back("change"); };
  canvas.FillRect(Rect(0, 0, 2, 2));
  canvas.MoveTo(1, 1);  // moving draws nothing
  canvas.TextExtent("x");
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "change"}));
}

TEST(CanvasNoDCTest, DrawingWithoutADeviceContextRaises) {
  TCanvas canvas;
  try {
    canvas.FillRect(Rect(0, 0, 1, 1));
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
  }
  EXPECT_FALSE(canvas.HandleAllocated());
}

TEST(CanvasForeignDCTest, DetachingRestoresTheDCsOwnObjects) {
  TTestDib dib(10, 10);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
  LOGFONTA lf{};
  lf.lfHeight = -20;
  std::strcpy(lf.lfFaceName, "Courier New");
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ oldPen = SelectObject(dib.dc, pen);
  HGDIOBJ oldBrush = SelectObject(dib.dc, brush);
  HGDIOBJ oldFont = SelectObject(dib.dc, font);
  MoveToEx(dib.dc, 7, 8, nullptr);
  {
    TCanvas canvas;
    canvas.SetHandle(dib.dc);
    HDC h = canvas.Handle();  // selects the canvas's objects
    EXPECT_EQ(h, dib.dc);
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_PEN), canvas.Pen()->Handle());
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_BRUSH), canvas.Brush()->Handle());
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_FONT), canvas.Font()->Handle());
    canvas.Brush()->SetColor(clRed);  // re-selected on next use, original kept
    canvas.FillRect(Rect(0, 0, 2, 2));
    canvas.Refresh();
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_FONT), font);
    canvas.Rectangle(0, 0, 3, 3);
    canvas.MoveTo(5, 6);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_FONT), font);
    EXPECT_FALSE(canvas.HandleAllocated());
    // The pen position goes with the canvas to the next DC.
    MoveToEx(dib.dc, 0, 0, nullptr);
    canvas.SetHandle(dib.dc);
    POINT p;
    GetCurrentPositionEx(dib.dc, &p);
    EXPECT_EQ(p, TPoint(5, 6));
    canvas.SetHandle(nullptr);
  }
  SelectObject(dib.dc, oldPen);
  SelectObject(dib.dc, oldBrush);
  SelectObject(dib.dc, oldFont);
  DeleteObject(pen);
  DeleteObject(brush);
  DeleteObject(font);
}

TEST(CanvasForeignDCTest, DestroyingAnAttachedCanvasRestoresTheObjects) {
  TTestDib dib(4, 4);
  HGDIOBJ pen = GetCurrentObject(dib.dc, OBJ_PEN);
  HGDIOBJ font = GetCurrentObject(dib.dc, OBJ_FONT);
  {
    TCanvas canvas;
    canvas.SetHandle(dib.dc);
    canvas.TextOut(0, 0, "a");
    canvas.LineTo(3, 3);
  }
  EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_FONT), font);
}

TEST(CanvasCopyTest, CopyRectAppliesTheCopyMode) {
  struct {
    TCopyMode Mode;
    std::function<uint32_t(uint32_t s, uint32_t d)> Result;
  } cases[] = {
      {cmSrcCopy, [](uint32_t s, uint32_t) { return s; }},
      {cmNotSrcCopy, [](uint32_t s, uint32_t) { return ~s; }},
      {cmSrcInvert, [](uint32_t s, uint32_t d) { return s ^ d; }},
      {cmSrcAnd, [](uint32_t s, uint32_t d) { return s & d; }},
      {cmSrcPaint, [](uint32_t s, uint32_t d) { return s | d; }},
      {cmDstInvert, [](uint32_t, uint32_t d) { return ~d; }},
      {cmBlackness, [](uint32_t, uint32_t) { return 0u; }},
      {cmWhiteness, [](uint32_t, uint32_t) { return ~0u; }},
  };
  const COLORREF s = 0x123456, d = 0xA0B0C0;
  TTestDib src(8, 8, PixelOf(s)), dst(8, 8);
  TCanvas from, to;
  from.SetHandle(src.dc);
  to.SetHandle(dst.dc);
  for (auto& c : cases) {
    SCOPED_TRACE(c.Mode);
    dst.Fill(PixelOf(d));
    to.SetCopyMode(c.Mode);
    to.CopyRect(Rect(2, 2, 6, 6), &from, Rect(0, 0, 4, 4));
    EXPECT_EQ(dst.Color(3, 3), c.Result(s, d) & 0xFFFFFFu);
    EXPECT_EQ(dst.Color(6, 6), d);
  }
  from.SetHandle(nullptr);
  to.SetHandle(nullptr);
}

TEST(CanvasCopyTest, CopyRectOntoItselfInverts) {
  TTestDib dib(6, 6, PixelOf(0x102030));
  TCanvas canvas;
  canvas.SetHandle(dib.dc);
  canvas.SetCopyMode(cmDstInvert);
  canvas.CopyRect(Rect(0, 0, 3, 3), &canvas, Rect(0, 0, 3, 3));
  EXPECT_EQ(dib.Color(1, 1), 0xEFDFCFu);
  EXPECT_EQ(dib.Color(4, 4), 0x102030u);
  canvas.SetHandle(nullptr);
}

TEST_F(CanvasTest, TextRectClipsToItsRectangle) {
  canvas.Font()->SetHeight(-16);
  canvas.Font()->SetColor(clBlack);
  canvas.Brush()->SetStyle(bsClear);
  const AnsiString text = "WWWWWWWWWWWW";
  ASSERT_GT(canvas.TextWidth(text), 20);
  canvas.TextRect(Rect(5, 5, 20, 25), 5, 5, text);
  RECT ink = dib.InkBox(clWhite);
  EXPECT_FALSE(ink.IsEmpty()) << "some text is drawn";
  EXPECT_GE(ink.Left, 5);
  EXPECT_GE(ink.Top, 5);
  EXPECT_LE(ink.Right, 20);
  EXPECT_LE(ink.Bottom, 25);

  dib.Fill(PixelOf(clWhite));
  canvas.Brush()->SetColor(clYellow);  // solid: the rectangle is filled first
  canvas.TextRect(Rect(5, 5, 20, 25), 5, 5, text);
  EXPECT_EQ(dib.Color(19, 24), static_cast<COLORREF>(clYellow));
  EXPECT_EQ(dib.Color(20, 24), 0xFFFFFFu);
  EXPECT_EQ(dib.InkBox(clWhite), Rect(5, 5, 20, 25));
}

TEST_F(CanvasTest, TextRectWithAFormatMeasuresAndShortens) {
  canvas.Font()->SetHeight(-12);
  TRect r(0, 0, 1000, 0);
  AnsiString text = "Hello";
  canvas.TextRect(r, text, {tfCalcRect, tfSingleLine});
  EXPECT_EQ(r.Width(), canvas.TextWidth("Hello"));
  EXPECT_EQ(r.Height(), canvas.TextHeight("Hello"));
  EXPECT_EQ(dib.InkBox(clWhite), RECT()) << "measuring draws nothing";

  AnsiString longText = "A rather long caption";
  TRect box(0, 0, canvas.TextWidth("A rather"), 20);
  canvas.TextRect(box, longText, {tfSingleLine, tfEndEllipsis, tfModifyString});
  EXPECT_NE(longText, "A rather long caption");
  EXPECT_EQ(longText.substr(longText.size() - 3), "...");
}

TEST_F(CanvasTest, TextOutMovesThePenToTheTextsEnd) {
  canvas.TextOut(3, 4, "abc");
  EXPECT_EQ(canvas.PenPos(), TPoint(3 + canvas.TextWidth("abc"), 4));
  EXPECT_GT(canvas.TextHeight("abc"), 0);
}

TEST_F(CanvasTest, ClipRectIsTheDCsClipBox) {
  EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 40, 30));
  IntersectClipRect(canvas.Handle(), 5, 6, 15, 16);
  EXPECT_EQ(canvas.ClipRect(), Rect(5, 6, 15, 16));
}

TEST(CanvasLockTest, AnotherThreadCannotTakeALockedCanvas) {
  TCanvas canvas;
  canvas.Lock();
  canvas.Lock();
  EXPECT_EQ(canvas.LockCount(), 2);
  bool took = true;
  std::thread([&] { took = canvas.TryLock(); }).join();
  EXPECT_FALSE(took);
  canvas.Unlock();
  canvas.Unlock();
  std::thread([&] {
    took = canvas.TryLock();
    if (took) canvas.Unlock();
  }).join();
  EXPECT_TRUE(took);
  EXPECT_EQ(canvas.LockCount(), 0);
}

TEST_F(CanvasTest, BrushCopyReplacesOneColourWithTheBrush) {
  TBitmap bmp(4, 4);
  bmp.SetPixelFormat(pf32bit);
  bmp.Canvas()->Brush()->SetColor(clRed);
  bmp.Canvas()->FillRect(Rect(0, 0, 4, 4));
  bmp.Canvas()->SetPixels(1, 1, clBlue);
  canvas.Brush()->SetColor(clLime);
  canvas.BrushCopy(Rect(10, 10, 14, 14), &bmp, Rect(0, 0, 4, 4), clRed);
  EXPECT_EQ(dib.Color(10, 10), static_cast<COLORREF>(clLime));
  EXPECT_EQ(dib.Color(13, 13), static_cast<COLORREF>(clLime));
  EXPECT_EQ(dib.Color(11, 11), static_cast<COLORREF>(clBlue));
  EXPECT_EQ(dib.Color(14, 14), 0xFFFFFFu);
}

}  // namespace
