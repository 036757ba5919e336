// JPEG pictures: the file kept as it was loaded, decoded into a bitmap
// when drawn, encoded again when a bitmap is assigned.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/forms/bitmap.h"

RTL_EXCEPTION(EJPEG, EInvalidGraphic)

RTL_ENUM(TJPEGScale, jsFullSize, jsHalf, jsQuarter, jsEighth)
// 1 (smallest file) to 100 (best picture).
using TJPEGQualityRange = Integer;

// A JPEG image. Loading reads the header only (the size); the pixels are
// decoded on first use, at Scale and in colour or grey. A bitmap assigned
// to it is compressed at CompressionQuality when the JPEG data is needed.
// Data that is not a JPEG file, or cannot be decoded, raises EJPEG
// "JPEG error #53".
class TJPEGImage : public TGraphic {
  RTL_CLASS(TJPEGImage, TGraphic)
  std::vector<uint8_t> FData;        // the JPEG file; empty until compressed
  std::unique_ptr<TBitmap> FBitmap;  // the decoded (or assigned) pixels
  Integer FWidth = 0;                // of the image at full size
  Integer FHeight = 0;
  TJPEGQualityRange FQuality = 90;
  bool FGrayscale = false;
  TJPEGScale FScale = jsFullSize;

  // Drops pixels that can be decoded again from the data.
  void FreeBitmap();

 protected:
  void AssignTo(TPersistent* Dest) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  bool GetEmpty() const override { return FData.empty() && !FBitmap; }
  // At Scale (rounded up, as the decoder does).
  Integer GetWidth() const override;
  Integer GetHeight() const override;

 public:
  TJPEGImage();
  ~TJPEGImage() override;

  // A TJPEGImage (its data and settings) or a TBitmap (its pixels).
  void Assign(TPersistent* Source) override;
  // A JPEG image is not resized: these do nothing.
  void SetWidth(Integer) override {}
  void SetHeight(Integer) override {}

  // Encodes the pixels into JPEG data at CompressionQuality.
  void Compress();
  // Decodes the pixels when they are not there.
  void DIBNeeded();
  // Encodes when there is no JPEG data yet.
  void JPEGNeeded();

  TJPEGQualityRange CompressionQuality() const { return FQuality; }
  // Clamped to 1..100.
  void SetCompressionQuality(TJPEGQualityRange Value);
  bool Grayscale() const { return FGrayscale; }
  void SetGrayscale(bool Value);
  TJPEGScale Scale() const { return FScale; }
  void SetScale(TJPEGScale Value);

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
};
