// Device contexts of windows: the DCX_ flags of GetDCEx, LockWindowUpdate,
// ScrollDC, the caret, and layered windows, checked on captured pictures.
#include "tests/platform/win/user_test_support.h"
#include "tests/common/dib_canvas.h"

namespace {

using namespace user_test;
using rtl::testing::RunUntilIdle;
using rtl::testing::WindowPixel;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Paints its client area in the colour kept in GWL_USERDATA.
LRESULT SolidProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(h, GWL_USERDATA)));
    FillRect(dc, &ps.rcPaint, b);
    DeleteObject(b);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

void FillAll(HDC dc, COLORREF color, RECT r = RECT(-1000, -1000, 1000, 1000)) {
  HBRUSH b = CreateSolidBrush(color);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

class UserDCTest : public TUserTest {
 protected:
  void SetUp() override {
    TUserTest::SetUp();
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, "UserTestSolid", &wc)) {
      wc.lpfnWndProc = SolidProc;
      wc.lpszClassName = "UserTestSolid";
      RegisterClassA(&wc);
    }
  }
  HWND Solid(DWORD style, RECT r, COLORREF color, HWND parent = nullptr, DWORD ex = 0) {
    HWND h = Make(ex, "UserTestSolid", style, r, parent);
    SetWindowLongPtrA(h, GWL_USERDATA, static_cast<LONG_PTR>(color));
    return h;
  }
};

TEST_F(UserDCTest, WindowAndClientDCsCoverTheirAreas) {
  HWND a = Solid(WS_POPUP | WS_BORDER | WS_VISIBLE, RECT(0, 0, 100, 100), kRed);
  RunUntilIdle();
  HDC dc = GetDC(a);
  FillAll(dc, kBlue);
  ReleaseDC(a, dc);
  EXPECT_EQ(WindowPixel(a, 0, 0, true), RGB(0, 0, 0));  // the border stays
  EXPECT_EQ(WindowPixel(a, 1, 1, true), kBlue);
  dc = GetDCEx(a, nullptr, DCX_WINDOW | DCX_CACHE);
  FillAll(dc, kGreen);
  ReleaseDC(a, dc);
  EXPECT_EQ(WindowPixel(a, 0, 0, true), kGreen);
  EXPECT_EQ(WindowPixel(a, 99, 99, true), kGreen);
}

