// Image files: the codec lists, loading from streams and files, saving
// through the encoders, and the frames of multi-frame files.
#include <algorithm>
#include <cstring>

#include "platform/backend/codecs.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdiplus/gdiplus_internal.h"

using namespace rtl::detail;
using rtl::backend::TImageFileFormat;

namespace {

struct TCodec {
  TImageFileFormat Format;
  CLSID Clsid;
  GUID FormatID;
  const char16_t* Name;
  const char16_t* Description;
  const char16_t* Extensions;
  const char16_t* Mime;
  bool Encoder;
  std::vector<std::string> Signatures;
};

const std::vector<TCodec>& Codecs() {
  using namespace rtl::backend;
  static const std::vector<TCodec> codecs = {
      {iffBmp, CLSID_BmpCodec, ImageFormatBMP, u"Built-in BMP Codec", u"BMP", u"*.BMP;*.DIB;*.RLE", u"image/bmp",
       true, {"BM"}},
      {iffJpeg, CLSID_JpegCodec, ImageFormatJPEG, u"Built-in JPEG Codec", u"JPEG", u"*.JPG;*.JPEG;*.JPE;*.JFIF",
       u"image/jpeg", true, {std::string("\xFF\xD8", 2)}},
      {iffGif, CLSID_GifCodec, ImageFormatGIF, u"Built-in GIF Codec", u"GIF", u"*.GIF", u"image/gif", true,
       {"GIF89a", "GIF87a"}},
      {iffTiff, CLSID_TiffCodec, ImageFormatTIFF, u"Built-in TIFF Codec", u"TIFF", u"*.TIF;*.TIFF", u"image/tiff",
       true, {std::string("II*\0", 4), std::string("MM\0*", 4)}},
      {iffPng, CLSID_PngCodec, ImageFormatPNG, u"Built-in PNG Codec", u"PNG", u"*.PNG", u"image/png", true,
       {std::string("\x89PNG\r\n\x1a\n", 8)}},
      {iffIcon, CLSID_IconCodec, ImageFormatIcon, u"Built-in ICO Codec", u"ICO", u"*.ICO", u"image/x-icon", false,
       {std::string("\0\0\1\0", 4)}},
  };
  return codecs;
}

size_t Chars(const char16_t* s) { return std::char_traits<char16_t>::length(s) + 1; }

// The codec records, then their strings and signature bytes, in one block
// whose pointers point into itself.
size_t ListSize(bool encoders, UINT* count) {
  size_t bytes = 0;
  UINT n = 0;
  for (const TCodec& c : Codecs()) {
    if (encoders && !c.Encoder) continue;
    ++n;
    bytes += sizeof(ImageCodecInfo);
    bytes += 2 * (Chars(c.Name) + Chars(c.Description) + Chars(c.Extensions) + Chars(c.Mime));
    for (const std::string& s : c.Signatures) bytes += 2 * s.size();
  }
  *count = n;
  return bytes;
}

GpStatus FillList(bool encoders, UINT num, UINT size, ImageCodecInfo* out) {
  UINT count = 0;
  size_t total = ListSize(encoders, &count);
  if (!out || num != count || size < total) return InvalidParameter;
  BYTE* extra = reinterpret_cast<BYTE*>(out) + count * sizeof(ImageCodecInfo);
  auto put = [&](const char16_t* s) {
    size_t n = Chars(s);
    std::memcpy(extra, s, 2 * n);
    const WCHAR* at = reinterpret_cast<const WCHAR*>(extra);
    extra += 2 * n;
    return at;
  };
  UINT i = 0;
  for (const TCodec& c : Codecs()) {
    if (encoders && !c.Encoder) continue;
    ImageCodecInfo& info = out[i++];
    info = ImageCodecInfo{};
    info.Clsid = c.Clsid;
    info.FormatID = c.FormatID;
    info.CodecName = put(c.Name);
    info.DllName = nullptr;
    info.FormatDescription = put(c.Description);
    info.FilenameExtension = put(c.Extensions);
    info.MimeType = put(c.Mime);
    info.Flags = ImageCodecFlagsDecoder | ImageCodecFlagsSupportBitmap | ImageCodecFlagsBuiltin |
                 (c.Encoder ? ImageCodecFlagsEncoder : 0);
    info.Version = 1;
    info.SigCount = static_cast<DWORD>(c.Signatures.size());
    info.SigSize = static_cast<DWORD>(c.Signatures[0].size());
    info.SigPattern = extra;
    for (const std::string& s : c.Signatures) {
      std::memcpy(extra, s.data(), s.size());
      extra += s.size();
    }
    info.SigMask = extra;
    for (const std::string& s : c.Signatures) {
      std::memset(extra, 0xFF, s.size());
      extra += s.size();
    }
  }
  return Ok;
}

const TCodec* CodecOf(const CLSID* clsid) {
  if (!clsid) return nullptr;
  for (const TCodec& c : Codecs())
    if (c.Clsid == *clsid && c.Encoder) return &c;
  return nullptr;
}

GUID RawFormatOf(TImageFileFormat f) {
  for (const TCodec& c : Codecs())
    if (c.Format == f) return c.FormatID;
  return f == rtl::backend::iffCursor ? ImageFormatIcon : ImageFormatUndefined;
}

// The format a decoded picture keeps: indexed where the file was, with
// alpha where it can be transparent.
PixelFormat FormatOf(const rtl::backend::TDecodedImage& img) {
  using namespace rtl::backend;
  if (img.HasAlpha) return PixelFormat32bppARGB;
  bool indexedFile = img.Format == iffBmp || img.Format == iffPng || img.Format == iffTiff;
  if (indexedFile && !img.Palette.empty()) {
    if (img.BitsPerPixel == 1) return PixelFormat1bppIndexed;
    if (img.BitsPerPixel == 4) return PixelFormat4bppIndexed;
    if (img.BitsPerPixel == 8) return PixelFormat8bppIndexed;
  }
  if (img.Format == iffBmp && (img.BitsPerPixel == 32 || img.BitsPerPixel == 16)) return PixelFormat32bppRGB;
  return PixelFormat24bppRGB;
}

GpStatus Decode(std::shared_ptr<const std::string> data, GpImage** image) {
  rtl::backend::TDecodedImage img;
  TImageFileFormat format = rtl::backend::SniffImageFormat(data->data(), data->size());
  if (format == rtl::backend::iffUnknown) return UnknownImageFormat;
  if (!rtl::backend::DecodeImage(data->data(), data->size(), img)) return InvalidParameter;
  PixelFormat pf = FormatOf(img);
  auto* b = new TGpBitmap;
  if (!AllocatePixels(*b, img.Width, img.Height, pf)) {
    delete b;
    return OutOfMemory;
  }
  if (IsIndexedPixelFormat(pf)) b->Palette.assign(img.Palette.begin(), img.Palette.end());
  ConvertRows(reinterpret_cast<const BYTE*>(img.Pixels.data()), img.Width * 4, PixelFormat32bppARGB, {}, b->Scan0,
              b->Stride, pf, b->Palette, img.Width, img.Height);
  b->RawFormat = RawFormatOf(img.Format);
  b->DpiX = static_cast<REAL>(img.DpiX);
  b->DpiY = static_cast<REAL>(img.DpiY);
  b->Flags = ImageFlagsHasRealDPI | ImageFlagsHasRealPixelSize | ImageFlagsReadOnly |
             (img.HasAlpha ? ImageFlagsHasAlpha : 0);
  if ((img.Format == rtl::backend::iffGif || img.Format == rtl::backend::iffTiff) && img.FrameCount > 1) {
    b->FrameCount = static_cast<UINT>(img.FrameCount);
    b->Source = std::move(data);
  }
  *image = b;
  return Ok;
}

GpStatus LoadStream(IStream* stream, GpImage** image) {
  if (!stream || !image) return InvalidParameter;
  auto data = std::make_shared<std::string>();
  char buffer[64 * 1024];
  while (true) {
    ULONG got = 0;
    HRESULT hr = stream->Read(buffer, sizeof buffer, &got);
    if (FAILED(hr)) return Win32Error;
    if (got == 0) break;
    data->append(buffer, got);
  }
  return Decode(std::move(data), image);
}

GpStatus LoadFile(const WCHAR* filename, GpImage** image) {
  if (!filename || !image) return InvalidParameter;
  try {
    TFileStream file(WideToAnsi(WideString(filename)), fmOpenRead | fmShareDenyWrite);
    auto data = std::make_shared<std::string>();
    data->resize(static_cast<size_t>(file.Size()));
    if (!data->empty()) file.ReadBuffer(data->data(), static_cast<Integer>(data->size()));
    return Decode(std::move(data), image);
  } catch (const EFOpenError&) {
    return FileNotFound;
  } catch (const Exception&) {
    return Win32Error;
  }
}

GpStatus Encode(GpImage* image, const CLSID* clsid, const EncoderParameters* params, std::string& out) {
  TGpBitmap* b = BitmapImpl(image);
  const TCodec* codec = CodecOf(clsid);
  if (!b || !codec) return InvalidParameter;
  if (b->Locked) return WrongState;
  rtl::backend::TEncodeOptions o;
  o.Alpha = IsAlphaPixelFormat(b->Format) || (codec->Format == rtl::backend::iffBmp && b->Format == PixelFormat32bppRGB);
  o.DpiX = b->DpiX;
  o.DpiY = b->DpiY;
  if (params) {
    for (UINT i = 0; i < params->Count; ++i) {
      const EncoderParameter& p = params->Parameter[i];
      if (!p.Value || p.NumberOfValues < 1) continue;
      if (p.Guid == EncoderQuality && p.Type == EncoderParameterValueTypeLong)
        o.Quality = static_cast<int>(*static_cast<const ULONG*>(p.Value));
      if (p.Guid == EncoderColorDepth && p.Type == EncoderParameterValueTypeLong)
        o.Alpha = *static_cast<const ULONG*>(p.Value) == 32;
    }
  }
  std::vector<uint32_t> px(size_t(b->Width) * b->Height);
  ConvertRows(b->Scan0, b->Stride, b->Format, b->Palette, reinterpret_cast<BYTE*>(px.data()), b->Width * 4,
              PixelFormat32bppARGB, {}, b->Width, b->Height);
  if (!rtl::backend::EncodeImage(codec->Format, px.data(), b->Width, b->Height, b->Width * 4, o, out))
    return GenericError;
  return Ok;
}

}  // namespace

