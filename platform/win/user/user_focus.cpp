// Keyboard focus and activation: the active window of a thread, the
// foreground window of the application, and their messages in the order
// the original platform sends them.
#include <atomic>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_native.h"

namespace rtl::detail {
namespace {

std::atomic<HWND> g_foreground{nullptr};
// Whether the application holds the system's keyboard focus (headless:
// always; with a display: what the window manager says).
std::atomic<bool> g_appActive{true};
HWND g_lastActive = nullptr;

bool CanActivate(const TWnd* w) {
  if (!w || !w->Visible() || w->IsChild() || !w->IsTopLevel()) return false;
  if (w->ExStyle & WS_EX_NOACTIVATE) return false;
  return !(w->Style & WS_DISABLED);
}

// Moves the keyboard focus: WM_KILLFOCUS to the old window naming the new
// one, then WM_SETFOCUS to the new one naming the old.
HWND SetFocusWindow(TThreadQueue& q, HWND hwnd) {
  HWND previous = q.Focus;
  if (previous == hwnd) return previous;
  q.Focus = hwnd;
  if (TWnd* p = GetWndNoError(previous)) {
    SendToWnd(p, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (q.Focus != hwnd) return previous;  // changed by the handler
  }
  if (hwnd) RaiseWinEvent(EVENT_OBJECT_FOCUS, hwnd, -4);
  if (TWnd* w = GetWndNoError(hwnd)) SendToWnd(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

bool IsAtTop(const TWnd* w) {
  for (TWnd* t : TChildSnapshot(Desktop())) {
    if (t == w) return true;
    // Windows above it that it owns, or topmost ones when it is not, are
    // where they belong.
    bool owned = false;
    for (TWnd* o = t->Owner; o; o = o->Owner)
      if (o == w) owned = true;
    if (owned) continue;
    if ((t->ExStyle & WS_EX_TOPMOST) && !(w->ExStyle & WS_EX_TOPMOST)) continue;
    if (!t->Visible()) continue;
    return false;
  }
  return false;
}

}  // namespace

void SetActiveImpl(TWnd* w, bool mouse) {
  TThreadQueue& q = CurrentQueue();
  HWND hwnd = w ? w->Handle : nullptr;
  HWND previous = q.Active;
  if (!GetWndNoError(previous)) previous = nullptr;
  if (previous == hwnd) {
    if (w && g_appActive) g_foreground = hwnd;
    return;
  }
  if (HasHooks(WH_CBT)) {
    CBTACTIVATESTRUCT cbt{mouse ? TRUE : FALSE, previous};
    if (CallHooks(WH_CBT, HCBT_ACTIVATE, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt))) return;
  }
  if (TWnd* p = GetWndNoError(previous)) {
    SendToWnd(p, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(hwnd));
    if ((p = GetWndNoError(previous)))
      SendToWnd(p, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, (p->Style & WS_MINIMIZE) ? 1 : 0),
                reinterpret_cast<LPARAM>(hwnd));
  }
  q.Active = hwnd;
  if (hwnd) g_lastActive = hwnd;
  if (hwnd) RaiseWinEvent(EVENT_SYSTEM_FOREGROUND, hwnd, 0);
  if (w && !GetWndNoError(hwnd)) return;
  if (hwnd && g_appActive)
    g_foreground = hwnd;
  else if (!hwnd)
    g_foreground = nullptr;
  // The application itself becomes active or inactive.
  bool wasApp = previous != nullptr;
  bool isApp = hwnd != nullptr;
  if (wasApp != isApp) {
    std::vector<HWND> tops;
    for (TWnd* t : TChildSnapshot(Desktop()))
      if (t->Queue.get() == &q) tops.push_back(t->Handle);
    for (HWND h : tops)
      if (TWnd* t = GetWndNoError(h)) SendToWnd(t, WM_ACTIVATEAPP, isApp ? TRUE : FALSE, 0);
  }
  if (w && GetWndNoError(hwnd)) {
    if (!IsAtTop(w)) SetWindowPosImpl(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!GetWndNoError(hwnd)) return;
    SendToWnd(w, WM_NCACTIVATE, g_appActive ? TRUE : FALSE, reinterpret_cast<LPARAM>(previous));
    if (!GetWndNoError(hwnd)) return;
    SendToWnd(w, WM_ACTIVATE, MAKEWPARAM(mouse ? WA_CLICKACTIVE : WA_ACTIVE, (w->Style & WS_MINIMIZE) ? 1 : 0),
              reinterpret_cast<LPARAM>(previous));
    if (!GetWndNoError(hwnd)) return;
    if (w->Native && g_appActive) NativeActivate(w);
  }
  // The focus follows when it is not inside the new active window.
  if (q.Active == hwnd) {
    TWnd* f = GetWndNoError(q.Focus);
    if (!hwnd) {
      if (q.Focus) SetFocusWindow(q, nullptr);
    } else if (!f || !IsSelfOrDescendant(w, f)) {
      if (q.Focus != hwnd && !(w->Style & WS_MINIMIZE)) SetFocusWindow(q, hwnd);
    }
  }
}

void ActivateOtherWindow(TWnd* leaving) {
  TThreadQueue& q = CurrentQueue();
  TWnd* to = nullptr;
  if ((leaving->Style & WS_POPUP) && leaving->Owner) {
    TWnd* o = TopLevelOf(leaving->Owner);
    if (CanActivate(o) && o->Queue.get() == &q) to = o;
  }
  if (!to) {
    TChildSnapshot list(Desktop());
    bool after = false;
    for (TWnd* t : list) {
      if (t == leaving) {
        after = true;
        continue;
      }
      if (after && CanActivate(t) && t->Queue.get() == &q) {
        to = t;
        break;
      }
    }
    if (!to)
      for (TWnd* t : list) {
        if (t == leaving) break;
        if (CanActivate(t) && t->Queue.get() == &q) {
          to = t;
          break;
        }
      }
  }
  SetActiveImpl(to, false);
}

HWND SetFocusImpl(TWnd* w) {
  TThreadQueue& q = CurrentQueue();
  HWND previous = q.Focus;
  HWND hwnd = w ? w->Handle : nullptr;
  if (w) {
    if (w->Queue.get() != &q) return nullptr;
    if (hwnd == previous) return previous;
    // A minimised or disabled window (or one under such a parent) cannot
    // take the focus.
    TWnd* top = w;
    for (;;) {
      if (top->Style & (WS_MINIMIZE | WS_DISABLED)) return nullptr;
      TWnd* parent = top->Parent;
      if (!parent || parent->Has(wfDesktop)) {
        if (top->IsChild()) return nullptr;
        break;
      }
      if (parent->Has(wfMessageRoot)) return nullptr;
      top = parent;
    }
    if (HasHooks(WH_CBT) &&
        CallHooks(WH_CBT, HCBT_SETFOCUS, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(previous)))
      return nullptr;
    if (top->Handle != q.Active) {
      SetActiveImpl(top, false);
      if (!GetWndNoError(hwnd) || q.Active != top->Handle) return nullptr;
      if (q.Focus == hwnd) return previous;
    }
  } else if (HasHooks(WH_CBT) && CallHooks(WH_CBT, HCBT_SETFOCUS, 0, reinterpret_cast<LPARAM>(previous))) {
    return nullptr;
  }
  SetFocusWindow(q, hwnd);
  return previous;
}

void AppActivationChanged(TWnd* w, bool active) {
  g_appActive = active;
  if (active) {
    TWnd* target = w ? TopLevelOf(w) : GetWndNoError(g_lastActive);
    if (target && CanActivate(target)) {
      SetActiveImpl(target, false);
      g_foreground = target->Handle;
      if (TWnd* t = GetWndNoError(target->Handle)) SendToWnd(t, WM_NCACTIVATE, TRUE, 0);
    }
  } else {
    HWND keep = CurrentQueue().Active;
    g_foreground = nullptr;
    SetActiveImpl(nullptr, false);
    g_lastActive = keep;
  }
}

void ForgetWindow(TWnd* w) {
  HWND h = w->Handle;
  if (w->Queue) {
    TThreadQueue& q = *w->Queue;
    if (q.Focus == h) q.Focus = nullptr;
    if (q.Active == h) q.Active = nullptr;
    if (q.Capture == h) q.Capture = nullptr;
    if (q.MouseWindow == h) q.MouseWindow = nullptr;
    if (q.Track.Hwnd == h) q.Track = TMouseTrack();
    if (q.LastClickHwnd == h) q.LastClickHwnd = nullptr;
    if (q.CaretHwnd == h) q.CaretHwnd = nullptr;
  }
  if (g_foreground == h) g_foreground = nullptr;
  if (g_lastActive == h) g_lastActive = nullptr;
  ForgetClipboardWindow(h);
}

bool AppIsActive() { return g_appActive; }

}  // namespace rtl::detail

using namespace rtl::detail;

HWND SetFocus(HWND hwnd) {
  TWnd* w = nullptr;
  if (hwnd) {
    w = GetWnd(hwnd);
    if (!w) return nullptr;
    if (w->IsRoot()) return nullptr;
    // The focus is the calling thread's: another thread's window cannot
    // take it from here.
    if (w->Queue.get() != &CurrentQueue()) {
      SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
      return nullptr;
    }
  }
  return SetFocusImpl(w);
}

HWND GetFocus() { return CurrentQueue().Focus; }

HWND SetActiveWindow(HWND hwnd) {
  TThreadQueue& q = CurrentQueue();
  HWND previous = q.Active;
  TWnd* w = nullptr;
  if (hwnd) {
    w = GetWnd(hwnd);
    if (!w) return nullptr;
    if (w->IsChild() || w->IsRoot()) return previous;
    if (w->Queue.get() != &q) {
      SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
      return nullptr;
    }
  }
  SetActiveImpl(w, false);
  return previous;
}

HWND GetActiveWindow() { return CurrentQueue().Active; }

BOOL SetForegroundWindow(HWND hwnd) {
  TWnd* w = GetWnd(hwnd);
  if (!w || w->IsRoot()) return FALSE;
  w = TopLevelOf(w);
  if (w->Queue.get() != &CurrentQueue()) {
    // Its own thread activates it when it next looks at its queue.
    g_foreground = w->Handle;
    return RunOnOwner(
               w->Handle,
               [](TWnd* t) -> LRESULT {
                 SetActiveImpl(t, false);
                 if (GetWndNoError(t->Handle) && t->Native) NativeActivate(t);
                 return TRUE;
               },
               false)
               ? TRUE
               : FALSE;
  }
  SetActiveImpl(w, false);
  if (GetWndNoError(w->Handle) && w->Native) NativeActivate(w);
  return TRUE;
}

HWND GetForegroundWindow() { return g_foreground; }
