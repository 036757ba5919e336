#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/user/user.h"
#include "tests/common/dib_canvas.h"

namespace {

TEST(DCTest, SaveAndRestoreNestedRelativeAndAbsolute) {
  TDibCanvas c(4, 4);
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  EXPECT_EQ(SaveDC(c.dc), 1);
  SetTextColor(c.dc, RGB(1, 1, 1));
  SelectObject(c.dc, red);
  SetWindowOrgEx(c.dc, 5, 5, nullptr);
  IntersectClipRect(c.dc, 5, 5, 6, 6);
  EXPECT_EQ(SaveDC(c.dc), 2);
  SetTextColor(c.dc, RGB(2, 2, 2));
  EXPECT_EQ(SaveDC(c.dc), 3);
  SetTextColor(c.dc, RGB(3, 3, 3));

  EXPECT_TRUE(RestoreDC(c.dc, -1));
  EXPECT_EQ(GetTextColor(c.dc), RGB(2, 2, 2));
  EXPECT_TRUE(RestoreDC(c.dc, 1)) << "absolute: back to the first save";
  EXPECT_EQ(GetTextColor(c.dc), RGB(0, 0, 0));
  EXPECT_EQ(GetCurrentObject(c.dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  POINT org;
  GetWindowOrgEx(c.dc, &org);
  EXPECT_EQ(org, POINT(0, 0));
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.dc, r), 0) << "no clip any more";
  EXPECT_FALSE(RestoreDC(c.dc, -1)) << "the stack is empty";
  EXPECT_FALSE(RestoreDC(c.dc, 0));
  EXPECT_EQ(SaveDC(c.dc), 1);
  EXPECT_FALSE(RestoreDC(c.dc, 2)) << "no such level";
  EXPECT_TRUE(DeleteObject(red)) << "not selected after the restore";
  DeleteObject(r);
}

TEST(DCTest, SelectedObjectsCannotBeDeleted) {
  TDibCanvas c(2, 2);
  HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
  HGDIOBJ old = SelectObject(c.dc, b);
  EXPECT_EQ(old, GetStockObject(WHITE_BRUSH));
  EXPECT_FALSE(DeleteObject(b));
  EXPECT_EQ(GetObjectType(b), DWORD(OBJ_BRUSH));
  EXPECT_FALSE(DeleteObject(c.bmp)) << "a selected bitmap stays";
  SelectObject(c.dc, old);
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_EQ(GetObjectType(b), 0u) << "the handle is stale";
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN))) << "stock objects ignore deletion";
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), DWORD(OBJ_PEN));
  // A bitmap can be selected into one memory DC at a time.
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, c.bmp), nullptr);
  DeleteDC(other);
}

// Two threads race to select and delete the same new object, many times
// over: exactly one of them wins, and the loser reports failure. A delete
// that succeeded while the select went through would leave the DC drawing
// with a freed object.
TEST(DCTest, SelectAndDeleteRacingOnOneObjectNeverBothSucceed) {
  struct TKind {
    const char* name;
    HGDIOBJ (*make)();
    UINT type;
  };
  const TKind kinds[] = {
      {"pen", [] { return HGDIOBJ(CreatePen(PS_SOLID, 1, RGB(1, 2, 3))); }, OBJ_PEN},
      {"brush", [] { return HGDIOBJ(CreateSolidBrush(RGB(1, 2, 3))); }, OBJ_BRUSH},
      {"bitmap", [] { return HGDIOBJ(CreateBitmap(2, 2, 1, 32, nullptr)); }, OBJ_BITMAP},
  };
  HDC dc = CreateCompatibleDC(nullptr);
  // One deleter thread for every round: round r starts when `round` is r,
  // and `done` says the deleter has answered it.
  std::atomic<HGDIOBJ> target{nullptr};
  std::atomic<int> round{0}, done{0};
  std::atomic<bool> deleted{false}, stop{false};
  std::thread deleter([&] {
    for (int r = 1;; ++r) {
      while (round.load() < r)
        if (stop.load()) return;
      deleted = DeleteObject(target.load()) != FALSE;
      done.store(r);
    }
  });
  int r = 0;
  for (const TKind& k : kinds) {
    SCOPED_TRACE(k.name);
    HGDIOBJ original = GetCurrentObject(dc, k.type);
    int bothWon = 0, neither = 0;
    for (int i = 0; i < 2000 && !bothWon && !neither; ++i) {
      HGDIOBJ obj = k.make();
      target = obj;
      round.store(++r);
      bool selected = SelectObject(dc, obj) != nullptr;
      while (done.load() < r) {
      }
      if (selected && deleted) ++bothWon;
      if (!selected && !deleted) ++neither;
      if (selected) {
        EXPECT_EQ(GetCurrentObject(dc, k.type), obj);
        EXPECT_EQ(GetObjectType(obj), DWORD(k.type)) << "the selected object is alive";
        SelectObject(dc, original);
        EXPECT_TRUE(DeleteObject(obj)) << "deselected, it can go";
      } else {
        EXPECT_EQ(GetCurrentObject(dc, k.type), original);
      }
    }
    EXPECT_EQ(bothWon, 0) << "deleted while selected";
    EXPECT_EQ(neither, 0) << "one of the two must succeed";
  }
  stop = true;
  deleter.join();
  DeleteDC(dc);
}

