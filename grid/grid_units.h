// The start-up and shut-down of the grid library's units.
#pragma once

class TUnitRegistry;

// Registers the grid library's units in their order: the common unit makes
// the locale settings object (and frees it at shut-down); the themes unit
// fills the colour schemes and binds the visual-styles library.
void RegisterGridUnits(TUnitRegistry& Registry);
void RegisterGridUnits();
