// Locale-aware text comparison. Every locale compares in the runtime's one
// text order (WideCompareStr, or WideCompareText when case is ignored).
#pragma once

#include "platform/win/kernel/kernel_locale.h"

constexpr DWORD NORM_IGNORECASE = 0x00000001;

constexpr int CSTR_LESS_THAN = 1;
constexpr int CSTR_EQUAL = 2;
constexpr int CSTR_GREATER_THAN = 3;

// Compares cchCount1 characters of lpString1 with cchCount2 of lpString2
// (-1: up to the terminating null). Answers CSTR_LESS_THAN, CSTR_EQUAL or
// CSTR_GREATER_THAN; 0 with ERROR_INVALID_FLAGS for a flag other than
// NORM_IGNORECASE, or ERROR_INVALID_PARAMETER for a null string or a count
// below -1.
int CompareStringW(LCID Locale, DWORD dwCmpFlags, LPCWSTR lpString1, int cchCount1, LPCWSTR lpString2,
                   int cchCount2);
