// The shell's namespace: our item identifier lists, the task allocator,
// the desktop folder's parsing of paths and the well-known folders.
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/shell/shlobj.h"

namespace rtl::detail {
namespace {

// The kind byte that starts an item of ours.
constexpr BYTE kComputerTag = 'C';
constexpr BYTE kPathTag = 'P';

constexpr HRESULT HResultOf(DWORD win32) {
  return static_cast<HRESULT>((win32 & 0x0000FFFFu) | 0x80070000u);
}

USHORT ReadCb(const BYTE* at) {
  USHORT cb;
  std::memcpy(&cb, at, sizeof cb);
  return cb;
}

// ---- The task allocator ----------------------------------------------------------
// Blocks come from malloc; the allocator remembers the ones it handed out,
// so sizes are exact and a foreign pointer is refused rather than freed.

struct TTaskHeap {
  std::mutex Lock;
  std::unordered_map<void*, SIZE_T> Blocks;

  void* Alloc(SIZE_T cb) {
    void* p = std::malloc(cb ? cb : 1);
    if (!p) return nullptr;
    std::lock_guard g(Lock);
    Blocks[p] = cb;
    return p;
  }
  bool Owns(void* p) {
    std::lock_guard g(Lock);
    return Blocks.count(p) != 0;
  }
  void Free(void* p) {
    if (!p) return;
    {
      std::lock_guard g(Lock);
      if (!Blocks.erase(p)) return;
    }
    std::free(p);
  }
  void* Realloc(void* p, SIZE_T cb) {
    if (!p) return Alloc(cb);
    if (!cb) {
      Free(p);
      return nullptr;
    }
    std::lock_guard g(Lock);
    auto it = Blocks.find(p);
    if (it == Blocks.end()) return nullptr;
    void* q = std::realloc(p, cb);
    if (!q) return nullptr;  // the old block stays valid
    Blocks.erase(it);
    Blocks[q] = cb;
    return q;
  }
  SIZE_T Size(void* p) {
    if (!p) return static_cast<SIZE_T>(-1);
    std::lock_guard g(Lock);
    auto it = Blocks.find(p);
    return it == Blocks.end() ? 0 : it->second;
  }
};

TTaskHeap& Heap() {
  static TTaskHeap* heap = new TTaskHeap;  // outlives every static that frees lists
  return *heap;
}

// The allocator and the desktop folder live as long as the process; their
// reference counts are kept for callers that look at them but never reach
// zero.
template <class I, const IID& Iid>
class TProcessObject : public I {
  std::atomic<ULONG> FRefs{1};

 public:
  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != Iid) return E_NOINTERFACE;
    *ppv = static_cast<I*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++FRefs; }
  ULONG Release() override {
    ULONG r = FRefs.load();
    while (r > 1 && !FRefs.compare_exchange_weak(r, r - 1)) {
    }
    return r > 1 ? r - 1 : 1;
  }
};

class TTaskMalloc final : public TProcessObject<IMalloc, IID_IMalloc> {
 public:
  void* Alloc(SIZE_T cb) override { return Heap().Alloc(cb); }
  void* Realloc(void* pv, SIZE_T cb) override { return Heap().Realloc(pv, cb); }
  void Free(void* pv) override { Heap().Free(pv); }
  SIZE_T GetSize(void* pv) override { return Heap().Size(pv); }
  int DidAlloc(void* pv) override { return !pv ? -1 : (Heap().Owns(pv) ? 1 : 0); }
  void HeapMinimize() override {}
};

TTaskMalloc& TaskMalloc() {
  static TTaskMalloc* m = new TTaskMalloc;
  return *m;
}

// ---- The desktop folder ------------------------------------------------------------

class TDesktopFolder final : public TProcessObject<IShellFolder, IID_IShellFolder> {
 public:

