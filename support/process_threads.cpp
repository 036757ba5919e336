#include "support/process_threads.h"

#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/win/user/user.h"
#include "support/process_runner.h"

namespace {

constexpr size_t kInitialCapacity = 1024;
constexpr size_t kMaxCapacity = 131072;
// How long the pipes of a terminated child may stay open once it is gone.
constexpr auto kGracePeriod = std::chrono::milliseconds(300);
using TClock = std::chrono::steady_clock;

}  // namespace

// ---- TJvRWEHandles ---------------------------------------------------------------

void TJvRWEHandles::Set(int Slot, HANDLE H) {
  HANDLE old = FHandles[Slot];
  FHandles[Slot] = H;
  if (old && old != H) CheckOSResult(CloseHandle(old));
}

HANDLE TJvRWEHandles::Take(int Slot) {
  HANDLE h = FHandles[Slot];
  FHandles[Slot] = nullptr;
  return h;
}

TJvRWEHandles::~TJvRWEHandles() {
  for (HANDLE h : FHandles)
    if (h) CloseHandle(h);
}

// ---- The service ----------------------------------------------------------------------

// Everything below is guarded by the service's lock.
struct TJvWatch {
  enum TKind { wkPipe, wkProcess } Kind;
  uint64_t Id = 0;
  HANDLE Handle = nullptr;  // the pipe end (owned) or the process (not owned)
  int Fd = -1;
  HWND Window = nullptr;
  bool Active = true;  // registered and not yet ended or cancelled

  // A pipe: the waiting bytes are Buffer[Head, Head + Fill).
  WPARAM Reader = 0;
  std::vector<char> Buffer;
  size_t Head = 0;
  size_t Fill = 0;
  bool Notified = false;  // a CM_READ is on its way and not yet drained
  bool Paused = false;    // full: not read until bytes are taken

  // A process.
  HANDLE ConsoleInput = nullptr;
  bool Ended = false;
  bool TerminateAsked = false;
  TClock::time_point Deadline{};
  std::vector<TJvWatchRef> Pipes;

  explicit TJvWatch(TKind kind) : Kind(kind) {}
};

namespace {

class TService {
 public:
  ~TService() { Shutdown(); }

  bool Add(const TJvWatchRef& w) {
    std::lock_guard g(FLock);
    StartLocked();
    w->Id = ++FLastId;
    epoll_event ev = {};
    ev.events = EPOLLIN;
    ev.data.u64 = w->Id;
    if (epoll_ctl(FEpoll, EPOLL_CTL_ADD, w->Fd, &ev) != 0) {
      SetLastErrorFromErrno();
      return false;
    }
    FWatches[w->Id] = w;
    return true;
  }

  void Attach(const TJvWatchRef& process, const TJvWatchRef& pipe) {
    std::lock_guard g(FLock);
    process->Pipes.push_back(pipe);
  }

  void TerminationAsked(const TJvWatchRef& process) {
    std::lock_guard g(FLock);
    process->TerminateAsked = true;
    if (process->Ended) StartGraceLocked(*process);
  }

  DWORD Take(const TJvWatchRef& w, char* buffer, DWORD size) {
    std::lock_guard g(FLock);
    const size_t n = std::min<size_t>(size, w->Fill);
    std::memcpy(buffer, w->Buffer.data() + w->Head, n);
    w->Head += n;
    w->Fill -= n;
    if (w->Fill == 0) {
      w->Head = 0;
      // The next bytes need a new CM_READ.
      w->Notified = false;
    }
    if (w->Paused && w->Active && w->Fill < w->Buffer.size()) {
      w->Paused = false;
      epoll_event ev = {};
      ev.events = EPOLLIN;
      ev.data.u64 = w->Id;
      epoll_ctl(FEpoll, EPOLL_CTL_ADD, w->Fd, &ev);
    }
    return static_cast<DWORD>(n);
  }

  void Cancel(const TJvWatchRef& w) {
    // Not while a batch is being posted, so nothing of the watch follows.
    std::lock_guard p(FPostLock);
    std::lock_guard g(FLock);
    EndLocked(*w);
  }

  void Shutdown() {
    std::thread thread;
    {
      std::lock_guard g(FLock);
      if (!FThread.joinable()) return;
      FStop = true;
      eventfd_write(FWake, 1);
      thread = std::move(FThread);
    }
    thread.join();
    std::lock_guard g(FLock);
    for (auto& [id, w] : FWatches) EndLocked(*w, false);
    FWatches.clear();
    FGrace.clear();
    FPosts.clear();
    close(FEpoll);
    close(FWake);
    FEpoll = FWake = -1;
  }

