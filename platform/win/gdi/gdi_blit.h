// The blit engine shared by the bit-block transfers, the DIB functions,
// icons and the classic drawing helpers.
#pragma once

#include <vector>

#include "platform/win/gdi/gdi_raster.h"

namespace rtl::detail {

// Where source pixels come from: a DC's bitmap, DIB memory or a snapshot.
struct TBlitSource {
  const TPixelFormat* Format = nullptr;
  const uint8_t* Base = nullptr;  // row RowBase
  int RowBase = 0;
  ptrdiff_t Stride = 0;           // bytes from a row to the one below
  int Width = 0, Height = 0;
  int RowFirst = 0, RowLast = 0;  // the rows that hold pixels
  bool Mono = false;              // monochrome: drawn in text/background colours
  bool HasBk = false;             // colour to monochrome compares with BkPixel
  uint32_t BkPixel = 0;
  const TGdiBitmap* Bitmap = nullptr;
  THandleRef<TGdiBitmap> Held;  // keeps Base's pixels while the source is read
  TPixelFormat OwnFormat;
  std::vector<uint32_t> Own;

  bool FromDC(TGdiDC* dc);
  // Copies the rectangle so that drawing into the same bitmap cannot
  // change what is read.
  void Snapshot(const RECT& r);
  const uint8_t* RowPtr(int y) const { return Base + ptrdiff_t(y - RowBase) * Stride; }
  void Fetch(int y, int x, int n, uint32_t* out) const;
};

struct TBlitParams {
  int DX = 0, DY = 0, DW = 0, DH = 0;  // target pixels; negative sizes mirror
  int SX = 0, SY = 0, SW = 0, SH = 0;  // source pixels
  uint8_t Rop = 0xCC, BackRop = 0xCC;  // the back operation applies where the mask is 0
  const TGdiBitmap* Mask = nullptr;
  int MX = 0, MY = 0;
  int StretchMode = COLORONCOLOR;
};

// False when the operation needs a source that is missing.
bool BlitTarget(TGdiDC* dc, const TBlitParams& p, TBlitSource* src, TGdiBrush* brush);
// A logical rectangle (x, y, w, h) in target pixels; not normalised.
RECT TargetRectOf(TGdiDC* dc, int x, int y, int w, int h);
// The same for a blit's destination: under a mirrored layout the image is
// mirrored too, unless the layout preserves bitmap orientation or the
// caller asks to keep it.
RECT DestRectOf(TGdiDC* dc, int x, int y, int w, int h, bool keepOrientation = false);

}  // namespace rtl::detail
