// Format detection and dispatch; PNG through Qt's reader and writer.
#include "platform/backend/codecs.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/backend/codecs_internal.h"

namespace rtl::backend {
namespace detail {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

int DotsPerMeter(double dpi) { return static_cast<int>(std::lround(dpi / 0.0254)); }
double Dpi(int dotsPerMeter) { return dotsPerMeter > 0 ? std::round(dotsPerMeter * 0.0254 * 100) / 100 : 96.0; }

// Bits per pixel from the IHDR chunk, which the signature is followed by.
int PngBitsPerPixel(const uint8_t* data, size_t size) {
  if (size < 26 || std::memcmp(data + 12, "IHDR", 4) != 0) return 32;
  int depth = data[24];
  switch (data[25]) {
    case 0: return depth;      // grey
    case 2: return depth * 3;  // RGB
    case 3: return depth;      // palette
    case 4: return depth * 2;  // grey + alpha
    case 6: return depth * 4;  // RGBA
    default: return 32;
  }
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, TDecodedImage& out, std::string* error) {
  if (size < 33 || std::memcmp(data, kPngSignature, 8) != 0) return Fail(error, "Not a PNG image");
  if (size > static_cast<size_t>(INT32_MAX)) return Fail(error, "PNG image too large");
  QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "png");
  QSize sz = reader.size();
  if (!sz.isValid() || !SizeAllowed(sz.width(), sz.height())) return Fail(error, "Invalid PNG image size");
  QImage image;
  if (!reader.read(&image) || image.isNull()) return Fail(error, "Corrupt or truncated PNG image");
  out = TDecodedImage();
  out.Format = iffPng;
  out.BitsPerPixel = PngBitsPerPixel(data, size);
  if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
      image.format() == QImage::Format_MonoLSB)
    for (QRgb c : image.colorTable()) out.Palette.push_back(c);
  out.HasAlpha = image.hasAlphaChannel();
  out.DpiX = Dpi(image.dotsPerMeterX());
  out.DpiY = Dpi(image.dotsPerMeterY());
  QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  out.Width = argb.width();
  out.Height = argb.height();
  out.Pixels.resize(size_t(out.Width) * out.Height);
  for (int y = 0; y < out.Height; ++y)
    std::memcpy(out.Pixels.data() + size_t(y) * out.Width, argb.constScanLine(y), size_t(out.Width) * 4);
  return true;
}

bool EncodePng(const uint32_t* pixels, int width, int height, int stride, const TEncodeOptions& options,
               std::string& out, std::string* error) {
  // The pixels are B,G,R,A bytes, which is Qt's ARGB32 on this machine.
  QImage view(reinterpret_cast<const uchar*>(pixels), width, height, stride, QImage::Format_ARGB32);
  QImage image = options.Alpha ? view.copy() : view.convertToFormat(QImage::Format_RGB32);
  image.setDotsPerMeterX(DotsPerMeter(options.DpiX));
  image.setDotsPerMeterY(DotsPerMeter(options.DpiY));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) return Fail(error, "PNG encoding failed");
  out.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  return true;
}

}  // namespace detail

using namespace detail;

TImageFileFormat SniffImageFormat(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  if (!p) return iffUnknown;
  if (size >= 8 && std::memcmp(p, kPngSignature, 8) == 0) return iffPng;
  if (size >= 14 && p[0] == 'B' && p[1] == 'M') return iffBmp;
  if (size >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) return iffJpeg;
  if (size >= 6 && (std::memcmp(p, "GIF87a", 6) == 0 || std::memcmp(p, "GIF89a", 6) == 0)) return iffGif;
  if (size >= 4 && ((p[0] == 'I' && p[1] == 'I' && p[2] == 42 && p[3] == 0) ||
                    (p[0] == 'M' && p[1] == 'M' && p[2] == 0 && p[3] == 42)))
    return iffTiff;
  if (size >= 6 && p[0] == 0 && p[1] == 0 && p[3] == 0 && (p[2] == 1 || p[2] == 2) && (p[4] | p[5]) != 0)
    return p[2] == 1 ? iffIcon : iffCursor;
  return iffUnknown;
}

bool DecodeImage(const void* data, size_t size, TDecodedImage& out, std::string* error, int frame) {
  const auto* p = static_cast<const uint8_t*>(data);
  try {
    switch (SniffImageFormat(data, size)) {
      case iffBmp: return DecodeBmp(p, size, out, error);
      case iffPng: return DecodePng(p, size, out, error);
      case iffJpeg: return DecodeJpeg(p, size, out, error);
      case iffTiff: return DecodeTiff(p, size, frame < 0 ? 0 : frame, out, error);
      case iffGif: return DecodeGif(p, size, frame < 0 ? 0 : frame, out, error);
      case iffIcon:
      case iffCursor: return DecodeIconFile(p, size, frame, out, error);
      case iffUnknown: break;
    }
  } catch (const std::bad_alloc&) {
    return Fail(error, "Out of memory decoding the image");
  }
  return Fail(error, "Unknown picture format");
}

bool DecodePackedDib(const void* data, size_t size, TDecodedImage& out, std::string* error) {
  if (!data) return Fail(error, "No bitmap data");
  try {
    return DecodeDib(static_cast<const uint8_t*>(data), size, out, error);
  } catch (const std::bad_alloc&) {
    return Fail(error, "Out of memory decoding the image");
  }
}

bool EncodeImage(TImageFileFormat format, const uint32_t* pixels, int width, int height, int stride,
                 const TEncodeOptions& options, std::string& out, std::string* error) {
  out.clear();
  if (!pixels || width <= 0 || height <= 0 || width > rtl::kMaxImageSide || height > rtl::kMaxImageSide || stride < width * 4)
    return Fail(error, "Nothing to encode");
  try {
    switch (format) {
      case iffBmp: return EncodeBmp(pixels, width, height, stride, options, out);
      case iffPng: return EncodePng(pixels, width, height, stride, options, out, error);
      case iffJpeg: return EncodeJpeg(pixels, width, height, stride, options, out, error);
      case iffTiff: return EncodeTiff(pixels, width, height, stride, options, out, error);
      case iffGif: return EncodeGif(pixels, width, height, stride, options, out, error);
      default: return Fail(error, "No encoder for this format");
    }
  } catch (const std::bad_alloc&) {
    return Fail(error, "Out of memory encoding the image");
  }
}

const char* ImageMimeType(TImageFileFormat format) {
  switch (format) {
    case iffBmp: return "image/bmp";
    case iffPng: return "image/png";
    case iffJpeg: return "image/jpeg";
    case iffTiff: return "image/tiff";
    case iffGif: return "image/gif";
    case iffIcon: return "image/x-icon";
    case iffCursor: return "image/x-icon";
    case iffUnknown: break;
  }
  return "";
}

}  // namespace rtl::backend
