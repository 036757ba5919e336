// Window positions: SetWindowPos and ShowWindow with their message orders,
// minimising and maximising, z-order bands, coordinates and placement.
#include <algorithm>
#include <cstring>
#include <set>

#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_native.h"
#include "platform/win/user/user_nonclient.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {


bool IsRoot(const TWnd* w) { return w->Has(wfDesktop) || w->Has(wfMessageRoot); }

std::vector<TWnd*>& Siblings(TWnd* w) { return w->Parent->Children; }

void EraseFrom(std::vector<TWnd*>& v, TWnd* w) { v.erase(std::remove(v.begin(), v.end(), w), v.end()); }

// The index where the band of non-topmost windows starts.
size_t NonTopmostStart(const std::vector<TWnd*>& v) {
  size_t i = 0;
  while (i < v.size() && (v[i]->ExStyle & WS_EX_TOPMOST)) ++i;
  return i;
}

bool OwnedBy(const TWnd* w, const TWnd* owner) {
  for (const TWnd* o = w->Owner; o; o = o->Owner)
    if (o == owner) return true;
  return false;
}

// Sets or clears the topmost flag of a window and the windows it owns.
void SetTopmost(TWnd* w, bool on) {
  auto apply = [on](TWnd* t) {
    if (on)
      t->ExStyle |= WS_EX_TOPMOST;
    else
      t->ExStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
  };
  apply(w);
  if (on)
    for (TWnd* t : Desktop()->Children)
      if (OwnedBy(t, w)) apply(t);
}

// Moves a top-level window to the top of its band; the windows it owns
// stay above it, and unless `alone`, its owners come along below it.
void TopLevelToTop(TWnd* w, bool alone) {
  auto& list = Desktop()->Children;
  TWnd* root = w;
  if (!alone)
    while (root->Owner) root = root->Owner;
  std::vector<TWnd*> group, mine, rest;
  for (TWnd* t : list) {
    if (t == root || OwnedBy(t, root)) group.push_back(t);
  }
  for (TWnd* t : group) {
    if (t != w && OwnedBy(t, w))
      mine.push_back(t);
    else if (t != w)
      rest.push_back(t);
  }
  std::vector<TWnd*> order = mine;
  order.push_back(w);
  order.insert(order.end(), rest.begin(), rest.end());
  for (TWnd* t : group) EraseFrom(list, t);
  // Topmost members go to the top of the topmost band, others to the top
  // of the normal band, keeping their order.
  std::vector<TWnd*> top, normal;
  for (TWnd* t : order) ((t->ExStyle & WS_EX_TOPMOST) ? top : normal).push_back(t);
  list.insert(list.begin(), top.begin(), top.end());
  size_t at = NonTopmostStart(list);
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), normal.begin(), normal.end());
}

void ApplyZOrder(TWnd* w, HWND after, bool noOwnerZOrder) {
  std::lock_guard<std::recursive_mutex> g(TreeLock());
  auto& list = Siblings(w);
  bool topLevel = w->IsTopLevel();
  if (after == HWND_TOPMOST) {
    if (topLevel) SetTopmost(w, true);
    after = HWND_TOP;
  } else if (after == HWND_NOTOPMOST) {
    if (topLevel) SetTopmost(w, false);
    after = HWND_TOP;
  }
  if (after == HWND_TOP) {
    if (topLevel) {
      TopLevelToTop(w, noOwnerZOrder);
    } else {
      EraseFrom(list, w);
      list.insert(list.begin(), w);
    }
    return;
  }
  if (after == HWND_BOTTOM) {
    if (topLevel) SetTopmost(w, false);
    EraseFrom(list, w);
    list.push_back(w);
    return;
  }
  TWnd* a = GetWndNoError(after);
  if (!a || a == w) return;
  EraseFrom(list, w);
  auto it = std::find(list.begin(), list.end(), a);
  if (it == list.end()) {
    list.insert(list.begin(), w);
    return;
  }
  size_t pos = static_cast<size_t>(it - list.begin()) + 1;
  if (topLevel) {
    // A window keeps its band: a normal window cannot go above a topmost one.
    size_t start = NonTopmostStart(list);
    if (!(w->ExStyle & WS_EX_TOPMOST) && pos < start) pos = start;
    if ((w->ExStyle & WS_EX_TOPMOST) && pos > start) pos = start;
  }
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), w);
}

