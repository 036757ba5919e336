// Named objects shared between processes: a POSIX shared-memory segment per
// name, whose first page holds the object's kind and the state a named mutex
// shares; a mapping's data follows. Every process that holds the object
// keeps a shared byte lock on the segment, which the system drops when the
// process ends however it ends: the object lives while some process holds
// it, the last one to let go removes the name, and a segment that only dead
// processes held counts as gone and is made anew.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win/kernel/kernel_object.h"

namespace rtl::detail {

struct TSharedHeader {
  uint32_t Magic;
  uint32_t Type;
  // A mutex: set while some thread owns it, so that the next owner can tell
  // that its last owner ended without releasing it.
  uint32_t Held;
  uint64_t DataSize;
};

class TSharedSegment {
 public:
  TSharedSegment() = default;
  TSharedSegment(const TSharedSegment&) = delete;
  TSharedSegment& operator=(const TSharedSegment&) = delete;
  ~TSharedSegment();

  // Opens the segment of `name`; when it does not exist and `create` is
  // set, creates it with `dataSize` bytes of data. False with the last
  // error set on failure (ERROR_FILE_NOT_FOUND when it does not exist,
  // ERROR_INVALID_HANDLE when it holds another kind of object).
  bool Open(const std::string& name, TKernelType type, uint64_t dataSize, bool create, bool& existed);

  // Byte locks of the segment, held per process and dropped by the system
  // when the process dies: 0 guards opening and closing, 1 is a mutex's
  // ownership, 2 is held shared by every process that holds the object.
  bool LockByte(off_t byte, bool wait) const;
  void UnlockByte(off_t byte) const;

  // Where the data begins in the segment: the page after the header.
  static off_t DataOffset();

  int Fd = -1;
  TSharedHeader* Header = nullptr;

 private:
  std::string FPath;
};

}  // namespace rtl::detail
