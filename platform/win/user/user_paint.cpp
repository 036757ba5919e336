// Update regions and WM_PAINT: invalidation and validation (with the
// children the flags or WS_CLIPCHILDREN take along), WM_PAINT synthesised
// for windows that owe it (parents before their children), BeginPaint and
// EndPaint with WM_NCPAINT then WM_ERASEBKGND, RedrawWindow, the repaint a
// move or resize needs, window regions and layered windows.
#include <algorithm>
#include <optional>

#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_native.h"
#include "platform/win/user/user_nonclient.h"
#include "platform/win/user/user_paint.h"

namespace rtl::detail {
namespace {

RECT WholeRect(const TWnd* w) { return RECT(0, 0, w->Width(), w->Height()); }

// The client area in window coordinates.
RECT ClientInWindow(const TWnd* w) { return OffsetR(w->Client, -w->Window.Left, -w->Window.Top); }

bool TakesChildren(const TWnd* w, UINT flags) {
  if (flags & RDW_NOCHILDREN) return false;
  return (flags & RDW_ALLCHILDREN) || !(w->Style & WS_CLIPCHILDREN);
}

// The part of a window its ancestors' client areas let show, in its own
// window coordinates.
RECT VisiblePart(const TWnd* w) {
  RECT screen = WindowScreenRect(w);
  RECT r = screen;
  for (const TWnd* c = w; c->IsChild() && c->Parent && !c->Parent->IsRoot(); c = c->Parent)
    r = IntersectR(r, ClientScreenRect(c->Parent));
  return r.IsEmpty() ? RECT() : OffsetR(r, -screen.Left, -screen.Top);
}

// A child's window rectangle in its parent's window coordinates.
RECT ChildInParent(const TWnd* parent, const TWnd* c) {
  RECT ci = ClientInWindow(parent);
  return OffsetR(c->Window, ci.Left, ci.Top);
}

void DropUpdates(TWnd* w) {
  w->Update.Clear();
  w->Flags &= ~static_cast<uint32_t>(wfEraseNeeded | wfNcPaintNeeded | wfInternalPaint | wfEraseFailed);
  UpdatePaintState(w);
  for (TWnd* c : w->Children) DropUpdates(c);
}

bool MatchesFilter(HWND filter, TWnd* w) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) return false;
  return w->Handle == filter || IsChild(filter, w->Handle);
}

TWnd* FindPaint(TWnd* parent, TThreadQueue& q, HWND filter) {
  for (TWnd* c : parent->Children) {
    if (!c->Visible()) continue;
    if (c->Queue.get() == &q && c->Has(wfNeedsPaint)) {
      if (MatchesFilter(filter, c)) return c;
      // Its children wait until it has painted.
      continue;
    }
    if (c->Style & WS_MINIMIZE) continue;
    if (TWnd* r = FindPaint(c, q, filter)) return r;
  }
  return nullptr;
}

// The window's update region as a region handle in screen coordinates.
HRGN UpdateInScreen(const TWnd* w, const TRegion& part) {
  TRegion r = part;
  RECT s = WindowScreenRect(w);
  r.Offset(s.Left, s.Top);
  return RegionToHrgn(r);
}

void UpdateNow(TWnd* w, UINT flags) {
  if (!IsReallyVisible(w)) return;
  HWND h = w->Handle;
  // The frame and background come from BeginPaint inside WM_PAINT.
  if (w->Has(wfNeedsPaint)) {
    SendToWnd(w, WM_PAINT, 0, 0);
    if (!GetWndNoError(h)) return;
  }
  if (!TakesChildren(w, flags)) return;
  std::vector<HWND> kids;
  for (TWnd* c : w->Children) kids.push_back(c->Handle);
  for (HWND k : kids)
    if (TWnd* c = GetWndNoError(k)) UpdateNow(c, flags);
}

void EraseNow(TWnd* w, UINT flags) {
  if (!IsReallyVisible(w)) return;
  HWND h = w->Handle;
  SendNcPaintAndErase(w);
  if (!GetWndNoError(h) || !TakesChildren(w, flags)) return;
  std::vector<HWND> kids;
  for (TWnd* c : w->Children) kids.push_back(c->Handle);
  for (HWND k : kids)
    if (TWnd* c = GetWndNoError(k)) EraseNow(c, flags);
}

