// Image lists: images kept as 32-bit pixels with a mask each, shown to
// callers as strip bitmaps, drawn with alpha, blends and overlays, and
// written to and read from streams.
#include "platform/win/comctl/commctrl.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/win/comctl/commctrl_controls.h"
#include "platform/win/gdi/gdi_objects.h"
#include "platform/win/user/ctl_common.h"

using rtl::detail::GdiCreateDib32;
using rtl::detail::GdiReadDib32;

namespace {

constexpr int kColumns = 4;  // images per row of the strips
constexpr WORD kMagic = 0x4C49;  // "IL"
constexpr WORD kVersion = 0x0101;
constexpr int kMaxSide = 1024;
constexpr int kMaxImages = 0x7FFF;

}  // namespace

struct _IMAGELIST {
  int Cx = 0, Cy = 0;
  UINT Flags = 0;
  int Grow = 4;
  int Count = 0;
  COLORREF Bk = CLR_NONE;
  std::vector<uint32_t> Pixels;  // Count images of Cx * Cy, as given
  std::vector<uint8_t> Mask;     // 1 = transparent
  std::vector<bool> Alpha;       // the image's pixels carry alpha
  int Overlays[16];
  HBITMAP Strip = nullptr, MaskStrip = nullptr;
  int StripRows = 0;
  bool StripsValid = false;

  _IMAGELIST() { std::fill(std::begin(Overlays), std::end(Overlays), -1); }
  ~_IMAGELIST() {
    if (Strip) DeleteObject(Strip);
    if (MaskStrip) DeleteObject(MaskStrip);
  }
  size_t Size() const { return size_t(Cx) * Cy; }
  uint32_t* Image(int i) { return Pixels.data() + size_t(i) * Size(); }
  uint8_t* ImageMask(int i) { return Mask.data() + size_t(i) * Size(); }
  void Resize(int count) {
    Count = count;
    Pixels.resize(size_t(count) * Size(), 0);
    Mask.resize(size_t(count) * Size(), 0);
    Alpha.resize(static_cast<size_t>(count), false);
    StripsValid = false;
  }
};

