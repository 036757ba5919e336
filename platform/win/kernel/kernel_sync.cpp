// Events and mutexes.
#include <map>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel_object.h"
#include "platform/win/kernel/kernel_shared.h"

namespace rtl::detail {

namespace {

class TEventObject : public TKernelObject {
 public:
  TEventObject(bool manual, bool initial) : TKernelObject(TKernelType::Event), Manual(manual), Signaled(initial) {}
  bool Waitable() const override { return true; }
  TAcquire TryAcquire(pid_t) override {
    if (!Signaled) return TAcquire::Fail;
    if (!Manual) Signaled = false;
    return TAcquire::Ok;
  }
  void Undo(pid_t) override {
    if (!Manual) Signaled = true;
  }

  const bool Manual;
  bool Signaled;
};

// A mutex owned by a thread, any number of times. A named mutex is also
// held against other processes through its segment's ownership lock, taken
// when the first thread of this process acquires it and dropped when the
// last release leaves it free.
class TMutexObject : public TKernelObject {
 public:
  TMutexObject() : TKernelObject(TKernelType::Mutex) {}
  bool Waitable() const override { return true; }
  bool Polled() const override { return Shared != nullptr; }
  TAcquire TryAcquire(pid_t tid) override;
  void Undo(pid_t tid) override;
  // False unless `tid` owns the mutex.
  bool Release(pid_t tid);
  // Frees a mutex whose owner ended; the next owner learns of it.
  void Abandon();
  pid_t Owner() const { return FOwner; }

  std::unique_ptr<TSharedSegment> Shared;

 private:
  pid_t FOwner = 0;
  uint32_t FCount = 0;
  uint32_t FLocalHeld = 0;
  uint32_t FHeldBefore = 0;

  uint32_t& Held() { return Shared ? Shared->Header->Held : FLocalHeld; }
  void Free();
};

// The mutexes owned at this moment; each stays alive while owned, as only
// its owner's end can free it once its handles are gone. Under KernelLock().
std::map<TMutexObject*, std::shared_ptr<TMutexObject>>& OwnedMutexes() {
  static auto* owned = new std::map<TMutexObject*, std::shared_ptr<TMutexObject>>;
  return *owned;
}

TAcquire TMutexObject::TryAcquire(pid_t tid) {
  if (FCount > 0) {
    if (FOwner != tid) return TAcquire::Fail;
    ++FCount;
    return TAcquire::Ok;
  }
  if (Shared && !Shared->LockByte(1, false)) return TAcquire::Fail;
  FHeldBefore = Held();
  Held() = 1;
  FOwner = tid;
  FCount = 1;
  OwnedMutexes()[this] = std::static_pointer_cast<TMutexObject>(shared_from_this());
  return FHeldBefore ? TAcquire::Abandoned : TAcquire::Ok;
}

void TMutexObject::Free() {
  FOwner = 0;
  FCount = 0;
  if (Shared) Shared->UnlockByte(1);
}

void TMutexObject::Undo(pid_t) {
  if (FCount > 1) {
    --FCount;
    return;
  }
  Held() = FHeldBefore;
  Free();
  // The waiter that undoes holds its own reference.
  OwnedMutexes().erase(this);
}

bool TMutexObject::Release(pid_t tid) {
  if (FCount == 0 || FOwner != tid) return false;
  if (--FCount > 0) return true;
  Held() = 0;
  Free();
  // The releasing caller holds its own reference.
  OwnedMutexes().erase(this);
  SignalObject(this);
  return true;
}

void TMutexObject::Abandon() {
  Free();
  SignalObject(this);
}

HANDLE HandleWithError(std::shared_ptr<TKernelObject> obj, DWORD access, bool inherit, bool existed) {
  HANDLE h = AddHandle(std::move(obj), access, inherit);
  if (h) SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return h;
}

bool Inherit(LPSECURITY_ATTRIBUTES sa) { return sa && sa->bInheritHandle; }

std::shared_ptr<TEventObject> LookupEvent(HANDLE h) {
  return LookupHandleOf<TEventObject>(h, TKernelType::Event, EVENT_MODIFY_STATE);
}

// Opens the named mutex, from this process's registry or from another
// process; creates it when `create` is set.
std::shared_ptr<TKernelObject> NamedMutex(const std::string& name, bool create, bool& existed) {
  bool elsewhere = false;
  std::shared_ptr<TKernelObject> obj = FindOrCreateNamed(
      name, TKernelType::Mutex,
      [&]() -> std::shared_ptr<TKernelObject> {
        auto m = std::make_shared<TMutexObject>();
        m->Shared = std::make_unique<TSharedSegment>();
        if (!m->Shared->Open(name, TKernelType::Mutex, 0, create, elsewhere)) return nullptr;
        return m;
      },
      existed);
  existed = existed || elsewhere;
  return obj;
}

}  // namespace

void AbandonMutexesOf(pid_t tid) {
  std::vector<std::shared_ptr<TMutexObject>> dropped;
  {
    std::lock_guard g(KernelLock());
    auto& owned = OwnedMutexes();
    for (auto it = owned.begin(); it != owned.end();) {
      if (it->first->Owner() == tid) {
        it->first->Abandon();
        dropped.push_back(std::move(it->second));
        it = owned.erase(it);
      } else {
        ++it;
      }
    }
  }
}

}  // namespace rtl::detail

