// A strip of frames to look at: a slide up, a fade, a segmented fade and a
// hover cross-fade, each row from the start picture to the finish picture.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/backend/codecs.h"
#include "platform/forms/graphics.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_sysinfo.h"
#include "platform/win/user/user_test_seams.h"
#include "tests/common/dib_canvas.h"
#include "tests/common/pictures.h"
#include "ui/foundation/animation.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/cx_components.h"
#include "ui/foundation/fading.h"
#include "ui/foundation/gdiplus_binding.h"
#include "ui/foundation/gdiplus_canvas.h"
#include "ui/foundation/graphics_unit.h"
#include "ui/foundation/message_windows.h"
#include "fading_fixture.h"

namespace {

constexpr int kW = 64, kH = 40, kGap = 6, kFrames = 6;

void Fill(HDC DC, const RECT& R, COLORREF AColor) {
  HBRUSH b = CreateSolidBrush(AColor);
  FillRect(DC, &R, b);
  DeleteObject(b);
}

// Sky with a sun, or a field with a barn: drawn by GDI, made opaque.
TcxBitmap32* Scene(bool AFinish) {
  auto* b = new TcxBitmap32(kW, kH, true);
  HDC dc = b->Canvas()->Handle();
  if (!AFinish) {
    Fill(dc, {0, 0, kW, kH}, RGB(120, 180, 240));
    HBRUSH sun = CreateSolidBrush(RGB(250, 220, 40));
    HGDIOBJ old = SelectObject(dc, sun);
    Ellipse(dc, 8, 6, 30, 28);
    SelectObject(dc, old);
    DeleteObject(sun);
  } else {
    Fill(dc, {0, 0, kW, kH}, RGB(40, 120, 40));
    Fill(dc, {30, 10, 56, 34}, RGB(180, 40, 30));
    Fill(dc, {39, 22, 47, 34}, RGB(60, 30, 20));
  }
  b->MakeOpaque();
  return b;
}

// A button face: grey with a dark border, or hot with an orange face.
void PaintFace(HDC DC, int X, int Y, bool AHot) {
  Fill(DC, {X + 4, Y + 6, X + kW - 4, Y + kH - 6}, AHot ? RGB(200, 120, 40) : RGB(110, 110, 110));
  Fill(DC, {X + 6, Y + 8, X + kW - 6, Y + kH - 8}, AHot ? RGB(255, 200, 110) : RGB(220, 220, 220));
}

TcxBitmap32* ButtonFace(bool AHot) {
  auto* b = new TcxBitmap32(kW, kH, true);
  PaintFace(b->Canvas()->Handle(), 0, 0, AHot);
  return b;
}

class THoverButton : public TdxFadingObjectHelper {
 public:
  bool FadingWanted() override { return true; }
  void ProvideFadeBitmaps(TcxBitmap32*& ANormal, TcxBitmap32*& AHot) override {
    ANormal = ButtonFace(false);
    AHot = ButtonFace(true);
  }
};

class AnimationPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    StartFadingTestUnits();
    if (HasFatalFailure()) return;
    dx_animation_detail::StartAnimation();
    dx_fading_detail::StartFading();
  }
  void TearDown() override {
    dx_fading_detail::StopFading();
    dx_animation_detail::StopAnimation();
    cx_graphics_detail::StopGraphics();
    rtl::testing::ResetSystemInfo();
    rtl::testing::RunUntilIdle();
    rtl::testing::UseVirtualClock(false);
  }
  static void Run(uint32_t AMs) {
    for (uint32_t t = 0; t < AMs; t += 10) {
      rtl::testing::AdvanceClock(10);
      rtl::testing::RunUntilIdle();
    }
  }
  static TRect Cell(int ARow, int AColumn) {
    const int x = kGap + AColumn * (kW + kGap), y = kGap + ARow * (kH + kGap);
    return TRect(x, y, x + kW, y + kH);
  }
};

TEST_F(AnimationPicture, StripOfFrames) {
  const int W = kGap + kFrames * (kW + kGap), H = kGap + 4 * (kH + kGap);
  TDibCanvas dc(W, H, 0xFFFFFFFFu);
  TCanvas canvas;
  canvas.SetHandle(dc.dc);
  TcxCanvas cx(&canvas);
  std::unique_ptr<TcxBitmap32> start(Scene(false)), finish(Scene(true));

  const TdxImageAnimationMode modes[] = {iamSlideUp, iamFade, iamSegmentedFade};
  for (int row = 0; row < 3; ++row) {
    auto* t = new TdxImageAnimationTransition(start.get(), finish.get(), modes[row], 1000);
    t->SetFreeWhenFinished(false);
    t->Unlock();
    for (int f = 0; f < kFrames; ++f) {
      if (f > 0) Run(200);
      t->Draw(&cx, Cell(row, f));
    }
    EXPECT_TRUE(t->IsFinished());
    delete t;
  }
  // The first column shows the sun, the last the barn.
  for (int row = 0; row < 3; ++row) {
    const TRect first = Cell(row, 0), last = Cell(row, kFrames - 1);
    EXPECT_EQ(dc.Rgb(first.Left + 19, first.Top + 17), 0xFADC28u) << row;
    EXPECT_EQ(dc.Rgb(last.Left + 40, last.Top + 15), 0xB4281Eu) << row;
  }

  // The hover fade: the normal face, the four frames, then the object's own
  // hot paint once the fade is over.
  THoverButton button;
  button.StateChanged(0, 2);
  for (int f = 0; f < kFrames; ++f) {
    if (f > 0) Run(10);
    const TRect r = Cell(3, f);
    if (!button.PaintFrame(dc.dc, r)) {
      PaintFace(dc.dc, r.Left, r.Top, true);
      EXPECT_EQ(f, kFrames - 1) << "only after the last frame";
    }
  }
  EXPECT_EQ(dc.Rgb(Cell(3, 0).Left + 20, Cell(3, 0).Top + 20), 0xDCDCDCu);
  EXPECT_EQ(dc.Rgb(Cell(3, 4).Left + 20, Cell(3, 4).Top + 20), 0xFFC86Eu);
  canvas.SetHandle(nullptr);

  std::vector<uint32_t> pixels(dc.bits, dc.bits + W * H);
  for (uint32_t& p : pixels) p |= 0xFF000000u;
  rtl::backend::TEncodeOptions options;
  options.Alpha = false;
  std::string png;
  ASSERT_TRUE(rtl::backend::EncodeImage(rtl::backend::iffPng, pixels.data(), W, H, W * 4, options, png));
  std::ofstream(PictureDir() + "ui_foundation_animation_frames.png", std::ios::binary) << png;
}

}  // namespace
