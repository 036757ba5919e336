// The module table and binding by name. Every library the layer stands in
// for is listed in kModules below, each with the functions it exports; a
// library or a name missing here is missing for the program.
#include "platform/win/modules.h"

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/rtl/resources.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi.h"

namespace rtl::detail {
namespace {

#define EXPORT(fn) {#fn, reinterpret_cast<FARPROC>(&fn)}

// ---- kernel32.dll -----------------------------------------------------------

const TModuleExport kKernel32[] = {
    EXPORT(FreeLibrary),     EXPORT(GetErrorMode),    EXPORT(GetModuleHandleA), EXPORT(GetModuleHandleW),
    EXPORT(GetProcAddress),  EXPORT(LoadLibraryA),    EXPORT(LoadLibraryExA),   EXPORT(LoadLibraryExW),
    EXPORT(LoadLibraryW),    EXPORT(SetErrorMode),
};

// ---- user32.dll -------------------------------------------------------------
// The gesture and DPI functions (GetGestureInfo, SetGestureConfig,
// LogicalToPhysicalPoint, ...) are absent on purpose: touch never fires here.

const TModuleExport kUser32[] = {
    EXPORT(WindowFromDC),
};

// ---- msimg32.dll ------------------------------------------------------------

const TModuleExport kMsimg32[] = {
    EXPORT(AlphaBlend),
    EXPORT(GradientFill),
    EXPORT(TransparentBlt),
};

#undef EXPORT

template <size_t N>
constexpr TModuleInfo Module(const char* name, const TModuleExport (&exports)[N], bool resident) {
  return TModuleInfo{name, exports, N, resident};
}
constexpr TModuleInfo Module(const char* name, bool resident) { return TModuleInfo{name, nullptr, 0, resident}; }

// File names in lower case.
const TModuleInfo kModules[] = {
    Module("kernel32.dll", kKernel32, true),
    Module("user32.dll", kUser32, true),
    Module("msimg32.dll", kMsimg32, false),
    Module("shell32.dll", false),
    Module("winmm.dll", false),
};
constexpr size_t kModuleCount = sizeof(kModules) / sizeof(kModules[0]);

// Load state, one slot per module of the table.
struct TModuleState {
  int References = 0;
  std::once_flag IndexOnce;
  std::unordered_map<std::string_view, FARPROC> Index;
};

TModuleState gStates[kModuleCount];
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

HMODULE HandleOf(int index) { return reinterpret_cast<HMODULE>(const_cast<TModuleInfo*>(&kModules[index])); }

int IndexOf(HMODULE module) {
  auto* p = reinterpret_cast<const TModuleInfo*>(module);
  if (p < kModules || p >= kModules + kModuleCount) return -1;
  return static_cast<int>(p - kModules);
}

bool IsLoaded(int index) { return kModules[index].Resident || gStates[index].References > 0; }

HMODULE Load(const char* path) {
  int i = FindModule(path);
  if (i < 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(gLock);
  if (!kModules[i].Resident) ++gStates[i].References;
  return HandleOf(i);
}

AnsiString Narrow(LPCWSTR s) { return s ? WideToAnsi(WideString(s)) : AnsiString(); }

}  // namespace

const TModuleInfo* ModuleTable(size_t* count) {
  if (count) *count = kModuleCount;
  return kModules;
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
  if (i < 0 || !IsLoaded(i)) {
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
  int i = IndexOf(hLibModule);
  std::lock_guard<std::mutex> lock(gLock);
  if (i < 0 || !IsLoaded(i)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  if (!kModules[i].Resident) --gStates[i].References;
  return TRUE;
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  if (hModule == HInstance || hModule == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  int i = IndexOf(hModule);
  {
    std::lock_guard<std::mutex> lock(gLock);
    if (i < 0 || !IsLoaded(i)) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
  }
  if (!lpProcName || IS_INTRESOURCE(lpProcName)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  TModuleState& st = gStates[i];
  std::call_once(st.IndexOnce, [&] {
    const TModuleInfo& m = kModules[i];
    for (size_t k = 0; k < m.ExportCount; ++k) st.Index.emplace(m.Exports[k].Name, m.Exports[k].Address);
  });
  auto it = st.Index.find(std::string_view(lpProcName));
  if (it == st.Index.end()) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return it->second;
}

UINT SetErrorMode(UINT uMode) { return gErrorMode.exchange(uMode); }

UINT GetErrorMode() { return gErrorMode.load(); }
