// The default non-client area: frame, caption and scroll-bar geometry,
// AdjustWindowRectEx, hit testing, and the actions of non-client clicks
// and system commands.
#include <algorithm>

#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_menu_internal.h"
#include "platform/win/user/user_nonclient.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

// The thickness of the outer frame.
int OuterFrame(DWORD style, DWORD exStyle) {
  int adjust = 0;
  if ((exStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
    adjust = 1;
  else if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
    adjust = 2;
  if (style & WS_THICKFRAME) adjust += GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
  if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) adjust++;
  return adjust;
}

int CaptionHeight(DWORD style, DWORD exStyle) {
  if ((style & WS_CAPTION) != WS_CAPTION) return 0;
  return GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

TFrameLayout ComputeFrame(DWORD style, DWORD exStyle, bool vShown, bool hShown, int width, int height) {
  TFrameLayout f;
  f.Window = RECT(0, 0, width, height);
  if (style & WS_MINIMIZE) {
    f.Border = f.Window;
    f.Caption = f.Window;
    f.Client = RECT(0, 0, 0, 0);
    return f;
  }
  int outer = OuterFrame(style, exStyle);
  f.FrameX = f.FrameY = outer;
  f.Sizable = (style & WS_THICKFRAME) && !(style & WS_MAXIMIZE);
  f.Border = RECT(outer, outer, std::max(outer, width - outer), std::max(outer, height - outer));
  RECT inner = f.Border;
  int cap = CaptionHeight(style, exStyle);
  if (cap) {
    bool tool = (exStyle & WS_EX_TOOLWINDOW) != 0;
    // The caption's last row is the line that parts it from the client.
    f.Caption = RECT(inner.Left, inner.Top, inner.Right, std::min(inner.Bottom, inner.Top + cap - 1));
    inner.Top = std::min(inner.Bottom, inner.Top + cap);
    if (style & WS_SYSMENU) {
      int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
      int bh = GetSystemMetrics(tool ? SM_CYSMSIZE : SM_CYSIZE) - 4;
      int top = f.Caption.Top + (f.Caption.Height() - bh) / 2;
      int right = f.Caption.Right - 2;
      f.CloseButton = RECT(right - bw, top, right, top + bh);
      right = f.CloseButton.Left - 2;
      if (!tool && (style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX))) {
        f.MaxButton = RECT(right - bw, top, right, top + bh);
        f.MinButton = RECT(f.MaxButton.Left - bw, top, f.MaxButton.Left, top + bh);
      } else if (!tool && (exStyle & WS_EX_CONTEXTHELP)) {
        f.HelpButton = RECT(right - bw, top, right, top + bh);
      }
      if (!tool && !(exStyle & WS_EX_DLGMODALFRAME)) {
        int iw = GetSystemMetrics(SM_CXSMICON), ih = GetSystemMetrics(SM_CYSMICON);
        int itop = f.Caption.Top + (f.Caption.Height() - ih) / 2;
        f.SysIcon = RECT(f.Caption.Left + 2, itop, f.Caption.Left + 2 + iw, itop + ih);
      }
    }
  }
  if (exStyle & WS_EX_CLIENTEDGE) {
    int ex = GetSystemMetrics(SM_CXEDGE), ey = GetSystemMetrics(SM_CYEDGE);
    inner = RECT(inner.Left + ex, inner.Top + ey, std::max(inner.Left + ex, inner.Right - ex),
                 std::max(inner.Top + ey, inner.Bottom - ey));
  }
  bool v = (style & WS_VSCROLL) && vShown;
  bool h = (style & WS_HSCROLL) && hShown;
  int sx = GetSystemMetrics(SM_CXVSCROLL), sy = GetSystemMetrics(SM_CYHSCROLL);
  if (v && inner.Width() >= sx) {
    if (exStyle & WS_EX_LEFTSCROLLBAR) {
      f.VScroll = RECT(inner.Left, inner.Top, inner.Left + sx, inner.Bottom);
      inner.Left += sx;
    } else {
      f.VScroll = RECT(inner.Right - sx, inner.Top, inner.Right, inner.Bottom);
      inner.Right -= sx;
    }
  }
  if (h && inner.Height() >= sy) {
    f.HScroll = RECT(inner.Left, inner.Bottom - sy, inner.Right, inner.Bottom);
    inner.Bottom -= sy;
    if (!f.VScroll.IsEmpty()) {
      f.VScroll.Bottom -= sy;
      f.SizeBox = RECT(f.VScroll.Left, f.HScroll.Top, f.VScroll.Right, f.HScroll.Bottom);
    }
  }
  f.Client = inner;
  return f;
}

}  // namespace

