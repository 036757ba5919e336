#include "platform/win/kernel/kernel.h"

#include <dirent.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/common/process_helpers.h"

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel_command_line.h"

namespace {

// ---- Helpers -------------------------------------------------------------------

using test_helpers::ConverterPath;
using test_helpers::ExeFolder;
using test_helpers::OpenDescriptorCount;
using test_helpers::ReadFileText;
using test_helpers::TempDir;

// An environment block: each string NUL-terminated, then one more NUL.
std::string EnvBlock(const std::vector<std::string>& vars) {
  std::string block;
  for (const auto& v : vars) block += v + '\0';
  return block + '\0';
}

std::string ReadAll(HANDLE h) {
  std::string out;
  char buf[4096];
  DWORD n;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr)) out.append(buf, n);
  EXPECT_EQ(ERROR_BROKEN_PIPE, GetLastError());
  return out;
}

// A started child with its standard input and output (error shares the
// output) on pipes whose parent ends are not inheritable.
struct TChild {
  PROCESS_INFORMATION Info = {};
  HANDLE In = nullptr;
  HANDLE Out = nullptr;

  ~TChild() {
    for (HANDLE h : {In, Out, Info.hProcess, Info.hThread})
      if (h) CloseHandle(h);
  }
  DWORD Wait() {
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Info.hProcess, INFINITE));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(Info.hProcess, &code));
    return code;
  }
  void CloseInput() {
    CloseHandle(In);
    In = nullptr;
  }
};

BOOL Start(TChild& c, const std::string& commandLine, const std::vector<std::string>& env,
           const char* cwd = nullptr, const char* application = nullptr, DWORD flags = NORMAL_PRIORITY_CLASS) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE inR, inW, outR, outW;
  EXPECT_TRUE(CreatePipe(&inR, &inW, &sa, 0));
  EXPECT_TRUE(CreatePipe(&outR, &outW, &sa, 0));
  EXPECT_TRUE(DuplicateHandle(GetCurrentProcess(), inW, GetCurrentProcess(), &c.In, 0, FALSE,
                              DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE));
  EXPECT_TRUE(DuplicateHandle(GetCurrentProcess(), outR, GetCurrentProcess(), &c.Out, 0, FALSE,
                              DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE));
  STARTUPINFO si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  si.hStdInput = inR;
  si.hStdOutput = outW;
  si.hStdError = outW;
  std::string cmd = commandLine;
  std::string block = EnvBlock(env);
  BOOL ok = CreateProcess(application, cmd.data(), nullptr, nullptr, TRUE, flags, block.data(), cwd, &si, &c.Info);
  DWORD error = GetLastError();
  CloseHandle(inR);
  CloseHandle(outW);
  SetLastError(error);
  return ok;
}

// ---- A second process for the shared-object tests ---------------------------------
// The test program runs itself with KERNEL_HELPER=<mode>:<name>; the helper
// runs before the tests and ends the process.

