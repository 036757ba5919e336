#include "platform/win/kernel/kernel_codepages.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"

namespace {

std::u16string ToWide(UINT cp, const std::string& s, DWORD flags = 0) {
  int n = MultiByteToWideChar(cp, flags, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::u16string r(static_cast<size_t>(n), u'\0');
  if (n > 0) {
    EXPECT_EQ(MultiByteToWideChar(cp, flags, s.data(), static_cast<int>(s.size()), r.data(), n), n);
  }
  return r;
}

std::string ToAnsi(UINT cp, const std::u16string& s, BOOL* usedDefault = nullptr) {
  int n = WideCharToMultiByte(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, usedDefault);
  std::string r(static_cast<size_t>(n), '\0');
  if (n > 0) {
    EXPECT_EQ(WideCharToMultiByte(cp, 0, s.data(), static_cast<int>(s.size()), r.data(), n, nullptr, usedDefault), n);
  }
  return r;
}

struct TRoundTrip {
  UINT CodePage;
  std::string Bytes;
  std::u16string Text;
};

class CodePageRoundTrip : public ::testing::TestWithParam<TRoundTrip> {};

TEST_P(CodePageRoundTrip, ConvertsBothWays) {
  const TRoundTrip& c = GetParam();
  EXPECT_EQ(ToWide(c.CodePage, c.Bytes), c.Text);
  EXPECT_EQ(ToAnsi(c.CodePage, c.Text), c.Bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CodePageRoundTrip,
    ::testing::Values(TRoundTrip{CP_UTF8, "caf\xC3\xA9 Stra\xC3\x9F" "e", u"café Straße"},
                      TRoundTrip{CP_ACP, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xF0\x9F\x98\x80", u"日本語 \U0001F600"},
                      TRoundTrip{1251, "\xCF\xF0\xE8\xE2\xE5\xF2", u"Привет"},
                      TRoundTrip{932, "\x93\xFA\x96\x7B\x8C\xEA abc", u"日本語 abc"},
                      TRoundTrip{1252, "\xE9\xDF\x80", u"éß€"},
                      TRoundTrip{936, "\xD6\xD0\xCE\xC4", u"中文"},
                      TRoundTrip{949, "\xC7\xD1\xB1\xDB", u"한글"},
                      TRoundTrip{950, "\xA4\xA4\xA4\xE5", u"中文"},
                      TRoundTrip{1253, "\xE1\xE2\xE3", u"αβγ"}));

TEST(CodePages, InvalidInputBecomesReplacementCharactersNotAFailure) {
  // A stray continuation byte, a cut sequence at the end, an overlong form
  // and a surrogate encoded in UTF-8.
  EXPECT_EQ(ToWide(CP_UTF8, "a\x80" "b\xC3"), u"a\uFFFDb\uFFFD");
  EXPECT_EQ(ToWide(CP_UTF8, "\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(ToWide(CP_UTF8, "\xED\xA0\x80x"), u"\uFFFD\uFFFD\uFFFDx");
  // A lead byte of Shift-JIS without its trail byte.
  std::u16string cut = ToWide(932, "a\x93");
  EXPECT_EQ(cut, u"a\uFFFD");
  // A byte Windows-1253 does not define.
  EXPECT_EQ(ToWide(1253, "\xAA"), u"\uFFFD");
  // With MB_ERR_INVALID_CHARS the conversion fails instead.
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\x80", 2, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

TEST(CodePages, UnmappableCharactersBecomeTheDefaultCharacter) {
  BOOL used = FALSE;
  EXPECT_EQ(ToAnsi(1251, u"a日b", &used), "a?b");
  EXPECT_TRUE(used);
  EXPECT_EQ(ToAnsi(1251, u"\U0001F600", &used), "?");
  used = TRUE;
  EXPECT_EQ(ToAnsi(1251, u"ab", &used), "ab");
  EXPECT_FALSE(used);
  char buf[8] = {};
  EXPECT_EQ(WideCharToMultiByte(1252, 0, u"\u0416", 1, buf, 8, "#", nullptr), 1);
  EXPECT_EQ(buf[0], '#');
  // An unpaired surrogate in UTF-8 output.
  EXPECT_EQ(ToAnsi(CP_UTF8, std::u16string(u"x") + char16_t(0xD800) + u"y"), "x\xEF\xBF\xBDy");
}

TEST(CodePages, FollowTheCallingConventions) {
  // -1: zero-terminated, the terminator counted and written.
  char16_t wide[8];
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3\xA9t\xC3\xA9", -1, wide, 8), 4);
  EXPECT_EQ(std::u16string(wide), u"été");
  char narrow[8];
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"été", -1, narrow, 8, nullptr, nullptr), 6);
  EXPECT_STREQ(narrow, "\xC3\xA9t\xC3\xA9");

  auto fails = [](int result, DWORD error) {
    DWORD got = GetLastError();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(got, error);
  };
  fails(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, wide, 2), ERROR_INSUFFICIENT_BUFFER);
  fails(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, wide, 8), ERROR_INVALID_PARAMETER);
  fails(MultiByteToWideChar(12345, 0, "abc", 3, wide, 8), ERROR_INVALID_PARAMETER);
  fails(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "abc", 3, wide, 8), ERROR_INVALID_FLAGS);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "abc", 3, wide, 8), 3);
  EXPECT_EQ(MultiByteToWideChar(1252, MB_PRECOMPOSED, "abc", 3, wide, 8), 3);
  BOOL used;
  fails(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, narrow, 8, nullptr, &used), ERROR_INVALID_PARAMETER);
  fails(WideCharToMultiByte(1252, 0, u"abc", 3, narrow, 2, nullptr, nullptr), ERROR_INSUFFICIENT_BUFFER);
}

TEST(CodePages, SystemPageIsUtf8WithoutLeadBytes) {
  EXPECT_EQ(GetACP(), CP_UTF8);
  for (int b = 0; b < 256; ++b) EXPECT_FALSE(IsDBCSLeadByte(static_cast<BYTE>(b)));
  EXPECT_TRUE(IsDBCSLeadByteEx(932, 0x93));
  EXPECT_FALSE(IsDBCSLeadByteEx(932, 0xA0));
  EXPECT_FALSE(IsDBCSLeadByteEx(1251, 0x93));
  EXPECT_TRUE(IsValidCodePage(874));
  EXPECT_FALSE(IsValidCodePage(12345));
}

TEST(CodePages, CharNextAndPrevStepOverWholeUtf8Characters) {
  const char* s = "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80";
  const char* p = s;
  int steps = 0;
  while (*p) {
    p = CharNextA(p);
    ++steps;
  }
  EXPECT_EQ(steps, 4);
  EXPECT_EQ(CharNextA(p), p);
  EXPECT_EQ(CharPrevA(s, p), s + 6);
  EXPECT_EQ(CharPrevA(s, s + 6), s + 3);
  EXPECT_EQ(CharPrevA(s, s + 1), s);
  EXPECT_EQ(CharPrevA(s, s), s);
  // Continuation bytes right at the start never lead before it.
  const char* bare = "\x80\x80x";
  EXPECT_EQ(CharPrevA(bare, bare + 2), bare);
}

}  // namespace
