#include "ui/foundation/bitmaps.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/rtl/resources.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "ui/foundation/core_classes.h"
#include "ui/foundation/graphics_unit.h"

namespace {

using TPixels = std::vector<uint32_t>;

// Pixels of a 32-bit bitmap, top row first, as 0xAARRGGBB.
TPixels TopDown(TcxBitmap32& B) {
  TRGBColors bottomUp;
  B.GetPixels(bottomUp);
  const int w = B.Width(), h = B.Height();
  TPixels out(static_cast<size_t>(w * h));
  for (int y = 0; y < h; ++y)
    std::memcpy(&out[static_cast<size_t>(y * w)], &bottomUp[static_cast<size_t>((h - 1 - y) * w)],
                static_cast<size_t>(w) * 4);
  return out;
}

void SetTopDown(TcxBitmap32& B, const TPixels& P) {
  const int w = B.Width(), h = B.Height();
  TRGBColors bottomUp(P.size());
  for (int y = 0; y < h; ++y)
    std::memcpy(&bottomUp[static_cast<size_t>((h - 1 - y) * w)], &P[static_cast<size_t>(y * w)],
                static_cast<size_t>(w) * 4);
  B.SetPixels(bottomUp);
}

constexpr uint32_t BitmapBgra(uint32_t b, uint32_t g, uint32_t r, uint32_t a) { return a << 24 | r << 16 | g << 8 | b; }

// Counts the bitmap's change notifications.
struct TChanges {
  int Count = 0;
  explicit TChanges(TGraphic& G) { G.OnChange = [this](TObject*) { ++Count; }; }
};

// ---- Sizes and notifications ---------------------------------------------------------------

TEST(CxBitmap, ResizeClampsAndReportsOnlyRealChanges) {
  TcxBitmap bitmap(4, 4);
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
  TChanges changes(bitmap);
  bitmap.Resize(-5, 10);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 10);
  EXPECT_EQ(changes.Count, 1);
  bitmap.Resize(0, 10);
  bitmap.ResizeToRect(TRect(3, 3, 3, 13));
  EXPECT_EQ(changes.Count, 1);
  bitmap.Resize(7, 2);
  EXPECT_EQ(changes.Count, 2);
  EXPECT_EQ(bitmap.GetClientRect(), TRect(0, 0, 7, 2));
}

TEST(CxBitmap, InitializeAndLoadEndWithExactlyOneNotification) {
  TcxBitmap32 bitmap;
  TChanges changes(bitmap);
  bitmap.InitializeBitmap(5, 3, pf32bit);
  EXPECT_EQ(changes.Count, 1);
  bitmap.InitializeBitmap(5, 3, pf32bit);  // nothing changes, still one
  EXPECT_EQ(changes.Count, 2);

  TcxBitmap32 source(6, 2, true);
  TMemoryStream stream;
  source.SaveToStream(&stream);
  stream.SetPosition(0);
  changes.Count = 0;
  bitmap.LoadFromStream(&stream);
  EXPECT_EQ(changes.Count, 1);
  EXPECT_EQ(bitmap.Width(), 6);
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
}

TEST(CxBitmap, LockedChangesAreHeldUntilTheLastUnlock) {
  TcxBitmap bitmap(2, 2);
  TChanges changes(bitmap);
  bitmap.LockChanges();
  bitmap.LockChanges();
  EXPECT_TRUE(bitmap.ChangesLocked());
  bitmap.SetWidth(3);
  bitmap.SetHeight(3);
  bitmap.UnlockChanges();
  EXPECT_EQ(changes.Count, 0);
  bitmap.UnlockChanges();
  EXPECT_FALSE(bitmap.ChangesLocked());
  EXPECT_EQ(changes.Count, 1);
  bitmap.LockChanges();
  bitmap.UnlockChanges();  // nothing held
  EXPECT_EQ(changes.Count, 1);
  bitmap.LockChanges();
  bitmap.UnlockChanges(true);
  EXPECT_EQ(changes.Count, 2);
}

