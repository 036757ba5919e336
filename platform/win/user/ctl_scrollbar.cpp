// The "SCROLLBAR" class: a scroll bar control that tells its parent what
// the user did (WM_HSCROLL / WM_VSCROLL with the SB_ codes) and keeps the
// range, page and position the parent gives it.
#include <algorithm>

#include "platform/win/user/ctl_common.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;

enum TPart { spNone, spLineUp, spLineDown, spPageUp, spPageDown, spThumb };

struct TScrollData : TCtlBase {
  // A new control has an empty range (a window's own bars have 0 to 100).
  int Min = 0;
  int Max = 0;
  UINT Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  UINT DisabledArrows = 0;  // ESB_ flags
  TPart Pressed = spNone;
  bool Inside = false;  // the pointer is over the pressed part
  int DragOffset = 0;
  bool Tracking = false;
};

bool Vertical(HWND h) { return (CtlStyle(h) & SBS_VERT) != 0; }

struct TLayout {
  int Length;      // along the bar
  int Arrow;       // each arrow's length
  int ThumbStart;  // along the bar
  int ThumbLength;
  bool Thumb;      // there is room and range for one
};

// Ranges may span the whole int range: the arithmetic is done wide.
long long Span(const TScrollData* d) { return static_cast<long long>(d->Max) - d->Min + 1; }
int MaxPos(TScrollData* d) {
  return d->Page ? static_cast<int>(std::max<long long>(d->Min, static_cast<long long>(d->Max) - d->Page + 1)) : d->Max;
}

TLayout Layout(HWND h, TScrollData* d, int pos) {
  RECT c;
  GetClientRect(h, &c);
  TLayout l{};
  l.Length = Vertical(h) ? c.Height() : c.Width();
  int metric = GetSystemMetrics(Vertical(h) ? SM_CYVSCROLL : SM_CXHSCROLL);
  l.Arrow = std::min(metric, l.Length / 2);
  int track = l.Length - 2 * l.Arrow;
  l.ThumbLength = d->Page ? std::max(8, static_cast<int>(static_cast<long long>(track) * d->Page / std::max(1LL, Span(d))))
                          : GetSystemMetrics(Vertical(h) ? SM_CYVTHUMB : SM_CXHTHUMB);
  l.Thumb = track >= l.ThumbLength && d->Max > d->Min && IsWindowEnabled(h) && MaxPos(d) > d->Min;
  long long range = static_cast<long long>(MaxPos(d)) - d->Min;
  l.ThumbStart = l.Arrow + (range > 0 ? static_cast<int>(static_cast<long long>(track - l.ThumbLength) *
                                                          (static_cast<long long>(std::clamp(pos, d->Min, MaxPos(d))) - d->Min) / range)
                                      : 0);
  return l;
}

RECT PartRect(HWND h, int from, int to) {
  RECT c;
  GetClientRect(h, &c);
  return Vertical(h) ? RECT(0, from, c.Right, to) : RECT(from, 0, to, c.Bottom);
}

TPart PartAt(HWND h, TScrollData* d, POINT p) {
  TLayout l = Layout(h, d, d->Pos);
  int at = Vertical(h) ? p.Y : p.X;
  if (at < l.Arrow) return spLineUp;
  if (at >= l.Length - l.Arrow) return spLineDown;
  if (!l.Thumb) return spNone;
  if (at < l.ThumbStart) return spPageUp;
  if (at >= l.ThumbStart + l.ThumbLength) return spPageDown;
  return spThumb;
}

void Tell(HWND h, int code, int pos = 0) {
  if (HWND p = CtlNotifyTarget(h))
    SendMessageA(p, Vertical(h) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(h));
}

int PartCode(TPart p) {
  switch (p) {
    case spLineUp: return SB_LINEUP;
    case spLineDown: return SB_LINEDOWN;
    case spPageUp: return SB_PAGEUP;
    case spPageDown: return SB_PAGEDOWN;
    default: return -1;
  }
}

HBRUSH TrackBrush() {
  // The classic track: every other pixel lit.
  static HBRUSH brush = [] {
    WORD bits[8];
    for (int i = 0; i < 8; ++i) bits[i] = static_cast<WORD>((i & 1) ? 0xAA : 0x55);
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH b = CreatePatternBrush(bm);
    DeleteObject(bm);
    return b;
  }();
  return brush;
}

