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
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

class Picture {
 public:
  Picture(int w, int h, Rgb fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}
  void Set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[static_cast<size_t>(y) * w_ + x] = c;
  }
  Rgb At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
  int Width() const { return w_; }
  int Height() const { return h_; }
  std::string Bmp() const {
    std::string s;
    auto put16 = [&s](uint32_t v) {
      s += static_cast<char>(v & 0xFF);
      s += static_cast<char>((v >> 8) & 0xFF);
    };
    auto put32 = [&](uint32_t v) {
      put16(v & 0xFFFF);
      put16(v >> 16);
    };
    const uint32_t row = (static_cast<uint32_t>(w_) * 3 + 3) & ~3u;
    const uint32_t data = row * static_cast<uint32_t>(h_);
    s += "BM";
    put32(14 + 40 + data);
    put32(0);
    put32(14 + 40);
    put32(40);
    put32(static_cast<uint32_t>(w_));
    put32(static_cast<uint32_t>(h_));
    put16(1);
    put16(24);
    put32(0);
    put32(data);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int y = h_ - 1; y >= 0; --y) {
      for (int x = 0; x < w_; ++x) {
        const Rgb& p = At(x, y);
        s += static_cast<char>(p.b);
        s += static_cast<char>(p.g);
        s += static_cast<char>(p.r);
      }
      for (uint32_t pad = static_cast<uint32_t>(w_) * 3; pad < row; ++pad) s += '\0';
    }
    return s;
  }

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

struct Output {
  const char* name;
  Picture (*draw)();
} const kOutputs[] = {{"office11_submenu_expand.bmp", SubMenuExpand},
                      {"office11_expand_minus.bmp", [] { return ExpandButton(false); }},
                      {"office11_expand_plus.bmp", [] { return ExpandButton(true); }}};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::cerr << "usage: make_office11_glyphs OUTDIR | --check DIR\n";
    return 2;
  }
  const std::string dir = std::string(argv[check ? 2 : 1]) + "/";
  int rc = 0;
  for (const Output& o : kOutputs) {
    const std::string bytes = o.draw().Bmp();
    if (check) {
      if (ReadFile(dir + o.name) != bytes) {
        std::cerr << o.name << " differs from what the generator draws\n";
        rc = 1;
      }
    } else {
      std::ofstream(dir + o.name, std::ios::binary) << bytes;
    }
  }
  return rc;
}