namespace {

std::mutex gListsLock;
std::set<HIMAGELIST> gLists;

bool Valid(HIMAGELIST h) {
  std::lock_guard<std::mutex> lock(gListsLock);
  return h && gLists.count(h);
}

HIMAGELIST Register(HIMAGELIST h) {
  std::lock_guard<std::mutex> lock(gListsLock);
  gLists.insert(h);
  return h;
}

// Copies image `k` of a strip of images side by side into slot `slot`.
void Store(HIMAGELIST l, int slot, const std::vector<uint32_t>& px, int width, int height, int bits, int k,
           const std::vector<uint32_t>* mask) {
  uint32_t* dst = l->Image(slot);
  uint8_t* m = l->ImageMask(slot);
  std::fill(dst, dst + l->Size(), 0u);
  std::fill(m, m + l->Size(), uint8_t(0));
  bool alpha = false;
  for (int y = 0; y < std::min(height, l->Cy); ++y)
    for (int x = 0; x < l->Cx; ++x) {
      size_t s = size_t(y) * width + size_t(k) * l->Cx + x;
      uint32_t p = px[s];
      dst[size_t(y) * l->Cx + x] = p;
      alpha |= bits == 32 && (p >> 24) != 0;
      if (mask) m[size_t(y) * l->Cx + x] = ((*mask)[s] & 0xFFFFFFu) != 0;
    }
  l->Alpha[static_cast<size_t>(slot)] = alpha;
  l->StripsValid = false;
}

int AddPixels(HIMAGELIST l, const std::vector<uint32_t>& px, int width, int height, int bits,
              const std::vector<uint32_t>* mask) {
  int n = width / l->Cx;
  if (n <= 0 || l->Count + n > kMaxImages) return -1;
  int first = l->Count;
  l->Resize(l->Count + n);
  for (int k = 0; k < n; ++k) Store(l, first + k, px, width, height, bits, k, mask);
  return first;
}

bool ReadMask(HBITMAP hbmMask, int width, int height, std::vector<uint32_t>& mask) {
  int mw, mh, mb;
  return GdiReadDib32(hbmMask, mw, mh, mb, mask) && mw >= width && mh >= height;
}

// The strips that GetImageInfo hands out, brought up to date.
void SyncStrips(HIMAGELIST l) {
  if (l->StripsValid) return;
  int rows = std::max(1, (l->Count + kColumns - 1) / kColumns);
  const int w = l->Cx * kColumns, h = l->Cy * rows;
  uint32_t* bits = nullptr;
  if (!l->Strip || rows != l->StripRows) {
    if (l->Strip) DeleteObject(l->Strip);
    if (l->MaskStrip) DeleteObject(l->MaskStrip);
    l->Strip = GdiCreateDib32(w, h, &bits);
    l->MaskStrip = (l->Flags & ILC_MASK) ? CreateBitmap(w, h, 1, 1, nullptr) : nullptr;
    l->StripRows = rows;
  }
  DIBSECTION ds{};
  GetObject(l->Strip, sizeof ds, &ds);
  bits = static_cast<uint32_t*>(ds.dsBm.bmBits);
  std::fill(bits, bits + size_t(w) * h, 0u);
  const int maskStride = ((w + 15) / 16) * 2;
  std::vector<BYTE> maskBits(size_t(maskStride) * h, 0);
  for (int i = 0; i < l->Count; ++i) {
    int ox = (i % kColumns) * l->Cx, oy = (i / kColumns) * l->Cy;
    for (int y = 0; y < l->Cy; ++y)
      for (int x = 0; x < l->Cx; ++x) {
        bits[size_t(oy + y) * w + ox + x] = l->Image(i)[size_t(y) * l->Cx + x];
        if (l->ImageMask(i)[size_t(y) * l->Cx + x])
          maskBits[size_t(oy + y) * maskStride + (ox + x) / 8] |= BYTE(0x80 >> ((ox + x) % 8));
      }
  }
  if (l->MaskStrip) SetBitmapBits(l->MaskStrip, static_cast<DWORD>(maskBits.size()), maskBits.data());
  l->StripsValid = true;
}

// The premultiplied pixels an image draws as, with its styles applied.
std::vector<uint32_t> Render(HIMAGELIST l, int i, int sx, int sy, int w, int h, COLORREF bk, COLORREF fg, UINT style,
                             DWORD state, DWORD frame) {
  std::vector<uint32_t> out(size_t(w) * h);
  const bool masked = (l->Flags & ILC_MASK) && !(style & ILD_IMAGE);
  if (bk == CLR_DEFAULT) bk = l->Bk;
  const bool transparent = (style & ILD_TRANSPARENT) || bk == CLR_NONE;
  const uint32_t bkPixel = 0xFF000000u | ((bk & 0xFF) << 16) | (bk & 0xFF00) | ((bk >> 16) & 0xFF);
  double blend = (style & ILD_BLEND50) ? 0.5 : (style & ILD_BLEND25) ? 0.25 : 0;
  if (fg == CLR_DEFAULT) fg = GetSysColor(COLOR_HIGHLIGHT);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      size_t s = size_t(sy + y) * l->Cx + sx + x;
      uint32_t p = l->Image(i)[s];
      bool clear = l->ImageMask(i)[s];
      uint32_t c;
      if (style & ILD_MASK)
        c = clear ? 0xFFFFFFFFu : 0xFF000000u;
      else if (l->Alpha[static_cast<size_t>(i)])
        c = p;
      else if (masked && clear)
        c = transparent ? 0 : bkPixel;
      else
        c = p | 0xFF000000u;
      if (blend > 0 && !(style & ILD_MASK)) {
        uint32_t a = c >> 24;
        if (fg == CLR_NONE) {
          // Blended with whatever is underneath: partly transparent.
          uint32_t r = 0;
          for (int shift = 0; shift < 32; shift += 8)
            r |= uint32_t(((c >> shift) & 0xFF) * (1 - blend) + 0.5) << shift;
          c = r;
        } else {
          uint32_t fp[3] = {(fg >> 16) & 0xFF, (fg >> 8) & 0xFF, fg & 0xFF};  // blue, green, red
          uint32_t r = c & 0xFF000000u;
          for (int k = 0; k < 3; ++k) {
            double v = ((c >> (8 * k)) & 0xFF) * (1 - blend) + fp[k] * a / 255.0 * blend;
            r |= uint32_t(v + 0.5) << (8 * k);
          }
          c = r;
        }
      }
      if (state & ILS_SATURATE) {
        uint32_t lum = (((c >> 16) & 0xFF) * 77 + ((c >> 8) & 0xFF) * 151 + (c & 0xFF) * 28) >> 8;
        c = (c & 0xFF000000u) | (lum << 16) | (lum << 8) | lum;
      }
      if ((state & ILS_ALPHA) && frame < 255) {
        uint32_t r = 0;
        for (int shift = 0; shift < 32; shift += 8) r |= ((((c >> shift) & 0xFF) * frame + 127) / 255) << shift;
        c = r;
      }
      out[size_t(y) * w + x] = c;
    }
  return out;
}

