// Icons and cursors as objects (mask plus colour image, 32-bit alpha or
// classic AND/XOR), their drawing, the ICO/CUR/BMP file formats, resources,
// and CopyImage/LoadImage.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/backend/codecs.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi_icons.h"
#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/kernel/handle_table.h"

namespace rtl::detail {

namespace {

constexpr int kDefaultIconSize = 32;

THandleTable<TIconObject>& Icons() {
  static THandleTable<TIconObject> table(THandleKind::Icon);
  return table;
}

std::mutex gPngLock;
TGdiPngDecoder gPngDecoder = nullptr;

HICON AddIcon(std::unique_ptr<TIconObject> icon) { return reinterpret_cast<HICON>(Icons().Add(std::move(icon))); }

THandleRef<TIconObject> GetIcon(HICON h) {
  return THandleRef<TIconObject>(Icons().Get(reinterpret_cast<uintptr_t>(h)));
}

uint16_t Rd16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Rd32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

// A 32-bit top-down DIB of the pixels.
HBITMAP Dib32(int w, int h, const std::vector<uint32_t>& px) {
  void* bits = nullptr;
  HBITMAP b = GdiCreateDib32(w, h, &bits);
  if (b && bits && !px.empty()) std::memcpy(bits, px.data(), px.size() * 4);
  return b;
}

// A monochrome bitmap from 0/1 values, top row first.
HBITMAP MonoBitmap(int w, int h, const std::vector<uint8_t>& bits) {
  int stride = ((w + 15) / 16) * 2;
  std::vector<uint8_t> data(size_t(stride) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (bits[size_t(y) * w + x]) data[size_t(y) * stride + x / 8] |= uint8_t(0x80 >> (x % 8));
  return CreateBitmap(w, h, 1, 1, data.data());
}

// Pixels of a bitmap as 32-bit values (top row first).
std::vector<uint32_t> ReadPixels(HBITMAP b, int& w, int& h) {
  auto bmp = GdiBitmap(b);
  if (!bmp) return {};
  w = bmp->Width;
  h = bmp->Height;
  std::vector<uint32_t> px(size_t(w) * h);
  for (int y = 0; y < h; ++y) DecodeRow(bmp->Format, bmp->Row(y), 0, w, px.data() + size_t(y) * w);
  return px;
}

std::vector<uint32_t> Resize(const std::vector<uint32_t>& src, int w, int h, int nw, int nh) {
  if (w == nw && h == nh) return src;
  std::vector<uint32_t> out(size_t(nw) * nh);
  for (int y = 0; y < nh; ++y)
    for (int x = 0; x < nw; ++x)
      out[size_t(y) * nw + x] = src[size_t((2 * y + 1) * h / (2 * nh)) * w + size_t((2 * x + 1) * w / (2 * nw))];
  return out;
}

// Builds an icon from an image (straight alpha when alpha is set) and an
// AND mask (1 = transparent), both top row first.
std::unique_ptr<TIconObject> MakeIcon(bool isIcon, int w, int h, std::vector<uint32_t> color,
                                      std::vector<uint8_t> andMask, bool alpha, int hotX, int hotY, int cx, int cy) {
  auto icon = std::make_unique<TIconObject>();
  int nw = cx > 0 ? cx : w, nh = cy > 0 ? cy : h;
  if (nw != w || nh != h) {
    color = Resize(color, w, h, nw, nh);
    std::vector<uint32_t> m(andMask.begin(), andMask.end());
    m = Resize(m, w, h, nw, nh);
    andMask.assign(m.begin(), m.end());
    hotX = hotX * nw / w;
    hotY = hotY * nh / h;
  }
  icon->IsIcon = isIcon;
  icon->Width = nw;
  icon->Height = nh;
  icon->HotX = isIcon ? nw / 2 : hotX;
  icon->HotY = isIcon ? nh / 2 : hotY;
  icon->Alpha = alpha;
  icon->Color = std::move(color);
  icon->Mask = std::move(andMask);
  return icon;
}

// One icon image: a DIB whose height counts the XOR and AND halves, or PNG.
std::unique_ptr<TIconObject> ParseIconImage(const uint8_t* data, size_t size, bool isIcon, int hotX, int hotY, int cx,
                                            int cy) {
  if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) {
    TGdiPngDecoder decode;
    {
      std::lock_guard<std::mutex> g(gPngLock);
      decode = gPngDecoder;
    }
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    if (decode) {
      if (!decode(data, size, &w, &h, &px)) return nullptr;
    } else {
      rtl::backend::TDecodedImage img;
      if (!rtl::backend::DecodeImage(data, size, img)) return nullptr;
      w = img.Width;
      h = img.Height;
      px = std::move(img.Pixels);
    }
    if (w <= 0 || h <= 0 || px.size() != size_t(w) * size_t(h)) return nullptr;
    std::vector<uint8_t> mask(px.size());
    for (size_t i = 0; i < px.size(); ++i) mask[i] = (px[i] >> 24) == 0;
    return MakeIcon(isIcon, w, h, std::move(px), std::move(mask), true, hotX, hotY, cx, cy);
  }
  if (size < sizeof(BITMAPINFOHEADER)) return nullptr;
  BITMAPINFOHEADER hdr;
  std::memcpy(&hdr, data, sizeof(hdr));
  if (hdr.biSize < 40 || hdr.biSize > size || hdr.biWidth <= 0 || hdr.biHeight <= 0 || hdr.biWidth > 4096 ||
      hdr.biHeight > 8192)
    return nullptr;
  int w = hdr.biWidth, h = hdr.biHeight / 2;
  if (h <= 0) return nullptr;
  TPixelFormat f;
  BITMAPINFOHEADER single = hdr;
  single.biHeight = h;
  std::vector<uint8_t> info(hdr.biSize + 256 * 4 + 12, 0);
  size_t colors = hdr.biBitCount <= 8 ? (hdr.biClrUsed ? hdr.biClrUsed : 1u << hdr.biBitCount) * 4
                  : hdr.biCompression == BI_BITFIELDS ? 12
                                                      : 0;
  if (hdr.biSize + colors > size || colors > 256 * 4) return nullptr;
  std::memcpy(info.data(), data, hdr.biSize + colors);
  std::memcpy(info.data(), &single, sizeof(single));
  if (!TPixelFormat::FromInfo(reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, f)) return nullptr;
  const uint8_t* xorBits = data + hdr.biSize + colors;
  size_t xorStride = size_t(f.RowBytes(w, 4)), andStride = size_t(((w + 31) / 32) * 4);
  size_t need = hdr.biSize + colors + xorStride * h;
  if (need > size) return nullptr;
  const uint8_t* andBits = data + need;
  bool hasAnd = need + andStride * h <= size;
  std::vector<uint32_t> color(size_t(w) * h);
  std::vector<uint8_t> mask(size_t(w) * h, 0);
  bool alpha = false;
  for (int y = 0; y < h; ++y) {
    int src = h - 1 - y;
    DecodeRow(f, xorBits + src * xorStride, 0, w, color.data() + size_t(y) * w);
    if (hasAnd)
      for (int x = 0; x < w; ++x) mask[size_t(y) * w + x] = (andBits[src * andStride + x / 8] >> (7 - x % 8)) & 1;
  }
  if (f.Bits == 32)
    for (uint32_t p : color)
      if (p >> 24) alpha = true;
  if (!alpha)
    for (uint32_t& p : color) p &= 0xFFFFFF;
  if (f.Bits == 1) {
    // A monochrome icon keeps its XOR bits as black/white values.
    auto icon = MakeIcon(isIcon, w, h, std::move(color), std::move(mask), false, hotX, hotY, cx, cy);
    if (icon) icon->Monochrome = true;
    return icon;
  }
  return MakeIcon(isIcon, w, h, std::move(color), std::move(mask), alpha, hotX, hotY, cx, cy);
}

struct TDirEntry {
  int Width, Height, Bits;
  int HotX, HotY;
  uint32_t Size, Offset;  // Offset is the resource id in a group directory
};

// Picks the entry closest to the size, preferring more colours.
int Pick(const std::vector<TDirEntry>& entries, int cx, int cy) {
  int best = -1;
  long bestScore = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const TDirEntry& e = entries[i];
    long score = std::abs(e.Width - cx) * 1000L + std::abs(e.Height - cy) * 1000L - e.Bits;
    if (e.Width < cx) score += 500;  // growing looks worse than shrinking
    if (best < 0 || score < bestScore) {
      best = static_cast<int>(i);
      bestScore = score;
    }
  }
  return best;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

// An icon or cursor file: directory, then images.
std::unique_ptr<TIconObject> IconFromFile(const std::vector<uint8_t>& d, bool isIcon, int cx, int cy) {
  if (d.size() < 6 || Rd16(d.data()) != 0) return nullptr;
  int type = Rd16(d.data() + 2), count = Rd16(d.data() + 4);
  if ((type != 1 && type != 2) || count <= 0 || d.size() < 6 + size_t(count) * 16) return nullptr;
  std::vector<TDirEntry> entries;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = d.data() + 6 + i * 16;
    TDirEntry t{e[0] ? e[0] : 256, e[1] ? e[1] : 256, type == 1 ? Rd16(e + 6) : 32, type == 2 ? Rd16(e + 4) : 0,
                type == 2 ? Rd16(e + 6) : 0, Rd32(e + 8), Rd32(e + 12)};
    if (t.Offset >= d.size() || t.Size > d.size() - t.Offset) continue;
    entries.push_back(t);
  }
  int i = Pick(entries, cx > 0 ? cx : kDefaultIconSize, cy > 0 ? cy : kDefaultIconSize);
  if (i < 0) return nullptr;
  const TDirEntry& e = entries[size_t(i)];
  return ParseIconImage(d.data() + e.Offset, e.Size, isIcon, e.HotX, e.HotY, cx, cy);
}

HBITMAP BitmapFromPackedDib(const uint8_t* p, size_t size, UINT flags) {
  if (size < sizeof(BITMAPINFOHEADER)) return nullptr;
  BITMAPINFOHEADER hdr;
  std::memcpy(&hdr, p, sizeof(hdr));
  if (hdr.biSize < 40 || hdr.biSize > size) return nullptr;
  // In 64 bits: a colour count times four wraps in 32.
  const size_t colors = hdr.biBitCount <= 8 ? size_t(hdr.biClrUsed ? hdr.biClrUsed : 1u << hdr.biBitCount) * 4
                        : (hdr.biCompression == BI_BITFIELDS && hdr.biSize < 52) ? 12
                                                                               : 0;
  TPixelFormat f;
  if (colors > size - hdr.biSize || !TPixelFormat::FromInfo(reinterpret_cast<const BITMAPINFO*>(p), DIB_RGB_COLORS, f))
    return nullptr;
  TDibExtent dib;
  if (!DibExtentOf(f, hdr.biWidth, hdr.biHeight, dib)) return nullptr;
  const int h = dib.Height;
  const size_t pixels = size - hdr.biSize - colors;
  if (pixels / dib.Stride < size_t(h)) return nullptr;
  std::vector<uint8_t> info(p, p + hdr.biSize + colors);
  auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
  if (flags & (LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT)) {
    // Fixed greys and the first pixel's colour become system colours.
    auto* table = reinterpret_cast<RGBQUAD*>(info.data() + hdr.biSize);
    int n = hdr.biBitCount <= 8 ? static_cast<int>(colors / 4) : 0;
    for (int i = 0; i < n; ++i) {
      COLORREF c = RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
      int sys = -1;
      if (flags & LR_LOADMAP3DCOLORS) {
        if (c == RGB(128, 128, 128)) sys = COLOR_3DSHADOW;
        if (c == RGB(192, 192, 192)) sys = COLOR_3DFACE;
        if (c == RGB(223, 223, 223)) sys = COLOR_3DLIGHT;
      }
      if (sys >= 0) {
        COLORREF v = GetSysColor(sys);
        table[i] = RGBQUAD{GetBValue(v), GetGValue(v), GetRValue(v), 0};
      }
    }
    if ((flags & LR_LOADTRANSPARENT) && n > 0) {
      const uint8_t* bits = p + hdr.biSize + colors;
      // The top-left pixel of a bottom-up image lives in the last row.
      const uint8_t* first = dib.TopDown ? bits : bits + dib.Stride * size_t(h - 1);
      int idx = hdr.biBitCount == 8 ? first[0] : hdr.biBitCount == 4 ? first[0] >> 4 : first[0] >> 7;
      COLORREF v = GetSysColor(COLOR_WINDOW);
      if (idx < n) table[idx] = RGBQUAD{GetBValue(v), GetGValue(v), GetRValue(v), 0};
    }
  }
  const uint8_t* bits = p + hdr.biSize + colors;
  if (flags & LR_CREATEDIBSECTION) {
    void* out = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, bi, DIB_RGB_COLORS, &out, nullptr, 0);
    if (b && out) std::memcpy(out, bits, dib.Bytes());
    return b;
  }
  HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HBITMAP b = (flags & LR_MONOCHROME) || hdr.biBitCount == 1
                  ? CreateBitmap(hdr.biWidth, h, 1, 1, nullptr)
                  : CreateCompatibleBitmap(screen, hdr.biWidth, h);
  GdiSetDIBits(b, 0, UINT(h), bits, pixels, bi, DIB_RGB_COLORS);
  DeleteDC(screen);
  return b;
}

