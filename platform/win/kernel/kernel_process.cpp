// Processes: starting children, watching them end, exit codes, termination.
//
// Each process object holds a process file descriptor. Whoever asks about
// the process (a wait, the exit code, termination) looks at the descriptor
// and records the exit code the first time the process is seen ended,
// without reaping the child (so its id stays taken). A monitor thread
// watches a process only while something depends on being told: a waiter
// blocked on it, or a child whose last handle closed before it ended. The
// child is reaped when its object goes, that is when its last handle is
// closed and it has ended. So a caller that watches a child's descriptor
// itself (as the process runner's service does) costs the monitor nothing.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <thread>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel_command_line.h"
#include "platform/win/kernel/kernel_object.h"

extern char** environ;

namespace rtl::detail {

namespace {

int PidfdOpen(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }
int PidfdSendSignal(int pidfd, int sig) { return static_cast<int>(syscall(SYS_pidfd_send_signal, pidfd, sig, nullptr, 0)); }

class TProcessObject : public TKernelObject {
 public:
  TProcessObject(pid_t pid, int pidfd, bool child) : TKernelObject(TKernelType::Process), Pid(pid), PidFd(pidfd), Child(child) {}
  ~TProcessObject() override;
  bool Waitable() const override { return true; }
  TAcquire TryAcquire(pid_t) override { return Refresh() ? TAcquire::Ok : TAcquire::Fail; }
  void WaitBegins() override;
  void LastHandleClosed() override;

  // Whether the process has ended; the first time it is seen ended, its
  // exit code is recorded. Under KernelLock(). Blocked waiters need no
  // signal from here: they made the monitor watch, and it signals them.
  bool Refresh();

  const pid_t Pid;
  const int PidFd;  // -1 for this process
  const bool Child;

  // Under KernelLock().
  bool Exited = false;
  DWORD ExitCode = STILL_ACTIVE;
  bool TerminateAsked = false;
  DWORD TerminateCode = 0;
  bool Watched = false;  // handed to the monitor
  bool InJob = false;
  // Its job ends it when closed: a child still held before exec then asks
  // the system to end it when its starter dies.
  bool KillWithParent = false;
};

// A child's primary thread: it ends with the process. A child started
// suspended waits before exec for a byte on a pipe whose write end this
// object holds; the resume that brings the count to zero writes it. Closing
// the last handle of a thread never resumed closes the pipe, and the child
// ends (exit code 127) instead of waiting for ever.
class TChildThreadObject : public TThreadBase {
 public:
  TChildThreadObject(std::shared_ptr<TProcessObject> process, int holdFd)
      : FProcess(std::move(process)), FHoldFd(holdFd), FSuspendCount(holdFd >= 0 ? 1 : 0) {}
  ~TChildThreadObject() override {
    if (FHoldFd >= 0) close(FHoldFd);
  }
  TAcquire TryAcquire(pid_t tid) override { return FProcess->TryAcquire(tid); }
  TKernelObject* QueueOwner() override { return FProcess.get(); }
  DWORD ExitCode() const override {
    FProcess->Refresh();
    return FProcess->ExitCode;
  }
  DWORD Resume() override {
    DWORD previous = FSuspendCount;
    if (FSuspendCount > 0 && --FSuspendCount == 0) {
      // 2: set the parent-death signal before running the program.
      const char go = FProcess->KillWithParent ? 2 : 1;
      while (write(FHoldFd, &go, 1) < 0 && errno == EINTR) {
      }
      close(FHoldFd);
      FHoldFd = -1;
    }
    return previous;
  }
  pid_t Tid() const override { return FProcess->Pid; }

