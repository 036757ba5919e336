// The default non-client behaviour: the move and size loops, caption
// buttons and double clicks, and window scroll bars.
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;
using rtl::testing::InjectMouseButton;
using rtl::testing::InjectMouseMove;
using rtl::testing::RunUntilIdle;

class UserNonClientTest : public TUserTest {
 protected:
  // Press at `from`, move to each point, release at the last one.
  void Drag(POINT from, std::initializer_list<POINT> path) {
    InjectMouseMove(from);
    InjectMouseButton(rtl::testing::ibLeft, true, from);
    POINT last = from;
    for (POINT p : path) {
      InjectMouseMove(p);
      last = p;
    }
    InjectMouseButton(rtl::testing::ibLeft, false, last);
    RunUntilIdle();
  }
  std::vector<TLogged> Only(HWND h, UINT msg) {
    std::vector<TLogged> r;
    for (const TLogged& l : Log.For(h))
      if (l.Msg == msg) r.push_back(l);
    return r;
  }
};

TEST_F(UserNonClientTest, DraggingTheCaptionMovesTheWindow) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  RunUntilIdle();
  Log.Clear();
  Drag(POINT(160, 110), {POINT(180, 120), POINT(210, 140)});
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, RECT(150, 130, 350, 330));
  EXPECT_EQ(Only(a, WM_ENTERSIZEMOVE).size(), 1u);
  EXPECT_GE(Only(a, WM_MOVING).size(), 1u);  // pointer moves fold while queued
  EXPECT_EQ(Only(a, WM_EXITSIZEMOVE).size(), 1u);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(UserNonClientTest, SizingFromACornerStopsAtTheMinimumTrackingSize) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  RunUntilIdle();
  Log.Clear();
  Drag(POINT(298, 298), {POINT(250, 280), POINT(0, 0)});
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, RECT(100, 100, 100 + GetSystemMetrics(SM_CXMINTRACK), 100 + GetSystemMetrics(SM_CYMINTRACK)));
  auto sizing = Only(a, WM_SIZING);
  ASSERT_FALSE(sizing.empty());
  EXPECT_EQ(sizing[0].WParam, static_cast<WPARAM>(WMSZ_BOTTOMRIGHT));
  EXPECT_GE(Only(a, WM_SIZE).size(), 1u);
}

TEST_F(UserNonClientTest, EscapeEndsAMoveWhereItStarted) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  RunUntilIdle();
  InjectMouseMove(POINT(160, 110));
  InjectMouseButton(rtl::testing::ibLeft, true, POINT(160, 110));
  InjectMouseMove(POINT(260, 210));
  rtl::testing::InjectKeyPress(VK_ESCAPE);
  RunUntilIdle();
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, RECT(100, 100, 300, 300));
}

TEST_F(UserNonClientTest, CaptionButtonsActOnRelease) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  RunUntilIdle();
  RECT wr;
  GetWindowRect(a, &wr);
  POINT close(wr.Right - 10, wr.Top + 12);
  ASSERT_EQ(SendMessageA(a, WM_NCHITTEST, 0, MAKELPARAM(close.X, close.Y)), HTCLOSE);
  // Pressed, moved off and released elsewhere: nothing happens.
  Drag(close, {POINT(150, 200)});
  EXPECT_TRUE(IsWindow(a));
  EXPECT_TRUE(Only(a, WM_SYSCOMMAND).empty());
  // The maximise button maximises; a caption double click restores.
  POINT max(wr.Right - 30, wr.Top + 12);
  ASSERT_EQ(SendMessageA(a, WM_NCHITTEST, 0, MAKELPARAM(max.X, max.Y)), HTMAXBUTTON);
  rtl::testing::InjectClick(max);
  RunUntilIdle();
  EXPECT_TRUE(IsZoomed(a));
  RECT zr;
  GetWindowRect(a, &zr);
  POINT caption(zr.Left + 100, zr.Top + GetSystemMetrics(SM_CYFRAME) + 5);
  rtl::testing::InjectClick(caption);
  rtl::testing::InjectClick(caption);
  RunUntilIdle();
  EXPECT_FALSE(IsZoomed(a));
  // The close button closes.
  rtl::testing::InjectClick(close);
  RunUntilIdle();
  EXPECT_FALSE(IsWindow(a));
}

