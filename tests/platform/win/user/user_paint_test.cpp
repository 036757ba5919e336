// Painting: update regions and WM_PAINT coalescing, erasing, clipping of
// children and siblings, drawing outside WM_PAINT, scrolling, printing,
// window regions and the default frame, checked on captured pictures.
#include <climits>
#include <cstdlib>

#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;
using rtl::testing::RunUntilIdle;
using rtl::testing::WindowPixel;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

std::vector<RECT> g_painted;

// Paints its update area in the colour kept in GWL_USERDATA.
LRESULT PaintingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    g_painted.push_back(ps.rcPaint);
    HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(h, GWL_USERDATA)));
    FillRect(dc, &ps.rcPaint, b);
    DeleteObject(b);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

class UserPaintTest : public TUserTest {
 protected:
  void SetUp() override {
    TUserTest::SetUp();
    WNDCLASSA wc{};
    wc.lpfnWndProc = PaintingProc;
    wc.lpszClassName = "UserTestPaint";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    g_painted.clear();
  }
  HWND Painter(DWORD style, RECT r, COLORREF color, HWND parent = nullptr, DWORD ex = 0) {
    HWND h = Make(ex, "UserTestPaint", style, r, parent);
    SetWindowLongPtrA(h, GWL_USERDATA, static_cast<LONG_PTR>(color));
    return h;
  }
  static void Fill(HWND h, RECT r, COLORREF color, bool window = false) {
    HDC dc = window ? GetWindowDC(h) : GetDC(h);
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(h, dc);
  }
};

TEST_F(UserPaintTest, InvalidationsCoalesceIntoOnePaint) {
  HWND a = Painter(WS_POPUP | WS_VISIBLE, RECT(0, 0, 200, 200), kRed);
  RunUntilIdle();
  Fill(a, RECT(0, 0, 200, 200), kGreen);
  g_painted.clear();
  Log.Clear();
  RECT first(10, 10, 20, 20);
  InvalidateRect(a, &first, FALSE);
  RECT second(50, 60, 70, 80);
  InvalidateRect(a, &second, FALSE);
  RECT upd;
  EXPECT_TRUE(GetUpdateRect(a, &upd, FALSE));
  EXPECT_EQ(upd, RECT(10, 10, 70, 80));
  RunUntilIdle();
  ASSERT_EQ(g_painted.size(), 1u);
  EXPECT_EQ(g_painted[0], RECT(10, 10, 70, 80));
  EXPECT_FALSE(GetUpdateRect(a, &upd, FALSE));
  // The paint drew only the two rectangles (its clip), not their box.
  EXPECT_EQ(WindowPixel(a, 15, 15), kRed);
  EXPECT_EQ(WindowPixel(a, 55, 65), kRed);
  EXPECT_EQ(WindowPixel(a, 40, 40), kGreen);
  EXPECT_EQ(Log.Count(WM_ERASEBKGND, a), 0);
}

