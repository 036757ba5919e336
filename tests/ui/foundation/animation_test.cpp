// Transitions on the virtual clock: positions, events, the controller's
// timer (running only while a transition does), bad input, curves, and the
// frames image transitions draw.
#include "ui/foundation/animation.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/graphics.h"
#include "platform/rtl/mathutils.h"
#include "platform/testing/user_testing.h"
#include "platform/win/user/user_test_seams.h"
#include "tests/common/dib_canvas.h"
#include "tests/common/hang_guard.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/cx_components.h"
#include "ui/foundation/gdiplus_binding.h"
#include "ui/foundation/gdiplus_canvas.h"
#include "ui/foundation/gdiplus_images.h"
#include "ui/foundation/graphics_unit.h"

namespace {

struct TStep {
  Integer Position;
  bool Finished;
};

// What a transition reported, kept outside it: it frees itself.
struct TRecorder {
  std::vector<TStep> Steps;
  std::vector<std::string> Log;
  int FinishedCount = 0;

  void Attach(TdxAnimationTransition* T, const std::string& AName = "") {
    T->OnStep = [this, AName](TdxAnimationTransition*, Integer& P, bool& F) {
      Steps.push_back({P, F});
      if (!AName.empty()) Log.push_back(AName + " step " + std::to_string(P));
    };
    T->OnFinished = [this, AName](TObject*) {
      ++FinishedCount;
      if (!AName.empty()) Log.push_back(AName + " finished");
    };
  }
};

class AnimationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cx_classes_detail::StartClasses();
    dx_animation_detail::StartAnimation();
    rtl::testing::UseVirtualClock(true);
    rtl::testing::RunUntilIdle();
  }
  void TearDown() override {
    dx_animation_detail::StopAnimation();
    rtl::testing::RunUntilIdle();
    rtl::testing::UseVirtualClock(false);
  }
  // Moves the clock in 10 ms steps (the timer's real rate), running the
  // loop after each.
  static void Run(uint32_t AMs) {
    for (uint32_t t = 0; t < AMs; t += 10) {
      rtl::testing::AdvanceClock(10);
      rtl::testing::RunUntilIdle();
    }
  }
  static TdxAnimationController* Controller() { return dxAnimationControllerInstance(); }
  // No transition left and no timer message to come.
  static void ExpectIdle() {
    EXPECT_EQ(Controller()->ActiveCount(), 0);
    EXPECT_FALSE(Controller()->Timer()->TimerOn());
    rtl::testing::AdvanceClock(50);
    EXPECT_EQ(rtl::testing::RunUntilIdle(), 0) << "nothing is due while nothing runs";
  }
};

TEST_F(AnimationTest, LinearRisesWithTimeAndFinishesOnce) {
  TRecorder rec;
  auto* t = new TdxAnimationTransition(500, 130, ateLinear);
  rec.Attach(t);
  EXPECT_FALSE(Controller()->Timer()->TimerOn()) << "a locked transition needs no timer";
  t->Unlock();
  EXPECT_TRUE(Controller()->Timer()->TimerOn());
  Run(600);
  ASSERT_EQ(rec.Steps.size(), 50u);
  for (size_t i = 0; i < rec.Steps.size(); ++i) {
    // Exactly the curve at each 10 ms of the counter.
    EXPECT_EQ(rec.Steps[i].Position, static_cast<Integer>(130 * (i + 1) * 10 / 500)) << i;
    EXPECT_EQ(rec.Steps[i].Finished, i + 1 == rec.Steps.size()) << i;
  }
  EXPECT_EQ(rec.Steps.back().Position, 130);
  EXPECT_EQ(rec.FinishedCount, 1);
  EXPECT_EQ(Controller()->TransitionCount(), 0) << "freed itself";
  ExpectIdle();
}

