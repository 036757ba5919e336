// Bitmaps: made from memory, GDI bitmaps and icons; their pixels locked,
// read and written; cloned, rotated and flipped.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/backend/codecs.h"
#include "platform/win/gdi/gdi_objects.h"
#include "platform/win/gdiplus/gdiplus_internal.h"

using namespace rtl::detail;

namespace {

TGpBitmap* Clone(const TGpBitmap& src) {
  auto* b = new TGpBitmap;
  AllocatePixels(*b, src.Width, src.Height, src.Format);
  b->Palette = src.Palette;
  b->PaletteFlags = src.PaletteFlags;
  ConvertRows(src.Scan0, src.Stride, src.Format, src.Palette, b->Scan0, b->Stride, b->Format, b->Palette, src.Width,
              src.Height);
  b->RawFormat = src.RawFormat;
  b->DpiX = src.DpiX;
  b->DpiY = src.DpiY;
  b->Flags = src.Flags;
  b->Source = src.Source;
  b->FrameCount = src.FrameCount;
  b->Frame = src.Frame;
  return b;
}

GpStatus CheckRect(const TGpBitmap& b, INT x, INT y, INT w, INT h) {
  if (w <= 0 || h <= 0 || x < 0 || y < 0 || x > b.Width - w || y > b.Height - h) return InvalidParameter;
  return Ok;
}

// Makes `view` the caller's rows of a lock on `b`, in the lock's format.
void ViewRows(TGpBitmap& view, const TGpBitmap& b, INT width, INT height, PixelFormat format, INT stride,
              BYTE* scan0) {
  view.Width = width;
  view.Height = height;
  view.Format = format;
  view.Stride = stride;
  view.Scan0 = scan0;
  view.Palette = IsIndexedPixelFormat(format) ? b.Palette : std::vector<ARGB>();
}

}  // namespace

// ---- Creation -----------------------------------------------------------------

GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                   GpBitmap** bitmap) {
  if (!bitmap || width <= 0 || height <= 0 || !SupportedFormat(format)) return InvalidParameter;
  auto* b = new TGpBitmap;
  if (scan0) {
    int64_t minStride = (int64_t(width) * GetPixelFormatSize(format) + 7) / 8;
    if (std::abs(int64_t(stride)) < minStride || stride % 4 != 0) {
      delete b;
      return InvalidParameter;
    }
    b->Width = width;
    b->Height = height;
    b->Format = format;
    b->Stride = stride;
    b->Scan0 = scan0;
    if (IsIndexedPixelFormat(format)) {
      TGpBitmap defaults;
      AllocatePixels(defaults, 1, 1, format);
      b->Palette = defaults.Palette;
    }
  } else if (!AllocatePixels(*b, width, height, format)) {
    delete b;
    return OutOfMemory;
  }
  if (IsAlphaPixelFormat(format)) b->Flags |= ImageFlagsHasAlpha;
  *bitmap = b;
  return Ok;
}

GpStatus GdipCreateBitmapFromGraphics(INT width, INT height, GpGraphics* target, GpBitmap** bitmap) {
  if (!target) return InvalidParameter;
  GpStatus s = GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppPARGB, nullptr, bitmap);
  if (s == Ok) GdipBitmapSetResolution(*bitmap, target->DpiX, target->DpiY);
  return s;
}

