// Shared pieces of the window-system tests: a window class that records
// its messages, message-sequence expectations with optional entries, and a
// fixture that runs on the virtual clock and cleans up after itself.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/testing/user_testing.h"
#include "platform/win/win32.h"

namespace user_test {

struct TLogged {
  HWND Hwnd;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

// The messages logging windows received, in order. Messages that only add
// noise to sequences (icons, cursor and hit-test questions) are left out
// unless asked for.
struct TMessageLog {
  std::vector<TLogged> Items;
  bool KeepNoise = false;
  static TMessageLog*& Current() {
    static TMessageLog* current = nullptr;
    return current;
  }
  void Clear() { Items.clear(); }
  std::vector<TLogged> For(HWND h) const {
    std::vector<TLogged> r;
    for (const TLogged& l : Items)
      if (l.Hwnd == h) r.push_back(l);
    return r;
  }
  int Count(UINT msg, HWND h = nullptr) const {
    int n = 0;
    for (const TLogged& l : Items)
      if (l.Msg == msg && (!h || l.Hwnd == h)) ++n;
    return n;
  }
};

inline bool IsNoise(UINT m) {
  return m == WM_GETICON || m == WM_NCHITTEST || m == WM_SETCURSOR || m == WM_GETTEXT || m == WM_GETTEXTLENGTH ||
         m == WM_STYLECHANGING || m == WM_STYLECHANGED || m == WM_CTLCOLORSCROLLBAR;
}

// Records a message in the current log.
inline void Record(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (TMessageLog* log = TMessageLog::Current())
    if (log->KeepNoise || !IsNoise(m)) log->Items.push_back(TLogged{h, m, w, l});
}

inline LRESULT LoggingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  return DefWindowProcA(h, m, w, l);
}

inline void RegisterLoggingClass(const char* name, UINT style = 0, HBRUSH background = nullptr) {
  WNDCLASSA wc{};
  if (GetClassInfoA(nullptr, name, &wc)) return;
  wc.style = style;
  wc.lpfnWndProc = LoggingProc;
  wc.lpszClassName = name;
  wc.hbrBackground = background;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
}

inline std::string MessageName(UINT m) {
  static const struct {
    UINT Msg;
    const char* Name;
  } names[] = {
      {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_MOVE, "WM_MOVE"}, {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"}, {WM_PAINT, "WM_PAINT"}, {WM_CLOSE, "WM_CLOSE"}, {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"}, {WM_CANCELMODE, "WM_CANCELMODE"},
      {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"}, {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"}, {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"}, {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_NCPAINT, "WM_NCPAINT"}, {WM_NCACTIVATE, "WM_NCACTIVATE"}, {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"}, {WM_SETTEXT, "WM_SETTEXT"}, {WM_TIMER, "WM_TIMER"},
      {WM_KEYDOWN, "WM_KEYDOWN"}, {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"}, {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
      {WM_SYSKEYUP, "WM_SYSKEYUP"}, {WM_SYSCHAR, "WM_SYSCHAR"}, {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"}, {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
      {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"}, {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"}, {WM_SETCURSOR, "WM_SETCURSOR"},
      {WM_NCHITTEST, "WM_NCHITTEST"}, {WM_CONTEXTMENU, "WM_CONTEXTMENU"}, {WM_SIZING, "WM_SIZING"},
      {WM_ENTERSIZEMOVE, "WM_ENTERSIZEMOVE"}, {WM_EXITSIZEMOVE, "WM_EXITSIZEMOVE"}, {WM_MOVING, "WM_MOVING"},
      {WM_HSCROLL, "WM_HSCROLL"}, {WM_VSCROLL, "WM_VSCROLL"}, {WM_QUERYOPEN, "WM_QUERYOPEN"},
  };
  for (auto& n : names)
    if (n.Msg == m) return n.Name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", m);
  return buf;
}

struct TExpected {
  UINT Msg;
  HWND Hwnd = nullptr;  // any window when null
  bool Optional = false;
  std::optional<WPARAM> WParam{};
};

inline TExpected Opt(UINT msg, HWND h = nullptr) { return TExpected{msg, h, true, std::nullopt}; }
inline TExpected WithW(UINT msg, WPARAM w, HWND h = nullptr) { return TExpected{msg, h, false, w}; }

// Compares a recorded sequence with an expected one, entry by entry; an
// optional entry may be missing.
inline ::testing::AssertionResult MatchesSequence(const std::vector<TLogged>& actual,
                                                  const std::vector<TExpected>& expected) {
  size_t a = 0, e = 0;
  auto dump = [&]() {
    std::string s = "\n  actual:";
    for (const TLogged& l : actual) s += " " + MessageName(l.Msg);
    s += "\n  expected:";
    for (const TExpected& x : expected) s += std::string(" ") + (x.Optional ? "[" : "") + MessageName(x.Msg) + (x.Optional ? "]" : "");
    return s;
  };
  while (e < expected.size()) {
    const TExpected& x = expected[e];
    bool match = a < actual.size() && actual[a].Msg == x.Msg && (!x.Hwnd || actual[a].Hwnd == x.Hwnd) &&
                 (!x.WParam || actual[a].WParam == *x.WParam);
    if (match) {
      ++a;
      ++e;
    } else if (x.Optional) {
      ++e;
    } else {
      return ::testing::AssertionFailure() << "at entry " << e << " expected " << MessageName(x.Msg) << ", got "
                                           << (a < actual.size() ? MessageName(actual[a].Msg) : "nothing") << dump();
    }
  }
  if (a != actual.size())
    return ::testing::AssertionFailure() << "unexpected " << MessageName(actual[a].Msg) << " after the sequence"
                                         << dump();
  return ::testing::AssertionSuccess();
}

// Runs on the virtual clock with a message log; destroys what it created
// and leaves the queue empty.
class TUserTest : public ::testing::Test {
 protected:
  TMessageLog Log;
  std::vector<HWND> Created;

  void SetUp() override {
    rtl::testing::UseHeadlessBackend();
    rtl::testing::UseVirtualClock(true);
    RegisterLoggingClass("UserTestLog");
    RegisterLoggingClass("UserTestDbl", CS_DBLCLKS);
    TMessageLog::Current() = &Log;
  }

  void TearDown() override {
    TMessageLog::Current() = nullptr;
    ReleaseCapture();
    for (auto it = Created.rbegin(); it != Created.rend(); ++it)
      if (IsWindow(*it)) DestroyWindow(*it);
    rtl::testing::RunUntilIdle();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    SetFocus(nullptr);
  }

  HWND Make(DWORD ex, const char* cls, DWORD style, RECT r, HWND parent = nullptr, const char* text = "") {
    HWND h = CreateWindowExA(ex, cls, text, style, r.Left, r.Top, r.Width(), r.Height(), parent, nullptr, nullptr,
                             nullptr);
    if (h) Created.push_back(h);
    return h;
  }
  HWND MakeTop(DWORD style, RECT r, DWORD ex = 0, const char* cls = "UserTestLog") {
    return Make(ex, cls, style, r);
  }
  HWND MakeChild(HWND parent, DWORD style, RECT r, const char* cls = "UserTestLog") {
    return Make(0, cls, WS_CHILD | style, r, parent);
  }
};

}  // namespace user_test
