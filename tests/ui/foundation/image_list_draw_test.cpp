// The image list draws through the effect pipeline: centred or stretched
// into a rectangle, disabled in grey, and through the framework's draw.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/backend/codecs.h"
#include "tests/common/pictures.h"
#include "tests/ui/foundation/image_list_fixture.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/image_list.h"

namespace {

using namespace image_list_testing;

constexpr Cardinal kDrawDark = 0xFF404040u;
constexpr Cardinal kDrawLight = 0xFFC0C0C0u;

// 16 x 16, premultiplied: an opaque red square at 4..11 on transparency.
std::unique_ptr<TcxBitmap32> RedSquare() {
  auto b = std::make_unique<TcxBitmap32>(16, 16);
  TRGBColors p(256, Quad(0));
  for (Integer y = 4; y < 12; ++y)
    for (Integer x = 4; x < 12; ++x) p[size_t(y) * 16 + x] = Quad(kRed);
  b->SetPixels(p);
  return b;
}

// A 32-bit target chequered in 4-pixel squares of dark and light grey.
std::unique_ptr<TcxBitmap32> Chequered(Integer W, Integer H) {
  auto b = std::make_unique<TcxBitmap32>(W, H);
  TRGBColors p(size_t(W) * H);
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x) p[size_t(y) * W + x] = Quad((x / 4 + y / 4) % 2 ? kDrawDark : kDrawLight);
  b->SetPixels(p);
  return b;
}

class ImageListDraw : public ::testing::Test {
 protected:
  TcxImageList List{nullptr};
  std::unique_ptr<TcxBitmap32> Target = Chequered(80, 40);
  std::unique_ptr<TcxBitmap32> Untouched = Chequered(80, 40);

  void SetUp() override { List.AddImage(RedSquare().get(), nullptr); }

  Cardinal At(Integer X, Integer Y) { return PixelAt(*Target, X, Y) & 0xFFFFFF; }
  Cardinal Before(Integer X, Integer Y) { return PixelAt(*Untouched, X, Y) & 0xFFFFFF; }
};

TEST_F(ImageListDraw, CentredInALargerRectangleOnlyTheOpaquePixelsCover) {
  List.DrawImageInRect(0, Target->Canvas(), TRect(10, 10, 34, 34), ILD_NORMAL, false, false, true);
  // The image sits at (14, 14); its square at 18..25.
  EXPECT_EQ(At(18, 18), kRed & 0xFFFFFF);
  EXPECT_EQ(At(25, 25), kRed & 0xFFFFFF);
  EXPECT_EQ(At(17, 18), Before(17, 18)) << "transparent pixels show the background";
  EXPECT_EQ(At(26, 25), Before(26, 25));
  EXPECT_EQ(At(11, 11), Before(11, 11));
}

TEST_F(ImageListDraw, StretchedItFillsTheRectangle) {
  List.DrawImageInRect(0, Target->Canvas(), TRect(40, 0, 72, 32), ILD_NORMAL, true, false, true);
  // Twice the size: the square covers 8..23.
  EXPECT_EQ(At(40 + 9, 9), kRed & 0xFFFFFF);
  EXPECT_EQ(At(40 + 22, 22), kRed & 0xFFFFFF);
  EXPECT_EQ(At(40 + 5, 5), Before(40 + 5, 5));
  EXPECT_EQ(At(40 + 26, 26), Before(40 + 26, 26));
}

TEST_F(ImageListDraw, ARectangleOfTheListsSizeIsNeverStretched) {
  auto other = Chequered(80, 40);
  List.DrawImageInRect(0, Target->Canvas(), TRect(3, 5, 19, 21), ILD_NORMAL, true, true, true);
  List.DrawImageInRect(0, other->Canvas(), TRect(3, 5, 19, 21), ILD_NORMAL, false, false, true);
  TRGBColors a, b;
  Target->GetPixels(a);
  other->GetPixels(b);
  EXPECT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * 4));
}

TEST_F(ImageListDraw, DisabledTheImageIsGrey) {
  List.DrawImageInRect(0, Target->Canvas(), TRect(0, 0, 16, 16), ILD_NORMAL, false, false, false);
  const Cardinal p = At(8, 8);
  const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  EXPECT_LE(std::abs(r - g), 1) << std::hex << p;
  EXPECT_LE(std::abs(g - b), 1) << std::hex << p;
  EXPECT_NE(p, Before(8, 8));
  EXPECT_EQ(At(1, 1), Before(1, 1));
}

TEST_F(ImageListDraw, TheFrameworksDrawGoesTheSameWay) {
  auto other = Chequered(80, 40);
  static_cast<TCustomImageList&>(List).Draw(Target->Canvas(), 30, 12, 0, false);
  List.DrawImageInRect(0, other->Canvas(), TRect(30, 12, 46, 28), ILD_NORMAL, false, false, false);
  TRGBColors a, b;
  Target->GetPixels(a);
  other->GetPixels(b);
  EXPECT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * 4));
  EXPECT_NE(At(38, 20), Before(38, 20));
}

// Enabled and disabled, centred and stretched, for a person to look at.
TEST(ImageListDrawPicture, EnabledDisabledCentredStretched) {
  TcxImageList list(nullptr);
  auto glyph = std::make_unique<TcxBitmap32>(16, 16);
  TRGBColors p(256);
  for (Integer y = 0; y < 16; ++y)
    for (Integer x = 0; x < 16; ++x) {
      const int dx = 2 * x - 15, dy = 2 * y - 15;
      const bool inside = dx * dx + dy * dy <= 15 * 15;
      const Byte r = Byte(255 - x * 12), g = Byte(60 + y * 12), b = 40;
      p[size_t(y) * 16 + x] = inside ? RGBQUAD{b, g, r, 255} : RGBQUAD{0, 0, 0, 0};
    }
  glyph->SetPixels(p);
  list.AddImage(glyph.get(), nullptr);
  const Integer w = 4 * 40, h = 40;
  auto picture = Chequered(w, h);
  list.DrawImageInRect(0, picture->Canvas(), TRect(0, 0, 40, 40), ILD_NORMAL, false, false, true);
  list.DrawImageInRect(0, picture->Canvas(), TRect(44, 4, 76, 36), ILD_NORMAL, true, true, true);
  list.DrawImageInRect(0, picture->Canvas(), TRect(80, 0, 120, 40), ILD_NORMAL, false, false, false);
  list.DrawImageInRect(0, picture->Canvas(), TRect(124, 4, 156, 36), ILD_NORMAL, true, true, false);

  TRGBColors bottomUp;
  picture->GetPixels(bottomUp);
  std::vector<uint32_t> topDown(bottomUp.size());
  for (Integer y = 0; y < h; ++y) std::memcpy(&topDown[size_t(y) * w], &bottomUp[size_t(h - 1 - y) * w], size_t(w) * 4);
  for (uint32_t& px : topDown) px |= 0xFF000000u;
  rtl::backend::TEncodeOptions options;
  options.Alpha = false;
  std::string png;
  ASSERT_TRUE(rtl::backend::EncodeImage(rtl::backend::iffPng, topDown.data(), w, h, w * 4, options, png));
  std::ofstream(PictureDir() + "ui_foundation_image_list.png", std::ios::binary) << png;
  // The stretched glyph's centre is covered.
  EXPECT_NE(topDown[size_t(20) * w + 60] & 0xFFFFFF, PixelAt(*Chequered(w, h), 60, 20) & 0xFFFFFF);
}

}  // namespace
