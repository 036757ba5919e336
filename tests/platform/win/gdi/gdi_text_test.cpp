#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <unistd.h>
#include <set>
#include <string>
#include <vector>

#include "tests/common/dib_canvas.h"

namespace {

HFONT MakeFont(int height, const char* face = "Tahoma", int weight = FW_NORMAL, BYTE quality = DEFAULT_QUALITY,
               int escapement = 0, BYTE underline = 0) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfQuality = quality;
  lf.lfEscapement = escapement;
  lf.lfUnderline = underline;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

class TextTest : public ::testing::Test {
 protected:
  TDibCanvas c{200, 80, 0x00FFFFFFu};
  HFONT font = MakeFont(-13);
  HGDIOBJ old = nullptr;
  void SetUp() override {
    old = SelectObject(c.dc, font);
    SetBkMode(c.dc, TRANSPARENT);
  }
  void TearDown() override {
    SelectObject(c.dc, old);
    DeleteObject(font);
  }
  SIZE Extent(const char* s) {
    SIZE sz{};
    GetTextExtentPoint32A(c.dc, s, static_cast<int>(std::strlen(s)), &sz);
    return sz;
  }
};

// Text is UTF-8 whatever set a font asks for, so the realized font reports
// the ANSI set (symbol fonts excepted), while the logical font keeps what
// was asked.
TEST_F(TextTest, RealizedFontsReportTheAnsiSetExceptSymbolFonts) {
  const struct {
    BYTE asked, realized;
  } cases[] = {{ANSI_CHARSET, ANSI_CHARSET},
               {DEFAULT_CHARSET, ANSI_CHARSET},
               {RUSSIAN_CHARSET, ANSI_CHARSET},
               {SHIFTJIS_CHARSET, ANSI_CHARSET},
               {SYMBOL_CHARSET, SYMBOL_CHARSET}};
  for (const auto& k : cases) {
    LOGFONTA lf{};
    lf.lfHeight = -13;
    lf.lfCharSet = k.asked;
    std::strncpy(lf.lfFaceName, "Tahoma", LF_FACESIZE - 1);
    HFONT f = CreateFontIndirectA(&lf);
    HGDIOBJ prev = SelectObject(c.dc, f);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
    EXPECT_EQ(tm.tmCharSet, k.realized) << int(k.asked);
    EXPECT_EQ(GetTextCharset(c.dc), k.realized) << int(k.asked);
    LOGFONTA back{};
    GetObjectA(f, sizeof back, &back);
    EXPECT_EQ(back.lfCharSet, k.asked);
    SelectObject(c.dc, prev);
    DeleteObject(f);
  }
}

TEST_F(TextTest, MetricsAreConsistent) {
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 13) << "negative height is the character height";
  EXPECT_GT(tm.tmAveCharWidth, 3);
  EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  EXPECT_EQ(tm.tmBreakChar, ' ');
  EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);
  EXPECT_EQ(GetTextCharset(c.dc), ANSI_CHARSET);
  EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);
  EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH) << "set for variable pitch";
  // A positive height is the cell height.
  HFONT cell = MakeFont(20);
  SelectObject(c.dc, cell);
  GetTextMetricsA(c.dc, &tm);
  EXPECT_LE(tm.tmHeight, 20);
  EXPECT_GE(tm.tmHeight, 18);
  SelectObject(c.dc, font);
  DeleteObject(cell);
  char face[LF_FACESIZE];
  EXPECT_GT(GetTextFaceA(c.dc, LF_FACESIZE, face), 0);
  EXPECT_STREQ(face, "Tahoma");
}

TEST_F(TextTest, ExtentsAddUpFromCharacterWidths) {
  const char* s = "Hello, World";
  int n = static_cast<int>(std::strlen(s));
  int sum = 0;
  for (int i = 0; i < n; ++i) {
    INT w = 0;
    GetCharWidth32A(c.dc, UINT(static_cast<unsigned char>(s[i])), UINT(static_cast<unsigned char>(s[i])), &w);
    sum += w;
  }
  SIZE sz = Extent(s);
  EXPECT_EQ(sz.cx, sum);
  std::vector<INT> partial(static_cast<size_t>(n));
  INT fit = 0;
  SIZE sz2{};
  ASSERT_TRUE(GetTextExtentExPointA(c.dc, s, n, sz.cx / 2, &fit, partial.data(), &sz2));
  EXPECT_EQ(sz2, sz);
  EXPECT_EQ(partial.back(), sz.cx);
  EXPECT_LE(partial[size_t(fit - 1)], sz.cx / 2);
  EXPECT_GT(partial[size_t(fit)], sz.cx / 2);
  SIZE head{};
  GetTextExtentPoint32A(c.dc, s, 5, &head);
  EXPECT_EQ(partial[4], head.cx) << "partial widths agree with shorter strings";
  // Character extra and justification widen the text.
  SetTextCharacterExtra(c.dc, 2);
  EXPECT_EQ(Extent(s).cx, sz.cx + 2 * n);
  SetTextCharacterExtra(c.dc, 0);
  SetTextJustification(c.dc, 7, 1);
  EXPECT_EQ(Extent(s).cx, sz.cx + 7) << "one space takes the break extra";
  SetTextJustification(c.dc, 0, 0);
  ABC abc{};
  ASSERT_TRUE(GetCharABCWidthsA(c.dc, 'W', 'W', &abc));
  INT w = 0;
  GetCharWidth32A(c.dc, 'W', 'W', &w);
  EXPECT_EQ(abc.abcA + int(abc.abcB) + abc.abcC, w);
}

