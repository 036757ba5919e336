#include "tools/rescomp/images.h"

namespace rescomp {

namespace {

uint16_t Word16(const std::vector<uint8_t>& d, size_t at) { return static_cast<uint16_t>(d[at] | (d[at + 1] << 8)); }

uint32_t Dword(const std::vector<uint8_t>& d, size_t at) {
  return static_cast<uint32_t>(d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (uint32_t(d[at + 3]) << 24));
}

void PutWord(std::vector<uint8_t>& d, uint32_t v) {
  d.push_back(static_cast<uint8_t>(v));
  d.push_back(static_cast<uint8_t>(v >> 8));
}

void PutDword(std::vector<uint8_t>& d, uint32_t v) {
  PutWord(d, v & 0xFFFF);
  PutWord(d, v >> 16);
}

struct TImage {
  uint8_t Width, Height, Colors;
  uint16_t PlanesOrHotX, BitsOrHotY;
  std::vector<uint8_t> Data;
};

// The images of an icon or cursor file (type 1 or 2).
std::vector<TImage> ReadImages(const std::vector<uint8_t>& file, uint16_t type, const std::string& origin) {
  const char* kind = type == 1 ? "icon" : "cursor";
  if (file.size() < 6 || Word16(file, 0) != 0 || Word16(file, 2) != type)
    throw TError(origin + (type == 1 ? ": not an icon file" : ": not a cursor file"));
  const size_t count = Word16(file, 4);
  if (count == 0 || file.size() < 6 + 16 * count) throw TError(origin + ": truncated " + kind + " directory");
  std::vector<TImage> images;
  for (size_t i = 0; i < count; ++i) {
    const size_t e = 6 + 16 * i;
    const uint32_t size = Dword(file, e + 8), offset = Dword(file, e + 12);
    if (size == 0 || offset > file.size() || size > file.size() - offset)
      throw TError(origin + ": " + kind + " image " + std::to_string(i) + " lies outside the file");
    images.push_back(TImage{file[e], file[e + 1], file[e + 2], Word16(file, e + 4), Word16(file, e + 6),
                            std::vector<uint8_t>(file.begin() + offset, file.begin() + offset + size)});
  }
  return images;
}

// A DIB image starts with a BITMAPINFOHEADER (40 bytes or more); PNG
// images have none.
bool HasInfoHeader(const std::vector<uint8_t>& image) { return image.size() >= 40 && Dword(image, 0) >= 40; }

std::vector<uint8_t> GroupHeader(uint16_t type, size_t count) {
  std::vector<uint8_t> g;
  PutWord(g, 0);
  PutWord(g, type);
  PutWord(g, static_cast<uint32_t>(count));
  return g;
}

}  // namespace

void AddBitmap(TResourceSet& set, const TResId& name, const std::vector<uint8_t>& file, const std::string& origin) {
  if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M') throw TError(origin + ": not a bitmap file");
  set.Add(TResource{TResId::Number(kRtBitmap), name, std::vector<uint8_t>(file.begin() + 14, file.end())}, origin);
}

void AddIcon(TResourceSet& set, const TResId& name, const std::vector<uint8_t>& file, const std::string& origin) {
  const std::vector<TImage> images = ReadImages(file, 1, origin);
  std::vector<uint8_t> group = GroupHeader(1, images.size());
  for (const TImage& im : images) {
    const uint16_t id = set.NextImageId(kRtIcon);
    uint16_t planes = im.PlanesOrHotX, bits = im.BitsOrHotY;
    if ((planes == 0 || bits == 0) && HasInfoHeader(im.Data)) {
      planes = Word16(im.Data, 12);
      bits = Word16(im.Data, 14);
    }
    group.insert(group.end(), {im.Width, im.Height, im.Colors, 0});
    PutWord(group, planes);
    PutWord(group, bits);
    PutDword(group, static_cast<uint32_t>(im.Data.size()));
    PutWord(group, id);
    set.Add(TResource{TResId::Number(kRtIcon), TResId::Number(id), im.Data}, origin);
  }
  set.Add(TResource{TResId::Number(kRtGroupIcon), name, group}, origin);
}

void AddCursor(TResourceSet& set, const TResId& name, const std::vector<uint8_t>& file, const std::string& origin) {
  const std::vector<TImage> images = ReadImages(file, 2, origin);
  std::vector<uint8_t> group = GroupHeader(2, images.size());
  for (const TImage& im : images) {
    const uint16_t id = set.NextImageId(kRtCursor);
    uint32_t width = im.Width ? im.Width : 256, height = 2 * (im.Height ? im.Height : 256);
    uint16_t planes = 1, bits = 32;
    if (HasInfoHeader(im.Data)) {
      width = Dword(im.Data, 4);
      height = Dword(im.Data, 8);
      planes = Word16(im.Data, 12);
      bits = Word16(im.Data, 14);
    }
    std::vector<uint8_t> data;
    PutWord(data, im.PlanesOrHotX);
    PutWord(data, im.BitsOrHotY);
    data.insert(data.end(), im.Data.begin(), im.Data.end());
    PutWord(group, width);
    PutWord(group, height);
    PutWord(group, planes);
    PutWord(group, bits);
    PutDword(group, static_cast<uint32_t>(data.size()));
    PutWord(group, id);
    set.Add(TResource{TResId::Number(kRtCursor), TResId::Number(id), std::move(data)}, origin);
  }
  set.Add(TResource{TResId::Number(kRtGroupCursor), name, group}, origin);
}

}  // namespace rescomp
