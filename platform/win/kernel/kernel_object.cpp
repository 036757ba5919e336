// The handle table, the registry of named objects and the wait engine.
#include "platform/win/kernel/kernel_object.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/handle_table.h"

namespace rtl::detail {

TKernelObject::~TKernelObject() = default;
TAcquire TKernelObject::TryAcquire(pid_t) { return TAcquire::Fail; }
void TKernelObject::Undo(pid_t) {}

std::mutex& KernelLock() {
  // Never destroyed: threads may still wait while the process exits.
  static std::mutex* lock = new std::mutex;
  return *lock;
}

pid_t CurrentTid() {
  thread_local const pid_t tid = gettid();
  return tid;
}

bool IsPseudoHandle(HANDLE h) { return h == kCurrentProcessHandle || h == kCurrentThreadHandle; }

// ---- Handle table ----------------------------------------------------------------

namespace {

struct THandleAccess {
  DWORD Access = 0;
  bool Inherit = false;
};

using TKernelHandles = THandleTable<TKernelObject, THandleAccess>;

TKernelHandles& Handles() {
  // Never destroyed: threads may still close handles while the process exits.
  static TKernelHandles* table = new TKernelHandles(THandleKind::Kernel);
  return *table;
}

uintptr_t HandleValue(HANDLE h) { return reinterpret_cast<uintptr_t>(h); }

void ReleaseHandleReference(const std::shared_ptr<TKernelObject>& obj) {
  if (obj->HandleCount.fetch_sub(1) == 1) obj->LastHandleClosed();
}

}  // namespace

HANDLE AddHandle(std::shared_ptr<TKernelObject> obj, DWORD access, bool inherit) {
  TKernelObject* o = obj.get();
  o->HandleCount.fetch_add(1);
  uintptr_t h = Handles().Add(std::move(obj), THandleAccess{access, inherit});
  if (!h) {
    o->HandleCount.fetch_sub(1);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return reinterpret_cast<HANDLE>(h);
}

std::shared_ptr<TKernelObject> LookupHandle(HANDLE h, DWORD access, bool* inherit) {
  if (h == kCurrentProcessHandle) {
    if (inherit) *inherit = false;
    return SelfProcess();
  }
  THandleAccess a;
  std::shared_ptr<TKernelObject> obj = Handles().Get(HandleValue(h), &a);
  if (!obj) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if ((a.Access & access) != access) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  if (inherit) *inherit = a.Inherit;
  return obj;
}

// ---- Named objects ---------------------------------------------------------------

namespace {

struct TNameRegistry {
  std::mutex Lock;
  std::map<std::string, std::weak_ptr<TKernelObject>> Names;
};

TNameRegistry& Names() {
  static TNameRegistry* registry = new TNameRegistry;
  return *registry;
}

}  // namespace

std::string NormalizeObjectName(const char* name) {
  std::string s = name ? name : "";
  static const std::string kLocal = "Local\\";
  if (s.compare(0, kLocal.size(), kLocal) == 0) s.erase(0, kLocal.size());
  return s;
}

std::shared_ptr<TKernelObject> FindOrCreateNamed(const std::string& name, TKernelType type,
                                                 const std::function<std::shared_ptr<TKernelObject>()>& create,
                                                 bool& existed) {
  TNameRegistry& r = Names();
  std::lock_guard g(r.Lock);
  auto it = r.Names.find(name);
  if (it != r.Names.end()) {
    if (std::shared_ptr<TKernelObject> obj = it->second.lock()) {
      if (obj->Type != type) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
      }
      existed = true;
      return obj;
    }
  }
  std::shared_ptr<TKernelObject> obj = create();
  if (!obj) return nullptr;
  obj->Name = name;
  r.Names[name] = obj;
  return obj;
}

std::shared_ptr<TKernelObject> FindNamed(const std::string& name, TKernelType type) {
  TNameRegistry& r = Names();
  std::lock_guard g(r.Lock);
  auto it = r.Names.find(name);
  std::shared_ptr<TKernelObject> obj = it != r.Names.end() ? it->second.lock() : nullptr;
  if (!obj) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  if (obj->Type != type) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return obj;
}

namespace {

// Drops the registry entries of named objects that are gone; run when a
// named object's last handle closes, so the registry stays small.
void PruneNames() {
  TNameRegistry& r = Names();
  std::lock_guard g(r.Lock);
  std::erase_if(r.Names, [](const auto& kv) { return kv.second.expired(); });
}

}  // namespace

// ---- Thread exit -----------------------------------------------------------------

namespace {

struct TThreadExitWatch {
  ~TThreadExitWatch() { AbandonMutexesOf(CurrentTid()); }
};

}  // namespace

void WatchThreadExit() {
  thread_local TThreadExitWatch watch;
  (void)watch;
}

// ---- Waits -----------------------------------------------------------------------

struct TWaiter {
  std::vector<TKernelObject*> Objects;
  bool WaitAll = false;
  pid_t Tid = 0;
  bool Done = false;
  DWORD Result = WAIT_FAILED;
  std::condition_variable Cond;
};

namespace {

// Takes the objects for the waiter when its condition holds. Under
// KernelLock().
bool TryComplete(TWaiter& w) {
  const size_t n = w.Objects.size();
  if (w.WaitAll) {
    bool abandoned = false;
    for (size_t i = 0; i < n; ++i) {
      TAcquire a = w.Objects[i]->TryAcquire(w.Tid);
      if (a == TAcquire::Fail) {
        while (i-- > 0) w.Objects[i]->Undo(w.Tid);
        return false;
      }
      abandoned = abandoned || a == TAcquire::Abandoned;
    }
    w.Result = abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0;
  } else {
    size_t i = 0;
    TAcquire a = TAcquire::Fail;
    for (; i < n; ++i) {
      a = w.Objects[i]->TryAcquire(w.Tid);
      if (a != TAcquire::Fail) break;
    }
    if (i == n) return false;
    w.Result = static_cast<DWORD>((a == TAcquire::Abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + i);
  }
  w.Done = true;
  return true;
}

DWORD WaitObjects(const std::vector<std::shared_ptr<TKernelObject>>& objects, bool waitAll, DWORD ms) {
  WatchThreadExit();
  TWaiter w;
  w.WaitAll = waitAll;
  w.Tid = CurrentTid();
  bool polled = false;
  for (const auto& o : objects) {
    w.Objects.push_back(o.get());
    polled = polled || o->Polled();
  }
  std::vector<TKernelObject*> queues;
  for (TKernelObject* o : w.Objects)
    if (std::find(queues.begin(), queues.end(), o->QueueOwner()) == queues.end()) queues.push_back(o->QueueOwner());

  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  std::unique_lock lk(KernelLock());
  if (TryComplete(w)) return w.Result;
  if (ms == 0) return WAIT_TIMEOUT;
  for (TKernelObject* q : queues) {
    q->WaitBegins();
    q->Waiters.push_back(&w);
  }
  auto pollInterval = std::chrono::milliseconds(1);
  while (!w.Done) {
    if (polled) {
      auto wake = Clock::now() + pollInterval;
      if (ms != INFINITE && deadline < wake) wake = deadline;
      w.Cond.wait_until(lk, wake);
      pollInterval = std::min(pollInterval * 2, std::chrono::milliseconds(16));
    } else if (ms == INFINITE) {
      w.Cond.wait(lk);
    } else {
      w.Cond.wait_until(lk, deadline);
    }
    if (w.Done || TryComplete(w)) break;
    if (ms != INFINITE && Clock::now() >= deadline) {
      w.Result = WAIT_TIMEOUT;
      break;
    }
  }
  for (TKernelObject* q : queues) std::erase(q->Waiters, &w);
  return w.Result;
}

}  // namespace

void SignalObject(TKernelObject* obj) {
  for (TWaiter* w : obj->Waiters)
    if (!w->Done && TryComplete(*w)) w->Cond.notify_one();
}

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL CloseHandle(HANDLE hObject) {
  if (IsPseudoHandle(hObject)) return TRUE;
  std::shared_ptr<TKernelObject> obj = Handles().Remove(HandleValue(hObject));
  if (!obj) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  ReleaseHandleReference(obj);
  bool named = !obj->Name.empty();
  obj.reset();
  if (named) PruneNames();
  return TRUE;
}

namespace {

bool IsCurrentProcess(HANDLE h) {
  if (h == kCurrentProcessHandle) return true;
  std::shared_ptr<TKernelObject> o = LookupHandle(h, 0);
  return o && o == SelfProcess();
}

}  // namespace

BOOL DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle, HANDLE hTargetProcessHandle,
                     PHANDLE lpTargetHandle, DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwOptions) {
  if (lpTargetHandle) *lpTargetHandle = nullptr;
  if (!IsCurrentProcess(hSourceProcessHandle)) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  DWORD access = 0;
  std::shared_ptr<TKernelObject> obj;
  if (hSourceHandle == kCurrentProcessHandle) {
    obj = SelfProcess();
    access = PROCESS_ALL_ACCESS;
  } else if (!IsPseudoHandle(hSourceHandle)) {
    THandleAccess a;
    obj = Handles().Get(HandleValue(hSourceHandle), &a);
    access = a.Access;
  }
  // The copy is made before the source goes, so the object never reads as
  // closed in between; the source goes whatever happens to the copy.
  const bool closeSource = (dwOptions & DUPLICATE_CLOSE_SOURCE) && !IsPseudoHandle(hSourceHandle);
  BOOL ok = TRUE;
  if (!obj) {
    SetLastError(hSourceHandle == kCurrentThreadHandle ? ERROR_NOT_SUPPORTED : ERROR_INVALID_HANDLE);
    ok = FALSE;
  } else if (lpTargetHandle) {
    if (!IsCurrentProcess(hTargetProcessHandle)) {
      SetLastError(ERROR_NOT_SUPPORTED);
      ok = FALSE;
    } else {
      if (!(dwOptions & DUPLICATE_SAME_ACCESS)) access = dwDesiredAccess;
      *lpTargetHandle = AddHandle(std::move(obj), access, bInheritHandle != FALSE);
      ok = *lpTargetHandle != nullptr;
    }
  }
  if (closeSource) {
    DWORD error = GetLastError();
    CloseHandle(hSourceHandle);
    SetLastError(error);
  }
  return ok;
}

HANDLE GetCurrentProcess() { return kCurrentProcessHandle; }
HANDLE GetCurrentThread() { return kCurrentThreadHandle; }

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) {
  if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || !lpHandles) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<TKernelObject>> objects;
  for (DWORD i = 0; i < nCount; ++i) {
    std::shared_ptr<TKernelObject> o = LookupHandle(lpHandles[i], SYNCHRONIZE);
    if (!o) return WAIT_FAILED;
    if (!o->Waitable()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    if (bWaitAll && std::find(objects.begin(), objects.end(), o) != objects.end()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return WAIT_FAILED;
    }
    objects.push_back(std::move(o));
  }
  return WaitObjects(objects, bWaitAll != FALSE, dwMilliseconds);
}