int RunHelper(const std::string& mode, const std::string& name) {
  if (mode == "hold" || mode == "abandon") {
    HANDLE m = OpenMutex(SYNCHRONIZE, FALSE, name.c_str());
    if (!m || WaitForSingleObject(m, INFINITE) != WAIT_OBJECT_0) return 10;
    if (::write(1, "locked\n", 7) != 7) return 12;
    char c;
    while (::read(0, &c, 1) > 0) {
    }
    if (mode == "abandon") _exit(0);
    return ReleaseMutex(m) ? 0 : 11;
  }
  if (mode == "mapping") {
    HANDLE f = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name.c_str());
    if (!f || GetLastError() != ERROR_ALREADY_EXISTS) return 20;
    auto* p = static_cast<char*>(MapViewOfFile(f, FILE_MAP_WRITE, 0, 0, 0));
    if (!p || std::strcmp(p, "from parent") != 0) return 21;
    std::strcpy(p, "from child");
    UnmapViewOfFile(p);
    CloseHandle(f);
    return 0;
  }
  if (mode == "exit-watching") {
    // Leaves through exit() while the process watcher waits for a child
    // that runs on: the watcher stops with the statics, without waiting for
    // the child.
    STARTUPINFO si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    char cmd[] = "/bin/sleep 20";
    if (!CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 30;
    std::exit(0);
  }
  if (mode == "job-child") {
    // Starts a child in a kill-on-close job, tells its id and waits to be
    // killed, closing nothing.
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) return 40;
    STARTUPINFO si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;  // no handles: /dev/null
    PROCESS_INFORMATION pi = {};
    char cmd[] = "/bin/sleep 600";
    if (!CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
      return 41;
    if (!AssignProcessToJobObject(job, pi.hProcess) || ResumeThread(pi.hThread) != 1) return 42;
    const std::string line = "pid " + std::to_string(pi.dwProcessId) + "\n";
    if (::write(1, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 43;
    char c;
    while (::read(0, &c, 1) > 0) {
    }
    return 0;
  }
  if (mode == "leave") {
    // Ends holding the mapping, as a crash would.
    HANDLE f = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name.c_str());
    auto* p = static_cast<char*>(MapViewOfFile(f, FILE_MAP_WRITE, 0, 0, 0));
    std::strcpy(p, "stale");
    _exit(0);
  }
  return 99;
}

struct THelperDispatch {
  THelperDispatch() {
    const char* spec = std::getenv("KERNEL_HELPER");
    if (!spec) return;
    std::string s = spec;
    size_t colon = s.find(':');
    _exit(RunHelper(s.substr(0, colon), s.substr(colon + 1)));
  }
} helperDispatch;

BOOL StartHelper(TChild& c, const std::string& mode, const std::string& name) {
  return Start(c, "helper", {"KERNEL_HELPER=" + mode + ":" + name}, nullptr, "/proc/self/exe");
}

std::string UniqueName(const char* what) { return std::string("kernel_test_") + what + "_" + std::to_string(getpid()); }

// ---- Command lines -------------------------------------------------------------------

struct TSplitCase {
  const char* CommandLine;
  std::vector<std::string> Args;
};

TEST(KernelCommandLine, SplitsByTheQuotingRules) {
  const TSplitCase cases[] = {
      {"prog a b", {"prog", "a", "b"}},
      {"  prog \t a  ", {"prog", "a"}},
      {"\"C:\\Program Files\\x.exe\" arg", {"C:\\Program Files\\x.exe", "arg"}},
      {"p\"ro g\"x a", {"pro gx", "a"}},
      {"prog \"a b\" c", {"prog", "a b", "c"}},
      {"prog \"\" x", {"prog", "", "x"}},
      {"prog a\\\\b", {"prog", "a\\\\b"}},
      {"prog a\\\"b", {"prog", "a\"b"}},
      {"prog a\\\\\"b c\"", {"prog", "a\\b c"}},
      {"prog a\\\\\\\"b", {"prog", "a\\\"b"}},
      {"prog \"a\"\"b\"", {"prog", "a\"b"}},
      {"prog \"a\"\"\"", {"prog", "a\""}},
      {"prog \"unterminated arg", {"prog", "unterminated arg"}},
      {"prog \"C:\\dir\\\\\" next", {"prog", "C:\\dir\\", "next"}},
      {"prog trailing\\", {"prog", "trailing\\"}},
      {"prog \xC3\xA9t\xC3\xA9 \"\xE2\x82\xAC x\"", {"prog", "\xC3\xA9t\xC3\xA9", "\xE2\x82\xAC x"}},
      {"", {}},
  };
  for (const TSplitCase& c : cases) EXPECT_EQ(c.Args, rtl::detail::SplitCommandLine(c.CommandLine)) << c.CommandLine;
}

TEST(KernelCommandLine, ChildReceivesTheSplitArguments) {
  std::string log = TempDir() + "/args.log";
  std::remove(log.c_str());
  const std::string args = "\"a b\" c\\\\\"d e\" \"f\"\"g\" h\\i \\\"j \"\" \xC3\xA9\xE2\x82\xAC";
  TChild c;
  ASSERT_TRUE(Start(c, "\"" + ConverterPath() + "\" " + args, {"TC_LOG=" + log}));
  EXPECT_EQ(0u, c.Wait());
  EXPECT_EQ("a b\nc\\d e\nf\"g\nh\\i\n\"j\n\n\xC3\xA9\xE2\x82\xAC\n", ReadFileText(log));
}

// ---- Pipes ----------------------------------------------------------------------------

TEST(KernelPipe, CarriesBytesAndReportsEachEndClosing) {
  HANDLE r, w;
  ASSERT_TRUE(CreatePipe(&r, &w, nullptr, 0));
  const char data[] = "a\0b\r\n";
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(w, data, sizeof data, &n, nullptr));
  EXPECT_EQ(sizeof data, n);
  char buf[16];
  ASSERT_TRUE(ReadFile(r, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(std::string(data, sizeof data), std::string(buf, n));

  EXPECT_FALSE(WriteFile(r, data, 1, &n, nullptr));
  EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());

  ASSERT_TRUE(CloseHandle(w));
  EXPECT_FALSE(ReadFile(r, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(ERROR_BROKEN_PIPE, GetLastError());
  EXPECT_EQ(0u, n);
  ASSERT_TRUE(CloseHandle(r));

  // Writing into a pipe nobody reads is an error, not a fatal signal.
  ASSERT_TRUE(CreatePipe(&r, &w, nullptr, 0));
  CloseHandle(r);
  EXPECT_FALSE(WriteFile(w, data, 1, &n, nullptr));
  EXPECT_EQ(ERROR_NO_DATA, GetLastError());
  CloseHandle(w);
}

TEST(KernelPipe, ClosingTheLastHandleWakesABlockedReader) {
  const int before = OpenDescriptorCount();
  HANDLE r, w;
  ASSERT_TRUE(CreatePipe(&r, &w, nullptr, 0));
  HANDLE reading = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  BOOL ok = TRUE;
  DWORD error = 0;
  std::thread reader([&] {
    char buf[8];
    DWORD n;
    SetEvent(reading);
    ok = ReadFile(r, buf, sizeof buf, &n, nullptr);
    error = GetLastError();
  });
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reading, INFINITE));
  ASSERT_TRUE(CloseHandle(r));
  reader.join();
  EXPECT_FALSE(ok);
  EXPECT_TRUE(error == ERROR_OPERATION_ABORTED || error == ERROR_INVALID_HANDLE) << error;
  CloseHandle(w);
  CloseHandle(reading);
  EXPECT_EQ(before, OpenDescriptorCount());
}

TEST(KernelPipe, ClosingOneOfTwoHandlesKeepsTheEndOpen) {
  HANDLE r, w, r2;
  ASSERT_TRUE(CreatePipe(&r, &w, nullptr, 0));
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), r, GetCurrentProcess(), &r2, 0, FALSE, DUPLICATE_SAME_ACCESS));
  CloseHandle(r);
  DWORD n;
  ASSERT_TRUE(WriteFile(w, "x", 1, &n, nullptr));
  char c;
  ASSERT_TRUE(ReadFile(r2, &c, 1, &n, nullptr));
  EXPECT_EQ('x', c);
  CloseHandle(r2);
  CloseHandle(w);
}

// ---- Handles --------------------------------------------------------------------------

