// Coordinates held inside the range of int: sums and products of huge
// rectangles, fonts or transforms land at its edge instead of wrapping.
#pragma once

#include <algorithm>
#include <cstdint>

namespace rtl::detail {

inline int ClampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace rtl::detail
