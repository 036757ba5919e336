// The per-thread message queue: sending (re-entrant on the thread, handed
// over between threads), posting from any thread, retrieval with filters
// and the original priorities (sent, posted, quit, input, paint, timer),
// waiting for work, and the main thread's synchronised calls.
//
// Between threads, SendMessage hands the message to the receiving thread's
// queue and blocks; the receiver runs it the next time it retrieves
// messages (GetMessage, PeekMessage, WaitMessage) or waits for its own
// SendMessage to another thread, so two threads sending to each other do
// not dead-lock. Parameters are passed as they are (one address space).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <unordered_map>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/threads.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_native.h"
#include "platform/win/user/user_paint.h"

namespace rtl::detail {
namespace {

constexpr DWORD kErrorMessageSyncOnly = 1159;
constexpr DWORD kErrorNotEnoughQuota = 1816;
constexpr size_t kPostedLimit = 10000;

std::mutex g_queuesLock;
std::unordered_map<DWORD, std::weak_ptr<TThreadQueue>>& QueueMap() {
  static std::unordered_map<DWORD, std::weak_ptr<TThreadQueue>> map;
  return map;
}

std::atomic<bool> g_syncPending{false};

void InstallSyncHook();

// Runs when the thread ends: its windows go, waiting senders are released.
struct TQueueHolder {
  std::shared_ptr<TThreadQueue> Queue;
  ~TQueueHolder();
};
thread_local TQueueHolder t_holder;

void ReleaseSenders(TThreadQueue& q) {
  std::deque<std::shared_ptr<TSentMessage>> pending;
  {
    std::lock_guard<std::mutex> g(q.Lock);
    q.Alive = false;
    pending.swap(q.Sent);
  }
  for (auto& sm : pending) {
    if (!sm->Sender) continue;
    {
      std::lock_guard<std::mutex> g(sm->Sender->Lock);
      sm->Done = true;
    }
    sm->Sender->Cond.notify_all();
  }
}

TQueueHolder::~TQueueHolder() {
  if (!Queue) return;
  // The main thread keeps its windows until the process ends; a worker
  // thread's windows are destroyed with it.
  if (Queue->ThreadId != MainThreadID) {
    std::vector<HWND> mine;
    for (TWnd* t : TChildSnapshot(Desktop()))
      if (t->Queue == Queue) mine.push_back(t->Handle);
    for (TWnd* t : TChildSnapshot(MessageRoot()))
      if (t->Queue == Queue) mine.push_back(t->Handle);
    for (HWND h : mine) {
      try {
        DestroyWindow(h);
      } catch (...) {
        // A window procedure that raises while its thread ends cannot be
        // reported to anyone.
      }
    }
  }
  ReleaseSenders(*Queue);
  std::lock_guard<std::mutex> g(g_queuesLock);
  QueueMap().erase(Queue->ThreadId);
}

bool MatchHwnd(HWND filter, HWND h) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) return h == nullptr;
  if (h == filter) return true;
  return h && IsChild(filter, h);
}

bool MatchMsg(UINT msg, UINT first, UINT last) {
  if (!first && !last) return true;
  if (first <= last) return msg >= first && msg <= last;
  return msg >= first || msg <= last;
}

// Messages whose parameters point into the sender's memory cannot wait in
// a queue.
bool CarriesPointer(UINT msg) {
  switch (msg) {
    case WM_CREATE:
    case WM_NCCREATE:
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETMINMAXINFO:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_NCCALCSIZE:
    case WM_COPYDATA:
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
    case WM_SIZING:
    case WM_MOVING:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_HELP:
      return true;
  }
  return false;
}

