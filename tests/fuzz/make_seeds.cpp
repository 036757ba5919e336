// Writes the seeds that need this project's own encoders: pictures in
// every format, a binary form, filer streams and vectors. Run once by
// hand (`fuzz_make_seeds tests/fuzz/corpus`); its output is committed.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/backend/codecs.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "support/ansi_string_vectors.h"
#include "support/filer.h"

namespace {
namespace fs = std::filesystem;

void Put(const fs::path& dir, const std::string& name, const std::string& bytes) {
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Picture(rtl::backend::TImageFileFormat format, int w, int h, bool alpha) {
  std::vector<uint32_t> px(size_t(w) * h);
  for (int i = 0; i < w * h; ++i) px[size_t(i)] = (i % 3 == 0 ? 0x00000000u : 0xFF000000u) | uint32_t(i * 0x102030);
  rtl::backend::TEncodeOptions options;
  options.Alpha = alpha;
  std::string out;
  rtl::backend::EncodeImage(format, px.data(), w, h, w * 4, options, out);
  return out;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
    return 2;
  }
  const fs::path root = argv[1];
  using namespace rtl::backend;
  const struct {
    TImageFileFormat Format;
    const char* Ext;
  } kFormats[] = {{iffBmp, "bmp"}, {iffPng, "png"}, {iffJpeg, "jpg"}, {iffTiff, "tif"}, {iffGif, "gif"}};
  for (const auto& f : kFormats)
    for (bool alpha : {false, true}) {
      const std::string bytes = Picture(f.Format, 5, 3, alpha);
      const std::string name = std::string(alpha ? "alpha." : "plain.") + f.Ext;
      Put(root / "image_decode", name, bytes);
      Put(root / "gdiplus", name, bytes);
      if (f.Format == iffBmp) Put(root / "picture", name, std::string(1, '\0') + bytes);
      if (f.Format == iffJpeg) Put(root / "picture", name, std::string(1, '\2') + bytes);
    }

  // A binary form from the text form seed.
  {
    std::ifstream in(root / "form_text" / "form.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TStringStream input(text), output("");
    ObjectTextToBinary(&input, &output);
    Put(root / "form_binary", "form.bin", output.DataString());
  }

  // Filer streams: tagged values, and both vectors with their headers.
  {
    TStringStream stream("");
    {
      TDIBinaryWriter writer(&stream, 64);
      for (int i = 0; i < 4; ++i) {
        writer.WriteInteger(i * -1000003);
        writer.WriteCardinal(0xFFFFFFF0u + i);
        writer.WriteAnsiString(std::string(size_t(i) * 5, 'x'));
      }
      writer.FlushBuffer();
    }
    Put(root / "support_filer", "values", std::string(1, '\0') + stream.DataString());
  }
  {
    TDIAnsiStringVector strings;
    TStringList lines;
    lines.SetText("one\ntwo\n\nfour");
    strings.AssignFromStrings(&lines);
    TStringStream stream("");
    strings.WriteData(&stream);
    Put(root / "support_filer", "strings", std::string(1, '\1') + stream.DataString());
    Put(root / "support_filer", "strings_filer", std::string(1, '\x1f') + stream.DataString());
  }
  {
    TDIAnsiStringCardinalVector pairs;
    TStringList lines;
    lines.SetText("a\nbb");
    pairs.AssignFromStrings(&lines);
    TStringStream stream("");
    pairs.WriteData(&stream);
    Put(root / "support_filer", "pairs", std::string(1, '\2') + stream.DataString());
  }
  return 0;
}
