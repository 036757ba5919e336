// Small run-length bitmap files that declare pictures out of all
// proportion to their data, for the decoders' size checks.
#pragma once

#include <cstdint>
#include <string>

namespace test_bitmaps {

inline void Put16(std::string& s, uint16_t v) {
  s.push_back(char(v & 0xFF));
  s.push_back(char(v >> 8));
}
inline void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

// A BMP file of `colours` palette entries followed by `data` as the
// run-length pixels (compression 1: 8 bits, 2: 4 bits).
inline std::string RunLengthBmp(int32_t width, int32_t height, int bits, uint32_t compression, uint32_t colours,
                                const std::string& data) {
  std::string s = "BM";
  Put32(s, uint32_t(14 + 40 + colours * 4 + data.size()));
  Put32(s, 0);
  Put32(s, 14 + 40 + colours * 4);
  Put32(s, 40);
  Put32(s, uint32_t(width));
  Put32(s, uint32_t(height));
  Put16(s, 1);
  Put16(s, uint16_t(bits));
  Put32(s, compression);
  Put32(s, uint32_t(data.size()));
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, colours);
  Put32(s, 0);
  for (uint32_t i = 0; i < colours; ++i) Put32(s, 0x00102030u * i);
  return s + data;
}

// 247 bytes: 4-bit runs declaring 6 x 16,785,410 pixels.
inline std::string HugeRle4Bmp() {
  std::string runs;
  for (int i = 0; i < 31; ++i) runs += std::string("\x06\x12\x00\x00", 4);  // a row of 6, end of line
  runs += std::string("\x06\x34\x00\x01", 4);                              // a last row, end of bitmap
  return RunLengthBmp(6, 16785410, 4, 2, 16, runs + std::string(1, '\0'));
}

// 292 bytes: 8-bit runs declaring 65535 x 2048 pixels (within the pixel
// limit), a few runs and jumps.
inline std::string HugeRle8Bmp() {
  std::string runs;
  for (int i = 0; i < 56; ++i) runs += std::string("\xFF\x01\x00\x00", 4);  // 255 pixels, end of line
  runs += std::string("\x00\x02\xFF\xFF\x00\x01", 6);                      // a jump, end of bitmap
  return RunLengthBmp(65535, 2048, 8, 1, 2, runs);
}

// 1.6 KB of 4-bit runs declaring 26629 x 240 pixels: about 4,000 pixels
// per byte, which loading and masking took seconds over.
inline std::string SparseRle4Bmp() {
  std::string runs;
  for (int i = 0; i < 400; ++i) runs += std::string("\xFF\x12\x00\x00", 4);  // 255 pixels, end of line
  return RunLengthBmp(26629, 240, 4, 2, 16, runs + std::string("\x00\x01", 2));
}

// Runs of 255 pixels and an end of line for every row: what an encoder
// writes for a plain picture of 2040 x 1024 (about 2 million pixels).
inline std::string PlainRle8Bmp() {
  std::string row;
  for (int i = 0; i < 8; ++i) row += std::string("\xFF\x01", 2);
  std::string runs;
  for (int y = 0; y < 1024; ++y) runs += row + std::string("\x00\x00", 2);
  return RunLengthBmp(2040, 1024, 8, 1, 2, runs + std::string("\x00\x01", 2));
}

}  // namespace test_bitmaps
