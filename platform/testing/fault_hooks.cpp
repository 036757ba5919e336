#include "platform/testing/fault_hooks.h"

#include "platform/rtl/whole_files_internal.h"

namespace rtl::testing {

void SetReplaceFileFaultHook(std::function<int(const AnsiString& FileName)> Hook) {
  std::lock_guard lk(rtl::detail::ReplaceFileFaultLock);
  rtl::detail::ReplaceFileFault = std::move(Hook);
}

}  // namespace rtl::testing
