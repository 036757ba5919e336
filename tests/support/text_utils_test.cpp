#include "support/text_utils.h"

#include <gtest/gtest.h>

namespace {

TEST(TextUtils, MatchWildcard) {
  struct Case {
    const char* text;
    const char* mask;
    bool match;
  };
  const Case cases[] = {
      {"", "", true},
      {"", "*", true},
      {"", "**", true},
      {"abc", "", false},
      {"", "?", false},
      {"/home/x.PDF", "*.pdf", true},
      {"/home/a.pdf.txt", "*.pdf", false},
      {"/home/x.pdf.pdf", "*.pdf", true},
      {"/home/x.pdf", "*.pdf*", true},
      {"/home/x.pd", "*.pdf", false},
      {"a\\b", "a?b", true},  // the mask character takes any byte
      {"a/b", "a?b", true},
      {"ab", "a?b", false},
      {"abc", "abc", true},
      {"abcd", "abc", false},
      {"abc", "abcd", false},
      {"abc", "ABC", true},
      {"x.pdf", ".pdf", false},  // without a leading wild it anchors at the start
      {"abxcdcd", "ab*cd", true},
      {"abxcdce", "ab*cd", false},
      {"aXbXc", "*x*x*", true},
      {"abc", "*?", true},
      {"abc", "a*?c", true},
      {"ac", "a*?c", false},
      {"mississippi", "*sip*", true},
      {"mississippi", "*iss*ppi", true},
      {"mississippi", "m*?ss?p*i", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchWildcard(c.text, c.mask), c.match) << c.text << " ~ " << c.mask;
}

// Texts and masks are UTF-8: letters fold whole, the mask character takes
// one character however many bytes it has, and a byte outside valid UTF-8
// is a character that only meets itself.
TEST(TextUtils, MatchWildcardOverUtf8) {
  struct Case {
    const char* text;
    const char* mask;
    bool match;
  };
  const Case cases[] = {
      {"\xC3\xA4.pdf", "*.PDF", true},                        // ä.pdf
      {"\xC3\xA4" "bc.pdf", "\xC3\x84*.pdf", true},           // äbc.pdf ~ Ä*.pdf
      {"\xC3\xBC" "BER.txt", "\xC3\x9C" "ber.*", true},       // üBER ~ Über
      {"\xCE\xA3\xCF\x89\xCF\x82", "\xCF\x83\xCE\xA9\xCE\xA3", true},  // Σως ~ σΩΣ
      {"\xD0\x96\xD1\x83\xD0\xBA", "*\xD0\xA3\xD0\x9A", true},        // Жук ~ *УК
      {"\xC3\x9A", "\xC3\x8A", false},                       // Ú and Ê share a lead byte only
      {"\xC3\xA9", "\xC3\xA8", false},                       // é, è
      {"\xC3\xA4", "?", true},                               // one character, two bytes
      {"\xC3\xA4", "??", false},
      {"\xE2\x82\xAC" "1", "?1", true},                         // €1
      {"a\xF0\x9F\x98\x80" "b", "a?b", true},                // a supplementary character
      {"\xC3\xA4" "x\xC3\xA4", "*\xC3\x84", true},
      {"x\xC3\xA4", "*\xC3\xA5", false},
      // Bytes that are not valid UTF-8.
      {"\xE4.pdf", "*.PDF", true},
      {"\xE4.pdf", "\xC3\xA4.pdf", false},                   // a Latin-1 ä is not the UTF-8 one
      {"\xC4.pdf", "\xE4.pdf", false},                        // nor do stray bytes fold
      {"\xC3", "\xC3\xA4", false},                            // a cut-off sequence
      {"\xC3\xA4", "\xC3", false},
      {"\xC3", "?", true},
      {"\xC3\xC3", "?", false},
      {"\xFF\xFE", "\xFF\xFE", true},
      {"\xFF\xFE", "*\xFE", true},
      {"\xED\xA0\x80", "???", true},                          // an encoded surrogate: three bytes
      {"\xED\xA0\x80\xED\xB0\x80", "\xF0\x90\x80\x80", false},  // nor do two of them pair up
      {"\xC3\x28", "\xC3?", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchWildcard(c.text, c.mask), c.match) << c.text << " ~ " << c.mask;
}

TEST(TextUtils, MatchWildcardTakesOtherWildAndMaskCharacters) {
  EXPECT_TRUE(MatchWildcard("a*b.pdf", "a#%b.pdf", '#', '%'));
  EXPECT_TRUE(MatchWildcard("a*b", "a*b", '#', '%'));   // '*' is plain text here
  EXPECT_FALSE(MatchWildcard("axb", "a*b", '#', '%'));
  EXPECT_TRUE(MatchWildcard("axyb", "a#b", '#', '%'));
}

TEST(TextUtils, EnsureTrailingChar) {
  EXPECT_EQ(EnsureTrailingChar("", '\\'), "\\");
  EXPECT_EQ(EnsureTrailingChar("a", '\\'), "a\\");
  EXPECT_EQ(EnsureTrailingChar("a\\", '\\'), "a\\");
  EXPECT_EQ(EnsureTrailingBackslash("/tmp"), "/tmp/");
  EXPECT_EQ(EnsureTrailingBackslash("/tmp/"), "/tmp/");
  EXPECT_EQ(EnsureTrailingBackslash(""), "/");
}

TEST(TextUtils, CompareOrdinal) {
  EXPECT_EQ(CompareOrdinal("ab", "abc"), -1);
  EXPECT_GT(CompareOrdinal("b", "abc"), 0);
  EXPECT_EQ(CompareOrdinal("abc", "abc"), 0);
  EXPECT_EQ(CompareOrdinal("", ""), 0);
  EXPECT_EQ(CompareOrdinal("a", "b"), -1);
  // Bytes compare as unsigned values, and case counts.
  EXPECT_EQ(CompareOrdinal("\xE9", "e"), 0xE9 - 'e');
  EXPECT_LT(CompareOrdinal("B", "a"), 0);
}

}  // namespace
