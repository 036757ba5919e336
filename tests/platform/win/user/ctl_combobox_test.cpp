// The "COMBOBOX" class driven by injected input: the drop-down list opening
// and closing by mouse and keys, clicks outside cancelling, the edit of a
// drop-down, the simple style, owner drawing, and the notifications in
// their documented order.
#include <functional>

#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;

class ComboBoxTest : public TCtlTest {
 protected:
  HWND Combo(DWORD style, std::vector<const char*> items, RECT r = RECT(20, 20, 180, 220)) {
    HWND c = Ctl("COMBOBOX", "", style | WS_TABSTOP, r, 70);
    for (const char* s : items) SendMessageA(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    RunUntilIdle();
    Log.Clear();
    return c;
  }
  // The popup list of a drop-down combo box: the visible "ComboLBox" popup.
  static HWND DroppedList() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND h, LPARAM p) {
      char cls[32];
      GetClassNameA(h, cls, sizeof cls);
      if (std::string(cls) == "ComboLBox" && IsWindowVisible(h)) *reinterpret_cast<HWND*>(p) = h;
      return TRUE;
    }, reinterpret_cast<LPARAM>(&found));
    return found;
  }
  void ClickButton(HWND c) {
    RECT r;
    GetClientRect(c, &r);
    rtl::testing::AdvanceClock(1000);
    Click(c, r.Right - 8, r.Bottom / 2);
  }
};

TEST_F(ComboBoxTest, DropDownListOpensOnTheButtonAndChoosesOnAClick) {
  HWND c = Combo(CBS_DROPDOWNLIST, {"PNG", "JPG", "GIF", "BMP", "TIFF"});
  RECT wr;
  GetWindowRect(c, &wr);
  EXPECT_LT(wr.Height(), 30);  // the field only: the rest is the list's height
  ClickButton(c);
  EXPECT_TRUE(SendMessageA(c, CB_GETDROPPEDSTATE, 0, 0));
  HWND list = DroppedList();
  ASSERT_NE(list, nullptr);
  RECT lr;
  GetWindowRect(list, &lr);
  EXPECT_EQ(lr.Top, wr.Bottom);
  EXPECT_EQ(lr.Left, wr.Left);
  EXPECT_EQ(GetCapture(), list);
  EXPECT_EQ(GetFocus(), c);
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{70, CBN_SETFOCUS}, {70, CBN_DROPDOWN}}));

  Log.Clear();
  RECT item;
  SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
  InjectMouseMove(ClientPoint(list, 10, item.Top + 2));
  RunUntilIdle();
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);  // the list follows the pointer
  Click(list, 10, item.Top + 2);
  EXPECT_FALSE(SendMessageA(c, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(CtlText(c), "GIF");
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{70, CBN_SELENDOK}, {70, CBN_CLOSEUP}, {70, CBN_SELCHANGE}}));
}

TEST_F(ComboBoxTest, ClickOutsideCancelsAndKeepsTheSelection) {
  HWND c = Combo(CBS_DROPDOWNLIST, {"a", "b", "c"});
  SendMessageA(c, CB_SETCURSEL, 1, 0);
  ClickButton(c);
  HWND list = DroppedList();
  ASSERT_NE(list, nullptr);
  InjectMouseMove(ClientPoint(list, 10, 2));  // highlights item 0
  RunUntilIdle();
  Log.Clear();
  Click(Dialog, 400, 300);
  EXPECT_FALSE(SendMessageA(c, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{70, CBN_SELENDCANCEL}, {70, CBN_CLOSEUP}}));
  EXPECT_EQ(Log.Count(WM_LBUTTONDOWN, Dialog), 0);  // the closing click goes no further
}

