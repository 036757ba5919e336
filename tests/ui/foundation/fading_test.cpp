// The fader with fake fading objects on the virtual clock: when fades start
// and are refused, their timing, the frames they build, turning round
// mid-fade, the queue limit, and objects that free themselves while the
// fader calls them.
#include "ui/foundation/fading.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/timer.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_sysinfo.h"
#include "platform/win/user/user_test_seams.h"
#include "tests/common/dib_canvas.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/cx_components.h"
#include "ui/foundation/gdiplus_binding.h"
#include "ui/foundation/gdiplus_canvas.h"
#include "ui/foundation/gdiplus_images.h"
#include "ui/foundation/graphics_unit.h"
#include "ui/foundation/message_windows.h"
#include "fading_fixture.h"

namespace {

constexpr int kW = 64, kH = 32;

// A 32-bit bitmap cleared to transparent black with R filled by GDI (so
// with alpha 0) in the colour.
TcxBitmap32* GdiBitmap(int W, int H, const TRect& R, TColor AColor) {
  auto* b = new TcxBitmap32(W, H, true);
  if (!R.IsEmpty()) {
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(AColor));
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    FillRect(b->Canvas()->Handle(), &r, brush);
    DeleteObject(brush);
  }
  return b;
}

// A fading element standing in for a button: normal is grey on its left
// half (the right half transparent), hot is blue all over; both drawn by
// GDI.
class TFakeButton : public TdxFadingObjectHelper, public IdxFadingOptionsProvider {
 public:
  bool Wanted = true;
  int Repaints = 0;
  std::function<void(TFakeButton*)> OnRepaint;
  std::function<void(TcxBitmap32*&, TcxBitmap32*&)> MakeBitmaps;
  TdxFadingOptions* Options = nullptr;

  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    return TdxFadingObjectHelper::QueryInterface(riid, ppvObject);
  }
  ULONG AddRef() override { return static_cast<ULONG>(-1); }
  ULONG Release() override { return static_cast<ULONG>(-1); }

  bool FadingWanted() override { return Wanted; }
  void RepaintFadingFrame() override {
    ++Repaints;
    if (OnRepaint) OnRepaint(this);
  }
  void ProvideFadeBitmaps(TcxBitmap32*& ANormal, TcxBitmap32*& AHot) override {
    if (MakeBitmaps) return MakeBitmaps(ANormal, AHot);
    ANormal = GdiBitmap(kW, kH, TRect(0, 0, kW / 2, kH), TColor(0x808080));
    AHot = GdiBitmap(kW, kH, TRect(0, 0, kW, kH), TColor(0xC06020));
  }
  TdxFadingOptions* GetFadingOptions() override { return Options; }
};

class FadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartFadingTestUnits();
    if (HasFatalFailure()) return;
    dx_fading_detail::StartFading();
    rtl::testing::RunUntilIdle();
  }
  void TearDown() override {
    dx_fading_detail::StopFading();
    cx_graphics_detail::StopGraphics();
    rtl::testing::SetDeviceCapsOverride({});
    rtl::testing::ResetSystemInfo();
    rtl::testing::RunUntilIdle();
    rtl::testing::UseVirtualClock(false);
  }
  static TdxFader* Fader() { return dxGetFader(); }
  static void Run(uint32_t AMs) {
    for (uint32_t t = 0; t < AMs; t += 10) {
      rtl::testing::AdvanceClock(10);
      rtl::testing::RunUntilIdle();
    }
  }
  static TdxFadingElement* ElementOf(TObject* AObject) {
    TdxFadingElement* e = nullptr;
    Fader()->LookupElement(AObject, e);
    return e;
  }
  static void ExpectIdle() {
    EXPECT_EQ(Fader()->Count(), 0);
    EXPECT_FALSE(Fader()->Timer()->Enabled());
  }
};