 private:
  std::mutex FLock;
  // Held by the service thread from gathering a batch of posts to having
  // posted it. The posts go out after FLock is released, so that the
  // user-interface thread, woken by them, does not wait for that lock.
  std::mutex FPostLock;
  struct TPost {
    HWND Window;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
  };
  std::vector<TPost> FPosts;    // under FLock
  std::vector<TPost> FSending;  // the service thread's own
  std::thread FThread;
  int FEpoll = -1;
  int FWake = -1;
  bool FStop = false;
  uint64_t FLastId = 0;
  std::unordered_map<uint64_t, TJvWatchRef> FWatches;

  void StartLocked() {
    if (FThread.joinable()) return;
    FEpoll = epoll_create1(EPOLL_CLOEXEC);
    FWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    epoll_event ev = {};
    ev.events = EPOLLIN;
    ev.data.u64 = 0;
    epoll_ctl(FEpoll, EPOLL_CTL_ADD, FWake, &ev);
    FStop = false;
    FThread = std::thread([this] { Run(); });
  }

  // Takes the watch out of the set; a pipe end it owns is closed.
  void EndLocked(TJvWatch& w, bool forget = true) {
    if (!w.Active) return;
    w.Active = false;
    if (!w.Paused) epoll_ctl(FEpoll, EPOLL_CTL_DEL, w.Fd, nullptr);
    if (forget) FWatches.erase(w.Id);
    if (w.Kind == TJvWatch::wkPipe) {
      CloseHandle(w.Handle);
      w.Handle = nullptr;
      w.Fd = -1;
    }
    if (w.ConsoleInput) {
      CloseHandle(w.ConsoleInput);
      w.ConsoleInput = nullptr;
    }
  }

  void StartGraceLocked(TJvWatch& process) {
    if (process.Deadline == TClock::time_point{}) {
      process.Deadline = TClock::now() + kGracePeriod;
      eventfd_write(FWake, 1);
    }
  }

  // Ended processes whose pipes are still open.
  std::unordered_map<uint64_t, TJvWatchRef> FGrace;

  void PipeEndedLocked(TJvWatch& w) {
    HWND window = w.Window;
    EndLocked(w);
    FPosts.push_back({window, CM_READEND, w.Reader, static_cast<LPARAM>(w.Id)});
  }

  void PipeReady(TJvWatch& w) {
    if (w.Head > 0 && w.Head + w.Fill == w.Buffer.size()) {
      std::memmove(w.Buffer.data(), w.Buffer.data() + w.Head, w.Fill);
      w.Head = 0;
    }
    if (w.Head + w.Fill == w.Buffer.size()) {
      if (w.Buffer.size() < kMaxCapacity) {
        w.Buffer.resize(w.Buffer.size() * 2);
      } else {
        // Full: the child waits on the pipe until bytes are taken. Out of
        // the set, since a hang-up would be reported even with no events.
        w.Paused = true;
        epoll_ctl(FEpoll, EPOLL_CTL_DEL, w.Fd, nullptr);
        return;
      }
    }
    const size_t room = w.Buffer.size() - w.Head - w.Fill;
    ssize_t n = read(w.Fd, w.Buffer.data() + w.Head + w.Fill, room);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n <= 0) {
      PipeEndedLocked(w);
      return;
    }
    w.Fill += static_cast<size_t>(n);
    if (!w.Notified) {
      w.Notified = true;
      FPosts.push_back({w.Window, CM_READ, w.Reader, 0});
    }
  }

  void ProcessReady(const TJvWatchRef& ref) {
    TJvWatch& w = *ref;
    // The descriptor is ready, so the child has ended: asking the process
    // layer now records the end there, with no watcher of its own.
    if (WaitForSingleObject(w.Handle, 0) != WAIT_OBJECT_0) return;  // looked at again
    DWORD code = 0;
    GetExitCodeProcess(w.Handle, &code);
    HWND window = w.Window;
    EndLocked(w);
    w.Ended = true;
    if (w.TerminateAsked) StartGraceLocked(w);
    if (!w.Pipes.empty()) FGrace[w.Id] = ref;
    FPosts.push_back({window, CM_PROCESSEND, static_cast<WPARAM>(w.Id), static_cast<LPARAM>(code)});
  }

