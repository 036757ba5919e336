// The multi-row text engine: row building with a fake measurer that gives
// every character 10 pixels, placement, and drawing with a monospace font
// drawn without smoothing.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/graphics.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"
#include "tests/common/dib_canvas.h"
#include "tests/ui/foundation/mono_text_fixture.h"
#include "ui/foundation/text_rows.h"

namespace {

constexpr Integer kAdvance = 10;
constexpr Integer kPitch = 12;

bool FakeMeasure(HDC, const WideChar*, Integer ALength, bool, NativeInt, TSize& ASize) {
  ASize = TSize(ALength * kAdvance, kPitch);
  return true;
}

struct TRowCase {
  const char16_t* text;
  Integer width;
  Integer flags;
  std::vector<std::u16string> rows;
};

class TextRowsTest : public MonoTextTest {
 protected:
  TcxTextLayoutParams Params(Integer flags) {
    TcxTextLayoutParams p;
    cxInitTextLayoutParams(Dib.dc, flags, p);
    p.FontHeight = kPitch;
    p.RowPitch = kPitch;
    return p;
  }
  // The rows of the text in a rectangle, measured by the fake measurer.
  std::vector<std::u16string> Rows(const std::u16string& text, Integer width, Integer flags, Integer height = 1000,
                                   Integer maxRows = 0, bool* fits = nullptr) {
    TcxTextLayoutParams p = Params(flags);
    TcxTextRows rows;
    Integer count = 0;
    const bool all = cxBuildTextRows(Dib.dc, text.data(), static_cast<Integer>(text.size()), TRect(0, 0, width, height),
                                     p, rows, count, maxRows, FakeMeasure);
    if (fits) *fits = all;
    std::vector<std::u16string> out;
    for (Integer i = 0; i < count; ++i) {
      const TcxTextRowEntry& row = cxGetTextRow(rows, i);
      out.emplace_back(row.Text, static_cast<size_t>(row.Length));
      EXPECT_EQ(row.Text - text.data(), row.StartIndex);
      EXPECT_EQ(row.Width, row.Length * kAdvance);
    }
    return out;
  }
  using TRowList = std::vector<std::u16string>;
  void CheckRows(const std::vector<TRowCase>& cases) {
    for (const TRowCase& c : cases)
      EXPECT_EQ(Rows(c.text, c.width, c.flags), c.rows)
          << WideToAnsi(c.text) << " flags " << c.flags << " width " << c.width;
  }
};

TEST_F(TextRowsTest, WordsWrapAndBlanksFollowTheAlignment) {
  const std::vector<TRowCase> cases = {
      // The width holds "abc " but not "abc def".
      {u"abc def", 40, TLF_WORDWRAP | TLF_LEFT, {u"abc ", u"def"}},
      {u"abc def", 40, TLF_WORDWRAP | TLF_RIGHT, {u"abc", u"def"}},
      {u"abc def", 40, TLF_WORDWRAP | TLF_CENTER, {u"abc", u"def"}},
      // The width holds "abc" but not its blank: the blank waits for the
      // next row, whose start skips it when left-aligned.
      {u"abc def", 35, TLF_WORDWRAP | TLF_LEFT, {u"abc", u"def"}},
      {u"abc def", 35, TLF_WORDWRAP | TLF_RIGHT, {u"abc", u"def"}},
      {u"abc def", 35, TLF_JUSTIFY, {u"abc", u"def"}},
      {u"abc def", 35, TLF_WORDWRAP | TLF_CENTER, {u"abc", u"def"}},
      {u"abc    def", 35, TLF_WORDWRAP | TLF_LEFT | TLF_TRIMWRAPSPACES, {u"abc", u"def"}},
      // Justified rows lose their closing blanks.
      {u"abc def", 40, TLF_JUSTIFY, {u"abc", u"def"}},
      // Everything fits.
      {u"abc def", 70, TLF_WORDWRAP, {u"abc def"}},
      // No wrapping: one row per line.
      {u"abc def", 10, TLF_LEFT, {u"abc def"}},
  };
  CheckRows(cases);
}

TEST_F(TextRowsTest, OverlongWordsStayWholeUnlessCharactersMayBreak) {
  const std::vector<TRowCase> cases = {
      {u"abcdefgh", 35, TLF_WORDWRAP, {u"abcdefgh"}},
      {u"abcdefgh", 35, TLF_WORDWRAP | TLF_CHARWRAP, {u"abc", u"def", u"gh"}},
      {u"abcdefgh", 35, TLF_WORDWRAP | TLF_EDITRULES, {u"abc", u"def", u"gh"}},
      {u"abcd", 5, TLF_WORDWRAP | TLF_CHARWRAP, {u"a", u"b", u"c", u"d"}},
      // Character wrap needs wrapping.
      {u"abcdefgh", 35, TLF_CHARWRAP, {u"abcdefgh"}},
      {u"ab cdefgh", 35, TLF_WORDWRAP | TLF_CHARWRAP, {u"ab ", u"cde", u"fgh"}},
      // A surrogate pair is never split.
      {u"a\U0001F600b", 25, TLF_WORDWRAP | TLF_CHARWRAP, {u"a", u"\U0001F600", u"b"}},
  };
  CheckRows(cases);
}

TEST_F(TextRowsTest, FarEastCharactersBreakByTheirRules) {
  const std::vector<TRowCase> cases = {
      // 。 may not begin a row: it stays with the character before it.
      {u"\u672C\u65E5\u3002", 20, TLF_WORDWRAP, {u"\u672C", u"\u65E5\u3002"}},
      // A Latin word directly followed by a CJK character breaks between.
      {u"abc\u65E5\u672C", 35, TLF_WORDWRAP, {u"abc", u"\u65E5\u672C"}},
      {u"\u3053\u3093\u306B\u3061\u306F", 20, TLF_WORDWRAP, {u"\u3053\u3093", u"\u306B\u3061", u"\u306F"}},
      // 日本語です。 keeps 。 with す.
      {u"\u65E5\u672C\u8A9E\u3067\u3059\u3002", 45, TLF_WORDWRAP, {u"\u65E5\u672C\u8A9E\u3067", u"\u3059\u3002"}},
      // Under UTF-8 accented letters are Latin: "café crème" breaks only at
      // the blank, "Straße" stays whole.
      {u"caf\u00E9 cr\u00E8me", 50, TLF_WORDWRAP, {u"caf\u00E9 ", u"cr\u00E8me"}},
      {u"caf\u00E9 cr\u00E8me", 35, TLF_WORDWRAP, {u"caf\u00E9", u"cr\u00E8me"}},
      {u"Stra\u00DFe", 35, TLF_WORDWRAP, {u"Stra\u00DFe"}},
  };
  CheckRows(cases);
  for (char16_t c : {u'\u00E9', u'\u00DF', u'\u00E8', u'\u0416', u'\u3002'}) EXPECT_FALSE(cxIsFarEastChar(c)) << int(c);
  for (char16_t c : {u'\u4E00', u'\u9FFF', u'\u3042', u'\u30A2', u'\uAC00', u'\uD7A3'}) EXPECT_TRUE(cxIsFarEastChar(c));
  for (char16_t c : {u'!', u')', u'\u3002', u'\uFF0C', u'\uFFE0', u'\uFFFF'}) EXPECT_TRUE(cxIsNoLineStartChar(c));
  for (char16_t c : {u'a', u'(', u'\u3000', u'\u4E00', u'\uFFDF'}) EXPECT_FALSE(cxIsNoLineStartChar(c));
}

TEST_F(TextRowsTest, EveryLineBreakEndsARow) {
  for (Integer flags : {TLF_WORDWRAP, TLF_LEFT}) {
    const std::vector<TRowCase> cases = {
        {u"a\r\nb", 100, flags, {u"a", u"b"}},
        {u"a\n\rb", 100, flags, {u"a", u"b"}},
        {u"a\rb", 100, flags, {u"a", u"b"}},
        {u"a\nb", 100, flags, {u"a", u"b"}},
        {u"x\r\n\r\ny", 100, flags, {u"x", u"", u"y"}},
        {u"a\n\nb", 100, flags, {u"a", u"", u"b"}},
        {u"a\r\n", 100, flags, {u"a"}},
    };
    CheckRows(cases);
  }
  const std::vector<TRowCase> oneLine = {
      {u"ab\r\ncd", 100, TLF_ONELINE | TLF_WORDWRAP, {u"ab"}},
      {u"ab cd ef", 30, TLF_ONELINE | TLF_WORDWRAP, {u"ab cd ef"}},
      {u"ab\r\ncd", 100, TLF_ONELINE | TLF_MEASURE, {u"ab\r\ncd"}},
  };
  CheckRows(oneLine);
}

TEST_F(TextRowsTest, TopAlignmentStopsAtTheBottom) {
  const struct {
    Integer flags;
    Integer height;
    size_t rows;
    bool fits;
  } cases[] = {
      {TLF_WORDWRAP, 30, 3, false},                  // the third row passes the bottom
      {TLF_WORDWRAP | TLF_EDITRULES, 30, 2, false},  // whole rows only
      {TLF_WORDWRAP | TLF_EDITRULES, 5, 1, false},   // but the first always
      {TLF_WORDWRAP | TLF_EDITRULES | TLF_NOCLIP, 30, 3, false},
      {TLF_WORDWRAP, 48, 4, true},
      {TLF_WORDWRAP | TLF_VCENTER, 5, 4, true},  // other alignments lay out all
      {TLF_WORDWRAP | TLF_COUNTROWS, 5, 4, true},
      {TLF_WORDWRAP | TLF_MEASURE, 5, 4, true},
  };
  for (const auto& c : cases) {
    bool fits = false;
    EXPECT_EQ(Rows(u"aa bb cc dd", 25, c.flags, c.height, 0, &fits).size(), c.rows) << c.flags << " " << c.height;
    EXPECT_EQ(fits, c.fits) << c.flags << " " << c.height;
  }
  // A row limit stops every alignment.
  EXPECT_EQ(Rows(u"aa bb cc dd", 25, TLF_WORDWRAP | TLF_VCENTER, 1000, 2).size(), 2u);
  // The last row with an ellipsis keeps the word that overflows it.
  EXPECT_EQ(Rows(u"aa bb cc dd", 75, TLF_WORDWRAP | TLF_ELLIPSIS, 11), TRowList({u"aa bb cc"}));
  EXPECT_EQ(Rows(u"aa bb cc dd", 75, TLF_WORDWRAP, 11), TRowList({u"aa bb "}));
}

TEST_F(TextRowsTest, SpreadCountsBlanksOnTheLastRowAndJustifyDoesNot) {
  const struct {
    Integer flags;
    Integer firstBreaks, lastBreaks;
  } cases[] = {
      {TLF_JUSTIFY, 1, 0},
      {TLF_SPREAD, 1, 1},
      {TLF_WORDWRAP | TLF_LEFT, 0, 0},
  };
  const std::u16string text = u"aa bb cc dd";
  for (const auto& c : cases) {
    TcxTextLayoutParams p = Params(c.flags);
    TcxTextRows rows;
    Integer count = 0;
    cxBuildTextRows(Dib.dc, text.data(), 11, TRect(0, 0, 55, 1000), p, rows, count, 0, FakeMeasure);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(cxGetTextRow(rows, 0).BreakCount, c.firstBreaks) << c.flags;
    EXPECT_EQ(cxGetTextRow(rows, 1).BreakCount, c.lastBreaks) << c.flags;
  }
}

TEST_F(TextRowsTest, ArrangementPlacesRowsByBothAlignments) {
  const struct {
    Integer flags;
    Integer fontHeight;
    std::vector<Integer> tops;
  } cases[] = {
      {TLF_VSPREAD, 10, {0, 45, 90}},
      {TLF_VSPREAD, 60, {0, 60, 120}},  // no room to spread: as for the top
      {TLF_VSPREAD, 9, {0, 46, 91}},    // the remainder goes to the first steps
      {TLF_TOP, 10, {0, 10, 20}},
      {TLF_VCENTER, 10, {35, 45, 55}},
      {TLF_BOTTOM, 10, {70, 80, 90}},
      {TLF_VCENTER, 60, {-40, 20, 80}},
      {TLF_VCENTER | TLF_KEEPTOP, 60, {0, 60, 120}},
  };
  for (const auto& c : cases) {
    TcxTextLayoutParams p = Params(c.flags);
    p.FontHeight = p.RowPitch = c.fontHeight;
    p.Leading = 0;
    TcxTextRows rows;
    rows.RowCount = 3;
    for (Integer i = 0; i < 3; ++i) cxGetTextRow(rows, i) = TcxTextRowEntry{nullptr, 1, 10 * (i + 1), 10, 0, 0, 0, i};
    cxArrangeTextRows(Dib.dc, TRect(0, 0, 100, 100), p, 3, rows);
    for (Integer i = 0; i < 3; ++i) EXPECT_EQ(cxGetTextRow(rows, i).Top, c.tops[size_t(i)]) << c.flags << " " << i;
  }
  const struct {
    Integer flags;
    std::vector<Integer> lefts;  // rows 10, 20 and 30 wide in 100
  } horizontal[] = {
      {TLF_LEFT, {0, 0, 0}},    {TLF_CENTER, {45, 40, 35}}, {TLF_RIGHT, {90, 80, 70}},
      {TLF_JUSTIFY, {0, 0, 0}}, {TLF_SPREAD, {0, 0, 0}},
  };
  for (const auto& c : horizontal) {
    TcxTextLayoutParams p = Params(c.flags);
    TcxTextRows rows;
    rows.RowCount = 3;
    for (Integer i = 0; i < 3; ++i) cxGetTextRow(rows, i) = TcxTextRowEntry{nullptr, 1, 10 * (i + 1), 10, 0, 0, 0, i};
    cxArrangeTextRows(Dib.dc, TRect(0, 0, 100, 100), p, 3, rows);
    for (Integer i = 0; i < 3; ++i) EXPECT_EQ(cxGetTextRow(rows, i).Left, c.lefts[size_t(i)]) << c.flags;
  }
  // Rows wider than the rectangle stay at its left with TLF_KEEPLEFT.
  TcxTextLayoutParams p = Params(TLF_RIGHT | TLF_KEEPLEFT);
  TcxTextRows rows;
  rows.RowCount = 1;
  cxGetTextRow(rows, 0) = TcxTextRowEntry{nullptr, 1, 150, 10, 0, 0, 0, 0};
  cxArrangeTextRows(Dib.dc, TRect(0, 0, 100, 100), p, 1, rows);
  EXPECT_EQ(cxGetTextRow(rows, 0).Left, 0);
}

TEST_F(TextRowsTest, FortyRowsUseTheDynamicPart) {
  std::u16string text;
  for (int i = 0; i < 40; ++i) text += u"r\n";
  TcxTextLayoutParams p = Params(TLF_WORDWRAP);
  TcxTextRows rows;
  Integer count = 0;
  EXPECT_TRUE(cxBuildTextRows(Dib.dc, text.data(), static_cast<Integer>(text.size()), TRect(0, 0, 100, 10000), p, rows,
                              count, 0, FakeMeasure));
  ASSERT_EQ(count, 40);
  EXPECT_GE(rows.Dynamic.size(), 8u);
  EXPECT_LE(rows.Dynamic.size(), 8u + 4u);
  for (Integer i = 0; i < 40; ++i) {
    EXPECT_EQ(cxGetTextRow(rows, i).StartIndex, 2 * i);
    EXPECT_EQ(cxGetTextRow(rows, i).Length, 1);
  }
  TcxTextRows few;
  cxBuildTextRows(Dib.dc, text.data(), 20, TRect(0, 0, 100, 10000), p, few, count, 0, FakeMeasure);
  EXPECT_EQ(count, 10);
  EXPECT_TRUE(few.Dynamic.empty()) << "32 rows cost no allocation";
  cxClearTextRows(rows);
  EXPECT_EQ(rows.RowCount, 0);
  EXPECT_TRUE(rows.Dynamic.empty());

  TRect r(0, 0, 100, 50);
  EXPECT_EQ(cxDrawTextRowsW(Dib.dc, text, r, TLF_WORDWRAP | TLF_COUNTROWS), 40);
}

TEST_F(TextRowsTest, MeasuringExtentsWithTabsAndTheirSixteenBits) {
  TSize plain, tabbed;
  HFONT big = MakeFont(-40);
  EXPECT_TRUE(cxMeasureTextExtent(Dib.dc, u"a\tb", 3, tabbed, true));
  EXPECT_TRUE(cxMeasureTextExtent(Dib.dc, u"ab", 2, plain, false));
  EXPECT_EQ(plain, TSize(2 * A, H));
  EXPECT_GT(tabbed.cx, 2 * A);
  // Widths beyond 16 bits come back whole, below and above 4096 characters.
  SelectObject(Dib.dc, big);
  for (size_t n : {size_t(4000), size_t(9000)}) {
    std::u16string wide(n, u'W');
    wide[5] = u'\t';
    TSize size;
    EXPECT_TRUE(cxMeasureTextExtent(Dib.dc, wide.data(), static_cast<Integer>(n), size, true));
    RECT r{0, 0, 0, 0};
    DrawTextW(Dib.dc, wide.data(), static_cast<int>(n), &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
    EXPECT_GT(size.cx, 0xFFFF);
    EXPECT_EQ(size.cx, r.Right) << n;
    EXPECT_EQ(size.cy, r.Bottom);
  }
  SelectObject(Dib.dc, Font);
  DeleteObject(big);
  TSize bad(5, 5);
  EXPECT_FALSE(cxMeasureTextExtent(Dib.dc, nullptr, 3, bad, false));
  EXPECT_FALSE(cxMeasureTextExtent(Dib.dc, u"a", -1, bad, true));
}

}  // namespace
