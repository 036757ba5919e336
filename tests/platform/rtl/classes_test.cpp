#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

// ---- Test classes (named namespaces: RTL_IMPLEMENT_CLASS defines members)

namespace classes_test {

// A persistent with a value that copies from others of its kind and can
// copy itself into a TTestTarget.
class TTestSource : public TPersistent {
  RTL_CLASS(TTestSource, TPersistent)

 public:
  int Value = 0;
  void Assign(TPersistent* Source) override {
    if (auto* s = dynamic_cast<TTestSource*>(Source)) {
      Value = s->Value;
      return;
    }
    inherited::Assign(Source);
  }

 protected:
  void AssignTo(TPersistent* Dest) override;
};

class TTestTarget : public TPersistent {
  RTL_CLASS(TTestTarget, TPersistent)

 public:
  int Copied = 0;
};

void TTestSource::AssignTo(TPersistent* Dest) {
  if (auto* t = dynamic_cast<TTestTarget*>(Dest)) {
    t->Copied = Value;
    return;
  }
  inherited::AssignTo(Dest);
}

// Logs its destruction and the notifications it receives, and holds a
// reference that free notification clears.
class TTestComponent : public TComponent {
  RTL_CLASS(TTestComponent, TComponent)

 public:
  static std::vector<std::string>* Log;
  TComponent* Ref = nullptr;
  bool SawDestroying = false;

  explicit TTestComponent(TComponent* AOwner) : TComponent(AOwner) {}
  TTestComponent(TComponent* AOwner, const char* name) : TComponent(AOwner) { SetName(name); }
  ~TTestComponent() override {
    SawDestroying = ComponentState().Contains(csDestroying);
    if (Log) Log->push_back("~" + Name() + (SawDestroying ? "" : " (not destroying)"));
  }
  void SetRef(TComponent* c) {
    if (Ref) Ref->RemoveFreeNotification(this);
    Ref = c;
    if (c) c->FreeNotification(this);
  }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (Log) Log->push_back(Name() + (Operation == opInsert ? " +" : " -") + AComponent->Name());
    if (Operation == opRemove && AComponent == Ref) Ref = nullptr;
  }
};
std::vector<std::string>* TTestComponent::Log = nullptr;

class TTestItem : public TCollectionItem {
  RTL_CLASS(TTestItem, TCollectionItem)

 public:
  std::string Text = "constructed";
  explicit TTestItem(TCollection* Collection) : TCollectionItem(Collection) {}
  void Assign(TPersistent* Source) override {
    if (auto* s = dynamic_cast<TTestItem*>(Source)) {
      Text = s->Text;
      return;
    }
    inherited::Assign(Source);
  }
  AnsiString GetDisplayName() const override { return Text; }
};

class TTestSubItem : public TTestItem {
  RTL_CLASS(TTestSubItem, TTestItem)

 public:
  explicit TTestSubItem(TCollection* Collection) : TTestItem(Collection) { Text = "sub"; }
};

// Logs Notify and Update; reads the item's own state at cnAdded.
class TTestCollection : public TOwnedCollection {
  RTL_CLASS(TTestCollection, TOwnedCollection)

 public:
  std::vector<std::string> log;
  TTestCollection(TPersistent* AOwner, TCollectionItemClass ItemClass) : TOwnedCollection(AOwner, ItemClass) {}
  ~TTestCollection() override { Clear(); }
  using TCollection::UpdateCount;

 protected:
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    static const char* names[] = {"added", "extracting", "deleting"};
    // An item made with `new` is announced from inside the base constructor,
    // before it is a TTestItem: it shows as "(constructing)".
    auto* item = dynamic_cast<TTestItem*>(Item);
    log.push_back(std::string(names[Action]) + " " + (item ? item->Text : "(constructing)"));
  }
  void Update(TCollectionItem* Item) override { log.push_back(Item ? "update " + Item->DisplayName() : "update all"); }
};

RTL_IMPLEMENT_CLASS(TTestSource)
RTL_IMPLEMENT_CLASS(TTestTarget)
RTL_IMPLEMENT_CLASS(TTestComponent)
RTL_IMPLEMENT_CLASS(TTestItem)
RTL_IMPLEMENT_CLASS(TTestSubItem)
RTL_IMPLEMENT_CLASS(TTestCollection)

}  // namespace classes_test

