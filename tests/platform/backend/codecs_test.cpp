#include "platform/backend/codecs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gif_lib.h>

#include "tests/common/rle_bitmaps.h"

using namespace rtl::backend;

namespace {

void Put16(std::string& s, uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); }
void Put32(std::string& s, uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); }

// A picture with a smooth colour ramp, a hard edge and an alpha ramp:
// enough structure that a wrong row order, channel order or stride shows.
std::vector<uint32_t> TestPicture(int w, int h, bool alpha) {
  std::vector<uint32_t> px(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t r = uint32_t(x * 255 / (w - 1)), g = uint32_t(y * 255 / (h - 1)), b = x < w / 2 ? 40u : 200u;
      uint32_t a = alpha ? uint32_t((x + y) * 255 / (w + h - 2)) : 255u;
      px[size_t(y) * w + x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  return px;
}

int Channel(uint32_t p, int i) { return int((p >> (8 * i)) & 0xFF); }

int MaxDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int channels) {
  int worst = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int c = 0; c < channels; ++c) worst = std::max(worst, std::abs(Channel(a[i], c) - Channel(b[i], c)));
  return worst;
}

double MeanDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int c = 0; c < 3; ++c) sum += std::abs(Channel(a[i], c) - Channel(b[i], c));
  return sum / (3.0 * a.size());
}

std::string Encode(TImageFileFormat f, const std::vector<uint32_t>& px, int w, int h, TEncodeOptions o = {}) {
  std::string out, error;
  EXPECT_TRUE(EncodeImage(f, px.data(), w, h, w * 4, o, out, &error)) << error;
  return out;
}

struct TRoundTrip {
  const char* Name;
  TImageFileFormat Format;
  bool Alpha;        // encoder option
  int Tolerance;     // per channel, at worst (at the hard edge)
  double Mean;       // per channel, on average
  int BitsPerPixel;  // reported by the decoder
};

class CodecRoundTrip : public ::testing::TestWithParam<TRoundTrip> {};

