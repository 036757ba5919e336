// The progress bar, the tab control, the up-down control and the
// trackbar: ranges, positions and steps and how they are drawn; tabs chosen
// by mouse and keys with the parent asked before and told after, none
// chosen, and their images; an up-down stepping its buddy edit by clicks,
// repeats and keys; a trackbar's thumb dragged, paged and moved by keys,
// with the scroll codes it reports.
#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;

class ProgressTest : public TCtlTest {};

TEST_F(ProgressTest, RangePositionAndSteps) {
  HWND p = Ctl(PROGRESS_CLASS, "", 0, RECT(10, 10, 210, 30), 80);
  EXPECT_EQ(SendMessageA(p, PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessageA(p, PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessageA(p, PBM_SETRANGE32, 10, 20), MAKELRESULT(0, 100));
  EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 10);  // held inside the range
  EXPECT_EQ(SendMessageA(p, PBM_SETPOS, 99, 0), 10);
  EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 20);
  SendMessageA(p, PBM_SETPOS, 12, 0);
  EXPECT_EQ(SendMessageA(p, PBM_SETSTEP, 5, 0), 10);
  EXPECT_EQ(SendMessageA(p, PBM_STEPIT, 0, 0), 12);
  EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 17);
  SendMessageA(p, PBM_STEPIT, 0, 0);  // 22 is past the end: it starts over
  EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 12);
  SendMessageA(p, PBM_DELTAPOS, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(SendMessageA(p, PBM_GETPOS, 0, 0), 11);
  PBRANGE r{};
  SendMessageA(p, PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.iLow, 10);
  EXPECT_EQ(r.iHigh, 20);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(ProgressTest, SmoothBarFillsToThePositionAndBlocksLeaveGaps) {
  HWND smooth = Ctl(PROGRESS_CLASS, "", PBS_SMOOTH, RECT(10, 10, 214, 30), 80);
  HWND blocks = Ctl(PROGRESS_CLASS, "", 0, RECT(10, 40, 214, 60), 81);
  SendMessageA(smooth, PBM_SETPOS, 50, 0);
  SendMessageA(blocks, PBM_SETPOS, 50, 0);
  RunUntilIdle();
  COLORREF bar = GetSysColor(COLOR_HIGHLIGHT), face = GetSysColor(COLOR_3DFACE);
  TPicture s = Capture(smooth);
  EXPECT_EQ(s.At(5, 10), bar);
  EXPECT_EQ(s.At(99, 10), bar);
  EXPECT_EQ(s.At(105, 10), face);
  EXPECT_EQ(s.Count(bar, RECT(2, 10, 202, 11)), 100);
  TPicture b = Capture(blocks);
  int filled = b.Count(bar, RECT(2, 10, 202, 11));
  EXPECT_GT(filled, 60);
  EXPECT_LT(filled, 100);  // the gaps between blocks
  EXPECT_EQ(b.At(150, 10), face);
}

class TabTest : public TCtlTest {
 protected:
  HWND Tabs(std::vector<const char*> names, DWORD style = 0) {
    HWND t = Ctl(WC_TABCONTROL, "", style | WS_TABSTOP, RECT(10, 10, 390, 250), 90);
    int i = 0;
    for (const char* n : names) {
      TCITEMA it{};
      it.mask = TCIF_TEXT | TCIF_PARAM;
      it.pszText = const_cast<LPSTR>(n);
      it.lParam = 100 + i;
      EXPECT_EQ(SendMessageA(t, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it)), i);
      ++i;
    }
    RunUntilIdle();
    Log.Clear();
    NotifyCodes().clear();
    return t;
  }
  static POINT TabCentre(HWND t, int i) {
    RECT r;
    SendMessageA(t, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return POINT((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
};

TEST_F(TabTest, ClickingATabAsksThenTells) {
  HWND t = Tabs({"Conversions", "Misc", "Word Options"});
  EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), 0);
  POINT c = TabCentre(t, 2);
  Click(t, c.X, c.Y);
  EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(NotifyCodes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));

  // The parent may say no.
  NotifyCodes().clear();
  ParentHook() = [](HWND, UINT m, WPARAM, LPARAM l, LRESULT& r) {
    if (m != WM_NOTIFY || reinterpret_cast<const NMHDR*>(l)->code != TCN_SELCHANGING) return false;
    r = TRUE;
    return true;
  };
  c = TabCentre(t, 1);
  Click(t, c.X, c.Y);
  EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(NotifyCodes(), (std::vector<UINT>{TCN_SELCHANGING}));
  ParentHook() = nullptr;

  // Setting the selection is silent.
  NotifyCodes().clear();
  EXPECT_EQ(SendMessageA(t, TCM_SETCURSEL, 0, 0), 2);
  EXPECT_TRUE(NotifyCodes().empty());
}

TEST_F(TabTest, ArrowKeysMoveTheSelectionOfAFocusedControl) {
  HWND t = Tabs({"a", "b", "c"}, TCS_FOCUSONBUTTONDOWN);
  POINT c = TabCentre(t, 1);
  Click(t, c.X, c.Y);
  EXPECT_EQ(GetFocus(), t);
  Press(VK_RIGHT);
  Press(VK_RIGHT);  // already the last
  EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), 2);
  Press(VK_LEFT);
  EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(NotifyCodes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE, TCN_SELCHANGING, TCN_SELCHANGE,
                                              TCN_SELCHANGING, TCN_SELCHANGE}));
}

