// Small drawings written at a zoom, one cell per pixel with a grid line
// between cells, so that single pixels can be told apart by eye.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/common/picture_png.h"

inline void WriteZoomedPng(const std::string& name, const uint32_t* bits, int w, int h, int zoom = 8) {
  const int zw = w * zoom, zh = h * zoom;
  std::vector<uint32_t> out(size_t(zw) * size_t(zh));
  for (int y = 0; y < zh; ++y)
    for (int x = 0; x < zw; ++x) {
      const bool grid = x % zoom == 0 || y % zoom == 0;
      const uint32_t p = bits[size_t(y / zoom) * size_t(w) + size_t(x / zoom)] & 0xFFFFFFu;
      // The grid is the pixel's colour a little darker or lighter.
      out[size_t(y) * size_t(zw) + size_t(x)] = grid ? (p & 0x808080u ? p - ((p >> 3) & 0x1F1F1Fu) : p + 0x202020u) : p;
    }
  WriteOpaquePng(name, out.data(), zw, zh);
}
