// Where WM_NCPAINT and WM_ERASEBKGND come from, which WM_PAINT is retrieved
// first, and what RedrawWindow's flags and odd rectangles owe, as message
// sequences and update regions.
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;
using rtl::testing::RunUntilIdle;

class UserPaintOrderTest : public TUserTest {
 protected:
  RECT UpdateOf(HWND h) {
    RECT r{};
    GetUpdateRect(h, &r, FALSE);
    return r;
  }
  bool PaintPending(HWND filter) {
    MSG m;
    return PeekMessageA(&m, filter, WM_PAINT, WM_PAINT, PM_NOREMOVE) && m.message == WM_PAINT;
  }
};

TEST_F(UserPaintOrderTest, FrameAndBackgroundComeFromInsideBeginPaint) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 400, 300));
  RunUntilIdle();
  RedrawWindow(a, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  Log.Clear();
  UpdateWindow(a);
  // The default WM_PAINT runs BeginPaint, which sends the other two.
  EXPECT_TRUE(MatchesSequence(Log.For(a), {{WM_PAINT}, {WM_NCPAINT}, {WM_ERASEBKGND}}));
}

TEST_F(UserPaintOrderTest, ChildErasesInItsOwnPaintAfterShowMoveAndSize) {
  struct {
    const char* Name;
    void (*Action)(HWND);
  } cases[] = {
      {"show", [](HWND c) { ShowWindow(c, SW_SHOW); }},
      {"move", [](HWND c) { SetWindowPos(c, nullptr, 30, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }},
      {"size", [](HWND c) { SetWindowPos(c, nullptr, 0, 0, 80, 70, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); }},
  };
  HWND p = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, RECT(100, 100, 400, 300));
  for (auto& k : cases) {
    HWND c = MakeChild(p, k.Name == std::string("show") ? 0 : WS_VISIBLE, RECT(10, 10, 60, 60));
    RunUntilIdle();
    Log.Clear();
    k.Action(c);
    EXPECT_EQ(Log.Count(WM_NCPAINT, c), 0) << k.Name;
    EXPECT_EQ(Log.Count(WM_ERASEBKGND, c), 0) << k.Name;
    Log.Clear();
    RunUntilIdle();
    EXPECT_TRUE(MatchesSequence(Log.For(c), {{WM_PAINT}, Opt(WM_NCPAINT), {WM_ERASEBKGND}})) << k.Name;
    DestroyWindow(c);
    RunUntilIdle();
  }
}

TEST_F(UserPaintOrderTest, ChildPaintWaitsForItsParents) {
  HWND p = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 400, 300));
  HWND c = MakeChild(p, WS_VISIBLE, RECT(10, 10, 60, 60));
  RunUntilIdle();
  InvalidateRect(p, nullptr, TRUE);
  ASSERT_TRUE(GetUpdateRect(c, nullptr, FALSE));
  // Asked for the child's paint alone: none while the parent owes one.
  EXPECT_FALSE(PaintPending(c));
  EXPECT_TRUE(PaintPending(p));
  UpdateWindow(p);
  RunUntilIdle();
  EXPECT_FALSE(GetUpdateRect(c, nullptr, FALSE));
}

TEST_F(UserPaintOrderTest, PaintingAChildValidatesTheParentUnderItWithoutClipChildren) {
  struct {
    DWORD ParentStyle;
    bool ParentKeepsArea;
  } cases[] = {{0, false}, {WS_CLIPCHILDREN, true}};
  for (auto& k : cases) {
    HWND p = MakeTop(WS_POPUP | WS_VISIBLE | k.ParentStyle, RECT(100, 100, 400, 300));
    HWND c = MakeChild(p, WS_VISIBLE, RECT(10, 10, 60, 60));
    RunUntilIdle();
    RECT both(0, 0, 100, 100);
    InvalidateRect(p, &both, TRUE);
    InvalidateRect(c, nullptr, TRUE);
    SendMessageA(c, WM_PAINT, 0, 0);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(p, rgn, FALSE);
    EXPECT_EQ(PtInRegion(rgn, 20, 20) != 0, k.ParentKeepsArea) << k.ParentStyle;
    EXPECT_TRUE(PtInRegion(rgn, 80, 80)) << k.ParentStyle;  // beside the child: still owed
    DeleteObject(rgn);
    DestroyWindow(p);
  }
}

TEST_F(UserPaintOrderTest, InternalPaintForAllChildren) {
  HWND p = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 400, 300));
  HWND c = MakeChild(p, WS_VISIBLE, RECT(10, 10, 60, 60));
  HWND g = MakeChild(c, WS_VISIBLE, RECT(0, 0, 20, 20));
  RunUntilIdle();
  Log.Clear();
  RedrawWindow(p, nullptr, nullptr, RDW_INTERNALPAINT | RDW_ALLCHILDREN);
  RunUntilIdle();
  EXPECT_EQ(Log.Count(WM_PAINT, p), 1);
  EXPECT_EQ(Log.Count(WM_PAINT, c), 1);
  EXPECT_EQ(Log.Count(WM_PAINT, g), 1);
  // Without RDW_ALLCHILDREN only the window itself.
  Log.Clear();
  RedrawWindow(p, nullptr, nullptr, RDW_INTERNALPAINT);
  RunUntilIdle();
  EXPECT_EQ(Log.Count(WM_PAINT, p), 1);
  EXPECT_EQ(Log.Count(WM_PAINT, c), 0);
}

TEST_F(UserPaintOrderTest, SwappedRectangleInvalidatesItsArea) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 400, 300));
  RunUntilIdle();
  RECT swapped(50, 40, 10, 20);
  InvalidateRect(a, &swapped, FALSE);
  EXPECT_EQ(UpdateOf(a), RECT(10, 20, 50, 40));
  ValidateRect(a, &swapped);
  EXPECT_EQ(UpdateOf(a), RECT());
}

TEST_F(UserPaintOrderTest, ChildPartlyOutsideItsParentOwesOnlyItsVisiblePart) {
  HWND p = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 400, 300));
  HWND c = MakeChild(p, WS_VISIBLE, RECT(10, 10, 60, 60));
  RunUntilIdle();
  SetWindowPos(c, nullptr, -20, 280, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // 50x50 at (-20,280) in a 300x200 parent: columns 20..50, rows 0..-- none
  // below 200, so nothing shows and nothing is owed.
  EXPECT_FALSE(GetUpdateRect(c, nullptr, FALSE));
  SetWindowPos(c, nullptr, -20, 170, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(UpdateOf(c), RECT(20, 0, 50, 30));
  InvalidateRect(c, nullptr, TRUE);
  EXPECT_EQ(UpdateOf(c), RECT(20, 0, 50, 30));
}

}  // namespace
