// The threading probe: at start-up it counts the processors and looks for
// the system's thread pool ("QueueUserWorkItem" of "kernel32.dll"). Only
// with several processors and the pool would the library set up its
// multithreaded sort and list iterator; no code of the system uses them,
// and the pool is absent here, so the probe creates nothing.
#pragma once

#include "platform/rtl/types.h"

// The processors counted at start-up (1 before it).
Integer dxGetProcessorCount();
// Whether the library's multithreaded helpers exist.
bool dxCanUseMultiThreading();

namespace dx_core_detail {
void StartThreading();
void StopThreading();
}  // namespace dx_core_detail
