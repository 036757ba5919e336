// Creation in a minimised or maximised state, ShowWindow's WM_SHOWWINDOW
// and state rules, the window-edge and owner longs, and the results of
// calls made on odd arguments, as the platform documents them.
#include <functional>

#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;

class UserShowStateTest : public TUserTest {
 protected:
  std::vector<TLogged> ShowLog(HWND h) {
    std::vector<TLogged> r;
    for (const TLogged& l : Log.For(h))
      if (l.Msg == WM_SHOWWINDOW) r.push_back(l);
    return r;
  }
};

RECT WorkArea() {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

// ---- Creation with WS_MAXIMIZE / WS_MINIMIZE --------------------------------

TEST_F(UserShowStateTest, PopupCreatedMaximizedFillsTheWorkArea) {
  HWND h = MakeTop(WS_POPUP | WS_MAXIMIZE, RECT(100, 100, 300, 300));
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(IsZoomed(h));
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, WorkArea());
  // Restoring goes back to the size the caller asked for.
  ShowWindow(h, SW_RESTORE);
  GetWindowRect(h, &r);
  EXPECT_EQ(r, RECT(100, 100, 300, 300));
}

TEST_F(UserShowStateTest, ChildCreatedMaximizedFillsItsParentsClientArea) {
  HWND p = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 500, 400));
  HWND c = MakeChild(p, WS_VISIBLE | WS_MAXIMIZE, RECT(10, 10, 60, 60));
  RECT pc, cr;
  GetClientRect(p, &pc);
  GetWindowRect(c, &cr);
  MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&cr), 2);
  EXPECT_EQ(cr, pc);
  EXPECT_TRUE(IsZoomed(c));
}

TEST_F(UserShowStateTest, CreationMaximizesThroughTheHookMinMaxInfoAndSetWindowPos) {
  static std::vector<LPARAM> minmax;
  minmax.clear();
  HHOOK hook = SetWindowsHookExA(
      WH_CBT,
      +[](int code, WPARAM w, LPARAM l) -> LRESULT {
        if (code == HCBT_MINMAX) minmax.push_back(l);
        return CallNextHookEx(nullptr, code, w, l);
      },
      nullptr, GetCurrentThreadId());
  HWND h = MakeTop(WS_POPUP | WS_MAXIMIZE, RECT(100, 100, 300, 300));
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(minmax, std::vector<LPARAM>{SW_MAXIMIZE});
  EXPECT_TRUE(MatchesSequence(Log.For(h), {{WM_NCCREATE},
                                           {WM_NCCALCSIZE},
                                           {WM_CREATE},
                                           WithW(WM_SIZE, SIZE_RESTORED),
                                           {WM_MOVE},
                                           {WM_GETMINMAXINFO},
                                           {WM_WINDOWPOSCHANGING},
                                           Opt(WM_GETMINMAXINFO),
                                           {WM_NCCALCSIZE},
                                           {WM_WINDOWPOSCHANGED},
                                           {WM_MOVE},
                                           WithW(WM_SIZE, SIZE_MAXIMIZED)}));
}

TEST_F(UserShowStateTest, VisibleMaximizedOverlappedWindowGetsNoShowWindowForTheState) {
  HWND h = MakeTop(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE | WS_VISIBLE, RECT(100, 100, 300, 300));
  EXPECT_TRUE(IsZoomed(h));
  EXPECT_TRUE(IsWindowVisible(h));
  // Shown with SW_SHOW once in place: one WM_SHOWWINDOW, from that show.
  EXPECT_EQ(ShowLog(h).size(), 1u);
  // A later SW_SHOWMAXIMIZED has nothing left to do.
  RECT before, after;
  GetWindowRect(h, &before);
  Log.Clear();
  ShowWindow(h, SW_SHOWMAXIMIZED);
  GetWindowRect(h, &after);
  EXPECT_EQ(before, after);
  EXPECT_EQ(Log.Count(WM_WINDOWPOSCHANGING, h), 0);
}