TEST_F(AnimationTest, FinishedInBeforeStepJumpsToTheEndAndFreesAtTheEndOfThatTick) {
  TRecorder rec;
  std::vector<TStep> before;
  auto* t = new TdxAnimationTransition(500, 130);
  rec.Attach(t);
  t->OnBeforeStep = [&](TdxAnimationTransition*, Integer& P, bool& F) {
    before.push_back({P, F});
    F = true;
  };
  t->Unlock();
  Run(10);
  // The early step saw 2; the jump then played the end once.
  ASSERT_EQ(before.size(), 2u);
  EXPECT_EQ(before[0].Position, 2);
  EXPECT_FALSE(before[0].Finished);
  EXPECT_EQ(before[1].Position, 130);
  EXPECT_TRUE(before[1].Finished);
  ASSERT_EQ(rec.Steps.size(), 1u);
  EXPECT_EQ(rec.Steps[0].Position, 130);
  EXPECT_TRUE(rec.Steps[0].Finished);
  EXPECT_EQ(rec.FinishedCount, 1) << "OnFinished once, not once per step round";
  EXPECT_EQ(Controller()->TransitionCount(), 0);
  ExpectIdle();
}

class TExclusiveTransition : public TdxAnimationTransition {
 public:
  using TdxAnimationTransition::TdxAnimationTransition;
  bool CanRunWith(TdxAnimationTransition*) override { return false; }
};

TEST_F(AnimationTest, ANewTransitionFinishesARunningOneThatCannotRunWithIt) {
  TRecorder recA, recB;
  auto* a = new TExclusiveTransition(500, 130);
  recA.Attach(a, "A");
  Integer registeredWhenAEnded = -1;
  a->OnFinished = [&](TObject*) {
    ++recA.FinishedCount;
    registeredWhenAEnded = Controller()->TransitionCount();
  };
  a->Unlock();
  Run(100);
  ASSERT_EQ(recA.Steps.back().Position, 26);
  auto* b = new TdxAnimationTransition(500, 50);
  recB.Attach(b, "B");
  EXPECT_EQ(recA.Steps.back().Position, 130);
  EXPECT_TRUE(recA.Steps.back().Finished);
  EXPECT_EQ(recA.FinishedCount, 1);
  EXPECT_EQ(registeredWhenAEnded, 1) << "A ended before B was registered";
  b->Unlock();
  Run(10);
  EXPECT_EQ(Controller()->TransitionCount(), 1) << "A freed itself at the next tick";
  EXPECT_EQ(recA.FinishedCount, 1);
  Run(500);
  EXPECT_EQ(recB.Steps.back().Position, 50);
  EXPECT_EQ(recB.FinishedCount, 1);
  ExpectIdle();
}

TEST_F(AnimationTest, ALockedTransitionNeverMovesButRunToEndPlaysIt) {
  HangGuard guard(20);
  TRecorder rec;
  auto* t = new TdxAnimationTransition(500, 130);
  rec.Attach(t);
  Run(300);
  EXPECT_TRUE(rec.Steps.empty());
  EXPECT_EQ(t->Position(), 0);
  EXPECT_TRUE(t->IsLocked());
  // The synchronous loop moves only with the clock: each step lets 50 ms pass.
  t->OnAfterStep = [](TdxAnimationTransition*, Integer&, bool&) { rtl::testing::AdvanceClock(50); };
  t->RunToEnd();
  ASSERT_EQ(rec.Steps.size(), 11u);
  EXPECT_EQ(rec.Steps.front().Position, 0);
  EXPECT_EQ(rec.Steps[5].Position, 65);
  EXPECT_EQ(rec.Steps.back().Position, 130);
  EXPECT_EQ(rec.FinishedCount, 1);
  EXPECT_EQ(Controller()->TransitionCount(), 0) << "freed when finished";
  ExpectIdle();
}

