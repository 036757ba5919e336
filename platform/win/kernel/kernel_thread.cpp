// Threads started by CreateThread, and thread priorities.
#include <pthread.h>
#include <sys/resource.h>

#include <condition_variable>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel_object.h"

namespace rtl::detail {

namespace {

class TThreadObject : public TThreadBase {
 public:
  explicit TThreadObject(DWORD suspendCount) : SuspendCount(suspendCount) {}
  TAcquire TryAcquire(pid_t) override { return Done ? TAcquire::Ok : TAcquire::Fail; }
  DWORD ExitCode() const override { return Done ? Code : STILL_ACTIVE; }
  DWORD Resume() override {
    DWORD previous = SuspendCount;
    if (SuspendCount > 0 && --SuspendCount == 0) Gate.notify_all();
    return previous;
  }
  pid_t Tid() const override { return ThreadTid; }

  // Under KernelLock().
  pid_t ThreadTid = 0;
  DWORD SuspendCount;
  bool Done = false;
  DWORD Code = 0;
  std::condition_variable Gate;
};

struct TStart {
  std::shared_ptr<TThreadObject> Thread;
  LPTHREAD_START_ROUTINE Routine;
  LPVOID Parameter;
};

void* ThreadMain(void* arg) {
  std::unique_ptr<TStart> start(static_cast<TStart*>(arg));
  TThreadObject& t = *start->Thread;
  WatchThreadExit();
  {
    std::unique_lock lk(KernelLock());
    t.ThreadTid = CurrentTid();
    t.Gate.notify_all();
    t.Gate.wait(lk, [&] { return t.SuspendCount == 0; });
  }
  DWORD code = start->Routine(start->Parameter);
  // Mutexes are abandoned before the thread reads as ended.
  AbandonMutexesOf(CurrentTid());
  std::lock_guard g(KernelLock());
  t.Code = code;
  t.Done = true;
  SignalObject(&t);
  return nullptr;
}

// The nice values of the priorities, the same that TThread uses.
int NiceOf(int priority) {
  switch (priority) {
    case THREAD_PRIORITY_IDLE: return 19;
    case THREAD_PRIORITY_LOWEST: return 10;
    case THREAD_PRIORITY_BELOW_NORMAL: return 5;
    case THREAD_PRIORITY_ABOVE_NORMAL: return -5;
    case THREAD_PRIORITY_HIGHEST: return -10;
    case THREAD_PRIORITY_TIME_CRITICAL: return -20;
    default: return 0;
  }
}

bool ValidPriority(int p) {
  return p == THREAD_PRIORITY_IDLE || p == THREAD_PRIORITY_TIME_CRITICAL ||
         (p >= THREAD_PRIORITY_LOWEST && p <= THREAD_PRIORITY_HIGHEST);
}

thread_local int tCurrentPriority = THREAD_PRIORITY_NORMAL;

std::shared_ptr<TThreadBase> LookupThread(HANDLE h, DWORD access, DWORD limitedAccess) {
  return LookupHandleWithEither<TThreadBase>(h, TKernelType::Thread, access, limitedAccess);
}

}  // namespace

}  // namespace rtl::detail

using namespace rtl::detail;

HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, size_t dwStackSize,
                    LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD dwCreationFlags,
                    LPDWORD lpThreadId) {
  if (!lpStartAddress) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto thread = std::make_shared<TThreadObject>((dwCreationFlags & CREATE_SUSPENDED) ? 1 : 0);
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  if (dwStackSize) pthread_attr_setstacksize(&attr, std::max<size_t>(dwStackSize, PTHREAD_STACK_MIN));
  auto* start = new TStart{thread, lpStartAddress, lpParameter};
  pthread_t id;
  int err = pthread_create(&id, &attr, ThreadMain, start);
  pthread_attr_destroy(&attr);
  if (err != 0) {
    delete start;
    SetLastError(ErrnoToOSError(err));
    return nullptr;
  }
  {
    // The id is known once the thread has begun.
    std::unique_lock lk(KernelLock());
    thread->Gate.wait(lk, [&] { return thread->ThreadTid != 0; });
    if (lpThreadId) *lpThreadId = static_cast<DWORD>(thread->ThreadTid);
  }
  return AddHandle(thread, THREAD_ALL_ACCESS, lpThreadAttributes && lpThreadAttributes->bInheritHandle);
}

DWORD ResumeThread(HANDLE hThread) {
  std::shared_ptr<TThreadBase> t = LookupHandleOf<TThreadBase>(hThread, TKernelType::Thread, THREAD_SUSPEND_RESUME);
  if (!t) return static_cast<DWORD>(-1);
  std::lock_guard g(KernelLock());
  return t->Resume();
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  std::shared_ptr<TThreadBase> t = LookupThread(hThread, THREAD_QUERY_INFORMATION, THREAD_QUERY_LIMITED_INFORMATION);
  if (!t) return FALSE;
  if (!lpExitCode) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard g(KernelLock());
  *lpExitCode = t->ExitCode();
  return TRUE;
}

BOOL SetThreadPriority(HANDLE hThread, int nPriority) {
  if (!ValidPriority(nPriority)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  pid_t tid;
  if (hThread == kCurrentThreadHandle) {
    tCurrentPriority = nPriority;
    tid = CurrentTid();
  } else {
    std::shared_ptr<TThreadBase> t = LookupThread(hThread, THREAD_SET_INFORMATION, THREAD_SET_LIMITED_INFORMATION);
    if (!t) return FALSE;
    std::lock_guard g(KernelLock());
    t->Priority = nPriority;
    tid = t->Tid();
  }
  // Raising needs privileges the process usually lacks; the value is kept.
  setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceOf(nPriority));
  return TRUE;
}

int GetThreadPriority(HANDLE hThread) {
  if (hThread == kCurrentThreadHandle) return tCurrentPriority;
  std::shared_ptr<TThreadBase> t = LookupThread(hThread, THREAD_QUERY_INFORMATION, THREAD_QUERY_LIMITED_INFORMATION);
  if (!t) return THREAD_PRIORITY_ERROR_RETURN;
  std::lock_guard g(KernelLock());
  return t->Priority;
}
