// Injected input: mouse messages and their packing, double clicks, the
// non-client area, HTTRANSPARENT, capture, activation by clicks, the wheel,
// key messages and key state, translation to characters, mouse tracking.
#include <functional>

#include "platform/backend/backend.h"
#include "platform/win/user/user_native.h"
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;
using rtl::testing::ClientPoint;
using rtl::testing::InjectClick;
using rtl::testing::InjectKey;
using rtl::testing::InjectKeyPress;
using rtl::testing::InjectMouseMove;
using rtl::testing::RunUntilIdle;

class UserInputTest : public TUserTest {
 protected:
  std::vector<TLogged> Only(HWND h, std::initializer_list<UINT> msgs) {
    std::vector<TLogged> r;
    for (const TLogged& l : Log.Items)
      if ((!h || l.Hwnd == h) && std::find(msgs.begin(), msgs.end(), l.Msg) != msgs.end()) r.push_back(l);
    return r;
  }
};

TEST_F(UserInputTest, ClickCarriesClientCoordinatesAndKeyFlags) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 300, 300));
  RunUntilIdle();
  Log.Clear();
  InjectKey(VK_SHIFT, true);
  InjectClick(POINT(150, 160));
  InjectKey(VK_SHIFT, false);
  RunUntilIdle();
  auto clicks = Only(a, {WM_LBUTTONDOWN, WM_LBUTTONUP});
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].WParam, static_cast<WPARAM>(MK_LBUTTON | MK_SHIFT));
  EXPECT_EQ(clicks[0].LParam, MAKELPARAM(50, 60));
  EXPECT_EQ(clicks[1].WParam, static_cast<WPARAM>(MK_SHIFT));
  EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(150, 160)));
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p, POINT(150, 160));
}

struct TDoubleCase {
  const char* Name;
  const char* Class;
  uint32_t Pause;  // ms between the clicks
  int Shift;       // pixels between the clicks
  int Clicks;
  std::vector<UINT> Downs;
};

class UserDoubleClickTest : public UserInputTest, public ::testing::WithParamInterface<TDoubleCase> {};

TEST_P(UserDoubleClickTest, FollowsTimeDistanceAndClassStyle) {
  const TDoubleCase& c = GetParam();
  HWND a = Make(0, c.Class, WS_POPUP | WS_VISIBLE, RECT(0, 0, 200, 200));
  RunUntilIdle();
  Log.Clear();
  for (int i = 0; i < c.Clicks; ++i) {
    InjectClick(POINT(50 + i * c.Shift, 50));
    RunUntilIdle();
    rtl::testing::AdvanceClock(c.Pause);
  }
  std::vector<UINT> downs;
  for (const TLogged& l : Only(a, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK})) downs.push_back(l.Msg);
  EXPECT_EQ(downs, c.Downs);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, UserDoubleClickTest,
    ::testing::Values(
        TDoubleCase{"Quick", "UserTestDbl", 100, 0, 2, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}},
        TDoubleCase{"NoClassStyle", "UserTestLog", 100, 0, 2, {WM_LBUTTONDOWN, WM_LBUTTONDOWN}},
        TDoubleCase{"TooSlow", "UserTestDbl", 501, 0, 2, {WM_LBUTTONDOWN, WM_LBUTTONDOWN}},
        TDoubleCase{"TooFar", "UserTestDbl", 100, 3, 2, {WM_LBUTTONDOWN, WM_LBUTTONDOWN}},
        TDoubleCase{"Third", "UserTestDbl", 100, 0, 3, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}}),
    [](const ::testing::TestParamInfo<TDoubleCase>& i) { return std::string(i.param.Name); });

TEST_F(UserInputTest, FrameClicksAreNonClientMessages) {
  HWND a = MakeTop(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, RECT(100, 100, 300, 300));
  RunUntilIdle();
  Log.Clear();
  RECT wr;
  GetWindowRect(a, &wr);
  POINT caption(wr.Left + 60, wr.Top + 10);
  InjectMouseMove(caption);
  RunUntilIdle();
  auto moves = Only(a, {WM_NCMOUSEMOVE});
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].WParam, static_cast<WPARAM>(HTCAPTION));
  EXPECT_EQ(moves[0].LParam, MAKELPARAM(caption.X, caption.Y));
  EXPECT_EQ(SendMessageA(a, WM_NCHITTEST, 0, MAKELPARAM(wr.Right - 8, wr.Top + 10)), HTCLOSE);
  EXPECT_EQ(SendMessageA(a, WM_NCHITTEST, 0, MAKELPARAM(wr.Left + 10, wr.Top + 10)), HTSYSMENU);
  EXPECT_EQ(SendMessageA(a, WM_NCHITTEST, 0, MAKELPARAM(wr.Left + 60, wr.Top + 60)), HTCLIENT);
}