TEST_F(ComboBoxTest, KeyboardDrivesTheDropDownList) {
  HWND c = Combo(CBS_DROPDOWNLIST, {"one", "two", "three", "four"});
  SetFocus(c);
  RunUntilIdle();
  Log.Clear();
  Press(VK_DOWN);
  Press(VK_DOWN);
  EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), 1);
  // A choice in the closed list is final at once: it ends, then changes.
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{70, CBN_SELENDOK}, {70, CBN_SELCHANGE}, {70, CBN_SELENDOK},
                                               {70, CBN_SELCHANGE}}));
  Log.Clear();
  Press(VK_F4);
  EXPECT_TRUE(SendMessageA(c, CB_GETDROPPEDSTATE, 0, 0));
  Press(VK_DOWN);
  Press(VK_ESCAPE);
  EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{70, CBN_DROPDOWN}, {70, CBN_SELENDCANCEL}, {70, CBN_CLOSEUP}}));
  Log.Clear();
  InjectKey(VK_MENU, true);
  InjectKeyPress(VK_DOWN);
  InjectKey(VK_MENU, false);
  RunUntilIdle();
  EXPECT_TRUE(SendMessageA(c, CB_GETDROPPEDSTATE, 0, 0));
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_FALSE(SendMessageA(c, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{70, CBN_DROPDOWN}, {70, CBN_SELENDOK}, {70, CBN_CLOSEUP},
                                               {70, CBN_SELCHANGE}}));
  Log.Clear();
  Type("f");  // type-ahead
  EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), 3);
  SetFocus(Dialog);
  RunUntilIdle();
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{70, CBN_SELENDOK}, {70, CBN_SELCHANGE}, {70, CBN_KILLFOCUS}}));
}

TEST_F(ComboBoxTest, DropDownEditTypesAndTakesChosenItems) {
  HWND c = Combo(CBS_DROPDOWN, {"Monochrome", "Grayscale", "Truecolor"});
  SetFocus(c);
  RunUntilIdle();
  Log.Clear();
  Type("Gr");
  EXPECT_EQ(CtlText(c), "Gr");
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{70, CBN_EDITUPDATE}, {70, CBN_EDITCHANGE}, {70, CBN_EDITUPDATE},
                                               {70, CBN_EDITCHANGE}}));
  EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), CB_ERR);
  Press(VK_F4);
  EXPECT_TRUE(SendMessageA(c, CB_GETDROPPEDSTATE, 0, 0));
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_EQ(CtlText(c), "Monochrome");
  DWORD a = 0, b = 0;
  SendMessageA(c, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a, 0u);
  EXPECT_EQ(b, 10u);
  SendMessageA(c, CB_LIMITTEXT, 3, 0);
  SendMessageA(c, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  Type("abcdef");
  EXPECT_EQ(CtlText(c), "abc");
  // A click on the field of a drop-down goes to its edit, not the list.
  RECT r;
  GetClientRect(c, &r);
  Click(c, 10, r.Bottom / 2);
  EXPECT_FALSE(SendMessageA(c, CB_GETDROPPEDSTATE, 0, 0));
}

