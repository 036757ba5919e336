#include "ui/foundation/cx_components.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/class_groups.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/streams.h"
#include "platform/forms/controls.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_test_seams.h"
#include "ui/foundation/dpi_scaling.h"

namespace {

// ---- Timer ---------------------------------------------------------------------------------

class TTickCounter : public TObject {
 public:
  std::vector<std::string>* Log = nullptr;
  std::string Name;
  int Ticks = 0;
  void Tick(TObject*) {
    ++Ticks;
    if (Log) Log->push_back(Name);
  }
  TNotifyEvent Event() { return TNotifyEvent(this, &TTickCounter::Tick); }
};

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Another test may have shut the unit down.
    cx_classes_detail::StartClasses();
    rtl::testing::UseVirtualClock(true);
    rtl::testing::RunUntilIdle();
  }
  void TearDown() override {
    rtl::testing::RunUntilIdle();
    rtl::testing::UseVirtualClock(false);
  }
  // Moves the clock in 10 ms steps, running the loop after each.
  static void Run(uint32_t AMs) {
    for (uint32_t t = 0; t < AMs; t += 10) {
      rtl::testing::AdvanceClock(10);
      rtl::testing::RunUntilIdle();
    }
  }
};

TEST_F(TimerTest, NoWindowTimerUntilTheEventIsAssigned) {
  TcxTimer timer(nullptr);
  timer.SetInterval(50);
  timer.SetEnabled(false);
  timer.SetEnabled(true);
  EXPECT_FALSE(timer.TimerOn());
  TTickCounter counter;
  timer.SetOnTimer(counter.Event());
  EXPECT_TRUE(timer.TimerOn());
  Run(100);
  EXPECT_EQ(counter.Ticks, 2);
}

// Each case moves the clock 60 ms, changes a property and moves it 40 ms
// more: a restart delays the tick to 100 ms after the change.
TEST_F(TimerTest, WhichChangesRestartThePeriod) {
  const struct {
    const char* Name;
    void (*Change)(TcxTimer&, TTickCounter&);
    bool Restarts;
  } cases[] = {
      {"interval 0 is ignored", [](TcxTimer& t, TTickCounter&) { t.SetInterval(0); }, false},
      {"same interval", [](TcxTimer& t, TTickCounter&) { t.SetInterval(100); }, false},
      {"same enabled", [](TcxTimer& t, TTickCounter&) { t.SetEnabled(true); }, false},
      {"same event", [](TcxTimer& t, TTickCounter& c) { t.SetOnTimer(c.Event()); }, true},
      {"new interval", [](TcxTimer& t, TTickCounter&) { t.SetInterval(101); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTickCounter counter;
    std::unique_ptr<TcxTimer> timer(cxMakeTimer(100, true, counter.Event()));
    Run(60);
    c.Change(*timer, counter);
    EXPECT_EQ(timer->Interval(), c.Name == std::string("new interval") ? 101u : 100u);
    Run(40);
    EXPECT_EQ(counter.Ticks, c.Restarts ? 0 : 1);
    Run(70);
    EXPECT_EQ(counter.Ticks, 1);
  }
}

TEST_F(TimerTest, TwoTimersTickIndependentlyAndFreeingOneStopsOnlyIts) {
  std::vector<std::string> log;
  TTickCounter a, b;
  a.Log = b.Log = &log;
  a.Name = "a", b.Name = "b";
  std::unique_ptr<TcxTimer> ta(cxMakeTimer(100, true, a.Event()));
  auto* tb = cxMakeTimer(100, true, b.Event());
  Run(200);
  EXPECT_EQ(a.Ticks, 2);
  EXPECT_EQ(b.Ticks, 2);
  delete tb;
  Run(300);
  EXPECT_EQ(a.Ticks, 5);
  EXPECT_EQ(b.Ticks, 2);
}

TEST_F(TimerTest, TicksOverOneSecondAreExactlyTen) {
  TTickCounter counter;
  std::unique_ptr<TcxTimer> timer(cxMakeTimer(100, true, counter.Event()));
  Run(1000);
  EXPECT_EQ(counter.Ticks, 10);
}

TEST_F(TimerTest, StaleTickOfAStoppedOrFreedTimerIsDropped) {
  TTickCounter counter;
  std::unique_ptr<TcxTimer> stopped(cxMakeTimer(100, true, counter.Event()));
  auto* freed = cxMakeTimer(100, true, counter.Event());
  const HWND window = cx_classes_detail::TimerWindowHandle();
  ASSERT_NE(window, nullptr);
  const UINT_PTR stoppedId = stopped->TimerID(), freedId = freed->TimerID();
  stopped->SetEnabled(false);
  delete freed;
  PostMessage(window, WM_TIMER, stoppedId, 0);
  PostMessage(window, WM_TIMER, freedId, 0);
  rtl::testing::RunUntilIdle();
  EXPECT_EQ(counter.Ticks, 0);
}

TEST_F(TimerTest, FireTimerMayBeOverridden) {
  struct TCounting : TcxTimer {
    int Fired = 0;
    TCounting() : TcxTimer(nullptr) {}
    void FireTimer() override { ++Fired; }
  } timer;
  TTickCounter counter;
  timer.SetInterval(100);
  timer.SetOnTimer(counter.Event());
  Run(200);
  EXPECT_EQ(timer.Fired, 2);
  EXPECT_EQ(counter.Ticks, 0);
}

// ---- Object links and holder ---------------------------------------------------------------

TEST(ObjectLinks, ClearedWithTheirComponentAndTheLastFreesTheController) {
  ASSERT_FALSE(cxObjectLinkControllerExists());
  EXPECT_EQ(cxCreateObjectLink(nullptr), nullptr);
  EXPECT_FALSE(cxObjectLinkControllerExists());

  auto* target = new TcxComponent(nullptr);
  TcxComponent other(nullptr);
  TcxObjectLink* first = cxCreateObjectLink(target);
  TcxObjectLink* second = cxCreateObjectLink(target);
  TcxObjectLink* third = cxCreateObjectLink(&other);
  EXPECT_TRUE(cxObjectLinkControllerExists());
  delete target;
  EXPECT_EQ(first->Object(), nullptr);
  EXPECT_EQ(second->Object(), nullptr);
  EXPECT_EQ(third->Object(), &other);

  cxFreeObjectLink(first);
  EXPECT_EQ(first, nullptr);
  cxFreeObjectLink(second);
  EXPECT_TRUE(cxObjectLinkControllerExists());
  cxFreeObjectLink(third);
  EXPECT_FALSE(cxObjectLinkControllerExists());
  TcxObjectLink* none = nullptr;
  cxFreeObjectLink(none);

  TcxObjectLink* again = cxCreateObjectLink(&other);
  EXPECT_TRUE(cxObjectLinkControllerExists());
  EXPECT_EQ(again->Object(), &other);
  cxFreeObjectLink(again);
  EXPECT_FALSE(cxObjectLinkControllerExists());
}

TEST(ComponentHolder, ReportsChangesAndTheFreeOfItsComponent) {
  std::vector<std::string> log;
  TcxComponentHolder holder;
  holder.OnHeldComponentChanging = TNotifyEvent([&](TObject* s) {
    EXPECT_EQ(s, &holder);
    log.push_back("changing");
  });
  holder.OnHeldComponentChanged = TNotifyEvent([&](TObject*) { log.push_back("changed"); });
  auto* component = new TComponent(nullptr);
  holder.SetHeldComponent(component);
  holder.SetHeldComponent(component);
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "changed"}));
  log.clear();
  delete component;
  EXPECT_EQ(holder.HeldComponent(), nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "changed"}));
}

