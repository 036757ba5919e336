// The caret: one per thread, drawn by inverting the pixels under it,
// blinking on an internal timer, taken away while its window paints.
#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_paint.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

constexpr UINT_PTR kBlinkTimer = 0xFFF3;
UINT g_blinkTime = 530;

void Invert(TThreadQueue& q) {
  TWnd* w = GetWndNoError(q.CaretHwnd);
  if (!w) return;
  HDC dc = GetDCImpl(w, nullptr, DCX_CACHE | kDcxUseStyle);
  if (!dc) return;
  if (q.CaretBitmap && q.CaretBitmap != reinterpret_cast<HBITMAP>(1)) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, q.CaretBitmap);
    BitBlt(dc, q.CaretPos.X, q.CaretPos.Y, q.CaretWidth, q.CaretHeight, mem, 0, 0, SRCINVERT);
    SelectObject(mem, old);
    DeleteDC(mem);
  } else {
    PatBlt(dc, q.CaretPos.X, q.CaretPos.Y, q.CaretWidth, q.CaretHeight, DSTINVERT);
  }
  ReleaseDC(w->Handle, dc);
  q.CaretOn = !q.CaretOn;
}

void StartBlink(TThreadQueue& q) {
  HWND h = q.CaretHwnd;
  SetSystemTimer(h, kBlinkTimer, g_blinkTime, [] {
    TThreadQueue& tq = CurrentQueue();
    if (tq.CaretHide == 0 && !tq.CaretPaintHidden) Invert(tq);
  });
}

}  // namespace

void CaretBeforePaint(HWND hwnd) {
  TThreadQueue& q = CurrentQueue();
  if (q.CaretHwnd != hwnd || q.CaretPaintHidden) return;
  q.CaretPaintHidden = true;
  if (q.CaretOn) Invert(q);
}

void CaretAfterPaint(HWND hwnd) {
  TThreadQueue& q = CurrentQueue();
  if (q.CaretHwnd != hwnd || !q.CaretPaintHidden) return;
  q.CaretPaintHidden = false;
  if (q.CaretHide == 0) Invert(q);
}

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return FALSE;
  // The caret belongs to the calling thread.
  if (w->Queue.get() != &CurrentQueue()) {
    SetLastError(5);  // ERROR_ACCESS_DENIED
    return FALSE;
  }
  DestroyCaret();
  TThreadQueue& q = CurrentQueue();
  if (bitmap && bitmap != reinterpret_cast<HBITMAP>(1)) {
    BITMAP bm{};
    if (GetObjectA(bitmap, sizeof(bm), &bm)) {
      width = bm.bmWidth;
      height = bm.bmHeight;
    }
  }
  q.CaretHwnd = hwnd;
  q.CaretBitmap = bitmap;
  q.CaretWidth = width ? width : GetSystemMetrics(SM_CXBORDER);
  q.CaretHeight = height ? height : GetSystemMetrics(SM_CYBORDER);
  q.CaretPos = POINT();
  q.CaretHide = 1;
  q.CaretOn = false;
  q.CaretPaintHidden = false;
  return TRUE;
}

BOOL DestroyCaret() {
  TThreadQueue& q = CurrentQueue();
  if (!q.CaretHwnd) return FALSE;
  if (q.CaretOn && !q.CaretPaintHidden) Invert(q);
  KillSystemTimer(q.CaretHwnd, kBlinkTimer);
  q.CaretHwnd = nullptr;
  q.CaretBitmap = nullptr;
  q.CaretOn = false;
  q.CaretHide = 1;
  return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
  TThreadQueue& q = CurrentQueue();
  if (!q.CaretHwnd || (hwnd && hwnd != q.CaretHwnd) || q.CaretHide == 0) return FALSE;
  if (--q.CaretHide == 0) {
    if (!q.CaretOn && !q.CaretPaintHidden) Invert(q);
    StartBlink(q);
  }
  return TRUE;
}

BOOL HideCaret(HWND hwnd) {
  TThreadQueue& q = CurrentQueue();
  if (!q.CaretHwnd || (hwnd && hwnd != q.CaretHwnd)) return FALSE;
  if (q.CaretHide++ == 0) {
    if (q.CaretOn && !q.CaretPaintHidden) Invert(q);
    KillSystemTimer(q.CaretHwnd, kBlinkTimer);
  }
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  TThreadQueue& q = CurrentQueue();
  if (!q.CaretHwnd) return FALSE;
  bool on = q.CaretOn && !q.CaretPaintHidden;
  if (on) Invert(q);
  q.CaretPos = POINT(x, y);
  if (q.CaretHide == 0 && !q.CaretPaintHidden) {
    Invert(q);
    StartBlink(q);
  }
  return TRUE;
}

BOOL GetCaretPos(LPPOINT point) {
  if (!point) return FALSE;
  *point = CurrentQueue().CaretPos;
  return TRUE;
}

UINT GetCaretBlinkTime() { return g_blinkTime; }

BOOL SetCaretBlinkTime(UINT ms) {
  g_blinkTime = ms ? ms : 530;
  return TRUE;
}
