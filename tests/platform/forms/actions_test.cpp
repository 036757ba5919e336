#include "platform/forms/actions.h"
#include "platform/forms/image_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/user.h"

namespace {

// ---- Shortcuts --------------------------------------------------------------

struct TShortCutCase {
  TShortCut Value;
  const char* Text;
};

TEST(ShortCutTest, TextBothWays) {
  const TShortCutCase cases[] = {
      {scCtrl | 'V', "Ctrl+V"},
      {scAlt | VK_F4, "Alt+F4"},
      {VK_DELETE, "Del"},
      {VK_INSERT, "Ins"},
      {VK_F1, "F1"},
      {VK_F12, "F12"},
      {VK_F24, "F24"},
      {scAlt | 'A', "Alt+A"},
      {scShift | scCtrl | scAlt | 'K', "Shift+Ctrl+Alt+K"},
      {scCtrl | VK_UP, "Ctrl+Up"},
      {scShift | VK_F10, "Shift+F10"},
      {VK_RETURN, "Enter"},
      {VK_ESCAPE, "Esc"},
      {VK_BACK, "BkSp"},
      {VK_TAB, "Tab"},
      {VK_SPACE, "Space"},
      {VK_PRIOR, "PgUp"},
      {VK_NEXT, "PgDn"},
      {VK_END, "End"},
      {VK_HOME, "Home"},
      {VK_LEFT, "Left"},
      {VK_RIGHT, "Right"},
      {scCtrl | VK_DOWN, "Ctrl+Down"},
      {'7', "7"},
      {scCtrl | VK_ADD, "Ctrl+Num +"},
      {VK_OEM_PLUS, "="},
      {scCtrl | VK_OEM_4, "Ctrl+["},
  };
  for (const TShortCutCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(ShortCutToText(c.Value), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Value);
  }
  // The values the forms store.
  EXPECT_EQ(TextToShortCut("Ins"), 45);
  EXPECT_EQ(TextToShortCut("Del"), 46);
  EXPECT_EQ(TextToShortCut("Ctrl+Up"), 16422);
  EXPECT_EQ(TextToShortCut("Ctrl+Down"), 16424);
}

TEST(ShortCutTest, TextIsReadLeniently) {
  EXPECT_EQ(TextToShortCut("ctrl+v"), scCtrl | 'V');
  EXPECT_EQ(TextToShortCut("^V"), scCtrl | 'V');
  EXPECT_EQ(TextToShortCut("alt+shift+f4"), scAlt | scShift | VK_F4);
  EXPECT_EQ(TextToShortCut(""), scNone);
  EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut("Ctrl+Foo"), scNone);
  EXPECT_EQ(ShortCutToText(scNone), "");
  EXPECT_EQ(ShortCutToText(scCtrl), "") << "a modifier without a key";
  EXPECT_EQ(ShortCutToText(VK_NUMPAD3), "3") << "keypad digits read as digits";
}

TEST(ShortCutTest, KeyAndShiftBothWays) {
  EXPECT_EQ(ShortCut('S', {ssCtrl, ssShift}), scCtrl | scShift | 'S');
  EXPECT_EQ(ShortCut(VK_F4, {ssAlt, ssLeft}), scAlt | VK_F4) << "mouse buttons are no modifiers";
  EXPECT_EQ(ShortCut(0x100, {}), scNone);
  Word key = 0;
  TShiftState shift;
  ShortCutToKey(scAlt | scCtrl | VK_DELETE, key, shift);
  EXPECT_EQ(key, VK_DELETE);
  EXPECT_EQ(shift, (TShiftState{ssAlt, ssCtrl}));
}

TEST(ShortCutTest, ShortCutListKeepsTheShortCuts) {
  TShortCutList list;
  list.Add("Ctrl+S");
  list.Add("Shift+Ins");
  EXPECT_EQ(list.ShortCuts(0), scCtrl | 'S');
  EXPECT_EQ(list.IndexOfShortCut(scShift | VK_INSERT), 1);
  EXPECT_EQ(list.IndexOfShortCut(VK_INSERT), -1);
}

// ---- Actions ----------------------------------------------------------------

