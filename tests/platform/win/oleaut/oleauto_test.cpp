#include "platform/win/oleaut/oleauto.h"

#include <gtest/gtest.h>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel_datefmt.h"

namespace {

class VariantDateTest : public ::testing::Test {
 protected:
  void SetUp() override { rtl::testing::ResetLocale(); }
  void TearDown() override { rtl::testing::ResetLocale(); }

  static HRESULT Parse(const AnsiString& text, DATE& date, ULONG flags = 0) {
    const WideString wide = AnsiToWide(text);
    return VarDateFromStr(wide.c_str(), LOCALE_USER_DEFAULT, flags, &date);
  }
  static std::string Show(DATE date, ULONG flags = 0) {
    BSTR text = nullptr;
    if (VarBstrFromDate(date, LOCALE_USER_DEFAULT, flags, &text) != S_OK) return "<fail>";
    const std::string result = WideToAnsi(WideString(text, SysStringLen(text)));
    SysFreeString(text);
    return result;
  }
};

TEST_F(VariantDateTest, FreeFormTextInTheLocaleOrder) {
  const Word thisYear = YearOf(Now());
  const struct {
    const char* Text;
    TDateTime Date;
  } cases[] = {
      {"3/5/2006", EncodeDate(2006, 3, 5)},
      {"3-5-2006", EncodeDate(2006, 3, 5)},
      {" 3 5 2006 ", EncodeDate(2006, 3, 5)},
      {"3/5/06", EncodeDate(2006, 3, 5)},
      {"3/5/45", EncodeDate(1945, 3, 5)},
      {"2006/3/5", EncodeDate(2006, 3, 5)},
      {"3/5", EncodeDate(thisYear, 3, 5)},
      {"March 5, 2006", EncodeDate(2006, 3, 5)},
      {"5 mar 2006", EncodeDate(2006, 3, 5)},
      {"MAR 2006", EncodeDate(2006, 3, 1)},
      {"3/5/2006 14:30", EncodeDate(2006, 3, 5) + EncodeTime(14, 30, 0, 0)},
      {"3/5/2006 2:30:15 PM", EncodeDate(2006, 3, 5) + EncodeTime(14, 30, 15, 0)},
      {"3/5/2006 12:00 am", EncodeDate(2006, 3, 5)},
      {"PM 2:30", EncodeTime(14, 30, 0, 0)},
      {"14:30", EncodeTime(14, 30, 0, 0)},
      {"5 pm", EncodeTime(17, 0, 0, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    DATE date = -1;
    ASSERT_EQ(Parse(c.Text, date), S_OK);
    EXPECT_NEAR(date, c.Date, 1e-9);
  }
}

TEST_F(VariantDateTest, TextThatIsNoDateIsATypeMismatch) {
  for (const char* text : {"", "   ", "2/31/2001", "13/1/2001", "today", "3/5/2006 x", "1/2/3/4", "25:00",
                           "3/5/2006 13:00 PM", "March April 2006", "\xff\xfe", "1234567/1/1"}) {
    SCOPED_TRACE(text);
    DATE date = 0;
    EXPECT_EQ(Parse(text, date), DISP_E_TYPEMISMATCH);
  }
  DATE date = 0;
  EXPECT_EQ(Parse("1/1/10000", date), DISP_E_OVERFLOW);
  EXPECT_EQ(VarDateFromStr(nullptr, LOCALE_USER_DEFAULT, 0, &date), E_INVALIDARG);
}

TEST_F(VariantDateTest, DayFirstLocaleReadsDayFirst) {
  rtl::testing::InstallDateTestLocale(rtl::testing::TDateTestLocale::kDayFirstDots);
  DATE date = 0;
  ASSERT_EQ(Parse("05.03.2006", date), S_OK);
  EXPECT_EQ(date, EncodeDate(2006, 3, 5));
  EXPECT_EQ(Parse("31.02.2001", date), DISP_E_TYPEMISMATCH);
  rtl::testing::InstallDateTestLocale(rtl::testing::TDateTestLocale::kApostropheMonths);
  ASSERT_EQ(Parse("5 ma'r 2006", date), S_OK);
  EXPECT_EQ(date, EncodeDate(2006, 3, 5));
}

TEST_F(VariantDateTest, FlagsKeepOnePart) {
  DATE date = 0;
  ASSERT_EQ(Parse("3/5/2006 6:00", date, VAR_DATEVALUEONLY), S_OK);
  EXPECT_EQ(date, EncodeDate(2006, 3, 5));
  ASSERT_EQ(Parse("3/5/2006 6:00", date, VAR_TIMEVALUEONLY), S_OK);
  EXPECT_EQ(date, 0.25);
  // Before 30 December 1899 the time counts away from zero.
  ASSERT_EQ(Parse("12/29/1899 6:00", date), S_OK);
  EXPECT_EQ(date, -1.25);
}

TEST_F(VariantDateTest, DatesBackToText) {
  EXPECT_EQ(Show(EncodeDate(2006, 3, 5)), "3/5/2006");
  EXPECT_EQ(Show(EncodeDate(2006, 3, 5) + 0.75), "3/5/2006 6:00:00 PM");
  EXPECT_EQ(Show(0.75), "6:00:00 PM");
  EXPECT_EQ(Show(0), "12:00:00 AM");
  EXPECT_EQ(Show(EncodeDate(2006, 3, 5) + 0.75, VAR_DATEVALUEONLY), "3/5/2006");
  EXPECT_EQ(Show(EncodeDate(2006, 3, 5) + 0.75, VAR_TIMEVALUEONLY), "6:00:00 PM");
  EXPECT_EQ(Show(-1.25), "12/29/1899 6:00:00 AM");
  EXPECT_EQ(Show(3e6), "<fail>");
  BSTR text = nullptr;
  EXPECT_EQ(VarBstrFromDate(3e6, LOCALE_USER_DEFAULT, 0, &text), DISP_E_OVERFLOW);
  EXPECT_EQ(text, nullptr);
  // The two directions agree.
  DATE back = 0;
  ASSERT_EQ(Parse(Show(EncodeDate(1999, 12, 31) + 0.5), back), S_OK);
  EXPECT_EQ(back, EncodeDate(1999, 12, 31) + 0.5);
}

}  // namespace