BOOL DrawImage(const IMAGELISTDRAWPARAMS& p) {
  HIMAGELIST l = p.himl;
  if (!Valid(l) || p.i < 0 || p.i >= l->Count || !p.hdcDst) return FALSE;
  const int sx = std::clamp(p.xBitmap, 0, l->Cx), sy = std::clamp(p.yBitmap, 0, l->Cy);
  const int w = std::min(p.cx > 0 ? p.cx : l->Cx, l->Cx - sx), h = std::min(p.cy > 0 ? p.cy : l->Cy, l->Cy - sy);
  if (w <= 0 || h <= 0) return TRUE;
  uint32_t* bits = nullptr;
  HBITMAP dib = GdiCreateDib32(w, h, &bits);
  if (!dib) return FALSE;
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, dib);
  BOOL ok;
  if (p.fStyle & ILD_ROP) {
    for (int y = 0; y < h; ++y)
      std::memcpy(bits + size_t(y) * w, l->Image(p.i) + size_t(sy + y) * l->Cx + sx, size_t(w) * 4);
    ok = BitBlt(p.hdcDst, p.x, p.y, w, h, mem, 0, 0, p.dwRop);
  } else {
    std::vector<uint32_t> px = Render(l, p.i, sx, sy, w, h, p.rgbBk, p.rgbFg, p.fStyle, p.fState, p.Frame);
    std::memcpy(bits, px.data(), px.size() * 4);
    ok = AlphaBlend(p.hdcDst, p.x, p.y, w, h, mem, 0, 0, w, h, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(dib);
  int overlay = (p.fStyle & ILD_OVERLAYMASK) >> 8;
  if (ok && overlay > 0 && l->Overlays[overlay] >= 0 && l->Overlays[overlay] < l->Count) {
    IMAGELISTDRAWPARAMS o = p;
    o.i = l->Overlays[overlay];
    o.fStyle = (p.fStyle & ~(ILD_OVERLAYMASK | ILD_ROP)) | ILD_TRANSPARENT;
    ok = DrawImage(o);
  }
  return ok;
}

// ---- The stream format: a header, then the strips as BMP files ----------------------

#pragma pack(push, 2)
struct ILHEAD {
  WORD usMagic;
  WORD usVersion;
  WORD cCurImage;
  WORD cMaxImage;
  WORD cGrow;
  WORD cx;
  WORD cy;
  COLORREF bkcolor;
  WORD flags;
  SHORT ovls[4];
};
#pragma pack(pop)
static_assert(sizeof(ILHEAD) == 28);

void Put(std::string& s, const void* p, size_t n) { s.append(static_cast<const char*>(p), n); }

// A bottom-up BMP file of 32 or 1 bits per pixel from top-down rows.
std::string BmpFile(int width, int height, int bits, const std::vector<uint32_t>& px, const std::vector<uint8_t>& mask) {
  const size_t stride = ((size_t(width) * bits + 31) / 32) * 4;
  const uint32_t table = bits == 1 ? 8 : 0;
  BITMAPFILEHEADER fh{0x4D42, uint32_t(14 + 40 + table + stride * height), 0, 0, 14 + 40 + table};
  BITMAPINFOHEADER ih{40, width, height, 1, WORD(bits), BI_RGB, uint32_t(stride * height), 0, 0, 0, 0};
  std::string s;
  Put(s, &fh, sizeof fh);
  Put(s, &ih, sizeof ih);
  if (bits == 1) {
    const uint32_t colours[2] = {0x00000000u, 0x00FFFFFFu};
    Put(s, colours, sizeof colours);
  }
  std::string row(stride, '\0');
  for (int y = height - 1; y >= 0; --y) {
    std::fill(row.begin(), row.end(), '\0');
    if (bits == 32)
      std::memcpy(row.data(), px.data() + size_t(y) * width, size_t(width) * 4);
    else
      for (int x = 0; x < width; ++x)
        if (mask[size_t(y) * width + x]) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
    s += row;
  }
  return s;
}

bool ReadExact(IStream* stm, void* buffer, ULONG n) {
  ULONG got = 0;
  return SUCCEEDED(stm->Read(buffer, n, &got)) && got == n;
}

// Reads a BMP file written by BmpFile with exactly this size and depth.
bool ReadBmp(IStream* stm, int width, int height, int bits, std::vector<uint32_t>* px, std::vector<uint8_t>* mask) {
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  if (!ReadExact(stm, &fh, sizeof fh) || !ReadExact(stm, &ih, sizeof ih)) return false;
  const size_t stride = ((size_t(width) * bits + 31) / 32) * 4;
  const uint32_t table = bits == 1 ? 8 : 0;
  if (fh.bfType != 0x4D42 || fh.bfOffBits != 14 + 40 + table || ih.biSize != 40 || ih.biWidth != width ||
      ih.biHeight != height || ih.biBitCount != bits || ih.biCompression != BI_RGB)
    return false;
  uint32_t colours[2];
  if (table && !ReadExact(stm, colours, table)) return false;
  std::vector<uint8_t> row(stride);
  for (int y = height - 1; y >= 0; --y) {
    if (!ReadExact(stm, row.data(), static_cast<ULONG>(stride))) return false;
    if (bits == 32)
      std::memcpy(px->data() + size_t(y) * width, row.data(), size_t(width) * 4);
    else
      for (int x = 0; x < width; ++x) (*mask)[size_t(y) * width + x] = (row[x / 8] >> (7 - x % 8)) & 1;
  }
  return true;
}

}  // namespace

// ---- Initialisation -------------------------------------------------------------------

