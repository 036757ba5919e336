#include "ui/foundation/component_collections.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/component_streaming.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/streams.h"

namespace {

std::string ChangeName(TcxItemChange AChange) {
  static const char* const names[] = {"added", "changed", "removing", "removed", "deleted"};
  return names[AChange];
}

// Logs hooks and reports as "kind:item name" ("*" for the whole collection).
class TTabCollection : public TcxComponentCollection {
  AnsiString FBaseName;

 protected:
  AnsiString ItemBaseName() override { return FBaseName; }
  void ItemNotification(TcxComponentCollectionItem* AItem, TcxItemChange AChange) override {
    Hooks.push_back(ChangeName(AChange));
    TcxComponentCollection::ItemNotification(AItem, AChange);
  }

 public:
  TTabCollection(TComponent* AParent, TClass AItemClass, const AnsiString& ABaseName)
      : TcxComponentCollection(AParent, AItemClass), FBaseName(ABaseName) {
    OnCollectionChanged = TcxComponentCollectionChangeEvent(this, &TTabCollection::Changed);
  }
  std::vector<std::string> Hooks, Reports;
  void Changed(TObject* Sender, TcxComponentCollectionItem* AItem, TcxItemChange AChange) {
    EXPECT_EQ(Sender, this);
    Reports.push_back(ChangeName(AChange) + ":" + (AItem ? AItem->Name() : AnsiString("*")));
  }
};

// A ribbon-like parent whose tabs are a collection.
class TTabsParent : public TComponent {
  std::unique_ptr<TTabCollection> FTabs;

 public:
  TTabsParent(TComponent* AOwner, const AnsiString& AName, TClass AItemClass, const AnsiString& ABaseName)
      : TComponent(AOwner), FTabs(std::make_unique<TTabCollection>(this, AItemClass, ABaseName)) {
    SetName(AName);
  }
  TTabCollection* Tabs() const { return FTabs.get(); }
};

class TdxRibbonTab : public TcxComponentCollectionItem {
  RTL_CLASS(TdxRibbonTab, TcxComponentCollectionItem)
  AnsiString FCaption;

 public:
  explicit TdxRibbonTab(TComponent* AOwner) : TcxComponentCollectionItem(AOwner) {}
  TcxComponentCollection* CollectionFromParent(TComponent* AParent) override {
    auto* parent = dynamic_cast<TTabsParent*>(AParent);
    return parent ? parent->Tabs() : nullptr;
  }
  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value) { FCaption = Value; }
};

// Wants to live in the same collections but is not of their item class.
class TForeignItem : public TcxComponentCollectionItem {
  RTL_CLASS(TForeignItem, TcxComponentCollectionItem)

 public:
  explicit TForeignItem(TComponent* AOwner) : TcxComponentCollectionItem(AOwner) {}
  TcxComponentCollection* CollectionFromParent(TComponent* AParent) override {
    return static_cast<TTabsParent*>(AParent)->Tabs();
  }
};

RTL_IMPLEMENT_PUBLISHED(TdxRibbonTab, RTL_PROP(Caption))
RTL_IMPLEMENT_CLASS(TForeignItem)

TEST(ComponentCollection, UniqueItemNames) {
  TComponent form(nullptr);
  TTabsParent ribbon(&form, "dxRibbon1", TdxRibbonTab::StaticClass(), "Tab");
  // A frame on the form owns a component whose name blocks a candidate.
  auto* frame = new TComponent(&form);
  frame->SetName("Frame1");
  TComponent blocker(frame);
  blocker.SetName("dxRibbon1dxRibbonTab1");
  TdxRibbonTab probe(nullptr);

  const struct {
    const char* Base;
    const char* Prefix;
    const char* Name;
  } names[] = {
      {"", "", "dxRibbon1dxRibbonTab2"},  // 1 is held inside the frame
      {"2nd", "", "dxRibbon1dxRibbonTab2nd"},
      {"T\xC3\xA4" "b", "", "dxRibbon1Tb"},
      {"Tab Page", "", "dxRibbon1TabPage"},
      {"", "tdx", "dxRibbon1RibbonTab1"},
      {"", "Other", "dxRibbon1dxRibbonTab2"},
  };
  for (const auto& c : names)
    EXPECT_EQ(cxGenerateUniqueName(&form, &ribbon, &probe, c.Prefix, c.Base), c.Name) << c.Base << "/" << c.Prefix;
  // Without a root, the component's topmost owner is searched.
  TdxRibbonTab owned(frame);
  EXPECT_EQ(cxGenerateUniqueName(nullptr, &ribbon, &owned, "", ""), "dxRibbon1dxRibbonTab2");
  EXPECT_EQ(cxGenerateUniqueName(nullptr, nullptr, &owned, "", "Tab", 5), "Tab5");

  // Appended items are named through the same rule, owned by the
  // parent's owner and parented to it.
  std::vector<AnsiString> appended;
  for (int i = 0; i < 3; ++i) appended.push_back(ribbon.Tabs()->AppendItem()->Name());
  EXPECT_EQ(appended, (std::vector<AnsiString>{"dxRibbon1Tab", "dxRibbon1Tab1", "dxRibbon1Tab2"}));
  TcxComponentCollectionItem* first = ribbon.Tabs()->Items(0);
  EXPECT_EQ(first->Owner(), &form);
  EXPECT_EQ(first->GetParentComponent(), &ribbon);
  EXPECT_TRUE(first->HasParent());
  EXPECT_EQ(first->DisplayText(), "dxRibbon1Tab");
}

