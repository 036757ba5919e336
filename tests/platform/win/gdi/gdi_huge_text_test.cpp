// Fonts tens of thousands of pixels tall and more: their metrics stay in
// proportion, and text drawn with them onto a small surface paints the part
// of the glyph in sight, inside the clip only (the address checks catch a
// glyph image made whole).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/common/dib_canvas.h"
#include "tests/common/picture_png.h"

namespace {

constexpr uint32_t kHugeWhite = 0xFFFFFF, kHugeRed = 0xFF0000;
constexpr double kPi = 3.14159265358979323846;

HFONT HugeFont(int height, int escapement = 0, BYTE quality = DEFAULT_QUALITY) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfEscapement = lf.lfOrientation = escapement;
  lf.lfWeight = FW_NORMAL;
  lf.lfQuality = quality;
  std::strcpy(lf.lfFaceName, "Arial");
  return CreateFontIndirectA(&lf);
}

// The em height of the DC's font: its cell less the internal leading.
int EmOf(HDC dc) {
  TEXTMETRICW tm{};
  EXPECT_TRUE(GetTextMetricsW(dc, &tm));
  return tm.tmHeight - tm.tmInternalLeading;
}

struct TMetricsCase {
  int Height;  // lfHeight
  int Em;      // the em height expected; 0 for a cell height, whose em is the largest that fits
};

// Metrics of huge fonts keep the proportions of small ones: the engine
// behind them wraps ascents past 16383 pixels and knows no size past 65535,
// and the sums of a line's advances pass int.
TEST(HugeFonts, MetricsStayInProportion) {
  const TMetricsCase cases[] = {
      {-20, 20},  // for the proportions
      {-65522, 65522},
      {-10'000'000, 10'000'000},
      {-1'073'741'838, 1 << 24},  // held to the largest em
      {INT32_MIN, 1 << 24},
      {65522, 0},  // a cell height
  };
  TDibCanvas c(8, 8);
  double ascentRatio = 0, advanceRatio = 0;
  for (const TMetricsCase& k : cases) {
    SCOPED_TRACE(k.Height);
    HFONT font = HugeFont(k.Height);
    HGDIOBJ old = SelectObject(c.dc, font);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(c.dc, &tm));
    const int em = tm.tmHeight - tm.tmInternalLeading;
    if (k.Em)
      EXPECT_EQ(em, k.Em);
    else  // the largest em whose cell fits
      EXPECT_TRUE(tm.tmHeight <= k.Height && tm.tmHeight > k.Height - k.Height / 100) << tm.tmHeight;
    INT width = 0;
    ASSERT_TRUE(GetCharWidth32W(c.dc, 'W', 'W', &width));
    ABC abc{};
    ASSERT_TRUE(GetCharABCWidthsW(c.dc, 'W', 'W', &abc));
    SIZE one{}, line{};
    ASSERT_TRUE(GetTextExtentPoint32W(c.dc, u"W", 1, &one));
    const std::u16string many(200, u'W');
    ASSERT_TRUE(GetTextExtentPoint32W(c.dc, many.c_str(), static_cast<int>(many.size()), &line));
    if (k.Height == -20) {
      ascentRatio = double(tm.tmAscent) / em;
      advanceRatio = double(width) / em;
    } else {
      EXPECT_NEAR(double(tm.tmAscent) / em, ascentRatio, 0.03);
      EXPECT_NEAR(double(width) / em, advanceRatio, 0.03);
      EXPECT_GT(tm.tmDescent, 0);
      EXPECT_GE(tm.tmHeight, em);
    }
    EXPECT_EQ(one.cx, width);
    EXPECT_NEAR(double(abc.abcA) + abc.abcB + abc.abcC, width, 1 + width / 1000.0);
    // 200 of them pass int for the largest ems: held at its end, not wrapped.
    EXPECT_EQ(line.cx, int64_t(width) * 200 > INT32_MAX ? INT32_MAX : width * 200);
    // So do tabbed lines of them; the packed extent keeps the height's low word.
    const std::u16string tabbed = many + u"\t" + many + u"\t" + many;
    const DWORD packed = GetTabbedTextExtentW(c.dc, tabbed.c_str(), static_cast<int>(tabbed.size()), 0, nullptr);
    EXPECT_EQ(HIWORD(packed), std::min<int>(tm.tmHeight, 0xFFFF));
    SelectObject(c.dc, old);
    DeleteObject(font);
  }
}