// Another class whose name is TTestSource.
namespace classes_test_other {
class TTestSource : public TPersistent {
  RTL_CLASS(TTestSource, TPersistent)
};
RTL_IMPLEMENT_CLASS(TTestSource)
}  // namespace classes_test_other

namespace classes_test {
namespace {

template <class E>
std::string MessageOf(void (*op)()) {
  try {
    op();
  } catch (const E& e) {
    return e.Message();
  }
  return "(no exception)";
}

// ---- TPersistent ----------------------------------------------------------

TEST(Persistent, AssignAsksEitherSide) {
  TTestSource a, b;
  a.Value = 7;
  b.Assign(&a);
  EXPECT_EQ(b.Value, 7);
  TTestTarget t;
  t.Assign(&a);  // the target does not know the source; the source knows it
  EXPECT_EQ(t.Copied, 7);
}

TEST(Persistent, AssignErrorsNameBothClasses) {
  EXPECT_EQ(MessageOf<EConvertError>([] {
              TTestSource s;
              TTestTarget t;
              s.Assign(&t);
            }),
            "Cannot assign a TTestTarget to a TTestSource");
  EXPECT_EQ(MessageOf<EConvertError>([] {
              TTestTarget t;
              t.Assign(nullptr);
            }),
            "Cannot assign a nil to a TTestTarget");
}

// ---- TComponent -----------------------------------------------------------

class ComponentTest : public ::testing::Test {
 protected:
  std::vector<std::string> log;
  void SetUp() override { TTestComponent::Log = &log; }
  void TearDown() override { TTestComponent::Log = nullptr; }
};

TEST_F(ComponentTest, OwnerDestroysItsComponentsFromLastToFirst) {
  auto* owner = new TTestComponent(nullptr, "Form");
  new TTestComponent(owner, "A");
  auto* b = new TTestComponent(owner, "B");
  new TTestComponent(b, "B1");
  new TTestComponent(owner, "C");
  EXPECT_EQ(owner->ComponentCount(), 3);
  log.clear();
  delete owner;
  // The deleted component's own derived destructor runs before Destroying;
  // the components it owns are all marked before any of them goes.
  EXPECT_EQ(log, (std::vector<std::string>{"~Form (not destroying)", "~C", "~B", "~B1", "~A"}));
}

TEST_F(ComponentTest, DeletingAComponentTakesItFromItsOwner) {
  TTestComponent owner(nullptr, "Form");
  auto* a = new TTestComponent(&owner, "A");
  auto* b = new TTestComponent(&owner, "B");
  delete a;
  ASSERT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), b);
  EXPECT_EQ(b->ComponentIndex(), 0);
  EXPECT_THROW(owner.Components(1), EListError);
}

TEST_F(ComponentTest, FreeNotificationClearsReferences) {
  struct Case {
    const char* name;
    bool sameOwner;
  };
  for (const Case& c : {Case{"other owners", false}, Case{"same owner", true}}) {
    TTestComponent form1(nullptr, "Form1"), form2(nullptr, "Form2");
    auto* holder = new TTestComponent(&form1, "Holder");
    auto* target = new TTestComponent(c.sameOwner ? &form1 : &form2, "Target");
    holder->SetRef(target);
    delete target;
    EXPECT_EQ(holder->Ref, nullptr) << c.name;
  }
}

TEST_F(ComponentTest, FreeNotificationSurvivesAnOwnerChange) {
  TTestComponent form1(nullptr, "Form1"), form2(nullptr, "Form2");
  auto* holder = new TTestComponent(&form1, "Holder");
  auto* target = new TTestComponent(&form1, "Target");
  holder->SetRef(target);
  form2.InsertComponent(holder);
  EXPECT_EQ(holder->Owner(), &form2);
  EXPECT_EQ(form1.ComponentCount(), 1);
  delete target;
  EXPECT_EQ(holder->Ref, nullptr);
}

