// The grid tests' main: the forms unit and the grid's units start as they
// do in the program.
#include <gtest/gtest.h>

#include "grid/grid_units.h"
#include "platform/forms/forms.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/units.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  SetCommandLine(argc, argv);
  RegisterFormsUnit();
  RegisterGridUnits();
  InitializeUnits();
  int Result = RUN_ALL_TESTS();
  FinalizeUnits();
  return Result;
}