TEST(DCTest, ObjectRecordsHaveTheirDocumentedFields) {
  HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
  LOGPEN lp{};
  EXPECT_EQ(GetObject(pen, 0, nullptr), int(sizeof(LOGPEN)));
  EXPECT_EQ(GetObject(pen, sizeof(lp), &lp), int(sizeof(LOGPEN)));
  EXPECT_EQ(lp.lopnStyle, UINT(PS_DASH));
  EXPECT_EQ(lp.lopnWidth.X, 1);
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(sizeof(LOGPEN), 16u);

  HBRUSH hb = CreateHatchBrush(HS_DIAGCROSS, RGB(4, 5, 6));
  LOGBRUSH lb{};
  EXPECT_EQ(GetObject(hb, sizeof(lb), &lb), int(sizeof(LOGBRUSH)));
  EXPECT_EQ(lb.lbStyle, UINT(BS_HATCHED));
  EXPECT_EQ(lb.lbColor, RGB(4, 5, 6));
  EXPECT_EQ(lb.lbHatch, ULONG_PTR(HS_DIAGCROSS));

  LOGFONTA lf{};
  lf.lfHeight = -13;
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = 1;
  lf.lfQuality = NONANTIALIASED_QUALITY;
  strcpy(lf.lfFaceName, "Tahoma");
  HFONT f = CreateFontIndirect(&lf);
  LOGFONTA back{};
  EXPECT_EQ(sizeof(LOGFONTA), 60u);
  EXPECT_EQ(GetObjectA(f, sizeof(back), &back), int(sizeof(LOGFONTA)));
  EXPECT_EQ(back.lfHeight, -13);
  EXPECT_EQ(back.lfWeight, FW_BOLD);
  EXPECT_EQ(back.lfQuality, NONANTIALIASED_QUALITY);
  EXPECT_STREQ(back.lfFaceName, "Tahoma");
  LOGFONTW wide{};
  EXPECT_EQ(GetObjectW(f, sizeof(wide), &wide), int(sizeof(LOGFONTW)));
  EXPECT_EQ(wide.lfFaceName[0], u'T');

  HBITMAP bmp = CreateBitmap(17, 3, 1, 1, nullptr);
  BITMAP bm{};
  EXPECT_EQ(GetObject(bmp, sizeof(bm), &bm), int(sizeof(BITMAP)));
  EXPECT_EQ(bm.bmWidth, 17);
  EXPECT_EQ(bm.bmHeight, 3);
  EXPECT_EQ(bm.bmWidthBytes, 4) << "rows of device bitmaps are word aligned";
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(bm.bmBits, nullptr);

  TDibCanvas c(5, 7);
  DIBSECTION ds{};
  EXPECT_EQ(GetObject(c.bmp, sizeof(ds), &ds), int(sizeof(DIBSECTION)));
  EXPECT_EQ(ds.dsBm.bmBits, c.bits);
  EXPECT_EQ(ds.dsBm.bmWidthBytes, 20);
  EXPECT_EQ(ds.dsBmih.biHeight, -7);
  EXPECT_EQ(ds.dsBmih.biBitCount, 32);
  EXPECT_EQ(GetObject(c.bmp, sizeof(BITMAP), &bm), int(sizeof(BITMAP)));

  EXPECT_EQ(GetObjectType(c.dc), DWORD(OBJ_MEMDC));
  for (HGDIOBJ h : {HGDIOBJ(pen), HGDIOBJ(hb), HGDIOBJ(f), HGDIOBJ(bmp)}) DeleteObject(h);
}

