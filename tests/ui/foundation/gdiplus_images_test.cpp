// GDI+ images through the real codecs: lazy realisation, formats, saving
// without re-encoding, pixels, tinting, scaling, and bad input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/backend/codecs.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/picture.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/win/user/user.h"
#include "ui/foundation/gdiplus_canvas.h"
#include "ui/foundation/gdiplus_images.h"

namespace {

// Top-down 0xAARRGGBB pixels of a small picture with a soft alpha edge.
std::vector<uint32_t> Sample(int w, int h) {
  std::vector<uint32_t> p(static_cast<size_t>(w * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t a = x == 0 ? 0x80 : 0xFF;
      p[static_cast<size_t>(y * w + x)] = a << 24 | static_cast<uint32_t>(x * 13 % 256) << 16 |
                                          static_cast<uint32_t>(y * 29 % 256) << 8 | 0x40;
    }
  return p;
}

std::string Encode(rtl::backend::TImageFileFormat format, int w, int h, bool alpha = true) {
  std::vector<uint32_t> p = Sample(w, h);
  rtl::backend::TEncodeOptions options;
  options.Alpha = alpha;
  std::string out;
  EXPECT_TRUE(rtl::backend::EncodeImage(format, p.data(), w, h, w * 4, options, out));
  return out;
}

std::string Saved(TGraphic& AImage) {
  TMemoryStream s;
  AImage.SaveToStream(&s);
  return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

template <class T = TdxGPImage>
std::unique_ptr<T> Load(const std::string& bytes) {
  auto image = std::make_unique<T>();
  TMemoryStream s;
  if (!bytes.empty()) s.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  s.SetPosition(0);
  image->LoadFromStream(&s);
  return image;
}

bool IsPng(const std::string& b) { return b.size() > 8 && b.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0; }

class GdiPlusImages : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dxGpCheckAvailable(false));
    dxGpPrepareEncoders();
  }
};

TEST_F(GdiPlusImages, PngFromStreamIsRealisedOnUseAndSavesItsOwnBytes) {
  std::string png = Encode(rtl::backend::iffPng, 16, 12);
  auto image = Load(png);
  EXPECT_FALSE(image->HandleAllocated()) << "loading keeps the stream pending";
  EXPECT_EQ(image->Width(), 16);
  EXPECT_EQ(image->Height(), 12);
  EXPECT_FALSE(image->Empty());
  EXPECT_TRUE(image->HandleAllocated());
  EXPECT_EQ(image->GetImageFormat(), dxImagePng);
  std::string first = Saved(*image);
  EXPECT_TRUE(IsPng(first));
  EXPECT_EQ(first, png);
  EXPECT_EQ(Saved(*image), png);
  EXPECT_TRUE(image->Transparent());
}

// A PNG stored among the program's resources loads like one from a stream.
TEST_F(GdiPlusImages, PngFromTheResources) {
  TdxPNGImage image;
  image.LoadFromResource(HInstance, "TestPngImage", "PNG");
  ASSERT_EQ(image.Width(), 3);
  ASSERT_EQ(image.Height(), 2);
  TRGBColors px = image.GetPixels();
  ASSERT_EQ(px.size(), 6u);
  EXPECT_EQ(px[0].rgbRed, 255);
  EXPECT_EQ(px[0].rgbReserved, 255);
  EXPECT_EQ(px[1].rgbReserved, 128);
  EXPECT_EQ(px[5].rgbBlue, 90);
  EXPECT_THROW(image.LoadFromResource(HInstance, "TestNoSuchImage", "PNG"), Exception);
}

// Saving an unchanged JPEG twice writes the very bytes it was loaded from:
// no generation loss.
TEST_F(GdiPlusImages, UnchangedJpegIsNotReencoded) {
  std::string jpeg = Encode(rtl::backend::iffJpeg, 24, 24, false);
  auto image = Load(jpeg);
  EXPECT_EQ(image->GetImageFormat(), dxImageJpeg);
  std::string once = Saved(*image);
  EXPECT_EQ(once, jpeg);
  auto again = Load(once);
  EXPECT_EQ(Saved(*again), jpeg);
}

