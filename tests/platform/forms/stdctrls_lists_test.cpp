// Combo boxes, list boxes and check list boxes driven by injected mouse and
// keys; their items kept without a window and across new windows.
#include "stdctrls_test_support.h"

using namespace stdctrls_test;
using rtl::testing::InjectKey;

namespace {

TObject* Tag(intptr_t N) { return reinterpret_cast<TObject*>(N); }

// ---- Combo boxes -----------------------------------------------------------------------------

class StdCombo : public TStdCtrlsTest {
 protected:
  TComboBox* Combo = nullptr;
  Log Events;

  void SetUp() override {
    TStdCtrlsTest::SetUp();
    ShowForm();
    // The options dialog's image formats.
    Combo = Add<TComboBox>(Rect(10, 10, 160, 31));
    Combo->SetStyle(csDropDownList);
    for (const char* S : {"PNG", "JPG", "GIF", "BMP", "TIFF"}) Combo->Items()->Add(S);
    Combo->OnChange = [this](TObject*) { Events.push_back("change " + Combo->Text()); };
    Combo->OnClick = [this](TObject*) { Events.push_back("click"); };
    Pump();
  }

  // The screen point of item I of the dropped-down list.
  POINT ListItem(Integer I) {
    RECT R;
    GetWindowRect(Combo->Handle(), &R);
    const Integer H = Combo->ItemHeight();
    return POINT(R.Left + 10, R.Bottom + 1 + I * H + H / 2);
  }
  void Click(POINT P) {
    rtl::testing::AdvanceClock(GetDoubleClickTime() + 1);
    rtl::testing::InjectClick(P);
    Pump();
  }
};

TEST_F(StdCombo, ChoosingFromTheDroppedListTellsClickThenChange) {
  EXPECT_EQ(Combo->ItemIndex(), -1);
  EXPECT_EQ(Combo->Text(), "");
  ClickAt(Combo, Combo->Width() - 8, 8);
  ASSERT_TRUE(Combo->DroppedDown());
  Click(ListItem(2));
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_EQ(Combo->ItemIndex(), 2);
  EXPECT_EQ(Combo->Text(), "GIF");
  EXPECT_EQ(Events, (Log{"click", "change GIF"}));
}

TEST_F(StdCombo, OnSelectTakesTheChoiceInsteadOfOnChange) {
  Combo->OnSelect = [this](TObject*) { Events.push_back("select " + Combo->Text()); };
  Combo->SetFocus();
  Pump();
  Press(VK_DOWN);
  Press(VK_DOWN);
  EXPECT_EQ(Combo->Text(), "JPG");
  EXPECT_EQ(Events, (Log{"click", "select PNG", "click", "select JPG"}));
}

TEST_F(StdCombo, EscClosesTheListWithoutAChoiceAndDropDownEventsArrive) {
  Combo->OnDropDown = [this](TObject*) { Events.push_back("drop down"); };
  Combo->OnCloseUp = [this](TObject*) { Events.push_back("close up"); };
  Combo->SetItemIndex(1);
  EXPECT_TRUE(Events.empty()) << "ItemIndex set in code tells nothing";
  Combo->SetFocus();
  Pump();
  InjectKey(VK_MENU, true);
  Press(VK_DOWN);
  InjectKey(VK_MENU, false);
  Pump();
  ASSERT_TRUE(Combo->DroppedDown());
  Press(VK_DOWN);
  Press(VK_ESCAPE);
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_EQ(Combo->ItemIndex(), 1);
  EXPECT_EQ(Events, (Log{"drop down", "close up"}));
}

TEST_F(StdCombo, TheListIsDropDownCountItemsHigh) {
  for (int I = 0; I < 20; ++I) Combo->Items()->Add("Extra " + std::to_string(I));
  const Integer H = Combo->ItemHeight();
  for (Integer Count : {8, 3}) {
    Combo->SetDropDownCount(Count);
    Combo->SetDroppedDown(true);
    Pump();
    RECT R;
    SendMessage(Combo->Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&R));
    EXPECT_EQ(R.Height(), Combo->Height() + Count * H + 2) << Count;
    Combo->SetDroppedDown(false);
    Pump();
  }
}

TEST_F(StdCombo, ItemIndexMinusOneEmptiesTheTextAndTextChoosesAnItem) {
  Combo->SetItemIndex(3);
  EXPECT_EQ(Combo->Text(), "BMP");
  Combo->SetItemIndex(-1);
  EXPECT_EQ(Combo->Text(), "");
  Combo->SetText("tiff");
  EXPECT_EQ(Combo->ItemIndex(), 4);
  EXPECT_TRUE(Events.empty());
}

