// The pool that cells and rows come from: blocks of a few sizes, carved
// from large chunks and kept on free lists. Chunks stay for the program's
// life, so a store that fills again reuses them.
#include <sys/mman.h>

#include <array>
#include <cstddef>
#include <cstdlib>
#include <mutex>
#include <new>

#include "grid/nx_cells.h"

namespace {

class TBlockPool {
  static constexpr std::size_t kGrain = 16;
  static constexpr std::size_t kClasses = 16;  // blocks up to 256 bytes
  // Chunks of a huge page: one page fault maps a whole chunk.
  static constexpr std::size_t kChunkBytes = 2 * 1024 * 1024;

  struct TFree {
    TFree* Next;
  };
  struct TClass {
    TFree* Free = nullptr;
    // The untouched rest of the newest chunk: blocks are carved as they
    // are asked for.
    char* Next = nullptr;
    char* End = nullptr;
  };
  std::mutex FLock;
  std::array<TClass, kClasses + 1> FClasses{};

  static char* NewChunk() {
    void* P = std::aligned_alloc(kChunkBytes, kChunkBytes);
    if (!P) throw std::bad_alloc();
    madvise(P, kChunkBytes, MADV_HUGEPAGE);
    return static_cast<char*>(P);
  }

 public:
  void* Get(std::size_t Size) {
    const std::size_t Index = (Size + kGrain - 1) / kGrain;
    if (Index == 0 || Index > kClasses) return ::operator new(Size);
    const std::size_t Block = Index * kGrain;
    std::lock_guard<std::mutex> Guard(FLock);
    TClass& C = FClasses[Index];
    if (C.Free) {
      TFree* B = C.Free;
      C.Free = B->Next;
      return B;
    }
    if (C.Next == nullptr || C.Next + Block > C.End) {
      C.Next = NewChunk();
      C.End = C.Next + kChunkBytes;
    }
    void* P = C.Next;
    C.Next += Block;
    return P;
  }
  void Put(void* P, std::size_t Size) {
    if (!P) return;
    const std::size_t Index = (Size + kGrain - 1) / kGrain;
    if (Index == 0 || Index > kClasses) {
      ::operator delete(P);
      return;
    }
    std::lock_guard<std::mutex> Guard(FLock);
    auto* B = static_cast<TFree*>(P);
    B->Next = FClasses[Index].Free;
    FClasses[Index].Free = B;
  }
};

// Never destroyed: cells freed during the program's shut-down still find it.
TBlockPool& Pool() {
  static TBlockPool* P = new TBlockPool;
  return *P;
}

}  // namespace

void* TCell::operator new(std::size_t Size) { return Pool().Get(Size); }
void TCell::operator delete(void* P, std::size_t Size) { Pool().Put(P, Size); }
void* TRow::operator new(std::size_t Size) { return Pool().Get(Size); }
void TRow::operator delete(void* P, std::size_t Size) { Pool().Put(P, Size); }
