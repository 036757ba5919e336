// The window system's test seams (platform/win/user/user_test_seams.h): each
// turns a knob the window system offers its own files, so that none of
// these entry points is part of the application.
#include <vector>

#include "platform/backend/backend.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_native.h"
#include "platform/win/user/user_test_seams.h"

namespace rtl::testing {

using namespace rtl::detail;

// ---- System values ------------------------------------------------------------

void SetScreens(const std::vector<TScreen>& screens) { SetScreenList(screens); }

void SetSystemMetric(int index, int value) { OverrideSystemMetric(index, value); }

void ResetSystemInfo() { ResetSystemProfile(); }

void SetDpi(int dpi) { SetSystemDpi(dpi); }

void SetVersion(const TVersion& version) { SetSystemVersion(version); }

int BeepCount() { return BeepsSoFar(); }

// ---- The clock ------------------------------------------------------------------

void UseVirtualClock(bool on) { SetVirtualClock(on); }

void AdvanceClock(uint32_t ms) { AdvanceVirtualClock(ms); }

uint64_t ClockNow() { return rtl::detail::ClockNow(); }

// ---- Keys ---------------------------------------------------------------------

void SetKeyToggle(int virtKey, bool on) {
  if (virtKey < 0 || virtKey > 255) return;
  BYTE& b = CurrentQueue().KeyState[virtKey];
  b = static_cast<BYTE>(on ? (b | 1) : (b & ~1));
  SetStartKeyToggle(virtKey, on);
}

// ---- The loop -------------------------------------------------------------------

int RunUntilIdle() {
  int n = 0;
  MSG m;
  for (;;) {
    if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (ServeIncoming()) continue;
      return n;
    }
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return n;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
    ++n;
  }
}

// ---- Clipboard and drops ------------------------------------------------------

void SetExternalClipboard(const std::vector<std::pair<AnsiString, std::string>>& content) {
  SystemBackend().SetClipboard(content);
}

bool ExternalClipboardData(const AnsiString& mime, std::string& data) {
  return SystemBackend().ClipboardData(mime, data);
}

void InjectFileDrop(POINT screen, const std::vector<AnsiString>& files) {
  // The top-level window under the point receives the native drop.
  for (TWnd* t : TChildSnapshot(Desktop()))
    if (t->Visible() && WindowScreenRect(t).Contains(screen)) {
      rtl::backend::TNativeEvent e;
      e.Kind = rtl::backend::neDrop;
      e.Window = reinterpret_cast<uintptr_t>(t->Handle);
      e.Pos = screen;
      e.Files = files;
      HandleNativeEvent(e);
      return;
    }
}

}  // namespace rtl::testing
