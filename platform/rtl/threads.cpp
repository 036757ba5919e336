#include "platform/rtl/threads.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <system_error>

RTL_IMPLEMENT_CLASS(TThread)
RTL_IMPLEMENT_CLASS(TSynchroObject)
RTL_IMPLEMENT_CLASS(TCriticalSection)
RTL_IMPLEMENT_CLASS(TEvent)
RTL_IMPLEMENT_CLASS(TSimpleEvent)

// On Linux the first thread's id is the process id.
TThreadID MainThreadID = static_cast<TThreadID>(getpid());

// Not cached per thread: a forked child's thread has another id.
TThreadID GetCurrentThreadId() { return static_cast<TThreadID>(gettid()); }

namespace {

struct TSyncCall {
  std::function<void()> Method;
  TThread* Thread = nullptr;
  bool Synchronous = false;
  uint64_t Seq = 0;
  bool Done = false;
  std::exception_ptr Error;
};

// One lock guards the call queue and the state of every thread object, and
// one condition announces any change of either: a queued or finished call,
// a started or ended thread. Waits are rare and short, so one is enough.
struct TSyncState {
  std::mutex Lock;
  std::condition_variable Changed;
  std::deque<std::shared_ptr<TSyncCall>> Pending;
  uint64_t LastSeq = 0;
  std::function<void()> Wake;
};

TSyncState& Sync() {
  static TSyncState* s = new TSyncState;  // never destroyed: threads may outlive exit
  return *s;
}

bool OnMainThread() { return GetCurrentThreadId() == MainThreadID; }

void Enqueue(const std::shared_ptr<TSyncCall>& call) {
  TSyncState& s = Sync();
  std::function<void()> wake;
  {
    std::lock_guard lk(s.Lock);
    call->Seq = ++s.LastSeq;
    s.Pending.push_back(call);
    wake = s.Wake;
  }
  s.Changed.notify_all();
  if (wake) wake();
}

// Nice values for the priorities, one step apart from normal.
constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -20};

}  // namespace

void SetWakeMainThreadHook(std::function<void()> hook) {
  std::lock_guard lk(Sync().Lock);
  Sync().Wake = std::move(hook);
}

bool CheckSynchronize(Integer Timeout) {
  if (!OnMainThread())
    throw EThread("CheckSynchronize called from thread $%x, which is NOT the main thread", {GetCurrentThreadId()});
  TSyncState& s = Sync();
  std::unique_lock lk(s.Lock);
  if (s.Pending.empty()) {
    if (Timeout <= 0) return false;
    if (!s.Changed.wait_for(lk, std::chrono::milliseconds(Timeout), [&] { return !s.Pending.empty(); })) return false;
  }
  // Only the calls present now: a call that queues another does not keep
  // this loop running forever.
  const uint64_t last = s.LastSeq;
  bool ran = false;
  while (!s.Pending.empty() && s.Pending.front()->Seq <= last) {
    std::shared_ptr<TSyncCall> call = s.Pending.front();
    s.Pending.pop_front();
    lk.unlock();
    ran = true;
    if (call->Synchronous) {
      try {
        call->Method();
      } catch (...) {
        call->Error = std::current_exception();
      }
      lk.lock();
      call->Done = true;
      s.Changed.notify_all();
    } else {
      // An exception leaves the calls after this one queued for the next time.
      call->Method();
      lk.lock();
    }
  }
  return ran;
}

// ---- TThread ---------------------------------------------------------------

TThread::TThread(bool CreateSuspended) : FCreateSuspended(CreateSuspended) {
  try {
    FThread = std::thread([this] { ThreadProc(); });
  } catch (const std::system_error& e) {
    throw EThread("Thread creation error: %s", {e.what()});
  }
  std::unique_lock lk(Sync().Lock);
  Sync().Changed.wait(lk, [this] { return FThreadID != 0; });
}

TThread::~TThread() { Shutdown(); }

void TThread::operator delete(TThread* p, std::destroying_delete_t) {
  p->Shutdown();
  void* memory = dynamic_cast<void*>(p);
  p->~TThread();
  ::operator delete(memory);
}

void* TThread::operator new(std::size_t size) { return ::operator new(size); }
void TThread::operator delete(void* p) { ::operator delete(p); }

void TThread::ThreadProc() {
  TSyncState& s = Sync();
  bool run;
  {
    std::unique_lock lk(s.Lock);
    FThreadID = GetCurrentThreadId();
    s.Changed.notify_all();
    s.Changed.wait(lk, [this] { return FState != tsCreated || FDestroying; });
    run = !FTerminated;
  }
  std::exception_ptr fatal;
  if (run) {
    try {
      Execute();
    } catch (...) {
      fatal = std::current_exception();
    }
  }
  bool freeThread;
  {
    std::lock_guard lk(s.Lock);
    FFatalException = fatal;
    FFinished = true;
    freeThread = FFreeOnTerminate && !FDestroying;
  }
  try {
    DoTerminate();
  } catch (...) {
    std::lock_guard lk(s.Lock);
    if (!FFatalException) FFatalException = std::current_exception();
  }
  {
    std::lock_guard lk(s.Lock);
    FState = tsDone;
  }
  s.Changed.notify_all();
  // Deleted on the main thread after OnTerminate ran there, never while it runs.
  if (freeThread) Queue(this, [this] { delete this; });
}