TEST(KernelHandle, DuplicateHandleClosesTheSourceAndSetsAccess) {
  HANDLE r, w, w2, wRead;
  ASSERT_TRUE(CreatePipe(&r, &w, nullptr, 0));
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), w, GetCurrentProcess(), &wRead, GENERIC_READ, FALSE, 0));
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), w, GetCurrentProcess(), &w2, 0, FALSE,
                              DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE));
  EXPECT_FALSE(CloseHandle(w));
  EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
  DWORD n;
  EXPECT_TRUE(WriteFile(w2, "y", 1, &n, nullptr));
  EXPECT_FALSE(WriteFile(wRead, "y", 1, &n, nullptr));
  EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
  for (HANDLE h : {r, w2, wRead}) EXPECT_TRUE(CloseHandle(h));
  // A closed handle stays closed even when its slot is reused.
  HANDLE e = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  EXPECT_FALSE(SetEvent(w2));
  EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
  CloseHandle(e);
  EXPECT_TRUE(CloseHandle(GetCurrentProcess()));
}

// ---- Events and waits -------------------------------------------------------------------

struct TEventCase {
  BOOL Manual;
  BOOL Initial;
  DWORD FirstWait, SecondWait;
};

TEST(KernelEvent, ManualAndAutoReset) {
  const TEventCase cases[] = {
      {TRUE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0},
      {FALSE, TRUE, WAIT_OBJECT_0, WAIT_TIMEOUT},
      {TRUE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
      {FALSE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
  };
  for (const TEventCase& c : cases) {
    HANDLE e = CreateEvent(nullptr, c.Manual, c.Initial, nullptr);
    EXPECT_EQ(c.FirstWait, WaitForSingleObject(e, 0));
    EXPECT_EQ(c.SecondWait, WaitForSingleObject(e, 0));
    ResetEvent(e);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(e, 0));
    PulseEvent(e);  // nobody waits: stays reset
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(e, 0));
    CloseHandle(e);
  }
}

TEST(KernelEvent, TimedWaitEndsWithTimeout) {
  HANDLE e = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(e, 20));
  CloseHandle(e);
}

TEST(KernelEvent, SetEventReleasesAWaitingThreadAndPulseReleasesAWaiter) {
  for (bool pulse : {false, true}) {
    HANDLE e = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    std::atomic<bool> done = false;
    DWORD result = WAIT_FAILED;
    std::thread t([&] {
      result = WaitForSingleObject(e, INFINITE);
      done = true;
    });
    if (pulse) {
      // A pulse reaches only a thread already waiting: repeat until it does.
      while (!done) {
        PulseEvent(e);
        std::this_thread::yield();
      }
    } else {
      SetEvent(e);
    }
    t.join();
    EXPECT_EQ(WAIT_OBJECT_0, result);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(e, 0));
    CloseHandle(e);
  }
}

TEST(KernelWait, WaitAnyGivesTheFirstSignalledAndWaitAllTakesAllOrNothing) {
  HANDLE a = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  HANDLE b = CreateEvent(nullptr, FALSE, TRUE, nullptr);
  HANDLE c = CreateEvent(nullptr, TRUE, TRUE, nullptr);
  HANDLE abc[] = {a, b, c};
  EXPECT_EQ(WAIT_OBJECT_0 + 1, WaitForMultipleObjects(3, abc, FALSE, 0));
  EXPECT_EQ(WAIT_OBJECT_0 + 2, WaitForMultipleObjects(3, abc, FALSE, 0));
  // b was consumed, a is not set: waiting for all takes nothing.
  SetEvent(b);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForMultipleObjects(3, abc, TRUE, 0));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(b, 0));
  SetEvent(a);
  SetEvent(b);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(3, abc, TRUE, 0));
  EXPECT_EQ(WAIT_TIMEOUT, WaitForMultipleObjects(2, abc, FALSE, 0));

  HANDLE twice[] = {c, c};
  EXPECT_EQ(WAIT_FAILED, WaitForMultipleObjects(2, twice, TRUE, 0));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_EQ(WAIT_FAILED, WaitForSingleObject(nullptr, 0));
  EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
  for (HANDLE h : abc) CloseHandle(h);
}

TEST(KernelEvent, NamedEventsShareTheObject) {
  std::string name = UniqueName("event");
  HANDLE e1 = CreateEvent(nullptr, TRUE, FALSE, name.c_str());
  EXPECT_EQ(ERROR_SUCCESS, GetLastError());
  HANDLE e2 = CreateEvent(nullptr, TRUE, FALSE, name.c_str());
  EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
  HANDLE e3 = OpenEvent(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, name.c_str());
  ASSERT_TRUE(e3);
  SetEvent(e3);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(e1, 0));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(e2, 0));
  EXPECT_FALSE(CreateMutex(nullptr, FALSE, name.c_str()));
  EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
  for (HANDLE h : {e1, e2, e3}) CloseHandle(h);
  EXPECT_FALSE(OpenEvent(SYNCHRONIZE, FALSE, name.c_str()));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
}

// ---- Mutexes ----------------------------------------------------------------------------

TEST(KernelMutex, OwnerTakesItAgainAndOthersWait) {
  HANDLE m = CreateMutex(nullptr, TRUE, nullptr);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m, 0));
  DWORD other = WAIT_FAILED;
  BOOL releasedByOther = TRUE;
  std::thread([&] {
    other = WaitForSingleObject(m, 0);
    releasedByOther = ReleaseMutex(m);
  }).join();
  EXPECT_EQ(WAIT_TIMEOUT, other);
  EXPECT_FALSE(releasedByOther);
  EXPECT_TRUE(ReleaseMutex(m));
  EXPECT_TRUE(ReleaseMutex(m));
  EXPECT_FALSE(ReleaseMutex(m));
  EXPECT_EQ(ERROR_NOT_OWNER, GetLastError());
  std::thread([&] { other = WaitForSingleObject(m, 0); }).join();
  // That thread ended owning it: the next owner learns so, once.
  EXPECT_EQ(WAIT_OBJECT_0, other);
  EXPECT_EQ(WAIT_ABANDONED, WaitForSingleObject(m, 0));
  EXPECT_TRUE(ReleaseMutex(m));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m, 0));
  EXPECT_TRUE(ReleaseMutex(m));
  CloseHandle(m);
}