void InitCommonControls() { rtl::detail::RegisterCommonControlClasses(); }

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
  if (!picce || picce->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  rtl::detail::RegisterCommonControlClasses();
  return TRUE;
}

// ---- Image lists ------------------------------------------------------------------------

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow) {
  if (cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide || cInitial < 0) return nullptr;
  auto* l = new _IMAGELIST;
  l->Cx = cx;
  l->Cy = cy;
  l->Flags = flags;
  l->Grow = std::max(cGrow, 1);
  l->Pixels.reserve(size_t(std::min(cInitial, 256)) * l->Size());
  return Register(l);
}

BOOL ImageList_Destroy(HIMAGELIST himl) {
  {
    std::lock_guard<std::mutex> lock(gListsLock);
    if (!himl || !gLists.erase(himl)) return FALSE;
  }
  delete himl;
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST himl) { return Valid(himl) ? himl->Count : 0; }

BOOL ImageList_SetImageCount(HIMAGELIST himl, UINT uNewCount) {
  if (!Valid(himl) || uNewCount > kMaxImages) return FALSE;
  himl->Resize(static_cast<int>(uNewCount));
  return TRUE;
}

int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask) {
  if (!Valid(himl)) return -1;
  int w, h, bits;
  std::vector<uint32_t> px, mask;
  if (!GdiReadDib32(hbmImage, w, h, bits, px)) return -1;
  bool useMask = hbmMask && (himl->Flags & ILC_MASK) && ReadMask(hbmMask, w, h, mask);
  if (useMask && mask.size() != px.size()) {
    // A mask wider or taller than the image: its top-left part.
    int mw = 0, mh = 0, mb = 0;
    std::vector<uint32_t> full;
    GdiReadDib32(hbmMask, mw, mh, mb, full);
    mask.assign(px.size(), 0);
    for (int y = 0; y < h; ++y) std::memcpy(&mask[size_t(y) * w], &full[size_t(y) * mw], size_t(w) * 4);
  }
  return AddPixels(himl, px, w, h, bits, useMask ? &mask : nullptr);
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask) {
  if (!Valid(himl)) return -1;
  int w, h, bits;
  std::vector<uint32_t> px;
  if (!GdiReadDib32(hbmImage, w, h, bits, px)) return -1;
  const uint32_t key = ((crMask & 0xFF) << 16) | (crMask & 0xFF00) | ((crMask >> 16) & 0xFF);
  std::vector<uint32_t> mask(px.size(), 0);
  for (size_t i = 0; i < px.size(); ++i)
    if ((px[i] & 0xFFFFFFu) == key) {
      mask[i] = 0xFFFFFFu;
      px[i] = 0;
    }
  return AddPixels(himl, px, w, h, bits, &mask);
}

BOOL ImageList_Replace(HIMAGELIST himl, int i, HBITMAP hbmImage, HBITMAP hbmMask) {
  if (!Valid(himl) || i < 0 || i >= himl->Count) return FALSE;
  int w, h, bits;
  std::vector<uint32_t> px, mask;
  if (!GdiReadDib32(hbmImage, w, h, bits, px) || w < himl->Cx) return FALSE;
  bool useMask = hbmMask && (himl->Flags & ILC_MASK) && ReadMask(hbmMask, w, h, mask) && mask.size() == px.size();
  Store(himl, i, px, w, h, bits, 0, useMask ? &mask : nullptr);
  return TRUE;
}

