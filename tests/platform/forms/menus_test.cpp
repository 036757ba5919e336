// Menus on a shown form: a popup menu that a right click opens and the
// keyboard drives, radio groups, items that follow an action, and
// shortcuts that reach items through the controls' parents.
#include "platform/forms/menus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls_test_support.h"
#include "platform/win/user/user_menu.h"

using namespace controls_test;
using rtl::testing::InjectClick;
using rtl::testing::InjectKey;
using rtl::testing::InjectKeyPress;

namespace {

class Menus : public TFormsTest {
 protected:
  TForm* Form = nullptr;
  TTestPanel* Panel = nullptr;
  TTestEdit* Edit = nullptr;
  TPopupMenu* Popup = nullptr;
  std::vector<std::string> Clicked;

  TMenuItem* AddItem(TMenuItem* Parent, const char* Caption) {
    auto* Item = new TMenuItem(Form);
    Item->SetCaption(Caption);
    Item->OnClick = [this](TObject* S) { Clicked.push_back(static_cast<TMenuItem*>(S)->Caption()); };
    Parent->Add(Item);
    return Item;
  }

  void SetUp() override {
    TFormsTest::SetUp();
    Form = MakeForm();
    Panel = new TTestPanel(Form);
    Panel->SetBounds(10, 10, 200, 150);
    Panel->SetParent(Form);
    Edit = new TTestEdit(Form);
    Edit->SetBounds(10, 10, 80, 20);
    Edit->SetParent(Panel);
    Popup = new TPopupMenu(Form);
    Panel->SetPopupMenu(Popup);
    Form->Show();
    Pump();
  }

  // A right click on the panel, then the keys, all waiting in the queue
  // before the menu's loop takes them; Esc last so that a menu still open
  // ends.
  void RightClickAndType(std::initializer_list<UINT> Keys) {
    AdvanceClock(GetDoubleClickTime() + 1);
    InjectClick(At(Panel, 150, 100), rtl::testing::ibRight);
    for (UINT Vk : Keys) InjectKeyPress(Vk);
    InjectKeyPress(VK_ESCAPE);
    Pump();
  }
  static void AdvanceClock(uint32_t Ms) { rtl::testing::AdvanceClock(Ms); }
  // The window-system state of an item in the menu's handle.
  UINT NativeState(TMenuItem* Item) { return GetMenuState(Popup->Handle(), Item->Command(), MF_BYCOMMAND); }
};

TEST_F(Menus, RightClickPopsTheMenuUpAndTheKeyboardChoosesAnItem) {
  AddItem(Popup->Items(), "&Open");
  AddItem(Popup->Items(), "-");
  AddItem(Popup->Items(), "&Print")->SetEnabled(false);
  AddItem(Popup->Items(), "&Close");
  struct Case {
    std::initializer_list<UINT> Keys;
    std::vector<std::string> Clicked;
  };
  const Case Cases[] = {
      {{VK_DOWN, VK_RETURN}, {"&Open"}},
      // The separator is stepped over; the disabled item is selected but
      // cannot be chosen.
      {{VK_DOWN, VK_DOWN, VK_RETURN}, {}},
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, {"&Close"}},
      {{VK_UP, VK_RETURN}, {"&Close"}},
      {{}, {}},
  };
  int Popups = 0;
  Popup->OnPopup = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Popup);
    ++Popups;
  };
  for (const Case& C : Cases) {
    Clicked.clear();
    RightClickAndType(C.Keys);
    EXPECT_EQ(Clicked, C.Clicked);
  }
  EXPECT_EQ(Popups, 5);
  EXPECT_EQ(Popup->PopupComponent(), Panel);
  EXPECT_EQ(Popup->PopupPoint(), TPoint(At(Panel, 150, 100)));
}

TEST_F(Menus, NoAutoPopupLeavesTheMenuClosed) {
  AddItem(Popup->Items(), "&Open");
  Popup->SetAutoPopup(false);
  int Popups = 0;
  Popup->OnPopup = [&](TObject*) { ++Popups; };
  RightClickAndType({VK_DOWN, VK_RETURN});
  EXPECT_EQ(Popups, 0);
  EXPECT_TRUE(Clicked.empty());
}

