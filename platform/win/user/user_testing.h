// Test support of the window system: system values to inject, the virtual
// clock, input through the same path as native input, running the loop
// until it is idle, and pictures of windows.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/kernel/windef.h"

namespace rtl::testing {

// ---- The backend ----------------------------------------------------------------

// Runs the window system without native windows (tests of message orders
// and pictures); call it before the first window shows. Answers false when
// another backend was chosen already.
bool UseHeadlessBackend();
// Whether the window shows through a native window now.
bool HasNativeWindow(HWND hwnd);
// Native input as the display would send it to the native window of the
// window's top-level window (it goes through the backend's own event
// translation). kind: 0 move, 1 press, 2 release, 3 wheel, 4 key down,
// 5 key up, 6 close request. `value` is the button (0 left, 1 right, 2
// middle), the wheel delta or the virtual key; `text` what a key types.
// False when the backend has no native path (headless).
bool SimulateNativeInput(HWND hwnd, int kind, POINT screen, int value = 0, const AnsiString& text = AnsiString());

// ---- System values ------------------------------------------------------------

struct TScreen {
  RECT Bounds;
  RECT WorkArea;
  bool Primary = false;
  AnsiString Name;
};
// Replaces the screens (an empty list goes back to the default: one
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

// ---- Input --------------------------------------------------------------------
// Injected input takes the path native input takes: it waits in the queue
// until the loop retrieves it. Points are in screen coordinates.

enum TInjectButton { ibLeft, ibRight, ibMiddle, ibX1, ibX2 };

void InjectMouseMove(POINT screen);
void InjectMouseButton(TInjectButton button, bool down, POINT screen);
// Press and release at a point (with a move there first).
void InjectClick(POINT screen, TInjectButton button = ibLeft);
void InjectWheel(POINT screen, int delta, bool horizontal = false);
// A key going down or up; `text` is what the native layout would type.
void InjectKey(UINT vk, bool down);
void InjectKey(UINT vk, bool down, const AnsiString& text);
// Down and up; the text is the US layout's for the current key state.
void InjectKeyPress(UINT vk);
// Types text: each character as the keys that produce it (ASCII), or as a
// key carrying the text (anything else).
void InjectText(const AnsiString& text);
// A point of a window's client area in screen coordinates.
POINT ClientPoint(HWND hwnd, int x, int y);

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

// ---- Pictures -----------------------------------------------------------------

// A copy of what a window shows (its client area, or the whole window with
// its frame) as a top-down 32-bit DIB section the caller deletes; null when
// the window does not exist.
HBITMAP CaptureWindow(HWND hwnd, bool withFrame = false);
// One pixel of a window (client or window coordinates); CLR_INVALID
// (0xFFFFFFFF) outside.
COLORREF WindowPixel(HWND hwnd, int x, int y, bool withFrame = false);
// Writes the capture to a PNG file.
bool SaveWindowPng(HWND hwnd, const AnsiString& path, bool withFrame = false);

}  // namespace rtl::testing
