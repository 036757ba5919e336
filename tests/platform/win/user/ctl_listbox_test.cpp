// The "LISTBOX" class driven by injected input: single, extended and
// multiple selection with the mouse and keys, sorting, owner-drawn items
// of fixed and variable height, scrolling, searching and the keyboard
// questions it asks its parent.
#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;

class ListBoxTest : public TCtlTest {
 protected:
  HWND List(DWORD style, std::vector<const char*> items, RECT r = RECT(10, 10, 160, 150)) {
    HWND l = Ctl("LISTBOX", "", style, r, 60, WS_EX_CLIENTEDGE);
    for (const char* s : items) SendMessageA(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    RunUntilIdle();
    Log.Clear();
    return l;
  }
  // A point in the middle of item i.
  static void ClickItem(TCtlTest* t, HWND l, int i, UINT modifier = 0) {
    RECT r;
    SendMessageA(l, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    rtl::testing::AdvanceClock(1000);  // never a double click
    if (modifier) InjectKey(modifier, true);
    InjectClick(ClientPoint(l, 20, (r.Top + r.Bottom) / 2));
    if (modifier) InjectKey(modifier, false);
    RunUntilIdle();
    (void)t;
  }
  static std::vector<int> Selected(HWND l) {
    std::vector<int> r(static_cast<size_t>(std::max<LRESULT>(0, SendMessageA(l, LB_GETSELCOUNT, 0, 0))));
    if (!r.empty()) SendMessageA(l, LB_GETSELITEMS, r.size(), reinterpret_cast<LPARAM>(r.data()));
    return r;
  }
};

TEST_F(ListBoxTest, SingleSelectionByMouseAndKeysNotifies) {
  HWND l = List(LBS_NOTIFY | WS_VSCROLL, {"zero", "one", "two", "three", "four"});
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), LB_ERR);
  ClickItem(this, l, 2);
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{60, LBN_SETFOCUS}, {60, LBN_SELCHANGE}}));
  Log.Clear();
  Press(VK_DOWN);
  Press(VK_END);
  Press(VK_END);  // no change: no notification
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), 4);
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{60, LBN_SELCHANGE}, {60, LBN_SELCHANGE}}));
  Log.Clear();
  SendMessageA(l, LB_SETCURSEL, 1, 0);  // programmatic: silent
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageA(l, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_TRUE(Commands().empty());
  // Double click.
  RECT r;
  SendMessageA(l, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
  rtl::testing::AdvanceClock(1000);
  InjectClick(ClientPoint(l, 20, r.Top + 2));
  InjectClick(ClientPoint(l, 20, r.Top + 2));
  RunUntilIdle();
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{60, LBN_SELCHANGE}, {60, LBN_DBLCLK}}));
}

TEST_F(ListBoxTest, SortedListsOrderWithoutCase) {
  HWND l = List(LBS_SORT, {"pear", "apple", "Banana", "cherry"});
  std::vector<std::string> got;
  for (int i = 0; i < SendMessageA(l, LB_GETCOUNT, 0, 0); ++i) {
    char buf[32];
    EXPECT_EQ(SendMessageA(l, LB_GETTEXTLEN, i, 0), SendMessageA(l, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf)));
    got.push_back(buf);
  }
  EXPECT_EQ(got, (std::vector<std::string>{"apple", "Banana", "cherry", "pear"}));
  EXPECT_EQ(SendMessageA(l, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("zzz")), 1);  // insert never sorts
  EXPECT_EQ(SendMessageA(l, LB_DELETESTRING, 1, 0), 4);
  EXPECT_EQ(SendMessageA(l, LB_DELETESTRING, 9, 0), LB_ERR);
}

