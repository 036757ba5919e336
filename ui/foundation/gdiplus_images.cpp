#include "ui/foundation/gdiplus_images.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/forms/picture.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/user/user.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/gdiplus_canvas.h"
#include "ui/foundation/library_strs.h"

namespace {

const char kMemoryStreamError[] = "Out of memory while expanding memory stream";

bool SameGuid(const GUID& A, const GUID& B) { return std::memcmp(&A, &B, sizeof(GUID)) == 0; }

// Adapters start without a reference; this holds one for a call.
struct TAdapterRef {
  TdxGPStreamAdapter* Adapter;
  explicit TAdapterRef(TStream* AStream) : Adapter(new TdxGPStreamAdapter(AStream)) { Adapter->AddRef(); }
  ~TAdapterRef() { Adapter->Release(); }
};

// Saves the GDI+ image encoded in the format into a new memory stream,
// rewound.
TdxGPMemoryStream* EncodeImage(GpImage* AHandle, TdxGPImageFormat AFormat) {
  const CLSID* encoder = dxGetImageEncoder(AFormat);
  auto* stream = new TdxGPMemoryStream();
  auto guard = TScopeExit(seOnUnwind, [&] { delete stream; });
  {
    TAdapterRef ref(stream);
    dxGpCheck(dxGpApi.GdipSaveImageToStream(AHandle, ref.Adapter, encoder, nullptr));
  }
  stream->SetPosition(0);
  return stream;
}

TdxGPMemoryStream* CopyOfStream(TStream* AStream) {
  auto* copy = new TdxGPMemoryStream();
  auto guard = TScopeExit(seOnUnwind, [&] { delete copy; });
  AStream->SetPosition(0);
  copy->CopyFrom(AStream, AStream->Size());
  copy->SetPosition(0);
  AStream->SetPosition(0);
  return copy;
}

}  // namespace

// ---- Memory stream and adapter ----------------------------------------------------

RTL_IMPLEMENT_CLASS(TdxGPMemoryStream)

TdxGPMemoryStream::~TdxGPMemoryStream() { Clear(); }

void* TdxGPMemoryStream::Realloc(Int64& ANewCapacity) {
  if (ANewCapacity == Capacity()) return Memory();
  void* old = Memory();
  void (*oldFree)(void*) = FFree;
  void* block = nullptr;
  if (ANewCapacity > 0) {
    bool gdip = dxGpIsAvailable() && dxGpApi.GdipAlloc && dxGpApi.GdipFree;
    size_t size = static_cast<size_t>(ANewCapacity);
    block = gdip ? dxGpApi.GdipAlloc(size) : std::malloc(size);
    if (!block) throw EStreamError(kMemoryStreamError);
    if (old) std::memcpy(block, old, static_cast<size_t>(std::min(Capacity(), ANewCapacity)));
    FFree = gdip ? dxGpApi.GdipFree : &std::free;
  } else
    FFree = nullptr;
  if (old && oldFree) oldFree(old);
  return block;
}