HBITMAP BitmapFromFile(const std::vector<uint8_t>& d, UINT flags) {
  if (d.size() < 14 || d[0] != 'B' || d[1] != 'M') return nullptr;
  return BitmapFromPackedDib(d.data() + 14, d.size() - 14, flags);
}

// Shared images stay until the process ends, one per name and size.
std::mutex gSharedLock;
std::map<std::tuple<uintptr_t, std::string, UINT, int, int>, HANDLE> gShared;

std::string KeyOf(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
  return name;
}

HANDLE LoadFromResources(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  if (type == IMAGE_BITMAP) {
    HRSRC r = FindResource(instance, name, RT_BITMAP);
    if (!r) return nullptr;
    const auto* p = static_cast<const uint8_t*>(LockResource(LoadResource(instance, r)));
    return BitmapFromPackedDib(p, SizeofResource(instance, r), flags);
  }
  bool isIcon = type == IMAGE_ICON;
  HRSRC g = FindResource(instance, name, isIcon ? RT_GROUP_ICON : RT_GROUP_CURSOR);
  if (!g) return nullptr;
  auto* dir = static_cast<BYTE*>(LockResource(LoadResource(instance, g)));
  int id = LookupIconIdFromDirectoryEx(dir, isIcon, cx, cy, flags);
  if (!id) return nullptr;
  HRSRC img = FindResource(instance, MAKEINTRESOURCE(id), isIcon ? RT_ICON : RT_CURSOR);
  if (!img) return nullptr;
  auto* bits = static_cast<BYTE*>(LockResource(LoadResource(instance, img)));
  return CreateIconFromResourceEx(bits, SizeofResource(instance, img), isIcon, 0x00030000, cx, cy, flags);
}

}  // namespace