TEST_F(GdiPlusImages, PngImageFromJpegWritesPngAndStaysJpeg) {
  std::string jpeg = Encode(rtl::backend::iffJpeg, 20, 10, false);
  auto image = Load<TdxPNGImage>(jpeg);
  std::string out = Saved(*image);
  EXPECT_TRUE(IsPng(out));
  EXPECT_EQ(image->GetImageFormat(), dxImageJpeg);
  EXPECT_EQ(image->Width(), 20);
  // The reload came from the original bytes, so a JPEG save is still them.
  TMemoryStream s;
  image->SaveToStreamByFormat(&s, dxImageJpeg);
  EXPECT_EQ(std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size())), jpeg);
}

TEST_F(GdiPlusImages, EmptyRemainderIsAnEmptyImage) {
  std::string png = Encode(rtl::backend::iffPng, 4, 4);
  TMemoryStream s;
  s.WriteBuffer(png.data(), static_cast<Integer>(png.size()));  // position at the end
  TdxGPImage image;
  image.LoadFromStream(&s);
  EXPECT_TRUE(image.Empty());
  EXPECT_EQ(image.GetSize().cx, 0);
  EXPECT_EQ(image.GetSize().cy, 0);
  EXPECT_EQ(image.GetHandle(), nullptr);
  EXPECT_TRUE(Saved(image).empty());
}

TEST_F(GdiPlusImages, PixelsWithoutAlphaFlagAreOpaque) {
  TRGBColors pixels(4 * 3, RGBQUAD{10, 20, 30, 40});
  TdxGPImage opaque(4, 3, pixels, false);
  for (const RGBQUAD& q : opaque.ImageData().Bits.operator*()) EXPECT_EQ(q.rgbReserved, 255);
  EXPECT_FALSE(opaque.Transparent());
  EXPECT_EQ(opaque.Width(), 4);
  EXPECT_EQ(opaque.GetImageFormat(), dxImageBitmap);
  TdxGPImage seeThrough(4, 3, pixels, true);
  EXPECT_TRUE(seeThrough.Transparent());
}

TEST_F(GdiPlusImages, TintKeepsAlphaAndScalesTheColour) {
  TRGBColors pixels{RGBQUAD{40, 40, 40, 128}, RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 255}};
  TdxGPImage image(3, 1, pixels, true);
  image.TintWithColor(clRed);
  TRGBColors out = image.GetPixels();
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].rgbBlue, 0);
  EXPECT_EQ(out[0].rgbGreen, 0);
  EXPECT_EQ(out[0].rgbRed, 128);
  EXPECT_EQ(out[0].rgbReserved, 128);
  EXPECT_EQ(out[1].rgbRed, 0);
  EXPECT_EQ(out[1].rgbReserved, 0);
  EXPECT_EQ(out[2].rgbRed, 255);
  EXPECT_EQ(out[2].rgbBlue, 0);
  // clNone and clDefault change nothing.
  image.TintWithColor(clNone);
  image.TintWithColor(clDefault);
  EXPECT_EQ(image.GetPixels()[0].rgbRed, 128);
}

TEST_F(GdiPlusImages, ScaleToMakesABitmapOfTheSize) {
  auto image = Load(Encode(rtl::backend::iffPng, 16, 16));
  image->ScaleTo(32, 32);
  EXPECT_EQ(image->Width(), 32);
  EXPECT_EQ(image->Height(), 32);
  EXPECT_EQ(image->GetImageFormat(), dxImageBitmap);
  // Before realisation the size is recorded and applied on first use.
  auto pending = Load(Encode(rtl::backend::iffPng, 16, 16));
  pending->ScaleTo(8, 4);
  EXPECT_EQ(pending->Width(), 8);
  EXPECT_EQ(pending->Height(), 4);
}

