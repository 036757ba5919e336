// The GDI+ binding: availability, the table of names, status exceptions,
// colour conversion, encoders and the memory of wrapper objects.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/forms/graphics.h"
#include "platform/win/kernel/kernel_module.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user.h"
#include "ui/foundation/gdiplus_binding.h"

namespace {

int GdiplusReferences() {
  size_t n = 0;
  const rtl::detail::TModuleInfo* modules = rtl::detail::ModuleTable(&n);
  for (size_t i = 0; i < n; ++i)
    if (std::strcmp(modules[i].FileName, "gdiplus.dll") == 0)
      return rtl::detail::ModuleReferenceCount(static_cast<int>(i));
  return -1;
}

TEST(GdiPlusBinding, CheckAvailableBindsOnceAndStaysBound) {
  ASSERT_TRUE(dxGpCheckAvailable(false));
  int references = GdiplusReferences();
  EXPECT_TRUE(dxGpCheckAvailable(false));
  EXPECT_TRUE(dxGpIsAvailable());
  EXPECT_EQ(GdiplusReferences(), references) << "a bound library is not loaded again";
  EXPECT_NE(dxGpApi.GdipAlloc, nullptr);
  EXPECT_NE(dxGpApi.GdipDrawImageRectRectI, nullptr);
  EXPECT_EQ(dxGpApi.GdipCreateFontFromLogfont, dxGpApi.GdipCreateFontFromLogfontA);
  EXPECT_NE(dx_gdiplus_detail::StartupToken(), 0u);
}

TEST(GdiPlusBinding, TableStartsWithAllocEndsWithEmfToWmfAndEveryNameIsExported) {
  auto table = dxGpEntryPointTable();
  ASSERT_GT(table.size(), 400u);
  EXPECT_STREQ(table.front().Name, "GdipAlloc");
  EXPECT_STREQ(table.back().Name, "GdipEmfToWmfBits");
  HMODULE module = LoadLibraryA("gdiplus.dll");
  for (const TdxGpEntryPoint& e : table) EXPECT_NE(GetProcAddress(module, e.Name), nullptr) << e.Name;
  FreeLibrary(module);
}

// A table naming an entry point the library lacks: the flag falls at that
// name, every later variable stays nil, and the failed binding lets its
// library reference go.
TEST(GdiPlusBinding, MissingNameTurnsTheFlagOffAndLeavesLaterEntryPointsNil) {
  dxGpReleaseLibrary();
  ASSERT_EQ(GdiplusReferences(), 0);
  struct TSlots {
    decltype(&::GdipAlloc) Alloc = nullptr;
    FARPROC Missing = nullptr;
    decltype(&::GdipFree) Free = nullptr;
    FARPROC Later = nullptr;
  } slots;
  const TdxGpEntryPoint table[] = {{"GdipAlloc", &slots.Alloc},
                                   {"GdipNoSuchEntryPoint", &slots.Missing},
                                   {"GdipFree", &slots.Free},
                                   {"GdipDrawImageRectRectI", &slots.Later}};
  for (int attempt = 0; attempt < 3; ++attempt) {
    dx_gdiplus_detail::BindLibraryWith(table);
    EXPECT_FALSE(dxGpIsAvailable());
    EXPECT_EQ(slots.Missing, nullptr);
    EXPECT_EQ(slots.Free, nullptr);
    EXPECT_EQ(slots.Later, nullptr);
    EXPECT_EQ(GdiplusReferences(), 0) << "attempt " << attempt;
  }
  ASSERT_TRUE(dxGpCheckAvailable(false));
  EXPECT_EQ(GdiplusReferences(), 1);
}

TEST(GdiPlusBinding, ReleaseShutsDownAndClearsTheProcedures) {
  ASSERT_TRUE(dxGpCheckAvailable(false));
  dxGpReleaseLibrary();
  EXPECT_FALSE(dxGpIsAvailable());
  EXPECT_EQ(dxGpApi.GdipAlloc, nullptr);
  EXPECT_EQ(dx_gdiplus_detail::StartupToken(), 0u);
  EXPECT_EQ(GdiplusReferences(), 0);
  EXPECT_TRUE(dxGpCheckAvailable(false));
}

// The units' start-up finding the library bound already (a check ran
// first) keeps that binding instead of loading the library once more.
TEST(GdiPlusBinding, StartUpOverABindingKeepsItsSingleReference) {
  ASSERT_TRUE(dxGpCheckAvailable(false));
  const int references = GdiplusReferences();
  dx_gdiplus_detail::StartBindingUnit();
  EXPECT_TRUE(dxGpCheckAvailable(false));
  EXPECT_EQ(GdiplusReferences(), references);
  dx_gdiplus_detail::StopBindingUnit();
  EXPECT_EQ(GdiplusReferences(), 0);
  EXPECT_TRUE(dxGpCheckAvailable(false));
}

TEST(GdiPlusBinding, CheckRaisesTheStatusWithItsMessage) {
  EXPECT_NO_THROW(dxGpCheck(Ok));
  try {
    dxGpCheck(InvalidParameter);
    FAIL() << "no exception";
  } catch (const EdxGdipException& e) {
    EXPECT_EQ(e.ErrorCode(), InvalidParameter);
    EXPECT_EQ(e.Message(), "Invalid operation in GDI+ (Code: 2)");
  }
  EXPECT_THROW(dxGpCheck(7), EdxException);
}

TEST(GdiPlusBinding, ColorToARGB) {
  struct {
    TColor Color;
    Byte Alpha;
    ARGB Expected;
  } const cases[] = {
      {clNone, 255, 0x00000000},     {clRed, 128, 0x80FF0000},      {clBlue, 255, 0xFF0000FF},
      {0x123456, 0, 0x00563412},     {clWhite, 17, 0x11FFFFFF},
  };
  for (const auto& c : cases)
    EXPECT_EQ(dxGpARGBValue(dxGpColorToARGB(c.Color, TdxGpAlpha(c.Alpha))), c.Expected) << std::hex << c.Color;
  // A system colour is resolved first.
  ARGB window = dxGpARGBValue(dxGpColorToARGB(clWindow, dxGpOpaque));
  COLORREF rgb = ColorToRGB(clWindow);
  EXPECT_EQ(window, 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF));
}