TEST_F(AnimationTest, LockingPausesAndUnlockingResumesWhereItWas) {
  TRecorder rec;
  auto* t = new TdxAnimationTransition(1000, 100);
  rec.Attach(t);
  t->Unlock();
  Run(300);
  EXPECT_EQ(t->Position(), 30);
  t->Lock();
  EXPECT_FALSE(Controller()->Timer()->TimerOn()) << "nothing runs while it is paused";
  Run(500);
  EXPECT_EQ(t->Position(), 30);
  t->Unlock();
  Run(200);
  EXPECT_EQ(t->Position(), 50) << "the paused time does not count";
  Run(500);
  EXPECT_EQ(rec.FinishedCount, 1);
  ExpectIdle();
}

// Every way a running transition ends leaves the timer off.
TEST_F(AnimationTest, TheTimerStopsWhenTheLastRunningTransitionEnds) {
  struct TCase {
    const char* Name;
    void (*End)(TdxAnimationTransition*&);
  };
  const TCase cases[] = {
      {"played to its end",
       [](TdxAnimationTransition*& T) {
         T = nullptr;
         Run(600);
       }},
      {"finished by its owner",
       [](TdxAnimationTransition*& T) {
         T->SetFinished(true);
         T = nullptr;
         Run(10);
       }},
      {"freed by its owner",
       [](TdxAnimationTransition*& T) {
         delete T;
         T = nullptr;
       }},
      {"kept when finished, then freed",
       [](TdxAnimationTransition*& T) {
         T->SetFreeWhenFinished(false);
         Run(600);
         EXPECT_TRUE(T->IsFinished());
         EXPECT_FALSE(Controller()->Timer()->TimerOn());
         delete T;
         T = nullptr;
       }},
      {"freed by its own step handler",
       [](TdxAnimationTransition*& T) {
         T->OnStep = [](TdxAnimationTransition* S, Integer& P, bool&) {
           if (P >= 10) delete S;
         };
         T = nullptr;
         Run(100);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* other = new TdxAnimationTransition(300, 30);
    other->Unlock();
    TdxAnimationTransition* t = new TdxAnimationTransition(500, 130);
    t->Unlock();
    EXPECT_EQ(Controller()->ActiveCount(), 2);
    c.End(t);
    Run(300);
    EXPECT_EQ(Controller()->TransitionCount(), 0);
    ExpectIdle();
  }
}

TEST_F(AnimationTest, ClearingFinishedReplaysFromTheBeginning) {
  TRecorder rec;
  auto* t = new TdxAnimationTransition(100, 10);
  t->SetFreeWhenFinished(false);
  rec.Attach(t);
  t->Unlock();
  Run(200);
  EXPECT_TRUE(t->IsFinished());
  EXPECT_FALSE(Controller()->Timer()->TimerOn());
  t->SetFinished(false);
  EXPECT_EQ(t->Position(), 0);
  EXPECT_TRUE(Controller()->Timer()->TimerOn());
  Run(200);
  EXPECT_EQ(t->Position(), 10);
  EXPECT_EQ(rec.FinishedCount, 2);
  delete t;
  ExpectIdle();
}

// Bad timing input ends the transition at its first step, with the end
// position and one OnFinished.
TEST_F(AnimationTest, BadInputEndsTheTransitionAtItsFirstStep) {
  struct TCase {
    Integer Time, Length;
    TdxAnimationTransitionEffect Effect;
    Integer EndPosition;
    int Steps;
  };
  const TCase cases[] = {
      {0, 50, ateLinear, 50, 1},
      {-40, 50, ateLinear, 50, 1},
      {300, 0, ateLinear, 0, 1},
      {300, -7, ateSexticEaseOut, 0, 1},
      // An unknown effect runs as linear.
      {100, 50, static_cast<TdxAnimationTransitionEffect>(200), 50, 10},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Time << " ms, length " << c.Length);
    TRecorder rec;
    auto* t = new TdxAnimationTransition(c.Time, c.Length, c.Effect);
    rec.Attach(t);
    t->Unlock();
    Run(200);
    ASSERT_EQ(static_cast<int>(rec.Steps.size()), c.Steps);
    EXPECT_EQ(rec.Steps.back().Position, c.EndPosition);
    EXPECT_TRUE(rec.Steps.back().Finished);
    EXPECT_EQ(rec.FinishedCount, 1);
    EXPECT_EQ(Controller()->TransitionCount(), 0);
    ExpectIdle();
  }
}

TEST(AnimationCurves, ValuesAtStartMiddleAndEnd) {
  struct TCase {
    TdxAnimationTransitionEffect Effect;
    Integer AtStart, AtHalf, AtEnd;
  };
  // Length 100: (1 - 1/64) x 100 = 98.4; cbrt(970300 / 2 - 1) + 1.5 = 80.1;
  // the S-curve is symmetric.
  const TCase cases[] = {
      {ateLinear, 0, 50, 100},
      {ateSexticEaseOut, 0, 98, 100},
      {ateCubeRootEaseOut, 0, 80, 100},
      {ateTanhSCurve, 0, 50, 100},
      {static_cast<TdxAnimationTransitionEffect>(9), 0, 50, 100},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Effect));
    EXPECT_EQ(dxAnimationCurvePosition(c.Effect, 100, 0, 1000), c.AtStart);
    EXPECT_EQ(dxAnimationCurvePosition(c.Effect, 100, 500, 1000), c.AtHalf);
    EXPECT_EQ(dxAnimationCurvePosition(c.Effect, 100, 1000, 1000), c.AtEnd);
  }
  // A quarter in, the ease-outs lead and the S-curve lags.
  EXPECT_EQ(dxAnimationCurvePosition(ateLinear, 100, 250, 1000), 25);
  EXPECT_EQ(dxAnimationCurvePosition(ateSexticEaseOut, 100, 250, 1000), 82);
  EXPECT_EQ(dxAnimationCurvePosition(ateTanhSCurve, 100, 250, 1000), 5);
  EXPECT_EQ(dxAnimationCurvePosition(ateCubeRootEaseOut, 100, 250, 1000), 63);
}

