// The progress bar and the tab control: range, position and steps and how
// the bar is drawn; tabs chosen by mouse and keys with the parent asked
// before and told after, a refusal, the display rectangle, hit tests and
// removed tabs.
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

}  // namespace