TEST_F(StdCombo, TypingIntoAnEditComboTellsOnChange) {
  auto* C = Add<TComboBox>(Rect(10, 40, 160, 61));
  C->Items()->Add("Width");
  C->Items()->Add("Height");
  Log E;
  C->OnChange = [&](TObject*) { E.push_back(C->Text()); };
  Pump();
  C->SetFocus();
  Pump();
  Type("He");
  EXPECT_EQ(E, (Log{"H", "He"}));
  EXPECT_EQ(C->ItemIndex(), -1);
  C->SetItemIndex(0);
  EXPECT_EQ(C->Text(), "Width");
  C->SetText("Depth");
  EXPECT_EQ(E.size(), 2u) << "a text or choice set in code is no change";
  // A choice from the list is one change.
  Press(VK_DOWN);
  EXPECT_EQ(E, (Log{"H", "He", "Height"}));
  C->Clear();
  EXPECT_EQ(C->Text(), "");
  EXPECT_EQ(C->Items()->Count(), 0);
}

TEST_F(StdCombo, KeysTypedIntoTheEditGoThroughTheComboBoxsKeyEvents) {
  auto* C = Add<TComboBox>(Rect(10, 40, 160, 61));
  C->SetStyle(csDropDown);
  // The resize field takes digits only.
  C->OnKeyPress = [](TObject*, char& Key) {
    if ((Key < '0' || Key > '9') && Key != '\b') Key = 0;
  };
  Pump();
  ASSERT_NE(C->EditHandle(), nullptr);
  C->SetFocus();
  Pump();
  EXPECT_EQ(GetFocus(), C->EditHandle());
  Type("1x20");
  EXPECT_EQ(C->Text(), "120");
  C->SetCharCase(ecUpperCase);  // a new window, a new edit
  Pump();
  ASSERT_NE(C->EditHandle(), nullptr);
  C->SetFocus();
  Pump();
  Press(VK_END);
  Type("a5");
  EXPECT_EQ(C->Text(), "1205");
}

TEST_F(StdCombo, ItemsObjectsAndTheChoiceSurviveANewWindow) {
  Combo->Items()->SetObjects(1, Tag(11));
  Combo->SetItemIndex(1);
  HWND Old = Combo->Handle();
  Combo->SetSorted(true);  // a new window
  Pump();
  EXPECT_NE(Combo->Handle(), Old);
  EXPECT_EQ(Combo->Items()->CommaText(), "BMP,GIF,JPG,PNG,TIFF");
  EXPECT_EQ(Combo->Text(), "JPG");
  EXPECT_EQ(Combo->Items()->Objects(Combo->ItemIndex()), Tag(11));
  EXPECT_TRUE(Events.empty());
}

