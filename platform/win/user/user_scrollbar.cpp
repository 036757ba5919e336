// Window scroll bars (WS_HSCROLL, WS_VSCROLL): range, page and position,
// showing and enabling, drawing in the frame, and the tracking loop that
// sends WM_HSCROLL / WM_VSCROLL with line and page repeat and thumb
// tracking. SB_CTL hands the call to the scroll bar control itself.
#include <algorithm>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_nonclient.h"
#include "platform/win/user/user_paint.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

constexpr int kMinThumb = 6;
constexpr UINT kFirstDelay = 200;
constexpr UINT kRepeatDelay = 50;
constexpr UINT_PTR kRepeatTimer = 0xFFF2;

enum TPart { spNone, spArrowUp, spPageUp, spThumb, spPageDown, spArrowDown };

TScrollState* StateOf(TWnd* w, int bar) {
  if (bar == SB_HORZ) return &w->HScroll;
  if (bar == SB_VERT) return &w->VScroll;
  return nullptr;
}

DWORD StyleBit(int bar) { return bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL; }

bool Unnecessary(const TScrollState& s) {
  return s.Min >= s.Max || static_cast<long long>(s.Page) > static_cast<long long>(s.Max) - s.Min;
}

int MaxPos(const TScrollState& s) {
  long long m = static_cast<long long>(s.Max) - std::max<long long>(static_cast<long long>(s.Page) - 1, 0);
  return static_cast<int>(std::max<long long>(m, s.Min));
}

struct TBarLayout {
  RECT Bar{};  // window coordinates
  bool Vertical = true;
  int Arrow = 0;   // length of each arrow
  int TrackStart = 0, TrackLen = 0;  // along the bar, relative to the bar's start
  int ThumbPos = 0, ThumbLen = 0;    // relative to the bar's start; ThumbLen 0: no thumb
};

