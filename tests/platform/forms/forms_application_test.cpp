// The application's loop: modal forms, closing, exceptions in handlers,
// ProcessMessages inside a handler, Run, idle-time action updates and
// action shortcuts.
#include <gtest/gtest.h>

#include "controls_test_support.h"
#include "platform/rtl/threads.h"

using namespace controls_test;

namespace {

class Loop : public TFormsTest {
 protected:
  Integer Idles = 0;

  // A loop that waits for something that never comes ends after a while
  // instead of blocking the test.
  void GuardLoop(std::function<void()> GiveUp) {
    Application->OnIdle = [this, GiveUp](TObject*, bool& Done) {
      Done = false;
      if (++Idles == 1000) GiveUp();
    };
  }
};

TEST_F(Loop, AModalFormReturnsItsResultWhileTheOtherFormsAreDisabled) {
  TForm* Main = MakeForm();
  Main->Show();
  Pump();
  TForm* Dialog = MakeForm(200, 120);
  auto* OK = new TTestButton(Dialog);
  OK->SetParent(Dialog);
  OK->SetBounds(10, 10, 75, 25);
  OK->ModalResult = mrOk;
  bool MainEnabled = true;
  Log E;
  Dialog->OnShow = [&](TObject*) {
    E.push_back("show");
    MainEnabled = IsWindowEnabled(Main->Handle());
    rtl::testing::InjectClick(At(OK, 5, 5));
  };
  Dialog->OnActivate = [&](TObject*) { E.push_back("activate"); };
  Dialog->OnDeactivate = [&](TObject*) { E.push_back("deactivate"); };
  Dialog->OnClose = [&](TObject*, TCloseAction& A) {
    E.push_back("close " + std::to_string(A));
  };
  Dialog->OnHide = [&](TObject*) { E.push_back("hide"); };
  GuardLoop([&] { Dialog->SetModalResult(mrAbort); });
  EXPECT_EQ(Dialog->ShowModal(), mrOk);
  EXPECT_FALSE(MainEnabled);
  EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
  EXPECT_FALSE(Dialog->Visible());
  ASSERT_GE(E.size(), 4u);
  EXPECT_EQ(E.front(), "show");
  EXPECT_EQ((Log(E.end() - 3, E.end())), (Log{"close 1", "deactivate", "hide"}));
  EXPECT_THROW(Main->ShowModal(), EInvalidOperation) << "a visible form cannot be modal";
}

TEST_F(Loop, AModalFormThatRefusesToCloseKeepsRunning) {
  TForm* Dialog = MakeForm(200, 120);
  Integer Asked = 0;
  Dialog->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++Asked > 1; };
  Dialog->OnShow = [&](TObject*) { PostMessage(Dialog->Handle(), WM_CLOSE, 0, 0); };
  Integer Closes = 0;
  GuardLoop([&] { Dialog->SetModalResult(mrAbort); });
  Application->OnIdle = [&](TObject*, bool& Done) {
    Done = false;
    // A second close after the first was refused.
    if (++Idles == 5 && Closes++ == 0) PostMessage(Dialog->Handle(), WM_CLOSE, 0, 0);
    if (Idles == 1000) Dialog->SetModalResult(mrAbort);
  };
  EXPECT_EQ(Dialog->ShowModal(), mrCancel);
  EXPECT_EQ(Asked, 2);
}

TEST_F(Loop, CloseHidesFreesOrRefusesAsTheHandlersSay) {
  struct Case {
    bool CanClose;
    TCloseAction Action;
    bool Visible;
    bool Alive;
  };
  const Case Cases[] = {
      {false, caHide, true, true},
      {true, caNone, true, true},
      {true, caHide, false, true},
      {true, caFree, false, false},
  };
  for (const Case& c : Cases) {
    TForm* F = MakeForm(200, 100);
    F->Show();
    Pump();
    F->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = c.CanClose; };
    F->OnClose = [&](TObject*, TCloseAction& Action) { Action = c.Action; };
    TControlLink Link(F);
    F->Close();
    Pump();
    ASSERT_EQ(static_cast<bool>(Link), c.Alive) << c.Action;
    if (Link) {
      EXPECT_EQ(F->Visible(), c.Visible) << c.Action;
    }
  }
}

