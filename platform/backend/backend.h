// The narrow interface between the window system and the display: native
// top-level windows painted from our surfaces, native input and window
// events, waiting for events, screens, the pointer, the clipboard and file
// drops. Qt implements it; a headless implementation keeps tests fast and
// deterministic. No Qt type appears here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/types.h"

namespace rtl::backend {

enum TNativeKind {
  nkNormal,  // an application window: takes focus, has a taskbar entry
  nkTool,    // no taskbar entry, takes focus
  nkPopup,   // override-redirect: placed by us, never takes focus
};

struct TNativeParams {
  TRect Bounds;  // screen coordinates
  TNativeKind Kind = nkNormal;
  bool Topmost = false;
  bool Alpha = false;  // shows per-pixel alpha (layered windows)
  AnsiString Title;
};

enum TCursorShape {
  ncArrow, ncIBeam, ncWait, ncCross, ncUpArrow, ncSizeNWSE, ncSizeNESW, ncSizeWE, ncSizeNS, ncSizeAll, ncNo, ncHand,
  ncAppStarting, ncHelp, ncBlank, ncCustom,
};

// A cursor or icon image: top-down 32-bit pixels, straight alpha, BGRA.
struct TNativeImage {
  int Width = 0;
  int Height = 0;
  int HotX = 0;
  int HotY = 0;
  std::vector<uint32_t> Pixels;
};

enum TNativeState { nsNormal, nsMinimized, nsMaximized };

struct TNativeEvent;

class INativeWindow {
 public:
  virtual ~INativeWindow() = default;
  virtual void SetBounds(const TRect& screen) = 0;
  virtual void Show(bool activate) = 0;
  virtual void Hide() = 0;
  // Stacks the window directly above `below`, or on top of every window of
  // the application when below is null.
  virtual void StackAbove(INativeWindow* below) = 0;
  virtual void SetTitle(const AnsiString& title) = 0;
  virtual void SetIcon(const TNativeImage& icon) = 0;
  virtual void SetOpacity(double opacity) = 0;
  // The part of the window that shows and takes input (screen-relative to
  // the window's top-left); empty means the whole window.
  virtual void SetShape(const std::vector<TRect>& rects) = 0;
  // Shows the damaged part of the surface (top-down BGRA rows, `stride`
  // bytes apart; alpha is honoured when `alpha` is set).
  virtual void Flush(const void* bits, int width, int height, int stride, const TRect& damage, bool alpha) = 0;
  virtual void SetCursor(TCursorShape shape, const TNativeImage* custom) = 0;
  // Keeps pointer input for the application while a popup holds capture.
  virtual void GrabPointer(bool grab) = 0;
  virtual void Activate() = 0;
  virtual void SetState(TNativeState state) = 0;
  virtual void AcceptDrops(bool accept) = 0;
  // Tests: hands the window an event as the display would send it (mouse
  // moves, presses and releases, wheel, keys, a close request), so that it
  // takes the native path; false when the backend has no such path.
  virtual bool Simulate(const TNativeEvent& e) {
    (void)e;
    return false;
  }
};

enum TNativeEventKind {
  neMouseMove,
  neMouseDown,
  neMouseUp,
  neWheel,
  neKeyDown,
  neKeyUp,
  neExpose,    // Rect: the window-relative area to show again
  neMoved,     // Rect: the new screen bounds
  neResized,   // Rect: the new screen bounds
  neStateChanged,  // State
  neFocusIn,
  neFocusOut,
  neClose,
  neLeave,     // the pointer left the application's windows
  neScreensChanged,
  neClipboardChanged,
  neDrop,      // Files dropped at Pos
};

// The modifier keys a display says are held with an input event.
enum TNativeModifier { nmShift = 1, nmControl = 2, nmAlt = 4 };

struct TNativeEvent {
  TNativeEventKind Kind = neMouseMove;
  uintptr_t Window = 0;  // the cookie given at creation (0 for global events)
  TPoint Pos;            // screen coordinates
  int Button = 0;        // 0 left, 1 right, 2 middle, 3 X1, 4 X2
  int Delta = 0;         // wheel, in 1/120 notches
  bool Horizontal = false;
  uint32_t Vk = 0;       // virtual-key code
  uint32_t Scan = 0;     // PC scan code (set 1)
  bool Extended = false;
  bool AutoRepeat = false;
  AnsiString Text;       // what a key typed (UTF-8), when HasText
  bool HasText = false;
  TRect Rect;
  TNativeState State = nsNormal;
  std::vector<AnsiString> Files;  // full paths
  uint32_t Time = 0;
  // Mouse and key events: the modifier keys held as the display reports
  // them (nm* flags); -1 when it does not tell. A key released while no
  // window of ours had the keyboard shows here as not held.
  int Modifiers = -1;
};

struct TScreenInfo {
  TRect Bounds;
  TRect WorkArea;
  bool Primary = false;
  AnsiString Name;
  int Dpi = 96;
};

using TEventHandler = std::function<void(const TNativeEvent&)>;

class IBackend {
 public:
  virtual ~IBackend() = default;
  // True when windows appear on a display (or an offscreen platform).
  virtual bool HasWindows() const = 0;
  virtual std::unique_ptr<INativeWindow> CreateNativeWindow(const TNativeParams& params, uintptr_t cookie) = 0;
  // Native events are delivered on the thread that calls Wait or
  // ProcessEvents, through this handler.
  virtual void SetEventHandler(TEventHandler handler) = 0;
  // Delivers pending native events, then waits up to timeoutMs (negative:
  // without limit) until an event was delivered or Wake was called.
  virtual void Wait(int timeoutMs) = 0;
  // Delivers pending native events without waiting.
  virtual void ProcessEvents() = 0;
  // Ends a Wait; callable from any thread.
  virtual void Wake() = 0;
  virtual std::vector<TScreenInfo> Screens() = 0;
  virtual TPoint CursorPos() = 0;
  virtual void SetCursorPos(const TPoint& p) = 0;
  virtual void Beep() = 0;
  // The clipboard: the offered MIME types, one type's bytes, and a new
  // content (type, bytes) replacing the old one.
  virtual std::vector<AnsiString> ClipboardTypes() = 0;
  virtual bool ClipboardData(const AnsiString& mime, std::string& data) = 0;
  virtual void SetClipboard(const std::vector<std::pair<AnsiString, std::string>>& content) = 0;
};

// The backend in use; the first call chooses it (PDFBATCH_BACKEND=headless
// or qt; Qt when a Qt platform can be opened, headless otherwise).
IBackend& Backend();
// Installs a backend before the first window exists (tests).
void SetBackend(std::unique_ptr<IBackend> backend);
bool BackendChosen();

std::unique_ptr<IBackend> CreateHeadlessBackend();
// Null when no Qt platform can be opened.
std::unique_ptr<IBackend> CreateQtBackend();

// Writes top-down 32-bit pixels (BGRA, alpha ignored) to a PNG file.
bool WritePng(const AnsiString& path, const void* bits, int width, int height, int stride);

}  // namespace rtl::backend