TEST_F(GdiPlusImages, BitmapStreamOf32BitsKeepsItsAlpha) {
  std::string bmp = Encode(rtl::backend::iffBmp, 5, 2);
  ASSERT_EQ(bmp.compare(0, 2, "BM"), 0);
  auto image = Load(bmp);
  EXPECT_EQ(image->Width(), 5);
  TRGBColors px = image->GetPixels();
  ASSERT_EQ(px.size(), 10u);
  EXPECT_EQ(px[0].rgbReserved, 0x80);
  EXPECT_EQ(px[1].rgbReserved, 0xFF);
  EXPECT_TRUE(image->Transparent());
}

TEST_F(GdiPlusImages, SamePixelsOfDifferentSizesReadsNoPixels) {
  static int conversions;
  conversions = 0;
  auto saved = dxGpApi.GdipCreateHBITMAPFromBitmap;
  dxGpApi.GdipCreateHBITMAPFromBitmap = [](GpBitmap* b, HBITMAP* h, ARGB bg) {
    ++conversions;
    return ::GdipCreateHBITMAPFromBitmap(b, h, bg);
  };
  TdxGPImage a(TSize(4, 4), TdxGpARGB{0xFF102030}), b(TSize(4, 5), TdxGpARGB{0xFF102030});
  EXPECT_FALSE(a.SamePixelsAs(&b));
  EXPECT_EQ(conversions, 0);
  TdxGPImage c(TSize(4, 4), TdxGpARGB{0xFF102030}), d(TSize(4, 4), TdxGpARGB{0xFF102031});
  EXPECT_TRUE(a.SamePixelsAs(&c));
  EXPECT_FALSE(a.SamePixelsAs(&d));
  TdxGPImage e1, e2;
  EXPECT_TRUE(e1.SamePixelsAs(&e2));
  dxGpApi.GdipCreateHBITMAPFromBitmap = saved;
}

TEST_F(GdiPlusImages, WidthAndHeightCannotBeSet) {
  auto image = Load(Encode(rtl::backend::iffPng, 6, 7));
  image->SetWidth(50);
  image->SetHeight(60);
  image->SetSize(70, 80);
  EXPECT_EQ(image->Width(), 6);
  EXPECT_EQ(image->Height(), 7);
}

TEST_F(GdiPlusImages, CopiesShareContent) {
  auto png = Load<TdxPNGImage>(Encode(rtl::backend::iffPng, 9, 9));
  std::unique_ptr<TdxGPImage> copy(png->MakeCopy());
  EXPECT_EQ(copy->ClassType(), TdxPNGImage::StaticClass());
  EXPECT_TRUE(copy->SamePixelsAs(png.get()));
  TdxGPImage assigned;
  assigned.Assign(png.get());
  EXPECT_EQ(assigned.Width(), 9);
  TBitmap bitmap;
  bitmap.Assign(png.get());
  EXPECT_EQ(bitmap.Width(), 9);
  TdxGPImage fromBitmap;
  fromBitmap.Assign(&bitmap);
  EXPECT_TRUE(fromBitmap.SamePixelsAs(png.get()));
}

// A PNG header claiming 100000 x 100000 pixels, with no pixel data.
std::string HugePng() {
  auto crc = [](const std::string& s) {
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char ch : s) {
      c ^= ch;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
  };
  auto be = [](uint32_t v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
  };
  std::string ihdr = "IHDR" + be(100000) + be(100000) + std::string("\x08\x06\x00\x00\x00", 5);
  std::string iend = "IEND";
  return std::string("\x89PNG\r\n\x1a\n", 8) + be(13) + ihdr + be(crc(ihdr)) + be(0) + iend + be(crc(iend));
}