LRESULT RecordCreateStyles(HWND h, UINT m, WPARAM w, LPARAM l) {
  static_assert(sizeof(CREATESTRUCTA) > 0);
  if (m == WM_NCCREATE || m == WM_CREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(l);
    Record(h, m, static_cast<WPARAM>(static_cast<DWORD>(cs->style)), static_cast<LPARAM>(cs->dwExStyle));
    return DefWindowProcA(h, m, w, l);
  }
  return DefWindowProcA(h, m, w, l);
}

TEST_F(UserShowStateTest, CreateStructCarriesTheCallersStyles) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = RecordCreateStyles;
  wc.lpszClassName = "UserTestCreateStyles";
  RegisterClassA(&wc);
  HWND h = Make(0, "UserTestCreateStyles", WS_OVERLAPPED | WS_THICKFRAME, RECT(0, 0, 200, 200));
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(Log.Items.size(), 2u);
  for (const TLogged& l : Log.Items) {
    EXPECT_EQ(l.WParam, static_cast<WPARAM>(WS_OVERLAPPED | WS_THICKFRAME)) << MessageName(l.Msg);
    EXPECT_EQ(l.LParam, 0) << MessageName(l.Msg);
  }
  // The window itself has the adjusted ones.
  EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_WINDOWEDGE);
}

// ---- ShowWindow ------------------------------------------------------------------

struct TShowCase {
  const char* Name;
  DWORD Style;             // at creation
  std::function<void(HWND)> Prepare;  // may be null
  int Cmd;
  bool SendsShowWindow;
};

TEST_F(UserShowStateTest, WmShowWindowOnlyWhereThePlatformSendsIt) {
  auto minimizeHidden = [](HWND h) {
    ShowWindow(h, SW_MINIMIZE);
    ShowWindow(h, SW_HIDE);
  };
  const TShowCase cases[] = {
      {"show hidden", WS_OVERLAPPEDWINDOW, nullptr, SW_SHOW, true},
      {"hide visible", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, SW_HIDE, true},
      {"show minimized", WS_OVERLAPPEDWINDOW, nullptr, SW_SHOWMINIMIZED, false},
      {"show maximized", WS_OVERLAPPEDWINDOW, nullptr, SW_SHOWMAXIMIZED, false},
      {"minimize hidden", WS_OVERLAPPEDWINDOW, nullptr, SW_MINIMIZE, false},
      {"restore hidden minimized", WS_OVERLAPPEDWINDOW, minimizeHidden, SW_RESTORE, false},
      {"no-activate hidden minimized", WS_OVERLAPPEDWINDOW, minimizeHidden, SW_SHOWNOACTIVATE, false},
      {"show-na visible", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, SW_SHOWNA, true},
      {"show visible", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, SW_SHOW, false},
  };
  for (const TShowCase& c : cases) {
    HWND h = MakeTop(c.Style, RECT(100, 100, 300, 300));
    if (c.Prepare) c.Prepare(h);
    rtl::testing::RunUntilIdle();
    Log.Clear();
    ShowWindow(h, c.Cmd);
    EXPECT_EQ(ShowLog(h).size(), c.SendsShowWindow ? 1u : 0u) << c.Name;
    DestroyWindow(h);
  }
}

TEST_F(UserShowStateTest, ShowNaOnAVisibleWindowStillGoesThroughSetWindowPos) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  HWND b = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(150, 150, 350, 350));
  ASSERT_EQ(GetActiveWindow(), b);
  Log.Clear();
  ShowWindow(a, SW_SHOWNA);
  EXPECT_TRUE(MatchesSequence(Log.For(a), {WithW(WM_SHOWWINDOW, TRUE), {WM_WINDOWPOSCHANGING}, Opt(WM_NCPAINT),
                                           Opt(WM_ERASEBKGND), {WM_WINDOWPOSCHANGED}}));
  // Brought up without taking the activation.
  EXPECT_EQ(GetTopWindow(nullptr), a);
  EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(UserShowStateTest, MinMaxHookSeesTheCallersCommand) {
  static std::vector<LPARAM> seen;
  seen.clear();
  HWND h = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  HHOOK hook = SetWindowsHookExA(
      WH_CBT,
      +[](int code, WPARAM w, LPARAM l) -> LRESULT {
        if (code == HCBT_MINMAX) seen.push_back(l);
        return CallNextHookEx(nullptr, code, w, l);
      },
      nullptr, GetCurrentThreadId());
  ShowWindow(h, SW_SHOWMAXIMIZED);
  ShowWindow(h, SW_SHOWNORMAL);
  ShowWindow(h, SW_SHOWMINNOACTIVE);
  ShowWindow(h, SW_SHOWNOACTIVATE);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(seen, (std::vector<LPARAM>{SW_SHOWMAXIMIZED, SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_SHOWNOACTIVATE}));
}

