// Blending onto DCs and bitmaps on each of its three roads (the system's
// AlphaBlend, GDI+ under 32-bit emulation, software), the copies around
// it, and the Lanczos3 resampler.
#include "ui/foundation/alpha_blend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/bitmap.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_test_seams.h"
#include "tests/common/dib_canvas.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/gdiplus_binding.h"
#include "ui/foundation/gdiplus_canvas.h"
#include "ui/foundation/graphics_unit.h"
#include "unit_state_fixture.h"

namespace {

constexpr uint32_t Bgra(uint32_t b, uint32_t g, uint32_t r, uint32_t a) { return a << 24 | r << 16 | g << 8 | b; }

Byte Channel(uint32_t v, int i) { return static_cast<Byte>(v >> (8 * i)); }

::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance) {
  for (int i = 0; i < 4; ++i)
    if (std::abs(Channel(actual, i) - Channel(expected, i)) > tolerance)
      return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not within " << std::dec
                                           << tolerance << " of 0x" << std::hex << expected;
  return ::testing::AssertionSuccess();
}

// A 32-bit bitmap holding the pixels, top row first.
void Fill(TcxBitmap32& B, const std::vector<uint32_t>& P) {
  const int w = B.Width(), h = B.Height();
  TRGBColors bottomUp(P.size());
  for (int y = 0; y < h; ++y)
    std::memcpy(&bottomUp[static_cast<size_t>((h - 1 - y) * w)], &P[static_cast<size_t>(y * w)],
                static_cast<size_t>(w) * 4);
  B.SetPixels(bottomUp);
}

std::vector<uint32_t> Pixels(TcxBitmap32& B) {
  TRGBColors bottomUp;
  B.GetPixels(bottomUp);
  const int w = B.Width(), h = B.Height();
  std::vector<uint32_t> out(static_cast<size_t>(w * h));
  for (int y = 0; y < h; ++y)
    std::memcpy(&out[static_cast<size_t>(y * w)], &bottomUp[static_cast<size_t>((h - 1 - y) * w)],
                static_cast<size_t>(w) * 4);
  return out;
}

// ---- The three roads -----------------------------------------------------------------------

enum class TRoad { Direct, Software, Emulated };

std::string RoadName(const ::testing::TestParamInfo<TRoad>& Info) {
  switch (Info.param) {
    case TRoad::Direct: return "Direct";
    case TRoad::Software: return "Software";
    case TRoad::Emulated: return "Emulated";
  }
  return "?";
}

// Binds AlphaBlend (the drawing unit's start-up) for the direct and the
// emulated road, leaves it unbound for the software road, and claims 32-bit
// emulation for the emulated one.
class TRoadScope {
  bool FStarted = false;
  // The software road undoes the start-ups outstanding.
  std::optional<unit_state_test::TGraphicsUnitAtRest> FAtRest;
  bool FWow64 = OSWow64Process;

 public:
  explicit TRoadScope(TRoad ARoad) {
    if (ARoad != TRoad::Software) {
      cx_graphics_detail::StartGraphics();
      FStarted = true;
    } else
      FAtRest.emplace();
    OSWow64Process = ARoad == TRoad::Emulated;
    if (ARoad == TRoad::Emulated) {
      EXPECT_TRUE(dxGpCheckAvailable(false));
      // An earlier test may have run the images unit's shut-down, after
      // which no shared alpha attributes are made.
      dx_gdiplus_detail::ResetSharedCanvasObjects();
    }
    EXPECT_EQ(cxIsAlphaBlendAvailable(), ARoad != TRoad::Software);
  }
  ~TRoadScope() {
    OSWow64Process = FWow64;
    if (FStarted) cx_graphics_detail::StopGraphics();
  }
};

class AlphaBlendRoads : public ::testing::TestWithParam<TRoad> {};

// Premultiplied pixels of every kind over a coloured background: opaque,
// half transparent, transparent, and a few whose colour nearly reaches
// their alpha.
const std::vector<uint32_t>& FixturePixels() {
  static const std::vector<uint32_t> pixels = [] {
    std::vector<uint32_t> p;
    for (uint32_t i = 0; i < 64; ++i) {
      const uint32_t a = (i * 37 + 11) % 256;
      const uint32_t b = a * ((i * 13) % 7) / 6, g = a * ((i * 5) % 4) / 3, r = a * (i % 3) / 2;
      p.push_back(Bgra(b, g, r, a));
    }
    p[0] = Bgra(0, 0, 0, 0);
    p[1] = Bgra(10, 200, 30, 255);
    p[2] = Bgra(64, 64, 64, 128);
    return p;
  }();
  return pixels;
}

