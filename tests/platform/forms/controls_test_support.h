// Shared pieces of the control and form tests: controls that log what
// happens to them, a fixture on the virtual clock that pumps the
// application's loop, and helpers for injected input.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/testing/user_testing.h"

namespace controls_test {

using Log = std::vector<std::string>;

// The application's steps of the action chain, kept aside by main.
inline TActionChain& ApplicationChain() {
  static TActionChain Chain;
  return Chain;
}

// Appends "<name>.<what>" entries to a log.
struct TLogger {
  Log* Target = nullptr;
  void operator()(TControl* C, const std::string& What) const {
    if (Target) Target->push_back(C->Name() + "." + What);
  }
};

// The component messages a control logs through its WindowProc, with the
// control the message names ("CM_MOUSEENTER(Button)").
inline void LogComponentMessages(TControl* C, Log* L) {
  TWndMethod Old = C->WindowProc();
  C->SetWindowProc([C, L, Old](TMessage& M) {
    auto Named = [&](const char* What) {
      auto* Target = reinterpret_cast<TControl*>(M.LParam);
      L->push_back(C->Name() + "." + What + "(" + (Target ? Target->Name() : std::string()) + ")");
    };
    switch (M.Msg) {
      case CM_MOUSEENTER:
        Named("CM_MOUSEENTER");
        break;
      case CM_MOUSELEAVE:
        Named("CM_MOUSELEAVE");
        break;
      case CM_ENTER:
        L->push_back(C->Name() + ".CM_ENTER");
        break;
      case CM_EXIT:
        L->push_back(C->Name() + ".CM_EXIT");
        break;
    }
    Old(M);
  });
}

// A windowed container (a panel).
class TTestPanel : public TCustomControl {

 public:
  explicit TTestPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + csAcceptsControls);
    SetBounds(0, 0, 100, 100);
  }

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }
};

// A focusable window that takes the focus when clicked and wants the
// characters typed into it.
class TTestEdit : public TCustomControl {

 public:
  explicit TTestEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 80, 20);
  }
  std::string Typed;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    if (CanFocus()) SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
  }
  void KeyPress(char& Key) override {
    TCustomControl::KeyPress(Key);
    if (Key) Typed += Key;
  }
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == WM_GETDLGCODE) {
      Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS;
      return;
    }
    TCustomControl::Dispatch(Message);
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(ClientRect());
  }
};

// A button that clicks on Enter when it is the default one and on Esc
// when it is the cancel one (through CM_DIALOGKEY), and on Alt with its
// accelerator (CM_DIALOGCHAR).
class TTestButton : public TCustomControl {

 public:
  explicit TTestButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
  }
  bool Default = false;
  bool Cancel = false;
  TModalResult ModalResult = mrNone;

  void Click() override {
    if (ModalResult != mrNone)
      if (TCustomForm* F = GetParentForm(this)) F->SetModalResult(ModalResult);
    TCustomControl::Click();
  }

 protected:
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == CM_DIALOGKEY) {
      if ((Message.WParam == VK_RETURN && Default) || (Message.WParam == VK_ESCAPE && Cancel)) {
        Click();
        Message.Result = 1;
        return;
      }
    } else if (Message.Msg == CM_DIALOGCHAR) {
      if (IsAccel(static_cast<Word>(Message.WParam), Caption()) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
      }
    }
    TCustomControl::Dispatch(Message);
  }
};

// A graphic control that fills itself with its colour.
class TTestShape : public TGraphicControl {

 public:
  explicit TTestShape(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 40, 40); }

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }
};

// Runs on the virtual clock; every form made through MakeForm is freed at
// the end; the message box and exception sinks record what they get.
class TFormsTest : public ::testing::Test {
 protected:
  std::vector<TControlLink> Forms;
  Log Boxes;

  void SetUp() override {
    rtl::testing::UseVirtualClock(true);
    ActionChain() = ApplicationChain();
    SetMessageBoxHandler([this](const AnsiString& Text, const AnsiString& Caption, Integer) {
      Boxes.push_back(Caption + ": " + Text);
      return mrOk;
    });
  }
  void TearDown() override {
    // Before the forms go: freeing the hint's control forgets it, and the
    // cancel would then leave hints active (the short pause) for the next test.
    Application->CancelHint();
    for (auto& L : Forms)
      if (auto* F = dynamic_cast<TCustomForm*>(L.Get())) F->Free();
    Application->OnException = nullptr;
    Application->OnIdle = nullptr;
    Application->OnMessage = nullptr;
    Application->OnShowHint = nullptr;
    Application->CancelHint();
    SetMessageBoxHandler(nullptr);
    Pump();
    ActionChain() = TActionChain();
    rtl::testing::UseVirtualClock(false);
  }

  template <class T = TForm>
  T* MakeForm(Integer Width = 400, Integer Height = 300) {
    T* F = TCustomForm::Create<T>(nullptr);
    F->SetBounds(100, 100, Width, Height);
    Forms.push_back(F->Link());
    return F;
  }

  static void Pump() { Application->ProcessMessages(); }

  // A point of a control in screen coordinates.
  static POINT At(TControl* C, Integer X, Integer Y) { return C->ClientToScreen(TPoint(X, Y)); }
  static void MoveTo(TControl* C, Integer X, Integer Y) {
    rtl::testing::InjectMouseMove(At(C, X, Y));
    Pump();
  }
  // Clicks far enough apart in time never make a double click.
  static void ClickAt(TControl* C, Integer X, Integer Y) {
    rtl::testing::AdvanceClock(GetDoubleClickTime() + 1);
    rtl::testing::InjectClick(At(C, X, Y));
    Pump();
  }
  static void Press(UINT Vk) {
    rtl::testing::InjectKeyPress(Vk);
    Pump();
  }
};

}  // namespace controls_test