TEST_F(UserDCTest, ClippingFlagsChooseWhatChildrenAndSiblingsKeep) {
  HWND p = Solid(WS_POPUP | WS_VISIBLE, RECT(0, 0, 200, 100), kRed);
  HWND a = Solid(WS_CHILD | WS_VISIBLE, RECT(10, 10, 60, 60), kBlue, p);
  HWND b = Solid(WS_CHILD | WS_VISIBLE, RECT(40, 40, 90, 90), kGreen, p);
  RunUntilIdle();
  // The parent without WS_CLIPCHILDREN draws over its children; asked to
  // clip them, it does not.
  HDC dc = GetDCEx(p, nullptr, DCX_CACHE | DCX_CLIPCHILDREN);
  FillAll(dc, kWhite);
  ReleaseDC(p, dc);
  EXPECT_EQ(WindowPixel(p, 5, 5), kWhite);
  EXPECT_EQ(WindowPixel(p, 20, 20), kBlue);
  dc = GetDCEx(p, nullptr, DCX_CACHE);
  FillAll(dc, kWhite);
  ReleaseDC(p, dc);
  EXPECT_EQ(WindowPixel(p, 20, 20), kWhite);

  // A child created later goes below the earlier ones: a is above b, and
  // b clipping its siblings leaves the overlap alone.
  EXPECT_EQ(GetWindow(p, GW_CHILD), a);
  RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  COLORREF overlap = WindowPixel(p, 45, 45);
  EXPECT_NE(overlap, kWhite);
  dc = GetDCEx(b, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  FillAll(dc, kWhite);
  ReleaseDC(b, dc);
  EXPECT_EQ(WindowPixel(p, 45, 45), overlap);
  EXPECT_EQ(WindowPixel(p, 80, 80), kWhite);
  dc = GetDCEx(b, nullptr, DCX_CACHE);
  FillAll(dc, kWhite);
  ReleaseDC(b, dc);
  EXPECT_EQ(WindowPixel(p, 45, 45), kWhite);

  // DCX_PARENTCLIP: the child's origin, the parent's visible area.
  RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  dc = GetDCEx(a, nullptr, DCX_CACHE | DCX_PARENTCLIP);
  FillAll(dc, kWhite, RECT(-10, -10, 0, 0));
  ReleaseDC(a, dc);
  EXPECT_EQ(WindowPixel(p, 0, 0), kWhite);
  EXPECT_EQ(WindowPixel(p, 9, 9), kWhite);
  EXPECT_EQ(WindowPixel(p, 10, 10), kBlue);
}

TEST_F(UserDCTest, RegionsAndTheUpdateRegionLimitADC) {
  HWND a = Solid(WS_POPUP | WS_VISIBLE, RECT(50, 50, 150, 150), kRed);
  RunUntilIdle();
  // The region of DCX_INTERSECTRGN is in screen coordinates; the DC owns it.
  HDC dc = GetDCEx(a, CreateRectRgn(60, 60, 70, 70), DCX_CACHE | DCX_INTERSECTRGN);
  FillAll(dc, kBlue);
  ReleaseDC(a, dc);
  EXPECT_EQ(WindowPixel(a, 15, 15), kBlue);
  EXPECT_EQ(WindowPixel(a, 25, 25), kRed);
  dc = GetDCEx(a, CreateRectRgn(60, 60, 70, 70), DCX_CACHE | DCX_EXCLUDERGN);
  FillAll(dc, kGreen);
  ReleaseDC(a, dc);
  EXPECT_EQ(WindowPixel(a, 15, 15), kBlue);
  EXPECT_EQ(WindowPixel(a, 25, 25), kGreen);

  // DCX_INTERSECTUPDATE | DCX_VALIDATE paints the update region and takes it.
  RECT inv(0, 0, 10, 10);
  InvalidateRect(a, &inv, FALSE);
  dc = GetDCEx(a, nullptr, DCX_CACHE | DCX_INTERSECTUPDATE | DCX_VALIDATE);
  FillAll(dc, kWhite);
  ReleaseDC(a, dc);
  EXPECT_EQ(WindowPixel(a, 5, 5), kWhite);
  EXPECT_EQ(WindowPixel(a, 15, 15), kBlue);
  EXPECT_FALSE(GetUpdateRect(a, nullptr, FALSE));
}

TEST_F(UserDCTest, LockWindowUpdateStopsDrawingUntilUnlocked) {
  HWND a = Solid(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100), kRed);
  RunUntilIdle();
  ASSERT_TRUE(LockWindowUpdate(a));
  EXPECT_FALSE(LockWindowUpdate(Solid(WS_POPUP, RECT(0, 0, 10, 10), kRed)));  // one at a time
  HDC dc = GetDC(a);
  FillAll(dc, kBlue);
  ReleaseDC(a, dc);
  EXPECT_EQ(WindowPixel(a, 50, 50), kRed);
  // DCX_LOCKWINDOWUPDATE draws anyway (drag images do so).
  dc = GetDCEx(a, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  FillAll(dc, kGreen, RECT(0, 0, 10, 10));
  ReleaseDC(a, dc);
  EXPECT_EQ(WindowPixel(a, 5, 5), kGreen);
  // Unlocked, the window paints itself again.
  ASSERT_TRUE(LockWindowUpdate(nullptr));
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(a, 5, 5), kRed);
}

TEST_F(UserDCTest, ScrollDCMovesPixelsAndReportsWhatItUncovered) {
  HWND a = Solid(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100), kRed);
  RunUntilIdle();
  HDC dc = GetDC(a);
  for (int x = 0; x < 100; ++x) FillAll(dc, RGB(0, x, 0), RECT(x, 0, x + 1, 100));
  HRGN upd = CreateRectRgn(0, 0, 0, 0);
  RECT updRect;
  ASSERT_TRUE(ScrollDC(dc, 10, 0, nullptr, nullptr, upd, &updRect));
  ReleaseDC(a, dc);
  EXPECT_EQ(WindowPixel(a, 10, 50), RGB(0, 0, 0));
  EXPECT_EQ(WindowPixel(a, 99, 50), RGB(0, 89, 0));
  EXPECT_EQ(updRect, RECT(0, 0, 10, 100));
  RECT box;
  EXPECT_EQ(GetRgnBox(upd, &box), SIMPLEREGION);
  EXPECT_EQ(box, RECT(0, 0, 10, 100));
  DeleteObject(upd);
  EXPECT_FALSE(GetUpdateRect(a, nullptr, FALSE));  // ScrollDC invalidates nothing
}

