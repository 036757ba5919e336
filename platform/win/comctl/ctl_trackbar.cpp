// The trackbar ("msctls_trackbar32"): a thumb on a channel, moved by
// dragging, by clicks beside it (a page) and by the keys, reporting to its
// parent with WM_HSCROLL / WM_VSCROLL and the TB_ codes.
#include <algorithm>
#include <vector>

#include "platform/win/comctl/commctrl_controls.h"
#include "platform/win/user/ctl_common.h"

namespace rtl::detail {
namespace {

struct TTrackData : TCtlBase {
  int Min = 0;
  int Max = 100;
  int Pos = 0;
  int Line = 1;
  int Page = 20;
  int TicFreq = 1;
  std::vector<int> Tics;  // besides the ends
  int SelStart = 0, SelEnd = 0;
  int ThumbLen = 21;
  bool Dragging = false;
  int DragOffset = 0;
  bool Focused = false;
};

bool Vertical(HWND h) { return (CtlStyle(h) & TBS_VERT) != 0; }
constexpr int kThumbBreadth = 11;

// Geometry along the control's length ("x") and across it ("y").
struct TTrackGeom {
  int Start, End;        // the thumb's centre moves between these
  int ThumbTop, ThumbBottom;
};

TTrackGeom Geom(HWND h, TTrackData* d) {
  RECT c;
  GetClientRect(h, &c);
  int length = Vertical(h) ? c.Height() : c.Width();
  int across = Vertical(h) ? c.Width() : c.Height();
  TTrackGeom g;
  g.Start = kThumbBreadth / 2 + 4;
  g.End = std::max(g.Start, length - kThumbBreadth / 2 - 5);
  int len = std::min(d->ThumbLen, std::max(6, across - 8));
  g.ThumbTop = (CtlStyle(h) & TBS_BOTH) ? (across - len) / 2 : 4;
  g.ThumbBottom = g.ThumbTop + len;
  return g;
}

int PosToX(TTrackData* d, const TTrackGeom& g, int pos) {
  if (d->Max <= d->Min) return g.Start;
  return g.Start + static_cast<int>(static_cast<long long>(pos - d->Min) * (g.End - g.Start) / (d->Max - d->Min));
}

int XToPos(TTrackData* d, const TTrackGeom& g, int x) {
  if (g.End <= g.Start) return d->Min;
  long long span = d->Max - d->Min;
  long long v = (static_cast<long long>(x - g.Start) * span + (g.End - g.Start) / 2) / (g.End - g.Start);
  return std::clamp(static_cast<int>(d->Min + v), d->Min, d->Max);
}

RECT Oriented(HWND h, int x0, int y0, int x1, int y1) { return Vertical(h) ? RECT(y0, x0, y1, x1) : RECT(x0, y0, x1, y1); }

RECT ThumbRect(HWND h, TTrackData* d) {
  TTrackGeom g = Geom(h, d);
  int x = PosToX(d, g, d->Pos);
  return Oriented(h, x - kThumbBreadth / 2, g.ThumbTop, x + kThumbBreadth / 2 + 1, g.ThumbBottom);
}

RECT ChannelRect(HWND h, TTrackData* d) {
  TTrackGeom g = Geom(h, d);
  int mid = (g.ThumbTop + g.ThumbBottom) / 2;
  return Oriented(h, g.Start - 2, mid - 2, g.End + 3, mid + 2);
}

void Notify(HWND h, TTrackData* d, int code) {
  WPARAM w = (code == TB_THUMBTRACK || code == TB_THUMBPOSITION) ? MAKEWPARAM(code, d->Pos) : MAKEWPARAM(code, 0);
  if (HWND p = CtlNotifyTarget(h)) SendMessageA(p, Vertical(h) ? WM_VSCROLL : WM_HSCROLL, w, reinterpret_cast<LPARAM>(h));
}

bool SetPos(HWND h, TTrackData* d, int pos) {
  pos = std::clamp(pos, d->Min, std::max(d->Min, d->Max));
  if (pos == d->Pos) return false;
  d->Pos = pos;
  InvalidateRect(h, nullptr, FALSE);
  return true;
}

void Paint(HWND h, TTrackData* d, HDC dc) {
  RECT c;
  GetClientRect(h, &c);
  HBRUSH bg = CtlColor(h, dc, WM_CTLCOLORSTATIC);
  FillRect(dc, &c, bg);
  DWORD style = CtlStyle(h);
  RECT ch = ChannelRect(h, d);
  DrawEdge(dc, &ch, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  FillRect(dc, &ch, GetSysColorBrush(COLOR_WINDOW));
  TTrackGeom g = Geom(h, d);
  if ((style & TBS_ENABLESELRANGE) && d->SelEnd > d->SelStart) {
    int a = PosToX(d, g, d->SelStart), b = PosToX(d, g, d->SelEnd);
    RECT sel = Vertical(h) ? RECT(ch.Left, a, ch.Right, b) : RECT(a, ch.Top, b, ch.Bottom);
    FillRect(dc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  if (!(style & TBS_NOTICKS)) {
    std::vector<int> tics = {d->Min, d->Max};
    if (style & TBS_AUTOTICKS)
      for (int v = d->Min + d->TicFreq; d->TicFreq > 0 && v < d->Max; v += d->TicFreq) tics.push_back(v);
    tics.insert(tics.end(), d->Tics.begin(), d->Tics.end());
    HBRUSH ink = GetSysColorBrush(COLOR_BTNTEXT);
    for (int v : tics) {
      int x = PosToX(d, g, v);
      bool before = (style & (TBS_TOP | TBS_BOTH));
      bool after = !(style & TBS_TOP) || (style & TBS_BOTH);
      if (after) {
        RECT t = Oriented(h, x, g.ThumbBottom + 2, x + 1, g.ThumbBottom + 5);
        FillRect(dc, &t, ink);
      }
      if (before) {
        RECT t = Oriented(h, x, g.ThumbTop - 5, x + 1, g.ThumbTop - 2);
        FillRect(dc, &t, ink);
      }
    }
  }
  if (!(style & TBS_NOTHUMB)) {
    RECT t = ThumbRect(h, d);
    DrawEdge(dc, &t, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
  }
  if (d->Focused) DrawFocusRect(dc, &c);
}

}  // namespace

LRESULT TrackbarWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  TTrackData* d = CtlBegin<TTrackData>(h, msg, wParam, lParam, result);
  if (!d) return result;
  if (CtlFontMessage(h, msg, wParam, lParam, result)) return result;
  if (LRESULT painted; CtlPaintMessage(h, msg, wParam, [&](HDC dc) { Paint(h, d, dc); }, painted)) return painted;
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      d->Focused = msg == WM_SETFOCUS;
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_ENABLE:
    case WM_SIZE:
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(h);
      POINT p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      RECT t = ThumbRect(h, d);
      TTrackGeom g = Geom(h, d);
      int x = Vertical(h) ? p.Y : p.X;
      if (PtInRect(&t, p)) {
        d->Dragging = true;
        d->DragOffset = x - PosToX(d, g, d->Pos);
        SetCapture(h);
        return 0;
      }
      // Beside the thumb: a page toward the click.
      bool before = x < PosToX(d, g, d->Pos);
      SetPos(h, d, d->Pos + (before ? -d->Page : d->Page));
      Notify(h, d, before ? TB_PAGEUP : TB_PAGEDOWN);
      Notify(h, d, TB_ENDTRACK);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (d->Dragging && GetCapture() == h) {
        TTrackGeom g = Geom(h, d);
        int x = (Vertical(h) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam)) - d->DragOffset;
        if (SetPos(h, d, XToPos(d, g, x))) Notify(h, d, TB_THUMBTRACK);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (d->Dragging) {
        d->Dragging = false;
        if (msg == WM_LBUTTONUP && GetCapture() == h) ReleaseCapture();
        Notify(h, d, TB_THUMBPOSITION);
        Notify(h, d, TB_ENDTRACK);
      }
      return 0;
    case WM_KEYDOWN: {
      int code, to;
      switch (wParam) {
        case VK_LEFT: case VK_UP: code = TB_LINEUP; to = d->Pos - d->Line; break;
        case VK_RIGHT: case VK_DOWN: code = TB_LINEDOWN; to = d->Pos + d->Line; break;
        case VK_PRIOR: code = TB_PAGEUP; to = d->Pos - d->Page; break;
        case VK_NEXT: code = TB_PAGEDOWN; to = d->Pos + d->Page; break;
        case VK_HOME: code = TB_TOP; to = d->Min; break;
        case VK_END: code = TB_BOTTOM; to = d->Max; break;
        default: return DefWindowProcA(h, msg, wParam, lParam);
      }
      SetPos(h, d, to);
      Notify(h, d, code);
      return 0;
    }
    case WM_KEYUP:
      if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR ||
          wParam == VK_NEXT || wParam == VK_HOME || wParam == VK_END)
        Notify(h, d, TB_ENDTRACK);
      return 0;
    case TBM_GETPOS:
      return d->Pos;
    case TBM_SETPOS:
      SetPos(h, d, static_cast<int>(lParam));
      return 0;
    case TBM_SETRANGE:
      d->Min = static_cast<SHORT>(LOWORD(lParam));
      d->Max = static_cast<SHORT>(HIWORD(lParam));
      d->Pos = std::clamp(d->Pos, d->Min, std::max(d->Min, d->Max));
      d->Page = std::max(1, (d->Max - d->Min) / 5);
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case TBM_SETRANGEMIN:
      d->Min = static_cast<int>(lParam);
      d->Pos = std::max(d->Pos, d->Min);
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case TBM_SETRANGEMAX:
      d->Max = static_cast<int>(lParam);
      d->Pos = std::min(d->Pos, std::max(d->Min, d->Max));
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case TBM_GETRANGEMIN:
      return d->Min;
    case TBM_GETRANGEMAX:
      return d->Max;
    case TBM_SETTICFREQ:
      d->TicFreq = static_cast<int>(wParam);
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case TBM_SETTIC:
      if (lParam <= d->Min || lParam >= d->Max) return FALSE;
      d->Tics.push_back(static_cast<int>(lParam));
      InvalidateRect(h, nullptr, FALSE);
      return TRUE;
    case TBM_CLEARTICS:
      d->Tics.clear();
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case TBM_GETNUMTICS:
      if (CtlStyle(h) & TBS_NOTICKS) return 0;
      if (CtlStyle(h) & TBS_AUTOTICKS)
        return d->TicFreq > 0 ? (d->Max - d->Min + d->TicFreq - 1) / d->TicFreq + 1 : 2;
      return static_cast<LRESULT>(d->Tics.size() + 2);
    case TBM_SETPAGESIZE: {
      int old = d->Page;
      d->Page = static_cast<int>(lParam);
      return old;
    }
    case TBM_GETPAGESIZE:
      return d->Page;
    case TBM_SETLINESIZE: {
      int old = d->Line;
      d->Line = static_cast<int>(lParam);
      return old;
    }
    case TBM_GETLINESIZE:
      return d->Line;
    case TBM_SETSEL:
      d->SelStart = static_cast<SHORT>(LOWORD(lParam));
      d->SelEnd = static_cast<SHORT>(HIWORD(lParam));
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case TBM_SETSELSTART:
      d->SelStart = static_cast<int>(lParam);
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case TBM_SETSELEND:
      d->SelEnd = static_cast<int>(lParam);
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case TBM_GETSELSTART:
      return d->SelStart;
    case TBM_GETSELEND:
      return d->SelEnd;
    case TBM_CLEARSEL:
      d->SelStart = d->SelEnd = 0;
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case TBM_GETTHUMBRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = ThumbRect(h, d);
      return 0;
    case TBM_GETCHANNELRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = ChannelRect(h, d);
      return 0;
    case TBM_SETTHUMBLENGTH:
      if (CtlStyle(h) & TBS_FIXEDLENGTH) d->ThumbLen = static_cast<int>(wParam);
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case TBM_GETTHUMBLENGTH: {
      TTrackGeom g = Geom(h, d);
      return g.ThumbBottom - g.ThumbTop;
    }
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace rtl::detail
