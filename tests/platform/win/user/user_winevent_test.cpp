// Accessibility event hooks: which events the window manager raises and
// when an in-context and an out-of-context hook hear them; the message
// filter hook of the dialog manager.
#include <thread>

#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user_menu.h"
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;
using rtl::testing::RunUntilIdle;

struct TEvent {
  DWORD Event;
  HWND Hwnd;
  DWORD Thread;
  bool operator==(const TEvent&) const = default;
};

std::vector<TEvent> g_events;

void RecordEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG, LONG, DWORD thread, DWORD) {
  g_events.push_back(TEvent{event, hwnd, thread});
}

class UserWinEventTest : public TUserTest {
 protected:
  void SetUp() override {
    TUserTest::SetUp();
    g_events.clear();
  }
  std::vector<DWORD> EventsFor(HWND h) const {
    std::vector<DWORD> r;
    for (const TEvent& e : g_events)
      if (e.Hwnd == h) r.push_back(e.Event);
    return r;
  }
};

TEST_F(UserWinEventTest, WindowLifeRaisesItsEventsInOrder) {
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, RecordEvent, 0, 0, WINEVENT_INCONTEXT);
  ASSERT_NE(hook, nullptr);
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  SetWindowPos(a, nullptr, 120, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(a, SW_HIDE);
  DestroyWindow(a);
  EXPECT_TRUE(UnhookWinEvent(hook));
  // Shown as the position changes, activated after.
  std::vector<DWORD> want = {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW,           EVENT_SYSTEM_FOREGROUND,
                             EVENT_OBJECT_FOCUS,  EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_HIDE,
                             EVENT_OBJECT_DESTROY};
  EXPECT_EQ(EventsFor(a), want);
  // Gone: no more events, and a second unhook fails.
  g_events.clear();
  MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 10, 10));
  EXPECT_TRUE(g_events.empty());
  EXPECT_FALSE(UnhookWinEvent(hook));
}

TEST_F(UserWinEventTest, RangeAndThreadFilters) {
  HWINEVENTHOOK shows =
      SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_HIDE, nullptr, RecordEvent, 0, 0, WINEVENT_INCONTEXT);
  HWINEVENTHOOK otherThread = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, RecordEvent, 0,
                                              GetCurrentThreadId() + 1000, WINEVENT_INCONTEXT);
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  ShowWindow(a, SW_SHOWNA);
  ShowWindow(a, SW_HIDE);
  UnhookWinEvent(shows);
  UnhookWinEvent(otherThread);
  EXPECT_EQ(EventsFor(a), (std::vector<DWORD>{EVENT_OBJECT_SHOW, EVENT_OBJECT_HIDE}));
}

TEST_F(UserWinEventTest, OutOfContextHookHearsOnItsOwnThreadWhenItRetrieves) {
  HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, RecordEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  EXPECT_TRUE(g_events.empty());  // queued, not yet run
  RunUntilIdle();
  ASSERT_EQ(EventsFor(a).size(), 1u);
  // A window made on another thread: raised there, heard here.
  DWORD workerId = 0;
  HWND made = nullptr;
  std::thread worker([&] {
    workerId = GetCurrentThreadId();
    made = CreateWindowExA(0, "UserTestLog", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(made);
  });
  worker.join();
  RunUntilIdle();
  UnhookWinEvent(hook);
  ASSERT_EQ(EventsFor(made).size(), 1u);
  EXPECT_EQ(g_events.back().Thread, workerId);
  // A hook that skips its own thread hears only the others.
  g_events.clear();
  hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, RecordEvent, 0, 0,
                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNTHREAD);
  MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  RunUntilIdle();
  UnhookWinEvent(hook);
  EXPECT_TRUE(g_events.empty());
}

TEST_F(UserWinEventTest, UnhookedOutOfContextCallsDoNotRun) {
  HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, RecordEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
  MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  UnhookWinEvent(hook);
  RunUntilIdle();
  EXPECT_TRUE(g_events.empty());
}

// ---- The dialog manager's message filter ------------------------------------------

std::vector<std::pair<int, UINT>> g_filtered;
bool g_eat = false;

TEST_F(UserWinEventTest, IsDialogMessageCallsTheMessageFilterHook) {
  HWND dlg = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 300, 300));
  HHOOK hook = SetWindowsHookExA(
      WH_MSGFILTER,
      +[](int code, WPARAM w, LPARAM l) -> LRESULT {
        g_filtered.emplace_back(code, reinterpret_cast<MSG*>(l)->message);
        if (g_eat) return TRUE;
        return CallNextHookEx(nullptr, code, w, l);
      },
      nullptr, GetCurrentThreadId());
  g_filtered.clear();
  MSG m{dlg, WM_KEYDOWN, 'A', 0, 0, POINT()};
  g_eat = true;
  Log.Clear();
  EXPECT_TRUE(IsDialogMessageA(dlg, &m));
  EXPECT_EQ(Log.Count(WM_KEYDOWN, dlg), 0);  // the hook took it
  g_eat = false;
  m.message = WM_NULL;
  IsDialogMessageA(dlg, &m);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(g_filtered, (std::vector<std::pair<int, UINT>>{{MSGF_DIALOGBOX, WM_KEYDOWN}, {MSGF_DIALOGBOX, WM_NULL}}));
}

}  // namespace
