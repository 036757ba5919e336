#include "platform/rtl/whole_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <set>
#include <string_view>
#include <vector>

#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/whole_files_internal.h"

namespace {

// Temporary files this process is writing now: the only ones of its own
// process id that are not stale (an earlier process may have had that id).
std::mutex gInFlightLock;
std::set<AnsiString> gInFlight;

bool Fail() {
  SetLastErrorFromErrno();
  return false;
}

TWholeFileRead Refuse(TWholeFileRead result, int err) {
  SetLastError(ErrnoToOSError(err));
  return result;
}

TWholeFileRead Classify(const struct stat& st, Int64 maxSize) {
  if (S_ISDIR(st.st_mode)) return Refuse(wfIsDirectory, EISDIR);
  if (!S_ISREG(st.st_mode)) return Refuse(wfNotRegular, EINVAL);
  if (static_cast<Int64>(st.st_size) > maxSize) return Refuse(wfTooLarge, EFBIG);
  return wfOk;
}

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

// Follows symbolic links from Name as opening it would, to the name that
// is (or, for a dangling link, would be) the file itself. St describes it
// when Exists. False with errno set on a loop or an unreadable link.
bool FollowLinks(const AnsiString& Name, AnsiString& Target, struct stat& St, bool& Exists) {
  AnsiString name = Name;
  for (int hops = 0; hops <= 40; ++hops) {
    if (::lstat(name.c_str(), &St) != 0) {
      if (errno != ENOENT) return false;
      Target = name;
      Exists = false;
      return true;
    }
    if (!S_ISLNK(St.st_mode)) {
      Target = name;
      Exists = true;
      return true;
    }
    std::vector<char> buf(static_cast<size_t>(St.st_size > 0 ? St.st_size : 255) + 1);
    ssize_t n = ::readlink(name.c_str(), buf.data(), buf.size());
    if (n < 0) return false;
    if (n == 0 || static_cast<size_t>(n) >= buf.size()) {  // empty, or changed under us
      errno = ENOENT;
      return false;
    }
    AnsiString link(buf.data(), static_cast<size_t>(n));
    if (link[0] != '/') {
      const size_t slash = name.rfind('/');
      if (slash != AnsiString::npos) link = name.substr(0, slash + 1) + link;
    }
    name = std::move(link);
  }
  errno = ELOOP;
  return false;
}

// "<pid>.<counter>" with both parts decimal; the pid in Pid.
bool ParseTempMiddle(std::string_view s, pid_t& Pid) {
  const size_t dot = s.find('.');
  if (dot == 0 || dot == std::string_view::npos || dot + 1 == s.size() || dot > 9) return false;
  for (size_t i = 0; i < s.size(); ++i)
    if (i != dot && (s[i] < '0' || s[i] > '9')) return false;
  Pid = 0;
  for (size_t i = 0; i < dot; ++i) Pid = Pid * 10 + (s[i] - '0');
  return Pid > 0;
}

bool ProcessExists(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// Removes the temporary files of Base in Dir whose writer is gone: killed
// between creating and renaming them.
void RemoveStaleTemporaryFiles(const AnsiString& Dir, const AnsiString& Base) {
  DIR* d = ::opendir(Dir.empty() ? "." : Dir.c_str());
  if (!d) return;
  const AnsiString prefix = "." + Base + ".";
  constexpr std::string_view kSuffix = ".tmp";
  const pid_t self = ::getpid();
  while (dirent* e = ::readdir(d)) {
    const std::string_view name = e->d_name;
    if (name.size() <= prefix.size() + kSuffix.size() || !name.starts_with(prefix) || !name.ends_with(kSuffix)) continue;
    pid_t pid;
    if (!ParseTempMiddle(name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size()), pid)) continue;
    if (pid == self) {
      std::lock_guard lk(gInFlightLock);
      if (gInFlight.count(Dir + AnsiString(name))) continue;
    } else if (ProcessExists(pid)) {
      continue;
    }
    ::unlinkat(::dirfd(d), e->d_name, 0);
  }
  ::closedir(d);
}

// Creates a fresh temporary file for Base in Dir and records it as being
// written; -1 on failure.
int CreateTemporaryFile(const AnsiString& Dir, const AnsiString& Base, AnsiString& Temp) {
  static std::atomic<unsigned> counter{0};
  const AnsiString stem = Dir + "." + Base + "." + IntToStr(::getpid()) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    Temp = stem + IntToStr(static_cast<Int64>(++counter)) + ".tmp";
    {
      std::lock_guard lk(gInFlightLock);
      gInFlight.insert(Temp);
    }
    int fd = ::open(Temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    const int err = errno;
    {
      std::lock_guard lk(gInFlightLock);
      gInFlight.erase(Temp);
    }
    if (err != EEXIST) {  // a name left by an earlier process with our id is skipped
      errno = err;
      return -1;
    }
  }
  errno = EEXIST;
  return -1;
}

void Finished(const AnsiString& Temp) {
  std::lock_guard lk(gInFlightLock);
  gInFlight.erase(Temp);
}

AnsiString SizeText(Int64 bytes) {
  constexpr Int64 kMB = 1024 * 1024;
  if (bytes >= kMB && bytes % kMB == 0) return IntToStr(bytes / kMB) + " MB";
  return IntToStr(bytes) + " bytes";
}

}  // namespace

