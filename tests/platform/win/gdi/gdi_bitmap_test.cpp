#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/common/dib_canvas.h"

namespace {

// BITMAPINFO with room for a 256-entry colour table or three masks.
struct TInfo {
  BITMAPINFOHEADER h{};
  RGBQUAD colors[256]{};
  BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

TInfo Header(int w, int h, int bits, DWORD compression = BI_RGB) {
  TInfo i;
  i.h = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, h, 1, WORD(bits), compression, 0, 0, 0, 0, 0};
  return i;
}

struct TDepthCase {
  int bits;
  DWORD compression;
  std::vector<uint32_t> colours;  // exactly representable in the depth
};

class DibRoundTrip : public ::testing::TestWithParam<TDepthCase> {};

TEST_P(DibRoundTrip, GetThenSetGivesThePixelsBack) {
  const TDepthCase& k = GetParam();
  const int w = 7, h = 5;
  TDibCanvas src(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) src.At(x, y) = k.colours[size_t(x + y * 3) % k.colours.size()];
  for (int orientation : {1, -1}) {
    TInfo info = Header(w, h * orientation, k.bits, k.compression);
    if (k.compression == BI_BITFIELDS) {
      DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
      std::memcpy(info.colors, masks, sizeof(masks));
    }
    std::vector<uint8_t> bits(size_t(((w * k.bits + 31) / 32) * 4 * h));
    ASSERT_EQ(GetDIBits(src.dc, src.bmp, 0, h, bits.data(), info.get(), DIB_RGB_COLORS), h) << k.bits;
    EXPECT_EQ(info.h.biSizeImage, bits.size());
    TDibCanvas dst(w, h, 0xDEADBEEFu);
    ASSERT_EQ(SetDIBits(dst.dc, dst.bmp, 0, h, bits.data(), info.get(), DIB_RGB_COLORS), h);
    uint32_t mask = k.bits == 32 ? 0xFFFFFFFFu : 0x00FFFFFFu;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        EXPECT_EQ(dst.At(x, y) & mask, src.At(x, y) & mask) << k.bits << " bpp at " << x << "," << y << " o "
                                                           << orientation;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Depths, DibRoundTrip,
    ::testing::Values(TDepthCase{1, BI_RGB, {0x000000, 0xFFFFFF}},
                      TDepthCase{4, BI_RGB, {0x000000, 0x800000, 0x008080, 0xC0C0C0, 0xFF0000, 0xFFFFFF}},
                      TDepthCase{8, BI_RGB, {0x000000, 0x336699, 0xFFCC00, 0xC0C0C0, 0xFFFFFF}},
                      TDepthCase{16, BI_RGB, {0x000000, 0xFF0800, 0x08FF84, 0xFFFFFF}},
                      TDepthCase{16, BI_BITFIELDS, {0x000000, 0xFF0400, 0x08FF84, 0xFFFFFF}},
                      TDepthCase{24, BI_RGB, {0x000000, 0x123456, 0xFEDCBA, 0xFFFFFF}},
                      TDepthCase{32, BI_RGB, {0x00000000, 0x80123456, 0xFFFEDCBA, 0x7F00FF00}}),
    [](const auto& info) {
      return std::to_string(info.param.bits) + (info.param.compression == BI_BITFIELDS ? "Bitfields" : "");
    });

TEST(BitmapTest, SizeQueryAndRowRanges) {
  TDibCanvas src(3, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x) src.At(x, y) = uint32_t(y * 16 + x);
  TInfo info;
  info.h.biSize = sizeof(BITMAPINFOHEADER);
  ASSERT_NE(GetDIBits(src.dc, src.bmp, 0, 4, nullptr, info.get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(info.h.biWidth, 3);
  EXPECT_EQ(std::abs(info.h.biHeight), 4);
  EXPECT_EQ(info.h.biBitCount, 32);
  EXPECT_EQ(info.h.biSizeImage, 48u);
  // Bottom-up scans count from the bottom row.
  info = Header(3, 4, 32);
  uint32_t rows[6] = {};
  EXPECT_EQ(GetDIBits(src.dc, src.bmp, 1, 2, rows, info.get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(rows[0], 0x20u) << "scan 1 is the second row from the bottom";
  EXPECT_EQ(rows[3], 0x10u);
  info = Header(3, -4, 32);
  EXPECT_EQ(GetDIBits(src.dc, src.bmp, 1, 2, rows, info.get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(rows[0], 0x10u) << "top-down scans count from the top";
  EXPECT_EQ(GetDIBits(src.dc, src.bmp, 3, 5, rows, info.get(), DIB_RGB_COLORS), 1) << "clipped to the height";
  // SetDIBits of a row range.
  uint32_t one[3] = {0xAA, 0xBB, 0xCC};
  info = Header(3, 4, 32);
  EXPECT_EQ(SetDIBits(src.dc, src.bmp, 3, 1, one, info.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(src.At(0, 0), 0xAAu) << "scan 3 of a bottom-up image is the top row";
}

TEST(BitmapTest, DibSectionsInEveryDepthTakeDrawing) {
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    TInfo info = Header(8, -2, bits);
    if (bits <= 8) {
      info.colors[0] = RGBQUAD{0, 0, 0, 0};
      info.colors[1] = RGBQUAD{0, 0, 255, 0};  // red
      info.h.biClrUsed = 2;
    }
    void* p = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &p, nullptr, 0);
    ASSERT_NE(b, nullptr) << bits;
    ASSERT_NE(p, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    RECT r{0, 0, 4, 1};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &r, red);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0)) << bits;
    EXPECT_EQ(GetPixel(dc, 4, 0), RGB(0, 0, 0)) << bits;
    DIBSECTION ds{};
    GetObject(b, sizeof(ds), &ds);
    EXPECT_EQ(ds.dsBm.bmBits, p) << "the bits pointer stays";
    EXPECT_EQ(ds.dsBm.bmBitsPixel, bits);
    if (bits == 8) {
      EXPECT_EQ(static_cast<uint8_t*>(p)[0], 1) << "palette index of red";
    }
    if (bits == 1) {
      EXPECT_EQ(static_cast<uint8_t*>(p)[0], 0xF0);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(red);
    DeleteObject(b);
  }
}

TEST(BitmapTest, MonochromeAndCompatibleBitmaps) {
  const uint8_t pattern[4] = {0xF0, 0x00, 0x0F, 0x00};
  HBITMAP mono = CreateBitmap(8, 2, 1, 1, pattern);
  uint8_t back[4] = {};
  EXPECT_EQ(GetBitmapBits(mono, 4, back), 4);
  EXPECT_EQ(std::memcmp(back, pattern, 4), 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, mono);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 0));
  // A fresh memory DC holds a 1x1 monochrome bitmap, so its compatible
  // bitmaps are monochrome; a screen DC makes colour ones.
  HDC fresh = CreateCompatibleDC(nullptr);
  HBITMAP m2 = CreateCompatibleBitmap(fresh, 4, 4);
  BITMAP bm{};
  GetObject(m2, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HBITMAP c2 = CreateCompatibleBitmap(screen, 4, 4);
  GetObject(c2, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  HBITMAP zero = CreateCompatibleBitmap(screen, 0, 5);
  GetObject(zero, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  // Drawing on a monochrome bitmap maps colours to black or white.
  RECT r{0, 0, 8, 1};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
  EXPECT_EQ(GetPixel(dc, 3, 0), RGB(255, 255, 255));
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
  EXPECT_EQ(GetPixel(dc, 3, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetNearestColor(dc, RGB(200, 200, 200)), RGB(255, 255, 255));
  SelectObject(dc, old);
  for (HDC d : {dc, fresh, screen}) DeleteDC(d);
  for (HBITMAP b : {mono, m2, c2}) DeleteObject(b);
}

TEST(BitmapTest, CopyImageAndDeviceTransfers) {
  TDibCanvas src(4, 2);
  src.At(0, 0) = 0x11223344u;
  src.At(3, 1) = 0x55667788u;
  HBITMAP dib = static_cast<HBITMAP>(CopyImage(src.bmp, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  DIBSECTION ds{};
  ASSERT_EQ(GetObject(dib, sizeof(ds), &ds), int(sizeof(DIBSECTION)));
  EXPECT_EQ(ds.dsBm.bmWidth, 4);
  HBITMAP big = static_cast<HBITMAP>(CopyImage(src.bmp, IMAGE_BITMAP, 8, 4, 0));
  BITMAP bm{};
  GetObject(big, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmWidth, 8);
  EXPECT_EQ(bm.bmBits, nullptr) << "a device bitmap without LR_CREATEDIBSECTION";
  TDibCanvas probe(8, 4);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, big);
  BitBlt(probe.dc, 0, 0, 8, 4, dc, 0, 0, SRCCOPY);
  EXPECT_EQ(probe.At(1, 1), 0x11223344u);
  EXPECT_EQ(probe.At(7, 3), 0x55667788u);
  SelectObject(dc, old);
  DeleteDC(dc);

  // StretchDIBits and SetDIBitsToDevice read bottom-up images upright.
  uint32_t pixels[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};  // bottom row first
  TInfo info = Header(2, 2, 32);
  TDibCanvas out(4, 4, 0);
  EXPECT_EQ(SetDIBitsToDevice(out.dc, 1, 1, 2, 2, 0, 0, 0, 2, pixels, info.get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(out.At(1, 1), 0x00FF0000u);
  EXPECT_EQ(out.At(2, 2), 0x0000FF00u);
  out.Fill(0);
  EXPECT_EQ(StretchDIBits(out.dc, 0, 0, 4, 4, 0, 0, 2, 2, pixels, info.get(), DIB_RGB_COLORS, SRCCOPY), 2);
  EXPECT_EQ(out.At(0, 0), 0x00FF0000u);
  EXPECT_EQ(out.At(3, 3), 0x0000FF00u);
  EXPECT_TRUE(DeleteObject(CopyImage(dib, IMAGE_BITMAP, 0, 0, LR_COPYDELETEORG)));
  EXPECT_EQ(GetObjectType(dib), 0u) << "the original was deleted";
  DeleteObject(big);
}

TEST(BitmapTest, ALargeBitmapMadeAgainStartsBlankNotWithTheLastOnesPixels) {
  // Large pixel blocks are kept for the next bitmap of their size (a
  // window's back buffer comes and goes with every paint); what the last
  // one held must not show through, nor a smaller or larger one go wrong.
  HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  struct TCase {
    int Width, Height;
  } cases[] = {{640, 480}, {640, 480}, {320, 240}, {640, 480}, {1024, 768}, {640, 480}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Width << "x" << c.Height);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, c.Width, c.Height);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (POINT p : {POINT{0, 0}, POINT{c.Width / 2, c.Height / 2}, POINT{c.Width - 1, c.Height - 1}})
      EXPECT_EQ(GetPixel(dc, p.X, p.Y), RGB(0, 0, 0));
    RECT all{0, 0, c.Width, c.Height};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, red);
    EXPECT_EQ(GetPixel(dc, c.Width - 1, c.Height - 1), RGB(255, 0, 0));
    SelectObject(dc, old);
    DeleteObject(red);
    DeleteObject(bitmap);
  }
  DeleteDC(dc);
  DeleteDC(screen);
}

}  // namespace