TEST_P(CodecRoundTrip, DecodesWhatWasEncoded) {
  const TRoundTrip& c = GetParam();
  const int w = 37, h = 23;  // odd sizes exercise row padding
  bool keepsAlpha = c.Alpha && c.Format != iffJpeg;
  std::vector<uint32_t> src = TestPicture(w, h, keepsAlpha);
  TEncodeOptions o;
  o.Alpha = c.Alpha;
  o.Quality = 95;
  std::string file = Encode(c.Format, src, w, h, o);
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(SniffImageFormat(file.data(), file.size()), c.Format);

  TDecodedImage img;
  std::string error;
  ASSERT_TRUE(DecodeImage(file.data(), file.size(), img, &error)) << error;
  EXPECT_EQ(img.Format, c.Format);
  ASSERT_EQ(img.Width, w);
  ASSERT_EQ(img.Height, h);
  EXPECT_EQ(img.BitsPerPixel, c.BitsPerPixel);
  EXPECT_EQ(img.HasAlpha, keepsAlpha);
  EXPECT_LE(MaxDifference(src, img.Pixels, 3), c.Tolerance);
  EXPECT_LE(MeanDifference(src, img.Pixels), c.Mean);
  if (keepsAlpha) {
    EXPECT_EQ(MaxDifference(src, img.Pixels, 4), MaxDifference(src, img.Pixels, 3)) << "alpha must round-trip";
  } else {
    for (uint32_t p : img.Pixels) ASSERT_EQ(p >> 24, 0xFFu);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CodecRoundTrip,
    ::testing::Values(TRoundTrip{"Bmp32", iffBmp, true, 0, 0, 32}, TRoundTrip{"Bmp24", iffBmp, false, 0, 0, 24},
                      TRoundTrip{"PngAlpha", iffPng, true, 0, 0, 32},
                      TRoundTrip{"PngOpaque", iffPng, false, 0, 0, 24},
                      TRoundTrip{"TiffAlpha", iffTiff, true, 0, 0, 32},
                      TRoundTrip{"TiffOpaque", iffTiff, false, 0, 0, 24},
                      TRoundTrip{"Jpeg", iffJpeg, false, 48, 2.5, 24}),
    [](const ::testing::TestParamInfo<TRoundTrip>& i) { return std::string(i.param.Name); });

TEST(CodecTest, GifKeepsFewColoursExactlyAndClearPixelsTransparent) {
  const int w = 20, h = 10;
  std::vector<uint32_t> src(size_t(w) * h);
  for (int i = 0; i < w * h; ++i) src[i] = 0xFF000000u | uint32_t((i % 7) * 0x251F3D);
  src[3] = 0x10FFFFFFu;  // alpha below one half: transparent
  std::string file = Encode(iffGif, src, w, h);
  TDecodedImage img;
  std::string error;
  ASSERT_TRUE(DecodeImage(file.data(), file.size(), img, &error)) << error;
  EXPECT_TRUE(img.HasAlpha);
  EXPECT_EQ(img.BitsPerPixel, 8);
  EXPECT_EQ(img.Pixels[3] >> 24, 0u);
  for (int i = 0; i < w * h; ++i) {
    if (i == 3) continue;
    ASSERT_EQ(img.Pixels[i], src[i]) << i;
  }
}

TEST(CodecTest, GifQuantisesManyColoursClosely) {
  const int w = 64, h = 64;
  std::vector<uint32_t> src = TestPicture(w, h, false);
  std::string file = Encode(iffGif, src, w, h);
  TDecodedImage img;
  ASSERT_TRUE(DecodeImage(file.data(), file.size(), img));
  ASSERT_EQ(img.Pixels.size(), src.size());
  EXPECT_FALSE(img.HasAlpha);
  EXPECT_LE(MaxDifference(src, img.Pixels, 3), 40);
  EXPECT_LE(MeanDifference(src, img.Pixels), 6);
}

// Two frames written through giflib: an interlaced 4 x 4 frame whose rows
// each have their own colour, then a 2 x 2 frame at (1, 1) with a
// transparent index that is disposed of to the background.
std::string TwoFrameGif() {
  std::string out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, [](GifFileType* g, const GifByteType* b, int n) {
    static_cast<std::string*>(g->UserData)->append(reinterpret_cast<const char*>(b), size_t(n));
    return n;
  }, &err);
  GifColorType colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colours);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, 4, 4, 8, 0, map);
  EGifPutImageDesc(gif, 0, 0, 4, 4, true, nullptr);
  // Interlaced: rows 0, then 2, then 1, 3 in the file.
  for (int y : {0, 2, 1, 3}) {
    GifByteType row[4] = {GifByteType(y), GifByteType(y), GifByteType(y), GifByteType(y)};
    EGifPutLine(gif, row, 4);
  }
  GraphicsControlBlock gcb{DISPOSE_BACKGROUND, false, 0, 3};
  GifByteType ext[4];
  EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(EGifGCBToExtension(&gcb, ext)), ext);
  EGifPutImageDesc(gif, 1, 1, 2, 2, false, nullptr);
  GifByteType pixels[4] = {3, 0, 0, 0};
  EGifPutLine(gif, pixels, 4);
  EGifCloseFile(gif, &err);
  GifFreeMapObject(map);
  return out;
}

TEST(CodecTest, GifFramesComposeInTurn) {
  const std::string file = TwoFrameGif();
  const uint32_t red = 0xFFFF0000u, green = 0xFF00FF00u, blue = 0xFF0000FFu, white = 0xFFFFFFFFu;
  TDecodedImage first, second;
  std::string error;
  ASSERT_TRUE(DecodeImage(file.data(), file.size(), first, &error, 0)) << error;
  EXPECT_EQ(first.FrameCount, 2);
  EXPECT_EQ(first.Pixels, (std::vector<uint32_t>{red, red, red, red, green, green, green, green,  //
                                                 blue, blue, blue, blue, white, white, white, white}))
      << "interlaced rows land in their places";
  ASSERT_TRUE(DecodeImage(file.data(), file.size(), second, &error, 1)) << error;
  EXPECT_EQ(second.Pixels[1 * 4 + 1], green) << "the transparent index shows the frame below";
  EXPECT_EQ(second.Pixels[1 * 4 + 2], red);
  EXPECT_EQ(second.Pixels[2 * 4 + 1], red);
  EXPECT_EQ(second.Pixels[0], red);
  EXPECT_TRUE(second.HasAlpha);
  EXPECT_FALSE(DecodeImage(file.data(), file.size(), second, &error, 2));
}

