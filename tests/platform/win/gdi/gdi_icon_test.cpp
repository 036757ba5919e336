#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend/codecs.h"
#include "platform/win/gdi/gdi_internal.h"
#include "tests/common/dib_canvas.h"

namespace {

void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

// One icon image as stored in .ico files: a header with double height,
// 32-bit BGRA rows bottom-up, then the AND mask.
std::vector<uint8_t> IconImage(int n, uint32_t colour, bool alpha) {
  std::vector<uint8_t> v;
  Put32(v, 40);
  Put32(v, uint32_t(n));
  Put32(v, uint32_t(2 * n));
  Put16(v, 1);
  Put16(v, 32);
  for (int i = 0; i < 6; ++i) Put32(v, 0);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) Put32(v, (x < n / 2 || !alpha) ? colour : (colour & 0xFFFFFF));
  int andStride = ((n + 31) / 32) * 4;
  for (int y = 0; y < n; ++y)
    for (int b = 0; b < andStride; ++b) v.push_back(alpha ? 0 : (b == 0 ? 0x80 : 0));  // column 0 transparent
  return v;
}

std::vector<uint8_t> IconFile(bool cursor, const std::vector<std::pair<int, std::vector<uint8_t>>>& images) {
  std::vector<uint8_t> v;
  Put16(v, 0);
  Put16(v, cursor ? 2 : 1);
  Put16(v, uint16_t(images.size()));
  uint32_t offset = 6 + 16 * uint32_t(images.size());
  for (const auto& [n, data] : images) {
    v.push_back(uint8_t(n));
    v.push_back(uint8_t(n));
    v.push_back(0);
    v.push_back(0);
    Put16(v, cursor ? 3 : 1);   // hot spot x for cursors
    Put16(v, cursor ? 5 : 32);  // hot spot y for cursors
    Put32(v, uint32_t(data.size()));
    Put32(v, offset);
    offset += uint32_t(data.size());
  }
  for (const auto& [n, data] : images) v.insert(v.end(), data.begin(), data.end());
  return v;
}

std::string WriteTemp(const std::vector<uint8_t>& data, const char* ext) {
  std::string path = std::string(::testing::TempDir()) + "gdi_icon_test" + ext;
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(data.data(), 1, data.size(), f);
  std::fclose(f);
  return path;
}

