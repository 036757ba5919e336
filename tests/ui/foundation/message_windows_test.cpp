#include "ui/foundation/message_windows.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/rtl/threads.h"
#include "platform/win/user/user.h"
#include "platform/rtl/class_groups.h"
#include "platform/win/user/user_test_seams.h"
#include "ui/foundation/upward_services.h"

namespace {

constexpr UINT WM_PROBE = WM_USER + 17;

std::vector<std::string>* GLog = nullptr;

void Log(const std::string& AEntry) {
  if (GLog) GLog->push_back(AEntry);
}

// A framework control whose own procedure logs the probe message.
class TLoggingControl : public TWinControl {
 public:
  explicit TLoggingControl(TComponent* AOwner) : TWinControl(AOwner) {}
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_PROBE) {
      Log("initial");
      Message.Result = 7;
      return;
    }
    TWinControl::WndProc(Message);
  }
};

LRESULT InitialProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PROBE) {
    Log("initial");
    return 7;
  }
  return DefWindowProc(hwnd, msg, w, l);
}

LRESULT IntruderProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PROBE) Log("intruder");
  return InitialProc(hwnd, msg, w, l);
}

HWND MakePlainWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &InitialProc;
    wc.lpszClassName = "cxSubclassProbe";
    RegisterClassA(&wc);
    registered = true;
  }
  return CreateWindowExA(0, "cxSubclassProbe", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

// A hook that logs its name and passes the message on unless told to
// swallow it.
struct TParty {
  std::string Name;
  TcxWindowProcLinkedObject* Node = nullptr;
  bool Swallow = false;
  void WndProc(TMessage& Message) {
    if (Message.Msg == WM_PROBE) Log(Name);
    if (!Swallow) Node->CallPreviousWndProc(Message);
  }
};

class SubclassingTest : public ::testing::Test {
 protected:
  std::vector<std::string> FLog;
  TcxWindowProcController FController;
  void SetUp() override { GLog = &FLog; }
  void TearDown() override { GLog = nullptr; }

  void Hook(TParty& AParty, TControl* AControl, HWND AHandle) {
    TWndMethod Proc(&AParty, &TParty::WndProc);
    AParty.Node = AControl ? FController.AddControlWndProc(AControl, Proc) : FController.AddHandleWndProc(AHandle, Proc);
    ASSERT_NE(AParty.Node, nullptr);
  }
};

// The same parties on a framework control and on a plain window.
TEST_F(SubclassingTest, NewestHookFirstAndInitialProcedureBackOnlyAfterTheLast) {
  for (bool onControl : {true, false}) {
    SCOPED_TRACE(onControl ? "framework control" : "plain window");
    TLoggingControl control(nullptr);
    HWND window = onControl ? nullptr : MakePlainWindow();
    const TWndMethod initialMethod = control.WindowProc();
    const LONG_PTR initialProc = window ? GetWindowLongPtr(window, GWL_WNDPROC) : 0;
    auto send = [&] {
      FLog.clear();
      return onControl ? control.Perform(WM_PROBE, 0, 0) : SendMessage(window, WM_PROBE, 0, 0);
    };
    auto restored = [&] {
      return onControl ? control.WindowProc() == initialMethod : GetWindowLongPtr(window, GWL_WNDPROC) == initialProc;
    };

    TParty a{"A"}, b{"B"};
    Hook(a, onControl ? &control : nullptr, window);
    Hook(b, onControl ? &control : nullptr, window);
    EXPECT_EQ(FController.ChainCount(), 1);
    EXPECT_EQ(send(), 7);
    EXPECT_EQ(FLog, (std::vector<std::string>{"B", "A", "initial"}));

    b.Swallow = true;
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(FLog, (std::vector<std::string>{"B"}));
    b.Swallow = false;

    FController.RemoveWndProc(a.Node);
    EXPECT_EQ(a.Node, nullptr);
    EXPECT_FALSE(restored());
    send();
    EXPECT_EQ(FLog, (std::vector<std::string>{"B", "initial"}));

    FController.RemoveWndProc(b.Node);
    EXPECT_TRUE(restored());
    EXPECT_EQ(FController.ChainCount(), 0);
    send();
    EXPECT_EQ(FLog, (std::vector<std::string>{"initial"}));
    if (window) DestroyWindow(window);
  }
}

TEST_F(SubclassingTest, PlainWindowGetsTheProcedureSavedAtInstallationBack) {
  HWND window = MakePlainWindow();
  TParty a{"A"};
  Hook(a, nullptr, window);
  SetWindowLongPtr(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&IntruderProc));
  FController.RemoveWndProc(a.Node);
  EXPECT_EQ(GetWindowLongPtr(window, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&InitialProc));
  DestroyWindow(window);
}

TEST_F(SubclassingTest, NullInputsDoNothing) {
  TcxWindowProcLinkedObject* none = nullptr;
  FController.RemoveWndProc(none);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(FController.AddControlWndProc(nullptr, TWndMethod([](TMessage&) {})), nullptr);
  EXPECT_EQ(FController.AddHandleWndProc(nullptr, TWndMethod([](TMessage&) {})), nullptr);
  EXPECT_EQ(FController.ChainCount(), 0);
}

TEST_F(SubclassingTest, HookMayRemoveItselfWhileHandlingAMessage) {
  TLoggingControl control(nullptr);
  const TWndMethod initialMethod = control.WindowProc();
  TcxWindowProcLinkedObject* node = nullptr;
  node = FController.AddControlWndProc(&control, TWndMethod([&](TMessage& M) {
    TcxWindowProcLinkedObject* self = node;
    FController.RemoveWndProc(node);
    Log("self-removing");
    M.Result = 3;
    (void)self;
  }));
  EXPECT_EQ(control.Perform(WM_PROBE, 0, 0), 3);
  EXPECT_TRUE(control.WindowProc() == initialMethod);
  EXPECT_EQ(control.Perform(WM_PROBE, 0, 0), 7);
}

// Freeing the controller restores every window it still hooks.
TEST_F(SubclassingTest, FreeingTheControllerRestoresEveryChain) {
  TLoggingControl control(nullptr);
  HWND window = MakePlainWindow();
  const TWndMethod initialMethod = control.WindowProc();
  const LONG_PTR initialProc = GetWindowLongPtr(window, GWL_WNDPROC);
  {
    TcxWindowProcController controller;
    TParty a{"A"}, b{"B"};
    a.Node = controller.AddControlWndProc(&control, TWndMethod(&a, &TParty::WndProc));
    b.Node = controller.AddHandleWndProc(window, TWndMethod(&b, &TParty::WndProc));
  }
  EXPECT_TRUE(control.WindowProc() == initialMethod);
  EXPECT_EQ(GetWindowLongPtr(window, GWL_WNDPROC), initialProc);
  DestroyWindow(window);
}

// ---- Messages controller ----------------------------------------------------------------

class MessagesControllerTest : public ::testing::Test {
 protected:
  std::vector<std::string> FLog;
  HWND FWindow = nullptr;
  void SetUp() override {
    GLog = &FLog;
    rtl::testing::RunUntilIdle();
    FWindow = MakePlainWindow();
  }
  void TearDown() override {
    DestroyWindow(FWindow);
    GLog = nullptr;
  }
};

TEST_F(MessagesControllerTest, SecondSwallowFailsAndTheFirstStaysArmed) {
  TdxMessagesController controller;
  controller.SwallowNextMessage(FWindow);
  try {
    controller.SwallowNextMessage(FWindow);
    FAIL() << "no exception";
  } catch (EdxException& E) {
    EXPECT_EQ(E.Message(), "dxLockMessage fails");
  }
  EXPECT_EQ(SendMessage(FWindow, WM_PROBE, 0, 0), 1);
  EXPECT_TRUE(FLog.empty());
  EXPECT_FALSE(controller.SwallowPending());
  EXPECT_EQ(GetWindowLongPtr(FWindow, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&InitialProc));
  EXPECT_EQ(SendMessage(FWindow, WM_PROBE, 0, 0), 7);
  EXPECT_EQ(FLog, (std::vector<std::string>{"initial"}));
}

TEST_F(MessagesControllerTest, FreedWithASwallowArmedPutsTheProcedureBack) {
  {
    TdxMessagesController controller;
    controller.SwallowNextMessage(FWindow);
  }
  EXPECT_EQ(GetWindowLongPtr(FWindow, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&InitialProc));
  EXPECT_EQ(SendMessage(FWindow, WM_PROBE, 0, 0), 7);
}

