// Message orders of creating, showing, moving, sizing, activating,
// disabling, hiding and destroying windows; SetWindowPos and ShowWindow
// results; z-order bands; geometry.
#include <functional>
#include <map>

#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;

// One expected message: who receives it ('A', 'B', 'P', 'C', ... are the
// windows of the case), optional entries in brackets.
struct TStep {
  UINT Msg;
  char Who;
  bool Optional = false;
  std::optional<WPARAM> W = std::nullopt;
};

struct TOrderCase {
  const char* Name;
  std::function<void(TUserTest&, std::map<char, HWND>&)> Setup;
  std::function<void(TUserTest&, std::map<char, HWND>&)> Action;
  std::vector<TStep> Expected;
};

class UserMessageOrderTest : public TUserTest, public ::testing::WithParamInterface<TOrderCase> {
 public:
  // The fixture's helpers, for the case's lambdas.
  using TUserTest::Make;
  using TUserTest::MakeChild;
  using TUserTest::MakeTop;
};

const RECT kRectA(100, 100, 400, 300);
const RECT kRectB(500, 100, 800, 300);

const TOrderCase kOrderCases[] = {
    {"CreateVisibleOverlapped", nullptr,
     [](TUserTest& t, std::map<char, HWND>& w) {
       w['A'] = static_cast<UserMessageOrderTest&>(t).MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
     },
     {{WM_GETMINMAXINFO, 'A'},
      {WM_NCCREATE, 'A'},
      {WM_NCCALCSIZE, 'A', false, FALSE},
      {WM_CREATE, 'A'},
      {WM_SHOWWINDOW, 'A', false, TRUE},
      {WM_WINDOWPOSCHANGING, 'A'},
      {WM_ACTIVATEAPP, 'A', false, TRUE},
      {WM_NCACTIVATE, 'A', false, TRUE},
      {WM_ACTIVATE, 'A', false, WA_ACTIVE},
      {WM_SETFOCUS, 'A'},
      {WM_NCPAINT, 'A'},
      {WM_ERASEBKGND, 'A'},
      {WM_WINDOWPOSCHANGED, 'A'},
      // An overlapped window's size messages wait for its first show.
      {WM_SIZE, 'A', false, SIZE_RESTORED},
      {WM_MOVE, 'A'}}},
    {"CreateVisibleChild",
     [](TUserTest& t, std::map<char, HWND>& w) {
       w['P'] = static_cast<UserMessageOrderTest&>(t).MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
     },
     [](TUserTest& t, std::map<char, HWND>& w) {
       w['C'] = static_cast<UserMessageOrderTest&>(t).MakeChild(w['P'], WS_VISIBLE, RECT(10, 10, 60, 40));
     },
     {{WM_NCCREATE, 'C'},
      {WM_NCCALCSIZE, 'C'},
      {WM_CREATE, 'C'},
      {WM_SIZE, 'C'},
      {WM_MOVE, 'C'},
      {WM_PARENTNOTIFY, 'P', false, WM_CREATE},
      {WM_SHOWWINDOW, 'C', false, TRUE},
      {WM_WINDOWPOSCHANGING, 'C'},
      // The child's frame and background wait for its WM_PAINT.
      {WM_WINDOWPOSCHANGED, 'C'}}},
    {"MoveTopLevel",
     [](TUserTest& t, std::map<char, HWND>& w) {
       w['A'] = static_cast<UserMessageOrderTest&>(t).MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
     },
     [](TUserTest&, std::map<char, HWND>& w) {
       SetWindowPos(w['A'], nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
     },
     {{WM_WINDOWPOSCHANGING, 'A'}, {WM_WINDOWPOSCHANGED, 'A'}, {WM_MOVE, 'A'}}},
    {"GrowTopLevel",
     [](TUserTest& t, std::map<char, HWND>& w) {
       w['A'] = static_cast<UserMessageOrderTest&>(t).MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
     },
     [](TUserTest&, std::map<char, HWND>& w) {
       SetWindowPos(w['A'], nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
     },
     {{WM_WINDOWPOSCHANGING, 'A'},
      {WM_GETMINMAXINFO, 'A'},
      {WM_NCCALCSIZE, 'A', false, TRUE},
      {WM_NCPAINT, 'A'},
      {WM_ERASEBKGND, 'A'},
      {WM_WINDOWPOSCHANGED, 'A'},
      {WM_SIZE, 'A', false, SIZE_RESTORED}}},
    {"ActivateOther",
     [](TUserTest& t, std::map<char, HWND>& w) {
       auto& m = static_cast<UserMessageOrderTest&>(t);
       w['A'] = m.MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
       w['B'] = m.MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectB);
     },
     [](TUserTest&, std::map<char, HWND>& w) { SetActiveWindow(w['A']); },
     {{WM_NCACTIVATE, 'B', false, FALSE},
      {WM_ACTIVATE, 'B', false, WA_INACTIVE},
      {WM_WINDOWPOSCHANGING, 'A'},
      {WM_WINDOWPOSCHANGED, 'A'},
      {WM_NCACTIVATE, 'A', false, TRUE},
      {WM_ACTIVATE, 'A', false, WA_ACTIVE},
      {WM_KILLFOCUS, 'B'},
      {WM_SETFOCUS, 'A'}}},
    {"DisableFocused",
     [](TUserTest& t, std::map<char, HWND>& w) {
       w['A'] = static_cast<UserMessageOrderTest&>(t).MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
     },
     [](TUserTest&, std::map<char, HWND>& w) { EnableWindow(w['A'], FALSE); },
     {{WM_CANCELMODE, 'A'}, {WM_KILLFOCUS, 'A'}, {WM_ENABLE, 'A', false, FALSE}}},
    {"HideActive",
     [](TUserTest& t, std::map<char, HWND>& w) {
       auto& m = static_cast<UserMessageOrderTest&>(t);
       w['B'] = m.MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectB);
       w['A'] = m.MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
     },
     [](TUserTest&, std::map<char, HWND>& w) { ShowWindow(w['A'], SW_HIDE); },
     {{WM_SHOWWINDOW, 'A', false, FALSE},
      {WM_WINDOWPOSCHANGING, 'A'},
      {WM_WINDOWPOSCHANGED, 'A'},
      {WM_NCACTIVATE, 'A', false, FALSE},
      {WM_ACTIVATE, 'A', false, WA_INACTIVE},
      {WM_NCACTIVATE, 'B', false, TRUE},
      {WM_ACTIVATE, 'B', false, WA_ACTIVE},
      {WM_KILLFOCUS, 'A'},
      {WM_SETFOCUS, 'B'}}},
    {"MaximizeActive",
     [](TUserTest& t, std::map<char, HWND>& w) {
       w['A'] = static_cast<UserMessageOrderTest&>(t).MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
     },
     [](TUserTest&, std::map<char, HWND>& w) { ShowWindow(w['A'], SW_MAXIMIZE); },
     {{WM_GETMINMAXINFO, 'A'},
      {WM_WINDOWPOSCHANGING, 'A'},
      {WM_GETMINMAXINFO, 'A'},
      {WM_NCCALCSIZE, 'A', false, TRUE},
      {WM_NCPAINT, 'A'},
      {WM_ERASEBKGND, 'A'},
      {WM_WINDOWPOSCHANGED, 'A'},
      {WM_MOVE, 'A'},
      {WM_SIZE, 'A', false, SIZE_MAXIMIZED}}},
    {"DestroyWithChildren",
     [](TUserTest& t, std::map<char, HWND>& w) {
       auto& m = static_cast<UserMessageOrderTest&>(t);
       w['P'] = m.MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
       w['C'] = m.MakeChild(w['P'], WS_VISIBLE, RECT(0, 0, 50, 50));
       w['G'] = m.MakeChild(w['C'], WS_VISIBLE, RECT(0, 0, 20, 20));
       w['D'] = m.MakeChild(w['P'], WS_VISIBLE, RECT(60, 0, 90, 50));
     },
     [](TUserTest&, std::map<char, HWND>& w) { DestroyWindow(w['P']); },
     {{WM_WINDOWPOSCHANGING, 'P'},
      {WM_WINDOWPOSCHANGED, 'P'},
      {WM_NCACTIVATE, 'P', false, FALSE},
      {WM_ACTIVATE, 'P', false, WA_INACTIVE},
      {WM_ACTIVATEAPP, 'P', false, FALSE},
      {WM_KILLFOCUS, 'P'},
      {WM_DESTROY, 'P'},
      {WM_DESTROY, 'C'},
      {WM_DESTROY, 'G'},
      {WM_DESTROY, 'D'},
      {WM_NCDESTROY, 'G'},
      {WM_NCDESTROY, 'C'},
      {WM_NCDESTROY, 'D'},
      {WM_NCDESTROY, 'P'}}},
};

