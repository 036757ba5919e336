// Window procedures that call a method of an object (the host framework's
// MakeObjectInstance and FreeObjectInstance); AllocateHWnd, the hidden
// utility window, is the visual classes' (platform/forms/controls.h).
#pragma once

#include "platform/rtl/closure.h"
#include "platform/win/kernel/windef.h"

using TWndMethod = TClosure<void(TMessage& Message)>;

// A plain window procedure, distinct for each call, that packs its arguments
// into a TMessage (result 0), calls the method and answers the message's
// Result. A call holds on to the method, so a method may free its own
// instance (or destroy its window) while it runs. Instances are limited only
// by memory; raises EOutOfMemory when the system gives no more.
WNDPROC MakeObjectInstance(TWndMethod Method);
// Frees an instance MakeObjectInstance gave; null, or any other procedure,
// is ignored. A freed instance still installed on a window passes its
// messages to the default window procedure until its slot is reused.
void FreeObjectInstance(WNDPROC ObjectInstance);
