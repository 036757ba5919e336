#include <gtest/gtest.h>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"

namespace {

struct FormatCase {
  const char* fmt;
  std::vector<TVarRec> args;
  const char* expected;
};

AnsiString FormatCaseText(const FormatCase& c) { return Format(c.fmt, c.args.data(), static_cast<int>(c.args.size()), FormatSettings); }

TEST(Format, Directives) {
  const FormatCase cases[] = {
      {"%d", {42}, "42"},
      {"%5d|%-5d|", {42, 42}, "   42|42   |"},
      {"%.4d", {-7}, "-0007"},
      {"%u", {-1}, "4294967295"},
      {"%x %.4x", {255, 10}, "FF 000A"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%4.2f KB", {1.5}, "1.50 KB"},
      {"%4.2f KB", {1234.5678}, "1234.57 KB"},
      {"%.2f", {0.125}, "0.13"},
      {"%.2f", {2.675}, "2.67"},
      {"%f", {-0.001}, "0.00"},
      {"%e", {1.5}, "1.50000000000000E+000"},
      {"%.3e", {-12345.0}, "-1.23E+004"},
      {"%g", {0.5}, "0.5"},
      {"%g", {1e20}, "1E020"},
      {"%g", {1.5e-7}, "1.5E-007"},
      {"%g", {100.0}, "100"},
      {"%n", {1234567.891}, "1,234,567.89"},
      {"%m", {-1234.5}, "($1,234.50)"},
      {"%s and %s", {"a", AnsiString("b")}, "a and b"},
      {"%.2s", {"abc"}, "ab"},
      {"%2:s %0:s %s", {"a", "b", "c"}, "c a b"},
      {"%*d", {4, 7}, "   7"},
      {"%-*.*f|", {8, 1, 2.25}, "2.3     |"},
      {"100%%", {}, "100%"},
      {"(%d)", {3}, "(3)"},
      {"%S %D", {"x", 1}, "x 1"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatCaseText(c), c.expected) << c.fmt;
}

TEST(Format, DecimalSeparatorFollowsTheLocale) {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  EXPECT_EQ(Format("%4.2f KB", {1.5}, fs), "1,50 KB");
  EXPECT_EQ(Format("%n", {1234.5}, fs), "1.234,50");
}

TEST(Format, BadDirectivesRaise) {
  const FormatCase bad[] = {
      {"%d", {"text"}, nullptr}, {"%s", {5}, nullptr},  {"%f", {5}, nullptr},
      {"%d %d", {1}, nullptr},   {"%q", {1}, nullptr},  {"abc%", {}, nullptr},
      // Widths and precisions from arguments have the cap of written ones
      // (which would otherwise pad to gigabytes).
      {"%*d", {INT32_MAX, 1}, nullptr},
      {"%.*d", {INT32_MAX, 1}, nullptr},
      {"%*s", {Int64(1) << 32, "x"}, nullptr},
      {"%-*s", {1000001, "x"}, nullptr},
      {"%999999999d", {1}, nullptr},
      {"%00:088808088e", {1.5}, nullptr},
  };
  for (const auto& c : bad) EXPECT_THROW(FormatCaseText(c), EConvertError) << c.fmt;
  EXPECT_EQ(Format("%*d", {1000000, 7}).size(), 1000000u) << "the cap itself is allowed";
  try {
    Format("%d", {"x"});
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
  }
}

TEST(Exceptions, ClassReferencesAndFormattedMessages) {
  EReadError e("Stream read error");
  EXPECT_EQ(e.ClassName(), "EReadError");
  EXPECT_TRUE(e.InheritsFrom(EStreamError::StaticClass()));
  EXPECT_FALSE(e.InheritsFrom(EOSError::StaticClass()));
  EListError l("List index out of bounds (%d)", {7});
  EXPECT_EQ(l.Message(), "List index out of bounds (7)");
  try {
    SetLastError(2);
    RaiseLastOSError();
  } catch (const EOSError& os) {
    EXPECT_EQ(os.ErrorCode(), 2u);
    EXPECT_EQ(os.Message(), "System Error.  Code: 2.\nThe system cannot find the file specified");
  }
}

TEST(TextCodec, RoundTripsInvalidUtf8) {
  const AnsiString samples[] = {"plain", "gr\xC3\xBC\xC3\x9F", "bad\xFFname\xC3", "\xF0\x9F\x98\x80 emoji"};
  for (const auto& s : samples) EXPECT_EQ(WideToAnsi(AnsiToWide(s)), s);
  EXPECT_EQ(AnsiToWide("\xC3\xBC"), u"\u00FC");
  EXPECT_EQ(AnsiToWide("\xF0\x9F\x98\x80").size(), 2u);
}

}  // namespace