TEST(CxBitmap32, AnotherDepthRaisesWrongPixelFormat) {
  TcxBitmap32 bitmap(2, 2);
  TBitmap deep24(3, 3);
  deep24.SetPixelFormat(pf24bit);
  try {
    bitmap.Assign(&deep24);
    FAIL() << "no exception";
  } catch (const EdxException& e) {
    EXPECT_STREQ(e.what(), "Wrong PixelFormat");
  }
  TcxBitmap32 other(3, 1, true);
  bitmap.Assign(&other);  // 32 bits: fine
  EXPECT_EQ(bitmap.Width(), 3);
}

TEST(CxBitmap32, ConstructorsSizeAndClear) {
  TcxBitmap32 sized(3, 2, true);
  EXPECT_EQ(TopDown(sized), TPixels(6, 0u));
  TcxBitmap32 forRect(TRect(5, 5, 9, 6), true);
  EXPECT_EQ(forRect.Width(), 4);
  EXPECT_EQ(forRect.Height(), 1);
  EXPECT_EQ(forRect.PixelFormat(), pf32bit);
  TcxBitmap rectFormat(TRect(0, 0, 2, 3), pf8bit);
  EXPECT_EQ(rectFormat.PixelFormat(), pf8bit);
  EXPECT_EQ(rectFormat.Height(), 3);
  EXPECT_EQ(sized.GetCxCanvas(), sized.GetCxCanvas());
  EXPECT_EQ(sized.GetCxCanvas()->Canvas(), sized.Canvas());
}

// ---- Rotation --------------------------------------------------------------------------------

TEST(CxBitmap, RotateFlipFollowsItsTable) {
  // a b c
  // d e f
  const uint32_t a = 0xFF000001, b = 0xFF000002, c = 0xFF000003, d = 0xFF000004, e = 0xFF000005, f = 0xFF000006;
  const struct {
    TcxQuarterTurn Turn;
    bool Mirror;
    int W, H;
    TPixels Expected;
  } cases[] = {
      {qtNone, false, 3, 2, {a, b, c, d, e, f}}, {qtNone, true, 3, 2, {d, e, f, a, b, c}},
      {qtLeft, false, 2, 3, {c, f, b, e, a, d}}, {qtLeft, true, 2, 3, {a, d, b, e, c, f}},
      {qtRight, false, 2, 3, {d, a, e, b, f, c}}, {qtRight, true, 2, 3, {f, c, e, b, d, a}},
      {qtHalf, false, 3, 2, {f, e, d, c, b, a}}, {qtHalf, true, 3, 2, {c, b, a, f, e, d}},
  };
  for (const auto& t : cases) {
    TcxBitmap32 bitmap(3, 2);
    SetTopDown(bitmap, {a, b, c, d, e, f});
    bitmap.RotateFlip(t.Turn, t.Mirror);
    EXPECT_EQ(bitmap.Width(), t.W) << t.Turn << t.Mirror;
    EXPECT_EQ(bitmap.Height(), t.H) << t.Turn << t.Mirror;
    EXPECT_EQ(TopDown(bitmap), t.Expected) << t.Turn << t.Mirror;
  }
}

// ---- Pixel helpers -----------------------------------------------------------------------------

