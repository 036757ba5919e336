// Scrolling window content: the pixels that stay visible move inside the
// surface, the uncovered part becomes invalid (and is handed back), the
// pending update region moves along and children can move with it.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_paint.h"

namespace rtl::detail {
namespace {

// Copies the pixels of `dst` (surface coordinates) from (dst - delta).
void BlitWithin(TWnd* top, const TRegion& dst, int dx, int dy) {
  if (dst.IsEmpty() || !top->Surface) return;
  void* bits = nullptr;
  int width = 0, height = 0, stride = 0;
  if (!GdiGetSurfaceBits(top->Surface, &bits, &width, &height, &stride)) return;
  auto* base = static_cast<uint8_t*>(bits);
  RECT box = dst.Box();
  RECT src = OffsetR(box, -dx, -dy);
  src = IntersectR(src, RECT(0, 0, width, height));
  if (src.IsEmpty()) return;
  // Through a copy of the source, so that overlapping parts stay right.
  std::vector<uint32_t> tmp(static_cast<size_t>(src.Width()) * src.Height());
  for (int y = src.Top; y < src.Bottom; ++y)
    std::memcpy(&tmp[static_cast<size_t>(y - src.Top) * src.Width()], base + static_cast<ptrdiff_t>(y) * stride + src.Left * 4,
                static_cast<size_t>(src.Width()) * 4);
  dst.ForEachIn(RECT(0, 0, width, height), [&](const RECT& r) {
    for (int y = r.Top; y < r.Bottom; ++y) {
      int sy = y - dy, sx = r.Left - dx;
      if (sy < src.Top || sy >= src.Bottom) continue;
      int x0 = std::max(sx, static_cast<int>(src.Left));
      int x1 = std::min(sx + r.Width(), static_cast<int>(src.Right));
      if (x1 <= x0) continue;
      std::memcpy(base + static_cast<ptrdiff_t>(y) * stride + (x0 + dx) * 4,
                  &tmp[static_cast<size_t>(sy - src.Top) * src.Width() + (x0 - src.Left)], static_cast<size_t>(x1 - x0) * 4);
    }
  });
  MarkDamage(top, box);
}

// The common part of ScrollWindowEx and ScrollDC on a window: `vis` is
// what shows, all in the same coordinates whose origin lies at `origin` in
// the surface. Answers the uncovered region.
TRegion ScrollPixels(TWnd* top, const TRegion& vis, POINT origin, int dx, int dy, const RECT& src, const RECT& clip) {
  TRegion from = vis;
  from.Intersect(src);
  from.Intersect(OffsetR(clip, -dx, -dy));
  TRegion to = from;
  to.Offset(dx, dy);
  to.Intersect(vis);
  to.Intersect(clip);
  TRegion surf = to;
  surf.Offset(origin.X, origin.Y);
  BlitWithin(top, surf, dx, dy);
  TRegion affected(src);
  affected = TRegion::Combine(affected, TRegion(OffsetR(src, dx, dy)), RGN_OR);
  affected.Intersect(clip);
  affected.Intersect(vis);
  return TRegion::Combine(affected, to, RGN_DIFF);
}

// Past the client area's own size every distance scrolls all of it out:
// the pixel and region work uses a distance held to that, so that nothing
// it adds up (or negates) overflows.
int PixelDistance(int d, int extent) { return std::clamp(d, -extent - 1, extent + 1); }

// Where a child scrolled along lands: far distances stop at a coordinate
// that the window's own arithmetic (position plus size) still holds.
constexpr int kFarthestChild = 1 << 29;
int ScrolledChildCoord(int at, int d) { return std::clamp(AddClamped(at, d), -kFarthestChild, kFarthestChild); }

void HandOut(const TRegion& r, HRGN region, LPRECT rect) {
  if (region) {
    HRGN h = RegionToHrgn(r);
    CombineRgn(region, h, nullptr, RGN_COPY);
    DeleteObject(h);
  }
  if (rect) *rect = r.IsEmpty() ? RECT() : r.Box();
}

}  // namespace
}  // namespace rtl::detail

