#include "platform/rtl/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

// Generous bound for a wait that should end at once: a failing test reports
// instead of hanging. Nothing is timed with it.
constexpr Cardinal kLongWait = 20000;

// A thread whose body is a lambda, for tests.
class TLambdaThread : public TThread {
 public:
  std::function<void(TLambdaThread*)> Body;
  std::function<void()> OnDestroy;

  explicit TLambdaThread(std::function<void(TLambdaThread*)> body) : TThread(true), Body(std::move(body)) {}
  ~TLambdaThread() override {
    if (OnDestroy) OnDestroy();
  }
  using TThread::Queue;
  using TThread::SetReturnValue;
  using TThread::Synchronize;
  using TThread::Terminated;

 protected:
  void Execute() override { Body(this); }
};

// Runs CheckSynchronize until pred holds (bounded).
template <class P>
bool PumpUntil(P pred) {
  for (int i = 0; i < 1000 && !pred(); ++i) CheckSynchronize(50);
  return pred();
}

TEST(Synchronize, WorkerBlocksUntilTheMainThreadRunsTheCall) {
  TEvent aboutToSync;
  std::atomic<bool> afterSync{false};
  TThreadID ranOn = 0;
  TLambdaThread t([&](TLambdaThread* self) {
    aboutToSync.SetEvent();
    self->Synchronize([&] { ranOn = GetCurrentThreadId(); });
    afterSync = true;
  });
  t.Start();
  ASSERT_EQ(aboutToSync.WaitFor(kLongWait), wrSignaled);
  // The worker cannot pass Synchronize before the main thread serves it.
  EXPECT_FALSE(afterSync);
  EXPECT_EQ(ranOn, 0u);
  EXPECT_TRUE(PumpUntil([&] { return ranOn != 0; }));
  t.WaitFor();
  EXPECT_TRUE(afterSync);
  EXPECT_EQ(ranOn, MainThreadID);
  EXPECT_NE(t.ThreadID(), MainThreadID);
}

