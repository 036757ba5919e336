// Windows: handles, creation and destruction with their message orders,
// window longs, text, properties and the relations between windows.
#include <algorithm>
#include <cstring>

#include "platform/backend/backend.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_menu.h"
#include "platform/win/user/user_native.h"

namespace rtl::detail {
namespace {

constexpr DWORD kErrorAccessDenied = 5;
constexpr DWORD kErrorNotEnoughMemory = 8;

THandleTable<TWnd>& Table() {
  static THandleTable<TWnd> table(THandleKind::Window);
  return table;
}

TWnd* g_desktop = nullptr;
TWnd* g_messageRoot = nullptr;

TWnd* MakeRoot(const char* className, uint32_t flag) {
  EnsureSystemClasses();
  auto w = std::make_shared<TWnd>();
  TWnd* p = w.get();
  p->Class = FindClass(className);
  p->Class->Windows++;
  p->Proc = p->Class->Proc;
  p->Style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  p->Flags = flag | wfCreated;
  p->Handle = reinterpret_cast<HWND>(Table().Add(std::move(w)));
  return p;
}

void InitRoots() {
  // The desktop takes the display's primary screen, learnt before the roots
  // are made: learning it updates the desktop.
  AttachBackendScreens();
  static std::once_flag once;
  std::call_once(once, [] {
    g_desktop = MakeRoot("#32769", wfDesktop);
    RECT screen = PrimaryScreenRect();
    g_desktop->Window = g_desktop->Client = screen;
    g_messageRoot = MakeRoot("Message", wfMessageRoot);
    g_messageRoot->Style = WS_POPUP | WS_CLIPCHILDREN;
  });
}

void Unlink(TWnd* w) {
  std::lock_guard<std::recursive_mutex> g(TreeLock());
  if (!w->Parent) return;
  auto& c = w->Parent->Children;
  c.erase(std::remove(c.begin(), c.end(), w), c.end());
}

// New children go to the bottom of their siblings (the first created is
// first in tab order); new top-level windows to the top of their band.
void LinkNew(TWnd* w) {
  std::lock_guard<std::recursive_mutex> g(TreeLock());
  auto& c = w->Parent->Children;
  if (!w->IsTopLevel()) {
    c.push_back(w);
    return;
  }
  bool topmost = (w->ExStyle & WS_EX_TOPMOST) != 0;
  auto it = c.begin();
  if (!topmost)
    while (it != c.end() && ((*it)->ExStyle & WS_EX_TOPMOST)) ++it;
  c.insert(it, w);
}

void SendParentNotify(TWnd* w, UINT event) {
  TWnd* cur = w;
  while (cur->IsChild() && !(cur->ExStyle & WS_EX_NOPARENTNOTIFY)) {
    TWnd* parent = cur->Parent;
    if (!parent || parent->Has(wfDesktop) || parent->Has(wfMessageRoot)) break;
    SendToWnd(parent, WM_PARENTNOTIFY, MAKEWPARAM(event, cur->Id), reinterpret_cast<LPARAM>(w->Handle));
    cur = parent;
  }
}

void SendDestroyMessages(TWnd* w) {
  HWND h = w->Handle;
  w->Flags |= wfDestroying;
  TThreadQueue& q = CurrentQueue();
  if (q.Capture == h) ReleaseCapture();
  RaiseWinEvent(EVENT_OBJECT_DESTROY, h, 0);
  SendToWnd(w, WM_DESTROY, 0, 0);
  if (!GetWndNoError(h)) return;
  for (HWND k : TChildSnapshot(w).Handles())
    if (TWnd* c = GetWndNoError(k)) SendDestroyMessages(c);
}

void FreeWindowStorage(TWnd* w) {
  for (HWND k : TChildSnapshot(w).Handles())
    if (TWnd* c = GetWndNoError(k)) FreeWindowStorage(c);
  HWND h = w->Handle;
  SendToWnd(w, WM_NCDESTROY, 0, 0);
  w = GetWndNoError(h);
  if (!w) return;
  ForgetWindow(w);
  {
    std::lock_guard<std::recursive_mutex> g(TreeLock());
    for (TWnd* c : w->Children) c->Parent = nullptr;
    w->Children.clear();
    Unlink(w);
  }
  // Owned windows of other threads lose their owner.
  ForEachWnd([w](TWnd* o) {
    if (o->Owner == w) o->Owner = nullptr;
  });
  if (w->Queue) {
    KillWindowTimers(*w->Queue, h);
    std::lock_guard<std::mutex> g(w->Queue->Lock);
    auto& posted = w->Queue->Posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(), [h](const MSG& m) { return m.hwnd == h; }),
                 posted.end());
  }
  DropPaintState(w);
  DropNativeWindow(w);
  if (w->SystemMenu) DestroyMenu(w->SystemMenu);
  w->Class->Windows--;
  w->Flags |= wfDestroyed;
  ReleaseDestroyedWnd(w);
}

}  // namespace

