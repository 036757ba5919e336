#include "platform/forms/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>
#include <utility>

#include "platform/rtl/resources.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/common/dib_canvas.h"
#include "tests/common/rle_bitmaps.h"

namespace {

// Bytes of a BMP file, assembled field by field.
class TBytes {
 public:
  std::vector<uint8_t> b;
  TBytes& u8(uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  TBytes& u16(uint32_t v) { return u8(v).u8(v >> 8); }
  TBytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
  TBytes& raw(std::initializer_list<uint8_t> bytes) {
    b.insert(b.end(), bytes);
    return *this;
  }
  // The file header and a BITMAPINFOHEADER; bfSize and bfOffBits are
  // patched by Finish.
  TBytes& Info(int32_t w, int32_t h, int bits, uint32_t compression = BI_RGB, uint32_t clrUsed = 0) {
    u16('B' | 'M' << 8).u32(0).u32(0).u32(0);
    return u32(40).u32(static_cast<uint32_t>(w)).u32(static_cast<uint32_t>(h)).u16(1).u16(static_cast<uint32_t>(bits))
        .u32(compression).u32(0).u32(0).u32(0).u32(clrUsed).u32(0);
  }
  void MarkBits() { Put32At(10, static_cast<uint32_t>(b.size())); }
  std::vector<uint8_t> Finish() {
    Put32At(2, static_cast<uint32_t>(b.size()));
    return b;
  }
  void Put32At(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
};

void Load(TBitmap& bmp, const std::vector<uint8_t>& file) {
  TMemoryStream s;
  if (!file.empty()) s.WriteBuffer(file.data(), static_cast<Integer>(file.size()));
  s.SetPosition(0);
  bmp.LoadFromStream(&s);
}

std::vector<uint8_t> Save(TBitmap& bmp) {
  TMemoryStream s;
  bmp.SaveToStream(&s);
  auto* p = static_cast<const uint8_t*>(s.Memory());
  return std::vector<uint8_t>(p, p + s.Size());
}

uint32_t Get32(const std::vector<uint8_t>& v, size_t at) {
  return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | static_cast<uint32_t>(v[at + 3]) << 24;
}

uint32_t PixelAt(TBitmap& bmp, int x, int y) { return static_cast<uint32_t*>(bmp.ScanLine(y))[x]; }

// ---- Size, format and pixels ------------------------------------------------

TEST(BitmapTest, StartsAsAnEmptyDeviceBitmapAndGrowsWhite) {
  TBitmap bmp;
  EXPECT_TRUE(bmp.Empty());
  EXPECT_EQ(bmp.PixelFormat(), pfDevice);
  EXPECT_EQ(bmp.HandleType(), bmDDB);
  bmp.SetWidth(5);
  EXPECT_TRUE(bmp.Empty()) << "no height yet";
  bmp.SetHeight(3);
  EXPECT_FALSE(bmp.Empty());
  EXPECT_EQ(bmp.Width(), 5);
  EXPECT_EQ(bmp.Height(), 3);
  EXPECT_EQ(bmp.Canvas()->Pixels(4, 2), clWhite);
}

TEST(BitmapTest, ResizingKeepsThePixelsAndFillsWithTheBrush) {
  TBitmap bmp(4, 4);
  bmp.SetPixelFormat(pf32bit);
  bmp.Canvas()->SetPixels(1, 1, clRed);
  bmp.Canvas()->Brush()->SetColor(clYellow);
  bmp.SetSize(8, 6);
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(bmp.Canvas()->Pixels(7, 5), clYellow);
  bmp.SetSize(2, 2);
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(bmp.PixelFormat(), pf32bit);
}

TEST(BitmapTest, FormatChangesKeepTheColours) {
  const TPixelFormat formats[] = {pf24bit, pf32bit, pf8bit, pf4bit, pfDevice, pf32bit};
  TBitmap bmp(6, 2);
  bmp.Canvas()->SetPixels(0, 0, clRed);
  bmp.Canvas()->SetPixels(1, 0, clBlack);
  bmp.Canvas()->SetPixels(2, 1, clBlue);
  for (TPixelFormat f : formats) {
    SCOPED_TRACE(f);
    bmp.SetPixelFormat(f);
    EXPECT_EQ(bmp.PixelFormat(), f);
    EXPECT_EQ(bmp.HandleType(), f == pfDevice ? bmDDB : bmDIB);
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), clBlack);
    EXPECT_EQ(bmp.Canvas()->Pixels(2, 1), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(5, 1), clWhite);
  }
  EXPECT_THROW(bmp.SetPixelFormat(pfCustom), EInvalidGraphic);
}

TEST(BitmapTest, MonochromeKeepsWhiteAndBlackensTheRest) {
  TBitmap bmp(3, 1);
  bmp.Canvas()->SetPixels(0, 0, clRed);
  bmp.SetMonochrome(true);
  EXPECT_TRUE(bmp.Monochrome());
  EXPECT_EQ(bmp.HandleType(), bmDDB);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clBlack);
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), clWhite);
  EXPECT_EQ(bmp.TransparentColor(), clWhite) << "white is a monochrome bitmap's transparent colour";
  bmp.SetHandleType(bmDIB);
  EXPECT_EQ(bmp.PixelFormat(), pf1bit);
  EXPECT_TRUE(bmp.Monochrome());
  bmp.SetMonochrome(false);
  EXPECT_FALSE(bmp.Monochrome());
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), clWhite);
}

