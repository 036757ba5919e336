#include "platform/win/gdi/gdi_pixels.h"

#include <bit>
#include <cstring>

#include "platform/win/gdi/gdi.h"

namespace rtl::detail {

namespace {

constexpr uint32_t Px(int r, int g, int b) { return (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b); }

std::vector<uint32_t> MakeVga16() {
  return {Px(0, 0, 0),     Px(128, 0, 0),   Px(0, 128, 0),   Px(128, 128, 0), Px(0, 0, 128),   Px(128, 0, 128),
          Px(0, 128, 128), Px(192, 192, 192), Px(128, 128, 128), Px(255, 0, 0), Px(0, 255, 0),   Px(255, 255, 0),
          Px(0, 0, 255),   Px(255, 0, 255), Px(0, 255, 255), Px(255, 255, 255)};
}

// The 20 static colours at both ends, a 6x6x6 cube and a grey ramp between.
std::vector<uint32_t> MakeDefault256() {
  std::vector<uint32_t> p = {Px(0, 0, 0),       Px(128, 0, 0),     Px(0, 128, 0),   Px(128, 128, 0),
                             Px(0, 0, 128),     Px(128, 0, 128),   Px(0, 128, 128), Px(192, 192, 192),
                             Px(192, 220, 192), Px(166, 202, 240)};
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) p.push_back(Px(r * 51, g * 51, b * 51));
  for (int i = 0; p.size() < 246; ++i) {
    int v = 8 + i * 12;
    p.push_back(Px(v, v, v));
  }
  const uint32_t high[10] = {Px(255, 251, 240), Px(160, 160, 164), Px(128, 128, 128), Px(255, 0, 0),
                             Px(0, 255, 0),     Px(255, 255, 0),   Px(0, 0, 255),     Px(255, 0, 255),
                             Px(0, 255, 255),   Px(255, 255, 255)};
  p.insert(p.end(), high, high + 10);
  return p;
}

uint32_t Extract8(uint32_t v, uint32_t mask) {
  if (!mask) return 0;
  int shift = std::countr_zero(mask);
  int bits = std::popcount(mask);
  uint32_t c = (v & mask) >> shift;
  if (bits >= 8) return c >> (bits - 8);
  uint32_t out = 0;
  int have = 0;
  while (have < 8) {
    out = (out << bits) | c;
    have += bits;
  }
  return out >> (have - 8);
}

uint32_t Insert8(uint32_t c8, uint32_t mask) {
  if (!mask) return 0;
  int shift = std::countr_zero(mask);
  int bits = std::popcount(mask);
  uint32_t c = bits >= 8 ? c8 << (bits - 8) : c8 >> (8 - bits);
  return (c << shift) & mask;
}

// Remembers recent nearest-colour answers while converting a row.
struct TNearestCache {
  uint32_t key[64];
  uint8_t val[64];
  TNearestCache() { std::memset(key, 0xFF, sizeof(key)); }
  int Get(const std::vector<uint32_t>& pal, uint32_t p) {
    p &= 0xFFFFFF;
    unsigned h = (p ^ (p >> 7) ^ (p >> 15)) & 63;
    if (key[h] == p) return val[h];
    int idx = NearestPaletteIndex(pal, p);
    key[h] = p;
    val[h] = static_cast<uint8_t>(idx);
    return idx;
  }
};

}  // namespace

TPixelFormat TPixelFormat::Mono() {
  TPixelFormat f;
  f.Bits = 1;
  f.Palette = {0, 0xFFFFFF};
  return f;
}

TPixelFormat TPixelFormat::Direct32() { return TPixelFormat(); }

bool DibExtentOf(const TPixelFormat& f, int32_t width, int32_t height, TDibExtent& out) {
  const int64_t rows = height < 0 ? -int64_t(height) : int64_t(height);
  if (width <= 0 || rows == 0 || rows > INT32_MAX) return false;
  const int64_t stride = f.RowBytes(width, 4);
  // Divide rather than multiply: a wide row times many rows overflows 64 bits.
  if (stride <= 0 || stride > kMaxBitmapBytes / rows) return false;
  out.Width = width;
  out.Height = static_cast<int>(rows);
  out.TopDown = height < 0;
  out.Stride = static_cast<size_t>(stride);
  return true;
}