DWORD FixWindowEdge(DWORD style, DWORD exStyle) {
  bool edge = (exStyle & WS_EX_DLGMODALFRAME) ||
              (!(exStyle & WS_EX_STATICEDGE) && (style & (WS_DLGFRAME | WS_THICKFRAME)));
  return edge ? exStyle | WS_EX_WINDOWEDGE : exStyle & ~static_cast<DWORD>(WS_EX_WINDOWEDGE);
}

TWnd::TWnd() = default;
TWnd::~TWnd() = default;

std::recursive_mutex& TreeLock() {
  static std::recursive_mutex lock;
  return lock;
}

TChildSnapshot::TChildSnapshot(const TWnd* parent) {
  std::lock_guard<std::recursive_mutex> g(TreeLock());
  items_.reserve(parent->Children.size());
  // A linked window is still in the handle table, which holds it.
  for (TWnd* c : parent->Children)
    if (auto held = c->weak_from_this().lock()) items_.push_back(std::move(held));
}

std::vector<HWND> TChildSnapshot::Handles() const {
  std::vector<HWND> r;
  r.reserve(items_.size());
  for (auto& c : items_) r.push_back(c->Handle);
  return r;
}

TWnd* GetWndNoError(HWND hwnd) {
  InitRoots();
  std::shared_ptr<TWnd> w = Table().Get(reinterpret_cast<uintptr_t>(hwnd));
  if (!w || w->Has(wfDestroyed)) return nullptr;
  return w.get();
}

