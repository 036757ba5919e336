// Text through the canvas, with one fixed font drawn without smoothing so
// that every ink pixel has the text colour.
#include <gtest/gtest.h>

#include <memory>

#include "platform/forms/graphics.h"
#include "platform/win/gdi/gdi.h"
#include "tests/common/dib_canvas.h"
#include "ui/foundation/canvas.h"

namespace {

constexpr uint32_t kPaper = 0x00C0E0F0u;  // neither text colour nor highlight

class CanvasTextTest : public ::testing::Test {
 protected:
  TDibCanvas Dib{160, 80, kPaper};
  TCanvas Canvas;
  std::unique_ptr<TcxCanvas> Cx;

  void SetUp() override {
    Canvas.SetHandle(Dib.dc);
    Canvas.Font()->SetName("Liberation Sans");
    Canvas.Font()->SetHeight(-16);
    Canvas.Font()->SetQuality(fqNonAntialiased);
    Canvas.Font()->SetColor(clBlack);
    Canvas.Brush()->SetStyle(bsClear);
    Cx = std::make_unique<TcxCanvas>(&Canvas);
  }
  void TearDown() override {
    Cx.reset();
    Canvas.SetHandle(nullptr);
  }
  // Bounding box of the pixels of one colour; empty when there are none.
  RECT BoxOf(uint32_t colour) {
    RECT r{Dib.width, Dib.height, -1, -1};
    for (int y = 0; y < Dib.height; ++y)
      for (int x = 0; x < Dib.width; ++x)
        if (Dib.Rgb(x, y) == (colour & 0xFFFFFFu)) {
          r.Left = std::min<int>(r.Left, x);
          r.Top = std::min<int>(r.Top, y);
          r.Right = std::max<int>(r.Right, x + 1);
          r.Bottom = std::max<int>(r.Bottom, y + 1);
        }
    return r.Right < 0 ? RECT{} : r;
  }
};

TEST_F(CanvasTextTest, DisabledRightAlignedTextEndsOnePixelFurtherLeft) {
  const TRect r(0, 0, 150, 30);
  Cx->DrawTextInRect("Hello", r, ctfRight | ctfSingleLine, true);
  const RECT enabled = BoxOf(0);
  ASSERT_GT(enabled.Right, 0);
  Dib.Fill(kPaper);
  Cx->DrawTextInRect("Hello", r, ctfRight | ctfSingleLine, false);
  const RECT shadow = BoxOf(Px(ColorToRGB(clBtnShadow)));
  EXPECT_EQ(shadow.Right, enabled.Right - 1);
  EXPECT_EQ(shadow.Left, enabled.Left - 1);
  // The highlight copy sits one pixel right and down and still ends inside.
  const RECT all = Dib.InkBox(kPaper);
  EXPECT_LE(all.Right, r.Right);
  EXPECT_EQ(all.Right, enabled.Right);
  EXPECT_EQ(Canvas.Font()->Color(), clBlack);
  EXPECT_EQ(Canvas.Brush()->Style(), bsClear);
}

TEST_F(CanvasTextTest, TextThatFitsIsUnclippedAndTextThatDoesNotStaysInside) {
  const TSize size = Cx->GetTextSize("Wide text");
  ASSERT_GT(size.cx, 20);
  // Fits: the same pixels as writing it plainly at the corner.
  Cx->DrawTextInRect("Wide text", TRect(10, 10, 10 + size.cx, 10 + size.cy), ctfSingleLine, true);
  std::vector<uint32_t> drawn(Dib.bits, Dib.bits + Dib.width * Dib.height);
  Dib.Fill(kPaper);
  Canvas.TextOut(10, 10, "Wide text");
  EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), Dib.bits));
  // Does not fit: no ink outside the rectangle.
  Dib.Fill(kPaper);
  const TRect narrow(10, 10, 10 + size.cx / 2, 10 + size.cy / 2);
  Cx->DrawTextInRect("Wide text", narrow, ctfSingleLine, true);
  const RECT ink = Dib.InkBox(kPaper);
  ASSERT_GT(ink.Right, 0);
  EXPECT_GE(ink.Left, narrow.Left);
  EXPECT_GE(ink.Top, narrow.Top);
  EXPECT_LE(ink.Right, narrow.Right);
  EXPECT_LE(ink.Bottom, narrow.Bottom);
  // Multi-line text takes the DrawText route and stays inside too.
  Dib.Fill(kPaper);
  Cx->DrawTextInRect("Wide text that wraps", narrow, ctfWordBreak | ctfBottom, true);
  const RECT wrapped = Dib.InkBox(kPaper);
  EXPECT_LE(wrapped.Right, narrow.Right);
  EXPECT_LE(wrapped.Bottom, narrow.Bottom);
}

