#include "ui/foundation/parent_background.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/bitmap.h"
#include "platform/testing/user_testing.h"
#include "platform/win/user/user_menu.h"
#include "tests/common/pictures.h"
#include "window_paint_fixture.h"

using namespace window_paint_test;
using namespace cx_parent_background_detail;

namespace {

// Paints its parent's picture as its background, then a black mark in its
// top-left corner.
class TTransparentChild : public TCustomControl {
 public:
  explicit TTransparentChild(TComponent* AOwner) : TCustomControl(AOwner) {}
  bool PrintChildren = false;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    TcxCanvas canvas(Canvas());
    cxDrawParentBackground(this, &canvas, ClientRect(), PrintChildren);
    Canvas()->Brush()->SetColor(clBlack);
    Canvas()->FillRect(TRect(2, 2, 6, 6));
  }
};

class TSolidControl : public TCustomControl {
 public:
  explicit TSolidControl(TComponent* AOwner) : TCustomControl(AOwner) {}
  TColor Fill = clRed;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
};

class ParentBackgroundTest : public WindowPaintTest {
 protected:
  template <class T>
  T* Place(int ALeft, int ATop, int AWidth, int AHeight, TWinControl* AParent = nullptr) {
    auto* c = new T(Form);
    c->SetBounds(ALeft, ATop, AWidth, AHeight);
    c->SetParent(AParent ? AParent : Form);
    return c;
  }
};

TEST_F(ParentBackgroundTest, ATransparentChildShowsTheGradientUnderIt) {
  auto* child = Place<TTransparentChild>(50, 40, 80, 60);
  ShowForm();
  ASSERT_GT(child->Paints, 0);
  // On the screen, and painted once more into a bitmap.
  for (int y : {8, 30, 59}) EXPECT_EQ(rtl::testing::WindowPixel(child->Handle(), 40, y), GradientAt(40 + y)) << y;
  EXPECT_EQ(rtl::testing::WindowPixel(child->Handle(), 3, 3), RGB(0, 0, 0));
  TProbeBitmap probe(80, 60);
  cxDrawParentBackground(child, probe.Canvas.get(), TRect(0, 0, 80, 60));
  for (int y : {0, 25, 59}) EXPECT_EQ(probe.Pixel(79, y), GradientAt(40 + y)) << y;
  // A part of the background placed elsewhere in the canvas.
  TProbeBitmap moved(80, 60);
  cxDrawParentBackgroundAt(child, moved.Canvas.get(), TRect(10, 20, 30, 40), false, TPoint(0, 0));
  EXPECT_EQ(moved.Pixel(5, 0), GradientAt(60));
  EXPECT_EQ(moved.Pixel(5, 19), GradientAt(79));
  EXPECT_EQ(moved.Pixel(25, 25), RGB(255, 255, 255));  // outside the source's size
}

TEST_F(ParentBackgroundTest, PictureOfAFormWithTransparentChildren) {
  auto* a = Place<TTransparentChild>(20, 20, 120, 90);
  auto* panel = Place<TSolidControl>(180, 30, 180, 200);
  panel->Fill = clWhite;
  Place<TSolidControl>(30, 150, 100, 60)->Fill = clNavy;
  auto* b = Place<TTransparentChild>(60, 130, 110, 100);
  b->PrintChildren = true;  // shows the navy box under it
  ShowForm();
  HWND form = Form->Handle();
  ASSERT_TRUE(rtl::testing::SaveWindowPng(form, PictureDir() + "parent_background_form.png"));
  EXPECT_EQ(rtl::testing::WindowPixel(a->Handle(), 100, 80), GradientAt(100));
  EXPECT_EQ(rtl::testing::WindowPixel(b->Handle(), 10, 40), ColorToRGB(clNavy));
  EXPECT_EQ(rtl::testing::WindowPixel(b->Handle(), 100, 40), GradientAt(170));
}

TEST_F(ParentBackgroundTest, ANestedRequestPaintsNothing) {
  auto* child = Place<TTransparentChild>(50, 40, 80, 60);
  ShowForm();
  TProbeBitmap nested(80, 60);
  int nestedRequests = 0;
  DuringGradient = [&] {
    ++nestedRequests;
    cxDrawParentBackground(child, nested.Canvas.get(), TRect(0, 0, 80, 60));
  };
  TProbeBitmap outer(80, 60);
  GradientPaints = 0;
  cxDrawParentBackground(child, outer.Canvas.get(), TRect(0, 0, 80, 60));
  EXPECT_EQ(GradientPaints, 1);
  EXPECT_EQ(nestedRequests, 1);
  EXPECT_EQ(nested.Pixel(40, 30), RGB(255, 255, 255));
  EXPECT_EQ(outer.Pixel(40, 30), GradientAt(70));
  EXPECT_FALSE(IsBeingPrinted(Form));
  EXPECT_FALSE(IsBeingPainted(child->Handle()));
}

