// Binding by name: the system libraries the layer implements, loaded and
// looked up as dynamic libraries are. Code written to bind an optional
// library at run time finds exactly the functions the layer provides; a
// library or name the layer does not provide gives null, and the feature
// that needed it turns off.
#pragma once

#include "platform/win/windef.h"

// A looked-up entry point; callers cast it to the function's own type
// (a pointer to a function taking nothing casts to any function pointer
// without a warning).
using FARPROC = void (*)();

// Error modes (SetErrorMode). No dialog is ever shown here; the value is
// kept so that callers can save and restore it.
#define SEM_FAILCRITICALERRORS 0x0001
#define SEM_NOGPFAULTERRORBOX 0x0002
#define SEM_NOALIGNMENTFAULTEXCEPT 0x0004
#define SEM_NOOPENFILEERRORBOX 0x8000

// LoadLibraryEx flags that are accepted (and change nothing here).
#define DONT_RESOLVE_DLL_REFERENCES 0x00000001
#define LOAD_LIBRARY_AS_DATAFILE 0x00000002
#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800

// Error numbers of the functions below.
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

// Names match without regard to case; a name without an extension gets
// ".dll", a name ending in "." means "no extension", and a folder part
// ("C:\\Windows\\System32\\" or "/usr/lib/") is ignored. Unknown names give
// null with ERROR_MOD_NOT_FOUND. Each successful load counts a reference.
HMODULE LoadLibraryA(LPCSTR lpLibFileName);
HMODULE LoadLibraryW(LPCWSTR lpLibFileName);
inline HMODULE LoadLibrary(LPCSTR lpLibFileName) { return LoadLibraryA(lpLibFileName); }
inline HMODULE LoadLibrary(LPCWSTR lpLibFileName) { return LoadLibraryW(lpLibFileName); }
HMODULE LoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);

// The handle of a module that is loaded now: the executable for null,
// "kernel32.dll", "user32.dll" and "gdi32.dll" always, the others while a
// LoadLibrary reference is held. No reference is counted.
HMODULE GetModuleHandleA(LPCSTR lpModuleName);
HMODULE GetModuleHandleW(LPCWSTR lpModuleName);
inline HMODULE GetModuleHandle(LPCSTR lpModuleName) { return GetModuleHandleA(lpModuleName); }
inline HMODULE GetModuleHandle(LPCWSTR lpModuleName) { return GetModuleHandleW(lpModuleName); }

// Drops one reference; the module unloads when none is left (the
// always-loaded modules never do). FALSE with ERROR_MOD_NOT_FOUND for a
// handle that is not a loaded module.
BOOL FreeLibrary(HMODULE hLibModule);

// The entry point of that name (names match with case, as exported). Null
// with ERROR_PROC_NOT_FOUND for a name the module does not provide (ordinals
// included), with ERROR_MOD_NOT_FOUND for a module that is not loaded.
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

UINT SetErrorMode(UINT uMode);
UINT GetErrorMode();

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