TWnd* GetWnd(HWND hwnd) {
  TWnd* w = GetWndNoError(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

TWnd* Desktop() {
  InitRoots();
  return g_desktop;
}

TWnd* MessageRoot() {
  InitRoots();
  return g_messageRoot;
}

std::shared_ptr<TWnd> HoldWnd(HWND hwnd) {
  InitRoots();
  std::shared_ptr<TWnd> w = Table().Get(reinterpret_cast<uintptr_t>(hwnd));
  if (w && w->Has(wfDestroyed)) w = nullptr;
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

void ForEachWnd(const std::function<void(TWnd*)>& f) {
  InitRoots();
  Table().ForEach([&](uintptr_t, const std::shared_ptr<TWnd>& w) {
    if (!w->Has(wfDestroyed) && !w->Has(wfDesktop) && !w->Has(wfMessageRoot)) f(w.get());
  });
}

void ReleaseDestroyedWnd(TWnd* w) {
  // Dropped here, after the table's lock: the destructor may take others.
  std::shared_ptr<TWnd> removed = Table().Remove(reinterpret_cast<uintptr_t>(w->Handle));
}

std::shared_ptr<TThreadQueue> QueueOfWindow(HWND hwnd, TWnd** out) {
  InitRoots();
  // Held while reading, as the owning thread may destroy the window now.
  std::shared_ptr<TWnd> w = Table().Get(reinterpret_cast<uintptr_t>(hwnd));
  if (w && w->Has(wfDestroyed)) w = nullptr;
  if (out) *out = w.get();
  if (!w) return nullptr;
  return w->Queue;
}

RECT WindowScreenRect(const TWnd* w) {
  if (!w->Parent) return w->Window;
  POINT o = w->Parent->Has(wfDesktop) || w->Parent->Has(wfMessageRoot) ? POINT() : ClientScreenOrigin(w->Parent);
  return OffsetR(w->Window, o.X, o.Y);
}

POINT ClientScreenOrigin(const TWnd* w) {
  // One walk up, adding each client offset; a top-level window's client
  // offset is already in screen coordinates.
  POINT o{};
  for (;;) {
    o.X += w->Client.Left;
    o.Y += w->Client.Top;
    if (w->Has(wfDesktop) || !w->Parent || w->Parent->Has(wfDesktop) || w->Parent->Has(wfMessageRoot)) return o;
    w = w->Parent;
  }
}

RECT ClientScreenRect(const TWnd* w) {
  POINT o = ClientScreenOrigin(w);
  return RECT(o.X, o.Y, o.X + w->Client.Width(), o.Y + w->Client.Height());
}

TWnd* TopLevelOf(TWnd* w) {
  while (w && w->Parent && !w->Parent->Has(wfDesktop) && !w->Parent->Has(wfMessageRoot)) w = w->Parent;
  return w;
}

bool IsReallyVisible(const TWnd* w) {
  for (; w && !w->Has(wfDesktop); w = w->Parent) {
    if (!w->Visible() || w->Has(wfMessageRoot)) return false;
  }
  return w != nullptr;
}

bool IsSelfOrDescendant(const TWnd* ancestor, const TWnd* w) {
  for (; w; w = w->Parent)
    if (w == ancestor) return true;
  return false;
}

}  // namespace rtl::detail

using namespace rtl::detail;

// ---- Creation and destruction ---------------------------------------------

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parentHandle, HMENU menu, HINSTANCE instance, LPVOID param) {
  auto cls = FindClass(className);
  if (!cls) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  TWnd* parent = nullptr;
  TWnd* owner = nullptr;
  if (parentHandle == HWND_MESSAGE) {
    parent = MessageRoot();
  } else if (parentHandle) {
    TWnd* p = GetWnd(parentHandle);
    if (!p) return nullptr;
    if ((style & (WS_CHILD | WS_POPUP)) == WS_CHILD) {
      parent = p;
    } else {
      parent = Desktop();
      if (!p->Has(wfDesktop)) owner = TopLevelOf(p);
    }
  } else {
    if ((style & (WS_CHILD | WS_POPUP)) == WS_CHILD) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    parent = Desktop();
  }

  // The procedure sees the caller's styles in CREATESTRUCT; the window
  // keeps the adjusted ones.
  const DWORD callerStyle = style;
  const DWORD callerExStyle = exStyle;
  bool topLevel = parent->Has(wfDesktop);
  bool overlapped = topLevel && !(style & (WS_CHILD | WS_POPUP));
  if (overlapped) style |= WS_CLIPSIBLINGS | WS_CAPTION;
  exStyle = FixWindowEdge(style, exStyle);
  if (owner && (owner->ExStyle & WS_EX_TOPMOST)) exStyle |= WS_EX_TOPMOST;

  // Default placement of overlapped windows: cascaded inside the work area.
  if (topLevel && !(style & (WS_CHILD | WS_POPUP))) {
    RECT work = PrimaryWorkArea();
    static int cascade = 0;
    if (x == CW_USEDEFAULT) {
      int step = 26 * (cascade++ % 8);
      x = work.Left + step;
      y = work.Top + step;
    }
    if (width == CW_USEDEFAULT) {
      width = work.Width() * 3 / 4;
      height = work.Height() * 3 / 4;
    }
  }
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) width = height = 0;
  if (width < 0) width = 0;
  if (height < 0) height = 0;

  auto owned = std::make_shared<TWnd>();
  TWnd* w = owned.get();
  w->Class = cls;
  w->Queue = CurrentQueuePtr();
  // Minimised and maximised states are entered after WM_CREATE.
  w->Style = style & ~static_cast<DWORD>(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  w->ExStyle = exStyle;
  w->Proc = cls->Proc;
  w->Instance = instance;
  w->Id = reinterpret_cast<UINT_PTR>(menu);
  w->Extra.assign(static_cast<size_t>(cls->WndExtra), 0);
  w->Parent = parent;
  w->Owner = owner;
  w->IconBig = nullptr;
  HWND hwnd = reinterpret_cast<HWND>(Table().Add(owned));
  if (!hwnd) {
    SetLastError(kErrorNotEnoughMemory);
    return nullptr;
  }
  w->Handle = hwnd;
  cls->Windows++;
  static const bool trace = TraceOn("win");
  if (trace) Trace("win", "create %p class %s style %08X ex %08X", static_cast<void*>(hwnd), cls->Name.c_str(), style, exStyle);
  LinkNew(w);
  TWndRef ref(w);

  CREATESTRUCTA cs{};
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parentHandle == HWND_MESSAGE ? HWND_MESSAGE : (parent->Has(wfDesktop) ? (owner ? owner->Handle : nullptr) : parent->Handle);
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.style = static_cast<LONG>(callerStyle);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = callerExStyle;

  auto fail = [&]() -> HWND {
    if (GetWndNoError(hwnd)) FreeWindowStorage(w);
    return nullptr;
  };

  if (HasHooks(WH_CBT)) {
    CBT_CREATEWNDA cbt{&cs, topLevel ? HWND_TOP : HWND_BOTTOM};
    if (CallHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt))) return fail();
  }

  if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
    MINMAXINFO mmi = DefaultMinMaxInfo(w);
    SendToWnd(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if (!GetWndNoError(hwnd)) return nullptr;
    if (cs.cx > mmi.ptMaxTrackSize.X) cs.cx = mmi.ptMaxTrackSize.X;
    if (cs.cy > mmi.ptMaxTrackSize.Y) cs.cy = mmi.ptMaxTrackSize.Y;
    if (cs.cx < mmi.ptMinTrackSize.X) cs.cx = mmi.ptMinTrackSize.X;
    if (cs.cy < mmi.ptMinTrackSize.Y) cs.cy = mmi.ptMinTrackSize.Y;
    if (cs.cx < 0) cs.cx = 0;
    if (cs.cy < 0) cs.cy = 0;
  }
  w->Window = RECT(cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy);
  w->Client = w->Window;
  w->NormalRect = w->Window;

  if (!SendToWnd(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) return fail();
  if (!GetWndNoError(hwnd)) return nullptr;

  RECT rc = w->Window;
  SendToWnd(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rc));
  if (!GetWndNoError(hwnd)) return nullptr;
  w->Client = rc;

  if (SendToWnd(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!GetWndNoError(hwnd)) return nullptr;
  w->Flags |= wfCreated;
  RaiseWinEvent(EVENT_OBJECT_CREATE, hwnd, 0);

  // Overlapped windows learn their size when first shown.
  if (overlapped) {
    w->Flags |= wfNeedSize;
  } else {
    SendToWnd(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->Client.Width(), w->Client.Height()));
    SendToWnd(w, WM_MOVE, 0, MAKELPARAM(w->Client.Left, w->Client.Top));
    if (!GetWndNoError(hwnd)) return nullptr;
  }

  if (style & (WS_MINIMIZE | WS_MAXIMIZE)) {
    MinMaximizeAtCreation(w, style);
    if (!GetWndNoError(hwnd)) return nullptr;
  }

  SendParentNotify(w, WM_CREATE);
  if (!GetWndNoError(hwnd)) return nullptr;

  if (style & WS_VISIBLE) {
    // A maximised window is already in place: showing it is enough.
    ShowWindowImpl(w, (style & WS_MINIMIZE) && !(style & WS_MAXIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW);
  }
  return GetWndNoError(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
  // The thread is checked on a held reference: another thread's window may
  // go away while we look.
  TWnd* w = nullptr;
  auto owner = QueueOfWindow(hwnd, &w);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if ((owner && owner.get() != &CurrentQueue()) || w->Has(wfDesktop) || w->Has(wfMessageRoot)) {
    SetLastError(kErrorAccessDenied);
    return FALSE;
  }
  if (w->Has(wfDestroying)) return TRUE;
  if (HasHooks(WH_CBT) && CallHooks(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hwnd), 0)) return FALSE;
  TWndRef ref(w);
  w->Flags |= wfDestroying;
  bool child = w->IsChild();
  if (child) SendParentNotify(w, WM_DESTROY);

  if (w->Visible()) {
    if (child) {
      ShowWindowImpl(w, SW_HIDE);
    } else {
      SetWindowPosImpl(w, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
  }
  if (!GetWndNoError(hwnd)) return TRUE;
  TThreadQueue& q = CurrentQueue();
  if (!child) {
    // Owned windows go first; owned windows of other threads only lose
    // their owner.
    for (;;) {
      std::shared_ptr<TWnd> ownedWnd;
      {
        std::lock_guard<std::recursive_mutex> g(TreeLock());
        for (TWnd* o : Desktop()->Children)
          if (o->Owner == w && !o->Has(wfDestroying)) {
            ownedWnd = o->shared_from_this();
            break;
          }
      }
      if (!ownedWnd) break;
      if (ownedWnd->Queue.get() == &q)
        DestroyWindow(ownedWnd->Handle);
      else
        ownedWnd->Owner = nullptr;
    }
    if (q.Active && (q.Active == hwnd)) ActivateOtherWindow(w);
  }
  if (q.Focus) {
    TWnd* f = GetWndNoError(q.Focus);
    if (f && IsSelfOrDescendant(w, f)) {
      TWnd* parent = w->Parent;
      SetFocusImpl(parent && !parent->Has(wfDesktop) && !parent->Has(wfMessageRoot) ? parent : nullptr);
    }
  }
  if (!GetWndNoError(hwnd)) return TRUE;
  SendDestroyMessages(w);
  if (!GetWndNoError(hwnd)) return TRUE;
  FreeWindowStorage(w);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) {
  // Any thread may ask: the answer comes from a held reference.
  TWnd* w = nullptr;
  QueueOfWindow(hwnd, &w);
  return w != nullptr;
}

BOOL IsWindowUnicode(HWND hwnd) {
  GetWnd(hwnd);
  return FALSE;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
  TWnd* w = nullptr;
  auto q = QueueOfWindow(hwnd, &w);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (processId) *processId = CurrentProcessId();
  return q ? q->ThreadId : 0;
}

// ---- Window longs -----------------------------------------------------------

namespace {

bool ExtraRange(TWnd* w, int index, int size) {
  if (index < 0 || index + size > static_cast<int>(w->Extra.size())) {
    SetLastError(ERROR_INVALID_INDEX);
    return false;
  }
  return true;
}

LONG_PTR SetStyle(TWnd* w, int index, DWORD value) {
  DWORD& field = index == GWL_STYLE ? w->Style : w->ExStyle;
  DWORD old = field;
  STYLESTRUCT ss{old, value};
  if (index == GWL_STYLE) {
    if (w->IsTopLevel()) ss.styleNew |= WS_CLIPSIBLINGS;
    if (old & WS_MINIMIZE) ss.styleNew |= WS_MINIMIZE;
  } else {
    // Topmost changes go through SetWindowPos.
    ss.styleNew = (ss.styleNew & ~static_cast<DWORD>(WS_EX_TOPMOST)) | (old & WS_EX_TOPMOST);
  }
  HWND h = w->Handle;
  SendToWnd(w, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
  if (!GetWndNoError(h)) return 0;
  if (index == GWL_STYLE) {
    if (w->IsTopLevel()) ss.styleNew |= WS_CLIPSIBLINGS;
  } else {
    ss.styleNew = (ss.styleNew & ~static_cast<DWORD>(WS_EX_TOPMOST)) | (old & WS_EX_TOPMOST);
    ss.styleNew = FixWindowEdge(w->Style, ss.styleNew);
  }
  field = ss.styleNew;
  if (index == GWL_EXSTYLE && (old & WS_EX_LAYERED) && !(ss.styleNew & WS_EX_LAYERED)) {
    w->Alpha = 255;
    w->LayeredFlags = 0;
    w->Layered = false;
  }
  STYLESTRUCT done{old, field};
  SendToWnd(w, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&done));
  if (GetWndNoError(h)) NativeStyleChanged(w);
  return static_cast<LONG_PTR>(static_cast<LONG>(old));
}

}  // namespace

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return 0;
  if (index >= 0) {
    if (!ExtraRange(w, index, sizeof(LONG_PTR))) return 0;
    LONG_PTR v = 0;
    std::memcpy(&v, w->Extra.data() + index, sizeof(v));
    return v;
  }
  switch (index) {
    case GWL_STYLE: return static_cast<LONG>(w->Style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->ExStyle);
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->Proc);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->Instance);
    case GWL_HWNDPARENT: {
      // A child's parent; a top-level window's owner.
      TWnd* r = w->IsTopLevel() ? w->Owner : w->Parent;
      return reinterpret_cast<LONG_PTR>(r && !r->Has(wfDesktop) && !r->Has(wfMessageRoot) ? r->Handle : nullptr);
    }
    case GWL_ID: return static_cast<LONG_PTR>(w->Id);
    case GWL_USERDATA: return w->UserData;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return 0;
  if (index >= 0) {
    if (!ExtraRange(w, index, sizeof(LONG_PTR))) return 0;
    LONG_PTR old = 0;
    std::memcpy(&old, w->Extra.data() + index, sizeof(old));
    std::memcpy(w->Extra.data() + index, &value, sizeof(value));
    return old;
  }
  if (w->Has(wfDesktop) || w->Has(wfMessageRoot)) {
    SetLastError(kErrorAccessDenied);
    return 0;
  }
  LONG_PTR old = 0;
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE:
      // The style changes where its messages go: on the window's thread.
      return RunOnOwner(hwnd, [index, value](TWnd* t) -> LRESULT {
        return SetStyle(t, index, static_cast<DWORD>(value));
      });
    case GWL_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->Proc);
      w->Proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWL_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->Instance);
      w->Instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    case GWL_HWNDPARENT: {
      // A child moves to the new parent; a top-level window changes owner.
      if (w->IsChild()) return reinterpret_cast<LONG_PTR>(SetParent(hwnd, reinterpret_cast<HWND>(value)));
      old = reinterpret_cast<LONG_PTR>(w->Owner ? w->Owner->Handle : nullptr);
      TWnd* o = value ? GetWnd(reinterpret_cast<HWND>(value)) : nullptr;
      if (value && !o) return 0;
      if (o && (o->Has(wfDesktop) || o->Has(wfMessageRoot))) o = nullptr;
      if (o) o = TopLevelOf(o);
      if (o == w) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      w->Owner = o;
      return old;
    }
    case GWL_ID:
      old = static_cast<LONG_PTR>(w->Id);
      w->Id = static_cast<UINT_PTR>(value);
      return old;
    case GWL_USERDATA:
      old = w->UserData;
      w->UserData = value;
      return old;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