 private:
  std::shared_ptr<TProcessObject> FProcess;
  int FHoldFd;            // under KernelLock()
  DWORD FSuspendCount;    // under KernelLock()
};

// ---- Process objects by id ---------------------------------------------------------

struct TProcessTable {
  std::mutex Lock;
  std::map<pid_t, std::weak_ptr<TProcessObject>> ById;
};

TProcessTable& Processes() {
  static TProcessTable* table = new TProcessTable;
  return *table;
}

bool TProcessObject::Refresh() {
  if (Exited || PidFd < 0) return Exited;
  siginfo_t info = {};
  const int r = waitid(static_cast<idtype_t>(P_PIDFD), static_cast<id_t>(PidFd), &info, WEXITED | WNOWAIT | WNOHANG);
  if (r == 0 && info.si_pid == 0) return false;
  const bool known = r == 0;
  if (!known) {
    // Not a child of ours (or reaped by someone else): the descriptor
    // still tells whether it ended, though not how.
    pollfd ready = {PidFd, POLLIN, 0};
    if (poll(&ready, 1, 0) <= 0) return false;
  }
  DWORD code = 0;
  if (known && info.si_code == CLD_EXITED)
    code = static_cast<DWORD>(info.si_status);
  else if (known)
    code = TerminateAsked && info.si_status == SIGKILL ? TerminateCode : STATUS_CONTROL_C_EXIT;
  ExitCode = code;
  Exited = true;
  return true;
}

// ---- The monitor -------------------------------------------------------------------

// One joinable thread watches every child through its process descriptor:
// the processes of CreateProcess (their exit is recorded on the object) and
// the detached children of the shell (reaped, then reported). It stops when
// the program's statics go, so it never runs during their destruction.
// Set once the monitor has stopped with the program's statics: a handle
// closed after that leaves its child to the program's end.
std::atomic<bool> gMonitorGone{false};

class TMonitor {
 public:
  TMonitor() : FWakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) { FThread = std::thread([this] { Run(); }); }

  ~TMonitor() {
    gMonitorGone = true;
    FStop = true;
    eventfd_write(FWakeFd, 1);
    if (FThread.joinable()) FThread.join();
    for (TChild& c : FChildren) close(c.PidFd);
    close(FWakeFd);
  }

  void Watch(std::shared_ptr<TProcessObject> p) {
    {
      std::lock_guard g(FLock);
      FWatched.push_back(std::move(p));
    }
    eventfd_write(FWakeFd, 1);
  }

  void WatchChild(int pidFd, pid_t pid, std::function<void(int)> onExit) {
    {
      std::lock_guard g(FLock);
      FChildren.push_back(TChild{pidFd, pid, std::move(onExit)});
    }
    eventfd_write(FWakeFd, 1);
  }

 private:
  struct TChild {
    int PidFd;
    pid_t Pid;
    std::function<void(int)> OnExit;
  };

  std::mutex FLock;
  std::vector<std::shared_ptr<TProcessObject>> FWatched;
  std::vector<TChild> FChildren;
  const int FWakeFd;
  std::atomic<bool> FStop{false};
  std::thread FThread;

  void Run() {
    std::vector<TProcessObject*> watched;
    std::vector<int> children;
    std::vector<pollfd> fds;
    while (!FStop) {
      {
        std::lock_guard g(FLock);
        watched.clear();
        for (const auto& p : FWatched) watched.push_back(p.get());
        children.clear();
        for (const TChild& c : FChildren) children.push_back(c.PidFd);
      }
      fds.assign(1, pollfd{FWakeFd, POLLIN, 0});
      for (TProcessObject* p : watched) fds.push_back(pollfd{p->PidFd, POLLIN, 0});
      for (int fd : children) fds.push_back(pollfd{fd, POLLIN, 0});
      if (poll(fds.data(), fds.size(), -1) < 0) continue;
      if (fds[0].revents) {
        eventfd_t v;
        eventfd_read(FWakeFd, &v);
      }
      if (FStop) break;
      for (size_t i = 0; i < watched.size(); ++i)
        if (fds[1 + i].revents) Ended(watched[i]);
      for (size_t i = 0; i < children.size(); ++i)
        if (fds[1 + watched.size() + i].revents) ChildEnded(children[i]);
    }
  }

