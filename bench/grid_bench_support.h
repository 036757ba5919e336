// What the grid benchmarks share: the units a grid needs, started once.
#pragma once

#include "grid/grid_units.h"
#include "platform/forms/forms.h"
#include "platform/rtl/units.h"

inline void StartGridUnits() {
  static bool Started = false;
  if (Started) return;
  Started = true;
  RegisterFormsUnit();
  RegisterGridUnits();
  InitializeUnits();
}
