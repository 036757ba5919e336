// The default window procedure.
#include <algorithm>
#include <cstring>

#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_menu_internal.h"
#include "platform/win/user/user_native.h"
#include "platform/win/user/user_nonclient.h"
#include "platform/win/user/user_paint.h"

namespace rtl::detail {
namespace {

bool NeedsMinMaxInfo(const TWnd* w) { return (w->Style & WS_THICKFRAME) || !(w->Style & (WS_POPUP | WS_CHILD)); }

TWnd* ParentOf(TWnd* w) {
  if (!w->IsChild() || !w->Parent || w->Parent->Has(wfDesktop) || w->Parent->Has(wfMessageRoot)) return nullptr;
  return w->Parent;
}

LRESULT ControlColor(HDC dc, UINT msg) {
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX) {
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  SetBkColor(dc, GetSysColor(COLOR_3DFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
}

void SetTextTo(TWnd* w, LPCSTR text) {
  w->Text = text ? text : "";
  if (w->IsTopLevel()) NativeTitleChanged(w);
  if (HasCaption(w) && w->Visible()) RedrawFrame(w);
}

LRESULT KeyDefaults(TWnd* w, UINT msg, WPARAM wParam, LPARAM lParam) {
  TThreadQueue& q = CurrentQueue();
  HWND h = w->Handle;
  switch (msg) {
    case WM_KEYDOWN:
      if (wParam == VK_F10) q.F10Key = true;
      break;
    case WM_SYSKEYDOWN:
      if (HIWORD(lParam) & KF_ALTDOWN) {
        q.MenuSysKey = (wParam == VK_MENU || wParam == VK_LMENU || wParam == VK_RMENU) && !q.MenuSysKey;
        q.F10Key = false;
        if (wParam == VK_F4) {
          // Alt+F4 closes the top-level window.
          TWnd* top = TopLevelOf(w);
          if (!(top->Class->Style & CS_NOCLOSE)) PostTo(top->Queue, top->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
      } else if (wParam == VK_F10) {
        if (GetKeyState(VK_SHIFT) & 0x8000) SendToWnd(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), -1);
        q.F10Key = true;
      } else if (wParam == VK_ESCAPE && (GetKeyState(VK_SHIFT) & 0x8000)) {
        SendToWnd(w, WM_SYSCOMMAND, SC_KEYMENU, ' ');
      }
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // Alt or F10 pressed and released alone opens the menu.
      if (((wParam == VK_MENU || wParam == VK_LMENU || wParam == VK_RMENU) && q.MenuSysKey) ||
          (wParam == VK_F10 && q.F10Key)) {
        TWnd* top = TopLevelOf(w);
        SendToWnd(top, WM_SYSCOMMAND, SC_KEYMENU, 0);
      }
      q.MenuSysKey = q.F10Key = false;
      break;
    case WM_SYSCHAR:
      q.MenuSysKey = false;
      if (wParam == '\r' && (w->Style & WS_MINIMIZE)) {
        PostTo(w->Queue, h, WM_SYSCOMMAND, SC_RESTORE, 0);
        break;
      }
      if ((HIWORD(lParam) & KF_ALTDOWN) && wParam) {
        if (wParam == '\t' || wParam == 0x1B) break;
        if (wParam == ' ' && w->IsChild())
          SendToWnd(w->Parent, msg, wParam, lParam);
        else
          SendToWnd(w, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
      } else if (wParam != 0x1B) {
        MessageBeep(0);
      }
      break;
  }
  return 0;
}

}  // namespace
}  // namespace rtl::detail

using namespace rtl::detail;

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWnd* w = GetWndNoError(hwnd);
  if (!w) return 0;
  TWndRef ref(w);
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->Text = cs->lpszName;
      return TRUE;
    }
    case WM_NCCALCSIZE:
      if (!lParam) return 0;
      if (wParam) {
        auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
        p->rgrc[0] = DefaultClientRect(w, p->rgrc[0]);
      } else {
        auto* r = reinterpret_cast<RECT*>(lParam);
        *r = DefaultClientRect(w, *r);
      }
      return 0;
    case WM_NCHITTEST:
      return DefaultHitTest(w, POINT(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    case WM_NCPAINT:
      DefNcPaint(w, reinterpret_cast<HRGN>(wParam));
      return 0;
    case WM_NCACTIVATE:
      if (wParam)
        w->Flags |= wfNcActive;
      else
        w->Flags &= ~static_cast<uint32_t>(wfNcActive);
      if (HasCaption(w) && w->Visible()) RedrawFrame(w);
      return TRUE;
    case WM_NCDESTROY:
      return 0;
    case WM_NCLBUTTONDOWN:
      return DefNcLButtonDown(w, wParam, lParam);
    case WM_NCLBUTTONDBLCLK:
      return DefNcLButtonDblClk(w, wParam, lParam);
    case WM_NCRBUTTONUP:
      if (wParam == HTCAPTION || wParam == HTSYSMENU)
        SendToWnd(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
      return 0;
    case WM_RBUTTONUP: {
      POINT p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      ClientToScreen(hwnd, &p);
      SendToWnd(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.X, p.Y));
      return 0;
    }
    case WM_CONTEXTMENU: {
      if (w->Style & WS_CHILD) {
        // Passed up through the parents; the clicked window stays in wParam.
        HWND parent = GetParent(hwnd);
        if (parent) SendMessageA(parent, msg, wParam, lParam);
        return 0;
      }
      // A top-level window shows its system menu for its caption.
      if (!(w->Style & WS_SYSMENU) || lParam == -1) return 0;
      POINT p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      LRESULT hit = SendToWnd(w, WM_NCHITTEST, 0, lParam);
      if (GetWndNoError(hwnd) && (hit == HTCAPTION || hit == HTSYSMENU)) ShowSystemMenu(w, p);
      return 0;
    }
    case WM_POPUPSYSTEMMENU:
      // The system menu at a screen point (the taskbar's right click).
      if (w->Style & WS_SYSMENU) ShowSystemMenu(w, POINT(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      return 0;
    case WM_KEYF1: {
      POINT p;
      GetCursorPos(&p);
      SendHelp(w, hwnd, p);
      return 0;
    }
    case WM_HELP:
      // Up the parents, then to the owner.
      if (TWnd* p = ParentOf(w)) return SendToWnd(p, msg, wParam, lParam);
      if (w->Owner) return SendToWnd(w->Owner, msg, wParam, lParam);
      return 0;
    case WM_SETTEXT:
      SetTextTo(w, reinterpret_cast<LPCSTR>(lParam));
      return TRUE;
    case WM_GETTEXT: {
      if (!wParam || !lParam) return 0;
      auto* buf = reinterpret_cast<char*>(lParam);
      size_t n = std::min(w->Text.size(), static_cast<size_t>(wParam) - 1);
      std::memcpy(buf, w->Text.data(), n);
      buf[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->Text.size());
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_WINDOWPOSCHANGING: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      if (wp && !(wp->flags & SWP_NOSIZE) && NeedsMinMaxInfo(w)) {
        MINMAXINFO mmi = DefaultMinMaxInfo(w);
        SendToWnd(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        wp->cx = std::min(wp->cx, mmi.ptMaxTrackSize.X);
        wp->cy = std::min(wp->cy, mmi.ptMaxTrackSize.Y);
        if (!(w->Style & WS_MINIMIZE)) {
          wp->cx = std::max(wp->cx, mmi.ptMinTrackSize.X);
          wp->cy = std::max(wp->cy, mmi.ptMinTrackSize.Y);
        }
      }
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!wp) return 0;
      if (!(wp->flags & SWP_NOCLIENTMOVE))
        SendToWnd(w, WM_MOVE, 0, MAKELPARAM(w->Client.Left, w->Client.Top));
      if (!GetWndNoError(hwnd)) return 0;
      if (!(wp->flags & SWP_NOCLIENTSIZE) || (wp->flags & SWP_STATECHANGED)) {
        if (w->Style & WS_MINIMIZE)
          SendToWnd(w, WM_SIZE, SIZE_MINIMIZED, 0);
        else
          SendToWnd(w, WM_SIZE, SizeType(w), MAKELPARAM(w->Client.Width(), w->Client.Height()));
      }
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !(w->Style & WS_MINIMIZE)) SetFocus(hwnd);
      return 0;
    case WM_MOUSEACTIVATE:
      if (w->Style & WS_CHILD) {
        if (HWND parent = GetParent(hwnd)) {
          LRESULT r = SendMessageA(parent, msg, wParam, lParam);
          if (r) return r;
        }
      }
      // A left press on the caption activates through the caption's own
      // handling (it may start a move); anything else activates.
      return static_cast<SHORT>(LOWORD(lParam)) == HTCAPTION && HIWORD(lParam) == WM_LBUTTONDOWN ? MA_NOACTIVATE
                                                                                                 : MA_ACTIVATE;
    case WM_SETCURSOR: {
      if (TWnd* p = ParentOf(w))
        if (SendToWnd(p, msg, wParam, lParam)) return TRUE;
      int hit = static_cast<SHORT>(LOWORD(lParam));
      if (hit == HTCLIENT && !w->Class->Cursor) return FALSE;
      DefSetCursor(w, hit, HIWORD(lParam));
      return TRUE;
    }
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_APPCOMMAND:
      if (TWnd* p = ParentOf(w)) return SendToWnd(p, msg, wParam, lParam);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      return KeyDefaults(w, msg, wParam, lParam);
    case WM_SYSCOMMAND:
      return DefSysCommand(w, wParam, lParam);
    case WM_CANCELMODE:
      CurrentQueue().MenuSysKey = false;
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    case WM_ERASEBKGND:
    case WM_ICONERASEBKGND:
      return DefEraseBackground(w, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINT:
      DefPrint(w, reinterpret_cast<HDC>(wParam), static_cast<DWORD>(lParam));
      return 0;
    case WM_SETREDRAW:
      if (wParam) {
        w->Style |= WS_VISIBLE;
      } else {
        // Nothing drawn while redraw is off stays owed.
        RedrawWindow(hwnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_VALIDATE);
        w->Style &= ~static_cast<DWORD>(WS_VISIBLE);
      }
      return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return ControlColor(reinterpret_cast<HDC>(wParam), msg);
    case WM_GETICON:
      switch (wParam) {
        case ICON_BIG: return reinterpret_cast<LRESULT>(w->IconBig);
        case ICON_SMALL: return reinterpret_cast<LRESULT>(w->IconSmall);
        case ICON_SMALL2:
          if (w->IconSmall) return reinterpret_cast<LRESULT>(w->IconSmall);
          if (w->IconBig) return reinterpret_cast<LRESULT>(w->IconBig);
          return reinterpret_cast<LRESULT>(w->Class->IconSm ? w->Class->IconSm : w->Class->Icon);
      }
      return 0;
    case WM_SETICON: {
      HICON old;
      if (wParam == ICON_BIG) {
        old = w->IconBig;
        w->IconBig = reinterpret_cast<HICON>(lParam);
      } else {
        old = w->IconSmall;
        w->IconSmall = reinterpret_cast<HICON>(lParam);
      }
      if (w->IsTopLevel()) NativeIconChanged(w);
      if (HasCaption(w) && w->Visible()) RedrawFrame(w);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_QUERYDRAGICON:
      return reinterpret_cast<LRESULT>(w->IconBig ? w->IconBig : w->Class->Icon);
    case WM_QUERYOPEN:
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_SHOWWINDOW:
    case WM_GETDLGCODE:
    case WM_ENDSESSION:
    case WM_DROPFILES:
    case WM_QUERYUISTATE:
    case WM_GETMINMAXINFO:
      return 0;
  }
  return 0;
}
