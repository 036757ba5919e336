// Process-wide state of the foundation's units that tests change, and the
// guards that put it back, so that the tests pass in any order.
//
// The drawing unit counts its start-ups. Like the program, whose units run
// before anything draws, this test program holds one start-up of its own
// from first to last test (unit_state_fixture.cpp); a test's own
// start-up/shut-down pairs then never bring the count to nought, which
// would refuse the shared canvases to every later test.
#pragma once

#include "ui/foundation/graphics_unit.h"

namespace unit_state_test {

// The drawing unit shut down as in a fresh process before its first
// start-up: every outstanding start-up (the bound AlphaBlend shows one) is
// undone here and done again at the end, which also reads the screen's
// resolution anew.
class TGraphicsUnitAtRest {
  int FStopped = 0;

 public:
  TGraphicsUnitAtRest() {
    for (; cxAlphaBlendProc() && FStopped < 100; ++FStopped) cx_graphics_detail::StopGraphics();
  }
  ~TGraphicsUnitAtRest() {
    for (; FStopped > 0; --FStopped) cx_graphics_detail::StartGraphics();
  }
  TGraphicsUnitAtRest(const TGraphicsUnitAtRest&) = delete;
  TGraphicsUnitAtRest& operator=(const TGraphicsUnitAtRest&) = delete;
};

// For a test that ran the foundation's shut-downs: starts again the units
// whose shut-down leaves them refusing service until their next start-up.
void RestartShutDownUnits();

}  // namespace unit_state_test