int FrameThickness(DWORD style, DWORD exStyle) { return OuterFrame(style, exStyle); }

bool HasCaption(const TWnd* w) { return (w->Style & WS_CAPTION) == WS_CAPTION; }

TFrameLayout FrameLayout(const TWnd* w) {
  if (w->IsRoot()) {
    TFrameLayout f;
    f.Window = f.Border = f.Client = RECT(0, 0, w->Width(), w->Height());
    return f;
  }
  return ComputeFrame(w->Style, w->ExStyle, w->VScroll.Shown, w->HScroll.Shown, w->Width(), w->Height());
}

RECT DefaultClientRect(const TWnd* w, const RECT& window) {
  if (w->Style & WS_MINIMIZE) return RECT(window.Left, window.Top, window.Left, window.Top);
  TFrameLayout f = ComputeFrame(w->Style, w->ExStyle, w->VScroll.Shown, w->HScroll.Shown, window.Width(), window.Height());
  return OffsetR(f.Client, window.Left, window.Top);
}

int FrameHitTest(const TWnd* w, POINT p) {
  TFrameLayout f = FrameLayout(w);
  if (!f.Window.Contains(p)) return HTNOWHERE;
  if (w->Style & WS_MINIMIZE) return HTCAPTION;
  if (f.Client.Contains(p)) return HTCLIENT;
  if (!f.Border.Contains(p)) {
    if (w->Style & WS_THICKFRAME) {
      if (w->Style & WS_MAXIMIZE) return HTBORDER;
      int cx = GetSystemMetrics(SM_CXSIZE), cy = GetSystemMetrics(SM_CYSIZE);
      const RECT& r = f.Border;
      if (p.Y < r.Top) {
        if (p.X < r.Left + cx) return HTTOPLEFT;
        if (p.X >= r.Right - cx) return HTTOPRIGHT;
        return HTTOP;
      }
      if (p.Y >= r.Bottom) {
        if (p.X < r.Left + cx) return HTBOTTOMLEFT;
        if (p.X >= r.Right - cx) return HTBOTTOMRIGHT;
        return HTBOTTOM;
      }
      if (p.X < r.Left) {
        if (p.Y < r.Top + cy) return HTTOPLEFT;
        if (p.Y >= r.Bottom - cy) return HTBOTTOMLEFT;
        return HTLEFT;
      }
      if (p.Y < r.Top + cy) return HTTOPRIGHT;
      if (p.Y >= r.Bottom - cy) return HTBOTTOMRIGHT;
      return HTRIGHT;
    }
    return HTBORDER;
  }
  if (f.Caption.Contains(p)) {
    if (f.SysIcon.Contains(p)) return HTSYSMENU;
    if (f.CloseButton.Contains(p)) return HTCLOSE;
    if (f.MaxButton.Contains(p)) return (w->Style & WS_MAXIMIZEBOX) ? HTMAXBUTTON : HTCAPTION;
    if (f.MinButton.Contains(p)) return (w->Style & WS_MINIMIZEBOX) ? HTMINBUTTON : HTCAPTION;
    if (f.HelpButton.Contains(p)) return HTHELP;
    return HTCAPTION;
  }
  if (f.SizeBox.Contains(p)) return HTSIZE;
  if (f.VScroll.Contains(p)) return HTVSCROLL;
  if (f.HScroll.Contains(p)) return HTHSCROLL;
  return HTBORDER;
}