  void Ended(TProcessObject* p) {
    std::shared_ptr<TProcessObject> ref;
    {
      std::lock_guard w(FLock);
      auto it = std::find_if(FWatched.begin(), FWatched.end(), [&](const auto& q) { return q.get() == p; });
      if (it == FWatched.end()) return;
      ref = std::move(*it);
      FWatched.erase(it);
    }
    {
      std::lock_guard g(KernelLock());
      if (p->Refresh()) {
        SignalObject(p);
        // Let go before any waiter runs, so that closing the last handle
        // after the wait reaps the child at once. Without handles it goes
        // right here.
        ref.reset();
        return;
      }
    }
    // Ready without having ended (cannot happen for a process descriptor,
    // but a watch is never dropped on a guess).
    Watch(std::move(ref));
  }

  void ChildEnded(int pidFd) {
    TChild c;
    {
      std::lock_guard w(FLock);
      auto it = std::find_if(FChildren.begin(), FChildren.end(), [&](const TChild& x) { return x.PidFd == pidFd; });
      if (it == FChildren.end()) return;
      c = std::move(*it);
      FChildren.erase(it);
    }
    int status = 0;
    pid_t r;
    while ((r = waitpid(c.Pid, &status, 0)) < 0 && errno == EINTR) {
    }
    close(c.PidFd);
    if (c.OnExit) c.OnExit(r == c.Pid && WIFEXITED(status) ? WEXITSTATUS(status) : 1);
  }
};

TMonitor& Monitor() {
  static TMonitor monitor;
  return monitor;
}

void TProcessObject::WaitBegins() {
  // Not looked at again here: the waiter saw it running and is not told
  // otherwise, so an end since then must come through the monitor.
  if (Watched || PidFd < 0 || Exited || gMonitorGone) return;
  Watched = true;
  Monitor().Watch(std::static_pointer_cast<TProcessObject>(shared_from_this()));
}

void TProcessObject::LastHandleClosed() {
  // A child that runs on is kept, and reaped, once it ends.
  std::lock_guard g(KernelLock());
  if (Child && !Refresh()) WaitBegins();
}

TProcessObject::~TProcessObject() {
  if (PidFd < 0) return;
  bool handedOver = false;
  if (Child) {
    siginfo_t info = {};
    if (waitid(static_cast<idtype_t>(P_PIDFD), static_cast<id_t>(PidFd), &info, WEXITED | WNOHANG) == 0 &&
        info.si_pid == 0 && !gMonitorGone) {
      // Still running: only a start that failed half-way lets go of a
      // running child. The monitor reaps it when it ends.
      Monitor().WatchChild(PidFd, Pid, nullptr);
      handedOver = true;
    }
  }
  if (!handedOver) close(PidFd);
  TProcessTable& t = Processes();
  std::lock_guard g(t.Lock);
  auto it = t.ById.find(Pid);
  if (it != t.ById.end() && it->second.expired()) t.ById.erase(it);
}

}  // namespace

bool WatchDetachedChild(pid_t pid, std::function<void(int code)> onExit) {
  int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (fd < 0) return false;
  fcntl(fd, F_SETFD, FD_CLOEXEC);
  Monitor().WatchChild(fd, pid, std::move(onExit));
  return true;
}

