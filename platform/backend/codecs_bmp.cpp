// BMP files, packed DIBs and icon and cursor files. Every read is checked
// against the end of the data before it happens.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/backend/codecs_internal.h"

namespace rtl::backend::detail {
namespace {

// Compression values of BITMAPINFOHEADER.
constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiJpeg = 4, kBiPng = 5,
                   kBiAlphaBitfields = 6;

struct TDibHeader {
  uint32_t HeaderSize = 0;
  int64_t Width = 0, Height = 0;  // Height > 0: bottom-up
  int Bits = 0;
  uint32_t Compression = kBiRgb;
  uint32_t ImageSize = 0;
  int32_t XPelsPerMeter = 0, YPelsPerMeter = 0;
  uint32_t ColorsUsed = 0;
  uint32_t Masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool HasMasks = false;
  bool HasAlphaMask = false;
  bool Core = false;  // BITMAPCOREHEADER: 3-byte colour table entries
};

// One channel of a bit-field pixel, scaled to 8 bits.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;
  bool Set(uint32_t mask) {
    Mask = mask;
    if (!mask) return true;
    Shift = std::countr_zero(mask);
    uint32_t v = mask >> Shift;
    if ((v & (v + 1)) != 0) return false;  // the bits must be contiguous
    Max = v;
    return true;
  }
  uint32_t Get(uint32_t px) const {
    if (!Mask) return 0;
    return static_cast<uint32_t>((uint64_t((px & Mask) >> Shift) * 510 / Max + 1) / 2);
  }
};

bool ParseHeader(const uint8_t* p, size_t size, TDibHeader& h, std::string* error) {
  if (size < 12) return Fail(error, "Truncated bitmap header");
  h.HeaderSize = U32(p);
  if (h.HeaderSize == 12) {
    h.Core = true;
    h.Width = U16(p + 4);
    h.Height = U16(p + 6);
    if (U16(p + 8) != 1) return Fail(error, "Invalid bitmap header");
    h.Bits = U16(p + 10);
    return true;
  }
  if (h.HeaderSize < 40 || h.HeaderSize > 124) return Fail(error, "Unsupported bitmap header");
  if (size < h.HeaderSize) return Fail(error, "Truncated bitmap header");
  h.Width = I32(p + 4);
  h.Height = I32(p + 8);
  h.Bits = U16(p + 14);
  h.Compression = U32(p + 16);
  h.ImageSize = U32(p + 20);
  h.XPelsPerMeter = I32(p + 24);
  h.YPelsPerMeter = I32(p + 28);
  h.ColorsUsed = U32(p + 32);
  if (h.HeaderSize >= 52) {
    for (int i = 0; i < 3; ++i) h.Masks[i] = U32(p + 40 + 4 * i);
    h.HasMasks = true;
  }
  if (h.HeaderSize >= 56) {
    h.Masks[3] = U32(p + 52);
    h.HasAlphaMask = true;
  }
  return true;
}

bool ValidBits(int bits, uint32_t compression) {
  switch (compression) {
    case kBiRgb: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kBiRle8: return bits == 8;
    case kBiRle4: return bits == 4;
    case kBiBitfields:
    case kBiAlphaBitfields: return bits == 16 || bits == 32;
    default: return false;
  }
}

// Decodes the run-length encoded pixels into indices, bottom row first.
// Pixels a delta or an early end skips keep index 0.
bool DecodeRle(const uint8_t* p, size_t size, int width, int height, bool four, std::vector<uint8_t>& idx,
               std::string* error) {
  idx.assign(size_t(width) * height, 0);
  size_t i = 0;
  int x = 0, y = 0;
  auto put = [&](uint8_t v) {
    if (x < width && y < height) idx[size_t(y) * width + x] = v;
    ++x;
  };
  while (true) {
    if (i + 2 > size) return Fail(error, "Truncated bitmap data");
    uint8_t count = p[i], value = p[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k) put(four ? ((k & 1) ? value & 0x0F : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // delta
      if (i + 2 > size) return Fail(error, "Truncated bitmap data");
      x += p[i];
      y += p[i + 1];
      i += 2;
    } else {  // absolute run of `value` pixels, padded to 16 bits
      size_t bytes = four ? (value + 1) / 2 : value;
      if (i + bytes > size) return Fail(error, "Truncated bitmap data");
      for (int k = 0; k < value; ++k) put(four ? ((k & 1) ? p[i + k / 2] & 0x0F : p[i + k / 2] >> 4) : p[i + k]);
      i += (bytes + 1) & ~size_t(1);
    }
    if (y >= height) return true;
  }
}

// Decodes a DIB whose header starts at `p`. `pixelOffset` is where the
// pixels start relative to `p` (0: right after the colour table). An icon
// image has twice its height in the header and an AND mask after the
// colour pixels.
bool DecodeDibAt(const uint8_t* p, size_t size, size_t pixelOffset, bool icon, TDecodedImage& out,
                 std::string* error) {
  TDibHeader h;
  if (!ParseHeader(p, size, h, error)) return false;
  if (h.Compression == kBiPng || h.Compression == kBiJpeg) {
    size_t at = pixelOffset ? pixelOffset : h.HeaderSize;
    if (at > size) return Fail(error, "Truncated bitmap data");
    size_t n = h.ImageSize ? std::min<size_t>(h.ImageSize, size - at) : size - at;
    bool ok = h.Compression == kBiPng ? DecodePng(p + at, n, out, error) : DecodeJpeg(p + at, n, out, error);
    if (ok) out.Format = iffBmp;
    return ok;
  }
  if (!ValidBits(h.Bits, h.Compression)) return Fail(error, "Unsupported bitmap format");
  bool topDown = h.Height < 0;
  int64_t height = topDown ? -h.Height : h.Height;
  if (icon) height /= 2;
  if (topDown && (h.Compression == kBiRle4 || h.Compression == kBiRle8 || icon))
    return Fail(error, "Invalid bitmap header");
  if (!SizeAllowed(h.Width, height)) return Fail(error, "Invalid bitmap size");
  const int width = static_cast<int>(h.Width), rows = static_cast<int>(height);

  // Bit-field masks follow a 40-byte header.
  size_t at = h.HeaderSize;
  if ((h.Compression == kBiBitfields || h.Compression == kBiAlphaBitfields) && !h.HasMasks) {
    int n = h.Compression == kBiAlphaBitfields ? 4 : 3;
    if (size < at + 4 * n) return Fail(error, "Truncated bitmap header");
    for (int i = 0; i < n; ++i) h.Masks[i] = U32(p + at + 4 * i);
    h.HasAlphaMask = n == 4;
    at += 4 * n;
  }

  // The colour table.
  std::vector<uint32_t> palette;
  int entry = h.Core ? 3 : 4;
  if (h.Bits <= 8) {
    size_t n = h.ColorsUsed && h.ColorsUsed < (1u << h.Bits) ? h.ColorsUsed : (1u << h.Bits);
    if (at + n * entry > size) return Fail(error, "Truncated colour table");
    for (size_t i = 0; i < n; ++i) {
      const uint8_t* c = p + at + i * entry;
      palette.push_back(0xFF000000u | (uint32_t(c[2]) << 16) | (uint32_t(c[1]) << 8) | c[0]);
    }
    at += n * entry;
  } else if (h.ColorsUsed && h.ColorsUsed <= 256 && !h.Core) {
    at += size_t(h.ColorsUsed) * 4;  // an optimisation table that true colour ignores
  }
  if (pixelOffset) at = pixelOffset;
  if (at > size) return Fail(error, "Truncated bitmap data");
  const bool runLength = h.Compression == kBiRle4 || h.Compression == kBiRle8;
  const size_t runBytes = h.ImageSize ? std::min<size_t>(h.ImageSize, size - at) : size - at;
  if (runLength && !rtl::BitmapRunsPlausible(int64_t(width) * rows, runBytes))
    return Fail(error, "Invalid bitmap size");

  const size_t stride = ((size_t(width) * h.Bits + 31) / 32) * 4;
  // Uncompressed rows must all be there; checked before the raster is taken.
  if (!runLength && stride * rows > size - at) return Fail(error, "Truncated bitmap data");
  out = TDecodedImage();
  out.Format = iffBmp;
  out.Width = width;
  out.Height = rows;
  out.BitsPerPixel = h.Bits;
  out.DpiX = h.XPelsPerMeter > 0 ? std::round(h.XPelsPerMeter * 0.0254) : 96;
  out.DpiY = h.YPelsPerMeter > 0 ? std::round(h.YPelsPerMeter * 0.0254) : 96;
  out.Pixels.assign(size_t(width) * rows, 0);
  auto pix = [&](int x, int fileRow) -> uint32_t& {
    int y = topDown ? fileRow : rows - 1 - fileRow;
    return out.Pixels[size_t(y) * width + x];
  };
  auto paletteColour = [&](uint32_t i) { return i < palette.size() ? palette[i] : 0xFF000000u; };

  size_t end = at;  // where the colour pixels end
  if (runLength) {
    std::vector<uint8_t> idx;
    if (!DecodeRle(p + at, runBytes, width, rows, h.Compression == kBiRle4, idx, error)) return false;
    for (int r = 0; r < rows; ++r)
      for (int x = 0; x < width; ++x) pix(x, r) = paletteColour(idx[size_t(r) * width + x]);
    end = size;
  } else {
    TChannel ch[4];
    if (h.Bits == 16 || h.Bits == 32) {
      bool bitfields = h.Compression == kBiBitfields || h.Compression == kBiAlphaBitfields;
      uint32_t def16[3] = {0x7C00, 0x03E0, 0x001F}, def32[3] = {0xFF0000, 0xFF00, 0xFF};
      for (int i = 0; i < 3; ++i)
        if (!ch[i].Set(bitfields ? h.Masks[i] : (h.Bits == 16 ? def16[i] : def32[i])))
          return Fail(error, "Invalid bitmap colour masks");
      if (bitfields && h.HasAlphaMask && !ch[3].Set(h.Masks[3])) return Fail(error, "Invalid bitmap colour masks");
    }
    bool anyAlpha = false;
    for (int r = 0; r < rows; ++r) {
      const uint8_t* row = p + at + stride * r;
      for (int x = 0; x < width; ++x) {
        uint32_t v;
        switch (h.Bits) {
          case 1: v = paletteColour((row[x >> 3] >> (7 - (x & 7))) & 1); break;
          case 4: v = paletteColour((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F); break;
          case 8: v = paletteColour(row[x]); break;
          case 24: v = 0xFF000000u | (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
            break;
          default: {
            uint32_t px = h.Bits == 16 ? U16(row + 2 * x) : U32(row + 4 * x);
            uint32_t a = ch[3].Mask ? ch[3].Get(px) : 255;
            if (h.Bits == 32 && !ch[3].Mask && h.Compression == kBiRgb) {
              a = px >> 24;  // the fourth byte carries alpha when any pixel sets it
              anyAlpha |= a != 0;
            }
            v = (a << 24) | (ch[0].Get(px) << 16) | (ch[1].Get(px) << 8) | ch[2].Get(px);
          }
        }
        pix(x, r) = v;
      }
    }
    if (h.Bits == 32 && h.Compression == kBiRgb) {
      if (anyAlpha)
        out.HasAlpha = true;
      else
        for (uint32_t& v : out.Pixels) v |= 0xFF000000u;
    } else if (ch[3].Mask) {
      out.HasAlpha = true;
    }
    end = at + stride * rows;
  }

  if (icon) {
    // Pixels set in the AND mask are transparent. A 32-bit image with an
    // alpha channel uses that instead; a missing mask means opaque.
    const size_t maskStride = ((size_t(width) + 31) / 32) * 4;
    bool alphaUsed = h.Bits == 32 && out.HasAlpha;
    if (!alphaUsed && end <= size && maskStride * rows <= size - end) {
      for (int r = 0; r < rows; ++r) {
        const uint8_t* row = p + end + maskStride * r;
        for (int x = 0; x < width; ++x)
          if ((row[x >> 3] >> (7 - (x & 7))) & 1) pix(x, r) = 0;
      }
    }
    out.HasAlpha = true;
  }
  for (uint32_t c : palette) out.Palette.push_back(c);
  return true;
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, TDecodedImage& out, std::string* error) {
  if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') return Fail(error, "Truncated bitmap file");
  uint32_t offBits = U32(data + 10);
  if (offBits != 0 && (offBits < 14 + 12 || offBits > size)) return Fail(error, "Invalid bitmap file header");
  return DecodeDibAt(data + 14, size - 14, offBits ? offBits - 14 : 0, false, out, error);
}

bool DecodeDib(const uint8_t* data, size_t size, TDecodedImage& out, std::string* error) {
  return DecodeDibAt(data, size, 0, false, out, error);
}

bool DecodeIconFile(const uint8_t* data, size_t size, int entry, TDecodedImage& out, std::string* error) {
  if (size < 6) return Fail(error, "Truncated icon file");
  bool cursor = U16(data + 2) == 2;
  int count = U16(data + 4);
  if (count == 0 || size < 6 + size_t(count) * 16) return Fail(error, "Truncated icon file");
  struct TEntry {
    int Width, Height, Bits;
    int HotX, HotY;
    size_t Offset, Size;
  };
  std::vector<TEntry> entries;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = data + 6 + 16 * i;
    TEntry t{e[0] ? e[0] : 256, e[1] ? e[1] : 256, 0, U16(e + 4), U16(e + 6), U32(e + 12), U32(e + 8)};
    if (t.Offset > size || t.Size > size - t.Offset || t.Size < 12) return Fail(error, "Truncated icon file");
    const uint8_t* img = data + t.Offset;
    if (t.Size >= 8 && img[0] == 0x89 && img[1] == 'P')
      t.Bits = 32;
    else if (t.Size >= 40 && U32(img) >= 40)
      t.Bits = U16(img + 14);
    else
      t.Bits = cursor ? 1 : U16(e + 6);
    entries.push_back(t);
  }
  int pick = entry;
  if (pick < 0) {
    pick = 0;
    for (int i = 1; i < count; ++i) {
      const TEntry &a = entries[i], &b = entries[pick];
      if (a.Width * a.Height > b.Width * b.Height || (a.Width * a.Height == b.Width * b.Height && a.Bits > b.Bits))
        pick = i;
    }
  }
  if (pick >= count) return Fail(error, "No such image in the icon file");
  const TEntry& t = entries[pick];
  const uint8_t* img = data + t.Offset;
  bool ok = img[0] == 0x89 && img[1] == 'P' ? DecodePng(img, t.Size, out, error)
                                              : DecodeDibAt(img, t.Size, 0, true, out, error);
  if (!ok) return false;
  out.Format = cursor ? iffCursor : iffIcon;
  out.HasAlpha = true;
  out.FrameCount = count;
  if (cursor) {
    out.HotSpotX = t.HotX;
    out.HotSpotY = t.HotY;
  }
  return true;
}

bool EncodeBmp(const uint32_t* pixels, int width, int height, int stride, const TEncodeOptions& options,
               std::string& out) {
  const int bits = options.Alpha ? 32 : 24;
  const size_t rowBytes = ((size_t(width) * bits + 31) / 32) * 4;
  const size_t imageSize = rowBytes * height;
  const uint32_t offBits = 14 + 40;
  out.clear();
  out.reserve(offBits + imageSize);
  out += "BM";
  PutU32(out, static_cast<uint32_t>(offBits + imageSize));
  PutU32(out, 0);
  PutU32(out, offBits);
  PutU32(out, 40);
  PutU32(out, static_cast<uint32_t>(width));
  PutU32(out, static_cast<uint32_t>(height));  // bottom-up
  PutU16(out, 1);
  PutU16(out, static_cast<uint16_t>(bits));
  PutU32(out, kBiRgb);
  PutU32(out, static_cast<uint32_t>(imageSize));
  PutU32(out, static_cast<uint32_t>(std::lround(options.DpiX / 0.0254)));
  PutU32(out, static_cast<uint32_t>(std::lround(options.DpiY / 0.0254)));
  PutU32(out, 0);
  PutU32(out, 0);
  std::string row(rowBytes, '\0');
  for (int y = height - 1; y >= 0; --y) {
    const uint32_t* src = Row(pixels, stride, y);
    if (bits == 32) {
      std::memcpy(row.data(), src, size_t(width) * 4);
    } else {
      for (int x = 0; x < width; ++x) {
        row[3 * x] = static_cast<char>(src[x] & 0xFF);
        row[3 * x + 1] = static_cast<char>((src[x] >> 8) & 0xFF);
        row[3 * x + 2] = static_cast<char>((src[x] >> 16) & 0xFF);
      }
    }
    out += row;
  }
  return true;
}

}  // namespace rtl::backend::detail
