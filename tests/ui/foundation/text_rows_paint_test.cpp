// The text engine drawing: alignments, stretching, the ellipsis, the
// highlight, measuring, bad input and the DC state every call leaves. A
// monospace font drawn without smoothing makes every width a whole number
// of advances and every ink pixel the text colour.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/forms/graphics.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"
#include "tests/common/dib_canvas.h"
#include "tests/ui/foundation/mono_text_fixture.h"
#include "ui/foundation/text_rows.h"

namespace {

constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kMark = RGB(0, 160, 0);

class TextRowsPaintTest : public MonoTextTest {
 protected:
  // Bounding box of pixels of one colour.
  RECT BoxOf(COLORREF colour) {
    RECT r{Dib.width, Dib.height, -1, -1};
    for (int y = 0; y < Dib.height; ++y)
      for (int x = 0; x < Dib.width; ++x)
        if (Dib.Rgb(x, y) == Px(colour)) {
          r.Left = std::min<int>(r.Left, x);
          r.Top = std::min<int>(r.Top, y);
          r.Right = std::max<int>(r.Right, x + 1);
          r.Bottom = std::max<int>(r.Bottom, y + 1);
        }
    return r.Right < 0 ? RECT{} : r;
  }
  bool Inside(const RECT& ink, const TRect& r) {
    if (ink.Right <= ink.Left) return true;
    return ink.Left >= r.Left && ink.Top >= r.Top && ink.Right <= r.Right && ink.Bottom <= r.Bottom;
  }
  std::vector<uint32_t> Pixels() { return std::vector<uint32_t>(Dib.bits, Dib.bits + Dib.width * Dib.height); }
};

TEST_F(TextRowsPaintTest, RowsStartWhereTheirAlignmentSays) {
  const TRect r(20, 20, 20 + 20 * A, 200);
  const struct {
    Integer flags;
    Integer left;   // expected ink box, in pixels from r.Left, with a slack of 2
    Integer right;  // from r.Right
  } cases[] = {
      {TLF_WORDWRAP | TLF_LEFT, 0, -1},
      {TLF_WORDWRAP | TLF_RIGHT, -1, 0},
      {TLF_JUSTIFY, 0, 0},
      {TLF_SPREAD, 0, 0},
  };
  for (const auto& c : cases) {
    Dib.Fill(kPaper);
    TRect box = r;
    // Rows: "Wrapped words in a", "narrow column of", "text" (widest 18).
    EXPECT_EQ(cxDrawTextRowsW(Dib.dc, u"Wrapped words in a narrow column of text", box, c.flags), 2 * H + H);
    const RECT ink = Dib.InkBox(kPaper);
    EXPECT_TRUE(Inside(ink, r)) << c.flags;
    if (c.left >= 0) {
      EXPECT_LE(ink.Left, r.Left + c.left + 2) << c.flags;
    } else {
      EXPECT_GT(ink.Left, r.Left + A) << c.flags;
    }
    if (c.right >= 0) {
      EXPECT_GE(ink.Right, r.Right - c.right - 2) << c.flags;
    } else {
      EXPECT_LT(ink.Right, r.Right - A) << c.flags;
    }
  }
  // Centred: the margins differ by at most one advance.
  Dib.Fill(kPaper);
  TRect box = r;
  cxDrawTextRowsW(Dib.dc, u"centred", box, TLF_CENTER);
  const RECT ink = Dib.InkBox(kPaper);
  EXPECT_LE(std::abs((ink.Left - r.Left) - (r.Right - ink.Right)), A);
}

TEST_F(TextRowsPaintTest, SpreadStretchesTheLastRowJustifyDoesNot) {
  const TRect r(10, 10, 10 + 10 * A, 100);
  // Rows "aa bb cc" (8 wide) and "dd ee" (5 wide).
  for (Integer flags : {TLF_JUSTIFY, TLF_SPREAD}) {
    Dib.Fill(kPaper);
    TRect box = r;
    cxDrawTextRowsW(Dib.dc, u"aa bb cc dd ee", box, flags);
    const RECT first = [&] {
      RECT k{Dib.width, 0, 0, 0};
      for (int y = r.Top; y < r.Top + H; ++y)
        for (int x = 0; x < Dib.width; ++x)
          if (Dib.Rgb(x, y) != (kPaper & 0xFFFFFFu)) k.Right = std::max<int>(k.Right, x + 1);
      return k;
    }();
    RECT last{0, 0, 0, 0};
    for (int y = r.Top + H; y < r.Top + 2 * H; ++y)
      for (int x = 0; x < Dib.width; ++x)
        if (Dib.Rgb(x, y) != (kPaper & 0xFFFFFFu)) last.Right = std::max<int>(last.Right, x + 1);
    EXPECT_GE(first.Right, r.Right - A) << flags;
    if (flags == TLF_SPREAD)
      EXPECT_GE(last.Right, r.Right - A);
    else
      EXPECT_LE(last.Right, r.Left + 5 * A + 1);
  }
  // The stretching is over when the call returns.
  SIZE before{}, after{};
  GetTextExtentPoint32W(Dib.dc, u"a b c", 5, &after);
  before.cx = 5 * A;
  EXPECT_EQ(after.cx, before.cx);
}

TEST_F(TextRowsPaintTest, TheLastRowEndsInAnEllipsisWhenTextRemains) {
  // One row of 12 advances: "aaaa bbbb" and the dots fill it.
  const TRect r(10, 10, 10 + 12 * A, 10 + H);
  TRect box = r;
  cxDrawTextRowsW(Dib.dc, u"aaaa bbbb cccc dddd", box, TLF_WORDWRAP | TLF_ELLIPSIS);
  const std::vector<uint32_t> drawn = Pixels();
  Dib.Fill(kPaper);
  SetBkMode(Dib.dc, TRANSPARENT);
  TextOutW(Dib.dc, r.Left, r.Top, u"aaaa bbbb...", 12);
  EXPECT_EQ(drawn, Pixels());

  // A single line too wide, without wrapping.
  Dib.Fill(kPaper);
  box = r;
  cxDrawTextRowsW(Dib.dc, u"abcdefghijklmnop", box, TLF_ONELINE | TLF_ELLIPSIS);
  const std::vector<uint32_t> one = Pixels();
  Dib.Fill(kPaper);
  TextOutW(Dib.dc, r.Left, r.Top, u"abcdefghi...", 12);
  EXPECT_EQ(one, Pixels());

  // Text that fits gets no dots.
  Dib.Fill(kPaper);
  box = r;
  cxDrawTextRowsW(Dib.dc, u"short", box, TLF_WORDWRAP | TLF_ELLIPSIS);
  EXPECT_LE(Dib.InkBox(kPaper).Right, r.Left + 5 * A + 1);
}

TEST_F(TextRowsPaintTest, TheHighlightCoversOnlyTheTextThatIsThere) {
  const TRect r(10, 10, 10 + 30 * A, 100);
  const std::u16string text = u"Highlighted text";  // 16 characters
  const struct {
    Integer start, length;
    bool drawn;
    Integer from, to;  // in advances from r.Left
  } cases[] = {
      {0, 4, true, 0, 4},
      {2, 1000, true, 2, 16},  // cut at the end
      {5, std::numeric_limits<Integer>::max(), true, 5, 16},
      {16, 3, false, 0, 0},  // beyond the text
      {40, 3, false, 0, 0},
      {-1, 5, false, 0, 0},
      {3, -2, false, 0, 0},
      {3, 0, false, 0, 0},
  };
  for (const auto& c : cases) {
    Dib.Fill(kPaper);
    TRect box = r;
    cxDrawTextRowsW(Dib.dc, text, box, TLF_LEFT, c.start, c.length, nullptr, RGB(0, 160, 0), RGB(255, 255, 255));
    const RECT mark = BoxOf(kMark);
    if (!c.drawn) {
      EXPECT_EQ(mark.Right, 0) << c.start << "," << c.length;
      EXPECT_EQ(BoxOf(RGB(255, 255, 255)).Right, 0);
      continue;
    }
    EXPECT_EQ(mark.Left, r.Left + c.from * A) << c.start << "," << c.length;
    EXPECT_EQ(mark.Right, r.Left + c.to * A) << c.start << "," << c.length;
    EXPECT_EQ(mark.Top, r.Top);
    EXPECT_EQ(mark.Bottom, r.Top + H);
    // The highlighted letters are white, the others black.
    const RECT white = BoxOf(RGB(255, 255, 255));
    EXPECT_GE(white.Left, mark.Left);
    EXPECT_LE(white.Right, mark.Right);
  }
  // Only a highlight text colour: the letters change colour, nothing is filled.
  Dib.Fill(kPaper);
  TRect box = r;
  cxDrawTextRowsW(Dib.dc, text, box, TLF_LEFT, 0, 4, nullptr, clNone, RGB(200, 0, 0));
  const RECT red = BoxOf(RGB(200, 0, 0));
  EXPECT_GT(red.Right, red.Left);
  EXPECT_LE(red.Right, r.Left + 4 * A);
  EXPECT_GE(BoxOf(kInk).Left, r.Left + 4 * A);
}

// On a metafile the text is recorded without a highlight, and every row is
// recorded whether or not the recording DC's device would show it.
TEST_F(TextRowsPaintTest, AMetafileGetsNoHighlightAndEveryRow) {
  const std::u16string text = u"Highlighted text";
  const TRect r(10, 10, 10 + 30 * A, 100);
  auto record = [&](const TRect& at, Integer selStart, Integer selLength) {
    HDC meta = CreateEnhMetaFileA(Dib.dc, nullptr, nullptr, nullptr);
    HGDIOBJ old = SelectObject(meta, Font);
    SetTextColor(meta, RGB(0, 0, 0));
    TRect box = at;
    cxDrawTextRowsW(meta, text, box, TLF_LEFT, selStart, selLength, nullptr, RGB(0, 160, 0), RGB(255, 255, 255));
    SelectObject(meta, old);
    return CloseEnhMetaFile(meta);
  };
  // Played back 1:1, the highlighted recording shows the plain text.
  HENHMETAFILE highlighted = record(r, 0, 4);
  ASSERT_NE(highlighted, nullptr);
  ENHMETAHEADER h{};
  GetEnhMetaFileHeader(highlighted, sizeof h, &h);
  const RECT to{h.rclBounds.Left, h.rclBounds.Top, h.rclBounds.Right + 1, h.rclBounds.Bottom + 1};
  ASSERT_TRUE(PlayEnhMetaFile(Dib.dc, highlighted, &to));
  const std::vector<uint32_t> played = Pixels();
  EXPECT_EQ(BoxOf(kMark).Right, 0) << "no highlight background";
  EXPECT_EQ(BoxOf(RGB(255, 255, 255)).Right, 0) << "no highlight text colour";
  const RECT ink = Dib.InkBox(kPaper);
  EXPECT_TRUE(ink.Right > ink.Left && ink.Left < r.Left + A) << "the text is there, where it starts";
  Dib.Fill(kPaper);
  TRect box = r;
  cxDrawTextRowsW(Dib.dc, text, box, TLF_LEFT, 0, 0, nullptr, clNone, clNone);
  EXPECT_EQ(played, Pixels()) << "the same as the text drawn without a highlight";
  DeleteEnhMetaFile(highlighted);

  // Rows far below any screen are still recorded.
  HENHMETAFILE far = record(TRect(10, 5000, 10 + 30 * A, 5100), 0, 0);
  int texts = 0;
  EnumEnhMetaFile(
      nullptr, far,
      [](HDC, HANDLETABLE*, const ENHMETARECORD* rec, int, LPARAM data) {
        if (rec->iType == EMR_EXTTEXTOUTW) ++*reinterpret_cast<int*>(data);
        return 1;
      },
      &texts, nullptr);
  EXPECT_GE(texts, 1);
  DeleteEnhMetaFile(far);
}

TEST_F(TextRowsPaintTest, MeasureAndCountDrawNothingOrCount) {
  const std::u16string text = u"abc def ghi jkl";
  TRect r(10, 20, 10 + 8 * A, 30);
  EXPECT_EQ(cxDrawTextRowsW(Dib.dc, text, r, TLF_WORDWRAP | TLF_MEASURE), 2 * H);
  // The first row keeps its closing blank.
  EXPECT_EQ(r, TRect(10, 20, 10 + 8 * A, 20 + 2 * H));
  EXPECT_EQ(Dib.CountNot(kPaper, 0, 0, Dib.width, Dib.height), 0);

  r = TRect(10, 20, 200, 30);
  EXPECT_EQ(cxDrawTextRowsW(Dib.dc, u"one line\r\nand more", r, TLF_ONELINE | TLF_MEASURE), H);
  EXPECT_GE(r.Right - r.Left, 16 * A) << "the text after the line break is measured too";

  r = TRect(10, 20, 10 + 8 * A, 40);
  EXPECT_EQ(cxDrawTextRowsW(Dib.dc, text, r, TLF_WORDWRAP | TLF_MEASURE, 0, 0, nullptr, clNone, clNone, 1), H);
  EXPECT_EQ(r.Right - r.Left, 8 * A);

  // Indents and the inset come back around the measured text.
  r = TRect(10, 20, 10 + 20 * A, 40);
  cxDrawTextRowsW(Dib.dc, u"abc", r, TLF_MEASURE | TLF_INSET, 0, 0, nullptr, clNone, clNone, 0, 5, 7);
  EXPECT_EQ(r, TRect(10, 20, 10 + 2 + 5 + 3 * A + 7 + 2, 20 + 2 + H + 2));

  r = TRect(10, 20, 10 + 8 * A, 30);
  EXPECT_EQ(cxDrawTextRowsW(Dib.dc, text, r, TLF_WORDWRAP | TLF_COUNTROWS), 2);
  EXPECT_EQ(r, TRect(10, 20, 10 + 8 * A, 30));
  EXPECT_GT(Dib.CountNot(kPaper, 0, 0, Dib.width, Dib.height), 0) << "the text is still drawn";
}

TEST_F(TextRowsPaintTest, EveryCallLeavesTheDCAsItWas) {
  TFont other;
  other.SetName("Liberation Sans");
  other.SetHeight(-20);
  other.SetColor(clBlue);
  const Integer flagSets[] = {
      TLF_WORDWRAP,
      TLF_JUSTIFY | TLF_ELLIPSIS,
      TLF_SPREAD | TLF_VSPREAD,
      TLF_ONELINE | TLF_ELLIPSIS | TLF_CENTER | TLF_VCENTER,
      TLF_WORDWRAP | TLF_TABS | TLF_NOCLIP | TLF_KEEPLEFT,
      TLF_WORDWRAP | TLF_BARS,
      TLF_WORDWRAP | TLF_MEASURE,
      TLF_WORDWRAP | TLF_COUNTROWS | TLF_STRIPACCEL,
  };
  HRGN clip = CreateRectRgn(5, 5, 300, 250);
  for (bool clipped : {false, true}) {
    for (Integer flags : flagSets) {
      for (TFont* font : {static_cast<TFont*>(nullptr), &other}) {
        SelectClipRgn(Dib.dc, clipped ? clip : nullptr);
        SetTextColor(Dib.dc, RGB(1, 2, 3));
        SetBkMode(Dib.dc, OPAQUE);
        SIZE before{};
        GetTextExtentPoint32W(Dib.dc, u"a b c", 5, &before);
        TRect r(20, 20, 140, 60);
        cxDrawTextRowsW(Dib.dc, u"Some &text\tthat wraps over the rows it is given", r, flags, 2, 5, font,
                        RGB(0, 160, 0), clWhite, 0, 3, 3, clRed, 1.5);
        EXPECT_EQ(GetCurrentObject(Dib.dc, OBJ_FONT), Font) << flags;
        EXPECT_EQ(GetTextColor(Dib.dc), RGB(1, 2, 3)) << flags;
        EXPECT_EQ(GetBkMode(Dib.dc), OPAQUE) << flags;
        SIZE after{};
        GetTextExtentPoint32W(Dib.dc, u"a b c", 5, &after);
        EXPECT_EQ(after.cx, before.cx) << "justification, flags " << flags;
        HRGN now = CreateRectRgn(0, 0, 0, 0);
        const int has = GetClipRgn(Dib.dc, now);
        EXPECT_EQ(has, clipped ? 1 : 0) << flags;
        if (clipped) {
          EXPECT_TRUE(EqualRgn(now, clip)) << flags;
        }
        DeleteObject(now);
      }
    }
  }
  SelectClipRgn(Dib.dc, nullptr);
  DeleteObject(clip);
}

TEST_F(TextRowsPaintTest, BadInputDrawsNothingOutsideTheRectangle) {
  std::u16string huge(100000, u'x');
  for (size_t i = 7; i < huge.size(); i += 9) huge[i] = u' ';
  const std::u16string surrogates =
      u"a\xD800"
      u"b\xDC00\xDC00 c\xD83D";
  const TRect r(50, 50, 250, 120);
  const struct {
    const char* name;
    std::u16string text;
    Integer flags, selStart, selLength, maxRows;
    double spacing;
  } cases[] = {
      {"huge", huge, TLF_WORDWRAP | TLF_ELLIPSIS, 0, 0, 0, 1.0},
      {"huge one line", huge, TLF_ONELINE | TLF_TABS, 0, 0, 0, 1.0},
      {"huge char wrap", huge, TLF_WORDWRAP | TLF_CHARWRAP | TLF_EDITRULES, 3, 99999999, 0, 1.0},
      {"negative row limit", u"one two three four five", TLF_WORDWRAP, 0, 0, -5, 1.0},
      {"selection far out", u"one two three", TLF_WORDWRAP, 1 << 30, 1 << 30, 0, 1.0},
      {"surrogates", surrogates, TLF_WORDWRAP | TLF_CHARWRAP, 1, 3, 0, 1.0},
      {"surrogates ellipsis", surrogates + surrogates + surrogates, TLF_ONELINE | TLF_ELLIPSIS, 0, 2, 0, 1.0},
      {"no spacing", u"one two three four five six", TLF_WORDWRAP, 0, 0, 0, std::nan("")},
      {"negative spacing", u"one two three four five six", TLF_WORDWRAP, 0, 0, 0, -3.0},
      {"absurd spacing", u"one two three four five six", TLF_WORDWRAP | TLF_BOTTOM, 0, 0, 0, 1e300},
      {"accelerators only", u"&", TLF_STRIPACCEL, 0, 0, 0, 1.0},
  };
  for (const auto& c : cases) {
    Dib.Fill(kPaper);
    TRect box = r;
    cxDrawTextRowsW(Dib.dc, c.text, box, c.flags, c.selStart, c.selLength, nullptr, RGB(0, 160, 0), clWhite, c.maxRows,
                    0, 0, clDefault, c.spacing);
    EXPECT_TRUE(Inside(Dib.InkBox(kPaper), r)) << c.name;
    EXPECT_EQ(box, r) << c.name;
  }
  // Empty and inverted rectangles draw nothing and give 0.
  for (TRect empty : {TRect(50, 50, 50, 120), TRect(50, 50, 250, 50), TRect(250, 120, 50, 50)}) {
    Dib.Fill(kPaper);
    EXPECT_EQ(cxDrawTextRowsW(Dib.dc, u"text", empty, TLF_WORDWRAP), 0);
    EXPECT_EQ(Dib.CountNot(kPaper, 0, 0, Dib.width, Dib.height), 0);
  }
  TRect box = r;
  EXPECT_EQ(cxDrawTextRowsW(Dib.dc, u"", box, TLF_WORDWRAP), 0);
  EXPECT_EQ(cxDrawTextRowsW(Dib.dc, u"&", box, TLF_STRIPACCEL), 0);
  EXPECT_EQ(cxDrawTextRowsA(Dib.dc, "", box, TLF_WORDWRAP), 0);
  // Invalid UTF-8 is read as replacement characters.
  Dib.Fill(kPaper);
  EXPECT_EQ(cxDrawTextRowsA(Dib.dc, "ab\xC3\x28\xFF\xE2\x82 cd\xF0", box, TLF_WORDWRAP | TLF_COUNTROWS), 1);
  EXPECT_TRUE(Inside(Dib.InkBox(kPaper), r));
}

TEST_F(TextRowsPaintTest, EightBitTextKeepsItsLetters) {
  // "café crème" in a width of six advances breaks only at the blank.
  TRect r(10, 10, 10 + 6 * A, 200);
  EXPECT_EQ(cxDrawTextRowsA(Dib.dc, "caf\xC3\xA9 cr\xC3\xA8me", r, TLF_WORDWRAP | TLF_COUNTROWS), 2);
  r = TRect(10, 10, 10 + 6 * A, 200);
  EXPECT_EQ(cxDrawTextRowsA(Dib.dc,
                            "Stra\xC3\x9F"
                            "e",
                            r, TLF_WORDWRAP | TLF_MEASURE),
            H);
  EXPECT_EQ(r.Right - r.Left, 6 * A);
  // A Japanese sentence breaks between its characters and keeps 。 with
  // the one before it.
  const char* japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82";  // 日本語です。
  r = TRect(10, 10, 200, 200);
  cxDrawTextRowsA(Dib.dc, japanese, r, TLF_WORDWRAP | TLF_MEASURE);
  const Integer whole = r.Right - r.Left;
  ASSERT_GT(whole, 0);
  r = TRect(10, 10, 10 + whole - 1, 200);
  EXPECT_EQ(cxDrawTextRowsA(Dib.dc, japanese, r, TLF_WORDWRAP | TLF_COUNTROWS), 2);
  r = TRect(10, 10, 10 + whole - 1, 200);
  cxDrawTextRowsA(Dib.dc, japanese, r, TLF_WORDWRAP | TLF_MEASURE);
  EXPECT_LT(r.Right - r.Left, whole * 4 / 5) << "the last two characters went to the next row together";
  // Accelerators go with TLF_STRIPACCEL: the same pixels as the plain word.
  Dib.Fill(kPaper);
  r = TRect(10, 10, 200, 40);
  cxDrawTextRowsA(Dib.dc, "&File", r, TLF_STRIPACCEL);
  const std::vector<uint32_t> stripped = Pixels();
  Dib.Fill(kPaper);
  r = TRect(10, 10, 200, 40);
  cxDrawTextRowsA(Dib.dc, "File", r, 0);
  EXPECT_EQ(stripped, Pixels());
}

TEST_F(TextRowsPaintTest, AGivenFontDrawsInItsColourUnlessATextColourIsGiven) {
  TFont red;
  red.SetName("Courier New");
  red.SetHeight(-13);
  red.SetQuality(fqNonAntialiased);
  red.SetColor(clRed);
  const struct {
    TFont* font;
    TColor textColour;
    COLORREF drawn;
  } cases[] = {
      {nullptr, clDefault, kInk},
      {&red, clDefault, RGB(255, 0, 0)},
      {&red, clBlue, RGB(0, 0, 255)},
      {nullptr, clBlue, RGB(0, 0, 255)},
  };
  for (const auto& c : cases) {
    Dib.Fill(kPaper);
    TRect r(10, 10, 200, 40);
    cxDrawTextRowsA(Dib.dc, "Colour", r, TLF_LEFT, 0, 0, c.font, clNone, clNone, 0, 0, 0, c.textColour);
    const RECT ink = Dib.InkBox(kPaper);
    ASSERT_GT(ink.Right, ink.Left);
    EXPECT_EQ(BoxOf(c.drawn).Right, ink.Right) << c.textColour;
    EXPECT_EQ(BoxOf(c.drawn).Left, ink.Left) << c.textColour;
    EXPECT_EQ(GetTextColor(Dib.dc), kInk);
    EXPECT_EQ(GetCurrentObject(Dib.dc, OBJ_FONT), Font);
  }
}

TEST_F(TextRowsPaintTest, TinyFontsBecomeBars) {
  HFONT tiny = MakeFont(-4);
  SelectObject(Dib.dc, tiny);
  TRect r(10, 10, 200, 100);
  cxDrawTextRowsW(Dib.dc, u"tiny text in bars over rows", r, TLF_WORDWRAP | TLF_BARS);
  const RECT ink = BoxOf(kInk);
  EXPECT_TRUE(Inside(ink, r));
  EXPECT_GT(ink.Right - ink.Left, 40);
  // The checkerboard: black and the window colour alternate along a bar.
  int changes = 0;
  const int y = ink.Top;
  for (int x = ink.Left + 1; x < ink.Right; ++x)
    if (Dib.Rgb(x, y) != Dib.Rgb(x - 1, y)) ++changes;
  EXPECT_GT(changes, (ink.Right - ink.Left) / 2);
  SelectObject(Dib.dc, Font);
  DeleteObject(tiny);
}

}  // namespace
