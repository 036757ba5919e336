// GIF through giflib. Reading composes frames onto the logical screen as
// their disposal methods say; writing quantises to at most 256 colours,
// one of which is transparent when the picture has transparent pixels.
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include <gif_lib.h>

#include "platform/backend/codecs_internal.h"

namespace rtl::backend::detail {
namespace {

struct TReader {
  const uint8_t* Data;
  size_t Size;
  size_t Pos;
};

int ReadFunc(GifFileType* gif, GifByteType* buf, int n) {
  auto* r = static_cast<TReader*>(gif->UserData);
  if (n <= 0) return 0;
  size_t count = std::min<size_t>(static_cast<size_t>(n), r->Size - r->Pos);
  std::memcpy(buf, r->Data + r->Pos, count);
  r->Pos += count;
  return static_cast<int>(count);
}

int WriteFunc(GifFileType* gif, const GifByteType* buf, int n) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
  return n;
}

bool GifFail(std::string* error, const char* what, int code) {
  if (error) {
    const char* text = GifErrorString(code);
    *error = text ? std::string(what) + ": " + text : std::string(what);
  }
  return false;
}

// Whether a frame of w x h pixels can be real: within the decoders' limit,
// and no more than its remaining bytes of LZW data can describe (a code
// stands for at most 4096 pixels and takes at least two bits).
bool FrameSizeAllowed(int w, int h, size_t remaining) {
  return SizeAllowed(w, h) && int64_t(w) * h <= int64_t(remaining) * 4 * 4096;
}

// Whether a logical screen can be real. Frames may cover only part of it,
// so small screens always pass; a larger one may not be out of all
// proportion to the file (the same bound as a frame's), since every pixel
// of it is decoded and drawn.
bool ScreenSizeAllowed(int w, int h, size_t fileSize) {
  const int64_t pixels = int64_t(w) * h;
  return SizeAllowed(w, h) && (pixels <= (int64_t(1) << 20) || pixels <= int64_t(fileSize) * 4 * 4096);
}

}  // namespace