TEST(DCTest, RecordsSizedFor32BitHandlesStillGetTheirFields) {
  HBITMAP bmp = CreateBitmap(9, 4, 1, 32, nullptr);
  unsigned char buf[24] = {};
  EXPECT_EQ(GetObject(bmp, 24, buf), 24);
  BITMAP bm{};
  std::memcpy(&bm, buf, offsetof(BITMAP, bmBits));
  EXPECT_EQ(bm.bmWidth, 9);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  HBRUSH b = CreateSolidBrush(RGB(7, 8, 9));
  LOGBRUSH lb{};
  EXPECT_EQ(GetObject(b, 12, &lb), 12);
  EXPECT_EQ(lb.lbColor, RGB(7, 8, 9));
  DeleteObject(bmp);
  DeleteObject(b);
}

TEST(DCTest, DCBrushPenAndMappingModes) {
  TDibCanvas c(20, 20, 0);
  SelectObject(c.dc, GetStockObject(DC_BRUSH));
  SelectObject(c.dc, GetStockObject(DC_PEN));
  SetDCBrushColor(c.dc, RGB(0, 255, 0));
  SetDCPenColor(c.dc, RGB(255, 0, 0));
  Rectangle(c.dc, 0, 0, 5, 5);
  EXPECT_EQ(c.Rgb(0, 0), 0xFF0000u);
  EXPECT_EQ(c.Rgb(2, 2), 0x00FF00u);
  EXPECT_EQ(GetDCBrushColor(c.dc), RGB(0, 255, 0));
  // Anisotropic: two logical units per pixel, y up from the bottom.
  SetMapMode(c.dc, MM_ANISOTROPIC);
  SetWindowExtEx(c.dc, 2, 2, nullptr);
  SetViewportExtEx(c.dc, 1, -1, nullptr);
  SetViewportOrgEx(c.dc, 0, 20, nullptr);
  POINT p[1] = {{10, 10}};
  LPtoDP(c.dc, p, 1);
  EXPECT_EQ(p[0], POINT(5, 15));
  EXPECT_EQ(SetMapMode(c.dc, MM_TEXT), MM_ANISOTROPIC);
  SIZE ext;
  GetWindowExtEx(c.dc, &ext);
  EXPECT_EQ(ext, SIZE(1, 1));
  SetViewportOrgEx(c.dc, 0, 0, nullptr);
  SetMapMode(c.dc, MM_LOMETRIC);
  POINT q[1] = {{254, -254}};
  LPtoDP(c.dc, q, 1);
  EXPECT_EQ(q[0], POINT(96, 96)) << "a tenth of a millimetre per unit, y up";
}

TEST(DCTest, ExtendedPensAndTheirRecords) {
  LOGBRUSH lb{BS_SOLID, RGB(9, 9, 9), 0};
  DWORD dashes[] = {2, 1};
  HPEN p = ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 2, dashes);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(GetObjectType(p), DWORD(OBJ_EXTPEN));
  char buf[64];
  int n = GetObject(p, sizeof(buf), buf);
  ASSERT_GT(n, 0);
  auto* e = reinterpret_cast<EXTLOGPEN*>(buf);
  EXPECT_EQ(e->elpNumEntries, 2u);
  EXPECT_EQ(e->elpStyleEntry[1], 1u);
  EXPECT_EQ(n, int(offsetof(EXTLOGPEN, elpStyleEntry) + 2 * sizeof(DWORD))) << "sized by its entries";
  HPEN solid = ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 3, &lb, 0, nullptr);
  EXPECT_EQ(GetObject(solid, 0, nullptr), int(offsetof(EXTLOGPEN, elpStyleEntry))) << "no entries";
  DeleteObject(solid);
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &lb, 0, nullptr), nullptr) << "cosmetic pens are 1 wide";
  DeleteObject(p);
}