enum class TCall { TextOut, ExtTextOutClipped, DrawText };

struct THugeText {
  const char* Name;
  int Height;      // lfHeight
  int Escapement;  // tenths of a degree
  TCall Call;
};

// The small surface and the part of it text may paint.
constexpr int kHugeW = 40, kHugeH = 30;
constexpr RECT kClip{8, 6, 32, 24};

// Draws a huge "I" whose stem's middle lands on the middle of the clip.
void DrawHugeI(HDC dc, const THugeText& k) {
  const int em = EmOf(dc);
  ABC abc{};
  ASSERT_TRUE(GetCharABCWidthsW(dc, 'I', 'I', &abc));
  TEXTMETRICW tm{};
  ASSERT_TRUE(GetTextMetricsW(dc, &tm));
  // The stem's middle in the text's frame (x along the baseline, y down),
  // from the reference point; capitals stand about 0.72 em tall.
  double x = abc.abcA + abc.abcB / 2.0, y = -0.36 * em;
  if (k.Call == TCall::DrawText) y += tm.tmAscent;  // DrawText puts the cell's top at the point
  const double t = k.Escapement * kPi / 1800, cx = (kClip.Left + kClip.Right) / 2.0,
               cy = (kClip.Top + kClip.Bottom) / 2.0;
  const int ox = static_cast<int>(std::lround(cx - (x * std::cos(t) + y * std::sin(t))));
  const int oy = static_cast<int>(std::lround(cy - (-x * std::sin(t) + y * std::cos(t))));
  switch (k.Call) {
    case TCall::TextOut:
      SetTextAlign(dc, TA_BASELINE | TA_LEFT);
      ASSERT_TRUE(TextOutW(dc, ox, oy, u"I", 1));
      break;
    case TCall::ExtTextOutClipped:
      SetTextAlign(dc, TA_BASELINE | TA_LEFT);
      ASSERT_TRUE(ExtTextOutW(dc, ox, oy, ETO_CLIPPED, &kClip, u"I", 1, nullptr));
      break;
    case TCall::DrawText: {
      RECT r{ox, oy, ox + 1, oy + 1};
      ASSERT_NE(DrawTextW(dc, u"I", 1, &r, DT_SINGLELINE | DT_NOCLIP), 0);
      break;
    }
  }
}

// A huge glyph fills the clip where it covers it, and nothing outside.
TEST(HugeFonts, TextPaintsThePartInSightInsideTheClip) {
  const THugeText cases[] = {
      {"em 2500, made in parts", -2500, 0, TCall::TextOut},
      {"em 65522", -65522, 0, TCall::TextOut},
      {"cell 65522", 65522, 0, TCall::TextOut},
      {"em 65522 clipped by the call", -65522, 0, TCall::ExtTextOutClipped},
      {"em 65522 by DrawText", -65522, 0, TCall::DrawText},
      {"em 65522 turned 30 degrees", -65522, 300, TCall::TextOut},
      {"em 65522 turned 90 degrees", -65522, 900, TCall::TextOut},
      {"em 10 million", -10'000'000, 0, TCall::TextOut},
      {"em 10 million turned 200 degrees", -10'000'000, 2000, TCall::ExtTextOutClipped},
      {"em held to the largest", -1'073'741'838, 0, TCall::DrawText},
  };
  for (const THugeText& k : cases) {
    SCOPED_TRACE(k.Name);
    TDibCanvas c(kHugeW, kHugeH, kHugeWhite);
    HFONT font = HugeFont(k.Height, k.Escapement);
    HGDIOBJ old = SelectObject(c.dc, font);
    SetBkMode(c.dc, TRANSPARENT);
    SetTextColor(c.dc, RGB(255, 0, 0));
    if (k.Call != TCall::ExtTextOutClipped) IntersectClipRect(c.dc, kClip.Left, kClip.Top, kClip.Right, kClip.Bottom);
    DrawHugeI(c.dc, k);
    EXPECT_EQ(c.CountNot(kHugeRed, kClip.Left, kClip.Top, kClip.Right, kClip.Bottom, 0xFFFFFF), 0);
    int outside = 0;
    for (int y = 0; y < kHugeH; ++y)
      for (int x = 0; x < kHugeW; ++x)
        if ((x < kClip.Left || x >= kClip.Right || y < kClip.Top || y >= kClip.Bottom) && c.Rgb(x, y) != kHugeWhite)
          ++outside;
    EXPECT_EQ(outside, 0);
    SelectObject(c.dc, old);
    DeleteObject(font);
  }
}

// Colours equal but for the rounding of an edge's coverage, which moves by
// a few steps as the outline is cut at another image edge and its curves
// flattened at other points (a misplaced part or a lost row differs by far
// more).
bool Near(uint32_t a, uint32_t b) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 8) return false;
  return true;
}

