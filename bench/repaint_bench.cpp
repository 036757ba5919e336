// The cost of a full repaint of a 1280x800 window with 200 child windows:
// invalidation with all children, WM_NCPAINT, WM_ERASEBKGND and WM_PAINT
// for every window, each drawing into the window's surface.
#include <benchmark/benchmark.h>

#include "platform/testing/user_testing.h"
#include "platform/win/win32.h"

namespace {

LRESULT Tile(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

struct TForm {
  HWND Top = nullptr;
  TForm() {
    rtl::testing::UseHeadlessBackend();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "BenchForm";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    RegisterClassA(&wc);
    wc.lpfnWndProc = Tile;
    wc.lpszClassName = "BenchTile";
    wc.hbrBackground = nullptr;
    RegisterClassA(&wc);
    RECT outer(0, 0, 1280, 800);
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    Top = CreateWindowExA(0, "BenchForm", "Bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                          outer.Width(), outer.Height(), nullptr, nullptr, nullptr, nullptr);
    // 20 columns by 10 rows of tiles.
    for (int i = 0; i < 200; ++i)
      CreateWindowExA(0, "BenchTile", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, (i % 20) * 64, (i / 20) * 80, 60,
                      76, Top, nullptr, nullptr, nullptr);
    rtl::testing::RunUntilIdle();
  }
  ~TForm() { DestroyWindow(Top); }
};

void BM_FullRepaint(benchmark::State& state) {
  TForm f;
  for (auto _ : state)
    RedrawWindow(f.Top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  state.SetItemsProcessed(state.iterations() * 201);
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

void BM_RepaintThroughTheQueue(benchmark::State& state) {
  TForm f;
  for (auto _ : state) {
    InvalidateRect(f.Top, nullptr, TRUE);
    RedrawWindow(f.Top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    rtl::testing::RunUntilIdle();
  }
  state.SetItemsProcessed(state.iterations() * 201);
}
BENCHMARK(BM_RepaintThroughTheQueue)->Unit(benchmark::kMillisecond);

}  // namespace
