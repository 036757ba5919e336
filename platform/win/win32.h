// The whole Win32-shaped API in one include: fundamental types, the window
// system and the standard controls, GDI, kernel objects, the optional
// libraries bound by name and the last error. GDI+ (gdiplus.h) stays out:
// its flat API puts names like Ok and Status in the global namespace.
#pragma once

#include "platform/rtl/sysutils.h"
#include "platform/rtl/threads.h"
#include "platform/win/comctl/commctrl.h"
#include "platform/win/comdlg/commdlg.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/dwm/dwmapi.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/gestures.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/modules.h"
#include "platform/win/kernel/objidl.h"
#include "platform/win/oleacc/oleacc.h"
#include "platform/win/shell/shellapi.h"
#include "platform/win/shell/shlobj.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_mdi.h"
#include "platform/win/user/user_menu.h"
#include "platform/win/user/user_sysinfo.h"
#include "platform/win/uxtheme/uxtheme.h"
#include "platform/win/kernel/windef.h"
