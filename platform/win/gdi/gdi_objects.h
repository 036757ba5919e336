// The objects behind GDI handles: pens, brushes, bitmaps, fonts, regions,
// palettes and device contexts, kept in one generation-checked table.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/win/gdi/gdi.h"
#include "platform/win/gdi/gdi_pixels.h"
#include "platform/win/gdi/gdi_region.h"
#include "platform/win/kernel/handle_table.h"

namespace rtl::backend {
class TFontFace;
}

namespace rtl::detail {

struct TGdiObject {
  DWORD Type;
  bool Stock = false;
  // How many device contexts have it selected now; changed and read only
  // under GdiSelectionMutex(), so that a delete cannot slip between a
  // select's lookup and its count.
  int Selected = 0;
  explicit TGdiObject(DWORD type) : Type(type) {}
  virtual ~TGdiObject() = default;
};

// A brush pattern: colours, or 0/1 values of a monochrome pattern (0 drawn
// in the text colour, 1 in the background colour).
struct TPatternImage {
  int Width = 0, Height = 0;
  bool Mono = false;
  // The pixels are indexes into the palette of the DC the brush is drawn
  // in (a DIB_PAL_COLORS pattern), looked up at drawing time.
  bool PaletteIndexes = false;
  std::vector<uint32_t> Pixels;
};

struct TGdiBrush : TGdiObject {
  UINT Style = BS_SOLID;
  COLORREF Color = 0;
  int Hatch = 0;
  std::shared_ptr<const TPatternImage> Pattern;
  ULONG_PTR PatternHandle = 0;  // the bitmap or packed DIB given at creation
  int SysColor = -1;            // a system-colour brush follows its colour
  bool DCBrush = false;         // DC_BRUSH: the colour comes from the DC
  TGdiBrush() : TGdiObject(OBJ_BRUSH) {}
};

struct TGdiPen : TGdiObject {
  DWORD Style = PS_SOLID;  // with type, end cap and join bits
  int Width = 1;
  COLORREF Color = 0;
  UINT BrushStyle = BS_SOLID;
  ULONG_PTR Hatch = 0;
  std::vector<DWORD> UserStyle;
  bool DCPen = false;  // DC_PEN: the colour comes from the DC
  // A geometric pen's hatch or pattern, copied when the pen is made.
  std::shared_ptr<const TGdiBrush> Brush;
  TGdiPen() : TGdiObject(OBJ_PEN) {}
  int Kind() const { return static_cast<int>(Style & PS_STYLE_MASK); }
  bool Geometric() const { return (Style & PS_TYPE_MASK) == PS_GEOMETRIC; }
};

struct TGdiBitmap : TGdiObject {
  int Width = 0, Height = 0;
  TPixelFormat Format;
  bool Dib = false;
  bool TopDown = true;
  uint8_t* Bits = nullptr;
  int Stride = 0;  // bytes per row
  std::unique_ptr<uint8_t, void (*)(void*)> Storage{nullptr, nullptr};
  BITMAPINFOHEADER Header{};  // of a DIB section
  HANDLE Section = nullptr;
  DWORD Offset = 0;
  SIZE Dimension{};
  HDC SelectedIn = nullptr;
  TGdiBitmap() : TGdiObject(OBJ_BITMAP) {}

