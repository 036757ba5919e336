// Device contexts: creation, saved states, device capabilities, coordinate
// spaces, attributes, and the window system's window DCs.
#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/gdi/gdi_int_range.h"
#include "platform/win/gdi/gdi_metafile.h"
#include "platform/win/gdi/gdi_objects.h"

namespace rtl::detail {

namespace {

std::atomic<int> gScreenDpi{96};
std::atomic<int> gScreenWidth{1920};
std::atomic<int> gScreenHeight{1080};

HDC NewDC(TDCKind kind) {
  auto dc = std::make_unique<TGdiDC>(kind);
  TGdiDC* raw = dc.get();
  HDC h = static_cast<HDC>(GdiAdd(std::move(dc)));
  if (!h) return nullptr;
  raw->Handle = h;
  GdiSetDefaultState(raw);
  return h;
}

// Drops the DC's selections so that its objects can be deleted.
void ReleaseSelections(TGdiDC* dc) {
  std::lock_guard<std::mutex> guard(GdiSelectionMutex());
  for (HGDIOBJ h : {static_cast<HGDIOBJ>(dc->S.Pen), static_cast<HGDIOBJ>(dc->S.Brush),
                    static_cast<HGDIOBJ>(dc->S.Font), static_cast<HGDIOBJ>(dc->S.Palette),
                    static_cast<HGDIOBJ>(dc->S.Bitmap)})
    if (auto o = GdiGet(h)) --o->Selected;
  if (auto b = GdiBitmap(dc->S.Bitmap))
    if (b->SelectedIn == dc->Handle) b->SelectedIn = nullptr;
}

int Sum(int a, int b) { return ClampInt(int64_t(a) + b); }

// Fixed map modes: logical units per inch.
double UnitsPerInch(int mode) {
  switch (mode) {
    case MM_LOMETRIC: return 254;
    case MM_HIMETRIC: return 2540;
    case MM_LOENGLISH: return 100;
    case MM_HIENGLISH: return 1000;
    case MM_TWIPS: return 1440;
    default: return 0;
  }
}

}  // namespace

// ---- Transforms ---------------------------------------------------------

TXform TXform::Then(const TXform& b) const {
  TXform r;
  r.M11 = M11 * b.M11 + M12 * b.M21;
  r.M12 = M11 * b.M12 + M12 * b.M22;
  r.M21 = M21 * b.M11 + M22 * b.M21;
  r.M22 = M21 * b.M12 + M22 * b.M22;
  r.Dx = Dx * b.M11 + Dy * b.M21 + b.Dx;
  r.Dy = Dx * b.M12 + Dy * b.M22 + b.Dy;
  return r;
}

bool TXform::Invert(TXform& out) const {
  double det = M11 * M22 - M12 * M21;
  if (det == 0) return false;
  out.M11 = M22 / det;
  out.M12 = -M12 / det;
  out.M21 = -M21 / det;
  out.M22 = M11 / det;
  out.Dx = (M21 * Dy - M22 * Dx) / det;
  out.Dy = (M12 * Dx - M11 * Dy) / det;
  return true;
}

// ---- TGdiDC -------------------------------------------------------------

THandleRef<TGdiBitmap> TGdiDC::Target() {
  switch (Kind) {
    case dckMemory: return GdiBitmap(S.Bitmap);
    case dckWindow: return GdiBitmap(Surface);
    default: return nullptr;
  }
}

SIZE TGdiDC::DeviceSize() {
  if (Kind == dckScreen || Kind == dckInfo) return GdiScreenSize();
  auto b = Target();
  return b ? SIZE(b->Width, b->Height) : SIZE(0, 0);
}

const TRegion& TGdiDC::EffectiveClip() {
  if (clipValid_) return clip_;
  SIZE sz = DeviceSize();
  clip_.SetRect(RECT{0, 0, sz.cx, sz.cy});
  auto apply = [&](const std::optional<TRegion>& r, bool mirror) {
    if (!r) return;
    TRegion moved = mirror ? DeviceToTarget(*r) : *r;
    moved.Offset(DeviceOrigin.X, DeviceOrigin.Y);
    clip_.Intersect(moved);
  };
  // The visible area is the window system's, never mirrored.
  apply(Visible, false);
  apply(S.Meta, true);
  apply(S.Clip, true);
  clipValid_ = true;
  return clip_;
}

TXform TGdiDC::LogicalToDevice() const {
  TXform page;
  double sx = 1, sy = 1;
  if (S.MapMode != MM_TEXT && S.WindowExt.cx && S.WindowExt.cy) {
    sx = double(S.ViewportExt.cx) / S.WindowExt.cx;
    sy = double(S.ViewportExt.cy) / S.WindowExt.cy;
  }
  page.M11 = sx;
  page.M22 = sy;
  page.Dx = S.ViewportOrg.X - S.WindowOrg.X * sx;
  page.Dy = S.ViewportOrg.Y - S.WindowOrg.Y * sy;
  if (S.GraphicsMode == GM_ADVANCED && !S.World.IsIdentity()) return S.World.Then(page);
  return page;
}

int TGdiDC::MirrorWidth() {
  if (Visible) return Visible->Box().Right;
  return DeviceSize().cx - DeviceOrigin.X;
}

TRegion TGdiDC::DeviceToTarget(const TRegion& r) {
  if (!Mirrored()) return r;
  const int w = MirrorWidth();
  std::vector<RECT> rects;
  rects.reserve(r.Rects().size());
  for (const RECT& q : r.Rects()) rects.push_back(RECT{w - q.Right, q.Top, w - q.Left, q.Bottom});
  return TRegion::FromRects(rects.data(), rects.size());
}

const TXform& TGdiDC::ToTarget() {
  if (!xformValid_) {
    xform_ = LogicalToDevice();
    if (Mirrored()) {
      const double w = MirrorWidth();
      xform_.M11 = -xform_.M11;
      xform_.M21 = -xform_.M21;
      xform_.Dx = w - 1 - xform_.Dx;
    }
    xform_.Dx += DeviceOrigin.X;
    xform_.Dy += DeviceOrigin.Y;
    simple_ = xform_.M11 == 1 && xform_.M22 == 1 && xform_.M12 == 0 && xform_.M21 == 0 &&
              xform_.Dx == std::floor(xform_.Dx) && xform_.Dy == std::floor(xform_.Dy);
    offset_ = POINT(static_cast<int>(xform_.Dx), static_cast<int>(xform_.Dy));
    xformValid_ = true;
  }
  return xform_;
}

bool TGdiDC::Simple() {
  ToTarget();
  return simple_;
}

POINT TGdiDC::Offset() {
  ToTarget();
  return offset_;
}

POINT TGdiDC::LPtoTarget(POINT p) {
  const TXform& m = ToTarget();
  if (simple_) return POINT(Sum(p.X, offset_.X), Sum(p.Y, offset_.Y));
  return POINT(RoundInt(p.X * m.M11 + p.Y * m.M21 + m.Dx), RoundInt(p.X * m.M12 + p.Y * m.M22 + m.Dy));
}

int GdiScreenDpi() { return gScreenDpi.load(); }
SIZE GdiScreenSize() { return SIZE(gScreenWidth.load(), gScreenHeight.load()); }

// ---- The window system's interface --------------------------------------

HDC GdiCreateWindowDC(HWND owner, HBITMAP surface) {
  HDC h = NewDC(dckWindow);
  auto dc = GdiDC(h);
  if (!dc) return nullptr;
  dc->Owner = owner;
  dc->Surface = surface;
  dc->Invalidate();
  return h;
}

void GdiDeleteWindowDC(HDC hdc) {
  auto dc = GdiDC(hdc);
  if (!dc || dc->Kind != dckWindow) return;
  ReleaseSelections(dc);
  GdiRemove(hdc);
}

void GdiSetDCDeviceArea(HDC hdc, POINT deviceOrigin, HRGN visibleRegion) {
  auto dc = GdiDC(hdc);
  if (!dc) return;
  dc->DeviceOrigin = deviceOrigin;
  if (auto r = GdiRegion(visibleRegion))
    dc->Visible = r->Rgn;
  else
    dc->Visible.reset();
  dc->Invalidate();
}

void GdiResetDC(HDC hdc) {
  if (auto dc = GdiDC(hdc)) GdiSetDefaultState(dc);
}

void GdiSetDCSurface(HDC hdc, HBITMAP surface) {
  auto dc = GdiDC(hdc);
  if (!dc || dc->Kind != dckWindow) return;
  dc->Surface = surface;
  dc->Invalidate();
}

bool GdiGetSurfaceBits(HBITMAP bitmap, void** bits, int* width, int* height, int* stride) {
  auto b = GdiBitmap(bitmap);
  if (!b || !b->Dib) return false;
  if (bits) *bits = b->Row(0);
  if (width) *width = b->Width;
  if (height) *height = b->Height;
  if (stride) *stride = b->TopDown ? b->Stride : -b->Stride;
  return true;
}

void GdiSetScreenDpi(int dpi) { gScreenDpi = dpi > 0 ? dpi : 96; }
int GdiGetScreenDpi() { return gScreenDpi.load(); }
void GdiSetScreenSize(int width, int height) {
  gScreenWidth = width;
  gScreenHeight = height;
}

}  // namespace rtl::detail

