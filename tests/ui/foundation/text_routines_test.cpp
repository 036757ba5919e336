// The DC-level text routines. Logic is checked with a monospace font drawn
// without smoothing, so every width is a whole number of advances and
// every ink pixel has the text colour.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/graphics.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"
#include "tests/common/dib_canvas.h"
#include "ui/foundation/graphics_unit.h"
#include "ui/foundation/text_routines.h"

namespace {

constexpr uint32_t kRoutinesPaper = 0x00F0E0C0u;

class TextRoutinesTest : public ::testing::Test {
 protected:
  TDibCanvas Dib{320, 200, kRoutinesPaper};
  TCanvas Canvas;
  std::unique_ptr<TcxCanvas> Cx;
  HDC DC = nullptr;
  Integer A = 0;  // the advance of every character
  Integer H = 0;  // the line height

  void SetUp() override {
    // The shared screen canvas needs the drawing unit running.
    cx_graphics_detail::StartGraphics();
    Canvas.SetHandle(Dib.dc);
    Canvas.Font()->SetName("Courier New");
    Canvas.Font()->SetHeight(-13);
    Canvas.Font()->SetQuality(fqNonAntialiased);
    Canvas.Font()->SetColor(clBlack);
    Canvas.Brush()->SetStyle(bsClear);
    Cx = std::make_unique<TcxCanvas>(&Canvas);
    DC = Cx->GetHandle();
    SIZE one{};
    GetTextExtentPoint32A(DC, "W", 1, &one);
    A = one.cx;
    H = cxGetDCFontHeight(DC);
    ASSERT_GT(A, 3);
    SIZE other{};
    GetTextExtentPoint32A(DC, "i.", 2, &other);
    ASSERT_EQ(other.cx, 2 * A) << "a monospace font";
  }
  void TearDown() override {
    Cx.reset();
    Canvas.SetHandle(nullptr);
    cx_graphics_detail::StopGraphics();
  }
  std::vector<AnsiString> Wrap(const AnsiString& text, Integer width) {
    TStringList lines;
    cxWrapTextLines(text, Cx.get(), TRect(0, 0, width, 100), &lines);
    std::vector<AnsiString> out;
    for (Integer i = 0; i < lines.Count(); ++i) out.push_back(lines.Get(i));
    return out;
  }
  // Ink in the top strip, all of it in the colour, none on the background.
  void ExpectOnly(COLORREF colour) {
    int ink = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < Dib.width; ++x) {
        const uint32_t p = Dib.Rgb(x, y);
        if (p == (kRoutinesPaper & 0xFFFFFFu)) continue;
        ASSERT_EQ(p, Px(colour)) << x << "," << y;
        ++ink;
      }
    EXPECT_GT(ink, 20);
  }
  Integer Width(const AnsiString& s) {
    SIZE size{};
    GetTextExtentPoint32A(DC, s.c_str(), static_cast<int>(s.size()), &size);
    return size.cx;
  }
};

TEST_F(TextRoutinesTest, CalcTextRectFindsTheNarrowestWrapForALineCount) {
  const struct {
    Integer lines;
    bool clip;
    Integer right;   // in advances
    Integer bottom;  // in lines
  } cases[] = {
      {1, false, 11, 1},  // one line: the whole text
      {2, false, 7, 2},   // "abc def" / "ghi" is the narrowest two-line wrap
      {2, true, 7, 2},    // the same, bottom at the limit
      {3, false, 3, 3},   // one word a line
      {0, false, 3, 3},   // no count: 32000 pixels allow the widest word
      {-4, false, 3, 3},  // nor does a negative one
  };
  for (const auto& c : cases) {
    TRect r(5, 5, 5, 5);
    cxCalcTextRect(DC, "abc def ghi", c.lines, r, c.clip);
    EXPECT_EQ(r.Left, 0) << c.lines;
    EXPECT_EQ(r.Top, 0) << c.lines;
    EXPECT_EQ(r.Right, c.right * A) << c.lines;
    EXPECT_EQ(r.Bottom, c.bottom * H) << c.lines;
  }
  TRect clipped;
  cxCalcTextRect(DC, "abc", 0, clipped, true);
  EXPECT_EQ(clipped.Bottom, 32000);
  const TSize one = cxTextSizeDC(DC, "abc def");
  EXPECT_EQ(one, TSize(7 * A, H));
}