// Hands one message sent by another thread to its window and answers.
void RunSent(TThreadQueue& q, const std::shared_ptr<TSentMessage>& sm) {
  auto saved = q.CurrentSent;
  q.CurrentSent = sm;
  LRESULT r = 0;
  bool answered = false;
  struct TRestore {
    TThreadQueue& Q;
    std::shared_ptr<TSentMessage> Saved;
    std::shared_ptr<TSentMessage> Mine;
    LRESULT* Result;
    bool* Answered;
    ~TRestore() {
      Q.CurrentSent = Saved;
      auto sender = Mine->Sender;
      if (!sender) return;
      {
        std::lock_guard<std::mutex> g(sender->Lock);
        if (Mine->Done) return;
        Mine->Result = *Result;
        Mine->Answered = *Answered;
        Mine->Done = true;
        if (Mine->Callback) sender->Callbacks.push_back(Mine);
      }
      sender->Wake();
    }
  } restore{q, saved, sm, &r, &answered};
  if (TWnd* w = GetWndNoError(sm->Hwnd)) {
    if (w->Queue.get() == &q) {
      TWndRef ref(w);
      if (sm->Action) {
        // Not a message: no hooks see it.
        answered = true;
        r = sm->Action(w);
        return;
      }
      answered = true;
      if (HasHooks(WH_CALLWNDPROC)) {
        CWPSTRUCT cwp{sm->LParam, sm->WParam, sm->Msg, sm->Hwnd};
        CallHooks(WH_CALLWNDPROC, HC_ACTION, 0, reinterpret_cast<LPARAM>(&cwp));
      }
      r = CallProc(w->Proc, sm->Hwnd, sm->Msg, sm->WParam, sm->LParam);
      if (HasHooks(WH_CALLWNDPROCRET)) {
        CWPRETSTRUCT ret{r, sm->LParam, sm->WParam, sm->Msg, sm->Hwnd};
        CallHooks(WH_CALLWNDPROCRET, HC_ACTION, 0, reinterpret_cast<LPARAM>(&ret));
      }
    }
  }
}

// Runs the messages other threads sent, and the answers to our
// SendMessageCallback calls. Answers whether anything ran.
bool ProcessIncoming(TThreadQueue& q) {
  bool any = false;
  for (;;) {
    std::shared_ptr<TSentMessage> sm, cb;
    std::function<void()> deferred;
    {
      std::lock_guard<std::mutex> g(q.Lock);
      if (!q.Sent.empty()) {
        sm = q.Sent.front();
        q.Sent.pop_front();
      } else if (!q.Callbacks.empty()) {
        cb = q.Callbacks.front();
        q.Callbacks.pop_front();
      } else if (!q.Deferred.empty()) {
        deferred = std::move(q.Deferred.front());
        q.Deferred.pop_front();
      }
    }
    if (sm) {
      RunSent(q, sm);
    } else if (cb) {
      cb->Callback(cb->Hwnd, cb->Msg, cb->CallbackData, cb->Result);
    } else if (deferred) {
      deferred();
    } else {
      return any;
    }
    any = true;
  }
}

void RunSynchronized(TThreadQueue& q) {
  if (q.ThreadId != MainThreadID) return;
  if (g_syncPending.exchange(false)) CheckSynchronize(0);
}

// How long a wait may last before a timer falls due (ms; -1: no limit).
int TimerWaitLimit(TThreadQueue& q) {
  uint64_t due = NextTimerDue(q);
  if (due == UINT64_MAX || ClockIsVirtual()) return -1;
  uint64_t now = ClockNow();
  return due <= now ? 0 : static_cast<int>(std::min<uint64_t>(due - now, 0x7FFFFFFF));
}

// Marks the thread as waiting for work (not hung) while it lives.
struct TWaiting {
  TThreadQueue& Q;
  bool Was;
  explicit TWaiting(TThreadQueue& q) : Q(q), Was(q.Waiting.exchange(true)) {}
  ~TWaiting() {
    Q.LastPumped = ClockNow();
    Q.Waiting = Was;
  }
};

