// What the drawing functions ask of enhanced-metafile recording: whether a
// DC records, and the recorders they hand a call to instead of drawing.
#pragma once

#include <atomic>
#include <vector>

#include "platform/win/gdi/gdi.h"

namespace rtl::detail {

struct TGdiDC;

// How many recording DCs exist: drawing on ordinary DCs looks no further
// while there are none.
extern std::atomic<int> gEmfRecordingDCs;
bool EmfIsRecordingDC(HDC hdc);
inline bool EmfRecording(HDC hdc) {
  return gEmfRecordingDCs.load(std::memory_order_relaxed) != 0 && EmfIsRecordingDC(hdc);
}

// Each records one call on a recording DC, in logical units, with the
// state it depends on; the results are those of the call.
// A pattern blit of the brush (null = the DC's brush) over rect.
BOOL EmfRecordPatBlt(HDC hdc, const RECT& rect, HBRUSH brush, DWORD rop);
BOOL EmfRecordFrameRect(HDC hdc, const RECT& rect, HBRUSH brush);
// EMR_RECTANGLE, EMR_ELLIPSE or EMR_ROUNDRECT.
BOOL EmfRecordShape(HDC hdc, DWORD type, const RECT& box, SIZE corner);
BOOL EmfRecordLineTo(HDC hdc, int x, int y);
// EMR_POLYLINE, EMR_POLYGON, EMR_POLYBEZIER.
BOOL EmfRecordPoly(HDC hdc, DWORD type, const POINT* points, DWORD count);
// EMR_POLYPOLYLINE or EMR_POLYPOLYGON.
BOOL EmfRecordPolyPoly(HDC hdc, DWORD type, const POINT* points, const DWORD* counts, DWORD polys);
// The source's pixels are copied into the record.
BOOL EmfRecordBlt(HDC dest, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs, DWORD rop);
// StretchDIBits (ySrc from the bottom of the image, as there); the rows
// drawn, 0 on failure.
int EmfRecordDIBits(HDC dest, int x, int y, int w, int h, int xs, int ys, int ws, int hs, const void* bits,
                    const BITMAPINFO* info, UINT usage, DWORD rop);
BOOL EmfRecordPixel(HDC hdc, int x, int y, COLORREF color);
// Text laid out by the text functions: the reference point (logical,
// TA_UPDATECP already resolved), one advance per UTF-16 unit, and the
// extent of the line for the record's bounds.
void EmfRecordText(TGdiDC* dc, POINT ref, UINT options, const RECT* rect, const char16_t* text, int count,
                   const std::vector<int>& unitAdvances, int width, int ascent, int descent);
// A recording DC deleted without being closed.
void EmfForgetDC(HDC hdc);

}  // namespace rtl::detail
