// Images: pixels in the caller's memory, lock and unlock, GDI bitmaps,
// encoders and decoders through streams, image attributes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/rtl/streams.h"
#include "tests/common/rle_bitmaps.h"
#include "tests/platform/win/gdiplus_test_support.h"

namespace {

class ImageTest : public GdiplusTest {};

// A bitmap over a 4 x 4 buffer of one colour.
struct TBuffer {
  uint32_t Pixels[16];
  GpBitmap* Bitmap = nullptr;
  TBuffer(uint32_t colour, PixelFormat format) {
    for (uint32_t& p : Pixels) p = colour;
    GdipCreateBitmapFromScan0(4, 4, 16, format, reinterpret_cast<BYTE*>(Pixels), &Bitmap);
  }
  ~TBuffer() { GdipDisposeImage(Bitmap); }
};

// An IStream over a memory stream that the test keeps.
struct TMemory {
  TMemoryStream Stream;
  IStream* Adapter;
  TMemory() : Adapter(new TStreamAdapter(&Stream)) { Adapter->AddRef(); }
  ~TMemory() { Adapter->Release(); }
  void Rewind() { Stream.SetPosition(0); }
};

const CLSID* EncoderFor(const char16_t* mime, std::vector<BYTE>& buffer) {
  UINT n = 0, size = 0;
  EXPECT_EQ(GdipGetImageEncodersSize(&n, &size), Ok);
  buffer.assign(size, 0);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  EXPECT_EQ(GdipGetImageEncoders(n, size, codecs), Ok);
  for (UINT i = 0; i < n; ++i)
    if (std::u16string(codecs[i].MimeType) == mime) return &codecs[i].Clsid;
  return nullptr;
}

TEST_F(ImageTest, EncodersListTheFiveFormats) {
  UINT n = 0, size = 0;
  ASSERT_EQ(GdipGetImageEncodersSize(&n, &size), Ok);
  ASSERT_EQ(n, 5u);
  std::vector<BYTE> buffer(size);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  EXPECT_EQ(GdipGetImageEncoders(n, size - 1, codecs), InvalidParameter) << "too small a buffer";
  ASSERT_EQ(GdipGetImageEncoders(n, size, codecs), Ok);
  std::vector<std::u16string> mimes;
  for (UINT i = 0; i < n; ++i) {
    mimes.push_back(codecs[i].MimeType);
    EXPECT_TRUE(codecs[i].Flags & ImageCodecFlagsEncoder);
    // Strings live inside the block.
    auto* p = reinterpret_cast<const BYTE*>(codecs[i].MimeType);
    EXPECT_TRUE(p >= buffer.data() && p < buffer.data() + size);
  }
  for (const char16_t* m : {u"image/bmp", u"image/png", u"image/jpeg", u"image/tiff", u"image/gif"})
    EXPECT_NE(std::find(mimes.begin(), mimes.end(), std::u16string(m)), mimes.end());
  UINT decoders = 0;
  GdipGetImageDecodersSize(&decoders, &size);
  EXPECT_GT(decoders, n) << "icons are read too";
}

TEST_F(ImageTest, SavedImagesLoadBackWithTheirFormatAndPixels) {
  struct TCase {
    const char16_t* Mime;
    GUID Raw;
    bool KeepsAlpha;
    int Tolerance;
  };
  const TCase cases[] = {
      {u"image/png", ImageFormatPNG, true, 0},   {u"image/bmp", ImageFormatBMP, true, 0},
      {u"image/tiff", ImageFormatTIFF, true, 0}, {u"image/gif", ImageFormatGIF, true, 0},
      {u"image/jpeg", ImageFormatJPEG, false, 8},
  };
  GpBitmap* src = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(16, 8, 0, PixelFormat32bppARGB, nullptr, &src), Ok);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) GdipBitmapSetPixel(src, x, y, x < 8 ? 0xFFC08040u : 0x80204060u);
  for (const TCase& c : cases) {
    std::vector<BYTE> codecs;
    const CLSID* encoder = EncoderFor(c.Mime, codecs);
    ASSERT_NE(encoder, nullptr);
    TMemory m;
    ASSERT_EQ(GdipSaveImageToStream(src, m.Adapter, encoder, nullptr), Ok);
    m.Rewind();
    GpImage* back = nullptr;
    ASSERT_EQ(GdipLoadImageFromStream(m.Adapter, &back), Ok);
    GUID raw{};
    GdipGetImageRawFormat(back, &raw);
    EXPECT_TRUE(raw == c.Raw);
    UINT w = 0, h = 0;
    GdipGetImageWidth(back, &w);
    GdipGetImageHeight(back, &h);
    EXPECT_EQ(w, 16u);
    EXPECT_EQ(h, 8u);
    ARGB left = 0, right = 0;
    GdipBitmapGetPixel(static_cast<GpBitmap*>(back), 2, 2, &left);
    GdipBitmapGetPixel(static_cast<GpBitmap*>(back), 13, 5, &right);
    for (int shift = 0; shift < 24; shift += 8)
      EXPECT_NEAR(int((left >> shift) & 0xFF), int((0xFFC08040u >> shift) & 0xFF), c.Tolerance);
    if (!c.KeepsAlpha) {
      EXPECT_EQ(right >> 24, 255u);
    } else {
      EXPECT_EQ(right, raw == ImageFormatGIF ? 0xFF204060u : 0x80204060u) << "GIF: alpha 128 is not below one half";
    }
    GdipDisposeImage(back);
  }
  GdipDisposeImage(src);
}

