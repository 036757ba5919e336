// Picture file formats: decoding BMP, PNG, JPEG, TIFF, GIF, ICO and CUR
// files held in memory into 32-bit pixels, and encoding 32-bit pixels as
// BMP, PNG, JPEG, TIFF or GIF. Pixels are top-down rows of B,G,R,A bytes
// (a uint32_t 0xAARRGGBB) with straight (not premultiplied) alpha.
// Decoders never read outside the data they are given: a corrupt or
// truncated file fails with a message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rtl::backend {

enum TImageFileFormat {
  iffUnknown,
  iffBmp,
  iffPng,
  iffJpeg,
  iffTiff,
  iffGif,
  iffIcon,
  iffCursor,
};

struct TDecodedImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;  // Width * Height, top row first
  TImageFileFormat Format = iffUnknown;
  // The file can hold transparency (an alpha channel, a transparent colour
  // or a mask); whether a pixel is actually transparent is in Pixels.
  bool HasAlpha = false;
  // Bits per pixel of the file's own pixels (1, 4, 8, 16, 24, 32, 48, 64).
  int BitsPerPixel = 32;
  // The file's palette for 1-, 4- and 8-bit pictures (0xAARRGGBB), empty
  // otherwise.
  std::vector<uint32_t> Palette;
  double DpiX = 96;
  double DpiY = 96;
  // Frames of a GIF or TIFF file, images of an icon file; 1 otherwise.
  int FrameCount = 1;
  // The hot spot of a cursor image.
  int HotSpotX = 0;
  int HotSpotY = 0;
};

// The format the first bytes announce; iffUnknown when none matches.
TImageFileFormat SniffImageFormat(const void* data, size_t size);

// Decodes frame `frame` of a file (0: the first frame of a GIF or TIFF;
// for an icon or cursor, -1 picks the largest image with the most colours,
// another value that entry of the directory). False with a message in
// `error` when the data is not a picture of a known format, is corrupt or
// is cut short.
bool DecodeImage(const void* data, size_t size, TDecodedImage& out, std::string* error = nullptr, int frame = -1);

// A device-independent bitmap without its file header (a BITMAPINFOHEADER
// or a BITMAPCOREHEADER, the colour table, then the pixels), as the
// clipboard and resources hold it.
bool DecodePackedDib(const void* data, size_t size, TDecodedImage& out, std::string* error = nullptr);

struct TEncodeOptions {
  // JPEG quality, 0..100.
  int Quality = 75;
  // BMP: a 32-bit file keeping the alpha channel (false: 24 bits).
  // PNG and TIFF: an alpha channel (false: opaque RGB). GIF: pixels with
  // alpha below 128 become the transparent colour.
  bool Alpha = true;
  double DpiX = 96;
  double DpiY = 96;
};

// Encodes width x height pixels (rows `stride` bytes apart, top row
// first) into a file of the format. False with a message for an empty
// picture or a format without an encoder (icons, cursors).
bool EncodeImage(TImageFileFormat format, const uint32_t* pixels, int width, int height, int stride,
                 const TEncodeOptions& options, std::string& out, std::string* error = nullptr);

// The MIME type of a format ("image/png", ...); "" for iffUnknown.
const char* ImageMimeType(TImageFileFormat format);

}  // namespace rtl::backend
