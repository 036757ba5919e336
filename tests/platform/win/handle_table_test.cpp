// Handles of every kind: a destroyed object's handle stays dead however
// often its slot is reused, and no handle of one kind names an object of
// another.
#include <functional>
#include <unordered_set>
#include <vector>

#include "platform/win/kernel/handle_table.h"
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;
using rtl::detail::THandleKind;
using rtl::detail::THandleTable;

class HandleTableTest : public TUserTest {};

// A table whose slots run out of generations after three uses.
using TTinyTable = THandleTable<int, rtl::detail::TNoHandleInfo, 2>;

TEST(HandleTable, FreedSlotsComeBackOldestFirst) {
  TTinyTable t(THandleKind::Gdi);
  std::vector<uintptr_t> h;
  for (int i = 0; i < 3; ++i) h.push_back(t.Add(std::make_shared<int>(i)));
  // Freed in the order 1, 0, 2: new objects take the slots in that order,
  // each under a new value.
  for (int i : {1, 0, 2}) t.Remove(h[size_t(i)]);
  std::vector<uintptr_t> again;
  for (int i = 0; i < 3; ++i) again.push_back(t.Add(std::make_shared<int>(10 + i)));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(t.Get(h[size_t(i)]), nullptr);
    EXPECT_EQ(*t.Get(again[size_t(i)]), 10 + i);
  }
  // Same slots, newer generations: only the generation bits differ.
  const uintptr_t slotBits = (uintptr_t{1} << 22) - 1;
  EXPECT_EQ(again[0] & slotBits, h[1] & slotBits);
  EXPECT_EQ(again[1] & slotBits, h[0] & slotBits);
  EXPECT_EQ(again[2] & slotBits, h[2] & slotBits);
}

TEST(HandleTable, ASlotOutOfGenerationsRetiresInsteadOfWrapping) {
  TTinyTable t(THandleKind::Gdi);
  std::unordered_set<uintptr_t> seen;
  for (int i = 0; i < 20; ++i) {
    uintptr_t h = t.Add(std::make_shared<int>(i));
    ASSERT_NE(h, 0u);
    EXPECT_TRUE(seen.insert(h).second) << "value handed out twice at " << i;
    t.Remove(h);
  }
  for (uintptr_t h : seen) EXPECT_EQ(t.Get(h), nullptr);
}

TEST(HandleTable, ALookupKeepsTheObjectPastItsRemoval) {
  THandleTable<int> t(THandleKind::Gdi);
  uintptr_t h = t.Add(std::make_shared<int>(7));
  std::shared_ptr<int> held = t.Get(h);
  t.Remove(h);
  EXPECT_EQ(t.Get(h), nullptr);
  EXPECT_EQ(*held, 7);
}

// One kind of handle: how to make one, free it, and what a stale one must
// answer.
struct THandleKindCase {
  const char* Name;
  std::function<void*()> Create;
  std::function<void(void*)> Destroy;
  std::function<void(void*)> ExpectDead;
};

const std::vector<THandleKindCase>& KindCases() {
  static const std::vector<THandleKindCase> cases = {
      {"window",
       [] {
         return static_cast<void*>(CreateWindowExA(0, "Static", "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr,
                                                   nullptr));
       },
       [](void* h) { ASSERT_TRUE(DestroyWindow(static_cast<HWND>(h))); },
       [](void* h) { ASSERT_FALSE(IsWindow(static_cast<HWND>(h))) << h; }},
      {"GDI object", [] { return static_cast<void*>(CreateSolidBrush(RGB(1, 2, 3))); },
       [](void* h) { ASSERT_TRUE(DeleteObject(h)); },
       [](void* h) {
         ASSERT_EQ(GetObjectType(h), 0u) << h;
         ASSERT_FALSE(DeleteObject(h)) << h;
       }},
      {"event", [] { return static_cast<void*>(CreateEventA(nullptr, TRUE, FALSE, nullptr)); },
       [](void* h) { ASSERT_TRUE(CloseHandle(h)); },
       [](void* h) {
         SetLastError(0);
         ASSERT_FALSE(SetEvent(h)) << h;
         ASSERT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
       }},
  };
  return cases;
}

TEST_F(HandleTableTest, StaleHandlesStayDeadThroughManyReuses) {
  // Far past where a narrow generation would have wrapped.
  constexpr int kCycles = 100000;
  for (const THandleKindCase& k : KindCases()) {
    SCOPED_TRACE(k.Name);
    std::vector<void*> dead;
    dead.reserve(kCycles);
    std::unordered_set<void*> seen;
    for (int i = 0; i < kCycles; ++i) {
      void* h = k.Create();
      ASSERT_NE(h, nullptr);
      ASSERT_TRUE(seen.insert(h).second) << "handle value came back after " << i << " reuses";
      k.Destroy(h);
      dead.push_back(h);
    }
    for (void* h : dead) k.ExpectDead(h);
  }
}

TEST_F(HandleTableTest, NoHandleNamesAnObjectOfAnotherKind) {
  std::vector<void*> live;
  for (const THandleKindCase& k : KindCases()) live.push_back(k.Create());
  HWND wnd = static_cast<HWND>(live[0]);
  HGDIOBJ brush = live[1];
  HANDLE event = live[2];
  EXPECT_EQ(GetObjectType(wnd), 0u);
  EXPECT_EQ(GetObjectType(event), 0u);
  EXPECT_FALSE(IsWindow(static_cast<HWND>(brush)));
  EXPECT_FALSE(IsWindow(static_cast<HWND>(event)));
  EXPECT_FALSE(SetEvent(brush));
  EXPECT_FALSE(CloseHandle(wnd));
  EXPECT_FALSE(CloseHandle(brush));
  for (size_t i = 0; i < live.size(); ++i) KindCases()[i].Destroy(live[i]);
}

}  // namespace
