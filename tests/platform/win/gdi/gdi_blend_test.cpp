// The blends and the halving stretch give the defined value for every
// pixel, whichever row loop (wide or one pixel at a time) handles it: rows
// of every length up to a few vector widths, clipped and unclipped, with
// random pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/common/dib_canvas.h"

namespace {

uint32_t Div255(uint32_t x) { return (x + 127) / 255; }

uint32_t ChannelOf(uint32_t v, int c) { return (v >> (8 * c)) & 0xFF; }

// The documented premultiplied source-over, every byte.
uint32_t PerPixel(uint32_t d, uint32_t s, uint32_t sca) {
  uint32_t scaled = 0;
  for (int c = 0; c < 4; ++c) scaled |= Div255(ChannelOf(s, c) * sca) << (8 * c);
  uint32_t inv = 255 - (scaled >> 24), out = 0;
  for (int c = 0; c < 4; ++c) out |= std::min<uint32_t>(ChannelOf(scaled, c) + Div255(ChannelOf(d, c) * inv), 255) << (8 * c);
  return out;
}

uint32_t Constant(uint32_t d, uint32_t s, uint32_t sca) {
  uint32_t out = 0;
  for (int c = 0; c < 4; ++c) out |= Div255(ChannelOf(s, c) * sca + ChannelOf(d, c) * (255 - sca)) << (8 * c);
  return out;
}

// A random premultiplied pixel (each colour byte at most the alpha), with
// the extremes 0 and 255 of alpha common.
uint32_t RandomPremultiplied(std::mt19937& rng) {
  uint32_t a;
  switch (rng() % 4) {
    case 0: a = 0; break;
    case 1: a = 255; break;
    default: a = rng() % 256;
  }
  uint32_t v = a << 24;
  for (int c = 0; c < 3; ++c) v |= (a ? rng() % (a + 1) : 0) << (8 * c);
  return v;
}

TEST(BlendTest, EveryPixelOfEveryRowLengthHasTheDefinedValue) {
  std::mt19937 rng(7);
  const int kW = 40, kH = 3;
  for (bool perPixel : {true, false})
    for (uint32_t sca : {255u, 128u, 1u, 0u})
      for (int w = 1; w <= 37; w += (w < 20 ? 1 : 5)) {
        SCOPED_TRACE(std::string(perPixel ? "per pixel" : "constant") + " sca " + std::to_string(sca) + " width " +
                     std::to_string(w));
        TDibCanvas src(kW, kH), dst(kW, kH);
        for (int i = 0; i < kW * kH; ++i) {
          src.bits[i] = RandomPremultiplied(rng);
          dst.bits[i] = rng();
        }
        std::vector<uint32_t> before(dst.bits, dst.bits + kW * kH);
        BLENDFUNCTION bf{AC_SRC_OVER, 0, BYTE(sca), BYTE(perPixel ? AC_SRC_ALPHA : 0)};
        ASSERT_TRUE(AlphaBlend(dst.dc, 1, 1, w, 2, src.dc, 2, 0, w, 2, bf));
        for (int y = 0; y < kH; ++y)
          for (int x = 0; x < kW; ++x) {
            uint32_t want = before[y * kW + x];
            if (y >= 1 && x >= 1 && x < 1 + w) {
              uint32_t s = src.At(x + 1, y - 1);
              want = perPixel ? PerPixel(want, s, sca) : Constant(want, s, sca);
            }
            ASSERT_EQ(dst.At(x, y), want) << "pixel " << x << "," << y;
          }
      }
}

TEST(BlendTest, ClippedBlendTouchesOnlyTheClip) {
  TDibCanvas src(32, 4, 0x80404040u), dst(32, 4, 0x00FFFFFFu);
  HRGN clip = CreateRectRgn(3, 0, 13, 4);
  SelectClipRgn(dst.dc, clip);
  DeleteObject(clip);
  ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 32, 4, src.dc, 0, 0, 32, 4, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}));
  for (int x = 0; x < 32; ++x)
    EXPECT_EQ(dst.At(x, 2), x >= 3 && x < 13 ? PerPixel(0x00FFFFFFu, 0x80404040u, 255) : 0x00FFFFFFu) << x;
}

// Halving takes the rounded mean of each 2x2 block, per channel, rounded
// once (a mean of means would drift by one).
TEST(BlendTest, HalftoneHalvingGivesTheRoundedMeans) {
  std::mt19937 rng(11);
  auto avg = [](uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    uint32_t out = 0;
    for (int k = 0; k < 4; ++k) out |= ((ChannelOf(a, k) + ChannelOf(b, k) + ChannelOf(c, k) + ChannelOf(d, k) + 2) / 4) << (8 * k);
    return out;
  };
  for (int w = 1; w <= 19; ++w) {
    SCOPED_TRACE("width " + std::to_string(w));
    TDibCanvas src(2 * w + 2, 6), dst(w + 2, 3, 0x12345678u);
    for (int i = 0; i < (2 * w + 2) * 6; ++i) src.bits[i] = rng();
    SetStretchBltMode(dst.dc, HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.dc, 1, 1, w, 2, src.dc, 1, 1, 2 * w, 4, SRCCOPY));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w + 2; ++x) {
        uint32_t want = 0x12345678u;
        if (y >= 1 && x >= 1 && x <= w) {
          int sx = 1 + 2 * (x - 1), sy = 1 + 2 * (y - 1);
          want = avg(src.At(sx, sy), src.At(sx + 1, sy), src.At(sx, sy + 1), src.At(sx + 1, sy + 1));
        }
        ASSERT_EQ(dst.At(x, y), want) << "pixel " << x << "," << y;
      }
  }
}

}  // namespace