// A frame declaring far more pixels than its few bytes of data can hold
// is refused for its size, before any memory is taken for its raster.
TEST(CodecTest, GifFramesOutOfProportionToTheirDataAreRefused) {
  struct TCase {
    uint16_t width, height;
  } const cases[] = {{32768, 32768}, {16384, 8192}, {65535, 1000}, {1000, 200}};
  for (const TCase& c : cases) {
    // 25 bytes: header, a 1 x 1 screen, one frame, its code size and an
    // empty data block.
    std::string gif = "GIF89a";
    Put16(gif, 1);
    Put16(gif, 1);
    gif += std::string("\0\0\0", 3);
    gif += ',';
    Put16(gif, 0);
    Put16(gif, 0);
    Put16(gif, c.width);
    Put16(gif, c.height);
    gif += std::string("\0\x02\0", 3);
    ASSERT_EQ(gif.size(), 25u);
    TDecodedImage img;
    std::string error;
    EXPECT_FALSE(DecodeImage(gif.data(), gif.size(), img, &error)) << c.width << " x " << c.height;
    EXPECT_EQ(error, "Invalid GIF image size") << c.width << " x " << c.height;
  }
}

// The logical screen is decoded whole, so a huge one around a tiny frame
// is refused too; a modest one stays legal however little covers it.
TEST(CodecTest, GifScreensOutOfProportionToTheFileAreRefused) {
  std::vector<uint32_t> px = {0xFF102030u};
  std::string gif;
  ASSERT_TRUE(EncodeImage(iffGif, px.data(), 1, 1, 4, {}, gif));
  struct TCase {
    uint16_t width, height;
    bool ok;
  } const cases[] = {{1000, 1000, true}, {27909, 4099, false}, {65535, 65535, false}};
  for (const TCase& c : cases) {
    std::string file = gif;
    file[6] = char(c.width & 0xFF);
    file[7] = char(c.width >> 8);
    file[8] = char(c.height & 0xFF);
    file[9] = char(c.height >> 8);
    TDecodedImage img;
    std::string error;
    EXPECT_EQ(DecodeImage(file.data(), file.size(), img, &error), c.ok) << c.width << " x " << c.height;
    if (c.ok) {
      EXPECT_EQ(img.Width, c.width);
      EXPECT_EQ(img.Pixels[0], px[0]) << "the frame sits at the screen's corner";
    } else {
      EXPECT_EQ(error, "Invalid GIF image size");
    }
  }
}

// JPEG and TIFF pictures declaring far more than their data can hold
// (found by fuzzing: a few hundred bytes asking for tens of millions of
// pixels) are refused before any raster is taken; modest sizes still get
// as far as their data.
TEST(CodecTest, JpegAndTiffOutOfProportionToTheirDataAreRefused) {
  std::vector<uint32_t> src = TestPicture(16, 16, false);
  auto patchJpeg = [](std::string file, uint16_t w, uint16_t h) {
    size_t sof = file.find("\xFF\xC0");
    EXPECT_NE(sof, std::string::npos);
    file[sof + 5] = char(h >> 8), file[sof + 6] = char(h & 0xFF);
    file[sof + 7] = char(w >> 8), file[sof + 8] = char(w & 0xFF);
    return file;
  };
  auto patchTiff = [](std::string file, uint16_t w, uint16_t h) {
    EXPECT_EQ(file.substr(0, 2), "II");
    auto u16 = [&](size_t at) { return uint16_t(uint8_t(file[at]) | uint8_t(file[at + 1]) << 8); };
    size_t ifd = u16(4) | size_t(u16(6)) << 16;
    for (size_t i = 0, n = u16(ifd); i < n; ++i) {
      size_t entry = ifd + 2 + 12 * i;
      uint16_t tag = u16(entry);
      // One strip for the whole picture, so that only the size lies.
      if (tag != 256 && tag != 257 && tag != 278) continue;
      uint16_t v = tag == 256 ? w : h;
      file[entry + 8] = char(v & 0xFF), file[entry + 9] = char(v >> 8);
    }
    return file;
  };
  struct TCase {
    TImageFileFormat format;
    uint16_t width, height;
    bool refused;
  } const cases[] = {
      {iffJpeg, 37640, 2309, true}, {iffJpeg, 60000, 2048, true}, {iffJpeg, 1000, 1000, false},
      {iffTiff, 62980, 515, true},  {iffTiff, 20000, 6000, true}, {iffTiff, 500, 500, false},
  };
  for (const TCase& c : cases) {
    std::string file = Encode(c.format, src, 16, 16);
    file = c.format == iffJpeg ? patchJpeg(file, c.width, c.height) : patchTiff(file, c.width, c.height);
    const std::string sizeError = c.format == iffJpeg ? "Invalid JPEG image size" : "Invalid TIFF image size";
    TDecodedImage img;
    std::string error;
    bool ok = DecodeImage(file.data(), file.size(), img, &error);
    if (c.refused) {
      EXPECT_FALSE(ok) << ImageMimeType(c.format) << " " << c.width << " x " << c.height;
      EXPECT_NE(error.find(sizeError), std::string::npos) << error << ": " << c.width << " x " << c.height;
    } else {
      EXPECT_EQ(error.find(sizeError), std::string::npos) << error << ": " << c.width << " x " << c.height;
      if (ok) {
        EXPECT_EQ(img.Pixels.size(), size_t(c.width) * c.height);
      }
    }
  }
}

