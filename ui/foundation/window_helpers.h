// Small window, control and input helpers every control of the library
// calls: window styles and alpha, rectangles of windows in the coordinate
// systems callers need, work areas, finding the framework control behind a
// window handle, component names and the designer, and drag detection.
// Failures answer null, false, 0 or the empty rectangle; only
// cxControlPointToParent raises.
#pragma once

#include "platform/forms/actions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/win/kernel/windef.h"

class TComponent;
class TControl;
class TWinControl;
class TCustomForm;
class TcxBitmap32;

// ---- Window style and state ------------------------------------------------------------

// How cxChangeWindowLong treats the value: store it, add its bits, remove
// its bits.
enum TcxWindowLongMode : Integer { wlmSet = 0, wlmInclude = 1, wlmExclude = 2 };
// Which long: GWL_STYLE or GWL_EXSTYLE.
enum TcxWindowLongIndex : Integer { wliStyle = 0, wliExStyle = 1 };

// All of ABits are set in the window's style.
bool cxWindowHasStyle(HWND AWnd, LONG ABits);
// Answers the previous value.
LONG cxChangeWindowLong(HWND AWnd, LONG AValue, TcxWindowLongMode AMode = wlmSet, TcxWindowLongIndex AIndex = wliStyle);
// Answers the previous procedure.
WNDPROC cxSetWindowProc(HWND AWnd, WNDPROC AProc);
// Below 255 the window becomes layered with that constant alpha; at 255 a
// layered window stops being layered and is redrawn whole. Nothing when
// the window system offers no layered windows.
void cxSetWindowAlpha(HWND AWnd, Integer AAlpha);
// Shows a 32-bit bitmap with per-pixel alpha times AAlpha as the whole
// picture of a layered top-level window, from the bitmap's top left, at
// the window's place. Nothing when the window system offers no layered
// windows; false when the window takes no picture.
bool cxUpdateLayeredWindow(HWND AWnd, TcxBitmap32* ABitmap, Byte AAlpha = 255);
// Moves the window in the z-order without moving or sizing it.
void cxSetWindowZOrder(HWND AWnd, HWND AInsertAfter, bool AActivate, UINT AExtraFlags = 0);
bool cxIsChildStyleWindow(HWND AWnd);
// AWnd is AParent or one of its descendants (false for a null AParent).
bool cxIsSelfOrChildWindow(HWND AParent, HWND AWnd);
// AOwner is among AWnd's parents, or AWnd itself.
bool cxHasInParentChain(HWND AOwner, HWND AWnd);
// Enabled, and for a child window every ancestor enabled too.
bool cxIsWindowReallyEnabled(HWND AWnd);
// The first window without WS_CHILD among AWnd and its parents; null for
// null.
HWND cxFindFirstNonChildWindow(HWND AWnd);
// At most 1023 characters.
AnsiString cxGetWindowCaption(HWND AWnd);

// ---- Rectangles and points -------------------------------------------------------------

TRect cxWindowClientRect(HWND AWnd);
TRect cxWindowScreenRect(HWND AWnd);
// (0, 0, width, height) of the window rectangle.
TRect cxWindowSizeRect(HWND AWnd);
// Where the client area starts within the window rectangle.
TPoint cxWindowClientOrigin(HWND AWnd);
TPoint cxClientPointToScreen(HWND AWnd, const TPoint& P);
// The window rectangle when the control has a window (none is made).
TRect cxWinControlScreenRect(TWinControl* AControl);
// The size of the control's window (made when missing).
TRect cxWinControlSizeRect(TWinControl* AControl);
// Between client areas (AClientCoords) or window rectangles; a null window
// is the screen.
TPoint cxMapPointBetweenWindows(HWND ASrc, HWND ADst, const TPoint& P, bool AClientCoords = true);
// The rectangle moved with its top left; its size stays.
TRect cxMapRectBetweenWindows(HWND ASrc, HWND ADst, const TRect& R, bool AClientCoords = true);
// (-1, -1) when the position is unknown.
TPoint cxGetCursorPosSafe();
// The work area of the monitor nearest to the point.
TRect cxWorkAreaAtPoint(const TPoint& P);
// The framework screen's work area for a null monitor.
TRect cxMonitorWorkArea(HMONITOR AMonitor);
// Moves R (its size kept) into the work area at P; where R is larger than
// the area, its left and top go to the area's.
void cxFitRectToWorkArea(TRect& R, const TPoint& P);
// The innermost visible window under a screen point; null when none.
HWND cxDeepestWindowAtPoint(const TPoint& P);
// Narrower or lower than the work area of its monitor.
bool cxIsWindowSmallerThanWorkArea(HWND AWnd);

// ---- Framework controls and components -------------------------------------------------

// Whether asking for the control's window would succeed now.
bool cxCanHaveWindowHandle(TWinControl* AControl);
// It has a window and the window is visible.
bool cxIsWinControlShown(TWinControl* AControl);
// The framework control of the window, else of its nearest ancestor that
// has one; null when none.
TWinControl* cxWinControlOfWindow(HWND AWnd);
inline TWinControl* cxWinControlOfWindowOrParent(HWND AWnd) { return cxWinControlOfWindow(AWnd); }
TCustomForm* cxParentFormOfWindow(HWND AWnd);
// The first component AOwner owns that is of AClass or descends from it.
TComponent* cxFindOwnedComponentOfClass(TComponent* AOwner, TClass AClass);
// A point of AControl's coordinates in AParent's (the control's parent
// when null). Raises EInvalidOperation "Control '%s' has no parent window"
// or "Parent given is not a parent of '%s'".
TPoint cxControlPointToParent(TControl* AControl, const TPoint& P, TWinControl* AParent = nullptr);
// Performs the message on the control and its parents below the first
// form.
void cxSendToControlChain(TControl* AControl, UINT AMsg);
bool cxIsMDIChildForm(TCustomForm* AForm);
bool cxIsMDIParentForm(TCustomForm* AForm);
// The name after its named owners' names, joined by "." (outermost first);
// empty for an unnamed component.
AnsiString cxComponentFullName(TComponent* AComponent);
// Tells the designer of the component's root form that something changed,
// when the component is being designed and is not loading, writing or
// going away (nor is any parent of a control).
void cxNotifyDesignerModified(TComponent* AComponent);
// Whether the framework's own controls draw with visual styles.
bool cxFrameworkThemesEnabled();

// ---- Input -----------------------------------------------------------------------------

// Both distances from the press point are below the drag threshold.
bool cxIsWithinDragThreshold(const TPoint& ADownPos, Integer X, Integer Y);
// What ended a drag watch.
enum TcxDragStartResult : Integer { dsrReleased = 0, dsrDragged = 1, dsrCancelled = 2 };
// Takes the mouse for AWnd and runs a loop until the button goes up inside
// the drag square around the screen point (dsrReleased), the mouse leaves
// the square (dsrDragged), or Esc, a lost capture or the end of the
// program cancels (dsrCancelled; a quit message is posted again).
TcxDragStartResult cxTrackDragStart(HWND AWnd, const TPoint& AScreenPos);
// The character the key types in the current keyboard state; 0 when it
// types none or more than one.
char cxVirtualKeyToChar(Word AKey);
bool cxIsCtrlKeyDown();
constexpr bool cxIsPrintableCharCode(Integer ACode) { return ACode > 31; }
// The MK_ flags of the shift, control and button states; Alt and double
// click have none.
WPARAM cxShiftStateToMouseKeys(TShiftState AShift);
