// The date utilities' unit and a fresh format controller for one test, a
// fixed "now" (Wednesday 15 May 2024, 10:30), and the locale and the
// framework's settings put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/format_settings_reader.h"
#include "platform/win/kernel/kernel_datefmt.h"
#include "ui/foundation/date_utils.h"
#include "ui/foundation/format_controller.h"

class DateUtilsTest : public ::testing::Test {
 protected:
  static TDateTime FixedNow() { return EncodeDate(2024, 5, 15) + EncodeTime(10, 30, 0, 0); }
  static TDateTime Today() { return EncodeDate(2024, 5, 15); }

  void SetUp() override {
    rtl::testing::ResetLocale();
    FormatSettings = TFormatSettings();
    cx_date_utils_detail::StartDateUtils();
    cx_formats_detail::StopFormats();
    cx_formats_detail::StartFormats();
    cxSetDateClock(&FixedNow);
  }
  void TearDown() override {
    cxSetDateClock(nullptr);
    cx_formats_detail::StopFormats();
    cx_formats_detail::StartFormats();
    cx_date_utils_detail::StopDateUtils();
    rtl::testing::ResetLocale();
    FormatSettings = TFormatSettings();
  }
  // The locale becomes the user's; the framework and the controller follow.
  static void UseLocale(rtl::testing::TDateTestLocale ALocale) {
    rtl::testing::InstallDateTestLocale(ALocale);
    GetFormatSettings();
    cxGetFormatController()->RebuildFormats();
  }
};
