// The window-system side of the Win32-shaped API: window classes and
// windows, the message queue, timers, hooks, input, focus and activation,
// cursors, painting, the non-client area, scroll bars, system information,
// the clipboard and shell drops. Names, values, record layouts and return
// conventions are those of the public documentation. 8-bit text is UTF-8
// (the system code page); the unsuffixed names are the 8-bit variants.
#pragma once

#include "platform/win/user/user_constants.h"
#include "platform/win/user/user_keys.h"
#include "platform/win/user/user_messages.h"
#include "platform/win/kernel/windef.h"

// ---- Error numbers of the window functions --------------------------------

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
constexpr DWORD ERROR_INVALID_CURSOR_HANDLE = 1402;
constexpr DWORD ERROR_INVALID_HOOK_HANDLE = 1404;
constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_WINDOW_OF_OTHER_THREAD = 1408;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;
constexpr DWORD ERROR_INVALID_INDEX = 1413;
constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;
constexpr DWORD ERROR_INVALID_HOOK_FILTER = 1426;
constexpr DWORD ERROR_INVALID_FILTER_PROC = 1427;
constexpr DWORD ERROR_INVALID_GW_COMMAND = 1443;
constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;
constexpr DWORD ERROR_TIMEOUT = 1460;
constexpr DWORD ERROR_INVALID_MONITOR_HANDLE = 1461;

struct BLENDFUNCTION;

// ---- Records --------------------------------------------------------------

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
using PMSG = MSG*;
using LPMSG = MSG*;

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};
using WNDCLASS = WNDCLASSA;
using LPWNDCLASS = WNDCLASSA*;
using LPWNDCLASSA = WNDCLASSA*;

struct WNDCLASSEXA {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
  HICON hIconSm;
};
using WNDCLASSEX = WNDCLASSEXA;
using LPWNDCLASSEX = WNDCLASSEXA*;
using LPWNDCLASSEXA = WNDCLASSEXA*;

struct CREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
};
using CREATESTRUCT = CREATESTRUCTA;
using LPCREATESTRUCT = CREATESTRUCTA*;

struct WINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
};
using PWINDOWPOS = WINDOWPOS*;
using LPWINDOWPOS = WINDOWPOS*;

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];
  WINDOWPOS* lppos;
};
using LPNCCALCSIZE_PARAMS = NCCALCSIZE_PARAMS*;

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};
using PMINMAXINFO = MINMAXINFO*;
using LPMINMAXINFO = MINMAXINFO*;

// WM_HELP: what help is asked for.
#define HELPINFO_WINDOW 0x0001
#define HELPINFO_MENUITEM 0x0002
struct HELPINFO {
  UINT cbSize;
  int iContextType;
  int iCtrlId;
  HANDLE hItemHandle;
  DWORD_PTR dwContextId;
  POINT MousePos;
};
using LPHELPINFO = HELPINFO*;

struct STYLESTRUCT {
  DWORD styleOld;
  DWORD styleNew;
};
using LPSTYLESTRUCT = STYLESTRUCT*;

struct WINDOWPLACEMENT {
  UINT length;
  UINT flags;
  UINT showCmd;
  POINT ptMinPosition;
  POINT ptMaxPosition;
  RECT rcNormalPosition;
};
using PWINDOWPLACEMENT = WINDOWPLACEMENT*;
using LPWINDOWPLACEMENT = WINDOWPLACEMENT*;

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};
using PPAINTSTRUCT = PAINTSTRUCT*;
using LPPAINTSTRUCT = PAINTSTRUCT*;

struct CWPSTRUCT {
  LPARAM lParam;
  WPARAM wParam;
  UINT message;
  HWND hwnd;
};
using PCWPSTRUCT = CWPSTRUCT*;

struct CWPRETSTRUCT {
  LRESULT lResult;
  LPARAM lParam;
  WPARAM wParam;
  UINT message;
  HWND hwnd;
};
using PCWPRETSTRUCT = CWPRETSTRUCT*;

struct MOUSEHOOKSTRUCT {
  POINT pt;
  HWND hwnd;
  UINT wHitTestCode;
  ULONG_PTR dwExtraInfo;
};
using PMOUSEHOOKSTRUCT = MOUSEHOOKSTRUCT*;

struct MOUSEHOOKSTRUCTEX : MOUSEHOOKSTRUCT {
  DWORD mouseData;
};

struct CBT_CREATEWNDA {
  CREATESTRUCTA* lpcs;
  HWND hwndInsertAfter;
};
using CBT_CREATEWND = CBT_CREATEWNDA;