TBarLayout Layout(TWnd* w, int bar, int posOverride = INT32_MIN) {
  TBarLayout l;
  TFrameLayout f = FrameLayout(w);
  l.Vertical = bar == SB_VERT;
  l.Bar = l.Vertical ? f.VScroll : f.HScroll;
  if (l.Bar.IsEmpty()) return l;
  int length = l.Vertical ? l.Bar.Height() : l.Bar.Width();
  int thick = l.Vertical ? l.Bar.Width() : l.Bar.Height();
  l.Arrow = std::min(thick, length / 2);
  l.TrackStart = l.Arrow;
  l.TrackLen = length - 2 * l.Arrow;
  const TScrollState& s = *StateOf(w, bar);
  if (Unnecessary(s) || (s.Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH) return l;
  int thumb = s.Page ? static_cast<int>(static_cast<long long>(l.TrackLen) * s.Page / (static_cast<long long>(s.Max) - s.Min + 1))
                     : GetSystemMetrics(l.Vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
  thumb = std::max(thumb, kMinThumb);
  if (thumb > l.TrackLen) return l;
  int pos = posOverride == INT32_MIN ? (s.Tracking ? s.TrackPos : s.Pos) : posOverride;
  int span = MaxPos(s) - s.Min;
  l.ThumbLen = thumb;
  l.ThumbPos = l.TrackStart + (span > 0 ? static_cast<int>(static_cast<long long>(l.TrackLen - thumb) * (pos - s.Min) / span) : 0);
  return l;
}

RECT PartRect(const TBarLayout& l, TPart part) {
  auto span = [&](int a, int b) {
    return l.Vertical ? RECT(l.Bar.Left, l.Bar.Top + a, l.Bar.Right, l.Bar.Top + b)
                      : RECT(l.Bar.Left + a, l.Bar.Top, l.Bar.Left + b, l.Bar.Bottom);
  };
  int length = l.Vertical ? l.Bar.Height() : l.Bar.Width();
  switch (part) {
    case spArrowUp: return span(0, l.Arrow);
    case spArrowDown: return span(length - l.Arrow, length);
    case spThumb: return l.ThumbLen ? span(l.ThumbPos, l.ThumbPos + l.ThumbLen) : RECT();
    case spPageUp: return span(l.TrackStart, l.ThumbLen ? l.ThumbPos : l.TrackStart);
    case spPageDown: return span(l.ThumbLen ? l.ThumbPos + l.ThumbLen : l.TrackStart + l.TrackLen, l.TrackStart + l.TrackLen);
    default: return RECT();
  }
}

TPart PartAt(const TBarLayout& l, POINT p) {
  for (TPart part : {spArrowUp, spArrowDown, spThumb, spPageUp, spPageDown})
    if (PartRect(l, part).Contains(p)) return part;
  return spNone;
}

void DrawBar(TWnd* w, HDC dc, int bar) {
  TBarLayout l = Layout(w, bar);
  if (l.Bar.IsEmpty()) return;
  const TScrollState& s = *StateOf(w, bar);
  bool needless = Unnecessary(s);
  UINT upKind = l.Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT;
  UINT downKind = l.Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT;
  RECT up = PartRect(l, spArrowUp), down = PartRect(l, spArrowDown);
  UINT upState = (needless || (s.Disabled & ESB_DISABLE_LTUP)) ? DFCS_INACTIVE : 0;
  UINT downState = (needless || (s.Disabled & ESB_DISABLE_RTDN)) ? DFCS_INACTIVE : 0;
  if (s.Pressed == spArrowUp) upState |= DFCS_PUSHED | DFCS_FLAT;
  if (s.Pressed == spArrowDown) downState |= DFCS_PUSHED | DFCS_FLAT;
  DrawFrameControl(dc, &up, DFC_SCROLL, upKind | upState);
  DrawFrameControl(dc, &down, DFC_SCROLL, downKind | downState);
  RECT pu = PartRect(l, spPageUp), pd = PartRect(l, spPageDown);
  FillRect(dc, &pu, GetSysColorBrush(s.Pressed == spPageUp ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR));
  FillRect(dc, &pd, GetSysColorBrush(s.Pressed == spPageDown ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR));
  if (l.ThumbLen) {
    RECT t = PartRect(l, spThumb);
    FillRect(dc, &t, GetSysColorBrush(COLOR_3DFACE));
    DrawEdge(dc, &t, EDGE_RAISED, BF_RECT);
  }
}

void RedrawBar(TWnd* w, int bar) {
  if (!IsReallyVisible(w) || !(w->Style & StyleBit(bar))) return;
  HDC dc = GetDCImpl(w, nullptr, DCX_WINDOW | DCX_CACHE | kDcxUseStyle);
  if (!dc) return;
  DrawBar(w, dc, bar);
  ReleaseDC(w->Handle, dc);
}

// Shows or hides the bars in `bars` (style bits); answers whether the
// frame changed.
bool SetBarsShown(TWnd* w, DWORD bars, bool show) {
  DWORD old = w->Style;
  if (show)
    w->Style |= bars;
  else
    w->Style &= ~bars;
  if (w->Style == old) return false;
  SetWindowPosImpl(w, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return true;
}

int PosFromPoint(TWnd* w, int bar, const TBarLayout& l, int along, int grab) {
  const TScrollState& s = *StateOf(w, bar);
  int span = MaxPos(s) - s.Min;
  int room = l.TrackLen - l.ThumbLen;
  if (room <= 0 || span <= 0) return s.Min;
  int thumbStart = std::clamp(along - grab, l.TrackStart, l.TrackStart + room);
  return s.Min + static_cast<int>((static_cast<long long>(thumbStart - l.TrackStart) * span + room / 2) / room);
}

}  // namespace

void DrawScrollBars(TWnd* w, HDC dc, const TFrameLayout& f) {
  if (!f.VScroll.IsEmpty()) DrawBar(w, dc, SB_VERT);
  if (!f.HScroll.IsEmpty()) DrawBar(w, dc, SB_HORZ);
  if (!f.SizeBox.IsEmpty()) {
    RECT r = f.SizeBox;
    FillRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
    // The grip shows where dragging sizes the top-level window.
    TWnd* top = TopLevelOf(w);
    RECT bottomRight = WindowScreenRect(w);
    RECT topRect = WindowScreenRect(top);
    TFrameLayout tf = FrameLayout(top);
    bool atCorner = bottomRight.Right >= topRect.Left + tf.Client.Right && bottomRight.Bottom >= topRect.Top + tf.Client.Bottom;
    if ((top->Style & WS_THICKFRAME) && !(top->Style & WS_MAXIMIZE) && (top == w || atCorner))
      DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
}

void ScrollBarTrackLoop(TWnd* w, int bar, LPARAM lParam) {
  HWND h = w->Handle;
  TScrollState* s = StateOf(w, bar);
  if (!s || Unnecessary(*s) || (s->Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH) return;
  RECT ws = WindowScreenRect(w);
  POINT p(GET_X_LPARAM(lParam) - ws.Left, GET_Y_LPARAM(lParam) - ws.Top);
  TBarLayout l = Layout(w, bar);
  TPart part = PartAt(l, p);
  if (part == spNone) return;
  UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  int grab = (l.Vertical ? p.Y - l.Bar.Top : p.X - l.Bar.Left) - l.ThumbPos;
  auto code = [](TPart pt) -> WPARAM {
    switch (pt) {
      case spArrowUp: return SB_LINEUP;
      case spArrowDown: return SB_LINEDOWN;
      case spPageUp: return SB_PAGEUP;
      case spPageDown: return SB_PAGEDOWN;
      default: return SB_ENDSCROLL;
    }
  };
  bool over = true;
  bool repeatDue = false;
  auto step = [&]() {
    TWnd* cur = GetWndNoError(h);
    if (!cur) return;
    TBarLayout now = Layout(cur, bar);
    // A page step stops once the thumb has passed the pointer.
    if (part == spPageUp || part == spPageDown) over = PartAt(now, p) == part;
    if (over) SendToWnd(cur, msg, code(part), 0);
  };
  s->Pressed = part;
  if (part == spThumb) {
    s->Tracking = true;
    s->TrackPos = s->Pos;
  }
  RedrawBar(w, bar);
  SetCapture(h);
  TThreadQueue& q = CurrentQueue();
  q.CaptureKind = 1;
  if (part != spThumb) {
    step();
    SetSystemTimer(h, kRepeatTimer, kFirstDelay, [&repeatDue] { repeatDue = true; });
  }
  MSG m;
  while (GetCapture() == h && GetWndNoError(h)) {
    if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (repeatDue) {
        repeatDue = false;
        SetSystemTimer(h, kRepeatTimer, kRepeatDelay, [&repeatDue] { repeatDue = true; });
        step();
        continue;
      }
      WaitMessage();
      continue;
    }
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP) {
      TWnd* cur = GetWndNoError(h);
      if (!cur) break;
      RECT cs = WindowScreenRect(cur);
      p = POINT(m.pt.X - cs.Left, m.pt.Y - cs.Top);
      TBarLayout now = Layout(cur, bar);
      if (part == spThumb) {
        int along = now.Vertical ? p.Y - now.Bar.Top : p.X - now.Bar.Left;
        int pos = PosFromPoint(cur, bar, now, along, grab);
        if (m.message == WM_LBUTTONUP) {
          SendToWnd(cur, msg, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(pos)), 0);
          break;
        }
        if (pos != s->TrackPos) {
          s->TrackPos = pos;
          RedrawBar(cur, bar);
          SendToWnd(cur, msg, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(pos)), 0);
        }
      } else {
        if (m.message == WM_LBUTTONUP) break;
        bool nowOver = PartAt(now, p) == part;
        if (nowOver != over) {
          over = nowOver;
          s->Pressed = over ? part : spNone;
          RedrawBar(cur, bar);
        }
      }
      continue;
    }
    if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) continue;
    if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) break;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  KillSystemTimer(h, kRepeatTimer);
  if (TWnd* cur = GetWndNoError(h)) {
    s->Pressed = spNone;
    s->Tracking = false;
    if (GetCapture() == h) ReleaseCapture();
    RedrawBar(cur, bar);
    SendToWnd(cur, msg, SB_ENDSCROLL, 0);
  }
}

}  // namespace rtl::detail

