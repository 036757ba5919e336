// The picture codecs below the window layer: every decoder through
// DecodeImage (each frame of a multi-frame file, each icon entry), packed
// DIBs, and the picture-file functions the framework's graphics use.
#include <cstddef>
#include <cstdint>

#include "platform/backend/codecs.h"
#include "platform/win/gdi/picture_codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rtl::backend::TDecodedImage image;
  if (rtl::backend::DecodeImage(data, size, image)) {
    for (int frame = 1; frame < image.FrameCount && frame < 4; ++frame) {
      rtl::backend::TDecodedImage other;
      rtl::backend::DecodeImage(data, size, other, nullptr, frame);
    }
  }
  rtl::backend::DecodePackedDib(data, size, image);
  std::vector<uint32_t> pixels;
  TPictureInfo info;
  DecodePicture(data, size, pixels, info);
  if (HBITMAP dib = DecodePictureToDib(data, size, true)) DeleteObject(dib);
  return 0;
}
