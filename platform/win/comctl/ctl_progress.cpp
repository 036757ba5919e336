// The progress bar ("msctls_progress32"): range, position and step, drawn
// as blocks or, with PBS_SMOOTH, as one bar.
#include <algorithm>

#include "platform/win/comctl/commctrl_controls.h"
#include "platform/win/user/ctl_common.h"

namespace rtl::detail {
namespace {

struct TProgressData : TCtlBase {
  int Min = 0;
  int Max = 100;
  int Pos = 0;
  int Step = 10;
  COLORREF Bar = CLR_DEFAULT;
  COLORREF Back = CLR_DEFAULT;
  int State = PBST_NORMAL;
};

void Paint(HWND h, TProgressData* d, HDC dc) {
  RECT c;
  GetClientRect(h, &c);
  FillSolid(dc, c, d->Back == CLR_DEFAULT ? GetSysColor(COLOR_3DFACE) : d->Back);
  RECT frame = c;
  DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
  RECT in = c;
  InflateRect(&in, -2, -2);
  if (in.Right <= in.Left || in.Bottom <= in.Top || d->Max <= d->Min) return;
  COLORREF bar = d->Bar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : d->Bar;
  bool vertical = (CtlStyle(h) & PBS_VERTICAL) != 0;
  int length = vertical ? in.Height() : in.Width();
  int filled = static_cast<int>(static_cast<long long>(length) * (d->Pos - d->Min) / (d->Max - d->Min));
  if (filled <= 0) return;
  auto part = [&](int from, int to) {
    RECT r = in;
    if (vertical) {
      r.Bottom = in.Bottom - from;
      r.Top = in.Bottom - to;
    } else {
      r.Left = in.Left + from;
      r.Right = in.Left + to;
    }
    FillSolid(dc, r, bar);
  };
  if (CtlStyle(h) & PBS_SMOOTH) {
    part(0, filled);
    return;
  }
  // Blocks two thirds as wide as the bar is high, two pixels apart.
  int block = std::max(2, ((vertical ? in.Width() : in.Height()) * 2) / 3);
  for (int at = 0; at < filled; at += block + 2) part(at, std::min(at + block, length));
}

int Clamp(TProgressData* d, int pos) { return std::clamp(pos, std::min(d->Min, d->Max), std::max(d->Min, d->Max)); }

LRESULT SetPos(HWND h, TProgressData* d, int pos) {
  int old = d->Pos;
  d->Pos = Clamp(d, pos);
  if (old != d->Pos) InvalidateRect(h, nullptr, FALSE);
  return old;
}

}  // namespace

LRESULT ProgressWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  TProgressData* d = CtlBegin<TProgressData>(h, msg, wParam, lParam, result);
  if (!d) return result;
  if (CtlFontMessage(h, msg, wParam, lParam, result)) return result;
  if (LRESULT painted; CtlPaintMessage(h, msg, wParam, [&](HDC dc) { Paint(h, d, dc); }, painted)) return painted;
  switch (msg) {
    case PBM_SETRANGE: {
      LRESULT old = MAKELRESULT(d->Min, d->Max);
      d->Min = LOWORD(lParam);
      d->Max = HIWORD(lParam);
      d->Pos = Clamp(d, d->Pos);
      InvalidateRect(h, nullptr, FALSE);
      return old;
    }
    case PBM_SETRANGE32: {
      LRESULT old = MAKELRESULT(d->Min, d->Max);
      d->Min = static_cast<int>(wParam);
      d->Max = static_cast<int>(lParam);
      d->Pos = Clamp(d, d->Pos);
      InvalidateRect(h, nullptr, FALSE);
      return old;
    }
    case PBM_GETRANGE:
      if (lParam) {
        auto* r = reinterpret_cast<PBRANGE*>(lParam);
        r->iLow = d->Min;
        r->iHigh = d->Max;
      }
      return wParam ? d->Min : d->Max;
    case PBM_SETPOS:
      return SetPos(h, d, static_cast<int>(wParam));
    case PBM_DELTAPOS:
      return SetPos(h, d, d->Pos + static_cast<int>(wParam));
    case PBM_GETPOS:
      return d->Pos;
    case PBM_SETSTEP: {
      int old = d->Step;
      d->Step = static_cast<int>(wParam);
      return old;
    }
    case PBM_GETSTEP:
      return d->Step;
    case PBM_STEPIT: {
      // Past the end the bar starts over from the beginning.
      int old = d->Pos;
      int pos = d->Pos + d->Step;
      int span = d->Max - d->Min;
      if (span > 0 && (pos > d->Max || pos < d->Min)) pos = d->Min + (((pos - d->Min) % span) + span) % span;
      d->Pos = Clamp(d, pos);
      InvalidateRect(h, nullptr, FALSE);
      return old;
    }
    case PBM_SETBARCOLOR: {
      COLORREF old = d->Bar;
      d->Bar = static_cast<COLORREF>(lParam);
      InvalidateRect(h, nullptr, FALSE);
      return old;
    }
    case PBM_GETBARCOLOR:
      return d->Bar;
    case PBM_SETBKCOLOR: {
      COLORREF old = d->Back;
      d->Back = static_cast<COLORREF>(lParam);
      InvalidateRect(h, nullptr, FALSE);
      return old;
    }
    case PBM_GETBKCOLOR:
      return d->Back;
    case PBM_SETSTATE: {
      int old = d->State;
      d->State = static_cast<int>(wParam);
      return old;
    }
    case PBM_GETSTATE:
      return d->State;
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace rtl::detail
