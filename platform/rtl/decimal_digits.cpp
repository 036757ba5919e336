#include "platform/rtl/decimal_digits.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace rtl::detail {

TDecimalDigits ExpandDecimal(double v) {
  TDecimalDigits d;
  d.Negative = std::signbit(v) && v != 0;
  v = std::fabs(v);
  if (v == 0) return d;
  char buf[48];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 17);
  std::string_view t(buf, static_cast<size_t>(r.ptr - buf));
  size_t e = t.find('e');
  d.Digits += t[0];
  d.Digits.append(t.substr(2, e - 2));
  std::from_chars(t.data() + e + (t[e + 1] == '+' ? 2 : 1), t.data() + t.size(), d.Exponent);
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  return d;
}

void RoundDecimal(TDecimalDigits& d, int keep) {
  if (keep >= static_cast<int>(d.Digits.size())) return;
  if (keep < 0) {
    d.Digits.clear();
    return;
  }
  bool up = d.Digits[keep] >= '5';
  d.Digits.resize(static_cast<size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.Digits[i] == '9') d.Digits[i--] = '0';
    if (i >= 0) {
      ++d.Digits[i];
    } else {
      d.Digits.insert(d.Digits.begin(), '1');
      ++d.Exponent;
    }
  }
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
}

}  // namespace rtl::detail
