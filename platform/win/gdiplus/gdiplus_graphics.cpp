// Graphics: made on a device context (drawing in its pixels through its
// origin, transform and clip) or on an image; modes, transforms, clipping
// and saved states.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win/gdiplus/gdiplus_internal.h"

namespace rtl::detail {

using rtl::backend::TGpPaintState;
using rtl::backend::TGpPainter;
using rtl::backend::TGpPixels;

REAL UnitToPixels(GpUnit unit, REAL dpi) {
  switch (unit) {
    case UnitPoint: return dpi / 72.0f;
    case UnitInch: return dpi;
    case UnitDocument: return dpi / 300.0f;
    case UnitMillimeter: return dpi / 25.4f;
    default: return 1.0f;
  }
}

TGpMatrix PageTransform(const GpGraphics* g) {
  return Scaling(UnitToPixels(g->PageUnit, g->DpiX) * g->PageScale, UnitToPixels(g->PageUnit, g->DpiY) * g->PageScale);
}

TGpMatrix WorldToTarget(const GpGraphics* g) { return g->World.Then(PageTransform(g)).Then(g->DeviceToTarget); }

std::shared_ptr<const TGpRegionNode> TargetClip(GpGraphics* g) {
  if (!g->TargetClipValid) {
    std::shared_ptr<const TGpRegionNode> node = g->Clip ? TransformNode(g->Clip, g->DeviceToTarget) : nullptr;
    if (g->DeviceClip) node = node ? CombineNodes(g->DeviceClip, node, CombineModeIntersect) : g->DeviceClip;
    g->TargetClipCache = std::move(node);
    g->TargetClipValid = true;
  }
  return g->TargetClipCache;
}

const std::vector<TRect>& VisibleRects(GpGraphics* g) {
  if (!g->VisibleValid) {
    auto bounds = RectNode(GpRectF{0, 0, REAL(g->TargetWidth), REAL(g->TargetHeight)});
    auto clip = TargetClip(g);
    auto node = clip ? CombineNodes(bounds, clip, CombineModeIntersect) : bounds;
    g->VisibleRects = rtl::backend::GpRegionRects(*node, TGpMatrix());
    g->VisibleValid = true;
  }
  return g->VisibleRects;
}

namespace {

TGpPaintState StateOf(GpGraphics* g) {
  TGpPaintState s;
  s.World = WorldToTarget(g);
  s.Clip = TargetClip(g).get();
  s.Antialias = g->Smoothing == SmoothingModeAntiAlias || g->Smoothing == SmoothingModeHighQuality ||
                g->Smoothing == SmoothingModeAntiAlias8x8;
  s.CenterPixels = g->PixelOffset != PixelOffsetModeHalf && g->PixelOffset != PixelOffsetModeHighQuality;
  s.SourceCopy = g->Compositing == CompositingModeSourceCopy;
  s.Interpolation = g->Interpolation == InterpolationModeNearestNeighbor ? rtl::backend::giNearest
                                                                          : rtl::backend::giBilinear;
  s.TextAntialias = g->TextHint != TextRenderingHintSingleBitPerPixel &&
                    g->TextHint != TextRenderingHintSingleBitPerPixelGridFit;
  return s;
}

TRect BoundsOf(const std::vector<TRect>& rects) {
  TRect b = rects[0];
  for (const TRect& r : rects) {
    b.Left = std::min(b.Left, r.Left);
    b.Top = std::min(b.Top, r.Top);
    b.Right = std::max(b.Right, r.Right);
    b.Bottom = std::max(b.Bottom, r.Bottom);
  }
  return b;
}

// A DC whose pixels cannot be reached: the visible part is copied out,
// painted and copied back, in device coordinates.
void PaintThroughCopy(GpGraphics* g, TGpPaintState s,
                      const std::function<void(TGpPainter&, const TGpPaintState&)>& paint) {
  const std::vector<TRect>& visible = VisibleRects(g);
  if (visible.empty()) return;
  TRect box = BoundsOf(visible);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = box.Width();
  bi.bmiHeader.biHeight = -box.Height();
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) return;
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, dib);
  int saved = SaveDC(g->Dc);
  SetGraphicsMode(g->Dc, GM_ADVANCED);
  ModifyWorldTransform(g->Dc, nullptr, MWT_IDENTITY);
  SetMapMode(g->Dc, MM_TEXT);
  SetWindowOrgEx(g->Dc, 0, 0, nullptr);
  SetViewportOrgEx(g->Dc, 0, 0, nullptr);
  POINT org{};
  GetDCOrgEx(g->Dc, &org);
  BitBlt(mem, 0, 0, box.Width(), box.Height(), g->Dc, box.Left - org.X, box.Top - org.Y, SRCCOPY);
  {
    TGpPixels target{static_cast<BYTE*>(bits), box.Width(), box.Height(), box.Width() * 4,
                     rtl::backend::plPremultiplied};
    TGpPainter painter(target);
    TGpMatrix shift = Translation(-box.Left, -box.Top);
    s.World = s.World.Then(shift);
    std::shared_ptr<const TGpRegionNode> clip = s.Clip ? TransformNode(TargetClip(g), shift) : nullptr;
    s.Clip = clip.get();
    paint(painter, s);
  }
  BitBlt(g->Dc, box.Left - org.X, box.Top - org.Y, box.Width(), box.Height(), mem, 0, 0, SRCCOPY);
  RestoreDC(g->Dc, saved);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(dib);
}

}  // namespace

