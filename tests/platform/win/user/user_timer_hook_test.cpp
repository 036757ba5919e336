// Timers on the virtual clock, and thread hooks: order, chaining, removal
// while running, rewriting and discarding.
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;

class UserTimerTest : public TUserTest {
 protected:
  // The WM_TIMER messages one pass of the loop delivers, as their ids.
  std::vector<WPARAM> Pump() {
    std::vector<WPARAM> ids;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_TIMER) ids.push_back(m.wParam);
      DispatchMessageA(&m);
    }
    return ids;
  }
};

TEST_F(UserTimerTest, TickCountFollowsTheVirtualClock) {
  const Cardinal before = GetTickCount();
  rtl::testing::AdvanceClock(1234);
  EXPECT_EQ(GetTickCount() - before, 1234u);
  EXPECT_EQ(GetTickCount64(), rtl::testing::ClockNow());
}

TEST_F(UserTimerTest, FiresOnTheVirtualClockAndFoldsMissedIntervals) {
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  EXPECT_EQ(SetTimer(a, 7, 100, nullptr), 7u);
  rtl::testing::AdvanceClock(99);
  EXPECT_TRUE(Pump().empty());
  rtl::testing::AdvanceClock(1);
  EXPECT_EQ(Pump(), std::vector<WPARAM>{7});
  // Three intervals late: still one message, and the next one a full
  // interval later.
  rtl::testing::AdvanceClock(350);
  EXPECT_EQ(Pump(), std::vector<WPARAM>{7});
  rtl::testing::AdvanceClock(99);
  EXPECT_TRUE(Pump().empty());
  rtl::testing::AdvanceClock(1);
  EXPECT_EQ(Pump(), std::vector<WPARAM>{7});
  EXPECT_TRUE(KillTimer(a, 7));
  rtl::testing::AdvanceClock(1000);
  EXPECT_TRUE(Pump().empty());
  EXPECT_FALSE(KillTimer(a, 7));
}

TEST_F(UserTimerTest, EarliestDueComesFirstAndShortIntervalsAreClamped) {
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  SetTimer(a, 1, 30, nullptr);
  SetTimer(a, 2, 1, nullptr);  // below the minimum of 10 ms
  rtl::testing::AdvanceClock(9);
  EXPECT_TRUE(Pump().empty());
  rtl::testing::AdvanceClock(21);
  EXPECT_EQ(Pump(), (std::vector<WPARAM>{2, 1}));
  // Setting an existing timer again restarts it.
  rtl::testing::AdvanceClock(5);
  SetTimer(a, 2, 10, nullptr);
  rtl::testing::AdvanceClock(5);
  EXPECT_TRUE(Pump().empty());
  KillTimer(a, 1);
  KillTimer(a, 2);
}

std::vector<UINT_PTR> g_procIds;
void TimerCallback(HWND, UINT, UINT_PTR id, DWORD) { g_procIds.push_back(id); }

TEST_F(UserTimerTest, ThreadTimersCallTheirProcedure) {
  g_procIds.clear();
  UINT_PTR a = SetTimer(nullptr, 0, 50, TimerCallback);
  UINT_PTR b = SetTimer(nullptr, 0, 50, TimerCallback);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  rtl::testing::AdvanceClock(50);
  Pump();
  EXPECT_EQ(g_procIds, (std::vector<UINT_PTR>{a, b}));
  KillTimer(nullptr, a);
  KillTimer(nullptr, b);
}

TEST_F(UserTimerTest, APostedTimerMessageCannotCallAnArbitraryAddress) {
  g_procIds.clear();
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  PostMessageA(a, WM_TIMER, 9, reinterpret_cast<LPARAM>(&TimerCallback));
  Pump();
  EXPECT_TRUE(g_procIds.empty());
  // Once registered, the same procedure is called.
  UINT_PTR id = SetTimer(nullptr, 0, 1000, TimerCallback);
  PostMessageA(a, WM_TIMER, 9, reinterpret_cast<LPARAM>(&TimerCallback));
  Pump();
  EXPECT_EQ(g_procIds, std::vector<UINT_PTR>{9});
  KillTimer(nullptr, id);
}