// Blocks until something is handed to the queue, native input arrives or
// timeoutMs passes (negative: no limit).
void WaitForWork(TThreadQueue& q, int timeoutMs) {
  // What was drawn shows before the thread sleeps.
  if (q.ThreadId == MainThreadID) FlushDamage();
  TWaiting waiting(q);
  int limit = TimerWaitLimit(q);
  if (limit >= 0 && (timeoutMs < 0 || limit < timeoutMs)) timeoutMs = limit;
  if (q.UsesBackend) {
    {
      std::lock_guard<std::mutex> g(q.Lock);
      if (q.WakeFlag) {
        q.WakeFlag = false;
        return;
      }
    }
    BackendWait(timeoutMs);
    std::lock_guard<std::mutex> g(q.Lock);
    q.WakeFlag = false;
    return;
  }
  std::unique_lock<std::mutex> lk(q.Lock);
  if (timeoutMs < 0) {
    q.Cond.wait(lk, [&] { return q.WakeFlag; });
  } else {
    q.Cond.wait_for(lk, std::chrono::milliseconds(timeoutMs), [&] { return q.WakeFlag; });
  }
  q.WakeFlag = false;
}

struct TFilter {
  HWND Hwnd = nullptr;
  UINT First = 0;
  UINT Last = 0;
  UINT Flags = PM_REMOVE;
  UINT Types() const { return (Flags >> 16) ? (Flags >> 16) : 0xFFFF; }
};

// One pass over the queue in priority order; answers whether a message
// was found (with PM_REMOVE it is taken out of the queue).
bool Retrieve(TThreadQueue& q, const TFilter& f, MSG& msg) {
  const UINT types = f.Types();
  const bool remove = (f.Flags & PM_REMOVE) != 0;
  q.LastPumped = ClockNow();
  {
    std::lock_guard<std::mutex> g(q.Lock);
    q.WakeFlag = false;
  }
  if (types & QS_SENDMESSAGE) ProcessIncoming(q);
  RunSynchronized(q);
  RunSystemTimers(q);

  if (types & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE)) {
    std::lock_guard<std::mutex> g(q.Lock);
    for (auto it = q.Posted.begin(); it != q.Posted.end(); ++it) {
      if (!MatchHwnd(f.Hwnd, it->hwnd) || !MatchMsg(it->message, f.First, f.Last)) continue;
      msg = *it;
      if (remove) q.Posted.erase(it);
      return true;
    }
  }
  if ((types & QS_POSTMESSAGE) && MatchMsg(WM_QUIT, f.First, f.Last) && MatchHwnd(f.Hwnd, nullptr)) {
    std::lock_guard<std::mutex> g(q.Lock);
    if (q.QuitPosted) {
      msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.QuitCode), 0, static_cast<DWORD>(ClockNow()), CursorPosition()};
      if (remove) q.QuitPosted = false;
      return true;
    }
  }
  if ((types & QS_INPUT) && RetrieveInput(q, f.Hwnd, f.First, f.Last, f.Flags, msg)) return true;
  if ((types & QS_PAINT) && MatchMsg(WM_PAINT, f.First, f.Last) && RetrievePaint(q, f.Hwnd, msg)) {
    msg.time = static_cast<DWORD>(ClockNow());
    msg.pt = CursorPosition();
    return true;
  }
  if ((types & QS_TIMER) && MatchMsg(WM_TIMER, f.First, f.Last) && RetrieveTimer(q, f.Hwnd, remove, msg)) return true;
  return false;
}

bool PeekImpl(TThreadQueue& q, MSG& out, const TFilter& f) {
  if (!Retrieve(q, f, out)) return false;
  if (f.Flags & PM_REMOVE) q.LastMsg = out;
  if (HasHooks(WH_GETMESSAGE))
    CallHooks(WH_GETMESSAGE, HC_ACTION, f.Flags & PM_REMOVE, reinterpret_cast<LPARAM>(&out));
  return true;
}

bool ValidFilter(HWND hwnd) {
  if (!hwnd || hwnd == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) return true;
  return GetWnd(hwnd) != nullptr;
}

// A table of registered names (window messages and clipboard formats share
// it, as they share the system's atom table).
std::mutex g_atomLock;
std::vector<AnsiString>& AtomNames() {
  static std::vector<AnsiString> names;
  return names;
}

void InstallSyncHook() {
  SetWakeMainThreadHook([] {
    g_syncPending = true;
    if (auto q = QueueOfThread(MainThreadID)) q->Wake();
  });
}

}  // namespace