// A client's link that records what the action tells it.
class TRecordingLink : public TActionLink {
 public:
  std::vector<std::string>* Log;
  explicit TRecordingLink(std::vector<std::string>* log) : TActionLink(nullptr), Log(log) {}
  void SetCaption(const AnsiString& v) override { Log->push_back("caption " + v); }
  void SetEnabled(bool v) override { Log->push_back(std::string("enabled ") + (v ? "1" : "0")); }
  void SetChecked(bool v) override { Log->push_back(std::string("checked ") + (v ? "1" : "0")); }
  void SetVisible(bool v) override { Log->push_back(std::string("visible ") + (v ? "1" : "0")); }
  void SetHint(const AnsiString& v) override { Log->push_back("hint " + v); }
  void SetImageIndex(Integer v) override { Log->push_back("image " + std::to_string(v)); }
  void SetShortCut(TShortCut v) override { Log->push_back("shortcut " + ShortCutToText(v)); }
  void SetOnExecute(const TNotifyEvent&) override { Log->push_back("onexecute"); }

 protected:
  void Change() override { Log->push_back("change"); }
};

class ActionTest : public ::testing::Test {
 protected:
  TComponent owner{nullptr};
  TActionList* list = new TActionList(&owner);
  std::vector<std::string> log;

  TAction* NewAction(TCustomActionList* in = nullptr) {
    auto* a = new TAction(&owner);
    a->SetActionList(in ? in : list);
    return a;
  }
};

TEST_F(ActionTest, ExecuteAsksTheListFirstThenTheAction) {
  TAction* a = NewAction();
  a->SetOnExecute([&](TObject* sender) {
    EXPECT_EQ(sender, a);
    log.push_back("action");
  });
  bool handle = false;
  list->OnExecute = [&](TBasicAction* action, bool& handled) {
    EXPECT_EQ(action, a);
    log.push_back("list");
    handled = handle;
  };
  EXPECT_TRUE(a->Execute());
  EXPECT_EQ(log, (std::vector<std::string>{"list", "action"}));
  log.clear();
  handle = true;
  EXPECT_TRUE(a->Execute());
  EXPECT_EQ(log, (std::vector<std::string>{"list"})) << "a handled execution goes no further";
  log.clear();
  handle = false;
  a->SetOnExecute(nullptr);
  EXPECT_FALSE(a->Execute()) << "nobody handled it";
}

TEST_F(ActionTest, TheApplicationStepsSitAroundTheActionsHandler) {
  TActionChain saved = ActionChain();
  ActionChain().ApplicationExecute = [&](TBasicAction*) {
    log.push_back("application");
    return false;
  };
  ActionChain().TargetExecute = [&](TBasicAction*) {
    log.push_back("target");
    return true;
  };
  TAction* a = NewAction();
  list->OnExecute = [&](TBasicAction*, bool&) { log.push_back("list"); };
  EXPECT_TRUE(a->Execute());
  EXPECT_EQ(log, (std::vector<std::string>{"list", "application", "target"}));
  log.clear();
  a->SetOnExecute([&](TObject*) { log.push_back("action"); });
  a->Execute();
  EXPECT_EQ(log, (std::vector<std::string>{"list", "application", "action"}));
  ActionChain() = saved;
}

TEST_F(ActionTest, UpdateStopsAtTheListWhenItHandles) {
  TAction* a = NewAction();
  a->OnUpdate = [&](TObject*) { log.push_back("action"); };
  bool handle = true;
  list->OnUpdate = [&](TBasicAction*, bool& handled) {
    log.push_back("list");
    handled = handle;
  };
  EXPECT_TRUE(a->Update());
  EXPECT_EQ(log, (std::vector<std::string>{"list"}));
  log.clear();
  handle = false;
  EXPECT_TRUE(a->Update());
  EXPECT_EQ(log, (std::vector<std::string>{"list", "action"}));
  a->OnUpdate = nullptr;
  EXPECT_FALSE(a->Update());
}

TEST_F(ActionTest, ExecuteUpdatesFirstAndADisabledActionDoesNothing) {
  TAction* a = NewAction();
  bool allowed = false;
  list->OnUpdate = [&](TBasicAction* action, bool& handled) {
    static_cast<TAction*>(action)->SetEnabled(allowed);
    handled = true;
  };
  int runs = 0;
  a->SetOnExecute([&](TObject*) { ++runs; });
  EXPECT_FALSE(a->Execute());
  EXPECT_EQ(runs, 0);
  EXPECT_FALSE(a->Enabled());
  allowed = true;
  EXPECT_TRUE(a->Execute());
  EXPECT_EQ(runs, 1);
}

