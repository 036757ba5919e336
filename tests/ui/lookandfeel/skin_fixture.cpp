#include "skin_fixture.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/lookandfeel/skins_core.h"

namespace skin_test {

TBytes& TBytes::I32(int32_t AValue) {
  const auto v = static_cast<uint32_t>(AValue);
  for (int k = 0; k < 4; ++k) FBytes += static_cast<char>(v >> (8 * k));
  return *this;
}

TBytes& TBytes::U8(uint8_t AValue) {
  FBytes += static_cast<char>(AValue);
  return *this;
}

TBytes& TBytes::U16(uint16_t AValue) { return U8(static_cast<uint8_t>(AValue)).U8(static_cast<uint8_t>(AValue >> 8)); }

TBytes& TBytes::Str(const std::string& AValue) {
  I32(static_cast<int32_t>(AValue.size()));
  return Raw(AValue);
}

TBytes& TBytes::Wide(const std::u16string& AValue) {
  I32(static_cast<int32_t>(AValue.size()));
  for (char16_t c : AValue) U16(c);
  return *this;
}

std::string TestPng(int W, int H, int ASeed) {
  std::vector<png_writer::Rgba> px(static_cast<size_t>(W) * H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      px[static_cast<size_t>(y) * W + x] = {static_cast<uint8_t>(x * 40 + ASeed), static_cast<uint8_t>(y * 60),
                                            static_cast<uint8_t>(ASeed * 7), 255};
  return png_writer::Png(W, H, px);
}

namespace {

// The skin unit's start-up, as the program runs it, for the whole run.
class TSkinsCoreRunning : public ::testing::Environment {
 public:
  void SetUp() override { dx_skins_core_detail::StartSkinsCore(); }
  void TearDown() override { dx_skins_core_detail::StopSkinsCore(); }
};

[[maybe_unused]] ::testing::Environment* const kSkinsCore = ::testing::AddGlobalTestEnvironment(new TSkinsCoreRunning);

}  // namespace
}  // namespace skin_test
