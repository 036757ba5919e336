// The text engine against the platform's DrawText on the same DC: a
// 2,000-character paragraph laid out and drawn in 300 pixels, and the
// two-line caption widths of 1,000 ribbon captions (cxCalcTextRect's
// search) against one DT_CALCRECT each. The "ratio" counter is the
// library's time over DrawText's.
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"
#include "ui/foundation/text_routines.h"
#include "ui/foundation/text_rows.h"

namespace {

class TBenchDC {
 public:
  HDC DC = CreateCompatibleDC(nullptr);
  HBITMAP Bitmap;
  HFONT Font;
  HGDIOBJ OldBitmap, OldFont;

  TBenchDC() {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 320;
    bi.bmiHeader.biHeight = -800;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    Bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    LOGFONTA lf{};
    lf.lfHeight = -12;
    std::strcpy(lf.lfFaceName, "Segoe UI");
    Font = CreateFontIndirectA(&lf);
    OldBitmap = SelectObject(DC, Bitmap);
    OldFont = SelectObject(DC, Font);
    SetBkMode(DC, TRANSPARENT);
  }
  ~TBenchDC() {
    SelectObject(DC, OldFont);
    SelectObject(DC, OldBitmap);
    DeleteObject(Font);
    DeleteObject(Bitmap);
    DeleteDC(DC);
  }
};

std::u16string Paragraph() {
  const std::u16string words[] = {u"convert", u"the",     u"listed", u"files", u"into",   u"documents", u"one",
                                  u"after",   u"another", u"while",  u"the",   u"ribbon", u"shows",     u"progress"};
  std::u16string text;
  for (size_t i = 0; text.size() < 2000; ++i) {
    if (!text.empty()) text += u' ';
    text += words[i % std::size(words)];
  }
  text.resize(2000);
  return text;
}

template <typename F>
double Seconds(F&& body) {
  const auto start = std::chrono::steady_clock::now();
  body();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_TextRowsParagraph(benchmark::State& state) {
  TBenchDC target;
  const std::u16string text = Paragraph();
  double engine = 0, platform = 0;
  for (auto _ : state) {
    engine += Seconds([&] {
      TRect r(10, 0, 310, 800);
      benchmark::DoNotOptimize(cxDrawTextRowsW(target.DC, text, r, TLF_WORDWRAP));
    });
    platform += Seconds([&] {
      RECT r{10, 0, 310, 800};
      benchmark::DoNotOptimize(DrawTextW(target.DC, text.data(), static_cast<int>(text.size()), &r, DT_WORDBREAK));
    });
  }
  state.counters["ratio"] = platform > 0 ? engine / platform : 0;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TextRowsParagraph)->Unit(benchmark::kMillisecond);

std::vector<AnsiString> Captions() {
  const char* verbs[] = {"Convert", "Add", "Remove", "Open", "Show", "Clear", "Save", "Move"};
  const char* things[] = {"Files",   "Folder", "Selected Rows",  "Output Folder", "All Items",
                          "Options", "Word",   "Excel Workbook", "HTML Page",     "Multipage TIFF"};
  std::vector<AnsiString> out;
  for (int i = 0; i < 1000; ++i)
    out.push_back(AnsiString(verbs[i % 8]) + " " + things[(i / 8) % 10] + (i % 3 ? "" : " Now"));
  return out;
}

void BM_CalcTextRectCaptions(benchmark::State& state) {
  TBenchDC target;
  const std::vector<AnsiString> captions = Captions();
  double library = 0, platform = 0;
  for (auto _ : state) {
    library += Seconds([&] {
      for (const AnsiString& c : captions) {
        TRect r;
        cxCalcTextRect(target.DC, c, 2, r);
        benchmark::DoNotOptimize(r);
      }
    });
    platform += Seconds([&] {
      for (const AnsiString& c : captions) {
        RECT r{0, 0, 0, 0};
        DrawTextA(target.DC, c.c_str(), static_cast<int>(c.size()), &r, DT_CALCRECT);
        benchmark::DoNotOptimize(r);
      }
    });
  }
  state.counters["ratio"] = platform > 0 ? library / platform : 0;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(captions.size()));
}
BENCHMARK(BM_CalcTextRectCaptions)->Unit(benchmark::kMillisecond);

}  // namespace
