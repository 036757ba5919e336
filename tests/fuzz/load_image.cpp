// LoadImage from a file: bitmaps with each loading flag, icons and
// cursors; then icon resources through CreateIconFromResourceEx. What
// loads is drawn once.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"

namespace {
void DrawBitmap(HBITMAP b) {
  HDC screen = GetDC(nullptr);
  HDC source = CreateCompatibleDC(screen), target = CreateCompatibleDC(screen);
  HBITMAP surface = CreateCompatibleBitmap(screen, 8, 8);
  HGDIOBJ oldSource = SelectObject(source, b), oldTarget = SelectObject(target, surface);
  StretchBlt(target, 0, 0, 8, 8, source, 0, 0, 3, 3, SRCCOPY);
  SelectObject(source, oldSource);
  SelectObject(target, oldTarget);
  DeleteObject(surface);
  DeleteDC(source);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
}

void DrawIcon(HICON icon) {
  HDC screen = GetDC(nullptr);
  HDC target = CreateCompatibleDC(screen);
  HBITMAP surface = CreateCompatibleBitmap(screen, 16, 16);
  HGDIOBJ old = SelectObject(target, surface);
  DrawIconEx(target, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  SelectObject(target, old);
  DeleteObject(surface);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartGraphics();
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  const std::string path = fuzz::WriteScratchFile("image", data + 1, size - 1);
  static const UINT kBitmapFlags[] = {0, LR_CREATEDIBSECTION, LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT, LR_MONOCHROME};
  switch (mode % 3) {
    case 0:
      if (HANDLE b = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | kBitmapFlags[(mode >> 2) % 4])) {
        DrawBitmap(static_cast<HBITMAP>(b));
        DeleteObject(b);
      }
      break;
    case 1:
    case 2: {
      const UINT type = mode % 3 == 1 ? IMAGE_ICON : IMAGE_CURSOR;
      if (HANDLE icon = LoadImageA(nullptr, path.c_str(), type, 0, 0, LR_LOADFROMFILE)) {
        DrawIcon(static_cast<HICON>(icon));
        type == IMAGE_ICON ? DestroyIcon(static_cast<HICON>(icon)) : DestroyCursor(static_cast<HCURSOR>(icon));
      }
      std::vector<BYTE> resource(data + 1, data + size);
      if (HICON icon = CreateIconFromResourceEx(resource.data(), DWORD(resource.size()), type == IMAGE_ICON,
                                                0x00030000, 0, 0, 0)) {
        DrawIcon(icon);
        DestroyIcon(icon);
      }
      break;
    }
  }
  return 0;
}
