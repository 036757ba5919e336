// Native Qt keys to the window system's virtual-key codes.
#pragma once

#include <cstdint>

namespace rtl::backend {

struct TKeyCode {
  uint32_t Vk = 0;
  uint32_t Scan = 0;
  bool Extended = false;
};

// key: Qt::Key; keypad: the key came from the numeric keypad; nativeScan:
// the X11 key code (evdev code + 8) or 0.
TKeyCode QtKeyToVk(int key, bool keypad, uint32_t nativeScan);
// The Qt key a virtual key comes from (the first one the table names);
// Qt::Key_unknown for none.
int VkToQtKey(uint32_t vk);

}  // namespace rtl::backend
