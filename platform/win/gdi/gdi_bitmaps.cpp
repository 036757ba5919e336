// Bitmaps: device-dependent bitmaps (1 or 32 bits), DIB sections in every
// depth, and the transfers between bitmaps and DIB memory.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi_objects.h"

namespace rtl::detail {

namespace {

std::unique_ptr<TGdiBitmap> NewBitmap(int w, int h, const TPixelFormat& f, bool dib, bool topDown) {
  if (w <= 0 || h <= 0) return nullptr;
  const int64_t rowBytes = f.RowBytes(w, dib || f.Bits != 1 ? 4 : 2);
  if (rowBytes > INT32_MAX || rowBytes * h > kMaxBitmapBytes) return nullptr;
  const int stride = static_cast<int>(rowBytes);
  auto b = std::make_unique<TGdiBitmap>();
  b->Width = w;
  b->Height = h;
  b->Format = f;
  b->Dib = dib;
  b->TopDown = topDown;
  b->Stride = stride;
  b->Storage = GdiAllocBits(size_t(stride) * size_t(h));
  if (!b->Storage) return nullptr;
  b->Bits = b->Storage.get();
  return b;
}

HBITMAP AddBitmap(std::unique_ptr<TGdiBitmap> b) {
  if (!b) {
    SetLastError(8);
    return nullptr;
  }
  return static_cast<HBITMAP>(GdiAdd(std::unique_ptr<TGdiObject>(b.release())));
}

// The format of a device-dependent bitmap's memory of the given depth.
TPixelFormat DdbFormat(int bits) {
  TPixelFormat f;
  f.Bits = bits;
  if (bits <= 8) f.Palette = DefaultPalette(bits);
  if (bits == 16) {
    f.Masks[0] = 0x7C00;
    f.Masks[1] = 0x03E0;
    f.Masks[2] = 0x001F;
  }
  return f;
}

// Copies every row of `from` into `to`, converting (same size).
void CopyPixels(const TGdiBitmap* from, TGdiBitmap* to) {
  std::vector<uint32_t> row(static_cast<size_t>(from->Width));
  for (int y = 0; y < from->Height && y < to->Height; ++y) {
    DecodeRow(from->Format, from->Row(y), 0, from->Width, row.data());
    EncodeRow(to->Format, row.data(), std::min(from->Width, to->Width), to->Row(y), 0);
  }
}

// The colour table stored in BITMAPINFO after the header.
void WriteColorTable(BITMAPINFO* info, const std::vector<uint32_t>& palette) {
  auto* q = reinterpret_cast<uint8_t*>(info) + info->bmiHeader.biSize;
  for (uint32_t c : palette) {
    RGBQUAD rq{BYTE(c), BYTE(c >> 8), BYTE(c >> 16), 0};
    std::memcpy(q, &rq, 4);
    q += 4;
  }
}

void WriteMasks(BITMAPINFO* info, const uint32_t* masks) {
  auto* q = reinterpret_cast<uint8_t*>(info) + (info->bmiHeader.biSize >= 52 ? 40 : info->bmiHeader.biSize);
  std::memcpy(q, masks, 12);
}

}  // namespace

HBITMAP GdiCreateDib32(int width, int height, void** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
}

bool GdiReadDib32(HBITMAP bitmap, int& width, int& height, int& bits, std::vector<uint32_t>& pixels) {
  BITMAP bm{};
  if (!bitmap || GetObject(bitmap, sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0) return false;
  width = bm.bmWidth;
  height = bm.bmHeight;
  bits = bm.bmBitsPixel * bm.bmPlanes;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  pixels.assign(size_t(width) * height, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  int lines = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &bi, DIB_RGB_COLORS);
  DeleteDC(dc);
  return lines == height;
}

HBITMAP GdiCopyBitmap(HBITMAP source, int cx, int cy, UINT flags) {
  auto s = GdiBitmap(source);
  if (!s) return nullptr;
  int w = cx > 0 ? cx : s->Width, h = cy > 0 ? cy : s->Height;
  std::unique_ptr<TGdiBitmap> b;
  if (flags & LR_CREATEDIBSECTION) {
    TPixelFormat f = s->Format;
    if (f.Bits <= 8 && f.Palette.empty()) f.Palette = DefaultPalette(f.Bits);
    if (flags & LR_MONOCHROME) f = TPixelFormat::Mono();
    b = NewBitmap(w, h, f, true, s->Dib ? s->TopDown : false);
    if (b) {
      b->Header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, b->TopDown ? -h : h, 1, WORD(f.Bits),
                                   DWORD(f.Bitfields ? BI_BITFIELDS : BI_RGB), DWORD(b->Stride * h), 0, 0, 0, 0};
      if (f.Bits <= 8) b->Header.biClrUsed = DWORD(f.Palette.size());
    }
  } else {
    bool mono = (flags & LR_MONOCHROME) || s->Format.Bits == 1;
    b = NewBitmap(w, h, mono ? TPixelFormat::Mono() : TPixelFormat::Direct32(), false, true);
  }
  if (!b) return nullptr;
  if (w == s->Width && h == s->Height) {
    CopyPixels(s, b.get());
  } else {
    std::vector<uint32_t> row(static_cast<size_t>(s->Width)), out(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
      int sy = static_cast<int>((int64_t(2 * y + 1) * s->Height) / (2 * int64_t(h)));
      DecodeRow(s->Format, s->Row(sy), 0, s->Width, row.data());
      for (int x = 0; x < w; ++x)
        out[size_t(x)] = row[size_t((int64_t(2 * x + 1) * s->Width) / (2 * int64_t(w)))];
      EncodeRow(b->Format, out.data(), w, b->Row(y), 0);
    }
  }
  return AddBitmap(std::move(b));
}

}  // namespace rtl::detail