GpStatus GdipCreateBitmapFromGdiDib(const BITMAPINFO* gdiBitmapInfo, void* gdiBitmapData, GpBitmap** bitmap) {
  if (!gdiBitmapInfo || !gdiBitmapData || !bitmap) return InvalidParameter;
  const BITMAPINFOHEADER& h = gdiBitmapInfo->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biBitCount == 0 ||
      h.biBitCount > 32)
    return InvalidParameter;
  // Header, colour table and pixels in one block, as a packed DIB.
  size_t colours = h.biBitCount <= 8 ? (h.biClrUsed ? h.biClrUsed : (1u << h.biBitCount)) : 0;
  size_t masks = h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
  size_t rows = static_cast<size_t>(std::abs(int64_t(h.biHeight)));
  size_t image = ((size_t(h.biWidth) * h.biBitCount + 31) / 32) * 4 * rows;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS && h.biSizeImage) image = h.biSizeImage;
  std::vector<uint8_t> packed(h.biSize + masks + colours * 4);
  std::memcpy(packed.data(), gdiBitmapInfo, packed.size());
  const auto* data = static_cast<const uint8_t*>(gdiBitmapData);
  packed.insert(packed.end(), data, data + image);
  rtl::backend::TDecodedImage img;
  if (!rtl::backend::DecodePackedDib(packed.data(), packed.size(), img)) return InvalidParameter;
  TGpBitmap* b = NewBitmapFromPixels(img.Width, img.Height, img.Pixels.data(),
                                     h.biBitCount == 32 ? PixelFormat32bppRGB : PixelFormat24bppRGB);
  if (!b) return OutOfMemory;
  *bitmap = b;
  return Ok;
}

GpStatus GdipCreateBitmapFromHBITMAP(HBITMAP hbm, HPALETTE, GpBitmap** bitmap) {
  if (!bitmap) return InvalidParameter;
  INT w, h;
  int bits;
  std::vector<uint32_t> px;
  if (!GdiReadDib32(hbm, w, h, bits, px)) return InvalidParameter;
  // GDI's fourth byte is not alpha.
  TGpBitmap* b = NewBitmapFromPixels(w, h, px.data(), bits == 32 ? PixelFormat32bppRGB : PixelFormat24bppRGB);
  if (!b) return OutOfMemory;
  *bitmap = b;
  return Ok;
}

GpStatus GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbmReturn, ARGB background) {
  TGpBitmap* b = BitmapImpl(bitmap);
  if (!b || !hbmReturn) return InvalidParameter;
  uint32_t* bits = nullptr;
  HBITMAP h = GdiCreateDib32(b->Width, b->Height, &bits);
  if (!h) return OutOfMemory;
  // Premultiplied pixels over the premultiplied background: with a
  // transparent background the alpha channel is kept.
  uint32_t ba = background >> 24;
  auto premul = [](uint32_t c, uint32_t a) { return (c * a + 127) / 255; };
  for (INT y = 0; y < b->Height; ++y)
    for (INT x = 0; x < b->Width; ++x) {
      ARGB c = ReadPixel(*b, x, y);
      uint32_t a = c >> 24, out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        uint32_t v = premul((c >> shift) & 0xFF, a) + premul(premul((background >> shift) & 0xFF, ba), 255 - a);
        out |= std::min(v, 255u) << shift;
      }
      out |= std::min(255u, a + premul(ba, 255 - a)) << 24;
      bits[size_t(y) * b->Width + x] = out;
    }
  *hbmReturn = h;
  return Ok;
}

