// Window DCs and surfaces: every top-level window keeps a 32-bit surface;
// its children draw into it at their place, clipped to what shows of them
// (their ancestors' client areas, siblings above them and their children
// as the styles ask). Drawn areas are remembered and shown on the native
// window before the loop waits.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_native.h"
#include "platform/win/user/user_paint.h"

namespace rtl::detail {
namespace {

struct TDCInfo {
  HWND Hwnd = nullptr;
  HWND Top = nullptr;
  DWORD Flags = 0;
  bool Own = false;
  bool Screen = false;
  HRGN Clip = nullptr;
  RECT VisBox{};
};

std::mutex g_dcLock;
std::unordered_map<HDC, TDCInfo>& DCs() {
  static std::unordered_map<HDC, TDCInfo> dcs;
  return dcs;
}

HWND g_lockedWindow = nullptr;

void SubtractWindow(TRegion& rgn, TWnd* w) {
  RECT r = SurfaceRect(w, true);
  if (w->WindowRgn) {
    TRegion shape = HrgnToRegion(w->WindowRgn);
    shape.Offset(r.Left, r.Top);
    shape.Intersect(r);
    rgn = TRegion::Combine(rgn, shape, RGN_DIFF);
  } else {
    rgn.Subtract(r);
  }
}

void IntersectShape(TRegion& rgn, TWnd* w) {
  if (!w->WindowRgn) return;
  RECT r = SurfaceRect(w, true);
  TRegion shape = HrgnToRegion(w->WindowRgn);
  shape.Offset(r.Left, r.Top);
  rgn.Intersect(shape);
}

bool LockedBy(const TWnd* w) {
  if (!g_lockedWindow) return false;
  TWnd* l = GetWndNoError(g_lockedWindow);
  return l && IsSelfOrDescendant(l, w);
}

// The DCX_ flags GetDCEx works with, after the styles had their say.
DWORD ResolveFlags(TWnd* w, DWORD flags) {
  if (flags & kDcxUseStyle) {
    flags &= ~static_cast<DWORD>(DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS | DCX_PARENTCLIP);
    if (w->Style & WS_CLIPSIBLINGS) flags |= DCX_CLIPSIBLINGS;
    if (!(flags & DCX_WINDOW)) {
      if (w->Class->Style & CS_PARENTDC) flags |= DCX_PARENTCLIP;
      if ((w->Style & WS_CLIPCHILDREN) && !(w->Style & WS_MINIMIZE)) flags |= DCX_CLIPCHILDREN;
    }
  }
  if (flags & DCX_WINDOW) flags &= ~static_cast<DWORD>(DCX_CLIPCHILDREN);
  if (w->IsTopLevel() || !w->Parent) flags = (flags & ~static_cast<DWORD>(DCX_PARENTCLIP)) | DCX_CLIPSIBLINGS;
  if (flags & (DCX_CLIPSIBLINGS | DCX_CLIPCHILDREN)) flags &= ~static_cast<DWORD>(DCX_PARENTCLIP);
  if (flags & DCX_PARENTCLIP) {
    TWnd* p = w->Parent;
    if (w->Visible() && !(p->Style & WS_MINIMIZE)) {
      flags &= ~static_cast<DWORD>(DCX_CLIPCHILDREN);
      if (p->Style & WS_CLIPSIBLINGS) flags |= DCX_CLIPSIBLINGS;
    }
  }
  return flags;
}

void RetargetDCs(TWnd* top) {
  std::lock_guard<std::mutex> g(g_dcLock);
  for (auto& [dc, info] : DCs())
    if (info.Top == top->Handle) GdiSetDCSurface(dc, top->Surface);
}

}  // namespace

HRGN RegionToHrgn(const TRegion& r) {
  const auto& rects = r.Rects();
  std::vector<char> buf(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buf.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  data->rdh.rcBound = r.Box();
  if (!rects.empty()) std::memcpy(buf.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
  HRGN h = ExtCreateRegion(nullptr, static_cast<DWORD>(buf.size()), data);
  return h ? h : CreateRectRgn(0, 0, 0, 0);
}

TRegion HrgnToRegion(HRGN h) {
  TRegion r;
  DWORD size = GetRegionData(h, 0, nullptr);
  if (!size) return r;
  std::vector<char> buf(size);
  auto* data = reinterpret_cast<RGNDATA*>(buf.data());
  if (!GetRegionData(h, size, data)) return r;
  const RECT* rects = reinterpret_cast<const RECT*>(buf.data() + data->rdh.dwSize);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) r = TRegion::Combine(r, TRegion(rects[i]), RGN_OR);
  return r;
}

HBITMAP EnsureSurface(TWnd* top) {
  int w = std::max(1, top->Width()), h = std::max(1, top->Height());
  if (top->Surface && top->SurfaceWidth == w && top->SurfaceHeight == h) return top->Surface;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP surface = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!surface) return top->Surface;
  if (top->Surface) {
    void* old = nullptr;
    int ow = 0, oh = 0, os = 0, ns = 0;
    if (GdiGetSurfaceBits(top->Surface, &old, &ow, &oh, &os) && GdiGetSurfaceBits(surface, &bits, nullptr, nullptr, &ns)) {
      int cw = std::min(ow, w), ch = std::min(oh, h);
      for (int y = 0; y < ch; ++y)
        std::memcpy(static_cast<char*>(bits) + static_cast<ptrdiff_t>(y) * ns,
                    static_cast<const char*>(old) + static_cast<ptrdiff_t>(y) * os, static_cast<size_t>(cw) * 4);
    }
    DeleteObject(top->Surface);
  }
  top->Surface = surface;
  top->SurfaceWidth = w;
  top->SurfaceHeight = h;
  RetargetDCs(top);
  return surface;
}

void DropSurface(TWnd* top) {
  if (!top->Surface) return;
  DeleteObject(top->Surface);
  top->Surface = nullptr;
  top->SurfaceWidth = top->SurfaceHeight = 0;
  top->Damage = RECT();
}

POINT SurfaceOffset(const TWnd* w) {
  const TWnd* top = TopLevelOf(const_cast<TWnd*>(w));
  RECT a = WindowScreenRect(w), b = WindowScreenRect(top);
  return POINT(a.Left - b.Left, a.Top - b.Top);
}

RECT SurfaceRect(const TWnd* w, bool window) {
  POINT o = SurfaceOffset(w);
  if (window) return RECT(o.X, o.Y, o.X + w->Width(), o.Y + w->Height());
  int cx = o.X + w->Client.Left - w->Window.Left, cy = o.Y + w->Client.Top - w->Window.Top;
  return RECT(cx, cy, cx + w->Client.Width(), cy + w->Client.Height());
}

TRegion VisibleRegion(TWnd* w, DWORD flags) {
  if (w->IsRoot() || !IsReallyVisible(w)) return TRegion();
  // Siblings and children may be other threads' windows.
  std::lock_guard<std::recursive_mutex> g(TreeLock());
  TWnd* top = TopLevelOf(w);
  TWnd* base = (flags & DCX_PARENTCLIP) && w->Parent && !w->Parent->IsRoot() ? w->Parent : w;
  TRegion rgn(base == w ? SurfaceRect(w, (flags & DCX_WINDOW) != 0) : SurfaceRect(base, false));
  IntersectShape(rgn, base);
  TWnd* child = base;
  bool clipSiblings = (flags & DCX_CLIPSIBLINGS) != 0;
  while (child != top && !rgn.IsEmpty()) {
    TWnd* parent = child->Parent;
    rgn.Intersect(SurfaceRect(parent, false));
    IntersectShape(rgn, parent);
    if (clipSiblings) {
      for (TWnd* s : parent->Children) {
        if (s == child) break;
        if (s->Visible()) SubtractWindow(rgn, s);
      }
    }
    clipSiblings = (parent->Style & WS_CLIPSIBLINGS) != 0;
    child = parent;
  }
  if ((flags & DCX_CLIPCHILDREN) && base == w)
    for (TWnd* c : w->Children)
      if (c->Visible()) SubtractWindow(rgn, c);
  return rgn;
}

HDC GetDCImpl(TWnd* w, HRGN clip, DWORD flags) {
  flags = ResolveFlags(w, flags);
  TWnd* top = TopLevelOf(w);
  HBITMAP surface = EnsureSurface(top);
  TRegion vis = VisibleRegion(w, flags);
  if (LockedBy(w) && !(flags & DCX_LOCKWINDOWUPDATE)) vis.Clear();
  if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    TRegion extra = HrgnToRegion(clip);
    RECT ts = WindowScreenRect(top);
    extra.Offset(-ts.Left, -ts.Top);
    vis = TRegion::Combine(vis, extra, (flags & DCX_INTERSECTRGN) ? RGN_AND : RGN_DIFF);
  }
  if (flags & (DCX_INTERSECTUPDATE | DCX_EXCLUDEUPDATE)) {
    TRegion upd = w->Update;
    POINT o = SurfaceOffset(w);
    upd.Offset(o.X, o.Y);
    vis = TRegion::Combine(vis, upd, (flags & DCX_INTERSECTUPDATE) ? RGN_AND : RGN_DIFF);
    if ((flags & DCX_INTERSECTUPDATE) && (flags & DCX_VALIDATE)) ValidateWnd(w, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
  }
  bool own = (w->Class->Style & (CS_OWNDC | CS_CLASSDC)) && !(flags & DCX_CACHE);
  HDC dc;
  if (own && w->OwnDC) {
    dc = w->OwnDC;
  } else {
    dc = GdiCreateWindowDC(w->Handle, surface);
    if (!dc) return nullptr;
    if (own) w->OwnDC = dc;
  }
  RECT area = SurfaceRect(w, (flags & DCX_WINDOW) != 0);
  TRegion local = vis;
  local.Offset(-area.Left, -area.Top);
  HRGN h = RegionToHrgn(local);
  GdiSetDCDeviceArea(dc, POINT(area.Left, area.Top), h);
  DeleteObject(h);
  {
    std::lock_guard<std::mutex> g(g_dcLock);
    TDCInfo& info = DCs()[dc];
    if (info.Clip && info.Clip != clip) DeleteObject(info.Clip);
    info.Hwnd = w->Handle;
    info.Top = top->Handle;
    info.Flags = flags;
    info.Own = own;
    info.Clip = (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN)) ? clip : nullptr;
    info.VisBox = vis.Box();
  }
  // What a kept DC draws is shown at the next flush.
  if (own) MarkDamage(top, vis.Box());
  return dc;
}