TEST_F(UserPaintTest, ErasingUsesTheClassBrushAndReportsFErase) {
  HWND a = Painter(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100), kRed);
  RunUntilIdle();
  Fill(a, RECT(0, 0, 100, 100), kGreen);
  Log.Clear();
  InvalidateRect(a, nullptr, TRUE);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(a, &ps);
  EXPECT_EQ(Log.Count(WM_ERASEBKGND, a), 1);
  EXPECT_FALSE(ps.fErase);
  EXPECT_EQ(ps.rcPaint, RECT(0, 0, 100, 100));
  EXPECT_EQ(WindowPixel(a, 50, 50), GetSysColor(COLOR_WINDOW));
  EndPaint(a, &ps);
  (void)dc;
  // Nothing is owed any more.
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, a, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(UserPaintTest, HiddenWindowsDoNotPaintAndShowingPaintsEverything) {
  HWND p = Painter(WS_POPUP, RECT(0, 0, 100, 100), kRed);
  HWND c = Painter(WS_CHILD | WS_VISIBLE, RECT(10, 10, 30, 30), kBlue, p);
  InvalidateRect(p, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_TRUE(g_painted.empty());
  Log.Clear();
  ShowWindow(p, SW_SHOWNA);
  RunUntilIdle();
  ASSERT_EQ(g_painted.size(), 2u);  // the parent, then its child
  EXPECT_EQ(Log.For(p).front().Msg, static_cast<UINT>(WM_SHOWWINDOW));
  EXPECT_EQ(WindowPixel(p, 5, 5), kRed);
  EXPECT_EQ(WindowPixel(c, 5, 5), kBlue);
}

TEST_F(UserPaintTest, ChildrenAndSiblingsAreClippedAsTheStylesSay) {
  struct TCase {
    DWORD ParentStyle;
    DWORD LowerStyle;
    COLORREF OverChild;    // after the parent fills its whole client area
    COLORREF OverOverlap;  // after the lower sibling fills its whole area
  } cases[] = {
      {WS_CLIPCHILDREN, WS_CLIPSIBLINGS, kBlue, kBlue},
      {0, WS_CLIPSIBLINGS, kRed, kBlue},
      {WS_CLIPCHILDREN, 0, kBlue, kGreen},
  };
  for (const TCase& c : cases) {
    HWND p = Painter(WS_POPUP | WS_VISIBLE | c.ParentStyle, RECT(0, 0, 200, 200), kRed);
    HWND upper = Painter(WS_CHILD | WS_VISIBLE, RECT(10, 10, 60, 60), kBlue, p);
    HWND lower = Painter(WS_CHILD | WS_VISIBLE | c.LowerStyle, RECT(40, 40, 100, 100), kGreen, p);
    RunUntilIdle();
    EXPECT_EQ(GetWindow(upper, GW_HWNDNEXT), lower);
    Fill(lower, RECT(0, 0, 60, 60), kGreen);
    EXPECT_EQ(WindowPixel(p, 50, 50), c.OverOverlap) << c.ParentStyle << "/" << c.LowerStyle;
    Fill(p, RECT(0, 0, 200, 200), kRed);
    EXPECT_EQ(WindowPixel(p, 20, 20), c.OverChild) << c.ParentStyle << "/" << c.LowerStyle;
    DestroyWindow(p);
  }
}

TEST_F(UserPaintTest, DrawingOutsidePaintStaysAndXorUndoesItself) {
  HWND a = Painter(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100), kRed);
  RunUntilIdle();
  Fill(a, RECT(10, 10, 20, 20), kBlue);
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(a, 15, 15), kBlue);
  HDC dc = GetDC(a);
  PatBlt(dc, 0, 0, 100, 100, DSTINVERT);
  EXPECT_EQ(WindowPixel(a, 15, 15), RGB(255, 255, 0));
  PatBlt(dc, 0, 0, 100, 100, DSTINVERT);
  ReleaseDC(a, dc);
  EXPECT_EQ(WindowPixel(a, 15, 15), kBlue);
  EXPECT_EQ(WindowPixel(a, 50, 50), kRed);
}

TEST_F(UserPaintTest, ScrollWindowExMovesPixelsAndInvalidatesWhatItUncovers) {
  HWND a = Painter(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100), kRed);
  RunUntilIdle();
  // Stripes: row y has the colour y.
  HDC dc = GetDC(a);
  for (int y = 0; y < 100; ++y) {
    RECT r(0, y, 100, y + 1);
    HBRUSH b = CreateSolidBrush(RGB(y, 0, 0));
    FillRect(dc, &r, b);
    DeleteObject(b);
  }
  ReleaseDC(a, dc);
  HRGN upd = CreateRectRgn(0, 0, 0, 0);
  RECT updRect;
  EXPECT_EQ(ScrollWindowEx(a, 0, -10, nullptr, nullptr, upd, &updRect, SW_INVALIDATE), SIMPLEREGION);
  EXPECT_EQ(updRect, RECT(0, 90, 100, 100));
  EXPECT_EQ(WindowPixel(a, 50, 0), RGB(10, 0, 0));
  EXPECT_EQ(WindowPixel(a, 50, 89), RGB(99, 0, 0));
  RECT pending;
  EXPECT_TRUE(GetUpdateRect(a, &pending, FALSE));
  EXPECT_EQ(pending, RECT(0, 90, 100, 100));
  DeleteObject(upd);
  // A pending update region moves along with the content.
  ValidateRect(a, nullptr);
  RECT inv(0, 50, 100, 60);
  InvalidateRect(a, &inv, FALSE);
  RECT part(0, 0, 100, 80);
  ScrollWindowEx(a, 0, 5, &part, &part, nullptr, nullptr, 0);
  GetUpdateRect(a, &pending, FALSE);
  EXPECT_EQ(pending, RECT(0, 50, 100, 65));
}

