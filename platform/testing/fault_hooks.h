// Faults injected into the platform layer, for tests of failure paths.
#pragma once

#include <functional>

#include "platform/rtl/types.h"

namespace rtl::testing {

// Makes ReplaceWholeFile fail as a full disk would: Hook is called with the
// file's name after the temporary file was created and before the data is
// written, and a non-zero errno value it answers fails the replace with
// that error. Null removes it.
void SetReplaceFileFaultHook(std::function<int(const AnsiString& FileName)> Hook);

}  // namespace rtl::testing
