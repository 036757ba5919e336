#include "ui/foundation/canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/forms/bitmap.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "tests/common/dib_canvas.h"
#include "ui/foundation/graphics_unit.h"
#include "unit_state_fixture.h"

namespace {

constexpr uint32_t kBlank = 0x11223344u;

// A framework canvas on a 32-bit DIB, wrapped by the canvas under test.
class CanvasTest : public ::testing::Test {
 protected:
  TDibCanvas Dib{40, 40, kBlank};
  TCanvas Canvas;
  std::unique_ptr<TcxCanvas> Cx;

  void SetUp() override {
    Canvas.SetHandle(Dib.dc);
    Cx = std::make_unique<TcxCanvas>(&Canvas);
  }
  void TearDown() override {
    Cx.reset();
    Canvas.SetHandle(nullptr);
  }
  // device = logical + shift
  void ShiftOrigin(int dx, int dy) { SetWindowOrgEx(Dib.dc, -dx, -dy, nullptr); }
  RECT ClipBox() {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    RECT box{};
    if (GetClipRgn(Dib.dc, r) == 1)
      GetRgnBox(r, &box);
    else
      box = RECT{-1, -1, -1, -1};
    DeleteObject(r);
    return box;
  }
};

// ---- Regions --------------------------------------------------------------------------

TEST(CxRegion, RoundRectStartsOnePixelInAtLeftAndTop) {
  std::unique_ptr<TcxRegion> region(TcxRegion::CreateRoundRect(TRect(0, 0, 10, 10), 4, 4));
  HRGN expected = CreateRoundRectRgn(1, 1, 10, 10, 4, 4);
  EXPECT_TRUE(EqualRgn(region->Handle(), expected));
  HRGN plain = CreateRoundRectRgn(0, 0, 10, 10, 4, 4);
  EXPECT_FALSE(EqualRgn(region->Handle(), plain));
  DeleteObject(expected);
  DeleteObject(plain);
}

TEST(CxRegion, CombineModesFollowTheRegionOperations) {
  const struct {
    TcxRegionCombineMode Mode;
    bool In5, In15, In25;  // points (5,5), (15,5), (25,5)
  } cases[] = {
      {rcmReplace, false, true, true},
      {rcmUnion, true, true, true},
      {rcmSubtract, true, false, false},
      {rcmIntersect, false, true, false},
  };
  for (const auto& c : cases) {
    TcxRegion region(0, 0, 20, 10);
    auto* other = new TcxRegion(10, 0, 30, 10);
    region.CombineWith(other, c.Mode, true);
    EXPECT_EQ(cxRegionContainsPoint(region.Handle(), 5, 5), c.In5) << c.Mode;
    EXPECT_EQ(cxRegionContainsPoint(region.Handle(), TPoint(15, 5)), c.In15) << c.Mode;
    EXPECT_EQ(cxRegionContainsPoint(region.Handle(), 25, 5), c.In25) << c.Mode;

    TcxRegion byRect(0, 0, 20, 10);
    byRect.CombineWithRect(TRect(10, 0, 30, 10), c.Mode);
    EXPECT_TRUE(EqualRgn(byRect.Handle(), region.Handle())) << c.Mode;
  }
  TcxRegion empty;
  EXPECT_TRUE(empty.IsEmpty());
  empty.OffsetXY(3, 3);
  TcxRegion moved(TRect(0, 0, 2, 2));
  moved.OffsetBy(TPoint(5, 6));
  EXPECT_TRUE(cxRegionContainsPoint(moved.Handle(), 6, 7));
  EXPECT_FALSE(cxRegionContainsPoint(moved.Handle(), 1, 1));
}

TEST(CxRegion, FromAWindowIsItsRegionOrItsSize) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &DefWindowProcA;
  wc.lpszClassName = "cxRegionProbe";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, "cxRegionProbe", "", WS_POPUP, 50, 60, 30, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  std::unique_ptr<TcxRegion> whole(TcxRegion::CreateFromWindow(window));
  HRGN size = CreateRectRgn(0, 0, 30, 20);
  EXPECT_TRUE(EqualRgn(whole->Handle(), size));
  HRGN shape = CreateEllipticRgn(0, 0, 30, 20);
  HRGN copy = CreateEllipticRgn(0, 0, 30, 20);
  SetWindowRgn(window, shape, FALSE);  // the window owns it now
  std::unique_ptr<TcxRegion> shaped(TcxRegion::CreateFromWindow(window));
  EXPECT_TRUE(EqualRgn(shaped->Handle(), copy));
  DestroyWindow(window);
  DeleteObject(size);
  DeleteObject(copy);
}

