// The start-up and shut-down of the support library's units.
#pragma once

class TUnitRegistry;

// Registers the support library's units with the ordered unit start-up
// (Units() by default), in their dependency order. Each version-recording
// unit registers its version record with the unit version registry at
// start-up and withdraws its module at shut-down; the registry's own unit
// then shuts the registry down, the shared-memory unit frees its lock, and
// the string-handler units free their shared handlers. The folder search's
// unit registers the finder's class for form descriptions.
void RegisterSupportUnits(TUnitRegistry& Registry);
void RegisterSupportUnits();