bool TPixelFormat::FromInfo(const BITMAPINFO* info, UINT usage, TPixelFormat& out,
                            const std::vector<uint32_t>* palette) {
  if (!info) return false;
  // Copied: packed DIBs (after a file header, on the clipboard) need not be
  // aligned for the header's fields.
  BITMAPINFOHEADER h;
  std::memcpy(&h, info, sizeof h);
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return false;
  out = TPixelFormat();
  out.Bits = h.biBitCount;
  const uint8_t* colors = reinterpret_cast<const uint8_t*>(info) + h.biSize;
  switch (h.biBitCount) {
    case 1:
    case 4:
    case 8: {
      if (h.biCompression != BI_RGB) return false;
      int n = h.biClrUsed ? static_cast<int>(h.biClrUsed) : 1 << h.biBitCount;
      if (n > (1 << h.biBitCount)) n = 1 << h.biBitCount;
      out.Palette.resize(size_t(1) << h.biBitCount, 0);
      for (int i = 0; i < n; ++i) {
        if (usage == DIB_PAL_COLORS) {
          WORD idx;
          std::memcpy(&idx, colors + i * 2, 2);
          const auto& from = palette && !palette->empty() ? *palette : DefaultPalette(8);
          out.Palette[i] = from[idx < from.size() ? idx : 0];
        } else {
          RGBQUAD q;
          std::memcpy(&q, colors + i * 4, 4);
          out.Palette[i] = Px(q.rgbRed, q.rgbGreen, q.rgbBlue);
        }
      }
      return true;
    }
    case 16:
    case 32:
      if (h.biCompression == BI_BITFIELDS) {
        DWORD m[3];
        // Version 4 and 5 headers hold the masks inside the header.
        if (h.biSize >= 52)
          std::memcpy(m, reinterpret_cast<const uint8_t*>(info) + 40, 12);
        else
          std::memcpy(m, colors, 12);
        out.Masks[0] = m[0];
        out.Masks[1] = m[1];
        out.Masks[2] = m[2];
        out.Masks[3] = 0;
        if (h.biSize >= 56) std::memcpy(&out.Masks[3], reinterpret_cast<const uint8_t*>(info) + 52, 4);
        out.Bitfields = true;
        if (!m[0] && !m[1] && !m[2]) return false;
      } else if (h.biCompression == BI_RGB) {
        if (h.biBitCount == 16) {
          out.Masks[0] = 0x7C00;
          out.Masks[1] = 0x03E0;
          out.Masks[2] = 0x001F;
        }
      } else {
        return false;
      }
      return true;
    case 24:
      return h.biCompression == BI_RGB;
    default:
      return false;
  }
}

void DecodeRow(const TPixelFormat& f, const uint8_t* row, int x, int n, uint32_t* out) {
  switch (f.Bits) {
    case 1:
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        out[i] = f.Palette[(row[px >> 3] >> (7 - (px & 7))) & 1];
      }
      break;
    case 4:
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        uint8_t b = row[px >> 1];
        out[i] = f.Palette[(px & 1) ? (b & 15) : (b >> 4)];
      }
      break;
    case 8:
      for (int i = 0; i < n; ++i) out[i] = f.Palette[row[x + i]];
      break;
    case 16: {
      const uint8_t* p = row + x * 2;
      for (int i = 0; i < n; ++i, p += 2) {
        uint32_t v = p[0] | (uint32_t(p[1]) << 8);
        out[i] = (Extract8(v, f.Masks[0]) << 16) | (Extract8(v, f.Masks[1]) << 8) | Extract8(v, f.Masks[2]) |
                 (Extract8(v, f.Masks[3]) << 24);
      }
      break;
    }
    case 24: {
      const uint8_t* p = row + x * 3;
      for (int i = 0; i < n; ++i, p += 3) out[i] = p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
      break;
    }
    case 32:
      if (f.IsDirect32()) {
        std::memcpy(out, row + x * 4, size_t(n) * 4);
      } else {
        const uint8_t* p = row + x * 4;
        for (int i = 0; i < n; ++i, p += 4) {
          uint32_t v;
          std::memcpy(&v, p, 4);
          out[i] = (Extract8(v, f.Masks[0]) << 16) | (Extract8(v, f.Masks[1]) << 8) | Extract8(v, f.Masks[2]) |
                   (Extract8(v, f.Masks[3]) << 24);
        }
      }
      break;
  }
}