TEST_F(ParentBackgroundTest, AControlWithoutAParentGetsNothing) {
  ShowForm();
  TTransparentChild orphan(nullptr);
  TProbeBitmap probe(20, 20);
  cxDrawParentBackground(&orphan, probe.Canvas.get(), TRect(0, 0, 20, 20), true);
  cxDrawParentBackground(nullptr, probe.Canvas.get(), TRect(0, 0, 20, 20), true);
  EXPECT_EQ(probe.Pixel(10, 10), RGB(255, 255, 255));
  EXPECT_EQ(GradientPaints, 1);
}

// The child at (50, 40, 80 x 60); the sibling (a red control, or a plain
// window) covers its left half.
struct TSiblingCase {
  const char* Name;
  bool PrintChildren;
  int Sibling;  // 0 a control, 1 a plain window, 2 a hidden plain window
  COLORREF Expected;
};

TEST_F(ParentBackgroundTest, PrintingChildrenShowsOverlappingSiblingsButNeverTheControlItself) {
  const TSiblingCase cases[] = {
      {"control", true, 0, RGB(255, 0, 0)},        {"control, children off", false, 0, GradientAt(60)},
      {"plain window", true, 1, RGB(0, 0, 255)},   {"plain window, children off", false, 1, GradientAt(60)},
      {"hidden plain window", true, 2, GradientAt(60)},
  };
  for (const TSiblingCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* child = Place<TTransparentChild>(50, 40, 80, 60);
    TSolidControl* control = nullptr;
    TPlainProc blue = SolidPrinter(RGB(0, 0, 255));
    HWND plain = nullptr;
    if (c.Sibling == 0) {
      control = Place<TSolidControl>(10, 30, 80, 80);
    } else {
      ShowForm();
      plain = MakePlainWindow(WS_CHILD | (c.Sibling == 1 ? WS_VISIBLE : 0), Form->Handle(), TRect(10, 30, 90, 110),
                              &blue);
    }
    ShowForm();
    const int paints = child->Paints;
    TProbeBitmap probe(80, 60);
    cxDrawParentBackground(child, probe.Canvas.get(), TRect(0, 0, 80, 60), c.PrintChildren);
    EXPECT_EQ(probe.Pixel(10, 20), c.Expected);
    EXPECT_EQ(probe.Pixel(60, 20), GradientAt(60));
    EXPECT_EQ(probe.Pixel(3, 3), probe.Pixel(10, 3));  // the child's own mark is not there
    EXPECT_EQ(child->Paints, paints);
    delete child;
    delete control;
    if (plain) DestroyWindow(plain);
  }
}

// What a window receives while it is printed.
struct TPrintLog {
  std::vector<std::string> Entries;
  TPlainProc Proc = [this](HWND, UINT msg, WPARAM w, LPARAM l, LRESULT&) {
    if (msg == WM_ERASEBKGND) Entries.push_back(w == WPARAM(l) ? "erase(dc,dc)" : "erase");
    if (msg == WM_PRINT)
      Entries.push_back(std::string("print") + ((l & PRF_NONCLIENT) ? "+frame" : "") + ((l & PRF_CLIENT) ? "+client" : ""));
    if (msg == WM_NCPAINT) Entries.push_back("ncpaint");
    return false;
  };
};

struct TPrintCase {
  const char* Name;
  DWORD Style;
  bool Menu;
  bool WithFrame;
  bool Erase;
  std::vector<std::string> Expected;
};