// ---- Stacks -------------------------------------------------------------------------------

TEST_F(CanvasTest, PopStateOnAnEmptyObjectStackLeavesTheDCStackAlone) {
  Cx->PushDC();
  ShiftOrigin(7, 0);
  EXPECT_EQ(Canvas.LockCount(), 1);
  Cx->PopState();  // nothing: no object state was pushed
  EXPECT_EQ(Canvas.LockCount(), 1);
  EXPECT_EQ(Cx->ReadDCOrigin(), TPoint(7, 0));
  Cx->PopDC();
  EXPECT_EQ(Canvas.LockCount(), 0);
  EXPECT_EQ(Cx->ReadDCOrigin(), TPoint(0, 0));
  Cx->PopDC();  // empty: nothing
  EXPECT_EQ(Canvas.LockCount(), 0);
}

// Each sequence of pushes, changes and pops ends with the DC's objects,
// origin and clip as they were.
TEST_F(CanvasTest, PushPopSequencesRestoreObjectsOriginAndClip) {
  using TStep = std::function<void(TcxCanvas&, TDibCanvas&)>;
  const TStep change = [](TcxCanvas& c, TDibCanvas& d) {
    c.GetFont()->SetColor(clRed);
    c.GetFont()->SetHeight(-20);
    c.GetBrush()->SetColor(clBlue);
    c.GetBrush()->SetStyle(bsCross);
    c.GetPen()->SetWidth(3);
    c.GetPen()->SetMode(pmXor);
    SetWindowOrgEx(d.dc, -3, -4, nullptr);
    c.ClipToRect(TRect(2, 2, 9, 9));
    c.FillRectColor(TRect(0, 0, 40, 40), clGreen);
  };
  const struct {
    const char* Name;
    std::vector<TStep> Steps;
  } cases[] = {
      {"state", {[](TcxCanvas& c, TDibCanvas&) { c.PushState(); }, change,
                 [](TcxCanvas& c, TDibCanvas&) { c.PopState(); }}},
      {"dc", {[](TcxCanvas& c, TDibCanvas&) { c.PushDC(); }, [](TcxCanvas& c, TDibCanvas& d) {
                SetWindowOrgEx(d.dc, 5, 5, nullptr);
                c.ClipOutRect(TRect(0, 0, 30, 30));
              },
              [](TcxCanvas& c, TDibCanvas&) { c.PopDC(); }}},
      {"clip", {[](TcxCanvas& c, TDibCanvas&) { c.PushClipRegion(); },
                [](TcxCanvas& c, TDibCanvas&) { c.ClipToRect(TRect(1, 1, 3, 3)); },
                [](TcxCanvas& c, TDibCanvas&) { c.PopClipRegion(); }}},
      {"nested", {[](TcxCanvas& c, TDibCanvas&) { c.PushState(); },
                  [](TcxCanvas& c, TDibCanvas&) { c.PushClipRegion(); }, change,
                  [](TcxCanvas& c, TDibCanvas&) { c.PushState(); }, change,
                  [](TcxCanvas& c, TDibCanvas&) { c.PopState(); },
                  [](TcxCanvas& c, TDibCanvas&) { c.PopClipRegion(); },
                  [](TcxCanvas& c, TDibCanvas&) { c.PopState(); }}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Canvas.Font()->SetColor(clNavy);
    Canvas.Brush()->SetColor(clYellow);
    Canvas.Pen()->SetColor(clMaroon);
    SetWindowOrgEx(Dib.dc, 0, 0, nullptr);
    HRGN start = CreateRectRgn(1, 2, 30, 31);
    SelectClipRgn(Dib.dc, start);
    const TColor fontColor = Canvas.Font()->Color();
    const Integer fontHeight = Canvas.Font()->Height();
    const TBrushStyle brushStyle = Canvas.Brush()->Style();
    const TColor brushColor = Canvas.Brush()->Color();
    const Integer penWidth = Canvas.Pen()->Width();
    const TPenMode penMode = Canvas.Pen()->Mode();

    for (const TStep& step : c.Steps) step(*Cx, Dib);

    EXPECT_EQ(Canvas.Font()->Color(), fontColor);
    EXPECT_EQ(Canvas.Font()->Height(), fontHeight);
    EXPECT_EQ(Canvas.Brush()->Style(), brushStyle);
    EXPECT_EQ(Canvas.Brush()->Color(), brushColor);
    EXPECT_EQ(Canvas.Pen()->Width(), penWidth);
    EXPECT_EQ(Canvas.Pen()->Mode(), penMode);
    HDC dc = Canvas.Handle();  // selects the canvas's objects again
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), Canvas.Font()->Handle());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), Canvas.Brush()->Handle());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), Canvas.Pen()->Handle());
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(Cx->ReadWindowOrigin(), TPoint(0, 0));
    HRGN now = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetClipRgn(dc, now), 1);
    EXPECT_TRUE(EqualRgn(now, start));
    EXPECT_EQ(Canvas.LockCount(), 0);
    DeleteObject(now);
    DeleteObject(start);
  }
}

