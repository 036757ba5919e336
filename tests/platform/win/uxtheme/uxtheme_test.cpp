// Visual styles (inactive, or a recording one), buffered painting onto a
// window's surface, and desktop composition (off).
#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "platform/win/dwm/dwmapi.h"
#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/modules.h"
#include "platform/win/user/user.h"
#include "platform/win/uxtheme/uxtheme.h"
#include "platform/testing/uxtheme_recording.h"

namespace {

TEST(ThemeTest, WithoutAStyleEverythingFailsCleanly) {
  EXPECT_FALSE(IsThemeActive());
  EXPECT_FALSE(IsAppThemed());
  EXPECT_EQ(OpenThemeData(nullptr, u"Button"), nullptr);
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(DrawThemeBackground(nullptr, nullptr, 1, 1, &r, nullptr), E_HANDLE);
  SIZE size{};
  EXPECT_EQ(GetThemePartSize(nullptr, nullptr, 1, 1, nullptr, TS_TRUE, &size), E_HANDLE);
  COLORREF c = 0;
  EXPECT_EQ(GetThemeColor(nullptr, 0, 0, TMT_FILLCOLOR, &c), E_HANDLE);
  EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(nullptr, 1, 1));
  WCHAR file[16] = u"x", colour[16] = u"y";
  EXPECT_TRUE(FAILED(GetCurrentThemeName(file, 16, colour, 16, nullptr, 0)));
  EXPECT_EQ(file[0], 0);
  EXPECT_EQ(colour[0], 0);
  EXPECT_EQ(GetThemeSysColor(nullptr, COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
  EXPECT_FALSE(BeginPanningFeedback(nullptr));
}

TEST(ThemeTest, ARecordingStyleAnswersAndRemembers) {
  {
    TRecordingTheme theme({u"Button", u"ToolBar"});
    ASSERT_TRUE(IsThemeActive());
    EXPECT_EQ(OpenThemeData(nullptr, u"Edit"), nullptr) << "a class the style does not draw";
    HTHEME h = OpenThemeData(nullptr, u"edit;TOOLBAR");
    ASSERT_NE(h, nullptr);

    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT r{1, 1, 7, 7}, clip{0, 0, 4, 8};
    ASSERT_EQ(DrawThemeBackground(h, dc, 3, 2, &r, &clip), S_OK);
    EXPECT_EQ(GetPixel(dc, 2, 2), TRecordingTheme::PartColor(3, 2));
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(0, 0, 0)) << "outside the clip";
    SIZE size{};
    GetThemePartSize(h, dc, 5, 1, nullptr, TS_MIN, &size);
    EXPECT_EQ(size.cx, 13);
    RECT content{};
    GetThemeBackgroundContentRect(h, dc, 1, 1, &r, &content);
    EXPECT_EQ(content, RECT(3, 3, 5, 5));
    std::vector<TRecordingTheme::TCall> draws = theme.CallsOf("DrawThemeBackground");
    ASSERT_EQ(draws.size(), 1u);
    const TRecordingTheme::TCall& call = draws[0];
    EXPECT_EQ(call.ClassList, u"edit;TOOLBAR");
    EXPECT_EQ(call.Part, 3);
    EXPECT_EQ(call.State, 2);
    EXPECT_EQ(call.Rect, r);
    EXPECT_EQ(theme.CallsOf("GetThemePartSize")[0].Prop, TS_MIN);
    WCHAR file[32];
    ASSERT_EQ(GetCurrentThemeName(file, 32, nullptr, 0, nullptr, 0), S_OK);
    EXPECT_EQ(std::u16string(file), u"luna.msstyles");
    EXPECT_EQ(CloseThemeData(h), S_OK);
    EXPECT_EQ(DrawThemeBackground(h, dc, 3, 2, &r, nullptr), E_HANDLE) << "closed";
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  EXPECT_FALSE(IsThemeActive()) << "gone with the recording style";
}

int gThemeChangedCount = 0;

LRESULT CountThemeChanged(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_THEMECHANGED) ++gThemeChangedCount;
  return DefWindowProcA(h, m, w, l);
}

HWND MakeThemedWindow() {
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, "ThemeTestWindow", &wc)) {
    wc.lpfnWndProc = CountThemeChanged;
    wc.lpszClassName = "ThemeTestWindow";
    RegisterClassA(&wc);
  }
  return CreateWindowExA(0, "ThemeTestWindow", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
}