TEST_F(ParentBackgroundTest, PrintMessagesAndTheRepaintOfATopLevelFrameWithAMenu) {
  ShowForm();
  const TPrintCase cases[] = {
      {"top-level with a menu", WS_OVERLAPPEDWINDOW, true, true, false, {"print+frame+client", "ncpaint"}},
      {"top-level with a menu, client only", WS_OVERLAPPEDWINDOW, true, false, false, {"print+client"}},
      {"top-level without a menu", WS_OVERLAPPEDWINDOW, false, true, false, {"print+frame+client"}},
      {"child with a border", WS_CHILD | WS_BORDER, false, true, true, {"erase(dc,dc)", "print+frame+client"}},
      {"child without a frame", WS_CHILD, false, true, false, {"print+client"}},
  };
  for (const TPrintCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPrintLog log;
    HMENU menu = nullptr;
    if (c.Menu) {
      menu = CreateMenu();
      AppendMenuA(menu, MF_STRING, 1, "&File");
    }
    HWND hwnd = MakePlainWindow(c.Style | WS_VISIBLE, (c.Style & WS_CHILD) ? Form->Handle() : nullptr,
                                TRect(10, 10, 210, 160), &log.Proc, menu);
    Pump();
    log.Entries.clear();
    TProbeBitmap probe(300, 200);
    cxPrintWindowTo(hwnd, probe.Bitmap->Canvas()->Handle(), c.WithFrame, c.Erase);
    std::vector<std::string> printed;
    for (const std::string& e : log.Entries)
      if (e != "erase") printed.push_back(e);  // the default print's own erase
    EXPECT_EQ(printed, c.Expected);
    DestroyWindow(hwnd);
  }
}

TEST_F(ParentBackgroundTest, AFramePrintedAtAMovedOriginLandsWhereItWouldAtZero) {
  ShowForm();
  TPlainProc green = SolidPrinter(RGB(0, 160, 0));
  HWND hwnd = MakePlainWindow(WS_POPUP | WS_BORDER | WS_CAPTION | WS_VISIBLE, nullptr, TRect(300, 300, 360, 350),
                              &green);
  Pump();
  RECT w{};
  GetWindowRect(hwnd, &w);
  TProbeBitmap atZero(100, 100), moved(100, 100);
  cxPrintWindowTo(hwnd, atZero.Bitmap->Canvas()->Handle(), true, false);
  HDC dc = moved.Bitmap->Canvas()->Handle();
  SetWindowOrgEx(dc, -7, -5, nullptr);
  const DWORD before = LiveGdiObjects();
  cxPrintWindowTo(hwnd, dc, true, false);
  EXPECT_EQ(LiveGdiObjects(), before);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  int differing = 0;
  for (int y = 0; y < w.Height(); ++y)
    for (int x = 0; x < w.Width(); ++x) differing += atZero.Pixel(x, y) != moved.Pixel(x + 7, y + 5);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(atZero.Pixel(w.Width() / 2, w.Height() - 6), RGB(0, 160, 0));
  DestroyWindow(hwnd);
}

TEST_F(ParentBackgroundTest, APaintHandlerRaisingLeavesNoResourceOrGuardBehind) {
  auto* child = Place<TTransparentChild>(50, 40, 80, 60);
  ShowForm();
  TProbeBitmap probe(80, 60);
  cxDrawParentBackground(child, probe.Canvas.get(), TRect(0, 0, 80, 60), true);  // first use of every cache
  const DWORD before = LiveGdiObjects();
  FailGradient = true;
  Reported.clear();
  cxDrawParentBackground(child, probe.Canvas.get(), TRect(0, 0, 80, 60), true);
  FailGradient = false;
  EXPECT_EQ(Reported, std::vector<AnsiString>{"gradient"});
  EXPECT_EQ(LiveGdiObjects(), before);
  EXPECT_FALSE(IsBeingPrinted(Form));
  EXPECT_FALSE(IsBeingPainted(child->Handle()));
  EXPECT_FALSE(Form->ControlState().Contains(csPaintCopy));
  // The canvas's DC is back as it was: a later background lands in place.
  TProbeBitmap again(80, 60);
  cxDrawParentBackground(child, again.Canvas.get(), TRect(0, 0, 80, 60));
  EXPECT_EQ(again.Pixel(0, 0), GradientAt(40));
}

TEST_F(ParentBackgroundTest, ASiblingRaisingWhilePrintedLeavesNoResourceOrGuardBehind) {
  auto* child = Place<TTransparentChild>(50, 40, 80, 60);
  ShowForm();
  bool raise = false;
  TPlainProc raising = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_PRINTCLIENT && raise) throw Exception("sibling");
    return false;
  };
  HWND plain = MakePlainWindow(WS_CHILD | WS_VISIBLE | WS_BORDER, Form->Handle(), TRect(10, 30, 90, 110), &raising);
  Pump();
  TProbeBitmap probe(80, 60);
  cxDrawParentBackground(child, probe.Canvas.get(), TRect(0, 0, 80, 60), true);  // first use of every cache
  raise = true;
  const DWORD before = LiveGdiObjects();
  EXPECT_ANY_THROW(cxDrawParentBackground(child, probe.Canvas.get(), TRect(0, 0, 80, 60), true));
  EXPECT_EQ(LiveGdiObjects(), before);
  EXPECT_FALSE(IsBeingPrinted(Form));
  EXPECT_FALSE(IsBeingPainted(child->Handle()));
  EXPECT_FALSE(Form->ControlState().Contains(csPaintCopy));
  DestroyWindow(plain);
  TProbeBitmap again(80, 60);
  cxDrawParentBackground(child, again.Canvas.get(), TRect(0, 0, 80, 60), true);
  EXPECT_EQ(again.Pixel(0, 0), GradientAt(40));
}

