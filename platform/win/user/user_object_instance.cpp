// Procedure instances: each is a few bytes of machine code, built at run
// time in pages that are filled once and then made executable, that loads
// its index into the fifth argument register and jumps to one dispatcher.
// So an instance is an ordinary function pointer any caller can call, and
// the pool grows a page at a time instead of being a fixed set of compiled
// functions.
#include "platform/win/user/user_object_instance.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/user.h"

namespace rtl::detail {
namespace {

constexpr size_t kThunkSize = 32;
constexpr size_t kChunkSize = 64 * 1024;
constexpr size_t kThunksPerChunk = kChunkSize / kThunkSize;

LRESULT InstanceDispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, size_t index);

// The code of one instance: InstanceDispatch(hwnd, msg, wParam, lParam,
// index) reached by a tail jump, so the instance leaves no frame behind
// and exceptions pass through it.
void WriteThunk(unsigned char* at, uint64_t index) {
  const uint64_t target = reinterpret_cast<uint64_t>(&InstanceDispatch);
#if defined(__x86_64__)
  static const unsigned char kEndbr[] = {0xF3, 0x0F, 0x1E, 0xFA};  // a valid indirect-branch target
  unsigned char* p = at;
  std::memset(at, 0xCC, kThunkSize);
  std::memcpy(p, kEndbr, sizeof kEndbr), p += sizeof kEndbr;
  *p++ = 0x49, *p++ = 0xB8;  // mov r8, index
  std::memcpy(p, &index, 8), p += 8;
  *p++ = 0x48, *p++ = 0xB8;  // mov rax, target
  std::memcpy(p, &target, 8), p += 8;
  *p++ = 0xFF, *p++ = 0xE0;  // jmp rax
#elif defined(__aarch64__)
  const uint32_t code[4] = {
      0x58000084,  // ldr x4, [pc + 16]   (index)
      0x580000B0,  // ldr x16, [pc + 20]  (target)
      0xD61F0200,  // br x16
      0xD503201F,  // nop
  };
  std::memcpy(at, code, sizeof code);
  std::memcpy(at + 16, &index, 8);
  std::memcpy(at + 24, &target, 8);
#else
#error "procedure instances need a thunk for this processor"
#endif
}

struct TInstances {
  std::mutex Lock;
  // By index; null for a free instance. Shared so that a call in progress
  // keeps its method while the instance is freed under it.
  std::vector<std::shared_ptr<const TWndMethod>> Methods;
  std::vector<unsigned char*> Chunks;
  std::vector<size_t> Free;
};

// Never destroyed: a window may still get a message while statics go.
TInstances& Instances() {
  static TInstances* instances = new TInstances;
  return *instances;
}

// Adds a chunk of thunks; false when the system refuses executable memory.
bool Grow(TInstances& in) {
  void* mem = mmap(nullptr, kChunkSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mem == MAP_FAILED) return false;
  auto* chunk = static_cast<unsigned char*>(mem);
  const size_t first = in.Chunks.size() * kThunksPerChunk;
  for (size_t i = 0; i < kThunksPerChunk; ++i) WriteThunk(chunk + i * kThunkSize, first + i);
  __builtin___clear_cache(reinterpret_cast<char*>(chunk), reinterpret_cast<char*>(chunk + kChunkSize));
  if (mprotect(mem, kChunkSize, PROT_READ | PROT_EXEC) != 0) {
    munmap(mem, kChunkSize);
    return false;
  }
  in.Chunks.push_back(chunk);
  in.Methods.resize(in.Methods.size() + kThunksPerChunk);
  for (size_t i = kThunksPerChunk; i-- > 0;) in.Free.push_back(first + i);
  return true;
}

// The index of an instance's code; false for any other procedure.
bool IndexOf(const TInstances& in, WNDPROC proc, size_t& index) {
  const auto* p = reinterpret_cast<const unsigned char*>(proc);
  for (size_t c = 0; c < in.Chunks.size(); ++c) {
    const unsigned char* base = in.Chunks[c];
    if (p < base || p >= base + kChunkSize) continue;
    const auto offset = static_cast<size_t>(p - base);
    if (offset % kThunkSize != 0) return false;
    index = c * kThunksPerChunk + offset / kThunkSize;
    return true;
  }
  return false;
}

LRESULT InstanceDispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, size_t index) {
  std::shared_ptr<const TWndMethod> method;
  {
    TInstances& in = Instances();
    std::lock_guard<std::mutex> g(in.Lock);
    if (index < in.Methods.size()) method = in.Methods[index];
  }
  // A freed instance that is still installed somewhere answers as a plain window.
  if (!method || !*method) return DefWindowProcA(hwnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  (*method)(m);
  return m.Result;
}

}  // namespace
}  // namespace rtl::detail

using namespace rtl::detail;

WNDPROC MakeObjectInstance(TWndMethod Method) {
  auto method = std::make_shared<const TWndMethod>(std::move(Method));
  TInstances& in = Instances();
  std::lock_guard<std::mutex> g(in.Lock);
  if (in.Free.empty() && !Grow(in)) throw EOutOfMemory("Out of memory");
  const size_t index = in.Free.back();
  in.Free.pop_back();
  in.Methods[index] = std::move(method);
  unsigned char* code = in.Chunks[index / kThunksPerChunk] + index % kThunksPerChunk * kThunkSize;
  return reinterpret_cast<WNDPROC>(code);
}

void FreeObjectInstance(WNDPROC ObjectInstance) {
  if (!ObjectInstance) return;
  std::shared_ptr<const TWndMethod> method;
  {
    TInstances& in = Instances();
    std::lock_guard<std::mutex> g(in.Lock);
    size_t index;
    if (!IndexOf(in, ObjectInstance, index) || !in.Methods[index]) return;
    method = std::move(in.Methods[index]);
    in.Free.push_back(index);
  }
  // The method (and what it holds) goes outside the lock, or after the call
  // that runs it returns.
}
