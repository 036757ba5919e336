// The "BUTTON" and "STATIC" classes driven by injected input: clicks and
// their notifications, check states, radio groups, the keyboard, owner
// drawing, and what the classic look puts on the screen.
#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;

class ButtonTest : public TCtlTest {};

TEST_F(ButtonTest, PushButtonClicksOnlyWhenReleasedInside) {
  HWND b = Ctl("BUTTON", "OK", BS_PUSHBUTTON, RECT(10, 10, 90, 33), IDOK);
  Click(b, 20, 10);
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{IDOK, BN_CLICKED}}));
  EXPECT_EQ(GetFocus(), b);

  // Pressed, dragged out and released outside: no click, and the button
  // shows pushed only while the pointer is over it.
  Log.Clear();
  InjectMouseMove(ClientPoint(b, 20, 10));
  InjectMouseButton(rtl::testing::ibLeft, true, ClientPoint(b, 20, 10));
  RunUntilIdle();
  EXPECT_TRUE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  InjectMouseMove(ClientPoint(b, 200, 10));
  RunUntilIdle();
  EXPECT_FALSE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  InjectMouseButton(rtl::testing::ibLeft, false, ClientPoint(b, 200, 10));
  RunUntilIdle();
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonTest, SpaceClicksOnReleaseAndDisabledButtonsIgnoreInput) {
  HWND b = Ctl("BUTTON", "Go", BS_PUSHBUTTON | BS_NOTIFY, RECT(10, 10, 90, 33), 7);
  SetFocus(b);
  RunUntilIdle();
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{7, BN_SETFOCUS}}));
  Log.Clear();
  InjectKey(VK_SPACE, true);
  RunUntilIdle();
  EXPECT_TRUE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_EQ(Commands(BN_CLICKED).size(), 0u);
  InjectKey(VK_SPACE, false);
  RunUntilIdle();
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{7, BN_HILITE}, {7, BN_UNHILITE}, {7, BN_CLICKED}}));

  Log.Clear();
  EnableWindow(b, FALSE);
  Click(b, 20, 10);
  SendMessageA(b, BM_CLICK, 0, 0);
  EXPECT_EQ(Commands(BN_CLICKED).size(), 0u);
}

struct TCheckCase {
  const char* Name;
  DWORD Style;
  std::vector<LRESULT> AfterClicks;  // BM_GETCHECK after each click
};

class CheckBoxTest : public ButtonTest, public ::testing::WithParamInterface<TCheckCase> {};

TEST_P(CheckBoxTest, ClicksChangeTheCheckAsTheStyleSays) {
  const TCheckCase& c = GetParam();
  HWND b = Ctl("BUTTON", "Check", c.Style, RECT(10, 10, 150, 30), 5);
  for (size_t i = 0; i < c.AfterClicks.size(); ++i) {
    Click(b, 5, 10);
    EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), c.AfterClicks[i]) << "click " << i;
  }
  EXPECT_EQ(Commands(BN_CLICKED).size(), c.AfterClicks.size());
}

