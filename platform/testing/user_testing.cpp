// Test support: input injected through the native inlet, and pictures of
// windows taken from their surfaces.
#include "platform/testing/user_testing.h"

#include <cstring>

#include "platform/backend/backend.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_native.h"
#include "platform/win/user/user_paint.h"

namespace rtl::testing {
namespace {

using rtl::backend::TNativeEvent;

void Send(TNativeEvent e) { rtl::detail::HandleNativeEvent(e); }

// The characters of the US layout that need Shift.
bool Shifted(char c) {
  SHORT v = VkKeyScanA(c);
  return v != -1 && (v & 0x100);
}

}  // namespace

bool UseHeadlessBackend() {
  if (rtl::backend::BackendChosen()) return false;
  rtl::backend::SetBackend(rtl::backend::CreateHeadlessBackend());
  return true;
}

bool HasNativeWindow(HWND hwnd) {
  rtl::detail::TWnd* w = rtl::detail::GetWndNoError(hwnd);
  return w && w->Native && w->Visible();
}

bool SimulateNativeInput(HWND hwnd, rtl::backend::TNativeEventKind kind, POINT screen, int value,
                         const AnsiString& text, int modifiers) {
  rtl::detail::TWnd* w = rtl::detail::GetWndNoError(hwnd);
  if (!w) return false;
  w = rtl::detail::TopLevelOf(w);
  if (!w->Native) return false;
  TNativeEvent e;
  e.Kind = kind;
  e.Pos = screen;
  e.Button = value;
  e.Delta = value;
  e.Vk = static_cast<uint32_t>(value);
  e.Text = text;
  e.Modifiers = modifiers;
  return w->Native->Simulate(e);
}

void InjectMouseMove(POINT screen) {
  TNativeEvent e;
  e.Kind = rtl::backend::neMouseMove;
  e.Pos = screen;
  Send(e);
}

void InjectMouseButton(TInjectButton button, bool down, POINT screen) {
  TNativeEvent e;
  e.Kind = down ? rtl::backend::neMouseDown : rtl::backend::neMouseUp;
  e.Button = static_cast<int>(button);
  e.Pos = screen;
  Send(e);
}

void InjectClick(POINT screen, TInjectButton button) {
  InjectMouseMove(screen);
  InjectMouseButton(button, true, screen);
  InjectMouseButton(button, false, screen);
}

void InjectWheel(POINT screen, int delta, bool horizontal) {
  TNativeEvent e;
  e.Kind = rtl::backend::neWheel;
  e.Pos = screen;
  e.Delta = delta;
  e.Horizontal = horizontal;
  Send(e);
}

void InjectKey(UINT vk, bool down) {
  TNativeEvent e;
  e.Kind = down ? rtl::backend::neKeyDown : rtl::backend::neKeyUp;
  e.Vk = vk;
  Send(e);
}

void InjectKey(UINT vk, bool down, const AnsiString& text) {
  TNativeEvent e;
  e.Kind = down ? rtl::backend::neKeyDown : rtl::backend::neKeyUp;
  e.Vk = vk;
  e.Text = text;
  e.HasText = true;
  Send(e);
}

void InjectKeyPress(UINT vk) {
  InjectKey(vk, true);
  InjectKey(vk, false);
}

void InjectText(const AnsiString& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    SHORT v = c < 0x80 ? VkKeyScanA(static_cast<char>(c)) : -1;
    if (v == -1) {
      // Beyond the layout: one key carrying the whole character.
      size_t n = 1;
      while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
      InjectKey(VK_PACKET, true, text.substr(i, n));
      InjectKey(VK_PACKET, false);
      i += n - 1;
      continue;
    }
    bool shift = Shifted(static_cast<char>(c));
    bool ctrl = (v & 0x200) != 0;
    if (shift) InjectKey(VK_SHIFT, true);
    if (ctrl) InjectKey(VK_CONTROL, true);
    InjectKey(static_cast<UINT>(v & 0xFF), true, AnsiString(1, static_cast<char>(c)));
    InjectKey(static_cast<UINT>(v & 0xFF), false);
    if (ctrl) InjectKey(VK_CONTROL, false);
    if (shift) InjectKey(VK_SHIFT, false);
  }
}

POINT ClientPoint(HWND hwnd, int x, int y) {
  POINT p(x, y);
  ClientToScreen(hwnd, &p);
  return p;
}

HBITMAP CaptureWindow(HWND hwnd, bool withFrame) {
  using namespace rtl::detail;
  TWnd* w = GetWndNoError(hwnd);
  if (!w) return nullptr;
  TWnd* top = TopLevelOf(w);
  EnsureSurface(top);
  RECT area = SurfaceRect(w, withFrame);
  int width = std::max(1, area.Width()), height = std::max(1, area.Height());
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!copy) return nullptr;
  void* src = nullptr;
  int sw = 0, sh = 0, ss = 0, ds = 0;
  if (GdiGetSurfaceBits(top->Surface, &src, &sw, &sh, &ss) && GdiGetSurfaceBits(copy, &bits, nullptr, nullptr, &ds)) {
    for (int y = 0; y < height; ++y) {
      int sy = area.Top + y;
      if (sy < 0 || sy >= sh) continue;
      int x0 = std::max(0, static_cast<int>(area.Left)), x1 = std::min(sw, static_cast<int>(area.Left) + width);
      if (x1 <= x0) continue;
      std::memcpy(static_cast<char*>(bits) + static_cast<ptrdiff_t>(y) * ds + (x0 - area.Left) * 4,
                  static_cast<const char*>(src) + static_cast<ptrdiff_t>(sy) * ss + x0 * 4, static_cast<size_t>(x1 - x0) * 4);
    }
  }
  return copy;
}

COLORREF WindowPixel(HWND hwnd, int x, int y, bool withFrame) {
  using namespace rtl::detail;
  TWnd* w = GetWndNoError(hwnd);
  if (!w) return 0xFFFFFFFF;
  TWnd* top = TopLevelOf(w);
  EnsureSurface(top);
  RECT area = SurfaceRect(w, withFrame);
  if (x < 0 || y < 0 || x >= area.Width() || y >= area.Height()) return 0xFFFFFFFF;
  void* src = nullptr;
  int sw = 0, sh = 0, ss = 0;
  if (!GdiGetSurfaceBits(top->Surface, &src, &sw, &sh, &ss)) return 0xFFFFFFFF;
  int sx = area.Left + x, sy = area.Top + y;
  if (sx < 0 || sy < 0 || sx >= sw || sy >= sh) return 0xFFFFFFFF;
  uint32_t p = *reinterpret_cast<const uint32_t*>(static_cast<const char*>(src) + static_cast<ptrdiff_t>(sy) * ss + sx * 4);
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool SaveWindowPng(HWND hwnd, const AnsiString& path, bool withFrame) {
  HBITMAP b = CaptureWindow(hwnd, withFrame);
  if (!b) return false;
  void* bits = nullptr;
  int w = 0, h = 0, s = 0;
  bool ok = rtl::detail::GdiGetSurfaceBits(b, &bits, &w, &h, &s) && rtl::detail::WritePng(path, bits, w, h, s);
  DeleteObject(b);
  return ok;
}

}  // namespace rtl::testing
