// The bridge between top-level windows and the backend: the native window
// that shows a visible top-level window and the surface it is painted from.
#pragma once

#include "platform/win/user/user_internal.h"

namespace rtl::backend {
class IBackend;
}

namespace rtl::detail {

// The backend, with its events coming to HandleNativeEvent.
rtl::backend::IBackend& SystemBackend();

// Learns the display's screens from the backend, once, on the main thread
// (before that, the screens are the layer's default or a test's).
void AttachBackendScreens();
// Brings the native window in line with the window's visibility, bounds,
// z-order and kind; creates or drops it as needed.
void SyncNativeWindow(TWnd* w);
// Drops the native window and the surface (the window is hidden, leaves
// the top level or goes away).
void DropNativeWindow(TWnd* w);
// Styles that the native window reflects (topmost, tool window) changed.
void NativeStyleChanged(TWnd* w);

// The queue of the thread that owns the native windows waits in the
// backend, so that native events wake it.
void BackendWait(int timeoutMs);
void BackendProcessEvents();
void WakeBackend();

// Gives the native window the system's keyboard focus.
void NativeActivate(TWnd* w);

// Capture moved (to w, or nowhere): a popup holding it grabs the pointer.
void NativeCaptureChanged(TWnd* w);
// The cursor (or its visibility) changed: the native window shows it.
void NativeCursorChanged();
void NativeSetCursorPos(POINT p);

// Shows part of the surface (surface coordinates) on the native window.
void NativeFlush(TWnd* top, const RECT& damage);
void NativeTitleChanged(TWnd* w);
void NativeIconChanged(TWnd* w);
void NativeShapeChanged(TWnd* w);
void NativeOpacityChanged(TWnd* w);

// The one inlet of native events (and of injected input).
void HandleNativeEvent(const rtl::backend::TNativeEvent& e);
// Writes 32-bit pixels (top-down, BGRA) to a PNG file.
bool WritePng(const AnsiString& path, const void* bits, int width, int height, int stride);

// The system's beep sound.
void SystemBeep();

}  // namespace rtl::detail