HRESULT TdxGPStreamAdapter::Stat(STATSTG* pstatstg, DWORD grfStatFlag) {
  if (!pstatstg) return S_OK;
  std::memset(pstatstg, 0, sizeof(STATSTG));
  try {
    HRESULT r = TStreamAdapter::Stat(pstatstg, grfStatFlag);
    return r;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// ---- Pending data ---------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TdxGPImageData)

TdxGPImageData::~TdxGPImageData() { delete Data; }

void TdxGPImageData::Assign(const TdxGPImageData& ASource) {
  Clear();
  Bits = ASource.Bits;
  BitsWidth = ASource.BitsWidth;
  BitsHeight = ASource.BitsHeight;
  if (ASource.Data) Data = CopyOfStream(ASource.Data);
  NewSize = ASource.NewSize;
}

void TdxGPImageData::Clear() {
  Bits.reset();
  BitsWidth = BitsHeight = 0;
  dxFreeThenNil(Data);
  NewSize = TSize();
}

void TdxGPImageDataHelper::ReadHeader(TStream* AStream, Byte (&AHeader)[14]) {
  Int64 position = AStream->Position();
  AStream->ReadBuffer(AHeader, sizeof AHeader);
  AStream->SetPosition(position);
}

bool TdxGPImageDataHelper::IsBitmapStream(TStream* AStream) {
  Byte header[14];
  ReadHeader(AStream, header);
  return header[0] == 'B' && header[1] == 'M';
}

// ---- Encoders ------------------------------------------------------------------------

const CLSID* dxGetImageEncoder(Integer AFormat) {
  switch (AFormat) {
    case dxImageBitmap: return &dxGpBmpEncoder;
    case dxImageJpeg: return &dxGpJpegEncoder;
    case dxImagePng: return &dxGpPngEncoder;
    case dxImageTiff: return &dxGpTiffEncoder;
    case dxImageGif: return &dxGpGifEncoder;
    default: throw EdxException(LoadResString(&sdxGetImageEncoderFails));
  }
}

// ---- TdxGPImage -------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TdxGPImage)
RTL_IMPLEMENT_CLASS(TdxSmartImage)
RTL_IMPLEMENT_CLASS(TdxPNGImage)

TdxGPImage::TdxGPImage() : FImageData(new TdxGPImageData()) {}

TdxGPImage::TdxGPImage(const TSize& ASize, TdxGpARGB AColor) : TdxGPImage() {
  ARGB c = dxGpARGBValue(AColor);
  RGBQUAD q{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 24)};
  TRGBColors pixels(static_cast<size_t>(std::max(0, ASize.cx)) * static_cast<size_t>(std::max(0, ASize.cy)), q);
  SetPixels(ASize.cx, ASize.cy, true, pixels);
}

TdxGPImage* TdxGPImage::CreateFilledForRect(const TRect& R, TdxGpARGB AColor) {
  return new TdxGPImage(TSize(R.Width(), R.Height()), AColor);
}

TdxGPImage::TdxGPImage(TBitmap* ABitmap) : TdxGPImage() { SetFromBitmap(ABitmap); }

TdxGPImage::TdxGPImage(HBITMAP ABitmap) : TdxGPImage() {
  GpBitmap* bitmap = nullptr;
  dxGpCheck(dxGpApi.GdipCreateBitmapFromHBITMAP(ABitmap, nullptr, &bitmap));
  FHandle = bitmap;
  DetectFormat();
}

TdxGPImage::TdxGPImage(Integer AWidth, Integer AHeight, const TRGBColors& APixels, bool AHasAlphaChannel)
    : TdxGPImage() {
  SetPixels(AWidth, AHeight, AHasAlphaChannel, APixels);
}

TdxGPImage::TdxGPImage(TStream* AStream) : TdxGPImage() { LoadFromStreamCore(AStream, false); }

TdxGPImage::~TdxGPImage() {
  // After the library's release the image's memory went with it.
  if (FHandle && dxGpApi.GdipDisposeImage) dxGpApi.GdipDisposeImage(FHandle);
  delete FImageData;
}

// ---- Realising ---------------------------------------------------------------------------

bool TdxGPImage::IsHandleCurrent() const { return FHandle || FImageData->Empty(); }

void TdxGPImage::EnsureHandle() {
  if (!IsHandleCurrent()) CreateHandleFromData();
}

GpImage* TdxGPImage::GetHandle() {
  EnsureHandle();
  return FHandle;
}

void TdxGPImage::CreateHandleFromData() {
  // Whatever fails leaves an empty image that can be assigned again.
  auto guard = TScopeExit(seOnUnwind, [&] {
    if (FHandle) dxGpApi.GdipDisposeImage(FHandle);
    FHandle = nullptr;
    FImageData->Clear();
    FImageDataFormat = dxImageUnknown;
  });
  TdxGPImageData& d = *FImageData;
  if (d.Bits) {
    GpBitmap* bitmap = nullptr;
    dxGpCheck(dxGpApi.GdipCreateBitmapFromScan0(d.BitsWidth, d.BitsHeight, d.BitsWidth * 4, PixelFormat32bppPARGB,
                                                reinterpret_cast<BYTE*>(d.Bits->data()), &bitmap));
    FHandle = bitmap;
  } else if (d.Data) {
    d.Data->SetPosition(0);
    if (TdxGPImageDataHelper::IsBitmapStream(d.Data)) {
      TBitmap bitmap;
      bitmap.LoadFromStream(d.Data);
      TSize newSize = d.NewSize;
      d.Clear();
      SetFromBitmap(&bitmap);
      FImageData->NewSize = newSize;
      if (FImageData->Bits) CreateHandleFromData();
      return;
    }
    TAdapterRef ref(d.Data);
    GpImage* image = nullptr;
    dxGpCheck(dxGpApi.GdipLoadImageFromStream(ref.Adapter, &image));
    FHandle = image;
  }
  if (FImageData->NewSize.cx > 0 && FImageData->NewSize.cy > 0)
    ScaleTo(FImageData->NewSize.cx, FImageData->NewSize.cy);
  DetectFormat();
}

void TdxGPImage::DetectFormat() {
  FImageDataFormat = dxImageUnknown;
  if (!FHandle) return;
  GUID raw{};
  dxGpCheck(dxGpApi.GdipGetImageRawFormat(FHandle, &raw));
  if (SameGuid(raw, ImageFormatMemoryBMP) || SameGuid(raw, ImageFormatBMP) || SameGuid(raw, ImageFormatEMF) ||
      SameGuid(raw, ImageFormatWMF) || SameGuid(raw, ImageFormatIcon))
    FImageDataFormat = dxImageBitmap;
  else if (SameGuid(raw, ImageFormatJPEG))
    FImageDataFormat = dxImageJpeg;
  else if (SameGuid(raw, ImageFormatPNG))
    FImageDataFormat = dxImagePng;
  else if (SameGuid(raw, ImageFormatTIFF))
    FImageDataFormat = dxImageTiff;
  else if (SameGuid(raw, ImageFormatGIF))
    FImageDataFormat = dxImageGif;
}

void TdxGPImage::FreeHandleAndData() {
  if (FHandle && dxGpApi.GdipDisposeImage) dxGpApi.GdipDisposeImage(FHandle);
  FHandle = nullptr;
  FImageDataFormat = dxImageUnknown;
  FImageData->Clear();
}

void TdxGPImage::SetHandle(GpImage* AHandle) {
  FreeHandleAndData();
  FHandle = AHandle;
  DetectFormat();
  Changed(this);
}

void TdxGPImage::ReleaseImage() {
  if (FHandle || !FImageData->Empty()) {
    FreeHandleAndData();
    Changed(this);
  }
}

// ---- Size, format, alpha --------------------------------------------------------------------

TSize TdxGPImage::GetSize() const {
  auto* self = const_cast<TdxGPImage*>(this);
  self->EnsureHandle();
  if (!FHandle) return TSize(0, 0);
  REAL w = 0, h = 0;
  dxGpCheck(dxGpApi.GdipGetImageDimension(FHandle, &w, &h));
  return TSize(static_cast<Integer>(w), static_cast<Integer>(h));
}

TRect TdxGPImage::GetClientRect() const {
  TSize s = GetSize();
  return TRect(0, 0, s.cx, s.cy);
}

bool TdxGPImage::GetEmpty() const {
  TSize s = GetSize();
  return s.cx <= 0 || s.cy <= 0;
}

Integer TdxGPImage::GetWidth() const { return GetSize().cx; }

Integer TdxGPImage::GetHeight() const { return GetSize().cy; }

bool TdxGPImage::GetTransparent() const { return const_cast<TdxGPImage*>(this)->GetIsAlphaUsed(); }

TdxGPImageFormat TdxGPImage::GetImageFormat() {
  EnsureHandle();
  return FImageDataFormat;
}

bool TdxGPImage::GetIsAlphaUsed() {
  if (!FIsAlphaUsedAssigned) {
    ComputeIsAlphaUsed();
    FIsAlphaUsedAssigned = true;
  }
  return FIsAlphaUsed;
}

void TdxGPImage::ComputeIsAlphaUsed() {
  FIsAlphaUsed = false;
  if (Empty()) return;
  TRGBColors pixels = GetPixels();
  FIsAlphaUsed = std::any_of(pixels.begin(), pixels.end(), [](const RGBQUAD& q) { return q.rgbReserved != 255; });
}

void TdxGPImage::Changed(TObject* Sender) {
  FIsAlphaUsedAssigned = false;
  TGraphic::Changed(Sender);
}

// ---- Pixels -------------------------------------------------------------------------------------

void TdxGPImage::SetPixels(Integer AWidth, Integer AHeight, bool AHasAlphaChannel, const TRGBColors& APixels) {
  FreeHandleAndData();
  auto bits = std::make_shared<TRGBColors>(APixels);
  bits->resize(static_cast<size_t>(std::max(0, AWidth)) * static_cast<size_t>(std::max(0, AHeight)));
  if (!AHasAlphaChannel)
    for (RGBQUAD& q : *bits) q.rgbReserved = 255;
  FImageData->Bits = std::move(bits);
  FImageData->BitsWidth = AWidth;
  FImageData->BitsHeight = AHeight;
  // No pixels at all is no pending data.
  if (FImageData->Bits->empty()) FImageData->Clear();
}

void TdxGPImage::ReplacePixels(Integer AWidth, Integer AHeight, bool AHasAlphaChannel, const TRGBColors& APixels) {
  SetPixels(AWidth, AHeight, AHasAlphaChannel, APixels);
  Changed(this);
}

TBitmap* TdxGPImage::ToBitmap32() {
  auto* bitmap = new TBitmap();
  auto guard = TScopeExit(seOnUnwind, [&] { delete bitmap; });
  GpImage* handle = GetHandle();
  if (!handle) {
    bitmap->SetPixelFormat(pf32bit);
    return bitmap;
  }
  HBITMAP hbm = nullptr;
  dxGpCheck(dxGpApi.GdipCreateHBITMAPFromBitmap(static_cast<GpBitmap*>(handle), &hbm, 0));
  bitmap->SetHandle(hbm);
  return bitmap;
}

TRGBColors TdxGPImage::GetPixels() {
  TRGBColors pixels;
  std::unique_ptr<TBitmap> bitmap(ToBitmap32());
  if (!bitmap->Empty()) dxGetBitmapPixels(bitmap->Handle(), pixels, true);
  return pixels;
}

void TdxGPImage::SetFromBitmap(TBitmap* ABitmap) {
  if (dxGetBitmapBitsPerPixel(ABitmap) < 32) {
    GpBitmap* bitmap = nullptr;
    dxGpCheck(dxGpApi.GdipCreateBitmapFromHBITMAP(ABitmap->Handle(), nullptr, &bitmap));
    FreeHandleAndData();
    FHandle = bitmap;
    DetectFormat();
  } else {
    TRGBColors pixels;
    dxGetBitmapPixels(ABitmap->Handle(), pixels, true);
    SetPixels(ABitmap->Width(), ABitmap->Height(), true, pixels);
  }
}

void TdxGPImage::TakeGraphic(TBitmap* ABitmap) {
  SetFromBitmap(ABitmap);
  Changed(this);
}

// ---- Assignment ---------------------------------------------------------------------------------

void TdxGPImage::Assign(TPersistent* Source) {
  if (!Source)
    ReleaseImage();
  else if (auto* image = dynamic_cast<TdxGPImage*>(Source))
    AssignFromImage(image);
  else if (auto* graphic = dynamic_cast<TGraphic*>(Source))
    AssignGraphicViaBitmap(graphic);
  else
    TGraphic::Assign(Source);
}

void TdxGPImage::AssignTo(TPersistent* Dest) {
  if (auto* image = dynamic_cast<TdxGPImage*>(Dest))
    image->AssignFromImage(this);
  else if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
    std::unique_ptr<TBitmap> b(ToBitmap32());
    bitmap->Assign(b.get());
  } else
    TGraphic::AssignTo(Dest);
}

