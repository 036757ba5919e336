// The pool that cells and rows come from: blocks of a few sizes, carved
// from large chunks and kept on free lists. Chunks stay for the program's
// life, so a store that fills again reuses them. Each thread has a pool of
// its own, so that no block costs a lock; a block freed on another thread
// than the one that made it joins that thread's free list.
#include <sys/mman.h>

#include <array>
#include <cstddef>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

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
    TClass& C = FClasses[Index];
    if (C.Free) {
      TFree* B = C.Free;
      C.Free = B->Next;
      // The next block of the list is wanted soon, and its link is a load
      // the next call would otherwise wait for.
      if (C.Free) __builtin_prefetch(C.Free, 1);
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
    auto* B = static_cast<TFree*>(P);
    B->Next = FClasses[Index].Free;
    FClasses[Index].Free = B;
  }
};

// Never destroyed: cells freed during the thread's or the program's
// shut-down still find it, and its chunks may hold blocks other threads use.
// The pools of threads that have ended stay listed here, kept on purpose.
TBlockPool* NewPool() {
  static std::mutex Lock;
  static auto* Pools = new std::vector<TBlockPool*>;
  auto* P = new TBlockPool;
  std::lock_guard<std::mutex> Guard(Lock);
  Pools->push_back(P);
  return P;
}

TBlockPool& Pool() {
  thread_local TBlockPool* P = NewPool();
  return *P;
}

}  // namespace

void* TCell::operator new(std::size_t Size) { return Pool().Get(Size); }
void TCell::operator delete(void* P, std::size_t Size) { Pool().Put(P, Size); }
void* TRow::operator new(std::size_t Size) { return Pool().Get(Size); }
void TRow::operator delete(void* P, std::size_t Size) { Pool().Put(P, Size); }