// The same lying TIFF with a compression scheme nobody knows: refused
// before its raster is taken (it was filled twice, for nothing).
TEST(CodecTest, TiffOfAnUnknownCompressionIsRefused) {
  std::string file = Encode(iffTiff, TestPicture(16, 16, false), 16, 16);
  auto u16 = [&](size_t at) { return uint16_t(uint8_t(file[at]) | uint8_t(file[at + 1]) << 8); };
  ASSERT_EQ(file.substr(0, 2), "II");
  const size_t ifd = u16(4) | size_t(u16(6)) << 16;
  for (size_t i = 0, n = u16(ifd); i < n; ++i) {
    const size_t entry = ifd + 2 + 12 * i;
    const uint16_t tag = u16(entry);
    const uint16_t value = tag == 256 ? 62980 : tag == 257 || tag == 278 ? 515 : tag == 259 ? 208 : 0;
    if (value) file[entry + 8] = char(value & 0xFF), file[entry + 9] = char(value >> 8);
  }
  TDecodedImage img;
  std::string error;
  EXPECT_FALSE(DecodeImage(file.data(), file.size(), img, &error));
  EXPECT_NE(error.find("Unsupported TIFF compression"), std::string::npos) << error;
  EXPECT_TRUE(img.Pixels.empty());
}

TEST(CodecTest, ResolutionIsKept) {
  std::vector<uint32_t> src = TestPicture(8, 8, false);
  TEncodeOptions o;
  o.DpiX = 300;
  o.DpiY = 150;
  for (TImageFileFormat f : {iffBmp, iffPng, iffJpeg, iffTiff}) {
    std::string file = Encode(f, src, 8, 8, o);
    TDecodedImage img;
    ASSERT_TRUE(DecodeImage(file.data(), file.size(), img)) << f;
    EXPECT_NEAR(img.DpiX, 300, 0.5) << f;
    EXPECT_NEAR(img.DpiY, 150, 0.5) << f;
  }
}

// Cut-short and damaged files: every decoder answers false with a message,
// never crashes, never reads past the end (the data is copied into a
// buffer of exactly the cut size so that a sanitiser sees an over-read).
TEST(CodecTest, TruncatedFilesFailCleanly) {
  const int w = 48, h = 40;
  std::vector<uint32_t> src = TestPicture(w, h, true);
  for (TImageFileFormat f : {iffBmp, iffPng, iffJpeg, iffTiff, iffGif}) {
    std::string file = Encode(f, src, w, h);
    for (double part : {0.0, 0.1, 0.5, 0.9}) {
      size_t n = std::max<size_t>(1, size_t(file.size() * part));
      std::vector<uint8_t> cut(file.begin(), file.begin() + n);
      TDecodedImage img;
      std::string error;
      EXPECT_FALSE(DecodeImage(cut.data(), cut.size(), img, &error)) << ImageMimeType(f) << " cut to " << n;
      EXPECT_FALSE(error.empty()) << ImageMimeType(f);
    }
  }
}

TEST(CodecTest, DamagedFilesNeverCrash) {
  const int w = 24, h = 16;
  std::vector<uint32_t> src = TestPicture(w, h, true);
  std::mt19937 rng(12345);
  for (TImageFileFormat f : {iffBmp, iffPng, iffJpeg, iffTiff, iffGif}) {
    std::string file = Encode(f, src, w, h);
    for (int round = 0; round < 150; ++round) {
      std::vector<uint8_t> bad(file.begin(), file.end());
      for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] = uint8_t(rng());
      TDecodedImage img;
      if (DecodeImage(bad.data(), bad.size(), img)) {
        ASSERT_EQ(img.Pixels.size(), size_t(img.Width) * img.Height);
      }
    }
  }
}

