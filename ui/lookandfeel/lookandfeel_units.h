// The start-up and shut-down of the look-and-feel units, after the
// foundation's: the skin objects (their procedures run through the units
// loader).
#pragma once

class TUnitRegistry;

void RegisterLookAndFeelUnits(TUnitRegistry& Registry);
void RegisterLookAndFeelUnits();
