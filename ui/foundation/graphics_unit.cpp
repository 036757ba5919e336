#include "ui/foundation/graphics_unit.h"

#include <cstdint>
#include <span>

#include "platform/rtl/classes.h"
#include "platform/win/modules.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/dpi_scaling.h"

namespace {

Integer StartCount = 0;
bool ShuttingDown = false;
HMODULE Msimg32 = nullptr;
TcxAlphaBlendFunc AlphaBlendProc = nullptr;

// Classes of the unit that streamed properties create by class name.
std::span<TClass (*const)()> StreamedClasses() {
  static TClass (*const classes[])() = {&cx_graphics_detail::BitmapClass, &cx_graphics_detail::Bitmap32Class};
  return classes;
}

}  // namespace

TcxAlphaBlendFunc cxAlphaBlendProc() { return AlphaBlendProc; }

bool cxGraphicsShuttingDown() { return ShuttingDown; }

void cx_graphics_detail::StartGraphics() {
  if (StartCount++ > 0) return;
  ShuttingDown = false;
  Msimg32 = LoadLibraryA("msimg32.dll");
  AlphaBlendProc = Msimg32 ? reinterpret_cast<TcxAlphaBlendFunc>(GetProcAddress(Msimg32, "AlphaBlend")) : nullptr;
  for (TClass (*streamed)() : StreamedClasses()) RegisterClass(streamed());
  ReadScreenPixelsPerInch();
}

void cx_graphics_detail::StopGraphics() {
  if (StartCount == 0 || --StartCount > 0) return;
  ShuttingDown = true;
  FreeSharedCanvases();
  AlphaBlendProc = nullptr;
  // Values up to 32 are the error codes an old loader returned for a handle.
  if (reinterpret_cast<uintptr_t>(Msimg32) > 32) FreeLibrary(Msimg32);
  Msimg32 = nullptr;
}
