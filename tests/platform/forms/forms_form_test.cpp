// Forms: window styles from the border properties, placement at the first
// show, window states, recreating the window, creation and destruction
// steps.
#include <gtest/gtest.h>

#include "controls_test_support.h"
#include "platform/win/user/user_sysinfo.h"

using namespace controls_test;

namespace {

using FormTest = TFormsTest;

TEST_F(FormTest, BorderPropertiesChooseTheWindowStyles) {
  struct Case {
    TFormBorderStyle Border;
    TBorderIcons Icons;
    DWORD Has;
    DWORD HasNot;
    DWORD ExHas;
  };
  const Case Cases[] = {
      {bsSizeable, {biSystemMenu, biMinimize, biMaximize}, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MAXIMIZEBOX, WS_POPUP,
       0},
      {bsSingle, {biSystemMenu}, WS_CAPTION | WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX, 0},
      {bsDialog, {biSystemMenu, biMinimize}, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_MINIMIZEBOX | WS_THICKFRAME,
       WS_EX_DLGMODALFRAME},
      {bsNone, {biSystemMenu}, WS_POPUP, WS_CAPTION | WS_SYSMENU, 0},
      {bsToolWindow, {biSystemMenu}, WS_CAPTION, WS_THICKFRAME, WS_EX_TOOLWINDOW},
  };
  for (const Case& c : Cases) {
    TForm* F = MakeForm();
    F->SetBorderStyle(c.Border);
    F->SetBorderIcons(c.Icons);
    DWORD Style = static_cast<DWORD>(GetWindowLong(F->Handle(), GWL_STYLE));
    DWORD ExStyle = static_cast<DWORD>(GetWindowLong(F->Handle(), GWL_EXSTYLE));
    EXPECT_EQ(Style & c.Has, c.Has) << c.Border;
    EXPECT_EQ(Style & c.HasNot, 0u) << c.Border;
    EXPECT_EQ(ExStyle & c.ExHas, c.ExHas) << c.Border;
    EXPECT_EQ(Style & WS_CHILD, 0u);
  }
  TForm* F = MakeForm();
  F->SetFormStyle(fsStayOnTop);
  EXPECT_NE(GetWindowLong(F->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(FormTest, TheClientSizeSetBeforeTheWindowExistsIsTheWindowsClientSize) {
  for (TFormBorderStyle Border : {bsSizeable, bsDialog, bsNone, bsToolWindow}) {
    TForm* F = MakeForm();
    F->SetBorderStyle(Border);
    F->SetClientWidth(300);
    F->SetClientHeight(200);
    ASSERT_FALSE(F->HandleAllocated());
    RECT R;
    ::GetClientRect(F->Handle(), &R);
    EXPECT_EQ(R.Right, 300) << Border;
    EXPECT_EQ(R.Bottom, 200) << Border;
    EXPECT_EQ(F->ClientWidth(), 300);
  }
}

TEST_F(FormTest, ThePositionIsTakenAtTheFirstShow) {
  TForm* Main = Application->MainForm();
  ASSERT_EQ(Main, nullptr) << "the tests run without a main form";
  struct Case {
    TPosition Position;
    TPoint Expected;
  };
  TForm* Owner = MakeForm(600, 400);
  Owner->SetBounds(300, 200, 600, 400);
  const Case Cases[] = {
      {poScreenCenter, TPoint((Screen->Width() - 200) / 2, (Screen->Height() - 100) / 2)},
      {poOwnerFormCenter, TPoint(300 + 200, 200 + 150)},
      {poDesigned, TPoint(100, 100)},
  };
  for (const Case& c : Cases) {
    auto* F = new TForm(Owner);
    F->SetBounds(100, 100, 200, 100);
    F->SetPosition(c.Position);
    F->Show();
    Pump();
    EXPECT_EQ(TPoint(F->Left(), F->Top()), c.Expected) << c.Position;
    RECT R;
    GetWindowRect(F->Handle(), &R);
    EXPECT_EQ(TPoint(R.Left, R.Top), c.Expected);
    EXPECT_EQ(F->Position(), poDesigned) << "placed once";
    F->Free();
  }
}

TEST_F(FormTest, WindowStatesFollowTheWindow) {
  TForm* F = MakeForm();
  F->SetWindowState(wsMaximized);
  F->Show();
  Pump();
  EXPECT_TRUE(IsZoomed(F->Handle()));
  RECT Work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
  EXPECT_GE(F->Width(), Work.Right - Work.Left);
  ShowWindow(F->Handle(), SW_RESTORE);
  Pump();
  EXPECT_EQ(F->WindowState(), wsNormal);
  EXPECT_EQ(F->Width(), 400);
}

TEST_F(FormTest, ConstraintsLimitSizingByHand) {
  TForm* F = MakeForm();
  F->Constraints()->SetMinWidth(250);
  F->Constraints()->SetMaxHeight(500);
  MINMAXINFO Info{};
  Info.ptMaxTrackSize = TPoint(5000, 5000);
  SendMessage(F->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
  EXPECT_EQ(Info.ptMinTrackSize.X, 250);
  EXPECT_EQ(Info.ptMaxTrackSize.Y, 500);
  F->SetWidth(100);
  EXPECT_EQ(F->Width(), 250);
}

TEST_F(FormTest, RecreatingTheWindowKeepsTheChildrenTextAndFocus) {
  TForm* F = MakeForm();
  auto* Edit = new TTestEdit(F);
  Edit->SetParent(F);
  Edit->SetCaption("kept");
  F->Show();
  Pump();
  ASSERT_EQ(GetFocus(), Edit->Handle());
  HWND Old = F->Handle();
  HWND OldEdit = Edit->Handle();
  F->SetBorderStyle(bsSingle);
  Pump();
  EXPECT_FALSE(IsWindow(Old));
  EXPECT_NE(Edit->Handle(), OldEdit);
  EXPECT_EQ(GetParent(Edit->Handle()), F->Handle());
  EXPECT_EQ(Edit->Caption(), "kept");
  EXPECT_EQ(GetFocus(), Edit->Handle());
  EXPECT_TRUE(IsWindowVisible(F->Handle()));
  EXPECT_EQ(FindControl(Edit->Handle()), Edit);
  EXPECT_EQ(FindControl(Old), nullptr);
}

// A form whose description reader adds a control, as the streaming of
// form descriptions does.
class TDescribedForm : public TForm {
 public:
  explicit TDescribedForm(TComponent* AOwner) : TForm(AOwner) {}
  static Log* Pending;
  static bool ShowFromDescription;

 protected:
  void ReadDescription() override {
    Pending->push_back("read");
    auto* C = new TTestShape(this);
    C->SetName("Described");
    C->SetParent(this);
    SetVisible(ShowFromDescription);
  }
  void DoShow() override {
    Pending->push_back("show");
    TForm::DoShow();
  }
  void DoCreate() override {
    Pending->push_back(FindComponent("Described") ? "create with children" : "create");
    TForm::DoCreate();
  }
  void DoDestroy() override {
    Pending->push_back("destroy");
    TForm::DoDestroy();
  }
  void DestroyWnd() override {
    Pending->push_back("window");
    TForm::DestroyWnd();
  }
};
Log* TDescribedForm::Pending = nullptr;
bool TDescribedForm::ShowFromDescription = false;

TEST_F(FormTest, TheDescriptionIsReadBeforeOnCreateAndFreeRunsTheDestructionSteps) {
  Log Steps;
  TDescribedForm::Pending = &Steps;
  auto* F = TCustomForm::Create<TDescribedForm>(nullptr);
  EXPECT_EQ(Steps, (Log{"read", "create with children"}));
  F->Show();
  Pump();
  Steps.clear();
  F->Free();
  EXPECT_EQ(Steps, (Log{"destroy", "window"}));
  // A description that makes the form visible shows it after OnCreate.
  Steps.clear();
  TDescribedForm::ShowFromDescription = true;
  F = TCustomForm::Create<TDescribedForm>(nullptr);
  EXPECT_EQ(Steps, (Log{"read", "create with children", "show"}));
  EXPECT_TRUE(F->Showing());
  F->Free();
  TDescribedForm::ShowFromDescription = false;
  TDescribedForm::Pending = nullptr;
}

TEST_F(FormTest, AFormFreedFromItsOwnHandlerGoesAfterTheHandlerReturns) {
  TForm* F = MakeForm();
  auto* Shape = new TTestShape(F);
  Shape->SetParent(F);
  TControlLink Link(F);
  bool SawItAlive = false;
  Shape->OnClick = [&](TObject*) {
    F->Release();
    SawItAlive = static_cast<bool>(Link);
  };
  F->Show();
  Pump();
  ClickAt(Shape, 5, 5);
  EXPECT_TRUE(SawItAlive);
  EXPECT_FALSE(Link);
  EXPECT_EQ(Screen->ActiveForm(), nullptr);
}

}  // namespace
