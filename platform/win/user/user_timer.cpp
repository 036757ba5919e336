// The layer's clock (real or virtual) and timers: window and thread timers
// that become WM_TIMER at the lowest priority, and internal timers.
#include <algorithm>
#include <atomic>
#include <chrono>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/threads.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/user/user_internal.h"

namespace rtl::detail {
namespace {

constexpr DWORD kErrorAccessDenied = 5;

std::atomic<bool> g_virtual{false};
std::atomic<uint64_t> g_virtualNow{0};

uint64_t RealNow() {
  using namespace std::chrono;
  static const auto start = steady_clock::now();
  // Starts well above zero, as a tick count does after boot.
  return 100000 + static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

bool Matches(HWND filter, HWND h) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) return h == nullptr;
  return h == filter || (h && IsChild(filter, h));
}

}  // namespace

uint64_t ClockNow() { return g_virtual ? g_virtualNow.load() : RealNow(); }
bool ClockIsVirtual() { return g_virtual; }

void KillWindowTimers(TThreadQueue& q, HWND hwnd) {
  auto& t = q.Timers;
  t.erase(std::remove_if(t.begin(), t.end(), [hwnd](const TTimer& x) { return x.Hwnd == hwnd; }), t.end());
}

uint64_t NextTimerDue(TThreadQueue& q) {
  uint64_t due = UINT64_MAX;
  for (const TTimer& t : q.Timers) due = std::min(due, t.Due);
  return due;
}

bool IsTimerProc(TThreadQueue& q, LPARAM proc) {
  for (const TTimer& t : q.Timers)
    if (!t.Action && reinterpret_cast<LPARAM>(t.Proc) == proc) return true;
  return false;
}

bool RetrieveTimer(TThreadQueue& q, HWND filterHwnd, bool remove, MSG& msg) {
  uint64_t now = ClockNow();
  TTimer* best = nullptr;
  for (TTimer& t : q.Timers) {
    if (t.Action || t.Due > now || !Matches(filterHwnd, t.Hwnd)) continue;
    if (!best || t.Due < best->Due) best = &t;
  }
  if (!best) return false;
  msg = MSG{best->Hwnd, WM_TIMER, best->Id, reinterpret_cast<LPARAM>(best->Proc), static_cast<DWORD>(now),
            CursorPosition()};
  // Intervals that passed meanwhile fold into this one message.
  if (remove) best->Due = now + best->Interval;
  return true;
}

void RunSystemTimers(TThreadQueue& q) {
  uint64_t now = ClockNow();
  std::vector<std::function<void()>> due;
  for (TTimer& t : q.Timers) {
    if (!t.Action || t.Due > now) continue;
    t.Due = now + t.Interval;
    due.push_back(t.Action);
  }
  for (auto& a : due) a();
}

void SetSystemTimer(HWND hwnd, UINT_PTR id, UINT elapse, std::function<void()> action) {
  TThreadQueue& q = CurrentQueue();
  elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  for (TTimer& t : q.Timers)
    if (t.Action && t.Hwnd == hwnd && t.Id == id) {
      t.Interval = elapse;
      t.Due = ClockNow() + elapse;
      t.Action = std::move(action);
      return;
    }
  TTimer t;
  t.Hwnd = hwnd;
  t.Id = id;
  t.Interval = elapse;
  t.Due = ClockNow() + elapse;
  t.Action = std::move(action);
  q.Timers.push_back(std::move(t));
}

void KillSystemTimer(HWND hwnd, UINT_PTR id) {
  auto& t = CurrentQueue().Timers;
  t.erase(std::remove_if(t.begin(), t.end(), [&](const TTimer& x) { return x.Action && x.Hwnd == hwnd && x.Id == id; }),
          t.end());
}

}  // namespace rtl::detail

using namespace rtl::detail;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  TThreadQueue& q = CurrentQueue();
  if (hwnd) {
    TWnd* w = GetWnd(hwnd);
    if (!w) return 0;
    if (w->Queue.get() != &q) {
      SetLastError(kErrorAccessDenied);
      return 0;
    }
  }
  elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  uint64_t due = ClockNow() + elapse;
  if (hwnd || id) {
    for (TTimer& t : q.Timers)
      if (!t.Action && t.Hwnd == hwnd && t.Id == id) {
        t.Interval = elapse;
        t.Due = due;
        t.Proc = proc;
        return hwnd ? (id ? id : 1) : id;
      }
  }
  if (!hwnd) {
    // A new thread timer gets an id of its own.
    auto used = [&](UINT_PTR v) {
      return std::any_of(q.Timers.begin(), q.Timers.end(),
                         [&](const TTimer& t) { return !t.Action && !t.Hwnd && t.Id == v; });
    };
    do {
      id = q.NextThreadTimerId++;
      if (q.NextThreadTimerId == 0) q.NextThreadTimerId = 1;
    } while (id == 0 || used(id));
  }
  TTimer t;
  t.Hwnd = hwnd;
  t.Id = id;
  t.Interval = elapse;
  t.Due = due;
  t.Proc = proc;
  q.Timers.push_back(std::move(t));
  return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto& t = CurrentQueue().Timers;
  auto it = std::find_if(t.begin(), t.end(), [&](const TTimer& x) { return !x.Action && x.Hwnd == hwnd && x.Id == id; });
  if (it == t.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  t.erase(it);
  return TRUE;
}

namespace rtl::detail {

void SetVirtualClock(bool on) {
  if (on && !g_virtual) g_virtualNow = RealNow();
  g_virtual = on;
  // GetTickCount follows the same clock.
  UInt64 (*virtualTicks)() = [] { return static_cast<UInt64>(ClockNow()); };
  SetTickSource(on ? virtualTicks : nullptr);
  WakeAllQueues();
}

void AdvanceVirtualClock(uint32_t ms) {
  g_virtualNow += ms;
  WakeAllQueues();
}

}  // namespace rtl::detail
