// The frame and modal loop every built-in dialog stands on: where the
// frame goes, which styles it gets, and what the loop does to the owner,
// the focus, a WM_QUIT and the dialog's state.
#include <gtest/gtest.h>

#include "platform/win/user/dialog_frame.h"
#include "platform/testing/user_testing.h"
#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;
using namespace rtl::detail;

const char kClass[] = "#FrameTestDialog";
const char kProp[] = "#FrameTestState";

struct TTestState {
  bool Done = false;
  bool StateSeenOnDestroy = false;
  int Commands = 0;
};

TTestState* StateOf(HWND h) { return static_cast<TTestState*>(GetPropA(h, kProp)); }

LRESULT TestDialogProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT r = 0;
  if (DialogFaceMessage(h, msg, wParam, r)) return r;
  TTestState* s = StateOf(h);
  switch (msg) {
    case WM_COMMAND:
      if (s) {
        ++s->Commands;
        if (LOWORD(wParam) == IDOK) s->Done = true;
      }
      return 0;
    case WM_DESTROY:
      // A child telling its parent during teardown would reach the state.
      if (s) s->StateSeenOnDestroy = true;
      break;
  }
  return DefDlgProcA(h, msg, wParam, lParam);
}

class DialogFrameTest : public TUserTest {
 protected:
  void SetUp() override {
    TUserTest::SetUp();
    rtl::testing::SetScreens({});
    RegisterDialogClass(kClass, TestDialogProc, CS_DBLCLKS);
  }
  void TearDown() override {
    rtl::testing::SetScreens({});
    TUserTest::TearDown();
  }

  HWND Frame(HWND owner, const TDialogFrame& frame, int w = 200, int h = 100) {
    HWND d = CreateDialogFrame(kClass, "Frame", owner, w, h, frame);
    if (d) Created.push_back(d);
    return d;
  }
};

RECT WindowRect(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return r;
}

// ---- Placement --------------------------------------------------------------------

struct TPlaceCase {
  const char* Name;
  RECT Owner;          // empty: no owner
  DWORD OwnerStyle;
  bool ChildOwner;     // the owner given is a child of that window
  bool CentreOnOwner;  // else on the work area
};

class DialogFramePlaceTest : public DialogFrameTest, public ::testing::WithParamInterface<TPlaceCase> {};

TEST_P(DialogFramePlaceTest, CentredOverTheOwnerWithinTheWorkArea) {
  const TPlaceCase& c = GetParam();
  HWND owner = nullptr, top = nullptr;
  if (c.Owner.Width() > 0) {
    top = owner = MakeTop(WS_POPUP | c.OwnerStyle, c.Owner);
    if (c.ChildOwner) owner = MakeChild(top, WS_VISIBLE, RECT(5, 5, 50, 50));
  }
  HWND d = Frame(owner, TDialogFrame{});
  ASSERT_TRUE(d);
  EXPECT_EQ(GetWindow(d, GW_OWNER), top);
  RECT work = DialogWorkArea(owner);
  RECT w = WindowRect(d);
  EXPECT_GE(w.Left, work.Left);
  EXPECT_GE(w.Top, work.Top);
  EXPECT_LE(w.Right, work.Right);
  EXPECT_LE(w.Bottom, work.Bottom);
  RECT around = c.CentreOnOwner ? c.Owner : work;
  // Clamping only moves a frame that would stick out.
  bool fits = around.Left + (around.Width() - w.Width()) / 2 >= work.Left &&
              around.Right - (around.Width() - w.Width()) / 2 <= work.Right &&
              around.Top + (around.Height() - w.Height()) / 2 >= work.Top &&
              around.Bottom - (around.Height() - w.Height()) / 2 <= work.Bottom;
  if (fits) {
    EXPECT_NEAR((w.Left + w.Right) / 2, (around.Left + around.Right) / 2, 1);
    EXPECT_NEAR((w.Top + w.Bottom) / 2, (around.Top + around.Bottom) / 2, 1);
  } else {
    EXPECT_TRUE(w.Right == work.Right || w.Bottom == work.Bottom || w.Left == work.Left || w.Top == work.Top);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Owners, DialogFramePlaceTest,
    ::testing::Values(TPlaceCase{"NoOwner", RECT(0, 0, 0, 0), 0, false, false},
                      TPlaceCase{"VisibleOwner", RECT(100, 100, 700, 500), WS_VISIBLE, false, true},
                      TPlaceCase{"ChildOfTheOwner", RECT(300, 200, 900, 700), WS_VISIBLE, true, true},
                      TPlaceCase{"HiddenOwner", RECT(100, 100, 700, 500), 0, false, false},
                      TPlaceCase{"OwnerInTheCorner", RECT(1850, 1000, 1950, 1060), WS_VISIBLE, false, true},
                      TPlaceCase{"OwnerOffTheTopLeft", RECT(-300, -200, -100, -100), WS_VISIBLE, false, true}),
    [](const auto& info) { return info.param.Name; });

TEST_F(DialogFrameTest, OwnerOnTheSecondScreenKeepsTheFrameThere) {
  rtl::testing::SetScreens({{RECT(0, 0, 1280, 1024), RECT(0, 0, 1280, 984), true, "one"},
                            {RECT(1280, 0, 2560, 1024), RECT(1280, 30, 2560, 1024), false, "two"}});
  HWND owner = MakeTop(WS_POPUP | WS_VISIBLE, RECT(2400, 0, 2560, 60));
  HWND d = Frame(owner, TDialogFrame{}, 300, 200);
  ASSERT_TRUE(d);
  RECT w = WindowRect(d);
  EXPECT_EQ(w.Top, 30);
  EXPECT_EQ(w.Right, 2560);
}

TEST_F(DialogFrameTest, DestroyedOwnerMeansNoOwner) {
  HWND owner = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 300, 300));
  DestroyWindow(owner);
  HWND d = Frame(owner, TDialogFrame{});
  ASSERT_TRUE(d);
  EXPECT_EQ(GetWindow(d, GW_OWNER), nullptr);
  EXPECT_FALSE(DialogOwnerRoot(owner));
}