void GdiSetPngDecoder(TGdiPngDecoder decoder) {
  std::lock_guard<std::mutex> g(gPngLock);
  gPngDecoder = decoder;
}

THandleRef<TIconObject> GdiIcon(HICON icon) { return GetIcon(icon); }

bool GdiGetIconImage(HICON icon, int* width, int* height, int* hotX, int* hotY, std::vector<uint32_t>* pixels) {
  auto o = GetIcon(icon);
  if (!o) return false;
  if (width) *width = o->Width;
  if (height) *height = o->Height;
  if (hotX) *hotX = o->HotX;
  if (hotY) *hotY = o->HotY;
  if (pixels) {
    pixels->resize(o->Color.size());
    for (size_t i = 0; i < o->Color.size(); ++i) {
      uint32_t c = o->Color[i];
      if (o->Alpha)
        (*pixels)[i] = c;
      else if (!o->Mask[i])
        (*pixels)[i] = 0xFF000000u | (c & 0xFFFFFF);
      else
        (*pixels)[i] = (c & 0xFFFFFF) ? 0xFF000000u : 0;
    }
  }
  return true;
}

HICON GdiAddIcon(std::unique_ptr<TIconObject> icon) { return AddIcon(std::move(icon)); }

}  // namespace rtl::detail

using namespace rtl::detail;