GpStatus GdipGetImageDecodersSize(UINT* numDecoders, UINT* size) {
  if (!numDecoders || !size) return InvalidParameter;
  *size = static_cast<UINT>(ListSize(false, numDecoders));
  return Ok;
}

GpStatus GdipGetImageDecoders(UINT numDecoders, UINT size, ImageCodecInfo* decoders) {
  return FillList(false, numDecoders, size, decoders);
}

GpStatus GdipGetImageEncodersSize(UINT* numEncoders, UINT* size) {
  if (!numEncoders || !size) return InvalidParameter;
  *size = static_cast<UINT>(ListSize(true, numEncoders));
  return Ok;
}

GpStatus GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders) {
  return FillList(true, numEncoders, size, encoders);
}

GpStatus GdipLoadImageFromStream(IStream* stream, GpImage** image) { return LoadStream(stream, image); }

GpStatus GdipLoadImageFromStreamICM(IStream* stream, GpImage** image) { return LoadStream(stream, image); }

GpStatus GdipLoadImageFromFile(const WCHAR* filename, GpImage** image) { return LoadFile(filename, image); }

GpStatus GdipLoadImageFromFileICM(const WCHAR* filename, GpImage** image) { return LoadFile(filename, image); }

GpStatus GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap) {
  return LoadStream(stream, reinterpret_cast<GpImage**>(bitmap));
}

