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

// Skin stream records, written field by field (little-endian) for the
// layout of a version: before 1.1 the image count stands in the element,
// before 1.02 images have no gradient, before 1.09 each border is led by a
// class name and a name, before 1.04 details hold only the name.
class SkinRecords {
  std::string s_;
  double version_;

 public:
  explicit SkinRecords(double version) : version_(version) {}
  SkinRecords& I32(int32_t v) {
    for (int k = 0; k < 4; ++k) s_ += static_cast<char>(static_cast<uint32_t>(v) >> (8 * k));
    return *this;
  }
  SkinRecords& U8(uint8_t v) {
    s_ += static_cast<char>(v);
    return *this;
  }
  SkinRecords& Str(const std::string& v) {
    I32(static_cast<int32_t>(v.size()));
    s_ += v;
    return *this;
  }
  SkinRecords& Wide(const std::u16string& v) {
    I32(static_cast<int32_t>(v.size()));
    for (char16_t c : v) U8(static_cast<uint8_t>(c)).U8(static_cast<uint8_t>(c >> 8));
    return *this;
  }
  SkinRecords& Rect(int32_t l, int32_t t, int32_t r, int32_t b) { return I32(l).I32(t).I32(r).I32(b); }
  SkinRecords& Block(const std::string& png) { return Str(png); }
  SkinRecords& Image(const std::string& png, int32_t count) {
    Rect(2, 2, 2, 2).U8(1);
    if (version_ >= 1.1) I32(count);
    U8(0x03).U8(0x00).U8(1);
    if (version_ >= 1.02) I32(0x00C0C0C0).I32(0x1FFFFFFF).U8(1);
    return Block(png);
  }
  SkinRecords& Borders() {
    static const char* const sides[] = {"Left", "Top", "Right", "Bottom"};
    for (int i = 0; i < 4; ++i) {
      if (version_ < 1.09) Str("TdxSkinBorder").Str(sides[i]);
      I32(i == 1 ? 0x1FFFFFFF : 0x00808080).I32(1);
    }
    return *this;
  }
  // One property of every kind.
  SkinRecords& Properties() {
    I32(8);
    Str("TdxSkinIntegerProperty").Str("Indent").I32(-12);
    Str("TdxSkinBooleanProperty").Str("Flat").U8(1);
    Str("TdxSkinColor").Str("TextColorHot").I32(0x00FF8000);
    Str("TdxSkinRectProperty").Str("Padding").Rect(-1, 2, 3, 4);
    Str("TdxSkinSizeProperty").Str("GlyphSize").I32(16).I32(16);
    Str("TdxSkinStringProperty").Str("Caption").Str("Text");
    Str("TdxSkinWideStringProperty").Str("Notes").Wide(u"\u0416\u65E5");
    Str("TdxSkinAlternateImageAttributes").Str("AlternateImage1Hot").U8(200).U8(1).I32(0x00FFFFFF).I32(0x00E0E0E0);
    Borders();
    Borders();
    return Rect(1, 1, 1, 1);
  }
  SkinRecords& Element(const std::string& name, const std::string& image, const std::string& glyph) {
    Str(name).I32(0x20000000).U8(255);
    if (version_ < 1.1) I32(2);
    Rect(3, 3, 3, 3);
    Image(glyph, 1);
    Image(image, 2);
    Borders();
    I32(0x00000000).I32(12).I32(20);
    return Properties();
  }
  SkinRecords& Details(const std::string& small, const std::string& large) {
    Str("Neutral");
    if (version_ >= 1.04) Str("Neutral skin").Str("Built-in").Wide(u"Notes \u00FC").Block(small).Block(large);
    return *this;
  }
  const std::string& Bytes() const { return s_; }
};
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

  // Skin streams: the first byte picks the version (0: 1.01, 1: 1.05,
  // 2: 1.08, 3: 1.09, 4: 1.1); a control group with two elements whose
  // images hold real PNG textures and every property kind, then details.
  {
    const std::string image = Picture(iffPng, 12, 4, true), glyph = Picture(iffPng, 4, 4, false);
    const std::string small = Picture(iffPng, 16, 16, true), large = Picture(iffPng, 32, 32, true);
    const struct {
      const char* Name;
      uint8_t Index;
      double Version;
    } kSkinSeeds[] = {{"group_details_103", 0, 1.01}, {"group_details_104", 1, 1.05}, {"borders_108", 2, 1.08},
                      {"borders_109", 3, 1.09}, {"group_details_newest", 4, 1.1}};
    for (const auto& seed : kSkinSeeds) {
      SkinRecords r(seed.Version);
      r.I32(2).Element("Button", image, glyph).Element("Header", std::string(), std::string());
      r.Properties();
      r.Details(small, large);
      Put(root / "skin_stream", seed.Name, std::string(1, static_cast<char>(seed.Index)) + r.Bytes());
    }
  }
  return 0;
}
