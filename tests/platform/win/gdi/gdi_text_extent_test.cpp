// Packed tabbed extents wider than 16 bits, and path ellipses of long
// paths.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/common/dib_canvas.h"

namespace {

class TextExtentTest : public ::testing::Test {
 protected:
  TDibCanvas c{100, 40, 0x00FFFFFFu};
  HFONT font = nullptr;
  HGDIOBJ old = nullptr;
  void SetUp() override {
    LOGFONTA lf{};
    lf.lfHeight = -40;
    std::strcpy(lf.lfFaceName, "Courier New");
    font = CreateFontIndirectA(&lf);
    old = SelectObject(c.dc, font);
  }
  void TearDown() override {
    SelectObject(c.dc, old);
    DeleteObject(font);
  }
  int Width(const std::u16string& s) {
    SIZE size{};
    GetTextExtentPoint32W(c.dc, s.data(), static_cast<int>(s.size()), &size);
    return size.cx;
  }
};

TEST_F(TextExtentTest, TabbedExtentsKeepTheLowSixteenBitsOfTheWidth) {
  for (size_t n : {size_t(100), size_t(3000), size_t(4000)}) {
    std::u16string text(n, u'W');
    text[3] = u'\t';
    RECT r{0, 0, 0, 0};
    DrawTextW(c.dc, text.data(), static_cast<int>(n), &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
    const DWORD packed = GetTabbedTextExtentW(c.dc, text.data(), static_cast<int>(n), 0, nullptr);
    EXPECT_EQ(LOWORD(packed), r.Right & 0xFFFF) << n;
    EXPECT_EQ(HIWORD(packed), r.Bottom) << n;
    const LONG drawn = TabbedTextOutW(c.dc, 0, 0, text.data(), static_cast<int>(n), 0, nullptr, 0);
    EXPECT_EQ(static_cast<DWORD>(drawn), packed) << n;
  }
}

TEST_F(TextExtentTest, PathEllipsisKeepsTheLongestHeadThatFits) {
  std::u16string path;
  while (path.size() < 10000) path += u"/folder";
  path += u"/end.txt";
  const int limit = 40 * Width(u"W");
  std::u16string buffer = path + u"\0\0\0\0\0";
  RECT r{0, 0, limit, 40};
  DrawTextExW(c.dc, buffer.data(), static_cast<int>(path.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  const std::u16string out(buffer.c_str());
  ASSERT_GT(out.size(), 11u);
  EXPECT_EQ(out.substr(out.size() - 11), u".../end.txt");
  EXPECT_LE(Width(out), limit);
  // One more character of the head would not fit.
  const size_t head = out.size() - 11;
  EXPECT_GT(Width(path.substr(0, head + 1) + u".../end.txt"), limit);
}

}  // namespace