TEST(Synchronize, OnTheMainThreadRunsAtOnce) {
  bool ran = false;
  TThread::Synchronize(nullptr, [&] { ran = true; });
  EXPECT_TRUE(ran);
  ran = false;
  TThread::Queue(nullptr, [&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_FALSE(CheckSynchronize());
}

TEST(Synchronize, ExceptionIsRaisedAgainInTheWorker) {
  AnsiString caught;
  TLambdaThread t([&](TLambdaThread* self) {
    try {
      self->Synchronize([] { throw EConvertError("bad value"); });
    } catch (const EConvertError& e) {
      caught = e.Message();
    }
  });
  t.Start();
  t.WaitFor();  // serves the call on the main thread
  EXPECT_EQ(caught, "bad value");
}

TEST(Synchronize, WaitForOnTheMainThreadServesSynchronizedCalls) {
  int value = 0;
  TLambdaThread t([&](TLambdaThread* self) {
    for (int i = 0; i < 10; ++i) self->Synchronize([&] { ++value; });
    self->SetReturnValue(value);
  });
  t.Start();
  EXPECT_EQ(t.WaitFor(), 10);
}

TEST(Synchronize, CheckSynchronizeOffTheMainThreadRaises) {
  bool raised = false;
  std::thread other([&] {
    try {
      CheckSynchronize();
    } catch (const EThread& e) {
      raised = AnsiString(e.Message()).find("NOT the main thread") != AnsiString::npos;
    }
  });
  other.join();
  EXPECT_TRUE(raised);
}

TEST(Queue, RunsInOrderWithoutBlockingTheWorker) {
  std::vector<int> order;
  TEvent queued;
  TLambdaThread t([&](TLambdaThread* self) {
    for (int i = 0; i < 100; ++i) self->Queue([&order, i] { order.push_back(i); });
    queued.SetEvent();  // reached before the main thread ran any of them
    self->Synchronize([&] { order.push_back(1000); });
  });
  t.Start();
  ASSERT_EQ(queued.WaitFor(kLongWait), wrSignaled);
  EXPECT_TRUE(order.empty());
  t.WaitFor();
  ASSERT_EQ(order.size(), 101u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[i], i);
  EXPECT_EQ(order.back(), 1000);
}

TEST(Queue, WakeHookIsCalledForEachQueuedCall) {
  std::atomic<int> wakes{0};
  SetWakeMainThreadHook([&] { ++wakes; });
  bool ran = false;
  TEvent queued;
  TLambdaThread t([&](TLambdaThread* self) {
    self->Queue([&] { ran = true; });
    queued.SetEvent();
  });
  t.Start();
  ASSERT_EQ(queued.WaitFor(kLongWait), wrSignaled);
  SetWakeMainThreadHook(nullptr);
  EXPECT_EQ(wakes, 1);
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_TRUE(ran);
  t.WaitFor();
}

TEST(Queue, RemoveQueuedEventsDropsThatThreadsCalls) {
  int ran = 0;
  TEvent queued;
  TLambdaThread t([&](TLambdaThread* self) {
    self->Queue([&] { ran += 1; });
    TThread::Queue(nullptr, [&] { ran += 10; });
    queued.SetEvent();
  });
  t.Start();
  ASSERT_EQ(queued.WaitFor(kLongWait), wrSignaled);
  TThread::RemoveQueuedEvents(&t);
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_EQ(ran, 10);
  t.WaitFor();
}

TEST(Queue, ExceptionLeavesTheLaterCallsQueued) {
  std::vector<int> order;
  TEvent queued;
  TLambdaThread t([&](TLambdaThread* self) {
    self->Queue([&] { order.push_back(1); });
    self->Queue([] { throw EAbort("stop"); });
    self->Queue([&] { order.push_back(3); });
    queued.SetEvent();
  });
  t.Start();
  ASSERT_EQ(queued.WaitFor(kLongWait), wrSignaled);
  EXPECT_THROW(CheckSynchronize(), EAbort);
  EXPECT_EQ(order, std::vector<int>{1});
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_EQ(order, (std::vector<int>{1, 3}));
  t.WaitFor();
}

TEST(ThreadLifetime, OnTerminateRunsOnTheMainThreadAfterExecute) {
  std::vector<std::string> events;
  std::mutex lock;
  auto note = [&](const char* s) {
    std::lock_guard lk(lock);
    events.push_back(s);
  };
  TLambdaThread t([&](TLambdaThread* self) {
    note("execute");
    self->SetReturnValue(7);
  });
  TThreadID ranOn = 0;
  TObject* sender = nullptr;
  t.SetOnTerminate([&](TObject* s) {
    ranOn = GetCurrentThreadId();
    sender = s;
    note("terminate");
  });
  EXPECT_TRUE(t.Suspended());
  t.Start();
  EXPECT_EQ(t.WaitFor(), 7);
  EXPECT_FALSE(t.Suspended());
  EXPECT_TRUE(t.Finished());
  EXPECT_EQ(events, (std::vector<std::string>{"execute", "terminate"}));
  EXPECT_EQ(ranOn, MainThreadID);
  EXPECT_EQ(sender, &t);
}

TEST(ThreadLifetime, FreeOnTerminateDeletesAfterOnTerminateOnTheMainThread) {
  std::vector<std::string> events;
  TThreadID deletedOn = 0;
  auto* t = new TLambdaThread([](TLambdaThread*) {});
  t->SetFreeOnTerminate(true);
  t->SetOnTerminate([&](TObject*) { events.push_back("terminate"); });
  t->OnDestroy = [&] {
    events.push_back("destroy");
    deletedOn = GetCurrentThreadId();
  };
  t->Start();
  EXPECT_TRUE(PumpUntil([&] { return deletedOn != 0; }));
  EXPECT_EQ(events, (std::vector<std::string>{"terminate", "destroy"}));
  EXPECT_EQ(deletedOn, MainThreadID);
}

TEST(ThreadLifetime, ExceptionEscapingExecuteIsKept) {
  TLambdaThread t([](TLambdaThread*) { throw EConvertError("'x' is not a valid integer value"); });
  t.Start();
  t.WaitFor();
  ASSERT_TRUE(t.FatalException());
  try {
    std::rethrow_exception(t.FatalException());
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x' is not a valid integer value");
  }
}

TEST(ThreadLifetime, DeletingARunningThreadTerminatesAndWaitsBeforeDestructors) {
  std::vector<std::string> events;
  std::mutex lock;
  TEvent running;
  auto* t = new TLambdaThread([&](TLambdaThread* self) {
    running.SetEvent();
    while (!self->Terminated()) std::this_thread::yield();  // until deleted
    // Synchronising on the way out must not dead-lock the deleting thread.
    self->Synchronize([&] { events.push_back("last call"); });
    std::lock_guard lk(lock);
    events.push_back("execute end");
  });
  t->OnDestroy = [&] {
    std::lock_guard lk(lock);
    events.push_back("destroy");
  };
  t->Start();
  ASSERT_EQ(running.WaitFor(kLongWait), wrSignaled);
  delete t;
  EXPECT_EQ(events, (std::vector<std::string>{"last call", "execute end", "destroy"}));
}

TEST(ThreadLifetime, ThreadDeletedBeforeStartNeverExecutes) {
  bool executed = false;
  auto* t = new TLambdaThread([&](TLambdaThread*) { executed = true; });
  delete t;
  EXPECT_FALSE(executed);
}

TEST(ThreadLifetime, CreateStartsAThreadNotCreatedSuspended) {
  class TRunning : public TThread {
   public:
    TEvent& Done;
    explicit TRunning(TEvent& done) : TThread(false), Done(done) {}

   protected:
    void Execute() override { Done.SetEvent(); }
  };
  TEvent done;
  TRunning* t = TThread::Create<TRunning>(done);
  EXPECT_EQ(done.WaitFor(kLongWait), wrSignaled);
  t->WaitFor();
  delete t;
}

TEST(ThreadLifetime, MisuseRaisesEThread) {
  TLambdaThread t([](TLambdaThread*) {});
  EXPECT_THROW(t.WaitFor(), EThread);  // never started: would wait forever
  t.Start();
  EXPECT_THROW(t.Start(), EThread);
  t.Resume();  // ignored on a started thread
  t.WaitFor();
  bool raised = false;
  TLambdaThread self([&](TLambdaThread* me) {
    try {
      me->WaitFor();
    } catch (const EThread&) {
      raised = true;
    }
  });
  self.Start();
  self.WaitFor();
  EXPECT_TRUE(raised);
}

TEST(ThreadLifetime, PriorityIsKept) {
  TLambdaThread t([](TLambdaThread*) {});
  EXPECT_EQ(t.Priority(), tpNormal);
  for (TThreadPriority p : {tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical}) {
    t.SetPriority(p);
    EXPECT_EQ(t.Priority(), p);
  }
  t.SetPriority(tpLower);
  t.Start();
  t.WaitFor();
  EXPECT_EQ(t.Priority(), tpLower);
}

// ---- Events ----------------------------------------------------------------

TEST(Event, ResetModesAndInitialState) {
  struct Case {
    bool manual, initial;
    std::vector<TWaitResult> waits;  // successive WaitFor(0)
  };
  const Case cases[] = {
      {true, true, {wrSignaled, wrSignaled}},
      {false, true, {wrSignaled, wrTimeout}},
      {true, false, {wrTimeout, wrTimeout}},
      {false, false, {wrTimeout}},
  };
  for (const Case& c : cases) {
    TEvent e(nullptr, c.manual, c.initial, "");
    for (size_t i = 0; i < c.waits.size(); ++i)
      EXPECT_EQ(e.WaitFor(0), c.waits[i]) << "manual " << c.manual << " initial " << c.initial << " wait " << i;
    e.SetEvent();
    EXPECT_EQ(e.WaitFor(0), wrSignaled);
    e.ResetEvent();
    EXPECT_EQ(e.WaitFor(0), wrTimeout);
  }
}

TEST(Event, SameNameSharesOneEventWithinTheProcess) {
  struct Case {
    const char* first;
    const char* second;
    bool shared;
  };
  const Case cases[] = {
      {"ev.shared", "ev.shared", true},
      {"ev.one", "ev.other", false},
      {"", "", false},  // unnamed events are always distinct
      {"ev.Case", "ev.case", false},
  };
  for (const Case& c : cases) {
    TEvent a(nullptr, true, false, c.first);
    TEvent b(nullptr, false, true, c.second);  // ignored when it opens the first
    a.SetEvent();
    EXPECT_EQ(b.WaitFor(0), wrSignaled) << c.first << " / " << c.second;
    // The opened event keeps the first one's manual reset: it stays signalled.
    EXPECT_EQ(b.WaitFor(0), c.shared ? wrSignaled : wrTimeout) << c.first << " / " << c.second;
    b.ResetEvent();
    EXPECT_EQ(a.WaitFor(0), c.shared ? wrTimeout : wrSignaled) << c.first << " / " << c.second;
  }
}

TEST(Event, NamedEventWakesAWaiterOnTheOtherObjectAndEndsWithItsLastHolder) {
  {
    TEvent waiterSide(nullptr, false, false, "ev.cross");
    std::atomic<TWaitResult> got{wrError};
    std::thread waiter([&] { got = waiterSide.WaitFor(); });
    TEvent setterSide(nullptr, false, false, "ev.cross");
    setterSide.SetEvent();
    waiter.join();
    EXPECT_EQ(got.load(), wrSignaled);
    EXPECT_EQ(setterSide.WaitFor(0), wrTimeout);  // auto reset: the waiter took it
    setterSide.SetEvent();
  }
  // Both holders are gone: the name makes a fresh event with its own state.
  TEvent fresh(nullptr, true, false, "ev.cross");
  EXPECT_EQ(fresh.WaitFor(0), wrTimeout);
}

TEST(Event, WakesWaitersOnOtherThreads) {
  TEvent manual;  // manual reset: every waiter passes
  TEvent autoReset(nullptr, false, false, "");
  TSimpleEvent bothDone;
  std::atomic<int> passed{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 2; ++i)
    waiters.emplace_back([&] {
      if (manual.WaitFor() == wrSignaled) ++passed;
      if (passed == 2) bothDone.SetEvent();
    });
  manual.SetEvent();
  EXPECT_EQ(bothDone.WaitFor(kLongWait), wrSignaled);
  for (auto& w : waiters) w.join();

  TEvent autoPassed(nullptr, false, false, "");
  std::thread waiter([&] {
    if (autoReset.WaitFor(kLongWait) == wrSignaled) autoPassed.SetEvent();
  });
  autoReset.SetEvent();
  EXPECT_EQ(autoPassed.WaitFor(kLongWait), wrSignaled);
  waiter.join();
  EXPECT_EQ(autoReset.WaitFor(0), wrTimeout);  // the waiter consumed the signal
}

TEST(Event, TimedWaitEndsWithTimeout) { EXPECT_EQ(TEvent().WaitFor(1), wrTimeout); }

// ---- Locks and interlocked operations ----------------------------------------

TEST(Interlocked, ReturnValues) {
  Integer v = 5;
  EXPECT_EQ(InterlockedIncrement(&v), 6);
  EXPECT_EQ(InterlockedDecrement(&v), 5);
  EXPECT_EQ(InterlockedExchange(&v, 9), 5);
  EXPECT_EQ(InterlockedExchangeAdd(&v, 3), 9);
  EXPECT_EQ(v, 12);
  EXPECT_EQ(InterlockedCompareExchange(&v, 1, 4), 12);  // no match: unchanged
  EXPECT_EQ(v, 12);
  EXPECT_EQ(InterlockedCompareExchange(&v, 1, 12), 12);
  EXPECT_EQ(v, 1);
}

TEST(Interlocked, NoUpdateIsLostUnderContention) {
  constexpr int kThreads = 8, kRounds = 20000;
  Integer counter = 0, sum = 0, casSum = 0;
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t)
    workers.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        InterlockedIncrement(&counter);
        InterlockedExchangeAdd(&sum, 2);
        Integer seen;
        do seen = InterlockedExchangeAdd(&casSum, 0);
        while (InterlockedCompareExchange(&casSum, seen + 3, seen) != seen);
      }
    });
  for (auto& w : workers) w.join();
  EXPECT_EQ(counter, kThreads * kRounds);
  EXPECT_EQ(sum, 2 * kThreads * kRounds);
  EXPECT_EQ(casSum, 3 * kThreads * kRounds);
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads) {
  TCriticalSection cs;
  TRTLCriticalSection rtl;
  InitializeCriticalSection(rtl);
  cs.Enter();
  cs.Enter();
  EnterCriticalSection(rtl);
  EXPECT_TRUE(TryEnterCriticalSection(rtl));
  bool otherGotCs = true, otherGotRtl = true;
  std::thread([&] {
    otherGotCs = cs.TryEnter();
    otherGotRtl = TryEnterCriticalSection(rtl);
  }).join();
  EXPECT_FALSE(otherGotCs);
  EXPECT_FALSE(otherGotRtl);
  cs.Leave();
  cs.Leave();
  LeaveCriticalSection(rtl);
  LeaveCriticalSection(rtl);
  std::thread([&] {
    otherGotCs = cs.TryEnter();
    if (otherGotCs) cs.Leave();
    otherGotRtl = TryEnterCriticalSection(rtl);
    if (otherGotRtl) LeaveCriticalSection(rtl);
  }).join();
  EXPECT_TRUE(otherGotCs);
  EXPECT_TRUE(otherGotRtl);
  DeleteCriticalSection(rtl);
}

TEST(CriticalSection, GuardsAPlainCounter) {
  TCriticalSection cs;
  long counter = 0;
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t)
    workers.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        cs.Acquire();
        ++counter;
        cs.Release();
      }
    });
  for (auto& w : workers) w.join();
  EXPECT_EQ(counter, 80000);
}

}  // namespace
