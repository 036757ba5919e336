// The "SCROLLBAR" class driven by injected input: arrows that repeat while
// held, pages, a dragged thumb, keys, disabled arrows, and the range, page
// and position it keeps for its parent.
#include <climits>

#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;

class ScrollBarTest : public TCtlTest {
 protected:
  std::vector<WPARAM> Scrolls(UINT msg) const {
    std::vector<WPARAM> r;
    for (const TLogged& l : Log.Items)
      if (l.Hwnd == Dialog && l.Msg == msg) r.push_back(l.WParam);
    return r;
  }
  HWND Bar(DWORD style, RECT r) {
    HWND b = Ctl("SCROLLBAR", "", style, r, 120);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SendMessageA(b, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
    RunUntilIdle();
    Log.Clear();
    return b;
  }
};

TEST_F(ScrollBarTest, ArrowsRepeatWhileHeldAndEndWithEndScroll) {
  HWND b = Bar(SBS_VERT, RECT(10, 10, 27, 210));
  RECT c;
  GetClientRect(b, &c);
  POINT down = ClientPoint(b, 8, c.Bottom - 5);
  InjectMouseMove(down);
  InjectMouseButton(rtl::testing::ibLeft, true, down);
  RunUntilIdle();
  rtl::testing::AdvanceClock(400);
  RunUntilIdle();
  rtl::testing::AdvanceClock(50);
  RunUntilIdle();
  InjectMouseButton(rtl::testing::ibLeft, false, down);
  RunUntilIdle();
  EXPECT_EQ(Scrolls(WM_VSCROLL), (std::vector<WPARAM>{SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_ENDSCROLL}));
  EXPECT_EQ(SendMessageA(b, SBM_GETPOS, 0, 0), 0);  // the parent moves it, not the bar
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBarTest, PagesAndTheDraggedThumb) {
  HWND b = Bar(SBS_HORZ, RECT(10, 10, 210, 27));
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  SendMessageA(b, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_GT(info.xyThumbBottom, info.xyThumbTop);
  Click(b, info.xyThumbBottom + 20, 8);
  EXPECT_EQ(Scrolls(WM_HSCROLL), (std::vector<WPARAM>{SB_PAGERIGHT, SB_ENDSCROLL}));

  Log.Clear();
  int x = (info.xyThumbTop + info.xyThumbBottom) / 2;
  rtl::testing::AdvanceClock(1000);
  InjectMouseMove(ClientPoint(b, x, 8));
  InjectMouseButton(rtl::testing::ibLeft, true, ClientPoint(b, x, 8));
  InjectMouseMove(ClientPoint(b, 500, 8));  // far past the end
  RunUntilIdle();
  SCROLLINFO si{sizeof si, SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
  SendMessageA(b, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&si));
  EXPECT_EQ(si.nTrackPos, 90);  // the last position a page of 10 allows
  EXPECT_EQ(si.nPos, 0);
  InjectMouseButton(rtl::testing::ibLeft, false, ClientPoint(b, 500, 8));
  RunUntilIdle();
  EXPECT_EQ(Scrolls(WM_HSCROLL), (std::vector<WPARAM>{MAKEWPARAM(SB_THUMBTRACK, 90), MAKEWPARAM(SB_THUMBPOSITION, 90),
                                                      SB_ENDSCROLL}));
}

TEST_F(ScrollBarTest, RangePositionKeysAndDisabledArrows) {
  HWND b = Bar(SBS_VERT | WS_TABSTOP, RECT(10, 10, 27, 210));
  EXPECT_EQ(SendMessageA(b, SBM_SETPOS, 200, TRUE), 0);
  EXPECT_EQ(SendMessageA(b, SBM_GETPOS, 0, 0), 90);
  int lo = -1, hi = -1;
  SendMessageA(b, SBM_GETRANGE, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 99);
  SetFocus(b);
  RunUntilIdle();
  Log.Clear();
  Press(VK_DOWN);
  Press(VK_HOME);
  EXPECT_EQ(Scrolls(WM_VSCROLL), (std::vector<WPARAM>{SB_LINEDOWN, SB_ENDSCROLL, SB_TOP, SB_ENDSCROLL}));
  Log.Clear();
  SendMessageA(b, SBM_ENABLE_ARROWS, ESB_DISABLE_UP, 0);
  Click(b, 8, 5);
  EXPECT_TRUE(Scrolls(WM_VSCROLL).empty());
}

// SIF_DISABLENOSCROLL greys a bar that has nothing left to scroll (and
// wakes it again when it has); without the flag enabling is left alone.
// Each bar starts at 0..99 with a page of 10, enabled.
TEST_F(ScrollBarTest, DisableNoScrollGreysABarWithNothingToScroll) {
  constexpr UINT kAll = SIF_RANGE | SIF_PAGE | SIF_POS;
  constexpr UINT kOff = SIF_DISABLENOSCROLL;
  struct TCase {
    const char* Name;
    SCROLLINFO First, Then;  // Then.fMask == 0: no second call
    bool Disabled;
  };
  const TCase cases[] = {
      {"page equals range", {sizeof(SCROLLINFO), kAll | kOff, 0, 9, 10, 0, 0}, {}, true},
      {"page beyond range", {sizeof(SCROLLINFO), kAll | kOff, 0, 9, 50, 0, 0}, {}, true},
      {"page alone covers it", {sizeof(SCROLLINFO), SIF_PAGE | kOff, 0, 0, 100, 0, 0}, {}, true},
      {"min equals max, no page", {sizeof(SCROLLINFO), kAll | kOff, 5, 5, 0, 5, 0}, {}, true},
      {"page one short of range", {sizeof(SCROLLINFO), kAll | kOff, 0, 10, 10, 0, 0}, {}, false},
      {"no page, a range", {sizeof(SCROLLINFO), kAll | kOff, 0, 1, 0, 0, 0}, {}, false},
      {"needless without the flag", {sizeof(SCROLLINFO), kAll, 0, 9, 10, 0, 0}, {}, false},
      {"needed again with the flag",
       {sizeof(SCROLLINFO), kAll | kOff, 0, 9, 10, 0, 0},
       {sizeof(SCROLLINFO), kAll | kOff, 0, 99, 10, 0, 0},
       false},
      {"needed again without the flag",
       {sizeof(SCROLLINFO), kAll | kOff, 0, 9, 10, 0, 0},
       {sizeof(SCROLLINFO), kAll, 0, 99, 10, 0, 0},
       true},
  };
  int left = 10;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND b = Bar(SBS_VERT, RECT(left, 10, left + 17, 210));
    left += 20;
    SendMessageA(b, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&c.First));
    if (c.Then.fMask) SendMessageA(b, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&c.Then));
    RunUntilIdle();
    EXPECT_TRUE(IsWindowEnabled(b)) << "the arrows are disabled, not the window";

    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetScrollBarInfo(b, OBJID_CLIENT, &info));
    const DWORD grey = c.Disabled ? STATE_SYSTEM_UNAVAILABLE : 0;
    EXPECT_EQ(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE, grey) << "the bar";
    EXPECT_EQ(info.rgstate[1] & STATE_SYSTEM_UNAVAILABLE, grey) << "the up arrow";
    EXPECT_EQ(info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE, grey) << "the down arrow";

    Log.Clear();
    rtl::testing::AdvanceClock(1000);
    Click(b, 8, 5);
    rtl::testing::AdvanceClock(1000);
    Click(b, 8, 195);
    if (c.Disabled)
      EXPECT_TRUE(Scrolls(WM_VSCROLL).empty());
    else
      EXPECT_EQ(Scrolls(WM_VSCROLL), (std::vector<WPARAM>{SB_LINEUP, SB_ENDSCROLL, SB_LINEDOWN, SB_ENDSCROLL}));
  }
}