TEST_F(UserInputTest, SizingFrameHitCodes) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  struct TCase {
    POINT Pt;
    LRESULT Hit;
  } cases[] = {
      {POINT(101, 200), HTLEFT},       {POINT(298, 200), HTRIGHT},       {POINT(200, 101), HTTOP},
      {POINT(200, 298), HTBOTTOM},     {POINT(101, 101), HTTOPLEFT},     {POINT(298, 101), HTTOPRIGHT},
      {POINT(101, 298), HTBOTTOMLEFT}, {POINT(298, 298), HTBOTTOMRIGHT}, {POINT(400, 400), HTNOWHERE},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(SendMessageA(a, WM_NCHITTEST, 0, MAKELPARAM(c.Pt.X, c.Pt.Y)), c.Hit) << c.Pt.X << "," << c.Pt.Y;
  // A maximised window cannot be sized from its border.
  ShowWindow(a, SW_MAXIMIZE);
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(SendMessageA(a, WM_NCHITTEST, 0, MAKELPARAM(r.Left + 1, r.Top + 100)), HTBORDER);
}

LRESULT TransparentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  if (m == WM_NCHITTEST) return HTTRANSPARENT;
  return DefWindowProcA(h, m, w, l);
}

TEST_F(UserInputTest, TransparentHitPassesToTheWindowBelowAcrossTopLevelWindows) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = TransparentProc;
  wc.lpszClassName = "UserTestTransparent";
  RegisterClassA(&wc);
  HWND below = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 200, 200));
  HWND parent = MakeTop(WS_POPUP | WS_VISIBLE, RECT(50, 50, 250, 250));
  HWND glass = MakeChild(parent, WS_VISIBLE, RECT(0, 0, 100, 100), "UserTestTransparent");
  HWND cover = Make(0, "UserTestTransparent", WS_POPUP | WS_VISIBLE, RECT(0, 0, 300, 300));
  RunUntilIdle();
  // Inside the child: the child and the covering window pass, the parent takes it.
  EXPECT_EQ(WindowFromPoint(POINT(60, 60)), parent);
  // Outside the parent: through the cover to the window below.
  EXPECT_EQ(WindowFromPoint(POINT(20, 20)), below);
  Log.Clear();
  InjectClick(POINT(60, 60));
  InjectClick(POINT(20, 20));
  RunUntilIdle();
  EXPECT_EQ(Only(parent, {WM_LBUTTONDOWN}).size(), 1u);
  EXPECT_EQ(Only(below, {WM_LBUTTONDOWN}).size(), 1u);
  EXPECT_TRUE(Only(glass, {WM_LBUTTONDOWN}).empty());
  EXPECT_TRUE(Only(cover, {WM_LBUTTONDOWN}).empty());
  auto down = Only(parent, {WM_LBUTTONDOWN});
  EXPECT_EQ(down[0].LParam, MAKELPARAM(10, 10));
}

TEST_F(UserInputTest, CaptureHeldByAPopupGetsAllMouseInput) {
  HWND main = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(0, 0, 400, 400));
  HWND other = MakeTop(WS_POPUP | WS_VISIBLE, RECT(500, 0, 600, 100));
  SetActiveWindow(main);
  HWND popup = Make(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "UserTestLog", WS_POPUP, RECT(100, 100, 200, 200), main);
  ShowWindow(popup, SW_SHOWNA);
  RunUntilIdle();
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(SetCapture(popup), nullptr);
  Log.Clear();
  InjectClick(POINT(550, 50));  // over another window
  InjectClick(POINT(700, 700));  // over nothing at all
  RunUntilIdle();
  auto downs = Only(nullptr, {WM_LBUTTONDOWN});
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].Hwnd, popup);
  EXPECT_EQ(downs[0].LParam, MAKELPARAM(450, -50));
  EXPECT_EQ(downs[1].Hwnd, popup);
  // Capture does not activate anything.
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_TRUE(Only(other, {WM_MOUSEACTIVATE}).empty());
  // Another window takes the capture: the popup is told who.
  Log.Clear();
  SetCapture(other);
  auto changed = Only(popup, {WM_CAPTURECHANGED});
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0].LParam, reinterpret_cast<LPARAM>(other));
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Only(other, {WM_CAPTURECHANGED}).size(), 1u);
}

