#include "app/util_funcs.h"

#include "platform/forms/forms.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/shell/shellapi.h"
#include "platform/win/shell/shlobj.h"
#include "platform/win/user/standard_classes.h"

namespace {

// Process-wide; only the user-interface thread changes it.
Integer BusyCount = 0;

// Room for the longest path the system hands out, so that no folder is
// cut (a cut path names another folder or none).
constexpr DWORD kPathRoom = 32768;

// The file-system path of an item; empty for a virtual one.
AnsiString PathOfItem(PCIDLIST_ABSOLUTE pidl) {
  WideString buffer(kPathRoom, u'\0');
  if (!SHGetPathFromIDListEx(pidl, buffer.data(), kPathRoom, GPFIDL_DEFAULT)) return AnsiString();
  return WideToAnsi(buffer.c_str());
}

bool HasLineBreak(const AnsiString& s) { return s.find_first_of("\r\n") != AnsiString::npos; }

int BrowseCallback(HWND dialog, UINT msg, LPARAM lParam, LPARAM data) {
  if (msg == BFFM_INITIALIZED) {
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
  } else if (msg == BFFM_SELCHANGED) {
    const AnsiString path = PathOfItem(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam));
    SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path.c_str()));
    if (path.empty()) SendMessageA(dialog, BFFM_ENABLEOK, 0, 0);
  }
  return 0;
}

// The root's item, or null for the whole tree (also when the root cannot
// be found).
PIDLIST_ABSOLUTE RootItem(HWND owner, const AnsiString& root) {
  if (root.empty()) return nullptr;
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return nullptr;
  WideString name = AnsiToWide(root);
  PIDLIST_RELATIVE pidl = nullptr;
  ULONG eaten = 0;
  if (FAILED(desktop->ParseDisplayName(owner, nullptr, name.data(), &eaten, &pidl, nullptr))) pidl = nullptr;
  desktop->Release();
  return pidl;
}

void RefuseLineBreak(HWND owner, const AnsiString& path) {
  const AnsiString text = "The folder \"" + path +
                          "\" cannot be used because its name contains a line break.\n\n"
                          "Please rename the folder or choose another one.";
  const AnsiString caption = Application ? Application->Title() : AnsiString();
  MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace

void ShellOpen(const AnsiString& path) {
  ShellExecuteA(nullptr, "Open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool BrowseForFolder(HWND owner, AnsiString& folder, const AnsiString& prompt, Integer flags, const AnsiString& root) {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
  auto* displayName = static_cast<char*>(allocator->Alloc(MAX_PATH));
  if (!displayName) {
    allocator->Release();
    return false;
  }
  PIDLIST_ABSOLUTE rootItem = RootItem(owner, root);
  // The callback reads the start folder while the dialog runs.
  const AnsiString start = folder;
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pidlRoot = rootItem;
  info.pszDisplayName = displayName;
  info.lpszTitle = prompt.c_str();
  info.ulFlags = static_cast<UINT>(flags);
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(start.c_str());
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
  bool result = false;
  if (chosen) {
    const AnsiString path = PathOfItem(chosen);
    allocator->Free(chosen);
    // A virtual item has no path to hand back: that is no folder chosen.
    if (HasLineBreak(path))
      RefuseLineBreak(owner, path);
    else if (!path.empty()) {
      folder = path;
      result = true;
    }
  }
  allocator->Free(rootItem);
  allocator->Free(displayName);
  allocator->Release();
  return result;
}

void BeginBusy() {
  ++BusyCount;
  if (Screen) Screen->SetCursor(crHourGlass);
}

void EndBusy() {
  if (BusyCount <= 0) return;
  if (--BusyCount == 0 && Screen) Screen->SetCursor(crDefault);
}
