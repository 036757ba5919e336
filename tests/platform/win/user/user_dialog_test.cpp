// The dialog manager driven by injected keys through a loop that hands
// every message to IsDialogMessage: the tab order (disabled, hidden and
// nested controls), arrows in radio groups, Enter and Esc with the default
// button that follows the focus, underlined letters, controls that keep
// keys for themselves, the defaults of a dialog procedure, and the dialog
// item helpers.
#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;

struct TDlgCommand {
  int Id;
  int Code;
  HWND Control;
  bool operator==(const TDlgCommand&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TDlgCommand& c) {
  return os << "{" << c.Id << ", " << c.Code << ", " << c.Control << "}";
}

LRESULT DefDlgTestProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  return DefDlgProcA(h, m, w, l);
}

class DialogTest : public TCtlTest {
 protected:
  HWND Host = nullptr;  // the dialog the loop serves
  HWND Label = nullptr, Name = nullptr, Red = nullptr, Green = nullptr, Blue = nullptr, Loud = nullptr,
       Disabled = nullptr, Hidden = nullptr, Ok = nullptr, Cancel = nullptr;
  int Placed = 0;

  void SetUp() override {
    TCtlTest::SetUp();
    Host = Dialog;
  }

  HWND Add(const char* cls, const char* text, DWORD style, int id, HWND parent = nullptr, DWORD ex = 0) {
    // One below the other, in two columns.
    int x = 10 + (Placed / 15) * 180, y = 10 + (Placed % 15) * 25;
    ++Placed;
    HWND h = CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, 160, 22, parent ? parent : Host,
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    EXPECT_NE(h, nullptr) << cls << " " << text;
    Created.push_back(h);
    return h;
  }

  // A label with a mnemonic and its edit, a group of three automatic radio
  // buttons, check boxes (one disabled, one hidden), OK (the default) and
  // Cancel.
  void Build() {
    Label = Add("STATIC", "&Name:", SS_LEFT, 10);
    Name = Add("EDIT", "John", WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, 11);
    Red = Add("BUTTON", "&Red", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 12);
    Green = Add("BUTTON", "&Green", BS_AUTORADIOBUTTON, 13);
    Blue = Add("BUTTON", "&Blue", BS_AUTORADIOBUTTON, 14);
    Loud = Add("BUTTON", "&Loud", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 15);
    Disabled = Add("BUTTON", "&Disabled", BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED, 16);
    Hidden = Add("BUTTON", "&Hidden", BS_AUTOCHECKBOX | WS_TABSTOP, 17);
    ShowWindow(Hidden, SW_HIDE);
    Ok = Add("BUTTON", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK);
    Cancel = Add("BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
    CheckRadioButton(Host, 12, 14, 12);
    Focus(Name);
  }

  void Focus(HWND h) {
    SetFocus(h);
    Pump();
    Log.Clear();
  }

  // The application's loop: every message goes through IsDialogMessage.
  void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(m.wParam));
        return;
      }
      if (!IsDialogMessageA(Host, &m)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
      }
    }
  }

  void Key(UINT vk, UINT modifier = 0) {
    if (modifier) InjectKey(modifier, true);
    InjectKeyPress(vk);
    if (modifier) InjectKey(modifier, false);
    Pump();
  }

  std::vector<TDlgCommand> HostCommands(int code = -1000) const {
    std::vector<TDlgCommand> r;
    for (const TLogged& l : Log.Items)
      if (l.Hwnd == Host && l.Msg == WM_COMMAND && (code == -1000 || static_cast<short>(HIWORD(l.WParam)) == code))
        r.push_back(TDlgCommand{LOWORD(l.WParam), static_cast<short>(HIWORD(l.WParam)), reinterpret_cast<HWND>(l.LParam)});
    return r;
  }

  static UINT ButtonType(HWND h) { return static_cast<UINT>(GetWindowLongA(h, GWL_STYLE)) & BS_TYPEMASK; }
  static bool Checked(HWND h) { return SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  static std::pair<DWORD, DWORD> Selection(HWND edit) {
    DWORD from = 0, to = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return {from, to};
  }
};

