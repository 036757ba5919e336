#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"

namespace {

// ---- Integers ----------------------------------------------------------------------

struct IntCase {
  const char* text;
  bool ok;
  Integer value;
};

TEST(StrToInt, AcceptsWhatValAccepts) {
  const IntCase cases[] = {
      {"12", true, 12},          {" 12", true, 12},          {"-12", true, -12},
      {"+7", true, 7},           {"0x10", true, 16},         {"0X1f", true, 31},
      {"$1F", true, 31},         {"-$10", true, -16},        {"$FFFFFFFF", true, -1},
      {"2147483647", true, INT_MAX}, {"-2147483648", true, INT_MIN},
      {"12a", false, 0},         {"", false, 0},             {"12 ", false, 0},
      {"1 2", false, 0},         {" ", false, 0},            {"-", false, 0},
      {"$", false, 0},           {"0x", false, 0},           {"$100000000", false, 0},
      {"2147483648", false, 0},  {"-2147483649", false, 0},  {"1.0", false, 0},
      {"0x-1", false, 0},
  };
  for (const IntCase& c : cases) {
    Integer v = 12345;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << '"' << c.text << '"';
    if (c.ok) {
      EXPECT_EQ(v, c.value) << '"' << c.text << '"';
    }
    EXPECT_EQ(StrToIntDef(c.text, -99), c.ok ? c.value : -99) << '"' << c.text << '"';
  }
}

TEST(StrToInt, RaisesConvertErrorWithTheText) {
  try {
    StrToInt("12a");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'12a' is not a valid integer value");
  }
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

TEST(StrToInt64, FullRangeAndHexWrap) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("0x100000000"), 0x100000000LL);
  EXPECT_EQ(StrToInt64Def("$10000000000000000", 5), 5);
  EXPECT_EQ(StrToInt64Def("4294967296", 0), 4294967296LL);
}

TEST(IntToStr, DecimalAndHex) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(UIntToStr(UINT64_MAX), "18446744073709551615");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0, 0), "0");
  EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(static_cast<short>(-1), 4), "FFFFFFFF");
  EXPECT_EQ(IntToHex(Int64(-1), 2), "FFFFFFFFFFFFFFFF");
}

// ---- Floating point --------------------------------------------------------------------

struct FloatCase {
  const char* text;
  bool ok;
  double value;
};

TEST(StrToFloat, ParsesWithTheDecimalSeparator) {
  const FloatCase dot[] = {
      {"1.5", true, 1.5},     {" 1.5 ", true, 1.5},  {"-2.5e3", true, -2500}, {"+3", true, 3},
      {".5", true, 0.5},      {"5.", true, 5},       {"1E+2", true, 100},     {"1e-400", true, 0},
      {"0.000", true, 0},     {"1,5", false, 0},     {"1e", false, 0},        {"e5", false, 0},
      {"", false, 0},         {"abc", false, 0},     {"1.2.3", false, 0},     {"1e400", false, 0},
      {"inf", false, 0},      {"1 5", false, 0},     {"-", false, 0},         {".", false, 0},
  };
  for (const FloatCase& c : dot) {
    double v = -1;
    EXPECT_EQ(TryStrToFloat(c.text, v), c.ok) << '"' << c.text << '"';
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value) << '"' << c.text << '"';
    }
  }
  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  EXPECT_DOUBLE_EQ(StrToFloat("1,5", comma), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloatDef("1.5", 7, comma), 7);
  try {
    StrToFloat("x1");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x1' is not a valid floating point value");
  }
}

TEST(FloatToStr, ShortestGeneralWithFifteenDigits) {
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FloatToStr(100), "100");
  EXPECT_EQ(FloatToStr(-0.0), "0");
  EXPECT_EQ(FloatToStr(1e20), "1E20");
  EXPECT_EQ(FloatToStr(1.5e-7), "1.5E-7");
  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  EXPECT_EQ(FloatToStr(2.25, comma), "2,25");
  EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(123.456)), 123.456);
}

struct PictureCase {
  const char* format;
  double value;
  const char* expected;
};