TEST_F(TextTest, AnsiIsUtf8AndMatchesWide) {
  const char* utf8 = "Gr\xC3\xBC\xC3\x9F" "e";
  const char16_t* wide = u"Grüße";
  SIZE a{}, w{};
  GetTextExtentPoint32A(c.dc, utf8, static_cast<int>(std::strlen(utf8)), &a);
  GetTextExtentPoint32W(c.dc, wide, 5, &w);
  EXPECT_EQ(a, w);
  INT partial[7] = {};
  INT fit = 0;
  SIZE sz{};
  GetTextExtentExPointA(c.dc, utf8, 7, 1000, &fit, partial, &sz);
  EXPECT_EQ(fit, 7) << "counted in bytes";
  EXPECT_EQ(partial[6], sz.cx);
  EXPECT_EQ(partial[2], partial[3]) << "both bytes of a character share its extent";
}

TEST_F(TextTest, TextOutInksInsideItsCellWithZeroAlpha) {
  SIZE sz = Extent("Sample");
  TEXTMETRICA tm{};
  GetTextMetricsA(c.dc, &tm);
  SetTextColor(c.dc, RGB(0, 0, 0));
  c.Fill(0xFFFFFFFFu);
  ASSERT_TRUE(TextOutA(c.dc, 10, 20, "Sample", 6));
  RECT ink = c.InkBox(0xFFFFFF);
  ASSERT_FALSE(ink.Right <= ink.Left);
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 10 + sz.cx + 1);
  EXPECT_GE(ink.Top, 20);
  EXPECT_LE(ink.Bottom, 20 + tm.tmHeight);
  int inked = 0, alphaSet = 0;
  for (int y = ink.Top; y < ink.Bottom; ++y)
    for (int x = ink.Left; x < ink.Right; ++x)
      if (c.Rgb(x, y) != 0xFFFFFFu) {
        ++inked;
        alphaSet += (c.At(x, y) >> 24) != 0;
      }
  EXPECT_GT(inked, 20);
  EXPECT_EQ(alphaSet, 0) << "text writes alpha 0";
  // Opaque background fills the cell.
  c.Fill(0x00FFFFFFu);
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, RGB(255, 0, 0));
  TextOutA(c.dc, 10, 20, "Sample", 6);
  EXPECT_EQ(c.Rgb(10, 20), 0xFF0000u);
  EXPECT_EQ(c.Rgb(10 + sz.cx - 1, 20 + tm.tmHeight - 1), 0xFF0000u);
  EXPECT_EQ(c.Rgb(10 + sz.cx, 20), 0xFFFFFFu);
  EXPECT_EQ(c.Rgb(10, 20 + tm.tmHeight), 0xFFFFFFu);
}

TEST_F(TextTest, AlignmentMovesTheReferencePoint) {
  SIZE sz = Extent("Wide");
  TEXTMETRICA tm{};
  GetTextMetricsA(c.dc, &tm);
  struct TCase {
    UINT align;
    int left, top;  // expected cell origin for reference (100, 40)
  } cases[] = {
      {TA_LEFT | TA_TOP, 100, 40},
      {TA_RIGHT | TA_TOP, 100 - sz.cx, 40},
      {TA_CENTER | TA_TOP, 100 - sz.cx / 2, 40},
      {TA_LEFT | TA_BASELINE, 100, 40 - tm.tmAscent},
      {TA_LEFT | TA_BOTTOM, 100, 40 - tm.tmHeight},
  };
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, RGB(0, 0, 255));
  SetTextColor(c.dc, RGB(0, 0, 255));
  for (const TCase& k : cases) {
    c.Fill(0x00FFFFFFu);
    SetTextAlign(c.dc, k.align);
    TextOutA(c.dc, 100, 40, "Wide", 4);
    EXPECT_EQ(c.InkBox(0xFFFFFF), RECT(k.left, k.top, k.left + sz.cx, k.top + tm.tmHeight)) << k.align;
  }
  SetTextAlign(c.dc, TA_UPDATECP);
  MoveToEx(c.dc, 5, 5, nullptr);
  TextOutA(c.dc, 0, 0, "Wide", 4);
  POINT cp;
  GetCurrentPositionEx(c.dc, &cp);
  EXPECT_EQ(cp, POINT(5 + sz.cx, 5));
  SetTextAlign(c.dc, TA_LEFT);
}

