// Dragging an image over a window: drawn masked or blended at the hot
// spot in window coordinates, the covered pixels put back exactly when it
// moves or goes, paint that lands on it meanwhile kept, a cursor image
// combined with it.
#include <cstring>
#include <vector>

#include "platform/win/comctl/commctrl.h"
#include "tests/platform/win/user_test_support.h"
#include "tests/common/dib_canvas.h"

namespace {

using namespace user_test;
using rtl::testing::RunUntilIdle;
using rtl::testing::WindowPixel;

// The client area's picture: every pixel its own colour, shifted by the
// window's GWL_USERDATA so that a repaint shows something new.
COLORREF PatternAt(int x, int y, int shift) {
  return RGB((x * 7 + shift) & 0xFF, (y * 5 + shift) & 0xFF, (x + y + 3 * shift) & 0xFF);
}

LRESULT PatternProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    const int shift = static_cast<int>(GetWindowLongPtrA(h, GWL_USERDATA));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = r.Width();
    bi.bmiHeader.biHeight = -r.Height();
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> px(size_t(r.Width()) * r.Height());
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x) {
        COLORREF c = PatternAt(x, y, shift);
        px[size_t(y) * r.Width() + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
      }
    SetDIBitsToDevice(dc, 0, 0, r.Width(), r.Height(), 0, 0, 0, r.Height(), px.data(), &bi, DIB_RGB_COLORS);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

// The whole window (frame included) as pixels.
struct TPicture {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Px;
  explicit TPicture(HWND h) {
    HBITMAP b = rtl::testing::CaptureWindow(h, true);
    DIBSECTION ds{};
    GetObjectA(b, sizeof ds, &ds);
    Width = ds.dsBm.bmWidth;
    Height = ds.dsBm.bmHeight;
    const auto* bits = static_cast<const uint32_t*>(ds.dsBm.bmBits);
    Px.assign(bits, bits + size_t(Width) * Height);
    DeleteObject(b);
  }
  // How many pixels differ from another picture.
  int Diff(const TPicture& o) const {
    int n = 0;
    for (size_t i = 0; i < Px.size(); ++i) n += (Px[i] & 0xFFFFFF) != (o.Px[i] & 0xFFFFFF);
    return n;
  }
};

// An 8 x 6 image list: image 0 red with a transparent left column, image 1
// premultiplied half-transparent blue, image 2 a 3 x 3 green "cursor".
struct TImages {
  HIMAGELIST List = ImageList_Create(8, 6, ILC_COLOR32 | ILC_MASK, 4, 4);
  TImages() {
    Add([](int x, int) { return x == 0 ? 0x00FF00FFu : 0x00FF0000u; }, true);
    Add([](int, int) { return 0x80000080u; }, false);
    Add([](int x, int y) { return x < 3 && y < 3 ? 0x0000FF00u : 0x00FF00FFu; }, true);
  }
  template <class F>
  void Add(F colour, bool masked) {
    uint32_t* bits = nullptr;
    HBITMAP b = TestDib32(8, 6, &bits);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) bits[y * 8 + x] = colour(x, y);
    if (masked)
      ImageList_AddMasked(List, b, RGB(255, 0, 255));
    else
      ImageList_Add(List, b, nullptr);
    DeleteObject(b);
  }
  ~TImages() { ImageList_Destroy(List); }
};

class ImageListDrag : public TUserTest {
 protected:
  TImages Images;
  HWND Window = nullptr;

  void SetUp() override {
    TUserTest::SetUp();
    WNDCLASSA wc{};
    wc.lpfnWndProc = PatternProc;
    wc.lpszClassName = "ImageListDragPattern";
    RegisterClassA(&wc);
    // A frame, so that window and client coordinates differ.
    Window = Make(0, "ImageListDragPattern", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, RECT(20, 20, 220, 180));
    RunUntilIdle();
  }
  void TearDown() override {
    ImageList_EndDrag();
    TUserTest::TearDown();
  }
  // The pattern pixel under a window point.
  COLORREF Background(int wx, int wy) {
    RECT wr;
    GetWindowRect(Window, &wr);
    POINT o{0, 0};
    ClientToScreen(Window, &o);
    return PatternAt(wx - (o.X - wr.Left), wy - (o.Y - wr.Top), 0);
  }
  COLORREF At(int wx, int wy) { return WindowPixel(Window, wx, wy, true); }
};