TEST(KernelMutex, NamedMutexCreatedTwiceIsTheSameObject) {
  std::string name = UniqueName("mutex");
  HANDLE m1 = CreateMutex(nullptr, TRUE, name.c_str());
  ASSERT_TRUE(m1);
  EXPECT_EQ(ERROR_SUCCESS, GetLastError());
  HANDLE m2 = CreateMutex(nullptr, FALSE, name.c_str());
  EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
  // Owned through m1, so releasable through m2.
  EXPECT_TRUE(ReleaseMutex(m2));
  EXPECT_FALSE(ReleaseMutex(m1));
  CloseHandle(m1);
  CloseHandle(m2);
  EXPECT_FALSE(OpenMutex(SYNCHRONIZE, FALSE, name.c_str()));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
}

TEST(KernelShared, NamedMutexIsSharedWithAnotherProcess) {
  for (const char* mode : {"hold", "abandon"}) {
    std::string name = UniqueName(mode);
    HANDLE m = CreateMutex(nullptr, FALSE, name.c_str());
    ASSERT_TRUE(m);
    TChild c;
    ASSERT_TRUE(StartHelper(c, mode, name));
    char buf[7];
    DWORD n;
    ASSERT_TRUE(ReadFile(c.Out, buf, sizeof buf, &n, nullptr));
    ASSERT_EQ("locked\n", std::string(buf, n));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(m, 0));
    c.CloseInput();
    EXPECT_EQ(std::string(mode) == "hold" ? WAIT_OBJECT_0 : WAIT_ABANDONED, WaitForSingleObject(m, INFINITE)) << mode;
    EXPECT_EQ(0u, c.Wait());
    EXPECT_TRUE(ReleaseMutex(m));
    CloseHandle(m);
  }
}

// ---- File mappings ---------------------------------------------------------------------

TEST(KernelShared, NamedMappingIsSharedWithAnotherProcessAndGoesWithTheLastHandle) {
  std::string name = UniqueName("mapping");
  HANDLE f = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name.c_str());
  ASSERT_TRUE(f);
  EXPECT_EQ(ERROR_SUCCESS, GetLastError());
  auto* p = static_cast<char*>(MapViewOfFile(f, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  ASSERT_TRUE(p);
  std::strcpy(p, "from parent");
  TChild c;
  ASSERT_TRUE(StartHelper(c, "mapping", name));
  EXPECT_EQ(0u, c.Wait());
  EXPECT_STREQ("from child", p);

  HANDLE again = OpenFileMapping(FILE_MAP_READ, FALSE, name.c_str());
  ASSERT_TRUE(again);
  EXPECT_FALSE(MapViewOfFile(again, FILE_MAP_WRITE, 0, 0, 0));
  EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
  CloseHandle(again);
  CloseHandle(f);
  // The view keeps the mapping; the name goes with the view.
  EXPECT_STREQ("from child", p);
  EXPECT_TRUE(UnmapViewOfFile(p));
  EXPECT_FALSE(UnmapViewOfFile(p));
  EXPECT_EQ(ERROR_INVALID_ADDRESS, GetLastError());
  EXPECT_FALSE(OpenFileMapping(FILE_MAP_READ, FALSE, name.c_str()));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
}

TEST(KernelShared, ANameOnlyEndedProcessesHeldIsGone) {
  std::string name = UniqueName("left");
  TChild c;
  ASSERT_TRUE(StartHelper(c, "leave", name));
  EXPECT_EQ(0u, c.Wait());
  EXPECT_FALSE(OpenFileMapping(FILE_MAP_READ, FALSE, name.c_str()));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
  HANDLE f = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name.c_str());
  EXPECT_EQ(ERROR_SUCCESS, GetLastError());
  auto* p = static_cast<char*>(MapViewOfFile(f, FILE_MAP_READ, 0, 0, 0));
  ASSERT_TRUE(p);
  EXPECT_EQ('\0', p[0]);
  UnmapViewOfFile(p);
  CloseHandle(f);
}

TEST(KernelMapping, UnnamedMappingChecksItsArguments) {
  EXPECT_FALSE(CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0, nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  HANDLE f = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 3 * 65536, nullptr);
  ASSERT_TRUE(f);
  EXPECT_FALSE(MapViewOfFile(f, FILE_MAP_WRITE, 0, 4096, 0));
  EXPECT_EQ(ERROR_MAPPED_ALIGNMENT, GetLastError());
  auto* whole = static_cast<char*>(MapViewOfFile(f, FILE_MAP_WRITE, 0, 0, 0));
  auto* tail = static_cast<char*>(MapViewOfFile(f, FILE_MAP_READ, 0, 65536, 0));
  ASSERT_TRUE(whole && tail);
  whole[65536] = 'z';
  EXPECT_EQ('z', tail[0]);
  EXPECT_FALSE(MapViewOfFile(f, FILE_MAP_READ, 0, 3 * 65536, 0));
  UnmapViewOfFile(whole);
  UnmapViewOfFile(tail);
  CloseHandle(f);
}

// ---- Processes --------------------------------------------------------------------------

struct TExitCase {
  const char* Name;
  std::vector<std::string> Env;
  DWORD Code;
};