void Paint(HWND h, TScrollData* d, HDC dc) {
  RECT c;
  GetClientRect(h, &c);
  DWORD style = CtlStyle(h);
  if (style & (SBS_SIZEBOX | SBS_SIZEGRIP)) {
    FillRect(dc, &c, GetSysColorBrush(COLOR_3DFACE));
    if (style & SBS_SIZEGRIP) DrawFrameControl(dc, &c, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    return;
  }
  int pos = d->Pressed == spThumb ? d->TrackPos : d->Pos;
  TLayout l = Layout(h, d, pos);
  bool enabled = IsWindowEnabled(h) && d->Max > d->Min;
  bool vert = Vertical(h);
  RECT up = PartRect(h, 0, l.Arrow), down = PartRect(h, l.Length - l.Arrow, l.Length);
  UINT upState = (d->Pressed == spLineUp && d->Inside ? DFCS_PUSHED | DFCS_FLAT : 0) |
                 (!enabled || (d->DisabledArrows & ESB_DISABLE_LTUP) ? DFCS_INACTIVE : 0);
  UINT downState = (d->Pressed == spLineDown && d->Inside ? DFCS_PUSHED | DFCS_FLAT : 0) |
                   (!enabled || (d->DisabledArrows & ESB_DISABLE_RTDN) ? DFCS_INACTIVE : 0);
  DrawFrameControl(dc, &up, DFC_SCROLL, (vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | upState);
  DrawFrameControl(dc, &down, DFC_SCROLL, (vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | downState);
  RECT track = PartRect(h, l.Arrow, l.Length - l.Arrow);
  COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_3DFACE));
  COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_3DHILIGHT));
  FillRect(dc, &track, TrackBrush());
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
  if (!l.Thumb) return;
  if ((d->Pressed == spPageUp || d->Pressed == spPageDown) && d->Inside) {
    RECT r = d->Pressed == spPageUp ? PartRect(h, l.Arrow, l.ThumbStart)
                                    : PartRect(h, l.ThumbStart + l.ThumbLength, l.Length - l.Arrow);
    FillRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
  }
  RECT thumb = PartRect(h, l.ThumbStart, l.ThumbStart + l.ThumbLength);
  DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

void SetInfo(HWND h, TScrollData* d, const SCROLLINFO& si, bool redraw) {
  if (si.fMask & SIF_RANGE) {
    d->Min = si.nMin;
    d->Max = std::max(si.nMin, si.nMax);
  }
  if (si.fMask & SIF_PAGE) d->Page = static_cast<UINT>(std::min<long long>(si.nPage, Span(d)));
  if (si.fMask & SIF_POS) d->Pos = si.nPos;
  d->Pos = std::clamp(d->Pos, d->Min, std::max(d->Min, MaxPos(d)));
  if ((si.fMask & SIF_DISABLENOSCROLL) && (si.fMask & (SIF_RANGE | SIF_PAGE))) {
    // Grey while a page shows the whole range (or there is no range), as
    // ESB_DISABLE_BOTH would; usable again once there is something to scroll.
    UINT arrows = MaxPos(d) <= d->Min ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH;
    if (arrows != d->DisabledArrows) {
      d->DisabledArrows = arrows;
      InvalidateRect(h, nullptr, FALSE);
    }
  }
  if (redraw) InvalidateRect(h, nullptr, FALSE);
}

void Step(HWND h, TScrollData* d) {
  int code = PartCode(d->Pressed);
  if (code >= 0 && d->Inside) Tell(h, code);
}

}  // namespace