TEST(ComponentCollection, ChangesAreReportedOutsideTheUpdateLock) {
  TComponent form(nullptr);
  TTabsParent ribbon(&form, "dxRibbon1", TdxRibbonTab::StaticClass(), "Tab");
  TTabCollection& tabs = *ribbon.Tabs();
  TcxComponentCollectionItem* a = tabs.AppendItem();
  TcxComponentCollectionItem* b = tabs.AppendItem();
  EXPECT_EQ(tabs.Hooks, (std::vector<std::string>{"added", "added"}));
  // An item joins before it gets its name.
  EXPECT_EQ(tabs.Reports, (std::vector<std::string>{"added:", "added:"}));
  EXPECT_EQ(a->ID(), 0);
  EXPECT_EQ(b->ID(), 1);

  tabs.Reports.clear();
  tabs.IncUpdateLock();
  a->NotifyChanged();
  b->ChangePosition(0);
  tabs.DecUpdateLock(false);
  EXPECT_TRUE(tabs.Reports.empty());
  EXPECT_EQ(b->IndexInCollection(), 0);
  tabs.IncUpdateLock();
  tabs.IncUpdateLock();
  tabs.DecUpdateLock(true);  // still locked
  tabs.DecUpdateLock(true);
  EXPECT_EQ(tabs.Reports, (std::vector<std::string>{"changed:*"}));

  tabs.Reports.clear();
  a->NotifyChanged();
  a->NotifyChanged(true);
  a->ChangePosition(0);
  a->ChangePosition(0);
  EXPECT_EQ(tabs.Reports, (std::vector<std::string>{"changed:dxRibbon1Tab", "changed:*", "changed:*"}));

  // Freeing an item takes it out with both hooks and one report.
  tabs.Hooks.clear();
  tabs.Reports.clear();
  delete b;
  EXPECT_EQ(tabs.Hooks, (std::vector<std::string>{"removing", "removed"}));
  EXPECT_EQ(tabs.Reports, (std::vector<std::string>{"removed:dxRibbon1Tab1"}));
  ASSERT_EQ(tabs.Count(), 1);

  // Deleting all items reports once, for the whole collection.
  tabs.AppendItem();
  tabs.AppendItem();
  tabs.Reports.clear();
  tabs.DeleteAllItems();
  EXPECT_EQ(tabs.Count(), 0);
  EXPECT_EQ(form.ComponentCount(), 1);  // the ribbon
  EXPECT_EQ(tabs.Reports, (std::vector<std::string>{"changed:*"}));
}

TEST(ComponentCollection, ItemsOfAForeignClassStayOutside) {
  TComponent form(nullptr);
  TTabsParent ribbon(&form, "dxRibbon1", TdxRibbonTab::StaticClass(), "Tab");
  TForeignItem foreign(&form);
  foreign.MoveToCollection(ribbon.Tabs());
  EXPECT_EQ(foreign.Collection(), nullptr);
  EXPECT_EQ(foreign.IndexInCollection(), -1);
  EXPECT_EQ(ribbon.Tabs()->Count(), 0);
  EXPECT_TRUE(ribbon.Tabs()->Reports.empty());
  EXPECT_FALSE(foreign.HasParent());

  // Moving between collections leaves one and joins the other.
  TTabsParent other(&form, "dxRibbon2", TdxRibbonTab::StaticClass(), "Tab");
  TcxComponentCollectionItem* tab = ribbon.Tabs()->AppendItem();
  tab->MoveToCollection(other.Tabs());
  EXPECT_EQ(ribbon.Tabs()->Count(), 0);
  EXPECT_EQ(other.Tabs()->IndexOf(tab), 0);
  EXPECT_EQ(tab->GetParentComponent(), &other);
  TcxComponentCollectionItem* inserted = other.Tabs()->InsertItem(0);
  EXPECT_EQ(inserted->IndexInCollection(), 0);
  EXPECT_EQ(tab->IndexInCollection(), 1);
}

