// The per-format halves of the picture codecs, and the limits and byte
// readers they share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/backend/codecs.h"
#include "platform/rtl/image_limits.h"

namespace rtl::backend::detail {

inline bool Fail(std::string* error, const char* message) {
  if (error) *error = message;
  return false;
}

// Within the limits every decoder shares (platform/rtl/image_limits.h).
inline bool SizeAllowed(int64_t width, int64_t height) { return rtl::ImageSizeAllowed(width, height); }

inline uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t U32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

inline void PutU16(std::string& s, uint16_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8));
}
inline void PutU32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

inline const uint32_t* Row(const uint32_t* pixels, int stride, int y) {
  return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) + ptrdiff_t(y) * stride);
}

bool DecodeBmp(const uint8_t* data, size_t size, TDecodedImage& out, std::string* error);
bool DecodeDib(const uint8_t* data, size_t size, TDecodedImage& out, std::string* error);
bool DecodeIconFile(const uint8_t* data, size_t size, int entry, TDecodedImage& out, std::string* error);
bool EncodeBmp(const uint32_t* pixels, int width, int height, int stride, const TEncodeOptions& options,
               std::string& out);

bool DecodePng(const uint8_t* data, size_t size, TDecodedImage& out, std::string* error);
bool EncodePng(const uint32_t* pixels, int width, int height, int stride, const TEncodeOptions& options,
               std::string& out, std::string* error);

bool DecodeJpeg(const uint8_t* data, size_t size, TDecodedImage& out, std::string* error);
bool EncodeJpeg(const uint32_t* pixels, int width, int height, int stride, const TEncodeOptions& options,
                std::string& out, std::string* error);

bool DecodeTiff(const uint8_t* data, size_t size, int frame, TDecodedImage& out, std::string* error);
bool EncodeTiff(const uint32_t* pixels, int width, int height, int stride, const TEncodeOptions& options,
                std::string& out, std::string* error);

bool DecodeGif(const uint8_t* data, size_t size, int frame, TDecodedImage& out, std::string* error);
bool EncodeGif(const uint32_t* pixels, int width, int height, int stride, const TEncodeOptions& options,
               std::string& out, std::string* error);

}  // namespace rtl::backend::detail
