#include "platform/win/kernel/kernel_system.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/threads.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/modules.h"
#include "platform/win/user/user_test_seams.h"

namespace {

TEST(SystemInfo, ReportsTheProcessorsOnline) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  EXPECT_EQ(info.dwNumberOfProcessors, static_cast<DWORD>(sysconf(_SC_NPROCESSORS_ONLN)));
  EXPECT_NE(info.dwActiveProcessorMask, 0u);
  EXPECT_EQ(info.dwPageSize, static_cast<DWORD>(sysconf(_SC_PAGESIZE)));
}

TEST(SystemInfo, NoProcessRunsUnderEmulation) {
  BOOL wow = TRUE;
  EXPECT_TRUE(IsWow64Process(GetCurrentProcess(), &wow));
  EXPECT_FALSE(wow);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetLastError(0);
  EXPECT_FALSE(IsWow64Process(event, &wow));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  CloseHandle(event);
  EXPECT_FALSE(IsWow64Process(GetCurrentProcess(), nullptr));
}

// Animations time themselves with the counter, so the test clock must
// drive it exactly, and the real one must never run backwards.
TEST(PerformanceCounter, CountsTenMillionPerSecondOnTheWindowSystemsClock) {
  LARGE_INTEGER frequency{}, a{}, b{};
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(frequency.QuadPart, 10000000);
  ASSERT_TRUE(QueryPerformanceCounter(&a));
  ASSERT_TRUE(QueryPerformanceCounter(&b));
  EXPECT_GE(b.QuadPart, a.QuadPart);

  rtl::testing::UseVirtualClock(true);
  QueryPerformanceCounter(&a);
  rtl::testing::AdvanceClock(37);
  QueryPerformanceCounter(&b);
  EXPECT_EQ(b.QuadPart - a.QuadPart, 370000);
  EXPECT_EQ(b.QuadPart, LONGLONG(GetTickCount64()) * 10000);
  rtl::testing::UseVirtualClock(false);

  SetLastError(0);
  EXPECT_FALSE(QueryPerformanceCounter(nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(SystemInfo, BindsByNameAsTheLibraryCodeLooksItUp) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  using TIsWow64 = BOOL (*)(HANDLE, PBOOL);
  auto isWow64 = reinterpret_cast<TIsWow64>(GetProcAddress(kernel, "IsWow64Process"));
  ASSERT_NE(isWow64, nullptr);
  BOOL wow = TRUE;
  EXPECT_TRUE(isWow64(GetCurrentProcess(), &wow));
  EXPECT_FALSE(wow);
  for (const char* name : {"GetSystemInfo", "MultiByteToWideChar", "WideCharToMultiByte", "GetACP", "GetLocaleInfoA",
                           "GetThreadLocale", "SetThreadLocale", "GetUserDefaultLCID",
                           "QueryPerformanceCounter", "QueryPerformanceFrequency"})
    EXPECT_NE(GetProcAddress(kernel, name), nullptr) << name;
  // Nothing runs work on a system thread pool here.
  EXPECT_EQ(GetProcAddress(kernel, "QueueUserWorkItem"), nullptr);
  HMODULE user = GetModuleHandleA("user32.dll");
  EXPECT_NE(GetProcAddress(user, "CharNextA"), nullptr);
}

}  // namespace
