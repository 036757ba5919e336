#include "platform/win/kernel/kernel_system.h"

#include <time.h>
#include <unistd.h>

#include <cstring>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/threads.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/kernel/kernel_object.h"

using namespace rtl::detail;

void GetSystemInfo(LPSYSTEM_INFO lpSystemInfo) {
  if (!lpSystemInfo) return;
  std::memset(lpSystemInfo, 0, sizeof(*lpSystemInfo));
#if defined(__x86_64__)
  lpSystemInfo->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
  lpSystemInfo->dwProcessorType = PROCESSOR_AMD_X8664;
#elif defined(__i386__)
  lpSystemInfo->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  lpSystemInfo->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
#elif defined(__aarch64__)
  lpSystemInfo->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
#else
  lpSystemInfo->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
#endif
  long pageSize = sysconf(_SC_PAGESIZE);
  lpSystemInfo->dwPageSize = pageSize > 0 ? static_cast<DWORD>(pageSize) : 4096;
  lpSystemInfo->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<uintptr_t>(0x10000));
  lpSystemInfo->lpMaximumApplicationAddress =
      reinterpret_cast<LPVOID>(sizeof(void*) == 8 ? static_cast<uintptr_t>(0x7FFFFFFEFFFFull) : 0x7FFEFFFFu);
  long n = sysconf(_SC_NPROCESSORS_ONLN);
  DWORD count = n > 0 ? static_cast<DWORD>(n) : 1;
  lpSystemInfo->dwNumberOfProcessors = count;
  lpSystemInfo->dwActiveProcessorMask =
      count >= sizeof(DWORD_PTR) * 8 ? ~static_cast<DWORD_PTR>(0) : (static_cast<DWORD_PTR>(1) << count) - 1;
  lpSystemInfo->dwAllocationGranularity = 0x10000;
  lpSystemInfo->wProcessorLevel = 6;
}

void GetNativeSystemInfo(LPSYSTEM_INFO lpSystemInfo) { GetSystemInfo(lpSystemInfo); }

BOOL IsWow64Process(HANDLE hProcess, PBOOL Wow64Process) {
  if (hProcess != GetCurrentProcess() && !LookupHandleOf<TKernelObject>(hProcess, TKernelType::Process, 0))
    return FALSE;
  if (!Wow64Process) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *Wow64Process = FALSE;
  return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
  if (!lpPerformanceCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (rtl::detail::HasTickSource()) {
    lpPerformanceCount->QuadPart = static_cast<LONGLONG>(GetTickCount64()) * 10000;
  } else {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    lpPerformanceCount->QuadPart = static_cast<LONGLONG>(ts.tv_sec) * 10000000 + ts.tv_nsec / 100;
  }
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
  if (!lpFrequency) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  lpFrequency->QuadPart = 10000000;
  return TRUE;
}
