// The whole Win32-shaped API in one include: fundamental types, the window
// system and the standard controls, GDI, kernel objects, the optional
// libraries bound by name and the last error. GDI+ (gdiplus.h) stays out:
// its flat API puts names like Ok and Status in the global namespace.
#pragma once

#include "platform/rtl/sysutils.h"
#include "platform/rtl/threads.h"
#include "platform/win/commctrl.h"
#include "platform/win/commdlg.h"
#include "platform/win/controls.h"
#include "platform/win/dwmapi.h"
#include "platform/win/gdi.h"
#include "platform/win/gestures.h"
#include "platform/win/kernel.h"
#include "platform/win/modules.h"
#include "platform/win/objidl.h"
#include "platform/win/oleacc.h"
#include "platform/win/shellapi.h"
#include "platform/win/shlobj.h"
#include "platform/win/user.h"
#include "platform/win/user_mdi.h"
#include "platform/win/user_menu.h"
#include "platform/win/user_sysinfo.h"
#include "platform/win/uxtheme.h"
#include "platform/win/windef.h"