TEST(CxBitmap32, KeyOutCutOutPremultiplyAndAlpha) {
  TcxBitmap32 bitmap(4, 1);
  // The key colour, another colour without alpha, one with alpha, and the
  // key colour again with alpha.
  SetTopDown(bitmap, {BitmapBgra(0x30, 0x20, 0x10, 0), BitmapBgra(1, 2, 3, 0), BitmapBgra(4, 5, 6, 7), BitmapBgra(0x30, 0x20, 0x10, 0x99)});
  bitmap.KeyOutColor(TColor(0x302010));  // red 0x10, green 0x20, blue 0x30
  EXPECT_EQ(TopDown(bitmap), (TPixels{0, BitmapBgra(1, 2, 3, 255), BitmapBgra(4, 5, 6, 7), 0}));
  EXPECT_TRUE(bitmap.HasAlpha());
  bitmap.SetAlphaChannel(0);
  EXPECT_FALSE(bitmap.HasAlpha());
  bitmap.MakeOpaque();
  EXPECT_EQ(TopDown(bitmap)[1], BitmapBgra(1, 2, 3, 255));

  // White mask pixels clear, black ones keep.
  TBitmap mask(4, 1);
  mask.SetPixelFormat(pf32bit);
  auto* row = static_cast<uint32_t*>(mask.ScanLine(0));
  row[0] = 0xFFFFFFFF;
  row[1] = 0;
  row[2] = 0x00FFFFFF;
  row[3] = 0;
  bitmap.CutOutByMask(&mask);
  EXPECT_EQ(TopDown(bitmap), (TPixels{0, BitmapBgra(1, 2, 3, 255), 0xFF000000u, 0xFF000000u}));

  TcxBitmap32 colours(2, 1);
  SetTopDown(colours, {BitmapBgra(50, 100, 200, 128), BitmapBgra(255, 1, 0, 255)});
  colours.Premultiply();
  EXPECT_EQ(TopDown(colours), (TPixels{BitmapBgra(25, 50, 100, 128), BitmapBgra(255, 1, 0, 255)}));
}

TEST(CxBitmap32, CopiesFromAnotherBitmapByRasterOperation) {
  TcxBitmap32 source(3, 2);
  SetTopDown(source, {1, 2, 3, 4, 5, 6});
  TcxBitmap32 target(3, 2, true);
  target.CopyBitmapRect(&source, TRect(1, 0, 3, 1), SRCCOPY, TPoint(0, 1));
  EXPECT_EQ(TopDown(target), (TPixels{0, 4, 5, 0, 0, 0}));
  target.CopyBitmap(&source);
  EXPECT_EQ(TopDown(target), (TPixels{1, 2, 3, 4, 5, 6}));
  target.CopyBitmap(&source, SRCINVERT);
  EXPECT_EQ(TopDown(target), TPixels(6, 0u));
}

// Reading the pixels between a push and its pop lets the bitmap's DC go;
// drawing after the pop still lands in the bitmap.
TEST(CxBitmap32, DrawingWorksAfterThePixelsWereReadInsideAPush) {
  TcxBitmap32 bitmap(2, 1, true);
  TcxCanvas* canvas = bitmap.GetCxCanvas();
  canvas->PushState();
  canvas->FillRectColor(TRect(0, 0, 1, 1), clRed);
  TRGBColors pixels;
  bitmap.GetPixels(pixels);
  canvas->PopState();
  EXPECT_EQ(bitmap.Canvas()->LockCount(), 0);
  canvas->FillRectColor(TRect(1, 0, 2, 1), clBlue);
  EXPECT_EQ(TopDown(bitmap), (TPixels{BitmapBgra(0, 0, 255, 0), BitmapBgra(255, 0, 0, 0)}));
}

TEST(CxBitmap32, CanvasLockHoldsTheFrameworkCanvas) {
  TcxBitmap32 bitmap(2, 2);
  TcxCanvas* canvas = bitmap.GetCxCanvas();
  canvas->Lock();
  EXPECT_EQ(bitmap.Canvas()->LockCount(), 1);
  canvas->Unlock();
  EXPECT_EQ(bitmap.Canvas()->LockCount(), 0);
}

TEST(CxBitmap32, LoadsABitmapResourceKeepingItsAlpha) {
  TcxBitmap32 bitmap(1, 1);
  TChanges changes(bitmap);
  bitmap.LoadFromResourceName(HInstance, "TestAlphaBitmap");
  EXPECT_EQ(changes.Count, 1);
  ASSERT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(TopDown(bitmap), (TPixels{BitmapBgra(0x90, 0xA0, 0xB0, 0xC0), BitmapBgra(0xD0, 0xE0, 0xF0, 0xFF),
                                      BitmapBgra(0x10, 0x20, 0x30, 0x40), BitmapBgra(0x50, 0x60, 0x70, 0x80)}));
  // A 24-bit resource becomes 32 bits.
  bitmap.LoadFromResourceName(HInstance, "TestBitmap");
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(bitmap.Width(), 2);
}