TEST_F(TabTest, ItemsRectanglesAndHitTests) {
  HWND t = Tabs({"One", "Two", "Three"});
  RECT a, b;
  SendMessageA(t, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&a));
  SendMessageA(t, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a.Right, b.Left);
  EXPECT_EQ(a.Top, b.Top);
  TCHITTESTINFO hti{TabCentre(t, 1), 0};
  EXPECT_EQ(SendMessageA(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hti)), 1);
  EXPECT_EQ(hti.flags, static_cast<UINT>(TCHT_ONITEMLABEL));
  hti.pt = POINT(300, 150);
  EXPECT_EQ(SendMessageA(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hti)), -1);
  EXPECT_EQ(hti.flags, static_cast<UINT>(TCHT_NOWHERE));

  // The display area lies below the tabs, and the conversion goes both ways.
  RECT client;
  GetClientRect(t, &client);
  RECT display = client;
  SendMessageA(t, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  EXPECT_GT(display.Top, a.Bottom);
  EXPECT_GT(display.Left, 0);
  SendMessageA(t, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&display));
  EXPECT_EQ(display, client);

  char text[16] = {};
  TCITEMA it{};
  it.mask = TCIF_TEXT | TCIF_PARAM;
  it.pszText = text;
  it.cchTextMax = sizeof text;
  EXPECT_TRUE(SendMessageA(t, TCM_GETITEMA, 2, reinterpret_cast<LPARAM>(&it)));
  EXPECT_STREQ(text, "Three");
  EXPECT_EQ(it.lParam, 102);

  // Hiding a page removes its tab; the selection follows its item.
  SendMessageA(t, TCM_SETCURSEL, 2, 0);
  EXPECT_TRUE(SendMessageA(t, TCM_DELETEITEM, 0, 0));
  EXPECT_EQ(SendMessageA(t, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_FALSE(SendMessageA(t, TCM_DELETEITEM, 5, 0));
}

TEST_F(TabTest, TheSelectedTabStandsOutAndJoinsThePane) {
  HWND t = Tabs({"First", "Second"});
  RunUntilIdle();
  TPicture p = Capture(t);
  RECT a, b;
  SendMessageA(t, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&a));
  SendMessageA(t, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&b));
  COLORREF light = GetSysColor(COLOR_3DHILIGHT);
  // The selected tab's top edge sits two pixels above the other's.
  EXPECT_EQ(p.At((a.Left + a.Right) / 2, a.Top - 2), light);
  EXPECT_EQ(p.At((b.Left + b.Right) / 2, b.Top), light);
  EXPECT_NE(p.At((b.Left + b.Right) / 2, b.Top - 2), light);
  // No pane line under the selected tab; one under the other.
  EXPECT_NE(p.At((a.Left + a.Right) / 2, a.Bottom), light);
  EXPECT_EQ(p.At((b.Left + b.Right) / 2, b.Bottom), light);
}

