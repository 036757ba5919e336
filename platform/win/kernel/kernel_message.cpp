// System message texts.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"

DWORD FormatMessageA(DWORD dwFlags, LPCVOID, DWORD dwMessageId, DWORD, LPSTR lpBuffer, DWORD nSize, void*) {
  if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || (dwFlags & FORMAT_MESSAGE_FROM_STRING) || !lpBuffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  AnsiString text = SysErrorMessage(dwMessageId) + ".";
  // Without a width limit the system's texts end with a line break.
  if ((dwFlags & FORMAT_MESSAGE_MAX_WIDTH_MASK) == 0) text += "\r\n";
  const DWORD length = static_cast<DWORD>(text.size());
  char* out;
  if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    out = static_cast<char*>(std::malloc(std::max<size_t>(length + 1, nSize)));
    if (!out) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    *reinterpret_cast<LPSTR*>(lpBuffer) = out;
  } else {
    if (nSize < length + 1) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    out = lpBuffer;
  }
  std::memcpy(out, text.c_str(), length + 1);
  return length;
}

HLOCAL LocalFree(HLOCAL hMem) {
  std::free(hMem);
  return nullptr;
}
