// Anonymous pipes and synchronous reads and writes on them.
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel_object.h"

namespace rtl::detail {

TPipeObject::~TPipeObject() {
  close(Fd);
  if (FWakeFd >= 0) close(FWakeFd);
}

void TPipeObject::LastHandleClosed() {
  std::lock_guard g(FLock);
  FClosed = true;
  if (FWakeFd >= 0) eventfd_write(FWakeFd, 1);
}

bool TPipeObject::WaitReady(short events) {
  int wake;
  {
    std::lock_guard g(FLock);
    if (FClosed) return false;
    if (FWakeFd < 0) FWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    wake = FWakeFd;
  }
  pollfd fds[2] = {{Fd, events, 0}, {wake, POLLIN, 0}};
  while (poll(fds, wake >= 0 ? 2 : 1, -1) < 0)
    if (errno != EINTR) return true;  // let the read or write report it
  return !(fds[1].revents & POLLIN);
}

namespace {

// Writes without the process-wide SIGPIPE: the signal is blocked on this
// thread for the call and a SIGPIPE it raised is taken back.
ssize_t WriteNoSigpipe(int fd, const void* data, size_t n) {
  sigset_t pipeSet, old, pending;
  sigemptyset(&pipeSet);
  sigaddset(&pipeSet, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSet, &old);
  sigpending(&pending);
  bool wasPending = sigismember(&pending, SIGPIPE);
  ssize_t r = write(fd, data, n);
  int e = errno;
  if (r < 0 && e == EPIPE && !wasPending) {
    timespec zero = {0, 0};
    sigtimedwait(&pipeSet, nullptr, &zero);
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  errno = e;
  return r;
}

}  // namespace

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL CreatePipe(PHANDLE hReadPipe, PHANDLE hWritePipe, LPSECURITY_ATTRIBUTES lpPipeAttributes, DWORD) {
  if (!hReadPipe || !hWritePipe) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    SetLastErrorFromErrno();
    return FALSE;
  }
  bool inherit = lpPipeAttributes && lpPipeAttributes->bInheritHandle;
  HANDLE r = AddHandle(std::make_shared<TPipeObject>(fds[0]), GENERIC_READ | SYNCHRONIZE, inherit);
  HANDLE w = AddHandle(std::make_shared<TPipeObject>(fds[1]), GENERIC_WRITE | SYNCHRONIZE, inherit);
  if (!r || !w) {
    if (r) CloseHandle(r);
    if (w) CloseHandle(w);
    return FALSE;
  }
  *hReadPipe = r;
  *hWritePipe = w;
  return TRUE;
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  if (lpOverlapped) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::shared_ptr<TPipeObject> p = LookupHandleOf<TPipeObject>(hFile, TKernelType::Pipe, GENERIC_READ);
  if (!p) return FALSE;
  if (nNumberOfBytesToRead == 0) return TRUE;
  for (;;) {
    if (!p->WaitReady(POLLIN)) {
      SetLastError(ERROR_OPERATION_ABORTED);
      return FALSE;
    }
    ssize_t n = read(p->Fd, lpBuffer, nNumberOfBytesToRead);
    if (n > 0) {
      if (lpNumberOfBytesRead) *lpNumberOfBytesRead = static_cast<DWORD>(n);
      return TRUE;
    }
    if (n == 0) {
      SetLastError(ERROR_BROKEN_PIPE);
      return FALSE;
    }
    if (errno != EINTR && errno != EAGAIN) {
      SetLastErrorFromErrno();
      return FALSE;
    }
  }
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  if (lpOverlapped) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::shared_ptr<TPipeObject> p = LookupHandleOf<TPipeObject>(hFile, TKernelType::Pipe, GENERIC_WRITE);
  if (!p) return FALSE;
  auto data = static_cast<const char*>(lpBuffer);
  DWORD done = 0;
  while (done < nNumberOfBytesToWrite) {
    if (!p->WaitReady(POLLOUT)) {
      SetLastError(ERROR_OPERATION_ABORTED);
      return FALSE;
    }
    // At most one pipe buffer unit per write, so that a write after POLLOUT
    // does not block and a closing handle can still wake this thread.
    size_t chunk = std::min<size_t>(nNumberOfBytesToWrite - done, PIPE_BUF);
    ssize_t n = WriteNoSigpipe(p->Fd, data + done, chunk);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      SetLastError(errno == EPIPE ? ERROR_NO_DATA : ErrnoToOSError(errno));
      return FALSE;
    }
    done += static_cast<DWORD>(n);
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
  }
  return TRUE;
}
