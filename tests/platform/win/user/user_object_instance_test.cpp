// Object instances: window procedures bound to a method, called directly,
// through CallWindowProc, under a subclass chain, freed while they run,
// and many at once from several threads.
#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/user_object_instance.h"
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;

class ObjectInstanceTest : public TUserTest {};

// Sets its flag when the last copy of the method holding it goes.
struct TLifeMark {
  std::shared_ptr<bool> Gone = std::make_shared<bool>(false);
  struct TMark {
    std::shared_ptr<bool> Gone;
    explicit TMark(std::shared_ptr<bool> G) : Gone(std::move(G)) {}
    ~TMark() { *Gone = true; }
  };
  std::shared_ptr<TMark> Make() const { return std::make_shared<TMark>(Gone); }
};

TEST_F(ObjectInstanceTest, AMethodThatFreesItsInstanceRunsToItsEndOnLiveState) {
  // Each way of ending the instance's life from inside its own call.
  enum TEnd { ByFree, ByFreeAndReuse, ByRestoreFreeAndDestroy };
  for (TEnd end : {ByFree, ByFreeAndReuse, ByRestoreFreeAndDestroy}) {
    SCOPED_TRACE(static_cast<int>(end));
    HWND h = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
    auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWL_WNDPROC));
    TLifeMark life;
    WNDPROC inst = nullptr;
    WNDPROC reused = nullptr;
    bool aliveAfterFree = false;
    std::string seen;
    inst = MakeObjectInstance([&, mark = life.Make(), text = std::string(200, 'x')](TMessage& m) {
      if (m.Msg != WM_USER) {
        m.Result = CallWindowProcA(old, h, m.Msg, m.WParam, m.LParam);
        return;
      }
      if (end == ByRestoreFreeAndDestroy) SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(old));
      FreeObjectInstance(inst);
      // A new instance may take the freed slot at once; this call still
      // runs the method it began with.
      if (end == ByFreeAndReuse) reused = MakeObjectInstance([](TMessage& r) { r.Result = -1; });
      if (end == ByRestoreFreeAndDestroy) DestroyWindow(h);
      aliveAfterFree = !*mark->Gone;
      seen = text;
      m.Result = 7;
    });
    SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(inst));
    EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 7);
    EXPECT_TRUE(aliveAfterFree);
    EXPECT_EQ(seen, std::string(200, 'x'));
    // Once the call returns the method is released.
    EXPECT_TRUE(*life.Gone);
    if (reused) {
      EXPECT_EQ(CallWindowProcA(reused, h, WM_USER, 0, 0), -1);
      FreeObjectInstance(reused);
    }
    if (IsWindow(h)) DestroyWindow(h);
  }
}

TEST_F(ObjectInstanceTest, AFreedInstanceStillInstalledAnswersAsAPlainWindow) {
  int calls = 0;
  HWND h = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  WNDPROC inst = MakeObjectInstance([&](TMessage& m) {
    ++calls;
    m.Result = 5;
  });
  SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(inst));
  EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 5);
  FreeObjectInstance(inst);
  FreeObjectInstance(inst);  // twice is harmless
  EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 0);
  EXPECT_EQ(calls, 1);
  // Freeing a procedure that is no instance does nothing to it.
  FreeObjectInstance(&DefWindowProcA);
  EXPECT_EQ(SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("kept")), TRUE);
}

LRESULT Outermost(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR trail) {
  if (m == WM_USER) *reinterpret_cast<std::string*>(trail) += "s";
  return DefSubclassProc(h, m, w, l);
}

