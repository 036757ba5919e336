// The application tests' main: the application, screen and mouse exist for
// the whole run (the "Forms" unit), as they do in the program.
#include <gtest/gtest.h>

#include "platform/forms/forms.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/units.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  SetCommandLine(argc, argv);
  RegisterFormsUnit();
  InitializeUnits();
  int Result = RUN_ALL_TESTS();
  FinalizeUnits();
  return Result;
}