// Only the user's edits are edit changes: a text the combo box puts into
// its edit (a choice, a text set by message, emptying) tells none.
TEST_F(ComboBoxTest, TextTheComboSetsItselfIsNoEditChange) {
  struct TCase {
    const char* Name;
    std::function<void(HWND)> Act;
    const char* Text;
  };
  const TCase cases[] = {
      {"CB_SETCURSEL", [](HWND c) { SendMessageA(c, CB_SETCURSEL, 1, 0); }, "Grayscale"},
      {"WM_SETTEXT", [](HWND c) { SetWindowTextA(c, "Custom"); }, "Custom"},
      {"CB_SELECTSTRING",
       [](HWND c) { SendMessageA(c, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Tru")); },
       "Truecolor"},
      {"CB_RESETCONTENT", [](HWND c) { SendMessageA(c, CB_RESETCONTENT, 0, 0); }, ""},
      {"arrow key", [this](HWND) { Press(VK_DOWN); }, "Monochrome"},
      {"choice from the list",
       [this](HWND) {
         Press(VK_F4);
         Press(VK_DOWN);
         Press(VK_DOWN);
         Press(VK_RETURN);
       },
       "Grayscale"},
  };
  auto edits = [this] {
    std::vector<TCommand> r;
    for (const TCommand& c : Commands())
      if (c.Code == CBN_EDITCHANGE || c.Code == CBN_EDITUPDATE) r.push_back(c);
    return r;
  };
  for (DWORD style : {static_cast<DWORD>(CBS_DROPDOWN), static_cast<DWORD>(CBS_SIMPLE)}) {
    for (const TCase& k : cases) {
      SCOPED_TRACE(std::string(k.Name) + (style == CBS_SIMPLE ? " (simple)" : " (drop-down)"));
      HWND c = Combo(style, {"Monochrome", "Grayscale", "Truecolor"}, RECT(20, 20, 180, 150));
      SetFocus(c);
      RunUntilIdle();
      Log.Clear();
      k.Act(c);
      EXPECT_EQ(CtlText(c), k.Text);
      EXPECT_TRUE(edits().empty());
      // The user's typing still is.
      Type("x");
      EXPECT_EQ(edits(), (std::vector<TCommand>{{70, CBN_EDITUPDATE}, {70, CBN_EDITCHANGE}}));
      DestroyWindow(c);
      RunUntilIdle();
    }
  }
}

TEST_F(ComboBoxTest, SimpleComboShowsItsListAlways) {
  HWND c = Combo(CBS_SIMPLE, {"x", "y", "z"}, RECT(20, 20, 180, 150));
  HWND list = GetDlgItem(c, 1000);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(IsWindowVisible(list));
  RECT item;
  SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  Click(list, 10, item.Top + 2);
  EXPECT_EQ(CtlText(c), "y");
  EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Commands(CBN_SELCHANGE), (std::vector<TCommand>{{70, CBN_SELCHANGE}}));
  EXPECT_FALSE(SendMessageA(c, CB_SHOWDROPDOWN, TRUE, 0) && SendMessageA(c, CB_GETDROPPEDSTATE, 0, 0));
}

TEST_F(ComboBoxTest, OwnerDrawnComboAsksItsParent) {
  std::vector<DRAWITEMSTRUCT> draws;
  int measured = 0;
  ParentHook() = [&](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT& r) {
    if (m == WM_MEASUREITEM) {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      EXPECT_EQ(mis->CtlType, static_cast<UINT>(ODT_COMBOBOX));
      EXPECT_EQ(mis->CtlID, 71u);
      EXPECT_EQ(wp, 71u);
      mis->itemHeight = 18;
      ++measured;
    } else if (m == WM_DRAWITEM) {
      draws.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
    } else {
      return false;
    }
    r = TRUE;
    return true;
  };
  HWND c = Ctl("COMBOBOX", "", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, RECT(20, 20, 180, 200), 71);
  SendMessageA(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("red"));
  SendMessageA(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("green"));
  SendMessageA(c, CB_SETCURSEL, 1, 0);
  RunUntilIdle();
  EXPECT_GE(measured, 1);
  EXPECT_EQ(SendMessageA(c, CB_GETITEMHEIGHT, 0, 0), 18);
  bool field = false;
  for (auto& d : draws) field |= (d.itemState & ODS_COMBOBOXEDIT) && d.itemID == 1 && d.hwndItem == c;
  EXPECT_TRUE(field);
  draws.clear();
  SendMessageA(c, CB_SHOWDROPDOWN, TRUE, 0);
  RunUntilIdle();
  bool items = false;
  for (auto& d : draws) items |= !(d.itemState & ODS_COMBOBOXEDIT) && d.CtlType == ODT_COMBOBOX && d.CtlID == 71;
  EXPECT_TRUE(items);
  SendMessageA(c, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(ComboBoxTest, DroppedRectAndWidth) {
  HWND c = Combo(CBS_DROPDOWNLIST, {"a"}, RECT(20, 20, 180, 220));
  RECT wr, dr;
  GetWindowRect(c, &wr);
  SendMessageA(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dr));
  EXPECT_EQ(dr.Top, wr.Top);
  EXPECT_EQ(dr.Height(), 200);
  SendMessageA(c, CB_SETDROPPEDWIDTH, 300, 0);
  EXPECT_EQ(SendMessageA(c, CB_GETDROPPEDWIDTH, 0, 0), 300);
  SendMessageA(c, CB_SHOWDROPDOWN, TRUE, 0);
  RECT lr;
  GetWindowRect(DroppedList(), &lr);
  EXPECT_EQ(lr.Width(), 300);
  SendMessageA(c, CB_SHOWDROPDOWN, FALSE, 0);
  EXPECT_EQ(DroppedList(), nullptr);
}

// Scroll bars asked of a combo box are its list's: its own frame stays
// bare, so nothing sits beside the drop-down button.
TEST_F(ComboBoxTest, ScrollBarStylesGoToTheListNotTheComboBox) {
  std::vector<const char*> items;
  static const char* const kNames[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o"};
  for (const char* n : kNames) items.push_back(n);
  auto listOf = [&](HWND c) {
    if ((GetWindowLongA(c, GWL_STYLE) & 3) == CBS_SIMPLE) return GetDlgItem(c, 1000);
    SendMessageA(c, CB_SHOWDROPDOWN, TRUE, 0);
    RunUntilIdle();
    return DroppedList();
  };
  for (DWORD type : {DWORD(CBS_DROPDOWNLIST), DWORD(CBS_DROPDOWN), DWORD(CBS_SIMPLE)}) {
    SCOPED_TRACE(type);
    HWND plain = Combo(type | WS_BORDER, items, RECT(20, 20, 180, 120));
    HWND scrolled = Combo(type | WS_BORDER | WS_VSCROLL, items, RECT(200, 20, 360, 120));
    EXPECT_EQ(GetWindowLongA(scrolled, GWL_STYLE) & WS_VSCROLL, 0);
    RECT wr, cr;
    GetWindowRect(scrolled, &wr);
    GetClientRect(scrolled, &cr);
    EXPECT_EQ(cr.Width(), wr.Width() - 2 * GetSystemMetrics(SM_CXBORDER));
    EXPECT_EQ(cr.Height(), wr.Height() - 2 * GetSystemMetrics(SM_CYBORDER));
    // The whole window, frame included, looks like the one without the style.
    TPicture a = Capture(plain, true), b = Capture(scrolled, true);
    ASSERT_EQ(a.Width, b.Width);
    ASSERT_EQ(a.Height, b.Height);
    EXPECT_TRUE(a.Pixels == b.Pixels);

    // The list has the bar and scrolls.
    HWND list = listOf(scrolled);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
    SendMessageA(list, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 1);
    RunUntilIdle();
    // The bar shows: its arrows are drawn, not painted over by the combo box.
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    ASSERT_TRUE(GetScrollBarInfo(list, OBJID_VSCROLL, &sbi));
    RECT lw;
    GetWindowRect(list, &lw);
    RECT bar = sbi.rcScrollBar;
    OffsetRect(&bar, -lw.Left, -lw.Top);
    ASSERT_FALSE(IsRectEmpty(&bar));
    EXPECT_GT(Capture(list, true).Count(GetSysColor(COLOR_BTNTEXT), bar), 0);
    SendMessageA(scrolled, CB_SHOWDROPDOWN, FALSE, 0);

    // A horizontal bar goes to the list too, shown once its items are wider.
    HWND wide = Combo(type | WS_HSCROLL, items, RECT(380, 20, 480, 120));
    EXPECT_EQ(GetWindowLongA(wide, GWL_STYLE) & WS_HSCROLL, 0);
    SendMessageA(wide, CB_SETHORIZONTALEXTENT, 1000, 0);
    list = listOf(wide);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
    SendMessageA(wide, CB_SHOWDROPDOWN, FALSE, 0);
    for (HWND h : {plain, scrolled, wide}) DestroyWindow(h);
    RunUntilIdle();
  }
}

}  // namespace