GpStatus GdipCreateBitmapFromHICON(HICON hicon, GpBitmap** bitmap) {
  if (!bitmap) return InvalidParameter;
  ICONINFO info{};
  if (!GetIconInfo(hicon, &info)) return InvalidParameter;
  INT w = 0, h = 0;
  int bits = 0;
  std::vector<uint32_t> colour, mask;
  bool ok = true;
  if (info.hbmColor) {
    ok = GdiReadDib32(info.hbmColor, w, h, bits, colour);
    INT mw, mh;
    int mb;
    if (ok && info.hbmMask) ok = GdiReadDib32(info.hbmMask, mw, mh, mb, mask) && mw == w && mh >= h;
  } else if (info.hbmMask) {
    // A monochrome icon: the AND mask over the XOR mask, one above the other.
    ok = GdiReadDib32(info.hbmMask, w, h, bits, mask) && h % 2 == 0;
    h /= 2;
    if (ok) colour.assign(mask.begin() + ptrdiff_t(w) * h, mask.end());
  } else {
    ok = false;
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (!ok) return InvalidParameter;
  bool alpha = bits == 32 && std::any_of(colour.begin(), colour.end(), [](uint32_t p) { return (p >> 24) != 0; });
  for (size_t i = 0; i < colour.size(); ++i) {
    if (alpha) continue;
    bool clear = !mask.empty() && (mask[i] & 0xFFFFFF) != 0;
    colour[i] = clear ? 0 : (colour[i] | 0xFF000000u);
  }
  TGpBitmap* b = NewBitmapFromPixels(w, h, colour.data(), PixelFormat32bppARGB);
  if (!b) return OutOfMemory;
  b->Flags |= ImageFlagsHasAlpha;
  *bitmap = b;
  return Ok;
}

GpStatus GdipCreateHICONFromBitmap(GpBitmap* bitmap, HICON* hbmReturn) {
  TGpBitmap* b = BitmapImpl(bitmap);
  if (!b || !hbmReturn) return InvalidParameter;
  uint32_t* bits = nullptr;
  HBITMAP colour = GdiCreateDib32(b->Width, b->Height, &bits);
  if (!colour) return OutOfMemory;
  const int maskStride = ((b->Width + 15) / 16) * 2;
  std::vector<BYTE> maskBits(size_t(maskStride) * b->Height, 0);
  for (INT y = 0; y < b->Height; ++y)
    for (INT x = 0; x < b->Width; ++x) {
      ARGB c = ReadPixel(*b, x, y);
      bits[size_t(y) * b->Width + x] = c;
      if ((c >> 24) == 0) maskBits[size_t(y) * maskStride + x / 8] |= BYTE(0x80 >> (x % 8));
    }
  HBITMAP mask = CreateBitmap(b->Width, b->Height, 1, 1, maskBits.data());
  ICONINFO info{TRUE, 0, 0, mask, colour};
  *hbmReturn = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colour);
  return *hbmReturn ? Ok : OutOfMemory;
}

GpStatus GdipCloneImage(GpImage* image, GpImage** cloneImage) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !cloneImage) return InvalidParameter;
  if (b->Locked) return WrongState;
  *cloneImage = Clone(*b);
  return Ok;
}

GpStatus GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format, GpBitmap* srcBitmap,
                              GpBitmap** dstBitmap) {
  TGpBitmap* src = BitmapImpl(srcBitmap);
  if (!src || !dstBitmap || CheckRect(*src, x, y, width, height) != Ok) return InvalidParameter;
  if (format == PixelFormatDontCare) format = src->Format;
  if (!SupportedFormat(format)) return InvalidParameter;
  auto* b = new TGpBitmap;
  AllocatePixels(*b, width, height, format);
  if (format == src->Format && IsIndexedPixelFormat(format)) b->Palette = src->Palette;
  for (INT r = 0; r < height; ++r)
    for (INT c = 0; c < width; ++c) WritePixel(*b, c, r, ReadPixel(*src, x + c, y + r));
  b->DpiX = src->DpiX;
  b->DpiY = src->DpiY;
  if (IsAlphaPixelFormat(format)) b->Flags |= ImageFlagsHasAlpha;
  *dstBitmap = b;
  return Ok;
}

GpStatus GdipCloneBitmapArea(REAL x, REAL y, REAL width, REAL height, PixelFormat format, GpBitmap* srcBitmap,
                             GpBitmap** dstBitmap) {
  return GdipCloneBitmapAreaI(INT(std::lround(x)), INT(std::lround(y)), INT(std::lround(width)),
                              INT(std::lround(height)), format, srcBitmap, dstBitmap);
}

GpStatus GdipDisposeImage(GpImage* image) {
  if (!image) return InvalidParameter;
  delete image;
  return Ok;
}

// ---- Properties of the image ---------------------------------------------------

GpStatus GdipGetImageBounds(GpImage* image, GpRectF* srcRect, GpUnit* srcUnit) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !srcRect || !srcUnit) return InvalidParameter;
  *srcRect = GpRectF{0, 0, REAL(b->Width), REAL(b->Height)};
  *srcUnit = UnitPixel;
  return Ok;
}

