#include "ui/foundation/glass_paint.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/testing/user_testing.h"
#include "platform/testing/uxtheme_recording.h"
#include "ui/foundation/dx_core.h"
#include "window_paint_fixture.h"

using namespace window_paint_test;

namespace {

// Paints stripes, a frame and a diagonal; with Buffered its WM_PAINT goes
// through cxBufferedPaintControl.
class TStripedControl : public TCustomControl {
 public:
  explicit TStripedControl(TComponent* AOwner) : TCustomControl(AOwner) {}
  bool Buffered = false;
  bool Fail = false;
  TColor Accent = clRed;

 protected:
  void WndProc(TMessage& Message) override {
    if (Buffered && Message.Msg == WM_PAINT && Message.WParam == 0) {
      cxBufferedPaintControl(this);
      return;
    }
    TCustomControl::WndProc(Message);
  }
  void Paint() override {
    if (Fail) throw Exception("paint");
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    for (int x = 0; x < r.Right; x += 8) {
      c->Brush()->SetColor(x % 16 ? Accent : clYellow);
      c->FillRect(TRect(x, 0, x + 8, r.Bottom));
    }
    c->Pen()->SetColor(clBlue);
    c->MoveTo(0, 0);
    c->LineTo(r.Right, r.Bottom);
    c->Brush()->SetColor(clGreen);
    c->FrameRect(TRect(3, 3, r.Right - 3, r.Bottom - 3));
  }
};

class GlassPaintTest : public WindowPaintTest {
 protected:
  TStripedControl* Place(int ALeft, bool ABuffered) {
    auto* c = new TStripedControl(Form);
    c->SetBounds(ALeft, 10, 90, 70);
    c->Buffered = ABuffered;
    c->SetParent(Form);
    return c;
  }
  static int DifferingPixels(HWND A, HWND B) {
    int n = 0;
    for (int y = 0; y < 70; ++y)
      for (int x = 0; x < 90; ++x) n += rtl::testing::WindowPixel(A, x, y) != rtl::testing::WindowPixel(B, x, y);
    return n;
  }
};

TEST_F(GlassPaintTest, ABufferedPaintGivesTheDirectPaintsPixels) {
  auto* direct = Place(10, false);
  auto* buffered = Place(120, true);
  ShowForm();
  EXPECT_EQ(rtl::testing::WindowPixel(buffered->Handle(), 1, 40), ColorToRGB(clYellow));
  EXPECT_EQ(DifferingPixels(direct->Handle(), buffered->Handle()), 0);
  // Only the invalid part is painted again.
  for (auto* c : {direct, buffered}) {
    c->Accent = clPurple;
    RECT part(20, 10, 50, 40);
    InvalidateRect(c->Handle(), &part, FALSE);
  }
  Pump();
  EXPECT_EQ(rtl::testing::WindowPixel(buffered->Handle(), 30, 20), ColorToRGB(clPurple));
  EXPECT_EQ(rtl::testing::WindowPixel(buffered->Handle(), 60, 50), ColorToRGB(clRed));
  EXPECT_EQ(DifferingPixels(direct->Handle(), buffered->Handle()), 0);
}

TEST_F(GlassPaintTest, ABufferedPaintRaisingReleasesEverythingAndValidates) {
  auto* buffered = Place(120, true);
  ShowForm();
  const DWORD before = LiveGdiObjects();
  buffered->Fail = true;
  InvalidateRect(buffered->Handle(), nullptr, TRUE);
  EXPECT_ANY_THROW(cxBufferedPaintControl(buffered));
  buffered->Fail = false;
  EXPECT_EQ(LiveGdiObjects(), before);
  RECT r{};
  EXPECT_FALSE(GetUpdateRect(buffered->Handle(), &r, FALSE));
}

TEST_F(GlassPaintTest, UpdateRegionOfAControlExceptOnSevenWithoutComposition) {
  // Other tests may leave the version flags of another system behind.
  const bool seven = OSWin7;
  OSWin7 = false;
  auto* c = Place(10, false);
  ShowForm();
  RECT part(5, 6, 25, 26);
  InvalidateRect(c->Handle(), &part, FALSE);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_TRUE(cxGetUpdateRegionOfControl(c, region));
  RECT box{};
  GetRgnBox(region, &box);
  EXPECT_EQ(TRect(box), TRect(5, 6, 25, 26));
  OSWin7 = true;
  EXPECT_FALSE(cxGetUpdateRegionOfControl(c, region));
  OSWin7 = seven;
  EXPECT_FALSE(cxGetUpdateRegionOfControl(nullptr, region));
  DeleteObject(region);
  Pump();
}

// A 32-bit top-down DIB section filled with one colour and alpha, in a
// memory DC.
struct TDibTarget {
  HDC DC = CreateCompatibleDC(nullptr);
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  uint32_t* Bits = nullptr;
  int Width;
  TDibTarget(int AWidth, int AHeight, uint32_t AFill) : Width(AWidth) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = AWidth;
    bi.bmiHeader.biHeight = -AHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    Bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    Bits = static_cast<uint32_t*>(bits);
    std::fill_n(Bits, size_t(AWidth) * AHeight, AFill);
    Old = SelectObject(DC, Bitmap);
  }
  ~TDibTarget() {
    SelectObject(DC, Old);
    DeleteObject(Bitmap);
    DeleteDC(DC);
  }
  uint32_t At(int X, int Y) const { return Bits[size_t(Y) * Width + X]; }
};