std::vector<uint32_t> BlendOnRoad(TRoad ARoad, Byte AAlpha) {
  TRoadScope road(ARoad);
  TcxBitmap32 source(8, 8);
  Fill(source, FixturePixels());
  TDibCanvas dest(12, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) dest.At(x, y) = Bgra(x * 20, 90, y * 20, 255);
  cxAlphaBlendBitmapOntoDC(dest.dc, &source, TRect(2, 3, 10, 11), AAlpha);
  return std::vector<uint32_t>(dest.bits, dest.bits + 144);
}

TEST_P(AlphaBlendRoads, GiveTheBytesOfTheSystemBlendWithinOne) {
  std::vector<uint32_t> reference;
  {
    TRoadScope road(TRoad::Direct);
    TDibCanvas expected(12, 12);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) expected.At(x, y) = Bgra(x * 20, 90, y * 20, 255);
    TcxBitmap32 source(8, 8);
    Fill(source, FixturePixels());
    BLENDFUNCTION f{AC_SRC_OVER, 0, 200, AC_SRC_ALPHA};
    ASSERT_TRUE(AlphaBlend(expected.dc, 2, 3, 8, 8, source.Canvas()->Handle(), 0, 0, 8, 8, f));
    reference.assign(expected.bits, expected.bits + 144);
  }
  const std::vector<uint32_t> got = BlendOnRoad(GetParam(), 200);
  for (size_t i = 0; i < got.size(); ++i) EXPECT_TRUE(Near(got[i], reference[i], 1)) << "pixel " << i;
}

TEST_P(AlphaBlendRoads, TransparentSourceLeavesTheDestinationAndHalfAlphaHalvesIt) {
  TRoadScope road(GetParam());
  TcxBitmap32 source(4, 4);
  Fill(source, std::vector<uint32_t>(16, Bgra(0, 0, 0, 0)));
  TDibCanvas dest(6, 6, Bgra(40, 120, 240, 255));
  cxAlphaBlendBitmapOntoDC(dest.dc, &source, TRect(1, 1, 5, 5), 255);
  EXPECT_EQ(dest.CountNot(Bgra(40, 120, 240, 255), 0, 0, 6, 6), 0);

  Fill(source, std::vector<uint32_t>(16, Bgra(200, 100, 0, 255)));
  dest.Fill(Bgra(0, 100, 200, 255));
  cxAlphaBlendBitmapOntoDC(dest.dc, &source, TRect(1, 1, 5, 5), 128);
  for (int y = 1; y < 5; ++y)
    for (int x = 1; x < 5; ++x) EXPECT_TRUE(Near(dest.At(x, y), Bgra(100, 100, 100, 255), 1)) << x << "," << y;
  EXPECT_EQ(dest.At(0, 0), Bgra(0, 100, 200, 255));
  EXPECT_EQ(dest.At(5, 5), Bgra(0, 100, 200, 255));
}

TEST_P(AlphaBlendRoads, RectanglesWithoutAreaDrawNothing) {
  TRoadScope road(GetParam());
  TcxBitmap32 source(4, 4);
  Fill(source, std::vector<uint32_t>(16, Bgra(255, 255, 255, 255)));
  HDC sourceDC = source.Canvas()->Handle();
  struct TCase {
    TRect Dest, Source;
  };
  const TCase cases[] = {
      {TRect(1, 1, 1, 5), TRect(0, 0, 4, 4)},  // no width
      {TRect(1, 1, 5, 1), TRect(0, 0, 4, 4)},  // no height
      {TRect(1, 1, 5, 5), TRect(2, 0, 2, 4)},  // source without width
      {TRect(1, 1, 5, 5), TRect(0, 3, 4, 3)},  // source without height
      {TRect(5, 5, 1, 1), TRect(0, 0, 4, 4)},  // turned inside out
  };
  for (const TCase& c : cases) {
    TDibCanvas dest(6, 6, Bgra(1, 2, 3, 255));
    cxAlphaBlendDC(dest.dc, sourceDC, c.Dest, c.Source, true, 255);
    EXPECT_EQ(dest.CountNot(Bgra(1, 2, 3, 255), 0, 0, 6, 6), 0)
        << c.Dest.Left << "," << c.Dest.Top << "," << c.Dest.Right << "," << c.Dest.Bottom;
  }
}

