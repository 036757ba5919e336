// Pictures: the graphic base class and bitmaps.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/forms/graphics.h"
#include "platform/rtl/streams.h"

class TBitmapCanvas;

// A picture that can draw itself on a canvas and travel through streams.
class TGraphic : public TInterfacedPersistent {
  RTL_CLASS(TGraphic, TInterfacedPersistent)
  friend class TCanvas;
  friend class TPicture;
  bool FModified = false;

 protected:
  bool FTransparent = false;


  // Marks the graphic modified and fires OnChange.
  virtual void Changed(TObject* Sender);
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  virtual bool GetEmpty() const = 0;
  virtual Integer GetWidth() const = 0;
  virtual Integer GetHeight() const = 0;
  virtual bool GetTransparent() const { return FTransparent; }
  // The binary "Data" value of a form description, written when the
  // graphic is not empty (or differs from the ancestor's).
  void DefineProperties(TFiler* Filer) override;
  virtual void ReadData(TStream* Stream);
  virtual void WriteData(TStream* Stream);

 public:
  TGraphic() = default;

  bool Empty() const { return GetEmpty(); }
  Integer Width() const { return GetWidth(); }
  Integer Height() const { return GetHeight(); }
  virtual void SetWidth(Integer Value) = 0;
  virtual void SetHeight(Integer Value) = 0;
  virtual void SetSize(Integer AWidth, Integer AHeight);
  bool Transparent() const { return GetTransparent(); }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  // True fires OnChange; false only clears the flag.
  void SetModified(bool Value);

  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  void LoadFromFile(const AnsiString& FileName);
  void SaveToFile(const AnsiString& FileName);
  // Clipboard data in a clipboard format (AData is what GetClipboardData
  // gives; the clipboard keeps owning it), and this graphic as clipboard
  // data of a format the caller hands to SetClipboardData. A graphic class
  // without a clipboard format raises EInvalidGraphic "Unsupported
  // clipboard format".
  virtual void LoadFromClipboardFormat(Word AFormat, HANDLE AData, HPALETTE APalette);
  virtual void SaveToClipboardFormat(Word& AFormat, HANDLE& AData, HPALETTE& APalette);
  // Same class and the same saved bytes.
  virtual bool Equals(TGraphic* Graphic);

  TNotifyEvent OnChange;
};
using TGraphicClass = TClass;

// ---- TBitmap ------------------------------------------------------------

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };
// How Draw treats the fourth byte of a 32-bit bitmap: copied as it is,
// straight alpha blended, or premultiplied alpha blended.
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };

// A bitmap: a device-dependent bitmap (pfDevice, the default) or a DIB
// section of a given pixel format. The pixels survive changes of size
// (new area filled with the canvas's brush, white at first) and of format.
// Its canvas draws into it; the canvas's DC is let go whenever the bitmap
// changes underneath or its Handle is taken.
//
// BMP files: 1, 4, 8, 16, 24 and 32 bits per pixel are read (RLE4 and RLE8
// too, with bit-field masks, top-down or bottom-up, core or info headers
// up to version 5); a 32-bit bitmap keeps its fourth byte both ways. A
// malformed file raises EInvalidGraphic "Bitmap image is not valid".
class TBitmap : public TGraphic {
  RTL_CLASS(TBitmap, TGraphic)
  friend class TBitmapCanvas;

  HBITMAP FHandle = nullptr;
  HBITMAP FMaskHandle = nullptr;
  bool FMaskValid = false;
  Integer FWidth = 0;
  Integer FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;  // pfDevice for a DDB
  bool FMonochrome = false;              // a 1-bit DDB
  bool FTopDown = false;                 // a DIB section given through SetHandle
  std::vector<RGBQUAD> FColors;          // colour table of 1-, 4- and 8-bit DIBs
  std::unique_ptr<TMemoryStream> FImage;  // the BMP file image while dormant
  std::unique_ptr<TBitmapCanvas> FCanvas;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  TAlphaFormat FAlphaFormat = afIgnored;

  void FreeContext();
  void FreeHandles();
  void HandleNeeded();
  void MaskHandleNeeded();
  // Re-creates the bitmap in another size or format, keeping the pixels.
  void Reformat(Integer AWidth, Integer AHeight, TPixelFormat Format, bool Monochrome);
  void ReadStream(TStream* Stream, Int64 Size);
  void LoadImage(const uint8_t* Data, size_t Size, bool FileHeader);
  void WriteImage(std::vector<uint8_t>& Out);

 protected:
  void Changed(TObject* Sender) override;
  // Drops the dormant file image before the pixels change.
  virtual void Changing(TObject* Sender);
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  bool GetEmpty() const override { return FWidth == 0 || FHeight == 0; }
  Integer GetWidth() const override { return FWidth; }
  Integer GetHeight() const override { return FHeight; }
  // A 4-byte length, then the BMP file image.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 public:
  TBitmap();
  TBitmap(Integer AWidth, Integer AHeight);
  ~TBitmap() override;

  void Assign(TPersistent* Source) override;

  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;
  void SetSize(Integer AWidth, Integer AHeight) override;

  TCanvas* Canvas();
  // The bitmap handle (created when needed); the bitmap keeps owning it.
  HBITMAP Handle();
  // Takes ownership of Value (a DDB or a DIB section).
  void SetHandle(HBITMAP Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Gives the handle to the caller; the bitmap is empty afterwards.
  HBITMAP ReleaseHandle();
  // A 1-bit mask: 1 (white) where the pixel has TransparentColor.
  HBITMAP MaskHandle();
  void SetMaskHandle(HBITMAP Value);
  HBITMAP ReleaseMaskHandle();

  TBitmapHandleType HandleType() const { return FPixelFormat == pfDevice ? bmDDB : bmDIB; }
  void SetHandleType(TBitmapHandleType Value);
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Raises EInvalidGraphic "Invalid pixel format" for pfCustom.
  void SetPixelFormat(TPixelFormat Value);
  // A 1-bit bitmap, DDB or DIB.
  bool Monochrome() const { return FMonochrome || FPixelFormat == pf1bit; }
  // True makes a 1-bit DDB (white where the pixels were white); false a
  // device bitmap.
  void SetMonochrome(bool Value);
  TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
  void SetAlphaFormat(TAlphaFormat Value);

  // The first byte of row Row (0 is the top), turning a DDB into a DIB
  // first. Raises EInvalidGraphicOperation "Scan line index out of range".
  void* ScanLine(Integer Row);

  // tmAuto: the bottom-left pixel (white for a monochrome bitmap); tmFixed:
  // the colour set. Setting clDefault returns to tmAuto.
  TColor TransparentColor();
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  // Keeps the pixels as a BMP file image in memory and frees the handle;
  // the handle comes back (a new one) on next use.
  void Dormant();
  // Drops the memory image of a bitmap that has its handle.
  void FreeImage();

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // CF_BITMAP (a copy of the bitmap handle's pixels) and CF_DIB (a global
  // memory block holding a packed DIB) are read; saving gives CF_DIB.
  void LoadFromClipboardFormat(Word AFormat, HANDLE AData, HPALETTE APalette) override;
  void SaveToClipboardFormat(Word& AFormat, HANDLE& AData, HPALETTE& APalette) override;
  // A bitmap resource (RT_BITMAP, a packed DIB).
  void LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName);
  void LoadFromResourceID(HINSTANCE Instance, Integer ResID);
};