// The window functions given SB_CTL act on the scroll bar control itself,
// not on bars in its frame.
// A range over every int: page and positions must not wrap around.
TEST_F(ScrollBarTest, TheWholeIntRangeKeepsItsPageAndPositions) {
  HWND b = Bar(SBS_HORZ, RECT(10, 10, 210, 27));
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, INT_MIN, INT_MAX, 100, INT_MAX, 0};
  SendMessageA(b, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
  SCROLLINFO got{sizeof got, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(SendMessageA(b, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&got)));
  EXPECT_EQ(got.nMin, INT_MIN);
  EXPECT_EQ(got.nMax, INT_MAX);
  EXPECT_EQ(got.nPage, 100u);
  EXPECT_EQ(got.nPos, INT_MAX - 99);  // the last page's first position
  si.fMask = SIF_POS;
  si.nPos = INT_MIN;
  SendMessageA(b, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
  ASSERT_TRUE(SendMessageA(b, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&got)));
  EXPECT_EQ(got.nPos, INT_MIN);
  RunUntilIdle();  // paints the thumb from the wide range
}

WNDPROC g_scrollBarProc = nullptr;
LRESULT LoggingScrollBarProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m >= SBM_SETPOS && m <= SBM_GETSCROLLBARINFO) Record(h, m, w, l);
  return CallWindowProcA(g_scrollBarProc, h, m, w, l);
}

