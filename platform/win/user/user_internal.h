// What the window-system files share: classes, windows, per-thread queues
// and the process-wide state. Window structures are touched by the thread
// that owns the window; other threads only post, send and test handles,
// which goes through the locks below, hand the owner work to do on the
// window (RunOnOwner), and walk child lists through snapshots.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win/gdi/gdi_region.h"
#include "platform/win/kernel/handle_table.h"
#include "platform/win/user/user.h"

namespace rtl::backend {
class INativeWindow;
struct TNativeEvent;
}

namespace rtl::testing {
struct TScreen;
struct TVersion;
}  // namespace rtl::testing

namespace rtl::detail {

struct TThreadQueue;

// ---- Classes ----------------------------------------------------------------

struct TWndClass {
  ATOM Atom = 0;
  AnsiString Name;
  UINT Style = 0;
  WNDPROC Proc = nullptr;
  int ClsExtra = 0;
  int WndExtra = 0;
  HINSTANCE Instance = nullptr;
  HICON Icon = nullptr;
  HICON IconSm = nullptr;
  HCURSOR Cursor = nullptr;
  HBRUSH Background = nullptr;
  AnsiString MenuName;
  uintptr_t MenuId = 0;  // when the menu name is an integer resource
  std::vector<BYTE> Extra;
  std::atomic<int> Windows{0};  // live windows of the class
  bool System = false;
};

// Finds a class by name or integer atom; null when unknown.
std::shared_ptr<TWndClass> FindClass(LPCSTR name);
// Registers the predefined classes once.
void EnsureSystemClasses();

// ---- Scroll bars of a window ----------------------------------------------

struct TScrollState {
  int Min = 0;
  int Max = 100;
  UINT Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  bool Tracking = false;
  UINT Disabled = 0;  // ESB_ flags
  bool Shown = true;  // when the style bit is set
  int Pressed = 0;    // the part held down while tracking
};

// ---- Windows ------------------------------------------------------------------

enum TWndFlag : uint32_t {
  wfDestroying = 1u << 0,    // DestroyWindow runs
  wfDestroyed = 1u << 1,     // WM_NCDESTROY sent; the handle is stale
  wfDesktop = 1u << 2,       // the desktop window
  wfMessageRoot = 1u << 3,   // the parent of message-only windows
  wfCreated = 1u << 4,       // WM_CREATE returned
  wfInternalPaint = 1u << 5,
  wfEraseNeeded = 1u << 6,   // WM_ERASEBKGND owed by the next BeginPaint
  wfNcPaintNeeded = 1u << 7, // WM_NCPAINT owed by the next BeginPaint
  wfInPaint = 1u << 8,       // between BeginPaint and EndPaint
  wfTrackingMove = 1u << 9,  // a system move or size loop runs
  wfHidden = 1u << 10,       // hidden by a minimised owner
  wfRestoreToMax = 1u << 11, // a minimised window that was maximised
  wfNeedsPaint = 1u << 12,   // counted in the queue's PaintCount
  wfEraseFailed = 1u << 13,  // WM_ERASEBKGND answered 0: BeginPaint says fErase
  wfNcActive = 1u << 14,     // the caption shows the active state
  wfNeedSize = 1u << 15,     // an overlapped window owes WM_SIZE and WM_MOVE to its first show
};

struct TWnd : std::enable_shared_from_this<TWnd> {
  HWND Handle = nullptr;
  std::shared_ptr<TWndClass> Class;
  std::shared_ptr<TThreadQueue> Queue;  // the owning thread's queue
  DWORD Style = 0;
  DWORD ExStyle = 0;
  WNDPROC Proc = nullptr;
  HINSTANCE Instance = nullptr;
  UINT_PTR Id = 0;  // the menu of a top-level window, the id of a child
  LONG_PTR UserData = 0;
  std::vector<BYTE> Extra;
  TWnd* Parent = nullptr;  // the desktop for top-level windows
  TWnd* Owner = nullptr;
  std::vector<TWnd*> Children;  // z-order: first is topmost
  RECT Window{};  // in the parent's client coordinates (screen for top-level)
  RECT Client{};  // same coordinates
  AnsiString Text;
  HICON IconBig = nullptr;
  HICON IconSmall = nullptr;
  uint32_t Flags = 0;
  RECT NormalRect{};  // restored placement (parent coordinates)
  POINT MinPos{-1, -1};
  POINT MaxPos{-1, -1};
  std::map<AnsiString, HANDLE> Props;