TEST_F(ImageTest, CutShortAndForeignStreamsFailWithoutAnImage) {
  GpBitmap* src = nullptr;
  GdipCreateBitmapFromScan0(32, 32, 0, PixelFormat32bppARGB, nullptr, &src);
  for (const char16_t* mime : {u"image/png", u"image/jpeg"}) {
    std::vector<BYTE> codecs;
    TMemory full;
    ASSERT_EQ(GdipSaveImageToStream(src, full.Adapter, EncoderFor(mime, codecs), nullptr), Ok);
    TMemory cut;
    cut.Stream.WriteBuffer(full.Stream.Memory(), static_cast<Integer>(full.Stream.Size() / 2));
    cut.Rewind();
    GpImage* image = reinterpret_cast<GpImage*>(1);
    EXPECT_EQ(GdipLoadImageFromStream(cut.Adapter, &image), InvalidParameter);
    EXPECT_EQ(image, reinterpret_cast<GpImage*>(1)) << "untouched on failure";
  }
  TMemory text;
  text.Stream.WriteBuffer("not a picture", 13);
  text.Rewind();
  GpImage* image = nullptr;
  EXPECT_EQ(GdipLoadImageFromStream(text.Adapter, &image), UnknownImageFormat);
  GdipDisposeImage(src);
}

// A few hundred bytes of runs declaring 134 million pixels, or 1.6 KB
// declaring 6.4 million: refused rather than decoded and scaled for a
// thumbnail (which took 23 s for the first).
TEST_F(ImageTest, RunLengthBitmapsOutOfProportionToTheirDataAreRefused) {
  for (const std::string& file : {test_bitmaps::HugeRle8Bmp(), test_bitmaps::SparseRle4Bmp()}) {
    TMemory m;
    m.Stream.WriteBuffer(file.data(), static_cast<Integer>(file.size()));
    m.Rewind();
    GpImage* image = nullptr;
    EXPECT_NE(GdipLoadImageFromStream(m.Adapter, &image), Ok) << file.size() << " bytes";
    EXPECT_EQ(image, nullptr);
    GdipDisposeImage(image);
  }
}

TEST_F(ImageTest, LoadingStartsAtTheStreamPosition) {
  GpBitmap* src = nullptr;
  GdipCreateBitmapFromScan0(3, 2, 0, PixelFormat24bppRGB, nullptr, &src);
  std::vector<BYTE> codecs;
  TMemory m;
  m.Stream.WriteBuffer("prefix", 6);
  ASSERT_EQ(GdipSaveImageToStream(src, m.Adapter, EncoderFor(u"image/png", codecs), nullptr), Ok);
  m.Stream.SetPosition(6);
  GpImage* back = nullptr;
  ASSERT_EQ(GdipLoadImageFromStream(m.Adapter, &back), Ok);
  PixelFormat f = 0;
  GdipGetImagePixelFormat(back, &f);
  EXPECT_EQ(f, PixelFormat24bppRGB);
  GdipDisposeImage(back);
  GdipDisposeImage(src);
}