void TThreadQueue::Wake() {
  {
    std::lock_guard<std::mutex> g(Lock);
    WakeFlag = true;
  }
  Cond.notify_all();
  if (UsesBackend) WakeBackend();
}

DWORD CurrentThreadId() { return GetCurrentThreadId(); }

std::shared_ptr<TThreadQueue> CurrentQueuePtr() {
  if (!t_holder.Queue) {
    auto q = std::make_shared<TThreadQueue>();
    q->ThreadId = CurrentThreadId();
    q->LastPumped = ClockNow();
    InitKeyToggles(q->KeyState);
    {
      std::lock_guard<std::mutex> g(g_queuesLock);
      QueueMap()[q->ThreadId] = q;
    }
    t_holder.Queue = q;
    if (q->ThreadId == MainThreadID) InstallSyncHook();
  }
  return t_holder.Queue;
}

TThreadQueue& CurrentQueue() {
  if (!t_holder.Queue) CurrentQueuePtr();
  return *t_holder.Queue;
}

std::shared_ptr<TThreadQueue> QueueOfThread(DWORD threadId) {
  std::lock_guard<std::mutex> g(g_queuesLock);
  auto it = QueueMap().find(threadId);
  if (it == QueueMap().end()) return nullptr;
  return it->second.lock();
}

void WakeAllQueues() {
  std::vector<std::shared_ptr<TThreadQueue>> all;
  {
    std::lock_guard<std::mutex> g(g_queuesLock);
    for (auto& [id, wq] : QueueMap())
      if (auto q = wq.lock()) all.push_back(q);
  }
  for (auto& q : all) q->Wake();
}

LRESULT CallProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  return proc(hwnd, msg, wParam, lParam);
}

namespace {

constexpr uint64_t kHungAfterMs = 5000;

enum TSendOutcome { soAnswered, soTimedOut, soGone };

// Sends to a window of another thread and waits for the answer, running
// what is sent to us meanwhile (unless SMTO_BLOCK). timeoutMs < 0 waits
// without limit. With an action, the window's thread runs it instead of a
// message.
LRESULT SendAcross(const std::shared_ptr<TThreadQueue>& target, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                   int timeoutMs, UINT smto, TSendOutcome* outcome,
                   const std::function<LRESULT(TWnd*)>& action = nullptr) {
  TSendOutcome ignored;
  if (!outcome) outcome = &ignored;
  *outcome = soGone;
  if ((smto & SMTO_ABORTIFHUNG) && QueueLooksHung(*target)) {
    *outcome = soTimedOut;
    return 0;
  }
  auto sm = std::make_shared<TSentMessage>();
  sm->Hwnd = hwnd;
  sm->Msg = msg;
  sm->WParam = wParam;
  sm->LParam = lParam;
  sm->Sender = CurrentQueuePtr();
  sm->Action = action;
  {
    std::lock_guard<std::mutex> g(target->Lock);
    if (!target->Alive) return 0;
    target->Sent.push_back(sm);
  }
  target->Wake();
  TThreadQueue& me = CurrentQueue();
  const bool serve = !(smto & SMTO_BLOCK);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    if (serve && ProcessIncoming(me)) me.LastPumped = ClockNow();
    std::unique_lock<std::mutex> lk(me.Lock);
    if (sm->Done) {
      *outcome = sm->Answered ? soAnswered : soGone;
      return sm->Result;
    }
    if (serve && !me.Sent.empty()) continue;
    auto ready = [&] { return sm->Done || (serve && !me.Sent.empty()); };
    if (timeoutMs < 0) {
      me.Cond.wait(lk, ready);
    } else if (!me.Cond.wait_until(lk, deadline, ready)) {
      if ((smto & SMTO_NOTIMEOUTIFNOTHUNG) && !QueueLooksHung(*target)) {
        // Past the time, but the receiver still works: look again soon.
        deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
        continue;
      }
      // Too late: the answer, when it comes, goes nowhere.
      sm->Done = true;
      *outcome = soTimedOut;
      return 0;
    }
  }
}

