// Input: native (or injected) input waits in the queue of the thread it
// belongs to and becomes a message when retrieved: hit testing through the
// WM_NCHITTEST chain (HTTRANSPARENT passes on to the window below), client
// and non-client messages, double clicks, WM_MOUSEACTIVATE, WM_SETCURSOR,
// the mouse and keyboard hooks, capture, mouse tracking and the cursor.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/backend/backend.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/threads.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_native.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

std::mutex g_cursorLock;
POINT g_cursorPos{};
HCURSOR g_cursor = nullptr;
int g_showCount = 0;
bool g_clipSet = false;
RECT g_clip{};
std::atomic<DWORD> g_captureThread{0};

constexpr uintptr_t kSystemCursorBase = 0x80000;

// Whether a screen point is inside a window's rectangle and region, given
// where the rectangle lies on the screen.
bool InShapeAt(const TWnd* w, const RECT& r, POINT screen) {
  if (!r.Contains(screen)) return false;
  if (w->WindowRgn && !PtInRegion(w->WindowRgn, screen.X - r.Left, screen.Y - r.Top)) return false;
  return true;
}

bool InWindowShape(const TWnd* w, POINT screen) { return InShapeAt(w, WindowScreenRect(w), screen); }

// Windows under a point, the deepest first: for each window, its children
// (top to bottom, each with its own children first) come before it. The
// parent's client origin on the screen is carried down, so that no level
// walks up to the screen again.
void ChildrenAt(TWnd* parent, POINT origin, POINT screen, std::vector<TWnd*>& out) {
  if (parent->Style & WS_MINIMIZE) return;
  if (!RECT(origin.X, origin.Y, origin.X + parent->Client.Width(), origin.Y + parent->Client.Height()).Contains(screen))
    return;
  for (TWnd* c : parent->Children) {
    if (!c->Visible()) continue;
    // A disabled child passes the input to its parent.
    if (c->IsChild() && (c->Style & WS_DISABLED)) continue;
    if ((c->ExStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT)) continue;
    if (!InShapeAt(c, OffsetR(c->Window, origin.X, origin.Y), screen)) continue;
    ChildrenAt(c, POINT(origin.X + c->Client.Left, origin.Y + c->Client.Top), screen, out);
    out.push_back(c);
  }
}

std::vector<TWnd*> WindowsAt(POINT screen) {
  std::vector<TWnd*> out;
  for (TWnd* t : TChildSnapshot(Desktop())) {
    if (!t->Visible()) continue;
    if ((t->ExStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT)) continue;
    if (!InWindowShape(t, screen)) continue;
    // Nothing inside a disabled top-level window takes the mouse: it is
    // hit itself, as HTERROR.
    if (!(t->Style & WS_DISABLED)) ChildrenAt(t, ClientScreenOrigin(t), screen, out);
    out.push_back(t);
  }
  return out;
}

UINT ButtonMessage(int button, bool down) {
  switch (button) {
    case mbRight_: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case mbMiddle_: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    case mbX1_:
    case mbX2_: return down ? WM_XBUTTONDOWN : WM_XBUTTONUP;
    default: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  }
}

UINT ButtonVk(int button) {
  switch (button) {
    case mbRight_: return VK_RBUTTON;
    case mbMiddle_: return VK_MBUTTON;
    case mbX1_: return VK_XBUTTON1;
    case mbX2_: return VK_XBUTTON2;
    default: return VK_LBUTTON;
  }
}

WPARAM FlagsWithButton(const TThreadQueue& q, int button, bool down) {
  WPARAM f = MouseKeyFlags(q);
  WPARAM bit = 0;
  switch (button) {
    case mbRight_: bit = MK_RBUTTON; break;
    case mbMiddle_: bit = MK_MBUTTON; break;
    case mbX1_: bit = MK_XBUTTON1; break;
    case mbX2_: bit = MK_XBUTTON2; break;
    default: bit = MK_LBUTTON; break;
  }
  return down ? (f | bit) : (f & ~bit);
}

bool IsDown(UINT m) {
  return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_XBUTTONDOWN;
}

