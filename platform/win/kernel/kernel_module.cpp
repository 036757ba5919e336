// The loader's side of modules: which system libraries exist, which are
// loaded, and their handles. What each exports is looked up one level up,
// where every library of the layer is within reach (modules.cpp).
#include "platform/win/kernel/kernel_module.h"

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/rtl/resources.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"

namespace rtl::detail {
namespace {

struct TModuleName {
  const char* FileName;
  bool Resident;  // loaded from the start, never unloaded
};

// File names in lower case.
const TModuleName kModules[] = {
    {"kernel32.dll", true}, {"user32.dll", true},   {"gdiplus.dll", false},  {"msimg32.dll", false},
    {"uxtheme.dll", false}, {"dwmapi.dll", false},  {"comctl32.dll", false}, {"oleacc.dll", false},
    {"shell32.dll", false}, {"winmm.dll", false},
    {"ole32.dll", false},
};
constexpr size_t kModuleCount = sizeof(kModules) / sizeof(kModules[0]);

int gReferences[kModuleCount] = {};
std::mutex gLock;
std::atomic<UINT> gErrorMode{0};

// The file-name part of a path, in lower case, with ".dll" added when it
// has no extension and a final "." (meaning "no extension") removed.
std::string NormalizeName(const char* path) {
  std::string_view s(path);
  size_t slash = s.find_last_of("\\/");
  if (slash != std::string_view::npos) s.remove_prefix(slash + 1);
  std::string name(s);
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (!name.empty() && name.back() == '.')
    name.pop_back();
  else if (name.find('.') == std::string::npos)
    name += ".dll";
  return name;
}

int FindModule(const char* path) {
  if (!path || !*path) return -1;
  std::string name = NormalizeName(path);
  for (size_t i = 0; i < kModuleCount; ++i)
    if (name == kModules[i].FileName) return static_cast<int>(i);
  return -1;
}

HMODULE HandleOf(int index) { return reinterpret_cast<HMODULE>(const_cast<TModuleName*>(&kModules[index])); }

bool IsLoadedLocked(int index) { return kModules[index].Resident || gReferences[index] > 0; }

HMODULE Load(const char* path) {
  int i = FindModule(path);
  if (i < 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(gLock);
  if (!kModules[i].Resident) ++gReferences[i];
  return HandleOf(i);
}

AnsiString Narrow(LPCWSTR s) { return s ? WideToAnsi(WideString(s)) : AnsiString(); }

}  // namespace

size_t ModuleCount() { return kModuleCount; }

const char* ModuleFileName(int index) { return kModules[index].FileName; }

bool ModuleResident(int index) { return kModules[index].Resident; }

int ModuleIndexOf(HMODULE module) {
  auto* p = reinterpret_cast<const TModuleName*>(module);
  if (p < kModules || p >= kModules + kModuleCount) return -1;
  return static_cast<int>(p - kModules);
}

bool ModuleLoaded(int index) {
  std::lock_guard<std::mutex> lock(gLock);
  return IsLoadedLocked(index);
}

int ModuleReferenceCount(int index) {
  std::lock_guard<std::mutex> lock(gLock);
  return gReferences[index];
}

}  // namespace rtl::detail

using namespace rtl::detail;

HMODULE LoadLibraryA(LPCSTR lpLibFileName) { return Load(lpLibFileName); }

HMODULE LoadLibraryW(LPCWSTR lpLibFileName) {
  AnsiString name = Narrow(lpLibFileName);
  return Load(name.c_str());
}

HMODULE LoadLibraryExA(LPCSTR lpLibFileName, HANDLE, DWORD) { return Load(lpLibFileName); }

HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE, DWORD) { return LoadLibraryW(lpLibFileName); }

HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
  if (!lpModuleName) return HInstance;
  int i = FindModule(lpModuleName);
  std::lock_guard<std::mutex> lock(gLock);
  if (i < 0 || !IsLoadedLocked(i)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return HandleOf(i);
}

HMODULE GetModuleHandleW(LPCWSTR lpModuleName) {
  if (!lpModuleName) return HInstance;
  AnsiString name = Narrow(lpModuleName);
  return GetModuleHandleA(name.c_str());
}

BOOL FreeLibrary(HMODULE hLibModule) {
  if (hLibModule == HInstance) return TRUE;
  int i = ModuleIndexOf(hLibModule);
  std::lock_guard<std::mutex> lock(gLock);
  if (i < 0 || !IsLoadedLocked(i)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  if (!kModules[i].Resident) --gReferences[i];
  return TRUE;
}

UINT SetErrorMode(UINT uMode) { return gErrorMode.exchange(uMode); }

UINT GetErrorMode() { return gErrorMode.load(); }