GpStatus GdipCreateBitmapFromStreamICM(IStream* stream, GpBitmap** bitmap) {
  return LoadStream(stream, reinterpret_cast<GpImage**>(bitmap));
}

GpStatus GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap) {
  return LoadFile(filename, reinterpret_cast<GpImage**>(bitmap));
}

GpStatus GdipCreateBitmapFromFileICM(const WCHAR* filename, GpBitmap** bitmap) {
  return LoadFile(filename, reinterpret_cast<GpImage**>(bitmap));
}

GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const CLSID* clsidEncoder,
                               const EncoderParameters* encoderParams) {
  if (!stream) return InvalidParameter;
  std::string data;
  GpStatus s = Encode(image, clsidEncoder, encoderParams, data);
  if (s != Ok) return s;
  ULONG written = 0;
  HRESULT hr = stream->Write(data.data(), static_cast<ULONG>(data.size()), &written);
  return SUCCEEDED(hr) && written == data.size() ? Ok : Win32Error;
}

GpStatus GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                             const EncoderParameters* encoderParams) {
  if (!filename) return InvalidParameter;
  std::string data;
  GpStatus s = Encode(image, clsidEncoder, encoderParams, data);
  if (s != Ok) return s;
  try {
    TFileStream file(WideToAnsi(WideString(filename)), fmCreate);
    if (!data.empty()) file.WriteBuffer(data.data(), static_cast<Integer>(data.size()));
    return Ok;
  } catch (const Exception&) {
    return Win32Error;
  }
}