// ---- Components ----------------------------------------------------------------------------

class TLinkingComponent : public TcxComponent {
  RTL_CLASS(TLinkingComponent, TcxComponent)

 protected:
  void CollectFakeLinks(TList* AList) override {
    for (TComponent* c : Linked) AList->Add(c);
  }

 public:
  explicit TLinkingComponent(TComponent* AOwner) : TcxComponent(AOwner) {}
  std::vector<TComponent*> Linked;
};
RTL_IMPLEMENT_CLASS(TLinkingComponent)

TEST(CxComponent, FakeLinksFilledOnlyInADesignerAndClearedWhenTheirComponentGoes) {
  TComponent form(nullptr);
  auto* linking = new TLinkingComponent(&form);
  auto* a = new TComponent(&form);
  auto* b = new TComponent(&form);
  linking->Linked = {a, b};
  linking->RefreshFakeLinks();
  EXPECT_EQ(linking->FakeComponentLink1(), nullptr);

  form.SetDesigning(true);
  linking->RefreshFakeLinks();
  EXPECT_EQ(linking->FakeComponentLink1(), a);
  EXPECT_EQ(linking->FakeComponentLink2(), b);
  EXPECT_EQ(linking->FakeComponentLink3(), nullptr);
  linking->Linked.clear();
  delete a;
  EXPECT_EQ(linking->FakeComponentLink1(), nullptr);
}

TEST(CxComponent, JoinsTheControlClassGroupAtStartUp) {
  cx_classes_detail::StartClasses();
  EXPECT_EQ(ClassGroupOf(TLinkingComponent::StaticClass()), TControl::StaticClass());
  EXPECT_EQ(ClassGroupOf(TComponent::StaticClass()), nullptr);
}

class TScaled : public TcxScalableComponent {
  RTL_CLASS(TScaled, TcxScalableComponent)

 protected:
  void ApplyScale(Integer ANew, Integer AOld) override { Calls.push_back({ANew, AOld}); }

 public:
  explicit TScaled(TComponent* AOwner) : TcxScalableComponent(AOwner) {}
  std::vector<std::pair<Integer, Integer>> Calls;
};
RTL_IMPLEMENT_CLASS(TScaled)