TEST_F(TextRoutinesTest, WrapTextLinesKeepsBreaksAndBlankRuns) {
  const struct {
    const char* text;
    Integer width;  // in advances
    std::vector<AnsiString> lines;
  } cases[] = {
      {"a\r\nb", 20, {"a", "b"}},
      {"a\r\n\r\nb", 20, {"a", "b"}},
      {"a\nb", 20, {"a", "b"}},
      {"a   b", 20, {"a   b"}},
      {"abc def ghi", 7, {"abc def", "ghi"}},
      {"abc def ghi", 6, {"abc", "def", "ghi"}},
      {"abc   def", 5, {"abc  ", " def"}},
      // An overlong first word is preceded by an empty line.
      {"abcdefgh", 3, {"", "abcdefgh"}},
      {"caf\xC3\xA9 cr\xC3\xA8me", 5, {"caf\xC3\xA9", "cr\xC3\xA8me"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Wrap(c.text, c.width * A), c.lines) << c.text;
  EXPECT_TRUE(Wrap("", 100).empty());
}

TEST_F(TextRoutinesTest, EllipsizeTextShortensAtTheEndOrInThePath) {
  AnsiString out;
  cxEllipsizeText(DC, nullptr, "Hello wonderful world", out, cxEllipsisEnd, 10 * A);
  EXPECT_EQ(out, "Hello w...");

  const AnsiString path = "/usr/share/very/long/folder/file.txt";
  cxEllipsizeText(DC, nullptr, path, out, cxEllipsisPath, 20 * A);
  EXPECT_LE(Width(out), 20 * A);
  ASSERT_GE(out.size(), 9u);
  EXPECT_EQ(out.substr(out.size() - 9), "/file.txt");
  EXPECT_NE(out.find("..."), AnsiString::npos);
  EXPECT_EQ(out.substr(0, 4), "/usr");

  cxEllipsizeText(DC, nullptr, "short", out, cxEllipsisEnd, 100 * A);
  EXPECT_EQ(out, "short");
  for (Integer width : {0, -5}) {
    cxEllipsizeText(DC, nullptr, "text", out, cxEllipsisEnd, width);
    EXPECT_EQ(out, "");
  }
  cxEllipsizeText(DC, nullptr, "", out, cxEllipsisEnd, 100);
  EXPECT_EQ(out, "");
}

TEST_F(TextRoutinesTest, EllipsizeTextTakesLongTextWholeAndNeverSplitsACharacter) {
  AnsiString out;
  // 10,000 bytes of two-byte letters.
  AnsiString accented;
  for (int i = 0; i < 5000; ++i) accented += "\xC3\xA9";
  cxEllipsizeText(DC, nullptr, accented, out, cxEllipsisEnd, 20 * A);
  EXPECT_EQ(out.size(), 17u * 2 + 3) << "17 letters and the dots";
  EXPECT_EQ(out.substr(out.size() - 3), "...");
  EXPECT_EQ(AnsiToWide(out).find(u'\xFFFD'), WideString::npos);

  AnsiString longPath;
  while (longPath.size() < 10000) longPath += "/folder";
  longPath += "/end.txt";
  cxEllipsizeText(DC, nullptr, longPath, out, cxEllipsisPath, 30 * A);
  EXPECT_LE(Width(out), 30 * A);
  EXPECT_EQ(out.substr(out.size() - 8), "/end.txt");

  // A text that fits unchanged comes back whole however long it is.
  cxEllipsizeText(DC, nullptr, accented, out, cxEllipsisEnd, 6000 * A);
  EXPECT_EQ(out, accented);
}

TEST_F(TextRoutinesTest, EllipsizeTextWithoutADCMeasuresWithTheGivenFont) {
  LOGFONTA lf{};
  lf.lfHeight = -26;
  std::strcpy(lf.lfFaceName, "Courier New");
  HFONT big = CreateFontIndirectA(&lf);
  AnsiString small, large;
  cxEllipsizeText(nullptr, nullptr, "A long caption for a small place", small, cxEllipsisEnd, 120);
  cxEllipsizeText(nullptr, big, "A long caption for a small place", large, cxEllipsisEnd, 120);
  ASSERT_GT(small.size(), 3u);
  ASSERT_GT(large.size(), 3u);
  EXPECT_EQ(small.substr(small.size() - 3), "...");
  EXPECT_EQ(large.substr(large.size() - 3), "...");
  EXPECT_LT(large.size(), small.size());
  DeleteObject(big);
}

// The measuring helpers assign their font to the shared screen canvas; a
// later measurement without a font of its own must not get it.
TEST_F(TextRoutinesTest, AMeasurementWithAFontLeavesItToNoLaterMeasurement) {
  const AnsiString text = "A long caption for a small place";
  AnsiString before, after;
  cxEllipsizeText(nullptr, nullptr, text, before, cxEllipsisEnd, 120);
  TFont big;
  big.SetName("Courier New");
  big.SetHeight(-26);
  TEXTMETRICA tm{};
  ASSERT_TRUE(cxGetFontTextMetrics(&big, tm));
  EXPECT_GT(cxMeasureFontTextWidth(&big, "Wide", 0), 0);
  cxEllipsizeText(nullptr, nullptr, text, after, cxEllipsisEnd, 120);
  EXPECT_EQ(after, before);
}

TEST_F(TextRoutinesTest, DrawTextDCRestoresWhatItSets) {
  SetTextColor(DC, RGB(10, 20, 30));
  SetBkMode(DC, OPAQUE);
  SetBkColor(DC, RGB(200, 0, 0));
  TRect r(0, 0, 200, 40);
  // clDefault: drawn in the DC's colour, which stays.
  EXPECT_EQ(cxDrawTextDC(DC, "Text", r, TRANSPARENT, clDefault, -1, DT_SINGLELINE), H);
  ExpectOnly(RGB(10, 20, 30));
  EXPECT_EQ(GetTextColor(DC), RGB(10, 20, 30));
  EXPECT_EQ(GetBkMode(DC), OPAQUE);

  // A colour: drawn in it, the DC's colour comes back.
  Dib.Fill(kRoutinesPaper);
  cxDrawTextDC(DC, "Text", r, TRANSPARENT, clRed, -1, DT_SINGLELINE);
  ExpectOnly(RGB(255, 0, 0));
  EXPECT_EQ(GetTextColor(DC), RGB(10, 20, 30));

  // Count 0: nothing drawn and the modes untouched.
  Dib.Fill(kRoutinesPaper);
  SetBkMode(DC, OPAQUE);
  cxDrawTextDC(DC, "Text", r, TRANSPARENT, clRed, 0, DT_SINGLELINE);
  EXPECT_EQ(Dib.CountNot(kRoutinesPaper, 0, 0, 320, 200), 0);
  EXPECT_EQ(GetBkMode(DC), OPAQUE);
  EXPECT_EQ(GetTextColor(DC), RGB(10, 20, 30));
}

TEST_F(TextRoutinesTest, CountsAreCutToTheText) {
  const struct {
    Integer count;
    Integer width;  // in advances
  } cases[] = {{-1, 6}, {-7, 6}, {0, 0}, {3, 3}, {6, 6}, {1000, 6}};
  for (const auto& c : cases) {
    TSize size;
    EXPECT_TRUE(cxMeasureTextDC(DC, "abcdef", size, c.count)) << c.count;
    EXPECT_EQ(size.cx, c.width * A) << c.count;
    TRect r(0, 0, 0, 0);
    cxDrawTextDC(DC, "abcdef", r, TRANSPARENT, clDefault, c.count, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Right, c.width * A) << c.count;
  }
  TSize none(7, 7);
  EXPECT_FALSE(cxMeasureTextDC(nullptr, "abc", none));
  EXPECT_EQ(none, TSize(0, 0));
}

TEST_F(TextRoutinesTest, FontMeasurementsOnTheScreenCanvas) {
  TFont font;
  font.SetName("Courier New");
  font.SetHeight(-13);
  EXPECT_EQ(cxGetFontLineHeight(&font), H);
  TEXTMETRICA tm{};
  EXPECT_TRUE(cxGetFontTextMetrics(&font, tm));
  EXPECT_EQ(tm.tmHeight, H);
  EXPECT_EQ(cxMeasureFontTextWidth(&font, "abcd"), 4 * A);
  EXPECT_EQ(cxMeasureFontText(&font, "abcd").cy, H);
  EXPECT_GT(cxMeasureFontTextWidth(&font, "abcd", 30), 4 * A) << "a larger point size";
  EXPECT_EQ(font.Height(), -13) << "the caller's font is not changed";
  EXPECT_FALSE(cxGetFontTextMetrics(nullptr, tm));
}

TEST_F(TextRoutinesTest, ExtTextOutStringDrawsTheCountedPart) {
  const TRect none(0, 0, 0, 0);
  EXPECT_TRUE(cxExtTextOutString(DC, "abcdef", TPoint(10, 10), 3, 0, none));
  const RECT ink = Dib.InkBox(kRoutinesPaper);
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 10 + 3 * A + 1);
  Dib.Fill(kRoutinesPaper);
  EXPECT_TRUE(cxExtTextOutString(DC, "abcdef", TPoint(10, 10), -1, ETO_CLIPPED, TRect(10, 10, 10 + 2 * A, 40)));
  EXPECT_LE(Dib.InkBox(kRoutinesPaper).Right, 10 + 2 * A);
}

TEST_F(TextRoutinesTest, DrawWrappedTextStacksLinesAndPlacesTheBlock) {
  const TRect r(10, 10, 10 + 8 * A, 10 + 10 * H);
  EXPECT_EQ(cxDrawWrappedText(Cx.get(), "abc def ghi", r, clBlack, 0), 2);
  RECT top = Dib.InkBox(kRoutinesPaper);
  EXPECT_LT(top.Bottom, r.Top + 2 * H + 1);
  EXPECT_GT(top.Bottom, r.Top + H);
  Dib.Fill(kRoutinesPaper);
  EXPECT_EQ(cxDrawWrappedText(Cx.get(), "abc def ghi", r, clBlack, DT_BOTTOM), 2);
  RECT bottom = Dib.InkBox(kRoutinesPaper);
  EXPECT_GT(bottom.Top, r.Bottom - 2 * H - 1);
  EXPECT_LE(bottom.Bottom, r.Bottom);
  Dib.Fill(kRoutinesPaper);
  EXPECT_EQ(cxDrawWrappedText(Cx.get(), "abc def ghi", r, clBlack, DT_VCENTER), 2);
  RECT centre = Dib.InkBox(kRoutinesPaper);
  EXPECT_GT(centre.Top, top.Top + 3 * H);
  EXPECT_LT(centre.Bottom, bottom.Bottom - 3 * H);
}

TEST_F(TextRoutinesTest, RotatedTextRunsAlongItsTurn) {
  const TRect r(100, 20, 100 + 2 * H, 20 + 12 * A);
  // The first letter alone and the whole word, compared per turn.
  const struct {
    TcxQuarterTurn turn;
    bool firstAtBottom, firstAtTop;
  } cases[] = {{qtLeft, true, false}, {qtRight, false, true}};
  for (const auto& c : cases) {
    Dib.Fill(kRoutinesPaper);
    Canvas.Brush()->SetStyle(bsSolid);
    Cx->FillRectColor(TRect(r.Left, r.Top, r.Left + 3, r.Bottom), clBlue);
    EXPECT_EQ(cxDrawRotatedText(Cx.get(), "Wide", r, c.turn, clBlack, DT_SINGLELINE), H);
    const RECT word = Dib.InkBox(kRoutinesPaper);
    EXPECT_GE(word.Left, r.Left);
    EXPECT_LE(word.Right, r.Right);
    EXPECT_GE(word.Top, r.Top);
    EXPECT_LE(word.Bottom, r.Bottom);
    EXPECT_EQ(Dib.Rgb(r.Left + 1, r.Top + 5 * A), Px(RGB(0, 0, 255))) << "the background stays";
    EXPECT_GT(word.Bottom - word.Top, 3 * A) << "the word runs along the height";
    Dib.Fill(kRoutinesPaper);
    cxDrawRotatedText(Cx.get(), "W", r, c.turn, clBlack, DT_SINGLELINE);
    const RECT first = Dib.InkBox(kRoutinesPaper);
    ASSERT_GT(first.Bottom, first.Top);
    if (c.firstAtBottom) {
      EXPECT_GE(first.Bottom, r.Bottom - 2);
      EXPECT_GT(first.Top, r.Bottom - A - 3);
    }
    if (c.firstAtTop) {
      EXPECT_LE(first.Top, r.Top + 2);
      EXPECT_LT(first.Bottom, r.Top + A + 3);
    }
  }
  Dib.Fill(kRoutinesPaper);
  EXPECT_EQ(cxDrawRotatedText(Cx.get(), "Wide", TRect(10, 10, 10, 50), qtLeft, clBlack, 0), 0);
  EXPECT_EQ(cxDrawRotatedText(Cx.get(), "Wide", TRect(10, 10, 50, 5), qtRight, clBlack, 0), 0);
  EXPECT_EQ(Dib.CountNot(kRoutinesPaper, 0, 0, 320, 200), 0);
  // No turn: plain text from the left.
  EXPECT_EQ(cxDrawRotatedText(Cx.get(), "Wide", TRect(10, 10, 200, 50), qtNone, clBlack, DT_SINGLELINE), H);
  const RECT plain = Dib.InkBox(kRoutinesPaper);
  EXPECT_LE(plain.Left, 12);
  EXPECT_LT(plain.Bottom - plain.Top, H + 1);
}

TEST(TextAccelerators, StripAccelChars) {
  const struct {
    const char* in;
    bool underscore;
    const char* out;
  } cases[] = {
      {"&File", false, "File"},
      {"a&&b", false, "a&b"},
      {"&&", false, "&"},
      {"Save &", false, "Save "},
      {"Save &", true, "Save _"},
      {"&&&", false, "&"},
      {"&&&", true, "&_"},
      {"&", true, "_"},
      {"&", false, ""},
      {"plain", true, "plain"},
      {"", true, ""},
      {"&\xC3\xA9t\xC3\xA9", false, "\xC3\xA9t\xC3\xA9"},
      {"a&b&c", false, "abc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cxStripAccelChars(c.in, c.underscore), c.out) << c.in;
    EXPECT_EQ(cxStripAccelCharsW(AnsiToWide(c.in), c.underscore), AnsiToWide(c.out)) << c.in;
  }
}

TEST(TextScripts, ComplexScriptTextByCharsetAndFirstCharacter) {
  const struct {
    Byte charset;
    const char* text;
    bool complex;
  } cases[] = {
      {GB2312_CHARSET, "abc", false},
      {GB2312_CHARSET, "\xE4\xB8\xAD\xE6\x96\x87", true},
      {CHINESEBIG5_CHARSET, "\xE4\xB8\xAD", true},
      {ARABIC_CHARSET, "\xD8\xB9\xD8\xB1", true},
      {ANSI_CHARSET, "\xE4\xB8\xAD", false},
      {RUSSIAN_CHARSET, "\xD0\x96", false},
      {DEFAULT_CHARSET, "\xE4\xB8\xAD", false},  // the system's charset is ANSI
  };
  for (const auto& c : cases) EXPECT_EQ(cxIsComplexScriptText(c.charset, c.text), c.complex) << int(c.charset);
  EXPECT_EQ(cxGetDefaultCharset(), ANSI_CHARSET);
}

TEST(TextFonts, SetFontNonAntialiased) {
  TFont font;
  font.SetName("Liberation Sans");
  font.SetSize(11);
  cxSetFontNonAntialiased(&font);
  LOGFONTA lf{};
  ASSERT_TRUE(GetObjectA(font.Handle(), sizeof lf, &lf));
  EXPECT_EQ(lf.lfQuality, NONANTIALIASED_QUALITY);
  EXPECT_EQ(font.Size(), 11);
  EXPECT_EQ(font.Name(), "Liberation Sans");
}

}  // namespace