HICON CreateIconIndirect(PICONINFO info) {
  if (!info || !info->hbmMask) return nullptr;
  int mw = 0, mh = 0;
  std::vector<uint32_t> maskPx = ReadPixels(info->hbmMask, mw, mh);
  if (maskPx.empty()) return nullptr;
  if (info->hbmColor) {
    int w = 0, h = 0;
    std::vector<uint32_t> color = ReadPixels(info->hbmColor, w, h);
    if (color.empty()) return nullptr;
    auto cb = GdiBitmap(info->hbmColor);
    bool alpha = false;
    if (cb->Format.Bits == 32)
      for (uint32_t p : color) alpha |= (p >> 24) != 0;
    if (!alpha)
      for (uint32_t& p : color) p &= 0xFFFFFF;
    std::vector<uint8_t> mask(size_t(w) * h, 0);
    for (int y = 0; y < h && y < mh; ++y)
      for (int x = 0; x < w && x < mw; ++x) mask[size_t(y) * w + x] = (maskPx[size_t(y) * mw + x] & 0xFFFFFF) != 0;
    return GdiAddIcon(MakeIcon(info->fIcon != 0, w, h, std::move(color), std::move(mask), alpha,
                               static_cast<int>(info->xHotspot), static_cast<int>(info->yHotspot), 0, 0));
  }
  // Monochrome: the mask's upper half is AND, the lower half XOR.
  int h = mh / 2;
  if (h <= 0) return nullptr;
  std::vector<uint32_t> color(size_t(mw) * h);
  std::vector<uint8_t> mask(size_t(mw) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < mw; ++x) {
      mask[size_t(y) * mw + x] = (maskPx[size_t(y) * mw + x] & 0xFFFFFF) != 0;
      color[size_t(y) * mw + x] = maskPx[size_t(y + h) * mw + x] & 0xFFFFFF;
    }
  auto icon = MakeIcon(info->fIcon != 0, mw, h, std::move(color), std::move(mask), false,
                       static_cast<int>(info->xHotspot), static_cast<int>(info->yHotspot), 0, 0);
  icon->Monochrome = true;
  return GdiAddIcon(std::move(icon));
}

