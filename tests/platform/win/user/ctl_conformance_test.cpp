// The standard controls' documented notification orders and answers: the
// combo box's closed-list choice, the list box's selection messages, the
// edit's text, limits and results, and the button's state messages.
#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;

class CtlConformanceTest : public TCtlTest {
 protected:
  HWND Combo(DWORD type) {
    HWND c = Ctl("COMBOBOX", "", type | WS_VSCROLL, RECT(10, 10, 160, 200), 70);
    for (const char* s : {"alpha", "beta", "gamma"}) SendMessageA(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    RunUntilIdle();
    Log.Clear();
    return c;
  }
  std::vector<int> Codes(int id) const {
    std::vector<int> r;
    for (const TCommand& c : Commands())
      if (c.Id == id) r.push_back(c.Code);
    return r;
  }
};

// ---- Combo box ----------------------------------------------------------------

// What the edit showed when the parent heard CBN_SELCHANGE.
std::string g_textAtSelChange;

TEST_F(CtlConformanceTest, ClosedComboKeyChoiceEndsBeforeItChangesAndShowsLast) {
  for (DWORD type : {static_cast<DWORD>(CBS_DROPDOWN), static_cast<DWORD>(CBS_DROPDOWNLIST)}) {
    HWND c = Combo(type);
    SendMessageA(c, CB_SETCURSEL, 0, 0);
    ParentHook() = [c](HWND, UINT m, WPARAM w, LPARAM, LRESULT&) {
      if (m == WM_COMMAND && HIWORD(w) == CBN_SELCHANGE) g_textAtSelChange = CtlText(c);
      return false;
    };
    g_textAtSelChange.clear();
    SetFocus(c);
    RunUntilIdle();
    Log.Clear();
    InjectKeyPress(VK_DOWN);
    RunUntilIdle();
    std::vector<int> codes;
    for (int code : Codes(70))
      if (code == CBN_SELENDOK || code == CBN_SELCHANGE) codes.push_back(code);
    EXPECT_EQ(codes, (std::vector<int>{CBN_SELENDOK, CBN_SELCHANGE})) << type;
    EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), 1);
    if (type == CBS_DROPDOWN) {
      EXPECT_EQ(g_textAtSelChange, "alpha");  // not yet the new item
      EXPECT_EQ(CtlText(c), "beta");
    }
    ParentHook() = nullptr;
    DestroyWindow(c);
  }
}

TEST_F(CtlConformanceTest, SetCurSelKeepsTheEditsNotificationsFromTheParent) {
  HWND c = Combo(CBS_DROPDOWN);
  SendMessageA(c, CB_SETCURSEL, 2, 0);
  EXPECT_TRUE(Codes(70).empty());
  // The user's typing is passed on.
  SetFocus(c);
  RunUntilIdle();
  Log.Clear();
  InjectText("x");
  RunUntilIdle();
  auto codes = Codes(70);
  EXPECT_NE(std::find(codes.begin(), codes.end(), CBN_EDITCHANGE), codes.end());
}

TEST_F(CtlConformanceTest, ComboBoxInfoNamesItsParts) {
  struct {
    DWORD Type;
    bool HasEdit;
    DWORD ButtonState;
  } cases[] = {{CBS_SIMPLE, true, STATE_SYSTEM_INVISIBLE}, {CBS_DROPDOWN, true, 0}, {CBS_DROPDOWNLIST, false, 0}};
  for (auto& k : cases) {
    HWND c = Combo(k.Type);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(c, &info)) << k.Type;
    EXPECT_EQ(info.hwndCombo, c);
    HWND edit = FindWindowExA(c, nullptr, "EDIT", nullptr);
    EXPECT_EQ(info.hwndItem, k.HasEdit ? edit : c) << k.Type;
    EXPECT_NE(info.hwndList, nullptr);
    EXPECT_EQ(info.stateButton, k.ButtonState) << k.Type;
    EXPECT_FALSE(IsRectEmpty(&info.rcItem)) << k.Type;
    EXPECT_EQ(IsRectEmpty(&info.rcButton) != 0, k.Type == CBS_SIMPLE) << k.Type;
    DestroyWindow(c);
  }
  COMBOBOXINFO bad{};
  bad.cbSize = 1;
  EXPECT_FALSE(GetComboBoxInfo(Dialog, &bad));
}

// ---- List box -------------------------------------------------------------------