TEST_F(ObjectInstanceTest, InstancesChainThroughCallWindowProcAndASubclass) {
  // Window procedure <- instance A <- instance B (both by SetWindowLongPtr,
  // each passing on through CallWindowProc) <- a subclass on top.
  std::string trail;
  HWND h = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  auto base = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWL_WNDPROC));
  WNDPROC prevA = nullptr, prevB = nullptr;
  WNDPROC a = MakeObjectInstance([&](TMessage& m) {
    if (m.Msg == WM_USER) trail += "a";
    m.Result = CallWindowProcA(prevA, h, m.Msg, m.WParam, m.LParam) + (m.Msg == WM_USER ? 1 : 0);
  });
  WNDPROC b = MakeObjectInstance([&](TMessage& m) {
    if (m.Msg == WM_USER) trail += "b";
    m.Result = CallWindowProcA(prevB, h, m.Msg, m.WParam, m.LParam) + (m.Msg == WM_USER ? 10 : 0);
  });
  ASSERT_NE(a, b);
  prevA = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(a)));
  prevB = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(b)));
  EXPECT_EQ(prevA, base);
  EXPECT_EQ(prevB, a);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWL_WNDPROC)), b);
  ASSERT_TRUE(SetWindowSubclass(h, Outermost, 1, reinterpret_cast<DWORD_PTR>(&trail)));

  Log.Clear();
  EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 11);
  EXPECT_EQ(trail, "sba");
  EXPECT_EQ(Log.Count(WM_USER, h), 1);  // the class procedure got it last
  // Called straight through CallWindowProc, an instance skips what is above it.
  trail.clear();
  EXPECT_EQ(CallWindowProcA(a, h, WM_USER, 0, 0), 1);
  EXPECT_EQ(trail, "a");

  // Unwinding in any order leaves the window working.
  RemoveWindowSubclass(h, Outermost, 1);
  SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(prevB));
  FreeObjectInstance(b);
  trail.clear();
  EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 1);
  EXPECT_EQ(trail, "a");
  SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(base));
  FreeObjectInstance(a);
  DestroyWindow(h);
}

TEST_F(ObjectInstanceTest, ManyInstancesAliveAtOnceEachCallTheirOwnMethod) {
  // More than a fixed pool of 4,096 would hold.
  constexpr int kCount = 10000;
  std::vector<WNDPROC> procs;
  procs.reserve(kCount);
  for (int i = 0; i < kCount; ++i)
    procs.push_back(MakeObjectInstance([i](TMessage& m) { m.Result = i * 3 + static_cast<LRESULT>(m.WParam); }));
  std::vector<WNDPROC> sorted = procs;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "two instances share a procedure";
  int wrong = 0;
  for (int i = 0; i < kCount; ++i) {
    if (procs[i](nullptr, WM_USER, 1, 0) != i * 3 + 1) ++wrong;
    if (CallWindowProcA(procs[i], nullptr, WM_USER, 2, 0) != i * 3 + 2) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  // Freed ones are given out again before the pool grows.
  for (int i = 0; i < kCount; i += 2) FreeObjectInstance(procs[i]);
  for (int i = 0; i < kCount; i += 2) {
    procs[i] = MakeObjectInstance([i](TMessage& m) { m.Result = -i; });
    if (!std::binary_search(sorted.begin(), sorted.end(), procs[i])) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  for (int i = 0; i < kCount; ++i)
    if (procs[i](nullptr, WM_USER, 0, 0) != (i % 2 ? i * 3 : -i)) ++wrong;
  EXPECT_EQ(wrong, 0);
  for (WNDPROC p : procs) FreeObjectInstance(p);
}

TEST_F(ObjectInstanceTest, ThreadsMakeCallAndFreeInstancesTogether) {
  constexpr int kThreads = 4, kRounds = 3000;
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t, &wrong] {
      for (int r = 0; r < kRounds; ++r) {
        const LRESULT want = t * 100000 + r;
        WNDPROC p = MakeObjectInstance([want](TMessage& m) { m.Result = want; });
        if (CallWindowProcA(p, nullptr, WM_USER, 0, 0) != want) ++wrong;
        FreeObjectInstance(p);
      }
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST_F(ObjectInstanceTest, AnExceptionFromTheMethodReachesTheCaller) {
  WNDPROC inst = MakeObjectInstance([](TMessage&) { throw EInvalidOperation("from the method"); });
  HWND h = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  auto old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(inst)));
  EXPECT_THROW(SendMessageA(h, WM_USER, 0, 0), EInvalidOperation);
  EXPECT_THROW(inst(h, WM_USER, 0, 0), EInvalidOperation);
  SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(old));
  FreeObjectInstance(inst);
  DestroyWindow(h);
}

}  // namespace
