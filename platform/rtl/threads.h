// Threads and synchronisation: TThread with Synchronize and Queue, the
// main thread's call queue, critical sections, events, interlocked
// operations, sleeping and tick counts.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#include "platform/rtl/closure.h"
#include "platform/rtl/sysutils.h"

using TThreadID = Cardinal;

// The thread that runs the main message loop (the process's first thread).
extern TThreadID MainThreadID;

// The calling thread's kernel id.
TThreadID GetCurrentThreadId();

// ---- The main thread's call queue ------------------------------------------

// Runs the calls that other threads handed to the main thread through
// Synchronize or Queue, in the order they were made. Waits up to Timeout ms
// for a first call when none is pending. Returns whether any call ran.
// Raises EThread when called on another thread than the main one.
bool CheckSynchronize(Integer Timeout = 0);

// Called (on the queuing thread) whenever a call is queued for the main
// thread, so that a message loop blocked in a wait wakes up and calls
// CheckSynchronize. The window system installs it; null removes it.
void SetWakeMainThreadHook(std::function<void()> hook);

// ---- TThread ---------------------------------------------------------------

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// A thread object. The thread exists from construction on and runs Execute
// once started: Start (or Resume) for a thread created suspended, otherwise
// AfterConstruction, which C++ cannot run by itself after the most derived
// constructor: create a running thread through TThread::Create<T>(...).
//
// Deleting a thread object that still runs terminates it and waits for it
// (serving Synchronize calls when the main thread deletes it) before any of
// its destructors run, so Execute never sees a half-destroyed object. A
// thread object on the stack has no such guard: wait for it before leaving
// the scope.
class TThread : public TObject {
  RTL_CLASS(TThread, TObject)

 public:
  explicit TThread(bool CreateSuspended);
  ~TThread() override;
  // Terminates and waits before the destructors run (see above).
  void operator delete(TThread* p, std::destroying_delete_t);
  // The pair that allocates, and frees when a constructor raises.
  static void* operator new(std::size_t size);
  void operator delete(void* p);

  template <class T, class... A>
  static T* Create(A&&... args) {
    T* t = new T(std::forward<A>(args)...);
    t->AfterConstruction();
    return t;
  }
  // Starts a thread that was not created suspended.
  virtual void AfterConstruction();

  // Starts a thread created suspended; raises EThread when it was started
  // already. Resume does the same but ignores a running thread.
  void Start();
  void Resume();
  // Asks Execute to end; Execute polls Terminated.
  void Terminate();
  // Waits until the thread ended (its OnTerminate ran) and returns its
  // ReturnValue. On the main thread it keeps running synchronised calls
  // meanwhile, so a thread that synchronises while ending does not dead-lock.
  Integer WaitFor();

  bool FreeOnTerminate() const { return FFreeOnTerminate; }
  void SetFreeOnTerminate(bool v) { FFreeOnTerminate = v; }
  // Accepted and kept; mapped onto the thread's nice value where the system
  // allows it (raising it above normal usually needs privileges).
  TThreadPriority Priority() const { return FPriority; }
  void SetPriority(TThreadPriority v);
  TThreadID ThreadID() const { return FThreadID; }
  bool Finished() const;
  bool Suspended() const;
  Integer ReturnValue() const { return FReturnValue; }
  // The exception that escaped Execute (or OnTerminate), if any.
  std::exception_ptr FatalException() const;

  // Runs on the main thread, after Execute returned, through Synchronize.
  // It may be set or cleared on the main thread while the thread runs.
  TNotifyEvent OnTerminate() const;
  void SetOnTerminate(TNotifyEvent handler);

  // Runs Method on the main thread and blocks until it ran; an exception it
  // raises is raised again in the caller. On the main thread it runs at once.
  static void Synchronize(TThread* AThread, std::function<void()> Method);
  // Hands Method to the main thread without waiting; on the main thread it
  // runs at once. Its exception propagates out of CheckSynchronize.
  static void Queue(TThread* AThread, std::function<void()> Method);
  // Drops the queued (not synchronised) calls made for AThread.
  static void RemoveQueuedEvents(TThread* AThread);

