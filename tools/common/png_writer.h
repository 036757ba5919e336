// A small deterministic PNG writer for the picture generators: 8-bit RGBA,
// no filtering, the image data in stored (uncompressed) deflate blocks, so
// the same pixels always give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace png_writer {

struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

namespace detail {

inline uint32_t Crc32(const std::string& bytes, size_t from) {
  static const std::vector<uint32_t> table = [] {
    std::vector<uint32_t> t(256);
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = from; i < bytes.size(); ++i) c = table[(c ^ static_cast<uint8_t>(bytes[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

inline void Put32(std::string& s, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
}

inline void Chunk(std::string& out, const char* type, const std::string& data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  const size_t from = out.size();
  out += type;
  out += data;
  Put32(out, Crc32(out, from));
}

}  // namespace detail

// PNG of W x H pixels given top-down.
inline std::string Png(int w, int h, const std::vector<Rgba>& px) {
  // Raw scanlines, each led by filter type 0.
  std::string raw;
  for (int y = 0; y < h; ++y) {
    raw += '\0';
    for (int x = 0; x < w; ++x) {
      const Rgba& p = px[static_cast<size_t>(y) * w + x];
      raw += static_cast<char>(p.r);
      raw += static_cast<char>(p.g);
      raw += static_cast<char>(p.b);
      raw += static_cast<char>(p.a);
    }
  }
  // zlib: header, stored blocks of at most 65535 bytes, Adler-32.
  std::string z = "\x78\x01";
  size_t at = 0;
  do {
    const size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
    const bool last = at + n == raw.size();
    z += static_cast<char>(last ? 1 : 0);
    z += static_cast<char>(n & 0xFF);
    z += static_cast<char>(n >> 8);
    z += static_cast<char>(~n & 0xFF);
    z += static_cast<char>((~n >> 8) & 0xFF);
    z.append(raw, at, n);
    at += n;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (char c : raw) {
    a = (a + static_cast<uint8_t>(c)) % 65521;
    b = (b + a) % 65521;
  }
  detail::Put32(z, b << 16 | a);

  std::string out = "\x89PNG\r\n\x1a\n";
  std::string ihdr;
  detail::Put32(ihdr, static_cast<uint32_t>(w));
  detail::Put32(ihdr, static_cast<uint32_t>(h));
  ihdr += '\x08';  // bit depth
  ihdr += '\x06';  // RGBA
  ihdr += std::string(3, '\0');  // deflate, adaptive filtering, no interlace
  detail::Chunk(out, "IHDR", ihdr);
  detail::Chunk(out, "IDAT", z);
  detail::Chunk(out, "IEND", std::string());
  return out;
}

}  // namespace png_writer