void SetInternalPaint(TWnd* w, bool on, bool allChildren) {
  if (on)
    w->Flags |= wfInternalPaint;
  else
    w->Flags &= ~static_cast<uint32_t>(wfInternalPaint);
  UpdatePaintState(w);
  if (allChildren)
    for (TWnd* c : w->Children) SetInternalPaint(c, on, true);
}

bool RedrawImpl(TWnd* w, const TRegion* area, UINT flags) {
  if (flags & RDW_INVALIDATE)
    InvalidateWnd(w, area, flags);
  else if (flags & RDW_VALIDATE)
    ValidateWnd(w, area, flags);
  else if (flags & (RDW_INTERNALPAINT | RDW_NOINTERNALPAINT))
    SetInternalPaint(w, (flags & RDW_INTERNALPAINT) != 0, (flags & RDW_ALLCHILDREN) != 0);
  if (flags & RDW_UPDATENOW)
    UpdateNow(w, flags);
  else if (flags & RDW_ERASENOW)
    EraseNow(w, flags);
  return true;
}

// A rectangle with its corners swapped covers the same area as a region's
// rectangle does.
RECT Ordered(RECT r) {
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return r;
}

// A region given in client coordinates, as window coordinates.
TRegion ClientToWindowRegion(const TWnd* w, TRegion r) {
  RECT ci = ClientInWindow(w);
  r.Offset(ci.Left, ci.Top);
  return r;
}

}  // namespace

void UpdatePaintState(TWnd* w) {
  bool needs = IsReallyVisible(w) && !w->Layered && (!w->Update.IsEmpty() || w->Has(wfInternalPaint));
  if (needs == w->Has(wfNeedsPaint)) return;
  if (needs)
    w->Flags |= wfNeedsPaint;
  else
    w->Flags &= ~static_cast<uint32_t>(wfNeedsPaint);
  if (w->Queue) w->Queue->PaintCount += needs ? 1 : -1;
}

void InvalidateWnd(TWnd* w, const TRegion* area, UINT flags) {
  if (w->IsRoot()) {
    for (TWnd* t : TChildSnapshot(w)) {
      if (!area) {
        InvalidateWnd(t, nullptr, flags);
        continue;
      }
      TRegion a = *area;
      RECT s = WindowScreenRect(t);
      a.Offset(-s.Left, -s.Top);
      InvalidateWnd(t, &a, flags);
    }
    return;
  }
  if (!IsReallyVisible(w) || w->Layered) return;
  RECT whole = WholeRect(w);
  RECT client = ClientInWindow(w);
  TRegion a = area ? *area : TRegion((flags & RDW_FRAME) ? whole : client);
  a.Intersect((flags & RDW_FRAME) ? whole : client);
  // What lies outside the parents cannot be drawn and is not owed.
  if (w->IsChild()) a.Intersect(VisiblePart(w));
  if (!a.IsEmpty()) {
    w->Update = TRegion::Combine(w->Update, a, RGN_OR);
    if (flags & RDW_ERASE) w->Flags |= wfEraseNeeded;
    if (flags & RDW_FRAME) w->Flags |= wfNcPaintNeeded;
  }
  if (flags & RDW_INTERNALPAINT) w->Flags |= wfInternalPaint;
  UpdatePaintState(w);
  // An internal paint for all children reaches those outside the area too.
  bool internalToAll = (flags & RDW_INTERNALPAINT) && (flags & RDW_ALLCHILDREN);
  if (!TakesChildren(w, flags) || (a.IsEmpty() && !internalToAll)) return;
  for (TWnd* c : w->Children) {
    if (!c->Visible()) continue;
    RECT cr = ChildInParent(w, c);
    TRegion ca = a;
    ca.Intersect(cr);
    if (ca.IsEmpty()) {
      if (internalToAll) InvalidateWnd(c, &ca, flags);
      continue;
    }
    ca.Offset(-cr.Left, -cr.Top);
    InvalidateWnd(c, &ca, flags | RDW_FRAME);
  }
}

