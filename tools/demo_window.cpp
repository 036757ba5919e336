// A small program that shows the window system at work: a framed
// top-level window with a child. A click on the child changes its colour;
// typed characters appear under it; Escape closes the window. What happens
// is written to standard output, one line per event, and a screenshot of
// the window (frame included) is written when it closes.
//
//   demo_window [--screenshot FILE] [--self-test] [--exit-after MS]
//
// --self-test plays the scenario by injected input (no display needed) and
// exits with 0 when the window ended as expected. Under a display the same
// scenario can be played from outside, for example with xdotool:
//   xdotool search --name "Platform demo"   (then click inside the child,
//   type "hi" and press Escape)
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/testing/user_testing.h"
#include "platform/win/win32.h"

namespace {

const COLORREF kColors[] = {RGB(0x33, 0x66, 0xCC), RGB(0xCC, 0x33, 0x33), RGB(0x33, 0x99, 0x33)};

struct TState {
  HWND Frame = nullptr;
  HWND Child = nullptr;
  int Clicks = 0;
  std::string Typed;
  std::string Screenshot;
} g;

void Fill(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

LRESULT ChildProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r;
      GetClientRect(h, &r);
      Fill(dc, r, kColors[g.Clicks % 3]);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      ++g.Clicks;
      std::printf("click %d at %d,%d\n", g.Clicks, GET_X_LPARAM(l), GET_Y_LPARAM(l));
      std::fflush(stdout);
      InvalidateRect(h, nullptr, FALSE);
      return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

LRESULT FrameProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r(20, 140, 400, 170);
      Fill(dc, r, GetSysColor(COLOR_3DFACE));
      SetBkMode(dc, TRANSPARENT);
      DrawTextA(dc, g.Typed.c_str(), static_cast<int>(g.Typed.size()), &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_CHAR:
      if (w >= 0x20) {
        g.Typed.push_back(static_cast<char>(w));
        std::printf("char %c\n", static_cast<char>(w));
        std::fflush(stdout);
        RECT r(20, 140, 400, 170);
        InvalidateRect(h, &r, TRUE);
      }
      return 0;
    case WM_KEYDOWN:
      std::printf("key %u\n", static_cast<unsigned>(w));
      std::fflush(stdout);
      if (w == VK_ESCAPE) DestroyWindow(h);
      return 0;
    case WM_DESTROY:
      if (!g.Screenshot.empty()) {
        bool ok = rtl::testing::SaveWindowPng(h, g.Screenshot, true);
        std::printf("screenshot %s %s\n", g.Screenshot.c_str(), ok ? "written" : "failed");
      }
      std::printf("closed clicks=%d typed=%s\n", g.Clicks, g.Typed.c_str());
      std::fflush(stdout);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

void Register(const char* name, WNDPROC proc, HBRUSH background) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  wc.hbrBackground = background;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
}

// The scenario by injected input; answers whether the window ended up as
// expected.
bool SelfTest() {
  rtl::testing::RunUntilIdle();
  POINT c = rtl::testing::ClientPoint(g.Child, 100, 50);
  rtl::testing::InjectClick(c);
  rtl::testing::RunUntilIdle();
  // Far enough apart in time not to be a double click.
  rtl::testing::InjectMouseMove(POINT(c.X + 5, c.Y));
  rtl::testing::InjectClick(POINT(c.X + 5, c.Y));
  rtl::testing::InjectText("hi");
  rtl::testing::RunUntilIdle();
  bool ok = g.Clicks == 2 && g.Typed == "hi" && rtl::testing::WindowPixel(g.Child, 100, 50) == kColors[2];
  rtl::testing::InjectKeyPress(VK_ESCAPE);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  bool selfTest = false;
  int exitAfter = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--screenshot") && i + 1 < argc)
      g.Screenshot = argv[++i];
    else if (!std::strcmp(argv[i], "--self-test"))
      selfTest = true;
    else if (!std::strcmp(argv[i], "--exit-after") && i + 1 < argc)
      exitAfter = std::atoi(argv[++i]);
  }
  Register("DemoFrame", FrameProc, reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1));
  Register("DemoChild", ChildProc, nullptr);
  g.Frame = CreateWindowExA(0, "DemoFrame", "Platform demo", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100, 100, 420,
                            260, nullptr, nullptr, nullptr, nullptr);
  g.Child = CreateWindowExA(WS_EX_CLIENTEDGE, "DemoChild", "", WS_CHILD | WS_VISIBLE, 20, 20, 200, 100, g.Frame,
                            nullptr, nullptr, nullptr);
  ShowWindow(g.Frame, SW_SHOWNORMAL);
  UpdateWindow(g.Frame);
  std::printf("ready\n");
  std::fflush(stdout);
  if (exitAfter > 0)
    SetTimer(nullptr, 0, static_cast<UINT>(exitAfter), [](HWND, UINT, UINT_PTR, DWORD) {
      if (IsWindow(g.Frame)) DestroyWindow(g.Frame);
    });
  bool ok = true;
  if (selfTest) ok = SelfTest();
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return ok ? 0 : 1;
}