TEST(WindowThemeTest, SubAppNameAndIdListChangeWhatOpenThemeDataAsksFor) {
  struct Case {
    const char16_t* subApp;
    const char16_t* idList;
    const char16_t* asked;  // the class list the style sees; null: nothing opened
  };
  const Case cases[] = {
      {nullptr, nullptr, u"Button"},
      {u"Explorer", nullptr, u"Explorer::Button;Button"},
      {nullptr, u"Edit;ListView", u"Edit;ListView"},
      {u"Explorer", u"Edit", u"Explorer::Edit;Edit"},
      {u"", u"", nullptr},  // visual styles off for the window
      {u"", nullptr, u"Button"},
  };
  TRecordingTheme theme;
  for (const Case& c : cases) {
    HWND w = MakeThemedWindow();
    ASSERT_NE(w, nullptr);
    gThemeChangedCount = 0;
    ASSERT_EQ(SetWindowTheme(w, c.subApp, c.idList), S_OK);
    EXPECT_EQ(gThemeChangedCount, 1) << "the window hears of the change";
    theme.Calls.clear();
    HTHEME h = OpenThemeData(w, u"Button");
    if (!c.asked) {
      EXPECT_EQ(h, nullptr);
      EXPECT_TRUE(theme.CallsOf("OpenThemeData").empty());
      EXPECT_EQ(GetWindowTheme(w), nullptr);
    } else {
      ASSERT_NE(h, nullptr);
      std::vector<TRecordingTheme::TCall> opens = theme.CallsOf("OpenThemeData");
      ASSERT_EQ(opens.size(), 1u);
      EXPECT_EQ(opens[0].ClassList, std::u16string(c.asked));
      EXPECT_EQ(GetWindowTheme(w), h);
      CloseThemeData(h);
      EXPECT_EQ(GetWindowTheme(w), nullptr) << "a closed handle is not the window's theme";
    }
    DestroyWindow(w);
  }
}

TEST(WindowThemeTest, GetWindowThemeIsTheLatestOpenAndNullWithoutAStyle) {
  HWND w = MakeThemedWindow();
  HWND other = MakeThemedWindow();
  EXPECT_EQ(SetWindowTheme(nullptr, u"x", nullptr), E_HANDLE);
  {
    TRecordingTheme theme;
    EXPECT_EQ(GetWindowTheme(w), nullptr);
    HTHEME first = OpenThemeData(w, u"Button");
    HTHEME second = OpenThemeData(w, u"Edit");
    HTHEME others = OpenThemeData(other, u"Edit");
    EXPECT_EQ(GetWindowTheme(w), second);
    EXPECT_EQ(GetWindowTheme(other), others);
    CloseThemeData(first);
    EXPECT_EQ(GetWindowTheme(w), second);
    DestroyWindow(other);
    EXPECT_EQ(GetWindowTheme(other), nullptr);
  }
  EXPECT_EQ(GetWindowTheme(w), nullptr) << "no style active";
  DestroyWindow(w);
}

