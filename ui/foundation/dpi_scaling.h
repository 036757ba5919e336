// The screen resolution and the scaling of sizes designed at 96 dots per
// inch. The resolution is read once, at the drawing unit's start-up; until
// then, or when the screen answers nothing, it counts as 96 and nothing
// scales.
#pragma once

#include "platform/rtl/types.h"

// The screen's horizontal (cx) and vertical (cy) pixels per inch.
void cxGetScreenPixelsPerInch(TSize& ASize);
// The vertical pixels per inch: the library's screen resolution.
Integer cxGetScreenDPI();
// AValue * dpi / 96 rounded to the nearest integer, halves away from zero.
Integer cxScaleByScreenDPI(Integer AValue);
TSize cxScaleSizeByScreenDPI(const TSize& ASize);
// Every side scaled on its own.
TRect cxScaleRectByScreenDPI(const TRect& ARect);

namespace cx_graphics_detail {
// Reads LOGPIXELSX and LOGPIXELSY of the screen's device context.
void ReadScreenPixelsPerInch();
}  // namespace cx_graphics_detail