TEST(BitmapTest, ScanLineRowZeroIsTheTop) {
  TBitmap bmp(3, 2);
  static_cast<uint32_t*>(bmp.ScanLine(0))[2] = PixelOf(clRed, 0x80);
  EXPECT_EQ(bmp.PixelFormat(), pf32bit) << "a device bitmap becomes a DIB";
  EXPECT_EQ(bmp.Canvas()->Pixels(2, 0), clRed);
  EXPECT_EQ(PixelAt(bmp, 2, 0) >> 24, 0x80u);
  bmp.Canvas()->SetPixels(0, 1, clBlue);
  EXPECT_EQ(PixelAt(bmp, 0, 1) & 0xFFFFFFu, PixelOf(clBlue));
  for (Integer bad : {-1, 2}) {
    try {
      bmp.ScanLine(bad);
      ADD_FAILURE() << "row " << bad;
    } catch (const EInvalidGraphicOperation& e) {
      EXPECT_EQ(e.Message(), "Scan line index out of range");
    }
  }
}

// ---- BMP files --------------------------------------------------------------

struct TFormatCase {
  TPixelFormat Format;
  int Bits;
  size_t TableBytes;  // colour table, or the three masks
};

TEST(BitmapFileTest, EveryDepthRoundTripsByteForByte) {
  const TFormatCase cases[] = {{pf1bit, 1, 8},    {pf4bit, 4, 64},   {pf8bit, 8, 1024}, {pf15bit, 16, 0},
                               {pf16bit, 16, 12}, {pf24bit, 24, 0}, {pf32bit, 32, 0}};
  const int w = 13, h = 5;
  for (const TFormatCase& c : cases) {
    SCOPED_TRACE(c.Bits * 10 + c.Format);
    TBitmap bmp(w, h);
    bmp.SetPixelFormat(c.Format);
    const size_t rowBits = size_t(w) * c.Bits;
    for (int y = 0; y < h; ++y) {
      auto* row = static_cast<uint8_t*>(bmp.ScanLine(y));
      for (size_t i = 0; i < rowBits / 8; ++i) row[i] = static_cast<uint8_t>(y * 37 + i * 11 + 5);
    }
    std::vector<uint8_t> file = Save(bmp);
    const size_t stride = ((rowBits + 31) / 32) * 4;
    ASSERT_EQ(file.size(), 54 + c.TableBytes + stride * h);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Get32(file, 2), file.size());
    EXPECT_EQ(Get32(file, 10), 54 + c.TableBytes);
    EXPECT_EQ(Get32(file, 14), 40u);
    EXPECT_EQ(file[28], c.Bits);

    TBitmap back;
    Load(back, file);
    EXPECT_EQ(back.PixelFormat(), c.Format);
    ASSERT_EQ(back.Width(), w);
    ASSERT_EQ(back.Height(), h);
    for (int y = 0; y < h; ++y)
      EXPECT_EQ(std::memcmp(back.ScanLine(y), bmp.ScanLine(y), rowBits / 8), 0) << "row " << y;
    EXPECT_EQ(Save(back), file);
  }
}

