#include "unit_state_fixture.h"

#include <gtest/gtest.h>

#include "ui/foundation/cx_components.h"
#include "ui/foundation/gdiplus_images.h"
#include "ui/foundation/message_windows.h"
#include "ui/foundation/resource_strings.h"
#include "ui/foundation/units_loader.h"

namespace unit_state_test {

void RestartShutDownUnits() {
  dx_core_detail::StartResourceStrings();
  dx_core_detail::StartUnitsLoader();
  cx_classes_detail::StartClasses();
  cx_controls_detail::StartControls();
  dx_gdiplus_detail::StartImagesUnit();
}

namespace {

// The program's own start-up of the drawing unit, for the whole run.
class TGraphicsUnitRunning : public ::testing::Environment {
 public:
  void SetUp() override { cx_graphics_detail::StartGraphics(); }
  void TearDown() override { cx_graphics_detail::StopGraphics(); }
};

[[maybe_unused]] ::testing::Environment* const kGraphicsUnit =
    ::testing::AddGlobalTestEnvironment(new TGraphicsUnitRunning);

}  // namespace
}  // namespace unit_state_test