TEST_F(UserDCTest, TheCaretInvertsItsCellAndBlinksOnTheClock) {
  HWND a = Solid(WS_POPUP | WS_VISIBLE, RECT(0, 0, 100, 100), kWhite);
  RunUntilIdle();
  ASSERT_TRUE(CreateCaret(a, nullptr, 2, 10));
  ASSERT_TRUE(SetCaretPos(20, 30));
  EXPECT_EQ(WindowPixel(a, 20, 30), kWhite);  // hidden after creation
  ASSERT_TRUE(ShowCaret(a));
  EXPECT_EQ(WindowPixel(a, 20, 30), RGB(0, 0, 0));
  EXPECT_EQ(WindowPixel(a, 21, 39), RGB(0, 0, 0));
  EXPECT_EQ(WindowPixel(a, 22, 30), kWhite);
  rtl::testing::AdvanceClock(GetCaretBlinkTime());
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(a, 20, 30), kWhite);
  rtl::testing::AdvanceClock(GetCaretBlinkTime());
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(a, 20, 30), RGB(0, 0, 0));
  // Painting does not leave a stale caret behind.
  InvalidateRect(a, nullptr, FALSE);
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(a, 20, 30), RGB(0, 0, 0));
  POINT p;
  GetCaretPos(&p);
  EXPECT_EQ(p, POINT(20, 30));
  SetCaretPos(50, 50);
  EXPECT_EQ(WindowPixel(a, 20, 30), kWhite);
  EXPECT_EQ(WindowPixel(a, 50, 50), RGB(0, 0, 0));
  HideCaret(a);
  EXPECT_EQ(WindowPixel(a, 50, 50), kWhite);
  ShowCaret(a);
  EXPECT_TRUE(DestroyCaret());
  EXPECT_EQ(WindowPixel(a, 50, 50), kWhite);
}

TEST_F(UserDCTest, LayeredWindowsShowTheirPictureWithItsAlpha) {
  HWND a = Solid(WS_POPUP | WS_VISIBLE, RECT(0, 0, 10, 10), kRed, nullptr, WS_EX_LAYERED);
  ASSERT_TRUE(SetLayeredWindowAttributes(a, 0, 128, LWA_ALPHA));
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(a, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

  // A 32-bit picture with straight per-pixel alpha: left half opaque blue,
  // right half half-transparent green (premultiplied, as the call wants).
  uint32_t* px = nullptr;
  HBITMAP pic = TestDib32(40, 20, &px);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) px[y * 40 + x] = x < 20 ? 0xFF0000FFu : 0x80008000u;
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, pic);
  POINT dst(300, 200), src(0, 0);
  SIZE size(40, 20);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(UpdateLayeredWindow(a, nullptr, &dst, &size, mem, &src, 0, &blend, ULW_ALPHA));
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(pic);

  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, RECT(300, 200, 340, 220));
  // WM_PAINT no longer draws over the picture.
  InvalidateRect(a, nullptr, TRUE);
  RunUntilIdle();
  HBITMAP shot = rtl::testing::CaptureWindow(a, true);
  DIBSECTION ds{};
  ASSERT_TRUE(GetObjectA(shot, sizeof ds, &ds));
  auto* got = static_cast<const uint32_t*>(ds.dsBm.bmBits);
  EXPECT_EQ(got[5 * 40 + 5], 0xFF0000FFu);
  EXPECT_EQ(got[5 * 40 + 30], 0x80008000u);
  DeleteObject(shot);

  // Only layered top-level windows take a picture.
  HWND plain = Solid(WS_POPUP, RECT(0, 0, 10, 10), kRed);
  EXPECT_FALSE(UpdateLayeredWindow(plain, nullptr, &dst, &size, nullptr, nullptr, 0, &blend, ULW_ALPHA));
}

}  // namespace