TEST_F(FadingTest, MenuAnimationOffRefusesFades) {
  EXPECT_TRUE(Fader()->CanAnimate());
  SystemParametersInfo(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(FALSE), 0);
  EXPECT_FALSE(Fader()->IsActive());
  EXPECT_FALSE(Fader()->CanAnimate());
  TFakeButton button;
  Fader()->StartFadeIn(&button);
  EXPECT_EQ(Fader()->Count(), 0);
  EXPECT_EQ(button.Repaints, 0);
  ExpectIdle();
}

TEST_F(FadingTest, ASixteenBitScreenRefusesFades) {
  rtl::testing::SetDeviceCapsOverride({16, 0, 0});
  EXPECT_FALSE(Fader()->CanAnimate());
  TFakeButton button;
  button.StateChanged(0, 2);
  EXPECT_EQ(Fader()->Count(), 0);
  rtl::testing::SetDeviceCapsOverride({24, 0, 0});
  EXPECT_TRUE(Fader()->CanAnimate());
}

TEST_F(FadingTest, OptionSettersClamp) {
  struct TCase {
    void (TdxFadingOptions::*Set)(Integer);
    Integer (TdxFadingOptions::*Get)() const;
    Integer Value, Stored;
  };
  const TCase cases[] = {
      {&TdxFadingOptions::SetFadeOutFrameDelay, &TdxFadingOptions::FadeOutFrameDelay, 5, 10},
      {&TdxFadingOptions::SetFadeOutFrameDelay, &TdxFadingOptions::FadeOutFrameDelay, 301, 300},
      {&TdxFadingOptions::SetFadeInFrameDelay, &TdxFadingOptions::FadeInFrameDelay, 42, 42},
      {&TdxFadingOptions::SetFadeInFrameCount, &TdxFadingOptions::FadeInFrameCount, 50, 32},
      {&TdxFadingOptions::SetFadeInFrameCount, &TdxFadingOptions::FadeInFrameCount, 0, 0},
      {&TdxFadingOptions::SetFadeOutFrameCount, &TdxFadingOptions::FadeOutFrameCount, -4, 0},
  };
  for (const TCase& c : cases) {
    TdxFadingOptions o;
    (o.*c.Set)(c.Value);
    EXPECT_EQ((o.*c.Get)(), c.Stored) << c.Value;
  }
  TdxFadingOptions defaults, source;
  EXPECT_EQ(defaults.FadeInFrameCount(), 4);
  EXPECT_EQ(defaults.FadeInFrameDelay(), 15);
  EXPECT_EQ(defaults.FadeOutFrameCount(), 12);
  EXPECT_EQ(defaults.FadeOutFrameDelay(), 20);
  source.SetFadeInFrameCount(7);
  source.SetFadeOutFrameDelay(120);
  defaults.Assign(&source);
  EXPECT_EQ(defaults.FadeInFrameCount(), 7);
  EXPECT_EQ(defaults.FadeOutFrameDelay(), 120);
  TPersistent other;
  EXPECT_THROW(defaults.Assign(&other), EConvertError);
}

TEST_F(FadingTest, AFadeInOfZeroFramesSwitchesAtOnce) {
  TdxFadingOptions options;
  options.SetFadeInFrameCount(0);
  TFakeButton button;
  button.Options = &options;
  Fader()->StartFadeIn(&button);
  EXPECT_EQ(Fader()->Count(), 0);
  TDibCanvas dc(kW, kH, 0xFF010203u);
  EXPECT_FALSE(Fader()->PaintFadingObject(&button, dc.dc, TRect(0, 0, kW, kH)));
  EXPECT_EQ(dc.CountNot(0xFF010203u, 0, 0, kW, kH), 0) << "nothing drawn";
  // Its fade out still runs with its own timing.
  Fader()->StartFadeOut(&button);
  EXPECT_EQ(Fader()->Count(), 1);
  Run(300);
  ExpectIdle();
}