HICON CreateIcon(HINSTANCE, int width, int height, BYTE planes, BYTE bitsPixel, const BYTE* andBits,
                 const BYTE* xorBits) {
  if (width <= 0 || height <= 0 || !andBits || !xorBits) return nullptr;
  ICONINFO ii{TRUE, 0, 0, nullptr, nullptr};
  if (planes * bitsPixel == 1) {
    int stride = ((width + 15) / 16) * 2;
    std::vector<uint8_t> both(size_t(stride) * height * 2);
    std::memcpy(both.data(), andBits, size_t(stride) * height);
    std::memcpy(both.data() + size_t(stride) * height, xorBits, size_t(stride) * height);
    ii.hbmMask = CreateBitmap(width, height * 2, 1, 1, both.data());
  } else {
    ii.hbmMask = CreateBitmap(width, height, 1, 1, andBits);
    ii.hbmColor = CreateBitmap(width, height, planes, bitsPixel, xorBits);
  }
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(ii.hbmMask);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  return icon;
}

HICON CreateIconFromResourceEx(BYTE* bits, DWORD size, BOOL icon, DWORD, int cx, int cy, UINT flags) {
  if (!bits || size < 4) return nullptr;
  int hotX = 0, hotY = 0;
  if (!icon) {
    hotX = Rd16(bits);
    hotY = Rd16(bits + 2);
    bits += 4;
    size -= 4;
  }
  if (flags & LR_DEFAULTSIZE) {
    if (cx == 0) cx = kDefaultIconSize;
    if (cy == 0) cy = kDefaultIconSize;
  }
  auto obj = ParseIconImage(bits, size, icon != 0, hotX, hotY, cx, cy);
  return obj ? GdiAddIcon(std::move(obj)) : nullptr;
}

HICON CreateIconFromResource(BYTE* bits, DWORD size, BOOL icon, DWORD version) {
  return CreateIconFromResourceEx(bits, size, icon, version, 0, 0, LR_DEFAULTSIZE);
}

int LookupIconIdFromDirectoryEx(BYTE* dir, BOOL icon, int cx, int cy, UINT flags) {
  if (!dir || Rd16(dir) != 0) return 0;
  int count = Rd16(dir + 4);
  std::vector<TDirEntry> entries;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = dir + 6 + i * 14;
    TDirEntry t{};
    if (icon) {
      t.Width = e[0] ? e[0] : 256;
      t.Height = e[1] ? e[1] : 256;
    } else {
      // Cursor directories hold 16-bit sizes; the height counts both halves.
      t.Width = Rd16(e);
      t.Height = Rd16(e + 2) / 2;
    }
    t.Bits = Rd16(e + 6);
    t.Offset = Rd16(e + 12);
    entries.push_back(t);
  }
  if ((flags & LR_DEFAULTSIZE) || cx == 0) cx = cx ? cx : kDefaultIconSize;
  if ((flags & LR_DEFAULTSIZE) || cy == 0) cy = cy ? cy : kDefaultIconSize;
  int i = Pick(entries, cx, cy);
  return i < 0 ? 0 : static_cast<int>(entries[size_t(i)].Offset);
}

