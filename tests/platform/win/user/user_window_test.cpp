// Window classes, creation failures, handles, window longs, text,
// relations and subclassing.
#include "platform/win/user/user_object_instance.h"
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;

class UserWindowTest : public TUserTest {};

LRESULT FailNcCreate(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  if (m == WM_NCCREATE) return FALSE;
  return DefWindowProcA(h, m, w, l);
}

LRESULT FailCreate(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  if (m == WM_CREATE) return -1;
  return DefWindowProcA(h, m, w, l);
}

TEST_F(UserWindowTest, ClassRegistrationRules) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "UserTestClassRules";
  wc.cbClsExtra = 8;
  wc.cbWndExtra = 16;
  ATOM atom = RegisterClassA(&wc);
  ASSERT_NE(atom, 0);
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
  // Names compare without case; the atom names the class too.
  WNDCLASSA info{};
  EXPECT_TRUE(GetClassInfoA(nullptr, "usertestclassrules", &info));
  EXPECT_EQ(info.cbWndExtra, 16);
  HWND h = Make(0, MAKEINTRESOURCE(atom), WS_POPUP, RECT(0, 0, 10, 10));
  ASSERT_NE(h, nullptr);
  char name[64];
  EXPECT_EQ(GetClassNameA(h, name, sizeof name), 18);
  EXPECT_STREQ(name, "UserTestClassRules");
  EXPECT_FALSE(UnregisterClassA("UserTestClassRules", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
  // Extra bytes: pointer-sized at offset 8 fits in 16, at 12 it does not.
  SetLastError(0);
  SetWindowLongPtrA(h, 8, 0x1234);
  EXPECT_EQ(GetWindowLongPtrA(h, 8), 0x1234);
  EXPECT_EQ(GetWindowLongPtrA(h, 12), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
  SetClassLongPtrA(h, 0, 77);
  EXPECT_EQ(GetClassLongPtrA(h, 0), 77u);
  DestroyWindow(h);
  EXPECT_TRUE(UnregisterClassA("UserTestClassRules", nullptr));
  EXPECT_EQ(CreateWindowExA(0, "UserTestClassRules", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
}

TEST_F(UserWindowTest, FailedCreationCleansUp) {
  struct TCase {
    const char* Class;
    WNDPROC Proc;
    std::vector<UINT> Messages;
  } cases[] = {
      {"UserTestFailNc", FailNcCreate, {WM_GETMINMAXINFO, WM_NCCREATE, WM_NCDESTROY}},
      {"UserTestFailCreate", FailCreate,
       {WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}},
  };
  for (const TCase& c : cases) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = c.Proc;
    wc.lpszClassName = c.Class;
    RegisterClassA(&wc);
    Log.Clear();
    HWND h = CreateWindowExA(0, c.Class, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(h, nullptr) << c.Class;
    std::vector<TExpected> expected;
    for (UINT m : c.Messages) expected.push_back(TExpected{m, nullptr, false, std::nullopt});
    EXPECT_TRUE(MatchesSequence(Log.Items, expected)) << c.Class;
    // The class has no window left.
    EXPECT_TRUE(UnregisterClassA(c.Class, nullptr)) << c.Class;
  }
}

TEST_F(UserWindowTest, StaleHandlesNeverReachANewerWindow) {
  HWND first = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  DestroyWindow(first);
  // The slot is reused by the next window; the old handle stays dead.
  HWND second = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  EXPECT_NE(first, second);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(second));
  SetLastError(0);
  EXPECT_EQ(GetWindowLongA(first, GWL_STYLE), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FALSE(PostMessageA(first, WM_USER, 0, 0));
  EXPECT_FALSE(DestroyWindow(first));
}

TEST_F(UserWindowTest, HandleOutlivesTheObjectThatUsedIt) {
  // The procedure instance goes, the window stays with a plain procedure.
  int calls = 0;
  HWND h = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  WNDPROC old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWL_WNDPROC));
  WNDPROC inst = MakeObjectInstance([&](TMessage& m) {
    if (m.Msg == WM_USER) ++calls;
    m.Result = CallWindowProcA(old, h, m.Msg, m.WParam, m.LParam);
  });
  SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(inst));
  SendMessageA(h, WM_USER, 0, 0);
  SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(old));
  FreeObjectInstance(inst);
  SendMessageA(h, WM_USER, 0, 0);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(IsWindow(h));
}