TEST(BitmapFileTest, ADeviceBitmapIsSavedAs32Bits) {
  TBitmap bmp(2, 2);
  bmp.Canvas()->SetPixels(0, 0, clRed);
  std::vector<uint8_t> file = Save(bmp);
  EXPECT_EQ(file[28], 32);
  TBitmap back;
  Load(back, file);
  EXPECT_EQ(back.PixelFormat(), pf32bit);
  EXPECT_EQ(back.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(back.Canvas()->Pixels(1, 1), clWhite);
}

TEST(BitmapFileTest, ReadsTopDownCoreRleAndBitFieldFiles) {
  {  // top-down 24-bit: the first row in the file is the top
    TBytes f;
    f.Info(2, -2, 24);
    f.MarkBits();
    f.raw({0, 0, 255, 0, 255, 0, 0, 0}).raw({255, 0, 0, 255, 255, 255, 0, 0});
    TBitmap bmp;
    Load(bmp, f.Finish());
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), clLime);
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 1), clBlue);
  }
  {  // OS/2 core header, 1 bit, three-byte colour table
    TBytes f;
    f.u16('B' | 'M' << 8).u32(0).u32(0).u32(0);
    f.u32(12).u16(3).u16(1).u16(1).u16(1);
    f.raw({0, 0, 255, 255, 255, 0});  // red, cyan
    f.MarkBits();
    f.raw({0xA0, 0, 0, 0});  // 1 0 1
    TBitmap bmp;
    Load(bmp, f.Finish());
    EXPECT_EQ(bmp.PixelFormat(), pf1bit);
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clAqua);
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), clRed);
  }
  {  // RLE8: a run, an absolute run, end of line, a delta, end of bitmap
    TBytes f;
    f.Info(6, 3, 8, BI_RLE8, 4);
    f.raw({0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0});  // black, red, green, blue
    f.MarkBits();
    f.raw({3, 1, 0, 3, 2, 3, 2, 0, 0, 0});  // bottom row: 1 1 1 2 3 2
    f.raw({0, 2, 1, 1, 2, 3, 0, 1});        // skip to (1, 2), then 3 3, end
    TBitmap bmp;
    Load(bmp, f.Finish());
    EXPECT_EQ(bmp.PixelFormat(), pf8bit);
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 2), clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(3, 2), clLime);
    EXPECT_EQ(bmp.Canvas()->Pixels(4, 2), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(5, 2), clLime);
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(2, 0), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clBlack) << "pixels the data skips keep index 0";
  }
  {  // RLE4: nibbles alternate within a run
    TBytes f;
    f.Info(4, 1, 4, BI_RLE4, 2);
    f.raw({0, 0, 0, 0, 0, 0, 255, 0});
    f.MarkBits();
    f.raw({4, 0x10, 0, 1});
    TBitmap bmp;
    Load(bmp, f.Finish());
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), clBlack);
    EXPECT_EQ(bmp.Canvas()->Pixels(2, 0), clRed);
  }
  {  // 32 bits in R, G, B, A order through a version 5 header keep their alpha
    TBytes f;
    f.u16('B' | 'M' << 8).u32(0).u32(0).u32(0);
    f.u32(124).u32(1).u32(1).u16(1).u16(32).u32(BI_BITFIELDS).u32(4).u32(0).u32(0).u32(0).u32(0);
    f.u32(0x000000FF).u32(0x0000FF00).u32(0x00FF0000).u32(0xFF000000);
    for (int i = 0; i < (124 - 56) / 4; ++i) f.u32(0);
    f.MarkBits();
    f.raw({0x10, 0x20, 0x30, 0x40});  // R 10, G 20, B 30, A 40
    TBitmap bmp;
    Load(bmp, f.Finish());
    EXPECT_EQ(bmp.PixelFormat(), pf32bit);
    EXPECT_EQ(PixelAt(bmp, 0, 0), 0x40102030u);
  }
  {  // 16 bits 5-6-5
    TBytes f;
    f.Info(1, 1, 16, BI_BITFIELDS);
    f.u32(0xF800).u32(0x07E0).u32(0x001F);
    f.MarkBits();
    f.raw({0x00, 0xF8, 0, 0});
    TBitmap bmp;
    Load(bmp, f.Finish());
    EXPECT_EQ(bmp.PixelFormat(), pf16bit);
    EXPECT_GE(bmp.Canvas()->Pixels(0, 0) & 0xFF, 0xF8);
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0) & 0xFFFF00, 0);
  }
}