GpStatus GdipGetImageDimension(GpImage* image, REAL* width, REAL* height) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !width || !height) return InvalidParameter;
  *width = REAL(b->Width);
  *height = REAL(b->Height);
  return Ok;
}

GpStatus GdipGetImageType(GpImage* image, ImageType* type) {
  if (!image || !type) return InvalidParameter;
  *type = BitmapImpl(image) ? ImageTypeBitmap : ImageTypeUnknown;
  return Ok;
}

GpStatus GdipGetImageWidth(GpImage* image, UINT* width) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !width) return InvalidParameter;
  *width = static_cast<UINT>(b->Width);
  return Ok;
}

GpStatus GdipGetImageHeight(GpImage* image, UINT* height) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !height) return InvalidParameter;
  *height = static_cast<UINT>(b->Height);
  return Ok;
}

GpStatus GdipGetImageHorizontalResolution(GpImage* image, REAL* resolution) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !resolution) return InvalidParameter;
  *resolution = b->DpiX;
  return Ok;
}

GpStatus GdipGetImageVerticalResolution(GpImage* image, REAL* resolution) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !resolution) return InvalidParameter;
  *resolution = b->DpiY;
  return Ok;
}

GpStatus GdipBitmapSetResolution(GpBitmap* bitmap, REAL xdpi, REAL ydpi) {
  TGpBitmap* b = BitmapImpl(bitmap);
  if (!b || !(xdpi > 0) || !(ydpi > 0)) return InvalidParameter;
  b->DpiX = xdpi;
  b->DpiY = ydpi;
  return Ok;
}

GpStatus GdipGetImageFlags(GpImage* image, UINT* flags) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !flags) return InvalidParameter;
  *flags = b->Flags | ImageFlagsColorSpaceRGB;
  return Ok;
}

GpStatus GdipGetImageRawFormat(GpImage* image, GUID* format) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !format) return InvalidParameter;
  *format = b->RawFormat;
  return Ok;
}

GpStatus GdipGetImagePixelFormat(GpImage* image, PixelFormat* format) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !format) return InvalidParameter;
  *format = b->Format;
  return Ok;
}

GpStatus GdipGetImageThumbnail(GpImage* image, UINT thumbWidth, UINT thumbHeight, GpImage** thumbImage,
                               GetThumbnailImageAbort, void*) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !thumbImage) return InvalidParameter;
  INT w = thumbWidth ? INT(thumbWidth) : 120, h = thumbHeight ? INT(thumbHeight) : 120;
  GpBitmap* thumb = nullptr;
  GpStatus s = GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppPARGB, nullptr, &thumb);
  if (s != Ok) return s;
  GpGraphics* g = nullptr;
  s = GdipGetImageGraphicsContext(thumb, &g);
  if (s == Ok) {
    GdipSetInterpolationMode(g, InterpolationModeHighQualityBicubic);
    s = GdipDrawImageRectI(g, image, 0, 0, w, h);
    GdipDeleteGraphics(g);
  }
  if (s != Ok) {
    GdipDisposeImage(thumb);
    return s;
  }
  *thumbImage = thumb;
  return Ok;
}

// ---- Pixels ----------------------------------------------------------------------

