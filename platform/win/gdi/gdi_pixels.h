// Pixel formats of bitmaps and DIBs and the conversions between them and
// the 32-bit B,G,R,A pixels that all drawing works on.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/kernel/windef.h"

struct BITMAPINFO;

namespace rtl::detail {

// A 32-bit pixel from a COLORREF: blue in the low byte, alpha 0.
constexpr uint32_t ColorToPixel(COLORREF c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF PixelToColor(uint32_t p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

struct TPixelFormat {
  int Bits = 32;  // 1, 4, 8, 16, 24 or 32
  // Channel masks of 16- and 32-bit formats (red, green, blue, alpha).
  uint32_t Masks[4] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0};
  bool Bitfields = false;  // BI_BITFIELDS
  // Colour table of 1-, 4- and 8-bit formats, as pixels (alpha 0).
  std::vector<uint32_t> Palette;

  // 32-bit B,G,R,X layout that drawing can address directly.
  bool IsDirect32() const {
    return Bits == 32 && Masks[0] == 0x00FF0000u && Masks[1] == 0x0000FF00u && Masks[2] == 0x000000FFu;
  }
  // Bytes in a row, padded to `align` bytes; in 64 bits, since a header's
  // width times its depth overflows an int.
  int64_t RowBytes(int64_t width, int align) const {
    return ((width * Bits + align * 8 - 1) / (align * 8)) * align;
  }

  static TPixelFormat Mono();
  static TPixelFormat Direct32();
  // The format a BITMAPINFO describes (colours read as RGBQUADs; with
  // DIB_PAL_COLORS the indices go through `palette`, the DC's, or the
  // default palette without one). False when the header is not one we can
  // read.
  static bool FromInfo(const BITMAPINFO* info, UINT usage, TPixelFormat& out,
                       const std::vector<uint32_t>* palette = nullptr);
};

// The most memory one bitmap's pixels may take; a header asking for more
// is damage, not data.
constexpr int64_t kMaxBitmapBytes = int64_t(1) << 31;

// The size a DIB header describes, checked in 64 bits: a positive width,
// a height other than 0 whose magnitude fits an int, and rows of
// `f`'s depth that stay within kMaxBitmapBytes.
struct TDibExtent {
  int Width = 0;
  int Height = 0;  // rows, positive
  bool TopDown = false;
  size_t Stride = 0;  // bytes in a row, padded to 4
  size_t Bytes() const { return Stride * size_t(Height); }
};
bool DibExtentOf(const TPixelFormat& f, int32_t width, int32_t height, TDibExtent& out);

// Converts n pixels starting at pixel x of a row into 32-bit pixels.
void DecodeRow(const TPixelFormat& f, const uint8_t* row, int x, int n, uint32_t* out);
// Converts n 32-bit pixels into a row at pixel x; table formats take the
// nearest colour of their palette.
void EncodeRow(const TPixelFormat& f, const uint32_t* in, int n, uint8_t* row, int x);
// Values: what a format stores for a pixel, unconverted (the index of a
// table format, the packed bits of 16-, 24- and 32-bit formats). Raster
// operations work on these, as they do on the device. Encoding keeps only
// the bits the format holds.
void DecodeValues(const TPixelFormat& f, const uint8_t* row, int x, int n, uint32_t* out);
void EncodeValues(const TPixelFormat& f, const uint32_t* in, int n, uint8_t* row, int x);
// The value a format stores for a 32-bit pixel (the nearest colour of a
// table format), and the pixel a value shows.
uint32_t PixelToValue(const TPixelFormat& f, uint32_t pixel);
uint32_t ValueToPixel(const TPixelFormat& f, uint32_t value);
// The colour a format shows for `pixel` (what a write and read gives back).
uint32_t RealizePixel(const TPixelFormat& f, uint32_t pixel);
int NearestPaletteIndex(const std::vector<uint32_t>& palette, uint32_t pixel);

// Expands run-length encoded 8- or 4-bit pixels (BI_RLE8, BI_RLE4) of a
// `width` x `height` picture into uncompressed bottom-up rows padded to 4
// bytes; pixels the data skips are index 0. Reads at most `size` bytes and
// never writes outside the picture; false when the data is not RLE.
bool DecodeRle(int bits, int width, int height, const uint8_t* data, size_t size, std::vector<uint8_t>& out);

// The default colour tables GetDIBits fills for 1-, 4- and 8-bit requests.
const std::vector<uint32_t>& DefaultPalette(int bits);

}  // namespace rtl::detail
