// The message queue: sending, posting, filters, priorities, quitting,
// threads (waking, sending both ways, synchronised calls) and the utility
// window.
#include <atomic>
#include <future>
#include <thread>

#include "platform/rtl/threads.h"
#include "platform/win/user/user_object_instance.h"
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;

class UserQueueTest : public TUserTest {};

LRESULT Countdown(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) return w == 0 ? 1 : SendMessageA(h, WM_USER, w - 1, 0) + 1;
  return DefWindowProcA(h, m, w, l);
}

TEST_F(UserQueueTest, SendMessageIsReentrant) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Countdown;
  wc.lpszClassName = "UserTestCountdown";
  RegisterClassA(&wc);
  HWND h = Make(0, "UserTestCountdown", WS_POPUP, RECT(0, 0, 1, 1));
  EXPECT_EQ(SendMessageA(h, WM_USER, 50, 0), 51);
}

struct TFilterCase {
  const char* Name;
  char Window;  // 'A', 'B' (child of A), '-' for -1, 0 for none
  UINT First, Last;
  std::vector<UINT> Gets;
};

class UserPeekFilterTest : public TUserTest, public ::testing::WithParamInterface<TFilterCase> {};

TEST_P(UserPeekFilterTest, TakesWhatPassesTheFilter) {
  const TFilterCase& c = GetParam();
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  HWND b = MakeChild(a, 0, RECT(0, 0, 5, 5));
  HWND other = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  PostMessageA(a, WM_USER + 1, 0, 0);
  PostMessageA(b, WM_USER + 2, 0, 0);
  PostMessageA(other, WM_USER + 3, 0, 0);
  PostThreadMessageA(GetCurrentThreadId(), WM_USER + 4, 0, 0);
  HWND filter = c.Window == 'A' ? a : c.Window == 'B' ? b : c.Window == '-' ? reinterpret_cast<HWND>(-1) : nullptr;
  MSG m;
  // Looking does not take.
  if (!c.Gets.empty()) {
    ASSERT_TRUE(PeekMessageA(&m, filter, c.First, c.Last, PM_NOREMOVE));
    EXPECT_EQ(m.message, c.Gets.front());
  }
  std::vector<UINT> got;
  while (PeekMessageA(&m, filter, c.First, c.Last, PM_REMOVE)) got.push_back(m.message);
  EXPECT_EQ(got, c.Gets);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, UserPeekFilterTest,
    ::testing::Values(TFilterCase{"All", 0, 0, 0, {WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4}},
                      TFilterCase{"WindowAndChildren", 'A', 0, 0, {WM_USER + 1, WM_USER + 2}},
                      TFilterCase{"Child", 'B', 0, 0, {WM_USER + 2}},
                      TFilterCase{"ThreadMessagesOnly", '-', 0, 0, {WM_USER + 4}},
                      TFilterCase{"Range", 0, WM_USER + 2, WM_USER + 3, {WM_USER + 2, WM_USER + 3}},
                      TFilterCase{"WindowAndRange", 'A', WM_USER + 2, WM_USER + 4, {WM_USER + 2}},
                      TFilterCase{"Nothing", 0, WM_USER + 10, WM_USER + 20, {}}),
    [](const ::testing::TestParamInfo<TFilterCase>& i) { return std::string(i.param.Name); });

TEST_F(UserQueueTest, RetrievalFollowsThePriorities) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, RECT(10, 10, 110, 110));
  rtl::testing::RunUntilIdle();
  SetTimer(a, 1, 10, nullptr);
  rtl::testing::AdvanceClock(10);
  InvalidateRect(a, nullptr, FALSE);
  rtl::testing::InjectMouseMove(POINT(50, 50));
  PostMessageA(a, WM_USER, 0, 0);
  // A message sent from another thread is handled first, and never returned.
  std::thread([a] { SendNotifyMessageA(a, WM_USER + 1, 0, 0); }).join();
  Log.Clear();
  std::vector<UINT> got;
  MSG m;
  for (int i = 0; i < 4 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
    got.push_back(m.message);
    DispatchMessageA(&m);
  }
  EXPECT_EQ(got, (std::vector<UINT>{WM_USER, WM_MOUSEMOVE, WM_PAINT, WM_TIMER}));
  ASSERT_FALSE(Log.Items.empty());
  EXPECT_EQ(Log.Items.front().Msg, static_cast<UINT>(WM_USER + 1));
  KillTimer(a, 1);
}

TEST_F(UserQueueTest, QueueStatusFlagsChooseTheKinds) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 50, 50));
  rtl::testing::RunUntilIdle();
  InvalidateRect(a, nullptr, TRUE);
  PostMessageA(a, WM_USER, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  EXPECT_NE(GetQueueStatus(QS_POSTMESSAGE) & 0xFFFF, 0u);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
}