// The fix-ups SetWindowPos applies before asking the window.
bool FixupFlags(TWnd* w, WINDOWPOS& wp) {
  if (wp.flags & SWP_HIDEWINDOW) wp.flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
  if (w->Visible()) {
    wp.flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
  } else {
    wp.flags &= ~static_cast<UINT>(SWP_HIDEWINDOW);
    if (!(wp.flags & SWP_SHOWWINDOW)) wp.flags |= SWP_NOREDRAW;
  }
  if (wp.cx < 0) wp.cx = 0;
  if (wp.cy < 0) wp.cy = 0;
  if (wp.flags & SWP_NOSIZE) {
    wp.cx = w->Width();
    wp.cy = w->Height();
  } else if (wp.cx == w->Width() && wp.cy == w->Height()) {
    wp.flags |= SWP_NOSIZE;
  }
  if (wp.flags & SWP_NOMOVE) {
    wp.x = w->Window.Left;
    wp.y = w->Window.Top;
  } else if (wp.x == w->Window.Left && wp.y == w->Window.Top) {
    wp.flags |= SWP_NOMOVE;
  }
  if (w->IsChild()) {
    // Children cannot be activated.
    wp.flags |= SWP_NOACTIVATE;
  } else if (!(wp.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) &&
             ((wp.flags & SWP_NOZORDER) ||
              (wp.hwndInsertAfter != HWND_TOPMOST && wp.hwndInsertAfter != HWND_NOTOPMOST))) {
    // Activating a top-level window brings it to the top.
    wp.flags &= ~static_cast<UINT>(SWP_NOZORDER);
    wp.hwndInsertAfter = HWND_TOP;
  }
  if (wp.flags & SWP_NOZORDER) return true;
  std::lock_guard<std::recursive_mutex> g(TreeLock());
  auto& list = Siblings(w);
  if (wp.hwndInsertAfter == HWND_TOP) {
    if (!list.empty() && list.front() == w && (!w->IsTopLevel() || !w->Owner || (wp.flags & SWP_NOOWNERZORDER)))
      wp.flags |= SWP_NOZORDER;
  } else if (wp.hwndInsertAfter == HWND_BOTTOM) {
    if (!list.empty() && list.back() == w) wp.flags |= SWP_NOZORDER;
  } else if (wp.hwndInsertAfter == HWND_TOPMOST) {
    if ((w->ExStyle & WS_EX_TOPMOST) && !list.empty() && list.front() == w) wp.flags |= SWP_NOZORDER;
  } else if (wp.hwndInsertAfter == HWND_NOTOPMOST) {
    if (!(w->ExStyle & WS_EX_TOPMOST)) wp.flags |= SWP_NOZORDER;
  } else {
    TWnd* a = GetWndNoError(wp.hwndInsertAfter);
    if (!a) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return false;
    }
    if (a->Parent != w->Parent) {
      // Not a sibling: the call goes on without changing the z-order.
      wp.flags |= SWP_NOZORDER;
      return true;
    }
    auto it = std::find(list.begin(), list.end(), a);
    if (a == w || (it != list.end() && it + 1 != list.end() && *(it + 1) == w)) wp.flags |= SWP_NOZORDER;
  }
  return true;
}

// The frame thickness that a maximised window puts beyond the work area.
POINT MaximizedInset(const TWnd* w) {
  int f = FrameThickness(w->Style, w->ExStyle);
  return POINT(f, f);
}

RECT WorkAreaOf(const TWnd* w) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  HMONITOR m = MonitorFromWindow(w->Handle, MONITOR_DEFAULTTONEAREST);
  if (!GetMonitorInfoA(m, &mi)) return PrimaryWorkArea();
  return mi.rcWork;
}

