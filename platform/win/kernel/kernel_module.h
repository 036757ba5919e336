// Modules: the system libraries the layer implements, loaded, counted and
// freed as dynamic libraries are. Their entry points are looked up through
// GetProcAddress (modules.h), which sees every library of the layer.
#pragma once

#include <cstddef>

#include "platform/win/kernel/windef.h"

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

UINT SetErrorMode(UINT uMode);
UINT GetErrorMode();

namespace rtl::detail {

// The loader's list of modules, by index.
size_t ModuleCount();
const char* ModuleFileName(int index);
bool ModuleResident(int index);
// The index of a module handle, or -1 for anything else.
int ModuleIndexOf(HMODULE module);
bool ModuleLoaded(int index);
// The LoadLibrary references a module holds now (0 for a resident one).
int ModuleReferenceCount(int index);

}  // namespace rtl::detail