TEST_F(DialogTest, OnlyMessagesOfTheDialogAreItsOwn) {
  Build();
  HWND other = MakeTop(WS_POPUP, RECT(700, 100, 800, 200), 0, "CtlTestParent");
  MSG m{other, WM_KEYDOWN, VK_TAB, 0, 0, POINT(0, 0)};
  EXPECT_FALSE(IsDialogMessageA(Host, &m));
  EXPECT_FALSE(IsDialogMessageA(Host, nullptr));
  // A message of the dialog that is no key is dispatched and counts as
  // handled.
  MSG paint{Name, WM_USER + 77, 0, 0, 0, POINT(0, 0)};
  EXPECT_TRUE(IsDialogMessageA(Host, &paint));
  EXPECT_EQ(GetFocus(), Name);
}

TEST_F(DialogTest, TabVisitsUsableTabStopsAndSelectsEditText) {
  Build();
  // Forward: the checked radio button is its group's stop; the disabled and
  // the hidden check boxes are passed over; the end wraps to the start.
  std::vector<HWND> forward = {Red, Loud, Ok, Cancel, Name};
  for (size_t i = 0; i < forward.size(); ++i) {
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), forward[i]) << "Tab " << i;
  }
  // Back into the edit from the other side: all of its text is selected.
  SendMessageA(Name, EM_SETSEL, 1, 1);
  Focus(Red);
  Key(VK_TAB, VK_SHIFT);
  EXPECT_EQ(GetFocus(), Name);
  EXPECT_EQ(Selection(Name), std::make_pair(DWORD(0), DWORD(4)));
  Key(VK_TAB, VK_SHIFT);
  EXPECT_EQ(GetFocus(), Cancel);
  // No key reached the controls as a character.
  EXPECT_EQ(Log.Count(WM_CHAR), 0);
  EXPECT_STREQ(CtlText(Name).c_str(), "John");

  // With the focus on the dialog itself, Tab starts at either end.
  Focus(Host);
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), Name);
  Focus(Host);
  Key(VK_TAB, VK_SHIFT);
  EXPECT_EQ(GetFocus(), Cancel);

  EXPECT_EQ(GetNextDlgTabItem(Host, nullptr, FALSE), Name);
  EXPECT_EQ(GetNextDlgTabItem(Host, nullptr, TRUE), Cancel);
  EXPECT_EQ(GetNextDlgTabItem(Host, Label, FALSE), Name);
  EXPECT_EQ(GetNextDlgTabItem(Host, Green, FALSE), Loud);
  HWND other = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  EXPECT_EQ(GetNextDlgTabItem(Host, other, FALSE), nullptr);
}

TEST_F(DialogTest, ArrowsMoveWithinTheGroupAndChooseRadioButtons) {
  Build();
  Focus(Red);
  struct TStep {
    UINT Key;
    HWND* Focused;
    HWND* Checked;
  } steps[] = {
      {VK_DOWN, &Green, &Green}, {VK_RIGHT, &Blue, &Blue}, {VK_DOWN, &Red, &Red},  // wraps inside the group
      {VK_UP, &Blue, &Blue},     {VK_LEFT, &Green, &Green},
  };
  for (const TStep& s : steps) {
    Log.Clear();
    Key(s.Key);
    EXPECT_EQ(GetFocus(), *s.Focused);
    for (HWND r : {Red, Green, Blue}) EXPECT_EQ(Checked(r), r == *s.Checked);
    // Chosen once: one BN_CLICKED of the new radio button.
    EXPECT_EQ(HostCommands(BN_CLICKED),
              (std::vector<TDlgCommand>{{GetDlgCtrlID(*s.Focused), BN_CLICKED, *s.Focused}}));
  }
  // The checked radio button is the group's tab stop now.
  Focus(Name);
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), Green);

  // A group whose other members are disabled or hidden: the focus stays.
  Focus(Loud);
  Key(VK_DOWN);
  EXPECT_EQ(GetFocus(), Loud);
  EXPECT_FALSE(Checked(Loud));
  EXPECT_EQ(GetNextDlgGroupItem(Host, Red, TRUE), Blue);
  EXPECT_EQ(GetNextDlgGroupItem(Host, Blue, FALSE), Red);
  EXPECT_EQ(GetNextDlgGroupItem(Host, Loud, FALSE), Loud);
}