void EncodeRow(const TPixelFormat& f, const uint32_t* in, int n, uint8_t* row, int x) {
  switch (f.Bits) {
    case 1: {
      TNearestCache cache;
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        int idx = cache.Get(f.Palette, in[i]);
        uint8_t bit = uint8_t(0x80 >> (px & 7));
        if (idx)
          row[px >> 3] |= bit;
        else
          row[px >> 3] &= uint8_t(~bit);
      }
      break;
    }
    case 4: {
      TNearestCache cache;
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        int idx = cache.Get(f.Palette, in[i]);
        uint8_t& b = row[px >> 1];
        b = (px & 1) ? uint8_t((b & 0xF0) | idx) : uint8_t((b & 0x0F) | (idx << 4));
      }
      break;
    }
    case 8: {
      TNearestCache cache;
      for (int i = 0; i < n; ++i) row[x + i] = static_cast<uint8_t>(cache.Get(f.Palette, in[i]));
      break;
    }
    case 16: {
      uint8_t* p = row + x * 2;
      for (int i = 0; i < n; ++i, p += 2) {
        uint32_t c = in[i];
        uint32_t v = Insert8((c >> 16) & 0xFF, f.Masks[0]) | Insert8((c >> 8) & 0xFF, f.Masks[1]) |
                     Insert8(c & 0xFF, f.Masks[2]) | Insert8(c >> 24, f.Masks[3]);
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
      }
      break;
    }
    case 24: {
      uint8_t* p = row + x * 3;
      for (int i = 0; i < n; ++i, p += 3) {
        p[0] = static_cast<uint8_t>(in[i]);
        p[1] = static_cast<uint8_t>(in[i] >> 8);
        p[2] = static_cast<uint8_t>(in[i] >> 16);
      }
      break;
    }
    case 32:
      if (f.IsDirect32()) {
        std::memcpy(row + x * 4, in, size_t(n) * 4);
      } else {
        uint8_t* p = row + x * 4;
        for (int i = 0; i < n; ++i, p += 4) {
          uint32_t c = in[i];
          uint32_t v = Insert8((c >> 16) & 0xFF, f.Masks[0]) | Insert8((c >> 8) & 0xFF, f.Masks[1]) |
                       Insert8(c & 0xFF, f.Masks[2]) | Insert8(c >> 24, f.Masks[3]);
          std::memcpy(p, &v, 4);
        }
      }
      break;
  }
}

void DecodeValues(const TPixelFormat& f, const uint8_t* row, int x, int n, uint32_t* out) {
  switch (f.Bits) {
    case 1:
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        out[i] = (row[px >> 3] >> (7 - (px & 7))) & 1;
      }
      break;
    case 4:
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        uint8_t b = row[px >> 1];
        out[i] = (px & 1) ? (b & 15) : (b >> 4);
      }
      break;
    case 8:
      for (int i = 0; i < n; ++i) out[i] = row[x + i];
      break;
    case 16: {
      const uint8_t* p = row + x * 2;
      for (int i = 0; i < n; ++i, p += 2) out[i] = p[0] | (uint32_t(p[1]) << 8);
      break;
    }
    case 24: {
      const uint8_t* p = row + x * 3;
      for (int i = 0; i < n; ++i, p += 3) out[i] = p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
      break;
    }
    case 32:
      std::memcpy(out, row + x * 4, size_t(n) * 4);
      break;
  }
}

void EncodeValues(const TPixelFormat& f, const uint32_t* in, int n, uint8_t* row, int x) {
  switch (f.Bits) {
    case 1:
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        uint8_t bit = uint8_t(0x80 >> (px & 7));
        if (in[i] & 1)
          row[px >> 3] |= bit;
        else
          row[px >> 3] &= uint8_t(~bit);
      }
      break;
    case 4:
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        uint8_t& b = row[px >> 1];
        uint8_t v = uint8_t(in[i] & 15);
        b = (px & 1) ? uint8_t((b & 0xF0) | v) : uint8_t((b & 0x0F) | (v << 4));
      }
      break;
    case 8:
      for (int i = 0; i < n; ++i) row[x + i] = static_cast<uint8_t>(in[i]);
      break;
    case 16: {
      uint8_t* p = row + x * 2;
      for (int i = 0; i < n; ++i, p += 2) {
        p[0] = static_cast<uint8_t>(in[i]);
        p[1] = static_cast<uint8_t>(in[i] >> 8);
      }
      break;
    }
    case 24: {
      uint8_t* p = row + x * 3;
      for (int i = 0; i < n; ++i, p += 3) {
        p[0] = static_cast<uint8_t>(in[i]);
        p[1] = static_cast<uint8_t>(in[i] >> 8);
        p[2] = static_cast<uint8_t>(in[i] >> 16);
      }
      break;
    }
    case 32:
      std::memcpy(row + x * 4, in, size_t(n) * 4);
      break;
  }
}