MINMAXINFO GetMinMaxInfo(TWnd* w) {
  MINMAXINFO mmi = DefaultMinMaxInfo(w);
  SendToWnd(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  return mmi;
}

UINT Maximize(TWnd* w, RECT& rect) {
  HWND h = w->Handle;
  MINMAXINFO mmi = GetMinMaxInfo(w);
  if (!GetWndNoError(h)) return SWP_NOSIZE | SWP_NOMOVE;
  w->Style = (w->Style & ~static_cast<DWORD>(WS_MINIMIZE)) | WS_MAXIMIZE;
  // A maximised window goes back to maximised from a later minimise.
  w->Flags |= wfRestoreToMax;
  rect = RECT(mmi.ptMaxPosition.X, mmi.ptMaxPosition.Y, mmi.ptMaxPosition.X + mmi.ptMaxSize.X,
              mmi.ptMaxPosition.Y + mmi.ptMaxSize.Y);
  return SWP_STATECHANGED;
}

// Changes the minimised / maximised state; answers the SetWindowPos
// flags and the new rectangle (parent coordinates). The hook sees the
// caller's command, `cmd` is what it comes to.
UINT MinMaximize(TWnd* w, int cmd, RECT& rect, int callerCmd) {
  rect = w->Window;
  HWND h = w->Handle;
  if (HasHooks(WH_CBT) && CallHooks(WH_CBT, HCBT_MINMAX, reinterpret_cast<WPARAM>(h), callerCmd))
    return SWP_NOSIZE | SWP_NOMOVE;
  bool minimized = (w->Style & WS_MINIMIZE) != 0;
  bool maximized = (w->Style & WS_MAXIMIZE) != 0;
  if (!minimized && !maximized) w->NormalRect = w->Window;
  switch (cmd) {
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: {
      if (minimized) return SWP_NOSIZE | SWP_NOMOVE;
      if (maximized)
        w->Flags |= wfRestoreToMax;
      else
        w->Flags &= ~static_cast<uint32_t>(wfRestoreToMax);
      w->Style = (w->Style & ~static_cast<DWORD>(WS_MAXIMIZE)) | WS_MINIMIZE;
      int cx = GetSystemMetrics(SM_CXMINIMIZED), cy = GetSystemMetrics(SM_CYMINIMIZED);
      POINT p = w->MinPos.X == -1 && w->MinPos.Y == -1 ? POINT(-32000, -32000) : w->MinPos;
      rect = RECT(p.X, p.Y, p.X + cx, p.Y + cy);
      return SWP_STATECHANGED | SWP_NOCOPYBITS;
    }
    case SW_MAXIMIZE: {
      if (maximized && !minimized) return SWP_NOSIZE | SWP_NOMOVE;
      // Leaving the minimised state needs the window's consent.
      if (minimized && (!SendToWnd(w, WM_QUERYOPEN, 0, 0) || !GetWndNoError(h))) return SWP_NOSIZE | SWP_NOMOVE;
      return Maximize(w, rect) | (minimized ? SWP_NOCOPYBITS : 0);
    }
    default: {  // restore
      if (!minimized && !maximized) return SWP_NOSIZE | SWP_NOMOVE;
      if (minimized) {
        if (!SendToWnd(w, WM_QUERYOPEN, 0, 0) || !GetWndNoError(h)) return SWP_NOSIZE | SWP_NOMOVE;
        if (w->Has(wfRestoreToMax)) return Maximize(w, rect) | SWP_NOCOPYBITS;
      }
      w->Style &= ~static_cast<DWORD>(WS_MINIMIZE | WS_MAXIMIZE);
      w->Flags &= ~static_cast<uint32_t>(wfRestoreToMax);
      rect = w->NormalRect;
      return SWP_STATECHANGED | (minimized ? SWP_NOCOPYBITS : 0);
    }
  }
}

}  // namespace

MINMAXINFO DefaultMinMaxInfo(const TWnd* w) {
  MINMAXINFO mmi{};
  POINT inset = MaximizedInset(w);
  // A child maximises into its parent's client area.
  RECT work = w->IsChild() && w->Parent ? RECT(0, 0, w->Parent->Client.Width(), w->Parent->Client.Height())
              : w->Handle ? WorkAreaOf(w)
                          : PrimaryWorkArea();
  mmi.ptMaxSize = POINT(work.Width() + 2 * inset.X, work.Height() + 2 * inset.Y);
  mmi.ptMaxPosition = POINT(work.Left - inset.X, work.Top - inset.Y);
  if ((w->Style & WS_CAPTION) == WS_CAPTION || !(w->Style & (WS_CHILD | WS_POPUP)))
    mmi.ptMinTrackSize = POINT(GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK));
  else
    mmi.ptMinTrackSize = POINT(2 * inset.X, 2 * inset.Y);
  mmi.ptMaxTrackSize = POINT(GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK));
  return mmi;
}

WPARAM SizeType(const TWnd* w) {
  if (w->Style & WS_MINIMIZE) return SIZE_MINIMIZED;
  if (w->Style & WS_MAXIMIZE) return SIZE_MAXIMIZED;
  return SIZE_RESTORED;
}

void BringToTopZ(TWnd* w) {
  if (w->Parent) ApplyZOrder(w, HWND_TOP, false);
}

