// Writes 32-bit pixels (top row first, alpha ignored) as an opaque PNG
// into the tests' picture folder, for a person to look at.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/backend/codecs.h"
#include "tests/common/pictures.h"

inline void WriteOpaquePng(const std::string& name, const uint32_t* bits, int w, int h) {
  std::vector<uint32_t> px(bits, bits + size_t(w) * size_t(h));
  for (uint32_t& p : px) p |= 0xFF000000u;
  rtl::backend::TEncodeOptions options;
  options.Alpha = false;
  std::string png;
  ASSERT_TRUE(rtl::backend::EncodeImage(rtl::backend::iffPng, px.data(), w, h, w * 4, options, png));
  std::ofstream(PictureDir() + name, std::ios::binary) << png;
}
