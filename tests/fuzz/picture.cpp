// The framework's picture classes: the first byte picks the class that
// loads the rest from a stream (bitmap, icon, JPEG image, or a picture's
// stored data, which names its class); the result is drawn, masked and streamed back out.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/graphics.h"
#include "platform/forms/icon.h"
#include "platform/forms/jpeg.h"
#include "platform/forms/picture.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

namespace {
void Exercise(TGraphic& graphic, bool transparent) {
  graphic.SetTransparent(transparent);
  TBitmap canvas(16, 16);
  canvas.Canvas()->Draw(0, 0, &graphic);
  canvas.Canvas()->StretchDraw(TRect(0, 0, 7, 5), &graphic);
  TMemoryStream out;
  graphic.SaveToStream(&out);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartGraphics();
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  TStringStream stream(AnsiString(reinterpret_cast<const char*>(data + 1), size - 1));
  try {
    switch (mode % 4) {
      case 0: {
        TBitmap bitmap;
        bitmap.LoadFromStream(&stream);
        bitmap.MaskHandle();
        Exercise(bitmap, mode & 4);
        break;
      }
      case 1: {
        TIcon icon;
        icon.LoadFromStream(&stream);
        Exercise(icon, mode & 4);
        break;
      }
      case 2: {
        TJPEGImage jpeg;
        jpeg.LoadFromStream(&stream);
        Exercise(jpeg, mode & 4);
        break;
      }
      default: {
        TPicture picture;
        picture.ReadData(&stream);
        if (picture.Graphic()) Exercise(*picture.Graphic(), mode & 4);
        break;
      }
    }
  } catch (const Exception&) {
  }
  return 0;
}
