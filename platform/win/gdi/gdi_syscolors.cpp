// System colours: the classic scheme and their brushes.
#include <mutex>

#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/gdi/gdi_objects.h"

namespace rtl::detail {

namespace {

constexpr int kSysColorCount = COLOR_MENUBAR + 1;

struct TSysColors {
  std::mutex Lock;
  COLORREF Colors[kSysColorCount];
  HBRUSH Brushes[kSysColorCount] = {};
};

TSysColors& SysColors() {
  static TSysColors* s = [] {
    auto* t = new TSysColors;
    const COLORREF classic[kSysColorCount] = {
        RGB(212, 208, 200),  // COLOR_SCROLLBAR
        RGB(58, 110, 165),   // COLOR_BACKGROUND
        RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
        RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
        RGB(212, 208, 200),  // COLOR_MENU
        RGB(255, 255, 255),  // COLOR_WINDOW
        RGB(0, 0, 0),        // COLOR_WINDOWFRAME
        RGB(0, 0, 0),        // COLOR_MENUTEXT
        RGB(0, 0, 0),        // COLOR_WINDOWTEXT
        RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
        RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
        RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
        RGB(128, 128, 128),  // COLOR_APPWORKSPACE
        RGB(10, 36, 106),    // COLOR_HIGHLIGHT
        RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
        RGB(212, 208, 200),  // COLOR_BTNFACE
        RGB(128, 128, 128),  // COLOR_BTNSHADOW
        RGB(128, 128, 128),  // COLOR_GRAYTEXT
        RGB(0, 0, 0),        // COLOR_BTNTEXT
        RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
        RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
        RGB(64, 64, 64),     // COLOR_3DDKSHADOW
        RGB(212, 208, 200),  // COLOR_3DLIGHT
        RGB(0, 0, 0),        // COLOR_INFOTEXT
        RGB(255, 255, 225),  // COLOR_INFOBK
        RGB(181, 181, 181),  // (unused index 25)
        RGB(0, 0, 128),      // COLOR_HOTLIGHT
        RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
        RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
        RGB(10, 36, 106),    // COLOR_MENUHILIGHT
        RGB(212, 208, 200),  // COLOR_MENUBAR
    };
    for (int i = 0; i < kSysColorCount; ++i) {
      t->Colors[i] = classic[i];
      auto b = std::make_unique<TGdiBrush>();
      b->Color = classic[i];
      b->SysColor = i;
      b->Stock = true;
      t->Brushes[i] = static_cast<HBRUSH>(GdiAdd(std::move(b)));
    }
    return t;
  }();
  return *s;
}

}  // namespace

}  // namespace rtl::detail

using namespace rtl::detail;

DWORD GetSysColor(int index) {
  if (index < 0 || index >= kSysColorCount) return 0;
  TSysColors& s = SysColors();
  std::lock_guard<std::mutex> g(s.Lock);
  return s.Colors[index];
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index >= kSysColorCount) return nullptr;
  return SysColors().Brushes[index];
}

namespace rtl::detail {

// The window manager's SetSysColors changes the table here, then tells the
// windows.
bool GdiSetSysColors(int count, const INT* elements, const COLORREF* values) {
  if (count < 0 || (count && (!elements || !values))) return false;
  TSysColors& s = SysColors();
  std::lock_guard<std::mutex> g(s.Lock);
  for (int i = 0; i < count; ++i) {
    int e = elements[i];
    if (e < 0 || e >= kSysColorCount) continue;
    s.Colors[e] = values[i] & 0xFFFFFF;
    if (auto b = GdiBrush(s.Brushes[e])) b->Color = values[i] & 0xFFFFFF;
  }
  return true;
}

}  // namespace rtl::detail
