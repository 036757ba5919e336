#include "ui/foundation/cx_classes.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/rtl/classes.h"
#include "ui/foundation/auto_width.h"
#include "ui/foundation/registered_classes.h"

namespace {

// ---- Object list -------------------------------------------------------------------

struct TCounted : TObject {
  static inline int Alive = 0;
  TCounted() { ++Alive; }
  ~TCounted() override { --Alive; }
};

TEST(ObjectList, FreesOwnedObjectsOnlyWhenClearedOrDestroyed) {
  TCounted::Alive = 0;
  auto* removed = new TCounted;
  TObject* deleted = nullptr;
  {
    TcxObjectList list(true);
    list.Add(removed);
    for (int i = 0; i < 3; ++i) list.Add(new TCounted);
    list.Remove(removed);
    deleted = list.ItemAt(0);
    list.Delete(0);  // leaves the list, not freed
    EXPECT_EQ(TCounted::Alive, 4);
    TObject* second = list.ItemAt(1);
    EXPECT_EQ(list.FreeAndRemove(second), 1);
    EXPECT_EQ(TCounted::Alive, 3);
    TCounted stranger;
    EXPECT_EQ(list.FreeAndRemove(&stranger), -1);
    list.ClearAll();
    EXPECT_EQ(TCounted::Alive, 3);  // removed, the deleted one, stranger
    list.Add(new TCounted);
  }
  EXPECT_EQ(TCounted::Alive, 2);
  delete removed;
  delete deleted;
}

TEST(ObjectList, ThatOwnsNothingStillFreesOnRequest) {
  TCounted::Alive = 0;
  TcxObjectList list(false);
  list.Add(new TCounted);
  TCounted kept;
  list.Add(&kept);
  list.FreeAndDelete(0);
  EXPECT_EQ(TCounted::Alive, 1);
  list.ClearAll();
  EXPECT_EQ(TCounted::Alive, 1);
}

// ---- Event handler collection -------------------------------------------------------

struct TRecorder {
  std::string* Log;
  char Name;
  void Handle(TObject*, void*) { *Log += Name; }
};

TEST(EventHandlerCollection, SameMethodOfOneObjectIsOneEntryOfTwoObjectsTwo) {
  std::string log;
  TRecorder a{&log, 'a'}, b{&log, 'b'};
  TcxEventHandlerCollection handlers;
  handlers.AddHandler(TcxEventHandler(&a, &TRecorder::Handle));
  handlers.AddHandler(TcxEventHandler(&a, &TRecorder::Handle));
  EXPECT_EQ(handlers.Count(), 1);
  handlers.AddHandler(TcxEventHandler(&b, &TRecorder::Handle));
  EXPECT_EQ(handlers.Count(), 2);
  handlers.InvokeAll(nullptr, nullptr);
  EXPECT_EQ(log, "ab");
  handlers.RemoveHandler(TcxEventHandler(&a, &TRecorder::Handle));
  handlers.RemoveHandler(TcxEventHandler(&a, &TRecorder::Handle));
  handlers.Delete(5);
  handlers.Delete(-1);
  EXPECT_EQ(handlers.Count(), 1);
}

TEST(EventHandlerCollection, PassesSenderAndArguments) {
  TcxEventHandlerCollection handlers;
  TObject sender;
  int args = 0;
  TObject* seenSender = nullptr;
  void* seenArgs = nullptr;
  handlers.AddHandler([&](TObject* s, void* a) {
    seenSender = s;
    seenArgs = a;
  });
  handlers.InvokeAll(&sender, &args);
  EXPECT_EQ(seenSender, &sender);
  EXPECT_EQ(seenArgs, &args);
}

// A handler set a, b, c, where one handler changes the set while it runs.
struct TMutationCase {
  const char* Name;
  char Actor;          // the handler that changes the set
  char Target;         // the handler it removes, or 'd' to add a new one
  const char* First;   // calls of the first InvokeAll
  const char* Second;  // calls of the next one
};

class EventHandlerMutation : public ::testing::TestWithParam<TMutationCase> {};

TEST_P(EventHandlerMutation, WalksTheSetOfTheStartAndSkipsRemovedHandlers) {
  const TMutationCase& c = GetParam();
  std::string log;
  TcxEventHandlerCollection handlers;
  TRecorder rec[4] = {{&log, 'a'}, {&log, 'b'}, {&log, 'c'}, {&log, 'd'}};
  TcxEventHandler h[4];
  for (int i = 0; i < 4; ++i) h[i] = TcxEventHandler(&rec[i], &TRecorder::Handle);
  bool done = false;
  h[c.Actor - 'a'] = [&](TObject*, void*) {
    log += c.Actor;
    if (done) return;
    done = true;
    if (c.Target == 'd')
      handlers.AddHandler(h[3]);
    else
      handlers.RemoveHandler(h[c.Target - 'a']);
  };
  for (int i = 0; i < 3; ++i) handlers.AddHandler(h[i]);
  handlers.InvokeAll(nullptr, nullptr);
  EXPECT_EQ(log, c.First);
  log.clear();
  handlers.InvokeAll(nullptr, nullptr);
  EXPECT_EQ(log, c.Second);
}

INSTANTIATE_TEST_SUITE_P(Cases, EventHandlerMutation,
                         ::testing::Values(TMutationCase{"RemovesItself", 'b', 'b', "abc", "ac"},
                                           TMutationCase{"RemovesALaterHandler", 'a', 'c', "ab", "ab"},
                                           TMutationCase{"RemovesAnEarlierHandler", 'c', 'a', "abc", "bc"},
                                           TMutationCase{"AddsAHandler", 'b', 'd', "abc", "abcd"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(EventHandlerCollection, NestedCallsAndAThrowingHandlerLeaveTheSetConsistent) {
  std::string log;
  TRecorder c{&log, 'c'};
  TcxEventHandlerCollection handlers;
  bool nested = false;
  handlers.AddHandler([&](TObject*, void*) {
    log += 'a';
    if (!nested) {
      nested = true;
      handlers.RemoveHandler(TcxEventHandler(&c, &TRecorder::Handle));
      EXPECT_EQ(handlers.Count(), 1);
      handlers.InvokeAll(nullptr, nullptr);  // sees only itself
      throw std::runtime_error("handler failed");
    }
  });
  handlers.AddHandler(TcxEventHandler(&c, &TRecorder::Handle));
  EXPECT_THROW(handlers.InvokeAll(nullptr, nullptr), std::runtime_error);
  EXPECT_EQ(log, "aa");
  EXPECT_EQ(handlers.Count(), 1);
  log.clear();
  handlers.AddHandler(TcxEventHandler(&c, &TRecorder::Handle));
  handlers.InvokeAll(nullptr, nullptr);
  EXPECT_EQ(log, "ac");
}

// ---- Descriptions -----------------------------------------------------------------

TEST(ResourceStrings, FirstDescriptionPartStopsAtTheBar) {
  EXPECT_EQ(cxGetFirstDescriptionPart("Name|more|rest"), "Name");
  EXPECT_EQ(cxGetFirstDescriptionPart("Whole text"), "Whole text");
  EXPECT_EQ(cxGetFirstDescriptionPart("|x"), "");
  EXPECT_EQ(cxGetFirstDescriptionPart(""), "");
}

// ---- Class registries -----------------------------------------------------------------

class TBaseItem : public TPersistent {
  RTL_CLASS(TBaseItem, TPersistent)
};
RTL_IMPLEMENT_CLASS(TBaseItem)
class TDerivedItem : public TBaseItem {
  RTL_CLASS(TDerivedItem, TBaseItem)
};
RTL_IMPLEMENT_CLASS(TDerivedItem)
class TFurtherItem : public TDerivedItem {
  RTL_CLASS(TFurtherItem, TDerivedItem)
};
RTL_IMPLEMENT_CLASS(TFurtherItem)
class TEditorA : public TPersistent {
  RTL_CLASS(TEditorA, TPersistent)
};
RTL_IMPLEMENT_CLASS(TEditorA)
class TEditorB : public TPersistent {
  RTL_CLASS(TEditorB, TPersistent)
};
RTL_IMPLEMENT_CLASS(TEditorB)

TEST(RegisteredClassList, FindsTheNearestAncestorWhateverTheRegistrationOrder) {
  for (bool derivedFirst : {false, true}) {
    SCOPED_TRACE(derivedFirst ? "derived first" : "base first");
    TcxRegisteredClassList list;
    if (derivedFirst) {
      list.RegisterPair(TDerivedItem::StaticClass(), TEditorB::StaticClass());
      list.RegisterPair(TBaseItem::StaticClass(), TEditorA::StaticClass());
    } else {
      list.RegisterPair(TBaseItem::StaticClass(), TEditorA::StaticClass());
      list.RegisterPair(TDerivedItem::StaticClass(), TEditorB::StaticClass());
    }
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.ItemClasses(0), TBaseItem::StaticClass());
    EXPECT_EQ(list.FindClass(TBaseItem::StaticClass()), TEditorA::StaticClass());
    EXPECT_EQ(list.FindClass(TDerivedItem::StaticClass()), TEditorB::StaticClass());
    EXPECT_EQ(list.FindClass(TFurtherItem::StaticClass()), TEditorB::StaticClass());
    EXPECT_EQ(list.FindClass(TPersistent::StaticClass()), nullptr);
  }
}

TEST(RegisteredClassList, UnregistersEveryCopyOfExactlyThatPair) {
  TcxRegisteredClassList list;
  list.RegisterPair(TBaseItem::StaticClass(), TEditorA::StaticClass());
  list.RegisterPair(TBaseItem::StaticClass(), TEditorA::StaticClass());
  list.RegisterPair(TBaseItem::StaticClass(), TEditorB::StaticClass());
  EXPECT_EQ(list.Count(), 3);
  list.UnregisterPair(TBaseItem::StaticClass(), TEditorA::StaticClass());
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.FindClass(TDerivedItem::StaticClass()), TEditorB::StaticClass());
}

TEST(RegisteredClasses, KeepsTheFirstDescriptionAndShowsItsFirstPart) {
  TcxRegisteredClasses classes;
  classes.RegisterEntry(TEditorB::StaticClass(), "Beta|the second style");
  classes.RegisterEntry(TEditorA::StaticClass(), "alpha");
  classes.RegisterEntry(TEditorB::StaticClass(), "Other");
  ASSERT_EQ(classes.Count(), 2);
  EXPECT_EQ(classes.Descriptions(0), "Beta");
  EXPECT_EQ(classes.Descriptions(1), "alpha");
  classes.SetSorted(true);
  EXPECT_EQ(classes.Items(0), TEditorA::StaticClass());
  EXPECT_EQ(classes.Descriptions(1), "Beta");
  classes.UnregisterEntry(TEditorA::StaticClass());
  EXPECT_EQ(classes.Count(), 1);
}

TEST(RegisteredClasses, FindsByClassNameWithCase) {
  TcxRegisteredClasses classes;
  classes.RegisterEntry(TEditorA::StaticClass(), "A");
  EXPECT_EQ(classes.FindByClassName("TEditorA"), TEditorA::StaticClass());
  EXPECT_EQ(classes.FindByClassName("teditora"), nullptr);
  EXPECT_EQ(classes.FindByClassName("TEditorB"), nullptr);
}

TEST(RegisteredClasses, RegistersWithTheStreamingRegistryWhenAsked) {
  ASSERT_EQ(GetClass("TFurtherItem"), nullptr);
  TcxRegisteredClasses classes(true);
  classes.RegisterEntry(TFurtherItem::StaticClass(), "Further");
  EXPECT_EQ(GetClass("TFurtherItem"), TFurtherItem::StaticClass());
  UnRegisterClass(TFurtherItem::StaticClass());
  UnRegisterClass(TDerivedItem::StaticClass());
  UnRegisterClass(TBaseItem::StaticClass());
}

// ---- Width distribution -----------------------------------------------------------------

struct TWidthItem {
  Integer Desired;
  Integer Minimum;
  bool Fixed;
};
struct TWidthCase {
  const char* Name;
  Integer Space;
  std::vector<TWidthItem> Items;
  std::vector<Integer> Expected;
};

class AutoWidth : public ::testing::TestWithParam<TWidthCase> {};

TEST_P(AutoWidth, DistributesTheSpace) {
  const TWidthCase& c = GetParam();
  TcxAutoWidthObject obj(4);
  for (const TWidthItem& i : c.Items) {
    TcxAutoWidthItem* item = obj.NewItem();
    EXPECT_EQ(item->ComputedWidth(), -1);
    item->SetDesiredWidth(i.Desired);
    item->SetMinimumWidth(i.Minimum);
    item->SetFixed(i.Fixed);
  }
  obj.SetSpaceToFill(c.Space);
  obj.Calculate();
  std::vector<Integer> got;
  for (Integer i = 0; i < obj.Count(); ++i) got.push_back(obj.Items(i)->ComputedWidth());
  EXPECT_EQ(got, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoWidth,
    ::testing::Values(
        TWidthCase{"SharesByRunningTotals", 301, {{100, 0, false}, {100, 0, false}, {100, 0, false}}, {100, 101, 100}},
        TWidthCase{"PinsAtTheMinimum", 100, {{100, 80, false}, {100, 0, false}}, {80, 20}},
        TWidthCase{"FixedKeepsItsWidthInTooLittleSpace", 50, {{100, 0, true}, {100, 0, false}}, {100, 0}},
        TWidthCase{"AllFixedOrPinned", 100, {{60, 0, true}, {100, 90, false}}, {60, 90}},
        TWidthCase{"ZeroDesiredWidths", 200, {{0, 0, false}, {0, 0, false}}, {0, 0}},
        TWidthCase{"ZeroDesiredBesideFixed", 200, {{50, 0, true}, {0, 0, false}}, {50, 0}},
        TWidthCase{"NoItems", 100, {}, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
