// Draws the pictures of the look-and-feel subsystem, PNG with alpha:
//   default_skin_icon_small.png   16 x 16  the icon of a skin or painter
//   default_skin_icon_large.png   48 x 48  that has none of its own: a
//                                          neutral swatch, a rounded grey
//                                          tile with a darker frame and a
//                                          lighter and a darker half
//                                          split along the diagonal
//
//   make_lookandfeel_glyphs OUTDIR        writes the files
//   make_lookandfeel_glyphs --check DIR   exits 1 when the files in DIR differ
#include <string>
#include <vector>

#include "../common/bmp_generator.h"
#include "../common/png_writer.h"

namespace {

using png_writer::Rgba;

class Picture {
 public:
  explicit Picture(int size) : size_(size), px_(static_cast<size_t>(size) * size, Rgba{0, 0, 0, 0}) {}
  void Set(int x, int y, Rgba c) { px_[static_cast<size_t>(y) * size_ + x] = c; }
  std::string Png() const { return png_writer::Png(size_, size_, px_); }

 private:
  int size_;
  std::vector<Rgba> px_;
};

// Whether (x, y) lies inside a square of the size with corners cut round
// by the radius.
bool InsideRounded(int x, int y, int size, int radius) {
  auto corner = [&](int c, int lo, int hi) { return c < lo ? lo - c : c > hi ? c - hi : 0; };
  const int dx = corner(x, radius, size - 1 - radius);
  const int dy = corner(y, radius, size - 1 - radius);
  return dx * dx + dy * dy <= radius * radius;
}

uint8_t Mix(int a, int b, int t, int range) { return static_cast<uint8_t>(a + (b - a) * t / range); }

Picture Swatch(int size) {
  const int radius = size / 8;
  const int inset = size / 4;
  Picture p(size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      if (!InsideRounded(x, y, size, radius)) continue;
      const bool frame = !InsideRounded(x - 1, y, size, radius) || !InsideRounded(x + 1, y, size, radius) ||
                         !InsideRounded(x, y - 1, size, radius) || !InsideRounded(x, y + 1, size, radius) ||
                         x == 0 || y == 0 || x == size - 1 || y == size - 1;
      if (frame) {
        p.Set(x, y, Rgba{96, 100, 106, 255});
        continue;
      }
      // A light vertical shading of the tile.
      const uint8_t v = Mix(236, 196, y, size - 1);
      Rgba c{v, v, static_cast<uint8_t>(v + 4 > 255 ? 255 : v + 4), 255};
      const bool inSwatch = x >= inset && y >= inset && x < size - inset && y < size - inset;
      if (inSwatch) {
        const bool upper = x - inset + (y - inset) < size - 2 * inset - 1;
        c = upper ? Rgba{250, 250, 250, 255} : Rgba{128, 132, 138, 255};
      }
      p.Set(x, y, c);
    }
  return p;
}

std::string SmallIcon() { return Swatch(16).Png(); }
std::string LargeIcon() { return Swatch(48).Png(); }

const bmp_generator::Output kOutputs[] = {{"default_skin_icon_small.png", SmallIcon},
                                          {"default_skin_icon_large.png", LargeIcon}};

}  // namespace

int main(int argc, char** argv) { return bmp_generator::Run(argc, argv, "make_lookandfeel_glyphs", kOutputs); }