using namespace rtl::detail;

// ---- Creation -----------------------------------------------------------

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !GdiDC(hdc)) return nullptr;
  return NewDC(dckMemory);
}

HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR, const void*) {
  auto is = [](LPCSTR s) {
    if (!s) return false;
    AnsiString v(s);
    for (char& c : v) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return v == "DISPLAY" || v == "\\\\.\\DISPLAY1";
  };
  if (!is(driver) && !is(device)) {
    SetLastError(2);
    return nullptr;
  }
  return NewDC(dckScreen);
}

HDC CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* init) {
  AnsiString d = driver ? WideToAnsi(driver) : AnsiString();
  AnsiString v = device ? WideToAnsi(device) : AnsiString();
  AnsiString o = output ? WideToAnsi(output) : AnsiString();
  return CreateDCA(driver ? d.c_str() : nullptr, device ? v.c_str() : nullptr, output ? o.c_str() : nullptr, init);
}

BOOL DeleteDC(HDC hdc) {
  auto dc = GdiDC(hdc);
  // Window DCs belong to the window system, which releases them.
  if (!dc || dc->Kind == dckWindow) return FALSE;
  if (dc->Type == OBJ_ENHMETADC) EmfForgetDC(hdc);
  ReleaseSelections(dc);
  GdiRemove(hdc);
  return TRUE;
}

