// Fonts, families, string formats, and text drawn and measured alike.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/win/gdiplus_test_support.h"

namespace {

class GdipTextTest : public GdiplusTest {
 protected:
  GpFont* font_ = nullptr;
  void SetUp() override {
    GdiplusTest::SetUp();
    LOGFONTA lf{};
    lf.lfHeight = -16;
    lf.lfWeight = FW_NORMAL;
    std::strcpy(lf.lfFaceName, "Tahoma");
    ASSERT_EQ(GdipCreateFontFromLogfontA(nullptr, &lf, &font_), Ok);
  }
  void TearDown() override {
    GdipDeleteFont(font_);
    GdiplusTest::TearDown();
  }
  GpRectF Measure(GpGraphics* g, const char16_t* text, GpRectF layout, GpStringFormat* format = nullptr,
                  INT* lines = nullptr, INT* fitted = nullptr) {
    GpRectF box{};
    EXPECT_EQ(GdipMeasureString(g, reinterpret_cast<const WCHAR*>(text), -1, font_, &layout, format, &box, fitted,
                                lines),
              Ok);
    return box;
  }
};

// The box of pixels that differ from transparent.
RECT Ink(const TGpCanvas& c) {
  RECT r{c.width, c.height, -1, -1};
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x)
      if (c.Alpha(x, y)) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r;
}

TEST_F(GdipTextTest, FontsFromLogfontsAndBack) {
  REAL size = 0;
  GdipGetFontSize(font_, &size);
  EXPECT_FLOAT_EQ(size, 16);
  GpUnit unit;
  GdipGetFontUnit(font_, &unit);
  EXPECT_EQ(unit, UnitWorld);
  LOGFONTA back{};
  TGpCanvas c(1, 1);
  ASSERT_EQ(GdipGetLogFontA(font_, c.G(), &back), Ok);
  EXPECT_EQ(back.lfHeight, -16);
  EXPECT_STREQ(back.lfFaceName, "Tahoma");
  GpFontFamily* family = nullptr;
  GdipGetFamily(font_, &family);
  WCHAR name[LF_FACESIZE];
  GdipGetFamilyName(family, name, 0);
  EXPECT_EQ(std::u16string(name), u"Tahoma");
  UINT16 em = 0, ascent = 0, descent = 0;
  GdipGetEmHeight(family, FontStyleRegular, &em);
  GdipGetCellAscent(family, FontStyleRegular, &ascent);
  GdipGetCellDescent(family, FontStyleRegular, &descent);
  EXPECT_GT(ascent, em / 2);
  EXPECT_GT(descent, 0);
  GdipDeleteFontFamily(family);
  // A positive height is the cell: the em is smaller.
  LOGFONTA cell{};
  cell.lfHeight = 20;
  std::strcpy(cell.lfFaceName, "Arial");
  GpFont* f = nullptr;
  GdipCreateFontFromLogfontA(nullptr, &cell, &f);
  GdipGetFontSize(f, &size);
  EXPECT_LT(size, 20);
  EXPECT_GT(size, 14);
  GdipDeleteFont(f);
}

TEST_F(GdipTextTest, FamiliesByNameAndGenerics) {
  GpFontFamily* family = nullptr;
  for (const char16_t* name : {u"Segoe UI", u"tahoma", u"Courier New"}) {
    EXPECT_EQ(GdipCreateFontFamilyFromName(reinterpret_cast<const WCHAR*>(name), nullptr, &family), Ok);
    GdipDeleteFontFamily(family);
  }
  EXPECT_EQ(GdipCreateFontFamilyFromName(u"No Such Family Anywhere", nullptr, &family), FontFamilyNotFound);
  ASSERT_EQ(GdipGetGenericFontFamilySansSerif(&family), Ok);
  GpFont* font = nullptr;
  ASSERT_EQ(GdipCreateFont(family, 12, FontStyleBold, UnitPoint, &font), Ok);
  EXPECT_EQ(GdipCreateFont(family, 12, FontStyleBold, UnitDisplay, &font), InvalidParameter);
  INT style = 0;
  GdipGetFontStyle(font, &style);
  EXPECT_EQ(style, FontStyleBold);
  TGpCanvas c(1, 1);
  REAL height = 0;
  GdipGetFontHeight(font, c.G(), &height);
  EXPECT_NEAR(height, 16 * 1.15, 3) << "12 points at 96 dpi: 16 pixels of em, a little more of line";
  GdipDeleteFont(font);
  GdipDeleteFontFamily(family);
}

