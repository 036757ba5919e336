#include "ui/foundation/dpi_scaling.h"

#include <gtest/gtest.h>

#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_test_seams.h"
#include "ui/foundation/graphics_unit.h"
#include "unit_state_fixture.h"

namespace {

// Runs the drawing unit's first start-up with the screen at a resolution,
// and its shut-down and 96 dpi afterwards.
class TScreenAt {
  unit_state_test::TGraphicsUnitAtRest FAtRest;

 public:
  explicit TScreenAt(int ADpi) {
    rtl::testing::SetDpi(ADpi);
    cx_graphics_detail::StartGraphics();
  }
  ~TScreenAt() {
    cx_graphics_detail::StopGraphics();
    rtl::testing::SetDpi(96);
  }
  TScreenAt(const TScreenAt&) = delete;
  TScreenAt& operator=(const TScreenAt&) = delete;
};

TEST(DpiScaling, ScalesBySidesRoundingHalvesAwayFromZero) {
  const struct {
    int Dpi;
    Integer Value, Scaled;
  } cases[] = {
      {96, 16, 16},   {96, 15, 15},   {96, -7, -7},  {120, 16, 20},  {120, 15, 19},
      {120, -15, -19}, {144, 16, 24}, {144, 15, 23}, {144, -15, -23}, {144, 1, 2},
  };
  for (const auto& c : cases) {
    TScreenAt screen(c.Dpi);
    EXPECT_EQ(cxGetScreenDPI(), c.Dpi);
    EXPECT_EQ(cxScaleByScreenDPI(c.Value), c.Scaled) << c.Value << " at " << c.Dpi;
    EXPECT_EQ(cxScaleSizeByScreenDPI(TSize(c.Value, 0)), TSize(c.Scaled, 0)) << c.Value << " at " << c.Dpi;
  }
  TScreenAt screen(144);
  EXPECT_EQ(cxScaleRectByScreenDPI(TRect(15, 16, -15, 1)), TRect(23, 24, -23, 2));
  TSize ppi;
  cxGetScreenPixelsPerInch(ppi);
  EXPECT_EQ(ppi, TSize(144, 144));
}

TEST(DpiScaling, ResolutionIsReadOnceAtStartUp) {
  TScreenAt screen(120);
  rtl::testing::SetDpi(144);
  EXPECT_EQ(cxGetScreenDPI(), 120);
  // A nested start-up only counts.
  cx_graphics_detail::StartGraphics();
  EXPECT_EQ(cxGetScreenDPI(), 120);
  cx_graphics_detail::StopGraphics();
}

TEST(GraphicsUnit, StartUpCounterBindsAlphaBlendOnceAndShutsDownLast) {
  unit_state_test::TGraphicsUnitAtRest atRest;
  cx_graphics_detail::StartGraphics();
  EXPECT_FALSE(cxGraphicsShuttingDown());
  TcxAlphaBlendFunc bound = cxAlphaBlendProc();
  ASSERT_NE(bound, nullptr);
  EXPECT_EQ(bound, &AlphaBlend);
  cx_graphics_detail::StartGraphics();
  cx_graphics_detail::StopGraphics();
  EXPECT_FALSE(cxGraphicsShuttingDown());
  EXPECT_EQ(cxAlphaBlendProc(), bound);
  cx_graphics_detail::StopGraphics();
  EXPECT_TRUE(cxGraphicsShuttingDown());
  EXPECT_EQ(cxAlphaBlendProc(), nullptr);
  // A shut-down too many changes nothing; the next start-up clears the flag.
  cx_graphics_detail::StopGraphics();
  cx_graphics_detail::StartGraphics();
  EXPECT_FALSE(cxGraphicsShuttingDown());
  EXPECT_EQ(cxAlphaBlendProc(), bound);
  cx_graphics_detail::StopGraphics();
}

}  // namespace
