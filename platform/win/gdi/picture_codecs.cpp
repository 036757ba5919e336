// Picture files through the backend's codecs.
#include "platform/win/gdi/picture_codecs.h"

#include <algorithm>
#include <exception>

#include "platform/backend/codecs.h"

namespace {

using rtl::backend::TImageFileFormat;

TPictureFormat FromBackend(TImageFileFormat f) {
  switch (f) {
    case rtl::backend::iffBmp: return pfBmp;
    case rtl::backend::iffPng: return pfPng;
    case rtl::backend::iffJpeg: return pfJpeg;
    case rtl::backend::iffTiff: return pfTiff;
    case rtl::backend::iffGif: return pfGif;
    case rtl::backend::iffIcon: return pfIcon;
    case rtl::backend::iffCursor: return pfCursor;
    default: return pfUnknown;
  }
}

TImageFileFormat ToBackend(TPictureFormat f) {
  switch (f) {
    case pfBmp: return rtl::backend::iffBmp;
    case pfPng: return rtl::backend::iffPng;
    case pfJpeg: return rtl::backend::iffJpeg;
    case pfTiff: return rtl::backend::iffTiff;
    case pfGif: return rtl::backend::iffGif;
    case pfIcon: return rtl::backend::iffIcon;
    case pfCursor: return rtl::backend::iffCursor;
    default: return rtl::backend::iffUnknown;
  }
}

bool Failed(AnsiString* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

uint32_t Premultiply(uint32_t c) {
  uint32_t a = c >> 24;
  auto ch = [&](int s) { return (((c >> s) & 0xFF) * a + 127) / 255 << s; };
  return (a << 24) | ch(16) | ch(8) | ch(0);
}

uint32_t Unpremultiply(uint32_t p) {
  uint32_t a = p >> 24;
  if (a == 0 || a == 255) return a ? p : 0;
  auto ch = [&](int s) { return std::min(255u, (((p >> s) & 0xFF) * 255 + a / 2) / a) << s; };
  return (a << 24) | ch(16) | ch(8) | ch(0);
}

}  // namespace

TPictureFormat PictureFormatOf(const void* data, size_t size) {
  return FromBackend(rtl::backend::SniffImageFormat(data, size));
}

TPictureFormat PictureFormatFromExtension(const AnsiString& extension) {
  AnsiString e = extension;
  if (!e.empty() && e[0] == '.') e.erase(0, 1);
  for (char& c : e)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (e == "bmp" || e == "dib" || e == "rle") return pfBmp;
  if (e == "png") return pfPng;
  if (e == "jpg" || e == "jpeg" || e == "jpe" || e == "jfif") return pfJpeg;
  if (e == "tif" || e == "tiff") return pfTiff;
  if (e == "gif") return pfGif;
  if (e == "ico") return pfIcon;
  if (e == "cur") return pfCursor;
  return pfUnknown;
}

bool DecodePicture(const void* data, size_t size, std::vector<uint32_t>& pixels, TPictureInfo& info,
                   AnsiString* error, int frame) {
  rtl::backend::TDecodedImage img;
  std::string message;
  if (!rtl::backend::DecodeImage(data, size, img, &message, frame)) return Failed(error, message);
  info = TPictureInfo();
  info.Format = FromBackend(img.Format);
  info.Width = img.Width;
  info.Height = img.Height;
  info.BitsPerPixel = img.BitsPerPixel;
  info.HasAlpha = img.HasAlpha;
  info.DpiX = img.DpiX;
  info.DpiY = img.DpiY;
  info.FrameCount = img.FrameCount;
  info.HotSpot = POINT(img.HotSpotX, img.HotSpotY);
  info.Palette = std::move(img.Palette);
  pixels = std::move(img.Pixels);
  return true;
}

bool ReadPicture(TStream* stream, std::vector<uint32_t>& pixels, TPictureInfo& info, AnsiString* error, int frame) {
  if (!stream) return Failed(error, "No stream");
  std::string data;
  try {
    Int64 left = stream->Size() - stream->Position();
    if (left > 0) {
      data.resize(static_cast<size_t>(left));
      stream->ReadBuffer(data.data(), static_cast<Integer>(left));
    }
  } catch (const std::exception& e) {
    return Failed(error, e.what());
  }
  return DecodePicture(data.data(), data.size(), pixels, info, error, frame);
}

HBITMAP DecodePictureToDib(const void* data, size_t size, bool premultiply, TPictureInfo* info, AnsiString* error) {
  std::vector<uint32_t> pixels;
  TPictureInfo local;
  if (!DecodePicture(data, size, pixels, local, error)) return nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = local.Width;
  bi.bmiHeader.biHeight = -local.Height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!h) {
    Failed(error, "Out of memory for the bitmap");
    return nullptr;
  }
  auto* out = static_cast<uint32_t*>(bits);
  for (size_t i = 0; i < pixels.size(); ++i) out[i] = premultiply ? Premultiply(pixels[i]) : pixels[i];
  if (info) *info = std::move(local);
  return h;
}

bool EncodePicture(TPictureFormat format, const uint32_t* pixels, int width, int height, int stride,
                   bool premultiplied, const TPictureEncodeOptions& options, std::string& out, AnsiString* error) {
  if (!pixels || width <= 0 || height <= 0 || stride < width * 4) return Failed(error, "Nothing to encode");
  std::vector<uint32_t> straight;
  if (premultiplied) {
    straight.resize(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
      auto* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) + ptrdiff_t(y) * stride);
      for (int x = 0; x < width; ++x) straight[size_t(y) * width + x] = Unpremultiply(row[x]);
    }
    pixels = straight.data();
    stride = width * 4;
  }
  rtl::backend::TEncodeOptions o;
  o.Quality = options.Quality;
  o.Alpha = options.Alpha;
  o.DpiX = options.DpiX;
  o.DpiY = options.DpiY;
  std::string message;
  if (!rtl::backend::EncodeImage(ToBackend(format), pixels, width, height, stride, o, out, &message))
    return Failed(error, message);
  return true;
}

bool WritePicture(TStream* stream, TPictureFormat format, const uint32_t* pixels, int width, int height, int stride,
                  bool premultiplied, const TPictureEncodeOptions& options, AnsiString* error) {
  if (!stream) return Failed(error, "No stream");
  std::string data;
  if (!EncodePicture(format, pixels, width, height, stride, premultiplied, options, data, error)) return false;
  try {
    if (!data.empty()) stream->WriteBuffer(data.data(), static_cast<Integer>(data.size()));
  } catch (const std::exception& e) {
    return Failed(error, e.what());
  }
  return true;
}