TEST_F(GdipTextTest, DrawnTextStaysInItsLayoutAndFollowsAlignment) {
  const GpRectF layout{10, 5, 180, 30};
  int left[3];
  StringAlignment aligns[3] = {StringAlignmentNear, StringAlignmentCenter, StringAlignmentFar};
  for (int i = 0; i < 3; ++i) {
    TGpCanvas c(200, 40);
    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(0, 0, &format);
    GdipSetStringFormatAlign(format, aligns[i]);
    GdipSetTextRenderingHint(c.G(), TextRenderingHintAntiAlias);
    ASSERT_EQ(GdipDrawString(c.G(), u"Hello", -1, font_, &layout, format, TSolid(0xFF000000u)), Ok);
    RECT ink = Ink(c);
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right, 190);
    EXPECT_GE(ink.Top, 5);
    EXPECT_LE(ink.Bottom, 35);
    left[i] = ink.Left;
    GdipDeleteStringFormat(format);
  }
  EXPECT_LT(left[0] + 40, left[1]);
  EXPECT_LT(left[1] + 40, left[2]);
}

TEST_F(GdipTextTest, TextIsClippedToItsLayoutUnlessNoClip) {
  const GpRectF layout{0, 0, 30, 8};
  for (bool noClip : {false, true}) {
    TGpCanvas c(120, 40);
    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(noClip ? StringFormatFlagsNoClip | StringFormatFlagsNoWrap : StringFormatFlagsNoWrap, 0,
                           &format);
    GdipDrawString(c.G(), u"Wide text here", -1, font_, &layout, format, TSolid(0xFF000000u));
    RECT ink = Ink(c);
    EXPECT_EQ(ink.Right > 30, noClip);
    GdipDeleteStringFormat(format);
  }
}

TEST_F(GdipTextTest, MeasuringAgreesWithWrappingAndLines) {
  TGpCanvas c(1, 1);
  const GpRectF open{0, 0, 0, 0};
  GpRectF one = Measure(c.G(), u"Hello", open), two = Measure(c.G(), u"Hello world", open);
  EXPECT_GT(two.Width, one.Width + 10);
  EXPECT_NEAR(one.Height, two.Height, 0.01);
  EXPECT_GT(one.Height, 16);
  INT lines = 0, fitted = 0;
  GpRectF narrow{0, 0, 60, 200};
  GpRectF box = Measure(c.G(), u"one two three four", narrow, nullptr, &lines, &fitted);
  EXPECT_GE(lines, 2);
  EXPECT_EQ(fitted, 18);
  EXPECT_LE(box.Width, 60);
  GpStringFormat* noWrap = nullptr;
  GdipCreateStringFormat(StringFormatFlagsNoWrap, 0, &noWrap);
  Measure(c.G(), u"one two three four", narrow, noWrap, &lines);
  EXPECT_EQ(lines, 1);
  Measure(c.G(), u"one\ntwo\r\nthree", open, noWrap, &lines);
  EXPECT_EQ(lines, 3) << "line breaks break lines even without wrapping";
  // With line limit, only whole lines that fit are laid out.
  GdipSetStringFormatFlags(noWrap, StringFormatFlagsLineLimit);
  GpRectF shallow{0, 0, 60, one.Height * 1.5f};
  Measure(c.G(), u"one two three four", shallow, noWrap, &lines, &fitted);
  EXPECT_EQ(lines, 1);
  EXPECT_LT(fitted, 18);
  GdipDeleteStringFormat(noWrap);
}

