// Window procedures that call a method of an object (the host framework's
// MakeObjectInstance and FreeObjectInstance); AllocateHWnd, the hidden
// utility window, is the visual classes' (platform/forms/controls.h).
#pragma once

#include "platform/rtl/closure.h"
#include "platform/win/kernel/windef.h"

using TWndMethod = TClosure<void(TMessage& Message)>;

// A plain window procedure that packs its arguments into a TMessage (result
// 0), calls the method and answers the message's Result. Raises EOutOfMemory
// when every procedure instance is in use.
WNDPROC MakeObjectInstance(TWndMethod Method);
// Frees an instance MakeObjectInstance gave; null is ignored.
void FreeObjectInstance(WNDPROC ObjectInstance);
