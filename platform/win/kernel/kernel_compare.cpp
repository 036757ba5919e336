#include "platform/win/kernel/kernel_compare.h"

#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/kernel/kernel_codepages.h"

namespace {

WideString Take(LPCWSTR s, int cch) {
  if (cch == -1) return WideString(s);
  return WideString(s, static_cast<size_t>(cch));
}

}  // namespace

int CompareStringW(LCID Locale, DWORD dwCmpFlags, LPCWSTR lpString1, int cchCount1, LPCWSTR lpString2,
                   int cchCount2) {
  (void)Locale;
  if (dwCmpFlags & ~NORM_IGNORECASE) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  if (!lpString1 || !lpString2 || cchCount1 < -1 || cchCount2 < -1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WideString a = Take(lpString1, cchCount1);
  WideString b = Take(lpString2, cchCount2);
  Integer c = (dwCmpFlags & NORM_IGNORECASE) ? WideCompareText(a, b) : WideCompareStr(a, b);
  return c < 0 ? CSTR_LESS_THAN : c > 0 ? CSTR_GREATER_THAN : CSTR_EQUAL;
}