TEST_F(ActionTest, CheckingOneOfAGroupUnchecksTheOthersOfTheList) {
  TAction* a = NewAction();
  TAction* b = NewAction();
  TAction* c = NewAction();
  TAction* otherGroup = NewAction();
  auto* otherList = new TActionList(&owner);
  TAction* elsewhere = NewAction(otherList);
  for (TAction* x : {a, b, c, elsewhere}) x->SetGroupIndex(1);
  otherGroup->SetGroupIndex(2);
  otherGroup->SetChecked(true);
  elsewhere->SetChecked(true);
  TRecordingLink link(&log);
  link.SetAction(b);

  b->SetChecked(true);
  a->SetChecked(true);
  EXPECT_TRUE(a->Checked());
  EXPECT_FALSE(b->Checked());
  EXPECT_FALSE(c->Checked());
  EXPECT_TRUE(otherGroup->Checked());
  EXPECT_TRUE(elsewhere->Checked()) << "another list's group is another group";
  EXPECT_EQ(log, (std::vector<std::string>{"checked 1", "change", "checked 0", "change"}));

  a->SetChecked(false);  // unchecking leaves the group empty
  EXPECT_FALSE(a->Checked() || b->Checked() || c->Checked());

  TAction* loose = new TAction(&owner);  // in no list: the group is just itself
  loose->SetGroupIndex(1);
  loose->SetChecked(true);
  EXPECT_TRUE(loose->Checked());
}

TEST_F(ActionTest, AutoCheckTogglesAndAGroupOnlyTurnsOn) {
  TAction* single = NewAction();
  single->SetAutoCheck(true);
  single->Execute();
  EXPECT_TRUE(single->Checked());
  single->Execute();
  EXPECT_FALSE(single->Checked());

  TAction* a = NewAction();
  TAction* b = NewAction();
  for (TAction* x : {a, b}) {
    x->SetGroupIndex(3);
    x->SetAutoCheck(true);
  }
  a->Execute();
  a->Execute();
  EXPECT_TRUE(a->Checked()) << "a checked radio action stays checked";
  b->Execute();
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());

  single->SetEnabled(false);
  single->Execute();
  EXPECT_FALSE(single->Checked()) << "a disabled action does not toggle";
}

TEST_F(ActionTest, LinkedClientsHearEachRealChange) {
  TAction* a = NewAction();
  TRecordingLink link(&log);
  link.SetAction(a);
  EXPECT_EQ(link.Action(), a);
  a->SetCaption("&Open");
  a->SetCaption("&Open");
  a->SetEnabled(false);
  a->SetChecked(true);
  a->SetVisible(false);
  a->SetHint("Open a file");
  a->SetImageIndex(4);
  a->SetShortCut(scCtrl | 'O');
  a->SetOnExecute([](TObject*) {});
  EXPECT_EQ(log, (std::vector<std::string>{"caption &Open", "change", "enabled 0", "change", "checked 1", "change",
                                           "visible 0", "change", "hint Open a file", "change", "image 4", "change",
                                           "shortcut Ctrl+O", "change", "onexecute", "change"}));
  EXPECT_TRUE(link.IsCaptionLinked());
  EXPECT_TRUE(link.IsEnabledLinked());
  EXPECT_TRUE(link.IsCheckedLinked());
  EXPECT_TRUE(link.IsVisibleLinked());

  TBasicAction plain(&owner);
  link.SetAction(&plain);
  EXPECT_FALSE(link.IsCaptionLinked()) << "a basic action has no caption";
  EXPECT_TRUE(link.IsOnExecuteLinked());
  log.clear();
  a->SetCaption("Other");
  EXPECT_TRUE(log.empty()) << "the link left the action";
}

TEST_F(ActionTest, LinksAndActionsForgetEachOtherWhenDestroyed) {
  TAction* a = NewAction();
  auto* link = new TRecordingLink(&log);
  link->SetAction(a);
  delete link;
  a->SetCaption("x");  // must not reach the deleted link
  EXPECT_TRUE(log.empty());

  TRecordingLink survivor(&log);
  survivor.SetAction(a);
  delete a;
  EXPECT_EQ(survivor.Action(), nullptr);
  EXPECT_EQ(list->ActionCount(), 0) << "a deleted action leaves its list";
  EXPECT_FALSE(survivor.Execute());
}