TEST(WindowThemeTest, DialogTextureFlagIsKeptPerWindow) {
  struct Step {
    DWORD flags;
    HRESULT result;
    BOOL enabled;  // afterwards
  };
  const Step steps[] = {
      {0, S_OK, FALSE},
      {ETDT_ENABLE, S_OK, TRUE},
      {ETDT_USETABTEXTURE, S_OK, TRUE},  // neither enable nor disable: unchanged
      {ETDT_DISABLE, S_OK, FALSE},
      {ETDT_ENABLETAB, S_OK, TRUE},
      {ETDT_ENABLE | ETDT_DISABLE, E_INVALIDARG, TRUE},
      {0x100, E_INVALIDARG, TRUE},
      {ETDT_DISABLE, S_OK, FALSE},
  };
  HWND w = MakeThemedWindow();
  HWND other = MakeThemedWindow();
  for (size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_EQ(EnableThemeDialogTexture(w, steps[i].flags), steps[i].result) << "step " << i;
    EXPECT_EQ(IsThemeDialogTextureEnabled(w), steps[i].enabled) << "step " << i;
    EXPECT_FALSE(IsThemeDialogTextureEnabled(other)) << "step " << i;
  }
  EXPECT_EQ(EnableThemeDialogTexture(nullptr, ETDT_ENABLE), E_HANDLE);
  EXPECT_EQ(EnableThemeDialogTexture(w, ETDT_ENABLE), S_OK);
  DestroyWindow(w);
  EXPECT_FALSE(IsThemeDialogTextureEnabled(w)) << "a destroyed window";
  DestroyWindow(other);
}


// A window DC over a 32-bit surface whose device area starts at (10, 10)
// and whose visible part leaves out the surface's right half.
struct TWindowSurface {
  HBITMAP Surface;
  uint32_t* Bits = nullptr;
  HDC Dc;
  TWindowSurface() {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* p = nullptr;
    Surface = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    Bits = static_cast<uint32_t*>(p);
    for (int i = 0; i < 40 * 40; ++i) Bits[i] = 0xFF0000FFu;
    Dc = rtl::detail::GdiCreateWindowDC(nullptr, Surface);
    HRGN visible = CreateRectRgn(0, 0, 10, 30);
    rtl::detail::GdiSetDCDeviceArea(Dc, POINT(10, 10), visible);
    DeleteObject(visible);
  }
  ~TWindowSurface() {
    rtl::detail::GdiDeleteWindowDC(Dc);
    DeleteObject(Surface);
  }
  uint32_t At(int x, int y) const { return Bits[y * 40 + x]; }
};