TEST_F(GdiPlusImages, BadInput) {
  struct {
    const char* Name;
    std::string Bytes;
    bool ReadError;  // else a GDI+ status
  } const cases[] = {
      {"no codec", std::string(64, 'x'), false},
      {"shorter than 14 bytes", "\x89PNG", true},
      {"huge png", HugePng(), false},
      {"cut png", Encode(rtl::backend::iffPng, 8, 8).substr(0, 40), false},
  };
  std::string good = Encode(rtl::backend::iffPng, 3, 3);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    std::unique_ptr<TdxGPImage> image;
    ASSERT_NO_THROW(image = Load(c.Bytes)) << "loading never decodes";
    if (c.ReadError)
      EXPECT_THROW(image->Width(), EReadError);
    else {
      try {
        image->Width();
        ADD_FAILURE() << "no exception";
      } catch (const EdxGdipException& e) {
        EXPECT_NE(e.ErrorCode(), Ok);
      }
    }
    EXPECT_TRUE(image->Empty()) << "left empty";
    EXPECT_EQ(image->GetHandle(), nullptr);
    auto other = Load(good);
    image->Assign(other.get());
    EXPECT_EQ(image->Width(), 3) << "and usable";
  }
}

TEST_F(GdiPlusImages, FormatCodesOutsideOneToFiveRaise) {
  auto image = Load(Encode(rtl::backend::iffPng, 3, 3));
  for (int code : {0, 6, 200}) {
    TMemoryStream s;
    try {
      image->SaveToStreamByFormat(&s, static_cast<TdxGPImageFormat>(code));
      ADD_FAILURE() << code;
    } catch (const EdxException& e) {
      EXPECT_EQ(e.Message(), "dxGetImageEncoder fails");
    }
    EXPECT_EQ(s.Size(), 0);
  }
  for (int code = 1; code <= 5; ++code) EXPECT_NE(dxGetImageEncoder(code), nullptr);
}

