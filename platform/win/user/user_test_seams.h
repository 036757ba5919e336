// The window system's own seams for tests: system values to inject, the
// virtual clock, key toggles, running the loop until it is idle, the
// external clipboard and file drops. The test library defines them
// (platform/testing/user_seams.cpp) over knobs the window system offers its
// own files; input through the native path and pictures of windows are in
// that library too (platform/testing/user_testing.h).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/kernel/windef.h"

namespace rtl::testing {

// ---- System values ------------------------------------------------------------

struct TScreen {
  RECT Bounds;
  RECT WorkArea;
  bool Primary = false;
  AnsiString Name;
};
// Puts fake screens in place of the display's (an empty list goes back to
// the screens the backend reports, or, when it reports none, to one
// 1920x1080 screen whose work area leaves 40 pixels at the bottom).
void SetScreens(const std::vector<TScreen>& screens);
// Fixes GetSystemMetrics(index) to value.
void SetSystemMetric(int index, int value);
// Back to the default profile: metrics, parameters, DPI 96, version.
void ResetSystemInfo();
void SetDpi(int dpi);

struct TVersion {
  DWORD Major;
  DWORD Minor;
  DWORD Build;
  AnsiString ServicePack;
  // VER_PLATFORM_WIN32_NT (2) or VER_PLATFORM_WIN32_WINDOWS (1).
  DWORD PlatformId = 2;
};
void SetVersion(const TVersion& version);
// How many times MessageBeep ran.
int BeepCount();

// ---- The clock ------------------------------------------------------------------

// Switches the layer's clock to a virtual one that stands still until
// AdvanceClock moves it (on) or back to the real clock (off).
void UseVirtualClock(bool on);
// Moves the virtual clock forward.
void AdvanceClock(uint32_t ms);
uint64_t ClockNow();

// ---- Keys ---------------------------------------------------------------------

// Sets the toggle (lock) state of a key for the calling thread and the
// threads that start later.
void SetKeyToggle(int virtKey, bool on);

// ---- The loop -------------------------------------------------------------------

// Dispatches every message the calling thread's queue has (sent, posted,
// input, paint and due timers) until none is left; answers how many were
// dispatched. WM_QUIT stays in the queue.
int RunUntilIdle();

// ---- Clipboard and drops ------------------------------------------------------

// Puts content (MIME type, bytes) on the system clipboard as another
// application would, and reads what is there.
void SetExternalClipboard(const std::vector<std::pair<AnsiString, std::string>>& content);
bool ExternalClipboardData(const AnsiString& mime, std::string& data);
// Files dropped from the desktop at a screen point.
void InjectFileDrop(POINT screen, const std::vector<AnsiString>& files);

// ---- Device capabilities ---------------------------------------------------------

// What every device context reports to GetDeviceCaps for BITSPIXEL,
// NUMCOLORS and TECHNOLOGY, so that code for 16- or 8-bit screens, palette
// devices and raster printers can run; 0 keeps the real value.
struct TDeviceCapsOverride {
  int BitsPixel = 0;
  int NumColors = 0;
  int Technology = 0;
};
void SetDeviceCapsOverride(const TDeviceCapsOverride& caps);

}  // namespace rtl::testing