TEST_F(CtlConformanceTest, ListBoxSelectionMessages) {
  HWND multi = Ctl("LISTBOX", "", LBS_EXTENDEDSEL, RECT(10, 10, 160, 150), 60);
  EXPECT_EQ(SendMessageA(multi, LB_GETCURSEL, 0, 0), LB_ERR);  // empty
  for (const char* s : {"a", "b", "c", "d", "e"}) SendMessageA(multi, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  // A multiple-selection list answers its caret.
  EXPECT_EQ(SendMessageA(multi, LB_GETCURSEL, 0, 0), 0);
  SendMessageA(multi, LB_SETCARETINDEX, 3, FALSE);
  EXPECT_EQ(SendMessageA(multi, LB_GETCURSEL, 0, 0), 3);
  // Reversed ends select the same range.
  SendMessageA(multi, LB_SELITEMRANGE, TRUE, MAKELPARAM(3, 1));
  std::vector<int> sel(3);
  ASSERT_EQ(SendMessageA(multi, LB_GETSELITEMS, 3, reinterpret_cast<LPARAM>(sel.data())), 3);
  EXPECT_EQ(sel, (std::vector<int>{1, 2, 3}));

  HWND single = Ctl("LISTBOX", "", 0, RECT(200, 10, 350, 150), 61);
  for (const char* s : {"a", "b", "c"}) SendMessageA(single, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  SendMessageA(single, LB_SETANCHORINDEX, 2, 0);
  EXPECT_EQ(SendMessageA(single, LB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendMessageA(single, LB_GETANCHORINDEX, 0, 0), 2);
}

TEST_F(CtlConformanceTest, ListBoxSelectionModeIsFixedAtCreation) {
  HWND single = Ctl("LISTBOX", "", 0, RECT(10, 10, 160, 150), 60);
  for (const char* s : {"a", "b", "c"}) SendMessageA(single, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  SetWindowLongA(single, GWL_STYLE, GetWindowLongA(single, GWL_STYLE) | LBS_MULTIPLESEL);
  EXPECT_EQ(SendMessageA(single, LB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendMessageA(single, LB_SETSEL, TRUE, 0), LB_ERR);
  HWND multi = Ctl("LISTBOX", "", LBS_MULTIPLESEL, RECT(200, 10, 350, 150), 61);
  for (const char* s : {"a", "b", "c"}) SendMessageA(multi, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  SetWindowLongA(multi, GWL_STYLE, GetWindowLongA(multi, GWL_STYLE) & ~LBS_MULTIPLESEL);
  EXPECT_EQ(SendMessageA(multi, LB_SETCURSEL, 1, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(multi, LB_SETSEL, TRUE, 0), 0);
}

// ---- Edit ---------------------------------------------------------------------------

TEST_F(CtlConformanceTest, SetTextKeepsLineBreaksAndNotifiesOnlyForSingleLine) {
  struct {
    DWORD Style;
    bool Notifies;
  } cases[] = {{ES_AUTOHSCROLL, true}, {ES_MULTILINE | ES_AUTOVSCROLL, false}};
  for (auto& k : cases) {
    HWND e = Ctl("EDIT", "", k.Style, RECT(10, 10, 200, 80), 50);
    RunUntilIdle();
    Log.Clear();
    SendMessageA(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one\r\ntwo"));
    EXPECT_EQ(CtlText(e), "one\r\ntwo") << k.Style;
    std::vector<int> want = k.Notifies ? std::vector<int>{EN_UPDATE, EN_CHANGE} : std::vector<int>{};
    EXPECT_EQ(Codes(50), want) << k.Style;
    EXPECT_EQ(SendMessageA(e, EM_GETLIMITTEXT, 0, 0), 30000) << k.Style;
    DestroyWindow(e);
  }
}

TEST_F(CtlConformanceTest, EditMessageResults) {
  HWND single = Ctl("EDIT", "abc", ES_AUTOHSCROLL, RECT(10, 10, 200, 30), 50);
  EXPECT_EQ(SendMessageA(single, EM_SETSEL, 0, 1), 1);
  EXPECT_EQ(SendMessageA(single, WM_CHAR, 'x', 1), 1);
  EXPECT_EQ(CtlText(single), "xbc");
  EXPECT_EQ(SendMessageA(single, EM_SCROLL, SB_LINEDOWN, 0), FALSE);
  // Positions: the last character has one, past it none.
  EXPECT_NE(SendMessageA(single, EM_POSFROMCHAR, 2, 0), -1);
  EXPECT_EQ(SendMessageA(single, EM_POSFROMCHAR, 3, 0), -1);
  EXPECT_EQ(SendMessageA(single, EM_POSFROMCHAR, 10, 0), -1);

  HWND multi = Ctl("EDIT", "", ES_MULTILINE | WS_VSCROLL, RECT(10, 50, 200, 120), 51);
  std::string lines;
  for (int i = 0; i < 40; ++i) lines += "line\r\n";
  SetWindowTextA(multi, lines.c_str());
  EXPECT_EQ(SendMessageA(multi, EM_SCROLL, SB_LINEDOWN, 0), MAKELRESULT(1, TRUE));
  EXPECT_EQ(SendMessageA(multi, EM_SCROLL, SB_LINEUP, 0), MAKELRESULT(0xFFFF, TRUE));
  LRESULT page = SendMessageA(multi, EM_SCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(HIWORD(page), TRUE);
  EXPECT_GT(LOWORD(page), 1);
  EXPECT_EQ(SendMessageA(multi, EM_SCROLL, SB_TOP, 0), FALSE);  // not a command EM_SCROLL takes
}

// ---- Buttons --------------------------------------------------------------------

// Messages the button itself received, through a subclass.
std::vector<UINT> g_buttonMsgs;
WNDPROC g_buttonBase = nullptr;

LRESULT SubclassedButton(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == BM_SETSTATE || m == BM_SETCHECK) g_buttonMsgs.push_back(m);
  return CallWindowProcA(g_buttonBase, h, m, w, l);
}

TEST_F(CtlConformanceTest, SpaceCapturesAndStateGoesThroughTheButtonsMessages) {
  HWND b = Ctl("BUTTON", "Check", BS_AUTOCHECKBOX, RECT(10, 10, 120, 40), 40);
  g_buttonBase = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(b, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassedButton)));
  g_buttonMsgs.clear();
  SetFocus(b);
  RunUntilIdle();
  InjectKey(VK_SPACE, true, " ");
  RunUntilIdle();
  EXPECT_EQ(GetCapture(), b);
  EXPECT_TRUE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  InjectKey(VK_SPACE, false, " ");
  RunUntilIdle();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(g_buttonMsgs, (std::vector<UINT>{BM_SETSTATE, BM_SETSTATE, BM_SETCHECK}));
  g_buttonMsgs.clear();
  // The mouse takes the same path.
  InjectClick(ClientPoint(b, 10, 10));
  RunUntilIdle();
  EXPECT_EQ(g_buttonMsgs, (std::vector<UINT>{BM_SETSTATE, BM_SETSTATE, BM_SETCHECK}));
}

TEST_F(CtlConformanceTest, ButtonRepaintsAtOnceWithItsColourQuestion) {
  struct {
    DWORD Style;
    UINT ColorMsg;
  } cases[] = {{BS_PUSHBUTTON, WM_CTLCOLORBTN}, {BS_AUTOCHECKBOX, WM_CTLCOLORSTATIC}};
  for (auto& k : cases) {
    HWND b = Ctl("BUTTON", "Text", k.Style, RECT(10, 10, 120, 40), 40);
    RunUntilIdle();
    struct {
      const char* Name;
      std::function<void()> Change;
    } changes[] = {
        {"focus", [b] { SetFocus(b); }},
        {"state", [b] { SendMessageA(b, BM_SETSTATE, TRUE, 0); }},
        {"text", [b] { SetWindowTextA(b, "Other"); }},
    };
    for (auto& c : changes) {
      Log.Clear();
      c.Change();
      // Without running the loop: the parent was asked for colours now.
      EXPECT_EQ(Log.Count(k.ColorMsg, Dialog), 1) << k.Style << " " << c.Name;
      EXPECT_FALSE(GetUpdateRect(b, nullptr, FALSE)) << k.Style << " " << c.Name;
    }
    DestroyWindow(b);
  }
}

TEST_F(CtlConformanceTest, SetStyleChangesTheTypeQuietlyAndRedrawsOnRequest) {
  HWND b = Ctl("BUTTON", "Push", BS_PUSHBUTTON | BS_NOTIFY, RECT(10, 10, 120, 40), 40);
  RunUntilIdle();
  Log.KeepNoise = true;
  Log.Clear();
  SendMessageA(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
  EXPECT_EQ(GetWindowLongA(b, GWL_STYLE) & (BS_TYPEMASK | BS_NOTIFY), BS_DEFPUSHBUTTON | BS_NOTIFY);
  EXPECT_EQ(Log.Count(WM_STYLECHANGING), 0);
  EXPECT_FALSE(GetUpdateRect(b, nullptr, FALSE));
  SendMessageA(b, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_TRUE(GetUpdateRect(b, nullptr, FALSE));
  Log.KeepNoise = false;
}

}  // namespace