TEST_F(Menus, DisabledItemsNeverClick) {
  TMenuItem* Item = AddItem(Popup->Items(), "Off");
  Item->SetEnabled(false);
  EXPECT_EQ(NativeState(Item) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  EXPECT_TRUE(Popup->DispatchCommand(Item->Command())) << "the command is the item's";
  Item->Click();
  EXPECT_TRUE(Clicked.empty());
  Item->SetEnabled(true);
  EXPECT_EQ(NativeState(Item) & MF_GRAYED, 0u) << "a change rebuilds the menu";
  Popup->DispatchCommand(Item->Command());
  EXPECT_EQ(Clicked, std::vector<std::string>{"Off"});
}

TEST_F(Menus, CheckingARadioItemUnchecksItsGroupOnly) {
  TMenuItem* Group1[3];
  for (int I = 0; I < 3; ++I) {
    Group1[I] = AddItem(Popup->Items(), "A");
    Group1[I]->SetRadioItem(true);
    Group1[I]->SetGroupIndex(1);
  }
  TMenuItem* Other = AddItem(Popup->Items(), "B");
  Other->SetRadioItem(true);
  Other->SetGroupIndex(2);
  Other->SetChecked(true);
  TMenuItem* Plain = AddItem(Popup->Items(), "C");
  Plain->SetGroupIndex(1);
  Plain->SetChecked(true);

  Group1[0]->SetChecked(true);
  Group1[2]->SetChecked(true);
  EXPECT_FALSE(Group1[0]->Checked());
  EXPECT_FALSE(Group1[1]->Checked());
  EXPECT_TRUE(Group1[2]->Checked());
  EXPECT_TRUE(Other->Checked()) << "another group";
  EXPECT_TRUE(Plain->Checked()) << "not a radio item";

  EXPECT_EQ(NativeState(Group1[0]) & MF_CHECKED, 0u);
  EXPECT_EQ(NativeState(Group1[2]) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
  MENUITEMINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfo(Popup->Handle(), Group1[2]->Command(), FALSE, &Info));
  EXPECT_TRUE(Info.fType & MFT_RADIOCHECK);
}

TEST_F(Menus, LinkedItemFollowsItsActionAndRunsIt) {
  auto* Act = new TAction(Form);
  Act->SetCaption("&Save");
  int Executed = 0;
  TComponent* ExecutedFor = nullptr;
  Act->SetOnExecute([&](TObject*) {
    ++Executed;
    ExecutedFor = Act->ActionComponent();
  });
  auto* Item = new TMenuItem(Form);
  Popup->Items()->Add(Item);
  Item->SetAction(Act);
  EXPECT_EQ(Item->Caption(), "&Save");

  Act->SetCaption("Save &as");
  Act->SetEnabled(false);
  EXPECT_EQ(Item->Caption(), "Save &as");
  EXPECT_FALSE(Item->Enabled());
  EXPECT_EQ(NativeState(Item) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  Act->SetChecked(true);
  EXPECT_TRUE(Item->Checked());

  RightClickAndType({VK_DOWN, VK_RETURN});
  EXPECT_EQ(Executed, 0) << "disabled with its action";

  // The popup runs the action's update first.
  Act->OnUpdate = [&](TObject*) { Act->SetEnabled(true); };
  RightClickAndType({VK_DOWN, VK_RETURN});
  EXPECT_TRUE(Item->Enabled());
  EXPECT_EQ(Executed, 1);
  EXPECT_EQ(ExecutedFor, Item);

  delete Act;
  EXPECT_EQ(Item->Action(), nullptr);
  EXPECT_EQ(Item->Caption(), "Save &as") << "the item keeps what it showed";
}

TEST_F(Menus, ShortcutsReachItemsThroughTheParents) {
  TMenuItem* File = AddItem(Popup->Items(), "&File");
  TMenuItem* Find = AddItem(File, "&Find");
  Find->SetShortCut(ShortCut('K', TShiftState{ssCtrl}));
  TMenuItem* Off = AddItem(File, "&Off");
  Off->SetShortCut(ShortCut('J', TShiftState{ssCtrl}));
  Off->SetEnabled(false);
  EXPECT_EQ(Popup->FindItem(Find->ShortCut(), fkShortCut), Find);
  EXPECT_EQ(Popup->Items()->Find("file"), File);

  Edit->SetFocus();
  Pump();
  ASSERT_TRUE(Edit->Focused());
  auto CtrlPress = [](UINT Vk) {
    InjectKey(VK_CONTROL, true);
    Press(Vk);
    InjectKey(VK_CONTROL, false);
    Pump();
  };
  CtrlPress('K');
  EXPECT_EQ(Clicked, std::vector<std::string>{"&Find"}) << "the edit's parent holds the menu";
  EXPECT_TRUE(Edit->Typed.empty()) << "a shortcut that ran types nothing";
  CtrlPress('J');
  EXPECT_EQ(Clicked, std::vector<std::string>{"&Find"}) << "a disabled item keeps no shortcut";
  File->SetEnabled(false);
  CtrlPress('K');
  EXPECT_EQ(Clicked, std::vector<std::string>{"&Find"}) << "inside a disabled submenu";
}

TEST_F(Menus, TheTreeKeepsItsItemsInOrder) {
  TMenuItem* A = AddItem(Popup->Items(), "A");
  TMenuItem* B = AddItem(Popup->Items(), "B");
  TMenuItem* C = AddItem(Popup->Items(), "C");
  C->SetMenuIndex(0);
  EXPECT_EQ(Popup->Items()->IndexOf(C), 0);
  EXPECT_EQ(A->MenuIndex(), 1);
  EXPECT_THROW(A->Add(Popup->Items()->Items(2)), EMenuError) << "B has a parent";
  EXPECT_THROW(A->Add(A), EMenuError);
  EXPECT_THROW(Popup->Items()->Items(3), EMenuError);
  delete B;
  EXPECT_EQ(Popup->Items()->Count(), 2);
  EXPECT_EQ(GetMenuItemCount(Popup->Handle()), 2);
  AddItem(A, "Sub")->SetName("Sub");
  Popup->Items()->Delete(1);  // A with its item
  EXPECT_EQ(Popup->Items()->Count(), 1);
  EXPECT_EQ(Form->FindComponent("Sub"), nullptr) << "an item frees its items";
}

}  // namespace