  uint8_t* Row(int y) const { return TopDown ? Bits + ptrdiff_t(y) * Stride : Bits + ptrdiff_t(Height - 1 - y) * Stride; }
  bool Mono() const { return Format.Bits == 1 && !Dib; }
  bool Direct() const { return Format.IsDirect32(); }
};

struct TGdiFont : TGdiObject {
  LOGFONTW Log{};
  // Realised on first use, for one device scale at a time.
  std::shared_ptr<rtl::backend::TFontFace> Face;
  double FaceScale = 0;
  TGdiFont() : TGdiObject(OBJ_FONT) {}
};

struct TGdiRegion : TGdiObject {
  TRegion Rgn;
  TGdiRegion() : TGdiObject(OBJ_REGION) {}
};

struct TGdiPalette : TGdiObject {
  std::vector<PALETTEENTRY> Entries;
  TGdiPalette() : TGdiObject(OBJ_PAL) {}
};

// An affine transform: x' = x*M11 + y*M21 + Dx, y' = x*M12 + y*M22 + Dy.
struct TXform {
  double M11 = 1, M12 = 0, M21 = 0, M22 = 1, Dx = 0, Dy = 0;
  bool IsIdentity() const { return M11 == 1 && M12 == 0 && M21 == 0 && M22 == 1 && Dx == 0 && Dy == 0; }
  // this, then b.
  TXform Then(const TXform& b) const;
  bool Invert(TXform& out) const;
};

// One recorded path figure, in device coordinates.
struct TPathFigure {
  std::vector<std::pair<double, double>> Points;
  bool Closed = false;
};

// The state SaveDC keeps.
struct TDCState {
  HPEN Pen = nullptr;
  HBRUSH Brush = nullptr;
  HFONT Font = nullptr;
  HBITMAP Bitmap = nullptr;
  HPALETTE Palette = nullptr;
  COLORREF TextColor = 0;
  COLORREF BkColor = 0xFFFFFF;
  COLORREF DCBrushColor = 0xFFFFFF;
  COLORREF DCPenColor = 0;
  int BkMode = OPAQUE;
  int Rop2 = R2_COPYPEN;
  int PolyFillMode = ALTERNATE;
  int StretchMode = BLACKONWHITE;
  int MapMode = MM_TEXT;
  int GraphicsMode = GM_COMPATIBLE;
  int ArcDirection = AD_COUNTERCLOCKWISE;
  float MiterLimit = 10;
  UINT TextAlign = 0;
  int CharExtra = 0;
  int BreakExtra = 0, BreakCount = 0;
  DWORD Layout = 0;
  POINT WindowOrg{}, ViewportOrg{}, BrushOrg{}, CurPos{};
  SIZE WindowExt{1, 1}, ViewportExt{1, 1};
  TXform World;
  // Clips in device coordinates; absent = none.
  std::optional<TRegion> Clip, Meta;
};

enum TDCKind { dckMemory, dckWindow, dckScreen, dckInfo };

struct TGdiDC : TGdiObject {
  TDCKind Kind = dckMemory;
  HDC Handle = nullptr;
  TDCState S;
  std::vector<TDCState> Saved;
  HWND Owner = nullptr;
  HBITMAP Surface = nullptr;  // a window DC's surface
  POINT DeviceOrigin{};
  std::optional<TRegion> Visible;  // system clip, device coordinates
  // What drawing has touched (device coordinates) while accumulation is on.
  bool BoundsOn = false;
  RECT Bounds{};
  // A path bracket is open / a path is held.
  bool PathOpen = false;
  bool HasPath = false;
  std::vector<TPathFigure> Path;

  explicit TGdiDC(TDCKind kind) : TGdiObject(kind == dckMemory ? OBJ_MEMDC : OBJ_DC), Kind(kind) {}

  // Call after any change of clip, device area, target or transform.
  void Invalidate() {
    clipValid_ = false;
    xformValid_ = false;
  }
  // The bitmap drawing goes to, null when there is none (screen DC).
  THandleRef<TGdiBitmap> Target();
  // Width and height of the device surface.
  SIZE DeviceSize();
  // The clip in target coordinates, including the device bounds.
  const TRegion& EffectiveClip();
  // Logical to target coordinates.
  const TXform& ToTarget();
  // True when logical to target is a whole-pixel translation.
  bool Simple();
  POINT Offset();  // that translation
  POINT LPtoTarget(POINT p);
  // Logical to device (without the device origin).
  TXform LogicalToDevice() const;
  // A right-to-left layout: device space is seen in a mirror, so that
  // device x lands on target pixel MirrorWidth() - 1 - x (plus the origin).
  bool Mirrored() const { return (S.Layout & LAYOUT_RTL) != 0; }
  int MirrorWidth();
  // A device region as the target holds it: mirrored when the layout is.
  TRegion DeviceToTarget(const TRegion& r);
  // Rectangles whose two corners were mapped one at a time and then put in
  // order come out one pixel left of their mirror image; this puts them back.
  RECT FixMirroredRect(RECT r) {
    if (Mirrored()) {
      ++r.Left;
      ++r.Right;
    }
    return r;
  }

