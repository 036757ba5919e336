// File mappings backed by memory: unnamed ones in a memory file, named ones
// in a shared segment that other processes open by name.
#include <sys/mman.h>
#include <unistd.h>

#include <map>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel_object.h"
#include "platform/win/kernel/kernel_shared.h"

namespace rtl::detail {

namespace {

// Views start at multiples of the original platform's allocation unit.
constexpr uint64_t kAllocationGranularity = 65536;

class TMappingObject : public TKernelObject {
 public:
  TMappingObject() : TKernelObject(TKernelType::Mapping) {}
  ~TMappingObject() override {
    if (!Shared && Fd >= 0) close(Fd);
  }

  int Fd = -1;
  uint64_t Size = 0;
  off_t Offset = 0;
  DWORD Protect = PAGE_READWRITE;
  std::unique_ptr<TSharedSegment> Shared;
};

struct TView {
  size_t Length;
  // A view keeps its mapping, as on the original platform.
  std::shared_ptr<TMappingObject> Mapping;
};

struct TViews {
  std::mutex Lock;
  std::map<const void*, TView> Views;
};

TViews& Views() {
  static TViews* views = new TViews;
  return *views;
}

std::shared_ptr<TKernelObject> NamedMapping(const std::string& name, bool create, uint64_t size, DWORD protect,
                                            bool& existed) {
  bool elsewhere = false;
  std::shared_ptr<TKernelObject> obj = FindOrCreateNamed(
      name, TKernelType::Mapping,
      [&]() -> std::shared_ptr<TKernelObject> {
        auto m = std::make_shared<TMappingObject>();
        m->Shared = std::make_unique<TSharedSegment>();
        if (!m->Shared->Open(name, TKernelType::Mapping, size, create, elsewhere)) return nullptr;
        m->Fd = m->Shared->Fd;
        m->Size = m->Shared->Header->DataSize;
        m->Offset = TSharedSegment::DataOffset();
        m->Protect = protect;
        return m;
      },
      existed);
  existed = existed || elsewhere;
  return obj;
}

}  // namespace

}  // namespace rtl::detail

using namespace rtl::detail;

HANDLE CreateFileMappingA(HANDLE hFile, LPSECURITY_ATTRIBUTES lpFileMappingAttributes, DWORD flProtect,
                          DWORD dwMaximumSizeHigh, DWORD dwMaximumSizeLow, LPCSTR lpName) {
  if (hFile != INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  DWORD protect = flProtect & 0xFF;
  uint64_t size = static_cast<uint64_t>(dwMaximumSizeHigh) << 32 | dwMaximumSizeLow;
  if ((protect != PAGE_READONLY && protect != PAGE_READWRITE && protect != PAGE_WRITECOPY) || size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool existed = false;
  std::shared_ptr<TKernelObject> obj;
  if (lpName && *lpName) {
    obj = NamedMapping(NormalizeObjectName(lpName), true, size, protect, existed);
  } else {
    auto m = std::make_shared<TMappingObject>();
    m->Fd = memfd_create("mapping", MFD_CLOEXEC);
    if (m->Fd < 0 || ftruncate(m->Fd, static_cast<off_t>(size)) != 0) {
      SetLastErrorFromErrno();
      return nullptr;
    }
    m->Size = size;
    m->Protect = protect;
    obj = std::move(m);
  }
  if (!obj) return nullptr;
  HANDLE h = AddHandle(std::move(obj), FILE_MAP_ALL_ACCESS,
                       lpFileMappingAttributes && lpFileMappingAttributes->bInheritHandle);
  if (h) SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return h;
}

HANDLE OpenFileMappingA(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName) {
  bool existed = false;
  std::shared_ptr<TKernelObject> obj = NamedMapping(NormalizeObjectName(lpName), false, 0, PAGE_READWRITE, existed);
  if (!obj) return nullptr;
  return AddHandle(std::move(obj), dwDesiredAccess, bInheritHandle != FALSE);
}

LPVOID MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh,
                     DWORD dwFileOffsetLow, size_t dwNumberOfBytesToMap) {
  const bool write = dwDesiredAccess & FILE_MAP_WRITE;
  // Copy on write only when asked for alone (every other right includes it).
  const bool copy = dwDesiredAccess == FILE_MAP_COPY;
  std::shared_ptr<TMappingObject> m =
      LookupHandleOf<TMappingObject>(hFileMappingObject, TKernelType::Mapping, write ? FILE_MAP_WRITE : FILE_MAP_READ);
  if (!m) return nullptr;
  if (write && m->Protect == PAGE_READONLY) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  uint64_t offset = static_cast<uint64_t>(dwFileOffsetHigh) << 32 | dwFileOffsetLow;
  if (offset % kAllocationGranularity != 0) {
    SetLastError(ERROR_MAPPED_ALIGNMENT);
    return nullptr;
  }
  uint64_t length = dwNumberOfBytesToMap ? dwNumberOfBytesToMap : (offset < m->Size ? m->Size - offset : 0);
  if (offset >= m->Size || length > m->Size - offset) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  int prot = write || copy ? PROT_READ | PROT_WRITE : PROT_READ;
  int flags = copy || (write && m->Protect == PAGE_WRITECOPY) ? MAP_PRIVATE : MAP_SHARED;
  void* p = mmap(nullptr, length, prot, flags, m->Fd, m->Offset + static_cast<off_t>(offset));
  if (p == MAP_FAILED) {
    SetLastErrorFromErrno();
    return nullptr;
  }
  TViews& v = Views();
  std::lock_guard g(v.Lock);
  v.Views[p] = TView{static_cast<size_t>(length), std::move(m)};
  return p;
}

BOOL UnmapViewOfFile(LPCVOID lpBaseAddress) {
  TViews& v = Views();
  std::shared_ptr<TMappingObject> mapping;
  {
    std::lock_guard g(v.Lock);
    auto it = v.Views.find(lpBaseAddress);
    if (it == v.Views.end()) {
      SetLastError(ERROR_INVALID_ADDRESS);
      return FALSE;
    }
    munmap(const_cast<void*>(lpBaseAddress), it->second.Length);
    mapping = std::move(it->second.Mapping);
    v.Views.erase(it);
  }
  return TRUE;
}
