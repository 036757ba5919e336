#include "ui/foundation/parent_background.h"

#include <algorithm>
#include <cstring>

#include "platform/forms/controls.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_menu.h"
#include "platform/win/user/user_messages.h"
#include "platform/win/user/user_sysinfo.h"
#include "ui/foundation/canvas.h"

namespace {

// The windows whose parent's picture is being painted into them, and the
// parents being printed for it.
std::vector<HWND> gPainting;
std::vector<TWinControl*> gPrinting;

template <class T>
void RemoveLast(std::vector<T>& AList, T AItem) {
  auto it = std::find(AList.rbegin(), AList.rend(), AItem);
  if (it != AList.rend()) AList.erase(std::next(it).base());
}

TRect Moved(const TRect& R, int DX, int DY) { return TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY); }

void MoveWindowOrg(HDC DC, int DX, int DY) {
  POINT P{};
  GetWindowOrgEx(DC, &P);
  SetWindowOrgEx(DC, P.X - DX, P.Y - DY, nullptr);
}

TRect WindowRect(HWND AWnd) {
  RECT R{};
  if (!GetWindowRect(AWnd, &R)) return TRect();
  return R;
}

// The client area's top-left inside the window rectangle.
TPoint ClientOriginInWindow(HWND AWnd) {
  POINT P{0, 0};
  ClientToScreen(AWnd, &P);
  TRect W = WindowRect(AWnd);
  return TPoint(P.X - W.Left, P.Y - W.Top);
}

bool HasNonClientArea(HWND AWnd) {
  RECT C{};
  GetClientRect(AWnd, &C);
  TRect W = WindowRect(AWnd);
  return C.Width() != W.Width() || C.Height() != W.Height();
}

bool IsVisibleStyle(HWND AWnd) { return (GetWindowLongA(AWnd, GWL_STYLE) & WS_VISIBLE) != 0; }

BOOL CollectChild(HWND AChild, LPARAM AData) {
  auto* data = reinterpret_cast<std::pair<HWND, std::vector<HWND>*>*>(AData);
  if (GetAncestor(AChild, GA_PARENT) == data->first) data->second->push_back(AChild);
  return TRUE;
}

}  // namespace

namespace cx_parent_background_detail {

bool IsBeingPainted(HWND AWnd) { return std::find(gPainting.begin(), gPainting.end(), AWnd) != gPainting.end(); }

bool IsBeingPrinted(TWinControl* AParent) {
  return std::find(gPrinting.begin(), gPrinting.end(), AParent) != gPrinting.end();
}

}  // namespace cx_parent_background_detail

using cx_parent_background_detail::IsBeingPainted;
using cx_parent_background_detail::IsBeingPrinted;

void cxDrawParentBackground(TWinControl* AControl, TcxCanvas* ACanvas, const TRect& R, bool APrintChildren) {
  cxDrawParentBackgroundAt(AControl, ACanvas, R, APrintChildren, R.TopLeft());
}

void cxDrawParentBackgroundAt(TWinControl* AControl, TcxCanvas* ACanvas, const TRect& ASourceRect,
                              bool APrintChildren, const TPoint& ADestPoint) {
  if (!AControl || !ACanvas) return;
  TWinControl* parent = AControl->Parent();
  if (!parent || IsBeingPrinted(parent) || !AControl->HandleAllocated() || !parent->HandleAllocated()) return;
  HWND handle = AControl->Handle();
  gPrinting.push_back(parent);
  TScopeExit unlistParent([&] { RemoveLast(gPrinting, parent); });
  gPainting.push_back(handle);
  TScopeExit unlistHandle([&] { RemoveLast(gPainting, handle); });
  // The control's client coordinates in the parent's window coordinates,
  // which is what printing without the frame expects.
  POINT origin{0, 0};
  ClientToScreen(handle, &origin);
  TRect parentWindow = WindowRect(parent->Handle());
  const TRect R = Moved(ASourceRect, origin.X - parentWindow.Left, origin.Y - parentWindow.Top);
  cxPaintControlTo(parent, ACanvas, ADestPoint, false, APrintChildren, R);
}