TEST(FormatFloat, PictureLanguage) {
  const PictureCase cases[] = {
      // The host's documented table.
      {"", 1234, "1234"},
      {"", -0.5, "-0.5"},
      {"0", 1234, "1234"},
      {"0", -1234, "-1234"},
      {"0", 0.5, "1"},
      {"0", 0, "0"},
      {"0.00", 0.5, "0.50"},
      {"0.00", -1234, "-1234.00"},
      {"#.##", 1234, "1234"},
      {"#.##", 0.5, ".5"},
      {"#.##", 0, ""},
      {"#,##0.00", 1234, "1,234.00"},
      {"#,##0.00", -1234, "-1,234.00"},
      {"#,##0.00;(#,##0.00)", -1234, "(1,234.00)"},
      {"#,##0.00;(#,##0.00)", 0.5, "0.50"},
      {"#,##0.00;;Zero", 0, "Zero"},
      {"#,##0.00;;Zero", -1234, "-1,234.00"},
      {"0.000E+00", 1234, "1.234E+03"},
      {"0.000E+00", -1234, "-1.234E+03"},
      {"0.000E+00", 0.5, "5.000E-01"},
      {"0.000E+00", 0, "0.000E+00"},
      {"#.###E-0", 1234, "1.234E3"},
      {"#.###E-0", 0.5, "5E-1"},
      {"#.###E-0", 0, "0E0"},
      // Rounding, grouping and placeholders.
      {"#,##0", 1234567.891, "1,234,568"},
      {"#,##0", 999999.5, "1,000,000"},
      {"#,##0", 12, "12"},
      {"000", 5, "005"},
      {"0.0##", 1.5, "1.5"},
      {"0.0##", 1.23456, "1.235"},
      {"0.#0", 1.5, "1.50"},
      {"0.00", 0.125, "0.13"},
      {"0.00", -0.125, "-0.13"},
      {"00-00", 1234, "12-34"},
      {"00-00", 123456, "1234-56"},
      {".00", 1.5, "1.50"},
      // A value that rounds to zero takes the zero section, never a minus.
      {"0.00", -0.001, "0.00"},
      {"#,##0.00;(#,##0.00)", -0.001, "0.00"},
      {"0.0;-0.0;'nil'", -0.01, "nil"},
      // Literals.
      {"\"$\"#,##0.00", -5, "-$5.00"},
      {"'#'0", 5, "#5"},
      {"0 'pcs;'", 3, "3 pcs;"},
      {"0%", 50, "50%"},
      {"0.00E+00", 123456, "1.23E+05"},
      {"0.0e-0", 0.00123, "1.2e-3"},
      // Beyond 18 integer digits the general format takes over.
      {"0", 1e20, "1E20"},
  };
  for (const PictureCase& c : cases) EXPECT_EQ(FormatFloat(c.format, c.value), c.expected) << c.format << " " << c.value;
}

TEST(FormatFloat, UsesTheSettingsSeparators) {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.5, fs), "1.234.567,50");
  fs.ThousandSeparator = '\0';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, fs), "1234,50");
}

// ---- Booleans -----------------------------------------------------------------------------

TEST(StrToBool, NumbersAndWords) {
  const struct {
    const char* text;
    bool ok, value;
  } cases[] = {
      {"True", true, true}, {"TRUE", true, true},  {"false", true, false}, {"1", true, true},
      {"0", true, false},   {"-1", true, true},    {"2.5", true, true},    {" 0 ", true, false},
      {"yes", false, false}, {"", false, false},   {"Truex", false, false},
  };
  for (const auto& c : cases) {
    bool v = !c.value;
    EXPECT_EQ(TryStrToBool(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  EXPECT_THROW(StrToBool("yes"), EConvertError);
  EXPECT_TRUE(StrToBoolDef("maybe", true));
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false), "0");
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_EQ(BoolToStr(false, true), "False");
  EXPECT_TRUE(StrToBool(BoolToStr(true)));
}

// ---- Trimming and case --------------------------------------------------------------------

TEST(Trim, CutsControlCharactersAndBlanksOnly) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft(" \x01x "), "x ");
  EXPECT_EQ(TrimRight(" x\x1f"), " x");
  EXPECT_EQ(Trim("  "), "");
  // Bytes of UTF-8 sequences are above the blank and stay.
  EXPECT_EQ(Trim(" \xC3\xA9 "), "\xC3\xA9");
  EXPECT_EQ(Trim("\xA0"), "\xA0");
}

