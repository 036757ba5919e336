// The test seam that makes device contexts report a low colour depth, a
// palette or a printer.
#include <gtest/gtest.h>

#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_test_seams.h"

namespace {

TEST(DeviceCapsOverride, ReportsTheGivenValuesAndGoesBack) {
  HDC dc = CreateCompatibleDC(nullptr);
  rtl::testing::SetDeviceCapsOverride({16, 256, DT_RASPRINTER});
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 16);
  EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), 256);
  EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
  EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1) << "other values are untouched";
  rtl::testing::SetDeviceCapsOverride({});
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), -1);
  EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASDISPLAY);
  DeleteDC(dc);
}

}  // namespace
