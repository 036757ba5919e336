// Global memory handles, the currency of the clipboard and of dropped
// files: a block with a small header in front; the handle is the address
// of the data, so that locking answers the handle itself.
#include <cstdlib>
#include <cstring>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/user.h"

namespace {

constexpr uint32_t kMagic = 0x474D454D;  // marks a live block

struct alignas(16) TBlock {
  uint32_t Magic;
  uint32_t Flags;
  size_t Size;
  int Locks;
};

TBlock* BlockOf(HGLOBAL h) {
  if (!h) return nullptr;
  auto* b = reinterpret_cast<TBlock*>(static_cast<char*>(h) - sizeof(TBlock));
  return b->Magic == kMagic ? b : nullptr;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
  auto* b = static_cast<TBlock*>(std::malloc(sizeof(TBlock) + (bytes ? bytes : 1)));
  if (!b) {
    SetLastError(8);  // ERROR_NOT_ENOUGH_MEMORY
    return nullptr;
  }
  b->Magic = kMagic;
  b->Flags = flags;
  b->Size = bytes;
  b->Locks = 0;
  char* data = reinterpret_cast<char*>(b + 1);
  if (flags & GMEM_ZEROINIT) std::memset(data, 0, bytes);
  return data;
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, size_t bytes, UINT flags) {
  TBlock* b = BlockOf(mem);
  if (!b) {
    SetLastError(6);  // ERROR_INVALID_HANDLE
    return nullptr;
  }
  size_t old = b->Size;
  b->Magic = 0;
  auto* nb = static_cast<TBlock*>(std::realloc(b, sizeof(TBlock) + (bytes ? bytes : 1)));
  if (!nb) {
    b->Magic = kMagic;
    SetLastError(8);
    return nullptr;
  }
  nb->Magic = kMagic;
  nb->Size = bytes;
  char* data = reinterpret_cast<char*>(nb + 1);
  if ((flags & GMEM_ZEROINIT) && bytes > old) std::memset(data + old, 0, bytes - old);
  return data;
}

LPVOID GlobalLock(HGLOBAL mem) {
  TBlock* b = BlockOf(mem);
  if (!b) {
    SetLastError(6);
    return nullptr;
  }
  ++b->Locks;
  return mem;
}

BOOL GlobalUnlock(HGLOBAL mem) {
  TBlock* b = BlockOf(mem);
  if (!b || b->Locks == 0) return FALSE;
  return --b->Locks > 0 ? TRUE : FALSE;
}

size_t GlobalSize(HGLOBAL mem) {
  TBlock* b = BlockOf(mem);
  return b ? b->Size : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  if (!mem) return nullptr;
  TBlock* b = BlockOf(mem);
  if (!b) {
    SetLastError(6);
    return mem;
  }
  b->Magic = 0;
  std::free(b);
  return nullptr;
}

HGLOBAL GlobalHandle(LPCVOID mem) { return BlockOf(const_cast<LPVOID>(mem)) ? const_cast<LPVOID>(mem) : nullptr; }
