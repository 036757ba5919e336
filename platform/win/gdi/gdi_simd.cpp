#include "platform/win/gdi/gdi_simd.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define GDI_HAVE_AVX2_PATH 1
#endif

namespace rtl::detail {

namespace {

inline uint32_t BlendPixelPerPixel(uint32_t d, uint32_t s, uint32_t sca) {
  if (sca != 255) {
    uint32_t scaled = 0;
    for (int c = 0; c < 4; ++c) scaled |= Div255(((s >> (8 * c)) & 0xFF) * sca) << (8 * c);
    s = scaled;
  }
  uint32_t inv = 255 - (s >> 24), out = 0;
  for (int c = 0; c < 4; ++c) {
    uint32_t v = ((s >> (8 * c)) & 0xFF) + Div255(((d >> (8 * c)) & 0xFF) * inv);
    out |= std::min<uint32_t>(v, 255) << (8 * c);
  }
  return out;
}

inline uint32_t BlendPixelConstant(uint32_t d, uint32_t s, uint32_t sca) {
  uint32_t out = 0;
  for (int c = 0; c < 4; ++c)
    out |= Div255(((s >> (8 * c)) & 0xFF) * sca + ((d >> (8 * c)) & 0xFF) * (255 - sca)) << (8 * c);
  return out;
}

#if defined(__SSE2__)
// x / 255 rounded, on 16-bit lanes holding at most 255 * 255.
inline __m128i Div255x8(__m128i x) {
  x = _mm_add_epi16(x, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// Each pixel's alpha in all four 16-bit lanes of its half: (lo, hi) for
// pixels 0-1 and 2-3.
inline void SpreadAlpha(__m128i px, __m128i& lo, __m128i& hi) {
  __m128i a = _mm_srli_epi32(px, 24);
  a = _mm_or_si128(a, _mm_slli_epi32(a, 16));
  lo = _mm_unpacklo_epi32(a, a);
  hi = _mm_unpackhi_epi32(a, a);
}
#endif

#if defined(GDI_HAVE_AVX2_PATH)
// The same loops eight pixels at a time, for processors that have AVX2
// (chosen at run time; the build targets the baseline instruction set).
__attribute__((target("avx2"))) inline __m256i Div255x16(__m256i x) {
  x = _mm256_add_epi16(x, _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
}

__attribute__((target("avx2"))) int BlendPerPixelAvx2(uint32_t* d, const uint32_t* s, int n, uint32_t sca) {
  const __m256i zero = _mm256_setzero_si256(), c255 = _mm256_set1_epi16(255), k = _mm256_set1_epi16(short(sca));
  // Within each 128-bit half, the alpha of pixel j into the four 16-bit
  // lanes that unpacking gives that pixel.
  const __m256i spreadLo = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1, 3, -1, 3, -1, 3, -1,
                                            3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
  const __m256i spreadHi = _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1, 11, -1, 11,
                                            -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i sp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    __m256i dp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    if (sca != 255) {
      __m256i lo = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(sp, zero), k));
      __m256i hi = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(sp, zero), k));
      sp = _mm256_packus_epi16(lo, hi);
    }
    __m256i alo = _mm256_shuffle_epi8(sp, spreadLo), ahi = _mm256_shuffle_epi8(sp, spreadHi);
    __m256i lo = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(dp, zero), _mm256_sub_epi16(c255, alo)));
    __m256i hi = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(dp, zero), _mm256_sub_epi16(c255, ahi)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_adds_epu8(sp, _mm256_packus_epi16(lo, hi)));
  }
  return i;
}

__attribute__((target("avx2"))) int BlendConstantAvx2(uint32_t* d, const uint32_t* s, int n, uint32_t sca) {
  const __m256i zero = _mm256_setzero_si256(), ks = _mm256_set1_epi16(short(sca)),
                kd = _mm256_set1_epi16(short(255 - sca));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i sp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    __m256i dp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(sp, zero), ks),
                                  _mm256_mullo_epi16(_mm256_unpacklo_epi8(dp, zero), kd));
    __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(sp, zero), ks),
                                  _mm256_mullo_epi16(_mm256_unpackhi_epi8(dp, zero), kd));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_packus_epi16(Div255x16(lo), Div255x16(hi)));
  }
  return i;
}