TEST(CodecTest, SniffsByContentOnly) {
  struct TCase {
    std::string Bytes;
    TImageFileFormat Expect;
  };
  const TCase cases[] = {
      {std::string("BM") + std::string(20, '\0'), iffBmp},
      {std::string("\x89PNG\r\n\x1a\n", 8), iffPng},
      {std::string("\xFF\xD8\xFF\xE0", 4), iffJpeg},
      {"GIF89a", iffGif},
      {"GIF87a", iffGif},
      {std::string("II*\0", 4), iffTiff},
      {std::string("MM\0*", 4), iffTiff},
      {std::string("\0\0\1\0\1\0", 6), iffIcon},
      {std::string("\0\0\2\0\1\0", 6), iffCursor},
      {std::string("\0\0\1\0\0\0", 6), iffUnknown},  // no images
      {"GIF90a", iffUnknown},
      {"", iffUnknown},
  };
  for (const TCase& c : cases) EXPECT_EQ(SniffImageFormat(c.Bytes.data(), c.Bytes.size()), c.Expect) << c.Bytes;
  TDecodedImage img;
  std::string error;
  EXPECT_FALSE(DecodeImage("hello", 5, img, &error));
  EXPECT_EQ(error, "Unknown picture format");
}

TEST(CodecTest, EncodersRefuseEmptyPicturesAndIcons) {
  uint32_t px = 0xFF000000u;
  std::string out, error;
  EXPECT_FALSE(EncodeImage(iffPng, &px, 0, 1, 4, {}, out, &error));
  EXPECT_FALSE(EncodeImage(iffIcon, &px, 1, 1, 4, {}, out, &error));
  EXPECT_FALSE(EncodeImage(iffPng, nullptr, 1, 1, 4, {}, out, &error));
  EXPECT_STREQ(ImageMimeType(iffTiff), "image/tiff");
}

// ---- Hand-made BMP variants ---------------------------------------------------

// A BITMAPINFOHEADER (or a larger header with masks), colour table and
// pixel bytes, with or without the 14-byte file header.
std::string Dib(int w, int h, int bits, uint32_t compression, const std::vector<uint32_t>& colours,
                const std::string& pixels, uint32_t headerSize = 40, const std::vector<uint32_t>& masks = {}) {
  std::string s;
  Put32(s, headerSize);
  Put32(s, uint32_t(w));
  Put32(s, uint32_t(h));
  Put16(s, 1);
  Put16(s, uint16_t(bits));
  Put32(s, compression);
  Put32(s, uint32_t(pixels.size()));
  Put32(s, 3780);
  Put32(s, 3780);
  Put32(s, uint32_t(colours.size()));
  Put32(s, 0);
  for (uint32_t m : masks) Put32(s, m);
  while (s.size() < headerSize) s.push_back('\0');
  for (uint32_t c : colours) Put32(s, c);
  return s + pixels;
}

std::string File(const std::string& dib, uint32_t tableBytes) {
  std::string s = "BM";
  Put32(s, uint32_t(14 + dib.size()));
  Put32(s, 0);
  uint32_t header;
  std::memcpy(&header, dib.data(), 4);
  Put32(s, 14 + header + tableBytes);
  return s + dib;
}