  // Painting
  TRegion Update;  // in window coordinates (origin = window's top-left)
  HRGN WindowRgn = nullptr;  // owned; window coordinates
  HDC OwnDC = nullptr;  // CS_OWNDC
  BYTE Alpha = 255;
  COLORREF ColorKey = 0;
  DWORD LayeredFlags = 0;
  bool Layered = false;  // per-pixel alpha via UpdateLayeredWindow

  // Scroll bars
  TScrollState HScroll, VScroll;

  // A top-level window's surface and native window
  HBITMAP Surface = nullptr;
  int SurfaceWidth = 0;
  int SurfaceHeight = 0;
  RECT Damage{};  // drawn since last shown (surface coordinates)
  int PressedButton = 0;  // the caption button held down (its hit code)
  HMENU SystemMenu = nullptr;  // the window's own copy, made on first use
  DWORD HelpContext = 0;       // SetWindowContextHelpId
  std::unique_ptr<rtl::backend::INativeWindow> Native;
  int NativeKind = -1;  // what the native window was made as
  bool NativeTopmost = false;

  TWnd();
  ~TWnd();

  bool Has(uint32_t f) const { return (Flags & f) != 0; }
  bool IsChild() const { return (Style & (WS_CHILD | WS_POPUP)) == WS_CHILD; }
  bool IsTopLevel() const { return Parent && Parent->Has(wfDesktop); }
  // The desktop and the parent of message-only windows: roots, not windows
  // a caller deals with.
  bool IsRoot() const { return Has(wfDesktop) || Has(wfMessageRoot); }
  bool Visible() const { return (Style & WS_VISIBLE) != 0; }
  int Width() const { return Window.Right - Window.Left; }
  int Height() const { return Window.Bottom - Window.Top; }
};

// The live window of a handle; null (and ERROR_INVALID_WINDOW_HANDLE as
// the last error) for 0 or a stale handle. The desktop resolves too. The
// pointer is for the thread that owns the window, which alone destroys it,
// and a TWndRef keeps it through calls that might; other threads go
// through QueueOfWindow or IsWindow.
TWnd* GetWnd(HWND hwnd);
TWnd* GetWndNoError(HWND hwnd);
TWnd* Desktop();
TWnd* MessageRoot();
// The queue of the thread owning a window, safe from any thread; out
// receives the window (null when the handle is stale).
std::shared_ptr<TThreadQueue> QueueOfWindow(HWND hwnd, TWnd** out = nullptr);
// The live window of a handle, held: for walks of windows that another
// thread may destroy meanwhile. Null (and ERROR_INVALID_WINDOW_HANDLE)
// for a stale handle; the desktop and the message root resolve too.
std::shared_ptr<TWnd> HoldWnd(HWND hwnd);
// Calls f(window) for every live window (any thread).
void ForEachWnd(const std::function<void(TWnd*)>& f);

// ---- The window tree ---------------------------------------------------------

// Guards every child list: the desktop's, which all threads change, and a
// window's own, which a thread may change under another thread's window.
// Held only while a list changes or is copied, never across a message.
std::recursive_mutex& TreeLock();

// A copy of a window's children (first is topmost) taken under the tree
// lock, each held so that it stays readable while another thread destroys
// it; walks that may meet other threads' windows use it.
class TChildSnapshot {
  std::vector<std::shared_ptr<TWnd>> items_;

 public:
  explicit TChildSnapshot(const TWnd* parent);
  class iterator {
    std::vector<std::shared_ptr<TWnd>>::const_iterator it_;

   public:
    explicit iterator(std::vector<std::shared_ptr<TWnd>>::const_iterator it) : it_(it) {}
    TWnd* operator*() const { return it_->get(); }
    iterator& operator++() {
      ++it_;
      return *this;
    }
    bool operator!=(const iterator& o) const { return it_ != o.it_; }
  };
  iterator begin() const { return iterator(items_.begin()); }
  iterator end() const { return iterator(items_.end()); }
  bool empty() const { return items_.empty(); }
  TWnd* front() const { return items_.front().get(); }
  std::vector<HWND> Handles() const;
};

// Keeps a window's structure alive while its procedure runs.
class TWndRef {
  std::shared_ptr<TWnd> w_;