const bool kAvx2 = __builtin_cpu_supports("avx2");
#endif

}  // namespace

void BlendRowPerPixel(uint32_t* d, const uint32_t* s, int n, uint32_t sca) {
  int i = 0;
#if defined(GDI_HAVE_AVX2_PATH)
  if (kAvx2 && n >= 8) i = BlendPerPixelAvx2(d, s, n, sca);
#endif
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), c255 = _mm_set1_epi16(255), k = _mm_set1_epi16(short(sca));
  for (; i + 4 <= n; i += 4) {
    __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i dp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    if (sca != 255) {
      __m128i lo = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(sp, zero), k));
      __m128i hi = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(sp, zero), k));
      sp = _mm_packus_epi16(lo, hi);
    }
    __m128i alo, ahi;
    SpreadAlpha(sp, alo, ahi);
    __m128i lo = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(dp, zero), _mm_sub_epi16(c255, alo)));
    __m128i hi = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(dp, zero), _mm_sub_epi16(c255, ahi)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_adds_epu8(sp, _mm_packus_epi16(lo, hi)));
  }
#endif
  for (; i < n; ++i) d[i] = BlendPixelPerPixel(d[i], s[i], sca);
}

void BlendRowConstant(uint32_t* d, const uint32_t* s, int n, uint32_t sca) {
  int i = 0;
#if defined(GDI_HAVE_AVX2_PATH)
  if (kAvx2 && n >= 8) i = BlendConstantAvx2(d, s, n, sca);
#endif
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), ks = _mm_set1_epi16(short(sca)), kd = _mm_set1_epi16(short(255 - sca));
  for (; i + 4 <= n; i += 4) {
    __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i dp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sp, zero), ks),
                               _mm_mullo_epi16(_mm_unpacklo_epi8(dp, zero), kd));
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sp, zero), ks),
                               _mm_mullo_epi16(_mm_unpackhi_epi8(dp, zero), kd));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(Div255x8(lo), Div255x8(hi)));
  }
#endif
  for (; i < n; ++i) d[i] = BlendPixelConstant(d[i], s[i], sca);
}

void HalveRow(uint32_t* d, const uint32_t* s0, const uint32_t* s1, int n) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), two = _mm_set1_epi16(2);
  for (; i + 4 <= n; i += 4) {
    // Each channel of the four pixels summed in 16 bits, then rounded once.
    __m128i lo = two, hi = two;
    for (const uint32_t* s : {s0 + 2 * i, s1 + 2 * i}) {
      __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
      __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4));
      __m128i even = _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
      __m128i odd = _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(3, 1, 3, 1)));
      lo = _mm_add_epi16(lo, _mm_add_epi16(_mm_unpacklo_epi8(even, zero), _mm_unpacklo_epi8(odd, zero)));
      hi = _mm_add_epi16(hi, _mm_add_epi16(_mm_unpackhi_epi8(even, zero), _mm_unpackhi_epi8(odd, zero)));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                     _mm_packus_epi16(_mm_srli_epi16(lo, 2), _mm_srli_epi16(hi, 2)));
  }
#endif
  for (; i < n; ++i) {
    uint32_t out = 0;
    for (int ch = 0; ch < 32; ch += 8) {
      uint32_t sum = ((s0[2 * i] >> ch) & 0xFF) + ((s0[2 * i + 1] >> ch) & 0xFF) + ((s1[2 * i] >> ch) & 0xFF) +
                     ((s1[2 * i + 1] >> ch) & 0xFF);
      out |= ((sum + 2) >> 2) << ch;
    }
    d[i] = out;
  }
}

}  // namespace rtl::detail
