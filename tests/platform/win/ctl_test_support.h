// Shared pieces of the standard-control tests: a parent window that logs
// what its controls tell it and can answer owner-draw questions, input
// helpers and a look at captured pixels.
#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
#include <ostream>
#include <utility>
#include <vector>

#include "platform/win/comctl/commctrl_controls.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/ctl_common.h"
#include "tests/platform/win/user_test_support.h"

namespace ctl_test {

using namespace user_test;
using rtl::testing::ClientPoint;
using rtl::testing::InjectClick;
using rtl::testing::InjectKey;
using rtl::testing::InjectKeyPress;
using rtl::testing::InjectMouseButton;
using rtl::testing::InjectMouseMove;
using rtl::testing::InjectText;
using rtl::testing::InjectWheel;
using rtl::testing::RunUntilIdle;
using rtl::detail::CtlText;

// Lets a test answer the parent's messages (owner drawing, colours):
// returns true when it handled msg and set result.
using TParentHook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
inline TParentHook& ParentHook() {
  static TParentHook hook;
  return hook;
}

// WM_NOTIFY codes the parent heard (their records do not outlive the call).
inline std::vector<UINT>& NotifyCodes() {
  static std::vector<UINT> codes;
  return codes;
}

inline LRESULT ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  if (m == WM_NOTIFY && l) NotifyCodes().push_back(reinterpret_cast<const NMHDR*>(l)->code);
  LRESULT r = 0;
  if (ParentHook() && ParentHook()(h, m, w, l, r)) return r;
  return DefWindowProcA(h, m, w, l);
}

struct TCommand {
  int Id;
  int Code;
  bool operator==(const TCommand&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const TCommand& c) {
  return os << "{" << c.Id << ", " << c.Code << "}";
}

// The ink of a picture: the bounds of the pixels that differ from the
// background colour, in client coordinates.
struct TPicture {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;  // 0x00RRGGBB
  COLORREF At(int x, int y) const {
    uint32_t p = Pixels[static_cast<size_t>(y) * Width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  RECT Ink(COLORREF background, RECT within) const {
    RECT r(within.Right, within.Bottom, within.Left, within.Top);
    for (int y = within.Top; y < within.Bottom; ++y)
      for (int x = within.Left; x < within.Right; ++x)
        if (At(x, y) != background) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
  }
  int Count(COLORREF color, RECT within) const {
    int n = 0;
    for (int y = within.Top; y < within.Bottom; ++y)
      for (int x = within.Left; x < within.Right; ++x)
        if (At(x, y) == color) ++n;
    return n;
  }
};

inline TPicture Capture(HWND h, bool withFrame = false) {
  TPicture p;
  HBITMAP b = rtl::testing::CaptureWindow(h, withFrame);
  if (!b) return p;
  BITMAP bm{};
  GetObjectA(b, sizeof bm, &bm);
  p.Width = bm.bmWidth;
  p.Height = bm.bmHeight;
  p.Pixels.resize(static_cast<size_t>(p.Width) * p.Height);
  const auto* bits = static_cast<const uint8_t*>(bm.bmBits);
  for (int y = 0; y < p.Height; ++y)
    std::memcpy(&p.Pixels[static_cast<size_t>(y) * p.Width], bits + static_cast<size_t>(y) * bm.bmWidthBytes,
                static_cast<size_t>(p.Width) * 4);
  DeleteObject(b);
  return p;
}

class TCtlTest : public TUserTest {
 protected:
  HWND Dialog = nullptr;

  void SetUp() override {
    TUserTest::SetUp();
    rtl::detail::RegisterStandardControlClasses();
    InitCommonControls();
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, "CtlTestParent", &wc)) {
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = ParentProc;
      wc.lpszClassName = "CtlTestParent";
      wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
      wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
      RegisterClassA(&wc);
    }
    Dialog = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 600, 500), 0, "CtlTestParent");
    RunUntilIdle();
    Log.Clear();
    NotifyCodes().clear();
  }

  void TearDown() override {
    ParentHook() = nullptr;
    TUserTest::TearDown();
  }

  HWND Ctl(const char* cls, const char* text, DWORD style, RECT r, int id = 100, DWORD ex = 0) {
    HWND h = CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, r.Left, r.Top, r.Width(), r.Height(),
                             Dialog, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    if (h) Created.push_back(h);
    return h;
  }

  // WM_COMMAND notifications the dialog heard, in order.
  std::vector<TCommand> Commands(int code = -1000) const {
    std::vector<TCommand> r;
    for (const TLogged& l : Log.Items)
      if (l.Hwnd == Dialog && l.Msg == WM_COMMAND && (code == -1000 || static_cast<short>(HIWORD(l.WParam)) == code))
        r.push_back(TCommand{LOWORD(l.WParam), static_cast<short>(HIWORD(l.WParam))});
    return r;
  }

  void Click(HWND h, int x, int y) {
    InjectClick(ClientPoint(h, x, y));
    RunUntilIdle();
  }
  void Press(UINT vk) {
    InjectKeyPress(vk);
    RunUntilIdle();
  }
  void WithKey(UINT modifier, UINT vk) {
    InjectKey(modifier, true);
    InjectKeyPress(vk);
    InjectKey(modifier, false);
    RunUntilIdle();
  }
  void Type(const AnsiString& text) {
    InjectText(text);
    RunUntilIdle();
  }
};

}  // namespace ctl_test
