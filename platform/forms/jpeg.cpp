#include "platform/forms/jpeg.h"

#include <algorithm>
#include <cstring>

#include "platform/win/gdiplus/gdiplus.h"
#include "platform/win/kernel/objidl.h"

RTL_IMPLEMENT_CLASS(EJPEG)
RTL_IMPLEMENT_CLASS(TJPEGImage)

namespace {

[[noreturn]] void JPEGError() { throw EJPEG("JPEG error #53"); }

void GdiplusNeeded() {
  static const bool started = [] {
    ULONG_PTR token = 0;
    GdiplusStartupInput input;
    return GdiplusStartup(&token, &input, nullptr) == Ok;
  }();
  if (!started) JPEGError();
}

uint16_t GetBE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

// The picture size from the frame header; the data must be a JPEG file
// whose markers up to that header lie inside it.
void ReadSize(const std::vector<uint8_t>& d, Integer& width, Integer& height) {
  if (d.size() < 4 || d[0] != 0xFF || d[1] != 0xD8) JPEGError();
  size_t i = 2;
  for (;;) {
    while (i < d.size() && d[i] != 0xFF) ++i;
    while (i < d.size() && d[i] == 0xFF) ++i;
    if (i >= d.size()) JPEGError();
    uint8_t marker = d[i++];
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (marker == 0xD9 || marker == 0xDA) JPEGError();                  // image or scan before a frame
    if (d.size() - i < 2) JPEGError();
    size_t length = GetBE16(&d[i]);
    if (length < 2 || d.size() - i < length) JPEGError();
    bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (length < 7) JPEGError();
      height = GetBE16(&d[i + 3]);
      width = GetBE16(&d[i + 5]);
      if (width == 0 || height == 0) JPEGError();
      return;
    }
    i += length;
  }
}

// An IStream over a memory stream, released when it goes.
class TStreamRef {
  TStreamAdapter* FAdapter;

 public:
  explicit TStreamRef(TStream* Stream) : FAdapter(new TStreamAdapter(Stream)) { FAdapter->AddRef(); }
  ~TStreamRef() { FAdapter->Release(); }
  TStreamRef(const TStreamRef&) = delete;
  TStreamRef& operator=(const TStreamRef&) = delete;
  IStream* get() const { return FAdapter; }
};

class TGpBitmap {
 public:
  GpBitmap* P = nullptr;
  TGpBitmap() = default;
  ~TGpBitmap() {
    if (P) GdipDisposeImage(P);
  }
  TGpBitmap(const TGpBitmap&) = delete;
  TGpBitmap& operator=(const TGpBitmap&) = delete;
};

bool SameText16(const WCHAR* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (static_cast<char>(*a) != *b) return false;
  return *a == 0 && *b == 0;
}

CLSID JpegEncoder() {
  UINT count = 0, size = 0;
  if (GdipGetImageEncodersSize(&count, &size) != Ok || count == 0) JPEGError();
  std::vector<uint8_t> buffer(size);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  if (GdipGetImageEncoders(count, size, codecs) != Ok) JPEGError();
  for (UINT i = 0; i < count; ++i)
    if (codecs[i].MimeType && SameText16(codecs[i].MimeType, "image/jpeg")) return codecs[i].Clsid;
  JPEGError();
}

// 24-bit pixels of a decoded picture, reduced by 2^shift in each direction
// (each output pixel the mean of its block) and made grey when asked.
void Reduce(const BitmapData& in, int shift, bool gray, TBitmap& out) {
  int w = static_cast<int>(in.Width), h = static_cast<int>(in.Height);
  int step = 1 << shift;
  int ow = (w + step - 1) / step, oh = (h + step - 1) / step;
  out.SetPixelFormat(pf24bit);
  out.SetSize(ow, oh);
  for (int oy = 0; oy < oh; ++oy) {
    auto* dst = static_cast<uint8_t*>(out.ScanLine(oy));
    for (int ox = 0; ox < ow; ++ox) {
      unsigned sum[3] = {0, 0, 0}, n = 0;
      for (int y = oy * step; y < std::min(h, (oy + 1) * step); ++y) {
        const auto* row = static_cast<const uint8_t*>(in.Scan0) + ptrdiff_t(y) * in.Stride;
        for (int x = ox * step; x < std::min(w, (ox + 1) * step); ++x, ++n)
          for (int c = 0; c < 3; ++c) sum[c] += row[3 * x + c];
      }
      uint8_t px[3];
      for (int c = 0; c < 3; ++c) px[c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
      if (gray) {
        // B, G, R weighted as luminance.
        auto y = static_cast<uint8_t>((px[0] * 114 + px[1] * 587 + px[2] * 299 + 500) / 1000);
        px[0] = px[1] = px[2] = y;
      }
      std::memcpy(dst + 3 * ox, px, 3);
    }
  }
}

}  // namespace

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::FreeBitmap() {
  if (!FData.empty()) FBitmap.reset();
}

