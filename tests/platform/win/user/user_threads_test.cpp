// Windows of several threads: what only the owning thread may do, changes
// of another thread's window carried out by its own thread, sending with
// timeouts and broadcasts across threads, and the window tree while
// threads create, restack and destroy windows at the same time.
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <thread>

#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;

constexpr UINT kBusy = WM_USER + 1;      // the worker blocks until released
constexpr UINT kPingBack = WM_USER + 2;  // the worker sends kDouble back to lParam
constexpr UINT kDouble = WM_USER + 3;
constexpr UINT kServed = WM_USER + 7;
constexpr UINT kRunOnThread = WM_APP + 1;

// What the windows of both threads saw; reset by each test.
struct TSeen {
  std::mutex Lock;
  std::map<UINT, DWORD> ThreadOf;  // the thread a message was handled on
  std::atomic<HWND> PingBack{nullptr};
  std::atomic<int> Served{0};
  std::atomic<int> Broadcasts{0};
  UINT BroadcastMsg = 0;
  std::promise<void> Entered;
  std::shared_future<void> Release;

  void Note(UINT msg) {
    std::lock_guard<std::mutex> g(Lock);
    ThreadOf[msg] = GetCurrentThreadId();
  }
  DWORD Thread(UINT msg) {
    std::lock_guard<std::mutex> g(Lock);
    auto it = ThreadOf.find(msg);
    return it == ThreadOf.end() ? 0 : it->second;
  }
};
TSeen* g_seen = nullptr;

LRESULT WorkerWndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  TSeen& s = *g_seen;
  if (m == s.BroadcastMsg) {
    ++s.Broadcasts;
    return 0;
  }
  switch (m) {
    case WM_WINDOWPOSCHANGING:
    case WM_SHOWWINDOW:
    case WM_ENABLE:
    case WM_STYLECHANGING:
      s.Note(m);
      break;
    case WM_WINDOWPOSCHANGED:
      // Needs the sender to serve what is sent to it while it waits.
      if (HWND back = s.PingBack.load()) SendMessageA(back, kServed, 0, 0);
      break;
    case WM_GETTEXT: {
      const char text[] = "answered";
      if (w < sizeof text) return 0;
      std::memcpy(reinterpret_cast<char*>(l), text, sizeof text);
      return static_cast<LRESULT>(sizeof text - 1);
    }
    case kBusy:
      s.Entered.set_value();
      s.Release.wait();
      return 0;
    case kPingBack:
      return SendMessageA(reinterpret_cast<HWND>(l), kDouble, w, 0) + 1;
  }
  return DefWindowProcA(h, m, w, l);
}