// ---- Jobs ---------------------------------------------------------------------------

HANDLE KillOnCloseJob() {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  EXPECT_TRUE(SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits));
  return job;
}

TEST(KernelJob, ClosingAKillOnCloseJobEndsItsProcessesAndOnlyThose) {
  // Each would end with 5 once its input closes; ended by the job, with 0.
  TChild inJob[2], outside;
  for (TChild* c : {&inJob[0], &inJob[1], &outside})
    ASSERT_TRUE(Start(*c, ConverterPath(), {"TC_SCRIPT=stdin:", "TC_EXIT=5"}));
  HANDLE job = KillOnCloseJob();
  for (TChild& c : inJob) EXPECT_TRUE(AssignProcessToJobObject(job, c.Info.hProcess));
  HANDLE other = CreateJobObjectA(nullptr, nullptr);
  EXPECT_FALSE(AssignProcessToJobObject(other, inJob[0].Info.hProcess)) << "one job per process";
  EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
  CloseHandle(other);
  CloseHandle(job);
  for (TChild& c : inJob) EXPECT_EQ(0u, c.Wait());
  outside.CloseInput();
  EXPECT_EQ(5u, outside.Wait());
}

TEST(KernelJob, OnlyTheKillOnCloseLimitIsTaken) {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  ASSERT_NE(job, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  struct TCase {
    const char* Name;
    JOBOBJECTINFOCLASS Class;
    DWORD Flags;
    DWORD Size;
    DWORD Error;  // 0: accepted
  } cases[] = {
      {"kill on close", JobObjectExtendedLimitInformation, JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE, sizeof limits, 0},
      {"no limit", JobObjectExtendedLimitInformation, 0, sizeof limits, 0},
      {"another limit", JobObjectExtendedLimitInformation, 0x8, sizeof limits, ERROR_NOT_SUPPORTED},
      {"basic limits", JobObjectBasicLimitInformation, 0, sizeof limits.BasicLimitInformation, ERROR_NOT_SUPPORTED},
      {"short record", JobObjectExtendedLimitInformation, 0, sizeof limits - 8, ERROR_BAD_LENGTH},
  };
  for (const TCase& c : cases) {
    limits.BasicLimitInformation.LimitFlags = c.Flags;
    SetLastError(0);
    EXPECT_EQ(c.Error == 0, SetInformationJobObject(job, c.Class, &limits, c.Size) != FALSE) << c.Name;
    EXPECT_EQ(c.Error, GetLastError()) << c.Name;
  }
  CloseHandle(job);
  EXPECT_EQ(nullptr, CreateJobObjectA(nullptr, "named"));
  EXPECT_EQ(ERROR_NOT_SUPPORTED, GetLastError());
}

// The starter dies without closing anything (killed, as a crash or kill -9
// would): the system ends the child it held and put into the job.
TEST(KernelJob, AHeldChildOfTheJobEndsWhenItsStarterIsKilled) {
  TChild helper;
  ASSERT_TRUE(StartHelper(helper, "job-child", "x"));
  std::string line;
  char ch;
  DWORD n;
  while (ReadFile(helper.Out, &ch, 1, &n, nullptr) && n == 1 && ch != '\n') line += ch;
  ASSERT_EQ(line.rfind("pid ", 0), 0u) << line;
  const pid_t child = std::stoi(line.substr(4));
  const int fd = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
  ASSERT_GE(fd, 0) << "the child runs";
  pollfd running = {fd, POLLIN, 0};
  EXPECT_EQ(0, poll(&running, 1, 0));
  ASSERT_TRUE(TerminateProcess(helper.Info.hProcess, 9));
  EXPECT_EQ(9u, helper.Wait());
  pollfd ended = {fd, POLLIN, 0};
  EXPECT_EQ(1, poll(&ended, 1, 30000)) << "the child ended with its starter";
  close(fd);
}

TEST(KernelProcess, ExitCodes) {
  const TExitCase cases[] = {
      {"normal", {}, 0},
      {"code 3", {"TC_EXIT=3"}, 3},
      {"code 255", {"TC_EXIT=255"}, 255},
      {"abort", {"TC_ABORT=1"}, STATUS_CONTROL_C_EXIT},
  };
  for (const TExitCase& c : cases) {
    TChild child;
    ASSERT_TRUE(Start(child, ConverterPath(), c.Env)) << c.Name;
    EXPECT_EQ(c.Code, child.Wait()) << c.Name;
    // The primary thread ends with the process.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.Info.hThread, 0)) << c.Name;
  }
}

TEST(KernelProcess, TerminateByHandleAndById) {
  for (bool byId : {false, true}) {
    TChild c;
    ASSERT_TRUE(Start(c, ConverterPath(), {"TC_SCRIPT=stdin:"}));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(c.Info.hProcess, &code));
    EXPECT_EQ(STILL_ACTIVE, code);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(c.Info.hProcess, 0));
    if (byId) {
      HANDLE h = OpenProcess(PROCESS_TERMINATE, FALSE, c.Info.dwProcessId);
      ASSERT_TRUE(h);
      EXPECT_FALSE(GetExitCodeProcess(h, &code));
      EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
      EXPECT_TRUE(TerminateProcess(h, 1234));
      CloseHandle(h);
    } else {
      EXPECT_TRUE(TerminateProcess(c.Info.hProcess, 1234));
    }
    EXPECT_EQ(1234u, c.Wait());
    EXPECT_FALSE(TerminateProcess(c.Info.hProcess, 1));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
  }
}

bool ProcessExists(DWORD pid) {
  struct stat st;
  return stat(("/proc/" + std::to_string(pid)).c_str(), &st) == 0;
}

