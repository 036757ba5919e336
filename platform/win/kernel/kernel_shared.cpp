#include "platform/win/kernel/kernel_shared.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/rtl/sysutils.h"

namespace rtl::detail {

namespace {

constexpr uint32_t kMagic = 0x4B4F424A;
constexpr off_t kOpenCloseByte = 0;
constexpr off_t kHolderByte = 2;

// The segment's name: one namespace per user, the object's name with every
// byte outside [A-Za-z0-9._-] written as %XX.
std::string SegmentPath(const std::string& name) {
  std::string p = "/kobj." + std::to_string(getuid()) + ".";
  for (unsigned char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
        c == '-') {
      p += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      p += hex;
    }
  }
  return p;
}

bool ByteLock(int fd, off_t byte, short type, bool wait) {
  struct flock fl = {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = byte;
  fl.l_len = 1;
  for (;;) {
    if (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) == 0) return true;
    if (errno != EINTR) return false;
  }
}

// Whether some other open of the segment holds the object.
bool OthersHold(int fd) {
  struct flock fl = {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = kHolderByte;
  fl.l_len = 1;
  return fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
}

}  // namespace

off_t TSharedSegment::DataOffset() {
  static const off_t page = sysconf(_SC_PAGESIZE);
  return page;
}

bool TSharedSegment::LockByte(off_t byte, bool wait) const { return ByteLock(Fd, byte, F_WRLCK, wait); }
void TSharedSegment::UnlockByte(off_t byte) const { ByteLock(Fd, byte, F_UNLCK, false); }

bool TSharedSegment::Open(const std::string& name, TKernelType type, uint64_t dataSize, bool create, bool& existed) {
  FPath = SegmentPath(name);
  if (FPath.size() > 250) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  for (;;) {
    Fd = shm_open(FPath.c_str(), O_RDWR | (create ? O_CREAT : 0), 0600);
    if (Fd < 0) {
      if (errno == ENOENT)
        SetLastError(ERROR_FILE_NOT_FOUND);
      else
        SetLastErrorFromErrno();
      return false;
    }
    LockByte(kOpenCloseByte, true);
    struct stat st = {};
    if (fstat(Fd, &st) == 0 && st.st_nlink > 0) break;
    // Removed by its last holder meanwhile: open the name again.
    close(Fd);
  }
  auto fail = [&](DWORD error) {
    if (Header) munmap(Header, static_cast<size_t>(DataOffset()));
    Header = nullptr;
    close(Fd);
    Fd = -1;
    SetLastError(error);
    return false;
  };
  existed = OthersHold(Fd);
  if (!existed) {
    // New, or left by processes that are all gone: the object does not exist.
    if (!create) {
      shm_unlink(FPath.c_str());
      return fail(ERROR_FILE_NOT_FOUND);
    }
    if (ftruncate(Fd, 0) != 0 || ftruncate(Fd, DataOffset() + static_cast<off_t>(dataSize)) != 0)
      return fail(ErrnoToOSError(errno));
  }
  void* p = mmap(nullptr, static_cast<size_t>(DataOffset()), PROT_READ | PROT_WRITE, MAP_SHARED, Fd, 0);
  if (p == MAP_FAILED) return fail(ErrnoToOSError(errno));
  Header = static_cast<TSharedHeader*>(p);
  if (!existed) {
    Header->Type = static_cast<uint32_t>(type);
    Header->Held = 0;
    Header->DataSize = dataSize;
    Header->Magic = kMagic;
  } else if (Header->Magic != kMagic || Header->Type != static_cast<uint32_t>(type)) {
    return fail(ERROR_INVALID_HANDLE);
  }
  ByteLock(Fd, kHolderByte, F_RDLCK, true);
  UnlockByte(kOpenCloseByte);
  return true;
}

TSharedSegment::~TSharedSegment() {
  if (Fd < 0) return;
  LockByte(kOpenCloseByte, true);
  // Turning the shared hold into a sole one works only for the last holder.
  struct stat st = {};
  if (LockByte(kHolderByte, false) && fstat(Fd, &st) == 0 && st.st_nlink > 0) shm_unlink(FPath.c_str());
  munmap(Header, static_cast<size_t>(DataOffset()));
  close(Fd);
}

}  // namespace rtl::detail