// The 32-bit forms cannot carry a pointer: the indexes that hold one fail
// as they do for 64-bit programs, instead of handing out a cut address.
LONG GetWindowLongA(HWND hwnd, int index) {
  if (index >= 0) {
    TWnd* w = GetWnd(hwnd);
    if (!w || !ExtraRange(w, index, 4)) return 0;
    LONG v = 0;
    std::memcpy(&v, w->Extra.data() + index, 4);
    return v;
  }
  if (index == GWL_WNDPROC || index == GWL_HINSTANCE || index == GWL_HWNDPARENT) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
  if (index >= 0) {
    TWnd* w = GetWnd(hwnd);
    if (!w || !ExtraRange(w, index, 4)) return 0;
    LONG old = 0;
    std::memcpy(&old, w->Extra.data() + index, 4);
    std::memcpy(w->Extra.data() + index, &value, 4);
    return old;
  }
  if (index == GWL_WNDPROC || index == GWL_HINSTANCE || index == GWL_HWNDPARENT) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  if (index == GWL_STYLE || index == GWL_EXSTYLE)
    return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
  return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, value));
}

WORD GetWindowWord(HWND hwnd, int index) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !ExtraRange(w, index, 2)) return 0;
  WORD v = 0;
  std::memcpy(&v, w->Extra.data() + index, 2);
  return v;
}