TEST(BitmapFileTest, ABitmapResourceIsAPackedDIB) {
  TBitmap bmp;
  bmp.LoadFromResourceName(HInstance, "TestBitmap");
  EXPECT_EQ(bmp.Width(), 2);
  EXPECT_EQ(bmp.PixelFormat(), pf24bit);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clBlue);
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), clWhite);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 1), clRed);
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 1), clLime);
  EXPECT_THROW(bmp.LoadFromResourceName(HInstance, "NoSuchBitmap"), EResNotFound);
}

TEST(BitmapFileTest, MalformedFilesRaiseAndLeaveTheBitmapAsItWas) {
  auto valid = [] {
    TBytes f;
    f.Info(2, 2, 24);
    f.MarkBits();
    f.raw({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    return f;
  };
  struct TCase {
    const char* What;
    std::vector<uint8_t> File;
  };
  std::vector<TCase> cases;
  cases.push_back({"not BM", [&] { auto f = valid().Finish(); f[0] = 'X'; return f; }()});
  cases.push_back({"header cut", [&] { auto f = valid().Finish(); f.resize(30); return f; }()});
  cases.push_back({"pixels cut", [&] { auto f = valid().Finish(); f.resize(f.size() - 1); return f; }()});
  cases.push_back({"unknown header size", [&] { auto f = valid(); f.Put32At(14, 41); return f.Finish(); }()});
  cases.push_back({"zero width", [&] { auto f = valid(); f.Put32At(18, 0); return f.Finish(); }()});
  cases.push_back({"negative width", [&] { auto f = valid(); f.Put32At(18, 0xFFFFFFFE); return f.Finish(); }()});
  cases.push_back({"zero height", [&] { auto f = valid(); f.Put32At(22, 0); return f.Finish(); }()});
  cases.push_back({"2 bits", [&] { auto f = valid().Finish(); f[28] = 2; return f; }()});
  cases.push_back({"JPEG inside", [&] { auto f = valid(); f.Put32At(30, BI_JPEG); return f.Finish(); }()});
  cases.push_back({"RLE8 at 24 bits", [&] { auto f = valid(); f.Put32At(30, BI_RLE8); return f.Finish(); }()});
  cases.push_back({"huge", [&] { auto f = valid(); f.Put32At(18, 100000); f.Put32At(22, 100000); return f.Finish(); }()});
  cases.push_back({"bits beyond the end", [&] { auto f = valid(); f.Put32At(10, 5000); return f.Finish(); }()});
  cases.push_back({"colour table beyond the end", [] {
                     TBytes f;
                     f.Info(1, 1, 8, BI_RGB, 0x10000000);
                     f.MarkBits();
                     f.raw({0, 0, 0, 0});
                     return f.Finish();
                   }()});
  cases.push_back({"top-down RLE", [] {
                     TBytes f;
                     f.Info(1, -1, 8, BI_RLE8, 1);
                     f.raw({0, 0, 0, 0});
                     f.MarkBits();
                     f.raw({1, 0, 0, 1});
                     return f.Finish();
                   }()});
  cases.push_back({"too short for anything", {'B', 'M', 0}});
  // Run-length files declaring sizes their data cannot describe; loading
  // them, then masking, took half a minute.
  for (const auto& [what, file] : {std::pair{"247-byte RLE4 of 6 x 16,785,410", test_bitmaps::HugeRle4Bmp()},
                                   std::pair{"292-byte RLE8 of 65535 x 2048", test_bitmaps::HugeRle8Bmp()},
                                   std::pair{"1.6 KB RLE4 of 26629 x 240", test_bitmaps::SparseRle4Bmp()}})
    cases.push_back({what, std::vector<uint8_t>(file.begin(), file.end())});
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TBitmap bmp(3, 4);
    try {
      Load(bmp, c.File);
      ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "Bitmap image is not valid");
    }
    EXPECT_EQ(bmp.Width(), 3);
    EXPECT_EQ(bmp.Height(), 4);
  }
}