TEST_F(TabTest, MinusOneChoosesNoTabAndAnswersThePrevious) {
  HWND t = Tabs({"Conversions", "Misc"});
  SendMessageA(t, TCM_SETCURSEL, 1, 0);
  EXPECT_EQ(SendMessageA(t, TCM_SETCURSEL, static_cast<WPARAM>(-1), 0), 1);
  EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), -1);
  EXPECT_EQ(SendMessageA(t, TCM_SETCURSEL, static_cast<WPARAM>(-1), 0), -1);
  EXPECT_EQ(SendMessageA(t, TCM_SETCURSEL, 5, 0), -1) << "past the tabs: refused";
  EXPECT_EQ(SendMessageA(t, TCM_SETCURSEL, static_cast<WPARAM>(-2), 0), -1);
  EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), -1);
  EXPECT_TRUE(NotifyCodes().empty());
  // No tab stands out: both top edges are level.
  RunUntilIdle();
  TPicture p = Capture(t);
  RECT a, b;
  SendMessageA(t, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&a));
  SendMessageA(t, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&b));
  COLORREF light = GetSysColor(COLOR_3DHILIGHT);
  for (const RECT& r : {a, b}) {
    EXPECT_EQ(p.At((r.Left + r.Right) / 2, r.Top), light);
    EXPECT_NE(p.At((r.Left + r.Right) / 2, r.Top - 2), light);
    EXPECT_EQ(p.At((r.Left + r.Right) / 2, r.Bottom), light) << "the pane's edge runs under every tab";
  }
  // The user may choose again.
  POINT c = TabCentre(t, 0);
  Click(t, c.X, c.Y);
  EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(NotifyCodes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
}

// Tabs show the image of their iImage left of the caption, and are wider
// for it; a tab without one (-1) shows none.
TEST_F(TabTest, TabsDrawTheirImages) {
  HWND t = Tabs({"Conversions", "Word Options"});
  RECT plain;
  SendMessageA(t, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&plain));
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 0, 255)};
  HIMAGELIST list = ImageList_Create(12, 12, ILC_COLOR32, 2, 2);
  for (COLORREF colour : colours) {
    HDC screen = GetDC(nullptr);
    HBITMAP bm = CreateCompatibleBitmap(screen, 12, 12);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    rtl::detail::FillSolid(dc, RECT(0, 0, 12, 12), colour);
    SelectObject(dc, old);
    DeleteDC(dc);
    ImageList_Add(list, bm, nullptr);
    DeleteObject(bm);
  }
  EXPECT_EQ(SendMessageA(t, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)), 0);
  EXPECT_EQ(SendMessageA(t, TCM_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(list));
  TCITEMA it{};
  it.mask = TCIF_IMAGE;
  it.iImage = 1;
  SendMessageA(t, TCM_SETITEMA, 1, reinterpret_cast<LPARAM>(&it));
  it.iImage = -1;
  SendMessageA(t, TCM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  RunUntilIdle();
  RECT a, b;
  SendMessageA(t, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&a));
  SendMessageA(t, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(b.Width(), plain.Width() + 12 + 3);
  TPicture p = Capture(t);
  EXPECT_EQ(p.Count(colours[1], b), 12 * 12);
  EXPECT_EQ(p.Count(colours[0], a), 0);
  EXPECT_EQ(p.Count(colours[1], a), 0);
  // The image sits at the left, before the caption.
  EXPECT_EQ(p.Count(colours[1], RECT(b.Left, b.Top, b.Left + 12 + 8, b.Bottom)), 12 * 12);
  EXPECT_EQ(SendMessageA(t, TCM_SETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(list));
  ImageList_Destroy(list);
}

TEST_F(TabTest, AHighlightedTabShowsInTheSelectionColours) {
  HWND t = Tabs({"Conversions", "Word Options"});
  COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  RECT b;
  SendMessageA(t, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(Capture(t).Count(highlight, b), 0);
  EXPECT_TRUE(SendMessageA(t, TCM_HIGHLIGHTITEM, 1, MAKELPARAM(TRUE, 0)));
  TCITEMA it{};
  it.mask = TCIF_STATE;
  it.dwStateMask = TCIS_HIGHLIGHTED;
  SendMessageA(t, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&it));
  EXPECT_EQ(it.dwState, static_cast<DWORD>(TCIS_HIGHLIGHTED));
  RunUntilIdle();
  EXPECT_GT(Capture(t).Count(highlight, b), b.Width() * b.Height() / 3) << "behind the caption";
  SendMessageA(t, TCM_HIGHLIGHTITEM, 1, MAKELPARAM(FALSE, 0));
  RunUntilIdle();
  EXPECT_EQ(Capture(t).Count(highlight, b), 0);
}

class UpDownTest : public TCtlTest {
 protected:
  HWND Buddy = nullptr;
  HWND UpDown(DWORD style) {
    Buddy = Ctl("EDIT", "", ES_AUTOHSCROLL, RECT(10, 10, 110, 31), 95, WS_EX_CLIENTEDGE);
    HWND u = Ctl(UPDOWN_CLASS, "", style, RECT(0, 0, 16, 21), 96);
    RunUntilIdle();
    Log.Clear();
    NotifyCodes().clear();
    return u;
  }
  std::vector<WPARAM> Scrolls(UINT msg = WM_VSCROLL) const {
    std::vector<WPARAM> r;
    for (const TLogged& l : Log.Items)
      if (l.Hwnd == Dialog && l.Msg == msg) r.push_back(l.WParam);
    return r;
  }
};

TEST_F(UpDownTest, ArrowsStepTheBuddyAndTellTheParent) {
  HWND u = UpDown(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(u, UDM_GETBUDDY, 0, 0)), Buddy);
  RECT b, me;
  GetWindowRect(Buddy, &b);
  GetWindowRect(u, &me);
  EXPECT_EQ(me.Left, b.Right);  // beside the buddy, which gave up the room
  EXPECT_EQ(me.Right, 100 + 110);
  EXPECT_EQ(me.Height(), b.Height());
  SendMessageA(u, UDM_SETRANGE32, 0, 1500);
  SendMessageA(u, UDM_SETPOS32, 0, 999);
  EXPECT_EQ(CtlText(Buddy), "999");
  RECT c;
  GetClientRect(u, &c);
  Click(u, c.Right / 2, 2);
  EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 1000);
  EXPECT_EQ(CtlText(Buddy), "1,000");
  EXPECT_EQ(NotifyCodes(), (std::vector<UINT>{UDN_DELTAPOS}));
  EXPECT_EQ(Scrolls(), (std::vector<WPARAM>{MAKEWPARAM(SB_THUMBPOSITION, 1000), MAKEWPARAM(SB_ENDSCROLL, 0)}));
  EXPECT_EQ(GetFocus(), Buddy);

  // The buddy's arrow keys step too; what the user typed is read back.
  Press(VK_DOWN);
  EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 999);
  SetWindowTextA(Buddy, "42");
  BOOL error = TRUE;
  EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 42);
  EXPECT_FALSE(error);
  SetWindowTextA(Buddy, "4x2");
  EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 42);
  EXPECT_TRUE(error);
  EXPECT_NE(HIWORD(SendMessageA(u, UDM_GETPOS, 0, 0)), 0);
}