void MarkDamage(TWnd* top, const RECT& r) {
  if (r.IsEmpty()) return;
  RECT& d = top->Damage;
  if (d.IsEmpty())
    d = r;
  else
    d = RECT(std::min(d.Left, r.Left), std::min(d.Top, r.Top), std::max(d.Right, r.Right), std::max(d.Bottom, r.Bottom));
}

void FlushDamage() {
  for (TWnd* t : TChildSnapshot(Desktop())) {
    if (t->Damage.IsEmpty()) continue;
    RECT d = IntersectR(t->Damage, RECT(0, 0, t->SurfaceWidth, t->SurfaceHeight));
    t->Damage = RECT();
    if (d.IsEmpty() || !t->Surface) continue;
    NativeFlush(t, d);
  }
}

}  // namespace rtl::detail

using namespace rtl::detail;

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
  if (!hwnd || hwnd == GetDesktopWindow()) {
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    if (dc) {
      std::lock_guard<std::mutex> g(g_dcLock);
      DCs()[dc].Screen = true;
    }
    if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) DeleteObject(clip);
    return dc;
  }
  TWnd* w = GetWnd(hwnd);
  if (!w) return nullptr;
  return GetDCImpl(w, clip, flags);
}

HDC GetDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_CACHE | kDcxUseStyle); }

