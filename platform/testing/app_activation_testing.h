// Test seam: the application loses or regains the activation as when
// another application takes the foreground and gives it back (the headless
// window system has no other application to do it).
#pragma once

namespace rtl::testing {

// False: the active window and the focus leave the application and every
// top-level window hears WM_ACTIVATEAPP(0). True: the last active window
// is activated again.
void SetApplicationActive(bool active);

}  // namespace rtl::testing
