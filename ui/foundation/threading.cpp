#include "ui/foundation/threading.h"

#include "platform/win/kernel/kernel_system.h"
#include "platform/win/modules.h"

namespace {
Integer g_processorCount = 1;
bool g_multiThreading = false;
}  // namespace

Integer dxGetProcessorCount() { return g_processorCount; }

bool dxCanUseMultiThreading() { return g_multiThreading; }

namespace dx_core_detail {

void StartThreading() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  g_processorCount = info.dwNumberOfProcessors > 0 ? static_cast<Integer>(info.dwNumberOfProcessors) : 1;
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  bool pool = kernel && GetProcAddress(kernel, "QueueUserWorkItem");
  // The multithreaded helpers would be made here; nothing in the system
  // calls them, and without the pool there is nothing to run them on.
  g_multiThreading = g_processorCount > 1 && pool;
}

void StopThreading() { g_multiThreading = false; }

}  // namespace dx_core_detail
