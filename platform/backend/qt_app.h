// The one QGuiApplication of the process, made on first use.
#pragma once

namespace rtl::detail {

// Creates the application object unless one exists. Without a display
// variable (DISPLAY, WAYLAND_DISPLAY) the platform plugin defaults to
// "offscreen". Call it from the main thread before any Qt use.
void EnsureQtApplication();

}  // namespace rtl::detail