void TdxGPImage::AssignFromImage(TdxGPImage* AImage) {
  if (AImage == this) return;
  if (AImage->Empty())
    ReleaseImage();
  else if (!AImage->FImageData->Empty()) {
    FreeHandleAndData();
    FImageData->Assign(*AImage->FImageData);
    Changed(this);
  } else if (AImage->GetImageFormat() == dxImageBitmap && AImage->FHandle) {
    std::unique_ptr<TBitmap> b(AImage->ToBitmap32());
    TakeGraphic(b.get());
  } else {
    TdxGPMemoryStream stream;
    AImage->SaveToStream(&stream);
    stream.SetPosition(0);
    LoadFromStream(&stream);
  }
}

void TdxGPImage::AssignGraphicViaBitmap(TGraphic* AGraphic) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(AGraphic)) {
    TakeGraphic(bitmap);
    return;
  }
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(AGraphic->Width(), AGraphic->Height());
  bitmap.Canvas()->Draw(0, 0, AGraphic);
  TakeGraphic(&bitmap);
}

TdxGPImage* TdxGPImage::MakeCopy() {
  auto* copy = static_cast<TdxGPImage*>(ClassType()->Factory(nullptr));
  auto guard = TScopeExit(seOnUnwind, [&] { delete copy; });
  copy->Assign(this);
  return copy;
}