void cxPaintControlTo(TWinControl* AControl, TcxCanvas* ACanvas, const TPoint& P, bool AWithFrame,
                      bool APrintChildren, const TRect& R) {
  if (!AControl || !ACanvas || AControl->ComponentState().Contains(csDestroying) || !AControl->HandleAllocated())
    return;
  ACanvas->PushDC();
  TScopeExit popDC([&] { ACanvas->PopDC(); });
  HDC DC = ACanvas->GetHandle();
  MoveWindowOrg(DC, P.X - R.Left, P.Y - R.Top);
  ACanvas->ClipToRect(R);
  cxClipToWindowRegion(ACanvas, AControl);
  if (!ACanvas->IsRectVisible(R)) return;
  {
    const bool hadPaintCopy = AControl->ControlState().Contains(csPaintCopy);
    AControl->SetControlState(AControl->ControlState() + csPaintCopy);
    TScopeExit restoreState([&] {
      if (!hadPaintCopy) AControl->SetControlState(AControl->ControlState() - csPaintCopy);
    });
    ACanvas->PushState();
    TScopeExit popState([&] { ACanvas->PopState(); });
    POINT saved{};
    GetWindowOrgEx(DC, &saved);
    TScopeExit restoreOrigin([&] { SetWindowOrgEx(DC, saved.X, saved.Y, nullptr); });
    if (!AWithFrame) {
      TPoint offset = ClientOriginInWindow(AControl->Handle());
      MoveWindowOrg(DC, offset.X, offset.Y);
    }
    cxPrintControl(AControl, ACanvas->Canvas(), AWithFrame);
  }
  if (APrintChildren) cxPrintChildren(AControl, ACanvas, R);
}

void cxPrintControl(TWinControl* AControl, TCanvas* ACanvas, bool AWithFrame) {
  if (!AControl || !ACanvas) return;
  ACanvas->Lock();
  TScopeExit unlock([&] { ACanvas->Unlock(); });
  cxPrintWindowTo(AControl->Handle(), ACanvas->Handle(), AWithFrame, AControl->DoubleBuffered());
}

void cxPrintWindowTo(HWND AWnd, HDC DC, bool AWithFrame, bool AErase) {
  const DWORD flags = PRF_CLIENT | PRF_ERASEBKGND;
  if (!AWithFrame || !HasNonClientArea(AWnd)) {
    cxSendPrintMessages(AWnd, DC, flags, AErase);
    return;
  }
  POINT origin{};
  if (!GetWindowOrgEx(DC, &origin) || (origin.X == 0 && origin.Y == 0)) {
    cxSendPrintMessages(AWnd, DC, flags | PRF_NONCLIENT, AErase);
    return;
  }
  // A frame printed into a DC whose origin was moved goes through a
  // bitmap of its own.
  TRect W = WindowRect(AWnd);
  HDC memDC = CreateCompatibleDC(DC);
  HBITMAP bitmap = CreateCompatibleBitmap(DC, W.Width(), W.Height());
  HGDIOBJ old = SelectObject(memDC, bitmap);
  TScopeExit release([&] {
    SelectObject(memDC, old);
    DeleteObject(bitmap);
    DeleteDC(memDC);
  });
  cxSendPrintMessages(AWnd, memDC, flags | PRF_NONCLIENT, AErase);
  BitBlt(DC, 0, 0, W.Width(), W.Height(), memDC, 0, 0, SRCCOPY);
}

