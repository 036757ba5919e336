// The Hebrew year table that tools/hebrew_years computes: one row per
// Gregorian year from 1583 to 2239 (row G - 1583), the code of the Hebrew
// date of 1 January and the type of the Hebrew year G + 3760.
#pragma once

#include <cstdint>

namespace cx_calendar_detail {

constexpr int HebrewFirstGregorianYear = 1583;
constexpr int HebrewYearCount = 657;
extern const int32_t HebrewYearTable[HebrewYearCount][2];

}  // namespace cx_calendar_detail