TEST_F(UserPaintTest, ScrollingChildrenMovesThem) {
  HWND p = Painter(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT(0, 0, 200, 200), kRed);
  HWND c = Painter(WS_CHILD | WS_VISIBLE, RECT(20, 20, 40, 40), kBlue, p);
  RunUntilIdle();
  ScrollWindow(p, 30, 0, nullptr, nullptr);
  RunUntilIdle();
  POINT o(0, 0);
  MapWindowPoints(c, p, &o, 1);
  EXPECT_EQ(o, POINT(50, 20));
  EXPECT_EQ(WindowPixel(p, 55, 25), kBlue);
  EXPECT_EQ(WindowPixel(p, 25, 25), kRed);
}

// Without a scroll rectangle every child moves, also one lying wholly
// outside the client area; with one, only those it touches.
TEST_F(UserPaintTest, ScrollingChildrenMovesThoseOutsideTheClientArea) {
  HWND p = Painter(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT(0, 0, 200, 200), kRed);
  HWND inside = Painter(WS_CHILD | WS_VISIBLE, RECT(20, 20, 40, 40), kBlue, p);
  HWND below = Painter(WS_CHILD | WS_VISIBLE, RECT(20, 260, 40, 280), kBlue, p);
  HWND left = Painter(WS_CHILD | WS_VISIBLE, RECT(-80, 20, -60, 40), kBlue, p);
  RunUntilIdle();
  auto at = [&](HWND c) {
    POINT o(0, 0);
    MapWindowPoints(c, p, &o, 1);
    return o;
  };
  ScrollWindowEx(p, 0, -100, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE);
  RunUntilIdle();
  EXPECT_EQ(at(inside), POINT(20, -80));
  EXPECT_EQ(at(below), POINT(20, 160));
  EXPECT_EQ(at(left), POINT(-80, -80));
  EXPECT_EQ(WindowPixel(p, 25, 165), kBlue);  // the child that came into view shows
  ScrollWindow(p, 100, 0, nullptr, nullptr);
  RunUntilIdle();
  EXPECT_EQ(at(left), POINT(20, -80));
  EXPECT_EQ(at(below), POINT(120, 160));
  // A scroll rectangle limits the move to the children it touches.
  RECT part(100, 100, 200, 200);
  ScrollWindowEx(p, 0, 10, &part, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
  EXPECT_EQ(at(below), POINT(120, 170));
  EXPECT_EQ(at(inside), POINT(120, -80));
}

// Distances at the ends of int scroll everything out, as any distance past
// the client's size does; children moved along stop far away instead of
// wrapping round to the other side.
TEST_F(UserPaintTest, HugeScrollDistancesUncoverTheWholeArea) {
  struct {
    int Dx, Dy;
    bool ChildLeft, ChildAbove;
  } cases[] = {
      {INT_MAX, 0, false, false}, {INT_MIN, 0, true, false}, {0, INT_MAX, false, false},
      {0, INT_MIN, false, true},  {INT_MIN, INT_MAX, true, false}, {INT_MAX, INT_MIN, false, true},
  };
  for (const auto& k : cases) {
    HWND p = Painter(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 80), kRed);
    HWND c = Painter(WS_CHILD | WS_VISIBLE, RECT(20, 20, 40, 40), kBlue, p);
    RunUntilIdle();
    Fill(p, RECT(0, 0, 100, 80), kGreen);
    RECT scroll(10, 10, 90, 70);
    RECT uncovered{};
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ScrollWindowEx(p, k.Dx, k.Dy, &scroll, nullptr, rgn, &uncovered, SW_INVALIDATE), SIMPLEREGION)
        << k.Dx << "," << k.Dy;
    EXPECT_EQ(uncovered, scroll) << k.Dx << "," << k.Dy;
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(p, &pending, FALSE));
    EXPECT_EQ(pending, scroll);
    EXPECT_EQ(WindowPixel(p, 5, 5), kGreen) << "outside the scrolled part";
    DeleteObject(rgn);
    ScrollWindowEx(p, k.Dx, k.Dy, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE);
    RECT r;
    GetWindowRect(c, &r);
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Left < 0, k.ChildLeft) << k.Dx << "," << k.Dy;
    EXPECT_EQ(r.Top < 0, k.ChildAbove) << k.Dx << "," << k.Dy;
    if (k.Dx) EXPECT_GT(std::abs(static_cast<long long>(r.Left)), 1000000);
    if (k.Dy) EXPECT_GT(std::abs(static_cast<long long>(r.Top)), 1000000);
    DestroyWindow(p);
  }
  RunUntilIdle();
}