bool DecodeGif(const uint8_t* data, size_t size, int frame, TDecodedImage& out, std::string* error) {
  TReader reader{data, size, 0};
  int err = 0;
  GifFileType* gif = DGifOpen(&reader, ReadFunc, &err);
  if (!gif) return GifFail(error, "Corrupt or truncated GIF image", err);
  struct TCloser {
    GifFileType* Gif;
    ~TCloser() {
      int e = 0;
      DGifCloseFile(Gif, &e);
    }
  } closer{gif};
  // Record by record rather than DGifSlurp, which allocates every frame at
  // its declared size before anything can look at it. Only the frames up
  // to the one asked for are decoded; later ones are counted.
  const int wanted = std::max(frame, 0);
  std::vector<std::vector<GifByteType>> rasters;
  std::vector<GraphicsControlBlock> controls;
  GraphicsControlBlock pending{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
  GifRecordType record = UNDEFINED_RECORD_TYPE;
  do {
    if (DGifGetRecordType(gif, &record) != GIF_OK) return GifFail(error, "Corrupt or truncated GIF image", gif->Error);
    if (record == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif) != GIF_OK) return GifFail(error, "Corrupt or truncated GIF image", gif->Error);
      const GifImageDesc& d = gif->Image;
      if (!FrameSizeAllowed(d.Width, d.Height, reader.Size - reader.Pos)) return Fail(error, "Invalid GIF image size");
      controls.push_back(pending);
      pending = GraphicsControlBlock{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
      if (gif->ImageCount - 1 <= wanted) {
        std::vector<GifByteType> raster(size_t(d.Width) * d.Height);
        if (d.Interlace) {
          static const int kOffsets[] = {0, 4, 2, 1}, kJumps[] = {8, 8, 4, 2};
          for (int pass = 0; pass < 4; ++pass)
            for (int y = kOffsets[pass]; y < d.Height; y += kJumps[pass])
              if (DGifGetLine(gif, raster.data() + size_t(y) * d.Width, d.Width) != GIF_OK)
                return GifFail(error, "Corrupt or truncated GIF image", gif->Error);
        } else if (DGifGetLine(gif, raster.data(), d.Width * d.Height) != GIF_OK) {
          return GifFail(error, "Corrupt or truncated GIF image", gif->Error);
        }
        rasters.push_back(std::move(raster));
      } else {
        int codeSize = 0;
        GifByteType* block = nullptr;
        if (DGifGetCode(gif, &codeSize, &block) != GIF_OK)
          return GifFail(error, "Corrupt or truncated GIF image", gif->Error);
        while (block)
          if (DGifGetCodeNext(gif, &block) != GIF_OK)
            return GifFail(error, "Corrupt or truncated GIF image", gif->Error);
      }
    } else if (record == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* ext = nullptr;
      if (DGifGetExtension(gif, &code, &ext) != GIF_OK)
        return GifFail(error, "Corrupt or truncated GIF image", gif->Error);
      if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) DGifExtensionToGCB(ext[0], ext + 1, &pending);
      while (ext)
        if (DGifGetExtensionNext(gif, &ext) != GIF_OK)
          return GifFail(error, "Corrupt or truncated GIF image", gif->Error);
    }
  } while (record != TERMINATE_RECORD_TYPE);
  if (gif->ImageCount < 1) return Fail(error, "GIF image without frames");
  if (frame >= gif->ImageCount) return Fail(error, "No such frame in the GIF image");
  int sw = gif->SWidth, sh = gif->SHeight;
  if (sw <= 0 || sh <= 0) {
    sw = gif->SavedImages[0].ImageDesc.Width;
    sh = gif->SavedImages[0].ImageDesc.Height;
  }
  if (!ScreenSizeAllowed(sw, sh, size)) return Fail(error, "Invalid GIF image size");

  TDecodedImage image;
  image.Format = iffGif;
  image.Width = sw;
  image.Height = sh;
  image.BitsPerPixel = 8;
  image.FrameCount = gif->ImageCount;
  image.Pixels.assign(size_t(sw) * sh, 0);
  std::vector<uint32_t> previous;
  for (int i = 0; i <= frame; ++i) {
    const GifImageDesc& d = gif->SavedImages[i].ImageDesc;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map || d.Width <= 0 || d.Height <= 0) return Fail(error, "Corrupt GIF image");
    const GifByteType* raster = rasters[size_t(i)].data();
    const GraphicsControlBlock& gcb = controls[size_t(i)];
    if (gcb.TransparentColor != NO_TRANSPARENT_COLOR) image.HasAlpha = true;
    if (gcb.DisposalMode == DISPOSE_PREVIOUS) previous = image.Pixels;
    const int x0 = std::max(0, d.Left), y0 = std::max(0, d.Top);
    const int x1 = std::min(sw, d.Left + d.Width), y1 = std::min(sh, d.Top + d.Height);
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        int index = raster[size_t(y - d.Top) * d.Width + (x - d.Left)];
        if (index == gcb.TransparentColor) continue;
        if (index >= map->ColorCount) {
          image.HasAlpha = true;
          continue;
        }
        const GifColorType& c = map->Colors[index];
        image.Pixels[size_t(y) * sw + x] = 0xFF000000u | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
      }
    if (i < frame) {
      if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
        for (int y = y0; y < y1; ++y) std::fill_n(image.Pixels.data() + size_t(y) * sw + x0, x1 - x0, 0u);
      } else if (gcb.DisposalMode == DISPOSE_PREVIOUS && !previous.empty()) {
        image.Pixels = previous;
      }
    }
    if (i == frame)
      for (int k = 0; k < map->ColorCount; ++k)
        image.Palette.push_back(0xFF000000u | (uint32_t(map->Colors[k].Red) << 16) |
                                (uint32_t(map->Colors[k].Green) << 8) | map->Colors[k].Blue);
  }
  // Pixels no frame covered show the transparent background.
  for (uint32_t p : image.Pixels)
    if ((p >> 24) == 0) {
      image.HasAlpha = true;
      break;
    }
  out = std::move(image);
  return true;
}