struct TGlassCase {
  const char* Name;
  bool Bound;  // the UxTheme binding is there
  bool KeepAlpha;
  uint32_t Expected;  // BGRA of a painted pixel
};

TEST_F(GlassPaintTest, BufferedPaintOnGlassKeepsOrFillsTheAlpha) {
  ShowForm();
  // GDI writes alpha 0: kept, it stays 0; otherwise the buffer is made
  // opaque. Without the binding the window paints straight into the DC.
  const TGlassCase cases[] = {
      {"opaque", true, false, 0xFF0000FFu},
      {"alpha kept", true, true, 0x000000FFu},
      {"without the binding", false, false, 0x000000FFu},
  };
  TPlainProc blue = SolidPrinter(RGB(0, 0, 255));
  HWND hwnd = MakePlainWindow(WS_POPUP, nullptr, TRect(0, 0, 40, 30), &blue);
  for (const TGlassCase& c : cases) {
    SCOPED_TRACE(c.Name);
    if (!c.Bound) dx_themes_detail::StopUxThemeUnit();
    TDibTarget target(60, 40, 0x80123456u);
    const DWORD before = LiveGdiObjects();
    dxBufferedPaintOnGlass(hwnd, target.DC, TRect(10, 5, 50, 35), c.KeepAlpha);
    EXPECT_EQ(LiveGdiObjects(), before);
    EXPECT_EQ(target.At(12, 7), c.Expected);
    EXPECT_EQ(target.At(55, 37), 0x80123456u);  // outside the bounds and the window
    dxBufferedPaintOnGlass(hwnd, target.DC, TRect(20, 20, 20, 30), c.KeepAlpha);  // empty: nothing
    if (!c.Bound) dx_themes_detail::StartUxThemeUnit();
  }
  DestroyWindow(hwnd);
}

TEST_F(GlassPaintTest, AWindowRaisingWhilePrintedOnGlassLeavesNoBufferBehind) {
  ShowForm();
  TPlainProc raising = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_PRINTCLIENT) throw Exception("print");
    return false;
  };
  HWND hwnd = MakePlainWindow(WS_POPUP, nullptr, TRect(0, 0, 40, 30), &raising);
  TDibTarget target(60, 40, 0x80123456u);
  const DWORD before = LiveGdiObjects();
  EXPECT_ANY_THROW(dxBufferedPaintOnGlass(hwnd, target.DC, TRect(10, 5, 50, 35), false));
  EXPECT_EQ(LiveGdiObjects(), before);
  DestroyWindow(hwnd);
}

TEST_F(GlassPaintTest, RepaintAndPaintMessagesOnGlassShowTheWindowsPicture) {
  ShowForm();
  int paints = 0;
  TPlainProc printer = SolidPrinter(RGB(0, 128, 255));
  TPlainProc proc = [&](HWND hwnd, UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    if (msg == WM_PAINT) {
      ++paints;
      dxHandlePaintOnGlass(hwnd, false);
      result = 0;
      return true;
    }
    return printer(hwnd, msg, w, l, result);
  };
  HWND hwnd = MakePlainWindow(WS_POPUP | WS_VISIBLE, nullptr, TRect(500, 400, 560, 440), &proc);
  Pump();
  EXPECT_GT(paints, 0);
  RECT r{};
  EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
  EXPECT_EQ(rtl::testing::WindowPixel(hwnd, 30, 20), RGB(0, 128, 255));
  printer = SolidPrinter(RGB(200, 0, 0));
  const DWORD before = LiveGdiObjects();
  dxRepaintOnGlass(hwnd, true);
  EXPECT_EQ(LiveGdiObjects(), before);
  EXPECT_EQ(rtl::testing::WindowPixel(hwnd, 30, 20), RGB(200, 0, 0));
  DestroyWindow(hwnd);
}

TEST_F(GlassPaintTest, GlowingTextGoesThroughTheWindowStyleIntoACopyOfTheBackground) {
  ShowForm();
  dx_themes_detail::StartThemeManager();
  TRecordingTheme theme;
  TDibTarget target(100, 40, 0xFF336699u);
  TFont font;
  font.Handle();
  const DWORD before = LiveGdiObjects();
  dxDrawGlowingTextOnGlass(target.DC, "Caption", &font, TRect(10, 5, 90, 35), clWhite, DT_SINGLELINE, 8, true);
  EXPECT_EQ(target.At(50, 20), 0xFF336699u);  // the background came back under the text
  dxDrawGlowingTextOnGlass(target.DC, "Caption", &font, TRect(10, 5, 90, 35), clWhite, DT_SINGLELINE, 0, false);
  EXPECT_EQ(target.At(50, 20), 0u);  // a cleared buffer
  EXPECT_EQ(target.At(5, 20), 0xFF336699u);
  auto texts = theme.CallsOf("DrawThemeText");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].ClassList, u"Window");
  EXPECT_EQ(texts[0].Part, 0);
  EXPECT_EQ(texts[0].State, 0);
  EXPECT_EQ(texts[0].Rect, TRect(0, 0, 80, 30));
  dx_themes_detail::StopThemeManager();
  EXPECT_EQ(LiveGdiObjects(), before);
}

}  // namespace
