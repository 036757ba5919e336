// Every primitive drawn on a DIB section of fewer bits gives the pixels of
// the same drawing on a 32-bit one, each mapped through the format's
// palette or masks as a single pixel of that colour would be stored. The
// colours are black, white and a grey that the grey ramps of the table
// formats hold exactly.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/common/dib_canvas.h"
#include "tests/platform/win/gdi/format_dib.h"

namespace {

const int kW = 24, kH = 16;
const COLORREF kGrey = RGB(0x88, 0x88, 0x88), kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

void WithPen(HDC dc, HPEN pen, const std::function<void()>& draw) {
  HGDIOBJ old = SelectObject(dc, pen);
  draw();
  SelectObject(dc, old);
  DeleteObject(pen);
}

void WithBrush(HDC dc, HBRUSH brush, const std::function<void()>& draw) {
  HGDIOBJ old = SelectObject(dc, brush);
  draw();
  SelectObject(dc, old);
  DeleteObject(brush);
}

// A 4 x 2 run-length picture, bottom row first: grey white white black,
// then black grey white grey.
struct TRlePicture {
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[3];
  } bi;
  std::vector<uint8_t> data;
  TRlePicture(bool four) {
    bi.h = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 4, 2, 1, WORD(four ? 4 : 8), DWORD(four ? BI_RLE4 : BI_RLE8),
                            0, 0, 0, 3, 0};
    bi.colors[0] = RGBQUAD{0, 0, 0, 0};
    bi.colors[1] = RGBQUAD{255, 255, 255, 0};
    bi.colors[2] = RGBQUAD{0x88, 0x88, 0x88, 0};
    if (four)
      data = {1, 0x20, 2, 0x11, 1, 0x00, 0, 0, 0, 4, 0x02, 0x12, 0, 1};
    else
      data = {1, 2, 2, 1, 1, 0, 0, 0, 0, 4, 0, 2, 1, 2, 0, 1};
    bi.h.biSizeImage = DWORD(data.size());
  }
};

struct TPrimitive {
  const char* Name;
  std::function<void(HDC)> Draw;
};