// ---- Filters --------------------------------------------------------------------------------------

// Bottom-up order: an opaque pixel, a half-transparent one, transparent
// black (the background colour, skipped) and a colour without alpha.
const TRGBColors kFixture = {{10, 20, 200, 255}, {100, 50, 0, 128}, {0, 0, 0, 0}, {30, 60, 90, 0}};

TEST(CxAlphaBitmap, EachFilterGivesItsBytes) {
  ASSERT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
  const struct {
    TcxBitmapFilter Filter;
    TPixels Expected;  // bottom-up
  } cases[] = {
      {bfFade, {BitmapBgra(84, 91, 217, 255), BitmapBgra(78, 39, 0, 100), 0, BitmapBgra(24, 47, 71, 0)}},
      {bfDisable, {BitmapBgra(141, 141, 141, 255), BitmapBgra(132, 132, 132, 217), 0, BitmapBgra(139, 139, 139, 179)}},
      {bfGrayAverage, {BitmapBgra(76, 76, 76, 255), BitmapBgra(50, 50, 50, 128), 0, BitmapBgra(60, 60, 60, 0)}},
      {bfOpaque, {BitmapBgra(10, 20, 200, 255), BitmapBgra(100, 50, 0, 255), 0xFF000000u, BitmapBgra(30, 60, 90, 255)}},
      {bfMask, {0, 0, 0xFFFFFFFFu, 0}},
      {bfGrayLuma, {BitmapBgra(73, 73, 73, 255), BitmapBgra(41, 41, 41, 128), 0, BitmapBgra(66, 66, 66, 0)}},
      {bfGrayLumaAlt, {BitmapBgra(31, 31, 31, 255), BitmapBgra(57, 57, 57, 128), 0, BitmapBgra(56, 56, 56, 0)}},
      {bfFixAlpha, {BitmapBgra(10, 20, 200, 255), BitmapBgra(100, 50, 0, 128), 0, BitmapBgra(30, 60, 90, 255)}},
      {bfFillBkColor, {0, 0, 0, 0}},
      {bfClearAlpha, {BitmapBgra(10, 20, 200, 0), BitmapBgra(100, 50, 0, 0), 0, BitmapBgra(30, 60, 90, 0)}},
  };
  for (const auto& c : cases) {
    TcxAlphaBitmap bitmap(2, 2);
    bitmap.SetPixels(kFixture);
    TChanges changes(bitmap);
    bitmap.ApplyFilter(c.Filter);
    TRGBColors out;
    bitmap.GetPixels(out);
    TPixels got(out.size());
    std::memcpy(got.data(), out.data(), out.size() * 4);
    EXPECT_EQ(got, c.Expected) << "filter " << c.Filter;
    EXPECT_EQ(changes.Count, 1);
  }
}

TEST(CxAlphaBitmap, HatchStartsWithTheFirstColourAtTheBottomLeft) {
  TcxAlphaBitmap bitmap(4, 4, true);
  bitmap.DrawHatch(clRed, clBlue, 2, 255, 255);
  const uint32_t r = 0xFFFF0000u, b = 0xFF0000FFu;
  EXPECT_EQ(TopDown(bitmap), (TPixels{b, b, r, r, b, b, r, r, r, r, b, b, r, r, b, b}));
  // Half alpha over transparent black; a step of 0 hatches pixel by pixel.
  TcxAlphaBitmap half(2, 1, true);
  TcxHatchData data{BitmapBgra(0, 0, 255, 255), 128, BitmapBgra(255, 0, 0, 255), 255, 0};
  half.SetHatchData(data);
  EXPECT_EQ(TopDown(half), (TPixels{BitmapBgra(0, 0, 128, 128), BitmapBgra(255, 0, 0, 255)}));
}