TEST(BufferedPaintTest, ComposesOntoTheWindowSurface) {
  ASSERT_EQ(BufferedPaintInit(), S_OK);
  TWindowSurface w;
  RECT target{2, 2, 14, 8};
  BP_PAINTPARAMS params{sizeof params, BPPF_ERASE, nullptr, nullptr};
  HDC mem = nullptr;
  HPAINTBUFFER pb = BeginBufferedPaint(w.Dc, &target, BPBF_TOPDOWNDIB, &params, &mem);
  ASSERT_NE(pb, nullptr);
  ASSERT_NE(mem, nullptr);
  // The buffer draws in the target's coordinates.
  RECT fill{4, 4, 14, 6};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(mem, &fill, red);
  DeleteObject(red);
  RGBQUAD* bits = nullptr;
  int row = 0;
  ASSERT_EQ(GetBufferedPaintBits(pb, &bits, &row), S_OK);
  EXPECT_EQ(row, 12);
  EXPECT_EQ(bits[2 * 12 + 2].rgbRed, 255) << "(4, 4) is the buffer's (2, 2)";
  RECT got{};
  GetBufferedPaintTargetRect(pb, &got);
  EXPECT_EQ(got, target);
  ASSERT_EQ(EndBufferedPaint(pb, TRUE), S_OK);
  // Device (4, 4) is surface (14, 14); device x 10 and beyond is hidden.
  EXPECT_EQ(w.At(14, 14) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(w.At(12, 12) & 0xFFFFFF, 0u) << "erased and copied";
  EXPECT_EQ(w.At(21, 14), 0xFF0000FFu) << "outside the visible part";
  EXPECT_EQ(w.At(11, 11), 0xFF0000FFu) << "outside the target rectangle";
  EXPECT_EQ(EndBufferedPaint(pb, TRUE), E_INVALIDARG) << "already ended";
  ASSERT_EQ(BufferedPaintUnInit(), S_OK);
}

TEST(BufferedPaintTest, AlphaAndBlendingAndExclusion) {
  TWindowSurface w;
  RECT target{0, 0, 6, 6}, exclude{0, 0, 2, 6};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  BP_PAINTPARAMS params{sizeof params, BPPF_ERASE, &exclude, &blend};
  HDC mem = nullptr;
  HPAINTBUFFER pb = BeginBufferedPaint(w.Dc, &target, BPBF_DIB, &params, &mem);
  ASSERT_NE(pb, nullptr);
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  FillRect(mem, &target, green);
  DeleteObject(green);
  // GDI leaves alpha at 0: nothing would show through a blend until set.
  RECT half{3, 0, 6, 6};
  ASSERT_EQ(BufferedPaintSetAlpha(pb, nullptr, 255), S_OK);
  ASSERT_EQ(BufferedPaintClear(pb, &half), S_OK);
  RGBQUAD* bits = nullptr;
  int row = 0;
  GetBufferedPaintBits(pb, &bits, &row);
  EXPECT_EQ(bits[5 * row].rgbReserved, 255) << "bottom-up: the first row in memory is the bottom one";
  ASSERT_EQ(EndBufferedPaint(pb, TRUE), S_OK);
  EXPECT_EQ(w.At(12, 12), 0xFF00FF00u) << "opaque green";
  EXPECT_EQ(w.At(14, 12), 0xFF0000FFu) << "cleared to transparent: the surface shows";
  EXPECT_EQ(w.At(11, 12), 0xFF0000FFu) << "excluded";
  EXPECT_EQ(BeginBufferedPaint(w.Dc, nullptr, BPBF_DIB, nullptr, &mem), nullptr);
  EXPECT_EQ(mem, nullptr);
  EXPECT_EQ(BufferedPaintSetAlpha(nullptr, nullptr, 0), E_INVALIDARG);
}

TEST(DwmTest, CompositionIsOffAndEverythingElseSaysSo) {
  BOOL enabled = TRUE;
  ASSERT_EQ(DwmIsCompositionEnabled(&enabled), S_OK);
  EXPECT_FALSE(enabled);
  MARGINS m{0, 0, 30, 0};
  EXPECT_EQ(DwmExtendFrameIntoClientArea(nullptr, &m), DWM_E_COMPOSITIONDISABLED);
  RECT bounds{};
  EXPECT_EQ(DwmGetWindowAttribute(nullptr, DWMWA_CAPTION_BUTTON_BOUNDS, &bounds, sizeof bounds),
            DWM_E_COMPOSITIONDISABLED);
  LRESULT result = 7;
  EXPECT_FALSE(DwmDefWindowProc(nullptr, 0x0084, 0, 0, &result));
  EXPECT_EQ(result, 0);
  // Bound by name, as the callers do.
  HMODULE lib = LoadLibraryA("dwmapi.dll");
  ASSERT_NE(lib, nullptr);
  auto isEnabled = reinterpret_cast<HRESULT (*)(BOOL*)>(GetProcAddress(lib, "DwmIsCompositionEnabled"));
  ASSERT_NE(isEnabled, nullptr);
  enabled = TRUE;
  isEnabled(&enabled);
  EXPECT_FALSE(enabled);
  FreeLibrary(lib);
  HMODULE ux = LoadLibraryA("UxTheme.dll");
  for (const char* name : {"OpenThemeData", "CloseThemeData", "DrawThemeBackground", "DrawThemeEdge",
                           "GetThemeSysSize", "IsThemeActive", "IsAppThemed", "BeginBufferedPaint",
                           "BufferedPaintSetAlpha", "EndPanningFeedback", "GetThemeDocumentationProperty"})
    EXPECT_NE(GetProcAddress(ux, name), nullptr) << name;
  FreeLibrary(ux);
}

}  // namespace