  HRESULT ParseDisplayName(HWND, IBindCtx*, LPWSTR pszDisplayName, ULONG* pchEaten, PIDLIST_RELATIVE* ppidl,
                           ULONG* pdwAttributes) override {
    if (!ppidl) return E_POINTER;
    *ppidl = nullptr;
    if (!pszDisplayName) return E_INVALIDARG;
    WideString wide(pszDisplayName);
    AnsiString path = NormalShellPath(WideToAnsi(wide));
    if (path.empty()) return E_INVALIDARG;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
      switch (errno) {
        case ENOTDIR: return HResultOf(ERROR_PATH_NOT_FOUND);
        case EACCES: return E_ACCESSDENIED;
        case ENOMEM: return E_OUTOFMEMORY;
        default: return HResultOf(ERROR_FILE_NOT_FOUND);
      }
    }
    PIDLIST_ABSOLUTE pidl = EncodeShellItem(TShellItem{skPath, path});
    if (!pidl) return E_OUTOFMEMORY;
    if (pchEaten) *pchEaten = static_cast<ULONG>(wide.size());
    if (pdwAttributes) {
      SFGAOF attrs = SFGAO_FILESYSTEM | SFGAO_CANRENAME | SFGAO_CANDELETE;
      bool folder = S_ISDIR(st.st_mode);
      if (folder) attrs |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
      AnsiString name = ExtractFileName(path);
      if (!name.empty() && name[0] == '.') attrs |= SFGAO_HIDDEN;
      struct stat lst {};
      if (lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) attrs |= SFGAO_LINK;
      if (access(path.c_str(), W_OK) != 0) attrs |= SFGAO_READONLY;
      // Looking into the folder costs a read, so only when asked.
      if (folder && (*pdwAttributes & SFGAO_HASSUBFOLDER) && ShellHasSubFolder(path)) attrs |= SFGAO_HASSUBFOLDER;
      *pdwAttributes &= attrs;
    }
    *ppidl = pidl;
    return S_OK;
  }
  HRESULT EnumObjects(HWND, SHCONTF, IEnumIDList** pp) override {
    if (pp) *pp = nullptr;
    return E_NOTIMPL;
  }
  HRESULT BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void** ppv) override {
    if (ppv) *ppv = nullptr;
    return E_NOTIMPL;
  }
  HRESULT BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void** ppv) override {
    if (ppv) *ppv = nullptr;
    return E_NOTIMPL;
  }
  HRESULT CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override { return E_NOTIMPL; }
  HRESULT CreateViewObject(HWND, REFIID, void** ppv) override {
    if (ppv) *ppv = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF*) override { return E_NOTIMPL; }
  HRESULT GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT*, void** ppv) override {
    if (ppv) *ppv = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF, STRRET*) override { return E_NOTIMPL; }
  HRESULT SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD* ppidlOut) override {
    if (ppidlOut) *ppidlOut = nullptr;
    return E_NOTIMPL;
  }
};

TDesktopFolder& DesktopFolder() {
  static TDesktopFolder* f = new TDesktopFolder;
  return *f;
}

}  // namespace

namespace {

bool IsFolderEntry(const AnsiString& parent, const dirent* e) {
  if (e->d_name[0] == '.') return false;  // hidden, and the "." and ".." entries
  if (e->d_type == DT_DIR) return true;
  if (e->d_type != DT_LNK && e->d_type != DT_UNKNOWN) return false;
  struct stat st {};
  AnsiString full = parent == "/" ? "/" + AnsiString(e->d_name) : parent + "/" + e->d_name;
  return stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool ShellHasSubFolder(const AnsiString& path) {
  DIR* d = opendir(path.c_str());
  if (!d) return false;
  bool found = false;
  while (const dirent* e = readdir(d))
    if (IsFolderEntry(path, e)) {
      found = true;
      break;
    }
  closedir(d);
  return found;
}

std::vector<AnsiString> ShellSubFolders(const AnsiString& path) {
  std::vector<AnsiString> names;
  if (DIR* d = opendir(path.c_str())) {
    while (const dirent* e = readdir(d))
      if (IsFolderEntry(path, e)) names.emplace_back(e->d_name);
    closedir(d);
  }
  std::vector<std::pair<WideString, size_t>> keys;
  keys.reserve(names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    WideString k = AnsiToWide(names[i]);
    for (auto& c : k) c = static_cast<char16_t>(std::towlower(c));
    keys.emplace_back(std::move(k), i);
  }
  // Case does not order names; equal ones keep a fixed order by their bytes.
  std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return names[a.second] < names[b.second];
  });
  std::vector<AnsiString> sorted;
  sorted.reserve(names.size());
  for (auto& k : keys) sorted.push_back(std::move(names[k.second]));
  return sorted;
}