BOOL GetIconInfo(HICON icon, PICONINFO info) {
  auto o = GdiIcon(icon);
  if (!o || !info) return FALSE;
  info->fIcon = o->IsIcon;
  info->xHotspot = static_cast<DWORD>(o->HotX);
  info->yHotspot = static_cast<DWORD>(o->HotY);
  if (o->Monochrome) {
    std::vector<uint8_t> both(o->Mask);
    for (uint32_t p : o->Color) both.push_back((p & 0xFFFFFF) != 0);
    info->hbmMask = MonoBitmap(o->Width, o->Height * 2, both);
    info->hbmColor = nullptr;
  } else {
    info->hbmMask = MonoBitmap(o->Width, o->Height, o->Mask);
    info->hbmColor = Dib32(o->Width, o->Height, o->Color);
  }
  return TRUE;
}

HICON CopyIcon(HICON icon) {
  auto o = GdiIcon(icon);
  if (!o) return nullptr;
  auto copy = std::make_unique<TIconObject>(*o);
  copy->Shared = false;
  return GdiAddIcon(std::move(copy));
}

BOOL DestroyIcon(HICON icon) {
  auto o = GdiIcon(icon);
  if (!o) return FALSE;
  if (o->Shared) return TRUE;
  Icons().Remove(reinterpret_cast<uintptr_t>(icon));
  return TRUE;
}