// SetScrollRange on a scroll bar control: a new control's range is empty;
// the range goes to the control as SBM_SETRANGE, or SBM_SETRANGEREDRAW
// when it is to redraw; the message answers the old position only when
// the new range moved it.
TEST_F(ScrollBarTest, SetScrollRangeOnAControl) {
  HWND b = Ctl("SCROLLBAR", "", SBS_HORZ, RECT(10, 10, 210, 27), 120);
  int lo = -1, hi = -1;
  EXPECT_TRUE(GetScrollRange(b, SB_CTL, &lo, &hi));
  EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(0, 0));
  EXPECT_EQ(GetScrollPos(b, SB_CTL), 0);
  g_scrollBarProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(b, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LoggingScrollBarProc)));
  struct {
    int Pos;  // set before
    int Min, Max;
    BOOL Redraw;
    UINT Msg;  // what the control hears
    int PosAfter;
  } cases[] = {
      {30, 0, 100, TRUE, SBM_SETRANGEREDRAW, 30},   // inside the new range: stays
      {30, 0, 100, FALSE, SBM_SETRANGE, 30},
      {80, 0, 50, TRUE, SBM_SETRANGEREDRAW, 50},    // held at the new end
      {5, 10, 20, FALSE, SBM_SETRANGE, 10},         // held at the new start
      {40, -20, -10, FALSE, SBM_SETRANGE, -10},
  };
  for (const auto& k : cases) {
    SendMessageA(b, SBM_SETRANGE, 0, 1000);
    SendMessageA(b, SBM_SETPOS, static_cast<WPARAM>(k.Pos), FALSE);
    Log.Clear();
    EXPECT_TRUE(SetScrollRange(b, SB_CTL, k.Min, k.Max, k.Redraw));
    EXPECT_TRUE(MatchesSequence(Log.For(b), {{k.Msg}})) << k.Pos << " " << k.Min << ".." << k.Max;
    EXPECT_EQ(GetScrollPos(b, SB_CTL), k.PosAfter) << k.Pos << " " << k.Min << ".." << k.Max;
    EXPECT_TRUE(GetScrollRange(b, SB_CTL, &lo, &hi));
    EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(k.Min, k.Max));
    // The message's answer, sent directly.
    SendMessageA(b, SBM_SETRANGE, 0, 1000);
    SendMessageA(b, SBM_SETPOS, static_cast<WPARAM>(k.Pos), FALSE);
    EXPECT_EQ(SendMessageA(b, k.Msg, static_cast<WPARAM>(k.Min), k.Max), k.PosAfter != k.Pos ? k.Pos : 0)
        << k.Pos << " " << k.Min << ".." << k.Max;
  }
  EXPECT_EQ(GetWindowLongA(b, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0) << "no frame bars were made";
  // Wider than a LONG can span: refused before the control hears of it.
  Log.Clear();
  EXPECT_FALSE(SetScrollRange(b, SB_CTL, INT_MIN, INT_MAX, TRUE));
  EXPECT_EQ(Log.For(b).size(), 0u);
}

