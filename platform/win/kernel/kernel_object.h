// The inside of the kernel-object layer: the object base, the handle table,
// the wait engine, the registry of named objects and the pipe and thread
// objects that more than one part of the layer reaches.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"

namespace rtl::detail {

enum class TKernelType { Process, Thread, Event, Mutex, Pipe, Mapping, Job };

// The outcome of trying to take a waitable object for a thread.
enum class TAcquire { Fail, Ok, Abandoned };

struct TWaiter;

class TKernelObject : public std::enable_shared_from_this<TKernelObject> {
 public:
  explicit TKernelObject(TKernelType type) : Type(type) {}
  TKernelObject(const TKernelObject&) = delete;
  TKernelObject& operator=(const TKernelObject&) = delete;
  virtual ~TKernelObject();

  const TKernelType Type;

  // ---- Waiting; everything here runs under KernelLock().
  virtual bool Waitable() const { return false; }
  // Takes the object for thread `tid` when it is signalled: consumes an
  // auto-reset event, acquires a mutex. Fail leaves the object untouched.
  virtual TAcquire TryAcquire(pid_t tid);
  // Gives back what a successful TryAcquire took (a wait for all objects
  // that could not take the rest).
  virtual void Undo(pid_t tid);
  // True when another process can signal the object without telling us,
  // so that its waiters must look again now and then.
  virtual bool Polled() const { return false; }
  // The object whose waiter queue this object's waiters join (a child's
  // primary thread ends with its process).
  virtual TKernelObject* QueueOwner() { return this; }
  // A waiter is about to block on the object's queue: an object signalled
  // from outside makes sure that something now watches for the signal.
  virtual void WaitBegins() {}
  std::vector<TWaiter*> Waiters;

  // ---- Handles.
  // Called outside every lock when the last handle to the object closed.
  virtual void LastHandleClosed() {}
  std::atomic<int> HandleCount{0};

  // The name the object is registered under ("" when unnamed).
  std::string Name;
};

// The lock of every object's wait state.
std::mutex& KernelLock();
// Completes the waiters that `obj` (now signalled) satisfies. Under
// KernelLock().
void SignalObject(TKernelObject* obj);

// ---- Handles -------------------------------------------------------------------

HANDLE AddHandle(std::shared_ptr<TKernelObject> obj, DWORD access, bool inherit);
// The object of a handle; null with ERROR_INVALID_HANDLE for a closed or
// foreign handle or another kind of object, with ERROR_ACCESS_DENIED when
// the handle lacks one of the rights in `access`. Pseudo handle -1 is the
// current process.
std::shared_ptr<TKernelObject> LookupHandle(HANDLE h, DWORD access, bool* inherit = nullptr);
template <class T>
std::shared_ptr<T> LookupHandleOf(HANDLE h, TKernelType type, DWORD access, bool* inherit = nullptr) {
  std::shared_ptr<TKernelObject> o = LookupHandle(h, access, inherit);
  if (o && o->Type != type) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return std::static_pointer_cast<T>(o);
}
// The same, for a handle with either of two rights (a right and its
// limited form).
template <class T>
std::shared_ptr<T> LookupHandleWithEither(HANDLE h, TKernelType type, DWORD access, DWORD otherAccess) {
  if (!LookupHandleOf<T>(h, type, 0)) return nullptr;
  std::shared_ptr<T> o = LookupHandleOf<T>(h, type, access);
  return o ? o : LookupHandleOf<T>(h, type, otherAccess);
}
bool IsPseudoHandle(HANDLE h);
inline const HANDLE kCurrentProcessHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
inline const HANDLE kCurrentThreadHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

// The object that stands for this process (defined with the processes).
std::shared_ptr<TKernelObject> SelfProcess();

// ---- Named objects ---------------------------------------------------------------

// The object registered under `name`, or, when there is none, the one that
// `create` makes (null with the last error set when it fails), registered
// then. `existed` tells which. An object of another type under that name
// fails with ERROR_INVALID_HANDLE. Runs `create` under the registry's lock.
std::shared_ptr<TKernelObject> FindOrCreateNamed(const std::string& name, TKernelType type,
                                                 const std::function<std::shared_ptr<TKernelObject>()>& create,
                                                 bool& existed);
// The object registered under `name`; null with ERROR_FILE_NOT_FOUND or,
// for another type, ERROR_INVALID_HANDLE.
std::shared_ptr<TKernelObject> FindNamed(const std::string& name, TKernelType type);
// Object names without the session prefix "Local\", which is the default.
std::string NormalizeObjectName(const char* name);

// ---- Threads and mutexes -----------------------------------------------------------

pid_t CurrentTid();
// Makes sure the calling thread abandons the mutexes it owns when it ends.
void WatchThreadExit();
// Abandons the mutexes that thread `tid` owns (defined with the mutexes).
void AbandonMutexesOf(pid_t tid);

// Reaps a child started outside CreateProcess (the shell's programs) on the
// process watcher's thread and tells onExit its exit status (non-zero when
// it did not exit normally). False when the child cannot be watched.
bool WatchDetachedChild(pid_t pid, std::function<void(int code)> onExit);

// ---- Shared object kinds ------------------------------------------------------------

// One end of a pipe. The descriptor lives as long as the object, so a
// thread blocked on it never sees it closed and reused underneath; closing
// the last handle wakes such a thread instead.
class TPipeObject : public TKernelObject {
 public:
  explicit TPipeObject(int fd) : TKernelObject(TKernelType::Pipe), Fd(fd) {}
  ~TPipeObject() override;
  void LastHandleClosed() override;
  // Waits until the descriptor is ready for `events` (poll flags); false
  // when the last handle closed meanwhile.
  bool WaitReady(short events);

  const int Fd;

 private:
  std::mutex FLock;
  bool FClosed = false;
  int FWakeFd = -1;
};

// A thread: one started by CreateThread, or a child process's first thread.
class TThreadBase : public TKernelObject {
 public:
  TThreadBase() : TKernelObject(TKernelType::Thread) {}
  bool Waitable() const override { return true; }
  // Under KernelLock().
  virtual DWORD ExitCode() const = 0;
  // The previous suspend count; under KernelLock().
  virtual DWORD Resume() = 0;
  // The system's id of the thread (0 until known).
  virtual pid_t Tid() const = 0;
  int Priority = THREAD_PRIORITY_NORMAL;
};

}  // namespace rtl::detail