TShellItem DecodeShellItem(PCIDLIST_ABSOLUTE pidl) {
  TShellItem r;
  if (!pidl) return r;
  const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
  USHORT cb = ReadCb(p);
  if (cb == 0) {
    r.Kind = skDesktop;
    return r;
  }
  if (cb < 3 || ReadCb(p + cb) != 0) return r;
  BYTE tag = p[2];
  if (tag == kComputerTag && cb == 3) {
    r.Kind = skComputer;
  } else if (tag == kPathTag && cb > 3 && p[3] == '/') {
    AnsiString path(reinterpret_cast<const char*>(p + 3), cb - 3u);
    if (path.find('\0') != AnsiString::npos) return r;
    r.Kind = skPath;
    r.Path = std::move(path);
  }
  return r;
}

PIDLIST_ABSOLUTE EncodeShellItem(const TShellItem& item) {
  std::vector<BYTE> bytes;
  auto put = [&](USHORT cb) {
    BYTE b[2];
    std::memcpy(b, &cb, 2);
    bytes.insert(bytes.end(), b, b + 2);
  };
  switch (item.Kind) {
    case skDesktop: break;
    case skComputer:
      put(3);
      bytes.push_back(kComputerTag);
      break;
    case skPath:
      if (item.Path.empty() || item.Path[0] != '/' || item.Path.size() > 0xFFFF - 3) return nullptr;
      put(static_cast<USHORT>(3 + item.Path.size()));
      bytes.push_back(kPathTag);
      bytes.insert(bytes.end(), item.Path.begin(), item.Path.end());
      break;
    case skInvalid: return nullptr;
  }
  put(0);
  void* p = CoTaskMemAlloc(bytes.size());
  if (!p) return nullptr;
  std::memcpy(p, bytes.data(), bytes.size());
  return static_cast<PIDLIST_ABSOLUTE>(p);
}

AnsiString NormalShellPath(const AnsiString& path) {
  if (path.empty() || path[0] != '/') return AnsiString();
  std::vector<AnsiString> parts;
  size_t at = 0;
  while (at <= path.size()) {
    size_t end = path.find('/', at);
    if (end == AnsiString::npos) end = path.size();
    AnsiString part = path.substr(at, end - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    at = end + 1;
  }
  AnsiString r;
  for (const AnsiString& p : parts) r += "/" + p;
  return r.empty() ? AnsiString("/") : r;
}

AnsiString ShellHomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home == '/') return NormalShellPath(home);
  struct passwd pw {}, *result = nullptr;
  char buf[4096];
  if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &result) == 0 && result && result->pw_dir && *result->pw_dir == '/')
    return NormalShellPath(result->pw_dir);
  return "/";
}

}  // namespace rtl::detail

using namespace rtl::detail;

// ---- Lists -------------------------------------------------------------------------

UINT ILGetSize(PCUIDLIST_RELATIVE pidl) {
  if (!pidl) return 0;
  const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
  UINT size = 0;
  for (USHORT cb; (cb = ReadCb(p + size)) != 0;) size += cb;
  return size + 2;
}

PIDLIST_RELATIVE ILClone(PCUIDLIST_RELATIVE pidl) {
  if (!pidl) return nullptr;
  UINT size = ILGetSize(pidl);
  void* p = CoTaskMemAlloc(size);
  if (p) std::memcpy(p, pidl, size);
  return static_cast<PIDLIST_RELATIVE>(p);
}

