#include "ui/foundation/fast_list.h"

#include <gtest/gtest.h>

#include "platform/rtl/sysutils.h"

namespace {

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

TEST(FastList, GrowsByTheListedSteps) {
  const Integer expected[] = {16, 32, 64, 96, 128, 160, 240, 360, 540};
  TdxFastList list;
  EXPECT_EQ(list.Capacity(), 0);
  size_t step = 0;
  Integer last = 0;
  for (intptr_t i = 0; step < std::size(expected); ++i) {
    list.Add(P(i + 1));
    if (list.Capacity() != last) {
      ASSERT_EQ(list.Capacity(), expected[step]) << "step " << step;
      last = list.Capacity();
      ++step;
    }
  }
}

TEST(FastList, InsertAtCountAppendsBeyondRaisesAndKeepsTheList) {
  TdxFastList list;
  list.Add(P(1));
  list.Add(P(2));
  list.Insert(2, P(3));
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[2], P(3));
  try {
    list.Insert(4, P(9));
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (4)");
  }
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0], P(1));
  EXPECT_EQ(list[1], P(2));
  EXPECT_EQ(list[2], P(3));
  EXPECT_THROW(list.Insert(-1, P(9)), EListError);
  EXPECT_THROW(list.Items(3), EListError);
  EXPECT_THROW(list.Delete(3), EListError);
}

TEST(FastList, InsertAtTheFrontMovesTheTail) {
  TdxFastList list;
  for (intptr_t i = 1; i <= 20; ++i) list.Insert(0, P(i));
  for (Integer i = 0; i < 20; ++i) EXPECT_EQ(list[i], P(20 - i));
  list.Delete(0);
  list.Delete(18);
  EXPECT_EQ(list.Count(), 18);
  EXPECT_EQ(list[0], P(19));
  EXPECT_EQ(list[17], P(2));
}

TEST(FastList, CapacityBelowCountRaisesAndKeepsTheItems) {
  TdxFastList list;
  for (intptr_t i = 1; i <= 5; ++i) list.Add(P(i));
  Integer capacity = list.Capacity();
  try {
    list.SetCapacity(4);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List capacity out of bounds (4)");
  }
  EXPECT_EQ(list.Capacity(), capacity);
  ASSERT_EQ(list.Count(), 5);
  for (Integer i = 0; i < 5; ++i) EXPECT_EQ(list[i], P(i + 1));
  EXPECT_THROW(list.SetCapacity(TdxFastList::MaxCapacity + 1), EListError);
  list.SetCapacity(5);
  EXPECT_EQ(list.Capacity(), 5);
}

TEST(FastList, IndexOfRemoveAndExtractFindTheRightOccurrence) {
  TdxFastList list;
  list.Add(P(7));
  list.Add(P(8));
  list.Add(P(7));
  EXPECT_EQ(list.IndexOf(P(7)), 0);
  EXPECT_EQ(list.IndexOf(P(7), true), 2);
  EXPECT_EQ(list.IndexOf(P(9)), -1);
  EXPECT_EQ(list.IndexOf(P(9), true), -1);
  EXPECT_EQ(list.Remove(P(7)), 0);
  EXPECT_EQ(list.Remove(P(9)), -1);
  EXPECT_EQ(list.Extract(P(7)), P(7));
  EXPECT_EQ(list.Extract(P(7)), nullptr);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], P(8));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
}

struct TCounted : TObject {
  static inline int Alive = 0;
  TCounted() { ++Alive; }
  ~TCounted() override { --Alive; }
};

TEST(FastObjectList, OwningListFreesOnClearAndDestructionNotOnDelete) {
  TCounted::Alive = 0;
  TObject* deleted = nullptr;
  TObject* extracted = nullptr;
  TObject* removed = nullptr;
  {
    TdxFastObjectList list(true);
    for (int i = 0; i < 4; ++i) list.Add(new TCounted);
    deleted = list.Items(1);
    list.Delete(1);
    extracted = static_cast<TObject*>(list.Extract(list.Items(0)));
    removed = list.Items(0);
    list.Remove(removed);
    EXPECT_EQ(TCounted::Alive, 4);
    list.Clear();
    EXPECT_EQ(TCounted::Alive, 3);
    list.Add(new TCounted);
    list.Add(new TCounted);
  }
  EXPECT_EQ(TCounted::Alive, 3);
  delete deleted;
  delete extracted;
  delete removed;
  EXPECT_EQ(TCounted::Alive, 0);
}

TEST(FastObjectList, ListThatOwnsNothingFreesNothing) {
  TCounted::Alive = 0;
  TCounted a, b;
  {
    TdxFastObjectList list(false);
    list.Add(&a);
    list.Add(&b);
    list.Clear();
    list.Add(&a);
  }
  EXPECT_EQ(TCounted::Alive, 2);
}

}  // namespace
