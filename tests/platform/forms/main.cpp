// The forms tests' main: the application, screen and mouse exist for the
// whole run (the "Forms" unit), as they do in a program.
#include <gtest/gtest.h>

#include "controls_test_support.h"
#include "platform/forms/forms.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/units.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  SetCommandLine(argc, argv);
  RegisterFormsUnit();
  InitializeUnits();
  // The actions tests check the action chain on its own; the forms tests
  // put the application's steps back while they run.
  controls_test::ApplicationChain() = ActionChain();
  ActionChain() = TActionChain();
  int Result = RUN_ALL_TESTS();
  FinalizeUnits();
  return Result;
}