// ---- Streams ------------------------------------------------------------------------------------

void TdxGPImage::LoadFromStreamCore(TStream* AStream, bool) {
  FreeHandleAndData();
  Int64 rest = AStream->Size() - AStream->Position();
  if (rest > 0) {
    auto* data = new TdxGPMemoryStream();
    auto guard = TScopeExit(seOnUnwind, [&] { delete data; });
    data->CopyFrom(AStream, rest);
    data->SetPosition(0);
    FImageData->Data = data;
  }
}

void TdxGPImage::LoadFromStream(TStream* Stream) {
  LoadFromStreamCore(Stream, false);
  Changed(this);
}

void TdxGPImage::SaveToStream(TStream* Stream) { SaveToStreamByFormat(Stream, GetImageFormat()); }

void TdxPNGImage::SaveToStream(TStream* Stream) { SaveToStreamByFormat(Stream, dxImagePng); }

void TdxGPImage::SaveToStreamByFormat(TStream* AStream, TdxGPImageFormat AFormat) {
  EnsureHandle();
  if (!FHandle) return;
  dxGetImageEncoder(AFormat);  // a format code out of range raises first
  TdxGPMemoryStream* original = FImageData->Data;
  if (original && AFormat == FImageDataFormat) {
    // Unchanged since it was loaded: its own bytes, no re-encoding.
    original->SetPosition(0);
    AStream->CopyFrom(original, original->Size());
    original->SetPosition(0);
    return;
  }
  std::unique_ptr<TdxGPMemoryStream> encoded(EncodeImage(FHandle, AFormat));
  AStream->CopyFrom(encoded.get(), encoded->Size());
  encoded->SetPosition(0);
  // The image reloads from its own format: from the encoded stream when it
  // is that format, from the stream it was loaded from when it still holds
  // one (a second encoding would lose quality), else from a new encoding.
  TdxGPMemoryStream* reload;
  if (AFormat == FImageDataFormat)
    reload = encoded.release();
  else if (original)
    reload = CopyOfStream(original);
  else
    reload = EncodeImage(FHandle, FImageDataFormat);
  FreeHandleAndData();
  FImageData->Data = reload;
}