TEST(ComponentCollection, AssignCopiesTheItemsIntoNewOnes) {
  TComponent form(nullptr);
  TTabsParent source(&form, "dxRibbon1", TdxRibbonTab::StaticClass(), "Tab");
  TTabsParent target(&form, "dxRibbon2", TdxRibbonTab::StaticClass(), "Tab");
  source.Tabs()->AppendItem();
  source.Tabs()->AppendItem();
  target.Tabs()->AppendItem();
  target.Tabs()->Reports.clear();
  // Items copy nothing of their own here, and the framework refuses
  // components: the failure still opens the update lock.
  EXPECT_THROW(target.Tabs()->Assign(source.Tabs()), EConvertError);
  EXPECT_EQ(target.Tabs()->UpdateCount(), 0);
  EXPECT_EQ(target.Tabs()->Reports, (std::vector<std::string>{"changed:*"}));
  TComponent unrelated(nullptr);
  EXPECT_THROW(target.Tabs()->Assign(&unrelated), EConvertError);
}

// ---- Reading items --------------------------------------------------------------------------

std::unique_ptr<TMemoryStream> CollectionValue(const std::vector<std::vector<std::pair<const char*, const char*>>>& AItems,
                                               bool AIndexes) {
  auto stream = std::make_unique<TMemoryStream>();
  {
    TWriter writer(stream.get());
    writer.WriteValue(vaCollection);
    Integer index = 0;
    for (const auto& item : AItems) {
      if (AIndexes) writer.WriteInteger(index++);
      writer.WriteListBegin();
      for (const auto& [name, value] : item) {
        writer.WriteStr(name);
        writer.WriteString(value);
      }
      writer.WriteListEnd();
    }
    writer.WriteListEnd();
    writer.FlushBuffer();
  }
  stream->SetPosition(0);
  return stream;
}

TEST(ComponentCollection, ReadingReusesItemsAndKeepsWhatWasReadBeforeAnError) {
  TComponent form(nullptr);
  TTabsParent ribbon(&form, "dxRibbon1", TdxRibbonTab::StaticClass(), "Tab");
  TcxComponentCollectionItem* existing = ribbon.Tabs()->AppendItem();
  for (bool indexes : {false, true}) {
    auto stream = CollectionValue({{{"Caption", "Home"}}, {{"Caption", "Insert"}}}, indexes);
    TReader reader(stream.get());
    ribbon.Tabs()->ReadItemsFromReader(&reader);
    ASSERT_EQ(ribbon.Tabs()->Count(), 2);
    EXPECT_EQ(ribbon.Tabs()->Items(0), existing);
    EXPECT_EQ(static_cast<TdxRibbonTab*>(ribbon.Tabs()->Items(0))->Caption(), "Home");
    EXPECT_EQ(static_cast<TdxRibbonTab*>(ribbon.Tabs()->Items(1))->Caption(), "Insert");
  }

  auto bad = CollectionValue({{{"Caption", "Home"}}, {{"Caption", "View"}}, {{"Colour", "Red"}}}, false);
  TReader reader(bad.get());
  try {
    ribbon.Tabs()->ReadItemsFromReader(&reader);
    ADD_FAILURE() << "no error";
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.Message()).find("Colour"), std::string::npos) << e.Message();
  }
  ASSERT_EQ(ribbon.Tabs()->Count(), 3);
  EXPECT_EQ(static_cast<TdxRibbonTab*>(ribbon.Tabs()->Items(1))->Caption(), "View");
}

// ---- Interfaced collection and lists ---------------------------------------------------------

class TValueItem : public TcxInterfacedCollectionItem {
  RTL_CLASS(TValueItem, TcxInterfacedCollectionItem)

 public:
  explicit TValueItem(TCollection* ACollection) : TcxInterfacedCollectionItem(ACollection) {}
  Integer Value = 0;
};
RTL_IMPLEMENT_CLASS(TValueItem)

struct TCountingOwner : TPersistent, IUnknown {
  int Refs = 0;
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return ++Refs; }
  ULONG Release() override { return --Refs; }
};