 private:
  bool clipValid_ = false, xformValid_ = false;
  TRegion clip_;
  TXform xform_;
  bool simple_ = true;
  POINT offset_{};
};

// ---- The handle table ---------------------------------------------------
// Lookups hold a reference, so an object deleted on another thread meanwhile
// lives on until the call that looked it up is done with it.

template <class T>
using TGdiRef = THandleRef<T>;

HGDIOBJ GdiAdd(std::unique_ptr<TGdiObject> obj);
TGdiRef<TGdiObject> GdiGet(const void* handle);
template <class T>
TGdiRef<T> GdiGetAs(const void* handle, DWORD type) {
  TGdiRef<TGdiObject> o = GdiGet(handle);
  if (!o) return nullptr;
  if (o->Type == type || (type == OBJ_PEN && o->Type == OBJ_EXTPEN) ||
      (type == OBJ_DC && (o->Type == OBJ_MEMDC || o->Type == OBJ_ENHMETADC)))
    return o.As<T>();
  return nullptr;
}
// A DC by handle; a handle that is not a DC sets ERROR_INVALID_HANDLE, as
// every DC function of the original does.
TGdiRef<TGdiDC> GdiDC(HDC h);
inline TGdiRef<TGdiBitmap> GdiBitmap(HBITMAP h) { return GdiGetAs<TGdiBitmap>(h, OBJ_BITMAP); }
inline TGdiRef<TGdiRegion> GdiRegion(HRGN h) { return GdiGetAs<TGdiRegion>(h, OBJ_REGION); }
inline TGdiRef<TGdiBrush> GdiBrush(HBRUSH h) { return GdiGetAs<TGdiBrush>(h, OBJ_BRUSH); }
inline TGdiRef<TGdiPen> GdiPen(HPEN h) { return GdiGetAs<TGdiPen>(h, OBJ_PEN); }
inline TGdiRef<TGdiFont> GdiFont(HFONT h) { return GdiGetAs<TGdiFont>(h, OBJ_FONT); }
std::shared_ptr<TGdiObject> GdiRemove(const void* handle);
// Guards every object's Selected count and every bitmap's SelectedIn.
std::mutex& GdiSelectionMutex();
// Moves the selection counts from `old` to `obj`; the caller holds the
// selection mutex. False, counts unchanged, when obj is no longer there.
bool GdiMoveSelection(HGDIOBJ old, HGDIOBJ obj);
// Puts `obj` into a DC's slot and moves the selection counts, under the
// selection mutex; false (slot unchanged) when obj was deleted meanwhile.
template <class Slot>
bool GdiSwapSelection(Slot& slot, HGDIOBJ obj) {
  std::lock_guard<std::mutex> guard(GdiSelectionMutex());
  if (!GdiMoveSelection(slot, obj)) return false;
  slot = static_cast<Slot>(obj);
  return true;
}

// The default objects of a fresh DC.
HBITMAP GdiDefaultBitmap();
void GdiSetDefaultState(TGdiDC* dc);
// Adds a drawn area (target pixels) to the DC's bounds when it keeps them.
void GdiAccumulateBounds(TGdiDC* dc, const RECT& target);
// The colours of the DC's palette as pixels (empty without one).
std::vector<uint32_t> GdiPalettePixels(const TGdiDC* dc);
// Resolves a brush argument: a handle, or a system colour index + 1.
TGdiRef<TGdiBrush> GdiResolveBrush(HBRUSH brush);
// The screen's metrics.
int GdiScreenDpi();
SIZE GdiScreenSize();
// Allocates zeroed pixel storage (aligned for fast rows).
std::unique_ptr<uint8_t, void (*)(void*)> GdiAllocBits(size_t bytes);
// A 32-bit top-down DIB section of the given size, for internal use.
HBITMAP GdiCreateDib32(int width, int height, void** bits);
inline HBITMAP GdiCreateDib32(int width, int height, uint32_t** bits) {
  void* p = nullptr;
  HBITMAP h = GdiCreateDib32(width, height, &p);
  *bits = static_cast<uint32_t*>(p);
  return h;
}
// The pixels of any bitmap as 32-bit top-down rows; `bits` gets its depth.
bool GdiReadDib32(HBITMAP bitmap, int& width, int& height, int& bits, std::vector<uint32_t>& pixels);
// SetDIBits over a source of `size` bytes: 0 when the rows asked for do
// not all lie within it.
int GdiSetDIBits(HBITMAP bitmap, UINT start, UINT lines, const void* bits, size_t size, const BITMAPINFO* info,
                 UINT usage, const std::vector<uint32_t>* palette = nullptr);
// A copy of a bitmap, resized when cx/cy are given (CopyImage's flags).
HBITMAP GdiCopyBitmap(HBITMAP source, int cx, int cy, UINT flags);

}  // namespace rtl::detail