TEST_F(UserWindowTest, WindowLongs) {
  HWND h = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  Log.KeepNoise = true;
  SetWindowLongA(h, GWL_STYLE, WS_POPUP | WS_BORDER);
  EXPECT_EQ(Log.Count(WM_STYLECHANGING, h), 1);
  EXPECT_EQ(Log.Count(WM_STYLECHANGED, h), 1);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE)) & WS_BORDER, static_cast<DWORD>(WS_BORDER));
  // Topmost cannot be switched through the window long.
  SetWindowLongA(h, GWL_EXSTYLE, WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowLongPtrA(h, GWL_USERDATA, 0x7FFF12345678);
  EXPECT_EQ(GetWindowLongPtrA(h, GWL_USERDATA), 0x7FFF12345678);
  SetWindowLongA(h, GWL_ID, 42);
  EXPECT_EQ(GetWindowLongA(h, GWL_ID), 42);
  // A 32-bit long cannot carry the procedure's address: it fails rather
  // than hand out a cut pointer.
  SetLastError(0);
  EXPECT_EQ(GetWindowLongA(h, GWL_WNDPROC), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWL_WNDPROC)), &LoggingProc);
}

TEST_F(UserWindowTest, TextGoesThroughMessages) {
  HWND h = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  Log.KeepNoise = true;
  EXPECT_TRUE(SetWindowTextA(h, "Hello, world"));
  EXPECT_EQ(Log.Count(WM_SETTEXT, h), 1);
  EXPECT_EQ(GetWindowTextLengthA(h), 12);
  char buf[6];
  EXPECT_EQ(GetWindowTextA(h, buf, sizeof buf), 5);
  EXPECT_STREQ(buf, "Hello");
  EXPECT_EQ(GetWindowTextA(h, buf, 0), 0);
  SetWindowTextW(h, u"Gr\u00FC\u00DFe");
  EXPECT_EQ(GetWindowTextLengthW(h), 5);
  EXPECT_EQ(GetWindowTextLengthA(h), 7);  // UTF-8 bytes
  WCHAR wbuf[16];
  GetWindowTextW(h, wbuf, 16);
  EXPECT_EQ(WideString(wbuf), u"Gr\u00FC\u00DFe");
}