HDC GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_CACHE | DCX_WINDOW | kDcxUseStyle); }

int ReleaseDC(HWND, HDC dc) {
  TDCInfo info;
  {
    std::lock_guard<std::mutex> g(g_dcLock);
    auto it = DCs().find(dc);
    if (it == DCs().end()) return 0;
    info = it->second;
    if (!info.Own) DCs().erase(it);
  }
  if (info.Screen) {
    DeleteDC(dc);
    return 1;
  }
  if (TWnd* top = GetWndNoError(info.Top)) MarkDamage(top, info.VisBox);
  if (info.Own) return 1;
  if (info.Clip) DeleteObject(info.Clip);
  GdiDeleteWindowDC(dc);
  return 1;
}

namespace rtl::detail {

void ReleaseWindowDCs(TWnd* w) {
  std::vector<HDC> mine;
  {
    std::lock_guard<std::mutex> g(g_dcLock);
    for (auto& [dc, info] : DCs())
      if (info.Hwnd == w->Handle) mine.push_back(dc);
  }
  for (HDC dc : mine) {
    HRGN clip = nullptr;
    {
      std::lock_guard<std::mutex> g(g_dcLock);
      clip = DCs()[dc].Clip;
      DCs().erase(dc);
    }
    if (clip) DeleteObject(clip);
    GdiDeleteWindowDC(dc);
  }
  w->OwnDC = nullptr;
}

}  // namespace rtl::detail

BOOL LockWindowUpdate(HWND hwnd) {
  if (hwnd) {
    if (g_lockedWindow && g_lockedWindow != hwnd) return FALSE;
    if (!GetWnd(hwnd)) return FALSE;
    g_lockedWindow = hwnd;
    return TRUE;
  }
  HWND was = g_lockedWindow;
  g_lockedWindow = nullptr;
  // What was drawn meanwhile went nowhere: the window paints again.
  if (IsWindow(was)) RedrawWindow(was, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return TRUE;
}