 public:
  explicit TWndRef(TWnd* w) : w_(w->shared_from_this()) {}
  TWndRef(const TWndRef&) = delete;
  TWndRef& operator=(const TWndRef&) = delete;
  TWnd* get() const { return w_.get(); }
};

// Makes a destroyed window's handle stale; the structure goes with the last
// TWndRef.
void ReleaseDestroyedWnd(TWnd* w);

// The window's screen rectangle and its client rectangle in screen
// coordinates; the screen position of its client origin.
RECT WindowScreenRect(const TWnd* w);
RECT ClientScreenRect(const TWnd* w);
POINT ClientScreenOrigin(const TWnd* w);
// The top-level ancestor (the window itself when top-level).
TWnd* TopLevelOf(TWnd* w);
// True when the window and all its ancestors are visible.
bool IsReallyVisible(const TWnd* w);
// Whether a is w or one of w's descendants.
bool IsSelfOrDescendant(const TWnd* ancestor, const TWnd* w);

// ---- Messages -------------------------------------------------------------------

// Calls the window procedure (hooks included): the one path every sent
// message takes on the owning thread.
LRESULT SendToWnd(TWnd* w, UINT msg, WPARAM wParam, LPARAM lParam);
// Calls a procedure value as CallWindowProc does.
LRESULT CallProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Hands a message to the thread that owns the window.
bool PostToWnd(TWnd* w, UINT msg, WPARAM wParam, LPARAM lParam);
// Runs f on the window on the thread that owns it: at once when that is
// the calling thread; otherwise through the owner's queue, as a sent
// message is (the caller waits and serves what is sent to it meanwhile),
// or without waiting when wait is false (answers 1 once handed over).
// Answers f's result; 0 with ERROR_INVALID_WINDOW_HANDLE when the window
// or its thread went away first.
LRESULT RunOnOwner(HWND hwnd, const std::function<LRESULT(TWnd*)>& f, bool wait = true);
// Whether the thread has neither looked at its queue nor waited for work
// for five seconds.
bool QueueLooksHung(const TThreadQueue& q);

// ---- Per-thread state ------------------------------------------------------

struct TSentMessage {
  HWND Hwnd = nullptr;
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
  bool Done = false;     // the receiver answered (or the call failed)
  bool Answered = false; // the window's thread ran it (Done alone: the window or its thread went away)
  bool Notify = false;   // nobody waits for the answer
  SENDASYNCPROC Callback = nullptr;
  ULONG_PTR CallbackData = 0;
  std::shared_ptr<TThreadQueue> Sender;
  // Work the window's thread does on the window instead of a message
  // (what only the owner may do, asked for by another thread).
  std::function<LRESULT(TWnd*)> Action;
};

// Native and injected input, turned into messages when retrieved.
enum TRawKind { rkMouseMove, rkButtonDown, rkButtonUp, rkWheel, rkHWheel, rkKeyDown, rkKeyUp, rkLeave };
enum TMouseButton_ { mbLeft_, mbRight_, mbMiddle_, mbX1_, mbX2_ };

struct TRawInput {
  TRawKind Kind = rkMouseMove;
  POINT Pt{};       // screen coordinates (mouse)
  int Button = 0;   // TMouseButton_
  int Delta = 0;    // wheel
  UINT Vk = 0;      // keys
  UINT Scan = 0;
  bool Extended = false;
  bool Repeat = false;
  AnsiString Text;  // what the key typed, as the native layout gave it
  bool HasText = false;
  DWORD Time = 0;
  ULONG_PTR ExtraInfo = 0;
  // A key release the display reported late (it happened while no window
  // of ours had the keyboard): the key state follows, no message goes out.
  bool StateOnly = false;
};

struct TTimer {
  HWND Hwnd = nullptr;
  UINT_PTR Id = 0;
  UINT Interval = 0;
  uint64_t Due = 0;
  TIMERPROC Proc = nullptr;
  // Internal timers (hover, caret, scroll repeat) run an action instead of
  // producing WM_TIMER.
  std::function<void()> Action;
};

struct THook {
  int Type = 0;
  HOOKPROC Proc = nullptr;
  uintptr_t Handle = 0;
  bool Alive = true;
  std::weak_ptr<TThreadQueue> Owner;
};

constexpr int kHookTypes = 16;  // WH_MSGFILTER (-1) .. WH_MOUSE_LL (14), offset by 1

struct TMouseTrack {
  HWND Hwnd = nullptr;
  DWORD Flags = 0;  // TME_HOVER | TME_LEAVE | TME_NONCLIENT
  DWORD HoverTime = 0;
  uint64_t HoverDue = 0;
  RECT HoverRect{};
};

struct TThreadQueue {
  DWORD ThreadId = 0;
  bool UsesBackend = false;  // waits in the backend (the thread of native windows)

  // Guarded by Lock: what other threads hand over.
  std::mutex Lock;
  std::condition_variable Cond;
  bool WakeFlag = false;
  std::deque<MSG> Posted;
  std::deque<std::shared_ptr<TSentMessage>> Sent;
  std::deque<TRawInput> Input;
  std::deque<std::shared_ptr<TSentMessage>> Callbacks;  // answered SendMessageCallback calls
  std::deque<std::function<void()>> Deferred;  // out-of-context event hooks to run
  bool QuitPosted = false;
  int QuitCode = 0;
  bool Alive = true;
  // When the thread last looked at its queue (the layer's clock), and
  // whether it sleeps waiting for work now: a thread that does neither
  // for a while is hung to SMTO_ABORTIFHUNG.
  std::atomic<uint64_t> LastPumped{0};
  std::atomic<bool> Waiting{false};

  // Touched by the owning thread only.
  std::vector<TTimer> Timers;
  UINT_PTR NextThreadTimerId = 1;
  std::vector<std::shared_ptr<THook>> Hooks[kHookTypes];  // last installed first
  std::atomic<int> HookCounts[kHookTypes] = {};
  HWND Focus = nullptr;
  HWND Active = nullptr;
  HWND Capture = nullptr;
  int CaptureKind = 0;  // 0 plain, 1 move/size loop, 2 menu
  BYTE KeyState[256] = {};
  std::shared_ptr<TSentMessage> CurrentSent;  // being handled (InSendMessage)
  MSG LastMsg{};
  ULONG_PTR LastExtraInfo = 0;
  int PaintCount = 0;  // windows that owe WM_PAINT
  // Double clicks
  UINT LastClickMsg = 0;
  HWND LastClickHwnd = nullptr;
  DWORD LastClickTime = 0;
  POINT LastClickPt{};
  // Mouse tracking and the window under the pointer
  TMouseTrack Track;
  HWND MouseWindow = nullptr;
  int MouseHit = HTNOWHERE;
  // The text the last retrieved key-down typed (for TranslateMessage).
  MSG LastKeyMsg{};
  AnsiString LastKeyText;
  bool LastKeyHasText = false;
  bool MenuSysKey = false;  // Alt pressed alone: its release opens the menu
  bool F10Key = false;
  // Caret
  HWND CaretHwnd = nullptr;
  HBITMAP CaretBitmap = nullptr;
  int CaretWidth = 0, CaretHeight = 0, CaretHide = 1;
  POINT CaretPos{};
  bool CaretOn = false;         // drawn right now
  bool CaretPaintHidden = false;  // taken away for a paint

  void Wake();
};

// The calling thread's queue (created on first use).
TThreadQueue& CurrentQueue();
std::shared_ptr<TThreadQueue> CurrentQueuePtr();
std::shared_ptr<TThreadQueue> QueueOfThread(DWORD threadId);
DWORD CurrentThreadId();
// The queue of the thread that receives native input.
std::shared_ptr<TThreadQueue> InputQueue();
// Adds native input to the input thread's queue and wakes it.
void PushRawInput(const TRawInput& input);

// Hooks of the current thread; answers the first procedure's result, 0
// when no hook of the kind is installed.
bool HasHooks(int type);
LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam);