TEST_F(UserWindowTest, Relations) {
  HWND owner = MakeTop(WS_OVERLAPPEDWINDOW, RECT(0, 0, 100, 100));
  HWND popup = Make(0, "UserTestLog", WS_POPUP, RECT(0, 0, 10, 10), owner);
  HWND overlapped = Make(0, "UserTestLog", WS_OVERLAPPED, RECT(0, 0, 10, 10), owner);
  HWND child = MakeChild(owner, 0, RECT(0, 0, 10, 10));
  HWND grand = MakeChild(child, 0, RECT(0, 0, 5, 5));
  EXPECT_EQ(GetParent(child), owner);
  EXPECT_EQ(GetParent(popup), owner);
  EXPECT_EQ(GetParent(overlapped), nullptr);
  EXPECT_EQ(GetWindow(overlapped, GW_OWNER), owner);
  EXPECT_EQ(GetAncestor(grand, GA_PARENT), child);
  EXPECT_EQ(GetAncestor(grand, GA_ROOT), owner);
  EXPECT_EQ(GetAncestor(popup, GA_ROOTOWNER), owner);
  EXPECT_EQ(GetAncestor(owner, GA_PARENT), GetDesktopWindow());
  EXPECT_TRUE(IsChild(owner, grand));
  EXPECT_FALSE(IsChild(owner, popup));
  std::vector<HWND> found;
  EnumChildWindows(
      owner, [](HWND h, LPARAM l) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  EXPECT_EQ(found, (std::vector<HWND>{child, grand}));
  // A window moved to another parent keeps its coordinates, now in the
  // new parent's client area.
  HWND other = MakeTop(WS_POPUP, RECT(200, 200, 300, 300));
  SetWindowPos(child, nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(SetParent(child, other), owner);
  EXPECT_EQ(GetParent(child), other);
  POINT p(0, 0);
  ClientToScreen(child, &p);
  EXPECT_EQ(p, POINT(203, 204));
  EXPECT_EQ(SetParent(other, grand), nullptr);  // a window cannot go under its own descendant
}

// Three parties subclass one window and leave in any order.
LRESULT Tagging(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR ref) {
  if (m == WM_USER) reinterpret_cast<std::string*>(ref)->push_back(static_cast<char>('0' + id));
  return DefSubclassProc(h, m, w, l);
}

TEST_F(UserWindowTest, SubclassChainsLeaveInAnyOrder) {
  HWND h = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  std::string trail;
  auto ref = reinterpret_cast<DWORD_PTR>(&trail);
  for (UINT_PTR id = 1; id <= 3; ++id) ASSERT_TRUE(SetWindowSubclass(h, Tagging, id, ref));
  Log.Clear();
  SendMessageA(h, WM_USER, 0, 0);
  EXPECT_EQ(trail, "321");
  EXPECT_EQ(Log.Count(WM_USER, h), 1);  // the original procedure still runs last
  struct TStep {
    UINT_PTR Remove;
    const char* Trail;
  } steps[] = {{2, "31"}, {3, "1"}, {1, ""}};
  for (const TStep& s : steps) {
    trail.clear();
    EXPECT_TRUE(RemoveWindowSubclass(h, Tagging, s.Remove));
    SendMessageA(h, WM_USER, 0, 0);
    EXPECT_EQ(trail, s.Trail);
  }
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWL_WNDPROC)), &LoggingProc);
  EXPECT_FALSE(RemoveWindowSubclass(h, Tagging, 1));
}

LRESULT RemovesItselfWhileRunning(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR ref) {
  if (m == WM_USER) {
    reinterpret_cast<std::string*>(ref)->push_back(static_cast<char>('0' + id));
    RemoveWindowSubclass(h, RemovesItselfWhileRunning, id);
  }
  return DefSubclassProc(h, m, w, l);
}

TEST_F(UserWindowTest, SubclassRemovedWhileItRunsStillPassesOn) {
  HWND h = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  std::string trail;
  auto ref = reinterpret_cast<DWORD_PTR>(&trail);
  SetWindowSubclass(h, Tagging, 1, ref);
  SetWindowSubclass(h, RemovesItselfWhileRunning, 2, ref);
  SendMessageA(h, WM_USER, 0, 0);
  SendMessageA(h, WM_USER, 0, 0);
  EXPECT_EQ(trail, "211");
}

// The last subclass leaving takes the chain with it; the message it passes
// on must still reach the window's own procedure (it frees its state on
// WM_NCDESTROY, where subclasses typically leave).
TEST_F(UserWindowTest, LastSubclassRemovedWhileItRunsStillReachesTheWindow) {
  HWND h = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  std::string trail;
  SetWindowSubclass(h, RemovesItselfWhileRunning, 1, reinterpret_cast<DWORD_PTR>(&trail));
  Log.Clear();
  SendMessageA(h, WM_USER, 0, 0);
  EXPECT_EQ(trail, "1");
  EXPECT_EQ(Log.Count(WM_USER, h), 1);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWL_WNDPROC)), &LoggingProc);
}

TEST_F(UserWindowTest, ObjectInstanceIsAPlainProcedure) {
  UINT seen = 0;
  WNDPROC inst = MakeObjectInstance([&](TMessage& m) {
    seen = m.Msg;
    m.Result = static_cast<LRESULT>(m.WParam + m.LParam);
  });
  EXPECT_EQ(inst(nullptr, WM_USER + 5, 2, 3), 5);
  EXPECT_EQ(seen, static_cast<UINT>(WM_USER + 5));
  FreeObjectInstance(inst);
}

}  // namespace