using namespace rtl::detail;

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
  if (width < 0 || height < 0 || planes == 0) return nullptr;
  UINT depth = planes * bitCount;
  if (depth == 0 || depth > 32) return nullptr;
  if (width == 0 || height == 0) return GdiDefaultBitmap();
  bool mono = depth == 1;
  auto b = NewBitmap(width, height, mono ? TPixelFormat::Mono() : TPixelFormat::Direct32(), false, true);
  if (!b) return AddBitmap(nullptr);
  if (bits) {
    int d = depth <= 1 ? 1 : depth <= 4 ? 4 : depth <= 8 ? 8 : depth <= 16 ? 16 : depth <= 24 ? 24 : 32;
    TPixelFormat f = DdbFormat(d);
    int stride = f.RowBytes(width, 2);
    const auto* src = static_cast<const uint8_t*>(bits);
    if (f.Bits == b->Format.Bits) {
      for (int y = 0; y < height; ++y) std::memcpy(b->Row(y), src + ptrdiff_t(y) * stride, size_t(b->Stride));
    } else {
      std::vector<uint32_t> row(static_cast<size_t>(width));
      for (int y = 0; y < height; ++y) {
        DecodeRow(f, src + ptrdiff_t(y) * stride, 0, width, row.data());
        EncodeRow(b->Format, row.data(), width, b->Row(y), 0);
      }
    }
  }
  return AddBitmap(std::move(b));
}

HBITMAP CreateBitmapIndirect(const BITMAP* bm) {
  if (!bm) return nullptr;
  return CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  auto dc = GdiDC(hdc);
  if (!dc || width < 0 || height < 0) return nullptr;
  if (width == 0 || height == 0) return GdiDefaultBitmap();
  // A memory DC holding a monochrome bitmap makes monochrome bitmaps.
  auto cur = dc->Kind == dckMemory ? dc->Target() : nullptr;
  bool mono = cur && cur->Format.Bits == 1 && !cur->Dib;
  return AddBitmap(NewBitmap(width, height, mono ? TPixelFormat::Mono() : TPixelFormat::Direct32(), false, true));
}