using namespace rtl::detail;

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clipRect, HRGN update, LPRECT updateRect,
                   UINT flags) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return ERROR;
  TWndRef ref(w);
  RECT client(0, 0, w->Client.Width(), w->Client.Height());
  RECT src = scroll ? IntersectR(*scroll, client) : client;
  RECT clip = clipRect ? IntersectR(*clipRect, client) : client;
  TRegion exposed;
  CaretBeforePaint(hwnd);
  const int pdx = PixelDistance(dx, client.Width()), pdy = PixelDistance(dy, client.Height());
  if (IsReallyVisible(w) && (dx || dy)) {
    TWnd* top = TopLevelOf(w);
    EnsureSurface(top);
    RECT area = SurfaceRect(w, false);
    DWORD dcx = (w->Style & WS_CLIPSIBLINGS ? DCX_CLIPSIBLINGS : 0) | (w->Style & WS_CLIPCHILDREN ? DCX_CLIPCHILDREN : 0);
    TRegion vis = VisibleRegion(w, dcx);
    vis.Offset(-area.Left, -area.Top);
    exposed = ScrollPixels(top, vis, POINT(area.Left, area.Top), pdx, pdy, src, clip);
    // What was still to be painted moves with the content.
    TRegion pending = ClientUpdate(w);
    pending.Intersect(src);
    pending.Offset(pdx, pdy);
    pending.Intersect(clip);
    RECT ci = OffsetR(w->Client, -w->Window.Left, -w->Window.Top);
    pending.Offset(ci.Left, ci.Top);
    if (!pending.IsEmpty()) InvalidateWnd(w, &pending, RDW_INVALIDATE | RDW_NOCHILDREN);
  }
  if (flags & SW_SCROLLCHILDREN) {
    // Without a scroll rectangle every child moves, also those outside the
    // client area (a scrolled page's hidden rows must come into view).
    std::vector<HWND> kids;
    for (TWnd* c : w->Children)
      if (!scroll || !IntersectR(c->Window, *scroll).IsEmpty()) kids.push_back(c->Handle);
    for (HWND k : kids)
      if (TWnd* c = GetWndNoError(k))
        SetWindowPosImpl(c, nullptr, ScrolledChildCoord(c->Window.Left, dx), ScrolledChildCoord(c->Window.Top, dy), 0, 0,
                         SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (!GetWndNoError(hwnd)) return ERROR;
  if ((flags & SW_INVALIDATE) && !exposed.IsEmpty()) {
    TRegion inWindow = exposed;
    RECT ci = OffsetR(w->Client, -w->Window.Left, -w->Window.Top);
    inWindow.Offset(ci.Left, ci.Top);
    UINT rdw = RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) | ((flags & SW_SCROLLCHILDREN) ? RDW_ALLCHILDREN : 0);
    InvalidateWnd(w, &inWindow, rdw);
  }
  TThreadQueue& q = CurrentQueue();
  if (q.CaretHwnd == hwnd && src.Contains(q.CaretPos)) {
    q.CaretPos.X = AddClamped(q.CaretPos.X, dx);
    q.CaretPos.Y = AddClamped(q.CaretPos.Y, dy);
  }
  CaretAfterPaint(hwnd);
  HandOut(exposed, update, updateRect);
  return exposed.Complexity();
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* rect, const RECT* clip) {
  return ScrollWindowEx(hwnd, dx, dy, rect, clip, nullptr, nullptr,
                        SW_INVALIDATE | SW_ERASE | (rect ? 0 : SW_SCROLLCHILDREN)) != ERROR;
}

BOOL ScrollDC(HDC dc, int dx, int dy, const RECT* scroll, const RECT* clipRect, HRGN update, LPRECT updateRect) {
  if (!dc) return FALSE;
  // Rectangles are logical; the DC's origin shift turns them into device
  // coordinates.
  POINT org[2] = {POINT(0, 0), POINT(dx, dy)};
  LPtoDP(dc, org, 2);
  // Held off INT_MIN, whose negation does not exist.
  int ddx = std::max(AddClamped(org[1].X, -static_cast<long long>(org[0].X)), -INT32_MAX);
  int ddy = std::max(AddClamped(org[1].Y, -static_cast<long long>(org[0].Y)), -INT32_MAX);
  RECT clipBox;
  if (GetClipBox(dc, &clipBox) == ERROR) return FALSE;
  auto toDevice = [&](RECT r) {
    POINT p[2] = {r.TopLeft(), r.BottomRight()};
    LPtoDP(dc, p, 2);
    return RECT(p[0], p[1]);
  };
  RECT cb = toDevice(clipBox);
  RECT src = scroll ? toDevice(*scroll) : cb;
  RECT clip = clipRect ? IntersectR(toDevice(*clipRect), cb) : cb;
  HWND owner = WindowFromDC(dc);
  TWnd* w = owner ? GetWndNoError(owner) : nullptr;
  TRegion exposed;
  if (w) {
    // A window DC: only pixels that show move.
    TWnd* top = TopLevelOf(w);
    EnsureSurface(top);
    POINT dorg;
    GetDCOrgEx(dc, &dorg);
    RECT ts = WindowScreenRect(top);
    POINT origin(dorg.X - ts.Left, dorg.Y - ts.Top);
    HRGN sys = CreateRectRgn(0, 0, 0, 0);
    TRegion vis;
    if (GetRandomRgn(dc, sys, SYSRGN) == 1) {
      vis = HrgnToRegion(sys);
      vis.Offset(-dorg.X, -dorg.Y);
    }
    DeleteObject(sys);
    vis.Intersect(cb);
    exposed = ScrollPixels(top, vis, origin, ddx, ddy, src, clip);
  } else {
    TRegion moved(src);
    moved.Intersect(OffsetR(clip, -ddx, -ddy));
    RECT m = moved.IsEmpty() ? RECT() : moved.Box();
    if (!m.IsEmpty()) {
      POINT lp[2] = {m.TopLeft(), m.BottomRight()};
      DPtoLP(dc, lp, 2);
      BitBlt(dc, AddClamped(lp[0].X, dx), AddClamped(lp[0].Y, dy), lp[1].X - lp[0].X, lp[1].Y - lp[0].Y, dc, lp[0].X, lp[0].Y, SRCCOPY);
    }
    TRegion affected(src);
    affected = TRegion::Combine(affected, TRegion(OffsetR(src, ddx, ddy)), RGN_OR);
    affected.Intersect(clip);
    TRegion to(OffsetR(m, ddx, ddy));
    exposed = TRegion::Combine(affected, to, RGN_DIFF);
  }
  // Handed back in logical coordinates.
  POINT zero[1] = {POINT(0, 0)};
  DPtoLP(dc, zero, 1);
  exposed.Offset(zero[0].X, zero[0].Y);
  HandOut(exposed, update, updateRect);
  return TRUE;
}
