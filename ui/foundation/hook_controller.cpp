#include "ui/foundation/hook_controller.h"

#include <algorithm>

#include "platform/forms/forms.h"
#include "platform/rtl/threads.h"
#include "platform/win/user/user.h"

RTL_IMPLEMENT_CLASS(TdxSystemHook)
RTL_IMPLEMENT_CLASS(TdxHookController)

namespace {

TdxHookController* GController = nullptr;

constexpr int kHookIds[dxHookKindCount] = {WH_KEYBOARD, WH_MOUSE, WH_CALLWNDPROC, WH_GETMESSAGE, WH_CBT};

template <TdxHookKind Kind>
LRESULT HookProc(int Code, WPARAM WParam, LPARAM LParam) {
  if (!GController) return CallNextHookEx(nullptr, Code, WParam, LParam);
  return GController->Hook(Kind)->CallHandlers(Code, WParam, LParam);
}

constexpr HOOKPROC kHookProcs[dxHookKindCount] = {&HookProc<hkKeyboard>, &HookProc<hkMouse>,
                                                  &HookProc<hkCallWndProc>, &HookProc<hkGetMessage>,
                                                  &HookProc<hkCBT>};

}  // namespace

// ---- TdxSystemHook ----------------------------------------------------------------------

TdxSystemHook::TdxSystemHook(TdxHookKind AKind) : FKind(AKind) {}

TdxSystemHook::~TdxSystemHook() {
  // Users remove their handlers at their own shut-down; a hook left behind
  // must not call into a freed object.
  if (FHandle) Uninstall();
}

void TdxSystemHook::AddHandler(TdxHookHandlerProc AHandler) {
  // A failed installation is not retried: the list is no longer empty.
  if (FHandlers.empty()) Install();
  FHandlers.push_back({AHandler, FNextSerial++});
}

bool TdxSystemHook::RemoveHandler(TdxHookHandlerProc AHandler) {
  auto it = std::find_if(FHandlers.begin(), FHandlers.end(), [&](const TEntry& E) { return E.Proc == AHandler; });
  if (it == FHandlers.end()) return false;
  FHandlers.erase(it);
  if (FHandlers.empty()) Uninstall();
  return true;
}

void TdxSystemHook::Install() {
  FHandle = SetWindowsHookExA(kHookIds[FKind], kHookProcs[FKind], nullptr, GetCurrentThreadId());
}

void TdxSystemHook::Uninstall() {
  if (FHandle) UnhookWindowsHookEx(FHandle);
  FHandle = nullptr;
}

bool TdxSystemHook::IsRegistered(uint64_t ASerial) const {
  return std::any_of(FHandlers.begin(), FHandlers.end(), [&](const TEntry& E) { return E.Serial == ASerial; });
}

LRESULT TdxSystemHook::CallHandlers(int Code, WPARAM WParam, LPARAM LParam) {
  // The walk goes over the registrations present when the event came, newest
  // first; one removed meanwhile (by itself or any other handler) is skipped,
  // one added meanwhile waits for the next event.
  std::vector<TEntry> walk = FHandlers;
  const HHOOK handle = FHandle;
  LRESULT result = 0;
  for (auto it = walk.rbegin(); it != walk.rend(); ++it) {
    if (!IsRegistered(it->Serial)) continue;
    try {
      it->Proc(Code, WParam, LParam, result);
    } catch (...) {
      if (Application) Application->HandleException(Application);
    }
  }
  LRESULT next = CallNextHookEx(handle, Code, WParam, LParam);
  return result != 0 ? result : next;
}

// ---- TdxHookController ------------------------------------------------------------------

TdxHookController::TdxHookController() {
  for (int kind = 0; kind < dxHookKindCount; ++kind) FHooks[kind] = new TdxSystemHook(static_cast<TdxHookKind>(kind));
}

TdxHookController::~TdxHookController() {
  for (TdxSystemHook*& hook : FHooks) {
    delete hook;
    hook = nullptr;
  }
}

void TdxHookController::AddHandler(TdxHookKind AKind, TdxHookHandlerProc AHandler) {
  FHooks[AKind]->AddHandler(AHandler);
}

void TdxHookController::RemoveHandler(TdxHookHandlerProc AHandler) {
  for (TdxSystemHook* hook : FHooks) hook->RemoveHandler(AHandler);
}

// ---- process-wide controller ------------------------------------------------------------

TdxHookController* dxHookController() { return GController; }

void dxAddHookHandler(TdxHookKind AKind, TdxHookHandlerProc AHandler) {
  if (GController) GController->AddHandler(AKind, AHandler);
}

void dxRemoveHookHandler(TdxHookHandlerProc AHandler) {
  if (GController) GController->RemoveHandler(AHandler);
}

namespace dx_core_detail {

void StartHooks() {
  if (!GController) GController = new TdxHookController;
}

void StopHooks() {
  TdxHookController* controller = GController;
  GController = nullptr;
  delete controller;
}

}  // namespace dx_core_detail
