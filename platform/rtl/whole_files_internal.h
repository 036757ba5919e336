// The fault seam of ReplaceWholeFile. Only the test library sets it
// (platform/testing/fault_hooks.h); in the application it stays empty.
#pragma once

#include <functional>
#include <mutex>

#include "platform/rtl/types.h"

namespace rtl::detail {
// Called with the file's name after the temporary file was created and
// before the data is written; a non-zero errno value makes the replace fail
// with it. Read and set under the lock.
extern std::mutex ReplaceFileFaultLock;
extern std::function<int(const AnsiString& FileName)> ReplaceFileFault;
}  // namespace rtl::detail
