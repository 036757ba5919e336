#include "ui/foundation/dx_core.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/forms/bitmap.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/streams.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/kernel/kernel_system.h"
#include "platform/win/user/user_test_seams.h"
#include "ui/foundation/threading.h"

namespace {

// ---- Windows version flags -----------------------------------------------------------

struct TVersionRow {
  DWORD PlatformId, Major, Minor;
  // 9x, 95, 98, Me, NT, 2000, 2000+, XP, XP+, 2000orXP, Vista, Vista+, 7, 7+, 8, 8+
  const char* Flags;
};

class VersionFlags : public ::testing::TestWithParam<TVersionRow> {
 protected:
  void TearDown() override {
    rtl::testing::ResetSystemInfo();
    dxDetectOSVersion();
  }
};

TEST_P(VersionFlags, FollowTheReportedVersion) {
  const TVersionRow& r = GetParam();
  rtl::testing::SetVersion({r.Major, r.Minor, 1000, "", r.PlatformId});
  dxDetectOSVersion();
  const bool got[] = {OSWin9xFamily, OSWin95,     OSWin98,           OSWinMe, OSWinNTFamily, OSWin2000,
                      OSWin2000OrLater, OSWinXP, OSWinXPOrLater,     OSWin2000OrXP, OSWinVista, OSWinVistaOrLater,
                      OSWin7,        OSWin7OrLater, OSWin8,          OSWin8OrLater};
  std::string flags;
  for (bool b : got) flags += b ? '1' : '0';
  EXPECT_EQ(flags, r.Flags);
  EXPECT_FALSE(OSWow64Process);
}

INSTANTIATE_TEST_SUITE_P(Rows, VersionFlags,
                         ::testing::Values(TVersionRow{1, 4, 0, "1100000000000000"},    // 95
                                           TVersionRow{1, 4, 10, "1010000000000000"},   // 98
                                           TVersionRow{1, 4, 90, "1001000000000000"},   // Me
                                           TVersionRow{2, 5, 0, "0000111001000000"},    // 2000
                                           TVersionRow{2, 5, 1, "0000101111000000"},    // XP
                                           TVersionRow{2, 5, 2, "0000101111000000"},    // Server 2003
                                           TVersionRow{2, 6, 0, "0000101010110000"},    // Vista
                                           TVersionRow{2, 6, 1, "0000101010011100"},    // 7
                                           TVersionRow{2, 6, 2, "0000101010010111"},    // 8
                                           TVersionRow{2, 6, 3, "0000101010010101"},    // 8.1
                                           TVersionRow{2, 10, 0, "0000101010010101"}));  // 10

TEST(ThreadingProbe, CountsTheProcessorsAndCreatesNoPool) {
  dx_core_detail::StartThreading();
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  EXPECT_EQ(dxGetProcessorCount(), static_cast<Integer>(info.dwNumberOfProcessors));
  // The system's thread pool is not there to look up.
  EXPECT_FALSE(dxCanUseMultiThreading());
  EXPECT_FALSE(dxIsInsideLibrary());
  dx_core_detail::StopThreading();
}

// ---- Utilities ------------------------------------------------------------------------

TEST(CoreUtilities, SwapAndQuadColours) {
  EXPECT_EQ(dxSwapRedBlue(0x11223344u), 0x11443322u);
  EXPECT_EQ(dxSwapRedBlue(0xFF0000FFu), 0xFFFF0000u);
  // Red in the low byte of a colour; blue in the low byte of a pixel.
  EXPECT_EQ(dxColorToQuadWithAlpha(0x00332211, 0x80), 0x80112233u);
  // A system colour is resolved first.
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(dxColorToQuadWithAlpha(clBtnFace, 0xFF),
            0xFF000000u | (Cardinal(GetRValue(face)) << 16) | (Cardinal(GetGValue(face)) << 8) | GetBValue(face));
}

TEST(CoreUtilities, SetContainsByteReadsTheRightBit) {
  Cardinal set[8] = {};
  set[0] = 1u << 5;
  set[3] = 1u << 31;
  set[7] = 1u << 31;
  EXPECT_TRUE(dxSetContainsByte(5, set));
  EXPECT_FALSE(dxSetContainsByte(4, set));
  EXPECT_TRUE(dxSetContainsByte(127, set));
  EXPECT_FALSE(dxSetContainsByte(128, set));
  EXPECT_TRUE(dxSetContainsByte(255, set));
}

TEST(CoreUtilities, ShortStringsHoldAtMost255Bytes) {
  TdxShortString s;
  dxLongStrToShortStr("abc", s);
  EXPECT_EQ(s[0], 3);
  EXPECT_EQ(dxShortStrToLongStr(s), "abc");
  dxLongStrToShortStr(std::string(300, 'x'), s);
  EXPECT_EQ(s[0], 255);
  EXPECT_EQ(dxShortStrToLongStr(s), std::string(255, 'x'));
  // A character that would straddle the limit is left out whole.
  dxLongStrToShortStr(std::string(254, 'x') + "\xC3\xA9" + "y", s);
  EXPECT_EQ(dxShortStrToLongStr(s), std::string(254, 'x'));
}

TEST(CoreUtilities, WritesInt32LittleEndian) {
  TMemoryStream stream;
  dxWriteInt32ToStream(&stream, 0x01020304);
  dxWriteInt32ToStream(&stream, -2);
  ASSERT_EQ(stream.Size(), 8);
  const Byte expected[8] = {4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(std::memcmp(stream.Memory(), expected, 8), 0);
  EXPECT_EQ(dxPointToMessageParam(TPoint{-1, 2}), static_cast<LPARAM>(0x0002FFFF));
}

TEST(CoreUtilities, CharsetsMapToTheirCodePages) {
  const struct {
    Byte Charset;
    UINT CodePage;
  } rows[] = {{128, 932},  {129, 949},  {130, 949},  {134, 936},  {136, 950}, {161, 1253}, {162, 1254},
              {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874}, {238, 1250}, {0, 0},
              {1, 0},      {2, 0},      {255, 0}};
  for (const auto& r : rows) EXPECT_EQ(dxCharsetToCodePage(r.Charset), r.CodePage) << int(r.Charset);
}

TEST(CoreUtilities, ConvertsTextThroughCodePages) {
  const struct {
    UINT CodePage;
    AnsiString Ansi;
    WideString Wide;
  } rows[] = {
      {0, "\xC3\xA9 \xC3\x9F \xE4\xB8\xAD\xE6\x96\x87", u"é ß 中文"},  // the system code page: UTF-8
      {65001, "\xC3\xA9\xC3\x9F", u"éß"},
      {1251, "\xCF\xF0\xE8", u"При"},
      {932, "\x93\xFA\x96\x7B", u"日本"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(dxAnsiToWideUsingCodePage(r.Ansi, r.CodePage), r.Wide) << r.CodePage;
    EXPECT_EQ(dxWideToAnsiUsingCodePage(r.Wide, r.CodePage), r.Ansi) << r.CodePage;
  }
  EXPECT_EQ(dxAnsiToWideUsingCodePage("abcdef", 0, 3), u"abc");
  EXPECT_EQ(dxWideToAnsiUsingCodePage(u"abcdef", 1251, 2), "ab");
  EXPECT_EQ(dxAnsiToWideUsingCodePage("", 932), u"");
  // Invalid sequences convert, never crash or cut the text.
  EXPECT_EQ(dxAnsiToWideUsingCodePage("a\xFF" "b", 0), u"a\uFFFDb");
  EXPECT_EQ(dxAnsiToWideUsingCodePage("a\x93", 932), u"a\uFFFD");
  EXPECT_EQ(dxWideToAnsiUsingCodePage(u"a中b", 1251), "a?b");
}

TEST(CoreUtilities, LocaleItemsFallBackToTheDefault) {
  EXPECT_EQ(dxGetLocaleInfoString(LOCALE_EN_US, LOCALE_SDATE, "x"), "/");
  EXPECT_EQ(dxGetLocaleInfoString(LOCALE_EN_US, 0x7777, "fallback"), "fallback");
  EXPECT_EQ(dxGetLocaleInfoString(0x0411, LOCALE_SDATE, "fallback"), "fallback");
  // An item that is there but empty is the empty text, not the default.
  EXPECT_EQ(dxGetLocaleInfoString(LOCALE_EN_US, LOCALE_SMONTHNAME13, "fallback"), "");
}

// ---- Pixels ----------------------------------------------------------------------------

std::unique_ptr<TBitmap> MakeBitmap(TPixelFormat format, int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(format);
  b->SetSize(w, h);
  return b;
}

TEST(BitmapPixels, AlphaIsSeenOnlyIn32BitBitmapsWithANonZeroAlphaByte) {
  auto b24 = MakeBitmap(pf24bit, 4, 3);
  EXPECT_FALSE(dxBitmapHasAlpha(b24.get()));

  auto b32 = MakeBitmap(pf32bit, 4, 3);
  std::vector<RGBQUAD> pixels(12, RGBQUAD{10, 20, 30, 0});
  ASSERT_TRUE(dxPutBitmapPixels32(b32->Handle(), pixels, false));
  EXPECT_FALSE(dxBitmapHasAlpha(b32.get()));
  pixels[7].rgbReserved = 1;
  ASSERT_TRUE(dxPutBitmapPixels32(b32->Handle(), pixels, false));
  EXPECT_TRUE(dxBitmapHasAlpha(b32.get()));
}

TEST(BitmapPixels, ReadsBackWhatWasWrittenInEitherRowOrder) {
  auto b = MakeBitmap(pf32bit, 2, 2);
  // Bottom-up: the first row given is the bottom row.
  std::vector<RGBQUAD> bottomUp = {{1, 0, 0, 255}, {2, 0, 0, 255}, {3, 0, 0, 255}, {4, 0, 0, 255}};
  ASSERT_TRUE(dxPutBitmapPixels32(b->Handle(), bottomUp, false));
  std::vector<RGBQUAD> topDown;
  ASSERT_TRUE(dxGetBitmapPixels(b->Handle(), topDown, true));
  ASSERT_EQ(topDown.size(), 4u);
  EXPECT_EQ(topDown[0].rgbBlue, 3);
  EXPECT_EQ(topDown[1].rgbBlue, 4);
  EXPECT_EQ(topDown[2].rgbBlue, 1);
  EXPECT_EQ(topDown[3].rgbBlue, 2);
  EXPECT_EQ(dxGetBitmapBitsPerPixel(b.get()), 32);
  // Too few pixels are refused rather than read past their end.
  EXPECT_FALSE(dxPutBitmapPixels32(b->Handle(), std::vector<RGBQUAD>(3), false));
}

TEST(BitmapPixels, InvalidOrEmptyBitmapsGiveFalse) {
  std::vector<RGBQUAD> pixels;
  EXPECT_FALSE(dxGetBitmapPixels(nullptr, pixels, false));
  HBITMAP bm = CreateBitmap(2, 2, 1, 32, nullptr);
  DeleteObject(bm);
  EXPECT_FALSE(dxGetBitmapPixels(bm, pixels, false));
  EXPECT_FALSE(dxPutBitmapPixels32(bm, std::vector<RGBQUAD>(4), false));
  auto empty = MakeBitmap(pf32bit, 0, 0);
  EXPECT_FALSE(dxBitmapHasAlpha(empty.get()));
}

TEST(BitmapPixels, InfoHeaderDescribesA32BitImage) {
  BITMAPINFOHEADER h;
  std::memset(&h, 0xAB, sizeof(h));
  dxInitBitmapInfoHeader(h, 7, 5, true);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 7);
  EXPECT_EQ(h.biHeight, -5);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 32);
  EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(h.biSizeImage, 0u);
  EXPECT_EQ(h.biClrUsed, 0u);
}

}  // namespace