// Hands a message to another thread without waiting; the callback, if
// any, runs on this thread with the answer.
bool SendAsync(const std::shared_ptr<TThreadQueue>& target, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
               SENDASYNCPROC callback, ULONG_PTR data, const std::function<LRESULT(TWnd*)>& action = nullptr) {
  auto sm = std::make_shared<TSentMessage>();
  sm->Hwnd = hwnd;
  sm->Msg = msg;
  sm->WParam = wParam;
  sm->LParam = lParam;
  sm->Notify = true;
  sm->Callback = callback;
  sm->CallbackData = data;
  sm->Action = action;
  if (callback) sm->Sender = CurrentQueuePtr();
  {
    std::lock_guard<std::mutex> g(target->Lock);
    if (!target->Alive) return false;
    target->Sent.push_back(sm);
  }
  target->Wake();
  return true;
}

}  // namespace

bool QueueLooksHung(const TThreadQueue& q) {
  if (q.Waiting) return false;
  uint64_t last = q.LastPumped, now = ClockNow();
  return now > last && now - last > kHungAfterMs;
}

LRESULT RunOnOwner(HWND hwnd, const std::function<LRESULT(TWnd*)>& f, bool wait) {
  TWnd* w = nullptr;
  auto q = QueueOfWindow(hwnd, &w);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (!q || q.get() == &CurrentQueue()) {
    TWndRef ref(w);
    return f(w);
  }
  if (!wait) {
    if (SendAsync(q, hwnd, 0, 0, 0, nullptr, 0, f)) return 1;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  TSendOutcome outcome;
  LRESULT r = SendAcross(q, hwnd, 0, 0, 0, -1, 0, &outcome, f);
  if (outcome != soAnswered) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return r;
}

LRESULT SendToWnd(TWnd* w, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND h = w->Handle;
  if (w->Queue && w->Queue.get() != &CurrentQueue()) return SendAcross(w->Queue, h, msg, wParam, lParam, -1, 0, nullptr);
  TWndRef ref(w);
  static const bool trace = TraceOn("msg");
  if (trace) Trace("msg", "send %p %04X %lx %lx", static_cast<void*>(h), msg, static_cast<unsigned long>(wParam),
                   static_cast<unsigned long>(lParam));
  if (HasHooks(WH_CALLWNDPROC)) {
    CWPSTRUCT cwp{lParam, wParam, msg, h};
    CallHooks(WH_CALLWNDPROC, HC_ACTION, 1, reinterpret_cast<LPARAM>(&cwp));
  }
  LRESULT r = CallProc(w->Proc, h, msg, wParam, lParam);
  if (HasHooks(WH_CALLWNDPROCRET)) {
    CWPRETSTRUCT ret{r, lParam, wParam, msg, h};
    CallHooks(WH_CALLWNDPROCRET, HC_ACTION, 1, reinterpret_cast<LPARAM>(&ret));
  }
  return r;
}

bool PostToWnd(TWnd* w, UINT msg, WPARAM wParam, LPARAM lParam) {
  return PostMessageA(w->Handle, msg, wParam, lParam) != FALSE;
}

bool PostTo(const std::shared_ptr<TThreadQueue>& q, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MSG m{hwnd, msg, wParam, lParam, static_cast<DWORD>(ClockNow()), CursorPosition()};
  {
    std::lock_guard<std::mutex> g(q->Lock);
    if (!q->Alive) return false;
    if (q->Posted.size() >= kPostedLimit) {
      SetLastError(kErrorNotEnoughQuota);
      return false;
    }
    q->Posted.push_back(m);
  }
  q->Wake();
  return true;
}

UINT RegisterAtomName(LPCSTR name) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard<std::mutex> g(g_atomLock);
  auto& names = AtomNames();
  for (size_t i = 0; i < names.size(); ++i)
    if (SameName(names[i], name)) return static_cast<UINT>(0xC000 + i);
  if (names.size() >= 0x4000) return 0;
  names.push_back(name);
  return static_cast<UINT>(0xC000 + names.size() - 1);
}