TEST_F(UpDownTest, HeldArrowRepeatsAndTheParentMayRefuse) {
  HWND u = UpDown(UDS_SETBUDDYINT | UDS_AUTOBUDDY);
  EXPECT_EQ(SendMessageA(u, UDM_GETRANGE, 0, 0), MAKELRESULT(0, 100));  // documented default: 100 down to 0
  SendMessageA(u, UDM_SETRANGE, 0, MAKELPARAM(10, 0));
  RECT c;
  GetClientRect(u, &c);
  InjectMouseMove(ClientPoint(u, 5, 2));
  InjectMouseButton(rtl::testing::ibLeft, true, ClientPoint(u, 5, 2));
  RunUntilIdle();
  EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 1);
  rtl::testing::AdvanceClock(400);
  RunUntilIdle();
  EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 2);
  rtl::testing::AdvanceClock(100);
  RunUntilIdle();
  EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 3);
  InjectMouseButton(rtl::testing::ibLeft, false, ClientPoint(u, 5, 2));
  RunUntilIdle();
  rtl::testing::AdvanceClock(500);
  RunUntilIdle();
  EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 3);

  ParentHook() = [](HWND, UINT m, WPARAM, LPARAM l, LRESULT& r) {
    if (m != WM_NOTIFY) return false;
    auto* nm = reinterpret_cast<const NMUPDOWN*>(l);
    EXPECT_EQ(nm->hdr.code, UDN_DELTAPOS);
    EXPECT_EQ(nm->iPos, 3);
    EXPECT_EQ(nm->iDelta, -1);
    r = TRUE;
    return true;
  };
  Click(u, 5, c.Bottom - 3);
  EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 3);
}

TEST_F(UpDownTest, WrapGoesRoundTheEnds) {
  HWND u = UpDown(UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_WRAP);
  SendMessageA(u, UDM_SETRANGE32, 1, 3);
  SendMessageA(u, UDM_SETPOS32, 0, 3);
  Click(u, 5, 2);
  EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 1);
  RECT c;
  GetClientRect(u, &c);
  rtl::testing::AdvanceClock(1000);
  Click(u, 5, c.Bottom - 3);
  EXPECT_EQ(SendMessageA(u, UDM_GETPOS32, 0, 0), 3);
}