TEST_F(ComponentTest, FreeNotificationWorksBothWaysAndCanBeRemoved) {
  auto* a = new TTestComponent(nullptr, "A");
  auto* b = new TTestComponent(nullptr, "B");
  a->SetRef(b);
  b->SetRef(a);
  EXPECT_TRUE(a->ComponentState().Contains(csFreeNotification));
  delete a;
  EXPECT_EQ(b->Ref, nullptr);
  auto* c = new TTestComponent(nullptr, "C");
  b->SetRef(c);
  b->SetRef(nullptr);
  EXPECT_FALSE(c->ComponentState().Contains(csFreeNotification));
  log.clear();
  delete c;
  EXPECT_EQ(log, (std::vector<std::string>{"~C (not destroying)"}));  // b is not told
  delete b;
}

TEST_F(ComponentTest, OwnerAndSiblingsHearOfInsertAndRemove) {
  TTestComponent form(nullptr, "Form");
  auto* a = new TTestComponent(&form, "A");
  new TTestComponent(a, "A1");
  log.clear();
  auto* b = new TTestComponent(nullptr, "B");
  form.InsertComponent(b);
  form.RemoveComponent(b);
  EXPECT_EQ(log, (std::vector<std::string>{"B +B", "A1 +B", "A +B", "Form +B", "B -B", "A1 -B", "A -B", "Form -B"}));
  EXPECT_EQ(b->Owner(), nullptr);
  delete b;
}

TEST_F(ComponentTest, DestroyingMarksTheOwnedComponentsRecursively) {
  TComponent form(nullptr);
  auto* a = new TComponent(&form);
  auto* a1 = new TComponent(a);
  form.Destroying();
  EXPECT_TRUE(a->ComponentState().Contains(csDestroying));
  EXPECT_TRUE(a1->ComponentState().Contains(csDestroying));
}

TEST_F(ComponentTest, NameValidation) {
  struct Case {
    const char* name;
    bool valid;
  };
  const Case cases[] = {
      {"Button1", true}, {"_x", true}, {"a_b_9", true}, {"", true},
      {"1abc", false},   {"a b", false}, {"a.b", false}, {"é", false}, {"a-b", false},
  };
  for (const Case& c : cases) {
    TComponent comp(nullptr);
    if (c.valid) {
      EXPECT_NO_THROW(comp.SetName(c.name)) << c.name;
      EXPECT_EQ(comp.Name(), c.name);
    } else {
      try {
        comp.SetName(c.name);
        ADD_FAILURE() << c.name;
      } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "Component name \"" + std::string(c.name) + "\" is not valid");
      }
    }
  }
}

TEST_F(ComponentTest, DuplicateNamesAmongAnOwnersComponents) {
  TComponent form(nullptr);
  TComponent other(nullptr);
  auto* a = new TComponent(&form);
  a->SetName("Edit1");
  auto* b = new TComponent(&form);
  try {
    b->SetName("EDIT1");
    ADD_FAILURE() << "duplicate accepted";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "A component named EDIT1 already exists");
  }
  EXPECT_EQ(b->Name(), "");
  a->SetName("EDIT1");  // a new case for its own name is fine
  EXPECT_EQ(form.FindComponent("edit1"), a);
  EXPECT_EQ(form.FindComponent(""), nullptr);
  auto* c = new TComponent(&other);
  c->SetName("Edit1");  // another owner: no clash
  EXPECT_THROW(form.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), &other);
}

TEST_F(ComponentTest, ComponentIndexMovesWithinTheOwner) {
  TComponent form(nullptr);
  TComponent* c[3];
  for (auto& p : c) p = new TComponent(&form);
  c[0]->SetComponentIndex(2);
  EXPECT_EQ(form.Components(2), c[0]);
  EXPECT_EQ(form.Components(0), c[1]);
  c[0]->SetComponentIndex(-5);
  EXPECT_EQ(c[0]->ComponentIndex(), 0);
  EXPECT_EQ(TComponent(nullptr).ComponentIndex(), -1);
}