// RDW_ERASENOW: the affected windows hear WM_NCPAINT and WM_ERASEBKGND
// before RedrawWindow returns, parents before their children, and which
// children are affected follows RDW_ALLCHILDREN, RDW_NOCHILDREN and
// WS_CLIPCHILDREN; WM_PAINT comes later and erases nothing again.
TEST_F(UserPaintTest, EraseNowErasesTheAffectedWindowsAndLeavesThePaint) {
  struct TCase {
    const char* Name;
    DWORD ParentStyle;
    UINT Flags;
    bool ChildErased;
  } cases[] = {
      {"children by default", 0, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW, true},
      {"no children", 0, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW | RDW_NOCHILDREN, false},
      {"clipping parent", WS_CLIPCHILDREN, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW, false},
      {"clipping parent, all children", WS_CLIPCHILDREN,
       RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW | RDW_ALLCHILDREN, true},
  };
  for (const TCase& k : cases) {
    HWND p = Painter(WS_POPUP | WS_VISIBLE | k.ParentStyle, RECT(0, 0, 200, 200), kRed);
    HWND c = Painter(WS_CHILD | WS_VISIBLE, RECT(20, 20, 60, 60), kBlue, p);
    RunUntilIdle();
    Log.Clear();
    RedrawWindow(p, nullptr, nullptr, k.Flags);
    std::vector<TExpected> now = {{WM_ERASEBKGND, p}};
    if (k.ChildErased) {
      now.push_back({WM_NCPAINT, c});
      now.push_back({WM_ERASEBKGND, c});
    }
    EXPECT_TRUE(MatchesSequence(Log.Items, now)) << k.Name;
    // The background is on the screen already; the paints come later,
    // without erasing again.
    EXPECT_EQ(WindowPixel(p, 100, 100), GetSysColor(COLOR_WINDOW)) << k.Name;
    Log.Clear();
    g_painted.clear();
    RunUntilIdle();
    std::vector<TExpected> later = {{WM_PAINT, p}};
    if (k.ChildErased) later.push_back({WM_PAINT, c});
    EXPECT_TRUE(MatchesSequence(Log.Items, later)) << k.Name;
    EXPECT_EQ(WindowPixel(p, 100, 100), kRed) << k.Name;
    DestroyWindow(p);
  }
  // Without anything owed, there is nothing to erase.
  HWND p = Painter(WS_POPUP | WS_VISIBLE, RECT(0, 0, 200, 200), kRed);
  RunUntilIdle();
  Log.Clear();
  RedrawWindow(p, nullptr, nullptr, RDW_ERASENOW | RDW_ALLCHILDREN);
  EXPECT_TRUE(Log.Items.empty());
  // Invalidated without RDW_ERASE: no background, the frame if asked for.
  RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASENOW);
  EXPECT_TRUE(MatchesSequence(Log.Items, {{WM_NCPAINT, p}}));
}

// WS_CLIPCHILDREN added while the parent owes a paint that covers a child:
// the parent's paint keeps off the child from then on, so a child that has
// painted already keeps its pixels.
TEST_F(UserPaintTest, ClipChildrenAddedWithAPaintPendingKeepsTheParentOffTheChildren) {
  for (bool add : {false, true}) {
    HWND p = Painter(WS_POPUP | WS_VISIBLE, RECT(0, 0, 200, 200), kRed);
    HWND c = Painter(WS_CHILD | WS_VISIBLE, RECT(20, 20, 60, 60), kBlue, p);
    RunUntilIdle();
    InvalidateRect(p, nullptr, TRUE);
    EXPECT_TRUE(GetUpdateRect(c, nullptr, FALSE)) << "the child was invalidated along";
    if (add) SetWindowLongA(p, GWL_STYLE, GetWindowLongA(p, GWL_STYLE) | WS_CLIPCHILDREN);
    // The child has painted; only the parent is left.
    Fill(c, RECT(0, 0, 40, 40), kGreen);
    ValidateRect(c, nullptr);
    Log.Clear();
    UpdateWindow(p);
    EXPECT_TRUE(MatchesSequence(Log.Items, {{WM_PAINT, p}, {WM_ERASEBKGND, p}})) << add;
    EXPECT_EQ(WindowPixel(p, 100, 100), kRed) << add;
    EXPECT_EQ(WindowPixel(p, 30, 30), add ? kGreen : kRed) << add;
    DestroyWindow(p);
  }
}