WORD SetWindowWord(HWND hwnd, int index, WORD value) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !ExtraRange(w, index, 2)) return 0;
  WORD old = 0;
  std::memcpy(&old, w->Extra.data() + index, 2);
  std::memcpy(w->Extra.data() + index, &value, 2);
  return old;
}

// ---- Text -----------------------------------------------------------------------

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return FALSE;
  return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
  AnsiString s = WideToAnsi(text ? WideString(text) : WideString());
  return SetWindowTextA(hwnd, s.c_str());
}

// A window of this process answers through its procedure, on whichever
// thread owns it: its stored text is that thread's to read.
int GetWindowTextA(HWND hwnd, LPSTR text, int maxCount) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !text || maxCount <= 0) return 0;
  text[0] = 0;
  return static_cast<int>(
      SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthA(HWND hwnd) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return 0;
  return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

int GetWindowTextW(HWND hwnd, LPWSTR text, int maxCount) {
  if (!text || maxCount <= 0) return 0;
  int len = GetWindowTextLengthA(hwnd);
  std::string buf(static_cast<size_t>(len) + 1, '\0');
  int n = GetWindowTextA(hwnd, buf.data(), len + 1);
  WideString ws = AnsiToWide(buf.substr(0, static_cast<size_t>(n)));
  int m = std::min<int>(static_cast<int>(ws.size()), maxCount - 1);
  std::memcpy(text, ws.data(), static_cast<size_t>(m) * sizeof(WCHAR));
  text[m] = 0;
  return m;
}

int GetWindowTextLengthW(HWND hwnd) {
  int len = GetWindowTextLengthA(hwnd);
  std::string buf(static_cast<size_t>(len) + 1, '\0');
  int n = GetWindowTextA(hwnd, buf.data(), len + 1);
  return static_cast<int>(AnsiToWide(buf.substr(0, static_cast<size_t>(n))).size());
}

// ---- Properties -----------------------------------------------------------

namespace {
AnsiString PropKey(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
  return name;
}
}  // namespace

BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !name) return FALSE;
  w->Props[PropKey(name)] = data;
  return TRUE;
}

