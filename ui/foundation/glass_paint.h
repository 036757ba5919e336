// Double-buffered painting of a control and painting on glass: a window
// painted into a 32-bit buffer whose alpha is kept or made opaque, and text
// with a glow drawn through the visual style. Every device context, bitmap,
// region and buffered paint taken is given back, also when a paint handler
// raises. User-interface thread only.
#pragma once

#include "platform/rtl/types.h"
#include "platform/win/kernel/windef.h"

class TFont;
class TWinControl;

// Copies the window's update region (without erasing) into ARegion; true
// for a simple or complex region. Always false on Windows 7 while desktop
// composition is off.
bool cxGetUpdateRegionOfControl(TWinControl* AControl, HRGN ARegion);
// Handles WM_PAINT through a memory bitmap of the paint rectangle: the
// control erases and paints into it (clipped to the update region), then
// it is copied to the window.
void cxBufferedPaintControl(TWinControl* AControl);
// AText in a 32-bit buffer of R's size (DC's pixels under R copied in
// first when ACopyBackground), drawn with the "Window" visual style's text
// routine in AColor, with a glow when AGlowSize > 0; the buffer is then
// copied to R.
void dxDrawGlowingTextOnGlass(HDC DC, const AnsiString& AText, TFont* AFont, const TRect& R, TColor AColor,
                              DWORD ATextFlags, int AGlowSize, bool ACopyBackground);
// The window erases and prints its client area into a cleared 32-bit
// buffer over ABounds, made opaque unless AKeepAlpha, then copied to DC;
// straight into DC when no buffer can be had. Nothing for empty bounds.
void dxBufferedPaintOnGlass(HWND AWnd, HDC DC, const TRect& ABounds, bool AKeepAlpha);
// dxBufferedPaintOnGlass over the client area through the window's DC.
void dxRepaintOnGlass(HWND AWnd, bool AKeepAlpha = false);
// WM_PAINT through dxBufferedPaintOnGlass over the paint rectangle.
void dxHandlePaintOnGlass(HWND AWnd, bool AKeepAlpha = false);