TEST_F(TextTest, ExtTextOutOpaqueClippedAndSpacing) {
  RECT r{20, 10, 40, 30};
  SetBkColor(c.dc, RGB(0, 255, 0));
  SetTextColor(c.dc, RGB(0, 0, 0));
  ASSERT_TRUE(ExtTextOutA(c.dc, 20, 10, ETO_OPAQUE | ETO_CLIPPED, &r, "WWWWWWWW", 8, nullptr));
  EXPECT_EQ(c.Rgb(20, 10), 0x00FF00u);
  EXPECT_EQ(c.Rgb(39, 29), 0x00FF00u);
  RECT ink = c.InkBox(0xFFFFFF);
  EXPECT_EQ(ink, RECT(20, 10, 40, 30)) << "nothing outside the clip rectangle";
  // Explicit advances place each character.
  c.Fill(0x00FFFFFFu);
  INT dx[3] = {30, 30, 30};
  ExtTextOutA(c.dc, 10, 40, 0, nullptr, "lll", 3, dx);
  RECT ink2 = c.InkBox(0xFFFFFF);
  EXPECT_GE(ink2.Right - ink2.Left, 61);
  EXPECT_LE(ink2.Right - ink2.Left, 75);
}

TEST_F(TextTest, NonAntialiasedQualityGivesTwoColours) {
  HFONT aliased = MakeFont(-15, "Arial", FW_NORMAL, NONANTIALIASED_QUALITY);
  SelectObject(c.dc, aliased);
  SetTextColor(c.dc, RGB(0, 0, 0));
  TextOutA(c.dc, 5, 5, "Round shapes @%&", 16);
  std::set<uint32_t> colours;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) colours.insert(c.Rgb(x, y));
  EXPECT_EQ(colours, (std::set<uint32_t>{0u, 0xFFFFFFu}));
  SelectObject(c.dc, font);
  DeleteObject(aliased);
  // The default quality blends edges.
  c.Fill(0x00FFFFFFu);
  TextOutA(c.dc, 5, 5, "Round shapes @%&", 16);
  colours.clear();
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) colours.insert(c.Rgb(x, y));
  EXPECT_GT(colours.size(), 2u);
}

TEST_F(TextTest, EscapementRotatesText) {
  HFONT up = MakeFont(-13, "Tahoma", FW_NORMAL, DEFAULT_QUALITY, 900);
  SelectObject(c.dc, up);
  SetTextColor(c.dc, RGB(0, 0, 0));
  TDibCanvas tall(40, 120, 0x00FFFFFFu);
  SelectObject(tall.dc, up);
  SetBkMode(tall.dc, TRANSPARENT);
  TextOutA(tall.dc, 5, 110, "Vertical", 8);
  RECT ink = tall.InkBox(0xFFFFFF);
  EXPECT_GT(ink.Bottom - ink.Top, 2 * (ink.Right - ink.Left)) << "runs upwards";
  EXPECT_LE(ink.Bottom, 111);
  EXPECT_GE(ink.Left, 4) << "the cell lies to the right of the baseline's start";
  SelectObject(tall.dc, GetStockObject(SYSTEM_FONT));
  SelectObject(c.dc, font);
  DeleteObject(up);
}

TEST_F(TextTest, WorldTransformScalesGlyphs) {
  SIZE logical = Extent("Scaled");
  TextOutA(c.dc, 0, 0, "Scaled", 6);
  RECT plain = c.InkBox(0xFFFFFF);
  c.Fill(0x00FFFFFFu);
  SetGraphicsMode(c.dc, GM_ADVANCED);
  XFORM twice{2, 0, 0, 2, 0, 0};
  SetWorldTransform(c.dc, &twice);
  SIZE scaled = Extent("Scaled");
  EXPECT_NEAR(scaled.cx, logical.cx, 2) << "extents stay logical";
  TextOutA(c.dc, 0, 0, "Scaled", 6);
  RECT big = c.InkBox(0xFFFFFF);
  EXPECT_NEAR(big.Right - big.Left, 2 * (plain.Right - plain.Left), 4);
  EXPECT_NEAR(big.Bottom - big.Top, 2 * (plain.Bottom - plain.Top), 3);
  ModifyWorldTransform(c.dc, nullptr, MWT_IDENTITY);
  SetGraphicsMode(c.dc, GM_COMPATIBLE);
}