// Accessibility events of the window manager (idObject: 0 the window,
// -4 its client area, -3 its menu bar, -1 its system menu).
void RaiseWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild = 0);

// Timers
constexpr UINT WM_SYSTIMER = 0x0118;
void KillWindowTimers(TThreadQueue& q, HWND hwnd);
uint64_t NextTimerDue(TThreadQueue& q);  // UINT64_MAX when none
bool IsTimerProc(TThreadQueue& q, LPARAM proc);
// The first due timer that passes the filter, as WM_TIMER; with remove the
// timer starts its next interval.
bool RetrieveTimer(TThreadQueue& q, HWND filterHwnd, bool remove, MSG& msg);
// Runs the due internal timers.
void RunSystemTimers(TThreadQueue& q);
void SetSystemTimer(HWND hwnd, UINT_PTR id, UINT elapse, std::function<void()> action);
void KillSystemTimer(HWND hwnd, UINT_PTR id);

// Queue plumbing
bool PostTo(const std::shared_ptr<TThreadQueue>& q, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void WakeAllQueues();
// Registered names shared by window messages and clipboard formats.
UINT RegisterAtomName(LPCSTR name);
AnsiString AtomName(UINT atom);

// ---- The clock --------------------------------------------------------------

// Milliseconds on the layer's one clock (real unless a virtual one is set).
uint64_t ClockNow();
bool ClockIsVirtual();

// ---- Geometry and state helpers (window manager) ---------------------------

// SetWindowPos on a resolved window.
bool SetWindowPosImpl(TWnd* w, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool ShowWindowImpl(TWnd* w, int cmd);
// Minimises or maximises a window being created (its style bits were just
// taken away): the state, the hook and the new placement, then SetWindowPos.
void MinMaximizeAtCreation(TWnd* w, DWORD createStyle);
// Whether WS_EX_WINDOWEDGE belongs to a window of these styles.
DWORD FixWindowEdge(DWORD style, DWORD exStyle);
// Moves the window to the top of its band (owned windows follow).
void BringToTopZ(TWnd* w);
// Default answers for WM_GETMINMAXINFO.
MINMAXINFO DefaultMinMaxInfo(const TWnd* w);
// The client area that the default WM_NCCALCSIZE gives for a window rectangle.
RECT DefaultClientRect(const TWnd* w, const RECT& window);
// The default WM_NCHITTEST answer for a screen point.
LRESULT DefaultHitTest(TWnd* w, POINT screen);
// WM_SIZE's wParam for the window's state.
WPARAM SizeType(const TWnd* w);

// ---- Focus and activation ---------------------------------------------------

void SetActiveImpl(TWnd* w, bool mouse);
void ActivateOtherWindow(TWnd* leaving);
HWND SetFocusImpl(TWnd* w);
// The application gained (through window w, when known) or lost the
// system's keyboard focus.
void AppActivationChanged(TWnd* w, bool active);
bool AppIsActive();
// A window is going away: focus, activation and capture leave it.
void ForgetWindow(TWnd* w);

// ---- Input --------------------------------------------------------------------

// Turns the first raw input that passes the filter into a message; false
// when none. Called by the retrieval loop.
bool RetrieveInput(TThreadQueue& q, HWND filterHwnd, UINT filterMin, UINT filterMax, UINT flags, MSG& msg);
// The window under a screen point after the hit-test chain, and its code.
TWnd* HitTestPoint(POINT screen, int* hit, TWnd* onlyThread = nullptr);
// Updates the synchronous key state for a retrieved key or button message.
void UpdateSyncKeyState(TThreadQueue& q, UINT vk, bool down);
// Native (or injected) input, the one inlet for both.
void HandleNativeInput(const rtl::backend::TNativeEvent& e);
// The key message raw key input stands for; false when no window takes it.
bool KeyToMessage(TThreadQueue& q, const TRawInput& in, MSG& m);
// The lock toggles a new thread starts with.
void InitKeyToggles(BYTE* state);
// A key message was taken out of the queue.
void KeyRetrieved(TThreadQueue& q, const TRawInput& in, const MSG& m);
// The thread's key state takes a key going down or up.
void KeyStateFollows(TThreadQueue& q, const TRawInput& in);
bool IsSystemCursor(HCURSOR c, uintptr_t* id);
bool CursorHidden();
// Mouse key flags (MK_) from the synchronous state.
WPARAM MouseKeyFlags(const TThreadQueue& q);
POINT CursorPosition();
void SetCursorPosition(POINT p);
// The async key state that native input maintains.
void SetAsyncKey(UINT vk, bool down);
bool AsyncKeyDown(UINT vk);
// Checks hover and leave tracking after the pointer or the windows moved.
void CheckMouseTracking(TThreadQueue& q);
void DefSetCursor(TWnd* w, int hit, UINT mouseMsg);
HCURSOR SystemCursor(LPCSTR id);

// ---- Painting ------------------------------------------------------------------

// Whether a window of the thread owes WM_PAINT (passing the filter);
// fills msg.
bool RetrievePaint(TThreadQueue& q, HWND filterHwnd, MSG& msg);
// Invalidates after a window appeared, moved, resized or vanished.
void InvalidateAfterMove(TWnd* w, const RECT& oldWindowScreen, bool wasVisible, UINT flags);
void ErasePendingNow(TWnd* w);
void DropPaintState(TWnd* w);
// After WM_PAINT was dispatched: the frame and background still owed are
// sent (the update region stays until the window validates it).
void AfterPaintDispatch(TWnd* w);

// ---- System information -------------------------------------------------------

RECT PrimaryScreenRect();
RECT PrimaryWorkArea();
DWORD CurrentProcessId();
UINT DoubleClickTime();
UINT HoverTimeDefault();
SIZE HoverSize();
bool ButtonsSwapped();

// The knobs of the system profile, the clock and the keys: the screens the
// backend reports and the test seams (user_test_seams.h) turn them.
void SetScreenList(const std::vector<rtl::testing::TScreen>& screens);
void SetBackendScreenList(const std::vector<rtl::testing::TScreen>& screens);
void OverrideSystemMetric(int index, int value);
// Back to the default profile: metrics, parameters, DPI 96, version.
void ResetSystemProfile();
void SetSystemDpi(int dpi);
void SetSystemVersion(const rtl::testing::TVersion& version);
int BeepsSoFar();
// The virtual clock stands still until advanced.
void SetVirtualClock(bool on);
void AdvanceVirtualClock(uint32_t ms);
// The lock toggle of a key for threads that start later.
void SetStartKeyToggle(int virtKey, bool on);
// Runs what other threads sent to the calling thread (and the answers to
// its SendMessageCallback calls); answers whether anything ran.
bool ServeIncoming();

// ---- Clipboard and drops ---------------------------------------------------

// The system's clipboard changed (our own publishing included).
void ClipboardChanged();
// A window that goes away leaves the clipboard (owner, viewer chain).
void ForgetClipboardWindow(HWND hwnd);
// Files dropped at a screen point on a top-level window.
void DropFiles(TWnd* top, POINT screen, const std::vector<AnsiString>& files);

// ---- Tracing ----------------------------------------------------------------

// True when the channel is switched on by PDFBATCH_TRACE (comma list).
bool TraceOn(const char* channel);
void Trace(const char* channel, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// ---- Misc ---------------------------------------------------------------------

// Case-insensitive comparison of ASCII names (class names).
bool SameName(const AnsiString& a, const char* b);
// A coordinate moved by a distance, worked out wide and held inside int:
// a huge distance lands on the edge instead of wrapping round.
inline int AddClamped(int a, long long d) {
  long long v = static_cast<long long>(a) + d;
  return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int>(v);
}
inline RECT OffsetR(RECT r, int dx, int dy) {
  return RECT(AddClamped(r.Left, dx), AddClamped(r.Top, dy), AddClamped(r.Right, dx), AddClamped(r.Bottom, dy));
}
inline RECT IntersectR(const RECT& a, const RECT& b) {
  RECT r(a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top, a.Right < b.Right ? a.Right : b.Right,
         a.Bottom < b.Bottom ? a.Bottom : b.Bottom);
  if (r.IsEmpty()) return RECT();
  return r;
}

}  // namespace rtl::detail