TEST(KernelProcess, AnEndedChildKeepsItsIdWhileAHandleIsOpenAndIsReapedAfter) {
  DWORD pid;
  {
    TChild c;
    ASSERT_TRUE(Start(c, ConverterPath(), {"TC_EXIT=7"}));
    pid = c.Info.dwProcessId;
    EXPECT_EQ(7u, c.Wait());
    EXPECT_TRUE(ProcessExists(pid));
    HANDLE again = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
    ASSERT_TRUE(again);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(again, &code));
    EXPECT_EQ(7u, code);
    CloseHandle(again);
  }
  // Reaped by this process, no one else: poll for it without a time limit
  // of our own (the test runner's limit applies).
  while (ProcessExists(pid)) std::this_thread::yield();
  EXPECT_EQ(-1, waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG));
}

// A caller that watches a child's descriptor itself learns the end from
// the process layer as soon as the descriptor is ready, through any of the
// calls that ask: nothing else needs to have watched the child.
TEST(KernelProcess, AnEndIsKnownAsSoonAsTheDescriptorIsReady) {
  const struct {
    const char* Name;
    std::vector<std::string> Env;
    DWORD Code;
  } cases[] = {{"exit code", {"TC_EXIT=5"}, 5}, {"killed", {"TC_SCRIPT=stdin:"}, 77}};
  for (const auto& k : cases) {
    TChild c;
    ASSERT_TRUE(Start(c, ConverterPath(), k.Env)) << k.Name;
    if (k.Code == 77) EXPECT_TRUE(TerminateProcess(c.Info.hProcess, 77));
    pollfd ready = {GetHandleDescriptor(c.Info.hProcess), POLLIN, 0};
    ASSERT_EQ(1, poll(&ready, 1, -1)) << k.Name;
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(c.Info.hThread, &code));
    EXPECT_EQ(k.Code, code) << k.Name;
    EXPECT_TRUE(GetExitCodeProcess(c.Info.hProcess, &code));
    EXPECT_EQ(k.Code, code) << k.Name;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(c.Info.hProcess, 0)) << k.Name;
    EXPECT_FALSE(TerminateProcess(c.Info.hProcess, 1)) << k.Name;
  }
}

// A child whose handles all close while it runs is reaped once it ends,
// and no zombie stays.
TEST(KernelProcess, AChildLetGoWhileRunningIsReapedWhenItEnds) {
  DWORD pid;
  HANDLE input;
  {
    TChild c;
    ASSERT_TRUE(Start(c, ConverterPath(), {"TC_SCRIPT=stdin:"}));
    pid = c.Info.dwProcessId;
    input = c.In;
    c.In = nullptr;
  }
  EXPECT_TRUE(ProcessExists(pid));
  CloseHandle(input);
  // Reaped by this process, no one else: poll for it without a time limit
  // of our own (the test runner's limit applies).
  while (ProcessExists(pid)) std::this_thread::yield();
  EXPECT_EQ(-1, waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG));
}

TEST(KernelProcess, WaitsOnAProcessAndAnEventTogether) {
  TChild c;
  ASSERT_TRUE(Start(c, ConverterPath(), {"TC_SCRIPT=stdin:"}));
  HANDLE e = CreateEvent(nullptr, TRUE, TRUE, nullptr);
  HANDLE both[] = {c.Info.hProcess, e};
  EXPECT_EQ(WAIT_OBJECT_0 + 1, WaitForMultipleObjects(2, both, FALSE, INFINITE));
  EXPECT_EQ(WAIT_TIMEOUT, WaitForMultipleObjects(2, both, TRUE, 0));
  c.CloseInput();
  EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, TRUE, INFINITE));
  CloseHandle(e);
}

// One thread can wait on many pipes and children through their
// descriptors: a pipe end's is readable once there is data or the writer
// is gone, a child's once it has ended; other objects have none.
TEST(KernelProcess, PipesAndChildrenGiveDescriptorsToPollOn) {
  TChild c;
  ASSERT_TRUE(Start(c, ConverterPath(), {"TC_SCRIPT=stdin:;out:x"}));
  const int out = GetHandleDescriptor(c.Out);
  const int process = GetHandleDescriptor(c.Info.hProcess);
  ASSERT_GE(out, 0);
  ASSERT_GE(process, 0);
  pollfd fds[2] = {{out, POLLIN, 0}, {process, POLLIN, 0}};
  EXPECT_EQ(0, poll(fds, 2, 50));
  c.CloseInput();
  ASSERT_EQ(1, poll(fds, 1, 10000));
  EXPECT_EQ(0u, c.Wait());
  EXPECT_EQ(1, poll(fds + 1, 1, 0));
  HANDLE e = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(-1, GetHandleDescriptor(e));
  EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
  CloseHandle(e);
  EXPECT_EQ(-1, GetHandleDescriptor(e));
}

TEST(KernelProcess, ChildGetsOnlyItsStandardStreams) {
  // An inheritable pipe that is not one of the child's streams.
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE r, w;
  ASSERT_TRUE(CreatePipe(&r, &w, &sa, 0));
  std::string fds = TempDir() + "/fds.log";
  std::remove(fds.c_str());
  TChild c;
  ASSERT_TRUE(Start(c, ConverterPath(), {"TC_FDS=" + fds, "TC_SCRIPT=out:hello"}));
  EXPECT_EQ("hello", ReadAll(c.Out));
  EXPECT_EQ(0u, c.Wait());
  EXPECT_EQ("fd 0\nfd 1\nfd 2\n", ReadFileText(fds));
  CloseHandle(r);
  CloseHandle(w);
}

