// Draws the grid's and the UI library's cursors: 32 x 32 monochrome cursor
// files, black shapes with a white rim so they show on any background.
//
//   make_cursors OUTDIR           writes every cursor into OUTDIR
//   make_cursors --check DIR      fails when a file in DIR differs from
//                                 what would be written
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int N = 32;

struct TPt {
  double X, Y;
};

// Pixels that are ink (black); the rim is computed around them.
struct TPicture {
  std::array<std::array<bool, N>, N> Ink{};

  void Paint(const std::function<bool(double, double)>& Inside) {
    for (int y = 0; y < N; ++y)
      for (int x = 0; x < N; ++x)
        if (Inside(x + 0.5, y + 0.5)) Ink[y][x] = true;
  }
  void Polygon(const std::vector<TPt>& P) {
    Paint([&](double px, double py) {
      bool in = false;
      for (size_t i = 0, j = P.size() - 1; i < P.size(); j = i++)
        if ((P[i].Y > py) != (P[j].Y > py) && px < (P[j].X - P[i].X) * (py - P[i].Y) / (P[j].Y - P[i].Y) + P[i].X)
          in = !in;
      return in;
    });
  }
  void Rect(int l, int t, int r, int b) {
    Paint([=](double px, double py) { return px > l && px < r && py > t && py < b; });
  }
  void Disc(double cx, double cy, double r) {
    Paint([=](double px, double py) { return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r; });
  }
  void Ring(double cx, double cy, double outer, double inner) {
    Paint([=](double px, double py) {
      double d = (px - cx) * (px - cx) + (py - cy) * (py - cy);
      return d <= outer * outer && d >= inner * inner;
    });
  }
  // A band of the given half width along the segment a-b.
  void Band(TPt a, TPt b, double half) {
    Paint([=](double px, double py) {
      double dx = b.X - a.X, dy = b.Y - a.Y;
      double t = ((px - a.X) * dx + (py - a.Y) * dy) / (dx * dx + dy * dy);
      if (t < 0 || t > 1) return false;
      double qx = a.X + t * dx - px, qy = a.Y + t * dy - py;
      return qx * qx + qy * qy <= half * half;
    });
  }
  bool Rim(int x, int y) const {
    if (Ink[y][x]) return false;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        int nx = x + dx, ny = y + dy;
        if (nx >= 0 && nx < N && ny >= 0 && ny < N && Ink[ny][nx]) return true;
      }
    return false;
  }
};

struct TCursor {
  const char* File;
  int HotX, HotY;
  std::function<void(TPicture&)> Draw;
};

void UpHead(TPicture& p) { p.Polygon({{16, 3}, {23, 11}, {9, 11}}); }
void DownHead(TPicture& p) { p.Polygon({{9, 21}, {23, 21}, {16, 29}}); }
void Dot(TPicture& p) { p.Disc(16, 16, 2.6); }
void LeftHead(TPicture& p) { p.Polygon({{3, 16}, {11, 9}, {11, 23}}); }
void RightHead(TPicture& p) { p.Polygon({{29, 16}, {21, 9}, {21, 23}}); }

// The pointer, its tip at (1, 1): the hot spot of every drag cursor.
void Pointer(TPicture& p) {
  auto m = [](double x, double y) { return TPt{x + 1, y + 1}; };
  p.Polygon({m(0, 0), m(0, 17), m(4, 13), m(7, 20), m(9.5, 19), m(6.5, 12), m(12, 12)});
}
// An outlined box: the dragged item.
void Box(TPicture& p, int l, int t, int r, int b) {
  p.Rect(l, t, r, t + 2), p.Rect(l, b - 2, r, b), p.Rect(l, t, l + 2, b), p.Rect(r - 2, t, r, b);
}
void Plus(TPicture& p, double cx, double cy) {
  p.Rect(static_cast<int>(cx) - 4, static_cast<int>(cy) - 1, static_cast<int>(cx) + 4, static_cast<int>(cy) + 1);
  p.Rect(static_cast<int>(cx) - 1, static_cast<int>(cy) - 4, static_cast<int>(cx) + 1, static_cast<int>(cy) + 4);
}
// A size arrow: a shaft with heads at both ends, upright or across.
void SizeArrow(TPicture& p, bool upright) {
  auto pt = [upright](double along, double across) { return upright ? TPt{16 + across, along} : TPt{along, 16 + across}; };
  p.Polygon({pt(3, 0), pt(10, -6), pt(10, 6)});
  p.Polygon({pt(29, 0), pt(22, -6), pt(22, 6)});
  p.Polygon({pt(9, -1.5), pt(23, -1.5), pt(23, 1.5), pt(9, 1.5)});
  p.Polygon({pt(15, -11), pt(17, -11), pt(17, 11), pt(15, 11)});
}
// A hand: the palm with the thumb, and curled fingers as knuckles.
void Palm(TPicture& p) {
  p.Rect(9, 15, 28, 29);
  p.Polygon({{3, 16}, {6, 14}, {12, 20}, {12, 26}});
}
void Knuckles(TPicture& p, int from) {
  for (int i = from; i < 4; ++i) p.Disc(13.5 + 4.5 * i, 12, 2.6), p.Rect(11 + 5 * i - (i > 0 ? i / 2 : 0), 12, 16 + 5 * i - i / 2, 16);
}

