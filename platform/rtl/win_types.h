// The few Win32 fundamental types that the runtime library's own functions
// take (module and resource handles, file times, find data). The Win32-shaped
// API declares the rest in platform/win/kernel/windef.h, which includes this file.
#pragma once

#include <cstdint>

using BOOL = int32_t;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define RTL_DECLARE_HANDLE(name) \
  struct name##__;               \
  using name = name##__*
using HANDLE = void*;
RTL_DECLARE_HANDLE(HINSTANCE);
RTL_DECLARE_HANDLE(HRSRC);
using HMODULE = HINSTANCE;
using HGLOBAL = HANDLE;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

#define MAKEINTRESOURCE(i) (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<uintptr_t>(p) >> 16) == 0)

#define MAX_PATH 260
