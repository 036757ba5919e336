// The object behind HICON and HCURSOR, and the system images.
#pragma once

#include <memory>
#include <vector>

#include "platform/win/gdi/gdi_objects.h"

namespace rtl::detail {

struct TIconObject {
  bool IsIcon = true;
  int Width = 0, Height = 0;
  int HotX = 0, HotY = 0;
  bool Alpha = false;       // Color holds straight per-pixel alpha
  bool Monochrome = false;  // made of monochrome AND/XOR masks
  bool Shared = false;      // loaded with LR_SHARED: never destroyed
  std::vector<uint32_t> Color;  // top row first (the XOR image of classic icons)
  std::vector<uint8_t> Mask;    // 1 = transparent (the AND mask)
};

// Holds the icon for as long as the caller keeps the reference.
THandleRef<TIconObject> GdiIcon(HICON icon);
HICON GdiAddIcon(std::unique_ptr<TIconObject> icon);

// OBM_ bitmaps and IDI_ icons of the system, drawn in the classic look.
HBITMAP GdiSystemBitmap(int id);
HICON GdiSystemIcon(int id, int cx, int cy);

}  // namespace rtl::detail
