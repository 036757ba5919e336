#include "app/end_signals.h"

#include <signal.h>

#include <mutex>
#include <thread>

#include "platform/win/user/user.h"

namespace {

sigset_t EndSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  return set;
}

std::mutex gLock;
HWND gTarget = nullptr;   // under gLock
bool gPending = false;   // a signal came while there was no window

void Close(HWND Target) {
  // Posting is safe from any thread; the window's own thread closes it.
  PostMessageA(Target, WM_CLOSE, 0, 0);
}

}  // namespace

void BlockEndSignals() {
  const sigset_t set = EndSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void CloseOnEndSignals(HWND Window) {
  {
    std::lock_guard Guard(gLock);
    gTarget = Window;
    if (Window && gPending) {
      gPending = false;
      Close(Window);
    }
  }
  static const bool Started = [] {
    // Taken by this thread alone: the others hold the signals back. A
    // signal that came before waits for it.
    std::thread([] {
      const sigset_t set = EndSignals();
      for (;;) {
        int Signal = 0;
        if (sigwait(&set, &Signal) != 0) continue;
        std::lock_guard Guard(gLock);
        if (gTarget)
          Close(gTarget);
        else
          gPending = true;
      }
    }).detach();
    return true;
  }();
  (void)Started;
}
