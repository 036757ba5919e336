// The up-down control ("msctls_updown32"): two arrow buttons that step a
// position within a range, repeat while held, may keep an integer in a
// buddy window and take the buddy's arrow keys.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/rtl/threads.h"
#include "platform/win/comctl/commctrl_controls.h"
#include "platform/win/user/ctl_common.h"

namespace rtl::detail {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;

struct TUpDownData : TCtlBase {
  int Min = 100;  // documented defaults: the up arrow goes toward 0
  int Max = 0;
  int Pos = 0;
  HWND Buddy = nullptr;
  int Base = 10;
  std::vector<UDACCEL> Accels{{0, 1}};
  int Pressed = 0;  // +1 the up (right) arrow, -1 the down (left) arrow
  bool Tracking = false;
  DWORD PressedTick = 0;
};

bool Horizontal(HWND h) { return (CtlStyle(h) & UDS_HORZ) != 0; }

int Lo(TUpDownData* d) { return std::min(d->Min, d->Max); }
int Hi(TUpDownData* d) { return std::max(d->Min, d->Max); }

AnsiString BuddyText(HWND h, TUpDownData* d, int v) {
  if (d->Base == 16) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(v) & 0xFFFF);
    return buf;
  }
  const AnsiString digits = std::to_string(std::abs(v));
  const bool groups = !(CtlStyle(h) & UDS_NOTHOUSANDS);
  AnsiString s = v < 0 ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (groups && i > 0 && (digits.size() - i) % 3 == 0) s += ',';
    s += digits[i];
  }
  return s;
}

void UpdateBuddy(HWND h, TUpDownData* d) {
  if (!d->Buddy || !(CtlStyle(h) & UDS_SETBUDDYINT)) return;
  SetWindowTextA(d->Buddy, BuddyText(h, d, d->Pos).c_str());
}

// The buddy's text as a position; false when it is not a number in range.
bool ReadBuddy(HWND h, TUpDownData* d, int& pos) {
  if (!d->Buddy || !(CtlStyle(h) & UDS_SETBUDDYINT)) {
    pos = d->Pos;
    return true;
  }
  AnsiString s = CtlText(d->Buddy);
  s.erase(std::remove(s.begin(), s.end(), ','), s.end());
  char* end = nullptr;
  long v = std::strtol(s.c_str(), &end, d->Base == 16 ? 16 : 10);
  if (s.empty() || !end || *end || v < Lo(d) || v > Hi(d)) {
    pos = d->Pos;
    return false;
  }
  pos = static_cast<int>(v);
  return true;
}

int Increment(TUpDownData* d) {
  DWORD held = d->Tracking ? (GetTickCount() - d->PressedTick) / 1000 : 0;
  int inc = 1;
  for (const UDACCEL& a : d->Accels)
    if (held >= a.nSec) inc = static_cast<int>(a.nInc);
  return inc;
}

// One step in a direction (+1 toward the upper end); the parent may veto.
void Step(HWND h, TUpDownData* d, int dir) {
  int pos;
  ReadBuddy(h, d, pos);
  d->Pos = pos;
  int delta = Increment(d) * dir * (d->Max >= d->Min ? 1 : -1);
  NMUPDOWN nm{};
  nm.iPos = d->Pos;
  nm.iDelta = delta;
  if (CtlSendNotify(h, nm.hdr, UDN_DELTAPOS)) return;
  if (!IsWindow(h)) return;
  int next = d->Pos + nm.iDelta;
  if (next > Hi(d) || next < Lo(d)) {
    if (CtlStyle(h) & UDS_WRAP)
      next = next > Hi(d) ? Lo(d) : Hi(d);
    else
      next = std::clamp(next, Lo(d), Hi(d));
  }
  if (next != d->Pos) {
    d->Pos = next;
    UpdateBuddy(h, d);
  }
  if (HWND p = CtlNotifyTarget(h))
    SendMessageA(p, Horizontal(h) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, d->Pos),
                 reinterpret_cast<LPARAM>(h));
}

