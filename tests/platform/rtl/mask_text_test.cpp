#include "platform/rtl/mask_text.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatMaskText, MasksTable) {
  struct TCase {
    const char* Mask;
    const char* Value;
    const char* Expected;
  };
  const TCase Cases[] = {
      // Literals not in the value: the mask puts them in.
      {"(000) 000-0000;0;_", "5551234567", "(555) 123-4567"},
      // A short value leaves blanks at the end, in the third section's
      // character.
      {"(000) 000-0000;0;_", "555123", "(555) 123-____"},
      {"(000) 000-0000;0;*", "555", "(555) ***-****"},
      // No third section: '_'.
      {"000-000;0", "12", "12_-___"},
      // Literals in the value: they are taken where they stand.
      {"(000) 000-0000;1;_", "(555) 123-4567", "(555) 123-4567"},
      {"000-0000", "555-1234", "555-1234"},
      // A character that fits nowhere it stands is left out.
      {"(000) 000-0000;0;_", "555-123-4567", "(555) 123-4567"},
      {"000;0;_", "1x2y3", "123"},
      // Letters, letters or digits, anything.
      {"LL-00;0;_", "ab12", "ab-12"},
      {"LL-00;0;_", "1a2b34", "ab-34"},
      {"AAA;0;_", "a1-b", "a1b"},
      {"CCC;0;_", "-+ ", "-+ "},
      // Case.
      {">LL<LL;0;_", "abCD", "ABcd"},
      {">L<>L;0;_", "ab", "Ab"},
      // Optional positions take a space; '#' takes a sign.
      {"#99;0;_", "- 5", "- 5"},
      {"#00;0;_", "+12", "+12"},
      // '\' makes a mask character literal, and a ';' too.
      {"\\000;0;_", "12", "012"},
      {"00\\;00;0;_", "1234", "12;34"},
      // '_' stands for a space.
      {"00_00;0;*", "1234", "12 34"},
      // '!': the blanks of a short value come first.
      {"!9999;0;_", "12", "__12"},
      {"!0000;0;_", "1234", "1234"},
      // An empty mask or value.
      {"", "abc", ""},
      {"00;0;_", "", "__"},
  };
  for (const TCase& C : Cases)
    EXPECT_EQ(FormatMaskText(AnsiString(C.Mask), AnsiString(C.Value)), AnsiString(C.Expected))
        << "mask " << C.Mask << " value " << C.Value;
}

TEST(FormatMaskText, WideLettersFitLetterPositions) {
  EXPECT_EQ(FormatMaskText(WideString(u">LL;0;_"), WideString(u"\u00E9\u00DF")).size(), 2u);
  EXPECT_EQ(FormatMaskText(WideString(u">L;0;_"), WideString(u"\u00E9")), WideString(u"\u00C9"));
  EXPECT_EQ(FormatMaskText(WideString(u"L;0;_"), WideString(u"\u20AC")), WideString(u"_"));
}

}  // namespace
