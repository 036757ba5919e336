#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/sysutils.h"

namespace {

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

std::vector<intptr_t> Values(const TList& list) {
  std::vector<intptr_t> r;
  for (void* p : list) r.push_back(reinterpret_cast<intptr_t>(p));
  return r;
}

TList* Make(std::initializer_list<intptr_t> values, TList& list) {
  for (intptr_t v : values) list.Add(P(v));
  return &list;
}

// Records every notification, as a subclass that owns or watches its items.
class RecordingList : public TList {
 public:
  std::vector<std::pair<intptr_t, TListNotification>> log;
  ~RecordingList() override { Clear(); }

 protected:
  void Notify(void* Ptr, TListNotification Action) override { log.emplace_back(reinterpret_cast<intptr_t>(Ptr), Action); }
};

// Counts its destructions.
class Tracked : public TObject {
 public:
  int* destroyed;
  int id;
  Tracked(int* counter, int i = 0) : destroyed(counter), id(i) {}
  ~Tracked() override { ++*destroyed; }
};

TEST(List, EditingOperations) {
  struct Case {
    const char* name;
    void (*op)(TList&);
    std::vector<intptr_t> expected;
  };
  const Case cases[] = {
      {"Insert at 0", [](TList& l) { l.Insert(0, P(9)); }, {9, 1, 2, 3, 4}},
      {"Insert at Count", [](TList& l) { l.Insert(4, P(9)); }, {1, 2, 3, 4, 9}},
      {"Delete", [](TList& l) { l.Delete(1); }, {1, 3, 4}},
      {"Remove", [](TList& l) { EXPECT_EQ(l.Remove(P(3)), 2); }, {1, 2, 4}},
      {"Remove absent", [](TList& l) { EXPECT_EQ(l.Remove(P(7)), -1); }, {1, 2, 3, 4}},
      {"Exchange", [](TList& l) { l.Exchange(0, 3); }, {4, 2, 3, 1}},
      {"Move forward", [](TList& l) { l.Move(0, 2); }, {2, 3, 1, 4}},
      {"Move backward", [](TList& l) { l.Move(3, 1); }, {1, 4, 2, 3}},
      {"SetItem", [](TList& l) { l.SetItem(2, P(8)); }, {1, 2, 8, 4}},
      {"SetCount up", [](TList& l) { l.SetCount(6); }, {1, 2, 3, 4, 0, 0}},
      {"SetCount down", [](TList& l) { l.SetCount(1); }, {1}},
      {"Pack", [](TList& l) { l.SetItem(1, nullptr); l.Add(nullptr); l.Pack(); }, {1, 3, 4}},
      {"Sort", [](TList& l) { l.Sort([](void* a, void* b) { return Integer((intptr_t)b - (intptr_t)a); }); }, {4, 3, 2, 1}},
      {"Extract", [](TList& l) { EXPECT_EQ(l.Extract(P(2)), P(2)); }, {1, 3, 4}},
  };
  for (const Case& c : cases) {
    TList list;
    Make({1, 2, 3, 4}, list);
    c.op(list);
    EXPECT_EQ(Values(list), c.expected) << c.name;
  }
}

TEST(List, IndexErrorsCarryTheIndex) {
  struct Case {
    const char* name;
    void (*op)(TList&);
    const char* message;
  };
  const Case cases[] = {
      {"Items", [](TList& l) { l.Items(3); }, "List index out of bounds (3)"},
      {"negative", [](TList& l) { l.Items(-1); }, "List index out of bounds (-1)"},
      {"Delete", [](TList& l) { l.Delete(5); }, "List index out of bounds (5)"},
      {"Insert past Count", [](TList& l) { l.Insert(4, nullptr); }, "List index out of bounds (4)"},
      {"Exchange", [](TList& l) { l.Exchange(0, 7); }, "List index out of bounds (7)"},
      {"Move", [](TList& l) { l.Move(0, 3); }, "List index out of bounds (3)"},
      {"SetItem", [](TList& l) { l.SetItem(3, nullptr); }, "List index out of bounds (3)"},
      {"Capacity", [](TList& l) { l.SetCapacity(2); }, "List capacity out of bounds (2)"},
      {"Count", [](TList& l) { l.SetCount(-1); }, "List count out of bounds (-1)"},
  };
  for (const Case& c : cases) {
    TList list;
    Make({1, 2, 3}, list);
    try {
      c.op(list);
      ADD_FAILURE() << c.name << ": no exception";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), c.message) << c.name;
    }
    EXPECT_EQ(Values(list), (std::vector<intptr_t>{1, 2, 3})) << c.name;
  }
  TList empty;
  EXPECT_THROW(empty.First(), EListError);
  EXPECT_THROW(empty.Last(), EListError);
}

TEST(List, CapacityGrowsAndShrinksOnClear) {
  TList list;
  for (int i = 0; i < 1000; ++i) list.Add(P(i + 1));
  EXPECT_GE(list.Capacity(), 1000);
  EXPECT_EQ(list.First(), P(1));
  EXPECT_EQ(list.Last(), P(1000));
  EXPECT_EQ(list.IndexOf(P(500)), 499);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
  EXPECT_EQ(list.Expand()->Capacity(), 4);
}