LRESULT RecordPosFlags(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_WINDOWPOSCHANGING) Record(h, m, reinterpret_cast<WINDOWPOS*>(l)->flags, 0);
  return DefWindowProcA(h, m, w, l);
}

TEST_F(UserShowStateTest, MinimizeAndRestoreDoNotCopyBits) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = RecordPosFlags;
  wc.lpszClassName = "UserTestPosFlags";
  RegisterClassA(&wc);
  HWND h = Make(0, "UserTestPosFlags", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  struct {
    int Cmd;
    bool NoCopyBits;
  } steps[] = {{SW_MINIMIZE, true}, {SW_RESTORE, true}, {SW_MAXIMIZE, false}, {SW_RESTORE, false}};
  for (auto& s : steps) {
    Log.Clear();
    ShowWindow(h, s.Cmd);
    ASSERT_FALSE(Log.Items.empty()) << s.Cmd;
    EXPECT_EQ((Log.Items.front().WParam & SWP_NOCOPYBITS) != 0, s.NoCopyBits) << s.Cmd;
  }
}

TEST_F(UserShowStateTest, PlacementSaysRestoreToMaximizedWhileMaximized) {
  HWND h = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  auto flags = [h] {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(h, &wp);
    return wp.flags & WPF_RESTORETOMAXIMIZED;
  };
  EXPECT_EQ(flags(), 0u);
  ShowWindow(h, SW_MAXIMIZE);
  EXPECT_EQ(flags(), static_cast<UINT>(WPF_RESTORETOMAXIMIZED));
  ShowWindow(h, SW_MINIMIZE);
  EXPECT_EQ(flags(), static_cast<UINT>(WPF_RESTORETOMAXIMIZED));
  ShowWindow(h, SW_RESTORE);  // back to maximised
  EXPECT_TRUE(IsZoomed(h));
  ShowWindow(h, SW_RESTORE);
  EXPECT_EQ(flags(), 0u);
}

// ---- SetWindowPos and EnableWindow ----------------------------------------------