TEST(CaseMapping, AsciiAndUnicode) {
  EXPECT_EQ(UpperCase("abz\xC3\xA4"), "ABZ\xC3\xA4");
  EXPECT_EQ(LowerCase("ABZ\xC3\x84"), "abz\xC3\x84");
  const struct {
    const char* lower;
    const char* upper;
  } pairs[] = {
      {"stra\xC3\x9F" "e \xC3\xA0\xC3\xA9\xC3\xAF\xC3\xB5\xC3\xBC", "STRA\xC3\x9F" "E \xC3\x80\xC3\x89\xC3\x8F\xC3\x95\xC3\x9C"},
      {"\xC5\x82\xC3\xB3" "d\xC5\xBA", "\xC5\x81\xC3\x93" "D\xC5\xB9"},                      // łódź
      {"\xCE\xB1\xCE\xB2\xCE\xB3 \xCE\xAC\xCE\xAD", "\xCE\x91\xCE\x92\xCE\x93 \xCE\x86\xCE\x88"},  // αβγ άέ
      {"\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD1\x91", "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x92\xD0\x95\xD0\xA2 \xD0\x81"},  // привет ё
  };
  for (const auto& p : pairs) {
    EXPECT_EQ(AnsiUpperCase(p.lower), p.upper);
    EXPECT_EQ(AnsiLowerCase(p.upper), p.lower);
  }
  EXPECT_EQ(AnsiUpperCase("\xC3\xBF"), "\xC5\xB8");       // ÿ -> Ÿ
  EXPECT_EQ(AnsiUpperCase("\xCF\x82"), "\xCE\xA3");       // final sigma
  EXPECT_EQ(AnsiUpperCase("a\xFF" "b"), "A\xFF" "B");     // a stray byte survives
  EXPECT_EQ(WideUpperCase(u"\u00e9\u0436\U0001F600"), u"\u00c9\u0416\U0001F600");
  EXPECT_EQ(WideLowerCase(u"\u0391\u0416Z"), u"\u03b1\u0436z");
}

// ---- Comparison --------------------------------------------------------------------------