TEST_F(MessagesControllerTest, FlushWithOnlyQuitQueuedRepostsItAndAnswersFalse) {
  TdxMessagesController controller;
  PostQuitMessage(5);
  EXPECT_FALSE(controller.FlushMessages());
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 5u);
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(MessagesControllerTest, FlushRemovesOnlyItsRangeAndOneUnlessAll) {
  struct TCase {
    UINT First, Last;
    bool All;
    std::vector<UINT> Left;
  };
  const std::vector<TCase> cases = {
      {WM_USER + 1, WM_USER + 2, true, {WM_USER + 3}},
      {WM_USER + 1, WM_USER + 2, false, {WM_USER + 2, WM_USER + 3}},
      {WM_USER + 2, 0, true, {WM_USER + 1, WM_USER + 3}},
  };
  TdxMessagesController controller;
  for (const TCase& c : cases) {
    for (UINT m : {WM_USER + 1, WM_USER + 2, WM_USER + 3}) PostMessage(FWindow, m, 0, 0);
    EXPECT_TRUE(controller.FlushMessages(FWindow, c.First, c.All, c.Last));
    std::vector<UINT> left;
    MSG msg;
    while (PeekMessage(&msg, FWindow, 0, 0, PM_REMOVE)) left.push_back(msg.message);
    EXPECT_EQ(left, c.Left) << c.First << ".." << c.Last;
  }
  EXPECT_FALSE(controller.FlushMessages(FWindow, WM_USER + 1, true, WM_USER + 3));
}

HHOOK GHook = nullptr;
TdxMessagesController* GBlocker = nullptr;

LRESULT BlockingHook(int code, WPARAM w, LPARAM l) {
  if (code >= 0 && w == PM_REMOVE) {
    auto* msg = reinterpret_cast<MSG*>(l);
    GBlocker->BlockLockedMessage(msg->hwnd, msg->message);
  }
  return CallNextHookEx(GHook, code, w, l);
}

TEST_F(MessagesControllerTest, LockedTwiceUnlockedOnceStillBecomesNull) {
  TdxMessagesController controller;
  controller.LockMessages({WM_PROBE, WM_PROBE});
  controller.UnlockMessages({WM_PROBE});
  EXPECT_TRUE(controller.IsMessageLocked(WM_PROBE));

  GBlocker = &controller;
  GHook = SetWindowsHookEx(WH_GETMESSAGE, &BlockingHook, nullptr, GetCurrentThreadId());
  PostMessage(FWindow, WM_PROBE, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, FWindow, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_NULL));
  EXPECT_EQ(DispatchMessage(&msg), 1);
  EXPECT_TRUE(FLog.empty());
  UnhookWindowsHookEx(GHook);

  controller.UnlockMessages({WM_PROBE});
  EXPECT_FALSE(controller.IsMessageLocked(WM_PROBE));
  EXPECT_EQ(SendMessage(FWindow, WM_PROBE, 0, 0), 7);
}

// ---- System info ----------------------------------------------------------------------

class TListener : public TcxIUnknownObject, public IdxSystemInfoChangeListener {
 public:
  std::string Name;
  explicit TListener(const std::string& AName) : Name(AName) {}
  HRESULT QueryInterface(REFIID riid, void** p) override { return TcxIUnknownObject::QueryInterface(riid, p); }
  ULONG AddRef() override { return TcxIUnknownObject::AddRef(); }
  ULONG Release() override { return TcxIUnknownObject::Release(); }
  void SystemParameterChanged(UINT AParameter) override { Log(Name + ":" + std::to_string(AParameter)); }
};

class SystemInfoTest : public ::testing::Test {
 protected:
  std::vector<std::string> FLog;
  void SetUp() override { GLog = &FLog; }
  void TearDown() override {
    GLog = nullptr;
    rtl::testing::ResetSystemInfo();
  }
};