GpStatus Paint(GpGraphics* g, const std::function<void(TGpPainter&, const TGpPaintState&)>& paint) {
  if (g->Dc) {
    DWORD type = GetObjectType(g->Dc);
    if (type != OBJ_DC && type != OBJ_MEMDC) return Win32Error;
    // Another bitmap selected into the DC: draw where it draws now.
    if (GetCurrentObject(g->Dc, OBJ_BITMAP) != g->DcBitmap) AcquireDcTarget(g);
  }
  if (g->Image) {
    if (g->Image->Locked) return WrongState;
    // The image may have been given new pixels (rotated, another frame).
    if (g->Target.Bits != g->Image->Scan0 || g->Target.Width != g->Image->Width ||
        g->Target.Height != g->Image->Height) {
      g->Painter.reset();
      g->Target = PixelsOf(*g->Image, nullptr);
      g->TargetWidth = g->Image->Width;
      g->TargetHeight = g->Image->Height;
      g->Invalidate();
    }
  }
  TGpPaintState s = StateOf(g);
  if (!g->Direct) {
    PaintThroughCopy(g, s, paint);
    return Ok;
  }
  if (!g->Painter) g->Painter = std::make_unique<TGpPainter>(g->Target);
  paint(*g->Painter, s);
  return Ok;
}

}  // namespace rtl::detail

using namespace rtl::detail;

namespace {

// The DC's logical coordinates to its device coordinates, as GDI maps them.
TGpMatrix DcTransform(HDC hdc) {
  POINT wo{}, vo{};
  SIZE we{1, 1}, ve{1, 1};
  GetWindowOrgEx(hdc, &wo);
  GetViewportOrgEx(hdc, &vo);
  GetWindowExtEx(hdc, &we);
  GetViewportExtEx(hdc, &ve);
  double sx = 1, sy = 1;
  if (GetMapMode(hdc) != MM_TEXT && we.cx && we.cy) {
    sx = double(ve.cx) / we.cx;
    sy = double(ve.cy) / we.cy;
  }
  TGpMatrix page = Scaling(sx, sy);
  page.Dx = vo.X - wo.X * sx;
  page.Dy = vo.Y - wo.Y * sy;
  XFORM x{};
  if (GetGraphicsMode(hdc) == GM_ADVANCED && GetWorldTransform(hdc, &x)) {
    TGpMatrix world;
    world.M11 = x.eM11;
    world.M12 = x.eM12;
    world.M21 = x.eM21;
    world.M22 = x.eM22;
    world.Dx = x.eDx;
    world.Dy = x.eDy;
    return world.Then(page);
  }
  return page;
}

// The DC's visible area and its clip, in target pixels; null when nothing
// is cut away from the target.
std::shared_ptr<const TGpRegionNode> DcClip(HDC hdc, POINT org, INT width, INT height) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  std::shared_ptr<const TGpRegionNode> clip;
  RECT box{};
  if (GetRandomRgn(hdc, rgn, SYSRGN) == 1 &&
      !(GetRgnBox(rgn, &box) == SIMPLEREGION && box == RECT(0, 0, width, height)))
    clip = RegionFromHrgn(rgn);
  if (GetRandomRgn(hdc, rgn, 3) == 1) {
    OffsetRgn(rgn, org.X, org.Y);
    auto own = RegionFromHrgn(rgn);
    if (own) clip = clip ? CombineNodes(clip, own, CombineModeIntersect) : own;
  }
  DeleteObject(rgn);
  return clip;
}