// ---- Clipping ---------------------------------------------------------------------------

TEST_F(CanvasTest, CaptureWithoutAClipGivesTheLargeRectangleInLogicalCoordinates) {
  SetViewportOrgEx(Dib.dc, 7, 3, nullptr);
  SetWindowOrgEx(Dib.dc, 2, -1, nullptr);  // DC origin (5, 4)
  EXPECT_EQ(ClipBox(), RECT(-1, -1, -1, -1));  // no clip region
  EXPECT_EQ(Cx->ReadDCOrigin(), TPoint(5, 4));
  std::unique_ptr<TcxRegion> logical(Cx->CaptureClipRegion(true));
  RECT box{};
  GetRgnBox(logical->Handle(), &box);
  EXPECT_EQ(box, RECT(-5, -4, 29995, 29996));
  std::unique_ptr<TcxRegion> device(Cx->CaptureClipRegion(false));
  GetRgnBox(device->Handle(), &box);
  EXPECT_EQ(box, RECT(0, 0, 30000, 30000));
}

// The clip is the left half (device); then a region is applied by each
// mode, with the origin considered or not; filling everything afterwards
// paints exactly the combined area.
TEST_F(CanvasTest, ApplyClipRegionCombinesWithTheCurrentClip) {
  const TcxRegionCombineMode modes[] = {rcmReplace, rcmUnion, rcmSubtract, rcmIntersect};
  for (bool considerOrigin : {false, true})
    for (TcxRegionCombineMode mode : modes) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << " origin " << considerOrigin);
      Dib.Fill(kBlank);
      SetWindowOrgEx(Dib.dc, -4, -2, nullptr);  // device = logical + (4, 2)
      HRGN half = CreateRectRgn(0, 0, 20, 40);
      SelectClipRgn(Dib.dc, half);
      DeleteObject(half);
      auto* region = new TcxRegion(10, 10, 30, 30);
      Cx->ApplyClipRegion(region, mode, true, considerOrigin);
      Cx->FillRectColor(TRect(-10, -10, 50, 50), clRed);
      const int dx = considerOrigin ? 4 : 0, dy = considerOrigin ? 2 : 0;
      int wrong = 0;
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
          const bool inClip = x < 20;
          const bool inRegion = x >= 10 + dx && x < 30 + dx && y >= 10 + dy && y < 30 + dy;
          bool painted = false;
          switch (mode) {
            case rcmReplace: painted = inRegion; break;
            case rcmUnion: painted = inClip || inRegion; break;
            case rcmSubtract: painted = inClip && !inRegion; break;
            case rcmIntersect: painted = inClip && inRegion; break;
          }
          if ((Dib.At(x, y) == Px(clRed)) != painted) ++wrong;
        }
      EXPECT_EQ(wrong, 0);
      SelectClipRgn(Dib.dc, nullptr);
    }
}