TEST(BmpTest, ReadsEveryDepth) {
  struct TCase {
    const char* Name;
    std::string Data;
    bool Packed;
    std::vector<uint32_t> Expect;  // 2 x 2, top row first
    bool Alpha;
  };
  const uint32_t red = 0xFFFF0000u, green = 0xFF00FF00u, blue = 0xFF0000FFu, white = 0xFFFFFFFFu;
  const std::vector<uint32_t> table = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00FFFFFFu};
  const TCase cases[] = {
      // Bottom-up rows: the first row in the file is the bottom one.
      {"1bit", File(Dib(2, 2, 1, 0, {0, 0xFFFFFF}, std::string("\x40\0\0\0\x80\0\0\0", 8)), 8), false,
       {0xFF000000u | 0xFFFFFF, 0xFF000000u, 0xFF000000u, white}, false},
      {"4bit", File(Dib(2, 2, 4, 0, table, std::string("\x01\0\0\0\x23\0\0\0", 8)), 16), false,
       {blue, white, red, green}, false},
      {"8bitTopDown", File(Dib(2, -2, 8, 0, table, std::string("\x00\x01\0\0\x02\x03\0\0", 8)), 16), false,
       {red, green, blue, white}, false},
      {"24bitPacked",
       Dib(2, 2, 24, 0, {},
           std::string("\xFF\0\0" "\0\0\xFF" "\0\0" "\xFF\xFF\xFF" "\0\0\xFF" "\0\0", 16)),
       true, {white, red, blue, red}, false},
      {"16bit565", File(Dib(2, 1, 16, 3, {}, std::string("\x00\xF8\x1F\x00", 4), 40, {0xF800, 0x07E0, 0x001F}), 12),
       false, {red, blue}, false},
      {"32bitAlphaZeroIsOpaque", File(Dib(1, 1, 32, 0, {}, std::string("\x10\x20\x30\x00", 4)), 0), false,
       {0xFF302010u}, false},
      {"32bitAlpha", File(Dib(2, 1, 32, 0, {}, std::string("\x10\x20\x30\x80\0\0\0\0", 8)), 0), false,
       {0x80302010u, 0}, true},
      {"V5AlphaMask",
       File(Dib(1, 1, 32, 3, {}, std::string("\x01\x02\x03\x04", 4), 124,
                {0x0000FF00u, 0x00FF0000u, 0xFF000000u, 0x000000FFu}),
            0),
       false, {0x01020304u}, true},
      {"Rle8", File(Dib(2, 2, 8, 1, table, std::string("\x02\x01\x00\x00\x01\x03\x01\x02\x00\x01", 10)), 16), false,
       {white, blue, green, green}, false},
  };
  for (const TCase& c : cases) {
    TDecodedImage img;
    std::string error;
    bool ok = c.Packed ? DecodePackedDib(c.Data.data(), c.Data.size(), img, &error)
                       : DecodeImage(c.Data.data(), c.Data.size(), img, &error);
    ASSERT_TRUE(ok) << c.Name << ": " << error;
    ASSERT_EQ(img.Pixels.size(), c.Expect.size()) << c.Name;
    for (size_t i = 0; i < c.Expect.size(); ++i) EXPECT_EQ(img.Pixels[i], c.Expect[i]) << c.Name << " pixel " << i;
    EXPECT_EQ(img.HasAlpha, c.Alpha) << c.Name;
    EXPECT_NEAR(img.DpiX, 96, 0.5) << c.Name;
  }
}

TEST(BmpTest, RejectsLyingHeaders) {
  const std::string pixels(16, '\0');
  const std::string cases[] = {
      File(Dib(2, 2, 24, 0, {}, pixels.substr(0, 15)), 0),         // one byte short
      File(Dib(0, 2, 24, 0, {}, pixels), 0),                        // no width
      File(Dib(2, 2, 7, 0, {}, pixels), 0),                         // no such depth
      File(Dib(2, 2, 8, 0, std::vector<uint32_t>(1), ""), 4),       // no pixels
      File(Dib(100000, 100000, 24, 0, {}, pixels), 0),              // far too large
      File(Dib(2, -2, 8, 1, {}, pixels), 0),                        // RLE is never top-down
      File(Dib(2, 1, 16, 3, {}, "\0\0\0\0", 40, {0x5, 0, 0}), 12),  // mask with a gap
  };
  for (const std::string& c : cases) {
    TDecodedImage img;
    std::string error;
    EXPECT_FALSE(DecodeImage(c.data(), c.size(), img, &error)) << error;
    EXPECT_FALSE(error.empty());
  }
}

