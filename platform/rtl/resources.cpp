#include "platform/rtl/resources.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"

// The usual image base of an executable: any non-null constant serves, as
// long as it is known before any initialiser runs.
const HINSTANCE HInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
const HINSTANCE MainInstance = HInstance;

// Programs that link no generated table have no resources.
__attribute__((weak)) const rtl::detail::TResourceDirectory& rtl::detail::ModuleResources() {
  static constexpr TResourceDirectory kEmpty{nullptr, 0};
  return kEmpty;
}

RTL_IMPLEMENT_CLASS(TResourceStream)

namespace {

using rtl::detail::ModuleResources;
using rtl::detail::TResourceDirectory;
using rtl::detail::TResourceEntry;

constexpr Cardinal ERROR_INVALID_PARAMETER = 87;
constexpr Cardinal ERROR_INSUFFICIENT_BUFFER = 122;
constexpr Cardinal ERROR_MOD_NOT_FOUND = 126;
constexpr Cardinal ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
constexpr Cardinal ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr Cardinal ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

bool IsOwnModule(HMODULE m) { return m == nullptr || m == HInstance; }

// A resource name or type as given: a number, or a name in upper case.
struct TKey {
  Word Id = 0;
  AnsiString Name;
};

bool ParseKey(LPCSTR p, TKey& key) {
  if (IS_INTRESOURCE(p)) {
    key.Id = static_cast<Word>(reinterpret_cast<uintptr_t>(p));
    return key.Id != 0;
  }
  if (p[0] == '#') {
    char* end = nullptr;
    unsigned long v = std::strtoul(p + 1, &end, 10);
    if (end == p + 1 || *end != '\0' || v == 0 || v > 0xFFFF) return false;
    key.Id = static_cast<Word>(v);
    return true;
  }
  key.Name = p;
  for (char& c : key.Name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return !key.Name.empty();
}

bool Matches(const TKey& key, Word id, const char* name) {
  return key.Id ? id == key.Id : (name && key.Name == name);
}

// The entry behind a resource handle, null for anything else.
const TResourceEntry* EntryOf(HRSRC h) {
  const TResourceDirectory& dir = ModuleResources();
  const auto* e = reinterpret_cast<const TResourceEntry*>(h);
  for (size_t i = 0; i < dir.Count; ++i)
    if (&dir.Entries[i] == e) return e;
  return nullptr;
}

// String uID of the executable's string table, as UTF-16; false when missing.
bool FindString(HINSTANCE module, UINT uID, WideString& text) {
  if (uID > 0xFFFF) return false;
  HRSRC res = FindResource(module, MAKEINTRESOURCE((uID >> 4) + 1), RT_STRING);
  if (!res) return false;
  const auto* p = static_cast<const Byte*>(LockResource(LoadResource(module, res)));
  const Byte* end = p + SizeofResource(module, res);
  auto word = [](const Byte* q) { return static_cast<Word>(q[0] | (q[1] << 8)); };
  for (UINT i = 0; i < (uID & 15); ++i) {
    if (end - p < 2) return false;
    p += 2 + 2 * static_cast<size_t>(word(p));
  }
  if (end - p < 2) return false;
  const Word len = word(p);
  if (len == 0 || end - (p + 2) < 2 * len) return false;
  text.resize(len);
  for (Word i = 0; i < len; ++i) text[i] = static_cast<char16_t>(word(p + 2 + 2 * i));
  return true;
}

AnsiString LoadStringText(HINSTANCE module, UINT id) {
  WideString w;
  return FindString(module, id, w) ? WideToAnsi(w) : AnsiString();
}

}  // namespace

// ---- The module ------------------------------------------------------------------

DWORD GetModuleFileName(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  if (!IsOwnModule(hModule)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (!lpFilename || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  const AnsiString path = ParamStr(0);
  if (path.size() < nSize) {
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
  }
  std::memcpy(lpFilename, path.data(), nSize - 1);
  lpFilename[nSize - 1] = '\0';
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return nSize;
}

AnsiString GetModuleName(HMODULE Module) { return IsOwnModule(Module) ? ParamStr(0) : AnsiString(); }

// ---- Resources ---------------------------------------------------------------------

HRSRC FindResource(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
  if (!IsOwnModule(hModule)) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  TKey name, type;
  if (!lpName || !lpType || !ParseKey(lpName, name) || !ParseKey(lpType, type)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const TResourceDirectory& dir = ModuleResources();
  bool typeFound = false;
  for (size_t i = 0; i < dir.Count; ++i) {
    const TResourceEntry& e = dir.Entries[i];
    if (!Matches(type, e.TypeId, e.TypeName)) continue;
    typeFound = true;
    if (Matches(name, e.NameId, e.Name)) return reinterpret_cast<HRSRC>(const_cast<TResourceEntry*>(&e));
  }
  SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
  return nullptr;
}

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo) {
  const TResourceEntry* e = IsOwnModule(hModule) ? EntryOf(hResInfo) : nullptr;
  if (!e) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return const_cast<void*>(e->Data);
}

LPVOID LockResource(HGLOBAL hResData) { return hResData; }

DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo) {
  const TResourceEntry* e = IsOwnModule(hModule) ? EntryOf(hResInfo) : nullptr;
  if (!e) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return e->Size;
}

BOOL FreeResource(HGLOBAL) { return FALSE; }

int LoadString(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
  if (!lpBuffer || cchBufferMax <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WideString w;
  if (!FindString(hInstance, uID, w)) {
    lpBuffer[0] = '\0';
    return 0;
  }
  const AnsiString text = WideToAnsi(w);
  size_t n = std::min(text.size(), static_cast<size_t>(cchBufferMax - 1));
  // Never leave half a character at the end.
  if (n < text.size())
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(lpBuffer, text.data(), n);
  lpBuffer[n] = '\0';
  return static_cast<int>(n);
}

AnsiString LoadStr(Integer Ident) { return LoadStringText(HInstance, static_cast<UINT>(Ident)); }

AnsiString LoadResString(Integer Ident) { return LoadStr(Ident); }

AnsiString LoadResString(PResStringRec ResStringRec) {
  if (!ResStringRec) return AnsiString();
  return LoadStringText(ResStringRec->Module ? *ResStringRec->Module : HInstance, ResStringRec->Identifier);
}

// ---- TResourceStream ---------------------------------------------------------------------

void TResourceStream::Initialize(HINSTANCE Instance, LPCSTR Name, LPCSTR ResType, const AnsiString& displayName) {
  HRSRC res = FindResource(Instance, Name, ResType);
  if (!res) throw EResNotFound("Resource %s not found", {displayName});
  // The data is read-only: Write raises before anything could change it.
  SetPointer(LockResource(LoadResource(Instance, res)), SizeofResource(Instance, res));
}

TResourceStream::TResourceStream(HINSTANCE Instance, const AnsiString& ResName, LPCSTR ResType) {
  Initialize(Instance, ResName.c_str(), ResType, ResName);
}

TResourceStream::TResourceStream(HINSTANCE Instance, LPCSTR ResName, LPCSTR ResType) {
  Initialize(Instance, ResName, ResType,
             !ResName ? AnsiString() : IS_INTRESOURCE(ResName) ? std::to_string(reinterpret_cast<uintptr_t>(ResName))
                                                               : AnsiString(ResName));
}

TResourceStream::TResourceStream(HINSTANCE Instance, Integer ResID, LPCSTR ResType) {
  Initialize(Instance, MAKEINTRESOURCE(ResID), ResType, std::to_string(ResID));
}

Integer TResourceStream::Write(const void*, Integer) {
  throw EStreamError("Can't write to a read-only resource stream");
}