// Defaults: in, 4 frames one per 10 ms tick, the end one tick after the
// last; out, 12 frames one per two ticks, the end 20 ms after the last.
TEST_F(FadingTest, DefaultTimingFramesPerVirtualTime) {
  TFakeButton in, out;
  Fader()->StartFadeIn(&in);
  TdxFadingElement* e = ElementOf(&in);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->FrameCount(), 4);
  EXPECT_EQ(e->TicksPerFrame(), 1);
  EXPECT_EQ(e->Stage(), 0);
  EXPECT_EQ(in.Repaints, 1) << "stage 0 at once";
  std::vector<int> stages;
  for (int t = 10; t <= 40; t += 10) {
    Run(10);
    stages.push_back(ElementOf(&in)->Stage());
    EXPECT_EQ(in.Repaints, 1 + t / 10);
  }
  EXPECT_EQ(stages, (std::vector<int>{1, 2, 3, 4}));
  Run(10);
  EXPECT_FALSE(ElementOf(&in));
  EXPECT_EQ(in.Repaints, 6) << "the end asks for the normal paint";

  Fader()->StartFadeOut(&out);
  e = ElementOf(&out);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->FrameCount(), 12);
  EXPECT_EQ(e->TicksPerFrame(), 2);
  for (int t = 10; t <= 240; t += 10) {
    Run(10);
    EXPECT_EQ(ElementOf(&out)->Stage(), t / 20) << t << " ms";
    EXPECT_EQ(out.Repaints, 1 + t / 20) << t << " ms";
  }
  Run(10);
  EXPECT_TRUE(ElementOf(&out)) << "still showing the last frame at 250 ms";
  Run(10);
  EXPECT_FALSE(ElementOf(&out));
  EXPECT_EQ(out.Repaints, 14);
  ExpectIdle();
}

RGBQUAD PixelAt(const TRGBColors& APixels, int X, int Y) { return APixels[static_cast<size_t>(Y * kW + X)]; }

TEST_F(FadingTest, GdiPixelsBecomeOpaqueButTransparentBlackStays) {
  TFakeButton button;
  Fader()->StartFadeIn(&button);
  TdxFadingElement* e = ElementOf(&button);
  ASSERT_TRUE(e);
  ASSERT_TRUE(e->WorkImage());
  const TRGBColors frame = e->WorkImage()->GetPixels();
  ASSERT_EQ(frame.size(), static_cast<size_t>(kW * kH));
  const RGBQUAD grey = PixelAt(frame, 3, 3), clear = PixelAt(frame, kW - 3, 3);
  EXPECT_EQ(grey.rgbReserved, 255) << "grey drawn by GDI";
  EXPECT_EQ(grey.rgbRed, 0x80);
  EXPECT_EQ(clear.rgbReserved, 0) << "transparent black";
  EXPECT_EQ(clear.rgbRed | clear.rgbGreen | clear.rgbBlue, 0);
  // Stage 2 of 4: f = MulDiv(2, 255, 4) / 255 = 128 / 255 of the hot blue.
  Run(20);
  const TRGBColors mid = ElementOf(&button)->WorkImage()->GetPixels();
  const RGBQUAD m = PixelAt(mid, 3, 3), c = PixelAt(mid, kW - 3, 3);
  EXPECT_EQ(m.rgbReserved, 255);
  EXPECT_EQ(m.rgbBlue, 0xA0) << "0x80 x 127/255 + 0xC0 x 128/255";
  EXPECT_EQ(m.rgbRed, 0x50) << "0x80 x 127/255 + 0x20 x 128/255";
  EXPECT_EQ(c.rgbReserved, 128) << "the transparent half fades in";
  EXPECT_EQ(c.rgbBlue, 96);
}