std::vector<TCursor> Cursors() {
  return {
      {"roll.cur", 16, 16, [](TPicture& p) { UpHead(p), DownHead(p), Dot(p); }},
      {"rollup.cur", 16, 16, [](TPicture& p) { UpHead(p), Dot(p); }},
      {"rolldown.cur", 16, 16, [](TPicture& p) { DownHead(p), Dot(p); }},
      // Column sizing: a double bar with arrows left and right.
      {"horzsplit.cur", 16, 16,
       [](TPicture& p) {
         p.Rect(13, 7, 15, 25), p.Rect(17, 7, 19, 25), p.Rect(7, 15, 25, 17);
         p.Polygon({{3, 16}, {9, 10}, {9, 22}}), p.Polygon({{29, 16}, {23, 10}, {23, 22}});
       }},
      // Row sizing: the same turned upright.
      {"vertsplit.cur", 16, 16,
       [](TPicture& p) {
         p.Rect(7, 13, 25, 15), p.Rect(7, 17, 25, 19), p.Rect(15, 7, 17, 25);
         p.Polygon({{16, 3}, {10, 9}, {22, 9}}), p.Polygon({{16, 29}, {10, 23}, {22, 23}});
       }},
      // A column that cannot go here: a barred circle.
      {"columnnodrag.cur", 16, 16,
       [](TPicture& p) {
         p.Ring(16, 16, 10, 7);
         p.Band({9.5, 9.5}, {22.5, 22.5}, 1.6);
       }},
      // Selecting a row from the indicator column: an arrow pointing right.
      {"indicatorselect.cur", 26, 16,
       [](TPicture& p) {
         p.Rect(5, 13, 19, 19);
         p.Polygon({{27.5, 16}, {18, 7.5}, {18, 24.5}});
       }},
      // The pointer mirrored, its tip at the top right.
      {"reversedarrow.cur", 29, 1,
       [](TPicture& p) {
         auto m = [](double x, double y) { return TPt{30 - x, y + 1}; };
         p.Polygon({m(0, 0), m(0, 17), m(4, 13), m(7, 20), m(9.5, 19), m(6.5, 12), m(12, 12)});
       }},
      // The UI library's cursors: drag cursors point with the arrow tip,
      // scroll and size cursors act at their centre, hands at the finger.
      {"cx_drag.cur", 1, 1, [](TPicture& p) { Pointer(p), Box(p, 14, 20, 30, 31); }},
      {"cx_dragcopy.cur", 1, 1, [](TPicture& p) { Pointer(p), Box(p, 14, 20, 30, 31), Plus(p, 22, 25.5); }},
      {"cx_multidrag.cur", 1, 1, [](TPicture& p) { Pointer(p), Box(p, 17, 17, 31, 26), Box(p, 13, 21, 27, 31); }},
      {"cx_multidragcopy.cur", 1, 1,
       [](TPicture& p) { Pointer(p), Box(p, 17, 17, 31, 26), Box(p, 13, 21, 27, 31), Plus(p, 20, 26); }},
      {"cx_nodrop.cur", 1, 1,
       [](TPicture& p) {
         Pointer(p), p.Ring(23, 23, 7.5, 5);
         p.Band({18, 18}, {28, 28}, 1.3);
       }},
      {"cx_remove.cur", 1, 1,
       [](TPicture& p) { Pointer(p), p.Band({16, 18}, {28, 30}, 1.6), p.Band({28, 18}, {16, 30}, 1.6); }},
      {"cx_fullscroll.cur", 16, 16, [](TPicture& p) { UpHead(p), DownHead(p), LeftHead(p), RightHead(p), Dot(p); }},
      {"cx_horscroll.cur", 16, 16, [](TPicture& p) { LeftHead(p), RightHead(p), Dot(p); }},
      {"cx_verscroll.cur", 16, 16, [](TPicture& p) { UpHead(p), DownHead(p), Dot(p); }},
      {"cx_upscroll.cur", 16, 16, [](TPicture& p) { UpHead(p), Dot(p); }},
      {"cx_downscroll.cur", 16, 16, [](TPicture& p) { DownHead(p), Dot(p); }},
      {"cx_leftscroll.cur", 16, 16, [](TPicture& p) { LeftHead(p), Dot(p); }},
      {"cx_rightscroll.cur", 16, 16, [](TPicture& p) { RightHead(p), Dot(p); }},
      {"cx_vertsize.cur", 16, 16, [](TPicture& p) { SizeArrow(p, true); }},
      {"cx_horzsize.cur", 16, 16, [](TPicture& p) { SizeArrow(p, false); }},
      // A pipette, its tip at the bottom left.
      {"cx_colorpicker.cur", 2, 29,
       [](TPicture& p) {
         p.Band({2.5, 29.5}, {17, 15}, 1.8);
         p.Band({14, 12}, {20, 18}, 2.2);
         p.Disc(23, 9, 5);
       }},
      // Pointing up with the index finger.
      {"cx_hand.cur", 14, 1,
       [](TPicture& p) {
         Palm(p), Knuckles(p, 1);
         p.Rect(11, 3, 17, 16), p.Disc(14, 4, 3);
       }},
      // Grabbing: every finger curled, the knuckles on top.
      {"cx_handdrag.cur", 14, 9, [](TPicture& p) { Palm(p), Knuckles(p, 0); }},
  };
}