TEST(DCTest, OriginsMoveDrawingAndConvertPoints) {
  TDibCanvas c(20, 20, 0);
  SetWindowOrgEx(c.dc, 10, 0, nullptr);
  SetViewportOrgEx(c.dc, 0, 5, nullptr);
  RECT r{10, 0, 11, 1};
  FillRect(c.dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(c.Rgb(0, 5), 0xFFFFFFu);
  EXPECT_EQ(c.CountNot(0, 0, 0, 20, 20), 1);
  POINT p[2] = {{10, 0}, {0, 0}};
  LPtoDP(c.dc, p, 2);
  EXPECT_EQ(p[0], POINT(0, 5));
  EXPECT_EQ(p[1], POINT(-10, 5));
  DPtoLP(c.dc, p, 2);
  EXPECT_EQ(p[0], POINT(10, 0));
  OffsetViewportOrgEx(c.dc, 1, 1, nullptr);
  POINT vp;
  GetViewportOrgEx(c.dc, &vp);
  EXPECT_EQ(vp, POINT(1, 6));
}

TEST(DCTest, WorldTransformScalesAndRotates) {
  TDibCanvas c(40, 40, 0);
  EXPECT_FALSE(SetWorldTransform(c.dc, nullptr));
  XFORM scale{2, 0, 0, 2, 0, 0};
  EXPECT_FALSE(SetWorldTransform(c.dc, &scale)) << "needs the advanced mode";
  SetGraphicsMode(c.dc, GM_ADVANCED);
  EXPECT_TRUE(SetWorldTransform(c.dc, &scale));
  RECT r{1, 1, 3, 3};
  FillRect(c.dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(c.InkBox(0), RECT(2, 2, 6, 6));
  EXPECT_EQ(SetGraphicsMode(c.dc, GM_COMPATIBLE), GM_ADVANCED) << "also with a transform in place";
  EXPECT_EQ(SetGraphicsMode(c.dc, GM_ADVANCED), GM_COMPATIBLE);
  // A quarter turn about the origin, then moved into view.
  const double a = std::acos(-1.0) / 2;
  XFORM rot{float(std::cos(a)), float(std::sin(a)), float(-std::sin(a)), float(std::cos(a)), 30, 0};
  EXPECT_TRUE(SetWorldTransform(c.dc, &rot));
  c.Fill(0);
  RECT bar{0, 0, 10, 2};
  FillRect(c.dc, &bar, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECT ink = c.InkBox(0);
  EXPECT_EQ(ink.Right - ink.Left, 2);
  EXPECT_EQ(ink.Bottom - ink.Top, 10);
  XFORM got{};
  GetWorldTransform(c.dc, &got);
  EXPECT_FLOAT_EQ(got.eDx, 30);
  EXPECT_TRUE(ModifyWorldTransform(c.dc, nullptr, MWT_IDENTITY));
  EXPECT_EQ(SetGraphicsMode(c.dc, GM_COMPATIBLE), GM_ADVANCED);
}

TEST(DCTest, ClippingIsDeviceBasedForRegionsAndLogicalForRects) {
  TDibCanvas c(20, 20, 0);
  SetWindowOrgEx(c.dc, -5, -5, nullptr);  // logical (0,0) at device (5,5)
  HRGN dev = CreateRectRgn(0, 0, 10, 10);
  EXPECT_EQ(SelectClipRgn(c.dc, dev), SIMPLEREGION);
  RECT all{-100, -100, 100, 100};
  FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(c.InkBox(0), RECT(0, 0, 10, 10)) << "the region is in device units";
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, RECT(-5, -5, 5, 5)) << "the clip box is logical";
  c.Fill(0);
  EXPECT_EQ(IntersectClipRect(c.dc, 0, 0, 2, 2), SIMPLEREGION);
  FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(c.InkBox(0), RECT(5, 5, 7, 7)) << "clip rectangles are logical";
  EXPECT_EQ(ExcludeClipRect(c.dc, 0, 0, 1, 1), COMPLEXREGION);
  EXPECT_FALSE(PtVisible(c.dc, 0, 0));
  EXPECT_TRUE(PtVisible(c.dc, 1, 0));
  RECT probe{1, 1, 3, 3}, outside{3, 3, 4, 4};
  EXPECT_TRUE(RectVisible(c.dc, &probe));
  EXPECT_FALSE(RectVisible(c.dc, &outside));
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.dc, got), 1);
  EXPECT_TRUE(PtInRegion(got, 6, 5)) << "returned in device units";
  EXPECT_EQ(OffsetClipRgn(c.dc, 1, 0), COMPLEXREGION);
  EXPECT_FALSE(PtVisible(c.dc, 1, 0));
  EXPECT_EQ(SelectClipRgn(c.dc, nullptr), SIMPLEREGION);
  EXPECT_EQ(GetClipRgn(c.dc, got), 0);
  DeleteObject(dev);
  DeleteObject(got);
}

