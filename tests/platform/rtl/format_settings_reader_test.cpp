#include "platform/rtl/format_settings_reader.h"

#include <gtest/gtest.h>

#include "platform/rtl/sysutils.h"

namespace {

// The runtime's own tests link no locale provider: the reader is theirs.
class FormatSettingsReaderTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetFormatSettingsReader(nullptr);
    FormatSettings = TFormatSettings();
  }
};

TEST_F(FormatSettingsReaderTest, TheInstalledReaderFillsTheSettings) {
  FormatSettings.ShortDateFormat = "kept";
  GetFormatSettings();
  EXPECT_EQ(FormatSettings.ShortDateFormat, "kept");
  SetFormatSettingsReader([](TFormatSettings& S) {
    S.ShortDateFormat = "d.M.yyyy";
    S.DateSeparator = '.';
    return true;
  });
  GetFormatSettings();
  EXPECT_EQ(FormatSettings.ShortDateFormat, "d.M.yyyy");
  EXPECT_EQ(FormatSettings.DateSeparator, '.');
  // A reader that fails leaves everything as it was, even what it touched.
  SetFormatSettingsReader([](TFormatSettings& S) {
    S.ShortDateFormat = "half";
    return false;
  });
  GetFormatSettings();
  EXPECT_EQ(FormatSettings.ShortDateFormat, "d.M.yyyy");
}

}  // namespace
