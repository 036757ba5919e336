// Computes the Hebrew calendar's year table: for each Gregorian year G from
// 1583 to 2239, the code of the Hebrew date of 1 January G and the type of
// the Hebrew year that day falls in (G + 3760). The new year comes from the
// molad of Tishri and the four postponements; the result is checked against
// the arithmetic form of the same rules and against known rows before it
// is written as a C++ source.
//
//   make_hebrew_years FILE           writes the table source into FILE
//   make_hebrew_years --check FILE   fails when FILE differs from it
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Int = int64_t;

constexpr int FirstYear = 1583;
constexpr int LastYear = 2239;
constexpr Int PartsPerHour = 1080;
constexpr Int PartsPerDay = 24 * PartsPerHour;
// A lunation: 29 days, 12 hours, 793 parts.
constexpr Int Lunation = 29 * PartsPerDay + 12 * PartsPerHour + 793;
// The molad of the first year: Monday (day 1), 5 hours, 204 parts.
constexpr Int FirstMolad = 1 * PartsPerDay + 5 * PartsPerHour + 204;
// The first new year (Monday 7 October 3761 BCE of the Julian calendar) as a
// fixed day number: 1 January 1 of the proleptic Gregorian calendar is day
// 1. Day index d of the molad count (0 the Sunday before the first molad)
// is fixed day HebrewEpoch - 1 + d.
constexpr Int HebrewEpoch = -1373427;

Int FloorDiv(Int a, Int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }
Int FloorMod(Int a, Int b) { return a - b * FloorDiv(a, b); }

bool GregorianLeap(Int y) { return FloorMod(y, 4) == 0 && (FloorMod(y, 100) != 0 || FloorMod(y, 400) == 0); }

Int FixedFromGregorian(Int y, Int m, Int d) {
  Int p = y - 1;
  Int r = 365 * p + FloorDiv(p, 4) - FloorDiv(p, 100) + FloorDiv(p, 400) + FloorDiv(367 * m - 362, 12) + d;
  if (m > 2) r -= GregorianLeap(y) ? 1 : 2;
  return r;
}

bool HebrewLeap(Int y) { return FloorMod(7 * y + 1, 19) < 7; }

Int MonthsBefore(Int y) { return FloorDiv(235 * y - 234, 19); }

// The new year (1 Tishri) by the molad and the postponements.
Int NewYearByMolad(Int y) {
  Int molad = FirstMolad + Lunation * MonthsBefore(y);
  Int day = FloorDiv(molad, PartsPerDay);
  Int time = FloorMod(molad, PartsPerDay);
  Int weekday = FloorMod(day, 7);                                                          // 0 Sunday
  bool late = time >= 18 * PartsPerHour;                                                   // molad zaken
  bool gatarad = !HebrewLeap(y) && weekday == 2 && time >= 9 * PartsPerHour + 204;         // Tuesday
  bool betutakpat = HebrewLeap(y - 1) && weekday == 1 && time >= 15 * PartsPerHour + 589;  // Monday
  if (late || gatarad || betutakpat) ++day;
  weekday = FloorMod(day, 7);
  if (weekday == 0 || weekday == 3 || weekday == 5) ++day;  // never Sunday, Wednesday or Friday
  return HebrewEpoch - 1 + day;
}

// The same day by the arithmetic form: elapsed days with the combined
// first postponement, then the correction of impossible year lengths.
Int ElapsedDays(Int y) {
  Int m = MonthsBefore(y);
  Int parts = 12084 + 13753 * m;
  Int day = 29 * m + FloorDiv(parts, 25920);
  if (FloorMod(3 * (day + 1), 7) < 3) ++day;
  return day;
}

Int NewYearByArithmetic(Int y) {
  Int before = ElapsedDays(y - 1), here = ElapsedDays(y), after = ElapsedDays(y + 1);
  Int delay = after - here == 356 ? 2 : here - before == 382 ? 1 : 0;
  return HebrewEpoch + here + delay;
}

// Month lengths of a year of the given length, months counted from Tishri.
std::vector<int> MonthLengths(Int length) {
  bool leap = length > 355;
  Int kind = length - (leap ? 383 : 353);  // 0 deficient, 1 regular, 2 complete
  std::vector<int> m = {30, kind == 2 ? 30 : 29, kind >= 1 ? 30 : 29, 29, 30};
  if (leap) m.push_back(30);
  for (int v : {29, 30, 29, 30, 29, 30, 29}) m.push_back(v);
  return m;
}

struct TRow {
  int JanuaryCode;
  int YearType;
};

bool Fail(const std::string& why) {
  std::cerr << "make_hebrew_years: " << why << "\n";
  return false;
}