void cxSendPrintMessages(HWND AWnd, HDC DC, DWORD AFlags, bool AErase) {
  if (AErase) SendMessageA(AWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  SendMessageA(AWnd, WM_PRINT, reinterpret_cast<WPARAM>(DC), static_cast<LPARAM>(AFlags));
  if ((AFlags & PRF_NONCLIENT) && (GetWindowLongA(AWnd, GWL_STYLE) & WS_CHILD) == 0 && GetMenu(AWnd))
    SendMessageA(AWnd, WM_NCPAINT, 0, 0);
}

void cxPrintChildren(TWinControl* AControl, TcxCanvas* ACanvas, const TRect&) {
  if (!AControl || !ACanvas || !AControl->HandleAllocated()) return;
  std::vector<HWND> windows;
  cxListDirectChildWindows(AControl->Handle(), windows);
  const TRect parentWindow = WindowRect(AControl->Handle());
  for (Integer i = 0; i < AControl->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(AControl->Controls(i));
    if (!child || !child->HandleAllocated()) continue;
    HWND handle = child->Handle();
    std::erase(windows, handle);
    if (!child->Visible() || IsBeingPainted(handle)) continue;
    TRect W = WindowRect(handle);
    TRect own(0, 0, W.Width(), W.Height());
    const TRect mapped = Moved(own, W.Left - parentWindow.Left, W.Top - parentWindow.Top);
    if (ACanvas->IsRectVisible(mapped)) cxPaintControlTo(child, ACanvas, mapped.TopLeft(), true, true, own);
  }
  // Windows without a control object; hidden ones stay out of the picture.
  HDC DC = ACanvas->GetHandle();
  for (HWND handle : windows) {
    if (IsBeingPainted(handle) || !IsVisibleStyle(handle)) continue;
    TRect W = WindowRect(handle);
    const int dx = W.Left - parentWindow.Left, dy = W.Top - parentWindow.Top;
    MoveWindowOrg(DC, dx, dy);
    TScopeExit back([&] { MoveWindowOrg(DC, -dx, -dy); });
    cxPrintWindowTo(handle, DC, true, false);
  }
}

void cxClipToWindowRegion(TcxCanvas* ACanvas, TWinControl* AControl) {
  if (!ACanvas || !AControl || !AControl->HandleAllocated()) return;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetWindowRgn(AControl->Handle(), region);
  if (kind == SIMPLEREGION || kind == COMPLEXREGION)
    ACanvas->ApplyClipRegion(new TcxRegion(region), rcmIntersect);
  else
    DeleteObject(region);
}

void cxListDirectChildWindows(HWND AWnd, std::vector<HWND>& AList) {
  std::pair<HWND, std::vector<HWND>*> data{AWnd, &AList};
  EnumChildWindows(AWnd, &CollectChild, reinterpret_cast<LPARAM>(&data));
}

void cxInvalidateWindowRect(HWND AWnd, const TRect& R, bool AErase) { InvalidateRect(AWnd, &R, AErase); }

void cxInvalidateWindowRect(HWND AWnd, bool AErase) { InvalidateRect(AWnd, nullptr, AErase); }

void cxGetCursorVisibleSize(TSize& ASize) {
  ASize = TSize(GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR));
  ICONINFO info{};
  if (!GetIconInfo(GetCursor(), &info)) return;
  TScopeExit release([&] {
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  });
  BITMAP mask{};
  if (!info.hbmMask || !GetObjectA(info.hbmMask, sizeof(mask), &mask) || mask.bmBitsPixel != 1) return;
  const int w = mask.bmWidth, height = mask.bmHeight;
  if (w <= 0 || height < w) return;
  const int lineBytes = ((w + 31) / 32) * 4;
  const int dataBytes = (w + 7) / 8;  // the padding of a line is not the cursor's
  struct {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[2];
  } bi{};
  bi.Header.biSize = sizeof(BITMAPINFOHEADER);
  bi.Header.biWidth = w;
  bi.Header.biHeight = -height;  // top-down: the AND square first
  bi.Header.biPlanes = 1;
  bi.Header.biBitCount = 1;
  std::vector<BYTE> bits(size_t(lineBytes) * size_t(height));
  HDC screen = GetDC(nullptr);
  const int lines = GetDIBits(screen, info.hbmMask, 0, UINT(height), bits.data(),
                              reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (lines != height) return;
  // The lowest line of a square holding a byte other than the blank one.
  auto lowestLine = [&](int AFirstLine, BYTE ABlank) {
    for (int y = AFirstLine + w - 1; y >= AFirstLine; --y)
      for (int x = 0; x < dataBytes; ++x)
        if (bits[size_t(y) * lineBytes + x] != ABlank) return y - AFirstLine;
    return -1;
  };
  int row = lowestLine(0, 0xFF);
  if (row < 0 && height >= 2 * w) row = lowestLine(w, 0);
  ASize.cx = w;
  if (row >= 0) ASize.cy = std::max(0, row - static_cast<int>(info.yHotspot));
}
