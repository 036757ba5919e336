// The process runner's worker threads and its handle sets. Each thread is
// created suspended, frees itself when it ends and runs one step below
// normal priority; its end handler runs on the user-interface thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/rtl/threads.h"
#include "platform/win/kernel/kernel.h"
#include "support/thread_base.h"

class TJvReader;

// Posted to the utility window: output is waiting (first parameter: the
// reader), a worker thread has ended.
constexpr UINT CM_READ = 0x0400 + 1;
constexpr UINT CM_THREADTERMINATED = 0x0400 + 2;

// Three handle slots: read, write, error. Setting a slot closes what it
// held (unless it is the same handle); taking one empties it; the set
// closes what it still holds when it goes.
class TJvRWEHandles {
  HANDLE FHandles[3] = {};
  void Set(int Slot, HANDLE H);
  HANDLE Take(int Slot);

 public:
  TJvRWEHandles() = default;
  TJvRWEHandles(const TJvRWEHandles&) = delete;
  TJvRWEHandles& operator=(const TJvRWEHandles&) = delete;
  ~TJvRWEHandles();

  HANDLE Read() const { return FHandles[0]; }
  HANDLE Write() const { return FHandles[1]; }
  HANDLE Error() const { return FHandles[2]; }
  void SetRead(HANDLE H) { Set(0, H); }
  void SetWrite(HANDLE H) { Set(1, H); }
  void SetError(HANDLE H) { Set(2, H); }
  HANDLE TakeRead() { return Take(0); }
  HANDLE TakeWrite() { return Take(1); }
  HANDLE TakeError() { return Take(2); }
};

// Waits for the process or a stop request. Its exit code is the child's,
// or 0xFFFFFFFF when stopped.
class TJvWaitForProcessThread : public TJvCustomThread {
  RTL_CLASS(TJvWaitForProcessThread, TJvCustomThread)

 protected:
  HANDLE FProcess;
  HANDLE FStopEvent;
  Cardinal FExitCode = 0;

  void Execute() override;
  // Waits for the first of the stop event and the process; false when the
  // wait failed.
  bool WaitForEnd();

 public:
  explicit TJvWaitForProcessThread(HANDLE Process);
  ~TJvWaitForProcessThread() override;
  void Stop();
  Cardinal ExitCode() const { return FExitCode; }
};

// The same for a child with redirected streams; it also holds the parent's
// end of the child's input, open and unwritten, until the watch ends.
class TJvConsoleThread : public TJvWaitForProcessThread {
  RTL_CLASS(TJvConsoleThread, TJvWaitForProcessThread)
  HANDLE FConsoleInput;

 protected:
  void Execute() override;

 public:
  TJvConsoleThread(HANDLE Process, HANDLE ConsoleInput);
  ~TJvConsoleThread() override;
};

// Reads a pipe end in chunks of up to 1024 bytes into a buffer that the
// user-interface thread takes from, and posts CM_READ for each chunk. The
// buffer grows 1024, 2048, ... up to 131072 bytes; when the user-interface
// thread falls that far behind, the thread waits for it to take bytes
// (and the child, once the pipe is full, for the thread) rather than drop
// output.
class TJvReadThread : public TThread {
  RTL_CLASS(TJvReadThread, TThread)
  TJvReader* FReader;
  std::atomic<HANDLE> FPipe;
  HWND FWindow;
  std::mutex FLock;
  std::condition_variable FRoom;
  bool FStopped = false;
  char FReadBuffer[1024];
  std::vector<char> FPending;
  size_t FFill = 0;

  // False when stopped while waiting for room.
  bool StoreBytes(const char* Data, size_t Count);

 protected:
  void Execute() override;

 public:
  TJvReadThread(TJvReader* Reader, HANDLE Pipe, HWND Window);
  ~TJvReadThread() override;
  // Copies up to Size waiting bytes from the front; how many.
  DWORD TakeBytes(char* Buffer, DWORD Size);
  // Asks the thread to end and closes its pipe end, which wakes a read.
  void Stop();
};