// A glyph too large to be made whole is made a window and a band of rows
// at a time: drawn in small tiles it is the glyph drawn on one surface,
// pixel for pixel, its slanted and curved edges included. (Aliased, an edge
// passing within a hair of a pixel's centre may take or leave that pixel:
// a few such are allowed, where a misplaced part would differ all along
// its edges.)
TEST(HugeFonts, GlyphMadeInTilesIsTheGlyphMadeAtOnce) {
  const struct {
    const char* Name;  // of its picture
    const char* Text;
    int Height, Escapement;
    BYTE Quality;
  } cases[] = {
      {"huge_glyph_w.png", "W", -2500, 0, DEFAULT_QUALITY},
      {"huge_glyph_s_aliased.png", "S", -2200, 0, NONANTIALIASED_QUALITY},
      {"huge_glyph_at_turned.png", "@", -1200, 450, DEFAULT_QUALITY},
  };
  constexpr int kBigW = 2700, kBigH = 2300, kTile = 100;
  for (const auto& k : cases) {
    SCOPED_TRACE(k.Text);
    TDibCanvas big(kBigW, kBigH, kHugeWhite);
    TDibCanvas tile(kTile, kTile, kHugeWhite);
    HFONT font = HugeFont(k.Height, k.Escapement, k.Quality);
    HGDIOBJ oldBig = SelectObject(big.dc, font), oldTile = SelectObject(tile.dc, font);
    for (HDC dc : {big.dc, tile.dc}) {
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 0, 0));
      SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    }
    const int ox = k.Escapement ? 1000 : 100, oy = k.Escapement ? 1700 : 2000;
    ASSERT_TRUE(TextOutA(big.dc, ox, oy, k.Text, 1));
    WriteOpaquePng(k.Name, big.bits, kBigW, kBigH);
    const RECT ink = big.InkBox(kHugeWhite);
    ASSERT_GT(ink.Right - ink.Left, 1000);
    ASSERT_GT(ink.Bottom - ink.Top, 1000);
    ASSERT_TRUE(ink.Left > 0 && ink.Top > 0 && ink.Right < kBigW && ink.Bottom < kBigH) << "cut by the surface";
    int differ = 0, boundary = 0;
    for (int y = 1; y + 1 < kBigH; ++y)
      for (int x = 1; x + 1 < kBigW; ++x)
        if (big.Rgb(x, y) != kHugeWhite &&
            (big.Rgb(x - 1, y) == kHugeWhite || big.Rgb(x + 1, y) == kHugeWhite || big.Rgb(x, y - 1) == kHugeWhite ||
             big.Rgb(x, y + 1) == kHugeWhite))
          ++boundary;
    for (int ty = 0; ty < kBigH; ty += kTile)
      for (int tx = 0; tx < kBigW; tx += kTile) {
        tile.Fill(kHugeWhite);
        ASSERT_TRUE(TextOutA(tile.dc, ox - tx, oy - ty, k.Text, 1));
        for (int y = 0; y < kTile && ty + y < kBigH; ++y)
          for (int x = 0; x < kTile && tx + x < kBigW; ++x)
            if (!Near(tile.Rgb(x, y), big.Rgb(tx + x, ty + y))) ++differ;
      }
    EXPECT_LE(differ, k.Quality == NONANTIALIASED_QUALITY ? boundary / 500 : 0) << boundary << " on the boundary";
    SelectObject(big.dc, oldBig);
    SelectObject(tile.dc, oldTile);
    DeleteObject(font);
  }
}

}  // namespace