bool ValidCombine(CombineMode m) { return m >= CombineModeReplace && m <= CombineModeComplement; }

TGpMatrix WorldToDevice(const GpGraphics* g) { return g->World.Then(PageTransform(g)); }

GpStatus SetClipNode(GpGraphics* g, std::shared_ptr<const TGpRegionNode> node, CombineMode mode) {
  if (!g || !ValidCombine(mode)) return InvalidParameter;
  auto current = g->Clip ? g->Clip : RegionNode(TGpRegionNode::rnInfinite);
  auto result = CombineNodes(current, std::move(node), mode);
  g->Clip = result->Kind == TGpRegionNode::rnInfinite ? nullptr : result;
  g->Invalidate();
  return Ok;
}

// The box of a rectangle in target pixels, from world coordinates.
TRect TargetBox(GpGraphics* g, REAL x, REAL y, REAL w, REAL h) {
  TGpMatrix m = WorldToTarget(g);
  double xs[4], ys[4];
  m.Map(x, y, xs[0], ys[0]);
  m.Map(x + w, y, xs[1], ys[1]);
  m.Map(x, y + h, xs[2], ys[2]);
  m.Map(x + w, y + h, xs[3], ys[3]);
  double l = *std::min_element(xs, xs + 4), r = *std::max_element(xs, xs + 4);
  double t = *std::min_element(ys, ys + 4), b = *std::max_element(ys, ys + 4);
  auto clampInt = [](double v) { return INT(std::clamp(v, -1e9, 1e9)); };
  return TRect(clampInt(std::floor(l)), clampInt(std::floor(t)), clampInt(std::ceil(r)), clampInt(std::ceil(b)));
}

// A box in pixels, back in world coordinates through the inverse of
// `toPixels`.
GpRectF WorldBox(const TGpMatrix& toPixels, const TRect& box) {
  TGpMatrix inv;
  if (!toPixels.Invert(inv)) return GpRectF{0, 0, 0, 0};
  double xs[4], ys[4];
  inv.Map(box.Left, box.Top, xs[0], ys[0]);
  inv.Map(box.Right, box.Top, xs[1], ys[1]);
  inv.Map(box.Left, box.Bottom, xs[2], ys[2]);
  inv.Map(box.Right, box.Bottom, xs[3], ys[3]);
  double l = *std::min_element(xs, xs + 4), r = *std::max_element(xs, xs + 4);
  double t = *std::min_element(ys, ys + 4), b = *std::max_element(ys, ys + 4);
  return GpRectF{REAL(l), REAL(t), REAL(r - l), REAL(b - t)};
}

GpRect ToRectI(const GpRectF& r) {
  INT l = INT(std::floor(r.X + 0.5f)), t = INT(std::floor(r.Y + 0.5f));
  return GpRect{l, t, INT(std::floor(r.X + r.Width + 0.5f)) - l, INT(std::floor(r.Y + r.Height + 0.5f)) - t};
}

GpStatus WorldTransform(GpGraphics* g, const TGpMatrix& op, MatrixOrder order) {
  if (!g || !ValidOrder(order)) return InvalidParameter;
  g->World = Compose(g->World, op, order);
  return Ok;
}

GpGraphics::TSaved Snapshot(const GpGraphics* g, UINT id, bool container) {
  return GpGraphics::TSaved{id,          container,       g->World,        g->PageUnit,    g->PageScale,
                            g->Clip,     g->Smoothing,    g->Interpolation, g->Compositing, g->CompositingQ,
                            g->PixelOffset, g->TextHint, g->TextContrast};
}

GpStatus Restore(GpGraphics* g, UINT id) {
  if (!g) return InvalidParameter;
  auto it = std::find_if(g->Saved.begin(), g->Saved.end(), [&](const GpGraphics::TSaved& s) { return s.Id == id; });
  if (it == g->Saved.end()) return Ok;
  const GpGraphics::TSaved& s = *it;
  g->World = s.World;
  g->PageUnit = s.PageUnit;
  g->PageScale = s.PageScale;
  g->Clip = s.Clip;
  g->Smoothing = s.Smoothing;
  g->Interpolation = s.Interpolation;
  g->Compositing = s.Compositing;
  g->CompositingQ = s.CompositingQ;
  g->PixelOffset = s.PixelOffset;
  g->TextHint = s.TextHint;
  g->TextContrast = s.TextContrast;
  g->Saved.erase(it, g->Saved.end());
  g->Invalidate();
  return Ok;
}

}  // namespace