// A region that is not freed comes back in the coordinates it was given.
TEST_F(CanvasTest, AKeptRegionIsMovedBack) {
  ShiftOrigin(6, 1);
  TcxRegion region(0, 0, 5, 5);
  Cx->ApplyClipRegion(&region, rcmReplace, false, true);
  RECT box{};
  GetRgnBox(region.Handle(), &box);
  EXPECT_EQ(box, RECT(0, 0, 5, 5));
  EXPECT_EQ(ClipBox(), RECT(6, 1, 11, 6));
  EXPECT_TRUE(Cx->IsRectVisible(TRect(0, 0, 2, 2)));
  EXPECT_FALSE(Cx->IsRectVisible(TRect(5, 5, 8, 8)));
}

// ---- Origins --------------------------------------------------------------------------------

TEST_F(CanvasTest, ControlCanvasKeepsALogicalOriginWhilePainting) {
  TcxControlCanvas control(&Canvas);
  SetViewportOrgEx(Dib.dc, 10, 20, nullptr);
  SetWindowOrgEx(Dib.dc, 5, 7, nullptr);
  SetBrushOrgEx(Dib.dc, 1, 2, nullptr);
  control.PrepareOrigin();
  EXPECT_EQ(control.Origin(), TPoint(5, 7));
  POINT brush{};
  GetBrushOrgEx(Dib.dc, &brush);
  EXPECT_EQ(brush, POINT(5, 7));
  EXPECT_EQ(control.ReadWindowOrigin(), TPoint(0, 0));
  control.WriteWindowOrigin(TPoint(3, 4));
  POINT window{};
  GetWindowOrgEx(Dib.dc, &window);
  EXPECT_EQ(window, POINT(8, 11));
  EXPECT_EQ(control.ReadWindowOrigin(), TPoint(3, 4));
  EXPECT_EQ(control.ReadDCOrigin(), TPoint(2, 9));  // viewport minus the real window origin
  control.RestoreOrigin();
  GetBrushOrgEx(Dib.dc, &brush);
  EXPECT_EQ(brush, POINT(1, 2));
  EXPECT_EQ(control.Origin(), TPoint(0, 0));

  Cx->WriteViewportOrigin(TPoint(-3, 2));
  EXPECT_EQ(Cx->ReadViewportOrigin(), TPoint(-3, 2));
}

// ---- Fills --------------------------------------------------------------------------------

TEST_F(CanvasTest, FillRectColorSkipsNoneAndUsesTheBrushForDefault) {
  Cx->FillRectColor(TRect(0, 0, 40, 40), clNone);
  EXPECT_EQ(Dib.CountNot(kBlank, 0, 0, 40, 40), 0);
  Canvas.Brush()->SetColor(clTeal);
  Cx->FillRectColor(TRect(2, 2, 6, 6), clDefault);
  EXPECT_EQ(Dib.CountNot(Px(clTeal), 2, 2, 6, 6), 0);
  EXPECT_EQ(Dib.At(6, 6), kBlank);
  // A clear brush takes a colour given to it and becomes solid.
  Canvas.Brush()->SetStyle(bsClear);
  Cx->FillRectColor(TRect(10, 10, 12, 12), clTeal);
  EXPECT_EQ(Canvas.Brush()->Style(), bsSolid);
  EXPECT_EQ(Dib.At(10, 10), Px(clTeal));
}

// A 20 x 20 tile whose every pixel (alpha included) tells where it is.
class TiledFillTest : public CanvasTest {
 protected:
  TBitmap Tile;
  void SetUp() override {
    CanvasTest::SetUp();
    Tile.SetPixelFormat(pf32bit);
    Tile.SetSize(20, 20);
    for (int y = 0; y < 20; ++y) {
      auto* row = static_cast<uint32_t*>(Tile.ScanLine(y));
      for (int x = 0; x < 20; ++x) row[x] = TileAt(x, y);
    }
  }
  static uint32_t TileAt(int x, int y) { return 0x80000000u | uint32_t(x) << 8 | uint32_t(y) | 0x00770000u; }
  static int Mod(int a, int b) { return ((a % b) + b) % b; }
};

