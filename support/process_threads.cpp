#include "support/process_threads.h"

#include <algorithm>
#include <cstring>

#include "platform/win/user/user.h"
#include "support/process_runner.h"

RTL_IMPLEMENT_CLASS(TJvWaitForProcessThread)
RTL_IMPLEMENT_CLASS(TJvConsoleThread)
RTL_IMPLEMENT_CLASS(TJvReadThread)

namespace {

constexpr size_t kInitialCapacity = 1024;
// The buffer doubles while it is at most this large, so it ends at twice it.
constexpr size_t kLastDoubling = 65536;
constexpr Cardinal kStoppedExitCode = 0xFFFFFFFF;

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

// ---- TJvWaitForProcessThread -----------------------------------------------------------

TJvWaitForProcessThread::TJvWaitForProcessThread(HANDLE Process)
    : TJvCustomThread(true), FProcess(Process), FStopEvent(CreateEvent(nullptr, TRUE, FALSE, nullptr)) {
  CheckOSResult(FStopEvent != nullptr);
  SetFreeOnTerminate(true);
  SetPriority(tpLower);
}

TJvWaitForProcessThread::~TJvWaitForProcessThread() {
  // The thread has ended before the destructors run.
  CloseHandle(FStopEvent);
}

void TJvWaitForProcessThread::Stop() {
  Terminate();
  SetEvent(FStopEvent);
}

bool TJvWaitForProcessThread::WaitForEnd() {
  HANDLE handles[2] = {FStopEvent, FProcess};
  switch (WaitForMultipleObjects(2, handles, FALSE, INFINITE)) {
    case WAIT_OBJECT_0:
      FExitCode = kStoppedExitCode;
      return true;
    case WAIT_OBJECT_0 + 1: {
      DWORD code = 0;
      GetExitCodeProcess(FProcess, &code);
      FExitCode = code;
      return true;
    }
    default:
      return false;
  }
}

void TJvWaitForProcessThread::Execute() {
  NameThreadForDebugging(GetNameForDebugging());
  if (!WaitForEnd()) RaiseLastOSError();
}

// ---- TJvConsoleThread -------------------------------------------------------------------

TJvConsoleThread::TJvConsoleThread(HANDLE Process, HANDLE ConsoleInput)
    : TJvWaitForProcessThread(Process), FConsoleInput(ConsoleInput) {}

TJvConsoleThread::~TJvConsoleThread() {
  if (FConsoleInput) CloseHandle(FConsoleInput);
}

void TJvConsoleThread::Execute() {
  WaitForInputIdle(FProcess, INFINITE);
  WaitForEnd();
  // Nothing is written once the watch is over; the child may see the end.
  CloseHandle(FConsoleInput);
  FConsoleInput = nullptr;
}

// ---- TJvReadThread ------------------------------------------------------------------------

TJvReadThread::TJvReadThread(TJvReader* Reader, HANDLE Pipe, HWND Window)
    : TThread(true), FReader(Reader), FPipe(Pipe), FWindow(Window), FPending(kInitialCapacity) {
  SetFreeOnTerminate(true);
  SetPriority(tpLower);
}

TJvReadThread::~TJvReadThread() {
  if (HANDLE pipe = FPipe.exchange(nullptr)) CloseHandle(pipe);
}

void TJvReadThread::Stop() {
  Terminate();
  std::lock_guard g(FLock);
  FStopped = true;
  if (HANDLE pipe = FPipe.exchange(nullptr)) CloseHandle(pipe);
  FRoom.notify_all();
}

void TJvReadThread::Execute() {
  while (!Terminated()) {
    DWORD n = 0;
    // The pipe's end (ERROR_BROKEN_PIPE) or a stop ends the loop; so does
    // any other failure, which would only repeat.
    if (!ReadFile(FPipe.load(), FReadBuffer, sizeof FReadBuffer, &n, nullptr)) break;
    if (!StoreBytes(FReadBuffer, n)) break;
    PostMessage(FWindow, CM_READ, reinterpret_cast<WPARAM>(FReader), 0);
  }
  // The pipe goes as soon as the reading is over, not when the thread does.
  std::lock_guard g(FLock);
  if (HANDLE pipe = FPipe.exchange(nullptr)) CloseHandle(pipe);
}

bool TJvReadThread::StoreBytes(const char* Data, size_t Count) {
  std::unique_lock lk(FLock);
  while (FPending.size() < FFill + Count) {
    if (FPending.size() <= kLastDoubling)
      FPending.resize(FPending.size() * 2);
    else
      FRoom.wait(lk, [&] { return FStopped || FPending.size() >= FFill + Count; });
    if (FStopped) return false;
  }
  std::memcpy(FPending.data() + FFill, Data, Count);
  FFill += Count;
  return true;
}

DWORD TJvReadThread::TakeBytes(char* Buffer, DWORD Size) {
  std::lock_guard g(FLock);
  size_t n = std::min<size_t>(Size, FFill);
  if (n == 0) return 0;
  std::memcpy(Buffer, FPending.data(), n);
  std::memmove(FPending.data(), FPending.data() + n, FFill - n);
  FFill -= n;
  FRoom.notify_all();
  return static_cast<DWORD>(n);
}