HANDLE GetPropA(HWND hwnd, LPCSTR name) {
  TWnd* w = GetWndNoError(hwnd);
  if (!w || !name) return nullptr;
  auto it = w->Props.find(PropKey(name));
  return it == w->Props.end() ? nullptr : it->second;
}

HANDLE RemovePropA(HWND hwnd, LPCSTR name) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !name) return nullptr;
  auto it = w->Props.find(PropKey(name));
  if (it == w->Props.end()) return nullptr;
  HANDLE h = it->second;
  w->Props.erase(it);
  return h;
}

int EnumPropsA(HWND hwnd, PROPENUMPROCA proc) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !proc) return -1;
  auto copy = w->Props;
  int last = -1;
  for (auto& [k, v] : copy) {
    last = proc(hwnd, k.c_str(), v);
    if (!last) break;
  }
  return last;
}

// ---- Relations ------------------------------------------------------------------

HWND GetDesktopWindow() { return Desktop()->Handle; }

HWND GetParent(HWND hwnd) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return nullptr;
  // WS_POPUP wins over WS_CHILD: such a window is top-level and owned.
  if (w->Style & WS_POPUP) return w->Owner ? w->Owner->Handle : nullptr;
  if (w->Style & WS_CHILD) return w->Parent && !w->Parent->Has(wfDesktop) ? w->Parent->Handle : nullptr;
  return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  TWnd* w = GetWnd(hwnd);
  if (!w || w->Has(wfDesktop)) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->Parent ? w->Parent->Handle : nullptr;
    case GA_ROOT: return TopLevelOf(w)->Handle;
    case GA_ROOTOWNER: {
      TWnd* r = TopLevelOf(w);
      while (r->Owner) r = r->Owner;
      return r->Handle;
    }
  }
  return nullptr;
}