void TThread::AfterConstruction() {
  if (!FCreateSuspended) Resume();
}

void TThread::Start() {
  {
    std::lock_guard lk(Sync().Lock);
    if (FState != tsCreated || FDestroying) throw EThread("Cannot call Start on a running or suspended thread");
    FState = tsStarted;
  }
  Sync().Changed.notify_all();
}

void TThread::Resume() {
  {
    std::lock_guard lk(Sync().Lock);
    if (FState != tsCreated || FDestroying) return;
    FState = tsStarted;
  }
  Sync().Changed.notify_all();
}

void TThread::Terminate() {
  std::lock_guard lk(Sync().Lock);
  FTerminated = true;
}

bool TThread::Terminated() const {
  std::lock_guard lk(Sync().Lock);
  return FTerminated;
}

bool TThread::Finished() const {
  std::lock_guard lk(Sync().Lock);
  return FFinished;
}

bool TThread::Suspended() const {
  std::lock_guard lk(Sync().Lock);
  return FState == tsCreated && !FDestroying;
}

std::exception_ptr TThread::FatalException() const {
  std::lock_guard lk(Sync().Lock);
  return FFatalException;
}

TNotifyEvent TThread::OnTerminate() const {
  std::lock_guard lk(Sync().Lock);
  return FOnTerminate;
}

void TThread::SetOnTerminate(TNotifyEvent handler) {
  std::lock_guard lk(Sync().Lock);
  FOnTerminate = std::move(handler);
}

void TThread::SetPriority(TThreadPriority v) {
  std::lock_guard lk(Sync().Lock);
  FPriority = v;
  // The kernel thread lives until it marks itself done under this lock, so
  // the id cannot belong to another thread yet.
  if (FState != tsDone) setpriority(PRIO_PROCESS, static_cast<id_t>(FThreadID), kNice[v]);
}

Integer TThread::WaitFor() {
  if (GetCurrentThreadId() == FThreadID) throw EThread("Thread Error: %s (%d)", {"A thread cannot wait for itself", 1131});
  {
    std::lock_guard lk(Sync().Lock);
    if (FState == tsCreated && !FDestroying) throw EThread("Thread Error: %s (%d)", {"The thread was not started", 1});
  }
  WaitUntilDone();
  return FReturnValue;
}

void TThread::WaitUntilDone() {
  TSyncState& s = Sync();
  const bool main = OnMainThread();
  std::unique_lock lk(s.Lock);
  while (FState != tsDone) {
    if (main && !s.Pending.empty()) {
      lk.unlock();
      CheckSynchronize(0);
      lk.lock();
      continue;
    }
    s.Changed.wait(lk);
  }
}

void TThread::DoTerminate() {
  bool assigned;
  {
    std::lock_guard lk(Sync().Lock);
    assigned = static_cast<bool>(FOnTerminate);
  }
  if (assigned) Synchronize([this] { CallOnTerminate(); });
}

void TThread::CallOnTerminate() {
  TNotifyEvent handler = OnTerminate();  // may have been cleared meanwhile
  if (handler) handler(this);
}

void TThread::Shutdown() {
  if (!FThread.joinable()) return;
  {
    std::lock_guard lk(Sync().Lock);
    FDestroying = true;
    FTerminated = true;
  }
  Sync().Changed.notify_all();
  if (GetCurrentThreadId() == FThreadID) {
    FThread.detach();  // deleted from its own Execute: nothing to wait for
  } else {
    WaitUntilDone();
    FThread.join();
  }
  // After the join nothing can queue for this object any more.
  RemoveQueuedEvents(this);
}

void TThread::Synchronize(TThread* AThread, std::function<void()> Method) {
  if (OnMainThread()) {
    Method();
    return;
  }
  auto call = std::make_shared<TSyncCall>();
  call->Method = std::move(Method);
  call->Thread = AThread;
  call->Synchronous = true;
  Enqueue(call);
  TSyncState& s = Sync();
  {
    std::unique_lock lk(s.Lock);
    s.Changed.wait(lk, [&] { return call->Done; });
  }
  if (call->Error) std::rethrow_exception(call->Error);
}

void TThread::Queue(TThread* AThread, std::function<void()> Method) {
  if (OnMainThread()) {
    Method();
    return;
  }
  auto call = std::make_shared<TSyncCall>();
  call->Method = std::move(Method);
  call->Thread = AThread;
  Enqueue(call);
}