GpStatus GdipBitmapLockBits(GpBitmap* bitmap, const GpRect* rect, UINT flags, PixelFormat format,
                            BitmapData* lockedBitmapData) {
  TGpBitmap* b = BitmapImpl(bitmap);
  if (!b || !lockedBitmapData || !(flags & (ImageLockModeRead | ImageLockModeWrite)) || !SupportedFormat(format))
    return InvalidParameter;
  GpRect r = rect ? *rect : GpRect{0, 0, b->Width, b->Height};
  if (CheckRect(*b, r.X, r.Y, r.Width, r.Height) != Ok) return InvalidParameter;
  if (b->Locked) return WrongState;
  const int bpp = static_cast<int>(GetPixelFormatSize(format));
  const bool user = flags & ImageLockModeUserInputBuf;
  // In place when the format matches and the rectangle starts on a byte.
  bool inPlace = !user && format == b->Format && (int64_t(r.X) * bpp) % 8 == 0;
  BYTE* scan0;
  INT stride;
  if (inPlace) {
    scan0 = b->Row(r.Y) + ptrdiff_t(r.X) * bpp / 8;
    stride = b->Stride;
  } else if (user) {
    if (!lockedBitmapData->Scan0 || std::abs(int64_t(lockedBitmapData->Stride)) < (int64_t(r.Width) * bpp + 7) / 8)
      return InvalidParameter;
    scan0 = static_cast<BYTE*>(lockedBitmapData->Scan0);
    stride = lockedBitmapData->Stride;
  } else {
    stride = static_cast<INT>(((int64_t(r.Width) * bpp + 31) / 32) * 4);
    b->LockBuffer.assign(size_t(stride) * r.Height, 0);
    scan0 = b->LockBuffer.data();
  }
  if (!inPlace && (flags & ImageLockModeRead)) {
    // Whole rows of the source from the rectangle's left edge.
    TGpBitmap view;
    ViewRows(view, *b, r.Width, r.Height, format, stride, scan0);
    for (INT y = 0; y < r.Height; ++y)
      for (INT x = 0; x < r.Width; ++x) WritePixel(view, x, y, ReadPixel(*b, r.X + x, r.Y + y));
  }
  b->Locked = true;
  b->LockRect = r;
  b->LockFlags = flags;
  b->LockFormat = format;
  b->LockInPlace = inPlace;
  lockedBitmapData->Width = static_cast<UINT>(r.Width);
  lockedBitmapData->Height = static_cast<UINT>(r.Height);
  lockedBitmapData->Stride = stride;
  lockedBitmapData->PixelFormat = format;
  lockedBitmapData->Scan0 = scan0;
  lockedBitmapData->Reserved = reinterpret_cast<UINT_PTR>(b);
  return Ok;
}

GpStatus GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedBitmapData) {
  TGpBitmap* b = BitmapImpl(bitmap);
  if (!b || !lockedBitmapData) return InvalidParameter;
  if (!b->Locked) return WrongState;
  if (!b->LockInPlace && (b->LockFlags & ImageLockModeWrite)) {
    TGpBitmap view;
    ViewRows(view, *b, b->LockRect.Width, b->LockRect.Height, b->LockFormat, lockedBitmapData->Stride,
             static_cast<BYTE*>(lockedBitmapData->Scan0));
    for (INT y = 0; y < view.Height; ++y)
      for (INT x = 0; x < view.Width; ++x)
        WritePixel(*b, b->LockRect.X + x, b->LockRect.Y + y, ReadPixel(view, x, y));
  }
  b->Locked = false;
  b->LockBuffer.clear();
  b->LockBuffer.shrink_to_fit();
  return Ok;
}

GpStatus GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color) {
  TGpBitmap* b = BitmapImpl(bitmap);
  if (!b || !color || x < 0 || y < 0 || x >= b->Width || y >= b->Height) return InvalidParameter;
  if (b->Locked) return WrongState;
  *color = ReadPixel(*b, x, y);
  return Ok;
}

GpStatus GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color) {
  TGpBitmap* b = BitmapImpl(bitmap);
  if (!b || x < 0 || y < 0 || x >= b->Width || y >= b->Height) return InvalidParameter;
  if (b->Locked) return WrongState;
  if (IsIndexedPixelFormat(b->Format)) return InvalidParameter;
  WritePixel(*b, x, y, color);
  return Ok;
}

