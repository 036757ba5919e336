// TIFF through libtiff, reading and writing memory through client
// procedures. Errors come back through a handler per file, never printed.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include <tiffio.h>

#include "platform/backend/codecs_internal.h"

namespace rtl::backend::detail {
namespace {

// A file in memory: read-only data, or a growing string being written.
struct TMemoryFile {
  const uint8_t* Data = nullptr;
  std::string* Out = nullptr;
  uint64_t Size = 0;
  uint64_t Pos = 0;
  std::string Error;
};

tmsize_t ReadProc(thandle_t h, void* buf, tmsize_t n) {
  auto* f = static_cast<TMemoryFile*>(h);
  if (n <= 0 || f->Pos >= f->Size) return 0;
  uint64_t count = std::min<uint64_t>(static_cast<uint64_t>(n), f->Size - f->Pos);
  std::memcpy(buf, (f->Data ? f->Data : reinterpret_cast<const uint8_t*>(f->Out->data())) + f->Pos, count);
  f->Pos += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t WriteProc(thandle_t h, void* buf, tmsize_t n) {
  auto* f = static_cast<TMemoryFile*>(h);
  if (!f->Out || n < 0) return -1;
  uint64_t end = f->Pos + static_cast<uint64_t>(n);
  if (end > f->Out->size()) f->Out->resize(end);
  std::memcpy(f->Out->data() + f->Pos, buf, static_cast<size_t>(n));
  f->Pos = end;
  f->Size = f->Out->size();
  return n;
}

toff_t SeekProc(thandle_t h, toff_t off, int whence) {
  auto* f = static_cast<TMemoryFile*>(h);
  int64_t base = whence == SEEK_CUR ? static_cast<int64_t>(f->Pos) : (whence == SEEK_END ? f->Size : 0);
  int64_t pos = base + static_cast<int64_t>(off);
  if (pos < 0) return static_cast<toff_t>(-1);
  f->Pos = static_cast<uint64_t>(pos);
  return f->Pos;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return static_cast<TMemoryFile*>(h)->Size; }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

int ErrorProc(TIFF*, void* user, const char*, const char* fmt, va_list ap) {
  auto* f = static_cast<TMemoryFile*>(user);
  if (f->Error.empty()) {
    char buf[256];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    f->Error = buf;
  }
  return 1;
}

int WarningProc(TIFF*, void*, const char*, const char*, va_list) { return 1; }

TIFF* Open(TMemoryFile& f, const char* mode) {
  TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(opts, ErrorProc, &f);
  TIFFOpenOptionsSetWarningHandlerExtR(opts, WarningProc, &f);
  TIFFOpenOptionsSetMaxSingleMemAlloc(opts, static_cast<tmsize_t>(rtl::kMaxImagePixels * 4));
  TIFF* tif = TIFFClientOpenExt("memory", mode, &f, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                                UnmapProc, opts);
  TIFFOpenOptionsFree(opts);
  return tif;
}

bool Failed(TMemoryFile& f, std::string* error, const char* what) {
  if (error) *error = f.Error.empty() ? std::string(what) : std::string(what) + ": " + f.Error;
  return false;
}

// Pictures of 8-bit RGB or RGBA samples stored in strips: read as they are,
// so that unassociated alpha comes back exactly.
bool ReadPlainRgb(TIFF* tif, int w, int h, TDecodedImage& out) {
  uint16_t bps = 0, spp = 0, photometric = 0, planar = PLANARCONFIG_CONTIG, orientation = ORIENTATION_TOPLEFT;
  uint16_t extraCount = 0;
  uint16_t* extra = nullptr;
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
  TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) return false;
  if (TIFFIsTiled(tif) || bps != 8 || photometric != PHOTOMETRIC_RGB || planar != PLANARCONFIG_CONTIG ||
      orientation != ORIENTATION_TOPLEFT)
    return false;
  bool alpha = spp == 4 && extraCount == 1 && extra && extra[0] == EXTRASAMPLE_UNASSALPHA;
  if (!(spp == 3 && extraCount == 0) && !alpha) return false;
  if (TIFFScanlineSize64(tif) < static_cast<uint64_t>(w) * spp) return false;
  std::vector<uint8_t> line(static_cast<size_t>(TIFFScanlineSize64(tif)));
  out.Pixels.resize(size_t(w) * h);
  for (int y = 0; y < h; ++y) {
    if (TIFFReadScanline(tif, line.data(), static_cast<uint32_t>(y), 0) < 0) return false;
    uint32_t* dst = out.Pixels.data() + size_t(y) * w;
    for (int x = 0; x < w; ++x) {
      const uint8_t* s = line.data() + size_t(x) * spp;
      uint32_t a = alpha ? s[3] : 255u;
      dst[x] = (a << 24) | (uint32_t(s[0]) << 16) | (uint32_t(s[1]) << 8) | s[2];
    }
  }
  out.HasAlpha = alpha;
  out.BitsPerPixel = 8 * spp;
  return true;
}

// Strips that decode to thousands of times their stored size are damage
// (the schemes below cannot compress further), and filling such a raster
// with nothing costs seconds; other schemes (fax, JPEG...) are left to the
// size limit alone.
bool DataPlausible(TIFF* tif, size_t fileSize) {
  uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_LZW:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ADOBE_DEFLATE: break;
    default: return true;
  }
  const bool tiled = TIFFIsTiled(tif);
  const uint32_t count = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
  const uint64_t each = tiled ? TIFFTileSize64(tif) : TIFFStripSize64(tif);
  uint64_t stored = 0;
  for (uint32_t i = 0; i < count && stored < fileSize; ++i) stored += TIFFGetStrileByteCount(tif, i);
  stored = std::min<uint64_t>(stored, fileSize);
  // Saturate rather than wrap: a lying strip size must not look small.
  const uint64_t decoded = count != 0 && each > UINT64_MAX / count ? UINT64_MAX : each * count;
  return decoded <= uint64_t(INT64_MAX) && rtl::RunLengthSizePlausible(int64_t(decoded), size_t(stored));
}

// Anything else through libtiff's RGBA reader, which premultiplies alpha.
bool ReadRgba(TIFF* tif, int w, int h, TDecodedImage& out) {
  std::vector<uint32_t> raster(size_t(w) * h);
  if (!TIFFReadRGBAImageOriented(tif, static_cast<uint32_t>(w), static_cast<uint32_t>(h), raster.data(),
                                 ORIENTATION_TOPLEFT, 1))
    return false;
  uint16_t spp = 0, bps = 0, extraCount = 0;
  uint16_t* extra = nullptr;
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
  TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
  out.HasAlpha = extraCount > 0;
  out.BitsPerPixel = spp * bps;
  out.Pixels.resize(raster.size());
  for (size_t i = 0; i < raster.size(); ++i) {
    uint32_t p = raster[i];
    uint32_t r = TIFFGetR(p), g = TIFFGetG(p), b = TIFFGetB(p), a = TIFFGetA(p);
    if (a != 0 && a != 255) {
      r = std::min(255u, (r * 255 + a / 2) / a);
      g = std::min(255u, (g * 255 + a / 2) / a);
      b = std::min(255u, (b * 255 + a / 2) / a);
    }
    out.Pixels[i] = (a << 24) | (r << 16) | (g << 8) | b;
  }
  return true;
}

}  // namespace