void TThread::RemoveQueuedEvents(TThread* AThread) {
  std::lock_guard lk(Sync().Lock);
  std::erase_if(Sync().Pending, [AThread](const std::shared_ptr<TSyncCall>& c) { return !c->Synchronous && c->Thread == AThread; });
}

// ---- Locks and events ------------------------------------------------------

void InitializeCriticalSection(TRTLCriticalSection& cs) { cs.FSection = new std::recursive_mutex; }
void EnterCriticalSection(TRTLCriticalSection& cs) { cs.FSection->lock(); }
void LeaveCriticalSection(TRTLCriticalSection& cs) { cs.FSection->unlock(); }
bool TryEnterCriticalSection(TRTLCriticalSection& cs) { return cs.FSection->try_lock(); }
void DeleteCriticalSection(TRTLCriticalSection& cs) {
  delete cs.FSection;
  cs.FSection = nullptr;
}

struct TEvent::TState {
  std::mutex Lock;
  std::condition_variable Cond;
  bool ManualReset;
  bool Signaled;
  TState(bool manualReset, bool signaled) : ManualReset(manualReset), Signaled(signaled) {}
};

namespace {
// Named events of the process; an entry lives as long as one TEvent holds it.
std::mutex g_namedEventsLock;
std::map<AnsiString, std::weak_ptr<void>>& NamedEvents() {
  static std::map<AnsiString, std::weak_ptr<void>> events;
  return events;
}
}  // namespace

TEvent::TEvent(void* EventAttributes, bool ManualReset, bool InitialState, const AnsiString& Name) {
  (void)EventAttributes;
  if (Name.empty()) {
    FState = std::make_shared<TState>(ManualReset, InitialState);
    return;
  }
  FNamed = true;
  std::lock_guard g(g_namedEventsLock);
  auto& events = NamedEvents();
  auto it = events.find(Name);
  if (it != events.end()) FState = std::static_pointer_cast<TState>(it->second.lock());
  if (!FState) {
    FState = std::make_shared<TState>(ManualReset, InitialState);
    events[Name] = FState;
  }
}

TEvent::~TEvent() {
  if (!FNamed) return;
  std::lock_guard g(g_namedEventsLock);
  FState.reset();
  // Forget names whose last event is gone, so the map does not grow.
  auto& events = NamedEvents();
  for (auto it = events.begin(); it != events.end();) it = it->second.expired() ? events.erase(it) : std::next(it);
}

void TEvent::SetEvent() {
  {
    std::lock_guard lk(FState->Lock);
    FState->Signaled = true;
  }
  if (FState->ManualReset)
    FState->Cond.notify_all();
  else
    FState->Cond.notify_one();
}

void TEvent::ResetEvent() {
  std::lock_guard lk(FState->Lock);
  FState->Signaled = false;
}

TWaitResult TEvent::WaitFor(Cardinal Timeout) {
  TState& s = *FState;
  std::unique_lock lk(s.Lock);
  auto signaled = [&s] { return s.Signaled; };
  if (Timeout == 0xFFFFFFFF)
    s.Cond.wait(lk, signaled);
  else if (!s.Cond.wait_for(lk, std::chrono::milliseconds(Timeout), signaled))
    return wrTimeout;
  if (!s.ManualReset) s.Signaled = false;
  return wrSignaled;
}

// ---- Interlocked operations, sleeping, ticks -------------------------------

Integer InterlockedIncrement(volatile Integer* Addend) { return __atomic_add_fetch(Addend, 1, __ATOMIC_SEQ_CST); }
Integer InterlockedDecrement(volatile Integer* Addend) { return __atomic_sub_fetch(Addend, 1, __ATOMIC_SEQ_CST); }
Integer InterlockedExchange(volatile Integer* Target, Integer Value) { return __atomic_exchange_n(Target, Value, __ATOMIC_SEQ_CST); }
Integer InterlockedExchangeAdd(volatile Integer* Addend, Integer Value) { return __atomic_fetch_add(Addend, Value, __ATOMIC_SEQ_CST); }
Integer InterlockedCompareExchange(volatile Integer* Destination, Integer Exchange, Integer Comparand) {
  __atomic_compare_exchange_n(Destination, &Comparand, Exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return Comparand;  // the value found, whether or not it was replaced
}

void Sleep(Cardinal Milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds)); }

namespace {
std::atomic<UInt64 (*)()> g_tickSource{nullptr};
}  // namespace

void rtl::detail::SetTickSource(UInt64 (*source)()) { g_tickSource = source; }
bool rtl::detail::HasTickSource() { return g_tickSource.load() != nullptr; }

UInt64 GetTickCount64() {
  if (UInt64 (*source)() = g_tickSource.load()) return source();
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<UInt64>(ts.tv_sec) * 1000u + static_cast<UInt64>(ts.tv_nsec) / 1000000u;
}

Cardinal GetTickCount() { return static_cast<Cardinal>(GetTickCount64()); }
