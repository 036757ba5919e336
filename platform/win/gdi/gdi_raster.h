// The rasteriser's core: 32-bit views of bitmaps, brushes realised as
// colours or patterns, the binary (ROP2) span painter and the ternary
// (ROP3) row operations.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/gdi/gdi_geometry.h"
#include "platform/win/gdi/gdi_objects.h"

namespace rtl::detail {

// How a lock shows the bitmap's pixels: as 32-bit colours (for blending,
// which needs colours), or as the values the format stores (for raster
// operations, which work on those bits as the device does).
enum class TLockMode { Colours, Values };

// A 32-bit view of rows [top, bottom) of a bitmap for one operation.
// Bitmaps in other formats are converted in and, on destruction, only the
// pixels the operation changed are written back, so that bits a format
// keeps beyond its colour (the 16th bit of a 5-5-5 pixel, which of two
// equal palette entries) stay as they were.
class TSurfaceLock {
  TGdiBitmap* bmp_;
  int top_, bottom_;
  bool direct_, values_;
  std::vector<uint32_t> buf_, orig_;

 public:
  TSurfaceLock(TGdiBitmap* bmp, int top, int bottom, TLockMode mode = TLockMode::Colours);
  ~TSurfaceLock();
  TSurfaceLock(const TSurfaceLock&) = delete;
  TSurfaceLock& operator=(const TSurfaceLock&) = delete;

  uint32_t* Row(int y) const {
    return direct_ ? reinterpret_cast<uint32_t*>(bmp_->Row(y))
                   : const_cast<uint32_t*>(buf_.data()) + ptrdiff_t(y - top_) * bmp_->Width;
  }
  int Width() const { return bmp_->Width; }
  int Height() const { return bmp_->Height; }
  TGdiBitmap* Bitmap() const { return bmp_; }
  // What drawing a colour writes (alpha 0): a 32-bit pixel, or the
  // format's value for it. Palette indexes go through the DC's palette;
  // a DIB index is the value itself on a table format, black elsewhere.
  uint32_t Realize(COLORREF c, const TGdiDC* dc = nullptr) const;
  // The same for a 32-bit pixel, alpha kept where the format holds it.
  uint32_t FromPixel(uint32_t pixel) const;
  // Rows hold the format's values rather than 32-bit pixels.
  bool Values() const { return values_ && !direct_; }
  bool Mono() const { return bmp_->Format.Bits == 1; }
};

// Sets n pixels to one value as fast as the C library fills memory.
void FillPixels(uint32_t* d, uint32_t value, int n);

// Resolves PALETTEINDEX (through the DC's palette, the default palette
// without a DC) and PALETTERGB forms to plain RGB.
COLORREF PlainColor(COLORREF c, const TGdiDC* dc = nullptr);

// A brush realised on a target: a solid colour or a pattern anchored at
// the brush origin (target coordinates). A transparent hatch has a mask
// that leaves the gaps alone.
struct TBrushFill {
  bool Null = true;
  bool Solid = true;
  uint32_t Color = 0;
  int Width = 0, Height = 0;
  int OrgX = 0, OrgY = 0;
  std::vector<uint32_t> Pixels;
  std::vector<uint8_t> Mask;  // empty when every pixel is drawn

  uint32_t At(int x, int y) const {
    int px = (x - OrgX) % Width, py = (y - OrgY) % Height;
    if (px < 0) px += Width;
    if (py < 0) py += Height;
    return Pixels[size_t(py) * Width + px];
  }
  bool Drawn(int x, int y) const {
    if (Mask.empty()) return true;
    int px = (x - OrgX) % Width, py = (y - OrgY) % Height;
    if (px < 0) px += Width;
    if (py < 0) py += Height;
    return Mask[size_t(py) * Width + px] != 0;
  }
  // Fills out[0..n) with the pattern of row y from column x.
  void RowAt(int x, int y, int n, uint32_t* out) const;
};

// The brush realised for drawing on `lock` through `dc`; hatch gaps follow
// the background mode when honourBkMode is set.
TBrushFill RealizeBrush(TGdiDC* dc, const TGdiBrush* brush, const TSurfaceLock& lock, bool honourBkMode);
TBrushFill SolidFill(uint32_t pixel);

// Paints row y's [x0, x1) with the fill under a binary raster operation;
// the result's alpha byte is 0.
void Rop2Span(uint32_t* row, int y, int x0, int x1, const TBrushFill& fill, int rop2);
// Paints the spans of `rows` inside `clip`.
void PaintRows(TSurfaceLock& lock, const TRegion& clip, const TSpanRows& rows, const TBrushFill& fill, int rop2);
// Bounds of rows clipped to the clip box; false when nothing is left.
bool RowsBounds(const TSpanRows& rows, const TRegion& clip, int& top, int& bottom);

// ---- Ternary raster operations -----------------------------------------

using TRop3Row = void (*)(uint32_t* d, const uint32_t* s, const uint32_t* p, int n);
TRop3Row Rop3Row(uint8_t rop);
constexpr bool RopUsesSource(uint8_t rop) { return ((rop >> 2) ^ rop) & 0x33; }
constexpr bool RopUsesPattern(uint8_t rop) { return ((rop >> 4) ^ rop) & 0x0F; }
constexpr bool RopUsesDest(uint8_t rop) { return ((rop >> 1) ^ rop) & 0x55; }
constexpr uint8_t RopIndex(DWORD rop) { return static_cast<uint8_t>(rop >> 16); }

// Applies a ROP3 with `brush` as the pattern to an area of the target
// (target coordinates), inside the DC's clip.
void PatBltRegion(TGdiDC* dc, const TRegion& area, uint8_t rop, TGdiBrush* brush);
void PatBltRect(TGdiDC* dc, const RECT& r, uint8_t rop, TGdiBrush* brush);
// The window (see gdi_geometry.h) shapes drawn on dc are built in: the
// clip box and a pixel around it, so that at the clip's edge an outline
// pixel is told from an inner one as it would be in the whole shape.
RECT DrawWindow(TGdiDC* dc);
// A logical rectangle as target pixels (a polygon under rotation, of
// which only the rows inside DrawWindow are made: it is for drawing).
TRegion LogicalRectToTarget(TGdiDC* dc, const RECT& r);

// The DC's realised pen colour, brush, and current target/clip.
COLORREF PenColor(TGdiDC* dc, TGdiPen* pen);

}  // namespace rtl::detail