TEST_F(ImageTest, Scan0BitmapsUseTheCallersBufferInPlace) {
  TBuffer b(0x80402010u, PixelFormat32bppPARGB);
  TGpCanvas c(4, 4);
  ASSERT_EQ(GdipDrawImageI(c.G(), b.Bitmap, 0, 0), Ok);
  EXPECT_EQ(c.At(1, 1), 0x80402010u) << "premultiplied pixels drawn as they are";
  b.Pixels[5] = 0xFF00FF00u;  // changed behind the bitmap's back
  GdipDrawImageI(c.G(), b.Bitmap, 0, 0);
  EXPECT_EQ(c.At(1, 1), 0xFF00FF00u);

  // Straight alpha is premultiplied when drawn.
  TBuffer straight(0x80FF0000u, PixelFormat32bppARGB);
  TGpCanvas d(4, 4);
  GdipDrawImageI(d.G(), straight.Bitmap, 0, 0);
  EXPECT_EQ(d.At(2, 2), 0x80800000u);
}

TEST_F(ImageTest, ColourMatrixWithHalfAlphaHalvesTheDrawnAlpha) {
  TBuffer b(0xFFC86432u, PixelFormat32bppARGB);
  GpImageAttributes* attributes = nullptr;
  ASSERT_EQ(GdipCreateImageAttributes(&attributes), Ok);
  ColorMatrix m{};
  for (int i = 0; i < 5; ++i) m.m[i][i] = 1;
  m.m[3][3] = 0.5f;
  ASSERT_EQ(GdipSetImageAttributesColorMatrix(attributes, ColorAdjustTypeBitmap, TRUE, &m, nullptr,
                                              ColorMatrixFlagsDefault),
            Ok);
  TGpCanvas c(8, 8);
  ASSERT_EQ(GdipDrawImageRectRectI(c.G(), b.Bitmap, 0, 0, 4, 4, 0, 0, 4, 4, UnitPixel, attributes, nullptr, nullptr),
            Ok);
  EXPECT_NEAR(int(c.Alpha(1, 1)), 128, 1);
  EXPECT_NEAR(int((c.At(1, 1) >> 16) & 0xFF), 0xC8 / 2, 1);
  EXPECT_EQ(c.At(5, 5), 0u);
  // The source is unchanged and draws opaque without the attributes.
  GdipDrawImageRectRectI(c.G(), b.Bitmap, 4, 4, 4, 4, 0, 0, 4, 4, UnitPixel, nullptr, nullptr, nullptr);
  EXPECT_EQ(c.At(5, 5), 0xFFC86432u);
  // Switched off, the matrix no longer applies.
  GdipSetImageAttributesColorMatrix(attributes, ColorAdjustTypeBitmap, FALSE, nullptr, nullptr,
                                    ColorMatrixFlagsDefault);
  TGpCanvas d(4, 4);
  GdipDrawImageRectRectI(d.G(), b.Bitmap, 0, 0, 4, 4, 0, 0, 4, 4, UnitPixel, attributes, nullptr, nullptr);
  EXPECT_EQ(d.Alpha(1, 1), 255u);
  GdipDisposeImageAttributes(attributes);
}

