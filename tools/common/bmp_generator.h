// What the picture generators share: 24-bit BMP bytes, and a main that
// writes the pictures or checks the committed ones against them.
#pragma once

#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace bmp_generator {

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

// Bottom-up 24-bit BMP of W x H pixels given top-down.
inline std::string Bmp24(int w, int h, const std::vector<Rgb>& px) {
  std::string s;
  auto put16 = [&s](uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
  };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  const uint32_t row = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  const uint32_t data = row * static_cast<uint32_t>(h);
  s += "BM";
  put32(14 + 40 + data);
  put32(0);
  put32(14 + 40);
  put32(40);
  put32(static_cast<uint32_t>(w));
  put32(static_cast<uint32_t>(h));
  put16(1);
  put16(24);
  put32(0);
  put32(data);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const Rgb& p = px[static_cast<size_t>(y) * w + x];
      s += static_cast<char>(p.b);
      s += static_cast<char>(p.g);
      s += static_cast<char>(p.r);
    }
    for (uint32_t pad = static_cast<uint32_t>(w) * 3; pad < row; ++pad) s += '\0';
  }
  return s;
}

struct Output {
  const char* name;
  std::string (*bytes)();
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// TOOL OUTDIR writes every output; TOOL --check DIR fails when a committed
// file differs from what the generator draws.
template <size_t N>
int Run(int argc, char** argv, const char* tool, const Output (&outputs)[N]) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::cerr << "usage: " << tool << " OUTDIR | --check DIR\n";
    return 2;
  }
  const std::string dir = std::string(argv[check ? 2 : 1]) + "/";
  int rc = 0;
  for (const Output& o : outputs) {
    const std::string bytes = o.bytes();
    if (check) {
      if (ReadFile(dir + o.name) != bytes) {
        std::cerr << o.name << " differs from what the generator draws\n";
        rc = 1;
      }
    } else {
      std::ofstream(dir + o.name, std::ios::binary) << bytes;
    }
  }
  return rc;
}

}  // namespace bmp_generator