// A large run-length file written row by row stays well within the
// proportion of pixels to data that is refused above.
TEST(BitmapFileTest, ALargeRunLengthFileOfOrdinaryRunsLoads) {
  const std::string file = test_bitmaps::PlainRle8Bmp();
  TBitmap bmp;
  Load(bmp, std::vector<uint8_t>(file.begin(), file.end()));
  EXPECT_EQ(bmp.Width(), 2040);
  EXPECT_EQ(bmp.Height(), 1024);
  EXPECT_EQ(bmp.Canvas()->Pixels(2039, 0), TColor(0x302010));
}

// Exposes the form description's binary value.
class TDataBitmap : public TBitmap {
 public:
  using TBitmap::ReadData;
  using TBitmap::WriteData;
};

TEST(BitmapFileTest, DataIsALengthAndTheFileImage) {
  TDataBitmap bmp;
  bmp.SetSize(3, 2);
  bmp.SetPixelFormat(pf32bit);
  static_cast<uint32_t*>(bmp.ScanLine(1))[2] = 0x80FF0000u;
  TMemoryStream data;
  bmp.WriteData(&data);
  ASSERT_EQ(data.Size(), 4 + 54 + 4 * 3 * 2);
  auto* p = static_cast<const uint8_t*>(data.Memory());
  EXPECT_EQ(p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24, 54 + 24);
  EXPECT_EQ(p[4], 'B');
  data.WriteBuffer("tail", 4);  // what follows in the form stream stays unread
  data.SetPosition(0);
  TDataBitmap back;
  back.ReadData(&data);
  EXPECT_EQ(data.Position(), 4 + 54 + 24);
  EXPECT_EQ(PixelAt(back, 2, 1), 0x80FF0000u);

  TDataBitmap empty;
  TMemoryStream none;
  empty.WriteData(&none);
  EXPECT_EQ(none.Size(), 4);
  none.SetPosition(0);
  back.ReadData(&none);
  EXPECT_TRUE(back.Empty());

  TMemoryStream lying;
  uint8_t header[4] = {0xFF, 0xFF, 0, 0};
  lying.WriteBuffer(header, 4);
  lying.SetPosition(0);
  EXPECT_THROW(back.ReadData(&lying), EInvalidGraphic) << "a length beyond the stream";
}

// ---- Drawing ----------------------------------------------------------------

class BitmapDrawTest : public ::testing::Test {
 protected:
  TTestDib dib{20, 20, PixelOf(clLime)};
  TCanvas canvas;
  void SetUp() override { canvas.SetHandle(dib.dc); }
  void TearDown() override { canvas.SetHandle(nullptr); }

  // A 2 x 1 32-bit bitmap: opaque red, then half-transparent blue.
  static void AlphaPair(TBitmap& bmp, bool premultiplied) {
    bmp.SetPixelFormat(pf32bit);
    bmp.SetSize(2, 1);
    auto* row = static_cast<uint32_t*>(bmp.ScanLine(0));
    row[0] = 0xFFFF0000u;
    row[1] = premultiplied ? 0x80000080u : 0x800000FFu;
  }
};

