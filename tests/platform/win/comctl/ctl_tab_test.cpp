// The tab control past one plain row: a row too narrow for its tabs scrolls
// by whole tabs with a pair of arrows, a multi-line control wraps its tabs
// into rows with the selected row next to the pane, and tabs may sit below
// the pane. Rectangles, hit tests and the display area agree with the drawing.
#include <cstdio>
#include <cstdlib>

#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;

class TabLayoutTest : public TCtlTest {
 protected:
  HWND Tabs(int count, int width, DWORD style = 0, int height = 200) {
    HWND t = Ctl(WC_TABCONTROL, "", style | WS_TABSTOP | TCS_FOCUSONBUTTONDOWN, RECT(10, 10, 10 + width, 10 + height),
                 90);
    for (int i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "Page number %d", i);
      TCITEMA it{};
      it.mask = TCIF_TEXT;
      it.pszText = name;
      SendMessageA(t, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
    }
    RunUntilIdle();
    NotifyCodes().clear();
    // A picture of each look, on request, to check it by eye.
    if (const char* dir = std::getenv("TAB_TEST_PICTURES")) {
      char path[256];
      std::snprintf(path, sizeof path, "%s/tabs_%d_%lx.png", dir, width, static_cast<unsigned long>(style));
      rtl::testing::SaveWindowPng(t, path);
    }
    return t;
  }
  static RECT ItemRect(HWND t, int i) {
    RECT r{};
    EXPECT_TRUE(SendMessageA(t, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)));
    return r;
  }
  static POINT Centre(RECT r) { return POINT((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }
  static int Hit(HWND t, POINT p) {
    TCHITTESTINFO hti{p, 0};
    return static_cast<int>(SendMessageA(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hti)));
  }
  static int Sel(HWND t) { return static_cast<int>(SendMessageA(t, TCM_GETCURSEL, 0, 0)); }
  static HWND Arrows(HWND t) { return FindWindowExA(t, nullptr, UPDOWN_CLASSA, nullptr); }
  static bool ArrowsShown(HWND t) { return Arrows(t) && IsWindowVisible(Arrows(t)); }
  static RECT ArrowsRect(HWND t) {
    RECT r{};
    GetWindowRect(Arrows(t), &r);
    MapWindowPoints(nullptr, t, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  // Clicks the right (+1) or left (-1) arrow.
  void Scroll(HWND t, int dir) {
    HWND a = Arrows(t);
    RECT c;
    GetClientRect(a, &c);
    Click(a, dir > 0 ? c.Right * 3 / 4 : c.Right / 4, c.Bottom / 2);
  }
  static RECT Adjusted(HWND t) {
    RECT r;
    GetClientRect(t, &r);
    SendMessageA(t, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
  }
};

TEST_F(TabLayoutTest, ArrowsScrollAnOverlongRowByWholeTabs) {
  HWND t = Tabs(8, 300);
  ASSERT_TRUE(ArrowsShown(t));
  RECT arrows = ArrowsRect(t);
  EXPECT_EQ(arrows.Right, 300) << "at the right end of the row";
  EXPECT_LE(arrows.Bottom, ItemRect(t, 0).Bottom);
  EXPECT_EQ(ItemRect(t, 0).Left, 2);

  Scroll(t, +1);
  // The second tab now starts the row; the first lies left of the control.
  EXPECT_EQ(ItemRect(t, 1).Left, 2);
  EXPECT_EQ(ItemRect(t, 0).Right, 2);
  EXPECT_EQ(Sel(t), 0) << "scrolling does not choose";
  EXPECT_EQ(Hit(t, Centre(ItemRect(t, 1))), 1);
  EXPECT_EQ(Hit(t, POINT(arrows.Left + 2, (arrows.Top + arrows.Bottom) / 2)), -1) << "under the arrows: no tab";

  // Past the end the arrows stop with the last tab in view.
  for (int i = 0; i < 12; ++i) Scroll(t, +1);
  RECT last = ItemRect(t, 7);
  EXPECT_LE(last.Right, arrows.Left);
  EXPECT_GT(last.Right + ItemRect(t, 6).Width(), arrows.Left) << "scrolled no further than needed";
  POINT c = Centre(last);
  Click(t, c.X, c.Y);
  EXPECT_EQ(Sel(t), 7);
  EXPECT_EQ(NotifyCodes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));

  for (int i = 0; i < 12; ++i) Scroll(t, -1);
  EXPECT_EQ(ItemRect(t, 0).Left, 2);
  c = Centre(ItemRect(t, 0));
  Click(t, c.X, c.Y);
  EXPECT_EQ(Sel(t), 0);
}

TEST_F(TabLayoutTest, TheSelectedTabIsScrolledIntoView) {
  HWND t = Tabs(8, 300);
  POINT c = Centre(ItemRect(t, 0));
  Click(t, c.X, c.Y);
  ASSERT_EQ(GetFocus(), t);
  RECT arrows = ArrowsRect(t);
  for (int i = 1; i < 8; ++i) {
    Press(VK_RIGHT);
    ASSERT_EQ(Sel(t), i);
    RECT r = ItemRect(t, i);
    EXPECT_GE(r.Left, 2) << i;
    EXPECT_LE(r.Right, arrows.Left) << i;
    EXPECT_EQ(Hit(t, Centre(r)), i);
  }
  // Back at the start in code: the first tab shows again.
  SendMessageA(t, TCM_SETCURSEL, 0, 0);
  EXPECT_EQ(ItemRect(t, 0).Left, 2);
  SendMessageA(t, TCM_SETCURSEL, 5, 0);
  EXPECT_LE(ItemRect(t, 5).Right, arrows.Left);
  EXPECT_GE(ItemRect(t, 5).Left, 2);
}

TEST_F(TabLayoutTest, ArrowsGoWhenTheTabsFitAgain) {
  HWND t = Tabs(4, 200);
  ASSERT_TRUE(ArrowsShown(t));
  Scroll(t, +1);
  ASSERT_EQ(ItemRect(t, 1).Left, 2);
  RECT pane = Adjusted(t);

  SetWindowPos(t, nullptr, 0, 0, 600, 200, SWP_NOMOVE | SWP_NOZORDER);
  RunUntilIdle();
  EXPECT_FALSE(ArrowsShown(t));
  EXPECT_EQ(ItemRect(t, 0).Left, 2) << "the whole row shows from its start";
  EXPECT_EQ(Adjusted(t).Top, pane.Top) << "the arrows do not change the display area";

  SetWindowPos(t, nullptr, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOZORDER);
  RunUntilIdle();
  EXPECT_TRUE(ArrowsShown(t));
  for (int i = 0; i < 3; ++i) Scroll(t, +1);
  while (SendMessageA(t, TCM_GETITEMCOUNT, 0, 0) > 2) SendMessageA(t, TCM_DELETEITEM, 0, 0);
  RunUntilIdle();
  EXPECT_FALSE(ArrowsShown(t));
  EXPECT_EQ(ItemRect(t, 0).Left, 2);
  EXPECT_EQ(Hit(t, Centre(ItemRect(t, 1))), 1);
}

TEST_F(TabLayoutTest, MultiLineWrapsIntoRowsWithTheSelectedRowNextToThePane) {
  HWND t = Tabs(7, 300, TCS_MULTILINE);
  EXPECT_FALSE(ArrowsShown(t));
  const int rows = static_cast<int>(SendMessageA(t, TCM_GETROWCOUNT, 0, 0));
  ASSERT_GE(rows, 2);
  const int th = ItemRect(t, 0).Height();
  RECT pane = Adjusted(t);
  EXPECT_EQ(pane.Top, 2 + rows * th + 4) << "room for every row";

  // Every tab lies inside the control and answers the hit test at its centre.
  int lowest = 0;
  for (int i = 0; i < 7; ++i) {
    RECT r = ItemRect(t, i);
    EXPECT_GE(r.Left, 0);
    EXPECT_LE(r.Right, 300);
    EXPECT_EQ(Hit(t, Centre(r)), i) << i;
    lowest = std::max(lowest, r.Bottom);
  }
  EXPECT_EQ(ItemRect(t, 0).Bottom, lowest) << "the selected tab's row touches the pane";

  // Choosing a tab of a farther row brings that row next to the pane; the
  // rows keep their order around it.
  const int far = 6;
  ASSERT_LT(ItemRect(t, far).Bottom, lowest);
  POINT c = Centre(ItemRect(t, far));
  Click(t, c.X, c.Y);
  EXPECT_EQ(Sel(t), far);
  EXPECT_EQ(ItemRect(t, far).Bottom, lowest);
  EXPECT_LT(ItemRect(t, 0).Bottom, lowest);
  EXPECT_EQ(Adjusted(t).Top, pane.Top);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(Hit(t, Centre(ItemRect(t, i))), i) << i;

  // Stretched rows fill the width; a single row is not stretched.
  int widest = 0;
  for (int i = 0; i < 7; ++i) widest = std::max(widest, static_cast<int>(ItemRect(t, i).Right));
  EXPECT_EQ(widest, 298);
  SetWindowPos(t, nullptr, 0, 0, 2000, 200, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(SendMessageA(t, TCM_GETROWCOUNT, 0, 0), 1);
  EXPECT_LT(ItemRect(t, 6).Right, 1000);
  EXPECT_EQ(Adjusted(t).Top, 2 + th + 4);
}

TEST_F(TabLayoutTest, BottomTabsHangBelowThePane) {
  struct TCase {
    DWORD Style;
    int Count, Width;
  } cases[] = {{TCS_BOTTOM, 3, 380}, {TCS_BOTTOM | TCS_MULTILINE, 7, 300}, {TCS_BOTTOM, 8, 300}};
  for (const TCase& k : cases) {
    SCOPED_TRACE(k.Style);
    HWND t = Tabs(k.Count, k.Width, k.Style, 200);
    const int rows = static_cast<int>(SendMessageA(t, TCM_GETROWCOUNT, 0, 0));
    const int th = ItemRect(t, 0).Height();
    RECT pane = Adjusted(t);
    EXPECT_EQ(pane.Top, 4);
    EXPECT_EQ(pane.Bottom, 200 - 2 - rows * th - 4);
    // The selected tab's row meets the pane's lower edge.
    RECT sel = ItemRect(t, 0);
    EXPECT_EQ(sel.Top, pane.Bottom + 4);
    for (int i = 0; i < k.Count; ++i) {
      RECT r = ItemRect(t, i);
      EXPECT_GE(r.Top, sel.Top);
      EXPECT_LE(r.Bottom, 198);
      if (r.Right <= (ArrowsShown(t) ? ArrowsRect(t).Left : k.Width)) {
        EXPECT_EQ(Hit(t, Centre(r)), i) << i;
      }
    }
    if (k.Style & TCS_MULTILINE) {
      POINT c = Centre(ItemRect(t, k.Count - 1));
      Click(t, c.X, c.Y);
      EXPECT_EQ(ItemRect(t, k.Count - 1).Top, sel.Top) << "its row moved up to the pane";
    }
    if (ArrowsShown(t)) {
      EXPECT_GE(ArrowsRect(t).Top, sel.Top);
    }
    // The larger rectangle for a display area is the control again.
    RECT back = pane;
    SendMessageA(t, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&back));
    EXPECT_EQ(back, RECT(0, 0, k.Width, 200));
    DestroyWindow(t);
  }
}

TEST_F(TabLayoutTest, TheSelectedBottomTabJoinsThePane) {
  HWND t = Tabs(3, 380, TCS_BOTTOM);
  RECT sel = ItemRect(t, 0), other = ItemRect(t, 1);
  TPicture p = Capture(t);
  const COLORREF face = GetSysColor(COLOR_3DFACE), dark = GetSysColor(COLOR_3DDKSHADOW);
  const int edge = sel.Top - 1;  // the pane's outer lower edge line
  EXPECT_EQ(p.At(Centre(sel).X, edge), face) << "no pane edge over the selected tab";
  EXPECT_EQ(p.At(Centre(other).X, edge), dark) << "the pane's edge runs over the others";
  // Open at the top, closed at the bottom: the selected tab reaches lower.
  EXPECT_EQ(p.At(Centre(sel).X, sel.Bottom + 1), dark);
  EXPECT_EQ(p.At(Centre(other).X, other.Bottom - 1), dark);
  EXPECT_EQ(p.At(Centre(other).X, other.Bottom + 1), face);
}

}  // namespace