bool DecodeTiff(const uint8_t* data, size_t size, int frame, TDecodedImage& out, std::string* error) {
  TMemoryFile f;
  f.Data = data;
  f.Size = size;
  TIFF* tif = Open(f, "rm");
  if (!tif) return Failed(f, error, "Corrupt or truncated TIFF image");
  TDecodedImage image;
  image.Format = iffTiff;
  image.FrameCount = TIFFNumberOfDirectories(tif);
  bool ok = frame < image.FrameCount && TIFFSetDirectory(tif, static_cast<tdir_t>(frame));
  uint32_t w = 0, h = 0;
  if (ok) {
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    ok = SizeAllowed(w, h);
    // A scheme libtiff cannot decode yields nothing, yet its raster (tens of
    // millions of pixels from a few hundred bytes) was taken and filled
    // twice first.
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (ok && !TIFFIsCODECConfigured(compression)) {
      TIFFClose(tif);
      return Fail(error, "Unsupported TIFF compression");
    }
    if (ok && !DataPlausible(tif, size)) {
      TIFFClose(tif);
      return Fail(error, "Invalid TIFF image size");
    }
  }
  if (ok) {
    image.Width = static_cast<int>(w);
    image.Height = static_cast<int>(h);
    ok = ReadPlainRgb(tif, image.Width, image.Height, image);
    if (!ok) {
      f.Error.clear();
      ok = ReadRgba(tif, image.Width, image.Height, image);
    }
  }
  if (ok) {
    float xres = 0, yres = 0;
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    double scale = unit == RESUNIT_CENTIMETER ? 2.54 : 1.0;
    if (unit != RESUNIT_NONE && TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres) && xres > 0)
      image.DpiX = std::round(xres * scale * 100) / 100;
    if (unit != RESUNIT_NONE && TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres) && yres > 0)
      image.DpiY = std::round(yres * scale * 100) / 100;
  }
  TIFFClose(tif);
  if (!ok) return Failed(f, error, "Corrupt or truncated TIFF image");
  out = std::move(image);
  return true;
}

bool EncodeTiff(const uint32_t* pixels, int width, int height, int stride, const TEncodeOptions& options,
                std::string& out, std::string* error) {
  TMemoryFile f;
  f.Out = &out;
  TIFF* tif = Open(f, "w");
  if (!tif) return Failed(f, error, "TIFF encoding failed");
  const uint16_t spp = options.Alpha ? 4 : 3;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, spp);
  if (options.Alpha) {
    uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(options.DpiX));
  TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(options.DpiY));
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  std::vector<uint8_t> line(size_t(width) * spp);
  bool ok = true;
  for (int y = 0; y < height && ok; ++y) {
    const uint32_t* src = Row(pixels, stride, y);
    for (int x = 0; x < width; ++x) {
      uint8_t* d = line.data() + size_t(x) * spp;
      d[0] = static_cast<uint8_t>(src[x] >> 16);
      d[1] = static_cast<uint8_t>(src[x] >> 8);
      d[2] = static_cast<uint8_t>(src[x]);
      if (spp == 4) d[3] = static_cast<uint8_t>(src[x] >> 24);
    }
    ok = TIFFWriteScanline(tif, line.data(), static_cast<uint32_t>(y), 0) >= 0;
  }
  TIFFClose(tif);
  if (!ok) {
    out.clear();
    return Failed(f, error, "TIFF encoding failed");
  }
  return true;
}

}  // namespace rtl::backend::detail
