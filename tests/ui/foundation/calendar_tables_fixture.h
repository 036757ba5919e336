// The calendar tables' registry started for one test, and the locale put
// back afterwards.
#pragma once

#include <gtest/gtest.h>

#include "platform/rtl/dateutils.h"
#include "platform/win/kernel/kernel_calendar.h"
#include "ui/foundation/calendar_tables.h"

class CalendarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rtl::testing::ResetLocale();
    cx_calendar_detail::StartCalendarTables();
  }
  void TearDown() override {
    cx_calendar_detail::StopCalendarTables();
    rtl::testing::ResetLocale();
  }
  static const TcxCustomCalendarTable& Table(CALID AId) { return *cxCalendarTableFor(AId); }
};

// A calendar date-time as text, for failure messages.
inline std::string Show(const TcxCalendarDateTime& D) {
  return "(" + std::to_string(D.Era) + ", " + std::to_string(D.Year) + ", " + std::to_string(D.Month) + ", " +
         std::to_string(D.Day) + " " + std::to_string(D.Hours) + ":" + std::to_string(D.Minutes) + ":" +
         std::to_string(D.Seconds) + "." + std::to_string(D.Milliseconds) + ")";
}

inline bool SameDate(const TcxCalendarDateTime& A, const TcxCalendarDateTime& B) {
  return A.Era == B.Era && A.Year == B.Year && A.Month == B.Month && A.Day == B.Day && A.Hours == B.Hours &&
         A.Minutes == B.Minutes && A.Seconds == B.Seconds && A.Milliseconds == B.Milliseconds;
}