TWholeFileRead ReadWholeFile(const AnsiString& FileName, AnsiString& Contents, Int64 MaxSize) {
  Contents.clear();
  // Look before opening: opening a FIFO or a device may wait or act.
  struct stat st;
  if (::stat(FileName.c_str(), &st) != 0) {
    const bool missing = errno == ENOENT || errno == ENOTDIR;
    SetLastErrorFromErrno();
    return missing ? wfMissing : wfFailed;
  }
  if (TWholeFileRead r = Classify(st, MaxSize); r != wfOk) return r;

  // Without blocking all the same: the name may have changed meanwhile.
  int fd;
  do fd = ::open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const bool missing = errno == ENOENT || errno == ENOTDIR;
    SetLastErrorFromErrno();
    return missing ? wfMissing : wfFailed;
  }
  TWholeFileRead result = ::fstat(fd, &st) == 0 ? Classify(st, MaxSize) : (SetLastErrorFromErrno(), wfFailed);
  if (result == wfOk) {
    // Bounded even if the file grows while it is read.
    Contents.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
      ssize_t r = ::read(fd, buf, sizeof buf);
      if (r < 0) {
        if (errno == EINTR) continue;
        SetLastErrorFromErrno();
        result = wfFailed;
        break;
      }
      if (r == 0) break;
      if (static_cast<Int64>(Contents.size()) + r > MaxSize) {
        result = Refuse(wfTooLarge, EFBIG);
        break;
      }
      Contents.append(buf, static_cast<size_t>(r));
    }
  }
  ::close(fd);
  if (result != wfOk) Contents.clear();
  return result;
}

AnsiString WholeFileReadFailure(TWholeFileRead Result, Int64 MaxSize) {
  switch (Result) {
    case wfOk: return AnsiString();
    case wfIsDirectory: return "It is a folder.";
    case wfNotRegular: return "It is not a regular file.";
    case wfTooLarge: return "It is larger than " + SizeText(MaxSize) + ".";
    case wfMissing:
    case wfFailed: break;
  }
  return SysErrorMessage(GetLastError()) + ".";
}

bool ReplaceWholeFile(const AnsiString& FileName, const AnsiString& Contents) {
  AnsiString target;
  struct stat st;
  bool existed = false;
  if (!FollowLinks(FileName, target, st, existed)) return Fail();
  if (existed) {
    // Never put a regular file in the place of a device, FIFO or folder,
    // and never replace what writing through the name could not change.
    if (!S_ISREG(st.st_mode)) {
      errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
      return Fail();
    }
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return Fail();
  }
  const size_t slash = target.rfind('/');
  const AnsiString dir = slash == AnsiString::npos ? AnsiString() : target.substr(0, slash + 1);
  const AnsiString base = slash == AnsiString::npos ? target : target.substr(slash + 1);
  RemoveStaleTemporaryFiles(dir, base);

  AnsiString temp;
  int fd = CreateTemporaryFile(dir, base, temp);
  if (fd < 0) return Fail();
  int err = 0;
  {
    std::lock_guard lk(rtl::detail::ReplaceFileFaultLock);
    if (rtl::detail::ReplaceFileFault) err = rtl::detail::ReplaceFileFault(FileName);
  }
  if (err == 0 && existed && ::fchmod(fd, st.st_mode & 07777) != 0) err = errno;
  if (err == 0 && !WriteAll(fd, Contents.data(), Contents.size())) err = errno;
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) ::unlink(temp.c_str());
  Finished(temp);
  if (err != 0) {
    errno = err;
    return Fail();
  }
  // Make the rename itself durable.
  int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

TFileUpdateLock::TFileUpdateLock(const AnsiString& FileName) {
  // Beside the file a link leads to, so that every name of it shares the
  // lock; beside the name itself when the link leads nowhere a file can be
  // (a device, a folder), where no lock file belongs.
  AnsiString target;
  struct stat st;
  bool exists;
  if (!FollowLinks(FileName, target, st, exists) || (exists && !S_ISREG(st.st_mode))) target = FileName;
  int fd = ::open((target + ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
  if (fd < 0) {
    SetLastErrorFromErrno();
    return;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    SetLastError(ErrnoToOSError(EINVAL));
    return;
  }
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    SetLastErrorFromErrno();
    ::close(fd);
    return;
  }
  FHandle = fd;
}

TFileUpdateLock::~TFileUpdateLock() {
  if (FHandle < 0) return;
  ::flock(FHandle, LOCK_UN);
  ::close(FHandle);
}

namespace rtl::detail {

std::mutex ReplaceFileFaultLock;
std::function<int(const AnsiString& FileName)> ReplaceFileFault;

}  // namespace rtl::detail
