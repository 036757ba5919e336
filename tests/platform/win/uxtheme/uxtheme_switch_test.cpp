// Installing or removing a visual style tells every window, as a switch by
// the user does.
#include <gtest/gtest.h>

#include <map>

#include "platform/win/user/user.h"
#include "platform/win/user/user_messages.h"
#include "platform/win/user/user_test_seams.h"
#include "platform/win/uxtheme/uxtheme.h"
#include "platform/testing/uxtheme_recording.h"

namespace {

std::map<HWND, int> gThemeChanged;

LRESULT CountingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_THEMECHANGED) ++gThemeChanged[h];
  return DefWindowProcA(h, m, w, l);
}

TEST(ThemeSwitch, EveryWindowHearsOfIt) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountingProc;
  wc.lpszClassName = "ThemeSwitchCounter";
  RegisterClassA(&wc);
  HWND Top = CreateWindowExA(0, "ThemeSwitchCounter", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                             nullptr, nullptr);
  HWND Child = CreateWindowExA(0, "ThemeSwitchCounter", "", WS_CHILD, 0, 0, 50, 20, Top, nullptr, nullptr, nullptr);
  HWND Grandchild =
      CreateWindowExA(0, "ThemeSwitchCounter", "", WS_CHILD, 0, 0, 10, 10, Child, nullptr, nullptr, nullptr);
  gThemeChanged.clear();
  {
    TRecordingTheme Theme;
    for (HWND H : {Top, Child, Grandchild}) EXPECT_EQ(gThemeChanged[H], 1);
  }
  for (HWND H : {Top, Child, Grandchild}) EXPECT_EQ(gThemeChanged[H], 2);
  // Installing what is installed already is no switch.
  rtl::detail::SetThemeProvider(nullptr);
  EXPECT_EQ(gThemeChanged[Top], 2);
  DestroyWindow(Top);
}

}  // namespace
