// Help requests: F1 on the focus window, context help mode from the
// caption's help button, and F1 inside a popup menu.
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;
using rtl::testing::InjectClick;
using rtl::testing::InjectKey;
using rtl::testing::InjectKeyPress;
using rtl::testing::RunUntilIdle;

struct THelpSeen {
  HWND Receiver;
  HELPINFO Info;
};

std::vector<THelpSeen>& Seen() {
  static std::vector<THelpSeen> seen;
  return seen;
}

LRESULT HelpProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  if (m == WM_HELP) Seen().push_back(THelpSeen{h, *reinterpret_cast<HELPINFO*>(l)});
  if (m == WM_ENTERIDLE) {
    InjectKeyPress(VK_DOWN);
    InjectKeyPress(VK_F1);
    InjectKeyPress(VK_ESCAPE);
  }
  return DefWindowProcA(h, m, w, l);
}

class UserHelpTest : public TUserTest {
 protected:
  void SetUp() override {
    TUserTest::SetUp();
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, "UserHelpLog", &wc)) {
      wc.lpfnWndProc = HelpProc;
      wc.lpszClassName = "UserHelpLog";
      RegisterClassA(&wc);
    }
    Seen().clear();
  }
  HWND Form(DWORD ex = 0, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
    HWND f = MakeTop(style, RECT(100, 100, 400, 300), ex, "UserHelpLog");
    SetForegroundWindow(f);
    return f;
  }
  HWND Control(HWND parent, int id, RECT r) {
    HWND c = Make(0, "UserHelpLog", WS_CHILD | WS_VISIBLE, r, parent);
    SetWindowLongPtrA(c, GWLP_ID, id);
    return c;
  }
};

TEST_F(UserHelpTest, F1AsksTheFocusWindowAndClimbsToItsParent) {
  HWND form = Form();
  HWND edit = Control(form, 7, RECT(10, 10, 110, 40));
  SetWindowContextHelpId(edit, 1234);
  SetFocus(edit);
  RunUntilIdle();
  InjectKeyPress(VK_F1);
  RunUntilIdle();
  ASSERT_EQ(Seen().size(), 2u);
  EXPECT_EQ(Seen()[0].Receiver, edit);
  EXPECT_EQ(Seen()[1].Receiver, form);  // DefWindowProc passed it up
  const HELPINFO& hi = Seen()[0].Info;
  EXPECT_EQ(hi.cbSize, sizeof(HELPINFO));
  EXPECT_EQ(hi.iContextType, HELPINFO_WINDOW);
  EXPECT_EQ(hi.iCtrlId, 7);
  EXPECT_EQ(hi.hItemHandle, static_cast<HANDLE>(edit));
  EXPECT_EQ(hi.dwContextId, 1234u);
  EXPECT_EQ(GetWindowContextHelpId(edit), 1234u);

  // With a modifier F1 is an ordinary key.
  Seen().clear();
  InjectKey(VK_CONTROL, true);
  InjectKeyPress(VK_F1);
  InjectKey(VK_CONTROL, false);
  RunUntilIdle();
  EXPECT_TRUE(Seen().empty());
}

TEST_F(UserHelpTest, TheHelpButtonStartsContextHelpForTheNextClick) {
  HWND form = Form(WS_EX_CONTEXTHELP, WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
  HWND button = Control(form, 9, RECT(20, 20, 120, 50));
  RunUntilIdle();
  RECT wr;
  GetWindowRect(form, &wr);
  // The help button sits in the caption, left of the close button.
  POINT help(0, wr.Top + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2);
  for (int x = wr.Right; x > wr.Left && !help.X; --x)
    if (SendMessageA(form, WM_NCHITTEST, 0, MAKELPARAM(x, help.Y)) == HTHELP) help.X = x - 2;
  ASSERT_NE(help.X, 0);
  InjectClick(help);
  InjectClick(rtl::testing::ClientPoint(button, 5, 5));
  RunUntilIdle();
  ASSERT_FALSE(Seen().empty());
  EXPECT_EQ(Seen()[0].Receiver, button);
  EXPECT_EQ(Seen()[0].Info.iCtrlId, 9);
  EXPECT_EQ(Seen()[0].Info.MousePos, rtl::testing::ClientPoint(button, 5, 5));
  EXPECT_EQ(GetCapture(), nullptr);

  // Escape leaves the mode without asking.
  Seen().clear();
  InjectKeyPress(VK_ESCAPE);
  SendMessageA(form, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
  EXPECT_TRUE(Seen().empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(UserHelpTest, F1InAMenuAsksAboutTheSelectedItem) {
  HWND form = Form();
  SetFocus(form);
  RunUntilIdle();
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 41, "&First");
  AppendMenuA(menu, MF_STRING, 42, "&Second");
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 150, 150, 0, form, nullptr), 0);
  ASSERT_EQ(Seen().size(), 1u);
  EXPECT_EQ(Seen()[0].Receiver, form);
  EXPECT_EQ(Seen()[0].Info.iContextType, HELPINFO_MENUITEM);
  EXPECT_EQ(Seen()[0].Info.iCtrlId, 41);
  EXPECT_EQ(Seen()[0].Info.hItemHandle, static_cast<HANDLE>(menu));
  DestroyMenu(menu);
}

}  // namespace