class TrackbarTest : public UpDownTest {
 protected:
  HWND Track(DWORD style = TBS_AUTOTICKS) {
    HWND t = Ctl(TRACKBAR_CLASS, "", style | WS_TABSTOP, RECT(10, 60, 230, 90), 97);
    RunUntilIdle();
    Log.Clear();
    return t;
  }
};

TEST_F(TrackbarTest, KeysMoveByLinesPagesAndEnds) {
  HWND t = Track();
  SetFocus(t);
  RunUntilIdle();
  Log.Clear();
  Press(VK_RIGHT);
  EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 1);
  EXPECT_EQ(Scrolls(WM_HSCROLL), (std::vector<WPARAM>{TB_LINEDOWN, TB_ENDTRACK}));
  Press(VK_END);
  EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 100);
  Press(VK_PRIOR);
  EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 80);
  Press(VK_HOME);
  EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 0);
  Press(VK_LEFT);  // already at the start
  EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 0);
}

TEST_F(TrackbarTest, DraggingTheThumbTracksAndClicksBesideItPage) {
  HWND t = Track();
  RECT thumb, channel;
  SendMessageA(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  SendMessageA(t, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  int y = (thumb.Top + thumb.Bottom) / 2;
  int x0 = (thumb.Left + thumb.Right) / 2;
  int x75 = channel.Left + 2 + (channel.Width() - 5) * 3 / 4;
  InjectMouseMove(ClientPoint(t, x0, y));
  InjectMouseButton(rtl::testing::ibLeft, true, ClientPoint(t, x0, y));
  InjectMouseMove(ClientPoint(t, x75, y));
  InjectMouseButton(rtl::testing::ibLeft, false, ClientPoint(t, x75, y));
  RunUntilIdle();
  int pos = static_cast<int>(SendMessageA(t, TBM_GETPOS, 0, 0));
  EXPECT_NEAR(pos, 75, 1);
  EXPECT_EQ(GetFocus(), t);
  EXPECT_EQ(Scrolls(WM_HSCROLL), (std::vector<WPARAM>{MAKEWPARAM(TB_THUMBTRACK, pos),
                                                      MAKEWPARAM(TB_THUMBPOSITION, pos), TB_ENDTRACK}));
  Log.Clear();
  rtl::testing::AdvanceClock(1000);
  Click(t, channel.Left + 3, y);
  EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), pos - 20);
  EXPECT_EQ(Scrolls(WM_HSCROLL), (std::vector<WPARAM>{TB_PAGEUP, TB_ENDTRACK}));
}

TEST_F(TrackbarTest, RangeTicksAndVerticalReports) {
  HWND t = Track(TBS_AUTOTICKS);
  SendMessageA(t, TBM_SETRANGE, TRUE, MAKELPARAM(10, 20));
  EXPECT_EQ(SendMessageA(t, TBM_GETRANGEMIN, 0, 0), 10);
  EXPECT_EQ(SendMessageA(t, TBM_GETRANGEMAX, 0, 0), 20);
  EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 10);
  SendMessageA(t, TBM_SETTICFREQ, 5, 0);
  EXPECT_EQ(SendMessageA(t, TBM_GETNUMTICS, 0, 0), 3);
  SendMessageA(t, TBM_SETPOS, TRUE, 99);
  EXPECT_EQ(SendMessageA(t, TBM_GETPOS, 0, 0), 20);
  EXPECT_TRUE(Scrolls(WM_HSCROLL).empty());  // setting is silent

  HWND v = Ctl(TRACKBAR_CLASS, "", TBS_VERT, RECT(250, 10, 280, 200), 98);
  SetFocus(v);
  RunUntilIdle();
  Log.Clear();
  Press(VK_DOWN);
  EXPECT_EQ(SendMessageA(v, TBM_GETPOS, 0, 0), 1);
  EXPECT_EQ(Scrolls(WM_VSCROLL), (std::vector<WPARAM>{TB_LINEDOWN, TB_ENDTRACK}));
  RECT thumb;
  SendMessageA(v, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  EXPECT_GT(thumb.Height(), 0);
  EXPECT_GT(thumb.Width(), thumb.Height());  // lying across a vertical channel
}

}  // namespace