void PostLeave(TThreadQueue& q) {
  TMouseTrack t = q.Track;
  q.Track = TMouseTrack();
  KillSystemTimer(t.Hwnd, 0xFFF1);
  if (TWnd* w = GetWndNoError(t.Hwnd)) {
    if (t.Flags & TME_LEAVE) PostTo(w->Queue, t.Hwnd, (t.Flags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
  }
}

void StartHover(TThreadQueue& q, POINT screen) {
  SIZE s = HoverSize();
  q.Track.HoverRect = RECT(screen.X - s.cx / 2, screen.Y - s.cy / 2, screen.X + (s.cx + 1) / 2 + 1, screen.Y + (s.cy + 1) / 2 + 1);
  HWND h = q.Track.Hwnd;
  SetSystemTimer(h, 0xFFF1, q.Track.HoverTime, [h] {
    TThreadQueue& tq = CurrentQueue();
    KillSystemTimer(h, 0xFFF1);
    if (tq.Track.Hwnd != h || !(tq.Track.Flags & TME_HOVER)) return;
    POINT p = CursorPosition();
    if (!tq.Track.HoverRect.Contains(p)) return;
    tq.Track.Flags &= ~static_cast<DWORD>(TME_HOVER);
    TWnd* w = GetWndNoError(h);
    if (!w) return;
    if (tq.Track.Flags & TME_NONCLIENT) {
      PostTo(w->Queue, h, WM_NCMOUSEHOVER, static_cast<WPARAM>(tq.MouseHit), MAKELPARAM(p.X, p.Y));
    } else {
      POINT o = ClientScreenOrigin(w);
      PostTo(w->Queue, h, WM_MOUSEHOVER, MouseKeyFlags(tq), MAKELPARAM(p.X - o.X, p.Y - o.Y));
    }
    if (tq.Track.Flags == 0) tq.Track = TMouseTrack();
  });
}

// After a retrieved move: leave and hover tracking.
void TrackMove(TThreadQueue& q, TWnd* target, int hit, POINT screen) {
  q.MouseWindow = target ? target->Handle : nullptr;
  q.MouseHit = hit;
  if (!q.Track.Hwnd) return;
  bool nc = (q.Track.Flags & TME_NONCLIENT) != 0;
  bool inside = target && target->Handle == q.Track.Hwnd && (nc ? hit != HTCLIENT : hit == HTCLIENT);
  if (!inside) {
    PostLeave(q);
    return;
  }
  if ((q.Track.Flags & TME_HOVER) && !q.Track.HoverRect.Contains(screen)) StartHover(q, screen);
}

// The queue that native input at a point belongs to: the capturing
// thread, else the thread of the window under the point, else the main
// thread.
std::shared_ptr<TThreadQueue> MouseQueue(POINT screen) {
  if (DWORD t = g_captureThread.load())
    if (auto q = QueueOfThread(t)) return q;
  for (TWnd* t : TChildSnapshot(Desktop()))
    if (t->Visible() && InWindowShape(t, screen) && t->Queue) return t->Queue;
  if (auto q = QueueOfThread(MainThreadID)) return q;
  return CurrentQueuePtr();
}

std::shared_ptr<TThreadQueue> KeyQueue() {
  if (TWnd* fg = GetWndNoError(GetForegroundWindow()))
    if (fg->Queue) return fg->Queue;
  if (auto q = QueueOfThread(MainThreadID)) return q;
  return CurrentQueuePtr();
}

}  // namespace

POINT CursorPosition() {
  std::lock_guard<std::mutex> g(g_cursorLock);
  return g_cursorPos;
}

void SetCursorPosition(POINT p) {
  std::lock_guard<std::mutex> g(g_cursorLock);
  if (g_clipSet) {
    p.X = std::clamp(p.X, g_clip.Left, g_clip.Right - 1);
    p.Y = std::clamp(p.Y, g_clip.Top, g_clip.Bottom - 1);
  }
  g_cursorPos = p;
}

HCURSOR SystemCursor(LPCSTR id) {
  return reinterpret_cast<HCURSOR>(kSystemCursorBase + reinterpret_cast<uintptr_t>(id));
}

bool IsSystemCursor(HCURSOR c, uintptr_t* id) {
  uintptr_t v = reinterpret_cast<uintptr_t>(c);
  if (v < kSystemCursorBase + 32512 || v > kSystemCursorBase + 32651) return false;
  if (id) *id = v - kSystemCursorBase;
  return true;
}

void PushRawInput(const TRawInput& in) {
  static const bool trace = TraceOn("input");
  if (trace) Trace("input", "raw %d at %d,%d vk %u", in.Kind, in.Pt.X, in.Pt.Y, in.Vk);
  bool key = in.Kind == rkKeyDown || in.Kind == rkKeyUp;
  std::shared_ptr<TThreadQueue> q = key ? KeyQueue() : MouseQueue(in.Pt);
  {
    std::lock_guard<std::mutex> g(q->Lock);
    // Moves fold into the last one while nothing else came after it.
    if (in.Kind == rkMouseMove && !q->Input.empty() && q->Input.back().Kind == rkMouseMove)
      q->Input.back() = in;
    else
      q->Input.push_back(in);
  }
  q->Wake();
}

namespace {

// The display tells which modifier keys are held with each event: a
// modifier we still believe down but the display says is up was released
// where we could not see it (in a window destroyed meanwhile, or in
// another program). Its release goes first, as a change of state only.
void ReleaseModifiersNotHeld(const rtl::backend::TNativeEvent& e) {
  if (e.Modifiers < 0) return;
  struct TModifier {
    int Flag;
    UINT Generic, Left, Right;
  };
  static const TModifier kModifiers[] = {{rtl::backend::nmShift, VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                                         {rtl::backend::nmControl, VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                                         {rtl::backend::nmAlt, VK_MENU, VK_LMENU, VK_RMENU}};
  const bool key = e.Kind == rtl::backend::neKeyDown || e.Kind == rtl::backend::neKeyUp;
  for (const TModifier& m : kModifiers) {
    if (e.Modifiers & m.Flag) continue;
    // The event of the modifier itself tells of it on its own.
    if (key && (e.Vk == m.Generic || e.Vk == m.Left || e.Vk == m.Right)) continue;
    for (UINT vk : {m.Left, m.Right}) {
      if (!AsyncKeyDown(vk)) continue;
      TRawInput up;
      up.Kind = rkKeyUp;
      up.Vk = vk;
      up.Scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
      up.Extended = vk == VK_RCONTROL || vk == VK_RMENU;
      up.Time = e.Time ? e.Time : static_cast<DWORD>(ClockNow());
      up.StateOnly = true;
      SetAsyncKey(vk, false);
      PushRawInput(up);
    }
  }
}

}  // namespace

void HandleNativeInput(const rtl::backend::TNativeEvent& e) {
  ReleaseModifiersNotHeld(e);
  TRawInput in;
  in.Time = e.Time ? e.Time : static_cast<DWORD>(ClockNow());
  in.Pt = e.Pos;
  switch (e.Kind) {
    case rtl::backend::neMouseMove:
      in.Kind = rkMouseMove;
      SetCursorPosition(e.Pos);
      in.Pt = CursorPosition();
      break;
    case rtl::backend::neMouseDown:
    case rtl::backend::neMouseUp:
      in.Kind = e.Kind == rtl::backend::neMouseDown ? rkButtonDown : rkButtonUp;
      in.Button = e.Button;
      SetCursorPosition(e.Pos);
      in.Pt = CursorPosition();
      SetAsyncKey(ButtonVk(e.Button), in.Kind == rkButtonDown);
      break;
    case rtl::backend::neWheel:
      in.Kind = e.Horizontal ? rkHWheel : rkWheel;
      in.Delta = e.Delta;
      break;
    case rtl::backend::neKeyDown:
    case rtl::backend::neKeyUp:
      in.Kind = e.Kind == rtl::backend::neKeyDown ? rkKeyDown : rkKeyUp;
      in.Vk = e.Vk;
      in.Scan = e.Scan ? e.Scan : MapVirtualKeyA(e.Vk, MAPVK_VK_TO_VSC);
      in.Extended = e.Extended;
      in.Repeat = e.AutoRepeat;
      in.Text = e.Text;
      in.HasText = e.HasText;
      SetAsyncKey(e.Vk, in.Kind == rkKeyDown);
      break;
    default:
      return;
  }
  PushRawInput(in);
}

TWnd* HitTestPoint(POINT screen, int* hit, TWnd* onlyThread) {
  TThreadQueue& q = onlyThread && onlyThread->Queue ? *onlyThread->Queue : CurrentQueue();
  for (TWnd* w : WindowsAt(screen)) {
    if (w->Queue.get() != &q) {
      *hit = HTCLIENT;
      return w;
    }
    if (w->IsTopLevel() && (w->Style & WS_DISABLED)) {
      *hit = HTERROR;
      return w;
    }
    HWND h = w->Handle;
    LRESULT r = SendToWnd(w, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
    if (!GetWndNoError(h)) continue;
    if (r != HTTRANSPARENT) {
      *hit = static_cast<int>(r);
      return w;
    }
  }
  *hit = HTNOWHERE;
  return nullptr;
}

namespace {

// Turns raw mouse input into the message it stands for; false when it goes
// nowhere.
bool MouseToMessage(TThreadQueue& q, const TRawInput& in, TWnd*& target, int& hit, MSG& m, UINT& clientMsg) {
  hit = HTCLIENT;
  target = nullptr;
  if (in.Kind == rkWheel || in.Kind == rkHWheel) {
    target = GetWndNoError(q.Focus);
    if (!target) target = GetWndNoError(q.Active);
    if (!target) return false;
    clientMsg = in.Kind == rkWheel ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
    m = MSG{target->Handle, clientMsg,
            MAKEWPARAM(static_cast<WORD>(MouseKeyFlags(q)), static_cast<WORD>(static_cast<SHORT>(in.Delta))),
            MAKELPARAM(in.Pt.X, in.Pt.Y), in.Time, in.Pt};
    return true;
  }
  bool captured = false;
  if (TWnd* c = GetWndNoError(q.Capture)) {
    target = c;
    captured = true;
  } else {
    target = HitTestPoint(in.Pt, &hit, nullptr);
    if (!target) return false;
  }
  bool down = in.Kind == rkButtonDown;
  WPARAM flags;
  if (in.Kind == rkMouseMove) {
    clientMsg = WM_MOUSEMOVE;
    flags = MouseKeyFlags(q);
  } else {
    clientMsg = ButtonMessage(in.Button, down);
    flags = FlagsWithButton(q, in.Button, down);
  }
  UINT msg = clientMsg;
  WPARAM xbutton = 0;
  if (in.Button == mbX1_ || in.Button == mbX2_) xbutton = in.Button == mbX1_ ? XBUTTON1 : XBUTTON2;
  if (down) {
    // A second press close enough in time and place is a double click:
    // always in the non-client area, in the client area for CS_DBLCLKS.
    int dx = in.Pt.X - q.LastClickPt.X, dy = in.Pt.Y - q.LastClickPt.Y;
    if (q.LastClickMsg == clientMsg && q.LastClickHwnd == target->Handle &&
        in.Time - q.LastClickTime <= DoubleClickTime() && std::abs(dx) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        std::abs(dy) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2 &&
        (hit != HTCLIENT || (target->Class->Style & CS_DBLCLKS)))
      msg = clientMsg + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
  }
  if (captured || hit == HTCLIENT) {
    POINT o = ClientScreenOrigin(target);
    m = MSG{target->Handle, msg, xbutton ? MAKEWPARAM(static_cast<WORD>(flags), static_cast<WORD>(xbutton)) : flags,
            MAKELPARAM(in.Pt.X - o.X, in.Pt.Y - o.Y), in.Time, in.Pt};
  } else {
    UINT nc = msg - (WM_MOUSEMOVE - WM_NCMOUSEMOVE);
    m = MSG{target->Handle, nc, xbutton ? MAKEWPARAM(static_cast<WORD>(hit), static_cast<WORD>(xbutton)) : static_cast<WPARAM>(hit),
            MAKELPARAM(in.Pt.X, in.Pt.Y), in.Time, in.Pt};
  }
  return true;
}

// A press in a child's client area tells its ancestors, the nearest first,
// where it happened (in each one's client coordinates); a window with
// WS_EX_NOPARENTNOTIFY does not tell its parent. False when the pressed
// window went away meanwhile.
bool NotifyParentsOfPress(TWnd* target, UINT press, WPARAM xbutton, POINT screen) {
  HWND th = target->Handle;
  HWND cur = th;
  for (TWnd* w = target; w && w->IsChild() && !(w->ExStyle & WS_EX_NOPARENTNOTIFY);) {
    TWnd* parent = w->Parent;
    if (!parent || parent->IsRoot()) break;
    cur = parent->Handle;
    POINT o = ClientScreenOrigin(parent);
    SendToWnd(parent, WM_PARENTNOTIFY, MAKEWPARAM(press, xbutton), MAKELPARAM(screen.X - o.X, screen.Y - o.Y));
    w = GetWndNoError(cur);
  }
  return GetWndNoError(th) != nullptr;
}

bool MatchFilter(HWND filter, UINT first, UINT last, const MSG& m) {
  if (filter && filter != reinterpret_cast<HWND>(static_cast<intptr_t>(-1)) && m.hwnd != filter &&
      !(m.hwnd && IsChild(filter, m.hwnd)))
    return false;
  if (filter == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) return false;
  if (!first && !last) return true;
  if (first <= last) return m.message >= first && m.message <= last;
  return m.message >= first || m.message <= last;
}

void RemoveInputAt(TThreadQueue& q, size_t index) {
  std::lock_guard<std::mutex> g(q.Lock);
  if (index < q.Input.size()) q.Input.erase(q.Input.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace

bool RetrieveInput(TThreadQueue& q, HWND filterHwnd, UINT filterMin, UINT filterMax, UINT flags, MSG& msg) {
  const bool remove = (flags & PM_REMOVE) != 0;
  for (size_t i = 0;;) {
    TRawInput in;
    {
      std::lock_guard<std::mutex> g(q.Lock);
      if (i >= q.Input.size()) return false;
      in = q.Input[i];
    }
    if (in.Kind == rkLeave) {
      // The pointer left the application's windows.
      RemoveInputAt(q, i);
      if (!q.Capture) TrackMove(q, nullptr, HTNOWHERE, in.Pt);
      continue;
    }
    if (in.Kind == rkKeyDown || in.Kind == rkKeyUp) {
      if (in.StateOnly) {
        RemoveInputAt(q, i);
        KeyStateFollows(q, in);
        continue;
      }
      MSG m;
      if (!KeyToMessage(q, in, m)) {
        // No window takes the key (the one that had the focus went away):
        // the keyboard's state still follows it, or a modifier released
        // now would stay held for the next window.
        RemoveInputAt(q, i);
        if (remove) KeyStateFollows(q, in);
        continue;
      }
      if (!MatchFilter(filterHwnd, filterMin, filterMax, m)) {
        ++i;
        continue;
      }
      if (HasHooks(WH_KEYBOARD) &&
          CallHooks(WH_KEYBOARD, remove ? HC_ACTION : HC_NOREMOVE, m.wParam, m.lParam)) {
        // A hook that answers non-zero eats the key; a key it eats going up
        // is still up.
        RemoveInputAt(q, i);
        if (in.Kind == rkKeyUp) KeyStateFollows(q, in);
        if (HasHooks(WH_CBT)) CallHooks(WH_CBT, HCBT_KEYSKIPPED, m.wParam, m.lParam);
        continue;
      }
      if (remove) {
        RemoveInputAt(q, i);
        KeyRetrieved(q, in, m);
      }
      msg = m;
      return true;
    }

    TWnd* target = nullptr;
    int hit = HTCLIENT;
    MSG m;
    UINT clientMsg = 0;
    if (!MouseToMessage(q, in, target, hit, m, clientMsg)) {
      RemoveInputAt(q, i);
      continue;
    }
    HWND th = target->Handle;
    if (hit == HTERROR) {
      // A disabled window: the cursor only (and a beep for a click).
      RemoveInputAt(q, i);
      SendToWnd(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(th), MAKELPARAM(HTERROR, clientMsg));
      continue;
    }
    if (!MatchFilter(filterHwnd, filterMin, filterMax, m)) {
      ++i;
      continue;
    }
    if (HasHooks(WH_MOUSE)) {
      MOUSEHOOKSTRUCTEX mh{};
      mh.pt = in.Pt;
      mh.hwnd = th;
      mh.wHitTestCode = static_cast<UINT>(hit);
      mh.dwExtraInfo = in.ExtraInfo;
      if (clientMsg == WM_MOUSEWHEEL || clientMsg == WM_MOUSEHWHEEL)
        mh.mouseData = static_cast<DWORD>(static_cast<WORD>(static_cast<SHORT>(in.Delta))) << 16;
      else if (in.Button == mbX1_ || in.Button == mbX2_)
        mh.mouseData = static_cast<DWORD>(in.Button == mbX1_ ? XBUTTON1 : XBUTTON2) << 16;
      if (CallHooks(WH_MOUSE, remove ? HC_ACTION : HC_NOREMOVE, m.message, reinterpret_cast<LPARAM>(&mh))) {
        // A hook that answers non-zero eats the event.
        RemoveInputAt(q, i);
        if (HasHooks(WH_CBT)) CallHooks(WH_CBT, HCBT_CLICKSKIPPED, m.message, reinterpret_cast<LPARAM>(&mh));
        continue;
      }
    }
    if (!remove) {
      msg = m;
      return true;
    }
    RemoveInputAt(q, i);
    q.LastExtraInfo = in.ExtraInfo;
    if (in.Kind == rkButtonDown || in.Kind == rkButtonUp) UpdateSyncKeyState(q, ButtonVk(in.Button), in.Kind == rkButtonDown);
    if (IsDown(clientMsg)) {
      if (m.message == clientMsg || m.message == clientMsg - (WM_MOUSEMOVE - WM_NCMOUSEMOVE)) {
        q.LastClickMsg = clientMsg;
        q.LastClickHwnd = th;
        q.LastClickTime = in.Time;
        q.LastClickPt = in.Pt;
      } else {
        q.LastClickMsg = 0;  // a double click: the next press starts anew
      }
    }
    if (IsDown(clientMsg) && m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST &&
        !NotifyParentsOfPress(target, clientMsg, HIWORD(m.wParam), in.Pt))
      continue;
    bool captured = q.Capture != nullptr;
    bool eat = false;
    if (IsDown(clientMsg) && !captured) {
      TWnd* top = TopLevelOf(target);
      if (top && top->Handle != q.Active && !top->IsRoot()) {
        LRESULT r = SendToWnd(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->Handle), MAKELPARAM(hit, clientMsg));
        if (!GetWndNoError(th)) continue;
        if (r == MA_NOACTIVATEANDEAT || r == MA_ACTIVATEANDEAT) eat = true;
        if ((r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT || r == 0) && GetWndNoError(top->Handle) &&
            !(top->ExStyle & WS_EX_NOACTIVATE) && !(top->Style & WS_DISABLED))
          SetActiveImpl(top, true);
        if (!GetWndNoError(th)) continue;
      }
    }
    if (!captured && clientMsg != WM_MOUSEWHEEL && clientMsg != WM_MOUSEHWHEEL) {
      SendToWnd(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(th), MAKELPARAM(hit, clientMsg));
      if (!GetWndNoError(th)) continue;
    }
    if (clientMsg == WM_MOUSEMOVE && !captured) TrackMove(q, target, hit, in.Pt);
    if (eat) continue;
    msg = m;
    return true;
  }
}

WPARAM MouseKeyFlags(const TThreadQueue& q) {
  WPARAM f = 0;
  if (q.KeyState[VK_LBUTTON] & 0x80) f |= MK_LBUTTON;
  if (q.KeyState[VK_RBUTTON] & 0x80) f |= MK_RBUTTON;
  if (q.KeyState[VK_MBUTTON] & 0x80) f |= MK_MBUTTON;
  if (q.KeyState[VK_XBUTTON1] & 0x80) f |= MK_XBUTTON1;
  if (q.KeyState[VK_XBUTTON2] & 0x80) f |= MK_XBUTTON2;
  if (q.KeyState[VK_SHIFT] & 0x80) f |= MK_SHIFT;
  if (q.KeyState[VK_CONTROL] & 0x80) f |= MK_CONTROL;
  return f;
}

void CheckMouseTracking(TThreadQueue& q) {
  // Windows that moved under a resting pointer get a move, so that leave
  // and hover tracking see the new picture.
  if (!q.Track.Hwnd) return;
  TRawInput in;
  in.Kind = rkMouseMove;
  in.Pt = CursorPosition();
  in.Time = static_cast<DWORD>(ClockNow());
  {
    std::lock_guard<std::mutex> g(q.Lock);
    if (!q.Input.empty() && q.Input.back().Kind == rkMouseMove) return;
    q.Input.push_back(in);
  }
  q.Wake();
}

void DefSetCursor(TWnd* w, int hit, UINT mouseMsg) {
  LPCSTR id = IDC_ARROW;
  switch (hit) {
    case HTERROR:
      if (IsDown(mouseMsg)) {
        MessageBeep(0);
        // A click on a window disabled by a modal one brings that one up.
        if (HWND popup = GetWindow(w->Handle, GW_ENABLEDPOPUP)) SetForegroundWindow(popup);
      }
      return;
    case HTCLIENT:
      if (w->Class->Cursor) SetCursor(w->Class->Cursor);
      return;
    case HTLEFT:
    case HTRIGHT: id = IDC_SIZEWE; break;
    case HTTOP:
    case HTBOTTOM: id = IDC_SIZENS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
    case HTGROWBOX: id = IDC_SIZENWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: id = IDC_SIZENESW; break;
    default: break;
  }
  SetCursor(SystemCursor(id));
}

void NoteCaptureThread(DWORD thread) { g_captureThread = thread; }

}  // namespace rtl::detail

using namespace rtl::detail;

// ---- Capture --------------------------------------------------------------------

HWND SetCapture(HWND hwnd) {
  TThreadQueue& q = CurrentQueue();
  HWND previous = q.Capture;
  TWnd* w = nullptr;
  if (hwnd) {
    w = GetWnd(hwnd);
    if (!w) return nullptr;
    if (w->Queue.get() != &q) {
      SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
      return nullptr;
    }
  }
  q.Capture = hwnd;
  q.CaptureKind = 0;
  NoteCaptureThread(hwnd ? q.ThreadId : 0);
  if (previous && previous != hwnd)
    if (TWnd* p = GetWndNoError(previous)) SendToWnd(p, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  if (GetWndNoError(hwnd) && q.Capture == hwnd) NativeCaptureChanged(w);
  return previous;
}

HWND GetCapture() { return CurrentQueue().Capture; }

BOOL ReleaseCapture() {
  TThreadQueue& q = CurrentQueue();
  HWND previous = q.Capture;
  if (!previous) return TRUE;
  q.Capture = nullptr;
  q.CaptureKind = 0;
  NoteCaptureThread(0);
  NativeCaptureChanged(nullptr);
  if (TWnd* p = GetWndNoError(previous)) SendToWnd(p, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

// ---- Mouse tracking ---------------------------------------------------------------

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT event) {
  if (!event || event->cbSize != sizeof(TRACKMOUSEEVENT)) {
    SetLastError(87);
    return FALSE;
  }
  TThreadQueue& q = CurrentQueue();
  if (event->dwFlags & TME_QUERY) {
    event->dwFlags = q.Track.Flags;
    event->hwndTrack = q.Track.Hwnd;
    event->dwHoverTime = q.Track.HoverTime;
    return TRUE;
  }
  TWnd* w = GetWnd(event->hwndTrack);
  if (!w) return FALSE;
  DWORD kinds = event->dwFlags & (TME_HOVER | TME_LEAVE);
  if (event->dwFlags & TME_CANCEL) {
    if (q.Track.Hwnd == event->hwndTrack) {
      q.Track.Flags &= ~kinds;
      if (kinds & TME_HOVER) KillSystemTimer(q.Track.Hwnd, 0xFFF1);
      if (!(q.Track.Flags & (TME_HOVER | TME_LEAVE))) q.Track = TMouseTrack();
    }
    return TRUE;
  }
  bool nc = (event->dwFlags & TME_NONCLIENT) != 0;
  POINT p = CursorPosition();
  int hit = HTNOWHERE;
  TWnd* under = q.MouseWindow ? GetWndNoError(q.MouseWindow) : nullptr;
  if (under) hit = q.MouseHit;
  if (!under || under != w) under = HitTestPoint(p, &hit, w);
  bool inside = under == w && (nc ? hit != HTCLIENT : hit == HTCLIENT);
  if (q.Track.Hwnd && q.Track.Hwnd != event->hwndTrack) PostLeave(q);
  if (!inside) {
    // Not over the window (or the area) now: the leave comes at once.
    if (kinds & TME_LEAVE) PostTo(w->Queue, event->hwndTrack, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  q.Track.Hwnd = event->hwndTrack;
  q.Track.Flags = kinds | (nc ? TME_NONCLIENT : 0);
  q.Track.HoverTime = event->dwHoverTime == HOVER_DEFAULT ? HoverTimeDefault() : event->dwHoverTime;
  q.MouseWindow = under->Handle;
  q.MouseHit = hit;
  if (kinds & TME_HOVER) StartHover(q, p);
  return TRUE;
}

BOOL DragDetect(HWND hwnd, POINT point) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return FALSE;
  // Runs its own loop until the button goes up or the pointer leaves the
  // drag rectangle.
  POINT screen = point;
  ClientToScreen(hwnd, &screen);
  int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
  RECT drag(screen.X - cx, screen.Y - cy, screen.X + cx + 1, screen.Y + cy + 1);
  SetCapture(hwnd);
  MSG m;
  for (;;) {
    while (PeekMessageA(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
      if (m.message == WM_LBUTTONUP || m.message == WM_RBUTTONUP) {
        ReleaseCapture();
        return FALSE;
      }
      if (m.message == WM_MOUSEMOVE && !drag.Contains(m.pt)) {
        ReleaseCapture();
        return TRUE;
      }
    }
    if (PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) && m.message == WM_KEYDOWN &&
        m.wParam == VK_ESCAPE)
      break;
    if (GetCapture() != hwnd) return FALSE;
    WaitMessage();
  }
  ReleaseCapture();
  return FALSE;
}

// ---- Cursors ------------------------------------------------------------------------

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (!instance && IS_INTRESOURCE(name)) {
    uintptr_t id = reinterpret_cast<uintptr_t>(name);
    static const uintptr_t known[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                                      32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};
    for (uintptr_t k : known)
      if (k == id) return SystemCursor(name);
    SetLastError(1812);  // ERROR_RESOURCE_DATA_NOT_FOUND
    return nullptr;
  }
  return static_cast<HCURSOR>(LoadImageA(instance, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HCURSOR CreateCursor(HINSTANCE, int xHotSpot, int yHotSpot, int width, int height, const void* andPlane,
                     const void* xorPlane) {
  if (width <= 0 || height <= 0 || !andPlane || !xorPlane) {
    SetLastError(87);
    return nullptr;
  }
  // One monochrome bitmap holds the AND mask above the XOR mask.
  int stride = ((width + 15) / 16) * 2;
  std::vector<BYTE> bits(static_cast<size_t>(stride) * height * 2);
  std::memcpy(bits.data(), andPlane, static_cast<size_t>(stride) * height);
  std::memcpy(bits.data() + static_cast<size_t>(stride) * height, xorPlane, static_cast<size_t>(stride) * height);
  HBITMAP mask = CreateBitmap(width, height * 2, 1, 1, bits.data());
  if (!mask) return nullptr;
  ICONINFO ii{FALSE, static_cast<DWORD>(xHotSpot), static_cast<DWORD>(yHotSpot), mask, nullptr};
  HICON c = CreateIconIndirect(&ii);
  DeleteObject(mask);
  return c;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR previous;
  {
    std::lock_guard<std::mutex> g(g_cursorLock);
    previous = g_cursor;
    g_cursor = cursor;
  }
  if (previous != cursor) NativeCursorChanged();
  return previous;
}

HCURSOR GetCursor() {
  std::lock_guard<std::mutex> g(g_cursorLock);
  return g_cursor;
}

int ShowCursor(BOOL show) {
  int n;
  {
    std::lock_guard<std::mutex> g(g_cursorLock);
    n = show ? ++g_showCount : --g_showCount;
  }
  NativeCursorChanged();
  return n;
}

namespace rtl::detail {
bool CursorHidden() {
  std::lock_guard<std::mutex> g(g_cursorLock);
  return g_showCount < 0;
}
}  // namespace rtl::detail

BOOL GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  *point = CursorPosition();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  SetCursorPosition(POINT(x, y));
  POINT p = CursorPosition();
  NativeSetCursorPos(p);
  // The pointer moved: a move comes as if the user had moved it.
  rtl::backend::TNativeEvent e;
  e.Kind = rtl::backend::neMouseMove;
  e.Pos = p;
  HandleNativeInput(e);
  return TRUE;
}

BOOL ClipCursor(const RECT* rect) {
  std::lock_guard<std::mutex> g(g_cursorLock);
  if (!rect) {
    g_clipSet = false;
    return TRUE;
  }
  g_clip = *rect;
  g_clipSet = true;
  return TRUE;
}

BOOL GetClipCursor(LPRECT rect) {
  if (!rect) return FALSE;
  std::lock_guard<std::mutex> g(g_cursorLock);
  if (g_clipSet) {
    *rect = g_clip;
  } else {
    rect->Left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    rect->Top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    rect->Right = rect->Left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    rect->Bottom = rect->Top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  }
  return TRUE;
}
