// Loading a library under an error mode puts the previous mode back.
#include <gtest/gtest.h>

#include "platform/win/kernel/safe_load_library.h"

namespace {

TEST(SafeLoadLibrary, RestoresTheErrorModeWhateverTheLoadGives) {
  UINT original = SetErrorMode(SEM_FAILCRITICALERRORS);
  for (const char* name : {"gdiplus.dll", "no-such-library.dll"}) {
    HMODULE module = SafeLoadLibrary(name, SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(module != nullptr, name[0] == 'g') << name;
    EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS)) << name;
    if (module) EXPECT_TRUE(FreeLibrary(module));
  }
  SetErrorMode(original);
}

}  // namespace
