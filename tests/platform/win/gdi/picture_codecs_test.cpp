#include "platform/win/gdi/picture_codecs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(PictureCodecsTest, PremultipliedPixelsRoundTripThroughADib) {
  // Premultiplied pixels, as the host's 32-bit bitmaps hold them.
  std::vector<uint32_t> px = {0xFF102030u, 0x80400000u, 0x00000000u, 0x40101010u};
  std::string png;
  AnsiString error;
  ASSERT_TRUE(EncodePicture(pfPng, px.data(), 2, 2, 8, true, {}, png, &error)) << error;
  EXPECT_EQ(PictureFormatOf(png.data(), png.size()), pfPng);
  TPictureInfo info;
  HBITMAP dib = DecodePictureToDib(png.data(), png.size(), true, &info, &error);
  ASSERT_NE(dib, nullptr) << error;
  EXPECT_EQ(info.Width, 2);
  EXPECT_TRUE(info.HasAlpha);
  DIBSECTION ds{};
  GetObject(dib, sizeof ds, &ds);
  const auto* bits = static_cast<const uint32_t*>(ds.dsBm.bmBits);
  EXPECT_LT(ds.dsBmih.biHeight, 0) << "top-down";
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bits[i], px[i]) << i;
  DeleteObject(dib);
}

TEST(PictureCodecsTest, StreamsAreReadFromTheirPosition) {
  std::vector<uint32_t> px(6, 0xFF336699u);
  TMemoryStream m;
  m.WriteBuffer("junk", 4);
  ASSERT_TRUE(WritePicture(&m, pfJpeg, px.data(), 3, 2, 12, false, {}));
  m.SetPosition(4);
  std::vector<uint32_t> back;
  TPictureInfo info;
  AnsiString error;
  ASSERT_TRUE(ReadPicture(&m, back, info, &error)) << error;
  EXPECT_EQ(info.Format, pfJpeg);
  EXPECT_EQ(back.size(), 6u);
  m.SetPosition(0);
  EXPECT_FALSE(ReadPicture(&m, back, info, &error)) << "the junk in front is not a picture";
  EXPECT_FALSE(error.empty());
}

TEST(PictureCodecsTest, CutShortFilesFailWithAMessage) {
  std::vector<uint32_t> px(64 * 64, 0xFF00FF00u);
  for (TPictureFormat f : {pfPng, pfJpeg, pfBmp}) {
    std::string file;
    ASSERT_TRUE(EncodePicture(f, px.data(), 64, 64, 256, false, {}, file));
    std::vector<uint32_t> back;
    TPictureInfo info;
    AnsiString error;
    EXPECT_FALSE(DecodePicture(file.data(), file.size() / 3, back, info, &error)) << f;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(DecodePictureToDib(file.data(), file.size() / 3, false), nullptr);
  }
}

TEST(PictureCodecsTest, ExtensionsNameFormats) {
  struct TCase {
    const char* Ext;
    TPictureFormat Format;
  };
  const TCase cases[] = {{"jpg", pfJpeg}, {".JPEG", pfJpeg}, {"tif", pfTiff}, {"Png", pfPng}, {"bmp", pfBmp},
                         {"gif", pfGif},  {"ico", pfIcon},   {"cur", pfCursor}, {"txt", pfUnknown}, {"", pfUnknown}};
  for (const TCase& c : cases) EXPECT_EQ(PictureFormatFromExtension(c.Ext), c.Format) << c.Ext;
}

}  // namespace