LRESULT DefaultHitTest(TWnd* w, POINT screen) {
  RECT r = WindowScreenRect(w);
  POINT p(screen.X - r.Left, screen.Y - r.Top);
  if (w->WindowRgn && !PtInRegion(w->WindowRgn, p.X, p.Y)) return HTNOWHERE;
  return FrameHitTest(w, p);
}

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return FALSE;
  if (style & WS_MINIMIZE) return TRUE;
  int outer = OuterFrame(style, exStyle);
  InflateRect(rect, outer, outer);
  rect->Top -= CaptionHeight(style, exStyle);
  if (menu) rect->Top -= GetSystemMetrics(SM_CYMENU);
  if (exStyle & WS_EX_CLIENTEDGE) InflateRect(rect, GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
  return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

namespace rtl::detail {
namespace {

// A click on a caption or border activates the window it belongs to.
bool MouseActivate(TWnd* top) {
  if (!top || top->IsRoot()) return false;
  if ((top->ExStyle & WS_EX_NOACTIVATE) || (top->Style & WS_DISABLED)) return false;
  if (CurrentQueue().Active == top->Handle) return true;
  SetActiveImpl(top, true);
  return CurrentQueue().Active == top->Handle;
}

}  // namespace

LRESULT DefNcLButtonDown(TWnd* w, WPARAM hit, LPARAM lParam) {
  HWND h = w->Handle;
  TWnd* top = TopLevelOf(w);
  switch (static_cast<int>(hit)) {
    case HTCAPTION:
      if (MouseActivate(top) && GetWndNoError(h)) SendToWnd(w, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lParam);
      break;
    case HTSYSMENU:
      MouseActivate(top);
      if (GetWndNoError(h)) SendToWnd(w, WM_SYSCOMMAND, SC_MOUSEMENU + HTSYSMENU, lParam);
      break;
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP:
      MouseActivate(top);
      if (GetWndNoError(h)) TrackCaptionButton(w, static_cast<int>(hit));
      break;
    case HTLEFT:
    case HTRIGHT:
    case HTTOP:
    case HTTOPLEFT:
    case HTTOPRIGHT:
    case HTBOTTOM:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT:
      MouseActivate(top);
      if (GetWndNoError(h)) SendToWnd(w, WM_SYSCOMMAND, SC_SIZE + (hit - HTLEFT + WMSZ_LEFT), lParam);
      break;
    case HTVSCROLL:
    case HTHSCROLL:
      SendToWnd(w, WM_SYSCOMMAND, (hit == HTVSCROLL ? SC_VSCROLL : SC_HSCROLL) + hit, lParam);
      break;
    case HTBORDER:
      MouseActivate(top);
      break;
  }
  return 0;
}

LRESULT DefNcLButtonDblClk(TWnd* w, WPARAM hit, LPARAM lParam) {
  switch (static_cast<int>(hit)) {
    case HTCAPTION: {
      TWnd* top = TopLevelOf(w);
      if (top == w && (w->Style & WS_MAXIMIZEBOX))
        SendToWnd(w, WM_SYSCOMMAND, (w->Style & (WS_MAXIMIZE | WS_MINIMIZE)) ? SC_RESTORE : SC_MAXIMIZE, lParam);
      break;
    }
    case HTSYSMENU:
      if (!(w->Class->Style & CS_NOCLOSE)) SendToWnd(w, WM_SYSCOMMAND, SC_CLOSE, lParam);
      break;
    case HTHSCROLL:
    case HTVSCROLL:
      return DefNcLButtonDown(w, hit, lParam);
  }
  return 0;
}

LRESULT DefSysCommand(TWnd* w, WPARAM cmd, LPARAM lParam) {
  if (HasHooks(WH_CBT) && CallHooks(WH_CBT, HCBT_SYSCOMMAND, cmd, lParam)) return 0;
  switch (cmd & 0xFFF0) {
    case SC_CLOSE:
      SendToWnd(w, WM_CLOSE, 0, 0);
      break;
    case SC_MINIMIZE:
      if (w->IsTopLevel()) ShowWindowImpl(w, SW_MINIMIZE);
      break;
    case SC_MAXIMIZE:
      if (w->IsTopLevel()) ShowWindowImpl(w, SW_MAXIMIZE);
      break;
    case SC_RESTORE:
      if (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) ShowWindowImpl(w, SW_RESTORE);
      break;
    case SC_MOVE:
    case SC_SIZE:
      MoveSizeLoop(w, cmd, lParam);
      break;
    case SC_VSCROLL:
    case SC_HSCROLL:
      ScrollBarTrackLoop(w, (cmd & 0xFFF0) == SC_VSCROLL ? SB_VERT : SB_HORZ, lParam);
      break;
    case SC_CONTEXTHELP:
      ContextHelpLoop(w);
      break;
    case SC_MOUSEMENU:
      if (w->Style & WS_SYSMENU) ShowSystemMenu(w, SystemMenuPoint(w));
      break;
    case SC_KEYMENU:
      // Alt+Space opens the system menu; without a menu bar of ours, other
      // mnemonics find nothing and beep, and Alt alone does nothing.
      if (lParam == ' ') {
        if (w->Style & WS_SYSMENU) ShowSystemMenu(w, SystemMenuPoint(w));
      } else if (lParam) {
        MessageBeep(0);
      }
      break;
    default:
      break;
  }
  return 0;
}

POINT SystemMenuPoint(const TWnd* w) {
  TFrameLayout f = FrameLayout(w);
  // Below the system icon, or below the frame's top left corner.
  // (the caption bar leaves a line below it before the client area)
  int below = f.Caption.IsEmpty() ? f.Border.Top : f.Caption.Bottom + 1;
  POINT p(f.SysIcon.IsEmpty() ? f.Border.Left : f.SysIcon.Left, below);
  RECT r = WindowScreenRect(w);
  return POINT(r.Left + p.X, r.Top + p.Y);
}

}  // namespace rtl::detail
