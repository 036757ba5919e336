// Procedure instances: a fixed pool of real functions, each bound to a
// slot that holds the method it calls, so that the instance is an ordinary
// function pointer any caller can call.
#include "platform/win/user/user_object_instance.h"

#include <array>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/user.h"

namespace rtl::detail {
namespace {

constexpr size_t kInstances = 4096;

struct TInstanceSlot {
  TWndMethod Method;
  bool Used = false;
};

std::array<TInstanceSlot, kInstances>& Slots() {
  static std::array<TInstanceSlot, kInstances> slots;
  return slots;
}
std::mutex g_slotLock;
std::vector<size_t> g_free;
size_t g_next = 0;

template <size_t N>
LRESULT InstanceProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWndMethod& method = Slots()[N].Method;
  if (!method) return DefWindowProcA(hwnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  method(m);
  return m.Result;
}

template <size_t... I>
constexpr std::array<WNDPROC, sizeof...(I)> MakeTable(std::index_sequence<I...>) {
  return {&InstanceProc<I>...};
}

const std::array<WNDPROC, kInstances> kProcs = MakeTable(std::make_index_sequence<kInstances>());

}  // namespace
}  // namespace rtl::detail

using namespace rtl::detail;

WNDPROC MakeObjectInstance(TWndMethod Method) {
  std::lock_guard<std::mutex> g(g_slotLock);
  size_t slot;
  if (!g_free.empty()) {
    slot = g_free.back();
    g_free.pop_back();
  } else if (g_next < kInstances) {
    slot = g_next++;
  } else {
    throw EOutOfMemory("Out of memory");
  }
  Slots()[slot].Method = std::move(Method);
  Slots()[slot].Used = true;
  return kProcs[slot];
}

void FreeObjectInstance(WNDPROC ObjectInstance) {
  if (!ObjectInstance) return;
  std::lock_guard<std::mutex> g(g_slotLock);
  for (size_t i = 0; i < g_next; ++i)
    if (kProcs[i] == ObjectInstance && Slots()[i].Used) {
      Slots()[i].Method = nullptr;
      Slots()[i].Used = false;
      g_free.push_back(i);
      return;
    }
}