AnsiString AtomName(UINT atom) {
  std::lock_guard<std::mutex> g(g_atomLock);
  auto& names = AtomNames();
  if (atom < 0xC000 || atom - 0xC000 >= names.size()) return AnsiString();
  return names[atom - 0xC000];
}

}  // namespace rtl::detail

using namespace rtl::detail;

// ---- Sending --------------------------------------------------------------------

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallProc(proc, hwnd, msg, wParam, lParam);
}

namespace {

// The top-level windows a broadcast reaches, as they are now.
std::vector<HWND> BroadcastTargets() { return TChildSnapshot(Desktop()).Handles(); }

}  // namespace

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST) {
    for (HWND h : BroadcastTargets()) SendMessageA(h, msg, wParam, lParam);
    return 1;
  }
  TWnd* w = nullptr;
  auto q = QueueOfWindow(hwnd, &w);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (q && q.get() != &CurrentQueue()) return SendAcross(q, hwnd, msg, wParam, lParam, -1, 0, nullptr);
  return SendToWnd(w, msg, wParam, lParam);
}

LRESULT SendMessageTimeoutA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            DWORD_PTR* result) {
  if (hwnd == HWND_BROADCAST) {
    // Each window gets the whole time; single answers are not reported.
    for (HWND h : BroadcastTargets()) SendMessageTimeoutA(h, msg, wParam, lParam, flags, timeout, nullptr);
    return 1;
  }
  TWnd* w = nullptr;
  auto q = QueueOfWindow(hwnd, &w);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LRESULT r;
  if (q && q.get() != &CurrentQueue()) {
    TSendOutcome outcome;
    r = SendAcross(q, hwnd, msg, wParam, lParam, static_cast<int>(std::min<UINT>(timeout, 0x7FFFFFFF)), flags,
                   &outcome);
    if (outcome == soTimedOut) {
      SetLastError(ERROR_TIMEOUT);
      return 0;
    }
    if (outcome == soGone) {
      // The window or its thread went away before answering: not a success.
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
  } else {
    r = SendToWnd(w, msg, wParam, lParam);
  }
  if (result) *result = static_cast<DWORD_PTR>(r);
  return 1;
}

BOOL SendMessageCallbackA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, SENDASYNCPROC callback,
                          ULONG_PTR data) {
  if (hwnd == HWND_BROADCAST) {
    if (CarriesPointer(msg)) {
      SetLastError(kErrorMessageSyncOnly);
      return FALSE;
    }
    for (HWND h : BroadcastTargets()) SendMessageCallbackA(h, msg, wParam, lParam, callback, data);
    return TRUE;
  }
  TWnd* w = nullptr;
  auto q = QueueOfWindow(hwnd, &w);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!q || q.get() == &CurrentQueue()) {
    LRESULT r = SendToWnd(w, msg, wParam, lParam);
    if (callback) callback(hwnd, msg, data, r);
    return TRUE;
  }
  if (CarriesPointer(msg)) {
    SetLastError(kErrorMessageSyncOnly);
    return FALSE;
  }
  if (!SendAsync(q, hwnd, msg, wParam, lParam, callback, data)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return TRUE;
}

BOOL SendNotifyMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessageCallbackA(hwnd, msg, wParam, lParam, nullptr, 0);
}

BOOL InSendMessage() {
  auto& cs = CurrentQueue().CurrentSent;
  return cs && !cs->Notify ? TRUE : FALSE;
}

DWORD InSendMessageEx(LPVOID) {
  auto& cs = CurrentQueue().CurrentSent;
  if (!cs) return ISMEX_NOSEND;
  DWORD r = cs->Notify ? (cs->Callback ? ISMEX_CALLBACK : ISMEX_NOTIFY) : ISMEX_SEND;
  if (cs->Done) r |= ISMEX_REPLIED;
  return r;
}

BOOL ReplyMessage(LRESULT result) {
  auto cs = CurrentQueue().CurrentSent;
  if (!cs || cs->Notify || !cs->Sender || cs->Done) return FALSE;
  {
    std::lock_guard<std::mutex> g(cs->Sender->Lock);
    cs->Result = result;
    cs->Answered = true;
    cs->Done = true;
  }
  cs->Sender->Wake();
  return TRUE;
}