// ---- Creation ---------------------------------------------------------------------

namespace rtl::detail {

void AcquireDcTarget(GpGraphics* g) {
  HDC hdc = g->Dc;
  g->Painter.reset();
  g->Direct = true;
  g->Invalidate();
  POINT org{};
  GetDCOrgEx(hdc, &org);
  g->DeviceToTarget = DcTransform(hdc).Then(Translation(org.X, org.Y));
  auto bmp = static_cast<HBITMAP>(GetCurrentObject(hdc, OBJ_BITMAP));
  g->DcBitmap = bmp;
  DIBSECTION ds{};
  int n = bmp ? GetObject(bmp, sizeof ds, &ds) : 0;
  bool standard = ds.dsBmih.biCompression == BI_RGB ||
                  (ds.dsBmih.biCompression == BI_BITFIELDS && ds.dsBitfields[0] == 0xFF0000 &&
                   ds.dsBitfields[1] == 0xFF00 && ds.dsBitfields[2] == 0xFF);
  if (n == int(sizeof(DIBSECTION)) && ds.dsBm.bmBitsPixel == 32 && ds.dsBm.bmBits && standard) {
    // Drawn in place: the DIB's memory as premultiplied pixels.
    const INT w = ds.dsBm.bmWidth, h = ds.dsBm.bmHeight, stride = ds.dsBm.bmWidthBytes;
    auto* bits = static_cast<BYTE*>(ds.dsBm.bmBits);
    bool bottomUp = ds.dsBmih.biHeight > 0;
    g->Target = TGpPixels{bottomUp ? bits + ptrdiff_t(h - 1) * stride : bits, w, h, bottomUp ? -stride : stride,
                          rtl::backend::plPremultiplied};
    g->TargetWidth = w;
    g->TargetHeight = h;
  } else {
    g->Direct = false;
    if (n >= int(sizeof(BITMAP))) {
      g->TargetWidth = ds.dsBm.bmWidth;
      g->TargetHeight = ds.dsBm.bmHeight;
    } else {
      g->TargetWidth = GetDeviceCaps(hdc, HORZRES);
      g->TargetHeight = GetDeviceCaps(hdc, VERTRES);
    }
  }
  g->DeviceClip = DcClip(hdc, org, g->TargetWidth, g->TargetHeight);
}

}  // namespace rtl::detail

GpStatus GdipCreateFromHDC(HDC hdc, GpGraphics** graphics) {
  if (!graphics) return InvalidParameter;
  DWORD type = GetObjectType(hdc);
  if (type != OBJ_DC && type != OBJ_MEMDC) return OutOfMemory;
  auto g = std::make_unique<GpGraphics>();
  g->Dc = hdc;
  g->DpiX = REAL(GetDeviceCaps(hdc, LOGPIXELSX));
  g->DpiY = REAL(GetDeviceCaps(hdc, LOGPIXELSY));
  AcquireDcTarget(g.get());
  *graphics = g.release();
  return Ok;
}

GpStatus GdipCreateFromHDC2(HDC hdc, HANDLE, GpGraphics** graphics) { return GdipCreateFromHDC(hdc, graphics); }

GpStatus GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !graphics) return InvalidParameter;
  if (IsIndexedPixelFormat(b->Format)) return OutOfMemory;
  if (!PainterCanAddress(b->Format)) return NotImplemented;
  if (b->Locked) return WrongState;
  auto* g = new GpGraphics;
  g->Image = b;
  g->Target = PixelsOf(*b, nullptr);
  g->TargetWidth = b->Width;
  g->TargetHeight = b->Height;
  g->DpiX = b->DpiX;
  g->DpiY = b->DpiY;
  *graphics = g;
  return Ok;
}

GpStatus GdipDeleteGraphics(GpGraphics* graphics) {
  if (!graphics) return InvalidParameter;
  if (graphics->ImageDc) GdipReleaseDC(graphics, graphics->ImageDc);
  delete graphics;
  return Ok;
}

GpStatus GdipFlush(GpGraphics* graphics, FlushIntention) { return graphics ? Ok : InvalidParameter; }