namespace {

// ---- Finding the program -------------------------------------------------------------

std::string CurrentFolder() {
  char buf[PATH_MAX];
  return getcwd(buf, sizeof buf) ? std::string(buf) : std::string(".");
}

std::string ExecutableFolder() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return CurrentFolder();
  std::string s(buf, static_cast<size_t>(n));
  return s.substr(0, s.rfind('/'));
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Error number of a program path that cannot be run, 0 when it can be tried.
DWORD CheckProgram(const std::string& path) {
  struct stat st = {};
  if (stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return ErrnoToOSError(errno);
    // A missing folder is told apart from a missing file.
    std::string folder = path.substr(0, path.rfind('/'));
    return folder.empty() || (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) ? ERROR_FILE_NOT_FOUND
                                                                                    : ERROR_PATH_NOT_FOUND;
  }
  if (S_ISDIR(st.st_mode)) return ERROR_ACCESS_DENIED;
  return 0;
}

DWORD ResolveProgram(const std::string& name, bool search, std::string& path) {
  if (name.empty()) return ERROR_FILE_NOT_FOUND;
  if (name.find('/') != std::string::npos) {
    path = name[0] == '/' ? name : Join(CurrentFolder(), name);
    return CheckProgram(path);
  }
  std::vector<std::string> folders;
  if (search) folders.push_back(ExecutableFolder());
  folders.push_back(CurrentFolder());
  if (search) {
    const char* env = getenv("PATH");
    std::string list = env ? env : "";
    size_t start = 0;
    for (;;) {
      size_t end = list.find(':', start);
      std::string folder = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
      folders.push_back(folder.empty() ? CurrentFolder() : folder);
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  for (const std::string& folder : folders) {
    std::string candidate = Join(folder, name);
    struct stat st = {};
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (!search || access(candidate.c_str(), X_OK) == 0)) {
      path = candidate;
      return 0;
    }
  }
  return ERROR_FILE_NOT_FOUND;
}

// The strings of an environment block: each ends with NUL, an empty one
// ends the block.
std::vector<std::string> ParseEnvironment(const void* block, bool unicode) {
  std::vector<std::string> vars;
  if (unicode) {
    for (auto p = static_cast<const char16_t*>(block); *p;) {
      std::u16string s(p);
      p += s.size() + 1;
      vars.push_back(WideToAnsi(s));
    }
  } else {
    for (auto p = static_cast<const char*>(block); *p;) {
      std::string s(p);
      p += s.size() + 1;
      vars.push_back(std::move(s));
    }
  }
  return vars;
}

std::vector<char*> PointerList(std::vector<std::string>& strings) {
  std::vector<char*> list;
  for (std::string& s : strings) list.push_back(s.data());
  list.push_back(nullptr);
  return list;
}

// Descriptors handed to a child's standard streams, raised above 2 so that
// setting one stream cannot overwrite the source of another; owns the
// copies it makes.
class TStdStreams {
 public:
  ~TStdStreams() {
    for (int fd : FCopies) close(fd);
  }
  // -1 gives the stream /dev/null.
  int Source[3] = {-1, -1, -1};

  bool Set(int stream, int fd) {
    if (fd >= 0 && fd <= 2) {
      fd = fcntl(fd, F_DUPFD_CLOEXEC, 3);
      if (fd < 0) return false;
      FCopies.push_back(fd);
    }
    Source[stream] = fd;
    return true;
  }

 private:
  std::vector<int> FCopies;
};

struct TSpawnSetup {
  posix_spawn_file_actions_t Actions;
  posix_spawnattr_t Attributes;
  TSpawnSetup() {
    posix_spawn_file_actions_init(&Actions);
    posix_spawnattr_init(&Attributes);
  }
  ~TSpawnSetup() {
    posix_spawn_file_actions_destroy(&Actions);
    posix_spawnattr_destroy(&Attributes);
  }
};


// The nice value of the priority class among the creation flags (0 when none
// is given); false when more than one is.
bool PriorityClassNice(DWORD flags, int& nice) {
  static const struct {
    DWORD Class;
    int Nice;
  } classes[] = {{IDLE_PRIORITY_CLASS, 19},        {BELOW_NORMAL_PRIORITY_CLASS, 10}, {NORMAL_PRIORITY_CLASS, 0},
                 {ABOVE_NORMAL_PRIORITY_CLASS, -5}, {HIGH_PRIORITY_CLASS, -10},        {REALTIME_PRIORITY_CLASS, -20}};
  int found = 0;
  for (const auto& c : classes)
    if (flags & c.Class) {
      nice = c.Nice;
      ++found;
    }
  return found <= 1;
}

// Whether the arguments and the environment (ours when `inherited`) are
// within what exec takes: no string longer than the kernel's per-string
// limit, and all together within the argument space.
bool ArgumentsFit(const std::vector<std::string>& args, const std::vector<std::string>& vars, bool inherited) {
  const long page = sysconf(_SC_PAGESIZE);
  const size_t perString = static_cast<size_t>(page > 0 ? page : 4096) * 32;
  const long argMax = sysconf(_SC_ARG_MAX);
  size_t total = 0;
  auto add = [&](const char* s) {
    const size_t n = std::strlen(s) + 1;
    total += n + sizeof(char*);
    return n <= perString;
  };
  for (const std::string& a : args)
    if (!add(a.c_str())) return false;
  if (inherited) {
    for (char** e = environ; *e; ++e)
      if (!add(*e)) return false;
  } else {
    for (const std::string& v : vars)
      if (!add(v.c_str())) return false;
  }
  return argMax <= 0 || total <= static_cast<size_t>(argMax);
}

struct TForkSetup {
  const char* Program = nullptr;
  char* const* Argv = nullptr;
  char* const* Envp = nullptr;
  const char* Directory = nullptr;
  const int* Streams = nullptr;  // the three sources; null: inherit ours
  bool NewGroup = false;
};

// Forks a child that waits for a byte on a pipe before it sets itself up and
// execs; `holdFd` is the pipe's write end. Only async-signal-safe calls in
// the child, since other threads of ours may hold locks. An errno on failure.
int ForkHeld(const TForkSetup& f, pid_t& pid, int& holdFd) {
  int hold[2];
  if (pipe2(hold, O_CLOEXEC) != 0) return errno;
  // Blocked until the child has put every handler back to the default, so no
  // handler of ours runs in it.
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  const pid_t parent = getpid();
  pid = fork();
  if (pid == 0) {
    struct sigaction dfl = {};
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig)
      if (sig != SIGKILL && sig != SIGSTOP) sigaction(sig, &dfl, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    close(hold[1]);
    char go = 0;
    ssize_t n;
    while ((n = read(hold[0], &go, 1)) < 0 && errno == EINTR) {
    }
    if (n != 1) _exit(127);
    if (go == 2) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      // The parent may have died before the signal was asked for.
      if (getppid() != parent) _exit(127);
    }
    if (f.Streams) {
      for (int i = 0; i < 3; ++i) {
        int source = f.Streams[i] >= 0 ? f.Streams[i] : open("/dev/null", O_RDWR);
        if (source < 0 || dup2(source, i) < 0) _exit(127);
      }
    }
    syscall(SYS_close_range, 3u, ~0u, 0u);
    if (f.Directory && chdir(f.Directory) != 0) _exit(127);
    if (f.NewGroup) setpgid(0, 0);
    execve(f.Program, f.Argv, f.Envp);
    _exit(127);
  }
  int e = errno;
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  close(hold[0]);
  if (pid < 0) {
    close(hold[1]);
    return e;
  }
  holdFd = hold[1];
  return 0;
}

}  // namespace