TEST_F(ImageTest, ColourKeysMakePixelsTransparent) {
  TBuffer b(0xFF00FF00u, PixelFormat32bppRGB);
  b.Pixels[0] = 0xFFFF0000u;
  GpImageAttributes* a = nullptr;
  GdipCreateImageAttributes(&a);
  GdipSetImageAttributesColorKeys(a, ColorAdjustTypeDefault, TRUE, 0xFF00F000u, 0xFF00FF00u);
  TGpCanvas c(4, 4);
  GdipDrawImageRectRectI(c.G(), b.Bitmap, 0, 0, 4, 4, 0, 0, 4, 4, UnitPixel, a, nullptr, nullptr);
  EXPECT_EQ(c.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(c.At(1, 0), 0u);
  GdipDisposeImageAttributes(a);
}

TEST_F(ImageTest, SourceRectanglesAndInterpolation) {
  uint32_t px[16];
  for (int i = 0; i < 16; ++i) px[i] = 0xFF000000u | uint32_t(i * 16);
  GpBitmap* b = nullptr;
  GdipCreateBitmapFromScan0(4, 4, 16, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(px), &b);
  // One to one: the source rectangle's pixels exactly.
  TGpCanvas c(8, 8);
  GdipDrawImageRectRectI(c.G(), b, 3, 3, 2, 2, 1, 1, 2, 2, UnitPixel, nullptr, nullptr, nullptr);
  EXPECT_EQ(c.At(3, 3), px[5]);
  EXPECT_EQ(c.At(4, 4), px[10]);
  EXPECT_EQ(c.Inked(0, 0, 8, 8), 4);
  // Doubled with nearest neighbour: each pixel becomes a 2 x 2 block.
  TGpCanvas d(8, 8);
  GdipSetInterpolationMode(d.G(), InterpolationModeNearestNeighbor);
  GdipDrawImageRectRectI(d.G(), b, 0, 0, 8, 8, 0, 0, 4, 4, UnitPixel, nullptr, nullptr, nullptr);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(d.At(x, y), px[(y / 2) * 4 + x / 2]) << x << "," << y;
  // A source partly outside the image draws only the part inside.
  TGpCanvas e(8, 8);
  GdipDrawImageRectRectI(e.G(), b, 0, 0, 8, 8, 2, 2, 8, 8, UnitPixel, nullptr, nullptr, nullptr);
  EXPECT_EQ(e.Inked(0, 0, 8, 8), 4);
  EXPECT_EQ(GdipDrawImageRectRectI(e.G(), b, 0, 0, 1, 1, 0, 0, 1, 1, Unit(42), nullptr, nullptr, nullptr),
            InvalidParameter);
  GdipDisposeImage(b);
}

TEST_F(ImageTest, LockBitsConvertsAndWritesBack) {
  GpBitmap* b = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(4, 3, 0, PixelFormat32bppARGB, nullptr, &b), Ok);
  GdipBitmapSetPixel(b, 1, 1, 0x80FF0000u);
  GpRect r{1, 1, 2, 2};
  BitmapData data{};
  ASSERT_EQ(GdipBitmapLockBits(b, &r, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppPARGB, &data), Ok);
  EXPECT_EQ(data.Width, 2u);
  auto* row = static_cast<uint32_t*>(data.Scan0);
  EXPECT_EQ(row[0], 0x80800000u) << "premultiplied on the way out";
  ARGB colour;
  EXPECT_EQ(GdipBitmapGetPixel(b, 0, 0, &colour), WrongState) << "while locked";
  GpRect again{0, 0, 1, 1};
  BitmapData other{};
  EXPECT_EQ(GdipBitmapLockBits(b, &again, ImageLockModeRead, PixelFormat32bppARGB, &other), WrongState);
  row[1] = 0xFF00FF00u;
  ASSERT_EQ(GdipBitmapUnlockBits(b, &data), Ok);
  GdipBitmapGetPixel(b, 2, 1, &colour);
  EXPECT_EQ(colour, 0xFF00FF00u);
  EXPECT_EQ(GdipBitmapUnlockBits(b, &data), WrongState);
  GpRect outside{3, 2, 2, 2};
  EXPECT_EQ(GdipBitmapLockBits(b, &outside, ImageLockModeRead, PixelFormat32bppARGB, &data), InvalidParameter);
  // Same format: the bitmap's own memory.
  ASSERT_EQ(GdipBitmapLockBits(b, nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), Ok);
  EXPECT_EQ(static_cast<uint32_t*>(data.Scan0)[5], 0x80FF0000u);
  GdipBitmapUnlockBits(b, &data);
  GdipDisposeImage(b);
}