// ---- Posting --------------------------------------------------------------------

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (CarriesPointer(msg)) {
    SetLastError(kErrorMessageSyncOnly);
    return FALSE;
  }
  if (!hwnd) return PostThreadMessageA(CurrentThreadId(), msg, wParam, lParam);
  if (hwnd == HWND_BROADCAST) {
    for (HWND h : BroadcastTargets()) PostMessageA(h, msg, wParam, lParam);
    return TRUE;
  }
  TWnd* w = nullptr;
  auto q = QueueOfWindow(hwnd, &w);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!q) q = CurrentQueuePtr();
  return PostTo(q, hwnd, msg, wParam, lParam) ? TRUE : FALSE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (CarriesPointer(msg)) {
    SetLastError(kErrorMessageSyncOnly);
    return FALSE;
  }
  auto q = threadId == CurrentThreadId() ? CurrentQueuePtr() : QueueOfThread(threadId);
  if (!q) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  return PostTo(q, nullptr, msg, wParam, lParam) ? TRUE : FALSE;
}

void PostQuitMessage(int exitCode) {
  TThreadQueue& q = CurrentQueue();
  {
    std::lock_guard<std::mutex> g(q.Lock);
    q.QuitPosted = true;
    q.QuitCode = exitCode;
  }
  q.Wake();
}

// ---- Retrieval ------------------------------------------------------------------

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!ValidFilter(hwnd)) return FALSE;
  TThreadQueue& q = CurrentQueue();
  TFilter f{hwnd, filterMin, filterMax, removeMsg};
  if (q.UsesBackend) BackendProcessEvents();
  if (PeekImpl(q, *msg, f)) return TRUE;
  if (q.ThreadId == MainThreadID) FlushDamage();
  return FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (!ValidFilter(hwnd)) return -1;
  TThreadQueue& q = CurrentQueue();
  TFilter f{hwnd, filterMin, filterMax, PM_REMOVE};
  TWaiting waiting(q);
  for (;;) {
    if (PeekImpl(q, *msg, f)) return msg->message == WM_QUIT ? FALSE : TRUE;
    WaitForWork(q, -1);
  }
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  TThreadQueue& q = CurrentQueue();
  if ((msg->message == WM_TIMER || msg->message == WM_SYSTIMER) && msg->lParam) {
    // Only a procedure that SetTimer registered on this thread is called:
    // a posted WM_TIMER cannot make the system jump to an address it chose.
    if (!IsTimerProc(q, msg->lParam)) return 0;
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, msg->message, msg->wParam, static_cast<DWORD>(ClockNow()));
    return 0;
  }
  if (!msg->hwnd) return 0;
  TWnd* w = GetWnd(msg->hwnd);
  if (!w) return 0;
  if (w->Queue && w->Queue.get() != &q) {
    SetLastError(kErrorMessageSyncOnly);
    return 0;
  }
  TWndRef ref(w);
  static const bool trace = TraceOn("msg");
  if (trace) Trace("msg", "dispatch %p %04X %lx %lx", static_cast<void*>(msg->hwnd), msg->message,
                   static_cast<unsigned long>(msg->wParam), static_cast<unsigned long>(msg->lParam));
  LRESULT r = CallProc(w->Proc, msg->hwnd, msg->message, msg->wParam, msg->lParam);
  if (msg->message == WM_PAINT && GetWndNoError(msg->hwnd)) AfterPaintDispatch(w);
  return r;
}

BOOL WaitMessage() {
  TThreadQueue& q = CurrentQueue();
  TFilter f{nullptr, 0, 0, PM_NOREMOVE};
  MSG m;
  for (;;) {
    if (q.UsesBackend) BackendProcessEvents();
    bool ran = ProcessIncoming(q);
    if (q.ThreadId == MainThreadID && g_syncPending) {
      RunSynchronized(q);
      return TRUE;
    }
    if (ran) return TRUE;
    if (Retrieve(q, f, m)) return TRUE;
    WaitForWork(q, -1);
  }
}

