// A counting hook on operator new: while a probe lives, the largest single
// allocation its thread makes is recorded, so a test can show that a read
// never allocates what a lying length asks for.
#pragma once

#include <cstddef>

namespace alloc_probe {

class TLargestAllocation {
  size_t FLargest = 0;
  size_t* FOuter;

 public:
  TLargestAllocation();
  ~TLargestAllocation();
  TLargestAllocation(const TLargestAllocation&) = delete;
  TLargestAllocation& operator=(const TLargestAllocation&) = delete;
  size_t Largest() const { return FLargest; }
};

}  // namespace alloc_probe