TEST(AnimationClock, TicksFollowTheVirtualClock) {
  rtl::testing::UseVirtualClock(true);
  const Int64 before = dxPreciseTickCount();
  rtl::testing::AdvanceClock(250);
  EXPECT_EQ(dxPreciseTickCount() - before, dxMillisecondsToTicks(250));
  EXPECT_EQ(dxMillisecondsToTicks(250), 2500000);
  rtl::testing::UseVirtualClock(false);
  EXPECT_EQ(dxScaleInt64(130, 3, 4), 97);
  EXPECT_EQ(dxScaleInt64(-7, 1, 2), -3) << "truncated toward zero";
  EXPECT_EQ(dxScaleInt64(5, 5, 0), 0);
  // Past 64 bits in the product: still exact.
  EXPECT_EQ(dxScaleInt64(Int64{1} << 40, Int64{1} << 40, Int64{1} << 50), Int64{1} << 30);
}

// ---- Image transitions ----------------------------------------------------------------

constexpr uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

// A 32-bit bitmap filled with one opaque colour (0xAARRGGBB).
std::unique_ptr<TcxBitmap32> Solid(int W, int H, uint32_t AColor) {
  auto b = std::make_unique<TcxBitmap32>(W, H, true);
  TRGBColors px(static_cast<size_t>(W * H));
  for (RGBQUAD& q : px)
    q = {static_cast<BYTE>(AColor), static_cast<BYTE>(AColor >> 8), static_cast<BYTE>(AColor >> 16),
         static_cast<BYTE>(AColor >> 24)};
  b->SetPixels(px);
  return b;
}

class ImageTransitionTest : public AnimationTest {
 protected:
  void SetUp() override {
    AnimationTest::SetUp();
    // Earlier tests may have shut these units down.
    cx_graphics_detail::StartGraphics();
    ASSERT_TRUE(dxGpCheckAvailable(false));
    // What the images unit's start-up does.
    dxGpPrepareEncoders();
    dx_gdiplus_detail::ResetSharedCanvasObjects();
  }
  void TearDown() override {
    cx_graphics_detail::StopGraphics();
    AnimationTest::TearDown();
  }
  // Draws the transition's frame onto a black 32-bit surface.
  static void DrawInto(TdxImageAnimationTransition* T, TDibCanvas& ADC) {
    TCanvas canvas;
    canvas.SetHandle(ADC.dc);
    TcxCanvas cx(&canvas);
    T->Draw(&cx, TRect(0, 0, ADC.width, ADC.height));
    canvas.SetHandle(nullptr);
  }
};