TEST_F(UserQueueTest, QuitComesAfterPostedMessages) {
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  PostMessageA(a, WM_USER, 0, 0);
  PostQuitMessage(7);
  PostMessageA(a, WM_USER + 1, 0, 0);
  MSG m;
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 7u);
  // A window filter never sees the quit message.
  PostQuitMessage(1);
  EXPECT_FALSE(PeekMessageA(&m, a, 0, 0, PM_REMOVE));
  EXPECT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(UserQueueTest, PointersCannotWaitInAQueue) {
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  char text[] = "x";
  EXPECT_FALSE(PostMessageA(a, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
  EXPECT_EQ(GetLastError(), 1159u);
}

TEST_F(UserQueueTest, PostFromAnotherThreadWakesABlockedGetMessage) {
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  std::thread worker([a] {
    // This send only returns once the main thread is inside GetMessage.
    SendMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(a, WM_USER + 2, 0, 0);
  });
  MSG m;
  ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  worker.join();
  EXPECT_EQ(Log.Count(WM_USER + 1, a), 1);
}

// A window on a worker thread that sends back to the main thread's window
// while the main thread waits for its answer.
LRESULT WorkerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) {
    EXPECT_TRUE(InSendMessage());
    LRESULT back = SendMessageA(reinterpret_cast<HWND>(l), WM_USER + 1, w, 0);
    return back * 10;
  }
  if (m == WM_USER + 5) {
    ReplyMessage(99);
    return 1;
  }
  if (m == WM_CLOSE) {
    DestroyWindow(h);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

LRESULT MainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 1) return static_cast<LRESULT>(w) + 1;
  return DefWindowProcA(h, m, w, l);
}

TEST_F(UserQueueTest, ThreadsSendToEachOtherWithoutDeadlock) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WorkerProc;
  wc.lpszClassName = "UserTestWorker";
  RegisterClassA(&wc);
  wc.lpfnWndProc = MainProc;
  wc.lpszClassName = "UserTestMain";
  RegisterClassA(&wc);
  HWND mine = Make(0, "UserTestMain", WS_POPUP, RECT(0, 0, 1, 1));
  std::promise<std::pair<HWND, DWORD>> ready;
  std::thread worker([&ready] {
    HWND w = CreateWindowExA(0, "UserTestWorker", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ready.set_value({w, GetCurrentThreadId()});
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  });
  auto [theirs, tid] = ready.get_future().get();
  DWORD pid = 0;
  EXPECT_EQ(GetWindowThreadProcessId(theirs, &pid), tid);
  EXPECT_EQ(SendMessageA(theirs, WM_USER, 4, reinterpret_cast<LPARAM>(mine)), 50);
  EXPECT_EQ(SendMessageA(theirs, WM_USER + 5, 0, 0), 99);
  EXPECT_FALSE(InSendMessage());
  PostMessageA(theirs, WM_CLOSE, 0, 0);
  worker.join();
  EXPECT_FALSE(IsWindow(theirs));
  // The thread is gone: posting to it fails.
  EXPECT_FALSE(PostThreadMessageA(tid, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
}

TEST_F(UserQueueTest, SendMessageTimeoutGivesUpOnABusyThread) {
  std::promise<HWND> ready;
  std::promise<void> release;
  std::thread worker([&] {
    HWND w = CreateWindowExA(0, "UserTestLog", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ready.set_value(w);
    release.get_future().wait();  // busy: never looks at its queue
    DestroyWindow(w);
  });
  HWND theirs = ready.get_future().get();
  DWORD_PTR result = 5;
  EXPECT_EQ(SendMessageTimeoutA(theirs, WM_USER, 0, 0, SMTO_NORMAL, 20, &result), 0);
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  release.set_value();
  worker.join();
}

TEST_F(UserQueueTest, SynchronizedCallsRunInsideTheMainLoop) {
  std::atomic<bool> onMain{false};
  std::thread worker([&] {
    TThread::Synchronize(nullptr, [&] {
      onMain = GetCurrentThreadId() == MainThreadID;
      PostQuitMessage(3);
    });
  });
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  worker.join();
  EXPECT_TRUE(onMain);
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(UserQueueTest, MethodWindowReceivesPostsFromWorkers) {
  // A hidden window whose procedure is a method, as utility windows are.
  int sum = 0, count = 0;
  HWND util = Make(WS_EX_TOOLWINDOW, "UserTestLog", WS_POPUP, RECT(0, 0, 0, 0));
  WNDPROC inst = MakeObjectInstance([&](TMessage& msg) {
    if (msg.Msg == WM_USER + 1) {
      sum += static_cast<int>(msg.WParam);
      if (++count == 3) PostQuitMessage(0);
    } else {
      msg.Result = DefWindowProcA(util, msg.Msg, msg.WParam, msg.LParam);
    }
  });
  SetWindowLongPtrA(util, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(inst));
  std::thread worker([util] {
    for (int i = 1; i <= 3; ++i) PostMessageA(util, WM_USER + 1, static_cast<WPARAM>(i * 10), 0);
  });
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  worker.join();
  EXPECT_EQ(sum, 60);
  DestroyWindow(util);
  FreeObjectInstance(inst);
}

TEST_F(UserQueueTest, MsgWaitReturnsForHandlesAndForInput) {
  HANDLE ev = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread worker([ev] { SetEvent(ev); });
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
  worker.join();
  ResetEvent(ev);
  PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, INFINITE, QS_POSTMESSAGE), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_KEY), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseHandle(ev);
}

}  // namespace
