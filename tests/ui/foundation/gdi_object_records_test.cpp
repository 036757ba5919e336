#include "ui/foundation/gdi_object_records.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/forms/graphics.h"
#include "platform/win/gdi/gdi.h"

namespace {

// Every name of every reader, on the handle of its kind: the record while
// the object lives, false once it is deleted (and for no handle at all).
TEST(GdiObjectRecords, ReadersAnswerTheRecordOrFalseForADeletedHandle) {
  HBITMAP bitmap = CreateBitmap(4, 3, 1, 32, nullptr);
  HBRUSH brush = CreateHatchBrush(HS_CROSS, 0x123456);
  HPEN pen = CreatePen(PS_DASH, 1, 0x654321);
  LOGFONTA wanted{};
  wanted.lfHeight = -13;
  wanted.lfWeight = FW_BOLD;
  std::strcpy(wanted.lfFaceName, "Tahoma");
  HFONT font = CreateFontIndirectA(&wanted);

  using TBitmapReader = bool (*)(HBITMAP, BITMAP&);
  using TBrushReader = bool (*)(HBRUSH, LOGBRUSH&);
  using TFontReader = bool (*)(HFONT, LOGFONTA&);
  const TBitmapReader bitmapReaders[] = {dxGetBitmapInfo, cxReadBitmapRecord};
  const TBrushReader brushReaders[] = {dxGetLogBrushData, dxGetLogBrushOf, cxReadBrushRecord, cxGetLogBrush};
  const TFontReader fontReaders[] = {dxGetLogFontData, dxGetLogFontOf, cxReadFontRecord};

  for (TBitmapReader read : bitmapReaders) {
    BITMAP bm{};
    ASSERT_TRUE(read(bitmap, bm));
    EXPECT_EQ(bm.bmWidth, 4);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel, 32);
  }
  for (TBrushReader read : brushReaders) {
    LOGBRUSH lb{};
    ASSERT_TRUE(read(brush, lb));
    EXPECT_EQ(lb.lbStyle, UINT(BS_HATCHED));
    EXPECT_EQ(lb.lbColor, 0x123456u);
    EXPECT_EQ(lb.lbHatch, ULONG_PTR(HS_CROSS));
  }
  for (TFontReader read : fontReaders) {
    LOGFONTA lf{};
    ASSERT_TRUE(read(font, lf));
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  }
  LOGPEN lp{};
  ASSERT_TRUE(cxReadPenRecord(pen, lp));
  EXPECT_EQ(lp.lopnStyle, UINT(PS_DASH));
  EXPECT_EQ(lp.lopnColor, 0x654321u);

  DeleteObject(bitmap);
  DeleteObject(brush);
  DeleteObject(pen);
  DeleteObject(font);
  for (TBitmapReader read : bitmapReaders) {
    BITMAP bm;
    EXPECT_FALSE(read(bitmap, bm));
    EXPECT_FALSE(read(nullptr, bm));
  }
  for (TBrushReader read : brushReaders) {
    LOGBRUSH lb;
    EXPECT_FALSE(read(brush, lb));
    EXPECT_FALSE(read(nullptr, lb));
  }
  for (TFontReader read : fontReaders) {
    LOGFONTA lf;
    EXPECT_FALSE(read(font, lf));
    EXPECT_FALSE(read(nullptr, lf));
  }
  EXPECT_FALSE(cxReadPenRecord(pen, lp));
  EXPECT_FALSE(cxReadPenRecord(nullptr, lp));
}

TEST(GdiObjectRecords, ResetFontEqualsANewFrameworkFont) {
  TFont font;
  font.SetName("Courier New");
  font.SetHeight(-20);
  font.SetStyle({fsBold, fsItalic});
  font.SetPitch(fpFixed);
  font.SetCharset(204);
  font.SetColor(clRed);
  cxResetToDefaultFont(&font);
  TFont fresh;
  EXPECT_EQ(font.Name(), fresh.Name());
  EXPECT_EQ(font.Height(), fresh.Height());
  EXPECT_EQ(font.Size(), fresh.Size());
  EXPECT_EQ(font.Style(), fresh.Style());
  EXPECT_EQ(font.Pitch(), fresh.Pitch());
  EXPECT_EQ(font.Charset(), fresh.Charset());
  // The colour is no part of the default description.
  EXPECT_EQ(font.Color(), clRed);

  LOGFONTA reset{}, made{};
  ASSERT_TRUE(cxReadFontRecord(font.Handle(), reset));
  ASSERT_TRUE(cxReadFontRecord(fresh.Handle(), made));
  EXPECT_EQ(std::memcmp(&reset, &made, sizeof(LOGFONTA)), 0);
}

}  // namespace
