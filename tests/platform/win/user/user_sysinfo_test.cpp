// System information: the metrics profile and its injection, system
// parameters with their change broadcast, monitors, DPI and the version.
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;

class UserSysInfoTest : public TUserTest {
 protected:
  void TearDown() override {
    rtl::testing::ResetSystemInfo();
    rtl::testing::SetScreens({});
    TUserTest::TearDown();
  }
};

TEST_F(UserSysInfoTest, MetricsAgreeWithNonClientMetricsAndCanBeInjected) {
  NONCLIENTMETRICSA nc{};
  nc.cbSize = sizeof(nc);
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(nc), &nc, 0));
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), nc.iCaptionHeight + 1);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), nc.iScrollWidth);
  EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION), nc.iSmCaptionHeight + 1);
  EXPECT_STREQ(nc.lfCaptionFont.lfFaceName, "Tahoma");
  nc.cbSize = 12;  // neither of the two sizes the call knows
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &nc, 0));
  rtl::testing::SetSystemMetric(SM_CXVSCROLL, 21);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 21);
  rtl::testing::ResetSystemInfo();
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
}

TEST_F(UserSysInfoTest, ParametersChangeAndTellEveryTopLevelWindow) {
  HWND a = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  UINT lines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  EXPECT_EQ(lines, 3u);
  Log.Clear();
  SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, 5, nullptr, SPIF_SENDCHANGE);
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  EXPECT_EQ(lines, 5u);
  auto changes = Log.For(a);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].Msg, static_cast<UINT>(WM_SETTINGCHANGE));
  EXPECT_EQ(changes[0].WParam, static_cast<WPARAM>(SPI_SETWHEELSCROLLLINES));
  BOOL shadow = TRUE;
  SystemParametersInfoA(SPI_SETDROPSHADOW, 0, reinterpret_cast<void*>(0), 0);
  SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &shadow, 0);
  EXPECT_FALSE(shadow);
  SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
  SystemParametersInfoA(SPI_SETDROPSHADOW, 0, reinterpret_cast<void*>(1), 0);
}

TEST_F(UserSysInfoTest, MonitorsAnswerForPointsRectanglesAndWindows) {
  rtl::testing::SetScreens({{RECT(0, 0, 1280, 1024), RECT(0, 0, 1280, 994), true, ""},
                            {RECT(1280, 0, 2560, 1024), RECT(1280, 30, 2560, 1024), false, ""}});
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
  EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 2560);
  HMONITOR left = MonitorFromPoint(POINT(10, 10), MONITOR_DEFAULTTONULL);
  HMONITOR right = MonitorFromPoint(POINT(1300, 10), MONITOR_DEFAULTTONULL);
  ASSERT_NE(left, nullptr);
  ASSERT_NE(right, nullptr);
  EXPECT_NE(left, right);
  EXPECT_EQ(MonitorFromPoint(POINT(-500, 10), MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromPoint(POINT(5000, 10), MONITOR_DEFAULTTONEAREST), right);
  EXPECT_EQ(MonitorFromPoint(POINT(5000, 10), MONITOR_DEFAULTTOPRIMARY), left);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  ASSERT_TRUE(GetMonitorInfoA(right, &mi));
  EXPECT_EQ(mi.rcWork, RECT(1280, 30, 2560, 1024));
  EXPECT_EQ(mi.dwFlags, 0u);
  // A window mostly on the right-hand screen belongs to it.
  HWND w = MakeTop(WS_POPUP, RECT(1200, 100, 1500, 200));
  EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), right);
  int count = 0;
  EnumDisplayMonitors(
      nullptr, nullptr, [](HMONITOR, HDC, LPRECT, LPARAM l) -> BOOL {
        ++*reinterpret_cast<int*>(l);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  EXPECT_EQ(count, 2);
  // Maximising fills the window's own screen's work area.
  HWND m = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(1400, 100, 1700, 400));
  ShowWindow(m, SW_MAXIMIZE);
  RECT r;
  GetWindowRect(m, &r);
  int f = GetSystemMetrics(SM_CXFRAME);
  EXPECT_EQ(r, RECT(1280 - f, 30 - f, 2560 + f, 1024 + f));
}

TEST_F(UserSysInfoTest, DpiScalesSizesAndFonts) {
  rtl::testing::SetDpi(144);
  EXPECT_EQ(GetDpiForSystem(), 144u);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 26);
  EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 24);
  EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
  NONCLIENTMETRICSA nc{};
  nc.cbSize = sizeof(nc);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(nc), &nc, 0);
  EXPECT_EQ(nc.lfMessageFont.lfHeight, -16);
}

TEST_F(UserSysInfoTest, VersionIsFixedAndInjectable) {
  OSVERSIONINFOEXA v{};
  v.dwOSVersionInfoSize = sizeof(v);
  ASSERT_TRUE(GetVersionExA(&v));
  EXPECT_EQ(v.dwMajorVersion, 6u);
  EXPECT_EQ(v.dwMinorVersion, 1u);
  EXPECT_EQ(v.dwBuildNumber, 7601u);
  EXPECT_EQ(v.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_STREQ(v.szCSDVersion, "Service Pack 1");
  EXPECT_EQ(GetVersion() & 0xFFFF, 0x0106u);
  rtl::testing::SetVersion({5, 1, 2600, "Service Pack 3"});
  GetVersionExA(&v);
  EXPECT_EQ(v.dwMajorVersion, 5u);
  v.dwOSVersionInfoSize = 3;
  EXPECT_FALSE(GetVersionExA(&v));
}

}  // namespace
