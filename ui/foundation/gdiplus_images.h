// Pictures over GDI+: TdxGPImage keeps its source lazily (pixels or an
// encoded stream) and makes the GDI+ image on first use; TdxSmartImage
// streams its own encoded form; TdxPNGImage always saves PNG and is the
// picture class of the "PNG" extension. A memory stream on GDI+'s
// allocator and a stream adapter that lends a stream to GDI+ go with them.
#pragma once

#include <memory>
#include <vector>

#include "platform/forms/bitmap.h"
#include "platform/win/kernel/objidl.h"
#include "ui/foundation/gdiplus_binding.h"

// 32-bit pixels (blue, green, red, alpha), rows top-down, premultiplied.
using TRGBColors = std::vector<RGBQUAD>;

// The format of an image, from GDI+'s raw format: memory bitmap, BMP, EMF,
// WMF and icon are dxImageBitmap.
enum TdxGPImageFormat : Byte {
  dxImageUnknown = 0,
  dxImageBitmap = 1,
  dxImageJpeg = 2,
  dxImagePng = 3,
  dxImageTiff = 4,
  dxImageGif = 5,
  dxImageEmf = 6,
};

// A memory stream whose block comes from GDI+'s allocator (the normal one
// while GDI+ is not bound) and is always exactly the capacity asked for.
class TdxGPMemoryStream : public TMemoryStream {
  RTL_CLASS(TdxGPMemoryStream, TMemoryStream)
  void (*FFree)(void*) = nullptr;

 protected:
  void* Realloc(Int64& ANewCapacity) override;

 public:
  TdxGPMemoryStream() = default;
  ~TdxGPMemoryStream() override;
  Int64 StreamCapacity() const { return Capacity(); }
};

// Lends a stream to GDI+ without handing over ownership. Stat answers at
// once for a null record, zero-fills the record first, and reports
// E_UNEXPECTED when the stream fails.
class TdxGPStreamAdapter : public TStreamAdapter {
 public:
  explicit TdxGPStreamAdapter(TStream* AStream, TStreamOwnership AOwnership = soReference)
      : TStreamAdapter(AStream, AOwnership) {}
  HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) override;
};

// The pending data of an image: pixels, or an encoded stream, and a size
// the image is to be scaled to. A copy shares the pixel array (never
// changed once stored) and copies the stream.
class TdxGPImageData : public TObject {
  RTL_CLASS(TdxGPImageData, TObject)

 public:
  std::shared_ptr<TRGBColors> Bits;
  Integer BitsWidth = 0;
  Integer BitsHeight = 0;
  TdxGPMemoryStream* Data = nullptr;  // owned
  TSize NewSize;

  TdxGPImageData() = default;
  ~TdxGPImageData() override;
  void Assign(const TdxGPImageData& ASource);
  void Clear();
  bool Empty() const { return !Bits && !Data; }
};

namespace TdxGPImageDataHelper {
// The first 14 bytes of the stream, the position left where it was; raises
// EReadError for a shorter stream.
void ReadHeader(TStream* AStream, Byte (&AHeader)[14]);
// Whether the stream holds a BMP file ("BM").
bool IsBitmapStream(TStream* AStream);
}  // namespace TdxGPImageDataHelper

class TdxGPImage : public TGraphic {
  RTL_CLASS(TdxGPImage, TGraphic)
  GpImage* FHandle = nullptr;
  TdxGPImageData* FImageData;
  TdxGPImageFormat FImageDataFormat = dxImageUnknown;
  bool FIsAlphaUsed = false;
  bool FIsAlphaUsedAssigned = false;

  void CreateHandleFromData();
  void FreeHandleAndData();
  void ComputeIsAlphaUsed();
  void LoadFromStreamCore(TStream* AStream, bool AFromStart);

 protected:
  void Changed(TObject* Sender) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  bool GetEmpty() const override;
  Integer GetWidth() const override;
  Integer GetHeight() const override;
  bool GetTransparent() const override;
  void AssignTo(TPersistent* Dest) override;