int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon) {
  if (!Valid(himl) || i < -1 || i >= himl->Count) return -1;
  ICONINFO info{};
  if (!GetIconInfo(hicon, &info)) return -1;
  int w = 0, h = 0, bits = 0, mw = 0, mh = 0, mb = 0;
  std::vector<uint32_t> px, mask;
  bool ok = GdiReadDib32(info.hbmMask, mw, mh, mb, mask);
  if (info.hbmColor) {
    ok = ok && GdiReadDib32(info.hbmColor, w, h, bits, px) && mw == w && mh >= h;
  } else if (ok) {
    // A monochrome icon: the AND mask above the XOR image.
    w = mw;
    h = mh / 2;
    bits = 1;
    px.assign(mask.begin() + ptrdiff_t(w) * h, mask.end());
    mask.resize(size_t(w) * h);
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (!ok || w < himl->Cx) return -1;
  mask.resize(size_t(w) * h);
  if (i == -1) {
    i = himl->Count;
    himl->Resize(himl->Count + 1);
  }
  Store(himl, i, px, w, h, bits, 0, (himl->Flags & ILC_MASK) ? &mask : nullptr);
  return i;
}

BOOL ImageList_Remove(HIMAGELIST himl, int i) {
  if (!Valid(himl) || i < -1 || i >= himl->Count) return FALSE;
  if (i == -1) {
    himl->Resize(0);
    return TRUE;
  }
  const size_t n = himl->Size();
  himl->Pixels.erase(himl->Pixels.begin() + ptrdiff_t(i * n), himl->Pixels.begin() + ptrdiff_t((i + 1) * n));
  himl->Mask.erase(himl->Mask.begin() + ptrdiff_t(i * n), himl->Mask.begin() + ptrdiff_t((i + 1) * n));
  himl->Alpha.erase(himl->Alpha.begin() + i);
  himl->Count--;
  himl->StripsValid = false;
  return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags) {
  if (!Valid(himl) || i < 0 || i >= himl->Count) return nullptr;
  uint32_t* bits = nullptr;
  HBITMAP colour = GdiCreateDib32(himl->Cx, himl->Cy, &bits);
  if (!colour) return nullptr;
  const int stride = ((himl->Cx + 15) / 16) * 2;
  std::vector<BYTE> maskBits(size_t(stride) * himl->Cy, 0);
  const bool masked = (himl->Flags & ILC_MASK) && !(flags & ILD_IMAGE);
  for (int y = 0; y < himl->Cy; ++y)
    for (int x = 0; x < himl->Cx; ++x) {
      size_t s = size_t(y) * himl->Cx + x;
      bits[s] = himl->Image(i)[s];
      if (masked && himl->ImageMask(i)[s]) maskBits[size_t(y) * stride + x / 8] |= BYTE(0x80 >> (x % 8));
    }
  HBITMAP mask = CreateBitmap(himl->Cx, himl->Cy, 1, 1, maskBits.data());
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

BOOL ImageList_GetImageInfo(HIMAGELIST himl, int i, IMAGEINFO* pImageInfo) {
  if (!Valid(himl) || !pImageInfo || i < 0 || i >= himl->Count) return FALSE;
  SyncStrips(himl);
  pImageInfo->hbmImage = himl->Strip;
  pImageInfo->hbmMask = himl->MaskStrip;
  pImageInfo->Unused1 = pImageInfo->Unused2 = 0;
  int x = (i % kColumns) * himl->Cx, y = (i / kColumns) * himl->Cy;
  pImageInfo->rcImage = RECT(x, y, x + himl->Cx, y + himl->Cy);
  return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
  if (!Valid(himl) || !cx || !cy) return FALSE;
  *cx = himl->Cx;
  *cy = himl->Cy;
  return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST himl, int cx, int cy) {
  if (!Valid(himl) || cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide) return FALSE;
  himl->Resize(0);
  himl->Cx = cx;
  himl->Cy = cy;
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk) {
  if (!Valid(himl)) return CLR_NONE;
  COLORREF old = himl->Bk;
  himl->Bk = clrBk;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST himl) { return Valid(himl) ? himl->Bk : CLR_NONE; }

BOOL ImageList_SetOverlayImage(HIMAGELIST himl, int iImage, int iOverlay) {
  if (!Valid(himl) || iOverlay < 1 || iOverlay > 15 || iImage < -1 || iImage >= himl->Count) return FALSE;
  himl->Overlays[iOverlay] = iImage;
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle) {
  return ImageList_DrawEx(himl, i, hdcDst, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, fStyle);
}

BOOL ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int dx, int dy, COLORREF rgbBk,
                      COLORREF rgbFg, UINT fStyle) {
  IMAGELISTDRAWPARAMS p{};
  p.cbSize = sizeof p;
  p.himl = himl;
  p.i = i;
  p.hdcDst = hdcDst;
  p.x = x;
  p.y = y;
  p.cx = dx;
  p.cy = dy;
  p.rgbBk = rgbBk;
  p.rgbFg = rgbFg;
  p.fStyle = fStyle;
  p.dwRop = SRCCOPY;
  return DrawImage(p);
}

BOOL ImageList_DrawIndirect(IMAGELISTDRAWPARAMS* pimldp) {
  if (!pimldp || pimldp->cbSize < offsetof(IMAGELISTDRAWPARAMS, fState)) return FALSE;
  IMAGELISTDRAWPARAMS p{};
  std::memcpy(&p, pimldp, std::min<size_t>(pimldp->cbSize, sizeof p));
  return DrawImage(p);
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST himl) {
  if (!Valid(himl)) return nullptr;
  auto* l = new _IMAGELIST;
  l->Cx = himl->Cx;
  l->Cy = himl->Cy;
  l->Flags = himl->Flags;
  l->Grow = himl->Grow;
  l->Count = himl->Count;
  l->Bk = himl->Bk;
  l->Pixels = himl->Pixels;
  l->Mask = himl->Mask;
  l->Alpha = himl->Alpha;
  std::copy(std::begin(himl->Overlays), std::end(himl->Overlays), l->Overlays);
  return Register(l);
}

BOOL ImageList_Write(HIMAGELIST himl, IStream* pstm) {
  if (!Valid(himl) || !pstm) return FALSE;
  const int rows = std::max(1, (himl->Count + kColumns - 1) / kColumns);
  ILHEAD head{kMagic, kVersion, WORD(himl->Count), WORD(rows * kColumns), WORD(himl->Grow), WORD(himl->Cx),
              WORD(himl->Cy), himl->Bk, WORD(himl->Flags), {}};
  for (int k = 0; k < 4; ++k) head.ovls[k] = SHORT(himl->Overlays[k + 1]);
  // The strips, laid out as GetImageInfo shows them.
  const int w = himl->Cx * kColumns, h = himl->Cy * rows;
  std::vector<uint32_t> px(size_t(w) * h, 0);
  std::vector<uint8_t> mask(size_t(w) * h, 0);
  for (int i = 0; i < himl->Count; ++i) {
    int ox = (i % kColumns) * himl->Cx, oy = (i / kColumns) * himl->Cy;
    for (int y = 0; y < himl->Cy; ++y)
      for (int x = 0; x < himl->Cx; ++x) {
        px[size_t(oy + y) * w + ox + x] = himl->Image(i)[size_t(y) * himl->Cx + x];
        mask[size_t(oy + y) * w + ox + x] = himl->ImageMask(i)[size_t(y) * himl->Cx + x];
      }
  }
  std::string data;
  Put(data, &head, sizeof head);
  data += BmpFile(w, h, 32, px, mask);
  if (himl->Flags & ILC_MASK) data += BmpFile(w, h, 1, px, mask);
  ULONG written = 0;
  return SUCCEEDED(pstm->Write(data.data(), static_cast<ULONG>(data.size()), &written)) && written == data.size();
}

HIMAGELIST ImageList_Read(IStream* pstm) {
  if (!pstm) return nullptr;
  ILHEAD head{};
  if (!ReadExact(pstm, &head, sizeof head)) return nullptr;
  if (head.usMagic != kMagic || head.usVersion != kVersion || head.cx == 0 || head.cy == 0 || head.cx > kMaxSide ||
      head.cy > kMaxSide || head.cMaxImage % kColumns != 0 || head.cCurImage > head.cMaxImage ||
      head.cMaxImage > kMaxImages)
    return nullptr;
  const int rows = std::max(1, (head.cCurImage + kColumns - 1) / kColumns);
  if (rows * kColumns != std::max<int>(head.cMaxImage, kColumns)) return nullptr;
  const int w = head.cx * kColumns, h = head.cy * rows;
  std::vector<uint32_t> px(size_t(w) * h, 0);
  std::vector<uint8_t> mask(size_t(w) * h, 0);
  if (!ReadBmp(pstm, w, h, 32, &px, nullptr)) return nullptr;
  if ((head.flags & ILC_MASK) && !ReadBmp(pstm, w, h, 1, nullptr, &mask)) return nullptr;
  auto* l = new _IMAGELIST;
  l->Cx = head.cx;
  l->Cy = head.cy;
  l->Flags = head.flags;
  l->Grow = std::max<int>(head.cGrow, 1);
  l->Bk = head.bkcolor;
  l->Resize(head.cCurImage);
  for (int k = 0; k < 4; ++k)
    l->Overlays[k + 1] = head.ovls[k] >= 0 && head.ovls[k] < head.cCurImage ? head.ovls[k] : -1;
  for (int i = 0; i < l->Count; ++i) {
    int ox = (i % kColumns) * l->Cx, oy = (i / kColumns) * l->Cy;
    bool alpha = false;
    for (int y = 0; y < l->Cy; ++y)
      for (int x = 0; x < l->Cx; ++x) {
        uint32_t p = px[size_t(oy + y) * w + ox + x];
        l->Image(i)[size_t(y) * l->Cx + x] = p;
        l->ImageMask(i)[size_t(y) * l->Cx + x] = mask[size_t(oy + y) * w + ox + x];
        alpha |= (p >> 24) != 0;
      }
    l->Alpha[static_cast<size_t>(i)] = alpha;
  }
  return Register(l);
}

// ---- Dragging an image ----------------------------------------------------------------

namespace {

// The drag that runs: the image taken (Base) and the one shown (List,
// Base with a cursor image over it), the window it is over and what it
// covers there.
struct TImageDrag {
  HIMAGELIST Base = nullptr;
  POINT BaseHotspot{};
  HIMAGELIST List = nullptr;
  POINT Hotspot{};
  HWND Lock = nullptr;
  bool Entered = false;
  bool Visible = false;
  POINT Pos{};  // the hot spot, window coordinates of Lock
  // While shown: where (window coordinates), the pixels it covered, and
  // the pixels it put there.
  bool Shown = false;
  RECT Rect{};
  std::vector<uint32_t> Under;
  std::vector<uint32_t> Drawn;
};

TImageDrag* gDrag = nullptr;

// Image i as premultiplied pixels with alpha (transparent where masked).
std::vector<uint32_t> Premultiplied(HIMAGELIST l, int i) {
  std::vector<uint32_t> out(l->Size());
  const bool masked = (l->Flags & ILC_MASK) != 0;
  for (size_t s = 0; s < out.size(); ++s) {
    uint32_t p = l->Image(i)[s];
    if (l->Alpha[static_cast<size_t>(i)])
      out[s] = p;
    else if (masked && l->ImageMask(i)[s])
      out[s] = 0;
    else
      out[s] = p | 0xFF000000u;
  }
  return out;
}

// A list of one image made of premultiplied pixels.
HIMAGELIST SingleImage(int cx, int cy, const std::vector<uint32_t>& px) {
  HIMAGELIST l = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 1, 1);
  if (!l) return nullptr;
  l->Resize(1);
  bool alpha = false;
  for (size_t s = 0; s < l->Size(); ++s) {
    l->Image(0)[s] = px[s];
    l->ImageMask(0)[s] = (px[s] >> 24) == 0;
    alpha |= (px[s] >> 24) != 0;
  }
  l->Alpha[0] = alpha;
  return l;
}

// Source over destination, both premultiplied.
uint32_t Over(uint32_t src, uint32_t dst) {
  const uint32_t inv = 255 - (src >> 24);
  uint32_t r = 0;
  for (int shift = 0; shift < 32; shift += 8)
    r |= std::min<uint32_t>(255, ((src >> shift) & 0xFF) + (((dst >> shift) & 0xFF) * inv + 127) / 255) << shift;
  return r;
}

// Copies a rectangle of a DC into top-down pixels, or the pixels into it.
void Transfer(HDC dc, const RECT& r, std::vector<uint32_t>& px, bool toDc) {
  const int w = r.Width(), h = r.Height();
  uint32_t* bits = nullptr;
  HBITMAP dib = GdiCreateDib32(w, h, &bits);
  if (!dib) return;
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, dib);
  if (toDc) {
    std::memcpy(bits, px.data(), px.size() * 4);
    BitBlt(dc, r.Left, r.Top, w, h, mem, 0, 0, SRCCOPY);
  } else {
    BitBlt(mem, 0, 0, w, h, dc, r.Left, r.Top, SRCCOPY);
    GdiFlush();
    px.assign(bits, bits + size_t(w) * h);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(dib);
}

HDC LockDC(HWND lock) { return GetDCEx(lock, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE); }

// Puts back what the image covered, except where the window painted over
// the image since it was drawn: that paint is newer than the saved pixels.
void HideImage(TImageDrag& d) {
  if (!d.Shown) return;
  d.Shown = false;
  if (d.Lock && !IsWindow(d.Lock)) return;
  HDC dc = LockDC(d.Lock);
  if (!dc) return;
  std::vector<uint32_t> now;
  Transfer(dc, d.Rect, now, false);
  if (now.size() == d.Under.size()) {
    for (size_t s = 0; s < now.size(); ++s)
      if (now[s] == d.Drawn[s]) now[s] = d.Under[s];
    Transfer(dc, d.Rect, now, true);
  }
  ReleaseDC(d.Lock, dc);
}

void ShowImage(TImageDrag& d) {
  if (d.Shown || !d.Entered || !d.Visible) return;
  if (d.Lock && !IsWindow(d.Lock)) return;
  HDC dc = LockDC(d.Lock);
  if (!dc) return;
  const HIMAGELIST l = d.List;
  d.Rect = RECT(d.Pos.X - d.Hotspot.X, d.Pos.Y - d.Hotspot.Y, d.Pos.X - d.Hotspot.X + l->Cx,
                d.Pos.Y - d.Hotspot.Y + l->Cy);
  Transfer(dc, d.Rect, d.Under, false);
  if (d.Under.size() == l->Size()) {
    // Composed aside and put on the window in one go.
    const std::vector<uint32_t> image = Premultiplied(l, 0);
    d.Drawn.resize(d.Under.size());
    for (size_t s = 0; s < d.Drawn.size(); ++s) d.Drawn[s] = Over(image[s], d.Under[s] | 0xFF000000u) & 0xFFFFFFu;
    // The window's pixels keep their own top byte.
    for (size_t s = 0; s < d.Drawn.size(); ++s) d.Drawn[s] |= d.Under[s] & 0xFF000000u;
    Transfer(dc, d.Rect, d.Drawn, true);
    // Read back: what the window holds now, clipping and all.
    Transfer(dc, d.Rect, d.Drawn, false);
    d.Shown = true;
  }
  ReleaseDC(d.Lock, dc);
}

void FreeDrag() {
  if (!gDrag) return;
  HideImage(*gDrag);
  if (gDrag->List != gDrag->Base) ImageList_Destroy(gDrag->List);
  ImageList_Destroy(gDrag->Base);
  delete gDrag;
  gDrag = nullptr;
}

}  // namespace

