// Loading a library under an error mode: the mode is set for the load and
// the previous one put back afterwards, whatever the load gave.
#pragma once

#include "platform/win/kernel/kernel_module.h"

HMODULE SafeLoadLibrary(LPCSTR AFileName, UINT AErrorMode = SEM_NOOPENFILEERRORBOX);