struct TScrollCase {
  const char* Name;
  SCROLLINFO Set;
  bool Visible;
  int Pos;
};

class UserScrollInfoTest : public UserNonClientTest, public ::testing::WithParamInterface<TScrollCase> {};

TEST_P(UserScrollInfoTest, ClampsAndShowsAsNeeded) {
  const TScrollCase& c = GetParam();
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT(0, 0, 100, 200));
  SCROLLINFO si = c.Set;
  si.cbSize = sizeof(si);
  EXPECT_EQ(SetScrollInfo(a, SB_VERT, &si, TRUE), c.Pos);
  EXPECT_EQ((GetWindowLongA(a, GWL_STYLE) & WS_VSCROLL) != 0, c.Visible);
  SCROLLINFO got{};
  got.cbSize = sizeof(got);
  got.fMask = SIF_ALL;
  GetScrollInfo(a, SB_VERT, &got);
  EXPECT_EQ(got.nPos, c.Pos);
  RECT client;
  GetClientRect(a, &client);
  EXPECT_EQ(client.Width(), c.Visible ? 100 - GetSystemMetrics(SM_CXVSCROLL) : 100);
}

INSTANTIATE_TEST_SUITE_P(
    Bars, UserScrollInfoTest,
    ::testing::Values(TScrollCase{"Plain", {0, SIF_ALL, 0, 100, 10, 50, 0}, true, 50},
                      TScrollCase{"PosBeyondMaxMinusPage", {0, SIF_ALL, 0, 100, 10, 99, 0}, true, 91},
                      TScrollCase{"PosBelowMin", {0, SIF_ALL, 20, 100, 10, 5, 0}, true, 20},
                      TScrollCase{"PageCoversAll", {0, SIF_ALL, 0, 100, 101, 0, 0}, false, 0},
                      TScrollCase{"EmptyRange", {0, SIF_RANGE | SIF_POS, 5, 5, 0, 5, 0}, false, 5},
                      TScrollCase{"KeptDisabled", {0, SIF_ALL | SIF_DISABLENOSCROLL, 0, 10, 20, 0, 0}, true, 0}),
    [](const ::testing::TestParamInfo<TScrollCase>& i) { return std::string(i.param.Name); });

TEST_F(UserNonClientTest, ScrollBarClicksSendScrollCodes) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT(0, 0, 100, 200));
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 100, 10, 0, 0};
  SetScrollInfo(a, SB_VERT, &si, TRUE);
  RunUntilIdle();
  ASSERT_EQ(SendMessageA(a, WM_NCHITTEST, 0, MAKELPARAM(91, 190)), HTVSCROLL);
  struct TCase {
    POINT From;
    std::initializer_list<POINT> Path;
    std::vector<std::pair<WORD, WORD>> Codes;  // code, position
  } cases[] = {
      {POINT(91, 190), {}, {{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}},
      {POINT(91, 100), {}, {{SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}}},
      {POINT(91, 25), {POINT(91, 100)}, {{SB_THUMBTRACK, 46}, {SB_THUMBPOSITION, 46}, {SB_ENDSCROLL, 0}}},
  };
  for (const TCase& c : cases) {
    Log.Clear();
    Drag(c.From, c.Path);
    std::vector<std::pair<WORD, WORD>> got;
    for (const TLogged& l : Only(a, WM_VSCROLL)) got.push_back({LOWORD(l.WParam), HIWORD(l.WParam)});
    EXPECT_EQ(got, c.Codes);
  }
  // The window scrolls itself: the bar only reports.
  EXPECT_EQ(GetScrollPos(a, SB_VERT), 0);
}

}  // namespace