// The edges of the two searches: no control or the dialog itself starts
// at either end; a group whose WS_GROUP control is hidden still starts
// there; a control inside a child without WS_EX_CONTROLPARENT stands where
// that child stands, and the child's children are never searched.
TEST_F(DialogTest, TabAndGroupSearchesAtTheirEdges) {
  HWND first = Add("EDIT", "", WS_TABSTOP | WS_GROUP, 20);
  HWND hiddenStart = Add("BUTTON", "&A", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 21);
  HWND b = Add("BUTTON", "&B", BS_AUTORADIOBUTTON, 22);
  HWND c = Add("BUTTON", "&C", BS_AUTORADIOBUTTON, 23);
  ShowWindow(hiddenStart, SW_HIDE);
  HWND push = Add("BUTTON", "Push", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 24);
  HWND panel = Add("UserTestLog", "", WS_GROUP, 25);  // no WS_EX_CONTROLPARENT
  HWND inner = Add("EDIT", "", WS_TABSTOP, 26, panel);
  HWND innerGroup = Add("BUTTON", "&In", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 27, panel);
  HWND last = Add("BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK);
  struct TCase {
    const char* Name;
    HWND (*Search)(HWND, HWND, BOOL);
    HWND Control;
    BOOL Previous;
    HWND Want;
  } cases[] = {
      {"tab, none, next", GetNextDlgTabItem, nullptr, FALSE, first},
      {"tab, none, previous", GetNextDlgTabItem, nullptr, TRUE, last},
      {"tab, dialog, next", GetNextDlgTabItem, Host, FALSE, first},
      {"tab, dialog, previous", GetNextDlgTabItem, Host, TRUE, last},
      {"tab, hidden group start is passed", GetNextDlgTabItem, first, FALSE, push},
      {"tab, inside a plain child, next", GetNextDlgTabItem, inner, FALSE, last},
      {"tab, inside a plain child, previous", GetNextDlgTabItem, inner, TRUE, push},
      {"tab, from the plain child", GetNextDlgTabItem, panel, FALSE, last},
      {"group, none, next", GetNextDlgGroupItem, nullptr, FALSE, first},
      {"group, none, previous", GetNextDlgGroupItem, nullptr, TRUE, last},
      {"group, dialog, previous", GetNextDlgGroupItem, Host, TRUE, last},
      {"group, next wraps past the hidden start", GetNextDlgGroupItem, c, FALSE, b},
      {"group, previous passes the hidden start", GetNextDlgGroupItem, b, TRUE, c},
      {"group, next", GetNextDlgGroupItem, b, FALSE, c},
      {"group, hidden start itself", GetNextDlgGroupItem, hiddenStart, FALSE, b},
      {"group, alone in its group", GetNextDlgGroupItem, push, FALSE, push},
      // The plain child is alone in its group: the control stays.
      {"group, inside a plain child", GetNextDlgGroupItem, innerGroup, FALSE, innerGroup},
  };
  for (const TCase& k : cases) EXPECT_EQ(k.Search(Host, k.Control, k.Previous), k.Want) << k.Name;
  // With every group member hidden or disabled, the search answers the
  // control it started from.
  EnableWindow(b, FALSE);
  EXPECT_EQ(GetNextDlgGroupItem(Host, c, FALSE), c);
  EXPECT_EQ(GetNextDlgGroupItem(Host, c, TRUE), c);
}

struct TEnterCase {
  const char* Name;
  int FocusId;
  UINT Key;
  int DisabledId;              // a button disabled first (0: none)
  std::vector<int> Commands;  // ids of the WM_COMMAND the dialog hears
};

class DialogEnterTest : public DialogTest, public ::testing::WithParamInterface<TEnterCase> {};

TEST_P(DialogEnterTest, EnterAndEscapeCommandTheDialog) {
  const TEnterCase& c = GetParam();
  Build();
  if (c.DisabledId) EnableWindow(GetDlgItem(Host, c.DisabledId), FALSE);
  Focus(GetDlgItem(Host, c.FocusId));
  Key(c.Key);
  std::vector<TDlgCommand> want;
  for (int id : c.Commands) want.push_back({id, BN_CLICKED, GetDlgItem(Host, id)});
  EXPECT_EQ(HostCommands(), want);
  EXPECT_STREQ(CtlText(Name).c_str(), "John");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DialogEnterTest,
    ::testing::Values(TEnterCase{"EnterInAnEditIsTheDefault", 11, VK_RETURN, 0, {IDOK}},
                      TEnterCase{"EnterOnACheckBoxIsTheDefault", 15, VK_RETURN, 0, {IDOK}},
                      TEnterCase{"EnterOnAFocusedPushButtonIsThatButton", IDCANCEL, VK_RETURN, 0, {IDCANCEL}},
                      TEnterCase{"EnterWithTheDefaultDisabledDoesNothing", 11, VK_RETURN, IDOK, {}},
                      TEnterCase{"EscapeIsCancel", 11, VK_ESCAPE, 0, {IDCANCEL}},
                      TEnterCase{"EscapeOnOkIsCancelToo", IDOK, VK_ESCAPE, 0, {IDCANCEL}},
                      TEnterCase{"EscapeWithCancelDisabledDoesNothing", 11, VK_ESCAPE, IDCANCEL, {}}),
    [](const auto& info) { return info.param.Name; });

TEST_F(DialogTest, EscapeWithoutACancelButtonStillAsksForCancel) {
  Name = Add("EDIT", "", WS_TABSTOP, 11);
  Focus(Name);
  Key(VK_ESCAPE);
  Key(VK_RETURN);
  EXPECT_EQ(HostCommands(), (std::vector<TDlgCommand>{{IDCANCEL, BN_CLICKED, nullptr}, {IDOK, BN_CLICKED, nullptr}}));
}

TEST_F(DialogTest, TheDefaultLookFollowsTheFocusedPushButton) {
  Build();
  Focus(Loud);
  Key(VK_TAB);  // OK, the default itself
  EXPECT_EQ(ButtonType(Ok), static_cast<UINT>(BS_DEFPUSHBUTTON));
  Key(VK_TAB);  // Cancel borrows the look
  EXPECT_EQ(GetFocus(), Cancel);
  EXPECT_EQ(ButtonType(Cancel), static_cast<UINT>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(ButtonType(Ok), static_cast<UINT>(BS_PUSHBUTTON));
  // Enter presses the focused button, and the dialog's default is still OK
  // once the focus leaves the push buttons.
  Key(VK_RETURN);
  EXPECT_EQ(HostCommands(), (std::vector<TDlgCommand>{{IDCANCEL, BN_CLICKED, Cancel}}));
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), Name);
  EXPECT_EQ(ButtonType(Ok), static_cast<UINT>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(ButtonType(Cancel), static_cast<UINT>(BS_PUSHBUTTON));
  Log.Clear();
  Key(VK_RETURN);
  EXPECT_EQ(HostCommands(), (std::vector<TDlgCommand>{{IDOK, BN_CLICKED, Ok}}));

  // A click moves the look as well; a click into the edit gives it back.
  InjectClick(ClientPoint(Cancel, 10, 10));
  Pump();
  EXPECT_EQ(GetFocus(), Cancel);
  EXPECT_EQ(ButtonType(Cancel), static_cast<UINT>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(ButtonType(Ok), static_cast<UINT>(BS_PUSHBUTTON));
  InjectClick(ClientPoint(Name, 5, 5));
  Pump();
  EXPECT_EQ(GetFocus(), Name);
  EXPECT_EQ(ButtonType(Ok), static_cast<UINT>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(ButtonType(Cancel), static_cast<UINT>(BS_PUSHBUTTON));
}

// A split button borrows the default look as a split button, and a
// command link that is the dialog's default gives it back as a link.
TEST_F(DialogTest, SplitButtonsAndCommandLinksKeepTheirKindWithTheDefaultLook) {
  Name = Add("EDIT", "", WS_TABSTOP, 11);
  HWND split = Add("BUTTON", "&Save", BS_SPLITBUTTON | WS_TABSTOP, 12);
  HWND link = Add("BUTTON", "Continue", BS_DEFCOMMANDLINK | WS_TABSTOP, IDOK);
  Focus(Name);
  struct {
    HWND* Focused;
    UINT SplitType, LinkType;
  } steps[] = {
      {&split, BS_DEFSPLITBUTTON, BS_COMMANDLINK},
      {&link, BS_SPLITBUTTON, BS_DEFCOMMANDLINK},
      {&Name, BS_SPLITBUTTON, BS_DEFCOMMANDLINK},
      {&split, BS_DEFSPLITBUTTON, BS_COMMANDLINK},
  };
  for (const auto& s : steps) {
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), *s.Focused);
    EXPECT_EQ(ButtonType(split), s.SplitType);
    EXPECT_EQ(ButtonType(link), s.LinkType);
  }
  Log.Clear();
  Key(VK_RETURN);
  EXPECT_EQ(HostCommands(), (std::vector<TDlgCommand>{{12, BN_CLICKED, split}}));
  Focus(Name);
  Key(VK_RETURN);
  EXPECT_EQ(HostCommands(), (std::vector<TDlgCommand>{{IDOK, BN_CLICKED, link}}));
}

struct TMnemonicCase {
  const char* Name;
  int FocusId;
  UINT Modifier;  // VK_MENU for Alt+letter, 0 for the plain letter
  UINT Letter;
  int FocusAfter;
  std::vector<int> Clicked;  // BN_CLICKED ids the dialog hears
  const char* NameText;      // the edit's text afterwards
};

class DialogMnemonicTest : public DialogTest, public ::testing::WithParamInterface<TMnemonicCase> {};

TEST_P(DialogMnemonicTest, UnderlinedLetters) {
  const TMnemonicCase& c = GetParam();
  Build();
  Add("STATIC", "&Zero prefix", SS_LEFT | SS_NOPREFIX, 30);
  SendMessageA(Name, EM_SETSEL, 4, 4);
  Focus(GetDlgItem(Host, c.FocusId));
  Key(c.Letter, c.Modifier);
  EXPECT_EQ(GetFocus(), GetDlgItem(Host, c.FocusAfter));
  std::vector<TDlgCommand> want;
  for (int id : c.Clicked) want.push_back({id, BN_CLICKED, GetDlgItem(Host, id)});
  EXPECT_EQ(HostCommands(BN_CLICKED), want);
  EXPECT_STREQ(CtlText(Name).c_str(), c.NameText);
}

INSTANTIATE_TEST_SUITE_P(
    Letters, DialogMnemonicTest,
    ::testing::Values(
        TMnemonicCase{"AltLabelFocusesTheNextTabStop", IDCANCEL, VK_MENU, 'N', 11, {}, "John"},
        TMnemonicCase{"AltRadioFocusesAndChooses", 11, VK_MENU, 'G', 13, {13}, "John"},
        TMnemonicCase{"AltCheckBoxClicks", 11, VK_MENU, 'L', 15, {15}, "John"},
        TMnemonicCase{"AltPushButtonClicks", 11, VK_MENU, 'O', IDOK, {IDOK}, "John"},
        TMnemonicCase{"PlainLetterOnAButton", IDCANCEL, 0, 'L', 15, {15}, "John"},
        TMnemonicCase{"PlainLetterInAnEditIsTyped", 11, 0, 'L', 11, {}, "Johnl"},
        TMnemonicCase{"DisabledControlHasNone", IDCANCEL, VK_MENU, 'D', IDCANCEL, {}, "John"},
        TMnemonicCase{"HiddenControlHasNone", IDCANCEL, VK_MENU, 'H', IDCANCEL, {}, "John"},
        TMnemonicCase{"NoPrefixLabelHasNone", IDCANCEL, VK_MENU, 'Z', IDCANCEL, {}, "John"}),
    [](const auto& info) { return info.param.Name; });

TEST_F(DialogTest, SharedLetterOnlyMovesTheFocusAmongItsControls) {
  HWND a = Add("BUTTON", "&Save", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 21);
  HWND b = Add("BUTTON", "&Skip", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 22);
  HWND c = Add("BUTTON", "Other", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 23);
  Focus(c);
  Key('S', VK_MENU);
  EXPECT_EQ(GetFocus(), a);
  Key('S', VK_MENU);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_FALSE(Checked(a));
  EXPECT_FALSE(Checked(b));
  EXPECT_TRUE(HostCommands(BN_CLICKED).empty());
}

TEST_F(DialogTest, ChildrenOfAControlParentTakeItsPlace) {
  HWND first = Add("EDIT", "", WS_TABSTOP, 21);
  // A group box is no container: the controls after it are its siblings.
  Add("BUTTON", "Options", BS_GROUPBOX, 22);
  HWND panel = Add("UserTestLog", "", 0, 23, nullptr, WS_EX_CONTROLPARENT);
  HWND inner1 = Add("EDIT", "", WS_TABSTOP, 31, panel);
  HWND deeper = Add("UserTestLog", "", 0, 32, panel, WS_EX_CONTROLPARENT);
  HWND inner2 = Add("BUTTON", "&Inner", BS_AUTOCHECKBOX | WS_TABSTOP, 321, deeper);
  HWND hiddenPanel = Add("UserTestLog", "", 0, 24, nullptr, WS_EX_CONTROLPARENT);
  Add("EDIT", "", WS_TABSTOP, 41, hiddenPanel);
  ShowWindow(hiddenPanel, SW_HIDE);
  HWND last = Add("BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
  Focus(first);
  std::vector<HWND> order = {inner1, inner2, last, first};
  for (HWND h : order) {
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), h);
  }
  Key(VK_TAB, VK_SHIFT);
  EXPECT_EQ(GetFocus(), last);
  Key(VK_TAB, VK_SHIFT);
  EXPECT_EQ(GetFocus(), inner2);
  EXPECT_EQ(GetNextDlgTabItem(Host, inner2, FALSE), last);
  EXPECT_EQ(GetNextDlgTabItem(Host, inner1, TRUE), first);
  // Mnemonics reach into containers, and Enter from inside one finds the
  // default of the dialog.
  Focus(first);
  Key('I', VK_MENU);
  EXPECT_EQ(GetFocus(), inner2);
  EXPECT_TRUE(Checked(inner2));
  Focus(inner1);
  Log.Clear();
  Key(VK_RETURN);
  EXPECT_EQ(HostCommands(), (std::vector<TDlgCommand>{{IDOK, BN_CLICKED, last}}));
}