TEST(List, NotificationsForNonNullItems) {
  RecordingList list;
  list.Add(P(1));
  list.Add(nullptr);
  list.Insert(0, P(2));
  list.SetItem(0, P(3));   // 2 deleted, 3 added
  list.Extract(P(1));      // extracted, not deleted
  list.Exchange(0, 1);     // nothing
  list.Move(0, 1);         // nothing
  list.Delete(0);          // 3 deleted
  list.Delete(0);          // null: nothing
  using L = std::vector<std::pair<intptr_t, TListNotification>>;
  EXPECT_EQ(list.log, (L{{1, lnAdded}, {2, lnAdded}, {2, lnDeleted}, {3, lnAdded}, {1, lnExtracted}, {3, lnDeleted}}));
  list.log.clear();
  list.Add(P(4));
  list.Add(P(5));
  list.SetCount(0);
  EXPECT_EQ(list.log, (L{{4, lnAdded}, {5, lnAdded}, {5, lnDeleted}, {4, lnDeleted}}));
}

TEST(List, AssignCopiesAndRangeForWalks) {
  TList a, b;
  Make({5, 6, 7}, a);
  Make({1}, b);
  b.Assign(&a);
  EXPECT_EQ(Values(b), (std::vector<intptr_t>{5, 6, 7}));
}

class ObjectListTest : public ::testing::Test {
 protected:
  int destroyed = 0;
  Tracked* New(int id = 0) { return new Tracked(&destroyed, id); }
};

TEST_F(ObjectListTest, OwningListDeletesWhatLeavesIt) {
  auto* list = new TObjectList;
  Tracked* a = New(1);
  Tracked* b = New(2);
  Tracked* c = New(3);
  Tracked* d = New(4);
  list->Add(a);
  list->Add(b);
  list->Add(c);
  list->Add(d);
  list->Delete(0);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(list->Remove(b), 0);
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(list->Extract(c), c);
  EXPECT_EQ(destroyed, 2);
  list->SetItem(0, c);  // d replaced
  EXPECT_EQ(destroyed, 3);
  delete list;
  EXPECT_EQ(destroyed, 4);
}

TEST_F(ObjectListTest, NonOwningListLeavesObjectsAlive) {
  Tracked a(&destroyed), b(&destroyed);
  {
    TObjectList list(false);
    list.Add(&a);
    list.Add(&b);
    list.Delete(0);
    list.Clear();
  }
  EXPECT_EQ(destroyed, 0);
}

TEST_F(ObjectListTest, TypedAccessAndFindInstanceOf) {
  TObjectList list;
  list.Add(New(1));
  list.Add(new TList);
  list.Add(new TObjectList);
  int sum = 0;
  for (TObject* o : list)
    if (auto* t = dynamic_cast<Tracked*>(o)) sum += t->id;
  EXPECT_EQ(sum, 1);
  EXPECT_EQ(list.FindInstanceOf(TList::StaticClass()), 1);
  EXPECT_EQ(list.FindInstanceOf(TObjectList::StaticClass()), 2);
  EXPECT_EQ(list.FindInstanceOf(TList::StaticClass(), false, 2), 2);
  EXPECT_EQ(list.FindInstanceOf(TComponent::StaticClass(), false), -1);
  EXPECT_TRUE(list.First()->Is<TObject>());
  EXPECT_TRUE(list.Last()->Is<TObjectList>());
}

// A component that counts its destructions.
class CountedComponent : public TComponent {
 public:
  int* destroyed;
  CountedComponent(TComponent* owner, int* counter) : TComponent(owner), destroyed(counter) {}
  ~CountedComponent() override { ++*destroyed; }
};

TEST(ComponentList, DropsAMemberDestroyedElsewhere) {
  int destroyed = 0;
  TComponent owner(nullptr);
  auto* a = new CountedComponent(&owner, &destroyed);
  auto* b = new CountedComponent(&owner, &destroyed);
  TComponentList list(false);
  list.Add(a);
  list.Add(b);
  list.Add(a);  // listed twice: both entries go
  delete a;
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], b);
  // Owner destruction removes the rest.
  owner.DestroyComponents();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(destroyed, 2);
}

TEST(ComponentList, OwnsByDefaultAndStopsWatchingExtractedMembers) {
  int destroyed = 0;
  auto* kept = new CountedComponent(nullptr, &destroyed);
  {
    TComponentList list;
    EXPECT_TRUE(list.OwnsObjects());
    list.Add(new CountedComponent(nullptr, &destroyed));
    list.Add(kept);
    EXPECT_EQ(list.Extract(kept), kept);
    list.Add(new CountedComponent(nullptr, &destroyed));
    int n = 0;
    for (TComponent* c : list) n += c != nullptr;
    EXPECT_EQ(n, 2);
  }
  EXPECT_EQ(destroyed, 2);
  delete kept;  // no longer watched by the destroyed list
  EXPECT_EQ(destroyed, 3);
}

}  // namespace