TEST(Compare, ByteAndAsciiOrder) {
  EXPECT_LT(CompareStr("a", "b"), 0);
  EXPECT_GT(CompareStr("a", "B"), 0);
  EXPECT_LT(CompareStr("ab", "abc"), 0);
  EXPECT_GT(CompareStr("\xC3\xA9", "z"), 0);
  EXPECT_EQ(CompareText("ABC", "abc"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  // Upper-cased before comparing, so '_' sorts after the letters.
  EXPECT_GT(CompareText("_", "a"), 0);
  EXPECT_TRUE(SameText("Hello", "hELLO"));
  EXPECT_FALSE(SameText("\xC3\xA9", "\xC3\x89"));
  EXPECT_FALSE(SameStr("a", "A"));
}

TEST(Compare, CodePointsOfUtf8KeepStrayBytesApart) {
  // é, €, a supplementary character; then a cut-off sequence and a stray
  // continuation byte, which must not merge with what follows.
  EXPECT_EQ(AnsiToCodePoints("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), (std::u32string{0xE9, 0x20AC, 0x1F600}));
  EXPECT_EQ(AnsiToCodePoints("\xC3" "a\xA9"), (std::u32string{0xDCC3, 'a', 0xDCA9}));
  // Encoded surrogates are bytes too, and come back as they were.
  EXPECT_EQ(AnsiToCodePoints("\xED\xA0\x80"), (std::u32string{0xDCED, 0xDCA0, 0xDC80}));
  EXPECT_EQ(WideToAnsi(AnsiToWide("\xED\xA0\x80\xED\xB0\x80")), "\xED\xA0\x80\xED\xB0\x80");
  EXPECT_EQ(FoldCase(0xDCC3), char32_t{0xDCC3});
  EXPECT_EQ(FoldCase(U'\u00C9'), FoldCase(U'\u00E9'));
}

TEST(Compare, AnsiCollationIsCaseFoldedWithLowerFirst) {
  EXPECT_EQ(AnsiCompareText("\xC3\x89" "COLE", "\xC3\xA9" "cole"), 0);
  EXPECT_TRUE(AnsiSameText("\xD0\x9F\xD0\xA0\xD0\x98", "\xD0\xBF\xD1\x80\xD0\xB8"));
  EXPECT_GT(AnsiCompareText("\xC3\xA9", "e"), 0);
  EXPECT_NE(AnsiCompareText("Stra\xC3\x9F" "e", "STRASSE"), 0);
  EXPECT_EQ(AnsiCompareText("\xCF\x83", "\xCF\x82"), 0);  // sigma forms
  EXPECT_EQ(AnsiCompareStr("a", "A"), -1);
  EXPECT_EQ(AnsiCompareStr("A", "b"), -1);
  EXPECT_EQ(AnsiCompareStr("B", "a"), 1);
  EXPECT_EQ(AnsiCompareStr("Ab", "aB"), 1);
  EXPECT_EQ(AnsiCompareStr("abc", "abc"), 0);

  std::vector<AnsiString> words = {"b", "A", "\xC3\xA4", "a", "B", "_x", "ab", "\xC3\x84"};
  std::sort(words.begin(), words.end(), [](const AnsiString& x, const AnsiString& y) { return AnsiCompareStr(x, y) < 0; });
  const std::vector<AnsiString> expected = {"_x", "a", "A", "ab", "b", "B", "\xC3\xA4", "\xC3\x84"};
  EXPECT_EQ(words, expected);

  EXPECT_EQ(WideCompareText(u"\u0416\u0418", u"\u0436\u0438"), 0);
  EXPECT_EQ(WideCompareStr(u"\u0436", u"\u0416"), -1);
  EXPECT_TRUE(WideSameText(u"\u00c9t\u00c9", u"\u00e9T\u00e9"));
  // Supplementary characters order by code point, after the whole BMP.
  EXPECT_EQ(WideCompareText(u"\U0001F600", u"\uFFFD"), 1);
}

// ---- Searching and editing -----------------------------------------------------------------

TEST(Editing, OneBasedPositionsWithClamping) {
  EXPECT_EQ(Pos("c", "abc"), 3);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(PosEx("a", "aba", 2), 3);
  EXPECT_EQ(PosEx("a", "aba", 4), 0);
  EXPECT_EQ(PosEx("a", "aba", 0), 0);
  EXPECT_EQ(AnsiPos("\xC3\xA9", "x\xC3\xA9"), 2);

  const struct {
    Integer index, count;
    const char* expected;
  } copies[] = {{1, 2, "ab"}, {0, 2, "ab"}, {-5, 2, "ab"}, {2, 100, "bc"}, {2, INT_MAX, "bc"},
                {3, 1, "c"},  {4, 1, ""},   {9, 1, ""},    {2, -1, ""},   {2, 0, ""}};
  for (const auto& c : copies) EXPECT_EQ(Copy("abc", c.index, c.count), c.expected) << c.index << "," << c.count;

  const struct {
    Integer index, count;
    const char* expected;
  } deletes[] = {{2, 3, "aef"}, {0, 1, "abcdef"}, {7, 1, "abcdef"}, {5, 100, "abcd"}, {1, 0, "abcdef"}, {1, -2, "abcdef"}};
  for (const auto& d : deletes) {
    AnsiString s = "abcdef";
    Delete(s, d.index, d.count);
    EXPECT_EQ(s, d.expected) << d.index << "," << d.count;
  }

  const struct {
    Integer index;
    const char* expected;
  } inserts[] = {{1, "XYabc"}, {0, "XYabc"}, {-3, "XYabc"}, {2, "aXYbc"}, {4, "abcXY"}, {10, "abcXY"}};
  for (const auto& in : inserts) {
    AnsiString s = "abc";
    Insert("XY", s, in.index);
    EXPECT_EQ(s, in.expected) << in.index;
  }
}

TEST(Editing, SmallHelpers) {
  EXPECT_EQ(StringOfChar('-', 3), "---");
  EXPECT_EQ(StringOfChar('-', -1), "");
  EXPECT_EQ(DupeString("ab", 3), "ababab");
  EXPECT_EQ(DupeString("ab", 0), "");
  EXPECT_EQ(ReverseString("abc"), "cba");
  EXPECT_EQ(LeftStr("abc", 2), "ab");
  EXPECT_EQ(LeftStr("abc", 5), "abc");
  EXPECT_EQ(RightStr("abc", 2), "bc");
  EXPECT_EQ(RightStr("abc", 9), "abc");
  EXPECT_EQ(RightStr("abc", -1), "");
  EXPECT_EQ(MidStr("abcdef", 2, 3), "bcd");
  EXPECT_EQ(IfThen(true, "yes"), "yes");
  EXPECT_EQ(IfThen(false, "yes"), "");
  EXPECT_EQ(LastDelimiter("/.", "a/b.c"), 4);
  EXPECT_EQ(LastDelimiter("/", "abc"), 0);
  EXPECT_TRUE(IsDelimiter("/.", "a/b", 2));
  EXPECT_FALSE(IsDelimiter("/.", "a/b", 1));
  EXPECT_FALSE(IsDelimiter("/.", "a/b", 4));
  EXPECT_FALSE(IsDelimiter("/.", "a/b", 0));
}

TEST(StringReplace, FirstAllAndIgnoringCase) {
  const struct {
    const char* s;
    const char* oldPattern;
    const char* newPattern;
    TReplaceFlags flags;
    const char* expected;
  } cases[] = {
      {"aXbXc", "X", "-", {}, "a-bXc"},
      {"aXbXc", "X", "-", {rfReplaceAll}, "a-b-c"},
      {"aXbxc", "x", "-", {rfReplaceAll}, "aXb-c"},
      {"aXbxc", "x", "-", {rfReplaceAll, rfIgnoreCase}, "a-b-c"},
      {"aXbxc", "x", "-", {rfIgnoreCase}, "a-bxc"},
      {"aa", "a", "aa", {rfReplaceAll}, "aaaa"},
      {"abc", "", "x", {rfReplaceAll}, "abc"},
      {"line\r\nnext\r\n", "\r\n", "%\r\n", {rfReplaceAll}, "line%\r\nnext%\r\n"},
      // Case-insensitive over Unicode letters, keeping the other text as it was.
      {"\xC3\x84PFEL und \xC3\xA4pfel", "\xC3\xA4pfel", "Birne", {rfReplaceAll, rfIgnoreCase}, "Birne und Birne"},
      {"\xD0\x9C\xD0\x98\xD0\xA0 \xC3\xA9", "\xD0\xBC\xD0\xB8\xD1\x80", "x", {rfIgnoreCase}, "x \xC3\xA9"},
  };
  for (const auto& c : cases) EXPECT_EQ(StringReplace(c.s, c.oldPattern, c.newPattern, c.flags), c.expected) << c.s;
}

TEST(Quoting, QuoteAndDequote) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"'it''s'", "it's"}, {"''", ""},       {"abc", "abc"}, {"'abc", "'abc"},
               {"'ab'cd", "ab"},    {"", ""},         {"'a''", "'a''"}};
  for (const auto& c : cases) EXPECT_EQ(AnsiDequotedStr(c.in, '\''), c.out) << c.in;
  EXPECT_EQ(AnsiDequotedStr(AnsiQuotedStr("x'y''z", '\''), '\''), "x'y''z");
}

TEST(Matching, StartsEndsContains) {
  EXPECT_TRUE(StartsText("AB", "abc"));
  EXPECT_TRUE(StartsText("", "abc"));
  EXPECT_FALSE(StartsText("abcd", "abc"));
  EXPECT_TRUE(EndsText("\xC3\x89T\xC3\x89", "l'\xC3\xA9t\xC3\xA9"));
  EXPECT_TRUE(ContainsText("Hello World", "o w"));
  EXPECT_FALSE(ContainsText("Hello", ""));
  EXPECT_TRUE(ContainsStr("Hello", "ell"));
  EXPECT_FALSE(ContainsStr("Hello", "ELL"));
  EXPECT_TRUE(AnsiStartsStr("He", "Hello"));
  EXPECT_FALSE(AnsiStartsStr("he", "Hello"));
  EXPECT_TRUE(AnsiEndsStr("lo", "Hello"));
  EXPECT_TRUE(AnsiStartsText("\xD0\xBF", "\xD0\x9F\xD0\xA0"));
  EXPECT_FALSE(StartsStr("b", "abc"));
  EXPECT_TRUE(EndsStr("bc", "abc"));
}

TEST(WrapText, BreaksAfterBreakCharacters) {
  const struct {
    const char* line;
    Integer maxCol;
    const char* expected;
  } cases[] = {
      {"The quick brown fox", 10, "The quick \r\nbrown fox"},
      {"aaa bbb ccc", 4, "aaa \r\nbbb \r\nccc"},
      {"well-known words", 6, "well-\r\nknown \r\nwords"},
      {"abcdefghij kl", 4, "abcdefghij \r\nkl"},
      {"short", 45, "short"},
      {"a   b", 2, "a  \r\nb"},
      // Quoted text is never broken.
      {"say 'a b c d' now", 6, "say \r\n'a b c d' \r\nnow"},
      // An existing line break starts a new line.
      {"ab cd\r\nef gh", 5, "ab cd\r\nef gh"},
  };
  for (const auto& c : cases) EXPECT_EQ(WrapText(c.line, c.maxCol), c.expected) << c.line;
  EXPECT_EQ(WrapText("a,b,c", "|", {','}, 2), "a,|b,|c");
}

TEST(AdjustLineBreaks, EveryBreakBecomesTheStyle) {
  EXPECT_EQ(AdjustLineBreaks("a\rb\nc\r\nd"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(AdjustLineBreaks("a\rb\nc\r\nd", tlbsLF), "a\nb\nc\nd");
  EXPECT_EQ(AdjustLineBreaks("\n\r"), "\r\n\r\n");
  EXPECT_EQ(AdjustLineBreaks("no breaks"), "no breaks");
}

TEST(IsValidIdent, NamesAndDottedNames) {
  const struct {
    const char* ident;
    bool dots, valid;
  } cases[] = {
      {"Button1", false, true}, {"_x", false, true},     {"1abc", false, false}, {"", false, false},
      {"a b", false, false},    {"a.b", false, false},   {"a.b", true, true},    {"a..b", true, false},
      {".a", true, false},      {"a.", true, false},     {"a.1b", true, false},  {"\xC3\xA9", false, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidIdent(c.ident, c.dots), c.valid) << c.ident;
}

TEST(NullTerminated, CopiesRespectTheLimit) {
  char buf[8];
  EXPECT_EQ(StrLen(StrPCopy(buf, "abc")), 3u);
  EXPECT_STREQ(buf, "abc");
  StrLCopy(buf, "abcdefghij", 4);
  EXPECT_STREQ(buf, "abcd");
  EXPECT_EQ(StrPas(nullptr), "");
  EXPECT_EQ(StrLen(nullptr), 0u);
}

TEST(CharSets, HighBytesAreMembersToo) {
  TSysCharSet set{'a', '\xE9'};
  EXPECT_TRUE(CharInSet('a', set));
  EXPECT_TRUE(CharInSet('\xE9', set));
  EXPECT_FALSE(CharInSet('b', set));
  EXPECT_EQ(UpCase('q'), 'Q');
  EXPECT_EQ(UpCase('1'), '1');
}

}  // namespace