struct CBTACTIVATESTRUCT {
  BOOL fMouse;
  HWND hWndActive;
};

struct TRACKMOUSEEVENT {
  DWORD cbSize;
  DWORD dwFlags;
  HWND hwndTrack;
  DWORD dwHoverTime;
};
using LPTRACKMOUSEEVENT = TRACKMOUSEEVENT*;

struct MONITORINFO {
  DWORD cbSize;
  RECT rcMonitor;
  RECT rcWork;
  DWORD dwFlags;
};
using LPMONITORINFO = MONITORINFO*;

struct MONITORINFOEXA : MONITORINFO {
  CHAR szDevice[CCHDEVICENAME];
};
using MONITORINFOEX = MONITORINFOEXA;

struct SCROLLINFO {
  UINT cbSize;
  UINT fMask;
  int nMin;
  int nMax;
  UINT nPage;
  int nPos;
  int nTrackPos;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;

struct SCROLLBARINFO {
  DWORD cbSize;
  RECT rcScrollBar;
  int dxyLineButton;
  int xyThumbTop;
  int xyThumbBottom;
  int reserved;
  DWORD rgstate[6];
};
using PSCROLLBARINFO = SCROLLBARINFO*;

struct COMBOBOXINFO {
  DWORD cbSize;
  RECT rcItem;
  RECT rcButton;
  DWORD stateButton;
  HWND hwndCombo;
  HWND hwndItem;
  HWND hwndList;
};
using PCOMBOBOXINFO = COMBOBOXINFO*;

struct COPYDATASTRUCT {
  ULONG_PTR dwData;
  DWORD cbData;
  LPVOID lpData;
};
using PCOPYDATASTRUCT = COPYDATASTRUCT*;

// ---- Callbacks ------------------------------------------------------------

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
using SENDASYNCPROC = void (*)(HWND, UINT, ULONG_PTR, LRESULT);
using MONITORENUMPROC = BOOL (*)(HMONITOR, HDC, LPRECT, LPARAM);
using PROPENUMPROCA = BOOL (*)(HWND, LPCSTR, HANDLE);

// ---- Window classes -------------------------------------------------------

ATOM RegisterClassA(const WNDCLASSA* wc);
ATOM RegisterClassExA(const WNDCLASSEXA* wc);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA wc);
BOOL GetClassInfoExA(HINSTANCE instance, LPCSTR className, LPWNDCLASSEXA wc);
int GetClassNameA(HWND hwnd, LPSTR name, int maxCount);
DWORD GetClassLongA(HWND hwnd, int index);
DWORD SetClassLongA(HWND hwnd, int index, LONG value);
ULONG_PTR GetClassLongPtrA(HWND hwnd, int index);
ULONG_PTR SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value);
WORD GetClassWord(HWND hwnd, int index);
inline ATOM RegisterClass(const WNDCLASSA* wc) { return RegisterClassA(wc); }
inline ATOM RegisterClassEx(const WNDCLASSEXA* wc) { return RegisterClassExA(wc); }
inline BOOL UnregisterClass(LPCSTR className, HINSTANCE instance) { return UnregisterClassA(className, instance); }
inline BOOL GetClassInfo(HINSTANCE instance, LPCSTR className, LPWNDCLASSA wc) {
  return GetClassInfoA(instance, className, wc);
}
inline BOOL GetClassInfoEx(HINSTANCE instance, LPCSTR className, LPWNDCLASSEXA wc) {
  return GetClassInfoExA(instance, className, wc);
}
inline int GetClassName(HWND hwnd, LPSTR name, int maxCount) { return GetClassNameA(hwnd, name, maxCount); }
inline DWORD GetClassLong(HWND hwnd, int index) { return GetClassLongA(hwnd, index); }
inline DWORD SetClassLong(HWND hwnd, int index, LONG value) { return SetClassLongA(hwnd, index, value); }
inline ULONG_PTR GetClassLongPtr(HWND hwnd, int index) { return GetClassLongPtrA(hwnd, index); }
inline ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value) { return SetClassLongPtrA(hwnd, index, value); }

// ---- Windows --------------------------------------------------------------

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
inline HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                           int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  return CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
inline HWND CreateWindow(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                         HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowUnicode(HWND hwnd);
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);

