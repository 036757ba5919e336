#include "ui/foundation/core_classes.h"

#include <gtest/gtest.h>

#include "platform/rtl/lists.h"

namespace {

// ---- Doubly linked lists -------------------------------------------------------

TEST(DoublyLinkedList, UnlinkingTheMiddleLeavesTwoLinkedNodes) {
  TcxDoublyLinkedObjectList list;
  TcxDoublyLinkedObject* a = list.AppendNode();
  TcxDoublyLinkedObject* b = list.AppendNode();
  TcxDoublyLinkedObject* c = list.AppendNode();
  ASSERT_EQ(list.CountNodes(), 3);
  list.UnlinkNode(b);
  EXPECT_EQ(list.CountNodes(), 2);
  EXPECT_EQ(a->Next(), c);
  EXPECT_EQ(c->Prev(), a);
  EXPECT_EQ(list.Last(), c);
  // The unlinked node keeps its links and is the caller's now.
  EXPECT_EQ(b->Prev(), a);
  EXPECT_EQ(b->Next(), c);
  delete b;
}

TEST(DoublyLinkedList, UnlinkingTheLastMovesTheLastNodeBack) {
  TcxDoublyLinkedObjectList list;
  TcxDoublyLinkedObject* a = list.AppendNode();
  TcxDoublyLinkedObject* b = list.AppendNode();
  list.DeleteNode(b);
  EXPECT_EQ(b, nullptr);
  EXPECT_EQ(list.Last(), a);
  EXPECT_EQ(a->Next(), nullptr);
  list.DeleteNode(a);
  EXPECT_EQ(list.Last(), nullptr);
  EXPECT_EQ(list.CountNodes(), 0);
}

TEST(DoublyLinkedDataList, CopiesItsPointersFirstToLast) {
  TcxDoublyLinkedDataList list;
  int x = 0, y = 0, z = 0;
  TList source;
  source.Add(&x);
  source.Add(&y);
  list.AppendList(&source);
  list.AppendData(&z);
  ASSERT_TRUE(list.Last()->Is<TcxDoublyLinkedData>());

  TList target;
  for (int i = 0; i < 5; ++i) target.Add(&x);
  list.CopyToList(&target);
  ASSERT_EQ(target.Count(), 3);
  EXPECT_EQ(target.Capacity(), 3);
  EXPECT_EQ(target[0], &x);
  EXPECT_EQ(target[1], &y);
  EXPECT_EQ(target[2], &z);
}

TEST(DoublyLinkedDataList, EmptyListCopiesToAnEmptyList) {
  TcxDoublyLinkedDataList list;
  TList target;
  int x = 0;
  target.Add(&x);
  list.CopyToList(&target);
  EXPECT_EQ(target.Count(), 0);
}

// ---- Interfaces and persistence ---------------------------------------------------

struct TCountedUnknown : TcxIUnknownObject {
  static inline int Alive = 0;
  TCountedUnknown() { ++Alive; }
  ~TCountedUnknown() override { --Alive; }
};

TEST(IUnknownObject, ReferencesNeverKeepItAliveOrFreeIt) {
  TCountedUnknown::Alive = 0;
  auto* obj = new TCountedUnknown;
  IUnknown* unk = nullptr;
  ASSERT_EQ(obj->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unk)), S_OK);
  EXPECT_EQ(unk, static_cast<IUnknown*>(obj));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(unk->Release(), static_cast<ULONG>(-1));
  EXPECT_EQ(unk->AddRef(), static_cast<ULONG>(-1));
  EXPECT_EQ(TCountedUnknown::Alive, 1);
  void* other = &unk;
  EXPECT_EQ(obj->QueryInterface(IID_IStream, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  delete obj;
  EXPECT_EQ(TCountedUnknown::Alive, 0);
}

class TTestOwned : public TcxOwnedPersistent {
  RTL_CLASS(TTestOwned, TcxOwnedPersistent)
 public:
  using TcxOwnedPersistent::TcxOwnedPersistent;
  int Value = 0;
  void CopyFrom(TPersistent* Source) override { Value = static_cast<TTestOwned*>(Source)->Value; }
};
RTL_IMPLEMENT_CLASS(TTestOwned)

class TTestOwnedDerived : public TTestOwned {
  RTL_CLASS(TTestOwnedDerived, TTestOwned)
 public:
  using TTestOwned::TTestOwned;
};
RTL_IMPLEMENT_CLASS(TTestOwnedDerived)

TEST(OwnedPersistent, CopiesItsOwnClassAndRefusesUnrelatedOnes) {
  TPersistent owner;
  TTestOwned a(&owner);
  TTestOwnedDerived b(nullptr);
  b.Value = 42;
  a.Assign(&b);
  EXPECT_EQ(a.Value, 42);
  EXPECT_EQ(a.GetOwner(), &owner);

  TcxOwnedPersistent unrelated(nullptr);
  try {
    a.Assign(&unrelated);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TcxOwnedPersistent to a TTestOwned");
  }
  // A base-class source is not of the target's class either.
  TTestOwnedDerived c(nullptr);
  EXPECT_THROW(c.Assign(&a), EConvertError);
}

TEST(InterfacedPersistent, AnswersItsOwner) {
  TPersistent owner;
  TcxInterfacedPersistent p(&owner);
  EXPECT_EQ(p.GetOwner(), &owner);
}

// ---- Free notificator ---------------------------------------------------------------

TEST(FreeNotificator, ReportsOnlyTheDestructionOfWatchedComponents) {
  TComponent root(nullptr);
  TcxFreeNotificator notificator(nullptr);
  std::vector<std::pair<TObject*, TComponent*>> log;
  notificator.OnComponentFreed = [&](TObject* sender, TComponent* c) { log.emplace_back(sender, c); };

  auto* watched = new TComponent(nullptr);
  auto* unwatched = new TComponent(nullptr);
  notificator.WatchComponent(watched);
  notificator.WatchComponent(unwatched);
  notificator.UnwatchComponent(unwatched);
  notificator.WatchComponent(nullptr);
  notificator.UnwatchComponent(nullptr);
  // Inserting into an owner notifies with opInsert: not a destruction.
  root.InsertComponent(watched);
  EXPECT_TRUE(log.empty());
  delete unwatched;
  EXPECT_TRUE(log.empty());
  TComponent* expected = watched;
  delete watched;
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].first, &notificator);
  EXPECT_EQ(log[0].second, expected);
}

}  // namespace
