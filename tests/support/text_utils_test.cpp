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
      {"\xE9t\xE9", "\xC9T\xC9", true},     // accented letters of the code page fold
      {"\x9A\xFF", "\x8A\x9F", true},      // s caron, y diaeresis
      {"\xF7", "\xD7", false},             // division and multiplication signs do not
      {"\xDF", "\xDF", true},
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