TEST_F(ImageTest, GdiBitmapsInAndOut) {
  // An HBITMAP from a bitmap: premultiplied over the background, alpha kept
  // when the background is transparent.
  TBuffer b(0x80FF0000u, PixelFormat32bppARGB);
  HBITMAP h = nullptr;
  ASSERT_EQ(GdipCreateHBITMAPFromBitmap(b.Bitmap, &h, 0), Ok);
  DIBSECTION ds{};
  ASSERT_EQ(GetObject(h, sizeof ds, &ds), int(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
  EXPECT_EQ(static_cast<uint32_t*>(ds.dsBm.bmBits)[0], 0x80800000u);
  HBITMAP onWhite = nullptr;
  GdipCreateHBITMAPFromBitmap(b.Bitmap, &onWhite, 0xFFFFFFFFu);
  GetObject(onWhite, sizeof ds, &ds);
  EXPECT_EQ(static_cast<uint32_t*>(ds.dsBm.bmBits)[0], 0xFFFF7F7Fu);
  // And back: a 32-bit GDI bitmap has no alpha to GDI+.
  GpBitmap* back = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromHBITMAP(h, nullptr, &back), Ok);
  PixelFormat f = 0;
  GdipGetImagePixelFormat(back, &f);
  EXPECT_EQ(f, PixelFormat32bppRGB);
  ARGB c = 0;
  GdipBitmapGetPixel(back, 3, 3, &c);
  EXPECT_EQ(c, 0xFF800000u);
  GdipDisposeImage(back);
  DeleteObject(h);
  DeleteObject(onWhite);
}

TEST_F(ImageTest, CloneRotateAndThumbnail) {
  GpBitmap* b = nullptr;
  GdipCreateBitmapFromScan0(3, 2, 0, PixelFormat24bppRGB, nullptr, &b);
  GdipBitmapSetPixel(b, 0, 0, 0xFFFF0000u);
  GpImage* copy = nullptr;
  ASSERT_EQ(GdipCloneImage(b, &copy), Ok);
  GdipBitmapSetPixel(b, 0, 0, 0xFF0000FFu);
  ARGB c = 0;
  GdipBitmapGetPixel(static_cast<GpBitmap*>(copy), 0, 0, &c);
  EXPECT_EQ(c, 0xFFFF0000u) << "a copy of the pixels";
  ASSERT_EQ(GdipImageRotateFlip(copy, Rotate90FlipNone), Ok);
  UINT w = 0, h = 0;
  GdipGetImageWidth(copy, &w);
  GdipGetImageHeight(copy, &h);
  EXPECT_EQ(w, 2u);
  EXPECT_EQ(h, 3u);
  GdipBitmapGetPixel(static_cast<GpBitmap*>(copy), 1, 0, &c);
  EXPECT_EQ(c, 0xFFFF0000u) << "the top-left corner turned to the top-right";
  GpImage* thumb = nullptr;
  ASSERT_EQ(GdipGetImageThumbnail(copy, 8, 8, &thumb, nullptr, nullptr), Ok);
  GdipGetImageWidth(thumb, &w);
  EXPECT_EQ(w, 8u);
  GdipDisposeImage(thumb);
  GdipDisposeImage(copy);
  GdipDisposeImage(b);
}

TEST_F(ImageTest, TheStreamAdapterMapsStreamCalls) {
  TMemoryStream s;
  auto* a = new TStreamAdapter(&s);
  EXPECT_EQ(a->AddRef(), 1u);
  IUnknown* unknown = nullptr;
  EXPECT_EQ(a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(unknown->Release(), 1u);
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(a->QueryInterface(GUID_NULL, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  ULONG n = 0;
  EXPECT_EQ(a->Write("abcdef", 6, &n), S_OK);
  EXPECT_EQ(n, 6u);
  LARGE_INTEGER to{};
  to.QuadPart = 2;
  ULARGE_INTEGER pos{};
  EXPECT_EQ(a->Seek(to, STREAM_SEEK_SET, &pos), S_OK);
  EXPECT_EQ(pos.QuadPart, 2u);
  char buf[8] = {};
  EXPECT_EQ(a->Read(buf, 8, &n), S_OK) << "a short read is not an error";
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(std::string(buf, 4), "cdef");
  EXPECT_EQ(a->Seek(to, 7, nullptr), STG_E_INVALIDFUNCTION);
  STATSTG st;
  std::memset(static_cast<void*>(&st), 0xCC, sizeof st);
  EXPECT_EQ(a->Stat(&st, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(st.type, STGTY_STREAM);
  EXPECT_EQ(st.cbSize.QuadPart, 6u);
  EXPECT_EQ(st.pwcsName, nullptr);
  EXPECT_EQ(st.reserved, 0u) << "the whole record is cleared";
  EXPECT_EQ(a->Stat(nullptr, 0), STG_E_INVALIDPOINTER);
  EXPECT_EQ(a->Release(), 0u);  // deletes the adapter, not the stream
  EXPECT_EQ(s.Size(), 6);
}

}  // namespace