TEST_F(ComponentTest, StateFlags) {
  TComponent form(nullptr);
  auto* child = new TComponent(&form);
  form.BeginLoading();
  EXPECT_TRUE(form.ComponentState().Contains(csLoading));
  form.Loaded();
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  form.SetDesigning(true);
  EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
  auto* late = new TComponent(&form);  // joins a designing owner
  EXPECT_TRUE(late->ComponentState().Contains(csDesigning));
  form.SetDesigning(false, false);
  EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(form.ComponentStyle().Contains(csInheritable));
  form.SetTag(42);
  EXPECT_EQ(form.Tag(), 42);
}

TEST_F(ComponentTest, CreatedThroughAClassReferenceWithItsOwner) {
  TComponent form(nullptr);
  TClass cls = TTestComponent::StaticClass();
  TObject* obj = CreateInstance(cls, &form);
  ASSERT_NE(obj, nullptr);
  EXPECT_EQ(obj->ClassName(), "TTestComponent");
  EXPECT_EQ(form.Components(0), obj);
}

TEST_F(ComponentTest, NamePaths) {
  TComponent form(nullptr);
  form.SetName("Form1");
  TTestCollection coll(&form, TTestItem::StaticClass());
  EXPECT_EQ(coll.GetNamePath(), "TTestCollection");
  coll.SetPropName("Columns");
  EXPECT_EQ(coll.GetNamePath(), "Form1.Columns");
  coll.Add();
  TCollectionItem* item = coll.Add();
  EXPECT_EQ(item->GetNamePath(), "Form1.Columns[1]");
  TTestTarget loose;
  EXPECT_EQ(loose.GetNamePath(), "TTestTarget");
}

// ---- Collections ----------------------------------------------------------

class CollectionTest : public ::testing::Test {
 protected:
  TComponent owner{nullptr};
  TTestCollection coll{&owner, TTestItem::StaticClass()};

  std::vector<std::string> Texts(const TCollection& c) {
    std::vector<std::string> r;
    for (TCollectionItem* i : c) r.push_back(static_cast<TTestItem*>(i)->Text);
    return r;
  }
  TTestItem* AddText(const char* text) {
    auto* item = static_cast<TTestItem*>(coll.Add());
    item->Text = text;
    return item;
  }
};

TEST_F(CollectionTest, AddAnnouncesTheItemOnceItIsConstructed) {
  TTestCollection subs(&owner, TTestSubItem::StaticClass());
  TCollectionItem* item = subs.Add();
  EXPECT_EQ(item->ClassName(), "TTestSubItem");
  EXPECT_EQ(item->Collection(), &subs);
  EXPECT_EQ(subs.log, (std::vector<std::string>{"added sub", "update all"}));
  EXPECT_EQ(subs.Owner(), &owner);
}

TEST_F(CollectionTest, IdsGrowAndAreNotReused) {
  AddText("a");
  AddText("b");
  AddText("c");
  coll.Delete(2);
  TTestItem* d = AddText("d");
  EXPECT_EQ(d->ID(), 3);
  EXPECT_EQ(coll.FindItemID(3), d);
  EXPECT_EQ(coll.FindItemID(2), nullptr);
  EXPECT_EQ(coll.Items(0)->ID(), 0);
}

TEST_F(CollectionTest, IndexSetterMovesTheItem) {
  AddText("a");
  AddText("b");
  TTestItem* c = AddText("c");
  coll.log.clear();
  c->SetIndex(0);
  EXPECT_EQ(Texts(coll), (std::vector<std::string>{"c", "a", "b"}));
  EXPECT_EQ(c->Index(), 0);
  EXPECT_EQ(coll.log, (std::vector<std::string>{"update all"}));
  EXPECT_THROW(c->SetIndex(3), EListError);
  TCollectionItem* ins = coll.Insert(1);
  EXPECT_EQ(ins->Index(), 1);
  EXPECT_EQ(Texts(coll), (std::vector<std::string>{"c", "constructed", "a", "b"}));
}

TEST_F(CollectionTest, DeleteAndClearNotify) {
  AddText("a");
  AddText("b");
  coll.log.clear();
  coll.Delete(0);
  EXPECT_EQ(coll.log, (std::vector<std::string>{"deleting a", "extracting a", "update all"}));
  coll.log.clear();
  AddText("c");
  coll.log.clear();
  coll.Clear();
  EXPECT_EQ(coll.log, (std::vector<std::string>{"extracting c", "extracting b", "update all"}));
  EXPECT_EQ(coll.Count(), 0);
  try {
    coll.Delete(0);
    ADD_FAILURE();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (0)");
  }
}