bool ComputeTable(std::vector<TRow>& rows) {
  for (Int y = 5300; y <= 6050; ++y)
    if (NewYearByMolad(y) != NewYearByArithmetic(y))
      return Fail("the postponements disagree with the arithmetic rule in year " + std::to_string(y));
  // Known new years: 1 Tishri 5760 was 11 September 1999, 5770 was
  // 19 September 2009, 5784 was 16 September 2023.
  if (NewYearByMolad(5760) != FixedFromGregorian(1999, 9, 11) ||
      NewYearByMolad(5770) != FixedFromGregorian(2009, 9, 19) ||
      NewYearByMolad(5784) != FixedFromGregorian(2023, 9, 16))
    return Fail("a known new year is wrong");
  for (Int g = FirstYear; g <= LastYear; ++g) {
    Int h = g + 3760;
    Int start = NewYearByMolad(h), next = NewYearByMolad(h + 1);
    Int length = next - start;
    Int january = FixedFromGregorian(g, 1, 1);
    if (january < start || january >= next)
      return Fail("1 January " + std::to_string(g) + " is not in " + std::to_string(h));
    int type;
    switch (length) {
      case 353: type = 1; break;
      case 354: type = 2; break;
      case 355: type = 3; break;
      case 383: type = 4; break;
      case 384: type = 5; break;
      case 385: type = 6; break;
      default: return Fail("year " + std::to_string(h) + " has " + std::to_string(length) + " days");
    }
    std::vector<int> lengths = MonthLengths(length);
    Int offset = january - start;
    int month = 1;
    while (offset >= lengths[static_cast<size_t>(month - 1)])
      offset -= lengths[static_cast<size_t>(month - 1)], ++month;
    int day = static_cast<int>(offset) + 1;
    int code;
    if (month == 4)
      code = day;  // Tevet
    else if (month == 3 && day == 30)
      code = 30;
    else if (month == 3 && day == 29)
      code = 33;
    else if (month == 5 && day <= 3)
      code = day == 1 ? 0 : 30 + day - 1;
    else
      return Fail("1 January " + std::to_string(g) + " falls on a day the codes cannot name");
    rows.push_back({code, type});
  }
  const TRow first[5] = {{7, 3}, {17, 3}, {0, 4}, {11, 2}, {21, 6}};
  for (int i = 0; i < 5; ++i)
    if (rows[static_cast<size_t>(i)].JanuaryCode != first[i].JanuaryCode ||
        rows[static_cast<size_t>(i)].YearType != first[i].YearType)
      return Fail("row " + std::to_string(i) + " differs from the known first rows");
  if (NewYearByMolad(5345) - NewYearByMolad(5344) != 355) return Fail("5344 does not have 355 days");
  return true;
}

std::string Source(const std::vector<TRow>& rows) {
  std::ostringstream s;
  s << "// Written by tools/hebrew_years (make_hebrew_years); do not edit.\n"
       "// For each Gregorian year from 1583 to 2239: the code of the Hebrew date\n"
       "// of 1 January (1-29 that day of Tevet, 0 1 Shevat, 30 30 Kislev, 31 and\n"
       "// 32 2 and 3 Shevat, 33 29 Kislev) and the type of the Hebrew year the\n"
       "// day falls in (1 deficient, 2 regular, 3 complete; 4-6 the same for\n"
       "// leap years).\n"
       "#include \"ui/foundation/calendar_hebrew_years.h\"\n\n"
       "namespace cx_calendar_detail {\n\n"
       "const int32_t HebrewYearTable[HebrewYearCount][2] = {\n";
  for (size_t i = 0; i < rows.size(); i += 6) {
    s << "   ";
    for (size_t k = i; k < rows.size() && k < i + 6; ++k)
      s << " {" << rows[k].JanuaryCode << ", " << rows[k].YearType << "},";
    s << "\n";
  }
  s << "};\n\n}  // namespace cx_calendar_detail\n";
  return s.str();
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
  if (!(argc == 2 || check)) {
    std::cerr << "usage: make_hebrew_years FILE | make_hebrew_years --check FILE\n";
    return 2;
  }
  std::vector<TRow> rows;
  if (!ComputeTable(rows)) return 1;
  const std::string path = argv[argc - 1], text = Source(rows);
  if (check) {
    std::ifstream in(path, std::ios::binary);
    std::string have((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (have != text) {
      std::cerr << "make_hebrew_years: " << path << " is not what the generator computes\n";
      return 1;
    }
    return 0;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) {
    std::cerr << "make_hebrew_years: cannot write " << path << "\n";
    return 1;
  }
  return 0;
}