BOOL ImageList_BeginDrag(HIMAGELIST himlTrack, int iTrack, int dxHotspot, int dyHotspot) {
  if (!Valid(himlTrack) || iTrack < 0 || iTrack >= himlTrack->Count) return FALSE;
  FreeDrag();
  HIMAGELIST base = SingleImage(himlTrack->Cx, himlTrack->Cy, Premultiplied(himlTrack, iTrack));
  if (!base) return FALSE;
  gDrag = new TImageDrag;
  gDrag->Base = gDrag->List = base;
  gDrag->BaseHotspot = gDrag->Hotspot = POINT(dxHotspot, dyHotspot);
  return TRUE;
}

BOOL ImageList_DragEnter(HWND hwndLock, int x, int y) {
  if (!gDrag) return FALSE;
  if (hwndLock && !IsWindow(hwndLock)) return FALSE;
  HideImage(*gDrag);
  gDrag->Lock = hwndLock;
  gDrag->Entered = true;
  gDrag->Visible = true;
  gDrag->Pos = POINT(x, y);
  ShowImage(*gDrag);
  return TRUE;
}

BOOL ImageList_DragMove(int x, int y) {
  if (!gDrag) return FALSE;
  if (gDrag->Pos.X == x && gDrag->Pos.Y == y) return TRUE;
  HideImage(*gDrag);
  gDrag->Pos = POINT(x, y);
  ShowImage(*gDrag);
  return TRUE;
}