LONG GetWindowLongA(HWND hwnd, int index);
LONG SetWindowLongA(HWND hwnd, int index, LONG value);
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
WORD GetWindowWord(HWND hwnd, int index);
WORD SetWindowWord(HWND hwnd, int index, WORD value);
inline LONG GetWindowLong(HWND hwnd, int index) { return GetWindowLongA(hwnd, index); }
inline LONG SetWindowLong(HWND hwnd, int index, LONG value) { return SetWindowLongA(hwnd, index, value); }
inline LONG_PTR GetWindowLongPtr(HWND hwnd, int index) { return GetWindowLongPtrA(hwnd, index); }
inline LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) { return SetWindowLongPtrA(hwnd, index, value); }

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
inline LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(proc, hwnd, msg, wParam, lParam);
}
inline LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Subclass chains that parties join and leave in any order.
using SUBCLASSPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM, UINT_PTR idSubclass, DWORD_PTR refData);
BOOL SetWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR idSubclass, DWORD_PTR refData);
BOOL GetWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR idSubclass, DWORD_PTR* refData);
BOOL RemoveWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR idSubclass);
LRESULT DefSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
int GetWindowTextA(HWND hwnd, LPSTR text, int maxCount);
int GetWindowTextW(HWND hwnd, LPWSTR text, int maxCount);
int GetWindowTextLengthA(HWND hwnd);
int GetWindowTextLengthW(HWND hwnd);
inline BOOL SetWindowText(HWND hwnd, LPCSTR text) { return SetWindowTextA(hwnd, text); }
inline BOOL SetWindowText(HWND hwnd, LPCWSTR text) { return SetWindowTextW(hwnd, text); }
inline int GetWindowText(HWND hwnd, LPSTR text, int maxCount) { return GetWindowTextA(hwnd, text, maxCount); }
inline int GetWindowText(HWND hwnd, LPWSTR text, int maxCount) { return GetWindowTextW(hwnd, text, maxCount); }
inline int GetWindowTextLength(HWND hwnd) { return GetWindowTextLengthA(hwnd); }

BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data);
HANDLE GetPropA(HWND hwnd, LPCSTR name);
HANDLE RemovePropA(HWND hwnd, LPCSTR name);
int EnumPropsA(HWND hwnd, PROPENUMPROCA proc);
inline BOOL SetProp(HWND hwnd, LPCSTR name, HANDLE data) { return SetPropA(hwnd, name, data); }
inline HANDLE GetProp(HWND hwnd, LPCSTR name) { return GetPropA(hwnd, name); }
inline HANDLE RemoveProp(HWND hwnd, LPCSTR name) { return RemovePropA(hwnd, name); }

// ---- Relations ------------------------------------------------------------

HWND GetParent(HWND hwnd);
HWND SetParent(HWND child, HWND newParent);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetTopWindow(HWND hwnd);
HWND GetNextWindow(HWND hwnd, UINT cmd);
HWND GetDesktopWindow();
HWND GetLastActivePopup(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam);
HWND FindWindowA(LPCSTR className, LPCSTR windowName);
HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName);
inline HWND FindWindow(LPCSTR className, LPCSTR windowName) { return FindWindowA(className, windowName); }
inline HWND FindWindowEx(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
  return FindWindowExA(parent, childAfter, className, windowName);
}
int GetDlgCtrlID(HWND hwnd);
BOOL SetWindowContextHelpId(HWND hwnd, DWORD id);
DWORD GetWindowContextHelpId(HWND hwnd);
HWND GetDlgItem(HWND dialog, int id);

// ---- Geometry, position and state ----------------------------------------

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL ShowWindowAsync(HWND hwnd, int cmd);
BOOL ShowOwnedPopups(HWND owner, BOOL show);
BOOL BringWindowToTop(HWND hwnd);
BOOL OpenIcon(HWND hwnd);
BOOL CloseWindow(HWND hwnd);
HANDLE BeginDeferWindowPos(int count);
HANDLE DeferWindowPos(HANDLE info, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL EndDeferWindowPos(HANDLE info);
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);
BOOL AnimateWindow(HWND hwnd, DWORD time, DWORD flags);

BOOL GetWindowRect(HWND hwnd, LPRECT rect);
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL ClientToScreen(HWND hwnd, LPPOINT point);
BOOL ScreenToClient(HWND hwnd, LPPOINT point);
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu);
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);

HWND WindowFromPoint(POINT point);
HWND ChildWindowFromPoint(HWND parent, POINT point);
HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags);
HWND RealChildWindowFromPoint(HWND parent, POINT point);