using namespace rtl::detail;

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO si, BOOL redraw) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !si || (si->cbSize != sizeof(SCROLLINFO) && si->cbSize != sizeof(SCROLLINFO) - sizeof(int))) return 0;
  if (bar == SB_CTL) return static_cast<int>(SendMessageA(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(si)));
  TScrollState* s = StateOf(w, bar);
  if (!s) {
    SetLastError(87);
    return 0;
  }
  if (si->fMask & SIF_RANGE) {
    s->Min = si->nMin;
    s->Max = si->nMax;
  }
  if (si->fMask & SIF_PAGE) {
    long long range = static_cast<long long>(s->Max) - s->Min + 1;
    s->Page = static_cast<UINT>(std::clamp<long long>(static_cast<long long>(si->nPage), 0, std::max<long long>(range, 0)));
  }
  if (si->fMask & SIF_POS) s->Pos = si->nPos;
  s->Pos = std::clamp(s->Pos, s->Min, MaxPos(*s));
  if (si->fMask & (SIF_RANGE | SIF_PAGE)) {
    bool needless = Unnecessary(*s);
    if (si->fMask & SIF_DISABLENOSCROLL) {
      // Kept on screen, grey while it has nothing to scroll.
      s->Disabled = needless ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH;
      if (!(w->Style & StyleBit(bar))) SetBarsShown(w, StyleBit(bar), true);
    } else if (SetBarsShown(w, StyleBit(bar), !needless)) {
      return s->Pos;
    }
  }
  if (redraw) RedrawBar(w, bar);
  return s->Pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO si) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !si) return FALSE;
  if (bar == SB_CTL) return SendMessageA(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(si)) ? TRUE : FALSE;
  TScrollState* s = StateOf(w, bar);
  if (!s) return FALSE;
  if (si->fMask & SIF_RANGE) {
    si->nMin = s->Min;
    si->nMax = s->Max;
  }
  if (si->fMask & SIF_PAGE) si->nPage = s->Page;
  if (si->fMask & SIF_POS) si->nPos = s->Pos;
  if (si->fMask & SIF_TRACKPOS) si->nTrackPos = s->Tracking ? s->TrackPos : s->Pos;
  return (si->fMask & SIF_ALL) ? TRUE : FALSE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return 0;
  if (bar == SB_CTL) return static_cast<int>(SendMessageA(hwnd, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
  TScrollState* s = StateOf(w, bar);
  if (!s) return 0;
  int old = s->Pos;
  SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, pos, 0};
  SetScrollInfo(hwnd, bar, &si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return 0;
  if (bar == SB_CTL) return static_cast<int>(SendMessageA(hwnd, SBM_GETPOS, 0, 0));
  TScrollState* s = StateOf(w, bar);
  return s ? s->Pos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
  if (static_cast<long long>(maxPos) - minPos > 0x7FFFFFFF) {
    SetLastError(87);
    return FALSE;
  }
  SCROLLINFO si{sizeof(si), SIF_RANGE, minPos, maxPos, 0, 0, 0};
  TWnd* w = GetWnd(hwnd);
  if (w && bar == SB_CTL) {
    SendMessageA(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(minPos), maxPos);
    return TRUE;
  }
  if (!w || !StateOf(w, bar)) return FALSE;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return FALSE;
  if (bar == SB_CTL) {
    int lo = 0, hi = 0;
    SendMessageA(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    if (minPos) *minPos = lo;
    if (maxPos) *maxPos = hi;
    return TRUE;
  }
  TScrollState* s = StateOf(w, bar);
  if (!s) return FALSE;
  if (minPos) *minPos = s->Min;
  if (maxPos) *maxPos = s->Max;
  return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return FALSE;
  // A scroll bar control shows and hides as a window.
  if (bar == SB_CTL) {
    ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
    return TRUE;
  }
  DWORD bits = bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : bar == SB_HORZ ? WS_HSCROLL : bar == SB_VERT ? WS_VSCROLL : 0;
  if (!bits) return FALSE;
  SetBarsShown(w, bits, show != FALSE);
  return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return FALSE;
  if (bar == SB_CTL) return SendMessageA(hwnd, SBM_ENABLE_ARROWS, arrows, 0) ? TRUE : FALSE;
  bool changed = false;
  for (int b : {SB_HORZ, SB_VERT}) {
    if (bar != SB_BOTH && static_cast<int>(bar) != b) continue;
    TScrollState* s = StateOf(w, b);
    if (s->Disabled != arrows) {
      s->Disabled = arrows;
      changed = true;
      RedrawBar(w, b);
    }
  }
  return changed ? TRUE : FALSE;
}

BOOL GetScrollBarInfo(HWND hwnd, LONG object, PSCROLLBARINFO info) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !info || info->cbSize != sizeof(SCROLLBARINFO)) return FALSE;
  // The client object of a scroll bar control is the control itself.
  if (object == OBJID_CLIENT)
    return SendMessageA(hwnd, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(info)) ? TRUE : FALSE;
  int bar = object == OBJID_VSCROLL ? SB_VERT : object == OBJID_HSCROLL ? SB_HORZ : -1;
  if (bar < 0) {
    SetLastError(87);
    return FALSE;
  }
  TBarLayout l = Layout(w, bar);
  RECT ws = WindowScreenRect(w);
  info->rcScrollBar = OffsetR(l.Bar, ws.Left, ws.Top);
  info->dxyLineButton = l.Arrow;
  info->xyThumbTop = l.ThumbPos;
  info->xyThumbBottom = l.ThumbPos + l.ThumbLen;
  info->reserved = 0;
  const TScrollState& s = *StateOf(w, bar);
  DWORD state = 0;
  if (!(w->Style & StyleBit(bar))) state |= STATE_SYSTEM_INVISIBLE;
  if (l.Bar.IsEmpty()) state |= STATE_SYSTEM_OFFSCREEN;
  if (Unnecessary(s) || (s.Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH) state |= STATE_SYSTEM_UNAVAILABLE;
  for (DWORD& r : info->rgstate) r = 0;
  info->rgstate[0] = state;
  if (s.Disabled & ESB_DISABLE_LTUP) info->rgstate[1] |= STATE_SYSTEM_UNAVAILABLE;
  if (s.Disabled & ESB_DISABLE_RTDN) info->rgstate[5] |= STATE_SYSTEM_UNAVAILABLE;
  if (s.Pressed) info->rgstate[s.Pressed] |= STATE_SYSTEM_PRESSED;
  return TRUE;
}