TEST_P(UserMessageOrderTest, FollowsTheDocumentedOrder) {
  const TOrderCase& c = GetParam();
  std::map<char, HWND> w;
  if (c.Setup) c.Setup(*this, w);
  rtl::testing::RunUntilIdle();
  Log.Clear();
  c.Action(*this, w);
  std::vector<TExpected> expected;
  for (const TStep& s : c.Expected) expected.push_back(TExpected{s.Msg, w[s.Who], s.Optional, s.W});
  EXPECT_TRUE(MatchesSequence(Log.Items, expected));
}

INSTANTIATE_TEST_SUITE_P(Windows, UserMessageOrderTest, ::testing::ValuesIn(kOrderCases),
                         [](const ::testing::TestParamInfo<TOrderCase>& i) { return std::string(i.param.Name); });

class UserWinPosTest : public TUserTest {};

TEST_F(UserWinPosTest, ReportsChangedAndUnchangedPartsInWindowPosChanged) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
  Log.Clear();
  SetWindowPos(a, nullptr, 100, 100, 320, 300, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Log.Count(WM_WINDOWPOSCHANGED, a), 1);
  // Only the width changed: no WM_MOVE follows, WM_SIZE does.
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, RECT(100, 100, 420, 400));
  EXPECT_EQ(Log.Count(WM_MOVE, a), 0);
  EXPECT_EQ(Log.Count(WM_SIZE, a), 1);
}