HBITMAP CreateDiscardableBitmap(HDC hdc, int width, int height) { return CreateCompatibleBitmap(hdc, width, height); }

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
  if (bits) *bits = nullptr;
  TPixelFormat f;
  std::vector<uint32_t> pal;
  if (usage == DIB_PAL_COLORS)
    if (auto dc = GdiDC(hdc)) pal = GdiPalettePixels(dc);
  if (!info || !TPixelFormat::FromInfo(info, usage, f, &pal)) {
    SetLastError(87);
    return nullptr;
  }
  const BITMAPINFOHEADER& h = info->bmiHeader;
  TDibExtent extent;
  if (!DibExtentOf(f, h.biWidth, h.biHeight, extent)) {
    SetLastError(87);
    return nullptr;
  }
  const int height = extent.Height;
  auto b = NewBitmap(extent.Width, height, f, true, extent.TopDown);
  if (!b) return AddBitmap(nullptr);
  b->Header = h;
  b->Header.biSize = sizeof(BITMAPINFOHEADER);
  b->Header.biSizeImage = DWORD(b->Stride) * DWORD(height);
  if (f.Bits <= 8 && !b->Header.biClrUsed) b->Header.biClrUsed = DWORD(1) << f.Bits;
  b->Section = section;
  b->Offset = offset;
  if (bits) *bits = b->Bits;
  return AddBitmap(std::move(b));
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage) {
  if (!header) return nullptr;
  const int64_t rows = header->biHeight < 0 ? -int64_t(header->biHeight) : int64_t(header->biHeight);
  if (rows > INT32_MAX) return nullptr;
  int w = header->biWidth, h = static_cast<int>(rows);
  HBITMAP bmp = GdiDC(hdc) ? CreateCompatibleBitmap(hdc, w, h)
                           : AddBitmap(NewBitmap(w, h, TPixelFormat::Direct32(), false, true));
  if (bmp && (init & CBM_INIT) && bits && info) SetDIBits(hdc, bmp, 0, UINT(h), bits, info, usage);
  return bmp;
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage) {
  auto b = GdiBitmap(bitmap);
  if (!b || !info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (!bits && h.biBitCount == 0) {
    // The size query: describe the bitmap.
    h.biWidth = b->Width;
    h.biHeight = b->Dib && b->TopDown ? -b->Height : b->Height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(b->Format.Bits);
    h.biCompression = b->Format.Bitfields ? BI_BITFIELDS : BI_RGB;
    h.biSizeImage = DWORD(b->Format.RowBytes(b->Width, 4)) * DWORD(b->Height);
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    if (b->Format.Bitfields) WriteMasks(info, b->Format.Masks);
    return 1;
  }
  int depth = h.biBitCount;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return 0;
  TPixelFormat f;
  f.Bits = depth;
  if (depth <= 8) {
    f.Palette = (b->Format.Bits == depth && b->Format.Palette.size() == (size_t(1) << depth))
                    ? b->Format.Palette
                    : DefaultPalette(depth);
    if (usage == DIB_RGB_COLORS) WriteColorTable(info, f.Palette);
    h.biClrUsed = 0;
  } else if (h.biCompression == BI_BITFIELDS) {
    uint32_t m[3];
    std::memcpy(m, reinterpret_cast<uint8_t*>(info) + (h.biSize >= 52 ? 40 : h.biSize), 12);
    if (!m[0] && !m[1] && !m[2]) {
      if (depth == 16) {
        m[0] = 0xF800;
        m[1] = 0x07E0;
        m[2] = 0x001F;
      } else {
        m[0] = 0xFF0000;
        m[1] = 0xFF00;
        m[2] = 0xFF;
      }
      WriteMasks(info, m);
    }
    f.Masks[0] = m[0];
    f.Masks[1] = m[1];
    f.Masks[2] = m[2];
    f.Bitfields = true;
  } else if (h.biCompression == BI_RGB) {
    if (depth == 16) {
      f.Masks[0] = 0x7C00;
      f.Masks[1] = 0x03E0;
      f.Masks[2] = 0x001F;
    }
  } else {
    return 0;
  }
  bool topDown = h.biHeight < 0;
  // Rows are as wide as the caller's header says: pixels past the bitmap
  // are 0, pixels past the row are left out.
  const int width = h.biWidth > 0 ? h.biWidth : b->Width;
  if (f.RowBytes(width, 4) * int64_t(b->Height) > kMaxBitmapBytes) return 0;
  h.biWidth = width;
  h.biHeight = topDown ? -b->Height : b->Height;
  h.biPlanes = 1;
  h.biSizeImage = DWORD(f.RowBytes(width, 4)) * DWORD(b->Height);
  if (!bits) return 1;
  if (start >= UINT(b->Height)) return 0;
  int count = static_cast<int>(std::min<UINT>(lines, UINT(b->Height) - start));
  const size_t stride = static_cast<size_t>(f.RowBytes(width, 4));
  const int n = std::min(width, b->Width);
  std::vector<uint32_t> row(static_cast<size_t>(b->Width));
  for (int i = 0; i < count; ++i) {
    // Scan lines count from the bottom of the picture in either order: a
    // top-down request for scans [start, start + count) gets those rows,
    // top row first.
    int y = topDown ? b->Height - static_cast<int>(start) - count + i : b->Height - 1 - (static_cast<int>(start) + i);
    DecodeRow(b->Format, b->Row(y), 0, n, row.data());
    auto* out = static_cast<uint8_t*>(bits) + size_t(i) * stride;
    std::memset(out, 0, stride);
    EncodeRow(f, row.data(), n, out, 0);
  }
  return count;
}

int rtl::detail::GdiSetDIBits(HBITMAP bitmap, UINT start, UINT lines, const void* bits, size_t size,
                               const BITMAPINFO* info, UINT usage, const std::vector<uint32_t>* palette) {
  auto b = GdiBitmap(bitmap);
  TPixelFormat f;
  if (!b || !bits || !TPixelFormat::FromInfo(info, usage, f, palette)) return 0;
  TDibExtent dib;
  if (!DibExtentOf(f, info->bmiHeader.biWidth, info->bmiHeader.biHeight, dib)) return 0;
  if (start >= UINT(dib.Height)) return 0;
  int count = static_cast<int>(std::min<UINT>(lines, UINT(dib.Height) - start));
  if (size / dib.Stride < size_t(count)) return 0;
  int w = std::min<int>(dib.Width, b->Width);
  std::vector<uint32_t> row(static_cast<size_t>(dib.Width));
  int done = 0;
  for (int i = 0; i < count; ++i) {
    int scan = static_cast<int>(start) + i;
    int y = dib.TopDown ? scan : dib.Height - 1 - scan;
    if (y < 0 || y >= b->Height) continue;
    DecodeRow(f, static_cast<const uint8_t*>(bits) + size_t(i) * dib.Stride, 0, w, row.data());
    EncodeRow(b->Format, row.data(), w, b->Row(y), 0);
    ++done;
  }
  return done;
}

int SetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  std::vector<uint32_t> pal;
  if (usage == DIB_PAL_COLORS)
    if (auto dc = GdiDC(hdc)) pal = GdiPalettePixels(dc);
  if (!pal.empty()) return GdiSetDIBits(bitmap, start, lines, bits, SIZE_MAX, info, usage, &pal);
  // The caller vouches for the rows: the call takes no length.
  return GdiSetDIBits(bitmap, start, lines, bits, SIZE_MAX, info, usage);
}

LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits) {
  auto b = GdiBitmap(bitmap);
  if (!b) return 0;
  LONG rowBytes = b->Dib ? b->Stride : b->Format.RowBytes(b->Width, 2);
  LONG total = rowBytes * b->Height;
  if (!bits) return total;
  LONG n = std::min(size, total);
  auto* out = static_cast<uint8_t*>(bits);
  for (int y = 0; y * rowBytes < n; ++y)
    std::memcpy(out + ptrdiff_t(y) * rowBytes, b->Row(y), size_t(std::min(rowBytes, n - y * rowBytes)));
  return n;
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits) {
  auto b = GdiBitmap(bitmap);
  if (!b || !bits) return 0;
  LONG rowBytes = b->Dib ? b->Stride : b->Format.RowBytes(b->Width, 2);
  LONG n = std::min<LONG>(LONG(size), rowBytes * b->Height);
  const auto* in = static_cast<const uint8_t*>(bits);
  for (int y = 0; y * rowBytes < n; ++y)
    std::memcpy(b->Row(y), in + ptrdiff_t(y) * rowBytes, size_t(std::min(rowBytes, n - y * rowBytes)));
  return n;
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
  auto dc = GdiDC(hdc);
  auto b = dc ? dc->Target() : nullptr;
  if (!b || !b->Dib || b->Format.Bits > 8 || !colors) return 0;
  UINT n = UINT(b->Format.Palette.size());
  if (start >= n) return 0;
  count = std::min(count, n - start);
  for (UINT i = 0; i < count; ++i) {
    uint32_t c = b->Format.Palette[start + i];
    colors[i] = RGBQUAD{BYTE(c), BYTE(c >> 8), BYTE(c >> 16), 0};
  }
  return count;
}

UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors) {
  auto dc = GdiDC(hdc);
  auto b = dc ? dc->Target() : nullptr;
  if (!b || !b->Dib || b->Format.Bits > 8 || !colors) return 0;
  UINT n = UINT(b->Format.Palette.size());
  if (start >= n) return 0;
  count = std::min(count, n - start);
  for (UINT i = 0; i < count; ++i)
    b->Format.Palette[start + i] =
        (uint32_t(colors[i].rgbRed) << 16) | (uint32_t(colors[i].rgbGreen) << 8) | colors[i].rgbBlue;
  return count;
}

BOOL GetBitmapDimensionEx(HBITMAP bitmap, LPSIZE size) {
  auto b = GdiBitmap(bitmap);
  if (!b || !size) return FALSE;
  *size = b->Dimension;
  return TRUE;
}

BOOL SetBitmapDimensionEx(HBITMAP bitmap, int width, int height, LPSIZE old) {
  auto b = GdiBitmap(bitmap);
  if (!b) return FALSE;
  if (old) *old = b->Dimension;
  b->Dimension = SIZE(width, height);
  return TRUE;
}
