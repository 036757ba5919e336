// The whole Win32-shaped API in one include: fundamental types, the window
// system, GDI, kernel objects and the last error.
#pragma once

#include "platform/rtl/sysutils.h"
#include "platform/rtl/threads.h"
#include "platform/win/user.h"
#include "platform/win/user_menu.h"
#include "platform/win/user_sysinfo.h"
#include "platform/win/windef.h"

#if __has_include("platform/win/gdi.h")
#include "platform/win/gdi.h"
#endif
#if __has_include("platform/win/kernel.h")
#include "platform/win/kernel.h"
#endif
