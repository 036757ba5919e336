// The Qt backend under the offscreen platform, through the window system:
// native windows for shown top-level windows, a blocked loop woken through
// Qt's dispatcher, the clipboard through Qt's; and the key table.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/backend/qt_keys.h"
#include "platform/testing/user_testing.h"
#include "platform/win/win32.h"

namespace {

LRESULT RedPainter(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    HBRUSH b = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &ps.rcPaint, b);
    DeleteObject(b);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

class QtBackendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RedPainter;
    wc.lpszClassName = "QtBackendRed";
    RegisterClassA(&wc);
  }
  std::vector<HWND> Windows;
  void TearDown() override {
    for (HWND h : Windows) DestroyWindow(h);
    rtl::testing::RunUntilIdle();
  }
  HWND Make(DWORD ex, DWORD style, RECT r, const char* title) {
    HWND h = CreateWindowExA(ex, "QtBackendRed", title, style, r.Left, r.Top, r.Width(), r.Height(), nullptr, nullptr,
                             nullptr, nullptr);
    Windows.push_back(h);
    return h;
  }
};

TEST_F(QtBackendTest, ShownTopLevelWindowsHaveNativeWindows) {
  HWND main = Make(0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(40, 50, 340, 250), "qt-main");
  HWND popup = Make(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, RECT(60, 60, 160, 100), "qt-popup");
  EXPECT_TRUE(rtl::testing::HasNativeWindow(main));
  EXPECT_FALSE(rtl::testing::HasNativeWindow(popup));
  ShowWindow(popup, SW_SHOWNA);
  EXPECT_TRUE(rtl::testing::HasNativeWindow(popup));
  ShowWindow(popup, SW_HIDE);
  EXPECT_FALSE(rtl::testing::HasNativeWindow(popup));
  rtl::testing::RunUntilIdle();
  EXPECT_EQ(rtl::testing::WindowPixel(main, 150, 100), RGB(255, 0, 0));
  // The native window's own move and resize events leave the window where
  // the window system put it.
  SetWindowPos(main, nullptr, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  rtl::testing::RunUntilIdle();
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r, RECT(70, 80, 370, 280));
}

TEST_F(QtBackendTest, PostFromAnotherThreadWakesTheLoopInQtsDispatcher) {
  HWND main = Make(0, WS_POPUP | WS_VISIBLE, RECT(0, 0, 50, 50), "qt-wake");
  rtl::testing::RunUntilIdle();
  std::thread worker([main] {
    SendMessageA(main, WM_NULL, 0, 0);  // returns once the main thread waits
    PostMessageA(main, WM_USER + 3, 0, 0);
  });
  MSG m;
  do {
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    DispatchMessageA(&m);
  } while (m.message != WM_USER + 3);
  worker.join();
}

TEST_F(QtBackendTest, ClipboardGoesThroughQt) {
  HWND owner = Make(0, WS_POPUP, RECT(0, 0, 10, 10), "qt-clip");
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 6);
  std::memcpy(GlobalLock(h), "a\r\nbc", 6);
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
  std::string out;
  ASSERT_TRUE(rtl::testing::ExternalClipboardData("text/plain", out));
  EXPECT_EQ(out, "a\nbc");
  rtl::testing::SetExternalClipboard({{"text/plain", "from qt"}});
  rtl::testing::RunUntilIdle();
  ASSERT_TRUE(OpenClipboard(owner));
  HANDLE t = GetClipboardData(CF_TEXT);
  ASSERT_NE(t, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(t)), "from qt");
  GlobalUnlock(t);
  CloseClipboard();
}

struct TSeen {
  HWND Hwnd;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};
std::vector<TSeen> g_seen;

LRESULT SeeingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      g_seen.push_back(TSeen{h, m, w, l});
      break;
    case WM_CLOSE:
      g_seen.push_back(TSeen{h, m, w, l});
      return 0;  // stays open
  }
  return RedPainter(h, m, w, l);
}

