#include "ui/foundation/dpi_scaling.h"

#include "platform/rtl/mathutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"

namespace {

// Written at start-up only, read afterwards.
TSize ScreenPixelsPerInch(96, 96);

}  // namespace

void cx_graphics_detail::ReadScreenPixelsPerInch() {
  HDC dc = GetDC(nullptr);
  struct TRelease {
    HDC DC;
    ~TRelease() { ReleaseDC(nullptr, DC); }
  } release{dc};
  Integer x = GetDeviceCaps(dc, LOGPIXELSX), y = GetDeviceCaps(dc, LOGPIXELSY);
  // A screen that answers nothing would scale every size to 0.
  if (x > 0 && y > 0) ScreenPixelsPerInch = TSize(x, y);
}

void cxGetScreenPixelsPerInch(TSize& ASize) { ASize = ScreenPixelsPerInch; }

Integer cxGetScreenDPI() { return ScreenPixelsPerInch.cy; }

Integer cxScaleByScreenDPI(Integer AValue) { return MulDiv(AValue, cxGetScreenDPI(), 96); }

TSize cxScaleSizeByScreenDPI(const TSize& ASize) {
  return TSize(cxScaleByScreenDPI(ASize.cx), cxScaleByScreenDPI(ASize.cy));
}

TRect cxScaleRectByScreenDPI(const TRect& ARect) {
  return TRect(cxScaleByScreenDPI(ARect.Left), cxScaleByScreenDPI(ARect.Top), cxScaleByScreenDPI(ARect.Right),
               cxScaleByScreenDPI(ARect.Bottom));
}