TEST_F(UserWinPosTest, WindowPosChangingCanVetoTheShow) {
  // A handler that takes SWP_SHOWWINDOW away keeps the window hidden.
  static WNDPROC base = nullptr;
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW, kRectA);
  base = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(a, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(l)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    return CallWindowProcA(base, h, m, w, l);
  })));
  SetWindowPos(a, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_FALSE(IsWindowVisible(a));
}

TEST_F(UserWinPosTest, ClientAreaFollowsTheFrameAndAdjustWindowRectAgrees) {
  struct TCase {
    DWORD Style;
    DWORD Ex;
  } cases[] = {
      {WS_OVERLAPPEDWINDOW, 0},
      {WS_POPUP | WS_BORDER, 0},
      {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME},
      {WS_POPUP | WS_THICKFRAME, WS_EX_CLIENTEDGE},
      {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW},
      {WS_POPUP, WS_EX_STATICEDGE},
  };
  for (const TCase& c : cases) {
    RECT want(0, 0, 200, 100);
    RECT outer = want;
    AdjustWindowRectEx(&outer, c.Style, FALSE, c.Ex);
    HWND h = Make(c.Ex, "UserTestLog", c.Style, RECT(50, 50, 50 + outer.Width(), 50 + outer.Height()));
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client, want) << "style " << std::hex << c.Style << " ex " << c.Ex;
    POINT origin(0, 0);
    ClientToScreen(h, &origin);
    EXPECT_EQ(origin, POINT(50 - outer.Left, 50 - outer.Top));
  }
}

TEST_F(UserWinPosTest, MaximizedWindowCoversTheWorkAreaWithItsFrameBeyond) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
  ShowWindow(a, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(a));
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT r;
  GetWindowRect(a, &r);
  int f = GetSystemMetrics(SM_CXFRAME);
  EXPECT_EQ(r, RECT(work.Left - f, work.Top - f, work.Right + f, work.Bottom + f));
  ShowWindow(a, SW_RESTORE);
  GetWindowRect(a, &r);
  EXPECT_EQ(r, kRectA);
  EXPECT_FALSE(IsZoomed(a));
}

TEST_F(UserWinPosTest, MinimizeHidesOwnedPopupsAndRestoreBringsThemBack) {
  HWND owner = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, kRectA);
  HWND popup = Make(0, "UserTestLog", WS_POPUP | WS_VISIBLE, RECT(10, 10, 50, 50), owner);
  ShowWindow(owner, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(owner));
  EXPECT_FALSE(IsWindowVisible(popup));
  ShowWindow(owner, SW_RESTORE);
  EXPECT_FALSE(IsIconic(owner));
  EXPECT_TRUE(IsWindowVisible(popup));
  RECT r;
  GetWindowRect(owner, &r);
  EXPECT_EQ(r, kRectA);
}

TEST_F(UserWinPosTest, TopmostWindowsKeepTheirBand) {
  HWND top = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 10, 10), WS_EX_TOPMOST);
  HWND normal = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 10, 10));
  // A new normal window starts below the topmost ones.
  EXPECT_EQ(GetTopWindow(nullptr), top);
  EXPECT_EQ(GetWindow(top, GW_HWNDNEXT), normal);
  SetWindowPos(normal, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetTopWindow(nullptr), normal);
  EXPECT_TRUE(GetWindowLongA(normal, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(normal, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_FALSE(GetWindowLongA(normal, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetTopWindow(nullptr), top);
}

TEST_F(UserWinPosTest, OwnedWindowsStayAboveTheirOwner) {
  HWND owner = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 10, 10));
  HWND owned = Make(0, "UserTestLog", WS_POPUP | WS_VISIBLE, RECT(0, 0, 10, 10), owner);
  HWND other = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 10, 10));
  EXPECT_EQ(GetTopWindow(nullptr), other);
  SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetTopWindow(nullptr), owned);
  EXPECT_EQ(GetWindow(owned, GW_HWNDNEXT), owner);
  EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), other);
}