std::shared_ptr<TKernelObject> SelfProcess() {
  static std::shared_ptr<TKernelObject>* self = new std::shared_ptr<TKernelObject>(
      std::make_shared<TProcessObject>(getpid(), -1, false));
  return *self;
}

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags,
                    LPVOID lpEnvironment, LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                    LPPROCESS_INFORMATION lpProcessInformation) {
  if (!lpStartupInfo || !lpProcessInformation ||
      ((!lpApplicationName || !*lpApplicationName) && (!lpCommandLine || !*lpCommandLine))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int niceValue = 0;
  if (!PriorityClassNice(dwCreationFlags, niceValue)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<std::string> args = SplitCommandLine(lpCommandLine ? lpCommandLine : "");
  const bool haveApplication = lpApplicationName && *lpApplicationName;
  if (args.empty()) args.push_back(lpApplicationName);
  std::string program;
  if (DWORD error = ResolveProgram(haveApplication ? lpApplicationName : args[0], !haveApplication, program)) {
    SetLastError(error);
    return FALSE;
  }
  if (lpCurrentDirectory && *lpCurrentDirectory) {
    struct stat st = {};
    if (stat(lpCurrentDirectory, &st) != 0 || !S_ISDIR(st.st_mode)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
  }

  TSpawnSetup setup;
  TStdStreams streams;
  std::vector<std::shared_ptr<TKernelObject>> keep;
  if (lpStartupInfo->dwFlags & STARTF_USESTDHANDLES) {
    HANDLE handles[3] = {lpStartupInfo->hStdInput, lpStartupInfo->hStdOutput, lpStartupInfo->hStdError};
    for (int i = 0; i < 3; ++i) {
      // A child inherits only inheritable handles, and only when asked to.
      bool inherit = false;
      std::shared_ptr<TPipeObject> pipe = LookupHandleOf<TPipeObject>(handles[i], TKernelType::Pipe, 0, &inherit);
      if (pipe && inherit && bInheritHandles) {
        if (!streams.Set(i, pipe->Fd)) {
          SetLastErrorFromErrno();
          return FALSE;
        }
        keep.push_back(std::move(pipe));
      }
    }
    for (int i = 0; i < 3; ++i) {
      if (streams.Source[i] < 0)
        posix_spawn_file_actions_addopen(&setup.Actions, i, "/dev/null", O_RDWR, 0);
      else
        posix_spawn_file_actions_adddup2(&setup.Actions, streams.Source[i], i);
    }
  }
  // The child gets its standard streams and nothing else.
  posix_spawn_file_actions_addclosefrom_np(&setup.Actions, 3);
  if (lpCurrentDirectory && *lpCurrentDirectory) posix_spawn_file_actions_addchdir_np(&setup.Actions, lpCurrentDirectory);

  sigset_t defaults, mask;
  sigfillset(&defaults);
  sigdelset(&defaults, SIGKILL);
  sigdelset(&defaults, SIGSTOP);
  sigemptyset(&mask);
  posix_spawnattr_setsigdefault(&setup.Attributes, &defaults);
  posix_spawnattr_setsigmask(&setup.Attributes, &mask);
  short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
  if (dwCreationFlags & CREATE_NEW_PROCESS_GROUP) {
    flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setpgroup(&setup.Attributes, 0);
  }
  posix_spawnattr_setflags(&setup.Attributes, flags);

  std::vector<char*> argv = PointerList(args);
  std::vector<std::string> vars;
  std::vector<char*> envp;
  if (lpEnvironment) {
    vars = ParseEnvironment(lpEnvironment, dwCreationFlags & CREATE_UNICODE_ENVIRONMENT);
    envp = PointerList(vars);
  }
  pid_t pid = 0;
  int holdFd = -1;
  // A held child execs only after this call has returned: arguments beyond
  // the system's limits are refused here, as the spawn below would.
  if (!ArgumentsFit(args, lpEnvironment ? vars : std::vector<std::string>(), lpEnvironment == nullptr)) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return FALSE;
  }
  if (dwCreationFlags & CREATE_SUSPENDED) {
    // posix_spawn returns only once the child has exec'd, so a child held
    // before exec needs a fork of its own.
    TForkSetup fork;
    fork.Program = program.c_str();
    fork.Argv = argv.data();
    fork.Envp = lpEnvironment ? envp.data() : environ;
    fork.Directory = lpCurrentDirectory && *lpCurrentDirectory ? lpCurrentDirectory : nullptr;
    fork.Streams = lpStartupInfo->dwFlags & STARTF_USESTDHANDLES ? streams.Source : nullptr;
    fork.NewGroup = dwCreationFlags & CREATE_NEW_PROCESS_GROUP;
    if (int e = ForkHeld(fork, pid, holdFd)) {
      SetLastError(ErrnoToOSError(e));
      return FALSE;
    }
  } else if (int err = posix_spawn(&pid, program.c_str(), &setup.Actions, &setup.Attributes, argv.data(),
                                   lpEnvironment ? envp.data() : environ)) {
    // Arguments beyond the system's limits: the original's error for a
    // command line that is too long.
    SetLastError(err == E2BIG ? ERROR_FILENAME_EXCED_RANGE : ErrnoToOSError(err));
    return FALSE;
  }
  // Before the child runs when it is held; else as soon as it is started.
  if (niceValue != 0) setpriority(PRIO_PROCESS, static_cast<id_t>(pid), niceValue);
  int pidfd = PidfdOpen(pid);
  if (pidfd < 0) {
    int e = errno;
    if (holdFd >= 0) close(holdFd);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    SetLastError(ErrnoToOSError(e));
    return FALSE;
  }
  auto process = std::make_shared<TProcessObject>(pid, pidfd, true);
  {
    TProcessTable& t = Processes();
    std::lock_guard g(t.Lock);
    t.ById[pid] = process;
  }
  auto thread = std::make_shared<TChildThreadObject>(process, holdFd);
  lpProcessInformation->hProcess =
      AddHandle(process, PROCESS_ALL_ACCESS, lpProcessAttributes && lpProcessAttributes->bInheritHandle);
  lpProcessInformation->hThread =
      AddHandle(thread, THREAD_ALL_ACCESS, lpThreadAttributes && lpThreadAttributes->bInheritHandle);
  lpProcessInformation->dwProcessId = static_cast<DWORD>(pid);
  lpProcessInformation->dwThreadId = static_cast<DWORD>(pid);
  return TRUE;
}

HANDLE OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId) {
  const pid_t pid = static_cast<pid_t>(dwProcessId);
  if (pid == getpid()) return AddHandle(SelfProcess(), dwDesiredAccess, bInheritHandle != FALSE);
  std::shared_ptr<TProcessObject> process;
  {
    TProcessTable& t = Processes();
    std::lock_guard g(t.Lock);
    auto it = t.ById.find(pid);
    if (it != t.ById.end()) process = it->second.lock();
    if (!process) {
      int pidfd = pid > 0 ? PidfdOpen(pid) : -1;
      if (pidfd < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      process = std::make_shared<TProcessObject>(pid, pidfd, false);
      t.ById[pid] = process;
    }
  }
  return AddHandle(std::move(process), dwDesiredAccess, bInheritHandle != FALSE);
}

namespace rtl::detail {
namespace {

// Under KernelLock(); false with the last error set when the process has
// ended or cannot be signalled.
bool TerminateLocked(TProcessObject& p, UINT uExitCode) {
  if (p.Refresh()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  // The monitor reads the code under the same lock once the child is gone.
  bool asked = p.TerminateAsked;
  p.TerminateAsked = true;
  p.TerminateCode = uExitCode;
  if (PidfdSendSignal(p.PidFd, SIGKILL) != 0) {
    p.TerminateAsked = asked;
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return true;
}

class TJobObject : public TKernelObject {
 public:
  TJobObject() : TKernelObject(TKernelType::Job) {}
  void LastHandleClosed() override {
    std::lock_guard g(KernelLock());
    if (LimitFlags & JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE) TerminateAll(0);
  }
  // Under KernelLock().
  void TerminateAll(UINT uExitCode) {
    for (const std::weak_ptr<TProcessObject>& w : Processes)
      if (std::shared_ptr<TProcessObject> p = w.lock(); p && p->PidFd >= 0) TerminateLocked(*p, uExitCode);
  }

  // Under KernelLock().
  DWORD LimitFlags = 0;
  std::vector<std::weak_ptr<TProcessObject>> Processes;
};

}  // namespace
}  // namespace rtl::detail

BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode) {
  std::shared_ptr<TProcessObject> p = LookupHandleOf<TProcessObject>(hProcess, TKernelType::Process, PROCESS_TERMINATE);
  if (!p) return FALSE;
  if (p->PidFd < 0) _exit(static_cast<int>(uExitCode));
  std::lock_guard g(KernelLock());
  return TerminateLocked(*p, uExitCode);
}

HANDLE CreateJobObjectA(LPSECURITY_ATTRIBUTES lpJobAttributes, LPCSTR lpName) {
  if (lpName && *lpName) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  return AddHandle(std::make_shared<TJobObject>(), JOB_OBJECT_ALL_ACCESS,
                   lpJobAttributes && lpJobAttributes->bInheritHandle);
}

BOOL SetInformationJobObject(HANDLE hJob, JOBOBJECTINFOCLASS JobObjectInformationClass, LPVOID lpJobObjectInformation,
                             DWORD cbJobObjectInformationLength) {
  std::shared_ptr<TJobObject> job = LookupHandleOf<TJobObject>(hJob, TKernelType::Job, JOB_OBJECT_SET_ATTRIBUTES);
  if (!job) return FALSE;
  if (JobObjectInformationClass != JobObjectExtendedLimitInformation) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  if (!lpJobObjectInformation || cbJobObjectInformationLength != sizeof(JOBOBJECT_EXTENDED_LIMIT_INFORMATION)) {
    SetLastError(ERROR_BAD_LENGTH);
    return FALSE;
  }
  const auto* info = static_cast<const JOBOBJECT_EXTENDED_LIMIT_INFORMATION*>(lpJobObjectInformation);
  const DWORD flags = info->BasicLimitInformation.LimitFlags;
  if (flags & ~JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  std::lock_guard g(KernelLock());
  job->LimitFlags = flags;
  for (const std::weak_ptr<TProcessObject>& w : job->Processes)
    if (std::shared_ptr<TProcessObject> p = w.lock()) p->KillWithParent = flags & JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  return TRUE;
}

BOOL AssignProcessToJobObject(HANDLE hJob, HANDLE hProcess) {
  std::shared_ptr<TJobObject> job = LookupHandleOf<TJobObject>(hJob, TKernelType::Job, JOB_OBJECT_ASSIGN_PROCESS);
  if (!job) return FALSE;
  std::shared_ptr<TProcessObject> p =
      LookupHandleOf<TProcessObject>(hProcess, TKernelType::Process, PROCESS_SET_QUOTA | PROCESS_TERMINATE);
  if (!p) return FALSE;
  std::lock_guard g(KernelLock());
  if (p->InJob || p->PidFd < 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  p->InJob = true;
  p->KillWithParent = job->LimitFlags & JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  // Ended members go, so that a long-lived job does not grow.
  std::erase_if(job->Processes, [](const std::weak_ptr<TProcessObject>& w) {
    std::shared_ptr<TProcessObject> q = w.lock();
    return !q || q->Exited;
  });
  job->Processes.push_back(p);
  return TRUE;
}

BOOL TerminateJobObject(HANDLE hJob, UINT uExitCode) {
  std::shared_ptr<TJobObject> job = LookupHandleOf<TJobObject>(hJob, TKernelType::Job, JOB_OBJECT_TERMINATE);
  if (!job) return FALSE;
  std::lock_guard g(KernelLock());
  job->TerminateAll(uExitCode);
  return TRUE;
}

BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
  std::shared_ptr<TProcessObject> p = LookupHandleWithEither<TProcessObject>(
      hProcess, TKernelType::Process, PROCESS_QUERY_INFORMATION, PROCESS_QUERY_LIMITED_INFORMATION);
  if (!p) return FALSE;
  if (!lpExitCode) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard g(KernelLock());
  p->Refresh();
  *lpExitCode = p->ExitCode;
  return TRUE;
}

DWORD WaitForInputIdle(HANDLE hProcess, DWORD) {
  if (!LookupHandleOf<TProcessObject>(hProcess, TKernelType::Process, PROCESS_QUERY_INFORMATION)) return WAIT_FAILED;
  // A process without a message queue fails at once; no process is seen to
  // have one from here (queues live in the window layer, and a child's not
  // at all), so there is nothing to wait for and no timeout to run.
  SetLastError(ERROR_NOT_GUI_PROCESS);
  return WAIT_FAILED;
}

int GetHandleDescriptor(HANDLE hObject) {
  std::shared_ptr<TKernelObject> o = LookupHandle(hObject, 0);
  if (!o) return -1;
  if (o->Type == TKernelType::Pipe) return std::static_pointer_cast<TPipeObject>(o)->Fd;
  if (o->Type == TKernelType::Process) return std::static_pointer_cast<TProcessObject>(o)->PidFd;
  SetLastError(ERROR_INVALID_HANDLE);
  return -1;
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }
