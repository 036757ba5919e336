// Start-up and shut-down, memory, and the entry point of unimplemented names.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/backend/codecs.h"
#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/gdiplus/gdiplus_internal.h"

namespace rtl::detail {
namespace {

std::atomic<ULONG_PTR> gNextToken{1};

// Icons may hold PNG images; GDI reads them through this.
bool DecodePngForGdi(const void* data, size_t size, int* width, int* height, std::vector<uint32_t>* pixels) {
  if (rtl::backend::SniffImageFormat(data, size) != rtl::backend::iffPng) return false;
  rtl::backend::TDecodedImage image;
  if (!rtl::backend::DecodeImage(data, size, image)) return false;
  *width = image.Width;
  *height = image.Height;
  *pixels = std::move(image.Pixels);
  return true;
}

}  // namespace

}  // namespace rtl::detail

using namespace rtl::detail;

GpStatus GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
  if (!token || !input) return InvalidParameter;
  if (input->GdiplusVersion < 1 || input->GdiplusVersion > 3) return UnsupportedGdiplusVersion;
  if (input->SuppressBackgroundThread && !output) return InvalidParameter;
  if (output) {
    output->NotificationHook = GdiplusNotificationHook;
    output->NotificationUnhook = GdiplusNotificationUnhook;
  }
  GdiSetPngDecoder(DecodePngForGdi);
  *token = gNextToken++;
  return Ok;
}

void GdiplusShutdown(ULONG_PTR) {}

// There is no background thread to hook into: the calls only hand out and
// take back a token.
GpStatus GdiplusNotificationHook(ULONG_PTR* token) {
  if (!token) return InvalidParameter;
  *token = gNextToken++;
  return Ok;
}

void GdiplusNotificationUnhook(ULONG_PTR) {}

void* GdipAlloc(size_t size) { return std::malloc(size ? size : 1); }

void GdipFree(void* ptr) { std::free(ptr); }

// ---- Bound by name, not implemented ----------------------------------------------------

GpStatus GdipCreatePathGradient(const GpPointF*, INT, GpWrapMode, GpPathGradient**) { return NotImplemented; }

GpStatus GdipCreateMetafileFromEmf(HENHMETAFILE, BOOL, GpMetafile**) { return NotImplemented; }

UINT GdipEmfToWmfBits(HENHMETAFILE, UINT, BYTE*, INT, INT) { return 0; }

GpStatus GdipPathIterRewind(GpPathIterator*) { return NotImplemented; }

GpStatus GdipWarpPath(GpPath*, GpMatrix*, const GpPointF*, INT, REAL, REAL, REAL, REAL, WarpMode, REAL) {
  return NotImplemented;
}
