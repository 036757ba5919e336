// Pixel formats of bitmaps: reading and writing single pixels, converting
// rows between formats, and showing pixels to the painter.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win/gdiplus/gdiplus_internal.h"

namespace rtl::detail {

namespace {

inline uint32_t Premultiply(ARGB c) {
  uint32_t a = c >> 24;
  if (a == 255) return c;
  if (a == 0) return 0;
  auto ch = [&](int shift) { return (((c >> shift) & 0xFF) * a + 127) / 255 << shift; };
  return (a << 24) | ch(16) | ch(8) | ch(0);
}

inline ARGB Unpremultiply(uint32_t p) {
  uint32_t a = p >> 24;
  if (a == 255 || a == 0) return a ? p : 0;
  auto ch = [&](int shift) { return std::min(255u, (((p >> shift) & 0xFF) * 255 + a / 2) / a) << shift; };
  return (a << 24) | ch(16) | ch(8) | ch(0);
}

inline uint32_t Expand5(uint32_t v) { return (v << 3) | (v >> 2); }
inline uint32_t Expand6(uint32_t v) { return (v << 2) | (v >> 4); }

int NearestIndex(const std::vector<ARGB>& palette, ARGB c) {
  int best = 0;
  int64_t bestDistance = INT64_MAX;
  for (size_t i = 0; i < palette.size(); ++i) {
    int64_t d = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      int64_t diff = int64_t((palette[i] >> shift) & 0xFF) - int64_t((c >> shift) & 0xFF);
      d += diff * diff;
    }
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return best;
}

ARGB ReadRaw(const BYTE* row, INT x, PixelFormat f, const std::vector<ARGB>& palette) {
  auto indexed = [&](uint32_t i) { return i < palette.size() ? palette[i] : 0xFF000000u; };
  switch (f) {
    case PixelFormat1bppIndexed: return indexed((row[x >> 3] >> (7 - (x & 7))) & 1);
    case PixelFormat4bppIndexed: return indexed((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
    case PixelFormat8bppIndexed: return indexed(row[x]);
    case PixelFormat16bppRGB555:
    case PixelFormat16bppARGB1555: {
      uint32_t v = row[2 * x] | (row[2 * x + 1] << 8);
      uint32_t a = f == PixelFormat16bppARGB1555 ? ((v & 0x8000) ? 255u : 0u) : 255u;
      return (a << 24) | (Expand5((v >> 10) & 31) << 16) | (Expand5((v >> 5) & 31) << 8) | Expand5(v & 31);
    }
    case PixelFormat16bppRGB565: {
      uint32_t v = row[2 * x] | (row[2 * x + 1] << 8);
      return 0xFF000000u | (Expand5((v >> 11) & 31) << 16) | (Expand6((v >> 5) & 63) << 8) | Expand5(v & 31);
    }
    case PixelFormat24bppRGB:
      return 0xFF000000u | (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
    case PixelFormat32bppRGB: return reinterpret_cast<const uint32_t*>(row)[x] | 0xFF000000u;
    case PixelFormat32bppARGB: return reinterpret_cast<const uint32_t*>(row)[x];
    case PixelFormat32bppPARGB: return Unpremultiply(reinterpret_cast<const uint32_t*>(row)[x]);
    default: return 0;
  }
}

void WriteRaw(BYTE* row, INT x, PixelFormat f, ARGB c, const std::vector<ARGB>& palette) {
  uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
  switch (f) {
    case PixelFormat1bppIndexed: {
      BYTE bit = BYTE(0x80 >> (x & 7));
      if (NearestIndex(palette, c))
        row[x >> 3] |= bit;
      else
        row[x >> 3] &= BYTE(~bit);
      break;
    }
    case PixelFormat4bppIndexed: {
      BYTE v = BYTE(NearestIndex(palette, c) & 0x0F);
      row[x >> 1] = (x & 1) ? BYTE((row[x >> 1] & 0xF0) | v) : BYTE((row[x >> 1] & 0x0F) | (v << 4));
      break;
    }
    case PixelFormat8bppIndexed: row[x] = BYTE(NearestIndex(palette, c)); break;
    case PixelFormat16bppRGB555:
    case PixelFormat16bppARGB1555: {
      uint32_t v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
      if (f == PixelFormat16bppARGB1555 && (c >> 24) >= 128) v |= 0x8000;
      row[2 * x] = BYTE(v);
      row[2 * x + 1] = BYTE(v >> 8);
      break;
    }
    case PixelFormat16bppRGB565: {
      uint32_t v = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
      row[2 * x] = BYTE(v);
      row[2 * x + 1] = BYTE(v >> 8);
      break;
    }
    case PixelFormat24bppRGB:
      row[3 * x] = BYTE(b);
      row[3 * x + 1] = BYTE(g);
      row[3 * x + 2] = BYTE(r);
      break;
    case PixelFormat32bppRGB: reinterpret_cast<uint32_t*>(row)[x] = c | 0xFF000000u; break;
    case PixelFormat32bppARGB: reinterpret_cast<uint32_t*>(row)[x] = c; break;
    case PixelFormat32bppPARGB: reinterpret_cast<uint32_t*>(row)[x] = Premultiply(c); break;
    default: break;
  }
}

// The colour tables new indexed bitmaps start with.
std::vector<ARGB> DefaultPalette(PixelFormat f) {
  std::vector<ARGB> p;
  if (f == PixelFormat1bppIndexed) return {0xFF000000u, 0xFFFFFFFFu};
  if (f == PixelFormat4bppIndexed) {
    static const ARGB k16[16] = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080,
                                 0xFF008080, 0xFF808080, 0xFFC0C0C0, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
                                 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
    return std::vector<ARGB>(k16, k16 + 16);
  }
  // 8 bits: a 6x6x6 colour cube, then greys.
  for (uint32_t r = 0; r < 6; ++r)
    for (uint32_t g = 0; g < 6; ++g)
      for (uint32_t b = 0; b < 6; ++b) p.push_back(0xFF000000u | (r * 51 << 16) | (g * 51 << 8) | (b * 51));
  for (uint32_t i = 0; p.size() < 256; ++i) {
    uint32_t v = i * 255 / 39;
    p.push_back(0xFF000000u | (v << 16) | (v << 8) | v);
  }
  return p;
}

// The attributes of bitmaps hold nothing but a colour matrix that is the
// identity except for the alpha factor.
bool AlphaOnly(const GpImageAttributes* attributes, double& factor) {
  if (!attributes) return false;
  const TGpColorAdjust& a =
      attributes->Adjust[ColorAdjustTypeBitmap].Set ? attributes->Adjust[ColorAdjustTypeBitmap] : attributes->Adjust[0];
  if (a.NoOp || !a.HasMatrix || a.HasGamma || a.HasThreshold || a.HasKeys || !a.Remap.empty() ||
      a.MatrixFlags != ColorMatrixFlagsDefault)
    return false;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) {
      if (i == 3 && j == 3) continue;
      if (a.Matrix.m[i][j] != (i == j ? 1.0f : 0.0f)) return false;
    }
  factor = a.Matrix.m[3][3];
  return true;
}

}  // namespace

TGpBitmap* BitmapImpl(const GpImage* image) { return dynamic_cast<TGpBitmap*>(const_cast<GpImage*>(image)); }

bool SupportedFormat(PixelFormat f) {
  switch (f) {
    case PixelFormat1bppIndexed:
    case PixelFormat4bppIndexed:
    case PixelFormat8bppIndexed:
    case PixelFormat16bppRGB555:
    case PixelFormat16bppRGB565:
    case PixelFormat16bppARGB1555:
    case PixelFormat24bppRGB:
    case PixelFormat32bppRGB:
    case PixelFormat32bppARGB:
    case PixelFormat32bppPARGB: return true;
    default: return false;
  }
}

bool PainterCanAddress(PixelFormat f) {
  return f == PixelFormat32bppPARGB || f == PixelFormat32bppARGB || f == PixelFormat32bppRGB ||
         f == PixelFormat24bppRGB;
}

bool AllocatePixels(TGpBitmap& b, INT width, INT height, PixelFormat format) {
  if (width <= 0 || height <= 0 || !SupportedFormat(format)) return false;
  if (int64_t(width) * height > (int64_t(1) << 28)) return false;
  int64_t stride = ((int64_t(width) * GetPixelFormatSize(format) + 31) / 32) * 4;
  b.Owned.assign(static_cast<size_t>(stride * height), 0);
  b.Width = width;
  b.Height = height;
  b.Format = format;
  b.Stride = static_cast<INT>(stride);
  b.Scan0 = b.Owned.data();
  if (IsIndexedPixelFormat(format)) {
    b.Palette = DefaultPalette(format);
    b.PaletteFlags = 0;
  } else {
    b.Palette.clear();
  }
  return true;
}

ARGB ReadPixel(const TGpBitmap& b, INT x, INT y) { return ReadRaw(b.Row(y), x, b.Format, b.Palette); }

void WritePixel(TGpBitmap& b, INT x, INT y, ARGB color) { WriteRaw(b.Row(y), x, b.Format, color, b.Palette); }

void ConvertRows(const BYTE* src, INT srcStride, PixelFormat srcFormat, const std::vector<ARGB>& srcPalette,
                 BYTE* dst, INT dstStride, PixelFormat dstFormat, const std::vector<ARGB>& dstPalette, INT width,
                 INT height) {
  const size_t rowBytes = (size_t(width) * GetPixelFormatSize(srcFormat) + 7) / 8;
  const bool same = srcFormat == dstFormat && (!IsIndexedPixelFormat(srcFormat) || srcPalette == dstPalette);
  for (INT y = 0; y < height; ++y) {
    const BYTE* s = src + ptrdiff_t(y) * srcStride;
    BYTE* d = dst + ptrdiff_t(y) * dstStride;
    if (same) {
      std::memcpy(d, s, rowBytes);
    } else if (srcFormat == PixelFormat32bppARGB && dstFormat == PixelFormat32bppPARGB) {
      for (INT x = 0; x < width; ++x)
        reinterpret_cast<uint32_t*>(d)[x] = Premultiply(reinterpret_cast<const uint32_t*>(s)[x]);
    } else {
      for (INT x = 0; x < width; ++x) WriteRaw(d, x, dstFormat, ReadRaw(s, x, srcFormat, srcPalette), dstPalette);
    }
  }
}

rtl::backend::TGpPixels PixelsOf(const TGpBitmap& b, std::vector<BYTE>* scratch) {
  rtl::backend::TGpPixels p;
  p.Width = b.Width;
  p.Height = b.Height;
  if (PainterCanAddress(b.Format)) {
    p.Bits = b.Scan0;
    p.Stride = b.Stride;
    switch (b.Format) {
      case PixelFormat32bppPARGB: p.Layout = rtl::backend::plPremultiplied; break;
      case PixelFormat32bppARGB: p.Layout = rtl::backend::plStraight; break;
      case PixelFormat32bppRGB: p.Layout = rtl::backend::plOpaque32; break;
      default: p.Layout = rtl::backend::plBgr24; break;
    }
    return p;
  }
  scratch->assign(size_t(b.Width) * b.Height * 4, 0);
  ConvertRows(b.Scan0, b.Stride, b.Format, b.Palette, scratch->data(), b.Width * 4, PixelFormat32bppPARGB, {},
              b.Width, b.Height);
  p.Bits = scratch->data();
  p.Stride = b.Width * 4;
  p.Layout = rtl::backend::plPremultiplied;
  return p;
}

TGpBitmap* NewBitmapFromPixels(INT width, INT height, const uint32_t* pixels, PixelFormat format) {
  auto* b = new TGpBitmap;
  if (!AllocatePixels(*b, width, height, format)) {
    delete b;
    return nullptr;
  }
  ConvertRows(reinterpret_cast<const BYTE*>(pixels), width * 4, PixelFormat32bppARGB, {}, b->Scan0, b->Stride, format,
              b->Palette, width, height);
  return b;
}

std::unique_ptr<TGpBitmap> PremultipliedCopy(const TGpBitmap& b, INT x, INT y, INT width, INT height,
                                             const GpImageAttributes* attributes) {
  auto out = std::make_unique<TGpBitmap>();
  AllocatePixels(*out, width, height, PixelFormat32bppPARGB);
  out->DpiX = b.DpiX;
  out->DpiY = b.DpiY;
  if (!attributes && b.Format == PixelFormat32bppPARGB) {
    for (INT r = 0; r < height; ++r) std::memcpy(out->Row(r), b.Row(y + r) + ptrdiff_t(x) * 4, size_t(width) * 4);
    return out;
  }
  // A matrix that only scales alpha (fading) works on premultiplied pixels
  // directly: every channel scales alike.
  double fade = 0;
  if (b.Format == PixelFormat32bppPARGB && AlphaOnly(attributes, fade)) {
    const uint32_t f = static_cast<uint32_t>(std::lround(std::clamp(fade, 0.0, 1.0) * 65536));
    for (INT r = 0; r < height; ++r) {
      const auto* s = reinterpret_cast<const uint32_t*>(b.Row(y + r)) + x;
      auto* d = reinterpret_cast<uint32_t*>(out->Row(r));
      for (INT c = 0; c < width; ++c) {
        uint32_t p = s[c], v = 0;
        for (int shift = 0; shift < 32; shift += 8) v |= ((((p >> shift) & 0xFF) * f + 32768) >> 16) << shift;
        d[c] = v;
      }
    }
    return out;
  }
  std::vector<uint32_t> row(static_cast<size_t>(width));
  for (INT r = 0; r < height; ++r) {
    for (INT c = 0; c < width; ++c) row[c] = ReadRaw(b.Row(y + r), x + c, b.Format, b.Palette);
    if (attributes) AdjustColors(attributes, ColorAdjustTypeBitmap, row.data(), row.size());
    auto* d = reinterpret_cast<uint32_t*>(out->Row(r));
    for (INT c = 0; c < width; ++c) d[c] = Premultiply(row[c]);
  }
  return out;
}

}  // namespace rtl::detail