TEST(IconTest, AlphaIconsBlendAndClassicIconsMask) {
  // 32-bit icon: left half opaque red, right half alpha 0.
  std::vector<uint8_t> img = IconImage(8, 0xFFFF0000u, true);
  HICON icon = CreateIconFromResourceEx(img.data(), DWORD(img.size()), TRUE, 0x00030000, 0, 0, 0);
  ASSERT_NE(icon, nullptr);
  TDibCanvas c(16, 16, 0x00FFFFFFu);
  ASSERT_TRUE(DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(c.Rgb(1, 1), 0xFF0000u);
  EXPECT_EQ(c.Rgb(6, 1), 0xFFFFFFu) << "fully transparent";
  EXPECT_EQ(c.Rgb(9, 1), 0xFFFFFFu) << "outside the icon";
  // Stretched to twice its size.
  c.Fill(0x00FFFFFFu);
  DrawIconEx(c.dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(c.Rgb(7, 15), 0xFF0000u);
  EXPECT_EQ(c.Rgb(8, 15), 0xFFFFFFu);
  ICONINFO ii{};
  ASSERT_TRUE(GetIconInfo(icon, &ii));
  EXPECT_TRUE(ii.fIcon);
  EXPECT_EQ(ii.xHotspot, 4u);
  BITMAP bm{};
  GetObject(ii.hbmColor, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmWidth, 8);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  GetObject(ii.hbmMask, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmHeight, 8);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  // A new icon from those bitmaps draws the same.
  HICON again = CreateIconIndirect(&ii);
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  c.Fill(0x00FFFFFFu);
  DrawIconEx(c.dc, 0, 0, again, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(c.Rgb(1, 1), 0xFF0000u);
  EXPECT_EQ(c.Rgb(6, 1), 0xFFFFFFu);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(GetIconInfo(icon, &ii)) << "destroyed";
  DestroyIcon(again);

  // Classic icon: AND 1 with XOR 0 is transparent, AND 0 shows the colour.
  std::vector<uint8_t> classic = IconImage(8, 0x000000FFu, false);
  HICON ci = CreateIconFromResourceEx(classic.data(), DWORD(classic.size()), TRUE, 0x00030000, 0, 0, 0);
  ASSERT_NE(ci, nullptr);
  c.Fill(0x00123456u);
  DrawIconEx(c.dc, 0, 0, ci, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(c.Rgb(0, 0), 0x123456u ^ 0x0000FFu) << "AND 1 with colour: the screen is inverted by it";
  EXPECT_EQ(c.Rgb(3, 3), 0x0000FFu);
  c.Fill(0x00123456u);
  DrawIconEx(c.dc, 0, 0, ci, 0, 0, 0, nullptr, DI_MASK);
  EXPECT_EQ(c.Rgb(0, 0), 0xFFFFFFu) << "the mask alone";
  EXPECT_EQ(c.Rgb(3, 3), 0u);
  DestroyIcon(ci);
}

TEST(IconTest, MonochromeIconsFromMasks) {
  // AND rows then XOR rows, 16 pixels wide (word-aligned rows).
  std::vector<uint16_t> bits(32, 0);
  for (int y = 0; y < 16; ++y) bits[size_t(y)] = 0x00FF;       // AND: right half transparent
  for (int y = 0; y < 16; ++y) bits[size_t(16 + y)] = 0xFF00;  // XOR: left half white... byte order
  HBITMAP mask = CreateBitmap(16, 32, 1, 1, bits.data());
  ICONINFO ii{FALSE, 2, 3, mask, nullptr};
  HCURSOR cur = CreateIconIndirect(&ii);
  ASSERT_NE(cur, nullptr);
  ICONINFO back{};
  ASSERT_TRUE(GetIconInfo(cur, &back));
  EXPECT_FALSE(back.fIcon);
  EXPECT_EQ(back.xHotspot, 2u);
  EXPECT_EQ(back.yHotspot, 3u);
  EXPECT_EQ(back.hbmColor, nullptr);
  BITMAP bm{};
  GetObject(back.hbmMask, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmHeight, 32);
  DeleteObject(back.hbmMask);
  DeleteObject(mask);
  EXPECT_TRUE(DestroyCursor(cur));
}

TEST(IconTest, IconAndCursorFilesPickTheirImages) {
  std::vector<uint8_t> file = IconFile(false, {{16, IconImage(16, 0xFF00FF00u, true)}, {32, IconImage(32, 0xFF0000FFu, true)}});
  std::string path = WriteTemp(file, ".ico");
  struct TCase {
    int size;
    int expectWidth;
    uint32_t colour;
  } cases[] = {{16, 16, 0x00FF00u}, {32, 32, 0x0000FFu}, {18, 18, 0x00FF00u}, {24, 24, 0x0000FFu}};
  for (const TCase& k : cases) {
    HICON icon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, k.size, k.size, LR_LOADFROMFILE));
    ASSERT_NE(icon, nullptr) << k.size;
    ICONINFO ii{};
    GetIconInfo(icon, &ii);
    BITMAP bm{};
    GetObject(ii.hbmColor, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, k.expectWidth);
    TDibCanvas c(40, 40, 0x00FFFFFFu);
    DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(c.Rgb(1, 1), k.colour) << "image chosen for size " << k.size;
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyIcon(icon);
  }
  std::vector<uint8_t> curFile = IconFile(true, {{32, IconImage(32, 0xFF000000u, true)}});
  std::string cpath = WriteTemp(curFile, ".cur");
  HCURSOR cur = static_cast<HCURSOR>(LoadImageA(nullptr, cpath.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(cur, nullptr);
  ICONINFO ii{};
  GetIconInfo(cur, &ii);
  EXPECT_FALSE(ii.fIcon);
  EXPECT_EQ(ii.xHotspot, 3u);
  EXPECT_EQ(ii.yHotspot, 5u);
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  DestroyCursor(cur);
  EXPECT_EQ(LoadImageA(nullptr, "/nonexistent.ico", IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
  std::vector<uint8_t> truncated(file.begin(), file.begin() + 40);
  std::string tpath = WriteTemp(truncated, ".ico");
  EXPECT_EQ(LoadImageA(nullptr, tpath.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr) << "cut short";
}

TEST(IconTest, PngImagesInIconFiles) {
  std::vector<uint32_t> px(16 * 16, 0x00000000u);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) px[size_t(y * 16 + x)] = 0xFF00FF00u;
  std::string png;
  ASSERT_TRUE(rtl::backend::EncodeImage(rtl::backend::iffPng, px.data(), 16, 16, 64, {}, png));
  std::vector<uint8_t> file = IconFile(false, {{16, std::vector<uint8_t>(png.begin(), png.end())}});
  std::string path = WriteTemp(file, "_png.ico");
  HICON icon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
  ASSERT_NE(icon, nullptr);
  TDibCanvas c(16, 16, 0x00FFFFFFu);
  DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(c.Rgb(2, 2), 0x00FF00u);
  EXPECT_EQ(c.Rgb(12, 2), 0xFFFFFFu) << "transparent half";
  int w = 0, h = 0;
  std::vector<uint32_t> image;
  ASSERT_TRUE(rtl::detail::GdiGetIconImage(icon, &w, &h, nullptr, nullptr, &image));
  EXPECT_EQ(w, 16);
  EXPECT_EQ(image[2], 0xFF00FF00u);
  EXPECT_EQ(image[12] >> 24, 0u);
  DestroyIcon(icon);
}

TEST(IconTest, BitmapFilesAndSystemImages) {
  // A 2x2 24-bit BMP file, bottom-up: blue, green / red, white.
  std::vector<uint8_t> bmp = {'B', 'M'};
  Put32(bmp, 14 + 40 + 16);
  Put32(bmp, 0);
  Put32(bmp, 54);
  Put32(bmp, 40);
  Put32(bmp, 2);
  Put32(bmp, 2);
  Put16(bmp, 1);
  Put16(bmp, 24);
  for (int i = 0; i < 6; ++i) Put32(bmp, 0);
  const uint8_t rows[16] = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
  bmp.insert(bmp.end(), rows, rows + 16);
  std::string path = WriteTemp(bmp, ".bmp");
  HBITMAP b = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                              LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_NE(b, nullptr);
  DIBSECTION ds{};
  EXPECT_EQ(GetObject(b, sizeof(ds), &ds), int(sizeof(DIBSECTION)));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 24);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0)) << "the top row is stored last";
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
  SelectObject(dc, old);
  DeleteObject(b);

  HBITMAP boxes = LoadBitmapA(nullptr, MAKEINTRESOURCE(OBM_CHECKBOXES));
  ASSERT_NE(boxes, nullptr);
  BITMAP bm{};
  GetObject(boxes, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmWidth / 4, 13) << "four columns of 13-pixel cells";
  EXPECT_EQ(bm.bmHeight / 3, 13) << "three rows";
  old = SelectObject(dc, boxes);
  EXPECT_EQ(GetPixel(dc, 13 + 6, 6), GetSysColor(COLOR_WINDOWTEXT)) << "the second cell is checked";
  EXPECT_EQ(GetPixel(dc, 6, 6), GetSysColor(COLOR_WINDOW)) << "the first is not";
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(boxes);

  HICON app = LoadIconA(nullptr, IDI_APPLICATION);
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(LoadIconA(nullptr, IDI_APPLICATION), app) << "shared";
  EXPECT_TRUE(DestroyIcon(app));
  ICONINFO ii{};
  EXPECT_TRUE(GetIconInfo(app, &ii)) << "shared icons survive DestroyIcon";
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  HICON small = static_cast<HICON>(CopyImage(app, IMAGE_ICON, 16, 16, 0));
  GetIconInfo(small, &ii);
  GetObject(ii.hbmMask, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmWidth, 16);
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  DestroyIcon(small);
}

// Headers whose sizes overflow 32-bit arithmetic, over a few bytes of
// pixels: each must be refused without reading past the file.
TEST(IconTest, BitmapFilesWithImpossibleSizesAreRefused) {
  struct TCase {
    const char* what;
    int32_t width, height;
    uint16_t bits;
  } const cases[] = {
      {"width times 32 bits wraps to a 4-byte row", 0x08000001, 1, 32},
      {"width times 4 bits wraps to a 4-byte row", 0x40000001, 2, 4},
      {"width times 24 bits wraps", 0x0AAAAAAB, 1, 24},
      {"height INT_MIN", 1, INT32_MIN, 32},
      {"top-down INT_MIN + 1 rows of 4 bytes", 1, INT32_MIN + 1, 32},
      {"a widest row times the most rows overflows 64 bits", INT32_MAX, INT32_MAX, 32},
  };
  for (const TCase& c : cases) {
    std::vector<uint8_t> bmp = {'B', 'M'};
    const uint32_t table = c.bits <= 8 ? (1u << c.bits) * 4 : 0;
    Put32(bmp, 14 + 40 + table + 4);
    Put32(bmp, 0);
    Put32(bmp, 14 + 40 + table);
    Put32(bmp, 40);
    Put32(bmp, uint32_t(c.width));
    Put32(bmp, uint32_t(c.height));
    Put16(bmp, 1);
    Put16(bmp, c.bits);
    for (int i = 0; i < 6; ++i) Put32(bmp, 0);
    bmp.resize(bmp.size() + table, 0x80);
    for (int i = 0; i < 4; ++i) bmp.push_back(0xFF);
    const std::string path = WriteTemp(bmp, ".bmp");
    for (UINT flags : {0u, UINT(LR_CREATEDIBSECTION), UINT(LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS), UINT(LR_MONOCHROME)})
      EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | flags), nullptr)
          << c.what << ", flags " << flags;
    std::remove(path.c_str());
  }
}

TEST(IconTest, GroupDirectoriesPickByIdentifier) {
  // GRPICONDIR with two entries: 16x16 (id 7) and 32x32 (id 9).
  std::vector<uint8_t> dir;
  Put16(dir, 0);
  Put16(dir, 1);
  Put16(dir, 2);
  for (auto [n, id] : {std::pair<int, int>{16, 7}, {32, 9}}) {
    dir.push_back(uint8_t(n));
    dir.push_back(uint8_t(n));
    dir.push_back(0);
    dir.push_back(0);
    Put16(dir, 1);
    Put16(dir, 32);
    Put32(dir, 1000);
    Put16(dir, uint16_t(id));
  }
  EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 16, 16, 0), 7);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 0, 0, LR_DEFAULTSIZE), 9);
}

}  // namespace