 protected:
  virtual void Execute() = 0;
  // Calls OnTerminate on the main thread when it is assigned.
  virtual void DoTerminate();
  bool Terminated() const;
  void SetReturnValue(Integer v) { FReturnValue = v; }
  void Synchronize(std::function<void()> Method) { Synchronize(this, std::move(Method)); }
  void Queue(std::function<void()> Method) { Queue(this, std::move(Method)); }

 private:
  enum TState { tsCreated, tsStarted, tsDone };

  std::thread FThread;
  TThreadID FThreadID = 0;
  TState FState = tsCreated;
  bool FCreateSuspended;
  bool FTerminated = false;
  bool FFinished = false;
  bool FDestroying = false;
  bool FFreeOnTerminate = false;
  TThreadPriority FPriority = tpNormal;
  Integer FReturnValue = 0;
  std::exception_ptr FFatalException;
  TNotifyEvent FOnTerminate;

  void ThreadProc();
  void CallOnTerminate();
  void Shutdown();
  void WaitUntilDone();
  void ApplyPriority();
};

// ---- Locks and events ------------------------------------------------------

class TSynchroObject : public TObject {
  RTL_CLASS(TSynchroObject, TObject)

 public:
  virtual void Acquire() {}
  virtual void Release() {}
};

// A lock that the owning thread may take again (recursive).
class TCriticalSection : public TSynchroObject {
  RTL_CLASS(TCriticalSection, TSynchroObject)
  std::recursive_mutex FSection;

 public:
  void Acquire() override { FSection.lock(); }
  void Release() override { FSection.unlock(); }
  bool TryEnter() { return FSection.try_lock(); }
  void Enter() { Acquire(); }
  void Leave() { Release(); }
};

// The record form of a critical section, with its procedures.
struct TRTLCriticalSection {
  std::recursive_mutex* FSection = nullptr;
};
void InitializeCriticalSection(TRTLCriticalSection& cs);
void EnterCriticalSection(TRTLCriticalSection& cs);
void LeaveCriticalSection(TRTLCriticalSection& cs);
bool TryEnterCriticalSection(TRTLCriticalSection& cs);
void DeleteCriticalSection(TRTLCriticalSection& cs);

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError, wrIOCompletion };

// An event: manual reset (stays signalled until reset) or auto reset (one
// waiter passes and resets it). Events with the same non-empty name share one
// event within the process, as named kernel events do: the second one opens
// the first and its ManualReset and InitialState are ignored. Names do not
// reach other processes: a process-shared condition would need shared memory
// that outlives a crashed owner, which nothing here needs.
class TEvent : public TSynchroObject {
  RTL_CLASS(TEvent, TSynchroObject)
  struct TState;
  std::shared_ptr<TState> FState;
  bool FNamed = false;

 public:
  // Manual reset, not signalled.
  TEvent() : TEvent(nullptr, true, false, AnsiString()) {}
  TEvent(void* EventAttributes, bool ManualReset, bool InitialState, const AnsiString& Name);
  ~TEvent() override;
  void SetEvent();
  void ResetEvent();
  // Timeout in ms; 0xFFFFFFFF waits without limit.
  TWaitResult WaitFor(Cardinal Timeout = 0xFFFFFFFF);
  void Acquire() override { WaitFor(); }
  void Release() override { SetEvent(); }
};

class TSimpleEvent : public TEvent {
  RTL_CLASS(TSimpleEvent, TEvent)

 public:
  TSimpleEvent() = default;
};

// ---- Interlocked operations, sleeping, ticks -----------------------------------

// Return the new value.
Integer InterlockedIncrement(volatile Integer* Addend);
Integer InterlockedDecrement(volatile Integer* Addend);
// Return the value before the operation.
Integer InterlockedExchange(volatile Integer* Target, Integer Value);
Integer InterlockedExchangeAdd(volatile Integer* Addend, Integer Value);
Integer InterlockedCompareExchange(volatile Integer* Destination, Integer Exchange, Integer Comparand);

void Sleep(Cardinal Milliseconds);
// Milliseconds since an arbitrary fixed point, from a monotonic clock; the
// 32-bit count wraps after 49.7 days.
Cardinal GetTickCount();
UInt64 GetTickCount64();

namespace rtl::detail {
// Replaces the clock behind GetTickCount (null: the monotonic clock), so
// that code timing itself follows the window system's test clock.
void SetTickSource(UInt64 (*source)());
bool HasTickSource();
}  // namespace rtl::detail