TEST(KernelProcess, StreamsAreInheritedOnlyFromInheritableHandles) {
  HANDLE r, w;
  ASSERT_TRUE(CreatePipe(&r, &w, nullptr, 0));  // not inheritable
  STARTUPINFO si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = w;
  si.hStdError = w;
  std::string cmd = ConverterPath();
  std::string env = EnvBlock({"TC_SCRIPT=out:lost"});
  PROCESS_INFORMATION pi;
  ASSERT_TRUE(CreateProcess(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, env.data(), nullptr, &si, &pi));
  CloseHandle(w);
  // The child wrote to nothing; our only write end is closed.
  EXPECT_EQ("", ReadAll(r));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, INFINITE));
  for (HANDLE h : {r, pi.hProcess, pi.hThread}) CloseHandle(h);
}

TEST(KernelProcess, CurrentFolderAndEnvironmentReachTheChild) {
  std::string dir = TempDir() + "/cwd";
  mkdir(dir.c_str(), 0700);
  TChild c;
  ASSERT_TRUE(Start(c, ConverterPath(), {"TC_CREATE=made.txt"}, dir.c_str()));
  EXPECT_EQ(0u, c.Wait());
  EXPECT_EQ("converted\n", ReadFileText(dir + "/made.txt"));
}

std::string ExeOf(pid_t pid) {
  char buf[4096];
  ssize_t n = readlink(("/proc/" + std::to_string(pid) + "/exe").c_str(), buf, sizeof buf);
  return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

TEST(KernelProcess, ASuspendedChildRunsTheProgramOnlyOnResume) {
  std::string dir = TempDir() + "/held";
  mkdir(dir.c_str(), 0700);
  std::string fds = dir + "/fds.log";
  std::remove(fds.c_str());
  TChild c;
  ASSERT_TRUE(Start(c, ConverterPath(), {"TC_FDS=" + fds, "TC_CREATE=made.txt", "TC_SCRIPT=out:hello"}, dir.c_str(),
                    nullptr, CREATE_SUSPENDED));
  const pid_t pid = static_cast<pid_t>(c.Info.dwProcessId);
  EXPECT_EQ(ExeOf(pid), ExeOf(getpid())) << "held before it runs the program";
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(c.Info.hProcess, 0));
  EXPECT_EQ(1u, ResumeThread(c.Info.hThread));
  EXPECT_EQ(0u, ResumeThread(c.Info.hThread));
  EXPECT_EQ("hello", ReadAll(c.Out));
  EXPECT_EQ(0u, c.Wait());
  // Set up as a child started at once: streams, folder, environment.
  EXPECT_EQ("fd 0\nfd 1\nfd 2\n", ReadFileText(fds));
  EXPECT_EQ("converted\n", ReadFileText(dir + "/made.txt"));
}

TEST(KernelProcess, ASuspendedChildNeverResumedEnds) {
  struct Case {
    const char* name;
    bool terminate;  // else close the thread handle
    DWORD code;
  };
  const Case cases[] = {{"terminated", true, 42}, {"thread handle closed", false, 127}};
  for (const Case& k : cases) {
    TChild c;
    ASSERT_TRUE(Start(c, ConverterPath(), {"TC_EXIT=3"}, nullptr, nullptr, CREATE_SUSPENDED)) << k.name;
    if (k.terminate) {
      EXPECT_TRUE(TerminateProcess(c.Info.hProcess, k.code)) << k.name;
    } else {
      CloseHandle(c.Info.hThread);
      c.Info.hThread = nullptr;
    }
    EXPECT_EQ(k.code, c.Wait()) << k.name;
  }
}

