// The rules of the platform's GDI that the canvas and the bitmaps rely on,
// checked here so that a platform change breaking one fails in this folder.
#include <gtest/gtest.h>

#include "platform/win/gdi/gdi.h"
#include "tests/common/dib_canvas.h"

namespace {

TEST(GdiContract, DrawingOnA32BitSurfaceWritesAlphaZero) {
  TDibCanvas dib(16, 16, 0xFFFFFFFFu);
  RECT r{0, 0, 4, 4};
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  FillRect(dib.dc, &r, brush);
  EXPECT_EQ(dib.At(1, 1), Px(RGB(10, 20, 30)));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  HGDIOBJ old = SelectObject(dib.dc, pen);
  MoveToEx(dib.dc, 0, 8, nullptr);
  LineTo(dib.dc, 10, 8);
  EXPECT_EQ(dib.At(5, 8), Px(RGB(1, 2, 3)));
  SetPixel(dib.dc, 12, 12, RGB(200, 100, 50));
  EXPECT_EQ(dib.At(12, 12), Px(RGB(200, 100, 50)));
  FillRect(dib.dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(dib.At(0, 0), 0u);
  SelectObject(dib.dc, old);
  DeleteObject(pen);
  DeleteObject(brush);
}

TEST(GdiContract, BlitsWorkOnAllFourBytes) {
  TDibCanvas source(4, 1, 0);
  TDibCanvas target(4, 1, 0);
  source.At(0, 0) = 0x80112233u;
  source.At(1, 0) = 0xFFFFFFFFu;
  target.Fill(0xC0A0B0D0u);
  BitBlt(target.dc, 0, 0, 1, 1, source.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(target.At(0, 0), 0x80112233u);
  BitBlt(target.dc, 1, 0, 1, 1, source.dc, 1, 0, 0x00220326);  // D and not S
  EXPECT_EQ(target.At(1, 0), 0u);
  BitBlt(target.dc, 2, 0, 1, 1, source.dc, 2, 0, 0x00220326);  // S = 0 keeps D
  EXPECT_EQ(target.At(2, 0), 0xC0A0B0D0u);
  BitBlt(target.dc, 3, 0, 1, 1, nullptr, 0, 0, DSTINVERT);
  EXPECT_EQ(target.At(3, 0), ~0xC0A0B0D0u);
}

TEST(GdiContract, SelectedClipIsInDeviceAndIntersectedClipInLogicalCoordinates) {
  TDibCanvas dib(20, 20, 0);
  HRGN check = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dib.dc, check), 0);  // no clip region yet
  SetWindowOrgEx(dib.dc, -5, -5, nullptr);  // device = logical + 5
  HRGN rgn = CreateRectRgn(0, 0, 4, 4);
  SelectClipRgn(dib.dc, rgn);
  ASSERT_EQ(GetClipRgn(dib.dc, check), 1);
  EXPECT_TRUE(EqualRgn(check, rgn));  // kept as given: device coordinates
  SelectClipRgn(dib.dc, nullptr);
  IntersectClipRect(dib.dc, 0, 0, 4, 4);
  ASSERT_EQ(GetClipRgn(dib.dc, check), 1);
  RECT box{};
  GetRgnBox(check, &box);
  EXPECT_EQ(box, RECT(5, 5, 9, 9));
  ExcludeClipRect(dib.dc, 0, 0, 2, 4);
  GetClipRgn(dib.dc, check);
  GetRgnBox(check, &box);
  EXPECT_EQ(box, RECT(7, 5, 9, 9));
  DeleteObject(rgn);
  DeleteObject(check);
}

TEST(GdiContract, RestoreDCBringsBackOriginClipAndObjects) {
  TDibCanvas dib(20, 20, 0);
  HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
  HGDIOBJ before = GetCurrentObject(dib.dc, OBJ_BRUSH);
  int saved = SaveDC(dib.dc);
  SelectObject(dib.dc, brush);
  SetWindowOrgEx(dib.dc, 3, 3, nullptr);
  IntersectClipRect(dib.dc, 0, 0, 5, 5);
  int inner = SaveDC(dib.dc);
  SetWindowOrgEx(dib.dc, 9, 9, nullptr);
  RestoreDC(dib.dc, inner);
  POINT p{};
  GetWindowOrgEx(dib.dc, &p);
  EXPECT_EQ(p, POINT(3, 3));
  RestoreDC(dib.dc, saved);
  GetWindowOrgEx(dib.dc, &p);
  EXPECT_EQ(p, POINT(0, 0));
  HRGN check = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dib.dc, check), 0);
  EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_BRUSH), before);
  DeleteObject(check);
  DeleteObject(brush);
}

}  // namespace