LRESULT NoActivateProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  if (m == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return DefWindowProcA(h, m, w, l);
}

LRESULT EatProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  if (m == WM_MOUSEACTIVATE) return MA_ACTIVATEANDEAT;
  return DefWindowProcA(h, m, w, l);
}

TEST_F(UserInputTest, ClicksActivateUnlessTheWindowSaysOtherwise) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = NoActivateProc;
  wc.lpszClassName = "UserTestNoActivate";
  RegisterClassA(&wc);
  wc.lpfnWndProc = EatProc;
  wc.lpszClassName = "UserTestEat";
  RegisterClassA(&wc);
  HWND main = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100));
  HWND plain = MakeTop(WS_POPUP | WS_VISIBLE, RECT(200, 0, 300, 100));
  HWND refusing = Make(0, "UserTestNoActivate", WS_POPUP | WS_VISIBLE, RECT(400, 0, 500, 100));
  HWND flagged = MakeTop(WS_POPUP | WS_VISIBLE, RECT(600, 0, 700, 100), WS_EX_NOACTIVATE);
  HWND eating = Make(0, "UserTestEat", WS_POPUP | WS_VISIBLE, RECT(800, 0, 900, 100));
  SetActiveWindow(main);
  RunUntilIdle();
  struct TCase {
    HWND Target;
    HWND Active;  // afterwards
    bool Clicked;
  } cases[] = {{refusing, main, true}, {flagged, main, true}, {eating, eating, false}, {plain, plain, true}};
  for (const TCase& c : cases) {
    Log.Clear();
    RECT r;
    GetWindowRect(c.Target, &r);
    InjectClick(POINT(r.Left + 10, r.Top + 10));
    RunUntilIdle();
    EXPECT_EQ(GetActiveWindow(), c.Active);
    EXPECT_EQ(Only(c.Target, {WM_MOUSEACTIVATE}).size(), 1u);
    EXPECT_EQ(Only(c.Target, {WM_LBUTTONDOWN}).size(), c.Clicked ? 1u : 0u);
  }
  auto act = Only(plain, {WM_ACTIVATE});
  ASSERT_FALSE(act.empty());
  EXPECT_EQ(LOWORD(act.back().WParam), WA_CLICKACTIVE);
}

// A press on a grandchild tells the child, then the top-level window,
// each in its own client coordinates and before the press itself arrives;
// WS_EX_NOPARENTNOTIFY on a window keeps it from telling its parent.
TEST_F(UserInputTest, PressesNotifyTheParentsUpTheChain) {
  using rtl::testing::TInjectButton;
  struct TCase {
    const char* Name;
    TInjectButton Button;
    DWORD ChildEx, GrandEx;
    WPARAM Expected;   // 0: no notification
    int Notified;      // windows told: the child, then the top-level
  } cases[] = {
      {"left", rtl::testing::ibLeft, 0, 0, MAKEWPARAM(WM_LBUTTONDOWN, 0), 2},
      {"right", rtl::testing::ibRight, 0, 0, MAKEWPARAM(WM_RBUTTONDOWN, 0), 2},
      {"middle", rtl::testing::ibMiddle, 0, 0, MAKEWPARAM(WM_MBUTTONDOWN, 0), 2},
      {"x2", rtl::testing::ibX2, 0, 0, MAKEWPARAM(WM_XBUTTONDOWN, XBUTTON2), 2},
      {"child stops", rtl::testing::ibLeft, WS_EX_NOPARENTNOTIFY, 0, MAKEWPARAM(WM_LBUTTONDOWN, 0), 1},
      {"grandchild stops", rtl::testing::ibLeft, 0, WS_EX_NOPARENTNOTIFY, 0, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND top = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 400, 400));
    HWND child = Make(c.ChildEx, "UserTestLog", WS_CHILD | WS_VISIBLE | WS_BORDER, RECT(20, 30, 220, 230), top);
    HWND grand = Make(c.GrandEx, "UserTestLog", WS_CHILD | WS_VISIBLE, RECT(10, 10, 60, 60), child);
    RunUntilIdle();
    Log.Clear();
    InjectClick(ClientPoint(grand, 5, 6), c.Button);
    RunUntilIdle();
    std::vector<TLogged> seen = Only(nullptr, {WM_PARENTNOTIFY, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN,
                                               WM_XBUTTONDOWN});
    std::vector<TLogged> notes = Only(nullptr, {WM_PARENTNOTIFY});
    ASSERT_EQ(notes.size(), static_cast<size_t>(c.Notified));
    // The child's client area starts inside its border.
    const LPARAM where[] = {MAKELPARAM(15, 16), MAKELPARAM(20 + 1 + 15, 30 + 1 + 16)};
    const HWND parents[] = {child, top};
    for (int i = 0; i < c.Notified; ++i) {
      EXPECT_EQ(notes[i].Hwnd, parents[i]);
      EXPECT_EQ(notes[i].WParam, c.Expected);
      EXPECT_EQ(notes[i].LParam, where[i]);
    }
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().Hwnd, grand);  // the press itself comes last
    EXPECT_NE(seen.back().Msg, static_cast<UINT>(WM_PARENTNOTIFY));
    DestroyWindow(top);
  }
}

