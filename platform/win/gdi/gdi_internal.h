// What the window system needs of GDI beyond the public API: device
// contexts that draw into a top-level window's surface, their device area
// and visible region, the screen's answers, and the pixels of a surface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/win/kernel/windef.h"

namespace rtl::detail {

// A device context that draws into `surface` (a 32-bit DIB section) and
// answers `owner` to WindowFromDC. It starts in the default state with the
// whole surface as its device area.
HDC GdiCreateWindowDC(HWND owner, HBITMAP surface);
void GdiDeleteWindowDC(HDC dc);
// Places the DC's device (0,0) at deviceOrigin in the surface and sets its
// system clip (in DC device coordinates; copied; null = the whole surface).
// The application's clip, origins and transforms stay relative to it, and
// every clip the application selects is intersected with it.
void GdiSetDCDeviceArea(HDC dc, POINT deviceOrigin, HRGN visibleRegion);
// Back to the default state (stock objects, MM_TEXT, origins 0, no
// application clip, empty save stack) for a DC reused from a cache. The
// device area and the owner stay.
void GdiResetDC(HDC dc);
// Redirects a window DC to another surface (a window whose surface was
// re-created on resize).
void GdiSetDCSurface(HDC dc, HBITMAP surface);

// The pixels of a DIB section: top row first when the DIB is top-down;
// stride in bytes (negative for a bottom-up DIB, bits then being the top row).
bool GdiGetSurfaceBits(HBITMAP bitmap, void** bits, int* width, int* height, int* stride);

// The screen that GetDC(0) and CreateDC("DISPLAY") answer for.
void GdiSetScreenDpi(int dpi);
int GdiGetScreenDpi();
void GdiSetScreenSize(int width, int height);

// Decodes a PNG image (icons may hold one) into top-down 32-bit
// BGRA pixels (straight alpha). Without one installed, icons use the
// backend's picture codecs.
using TGdiPngDecoder = bool (*)(const void* data, size_t size, int* width, int* height, std::vector<uint32_t>* pixels);
void GdiSetPngDecoder(TGdiPngDecoder decoder);

// The image of an icon or cursor as straight-alpha BGRA pixels (top row
// first), for native cursors and window icons: alpha images as they are,
// classic ones transparent where their mask is set (pixels that would
// invert the screen show black).
bool GdiGetIconImage(HICON icon, int* width, int* height, int* hotX, int* hotY, std::vector<uint32_t>* pixels);

// Changes entries of the system colour table and their brushes (the
// colours only; SetSysColors also tells the windows).
bool GdiSetSysColors(int count, const INT* elements, const COLORREF* values);

}  // namespace rtl::detail
