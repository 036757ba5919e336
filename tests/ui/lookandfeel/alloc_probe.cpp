#include "alloc_probe.h"

#include <cstdlib>
#include <new>

namespace {

thread_local size_t* gLargest = nullptr;

void* Allocate(size_t ASize) {
  if (gLargest && ASize > *gLargest) *gLargest = ASize;
  if (void* p = std::malloc(ASize ? ASize : 1)) return p;
  throw std::bad_alloc();
}

void* AllocateNoThrow(size_t ASize) noexcept {
  if (gLargest && ASize > *gLargest) *gLargest = ASize;
  return std::malloc(ASize ? ASize : 1);
}

}  // namespace

namespace alloc_probe {

TLargestAllocation::TLargestAllocation() : FOuter(gLargest) { gLargest = &FLargest; }

TLargestAllocation::~TLargestAllocation() { gLargest = FOuter; }

}  // namespace alloc_probe

// The program's operator new and delete, over malloc and free.
void* operator new(size_t ASize) { return Allocate(ASize); }
void* operator new[](size_t ASize) { return Allocate(ASize); }
void* operator new(size_t ASize, const std::nothrow_t&) noexcept { return AllocateNoThrow(ASize); }
void* operator new[](size_t ASize, const std::nothrow_t&) noexcept { return AllocateNoThrow(ASize); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