Integer TJPEGImage::GetWidth() const {
  if (FData.empty()) return FBitmap ? FBitmap->Width() : 0;
  return (FWidth + (1 << FScale) - 1) >> FScale;
}

Integer TJPEGImage::GetHeight() const {
  if (FData.empty()) return FBitmap ? FBitmap->Height() : 0;
  return (FHeight + (1 << FScale) - 1) >> FScale;
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TJPEGImage*>(Source)) {
    if (src == this) return;
    FData = src->FData;
    FWidth = src->FWidth;
    FHeight = src->FHeight;
    FQuality = src->FQuality;
    FGrayscale = src->FGrayscale;
    FScale = src->FScale;
    FBitmap.reset();
    if (src->FBitmap) {
      FBitmap = std::make_unique<TBitmap>();
      FBitmap->Assign(src->FBitmap.get());
    }
    Changed(this);
  } else if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(bmp);
    copy->SetPixelFormat(pf24bit);
    FBitmap = std::move(copy);
    FData.clear();
    FWidth = FBitmap->Width();
    FHeight = FBitmap->Height();
    Changed(this);
  } else {
    inherited::Assign(Source);
  }
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* bmp = dynamic_cast<TBitmap*>(Dest)) {
    DIBNeeded();
    bmp->Assign(FBitmap.get());
  } else {
    inherited::AssignTo(Dest);
  }
}

void TJPEGImage::DIBNeeded() {
  if (FBitmap || FData.empty()) return;
  GdiplusNeeded();
  TMemoryStream data;
  data.WriteBuffer(FData.data(), static_cast<Integer>(FData.size()));
  data.SetPosition(0);
  TStreamRef stream(&data);
  TGpBitmap image;
  if (GdipCreateBitmapFromStream(stream.get(), &image.P) != Ok) JPEGError();
  UINT w = 0, h = 0;
  GdipGetImageWidth(image.P, &w);
  GdipGetImageHeight(image.P, &h);
  GpRect all{0, 0, static_cast<INT>(w), static_cast<INT>(h)};
  BitmapData bits{};
  if (w == 0 || h == 0 || GdipBitmapLockBits(image.P, &all, ImageLockModeRead, PixelFormat24bppRGB, &bits) != Ok)
    JPEGError();
  auto bitmap = std::make_unique<TBitmap>();
  Reduce(bits, FScale, FGrayscale, *bitmap);
  GdipBitmapUnlockBits(image.P, &bits);
  FBitmap = std::move(bitmap);
}

void TJPEGImage::Compress() {
  if (!FBitmap) return;
  GdiplusNeeded();
  TBitmap pixels;
  pixels.Assign(FBitmap.get());
  pixels.SetPixelFormat(pf24bit);
  int w = pixels.Width(), h = pixels.Height();
  int stride = ((w * 3 + 3) / 4) * 4;
  std::vector<uint8_t> rows(size_t(stride) * h);
  for (int y = 0; y < h; ++y) std::memcpy(rows.data() + ptrdiff_t(y) * stride, pixels.ScanLine(y), size_t(w) * 3);
  TGpBitmap image;
  if (GdipCreateBitmapFromScan0(w, h, stride, PixelFormat24bppRGB, rows.data(), &image.P) != Ok) JPEGError();
  CLSID encoder = JpegEncoder();
  ULONG quality = static_cast<ULONG>(FQuality);
  EncoderParameters params{};
  params.Count = 1;
  params.Parameter[0] = EncoderParameter{EncoderQuality, 1, EncoderParameterValueTypeLong, &quality};
  TMemoryStream out;
  {
    TStreamRef stream(&out);
    if (GdipSaveImageToStream(image.P, stream.get(), &encoder, &params) != Ok) JPEGError();
  }
  auto* p = static_cast<const uint8_t*>(out.Memory());
  FData.assign(p, p + out.Size());
  FWidth = w;
  FHeight = h;
}

void TJPEGImage::JPEGNeeded() {
  if (FData.empty()) Compress();
}

void TJPEGImage::SetCompressionQuality(TJPEGQualityRange Value) { FQuality = std::clamp(Value, 1, 100); }

void TJPEGImage::SetGrayscale(bool Value) {
  if (Value == FGrayscale) return;
  FGrayscale = Value;
  FreeBitmap();
  Changed(this);
}

void TJPEGImage::SetScale(TJPEGScale Value) {
  if (Value == FScale) return;
  FScale = Value;
  FreeBitmap();
  Changed(this);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  DIBNeeded();
  if (FBitmap) ACanvas->StretchDraw(Rect, FBitmap.get());
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
  Int64 size = Stream->Size() - Stream->Position();
  std::vector<uint8_t> data(static_cast<size_t>(std::max<Int64>(size, 0)));
  if (!data.empty()) Stream->ReadBuffer(data.data(), static_cast<Integer>(data.size()));
  Integer w = 0, h = 0;
  ReadSize(data, w, h);
  FData = std::move(data);
  FWidth = w;
  FHeight = h;
  FBitmap.reset();
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream* Stream) {
  JPEGNeeded();
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<Integer>(FData.size()));
}