TEST_F(GdipTextTest, HotkeyPrefixesAreHiddenOrShown) {
  TGpCanvas c(1, 1);
  GpStringFormat* format = nullptr;
  GdipCreateStringFormat(0, 0, &format);
  const GpRectF open{0, 0, 0, 0};
  GpRectF plain = Measure(c.G(), u"File", open, format);
  GpRectF raw = Measure(c.G(), u"&File", open, format);
  GdipSetStringFormatHotkeyPrefix(format, HotkeyPrefixHide);
  GpRectF hidden = Measure(c.G(), u"&File", open, format);
  EXPECT_GT(raw.Width, plain.Width);
  EXPECT_NEAR(hidden.Width, plain.Width, 0.01);
  GpRectF doubled = Measure(c.G(), u"A&&B", open, format);
  GpRectF amp = Measure(c.G(), u"A&B", open);
  EXPECT_NEAR(doubled.Width, amp.Width, 0.01) << "&& shows one ampersand";
  GdipDeleteStringFormat(format);
}

TEST_F(GdipTextTest, EllipsisTrimmingShortensWhatDoesNotFit) {
  TGpCanvas c(1, 1);
  GpStringFormat* format = nullptr;
  GdipCreateStringFormat(StringFormatFlagsNoWrap, 0, &format);
  GdipSetStringFormatTrimming(format, StringTrimmingEllipsisCharacter);
  GpRectF layout{0, 0, 50, 30};
  INT fitted = 0;
  GpRectF box = Measure(c.G(), u"A long line of text", layout, format, nullptr, &fitted);
  EXPECT_LE(box.Width, 50);
  GdipDeleteStringFormat(format);
}

TEST_F(GdipTextTest, CharacterRangesGiveRegions) {
  TGpCanvas c(1, 1);
  GpStringFormat* format = nullptr;
  GdipCreateStringFormat(0, 0, &format);
  const CharacterRange ranges[2] = {{0, 1}, {4, 3}};
  ASSERT_EQ(GdipSetStringFormatMeasurableCharacterRanges(format, 2, ranges), Ok);
  GpRegion* regions[2];
  GdipCreateRegion(&regions[0]);
  GdipCreateRegion(&regions[1]);
  GpRectF layout{0, 0, 200, 40};
  ASSERT_EQ(GdipMeasureCharacterRanges(c.G(), u"abc defgh", -1, font_, layout, format, 2, regions), Ok);
  GpRectF a{}, b{};
  GdipGetRegionBounds(regions[0], c.G(), &a);
  GdipGetRegionBounds(regions[1], c.G(), &b);
  EXPECT_GT(a.Width, 0);
  EXPECT_GT(b.X, a.X + a.Width);
  EXPECT_GT(b.Width, a.Width);
  GdipDeleteRegion(regions[0]);
  GdipDeleteRegion(regions[1]);
  GdipDeleteStringFormat(format);
}

TEST_F(GdipTextTest, GenericFormatsAreSharedAndSurviveDeletion) {
  GpStringFormat *a = nullptr, *b = nullptr;
  GdipStringFormatGetGenericTypographic(&a);
  GdipStringFormatGetGenericTypographic(&b);
  EXPECT_EQ(a, b);
  EXPECT_EQ(GdipDeleteStringFormat(a), Ok);
  INT flags = 0;
  GdipGetStringFormatFlags(b, &flags);
  EXPECT_EQ(flags, StringFormatFlagsNoFitBlackBox | StringFormatFlagsLineLimit | StringFormatFlagsNoClip);
  // Typographic text has no padding around it.
  TGpCanvas c(1, 1);
  const GpRectF open{0, 0, 0, 0};
  EXPECT_LT(Measure(c.G(), u"Hello", open, b).Width, Measure(c.G(), u"Hello", open).Width);
}

TEST_F(GdipTextTest, PathsOfText) {
  GpPath* path = nullptr;
  GdipCreatePath(FillModeWinding, &path);
  GpFontFamily* family = nullptr;
  GdipCreateFontFamilyFromName(u"Arial", nullptr, &family);
  GpRectF layout{0, 0, 200, 50};
  ASSERT_EQ(GdipAddPathString(path, u"Hi", -1, family, FontStyleRegular, 30, &layout, nullptr), Ok);
  INT n = 0;
  GdipGetPointCount(path, &n);
  EXPECT_GT(n, 8);
  GpRectF bounds{};
  GdipGetPathWorldBounds(path, &bounds, nullptr, nullptr);
  EXPECT_GT(bounds.Height, 15);
  EXPECT_LT(bounds.Height, 35);
  GdipDeleteFontFamily(family);
  GdipDeletePath(path);
}

}  // namespace