TEST_F(BitmapDrawTest, ThirtyTwoBitsCopyOrBlendByAlphaFormat) {
  TBitmap bmp;
  AlphaPair(bmp, false);
  canvas.Draw(0, 0, &bmp);
  EXPECT_EQ(dib.Color(0, 0), static_cast<COLORREF>(clRed));
  EXPECT_EQ(dib.Color(1, 0), static_cast<COLORREF>(clBlue)) << "afIgnored copies";

  bmp.SetAlphaFormat(afDefined);
  canvas.Draw(0, 2, &bmp);
  EXPECT_EQ(dib.Color(0, 2), static_cast<COLORREF>(clRed));
  COLORREF half = dib.Color(1, 2);
  EXPECT_NEAR(GetRValue(half), 0, 1);
  EXPECT_NEAR(GetGValue(half), 127, 1);
  EXPECT_NEAR(GetBValue(half), 128, 1);

  TBitmap pre;
  AlphaPair(pre, true);
  pre.SetAlphaFormat(afPremultiplied);
  canvas.Draw(0, 4, &pre);
  EXPECT_EQ(dib.Color(1, 4), half);
  EXPECT_EQ(PixelAt(bmp, 1, 0), 0x800000FFu) << "drawing leaves the bitmap's own pixels";
}

TEST_F(BitmapDrawTest, TransparentBitmapsLeaveTheirKeyColourOut) {
  TBitmap bmp(3, 3);
  bmp.Canvas()->Brush()->SetColor(clFuchsia);
  bmp.Canvas()->FillRect(Rect(0, 0, 3, 3));
  bmp.Canvas()->SetPixels(1, 1, clBlue);
  EXPECT_EQ(bmp.TransparentColor(), clFuchsia) << "the bottom-left pixel";
  EXPECT_EQ(bmp.TransparentMode(), tmAuto);
  bmp.SetTransparent(true);
  canvas.Draw(5, 5, &bmp);
  EXPECT_EQ(dib.Color(5, 5), static_cast<COLORREF>(clLime));
  EXPECT_EQ(dib.Color(6, 6), static_cast<COLORREF>(clBlue));

  bmp.SetTransparentColor(clBlue);
  EXPECT_EQ(bmp.TransparentMode(), tmFixed);
  canvas.Draw(10, 10, &bmp);
  EXPECT_EQ(dib.Color(10, 10), static_cast<COLORREF>(clFuchsia));
  EXPECT_EQ(dib.Color(11, 11), static_cast<COLORREF>(clLime));
  bmp.SetTransparentMode(tmAuto);
  EXPECT_EQ(bmp.TransparentColor(), clFuchsia);

  TTestDib mask(3, 3);
  HGDIOBJ old = SelectObject(mask.dc, bmp.MaskHandle());
  TTestDib probe(3, 3, 0);
  BitBlt(probe.dc, 0, 0, 3, 3, mask.dc, 0, 0, SRCCOPY);
  SelectObject(mask.dc, old);
  EXPECT_EQ(probe.Color(0, 0), 0xFFFFFFu) << "the mask is white where transparent";
  EXPECT_EQ(probe.Color(1, 1), 0u);
}

TEST_F(BitmapDrawTest, DrawUsesTheCopyModeAndStretches) {
  TBitmap bmp(2, 2);
  bmp.Canvas()->Brush()->SetColor(static_cast<TColor>(0x0F0F0F));
  bmp.Canvas()->FillRect(Rect(0, 0, 2, 2));
  canvas.SetCopyMode(cmSrcInvert);
  canvas.Draw(0, 0, &bmp);
  EXPECT_EQ(dib.Color(0, 0), static_cast<COLORREF>(clLime) ^ 0x0F0F0Fu);
  canvas.SetCopyMode(cmSrcCopy);
  bmp.Canvas()->SetPixels(0, 0, clRed);
  canvas.StretchDraw(Rect(4, 4, 8, 8), &bmp);
  EXPECT_EQ(dib.CountNot(clRed, 4, 4, 6, 6), 0);
  EXPECT_EQ(dib.Color(6, 6), 0x0F0F0Fu);
  EXPECT_EQ(dib.Color(8, 8), static_cast<COLORREF>(clLime));
}

