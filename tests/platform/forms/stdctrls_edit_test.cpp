// Edits and memos driven by injected keys and mouse: typing with OnChange
// and a key filter, the selection, limits and modes, text kept across a
// new window.
#include "stdctrls_test_support.h"

using namespace stdctrls_test;

namespace {

class StdEdit : public TStdCtrlsTest {
 protected:
  TEdit* Edit = nullptr;
  Log Events;

  void SetUp() override {
    TStdCtrlsTest::SetUp();
    ShowForm();
    Edit = Add<TEdit>(Rect(10, 10, 190, 31));
    Edit->SetName("Edit");
    Edit->OnChange = [this](TObject*) { Events.push_back("change " + Edit->Text()); };
    Pump();
    Edit->SetFocus();
    Pump();
  }
};

TEST_F(StdEdit, TypingChangesTheTextAndAKeyFilterDiscardsKeys) {
  // The options dialog's page fields take digits only.
  Edit->OnKeyPress = [this](TObject* Sender, char& Key) {
    EXPECT_EQ(Sender, Edit);
    if ((Key < '0' || Key > '9') && Key != '\b') Key = 0;
  };
  Type("1a2");
  EXPECT_EQ(Edit->Text(), "12");
  EXPECT_EQ(Events, (Log{"change 1", "change 12"}));
  Press(VK_BACK);
  EXPECT_EQ(Edit->Text(), "1");
  EXPECT_EQ(Events.back(), "change 1");
  EXPECT_TRUE(Edit->Modified());
}

TEST_F(StdEdit, SettingTheTextTellsOnChangeAndAFocusByTabSelectsAll) {
  Edit->SetText("report.pdf");
  EXPECT_EQ(Events, (Log{"change report.pdf"}));
  Edit->SetText("report.pdf");
  EXPECT_EQ(Events.size(), 1u) << "the same text is no change";
  auto* Other = Add<TEdit>(Rect(10, 40, 190, 61));
  Pump();
  Other->SetFocus();
  Pump();
  // Back with Shift+Tab: the whole text is selected, so typing replaces it.
  rtl::testing::InjectKey(VK_SHIFT, true);
  rtl::testing::InjectKeyPress(VK_TAB);
  rtl::testing::InjectKey(VK_SHIFT, false);
  Pump();
  ASSERT_TRUE(Edit->Focused());
  EXPECT_EQ(Edit->SelStart(), 0);
  EXPECT_EQ(Edit->SelLength(), 10);
  Type("x");
  EXPECT_EQ(Edit->Text(), "x");
}

TEST_F(StdEdit, TheSelectionReadsAndReplaces) {
  Edit->SetText("Convert file to Word");
  Edit->SetSelStart(8);
  Edit->SetSelLength(4);
  EXPECT_EQ(Edit->SelText(), "file");
  Events.clear();
  Edit->SetSelText("document");
  EXPECT_EQ(Edit->Text(), "Convert document to Word");
  EXPECT_EQ(Events, (Log{"change Convert document to Word"}));
  EXPECT_EQ(Edit->SelStart(), 16) << "the caret after the inserted text";
  EXPECT_EQ(Edit->SelLength(), 0);
  // Shift+Home selects back to the start.
  rtl::testing::InjectKey(VK_SHIFT, true);
  rtl::testing::InjectKeyPress(VK_HOME);
  rtl::testing::InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_EQ(Edit->SelText(), "Convert document");
}

TEST_F(StdEdit, ModesLimitWhatTypingDoes) {
  struct Case {
    const char* Name;
    std::function<void(TEdit*)> Set;
    const char* Typed;
    const char* Expected;
  };
  const Case Cases[] = {
      {"MaxLength", [](TEdit* E) { E->SetMaxLength(3); }, "12345", "123"},
      {"ReadOnly", [](TEdit* E) { E->SetReadOnly(true); }, "abc", ""},
      {"upper case", [](TEdit* E) { E->SetCharCase(ecUpperCase); }, "Doc", "DOC"},
      {"lower case", [](TEdit* E) { E->SetCharCase(ecLowerCase); }, "Doc", "doc"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* E = Add<TEdit>(Rect(10, 80, 190, 101));
    C.Set(E);
    Pump();
    E->SetFocus();
    Pump();
    Type(C.Typed);
    EXPECT_EQ(E->Text(), C.Expected);
    delete E;
  }
}

TEST_F(StdEdit, APasswordEditShowsItsCharacterButKeepsTheText) {
  Edit->SetPasswordChar('*');
  Type("secret");
  EXPECT_EQ(Edit->Text(), "secret");
  EXPECT_EQ(SendMessage(Edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
}

TEST_F(StdEdit, TextModesAndTheModifiedFlagSurviveANewWindow) {
  Edit->SetMaxLength(5);
  Edit->SetPasswordChar('#');
  Type("abc");
  HWND Old = Edit->Handle();
  Events.clear();
  Edit->RecreateWnd();
  Pump();
  EXPECT_NE(Edit->Handle(), Old);
  EXPECT_EQ(Edit->Text(), "abc");
  EXPECT_TRUE(Edit->Modified());
  EXPECT_TRUE(Events.empty()) << "a new window is no change of the text";
  EXPECT_EQ(SendMessage(Edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), '#');
  Edit->SetFocus();
  Pump();
  Press(VK_END);
  Type("defg");
  EXPECT_EQ(Edit->Text(), "abcde");
}

TEST_F(StdEdit, AChangingCaseConvertsTheTextThere) {
  Edit->SetText("Report.PDF");
  Edit->SetCharCase(ecLowerCase);
  EXPECT_EQ(Edit->Text(), "report.pdf");
  Edit->SetCharCase(ecNormal);
  EXPECT_EQ(Edit->Text(), "report.pdf");
}

TEST_F(StdEdit, WithoutAWindowTheTextIsKeptAndHandedToTheWindow) {
  auto* E = new TEdit(Form);
  E->SetText("kept");
  EXPECT_FALSE(E->HandleAllocated());
  EXPECT_EQ(E->Text(), "kept");
  E->SetParent(Form);
  Pump();
  ASSERT_TRUE(E->HandleAllocated());
  EXPECT_EQ(E->Text(), "kept");
  EXPECT_EQ(GetWindowTextLength(E->Handle()), 4);
}

TEST_F(StdEdit, AnAutoSizedEditTakesTheHeightOfItsFont) {
  const Integer Small = Edit->Height();
  Edit->Font()->SetHeight(-24);
  EXPECT_GT(Edit->Height(), Small + 8);
  Edit->SetAutoSize(false);
  Edit->SetHeight(15);
  EXPECT_EQ(Edit->Height(), 15);
}

TEST_F(StdEdit, TheClipboardCutsAndPastes) {
  Edit->SetText("one two");
  Edit->SetSelStart(0);
  Edit->SetSelLength(4);
  Edit->CutToClipboard();
  EXPECT_EQ(Edit->Text(), "two");
  Edit->SetSelStart(3);
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "twoone ");
  EXPECT_TRUE(Edit->CanUndo());
  Edit->Undo();
  EXPECT_EQ(Edit->Text(), "two");
}

// ---- Memo ------------------------------------------------------------------------------

class StdMemo : public TStdCtrlsTest {};

TEST_F(StdMemo, LinesAreTheTextSplitAtLineBreaks) {
  ShowForm();
  auto* M = Add<TMemo>(Rect(10, 10, 210, 110));
  M->Lines()->Add("first");
  M->Lines()->Add("second");
  EXPECT_EQ(M->Text(), "first\r\nsecond");
  M->Lines()->Insert(1, "middle");
  M->Lines()->Delete(0);
  EXPECT_EQ(M->Lines()->Count(), 2);
  EXPECT_EQ(M->Lines()->Strings(0), "middle");
  M->Lines()->SetText("a\nb\nc\n");
  EXPECT_EQ(M->Text(), "a\r\nb\r\nc");
  EXPECT_EQ(M->Lines()->Count(), 3);
  EXPECT_THROW(M->Lines()->Strings(3), EStringListError);
}

TEST_F(StdMemo, EnterGoesToTheDefaultButtonUnlessTheMemoWantsReturns) {
  ShowForm();
  auto* M = Add<TMemo>(Rect(10, 10, 210, 110));
  auto* OK = Add<TButton>(Rect(10, 120, 85, 145));
  OK->SetDefault(true);
  Integer Clicks = 0;
  OK->OnClick = [&](TObject*) { ++Clicks; };
  Pump();
  M->SetFocus();
  Pump();
  Type("a");
  Press(VK_RETURN);
  Type("b");
  EXPECT_EQ(M->Lines()->Count(), 2);
  EXPECT_EQ(Clicks, 0);
  M->SetWantReturns(false);
  Press(VK_RETURN);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(M->Lines()->Count(), 2);
}

TEST_F(StdMemo, ScrollBarsAndWrappingAreTheWindowsStyles) {
  ShowForm();
  const struct {
    TScrollStyle Bars;
    bool Wrap;
    DWORD On, Off;
  } Cases[] = {
      {ssNone, true, 0, WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL},
      {ssNone, false, ES_AUTOHSCROLL, WS_HSCROLL | WS_VSCROLL},
      {StdCtrls::ssHorizontal, false, WS_HSCROLL | ES_AUTOHSCROLL, WS_VSCROLL},
      {ssVertical, true, WS_VSCROLL, WS_HSCROLL | ES_AUTOHSCROLL},
      {ssBoth, true, WS_HSCROLL | WS_VSCROLL, ES_AUTOHSCROLL},
  };
  // More lines than the memo shows: the window class hides a vertical
  // scroll bar that has nothing to scroll.
  auto* M = Add<TMemo>(Rect(10, 10, 110, 110));
  for (Integer I = 0; I < 20; ++I) M->Lines()->Add("line " + std::to_string(I));
  const AnsiString Text = M->Text();
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::to_string(C.Bars) + (C.Wrap ? " wrapped" : ""));
    M->SetScrollBars(C.Bars);
    M->SetWordWrap(C.Wrap);
    const DWORD Style = static_cast<DWORD>(GetWindowLong(M->Handle(), GWL_STYLE));
    EXPECT_EQ(Style & C.On, C.On);
    EXPECT_EQ(Style & C.Off, 0u);
    EXPECT_EQ(M->ScrollBars(), C.Bars);
    EXPECT_EQ(M->Text(), Text) << "the new window keeps the text";
  }
  EXPECT_NE(WriteToText(Form).find("ScrollBars = ssBoth"), AnsiString::npos);
}

TEST_F(StdMemo, ALongLineWrapsUnlessAHorizontalScrollBarScrollsIt) {
  ShowForm();
  auto* M = Add<TMemo>(Rect(10, 10, 110, 110));
  M->SetText("a line far too long for a memo of a hundred pixels");
  const auto Shown = [M] { return SendMessage(M->Handle(), EM_GETLINECOUNT, 0, 0); };
  EXPECT_GT(Shown(), 1);
  M->SetScrollBars(StdCtrls::ssHorizontal);
  EXPECT_EQ(Shown(), 1);
  EXPECT_EQ(M->Lines()->Count(), 1) << "the lines are the text's, not the window's";
}

TEST_F(StdMemo, TheCaretPositionIsALineAndAColumn) {
  ShowForm();
  auto* M = Add<TMemo>(Rect(10, 10, 210, 110));
  M->SetText("abc\r\ndefgh\r\nij");
  Pump();
  M->SetFocus();
  Pump();
  M->SetCaretPos(TPoint(2, 1));
  EXPECT_EQ(M->SelStart(), 5 + 2);
  EXPECT_EQ(M->SelLength(), 0);
  EXPECT_EQ(M->CaretPos(), TPoint(2, 1));
  Type("X");
  EXPECT_EQ(M->Lines()->Strings(1), "deXfgh");
  EXPECT_EQ(M->CaretPos(), TPoint(3, 1));
  // Past the end of a line or of the text: as far as there is.
  M->SetCaretPos(TPoint(40, 0));
  EXPECT_EQ(M->CaretPos(), TPoint(3, 0));
  M->SetCaretPos(TPoint(1, 9));
  EXPECT_EQ(M->CaretPos(), TPoint(1, 2));
}

TEST_F(StdMemo, TabTypesATabOnlyWhenTheMemoWantsTabs) {
  ShowForm();
  auto* M = Add<TMemo>(Rect(10, 10, 210, 110));
  auto* Next = Add<TEdit>(Rect(10, 120, 110, 141));
  Pump();
  M->SetFocus();
  Pump();
  Press(VK_TAB);
  EXPECT_TRUE(Next->Focused());
  EXPECT_EQ(M->Text(), "");
  M->SetWantTabs(true);
  M->SetFocus();
  Pump();
  Press(VK_TAB);
  EXPECT_TRUE(M->Focused());
  EXPECT_EQ(M->Text(), "\t");
}

}  // namespace