namespace {
HWND SetParentImpl(TWnd* w, HWND newParent);
}  // namespace

HWND SetParent(HWND child, HWND newParent) {
  // The child is hidden, moved and shown by its own thread.
  return reinterpret_cast<HWND>(RunOnOwner(
      child, [newParent](TWnd* w) -> LRESULT { return reinterpret_cast<LRESULT>(SetParentImpl(w, newParent)); }));
}

namespace {

HWND SetParentImpl(TWnd* w, HWND newParent) {
  HWND child = w->Handle;
  if (w->Has(wfDesktop) || w->Has(wfMessageRoot)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  TWnd* p = nullptr;
  if (newParent == HWND_MESSAGE)
    p = MessageRoot();
  else if (newParent)
    p = GetWnd(newParent);
  else
    p = Desktop();
  if (!p) return nullptr;
  if (IsSelfOrDescendant(w, p)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  TWnd* old = w->Parent;
  HWND oldHandle = old ? old->Handle : nullptr;
  if (old == p) return oldHandle;
  TWndRef ref(w);
  bool wasVisible = ShowWindowImpl(w, SW_HIDE);
  if (!GetWndNoError(child)) return oldHandle;
  // The rectangle keeps its numbers, now relative to the new parent.
  DropNativeWindow(w);
  {
    std::lock_guard<std::recursive_mutex> g(TreeLock());
    Unlink(w);
    w->Parent = p;
    auto& c = p->Children;
    auto it = c.begin();
    if (p->Has(wfDesktop) && !(w->ExStyle & WS_EX_TOPMOST))
      while (it != c.end() && ((*it)->ExStyle & WS_EX_TOPMOST)) ++it;
    c.insert(it, w);
  }
  SetWindowPosImpl(w, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | (wasVisible ? SWP_SHOWWINDOW : 0));
  return oldHandle;
}

}  // namespace

HWND GetWindow(HWND hwnd, UINT cmd) {
  auto held = HoldWnd(hwnd);
  TWnd* w = held.get();
  if (!w) return nullptr;
  std::lock_guard<std::recursive_mutex> g(TreeLock());
  auto siblings = [&]() -> const std::vector<TWnd*>* { return w->Parent ? &w->Parent->Children : nullptr; };
  switch (cmd) {
    case GW_HWNDFIRST: {
      auto s = siblings();
      return s && !s->empty() ? s->front()->Handle : nullptr;
    }
    case GW_HWNDLAST: {
      auto s = siblings();
      return s && !s->empty() ? s->back()->Handle : nullptr;
    }
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
      auto s = siblings();
      if (!s) return nullptr;
      auto it = std::find(s->begin(), s->end(), w);
      if (it == s->end()) return nullptr;
      if (cmd == GW_HWNDNEXT) return ++it == s->end() ? nullptr : (*it)->Handle;
      return it == s->begin() ? nullptr : (*--it)->Handle;
    }
    case GW_OWNER: return w->Owner ? w->Owner->Handle : nullptr;
    case GW_CHILD: return w->Children.empty() ? nullptr : w->Children.front()->Handle;
    case GW_ENABLEDPOPUP: {
      for (TWnd* o : TChildSnapshot(Desktop()))
        if (o->Owner == w && o->Visible() && !(o->Style & WS_DISABLED)) return o->Handle;
      return nullptr;
    }
  }
  SetLastError(ERROR_INVALID_GW_COMMAND);
  return nullptr;
}

HWND GetNextWindow(HWND hwnd, UINT cmd) { return GetWindow(hwnd, cmd); }

HWND GetTopWindow(HWND hwnd) {
  auto held = HoldWnd(hwnd ? hwnd : GetDesktopWindow());
  TWnd* w = held.get();
  if (!w) return nullptr;
  std::lock_guard<std::recursive_mutex> g(TreeLock());
  if (w->Children.empty()) return nullptr;
  return w->Children.front()->Handle;
}

HWND GetLastActivePopup(HWND hwnd) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return nullptr;
  HWND active = CurrentQueue().Active;
  TWnd* a = GetWndNoError(active);
  for (TWnd* o = a; o; o = o->Owner)
    if (o->Owner == w && o->Visible() && !(o->Style & WS_DISABLED)) return a->Handle;
  return hwnd;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  TWnd* p = GetWndNoError(parent);
  TWnd* w = GetWndNoError(hwnd);
  if (!p || !w) return FALSE;
  for (TWnd* c = w; c->IsChild() && c->Parent; c = c->Parent)
    if (c->Parent == p) return TRUE;
  return FALSE;
}

