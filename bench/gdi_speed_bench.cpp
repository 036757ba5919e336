// Blending, stretching and filled shapes on a 1920x1080 32-bit DIB
// section, each against the same work done by Qt's raster engine in the
// same run; the ratio (GDI time over Qt time, best of several runs) is the
// counter "ratio". Run on an idle machine.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win/gdi/gdi.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

struct TDib {
  HDC dc;
  HBITMAP bmp;
  HGDIOBJ old;
  uint32_t* bits = nullptr;
  int w, h;
  TDib(int width, int height) : w(width), h(height) {
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* p = nullptr;
    bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint32_t*>(p);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bmp);
  }
  ~TDib() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  // A premultiplied picture with alpha varying across it.
  void FillPicture() {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t a = uint32_t((x + y) & 0xFF);
        uint32_t r = (uint32_t(x * 255 / w) * a) / 255, g = (uint32_t(y * 255 / h) * a) / 255, b = (a * 7) / 8;
        bits[size_t(y) * w + x] = (a << 24) | (r << 16) | (g << 8) | b;
      }
  }
};

// The same pixels as a Qt image sharing the DIB's memory.
QImage View(const TDib& d, QImage::Format f) {
  return QImage(reinterpret_cast<uchar*>(d.bits), d.w, d.h, d.w * 4, f);
}

// Best of several timed runs, in seconds per call.
template <class F>
double Best(F&& f, int runs = 9) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
  }
  return best;
}

template <class G, class Q>
void Compare(benchmark::State& state, G&& gdi, Q&& qt) {
  for (auto _ : state) {
    gdi();
    benchmark::ClobberMemory();
  }
  double g = Best(gdi), q = Best(qt);
  state.counters["gdi_ms"] = g * 1e3;
  state.counters["qt_ms"] = q * 1e3;
  state.counters["ratio"] = g / q;
}

void BM_AlphaBlendPerPixel(benchmark::State& state) {
  TDib src(kWidth, kHeight), dst(kWidth, kHeight), qdst(kWidth, kHeight);
  src.FillPicture();
  std::memset(dst.bits, 0x80, size_t(kWidth) * kHeight * 4);
  std::memset(qdst.bits, 0x80, size_t(kWidth) * kHeight * 4);
  QImage qs = View(src, QImage::Format_ARGB32_Premultiplied);
  QImage qd = View(qdst, QImage::Format_ARGB32_Premultiplied);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  Compare(
      state, [&] { AlphaBlend(dst.dc, 0, 0, kWidth, kHeight, src.dc, 0, 0, kWidth, kHeight, bf); },
      [&] {
        QPainter p(&qd);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.drawImage(0, 0, qs);
      });
}
BENCHMARK(BM_AlphaBlendPerPixel)->Unit(benchmark::kMillisecond);

void BM_AlphaBlendConstant(benchmark::State& state) {
  TDib src(kWidth, kHeight), dst(kWidth, kHeight), qdst(kWidth, kHeight);
  src.FillPicture();
  for (size_t i = 0; i < size_t(kWidth) * kHeight; ++i) src.bits[i] |= 0xFF000000u;
  std::memset(dst.bits, 0x80, size_t(kWidth) * kHeight * 4);
  std::memset(qdst.bits, 0x80, size_t(kWidth) * kHeight * 4);
  QImage qs = View(src, QImage::Format_ARGB32_Premultiplied);
  QImage qd = View(qdst, QImage::Format_ARGB32_Premultiplied);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 128, 0};
  Compare(
      state, [&] { AlphaBlend(dst.dc, 0, 0, kWidth, kHeight, src.dc, 0, 0, kWidth, kHeight, bf); },
      [&] {
        QPainter p(&qd);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setOpacity(128 / 255.0);
        p.drawImage(0, 0, qs);
      });
}
BENCHMARK(BM_AlphaBlendConstant)->Unit(benchmark::kMillisecond);

// Halving a 3840x2160 picture into 1920x1080.
void BM_StretchBltHalftoneHalf(benchmark::State& state) {
  TDib src(2 * kWidth, 2 * kHeight), dst(kWidth, kHeight);
  src.FillPicture();
  SetStretchBltMode(dst.dc, HALFTONE);
  QImage qs = View(src, QImage::Format_RGB32);
  Compare(
      state, [&] { StretchBlt(dst.dc, 0, 0, kWidth, kHeight, src.dc, 0, 0, 2 * kWidth, 2 * kHeight, SRCCOPY); },
      [&] {
        QImage out = qs.scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(out.constBits());
      });
}
BENCHMARK(BM_StretchBltHalftoneHalf)->Unit(benchmark::kMillisecond);

void BM_FilledEllipse(benchmark::State& state) {
  TDib dst(kWidth, kHeight), qdst(kWidth, kHeight);
  HBRUSH brush = CreateSolidBrush(RGB(0x20, 0x80, 0xC0));
  SelectObject(dst.dc, brush);
  SelectObject(dst.dc, GetStockObject(NULL_PEN));
  QImage qd = View(qdst, QImage::Format_RGB32);
  Compare(
      state, [&] { Ellipse(dst.dc, 10, 10, kWidth - 10, kHeight - 10); },
      [&] {
        QPainter p(&qd);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x20, 0x80, 0xC0));
        p.drawEllipse(10, 10, kWidth - 21, kHeight - 21);
      });
  SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
}
BENCHMARK(BM_FilledEllipse)->Unit(benchmark::kMillisecond);

void BM_FilledPolygon(benchmark::State& state) {
  TDib dst(kWidth, kHeight), qdst(kWidth, kHeight);
  HBRUSH brush = CreateSolidBrush(RGB(0x20, 0x80, 0xC0));
  SelectObject(dst.dc, brush);
  SelectObject(dst.dc, GetStockObject(NULL_PEN));
  // A star of twelve points over the whole picture.
  std::vector<POINT> pts;
  QPolygon qp;
  for (int i = 0; i < 24; ++i) {
    double a = i * 3.14159265358979 / 12, r = (i & 1) ? 0.25 : 0.5;
    POINT pt(int(kWidth / 2 + r * kWidth * std::cos(a)), int(kHeight / 2 + r * kHeight * std::sin(a)));
    pts.push_back(pt);
    qp << QPoint(pt.X, pt.Y);
  }
  QImage qd = View(qdst, QImage::Format_RGB32);
  Compare(
      state, [&] { Polygon(dst.dc, pts.data(), int(pts.size())); },
      [&] {
        QPainter p(&qd);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x20, 0x80, 0xC0));
        p.drawPolygon(qp, Qt::OddEvenFill);
      });
  SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
}
BENCHMARK(BM_FilledPolygon)->Unit(benchmark::kMillisecond);

}  // namespace