TEST_F(StdCombo, WithoutAWindowTheItemsAreKeptAndHandedOn) {
  auto* C = new TComboBox(Form);
  C->SetStyle(csDropDownList);
  C->Items()->Add("(None)");
  C->Items()->AddObject("Width", Tag(1));
  C->Items()->Add("Height");
  C->SetItemIndex(1);
  EXPECT_EQ(C->Text(), "Width");
  C->Items()->Delete(0);
  EXPECT_EQ(C->ItemIndex(), 0) << "the choice follows its item";
  C->SetText("Height");
  EXPECT_EQ(C->ItemIndex(), 1);
  EXPECT_FALSE(C->HandleAllocated());
  C->SetParent(Form);
  Pump();
  ASSERT_TRUE(C->HandleAllocated());
  EXPECT_EQ(SendMessage(C->Handle(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessage(C->Handle(), CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(C->Items()->Objects(0), Tag(1));
  EXPECT_EQ(C->Text(), "Height");
}

TEST_F(StdCombo, AnOwnerDrawnComboDrawsEachItemThroughOnDrawItem) {
  auto* C = Add<TComboBox>(Rect(10, 40, 160, 61));
  C->SetStyle(csOwnerDrawVariable);
  std::vector<std::pair<Integer, bool>> Drawn;
  C->OnMeasureItem = [&](TWinControl* Sender, Integer Index, Integer& Height) {
    EXPECT_EQ(Sender, C);
    if (Index == 1) Height = 30;
  };
  C->OnDrawItem = [&](TWinControl*, Integer Index, const TRect& R, TOwnerDrawState State) {
    Drawn.push_back({Index, State.Contains(odComboBoxEdit)});
    C->Canvas()->FillRect(R);
    if (Index == 1) {
      EXPECT_EQ(R.Height(), 30);
    }
  };
  // Items are measured as they are added.
  C->Items()->Add("Small");
  C->Items()->Add("Large");
  C->SetItemIndex(0);
  Pump();
  ASSERT_FALSE(Drawn.empty());
  EXPECT_EQ(Drawn.back(), (std::pair<Integer, bool>{0, true})) << "the field shows the choice";
  Drawn.clear();
  C->SetDroppedDown(true);
  Pump();
  EXPECT_NE(std::find(Drawn.begin(), Drawn.end(), std::pair<Integer, bool>{1, false}), Drawn.end());
  C->SetDroppedDown(false);
}

// ---- List boxes ------------------------------------------------------------------------------

class StdList : public TStdCtrlsTest {
 protected:
  TListBox* List = nullptr;
  Integer Clicks = 0;

  void SetUp() override {
    TStdCtrlsTest::SetUp();
    ShowForm();
    List = Add<TListBox>(Rect(10, 10, 210, 110));
    for (const char* S : {"a.pdf", "b.pdf", "c.pdf", "d.pdf", "e.pdf", "f.pdf", "g.pdf", "h.pdf", "i.pdf", "j.pdf"})
      List->Items()->Add(S);
    List->OnClick = [this](TObject*) { ++Clicks; };
    Pump();
  }
  void ClickItem(Integer I, std::initializer_list<UINT> Keys = {}) {
    const TRect R = List->ItemRect(I);
    for (UINT K : Keys) InjectKey(K, true);
    ClickAt(List, R.Left + 5, R.Top + R.Height() / 2);
    for (UINT K : Keys) InjectKey(K, false);
    Pump();
  }
  std::vector<Integer> SelectedItems() {
    std::vector<Integer> R;
    for (Integer I = 0; I < List->Count(); ++I)
      if (List->Selected(I)) R.push_back(I);
    return R;
  }
};

TEST_F(StdList, AClickSelectsOneItemAndTellsOnClick) {
  ClickItem(2);
  EXPECT_EQ(List->ItemIndex(), 2);
  EXPECT_TRUE(List->Selected(2));
  EXPECT_EQ(List->SelCount(), -1) << "a single-selection list counts no selection";
  EXPECT_EQ(Clicks, 1);
  Press(VK_DOWN);
  EXPECT_EQ(List->ItemIndex(), 3);
  EXPECT_EQ(Clicks, 2);
  List->SetItemIndex(0);
  EXPECT_EQ(Clicks, 2) << "ItemIndex set in code is no click";
  EXPECT_THROW(List->Selected(10), EListError);
}

TEST_F(StdList, ShiftAndCtrlExtendAMultiSelection) {
  List->SetMultiSelect(true);
  Pump();
  ClickItem(1);
  ClickItem(4, {VK_SHIFT});
  EXPECT_EQ(SelectedItems(), (std::vector<Integer>{1, 2, 3, 4}));
  ClickItem(7, {VK_CONTROL});
  ClickItem(2, {VK_CONTROL});
  EXPECT_EQ(SelectedItems(), (std::vector<Integer>{1, 3, 4, 7}));
  EXPECT_EQ(List->SelCount(), 4);
  EXPECT_EQ(List->ItemIndex(), 2) << "the focused item";
  EXPECT_GE(Clicks, 4);
  List->ClearSelection();
  EXPECT_EQ(List->SelCount(), 0);
  List->SelectAll();
  EXPECT_EQ(List->SelCount(), 10);
}

TEST_F(StdList, WithoutExtendedSelectEachClickToggles) {
  List->SetMultiSelect(true);
  List->SetExtendedSelect(false);
  Pump();
  ClickItem(1);
  ClickItem(3);
  ClickItem(1);
  EXPECT_EQ(SelectedItems(), (std::vector<Integer>{3}));
}

TEST_F(StdList, AMultiSelectionAndTheTopItemSurviveANewWindow) {
  for (int I = 0; I < 20; ++I) List->Items()->Add("more " + std::to_string(I));
  List->SetMultiSelect(true);
  List->SetSelected(2, true);
  List->SetSelected(8, true);
  List->SetTopIndex(3);
  List->Items()->SetObjects(8, Tag(8));
  HWND Old = List->Handle();
  List->SetIntegralHeight(true);
  Pump();
  EXPECT_NE(List->Handle(), Old);
  EXPECT_EQ(SelectedItems(), (std::vector<Integer>{2, 8}));
  EXPECT_EQ(List->TopIndex(), 3);
  EXPECT_EQ(List->Items()->Objects(8), Tag(8));
}

TEST_F(StdList, ASortedListSortsWithAndWithoutAWindow) {
  auto* L = new TListBox(Form);
  L->SetSorted(true);
  for (const char* S : {"pear", "Apple", "fig"}) L->Items()->Add(S);
  EXPECT_EQ(L->Items()->CommaText(), "Apple,fig,pear");
  L->SetParent(Form);
  Pump();
  ASSERT_TRUE(L->HandleAllocated());
  L->Items()->Add("banana");
  EXPECT_EQ(L->Items()->CommaText(), "Apple,banana,fig,pear");
  EXPECT_EQ(L->Items()->IndexOf("FIG"), 2);
}

TEST_F(StdList, ItemAtPosFindsTheItemUnderAPoint) {
  const TRect R = List->ItemRect(1);
  EXPECT_EQ(List->ItemAtPos(TPoint(5, R.Top + 1), true), 1);
  EXPECT_EQ(List->ItemRect(10).Top, List->ItemRect(9).Bottom) << "the rectangle after the last";
  List->Items()->Clear();
  EXPECT_EQ(List->ItemAtPos(TPoint(5, 5), true), -1);
  EXPECT_EQ(List->ItemAtPos(TPoint(5, 5), false), 0);
}

TEST_F(StdList, OwnerDrawnItemsAreDrawnAndMeasuredByTheirEvents) {
  auto* L = Add<TListBox>(Rect(220, 10, 380, 150));
  L->SetStyle(lbOwnerDrawVariable);
  std::vector<std::pair<Integer, TOwnerDrawState>> Drawn;
  L->OnMeasureItem = [&](TWinControl*, Integer Index, Integer& Height) { Height = 20 + Index * 4; };
  L->OnDrawItem = [&](TWinControl* Control, Integer Index, const TRect& R, TOwnerDrawState State) {
    EXPECT_EQ(Control, L);
    Drawn.push_back({Index, State});
    L->Canvas()->FillRect(R);
    L->Canvas()->TextOut(R.Left + 2, R.Top, L->Items()->Strings(Index));
  };
  for (const char* S : {"Toolbars", "Commands", "Options"}) L->Items()->Add(S);
  Pump();
  EXPECT_EQ(L->ItemRect(2).Height(), 28);
  Drawn.clear();
  L->SetFocus();
  Pump();
  ClickAt(L, 5, L->ItemRect(1).Top + 3);
  bool SelectedAndFocused = false;
  for (auto& D : Drawn)
    if (D.first == 1 && D.second.Contains(odSelected) && D.second.Contains(odFocused)) SelectedAndFocused = true;
  EXPECT_TRUE(SelectedAndFocused);
  // The selected item wears the highlight the canvas was given.
  RECT R = L->ItemRect(1);
  POINT P = L->ClientToScreen(TPoint(R.Right - 3, R.Top + 3));
  ScreenToClient(Form->Handle(), &P);
  EXPECT_EQ(rtl::testing::WindowPixel(Form->Handle(), P.X, P.Y), GetSysColor(COLOR_HIGHLIGHT));
}

// ---- Check list box --------------------------------------------------------------------------

TEST_F(StdList, ACheckListBoxTogglesItsBoxesByClickAndSpace) {
  auto* C = Add<TCheckListBox>(Rect(220, 10, 380, 110));
  for (const char* S : {"Word", "Excel", "HTML"}) C->Items()->Add(S);
  Log E;
  C->OnClickCheck = [&](TObject*) { E.push_back("check"); };
  Pump();
  const TRect R = C->ItemRect(1);
  ClickAt(C, R.Left + 6, R.Top + R.Height() / 2);
  EXPECT_TRUE(C->Checked(1));
  ClickAt(C, R.Left + 60, R.Top + R.Height() / 2);
  EXPECT_TRUE(C->Checked(1)) << "a click on the text only selects";
  EXPECT_EQ(C->ItemIndex(), 1);
  Press(VK_SPACE);
  EXPECT_FALSE(C->Checked(1));
  EXPECT_EQ(E, (Log{"check", "check"}));
  C->SetItemEnabled(2, false);
  C->SetItemIndex(2);
  Press(VK_SPACE);
  EXPECT_FALSE(C->Checked(2)) << "a disabled item does not toggle";
  C->SetAllowGrayed(true);
  C->SetItemIndex(0);
  Press(VK_SPACE);
  EXPECT_EQ(C->State(0), cbGrayed);
}

TEST_F(StdList, CheckStatesFollowTheirItemsAndSurviveANewWindow) {
  auto* C = Add<TCheckListBox>(Rect(220, 10, 380, 110));
  for (const char* S : {"pear", "apple", "fig"}) C->Items()->Add(S);
  C->SetChecked(0, true);
  C->SetState(2, cbGrayed);
  C->Items()->Insert(0, "kiwi");
  EXPECT_TRUE(C->Checked(1));
  EXPECT_EQ(C->State(3), cbGrayed);
  C->SetSorted(true);  // a new window that sorts
  Pump();
  EXPECT_EQ(C->Items()->CommaText(), "apple,fig,kiwi,pear");
  EXPECT_EQ(C->State(1), cbGrayed);
  EXPECT_TRUE(C->Checked(3));
  EXPECT_FALSE(C->Checked(0));
  C->Items()->Delete(0);
  EXPECT_EQ(C->State(0), cbGrayed);
  C->Items()->Exchange(0, 2);
  EXPECT_TRUE(C->Checked(0));
  EXPECT_EQ(C->State(2), cbGrayed);
}

}  // namespace