TEST_P(AlphaBlendRoads, StretchesAndSmoothsIntoTheDestinationRectangle) {
  TRoadScope road(GetParam());
  // Left half black, right half white, opaque.
  TcxBitmap32 source(8, 8);
  std::vector<uint32_t> p(64);
  for (int i = 0; i < 64; ++i) p[size_t(i)] = (i % 8) < 4 ? Bgra(0, 0, 0, 255) : Bgra(255, 255, 255, 255);
  Fill(source, p);
  for (bool smooth : {false, true}) {
    TDibCanvas dest(20, 20, Bgra(0, 0, 255, 255));
    cxAlphaBlendBitmapOntoDC(dest.dc, &source, TRect(2, 2, 18, 18), 255, smooth);
    EXPECT_EQ(dest.CountNot(Bgra(0, 0, 255, 255), 0, 0, 20, 2), 0) << smooth;
    EXPECT_EQ(dest.CountNot(Bgra(0, 0, 255, 255), 18, 0, 20, 20), 0) << smooth;
    // The far ends keep the source's colours; the middle goes from dark to
    // light.
    EXPECT_TRUE(Near(dest.At(2, 10), Bgra(0, 0, 0, 255), 2)) << smooth;
    EXPECT_TRUE(Near(dest.At(17, 10), Bgra(255, 255, 255, 255), 2)) << smooth;
    EXPECT_LE(Channel(dest.At(8, 10), 1), Channel(dest.At(11, 10), 1)) << smooth;
  }
}

INSTANTIATE_TEST_SUITE_P(Each, AlphaBlendRoads,
                         ::testing::Values(TRoad::Direct, TRoad::Software, TRoad::Emulated), RoadName);

TEST(AlphaBlend, EqualSizesTakeTheSystemBlendEvenWhenSmoothingIsAsked) {
  TRoadScope road(TRoad::Direct);
  // A 24-bit source has no alpha channel: the system blend draws it opaque,
  // while a copy on the software road carries alpha 0 and shows nothing.
  TcxBitmap source(4, 4, pf24bit);
  source.Canvas()->Brush()->SetColor(clRed);
  source.Canvas()->FillRect(TRect(0, 0, 4, 4));
  TDibCanvas dest(10, 10, Bgra(255, 255, 255, 255));
  cxAlphaBlendDC(dest.dc, source.Canvas()->Handle(), TRect(0, 0, 4, 4), TRect(0, 0, 4, 4), true, 255);
  EXPECT_EQ(dest.Rgb(1, 1), 0xFF0000u);
  cxAlphaBlendDC(dest.dc, source.Canvas()->Handle(), TRect(4, 4, 10, 10), TRect(0, 0, 4, 4), true, 255);
  EXPECT_EQ(dest.Rgb(6, 6), 0xFFFFFFu);
  cxAlphaBlendDC(dest.dc, source.Canvas()->Handle(), TRect(4, 4, 10, 10), TRect(0, 0, 4, 4), false, 255);
  EXPECT_EQ(dest.Rgb(6, 6), 0xFF0000u);
}

TEST(AlphaBlend, BitmapOntoBitmapTakesThePartAndAlphaBlendToTheWhole) {
  TRoadScope road(TRoad::Direct);
  TcxBitmap32 source(4, 2);
  Fill(source, {Bgra(255, 0, 0, 255), Bgra(0, 255, 0, 255), Bgra(0, 0, 255, 255), Bgra(0, 0, 0, 0),
                Bgra(9, 9, 9, 255), Bgra(8, 8, 8, 255), Bgra(7, 7, 7, 255), Bgra(6, 6, 6, 255)});
  TcxBitmap32 dest(4, 4, true);
  cxAlphaBlendBitmapOntoBitmap(&dest, &source, TRect(0, 0, 2, 1), 255, false, TRect(1, 0, 3, 1));
  std::vector<uint32_t> got = Pixels(dest);
  EXPECT_EQ(got[0], Bgra(0, 255, 0, 255));
  EXPECT_EQ(got[1], Bgra(0, 0, 255, 255));
  EXPECT_EQ(got[2], 0u);

  source.AlphaBlendTo(&dest, TRect(0, 2, 4, 4), 255, false);
  got = Pixels(dest);
  EXPECT_EQ(got[8], Bgra(255, 0, 0, 255));
  EXPECT_EQ(got[11], 0u);
  EXPECT_EQ(got[15], Bgra(6, 6, 6, 255));
}

// ---- Copies ------------------------------------------------------------------------------

