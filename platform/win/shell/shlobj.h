// The shell's namespace as far as the programs above use it: item
// identifier lists for folders, the task allocator, the desktop folder's
// parsing of paths, the well-known folders, and the folder browser dialog.
//
// An item identifier list of ours holds one item: a kind byte and, for a
// file-system item, its absolute path in UTF-8. The empty list is the
// desktop (the namespace's root) and the "Computer" item is virtual; neither
// has a path. Lists are allocated with the task allocator, so a caller frees
// them with CoTaskMemFree, ILFree or the IMalloc of SHGetMalloc.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/win/kernel/objidl.h"
#include "platform/win/user/user_messages.h"
#include "platform/win/kernel/windef.h"

using SIZE_T = size_t;

// ---- Item identifier lists ----------------------------------------------------

#pragma pack(push, 1)
struct SHITEMID {
  USHORT cb;  // the size of the item, cb included; 0 ends the list
  BYTE abID[1];
};
struct ITEMIDLIST {
  SHITEMID mkid;
};
#pragma pack(pop)
using LPSHITEMID = SHITEMID*;
using LPCSHITEMID = const SHITEMID*;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;
using PIDLIST_RELATIVE = ITEMIDLIST*;
using PCUIDLIST_RELATIVE = const ITEMIDLIST*;
using PUITEMID_CHILD = ITEMIDLIST*;
using PITEMID_CHILD = ITEMIDLIST*;
using PCUITEMID_CHILD = const ITEMIDLIST*;
using PCUITEMID_CHILD_ARRAY = const PCUITEMID_CHILD*;

// The size in bytes of the whole list with its terminator; 0 for null.
UINT ILGetSize(PCUIDLIST_RELATIVE pidl);
PIDLIST_RELATIVE ILClone(PCUIDLIST_RELATIVE pidl);
void ILFree(PIDLIST_RELATIVE pidl);
BOOL ILIsEqual(PCIDLIST_ABSOLUTE pidl1, PCIDLIST_ABSOLUTE pidl2);

// The path of a file-system item into a buffer of MAX_PATH characters.
// FALSE with an empty string for a virtual item, a null or malformed list,
// or a path that does not fit.
BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR pszPath);
BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE pidl, LPWSTR pszPath);
inline BOOL SHGetPathFromIDList(PCIDLIST_ABSOLUTE pidl, LPSTR pszPath) { return SHGetPathFromIDListA(pidl, pszPath); }
inline BOOL SHGetPathFromIDList(PCIDLIST_ABSOLUTE pidl, LPWSTR pszPath) { return SHGetPathFromIDListW(pidl, pszPath); }

// The path of a file-system item into a buffer of cchPath characters, so
// that paths longer than MAX_PATH can be had. FALSE with an empty string
// (when there is room for one) for a virtual item, a null or malformed
// list, or a path that does not fit.
using GPFIDL_FLAGS = int;
constexpr GPFIDL_FLAGS GPFIDL_DEFAULT = 0x0000;
constexpr GPFIDL_FLAGS GPFIDL_ALTNAME = 0x0001;
constexpr GPFIDL_FLAGS GPFIDL_UNCPRINTER = 0x0002;
BOOL SHGetPathFromIDListEx(PCIDLIST_ABSOLUTE pidl, LPWSTR pszPath, DWORD cchPath, GPFIDL_FLAGS uOpts);

// ---- The task allocator ----------------------------------------------------------