LRESULT ScrollBarWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  TScrollData* d = CtlBegin<TScrollData>(h, msg, wParam, lParam, result);
  if (!d) return result;
  if (CtlFontMessage(h, msg, wParam, lParam, result)) return result;
  if (LRESULT painted; CtlPaintMessage(h, msg, wParam, [&](HDC dc) { Paint(h, d, dc); }, painted)) return painted;
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_ENABLE:
    case WM_SIZE:
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (CtlStyle(h) & WS_TABSTOP) SetFocus(h);
      POINT p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      TPart part = PartAt(h, d, p);
      if (part == spNone) return 0;
      if ((part == spLineUp && (d->DisabledArrows & ESB_DISABLE_LTUP)) ||
          (part == spLineDown && (d->DisabledArrows & ESB_DISABLE_RTDN)))
        return 0;
      d->Pressed = part;
      d->Inside = true;
      d->Tracking = true;
      SetCapture(h);
      if (part == spThumb) {
        TLayout l = Layout(h, d, d->Pos);
        d->DragOffset = (Vertical(h) ? p.Y : p.X) - l.ThumbStart;
        d->TrackPos = d->Pos;
      } else {
        Step(h, d);
        SetTimer(h, kRepeatTimer, 400, nullptr);
      }
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kRepeatTimer && d->Tracking) {
        SetTimer(h, kRepeatTimer, 50, nullptr);
        // A page keeps going only while the thumb has not passed the pointer.
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(h, &p);
        d->Inside = PartAt(h, d, p) == d->Pressed;
        Step(h, d);
      }
      return 0;
    case WM_MOUSEMOVE: {
      if (!d->Tracking || GetCapture() != h) return 0;
      POINT p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      if (d->Pressed == spThumb) {
        TLayout l = Layout(h, d, d->Pos);
        int track = l.Length - 2 * l.Arrow - l.ThumbLength;
        int at = (Vertical(h) ? p.Y : p.X) - d->DragOffset - l.Arrow;
        long long range = static_cast<long long>(MaxPos(d)) - d->Min;
        int pos = track > 0 ? static_cast<int>(d->Min + (static_cast<long long>(std::clamp(at, 0, track)) * range + track / 2) / track)
                            : d->Min;
        if (pos != d->TrackPos) {
          d->TrackPos = pos;
          InvalidateRect(h, nullptr, FALSE);
          Tell(h, SB_THUMBTRACK, pos);
        }
      } else {
        bool inside = PartAt(h, d, p) == d->Pressed;
        if (inside != d->Inside) {
          d->Inside = inside;
          InvalidateRect(h, nullptr, FALSE);
        }
      }
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (d->Tracking) {
        d->Tracking = false;
        KillTimer(h, kRepeatTimer);
        TPart part = d->Pressed;
        d->Pressed = spNone;
        if (msg == WM_LBUTTONUP && GetCapture() == h) ReleaseCapture();
        if (part == spThumb) Tell(h, SB_THUMBPOSITION, d->TrackPos);
        Tell(h, SB_ENDSCROLL);
        InvalidateRect(h, nullptr, FALSE);
      }
      return 0;
    case WM_KEYDOWN: {
      bool vert = Vertical(h);
      int code = -1;
      switch (wParam) {
        case VK_UP: if (vert) code = SB_LINEUP; break;
        case VK_DOWN: if (vert) code = SB_LINEDOWN; break;
        case VK_LEFT: if (!vert) code = SB_LINELEFT; break;
        case VK_RIGHT: if (!vert) code = SB_LINERIGHT; break;
        case VK_PRIOR: code = SB_PAGEUP; break;
        case VK_NEXT: code = SB_PAGEDOWN; break;
        case VK_HOME: code = SB_TOP; break;
        case VK_END: code = SB_BOTTOM; break;
      }
      if (code >= 0) Tell(h, code);
      return 0;
    }
    case WM_KEYUP:
      if (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_PRIOR ||
          wParam == VK_NEXT || wParam == VK_HOME || wParam == VK_END)
        Tell(h, SB_ENDSCROLL);
      return 0;
    case SBM_SETPOS: {
      int old = d->Pos;
      SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, static_cast<int>(wParam), 0};
      SetInfo(h, d, si, lParam != 0);
      return old;
    }
    case SBM_GETPOS:
      return d->Pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      // The old position when the new range moved it, else 0.
      int old = d->Pos;
      SCROLLINFO si{sizeof si, SIF_RANGE, static_cast<int>(wParam), static_cast<int>(lParam), 0, 0, 0};
      SetInfo(h, d, si, msg == SBM_SETRANGEREDRAW);
      return d->Pos != old ? old : 0;
    }
    case SBM_GETRANGE:
      if (wParam) *reinterpret_cast<int*>(wParam) = d->Min;
      if (lParam) *reinterpret_cast<int*>(lParam) = d->Max;
      return 0;
    case SBM_ENABLE_ARROWS:
      d->DisabledArrows = static_cast<UINT>(wParam) & ESB_DISABLE_BOTH;
      InvalidateRect(h, nullptr, FALSE);
      return TRUE;
    case SBM_SETSCROLLINFO:
      if (!lParam) return d->Pos;
      SetInfo(h, d, *reinterpret_cast<const SCROLLINFO*>(lParam), wParam != 0);
      return d->Pos;
    case SBM_GETSCROLLINFO: {
      auto* si = reinterpret_cast<SCROLLINFO*>(lParam);
      if (!si) return FALSE;
      if (si->fMask & SIF_RANGE) {
        si->nMin = d->Min;
        si->nMax = d->Max;
      }
      if (si->fMask & SIF_PAGE) si->nPage = d->Page;
      if (si->fMask & SIF_POS) si->nPos = d->Pos;
      if (si->fMask & SIF_TRACKPOS) si->nTrackPos = d->Pressed == spThumb ? d->TrackPos : d->Pos;
      return TRUE;
    }
    case SBM_GETSCROLLBARINFO: {
      auto* info = reinterpret_cast<SCROLLBARINFO*>(lParam);
      if (!info) return FALSE;
      TLayout l = Layout(h, d, d->Pos);
      GetWindowRect(h, &info->rcScrollBar);
      info->dxyLineButton = l.Arrow;
      info->xyThumbTop = l.Thumb ? l.ThumbStart : 0;
      info->xyThumbBottom = l.Thumb ? l.ThumbStart + l.ThumbLength : 0;
      for (DWORD& s : info->rgstate) s = 0;
      if (!IsWindowEnabled(h) || (d->DisabledArrows & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH)
        info->rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
      if (d->DisabledArrows & ESB_DISABLE_LTUP) info->rgstate[1] |= STATE_SYSTEM_UNAVAILABLE;
      if (d->DisabledArrows & ESB_DISABLE_RTDN) info->rgstate[5] |= STATE_SYSTEM_UNAVAILABLE;
      return TRUE;
    }
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace rtl::detail
