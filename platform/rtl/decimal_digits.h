// The decimal digits of a floating-point value, rounded the way the host
// framework's number formatting rounds: an 18-digit expansion, halves away
// from zero. Shared by Format/FloatToStrF and FormatFloat.
#pragma once

#include <string>

namespace rtl::detail {

struct TDecimalDigits {
  // Significant digits without trailing zeros; empty for zero.
  std::string Digits;
  // Power of ten of the first digit.
  int Exponent = 0;
  bool Negative = false;
};

TDecimalDigits ExpandDecimal(double v);

// Keeps `keep` leading digits (0 or less rounds to zero or to one unit at
// that position).
void RoundDecimal(TDecimalDigits& d, int keep);

}  // namespace rtl::detail