TEST_F(ImageTransitionTest, FadeAtFortyDrawsTheFinishImageAtAlpha102) {
  auto start = Solid(20, 10, kRed), finish = Solid(20, 10, kBlue);
  auto* t = new TdxImageAnimationTransition(start.get(), finish.get(), iamFade, 1000);
  t->Unlock();
  Run(400);
  ASSERT_EQ(t->Position(), 40);
  TDibCanvas dc(20, 10, 0xFF000000u);
  DrawInto(t, dc);
  for (auto [x, y] : {std::pair{0, 0}, std::pair{10, 5}, std::pair{19, 9}}) {
    const uint32_t p = dc.At(x, y);
    EXPECT_NEAR(static_cast<int>(p & 0xFF), 102, 1) << x << "," << y;
    EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 153, 1) << x << "," << y;
    EXPECT_EQ(p & 0xFF00u, 0u);
  }
  delete t;
  ExpectIdle();
}

TEST_F(ImageTransitionTest, LengthsByMode) {
  struct TCase {
    TdxImageAnimationMode Mode;
    Integer Passed, Expected;
  };
  const TCase cases[] = {
      {iamSlideLeft, -1, 30}, {iamSlideRight, -1, 30},      {iamSlideUp, -1, 12},
      {iamSlideDown, -1, 12}, {iamSlideUp, 4, 4},           {iamFade, -1, 100},
      {iamFade, 7, 100},      {iamSegmentedFade, 250, 100}, {iamRandomSegmentedFade, -1, 100},
  };
  auto start = Solid(30, 12, kRed), finish = Solid(30, 12, kBlue);
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << int(c.Mode) << " passed " << c.Passed);
    TdxImageAnimationTransition t(start.get(), finish.get(), c.Mode, 300, c.Passed);
    EXPECT_EQ(t.Length(), c.Expected);
  }
}

TEST_F(ImageTransitionTest, SlidesPlaceBothImages) {
  struct TCase {
    TdxImageAnimationMode Mode;
    Integer Time;  // 200 ms of it pass
    // A pixel that shows the finish image and one that still shows the start.
    int FinishX, FinishY, StartX, StartY;
  };
  // 20 x 10 images; linear, so the position after 200 ms is length x 200 / time.
  const TCase cases[] = {
      {iamSlideLeft, 800, 15, 5, 14, 5},  // p 5: finish from x 15
      {iamSlideRight, 800, 4, 5, 5, 5},   // p 5: finish up to x 4
      {iamSlideUp, 500, 10, 6, 10, 5},    // p 4: finish from y 6
      {iamSlideDown, 500, 10, 3, 10, 4},  // p 4: finish up to y 3
  };
  auto start = Solid(20, 10, kRed), finish = Solid(20, 10, kBlue);
  for (const TCase& c : cases) {
    SCOPED_TRACE(int(c.Mode));
    auto* t = new TdxImageAnimationTransition(start.get(), finish.get(), c.Mode, c.Time);
    t->Unlock();
    Run(200);
    TDibCanvas dc(20, 10, 0xFF000000u);
    DrawInto(t, dc);
    EXPECT_EQ(dc.At(c.FinishX, c.FinishY), kBlue);
    EXPECT_EQ(dc.At(c.StartX, c.StartY), kRed);
    delete t;
  }
  ExpectIdle();
}

