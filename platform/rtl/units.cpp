#include "platform/rtl/units.h"

#include <strings.h>

#include <exception>

namespace {
bool SameName(const AnsiString& a, const AnsiString& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }
}  // namespace

void TUnitRegistry::Register(const AnsiString& Name, TUnitProc Init, TUnitProc Fini) {
  for (const TUnit& u : FUnits)
    if (SameName(u.Name, Name)) return;
  FUnits.push_back({Name, std::move(Init), std::move(Fini)});
}

void TUnitRegistry::Initialize() {
  for (size_t i = 0; i < FUnits.size(); ++i) {
    if (FUnits[i].Started) continue;
    // Copied: a start-up may register further units, which moves FUnits.
    TUnitProc init = FUnits[i].Init;
    if (init) init();
    FUnits[i].Started = true;
    FStartOrder.push_back(i);
  }
}

void TUnitRegistry::Finalize() {
  std::exception_ptr first;
  while (!FStartOrder.empty()) {
    size_t i = FStartOrder.back();
    FStartOrder.pop_back();
    FUnits[i].Started = false;
    TUnitProc fini = FUnits[i].Fini;
    try {
      if (fini) fini();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

bool TUnitRegistry::IsStarted(const AnsiString& Name) const {
  for (const TUnit& u : FUnits)
    if (SameName(u.Name, Name)) return u.Started;
  return false;
}

TUnitRegistry& Units() {
  static TUnitRegistry registry;
  return registry;
}