GpStatus GdipGetDC(GpGraphics* graphics, HDC* hdc) {
  if (!graphics || !hdc) return InvalidParameter;
  if (graphics->Dc) {
    *hdc = graphics->Dc;
    return Ok;
  }
  if (graphics->ImageDc) return ObjectBusy;
  TGpBitmap* b = graphics->Image;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = b->Width;
  bi.bmiHeader.biHeight = -b->Height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  graphics->ImageDcBitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!graphics->ImageDcBitmap) return OutOfMemory;
  ConvertRows(b->Scan0, b->Stride, b->Format, b->Palette, static_cast<BYTE*>(bits), b->Width * 4,
              PixelFormat32bppPARGB, {}, b->Width, b->Height);
  graphics->ImageDc = CreateCompatibleDC(nullptr);
  graphics->ImageDcOld = SelectObject(graphics->ImageDc, graphics->ImageDcBitmap);
  *hdc = graphics->ImageDc;
  return Ok;
}

GpStatus GdipReleaseDC(GpGraphics* graphics, HDC hdc) {
  if (!graphics) return InvalidParameter;
  if (graphics->Dc) return hdc == graphics->Dc ? Ok : InvalidParameter;
  if (!graphics->ImageDc || hdc != graphics->ImageDc) return InvalidParameter;
  DIBSECTION ds{};
  GetObject(graphics->ImageDcBitmap, sizeof ds, &ds);
  TGpBitmap* b = graphics->Image;
  ConvertRows(static_cast<BYTE*>(ds.dsBm.bmBits), b->Width * 4, PixelFormat32bppPARGB, {}, b->Scan0, b->Stride,
              b->Format, b->Palette, b->Width, b->Height);
  SelectObject(graphics->ImageDc, graphics->ImageDcOld);
  DeleteDC(graphics->ImageDc);
  DeleteObject(graphics->ImageDcBitmap);
  graphics->ImageDc = nullptr;
  graphics->ImageDcBitmap = nullptr;
  return Ok;
}

// ---- Modes ------------------------------------------------------------------------

#define GP_MODE(Name, Type, Field, Valid)           \
  GpStatus GdipSet##Name(GpGraphics* graphics, Type mode) { \
    if (!graphics || !(Valid)) return InvalidParameter;    \
    graphics->Field = mode;                                \
    return Ok;                                             \
  }                                                        \
  GpStatus GdipGet##Name(GpGraphics* graphics, Type* mode) { \
    if (!graphics || !mode) return InvalidParameter;       \
    *mode = graphics->Field;                               \
    return Ok;                                             \
  }

GP_MODE(CompositingMode, CompositingMode, Compositing,
        mode == CompositingModeSourceOver || mode == CompositingModeSourceCopy)
GP_MODE(CompositingQuality, CompositingQuality, CompositingQ,
        mode >= CompositingQualityDefault && mode <= CompositingQualityAssumeLinear)
GP_MODE(SmoothingMode, SmoothingMode, Smoothing, mode >= SmoothingModeDefault && mode <= SmoothingModeAntiAlias8x8)
GP_MODE(PixelOffsetMode, PixelOffsetMode, PixelOffset, mode >= PixelOffsetModeDefault && mode <= PixelOffsetModeHalf)
GP_MODE(TextRenderingHint, TextRenderingHint, TextHint,
        mode >= TextRenderingHintSystemDefault && mode <= TextRenderingHintClearTypeGridFit)
GP_MODE(InterpolationMode, InterpolationMode, Interpolation,
        mode >= InterpolationModeDefault && mode <= InterpolationModeHighQualityBicubic)

#undef GP_MODE

GpStatus GdipSetTextContrast(GpGraphics* graphics, UINT contrast) {
  if (!graphics || contrast > 12) return InvalidParameter;
  graphics->TextContrast = contrast;
  return Ok;
}

GpStatus GdipGetTextContrast(GpGraphics* graphics, UINT* contrast) {
  if (!graphics || !contrast) return InvalidParameter;
  *contrast = graphics->TextContrast;
  return Ok;
}

GpStatus GdipSetRenderingOrigin(GpGraphics* graphics, INT x, INT y) {
  if (!graphics) return InvalidParameter;
  graphics->OriginX = x;
  graphics->OriginY = y;
  return Ok;
}

GpStatus GdipGetRenderingOrigin(GpGraphics* graphics, INT* x, INT* y) {
  if (!graphics || !x || !y) return InvalidParameter;
  *x = graphics->OriginX;
  *y = graphics->OriginY;
  return Ok;
}

// ---- Transforms ---------------------------------------------------------------------

GpStatus GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix) {
  if (!graphics || !matrix) return InvalidParameter;
  graphics->World = matrix->M;
  return Ok;
}

