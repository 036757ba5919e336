// Paths of item identifier lists into a buffer of the caller's size.
#include <algorithm>

#include "platform/rtl/text_codec.h"
#include "platform/win/shell/shlobj.h"

using namespace rtl::detail;

BOOL SHGetPathFromIDListEx(PCIDLIST_ABSOLUTE pidl, LPWSTR pszPath, DWORD cchPath, GPFIDL_FLAGS) {
  if (!pszPath || cchPath == 0) return FALSE;
  *pszPath = 0;
  TShellItem item = DecodeShellItem(pidl);
  if (item.Kind != skPath) return FALSE;
  // There are no short names or printers here: every option gives the path.
  WideString w = AnsiToWide(item.Path);
  if (w.size() >= cchPath) return FALSE;
  std::copy(w.c_str(), w.c_str() + w.size() + 1, pszPath);
  return TRUE;
}