inline constexpr IID IID_IMalloc = {0x00000002, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IMalloc : public IUnknown {
 public:
  virtual void* Alloc(SIZE_T cb) = 0;
  virtual void* Realloc(void* pv, SIZE_T cb) = 0;
  virtual void Free(void* pv) = 0;
  virtual SIZE_T GetSize(void* pv) = 0;
  // 1: the block is this allocator's, 0: it is not, -1 for null.
  virtual int DidAlloc(void* pv) = 0;
  virtual void HeapMinimize() = 0;

 protected:
  ~IMalloc() = default;
};
using LPMALLOC = IMalloc*;

// The one allocator of the process (a reference is added for the caller).
HRESULT SHGetMalloc(IMalloc** ppMalloc);
HRESULT CoGetMalloc(DWORD dwMemContext, IMalloc** ppMalloc);
// Blocks of the task allocator. Freeing null, or a block the allocator did
// not hand out, does nothing.
void* CoTaskMemAlloc(SIZE_T cb);
void* CoTaskMemRealloc(void* pv, SIZE_T cb);
void CoTaskMemFree(void* pv);

// ---- Shell folders -------------------------------------------------------------------

inline constexpr IID IID_IShellFolder = {0x000214E6, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IBindCtx;
class IEnumIDList;

// Attributes of items (SFGAOF).
using SFGAOF = ULONG;
constexpr SFGAOF SFGAO_CANRENAME = 0x00000010;
constexpr SFGAOF SFGAO_CANDELETE = 0x00000020;
constexpr SFGAOF SFGAO_LINK = 0x00010000;
constexpr SFGAOF SFGAO_READONLY = 0x00040000;
constexpr SFGAOF SFGAO_HIDDEN = 0x00080000;
constexpr SFGAOF SFGAO_FILESYSANCESTOR = 0x10000000;
constexpr SFGAOF SFGAO_FOLDER = 0x20000000;
constexpr SFGAOF SFGAO_FILESYSTEM = 0x40000000;
constexpr SFGAOF SFGAO_HASSUBFOLDER = 0x80000000;

using SHCONTF = DWORD;
using SHGDNF = DWORD;

constexpr UINT STRRET_WSTR = 0;
constexpr UINT STRRET_OFFSET = 1;
constexpr UINT STRRET_CSTR = 2;
struct STRRET {
  UINT uType;
  union {
    LPWSTR pOleStr;
    UINT uOffset;
    char cStr[MAX_PATH];
  };
};

class IShellFolder : public IUnknown {
 public:
  // An absolute path becomes the list of its folder or file. The path
  // must exist; E_INVALIDARG for a relative or empty one.
  virtual HRESULT ParseDisplayName(HWND hwnd, IBindCtx* pbc, LPWSTR pszDisplayName, ULONG* pchEaten,
                                   PIDLIST_RELATIVE* ppidl, ULONG* pdwAttributes) = 0;
  virtual HRESULT EnumObjects(HWND hwnd, SHCONTF grfFlags, IEnumIDList** ppenumIDList) = 0;
  virtual HRESULT BindToObject(PCUIDLIST_RELATIVE pidl, IBindCtx* pbc, REFIID riid, void** ppv) = 0;
  virtual HRESULT BindToStorage(PCUIDLIST_RELATIVE pidl, IBindCtx* pbc, REFIID riid, void** ppv) = 0;
  virtual HRESULT CompareIDs(LPARAM lParam, PCUIDLIST_RELATIVE pidl1, PCUIDLIST_RELATIVE pidl2) = 0;
  virtual HRESULT CreateViewObject(HWND hwndOwner, REFIID riid, void** ppv) = 0;
  virtual HRESULT GetAttributesOf(UINT cidl, PCUITEMID_CHILD_ARRAY apidl, SFGAOF* rgfInOut) = 0;
  virtual HRESULT GetUIObjectOf(HWND hwndOwner, UINT cidl, PCUITEMID_CHILD_ARRAY apidl, REFIID riid, UINT* rgfReserved,
                                void** ppv) = 0;
  virtual HRESULT GetDisplayNameOf(PCUITEMID_CHILD pidl, SHGDNF uFlags, STRRET* pName) = 0;
  virtual HRESULT SetNameOf(HWND hwnd, PCUITEMID_CHILD pidl, LPCWSTR pszName, SHGDNF uFlags,
                            PITEMID_CHILD* ppidlOut) = 0;

 protected:
  ~IShellFolder() = default;
};
using LPSHELLFOLDER = IShellFolder*;

HRESULT SHGetDesktopFolder(IShellFolder** ppshf);

// ---- Well-known folders ---------------------------------------------------------------

constexpr int CSIDL_DESKTOP = 0x0000;   // the namespace's root (virtual)
constexpr int CSIDL_PERSONAL = 0x0005;  // the documents folder
constexpr int CSIDL_DRIVES = 0x0011;    // "Computer" (virtual)
constexpr int CSIDL_PROFILE = 0x0028;   // the home folder
constexpr int CSIDL_FLAG_CREATE = 0x8000;

// E_INVALIDARG for a folder this system does not know.
HRESULT SHGetFolderLocation(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, PIDLIST_ABSOLUTE* ppidl);
HRESULT SHGetSpecialFolderLocation(HWND hwnd, int csidl, PIDLIST_ABSOLUTE* ppidl);

// ---- The folder browser ------------------------------------------------------------------

constexpr UINT BIF_RETURNONLYFSDIRS = 0x00000001;
constexpr UINT BIF_DONTGOBELOWDOMAIN = 0x00000002;
constexpr UINT BIF_STATUSTEXT = 0x00000004;
constexpr UINT BIF_RETURNFSANCESTORS = 0x00000008;
constexpr UINT BIF_EDITBOX = 0x00000010;
constexpr UINT BIF_VALIDATE = 0x00000020;
constexpr UINT BIF_NEWDIALOGSTYLE = 0x00000040;
constexpr UINT BIF_USENEWUI = BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
constexpr UINT BIF_BROWSEINCLUDEURLS = 0x00000080;
constexpr UINT BIF_UAHINT = 0x00000100;
constexpr UINT BIF_NONEWFOLDERBUTTON = 0x00000200;
constexpr UINT BIF_NOTRANSLATETARGETS = 0x00000400;
constexpr UINT BIF_BROWSEFORCOMPUTER = 0x00001000;
constexpr UINT BIF_BROWSEFORPRINTER = 0x00002000;
constexpr UINT BIF_BROWSEINCLUDEFILES = 0x00004000;
constexpr UINT BIF_SHAREABLE = 0x00008000;

// What the dialog tells its callback.
constexpr UINT BFFM_INITIALIZED = 1;
constexpr UINT BFFM_SELCHANGED = 2;  // lParam: the selection's list, valid during the call
constexpr UINT BFFM_VALIDATEFAILEDA = 3;
constexpr UINT BFFM_VALIDATEFAILEDW = 4;
constexpr UINT BFFM_IUNKNOWN = 5;

// What the callback may send the dialog.
constexpr UINT BFFM_SETSTATUSTEXTA = WM_USER + 100;  // lParam: text
constexpr UINT BFFM_ENABLEOK = WM_USER + 101;        // lParam: nonzero enables
constexpr UINT BFFM_SETSELECTIONA = WM_USER + 102;   // wParam TRUE: lParam is a path, FALSE: a list
constexpr UINT BFFM_SETSELECTIONW = WM_USER + 103;
constexpr UINT BFFM_SETSTATUSTEXTW = WM_USER + 104;
constexpr UINT BFFM_SETOKTEXT = WM_USER + 105;   // lParam: wide text
constexpr UINT BFFM_SETEXPANDED = WM_USER + 106;  // wParam TRUE: lParam is a wide path, FALSE: a list
constexpr UINT BFFM_SETSTATUSTEXT = BFFM_SETSTATUSTEXTA;
constexpr UINT BFFM_SETSELECTION = BFFM_SETSELECTIONA;

using BFFCALLBACK = int (*)(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

struct BROWSEINFOA {
  HWND hwndOwner;
  PCIDLIST_ABSOLUTE pidlRoot;  // null: the whole namespace
  LPSTR pszDisplayName;        // receives the chosen item's name (MAX_PATH)
  LPCSTR lpszTitle;
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;
};
struct BROWSEINFOW {
  HWND hwndOwner;
  PCIDLIST_ABSOLUTE pidlRoot;
  LPWSTR pszDisplayName;
  LPCWSTR lpszTitle;
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;
};
using BROWSEINFO = BROWSEINFOA;
using LPBROWSEINFOA = BROWSEINFOA*;
using LPBROWSEINFOW = BROWSEINFOW*;

// A modal dialog with a tree of folders; the chosen item's list (the
// caller frees it), or null when the user cancelled.
PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA lpbi);
PIDLIST_ABSOLUTE SHBrowseForFolderW(LPBROWSEINFOW lpbi);
inline PIDLIST_ABSOLUTE SHBrowseForFolder(LPBROWSEINFOA lpbi) { return SHBrowseForFolderA(lpbi); }
inline PIDLIST_ABSOLUTE SHBrowseForFolder(LPBROWSEINFOW lpbi) { return SHBrowseForFolderW(lpbi); }

namespace rtl::detail {

// What one of our lists says, and making one (shared by the namespace
// functions and the folder browser).
enum TShellItemKind { skDesktop, skComputer, skPath, skInvalid };
struct TShellItem {
  TShellItemKind Kind = skInvalid;
  AnsiString Path;  // absolute, for skPath
};
// Reads a list; skInvalid for null or malformed ones.
TShellItem DecodeShellItem(PCIDLIST_ABSOLUTE pidl);
// A new list from the task allocator; null when out of memory.
PIDLIST_ABSOLUTE EncodeShellItem(const TShellItem& item);
// An absolute path without "." and ".." parts or doubled and trailing
// delimiters; "" for a relative or empty one.
AnsiString NormalShellPath(const AnsiString& path);
AnsiString ShellHomeFolder();
// A folder's visible sub-folders (hidden ones, named with a leading dot,
// left out): whether it has one, reading only up to the first, and their
// names sorted without regard to case.
bool ShellHasSubFolder(const AnsiString& path);
std::vector<AnsiString> ShellSubFolders(const AnsiString& path);

// The dialog's controls.
constexpr int kBrowseTitleId = 0x3742;
constexpr int kBrowseStatusId = 0x3743;
constexpr int kBrowseTreeId = 0x3741;
constexpr int kBrowseNewFolderId = 0x3746;
constexpr int kBrowseEditId = 0x3744;  // the typed folder (BIF_EDITBOX)
constexpr int kBrowseEditLabelId = 0x3748;

// Answers the folder browser without a dialog (tests): nullopt cancels, a
// path is chosen as the user would have. The record is the call's, with a
// wide call's title converted; its display-name buffer is not to be used.
using TBrowseForFolderHook = std::function<std::optional<AnsiString>(const BROWSEINFOA& info)>;
void SetBrowseForFolderHook(TBrowseForFolderHook hook);
// Told the dialog once it is up and its callback has been initialized.
using TBrowseForFolderShownHook = std::function<void(HWND dialog)>;
void SetBrowseForFolderShownHook(TBrowseForFolderShownHook hook);

}  // namespace rtl::detail
