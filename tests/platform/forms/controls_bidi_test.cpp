// Bidirectional modes: the DrawText flags and right-to-left questions of
// each mode, and a mode reaching the children that follow their parent.
#include <gtest/gtest.h>

#include "controls_test_support.h"

using namespace controls_test;

namespace {

TEST(ControlsBiDi, EachModeAnswersItsFlagsAndQuestions) {
  const struct {
    TBiDiMode Mode;
    UINT In, Out;
    bool Reading, Alignment, ScrollBar;
  } Cases[] = {
      {bdLeftToRight, DT_LEFT | DT_WORDBREAK, DT_LEFT | DT_WORDBREAK, false, false, false},
      {bdLeftToRight, DT_RIGHT, DT_RIGHT, false, false, false},
      {bdRightToLeft, DT_LEFT | DT_WORDBREAK, DT_RIGHT | DT_WORDBREAK | DT_RTLREADING, true, true, true},
      {bdRightToLeft, DT_RIGHT | DT_VCENTER, DT_LEFT | DT_VCENTER | DT_RTLREADING, true, true, true},
      {bdRightToLeft, DT_CENTER, DT_CENTER | DT_RTLREADING, true, true, true},
      {bdRightToLeftNoAlign, DT_LEFT, DT_LEFT | DT_RTLREADING, true, false, true},
      {bdRightToLeftNoAlign, DT_RIGHT, DT_RIGHT | DT_RTLREADING, true, false, true},
      {bdRightToLeftReadingOnly, DT_RIGHT, DT_RIGHT | DT_RTLREADING, true, false, false},
  };
  TControl C(nullptr);
  for (const auto& T : Cases) {
    SCOPED_TRACE(std::to_string(T.Mode) + " " + std::to_string(T.In));
    C.SetBiDiMode(T.Mode);
    EXPECT_EQ(static_cast<UINT>(C.DrawTextBiDiModeFlags(static_cast<LongInt>(T.In))), T.Out);
    EXPECT_EQ(C.DrawTextBiDiModeFlagsReadingOnly(), T.Reading ? DT_RTLREADING : 0);
    EXPECT_EQ(C.UseRightToLeftReading(), T.Reading);
    EXPECT_EQ(C.UseRightToLeftAlignment(), T.Alignment);
    EXPECT_EQ(C.UseRightToLeftScrollBar(), T.ScrollBar);
    EXPECT_EQ(C.IsRightToLeft(), T.Mode != bdLeftToRight);
  }
}

class ControlsBiDiTree : public TFormsTest {};

TEST_F(ControlsBiDiTree, AModeReachesTheChildrenThatFollowTheirParent) {
  TForm* Form = MakeForm();
  auto* Panel = new TTestPanel(Form);
  Panel->SetParent(Form);
  auto* Shape = new TTestShape(Form);
  Shape->SetParent(Panel);
  auto* Own = new TTestShape(Form);
  Own->SetParent(Panel);
  Own->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_FALSE(Own->ParentBiDiMode());

  Form->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(Panel->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(Shape->BiDiMode(), bdRightToLeft) << "through the panel";
  EXPECT_TRUE(Shape->ParentBiDiMode());
  EXPECT_FALSE(Shape->IsBiDiModeStored());
  EXPECT_EQ(Own->BiDiMode(), bdRightToLeftReadingOnly) << "a mode of its own stays";

  // Following the parent again takes its mode; so does a new parent.
  Own->SetParentBiDiMode(true);
  EXPECT_EQ(Own->BiDiMode(), bdRightToLeft);
  auto* Later = new TTestShape(Form);
  Later->SetParent(Panel);
  EXPECT_EQ(Later->BiDiMode(), bdRightToLeft);

  // A panel with a mode of its own keeps its children from the form's.
  Panel->SetBiDiMode(bdRightToLeftNoAlign);
  Form->SetBiDiMode(bdLeftToRight);
  EXPECT_EQ(Panel->BiDiMode(), bdRightToLeftNoAlign);
  EXPECT_EQ(Shape->BiDiMode(), bdRightToLeftNoAlign);
}

}  // namespace