GpStatus GdipResetWorldTransform(GpGraphics* graphics) {
  if (!graphics) return InvalidParameter;
  graphics->World = TGpMatrix();
  return Ok;
}

GpStatus GdipMultiplyWorldTransform(GpGraphics* graphics, const GpMatrix* matrix, MatrixOrder order) {
  if (!matrix) return InvalidParameter;
  return WorldTransform(graphics, matrix->M, order);
}

GpStatus GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order) {
  return WorldTransform(graphics, Translation(dx, dy), order);
}

GpStatus GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order) {
  return WorldTransform(graphics, Scaling(sx, sy), order);
}

GpStatus GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order) {
  return WorldTransform(graphics, Rotation(angle), order);
}

GpStatus GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix) {
  if (!graphics || !matrix) return InvalidParameter;
  matrix->M = graphics->World;
  return Ok;
}

GpStatus GdipResetPageTransform(GpGraphics* graphics) {
  if (!graphics) return InvalidParameter;
  graphics->PageUnit = UnitDisplay;
  graphics->PageScale = 1;
  return Ok;
}

GpStatus GdipGetPageUnit(GpGraphics* graphics, GpUnit* unit) {
  if (!graphics || !unit) return InvalidParameter;
  *unit = graphics->PageUnit;
  return Ok;
}

GpStatus GdipGetPageScale(GpGraphics* graphics, REAL* scale) {
  if (!graphics || !scale) return InvalidParameter;
  *scale = graphics->PageScale;
  return Ok;
}

GpStatus GdipSetPageUnit(GpGraphics* graphics, GpUnit unit) {
  if (!graphics || unit <= UnitWorld || unit > UnitMillimeter) return InvalidParameter;
  graphics->PageUnit = unit;
  return Ok;
}

GpStatus GdipSetPageScale(GpGraphics* graphics, REAL scale) {
  if (!graphics || !(scale > 0) || scale > 1e9f) return InvalidParameter;
  graphics->PageScale = scale;
  return Ok;
}

GpStatus GdipGetDpiX(GpGraphics* graphics, REAL* dpi) {
  if (!graphics || !dpi) return InvalidParameter;
  *dpi = graphics->DpiX;
  return Ok;
}

GpStatus GdipGetDpiY(GpGraphics* graphics, REAL* dpi) {
  if (!graphics || !dpi) return InvalidParameter;
  *dpi = graphics->DpiY;
  return Ok;
}

GpStatus GdipTransformPoints(GpGraphics* graphics, CoordinateSpace destSpace, CoordinateSpace srcSpace,
                             GpPointF* points, INT count) {
  if (!graphics || !points || count <= 0 || destSpace < CoordinateSpaceWorld || destSpace > CoordinateSpaceDevice ||
      srcSpace < CoordinateSpaceWorld || srcSpace > CoordinateSpaceDevice)
    return InvalidParameter;
  // Each space to device space, then back to the wanted one.
  auto toDevice = [&](CoordinateSpace s) {
    switch (s) {
      case CoordinateSpaceWorld: return WorldToDevice(graphics);
      case CoordinateSpacePage: return PageTransform(graphics);
      default: return TGpMatrix();
    }
  };
  TGpMatrix back;
  if (!toDevice(destSpace).Invert(back)) return InvalidParameter;
  TGpMatrix m = toDevice(srcSpace).Then(back);
  for (INT i = 0; i < count; ++i) {
    double x, y;
    m.Map(points[i].X, points[i].Y, x, y);
    points[i] = {REAL(x), REAL(y)};
  }
  return Ok;
}

GpStatus GdipTransformPointsI(GpGraphics* graphics, CoordinateSpace destSpace, CoordinateSpace srcSpace,
                              GpPoint* points, INT count) {
  if (!points || count <= 0) return InvalidParameter;
  std::vector<GpPointF> f = ToPointsF(points, count);
  GpStatus s = GdipTransformPoints(graphics, destSpace, srcSpace, f.data(), count);
  if (s == Ok)
    for (INT i = 0; i < count; ++i) points[i] = {INT(std::lround(f[i].X)), INT(std::lround(f[i].Y))};
  return s;
}

GpStatus GdipGetNearestColor(GpGraphics* graphics, ARGB* argb) { return graphics && argb ? Ok : InvalidParameter; }

// ---- Clipping ---------------------------------------------------------------------------

