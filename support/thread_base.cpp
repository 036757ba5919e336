#include "support/thread_base.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <string>

RTL_IMPLEMENT_CLASS(TJvComponent)
RTL_IMPLEMENT_CLASS(TJvCustomThread)

namespace {

// The system keeps 15 bytes of a thread's name.
constexpr size_t kSystemNameLimit = 15;

// The name cut to the limit without splitting a UTF-8 sequence.
std::string SystemName(const AnsiString& name) {
  if (name.size() <= kSystemNameLimit) return name;
  size_t n = kSystemNameLimit;
  while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
  return name.substr(0, n);
}

}  // namespace

AnsiString TJvCustomThread::GetNameForDebugging() const {
  if (FThreadName.empty()) return ClassName();
  return FThreadName + " {" + ClassName() + "}";
}

void TJvCustomThread::SetThreadName(const AnsiString& Name) { FThreadName = Name; }

void TJvCustomThread::NameThreadForDebugging(const AnsiString& AThreadName, Cardinal AThreadID) {
  const std::string name = SystemName(AThreadName);
  if (AThreadID == 0xFFFFFFFF || AThreadID == GetCurrentThreadId()) {
    prctl(PR_SET_NAME, name.c_str());
    return;
  }
  // Another thread of this process; a failure (no such thread) is ignored.
  std::string path = "/proc/self/task/" + std::to_string(AThreadID) + "/comm";
  int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return;
  ssize_t written = write(fd, name.data(), name.size());
  (void)written;
  close(fd);
}
