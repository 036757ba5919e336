// Row loops of the blends and the halving stretch, vectorised where the
// processor allows (SSE2 on x86-64) with a portable loop otherwise. Both
// give exactly the same pixels: x / 255 rounded to nearest.
#pragma once

#include <cstdint>

namespace rtl::detail {

// Rounded x / 255 for x in [0, 255 * 255].
constexpr uint32_t Div255(uint32_t x) { return (x + 127) / 255; }

// Premultiplied source over destination, the source first scaled by a
// constant alpha `sca` (255 = as is); every byte, the fourth included.
void BlendRowPerPixel(uint32_t* d, const uint32_t* s, int n, uint32_t sca);
// Every byte: (s * sca + d * (255 - sca)) / 255.
void BlendRowConstant(uint32_t* d, const uint32_t* s, int n, uint32_t sca);
// n destination pixels, each the rounded mean of a 2x2 block of the two
// source rows: the sum of the four per channel, divided once.
void HalveRow(uint32_t* d, const uint32_t* s0, const uint32_t* s1, int n);

}  // namespace rtl::detail
