// Accessibility event hooks: the window manager raises events as windows
// come and go, show, move, take the focus or the foreground and open
// menus; hooks hear them in context (at once, on the raising thread) or
// out of context (queued to the thread that set the hook).
#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/user_internal.h"

namespace rtl::detail {
namespace {

struct TWinEventHook {
  uintptr_t Handle = 0;
  DWORD Min = 0, Max = 0;
  WINEVENTPROC Proc = nullptr;
  DWORD Thread = 0;  // 0: every thread
  DWORD Flags = 0;
  std::weak_ptr<TThreadQueue> Owner;
  DWORD OwnerThread = 0;
  std::atomic<bool> Alive{true};
};

std::mutex g_lock;
std::vector<std::shared_ptr<TWinEventHook>>& Hooks() {
  static std::vector<std::shared_ptr<TWinEventHook>> hooks;
  return hooks;
}
std::atomic<int> g_count{0};
uintptr_t g_next = 0x57000;

}  // namespace

void RaiseWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
  if (g_count.load(std::memory_order_relaxed) == 0) return;
  std::vector<std::shared_ptr<TWinEventHook>> matching;
  DWORD me = CurrentThreadId();
  {
    std::lock_guard<std::mutex> g(g_lock);
    for (auto& h : Hooks()) {
      if (event < h->Min || event > h->Max) continue;
      if (h->Thread && h->Thread != me) continue;
      // One process: skipping the own process skips everything.
      if (h->Flags & WINEVENT_SKIPOWNPROCESS) continue;
      if ((h->Flags & WINEVENT_SKIPOWNTHREAD) && h->OwnerThread == me) continue;
      matching.push_back(h);
    }
  }
  DWORD time = static_cast<DWORD>(ClockNow());
  for (auto& h : matching) {
    auto handle = reinterpret_cast<HWINEVENTHOOK>(h->Handle);
    if (h->Flags & WINEVENT_INCONTEXT) {
      if (h->Alive) h->Proc(handle, event, hwnd, idObject, idChild, me, time);
      continue;
    }
    auto owner = h->Owner.lock();
    if (!owner) continue;
    {
      std::lock_guard<std::mutex> g(owner->Lock);
      owner->Deferred.push_back([h, handle, event, hwnd, idObject, idChild, me, time] {
        if (h->Alive) h->Proc(handle, event, hwnd, idObject, idChild, me, time);
      });
    }
    owner->Wake();
  }
}

}  // namespace rtl::detail

using namespace rtl::detail;

HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE, WINEVENTPROC proc, DWORD idProcess,
                              DWORD idThread, DWORD flags) {
  if (!proc || eventMin > eventMax) {
    SetLastError(87);  // invalid parameter
    return nullptr;
  }
  if (idProcess && idProcess != CurrentProcessId()) {
    // No other process is there to hear from.
    SetLastError(87);  // invalid parameter
    return nullptr;
  }
  auto h = std::make_shared<TWinEventHook>();
  h->Min = eventMin;
  h->Max = eventMax;
  h->Proc = proc;
  h->Thread = idThread;
  h->Flags = flags;
  h->Owner = CurrentQueuePtr();
  h->OwnerThread = CurrentThreadId();
  std::lock_guard<std::mutex> g(g_lock);
  h->Handle = g_next += 4;
  Hooks().push_back(h);
  g_count++;
  return reinterpret_cast<HWINEVENTHOOK>(h->Handle);
}

BOOL UnhookWinEvent(HWINEVENTHOOK hook) {
  std::lock_guard<std::mutex> g(g_lock);
  auto& hooks = Hooks();
  auto it = std::find_if(hooks.begin(), hooks.end(),
                         [hook](const auto& h) { return h->Handle == reinterpret_cast<uintptr_t>(hook); });
  if (it == hooks.end()) {
    SetLastError(6);  // invalid handle
    return FALSE;
  }
  // Queued calls of a removed hook do not run.
  (*it)->Alive = false;
  hooks.erase(it);
  g_count--;
  return TRUE;
}

void NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) { RaiseWinEvent(event, hwnd, idObject, idChild); }