void EndScroll(HWND h) {
  if (HWND p = CtlNotifyTarget(h))
    SendMessageA(p, Horizontal(h) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(h));
}

RECT Half(HWND h, int dir) {
  RECT c;
  GetClientRect(h, &c);
  if (Horizontal(h)) {
    int mid = c.Width() / 2;
    return dir > 0 ? RECT(mid, 0, c.Right, c.Bottom) : RECT(0, 0, mid, c.Bottom);
  }
  int mid = c.Height() / 2;
  return dir > 0 ? RECT(0, 0, c.Right, mid) : RECT(0, mid, c.Right, c.Bottom);
}

void Paint(HWND h, TUpDownData* d, HDC dc) {
  bool enabled = IsWindowEnabled(h);
  for (int dir : {1, -1}) {
    RECT r = Half(h, dir);
    UINT kind = Horizontal(h) ? (dir > 0 ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT) : (dir > 0 ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
    UINT state = (d->Pressed == dir ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE);
    DrawFrameControl(dc, &r, DFC_SCROLL, kind | state);
  }
}

// The arrow keys of the buddy step the control.
LRESULT BuddySubclass(HWND b, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
  HWND h = reinterpret_cast<HWND>(ref);
  if (msg == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN) && IsWindow(h)) {
    if (TUpDownData* d = CtlData<TUpDownData>(h)) {
      Step(h, d, wParam == VK_UP ? 1 : -1);
      return 0;
    }
  }
  if (msg == WM_KEYUP && (wParam == VK_UP || wParam == VK_DOWN) && IsWindow(h)) EndScroll(h);
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(b, BuddySubclass, reinterpret_cast<UINT_PTR>(h));
  return DefSubclassProc(b, msg, wParam, lParam);
}

void Align(HWND h, TUpDownData* d) {
  DWORD style = CtlStyle(h);
  if (!d->Buddy || !(style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT))) return;
  RECT br, mine;
  GetWindowRect(d->Buddy, &br);
  GetWindowRect(h, &mine);
  HWND parent = GetParent(h);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&br), 2);
  int w = mine.Width();
  // The buddy gives up the room the control takes at its side.
  if (style & UDS_ALIGNRIGHT) {
    MoveWindow(d->Buddy, br.Left, br.Top, br.Width() - w, br.Height(), TRUE);
    MoveWindow(h, br.Right - w, br.Top, w, br.Height(), TRUE);
  } else {
    MoveWindow(d->Buddy, br.Left + w, br.Top, br.Width() - w, br.Height(), TRUE);
    MoveWindow(h, br.Left, br.Top, w, br.Height(), TRUE);
  }
}

HWND SetBuddy(HWND h, TUpDownData* d, HWND buddy) {
  HWND old = d->Buddy;
  if (old && IsWindow(old)) RemoveWindowSubclass(old, BuddySubclass, reinterpret_cast<UINT_PTR>(h));
  d->Buddy = buddy;
  if (buddy) {
    if (CtlStyle(h) & UDS_ARROWKEYS)
      SetWindowSubclass(buddy, BuddySubclass, reinterpret_cast<UINT_PTR>(h), reinterpret_cast<DWORD_PTR>(h));
    Align(h, d);
    UpdateBuddy(h, d);
  }
  return old;
}

}  // namespace