TEST_F(FadingTest, PaintFadingObjectDrawsTheFrameOnlyWhileAFadeRuns) {
  TFakeButton button;
  TDibCanvas dc(kW, kH, 0xFF000000u);
  EXPECT_FALSE(Fader()->PaintFadingObject(&button, dc.dc, TRect(0, 0, kW, kH)));
  EXPECT_FALSE(button.PaintFrame(dc.dc, TRect(0, 0, kW, kH)));
  EXPECT_EQ(dc.CountNot(0xFF000000u, 0, 0, kW, kH), 0);
  Fader()->StartFadeIn(&button);
  Run(40);  // the last frame: all hot blue
  EXPECT_TRUE(button.PaintFrame(dc.dc, TRect(0, 0, kW, kH)));
  EXPECT_EQ(dc.At(5, 5) & 0xFFFFFFu, 0x2060C0u) << "hot blue";
  EXPECT_EQ(dc.At(kW - 5, 5) & 0xFFFFFFu, 0x2060C0u);
}

TEST_F(FadingTest, LeavingMidFadeInFadesOutFromTheFrameOnScreen) {
  TFakeButton button;
  button.StateChanged(0, 2);
  Run(20);
  TdxFadingElement* e = ElementOf(&button);
  ASSERT_TRUE(e);
  ASSERT_EQ(e->Stage(), 2);
  const TRGBColors onScreen = e->WorkImage()->GetPixels();
  button.StateChanged(2, 0);
  EXPECT_EQ(ElementOf(&button), e) << "the same fade turns round";
  EXPECT_EQ(e->Stage(), 0);
  EXPECT_EQ(e->FrameCount(), 12);
  EXPECT_EQ(e->TicksPerFrame(), 2);
  EXPECT_EQ(e->TickIndex(), 0);
  const TRGBColors restart = e->WorkImage()->GetPixels();
  ASSERT_EQ(restart.size(), onScreen.size());
  for (auto [x, y] : {std::pair{3, 3}, std::pair{kW - 3, 3}}) {
    const RGBQUAD a = PixelAt(onScreen, x, y), b = PixelAt(restart, x, y);
    EXPECT_EQ(std::tie(a.rgbBlue, a.rgbGreen, a.rgbRed, a.rgbReserved),
              std::tie(b.rgbBlue, b.rgbGreen, b.rgbRed, b.rgbReserved))
        << x << "," << y;
  }
  // It ends on the normal look.
  Run(260);
  EXPECT_FALSE(ElementOf(&button));
  ExpectIdle();
}

TEST_F(FadingTest, StateChangesStartEndOrCancelFades) {
  TFakeButton button;
  button.StateChanged(1, 1);
  EXPECT_EQ(Fader()->Count(), 0);
  button.StateChanged(1, 2);
  ASSERT_TRUE(ElementOf(&button));
  EXPECT_EQ(ElementOf(&button)->FrameCount(), 4);
  const int repaints = button.Repaints;
  // Hot to pressed: no fade, the pressed look at once.
  button.StateChanged(2, 3);
  EXPECT_FALSE(ElementOf(&button));
  EXPECT_EQ(button.Repaints, repaints + 1);
  button.StateChanged(3, 2);
  EXPECT_FALSE(ElementOf(&button)) << "pressed to hot is no hover";
  ExpectIdle();
}

TEST_F(FadingTest, ElevenStartsFinishTheOldestAtOnce) {
  std::vector<std::unique_ptr<TFakeButton>> buttons;
  for (int i = 0; i < 11; ++i) {
    buttons.push_back(std::make_unique<TFakeButton>());
    Fader()->StartFadeIn(buttons.back().get());
  }
  EXPECT_EQ(Fader()->Count(), 10);
  EXPECT_FALSE(ElementOf(buttons[0].get()));
  EXPECT_EQ(buttons[0]->Repaints, 2) << "its first frame, then its end";
  for (int i = 1; i < 11; ++i) EXPECT_TRUE(ElementOf(buttons[static_cast<size_t>(i)].get())) << i;
  EXPECT_TRUE(Fader()->Timer()->Enabled());
  // A button that goes takes its fade with it.
  buttons[5].reset();
  EXPECT_EQ(Fader()->Count(), 9);
  Fader()->ClearElements();
  EXPECT_EQ(buttons[6]->Repaints, 1) << "cleared without repaints";
  ExpectIdle();
}

