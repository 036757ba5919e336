// Unit start-up and shut-down: an explicit ordered registry, so that no
// behaviour depends on the order in which C++ runs static initialisers.
// main (or a test's set-up) registers the units in dependency order, then
// runs their start-ups; shut-downs run in the reverse order.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/types.h"

using TUnitProc = std::function<void()>;

class TUnitRegistry {
  struct TUnit {
    AnsiString Name;
    TUnitProc Init, Fini;
    bool Started = false;
  };
  std::vector<TUnit> FUnits;
  std::vector<size_t> FStartOrder;  // indexes into FUnits, in start-up order

 public:
  // Adds a unit after those registered before; either procedure may be
  // null. A name registered already (compared without regard to case) is
  // ignored, so a unit registered by two callers starts once.
  void Register(const AnsiString& Name, TUnitProc Init, TUnitProc Fini);
  // Runs the start-ups not run yet, in registration order. When one raises,
  // the exception propagates and the later units do not start; the units
  // started before it stay started (FinalizeUnits shuts them down).
  void Initialize();
  // Runs the shut-downs of the started units in the reverse order of their
  // start-ups, each once. All run even when one raises; the first exception
  // is raised again at the end.
  void Finalize();
  bool IsStarted(const AnsiString& Name) const;
};

// The process's registry.
TUnitRegistry& Units();
inline void RegisterUnit(const AnsiString& Name, TUnitProc Init, TUnitProc Fini) {
  Units().Register(Name, std::move(Init), std::move(Fini));
}
inline void InitializeUnits() { Units().Initialize(); }
inline void FinalizeUnits() { Units().Finalize(); }
