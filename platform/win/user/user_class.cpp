// Window classes: registration, lookup, class longs and the predefined
// classes.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_mdi.h"

namespace rtl::detail {
namespace {

std::mutex g_classLock;
std::vector<std::shared_ptr<TWndClass>>& Classes() {
  static std::vector<std::shared_ptr<TWndClass>> classes;
  return classes;
}
ATOM g_nextAtom = 0xC000;


std::shared_ptr<TWndClass> FindLocked(LPCSTR name) {
  if (!name) return nullptr;
  for (auto& c : Classes()) {
    if (IS_INTRESOURCE(name)) {
      if (c->Atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name))) return c;
    } else if (SameName(c->Name, name)) {
      return c;
    }
  }
  return nullptr;
}

ATOM Register(const WNDCLASSEXA& wc, bool system) {
  if (!wc.lpszClassName || (!IS_INTRESOURCE(wc.lpszClassName) && !*wc.lpszClassName) || wc.cbClsExtra < 0 ||
      wc.cbWndExtra < 0 || wc.cbClsExtra > 40000 || wc.cbWndExtra > 40000) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard<std::mutex> g(g_classLock);
  if (FindLocked(wc.lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto c = std::make_shared<TWndClass>();
  if (IS_INTRESOURCE(wc.lpszClassName)) {
    c->Atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(wc.lpszClassName));
    c->Name = "#" + std::to_string(c->Atom);
  } else {
    c->Atom = g_nextAtom++;
    c->Name = wc.lpszClassName;
  }
  c->Style = wc.style;
  c->Proc = wc.lpfnWndProc;
  c->ClsExtra = wc.cbClsExtra;
  c->WndExtra = wc.cbWndExtra;
  c->Instance = wc.hInstance;
  c->Icon = wc.hIcon;
  c->IconSm = wc.hIconSm;
  c->Cursor = wc.hCursor;
  c->Background = wc.hbrBackground;
  if (wc.lpszMenuName) {
    if (IS_INTRESOURCE(wc.lpszMenuName))
      c->MenuId = reinterpret_cast<uintptr_t>(wc.lpszMenuName);
    else
      c->MenuName = wc.lpszMenuName;
  }
  c->Extra.assign(static_cast<size_t>(wc.cbClsExtra), 0);
  c->System = system;
  Classes().push_back(c);
  return c->Atom;
}

}  // namespace

std::shared_ptr<TWndClass> FindClass(LPCSTR name) {
  EnsureSystemClasses();
  {
    std::lock_guard<std::mutex> g(g_classLock);
    if (auto c = FindLocked(name)) return c;
  }
  // The standard controls (BUTTON, STATIC, ...) register on first need.
  static std::once_flag controls;
  bool registered = false;
  std::call_once(controls, [&registered] {
    RegisterStandardControlClasses();
    RegisterMdiClientClass();
    registered = true;
  });
  if (registered) {
    std::lock_guard<std::mutex> g(g_classLock);
    return FindLocked(name);
  }
  return nullptr;
}

void EnsureSystemClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hCursor = SystemCursor(IDC_ARROW);
    wc.lpszClassName = "#32769";  // the desktop
    Register(wc, true);
    wc.lpszClassName = "Message";
    Register(wc, true);
  });
}

bool SameName(const AnsiString& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace rtl::detail

using namespace rtl::detail;

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  EnsureSystemClasses();
  WNDCLASSEXA ex{};
  ex.cbSize = sizeof(ex);
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszMenuName = wc->lpszMenuName;
  ex.lpszClassName = wc->lpszClassName;
  return Register(ex, false);
}

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
  if (!wc || wc->cbSize != sizeof(WNDCLASSEXA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  EnsureSystemClasses();
  return Register(*wc, false);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  EnsureSystemClasses();
  std::lock_guard<std::mutex> g(g_classLock);
  auto c = FindLocked(className);
  if (!c || c->System) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (c->Windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  auto& all = Classes();
  all.erase(std::remove(all.begin(), all.end(), c), all.end());
  return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR className, LPWNDCLASSEXA wc) {
  auto c = FindClass(className);
  if (!c || !wc) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  wc->style = c->Style;
  wc->lpfnWndProc = c->Proc;
  wc->cbClsExtra = c->ClsExtra;
  wc->cbWndExtra = c->WndExtra;
  wc->hInstance = c->Instance;
  wc->hIcon = c->Icon;
  wc->hIconSm = c->IconSm;
  wc->hCursor = c->Cursor;
  wc->hbrBackground = c->Background;
  wc->lpszMenuName = c->MenuId ? reinterpret_cast<LPCSTR>(c->MenuId) : (c->MenuName.empty() ? nullptr : c->MenuName.c_str());
  wc->lpszClassName = className;
  // Documented: the answer is the class atom as a BOOL.
  return c->Atom;
}

BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA wc) {
  WNDCLASSEXA ex{};
  ex.cbSize = sizeof(ex);
  BOOL r = GetClassInfoExA(instance, className, &ex);
  if (r && wc) {
    wc->style = ex.style;
    wc->lpfnWndProc = ex.lpfnWndProc;
    wc->cbClsExtra = ex.cbClsExtra;
    wc->cbWndExtra = ex.cbWndExtra;
    wc->hInstance = ex.hInstance;
    wc->hIcon = ex.hIcon;
    wc->hCursor = ex.hCursor;
    wc->hbrBackground = ex.hbrBackground;
    wc->lpszMenuName = ex.lpszMenuName;
    wc->lpszClassName = ex.lpszClassName;
  }
  return r;
}

int GetClassNameA(HWND hwnd, LPSTR name, int maxCount) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !name || maxCount <= 0) return 0;
  int n = std::min<int>(static_cast<int>(w->Class->Name.size()), maxCount - 1);
  std::memcpy(name, w->Class->Name.data(), static_cast<size_t>(n));
  name[n] = 0;
  return n;
}

