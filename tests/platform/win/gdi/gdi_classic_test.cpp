#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/common/dib_canvas.h"

namespace {

uint32_t Sys(int i) { return Px(GetSysColor(i)); }

struct TEdgeCase {
  const char* name;
  UINT edge, flags;
  int outerTL, outerBR, innerTL, innerBR;
};

class DrawEdgeTest : public ::testing::TestWithParam<TEdgeCase> {};

TEST_P(DrawEdgeTest, BordersTakeTheThreeDColours) {
  const TEdgeCase& k = GetParam();
  TDibCanvas c(10, 8, 0x00123456u);
  RECT r{0, 0, 10, 8};
  ASSERT_TRUE(DrawEdge(c.dc, &r, k.edge, k.flags | BF_RECT | BF_ADJUST));
  EXPECT_EQ(r, RECT(2, 2, 8, 6)) << "adjusted inside both borders";
  EXPECT_EQ(c.Rgb(0, 3), Sys(k.outerTL));
  EXPECT_EQ(c.Rgb(4, 0), Sys(k.outerTL));
  EXPECT_EQ(c.Rgb(0, 0), Sys(k.outerTL));
  EXPECT_EQ(c.Rgb(9, 0), Sys(k.outerBR)) << "the far corners belong to right and bottom";
  EXPECT_EQ(c.Rgb(0, 7), Sys(k.outerBR));
  EXPECT_EQ(c.Rgb(9, 7), Sys(k.outerBR));
  EXPECT_EQ(c.Rgb(1, 3), Sys(k.innerTL));
  EXPECT_EQ(c.Rgb(4, 1), Sys(k.innerTL));
  EXPECT_EQ(c.Rgb(8, 3), Sys(k.innerBR));
  EXPECT_EQ(c.Rgb(4, 6), Sys(k.innerBR));
  EXPECT_EQ(c.Rgb(4, 3), 0x123456u) << "the middle stays without BF_MIDDLE";
}

INSTANTIATE_TEST_SUITE_P(
    Edges, DrawEdgeTest,
    ::testing::Values(
        TEdgeCase{"Raised", EDGE_RAISED, 0, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DHIGHLIGHT, COLOR_3DSHADOW},
        TEdgeCase{"Sunken", EDGE_SUNKEN, 0, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
        TEdgeCase{"Etched", EDGE_ETCHED, 0, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT, COLOR_3DHIGHLIGHT, COLOR_3DSHADOW},
        TEdgeCase{"Bump", EDGE_BUMP, 0, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
        TEdgeCase{"SoftRaised", EDGE_RAISED, BF_SOFT, COLOR_3DHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT,
                  COLOR_3DSHADOW},
        TEdgeCase{"Flat", EDGE_SUNKEN, BF_FLAT, COLOR_3DSHADOW, COLOR_3DSHADOW, COLOR_3DFACE, COLOR_3DFACE},
        TEdgeCase{"Mono", EDGE_RAISED, BF_MONO, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME, COLOR_WINDOW, COLOR_WINDOW}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClassicTest, EdgesOnChosenSidesAndTheMiddle) {
  TDibCanvas c(10, 10, 0x00123456u);
  RECT r{0, 0, 10, 10};
  DrawEdge(c.dc, &r, BDR_RAISEDOUTER, BF_LEFT | BF_TOP | BF_MIDDLE);
  EXPECT_EQ(c.Rgb(0, 9), Sys(COLOR_3DLIGHT)) << "the left side runs to the bottom without a bottom side";
  EXPECT_EQ(c.Rgb(9, 9), Sys(COLOR_3DFACE)) << "no right or bottom border: the middle reaches the corner";
  EXPECT_EQ(r, RECT(0, 0, 10, 10)) << "no BF_ADJUST";
}

TEST(ClassicTest, PushButtonsAndTheirStates) {
  TDibCanvas c(20, 16, 0);
  RECT r{0, 0, 20, 16};
  ASSERT_TRUE(DrawFrameControl(c.dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
  EXPECT_EQ(r, RECT(2, 2, 18, 14));
  EXPECT_EQ(c.Rgb(0, 0), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(c.Rgb(19, 15), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.Rgb(18, 14), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.Rgb(10, 8), Sys(COLOR_3DFACE));
  r = RECT{0, 0, 20, 16};
  DrawFrameControl(c.dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  EXPECT_EQ(c.Rgb(0, 0), Sys(COLOR_WINDOWFRAME));
  EXPECT_EQ(c.Rgb(1, 1), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.Rgb(10, 8), Sys(COLOR_3DFACE));
}

TEST(ClassicTest, CheckBoxesInEveryState) {
  struct TCase {
    UINT state;
    int inside;     // system colour of the box's inside
    int mark;       // system colour of the check mark, -1 for none
  } cases[] = {
      {0, COLOR_WINDOW, -1},
      {DFCS_CHECKED, COLOR_WINDOW, COLOR_WINDOWTEXT},
      {DFCS_PUSHED, COLOR_3DFACE, -1},
      {DFCS_CHECKED | DFCS_INACTIVE, COLOR_3DFACE, COLOR_3DSHADOW},
      {DFCS_BUTTON3STATE | DFCS_CHECKED, COLOR_3DFACE, COLOR_3DSHADOW},
  };
  for (const TCase& k : cases) {
    TDibCanvas c(13, 13, 0);
    RECT r{0, 0, 13, 13};
    DrawFrameControl(c.dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | k.state);
    EXPECT_EQ(c.Rgb(0, 0), Sys(COLOR_3DSHADOW)) << k.state;
    EXPECT_EQ(c.Rgb(1, 1), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(c.Rgb(12, 12), Sys(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(c.Rgb(11, 11), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(c.Rgb(2, 2), Sys(k.inside)) << k.state;
    int marked = 9 * 9 - c.CountNot(k.mark >= 0 ? Sys(k.mark) : 0x01020304u, 2, 2, 11, 11, 0xFFFFFF);
    EXPECT_EQ(marked, k.mark >= 0 ? 21 : 0) << "a 7x7 check of three-pixel columns, state " << k.state;
  }
}

TEST(ClassicTest, RadioMaskAndImageAgree) {
  TDibCanvas mask(13, 13, 0x00FF00u), image(13, 13, 0x00FF00u);
  RECT r{0, 0, 13, 13};
  DrawFrameControl(mask.dc, &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  DrawFrameControl(image.dc, &r, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
  EXPECT_EQ(mask.Rgb(0, 0), 0xFFFFFFu) << "outside the mask is white";
  EXPECT_EQ(image.Rgb(0, 0), 0u) << "outside the image is black";
  RECT ink = mask.InkBox(0xFFFFFF);
  EXPECT_EQ(ink.Right - ink.Left, 12) << "the radio is 12 pixels across";
  EXPECT_EQ(ink.Bottom - ink.Top, 12);
  int leaks = 0;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 13; ++x) leaks += mask.Rgb(x, y) == 0xFFFFFFu && image.Rgb(x, y) != 0u;
  EXPECT_EQ(leaks, 0) << "the image is black wherever the mask is white";
  EXPECT_EQ(image.Rgb(6, 6), Sys(COLOR_WINDOWTEXT)) << "the dot";
  TDibCanvas plain(12, 12, 0);
  RECT p{0, 0, 12, 12};
  DrawFrameControl(plain.dc, &p, DFC_BUTTON, DFCS_BUTTONRADIO);
  EXPECT_EQ(plain.Rgb(4, 0), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(plain.Rgb(7, 11), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(plain.Rgb(6, 6), Sys(COLOR_WINDOW)) << "unchecked";
}

TEST(ClassicTest, ScrollArrowsGripsCaptionsAndMenus) {
  TDibCanvas up(16, 16, 0);
  RECT r{0, 0, 16, 16};
  DrawFrameControl(up.dc, &r, DFC_SCROLL, DFCS_SCROLLUP);
  RECT glyph = up.InkBox(Sys(COLOR_3DFACE));
  int black = 256 - up.CountNot(Sys(COLOR_BTNTEXT), 2, 2, 14, 14, 0xFFFFFF);
  EXPECT_GT(black, 5);
  // The tip is one pixel at the top of the arrow.
  int top = -1;
  for (int y = 2; y < 14 && top < 0; ++y)
    for (int x = 2; x < 14; ++x)
      if (up.Rgb(x, y) == Sys(COLOR_BTNTEXT)) {
        top = y;
        break;
      }
  ASSERT_GE(top, 0);
  EXPECT_EQ(16 - up.CountNot(Sys(COLOR_BTNTEXT), 0, top, 16, top + 1, 0xFFFFFF), 1);
  EXPECT_EQ(glyph, RECT(0, 0, 16, 16));
  TDibCanvas down(16, 16, 0);
  DrawFrameControl(down.dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE);
  EXPECT_GT(256 - down.CountNot(Sys(COLOR_3DSHADOW), 2, 2, 14, 14, 0xFFFFFF), 5) << "embossed grey glyph";
  TDibCanvas grip(16, 16, 0);
  DrawFrameControl(grip.dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  EXPECT_EQ(grip.Rgb(14, 15), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(grip.Rgb(13, 15), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(grip.Rgb(0, 0), Sys(COLOR_3DFACE));
  TDibCanvas close(16, 14, 0);
  RECT cr{0, 0, 16, 14};
  DrawFrameControl(close.dc, &cr, DFC_CAPTION, DFCS_CAPTIONCLOSE);
  EXPECT_GT(16 * 14 - close.CountNot(Sys(COLOR_BTNTEXT), 0, 0, 16, 14, 0xFFFFFF), 10);
  TDibCanvas menu(16, 16, 0x00FF0000u);
  DrawFrameControl(menu.dc, &r, DFC_MENU, DFCS_MENUCHECK);
  std::set<uint32_t> colours;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) colours.insert(menu.Rgb(x, y));
  EXPECT_EQ(colours, (std::set<uint32_t>{0u, 0xFFFFFFu})) << "menu glyphs are black on white";
}

TEST(ClassicTest, FocusRectanglesInvertDotsAndUndoThemselves) {
  TDibCanvas c(12, 10, 0xFF336699u);
  RECT r{1, 1, 11, 9};
  ASSERT_TRUE(DrawFocusRect(c.dc, &r));
  int changed = c.CountNot(0xFF336699u, 0, 0, 12, 10);
  EXPECT_EQ(changed, 16) << "every other pixel of the 32-pixel frame";
  EXPECT_NE(c.At(1, 1) != 0xFF336699u, c.At(2, 1) != 0xFF336699u) << "dots alternate";
  EXPECT_EQ(c.At(5, 5), 0xFF336699u);
  DrawFocusRect(c.dc, &r);
  EXPECT_EQ(c.CountNot(0xFF336699u, 0, 0, 12, 10), 0) << "drawn twice, nothing is left";
}

TEST(ClassicTest, DisabledStateIsEmbossed) {
  TDibCanvas c(80, 30, 0x00FFFFFFu);
  SelectObject(c.dc, GetStockObject(DEFAULT_GUI_FONT));
  ASSERT_TRUE(DrawStateA(c.dc, nullptr, nullptr, reinterpret_cast<LPARAM>("Text"), 0, 5, 5, 0, 0,
                         DST_TEXT | DSS_DISABLED));
  std::set<uint32_t> colours;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) colours.insert(c.Rgb(x, y));
  EXPECT_TRUE(colours.count(Sys(COLOR_3DSHADOW)));
  EXPECT_LE(colours.size(), 3u) << "shadow, highlight (white here) and background";
  c.Fill(0x00FFFFFFu);
  SetBkMode(c.dc, TRANSPARENT);
  GrayStringA(c.dc, nullptr, nullptr, reinterpret_cast<LPARAM>("Grey"), 0, 5, 5, 0, 0);
  RECT ink = c.InkBox(0xFFFFFF);
  EXPECT_FALSE(ink.Right <= ink.Left);
  uint32_t darkest = 255;
  for (int y = ink.Top; y < ink.Bottom; ++y)
    for (int x = ink.Left; x < ink.Right; ++x) darkest = std::min(darkest, c.Rgb(x, y) & 0xFF);
  EXPECT_GE(darkest, Sys(COLOR_GRAYTEXT) & 0xFF) << "drawn in the grey text colour, never darker";
  EXPECT_LT(darkest, 0xC0u);
}

}  // namespace
