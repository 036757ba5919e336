#include "ui/foundation/glass_paint.h"

#include "platform/forms/controls.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_messages.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/themes.h"

namespace {

// The window erases and prints its client area into DC.
void PrintClient(HWND AWnd, HDC DC) {
  SendMessageA(AWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  SendMessageA(AWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
}

}  // namespace

bool cxGetUpdateRegionOfControl(TWinControl* AControl, HRGN ARegion) {
  if (OSWin7 && !dxIsDesktopCompositionOn()) return false;
  if (!AControl || !AControl->HandleAllocated()) return false;
  const int kind = GetUpdateRgn(AControl->Handle(), ARegion, FALSE);
  return kind == SIMPLEREGION || kind == COMPLEXREGION;
}

void cxBufferedPaintControl(TWinControl* AControl) {
  if (!AControl || !AControl->HandleAllocated()) return;
  HWND handle = AControl->Handle();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  TScopeExit freeRegion([&] { DeleteObject(region); });
  const bool hasRegion = cxGetUpdateRegionOfControl(AControl, region);
  PAINTSTRUCT ps{};
  HDC DC = BeginPaint(handle, &ps);
  TScopeExit endPaint([&] { EndPaint(handle, &ps); });
  const TRect R = ps.rcPaint;
  if (!DC || R.IsEmpty()) return;
  HDC memDC = CreateCompatibleDC(DC);
  HBITMAP bitmap = CreateCompatibleBitmap(DC, R.Width(), R.Height());
  HGDIOBJ old = SelectObject(memDC, bitmap);
  TScopeExit freeBuffer([&] {
    SelectObject(memDC, old);
    DeleteObject(bitmap);
    DeleteDC(memDC);
  });
  SetWindowOrgEx(memDC, R.Left, R.Top, nullptr);
  if (hasRegion) {
    OffsetRgn(region, -R.Left, -R.Top);
    SelectClipRgn(memDC, region);
  }
  AControl->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), reinterpret_cast<LPARAM>(memDC));
  AControl->Perform(WM_PAINT, reinterpret_cast<WPARAM>(memDC), 0);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), memDC, R.Left, R.Top, SRCCOPY);
}

void dxDrawGlowingTextOnGlass(HDC DC, const AnsiString& AText, TFont* AFont, const TRect& R, TColor AColor,
                              DWORD ATextFlags, int AGlowSize, bool ACopyBackground) {
  if (R.IsEmpty()) return;
  const int w = R.Width(), h = R.Height();
  HDC memDC = CreateCompatibleDC(DC);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(DC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ oldBitmap = SelectObject(memDC, dib);
  HGDIOBJ oldFont = nullptr;
  TScopeExit release([&] {
    if (oldFont) SelectObject(memDC, oldFont);
    SelectObject(memDC, oldBitmap);
    DeleteObject(dib);
    DeleteDC(memDC);
  });
  if (!dib) return;
  if (ACopyBackground) BitBlt(memDC, 0, 0, w, h, DC, R.Left, R.Top, SRCCOPY);
  if (AFont) oldFont = SelectObject(memDC, AFont->Handle());
  DTTOPTS options{};
  options.dwSize = sizeof(options);
  options.dwFlags = DTT_COMPOSITED | DTT_TEXTCOLOR;
  options.crText = ColorToRGB(AColor);
  if (AGlowSize > 0) {
    options.dwFlags |= DTT_GLOWSIZE;
    options.iGlowSize = AGlowSize;
  }
  TRect textRect(0, 0, w, h);
  dxDrawThemeTextEx(dxGetThemeHandle(tciWindow), memDC, 0, 0, AnsiToWide(AText), -1, ATextFlags, textRect, options);
  BitBlt(DC, R.Left, R.Top, w, h, memDC, 0, 0, SRCCOPY);
}

void dxBufferedPaintOnGlass(HWND AWnd, HDC DC, const TRect& ABounds, bool AKeepAlpha) {
  if (ABounds.IsEmpty()) return;
  HDC paintDC = nullptr;
  HPAINTBUFFER buffer = dxBeginBufferedPaint(DC, ABounds, BPBF_TOPDOWNDIB, nullptr, paintDC);
  if (!buffer) {
    PrintClient(AWnd, DC);
    return;
  }
  TScopeExit end([&] {
    const bool focused = GetFocus() == AWnd;
    if (focused) HideCaret(AWnd);
    dxEndBufferedPaint(buffer, true);
    if (focused) ShowCaret(AWnd);
  });
  dxBufferedPaintClear(buffer, &ABounds);
  PrintClient(AWnd, paintDC);
  if (!AKeepAlpha) dxBufferedPaintSetAlpha(buffer, &ABounds, 255);
}

void dxRepaintOnGlass(HWND AWnd, bool AKeepAlpha) {
  HDC DC = GetDC(AWnd);
  if (!DC) return;
  TScopeExit release([&] { ReleaseDC(AWnd, DC); });
  RECT R{};
  GetClientRect(AWnd, &R);
  dxBufferedPaintOnGlass(AWnd, DC, R, AKeepAlpha);
}

void dxHandlePaintOnGlass(HWND AWnd, bool AKeepAlpha) {
  PAINTSTRUCT ps{};
  HDC DC = BeginPaint(AWnd, &ps);
  TScopeExit end([&] { EndPaint(AWnd, &ps); });
  if (DC) dxBufferedPaintOnGlass(AWnd, DC, ps.rcPaint, AKeepAlpha);
}
