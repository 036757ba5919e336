// Draws the application's icon and the completion chime.
//
//   make_assets icon OUT.ico     a page with a red band and a blue arrow,
//                                16, 32 and 48 pixels, 32-bit with alpha
//   make_assets chime OUT.wav    two bell-like tones, 16-bit mono
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

void Put16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
void Put32(std::string& s, uint32_t v) {
  Put16(s, static_cast<uint16_t>(v & 0xFFFF));
  Put16(s, static_cast<uint16_t>(v >> 16));
}

struct Pixel {
  uint8_t b, g, r, a;
};

// The picture at size n, top row first.
std::vector<Pixel> DrawIcon(int n) {
  std::vector<Pixel> px(static_cast<size_t>(n) * n, Pixel{0, 0, 0, 0});
  auto at = [&](int x, int y) -> Pixel& { return px[static_cast<size_t>(y) * n + x]; };
  const double s = n / 16.0;
  const int left = static_cast<int>(std::lround(2 * s)), right = static_cast<int>(std::lround(13 * s));
  const int top = static_cast<int>(std::lround(1 * s)), bottom = static_cast<int>(std::lround(15 * s));
  const int fold = static_cast<int>(std::lround(3 * s));
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      // The folded top-right corner is cut off.
      if (x - (right - fold) > y - top) continue;
      bool border = x == left || x == right - 1 || y == top || y == bottom - 1 || x - (right - fold) == y - top;
      at(x, y) = border ? Pixel{96, 96, 96, 255} : Pixel{255, 255, 255, 255};
    }
  // The red band across the page.
  const int bandTop = static_cast<int>(std::lround(5 * s)), bandBottom = static_cast<int>(std::lround(9 * s));
  for (int y = bandTop; y < bandBottom; ++y)
    for (int x = left + 1; x < right - 1; ++x) at(x, y) = Pixel{40, 40, 200, 255};
  // The blue arrow pointing right, at the bottom.
  const int ay = static_cast<int>(std::lround(12 * s));
  const int half = std::max(1, static_cast<int>(std::lround(1.5 * s)));
  for (int x = static_cast<int>(std::lround(4 * s)); x < static_cast<int>(std::lround(10 * s)); ++x)
    for (int d = -std::max(0, half / 2); d <= std::max(0, half / 2); ++d) at(x, ay + d) = Pixel{200, 90, 20, 255};
  const int tip = static_cast<int>(std::lround(12 * s));
  for (int k = 0; k <= half + 1; ++k)
    for (int d = -k; d <= k; ++d) {
      int x = tip - k, y = ay + d;
      if (x >= 0 && x < n && y >= 0 && y < n) at(x, y) = Pixel{200, 90, 20, 255};
    }
  return px;
}

std::string IconFile() {
  const int sizes[] = {16, 32, 48};
  std::vector<std::string> images;
  for (int n : sizes) {
    std::vector<Pixel> px = DrawIcon(n);
    std::string img;
    // BITMAPINFOHEADER with the doubled height of icon images.
    Put32(img, 40);
    Put32(img, static_cast<uint32_t>(n));
    Put32(img, static_cast<uint32_t>(2 * n));
    Put16(img, 1);
    Put16(img, 32);
    Put32(img, 0);
    Put32(img, 0);
    Put32(img, 0);
    Put32(img, 0);
    Put32(img, 0);
    Put32(img, 0);
    for (int y = n - 1; y >= 0; --y)  // bottom-up colour rows
      for (int x = 0; x < n; ++x) {
        const Pixel& p = px[static_cast<size_t>(y) * n + x];
        img += static_cast<char>(p.b);
        img += static_cast<char>(p.g);
        img += static_cast<char>(p.r);
        img += static_cast<char>(p.a);
      }
    const int maskStride = ((n + 31) / 32) * 4;
    for (int y = n - 1; y >= 0; --y) {  // AND mask: 1 = transparent
      std::string row(static_cast<size_t>(maskStride), '\0');
      for (int x = 0; x < n; ++x)
        if (px[static_cast<size_t>(y) * n + x].a == 0) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
      img += row;
    }
    images.push_back(img);
  }
  std::string out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<uint16_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out += static_cast<char>(sizes[i]);
    out += static_cast<char>(sizes[i]);
    out += '\0';
    out += '\0';
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<uint32_t>(images[i].size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const std::string& img : images) out += img;
  return out;
}

std::string ChimeFile() {
  const uint32_t rate = 22050;
  const double seconds = 0.7;
  const uint32_t count = static_cast<uint32_t>(rate * seconds);
  std::string data;
  for (uint32_t i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / rate;
    double v = 0;
    // Two tones a fifth apart, the second starting a little later.
    v += std::sin(2 * M_PI * 880.0 * t) * std::exp(-6.0 * t);
    if (t > 0.12) v += std::sin(2 * M_PI * 1318.5 * (t - 0.12)) * std::exp(-6.0 * (t - 0.12));
    v *= 0.35;
    Put16(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767))));
  }
  std::string out = "RIFF";
  Put32(out, static_cast<uint32_t>(36 + data.size()));
  out += "WAVEfmt ";
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, 1);
  Put32(out, rate);
  Put32(out, rate * 2);
  Put16(out, 2);
  Put16(out, 16);
  out += "data";
  Put32(out, static_cast<uint32_t>(data.size()));
  return out + data;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "icon") != 0 && std::strcmp(argv[1], "chime") != 0)) {
    std::cerr << "usage: make_assets icon|chime OUTPUT\n";
    return 2;
  }
  std::string bytes = std::strcmp(argv[1], "icon") == 0 ? IconFile() : ChimeFile();
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::cerr << "make_assets: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