TEST_F(ImageListDrag, TheImageShowsAtItsHotSpotInWindowCoordinatesAndLeavesNoTrace) {
  const TPicture Before(Window);
  ASSERT_TRUE(ImageList_BeginDrag(Images.List, 0, 2, 3));
  ASSERT_TRUE(ImageList_DragEnter(Window, 60, 50));
  // Top-left of the image at (58, 47) of the window.
  EXPECT_EQ(At(59, 47), RGB(255, 0, 0));
  EXPECT_EQ(At(65, 52), RGB(255, 0, 0));
  EXPECT_EQ(At(58, 47), Background(58, 47)) << "the masked column lets the window show";
  EXPECT_EQ(At(66, 47), Background(66, 47)) << "right of the image";
  EXPECT_EQ(At(59, 53), Background(59, 53)) << "below the image";
  EXPECT_EQ(TPicture(Window).Diff(Before), 7 * 6);

  ASSERT_TRUE(ImageList_DragMove(100, 90));
  EXPECT_EQ(At(59, 47), Background(59, 47)) << "the old place is put back";
  EXPECT_EQ(At(99, 87), RGB(255, 0, 0));
  EXPECT_EQ(TPicture(Window).Diff(Before), 7 * 6);

  // Overlapping moves restore too.
  ASSERT_TRUE(ImageList_DragMove(103, 91));
  ASSERT_TRUE(ImageList_DragMove(101, 89));
  EXPECT_EQ(TPicture(Window).Diff(Before), 7 * 6);

  POINT Pos{}, Hot{};
  EXPECT_NE(ImageList_GetDragImage(&Pos, &Hot), nullptr);
  EXPECT_EQ(Pos, POINT(101, 89));
  EXPECT_EQ(Hot, POINT(2, 3));

  ASSERT_TRUE(ImageList_DragLeave(Window));
  EXPECT_EQ(TPicture(Window).Diff(Before), 0);
  ImageList_EndDrag();
  EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr);
  EXPECT_FALSE(ImageList_DragMove(10, 10)) << "no drag any more";
}

TEST_F(ImageListDrag, HidingAndEndingPutBackThePixels) {
  const TPicture Before(Window);
  ASSERT_TRUE(ImageList_BeginDrag(Images.List, 0, 0, 0));
  ASSERT_TRUE(ImageList_DragEnter(Window, 30, 40));
  ASSERT_TRUE(ImageList_DragShowNolock(FALSE));
  EXPECT_EQ(TPicture(Window).Diff(Before), 0);
  // Moves while hidden draw nothing; showing draws at the new place.
  ASSERT_TRUE(ImageList_DragMove(80, 70));
  EXPECT_EQ(TPicture(Window).Diff(Before), 0);
  ASSERT_TRUE(ImageList_DragShowNolock(TRUE));
  EXPECT_EQ(At(81, 70), RGB(255, 0, 0));
  ImageList_EndDrag();
  EXPECT_EQ(TPicture(Window).Diff(Before), 0);
}

TEST_F(ImageListDrag, AnImageWithAlphaBlendsOverTheWindow) {
  ASSERT_TRUE(ImageList_BeginDrag(Images.List, 1, 0, 0));
  const COLORREF Under = At(40, 40);
  ASSERT_TRUE(ImageList_DragEnter(Window, 40, 40));
  const COLORREF Shown = At(40, 40);
  EXPECT_NEAR(GetRValue(Shown), GetRValue(Under) / 2, 1);
  EXPECT_NEAR(GetGValue(Shown), GetGValue(Under) / 2, 1);
  EXPECT_NEAR(GetBValue(Shown), 0x80 + GetBValue(Under) / 2, 1);
}

