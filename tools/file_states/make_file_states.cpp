// Draws the three pictures of the file list's state column, 120 by 80
// pixels, 24-bit: a page waiting for conversion (a clock on it), a
// converted page (a green tick on it) and a page that could not be
// converted (a red cross on it).
//
//   make_file_states OUTDIR          writes file_waiting.bmp, file_processed.bmp,
//                                    file_failed.bmp
//   make_file_states --check DIR     exits 1 when the files in DIR differ
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "../common/bmp_generator.h"

namespace {

constexpr int kWidth = 120;
constexpr int kHeight = 80;

using bmp_generator::Rgb;

class Picture {
 public:
  Picture() : px_(static_cast<size_t>(kWidth) * kHeight, Rgb{255, 255, 255}) {}
  void Set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) px_[static_cast<size_t>(y) * kWidth + x] = c;
  }
  // Mixes c over the pixel by coverage a (0..1).
  void Blend(int x, int y, Rgb c, double a) {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight || a <= 0) return;
    if (a > 1) a = 1;
    Rgb& p = px_[static_cast<size_t>(y) * kWidth + x];
    p.r = static_cast<uint8_t>(std::lround(p.r + (c.r - p.r) * a));
    p.g = static_cast<uint8_t>(std::lround(p.g + (c.g - p.g) * a));
    p.b = static_cast<uint8_t>(std::lround(p.b + (c.b - p.b) * a));
  }
  void Fill(int l, int t, int r, int b, Rgb c) {
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) Set(x, y, c);
  }
  // A disc with a smooth edge.
  void Disc(double cx, double cy, double radius, Rgb c) {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        Blend(x, y, c, radius + 0.5 - d);
      }
  }
  // A line of the given width with smooth edges.
  void Line(double x0, double y0, double x1, double y1, double width, Rgb c) {
    const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const double px = x + 0.5, py = y + 0.5;
        double t = ((px - x0) * dx + (py - y0) * dy) / len2;
        t = t < 0 ? 0 : (t > 1 ? 1 : t);
        const double d = std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
        Blend(x, y, c, width / 2 + 0.5 - d);
      }
  }
  std::string Bmp() const { return bmp_generator::Bmp24(kWidth, kHeight, px_); }

 private:
  std::vector<Rgb> px_;
};

// A PDF page with its corner folded and a red band, centred in the picture.
void DrawPage(Picture& p) {
  const Rgb outline{120, 130, 145}, paper{250, 251, 253}, fold{215, 222, 232}, band{200, 40, 40}, text{190, 198, 210};
  const int l = 38, t = 6, r = 82, b = 74, f = 12;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) {
      if (x - (r - f) > y - t) continue;  // the folded corner
      const bool edge = x == l || y == b - 1 || x == r - 1 || y == t || x - (r - f) == y - t;
      p.Set(x, y, edge ? outline : paper);
    }
  for (int y = t; y < t + f; ++y)
    for (int x = r - f; x < r; ++x)
      if (x - (r - f) >= y - t) p.Set(x, y, (x == r - f || y == t + f - 1 || x - (r - f) == y - t) ? outline : fold);
  for (int i = 0; i < 4; ++i) p.Fill(l + 6, t + 18 + i * 7, r - 6 - (i % 2) * 8, t + 21 + i * 7, text);
  p.Fill(l + 1, b - 16, r - 1, b - 7, band);
}

Picture Waiting() {
  Picture p;
  DrawPage(p);
  const Rgb ring{90, 110, 140}, face{255, 255, 255};
  p.Disc(86, 56, 15, ring);
  p.Disc(86, 56, 12.5, face);
  p.Line(86, 56, 86, 47, 2.2, ring);
  p.Line(86, 56, 93, 60, 2.2, ring);
  return p;
}

Picture Processed() {
  Picture p;
  DrawPage(p);
  const Rgb green{40, 150, 70}, white{255, 255, 255};
  p.Disc(86, 56, 15, green);
  p.Line(79, 56, 84, 62, 3.2, white);
  p.Line(84, 62, 94, 49, 3.2, white);
  return p;
}

Picture Failed() {
  Picture p;
  DrawPage(p);
  const Rgb red{200, 45, 45}, white{255, 255, 255};
  // A white rim keeps the red disc apart from the page's red band.
  p.Disc(86, 56, 16.5, white);
  p.Disc(86, 56, 15, red);
  p.Line(80, 50, 92, 62, 3.2, white);
  p.Line(92, 50, 80, 62, 3.2, white);
  return p;
}

std::string WaitingBmp() { return Waiting().Bmp(); }
std::string ProcessedBmp() { return Processed().Bmp(); }
std::string FailedBmp() { return Failed().Bmp(); }

const bmp_generator::Output kOutputs[] = {{"file_waiting.bmp", WaitingBmp},
                                          {"file_processed.bmp", ProcessedBmp},
                                          {"file_failed.bmp", FailedBmp}};

}  // namespace

int main(int argc, char** argv) { return bmp_generator::Run(argc, argv, "make_file_states", kOutputs); }
