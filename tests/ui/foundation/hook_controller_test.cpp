#include "ui/foundation/hook_controller.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/rtl/threads.h"
#include "platform/testing/user_testing.h"
#include "platform/win/user/user.h"

using rtl::testing::ClientPoint;
using rtl::testing::InjectClick;

namespace {

constexpr UINT WM_PROBE = WM_USER + 41;

std::vector<std::string> GHookLog;
// What each numbered handler does besides logging itself.
std::function<void(int, LRESULT&)> GAction[6];

template <int N>
void Handler(int Code, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
  (void)WParam;
  (void)LParam;
  if (Code < 0) return;
  GHookLog.push_back("H" + std::to_string(N));
  if (GAction[N]) GAction[N](Code, Result);
}
constexpr TdxHookHandlerProc H[6] = {&Handler<0>, &Handler<1>, &Handler<2>, &Handler<3>, &Handler<4>, &Handler<5>};

LRESULT ProbeProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PROBE) GHookLog.push_back("window");
  if (msg == WM_LBUTTONDOWN) GHookLog.push_back("click");
  return DefWindowProcA(hwnd, msg, w, l);
}

HWND MakeHookWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &ProbeProc;
    wc.lpszClassName = "dxHookProbe";
    RegisterClassA(&wc);
    registered = true;
  }
  return CreateWindowExA(0, "dxHookProbe", "", WS_POPUP | WS_VISIBLE, 40, 40, 100, 80, nullptr, nullptr, nullptr,
                         nullptr);
}

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

// A hook of someone else's, installed before the controller's, so that the
// chain's next hook is observable.
int GForeignCalls = 0;
HHOOK GForeign = nullptr;
LRESULT ForeignHook(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code >= 0) ++GForeignCalls;
  return CallNextHookEx(GForeign, Code, WParam, LParam);
}

class HookControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dx_core_detail::StartHooks();
    GHookLog.clear();
    for (auto& a : GAction) a = nullptr;
    GForeignCalls = 0;
    Window = MakeHookWindow();
    Pump();
  }
  void TearDown() override {
    dx_core_detail::StopHooks();  // uninstalls whatever a test left behind
    if (GForeign) UnhookWindowsHookEx(GForeign);
    GForeign = nullptr;
    DestroyWindow(Window);
    Pump();
  }
  static TdxSystemHook* Hook(TdxHookKind Kind) { return dxHookController()->Hook(Kind); }
  std::vector<std::string> Probe() {
    GHookLog.clear();
    SendMessageA(Window, WM_PROBE, 0, 0);
    return GHookLog;
  }
  HWND Window = nullptr;
};

using HookLog = std::vector<std::string>;

TEST_F(HookControllerTest, NewestHandlerRunsFirstAndTheCallWndProcKindSeesSendMessageBeforeTheWindow) {
  dxAddHookHandler(hkCallWndProc, H[0]);
  dxAddHookHandler(hkCallWndProc, H[1]);
  EXPECT_NE(Hook(hkCallWndProc)->Handle(), nullptr);
  EXPECT_EQ(Probe(), (HookLog{"H1", "H0", "window"}));
}

TEST_F(HookControllerTest, ARegistrationPerOccurrenceAndOneRemovalPerKind) {
  GForeign = SetWindowsHookExA(WH_CALLWNDPROC, &ForeignHook, nullptr, GetCurrentThreadId());
  dxAddHookHandler(hkCallWndProc, H[0]);
  dxAddHookHandler(hkCallWndProc, H[0]);
  dxAddHookHandler(hkMouse, H[0]);
  EXPECT_EQ(Probe(), (HookLog{"H0", "H0", "window"}));
  EXPECT_EQ(GForeignCalls, 1) << "the next hook is called once per event";

  dxRemoveHookHandler(H[0]);
  EXPECT_EQ(Hook(hkCallWndProc)->HandlerCount(), 1);
  EXPECT_NE(Hook(hkCallWndProc)->Handle(), nullptr) << "one occurrence is left, the hook stays";
  EXPECT_EQ(Hook(hkMouse)->HandlerCount(), 0);
  EXPECT_EQ(Hook(hkMouse)->Handle(), nullptr) << "the emptied kind is uninstalled";
  EXPECT_EQ(Probe(), (HookLog{"H0", "window"}));

  dxRemoveHookHandler(H[0]);
  EXPECT_EQ(Hook(hkCallWndProc)->Handle(), nullptr);
  GForeignCalls = 0;
  EXPECT_EQ(Probe(), (HookLog{"window"}));
  EXPECT_EQ(GForeignCalls, 1) << "the foreign hook is still in the chain";

  dxRemoveHookHandler(H[5]);  // never registered: nothing changes
  EXPECT_EQ(Probe(), (HookLog{"window"}));
}

