// Thread hooks: installed per thread, the last installed runs first, each
// passes on with CallNextHookEx. Hooks may be removed in any order, also
// while they run.
#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/user_internal.h"

namespace rtl::detail {
namespace {

std::mutex g_hookLock;
std::unordered_map<uintptr_t, std::shared_ptr<THook>>& HookMap() {
  static std::unordered_map<uintptr_t, std::shared_ptr<THook>> map;
  return map;
}
uintptr_t g_nextHook = 0x48000;

// A chain being walked on this thread: CallNextHookEx continues after the
// calling hook in the chain as it was when the walk began.
struct TChainWalk {
  std::vector<std::shared_ptr<THook>> Chain;
};
thread_local std::vector<TChainWalk*> t_walks;

int Slot(int type) { return type + 1; }

LRESULT CallFrom(TChainWalk& walk, size_t start, int code, WPARAM wParam, LPARAM lParam) {
  for (size_t i = start; i < walk.Chain.size(); ++i) {
    THook& h = *walk.Chain[i];
    if (!h.Alive) continue;
    return h.Proc(code, wParam, lParam);
  }
  return 0;
}

struct TWalkScope {
  TChainWalk Walk;
  explicit TWalkScope(std::vector<std::shared_ptr<THook>> chain) {
    Walk.Chain = std::move(chain);
    t_walks.push_back(&Walk);
  }
  ~TWalkScope() { t_walks.pop_back(); }
};

}  // namespace

bool HasHooks(int type) { return CurrentQueue().HookCounts[Slot(type)].load(std::memory_order_relaxed) > 0; }

LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam) {
  TThreadQueue& q = CurrentQueue();
  std::vector<std::shared_ptr<THook>> chain;
  {
    std::lock_guard<std::mutex> g(g_hookLock);
    chain = q.Hooks[Slot(type)];
  }
  if (chain.empty()) return 0;
  TWalkScope scope(std::move(chain));
  return CallFrom(scope.Walk, 0, code, wParam, lParam);
}

}  // namespace rtl::detail

using namespace rtl::detail;

HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId) {
  if (idHook < WH_MSGFILTER || idHook > WH_MOUSE_LL) {
    SetLastError(ERROR_INVALID_HOOK_FILTER);
    return nullptr;
  }
  if (!proc) {
    SetLastError(ERROR_INVALID_FILTER_PROC);
    return nullptr;
  }
  std::shared_ptr<TThreadQueue> q =
      threadId == 0 || threadId == CurrentThreadId() ? CurrentQueuePtr() : QueueOfThread(threadId);
  if (!q) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return nullptr;
  }
  auto h = std::make_shared<THook>();
  h->Type = idHook;
  h->Proc = proc;
  h->Owner = q;
  std::lock_guard<std::mutex> g(g_hookLock);
  h->Handle = g_nextHook++;
  auto& list = q->Hooks[Slot(idHook)];
  list.insert(list.begin(), h);
  q->HookCounts[Slot(idHook)]++;
  HookMap()[h->Handle] = h;
  return reinterpret_cast<HHOOK>(h->Handle);
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  std::lock_guard<std::mutex> g(g_hookLock);
  auto it = HookMap().find(reinterpret_cast<uintptr_t>(hook));
  if (it == HookMap().end()) {
    SetLastError(ERROR_INVALID_HOOK_HANDLE);
    return FALSE;
  }
  std::shared_ptr<THook> h = it->second;
  HookMap().erase(it);
  h->Alive = false;
  if (auto q = h->Owner.lock()) {
    auto& list = q->Hooks[Slot(h->Type)];
    list.erase(std::remove(list.begin(), list.end(), h), list.end());
    q->HookCounts[Slot(h->Type)]--;
  }
  return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  uintptr_t handle = reinterpret_cast<uintptr_t>(hook);
  for (auto it = t_walks.rbegin(); it != t_walks.rend(); ++it) {
    TChainWalk& walk = **it;
    for (size_t i = 0; i < walk.Chain.size(); ++i)
      if (walk.Chain[i]->Handle == handle) return CallFrom(walk, i + 1, code, wParam, lParam);
  }
  // Called outside a walk: continue after the hook in its current chain.
  std::vector<std::shared_ptr<THook>> chain;
  size_t start = 0;
  {
    std::lock_guard<std::mutex> g(g_hookLock);
    auto found = HookMap().find(handle);
    if (found == HookMap().end()) return 0;
    auto q = found->second->Owner.lock();
    if (!q) return 0;
    chain = q->Hooks[Slot(found->second->Type)];
    auto pos = std::find(chain.begin(), chain.end(), found->second);
    start = static_cast<size_t>(pos - chain.begin()) + 1;
  }
  TWalkScope scope(std::move(chain));
  return CallFrom(scope.Walk, start, code, wParam, lParam);
}