// Run-length pictures whose declared size is out of all proportion to
// their data are refused before anything is decoded; a picture that is
// large but mostly skipped is still read.
TEST(BmpTest, RunLengthSizesMustMatchTheirData) {
  for (const std::string& file :
       {test_bitmaps::HugeRle4Bmp(), test_bitmaps::HugeRle8Bmp(), test_bitmaps::SparseRle4Bmp()}) {
    TDecodedImage img;
    std::string error;
    EXPECT_FALSE(DecodeImage(file.data(), file.size(), img, &error)) << file.size() << " bytes";
    EXPECT_EQ(error, "Invalid bitmap size");
  }
  const std::string blank = test_bitmaps::RunLengthBmp(1024, 1024, 8, 1, 2, std::string("\x02\x01\x00\x01", 4));
  TDecodedImage img;
  std::string error;
  ASSERT_TRUE(DecodeImage(blank.data(), blank.size(), img, &error)) << error;
  EXPECT_EQ(img.Width, 1024);
  EXPECT_EQ(img.Pixels[size_t(1023) * 1024 + 1], 0xFF102030u) << "the bottom row's run";
  const std::string plain = test_bitmaps::PlainRle8Bmp();
  ASSERT_TRUE(DecodeImage(plain.data(), plain.size(), img, &error)) << error;
  EXPECT_EQ(img.Width, 2040);
  EXPECT_EQ(img.Pixels[size_t(1023) * 2040 + 2039], 0xFF102030u) << "the last pixel of the top row";
}

// ---- Icons and cursors --------------------------------------------------------

// One icon image: a 32-bit DIB of double height with an AND mask.
std::string IconImage(int size, uint32_t colour, bool alpha) {
  std::string pixels;
  for (int i = 0; i < size * size; ++i) Put32(pixels, alpha ? colour : (colour & 0xFFFFFFu));
  int maskStride = ((size + 31) / 32) * 4;
  std::string mask(size_t(maskStride) * size, '\0');
  mask[0] = char(0x80);  // bottom-left pixel transparent through the mask
  std::string dib = Dib(size, size * 2, 32, 0, {}, pixels + mask);
  return dib;
}

std::string IconFile(int type, const std::vector<std::pair<int, std::string>>& images) {
  std::string s;
  Put16(s, 0);
  Put16(s, uint16_t(type));
  Put16(s, uint16_t(images.size()));
  uint32_t offset = uint32_t(6 + 16 * images.size());
  for (auto& [size, data] : images) {
    s.push_back(char(size == 256 ? 0 : size));
    s.push_back(char(size == 256 ? 0 : size));
    s.push_back(0);
    s.push_back(0);
    Put16(s, type == 2 ? 3 : 1);   // hot spot x / planes
    Put16(s, type == 2 ? 5 : 32);  // hot spot y / bits
    Put32(s, uint32_t(data.size()));
    Put32(s, offset);
    offset += uint32_t(data.size());
  }
  for (auto& im : images) s += im.second;
  return s;
}

TEST(IconTest, PicksTheLargestImageOrTheOneAsked) {
  std::string file = IconFile(1, {{16, IconImage(16, 0xFF112233u, false)}, {32, IconImage(32, 0x80445566u, true)}});
  TDecodedImage img;
  std::string error;
  ASSERT_TRUE(DecodeImage(file.data(), file.size(), img, &error)) << error;
  EXPECT_EQ(img.Format, iffIcon);
  EXPECT_EQ(img.FrameCount, 2);
  EXPECT_EQ(img.Width, 32);
  EXPECT_EQ(img.Height, 32);
  EXPECT_EQ(img.Pixels[0], 0x80445566u);
  EXPECT_EQ(img.Pixels[31 * 32], 0x80445566u) << "alpha channel wins over the mask";

  ASSERT_TRUE(DecodeImage(file.data(), file.size(), img, &error, 0)) << error;
  EXPECT_EQ(img.Width, 16);
  EXPECT_EQ(img.Pixels[0], 0xFF112233u) << "no alpha: opaque where the mask is clear";
  EXPECT_EQ(img.Pixels[15 * 16], 0u) << "transparent where the mask is set";
  EXPECT_FALSE(DecodeImage(file.data(), file.size(), img, &error, 2));
}

TEST(IconTest, CursorHotSpotAndPngImages) {
  std::vector<uint32_t> src = TestPicture(8, 8, true);
  std::string png = Encode(iffPng, src, 8, 8);
  std::string file = IconFile(2, {{8, png}});
  TDecodedImage img;
  std::string error;
  ASSERT_TRUE(DecodeImage(file.data(), file.size(), img, &error)) << error;
  EXPECT_EQ(img.Format, iffCursor);
  EXPECT_EQ(img.HotSpotX, 3);
  EXPECT_EQ(img.HotSpotY, 5);
  EXPECT_EQ(img.Pixels, src);
  std::string cut = file.substr(0, file.size() - 10);
  EXPECT_FALSE(DecodeImage(cut.data(), cut.size(), img, &error));
}

}  // namespace