TEST_F(ScrollBarTest, ScrollFunctionsWithSbCtlReachTheControl) {
  HWND b = Bar(SBS_HORZ, RECT(10, 10, 210, 27));
  const LONG style = GetWindowLongA(b, GWL_STYLE);
  SCROLLINFO set{sizeof set, SIF_RANGE | SIF_PAGE | SIF_POS, 10, 60, 11, 30, 0};
  EXPECT_EQ(SetScrollInfo(b, SB_CTL, &set, TRUE), 30);
  SCROLLINFO got{sizeof got, SIF_ALL, 0, 0, 0, 0, 0};
  EXPECT_TRUE(GetScrollInfo(b, SB_CTL, &got));
  EXPECT_EQ(got.nMin, 10);
  EXPECT_EQ(got.nMax, 60);
  EXPECT_EQ(got.nPage, 11u);
  EXPECT_EQ(got.nPos, 30);
  EXPECT_EQ(SendMessageA(b, SBM_GETPOS, 0, 0), 30);

  EXPECT_EQ(SetScrollPos(b, SB_CTL, 99, TRUE), 30) << "the old position";
  EXPECT_EQ(GetScrollPos(b, SB_CTL), 50) << "held where a page of 11 still fits";
  EXPECT_TRUE(SetScrollRange(b, SB_CTL, 0, 20, TRUE));
  int lo = -1, hi = -1;
  EXPECT_TRUE(GetScrollRange(b, SB_CTL, &lo, &hi));
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 20);
  EXPECT_EQ(GetWindowLongA(b, GWL_STYLE), style) << "no frame bars were made";

  // The thumb's track position, as a dragging owner asks for it.
  SetScrollInfo(b, SB_CTL, &set, TRUE);
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  EXPECT_TRUE(GetScrollBarInfo(b, OBJID_CLIENT, &info));
  int x = (info.xyThumbTop + info.xyThumbBottom) / 2;
  EXPECT_GT(info.xyThumbBottom, info.xyThumbTop);
  InjectMouseMove(ClientPoint(b, x, 8));
  InjectMouseButton(rtl::testing::ibLeft, true, ClientPoint(b, x, 8));
  InjectMouseMove(ClientPoint(b, 500, 8));
  RunUntilIdle();
  SCROLLINFO track{sizeof track, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  EXPECT_TRUE(GetScrollInfo(b, SB_CTL, &track));
  EXPECT_EQ(track.nTrackPos, 50);
  InjectMouseButton(rtl::testing::ibLeft, false, ClientPoint(b, 500, 8));
  RunUntilIdle();

  // Disabled arrows ignore clicks; the control hides as a window.
  Log.Clear();
  EXPECT_TRUE(EnableScrollBar(b, SB_CTL, ESB_DISABLE_LEFT));
  rtl::testing::AdvanceClock(1000);
  Click(b, 5, 8);
  EXPECT_TRUE(Scrolls(WM_HSCROLL).empty());
  EXPECT_TRUE(EnableScrollBar(b, SB_CTL, ESB_ENABLE_BOTH));
  rtl::testing::AdvanceClock(1000);
  Click(b, 5, 8);
  EXPECT_EQ(Scrolls(WM_HSCROLL), (std::vector<WPARAM>{SB_LINELEFT, SB_ENDSCROLL}));
  EXPECT_TRUE(ShowScrollBar(b, SB_CTL, FALSE));
  EXPECT_FALSE(IsWindowVisible(b));
}

}  // namespace