TEST_F(DialogTest, AMultiLineEditKeepsEnterAndTab) {
  Build();
  HWND memo = Add("EDIT", "", ES_MULTILINE | ES_WANTRETURN | WS_TABSTOP, 20);
  Focus(memo);
  Key('A');
  Key(VK_RETURN);
  Key(VK_TAB);
  Key('B');
  EXPECT_EQ(GetFocus(), memo);
  EXPECT_STREQ(CtlText(memo).c_str(), "a\r\n\tb");
  EXPECT_TRUE(HostCommands(BN_CLICKED).empty());
  // Alt with a letter still reaches the dialog.
  Key('L', VK_MENU);
  EXPECT_EQ(GetFocus(), Loud);
  EXPECT_TRUE(Checked(Loud));
}

// A multi-line edit wants every key but Esc: there, Esc still cancels the
// dialog (unless Cancel is disabled), and typing goes on afterwards.
TEST_F(DialogTest, EscapeInAMultiLineEditCancels) {
  Build();
  HWND memo = Add("EDIT", "", ES_MULTILINE | ES_WANTRETURN | WS_TABSTOP | WS_VSCROLL, 20);
  Focus(memo);
  Key('A');
  Key(VK_ESCAPE);
  EXPECT_EQ(HostCommands(BN_CLICKED), (std::vector<TDlgCommand>{{IDCANCEL, BN_CLICKED, Cancel}}));
  EXPECT_EQ(GetFocus(), memo);
  Log.Clear();
  EnableWindow(Cancel, FALSE);
  Key(VK_ESCAPE);
  Key('B');
  EXPECT_TRUE(HostCommands(BN_CLICKED).empty());
  EXPECT_EQ(CtlText(memo), "ab");  // Esc typed nothing
  // Asked without a message, the edit still claims all keys.
  EXPECT_TRUE(SendMessageA(memo, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
}

TEST_F(DialogTest, ADroppedComboBoxKeepsEnterAndEscape) {
  Build();
  // With an edit, the focus sits in the edit; without, on the combo box.
  for (DWORD kind : {DWORD(CBS_DROPDOWNLIST), DWORD(CBS_DROPDOWN)}) {
    SCOPED_TRACE(kind == CBS_DROPDOWN ? "drop-down" : "drop-down list");
    HWND combo = Add("COMBOBOX", "", kind | WS_TABSTOP | WS_VSCROLL, kind == CBS_DROPDOWN ? 41 : 40);
    SetWindowPos(combo, nullptr, 0, 0, 140, 120, SWP_NOMOVE | SWP_NOZORDER);
    for (const char* s : {"One", "Two"}) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    Focus(combo);
    Key(VK_F4);
    ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    Key(VK_ESCAPE);
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(HostCommands(BN_CLICKED).empty());
    Key(VK_F4);
    Key(VK_RETURN);
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(HostCommands(BN_CLICKED).empty());
    // Closed, the keys are the dialog's again.
    Key(VK_ESCAPE);
    EXPECT_EQ(HostCommands(BN_CLICKED), (std::vector<TDlgCommand>{{IDCANCEL, BN_CLICKED, Cancel}}));
    DestroyWindow(combo);
    Log.Clear();
  }
}

class DefDlgProcTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, "DlgTestDefDlg", &wc)) {
      wc.lpfnWndProc = DefDlgTestProc;
      wc.lpszClassName = "DlgTestDefDlg";
      wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
      RegisterClassA(&wc);
    }
    Host = MakeTop(WS_POPUP | WS_VISIBLE, RECT(120, 120, 520, 520), 0, "DlgTestDefDlg");
    Pump();
  }
};