TEST(GdiPlusBinding, RectanglesAndBitmaps) {
  ASSERT_TRUE(dxGpCheckAvailable(false));
  GpRectF f = dxGpRectToRectF(TRect(3, 4, 13, 24));
  EXPECT_EQ(f.X, 3);
  EXPECT_EQ(f.Y, 4);
  EXPECT_EQ(f.Width, 10);
  EXPECT_EQ(f.Height, 20);
  GpBitmap* b = dxGpCreateBitmapForRect(TRect(5, 5, 12, 8));
  UINT w = 0, h = 0;
  PixelFormat format = 0;
  GdipGetImageWidth(b, &w);
  GdipGetImageHeight(b, &h);
  GdipGetImagePixelFormat(b, &format);
  EXPECT_EQ(w, 7u);
  EXPECT_EQ(h, 3u);
  EXPECT_EQ(format, PixelFormat32bppPARGB);
  GdipDisposeImage(b);
}

TEST(GdiPlusBinding, AllFiveEncodersAreFound) {
  ASSERT_TRUE(dxGpCheckAvailable(false));
  dxGpPrepareEncoders();
  EXPECT_EQ(std::memcmp(&dxGpBmpEncoder, &CLSID_BmpCodec, sizeof(CLSID)), 0);
  EXPECT_EQ(std::memcmp(&dxGpPngEncoder, &CLSID_PngCodec, sizeof(CLSID)), 0);
  EXPECT_EQ(std::memcmp(&dxGpJpegEncoder, &CLSID_JpegCodec, sizeof(CLSID)), 0);
  EXPECT_EQ(std::memcmp(&dxGpTiffEncoder, &CLSID_TiffCodec, sizeof(CLSID)), 0);
  EXPECT_EQ(std::memcmp(&dxGpGifEncoder, &CLSID_GifCodec, sizeof(CLSID)), 0);
  CLSID id{};
  EXPECT_EQ(dxGpFindEncoderByMimeType(u"IMAGE/PNG", id), Ok);
  EXPECT_EQ(std::memcmp(&id, &CLSID_PngCodec, sizeof(CLSID)), 0);
  EXPECT_EQ(dxGpFindEncoderByMimeType(u"image/x-none", id), GenericError);
  CLSID none{};
  EXPECT_THROW(dxGpEnsureEncoder(u"image/x-none", none), EdxGdipException);
}