TEST_F(ImageTransitionTest, SegmentsOfAHundredByThirtyFrame) {
  TdxAnimationInfoSegments s(TRect(0, 0, 100, 30), false);
  EXPECT_EQ(s.ColumnCount, 10);
  EXPECT_EQ(s.RowCount, 10);
  EXPECT_EQ(s.Duration, 10);
  EXPECT_EQ(s.SourceRects[0][0], TRect(0, 0, 10, 3));
  EXPECT_EQ(s.SourceRects[9][9], TRect(90, 27, 100, 30));
  EXPECT_EQ(s.StartDelays[0][0], 9);
  EXPECT_EQ(s.StartDelays[9][9], 90);
  EXPECT_EQ(s.StartDelays[0][9], s.StartDelays[9][0]) << "a diagonal sweep";
  // A frame that does not divide evenly: the last column is cut at the edge.
  TdxAnimationInfoSegments odd(TRect(5, 7, 50, 19), false);
  EXPECT_EQ(odd.ColumnCount, 12);
  EXPECT_EQ(odd.RowCount, 12);
  EXPECT_EQ(odd.SourceRects[0][11], TRect(44, 0, 45, 1));
  EXPECT_EQ(odd.DestRects[0][11], TRect(49, 7, 50, 8));
  odd.MoveTo(0, 0);
  EXPECT_EQ(odd.DestRects[0][11], TRect(44, 0, 45, 1));

  // Random delays stay within 0 .. 100 - duration and follow the seed.
  RandSeed = 1234;
  TdxAnimationInfoSegments r1(TRect(0, 0, 100, 30), true);
  RandSeed = 1234;
  TdxAnimationInfoSegments r2(TRect(0, 0, 100, 30), true);
  EXPECT_EQ(r1.StartDelays, r2.StartDelays);
  EXPECT_NE(r1.StartDelays, s.StartDelays);
  for (const auto& row : r1.StartDelays)
    for (Integer d : row) {
      EXPECT_GE(d, 0);
      EXPECT_LE(d, 90);
    }
}

TEST_F(ImageTransitionTest, SegmentedFadeSweepsFromTheTopLeft) {
  auto start = Solid(100, 30, kRed), finish = Solid(100, 30, kBlue);
  auto* t = new TdxImageAnimationTransition(start.get(), finish.get(), iamSegmentedFade, 1000);
  t->Unlock();
  Run(500);
  ASSERT_EQ(t->Position(), 50);
  TDibCanvas dc(100, 30, 0xFF000000u);
  DrawInto(t, dc);
  // Delay 9: done long ago; delay 90: not begun; delay 45 (row 4, column 4):
  // half-way, 255 x 5 / 10.
  EXPECT_EQ(dc.At(1, 1), kBlue);
  EXPECT_EQ(dc.At(98, 28), kRed);
  const uint32_t mid = dc.At(45, 13);
  EXPECT_NEAR(static_cast<int>(mid & 0xFF), 128, 1);
  EXPECT_NEAR(static_cast<int>((mid >> 16) & 0xFF), 127, 1);
  delete t;
}