TEST_F(UserWinPosTest, ChildZOrderAndDeferredPositions) {
  HWND p = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 200, 200));
  HWND a = MakeChild(p, WS_VISIBLE, RECT(0, 0, 10, 10));
  HWND b = MakeChild(p, WS_VISIBLE, RECT(0, 0, 10, 10));
  // New children go below their siblings: the first created is on top.
  EXPECT_EQ(GetWindow(p, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  HANDLE d = BeginDeferWindowPos(2);
  d = DeferWindowPos(d, b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  d = DeferWindowPos(d, a, nullptr, 30, 40, 20, 20, SWP_NOZORDER);
  EXPECT_TRUE(EndDeferWindowPos(d));
  EXPECT_EQ(GetWindow(p, GW_CHILD), b);
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, RECT(30, 40, 50, 60));
}

TEST_F(UserWinPosTest, MapsPointsBetweenWindows) {
  HWND p = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 50, 400, 350));
  HWND c = MakeChild(p, WS_VISIBLE | WS_BORDER, RECT(20, 30, 120, 130));
  POINT pt(0, 0);
  MapWindowPoints(c, p, &pt, 1);
  EXPECT_EQ(pt, POINT(21, 31));  // inside the one-pixel border
  pt = POINT(0, 0);
  ClientToScreen(c, &pt);
  EXPECT_EQ(pt, POINT(121, 81));
  ScreenToClient(p, &pt);
  EXPECT_EQ(pt, POINT(21, 31));
  EXPECT_EQ(ChildWindowFromPoint(p, POINT(25, 35)), c);
  EXPECT_EQ(ChildWindowFromPoint(p, POINT(5, 5)), p);
  EXPECT_EQ(ChildWindowFromPoint(p, POINT(500, 5)), nullptr);
  ShowWindow(c, SW_HIDE);
  EXPECT_EQ(ChildWindowFromPointEx(p, POINT(25, 35), CWP_SKIPINVISIBLE), p);
}

}  // namespace

// Windows nested with borders at every level, so that each level's client
// origin differs from its window origin: the window under a point, and its
// mapping, must add up every level's offsets.
TEST_F(UserWinPosTest, FindsWindowsUnderPointsThroughNestedBorders) {
  HWND top = MakeTop(WS_POPUP | WS_VISIBLE | WS_BORDER, RECT(100, 50, 400, 350));  // client at (101, 51)
  HWND a = MakeChild(top, WS_VISIBLE | WS_BORDER, RECT(10, 20, 210, 220));         // client at (112, 72)
  HWND b = MakeChild(a, WS_VISIBLE | WS_BORDER, RECT(5, 5, 105, 105));             // client at (118, 78)
  HWND c = MakeChild(b, WS_VISIBLE, RECT(30, 40, 50, 60));                         // screen (148, 118)-(168, 138)
  struct TCase {
    POINT Screen;
    HWND Expected;
  } cases[] = {
      {POINT(100, 50), top},  {POINT(111, 71), a},    {POINT(112, 72), a},    {POINT(117, 77), b},
      {POINT(148, 118), c},   {POINT(167, 137), c},   {POINT(168, 138), b},   {POINT(147, 118), b},
      {POINT(215, 175), b},   {POINT(216, 176), b},   {POINT(217, 177), a},   {POINT(310, 270), a},
      {POINT(311, 271), top},
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE(testing::Message() << k.Screen.X << "," << k.Screen.Y);
    EXPECT_EQ(WindowFromPoint(k.Screen), k.Expected);
  }
  POINT pt(0, 0);
  ClientToScreen(c, &pt);
  EXPECT_EQ(pt, POINT(148, 118));
  ScreenToClient(a, &pt);
  EXPECT_EQ(pt, POINT(36, 46));
  pt = POINT(1, 2);
  MapWindowPoints(c, top, &pt, 1);
  EXPECT_EQ(pt, POINT(48, 69));
  // A child reaching past its parent's client area is found only inside it;
  // the parent's border and what lies beyond are not the child's.
  SetWindowPos(b, nullptr, 0, 0, 40, 60, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);  // client (118, 78)-(156, 136)
  EXPECT_EQ(WindowFromPoint(POINT(150, 120)), c);
  EXPECT_EQ(WindowFromPoint(POINT(156, 120)), b);
  EXPECT_EQ(WindowFromPoint(POINT(160, 120)), a);
}