LRESULT MainWndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  TSeen& s = *g_seen;
  if (m == s.BroadcastMsg) {
    ++s.Broadcasts;
    return 0;
  }
  if (m == kDouble) return static_cast<LRESULT>(w) * 2;
  if (m == kServed) {
    ++s.Served;
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

void RegisterClasses() {
  WNDCLASSA wc{};
  if (GetClassInfoA(nullptr, "UserThreadsWorker", &wc)) return;
  wc.lpfnWndProc = WorkerWndProc;
  wc.lpszClassName = "UserThreadsWorker";
  RegisterClassA(&wc);
  wc.lpfnWndProc = MainWndProc;
  wc.lpszClassName = "UserThreadsMain";
  RegisterClassA(&wc);
}

// A thread that owns one window and pumps its queue until stopped.
class TWorker {
  std::promise<void> done_;
  std::future<void> finished_ = done_.get_future();
  std::thread thread_;
  DWORD id_ = 0;
  HWND wnd_ = nullptr;

 public:
  explicit TWorker(DWORD style) {
    std::promise<std::pair<DWORD, HWND>> ready;
    thread_ = std::thread([this, style, &ready] {
      HWND w = CreateWindowExA(0, "UserThreadsWorker", "stored", style, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
      ready.set_value({GetCurrentThreadId(), w});
      MSG m;
      while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        if (!m.hwnd && m.message == kRunOnThread)
          (*reinterpret_cast<std::function<void()>*>(m.lParam))();
        else
          DispatchMessageA(&m);
      }
      done_.set_value();
    });
    auto r = ready.get_future().get();
    id_ = r.first;
    wnd_ = r.second;
  }
  ~TWorker() {
    // Its windows go when the thread ends, which this thread waits for
    // without serving anything.
    if (g_seen) g_seen->PingBack = nullptr;
    PostThreadMessageA(id_, WM_QUIT, 0, 0);
    // The worker may still wait for an answer from this thread.
    while (finished_.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
      rtl::testing::RunUntilIdle();
    thread_.join();
  }
  DWORD Id() const { return id_; }
  HWND Wnd() const { return wnd_; }
  // Runs f on the worker and waits for it (f sends nothing to this thread).
  void Do(std::function<void()> f) {
    std::promise<void> ran;
    std::function<void()> job = [&] {
      f();
      ran.set_value();
    };
    PostThreadMessageA(id_, kRunOnThread, 0, reinterpret_cast<LPARAM>(&job));
    ran.get_future().wait();
  }
};

class UserThreadsTest : public TUserTest {
 protected:
  TSeen Seen;
  std::promise<void> ReleaseWorker;
  HWND Mine = nullptr;

  void SetUp() override {
    TUserTest::SetUp();
    RegisterClasses();
    Seen.Release = ReleaseWorker.get_future().share();
    Seen.BroadcastMsg = RegisterWindowMessageA("UserThreadsBroadcast");
    g_seen = &Seen;
    Mine = Make(0, "UserThreadsMain", WS_POPUP, RECT(0, 0, 10, 10));
  }
  void TearDown() override {
    TUserTest::TearDown();
    g_seen = nullptr;
  }
  // Keeps the worker in a message handler until Release.
  void MakeBusy(TWorker& w) {
    PostMessageA(w.Wnd(), kBusy, 0, 0);
    Seen.Entered.get_future().wait();
  }
  void Release() { ReleaseWorker.set_value(); }
};

// ---- What only the owner may do -------------------------------------------------

struct TOwnerOnlyCase {
  const char* Name;
  std::function<bool(HWND)> Call;  // true when the call failed
  DWORD Error;
};

class UserOwnerOnlyTest : public UserThreadsTest, public ::testing::WithParamInterface<TOwnerOnlyCase> {};

TEST_P(UserOwnerOnlyTest, AnotherThreadsWindowIsRefused) {
  TWorker worker(WS_POPUP | WS_VISIBLE);
  HWND focusBefore = GetFocus();
  SetLastError(0);
  EXPECT_TRUE(GetParam().Call(worker.Wnd()));
  EXPECT_EQ(GetLastError(), GetParam().Error);
  EXPECT_TRUE(IsWindow(worker.Wnd()));
  EXPECT_EQ(GetFocus(), focusBefore);
  EXPECT_EQ(GetCapture(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, UserOwnerOnlyTest,
    ::testing::Values(
        TOwnerOnlyCase{"DestroyWindow", [](HWND h) { return !DestroyWindow(h); }, ERROR_ACCESS_DENIED},
        TOwnerOnlyCase{"SetTimer", [](HWND h) { return !SetTimer(h, 1, 100, nullptr); }, ERROR_ACCESS_DENIED},
        TOwnerOnlyCase{"CreateCaret", [](HWND h) { return !CreateCaret(h, nullptr, 1, 10); }, ERROR_ACCESS_DENIED},
        TOwnerOnlyCase{"SetFocus", [](HWND h) { return !SetFocus(h); }, ERROR_WINDOW_OF_OTHER_THREAD},
        TOwnerOnlyCase{"SetActiveWindow", [](HWND h) { return !SetActiveWindow(h); }, ERROR_WINDOW_OF_OTHER_THREAD},
        TOwnerOnlyCase{"SetCapture", [](HWND h) { return !SetCapture(h); }, ERROR_WINDOW_OF_OTHER_THREAD}),
    [](const ::testing::TestParamInfo<TOwnerOnlyCase>& i) { return std::string(i.param.Name); });

// ---- Changes carried out by the owner ----------------------------------------------

struct TOwnerRunsCase {
  const char* Name;
  std::function<BOOL(HWND)> Call;
  UINT Msg;  // a message the change sends to the window
  std::function<bool(HWND)> Done;
};

class UserOwnerRunsTest : public UserThreadsTest, public ::testing::WithParamInterface<TOwnerRunsCase> {};

TEST_P(UserOwnerRunsTest, TheOwningThreadMakesTheChange) {
  const TOwnerRunsCase& c = GetParam();
  TWorker worker(WS_POPUP);
  // The worker's handlers send back to this thread while it waits.
  Seen.PingBack = Mine;
  c.Call(worker.Wnd());
  EXPECT_EQ(Seen.Thread(c.Msg), worker.Id());
  EXPECT_TRUE(c.Done(worker.Wnd()));
}

INSTANTIATE_TEST_SUITE_P(
    Calls, UserOwnerRunsTest,
    ::testing::Values(
        TOwnerRunsCase{"SetWindowPos",
                       [](HWND h) { return SetWindowPos(h, nullptr, 30, 40, 50, 60, SWP_NOZORDER | SWP_NOACTIVATE); },
                       WM_WINDOWPOSCHANGING,
                       [](HWND h) {
                         RECT r;
                         GetWindowRect(h, &r);
                         return r == RECT(30, 40, 80, 100) && g_seen->Served == 1;
                       }},
        TOwnerRunsCase{"ShowWindow", [](HWND h) { return ShowWindow(h, SW_SHOWNA); }, WM_SHOWWINDOW,
                       [](HWND h) { return IsWindowVisible(h) == TRUE; }},
        TOwnerRunsCase{"EnableWindow", [](HWND h) { return EnableWindow(h, FALSE); }, WM_ENABLE,
                       [](HWND h) { return IsWindowEnabled(h) == FALSE; }},
        TOwnerRunsCase{"SetWindowLongPtr",
                       [](HWND h) {
                         return static_cast<BOOL>(SetWindowLongPtrA(h, GWL_STYLE, WS_POPUP | WS_BORDER) != 0);
                       },
                       WM_STYLECHANGING,
                       [](HWND h) { return (GetWindowLongPtrA(h, GWL_STYLE) & WS_BORDER) != 0; }}),
    [](const ::testing::TestParamInfo<TOwnerRunsCase>& i) { return std::string(i.param.Name); });

TEST_F(UserThreadsTest, AsynchronousChangesWaitForTheOwner) {
  TWorker worker(WS_POPUP);
  MakeBusy(worker);
  // Neither call waits for the busy thread.
  EXPECT_TRUE(SetWindowPos(worker.Wnd(), nullptr, 5, 6, 20, 30, SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS));
  EXPECT_TRUE(ShowWindowAsync(worker.Wnd(), SW_SHOWNA));
  EXPECT_FALSE(IsWindowVisible(worker.Wnd()));
  Release();
  // A message sent now is handled after both.
  SendMessageA(worker.Wnd(), WM_NULL, 0, 0);
  RECT r;
  GetWindowRect(worker.Wnd(), &r);
  EXPECT_EQ(r, RECT(5, 6, 25, 36));
  EXPECT_TRUE(IsWindowVisible(worker.Wnd()));
}

TEST_F(UserThreadsTest, WindowTextComesFromTheOwnersProcedure) {
  TWorker worker(WS_POPUP);
  char text[32] = "x";
  EXPECT_EQ(GetWindowTextA(worker.Wnd(), text, sizeof text), 8);
  EXPECT_STREQ(text, "answered");
}

// ---- Sending with a timeout ----------------------------------------------------------

TEST_F(UserThreadsTest, BlockingSendServesNothingWhileItWaits) {
  TWorker worker(WS_POPUP);
  DWORD_PTR result = 0;
  // The worker's answer needs this thread: SMTO_BLOCK keeps it from coming.
  EXPECT_EQ(SendMessageTimeoutA(worker.Wnd(), kPingBack, 5, reinterpret_cast<LPARAM>(Mine), SMTO_BLOCK, 50, &result),
            0);
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  EXPECT_EQ(SendMessageTimeoutA(worker.Wnd(), kPingBack, 5, reinterpret_cast<LPARAM>(Mine), SMTO_NORMAL, 60000,
                                &result),
            1);
  EXPECT_EQ(result, 11u);
}

TEST_F(UserThreadsTest, AHungThreadIsNotWaitedFor) {
  TWorker worker(WS_POPUP);
  MakeBusy(worker);
  // Five seconds without looking at its queue.
  rtl::testing::AdvanceClock(6000);
  DWORD_PTR result = 0;
  EXPECT_EQ(SendMessageTimeoutA(worker.Wnd(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 60000, &result), 0);
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  Release();
}

TEST_F(UserThreadsTest, AWorkingThreadIsWaitedForPastTheTimeout) {
  TWorker worker(WS_POPUP);
  MakeBusy(worker);
  std::thread releaser([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    Release();
  });
  DWORD_PTR result = 0;
  EXPECT_EQ(SendMessageTimeoutA(worker.Wnd(), kPingBack, 2, reinterpret_cast<LPARAM>(Mine), SMTO_NOTIMEOUTIFNOTHUNG,
                                1, &result),
            1);
  EXPECT_EQ(result, 5u);
  releaser.join();
}

TEST_F(UserThreadsTest, ATimeoutSendToAThreadThatEndsFails) {
  std::promise<HWND> ready;
  std::thread owner([&] {
    HWND w = CreateWindowExA(0, "UserThreadsWorker", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ready.set_value(w);
    // Ends without ever looking at its queue: its window goes with it.
    Seen.Release.wait();
  });
  HWND theirs = ready.get_future().get();
  std::thread releaser([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Release();
  });
  DWORD_PTR result = 7;
  EXPECT_EQ(SendMessageTimeoutA(theirs, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(result, 7u);
  releaser.join();
  owner.join();
}

TEST_F(UserThreadsTest, BroadcastsReachEveryThreadsWindows) {
  TWorker worker(WS_POPUP);
  EXPECT_EQ(SendMessageTimeoutA(HWND_BROADCAST, Seen.BroadcastMsg, 0, 0, SMTO_NORMAL, 60000, nullptr), 1);
  EXPECT_EQ(Seen.Broadcasts, 2);
  EXPECT_TRUE(SendNotifyMessageA(HWND_BROADCAST, Seen.BroadcastMsg, 0, 0));
  // This thread's window had it at once; the worker's has it by the time it
  // answers a later message.
  SendMessageA(worker.Wnd(), WM_NULL, 0, 0);
  EXPECT_EQ(Seen.Broadcasts, 4);
  EXPECT_TRUE(PostMessageA(HWND_BROADCAST, Seen.BroadcastMsg, 0, 0));
  rtl::testing::RunUntilIdle();
  SendMessageA(worker.Wnd(), WM_NULL, 0, 0);
  // Posted to the worker's queue: it dispatches it with its next message.
  worker.Do([] {});
  EXPECT_EQ(Seen.Broadcasts, 6);
}

// ---- The window tree across threads -------------------------------------------------

BOOL CountWindow(HWND h, LPARAM l) {
  ++*reinterpret_cast<int*>(l);
  GetWindow(h, GW_HWNDNEXT);
  return TRUE;
}

TEST_F(UserThreadsTest, TheTreeStaysWholeWhileThreadsChangeIt) {
  // One thread creates, restacks and destroys windows with children while
  // this one walks the tree and changes its own part of it.
  std::atomic<bool> done{false};
  std::atomic<DWORD> workerId{0};
  std::thread builder([&] {
    workerId = GetCurrentThreadId();
    for (int i = 0; i < 400; ++i) {
      HWND top = CreateWindowExA(0, "UserThreadsWorker", "", WS_POPUP, i % 50, 0, 40, 40, nullptr, nullptr, nullptr,
                                 nullptr);
      for (int k = 0; k < 6; ++k)
        CreateWindowExA(0, "UserThreadsWorker", "", WS_CHILD, k, k, 5, 5, top, nullptr, nullptr, nullptr);
      SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      SetWindowPos(top, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      if (i % 2) DestroyWindow(top);
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }
    done = true;
  });
  int walks = 0;
  while (!done || walks == 0) {
    int count = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
    if (HWND theirs = FindWindowExA(nullptr, nullptr, "UserThreadsWorker", nullptr)) {
      EnumChildWindows(theirs, CountWindow, reinterpret_cast<LPARAM>(&count));
      GetWindow(theirs, GW_CHILD);
      GetTopWindow(theirs);
    }
    EnumThreadWindows(workerId, CountWindow, reinterpret_cast<LPARAM>(&count));
    HWND mine = CreateWindowExA(0, "UserThreadsMain", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    SetWindowPos(mine, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(mine);
    rtl::testing::RunUntilIdle();
    EXPECT_GE(count, 1);
    ++walks;
  }
  builder.join();
  // The builder's windows went with its thread; this thread's are whole.
  EXPECT_EQ(FindWindowExA(nullptr, nullptr, "UserThreadsWorker", nullptr), nullptr);
  EXPECT_TRUE(IsWindow(Mine));
  EXPECT_EQ(GetParent(Mine), nullptr);
}

}  // namespace