void ValidateWnd(TWnd* w, const TRegion* area, UINT flags) {
  if (w->IsRoot()) {
    for (TWnd* t : w->Children) ValidateWnd(t, nullptr, flags);
    return;
  }
  if (area)
    w->Update = TRegion::Combine(w->Update, *area, RGN_DIFF);
  else
    w->Update.Clear();
  if (flags & RDW_NOERASE) w->Flags &= ~static_cast<uint32_t>(wfEraseNeeded);
  if (flags & RDW_NOFRAME) w->Flags &= ~static_cast<uint32_t>(wfNcPaintNeeded);
  if (flags & RDW_NOINTERNALPAINT) w->Flags &= ~static_cast<uint32_t>(wfInternalPaint);
  if (w->Update.IsEmpty()) w->Flags &= ~static_cast<uint32_t>(wfEraseNeeded | wfNcPaintNeeded | wfEraseFailed);
  UpdatePaintState(w);
  if (!TakesChildren(w, flags)) return;
  for (TWnd* c : w->Children) {
    if (!area) {
      ValidateWnd(c, nullptr, flags);
      continue;
    }
    RECT cr = ChildInParent(w, c);
    TRegion ca = *area;
    ca.Intersect(cr);
    if (ca.IsEmpty()) continue;
    ca.Offset(-cr.Left, -cr.Top);
    ValidateWnd(c, &ca, flags);
  }
}

TRegion ClientUpdate(const TWnd* w) {
  TRegion r = w->Update;
  RECT ci = ClientInWindow(w);
  r.Intersect(ci);
  r.Offset(-ci.Left, -ci.Top);
  return r;
}

void SendNcPaint(TWnd* w) {
  {
    w->Flags &= ~static_cast<uint32_t>(wfNcPaintNeeded);
    RECT whole = WholeRect(w);
    bool all = w->Update.ContainsRect(whole);
    HRGN rgn = all ? reinterpret_cast<HRGN>(1) : UpdateInScreen(w, w->Update);
    // The frame is drawn now: only the client part stays owed.
    w->Update.Intersect(ClientInWindow(w));
    UpdatePaintState(w);
    SendToWnd(w, WM_NCPAINT, reinterpret_cast<WPARAM>(rgn), 0);
    if (!all) DeleteObject(rgn);
  }
}