  void Run() {
    epoll_event events[32];
    for (;;) {
      int timeout;
      {
        std::lock_guard g(FLock);
        if (FStop) return;
        // An ended child whose pipes have all ended needs no grace.
        for (auto it = FGrace.begin(); it != FGrace.end();) {
          bool open = false;
          for (const TJvWatchRef& p : it->second->Pipes) open = open || p->Active;
          it = open ? std::next(it) : FGrace.erase(it);
        }
        timeout = -1;
        TClock::time_point next = TClock::time_point::max();
        for (const auto& [id, w] : FGrace)
          if (w->Deadline != TClock::time_point{}) next = std::min(next, w->Deadline);
        if (next != TClock::time_point::max()) {
          auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next - TClock::now()).count();
          timeout = static_cast<int>(std::clamp<long long>(ms + 1, 0, 1000));
        }
      }
      const int n = epoll_wait(FEpoll, events, 32, timeout);
      std::lock_guard post(FPostLock);
      {
        std::lock_guard g(FLock);
        if (FStop) return;
        Dispatch(events, n);
        FSending.swap(FPosts);
      }
      for (const TPost& p : FSending) PostMessage(p.Window, p.Msg, p.WParam, p.LParam);
      FSending.clear();
    }
  }

  // Handles what epoll_wait reported and the grace periods that ran out.
  // Under FLock.
  void Dispatch(const epoll_event* events, int n) {
    for (int i = 0; i < n; ++i) {
      const uint64_t id = events[i].data.u64;
      if (id == 0) {
        eventfd_t v;
        eventfd_read(FWake, &v);
        continue;
      }
      auto it = FWatches.find(id);
      if (it == FWatches.end() || !it->second->Active) continue;
      TJvWatchRef w = it->second;
      if (w->Kind == TJvWatch::wkPipe)
        PipeReady(*w);
      else
        ProcessReady(w);
    }
    const auto now = TClock::now();
    for (auto it = FGrace.begin(); it != FGrace.end();) {
      TJvWatch& process = *it->second;
      if (process.Deadline == TClock::time_point{} || now < process.Deadline) {
        ++it;
        continue;
      }
      for (const TJvWatchRef& p : process.Pipes)
        if (p->Active) PipeEndedLocked(*p);
      it = FGrace.erase(it);
    }
  }
};

TService& Service() {
  // Joined at the latest when the program ends; the unit's shut-down
  // stops it before.
  static TService service;
  return service;
}

}  // namespace

namespace jv_process_service {

TJvWatchRef WatchPipe(HANDLE Pipe, HWND Window, WPARAM Reader) {
  auto w = std::make_shared<TJvWatch>(TJvWatch::wkPipe);
  w->Handle = Pipe;
  w->Fd = GetHandleDescriptor(Pipe);
  w->Window = Window;
  w->Reader = Reader;
  w->Buffer.resize(kInitialCapacity);
  if (w->Fd < 0) return nullptr;
  // Only this side reads the pipe; a read must never wait.
  fcntl(w->Fd, F_SETFL, fcntl(w->Fd, F_GETFL) | O_NONBLOCK);
  return Service().Add(w) ? w : nullptr;
}

TJvWatchRef WatchProcess(HANDLE Process, HANDLE ConsoleInput, HWND Window) {
  auto w = std::make_shared<TJvWatch>(TJvWatch::wkProcess);
  w->Handle = Process;
  w->Fd = GetHandleDescriptor(Process);
  w->Window = Window;
  if (w->Fd < 0) return nullptr;
  w->ConsoleInput = ConsoleInput;
  if (Service().Add(w)) return w;
  // Not watched: the input end stays the caller's.
  w->ConsoleInput = nullptr;
  return nullptr;
}

void AttachPipe(const TJvWatchRef& Process, const TJvWatchRef& Pipe) {
  if (Process && Pipe) Service().Attach(Process, Pipe);
}

void TerminationAsked(const TJvWatchRef& Process) {
  if (Process) Service().TerminationAsked(Process);
}

DWORD TakeBytes(const TJvWatchRef& Pipe, char* Buffer, DWORD Size) { return Service().Take(Pipe, Buffer, Size); }

void Cancel(const TJvWatchRef& Watch) {
  if (Watch) Service().Cancel(Watch);
}

uint64_t WatchId(const TJvWatchRef& Watch) { return Watch ? Watch->Id : 0; }

void Shutdown() { Service().Shutdown(); }

}  // namespace jv_process_service