GpStatus GdipSetClipGraphics(GpGraphics* graphics, GpGraphics* srcgraphics, CombineMode combineMode) {
  if (!srcgraphics) return InvalidParameter;
  return SetClipNode(graphics,
                     srcgraphics->Clip ? srcgraphics->Clip : RegionNode(TGpRegionNode::rnInfinite), combineMode);
}

GpStatus GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, CombineMode combineMode) {
  if (!graphics) return InvalidParameter;
  return SetClipNode(graphics, TransformNode(RectNode(GpRectF{x, y, width, height}), WorldToDevice(graphics)),
                     combineMode);
}

GpStatus GdipSetClipRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height, CombineMode combineMode) {
  return GdipSetClipRect(graphics, REAL(x), REAL(y), REAL(width), REAL(height), combineMode);
}

GpStatus GdipSetClipPath(GpGraphics* graphics, GpPath* path, CombineMode combineMode) {
  if (!graphics || !path) return InvalidParameter;
  return SetClipNode(graphics, TransformNode(PathNode(path->Data), WorldToDevice(graphics)), combineMode);
}

GpStatus GdipSetClipRegion(GpGraphics* graphics, GpRegion* region, CombineMode combineMode) {
  if (!graphics || !region) return InvalidParameter;
  return SetClipNode(graphics, TransformNode(region->Root, WorldToDevice(graphics)), combineMode);
}

GpStatus GdipSetClipHrgn(GpGraphics* graphics, HRGN hRgn, CombineMode combineMode) {
  auto node = RegionFromHrgn(hRgn);
  if (!node) return InvalidParameter;
  return SetClipNode(graphics, std::move(node), combineMode);
}

GpStatus GdipResetClip(GpGraphics* graphics) {
  if (!graphics) return InvalidParameter;
  graphics->Clip = nullptr;
  graphics->Invalidate();
  return Ok;
}

GpStatus GdipTranslateClip(GpGraphics* graphics, REAL dx, REAL dy) {
  if (!graphics) return InvalidParameter;
  if (graphics->Clip) {
    // The offset is in world units; the clip is kept in device units.
    TGpMatrix m = WorldToDevice(graphics);
    graphics->Clip = TransformNode(graphics->Clip, Translation(dx * m.M11 + dy * m.M21, dx * m.M12 + dy * m.M22));
    graphics->Invalidate();
  }
  return Ok;
}

GpStatus GdipTranslateClipI(GpGraphics* graphics, INT dx, INT dy) { return GdipTranslateClip(graphics, REAL(dx), REAL(dy)); }

GpStatus GdipGetClip(GpGraphics* graphics, GpRegion* region) {
  if (!graphics || !region) return InvalidParameter;
  if (!graphics->Clip) {
    region->Root = RegionNode(TGpRegionNode::rnInfinite);
    return Ok;
  }
  TGpMatrix inv;
  if (!WorldToDevice(graphics).Invert(inv)) return InvalidParameter;
  region->Root = TransformNode(graphics->Clip, inv);
  return Ok;
}

GpStatus GdipGetClipBounds(GpGraphics* graphics, GpRectF* rect) {
  if (!graphics || !rect) return InvalidParameter;
  if (!graphics->Clip) {
    const REAL e = rtl::backend::kInfiniteExtent;
    *rect = GpRectF{-e, -e, 2 * e, 2 * e};
    return Ok;
  }
  std::vector<TRect> rects = rtl::backend::GpRegionRects(*graphics->Clip, TGpMatrix());
  if (rects.empty()) {
    *rect = GpRectF{0, 0, 0, 0};
    return Ok;
  }
  *rect = WorldBox(WorldToDevice(graphics), BoundsOf(rects));
  return Ok;
}

GpStatus GdipGetClipBoundsI(GpGraphics* graphics, GpRect* rect) {
  if (!rect) return InvalidParameter;
  GpRectF r;
  GpStatus s = GdipGetClipBounds(graphics, &r);
  if (s == Ok) *rect = ToRectI(r);
  return s;
}

GpStatus GdipIsClipEmpty(GpGraphics* graphics, BOOL* result) {
  if (!graphics || !result) return InvalidParameter;
  *result = graphics->Clip && rtl::backend::GpRegionRects(*graphics->Clip, TGpMatrix()).empty();
  return Ok;
}

GpStatus GdipGetVisibleClipBounds(GpGraphics* graphics, GpRectF* rect) {
  if (!graphics || !rect) return InvalidParameter;
  const std::vector<TRect>& v = VisibleRects(graphics);
  *rect = v.empty() ? GpRectF{0, 0, 0, 0} : WorldBox(WorldToTarget(graphics), BoundsOf(v));
  return Ok;
}