TEST_F(ListBoxTest, ExtendedSelectionWithShiftAndCtrl) {
  HWND l = List(LBS_EXTENDEDSEL | LBS_NOTIFY, {"a", "b", "c", "d", "e", "f"});
  ClickItem(this, l, 1);
  ClickItem(this, l, 3, VK_SHIFT);
  EXPECT_EQ(Selected(l), (std::vector<int>{1, 2, 3}));
  ClickItem(this, l, 5, VK_CONTROL);
  EXPECT_EQ(Selected(l), (std::vector<int>{1, 2, 3, 5}));
  ClickItem(this, l, 2, VK_CONTROL);
  EXPECT_EQ(Selected(l), (std::vector<int>{1, 3, 5}));
  // A plain click starts over; Shift+arrows extend from it.
  ClickItem(this, l, 4);
  WithKey(VK_SHIFT, VK_UP);
  WithKey(VK_SHIFT, VK_UP);
  EXPECT_EQ(Selected(l), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(SendMessageA(l, LB_GETCARETINDEX, 0, 0), 2);
  EXPECT_EQ(SendMessageA(l, LB_GETANCHORINDEX, 0, 0), 4);
  // LB_SETSEL with -1 covers every item.
  SendMessageA(l, LB_SETSEL, TRUE, -1);
  EXPECT_EQ(SendMessageA(l, LB_GETSELCOUNT, 0, 0), 6);
  SendMessageA(l, LB_SETSEL, FALSE, -1);
  EXPECT_TRUE(Selected(l).empty());
  EXPECT_EQ(SendMessageA(l, LB_SETCURSEL, 1, 0), LB_ERR);  // not for multiple selection
}

TEST_F(ListBoxTest, MultipleSelectionTogglesWithClicksAndSpace) {
  HWND l = List(LBS_MULTIPLESEL, {"a", "b", "c", "d"});
  ClickItem(this, l, 0);
  ClickItem(this, l, 2);
  EXPECT_EQ(Selected(l), (std::vector<int>{0, 2}));
  ClickItem(this, l, 0);
  EXPECT_EQ(Selected(l), (std::vector<int>{2}));
  Press(VK_DOWN);  // moves the focus rectangle only
  EXPECT_EQ(Selected(l), (std::vector<int>{2}));
  Press(VK_SPACE);
  EXPECT_EQ(Selected(l), (std::vector<int>{1, 2}));
}

TEST_F(ListBoxTest, OwnerDrawnFixedItemsAreMeasuredOnceAndDrawnByTheParent) {
  int measures = 0;
  std::vector<DRAWITEMSTRUCT> draws;
  ParentHook() = [&](HWND, UINT m, WPARAM, LPARAM lp, LRESULT& r) {
    if (m == WM_MEASUREITEM) {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      EXPECT_EQ(mis->CtlType, static_cast<UINT>(ODT_LISTBOX));
      mis->itemHeight = 20;
      ++measures;
    } else if (m == WM_DRAWITEM) {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      draws.push_back(*dis);
      FillRect(dis->hDC, &dis->rcItem,
               GetSysColorBrush((dis->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_INFOBK));
    } else {
      return false;
    }
    r = TRUE;
    return true;
  };
  HWND l = Ctl("LISTBOX", "", LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY, RECT(10, 10, 110, 110), 61);
  for (const char* s : {"a", "b", "c"}) SendMessageA(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  SendMessageA(l, LB_SETITEMDATA, 1, 77);
  SendMessageA(l, LB_SETCURSEL, 1, 0);
  RunUntilIdle();
  EXPECT_EQ(SendMessageA(l, LB_GETITEMHEIGHT, 0, 0), 20);
  EXPECT_EQ(measures, 1);
  bool sawSelected = false;
  for (auto& dis : draws)
    if (dis.itemID == 1) {
      sawSelected |= (dis.itemState & ODS_SELECTED) != 0;
      EXPECT_EQ(dis.itemData, 77u);
      EXPECT_EQ(dis.rcItem, RECT(0, 20, 100, 40));
    }
  EXPECT_TRUE(sawSelected);
  TPicture p = Capture(l);
  EXPECT_EQ(p.At(50, 30), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(p.At(50, 10), GetSysColor(COLOR_INFOBK));
}

TEST_F(ListBoxTest, VariableHeightsSortingByTheParentAndDeleteNotices) {
  std::vector<ULONG_PTR> deleted;
  ParentHook() = [&](HWND, UINT m, WPARAM, LPARAM lp, LRESULT& r) {
    if (m == WM_MEASUREITEM) {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      mis->itemHeight = static_cast<UINT>(mis->itemData);  // the data is the height
      r = TRUE;
    } else if (m == WM_COMPAREITEM) {
      auto* cis = reinterpret_cast<COMPAREITEMSTRUCT*>(lp);
      r = cis->itemData1 < cis->itemData2 ? -1 : cis->itemData1 > cis->itemData2 ? 1 : 0;
    } else if (m == WM_DELETEITEM) {
      deleted.push_back(reinterpret_cast<DELETEITEMSTRUCT*>(lp)->itemData);
      r = TRUE;
    } else {
      return false;
    }
    return true;
  };
  HWND l = Ctl("LISTBOX", "", LBS_OWNERDRAWVARIABLE | LBS_SORT, RECT(10, 10, 110, 110), 62);
  for (LPARAM ht : {30, 10, 20}) SendMessageA(l, LB_ADDSTRING, 0, ht);
  EXPECT_EQ(SendMessageA(l, LB_GETITEMDATA, 0, 0), 10);
  EXPECT_EQ(SendMessageA(l, LB_GETITEMDATA, 2, 0), 30);
  RECT r;
  SendMessageA(l, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, RECT(0, 30, 100, 60));
  EXPECT_EQ(SendMessageA(l, LB_GETITEMHEIGHT, 1, 0), 20);
  EXPECT_EQ(SendMessageA(l, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 35)), MAKELRESULT(2, 0));
  SendMessageA(l, LB_DELETESTRING, 1, 0);
  EXPECT_EQ(deleted, (std::vector<ULONG_PTR>{20}));
  DestroyWindow(l);
  EXPECT_EQ(deleted, (std::vector<ULONG_PTR>{20, 10, 30}));
}

TEST_F(ListBoxTest, ScrollsToKeepTheCaretInViewAndAnswersPoints) {
  std::vector<std::string> names;
  for (int i = 0; i < 30; ++i) names.push_back("item " + std::to_string(i));
  std::vector<const char*> items;
  for (auto& n : names) items.push_back(n.c_str());
  HWND l = List(WS_VSCROLL | LBS_NOTIFY, items, RECT(10, 10, 160, 110));
  SetFocus(l);
  Press(VK_END);
  int top = static_cast<int>(SendMessageA(l, LB_GETTOPINDEX, 0, 0));
  EXPECT_GT(top, 20);
  RECT r;
  SendMessageA(l, LB_GETITEMRECT, 29, reinterpret_cast<LPARAM>(&r));
  RECT client;
  GetClientRect(l, &client);
  EXPECT_LE(r.Bottom, client.Bottom);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(l, SB_VERT, &si);
  EXPECT_EQ(si.nMax, 29);
  EXPECT_EQ(si.nPos, top);
  SendMessageA(l, LB_SETTOPINDEX, 5, 0);
  EXPECT_EQ(SendMessageA(l, LB_GETTOPINDEX, 0, 0), 5);
  LRESULT hit = SendMessageA(l, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 1));
  EXPECT_EQ(LOWORD(hit), 5);
  EXPECT_EQ(HIWORD(hit), 0);
  InjectWheel(ClientPoint(l, 20, 20), -WHEEL_DELTA);
  RunUntilIdle();
  EXPECT_EQ(SendMessageA(l, LB_GETTOPINDEX, 0, 0), 8);
}

TEST_F(ListBoxTest, SearchingAndTypeAhead) {
  HWND l = List(LBS_NOTIFY, {"Apple", "apricot", "Banana", "blueberry", "apple"});
  EXPECT_EQ(SendMessageA(l, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("AP")), 0);
  EXPECT_EQ(SendMessageA(l, LB_FINDSTRING, 1, reinterpret_cast<LPARAM>("ap")), 4);  // after the start
  EXPECT_EQ(SendMessageA(l, LB_FINDSTRING, 4, reinterpret_cast<LPARAM>("ap")), 0);  // wraps
  EXPECT_EQ(SendMessageA(l, LB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>("APPLE")), 4);
  EXPECT_EQ(SendMessageA(l, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("app")), LB_ERR);
  SetFocus(l);
  Type("b");
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), 2);
  Type("b");
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), 3);
}

