// Enhanced metafile bits: taken in (every record's size checked), their
// records enumerated, and the picture played onto a small DIB and onto a
// recording DC, then the re-recorded picture played again.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "platform/win/gdi/gdi.h"

namespace {
void PlayOnto(HENHMETAFILE mf) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = 32;
  bi.bmiHeader.biHeight = -24;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT to{2, 3, 30, 21};
  PlayEnhMetaFile(dc, mf, &to);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bmp);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartGraphics();
  HENHMETAFILE mf = SetEnhMetaFileBits(static_cast<UINT>(size), data);
  if (!mf) return 0;
  ENHMETAHEADER header;
  GetEnhMetaFileHeader(mf, sizeof header, &header);
  EnumEnhMetaFile(
      nullptr, mf, [](HDC, HANDLETABLE*, const ENHMETARECORD*, int, LPARAM) { return 1; }, nullptr, nullptr);
  PlayOnto(mf);
  HDC recording = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  RECT to{0, 0, 40, 30};
  PlayEnhMetaFile(recording, mf, &to);
  HENHMETAFILE again = CloseEnhMetaFile(recording);
  if (again) {
    PlayOnto(again);
    DeleteEnhMetaFile(again);
  }
  DeleteEnhMetaFile(mf);
  return 0;
}