TEST(AlphaBlendCopies, CopyOfADCRectIs32BitsWithTheDCsPixels) {
  TDibCanvas dc(5, 5, Bgra(1, 2, 3, 4));
  dc.At(2, 3) = Bgra(50, 60, 70, 80);
  std::unique_ptr<TBitmap> copy = cxCopyDCRectToBitmap(dc.dc, TRect(1, 2, 4, 5));
  ASSERT_EQ(copy->PixelFormat(), pf32bit);
  ASSERT_EQ(copy->Width(), 3);
  ASSERT_EQ(copy->Height(), 3);
  std::vector<RGBQUAD> pixels;
  ASSERT_TRUE(dxGetBitmapPixels(copy->Handle(), pixels, true));
  uint32_t v;
  std::memcpy(&v, &pixels[1 * 3 + 1], 4);
  EXPECT_EQ(v, Bgra(50, 60, 70, 80));
  std::memcpy(&v, &pixels[0], 4);
  EXPECT_EQ(v, Bgra(1, 2, 3, 4));
}

TEST(AlphaBlendCopies, BlitBitmapToDCCopiesFromTheSourcePoint) {
  TcxBitmap32 source(3, 3);
  std::vector<uint32_t> p(9);
  for (uint32_t i = 0; i < 9; ++i) p[i] = Bgra(i, i, i, 255);
  Fill(source, p);
  TDibCanvas dest(4, 4, 0);
  cxBlitBitmapToDC(dest.dc, &source, TRect(0, 0, 2, 2), SRCCOPY, TPoint(1, 1));
  EXPECT_EQ(dest.At(0, 0), Bgra(4, 4, 4, 255));
  EXPECT_EQ(dest.At(1, 1), Bgra(8, 8, 8, 255));
  EXPECT_EQ(dest.At(2, 2), 0u);
}

TEST(AlphaBlendCopies, ShallowerBitmapsReachA32BitSurfaceWithAlphaZeroOnEveryFamily) {
  TBitmap source;
  source.SetPixelFormat(pf24bit);
  source.SetSize(3, 2);
  source.Canvas()->Brush()->SetColor(clRed);
  source.Canvas()->FillRect(TRect(0, 0, 3, 2));
  const bool was9x = OSWin9xFamily;
  for (bool family9x : {false, true}) {
    OSWin9xFamily = family9x;
    TDibCanvas dest(4, 4, 0xFFFFFFFFu);
    cxBlitBitmapToDC(dest.dc, &source, TRect(1, 1, 3, 3), SRCCOPY, TPoint(1, 0));
    EXPECT_EQ(dest.At(1, 1), 0x00FF0000u) << family9x;
    EXPECT_EQ(dest.At(2, 2), 0x00FF0000u) << family9x;
    EXPECT_EQ(dest.At(3, 3), 0xFFFFFFFFu) << family9x;
  }
  OSWin9xFamily = was9x;
}

TEST(AlphaBlendCopies, OnAPaletteDisplayThePaletteIsRealisedAndTheOldOneSelectedBack) {
  rtl::testing::SetDeviceCapsOverride({8, 256, 0});
  TBitmap source;
  source.SetPixelFormat(pf8bit);
  source.SetSize(2, 2);
  source.Canvas()->Brush()->SetColor(clBlue);
  source.Canvas()->FillRect(TRect(0, 0, 2, 2));
  TDibCanvas dest(2, 2, 0);
  HGDIOBJ before = GetCurrentObject(dest.dc, OBJ_PAL);
  cxBlitBitmapToDC(dest.dc, &source, TRect(0, 0, 2, 2));
  rtl::testing::SetDeviceCapsOverride({});
  EXPECT_EQ(GetCurrentObject(dest.dc, OBJ_PAL), before);
  EXPECT_EQ(dest.Rgb(1, 1), 0x0000FFu);
}

TEST(AlphaBlendCopies, SoftwareBlendOfBitmapsIsTheBlendOfEachPixel) {
  TcxBitmap32 source(2, 1), dest(2, 1);
  Fill(source, {Bgra(100, 0, 0, 100), Bgra(0, 0, 0, 0)});
  Fill(dest, {Bgra(0, 200, 0, 255), Bgra(5, 6, 7, 8)});
  cxBlendBitmapsSoftware(&dest, &source, 255);
  std::vector<uint32_t> got = Pixels(dest);
  RGBQUAD expected{0, 200, 0, 255};
  cxBlendPixel(RGBQUAD{100, 0, 0, 100}, expected, 255);
  uint32_t e;
  std::memcpy(&e, &expected, 4);
  EXPECT_EQ(got[0], e);
  EXPECT_EQ(got[1], Bgra(5, 6, 7, 8));
  // Bitmaps of different sizes are left alone.
  TcxBitmap32 other(3, 1);
  Fill(other, {1, 2, 3});
  cxBlendBitmapsSoftware(&other, &source, 255);
  EXPECT_EQ(Pixels(other), (std::vector<uint32_t>{1, 2, 3}));
}