int SaveDC(HDC hdc) {
  auto dc = GdiDC(hdc);
  if (!dc) return 0;
  dc->Saved.push_back(dc->S);
  return static_cast<int>(dc->Saved.size());
}

BOOL RestoreDC(HDC hdc, int savedDC) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  int n = static_cast<int>(dc->Saved.size());
  int index = savedDC < 0 ? n + savedDC : savedDC - 1;
  if (savedDC == 0 || index < 0 || index >= n) return FALSE;
  TDCState st = dc->Saved[static_cast<size_t>(index)];
  dc->Saved.resize(static_cast<size_t>(index));
  // Objects deleted since the save cannot come back; keep what is selected.
  auto reselect = [&](HGDIOBJ saved, HGDIOBJ current) {
    if (saved != current && GdiGet(saved)) SelectObject(hdc, saved);
  };
  reselect(st.Pen, dc->S.Pen);
  reselect(st.Brush, dc->S.Brush);
  reselect(st.Font, dc->S.Font);
  if (dc->Kind == dckMemory) reselect(st.Bitmap, dc->S.Bitmap);
  if (st.Palette != dc->S.Palette) GdiSwapSelection(dc->S.Palette, st.Palette);
  st.Pen = dc->S.Pen;
  st.Brush = dc->S.Brush;
  st.Font = dc->S.Font;
  st.Bitmap = dc->S.Bitmap;
  st.Palette = dc->S.Palette;
  dc->S = std::move(st);
  dc->Invalidate();
  return TRUE;
}