TEST_F(ImageListDrag, PaintOverTheImageIsKeptWhenItMoves) {
  ASSERT_TRUE(ImageList_BeginDrag(Images.List, 0, 0, 0));
  ASSERT_TRUE(ImageList_DragEnter(Window, 50, 50));
  // The window paints itself anew under the image (another picture).
  SetWindowLongPtrA(Window, GWL_USERDATA, 40);
  InvalidateRect(Window, nullptr, FALSE);
  UpdateWindow(Window);
  ASSERT_TRUE(ImageList_DragMove(120, 100));
  ImageList_EndDrag();
  const TPicture After(Window);
  // What a plain repaint shows: the image left no stale pixels behind.
  InvalidateRect(Window, nullptr, FALSE);
  UpdateWindow(Window);
  EXPECT_EQ(TPicture(Window).Diff(After), 0);
}

TEST_F(ImageListDrag, ACursorImageCombinesWithTheDragImage) {
  const TPicture Before(Window);
  ASSERT_TRUE(ImageList_BeginDrag(Images.List, 0, 4, 4));
  ASSERT_TRUE(ImageList_DragEnter(Window, 60, 60));
  // The cursor's hot spot (1, 1) lands on the drag's hot spot; the new
  // image spans both 8 x 6 images.
  ASSERT_TRUE(ImageList_SetDragCursorImage(Images.List, 2, 1, 1));
  EXPECT_EQ(At(59, 59), RGB(0, 255, 0));
  EXPECT_EQ(At(61, 61), RGB(0, 255, 0));
  EXPECT_EQ(At(62, 61), RGB(255, 0, 0));
  POINT Hot{};
  int Cx = 0, Cy = 0;
  ImageList_GetIconSize(ImageList_GetDragImage(nullptr, &Hot), &Cx, &Cy);
  EXPECT_EQ(Cx, 4 + 7);  // 4 left of the hot spot, 7 right of it
  EXPECT_EQ(Cy, 4 + 5);
  EXPECT_EQ(Hot, POINT(4, 4));

  // A cursor whose hot spot is far inside it widens the image up and to
  // the left; it replaces the earlier cursor.
  ASSERT_TRUE(ImageList_SetDragCursorImage(Images.List, 2, 7, 5));
  ImageList_GetIconSize(ImageList_GetDragImage(nullptr, &Hot), &Cx, &Cy);
  EXPECT_EQ(Cx, 7 + 4);
  EXPECT_EQ(Cy, 5 + 2);
  EXPECT_EQ(Hot, POINT(7, 5));
  EXPECT_EQ(At(53, 55), RGB(0, 255, 0)) << "the cursor's top-left";
  EXPECT_EQ(At(61, 61), RGB(255, 0, 0)) << "the first cursor is gone";
  ImageList_EndDrag();
  EXPECT_EQ(TPicture(Window).Diff(Before), 0);
}

TEST_F(ImageListDrag, CallsOutOfTurnFail) {
  EXPECT_FALSE(ImageList_DragEnter(Window, 1, 1));
  EXPECT_FALSE(ImageList_DragShowNolock(TRUE));
  EXPECT_FALSE(ImageList_SetDragCursorImage(Images.List, 2, 0, 0));
  EXPECT_FALSE(ImageList_BeginDrag(Images.List, 3, 0, 0));
  EXPECT_FALSE(ImageList_BeginDrag(nullptr, 0, 0, 0));
  ASSERT_TRUE(ImageList_BeginDrag(Images.List, 0, 0, 0));
  EXPECT_FALSE(ImageList_DragLeave(Window)) << "not entered";
  EXPECT_FALSE(ImageList_SetDragCursorImage(Images.List, 9, 0, 0));
  // The drag keeps its own copy: the list may go.
  HIMAGELIST Copy = ImageList_Duplicate(Images.List);
  ASSERT_TRUE(ImageList_BeginDrag(Copy, 0, 0, 0));
  ImageList_Destroy(Copy);
  ASSERT_TRUE(ImageList_DragEnter(Window, 30, 30));
  EXPECT_EQ(At(31, 30), RGB(255, 0, 0));
  // A window that goes while the image is on it.
  DestroyWindow(Window);
  EXPECT_TRUE(ImageList_DragMove(40, 40));
  ImageList_EndDrag();
}

}  // namespace
