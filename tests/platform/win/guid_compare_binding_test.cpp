#include <gtest/gtest.h>

#include "platform/win/kernel/kernel_compare.h"
#include "platform/win/shell/ole_guid.h"
#include "platform/win/modules.h"

namespace {

TEST(GuidCompareBindingTest, ExportedByNameFromTheirLibraries) {
  HMODULE ole32 = LoadLibraryA("ole32.dll");
  ASSERT_NE(ole32, nullptr);
  for (const char* name : {"CoCreateGuid", "StringFromCLSID", "CLSIDFromString", "CoTaskMemFree"})
    EXPECT_NE(GetProcAddress(ole32, name), nullptr) << name;
  auto create = reinterpret_cast<HRESULT (*)(GUID*)>(GetProcAddress(ole32, "CoCreateGuid"));
  GUID g = GUID_NULL;
  ASSERT_NE(create, nullptr);
  EXPECT_EQ(create(&g), S_OK);
  EXPECT_NE(g, GUID_NULL);
  FreeLibrary(ole32);
  auto compare = reinterpret_cast<decltype(&CompareStringW)>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "CompareStringW"));
  ASSERT_NE(compare, nullptr);
  EXPECT_EQ(compare(LOCALE_USER_DEFAULT, NORM_IGNORECASE, u"x", -1, u"X", -1), CSTR_EQUAL);
}

}  // namespace