ULONG_PTR GetClassLongPtrA(HWND hwnd, int index) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return 0;
  TWndClass& c = *w->Class;
  if (index >= 0) {
    if (index + static_cast<int>(sizeof(LONG_PTR)) > c.ClsExtra) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    ULONG_PTR v = 0;
    std::memcpy(&v, c.Extra.data() + index, sizeof(v));
    return v;
  }
  switch (index) {
    case GCL_MENUNAME: return c.MenuId ? c.MenuId : reinterpret_cast<ULONG_PTR>(c.MenuName.c_str());
    case GCL_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.Background);
    case GCL_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.Cursor);
    case GCL_HICON: return reinterpret_cast<ULONG_PTR>(c.Icon);
    case GCL_HICONSM: return reinterpret_cast<ULONG_PTR>(c.IconSm);
    case GCL_HMODULE: return reinterpret_cast<ULONG_PTR>(c.Instance);
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(c.WndExtra);
    case GCL_CBCLSEXTRA: return static_cast<ULONG_PTR>(c.ClsExtra);
    case GCL_WNDPROC: return reinterpret_cast<ULONG_PTR>(c.Proc);
    case GCL_STYLE: return c.Style;
    case GCW_ATOM: return c.Atom;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

ULONG_PTR SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return 0;
  TWndClass& c = *w->Class;
  ULONG_PTR old = GetClassLongPtrA(hwnd, index);
  if (index >= 0) {
    if (index + static_cast<int>(sizeof(LONG_PTR)) > c.ClsExtra) return 0;
    std::memcpy(c.Extra.data() + index, &value, sizeof(value));
    return old;
  }
  switch (index) {
    case GCL_HBRBACKGROUND: c.Background = reinterpret_cast<HBRUSH>(value); break;
    case GCL_HCURSOR: c.Cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCL_HICON: c.Icon = reinterpret_cast<HICON>(value); break;
    case GCL_HICONSM: c.IconSm = reinterpret_cast<HICON>(value); break;
    case GCL_HMODULE: c.Instance = reinterpret_cast<HINSTANCE>(value); break;
    case GCL_WNDPROC: c.Proc = reinterpret_cast<WNDPROC>(value); break;
    case GCL_STYLE: c.Style = static_cast<UINT>(value); break;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
  return old;
}

DWORD GetClassLongA(HWND hwnd, int index) {
  if (index >= 0) {
    TWnd* w = GetWnd(hwnd);
    if (!w) return 0;
    if (index + 4 > w->Class->ClsExtra) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    DWORD v = 0;
    std::memcpy(&v, w->Class->Extra.data() + index, 4);
    return v;
  }
  return static_cast<DWORD>(GetClassLongPtrA(hwnd, index));
}

DWORD SetClassLongA(HWND hwnd, int index, LONG value) {
  if (index >= 0) {
    TWnd* w = GetWnd(hwnd);
    if (!w) return 0;
    if (index + 4 > w->Class->ClsExtra) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    DWORD old = 0;
    std::memcpy(&old, w->Class->Extra.data() + index, 4);
    std::memcpy(w->Class->Extra.data() + index, &value, 4);
    return old;
  }
  return static_cast<DWORD>(SetClassLongPtrA(hwnd, index, value));
}

WORD GetClassWord(HWND hwnd, int index) {
  if (index == GCW_ATOM) return static_cast<WORD>(GetClassLongPtrA(hwnd, GCW_ATOM));
  TWnd* w = GetWnd(hwnd);
  if (!w) return 0;
  if (index < 0 || index + 2 > w->Class->ClsExtra) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  WORD v = 0;
  std::memcpy(&v, w->Class->Extra.data() + index, 2);
  return v;
}
