#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/common/dib_canvas.h"

namespace {

class DrawTextTest : public ::testing::Test {
 protected:
  TDibCanvas c{300, 200, 0x00FFFFFFu};
  HFONT font = nullptr;
  HGDIOBJ old = nullptr;
  TEXTMETRICA tm{};
  void SetUp() override {
    LOGFONTA lf{};
    lf.lfHeight = -13;
    std::strcpy(lf.lfFaceName, "Tahoma");
    font = CreateFontIndirectA(&lf);
    old = SelectObject(c.dc, font);
    SetBkMode(c.dc, TRANSPARENT);
    SetTextColor(c.dc, RGB(0, 0, 0));
    GetTextMetricsA(c.dc, &tm);
  }
  void TearDown() override {
    SelectObject(c.dc, old);
    DeleteObject(font);
  }
  int Width(const char* s) {
    SIZE sz{};
    GetTextExtentPoint32A(c.dc, s, static_cast<int>(std::strlen(s)), &sz);
    return sz.cx;
  }
  RECT Calc(const char* s, RECT r, UINT fmt) {
    DrawTextA(c.dc, s, -1, &r, fmt | DT_CALCRECT);
    return r;
  }
  RECT Drawn(const char* s, RECT r, UINT fmt) {
    c.Fill(0x00FFFFFFu);
    DrawTextA(c.dc, s, -1, &r, fmt);
    return c.InkBox(0xFFFFFF);
  }
};

TEST_F(DrawTextTest, CalcRectMatchesTheDrawnText) {
  struct TCase {
    const char* text;
    UINT fmt;
    int width;
  } cases[] = {
      {"Single line of text", DT_SINGLELINE, 300},
      {"Line one\nLine number two\nthree", 0, 300},
      {"Wrapped words in a narrow box that needs several lines", DT_WORDBREAK, 90},
      {"Centred lines\nof text", DT_CENTER, 200},
      {"Right\naligned text", DT_RIGHT, 200},
  };
  for (const TCase& k : cases) {
    RECT box{10, 10, 10 + k.width, 190};
    RECT calc = Calc(k.text, box, k.fmt);
    int lines = (calc.Bottom - calc.Top) / tm.tmHeight;
    EXPECT_EQ((calc.Bottom - calc.Top) % tm.tmHeight, 0) << k.text;
    RECT drawRect = calc;
    if (k.fmt & (DT_CENTER | DT_RIGHT)) drawRect = RECT{calc.Left, calc.Top, calc.Right, calc.Bottom};
    RECT ink = Drawn(k.text, drawRect, k.fmt);
    EXPECT_GE(ink.Left, calc.Left - 1) << k.text;
    EXPECT_LE(ink.Right, calc.Right + 1) << k.text;
    EXPECT_GE(ink.Top, calc.Top) << k.text;
    EXPECT_LE(ink.Bottom, calc.Bottom) << k.text;
    EXPECT_GT(ink.Bottom, calc.Bottom - tm.tmHeight) << "the last line has ink: " << k.text;
    EXPECT_GE(calc.Right - calc.Left, ink.Right - ink.Left - 1);
    if (k.fmt & DT_WORDBREAK) {
      EXPECT_GE(lines, 3) << k.text;
      EXPECT_LE(calc.Right - calc.Left, k.width) << "wrapped lines fit";
    }
  }
  RECT r{0, 0, 300, 100};
  EXPECT_EQ(DrawTextA(c.dc, "a\nb\nc", -1, &r, DT_CALCRECT), 3 * tm.tmHeight) << "returns the height";
  EXPECT_EQ(r.Right, Width("a") > Width("b") ? Width("a") : std::max(Width("b"), Width("c")));
}

TEST_F(DrawTextTest, WordBreakKeepsWordsWhole) {
  RECT r{0, 0, Width("alpha beta") + 2, 200};
  RECT calc = Calc("alpha beta gamma", r, DT_WORDBREAK);
  EXPECT_EQ(calc.Bottom - calc.Top, 2 * tm.tmHeight);
  EXPECT_EQ(calc.Right - calc.Left, Width("alpha beta"));
  // A word longer than the line stays whole unless DT_EDITCONTROL.
  RECT narrow{0, 0, Width("ab") + 1, 200};
  RECT one = Calc("abcdefgh", narrow, DT_WORDBREAK);
  EXPECT_EQ(one.Bottom - one.Top, tm.tmHeight);
  RECT split = Calc("abcdefgh", narrow, DT_WORDBREAK | DT_EDITCONTROL);
  EXPECT_GE(split.Bottom - split.Top, 3 * tm.tmHeight);
  // CR LF, CR and LF all break lines; DT_SINGLELINE ignores them.
  EXPECT_EQ(Calc("a\r\nb\rc\nd", RECT{0, 0, 100, 100}, 0).Bottom, 4 * tm.tmHeight);
  EXPECT_EQ(Calc("a\r\nb", RECT{0, 0, 100, 100}, DT_SINGLELINE).Bottom, tm.tmHeight);
  RECT withLeading = Calc("a\nb", RECT{0, 0, 100, 100}, DT_EXTERNALLEADING);
  EXPECT_EQ(withLeading.Bottom, 2 * (tm.tmHeight + tm.tmExternalLeading));
}

TEST_F(DrawTextTest, SingleLineVerticalAlignment) {
  RECT box{0, 0, 200, 100};
  RECT top = Drawn("Xy", box, DT_SINGLELINE | DT_TOP);
  RECT mid = Drawn("Xy", box, DT_SINGLELINE | DT_VCENTER);
  RECT bottom = Drawn("Xy", box, DT_SINGLELINE | DT_BOTTOM);
  EXPECT_LT(top.Top, 10);
  EXPECT_NEAR(mid.Top - top.Top, (100 - tm.tmHeight) / 2, 1);
  EXPECT_EQ(bottom.Top - top.Top, 100 - tm.tmHeight);
  RECT r = box;
  EXPECT_EQ(DrawTextA(c.dc, "Xy", -1, &r, DT_SINGLELINE | DT_BOTTOM), 100) << "offset to the text's bottom";
  RECT left = Drawn("Xy", box, DT_SINGLELINE);
  RECT right = Drawn("Xy", box, DT_SINGLELINE | DT_RIGHT);
  EXPECT_EQ(right.Left - left.Left, 200 - Width("Xy"));
}

TEST_F(DrawTextTest, ClippingAndNoClip) {
  RECT small{10, 10, 30, 30};
  RECT ink = Drawn("A long line of text", small, DT_SINGLELINE);
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 30);
  RECT wide = Drawn("A long line of text", small, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(wide.Right, 30);
}

TEST_F(DrawTextTest, Prefixes) {
  RECT box{10, 10, 200, 40};
  // "&File": F is underlined below the baseline.
  RECT withPrefix = Drawn("&File", box, DT_SINGLELINE);
  RECT plain = Drawn("File", box, DT_SINGLELINE);
  EXPECT_GT(withPrefix.Bottom, plain.Bottom) << "the underline lies lower than the glyphs";
  RECT hidden = Drawn("&File", box, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_EQ(hidden, plain);
  RECT only = Drawn("&File", box, DT_SINGLELINE | DT_PREFIXONLY);
  EXPECT_EQ(only.Bottom - only.Top, 1) << "only the underline";
  EXPECT_EQ(only.Right - only.Left, Width("F"));
  EXPECT_EQ(only.Left, plain.Left - (plain.Left - 10));
  RECT noPrefix = Calc("&File", box, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(noPrefix.Right - noPrefix.Left, Width("&File"));
  RECT amp = Calc("a&&b", box, DT_SINGLELINE);
  EXPECT_EQ(amp.Right - amp.Left, Width("a&b"));
}

TEST_F(DrawTextTest, Ellipses) {
  const char* text = "The quick brown fox jumps over the lazy dog";
  int w = Width("The quick brown...");
  RECT box{0, 0, w, 40};
  char buf[128];
  std::strcpy(buf, text);
  RECT r = box;
  DrawTextExA(c.dc, buf, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_STREQ(buf, "The quick brown...");
  RECT ink = Drawn(text, box, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(ink.Right, w);
  // A path keeps its last component.
  const char* path = "/home/user/documents/reports/2024/summary.pdf";
  int pw = Width("/home/.../summary.pdf");
  std::strcpy(buf, path);
  r = RECT{0, 0, pw, 40};
  DrawTextExA(c.dc, buf, -1, &r, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_STREQ(buf, "/home/.../summary.pdf");
  // Text that fits is left alone.
  std::strcpy(buf, "short");
  r = RECT{0, 0, 200, 40};
  DrawTextExA(c.dc, buf, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_STREQ(buf, "short");
  // Without DT_MODIFYSTRING the text stays.
  std::strcpy(buf, text);
  r = box;
  DrawTextExA(c.dc, buf, -1, &r, DT_SINGLELINE | DT_WORD_ELLIPSIS, nullptr);
  EXPECT_STREQ(buf, text);
  // Wrapped text cut by the bottom ends its last visible line with "...".
  std::strcpy(buf, text);
  r = RECT{0, 0, Width("The quick brown") + 2, 2 * tm.tmHeight};
  DrawTextExA(c.dc, buf, -1, &r, DT_WORDBREAK | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_EDITCONTROL, nullptr);
  std::string s = buf;
  EXPECT_EQ(s.substr(s.size() - 3), "...");
  EXPECT_EQ(s.find("lazy"), std::string::npos);
}

TEST_F(DrawTextTest, TabsExpandToStops) {
  RECT box{0, 0, 300, 40};
  RECT calc = Calc("a\tb", box, DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_EQ(calc.Right, 8 * tm.tmAveCharWidth + Width("b"));
  // DT_TABSTOP takes the tab size from the high byte (so no DT_CALCRECT).
  RECT custom = Drawn("\tb", box, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (4 << 8));
  EXPECT_GE(custom.Left, 4 * tm.tmAveCharWidth - 1);
  EXPECT_LT(custom.Left, 8 * tm.tmAveCharWidth - 1);
  DRAWTEXTPARAMS p{sizeof(DRAWTEXTPARAMS), 2, 5, 7, 0};
  char16_t t[] = u"a\tb";
  RECT r = box;
  DrawTextExW(c.dc, t, -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT, &p);
  EXPECT_EQ(r.Right, 5 + 2 * tm.tmAveCharWidth + Width("b") + 7) << "margins and tab length";
  EXPECT_EQ(p.uiLengthDrawn, 3u);
  RECT ink = Drawn("\tb", box, DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_GE(ink.Left, 8 * tm.tmAveCharWidth - 1);
}

}  // namespace
