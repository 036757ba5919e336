// The resources that rescomp compiles, collected from the manifest and
// checked for duplicates, ready to be written out.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace rescomp {

// A problem in the input; the message names the file and line.
class TError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A resource type or name: a number from 1 to 65535, or an upper-case name.
struct TResId {
  uint16_t Id = 0;   // non-zero for a number
  std::string Name;  // when Id is 0

  static TResId Number(uint16_t id) { return TResId{id, {}}; }
  bool operator==(const TResId&) const = default;
  std::string Text() const { return Id ? std::to_string(Id) : Name; }
};

// The original platform's numeric resource types.
constexpr uint16_t kRtCursor = 1;
constexpr uint16_t kRtBitmap = 2;
constexpr uint16_t kRtIcon = 3;
constexpr uint16_t kRtString = 6;
constexpr uint16_t kRtGroupCursor = 12;
constexpr uint16_t kRtGroupIcon = 14;

struct TResource {
  TResId Type;
  TResId Name;
  std::vector<uint8_t> Data;
};

class TResourceSet {
  std::vector<TResource> resources_;
  std::map<uint16_t, std::u16string> strings_;
  std::vector<std::string> inputs_;
  uint16_t nextIconId_ = 1;
  uint16_t nextCursorId_ = 1;

 public:
  // Raises TError (with origin in the message) for a type and name that
  // are already taken.
  void Add(TResource r, const std::string& origin);
  // A string-table entry; raises TError for an identifier already used.
  void AddString(uint16_t id, std::u16string text, const std::string& origin);
  // The next free identifier of an icon or cursor image.
  uint16_t NextImageId(uint16_t type);
  // Files read, for the build's dependency list.
  void AddInput(const std::string& path) { inputs_.push_back(path); }
  const std::vector<std::string>& Inputs() const { return inputs_; }

  // Every resource, with the string table as RT_STRING blocks of sixteen
  // strings (block n + 1 holds identifiers 16n to 16n + 15; each string is
  // its length in UTF-16 units followed by the units, little-endian).
  std::vector<TResource> Finish() const;
};

// Reads a whole file; raises TError when it cannot.
std::vector<uint8_t> ReadFile(const std::string& path, const std::string& origin);

}  // namespace rescomp