const std::vector<TPrimitive>& Primitives() {
  static const std::vector<TPrimitive> list = {
      {"hatched rectangle, opaque",
       [](HDC dc) {
         SetBkColor(dc, kWhite);
         WithBrush(dc, CreateHatchBrush(HS_DIAGCROSS, kGrey), [&] { Rectangle(dc, 1, 1, 20, 14); });
       }},
      {"hatched rectangle, transparent",
       [](HDC dc) {
         SetBkMode(dc, TRANSPARENT);
         WithBrush(dc, CreateHatchBrush(HS_BDIAGONAL, kWhite), [&] { Rectangle(dc, 1, 1, 20, 14); });
       }},
      {"patterned PatBlt from a monochrome bitmap",
       [](HDC dc) {
         const WORD rows[8] = {0xAA, 0x55, 0xF0, 0x0F, 0xCC, 0x33, 0xFF, 0x00};
         HBITMAP bmp = CreateBitmap(8, 8, 1, 1, rows);
         SetTextColor(dc, kGrey);
         SetBkColor(dc, kWhite);
         WithBrush(dc, CreatePatternBrush(bmp), [&] { PatBlt(dc, 2, 1, 19, 13, PATCOPY); });
         DeleteObject(bmp);
       }},
      {"DIB pattern brush",
       [](HDC dc) {
         struct {
           BITMAPINFOHEADER h;
           uint32_t px[16];
         } dib{{sizeof(BITMAPINFOHEADER), 4, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
         for (int i = 0; i < 16; ++i) dib.px[i] = (i % 3 == 0) ? 0x888888u : (i % 3 == 1) ? 0xFFFFFFu : 0;
         RECT r{0, 0, 17, 11};
         HBRUSH b = CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
         FillRect(dc, &r, b);
         DeleteObject(b);
       }},
      {"dashed line, opaque",
       [](HDC dc) {
         SetBkColor(dc, kWhite);
         WithPen(dc, CreatePen(PS_DASH, 1, kGrey), [&] {
           MoveToEx(dc, 0, 2, nullptr);
           LineTo(dc, 23, 13);
         });
       }},
      {"dotted rectangle, transparent",
       [](HDC dc) {
         SetBkMode(dc, TRANSPARENT);
         WithPen(dc, CreatePen(PS_DOT, 1, kWhite), [&] { Rectangle(dc, 2, 2, 21, 13); });
       }},
      {"wide line",
       [](HDC dc) {
         WithPen(dc, CreatePen(PS_SOLID, 5, kGrey), [&] {
           MoveToEx(dc, 3, 3, nullptr);
           LineTo(dc, 20, 11);
         });
       }},
      {"wide dashed geometric line",
       [](HDC dc) {
         LOGBRUSH lb{BS_SOLID, kWhite, 0};
         WithPen(dc, ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 3, &lb, 0, nullptr), [&] {
           MoveToEx(dc, 1, 8, nullptr);
           LineTo(dc, 23, 4);
         });
       }},
      {"wide ellipse outline",
       [](HDC dc) {
         SetBkColor(dc, kBlack);
         WithBrush(dc, CreateHatchBrush(HS_CROSS, kWhite), [&] {
           WithPen(dc, CreatePen(PS_SOLID, 3, kGrey), [&] { Ellipse(dc, 2, 1, 22, 15); });
         });
       }},
      {"polygon",
       [](HDC dc) {
         const POINT p[5] = {{1, 1}, {22, 3}, {12, 14}, {8, 5}, {2, 12}};
         WithBrush(dc, CreateSolidBrush(kGrey), [&] { Polygon(dc, p, 5); });
       }},
      {"BitBlt from a monochrome bitmap",
       [](HDC dc) {
         const WORD rows[4] = {0x0F0F, 0x3C3C, 0xF0F0, 0xAAAA};
         HBITMAP bmp = CreateBitmap(16, 4, 1, 1, rows);
         HDC src = CreateCompatibleDC(nullptr);
         HGDIOBJ old = SelectObject(src, bmp);
         SetTextColor(dc, kGrey);
         SetBkColor(dc, kWhite);
         StretchBlt(dc, 1, 1, 20, 12, src, 0, 0, 16, 4, SRCCOPY);
         SelectObject(src, old);
         DeleteDC(src);
         DeleteObject(bmp);
       }},
      {"BitBlt from a 1-bit DIB section",
       [](HDC dc) {
         TFormatDib src(1, 16, 4, 0x3C);
         BitBlt(dc, 2, 3, 16, 4, src.dc, 0, 0, SRCCOPY);
       }},
      {"BitBlt from 32 bits",
       [](HDC dc) {
         TDibCanvas src(8, 8, 0);
         for (int i = 0; i < 64; ++i) src.bits[i] = (i % 5 == 0) ? 0x888888u : (i % 5 == 2) ? 0xFFFFFFu : 0;
         StretchBlt(dc, 1, 1, 16, 12, src.dc, 0, 0, 8, 8, SRCCOPY);
       }},
      {"RLE8 through StretchDIBits",
       [](HDC dc) {
         TRlePicture rle(false);
         StretchDIBits(dc, 1, 1, 16, 8, 0, 0, 4, 2, rle.data.data(), reinterpret_cast<BITMAPINFO*>(&rle.bi),
                       DIB_RGB_COLORS, SRCCOPY);
       }},
      {"RLE4 through StretchDIBits",
       [](HDC dc) {
         TRlePicture rle(true);
         StretchDIBits(dc, 3, 2, 12, 10, 0, 0, 4, 2, rle.data.data(), reinterpret_cast<BITMAPINFO*>(&rle.bi),
                       DIB_RGB_COLORS, SRCCOPY);
       }},
  };
  return list;
}

// What a DIB of this depth stores for a colour, as SetPixel stores it.
uint32_t StoredFor(int depth, uint32_t rgb) {
  static std::map<std::pair<int, uint32_t>, uint32_t> known;
  auto key = std::make_pair(depth, rgb);
  if (auto it = known.find(key); it != known.end()) return it->second;
  TFormatDib probe(depth, 1, 1, 0);
  SetPixel(probe.dc, 0, 0, RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
  return known[key] = probe.Value(0, 0);
}

TEST(DepthAgreementTest, EveryPrimitiveStoresItsThirtyTwoBitColours) {
  for (const TPrimitive& p : Primitives()) {
    TDibCanvas reference(kW, kH, 0);
    p.Draw(reference.dc);
    ASSERT_GT(reference.CountNot(0, 0, 0, kW, kH, 0xFFFFFF), 0) << p.Name << " draws";
    for (int depth : {1, 4, 8, 16}) {
      SCOPED_TRACE(std::string(p.Name) + ", " + std::to_string(depth) + " bits");
      TFormatDib dib(depth, kW, kH, 0);
      p.Draw(dib.dc);
      std::string wrong;
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
          if (dib.Value(x, y) != StoredFor(depth, reference.Rgb(x, y)))
            wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      EXPECT_EQ(wrong, "");
    }
  }
}

}  // namespace