void SendNcPaintAndErase(TWnd* w) {
  HWND h = w->Handle;
  if (w->Has(wfNcPaintNeeded)) {
    SendNcPaint(w);
    if (!GetWndNoError(h)) return;
  }
  if (w->Has(wfEraseNeeded)) {
    w->Flags &= ~static_cast<uint32_t>(wfEraseNeeded | wfEraseFailed);
    TRegion upd = ClientUpdate(w);
    POINT o = ClientScreenOrigin(w);
    upd.Offset(o.X, o.Y);
    HDC dc = GetDCImpl(w, RegionToHrgn(upd), DCX_INTERSECTRGN | DCX_CACHE | kDcxUseStyle);
    LRESULT r = SendToWnd(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(h, dc);
    if (!r)
      if (TWnd* again = GetWndNoError(h)) again->Flags |= wfEraseFailed;
  }
}

bool RetrievePaint(TThreadQueue& q, HWND filterHwnd, MSG& msg) {
  if (q.PaintCount <= 0) return false;
  TWnd* w = FindPaint(Desktop(), q, filterHwnd);
  if (!w) return false;
  static const bool trace = TraceOn("paint");
  if (trace) {
    RECT b = w->Update.IsEmpty() ? RECT() : w->Update.Box();
    Trace("paint", "WM_PAINT %p update (%d,%d)-(%d,%d)", static_cast<void*>(w->Handle), b.Left, b.Top, b.Right, b.Bottom);
  }
  msg = MSG{w->Handle, WM_PAINT, 0, 0, 0, POINT()};
  return true;
}

void ErasePendingNow(TWnd* w) { EraseNow(w, RDW_NOCHILDREN); }

void AfterPaintDispatch(TWnd* w) {
  if (w->Has(wfNcPaintNeeded) || w->Has(wfEraseNeeded)) SendNcPaintAndErase(w);
}

void InvalidateAfterMove(TWnd* w, const RECT& oldScreen, bool wasVisible, UINT flags) {
  bool nowVisible = IsReallyVisible(w);
  if (!nowVisible) DropUpdates(w);
  if (flags & SWP_NOREDRAW) return;
  bool sized = !(flags & SWP_NOSIZE);
  bool moved = !(flags & SWP_NOMOVE);
  if (w->IsTopLevel()) {
    if (!nowVisible) return;
    EnsureSurface(w);
    if (!wasVisible || (flags & (SWP_FRAMECHANGED | SWP_SHOWWINDOW))) {
      InvalidateWnd(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return;
    }
    if (!sized) return;
    int oldW = oldScreen.Width(), oldH = oldScreen.Height();
    bool full = ((w->Class->Style & CS_HREDRAW) && oldW != w->Width()) ||
                ((w->Class->Style & CS_VREDRAW) && oldH != w->Height());
    if (full) {
      InvalidateWnd(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return;
    }
    // The frame moves with the size; of the client only what is new.
    TRegion frame(WholeRect(w));
    frame.Subtract(ClientInWindow(w));
    InvalidateWnd(w, &frame, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
    TRegion exposed(ClientInWindow(w));
    exposed.Subtract(RECT(0, 0, oldW, oldH));
    // The old frame's right and bottom edges now lie inside the client.
    RECT oldInner = DefaultClientRect(w, RECT(0, 0, oldW, oldH));
    TRegion stale(ClientInWindow(w));
    stale.Subtract(oldInner);
    exposed = TRegion::Combine(exposed, stale, RGN_OR);
    InvalidateWnd(w, &exposed, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return;
  }
  bool changed = sized || moved || (flags & (SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_HIDEWINDOW)) ||
                 !(flags & SWP_NOZORDER);
  if (!changed) return;
  TWnd* parent = w->Parent;
  if (wasVisible && parent && !parent->IsRoot()) {
    // What the window covered before shows the parent and siblings again.
    RECT ps = WindowScreenRect(parent);
    TRegion old(OffsetR(oldScreen, -ps.Left, -ps.Top));
    if (nowVisible && (flags & SWP_NOZORDER) == SWP_NOZORDER) old.Subtract(ChildInParent(parent, w));
    InvalidateWnd(parent, &old, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  if (nowVisible) InvalidateWnd(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void DropPaintState(TWnd* w) {
  w->Update.Clear();
  w->Flags &= ~static_cast<uint32_t>(wfEraseNeeded | wfNcPaintNeeded | wfInternalPaint | wfEraseFailed);
  UpdatePaintState(w);
  if (w->Has(wfNeedsPaint) && w->Queue) {
    w->Flags &= ~static_cast<uint32_t>(wfNeedsPaint);
    w->Queue->PaintCount--;
  }
  ReleaseWindowDCs(w);
  if (w->WindowRgn) {
    DeleteObject(w->WindowRgn);
    w->WindowRgn = nullptr;
  }
  DropSurface(w);
}

LRESULT DefEraseBackground(TWnd* w, HDC dc) {
  HBRUSH brush = w->Class->Background;
  if (!brush || !dc) return 0;
  uintptr_t v = reinterpret_cast<uintptr_t>(brush);
  // A system colour index + 1 stands for that colour's brush.
  if (v <= COLOR_MENUBAR + 1) brush = GetSysColorBrush(static_cast<int>(v - 1));
  RECT r(0, 0, w->Client.Width(), w->Client.Height());
  RECT clip;
  if (GetClipBox(dc, &clip) != 0) r = IntersectR(r, clip);
  if (!r.IsEmpty()) FillRect(dc, &r, brush);
  return 1;
}

void DefPrint(TWnd* w, HDC dc, DWORD flags) {
  if (!dc) return;
  HWND h = w->Handle;
  if ((flags & PRF_CHECKVISIBLE) && !IsReallyVisible(w)) return;
  int saved = SaveDC(dc);
  if (flags & PRF_NONCLIENT) DrawFrame(w, dc);
  RECT ci = ClientInWindow(w);
  POINT old;
  if (flags & PRF_NONCLIENT) {
    OffsetViewportOrgEx(dc, ci.Left, ci.Top, &old);
    IntersectClipRect(dc, 0, 0, ci.Width(), ci.Height());
  }
  if (flags & PRF_ERASEBKGND) SendToWnd(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if (!GetWndNoError(h)) return;
  if (flags & PRF_CLIENT) SendToWnd(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
  if (!GetWndNoError(h)) return;
  if (flags & PRF_CHILDREN) {
    std::vector<HWND> kids;
    for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it)
      if ((*it)->Visible()) kids.push_back((*it)->Handle);
    for (HWND k : kids) {
      TWnd* c = GetWndNoError(k);
      if (!c) continue;
      int s = SaveDC(dc);
      OffsetViewportOrgEx(dc, c->Window.Left, c->Window.Top, nullptr);
      IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
      SendToWnd(c, WM_PRINT, reinterpret_cast<WPARAM>(dc), (flags & ~static_cast<DWORD>(PRF_CHECKVISIBLE)) | PRF_NONCLIENT);
      RestoreDC(dc, s);
    }
  }
  RestoreDC(dc, saved);
}

void RedrawFrame(TWnd* w) {
  if (!IsReallyVisible(w)) return;
  HDC dc = GetDCImpl(w, nullptr, DCX_WINDOW | DCX_CACHE | kDcxUseStyle);
  if (!dc) return;
  DrawFrame(w, dc);
  ReleaseDC(w->Handle, dc);
}

}  // namespace rtl::detail

using namespace rtl::detail;

// Update regions and paint counts are the owning thread's: another
// thread's window is invalidated or validated by its own thread, without
// waiting unless something is to be painted or erased now.
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
  TWnd* w = hwnd ? GetWnd(hwnd) : Desktop();
  if (!w) return FALSE;
  // The caller's region and rectangle, read before another thread uses them.
  std::optional<TRegion> given;
  if (region)
    given = HrgnToRegion(region);
  else if (rect)
    given = TRegion(Ordered(*rect));
  const bool wait = (flags & (RDW_UPDATENOW | RDW_ERASENOW)) != 0;
  if (w->IsRoot()) {
    // The desktop: every top-level window, the area given in screen terms.
    for (HWND th : TChildSnapshot(w).Handles()) {
      RunOnOwner(
          th,
          [given, flags](TWnd* t) -> LRESULT {
            std::optional<TRegion> local = given;
            if (local) {
              RECT s = WindowScreenRect(t);
              local->Offset(-s.Left, -s.Top);
            }
            RedrawImpl(t, local ? &*local : nullptr, flags | RDW_FRAME);
            return TRUE;
          },
          wait);
    }
    return TRUE;
  }
  auto redraw = [given = std::move(given), flags](TWnd* t) -> LRESULT {
    if (given) {
      TRegion a = ClientToWindowRegion(t, *given);
      RedrawImpl(t, &a, flags);
    } else {
      RedrawImpl(t, nullptr, flags);
    }
    return TRUE;
  };
  return RunOnOwner(hwnd, redraw, wait) ? TRUE : FALSE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  if (!hwnd) return RedrawWindow(nullptr, rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ERASENOW | RDW_ALLCHILDREN);
  return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
  if (!hwnd) return RedrawWindow(nullptr, nullptr, region, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ERASENOW | RDW_ALLCHILDREN);
  return RedrawWindow(hwnd, nullptr, region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  if (!hwnd) return FALSE;
  return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE);
}

BOOL ValidateRgn(HWND hwnd, HRGN region) {
  if (!hwnd) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return RedrawWindow(hwnd, nullptr, region, RDW_VALIDATE);
}

BOOL UpdateWindow(HWND hwnd) {
  // Not the desktop's shorthand that RedrawWindow takes a null window for.
  if (!GetWnd(hwnd)) return FALSE;
  return RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return FALSE;
  if (erase) SendNcPaintAndErase(w);
  if (!(w = GetWndNoError(hwnd))) return FALSE;
  TRegion upd = ClientUpdate(w);
  if (rect) *rect = upd.IsEmpty() ? RECT() : upd.Box();
  return upd.IsEmpty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !region) return ERROR;
  if (erase) SendNcPaintAndErase(w);
  if (!(w = GetWndNoError(hwnd))) return ERROR;
  HRGN h = RegionToHrgn(ClientUpdate(w));
  int r = CombineRgn(region, h, nullptr, RGN_COPY);
  DeleteObject(h);
  return r;
}

int ExcludeUpdateRgn(HDC dc, HWND hwnd) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return ERROR;
  HRGN h = RegionToHrgn(ClientUpdate(w));
  int r = ExtSelectClipRgn(dc, h, RGN_DIFF);
  DeleteObject(h);
  return r;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !ps) return nullptr;
  TWndRef ref(w);
  CaretBeforePaint(hwnd);
  if (w->Has(wfNcPaintNeeded)) {
    SendNcPaint(w);
    if (!GetWndNoError(hwnd)) return nullptr;
  }
  TRegion upd = ClientUpdate(w);
  bool erase = w->Has(wfEraseNeeded);
  bool failed = w->Has(wfEraseFailed);
  w->Update.Clear();
  if (TWnd* parent = w->Parent; w->IsChild() && parent && !parent->IsRoot() && !(parent->Style & WS_CLIPCHILDREN) &&
                                 !parent->Update.IsEmpty()) {
    // The parent draws over its children: what it still owes under this
    // child would paint over what the child is about to draw.
    parent->Update.Subtract(ChildInParent(parent, w));
    if (parent->Update.IsEmpty())
      parent->Flags &= ~static_cast<uint32_t>(wfEraseNeeded | wfNcPaintNeeded | wfEraseFailed);
    UpdatePaintState(parent);
  }
  w->Flags &= ~static_cast<uint32_t>(wfEraseNeeded | wfNcPaintNeeded | wfInternalPaint | wfEraseFailed);
  UpdatePaintState(w);
  TRegion screen = upd;
  POINT o = ClientScreenOrigin(w);
  screen.Offset(o.X, o.Y);
  HDC dc = GetDCImpl(w, RegionToHrgn(screen), DCX_INTERSECTRGN | kDcxUseStyle);
  ps->hdc = dc;
  ps->fRestore = FALSE;
  ps->fIncUpdate = FALSE;
  ps->rcPaint = upd.IsEmpty() ? RECT() : IntersectR(upd.Box(), RECT(0, 0, w->Client.Width(), w->Client.Height()));
  if (erase) {
    LRESULT r = SendToWnd(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ps->fErase = r ? FALSE : TRUE;
  } else {
    ps->fErase = failed ? TRUE : FALSE;
  }
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (!ps) return FALSE;
  ReleaseDC(hwnd, ps->hdc);
  CaretAfterPaint(hwnd);
  return TRUE;
}

// ---- Window regions -------------------------------------------------------------

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return 0;
  RECT oldScreen = WindowScreenRect(w);
  bool wasVisible = IsReallyVisible(w);
  if (w->WindowRgn && w->WindowRgn != region) DeleteObject(w->WindowRgn);
  // The window owns the region from now on.
  w->WindowRgn = region;
  if (w->IsTopLevel()) NativeShapeChanged(w);
  if (redraw && wasVisible)
    InvalidateAfterMove(w, oldScreen, wasVisible, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !region || !w->WindowRgn) return ERROR;
  return CombineRgn(region, w->WindowRgn, nullptr, RGN_COPY);
}

int GetWindowRgnBox(HWND hwnd, LPRECT rect) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !rect || !w->WindowRgn) return ERROR;
  return GetRgnBox(w->WindowRgn, rect);
}

// ---- Layered windows ------------------------------------------------------------

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return FALSE;
  if (!(w->ExStyle & WS_EX_LAYERED)) {
    SetLastError(87);
    return FALSE;
  }
  w->ColorKey = key;
  w->Alpha = (flags & LWA_ALPHA) ? alpha : 255;
  w->LayeredFlags = flags;
  if (w->Layered) {
    // Back to painting through WM_PAINT.
    w->Layered = false;
    InvalidateWnd(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  if (w->IsTopLevel()) NativeOpacityChanged(w);
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !(w->ExStyle & WS_EX_LAYERED) || w->Layered) return FALSE;
  if (key) *key = w->ColorKey;
  if (alpha) *alpha = w->Alpha;
  if (flags) *flags = w->LayeredFlags;
  return TRUE;
}

BOOL UpdateLayeredWindow(HWND hwnd, HDC, POINT* dst, SIZE* size, HDC src, POINT* srcPos, COLORREF key,
                         BLENDFUNCTION* blend, DWORD flags) {
  TWnd* w = GetWnd(hwnd);
  if (!w || !(w->ExStyle & WS_EX_LAYERED) || !w->IsTopLevel()) {
    SetLastError(87);
    return FALSE;
  }
  HWND h = w->Handle;
  UINT swp = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;
  if (!dst) swp |= SWP_NOMOVE;
  if (!size) swp |= SWP_NOSIZE;
  if ((swp & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
    SetWindowPosImpl(w, nullptr, dst ? dst->X : 0, dst ? dst->Y : 0, size ? size->cx : 0, size ? size->cy : 0, swp);
  if (!(w = GetWndNoError(h))) return FALSE;
  // From now on the window shows this picture, not what WM_PAINT draws.
  w->Layered = true;
  DropUpdates(w);
  w->Alpha = blend ? blend->SourceConstantAlpha : 255;
  w->ColorKey = key;
  w->LayeredFlags = flags;
  HBITMAP surface = EnsureSurface(w);
  if (src) {
    HDC dc = GdiCreateWindowDC(h, surface);
    POINT sp = srcPos ? *srcPos : POINT();
    BitBlt(dc, 0, 0, w->Width(), w->Height(), src, sp.X, sp.Y, SRCCOPY);
    GdiDeleteWindowDC(dc);
  }
  MarkDamage(w, RECT(0, 0, w->SurfaceWidth, w->SurfaceHeight));
  NativeOpacityChanged(w);
  return TRUE;
}