TEST_F(UserTimerTest, DestroyingTheWindowKillsItsTimers) {
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  SetTimer(a, 1, 10, nullptr);
  DestroyWindow(a);
  rtl::testing::AdvanceClock(100);
  EXPECT_TRUE(Pump().empty());
}

// ---- Hooks -----------------------------------------------------------------------

std::string g_trail;
HHOOK g_first = nullptr, g_second = nullptr;

LRESULT FirstHook(int code, WPARAM w, LPARAM l) {
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(l);
  if (cwp->message == WM_USER) g_trail += "1";
  return CallNextHookEx(g_first, code, w, l);
}

LRESULT SecondHook(int code, WPARAM w, LPARAM l) {
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(l);
  if (cwp->message == WM_USER) {
    g_trail += "2";
    // Removing itself while it runs must not break the chain.
    UnhookWindowsHookEx(g_second);
  }
  return CallNextHookEx(g_second, code, w, l);
}

LRESULT RetHook(int code, WPARAM w, LPARAM l) {
  auto* r = reinterpret_cast<CWPRETSTRUCT*>(l);
  if (r->message == WM_USER) g_trail += "r" + std::to_string(r->lResult);
  return CallNextHookEx(nullptr, code, w, l);
}

class UserHookTest : public TUserTest {};

TEST_F(UserHookTest, CallWndProcHooksRunLastInstalledFirstForSentMessagesOnly) {
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  g_trail.clear();
  g_first = SetWindowsHookExA(WH_CALLWNDPROC, FirstHook, nullptr, GetCurrentThreadId());
  g_second = SetWindowsHookExA(WH_CALLWNDPROC, SecondHook, nullptr, 0);
  HHOOK ret = SetWindowsHookExA(WH_CALLWNDPROCRET, RetHook, nullptr, 0);
  SendMessageA(a, WM_USER, 0, 0);
  SendMessageA(a, WM_USER, 0, 0);
  // Posted and dispatched: not a sent message.
  PostMessageA(a, WM_USER, 0, 0);
  rtl::testing::RunUntilIdle();
  EXPECT_EQ(g_trail, "21r01r0");
  EXPECT_TRUE(UnhookWindowsHookEx(g_first));
  EXPECT_FALSE(UnhookWindowsHookEx(g_second));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HOOK_HANDLE);
  UnhookWindowsHookEx(ret);
}

LRESULT BlockUser(int code, WPARAM w, LPARAM l) {
  auto* m = reinterpret_cast<MSG*>(l);
  // Only retrievals that take the message out act, as the message
  // controller of the library does.
  if (code == HC_ACTION && w == PM_REMOVE && m->message == WM_USER + 7) m->message = WM_NULL;
  return CallNextHookEx(nullptr, code, w, l);
}

TEST_F(UserHookTest, GetMessageHookRewritesTheRetrievedMessage) {
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  HHOOK h = SetWindowsHookExA(WH_GETMESSAGE, BlockUser, nullptr, 0);
  PostMessageA(a, WM_USER + 7, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 7));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_NULL));
  UnhookWindowsHookEx(h);
}

std::vector<std::pair<int, WPARAM>> g_keys;
LRESULT EatEscape(int code, WPARAM w, LPARAM l) {
  g_keys.push_back({code, w});
  if (w == VK_ESCAPE && !(l & (1 << 31))) return 1;
  return CallNextHookEx(nullptr, code, w, l);
}

