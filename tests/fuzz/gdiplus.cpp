// GDI+ images from a stream: each frame of each dimension, a thumbnail, a
// locked read of the pixels, an HBITMAP copy, and drawing onto a bitmap.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "platform/rtl/streams.h"
#include "platform/win/gdiplus/gdiplus.h"
#include "platform/win/kernel/objidl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartGraphics();
  TMemoryStream memory;
  memory.WriteBuffer(data, static_cast<Integer>(size));
  memory.SetPosition(0);
  IStream* stream = new TStreamAdapter(&memory);
  stream->AddRef();
  GpImage* image = nullptr;
  if (GdipLoadImageFromStream(stream, &image) == Ok && image) {
    for (const GUID* dimension : {&FrameDimensionPage, &FrameDimensionTime}) {
      UINT frames = 0;
      if (GdipImageGetFrameCount(image, dimension, &frames) == Ok)
        for (UINT i = 0; i < frames && i < 4; ++i) GdipImageSelectActiveFrame(image, dimension, i);
    }
    GpImage* thumb = nullptr;
    if (GdipGetImageThumbnail(image, 12, 9, &thumb, nullptr, nullptr) == Ok && thumb) GdipDisposeImage(thumb);
    auto* bitmap = static_cast<GpBitmap*>(image);
    BitmapData locked{};
    GpRect all{0, 0, 0, 0};
    UINT w = 0, h = 0;
    GdipGetImageWidth(image, &w);
    GdipGetImageHeight(image, &h);
    all.Width = static_cast<INT>(w);
    all.Height = static_cast<INT>(h);
    if (GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, PixelFormat32bppARGB, &locked) == Ok)
      GdipBitmapUnlockBits(bitmap, &locked);
    HBITMAP hbm = nullptr;
    if (GdipCreateHBITMAPFromBitmap(bitmap, &hbm, 0) == Ok && hbm) DeleteObject(hbm);
    GpBitmap* target = nullptr;
    if (GdipCreateBitmapFromScan0(16, 16, 0, PixelFormat32bppPARGB, nullptr, &target) == Ok) {
      GpGraphics* g = nullptr;
      if (GdipGetImageGraphicsContext(target, &g) == Ok) {
        GdipDrawImageRectI(g, image, 0, 0, 16, 16);
        GdipDeleteGraphics(g);
      }
      GdipDisposeImage(target);
    }
    GdipDisposeImage(image);
  }
  stream->Release();
  return 0;
}