// ---- Styles -----------------------------------------------------------------------

struct TStyleCase {
  const char* Name;
  TDialogFrame Frame;
  DWORD Style;    // expected among WS_THICKFRAME | WS_SYSMENU
  DWORD ExStyle;  // expected among WS_EX_TOPMOST | WS_EX_CONTROLPARENT
};

class DialogFrameStyleTest : public DialogFrameTest, public ::testing::WithParamInterface<TStyleCase> {};

TEST_P(DialogFrameStyleTest, StylesFollowTheFrameAndTheClientHasTheSizeAsked) {
  const TStyleCase& c = GetParam();
  HWND d = Frame(nullptr, c.Frame, 240, 130);
  ASSERT_TRUE(d);
  DWORD style = static_cast<DWORD>(GetWindowLongA(d, GWL_STYLE));
  DWORD ex = static_cast<DWORD>(GetWindowLongA(d, GWL_EXSTYLE));
  EXPECT_EQ(style & (WS_THICKFRAME | WS_SYSMENU), c.Style);
  EXPECT_EQ(ex & (WS_EX_TOPMOST | WS_EX_CONTROLPARENT), c.ExStyle);
  // Group boxes need the dialog's background under them.
  EXPECT_FALSE(style & WS_CLIPCHILDREN);
  EXPECT_FALSE(style & WS_VISIBLE);
  EXPECT_TRUE(style & WS_CAPTION);
  RECT client;
  GetClientRect(d, &client);
  EXPECT_EQ(client.Width(), 240);
  EXPECT_EQ(client.Height(), 130);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, DialogFrameStyleTest,
    ::testing::Values(TStyleCase{"Plain", {false, true, false, false}, WS_SYSMENU, 0},
                      TStyleCase{"Sizable", {true, true, false, false}, WS_THICKFRAME | WS_SYSMENU, 0},
                      TStyleCase{"NoCloseBox", {false, false, false, false}, 0, 0},
                      TStyleCase{"TopMost", {false, true, true, false}, WS_SYSMENU, WS_EX_TOPMOST},
                      TStyleCase{"ControlParent", {false, true, false, true}, WS_SYSMENU, WS_EX_CONTROLPARENT}),
    [](const auto& info) { return info.param.Name; });

// ---- The modal loop ---------------------------------------------------------------

class DialogModalTest : public DialogFrameTest {
 protected:
  HWND Owner = nullptr;
  HWND Dialog = nullptr;
  HWND Edit = nullptr;
  HWND Ok = nullptr;
  HFONT Font = nullptr;
  TTestState State;

  void SetUp() override {
    DialogFrameTest::SetUp();
    Owner = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 700, 500));
    SetActiveWindow(Owner);
    Dialog = Frame(Owner, TDialogFrame{}, 240, 120);
    Font = CreateDialogFont();
    Edit = AddDialogChild(Dialog, "EDIT", "some text", WS_TABSTOP, 10, RECT(10, 10, 200, 31), Font, WS_EX_CLIENTEDGE);
    Ok = AddDialogChild(Dialog, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, RECT(10, 80, 90, 103), Font);
    SetPropA(Dialog, kProp, &State);
  }
  void TearDown() override {
    DialogFrameTest::TearDown();
    DeleteObject(Font);
  }

  TModalRun Run(std::function<void(HWND)> shown) {
    TModalRun run;
    run.Owner = Owner;
    run.Focus = Edit;
    run.StateProp = kProp;
    run.Shown = std::move(shown);
    return run;
  }
};

TEST_F(DialogModalTest, ChildrenTakeTheDialogFont) {
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(Edit, WM_GETFONT, 0, 0)), Font);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(Ok, WM_GETFONT, 0, 0)), Font);
  DWORD style = static_cast<DWORD>(GetWindowLongA(Ok, GWL_STYLE));
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_EQ(GetDlgCtrlID(Ok), IDOK);
}

