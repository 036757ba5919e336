#include "platform/win/kernel/kernel_locale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/kernel/kernel_codepages.h"

namespace {

std::string Item(LCID lcid, LCTYPE type) {
  int n = GetLocaleInfoA(lcid, type, nullptr, 0);
  if (n == 0) return "<missing>";
  std::string s(static_cast<size_t>(n), '\0');
  EXPECT_EQ(GetLocaleInfoA(lcid, type, s.data(), n), n);
  EXPECT_EQ(s.back(), '\0');
  s.pop_back();
  return s;
}

// Sets the locale variables for one test and reads the environment again.
class EnvironmentLocale : public ::testing::Test {
  std::string saved_[3];
  bool had_[3] = {};
  static constexpr const char* kVars[3] = {"LC_ALL", "LC_TIME", "LANG"};

 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      const char* v = std::getenv(kVars[i]);
      had_[i] = v != nullptr;
      if (v) saved_[i] = v;
      unsetenv(kVars[i]);
    }
  }
  void TearDown() override {
    for (int i = 0; i < 3; ++i) {
      if (had_[i])
        setenv(kVars[i], saved_[i].c_str(), 1);
      else
        unsetenv(kVars[i]);
    }
    rtl::testing::ResetLocale();
  }
  void Use(const char* var, const char* value) {
    setenv(var, value, 1);
    rtl::testing::ResetLocale();
  }
};

TEST_F(EnvironmentLocale, WithoutSettingsTheUserHasEnUs) {
  rtl::testing::ResetLocale();
  EXPECT_EQ(GetUserDefaultLCID(), LOCALE_EN_US);
  EXPECT_EQ(GetThreadLocale(), LOCALE_EN_US);
  Use("LANG", "C.UTF-8");
  EXPECT_EQ(GetUserDefaultLCID(), LOCALE_EN_US);
  Use("LANG", "xx_YY");
  EXPECT_EQ(GetUserDefaultLCID(), LOCALE_EN_US);
}

struct TEnUsItem {
  LCTYPE Type;
  const char* Value;
};

TEST_F(EnvironmentLocale, EnUsHasTheOriginalValues) {
  rtl::testing::ResetLocale();
  const TEnUsItem items[] = {
      {LOCALE_SSHORTDATE, "M/d/yyyy"},  {LOCALE_SLONGDATE, "dddd, MMMM d, yyyy"}, {LOCALE_STIMEFORMAT, "h:mm:ss tt"},
      {LOCALE_SDATE, "/"},              {LOCALE_STIME, ":"},                      {LOCALE_S1159, "AM"},
      {LOCALE_S2359, "PM"},             {LOCALE_ICALENDARTYPE, "1"},              {LOCALE_IFIRSTDAYOFWEEK, "6"},
      {LOCALE_IFIRSTWEEKOFYEAR, "0"},   {LOCALE_SDAYNAME1, "Monday"},             {LOCALE_SDAYNAME7, "Sunday"},
      {LOCALE_SABBREVDAYNAME1, "Mon"},  {LOCALE_SSHORTESTDAYNAME7, "Su"},         {LOCALE_SMONTHNAME12, "December"},
      {LOCALE_SABBREVMONTHNAME1, "Jan"}, {LOCALE_SMONTHNAME13, ""},               {LOCALE_SDECIMAL, "."},
      {LOCALE_SCURRENCY, "$"},          {LOCALE_SNAME, "en-US"},
  };
  for (LCID lcid : {LOCALE_USER_DEFAULT, LOCALE_SYSTEM_DEFAULT, LOCALE_EN_US})
    for (const TEnUsItem& i : items) EXPECT_EQ(Item(lcid, i.Type), i.Value) << std::hex << i.Type;
}