TEST_F(UserInputTest, WheelGoesToTheFocusAndUpTheParents) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100));
  HWND child = MakeChild(a, WS_VISIBLE, RECT(10, 10, 50, 50));
  HWND b = MakeTop(WS_POPUP | WS_VISIBLE, RECT(200, 0, 300, 100));
  SetActiveWindow(a);
  SetFocus(child);
  RunUntilIdle();
  Log.Clear();
  rtl::testing::InjectWheel(POINT(250, 50), -WHEEL_DELTA);
  RunUntilIdle();
  auto wheel = Only(nullptr, {WM_MOUSEWHEEL});
  ASSERT_EQ(wheel.size(), 2u);
  EXPECT_EQ(wheel[0].Hwnd, child);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].WParam), -WHEEL_DELTA);
  EXPECT_EQ(wheel[0].LParam, MAKELPARAM(250, 50));
  EXPECT_EQ(wheel[1].Hwnd, a);  // passed on by the default procedure
  EXPECT_TRUE(Only(b, {WM_MOUSEWHEEL}).empty());
}

TEST_F(UserInputTest, KeyMessagesCarryRepeatScanAndTransitionBits) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100));
  SetActiveWindow(a);
  RunUntilIdle();
  Log.Clear();
  InjectKey('A', true);
  InjectKey('A', true);  // auto-repeat
  InjectKey('A', false);
  RunUntilIdle();
  auto keys = Only(a, {WM_KEYDOWN, WM_KEYUP});
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(static_cast<DWORD>(keys[0].LParam), 0x001E0001u);
  EXPECT_EQ(static_cast<DWORD>(keys[1].LParam), 0x401E0001u);
  EXPECT_EQ(static_cast<DWORD>(keys[2].LParam), 0xC01E0001u);
  EXPECT_EQ(Only(a, {WM_CHAR}).size(), 2u);
}

TEST_F(UserInputTest, AltAndF10OpenTheMenuThroughSysCommand) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(0, 0, 100, 100));
  RunUntilIdle();
  struct TCase {
    std::function<void()> Keys;
    std::vector<UINT> Messages;
    LPARAM MenuKey;
  } cases[] = {
      {[] { InjectKeyPress(VK_MENU); }, {WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCOMMAND}, 0},
      {[] { InjectKeyPress(VK_F10); }, {WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCOMMAND}, 0},
      {[] {
         InjectKey(VK_MENU, true);
         InjectKeyPress('F');
         InjectKey(VK_MENU, false);
       },
       {WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSCOMMAND, WM_SYSKEYUP, WM_SYSKEYUP},
       'f'},
  };
  for (const auto& c : cases) {
    Log.Clear();
    c.Keys();
    RunUntilIdle();
    std::vector<UINT> got;
    for (const TLogged& l : Only(a, {WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR, WM_SYSCOMMAND, WM_KEYDOWN, WM_KEYUP}))
      got.push_back(l.Msg);
    EXPECT_EQ(got, c.Messages);
    auto cmd = Only(a, {WM_SYSCOMMAND});
    ASSERT_EQ(cmd.size(), 1u);
    EXPECT_EQ(cmd[0].WParam & 0xFFF0, static_cast<WPARAM>(SC_KEYMENU));
    EXPECT_EQ(cmd[0].LParam, c.MenuKey);
  }
  // The Alt key itself carries the context bit while going down.
  Log.Clear();
  InjectKeyPress(VK_MENU);
  RunUntilIdle();
  auto alt = Only(a, {WM_SYSKEYDOWN, WM_SYSKEYUP});
  ASSERT_EQ(alt.size(), 2u);
  EXPECT_EQ(static_cast<DWORD>(alt[0].LParam), 0x20380001u);
  EXPECT_EQ(static_cast<DWORD>(alt[1].LParam), 0xC0380001u);
}