bool SetWindowPosImpl(TWnd* w, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (IsRoot(w) || !w->Parent) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  HWND h = w->Handle;
  TWndRef ref(w);
  WINDOWPOS wp{h, insertAfter, x, y, cx, cy,
               flags & ~static_cast<UINT>(SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE)};
  if (!FixupFlags(w, wp)) return false;

  if (!(wp.flags & SWP_NOSENDCHANGING)) {
    SendToWnd(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!GetWndNoError(h)) return false;
    if (wp.cx < 0) wp.cx = 0;
    if (wp.cy < 0) wp.cy = 0;
  }

  RECT oldWindow = w->Window;
  RECT oldClient = w->Client;
  RECT newWindow = oldWindow;
  if (!(wp.flags & SWP_NOMOVE)) newWindow = OffsetR(newWindow, wp.x - oldWindow.Left, wp.y - oldWindow.Top);
  if (!(wp.flags & SWP_NOSIZE)) {
    newWindow.Right = newWindow.Left + wp.cx;
    newWindow.Bottom = newWindow.Top + wp.cy;
  }
  RECT newClient = OffsetR(oldClient, newWindow.Left - oldWindow.Left, newWindow.Top - oldWindow.Top);
  if (!(wp.flags & SWP_NOSIZE) || (wp.flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS p{};
    WINDOWPOS copy = wp;
    p.rgrc[0] = newWindow;
    p.rgrc[1] = oldWindow;
    p.rgrc[2] = oldClient;
    p.lppos = &copy;
    SendToWnd(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
    if (!GetWndNoError(h)) return false;
    newClient = p.rgrc[0];
  }

  RECT oldScreen = WindowScreenRect(w);
  bool wasVisible = IsReallyVisible(w);
  w->Window = newWindow;
  w->Client = newClient;
  if (!(wp.flags & SWP_NOZORDER)) ApplyZOrder(w, wp.hwndInsertAfter, (wp.flags & SWP_NOOWNERZORDER) != 0);
  if (wp.flags & SWP_SHOWWINDOW) w->Style |= WS_VISIBLE;
  if (wp.flags & SWP_HIDEWINDOW) w->Style &= ~static_cast<DWORD>(WS_VISIBLE);
  if (!(w->Style & (WS_MINIMIZE | WS_MAXIMIZE))) w->NormalRect = newWindow;
  if (oldClient.Width() == newClient.Width() && oldClient.Height() == newClient.Height())
    wp.flags |= SWP_NOCLIENTSIZE;
  if (oldClient.Left == newClient.Left && oldClient.Top == newClient.Top) wp.flags |= SWP_NOCLIENTMOVE;

  if (w->IsTopLevel()) SyncNativeWindow(w);
  InvalidateAfterMove(w, oldScreen, wasVisible, wp.flags);
  if (wp.flags & SWP_SHOWWINDOW) RaiseWinEvent(EVENT_OBJECT_SHOW, h, 0);
  if (wp.flags & SWP_HIDEWINDOW) RaiseWinEvent(EVENT_OBJECT_HIDE, h, 0);
  if ((wp.flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
    RaiseWinEvent(EVENT_OBJECT_LOCATIONCHANGE, h, 0);

  TThreadQueue& q = CurrentQueue();
  if (w->IsChild()) {
    // A child "activated" by the call hears of it.
    if (!(flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW))) {
      SendToWnd(w, WM_CHILDACTIVATE, 0, 0);
      if (!GetWndNoError(h)) return true;
    }
  } else if (!(wp.flags & SWP_NOACTIVATE) && w->IsTopLevel() && w->Visible() && q.Active != h &&
             !(w->ExStyle & WS_EX_NOACTIVATE)) {
    SetActiveImpl(w, false);
    if (!GetWndNoError(h)) return true;
  }
  if (!(wp.flags & SWP_DEFERERASE)) {
    // A top-level window erases its frame and background now; a child's
    // own erase waits for its WM_PAINT, the parent's uncovered part not.
    if (!w->IsChild()) {
      if (w->Visible()) ErasePendingNow(w);
    } else if (TWnd* parent = w->Parent; parent && !IsRoot(parent) && !(wp.flags & SWP_SHOWWINDOW)) {
      ErasePendingNow(parent);
    }
  }
  if (!GetWndNoError(h)) return true;

  wp.x = newWindow.Left;
  wp.y = newWindow.Top;
  wp.cx = newWindow.Width();
  wp.cy = newWindow.Height();
  SendToWnd(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if (!GetWndNoError(h)) return true;

  // SWP_HIDEWINDOW leaves activation and focus alone: ShowWindow moves them.
  CheckMouseTracking(q);
  return true;
}

bool ShowWindowImpl(TWnd* w, int cmd) {
  if (IsRoot(w)) return false;
  HWND h = w->Handle;
  TWndRef ref(w);
  bool wasVisible = w->Visible();
  UINT swp = 0;
  RECT rect = w->Window;
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return false;
      swp |= SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (w->IsChild() || CurrentQueue().Active != h) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
      swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      [[fallthrough]];
    case SW_SHOWMINIMIZED:
      swp |= SWP_SHOWWINDOW | SWP_FRAMECHANGED;
      swp |= MinMaximize(w, cmd, rect, cmd);
      if (!GetWndNoError(h)) return wasVisible;
      if ((swp & SWP_STATECHANGED) == 0 && wasVisible) return true;
      break;
    case SW_SHOWMAXIMIZED:
      if (!wasVisible) swp |= SWP_SHOWWINDOW;
      swp |= SWP_FRAMECHANGED;
      swp |= MinMaximize(w, SW_MAXIMIZE, rect, cmd);
      if (!GetWndNoError(h)) return wasVisible;
      if ((swp & SWP_STATECHANGED) == 0 && wasVisible) return true;
      break;
    case SW_SHOWNA:
      // Goes through even for a visible window.
      swp |= SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (w->Style & WS_CHILD) swp |= SWP_NOZORDER;
      break;
    case SW_SHOW:
      if (wasVisible) return true;
      swp |= SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (w->IsChild()) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWNOACTIVATE:
      swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      [[fallthrough]];
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
    case SW_RESTORE:
      if (!wasVisible) swp |= SWP_SHOWWINDOW;
      if (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        swp |= SWP_FRAMECHANGED;
        swp |= MinMaximize(w, SW_RESTORE, rect, cmd);
        if (!GetWndNoError(h)) return wasVisible;
      } else {
        if (wasVisible) return true;
        swp |= SWP_NOSIZE | SWP_NOMOVE;
      }
      if (w->IsChild() && !(swp & SWP_STATECHANGED)) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return wasVisible;
  }
  bool show = cmd != SW_HIDE;
  // A change of state (minimise, maximise, restore) and SW_SHOWMAXIMIZED
  // show the window without WM_SHOWWINDOW.
  if ((show != wasVisible || cmd == SW_SHOWNA) && cmd != SW_SHOWMAXIMIZED && !(swp & SWP_STATECHANGED)) {
    SendToWnd(w, WM_SHOWWINDOW, show, 0);
    if (!GetWndNoError(h)) return wasVisible;
  }
  TWnd* parent = w->Parent;
  if (w->IsChild() && parent && !IsRoot(parent) && !IsReallyVisible(parent) && !(swp & SWP_STATECHANGED)) {
    // Under a hidden parent only the style bit changes.
    if (show)
      w->Style |= WS_VISIBLE;
    else
      w->Style &= ~static_cast<DWORD>(WS_VISIBLE);
    RaiseWinEvent(show ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, h, 0);
  } else {
    SetWindowPosImpl(w, HWND_TOP, rect.Left, rect.Top, rect.Width(), rect.Height(), swp);
  }
  if (!GetWndNoError(h)) return wasVisible;
  if (cmd == SW_HIDE) {
    TThreadQueue& q = CurrentQueue();
    if (q.Active == h) ActivateOtherWindow(w);
    TWnd* f = GetWndNoError(q.Focus);
    if (f && IsSelfOrDescendant(w, f)) SetFocusImpl(parent && !IsRoot(parent) ? parent : nullptr);
  }
  if (w->IsTopLevel() && (swp & SWP_STATECHANGED)) {
    // Owned popups hide with their minimised owner and come back with it.
    bool minimized = (w->Style & WS_MINIMIZE) != 0;
    ShowOwnedPopups(h, !minimized);
    if (!GetWndNoError(h)) return wasVisible;
  }
  if (w->Has(wfNeedSize)) {
    // The size messages an overlapped window did not get at creation.
    w->Flags &= ~static_cast<uint32_t>(wfNeedSize);
    WPARAM type = SizeType(w);
    LPARAM size = type == SIZE_MINIMIZED ? 0 : MAKELPARAM(w->Client.Width(), w->Client.Height());
    SendToWnd(w, WM_SIZE, type, size);
    if (GetWndNoError(h)) SendToWnd(w, WM_MOVE, 0, MAKELPARAM(w->Client.Left, w->Client.Top));
  }
  return wasVisible;
}

void MinMaximizeAtCreation(TWnd* w, DWORD createStyle) {
  int cmd = (createStyle & WS_MINIMIZE) ? SW_MINIMIZE : SW_MAXIMIZE;
  RECT rect;
  UINT swp = MinMaximize(w, cmd, rect, cmd) | SWP_FRAMECHANGED;
  if (!GetWndNoError(w->Handle)) return;
  if (!(createStyle & WS_VISIBLE) || (createStyle & WS_CHILD) || CurrentQueue().Active) swp |= SWP_NOACTIVATE;
  SetWindowPosImpl(w, HWND_TOP, rect.Left, rect.Top, rect.Width(), rect.Height(), swp);
}

}  // namespace rtl::detail

using namespace rtl::detail;

// ---- Positions --------------------------------------------------------------

namespace {
BOOL SetPlacementImpl(TWnd* w, const WINDOWPLACEMENT* placement);
BOOL EnableImpl(TWnd* w, BOOL enable);
}  // namespace

// A window's position, size, z-order and visibility change on the thread
// that owns it, which alone may send it the messages that go with them; a
// call from another thread waits for it (or, with SWP_ASYNCWINDOWPOS, does
// not).
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  const bool wait = !(flags & SWP_ASYNCWINDOWPOS);
  flags &= ~static_cast<UINT>(SWP_ASYNCWINDOWPOS);
  return RunOnOwner(
             hwnd, [=](TWnd* w) -> LRESULT { return SetWindowPosImpl(w, insertAfter, x, y, cx, cy, flags); }, wait)
             ? TRUE
             : FALSE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  return RunOnOwner(hwnd, [cmd](TWnd* w) -> LRESULT { return ShowWindowImpl(w, cmd); }) ? TRUE : FALSE;
}

BOOL ShowWindowAsync(HWND hwnd, int cmd) {
  // Another thread's window is shown by its own thread, without waiting.
  return RunOnOwner(hwnd, [cmd](TWnd* w) -> LRESULT { return ShowWindowImpl(w, cmd); }, false) ? TRUE : FALSE;
}

BOOL ShowOwnedPopups(HWND owner, BOOL show) {
  TWnd* o = GetWnd(owner);
  if (!o) return FALSE;
  std::vector<HWND> popups;
  for (TWnd* t : TChildSnapshot(Desktop()))
    if (t->Owner == o && (t->Style & WS_POPUP)) popups.push_back(t->Handle);
  for (HWND p : popups) {
    TWnd* t = GetWndNoError(p);
    if (!t) continue;
    if (show) {
      if (t->Has(wfHidden)) {
        t->Flags &= ~static_cast<uint32_t>(wfHidden);
        SendToWnd(t, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
        if ((t = GetWndNoError(p)))
          SetWindowPosImpl(t, nullptr, 0, 0, 0, 0,
                           SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
    } else if (t->Visible()) {
      t->Flags |= wfHidden;
      SendToWnd(t, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
      if ((t = GetWndNoError(p)))
        SetWindowPosImpl(t, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  return TRUE;
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL OpenIcon(HWND hwnd) {
  if (!IsIconic(hwnd)) return TRUE;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  return TRUE;
}

BOOL CloseWindow(HWND hwnd) {
  TWnd* w = GetWnd(hwnd);
  if (!w || w->IsChild()) return FALSE;
  ShowWindow(hwnd, SW_MINIMIZE);
  return TRUE;
}

namespace {
struct TDeferred {
  std::vector<WINDOWPOS> List;
};
std::set<TDeferred*>& DeferSets() {
  static thread_local std::set<TDeferred*> sets;
  return sets;
}
}  // namespace

HANDLE BeginDeferWindowPos(int count) {
  if (count < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* d = new TDeferred;
  d->List.reserve(static_cast<size_t>(count));
  DeferSets().insert(d);
  return d;
}

HANDLE DeferWindowPos(HANDLE info, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  auto* d = static_cast<TDeferred*>(info);
  if (!DeferSets().count(d)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!GetWnd(hwnd)) {
    DeferSets().erase(d);
    delete d;
    return nullptr;
  }
  for (WINDOWPOS& p : d->List)
    if (p.hwnd == hwnd) {
      // A second entry for the window merges into the first.
      if (!(flags & SWP_NOMOVE)) {
        p.x = x;
        p.y = y;
        p.flags &= ~static_cast<UINT>(SWP_NOMOVE);
      }
      if (!(flags & SWP_NOSIZE)) {
        p.cx = cx;
        p.cy = cy;
        p.flags &= ~static_cast<UINT>(SWP_NOSIZE);
      }
      if (!(flags & SWP_NOZORDER)) {
        p.hwndInsertAfter = insertAfter;
        p.flags &= ~static_cast<UINT>(SWP_NOZORDER);
      }
      p.flags |= flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED | SWP_NOREDRAW);
      return d;
    }
  d->List.push_back(WINDOWPOS{hwnd, insertAfter, x, y, cx, cy, flags});
  return d;
}

BOOL EndDeferWindowPos(HANDLE info) {
  auto* d = static_cast<TDeferred*>(info);
  if (!DeferSets().count(d)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DeferSets().erase(d);
  std::unique_ptr<TDeferred> own(d);
  for (WINDOWPOS& p : d->List)
    if (IsWindow(p.hwnd)) SetWindowPos(p.hwnd, p.hwndInsertAfter, p.x, p.y, p.cx, p.cy, p.flags);
  return TRUE;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !placement) return FALSE;
  placement->length = sizeof(WINDOWPLACEMENT);
  placement->flags = w->Has(wfRestoreToMax) ? WPF_RESTORETOMAXIMIZED : 0;
  if (w->Style & WS_MINIMIZE)
    placement->showCmd = SW_SHOWMINIMIZED;
  else if (w->Style & WS_MAXIMIZE)
    placement->showCmd = SW_SHOWMAXIMIZED;
  else
    placement->showCmd = SW_SHOWNORMAL;
  placement->ptMinPosition = w->MinPos;
  placement->ptMaxPosition = w->MaxPos;
  RECT r = (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) ? w->NormalRect : w->Window;
  if (w->IsTopLevel()) {
    // Top-level rectangles are given relative to the work area.
    RECT work = WorkAreaOf(w);
    r = OffsetR(r, -work.Left, -work.Top);
  }
  placement->rcNormalPosition = r;
  return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement) {
  if (!placement) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  WINDOWPLACEMENT wp = *placement;
  return RunOnOwner(hwnd, [&wp](TWnd* w) -> LRESULT { return SetPlacementImpl(w, &wp); }) ? TRUE : FALSE;
}

BOOL AnimateWindow(HWND hwnd, DWORD, DWORD flags) {
  return RunOnOwner(hwnd, [flags](TWnd* w) -> LRESULT {
           // Shown or hidden at once: the effect itself is not drawn.
           if (flags & AW_HIDE) {
             if (!w->Visible()) return FALSE;
             ShowWindowImpl(w, SW_HIDE);
             return TRUE;
           }
           if (w->Visible()) return FALSE;
           ShowWindowImpl(w, (flags & AW_ACTIVATE) ? SW_SHOW : SW_SHOWNA);
           return TRUE;
         })
             ? TRUE
             : FALSE;
}

namespace {

BOOL SetPlacementImpl(TWnd* w, const WINDOWPLACEMENT* placement) {
  HWND hwnd = w->Handle;
  RECT r = placement->rcNormalPosition;
  if (w->IsTopLevel()) {
    RECT work = WorkAreaOf(w);
    r = OffsetR(r, work.Left, work.Top);
  }
  if (placement->flags & WPF_SETMINPOSITION) w->MinPos = placement->ptMinPosition;
  w->MaxPos = placement->ptMaxPosition;
  if (placement->flags & WPF_RESTORETOMAXIMIZED)
    w->Flags |= wfRestoreToMax;
  else
    w->Flags &= ~static_cast<uint32_t>(wfRestoreToMax);
  if (w->Style & (WS_MINIMIZE | WS_MAXIMIZE))
    w->NormalRect = r;
  else
    SetWindowPosImpl(w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (!IsWindow(hwnd)) return TRUE;
  ShowWindowImpl(w, static_cast<int>(placement->showCmd));
  return TRUE;
}

}  // namespace

// ---- Coordinates ------------------------------------------------------------

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !rect) return FALSE;
  *rect = w->Has(wfDesktop) ? w->Window : WindowScreenRect(w);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !rect) return FALSE;
  *rect = RECT(0, 0, w->Client.Width(), w->Client.Height());
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !point) return FALSE;
  POINT o = ClientScreenOrigin(w);
  point->X += o.X;
  point->Y += o.Y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !point) return FALSE;
  POINT o = ClientScreenOrigin(w);
  point->X -= o.X;
  point->Y -= o.Y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  POINT a{}, b{};
  if (from) {
    TWnd* w = GetWnd(from);
    if (!w) return 0;
    a = ClientScreenOrigin(w);
  }
  if (to) {
    TWnd* w = GetWnd(to);
    if (!w) return 0;
    b = ClientScreenOrigin(w);
  }
  int dx = a.X - b.X, dy = a.Y - b.Y;
  for (UINT i = 0; i < count && points; ++i) {
    points[i].X += dx;
    points[i].Y += dy;
  }
  SetLastError(0);
  return MAKELONG(static_cast<WORD>(static_cast<SHORT>(dx)), static_cast<WORD>(static_cast<SHORT>(dy)));
}

// ---- Points to windows ----------------------------------------------------

HWND WindowFromPoint(POINT point) {
  int hit = 0;
  TWnd* w = HitTestPoint(point, &hit);
  return w ? w->Handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags) {
  TWnd* p = GetWnd(parent);
  if (!p) return nullptr;
  if (!RECT(0, 0, p->Client.Width(), p->Client.Height()).Contains(point)) return nullptr;
  for (TWnd* c : TChildSnapshot(p)) {
    if ((flags & CWP_SKIPINVISIBLE) && !c->Visible()) continue;
    if ((flags & CWP_SKIPDISABLED) && (c->Style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->ExStyle & WS_EX_TRANSPARENT)) continue;
    const RECT& r = c->Window;
    if (!r.Contains(point)) continue;
    if (c->WindowRgn && !PtInRegion(c->WindowRgn, point.X - r.Left, point.Y - r.Top)) continue;
    return c->Handle;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) { return ChildWindowFromPointEx(parent, point, CWP_ALL); }

HWND RealChildWindowFromPoint(HWND parent, POINT point) {
  TWnd* p = GetWnd(parent);
  if (!p) return nullptr;
  POINT screen = point;
  ClientToScreen(parent, &screen);
  for (TWnd* c : TChildSnapshot(p)) {
    if (!c->Visible() || !c->Window.Contains(point)) continue;
    if (c->Queue.get() == &CurrentQueue() &&
        SendToWnd(c, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y)) == HTTRANSPARENT)
      continue;
    return c->Handle;
  }
  return parent;
}

// ---- State --------------------------------------------------------------------

BOOL IsWindowVisible(HWND hwnd) {
  TWnd* w = GetWndNoError(hwnd);
  return w && IsReallyVisible(w) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  TWnd* w = GetWndNoError(hwnd);
  return w && !(w->Style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  // WM_ENABLE and the focus that leaves belong to the window's own thread.
  return RunOnOwner(hwnd, [enable](TWnd* w) -> LRESULT { return EnableImpl(w, enable); }) ? TRUE : FALSE;
}

namespace {

BOOL EnableImpl(TWnd* w, BOOL enable) {
  HWND hwnd = w->Handle;
  if (enable) {
    bool wasDisabled = (w->Style & WS_DISABLED) != 0;
    if (wasDisabled) {
      w->Style &= ~static_cast<DWORD>(WS_DISABLED);
      SendToWnd(w, WM_ENABLE, TRUE, 0);
    }
    return wasDisabled ? TRUE : FALSE;
  }
  // Disabling cancels modes even when the window was disabled already.
  SendToWnd(w, WM_CANCELMODE, 0, 0);
  if (!GetWndNoError(hwnd)) return FALSE;
  bool wasDisabled = (w->Style & WS_DISABLED) != 0;
  if (wasDisabled) return TRUE;
  w->Style |= WS_DISABLED;
  // A disabled window cannot keep the keyboard focus.
  TWnd* f = GetWndNoError(CurrentQueue().Focus);
  if (f && IsSelfOrDescendant(w, f)) SetFocusImpl(nullptr);
  if (!GetWndNoError(hwnd)) return FALSE;
  SendToWnd(w, WM_ENABLE, FALSE, 0);
  return FALSE;
}

}  // namespace

BOOL IsIconic(HWND hwnd) {
  TWnd* w = GetWndNoError(hwnd);
  return w && (w->Style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
  TWnd* w = GetWndNoError(hwnd);
  return w && (w->Style & WS_MAXIMIZE) ? TRUE : FALSE;
}

// ---- Rectangles -----------------------------------------------------------------

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  *rect = RECT(left, top, right, bottom);
  return TRUE;
}

BOOL SetRectEmpty(LPRECT rect) {
  if (!rect) return FALSE;
  *rect = RECT();
  return TRUE;
}

BOOL CopyRect(LPRECT dest, const RECT* src) {
  if (!dest || !src) return FALSE;
  *dest = *src;
  return TRUE;
}

BOOL InflateRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->Left -= dx;
  rect->Top -= dy;
  rect->Right += dx;
  rect->Bottom += dy;
  return TRUE;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  *rect = OffsetR(*rect, dx, dy);
  return TRUE;
}

BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b) {
  if (!dest || !a || !b) return FALSE;
  *dest = IntersectR(*a, *b);
  return dest->IsEmpty() ? FALSE : TRUE;
}

BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b) {
  if (!dest || !a || !b) return FALSE;
  if (a->IsEmpty()) {
    *dest = b->IsEmpty() ? RECT() : *b;
  } else if (b->IsEmpty()) {
    *dest = *a;
  } else {
    *dest = RECT(std::min(a->Left, b->Left), std::min(a->Top, b->Top), std::max(a->Right, b->Right),
                 std::max(a->Bottom, b->Bottom));
  }
  return dest->IsEmpty() ? FALSE : TRUE;
}

BOOL SubtractRect(LPRECT dest, const RECT* a, const RECT* b) {
  if (!dest || !a || !b) return FALSE;
  RECT r = *a;
  RECT i = IntersectR(*a, *b);
  if (!i.IsEmpty()) {
    // Only a cut that leaves a rectangle changes it.
    if (i.Top == r.Top && i.Bottom == r.Bottom) {
      if (i.Left == r.Left)
        r.Left = i.Right;
      else if (i.Right == r.Right)
        r.Right = i.Left;
    } else if (i.Left == r.Left && i.Right == r.Right) {
      if (i.Top == r.Top)
        r.Top = i.Bottom;
      else if (i.Bottom == r.Bottom)
        r.Bottom = i.Top;
    }
  }
  *dest = r.IsEmpty() ? RECT() : r;
  return dest->IsEmpty() ? FALSE : TRUE;
}

BOOL IsRectEmpty(const RECT* rect) { return !rect || rect->IsEmpty() ? TRUE : FALSE; }

BOOL EqualRect(const RECT* a, const RECT* b) { return a && b && *a == *b ? TRUE : FALSE; }

BOOL PtInRect(const RECT* rect, POINT point) { return rect && rect->Contains(point) ? TRUE : FALSE; }
