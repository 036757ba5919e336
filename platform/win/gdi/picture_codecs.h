// Picture files for the host framework's graphics (bitmaps, JPEG images,
// icons, the picture-format registry): decoding a file held in memory or
// read from a stream into 32-bit pixels or a 32-bit DIB section, and
// encoding 32-bit pixels as BMP, PNG, JPEG, TIFF or GIF. A corrupt or cut
// short file fails with a message; nothing is read outside the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/streams.h"
#include "platform/win/gdi/gdi.h"

enum TPictureFormat { pfUnknown, pfBmp, pfPng, pfJpeg, pfTiff, pfGif, pfIcon, pfCursor };

struct TPictureInfo {
  TPictureFormat Format = pfUnknown;
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 32;         // of the file's pixels
  bool HasAlpha = false;         // the file can hold transparency
  double DpiX = 96, DpiY = 96;
  int FrameCount = 1;            // GIF and TIFF frames, icon images
  POINT HotSpot{};               // of a cursor
  std::vector<uint32_t> Palette; // 1-, 4- and 8-bit files (0xAARRGGBB)
};

struct TPictureEncodeOptions {
  int Quality = 75;  // JPEG, 0..100
  // BMP: 32 bits keeping alpha (false: 24 bits); PNG and TIFF: an alpha
  // channel; GIF: a transparent colour for pixels below half alpha.
  bool Alpha = true;
  double DpiX = 96, DpiY = 96;
};

// The format the data announces, and the one a file extension names
// ("jpg", ".JPEG", "tif", ...).
TPictureFormat PictureFormatOf(const void* data, size_t size);
TPictureFormat PictureFormatFromExtension(const AnsiString& extension);

// Top-down pixels 0xAARRGGBB with straight alpha. For an icon or cursor
// file, frame -1 is the largest image with the most colours; for GIF and
// TIFF, the first frame.
bool DecodePicture(const void* data, size_t size, std::vector<uint32_t>& pixels, TPictureInfo& info,
                   AnsiString* error = nullptr, int frame = -1);
// Reads from the stream's position to its end.
bool ReadPicture(TStream* stream, std::vector<uint32_t>& pixels, TPictureInfo& info, AnsiString* error = nullptr,
                 int frame = -1);
// A new 32-bit top-down DIB section of the picture, its pixels
// premultiplied when asked (as AlphaBlend takes them); null on failure.
HBITMAP DecodePictureToDib(const void* data, size_t size, bool premultiply, TPictureInfo* info = nullptr,
                           AnsiString* error = nullptr);

// Encodes rows of 32-bit pixels (stride bytes apart, top row first),
// premultiplied or straight, into a file of the format.
bool EncodePicture(TPictureFormat format, const uint32_t* pixels, int width, int height, int stride,
                   bool premultiplied, const TPictureEncodeOptions& options, std::string& out,
                   AnsiString* error = nullptr);
bool WritePicture(TStream* stream, TPictureFormat format, const uint32_t* pixels, int width, int height, int stride,
                  bool premultiplied, const TPictureEncodeOptions& options, AnsiString* error = nullptr);
