#include "platform/forms/jpeg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/forms/picture.h"
#include "tests/platform/forms/forms_test_support.h"

namespace {

// 16 x 8: a red left half and a blue right half.
void TwoBlocks(TBitmap& bmp, int w = 16, int h = 8) {
  bmp.SetSize(w, h);
  bmp.Canvas()->Brush()->SetColor(clRed);
  bmp.Canvas()->FillRect(Rect(0, 0, w / 2, h));
  bmp.Canvas()->Brush()->SetColor(clBlue);
  bmp.Canvas()->FillRect(Rect(w / 2, 0, w, h));
}

std::vector<uint8_t> Save(TGraphic& g) {
  TMemoryStream s;
  g.SaveToStream(&s);
  auto* p = static_cast<const uint8_t*>(s.Memory());
  return std::vector<uint8_t>(p, p + s.Size());
}

void LoadGraphic(TGraphic& g, const std::vector<uint8_t>& bytes) {
  TMemoryStream s;
  if (!bytes.empty()) s.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  s.SetPosition(0);
  g.LoadFromStream(&s);
}

void ExpectNear(TColor got, TColor want) {
  for (int shift : {0, 8, 16}) EXPECT_NEAR((got >> shift) & 0xFF, (want >> shift) & 0xFF, 24) << std::hex << got;
}

TEST(JpegTest, ABitmapRoundTripsThroughJpegData) {
  TBitmap source;
  TwoBlocks(source);
  TJPEGImage jpeg;
  jpeg.Assign(&source);
  EXPECT_EQ(jpeg.Width(), 16);
  std::vector<uint8_t> file = Save(jpeg);
  ASSERT_GT(file.size(), 4u);
  EXPECT_EQ(file[0], 0xFF);
  EXPECT_EQ(file[1], 0xD8);

  TJPEGImage back;
  LoadGraphic(back, file);
  EXPECT_EQ(back.Width(), 16);
  EXPECT_EQ(back.Height(), 8);
  EXPECT_EQ(Save(back), file) << "the loaded data is kept as it was";
  TBitmap out;
  out.Assign(&back);
  EXPECT_EQ(out.Width(), 16);
  ExpectNear(out.Canvas()->Pixels(2, 4), clRed);
  ExpectNear(out.Canvas()->Pixels(13, 4), clBlue);

  TTestDib dib(20, 10, PixelOf(clWhite));
  TCanvas canvas;
  canvas.SetHandle(dib.dc);
  canvas.Draw(2, 1, &back);
  canvas.SetHandle(nullptr);
  ExpectNear(static_cast<TColor>(dib.Color(4, 4)), clRed);
  EXPECT_EQ(dib.Color(19, 9), 0xFFFFFFu);
}

TEST(JpegTest, QualityScaleAndGrey) {
  TBitmap noisy(48, 48);
  noisy.SetPixelFormat(pf24bit);
  std::srand(7);
  for (int y = 0; y < 48; ++y) {
    auto* row = static_cast<uint8_t*>(noisy.ScanLine(y));
    for (int i = 0; i < 48 * 3; ++i) row[i] = static_cast<uint8_t>(std::rand());
  }
  TJPEGImage low, high;
  low.SetCompressionQuality(10);
  high.SetCompressionQuality(95);
  low.Assign(&noisy);
  high.Assign(&noisy);
  EXPECT_LT(Save(low).size(), Save(high).size());
  low.SetCompressionQuality(0);
  EXPECT_EQ(low.CompressionQuality(), 1);

  TBitmap blocks;
  TwoBlocks(blocks, 17, 9);
  TJPEGImage jpeg;
  jpeg.Assign(&blocks);
  TJPEGImage loaded;
  LoadGraphic(loaded, Save(jpeg));
  loaded.SetScale(jsHalf);
  EXPECT_EQ(loaded.Width(), 9) << "sizes round up";
  EXPECT_EQ(loaded.Height(), 5);
  loaded.SetGrayscale(true);
  TBitmap grey;
  grey.Assign(&loaded);
  EXPECT_EQ(grey.Width(), 9);
  TColor c = grey.Canvas()->Pixels(1, 2);
  EXPECT_EQ(c & 0xFF, (c >> 8) & 0xFF);
  EXPECT_EQ(c & 0xFF, (c >> 16) & 0xFF);
  EXPECT_NEAR(c & 0xFF, 76, 24) << "red's luminance";
}

TEST(JpegTest, MalformedDataRaisesAndKeepsThePicture) {
  TBitmap blocks;
  TwoBlocks(blocks);
  TJPEGImage good;
  good.Assign(&blocks);
  std::vector<uint8_t> file = Save(good);
  struct TCase {
    const char* What;
    std::vector<uint8_t> Bytes;
  };
  std::vector<TCase> cases = {
      {"empty", {}},
      {"a bitmap", {'B', 'M', 0, 0, 0, 0}},
      {"cut in the header", std::vector<uint8_t>(file.begin(), file.begin() + 10)},
      {"a scan before any frame", {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9}},
      {"a segment longer than the data", {0xFF, 0xD8, 0xFF, 0xE0, 0x7F, 0xFF, 0x00}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TJPEGImage jpeg;
    LoadGraphic(jpeg, file);
    try {
      LoadGraphic(jpeg, c.Bytes);
      ADD_FAILURE() << "no exception";
    } catch (const EJPEG& e) {
      EXPECT_EQ(e.Message(), "JPEG error #53");
    }
    EXPECT_EQ(jpeg.Width(), 16);
  }
}

TEST(JpegTest, PicturesLoadJpegFilesByExtension) {
  TBitmap blocks;
  TwoBlocks(blocks);
  TJPEGImage jpeg;
  jpeg.Assign(&blocks);
  std::string path = ::testing::TempDir() + "jpeg_test.JPG";
  jpeg.SaveToFile(path);
  TPicture picture;
  picture.LoadFromFile(path);
  ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 16);
  std::remove(path.c_str());
}

}  // namespace