// Fades that cannot be shown are not started; nothing is left running.
TEST_F(FadingTest, BitmapsThatCannotFadeAreRefused) {
  struct TCase {
    const char* Name;
    std::function<void(TcxBitmap32*&, TcxBitmap32*&)> Make;
  };
  const TCase cases[] = {
      {"none", [](TcxBitmap32*&, TcxBitmap32*&) {}},
      {"no hot", [](TcxBitmap32*& N, TcxBitmap32*&) { N = GdiBitmap(8, 8, TRect(), clRed); }},
      {"empty",
       [](TcxBitmap32*& N, TcxBitmap32*& H) {
         N = new TcxBitmap32(0, 0, true);
         H = new TcxBitmap32(0, 0, true);
       }},
      {"two widths",
       [](TcxBitmap32*& N, TcxBitmap32*& H) {
         N = GdiBitmap(8, 8, TRect(), clRed);
         H = GdiBitmap(9, 8, TRect(), clRed);
       }},
      {"two heights",
       [](TcxBitmap32*& N, TcxBitmap32*& H) {
         N = GdiBitmap(8, 8, TRect(), clRed);
         H = GdiBitmap(8, 7, TRect(), clRed);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeButton button;
    button.MakeBitmaps = c.Make;
    Fader()->StartFadeIn(&button);
    EXPECT_EQ(button.Repaints, 0);
    ExpectIdle();
  }
  TFakeButton unwilling;
  unwilling.Wanted = false;
  Fader()->StartFadeIn(&unwilling);
  ExpectIdle();
  TObject notFading;
  Fader()->StartFadeIn(&notFading);
  ExpectIdle();
}

// The object's repaint callback frees the object: at the start, on a timer
// step, at the end and when the queue is trimmed. Sanitizer builds check
// that nothing freed is touched.
TEST_F(FadingTest, AnObjectFreeingItselfFromItsRepaint) {
  struct TCase {
    const char* Name;
    int FreeAtRepaint;
  };
  const TCase cases[] = {{"first frame", 1}, {"timer step", 3}, {"end", 6}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* button = new TFakeButton();
    TFakeButton other;
    bool freed = false;
    button->OnRepaint = [&, at = c.FreeAtRepaint](TFakeButton* B) {
      if (B->Repaints == at) {
        freed = true;
        delete B;
      }
    };
    Fader()->StartFadeIn(&other);
    Fader()->StartFadeIn(button);
    Run(100);
    EXPECT_TRUE(freed);
    ExpectIdle();
    EXPECT_EQ(other.Repaints, 6) << "the other fade ran its course";
  }
  // The oldest of eleven is finished, and frees itself from that repaint.
  std::vector<std::unique_ptr<TFakeButton>> buttons;
  auto* oldest = new TFakeButton();
  oldest->OnRepaint = [](TFakeButton* B) {
    if (B->Repaints == 2) delete B;
  };
  Fader()->StartFadeIn(oldest);
  for (int i = 0; i < 10; ++i) {
    buttons.push_back(std::make_unique<TFakeButton>());
    Fader()->StartFadeIn(buttons.back().get());
  }
  EXPECT_EQ(Fader()->Count(), 10);
  Run(100);
  ExpectIdle();
}

TEST_F(FadingTest, DetachingFinishesWithARepaintUnlessDestroying) {
  TFakeButton a, b;
  Fader()->StartFadeIn(&a);
  Fader()->StartFadeIn(&b);
  Fader()->DetachObject(&a);
  EXPECT_EQ(a.Repaints, 2);
  Fader()->DetachObject(&b, true);
  EXPECT_EQ(b.Repaints, 1);
  ExpectIdle();
}

}  // namespace
