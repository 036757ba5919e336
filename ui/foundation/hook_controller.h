// One shared set of thread hooks for the whole process. Components never
// install a hook of their own: they register a handler for a hook kind,
// the controller installs the kind's hook with the first handler and
// removes it with the last, and every event reaches the handlers newest
// first.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/win/kernel/windef.h"

enum TdxHookKind : uint8_t { hkKeyboard, hkMouse, hkCallWndProc, hkGetMessage, hkCBT };
constexpr int dxHookKindCount = hkCBT + 1;

// A plain procedure; handlers are told apart by their address. All handlers
// of one event share Result: a non-zero value is what the hook returns (1
// in the mouse or keyboard hook discards the input event).
using TdxHookHandlerProc = void (*)(int Code, WPARAM WParam, LPARAM LParam, LRESULT& Result);

class TdxSystemHook : public TObject {
  RTL_CLASS(TdxSystemHook, TObject)
 public:
  explicit TdxSystemHook(TdxHookKind AKind);
  ~TdxSystemHook() override;

  // Installs the hook first when the list is empty, then appends.
  void AddHandler(TdxHookHandlerProc AHandler);
  // Deletes the first occurrence; uninstalls when that empties the list.
  // Answers whether one was found.
  bool RemoveHandler(TdxHookHandlerProc AHandler);
  void Install();
  void Uninstall();
  LRESULT CallHandlers(int Code, WPARAM WParam, LPARAM LParam);

  HHOOK Handle() const { return FHandle; }
  TdxHookKind Kind() const { return FKind; }
  int HandlerCount() const { return static_cast<int>(FHandlers.size()); }

 private:
  // Each registration gets its own serial, so that a walk can tell which
  // of two registrations of one procedure is still there.
  struct TEntry {
    TdxHookHandlerProc Proc;
    uint64_t Serial;
  };
  bool IsRegistered(uint64_t ASerial) const;

  HHOOK FHandle = nullptr;
  TdxHookKind FKind;
  std::vector<TEntry> FHandlers;
  uint64_t FNextSerial = 1;
};

class TdxHookController : public TObject {
  RTL_CLASS(TdxHookController, TObject)
 public:
  TdxHookController();
  ~TdxHookController() override;
  void AddHandler(TdxHookKind AKind, TdxHookHandlerProc AHandler);
  // One occurrence from every kind, kinds in order.
  void RemoveHandler(TdxHookHandlerProc AHandler);
  TdxSystemHook* Hook(TdxHookKind AKind) const { return FHooks[AKind]; }

 private:
  TdxSystemHook* FHooks[dxHookKindCount] = {};
};

// The process-wide controller (nil before the unit starts and after it stops).
TdxHookController* dxHookController();
void dxAddHookHandler(TdxHookKind AKind, TdxHookHandlerProc AHandler);
void dxRemoveHookHandler(TdxHookHandlerProc AHandler);

namespace dx_core_detail {
void StartHooks();
void StopHooks();
}  // namespace dx_core_detail
