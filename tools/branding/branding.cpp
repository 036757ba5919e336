// Converts a branding file between its plain ini text and the stored form,
// in which every byte of a line is inverted and the line breaks stay plain.
//
//   branding encode PLAIN STORED   plain text -> stored file
//   branding decode STORED PLAIN   stored file -> plain text
//
// Encoding refuses a plain text holding the bytes 0xF2, 0xF5 or 0xFF: their
// complements are CR, LF and NUL, which would cut the stored text.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

bool ReadAll(const char* path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool WriteAll(const char* path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out);
}

// Inverts every byte except the line breaks. Decoding stops at a stored
// NUL, as the reader does.
std::string Convert(const std::string& in, bool decoding) {
  std::string out;
  out.reserve(in.size());
  for (char c : in) {
    if (decoding && c == '\0') break;
    if (c == '\r' || c == '\n')
      out += c;
    else
      out += static_cast<char>(255 - static_cast<unsigned char>(c));
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[1], "encode") != 0 && std::strcmp(argv[1], "decode") != 0)) {
    std::cerr << "usage: branding encode|decode INPUT OUTPUT\n";
    return 2;
  }
  const bool decoding = std::strcmp(argv[1], "decode") == 0;
  std::string in;
  if (!ReadAll(argv[2], in)) {
    std::cerr << "branding: cannot read " << argv[2] << "\n";
    return 1;
  }
  if (!decoding) {
    int line = 1;
    for (size_t i = 0; i < in.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(in[i]);
      if (c == '\n') ++line;
      if (c == 0xF2 || c == 0xF5 || c == 0xFF) {
        std::fprintf(stderr,
                     "branding: %s, line %d: the byte 0x%02X cannot be stored (its complement is a line break "
                     "or NUL)\n",
                     argv[2], line, c);
        return 1;
      }
    }
  }
  if (!WriteAll(argv[3], Convert(in, decoding))) {
    std::cerr << "branding: cannot write " << argv[3] << "\n";
    return 1;
  }
  return 0;
}
