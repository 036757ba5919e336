// What the animation and fading tests start before each test: earlier
// tests may have shut the units down, the clock is virtual and the system's
// menu animation is on.
#pragma once

#include <gtest/gtest.h>

#include "platform/win/user/user.h"
#include "platform/win/user/user_test_seams.h"
#include "ui/foundation/cx_components.h"
#include "ui/foundation/fading.h"
#include "ui/foundation/gdiplus_binding.h"
#include "ui/foundation/gdiplus_canvas.h"
#include "ui/foundation/graphics_unit.h"
#include "ui/foundation/message_windows.h"

inline void StartFadingTestUnits() {
  cx_classes_detail::StartClasses();
  cx_controls_detail::StartControls();
  cx_graphics_detail::StartGraphics();
  ASSERT_TRUE(dxGpCheckAvailable(false));
  dx_gdiplus_detail::ResetSharedCanvasObjects();
  rtl::testing::UseVirtualClock(true);
  SystemParametersInfo(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(TRUE), 0);
}