TEST_F(UserInputTest, ControlWithAltIsNotASystemKey) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100));
  SetActiveWindow(a);
  RunUntilIdle();
  InjectKey(VK_CONTROL, true);
  InjectKey(VK_MENU, true);
  RunUntilIdle();
  Log.Clear();
  InjectKeyPress('X');
  InjectKey(VK_MENU, false);
  InjectKey(VK_CONTROL, false);
  RunUntilIdle();
  auto keys = Only(a, {WM_KEYDOWN, WM_SYSKEYDOWN});
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].Msg, static_cast<UINT>(WM_KEYDOWN));
}

LRESULT StateProbe(HWND h, UINT m, WPARAM w, LPARAM l) {
  // What GetKeyState says while the message is handled.
  if (m == WM_KEYDOWN || m == WM_KEYUP) Record(h, m, w, static_cast<LPARAM>(static_cast<USHORT>(GetKeyState(static_cast<int>(w)))));
  return DefWindowProcA(h, m, w, l);
}

TEST_F(UserInputTest, KeyStateFollowsRetrievedMessagesAndToggles) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = StateProbe;
  wc.lpszClassName = "UserTestKeyState";
  RegisterClassA(&wc);
  HWND a = Make(0, "UserTestKeyState", WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100));
  SetActiveWindow(a);
  RunUntilIdle();
  rtl::testing::SetKeyToggle(VK_CAPITAL, false);
  Log.Clear();
  InjectKey(VK_CAPITAL, true);
  // Asynchronous state moves at once, the synchronous one with retrieval.
  EXPECT_TRUE(GetAsyncKeyState(VK_CAPITAL) & 0x8000);
  EXPECT_FALSE(GetKeyState(VK_CAPITAL) & 0x8000);
  RunUntilIdle();
  EXPECT_TRUE(GetKeyState(VK_CAPITAL) & 0x8000);
  InjectKey(VK_CAPITAL, false);
  RunUntilIdle();
  ASSERT_EQ(Log.Items.size(), 2u);
  EXPECT_EQ(Log.Items[0].LParam, 0xFF81);  // down and toggled on while WM_KEYDOWN runs
  EXPECT_EQ(Log.Items[1].LParam, 0x0001);
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);
  // With Caps Lock on, a letter types upper case.
  WORD ch = 0;
  BYTE ks[256];
  GetKeyboardState(ks);
  EXPECT_EQ(ToAscii('Q', 0x10, ks, &ch, 0), 1);
  EXPECT_EQ(ch, 'Q');
  InjectKeyPress(VK_CAPITAL);
  RunUntilIdle();
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 0);
}

TEST_F(UserInputTest, TranslateMessagePostsCharacters) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100));
  SetActiveWindow(a);
  RunUntilIdle();
  Log.Clear();
  rtl::testing::InjectText("aB!");
  // What the native layout typed wins; beyond ASCII it comes as UTF-8 bytes.
  InjectKey('E', true, "\xC3\xA9");
  InjectKey('E', false);
  RunUntilIdle();
  std::string typed;
  for (const TLogged& l : Only(a, {WM_CHAR})) typed.push_back(static_cast<char>(l.WParam));
  EXPECT_EQ(typed, "aB!\xC3\xA9");
}