BOOL IsWindowVisible(HWND hwnd);
BOOL IsWindowEnabled(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);
int GetWindowRgn(HWND hwnd, HRGN region);
int GetWindowRgnBox(HWND hwnd, LPRECT rect);

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);

// ---- Messages and the queue ----------------------------------------------

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL SendNotifyMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL SendMessageCallbackA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, SENDASYNCPROC callback,
                          ULONG_PTR data);
LRESULT SendMessageTimeoutA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            DWORD_PTR* result);
inline LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(hwnd, msg, wParam, lParam);
}
inline BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return PostMessageA(hwnd, msg, wParam, lParam);
}
inline BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  return PostThreadMessageA(threadId, msg, wParam, lParam);
}
inline BOOL SendNotifyMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendNotifyMessageA(hwnd, msg, wParam, lParam);
}
inline LRESULT SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                                  DWORD_PTR* result) {
  return SendMessageTimeoutA(hwnd, msg, wParam, lParam, flags, timeout, result);
}
void PostQuitMessage(int exitCode);

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
LRESULT DispatchMessageA(const MSG* msg);
inline BOOL GetMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  return GetMessageA(msg, hwnd, filterMin, filterMax);
}
inline BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  return PeekMessageA(msg, hwnd, filterMin, filterMax, removeMsg);
}
inline LRESULT DispatchMessage(const MSG* msg) { return DispatchMessageA(msg); }
BOOL TranslateMessage(const MSG* msg);
BOOL WaitMessage();
// Waits for one of the handles (kernel objects) or for input of the kinds
// in wakeMask; answers WAIT_OBJECT_0 + index, WAIT_OBJECT_0 + count for
// input, WAIT_TIMEOUT or WAIT_FAILED.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD wakeMask);
DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask, DWORD flags);
DWORD GetQueueStatus(UINT flags);
BOOL GetInputState();
DWORD GetMessagePos();
LONG GetMessageTime();
LPARAM GetMessageExtraInfo();
BOOL InSendMessage();
DWORD InSendMessageEx(LPVOID reserved);
BOOL ReplyMessage(LRESULT result);
UINT RegisterWindowMessageA(LPCSTR name);
inline UINT RegisterWindowMessage(LPCSTR name) { return RegisterWindowMessageA(name); }

// ---- Timers ---------------------------------------------------------------

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// ---- Hooks ----------------------------------------------------------------

// Hooks are thread-local: a thread id of 0 installs the hook for the
// calling thread.
HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);

// Accessibility event hooks. An out-of-context hook runs on the thread
// that set it, when that thread next looks at its queue; an in-context
// hook runs at once on the thread that raised the event.
using HWINEVENTHOOK = struct HWINEVENTHOOK__*;
using WINEVENTPROC = void (*)(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG idObject, LONG idChild,
                              DWORD idEventThread, DWORD dwmsEventTime);
HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE module, WINEVENTPROC proc, DWORD idProcess,
                              DWORD idThread, DWORD flags);
BOOL UnhookWinEvent(HWINEVENTHOOK hook);
void NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild);
inline HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId) {
  return SetWindowsHookExA(idHook, proc, module, threadId);
}
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// ---- Mouse, capture and cursors -------------------------------------------

HWND SetCapture(HWND hwnd);
HWND GetCapture();
BOOL ReleaseCapture();
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT event);
BOOL DragDetect(HWND hwnd, POINT point);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);
BOOL SwapMouseButton(BOOL swap);

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
inline HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) { return LoadCursorA(instance, name); }
HCURSOR CreateCursor(HINSTANCE instance, int xHotSpot, int yHotSpot, int width, int height, const void* andPlane,
                     const void* xorPlane);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);
int ShowCursor(BOOL show);
BOOL ClipCursor(const RECT* rect);
BOOL GetClipCursor(LPRECT rect);

#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_IBEAM MAKEINTRESOURCE(32513)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_CROSS MAKEINTRESOURCE(32515)
#define IDC_UPARROW MAKEINTRESOURCE(32516)
#define IDC_SIZE MAKEINTRESOURCE(32640)
#define IDC_ICON MAKEINTRESOURCE(32641)
#define IDC_SIZENWSE MAKEINTRESOURCE(32642)
#define IDC_SIZENESW MAKEINTRESOURCE(32643)
#define IDC_SIZEWE MAKEINTRESOURCE(32644)
#define IDC_SIZENS MAKEINTRESOURCE(32645)
#define IDC_SIZEALL MAKEINTRESOURCE(32646)
#define IDC_NO MAKEINTRESOURCE(32648)
#define IDC_HAND MAKEINTRESOURCE(32649)
#define IDC_APPSTARTING MAKEINTRESOURCE(32650)
#define IDC_HELP MAKEINTRESOURCE(32651)

