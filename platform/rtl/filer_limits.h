// How deep the form readers and converters let objects, lists and
// collection items nest. Every level costs stack, and in the text form
// an indent on every line below it, so a few kilobytes nested thousands
// deep made text quadratic in its input; a real form is nowhere near.
#pragma once

#include "platform/rtl/types.h"

namespace rtl::detail {

constexpr Integer kMaxFilerNesting = 128;
constexpr const char* kFilerNestedTooDeeply = "Objects or values nested too deeply";

// Counts one level of nesting in `Depth` for as long as it lives; `Refuse`
// (which must throw) is called instead when the limit is reached.
class TFilerNesting {
  Integer& FDepth;

 public:
  template <typename Refuse>
  TFilerNesting(Integer& Depth, Refuse refuse) : FDepth(Depth) {
    if (FDepth >= kMaxFilerNesting) refuse();
    ++FDepth;
  }
  ~TFilerNesting() { --FDepth; }
  TFilerNesting(const TFilerNesting&) = delete;
  TFilerNesting& operator=(const TFilerNesting&) = delete;
};

}  // namespace rtl::detail
