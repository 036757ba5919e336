#include "tools/rescomp/resource_set.h"

#include <fstream>
#include <iterator>

namespace rescomp {

void TResourceSet::Add(TResource r, const std::string& origin) {
  for (const TResource& o : resources_)
    if (o.Type == r.Type && o.Name == r.Name)
      throw TError(origin + ": resource " + r.Name.Text() + " of type " + r.Type.Text() + " is declared twice");
  resources_.push_back(std::move(r));
}

void TResourceSet::AddString(uint16_t id, std::u16string text, const std::string& origin) {
  if (text.empty()) throw TError(origin + ": an empty string cannot be told from a missing one");
  if (text.size() > 0xFFFF) throw TError(origin + ": string " + std::to_string(id) + " is too long");
  if (!strings_.emplace(id, std::move(text)).second)
    throw TError(origin + ": string " + std::to_string(id) + " is declared twice");
}

uint16_t TResourceSet::NextImageId(uint16_t type) {
  uint16_t& next = type == kRtIcon ? nextIconId_ : nextCursorId_;
  if (next == 0) throw TError("too many icon or cursor images");
  return next++;
}

std::vector<TResource> TResourceSet::Finish() const {
  std::vector<TResource> all = resources_;
  std::map<uint16_t, std::vector<uint8_t>> blocks;
  for (const auto& [id, text] : strings_) blocks[static_cast<uint16_t>(id >> 4)];
  for (auto& [block, data] : blocks) {
    for (unsigned i = 0; i < 16; ++i) {
      auto it = strings_.find(static_cast<uint16_t>((block << 4) | i));
      const std::u16string text = it == strings_.end() ? std::u16string() : it->second;
      const size_t len = text.size();
      data.push_back(static_cast<uint8_t>(len));
      data.push_back(static_cast<uint8_t>(len >> 8));
      for (char16_t c : text) {
        data.push_back(static_cast<uint8_t>(c));
        data.push_back(static_cast<uint8_t>(c >> 8));
      }
    }
    all.push_back(TResource{TResId::Number(kRtString), TResId::Number(static_cast<uint16_t>(block + 1)), data});
  }
  return all;
}

std::vector<uint8_t> ReadFile(const std::string& path, const std::string& origin) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TError(origin + ": cannot read \"" + path + "\"");
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace rescomp