// ---- Keyboard -------------------------------------------------------------

SHORT GetKeyState(int virtKey);
SHORT GetAsyncKeyState(int virtKey);
BOOL GetKeyboardState(BYTE* keyState);
BOOL SetKeyboardState(BYTE* keyState);
int ToAscii(UINT virtKey, UINT scanCode, const BYTE* keyState, WORD* chars, UINT flags);
int ToUnicode(UINT virtKey, UINT scanCode, const BYTE* keyState, LPWSTR buffer, int bufferSize, UINT flags);
UINT MapVirtualKeyA(UINT code, UINT mapType);
inline UINT MapVirtualKey(UINT code, UINT mapType) { return MapVirtualKeyA(code, mapType); }
SHORT VkKeyScanA(CHAR ch);
inline SHORT VkKeyScan(CHAR ch) { return VkKeyScanA(ch); }
HANDLE GetKeyboardLayout(DWORD threadId);
int GetKeyNameTextA(LONG lParam, LPSTR buffer, int size);
inline int GetKeyNameText(LONG lParam, LPSTR buffer, int size) { return GetKeyNameTextA(lParam, buffer, size); }

// ---- Focus and activation -------------------------------------------------

HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();

// ---- Dialog manager -------------------------------------------------------
// The keyboard of a window built from controls: Tab and Shift+Tab through
// WS_TABSTOP controls, arrows within a WS_GROUP group, Enter for the
// default button, Esc for IDCANCEL, underlined letters. A window that is
// not a dialog gets all of it too: its procedure answering DM_GETDEFID
// with 0 makes the BS_DEFPUSHBUTTON child (else IDOK) the default.

// Handles msg when it is for the dialog or one of its descendants (and
// translates and dispatches what it does not consume): TRUE then.
BOOL IsDialogMessageA(HWND dialog, MSG* msg);
BOOL IsDialogMessageW(HWND dialog, MSG* msg);
inline BOOL IsDialogMessage(HWND dialog, MSG* msg) { return IsDialogMessageA(dialog, msg); }
// Children of a WS_EX_CONTROLPARENT child count as the dialog's own, in
// its place; hidden and disabled controls are skipped. A null control
// starts from the first (or last) one.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
// The dialog procedure's defaults: DM_GETDEFID, DM_SETDEFID and
// WM_NEXTDLGCTL; the rest goes to DefWindowProcA.
LRESULT DefDlgProcA(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- Dialog templates -----------------------------------------------------------
// The in-memory template (2-byte packed, as resources store it): the
// header, then menu, class and title (each 0x0000, 0xFFFF and an ordinal,
// or a UTF-16 string), the font when DS_SETFONT; then each item DWORD
// aligned: header, class, title and its creation data. The extended form
// starts with the words 1, 0xFFFF.
#pragma pack(push, 2)
struct DLGTEMPLATE {
  DWORD style;
  DWORD dwExtendedStyle;
  WORD cdit;
  short x;
  short y;
  short cx;
  short cy;
};
struct DLGITEMTEMPLATE {
  DWORD style;
  DWORD dwExtendedStyle;
  short x;
  short y;
  short cx;
  short cy;
  WORD id;
};
#pragma pack(pop)
using LPCDLGTEMPLATEA = const DLGTEMPLATE*;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// The dialog window's own longs (class "#32770").
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC 8
#define DWLP_USER 16
#define DLGWINDOWEXTRA 48
#define DS_ABSALIGN 0x01L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L
#define DS_CENTERMOUSE 0x1000L

HWND CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA tmpl, HWND parent, DLGPROC proc, LPARAM init);
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM init);
INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA tmpl, HWND parent, DLGPROC proc, LPARAM init);
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM init);
BOOL EndDialog(HWND dialog, INT_PTR result);
// Dialog units to pixels with the dialog's font.
BOOL MapDialogRect(HWND dialog, LPRECT rect);
inline LRESULT DefDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefDlgProcA(dialog, msg, wParam, lParam);
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int maxCount);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);
inline LRESULT SendDlgItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendDlgItemMessageA(dialog, id, msg, wParam, lParam);
}
inline UINT GetDlgItemText(HWND dialog, int id, LPSTR text, int maxCount) {
  return GetDlgItemTextA(dialog, id, text, maxCount);
}
inline BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text) { return SetDlgItemTextA(dialog, id, text); }