TEST_F(BitmapDrawTest, MonochromeBitsTakeTheFontAndBrushColours) {
  TBitmap bmp(2, 1);
  bmp.SetMonochrome(true);
  bmp.Canvas()->SetPixels(0, 0, clBlack);
  canvas.Font()->SetColor(clRed);
  canvas.Brush()->SetColor(clBlue);
  canvas.Draw(3, 3, &bmp);
  EXPECT_EQ(dib.Color(3, 3), static_cast<COLORREF>(clRed));
  EXPECT_EQ(dib.Color(4, 3), static_cast<COLORREF>(clBlue));
}

// ---- Copies and handles -------------------------------------------------------

TEST(BitmapTest, AssignMakesAnIndependentCopy) {
  TBitmap a(3, 3);
  a.SetPixelFormat(pf8bit);
  a.Canvas()->SetPixels(1, 1, clRed);
  a.SetTransparentColor(clBlue);
  a.SetTransparent(true);
  TBitmap b;
  b.Assign(&a);
  a.Canvas()->SetPixels(1, 1, clLime);
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(b.TransparentColor(), clBlue);
  EXPECT_TRUE(b.Transparent());
  EXPECT_TRUE(b.Equals(&b));
  EXPECT_FALSE(b.Equals(&a));
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST(BitmapTest, DormantKeepsThePixelsWithoutTheHandle) {
  TBitmap bmp(4, 4);
  bmp.Canvas()->SetPixels(2, 3, clRed);
  HBITMAP before = bmp.Handle();
  bmp.Dormant();
  EXPECT_FALSE(bmp.HandleAllocated());
  EXPECT_EQ(GetObjectType(before), 0u) << "the handle is freed";
  EXPECT_EQ(bmp.Width(), 4);
  EXPECT_EQ(bmp.PixelFormat(), pfDevice);
  EXPECT_EQ(bmp.Canvas()->Pixels(2, 3), clRed);
  EXPECT_EQ(bmp.PixelFormat(), pfDevice) << "a device bitmap comes back as one";
  bmp.Dormant();
  bmp.FreeImage();
  EXPECT_TRUE(bmp.HandleAllocated()) << "freeing the image must not lose the picture";
}

TEST(BitmapTest, ReleasedHandlesBelongToTheCaller) {
  TBitmap bmp(2, 2);
  HBITMAP h = bmp.ReleaseHandle();
  EXPECT_TRUE(bmp.Empty());
  BITMAP bm{};
  ASSERT_NE(GetObjectA(h, sizeof(bm), &bm), 0);
  EXPECT_EQ(bm.bmWidth, 2);
  TBitmap other;
  other.SetHandle(h);  // owned again
  EXPECT_EQ(other.Width(), 2);
  EXPECT_EQ(other.HandleType(), bmDDB);
}

TEST(BitmapTest, HandleOfADIBSectionIsReadBack) {
  uint32_t* bits = nullptr;
  HBITMAP h = TestDib32(5, 4, &bits);  // top-down
  bits[0] = PixelOf(clBlue);
  TBitmap bmp;
  bmp.SetHandle(h);
  EXPECT_EQ(bmp.PixelFormat(), pf32bit);
  EXPECT_EQ(bmp.Height(), 4);
  EXPECT_EQ(PixelAt(bmp, 0, 0), PixelOf(clBlue)) << "row 0 is the top of a top-down DIB too";
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clBlue);
  std::vector<uint8_t> file = Save(bmp);
  TBitmap back;
  Load(back, file);
  EXPECT_EQ(back.Canvas()->Pixels(0, 0), clBlue);
}

TEST(BitmapTest, CanvasDrawingChangesTheBitmap) {
  TBitmap bmp(2, 2);
  int changes = 0;
  bmp.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &bmp);
    ++changes;
  };
  bmp.SetModified(false);
  bmp.Canvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(bmp.Modified());
  bmp.SetSize(2, 2);
  EXPECT_EQ(changes, 1) << "the same size is no change";
}

}  // namespace