TEST(DCTest, WindowDCsDrawAtTheirOriginInsideTheVisibleRegion) {
  void* bits = nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 30, -30, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HBITMAP surface = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto px = [&](int x, int y) { return static_cast<uint32_t*>(bits)[y * 30 + x] & 0xFFFFFF; };
  HWND owner = reinterpret_cast<HWND>(uintptr_t(0x1234));
  HDC dc = rtl::detail::GdiCreateWindowDC(owner, surface);
  EXPECT_EQ(WindowFromDC(dc), owner);
  EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_DC));
  HRGN vis = CreateRectRgn(0, 0, 5, 5);  // device coordinates of the window
  rtl::detail::GdiSetDCDeviceArea(dc, POINT(10, 10), vis);
  RECT all{-50, -50, 50, 50};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(px(10, 10), 0xFFFFFFu);
  EXPECT_EQ(px(14, 14), 0xFFFFFFu);
  EXPECT_EQ(px(15, 15), 0u);
  EXPECT_EQ(px(9, 10), 0u);
  // The application's clip and origin stay relative to the window.
  HRGN app = CreateRectRgn(2, 2, 20, 20);
  SelectClipRgn(dc, app);
  SetViewportOrgEx(dc, 1, 0, nullptr);
  std::fill(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + 900, 0u);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(px(11, 11), 0u);
  EXPECT_EQ(px(12, 12), 0xFFFFFFu);
  EXPECT_EQ(px(15, 12), 0u) << "still inside the visible region";
  SetPixel(dc, 0, 0, RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID) << "outside the clip";
  EXPECT_FALSE(DeleteDC(dc)) << "window DCs are released by the window system";
  rtl::detail::GdiResetDC(dc);
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dc, r), 0);
  POINT vp;
  GetViewportOrgEx(dc, &vp);
  EXPECT_EQ(vp, POINT(0, 0));
  int w = 0, h = 0, stride = 0;
  void* sb = nullptr;
  EXPECT_TRUE(rtl::detail::GdiGetSurfaceBits(surface, &sb, &w, &h, &stride));
  EXPECT_EQ(sb, bits);
  EXPECT_EQ(stride, 120);
  rtl::detail::GdiDeleteWindowDC(dc);
  EXPECT_EQ(GetObjectType(dc), 0u);
  for (HGDIOBJ o : {HGDIOBJ(vis), HGDIOBJ(app), HGDIOBJ(r), HGDIOBJ(surface)}) DeleteObject(o);
}

TEST(DCTest, ScreenCapabilitiesFollowTheSettings) {
  HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(screen, PLANES), 1);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(screen, TECHNOLOGY), DT_RASDISPLAY);
  EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), -1);
  rtl::detail::GdiSetScreenDpi(120);
  rtl::detail::GdiSetScreenSize(800, 600);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 120);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 800);
  EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 600);
  rtl::detail::GdiSetScreenDpi(96);
  rtl::detail::GdiSetScreenSize(1920, 1080);
  EXPECT_EQ(CreateDCA("PRINTER", nullptr, nullptr, nullptr), nullptr);
  DeleteDC(screen);
}

TEST(DCTest, SystemColoursCanBeChanged) {
  COLORREF old = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(old, RGB(212, 208, 200));
  INT idx = COLOR_BTNFACE;
  COLORREF v = RGB(1, 2, 3);
  EXPECT_TRUE(SetSysColors(1, &idx, &v));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), v);
  TDibCanvas c(1, 1);
  RECT r{0, 0, 1, 1};
  FillRect(c.dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(c.Rgb(0, 0), Px(v)) << "the brush follows its colour";
  SetSysColors(1, &idx, &old);
  DeleteObject(GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(GetObjectType(GetSysColorBrush(COLOR_BTNFACE)), DWORD(OBJ_BRUSH)) << "system brushes stay";
}

}  // namespace
