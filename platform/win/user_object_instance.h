// Window procedures that call a method of an object, and the hidden
// utility window built on them (the host framework's MakeObjectInstance,
// AllocateHWnd and their inverses).
#pragma once

#include "platform/rtl/closure.h"
#include "platform/win/windef.h"

using TWndMethod = TClosure<void(TMessage& Message)>;

// A plain window procedure that packs its arguments into a TMessage (result
// 0), calls the method and answers the message's Result. Raises EOutOfMemory
// when every procedure instance is in use.
WNDPROC MakeObjectInstance(TWndMethod Method);
// Frees an instance MakeObjectInstance gave; null is ignored.
void FreeObjectInstance(WNDPROC ObjectInstance);

// A hidden popup tool window of the "TPUtilWindow" class whose messages go
// to the method (to the default window procedure while none is given).
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);