TEST_F(UserHookTest, KeyboardHookDiscardsKeys) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(0, 0, 100, 100));
  rtl::testing::RunUntilIdle();
  ASSERT_EQ(GetFocus(), a);
  g_keys.clear();
  HHOOK h = SetWindowsHookExA(WH_KEYBOARD, EatEscape, nullptr, 0);
  rtl::testing::InjectKeyPress(VK_ESCAPE);
  rtl::testing::InjectKeyPress('A');
  Log.Clear();
  MSG m;
  // Looking first gives the hook HC_NOREMOVE.
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
  rtl::testing::RunUntilIdle();
  UnhookWindowsHookEx(h);
  std::vector<UINT> keys;
  for (const TLogged& l : Log.For(a))
    if (l.Msg >= WM_KEYFIRST && l.Msg <= WM_KEYLAST) keys.push_back(l.Msg);
  // The escape press is gone; its release and the A key arrive.
  EXPECT_EQ(keys, (std::vector<UINT>{WM_KEYUP, WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
  ASSERT_FALSE(g_keys.empty());
  EXPECT_EQ(g_keys.front(), std::make_pair(HC_NOREMOVE, static_cast<WPARAM>(VK_ESCAPE)));
}

MOUSEHOOKSTRUCT g_lastMouse{};
LRESULT EatRightClicks(int code, WPARAM w, LPARAM l) {
  g_lastMouse = *reinterpret_cast<MOUSEHOOKSTRUCT*>(l);
  if (code == HC_ACTION && (w == WM_RBUTTONDOWN || w == WM_RBUTTONUP)) return 1;
  return CallNextHookEx(nullptr, code, w, l);
}

TEST_F(UserHookTest, MouseHookSeesTargetAndDiscardsEvents) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 200, 200));
  rtl::testing::RunUntilIdle();
  HHOOK h = SetWindowsHookExA(WH_MOUSE, EatRightClicks, nullptr, 0);
  Log.Clear();
  rtl::testing::InjectClick(POINT(150, 160), rtl::testing::ibRight);
  rtl::testing::InjectClick(POINT(150, 160), rtl::testing::ibLeft);
  rtl::testing::RunUntilIdle();
  UnhookWindowsHookEx(h);
  EXPECT_EQ(Log.Count(WM_RBUTTONDOWN, a), 0);
  EXPECT_EQ(Log.Count(WM_RBUTTONUP, a), 0);
  EXPECT_EQ(Log.Count(WM_LBUTTONDOWN, a), 1);
  EXPECT_EQ(g_lastMouse.hwnd, a);
  EXPECT_EQ(g_lastMouse.pt, POINT(150, 160));
  EXPECT_EQ(g_lastMouse.wHitTestCode, static_cast<UINT>(HTCLIENT));
}

LRESULT VetoCreation(int code, WPARAM w, LPARAM l) {
  if (code == HCBT_CREATEWND) {
    auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(l);
    if (cbt->lpcs->lpszName && std::string(cbt->lpcs->lpszName) == "veto") return 1;
  }
  return CallNextHookEx(nullptr, code, w, l);
}

TEST_F(UserHookTest, CbtHookCanVetoCreation) {
  HHOOK h = SetWindowsHookExA(WH_CBT, VetoCreation, nullptr, 0);
  EXPECT_EQ(Make(0, "UserTestLog", WS_POPUP, RECT(0, 0, 10, 10), nullptr, "veto"), nullptr);
  EXPECT_NE(Make(0, "UserTestLog", WS_POPUP, RECT(0, 0, 10, 10), nullptr, "fine"), nullptr);
  UnhookWindowsHookEx(h);
  EXPECT_EQ(SetWindowsHookExA(42, VetoCreation, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HOOK_FILTER);
}

}  // namespace

namespace {

using namespace user_test;

TEST_F(UserTimerTest, ChangingASystemColourTellsEveryTopLevelWindow) {
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  HWND b = MakeTop(WS_OVERLAPPEDWINDOW, RECT(20, 0, 40, 10));
  const INT element = COLOR_BTNFACE;
  const COLORREF old = GetSysColor(element);
  const COLORREF value = RGB(1, 2, 3);
  Log.Items.clear();
  ASSERT_TRUE(SetSysColors(1, &element, &value));
  SetSysColors(1, &element, &old);
  for (HWND h : {a, b}) EXPECT_EQ(Log.Count(WM_SYSCOLORCHANGE, h), 2);
}

}  // namespace
