// Native windows and surfaces of top-level windows.
#include "platform/win/user_native.h"

#include "platform/backend/backend.h"

namespace rtl::detail {

void SyncNativeWindow(TWnd*) {}

void DropNativeWindow(TWnd* w) { w->Native.reset(); }

void NativeStyleChanged(TWnd* w) { SyncNativeWindow(w); }

void NativeActivate(TWnd*) {}

void AttachBackend(TThreadQueue&) {}

void BackendWait(int) {}

void BackendProcessEvents() {}

void WakeBackend() {}

void NativeCaptureChanged(TWnd*) {}

void NativeCursorChanged() {}

void NativeSetCursorPos(POINT) {}

void NativeFlush(TWnd*, const RECT&) {}

void NativeTitleChanged(TWnd*) {}

void NativeIconChanged(TWnd*) {}

void NativeShapeChanged(TWnd*) {}

void NativeOpacityChanged(TWnd*) {}

void HandleNativeEvent(const rtl::backend::TNativeEvent& e) {
  switch (e.Kind) {
    case rtl::backend::neMouseMove:
    case rtl::backend::neMouseDown:
    case rtl::backend::neMouseUp:
    case rtl::backend::neWheel:
    case rtl::backend::neKeyDown:
    case rtl::backend::neKeyUp:
      HandleNativeInput(e);
      break;
    default:
      break;
  }
}

bool WritePng(const AnsiString&, const void*, int, int, int) { return false; }

void SystemBeep() {}

}  // namespace rtl::detail