void TdxGPImage::ConvertToFormat(TdxGPImageFormat AFormat) {
  if (GetImageFormat() == AFormat) return;
  TdxGPMemoryStream stream;
  SaveToStreamByFormat(&stream, AFormat);
  stream.SetPosition(0);
  LoadFromStream(&stream);
}

void TdxGPImage::LoadFromResource(HINSTANCE AInstance, const AnsiString& AResName, LPCSTR AResType) {
  TResourceStream stream(AInstance, AResName, AResType);
  LoadFromStream(&stream);
}

void TdxGPImage::LoadFromClipboardFormat(Word AFormat, HANDLE AData, HPALETTE APalette) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.LoadFromClipboardFormat(AFormat, AData, APalette);
  TakeGraphic(&bitmap);
}

void TdxGPImage::SaveToClipboardFormat(Word& AFormat, HANDLE& AData, HPALETTE& APalette) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(Width(), Height());
  bitmap.Canvas()->Brush()->SetColor(clWhite);
  bitmap.Canvas()->FillRect(TRect(0, 0, Width(), Height()));
  DrawOnDC(bitmap.Canvas()->Handle(), TRect(0, 0, Width(), Height()));
  bitmap.SaveToClipboardFormat(AFormat, AData, APalette);
}

// ---- Drawing and transforms ---------------------------------------------------------------------