TEST_F(ParentBackgroundTest, DirectChildWindowsAreListedWithoutGrandchildren) {
  auto* panel = Place<TSolidControl>(10, 10, 100, 100);
  auto* inner = Place<TSolidControl>(5, 5, 20, 20, panel);
  auto* other = Place<TSolidControl>(150, 10, 50, 50);
  ShowForm();
  std::vector<HWND> list;
  cxListDirectChildWindows(Form->Handle(), list);
  std::sort(list.begin(), list.end());
  std::vector<HWND> expected{panel->Handle(), other->Handle()};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(list, expected);
  list.clear();
  cxListDirectChildWindows(panel->Handle(), list);
  EXPECT_EQ(list, std::vector<HWND>{inner->Handle()});
}

TEST_F(ParentBackgroundTest, TheParentsWindowRegionClipsItsPicture) {
  auto* host = Place<TSolidControl>(20, 20, 200, 200);
  host->Fill = clLime;
  auto* child = Place<TTransparentChild>(10, 10, 100, 100, host);
  ShowForm();
  SetWindowRgn(host->Handle(), CreateRectRgn(0, 0, 60, 200), FALSE);
  TProbeBitmap probe(100, 100);
  cxDrawParentBackground(child, probe.Canvas.get(), TRect(0, 0, 100, 100));
  EXPECT_EQ(probe.Pixel(20, 50), ColorToRGB(clLime));
  EXPECT_EQ(probe.Pixel(70, 50), RGB(255, 255, 255));
}

TEST_F(ParentBackgroundTest, InvalidatingARectangleOrTheWholeWindow) {
  auto* child = Place<TSolidControl>(10, 10, 100, 100);
  ShowForm();
  RECT r{};
  cxInvalidateWindowRect(child->Handle(), TRect(5, 6, 20, 30));
  ASSERT_TRUE(GetUpdateRect(child->Handle(), &r, FALSE));
  EXPECT_EQ(TRect(r), TRect(5, 6, 20, 30));
  cxInvalidateWindowRect(child->Handle(), false);
  ASSERT_TRUE(GetUpdateRect(child->Handle(), &r, FALSE));
  EXPECT_EQ(TRect(r), TRect(0, 0, 100, 100));
  Pump();
}

// A 32 x 64 monochrome cursor: the AND square's rows [AndFrom, AndTo)
// drawn, the XOR square's rows [XorFrom, XorTo) set.
struct TCursorCase {
  const char* Name;
  int AndFrom, AndTo, XorFrom, XorTo, HotY;
  int ExpectedHeight;
};

TEST(CursorVisibleSizeTest, ThePartBelowTheHotSpotFromTheMask) {
  const TCursorCase cases[] = {
      {"arrow drawn through the AND mask", 0, 20, 0, 0, 5, 14},
      {"XOR-only I-beam", 0, 0, 2, 26, 10, 15},
      {"hot spot at the bottom", 0, 20, 0, 0, 19, 0},
  };
  for (const TCursorCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<BYTE> andPlane(32 * 4, 0xFF), xorPlane(32 * 4, 0);
    for (int y = c.AndFrom; y < c.AndTo; ++y) andPlane[size_t(y) * 4] = 0x0F;
    for (int y = c.XorFrom; y < c.XorTo; ++y) xorPlane[size_t(y) * 4 + 1] = 0x10;
    HCURSOR cursor = CreateCursor(nullptr, 3, c.HotY, 32, 32, andPlane.data(), xorPlane.data());
    ASSERT_NE(cursor, nullptr);
    HCURSOR old = SetCursor(cursor);
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    TSize size;
    cxGetCursorVisibleSize(size);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(size.cy, c.ExpectedHeight);
    SetCursor(old);
    DestroyCursor(cursor);
  }
}

}  // namespace