BOOL ImageList_DragLeave(HWND) {
  if (!gDrag || !gDrag->Entered) return FALSE;
  HideImage(*gDrag);
  gDrag->Entered = false;
  gDrag->Lock = nullptr;
  return TRUE;
}

BOOL ImageList_DragShowNolock(BOOL fShow) {
  if (!gDrag) return FALSE;
  gDrag->Visible = fShow != FALSE;
  if (gDrag->Visible)
    ShowImage(*gDrag);
  else
    HideImage(*gDrag);
  return TRUE;
}

void ImageList_EndDrag() { FreeDrag(); }

BOOL ImageList_SetDragCursorImage(HIMAGELIST himlDrag, int iDrag, int dxHotspot, int dyHotspot) {
  if (!gDrag || !Valid(himlDrag) || iDrag < 0 || iDrag >= himlDrag->Count) return FALSE;
  const HIMAGELIST base = gDrag->Base;
  // Both images in the frame of the drag's hot spot; the new image spans
  // both.
  const int bx = -gDrag->BaseHotspot.X, by = -gDrag->BaseHotspot.Y;
  const int cx = -dxHotspot, cy = -dyHotspot;
  const int left = std::min(bx, cx), top = std::min(by, cy);
  const int right = std::max(bx + base->Cx, cx + himlDrag->Cx), bottom = std::max(by + base->Cy, cy + himlDrag->Cy);
  if (right - left > kMaxSide || bottom - top > kMaxSide) return FALSE;
  const int w = right - left, h = bottom - top;
  std::vector<uint32_t> px(size_t(w) * h, 0);
  auto paint = [&](HIMAGELIST l, int i, int ox, int oy) {
    const std::vector<uint32_t> image = Premultiplied(l, i);
    for (int y = 0; y < l->Cy; ++y)
      for (int x = 0; x < l->Cx; ++x) {
        uint32_t& dst = px[size_t(oy - top + y) * w + (ox - left + x)];
        dst = Over(image[size_t(y) * l->Cx + x], dst);
      }
  };
  paint(base, 0, bx, by);
  paint(himlDrag, iDrag, cx, cy);
  HIMAGELIST combined = SingleImage(w, h, px);
  if (!combined) return FALSE;
  const bool shown = gDrag->Shown;
  HideImage(*gDrag);
  if (gDrag->List != base) ImageList_Destroy(gDrag->List);
  gDrag->List = combined;
  gDrag->Hotspot = POINT(-left, -top);
  if (shown) ShowImage(*gDrag);
  return TRUE;
}