void TdxGPImage::Draw(TCanvas* ACanvas, const TRect& Rect) { DrawOnDC(ACanvas->Handle(), Rect); }

void TdxGPImage::DrawOnDC(HDC DC, const TRect& ADest, TdxGpAlpha AAlpha) {
  DrawPartOnDC(DC, ADest, AAlpha, GetClientRect());
}

void TdxGPImage::DrawPartOnDC(HDC DC, const TRect& ADest, TdxGpAlpha AAlpha, const TRect& ASource) {
  if (!GetHandle()) return;
  TdxGPPaintCanvas* canvas = dxGpSharedPaintCanvas();
  canvas->BeginPaint(DC, ADest);
  auto guard = TScopeExit([&] { canvas->EndPaint(); });
  canvas->DrawImagePart(this, ADest, AAlpha, ASource);
}

void TdxGPImage::ScaleTo(Integer AWidth, Integer AHeight) {
  FImageData->NewSize = TSize(AWidth, AHeight);
  if (!FHandle) return;
  GpBitmap* bitmap = dxGpCreateBitmapForRect(TRect(0, 0, AWidth, AHeight));
  auto guard = TScopeExit(seOnUnwind, [&] { dxGpApi.GdipDisposeImage(bitmap); });
  GpGraphics* graphics = nullptr;
  dxGpCheck(dxGpApi.GdipGetImageGraphicsContext(bitmap, &graphics));
  {
    auto closeGraphics = TScopeExit([&] { dxGpApi.GdipDeleteGraphics(graphics); });
    dxGpCheck(dxGpApi.GdipDrawImageRectI(graphics, FHandle, 0, 0, AWidth, AHeight));
  }
  SetHandle(bitmap);
}

void TdxGPImage::TintWithColor(TColor AColor) {
  if (AColor == clNone || AColor == clDefault || Empty()) return;
  COLORREF c = ColorToRGB(AColor);
  int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  TSize size = GetSize();
  TRGBColors pixels = GetPixels();
  for (RGBQUAD& q : pixels) {
    int a = q.rgbReserved;
    q.rgbBlue = static_cast<BYTE>(MulDiv(b, a, 255));
    q.rgbGreen = static_cast<BYTE>(MulDiv(g, a, 255));
    q.rgbRed = static_cast<BYTE>(MulDiv(r, a, 255));
  }
  ReplacePixels(size.cx, size.cy, true, pixels);
}

bool TdxGPImage::SamePixelsAs(TdxGPImage* AImage) {
  TSize a = GetSize(), b = AImage->GetSize();
  if (a.cx != b.cx || a.cy != b.cy) return false;
  if (Empty() && AImage->Empty()) return true;
  TRGBColors p1 = GetPixels(), p2 = AImage->GetPixels();
  return p1.size() == p2.size() && std::memcmp(p1.data(), p2.data(), p1.size() * sizeof(RGBQUAD)) == 0;
}

// ---- Unit ----------------------------------------------------------------------------------------

namespace dx_gdiplus_detail {

namespace {
bool gClassesRegistered = false;
}

void StartImagesUnit() {
  BindWindowFromDC();
  // A start-up after a shut-down hands the shared canvas objects out again.
  AllowSharedCanvasObjects();
  if (gClassesRegistered || !dxGpCheckAvailable(false)) return;
  dxGpPrepareEncoders();
  RegisterClasses({TdxPNGImage::StaticClass(), TdxSmartImage::StaticClass()});
  TPicture::RegisterFileFormat("PNG", "PNG image", TdxPNGImage::StaticClass());
  TPicture::RegisterFileFormat("TIF;*.GIF;*.BMP;*.JPG;*.JPEG", "All graphics", TdxSmartImage::StaticClass());
  gClassesRegistered = true;
}

void StopImagesUnit() {
  FreeSharedCanvasObjects();
  if (!gClassesRegistered) return;
  TPicture::UnregisterGraphicClass(TdxSmartImage::StaticClass());
  TPicture::UnregisterGraphicClass(TdxPNGImage::StaticClass());
  UnRegisterClasses({TdxPNGImage::StaticClass(), TdxSmartImage::StaticClass()});
  gClassesRegistered = false;
}

}  // namespace dx_gdiplus_detail