TEST(KernelProcess, PriorityClassesSetTheChildsNiceValue) {
  struct Case {
    DWORD flags;
    int nice;
  };
  const Case cases[] = {
      {IDLE_PRIORITY_CLASS, 19}, {BELOW_NORMAL_PRIORITY_CLASS, 10}, {NORMAL_PRIORITY_CLASS, 0},
      {ABOVE_NORMAL_PRIORITY_CLASS, -5}, {HIGH_PRIORITY_CLASS, -10}, {REALTIME_PRIORITY_CLASS, -20},
  };
  errno = 0;
  const int ours = getpriority(PRIO_PROCESS, 0);
  for (const Case& k : cases) {
    TChild c;
    ASSERT_TRUE(Start(c, ConverterPath(), {}, nullptr, nullptr, k.flags | CREATE_SUSPENDED)) << k.flags;
    errno = 0;
    int got = getpriority(PRIO_PROCESS, static_cast<id_t>(c.Info.dwProcessId));
    ASSERT_EQ(0, errno);
    // Lowering always works; a raise needs a privilege the tests may lack.
    if (k.nice >= ours)
      EXPECT_EQ(k.nice, got) << k.flags;
    else
      EXPECT_TRUE(got == k.nice || got == ours) << k.flags << " gave " << got;
    ResumeThread(c.Info.hThread);
    EXPECT_EQ(0u, c.Wait());
  }
  TChild c;
  EXPECT_FALSE(Start(c, ConverterPath(), {}, nullptr, nullptr, IDLE_PRIORITY_CLASS | HIGH_PRIORITY_CLASS));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST(KernelProcess, WaitForInputIdleFailsAtOnceForAProcessWithoutAMessageQueue) {
  TChild c;
  ASSERT_TRUE(Start(c, ConverterPath(), {"TC_SCRIPT=stdin:"}));
  SetLastError(0);
  EXPECT_EQ(WAIT_FAILED, WaitForInputIdle(c.Info.hProcess, INFINITE));
  EXPECT_EQ(ERROR_NOT_GUI_PROCESS, GetLastError());
  EXPECT_EQ(WAIT_FAILED, WaitForInputIdle(nullptr, 0));
  EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
  c.CloseInput();
  EXPECT_EQ(0u, c.Wait());
}

struct TStartFailure {
  const char* Name;
  const char* Application;
  std::string CommandLine;
  const char* Folder;
  DWORD Error;
};

TEST(KernelProcess, StartFailuresGiveTheSystemError) {
  std::string dir = TempDir();
  std::string notProgram = dir + "/plain.exe";
  std::ofstream(notProgram) << "just text\n";
  chmod(notProgram.c_str(), 0755);
  const TStartFailure cases[] = {
      {"missing program", nullptr, dir + "/ConvertZelvo.exe a b", nullptr, ERROR_FILE_NOT_FOUND},
      {"missing on the search path", nullptr, "no-such-program-anywhere x", nullptr, ERROR_FILE_NOT_FOUND},
      {"missing application", "/no/such/dir/app", "app", nullptr, ERROR_PATH_NOT_FOUND},
      {"missing folder", nullptr, ConverterPath(), "/no/such/folder", ERROR_DIRECTORY},
      {"a folder", nullptr, dir, nullptr, ERROR_ACCESS_DENIED},
      {"no program format", nullptr, notProgram, nullptr, ERROR_BAD_EXE_FORMAT},
  };
  const int before = OpenDescriptorCount();
  for (const TStartFailure& c : cases) {
    TChild child;
    EXPECT_FALSE(Start(child, c.CommandLine, {}, c.Folder, c.Application)) << c.Name;
    EXPECT_EQ(c.Error, GetLastError()) << c.Name;
    EXPECT_EQ(nullptr, child.Info.hProcess) << c.Name;
  }
  EXPECT_EQ(before, OpenDescriptorCount());
}

TEST(KernelProcess, ScriptsWithAnyNameStartAndBareNamesAreSearched) {
  std::string script = TempDir() + "/Script.exe";
  std::ofstream(script) << "#!/bin/sh\nexit 5\n";
  chmod(script.c_str(), 0755);
  TChild a, b;
  ASSERT_TRUE(Start(a, "\"" + script + "\"", {}));
  EXPECT_EQ(5u, a.Wait());
  // "sh" is found through PATH; the environment block carries no PATH.
  ASSERT_TRUE(Start(b, "sh -c \"exit 6\"", {}));
  EXPECT_EQ(6u, b.Wait());
}

TEST(KernelProcess, ManyRunsLeaveNoDescriptorBehind) {
  const int before = OpenDescriptorCount();
  for (int i = 0; i < 100; ++i) {
    TChild c;
    ASSERT_TRUE(Start(c, ConverterPath(), {"TC_SCRIPT=out:x"}));
    EXPECT_EQ("x", ReadAll(c.Out));
    c.Wait();
  }
  EXPECT_EQ(before, OpenDescriptorCount());
}

// ---- Threads ---------------------------------------------------------------------------

DWORD AddOne(LPVOID p) {
  auto* n = static_cast<std::atomic<int>*>(p);
  return static_cast<DWORD>(++*n);
}

TEST(KernelThread, SuspendedThreadRunsOnResumeAndEndsWithItsCode) {
  std::atomic<int> n = 41;
  DWORD id = 0;
  HANDLE t = CreateThread(nullptr, 0, AddOne, &n, CREATE_SUSPENDED, &id);
  ASSERT_TRUE(t);
  EXPECT_NE(0u, id);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(t, 0));
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(t, &code));
  EXPECT_EQ(STILL_ACTIVE, code);
  EXPECT_EQ(41, n);
  EXPECT_EQ(1u, ResumeThread(t));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, INFINITE));
  EXPECT_TRUE(GetExitCodeThread(t, &code));
  EXPECT_EQ(42u, code);
  EXPECT_EQ(0u, ResumeThread(t));
  CloseHandle(t);
}

TEST(KernelThread, PrioritiesAreKept) {
  std::atomic<int> n = 0;
  HANDLE t = CreateThread(nullptr, 0, AddOne, &n, CREATE_SUSPENDED, nullptr);
  EXPECT_TRUE(SetThreadPriority(t, THREAD_PRIORITY_BELOW_NORMAL));
  EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, GetThreadPriority(t));
  EXPECT_FALSE(SetThreadPriority(t, 7));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  ResumeThread(t);
  WaitForSingleObject(t, INFINITE);
  CloseHandle(t);
  EXPECT_EQ(THREAD_PRIORITY_NORMAL, GetThreadPriority(GetCurrentThread()));
}

// ---- Messages --------------------------------------------------------------------------

TEST(KernelMessage, FormatMessageFromSystem) {
  char buf[256];
  DWORD n = FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND, 0,
                          buf, sizeof buf, nullptr);
  EXPECT_EQ("The system cannot find the file specified.\r\n", std::string(buf, n));
  LPSTR p = nullptr;
  n = FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, ERROR_BROKEN_PIPE, 0,
                    reinterpret_cast<LPSTR>(&p), 0, nullptr);
  EXPECT_EQ("The pipe has been ended.\r\n", std::string(p, n));
  LocalFree(p);
  EXPECT_EQ(0u, FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0, buf, 4, nullptr));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
}

}  // namespace

TEST(KernelProcess, LeavingWhileAChildIsWatchedEndsAtOnce) {
  TChild c;
  ASSERT_TRUE(StartHelper(c, "exit-watching", ""));
  CloseHandle(c.In);
  c.In = nullptr;
  // Well before the watched child's 20 s: the exit neither waits for it
  // nor fails in the watcher's shut-down.
  ASSERT_EQ(WaitForSingleObject(c.Info.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 99;
  EXPECT_TRUE(GetExitCodeProcess(c.Info.hProcess, &code));
  EXPECT_EQ(code, 0u);
}
