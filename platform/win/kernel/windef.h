// Fundamental types of the Win32-shaped API: integers, handles, points and
// rectangles, and the message record.
#pragma once

#include <cstdint>

#include "platform/rtl/types.h"
#include "platform/rtl/win_types.h"

using INT = int32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using LONGLONG = int64_t;
using ULONGLONG = uint64_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using INT_PTR = intptr_t;
using UINT_PTR = uintptr_t;
using ATOM = uint16_t;
using COLORREF = uint32_t;
using WCHAR = char16_t;
using LPWSTR = char16_t*;
using LPCWSTR = const char16_t*;
using LPCVOID = const void*;
using HRESULT = int32_t;


// Handles are opaque; window and GDI handles carry a generation in their
// value, so that a stale handle never reaches an object that reused its slot.
RTL_DECLARE_HANDLE(HWND);
RTL_DECLARE_HANDLE(HDC);
using HGDIOBJ = void*;
RTL_DECLARE_HANDLE(HBITMAP);
RTL_DECLARE_HANDLE(HBRUSH);
RTL_DECLARE_HANDLE(HPEN);
RTL_DECLARE_HANDLE(HFONT);
RTL_DECLARE_HANDLE(HRGN);
RTL_DECLARE_HANDLE(HPALETTE);
RTL_DECLARE_HANDLE(HICON);
RTL_DECLARE_HANDLE(HMENU);
RTL_DECLARE_HANDLE(HHOOK);
RTL_DECLARE_HANDLE(HMONITOR);
RTL_DECLARE_HANDLE(HKEY);
RTL_DECLARE_HANDLE(HDROP);
using HCURSOR = HICON;
using HTHEME = HANDLE;
using HACCEL = HANDLE;


// The host framework and Win32 share one rectangle and point layout.
using RECT = TRect;
using POINT = TPoint;
using SIZE = TSize;
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;
using LPSIZE = SIZE*;

struct POINTS {
  SHORT x, y;
};

#define MAKEWORD(a, b) (static_cast<WORD>((static_cast<BYTE>(a)) | (static_cast<WORD>(static_cast<BYTE>(b)) << 8)))
#define MAKELONG(a, b) (static_cast<LONG>((static_cast<WORD>(a)) | (static_cast<DWORD>(static_cast<WORD>(b)) << 16)))
#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xffff))
#define LOBYTE(w) (static_cast<BYTE>(static_cast<DWORD_PTR>(w) & 0xff))
#define HIBYTE(w) (static_cast<BYTE>((static_cast<DWORD_PTR>(w) >> 8) & 0xff))
#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELRESULT(l, h) (static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(l, h))))
#define GET_X_LPARAM(lp) (static_cast<int>(static_cast<short>(LOWORD(lp))))
#define GET_Y_LPARAM(lp) (static_cast<int>(static_cast<short>(HIWORD(lp))))
#define GET_WHEEL_DELTA_WPARAM(wp) (static_cast<short>(HIWORD(wp)))

#define RGB(r, g, b) \
  (static_cast<COLORREF>((static_cast<BYTE>(r)) | (static_cast<WORD>(static_cast<BYTE>(g)) << 8) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))
#define GetRValue(c) (static_cast<BYTE>(c))
#define GetGValue(c) (static_cast<BYTE>((static_cast<WORD>(c)) >> 8))
#define GetBValue(c) (static_cast<BYTE>((c) >> 16))

// The message record that window procedures of the host framework receive.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
};
union ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  } u;
  ULONGLONG QuadPart;
};