TEST_F(UserInputTest, LayoutTables) {
  BYTE ks[256] = {};
  WORD ch = 0;
  struct TCase {
    UINT Vk;
    bool Shift, Ctrl;
    int Count;
    WORD Char;
  } cases[] = {{'A', false, false, 1, 'a'},         {'A', true, false, 1, 'A'},        {'A', false, true, 1, 1},
               {'1', true, false, 1, '!'},          {VK_OEM_2, true, false, 1, '?'},   {VK_RETURN, false, false, 1, '\r'},
               {VK_F5, false, false, 0, 0},         {VK_OEM_4, false, true, 1, 0x1B}, {VK_SPACE, false, false, 1, ' '}};
  for (const TCase& c : cases) {
    ks[VK_SHIFT] = c.Shift ? 0x80 : 0;
    ks[VK_CONTROL] = c.Ctrl ? 0x80 : 0;
    ch = 0;
    EXPECT_EQ(ToAscii(c.Vk, 0, ks, &ch, 0), c.Count) << c.Vk;
    EXPECT_EQ(ch, c.Char) << c.Vk;
  }
  EXPECT_EQ(MapVirtualKeyA('A', MAPVK_VK_TO_VSC), 0x1Eu);
  EXPECT_EQ(MapVirtualKeyA(0x2A, MAPVK_VSC_TO_VK), static_cast<UINT>(VK_SHIFT));
  EXPECT_EQ(MapVirtualKeyA(0x36, MAPVK_VSC_TO_VK_EX), static_cast<UINT>(VK_RSHIFT));
  EXPECT_EQ(MapVirtualKeyA(VK_OEM_COMMA, MAPVK_VK_TO_CHAR), static_cast<UINT>(','));
  EXPECT_EQ(VkKeyScanA('z'), 'Z');
  EXPECT_EQ(VkKeyScanA('?'), 0x100 | VK_OEM_2);
  EXPECT_EQ(VkKeyScanA('\x01'), 0x200 | 'A');
  char name[32];
  GetKeyNameTextA(0x00500000 | (1 << 24), name, sizeof name);
  EXPECT_STREQ(name, "Down");
}

TEST_F(UserInputTest, MouseLeaveAndHoverTracking) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100));
  HWND b = MakeTop(WS_POPUP | WS_VISIBLE, RECT(200, 0, 300, 100));
  RunUntilIdle();
  InjectMouseMove(POINT(50, 50));
  RunUntilIdle();
  TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE | TME_HOVER, a, HOVER_DEFAULT};
  ASSERT_TRUE(TrackMouseEvent(&tme));
  Log.Clear();
  rtl::testing::AdvanceClock(399);
  RunUntilIdle();
  EXPECT_EQ(Log.Count(WM_MOUSEHOVER, a), 0);
  rtl::testing::AdvanceClock(1);
  RunUntilIdle();
  EXPECT_EQ(Log.Count(WM_MOUSEHOVER, a), 1);
  InjectMouseMove(POINT(250, 50));
  RunUntilIdle();
  EXPECT_EQ(Log.Count(WM_MOUSELEAVE, a), 1);
  // Tracking a window the pointer is not over leaves at once.
  TRACKMOUSEEVENT away{sizeof(away), TME_LEAVE, a, 0};
  TrackMouseEvent(&away);
  RunUntilIdle();
  EXPECT_EQ(Log.Count(WM_MOUSELEAVE, a), 2);
  EXPECT_EQ(Log.Count(WM_MOUSELEAVE, b), 0);
}

TEST_F(UserInputTest, CursorFollowsTheHitCode) {
  HWND a = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 300, 300));
  RunUntilIdle();
  InjectMouseMove(POINT(101, 200));
  RunUntilIdle();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZEWE));
  InjectMouseMove(POINT(200, 200));
  RunUntilIdle();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
  InjectMouseMove(POINT(298, 298));
  RunUntilIdle();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZENWSE));
  (void)a;
}

