// Draws the three small bitmaps of the 2003-style colour set, 24-bit:
//   office11_submenu_expand.bmp   a double chevron pointing down, 7 x 8: a
//                                 grey ramp (lighter at the top) with a black
//                                 outline on a magenta background, so that
//                                 recolouring has a range of reds to map
//   office11_expand_minus.bmp     11 x 11 expand buttons: a frame, a light
//   office11_expand_plus.bmp      vertical shading and a black sign
//
//   make_office11_glyphs OUTDIR        writes the three files
//   make_office11_glyphs --check DIR   exits 1 when the files in DIR differ
#include <string>
#include <vector>

#include "../common/bmp_generator.h"

namespace {

using bmp_generator::Rgb;

class Picture {
 public:
  Picture(int w, int h, Rgb fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}
  void Set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[static_cast<size_t>(y) * w_ + x] = c;
  }
  Rgb At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
  int Width() const { return w_; }
  int Height() const { return h_; }
  std::string Bmp() const { return bmp_generator::Bmp24(w_, h_, px_); }

 private:
  int w_, h_;
  std::vector<Rgb> px_;
};

Picture SubMenuExpand() {
  const Rgb background{255, 0, 255}, black{0, 0, 0};
  // One chevron, 5 wide and 3 high, drawn twice; the outline is every
  // background pixel next to the chevrons.
  static const char* const kShape[] = {
      ".......",  //
      ".XX.XX.",  //
      "..XXX..",  //
      "...X...",  //
      ".XX.XX.",  //
      "..XXX..",  //
      "...X...",  //
      ".......",  //
  };
  Picture p(7, 8, background);
  auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < 7 && y < 8 && kShape[y][x] == 'X'; };
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 7; ++x) {
      if (inside(x, y)) {
        // Lighter at the top of each chevron.
        const uint8_t v = static_cast<uint8_t>(0xE0 - ((y - 1) % 3) * 0x38);
        p.Set(x, y, Rgb{v, v, v});
      } else if (inside(x - 1, y) || inside(x + 1, y) || inside(x, y - 1) || inside(x, y + 1)) {
        p.Set(x, y, black);
      }
    }
  return p;
}

Picture ExpandButton(bool plus) {
  const Rgb frame{122, 138, 153}, corner{255, 255, 255}, black{0, 0, 0};
  Picture p(11, 11, corner);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 11; ++x) {
      const bool edge = x == 0 || y == 0 || x == 10 || y == 10;
      const bool cornerPixel = (x == 0 || x == 10) && (y == 0 || y == 10);
      if (cornerPixel) continue;  // tinted by the painter
      if (edge) {
        p.Set(x, y, frame);
      } else {
        // White at the top shading to a light grey at the bottom.
        const uint8_t v = static_cast<uint8_t>(255 - (y - 1) * 5);
        p.Set(x, y, Rgb{v, v, static_cast<uint8_t>(v - (y - 1) * 2)});
      }
    }
  for (int x = 3; x <= 7; ++x) p.Set(x, 5, black);
  if (plus)
    for (int y = 3; y <= 7; ++y) p.Set(5, y, black);
  return p;
}

std::string SubMenuExpandBmp() { return SubMenuExpand().Bmp(); }
std::string MinusBmp() { return ExpandButton(false).Bmp(); }
std::string PlusBmp() { return ExpandButton(true).Bmp(); }

const bmp_generator::Output kOutputs[] = {{"office11_submenu_expand.bmp", SubMenuExpandBmp},
                                          {"office11_expand_minus.bmp", MinusBmp},
                                          {"office11_expand_plus.bmp", PlusBmp}};

}  // namespace

int main(int argc, char** argv) { return bmp_generator::Run(argc, argv, "make_office11_glyphs", kOutputs); }