BOOL DestroyCursor(HCURSOR cursor) { return DestroyIcon(cursor); }

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH flicker, UINT flags) {
  auto o = GdiIcon(icon);
  auto dc = GdiDC(hdc);
  if (!o || !dc) return FALSE;
  if (cx == 0) cx = (flags & DI_DEFAULTSIZE) ? kDefaultIconSize : o->Width;
  if (cy == 0) cy = (flags & DI_DEFAULTSIZE) ? kDefaultIconSize : o->Height;
  if (!(flags & DI_NORMAL)) flags |= DI_NORMAL;
  if (flicker) {
    RECT r{x, y, x + cx, y + cy};
    FillRect(hdc, &r, flicker);
  }
  HDC mem = CreateCompatibleDC(hdc);
  COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0)), oldBk = SetBkColor(hdc, RGB(255, 255, 255));
  int oldMode = SetStretchBltMode(hdc, COLORONCOLOR);
  bool both = (flags & DI_NORMAL) == DI_NORMAL;
  if (o->Alpha && both) {
    // Straight alpha becomes premultiplied for the blend.
    std::vector<uint32_t> pre(o->Color);
    for (uint32_t& p : pre) {
      uint32_t a = p >> 24;
      uint32_t r = ((p >> 16) & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255, b = (p & 0xFF) * a / 255;
      p = (a << 24) | (r << 16) | (g << 8) | b;
    }
    HBITMAP img = Dib32(o->Width, o->Height, pre);
    HGDIOBJ old = SelectObject(mem, img);
    AlphaBlend(hdc, x, y, cx, cy, mem, 0, 0, o->Width, o->Height, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
    SelectObject(mem, old);
    DeleteObject(img);
  } else {
    if (flags & DI_MASK) {
      HBITMAP m = MonoBitmap(o->Width, o->Height, o->Mask);
      HGDIOBJ old = SelectObject(mem, m);
      StretchBlt(hdc, x, y, cx, cy, mem, 0, 0, o->Width, o->Height, both ? SRCAND : SRCCOPY);
      SelectObject(mem, old);
      DeleteObject(m);
    }
    if (flags & DI_IMAGE) {
      HBITMAP img = Dib32(o->Width, o->Height, o->Color);
      HGDIOBJ old = SelectObject(mem, img);
      StretchBlt(hdc, x, y, cx, cy, mem, 0, 0, o->Width, o->Height, both ? SRCINVERT : SRCCOPY);
      SelectObject(mem, old);
      DeleteObject(img);
    }
  }
  SetStretchBltMode(hdc, oldMode);
  SetTextColor(hdc, oldText);
  SetBkColor(hdc, oldBk);
  DeleteDC(mem);
  return TRUE;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) {
  return DrawIconEx(hdc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_COMPAT | DI_DEFAULTSIZE);
}

HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags) {
  HANDLE result = nullptr;
  if (type == IMAGE_BITMAP) {
    auto b = GdiBitmap(static_cast<HBITMAP>(image));
    if (!b) return nullptr;
    bool same = (cx == 0 || cx == b->Width) && (cy == 0 || cy == b->Height) &&
                !(flags & (LR_CREATEDIBSECTION | LR_MONOCHROME));
    if ((flags & LR_COPYRETURNORG) && same) return image;
    result = GdiCopyBitmap(static_cast<HBITMAP>(image), cx, cy, flags);
    if (result && (flags & LR_COPYDELETEORG)) DeleteObject(image);
    return result;
  }
  if (type == IMAGE_ICON || type == IMAGE_CURSOR) {
    auto o = GdiIcon(static_cast<HICON>(image));
    if (!o) return nullptr;
    if (flags & LR_DEFAULTSIZE) {
      if (!cx) cx = kDefaultIconSize;
      if (!cy) cy = kDefaultIconSize;
    }
    int nw = cx ? cx : o->Width, nh = cy ? cy : o->Height;
    if ((flags & LR_COPYRETURNORG) && nw == o->Width && nh == o->Height) return image;
    auto copy = MakeIcon(o->IsIcon, o->Width, o->Height, o->Color, o->Mask, o->Alpha, o->HotX, o->HotY, nw, nh);
    copy->Monochrome = o->Monochrome;
    result = GdiAddIcon(std::move(copy));
    if (flags & LR_COPYDELETEORG) DestroyIcon(static_cast<HICON>(image));
    return result;
  }
  return nullptr;
}

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  if (!name || type > IMAGE_CURSOR) return nullptr;
  if (type != IMAGE_BITMAP && (flags & LR_DEFAULTSIZE)) {
    if (!cx) cx = kDefaultIconSize;
    if (!cy) cy = kDefaultIconSize;
  }
  if (flags & LR_LOADFROMFILE) {
    std::vector<uint8_t> data;
    if (IS_INTRESOURCE(name) || !ReadFile(name, data)) {
      SetLastError(2);
      return nullptr;
    }
    if (type == IMAGE_BITMAP) return BitmapFromFile(data, flags);
    auto obj = IconFromFile(data, type == IMAGE_ICON, cx, cy);
    return obj ? GdiAddIcon(std::move(obj)) : nullptr;
  }
  auto key = std::make_tuple(reinterpret_cast<uintptr_t>(instance), KeyOf(name), type, cx, cy);
  if (flags & LR_SHARED) {
    std::lock_guard<std::mutex> g(gSharedLock);
    auto it = gShared.find(key);
    if (it != gShared.end()) return it->second;
  }
  HANDLE h = nullptr;
  if (!instance && IS_INTRESOURCE(name)) {
    int id = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    h = type == IMAGE_BITMAP ? static_cast<HANDLE>(GdiSystemBitmap(id)) : static_cast<HANDLE>(GdiSystemIcon(id, cx, cy));
  } else {
    h = LoadFromResources(instance, name, type, cx, cy, flags);
  }
  if (!h) {
    SetLastError(1813);  // ERROR_RESOURCE_TYPE_NOT_FOUND
    return nullptr;
  }
  if (flags & LR_SHARED) {
    if (type != IMAGE_BITMAP)
      if (auto o = GdiIcon(static_cast<HICON>(h))) o->Shared = true;
    std::lock_guard<std::mutex> g(gSharedLock);
    gShared.emplace(key, h);
  }
  return h;
}

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) return LoadImageA(instance, reinterpret_cast<LPCSTR>(name), type, cx, cy, flags);
  AnsiString a = WideToAnsi(name);
  return LoadImageA(instance, a.c_str(), type, cx, cy, flags);
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  return static_cast<HICON>(LoadImageA(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
  return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
  return static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, 0));
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
  return static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, 0));
}
