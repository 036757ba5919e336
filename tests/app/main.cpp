// The application tests' main: the units start as they do in the program,
// so that the application, screen and mouse, the grid and the folder
// search exist for the whole run.
#include <gtest/gtest.h>

#include "app/app_units.h"
#include "app/end_signals.h"
#include "grid/grid_units.h"
#include "platform/forms/forms.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/units.h"
#include "support/support_units.h"

int main(int argc, char** argv) {
  // As the program does, before any thread: the end signals reach only
  // their watcher (the tests send SIGTERM to themselves).
  BlockEndSignals();
  ::testing::InitGoogleTest(&argc, argv);
  SetCommandLine(argc, argv);
  RegisterFormsUnit();
  RegisterSupportUnits();
  RegisterGridUnits();
  RegisterApplicationUnits();
  InitializeUnits();
  int Result = RUN_ALL_TESTS();
  FinalizeUnits();
  return Result;
}
