// The system move and size loops and the tracking of caption buttons:
// modal loops under capture that the default window procedure runs for
// presses on the caption, the sizing border and the caption buttons.
#include <algorithm>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_nonclient.h"
#include "platform/win/user/user_paint.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

// Runs `handle` for every mouse and key message until it answers false or
// the capture goes elsewhere; other messages are dispatched as usual.
template <class F>
void CaptureLoop(HWND h, F handle) {
  SetCapture(h);
  CurrentQueue().CaptureKind = 1;
  MSG m;
  while (GetCapture() == h && IsWindow(h)) {
    if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (m.message == WM_QUIT) {
      // The loop ends; the quit message goes on to the outer loop.
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    bool mouse = m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST;
    bool key = m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST;
    if (mouse || key) {
      if (!handle(m)) break;
      continue;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  if (GetCapture() == h) ReleaseCapture();
}

int CommandOf(int hit, const TWnd* w) {
  switch (hit) {
    case HTCLOSE: return SC_CLOSE;
    case HTMINBUTTON: return (w->Style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE;
    case HTMAXBUTTON: return (w->Style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
    case HTHELP: return SC_CONTEXTHELP;
  }
  return 0;
}

bool ButtonEnabled(const TWnd* w, int hit) {
  switch (hit) {
    case HTCLOSE: return !(w->Class->Style & CS_NOCLOSE);
    case HTMINBUTTON: return (w->Style & WS_MINIMIZEBOX) != 0;
    case HTMAXBUTTON: return (w->Style & WS_MAXIMIZEBOX) != 0;
  }
  return true;
}

}  // namespace

void TrackCaptionButton(TWnd* w, int hit) {
  if (!ButtonEnabled(w, hit)) return;
  HWND h = w->Handle;
  w->PressedButton = hit;
  RedrawFrame(w);
  bool released = false;
  bool over = true;
  CaptureLoop(h, [&](const MSG& m) {
    TWnd* cur = GetWndNoError(h);
    if (!cur) return false;
    if (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP) {
      RECT ws = WindowScreenRect(cur);
      bool nowOver = FrameHitTest(cur, POINT(m.pt.X - ws.Left, m.pt.Y - ws.Top)) == hit;
      if (m.message == WM_LBUTTONUP) {
        released = nowOver;
        return false;
      }
      if (nowOver != over) {
        over = nowOver;
        cur->PressedButton = over ? hit : 0;
        RedrawFrame(cur);
      }
    } else if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
      return false;
    }
    return true;
  });
  TWnd* cur = GetWndNoError(h);
  if (!cur) return;
  cur->PressedButton = 0;
  RedrawFrame(cur);
  if (released) SendToWnd(cur, WM_SYSCOMMAND, static_cast<WPARAM>(CommandOf(hit, cur)), 0);
}

void MoveSizeLoop(TWnd* w, WPARAM cmd, LPARAM lParam) {
  int code = static_cast<int>(cmd & 0x000F);
  bool moving = (cmd & 0xFFF0) == SC_MOVE;
  // Keyboard-started loops (no hit code) and maximised or minimised
  // windows do not move or size.
  if (!code || (w->Style & (WS_MAXIMIZE | WS_MINIMIZE))) return;
  if (!moving && !(w->Style & WS_THICKFRAME)) return;
  HWND h = w->Handle;
  POINT start(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  RECT original = WindowScreenRect(w);
  POINT parentOrigin = original.TopLeft();
  parentOrigin = POINT(parentOrigin.X - w->Window.Left, parentOrigin.Y - w->Window.Top);
  MINMAXINFO mmi = DefaultMinMaxInfo(w);
  SendToWnd(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  if (!GetWndNoError(h)) return;
  SendToWnd(w, WM_ENTERSIZEMOVE, 0, 0);
  if (!GetWndNoError(h)) return;
  RECT current = original;
  auto apply = [&](const RECT& r) {
    TWnd* cur = GetWndNoError(h);
    if (!cur) return;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (moving ? SWP_NOSIZE : 0);
    SetWindowPosImpl(cur, nullptr, r.Left - parentOrigin.X, r.Top - parentOrigin.Y, r.Width(), r.Height(), flags);
  };
  CaptureLoop(h, [&](const MSG& m) {
    TWnd* cur = GetWndNoError(h);
    if (!cur) return false;
    if (m.message == WM_KEYDOWN) {
      if (m.wParam == VK_ESCAPE) {
        apply(original);
        return false;
      }
      return m.wParam != VK_RETURN;
    }
    if (m.message == WM_LBUTTONUP) return false;
    if (m.message != WM_MOUSEMOVE) return true;
    int dx = m.pt.X - start.X, dy = m.pt.Y - start.Y;
    RECT r = original;
    if (moving) {
      r = OffsetR(r, dx, dy);
      SendToWnd(cur, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    } else {
      int edge = code - WMSZ_LEFT + HTLEFT;
      bool left = edge == HTLEFT || edge == HTTOPLEFT || edge == HTBOTTOMLEFT;
      bool right = edge == HTRIGHT || edge == HTTOPRIGHT || edge == HTBOTTOMRIGHT;
      bool top = edge == HTTOP || edge == HTTOPLEFT || edge == HTTOPRIGHT;
      bool bottom = edge == HTBOTTOM || edge == HTBOTTOMLEFT || edge == HTBOTTOMRIGHT;
      if (left) r.Left = std::clamp(r.Left + dx, r.Right - mmi.ptMaxTrackSize.X, r.Right - mmi.ptMinTrackSize.X);
      if (right) r.Right = std::clamp(r.Right + dx, r.Left + mmi.ptMinTrackSize.X, r.Left + mmi.ptMaxTrackSize.X);
      if (top) r.Top = std::clamp(r.Top + dy, r.Bottom - mmi.ptMaxTrackSize.Y, r.Bottom - mmi.ptMinTrackSize.Y);
      if (bottom) r.Bottom = std::clamp(r.Bottom + dy, r.Top + mmi.ptMinTrackSize.Y, r.Top + mmi.ptMaxTrackSize.Y);
      SendToWnd(cur, WM_SIZING, static_cast<WPARAM>(code), reinterpret_cast<LPARAM>(&r));
    }
    if (r != current) {
      current = r;
      apply(r);
    }
    return true;
  });
  if (TWnd* cur = GetWndNoError(h)) SendToWnd(cur, WM_EXITSIZEMOVE, 0, 0);
}

void SendHelp(TWnd* w, HWND item, POINT at) {
  HELPINFO hi{};
  hi.cbSize = sizeof hi;
  hi.iContextType = HELPINFO_WINDOW;
  hi.iCtrlId = GetDlgCtrlID(item);
  hi.hItemHandle = item;
  hi.dwContextId = GetWindowContextHelpId(item);
  hi.MousePos = at;
  SendToWnd(w, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
}

void ContextHelpLoop(TWnd* w) {
  HWND h = w->Handle;
  HCURSOR old = SetCursor(SystemCursor(IDC_HELP));
  HWND target = nullptr;
  POINT at{};
  // The next click names the window help is wanted for; Escape or another
  // button gives up.
  CaptureLoop(h, [&](const MSG& m) {
    switch (m.message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        return m.wParam != VK_ESCAPE;
      case WM_LBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
        at = m.pt;
        target = WindowFromPoint(at);
        return false;
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_NCRBUTTONDOWN:
      case WM_NCMBUTTONDOWN:
        return false;
    }
    return true;
  });
  SetCursor(old);
  TWnd* t = GetWndNoError(target);
  TWnd* top = GetWndNoError(h) ? TopLevelOf(w) : nullptr;
  if (!t || !top || TopLevelOf(t) != top) return;
  SendHelp(t, target, at);
}

}  // namespace rtl::detail
