// Code pages: conversions between 8-bit text and UTF-16 in the system code
// page (UTF-8 here) or an explicit one, with the original platform's
// argument conventions.
//
// Code pages converted: UTF-8 (65001, and CP_ACP, CP_OEMCP, CP_MACCP,
// CP_THREAD_ACP, which all mean it here), the single-byte Windows pages
// 874 and 1250 to 1258, and the double-byte pages 932, 936, 949 and 950.
// Any other page fails with ERROR_INVALID_PARAMETER.
//
// Invalid input never fails a conversion (unless MB_ERR_INVALID_CHARS asks
// for that): a byte sequence the code page does not define becomes U+FFFD,
// and a character the target page cannot hold becomes the default
// character ("?" unless given). Unpaired surrogates become U+FFFD in UTF-8.
#pragma once

#include "platform/win/kernel/windef.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_MACCP = 2;
constexpr UINT CP_THREAD_ACP = 3;
constexpr UINT CP_UTF8 = 65001;

// MultiByteToWideChar flags.
constexpr DWORD MB_PRECOMPOSED = 0x01;
constexpr DWORD MB_COMPOSITE = 0x02;
constexpr DWORD MB_USEGLYPHCHARS = 0x04;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x08;
// WideCharToMultiByte flags (accepted; the conversion is the same).
constexpr DWORD WC_COMPOSITECHECK = 0x200;
constexpr DWORD WC_DISCARDNS = 0x10;
constexpr DWORD WC_SEPCHARS = 0x20;
constexpr DWORD WC_DEFAULTCHAR = 0x40;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x400;

constexpr DWORD ERROR_INVALID_FLAGS = 1004;
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;

using LPBOOL = BOOL*;

// cbMultiByte -1: the text is zero-terminated and the terminator is
// converted too. cchWideChar 0: returns the length needed. Returns the
// characters written; 0 on failure (ERROR_INSUFFICIENT_BUFFER,
// ERROR_INVALID_PARAMETER, ERROR_INVALID_FLAGS: for CP_UTF8 only
// MB_ERR_INVALID_CHARS is allowed, while CP_ACP and its aliases take the
// flags of an 8-bit page too; ERROR_NO_UNICODE_TRANSLATION with
// MB_ERR_INVALID_CHARS and invalid input).
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar);
// The same conventions the other way. For CP_UTF8 lpDefaultChar and
// lpUsedDefaultChar must be null.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar);

// The system code page: 65001.
UINT GetACP();
UINT GetOEMCP();
// Whether a code page is one of those above.
BOOL IsValidCodePage(UINT CodePage);
// Lead bytes of the system code page: none, as UTF-8 has no lead bytes in
// that sense.
BOOL IsDBCSLeadByte(BYTE TestChar);
// Lead bytes of the double-byte pages 932, 936, 949 and 950; FALSE for
// every other page.
BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);

// The next character of UTF-8 text (the terminator stays where it is).
LPSTR CharNextA(LPCSTR lpsz);
// The start of the character before lpszCurrent, never before lpszStart.
LPSTR CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent);
