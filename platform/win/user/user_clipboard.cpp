// The clipboard: formats held as global memory handles, published to the
// system's clipboard on CloseClipboard (text as UTF-8 with LF line ends,
// file lists as text/uri-list and the copied-files format of Linux file
// managers, registered formats under a private type), read back from it
// when another application changed it, and the viewer chain and format
// listeners told of every change.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/backend/backend.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_clipdata.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_native.h"

namespace rtl::detail {
namespace {

struct TEntry {
  UINT Format;
  HANDLE Data;  // null: rendered on request (WM_RENDERFORMAT)
};

struct TClipboard {
  std::recursive_mutex Lock;
  bool IsOpen = false;
  HWND OpenWindow = nullptr;
  DWORD OpenThread = 0;
  HWND Owner = nullptr;
  std::vector<TEntry> Local;   // our content, while it is the system's
  bool LocalCurrent = true;    // false: another application's content
  std::map<UINT, HANDLE> Cache;  // formats made from another application's content
  bool Changed = false;
  bool ExpectOwnChange = false;
  DWORD Sequence = 1;
  HWND Viewer = nullptr;
  std::vector<HWND> Listeners;

  // The last content lives until exit; its memory blocks go with it. GDI
  // objects are left to their own table, which may be gone by now.
  ~TClipboard() {
    auto release = [](UINT format, HANDLE h) {
      if (h && format != CF_BITMAP && format != CF_PALETTE) GlobalFree(h);
    };
    for (TEntry& e : Local) release(e.Format, e.Data);
    for (auto& [f, h] : Cache) release(f, h);
  }
};

TClipboard& Clip() {
  static TClipboard c;
  return c;
}

constexpr const char* kPrivatePrefix = "application/x-pdfbatch-format;name=";

void FreeHandle(UINT format, HANDLE h) {
  if (!h) return;
  switch (format) {
    case CF_BITMAP:
    case CF_PALETTE:
      DeleteObject(h);
      break;
    default:
      GlobalFree(h);
  }
}

void FreeLocal(TClipboard& c) {
  for (TEntry& e : c.Local) FreeHandle(e.Format, e.Data);
  c.Local.clear();
}

void FreeCache(TClipboard& c) {
  for (auto& [f, h] : c.Cache) FreeHandle(f, h);
  c.Cache.clear();
}

HGLOBAL Bytes(const void* data, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  if (h && size) std::memcpy(GlobalLock(h), data, size);
  if (h) GlobalUnlock(h);
  return h;
}

std::string ReadBytes(HGLOBAL h) {
  const char* p = static_cast<const char*>(GlobalLock(h));
  if (!p) return std::string();
  std::string s(p, GlobalSize(h));
  GlobalUnlock(h);
  return s;
}

// Text of a format up to its terminator.
std::string TextOf(UINT format, HGLOBAL h) {
  std::string raw = ReadBytes(h);
  if (format == CF_UNICODETEXT) {
    WideString w(reinterpret_cast<const WCHAR*>(raw.data()), raw.size() / 2);
    size_t end = w.find(u'\0');
    if (end != WideString::npos) w.resize(end);
    return WideToAnsi(w);
  }
  size_t end = raw.find('\0');
  if (end != std::string::npos) raw.resize(end);
  return raw;
}

HGLOBAL TextHandle(UINT format, const std::string& text) {
  if (format == CF_UNICODETEXT) {
    WideString w = AnsiToWide(text);
    w.push_back(u'\0');
    return Bytes(w.data(), w.size() * sizeof(WCHAR));
  }
  return Bytes(text.c_str(), text.size() + 1);
}

bool IsText(UINT f) { return f == CF_TEXT || f == CF_UNICODETEXT || f == CF_OEMTEXT; }

HANDLE* FindLocal(TClipboard& c, UINT format) {
  for (TEntry& e : c.Local)
    if (e.Format == format) return &e.Data;
  return nullptr;
}

// Formats a delayed-rendering owner promised are made now.
void RenderDelayed(TClipboard& c) {
  std::vector<UINT> owed;
  for (TEntry& e : c.Local)
    if (!e.Data) owed.push_back(e.Format);
  for (UINT f : owed)
    if (TWnd* o = GetWndNoError(c.Owner)) SendToWnd(o, WM_RENDERFORMAT, f, 0);
}

void Publish(TClipboard& c) {
  std::vector<std::pair<AnsiString, std::string>> out;
  std::string text;
  bool hasText = false;
  for (UINT f : {static_cast<UINT>(CF_UNICODETEXT), static_cast<UINT>(CF_TEXT), static_cast<UINT>(CF_OEMTEXT)})
    if (HANDLE* h = FindLocal(c, f); h && *h) {
      text = ToSystemText(TextOf(f, *h));
      hasText = true;
      break;
    }
  if (HANDLE* h = FindLocal(c, CF_HDROP); h && *h) {
    std::vector<AnsiString> files = FilesOfDrop(static_cast<HDROP>(*h));
    bool cut = false;
    UINT effect = RegisterAtomName("Preferred DropEffect");
    if (HANDLE* e = FindLocal(c, effect); e && *e && GlobalSize(*e) >= 4) {
      DWORD v = 0;
      std::memcpy(&v, GlobalLock(*e), 4);
      GlobalUnlock(*e);
      cut = (v & 2) != 0;
    }
    for (auto& kv : FileListFormats(files, cut)) out.push_back(kv);
    if (!hasText) {
      for (size_t i = 0; i < files.size(); ++i) text += (i ? "\n" : "") + files[i];
      hasText = true;
    }
  }
  if (hasText) {
    out.push_back({"text/plain;charset=utf-8", text});
    out.push_back({"text/plain", text});
  }
  for (TEntry& e : c.Local) {
    if (e.Format < 0xC000 || !e.Data) continue;
    out.push_back({kPrivatePrefix + AtomName(e.Format), ReadBytes(e.Data)});
  }
  c.ExpectOwnChange = true;
  SystemBackend().SetClipboard(out);
}

std::vector<AnsiString> SystemTypes() { return SystemBackend().ClipboardTypes(); }

bool SystemHas(const std::vector<AnsiString>& types, const char* mime) {
  return std::find(types.begin(), types.end(), AnsiString(mime)) != types.end();
}

bool SystemText(std::string& text) {
  auto& b = SystemBackend();
  for (const char* t : {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING", "TEXT", "STRING"})
    if (b.ClipboardData(t, text)) return true;
  return false;
}

bool SystemFiles(std::vector<AnsiString>& files, bool& cut) {
  auto& b = SystemBackend();
  std::string data;
  if (b.ClipboardData("x-special/gnome-copied-files", data) && ParseCopiedFiles(data, files, cut)) return true;
  if (b.ClipboardData("text/uri-list", data)) {
    files = ParseUriList(data);
    std::string marker;
    cut = b.ClipboardData("application/x-kde-cutselection", marker) && !marker.empty() && marker[0] == '1';
    return !files.empty();
  }
  return false;
}

// Another application's content in one of our formats; null when it has none.
HANDLE FromSystem(UINT format) {
  if (IsText(format)) {
    std::string text;
    if (!SystemText(text)) return nullptr;
    return TextHandle(format, FromSystemText(text));
  }
  if (format == CF_HDROP) {
    std::vector<AnsiString> files;
    bool cut = false;
    if (!SystemFiles(files, cut)) return nullptr;
    return MakeDrop(files, POINT(), false);
  }
  if (format >= 0xC000) {
    AnsiString name = AtomName(format);
    if (SameName(name, "Preferred DropEffect")) {
      std::vector<AnsiString> files;
      bool cut = false;
      if (!SystemFiles(files, cut)) return nullptr;
      DWORD effect = cut ? 2 : 5;  // move, or copy and link
      return Bytes(&effect, sizeof effect);
    }
    std::string data;
    if (SystemBackend().ClipboardData(kPrivatePrefix + name, data)) return Bytes(data.data(), data.size());
  }
  return nullptr;
}

std::vector<UINT> AvailableFormats(TClipboard& c) {
  std::vector<UINT> r;
  auto add = [&r](UINT f) {
    if (std::find(r.begin(), r.end(), f) == r.end()) r.push_back(f);
  };
  if (c.LocalCurrent) {
    bool text = false;
    for (TEntry& e : c.Local) {
      add(e.Format);
      text = text || IsText(e.Format);
    }
    if (text)
      for (UINT f : {static_cast<UINT>(CF_UNICODETEXT), static_cast<UINT>(CF_TEXT), static_cast<UINT>(CF_OEMTEXT)})
        add(f);
    return r;
  }
  std::vector<AnsiString> types = SystemTypes();
  bool files = SystemHas(types, "text/uri-list") || SystemHas(types, "x-special/gnome-copied-files");
  for (const char* t : {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING", "TEXT", "STRING"})
    if (SystemHas(types, t)) {
      add(CF_UNICODETEXT);
      add(CF_TEXT);
      add(CF_OEMTEXT);
      break;
    }
  if (files) {
    add(CF_HDROP);
    add(RegisterAtomName("Preferred DropEffect"));
  }
  for (const AnsiString& t : types)
    if (t.rfind(kPrivatePrefix, 0) == 0) add(RegisterAtomName(t.substr(std::strlen(kPrivatePrefix)).c_str()));
  return r;
}

bool IsOpenByCaller(TClipboard& c) { return c.IsOpen && c.OpenThread == CurrentThreadId(); }

void Notify(HWND viewer, const std::vector<HWND>& listeners) {
  if (TWnd* v = GetWndNoError(viewer)) {
    if (v->Queue.get() == &CurrentQueue())
      SendToWnd(v, WM_DRAWCLIPBOARD, 0, 0);
    else
      SendNotifyMessageA(viewer, WM_DRAWCLIPBOARD, 0, 0);
  }
  for (HWND l : listeners)
    if (TWnd* w = GetWndNoError(l)) PostTo(w->Queue, l, WM_CLIPBOARDUPDATE, 0, 0);
}

}  // namespace

void ClipboardChanged() {
  TClipboard& c = Clip();
  HWND viewer;
  std::vector<HWND> listeners;
  HWND oldOwner = nullptr;
  {
    std::lock_guard<std::recursive_mutex> g(c.Lock);
    bool own = c.ExpectOwnChange;
    c.ExpectOwnChange = false;
    if (!own) {
      // Another application's content replaces ours.
      FreeLocal(c);
      FreeCache(c);
      c.LocalCurrent = false;
      oldOwner = c.Owner;
      c.Owner = nullptr;
    }
    c.Sequence++;
    viewer = c.Viewer;
    listeners = c.Listeners;
  }
  if (TWnd* o = GetWndNoError(oldOwner)) SendToWnd(o, WM_DESTROYCLIPBOARD, 0, 0);
  Notify(viewer, listeners);
}

void ForgetClipboardWindow(HWND hwnd) {
  TClipboard& c = Clip();
  std::lock_guard<std::recursive_mutex> g(c.Lock);
  if (c.Owner == hwnd) c.Owner = nullptr;
  if (c.OpenWindow == hwnd) c.OpenWindow = nullptr;
  if (c.Viewer == hwnd) c.Viewer = nullptr;
  c.Listeners.erase(std::remove(c.Listeners.begin(), c.Listeners.end(), hwnd), c.Listeners.end());
}

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL OpenClipboard(HWND owner) {
  TClipboard& c = Clip();
  std::lock_guard<std::recursive_mutex> g(c.Lock);
  if (c.IsOpen && !(c.OpenThread == CurrentThreadId() && c.OpenWindow == owner)) {
    SetLastError(5);  // ERROR_ACCESS_DENIED
    return FALSE;
  }
  c.IsOpen = true;
  c.OpenWindow = owner;
  c.OpenThread = CurrentThreadId();
  c.Changed = false;
  return TRUE;
}

BOOL CloseClipboard() {
  TClipboard& c = Clip();
  std::unique_lock<std::recursive_mutex> g(c.Lock);
  if (!IsOpenByCaller(c)) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return FALSE;
  }
  c.IsOpen = false;
  c.OpenWindow = nullptr;
  if (c.Changed) {
    c.Changed = false;
    RenderDelayed(c);
    Publish(c);
  }
  return TRUE;
}

BOOL EmptyClipboard() {
  TClipboard& c = Clip();
  HWND oldOwner;
  {
    std::lock_guard<std::recursive_mutex> g(c.Lock);
    if (!IsOpenByCaller(c)) {
      SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
      return FALSE;
    }
    oldOwner = c.Owner;
    FreeLocal(c);
    FreeCache(c);
    c.LocalCurrent = true;
    c.Owner = c.OpenWindow;
    c.Changed = true;
  }
  if (oldOwner && oldOwner != c.Owner)
    if (TWnd* o = GetWndNoError(oldOwner)) SendToWnd(o, WM_DESTROYCLIPBOARD, 0, 0);
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  TClipboard& c = Clip();
  std::lock_guard<std::recursive_mutex> g(c.Lock);
  // Rendering on request happens while the clipboard is not open.
  bool rendering = !c.IsOpen && c.Owner;
  if (!IsOpenByCaller(c) && !rendering) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return nullptr;
  }
  if (!format) {
    SetLastError(87);
    return nullptr;
  }
  if (!c.LocalCurrent) {
    FreeCache(c);
    c.LocalCurrent = true;
  }
  if (HANDLE* h = FindLocal(c, format)) {
    if (*h != data) FreeHandle(format, *h);
    *h = data;
  } else {
    c.Local.push_back(TEntry{format, data});
  }
  if (!rendering) c.Changed = true;
  return data;
}

HANDLE GetClipboardData(UINT format) {
  TClipboard& c = Clip();
  std::lock_guard<std::recursive_mutex> g(c.Lock);
  if (!IsOpenByCaller(c)) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return nullptr;
  }
  if (auto it = c.Cache.find(format); it != c.Cache.end()) return it->second;
  HANDLE made = nullptr;
  if (c.LocalCurrent) {
    if (HANDLE* h = FindLocal(c, format)) {
      if (!*h)
        if (TWnd* o = GetWndNoError(c.Owner)) SendToWnd(o, WM_RENDERFORMAT, format, 0);
      if ((h = FindLocal(c, format))) return *h;
    }
    // Text formats stand in for each other.
    if (IsText(format))
      for (UINT f : {static_cast<UINT>(CF_UNICODETEXT), static_cast<UINT>(CF_TEXT), static_cast<UINT>(CF_OEMTEXT)})
        if (HANDLE* h = FindLocal(c, f); h && *h) {
          made = TextHandle(format, TextOf(f, *h));
          break;
        }
  } else {
    made = FromSystem(format);
  }
  if (made) c.Cache[format] = made;
  return made;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  TClipboard& c = Clip();
  std::lock_guard<std::recursive_mutex> g(c.Lock);
  auto f = AvailableFormats(c);
  return std::find(f.begin(), f.end(), format) != f.end() ? TRUE : FALSE;
}

UINT EnumClipboardFormats(UINT format) {
  TClipboard& c = Clip();
  std::lock_guard<std::recursive_mutex> g(c.Lock);
  if (!IsOpenByCaller(c)) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return 0;
  }
  SetLastError(0);
  auto all = AvailableFormats(c);
  if (!format) return all.empty() ? 0 : all.front();
  auto it = std::find(all.begin(), all.end(), format);
  if (it == all.end() || ++it == all.end()) return 0;
  return *it;
}

int CountClipboardFormats() {
  TClipboard& c = Clip();
  std::lock_guard<std::recursive_mutex> g(c.Lock);
  return static_cast<int>(AvailableFormats(c).size());
}

UINT RegisterClipboardFormatA(LPCSTR name) { return RegisterAtomName(name); }

int GetClipboardFormatNameA(UINT format, LPSTR name, int maxCount) {
  AnsiString n = AtomName(format);
  if (n.empty() || !name || maxCount <= 0) return 0;
  int len = std::min<int>(static_cast<int>(n.size()), maxCount - 1);
  std::memcpy(name, n.data(), static_cast<size_t>(len));
  name[len] = 0;
  return len;
}

HWND GetClipboardOwner() {
  std::lock_guard<std::recursive_mutex> g(Clip().Lock);
  return Clip().Owner;
}

HWND GetOpenClipboardWindow() {
  std::lock_guard<std::recursive_mutex> g(Clip().Lock);
  return Clip().IsOpen ? Clip().OpenWindow : nullptr;
}

DWORD GetClipboardSequenceNumber() {
  std::lock_guard<std::recursive_mutex> g(Clip().Lock);
  return Clip().Sequence;
}

HWND SetClipboardViewer(HWND viewer) {
  TWnd* w = GetWnd(viewer);
  if (!w) return nullptr;
  HWND previous;
  {
    std::lock_guard<std::recursive_mutex> g(Clip().Lock);
    previous = Clip().Viewer;
    Clip().Viewer = viewer;
  }
  SendToWnd(w, WM_DRAWCLIPBOARD, 0, 0);
  return previous;
}

HWND GetClipboardViewer() {
  std::lock_guard<std::recursive_mutex> g(Clip().Lock);
  return Clip().Viewer;
}

BOOL ChangeClipboardChain(HWND remove, HWND next) {
  HWND head;
  {
    std::lock_guard<std::recursive_mutex> g(Clip().Lock);
    head = Clip().Viewer;
    if (head == remove) {
      Clip().Viewer = next;
      return TRUE;
    }
  }
  if (TWnd* h = GetWndNoError(head))
    return SendToWnd(h, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(remove), reinterpret_cast<LPARAM>(next)) ? TRUE
                                                                                                              : FALSE;
  return FALSE;
}

BOOL AddClipboardFormatListener(HWND hwnd) {
  if (!GetWnd(hwnd)) return FALSE;
  std::lock_guard<std::recursive_mutex> g(Clip().Lock);
  auto& l = Clip().Listeners;
  if (std::find(l.begin(), l.end(), hwnd) == l.end()) l.push_back(hwnd);
  return TRUE;
}

BOOL RemoveClipboardFormatListener(HWND hwnd) {
  std::lock_guard<std::recursive_mutex> g(Clip().Lock);
  auto& l = Clip().Listeners;
  auto it = std::find(l.begin(), l.end(), hwnd);
  if (it == l.end()) return FALSE;
  l.erase(it);
  return TRUE;
}