GpStatus GdipImageRotateFlip(GpImage* image, RotateFlipType rfType) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || rfType < RotateNoneFlipNone || rfType > Rotate270FlipX) return InvalidParameter;
  if (b->Locked) return WrongState;
  const int turns = rfType & 3;
  const bool flipX = rfType & 4;
  const INT w = b->Width, h = b->Height;
  const INT nw = (turns & 1) ? h : w, nh = (turns & 1) ? w : h;
  TGpBitmap out;
  AllocatePixels(out, nw, nh, b->Format);
  out.Palette = b->Palette;
  for (INT y = 0; y < nh; ++y)
    for (INT x = 0; x < nw; ++x) {
      // The source of (x, y): undo the flip, then the clockwise turns.
      INT fx = flipX ? nw - 1 - x : x, sx, sy;
      switch (turns) {
        case 1: sx = y, sy = h - 1 - fx; break;
        case 2: sx = w - 1 - fx, sy = h - 1 - y; break;
        case 3: sx = w - 1 - y, sy = fx; break;
        default: sx = fx, sy = y; break;
      }
      WritePixel(out, x, y, ReadPixel(*b, sx, sy));
    }
  b->Owned = std::move(out.Owned);
  b->Scan0 = b->Owned.data();
  b->Stride = out.Stride;
  b->Width = nw;
  b->Height = nh;
  if (turns & 1) std::swap(b->DpiX, b->DpiY);
  return Ok;
}

// ---- Palettes and properties -------------------------------------------------------

GpStatus GdipGetImagePaletteSize(GpImage* image, INT* size) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !size) return InvalidParameter;
  *size = static_cast<INT>(std::max(sizeof(ColorPalette), 8 + 4 * b->Palette.size()));
  return Ok;
}

GpStatus GdipGetImagePalette(GpImage* image, ColorPalette* palette, INT size) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !palette) return InvalidParameter;
  if (size < static_cast<INT>(8 + 4 * b->Palette.size())) return InvalidParameter;
  palette->Flags = b->PaletteFlags;
  palette->Count = static_cast<UINT>(b->Palette.size());
  std::copy(b->Palette.begin(), b->Palette.end(), palette->Entries);
  return Ok;
}

GpStatus GdipSetImagePalette(GpImage* image, const ColorPalette* palette) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !palette || palette->Count == 0 || palette->Count > 256) return InvalidParameter;
  b->Palette.assign(palette->Entries, palette->Entries + palette->Count);
  b->PaletteFlags = palette->Flags;
  return Ok;
}

GpStatus GdipGetPropertyCount(GpImage* image, UINT* numOfProperty) {
  if (!image || !numOfProperty) return InvalidParameter;
  *numOfProperty = 0;
  return Ok;
}

GpStatus GdipGetPropertyIdList(GpImage* image, UINT numOfProperty, PROPID* list) {
  if (!image || (numOfProperty && !list)) return InvalidParameter;
  return numOfProperty == 0 ? Ok : InvalidParameter;
}

GpStatus GdipGetPropertyItemSize(GpImage* image, PROPID, UINT* size) {
  if (!image || !size) return InvalidParameter;
  return PropertyNotFound;
}

GpStatus GdipGetPropertyItem(GpImage* image, PROPID, UINT, PropertyItem* buffer) {
  if (!image || !buffer) return InvalidParameter;
  return PropertyNotFound;
}

GpStatus GdipGetPropertySize(GpImage* image, UINT* totalBufferSize, UINT* numProperties) {
  if (!image || !totalBufferSize || !numProperties) return InvalidParameter;
  *totalBufferSize = 0;
  *numProperties = 0;
  return Ok;
}

GpStatus GdipGetAllPropertyItems(GpImage* image, UINT totalBufferSize, UINT numProperties, PropertyItem*) {
  if (!image) return InvalidParameter;
  return totalBufferSize == 0 && numProperties == 0 ? Ok : InvalidParameter;
}

GpStatus GdipRemovePropertyItem(GpImage* image, PROPID) {
  if (!image) return InvalidParameter;
  return PropertyNotFound;
}

GpStatus GdipImageForceValidation(GpImage* image) { return image ? Ok : InvalidParameter; }
