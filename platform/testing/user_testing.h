// Test support of the window system: the headless backend, input through
// the same path as native input, and pictures of windows. With it come the
// window system's own seams (system values, the virtual clock, running the
// loop until it is idle).
#pragma once

#include "platform/backend/backend.h"
#include "platform/win/user/user_test_seams.h"

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
// translation): a mouse move, press or release, a wheel turn, a key going
// down or up, or a close request. `value` is the button (0 left, 1 right, 2
// middle), the wheel delta or the virtual key; `text` what a key types;
// `modifiers` the modifier keys the display says are held (nm* flags; -1
// says nothing). False when the backend has no native path (headless) or
// no such event.
bool SimulateNativeInput(HWND hwnd, rtl::backend::TNativeEventKind kind, POINT screen, int value = 0,
                         const AnsiString& text = AnsiString(), int modifiers = -1);

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