void ILFree(PIDLIST_RELATIVE pidl) { CoTaskMemFree(pidl); }

BOOL ILIsEqual(PCIDLIST_ABSOLUTE pidl1, PCIDLIST_ABSOLUTE pidl2) {
  TShellItem a = DecodeShellItem(pidl1), b = DecodeShellItem(pidl2);
  return a.Kind != skInvalid && a.Kind == b.Kind && a.Path == b.Path;
}

BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR pszPath) {
  if (!pszPath) return FALSE;
  *pszPath = 0;
  TShellItem item = DecodeShellItem(pidl);
  // A path the buffer cannot hold whole is no answer.
  if (item.Kind != skPath || item.Path.size() >= MAX_PATH) return FALSE;
  std::memcpy(pszPath, item.Path.c_str(), item.Path.size() + 1);
  return TRUE;
}

BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE pidl, LPWSTR pszPath) {
  if (!pszPath) return FALSE;
  *pszPath = 0;
  TShellItem item = DecodeShellItem(pidl);
  if (item.Kind != skPath) return FALSE;
  WideString w = AnsiToWide(item.Path);
  if (w.size() >= MAX_PATH) return FALSE;
  std::memcpy(pszPath, w.c_str(), (w.size() + 1) * sizeof(WCHAR));
  return TRUE;
}

// ---- The allocator -------------------------------------------------------------------

void* CoTaskMemAlloc(SIZE_T cb) { return Heap().Alloc(cb); }
void* CoTaskMemRealloc(void* pv, SIZE_T cb) { return Heap().Realloc(pv, cb); }
void CoTaskMemFree(void* pv) { Heap().Free(pv); }

HRESULT SHGetMalloc(IMalloc** ppMalloc) {
  if (!ppMalloc) return E_INVALIDARG;
  *ppMalloc = &TaskMalloc();
  TaskMalloc().AddRef();
  return S_OK;
}

HRESULT CoGetMalloc(DWORD dwMemContext, IMalloc** ppMalloc) {
  if (!ppMalloc) return E_INVALIDARG;
  *ppMalloc = nullptr;
  if (dwMemContext != 1) return E_INVALIDARG;  // MEMCTX_TASK only
  return SHGetMalloc(ppMalloc);
}

// ---- Folders ---------------------------------------------------------------------------

HRESULT SHGetDesktopFolder(IShellFolder** ppshf) {
  if (!ppshf) return E_INVALIDARG;
  *ppshf = &DesktopFolder();
  DesktopFolder().AddRef();
  return S_OK;
}

HRESULT SHGetFolderLocation(HWND, int csidl, HANDLE, DWORD, PIDLIST_ABSOLUTE* ppidl) {
  if (!ppidl) return E_INVALIDARG;
  *ppidl = nullptr;
  TShellItem item;
  switch (csidl & 0xFF) {
    case CSIDL_DESKTOP: item.Kind = skDesktop; break;
    case CSIDL_DRIVES: item.Kind = skComputer; break;
    case CSIDL_PROFILE: item = TShellItem{skPath, ShellHomeFolder()}; break;
    case CSIDL_PERSONAL: item = TShellItem{skPath, NormalShellPath(GetPersonalFolder())}; break;
    default: return E_INVALIDARG;
  }
  if (item.Kind == skPath) {
    struct stat st {};
    if (item.Path.empty() || stat(item.Path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
      return HResultOf(ERROR_FILE_NOT_FOUND);
  }
  *ppidl = EncodeShellItem(item);
  return *ppidl ? S_OK : E_OUTOFMEMORY;
}

HRESULT SHGetSpecialFolderLocation(HWND hwnd, int csidl, PIDLIST_ABSOLUTE* ppidl) {
  return SHGetFolderLocation(hwnd, csidl, nullptr, 0, ppidl);
}
