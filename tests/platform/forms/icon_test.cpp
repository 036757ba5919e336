#include "platform/forms/icon.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/platform/forms/forms_test_support.h"

namespace {

struct TIconImage {
  int Size;
  uint32_t Pixel;  // B, G, R, A; the top-left quarter is fully transparent
};

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// An .ico file of square 32-bit images.
std::vector<uint8_t> IcoFile(std::initializer_list<TIconImage> images) {
  std::vector<std::vector<uint8_t>> bodies;
  for (const TIconImage& im : images) {
    std::vector<uint8_t> b;
    int n = im.Size;
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(n));
    Put32(b, static_cast<uint32_t>(n * 2));
    Put16(b, 1);
    Put16(b, 32);
    for (int i = 0; i < 6; ++i) Put32(b, 0);
    for (int y = n - 1; y >= 0; --y)  // bottom-up
      for (int x = 0; x < n; ++x) Put32(b, x < n / 2 && y < n / 2 ? 0u : im.Pixel);
    int maskStride = ((n + 31) / 32) * 4;
    b.insert(b.end(), size_t(maskStride) * n, 0);
    bodies.push_back(b);
  }
  std::vector<uint8_t> f;
  Put16(f, 0);
  Put16(f, 1);
  Put16(f, static_cast<uint32_t>(bodies.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(bodies.size());
  size_t i = 0;
  for (const TIconImage& im : images) {
    f.push_back(static_cast<uint8_t>(im.Size));
    f.push_back(static_cast<uint8_t>(im.Size));
    f.push_back(0);
    f.push_back(0);
    Put16(f, 1);
    Put16(f, 32);
    Put32(f, static_cast<uint32_t>(bodies[i].size()));
    Put32(f, offset);
    offset += static_cast<uint32_t>(bodies[i].size());
    ++i;
  }
  for (auto& b : bodies) f.insert(f.end(), b.begin(), b.end());
  return f;
}

void LoadIconFile(TIcon& icon, const std::vector<uint8_t>& file) {
  TMemoryStream s;
  if (!file.empty()) s.WriteBuffer(file.data(), static_cast<Integer>(file.size()));
  s.SetPosition(0);
  icon.LoadFromStream(&s);
}

std::vector<uint8_t> Save(TIcon& icon) {
  TMemoryStream s;
  icon.SaveToStream(&s);
  auto* p = static_cast<const uint8_t*>(s.Memory());
  return std::vector<uint8_t>(p, p + s.Size());
}

const uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kGreen = 0xFF00FF00u;

TEST(IconTest, PicksTheImageOfTheRequestedSize) {
  std::vector<uint8_t> file = IcoFile({{16, kRed}, {32, kBlue}, {48, kGreen}});
  TIcon standard;
  LoadIconFile(standard, file);
  EXPECT_EQ(standard.Width(), 32);
  EXPECT_EQ(standard.Height(), 32);

  TIcon small;
  small.SetSize(16, 16);
  LoadIconFile(small, file);
  EXPECT_EQ(small.Width(), 16);

  TIcon between;
  between.SetSize(20, 20);
  LoadIconFile(between, file);
  EXPECT_EQ(between.Width(), 32) << "the smallest larger image";

  TIcon huge;
  huge.SetSize(64, 64);
  LoadIconFile(huge, file);
  EXPECT_EQ(huge.Width(), 48) << "the largest when none is large enough";
  EXPECT_THROW(huge.SetWidth(16), EInvalidGraphicOperation);
}

TEST(IconTest, DrawsWithItsTransparency) {
  TIcon icon;
  LoadIconFile(icon, IcoFile({{16, kRed}}));
  TTestDib dib(40, 40, PixelOf(clLime));
  TCanvas canvas;
  canvas.SetHandle(dib.dc);
  canvas.Draw(4, 4, &icon);
  EXPECT_EQ(dib.Color(4, 4), static_cast<COLORREF>(clLime)) << "the transparent quarter";
  EXPECT_EQ(dib.Color(19, 19), static_cast<COLORREF>(clRed));
  EXPECT_EQ(dib.Color(20, 20), static_cast<COLORREF>(clLime));
  canvas.StretchDraw(Rect(0, 24, 32, 56), &icon);
  EXPECT_EQ(dib.Color(30, 38), static_cast<COLORREF>(clRed));
  canvas.SetHandle(nullptr);
  EXPECT_TRUE(icon.Transparent());
}

TEST(IconTest, SavesTheLoadedFileAsItWas) {
  std::vector<uint8_t> file = IcoFile({{16, kRed}, {32, kBlue}});
  TIcon icon;
  LoadIconFile(icon, file);
  EXPECT_EQ(Save(icon), file);
  TIcon copy;
  copy.Assign(&icon);
  EXPECT_EQ(Save(copy), file);
  EXPECT_NE(copy.Handle(), icon.Handle());
}

TEST(IconTest, AnIconFromAHandleIsSavedAsOneImage) {
  TIcon source;
  source.SetSize(16, 16);
  LoadIconFile(source, IcoFile({{16, 0x80FF0000u}}));
  TIcon fromHandle;
  fromHandle.SetHandle(source.ReleaseHandle());
  EXPECT_TRUE(source.Empty());
  EXPECT_EQ(fromHandle.Width(), 16);
  std::vector<uint8_t> file = Save(fromHandle);
  ASSERT_GT(file.size(), 22u);
  EXPECT_EQ(file[6], 16);
  EXPECT_EQ(file[12], 32);
  TIcon back;
  back.SetSize(16, 16);
  LoadIconFile(back, file);
  TTestDib a(16, 16, PixelOf(clWhite)), b(16, 16, PixelOf(clWhite));
  DrawIconEx(a.dc, 0, 0, fromHandle.Handle(), 0, 0, 0, nullptr, DI_NORMAL);
  DrawIconEx(b.dc, 0, 0, back.Handle(), 0, 0, 0, nullptr, DI_NORMAL);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(a.Color(x, y), b.Color(x, y)) << x << "," << y;
  EXPECT_NE(a.Color(12, 12), 0xFFFFFFu) << "the half-transparent red shows";
}

TEST(IconTest, LoadsFromAFile) {
  std::string path = ::testing::TempDir() + "forms_icon_test.ico";
  std::vector<uint8_t> file = IcoFile({{32, kBlue}});
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(file.data(), 1, file.size(), f);
  std::fclose(f);
  TIcon icon;
  icon.LoadFromFile(path);
  EXPECT_FALSE(icon.Empty());
  EXPECT_EQ(icon.Width(), 32);
  std::remove(path.c_str());
}

TEST(IconTest, MalformedFilesRaiseAndLeaveTheIconAsItWas) {
  std::vector<uint8_t> good = IcoFile({{16, kRed}});
  struct TCase {
    const char* What;
    std::vector<uint8_t> File;
  };
  std::vector<TCase> cases = {
      {"empty", {}},
      {"a cursor", [&] { auto f = good; f[2] = 2; return f; }()},
      {"no images", [&] { auto f = good; f[4] = 0; return f; }()},
      {"directory cut", [&] { auto f = good; f.resize(12); return f; }()},
      {"image beyond the end", [&] { auto f = good; f[18] = 0xFF; f[19] = 0xFF; return f; }()},
      {"garbage image", [&] { auto f = good; f[22] = 7; return f; }()},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TIcon icon;
    LoadIconFile(icon, IcoFile({{32, kBlue}}));
    HICON before = icon.Handle();
    try {
      LoadIconFile(icon, c.File);
      ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "Icon image is not valid");
    }
    EXPECT_EQ(icon.Handle(), before);
    EXPECT_EQ(icon.Width(), 32);
  }
}

}  // namespace
