// A form on the virtual clock whose background is a vertical gradient
// painted in its OnPaint, with the screen, the application and the UxTheme
// binding there while a test runs; plus the pieces the painting tests of
// the foundation share: the gradient's colours, a bitmap canvas to paint
// into and probe, plain windows with a procedure of the test's own, and
// the count of live GDI objects.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/forms/bitmap.h"
#include "platform/forms/forms.h"
#include "platform/forms/graphics.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_test_seams.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/themes.h"

namespace window_paint_test {

// The colour of the gradient's line y (client coordinates of the form).
inline COLORREF GradientAt(int y) { return RGB(30, (y * 2) & 0xFF, 255 - ((y * 2) & 0xFF)); }

inline void PaintGradient(TCanvas* ACanvas, const TRect& AClient) {
  RECT clip{};
  GetClipBox(ACanvas->Handle(), &clip);
  const int top = std::max(AClient.Top, clip.Top), bottom = std::min(AClient.Bottom, clip.Bottom);
  for (int y = top; y < bottom; ++y) {
    HBRUSH brush = CreateSolidBrush(GradientAt(y));
    RECT line(AClient.Left, y, AClient.Right, y + 1);
    FillRect(ACanvas->Handle(), &line, brush);
    DeleteObject(brush);
  }
}

inline DWORD LiveGdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

// A 32-bit bitmap filled with one colour and a library canvas over it.
struct TProbeBitmap {
  std::unique_ptr<TBitmap> Bitmap;
  std::unique_ptr<TcxCanvas> Canvas;
  TProbeBitmap(int AWidth, int AHeight, COLORREF AFill = RGB(255, 255, 255)) : Bitmap(std::make_unique<TBitmap>()) {
    Bitmap->SetPixelFormat(pf32bit);
    Bitmap->SetSize(AWidth, AHeight);
    Bitmap->Canvas()->Brush()->SetColor(static_cast<TColor>(AFill));
    Bitmap->Canvas()->FillRect(TRect(0, 0, AWidth, AHeight));
    Canvas = std::make_unique<TcxCanvas>(Bitmap->Canvas());
  }
  COLORREF Pixel(int X, int Y) const { return GetPixel(Bitmap->Canvas()->Handle(), X, Y); }
};

// A plain window whose procedure is the test's; unset messages go to the
// default procedure.
using TPlainProc = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;

inline LRESULT PlainWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  TPlainProc* proc = reinterpret_cast<TPlainProc*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  LRESULT result = 0;
  if (proc && *proc && (*proc)(hwnd, msg, w, l, result)) return result;
  return DefWindowProcA(hwnd, msg, w, l);
}

inline HWND MakePlainWindow(DWORD AStyle, HWND AParent, const TRect& R, TPlainProc* AProc, HMENU AMenu = nullptr) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &PlainWindowProc;
    wc.lpszClassName = "WindowPaintProbe";
    RegisterClassA(&wc);
    registered = true;
  }
  HWND hwnd = CreateWindowExA(0, "WindowPaintProbe", "", AStyle, R.Left, R.Top, R.Width(), R.Height(), AParent, AMenu,
                              nullptr, nullptr);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(AProc));
  return hwnd;
}

// Fills the client area of the DC it is handed on WM_PRINTCLIENT.
inline TPlainProc SolidPrinter(COLORREF AColor) {
  return [AColor](HWND hwnd, UINT msg, WPARAM w, LPARAM, LRESULT& result) {
    if (msg != WM_PRINTCLIENT && msg != WM_PAINT) return false;
    PAINTSTRUCT ps{};
    HDC dc = msg == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(w);
    RECT r{};
    GetClientRect(hwnd, &r);
    HBRUSH brush = CreateSolidBrush(AColor);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    if (msg == WM_PAINT) EndPaint(hwnd, &ps);
    result = 0;
    return true;
  };
}

class WindowPaintTest : public ::testing::Test {
 protected:
  TForm* Form = nullptr;
  bool FailGradient = false;
  int GradientPaints = 0;
  std::function<void()> DuringGradient;

  void SetUp() override {
    rtl::testing::UseVirtualClock(true);
    if (!Screen) {
      Screen = new TScreen(nullptr);
      FOwnScreen = true;
    }
    if (!Application) {
      Application = new TApplication(nullptr);
      FOwnApplication = true;
    }
    Application->OnException = [this](TObject*, Exception* E) { Reported.push_back(E->Message()); };
    dx_themes_detail::StartUxThemeUnit();
    Form = TCustomForm::Create<TForm>(nullptr);
    Form->SetBounds(100, 100, 400, 300);
    Form->OnPaint = [this](TObject*) {
      ++GradientPaints;
      if (FailGradient) throw Exception("gradient");
      PaintGradient(Form->Canvas(), Form->ClientRect());
      if (DuringGradient) DuringGradient();
    };
  }
  void TearDown() override {
    delete Form;
    Pump();
    dx_themes_detail::StopUxThemeUnit();
    Application->OnException = nullptr;
    if (FOwnApplication) FreeAndNil(Application);
    if (FOwnScreen) FreeAndNil(Screen);
    rtl::testing::UseVirtualClock(false);
  }
  void ShowForm() {
    Form->Show();
    Pump();
  }
  static void Pump() { rtl::testing::RunUntilIdle(); }

  std::vector<AnsiString> Reported;

 private:
  bool FOwnScreen = false, FOwnApplication = false;
};

}  // namespace window_paint_test