GpStatus GdipGetEncoderParameterListSize(GpImage* image, const CLSID* clsidEncoder, UINT* size) {
  if (!image || !size || !CodecOf(clsidEncoder)) return InvalidParameter;
  if (*clsidEncoder != CLSID_JpegCodec) return NotImplemented;
  *size = sizeof(EncoderParameters) + 2 * sizeof(ULONG);
  return Ok;
}

GpStatus GdipGetEncoderParameterList(GpImage* image, const CLSID* clsidEncoder, UINT size,
                                     EncoderParameters* buffer) {
  if (!image || !buffer || !CodecOf(clsidEncoder)) return InvalidParameter;
  if (*clsidEncoder != CLSID_JpegCodec) return NotImplemented;
  if (size < sizeof(EncoderParameters) + 2 * sizeof(ULONG)) return InvalidParameter;
  // The quality, as the range 0..100.
  auto* range = reinterpret_cast<ULONG*>(reinterpret_cast<BYTE*>(buffer) + sizeof(EncoderParameters));
  range[0] = 0;
  range[1] = 100;
  buffer->Count = 1;
  buffer->Parameter[0] = EncoderParameter{EncoderQuality, 1, EncoderParameterValueTypeLongRange, range};
  return Ok;
}

GpStatus GdipImageGetFrameDimensionsCount(GpImage* image, UINT* count) {
  if (!BitmapImpl(image) || !count) return InvalidParameter;
  *count = 1;
  return Ok;
}

GpStatus GdipImageGetFrameDimensionsList(GpImage* image, GUID* dimensionIDs, UINT count) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !dimensionIDs || count < 1) return InvalidParameter;
  dimensionIDs[0] = b->RawFormat == ImageFormatGIF ? FrameDimensionTime : FrameDimensionPage;
  return Ok;
}

GpStatus GdipImageGetFrameCount(GpImage* image, const GUID* dimensionID, UINT* count) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !dimensionID || !count) return InvalidParameter;
  *count = b->FrameCount;
  return Ok;
}

GpStatus GdipImageSelectActiveFrame(GpImage* image, const GUID* dimensionID, UINT frameIndex) {
  TGpBitmap* b = BitmapImpl(image);
  if (!b || !dimensionID || frameIndex >= b->FrameCount) return InvalidParameter;
  if (b->Locked) return WrongState;
  if (frameIndex == b->Frame || !b->Source) return Ok;
  rtl::backend::TDecodedImage img;
  if (!rtl::backend::DecodeImage(b->Source->data(), b->Source->size(), img, nullptr, static_cast<int>(frameIndex)))
    return InvalidParameter;
  TGpBitmap fresh;
  if (!AllocatePixels(fresh, img.Width, img.Height, PixelFormat32bppARGB)) return OutOfMemory;
  std::memcpy(fresh.Scan0, img.Pixels.data(), img.Pixels.size() * 4);
  b->Owned = std::move(fresh.Owned);
  b->Scan0 = b->Owned.data();
  b->Stride = fresh.Stride;
  b->Width = img.Width;
  b->Height = img.Height;
  b->Format = PixelFormat32bppARGB;
  b->Palette.clear();
  b->Frame = frameIndex;
  return Ok;
}