TEST_F(Loop, AnExceptionInAHandlerIsShownAndTheLoopGoesOn) {
  TForm* F = MakeForm();
  auto* Shape = new TTestShape(F);
  Shape->SetParent(F);
  Integer Clicks = 0;
  Shape->OnClick = [&](TObject*) {
    if (++Clicks == 1) throw EConvertError("'x' is not a valid integer value");
  };
  F->Show();
  Pump();
  Application->SetTitle("Converter");
  ClickAt(Shape, 5, 5);
  EXPECT_EQ(Boxes, (Log{"Converter: 'x' is not a valid integer value."}));
  ClickAt(Shape, 5, 5);
  EXPECT_EQ(Clicks, 2);
  EXPECT_EQ(GetCaptureControl(), nullptr) << "the capture of the failed click was released";

  // OnException takes the report instead; EAbort is silent.
  Log Seen;
  Application->OnException = [&](TObject* Sender, Exception* E) {
    Seen.push_back(static_cast<TComponent*>(Sender)->ClassName() + ": " + E->Message());
  };
  Shape->OnClick = [&](TObject*) { throw Exception("second"); };
  ClickAt(Shape, 5, 5);
  Shape->OnClick = [&](TObject*) { Abort(); };
  ClickAt(Shape, 5, 5);
  EXPECT_EQ(Seen, (Log{"TForm: second"}));
  EXPECT_EQ(Boxes.size(), 1u);
}

TEST_F(Loop, AnExceptionFromAUtilityWindowsMethodGoesToTheApplication) {
  Log Seen;
  Application->OnException = [&](TObject* Sender, Exception* E) {
    Seen.push_back(AnsiString(Sender ? "sender" : "no sender") + ": " + E->Message());
  };
  HWND W = nullptr;
  W = AllocateHWnd([&](TMessage& M) {
    if (M.Msg == WM_USER) throw Exception("timer failed");
    M.Result = DefWindowProc(W, M.Msg, M.WParam, M.LParam);
  });
  EXPECT_EQ(SendMessage(W, WM_USER, 0, 0), 0);
  PostMessage(W, WM_USER, 0, 0);
  Pump();
  EXPECT_EQ(Seen, (Log{"no sender: timer failed", "no sender: timer failed"}));
  DeallocateHWnd(W);
}

TEST_F(Loop, ProcessMessagesInsideAHandlerHandlesWhatIsWaiting) {
  TForm* F = MakeForm();
  auto* Edit = new TTestEdit(F);
  Edit->SetParent(F);
  F->Show();
  Pump();
  Log E;
  constexpr UINT WM_PING = WM_USER + 7;
  TWndMethod Old = Edit->WindowProc();
  Edit->SetWindowProc([&, Old](TMessage& M) {
    if (M.Msg == WM_PING) E.push_back("ping");
    Old(M);
  });
  Edit->OnClick = [&](TObject*) {
    PostMessage(Edit->Handle(), WM_PING, 0, 0);
    E.push_back("posted");
    Application->ProcessMessages();
    E.push_back("back");
  };
  ClickAt(Edit, 5, 5);
  EXPECT_EQ(E, (Log{"posted", "ping", "back"}));
}

TEST_F(Loop, RunShowsTheMainFormAndEndsWhenItCloses) {
  TApplication* Saved = Application;
  Application = new TApplication(nullptr);
  TForm* MainForm = nullptr;
  TForm* Other = nullptr;
  Log E;
  Application->CreateForm(MainForm);
  Application->CreateForm(Other);
  EXPECT_EQ(Application->MainForm(), MainForm);
  EXPECT_TRUE(MainForm->HandleAllocated());
  MainForm->OnShow = [&](TObject*) {
    E.push_back("show");
    PostMessage(MainForm->Handle(), WM_CLOSE, 0, 0);
  };
  MainForm->OnClose = [&](TObject*, TCloseAction&) { E.push_back("close"); };
  Application->OnIdle = [&](TObject*, bool& Done) {
    Done = false;
    if (++Idles == 1000) Application->Terminate();
  };
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(E, (Log{"show", "close"}));
  EXPECT_FALSE(Other->Visible());
  delete Application;
  Application = Saved;
}

