// The limits every picture decoder of the layer shares, so that a lying
// header cannot ask for more memory or time than a picture the
// application draws could take.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rtl {

// The largest picture decoded: 65535 pixels a side, 2^27 pixels in all
// (512 MiB of 32-bit pixels).
constexpr int64_t kMaxImageSide = 65535;
constexpr int64_t kMaxImagePixels = int64_t(1) << 27;

inline bool ImageSizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

// Run-length data can skip to the end of a row or of the picture in two
// bytes, so in theory a few bytes describe any size; a real file needs far
// more. Up to 2^20 pixels are always taken, beyond that at most 4096
// pixels per byte of data: more is damage, and decoding it (or masking
// the result) would cost seconds for nothing.
inline bool RunLengthSizePlausible(int64_t pixels, size_t dataBytes) {
  return pixels <= (int64_t(1) << 20) || pixels / 4096 < int64_t(dataBytes);
}

// A bitmap's own run-length codes write at most 255 pixels in two bytes;
// only their skips (end of line, a jump) cover more. Beyond 2^20 pixels a
// run-length bitmap may declare at most 256 pixels per byte of its data:
// 6.4 million pixels from 1.6 KB of runs took seconds to decode and mask.
inline bool BitmapRunsPlausible(int64_t pixels, size_t dataBytes) {
  return pixels <= (int64_t(1) << 20) || pixels / 256 < int64_t(dataBytes);
}

}  // namespace rtl