  virtual void AssignFromImage(TdxGPImage* AImage);
  virtual void AssignGraphicViaBitmap(TGraphic* AGraphic);
  virtual bool IsHandleCurrent() const;
  virtual void TakeGraphic(TBitmap* ABitmap);
  // Replaces the handle (old handle and data released), detects the format
  // and signals a change.
  void SetHandle(GpImage* AHandle);
  void SetFromBitmap(TBitmap* ABitmap);
  void DetectFormat();

 public:
  // Create: empty.
  TdxGPImage();
  // CreateFilled: pending pixels of the size, all set to AColor.
  TdxGPImage(const TSize& ASize, TdxGpARGB AColor);
  // CreateFromGraphic.
  explicit TdxGPImage(TBitmap* ABitmap);
  // CreateFromBitmapHandle: a GDI+ bitmap of the handle's pixels.
  explicit TdxGPImage(HBITMAP ABitmap);
  // CreateFromPixels.
  TdxGPImage(Integer AWidth, Integer AHeight, const TRGBColors& APixels, bool AHasAlphaChannel);
  // CreateFromStream: the rest of the stream becomes the pending stream.
  explicit TdxGPImage(TStream* AStream);
  ~TdxGPImage() override;

  static TdxGPImage* CreateFilledForRect(const TRect& R, TdxGpARGB AColor);

  void Assign(TPersistent* Source) override;
  void SetWidth(Integer) override {}
  void SetHeight(Integer) override {}
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void LoadFromClipboardFormat(Word AFormat, HANDLE AData, HPALETTE APalette) override;
  void SaveToClipboardFormat(Word& AFormat, HANDLE& AData, HPALETTE& APalette) override;

  // The GDI+ image, made from the pending data when needed; null when empty.
  GpImage* GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void EnsureHandle();
  TSize GetSize() const;
  TRect GetClientRect() const;
  TdxGPImageFormat GetImageFormat();
  bool GetIsAlphaUsed();
  const TdxGPImageData& ImageData() const { return *FImageData; }

  void DrawOnDC(HDC DC, const TRect& ADest, TdxGpAlpha AAlpha = dxGpOpaque);
  void DrawPartOnDC(HDC DC, const TRect& ADest, TdxGpAlpha AAlpha, const TRect& ASource);
  void LoadFromResource(HINSTANCE AInstance, const AnsiString& AResName, LPCSTR AResType);

  void SetPixels(Integer AWidth, Integer AHeight, bool AHasAlphaChannel, const TRGBColors& APixels);
  void ReplacePixels(Integer AWidth, Integer AHeight, bool AHasAlphaChannel, const TRGBColors& APixels);
  TRGBColors GetPixels();
  // A new 32-bit bitmap of the image; the caller frees it.
  virtual TBitmap* ToBitmap32();
  // A new image of this image's class with the same content.
  virtual TdxGPImage* MakeCopy();
  virtual void TintWithColor(TColor AColor);
  virtual bool SamePixelsAs(TdxGPImage* AImage);
  virtual void ReleaseImage();
  virtual void ScaleTo(Integer AWidth, Integer AHeight);
  void ConvertToFormat(TdxGPImageFormat AFormat);
  // Writes the image encoded in the format (1..5). An image still holding
  // the encoded stream it was loaded from writes that stream as it is when
  // the format is its own, so saving never re-encodes an unchanged image.
  void SaveToStreamByFormat(TStream* AStream, TdxGPImageFormat AFormat);
};

class TdxSmartImage : public TdxGPImage {
  RTL_CLASS(TdxSmartImage, TdxGPImage)

 public:
  using TdxGPImage::TdxGPImage;
  TdxSmartImage() = default;
};

class TdxPNGImage : public TdxSmartImage {
  RTL_CLASS(TdxPNGImage, TdxSmartImage)

 public:
  using TdxSmartImage::TdxSmartImage;
  TdxPNGImage() = default;
  void SaveToStream(TStream* Stream) override;
};

// The class id of the encoder of a format code 1..5; raises EdxException
// "dxGetImageEncoder fails" for any other code.
const CLSID* dxGetImageEncoder(Integer AFormat);

namespace dx_gdiplus_detail {
// The units loader's procedures of the images unit.
void StartImagesUnit();
void StopImagesUnit();
}  // namespace dx_gdiplus_detail