void Put16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
void Put32(std::string& s, uint32_t v) {
  Put16(s, static_cast<uint16_t>(v & 0xFFFF));
  Put16(s, static_cast<uint16_t>(v >> 16));
}

// A cursor file with one 1-bit image: colour bits 1 where white, mask bits
// 1 where transparent.
std::string CursorFile(const TCursor& c) {
  TPicture p;
  c.Draw(p);
  std::string image;
  Put32(image, 40);
  Put32(image, N);
  Put32(image, 2 * N);  // colour and mask rows
  Put16(image, 1);
  Put16(image, 1);
  for (int i = 0; i < 6; ++i) Put32(image, 0);
  Put32(image, 0x00000000);  // black
  Put32(image, 0x00FFFFFF);  // white
  for (int pass = 0; pass < 2; ++pass)
    for (int y = N - 1; y >= 0; --y)  // bottom-up rows
      for (int byte = 0; byte < N / 8; ++byte) {
        uint8_t bits = 0;
        for (int bit = 0; bit < 8; ++bit) {
          int x = byte * 8 + bit;
          bool on = pass == 0 ? p.Rim(x, y) : !p.Ink[y][x] && !p.Rim(x, y);
          if (on) bits |= static_cast<uint8_t>(0x80 >> bit);
        }
        image += static_cast<char>(bits);
      }
  std::string file;
  Put16(file, 0);
  Put16(file, 2);  // a cursor
  Put16(file, 1);
  file += static_cast<char>(N);
  file += static_cast<char>(N);
  file += static_cast<char>(2);
  file += static_cast<char>(0);
  Put16(file, static_cast<uint16_t>(c.HotX));
  Put16(file, static_cast<uint16_t>(c.HotY));
  Put32(file, static_cast<uint32_t>(image.size()));
  Put32(file, 6 + 16);
  return file + image;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
  if (!(argc == 2 || check)) {
    std::cerr << "usage: make_cursors OUTDIR | make_cursors --check DIR\n";
    return 2;
  }
  const std::string dir = argv[argc - 1];
  int failures = 0;
  for (const TCursor& c : Cursors()) {
    const std::string path = dir + "/" + c.File, bytes = CursorFile(c);
    if (check) {
      std::ifstream in(path, std::ios::binary);
      std::string have((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (have != bytes) {
        std::cerr << "make_cursors: " << path << " is not what the generator draws\n";
        ++failures;
      }
      continue;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::cerr << "make_cursors: cannot write " << path << "\n";
      return 1;
    }
  }
  return failures ? 1 : 0;
}
