// Binding by name: the entry points of the system libraries the layer
// implements, looked up as in dynamic libraries. Code written to bind an optional
// library at run time finds exactly the functions the layer provides; a
// library or name the layer does not provide gives null, and the feature
// that needed it turns off.
#pragma once

#include "platform/win/kernel/kernel_module.h"

// A looked-up entry point; callers cast it to the function's own type
// (a pointer to a function taking nothing casts to any function pointer
// without a warning).
using FARPROC = void (*)();

// The entry point of that name (names match with case, as exported). Null
// with ERROR_PROC_NOT_FOUND for a name the module does not provide (ordinals
// included), with ERROR_MOD_NOT_FOUND for a module that is not loaded.
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

namespace rtl::detail {

// One exported function of a module.
struct TModuleExport {
  const char* Name;
  FARPROC Address;
};

// A module of the table: its file name and what it exports.
struct TModuleInfo {
  const char* FileName;
  const TModuleExport* Exports;
  size_t ExportCount;
  bool Resident;  // loaded from the start, never unloaded
};

// The modules the layer implements, in one table.
const TModuleInfo* ModuleTable(size_t* count);

}  // namespace rtl::detail
