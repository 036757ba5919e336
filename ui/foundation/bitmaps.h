// The library's bitmaps: TcxBitmap (held change notifications, sized
// constructors, its own canvas, rotation and mirroring, and a compressed
// form of its "Data" value), TcxBitmap32 (always 32 bits per pixel, with
// pixel access and alpha helpers) and TcxAlphaBitmap (transparent colours
// and per-pixel filters for disabled, faded, grey, masked and hatched
// images).
//
// Pixels are 32-bit values, blue in the low byte, then green, red, alpha.
#pragma once

#include <memory>
#include <vector>

#include "platform/forms/bitmap.h"
#include "ui/foundation/canvas.h"

using TRGBColors = std::vector<RGBQUAD>;

// ---- TcxBitmap ----------------------------------------------------------------------

class TcxBitmap : public TBitmap {
  RTL_CLASS(TcxBitmap, TBitmap)
  bool FCompressData = false;
  std::unique_ptr<TcxCanvas> FcxCanvas;
  Integer FChangeLockCount = 0;
  bool FChangeHeld = false;

 protected:
  // While changes are locked only records that one happened; otherwise the
  // framework's notification, then AfterChange.
  void Changed(TObject* Sender) override;
  // The plain form, or the "XDBM" form (versions 1 and 2).
  void ReadData(TStream* Stream) override;
  // The "XDBM" form (version 2) when CompressData, else the plain form.
  void WriteData(TStream* Stream) override;

 public:
  // Create: 0 x 0, 24 bits.
  TcxBitmap();
  // CreateSize: 24 bits.
  TcxBitmap(Integer AWidth, Integer AHeight);
  // CreateSizeFormat.
  TcxBitmap(Integer AWidth, Integer AHeight, TPixelFormat AFormat);
  // CreateForRect, CreateForRectFormat.
  explicit TcxBitmap(const TRect& R) : TcxBitmap(R.Right - R.Left, R.Bottom - R.Top) {}
  TcxBitmap(const TRect& R, TPixelFormat AFormat) : TcxBitmap(R.Right - R.Left, R.Bottom - R.Top, AFormat) {}
  ~TcxBitmap() override;

  // Sets the format and the size with exactly one notification.
  virtual void InitializeBitmap(Integer AWidth, Integer AHeight, TPixelFormat AFormat);
  virtual void AfterChange() {}
  // Negative sizes count as 0; the same size changes nothing.
  virtual void Resize(Integer AWidth, Integer AHeight);
  void ResizeToRect(const TRect& R) { Resize(R.Right - R.Left, R.Bottom - R.Top); }

  void LockChanges() { ++FChangeLockCount; }
  // The held notification (or with AForced one anyway) once the last lock
  // goes.
  void UnlockChanges(bool AForced = false);
  bool ChangesLocked() const { return FChangeLockCount > 0; }

  void CopyBitmap(TBitmap* ASource, DWORD ARop = SRCCOPY);
  void CopyBitmapRect(TBitmap* ASource, const TRect& ADestRect, DWORD ARop, const TPoint& ASourcePoint);
  TRect GetClientRect() { return TRect(0, 0, Width(), Height()); }
  // Created on first use, owned.
  TcxCanvas* GetCxCanvas();
  void RotateFlip(TcxQuarterTurn ARotation, bool AMirror = false);

  bool CompressData() const { return FCompressData; }
  void SetCompressData(bool Value) { FCompressData = Value; }
};

// ---- TcxBitmap32 --------------------------------------------------------------------

class TcxBitmap32 : public TcxBitmap {
  RTL_CLASS(TcxBitmap32, TcxBitmap)

 protected:
  // Any depth read becomes 32 bits, with one notification.
  void ReadData(TStream* Stream) override;

 public:
  TcxBitmap32() : TcxBitmap(0, 0, pf32bit) {}
  // CreateSize: 32 bits, not cleared.
  TcxBitmap32(Integer AWidth, Integer AHeight) : TcxBitmap(AWidth, AHeight, pf32bit) {}
  // CreateSized and CreateForRect: cleared to transparent black when AClear.
  TcxBitmap32(Integer AWidth, Integer AHeight, bool AClear);
  TcxBitmap32(const TRect& R, bool AClear) : TcxBitmap32(R.Right - R.Left, R.Bottom - R.Top, AClear) {}

  // Raises EdxException "Wrong PixelFormat" when the bitmap is not 32 bits
  // deep.
  void AfterChange() override;
  // Every pixel 0.
  virtual void Clear();