TEST_F(UserPaintTest, RedrawWindowFlags) {
  HWND p = Painter(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT(0, 0, 200, 200), kRed);
  HWND c = Painter(WS_CHILD | WS_VISIBLE, RECT(20, 20, 40, 40), kBlue, p);
  RunUntilIdle();
  struct TCase {
    UINT Flags;
    size_t Paints;  // synchronous WM_PAINTs
    bool ChildOwes;
  } cases[] = {
      {RDW_INVALIDATE | RDW_UPDATENOW, 1, false},
      {RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW, 2, false},
      {RDW_INVALIDATE | RDW_ALLCHILDREN, 0, true},
  };
  for (const TCase& t : cases) {
    g_painted.clear();
    RedrawWindow(p, nullptr, nullptr, t.Flags);
    EXPECT_EQ(g_painted.size(), t.Paints) << t.Flags;
    RECT r;
    EXPECT_EQ(GetUpdateRect(c, &r, FALSE) != FALSE, t.ChildOwes) << t.Flags;
    RunUntilIdle();
  }
  // Validation takes an owed paint away; the frame flag asks for WM_NCPAINT.
  RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  RedrawWindow(p, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME);
  Log.Clear();
  RunUntilIdle();
  EXPECT_EQ(Log.Count(WM_PAINT, p), 0);
  EXPECT_EQ(Log.Count(WM_NCPAINT, p), 0);
  RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASENOW);
  EXPECT_EQ(Log.Count(WM_NCPAINT, p), 1);
  EXPECT_EQ(Log.Count(WM_PAINT, p), 0);
}

TEST_F(UserPaintTest, SetRedrawFalseStopsPaintingUntilRedrawn) {
  HWND a = Painter(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100), kRed);
  RunUntilIdle();
  SendMessageA(a, WM_SETREDRAW, FALSE, 0);
  InvalidateRect(a, nullptr, TRUE);
  g_painted.clear();
  RunUntilIdle();
  EXPECT_TRUE(g_painted.empty());
  SendMessageA(a, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(a, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(g_painted.size(), 1u);
}

TEST_F(UserPaintTest, WindowRegionClipsPaintingAndHitTesting) {
  HWND a = Painter(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100), kRed);
  RunUntilIdle();
  Fill(a, RECT(0, 0, 100, 100), kGreen);
  SetWindowRgn(a, CreateEllipticRgn(0, 0, 100, 100), TRUE);
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(a, 50, 50), kRed);
  EXPECT_EQ(WindowPixel(a, 1, 1), kGreen);  // outside the shape: untouched
  EXPECT_NE(WindowFromPoint(POINT(50, 50)), nullptr);
  EXPECT_NE(WindowFromPoint(POINT(1, 1)), a);
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(a, copy), COMPLEXREGION);
  DeleteObject(copy);
}

TEST_F(UserPaintTest, PrintDrawsTheWindowAndItsChildrenIntoAnyDC) {
  HWND p = Painter(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100), kRed);
  Painter(WS_CHILD | WS_VISIBLE, RECT(10, 10, 30, 30), kBlue, p);
  RunUntilIdle();
  // The default WM_PRINTCLIENT draws nothing: paint through WM_PAINT's
  // handler with the given DC, as controls do.
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 100, 100);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(mem, bmp);
  RECT all(0, 0, 100, 100);
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SendMessageA(p, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_ERASEBKGND | PRF_CHILDREN);
  EXPECT_EQ(GetPixel(mem, 50, 50), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(GetPixel(mem, 20, 20), GetSysColor(COLOR_WINDOW));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

TEST_F(UserPaintTest, DefaultFrameShowsActivation) {
  HWND a = Painter(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(0, 0, 200, 150), kRed);
  HWND b = Painter(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(300, 0, 500, 150), kRed);
  SetActiveWindow(a);
  RunUntilIdle();
  int f = GetSystemMetrics(SM_CXFRAME);
  // The caption's left end carries its first colour (gradient or not).
  EXPECT_EQ(WindowPixel(a, f + 1, f + 1, true), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(WindowPixel(b, f + 1, f + 1, true), GetSysColor(COLOR_INACTIVECAPTION));
  EXPECT_EQ(WindowPixel(a, 50, 50), kRed);
  SetActiveWindow(b);
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(a, f + 1, f + 1, true), GetSysColor(COLOR_INACTIVECAPTION));
  EXPECT_EQ(WindowPixel(b, f + 1, f + 1, true), GetSysColor(COLOR_ACTIVECAPTION));
}

}  // namespace
