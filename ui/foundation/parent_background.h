// The picture behind a control: its parent (and, when asked, the parent's
// other children) printed with WM_PRINT into the control's canvas at the
// right offset and clip, so that transparent controls show what lies under
// them. Re-entry is guarded: a parent is never printed while it is being
// printed, and a control whose background is being painted is never
// printed into a background. Also window printing, invalidation shortcuts
// and the part of the mouse cursor below its hot spot. User-interface
// thread only.
#pragma once

#include <vector>

#include "platform/rtl/types.h"
#include "platform/win/kernel/windef.h"

class TcxCanvas;
class TCanvas;
class TWinControl;

// R is in the control's client coordinates and is also the place in the
// canvas.
void cxDrawParentBackground(TWinControl* AControl, TcxCanvas* ACanvas, const TRect& R, bool APrintChildren = false);
// The parent's picture under ASourceRect (the control's client coordinates)
// painted at ADestPoint of the canvas; nothing without a control or a
// parent, or while the parent is being printed.
void cxDrawParentBackgroundAt(TWinControl* AControl, TcxCanvas* ACanvas, const TRect& ASourceRect,
                              bool APrintChildren, const TPoint& ADestPoint);
// Prints the control's part R (its window coordinates) at P of the canvas,
// clipped to R and to the window's region; then, when asked, its children.
// Nothing while the control is being destroyed or has no window handle.
void cxPaintControlTo(TWinControl* AControl, TcxCanvas* ACanvas, const TPoint& P, bool AWithFrame,
                      bool APrintChildren, const TRect& R);
// Under the canvas's lock; erases first when the control is double-buffered.
void cxPrintControl(TWinControl* AControl, TCanvas* ACanvas, bool AWithFrame);
void cxPrintWindowTo(HWND AWnd, HDC DC, bool AWithFrame, bool AErase);
// WM_ERASEBKGND (DC in both parameters) when AErase, then WM_PRINT; a
// top-level window with a menu whose frame was printed also gets
// WM_NCPAINT, so that its real frame is drawn again.
void cxSendPrintMessages(HWND AWnd, HDC DC, DWORD AFlags, bool AErase);
// The visible child windows of the control not being painted, each at its
// place: the framework's windowed controls through cxPaintControlTo, other
// windows by printing them with their frames.
void cxPrintChildren(TWinControl* AControl, TcxCanvas* ACanvas, const TRect& R);
// Intersects the canvas's clip with the window's region when it has one.
void cxClipToWindowRegion(TcxCanvas* ACanvas, TWinControl* AControl);
// The window's children whose parent it is.
void cxListDirectChildWindows(HWND AWnd, std::vector<HWND>& AList);
void cxInvalidateWindowRect(HWND AWnd, const TRect& R, bool AErase = true);
void cxInvalidateWindowRect(HWND AWnd, bool AErase = true);
// The part of the current cursor below its hot spot (width, height),
// used to place tooltips under the mouse; the system cursor size when the
// cursor has no monochrome mask to read.
void cxGetCursorVisibleSize(TSize& ASize);

namespace cx_parent_background_detail {
// Whether the window is in the list of handles being painted or of
// parents being printed.
bool IsBeingPainted(HWND AWnd);
bool IsBeingPrinted(TWinControl* AParent);
}  // namespace cx_parent_background_detail
