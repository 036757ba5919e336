// What the painting files share: surfaces of top-level windows, visible
// regions, window DCs, damage to show, and region conversions.
#pragma once

#include "platform/win/user/user_internal.h"

namespace rtl::detail {

// GetDCEx: choose the clipping flags from the window's styles.
constexpr DWORD kDcxUseStyle = 0x00010000;

// The surface of a top-level window, created or resized (content kept at
// the top-left) to the window's size.
HBITMAP EnsureSurface(TWnd* top);
void DropSurface(TWnd* top);
// Where w's window rectangle lies in its top-level surface.
POINT SurfaceOffset(const TWnd* w);
// w's client (or, with DCX_WINDOW, whole) rectangle in surface coordinates.
RECT SurfaceRect(const TWnd* w, bool window);
// The part of w that shows, in surface coordinates, for DCX_ flags
// (DCX_WINDOW, DCX_CLIPCHILDREN, DCX_CLIPSIBLINGS, DCX_PARENTCLIP).
TRegion VisibleRegion(TWnd* w, DWORD flags);
// GetDCEx for a resolved window; `clip` is in screen coordinates and owned.
HDC GetDCImpl(TWnd* w, HRGN clip, DWORD flags);
// Parts of a surface drawn since they were last shown.
void MarkDamage(TWnd* top, const RECT& surfaceRect);
// Shows the damaged parts of every native window (before the loop waits).
void FlushDamage();

HRGN RegionToHrgn(const TRegion& r);
TRegion HrgnToRegion(HRGN h);

// Update regions (window coordinates). `area` null means everything the
// flags address.
void InvalidateWnd(TWnd* w, const TRegion* area, UINT rdwFlags);
void ValidateWnd(TWnd* w, const TRegion* area, UINT rdwFlags);
// Recomputes whether the window owes WM_PAINT (queue bookkeeping).
void UpdatePaintState(TWnd* w);
// The client part of the update region, in client coordinates.
TRegion ClientUpdate(const TWnd* w);
// Sends the WM_NCPAINT and WM_ERASEBKGND the window owes.
void SendNcPaintAndErase(TWnd* w);
void SendNcPaint(TWnd* w);
// DCs of a window that goes away.
void ReleaseWindowDCs(TWnd* w);
// Draws the default frame into a DC whose origin is the window's top-left.
void DrawFrame(TWnd* w, HDC dc);

// Default painting of the window procedure.
LRESULT DefEraseBackground(TWnd* w, HDC dc);
void DefPrint(TWnd* w, HDC dc, DWORD flags);
// Asks the frame to be drawn again (caption text, activation, icon).
void RedrawFrame(TWnd* w);
// The caret is hidden while the window paints.
void CaretBeforePaint(HWND hwnd);
void CaretAfterPaint(HWND hwnd);

}  // namespace rtl::detail