TEST(OwnedInterfacedCollection, SortsOnWholeUpdatesWithoutRecursing) {
  TcxOwnedInterfacedCollection items(nullptr, TValueItem::StaticClass());
  items.SetSorted(true);
  items.OnCompareCollectionItems = TcxCompareCollectionItemsEvent([](TObject*, TCollectionItem* a, TCollectionItem* b) {
    return static_cast<TValueItem*>(a)->Value - static_cast<TValueItem*>(b)->Value;
  });
  int updates = 0;
  items.OnItemsUpdated = TcxCollectionItemsUpdatedEvent([&](TObject* Sender, TCollectionItem*) {
    EXPECT_EQ(Sender, &items);
    ++updates;
    // Sorting again from inside the update ends at once.
    items.Sort();
  });
  items.BeginUpdate();
  for (Integer v : {3, 1, 2}) static_cast<TValueItem*>(items.Add())->Value = v;
  items.EndUpdate();
  EXPECT_EQ(updates, 1);
  std::vector<Integer> order;
  for (Integer i = 0; i < items.Count(); ++i) order.push_back(static_cast<TValueItem*>(items.Items(i))->Value);
  EXPECT_EQ(order, (std::vector<Integer>{1, 2, 3}));

  // Without the event the index order stands.
  items.OnCompareCollectionItems = nullptr;
  static_cast<TValueItem*>(items.Items(0))->Value = 9;
  items.Sort();
  EXPECT_EQ(static_cast<TValueItem*>(items.Items(0))->Value, 9);

  void* unknown = nullptr;
  EXPECT_EQ(items.QueryInterface(IID_IUnknown, &unknown), S_OK);
  EXPECT_EQ(unknown, static_cast<IUnknown*>(&items));
  EXPECT_EQ(items.AddRef(), static_cast<ULONG>(-1));
}

TEST(OwnedInterfacedCollection, ItemsCountReferencesOnTheirOwner) {
  TCountingOwner owner;
  TcxOwnedInterfacedCollection counted(&owner, TValueItem::StaticClass());
  auto* item = static_cast<TValueItem*>(counted.Add());
  EXPECT_EQ(item->AddRef(), 1u);
  EXPECT_EQ(item->Release(), 0u);
  TcxOwnedInterfacedCollection ownerless(nullptr, TValueItem::StaticClass());
  EXPECT_EQ(static_cast<TValueItem*>(ownerless.Add())->AddRef(), static_cast<ULONG>(-1));
}

TEST(CxStringList, SortsWithItsCompareEventWhenAssigned) {
  TcxStringList list;
  for (const char* s : {"bb", "a", "ccc"}) list.Add(s);
  list.Sort();
  EXPECT_EQ(list.Get(0), "a");
  // Longest first.
  list.OnCompare = TcxStringListCompareEvent([&](TObject* Sender, Integer i1, Integer i2) {
    EXPECT_EQ(Sender, &list);
    return Integer(list.Get(i2).size()) - Integer(list.Get(i1).size());
  });
  list.Sort();
  EXPECT_EQ(list.Get(0), "ccc");
  EXPECT_EQ(list.Get(2), "a");
}

class TTabList : public TcxComponentList {
 protected:
  TClass AcceptedItemClass() override { return TdxRibbonTab::StaticClass(); }
};

TEST(CxComponentList, RefusesForeignClassesAndReportsWhenUnlocked) {
  TTabList list;
  std::vector<std::string> log;
  list.OnItemNotify = TcxComponentListNotifyEvent([&](TObject*, TComponent* c, TListNotification a) {
    log.push_back("notify " + std::to_string(a) + " " + c->Name());
  });
  list.OnListChanged = TcxComponentListChangeEvent([&](TObject*, TComponent* c, TcxItemChange k) {
    log.push_back(ChangeName(k) + " " + (c ? c->Name() : AnsiString("*")));
  });
  TdxRibbonTab tab(nullptr);
  tab.SetName("Tab1");
  TComponent plain(nullptr);
  list.Add(&plain);
  EXPECT_EQ(list.Count(), 0);
  list.Add(&tab);
  list.Extract(&tab);
  list.Add(&tab);
  list.Remove(&tab);
  EXPECT_EQ(log, (std::vector<std::string>{"notify 0 Tab1", "added Tab1", "notify 1 Tab1", "removed Tab1",
                                           "notify 0 Tab1", "added Tab1", "notify 2 Tab1", "deleted Tab1"}));

  log.clear();
  list.LockUpdates();
  list.LockUpdates();
  list.Add(&tab);
  list.UnlockUpdates();  // still locked
  list.UnlockSilently();
  EXPECT_EQ(log, (std::vector<std::string>{"notify 0 Tab1"}));
  list.LockUpdates();
  list.UnlockUpdates();
  EXPECT_EQ(log.back(), "changed *");

  // A listed component that is destroyed leaves the list.
  {
    TdxRibbonTab gone(nullptr);
    list.Add(&gone);
    EXPECT_EQ(list.Count(), 2);
  }
  EXPECT_EQ(list.Count(), 1);
  log.clear();
  list.RemoveAll();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"notify 2 Tab1", "changed *"}));
}

}  // namespace