using namespace rtl::detail;

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName) {
  auto create = [&]() -> std::shared_ptr<TKernelObject> {
    return std::make_shared<TEventObject>(bManualReset != FALSE, bInitialState != FALSE);
  };
  bool existed = false;
  std::shared_ptr<TKernelObject> obj;
  if (lpName && *lpName)
    obj = FindOrCreateNamed(NormalizeObjectName(lpName), TKernelType::Event, create, existed);
  else
    obj = create();
  if (!obj) return nullptr;
  return HandleWithError(std::move(obj), EVENT_ALL_ACCESS, Inherit(lpEventAttributes), existed);
}

HANDLE OpenEventA(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName) {
  std::shared_ptr<TKernelObject> obj = FindNamed(NormalizeObjectName(lpName), TKernelType::Event);
  if (!obj) return nullptr;
  return AddHandle(std::move(obj), dwDesiredAccess, bInheritHandle != FALSE);
}

BOOL SetEvent(HANDLE hEvent) {
  std::shared_ptr<TEventObject> e = LookupEvent(hEvent);
  if (!e) return FALSE;
  std::lock_guard g(KernelLock());
  e->Signaled = true;
  SignalObject(e.get());
  return TRUE;
}

BOOL ResetEvent(HANDLE hEvent) {
  std::shared_ptr<TEventObject> e = LookupEvent(hEvent);
  if (!e) return FALSE;
  std::lock_guard g(KernelLock());
  e->Signaled = false;
  return TRUE;
}

BOOL PulseEvent(HANDLE hEvent) {
  std::shared_ptr<TEventObject> e = LookupEvent(hEvent);
  if (!e) return FALSE;
  std::lock_guard g(KernelLock());
  e->Signaled = true;
  SignalObject(e.get());
  e->Signaled = false;
  return TRUE;
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName) {
  bool existed = false;
  std::shared_ptr<TKernelObject> obj;
  if (lpName && *lpName)
    obj = NamedMutex(NormalizeObjectName(lpName), true, existed);
  else
    obj = std::make_shared<TMutexObject>();
  if (!obj) return nullptr;
  if (bInitialOwner && !existed) {
    WatchThreadExit();
    std::lock_guard g(KernelLock());
    obj->TryAcquire(CurrentTid());
  }
  return HandleWithError(std::move(obj), MUTEX_ALL_ACCESS, Inherit(lpMutexAttributes), existed);
}

HANDLE OpenMutexA(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName) {
  bool existed = false;
  std::shared_ptr<TKernelObject> obj = NamedMutex(NormalizeObjectName(lpName), false, existed);
  if (!obj) return nullptr;
  return AddHandle(std::move(obj), dwDesiredAccess, bInheritHandle != FALSE);
}

BOOL ReleaseMutex(HANDLE hMutex) {
  std::shared_ptr<TMutexObject> m = LookupHandleOf<TMutexObject>(hMutex, TKernelType::Mutex, 0);
  if (!m) return FALSE;
  std::lock_guard g(KernelLock());
  if (!m->Release(CurrentTid())) {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  return TRUE;
}