// A filled class id is taken as it is: no search happens (the encoder
// list is not even asked for).
TEST(GdiPlusBinding, EnsureEncoderWithAFilledIdDoesNotSearch) {
  ASSERT_TRUE(dxGpCheckAvailable(false));
  static int sizeCalls;
  sizeCalls = 0;
  auto saved = dxGpApi.GdipGetImageEncodersSize;
  dxGpApi.GdipGetImageEncodersSize = [](UINT* n, UINT* s) {
    ++sizeCalls;
    return ::GdipGetImageEncodersSize(n, s);
  };
  CLSID filled{};
  filled.Data1 = 0x12345678;
  dxGpEnsureEncoder(u"image/png", filled);
  EXPECT_EQ(sizeCalls, 0);
  EXPECT_EQ(filled.Data1, 0x12345678u);
  CLSID empty{};
  dxGpEnsureEncoder(u"image/png", empty);
  EXPECT_EQ(sizeCalls, 1);
  dxGpApi.GdipGetImageEncodersSize = saved;
}

// A wrapper made while bound keeps the allocator it came from; releasing
// the library before freeing it is safe (run under the sanitizer build).
TEST(GdiPlusBinding, WrapperOutlivesTheLibrary) {
  ASSERT_TRUE(dxGpCheckAvailable(false));
  auto* bound = new TdxGpBase();
  EXPECT_TRUE(bound->AllocatedByGdiPlus());
  dxGpReleaseLibrary();
  auto* unbound = new TdxGpBase();
  EXPECT_FALSE(unbound->AllocatedByGdiPlus());
  delete bound;
  ASSERT_TRUE(dxGpCheckAvailable(false));
  delete unbound;
  TdxGpBase onStack;
  EXPECT_FALSE(onStack.AllocatedByGdiPlus());
}

TEST(GdiPlusBinding, MissingLibraryIsRetriedSilently) {
  dxGpReleaseLibrary();
  dx_gdiplus_detail::SetLibraryFileName("nogdiplus.dll");
  EXPECT_FALSE(dxGpCheckAvailable(false));
  EXPECT_FALSE(dxGpCheckAvailable(false));
  EXPECT_EQ(dxGpApi.GdipAlloc, nullptr);
  dx_gdiplus_detail::SetLibraryFileName("gdiplus.dll");
  EXPECT_TRUE(dxGpCheckAvailable(false));
}

// With the message asked for: an error box with no owner, task-modal, then
// the program ends with a failure code.
TEST(GdiPlusBindingDeathTest, MissingLibraryWithMessageShowsTheBoxAndEnds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        rtl::detail::SetMessageBoxHook([](HWND owner, const AnsiString& text, const AnsiString& caption, UINT type) {
          fprintf(stderr, "[%s|%s|%d|%d]", caption.c_str(), text.c_str(), owner == nullptr,
                  type == (MB_TASKMODAL | MB_ICONERROR));
          return IDOK;
        });
        dxGpReleaseLibrary();
        dx_gdiplus_detail::SetLibraryFileName("nogdiplus.dll");
        dxGpCheckAvailable(true);
      },
      ::testing::ExitedWithCode(1),
      "\\[Application Error\\|This application requires the Microsoft GDI\\+ library.*Windows Me\\.  To download "
      "the latest redistributable,  see https://.*\\|1\\|1\\]");
}

}  // namespace