// ---- Carets ---------------------------------------------------------------

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(LPPOINT point);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT ms);

// ---- Painting -------------------------------------------------------------

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND hwnd);
// `clip` is in screen coordinates; with DCX_INTERSECTRGN or DCX_EXCLUDERGN
// the system owns it from then on.
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL ValidateRgn(HWND hwnd, HRGN region);
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase);
int ExcludeUpdateRgn(HDC dc, HWND hwnd);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);
BOOL LockWindowUpdate(HWND hwnd);
BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* rect, const RECT* clip);
int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, LPRECT updateRect,
                   UINT flags);
BOOL ScrollDC(HDC dc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, LPRECT updateRect);
BOOL UpdateLayeredWindow(HWND hwnd, HDC dst, POINT* dstPos, SIZE* size, HDC src, POINT* srcPos, COLORREF key,
                         BLENDFUNCTION* blend, DWORD flags);

// ---- Window scroll bars ---------------------------------------------------

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO si, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO si);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
BOOL GetScrollBarInfo(HWND hwnd, LONG object, PSCROLLBARINFO info);
// The parts of a combo box: its field, button and the windows it is made of.
BOOL GetComboBoxInfo(HWND combo, PCOMBOBOXINFO info);

// ---- Rectangles -----------------------------------------------------------

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rect);
BOOL CopyRect(LPRECT dest, const RECT* src);
BOOL InflateRect(LPRECT rect, int dx, int dy);
BOOL OffsetRect(LPRECT rect, int dx, int dy);
BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b);
BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b);
BOOL SubtractRect(LPRECT dest, const RECT* a, const RECT* b);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rect, POINT point);

// ---- Global memory (clipboard data and dropped files) ----------------------

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GMEM_DDESHARE 0x2000
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
HGLOBAL GlobalReAlloc(HGLOBAL mem, size_t bytes, UINT flags);
LPVOID GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
size_t GlobalSize(HGLOBAL mem);
HGLOBAL GlobalFree(HGLOBAL mem);
HGLOBAL GlobalHandle(LPCVOID mem);

// ---- Clipboard --------------------------------------------------------------

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT format, HANDLE data);
// The handle stays the clipboard's: the caller neither frees nor keeps it.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
UINT EnumClipboardFormats(UINT format);
int CountClipboardFormats();
UINT RegisterClipboardFormatA(LPCSTR name);
int GetClipboardFormatNameA(UINT format, LPSTR name, int maxCount);
inline UINT RegisterClipboardFormat(LPCSTR name) { return RegisterClipboardFormatA(name); }
inline int GetClipboardFormatName(UINT format, LPSTR name, int maxCount) {
  return GetClipboardFormatNameA(format, name, maxCount);
}
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
DWORD GetClipboardSequenceNumber();
HWND SetClipboardViewer(HWND viewer);
HWND GetClipboardViewer();
BOOL ChangeClipboardChain(HWND remove, HWND next);
BOOL AddClipboardFormatListener(HWND hwnd);
BOOL RemoveClipboardFormatListener(HWND hwnd);

// ---- Dropped files ------------------------------------------------------------

struct DROPFILES {
  DWORD pFiles;  // offset of the file list
  POINT pt;
  BOOL fNC;
  BOOL fWide;
};

void DragAcceptFiles(HWND hwnd, BOOL accept);
// index 0xFFFFFFFF answers the count; a null buffer the length of the name
// (without the terminator), so that a caller can make room for all of it.
UINT DragQueryFileA(HDROP drop, UINT index, LPSTR file, UINT size);
UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size);
inline UINT DragQueryFile(HDROP drop, UINT index, LPSTR file, UINT size) {
  return DragQueryFileA(drop, index, file, size);
}
BOOL DragQueryPoint(HDROP drop, LPPOINT point);
void DragFinish(HDROP drop);

// ---- Monitors and system information -------------------------------------

HMONITOR MonitorFromPoint(POINT point, DWORD flags);
HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags);
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
BOOL GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info);
inline BOOL GetMonitorInfo(HMONITOR monitor, LPMONITORINFO info) { return GetMonitorInfoA(monitor, info); }
BOOL EnumDisplayMonitors(HDC hdc, LPCRECT clip, MONITORENUMPROC proc, LPARAM data);
BOOL MessageBeep(UINT type);
BOOL SetSysColors(int count, const INT* elements, const COLORREF* values);