TEST_F(HookControllerTest, ARaisingHandlerIsReportedOncePerEventAndTheOthersStillRun) {
  std::unique_ptr<TApplication> own;
  if (!Application) {
    own.reset(new TApplication(nullptr));
    Application = own.get();
  }
  std::vector<std::string> reports;
  TExceptionEvent saved = Application->OnException;
  Application->OnException = TExceptionEvent([&](TObject*, Exception* E) { reports.push_back(E->Message()); });
  GForeign = SetWindowsHookExA(WH_CALLWNDPROC, &ForeignHook, nullptr, GetCurrentThreadId());
  GAction[1] = [](int, LRESULT&) { throw Exception("handler failed"); };
  dxAddHookHandler(hkCallWndProc, H[0]);
  dxAddHookHandler(hkCallWndProc, H[1]);
  dxAddHookHandler(hkCallWndProc, H[2]);
  EXPECT_EQ(Probe(), (HookLog{"H2", "H1", "H0", "window"}));
  EXPECT_EQ(Probe(), (HookLog{"H2", "H1", "H0", "window"}));
  EXPECT_EQ(reports, (std::vector<std::string>{"handler failed", "handler failed"}));
  EXPECT_EQ(GForeignCalls, 2);
  Application->OnException = saved;
  if (own) Application = nullptr;
}

TEST_F(HookControllerTest, AResultOfOneSwallowsTheClickWhileTheNextHookStillSeesIt) {
  GForeign = SetWindowsHookExA(WH_MOUSE, &ForeignHook, nullptr, GetCurrentThreadId());
  GAction[1] = [](int, LRESULT& Result) { Result = 1; };
  dxAddHookHandler(hkMouse, H[0]);
  dxAddHookHandler(hkMouse, H[1]);
  InjectClick(ClientPoint(Window, 10, 10));
  Pump();
  int clicks = 0, h0 = 0;
  for (const std::string& e : GHookLog) clicks += e == "click", h0 += e == "H0";
  EXPECT_EQ(clicks, 0) << "the window never sees the swallowed press";
  EXPECT_GT(h0, 0) << "a later handler leaving the result alone does not undo it";
  EXPECT_GT(GForeignCalls, 0);

  dxRemoveHookHandler(H[1]);
  GHookLog.clear();
  InjectClick(ClientPoint(Window, 10, 10));
  Pump();
  clicks = 0;
  for (const std::string& e : GHookLog) clicks += e == "click";
  EXPECT_EQ(clicks, 1);
}

TEST_F(HookControllerTest, TheGetMessageKindCanTurnAMessageIntoNothing) {
  dxAddHookHandler(hkGetMessage, [](int Code, WPARAM, LPARAM LParam, LRESULT&) {
    auto* m = reinterpret_cast<MSG*>(LParam);
    if (Code >= 0 && m->message == WM_PROBE) m->message = WM_NULL;
  });
  GHookLog.clear();
  PostMessageA(Window, WM_PROBE, 0, 0);
  Pump();
  EXPECT_TRUE(GHookLog.empty());
  dx_core_detail::StopHooks();  // the destructor uninstalls what is left
  dx_core_detail::StartHooks();
  PostMessageA(Window, WM_PROBE, 0, 0);
  Pump();
  EXPECT_EQ(GHookLog, (HookLog{"window"}));
}

// Handlers H0..H3 registered in that order (H3 runs first); what one of them
// does during the walk, and who runs in that event and the next.
TEST_F(HookControllerTest, RemovalAndAdditionDuringTheWalk) {
  struct TCase {
    const char* What;
    int Actor;
    std::function<void()> Act;
    HookLog First, Second;
  } const cases[] = {
      {"removes itself", 2, [] { dxRemoveHookHandler(H[2]); },
       {"H3", "H2", "H1", "H0", "window"}, {"H3", "H1", "H0", "window"}},
      {"removes one below it", 3, [] { dxRemoveHookHandler(H[1]); },
       {"H3", "H2", "H0", "window"}, {"H3", "H2", "H0", "window"}},
      {"removes several above it", 1, [] { dxRemoveHookHandler(H[3]); dxRemoveHookHandler(H[2]); },
       {"H3", "H2", "H1", "H0", "window"}, {"H1", "H0", "window"}},
      {"removes everyone", 2, [] { for (int i = 0; i < 4; ++i) dxRemoveHookHandler(H[i]); },
       {"H3", "H2", "window"}, {"window"}},
      {"adds a handler", 3, [] { dxAddHookHandler(hkCallWndProc, H[4]); },
       {"H3", "H2", "H1", "H0", "window"}, {"H4", "H3", "H2", "H1", "H0", "window"}},
  };
  for (const TCase& c : cases) {
    for (int i = 0; i < 4; ++i) dxAddHookHandler(hkCallWndProc, H[i]);
    bool once = true;
    GAction[c.Actor] = [&](int, LRESULT&) {
      if (once) c.Act();
      once = false;
    };
    EXPECT_EQ(Probe(), c.First) << c.What;
    EXPECT_EQ(Probe(), c.Second) << c.What;
    GAction[c.Actor] = nullptr;
    for (int i = 0; i < 5; ++i)
      while (Hook(hkCallWndProc)->RemoveHandler(H[i])) {
      }
    EXPECT_EQ(Hook(hkCallWndProc)->Handle(), nullptr) << c.What;
  }
}

}  // namespace