AnsiString WriteToText(TComponent* ARoot) {
  TMemoryStream binary;
  TWriter writer(&binary, 4096);
  writer.WriteDescendent(ARoot, nullptr);
  writer.FlushBuffer();
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(&binary, &text);
  return text.DataString();
}

class ScalableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClass(TScaled::StaticClass());
    rtl::testing::SetDpi(120);
    cx_graphics_detail::ReadScreenPixelsPerInch();
  }
  void TearDown() override {
    rtl::testing::SetDpi(96);
    cx_graphics_detail::ReadScreenPixelsPerInch();
  }
};

TEST_F(ScalableTest, ReadAtAnotherResolutionScalesOnceAndStoresTheCurrentOne) {
  for (bool scalable : {true, false}) {
    SCOPED_TRACE(scalable ? "scalable" : "not scalable");
    TScaled scaled(nullptr);
    EXPECT_EQ(scaled.PixelsPerInch(), 120);
    scaled.SetScalable(scalable);
    TStringStream input("object Scaled: TScaled\n  PixelsPerInch = 96\nend\n");
    ReadComponentText(&input, &scaled);
    if (scalable)
      EXPECT_EQ(scaled.Calls, (std::vector<std::pair<Integer, Integer>>{{120, 96}}));
    else
      EXPECT_TRUE(scaled.Calls.empty());
    EXPECT_EQ(scaled.PixelsPerInch(), 120);
    EXPECT_NE(WriteToText(&scaled).find("PixelsPerInch = 120"), std::string::npos) << WriteToText(&scaled);
  }
}

TEST_F(ScalableTest, ReadAtTheSameResolutionScalesNothing) {
  TScaled scaled(nullptr);
  TStringStream input("object Scaled: TScaled\n  PixelsPerInch = 120\nend\n");
  ReadComponentText(&input, &scaled);
  EXPECT_TRUE(scaled.Calls.empty());
}

// ---- Small functions -----------------------------------------------------------------------

TEST(SmallFunctions, RangeCenterRoundsTowardMinusInfinity) {
  const struct {
    Integer A, B, Center;
  } cases[] = {{-3, 0, -2}, {3, 0, 1}, {-4, 0, -2}, {2, 4, 3}, {-1, 0, -1}, {0, 0, 0}, {2147483647, 2147483647, 2147483647}};
  for (const auto& c : cases) EXPECT_EQ(cxRangeCenter(c.A, c.B), c.Center) << c.A << ", " << c.B;
}

TEST(SmallFunctions, CharLengthAtGivesTheUtf8SequenceLength) {
  const AnsiString text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a, e acute, euro, emoji
  const struct {
    Integer Position, Length;
  } cases[] = {{1, 1}, {2, 2}, {4, 3}, {7, 4}, {3, 1}, {0, 0}, {11, 0}};
  for (const auto& c : cases) EXPECT_EQ(cxCharLengthAt(text, c.Position), c.Length) << c.Position;
  // A lead byte without its trail bytes counts as one byte.
  EXPECT_EQ(cxCharLengthAt("\xE2\x82", 1), 1);
  EXPECT_EQ(cxCharLengthAt("\xE2x\xAC", 1), 1);
}

TEST(SmallFunctions, MethodsEqualNeedsTheSameCodeAndObject) {
  TTickCounter a, b;
  EXPECT_TRUE(cxMethodsEqual(a.Event(), a.Event()));
  EXPECT_FALSE(cxMethodsEqual(a.Event(), b.Event()));
  EXPECT_FALSE(cxMethodsEqual(a.Event(), TNotifyEvent()));
  int calls = 0;
  cxCallNotifyEvent(TNotifyEvent(), nullptr);
  cxCallNotifyEvent(TNotifyEvent([&](TObject* s) { calls += s == &a; }), &a);
  EXPECT_EQ(calls, 1);
}

TEST(SmallFunctions, WindowClassName) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &DefWindowProcA;
  wc.lpszClassName = "cxClassNameProbe";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, "cxClassNameProbe", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(cxGetWindowClassName(window), "cxClassNameProbe");
  DestroyWindow(window);
  EXPECT_EQ(cxGetWindowClassName(nullptr), "");
}

}  // namespace

namespace {

TEST_F(TimerTest, AfterTheUnitsShutDownTimersSetNothing) {
  TTickCounter counter;
  std::unique_ptr<TcxTimer> running(cxMakeTimer(100, true, counter.Event()));
  cx_classes_detail::StopClasses();
  EXPECT_EQ(cx_classes_detail::TimerWindowHandle(), nullptr);
  running->SetEnabled(false);
  EXPECT_FALSE(running->TimerOn());
  std::unique_ptr<TcxTimer> late(cxMakeTimer(100, true, counter.Event()));
  EXPECT_FALSE(late->TimerOn());
  EXPECT_EQ(cx_classes_detail::TimerWindowHandle(), nullptr);
  cx_classes_detail::StartClasses();
  late->SetOnTimer(counter.Event());
  EXPECT_TRUE(late->TimerOn());
  Run(100);
  EXPECT_EQ(counter.Ticks, 1);
}

}  // namespace
