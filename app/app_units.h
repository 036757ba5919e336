// The start-up and shut-down work of the application's own units, registered
// after the libraries' units so that they start last and shut down first.
#pragma once

class TUnitRegistry;

void RegisterApplicationUnits(TUnitRegistry& Registry);
void RegisterApplicationUnits();
