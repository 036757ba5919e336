// Shared set-up of the window helper, system menu and mouse tracking
// tests: the headless window system on the virtual clock, the framework's
// application, screen and mouse (made here when no other test made them),
// the window unit running, and plain windows and forms freed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/testing/user_testing.h"
#include "platform/win/win32.h"
#include "ui/foundation/message_windows.h"

namespace window_helpers_test {

inline LRESULT PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

class TWindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<TMouse> FOwnMouse;
  std::unique_ptr<TScreen> FOwnScreen;
  std::unique_ptr<TApplication> FOwnApplication;
  std::vector<HWND> FWindows;
  std::vector<TControlLink> FForms;

  void SetUp() override {
    rtl::testing::UseHeadlessBackend();
    rtl::testing::UseVirtualClock(true);
    if (!Mouse) {
      FOwnMouse = std::make_unique<TMouse>();
      Mouse = FOwnMouse.get();
    }
    if (!Screen) {
      FOwnScreen = std::make_unique<TScreen>(nullptr);
      Screen = FOwnScreen.get();
    }
    if (!Application) {
      FOwnApplication = std::make_unique<TApplication>(nullptr);
      Application = FOwnApplication.get();
    }
    if (cx_controls_detail::Finalizing()) cx_controls_detail::StartControls();
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, "WindowHelpersPlain", &wc)) {
      wc.lpfnWndProc = &PlainProc;
      wc.lpszClassName = "WindowHelpersPlain";
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      RegisterClassA(&wc);
    }
  }

  void TearDown() override {
    ReleaseCapture();
    for (auto& L : FForms)
      if (auto* F = dynamic_cast<TCustomForm*>(L.Get())) F->Free();
    for (auto It = FWindows.rbegin(); It != FWindows.rend(); ++It)
      if (IsWindow(*It)) DestroyWindow(*It);
    Pump();
    MSG M;
    while (PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
    }
    if (FOwnApplication) Application = nullptr;
    FOwnApplication.reset();
    if (FOwnScreen) Screen = nullptr;
    FOwnScreen.reset();
    if (FOwnMouse) Mouse = nullptr;
    FOwnMouse.reset();
    rtl::testing::UseVirtualClock(false);
  }

  static void Pump() { rtl::testing::RunUntilIdle(); }

  HWND MakeWindow(DWORD AStyle, const TRect& R, HWND AParent = nullptr, DWORD AExStyle = 0,
                  const char* AClass = "WindowHelpersPlain") {
    HWND H = CreateWindowExA(AExStyle, AClass, "", AStyle, R.Left, R.Top, R.Width(), R.Height(), AParent, nullptr,
                             nullptr, nullptr);
    if (H) FWindows.push_back(H);
    return H;
  }

  template <class T = TForm>
  T* MakeForm(const TRect& R = TRect(100, 100, 500, 400)) {
    T* F = TCustomForm::Create<T>(nullptr);
    F->SetBounds(R.Left, R.Top, R.Width(), R.Height());
    FForms.push_back(F->Link());
    return F;
  }
};

}  // namespace window_helpers_test