namespace {

bool HasInputOfKinds(TThreadQueue& q, DWORD mask) {
  MSG m;
  TFilter f{nullptr, 0, 0, PM_NOREMOVE | ((mask & ~static_cast<DWORD>(QS_SENDMESSAGE)) << 16)};
  if ((mask & ~static_cast<DWORD>(QS_SENDMESSAGE)) == 0) return false;
  return Retrieve(q, f, m);
}

bool HasSent(TThreadQueue& q) {
  std::lock_guard<std::mutex> g(q.Lock);
  return !q.Sent.empty();
}

}  // namespace

DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask,
                                  DWORD flags) {
  if (count > MAXIMUM_WAIT_OBJECTS - 1 || (count && !handles)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  TThreadQueue& q = CurrentQueue();
  bool waitAll = (flags & MWMO_WAITALL) != 0;
  auto start = std::chrono::steady_clock::now();
  int slice = 1;
  for (;;) {
    if (count) {
      DWORD r = WaitForMultipleObjects(count, handles, waitAll ? TRUE : FALSE, 0);
      if (r != WAIT_TIMEOUT) return r;
    }
    if (q.UsesBackend) BackendProcessEvents();
    if ((wakeMask & QS_SENDMESSAGE) && HasSent(q)) return WAIT_OBJECT_0 + count;
    if (!waitAll && HasInputOfKinds(q, wakeMask)) return WAIT_OBJECT_0 + count;
    if (q.ThreadId == MainThreadID && g_syncPending) RunSynchronized(q);
    int elapsed = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    if (milliseconds != INFINITE && elapsed >= static_cast<int>(milliseconds)) return WAIT_TIMEOUT;
    int wait = -1;
    if (milliseconds != INFINITE) wait = static_cast<int>(milliseconds) - elapsed;
    if (count) {
      // Kernel objects do not wake the queue: look at them again soon.
      wait = wait < 0 ? slice : std::min(wait, slice);
      slice = std::min(slice * 2, 10);
    }
    WaitForWork(q, wait);
  }
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask) {
  return MsgWaitForMultipleObjectsEx(count, handles, milliseconds, wakeMask, waitAll ? MWMO_WAITALL : 0);
}

DWORD GetQueueStatus(UINT flags) {
  TThreadQueue& q = CurrentQueue();
  DWORD bits = 0;
  {
    std::lock_guard<std::mutex> g(q.Lock);
    if (!q.Posted.empty() || q.QuitPosted) bits |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
    if (!q.Sent.empty()) bits |= QS_SENDMESSAGE;
    for (const TRawInput& in : q.Input) {
      if (in.Kind == rkKeyDown || in.Kind == rkKeyUp)
        bits |= QS_KEY;
      else if (in.Kind == rkMouseMove)
        bits |= QS_MOUSEMOVE;
      else
        bits |= QS_MOUSEBUTTON;
    }
  }
  if (q.PaintCount > 0) bits |= QS_PAINT;
  uint64_t due = NextTimerDue(q);
  if (due != UINT64_MAX && due <= ClockNow()) bits |= QS_TIMER;
  bits &= flags;
  return MAKELONG(bits, bits);
}

BOOL GetInputState() { return (GetQueueStatus(QS_KEY | QS_MOUSEBUTTON) & 0xFFFF) ? TRUE : FALSE; }

DWORD GetMessagePos() {
  const MSG& m = CurrentQueue().LastMsg;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(m.pt.X), static_cast<WORD>(m.pt.Y)));
}

LONG GetMessageTime() { return static_cast<LONG>(CurrentQueue().LastMsg.time); }

LPARAM GetMessageExtraInfo() { return static_cast<LPARAM>(CurrentQueue().LastExtraInfo); }

UINT RegisterWindowMessageA(LPCSTR name) { return RegisterAtomName(name); }

namespace rtl::detail {

bool ServeIncoming() { return ProcessIncoming(CurrentQueue()); }

}  // namespace rtl::detail