// The drawing contract the glyph pipeline stands on: GDI leaves the fourth
// byte of a 32-bit surface 0, and SRCPAINT and 0x00200F09 (destination AND
// pattern AND NOT source) combine all four bytes.
TEST(AlphaBlendCopies, GdiDrawingLeavesAlphaZeroAndRasterOperationsCombineAllFourBytes) {
  TDibCanvas dest(4, 1, 0xFFFFFFFFu);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT r{0, 0, 1, 1};
  FillRect(dest.dc, &r, red);
  EXPECT_EQ(dest.At(0, 0), 0x00FF0000u);

  TDibCanvas source(4, 1, 0);
  source.At(1, 0) = 0x80102030u;
  source.At(2, 0) = 0xFFFFFFFFu;
  dest.Fill(0x01020304u);
  BitBlt(dest.dc, 0, 0, 4, 1, source.dc, 0, 0, SRCPAINT);
  EXPECT_EQ(dest.At(0, 0), 0x01020304u);
  EXPECT_EQ(dest.At(1, 0), 0x81122334u);
  EXPECT_EQ(dest.At(2, 0), 0xFFFFFFFFu);

  dest.Fill(0xFFFFFFFFu);
  HGDIOBJ old = SelectObject(dest.dc, red);
  source.At(0, 0) = 0;
  source.At(3, 0) = 0xFF000000u;
  BitBlt(dest.dc, 0, 0, 4, 1, source.dc, 0, 0, 0x00200F09);
  SelectObject(dest.dc, old);
  DeleteObject(red);
  // The brush's pixel has alpha 0, so every alpha byte ANDed with it is 0.
  EXPECT_EQ(dest.At(0, 0), 0x00FF0000u);
  EXPECT_EQ(dest.At(1, 0), 0x00EF0000u);
  EXPECT_EQ(dest.At(2, 0), 0x00000000u);
  EXPECT_EQ(dest.At(3, 0), 0x00FF0000u);
}

// ---- Resampler -----------------------------------------------------------------------------

TEST(Lanczos3, FilterIsOneAtTheCentreAndZeroFromThreeOn) {
  EXPECT_EQ(cxSinC(0), 1.0f);
  EXPECT_EQ(cxLanczos3(0), 1.0f);
  EXPECT_EQ(cxLanczos3(3), 0.0f);
  EXPECT_EQ(cxLanczos3(-4.5f), 0.0f);
  EXPECT_EQ(cxLanczos3(-1.25f), cxLanczos3(1.25f));
  EXPECT_NEAR(cxLanczos3(1), 0, 1e-6);
  EXPECT_NEAR(cxLanczos3(0.5f), 0.6079271f, 1e-5);
}

TEST(Lanczos3, ShrinkingAHundredToFiftyHasThirteenPlacesPerPixel) {
  const float k = cxResampleScale(100, 50);
  EXPECT_EQ(k, 49.0f / 99.0f);
  TContributorList list;
  cxBuildContributors(list, 100, 50, k);
  ASSERT_EQ(list.size(), 50u);
  for (size_t i = 0; i < list.size(); ++i) {
    const TContributors& entry = list[i];
    EXPECT_EQ(entry.Contributors.size(), 13u) << i;
    EXPECT_LE(entry.Count, 13) << i;
    int sum = 0;
    for (int n = 0; n < entry.Count; ++n) {
      EXPECT_GE(entry.Contributors[size_t(n)].Pixel, 0);
      EXPECT_LT(entry.Contributors[size_t(n)].Pixel, 100);
      sum += entry.Contributors[size_t(n)].Weight;
    }
    // A flat colour stays flat: the weights add up to 256 exactly.
    EXPECT_EQ(sum, 256) << i;
  }
  // The ends of the line meet the ends of the source: pixel 49 is centred
  // on source pixel 99.
  const TContributors& last = list[49];
  int heaviest = 0;
  for (int n = 1; n < last.Count; ++n)
    if (last.Contributors[size_t(n)].Weight > last.Contributors[size_t(heaviest)].Weight) heaviest = n;
  EXPECT_EQ(last.Contributors[size_t(heaviest)].Pixel, 99);
}

