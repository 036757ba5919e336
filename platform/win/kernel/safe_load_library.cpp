#include "platform/win/kernel/safe_load_library.h"

HMODULE SafeLoadLibrary(LPCSTR AFileName, UINT AErrorMode) {
  UINT previous = SetErrorMode(AErrorMode);
  HMODULE module = LoadLibraryA(AFileName);
  SetErrorMode(previous);
  return module;
}
