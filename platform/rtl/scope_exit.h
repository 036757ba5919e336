// Cleanup that runs when a scope ends, instead of the same lines written
// twice: once in a catch (...) that rethrows and once after the try.
//
//   FUpdating = true;
//   TScopeExit Done([&] { FUpdating = false; });           // always
//   TScopeExit Undo(seOnUnwind, [&] { FHandle = Old; });   // on an exception only
//
// Guards run in the reverse order of their declaration. A cleanup that
// raises on the normal way out raises from the scope; one that raises while
// an exception is already leaving the scope is dropped, so that the first
// failure is the one reported (a second exception would end the program).
#pragma once

#include <exception>
#include <utility>

enum TScopeExitWhen { seAlways, seOnUnwind };

template <class F>
class [[nodiscard]] TScopeExit {
  F FAction;
  TScopeExitWhen FWhen;
  // Exceptions in flight when the guard was made: a guard made in a catch
  // block or a destructor must not take those for its own scope's.
  int FInFlight;
  bool FArmed = true;

 public:
  explicit TScopeExit(F Action) : TScopeExit(seAlways, std::move(Action)) {}
  TScopeExit(TScopeExitWhen When, F Action)
      : FAction(std::move(Action)), FWhen(When), FInFlight(std::uncaught_exceptions()) {}
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

  ~TScopeExit() noexcept(false) {
    if (!FArmed) return;
    if (std::uncaught_exceptions() > FInFlight) {
      try {
        FAction();
      } catch (...) {
      }
    } else if (FWhen == seAlways) {
      FAction();
    }
  }

  // The cleanup does not run.
  void Release() { FArmed = false; }
};