TEST_F(TiledFillTest, TilesAlignToTheLogicalOriginAndCoverNegativeCoordinates) {
  const struct {
    TRect R;
    int Shift;  // device = logical + shift
  } cases[] = {
      {TRect(5, 5, 40, 40), 0},
      {TRect(0, 0, 40, 40), 0},
      {TRect(-5, -5, 30, 30), 10},
      {TRect(-25, -21, 13, 2), 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.R.Left << "," << c.R.Top << " shift " << c.Shift);
    Dib.Fill(kBlank);
    ShiftOrigin(c.Shift, c.Shift);
    Cx->FillRectTiled(c.R, &Tile);
    int wrong = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        const int lx = x - c.Shift, ly = y - c.Shift;
        const bool inside = lx >= c.R.Left && lx < c.R.Right && ly >= c.R.Top && ly < c.R.Bottom;
        const uint32_t expected = inside ? TileAt(Mod(lx, 20), Mod(ly, 20)) : kBlank;
        if (Dib.At(x, y) != expected) ++wrong;
      }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(TiledFillTest, ExcludeTakesTheAreaOutOfTheClipAndNoBitmapFillsWithTheBrush) {
  Canvas.Brush()->SetColor(clOlive);
  Cx->FillRectTiled(TRect(0, 0, 10, 10), nullptr, true);
  EXPECT_EQ(Dib.CountNot(Px(clOlive), 0, 0, 10, 10), 0);
  Cx->FillRectColor(TRect(0, 0, 40, 40), clRed);
  EXPECT_EQ(Dib.CountNot(Px(clOlive), 0, 0, 10, 10), 0);
  EXPECT_EQ(Dib.At(10, 0), Px(clRed));

  TBitmap empty;
  Cx->FillRectTiled(TRect(20, 20, 30, 30), &empty);
  EXPECT_EQ(Dib.At(25, 25), Px(clRed));  // the brush, red since the last fill
  Cx->FillRectTiled(TRect(30, 30, 30, 35), &Tile);  // empty rectangle: nothing

  TcxCanvasBackground background{&Tile, clLime};
  Cx->FillRectBackground(TRect(20, 20, 22, 22), background);
  EXPECT_EQ(Dib.At(20, 20), TileAt(0, 0));
  EXPECT_EQ(Canvas.Brush()->Color(), clLime);
}

TEST_F(CanvasTest, FillRectWithFrameDrawsTheSidesThenTheInside) {
  Cx->FillRectWithFrame(TRect(0, 0, 10, 10), TcxCanvasBackground{nullptr, clYellow}, false, 2, clBlue,
                        TcxBorders{bLeft, bTop});
  EXPECT_EQ(Dib.At(1, 5), Px(clBlue));
  EXPECT_EQ(Dib.At(5, 1), Px(clBlue));
  EXPECT_EQ(Dib.At(2, 2), Px(clYellow));
  EXPECT_EQ(Dib.At(9, 9), Px(clYellow));
  EXPECT_EQ(Dib.At(10, 10), kBlank);
}

TEST_F(CanvasTest, FrameSidesWiderThanTheRectangleStayInside) {
  Cx->DrawFrameSides(TRect(10, 10, 14, 13), clRed, 10, cxBordersAll);
  EXPECT_EQ(Dib.CountNot(Px(clRed), 10, 10, 14, 13), 0);
  EXPECT_EQ(Dib.CountNot(kBlank, 0, 0, 40, 40), 12);
  // A thin frame leaves the inside alone; clNone draws nothing.
  Cx->DrawFrameSides(TRect(20, 20, 30, 30), clBlue, 1, TcxBorders{bRight, bBottom});
  EXPECT_EQ(Dib.At(29, 20), Px(clBlue));
  EXPECT_EQ(Dib.At(20, 29), Px(clBlue));
  EXPECT_EQ(Dib.At(20, 20), kBlank);
  Cx->DrawFrameSides(TRect(0, 0, 5, 5), clNone, 1, cxBordersAll);
  EXPECT_EQ(Dib.At(0, 0), kBlank);
}

TEST_F(CanvasTest, TwoColorBordersOverwriteInOrderLeftTopRightBottom) {
  Cx->DrawTwoColorBorders(TRect(0, 0, 10, 10), clRed, clBlue, cxBordersAll, 2);
  EXPECT_EQ(Dib.At(0, 0), Px(clRed));
  EXPECT_EQ(Dib.At(9, 0), Px(clBlue));  // top, then right over it
  EXPECT_EQ(Dib.At(0, 9), Px(clBlue));  // left, then bottom over it
  EXPECT_EQ(Dib.At(9, 9), Px(clBlue));
  EXPECT_EQ(Dib.At(1, 5), Px(clRed));
  EXPECT_EQ(Dib.At(8, 5), Px(clBlue));
  EXPECT_EQ(Dib.At(5, 5), kBlank);
}

TEST_F(CanvasTest, ThreeDBordersTakeTheirSystemColoursBySunkenAndOuter) {
  const struct {
    bool Sunken, Outer;
    TColor First, Second;
  } cases[] = {
      {true, true, clBtnShadow, clBtnHighlight},
      {true, false, cl3DDkShadow, cl3DLight},
      {false, true, cl3DLight, cl3DDkShadow},
      {false, false, clBtnHighlight, clBtnShadow},
  };
  for (const auto& c : cases) {
    Dib.Fill(kBlank);
    Cx->Draw3DBorders(TRect(0, 0, 10, 10), c.Sunken, c.Outer, cxBordersAll);
    EXPECT_EQ(Dib.At(0, 5), Px(ColorToRGB(c.First))) << c.Sunken << c.Outer;
    EXPECT_EQ(Dib.At(5, 0), Px(ColorToRGB(c.First))) << c.Sunken << c.Outer;
    EXPECT_EQ(Dib.At(9, 5), Px(ColorToRGB(c.Second))) << c.Sunken << c.Outer;
    EXPECT_EQ(Dib.At(5, 9), Px(ColorToRGB(c.Second))) << c.Sunken << c.Outer;
    EXPECT_EQ(Dib.At(1, 1), kBlank);
  }
}

TEST_F(CanvasTest, InvertAndFocusFramesChangeOnlyTheirArea) {
  Cx->InvertRectArea(TRect(0, 0, 4, 4));
  EXPECT_EQ(Dib.At(0, 0), ~kBlank);
  EXPECT_EQ(Dib.At(4, 4), kBlank);
  EXPECT_EQ(Canvas.CopyMode(), cmSrcCopy);
  Dib.Fill(0);
  Cx->DrawFocusFrames(TRect(10, 10, 20, 20), 2);
  EXPECT_GT(Dib.CountNot(0, 10, 10, 20, 11, 0xFFFFFF), 0);
  EXPECT_GT(Dib.CountNot(0, 11, 11, 19, 12, 0xFFFFFF), 0);
  EXPECT_EQ(Dib.CountNot(0, 12, 12, 18, 18, 0xFFFFFF), 0);
  EXPECT_EQ(Dib.CountNot(0, 0, 0, 40, 10, 0xFFFFFF), 0);
}

// ---- Copying the objects of a DC ------------------------------------------------------

TEST(CxCanvasObjects, BrushStylesMapFromTheLogBrush) {
  const struct {
    UINT Style;
    ULONG_PTR Hatch;
    TBrushStyle Expected;
  } cases[] = {
      {BS_SOLID, 0, bsSolid},
      {BS_HOLLOW, 0, bsClear},
      {BS_HATCHED, HS_HORIZONTAL, bsHorizontal},
      {BS_HATCHED, HS_VERTICAL, bsVertical},
      {BS_HATCHED, HS_FDIAGONAL, bsFDiagonal},
      {BS_HATCHED, HS_BDIAGONAL, bsBDiagonal},
      {BS_HATCHED, HS_CROSS, bsCross},
      {BS_HATCHED, HS_DIAGCROSS, bsDiagCross},
  };
  TDibCanvas dib(8, 8);
  for (const auto& c : cases) {
    LOGBRUSH log{c.Style, 0x123456, c.Hatch};
    EXPECT_EQ(cxBrushStyleOfLogBrush(log), c.Expected) << c.Style << "/" << c.Hatch;
    HBRUSH brush = CreateBrushIndirect(&log);
    HGDIOBJ old = SelectObject(dib.dc, brush);
    TCanvas canvas;
    TcxCanvas::CopyDCObjects(&canvas, dib.dc);
    EXPECT_EQ(canvas.Brush()->Style(), c.Expected) << c.Style << "/" << c.Hatch;
    if (c.Style != BS_HOLLOW) {
      EXPECT_EQ(canvas.Brush()->Color(), TColor(0x123456));
    }
    SelectObject(dib.dc, old);
    DeleteObject(brush);
  }
}

TEST(CxCanvasObjects, PenModesMapFromTheDCsRop2) {
  const struct {
    int Rop2;
    TPenMode Mode;
  } cases[] = {
      {R2_BLACK, pmBlack},           {R2_WHITE, pmWhite},         {R2_NOP, pmNop},
      {R2_NOT, pmNot},               {R2_COPYPEN, pmCopy},        {R2_NOTCOPYPEN, pmNotCopy},
      {R2_MERGEPENNOT, pmMergePenNot}, {R2_MASKPENNOT, pmMaskPenNot}, {R2_MERGENOTPEN, pmMergeNotPen},
      {R2_MASKNOTPEN, pmMaskNotPen}, {R2_MERGEPEN, pmMerge},      {R2_NOTMERGEPEN, pmNotMerge},
      {R2_MASKPEN, pmMask},          {R2_NOTMASKPEN, pmNotMask},  {R2_XORPEN, pmXor},
      {R2_NOTXORPEN, pmNotXor},
  };
  TDibCanvas dib(8, 8);
  HPEN pen = CreatePen(PS_DASH, 1, 0x00ABCDEF);
  HGDIOBJ oldPen = SelectObject(dib.dc, pen);
  for (const auto& c : cases) {
    SetROP2(dib.dc, c.Rop2);
    TCanvas canvas;
    TcxCanvas::CopyDCObjects(&canvas, dib.dc);
    EXPECT_EQ(canvas.Pen()->Mode(), c.Mode) << c.Rop2;
    EXPECT_EQ(canvas.Pen()->Style(), psDash);
    EXPECT_EQ(canvas.Pen()->Color(), TColor(0x00ABCDEF));
  }
  EXPECT_EQ(cxPenModeOfROP2(0), pmCopy);
  EXPECT_EQ(cxPenModeOfROP2(99), pmCopy);
  SelectObject(dib.dc, oldPen);
  DeleteObject(pen);
}

TEST(CxCanvasObjects, FontComesWithTheDCsTextColour) {
  TDibCanvas dib(8, 8);
  LOGFONTA log{};
  log.lfHeight = -17;
  log.lfWeight = FW_BOLD;
  strcpy(log.lfFaceName, "Tahoma");
  HFONT font = CreateFontIndirectA(&log);
  HGDIOBJ old = SelectObject(dib.dc, font);
  SetTextColor(dib.dc, 0x00102030);
  TCanvas canvas;
  TcxCanvas::CopyDCObjects(&canvas, dib.dc);
  EXPECT_EQ(canvas.Font()->Height(), -17);
  EXPECT_TRUE(canvas.Font()->Style().Contains(fsBold));
  EXPECT_EQ(canvas.Font()->Color(), TColor(0x00102030));
  SelectObject(dib.dc, old);
  DeleteObject(font);
}

// ---- Text flags -------------------------------------------------------------------------

TEST(CxTextFlags, TranslateToDrawTextFlags) {
  const struct {
    Integer Flags;
    UINT Expected;
  } cases[] = {
      {0, DT_NOPREFIX},
      {ctfLeft | ctfTop, DT_NOPREFIX},
      {ctfRight | ctfBottom, DT_NOPREFIX | DT_RIGHT | DT_BOTTOM},
      {ctfCenterH | ctfCenterV | ctfSingleLine, DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_SINGLELINE},
      {ctfNoClip | ctfExpandTabs, DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS},
      {ctfShowPrefix, 0},
      {ctfWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
      {ctfWordBreak | ctfNoCharBreak, DT_NOPREFIX | DT_WORDBREAK},
      {ctfWordBreak | ctfNoCharBreak | ctfNoFullWidthCharBreak, DT_NOPREFIX | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK},
      {ctfWordBreak | ctfNoFullWidthCharBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
      {ctfNoFullWidthCharBreak | ctfNoCharBreak, DT_NOPREFIX},
      {ctfEndEllipsis | ctfCalcOnly | ctfPathEllipsis, DT_NOPREFIX | DT_END_ELLIPSIS | DT_CALCRECT | DT_PATH_ELLIPSIS},
  };
  for (const auto& c : cases) EXPECT_EQ(cxTextFlagsToDrawTextFlags(c.Flags), c.Expected) << std::hex << c.Flags;
}

// ---- Shared canvases ---------------------------------------------------------------------

TEST(CxSharedCanvases, CreatedOnceAndGoneAfterShutDown) {
  unit_state_test::TGraphicsUnitAtRest atRest;
  cx_graphics_detail::StartGraphics();
  TcxScreenCanvas* screen = cxSharedScreenCanvas();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(cxSharedScreenCanvas(), screen);
  EXPECT_GT(screen->GetTextWidth("Measure"), 0);
  screen->ReleaseScreenDC();
  EXPECT_FALSE(screen->Canvas()->HandleAllocated());
  EXPECT_GT(screen->GetTextHeight("Again"), 0);  // a new DC on next use
  TcxPaintCanvas* paint = cxSharedPaintCanvas();
  ASSERT_NE(paint, nullptr);
  EXPECT_EQ(cxSharedPaintCanvas(), paint);
  cx_graphics_detail::StopGraphics();
  EXPECT_EQ(cxSharedScreenCanvas(), nullptr);
  EXPECT_EQ(cxSharedPaintCanvas(), nullptr);
  cx_graphics_detail::StartGraphics();
  EXPECT_NE(cxSharedScreenCanvas(), nullptr);
  cx_graphics_detail::StopGraphics();
}

TEST(CxPaintCanvas, NestedPaintsOnForeignDCsRestoreTheDCAndTheCanvas) {
  TDibCanvas dib(20, 20, 0);
  HBRUSH brush = CreateSolidBrush(0x00405060);
  HGDIOBJ oldBrush = SelectObject(dib.dc, brush);
  TBitmap other(4, 4);
  TcxPaintCanvas paint;
  paint.StartPaintDC(dib.dc);
  EXPECT_EQ(paint.Level(), 1);
  TCanvas* first = paint.Canvas();
  EXPECT_EQ(first->Brush()->Color(), TColor(0x00405060));
  paint.FillRectColor(TRect(0, 0, 2, 2), clRed);
  SetWindowOrgEx(dib.dc, 3, 3, nullptr);
  paint.StartPaintCanvas(other.Canvas());
  EXPECT_EQ(paint.Level(), 2);
  EXPECT_EQ(paint.Canvas(), other.Canvas());
  paint.FinishPaint();
  EXPECT_EQ(paint.Canvas(), first);
  paint.FinishPaint();
  EXPECT_EQ(paint.Level(), 0);
  EXPECT_EQ(paint.Canvas(), nullptr);
  paint.FinishPaint();  // level 0: nothing
  EXPECT_EQ(dib.At(0, 0), Px(clRed));
  EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_BRUSH), brush);
  POINT window{};
  GetWindowOrgEx(dib.dc, &window);
  EXPECT_EQ(window, POINT(0, 0));
  SelectObject(dib.dc, oldBrush);
  DeleteObject(brush);
}

// A paint left open frees the canvas it made and leaves the DC usable.
TEST(CxPaintCanvas, DestroyedWithAnOpenPaint) {
  TDibCanvas dib(4, 4, 0);
  auto paint = std::make_unique<TcxPaintCanvas>();
  paint->StartPaintDC(dib.dc);
  paint->FillRectColor(TRect(0, 0, 1, 1), clWhite);
  paint.reset();
  RECT r{1, 1, 2, 2};
  FillRect(dib.dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(dib.At(1, 1), Px(clWhite));
}

}  // namespace
