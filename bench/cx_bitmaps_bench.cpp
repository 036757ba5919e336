// The library bitmaps' costs against the least the same work could cost:
// a filter over a full-HD bitmap against a plain loop with the same
// arithmetic over the same pixels; the run-coded "Data" form of a 512 x 512
// picture written and read against copying its plain form; a tiled fill of
// full HD with a 16 x 16 tile against one FillRect. Each reports "ratio",
// the library's time over the baseline's.
#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/rtl/mathutils.h"
#include "platform/win/gdi/gdi.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/colors.h"

namespace {

using TClock = std::chrono::steady_clock;

double Since(TClock::time_point Start) { return std::chrono::duration<double>(TClock::now() - Start).count(); }

// Opens the "Data" reader and writer.
class TDataBitmap : public TcxBitmap32 {
 public:
  using TcxBitmap32::TcxBitmap32;
  using TcxBitmap32::ReadData;
  using TcxBitmap32::WriteData;
};

void FillPicture(TcxBitmap32& B) {
  TRGBColors p(static_cast<size_t>(B.Width()) * static_cast<size_t>(B.Height()));
  for (size_t i = 0; i < p.size(); ++i) {
    const Byte v = static_cast<Byte>((i / 64) * 3);  // runs, as in drawn pictures
    p[i] = RGBQUAD{v, static_cast<Byte>(v ^ 0x55), static_cast<Byte>(i / 4096), static_cast<Byte>(i % 3 ? 255 : 128)};
  }
  B.SetPixels(p);
}

Byte PlainLuma(const RGBQUAD& P) {
  const double g = P.rgbRed * double(0.299f) + P.rgbGreen * double(0.587f) + P.rgbBlue * double(0.114f);
  const double r = std::nearbyint(static_cast<double>(static_cast<float>(g)));
  return r >= 255 ? 255 : static_cast<Byte>(r);
}

void PlainFade(RGBQUAD& P) {
  if (P.rgbReserved == 255) {
    for (Byte* c : {&P.rgbBlue, &P.rgbGreen, &P.rgbRed}) *c = cxClampByte(*c + MulDiv(255 - *c, 3, 10));
  } else {
    for (Byte* c : {&P.rgbBlue, &P.rgbGreen, &P.rgbRed, &P.rgbReserved}) *c = cxClampByte(MulDiv(*c, 200, 255));
  }
}

void BM_Filter(benchmark::State& state) {
  const auto filter = static_cast<TcxBitmapFilter>(state.range(0));
  TcxAlphaBitmap bitmap(1920, 1080);
  FillPicture(bitmap);
  TRGBColors pixels;
  bitmap.GetPixels(pixels);
  double library = 0, plain = 0;
  for (auto _ : state) {
    auto start = TClock::now();
    bitmap.ApplyFilter(filter);
    library += Since(start);
    start = TClock::now();
    for (RGBQUAD& p : pixels) {
      if (filter == bfGrayLuma)
        p.rgbRed = p.rgbGreen = p.rgbBlue = PlainLuma(p);
      else
        PlainFade(p);
    }
    benchmark::DoNotOptimize(pixels.data());
    plain += Since(start);
  }
  state.counters["ratio"] = plain > 0 ? library / plain : 0;
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_Filter)->Arg(bfGrayLuma)->Arg(bfFade)->Unit(benchmark::kMillisecond);

void BM_XdbmEncode(benchmark::State& state) {
  TDataBitmap bitmap(512, 512);
  FillPicture(bitmap);
  TMemoryStream plainForm;
  bitmap.WriteData(&plainForm);
  std::vector<Byte> copy(static_cast<size_t>(plainForm.Size()));
  bitmap.SetCompressData(true);
  double library = 0, baseline = 0;
  for (auto _ : state) {
    TMemoryStream out;
    auto start = TClock::now();
    bitmap.WriteData(&out);
    library += Since(start);
    start = TClock::now();
    std::memcpy(copy.data(), plainForm.Memory(), copy.size());
    benchmark::DoNotOptimize(copy.data());
    baseline += Since(start);
  }
  state.counters["ratio"] = baseline > 0 ? library / baseline : 0;
}
BENCHMARK(BM_XdbmEncode)->Unit(benchmark::kMillisecond);

void BM_XdbmDecode(benchmark::State& state) {
  TDataBitmap bitmap(512, 512);
  FillPicture(bitmap);
  TMemoryStream plainForm;
  bitmap.WriteData(&plainForm);
  bitmap.SetCompressData(true);
  TMemoryStream packed;
  bitmap.WriteData(&packed);
  std::vector<Byte> copy(static_cast<size_t>(plainForm.Size()));
  TDataBitmap target(1, 1);
  double library = 0, baseline = 0;
  for (auto _ : state) {
    packed.SetPosition(0);
    auto start = TClock::now();
    target.ReadData(&packed);
    library += Since(start);
    start = TClock::now();
    std::memcpy(copy.data(), plainForm.Memory(), copy.size());
    benchmark::DoNotOptimize(copy.data());
    baseline += Since(start);
  }
  state.counters["ratio"] = baseline > 0 ? library / baseline : 0;
}
BENCHMARK(BM_XdbmDecode)->Unit(benchmark::kMillisecond);

void BM_FillRectTiled(benchmark::State& state) {
  TcxBitmap32 target(1920, 1080);
  TcxBitmap32 tile(16, 16);
  FillPicture(tile);
  TcxCanvas* canvas = target.GetCxCanvas();
  const TRect all(0, 0, 1920, 1080);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  double library = 0, baseline = 0;
  for (auto _ : state) {
    auto start = TClock::now();
    canvas->FillRectTiled(all, &tile);
    library += Since(start);
    HDC dc = canvas->GetHandle();
    start = TClock::now();
    FillRect(dc, &all, brush);
    baseline += Since(start);
  }
  DeleteObject(brush);
  state.counters["ratio"] = baseline > 0 ? library / baseline : 0;
}
BENCHMARK(BM_FillRectTiled)->Unit(benchmark::kMillisecond);

}  // namespace
