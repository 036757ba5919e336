// The application's activation change, passed on to controls. Only
// top-level windows hear WM_ACTIVATEAPP; controls that keep a mouse
// operation going (a drag, a pressed button) need to hear of it too.
#pragma once

#include "platform/forms/controls_messages.h"

class TWinControl;

// Sent to every control of a form after the application has handled its
// activation change; WParam is 1 when the application became active, 0
// when it lost the activation.
constexpr UINT CM_APPACTIVATECHANGED = CM_BASE + 90;

// Sends CM_APPACTIVATECHANGED to every control inside Root (children,
// their children, and so on; Root itself not). A control that a handler
// destroys meanwhile is skipped.
void NotifyAppActivationChanged(TWinControl* Root, bool Active);