TEST_F(ActionTest, ExecutingThroughALinkSetsTheActionComponent) {
  TAction* a = NewAction();
  TComponent client(&owner);
  TRecordingLink link(&log);
  link.SetAction(a);
  TComponent* seen = nullptr;
  a->SetOnExecute([&](TObject*) { seen = a->ActionComponent(); });
  EXPECT_TRUE(link.Execute(&client));
  EXPECT_EQ(seen, &client);
  EXPECT_EQ(a->ActionComponent(), nullptr);
}

TEST_F(ActionTest, AHandlerMayDestroyTheLinkThatRunsIt) {
  TAction* a = NewAction();
  TComponent client(&owner);
  auto* link = new TRecordingLink(&log);
  link->SetAction(a);
  a->SetOnExecute([&](TObject*) { delete link; });
  EXPECT_TRUE(link->Execute(&client));
  EXPECT_EQ(a->ActionComponent(), &client) << "left as it was: nobody was there to clear it";
  a->SetActionComponent(nullptr);

  auto* link2 = new TRecordingLink(&log);
  link2->SetAction(a);
  list->OnExecute = [&](TBasicAction*, bool& handled) {
    delete a;
    handled = true;
  };
  EXPECT_TRUE(link2->Execute(&client));
  EXPECT_EQ(link2->Action(), nullptr);
  delete link2;
}

TEST_F(ActionTest, IsShortCutExecutesTheActionOfTheKey) {
  TAction* close = NewAction();
  close->SetShortCut(scAlt | VK_F4);
  TAction* save = NewAction();
  save->SetShortCut(VK_F2);
  save->SecondaryShortCuts()->Add("Alt+S");
  std::vector<std::string> ran;
  close->SetOnExecute([&](TObject*) { ran.push_back("close"); });
  save->SetOnExecute([&](TObject*) { ran.push_back("save"); });
  const LPARAM altDown = 0x20000000;
  TMessage m{WM_SYSKEYDOWN, VK_F4, altDown, 0};
  EXPECT_TRUE(list->IsShortCut(m));
  TMessage plainF4{WM_KEYDOWN, VK_F4, 0, 0};
  EXPECT_FALSE(list->IsShortCut(plainF4));
  TMessage secondary{WM_SYSKEYDOWN, 'S', altDown, 0};
  EXPECT_TRUE(list->IsShortCut(secondary));
  TMessage f2{WM_KEYDOWN, VK_F2, 0, 0};
  save->SetEnabled(false);
  list->OnUpdate = [](TBasicAction*, bool& handled) { handled = true; };  // keeps it disabled
  EXPECT_FALSE(list->IsShortCut(f2)) << "a disabled action takes the key but does nothing";
  EXPECT_EQ(ran, (std::vector<std::string>{"close", "save"}));
}

TEST_F(ActionTest, TheListOwnsItsActionsAndForgetsItsImages) {
  TAction* a = NewAction();
  TAction* b = NewAction();
  EXPECT_EQ(list->ActionCount(), 2);
  EXPECT_EQ(b->Index(), 1);
  b->SetIndex(0);
  EXPECT_EQ(list->Actions(0), b);
  EXPECT_EQ(a->GetParentComponent(), list);
  EXPECT_THROW(list->Actions(2), EListError);

  auto* images = new TImageList(&owner);
  int changes = 0;
  list->OnChange = [&](TObject*) { ++changes; };
  list->SetImages(images);
  EXPECT_EQ(changes, 1);
  images->SetWidth(24);  // a change of the images is a change of the list
  EXPECT_EQ(changes, 2);
  delete images;
  EXPECT_EQ(list->Images(), nullptr);
  EXPECT_EQ(changes, 3);
  list->OnChange = nullptr;

  std::vector<TComponent*> children;
  list->GetChildren([&](TComponent* c) { children.push_back(c); }, &owner);
  EXPECT_EQ(children, (std::vector<TComponent*>{b, a}));

  Integer before = owner.ComponentCount();
  delete list;
  EXPECT_EQ(owner.ComponentCount(), before - 3) << "the list and its two actions";
}

}  // namespace