TEST_F(GdiPlusImages, ConversionEncodesOnce) {
  TdxGPImage image(TSize(6, 6), TdxGpARGB{0xFF336699});
  TMemoryStream s;
  image.SaveToStreamByFormat(&s, dxImagePng);
  std::string png(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
  EXPECT_TRUE(IsPng(png));
  EXPECT_EQ(image.GetImageFormat(), dxImageBitmap);
  EXPECT_EQ(image.Width(), 6);
  image.ConvertToFormat(dxImagePng);
  EXPECT_EQ(image.GetImageFormat(), dxImagePng);
}

TEST_F(GdiPlusImages, MemoryStreamTakesExactCapacities) {
  TdxGPMemoryStream s;
  s.SetStreamSize(1000);
  EXPECT_EQ(s.StreamCapacity(), 1000);
  s.SetStreamSize(10);
  EXPECT_EQ(s.StreamCapacity(), 10);
  s.SetStreamSize(0);
  EXPECT_EQ(s.StreamCapacity(), 0);
  EXPECT_EQ(s.Memory(), nullptr);
}

TEST_F(GdiPlusImages, StreamAdapterStat) {
  TMemoryStream s;
  s.SetStreamSize(77);
  auto* adapter = new TdxGPStreamAdapter(&s);
  adapter->AddRef();
  EXPECT_EQ(adapter->Stat(nullptr, 0), S_OK);
  STATSTG st;
  std::memset(&st, 0xCD, sizeof st);
  EXPECT_EQ(adapter->Stat(&st, 0), S_OK);
  EXPECT_EQ(st.cbSize.QuadPart, 77u);
  EXPECT_EQ(st.pwcsName, nullptr);
  adapter->Release();
}

class TPictureHolder : public TComponent {
  RTL_CLASS(TPictureHolder, TComponent)
  std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();

 public:
  explicit TPictureHolder(TComponent* AOwner) : TComponent(AOwner) {}
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
};

RTL_IMPLEMENT_PUBLISHED(TPictureHolder, RTL_PROP(Picture))

AnsiString FormText(TPictureHolder& AHolder) {
  TMemoryStream binary;
  TWriter writer(&binary, 4096);
  writer.WriteDescendent(&AHolder, nullptr);
  writer.FlushBuffer();
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(&binary, &text);
  return text.DataString();
}

// A picture property holding a PNG image goes through a text form by the
// class name and comes back with the same bytes.
TEST_F(GdiPlusImages, PngPictureThroughATextForm) {
  dx_gdiplus_detail::StartImagesUnit();
  std::string png = Encode(rtl::backend::iffPng, 7, 5);
  TPictureHolder written(nullptr);
  written.SetName("Holder");
  auto image = Load<TdxPNGImage>(png);
  written.Picture()->SetGraphic(image.get());
  AnsiString form = FormText(written);
  EXPECT_NE(form.find("Picture.Data = {"), AnsiString::npos) << form;

  TPictureHolder read(nullptr);
  TStringStream input(form);
  ReadComponentText(&input, &read);
  auto* graphic = dynamic_cast<TdxPNGImage*>(read.Picture()->Graphic());
  ASSERT_NE(graphic, nullptr);
  EXPECT_EQ(graphic->Width(), 7);
  EXPECT_EQ(Saved(*graphic), png);
  EXPECT_EQ(FormText(read), form);
}

// Bitmaps below 32 bits go to GDI+ by handle, 32-bit ones by their pixels.
TEST_F(GdiPlusImages, FromBitmapsAndHandles) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(3, 2);
  bitmap.Canvas()->Brush()->SetColor(clRed);
  bitmap.Canvas()->FillRect(TRect(0, 0, 3, 2));
  TdxGPImage byHandle(bitmap.Handle());
  EXPECT_EQ(byHandle.Width(), 3);
  EXPECT_EQ(byHandle.GetImageFormat(), dxImageBitmap);
  TdxGPImage byGraphic(&bitmap);
  for (TdxGPImage* image : {&byHandle, &byGraphic}) {
    TRGBColors px = image->GetPixels();
    ASSERT_EQ(px.size(), 6u);
    EXPECT_EQ(px[5].rgbRed, 255);
    EXPECT_EQ(px[5].rgbBlue, 0);
    EXPECT_EQ(px[5].rgbReserved, 255);
  }
  EXPECT_FALSE(byGraphic.Transparent());
}

TEST_F(GdiPlusImages, ClipboardRoundTrip) {
  TdxGPImage image(TSize(6, 4), TdxGpARGB{0xFF204080});
  Word format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  image.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, CF_DIB);
  TdxGPImage read;
  read.LoadFromClipboardFormat(format, data, palette);
  EXPECT_EQ(read.Width(), 6);
  EXPECT_TRUE(read.SamePixelsAs(&image));
  GlobalFree(data);
}

TEST_F(GdiPlusImages, UnitRegistersThePictureClasses) {
  dx_gdiplus_detail::StartImagesUnit();
  EXPECT_EQ(GraphicExtension(TdxPNGImage::StaticClass()), "png");
  EXPECT_EQ(GetClass("TdxPNGImage"), TdxPNGImage::StaticClass());
  EXPECT_EQ(GetClass("TdxSmartImage"), TdxSmartImage::StaticClass());
  EXPECT_NE(GraphicFilter(TdxGPImage::StaticClass()).find("PNG image"), AnsiString::npos);
  dx_gdiplus_detail::StopImagesUnit();
  EXPECT_EQ(GraphicExtension(TdxPNGImage::StaticClass()), "");
  EXPECT_EQ(GetClass("TdxPNGImage"), nullptr);
  EXPECT_EQ(dxGpSharedPaintCanvas(), nullptr) << "none after the shut-down";
  // A new start-up brings the classes and the shared canvas back.
  dx_gdiplus_detail::StartImagesUnit();
  EXPECT_EQ(GetClass("TdxPNGImage"), TdxPNGImage::StaticClass());
  EXPECT_NE(dxGpSharedPaintCanvas(), nullptr);
}

}  // namespace