TEST(CxAlphaBitmap, ClearUsesTheBackgroundColourOnlyWhenItHasAlpha) {
  auto clear = TcxAlphaBitmap::CreateWithBkColor(2, 1, 0x00112233u);
  SetTopDown(*clear, {1, 2});
  clear->Clear();
  EXPECT_EQ(TopDown(*clear), (TPixels{0, 0}));
  auto solid = TcxAlphaBitmap::CreateWithBkColor(2, 1, 0xFF112233u);
  solid->Clear();
  EXPECT_EQ(TopDown(*solid), (TPixels{0xFF112233u, 0xFF112233u}));
}

TEST(CxAlphaBitmap, TransparentColoursAreSkippedAndFixed) {
  TcxAlphaBitmap bitmap(3, 1);
  SetTopDown(bitmap, {BitmapBgra(1, 2, 3, 0), BitmapBgra(9, 9, 9, 0), BitmapBgra(1, 2, 3, 77)});
  bitmap.SetTransparentColor(TColor(0x010203));  // red 3, green 2, blue 1
  EXPECT_EQ(bitmap.TransparentBkColor(), BitmapBgra(1, 2, 3, 0));
  EXPECT_TRUE(bitmap.IsTransparentPixel(BitmapBgra(1, 2, 3, 0)));
  EXPECT_TRUE(bitmap.IsTransparentPixel(BitmapBgra(1, 2, 3, 200)));  // the list ignores alpha
  EXPECT_FALSE(bitmap.IsTransparentPixel(BitmapBgra(1, 2, 4, 0)));
  // bfFixAlpha ran: only the non-transparent pixel without alpha is opaque.
  EXPECT_EQ(TopDown(bitmap), (TPixels{BitmapBgra(1, 2, 3, 0), BitmapBgra(9, 9, 9, 255), BitmapBgra(1, 2, 3, 77)}));
  EXPECT_FALSE(bitmap.IsTransparentPixel(BitmapBgra(9, 9, 9, 255)));
  bitmap.AddTransparentColor(TColor(0x090909));
  EXPECT_TRUE(bitmap.IsTransparentPixel(BitmapBgra(9, 9, 9, 255)));
  bitmap.TransparentPixels()->Clear();
  bitmap.ApplyFilter(bfMask);  // only the background colour is left
  EXPECT_EQ(TopDown(bitmap), (TPixels{0xFFFFFFFFu, 0, 0}));
}

TEST(CxBlendPixel, RoundsHalvesToEvenAndClamps) {
  EXPECT_EQ(cxRoundClampByte(2.5f), 2);
  EXPECT_EQ(cxRoundClampByte(3.5f), 4);
  EXPECT_EQ(cxRoundClampByte(-3.0f), 0);
  EXPECT_EQ(cxRoundClampByte(300.0f), 255);
  RGBQUAD pixel{100, 100, 100, 100};
  cxBlendPixel(RGBQUAD{200, 0, 50, 0}, pixel, 255);  // colour without alpha adds on top
  EXPECT_EQ(pixel.rgbBlue, 255);
  EXPECT_EQ(pixel.rgbGreen, 100);
  EXPECT_EQ(pixel.rgbRed, 150);
  EXPECT_EQ(pixel.rgbReserved, 100);
  RGBQUAD none{7, 8, 9, 10};
  cxBlendPixel(RGBQUAD{255, 255, 255, 255}, none, 0);
  EXPECT_EQ(none.rgbBlue, 7);
  EXPECT_EQ(none.rgbReserved, 10);
}

TEST(CxBitmap, RegisteredWithTheClassRegistryAtStartUp) {
  cx_graphics_detail::StartGraphics();
  EXPECT_EQ(GetClass("TcxBitmap"), TcxBitmap::StaticClass());
  EXPECT_EQ(GetClass("TcxBitmap32"), TcxBitmap32::StaticClass());
  std::unique_ptr<TObject> made(CreateInstance(GetClass("TcxBitmap32")));
  ASSERT_NE(dynamic_cast<TcxBitmap32*>(made.get()), nullptr);
  EXPECT_EQ(static_cast<TcxBitmap32*>(made.get())->PixelFormat(), pf32bit);
  cx_graphics_detail::StopGraphics();
}

}  // namespace