TEST_F(UserInputTest, ClickOnAWindowDisabledByAModalOneBringsTheModalUp) {
  HWND owner = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(0, 0, 300, 300));
  HWND child = MakeChild(owner, WS_VISIBLE, RECT(10, 10, 150, 150));
  HWND grandchild = MakeChild(child, WS_VISIBLE | WS_BORDER, RECT(10, 10, 100, 100));
  HWND modal = Make(0, "UserTestLog", WS_POPUP | WS_CAPTION | WS_VISIBLE, RECT(400, 0, 500, 100), owner);
  EnableWindow(owner, FALSE);
  // Where the user clicks: the window's own client area, a child, a child
  // of a child, a child's border, with either button.
  const struct {
    const char* Name;
    POINT At;
    rtl::testing::TInjectButton Button;
  } cases[] = {
      {"client area", ClientPoint(owner, 250, 200), rtl::testing::ibLeft},
      {"child", ClientPoint(child, 120, 120), rtl::testing::ibLeft},
      {"child of a child", ClientPoint(grandchild, 20, 20), rtl::testing::ibLeft},
      {"border of a child", ClientPoint(grandchild, -1, 20), rtl::testing::ibLeft},
      {"right button on a child", ClientPoint(grandchild, 20, 20), rtl::testing::ibRight},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    SetActiveWindow(owner);  // a disabled window cannot be activated by a click, but code may
    SetActiveWindow(modal);
    RunUntilIdle();
    int beeps = rtl::testing::BeepCount();
    Log.Clear();
    InjectClick(c.At, c.Button);
    RunUntilIdle();
    for (HWND h : {owner, child, grandchild}) {
      EXPECT_TRUE(Only(h, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_NCLBUTTONDOWN,
                           WM_NCRBUTTONDOWN, WM_MOUSEACTIVATE, WM_PARENTNOTIFY})
                      .empty());
    }
    EXPECT_EQ(rtl::testing::BeepCount(), beeps + 1);
    EXPECT_EQ(GetActiveWindow(), modal);
  }
  // The window manager's close request is refused the same way.
  int beeps = rtl::testing::BeepCount();
  Log.Clear();
  rtl::backend::TNativeEvent close;
  close.Kind = rtl::backend::neClose;
  close.Window = reinterpret_cast<uintptr_t>(owner);
  rtl::detail::HandleNativeEvent(close);
  RunUntilIdle();
  EXPECT_TRUE(IsWindow(owner));
  EXPECT_EQ(Log.Count(WM_SYSCOMMAND, owner), 0);
  EXPECT_EQ(Log.Count(WM_CLOSE, owner), 0);
  EXPECT_EQ(rtl::testing::BeepCount(), beeps + 1);
  EXPECT_EQ(GetActiveWindow(), modal);
  EnableWindow(owner, TRUE);
}

// The keyboard's state follows every key release, whichever window had the
// focus when it came: Alt must not stay held for the next window.
TEST_F(UserInputTest, ReleasesThatReachNoWindowStillReleaseTheKey) {
  const struct {
    const char* Name;
    std::function<void(HWND)> Release;
  } cases[] = {
      {"the focus window was destroyed",
       [](HWND a) {
         DestroyWindow(a);
         InjectKey(VK_MENU, false);
       }},
      {"no window has the focus",
       [](HWND) {
         SetFocus(nullptr);
         SetActiveWindow(nullptr);
         InjectKey(VK_MENU, false);
       }},
      {"a hook eats the release",
       [](HWND) {
         // Eats every key going up.
         auto eat = [](int code, WPARAM w, LPARAM l) -> LRESULT {
           return (l & 0x80000000) ? 1 : CallNextHookEx(nullptr, code, w, l);
         };
         HHOOK hook = SetWindowsHookExA(WH_KEYBOARD, eat, nullptr, GetCurrentThreadId());
         InjectKey(VK_MENU, false);
         RunUntilIdle();
         UnhookWindowsHookEx(hook);
       }},
      {"the display reports Alt up with the next key",
       [](HWND) {
         rtl::backend::TNativeEvent e;
         e.Kind = rtl::backend::neKeyDown;
         e.Vk = VK_SHIFT;
         e.Modifiers = 0;
         rtl::detail::HandleNativeEvent(e);
         e.Kind = rtl::backend::neKeyUp;
         rtl::detail::HandleNativeEvent(e);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND a = MakeTop(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100));
    SetActiveWindow(a);
    SetFocus(a);
    InjectKey(VK_MENU, true);
    RunUntilIdle();
    ASSERT_LT(GetKeyState(VK_MENU), 0);
    c.Release(a);
    RunUntilIdle();
    EXPECT_GE(GetKeyState(VK_MENU), 0);
    EXPECT_GE(GetKeyState(VK_LMENU), 0);
    EXPECT_GE(GetAsyncKeyState(VK_MENU), 0);
    // The next window takes F4 as a plain key, not as Alt+F4.
    HWND b = MakeTop(WS_POPUP | WS_VISIBLE, RECT(200, 0, 300, 100));
    SetActiveWindow(b);
    SetFocus(b);
    Log.Clear();
    InjectKeyPress(VK_F4);
    RunUntilIdle();
    EXPECT_EQ(Log.Count(WM_KEYDOWN, b), 1);
    EXPECT_EQ(Log.Count(WM_SYSKEYDOWN, b), 0);
    EXPECT_EQ(Log.Count(WM_SYSCOMMAND, b), 0);
    if (IsWindow(a)) DestroyWindow(a);
    DestroyWindow(b);
  }
}

}  // namespace