TEST_F(UserShowStateTest, ShowingAChildWithoutNoActivateSendsChildActivate) {
  HWND p = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 400, 400));
  HWND c = MakeChild(p, 0, RECT(10, 10, 60, 60));
  HWND d = MakeChild(p, 0, RECT(70, 10, 120, 60));
  rtl::testing::RunUntilIdle();
  Log.Clear();
  SetWindowPos(c, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_TRUE(MatchesSequence(Log.For(c), {{WM_WINDOWPOSCHANGING}, {WM_CHILDACTIVATE}, {WM_WINDOWPOSCHANGED}}));
  Log.Clear();
  SetWindowPos(d, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(MatchesSequence(Log.For(d), {{WM_WINDOWPOSCHANGING}, {WM_WINDOWPOSCHANGED}}));
}

TEST_F(UserShowStateTest, HideWindowFlagLeavesActivationAndFocusAlone) {
  HWND b = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(500, 100, 700, 300));
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  ASSERT_EQ(GetActiveWindow(), a);
  Log.Clear();
  SetWindowPos(a, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_FALSE(IsWindowVisible(a));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  EXPECT_EQ(Log.Count(WM_ACTIVATE, b), 0);
  // ShowWindow does move them.
  ShowWindow(a, SW_SHOW);
  ShowWindow(a, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(UserShowStateTest, DisablingADisabledWindowStillCancelsModes) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_DISABLED, RECT(100, 100, 300, 300));
  Log.Clear();
  EXPECT_TRUE(EnableWindow(a, FALSE));  // it was disabled
  EXPECT_TRUE(MatchesSequence(Log.For(a), {{WM_CANCELMODE}}));
  Log.Clear();
  EXPECT_TRUE(EnableWindow(a, TRUE));
  EXPECT_TRUE(MatchesSequence(Log.For(a), {WithW(WM_ENABLE, TRUE)}));
  Log.Clear();
  EXPECT_FALSE(EnableWindow(a, TRUE));
  EXPECT_TRUE(Log.Items.empty());
}

// ---- Window longs and relations -----------------------------------------------

TEST_F(UserShowStateTest, HwndParentLongIsTheOwnerOfTopLevelWindows) {
  HWND owner = MakeTop(WS_OVERLAPPEDWINDOW, RECT(0, 0, 100, 100));
  HWND other = MakeTop(WS_OVERLAPPEDWINDOW, RECT(0, 0, 100, 100));
  HWND popup = Make(0, "UserTestLog", WS_POPUP, RECT(0, 0, 50, 50), owner);
  HWND overlapped = Make(0, "UserTestLog", WS_OVERLAPPED, RECT(0, 0, 50, 50), owner);
  // An owned overlapped window has no parent, but its owner is the long.
  EXPECT_EQ(GetParent(overlapped), nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(overlapped, GWLP_HWNDPARENT)), owner);
  EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(popup, GWLP_HWNDPARENT)), owner);
  EXPECT_EQ(reinterpret_cast<HWND>(SetWindowLongPtrA(overlapped, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(other))),
            owner);
  EXPECT_EQ(GetWindow(overlapped, GW_OWNER), other);
  EXPECT_EQ(GetAncestor(overlapped, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetWindowLongPtrA(owner, GWLP_HWNDPARENT), 0);
}

TEST_F(UserShowStateTest, HwndParentLongReparentsAChild) {
  HWND p1 = MakeTop(WS_OVERLAPPEDWINDOW, RECT(0, 0, 100, 100));
  HWND p2 = MakeTop(WS_OVERLAPPEDWINDOW, RECT(0, 0, 100, 100));
  HWND c = MakeChild(p1, 0, RECT(0, 0, 10, 10));
  EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(c, GWLP_HWNDPARENT)), p1);
  EXPECT_EQ(reinterpret_cast<HWND>(SetWindowLongPtrA(c, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(p2))), p1);
  EXPECT_EQ(GetParent(c), p2);
  EXPECT_EQ(GetWindow(p2, GW_CHILD), c);
  EXPECT_EQ(GetWindow(p1, GW_CHILD), nullptr);
}

