// Pictures for the image list's tests: strips of solid cells in known
// colours, and pixel probes on 32-bit bitmaps and on native images.
#pragma once

#include <initializer_list>
#include <memory>
#include <vector>

#include "ui/foundation/bitmaps.h"
#include "ui/foundation/image_list.h"

namespace image_list_testing {

// Pixel values (blue low byte, alpha high byte).
constexpr Cardinal kRed = 0xFFFF0000u;
constexpr Cardinal kGreen = 0xFF00FF00u;
constexpr Cardinal kBlue = 0xFF0000FFu;
constexpr Cardinal kYellow = 0xFFFFFF00u;
constexpr Cardinal kGrey = 0xFF808080u;

inline RGBQUAD Quad(Cardinal V) {
  return RGBQUAD{static_cast<Byte>(V), static_cast<Byte>(V >> 8), static_cast<Byte>(V >> 16),
                 static_cast<Byte>(V >> 24)};
}

inline Cardinal Value(const RGBQUAD& Q) {
  return Cardinal(Q.rgbBlue) | Cardinal(Q.rgbGreen) << 8 | Cardinal(Q.rgbRed) << 16 | Cardinal(Q.rgbReserved) << 24;
}

// Pixel (X, Y), Y counted from the top.
inline Cardinal PixelAt(TcxBitmap32& B, Integer X, Integer Y) {
  TRGBColors p;
  B.GetPixels(p);
  return Value(p[size_t(B.Height() - 1 - Y) * B.Width() + X]);
}

// A 32-bit strip of ACellW x AH cells, left to right, in the colours given.
inline std::unique_ptr<TcxBitmap32> Strip(Integer ACellW, Integer AH, std::initializer_list<Cardinal> AColors) {
  const Integer n = static_cast<Integer>(AColors.size());
  auto b = std::make_unique<TcxBitmap32>(ACellW * n, AH);
  TRGBColors p(size_t(ACellW) * n * AH);
  for (Integer y = 0; y < AH; ++y)
    for (Integer x = 0; x < ACellW * n; ++x) p[size_t(y) * ACellW * n + x] = Quad(AColors.begin()[x / ACellW]);
  b->SetPixels(p);
  return b;
}

// A 32-bit bitmap of one colour.
inline std::unique_ptr<TcxBitmap32> Solid(Integer AW, Integer AH, Cardinal AColor) { return Strip(AW, AH, {AColor}); }

// Native image AIndex of the list as a 32-bit bitmap.
inline std::unique_ptr<TcxBitmap32> NativeImage(TCustomImageList& AList, Integer AIndex) {
  auto b = std::make_unique<TcxBitmap32>();
  TcxImageList::ReadNativeImage(AList.Handle(), AIndex, nullptr, b.get());
  return b;
}

// Native mask of image AIndex: white (0x00FFFFFF) where transparent.
inline std::unique_ptr<TcxBitmap32> NativeMask(TCustomImageList& AList, Integer AIndex) {
  auto b = std::make_unique<TcxBitmap32>();
  TcxImageList::ReadNativeImage(AList.Handle(), AIndex, b.get(), nullptr);
  return b;
}

// The colour at the top-left corner of each native image.
inline std::vector<Cardinal> NativeColors(TCustomImageList& AList) {
  std::vector<Cardinal> out;
  for (Integer i = 0; i < AList.Count(); ++i) out.push_back(PixelAt(*NativeImage(AList, i), 0, 0) & 0xFFFFFF);
  return out;
}

// The colour at the top-left corner of each info's image.
inline std::vector<Cardinal> InfoColors(TcxImageList& AList) {
  std::vector<Cardinal> out;
  for (Integer i = 0; i < AList.ImageInfo()->Count(); ++i) {
    TcxBitmap32 copy(1, 1);
    TcxBitmap* image = AList.ImageInfo()->Items(i)->ImageInfo()->Image();
    BitBlt(copy.Canvas()->Handle(), 0, 0, 1, 1, image->Canvas()->Handle(), 0, 0, SRCCOPY);
    out.push_back(PixelAt(copy, 0, 0) & 0xFFFFFF);
  }
  return out;
}

inline std::vector<Cardinal> Rgb(std::initializer_list<Cardinal> AColors) {
  std::vector<Cardinal> out;
  for (Cardinal c : AColors) out.push_back(c & 0xFFFFFF);
  return out;
}

}  // namespace image_list_testing