HIMAGELIST ImageList_GetDragImage(POINT* ppt, POINT* pptHotspot) {
  if (!gDrag) return nullptr;
  if (ppt) *ppt = gDrag->Pos;
  if (pptHotspot) *pptHotspot = gDrag->Hotspot;
  return gDrag->List;
}

namespace rtl::detail {

void RegisterCommonControlClasses() {
  static std::recursive_mutex lock;
  static bool started = false;
  std::lock_guard<std::recursive_mutex> guard(lock);
  if (started) return;
  started = true;
  RegisterCtlClass(PROGRESS_CLASS, ProgressWndProc, CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
  RegisterCtlClass(WC_TABCONTROL, TabWndProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
  RegisterCtlClass(UPDOWN_CLASS, UpDownWndProc, CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
  RegisterCtlClass(TRACKBAR_CLASS, TrackbarWndProc, CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
  RegisterCtlClass(WC_TREEVIEW, TreeViewWndProc, CS_DBLCLKS, IDC_ARROW);
}

LRESULT CtlSendNotify(HWND h, NMHDR& hdr, UINT code) {
  hdr.hwndFrom = h;
  hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(h));
  hdr.code = code;
  HWND target = CtlNotifyTarget(h);
  return target ? SendMessageA(target, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr)) : 0;
}

}  // namespace rtl::detail