GpStatus GdipGetVisibleClipBoundsI(GpGraphics* graphics, GpRect* rect) {
  if (!rect) return InvalidParameter;
  GpRectF r;
  GpStatus s = GdipGetVisibleClipBounds(graphics, &r);
  if (s == Ok) *rect = ToRectI(r);
  return s;
}

GpStatus GdipIsVisibleClipEmpty(GpGraphics* graphics, BOOL* result) {
  if (!graphics || !result) return InvalidParameter;
  *result = VisibleRects(graphics).empty();
  return Ok;
}

GpStatus GdipIsVisiblePoint(GpGraphics* graphics, REAL x, REAL y, BOOL* result) {
  if (!graphics || !result) return InvalidParameter;
  double tx, ty;
  WorldToTarget(graphics).Map(x, y, tx, ty);
  TPoint p(INT(std::floor(tx)), INT(std::floor(ty)));
  const std::vector<TRect>& v = VisibleRects(graphics);
  *result = std::any_of(v.begin(), v.end(), [&](const TRect& r) { return r.Contains(p); });
  return Ok;
}

GpStatus GdipIsVisiblePointI(GpGraphics* graphics, INT x, INT y, BOOL* result) {
  return GdipIsVisiblePoint(graphics, REAL(x), REAL(y), result);
}

GpStatus GdipIsVisibleRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, BOOL* result) {
  if (!graphics || !result) return InvalidParameter;
  TRect box = TargetBox(graphics, x, y, width, height);
  const std::vector<TRect>& v = VisibleRects(graphics);
  *result = width > 0 && height > 0 && std::any_of(v.begin(), v.end(), [&](const TRect& r) {
              return r.Left < box.Right && box.Left < r.Right && r.Top < box.Bottom && box.Top < r.Bottom;
            });
  return Ok;
}

GpStatus GdipIsVisibleRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height, BOOL* result) {
  return GdipIsVisibleRect(graphics, REAL(x), REAL(y), REAL(width), REAL(height), result);
}

// ---- Saved states -------------------------------------------------------------------------

GpStatus GdipSaveGraphics(GpGraphics* graphics, GraphicsState* state) {
  if (!graphics || !state) return InvalidParameter;
  *state = graphics->NextState++;
  graphics->Saved.push_back(Snapshot(graphics, *state, false));
  return Ok;
}

GpStatus GdipRestoreGraphics(GpGraphics* graphics, GraphicsState state) { return Restore(graphics, state); }

GpStatus GdipBeginContainer2(GpGraphics* graphics, GraphicsContainer* state) {
  if (!graphics || !state) return InvalidParameter;
  *state = graphics->NextState++;
  graphics->Saved.push_back(Snapshot(graphics, *state, true));
  return Ok;
}

GpStatus GdipBeginContainer(GpGraphics* graphics, const GpRectF* dstrect, const GpRectF* srcrect, GpUnit unit,
                            GraphicsContainer* state) {
  if (!graphics || !dstrect || !srcrect || !state || srcrect->Width == 0 || srcrect->Height == 0 ||
      unit < UnitWorld || unit > UnitMillimeter)
    return InvalidParameter;
  GpStatus s = GdipBeginContainer2(graphics, state);
  if (s != Ok) return s;
  // Inside, the source rectangle lands on the destination.
  TGpMatrix m = Translation(-srcrect->X, -srcrect->Y)
                    .Then(Scaling(dstrect->Width / srcrect->Width, dstrect->Height / srcrect->Height))
                    .Then(Translation(dstrect->X, dstrect->Y));
  graphics->World = m.Then(graphics->World);
  return Ok;
}

GpStatus GdipBeginContainerI(GpGraphics* graphics, const GpRect* dstrect, const GpRect* srcrect, GpUnit unit,
                             GraphicsContainer* state) {
  if (!dstrect || !srcrect) return InvalidParameter;
  GpRectF d{REAL(dstrect->X), REAL(dstrect->Y), REAL(dstrect->Width), REAL(dstrect->Height)};
  GpRectF s{REAL(srcrect->X), REAL(srcrect->Y), REAL(srcrect->Width), REAL(srcrect->Height)};
  return GdipBeginContainer(graphics, &d, &s, unit, state);
}

GpStatus GdipEndContainer(GpGraphics* graphics, GraphicsContainer state) { return Restore(graphics, state); }
