#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/shell/ole_guid.h"
#include "platform/win/shell/shlobj.h"

namespace {

WideString TextOf(const GUID& g) {
  LPOLESTR s = nullptr;
  EXPECT_EQ(StringFromCLSID(g, &s), S_OK);
  WideString r = s ? WideString(s) : WideString();
  CoTaskMemFree(s);
  return r;
}

TEST(GuidTest, NewGuidsAreDistinctVersion4AndRoundTripThroughText) {
  std::set<std::u16string> seen;
  for (int i = 0; i < 50; ++i) {
    GUID g;
    ASSERT_EQ(CoCreateGuid(&g), S_OK);
    EXPECT_EQ(g.Data3 >> 12, 4);
    EXPECT_EQ(g.Data4[0] & 0xC0, 0x80);
    WideString t = TextOf(g);
    EXPECT_TRUE(seen.insert(t).second);
    GUID back;
    ASSERT_EQ(CLSIDFromString(t.c_str(), &back), S_OK);
    EXPECT_EQ(back, g);
  }
  EXPECT_EQ(CoCreateGuid(nullptr), E_INVALIDARG);
}

TEST(GuidTest, TextIsBracedUpperCaseAndParsingAcceptsEitherCase) {
  const GUID g = {0x0A1B2C3D, 0x4E5F, 0x6071, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9}};
  EXPECT_EQ(TextOf(g), u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
  GUID back;
  ASSERT_EQ(CLSIDFromString(u"{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}", &back), S_OK);
  EXPECT_EQ(back, g);
}

TEST(GuidTest, MalformedTextIsRefusedAndClearsTheResult) {
  const char16_t* bad[] = {
      u"",
      u"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9",    // no braces
      u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F}",   // one digit short
      u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F90}", // one digit long
      u"{0A1B2C3D-4E5F-6071-8293A4B5C6D7E8F9}",   // dash missing
      u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8FG}",  // not hexadecimal
      u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9} ", // trailing text
      u"nonsense",
  };
  for (const char16_t* s : bad) {
    GUID g = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(CLSIDFromString(s, &g), CO_E_CLASSSTRING) << WideToAnsi(s);
    EXPECT_EQ(g, GUID_NULL);
  }
  GUID g;
  EXPECT_EQ(CLSIDFromString(nullptr, &g), E_INVALIDARG);
  EXPECT_EQ(CLSIDFromString(u"{}", nullptr), E_INVALIDARG);
}

}  // namespace