TEST_F(CanvasTextTest, MeasureTextRectPlacesTheTextInsideTheRectangle) {
  const TSize size = Cx->GetTextSize("Abc");
  const struct {
    Integer Flags;
    Integer Left, Top;
  } cases[] = {
      {ctfSingleLine, 10, 10},
      {ctfSingleLine | ctfCenterH, 10 + (200 - size.cx) / 2, 10},
      {ctfSingleLine | ctfRight, 210 - size.cx, 10},
      {ctfSingleLine | ctfCenterV, 10, 10 + (100 - size.cy) / 2},
      {ctfSingleLine | ctfBottom, 10, 110 - size.cy},
      {ctfSingleLine | ctfCenterH | ctfBottom, 10 + (200 - size.cx) / 2, 110 - size.cy},
  };
  for (const auto& c : cases) {
    TRect r(10, 10, 210, 110);
    Cx->MeasureTextRect("Abc", r, c.Flags);
    EXPECT_EQ(r, TRect(c.Left, c.Top, c.Left + size.cx, c.Top + size.cy)) << std::hex << c.Flags;
  }
  TRect empty(5, 6, 50, 60);
  Cx->MeasureTextRect("", empty, ctfSingleLine);
  EXPECT_EQ(empty.Left, 5);
  EXPECT_EQ(empty.Right - empty.Left, 0);
}

TEST_F(CanvasTextTest, AlignTextBlockVerticallyMovesTheTop) {
  const Integer line = Cx->GetTextHeight("Zq");
  TRect r(0, 0, 150, 100);
  Cx->AlignTextBlockVertically(r, "One", 0, false, false, true, false, false);
  EXPECT_EQ(r.Top, 0);
  Cx->AlignTextBlockVertically(r, "One", 1, false, false, true, false, false);
  EXPECT_EQ(r.Top, 100 - line);
  r = TRect(0, 0, 150, 100);
  Cx->AlignTextBlockVertically(r, "One", 2, false, false, false, false, false);
  EXPECT_EQ(r.Top, (100 - line) / 2);
  // End ellipsis with word breaks: as many whole lines as fit.
  r = TRect(0, 0, 150, 3 * line + 2);
  Cx->AlignTextBlockVertically(r, "One", 1, true, false, true, false, true);
  EXPECT_EQ(r.Top, 2);
}

TEST_F(CanvasTextTest, DrawTextAlignedCombinesTheAlignments) {
  Cx->DrawTextAligned("", TRect(0, 0, 150, 60), taCenter, tvaCenter, false, false);
  EXPECT_EQ(Dib.CountNot(kPaper, 0, 0, 160, 80), 0);
  Cx->DrawTextAligned("Mid", TRect(0, 0, 150, 60), taCenter, tvaCenter, false, false);
  const RECT ink = Dib.InkBox(kPaper);
  const TSize size = Cx->GetTextSize("Mid");
  EXPECT_GE(ink.Left, (150 - size.cx) / 2);
  EXPECT_LE(ink.Right, (150 + size.cx) / 2 + 1);
  EXPECT_GE(ink.Top, (60 - size.cy) / 2);
  EXPECT_LE(ink.Bottom, (60 + size.cy) / 2 + 1);
}

TEST_F(CanvasTextTest, FontAngleNinetyDrawsUpward) {
  Canvas.Font()->SetName("Liberation Sans");
  Cx->SetFontAngle(90);
  LOGFONTA log{};
  GetObjectA(Canvas.Font()->Handle(), sizeof(log), &log);
  EXPECT_EQ(log.lfEscapement, 900);
  EXPECT_EQ(log.lfOutPrecision, OUT_TT_ONLY_PRECIS);
  Canvas.TextOut(20, 70, "Upward");
  const RECT ink = Dib.InkBox(kPaper);
  ASSERT_GT(ink.Right, 0);
  // The text runs from the starting point up, within a line's height to
  // its right.
  EXPECT_GT(ink.Bottom - ink.Top, 2 * (ink.Right - ink.Left));
  EXPECT_LE(ink.Bottom, 71);
  EXPECT_GE(ink.Left, 20);
  EXPECT_LT(ink.Top, 40);
  Cx->SetFontAngle(0);
  GetObjectA(Canvas.Font()->Handle(), sizeof(log), &log);
  EXPECT_EQ(log.lfEscapement, 0);
}

}  // namespace