TEST_F(UserShowStateTest, ChildPopupIsATopLevelWindowOwnedByTheParentsRoot) {
  HWND p = MakeTop(WS_OVERLAPPEDWINDOW, RECT(0, 0, 300, 300));
  HWND c = MakeChild(p, 0, RECT(0, 0, 100, 100));
  HWND cp = Make(0, "UserTestLog", WS_CHILD | WS_POPUP, RECT(10, 10, 50, 50), c);
  ASSERT_NE(cp, nullptr);
  EXPECT_EQ(GetAncestor(cp, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetParent(cp), p);
  EXPECT_EQ(GetWindow(cp, GW_OWNER), p);
  EXPECT_FALSE(IsChild(p, cp));
}

TEST_F(UserShowStateTest, ExStyleLongAppliesTheWindowEdgeRule) {
  struct {
    DWORD Style;
    DWORD Ex;
    bool Edge;
  } cases[] = {
      {WS_POPUP, WS_EX_WINDOWEDGE, false},                            // plain popup: taken away
      {WS_POPUP | WS_THICKFRAME, 0, true},                            // sizing frame: added
      {WS_POPUP | WS_DLGFRAME, 0, true},                              // dialog frame: added
      {WS_POPUP | WS_THICKFRAME, WS_EX_STATICEDGE, false},            // a static edge wins
      {WS_POPUP, WS_EX_DLGMODALFRAME, true},                          // modal frame: always
      {WS_POPUP | WS_THICKFRAME, WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME, true},
  };
  for (auto& c : cases) {
    HWND h = MakeTop(c.Style, RECT(0, 0, 50, 50));
    SetWindowLongA(h, GWL_EXSTYLE, static_cast<LONG>(c.Ex));
    EXPECT_EQ((GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_WINDOWEDGE) != 0, c.Edge)
        << std::hex << c.Style << " " << c.Ex;
    DestroyWindow(h);
  }
}

// ---- Results of calls on odd arguments --------------------------------------

TEST_F(UserShowStateTest, ResultsOfStoppedAndInvalidCalls) {
  HWND p = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(0, 0, 300, 300));
  HWND a = MakeChild(p, WS_VISIBLE, RECT(0, 0, 10, 10));
  HWND b = MakeChild(p, WS_VISIBLE, RECT(0, 0, 10, 10));
  HWND other = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  // A stopped enumeration answers FALSE, a finished one TRUE.
  EXPECT_FALSE(EnumChildWindows(p, [](HWND, LPARAM) -> BOOL { return FALSE; }, 0));
  EXPECT_TRUE(EnumChildWindows(p, [](HWND, LPARAM) -> BOOL { return TRUE; }, 0));
  // An insert-after window that is not a sibling leaves the z-order alone.
  EXPECT_TRUE(SetWindowPos(b, other, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
  EXPECT_EQ(GetWindow(p, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  SetLastError(0);
  EXPECT_FALSE(UpdateWindow(nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  SetLastError(0);
  EXPECT_FALSE(ValidateRgn(nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

// ---- DefWindowProc ----------------------------------------------------------------

TEST_F(UserShowStateTest, ContextMenuClimbsToTheTopWithTheClickedWindow) {
  HWND p = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(0, 0, 300, 300));
  HWND c = MakeChild(p, WS_VISIBLE, RECT(0, 0, 100, 100));
  HWND g = MakeChild(c, WS_VISIBLE, RECT(0, 0, 50, 50));
  Log.Clear();
  // From the keyboard (-1): the top-level window shows nothing.
  SendMessageA(g, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(g), -1);
  auto seq = Log.Items;
  ASSERT_EQ(seq.size(), 3u);
  HWND order[] = {g, c, p};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(seq[i].Hwnd, order[i]);
    EXPECT_EQ(seq[i].Msg, static_cast<UINT>(WM_CONTEXTMENU));
    EXPECT_EQ(seq[i].WParam, reinterpret_cast<WPARAM>(g));
  }
}

TEST_F(UserShowStateTest, MouseActivateDefaultAnswers) {
  HWND p = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(0, 0, 300, 300));
  HWND c = MakeChild(p, WS_VISIBLE, RECT(0, 0, 100, 100));
  struct {
    HWND Hwnd;
    int Hit;
    UINT Msg;
    LRESULT Want;
  } cases[] = {
      {p, HTCAPTION, WM_LBUTTONDOWN, MA_NOACTIVATE},
      {p, HTCAPTION, WM_RBUTTONDOWN, MA_ACTIVATE},
      {p, HTCLIENT, WM_LBUTTONDOWN, MA_ACTIVATE},
      {p, HTBORDER, WM_LBUTTONDOWN, MA_ACTIVATE},
      {p, HTLEFT, WM_LBUTTONDOWN, MA_ACTIVATE},
      {c, HTCLIENT, WM_LBUTTONDOWN, MA_ACTIVATE},
      {c, HTCAPTION, WM_LBUTTONDOWN, MA_NOACTIVATE},  // the parent's answer
  };
  for (auto& k : cases)
    EXPECT_EQ(DefWindowProcA(k.Hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(p), MAKELPARAM(k.Hit, k.Msg)), k.Want)
        << k.Hit << " " << k.Msg;
}

}  // namespace