TEST(Lanczos3, ScaleOfEachPass) {
  struct TCase {
    int S, D;
    float K;
  };
  const TCase cases[] = {{1, 10, 10.0f}, {10, 1, 0.1f}, {100, 50, 49.0f / 99.0f}, {256, 512, 511.0f / 255.0f}};
  for (const TCase& c : cases) EXPECT_EQ(cxResampleScale(c.S, c.D), c.K) << c.S << " -> " << c.D;
}

TEST(Lanczos3, OnePixelWideSourceGivesTenEqualPixelsPerRow) {
  TcxBitmap32 source(1, 3);
  Fill(source, {Bgra(10, 20, 30, 255), Bgra(200, 100, 50, 255), Bgra(0, 0, 0, 0)});
  TcxBitmap32 dest(10, 3);
  cxResampleLanczos3(&source, &dest);
  std::vector<uint32_t> got = Pixels(dest);
  for (int y = 0; y < 3; ++y)
    for (int x = 1; x < 10; ++x) EXPECT_EQ(got[size_t(y * 10 + x)], got[size_t(y * 10)]) << x << "," << y;
  EXPECT_EQ(got[0], Bgra(10, 20, 30, 255));
  EXPECT_EQ(got[10], Bgra(200, 100, 50, 255));
  EXPECT_EQ(got[20], 0u);
}

TEST(Lanczos3, ExtremeShrinkStaysInsideTheSourceAndKeepsAFlatColour) {
  // One pixel out of many, and a line of two: the filter reaches beyond
  // both ends several times over.
  for (int sw : {2, 7, 40}) {
    TcxBitmap32 source(sw, 2);
    Fill(source, std::vector<uint32_t>(size_t(sw * 2), Bgra(60, 120, 180, 255)));
    TcxBitmap32 dest(1, 5);
    cxResampleLanczos3(&source, &dest);
    for (uint32_t v : Pixels(dest)) EXPECT_EQ(v, Bgra(60, 120, 180, 255)) << sw;
  }
}

TEST(Lanczos3, EqualSizeIsTheIdentityAndEmptyBitmapsAreLeftAlone) {
  TcxBitmap32 source(5, 4);
  std::vector<uint32_t> p(20);
  for (uint32_t i = 0; i < 20; ++i) p[i] = Bgra(i * 12, 255 - i * 12, i * 5, 255);
  Fill(source, p);
  TcxBitmap32 dest(5, 4);
  cxResampleLanczos3(&source, &dest);
  EXPECT_EQ(Pixels(dest), p);

  TcxBitmap32 empty(0, 4);
  Fill(dest, std::vector<uint32_t>(20, 7));
  cxResampleLanczos3(&empty, &dest);
  EXPECT_EQ(Pixels(dest), std::vector<uint32_t>(20, 7));
}

TEST(Lanczos3, ShallowerDestinationKeepsItsFormat) {
  TcxBitmap32 source(8, 8);
  Fill(source, std::vector<uint32_t>(64, Bgra(40, 80, 120, 255)));
  TBitmap dest;
  dest.SetPixelFormat(pf24bit);
  dest.SetSize(3, 3);
  cxResampleLanczos3(&source, &dest);
  EXPECT_EQ(dest.PixelFormat(), pf24bit);
  EXPECT_EQ(GetPixel(dest.Canvas()->Handle(), 1, 1), RGB(120, 80, 40));
}

TEST(Lanczos3, DownscaleKeepsEndsAndOrdersAGradient) {
  TcxBitmap32 source(100, 1);
  std::vector<uint32_t> p(100);
  for (uint32_t i = 0; i < 100; ++i) p[i] = Bgra(i * 2, i * 2, i * 2, 255);
  Fill(source, p);
  TcxBitmap32 dest(50, 1);
  cxResampleLanczos3(&source, &dest);
  std::vector<uint32_t> got = Pixels(dest);
  EXPECT_TRUE(Near(got[0], Bgra(0, 0, 0, 255), 2));
  EXPECT_TRUE(Near(got[49], Bgra(198, 198, 198, 255), 2));
  for (size_t i = 1; i < got.size(); ++i) EXPECT_GE(Channel(got[i], 0) + 1, Channel(got[i - 1], 0)) << i;
}

}  // namespace