bool EncodeGif(const uint32_t* pixels, int width, int height, int stride, const TEncodeOptions& options,
               std::string& out, std::string* error) {
  const size_t n = size_t(width) * height;
  std::vector<GifByteType> indices(n);
  std::vector<bool> clear(n, false);
  bool anyClear = false;
  std::unordered_map<uint32_t, int> colours;
  bool exact = true;
  for (int y = 0; y < height; ++y) {
    const uint32_t* src = Row(pixels, stride, y);
    for (int x = 0; x < width; ++x) {
      size_t i = size_t(y) * width + x;
      if (options.Alpha && (src[x] >> 24) < 128) {
        clear[i] = anyClear = true;
        continue;
      }
      if (exact && colours.size() <= 256) colours.emplace(src[x] & 0xFFFFFFu, 0);
    }
  }
  const int limit = anyClear ? 255 : 256;
  exact = static_cast<int>(colours.size()) <= limit;
  std::vector<GifColorType> palette;
  if (exact) {
    std::vector<uint32_t> sorted;
    for (auto& c : colours) sorted.push_back(c.first);
    std::sort(sorted.begin(), sorted.end());
    for (uint32_t c : sorted) {
      colours[c] = static_cast<int>(palette.size());
      palette.push_back(GifColorType{GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c)});
    }
    for (int y = 0; y < height; ++y) {
      const uint32_t* src = Row(pixels, stride, y);
      for (int x = 0; x < width; ++x) {
        size_t i = size_t(y) * width + x;
        if (!clear[i]) indices[i] = static_cast<GifByteType>(colours[src[x] & 0xFFFFFFu]);
      }
    }
  } else {
    std::vector<GifByteType> r(n), g(n), b(n);
    for (int y = 0; y < height; ++y) {
      const uint32_t* src = Row(pixels, stride, y);
      for (int x = 0; x < width; ++x) {
        size_t i = size_t(y) * width + x;
        r[i] = GifByteType(src[x] >> 16), g[i] = GifByteType(src[x] >> 8), b[i] = GifByteType(src[x]);
      }
    }
    int count = limit;
    palette.resize(256);
    if (GifQuantizeBuffer(static_cast<unsigned>(width), static_cast<unsigned>(height), &count, r.data(), g.data(),
                          b.data(), indices.data(), palette.data()) != GIF_OK)
      return Fail(error, "GIF colour reduction failed");
    palette.resize(static_cast<size_t>(count));
  }
  int transparent = NO_TRANSPARENT_COLOR;
  if (anyClear) {
    transparent = static_cast<int>(palette.size());
    palette.push_back(GifColorType{0, 0, 0});
    for (size_t i = 0; i < n; ++i)
      if (clear[i]) indices[i] = static_cast<GifByteType>(transparent);
  }
  int mapSize = 2;
  while (mapSize < static_cast<int>(palette.size())) mapSize *= 2;
  palette.resize(static_cast<size_t>(mapSize), GifColorType{0, 0, 0});
  ColorMapObject* map = GifMakeMapObject(mapSize, palette.data());
  if (!map) return Fail(error, "GIF encoding failed");

  int err = 0;
  GifFileType* gif = EGifOpen(&out, WriteFunc, &err);
  if (!gif) {
    GifFreeMapObject(map);
    return GifFail(error, "GIF encoding failed", err);
  }
  EGifSetGifVersion(gif, true);
  bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
  if (ok && transparent != NO_TRANSPARENT_COLOR) {
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, transparent};
    GifByteType ext[4];
    size_t len = EGifGCBToExtension(&gcb, ext);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(len), ext) == GIF_OK;
  }
  ok = ok && EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
  for (int y = 0; y < height && ok; ++y) ok = EGifPutLine(gif, indices.data() + size_t(y) * width, width) == GIF_OK;
  int code = gif->Error;
  if (EGifCloseFile(gif, &err) != GIF_OK && ok) {
    ok = false;
    code = err;
  }
  GifFreeMapObject(map);
  if (!ok) {
    out.clear();
    return GifFail(error, "GIF encoding failed", code);
  }
  return true;
}

}  // namespace rtl::backend::detail