namespace {
void CollectDescendants(TWnd* w, std::vector<HWND>& out) {
  std::lock_guard<std::recursive_mutex> g(TreeLock());
  for (TWnd* c : w->Children) {
    out.push_back(c->Handle);
    CollectDescendants(c, out);
  }
}
}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  if (!parent) return EnumWindows(proc, lParam);
  auto p = HoldWnd(parent);
  if (!p || !proc) return FALSE;
  std::vector<HWND> list;
  CollectDescendants(p.get(), list);
  for (HWND h : list)
    if (IsWindow(h) && !proc(h, lParam)) return FALSE;
  return TRUE;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
  if (!proc) return FALSE;
  for (HWND h : TChildSnapshot(Desktop()).Handles())
    if (IsWindow(h) && !proc(h, lParam)) return FALSE;
  return TRUE;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam) {
  if (!proc) return FALSE;
  std::vector<HWND> list;
  for (TWnd* c : TChildSnapshot(Desktop()))
    if (c->Queue && c->Queue->ThreadId == threadId) list.push_back(c->Handle);
  for (HWND h : list)
    if (IsWindow(h) && !proc(h, lParam)) return FALSE;
  return TRUE;
}

HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
  auto p = HoldWnd(parent == HWND_MESSAGE ? MessageRoot()->Handle : parent ? parent : GetDesktopWindow());
  if (!p) return nullptr;
  std::shared_ptr<TWndClass> cls;
  if (className) {
    cls = FindClass(className);
    if (!cls) return nullptr;
  }
  bool started = childAfter == nullptr;
  for (TWnd* c : TChildSnapshot(p.get())) {
    if (!started) {
      started = c->Handle == childAfter;
      continue;
    }
    if (cls && c->Class != cls) continue;
    if (windowName && c->Text != windowName) continue;
    return c->Handle;
  }
  return nullptr;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName) { return FindWindowExA(nullptr, nullptr, className, windowName); }

int GetDlgCtrlID(HWND hwnd) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !w->IsChild()) return 0;
  return static_cast<int>(w->Id);
}

BOOL SetWindowContextHelpId(HWND hwnd, DWORD id) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return FALSE;
  w->HelpContext = id;
  return TRUE;
}

DWORD GetWindowContextHelpId(HWND hwnd) {
  TWnd* w = GetWnd(hwnd);
  return w ? w->HelpContext : 0;
}

HWND GetDlgItem(HWND dialog, int id) {
  TWnd* p = GetWnd(dialog);
  if (!p) return nullptr;
  for (TWnd* c : TChildSnapshot(p))
    if (static_cast<int>(c->Id) == id) return c->Handle;
  return nullptr;
}