TEST_F(Loop, ActionsUpdateAtIdleAndTheirShortcutsExecuteThem) {
  TForm* F = MakeForm();
  auto* List = new TActionList(F);
  auto* Act = new TAction(F);
  Act->SetActionList(List);
  Act->SetCaption("Go");
  Act->SetShortCut(ShortCut('G', {ssCtrl}));
  bool Allowed = false;
  Integer Executed = 0;
  Act->OnUpdate = [&](TObject*) { Act->SetEnabled(Allowed); };
  Act->SetOnExecute([&](TObject*) { ++Executed; });
  auto* Shape = new TTestShape(F);
  Shape->SetParent(F);
  Shape->SetControlStyle(Shape->ControlStyle() + csActionClient);
  Shape->SetAction(Act);
  EXPECT_EQ(Shape->Caption(), "Go");
  F->Show();
  Pump();
  // One idle turn: OnIdle leaves Done set, so the actions update, and
  // posts a message, so that the wait for the next one ends at once.
  auto IdleOnce = [&] {
    Application->OnIdle = [&](TObject*, bool&) { PostMessage(F->Handle(), WM_NULL, 0, 0); };
    Pump();
    Application->HandleMessage();
    Pump();
  };
  IdleOnce();
  EXPECT_FALSE(Act->Enabled());
  EXPECT_FALSE(Shape->Enabled()) << "the linked control follows the action";
  Allowed = true;
  IdleOnce();
  EXPECT_TRUE(Shape->Enabled());
  rtl::testing::InjectKey(VK_CONTROL, true);
  Press('G');
  rtl::testing::InjectKey(VK_CONTROL, false);
  Pump();
  EXPECT_EQ(Executed, 1);
  ClickAt(Shape, 5, 5);
  EXPECT_EQ(Executed, 2) << "the control's click runs the action";
}

// Handles what waits in the queue the way ProcessMessages does, but gives
// up after Limit messages; answers how many there were.
Integer PumpAtMost(Integer Limit) {
  Integer Count = 0;
  MSG Msg;
  while (Count < Limit && PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE)) {
    ++Count;
    TranslateMessage(&Msg);
    DispatchMessage(&Msg);
  }
  return Count;
}

// Counts activations; past a limit it refuses them, so that activations
// that keep causing each other stop instead of hanging the test.
struct TActivationGuard {
  static inline Integer Count = 0;
  static constexpr Integer Limit = 200;
  HHOOK Hook;
  TActivationGuard() {
    Count = 0;
    Hook = SetWindowsHookEx(
        WH_CBT,
        [](int Code, WPARAM WParam, LPARAM LParam) -> LRESULT {
          if (Code == HCBT_ACTIVATE && ++Count > Limit) return 1;
          return CallNextHookEx(nullptr, Code, WParam, LParam);
        },
        nullptr, GetCurrentThreadId());
  }
  ~TActivationGuard() { UnhookWindowsHookEx(Hook); }
};

// A form closed from its modal loop and then shown modelessly used to
// make the window system and the native windows hand the activation back
// and forth, so that the queue never ran dry.
TEST_F(Loop, AFormShownAgainAfterAModalRunLetsTheQueueRunDry) {
  TForm* Main = MakeForm();
  Main->Show();
  Pump();
  TForm* Dialog = MakeForm(200, 120);
  auto* Cancel = new TTestButton(Dialog);
  Cancel->SetParent(Dialog);
  Cancel->Cancel = true;
  Cancel->ModalResult = mrCancel;
  Log Activations;
  Main->OnActivate = [&](TObject*) { Activations.push_back("main"); };
  Dialog->OnActivate = [&](TObject*) { Activations.push_back("dialog"); };
  Dialog->OnShow = [&](TObject*) { rtl::testing::InjectKeyPress(VK_ESCAPE); };
  GuardLoop([&] { Dialog->SetModalResult(mrAbort); });
  EXPECT_EQ(Dialog->ShowModal(), mrCancel);
  Application->OnIdle = nullptr;
  Dialog->OnShow = nullptr;
  TActivationGuard Guard;
  for (Integer Round = 0; Round < 3; ++Round) {
    Dialog->Show();
    EXPECT_LT(PumpAtMost(1000), 1000) << "round " << Round;
    EXPECT_EQ(GetActiveWindow(), Dialog->Handle()) << "round " << Round;
    Activations.clear();
    EXPECT_LT(PumpAtMost(1000), 1000) << "round " << Round;
    EXPECT_TRUE(Activations.empty()) << "nothing more happens once the queue is dry";
    Dialog->Hide();
    EXPECT_LT(PumpAtMost(1000), 1000) << "round " << Round;
    EXPECT_EQ(GetActiveWindow(), Main->Handle()) << "round " << Round;
  }
  EXPECT_LT(Guard.Count, 20);
}

}  // namespace
