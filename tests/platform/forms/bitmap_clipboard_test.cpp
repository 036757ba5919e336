// Graphics as clipboard data: a bitmap saves a packed DIB and reads one
// back, or a bitmap handle; a graphic without a clipboard format refuses.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/forms/bitmap.h"
#include "platform/forms/icon.h"
#include "platform/win/user/user.h"

namespace {

void Paint(TBitmap& B) {
  B.SetPixelFormat(pf32bit);
  B.SetSize(5, 3);
  for (int y = 0; y < 3; ++y) {
    auto* row = static_cast<uint32_t*>(B.ScanLine(y));
    for (int x = 0; x < 5; ++x) row[x] = 0x80000000u | static_cast<uint32_t>(y * 16 + x);
  }
}

bool SamePixels(TBitmap& A, TBitmap& B) {
  if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
  for (int y = 0; y < A.Height(); ++y)
    if (std::memcmp(A.ScanLine(y), B.ScanLine(y), static_cast<size_t>(A.Width()) * 4) != 0) return false;
  return true;
}

TEST(BitmapClipboard, DibRoundTripKeepsPixelsAndAlpha) {
  TBitmap source;
  Paint(source);
  Word format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = reinterpret_cast<HPALETTE>(1);
  source.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, CF_DIB);
  EXPECT_EQ(palette, nullptr);
  ASSERT_NE(data, nullptr);
  TBitmap read;
  read.LoadFromClipboardFormat(format, data, nullptr);
  EXPECT_EQ(read.PixelFormat(), pf32bit);
  EXPECT_TRUE(SamePixels(source, read));
  GlobalFree(data);
}

TEST(BitmapClipboard, BitmapHandleIsCopied) {
  TBitmap source;
  Paint(source);
  TBitmap read;
  read.LoadFromClipboardFormat(CF_BITMAP, source.Handle(), nullptr);
  EXPECT_NE(read.Handle(), source.Handle());
  EXPECT_TRUE(SamePixels(source, read));
}

TEST(BitmapClipboard, UnsupportedFormatsRaise) {
  TBitmap bitmap;
  EXPECT_THROW(bitmap.LoadFromClipboardFormat(CF_TEXT, nullptr, nullptr), EInvalidGraphic);
  EXPECT_THROW(bitmap.LoadFromClipboardFormat(CF_DIB, nullptr, nullptr), EInvalidGraphic);
  TIcon icon;
  Word format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  EXPECT_THROW(icon.SaveToClipboardFormat(format, data, palette), EInvalidGraphic);
}

}  // namespace