TEST_F(DefDlgProcTest, DefaultIdIsKeptAndShown) {
  EXPECT_EQ(SendMessageA(Host, DM_GETDEFID, 0, 0), 0);  // no buttons yet
  Build();
  EXPECT_EQ(SendMessageA(Host, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
  EXPECT_TRUE(SendMessageA(Host, DM_SETDEFID, IDCANCEL, 0));
  EXPECT_EQ(SendMessageA(Host, DM_GETDEFID, 0, 0), MAKELRESULT(IDCANCEL, DC_HASDEFID));
  EXPECT_EQ(ButtonType(Cancel), static_cast<UINT>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(ButtonType(Ok), static_cast<UINT>(BS_PUSHBUTTON));
  Key(VK_RETURN);
  EXPECT_EQ(HostCommands(), (std::vector<TDlgCommand>{{IDCANCEL, BN_CLICKED, Cancel}}));
  // Through OK and back out, the default it was given comes back.
  Focus(Loud);
  Key(VK_TAB);
  EXPECT_EQ(ButtonType(Ok), static_cast<UINT>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(ButtonType(Cancel), static_cast<UINT>(BS_PUSHBUTTON));
  Key(VK_TAB, VK_SHIFT);
  EXPECT_EQ(GetFocus(), Loud);
  EXPECT_EQ(ButtonType(Cancel), static_cast<UINT>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(ButtonType(Ok), static_cast<UINT>(BS_PUSHBUTTON));
  EXPECT_EQ(SendMessageA(Host, DM_GETDEFID, 0, 0), MAKELRESULT(IDCANCEL, DC_HASDEFID));
}

TEST_F(DefDlgProcTest, NextDialogControlInBothForms) {
  Build();
  SendMessageA(Name, EM_SETSEL, 2, 2);
  SendMessageA(Host, WM_NEXTDLGCTL, 0, FALSE);  // next
  EXPECT_EQ(GetFocus(), Red);
  SendMessageA(Host, WM_NEXTDLGCTL, 1, FALSE);  // previous
  EXPECT_EQ(GetFocus(), Name);
  EXPECT_EQ(Selection(Name), std::make_pair(DWORD(0), DWORD(4)));
  SendMessageA(Host, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Cancel), TRUE);  // this one
  EXPECT_EQ(GetFocus(), Cancel);
  EXPECT_EQ(ButtonType(Cancel), static_cast<UINT>(BS_DEFPUSHBUTTON));
  // A window outside the dialog is not taken.
  HWND other = MakeTop(WS_POPUP, RECT(0, 0, 10, 10), 0, "CtlTestParent");
  SendMessageA(Host, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(other), TRUE);
  EXPECT_EQ(GetFocus(), Cancel);
}

TEST_F(DialogTest, DialogItemHelpers) {
  Build();
  EXPECT_TRUE(SetDlgItemTextA(Host, 11, "Mary"));
  char buf[8];
  EXPECT_EQ(GetDlgItemTextA(Host, 11, buf, sizeof buf), 4u);
  EXPECT_STREQ(buf, "Mary");
  EXPECT_EQ(GetDlgItemTextA(Host, 11, buf, 3), 2u);  // cut to the buffer
  EXPECT_STREQ(buf, "Ma");
  EXPECT_EQ(GetDlgItemTextA(Host, 99, buf, sizeof buf), 0u);
  EXPECT_STREQ(buf, "");
  EXPECT_FALSE(SetDlgItemTextA(Host, 99, "x"));

  EXPECT_TRUE(CheckDlgButton(Host, 15, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(Host, 15), static_cast<UINT>(BST_CHECKED));
  EXPECT_FALSE(CheckDlgButton(Host, 99, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(Host, 99), 0u);
  EXPECT_TRUE(CheckRadioButton(Host, 12, 14, 14));
  EXPECT_EQ(IsDlgButtonChecked(Host, 12), 0u);
  EXPECT_EQ(IsDlgButtonChecked(Host, 14), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(SendDlgItemMessageA(Host, 11, WM_GETTEXTLENGTH, 0, 0), 4);
  EXPECT_EQ(SendDlgItemMessageA(Host, 99, WM_GETTEXTLENGTH, 0, 0), 0);
}

}  // namespace