TEST_F(SystemInfoTest, SettingChangeRefreshesTheMetricsAndTellsListenersInOrder) {
  // Listeners outlive the object that holds them, as they must.
  TListener first("first"), second("second");
  TdxSystemInfo info;
  EXPECT_EQ(info.CachedNonClientMetrics.cbSize, 340u);
  info.AddChangeListener(&first);
  info.AddChangeListener(&second);

  NONCLIENTMETRICSA metrics = info.CachedNonClientMetrics;
  const int oldWidth = metrics.iScrollWidth;
  metrics.iScrollWidth = oldWidth + 9;
  ASSERT_TRUE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  EXPECT_EQ(info.CachedNonClientMetrics.iScrollWidth, oldWidth);

  EXPECT_EQ(SendMessage(info.Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0), 0);
  EXPECT_EQ(info.CachedNonClientMetrics.iScrollWidth, oldWidth + 9);
  EXPECT_EQ(FLog, (std::vector<std::string>{"first:42", "second:42"}));

  FLog.clear();
  SendMessage(info.Handle(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_TRUE(FLog.empty());

  info.RemoveChangeListener(&first);
  SendMessage(info.Handle(), WM_SETTINGCHANGE, 47, 0);
  EXPECT_EQ(FLog, (std::vector<std::string>{"second:47"}));
}

TEST_F(SystemInfoTest, DropShadowFollowsItsChangeAndRemoteSessionItsMetric) {
  TdxSystemInfo info;
  BOOL on = !info.DropShadowEnabled;
  SystemParametersInfo(SPI_SETDROPSHADOW, 0, reinterpret_cast<void*>(static_cast<intptr_t>(on)), 0);
  SendMessage(info.Handle(), WM_SETTINGCHANGE, 4133, 0);
  EXPECT_EQ(info.DropShadowEnabled, on != FALSE);

  EXPECT_FALSE(info.IsRemoteSession());
  rtl::testing::SetSystemMetric(SM_REMOTESESSION, 1);
  EXPECT_TRUE(info.IsRemoteSession());
}

TEST_F(SystemInfoTest, ListenerLeavingWhileBeingToldStopsOnlyItself) {
  TdxSystemInfo info;
  struct TLeaving : TListener {
    TdxSystemInfo* Info;
    TListener* Other;
    TLeaving(TdxSystemInfo* AInfo, TListener* AOther) : TListener("leaving"), Info(AInfo), Other(AOther) {}
    void SystemParameterChanged(UINT AParameter) override {
      TListener::SystemParameterChanged(AParameter);
      Info->RemoveChangeListener(this);
      Info->RemoveChangeListener(Other);
    }
  };
  TListener last("last");
  TLeaving leaving(&info, &last);
  info.AddChangeListener(&leaving);
  info.AddChangeListener(&last);
  SendMessage(info.Handle(), WM_SETTINGCHANGE, 42, 0);
  EXPECT_EQ(FLog, (std::vector<std::string>{"leaving:42"}));
}

// ---- Message windows --------------------------------------------------------------------

class TFailingWindow : public TcxMessageWindow {
 protected:
  void ProcessMessage(TMessage& Message) override {
    if (Message.Msg == WM_PROBE) throw Exception("probe failed");
    TcxMessageWindow::ProcessMessage(Message);
  }
};

TEST(MessageWindowTest, ExceptionGoesToTheApplicationNotOutOfTheProcedure) {
  std::vector<std::string> reports;
  // These tests run without the forms unit: an application of their own.
  std::unique_ptr<TApplication> own;
  if (!Application) {
    own.reset(new TApplication(nullptr));
    Application = own.get();
  }
  TExceptionEvent saved = Application->OnException;
  Application->OnException = TExceptionEvent([&](TObject*, Exception* E) { reports.push_back(E->Message()); });
  TFailingWindow window;
  EXPECT_NO_THROW(SendMessage(window.Handle(), WM_PROBE, 0, 0));
  Application->OnException = saved;
  if (own) Application = nullptr;
  EXPECT_EQ(reports, (std::vector<std::string>{"probe failed"}));
}

TEST(MessageWindowTest, SystemControllerRunsQueuedSynchronisations) {
  TcxSystemController controller;
  bool ran = false;
  std::thread worker([&] { TThread::Queue(nullptr, [&] { ran = true; }); });
  worker.join();
  SendMessage(controller.Handle(), TcxSystemController::WM_SYNCHRONIZE, 0, 0);
  EXPECT_TRUE(ran);
}

}  // namespace

// ---- The unit's start-up and shut-down -----------------------------------------------------

namespace {

class TChildComponent : public TComponent {
  RTL_CLASS(TChildComponent, TComponent)

 public:
  explicit TChildComponent(TComponent* AOwner) : TComponent(AOwner) {}
};
RTL_IMPLEMENT_CLASS(TChildComponent)

class TLateChildComponent : public TComponent {
  RTL_CLASS(TLateChildComponent, TComponent)

 public:
  explicit TLateChildComponent(TComponent* AOwner) : TComponent(AOwner) {}
};
RTL_IMPLEMENT_CLASS(TLateChildComponent)

int GTrackingHookCalls = 0;

TEST(ControlsUnit, StartUpLoadsTheCursorsAndShutDownRestoresEverythingWhateverHappens) {
  std::unique_ptr<TScreen> ownScreen;
  if (!Screen) {
    ownScreen.reset(new TScreen(nullptr));
    Screen = ownScreen.get();
  }
  const HCURSOR fallback = Screen->Cursors(crDefault);
  cxSetControlChildComponentClass(TChildComponent::StaticClass());
  cx_controls_detail::StartControls();

  std::vector<HCURSOR> handles;
  for (Integer id = 2100; id <= 2117; ++id) handles.push_back(Screen->Cursors(id));
  handles.push_back(Screen->Cursors(-2099));
  for (size_t i = 0; i < handles.size(); ++i) {
    EXPECT_NE(handles[i], nullptr) << i;
    EXPECT_NE(handles[i], fallback) << i;
    for (size_t j = 0; j < i; ++j) EXPECT_NE(handles[i], handles[j]) << i << " " << j;
  }
  EXPECT_EQ(handles.back(), LoadCursor(nullptr, IDC_HAND));
  EXPECT_EQ(Screen->Cursors(2118), fallback);

  EXPECT_EQ(ClassGroupOf(TChildComponent::StaticClass()), TControl::StaticClass());
  cxSetControlChildComponentClass(TLateChildComponent::StaticClass());
  EXPECT_EQ(ClassGroupOf(TLateChildComponent::StaticClass()), TControl::StaticClass());
  EXPECT_NE(cx_controls_detail::SystemController(), nullptr);

  // A window and a control still hooked when the unit shuts down, and a
  // mouse-tracking list that fails to stop.
  HWND window = MakePlainWindow();
  const LONG_PTR initialProc = GetWindowLongPtr(window, GWL_WNDPROC);
  TLoggingControl control(nullptr);
  const TWndMethod initialMethod = control.WindowProc();
  ASSERT_NE(cxGetWindowProcController()->AddHandleWndProc(window, TWndMethod([](TMessage&) {})), nullptr);
  ASSERT_NE(cxGetWindowProcController()->AddControlWndProc(&control, TWndMethod([](TMessage&) {})), nullptr);
  ASSERT_NE(dxGetSystemInfo(), nullptr);
  ASSERT_NE(cxGetMessageWindow(), nullptr);
  ASSERT_NE(dxGetMessagesController(), nullptr);
  GTrackingHookCalls = 0;
  cx_controls_detail::SetMouseTrackingShutDownHook([] {
    ++GTrackingHookCalls;
    throw EdxException("MouseTrackingTimerList.Count <> 0");
  });

  cx_controls_detail::StopControls();
  cx_controls_detail::SetMouseTrackingShutDownHook(nullptr);
  EXPECT_EQ(GTrackingHookCalls, 1);
  EXPECT_EQ(GetWindowLongPtr(window, GWL_WNDPROC), initialProc);
  EXPECT_TRUE(control.WindowProc() == initialMethod);
  EXPECT_EQ(cx_controls_detail::SystemController(), nullptr);
  EXPECT_EQ(cxGetWindowProcController(), nullptr);
  EXPECT_EQ(dxGetSystemInfo(), nullptr);
  EXPECT_EQ(cxGetMessageWindow(), nullptr);
  EXPECT_EQ(dxGetMessagesController(), nullptr);
  DestroyWindow(window);

  // Started again, the accessors make new instances.
  cx_controls_detail::StartControls();
  EXPECT_NE(dxGetMessagesController(), nullptr);
  cx_controls_detail::StopControls();
  cxSetControlChildComponentClass(nullptr);
  if (ownScreen) Screen = nullptr;
}

}  // namespace

namespace {

TEST(UpwardServices, DesignTimeAsksThePredicateFirst) {
  TComponent plain(nullptr), special(nullptr);
  plain.SetDesigning(true);
  EXPECT_TRUE(cxIsDesignTime(&plain));
  EXPECT_FALSE(cxIsDesignTime(&special));
  EXPECT_FALSE(cxIsDesignTime(nullptr));
  static TComponent* GSpecial = &special;
  cxSetDesignTimePredicate([](TComponent* c, bool& designTime) {
    if (c != GSpecial) return false;
    designTime = true;
    return true;
  });
  EXPECT_TRUE(cxIsDesignTime(&special));
  EXPECT_TRUE(cxIsDesignTime(&plain));
  cxSetDesignTimePredicate(nullptr);
  EXPECT_FALSE(cxIsDesignTime(&special));
}

}  // namespace