// Pictures that cannot be drawn, or an unknown mode: the transition ends at
// its first step and draws nothing.
TEST_F(ImageTransitionTest, UndrawableInputEndsAtOnceAndDrawsNothing) {
  auto a = Solid(20, 10, kRed), b = Solid(20, 10, kBlue), wide = Solid(30, 10, kBlue);
  auto empty = std::make_unique<TcxBitmap32>(0, 0, true);
  struct TCase {
    const char* Name;
    TGraphic* Start;
    TGraphic* Finish;
    TdxImageAnimationMode Mode;
  };
  const TCase cases[] = {
      {"empty start", empty.get(), b.get(), iamSlideUp},
      {"empty finish", a.get(), empty.get(), iamFade},
      {"no finish", a.get(), nullptr, iamFade},
      {"two sizes", a.get(), wide.get(), iamSegmentedFade},
      {"unknown mode", a.get(), b.get(), static_cast<TdxImageAnimationMode>(7)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TRecorder rec;
    auto* t = new TdxImageAnimationTransition(c.Start, c.Finish, c.Mode, 500);
    rec.Attach(t);
    t->OnStep = [&](TdxAnimationTransition* S, Integer& P, bool& F) {
      rec.Steps.push_back({P, F});
      TDibCanvas dc(20, 10, 0xFF102030u);
      DrawInto(static_cast<TdxImageAnimationTransition*>(S), dc);
      EXPECT_EQ(dc.CountNot(0xFF102030u, 0, 0, 20, 10), 0);
    };
    t->Unlock();
    Run(50);
    ASSERT_EQ(rec.Steps.size(), 1u);
    EXPECT_TRUE(rec.Steps[0].Finished);
    EXPECT_EQ(rec.FinishedCount, 1);
    ExpectIdle();
  }
}

// The graphics passed in are freed with the transition only when it owns
// them; images made from them always are (sanitizer builds check both).
TEST_F(ImageTransitionTest, OwnedGraphicsGoWithTheTransition) {
  auto kept1 = Solid(8, 8, kRed), kept2 = Solid(8, 8, kBlue);
  delete new TdxImageAnimationTransition(kept1.get(), kept2.get(), iamFade, 100);
  EXPECT_EQ(kept1->Width(), 8);
  auto* owned = new TdxImageAnimationTransition(Solid(8, 8, kRed).release(), Solid(8, 8, kBlue).release(), iamFade, 100,
                                                -1, ateLinear, true);
  owned->Unlock();
  Run(200);
  EXPECT_EQ(Controller()->TransitionCount(), 0);
  // A GDI+ image of bitmap format is drawn as it is.
  auto gp = std::make_unique<TdxGPImage>(kept1.get());
  bool made = true;
  EXPECT_EQ(TdxAnimationInfo::PrepareImage(gp.get(), made), gp.get());
  EXPECT_FALSE(made);
  std::unique_ptr<TdxGPImage> fromBitmap(TdxAnimationInfo::PrepareImage(kept2.get(), made));
  EXPECT_TRUE(made);
  EXPECT_EQ(fromBitmap->GetSize().cx, 8);
}

// Any other graphic is drawn into a 32-bit bitmap first; on a screen that
// GDI+ cannot draw on directly the images are kept as PNG.
TEST_F(ImageTransitionTest, OtherGraphicsAndLowColourScreens) {
  auto red = Solid(8, 6, kRed);
  TdxPNGImage png(red.get());
  png.ConvertToFormat(dxImagePng);
  ASSERT_EQ(png.GetImageFormat(), dxImagePng);
  bool made = false;
  std::unique_ptr<TdxGPImage> fromPng(TdxAnimationInfo::PrepareImage(&png, made));
  ASSERT_TRUE(made);
  EXPECT_EQ(fromPng->GetSize().cx, 8);
  EXPECT_EQ(fromPng->GetSize().cy, 6);
  const TRGBColors px = fromPng->GetPixels();
  ASSERT_FALSE(px.empty());
  EXPECT_EQ(px[20].rgbRed, 255);
  EXPECT_EQ(px[20].rgbBlue, 0);
  EXPECT_EQ(fromPng->GetImageFormat(), dxImageBitmap);

  rtl::testing::SetDeviceCapsOverride({16, 0, 0});
  std::unique_ptr<TdxGPImage> onLowColour(TdxAnimationInfo::PrepareImage(red.get(), made));
  rtl::testing::SetDeviceCapsOverride({});
  EXPECT_EQ(onLowColour->GetImageFormat(), dxImagePng);

  // A fade from the PNG picture ends on the finish picture.
  auto blue = Solid(8, 6, kBlue);
  auto* t = new TdxImageAnimationTransition(&png, blue.get(), iamFade, 100);
  t->SetFreeWhenFinished(false);
  t->Unlock();
  Run(100);
  TDibCanvas dc(8, 6, 0xFF000000u);
  DrawInto(t, dc);
  EXPECT_EQ(dc.At(4, 3), kBlue);
  delete t;
}

}  // namespace
