// What the program learns of the machine: its processors and whether it
// runs under 32-bit emulation on a 64-bit system (never, here: the program
// is built for the machine it runs on).
#pragma once

#include "platform/win/kernel/windef.h"

constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr WORD PROCESSOR_ARCHITECTURE_ARM = 5;
constexpr WORD PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr WORD PROCESSOR_ARCHITECTURE_ARM64 = 12;
constexpr WORD PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF;

constexpr DWORD PROCESSOR_INTEL_386 = 386;
constexpr DWORD PROCESSOR_INTEL_486 = 486;
constexpr DWORD PROCESSOR_INTEL_PENTIUM = 586;
constexpr DWORD PROCESSOR_AMD_X8664 = 8664;

struct SYSTEM_INFO {
  WORD wProcessorArchitecture;
  WORD wReserved;
  DWORD dwPageSize;
  LPVOID lpMinimumApplicationAddress;
  LPVOID lpMaximumApplicationAddress;
  DWORD_PTR dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  WORD wProcessorLevel;
  WORD wProcessorRevision;
};
using LPSYSTEM_INFO = SYSTEM_INFO*;
using PBOOL = BOOL*;

// The processors online now, the page size and the machine's architecture.
void GetSystemInfo(LPSYSTEM_INFO lpSystemInfo);
void GetNativeSystemInfo(LPSYSTEM_INFO lpSystemInfo);
// FALSE in *Wow64Process for every process. Fails with
// ERROR_INVALID_HANDLE for a handle that is not a process, with
// ERROR_INVALID_PARAMETER for a null result pointer.
BOOL IsWow64Process(HANDLE hProcess, PBOOL Wow64Process);

// The high-resolution counter counts 100-nanosecond units (frequency
// 10,000,000) on the clock behind GetTickCount, so that the window system's
// test clock drives it exactly: one virtual millisecond is 10,000 counts.
// Both fail with ERROR_INVALID_PARAMETER for a null pointer.
BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency);
