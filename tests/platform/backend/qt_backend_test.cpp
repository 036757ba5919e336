// The Qt backend under the offscreen platform, through the window system:
// native windows for shown top-level windows, a blocked loop woken through
// Qt's dispatcher, the clipboard through Qt's; and the key table.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/backend/qt_keys.h"
#include "platform/win/user_testing.h"
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
}

}  // namespace
