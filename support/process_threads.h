// The process runner's watching service and its handle sets.
//
// One service thread waits, in one epoll set, for every watched child (its
// process descriptor) and every watched pipe end, so that a child costs no
// thread of its own. It reads the pipes into buffers that the
// user-interface thread takes from and tells that thread what happened by
// posting to the runner's utility window: CM_READ when output waits,
// CM_READEND when a pipe has ended, CM_PROCESSEND when the child has ended.
// The thread is started on first need and stopped (joined) at the
// runner's unit shut-down, or at the latest when the program ends.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/win/kernel/kernel.h"

// Posted to the utility window: output is waiting (first parameter: the
// reader), a watch has ended (counted as a completion).
constexpr UINT CM_READ = 0x0400 + 1;
constexpr UINT CM_THREADTERMINATED = 0x0400 + 2;
// A pipe has ended (first parameter: the reader, second: the watch id); the
// child has ended (first parameter: the watch id, second: the exit code).
constexpr UINT CM_READEND = 0x0400 + 3;
constexpr UINT CM_PROCESSEND = 0x0400 + 4;

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

struct TJvWatch;
using TJvWatchRef = std::shared_ptr<TJvWatch>;

namespace jv_process_service {

// Watches a pipe end, which the service then owns and closes when the pipe
// ends or the watch is cancelled. Reader is handed back in the posts. The
// waiting bytes grow to at most 131072; beyond that the pipe is not read
// until the user-interface thread has taken some, so nothing is dropped.
TJvWatchRef WatchPipe(HANDLE Pipe, HWND Window, WPARAM Reader);
// Watches a child process (the handle stays the caller's and must outlive
// the watch). ConsoleInput, when given, is the parent's end of the child's
// input: held open, unwritten, until the child ends.
TJvWatchRef WatchProcess(HANDLE Process, HANDLE ConsoleInput, HWND Window);
// Ties the pipes of a run to its child, for the grace period below.
void AttachPipe(const TJvWatchRef& Process, const TJvWatchRef& Pipe);
// Termination was asked for: once the child has ended, its pipes end when
// they are drained or after a short grace period, whichever comes first,
// even when a process outside the child's group still holds them.
void TerminationAsked(const TJvWatchRef& Process);
// Copies up to Size waiting bytes from the front; how many.
DWORD TakeBytes(const TJvWatchRef& Pipe, char* Buffer, DWORD Size);
// Stops watching at once: nothing more is posted for the watch, and a pipe
// end it owns is closed.
void Cancel(const TJvWatchRef& Watch);
uint64_t WatchId(const TJvWatchRef& Watch);
// Stops and joins the service thread; a later watch starts it again.
void Shutdown();

}  // namespace jv_process_service