namespace {
// Set by tests through user_testing.h; read on the user-interface thread.
std::atomic<int> gCapsBitsPixel{0}, gCapsNumColors{0}, gCapsTechnology{0};
}  // namespace

namespace rtl::testing {
// The same record as user_testing.h declares; gdi does not see that header.
struct TDeviceCapsOverride {
  int BitsPixel = 0;
  int NumColors = 0;
  int Technology = 0;
};
void SetDeviceCapsOverride(const TDeviceCapsOverride& caps) {
  gCapsBitsPixel = caps.BitsPixel;
  gCapsNumColors = caps.NumColors;
  gCapsTechnology = caps.Technology;
}
}  // namespace rtl::testing

int GetDeviceCaps(HDC hdc, int index) {
  auto dc = GdiDC(hdc);
  if (!dc) return 0;
  if (index == BITSPIXEL && gCapsBitsPixel) return gCapsBitsPixel;
  if (index == NUMCOLORS && gCapsNumColors) return gCapsNumColors;
  if (index == TECHNOLOGY && gCapsTechnology) return gCapsTechnology;
  int dpi = GdiScreenDpi();
  SIZE screen = GdiScreenSize();
  switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return RoundInt(screen.cx * 25.4 / dpi);
    case VERTSIZE: return RoundInt(screen.cy * 25.4 / dpi);
    case HORZRES:
    case DESKTOPHORZRES: return screen.cx;
    case VERTRES:
    case DESKTOPVERTRES: return screen.cy;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS: return -1;
    case NUMMARKERS:
    case NUMFONTS: return 0;
    case CURVECAPS: return 511;
    case LINECAPS: return 254;
    case POLYGONALCAPS: return 255;
    case TEXTCAPS: return 0x7E08;
    case CLIPCAPS: return CP_RECTANGLE | CP_REGION;
    case RASTERCAPS:
      return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB | RC_FLOODFILL;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return dpi;
    case SIZEPALETTE: return 0;
    case NUMRESERVED: return 20;
    case COLORRES: return 24;
    case VREFRESH: return 60;
    case SHADEBLENDCAPS: return SB_CONST_ALPHA | SB_PIXEL_ALPHA | SB_GRAD_RECT | SB_GRAD_TRI;
    default: return 0;
  }
}

HWND WindowFromDC(HDC hdc) {
  auto dc = GdiDC(hdc);
  return dc ? dc->Owner : nullptr;
}

BOOL GetDCOrgEx(HDC hdc, LPPOINT point) {
  auto dc = GdiDC(hdc);
  if (!dc || !point) return FALSE;
  *point = dc->DeviceOrigin;
  return TRUE;
}

BOOL GdiFlush() { return TRUE; }

DWORD SetLayout(HDC hdc, DWORD layout) {
  auto dc = GdiDC(hdc);
  if (!dc) return GDI_ERROR;
  DWORD old = dc->S.Layout;
  dc->S.Layout = layout;
  // A mirrored DC maps with its own extents: it reads as anisotropic.
  if ((layout & LAYOUT_RTL) && dc->S.MapMode == MM_TEXT) dc->S.MapMode = MM_ANISOTROPIC;
  dc->Invalidate();
  return old;
}

DWORD GetLayout(HDC hdc) {
  auto dc = GdiDC(hdc);
  return dc ? dc->S.Layout : GDI_ERROR;
}

// ---- Coordinates --------------------------------------------------------

namespace {

BOOL SetPoint(HDC hdc, POINT TDCState::*field, int x, int y, LPPOINT old, bool relative) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  POINT& p = dc->S.*field;
  if (old) *old = p;
  p = relative ? POINT(p.X + x, p.Y + y) : POINT(x, y);
  dc->Invalidate();
  return TRUE;
}