LRESULT UpDownWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  TUpDownData* d = CtlBegin<TUpDownData>(h, msg, wParam, lParam, result);
  if (!d) return result;
  if (CtlFontMessage(h, msg, wParam, lParam, result)) return result;
  if (LRESULT painted; CtlPaintMessage(h, msg, wParam, [&](HDC dc) { Paint(h, d, dc); }, painted)) return painted;
  switch (msg) {
    case WM_CREATE:
      if (CtlStyle(h) & UDS_AUTOBUDDY) SetBuddy(h, d, GetWindow(h, GW_HWNDPREV));
      return 0;
    case WM_DESTROY:
      if (d->Buddy && IsWindow(d->Buddy)) RemoveWindowSubclass(d->Buddy, BuddySubclass, reinterpret_cast<UINT_PTR>(h));
      return 0;
    case WM_ENABLE:
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      RECT up = Half(h, 1);
      d->Pressed = PtInRect(&up, p) ? 1 : -1;
      d->Tracking = true;
      d->PressedTick = GetTickCount();
      SetCapture(h);
      if (d->Buddy && GetFocus() != d->Buddy) SetFocus(d->Buddy);
      InvalidateRect(h, nullptr, FALSE);
      Step(h, d, d->Pressed);
      // Held down, the arrow repeats: first after a pause, then quicker.
      SetTimer(h, kRepeatTimer, 400, nullptr);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kRepeatTimer && d->Tracking) {
        SetTimer(h, kRepeatTimer, 100, nullptr);
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(h, &p);
        RECT r = Half(h, d->Pressed);
        if (PtInRect(&r, p)) Step(h, d, d->Pressed);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (d->Tracking) {
        d->Tracking = false;
        d->Pressed = 0;
        KillTimer(h, kRepeatTimer);
        if (msg == WM_LBUTTONUP && GetCapture() == h) ReleaseCapture();
        InvalidateRect(h, nullptr, FALSE);
        EndScroll(h);
      }
      return 0;
    case UDM_SETRANGE:
      d->Max = static_cast<SHORT>(LOWORD(lParam));
      d->Min = static_cast<SHORT>(HIWORD(lParam));
      d->Pos = std::clamp(d->Pos, Lo(d), Hi(d));
      return 0;
    case UDM_GETRANGE:
      return MAKELRESULT(d->Max, d->Min);
    case UDM_SETRANGE32:
      d->Min = static_cast<int>(wParam);
      d->Max = static_cast<int>(lParam);
      d->Pos = std::clamp(d->Pos, Lo(d), Hi(d));
      return 0;
    case UDM_GETRANGE32:
      if (wParam) *reinterpret_cast<int*>(wParam) = d->Min;
      if (lParam) *reinterpret_cast<int*>(lParam) = d->Max;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      int old = d->Pos;
      int v = msg == UDM_SETPOS ? static_cast<SHORT>(LOWORD(lParam)) : static_cast<int>(lParam);
      d->Pos = std::clamp(v, Lo(d), Hi(d));
      UpdateBuddy(h, d);
      return old;
    }
    case UDM_GETPOS: {
      int pos;
      bool ok = ReadBuddy(h, d, pos);
      if (ok) d->Pos = pos;
      return MAKELRESULT(d->Pos, ok ? 0 : 1);
    }
    case UDM_GETPOS32: {
      int pos;
      bool ok = ReadBuddy(h, d, pos);
      if (ok) d->Pos = pos;
      if (lParam) *reinterpret_cast<BOOL*>(lParam) = ok ? FALSE : TRUE;
      return d->Pos;
    }
    case UDM_SETBUDDY:
      return reinterpret_cast<LRESULT>(SetBuddy(h, d, reinterpret_cast<HWND>(wParam)));
    case UDM_GETBUDDY:
      return reinterpret_cast<LRESULT>(d->Buddy);
    case UDM_SETACCEL: {
      if (!wParam || !lParam) return FALSE;
      auto* a = reinterpret_cast<const UDACCEL*>(lParam);
      d->Accels.assign(a, a + wParam);
      return TRUE;
    }
    case UDM_GETACCEL: {
      size_t n = std::min(d->Accels.size(), static_cast<size_t>(wParam));
      if (lParam) std::copy_n(d->Accels.begin(), n, reinterpret_cast<UDACCEL*>(lParam));
      return static_cast<LRESULT>(d->Accels.size());
    }
    case UDM_SETBASE: {
      if (wParam != 10 && wParam != 16) return 0;
      int old = d->Base;
      d->Base = static_cast<int>(wParam);
      UpdateBuddy(h, d);
      return old;
    }
    case UDM_GETBASE:
      return d->Base;
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace rtl::detail
