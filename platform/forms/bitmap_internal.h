// What the picture classes share: little-endian fields of the image file
// formats and the rows of a bitmap as a DIB.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/kernel/windef.h"

namespace rtl::detail {

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Get32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Bytes in one DIB row: rows are padded to whole 32-bit words.
inline int RowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

// Copies the rows of a bitmap, as an uncompressed bottom-up DIB of the
// given depth, to Out (Height rows of RowBytes(Width, Bits) bytes).
void GetBottomUpBits(HBITMAP Bitmap, int Width, int Height, int Bits, uint8_t* Out);

}  // namespace rtl::detail