TEST_F(ListBoxTest, ParentAnswersKeysOfAKeyboardList) {
  int answer = -2;
  std::vector<WPARAM> asked;
  ParentHook() = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT& r) {
    if (m != WM_VKEYTOITEM) return false;
    asked.push_back(wp);
    r = answer;
    return true;
  };
  HWND l = List(LBS_WANTKEYBOARDINPUT, {"a", "b", "c", "d"});
  SendMessageA(l, LB_SETCURSEL, 0, 0);
  SetFocus(l);
  Press(VK_DOWN);
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), 0);  // -2: the parent did it all
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(LOWORD(asked.back()), VK_DOWN);
  EXPECT_EQ(HIWORD(asked.back()), 0);
  answer = 3;
  Press(VK_DOWN);
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), 3);
  answer = -1;
  Press(VK_HOME);
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), 0);
}

TEST_F(ListBoxTest, ShowsWholeItemsUnlessToldNotTo) {
  HWND whole = List(0, {"a", "b"}, RECT(10, 10, 160, 107));
  HWND any = List(LBS_NOINTEGRALHEIGHT, {"a", "b"}, RECT(170, 10, 320, 107));
  int ih = static_cast<int>(SendMessageA(whole, LB_GETITEMHEIGHT, 0, 0));
  RECT c;
  GetClientRect(whole, &c);
  EXPECT_EQ(c.Height() % ih, 0);
  EXPECT_GT(c.Height(), 97 - 4 - ih);
  GetClientRect(any, &c);
  EXPECT_EQ(c.Height(), 97 - 4);  // inside its client edge
  MoveWindow(whole, 10, 10, 150, 150, TRUE);
  GetClientRect(whole, &c);
  EXPECT_EQ(c.Height() % ih, 0);
}

}  // namespace