  // Under the change lock, then 32 bits with one notification.
  void LoadFromStream(TStream* Stream) override;
  // A bitmap resource; a 32-bit one keeps its alpha.
  void LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName);

  // Width x height pixels, the bottom row first.
  void GetPixels(TRGBColors& APixels);
  void SetPixels(const TRGBColors& APixels);

  void SetAlphaChannel(Byte AValue);
  void MakeOpaque() { SetAlphaChannel(255); }
  // Pixels of the colour become 0; other pixels of alpha 0 become opaque.
  void KeyOutColor(TColor AColor);
  // Pixels under white mask pixels become 0 (destination AND NOT source).
  void CutOutByMask(TBitmap* AMask);
  bool HasAlpha();
  // Each colour channel c := MulDiv(c, alpha, 255).
  void Premultiply();
  // Blends the whole bitmap into R of the destination (alpha_blend.h).
  void AlphaBlendTo(TBitmap* ADest, const TRect& R, Byte AAlpha = 255, bool ASmooth = false);
};

// ---- TcxAlphaBitmap -----------------------------------------------------------------

enum TcxBitmapFilter {
  bfFade,
  bfDisable,
  bfGrayAverage,
  bfOpaque,
  bfMask,
  bfGrayLuma,
  bfGrayLumaAlt,
  bfFixAlpha,
  bfHatch,
  bfFillBkColor,
  bfClearAlpha
};

// Colours as pixel values.
struct TcxHatchData {
  Cardinal Color1 = 0;
  Byte Alpha1 = 0;
  Cardinal Color2 = 0;
  Byte Alpha2 = 0;
  Byte Step = 1;
};

// RGB values in pixel byte order (top byte 0), compared by value.
class TcxColorList {
  std::vector<Cardinal> FItems;

 public:
  void Add(Cardinal AValue) { FItems.push_back(AValue); }
  void Clear() { FItems.clear(); }
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  bool Contains(Cardinal AValue) const;
};

class TcxAlphaBitmap : public TcxBitmap32 {
  RTL_CLASS(TcxAlphaBitmap, TcxBitmap32)
  Cardinal FTransparentBkColor = 0;
  TcxColorList FTransparentPixels;
  TPoint FCurrentPixel;
  TcxHatchData FHatchData;


 public:
  TcxAlphaBitmap() : TcxAlphaBitmap(0, 0) {}
  TcxAlphaBitmap(Integer AWidth, Integer AHeight);
  TcxAlphaBitmap(Integer AWidth, Integer AHeight, bool AClear);
  // A transparent background colour given as a pixel value.
  static std::unique_ptr<TcxAlphaBitmap> CreateWithBkColor(Integer AWidth, Integer AHeight, Cardinal ABkColor);

  // The background colour when its alpha is not 0, else transparent black.
  void Clear() override;

  void ApplyFilter(TcxBitmapFilter AFilter);
  // The background colour in all 32 bits, or an RGB of the list.
  bool IsTransparentPixel(Cardinal APixel) const;
  void AddTransparentColor(TColor AColor);
  // The list holds only this colour, which also becomes the background
  // colour (alpha 0); pixels of alpha 0 of other colours become opaque.
  void SetTransparentColor(TColor AColor);
  void DrawHatch(TColor AColor1, TColor AColor2, Byte AStep, Byte AAlpha1, Byte AAlpha2);
  void SetHatchData(const TcxHatchData& AData);

  Cardinal TransparentBkColor() const { return FTransparentBkColor; }
  void SetTransparentBkColor(Cardinal Value) { FTransparentBkColor = Value; }
  TcxColorList* TransparentPixels() { return &FTransparentPixels; }
  TPoint CurrentPixel() const { return FCurrentPixel; }
};

// ---- Helpers --------------------------------------------------------------------------

// Rounds to the nearest integer (halves to even) and clamps to 0..255.
Byte cxRoundClampByte(float AValue);
// With a = AAlpha / 255 and k = 1 - (colour alpha x a) / 255, each byte
// becomes colour x a + pixel x k.
void cxBlendPixel(const RGBQUAD& AColor, RGBQUAD& APixel, Byte AAlpha);
// Rotates a quarter or half turn and/or turns the picture upside down.
void cxRotateBitmapPixels(TBitmap* ABitmap, TcxQuarterTurn ARotation, bool AMirror);
// Every pixel 0.
void cxFillBitmapBlack(TBitmap* ABitmap);

// The "XDBM" run coding of a byte run made of whole blocks of ABlockSize
// bytes (runs of 1 to 125 blocks, literal ones marked by 0x80).
void cxEncodeBitmapRuns(const Byte* AData, size_t ASize, Integer ABlockSize, std::vector<Byte>& AOutput);

namespace cx_graphics_detail {
// The bitmap classes that streamed properties create by name.
TClass BitmapClass();
TClass Bitmap32Class();
}  // namespace cx_graphics_detail