TEST_F(DialogModalTest, OwnerWaitsDisabledAndGetsActivationBack) {
  int shown = 0;
  bool ownerEnabled = true, visible = false;
  HWND active = nullptr, focus = nullptr;
  DWORD selection = 0;
  bool ok = RunModalDialog(Dialog, Run([&](HWND d) {
                             ++shown;
                             ownerEnabled = IsWindowEnabled(Owner);
                             visible = IsWindowVisible(d);
                             active = GetActiveWindow();
                             focus = GetFocus();
                             selection = static_cast<DWORD>(SendMessageA(Edit, EM_GETSEL, 0, 0));
                             InjectClick(ClientPoint(Ok, 10, 10));
                           }),
                           State.Done);
  EXPECT_TRUE(ok);
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(visible);
  EXPECT_EQ(active, Dialog);
  EXPECT_EQ(focus, Edit);
  // The edit that starts with the focus has its text selected.
  EXPECT_EQ(LOWORD(selection), 0);
  EXPECT_EQ(HIWORD(selection), 9);
  EXPECT_TRUE(State.Done);
  EXPECT_FALSE(IsWindow(Dialog));
  EXPECT_TRUE(IsWindowEnabled(Owner));
  EXPECT_EQ(GetActiveWindow(), Owner);
}

TEST_F(DialogModalTest, DialogKeysDriveTheLoop) {
  RunModalDialog(Dialog, Run([](HWND) { InjectKeyPress(VK_RETURN); }), State.Done);
  EXPECT_TRUE(State.Done);
  EXPECT_FALSE(IsWindow(Dialog));
}

TEST_F(DialogModalTest, QuitEndsTheLoopAndIsPostedAgain) {
  bool ok = RunModalDialog(Dialog, Run([](HWND) { PostQuitMessage(7); }), State.Done);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(State.Done);
  EXPECT_FALSE(IsWindow(Dialog));
  EXPECT_TRUE(IsWindowEnabled(Owner));
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 7u);
}

TEST_F(DialogModalTest, StateIsGoneBeforeTheTeardown) {
  RunModalDialog(Dialog, Run([](HWND d) { DestroyWindow(d); }), State.Done);
  // Destroyed from inside: the loop ends without touching it again.
  EXPECT_FALSE(IsWindow(Dialog));
  EXPECT_TRUE(IsWindowEnabled(Owner));
  State = TTestState{};
  Dialog = Frame(Owner, TDialogFrame{});
  SetPropA(Dialog, kProp, &State);
  RunModalDialog(Dialog, Run([](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); }), State.Done);
  EXPECT_TRUE(State.Done);
  EXPECT_FALSE(State.StateSeenOnDestroy);
}

TEST_F(DialogModalTest, DisabledOwnerStaysDisabled) {
  EnableWindow(Owner, FALSE);
  RunModalDialog(Dialog, Run([](HWND) { InjectKeyPress(VK_RETURN); }), State.Done);
  EXPECT_FALSE(IsWindowEnabled(Owner));
}

TEST_F(DialogModalTest, EveryOtherWindowOfTheThreadWaitsDisabledAndExactlyThoseComeBack) {
  // Besides the owner: a window of the program that is no owner, one
  // hidden and one disabled already.
  HWND other = MakeTop(WS_POPUP | WS_VISIBLE, RECT(750, 100, 1050, 400));
  HWND inside = MakeChild(other, WS_VISIBLE, RECT(10, 10, 200, 200));
  HWND hidden = MakeTop(WS_POPUP, RECT(750, 450, 900, 550));
  HWND disabled = MakeTop(WS_POPUP | WS_VISIBLE | WS_DISABLED, RECT(1100, 100, 1300, 300));
  struct TSeen {
    bool Owner, Other, Hidden, Disabled;
  } seen{};
  RunModalDialog(Dialog, Run([&](HWND) {
                   seen = {IsWindowEnabled(Owner) != 0, IsWindowEnabled(other) != 0, IsWindowEnabled(hidden) != 0,
                           IsWindowEnabled(disabled) != 0};
                   // A click on the other window's child reaches nothing.
                   Log.Items.clear();
                   InjectClick(ClientPoint(inside, 20, 20));
                   rtl::testing::RunUntilIdle();
                   EXPECT_EQ(Log.Count(WM_LBUTTONDOWN), 0);
                   EXPECT_EQ(Log.Count(WM_LBUTTONUP), 0);
                   InjectKeyPress(VK_RETURN);
                 }),
                 State.Done);
  EXPECT_TRUE(State.Done);
  EXPECT_FALSE(seen.Owner);
  EXPECT_FALSE(seen.Other);
  EXPECT_TRUE(seen.Hidden) << "a hidden window is left alone";
  EXPECT_FALSE(seen.Disabled);
  EXPECT_TRUE(IsWindowEnabled(Owner));
  EXPECT_TRUE(IsWindowEnabled(other));
  EXPECT_TRUE(IsWindowEnabled(hidden));
  EXPECT_FALSE(IsWindowEnabled(disabled)) << "disabled before, disabled after";
}

}  // namespace