TEST_F(CollectionTest, UpdatesWaitForTheOutermostEndUpdate) {
  coll.BeginUpdate();
  coll.BeginUpdate();
  TTestItem* a = AddText("a");
  a->SetDisplayName("x");
  coll.EndUpdate();
  EXPECT_EQ(coll.UpdateCount(), 1);
  EXPECT_EQ(coll.log, (std::vector<std::string>{"added constructed"}));
  coll.EndUpdate();
  EXPECT_EQ(coll.log, (std::vector<std::string>{"added constructed", "update all"}));
  coll.log.clear();
  a->SetDisplayName("y");
  EXPECT_EQ(coll.log, (std::vector<std::string>{"update a"}));
}

TEST_F(CollectionTest, CollectionSetterMovesBetweenCollections) {
  TTestCollection other(&owner, TTestItem::StaticClass());
  other.Add();
  TTestItem* a = AddText("a");
  AddText("b");
  a->SetCollection(&other);
  EXPECT_EQ(Texts(coll), (std::vector<std::string>{"b"}));
  EXPECT_EQ(Texts(other), (std::vector<std::string>{"constructed", "a"}));
  EXPECT_EQ(a->ID(), 1);
  a->SetCollection(nullptr);
  EXPECT_EQ(a->Index(), -1);
  delete a;
  TTestCollection subsOnly(&owner, TTestSubItem::StaticClass());
  TCollectionItem* b = coll.Items(0);
  try {
    b->SetCollection(&subsOnly);
    ADD_FAILURE();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "Invalid property value");
  }
  EXPECT_EQ(b->Collection(), &coll);
}

TEST_F(CollectionTest, AssignCopiesItemByItem) {
  AddText("a");
  AddText("b");
  TTestCollection copy(&owner, TTestItem::StaticClass());
  copy.Add();
  copy.log.clear();
  copy.Assign(&coll);
  EXPECT_EQ(Texts(copy), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(copy.log.back(), "update all");
  EXPECT_EQ(std::count(copy.log.begin(), copy.log.end(), "update all"), 1);
  TTestSource notACollection;
  EXPECT_THROW(copy.Assign(&notACollection), EConvertError);
}

TEST_F(CollectionTest, DisplayNameDefaultsToTheClassName) {
  TCollection plain(TCollectionItem::StaticClass());
  EXPECT_EQ(plain.Add()->DisplayName(), "TCollectionItem");
  EXPECT_EQ(plain.Owner(), nullptr);
}

// ---- The class registry ---------------------------------------------------

TEST(ClassRegistry, RegisterFindAndUnregister) {
  RegisterClasses({TTestComponent::StaticClass(), TTestTarget::StaticClass()});
  EXPECT_EQ(FindClass("ttestcomponent"), TTestComponent::StaticClass());
  EXPECT_EQ(GetClass("TComponent"), TComponent::StaticClass());  // ancestors come along
  EXPECT_EQ(GetClass("TPersistent"), TPersistent::StaticClass());
  EXPECT_EQ(GetClass("TObject"), nullptr);
  RegisterClass(TTestComponent::StaticClass());  // again: no error
  UnRegisterClass(TTestComponent::StaticClass());
  EXPECT_EQ(GetClass("TTestComponent"), nullptr);
  EXPECT_EQ(MessageOf<EClassNotFound>([] { FindClass("TTestComponent"); }), "Class TTestComponent not found");
  UnRegisterClasses({TTestTarget::StaticClass()});
}

TEST(ClassRegistry, ASecondClassOfTheSameNameIsRefused) {
  RegisterClass(TTestSource::StaticClass());
  EXPECT_EQ(MessageOf<EFilerError>([] { RegisterClass(classes_test_other::TTestSource::StaticClass()); }),
            "A class named TTestSource already exists");
  EXPECT_EQ(GetClass("TTestSource"), TTestSource::StaticClass());
  UnRegisterClass(TTestSource::StaticClass());
}

}  // namespace
}  // namespace classes_test
