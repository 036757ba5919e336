// Coordinates held inside the range of int: sums and products of huge
// rectangles, fonts or transforms land at its edge instead of wrapping.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace rtl::detail {

inline int ClampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// A whole number, already rounded, held inside int; NaN is INT32_MIN.
inline int ClampWhole(double v) {
  if (!(v > double(INT32_MIN))) return INT32_MIN;
  return v < double(INT32_MAX) ? static_cast<int>(v) : INT32_MAX;
}

// The nearest int, halves rounded up, held inside int.
inline int RoundInt(double v) { return ClampWhole(std::floor(v + 0.5)); }

}  // namespace rtl::detail
