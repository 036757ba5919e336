// The surface the text tests draw on: a 400 x 300 DIB with a monospace
// font drawn without smoothing selected, so that every width is a whole
// number of advances (A) and every ink pixel is the text colour (black).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/rtl/types.h"
#include "platform/win/gdi/gdi.h"
#include "tests/common/dib_canvas.h"

constexpr uint32_t kPaper = 0x00F0E0C0u;

inline HFONT MakeFont(int height, const char* face = "Courier New", bool bold = false) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfQuality = NONANTIALIASED_QUALITY;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

class MonoTextTest : public ::testing::Test {
 protected:
  TDibCanvas Dib{400, 300, kPaper};
  HFONT Font = MakeFont(-13);
  HGDIOBJ OldFont = nullptr;
  // The advance of one character and the font's height.
  Integer A = 0, H = 0;

  void SetUp() override {
    OldFont = SelectObject(Dib.dc, Font);
    SetTextColor(Dib.dc, RGB(0, 0, 0));
    SIZE w{};
    GetTextExtentPoint32A(Dib.dc, "W", 1, &w);
    A = w.cx;
    TEXTMETRICA tm{};
    GetTextMetricsA(Dib.dc, &tm);
    H = tm.tmHeight;
  }
  void TearDown() override {
    SelectObject(Dib.dc, OldFont);
    DeleteObject(Font);
  }
};