TEST_F(EnvironmentLocale, AnswersNumbersLengthsAndErrorsAsDocumented) {
  rtl::testing::ResetLocale();
  DWORD number = 0;
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK | LOCALE_RETURN_NUMBER,
                           reinterpret_cast<LPSTR>(&number), sizeof(number)),
            4);
  EXPECT_EQ(number, 6u);
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE | LOCALE_RETURN_NUMBER,
                           reinterpret_cast<LPSTR>(&number), sizeof(number)),
            4);
  EXPECT_EQ(number, 0x409u);

  auto fails = [](int result, DWORD error) {
    DWORD got = GetLastError();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(got, error);
  };
  char small[3];
  fails(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME1, small, sizeof(small)), ERROR_INSUFFICIENT_BUFFER);
  fails(GetLocaleInfoA(LOCALE_USER_DEFAULT, 0x7777, small, sizeof(small)), ERROR_INVALID_FLAGS);
  fails(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME1 | LOCALE_RETURN_NUMBER, small, sizeof(small)),
        ERROR_INVALID_FLAGS);
  fails(GetLocaleInfoA(0x0411, LOCALE_SDAYNAME1, nullptr, 0), ERROR_INVALID_PARAMETER);
  // The override flags change nothing.
  EXPECT_EQ(Item(LOCALE_USER_DEFAULT, LOCALE_SDATE | LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP), "/");
}

TEST_F(EnvironmentLocale, OtherLocalesComeFromTheLocaleDatabase) {
  Use("LANG", "de_DE.UTF-8");
  ASSERT_EQ(GetUserDefaultLCID(), LOCALE_CUSTOM_DEFAULT);
  EXPECT_EQ(Item(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME1), "Montag");
  EXPECT_EQ(Item(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1 + 2), "M\xC3\xA4rz");
  EXPECT_EQ(Item(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK), "0");
  EXPECT_EQ(Item(LOCALE_USER_DEFAULT, LOCALE_SDATE), ".");
  EXPECT_EQ(Item(LOCALE_USER_DEFAULT, LOCALE_SNAME), "de-DE");
  std::string time = Item(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT);
  EXPECT_NE(time.find("HH"), std::string::npos) << time;
  EXPECT_EQ(time.find("tt"), std::string::npos) << time;
  // en-US stays reachable by its identifier.
  EXPECT_EQ(Item(LOCALE_EN_US, LOCALE_SDAYNAME1), "Monday");

  // LC_TIME wins over LANG, LC_ALL over both.
  Use("LC_TIME", "fr_FR");
  EXPECT_EQ(Item(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME1), "lundi");
  Use("LC_ALL", "C");
  EXPECT_EQ(GetUserDefaultLCID(), LOCALE_EN_US);
}

TEST_F(EnvironmentLocale, TestsInstallTablesOfTheirOwn) {
  rtl::testing::InstallLocaleTable(0x0407, {{LOCALE_SDATE, "."}, {LOCALE_IFIRSTDAYOFWEEK, "0"}});
  EXPECT_EQ(GetUserDefaultLCID(), 0x0407u);
  EXPECT_EQ(Item(LOCALE_USER_DEFAULT, LOCALE_SDATE), ".");
  EXPECT_EQ(Item(0x0407, LOCALE_IFIRSTDAYOFWEEK), "0");
  EXPECT_EQ(Item(0x0407, LOCALE_S1159), "<missing>");
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
}

TEST_F(EnvironmentLocale, ThreadLocaleFollowsSetThreadLocale) {
  rtl::testing::InstallLocaleTable(0x0407, {{LOCALE_SDATE, "."}});
  EXPECT_EQ(GetThreadLocale(), 0x0407u);
  EXPECT_TRUE(SetThreadLocale(LOCALE_EN_US));
  EXPECT_EQ(GetThreadLocale(), LOCALE_EN_US);
  EXPECT_TRUE(SetThreadLocale(LOCALE_USER_DEFAULT));
  EXPECT_EQ(GetThreadLocale(), 0x0407u);
  EXPECT_FALSE(SetThreadLocale(0x0411));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(GetThreadLocale(), 0x0407u);
}

}  // namespace
