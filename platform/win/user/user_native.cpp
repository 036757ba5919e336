// Native windows and surfaces of top-level windows, and the one inlet of
// native events. Native windows exist for the main thread's visible
// top-level windows when the backend shows windows; the main thread then
// waits for work in the backend, so that native events wake it.
#include "platform/win/user/user_native.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/backend/backend.h"
#include "platform/rtl/threads.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/user/user_nonclient.h"
#include "platform/win/user/user_paint.h"
#include "platform/win/user/user_sysinfo.h"
#include "platform/win/user/user_test_seams.h"

namespace rtl::detail {
namespace {

using namespace rtl::backend;

std::atomic<IBackend*> g_native{nullptr};
// Read by any thread (the desktop asks for the screens), set once by the main one.
std::atomic<bool> g_attached{false};
// Activations asked of the native windows whose focus events have not
// come back yet, oldest first. Several may be on their way at once (a modal
// form closes and another form shows): each answer must be recognised as
// ours, or the window system would take it for the user's choice and ask
// again, and the two would hand the activation back and forth for ever.
std::vector<HWND> g_requestedActivations;
constexpr size_t kMaxRequestedActivations = 16;
HWND g_grab = nullptr;
std::vector<HWND> g_stack;  // native stacking order last applied, bottom first

std::vector<rtl::testing::TScreen> ScreensOf(IBackend& b) {
  std::vector<rtl::testing::TScreen> screens;
  for (const TScreenInfo& s : b.Screens()) screens.push_back({s.Bounds, s.WorkArea, s.Primary, s.Name});
  return screens;
}

IBackend* Native() {
  if (!g_attached && CurrentThreadId() == MainThreadID) {
    g_attached = true;
    IBackend& b = SystemBackend();
    if (b.HasWindows()) {
      SetBackendScreenList(ScreensOf(b));
      g_native = &b;
      CurrentQueue().UsesBackend = true;
    }
  }
  return g_native;
}

TNativeKind KindOf(const TWnd* w) {
  if ((w->Style & WS_POPUP) && !HasCaption(w) && (w->ExStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST)))
    return nkPopup;
  if (w->ExStyle & WS_EX_TOOLWINDOW) return nkTool;
  return nkNormal;
}

// An icon or cursor as straight-alpha pixels: the colour bitmap, with the
// mask as alpha when the colour carries none.
bool ImageOfIcon(HICON icon, TNativeImage& out) {
  ICONINFO ii{};
  if (!icon || !GetIconInfo(icon, &ii)) return false;
  BITMAP bm{};
  HBITMAP src = ii.hbmColor ? ii.hbmColor : ii.hbmMask;
  GetObjectA(src, sizeof bm, &bm);
  int w = bm.bmWidth, h = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
  auto read = [&](HBITMAP b, int rows, std::vector<uint32_t>& px) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -rows;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    px.assign(static_cast<size_t>(w) * rows, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    GetDIBits(dc, b, 0, static_cast<UINT>(rows), px.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
  };
  std::vector<uint32_t> color, mask;
  read(ii.hbmMask, ii.hbmColor ? h : h * 2, mask);
  if (ii.hbmColor) read(ii.hbmColor, h, color);
  else color.assign(mask.begin() + static_cast<ptrdiff_t>(w) * h, mask.end());
  bool anyAlpha = std::any_of(color.begin(), color.end(), [](uint32_t p) { return (p >> 24) != 0; });
  out.Width = w;
  out.Height = h;
  out.HotX = static_cast<int>(ii.xHotspot);
  out.HotY = static_cast<int>(ii.yHotspot);
  out.Pixels.resize(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < out.Pixels.size(); ++i) {
    uint32_t c = color[i] & 0x00FFFFFF;
    uint32_t a = anyAlpha ? (color[i] >> 24) : ((mask[i] & 0x00FFFFFF) ? 0 : 255);
    out.Pixels[i] = (a << 24) | c;
  }
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  return true;
}

void Restack() {
  std::vector<HWND> order;
  {
    std::lock_guard<std::recursive_mutex> g(TreeLock());
    auto& list = Desktop()->Children;
    for (auto it = list.rbegin(); it != list.rend(); ++it)
      if ((*it)->Native && (*it)->Visible()) order.push_back((*it)->Handle);
  }
  if (order == g_stack) return;
  g_stack = order;
  for (HWND h : order)
    if (TWnd* t = GetWndNoError(h)) t->Native->StackAbove(nullptr);
}

bool MainThreadWindow(const TWnd* w) {
  return w->IsTopLevel() && w->Queue && w->Queue->ThreadId == MainThreadID && CurrentThreadId() == MainThreadID;
}

}  // namespace

IBackend& SystemBackend() {
  static std::once_flag once;
  std::call_once(once, [] { Backend().SetEventHandler(HandleNativeEvent); });
  return Backend();
}

void SyncNativeWindow(TWnd* w) {
  if (!MainThreadWindow(w)) return;
  IBackend* b = Native();
  if (!b) return;
  bool minimized = (w->Style & WS_MINIMIZE) != 0;
  bool show = w->Visible() && (minimized || (w->Width() > 0 && w->Height() > 0));
  if (!show) {
    if (w->Native) {
      if (g_grab == w->Handle) {
        w->Native->GrabPointer(false);
        g_grab = nullptr;
      }
      w->Native->Hide();
    }
    return;
  }
  int kind = static_cast<int>(KindOf(w));
  bool topmost = (w->ExStyle & WS_EX_TOPMOST) != 0;
  if (w->Native && (w->NativeKind != kind || w->NativeTopmost != topmost)) DropNativeWindow(w);
  if (!w->Native) {
    TNativeParams p;
    p.Bounds = minimized ? w->NormalRect : WindowScreenRect(w);
    p.Kind = static_cast<TNativeKind>(kind);
    p.Topmost = topmost;
    p.Alpha = (w->ExStyle & WS_EX_LAYERED) != 0;
    p.Title = w->Text;
    w->Native = b->CreateNativeWindow(p, reinterpret_cast<uintptr_t>(w->Handle));
    if (!w->Native) return;
    w->NativeKind = kind;
    w->NativeTopmost = topmost;
    NativeIconChanged(w);
    NativeShapeChanged(w);
    NativeOpacityChanged(w);
    w->Native->AcceptDrops((w->ExStyle & WS_EX_ACCEPTFILES) != 0);
    NativeCursorChanged();
  }
  if (!minimized) w->Native->SetBounds(WindowScreenRect(w));
  w->Native->SetState(minimized ? nsMinimized : nsNormal);
  w->Native->Show(false);
  Restack();
  if (w->Surface) MarkDamage(w, RECT(0, 0, w->SurfaceWidth, w->SurfaceHeight));
}

void DropNativeWindow(TWnd* w) {
  if (!w->Native) return;
  if (g_grab == w->Handle) g_grab = nullptr;
  auto& r = g_requestedActivations;
  r.erase(std::remove(r.begin(), r.end(), w->Handle), r.end());
  w->Native.reset();
  g_stack.erase(std::remove(g_stack.begin(), g_stack.end(), w->Handle), g_stack.end());
}

void NativeStyleChanged(TWnd* w) {
  if (w->IsTopLevel()) SyncNativeWindow(w);
  if (w->Native) w->Native->AcceptDrops((w->ExStyle & WS_EX_ACCEPTFILES) != 0);
}

void NativeActivate(TWnd* w) {
  if (!w->Native) return;
  auto& r = g_requestedActivations;
  // Requests whose answers never come (a window hidden meanwhile) must not
  // pile up.
  if (r.size() >= kMaxRequestedActivations) r.erase(r.begin());
  r.push_back(w->Handle);
  w->Native->Activate();
}

void NativeFlush(TWnd* top, const RECT& damage) {
  if (!top->Native || !top->Surface) return;
  void* bits = nullptr;
  int width = 0, height = 0, stride = 0;
  if (!GdiGetSurfaceBits(top->Surface, &bits, &width, &height, &stride)) return;
  top->Native->Flush(bits, width, height, stride, damage, top->Layered);
}

void NativeTitleChanged(TWnd* w) {
  if (w->Native) w->Native->SetTitle(w->Text);
}

void NativeIconChanged(TWnd* w) {
  if (!w->Native) return;
  HICON icon = w->IconBig ? w->IconBig : w->IconSmall ? w->IconSmall : w->Class->Icon;
  TNativeImage img;
  if (ImageOfIcon(icon, img)) w->Native->SetIcon(img);
}

void NativeShapeChanged(TWnd* w) {
  if (!w->Native) return;
  std::vector<TRect> rects;
  if (w->WindowRgn) rects = HrgnToRegion(w->WindowRgn).Rects();
  w->Native->SetShape(rects);
}

void NativeOpacityChanged(TWnd* w) {
  if (!w->Native) return;
  bool constant = w->Layered || (w->LayeredFlags & LWA_ALPHA);
  w->Native->SetOpacity(constant && (w->ExStyle & WS_EX_LAYERED) ? w->Alpha / 255.0 : 1.0);
  if (w->Layered && w->Surface) MarkDamage(w, RECT(0, 0, w->SurfaceWidth, w->SurfaceHeight));
}

void NativeCaptureChanged(TWnd* w) {
  if (g_grab) {
    if (TWnd* g = GetWndNoError(g_grab))
      if (g->Native) g->Native->GrabPointer(false);
    g_grab = nullptr;
  }
  if (!w) return;
  // A popup that holds capture keeps the pointer for the application, so
  // that a click outside it still reaches it.
  TWnd* top = TopLevelOf(w);
  if ((top->Style & WS_POPUP) && top->Native) {
    top->Native->GrabPointer(true);
    g_grab = top->Handle;
  }
}

void NativeCursorChanged() {
  if (!g_native) return;
  TCursorShape shape = ncArrow;
  TNativeImage img;
  HCURSOR c = GetCursor();
  uintptr_t id = 0;
  if (CursorHidden() || !c) {
    shape = ncBlank;
  } else if (IsSystemCursor(c, &id)) {
    switch (id) {
      case 32513: shape = ncIBeam; break;
      case 32514: shape = ncWait; break;
      case 32515: shape = ncCross; break;
      case 32516: shape = ncUpArrow; break;
      case 32640:
      case 32646: shape = ncSizeAll; break;
      case 32642: shape = ncSizeNWSE; break;
      case 32643: shape = ncSizeNESW; break;
      case 32644: shape = ncSizeWE; break;
      case 32645: shape = ncSizeNS; break;
      case 32648: shape = ncNo; break;
      case 32649: shape = ncHand; break;
      case 32650: shape = ncAppStarting; break;
      case 32651: shape = ncHelp; break;
      default: shape = ncArrow; break;
    }
  } else if (ImageOfIcon(c, img)) {
    shape = ncCustom;
  }
  for (TWnd* t : TChildSnapshot(Desktop()))
    if (t->Native) t->Native->SetCursor(shape, shape == ncCustom ? &img : nullptr);
}

void AttachBackendScreens() { Native(); }

void NativeSetCursorPos(POINT p) {
  if (IBackend* b = g_native) b->SetCursorPos(p);
}

void BackendWait(int timeoutMs) {
  if (IBackend* b = g_native) b->Wait(timeoutMs);
}

void BackendProcessEvents() {
  if (IBackend* b = g_native) b->ProcessEvents();
}

void WakeBackend() {
  if (IBackend* b = g_native) b->Wake();
}

bool WritePng(const AnsiString& path, const void* bits, int width, int height, int stride) {
  return rtl::backend::WritePng(path, bits, width, height, stride);
}

void SystemBeep() {
  if (IBackend* b = g_native) b->Beep();
}

void HandleNativeEvent(const TNativeEvent& e) {
  TWnd* w = GetWndNoError(reinterpret_cast<HWND>(e.Window));
  switch (e.Kind) {
    case neMouseMove:
    case neMouseDown:
    case neMouseUp:
    case neWheel:
    case neKeyDown:
    case neKeyUp:
      HandleNativeInput(e);
      break;
    case neLeave: {
      TRawInput in;
      in.Kind = rkLeave;
      in.Pt = CursorPosition();
      in.Time = static_cast<DWORD>(ClockNow());
      PushRawInput(in);
      break;
    }
    case neExpose:
      if (w && w->Surface) NativeFlush(w, e.Rect);
      break;
    case neMoved:
    case neResized:
      if (w && !(w->Style & WS_MINIMIZE) && WindowScreenRect(w) != e.Rect)
        SetWindowPosImpl(w, nullptr, e.Rect.Left, e.Rect.Top, e.Rect.Width(), e.Rect.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case neFocusIn:
      if (!w) break;
      {
        // The answer to one of our requests; the older ones are answered
        // or lost by now.
        auto& r = g_requestedActivations;
        auto it = std::find(r.begin(), r.end(), w->Handle);
        if (it != r.end()) {
          r.erase(r.begin(), it + 1);
          if (AppIsActive()) break;
        }
      }
      AppActivationChanged(w, true);
      break;
    case neFocusOut:
      AppActivationChanged(nullptr, false);
      break;
    case neClose:
      if (!w) break;
      if (w->Style & WS_DISABLED) {
        // A disabled window refuses to close, as it refuses a click: the
        // window that holds it disabled comes up instead.
        PostTo(w->Queue, w->Handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(w->Handle),
               MAKELPARAM(HTERROR, WM_LBUTTONDOWN));
        break;
      }
      PostTo(w->Queue, w->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case neStateChanged:
      if (!w) break;
      if (e.State == nsMinimized && !(w->Style & WS_MINIMIZE))
        ShowWindowImpl(w, SW_MINIMIZE);
      else if (e.State == nsNormal && (w->Style & WS_MINIMIZE))
        ShowWindowImpl(w, SW_RESTORE);
      break;
    case neScreensChanged:
      if (IBackend* b = g_native) {
        SetBackendScreenList(ScreensOf(*b));
        for (TWnd* t : TChildSnapshot(Desktop()))
          PostTo(t->Queue, t->Handle, WM_DISPLAYCHANGE, 32, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
      }
      break;
    case neClipboardChanged:
      ClipboardChanged();
      break;
    case neDrop:
      if (w) DropFiles(w, e.Pos, e.Files);
      break;
  }
}

}  // namespace rtl::detail