BOOL GetPoint(HDC hdc, POINT TDCState::*field, LPPOINT out) {
  auto dc = GdiDC(hdc);
  if (!dc || !out) return FALSE;
  *out = dc->S.*field;
  return TRUE;
}

// Keeps the isotropic mode's unit square.
void FixIsotropic(TDCState& s) {
  if (s.MapMode != MM_ISOTROPIC || !s.WindowExt.cx || !s.WindowExt.cy) return;
  double xr = double(s.ViewportExt.cx) / s.WindowExt.cx;
  double yr = double(s.ViewportExt.cy) / s.WindowExt.cy;
  if (std::fabs(xr) > std::fabs(yr)) {
    int v = static_cast<int>(std::fabs(yr) * s.WindowExt.cx);
    s.ViewportExt.cx = (xr < 0) ? -v : v;
  } else if (std::fabs(yr) > std::fabs(xr)) {
    int v = static_cast<int>(std::fabs(xr) * s.WindowExt.cy);
    s.ViewportExt.cy = (yr < 0) ? -v : v;
  }
}

}  // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old) { return SetPoint(hdc, &TDCState::WindowOrg, x, y, old, false); }
BOOL GetWindowOrgEx(HDC hdc, LPPOINT point) { return GetPoint(hdc, &TDCState::WindowOrg, point); }
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, LPPOINT old) {
  return SetPoint(hdc, &TDCState::WindowOrg, dx, dy, old, true);
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
  return SetPoint(hdc, &TDCState::ViewportOrg, x, y, old, false);
}
BOOL GetViewportOrgEx(HDC hdc, LPPOINT point) { return GetPoint(hdc, &TDCState::ViewportOrg, point); }
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, LPPOINT old) {
  return SetPoint(hdc, &TDCState::ViewportOrg, dx, dy, old, true);
}
BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT old) { return SetPoint(hdc, &TDCState::BrushOrg, x, y, old, false); }
BOOL GetBrushOrgEx(HDC hdc, LPPOINT point) { return GetPoint(hdc, &TDCState::BrushOrg, point); }
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT point) { return GetPoint(hdc, &TDCState::CurPos, point); }

BOOL SetWindowExtEx(HDC hdc, int x, int y, LPSIZE old) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->S.WindowExt;
  if (dc->S.MapMode != MM_ISOTROPIC && dc->S.MapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) return FALSE;
  dc->S.WindowExt = SIZE(x, y);
  FixIsotropic(dc->S);
  dc->Invalidate();
  return TRUE;
}

BOOL GetWindowExtEx(HDC hdc, LPSIZE size) {
  auto dc = GdiDC(hdc);
  if (!dc || !size) return FALSE;
  *size = dc->S.WindowExt;
  return TRUE;
}

BOOL SetViewportExtEx(HDC hdc, int x, int y, LPSIZE old) {
  auto dc = GdiDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->S.ViewportExt;
  if (dc->S.MapMode != MM_ISOTROPIC && dc->S.MapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) return FALSE;
  dc->S.ViewportExt = SIZE(x, y);
  FixIsotropic(dc->S);
  dc->Invalidate();
  return TRUE;
}

BOOL GetViewportExtEx(HDC hdc, LPSIZE size) {
  auto dc = GdiDC(hdc);
  if (!dc || !size) return FALSE;
  *size = dc->S.ViewportExt;
  return TRUE;
}

BOOL ScaleViewportExtEx(HDC hdc, int xn, int xd, int yn, int yd, LPSIZE old) {
  auto dc = GdiDC(hdc);
  if (!dc || !xd || !yd) return FALSE;
  SIZE e = dc->S.ViewportExt;
  return SetViewportExtEx(hdc, e.cx * xn / xd, e.cy * yn / yd, old);
}

BOOL ScaleWindowExtEx(HDC hdc, int xn, int xd, int yn, int yd, LPSIZE old) {
  auto dc = GdiDC(hdc);
  if (!dc || !xd || !yd) return FALSE;
  SIZE e = dc->S.WindowExt;
  return SetWindowExtEx(hdc, e.cx * xn / xd, e.cy * yn / yd, old);
}