uint32_t PixelToValue(const TPixelFormat& f, uint32_t pixel) {
  if (f.Bits <= 8) return static_cast<uint32_t>(NearestPaletteIndex(f.Palette, pixel));
  if (f.Bits == 24) return pixel & 0xFFFFFF;
  if (f.IsDirect32()) return pixel;
  uint8_t buf[4] = {0, 0, 0, 0};
  uint32_t out = 0;
  EncodeRow(f, &pixel, 1, buf, 0);
  DecodeValues(f, buf, 0, 1, &out);
  return out;
}

uint32_t ValueToPixel(const TPixelFormat& f, uint32_t value) {
  if (f.Bits <= 8) {
    uint32_t i = value & ((1u << f.Bits) - 1);
    return i < f.Palette.size() ? f.Palette[i] : 0;
  }
  uint8_t buf[4] = {0, 0, 0, 0};
  uint32_t out = 0;
  EncodeValues(f, &value, 1, buf, 0);
  DecodeRow(f, buf, 0, 1, &out);
  return out;
}

uint32_t RealizePixel(const TPixelFormat& f, uint32_t pixel) {
  if (f.IsDirect32() || f.Bits == 24) return pixel;
  uint8_t buf[4] = {0, 0, 0, 0};
  uint32_t out;
  EncodeRow(f, &pixel, 1, buf, 0);
  DecodeRow(f, buf, 0, 1, &out);
  return out;
}

int NearestPaletteIndex(const std::vector<uint32_t>& palette, uint32_t pixel) {
  int best = 0;
  int bestDist = INT32_MAX;
  int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  for (size_t i = 0; i < palette.size(); ++i) {
    uint32_t p = palette[i];
    int dr = int((p >> 16) & 0xFF) - r, dg = int((p >> 8) & 0xFF) - g, db = int(p & 0xFF) - b;
    int d = dr * dr + dg * dg + db * db;
    if (d < bestDist) {
      bestDist = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return best;
}

bool DecodeRle(int bits, int width, int height, const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
  if ((bits != 8 && bits != 4) || width <= 0 || height <= 0) return false;
  const size_t stride = size_t((int64_t(width) * bits + 31) / 32 * 4);
  if (stride * size_t(height) > size_t(kMaxBitmapBytes)) return false;
  out.assign(stride * size_t(height), 0);
  auto put = [&](int x, int y, uint8_t v) {
    if (x < 0 || x >= width || y < 0 || y >= height) return;
    uint8_t* row = out.data() + size_t(y) * stride;
    if (bits == 8) {
      row[x] = v;
    } else {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | (v & 15)) : uint8_t((b & 0x0F) | (v << 4));
    }
  };
  size_t i = 0;
  int x = 0, y = 0;  // y counts rows from the bottom, as stored
  while (i + 1 < size && y < height) {
    uint8_t count = data[i], value = data[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k, ++x) put(x, y, bits == 8 ? value : uint8_t((k & 1) ? value & 15 : value >> 4));
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      break;
    } else if (value == 2) {  // move right and up
      if (i + 1 >= size) break;
      x += data[i];
      y += data[i + 1];
      i += 2;
    } else {  // `value` pixels given one by one, padded to a word
      size_t bytes = bits == 8 ? value : (value + 1u) / 2;
      if (i + bytes > size) break;
      for (int k = 0; k < value; ++k, ++x)
        put(x, y, bits == 8 ? data[i + k] : uint8_t((k & 1) ? data[i + k / 2] & 15 : data[i + k / 2] >> 4));
      i += (bytes + 1) & ~size_t(1);
    }
  }
  return true;
}

const std::vector<uint32_t>& DefaultPalette(int bits) {
  static const std::vector<uint32_t> mono = {0, 0xFFFFFF};
  static const std::vector<uint32_t> vga = MakeVga16();
  static const std::vector<uint32_t> full = MakeDefault256();
  return bits == 1 ? mono : bits == 4 ? vga : full;
}

}  // namespace rtl::detail