TEST_F(QtBackendTest, NativeInputBecomesMessages) {
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = SeeingProc;
  wc.lpszClassName = "QtBackendSeeing";
  RegisterClassA(&wc);
  HWND main = CreateWindowExA(0, "QtBackendSeeing", "qt-input", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr,
                              nullptr, nullptr, nullptr);
  Windows.push_back(main);
  HWND child = CreateWindowExA(0, "QtBackendSeeing", "", WS_CHILD | WS_VISIBLE, 20, 30, 100, 50, main, nullptr, nullptr,
                               nullptr);
  SetFocus(main);
  rtl::testing::RunUntilIdle();
  g_seen.clear();
  auto pump = [] {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  };
  using rtl::testing::SimulateNativeInput;
  POINT p(100 + 20 + 5, 100 + 30 + 7);  // (5, 7) in the child
  ASSERT_TRUE(SimulateNativeInput(main, rtl::backend::neMouseMove, p));
  ASSERT_TRUE(SimulateNativeInput(main, rtl::backend::neMouseDown, p, 0));
  ASSERT_TRUE(SimulateNativeInput(main, rtl::backend::neMouseUp, p, 0));
  ASSERT_TRUE(SimulateNativeInput(main, rtl::backend::neMouseDown, p, 0));  // a second click, quickly
  ASSERT_TRUE(SimulateNativeInput(main, rtl::backend::neMouseUp, p, 0));
  ASSERT_TRUE(SimulateNativeInput(main, rtl::backend::neWheel, p, -120));
  ASSERT_TRUE(SimulateNativeInput(main, rtl::backend::neKeyDown, p, 'A', "a"));
  ASSERT_TRUE(SimulateNativeInput(main, rtl::backend::neKeyUp, p, 'A'));
  pump();
  // A close request is posted (as WM_SYSCOMMAND SC_CLOSE): it would come
  // before queued input.
  ASSERT_TRUE(SimulateNativeInput(main, rtl::backend::neClose, p));
  pump();
  std::vector<UINT> msgs;
  for (const TSeen& s : g_seen) msgs.push_back(s.Msg);
  std::vector<UINT> want = {WM_MOUSEMOVE,     WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                            WM_MOUSEWHEEL,    WM_KEYDOWN,     WM_CHAR,      WM_KEYUP,         WM_CLOSE};
  ASSERT_EQ(msgs, want);
  EXPECT_EQ(g_seen[1].Hwnd, child);
  EXPECT_EQ(g_seen[1].LParam, MAKELPARAM(5, 7));
  EXPECT_EQ(g_seen[1].WParam, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_EQ(g_seen[5].Hwnd, main);  // the wheel goes to the focus
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(g_seen[5].WParam), -120);
  EXPECT_EQ(g_seen[6].WParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(g_seen[7].WParam, static_cast<WPARAM>('a'));
  EXPECT_EQ(g_seen[9].Hwnd, main);
  EXPECT_TRUE(IsWindow(main));
}

// Screens, monitors and work areas are the display's, from the first
// question on; a test's fake screens stand in for them until taken back.
TEST(QtBackendScreens, MetricsMonitorsAndWorkAreasAreTheDisplays) {
  const std::vector<rtl::backend::TScreenInfo> Real = rtl::backend::Backend().Screens();
  ASSERT_FALSE(Real.empty());
  rtl::backend::TScreenInfo Primary = Real.front();
  for (const auto& S : Real)
    if (S.Primary) Primary = S;
  auto Check = [](const RECT& Bounds, const RECT& Work, int Count) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), Bounds.Width());
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), Bounds.Height());
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), Count);
    RECT Area{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &Area, 0));
    EXPECT_EQ(Area, Work);
    MONITORINFO Info{};
    Info.cbSize = sizeof Info;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(POINT(Bounds.Left, Bounds.Top), MONITOR_DEFAULTTONULL), &Info));
    EXPECT_EQ(Info.rcMonitor, Bounds);
    EXPECT_EQ(Info.rcWork, Work);
    EXPECT_TRUE(Info.dwFlags & MONITORINFOF_PRIMARY);
  };
  Check(Primary.Bounds, Primary.WorkArea, static_cast<int>(Real.size()));
  // Fake screens of several sizes, a second monitor among them.
  const std::vector<std::vector<rtl::testing::TScreen>> Sets = {
      {{RECT(0, 0, 1280, 800), RECT(0, 0, 1280, 770), true, "small"}},
      {{RECT(0, 0, 1920, 1080), RECT(0, 0, 1920, 1040), true, "full"}},
      {{RECT(0, 0, 1280, 800), RECT(0, 30, 1280, 800), true, "left"},
       {RECT(1280, -200, 3200, 880), RECT(1280, -200, 3200, 840), false, "right"}},
  };
  for (const auto& Set : Sets) {
    SCOPED_TRACE(Set.front().Name);
    rtl::testing::SetScreens(Set);
    Check(Set.front().Bounds, Set.front().WorkArea, static_cast<int>(Set.size()));
    if (Set.size() > 1) {
      MONITORINFO Info{};
      Info.cbSize = sizeof Info;
      RECT OnRight(2000, 100, 2400, 400);
      ASSERT_TRUE(GetMonitorInfoA(MonitorFromRect(&OnRight, MONITOR_DEFAULTTONEAREST), &Info));
      EXPECT_EQ(Info.rcWork, Set[1].WorkArea);
      EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 3200);
      EXPECT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), -200);
    }
  }
  rtl::testing::SetScreens({});
  Check(Primary.Bounds, Primary.WorkArea, static_cast<int>(Real.size()));
}

TEST(QtKeysTest, MapsQtKeysToVirtualKeys) {
  using rtl::backend::QtKeyToVk;
  struct TCase {
    int Key;
    bool Keypad;
    uint32_t Native;
    uint32_t Vk, Scan;
    bool Extended;
  } cases[] = {
      // Qt's key numbers: A, !, Left, F10, 5, Control, Shift, a-umlaut.
      {0x41, false, 38, 'A', 0x1E, false},           {0x21, false, 10, '1', 0x02, false},
      {0x01000012, false, 113, VK_LEFT, 0, true},    {0x01000039, false, 76, VK_F10, 0x44, false},
      {0x35, true, 84, VK_NUMPAD5, 0x4C, false},     {0x01000021, false, 105, VK_CONTROL, 0x1D, true},
      {0x01000020, false, 62, VK_SHIFT, 0x36, false}, {0xC4, false, 48, VK_PACKET, 0x28, false},
  };
  for (const TCase& c : cases) {
    auto k = QtKeyToVk(c.Key, c.Keypad, c.Native);
    EXPECT_EQ(k.Vk, c.Vk) << c.Key;
    EXPECT_EQ(k.Scan, c.Scan) << c.Key;
    EXPECT_EQ(k.Extended, c.Extended) << c.Key;
  }
  // Back and forth: the Qt key of a virtual key maps to it again.
  for (uint32_t vk : {static_cast<uint32_t>('Q'), static_cast<uint32_t>('7'), static_cast<uint32_t>(VK_F5),
                      static_cast<uint32_t>(VK_RETURN), static_cast<uint32_t>(VK_ESCAPE),
                      static_cast<uint32_t>(VK_NEXT), static_cast<uint32_t>(VK_OEM_MINUS)})
    EXPECT_EQ(QtKeyToVk(rtl::backend::VkToQtKey(vk), false, 0).Vk, vk) << vk;
}

}  // namespace