TEST_F(TextTest, UnderlineSpansTheText) {
  HFONT u = MakeFont(-13, "Tahoma", FW_NORMAL, DEFAULT_QUALITY, 0, 1);
  SelectObject(c.dc, u);
  SetTextColor(c.dc, RGB(0, 0, 0));
  TextOutA(c.dc, 10, 10, "a  b", 4);
  SIZE sz = Extent("a  b");
  TEXTMETRICA tm{};
  GetTextMetricsA(c.dc, &tm);
  bool found = false;
  for (int y = 10 + tm.tmAscent; y < 10 + tm.tmHeight && !found; ++y)
    found = c.CountNot(0xFFFFFF, 10, y, 10 + sz.cx, y + 1, 0xFFFFFF) == sz.cx;
  EXPECT_TRUE(found) << "a full-width row below the baseline";
  SelectObject(c.dc, font);
  DeleteObject(u);
}

TEST_F(TextTest, TabbedTextUsesTabStops) {
  INT stops[1] = {60};
  DWORD ext = GetTabbedTextExtentA(c.dc, "a\tb", 3, 1, stops);
  SIZE b = Extent("b");
  TEXTMETRICA tm{};
  GetTextMetricsA(c.dc, &tm);
  EXPECT_EQ(LOWORD(ext), 60 + b.cx);
  EXPECT_EQ(HIWORD(ext), tm.tmHeight);
  SetTextColor(c.dc, RGB(0, 0, 0));
  LONG r = TabbedTextOutA(c.dc, 10, 10, "\tb", 2, 1, stops, 10);
  EXPECT_EQ(LOWORD(r), 60 + b.cx);
  RECT ink = c.InkBox(0xFFFFFF);
  EXPECT_GE(ink.Left, 70);
  EXPECT_LE(ink.Right, 70 + b.cx + 1);
  // Without stops, tabs are eight average characters apart.
  DWORD def = GetTabbedTextExtentA(c.dc, "\t", 1, 0, nullptr);
  EXPECT_EQ(LOWORD(def), 8 * tm.tmAveCharWidth);
}

TEST_F(TextTest, FaceMappingAndEnumeration) {
  HFONT mono = MakeFont(-13, "Courier New");
  SelectObject(c.dc, mono);
  INT wi = 0, ww = 0;
  GetCharWidth32A(c.dc, 'i', 'i', &wi);
  GetCharWidth32A(c.dc, 'W', 'W', &ww);
  EXPECT_EQ(wi, ww) << "a monospace family";
  TEXTMETRICA tm{};
  GetTextMetricsA(c.dc, &tm);
  EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);
  SelectObject(c.dc, font);
  DeleteObject(mono);

  std::set<std::string> names;
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(
      c.dc, &lf,
      [](const LOGFONTA* f, const TEXTMETRICA*, DWORD type, LPARAM p) -> int {
        EXPECT_EQ(type, DWORD(TRUETYPE_FONTTYPE));
        reinterpret_cast<std::set<std::string>*>(p)->insert(f->lfFaceName);
        return 1;
      },
      reinterpret_cast<LPARAM>(&names), 0);
  EXPECT_TRUE(names.count("Tahoma"));
  EXPECT_TRUE(names.count("Liberation Sans") || names.count("DejaVu Sans"));
  int calls = 0;
  EnumFontFamiliesA(
      c.dc, "Tahoma",
      [](const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM p) -> int {
        ++*reinterpret_cast<int*>(p);
        return 0;
      },
      reinterpret_cast<LPARAM>(&calls));
  EXPECT_EQ(calls, 1);
}

}  // namespace

TEST(FontResources, RemoveTakesBackOnlyWhatAddAdded) {
  const char* file = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (access(file, R_OK) != 0) GTEST_SKIP() << "no DejaVu font file";
  struct Step {
    bool add;  // else remove
    const char* name;
    DWORD flags;
    bool ok;
  };
  const Step steps[] = {
      {false, file, FR_PRIVATE, false},  // never added
      {true, file, FR_PRIVATE, true},
      {true, file, FR_PRIVATE, true},
      {false, file, FR_NOT_ENUM, false},  // flags must match the add
      {false, file, FR_PRIVATE, true},
      {false, file, FR_PRIVATE, true},   // added twice, removed twice
      {false, file, FR_PRIVATE, false},  // nothing left
      {true, "/nonexistent/font.ttf", FR_PRIVATE, false},
      {false, "/nonexistent/font.ttf", FR_PRIVATE, false},
      {false, nullptr, FR_PRIVATE, false},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    const Step& s = steps[i];
    bool ok = s.add ? AddFontResourceExA(s.name, s.flags, nullptr) > 0 : RemoveFontResourceExA(s.name, s.flags, nullptr) != 0;
    EXPECT_EQ(ok, s.ok) << "step " << i;
  }
}