int SetMapMode(HDC hdc, int mode) {
  auto dc = GdiDC(hdc);
  if (!dc || mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
  int old = dc->S.MapMode;
  dc->S.MapMode = mode;
  if (mode == MM_TEXT) {
    dc->S.WindowExt = dc->S.ViewportExt = SIZE(1, 1);
    // The layout stays; a mirrored DC's unit mapping reads as anisotropic.
    if (dc->Mirrored()) dc->S.MapMode = MM_ANISOTROPIC;
  } else if (double upi = UnitsPerInch(mode); upi > 0) {
    // The device's size in the mode's units against its size in pixels,
    // the size in millimetres being whole as the device reports it.
    int mmX = GetDeviceCaps(hdc, HORZSIZE), mmY = GetDeviceCaps(hdc, VERTSIZE);
    dc->S.WindowExt = SIZE(RoundInt(mmX * upi / 25.4), RoundInt(mmY * upi / 25.4));
    dc->S.ViewportExt = SIZE(GetDeviceCaps(hdc, HORZRES), -GetDeviceCaps(hdc, VERTRES));
  } else if (mode == MM_ISOTROPIC && old != MM_ANISOTROPIC && old != MM_ISOTROPIC) {
    int dpi = GdiScreenDpi();
    dc->S.WindowExt = SIZE(254, 254);
    dc->S.ViewportExt = SIZE(dpi, -dpi);
  }
  dc->Invalidate();
  return old;
}

int GetMapMode(HDC hdc) {
  auto dc = GdiDC(hdc);
  return dc ? dc->S.MapMode : 0;
}

int SetGraphicsMode(HDC hdc, int mode) {
  auto dc = GdiDC(hdc);
  if (!dc || (mode != GM_COMPATIBLE && mode != GM_ADVANCED)) return 0;
  int old = dc->S.GraphicsMode;
  dc->S.GraphicsMode = mode;
  // Back to compatible, the world transform is gone.
  if (mode == GM_COMPATIBLE) dc->S.World = TXform();
  dc->Invalidate();
  return old;
}

int GetGraphicsMode(HDC hdc) {
  auto dc = GdiDC(hdc);
  return dc ? dc->S.GraphicsMode : 0;
}

namespace {

TXform FromXFORM(const XFORM& x) { return TXform{x.eM11, x.eM12, x.eM21, x.eM22, x.eDx, x.eDy}; }
XFORM ToXFORM(const TXform& t) {
  return XFORM{float(t.M11), float(t.M12), float(t.M21), float(t.M22), float(t.Dx), float(t.Dy)};
}

}  // namespace

BOOL SetWorldTransform(HDC hdc, const XFORM* xform) {
  auto dc = GdiDC(hdc);
  if (!dc || !xform || dc->S.GraphicsMode != GM_ADVANCED) return FALSE;
  if (xform->eM11 * xform->eM22 - xform->eM12 * xform->eM21 == 0) return FALSE;
  dc->S.World = FromXFORM(*xform);
  dc->Invalidate();
  return TRUE;
}

BOOL GetWorldTransform(HDC hdc, LPXFORM xform) {
  auto dc = GdiDC(hdc);
  if (!dc || !xform) return FALSE;
  *xform = ToXFORM(dc->S.World);
  return TRUE;
}

BOOL ModifyWorldTransform(HDC hdc, const XFORM* xform, DWORD mode) {
  auto dc = GdiDC(hdc);
  if (!dc || dc->S.GraphicsMode != GM_ADVANCED) return FALSE;
  switch (mode) {
    case MWT_IDENTITY:
      dc->S.World = TXform();
      break;
    case MWT_LEFTMULTIPLY:
      if (!xform) return FALSE;
      dc->S.World = FromXFORM(*xform).Then(dc->S.World);
      break;
    case MWT_RIGHTMULTIPLY:
      if (!xform) return FALSE;
      dc->S.World = dc->S.World.Then(FromXFORM(*xform));
      break;
    default:
      return FALSE;
  }
  dc->Invalidate();
  return TRUE;
}

BOOL CombineTransform(LPXFORM result, const XFORM* a, const XFORM* b) {
  if (!result || !a || !b) return FALSE;
  *result = ToXFORM(FromXFORM(*a).Then(FromXFORM(*b)));
  return TRUE;
}

BOOL LPtoDP(HDC hdc, LPPOINT points, int count) {
  auto dc = GdiDC(hdc);
  if (!dc || (!points && count)) return FALSE;
  TXform m = dc->LogicalToDevice();
  for (int i = 0; i < count; ++i) {
    POINT p = points[i];
    points[i] = POINT(RoundInt(p.X * m.M11 + p.Y * m.M21 + m.Dx), RoundInt(p.X * m.M12 + p.Y * m.M22 + m.Dy));
  }
  return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT points, int count) {
  auto dc = GdiDC(hdc);
  if (!dc || (!points && count)) return FALSE;
  TXform inv;
  if (!dc->LogicalToDevice().Invert(inv)) return FALSE;
  for (int i = 0; i < count; ++i) {
    POINT p = points[i];
    points[i] = POINT(RoundInt(p.X * inv.M11 + p.Y * inv.M21 + inv.Dx), RoundInt(p.X * inv.M12 + p.Y * inv.M22 + inv.Dy));
  }
  return TRUE;
}

// ---- Attributes ---------------------------------------------------------

namespace {

template <class T>
T SetField(HDC hdc, T TDCState::*field, T value, T failure) {
  auto dc = GdiDC(hdc);
  if (!dc) return failure;
  T old = dc->S.*field;
  dc->S.*field = value;
  return old;
}

template <class T>
T GetField(HDC hdc, T TDCState::*field, T failure) {
  auto dc = GdiDC(hdc);
  return dc ? dc->S.*field : failure;
}

}  // namespace

COLORREF SetTextColor(HDC hdc, COLORREF color) { return SetField(hdc, &TDCState::TextColor, color, CLR_INVALID); }
COLORREF GetTextColor(HDC hdc) { return GetField(hdc, &TDCState::TextColor, CLR_INVALID); }
COLORREF SetBkColor(HDC hdc, COLORREF color) { return SetField(hdc, &TDCState::BkColor, color, CLR_INVALID); }
COLORREF GetBkColor(HDC hdc) { return GetField(hdc, &TDCState::BkColor, CLR_INVALID); }
COLORREF SetDCBrushColor(HDC hdc, COLORREF color) {
  return SetField(hdc, &TDCState::DCBrushColor, color, CLR_INVALID);
}
COLORREF GetDCBrushColor(HDC hdc) { return GetField(hdc, &TDCState::DCBrushColor, CLR_INVALID); }
COLORREF SetDCPenColor(HDC hdc, COLORREF color) { return SetField(hdc, &TDCState::DCPenColor, color, CLR_INVALID); }
COLORREF GetDCPenColor(HDC hdc) { return GetField(hdc, &TDCState::DCPenColor, CLR_INVALID); }

int SetBkMode(HDC hdc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return SetField(hdc, &TDCState::BkMode, mode, 0);
}
int GetBkMode(HDC hdc) { return GetField(hdc, &TDCState::BkMode, 0); }
int SetROP2(HDC hdc, int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return 0;
  return SetField(hdc, &TDCState::Rop2, mode, 0);
}
int GetROP2(HDC hdc) { return GetField(hdc, &TDCState::Rop2, 0); }
int SetPolyFillMode(HDC hdc, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return SetField(hdc, &TDCState::PolyFillMode, mode, 0);
}
int GetPolyFillMode(HDC hdc) { return GetField(hdc, &TDCState::PolyFillMode, 0); }
int SetStretchBltMode(HDC hdc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return SetField(hdc, &TDCState::StretchMode, mode, 0);
}
int GetStretchBltMode(HDC hdc) { return GetField(hdc, &TDCState::StretchMode, 0); }
int SetArcDirection(HDC hdc, int direction) {
  if (direction != AD_COUNTERCLOCKWISE && direction != AD_CLOCKWISE) return 0;
  return SetField(hdc, &TDCState::ArcDirection, direction, 0);
}
int GetArcDirection(HDC hdc) { return GetField(hdc, &TDCState::ArcDirection, 0); }

namespace {

UINT BoundsState(const TGdiDC* dc) {
  const RECT& b = dc->Bounds;
  return UINT(b.Left < b.Right && b.Top < b.Bottom ? DCB_SET : DCB_RESET) | UINT(dc->BoundsOn ? DCB_ENABLE : DCB_DISABLE);
}

// A device rectangle in logical coordinates, normalised.
RECT DeviceToLogical(HDC hdc, RECT r) {
  POINT p[2] = {POINT(r.Left, r.Top), POINT(r.Right, r.Bottom)};
  DPtoLP(hdc, p, 2);
  return RECT{std::min(p[0].X, p[1].X), std::min(p[0].Y, p[1].Y), std::max(p[0].X, p[1].X), std::max(p[0].Y, p[1].Y)};
}

}  // namespace

UINT SetBoundsRect(HDC hdc, const RECT* rect, UINT flags) {
  auto dc = GdiDC(hdc);
  if (!dc || (flags & DCB_ENABLE && flags & DCB_DISABLE)) return 0;
  UINT old = BoundsState(dc);
  if (flags & DCB_RESET) dc->Bounds = RECT{};
  if ((flags & DCB_ACCUMULATE) && rect) {
    // The rectangle is logical: add its device extent.
    POINT p[2] = {POINT(rect->Left, rect->Top), POINT(rect->Right, rect->Bottom)};
    LPtoDP(hdc, p, 2);
    RECT d{std::min(p[0].X, p[1].X), std::min(p[0].Y, p[1].Y), std::max(p[0].X, p[1].X), std::max(p[0].Y, p[1].Y)};
    bool on = dc->BoundsOn;
    dc->BoundsOn = true;
    GdiAccumulateBounds(dc, RECT{d.Left + dc->DeviceOrigin.X, d.Top + dc->DeviceOrigin.Y, d.Right + dc->DeviceOrigin.X,
                                 d.Bottom + dc->DeviceOrigin.Y});
    dc->BoundsOn = on;
  }
  if (flags & DCB_ENABLE) dc->BoundsOn = true;
  if (flags & DCB_DISABLE) dc->BoundsOn = false;
  return old;
}

UINT GetBoundsRect(HDC hdc, LPRECT rect, UINT flags) {
  auto dc = GdiDC(hdc);
  if (!dc || !rect) return 0;
  UINT state = BoundsState(dc);
  const RECT& b = dc->Bounds;
  *rect = (state & DCB_SET) == DCB_SET ? DeviceToLogical(hdc, b) : RECT{};
  if (flags & DCB_RESET) dc->Bounds = RECT{};
  return state;
}

BOOL SetMiterLimit(HDC hdc, float limit, float* old) {
  auto dc = GdiDC(hdc);
  if (!dc || !(limit >= 1)) return FALSE;
  if (old) *old = dc->S.MiterLimit;
  dc->S.MiterLimit = limit;
  return TRUE;
}

BOOL GetMiterLimit(HDC hdc, float* limit) {
  auto dc = GdiDC(hdc);
  if (!dc || !limit) return FALSE;
  *limit = dc->S.MiterLimit;
  return TRUE;
}

COLORREF GetNearestColor(HDC hdc, COLORREF color) {
  auto dc = GdiDC(hdc);
  if (!dc) return CLR_INVALID;
  auto b = dc->Target();
  uint32_t px = ColorToPixel(color & 0xFFFFFF);
  return b ? PixelToColor(RealizePixel(b->Format, px)) : (color & 0xFFFFFF);
}
