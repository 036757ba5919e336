// Files dropped from the desktop: the window that accepts them (the one
// under the point, or its nearest ancestor with WS_EX_ACCEPTFILES) gets
// WM_DROPFILES with a handle that DragQueryFile reads.
#include <algorithm>
#include <cstring>

#include "platform/backend/backend.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/user/user_clipdata.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_native.h"
#include "platform/win/user/user_nonclient.h"

namespace rtl::detail {
namespace {

TWnd* DeepestAt(TWnd* w, POINT screen) {
  for (TWnd* c : w->Children) {
    if (!c->Visible() || !WindowScreenRect(c).Contains(screen)) continue;
    if (c->IsChild() && !ClientScreenRect(w).Contains(screen)) continue;
    return DeepestAt(c, screen);
  }
  return w;
}

bool AnyAccepts(const TWnd* w) {
  if (w->ExStyle & WS_EX_ACCEPTFILES) return true;
  return std::any_of(w->Children.begin(), w->Children.end(), AnyAccepts);
}

}  // namespace

void DropFiles(TWnd* top, POINT screen, const std::vector<AnsiString>& files) {
  // A disabled window takes no drop, as it takes no click.
  if (top->Style & WS_DISABLED) return;
  TWnd* w = DeepestAt(top, screen);
  while (w && !(w->ExStyle & WS_EX_ACCEPTFILES)) w = w->IsChild() ? w->Parent : nullptr;
  if (!w || files.empty()) return;
  POINT o = ClientScreenOrigin(w);
  bool nonClient = !ClientScreenRect(w).Contains(screen);
  HGLOBAL drop = MakeDrop(files, POINT(screen.X - o.X, screen.Y - o.Y), nonClient);
  if (drop && !PostTo(w->Queue, w->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) GlobalFree(drop);
}

}  // namespace rtl::detail

using namespace rtl::detail;

void DragAcceptFiles(HWND hwnd, BOOL accept) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return;
  DWORD ex = w->ExStyle;
  ex = accept ? (ex | WS_EX_ACCEPTFILES) : (ex & ~static_cast<DWORD>(WS_EX_ACCEPTFILES));
  SetWindowLongA(hwnd, GWL_EXSTYLE, static_cast<LONG>(ex));
  // The native window takes drops while any window in it does.
  TWnd* top = TopLevelOf(w);
  if (top->Native) top->Native->AcceptDrops(AnyAccepts(top));
}

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size) {
  std::vector<AnsiString> files = FilesOfDrop(drop);
  if (index == 0xFFFFFFFF) return static_cast<UINT>(files.size());
  if (index >= files.size()) return 0;
  WideString name = AnsiToWide(files[index]);
  if (!file) return static_cast<UINT>(name.size());
  if (size == 0) return 0;
  size_t n = std::min<size_t>(name.size(), size - 1);
  std::memcpy(file, name.data(), n * sizeof(WCHAR));
  file[n] = 0;
  return static_cast<UINT>(n);
}

UINT DragQueryFileA(HDROP drop, UINT index, LPSTR file, UINT size) {
  std::vector<AnsiString> files = FilesOfDrop(drop);
  if (index == 0xFFFFFFFF) return static_cast<UINT>(files.size());
  if (index >= files.size()) return 0;
  const AnsiString& name = files[index];
  if (!file) return static_cast<UINT>(name.size());
  if (size == 0) return 0;
  size_t n = std::min<size_t>(name.size(), size - 1);
  std::memcpy(file, name.data(), n);
  file[n] = 0;
  return static_cast<UINT>(n);
}

BOOL DragQueryPoint(HDROP drop, LPPOINT point) {
  const auto* df = static_cast<const DROPFILES*>(GlobalLock(drop));
  if (!df || !point) return FALSE;
  *point = df->pt;
  BOOL client = df->fNC ? FALSE : TRUE;
  GlobalUnlock(drop);
  return client;
}

void DragFinish(HDROP drop) { GlobalFree(drop); }