INSTANTIATE_TEST_SUITE_P(Styles, CheckBoxTest,
                         ::testing::Values(TCheckCase{"Auto", BS_AUTOCHECKBOX, {BST_CHECKED, BST_UNCHECKED}},
                                           TCheckCase{"Manual", BS_CHECKBOX, {BST_UNCHECKED, BST_UNCHECKED}},
                                           TCheckCase{"Auto3State", BS_AUTO3STATE,
                                                      {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}},
                                           TCheckCase{"Manual3State", BS_3STATE, {BST_UNCHECKED}},
                                           TCheckCase{"PushLike", BS_AUTOCHECKBOX | BS_PUSHLIKE,
                                                      {BST_CHECKED, BST_UNCHECKED}}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(ButtonTest, SetCheckKeepsToTheStatesOfTheStyle) {
  HWND two = Ctl("BUTTON", "a", BS_AUTOCHECKBOX, RECT(10, 10, 100, 30), 1);
  HWND three = Ctl("BUTTON", "b", BS_AUTO3STATE, RECT(10, 40, 100, 60), 2);
  HWND push = Ctl("BUTTON", "c", BS_PUSHBUTTON, RECT(10, 70, 100, 90), 3);
  SendMessageA(two, BM_SETCHECK, BST_INDETERMINATE, 0);
  SendMessageA(three, BM_SETCHECK, BST_INDETERMINATE, 0);
  SendMessageA(push, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(SendMessageA(two, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(SendMessageA(push, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(Commands().empty());  // setting is not clicking
}

TEST_F(ButtonTest, AutoRadioButtonsAreExclusiveWithinTheirGroup) {
  HWND a = Ctl("BUTTON", "A", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, RECT(10, 10, 120, 30), 1);
  HWND b = Ctl("BUTTON", "B", BS_AUTORADIOBUTTON, RECT(10, 40, 120, 60), 2);
  HWND c = Ctl("BUTTON", "C", BS_AUTORADIOBUTTON, RECT(10, 70, 120, 90), 3);
  HWND other = Ctl("BUTTON", "D", BS_AUTORADIOBUTTON | WS_GROUP, RECT(10, 100, 120, 120), 4);
  SendMessageA(a, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(other, BM_SETCHECK, BST_CHECKED, 0);
  Click(b, 5, 10);
  EXPECT_EQ(SendMessageA(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(c, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(other, BM_GETCHECK, 0, 0), BST_CHECKED);
  // The checked radio button is the group's tab stop.
  EXPECT_FALSE(GetWindowLongA(a, GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(GetWindowLongA(b, GWL_STYLE) & WS_TABSTOP);
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{2, BN_CLICKED}}));

  // Focus arriving from the keyboard chooses the radio button.
  Log.Clear();
  SetFocus(c);
  RunUntilIdle();
  EXPECT_EQ(SendMessageA(c, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{3, BN_CLICKED}}));
}

TEST_F(ButtonTest, ClickSendsMouseMessagesAndDialogCodesNameTheKind) {
  HWND ok = Ctl("BUTTON", "OK", BS_DEFPUSHBUTTON, RECT(10, 10, 90, 33), IDOK);
  HWND radio = Ctl("BUTTON", "R", BS_RADIOBUTTON, RECT(10, 40, 90, 60), 2);
  HWND group = Ctl("BUTTON", "G", BS_GROUPBOX, RECT(100, 10, 300, 100), 3);
  SendMessageA(ok, BM_CLICK, 0, 0);
  RunUntilIdle();
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{IDOK, BN_CLICKED}}));
  EXPECT_EQ(SendMessageA(ok, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
  EXPECT_EQ(SendMessageA(radio, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
  EXPECT_EQ(SendMessageA(group, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
  SendMessageA(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessageA(ok, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
  // A group box lets clicks through to what lies below.
  Log.Clear();
  Click(group, 100, 60);
  EXPECT_EQ(Log.Count(WM_LBUTTONDOWN, Dialog), 1);
}

TEST_F(ButtonTest, OwnerDrawnButtonDrawsThroughItsParent) {
  std::vector<DRAWITEMSTRUCT> draws;
  ParentHook() = [&](HWND, UINT m, WPARAM, LPARAM l, LRESULT& r) {
    if (m != WM_DRAWITEM) return false;
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
    draws.push_back(*dis);
    FillRect(dis->hDC, &dis->rcItem, GetSysColorBrush((dis->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    r = TRUE;
    return true;
  };
  HWND b = Ctl("BUTTON", "", BS_OWNERDRAW, RECT(10, 10, 90, 40), 9);
  RunUntilIdle();
  ASSERT_FALSE(draws.empty());
  EXPECT_EQ(draws.back().CtlType, static_cast<UINT>(ODT_BUTTON));
  EXPECT_EQ(draws.back().CtlID, 9u);
  EXPECT_EQ(draws.back().itemAction, static_cast<UINT>(ODA_DRAWENTIRE));
  EXPECT_EQ(draws.back().rcItem, RECT(0, 0, 80, 30));
  EXPECT_EQ(Capture(b).At(40, 15), GetSysColor(COLOR_WINDOW));

  draws.clear();
  InjectMouseMove(ClientPoint(b, 5, 5));
  InjectMouseButton(rtl::testing::ibLeft, true, ClientPoint(b, 5, 5));
  RunUntilIdle();
  bool sawSelected = false;
  for (auto& d : draws) sawSelected |= (d.itemState & ODS_SELECTED) && d.itemAction == ODA_SELECT;
  EXPECT_TRUE(sawSelected);
  EXPECT_EQ(Capture(b).At(40, 15), GetSysColor(COLOR_HIGHLIGHT));
  InjectMouseButton(rtl::testing::ibLeft, false, ClientPoint(b, 5, 5));
  RunUntilIdle();
  EXPECT_EQ(Commands(BN_CLICKED), (std::vector<TCommand>{{9, BN_CLICKED}}));
}

TEST_F(ButtonTest, ClassicLookOfCheckBoxAndDefaultButton) {
  HWND check = Ctl("BUTTON", "Check", BS_AUTOCHECKBOX, RECT(10, 10, 150, 30), 1);
  HWND def = Ctl("BUTTON", "OK", BS_DEFPUSHBUTTON, RECT(10, 40, 90, 63), 2);
  SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
  RunUntilIdle();
  TPicture c = Capture(check);
  // The box: a white well with a dark mark inside.
  EXPECT_EQ(c.At(3, 6), GetSysColor(COLOR_WINDOW));
  EXPECT_GT(c.Count(GetSysColor(COLOR_WINDOWTEXT), RECT(2, 5, 11, 14)), 4);
  // The caption ink starts right of the box.
  RECT ink = c.Ink(GetSysColor(COLOR_3DFACE), RECT(14, 0, 140, 20));
  EXPECT_GE(ink.Left, 15);
  EXPECT_LT(ink.Left, 30);
  TPicture d = Capture(def);
  EXPECT_EQ(d.At(0, 10), GetSysColor(COLOR_WINDOWFRAME));  // the default frame
  EXPECT_EQ(d.At(10, 11), GetSysColor(COLOR_3DFACE));
}


// BM_SETSTYLE replaces the type, except that a split button or command
// link told to be a (default) push button stays its own kind and only
// takes or drops the default; the dialog code follows.
TEST_F(ButtonTest, SetStyleKeepsSplitButtonsAndCommandLinks) {
  struct {
    UINT From, Set, To;
    LRESULT Code;
  } cases[] = {
      {BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
      {BS_DEFPUSHBUTTON, BS_PUSHBUTTON, BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
      {BS_PUSHBUTTON, BS_AUTOCHECKBOX, BS_AUTOCHECKBOX, DLGC_BUTTON},
      {BS_SPLITBUTTON, BS_DEFPUSHBUTTON, BS_DEFSPLITBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
      {BS_DEFSPLITBUTTON, BS_PUSHBUTTON, BS_SPLITBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
      {BS_SPLITBUTTON, BS_PUSHBUTTON, BS_SPLITBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
      {BS_COMMANDLINK, BS_DEFPUSHBUTTON, BS_DEFCOMMANDLINK, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
      {BS_DEFCOMMANDLINK, BS_PUSHBUTTON, BS_COMMANDLINK, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
      // Any other type replaces them, and they replace any type.
      {BS_SPLITBUTTON, BS_AUTOCHECKBOX, BS_AUTOCHECKBOX, DLGC_BUTTON},
      {BS_DEFSPLITBUTTON, BS_COMMANDLINK, BS_COMMANDLINK, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
      {BS_PUSHBUTTON, BS_DEFSPLITBUTTON, BS_DEFSPLITBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
  };
  for (const auto& k : cases) {
    HWND b = Ctl("BUTTON", "Go", k.From | BS_NOTIFY, RECT(10, 10, 90, 33), 5);
    SendMessageA(b, BM_SETSTYLE, k.Set, TRUE);
    DWORD style = static_cast<DWORD>(GetWindowLongA(b, GWL_STYLE));
    EXPECT_EQ(style & BS_TYPEMASK, k.To) << k.From << " <- " << k.Set;
    EXPECT_TRUE(style & BS_NOTIFY) << "the other bits stay";
    EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), k.Code) << k.From << " <- " << k.Set;
    DestroyWindow(b);
  }
}
class StaticTest : public TCtlTest {};

TEST_F(StaticTest, NotifyStyleDecidesWhetherClicksAreHeard) {
  HWND quiet = Ctl("STATIC", "quiet", SS_LEFT, RECT(10, 10, 100, 30), 1);
  HWND loud = Ctl("STATIC", "loud", SS_LEFT | SS_NOTIFY, RECT(10, 40, 100, 60), 2);
  Click(quiet, 5, 5);
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(Log.Count(WM_LBUTTONDOWN, Dialog), 1);  // fell through to the parent
  Log.Clear();
  Click(loud, 5, 5);
  rtl::testing::AdvanceClock(GetDoubleClickTime() + 10);
  InjectClick(ClientPoint(loud, 5, 5));
  InjectClick(ClientPoint(loud, 5, 5));
  RunUntilIdle();
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{2, STN_CLICKED}, {2, STN_CLICKED}, {2, STN_DBLCLK}}));
  Log.Clear();
  EnableWindow(loud, FALSE);
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{2, STN_DISABLE}}));
}

struct TAlignCase {
  const char* Name;
  DWORD Style;
  int MinLeft, MaxLeft;  // where the ink may start
};

class StaticAlignTest : public StaticTest, public ::testing::WithParamInterface<TAlignCase> {};

TEST_P(StaticAlignTest, TextSitsWhereTheStyleSays) {
  const TAlignCase& c = GetParam();
  HWND s = Ctl("STATIC", "Label", c.Style, RECT(10, 10, 210, 30), 1);
  RunUntilIdle();
  RECT ink = Capture(s).Ink(GetSysColor(COLOR_3DFACE), RECT(0, 0, 200, 20));
  EXPECT_GE(ink.Left, c.MinLeft);
  EXPECT_LE(ink.Left, c.MaxLeft);
}

INSTANTIATE_TEST_SUITE_P(Styles, StaticAlignTest,
                         ::testing::Values(TAlignCase{"Left", SS_LEFT, 0, 3}, TAlignCase{"Center", SS_CENTER, 70, 95},
                                           TAlignCase{"Right", SS_RIGHT, 150, 185}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(StaticTest, PrefixUnderlinesUnlessNoPrefixAndEllipsisKeepsInside) {
  HWND with = Ctl("STATIC", "&File", SS_LEFT, RECT(10, 10, 110, 30), 1);
  HWND without = Ctl("STATIC", "&File", SS_LEFT | SS_NOPREFIX, RECT(10, 40, 110, 60), 2);
  HWND longer = Ctl("STATIC", "A rather long caption that cannot fit", SS_LEFT | SS_ENDELLIPSIS, RECT(10, 70, 90, 90), 3);
  RunUntilIdle();
  COLORREF face = GetSysColor(COLOR_3DFACE);
  RECT a = Capture(with).Ink(face, RECT(0, 0, 100, 20));
  RECT b = Capture(without).Ink(face, RECT(0, 0, 100, 20));
  EXPECT_GT(b.Right, a.Right);  // the ampersand is drawn
  RECT c = Capture(longer).Ink(face, RECT(0, 0, 80, 20));
  EXPECT_LE(c.Right, 80);
  EXPECT_LT(c.Bottom, 18);  // one line: the ellipsis does not wrap
}

TEST_F(StaticTest, EtchedLinesAndFrames) {
  HWND horz = Ctl("STATIC", "", SS_ETCHEDHORZ, RECT(10, 10, 110, 12), 1);
  HWND frame = Ctl("STATIC", "", SS_BLACKFRAME, RECT(10, 20, 60, 60), 2);
  RunUntilIdle();
  TPicture h = Capture(horz);
  EXPECT_EQ(h.At(50, 0), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(h.At(50, 1), GetSysColor(COLOR_3DHILIGHT));
  TPicture f = Capture(frame);
  EXPECT_EQ(f.At(0, 20), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(f.At(25, 20), GetSysColor(COLOR_3DFACE));  // hollow: the parent shows through
}

TEST_F(StaticTest, IconControlTakesTheIconsSize) {
  HWND s = Ctl("STATIC", "", SS_ICON, RECT(10, 10, 100, 100), 1);
  HICON icon = LoadIconA(nullptr, IDI_HAND);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(SendMessageA(s, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0), 0);
  EXPECT_EQ(SendMessageA(s, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(icon));
  RECT r;
  GetClientRect(s, &r);
  EXPECT_EQ(r, RECT(0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
  RunUntilIdle();
  RECT ink = Capture(s).Ink(GetSysColor(COLOR_3DFACE), r);
  EXPECT_FALSE(IsRectEmpty(&ink));
}

}  // namespace
